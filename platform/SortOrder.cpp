// Sort text parser. Invariant: every returned key has a non-empty name made
// of letters, digits and "_" only; the names are checked against the table's
// fields by the caller.
#include "SortOrder.h"
#include "PelmoraError.h"
#include <QStringList>

std::vector<TSortKey> ParseSortText(const QString& text)
{
    std::vector<TSortKey> keys;
    if (text.trimmed().isEmpty())
        return keys;
    for (const QString& part : text.split(QLatin1Char(','))) {
        const QStringList words = part.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        const auto validName = [](const QString& name) {
            for (QChar c : name)
                if (!c.isLetterOrNumber() && c != QLatin1Char('_'))
                    return false;
            return !name.isEmpty();
        };
        bool ok = (words.size() == 1 || words.size() == 2) && validName(words[0]);
        TSortKey key;
        if (ok) {
            key.FieldName = words[0];
            if (words.size() == 2) {
                if (words[1].compare(QLatin1String("DESC"), Qt::CaseInsensitive) == 0)
                    key.Descending = true;
                else if (words[1].compare(QLatin1String("ASC"), Qt::CaseInsensitive) != 0)
                    ok = false;
            }
        }
        if (!ok)
            throw EDatabaseError(QStringLiteral("Invalid sort order \"%1\"").arg(text));
        keys.push_back(key);
    }
    return keys;
}
