// pelmora-tool prepare, run as a program on real expense logs: the dump of
// the prepared pages through the real store (bands, positions, memo texts,
// the picture), the filter and sort of the main window, the escaping of
// memo texts, and the failures that end with a message and exit status 1.
#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"
#include "tool_log.h"

#include <QDate>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TResult {
    int Status;
    QString Out, Err;
};

class PrepareCommandTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;

    // Rows 1..Count as the benchmark makes them; Changes overrides partnames.
    QString MakeLog(int Count, const std::map<int, QString>& Partnames = {}) const
    {
        return MakeToolLog(Dir, Count, [&](int N) {
            const auto part = Partnames.find(N);
            return part != Partnames.end() ? part->second : QStringLiteral("Part %1").arg(N);
        });
    }
    static TResult Run(const QStringList& args)
    {
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
        process.setProcessEnvironment(env);
        process.start(QStringLiteral(PELMORA_TOOL_BINARY), QStringList { QStringLiteral("prepare") } + args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }
    static QStringList Lines(const QString& Out, const QString& Prefix)
    {
        QStringList r;
        for (const QString& line : Out.split(QLatin1Char('\n')))
            if (line.startsWith(Prefix))
                r << line;
        return r;
    }
};

} // namespace

TEST_F(PrepareCommandTest, DumpsTheFirstPageExactly)
{
    const TResult r = Run({ MakeLog(1) });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    const QString expected = QStringLiteral("page\t1\n"
                                            "band\tReportTitle1\t0.00\t79.37\n"
                                            "memo\tMemo2\tPelmora")
        + QString(104, QLatin1Char(' '))
        + QStringLiteral("Отчет по расходам на автомобиль \n"
                         "band\tHeader1\t79.37\t41.57\n"
                         "memo\tMemo3\tАвтомобиль\n"
                         "memo\tMemo4\tЗапчасть или работа\n"
                         "memo\tMemo5\tДата\n"
                         "memo\tMemo6\tПробег\n"
                         "memo\tMemo7\tЦена\n"
                         "band\tMasterData1\t120.94\t22.68\n"
                         "memo\trpDBDataset1car\tCar 1\n"
                         "memo\trpDBDataset1partname\tPart 1\n"
                         "memo\trpDBDataset1jobdate\t02.01.2020\n"
                         "memo\trpDBDataset1mileage\t10\n"
                         "memo\trpDBDataset1price\t1\n"
                         "band\tPageFooter1\t952.44\t94.49\n"
                         "picture\tPicture1\n"
                         "memo\tMemo9\tСумма\n"
                         "memo\tMemo8\t1\n"
                         "memo\tMemo1\t1 \n");
    EXPECT_EQ(r.Out, expected);
}

TEST_F(PrepareCommandTest, PagesFootersAndFilters)
{
    struct Case {
        const char* Name;
        QStringList Args;
        int Pages, Rows;
        QStringList Sums;
    } cases[] = {
        { "every row: 36, then 41 a page", {}, 3, 80, { "666", "2337", "237" } },
        { "one car", { "--car", "Car 3" }, 1, 12, { "498" } },
        { "a range of dates", { "--from", "10.01.2020", "--to", "19.01.2020" }, 1, 10, { "135" } },
        { "sorted by price, highest first", { "--sort", "price", "--desc" }, 3, 80, { "2250", "984", "6" } },
    };
    const QString log = MakeLog(80);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TResult r = Run(QStringList { log } + c.Args);
        ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
        EXPECT_EQ(Lines(r.Out, QStringLiteral("page\t")).size(), c.Pages);
        EXPECT_EQ(Lines(r.Out, QStringLiteral("band\tMasterData1\t")).size(), c.Rows);
        QStringList sums;
        for (const QString& line : Lines(r.Out, QStringLiteral("memo\tMemo8\t")))
            sums << line.section(QLatin1Char('\t'), 2);
        EXPECT_EQ(sums, c.Sums);
        EXPECT_EQ(Lines(r.Out, QStringLiteral("band\tPageFooter1\t952.44\t94.49")).size(), c.Pages);
    }
}

TEST_F(PrepareCommandTest, EscapesMemoTexts)
{
    const TResult r = Run({ MakeLog(2, { { 2, QStringLiteral("C:\\oil\tfilter") } }) });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.contains(QStringLiteral("memo\trpDBDataset1partname\tC:\\\\oil\\tfilter\n")))
        << r.Out.toStdString();
}

TEST_F(PrepareCommandTest, FailuresEndWithAMessage)
{
    const QString log = MakeLog(3);
    QFile broken(Dir.filePath(QStringLiteral("broken.mdb")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a database at all");
    broken.close();
    struct Case {
        const char* Name;
        QStringList Args;
        const char* Message;
    } cases[] = {
        { "missing database", { Dir.filePath(QStringLiteral("none.mdb")) }, "Could not find file" },
        { "broken database", { broken.fileName() }, "is not a database file" },
        { "unknown column", { log, "--sort", "colour" }, "unknown column 'colour'" },
        { "bad date", { log, "--from", "31.02.2020", "--to", "01.03.2020" }, "is not a date" },
        { "no database", {}, "no database file given" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TResult r = Run(c.Args);
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_TRUE(r.Err.contains(QLatin1String(c.Message))) << r.Err.toStdString();
    }
}
