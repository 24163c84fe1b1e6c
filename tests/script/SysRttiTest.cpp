// The built-in library, evaluated through the expression cache the way report
// texts use it: a table of expressions and the values they give.

#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"
#include "sc_isysrtti.h"

#include <QDate>
#include <QLocale>
#include <QStringList>
#include <QTime>
#include <gtest/gtest.h>

namespace {

struct Case {
    const char* name;
    const char* expr;
    Variant expected;
};

class SysRttiTest : public ::testing::Test {
protected:
    SysRttiTest()
        : cache(&report)
    {
        // Formats follow the default locale; pin it for the expected texts.
        QLocale::setDefault(QLocale::c());
        scAddSysRtti(&report);
        report.AddVariable("NineText", "Variant", QString("9"));
        // Thursday 10 December 2026 13:05:07.089 and Monday 5 January 2026 08:04:03.007.
        report.AddVariable("Moment", "TDateTime", DayCount(QDate(2026, 12, 10), QTime(13, 5, 7, 89)));
        report.AddVariable("Morning", "TDateTime", DayCount(QDate(2026, 1, 5), QTime(8, 4, 3, 7)));
    }
    static double DayCount(const QDate& d, const QTime& t)
    {
        return static_cast<double>(QDate(1899, 12, 30).daysTo(d)) + t.msecsSinceStartOfDay() / 86400000.0;
    }
    ~SysRttiTest() override { QLocale::setDefault(saved); }
    Variant Calc(const QString& e)
    {
        error.clear();
        return cache.Calc(e, error, &report);
    }
    QLocale saved;
    TscScript report;
    TrpExpressionCache cache;
    QString error;
};

TEST_F(SysRttiTest, FunctionTable)
{
    const Case cases[] = {
        { "IntToStr", "IntToStr(42)", QString("42") },
        { "IntToStr of Int64", "IntToStr(2147483648)", QString("2147483648") },
        { "FloatToStr", "FloatToStr(3.5)", QString("3.5") },
        { "StrToInt", "StrToInt(' 12 ')", 12 },
        { "StrToFloat", "StrToFloat('2.25')", 2.25 },
        { "BoolToStr true", "BoolToStr(True)", QString("-1") },
        { "BoolToStr false", "BoolToStr(False)", QString("0") },
        { "StrToBool", "StrToBool('true')", true },
        { "Copy", "Copy('abcdef', 2, 3)", QString("bcd") },
        { "Copy beyond the end", "Copy('abc', 2, 10)", QString("bc") },
        { "Copy from past the end", "Copy('abc', 5, 1)", QString("") },
        { "Pos", "Pos('cd', 'abcdef')", 3 },
        { "Pos not found", "Pos('x', 'abc')", 0 },
        { "Length of text", "Length('abc')", 3 },
        { "Length of number text", "Length(12345)", 5 },
        { "Trim control characters", "Trim(Chr(9) + ' ab ' + Chr(10))", QString("ab") },
        { "Uppercase", "Uppercase('aBc')", QString("ABC") },
        { "Lowercase", "Lowercase('aBc')", QString("abc") },
        { "NameCase", "NameCase('jOHN smith')", QString("John Smith") },
        { "CompareText", "CompareText('ABC', 'abc')", 0 },
        { "Chr and Ord", "Ord(Chr(65))", 65 },
        { "Round 2.5 to even", "Round(2.5)", 2 },
        { "Round 3.5 to even", "Round(3.5)", 4 },
        { "Round negative", "Round(-2.5)", -2 },
        { "Trunc", "Trunc(-2.7)", -2 },
        { "Int", "Int(7.9)", 7 },
        { "Frac", "Frac(2.25)", 0.25 },
        { "Sqrt", "Sqrt(16)", 4.0 },
        { "Sqrt of numeric text in a variant", "Sqrt(NineText)", 3.0 },
        { "Abs", "Abs(-1.5)", 1.5 },
        { "Pi", "Pi", 3.1415926535897932385 },
        { "EncodeDate", "EncodeDate(2000, 1, 1)", Variant::Date(36526) },
        { "DayOfWeek Saturday", "DayOfWeek(36526)", 7 },
        { "IsLeapYear", "IsLeapYear(2000)", true },
        { "DaysInMonth", "DaysInMonth(2001, 2)", 28 },
        { "DateToStr", "DateToStr(36526)", QLocale::c().toString(QDate(2000, 1, 1), QLocale::ShortFormat) },
        { "FormatFloat", "FormatFloat('#,##0.00', 1234.5)", QString("1,234.50") },
        { "FormatFloat optional places", "FormatFloat('0.##', 2.5)", QString("2.5") },
        { "FormatFloat literal", "FormatFloat('0.0 \"km\"', 3)", QString("3.0 km") },
        { "FormatFloat negative section", "FormatFloat('0;(0)', -4)", QString("(4)") },
        { "Format", "Format('%d items at %.2f: %s', [3, 1.5, 'x'])", QString("3 items at 1.50: x") },
        { "Format width", "Format('[%5s][%-3d]', ['ab', 7])", QString("[   ab][7  ]") },
        { "variant kind code", "varString", 256 },
        { "VarType", "VarType('a')", 256 },
        { "TimeToStr has no time zone", "TimeToStr(Moment)", QString("13:05:07") },
        { "DateTimeToStr", "DateTimeToStr(Moment)", QString("10 Dec 2026 13:05:07") },
        { "DateTimeToStr at midnight leaves the time out", "DateTimeToStr(EncodeDate(2026, 12, 10))",
            QString("10 Dec 2026") },
        // Date-time pictures under the C locale: it has no numeric date separator, so '/' stays '/'.
        { "picture day month year", "FormatDateTime('dd/mm/yyyy', Moment)", QString("10/12/2026") },
        { "picture without leading zeros", "FormatDateTime('d/m/yy', Morning)", QString("5/1/26") },
        { "picture time with milliseconds", "FormatDateTime('hh:nn:ss.zzz', Moment)",
            QString("13:05:07.089") },
        { "picture short time fields", "FormatDateTime('h:n:s.z', Morning)", QString("8:4:3.7") },
        { "m after h is minutes", "FormatDateTime('hh:mm', Moment)", QString("13:05") },
        { "m before s is minutes", "FormatDateTime('mm:ss', Morning)", QString("04:03") },
        { "m between year and day is the month", "FormatDateTime('yyyy-mm-dd', Moment)",
            QString("2026-12-10") },
        { "day and month names", "FormatDateTime('ddd dddd, mmm mmmm', Moment)",
            QString("Thu Thursday, Dec December") },
        { "picture c", "FormatDateTime('c', Moment)", QString("10 Dec 2026 13:05:07") },
        { "empty picture is c", "FormatDateTime('', EncodeDate(2026, 12, 10))", QString("10 Dec 2026") },
        { "short and long date", "FormatDateTime('ddddd|dddddd', Moment)",
            QString("10 Dec 2026|Thursday, 10 December 2026") },
        { "short and long time", "FormatDateTime('t|tt', Morning)", QString("08:04:03|08:04:03") },
        { "am/pm as written", "FormatDateTime('h:nn am/pm', Moment)", QString("1:05 pm") },
        { "AM/PM upper case", "FormatDateTime('hh AM/PM', Morning)", QString("08 AM") },
        { "a/p", "FormatDateTime('h a/p', Moment)", QString("1 p") },
        { "ampm from the locale", "FormatDateTime('h ampm', Morning)", QString("8 AM") },
        { "midnight in twelve hours is 12", "FormatDateTime('h am/pm', EncodeDate(2026, 12, 10))",
            QString("12 am") },
        { "quoted text is not read as fields", "FormatDateTime('\"dd\" dd ''at'' h', Moment)",
            QString("dd 10 at 13") },
        { "other characters are copied", "FormatDateTime('[yy] #', Moment)", QString("[26] #") },
        { "negative day count: date back, time forward", "FormatDateTime('yyyy-mm-dd hh:nn', -1.25)",
            QString("1899-12-29 06:00") },
        { "time rounding carries into the next day", "FormatDateTime('dd hh:nn:ss.zzz', 0.9999999999)",
            QString("31 00:00:00.000") },
        // Edit masks.
        { "phone mask filled from the right", "FormatMaskText('!(999)000-0000;0;_', '5551234567')",
            QString("(555)123-4567") },
        { "value holding the literals", "FormatMaskText('(999)000-0000;1;_', '(555)123-4567')",
            QString("(555)123-4567") },
        { "saved literals missing from the value", "FormatMaskText('(999)000-0000;1;_', '5551234567')",
            QString("(555)123-4567") },
        { "another separator at a literal place", "FormatMaskText('99/99/9999;1;_', '10-12-2026')",
            QString("10/12/2026") },
        { "no sections: literals are in the value", "FormatMaskText('(000)', '(123)')", QString("(123)") },
        { "case switches", "FormatMaskText('>LL<ll<>L;0', 'abCDE')", QString("ABcdE") },
        { "short value leaves blanks at the end", "FormatMaskText('000-000;0;*', '12')", QString("12*-***") },
        { "short value with ! leaves them at the start", "FormatMaskText('!000-000;0;*', '12')",
            QString("***-*12") },
        { "long value loses its tail", "FormatMaskText('00-00;0', '123456')", QString("12-34") },
        { "long value with ! loses its head", "FormatMaskText('!00-00;0', '123456')", QString("34-56") },
        { "default blank character", "FormatMaskText('000;0', '1')", QString("1__") },
        { "escaped mask character and _ as a space", "FormatMaskText('\\0_00;0', '12')", QString("0 12") },
        { "mask without places shows the value", "FormatMaskText('', 'abc')", QString("abc") },
        // Variant arrays: one element per index, each of the asked kind.
        { "array length", "Length(VarArrayCreate([0, 4], varInteger))", 5 },
        { "empty array", "Length(VarArrayCreate([0, -1], varVariant))", 0 },
        { "integer element", "VarArrayCreate([0, 2], varInteger)[2]", 0 },
        { "Int64 element", "VarArrayCreate([0, 0], varInt64)[0]", int64_t(0) },
        { "double element", "VarArrayCreate([0, 0], varDouble)[0]", 0.0 },
        { "string element", "VarArrayCreate([0, 0], varOleStr)[0]", QString("") },
        { "Boolean element", "VarArrayCreate([0, 0], varBoolean)[0]", false },
        { "variant element", "VarType(VarArrayCreate([0, 0], varVariant)[0])", 0 },
        { "array kind", "VarType(VarArrayCreate([0, 1], varVariant))", 8204 },
    };
    for (const Case& c : cases) {
        const Variant v = Calc(QString::fromLatin1(c.expr));
        EXPECT_TRUE(error.isEmpty()) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(v.IsIdentical(c.expected))
            << c.name << ": got " << v.KindName().toStdString() << " " << v.AsString().toStdString();
    }
}

TEST_F(SysRttiTest, FailuresAreClearMessages)
{
    const struct {
        const char* expr;
        const char* message;
    } cases[] = {
        { "StrToInt('12a')", "'12a' is not a valid integer value" },
        { "StrToFloat('x')", "'x' is not a valid floating point value" },
        { "EncodeDate(2001, 2, 30)", "Invalid argument to date encode" },
        { "Format('%d %d', [1])", "Format '%d %d' invalid or incompatible with argument" },
        // a width this large would pad gigabytes of blanks
        { "Format('%999999999999s', ['a'])",
            "Format '%999999999999s' invalid or incompatible with argument" },
        { "FormatDateTime('yyyy', 3000000)", "3000000 is not a valid date and time value" },
        { "FormatDateTime('yyyy', -700000)", "-700000 is not a valid date and time value" },
        { "VarArrayCreate([0], varInteger)",
            "VarArrayCreate needs its bounds as pairs of low and high values" },
        { "VarArrayCreate([0, 1, 0, 1], varInteger)", "VarArrayCreate makes one-dimensional arrays only" },
        { "VarArrayCreate([0, -2], varInteger)", "Invalid array bounds [0, -2]" },
        { "VarArrayCreate([1, 5], varInteger)",
            "VarArrayCreate makes arrays with a low bound of 0 only, not 1" },
        { "VarArrayCreate([0, 2147483647], varInteger)",
            "An array of 2147483648 elements is too large (at most 1048576)" },
        { "VarArrayCreate([0, 1], varNull)", "Invalid variant type 1 for an array element" },
        { "VarArrayCreate([0, 1], varInteger)[2]", "Variant or safe array index out of bounds" },
    };
    for (const auto& c : cases) {
        EXPECT_TRUE(Calc(QString::fromLatin1(c.expr)).IsNull()) << c.expr;
        EXPECT_EQ(error, QString::fromLatin1(c.message)) << c.expr;
    }
}

TEST_F(SysRttiTest, DateTimePicturesFollowTheLocale)
{
    const struct {
        const char* name;
        QLocale locale;
        const char* expr;
        const char* expected;
    } cases[] = {
        { "Russian separators", QLocale(QLocale::Russian, QLocale::Russia),
            "FormatDateTime('dd/mm/yyyy', Moment)", "10.12.2026" },
        { "month name beside a day number", QLocale(QLocale::Russian, QLocale::Russia),
            "FormatDateTime('d mmmm yyyy', Moment)", "10 декабря 2026" },
        { "month name alone", QLocale(QLocale::Russian, QLocale::Russia),
            "FormatDateTime('mmmm yyyy', Moment)", "декабрь 2026" },
        { "Russian day name", QLocale(QLocale::Russian, QLocale::Russia), "FormatDateTime('dddd', Moment)",
            "четверг" },
        { "Russian c", QLocale(QLocale::Russian, QLocale::Russia), "FormatDateTime('c', Moment)",
            "10.12.2026 13:05:07" },
        { "Russian short time", QLocale(QLocale::Russian, QLocale::Russia), "FormatDateTime('t', Moment)",
            "13:05" },
        { "Russian DateToStr", QLocale(QLocale::Russian, QLocale::Russia), "DateToStr(Moment)",
            "10.12.2026" },
        { "US short date", QLocale(QLocale::English, QLocale::UnitedStates),
            "FormatDateTime('ddddd', Moment)", "12/10/26" },
        { "US time separator and short time", QLocale(QLocale::English, QLocale::UnitedStates),
            "FormatDateTime('hh:nn|t', Moment)", "13:05|1:05 PM" },
        { "US c", QLocale(QLocale::English, QLocale::UnitedStates), "FormatDateTime('c', Moment)",
            "12/10/26 1:05:07 PM" },
    };
    for (const auto& c : cases) {
        QLocale::setDefault(c.locale);
        const Variant v = Calc(QString::fromLatin1(c.expr));
        EXPECT_TRUE(error.isEmpty()) << c.name << ": " << error.toStdString();
        EXPECT_EQ(v.AsString(), QString::fromUtf8(c.expected)) << c.name;
    }
}

// The date functions give values of the date kind, which keep their kind
// through date arithmetic and TDateTime variables and print as dates.
TEST_F(SysRttiTest, DateFunctionsGiveDates)
{
    QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia));
    report.AddVariable("Due", "TDateTime", 0.0);
    constexpr double dec9 = 46365, halfPastTen = 0.4375;
    const Case cases[] = {
        { "EncodeDate", "EncodeDate(2026, 12, 9)", Variant::Date(dec9) },
        { "EncodeTime", "EncodeTime(10, 30, 0, 0)", Variant::Date(halfPastTen) },
        { "date plus time", "EncodeDate(2026, 12, 9) + EncodeTime(10, 30, 0, 0)",
            Variant::Date(dec9 + halfPastTen) },
        { "StrToDate", "StrToDate('09.12.2026')", Variant::Date(dec9) },
        { "StrToTime", "StrToTime('10:30:00')", Variant::Date(halfPastTen) },
        { "StrToTime in the short format", "StrToTime('10:30')", Variant::Date(halfPastTen) },
        { "StrToDateTime", "StrToDateTime('09.12.2026 10:30:00')", Variant::Date(dec9 + halfPastTen) },
        { "StrToDateTime of a date alone", "StrToDateTime('09.12.2026')", Variant::Date(dec9) },
        { "a week later is a date", "EncodeDate(2026, 12, 9) + 7", Variant::Date(dec9 + 7) },
        { "days between two dates", "EncodeDate(2026, 12, 16) - EncodeDate(2026, 12, 9)", 7.0 },
        { "dates compare", "EncodeDate(2026, 12, 9) < EncodeDate(2026, 12, 16)", true },
        { "a date equals its day count", "EncodeDate(2026, 12, 9) = 46365", true },
        { "VarType of a date", "VarType(EncodeDate(2026, 12, 9))", 7 },
        { "date element", "VarArrayCreate([0, 0], varDate)[0]", Variant::Date(0) },
        { "date to text", "VarToStr(EncodeDate(2026, 12, 9))", QString("09.12.2026") },
        { "date and time to text", "VarToStr(StrToDateTime('09.12.2026 10:30:00'))",
            QString("09.12.2026 10:30:00") },
        { "joined to text", "'Due ' + VarToStr(EncodeDate(2026, 12, 9) + 1)", QString("Due 10.12.2026") },
        { "date functions still take dates", "DayOfWeek(EncodeDate(2026, 12, 9))", 4 },
        { "FormatDateTime of a date", "FormatDateTime('d mmmm yyyy', EncodeDate(2026, 12, 9))",
            QString("9 декабря 2026") },
    };
    for (const Case& c : cases) {
        const Variant v = Calc(QString::fromUtf8(c.expr));
        EXPECT_TRUE(error.isEmpty()) << c.name << ": " << error.toStdString();
        EXPECT_TRUE(v.IsIdentical(c.expected))
            << c.name << ": got " << v.KindName().toStdString() << " " << v.AsString().toStdString();
    }
    // Today, this moment and the time of day are dates too.
    for (const char* now : { "Date", "Now", "Time" })
        EXPECT_EQ(Calc(QString::fromLatin1(now)).VarKind(), Variant::vkDate) << now;
    EXPECT_EQ(Calc("Date").AsDouble(), static_cast<double>(QDate(1899, 12, 30).daysTo(QDate::currentDate())))
        << "Date has no time of day";

    // A TDateTime variable keeps the date kind it is given.
    TscCustomVariable* due = report.Find("Due");
    ASSERT_NE(due, nullptr);
    due->SetValue(Variant::Date(dec9));
    EXPECT_EQ(due->Value().VarKind(), Variant::vkDate);
    EXPECT_TRUE(Calc("Due + 1").IsIdentical(Variant::Date(dec9 + 1)));
    due->SetValue(Variant(7));
    EXPECT_TRUE(due->Value().IsIdentical(Variant(7.0))) << "a number written to it stays a number";
}

// Hooks of the host, found from the script that holds the library upwards.
class SysRttiHookTest : public SysRttiTest {
protected:
    SysRttiHookTest() { report.SetParent(&host); }
    TscScript host;
};

TEST_F(SysRttiHookTest, ShowMessageReachesTheNearestHook)
{
    QStringList hostShown, reportShown;
    host.OnShowMessage = [&](const QString& m) { hostShown << m; };
    Calc("ShowMessage('Total: ' + IntToStr(3))");
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    Calc("ShowMessage(2.5)");
    EXPECT_EQ(hostShown, QStringList({ "Total: 3", "2.5" }));

    report.OnShowMessage = [&](const QString& m) { reportShown << m; };
    Calc("ShowMessage('near')");
    EXPECT_EQ(reportShown, QStringList({ "near" }));
    EXPECT_EQ(hostShown.size(), 2);
}

TEST_F(SysRttiHookTest, ShowMessageWithoutHookWritesStandardError)
{
    testing::internal::CaptureStderr();
    Calc("ShowMessage('nobody listens')");
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(err, "nobody listens\n");
}

TEST_F(SysRttiHookTest, CreateOleObjectAsksHooksUntilOneKnowsTheClass)
{
    QObject server;
    QStringList asked;
    Calc("CreateOleObject('Pelmora.Log')");
    EXPECT_EQ(error, "Invalid class string"); // no hook anywhere

    host.OnCreateOleObject = [&](const QString& cls) {
        asked << "host:" + cls;
        return cls.compare("Pelmora.Log", Qt::CaseInsensitive) == 0 ? Variant::Dispatch(&server) : Variant();
    };
    // A nearer hook that does not know the class passes it on.
    report.OnCreateOleObject = [&](const QString& cls) {
        asked << "report:" + cls;
        return Variant();
    };
    const Variant v = Calc("CreateOleObject('Pelmora.Log')");
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_EQ(v.VarKind(), Variant::vkDispatch);
    EXPECT_EQ(v.AsObject(), &server);
    EXPECT_EQ(asked, QStringList({ "report:Pelmora.Log", "host:Pelmora.Log" }));

    EXPECT_TRUE(Calc("CreateOleObject('Word.Application')").IsNull());
    EXPECT_EQ(error, "Invalid class string");
}

TEST_F(SysRttiTest, EveryFunctionIsRegisteredUnderItsCategory)
{
    auto* round = dynamic_cast<TscMethodHelper*>(report.Find("Round"));
    ASSERT_NE(round, nullptr);
    EXPECT_EQ(round->Category, "ctMath");
    auto* copy = dynamic_cast<TscMethodHelper*>(report.Find("Copy"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Category, "ctString");
    const std::pair<const char*, const char*> added[]
        = { { "FormatDateTime", "ctFormat" }, { "FormatMaskText", "ctFormat" }, { "ShowMessage", "ctOther" },
              { "CreateOleObject", "ctOther" }, { "VarArrayCreate", "ctOther" } };
    for (const auto& [name, category] : added) {
        auto* m = dynamic_cast<TscMethodHelper*>(report.Find(name));
        ASSERT_NE(m, nullptr) << name;
        EXPECT_EQ(m->Category, category) << name;
    }
}

TEST_F(SysRttiTest, ClockFunctionsGiveTodaysDayCount)
{
    const double today = static_cast<double>(QDate(1899, 12, 30).daysTo(QDate::currentDate()));
    const Variant d = Calc("Date");
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    const double now = Calc("Now").AsDouble();
    EXPECT_GE(now, d.AsDouble());
    EXPECT_LT(now, d.AsDouble() + 1.0 + 1e-9);
    EXPECT_NEAR(d.AsDouble(), today, 1.0); // midnight may pass between the two reads
}

} // namespace
