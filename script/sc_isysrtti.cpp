// The built-in library. Functions are registered by syntax line under their
// category; one handler per category dispatches on the upper-cased name.
// Dates are day counts from 30 December 1899; strings count UTF-16 units;
// math arguments are multiplied by 1.0 first so numeric strings are accepted.
// ShowMessage and CreateOleObject reach the host only through the hooks of
// the registering script and its parents; nothing here opens a window.

#include "sc_isysrtti.h"

#include "DayCount.h"
#include "PelmoraError.h"
#include "sc_ierrors.h"
#include "sc_iformat.h"
#include "sc_iinterpreter.h"
#include "sc_imask.h"

#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QRandomGenerator>
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>

namespace {

using Params = std::vector<Variant>;

const QDate kDateBase(1899, 12, 30);

double ToFloat(const Variant& v)
{
    return Variant::Multiply(v, Variant(1.0)).AsDouble();
}

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

Variant ConvFunc(const QString& name, Params& p)
{
    const QLocale loc;
    if (name == QLatin1String("INTTOSTR"))
        return QString::number(p[0].AsInt64());
    if (name == QLatin1String("FLOATTOSTR"))
        return Variant::FloatToText(ToFloat(p[0]));
    if (name == QLatin1String("DATETOSTR"))
        return scDateToStr(ToFloat(p[0]));
    if (name == QLatin1String("TIMETOSTR"))
        return scTimeToStr(ToFloat(p[0]));
    if (name == QLatin1String("DATETIMETOSTR"))
        return scDateTimeToStr(ToFloat(p[0]));
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
            QTime t = loc.toTime(s, LocaleTimeFormat(loc, QLocale::LongFormat));
            if (!t.isValid())
                t = loc.toTime(s, LocaleTimeFormat(loc, QLocale::ShortFormat));
            if (t.isValid())
                return Variant::Date(t.msecsSinceStartOfDay() / 86400000.0);
        } else {
            // A date alone, or followed by a time.
            double days = 0;
            if (TextToDayCount(loc, s, days))
                return Variant::Date(days);
        }
        if (!dt.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid date and time").arg(s));
        return Variant::Date(scDateTimeToDays(dt));
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
        return scFormat(p[0].AsString(), p[1]);
    if (name == QLatin1String("FORMATFLOAT"))
        return scFormatFloat(p[0].AsString(), ToFloat(p[1]));
    if (name == QLatin1String("FORMATDATETIME"))
        return scFormatDateTime(p[0].AsString(), ToFloat(p[1]));
    if (name == QLatin1String("FORMATMASKTEXT"))
        return scFormatMaskText(p[0].AsString(), p[1].AsString());
    throw EscError(QStringLiteral("%1 is not available").arg(name));
}

Variant DateFunc(const QString& name, Params& p)
{
    const QDateTime now = QDateTime::currentDateTime();
    if (name == QLatin1String("DATE"))
        return Variant::Date(static_cast<double>(kDateBase.daysTo(now.date())));
    if (name == QLatin1String("TIME"))
        return Variant::Date(now.time().msecsSinceStartOfDay() / 86400000.0);
    if (name == QLatin1String("NOW"))
        return Variant::Date(scDateTimeToDays(now));
    if (name == QLatin1String("ENCODEDATE")) {
        const QDate d(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger());
        if (!d.isValid())
            throw EConvertError(QStringLiteral("Invalid argument to date encode"));
        return Variant::Date(static_cast<double>(kDateBase.daysTo(d)));
    }
    if (name == QLatin1String("DECODEDATE")) {
        const QDate d = scDaysToDateTime(ToFloat(p[0])).date();
        p[1] = d.year();
        p[2] = d.month();
        p[3] = d.day();
        return Variant();
    }
    if (name == QLatin1String("ENCODETIME")) {
        const QTime t(p[0].AsInteger(), p[1].AsInteger(), p[2].AsInteger(), p[3].AsInteger());
        if (!t.isValid())
            throw EConvertError(QStringLiteral("Invalid argument to time encode"));
        return Variant::Date(t.msecsSinceStartOfDay() / 86400000.0);
    }
    if (name == QLatin1String("DECODETIME")) {
        const QTime t = scDaysToDateTime(ToFloat(p[0])).time();
        p[1] = t.hour();
        p[2] = t.minute();
        p[3] = t.second();
        p[4] = t.msec();
        return Variant();
    }
    if (name == QLatin1String("DAYOFWEEK"))
        return scDaysToDateTime(ToFloat(p[0])).date().dayOfWeek() % 7 + 1; // Sunday is 1
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

// Longest array VarArrayCreate makes: a mistyped bound must not take the
// machine's memory.
constexpr int64_t kMaxVarArrayLength = 1 << 20;

// One dimension, low bound 0 (arrays index from 0), elements of one kind.
Variant VarArrayCreate(const Variant& bounds, int typ)
{
    if (!bounds.IsArray() || bounds.ArrayCount() == 0 || bounds.ArrayCount() % 2 != 0)
        throw EVariantError(
            QStringLiteral("VarArrayCreate needs its bounds as pairs of low and high values"));
    if (bounds.ArrayCount() > 2)
        throw EVariantError(QStringLiteral("VarArrayCreate makes one-dimensional arrays only"));
    const int64_t low = bounds.ArrayItem(0).AsInt64();
    const int64_t high = bounds.ArrayItem(1).AsInt64();
    if (high < low - 1)
        throw EVariantError(QStringLiteral("Invalid array bounds [%1, %2]").arg(low).arg(high));
    if (low != 0)
        throw EVariantError(
            QStringLiteral("VarArrayCreate makes arrays with a low bound of 0 only, not %1").arg(low));
    if (high >= kMaxVarArrayLength)
        throw EVariantError(QStringLiteral("An array of %1 elements is too large (at most %2)")
                                .arg(high + 1)
                                .arg(kMaxVarArrayLength));
    Variant element;
    switch (typ) {
    case 12: // varVariant
        break;
    case 2:
    case 3:
    case 16:
    case 17:
    case 18:
    case 19: // the integer kinds
        element = 0;
        break;
    case 20: // varInt64
        element = int64_t(0);
        break;
    case 4:
    case 5:
    case 6: // floating and currency
        element = 0.0;
        break;
    case 7: // varDate
        element = Variant::Date(0);
        break;
    case 8:
    case 72:
    case 256: // the string kinds
        element = QString();
        break;
    case 11: // varBoolean
        element = false;
        break;
    default:
        throw EVariantError(QStringLiteral("Invalid variant type %1 for an array element").arg(typ));
    }
    return QList<Variant>(static_cast<qsizetype>(high + 1), element);
}

// The host hooks are found from the script holding the library upwards.
void ShowMessage(const TscScript* s, const QString& text)
{
    for (; s; s = s->Parent())
        if (s->OnShowMessage) {
            s->OnShowMessage(text);
            return;
        }
    // No host has a place for messages: keep the text visible all the same.
    std::fprintf(stderr, "%s\n", text.toLocal8Bit().constData());
}

Variant CreateOleObject(const TscScript* s, const QString& className)
{
    for (; s; s = s->Parent())
        if (s->OnCreateOleObject) {
            Variant v = s->OnCreateOleObject(className);
            if (!v.IsEmpty())
                return v;
        }
    throw EscError(QStringLiteral("Invalid class string"));
}

Variant OtherFunc(const TscScript* script, const QString& name, Params& p)
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
    if (name == QLatin1String("SHOWMESSAGE")) {
        ShowMessage(script, p[0].AsString());
        return Variant();
    }
    if (name == QLatin1String("CREATEOLEOBJECT"))
        return CreateOleObject(script, p[0].AsString());
    if (name == QLatin1String("VARARRAYCREATE"))
        return VarArrayCreate(p[0], p[1].AsInteger());
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
        case Variant::vkDate:
            return 7;
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

using Handler = std::function<Variant(const QString&, Params&)>;

void AddAll(TscScript* s, const char* category, Handler h, std::initializer_list<const char*> lines)
{
    for (const char* line : lines) {
        TscMethodHelper* m = s->AddMethod(
            QString::fromLatin1(line),
            [h](QObject*, const QString&, const QString& name, Params& p) { return h(name, p); },
            QLatin1String(category));
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
        { "varOleStr", 8 }, { "varDispatch", 9 }, { "varError", 10 }, { "varBoolean", 11 },
        { "varVariant", 12 }, { "varUnknown", 13 }, { "varShortInt", 16 }, { "varByte", 17 },
        { "varWord", 18 }, { "varLongWord", 19 }, { "varInt64", 20 }, { "varStrArg", 72 },
        { "varString", 256 }, { "varAny", 257 }, { "varTypeMask", 4095 }, { "varArray", 8192 },
        { "varByRef", 16384 } };
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
            "function FormatFloat(Fmt: String; Value: Extended): String",
            "function FormatDateTime(Fmt: String; DateTime: TDateTime): String",
            "function FormatMaskText(EditMask: string; Value: string): string" });
    AddAll(S, "ctDate", DateFunc,
        { "function EncodeDate(Year, Month, Day: Word): TDateTime",
            "procedure DecodeDate(Date: TDateTime; var Year, Month, Day: Word)",
            "function EncodeTime(Hour, Min, Sec, MSec: Word): TDateTime",
            "procedure DecodeTime(Time: TDateTime; var Hour, Min, Sec, MSec: Word)",
            "function Date: TDateTime", "function Time: TDateTime", "function Now: TDateTime",
            "function DayOfWeek(aDate: TDateTime): Integer", "function IsLeapYear(Year: Word): Boolean",
            "function DaysInMonth(nYear, nMonth: Integer): Integer" });
    AddAll(S, "ctString", StringFunc,
        { "function Length(s: Variant): Integer", "function Copy(s: String; from, count: Integer): String",
            "function Pos(substr, s: String): Integer",
            "procedure Delete(var s: String; from, count: Integer)",
            "procedure DeleteStr(var s: String; from, count: Integer)",
            "procedure Insert(s: String; var s2: String; pos: Integer)",
            "function Uppercase(s: String): String", "function Lowercase(s: String): String",
            "function Trim(s: String): String", "function NameCase(s: String): String",
            "function CompareText(s, s1: String): Integer", "function Chr(i: Integer): Char",
            "function Ord(ch: Char): Integer", "procedure SetLength(var S: Variant; L: Integer)" });
    AddAll(S, "ctMath", MathFunc,
        { "function Round(e: Extended): Integer", "function Trunc(e: Extended): Integer",
            "function Int(e: Extended): Integer", "function Frac(X: Extended): Extended",
            "function Sqrt(e: Extended): Extended", "function Abs(e: Extended): Extended",
            "function Sin(e: Extended): Extended", "function Cos(e: Extended): Extended",
            "function ArcTan(X: Extended): Extended", "function Tan(X: Extended): Extended",
            "function Exp(X: Extended): Extended", "function Ln(X: Extended): Extended",
            "function Pi: Extended" });
    AddAll(S, "ctOther", [S](const QString& name, Params& p) { return OtherFunc(S, name, p); },
        { "procedure Inc(var i: Integer; incr: Integer = 1)",
            "procedure Dec(var i: Integer; decr: Integer = 1)", "procedure RaiseException(Param: String)",
            "procedure ShowMessage(Msg: Variant)", "procedure Randomize", "function Random: Extended",
            "function ValidInt(cInt: String): Boolean", "function ValidFloat(cFlt: String): Boolean",
            "function ValidDate(cDate: String): Boolean",
            "function ExtractFilePath(const FileName: string): string;",
            "function CreateOleObject(ClassName: String): Variant",
            "function VarArrayCreate(Bounds: Array; Typ: Integer): Variant",
            "function VarType(V: Variant): Integer" });
}
