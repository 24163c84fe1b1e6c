#pragma once

// Picture formatters shared by the built-in library and the report's value
// formatting. All of them follow the default QLocale (decimal and group
// separators, day and month names, date and time formats) and fail with
// EConvertError carrying the user's message.

#include "Variant.h"

#include <QDateTime>
#include <QString>

// Date-times are day counts from 30 December 1899; the fraction is the time
// of day (for negative counts its absolute value, so -1.25 is 29 December
// 1899 at 06:00). Times are rounded to the millisecond.
QDateTime scDaysToDateTime(double Days); // fails for counts outside years 1..9999
double scDateTimeToDays(const QDateTime& DateTime);

// Number picture: ';'-separated sections for positive, negative and zero
// values; 0 and # digit places, '.', ',' grouping, E+ / E- exponent, quoted
// literal text. An empty picture gives the general format.
QString scFormatFloat(const QString& Fmt, double Value);

// printf-like: %[-][width][.prec]type with d u e f g n m s x and %%; Args is
// an array of values (or one value).
QString scFormat(const QString& Fmt, const Variant& Args);

// Date-time picture: c d dd ddd dddd ddddd dddddd m mm mmm mmmm yy yyyy h hh
// n nn s ss z zzz t tt am/pm a/p ampm, '/' and ':' as the locale's
// separators, quoted literal text; m is minutes right after an h or before
// an s. Letters are read without regard to case.
QString scFormatDateTime(const QString& Fmt, double DateTime);

// The locale's short date, then a space and the long time unless the time
// is midnight; a time on day 0 alone (the picture "c", DateTimeText).
QString scDateTimeToStr(double DateTime);
// The locale's short date, and its long time (without a time zone).
QString scDateToStr(double DateTime);
QString scTimeToStr(double DateTime);
