#include "rpPageSequence.h"

#include "PelmoraError.h"

#include <QRegularExpression>

#include <algorithm>

namespace {
int ToInt(const QString& Text)
{
    bool ok = false;
    const int value = Text.toInt(&ok);
    if (!ok)
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(Text));
    return value;
}
} // namespace

std::optional<std::vector<int>> rpPageSequence(const QString& Text, int PageCount)
{
    std::vector<int> list;
    QString s = Text;
    s.remove(QLatin1Char(' '));
    if (s.isEmpty())
        return std::nullopt;
    if (s.endsWith(QLatin1Char('-')))
        s += QString::number(PageCount);
    s += QLatin1Char(',');
    QString number;
    int rangeStart = 0;
    bool inRange = false;
    for (const QChar c : s) {
        if (c == QLatin1Char('-')) {
            rangeStart = ToInt(number);
            inRange = true;
            number.clear();
        } else if (c == QLatin1Char(',')) {
            const int value = ToInt(number);
            number.clear();
            if (inRange) {
                const int last = std::min(value, PageCount);
                for (int i = std::max(rangeStart, 1); i <= last; ++i)
                    list.push_back(i);
                inRange = false;
            } else
                list.push_back(value);
        } else if (c.isDigit()) {
            number += c;
        } else {
            // The rest of the text is not converted; the first bad part is named.
            const qsizetype end = s.indexOf(QRegularExpression(QStringLiteral("[-,]")), s.indexOf(c));
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value")
                                    .arg(number + s.mid(s.indexOf(c), end - s.indexOf(c))));
        }
    }
    return list;
}
