// pelmora-tool prepare --save, show and find, run as a program: a saved
// report dumps exactly as prepared, find lists the drawn texts that hold a
// text with their page and object, and the exit statuses tell hits, none
// and errors apart.
#include "DbConnection.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"
#include "tool_log.h"

#include <QDate>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TResult {
    int Status;
    QString Out, Err;
};

class SavedReportCommandsTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;

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
        process.start(QStringLiteral(PELMORA_TOOL_BINARY), args);
        EXPECT_TRUE(process.waitForFinished(60000));
        return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError()) };
    }
};

} // namespace

TEST_F(SavedReportCommandsTest, ShowDumpsASavedReportExactlyAsPrepareDoes)
{
    const QString log = MakeLog(80, { { 79, QStringLiteral("C:\\oil\tfilter") } });
    const QString file = Dir.filePath(QStringLiteral("costs.rpd"));
    const TResult prepared = Run({ QStringLiteral("prepare"), log });
    ASSERT_EQ(prepared.Status, 0) << prepared.Err.toStdString();
    const TResult saved = Run({ QStringLiteral("prepare"), log, QStringLiteral("--save"), file });
    ASSERT_EQ(saved.Status, 0) << saved.Err.toStdString();
    EXPECT_TRUE(saved.Out.isEmpty());
    const TResult shown = Run({ QStringLiteral("show"), file });
    ASSERT_EQ(shown.Status, 0) << shown.Err.toStdString();
    EXPECT_EQ(shown.Out, prepared.Out);
}

TEST_F(SavedReportCommandsTest, FindListsDrawnTextsWithPageAndObject)
{
    const QString log = MakeLog(80, { { 79, QStringLiteral("C:\\oil\tfilter") } });
    const QString file = Dir.filePath(QStringLiteral("costs.rpd"));
    ASSERT_EQ(Run({ QStringLiteral("prepare"), log, QStringLiteral("--save"), file }).Status, 0);

    // Rows 7 (page 1), 70..77 (page 2 holds 37..77): "part 7" in any case.
    TResult r = Run({ QStringLiteral("find"), file, QStringLiteral("part 7") });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    QStringList expected { QStringLiteral("1\trpDBDataset1partname\tPart 7") };
    for (int n = 70; n <= 77; ++n)
        expected << QStringLiteral("2\trpDBDataset1partname\tPart %1").arg(n);
    expected << QStringLiteral("3\trpDBDataset1partname\tPart 78");
    EXPECT_EQ(r.Out.split(u'\n', Qt::SkipEmptyParts), expected);
    // With --match-case there is none: exit status 1, nothing printed.
    r = Run({ QStringLiteral("find"), file, QStringLiteral("part 7"), QStringLiteral("--match-case") });
    EXPECT_EQ(r.Status, 1);
    EXPECT_TRUE(r.Out.isEmpty());
    // The drawn text is escaped as in the dump (the tab is drawn as it is).
    r = Run({ QStringLiteral("find"), file, QStringLiteral("oil") });
    EXPECT_EQ(r.Out, QStringLiteral("3\trpDBDataset1partname\tC:\\\\oil\\tfilter\n"));
}

TEST_F(SavedReportCommandsTest, BrokenOrMissingFilesAreErrors)
{
    const QString text = Dir.filePath(QStringLiteral("notes.rpd"));
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("just text");
    }
    for (const QString& name : { text, Dir.filePath(QStringLiteral("missing.rpd")) }) {
        TResult r = Run({ QStringLiteral("find"), name, QStringLiteral("x") });
        EXPECT_EQ(r.Status, 2);
        EXPECT_TRUE(r.Out.isEmpty());
        EXPECT_TRUE(r.Err.contains(QStringLiteral("pelmora-tool find: "))) << r.Err.toStdString();
        r = Run({ QStringLiteral("show"), name });
        EXPECT_EQ(r.Status, 1);
        EXPECT_TRUE(r.Out.isEmpty());
    }
    EXPECT_TRUE(Run({ QStringLiteral("show"), text }).Err.contains(QStringLiteral("Invalid file format")));
    EXPECT_EQ(Run({ QStringLiteral("find"), text }).Status, 2);
    EXPECT_EQ(Run({ QStringLiteral("prepare"), MakeLog(1), QStringLiteral("--save") }).Status, 1);
}
