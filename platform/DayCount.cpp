// Day counts and the locale's date and time texts.

#include "DayCount.h"

#include <cmath>

namespace {

const QDate kDateBase(1899, 12, 30);
constexpr qint64 kMsPerDay = 86400000;

// The locale's time formats end in a time-zone field; day counts carry no
// zone, so it is left out.
QString WithoutZone(const QString& fmt)
{
    QString r;
    bool quoted = false;
    for (const QChar c : fmt) {
        if (c == QLatin1Char('\''))
            quoted = !quoted;
        if (!quoted && c == QLatin1Char('t'))
            continue;
        r += c;
    }
    return r.trimmed();
}

} // namespace

std::optional<QDateTime> DayCountToDateTime(double Days)
{
    if (!std::isfinite(Days) || Days < kMinDayCount - 1 || Days > kMaxDayCount + 1)
        return std::nullopt;
    double whole = std::trunc(Days);
    qint64 ms = std::llround(std::fabs(Days - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {
        // Rounded up to midnight: the next calendar day, whatever the sign.
        ms -= kMsPerDay;
        whole += 1;
    }
    if (whole < kMinDayCount || whole > kMaxDayCount)
        return std::nullopt;
    return QDateTime(kDateBase.addDays(static_cast<qint64>(whole)),
        QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::UTC);
}

double DateTimeToDayCount(const QDateTime& DateTime)
{
    const double days = static_cast<double>(kDateBase.daysTo(DateTime.date()));
    const double time = DateTime.time().msecsSinceStartOfDay() / static_cast<double>(kMsPerDay);
    return days < 0 ? days - time : days + time;
}

QString LocaleTimeFormat(const QLocale& Locale, QLocale::FormatType Type)
{
    return WithoutZone(Locale.timeFormat(Type));
}

QString LocaleTimeText(const QLocale& Locale, const QTime& Time, QLocale::FormatType Type)
{
    return Locale.toString(Time, LocaleTimeFormat(Locale, Type));
}

QString DateTimeText(const QLocale& Locale, const QDateTime& DateTime)
{
    const bool midnight = DateTime.time().msecsSinceStartOfDay() == 0;
    const QString time = midnight ? QString() : LocaleTimeText(Locale, DateTime.time(), QLocale::LongFormat);
    // Day 0 with a time is a time of day (Time, EncodeTime), not an event of
    // 30 December 1899: it prints as the time alone.
    if (DateTime.date() == kDateBase && !midnight)
        return time;
    QString s = Locale.toString(DateTime.date(), QLocale::ShortFormat);
    if (!midnight)
        s += QLatin1Char(' ') + time;
    return s;
}

bool TextToDayCount(const QLocale& Locale, const QString& Text, double& Days)
{
    const QString t = Text.trimmed();
    if (t.isEmpty())
        return false;
    const QString dateFormat = Locale.dateFormat(QLocale::ShortFormat);
    QDateTime dt(Locale.toDate(t, dateFormat), QTime(0, 0), Qt::UTC);
    for (const QLocale::FormatType type : { QLocale::LongFormat, QLocale::ShortFormat }) {
        if (dt.isValid())
            break;
        dt = Locale.toDateTime(t, dateFormat + QLatin1Char(' ') + LocaleTimeFormat(Locale, type));
    }
    if (!dt.isValid())
        return false;
    Days = DateTimeToDayCount(dt);
    return true;
}
