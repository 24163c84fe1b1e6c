// The built-in library. Functions are registered by syntax line under their
// category; one handler per category dispatches on the upper-cased name.
// Dates are day counts from 30 December 1899; strings count UTF-16 units;
// math arguments are multiplied by 1.0 first so numeric strings are accepted.

#include "sc_isysrtti.h"

#include "PelmoraError.h"
#include "sc_ierrors.h"
#include "sc_iinterpreter.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <cmath>
#include <limits>

namespace {

using Params = std::vector<Variant>;

const QDate kDateBase(1899, 12, 30);

double ToFloat(const Variant& v) { return Variant::Multiply(v, Variant(1.0)).AsDouble(); }

// An integral result as Integer when it fits, else Int64.
Variant IntResult(double value)
{
    if (!std::isfinite(value) || std::fabs(value) >= 9.2233720368547758e18)
        throw EConvertError(QStringLiteral("Invalid floating point operation"));
    const auto i = static_cast<int64_t>(value);
    if (i >= std::numeric_limits<int32_t>::min() && i <= std::numeric_limits<int32_t>::max())
        return Variant(static_cast<int32_t>(i));
    return Variant(i);
}

QDateTime ToDateTime(double days)
{
    const double whole = std::floor(days);
    const auto ms = static_cast<qint64>(std::llround((days - whole) * 86400000.0));
    return QDateTime(kDateBase.addDays(static_cast<qint64>(whole)), QTime(0, 0)).addMSecs(ms);
}

double FromDateTime(const QDateTime& dt)
{
    const double days = static_cast<double>(kDateBase.daysTo(dt.date()));
    return days + dt.time().msecsSinceStartOfDay() / 86400000.0;
}

int64_t ReadInt64(const QString& s)
{
    Variant v;
    if (Variant::TextToNumber(s, v) && v.VarKind() != Variant::vkDouble)
        return v.AsInt64();
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(s));
}

double ReadFloat(const QString& s)
{
    Variant v;
    if (Variant::TextToNumber(s, v))
        return v.AsDouble();
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
}

QString Trimmed(const QString& s)
{
    int b = 0, e = static_cast<int>(s.size());
    while (b < e && s[b].unicode() <= 32)
        ++b;
    while (e > b && s[e - 1].unicode() <= 32)
        --e;
    return s.mid(b, e - b);
}

QString NameCase(const QString& s)
{
    QString r = QLocale().toLower(s);
    for (int i = 0; i < r.size(); ++i)
        if (i == 0 || r[i - 1] == QLatin1Char(' '))
            r[i] = r[i].toUpper();
    return r;
}

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
        const QChar sign = exp < 0 ? QLatin1Char('-') : (fmt[expAt + 1] == QLatin1Char('+') ? QLatin1Char('+') : QChar());
        number = m.replace(QLatin1Char('.'), loc.decimalPoint()) + fmt[expAt] + (sign.isNull() ? QString() : QString(sign)) + e;
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

QString FormatFloat(const QString& fmt, double value)
{
    if (fmt.isEmpty())
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
QString Format(const QString& fmt, const Variant& args)
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
        while (j < fmt.size() && fmt[j].isDigit())
            width = width * 10 + fmt[j++].digitValue();
        if (j < fmt.size() && fmt[j] == QLatin1Char('.')) {
            prec = 0;
            ++j;
            while (j < fmt.size() && fmt[j].isDigit())
                prec = prec * 10 + fmt[j++].digitValue();
        }
        if (j >= fmt.size() || next >= list.size())
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

Variant ConvFunc(const QString& name, Params& p)
{
    const QLocale loc;
    if (name == QLatin1String("INTTOSTR"))
        return QString::number(p[0].AsInt64());
    if (name == QLatin1String("FLOATTOSTR"))
        return Variant::FloatToText(ToFloat(p[0]));
    if (name == QLatin1String("DATETOSTR"))
        return loc.toString(ToDateTime(ToFloat(p[0])).date(), QLocale::ShortFormat);
    if (name == QLatin1String("TIMETOSTR"))
        return loc.toString(ToDateTime(ToFloat(p[0])).time(), QLocale::LongFormat);
    if (name == QLatin1String("DATETIMETOSTR"))
        return loc.toString(ToDateTime(ToFloat(p[0])), QLocale::ShortFormat);
    if (name == QLatin1String("BOOLTOSTR"))
        return p[0].AsBoolean() ? QStringLiteral("-1") : QStringLiteral("0");
    if (name == QLatin1String("VARTOSTR"))
        return p[0].AsString();
    if (name == QLatin1String("STRTOINT")) {
        const int64_t v = ReadInt64(p[0].AsString());
        if (v < std::numeric_limits<int32_t>::min() || v > std::numeric_limits<int32_t>::max())
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(p[0].AsString()));
        return static_cast<int32_t>(v);
    }
    if (name == QLatin1String("STRTOINT64"))
        return ReadInt64(p[0].AsString());
    if (name == QLatin1String("STRTOFLOAT"))
        return ReadFloat(p[0].AsString());
    if (name == QLatin1String("STRTODATE") || name == QLatin1String("STRTODATETIME")
        || name == QLatin1String("STRTOTIME")) {
        const QString s = p[0].AsString().trimmed();
        QDateTime dt;
        if (name == QLatin1String("STRTODATE")) {
            const QDate d = loc.toDate(s, QLocale::ShortFormat);
            if (d.isValid())
                dt = QDateTime(d, QTime(0, 0));
        } else if (name == QLatin1String("STRTOTIME")) {
            QTime t = loc.toTime(s, QLocale::LongFormat);
            if (!t.isValid())
                t = loc.toTime(s, QLocale::ShortFormat);
            if (t.isValid())
                return t.msecsSinceStartOfDay() / 86400000.0;
        } else {
            dt = loc.toDateTime(s, QLocale::ShortFormat);
        }
        if (!dt.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(s));
        return FromDateTime(dt);
    }
    if (name == QLatin1String("STRTOBOOL")) {
        const QString s = p[0].AsString().trimmed();
        if (s.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
            return true;
        if (s.compare(QLatin1String("false"), Qt::CaseInsensitive) == 0)
            return false;
        Variant v;
        if (Variant::TextToNumber(s, v))
            return v.AsDouble() != 0;
        throw EConvertError(QStringLiteral("'%1' is not a valid boolean value").arg(s));
    }
    return Variant();
}

Variant FormatFunc(const QString& name, Params& p)
{
    if (name == QLatin1String("FORMAT"))
        return Format(p[0].AsString(), p[1]);
    if (name == QLatin1String("FORMATFLOAT"))
        return FormatFloat(p[0].AsString(), ToFloat(p[1]));
    throw EscError(QStringLiteral("%1 is not available").arg(name));
}

Variant DateFunc(const QString& name, Params& p)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (name == QLatin1String("DATE"))
        return static_cast<double>(kDateBase.daysTo(now.date()));
    if (name == QLatin1String("TIME"))
        return now.time().msecsSinceStartOfDay() / 86400000.0;
    if (name == QLatin1String("NOW"))
        return FromDateTime(now);
    if (name == QLatin1String("ENCODEDATE")) {
        const QDate d(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger());
        if (!d.isValid())
            throw EConvertError(QStringLiteral("Invalid argument to date encode"));
        return static_cast<double>(kDateBase.daysTo(d));
    }
    if (name == QLatin1String("DECODEDATE")) {
        const QDate d = ToDateTime(ToFloat(p[0])).date();
        p[1] = d.year();
        p[2] = d.month();
        p[3] = d.day();
        return Variant();
    }
    if (name == QLatin1String("ENCODETIME")) {
        const QTime t(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger());
        if (!t.isValid())
            throw EConvertError(QStringLiteral("Invalid argument to time encode"));
        return t.msecsSinceStartOfDay() / 86400000.0;
    }
    if (name == QLatin1String("DECODETIME")) {
        const QTime t = ToDateTime(ToFloat(p[0])).time();
        p[1] = t.hour();
        p[2] = t.minute();
        p[3] = t.second();
        p[4] = t.msec();
        return Variant();
    }
    if (name == QLatin1String("DAYOFWEEK"))
        return ToDateTime(ToFloat(p[0])).date().dayOfWeek() % 7 + 1; // Sunday is 1
    if (name == QLatin1String("ISLEAPYEAR"))
        return QDate::isLeapYear(p[0].AsInteger());
    if (name == QLatin1String("DAYSINMONTH"))
        return QDate(p[0].AsInteger(), p[1].AsInteger(), 1).daysInMonth();
    return Variant();
}

Variant StringFunc(const QString& name, Params& p)
{
    if (name == QLatin1String("LENGTH"))
        return p[0].IsArray() ? p[0].ArrayCount() : static_cast<int32_t>(p[0].AsString().size());
    if (name == QLatin1String("COPY")) {
        const QString s = p[0].AsString();
        const int from = std::max(1, p[1].AsInteger());
        const int count = std::max(0, p[2].AsInteger());
        return from > s.size() ? QString() : s.mid(from - 1, count);
    }
    if (name == QLatin1String("POS"))
        return static_cast<int32_t>(p[1].AsString().indexOf(p[0].AsString()) + 1);
    if (name == QLatin1String("DELETE") || name == QLatin1String("DELETESTR")) {
        QString s = p[0].AsString();
        const int from = p[1].AsInteger();
        if (from >= 1 && from <= s.size() && p[2].AsInteger() > 0)
            s.remove(from - 1, p[2].AsInteger());
        p[0] = s;
        return Variant();
    }
    if (name == QLatin1String("INSERT")) {
        QString s = p[1].AsString();
        const int at = std::clamp(p[2].AsInteger(), 1, static_cast<int>(s.size()) + 1);
        s.insert(at - 1, p[0].AsString());
        p[1] = s;
        return Variant();
    }
    if (name == QLatin1String("UPPERCASE"))
        return QLocale().toUpper(p[0].AsString());
    if (name == QLatin1String("LOWERCASE"))
        return QLocale().toLower(p[0].AsString());
    if (name == QLatin1String("TRIM"))
        return Trimmed(p[0].AsString());
    if (name == QLatin1String("NAMECASE"))
        return NameCase(p[0].AsString());
    if (name == QLatin1String("COMPARETEXT")) {
        const int c = QString::localeAwareCompare(p[0].AsString().toLower(), p[1].AsString().toLower());
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    if (name == QLatin1String("CHR"))
        return QString(QChar(static_cast<char16_t>(p[0].AsInteger())));
    if (name == QLatin1String("ORD")) {
        const QString s = p[0].AsString();
        return s.isEmpty() ? 0 : static_cast<int32_t>(s[0].unicode());
    }
    if (name == QLatin1String("SETLENGTH")) {
        const int n = std::max(0, p[1].AsInteger());
        if (p[0].IsArray()) {
            QList<Variant> a = p[0].AsArray();
            a.resize(n);
            p[0] = a;
        } else {
            p[0] = p[0].AsString().leftJustified(n, QLatin1Char(' '), true);
        }
        return Variant();
    }
    return Variant();
}

Variant MathFunc(const QString& name, Params& p)
{
    if (name == QLatin1String("PI"))
        return 3.1415926535897932385;
    const double x = ToFloat(p[0]);
    if (name == QLatin1String("ROUND"))
        return IntResult(std::nearbyint(x)); // default rounding: halves to even
    if (name == QLatin1String("TRUNC") || name == QLatin1String("INT"))
        return IntResult(std::trunc(x));
    if (name == QLatin1String("FRAC"))
        return x - std::trunc(x);
    if (name == QLatin1String("SQRT"))
        return std::sqrt(x);
    if (name == QLatin1String("ABS"))
        return std::fabs(x);
    if (name == QLatin1String("SIN"))
        return std::sin(x);
    if (name == QLatin1String("COS"))
        return std::cos(x);
    if (name == QLatin1String("ARCTAN"))
        return std::atan(x);
    if (name == QLatin1String("TAN"))
        return std::tan(x);
    if (name == QLatin1String("EXP"))
        return std::exp(x);
    if (name == QLatin1String("LN"))
        return std::log(x);
    return Variant();
}

Variant OtherFunc(const QString& name, Params& p)
{
    if (name == QLatin1String("INC")) {
        p[0] = Variant::Add(p[0], p[1]);
        return Variant();
    }
    if (name == QLatin1String("DEC")) {
        p[0] = Variant::Subtract(p[0], p[1]);
        return Variant();
    }
    if (name == QLatin1String("RAISEEXCEPTION"))
        throw EscError(p[0].AsString());
    if (name == QLatin1String("RANDOM"))
        return QRandomGenerator::global()->generateDouble();
    if (name == QLatin1String("RANDOMIZE"))
        return Variant();
    if (name == QLatin1String("VALIDINT")) {
        Variant v;
        return Variant::TextToNumber(p[0].AsString(), v) && v.VarKind() != Variant::vkDouble;
    }
    if (name == QLatin1String("VALIDFLOAT")) {
        Variant v;
        return Variant::TextToNumber(p[0].AsString(), v);
    }
    if (name == QLatin1String("VALIDDATE"))
        return QLocale().toDate(p[0].AsString().trimmed(), QLocale::ShortFormat).isValid();
    if (name == QLatin1String("EXTRACTFILEPATH")) {
        const QString f = p[0].AsString();
        return f.left(f.lastIndexOf(QLatin1Char('/')) + 1);
    }
    if (name == QLatin1String("VARTYPE")) {
        switch (p[0].VarKind()) {
        case Variant::vkEmpty:
            return 0;
        case Variant::vkNull:
            return 1;
        case Variant::vkInteger:
            return 3;
        case Variant::vkDouble:
            return 5;
        case Variant::vkBoolean:
            return 11;
        case Variant::vkInt64:
            return 20;
        case Variant::vkString:
            return 256;
        case Variant::vkArray:
            return 8192 + 12;
        default:
            return 9;
        }
    }
    throw EscError(QStringLiteral("%1 is not available").arg(name));
}

using Handler = Variant (*)(const QString&, Params&);

void AddAll(TscScript* s, const char* category, Handler h, std::initializer_list<const char*> lines)
{
    for (const char* line : lines) {
        TscMethodHelper* m = s->AddMethod(QString::fromLatin1(line),
            [h](QObject*, const QString&, const QString& name, Params& p) { return h(name, p); }, QLatin1String(category));
        if (!m)
            throw EscError(QStringLiteral("Cannot register '%1'").arg(QLatin1String(line)));
    }
}

} // namespace

void scAddSysRtti(TscScript* S)
{
    S->AddConst("True", "Boolean", true);
    S->AddConst("False", "Boolean", false);
    S->AddConst("nil", "Variant", 0);
    S->AddConst("Null", "Variant", Variant::Null());
    const std::pair<const char*, int> kinds[] = { { "varEmpty", 0 }, { "varNull", 1 }, { "varSmallint", 2 },
        { "varInteger", 3 }, { "varSingle", 4 }, { "varDouble", 5 }, { "varCurrency", 6 }, { "varDate", 7 },
        { "varOleStr", 8 }, { "varDispatch", 9 }, { "varError", 10 }, { "varBoolean", 11 }, { "varVariant", 12 },
        { "varUnknown", 13 }, { "varShortInt", 16 }, { "varByte", 17 }, { "varWord", 18 }, { "varLongWord", 19 },
        { "varInt64", 20 }, { "varStrArg", 72 }, { "varString", 256 }, { "varAny", 257 }, { "varTypeMask", 4095 },
        { "varArray", 8192 }, { "varByRef", 16384 } };
    for (const auto& [name, code] : kinds)
        S->AddConst(QLatin1String(name), "Integer", code);
    S->AddVariable("ExceptionClassName", "String", QString());
    S->AddVariable("ExceptionMessage", "String", QString());

    AddAll(S, "ctConv", ConvFunc,
        { "function IntToStr(i: Integer): String", "function FloatToStr(e: Extended): String",
            "function DateToStr(e: Extended): String", "function TimeToStr(e: Extended): String",
            "function DateTimeToStr(e: Extended): String", "function BoolToStr(B: Boolean): string;",
            "function VarToStr(v: Variant): String", "function StrToInt(s: String): Integer",
            "function StrToInt64(s: String): Int64", "function StrToFloat(s: String): Extended",
            "function StrToDate(s: String): Extended", "function StrToTime(s: String): Extended",
            "function StrToDateTime(s: String): Extended", "function StrToBool(const S: string): Boolean;" });
    AddAll(S, "ctFormat", FormatFunc,
        { "function Format(Fmt: String; Args: array): String",
            "function FormatFloat(Fmt: String; Value: Extended): String" });
    AddAll(S, "ctDate", DateFunc,
        { "function EncodeDate(Year, Month, Day: Word): TDateTime",
            "procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)",
            "function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime",
            "procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)", "function Date: TDateTime",
            "function Time: TDateTime", "function Now: TDateTime", "function DayOfWeek(aDate: TDateTime): Integer",
            "function IsLeapYear(Year: Word): Boolean", "function DaysInMonth(nYear, nMonth: Integer): Integer" });
    AddAll(S, "ctString", StringFunc,
        { "function Length(s: Variant): Integer", "function Copy(s: String; from, count: Integer): String",
            "function Pos(substr, s: String): Integer", "procedure Delete(var s: String; from, count: Integer)",
            "procedure DeleteStr(var s: String; from, count: Integer)",
            "procedure Insert(s: String; var s2: String; pos: Integer)", "function Uppercase(s: String): String",
            "function Lowercase(s: String): String", "function Trim(s: String): String",
            "function NameCase(s: String): String", "function CompareText(s, s1: String): Integer",
            "function Chr(i: Integer): Char", "function Ord(ch: Char): Integer",
            "procedure SetLength(var S: Variant; L: Integer)" });
    AddAll(S, "ctMath", MathFunc,
        { "function Round(e: Extended): Integer", "function Trunc(e: Extended): Integer",
            "function Int(e: Extended): Integer", "function Frac(X: Extended): Extended",
            "function Sqrt(e: Extended): Extended", "function Abs(e: Extended): Extended",
            "function Sin(e: Extended): Extended", "function Cos(e: Extended): Extended",
            "function ArcTan(X: Extended): Extended", "function Tan(X: Extended): Extended",
            "function Exp(X: Extended): Extended", "function Ln(X: Extended): Extended", "function Pi: Extended" });
    AddAll(S, "ctOther", OtherFunc,
        { "procedure Inc(var i: Integer; incr: Integer = 1)", "procedure Dec(var i: Integer; decr: Integer = 1)",
            "procedure RaiseException(Param: String)", "procedure Randomize", "function Random: Extended",
            "function ValidInt(cInt: String): Boolean", "function ValidFloat(cFlt: String): Boolean",
            "function ValidDate(cDate: String): Boolean",
            "function ExtractFilePath(const FileName: string): string;", "function VarType(V: Variant): Integer" });
}
