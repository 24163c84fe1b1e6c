// Messages for failed database operations. Invariant: every result code of
// a failure maps to a complete sentence that names the file; the engine's
// raw text appears only after "reported:" for codes the program does not
// know, so nothing is lost when SQLite adds new ones.
#include "DbErrorText.h"

#include <QDir>
#include <sqlite3.h>

namespace {

// The column a "NOT NULL constraint failed: table.column" message is about.
QString ConstraintColumn(const QString& engineMessage)
{
    const qsizetype colon = engineMessage.lastIndexOf(QLatin1Char(':'));
    if (colon < 0)
        return QString();
    QString column = engineMessage.mid(colon + 1).trimmed();
    if (const qsizetype dot = column.lastIndexOf(QLatin1Char('.')); dot >= 0)
        column = column.mid(dot + 1);
    return column;
}

} // namespace

QString DatabaseErrorText(int resultCode, const QString& fileName, const QString& engineMessage)
{
    const QString file = QDir::toNativeSeparators(fileName);
    switch (resultCode) {
    case SQLITE_CONSTRAINT_NOTNULL:
        return QStringLiteral("The entry was not stored: the table in '%1' requires a value in the column "
                              "'%2', which this program does not fill.")
            .arg(file, ConstraintColumn(engineMessage));
    case SQLITE_READONLY_DIRECTORY:
        return QStringLiteral("The database file '%1' cannot be changed: its folder is read-only.").arg(file);
    default:
        break;
    }
    switch (resultCode & 0xff) {
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
        return QStringLiteral("The database file '%1' is locked by another program. Try again when that "
                              "program has finished with it.")
            .arg(file);
    case SQLITE_READONLY:
    case SQLITE_PERM:
        return QStringLiteral(
            "The database file '%1' cannot be changed: the file or its folder is read-only.")
            .arg(file);
    case SQLITE_CANTOPEN:
        return QStringLiteral("The database file '%1' or a file beside it cannot be opened.").arg(file);
    case SQLITE_FULL:
        return QStringLiteral("There is no room left on the disk for the database file '%1'.").arg(file);
    case SQLITE_CORRUPT:
        return QStringLiteral("The database file '%1' is damaged. A copy of it can be repaired with the "
                              "sqlite3 program's \".recover\" command.")
            .arg(file);
    case SQLITE_NOTADB:
        return QStringLiteral("'%1' is not a database file.").arg(file);
    case SQLITE_IOERR:
        return QStringLiteral("The database file '%1' could not be read or written (input/output error).")
            .arg(file);
    case SQLITE_CONSTRAINT:
        return QStringLiteral("The change was refused: a rule of the table in '%1' does not allow it.")
            .arg(file);
    case SQLITE_NOMEM:
        return QStringLiteral("There is not enough memory to work with the database file '%1'.").arg(file);
    default:
        return QStringLiteral("The database file '%1' reported: %2.").arg(file, engineMessage);
    }
}
