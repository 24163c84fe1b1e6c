// Filter texts, the job-date key and the total walk shared by the main
// window and the command-line tool, so both see the same rows and the same
// sum. Invariants: the key function is pure (its cache only remembers
// results); the walk never wraps a 32-bit sum and never skips a row.
#include "ExpenseQuery.h"

#include "DbTable.h"
#include "PelmoraError.h"

#include <QDate>
#include <QHash>
#include <limits>
#include <memory>

const QString TotalOutOfRangeText = QStringLiteral(
    "Сумма всех работ выходит за пределы допустимого диапазона (от -2147483648 до 2147483647)");

QString CarFilterText(const QString& car)
{
    QString quoted = car;
    quoted.replace(QLatin1Char('\''), QLatin1String("''"));
    return QStringLiteral("car = '") + quoted + QLatin1Char('\'');
}

QString DateRangeFilterText(const QString& start, const QString& end)
{
    return QStringLiteral("jobdate >= '") + start + QStringLiteral("' AND jobdate <= '") + end
        + QLatin1Char('\'');
}

TFieldKeyFunction JobDateKey(const QLocale& locale, const QString& shortDateFormat)
{
    // Reading a date through the locale is slow and a log repeats its dates
    // a lot, so the keys of the texts seen are remembered.
    struct TCache {
        QLocale Locale;
        QString Format;
        QHash<QString, TDbValue> Keys;
    };
    auto cache = std::make_shared<TCache>(TCache { locale, shortDateFormat, {} });
    return [cache](const TDbValue& value) -> TDbValue {
        if (!value.IsText())
            return value.IsNull() ? TDbValue::Text(QString()) : value;
        const QString& text = value.AsText();
        if (const auto it = cache->Keys.constFind(text); it != cache->Keys.cend())
            return *it;
        const QDate date = cache->Locale.toDate(text, cache->Format);
        TDbValue key = date.isValid() ? TDbValue::Integer(date.toJulianDay()) : value;
        if (cache->Keys.size() >= (1 << 16))
            cache->Keys.clear();
        cache->Keys.insert(text, key);
        return key;
    };
}

void InstallJobDateKey(TDbTable& table, const QLocale& locale, const QString& shortDateFormat)
{
    table.SetKeyFunction(QStringLiteral("jobdate"), JobDateKey(locale, shortDateFormat));
}

qint32 WalkTotal(TDbTable& table, const std::function<void(qint32 sum)>& afterRow)
{
    table.First();
    const int price = table.FieldByName(QStringLiteral("price")).Index();
    qint64 sum = 0;
    while (!table.Eof()) {
        const TDbValue& value = table.Value(price);
        if (!value.IsInteger())
            throw EConvertError(QStringLiteral("Could not convert variant of type (%1) into type (Integer)")
                                    .arg(value.IsNull() ? QStringLiteral("Null") : QStringLiteral("String")));
        sum += value.AsInteger();
        if (sum < std::numeric_limits<qint32>::min() || sum > std::numeric_limits<qint32>::max())
            throw EConvertError(TotalOutOfRangeText);
        table.Next();
        if (afterRow)
            afterRow(qint32(sum));
    }
    return qint32(sum);
}
