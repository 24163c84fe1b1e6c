#pragma once

// Date-time values: a day count from 30 December 1899 whose fraction is the
// time of day (for a negative count its absolute value, so -1.25 is 29
// December 1899 at 06:00). The conversions carry no time zone, so a
// daylight-saving change never moves a value.

#include <QDateTime>
#include <QLocale>
#include <QString>
#include <optional>

// 1 January 0001 and 31 December 9999: the days a count can name.
constexpr double kMinDayCount = -693593;
constexpr double kMaxDayCount = 2958465;

// Nothing for counts outside years 1..9999, NaN and infinity. Times are
// rounded to the millisecond.
std::optional<QDateTime> DayCountToDateTime(double Days);
double DateTimeToDayCount(const QDateTime& DateTime);

// The locale's time format without its time-zone field: day counts have none.
QString LocaleTimeFormat(const QLocale& Locale, QLocale::FormatType Type);
QString LocaleTimeText(const QLocale& Locale, const QTime& Time, QLocale::FormatType Type);

// A date-time as report texts show it by default: the locale's short date,
// then a space and the long time unless the time is midnight; a time on day
// 0 (a time of day with no date) is the long time alone.
QString DateTimeText(const QLocale& Locale, const QDateTime& DateTime);

// Reads the locale's short date, optionally followed by a time in its long
// or short format. False when the text is no such date.
bool TextToDayCount(const QLocale& Locale, const QString& Text, double& Days);
