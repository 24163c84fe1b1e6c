// The built-in library, evaluated through the expression cache the way report
// texts use it: a table of expressions and the values they give.

#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"
#include "sc_isysrtti.h"

#include <QDate>
#include <QLocale>
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
        { "EncodeDate", "EncodeDate(2000, 1, 1)", 36526.0 },
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
    EXPECT_TRUE(Calc("StrToInt('12a')").IsNull());
    EXPECT_EQ(error, "'12a' is not a valid integer value");
    Calc("StrToFloat('x')");
    EXPECT_EQ(error, "'x' is not a valid floating point value");
    Calc("EncodeDate(2001, 2, 30)");
    EXPECT_EQ(error, "Invalid argument to date encode");
    Calc("Format('%d', [])");
    EXPECT_FALSE(error.isEmpty());
}

TEST_F(SysRttiTest, EveryFunctionIsRegisteredUnderItsCategory)
{
    auto* round = dynamic_cast<TscMethodHelper*>(report.Find("Round"));
    ASSERT_NE(round, nullptr);
    EXPECT_EQ(round->Category, "ctMath");
    auto* copy = dynamic_cast<TscMethodHelper*>(report.Find("Copy"));
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(copy->Category, "ctString");
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
