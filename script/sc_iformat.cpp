// Picture formatters: numbers (sections, digit places, grouping, exponent),
// printf-like Format, and date-time pictures. Day counts convert to dates
// without a time zone, so a daylight-saving change never moves a value; every
// name, separator and format comes from the default QLocale at the call.
// Out-of-range input fails with a message, never with an invalid date or a
// giant allocation.

#include "sc_iformat.h"

#include "DayCount.h"

#include <QLocale>
#include <QRegularExpression>
#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Widest field and precision Format accepts: beyond it a typo would pad
// gigabytes of blanks.
constexpr int kMaxFormatWidth = 4096;

// Picture format of one section: 0 and # digit places, '.', ',' grouping,
// E+/E- exponent, quoted literals, anything else copied.
QString FormatFloatSection(const QString& fmt, double value)
{
    int intZeros = 0, fracPlaces = 0, fracZeros = 0; // fracZeros: places up to the last 0
    bool seenPoint = false, grouping = false, inQuote = false;
    int expAt = -1;
    QChar quote;
    for (int i = 0; i < fmt.size(); ++i) {
        const QChar c = fmt[i];
        if (inQuote) {
            if (c == quote)
                inQuote = false;
            continue;
        }
        if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            inQuote = true;
            quote = c;
        } else if ((c == QLatin1Char('E') || c == QLatin1Char('e')) && i + 1 < fmt.size()
            && (fmt[i + 1] == QLatin1Char('+') || fmt[i + 1] == QLatin1Char('-'))) {
            expAt = i;
            break;
        } else if (c == QLatin1Char('0')) {
            if (seenPoint)
                fracZeros = ++fracPlaces;
            else
                ++intZeros;
        } else if (c == QLatin1Char('#')) {
            if (seenPoint)
                ++fracPlaces;
        } else if (c == QLatin1Char('.')) {
            seenPoint = true;
        } else if (c == QLatin1Char(',')) {
            grouping = true;
        }
    }
    const QLocale loc;
    QString number;
    if (expAt >= 0) {
        int expDigits = 0;
        for (int i = expAt + 2; i < fmt.size() && fmt[i] == QLatin1Char('0'); ++i)
            ++expDigits;
        const int decimals = fracPlaces;
        int exp = value == 0 ? 0 : static_cast<int>(std::floor(std::log10(std::fabs(value))));
        double mant = value / std::pow(10.0, exp);
        if (std::fabs(QString::number(mant, 'f', decimals).toDouble()) >= 10.0) {
            ++exp;
            mant /= 10.0;
        }
        QString m = QString::number(std::fabs(mant), 'f', decimals);
        QString e = QString::number(std::abs(exp)).rightJustified(expDigits, QLatin1Char('0'));
        const QChar sign
            = exp < 0 ? QLatin1Char('-') : (fmt[expAt + 1] == QLatin1Char('+') ? QLatin1Char('+') : QChar());
        number = m.replace(QLatin1Char('.'), loc.decimalPoint()) + fmt[expAt]
            + (sign.isNull() ? QString() : QString(sign)) + e;
        if (value < 0)
            number.prepend(QLatin1Char('-'));
        return number;
    }
    const int decimals = fracPlaces;
    QString digits = QString::number(std::fabs(value), 'f', decimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString fracPart = digits.section(QLatin1Char('.'), 1, 1);
    while (fracPart.size() > fracZeros && fracPart.endsWith(QLatin1Char('0')))
        fracPart.chop(1);
    if (intPart == QLatin1String("0") && intZeros == 0)
        intPart.clear();
    intPart = intPart.rightJustified(intZeros, QLatin1Char('0'));
    if (grouping) {
        const QString sep = loc.groupSeparator();
        for (int i = static_cast<int>(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, sep);
    }
    number = intPart;
    if (!fracPart.isEmpty())
        number += loc.decimalPoint() + fracPart;
    const bool negative = value < 0 && (number.contains(QRegularExpression(QStringLiteral("[1-9]"))));
    // Literal text before the first digit place and after the last stays.
    int first = -1, last = -1;
    for (int i = 0; i < fmt.size(); ++i)
        if (QStringLiteral("0#.,").contains(fmt[i])) {
            if (first < 0)
                first = i;
            last = i;
        }
    auto literal = [](const QString& t) {
        QString r;
        for (const QChar c : t)
            if (c != QLatin1Char('"') && c != QLatin1Char('\''))
                r += c;
        return r;
    };
    const QString prefix = first < 0 ? literal(fmt) : literal(fmt.left(first));
    const QString suffix = last < 0 ? QString() : literal(fmt.mid(last + 1));
    return (negative ? QStringLiteral("-") : QString()) + prefix + number + suffix;
}

QString LongTime(const QLocale& loc, const QTime& t)
{
    return LocaleTimeText(loc, t, QLocale::LongFormat);
}
QString ShortTime(const QLocale& loc, const QTime& t)
{
    return LocaleTimeText(loc, t, QLocale::ShortFormat);
}

// The first punctuation between the fields of a locale format; a locale
// whose format has none (the C locale writes "d MMM yyyy") gets the fallback.
QChar Separator(const QString& fmt, QChar fallback)
{
    bool quoted = false;
    for (const QChar c : fmt) {
        if (c == QLatin1Char('\'')) {
            quoted = !quoted;
            continue;
        }
        if (!quoted && !c.isLetter() && !c.isSpace())
            return c;
    }
    return fallback;
}

enum TDateToken {
    tkLiteral,
    tkC,
    tkD,
    tkDD,
    tkDDD,
    tkDDDD,
    tkDDDDD,
    tkDDDDDD,
    tkM,
    tkMM,
    tkMMM,
    tkMMMM,
    tkYY,
    tkYYYY,
    tkH,
    tkHH,
    tkN,
    tkNN,
    tkS,
    tkSS,
    tkZ,
    tkZZZ,
    tkT,
    tkTT,
    tkAmPm,
    tkLocaleAmPm,
    tkDateSep,
    tkTimeSep,
};

struct TDatePart {
    TDateToken Kind;
    QString Text; // literal text, or the am/pm picture as written
};

bool IsField(TDateToken t)
{
    return t != tkLiteral && t != tkDateSep && t != tkTimeSep;
}

std::vector<TDatePart> Tokenize(const QString& fmt)
{
    std::vector<TDatePart> parts;
    const int n = static_cast<int>(fmt.size());
    auto literal = [&](const QString& text) {
        if (!parts.empty() && parts.back().Kind == tkLiteral)
            parts.back().Text += text;
        else
            parts.push_back({ tkLiteral, text });
    };
    int i = 0;
    auto run = [&](QChar lower, int most) {
        int k = 0;
        while (i + k < n && k < most && fmt[i + k].toLower() == lower)
            ++k;
        return k;
    };
    auto at = [&](const char* word) {
        const QLatin1String w(word);
        return fmt.mid(i, w.size()).compare(w, Qt::CaseInsensitive) == 0;
    };
    while (i < n) {
        const QChar c = fmt[i];
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            int end = static_cast<int>(fmt.indexOf(c, i + 1));
            if (end < 0)
                end = n; // an unclosed quote runs to the end
            literal(fmt.mid(i + 1, end - i - 1));
            i = end + 1;
            continue;
        }
        int k = 1;
        switch (c.toLower().unicode()) {
        case '/':
            parts.push_back({ tkDateSep, {} });
            break;
        case ':':
            parts.push_back({ tkTimeSep, {} });
            break;
        case 'a':
            if (at("am/pm"))
                k = 5;
            else if (at("a/p"))
                k = 3;
            else if (at("ampm"))
                k = 4;
            else {
                literal(c);
                break;
            }
            parts.push_back({ k == 4 ? tkLocaleAmPm : tkAmPm, fmt.mid(i, k) });
            break;
        case 'c':
            parts.push_back({ tkC, {} });
            break;
        case 'd':
            k = run(QLatin1Char('d'), 6);
            parts.push_back({ static_cast<TDateToken>(tkD + k - 1), {} });
            break;
        case 'm':
            k = run(QLatin1Char('m'), 4);
            parts.push_back({ static_cast<TDateToken>(tkM + k - 1), {} });
            break;
        case 'y':
            k = run(QLatin1Char('y'), 4);
            parts.push_back({ k <= 2 ? tkYY : tkYYYY, {} });
            break;
        case 'h':
            k = run(QLatin1Char('h'), 2);
            parts.push_back({ k == 1 ? tkH : tkHH, {} });
            break;
        case 'n':
            k = run(QLatin1Char('n'), 2);
            parts.push_back({ k == 1 ? tkN : tkNN, {} });
            break;
        case 's':
            k = run(QLatin1Char('s'), 2);
            parts.push_back({ k == 1 ? tkS : tkSS, {} });
            break;
        case 'z':
            k = run(QLatin1Char('z'), 3) == 3 ? 3 : 1;
            parts.push_back({ k == 3 ? tkZZZ : tkZ, {} });
            break;
        case 't':
            k = run(QLatin1Char('t'), 2);
            parts.push_back({ k == 1 ? tkT : tkTT, {} });
            break;
        default:
            literal(c);
            break;
        }
        i += k;
    }
    // m and mm mean minutes right after an hour or before seconds.
    int prevField = -1;
    for (size_t j = 0; j < parts.size(); ++j) {
        TDatePart& p = parts[j];
        if (!IsField(p.Kind))
            continue;
        if (p.Kind == tkM || p.Kind == tkMM) {
            bool minutes = prevField >= 0 && (parts[prevField].Kind == tkH || parts[prevField].Kind == tkHH);
            for (size_t k = j + 1; !minutes && k < parts.size(); ++k)
                if (IsField(parts[k].Kind)) {
                    minutes = parts[k].Kind == tkS || parts[k].Kind == tkSS;
                    break;
                }
            if (minutes)
                p.Kind = p.Kind == tkM ? tkN : tkNN;
        }
        prevField = static_cast<int>(j);
    }
    return parts;
}

QString TwoDigits(int v)
{
    return QString::number(v).rightJustified(2, QLatin1Char('0'));
}

} // namespace

QString scFormatFloat(const QString& fmt, double value)
{
    // No picture has digits for NaN or infinity; they read as the plain text does.
    if (fmt.isEmpty() || !std::isfinite(value))
        return Variant::FloatToText(value);
    const QStringList sections = fmt.split(QLatin1Char(';'));
    if (value < 0 && sections.size() > 1 && !sections[1].isEmpty()) {
        return FormatFloatSection(sections[1], -value);
    }
    if (value == 0 && sections.size() > 2 && !sections[2].isEmpty())
        return FormatFloatSection(sections[2], value);
    return FormatFloatSection(sections[0], value);
}

// %[-][width][.prec]type with d u e f g n m s x and %%.
QString scFormat(const QString& fmt, const Variant& args)
{
    const QList<Variant> list = args.IsArray() ? args.AsArray() : QList<Variant> { args };
    const QLocale loc;
    QString out;
    int next = 0;
    for (int i = 0; i < fmt.size(); ++i) {
        if (fmt[i] != QLatin1Char('%')) {
            out += fmt[i];
            continue;
        }
        if (i + 1 < fmt.size() && fmt[i + 1] == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        int j = i + 1;
        bool left = false;
        if (j < fmt.size() && fmt[j] == QLatin1Char('-')) {
            left = true;
            ++j;
        }
        int width = 0, prec = -1;
        while (j < fmt.size() && fmt[j].isDigit() && width <= kMaxFormatWidth)
            width = width * 10 + fmt[j++].digitValue();
        if (j < fmt.size() && fmt[j] == QLatin1Char('.')) {
            prec = 0;
            ++j;
            while (j < fmt.size() && fmt[j].isDigit() && prec <= kMaxFormatWidth)
                prec = prec * 10 + fmt[j++].digitValue();
        }
        if (j >= fmt.size() || next >= list.size() || width > kMaxFormatWidth || prec > kMaxFormatWidth)
            throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
        const QChar type = fmt[j].toLower();
        const Variant& a = list[next++];
        QString piece;
        switch (type.unicode()) {
        case 'd':
        case 'u':
            piece = QString::number(a.AsInt64());
            if (prec > 0)
                piece = piece.rightJustified(prec, QLatin1Char('0'));
            break;
        case 'f':
            piece = loc.toString(a.AsDouble(), 'f', prec < 0 ? 2 : prec);
            piece.remove(loc.groupSeparator());
            break;
        case 'n':
        case 'm':
            piece = loc.toString(a.AsDouble(), 'f', prec < 0 ? 2 : prec);
            break;
        case 'e':
            piece = loc.toString(a.AsDouble(), 'e', prec < 0 ? 15 : prec - 1);
            break;
        case 'g':
            piece = Variant::FloatToText(a.AsDouble());
            break;
        case 's':
            piece = a.AsString();
            if (prec >= 0)
                piece = piece.left(prec);
            break;
        case 'x':
            piece = QString::number(a.AsInt64(), 16).toUpper();
            if (prec > 0)
                piece = piece.rightJustified(prec, QLatin1Char('0'));
            break;
        default:
            throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(fmt));
        }
        out += left ? piece.leftJustified(width) : piece.rightJustified(width);
        i = j;
    }
    return out;
}

QDateTime scDaysToDateTime(double Days)
{
    const std::optional<QDateTime> dt = DayCountToDateTime(Days);
    if (!dt)
        throw EConvertError(
            QStringLiteral("%1 is not a valid date and time value").arg(Variant::FloatToText(Days)));
    return *dt;
}

double scDateTimeToDays(const QDateTime& DateTime)
{
    return DateTimeToDayCount(DateTime);
}

QString scFormatDateTime(const QString& Fmt, double DateTime)
{
    const QDateTime dt = scDaysToDateTime(DateTime);
    const QDate d = dt.date();
    const QTime t = dt.time();
    const QLocale loc;
    const std::vector<TDatePart> parts = Tokenize(Fmt.isEmpty() ? QStringLiteral("c") : Fmt);
    bool twelveHour = false, dayNumber = false;
    for (const TDatePart& p : parts) {
        twelveHour = twelveHour || p.Kind == tkAmPm || p.Kind == tkLocaleAmPm;
        dayNumber = dayNumber || p.Kind == tkD || p.Kind == tkDD;
    }
    const int hour = twelveHour ? (t.hour() % 12 == 0 ? 12 : t.hour() % 12) : t.hour();
    // Beside a day number a month name takes its in-date form (Russian
    // "10 декабря"); alone it is the name of the month ("декабрь").
    auto monthName = [&](QLocale::FormatType type) {
        return dayNumber ? loc.monthName(d.month(), type) : loc.standaloneMonthName(d.month(), type);
    };
    QString out;
    for (const TDatePart& p : parts) {
        switch (p.Kind) {
        case tkLiteral:
            out += p.Text;
            break;
        case tkC:
            out += scDateTimeToStr(DateTime);
            break;
        case tkD:
            out += QString::number(d.day());
            break;
        case tkDD:
            out += TwoDigits(d.day());
            break;
        case tkDDD:
            out += loc.dayName(d.dayOfWeek(), QLocale::ShortFormat);
            break;
        case tkDDDD:
            out += loc.dayName(d.dayOfWeek(), QLocale::LongFormat);
            break;
        case tkDDDDD:
            out += loc.toString(d, QLocale::ShortFormat);
            break;
        case tkDDDDDD:
            out += loc.toString(d, QLocale::LongFormat);
            break;
        case tkM:
            out += QString::number(d.month());
            break;
        case tkMM:
            out += TwoDigits(d.month());
            break;
        case tkMMM:
            out += monthName(QLocale::ShortFormat);
            break;
        case tkMMMM:
            out += monthName(QLocale::LongFormat);
            break;
        case tkYY:
            out += TwoDigits(d.year() % 100);
            break;
        case tkYYYY:
            out += QString::number(d.year()).rightJustified(4, QLatin1Char('0'));
            break;
        case tkH:
            out += QString::number(hour);
            break;
        case tkHH:
            out += TwoDigits(hour);
            break;
        case tkN:
            out += QString::number(t.minute());
            break;
        case tkNN:
            out += TwoDigits(t.minute());
            break;
        case tkS:
            out += QString::number(t.second());
            break;
        case tkSS:
            out += TwoDigits(t.second());
            break;
        case tkZ:
            out += QString::number(t.msec());
            break;
        case tkZZZ:
            out += QString::number(t.msec()).rightJustified(3, QLatin1Char('0'));
            break;
        case tkT:
            out += ShortTime(loc, t);
            break;
        case tkTT:
            out += LongTime(loc, t);
            break;
        case tkAmPm:
            out += p.Text.section(QLatin1Char('/'), t.hour() < 12 ? 0 : 1, t.hour() < 12 ? 0 : 1);
            break;
        case tkLocaleAmPm:
            out += t.hour() < 12 ? loc.amText() : loc.pmText();
            break;
        case tkDateSep:
            out += Separator(loc.dateFormat(QLocale::ShortFormat), QLatin1Char('/'));
            break;
        case tkTimeSep:
            out += Separator(loc.timeFormat(QLocale::ShortFormat), QLatin1Char(':'));
            break;
        }
    }
    return out;
}

QString scDateTimeToStr(double DateTime)
{
    return DateTimeText(QLocale(), scDaysToDateTime(DateTime));
}

QString scDateToStr(double DateTime)
{
    return QLocale().toString(scDaysToDateTime(DateTime).date(), QLocale::ShortFormat);
}

QString scTimeToStr(double DateTime)
{
    const QLocale loc;
    return LongTime(loc, scDaysToDateTime(DateTime).time());
}
