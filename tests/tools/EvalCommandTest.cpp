// pelmora-tool eval, run as a program: one line "Kind: text" per expression,
// the same output whatever the machine's locale, and errors on standard error
// with exit status 1.
#include <QProcess>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

struct TEvalCase {
    const char* Name;
    const char* Expression;
    const char* Output; // standard output, or the error text when Status is 1
    int Status;
    const char* Locale = nullptr; // the tool's --locale, when given
};

class EvalCommandTest : public ::testing::TestWithParam<TEvalCase> { };

TEST_P(EvalCommandTest, PrintsKindAndTextOrFails)
{
    const TEvalCase& c = GetParam();
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // A comma-decimal locale must not leak into the output.
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    process.setProcessEnvironment(env);
    QStringList args { QStringLiteral("eval") };
    if (c.Locale)
        args << QStringLiteral("--locale") << QString::fromUtf8(c.Locale);
    args << QString::fromUtf8(c.Expression);
    process.start(QStringLiteral(PELMORA_TOOL_BINARY), args);
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), c.Status);
    const QString out
        = QString::fromUtf8(c.Status == 0 ? process.readAllStandardOutput() : process.readAllStandardError());
    EXPECT_EQ(out.trimmed(), QString::fromUtf8(c.Output));
}

INSTANTIATE_TEST_SUITE_P(Cases, EvalCommandTest,
    ::testing::Values(
        // precedence: multiplication before addition
        TEvalCase { "Integer", "1 + 2 * 3", "Integer: 7", 0 },
        // "/" always divides as floating, printed with "."
        TEvalCase { "Float", "7 / 2", "Float: 3.5", 0 },
        // shortest digits that read back to the same double
        TEvalCase { "ShortestFloat", "0.1 + 0.2", "Float: 0.30000000000000004", 0 },
        TEvalCase { "String", "'a' + 'b'", "String: ab", 0 },
        TEvalCase { "Boolean", "1 < 2", "Boolean: True", 0 }, TEvalCase { "Null", "Null", "Null:", 0 },
        // a literal beyond 32 bits is an Int64
        TEvalCase { "Int64", "2147483648", "Int64: 2147483648", 0 },
        TEvalCase { "Library", "Copy('abcdef', 2, 3)", "String: bcd", 0 },
        TEvalCase {
            "Undeclared", "Foo + 1", "Error in expression 'Foo + 1': Undeclared identifier: 'Foo'", 1 },
        // a run-time error is reported with its own text
        TEvalCase { "DivisionByZero", "1 div 0", "Division by zero", 1 },
        // pictures read the C locale's names, not the machine's Russian ones
        TEvalCase { "DatePicture", "FormatDateTime('dddd d mmmm yyyy', 36526)",
            "String: Saturday 1 January 2000", 0 },
        TEvalCase {
            "Mask", "FormatMaskText('!(999)000-0000;0;_', '5551234567')", "String: (555)123-4567", 0 },
        // the tool has no automation servers
        TEvalCase { "NoAutomation", "CreateOleObject('Pelmora.Log')", "Invalid class string", 1 },
        // dates print in ISO 8601 whatever the locale; the time only when not midnight
        TEvalCase { "Date", "EncodeDate(2026, 12, 9)", "Date: 2026-12-09", 0 },
        TEvalCase { "DateAndTime", "EncodeDate(2026, 12, 9) + EncodeTime(10, 30, 0, 0)",
            "Date: 2026-12-09T10:30:00", 0 },
        TEvalCase { "Milliseconds", "EncodeTime(10, 30, 0, 5)", "Date: 1899-12-30T10:30:00.005", 0 },
        TEvalCase { "DateFromRussianText", "StrToDate('09.12.2026') + 7", "Date: 2026-12-16", 0, "ru_RU" },
        TEvalCase { "DaysBetween", "EncodeDate(2026, 12, 16) - EncodeDate(2026, 12, 9)", "Float: 7", 0 },
        // values without a text are errors, not crashes
        TEvalCase { "DateBeyond9999", "EncodeDate(9999, 12, 31) + 1",
            "2958466 is not a valid date and time value", 1 },
        TEvalCase { "Array", "VarArrayCreate([0, 1], varInteger)",
            "Could not convert variant of type (Array) into type (String)", 1 }),
    [](const ::testing::TestParamInfo<TEvalCase>& info) { return std::string(info.param.Name); });

// A message is shown on standard error; standard output keeps only the result.
TEST(EvalCommandMessageTest, ShowMessageWritesStandardError)
{
    QProcess process;
    process.start(QStringLiteral(PELMORA_TOOL_BINARY),
        { QStringLiteral("eval"), QStringLiteral("ShowMessage('half ' + '1/2')") });
    ASSERT_TRUE(process.waitForFinished(60000));
    EXPECT_EQ(process.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardOutput()), QStringLiteral("Null: \n"));
    EXPECT_EQ(QString::fromUtf8(process.readAllStandardError()), QStringLiteral("half 1/2\n"));
}

} // namespace
