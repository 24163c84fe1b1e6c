// Creation of expense database files. Invariant: CreateDatabaseFile creates
// the file atomically (O_EXCL) with mode 0600, so an existing file is never
// opened for writing, let alone truncated, and no other user can read a new
// log (SQLite gives its journal the same mode); a file it created but could
// not initialise is removed again.
#include "ExpenseDatabase.h"
#include "DbConnection.h"
#include "PelmoraError.h"
#include <QFile>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

QString CreateDatabaseFile(const QString& fileName)
{
    if (fileName.isEmpty())
        return QStringLiteral("No file name given.");
    const QByteArray path = QFile::encodeName(fileName);
    // Readable by its owner only: the log is the user's own business.
    const int fd = ::open(path.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        if (errno == EEXIST)
            return QStringLiteral("Database file '%1' already exists.").arg(fileName);
        return QStringLiteral("Cannot create the database file '%1': %2.")
            .arg(fileName, QString::fromLocal8Bit(std::strerror(errno)));
    }
    ::close(fd);
    try {
        TDbConnection connection;
        connection.Open(fileName);
        // Writes the file header, so the new file is a database even while it has no table.
        connection.Execute(QStringLiteral("PRAGMA user_version = 1"));
    } catch (const EPelmoraError& e) {
        QFile::remove(fileName);
        return e.Message();
    }
    return QString();
}

QString ExpenseCreateTableSql()
{
    return QStringLiteral("CREATE TABLE Table1 ("
                          "id INTEGER PRIMARY KEY AUTOINCREMENT, "
                          "car VARCHAR(200) CHECK (length(car) <= 200), "
                          "partname VARCHAR(200) CHECK (length(partname) <= 200), "
                          "jobdate VARCHAR(200) CHECK (length(jobdate) <= 200), "
                          "mileage INTEGER CHECK (mileage BETWEEN -2147483648 AND 2147483647), "
                          "descr VARCHAR(200) CHECK (length(descr) <= 200), "
                          "price INTEGER CHECK (price BETWEEN -2147483648 AND 2147483647))");
}
