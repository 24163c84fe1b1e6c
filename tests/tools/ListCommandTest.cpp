// pelmora-tool list, run as a program on real database files: CSV output,
// the filters and the sort the window uses (dates as dates), the total, and
// the failures that must end with a message and exit status 1.
#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TResult {
    int Status;
    QString Out, Err;
};

} // namespace

class ListCommandTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;

    // car, partname, jobdate, mileage, descr, price per row; an empty price is Null.
    QString MakeDatabase(
        const std::vector<QStringList>& rows, const QString& name = QStringLiteral("log.mdb")) const
    {
        const QString path = Dir.filePath(name);
        CreateExpenseLogFile(path);
        const auto table = OpenExpenseLog(path);
        const char* const names[] = { "car", "partname", "jobdate", "mileage", "descr", "price" };
        for (const QStringList& row : rows) {
            table->Insert();
            for (int i = 0; i < 6; ++i)
                table->SetText(QString::fromLatin1(names[i]), row[i]);
            table->Post();
        }
        return path;
    }
    static TResult Run(const QStringList& args, const QString& locale = QStringLiteral("ru_RU.UTF-8"))
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), locale);
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PELMORA_TOOL_BINARY), QStringList { QStringLiteral("list") } + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }
    QString Log() const
    {
        return MakeDatabase({
            { "Lada", "Oil, filter", "10.01.2026", "1000", "said \"ok\"", "300" },
            { "O'Neil", "Tyres", "15.03.2025", "2000", "two\nlines", "100" },
            { "Lada", "Brakes", "31.12.2025", "3000", "", "200" },
            { "Volga", "Лампа", "когда-то", "4000", "", "50" },
        });
    }
};

TEST_F(ListCommandTest, WritesTheRowsInViewAsCsvInTheTableOrder)
{
    const TResult r = Run({ Log() });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out,
        "car,partname,jobdate,mileage,descr,price\r\n"
        "Lada,\"Oil, filter\",10.01.2026,1000,\"said \"\"ok\"\"\",300\r\n"
        "O'Neil,Tyres,15.03.2025,2000,\"two\nlines\",100\r\n"
        "Lada,Brakes,31.12.2025,3000,,200\r\n"
        "Volga,Лампа,когда-то,4000,,50\r\n");
    EXPECT_TRUE(r.Err.isEmpty());
}

TEST_F(ListCommandTest, FiltersSortsAndTotalsAsTheWindowDoes)
{
    const QString db = Log();
    const struct {
        const char* name;
        QStringList args;
        QString out;
    } cases[] = {
        { "car filter with a quote", { "--car", "O'Neil", "--total" }, "100\n" },
        { "January 2026 by calendar, not text", { "--from", "01.01.2026", "--to", "31.01.2026", "--total" },
            "300\n" },
        { "across the year boundary", { "--from", "20.12.2025", "--to", "10.01.2026", "--total" }, "500\n" },
        { "everything", { "--total" }, "650\n" },
        { "no row in view", { "--car", "Nobody", "--total" }, "0\n" },
        { "sort by price", { "--sort", "price", "--car", "Lada" },
            "car,partname,jobdate,mileage,descr,price\r\nLada,Brakes,31.12.2025,3000,,200\r\n"
            "Lada,\"Oil, filter\",10.01.2026,1000,\"said \"\"ok\"\"\",300\r\n" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TResult r = Run(QStringList { db } + c.args);
        EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
        EXPECT_EQ(r.Out, c.out);
    }
    // The date sort puts the unreadable text last, in both directions of the dates.
    const TResult sorted = Run({ db, "--sort", "jobdate", "--desc" });
    const QStringList lines = sorted.Out.split("\r\n", Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 5) << sorted.Out.toStdString();
    EXPECT_TRUE(lines[1].startsWith("Volga")) << "descending: the unreadable text first";
    EXPECT_TRUE(lines[2].startsWith("Lada,\"Oil"));
    EXPECT_TRUE(lines[4].startsWith("O'Neil"));
}

TEST_F(ListCommandTest, DatesFollowTheLocaleShortFormat)
{
    const QString db = MakeDatabase(
        { { "Lada", "a", "1/10/26", "1", "", "7" }, { "Lada", "b", "10.01.2026", "1", "", "9" } });
    const TResult r
        = Run({ db, "--from", "1/1/26", "--to", "1/31/26", "--total" }, QStringLiteral("en_US.UTF-8"));
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "7\n");
}

TEST_F(ListCommandTest, FailuresGiveAMessageAndStatusOne)
{
    const QString db = Log();
    const QString notDatabase = Dir.filePath("notes.mdb");
    QFile file(notDatabase);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("just some text, not a database at all\n");
    file.close();
    const struct {
        const char* name;
        QStringList args;
        const char* message;
    } cases[] = {
        { "no database", {}, "no database file given" },
        { "missing file", { Dir.filePath("missing.mdb") }, "Could not find file" },
        { "not a database", { notDatabase }, "is not a database file" },
        { "unknown option", { db, "--fast" }, "unknown option '--fast'" },
        { "car and dates", { db, "--car", "Lada", "--from", "01.01.2026", "--to", "02.01.2026" },
            "only one filter" },
        { "from without to", { db, "--from", "01.01.2026" }, "--from and --to must be given together" },
        { "unreadable date", { db, "--from", "2026-01-01", "--to", "02.01.2026" }, "not a date" },
        { "end before start", { db, "--from", "02.01.2026", "--to", "01.01.2026" }, "--to is before --from" },
        { "unknown column", { db, "--sort", "id" }, "unknown column 'id'" },
        { "desc without sort", { db, "--desc" }, "--desc needs --sort" },
        { "value missing", { db, "--car" }, "--car needs a value" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const TResult r = Run(c.args);
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Out.isEmpty()) << r.Out.toStdString();
        EXPECT_TRUE(r.Err.contains(QString::fromUtf8(c.message))) << r.Err.toStdString();
    }
}

TEST_F(ListCommandTest, TotalStopsOnAnEmptyPriceOrA32BitOverflow)
{
    const TResult null = Run({ MakeDatabase({ { "Lada", "a", "01.01.2026", "1", "", "5" },
                                                { "Lada", "b", "01.01.2026", "1", "", "" } },
                                   "null.mdb"),
        "--total" });
    EXPECT_EQ(null.Status, 1);
    EXPECT_TRUE(null.Out.isEmpty());
    EXPECT_TRUE(null.Err.contains("Could not convert variant of type (Null) into type (Integer)"))
        << null.Err.toStdString();

    const TResult wide = Run({ MakeDatabase({ { "Lada", "a", "01.01.2026", "1", "", "2147483647" },
                                                { "Lada", "b", "01.01.2026", "1", "", "1" } },
                                   "wide.mdb"),
        "--total" });
    EXPECT_EQ(wide.Status, 1);
    EXPECT_TRUE(wide.Out.isEmpty());
    EXPECT_TRUE(wide.Err.contains("-2147483648")) << wide.Err.toStdString();
}

// The tool never writes, so a log it may only read lists as well: a
// read-only file in a read-only folder, left exactly as it was.
TEST_F(ListCommandTest, AReadOnlyLogInAReadOnlyFolderIsListedAndLeftAlone)
{
    const QString folder = Dir.filePath("ro");
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString db = Dir.filePath("ro/log.mdb");
    ASSERT_TRUE(QFile::copy(Log(), db));
    ASSERT_TRUE(
        QFile::setPermissions(db, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    QFile file(db);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    ASSERT_TRUE(QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner));

    const TResult r = Run({ db, "--car", "Lada", "--total" });
    ASSERT_TRUE(QFile::setPermissions(
        folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner));
    EXPECT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out, "500\n");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files | QDir::Hidden), QStringList { "log.mdb" });
}

// Texts a spreadsheet would run as formulas arrive as text; numbers stay numbers.
TEST_F(ListCommandTest, FieldsThatLookLikeFormulasAreQuotedAsText)
{
    const QString db = MakeDatabase({
        { "=HYPERLINK(\"http://x\",\"y\")", "+Lada", "01.01.2026", "-7", "@SUM(A1)", "-5" },
        { "-Volga", "a=b", "02.01.2026", "1", "-", "0" },
    });
    const TResult r = Run({ db });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_EQ(r.Out,
        "car,partname,jobdate,mileage,descr,price\r\n"
        "\"'=HYPERLINK(\"\"http://x\"\",\"\"y\"\")\",\"'+Lada\",01.01.2026,-7,\"'@SUM(A1)\",-5\r\n"
        "\"'-Volga\",a=b,02.01.2026,1,\"'-\",0\r\n");
}
