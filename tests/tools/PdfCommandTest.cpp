// pelmora-tool prepare --pdf, run as a program on a real expense log and
// read back with poppler-utils: one PDF page per prepared page, each page's
// text as the dump (what drawing shows) has it, the footer sums and page
// numbers, one embedded picture for all pages, embedded fonts, the title;
// and bad input that leaves no file behind.
#include "DbConnection.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"
#include "tool_log.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

struct TResult {
    int Status;
    QString Out, Err;
};

TResult Exec(const QString& Program, const QStringList& Args)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("ru_RU.UTF-8"));
    process.setProcessEnvironment(env);
    process.start(Program, Args);
    if (!process.waitForFinished(120000))
        return { -1, QString(), QStringLiteral("%1 did not run").arg(Program) };
    return { process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
        QString::fromUtf8(process.readAllStandardError()) };
}

QString Simplified(const QString& Text)
{
    return Text.simplified();
}

class PdfCommandTest : public ::testing::Test {
protected:
    QTemporaryDir Dir;

    QString MakeLog(int Count) const
    {
        return MakeToolLog(Dir, Count, [](int N) { return QStringLiteral("Деталь %1").arg(N); });
    }
    static TResult Tool(const QStringList& Args)
    {
        return Exec(QStringLiteral(PELMORA_TOOL_BINARY), QStringList { QStringLiteral("prepare") } + Args);
    }
    // The memo texts of every page of a dump, by name.
    static std::vector<std::vector<std::pair<QString, QString>>> DumpPages(const QString& Dump)
    {
        std::vector<std::vector<std::pair<QString, QString>>> pages;
        for (const QString& line : Dump.split(QLatin1Char('\n'))) {
            const QStringList f = line.split(QLatin1Char('\t'));
            if (f[0] == QLatin1String("page"))
                pages.emplace_back();
            else if (f[0] == QLatin1String("memo") && f.size() == 3 && !pages.empty())
                pages.back().push_back({ f[1], f[2] });
        }
        return pages;
    }
    static QString Memo(const std::vector<std::pair<QString, QString>>& Page, const QString& Name)
    {
        for (const auto& [name, text] : Page)
            if (name == Name)
                return text;
        return QString();
    }
};

} // namespace

TEST_F(PdfCommandTest, ThePdfHoldsThePreparedPagesAsText)
{
    const QString log = MakeLog(80);
    const QString pdf = Dir.filePath(QStringLiteral("report.pdf"));
    const TResult dump = Tool({ log });
    ASSERT_EQ(dump.Status, 0) << dump.Err.toStdString();
    const auto pages = DumpPages(dump.Out);
    ASSERT_EQ(pages.size(), 3u);

    const TResult r = Tool({ log, QStringLiteral("--pdf"), pdf });
    ASSERT_EQ(r.Status, 0) << r.Err.toStdString();
    EXPECT_TRUE(r.Out.isEmpty());

    const TResult info = Exec(QStringLiteral("pdfinfo"), { pdf });
    ASSERT_EQ(info.Status, 0) << "poppler-utils (scripts/deps.sh) must be installed: "
                              << info.Err.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Pages:\\s+3\\n"))))
        << info.Out.toStdString();
    EXPECT_TRUE(info.Out.contains(QRegularExpression(QStringLiteral("Title:\\s+Report Document\\n"))));
    EXPECT_TRUE(info.Out.contains(QStringLiteral("595 x 842 pts (A4)")));

    for (size_t p = 0; p < pages.size(); ++p) {
        const TResult text = Exec(QStringLiteral("pdftotext"),
            { QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(p + 1), QStringLiteral("-l"),
                QString::number(p + 1), pdf, QStringLiteral("-") });
        ASSERT_EQ(text.Status, 0) << text.Err.toStdString();
        const QString page = Simplified(text.Out);
        // Every memo the preview draws on this page, in the page's text.
        for (const auto& [name, memo] : pages[p])
            EXPECT_TRUE(page.contains(Simplified(memo)))
                << "page " << p + 1 << " lacks " << name.toStdString() << " '" << memo.toStdString() << "'";
        // The footer: the page's sum after its caption, then the page number.
        const QString sum = Memo(pages[p], QStringLiteral("Memo8"));
        const QString number = Memo(pages[p], QStringLiteral("Memo1")).trimmed();
        EXPECT_EQ(number, QString::number(p + 1));
        EXPECT_TRUE(page.contains(
            QRegularExpression(QStringLiteral("Сумма %1 %2$").arg(QRegularExpression::escape(sum), number))))
            << page.toStdString();
    }

    // One picture object shown on every page; fonts embedded.
    const TResult images = Exec(QStringLiteral("pdfimages"), { QStringLiteral("-list"), pdf });
    QSet<QString> objects;
    int shown = 0;
    for (const QString& line : images.Out.split(QLatin1Char('\n')).mid(2)) {
        const QStringList f = line.simplified().split(QLatin1Char(' '));
        if (f.size() > 11) {
            ++shown;
            objects.insert(f[10]);
        }
    }
    EXPECT_EQ(shown, 3);
    EXPECT_EQ(objects.size(), 1);
    const TResult fonts = Exec(QStringLiteral("pdffonts"), { pdf });
    const QStringList fontLines = fonts.Out.split(QLatin1Char('\n'), Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fontLines.isEmpty());
    for (const QString& line : fontLines)
        EXPECT_TRUE(line.contains(QStringLiteral(" yes "))) << line.toStdString();
}

TEST_F(PdfCommandTest, BadInputEndsWithAMessageAndLeavesNoFile)
{
    const QString log = MakeLog(3);
    const QString pdf = Dir.filePath(QStringLiteral("out.pdf"));
    const QString kept = Dir.filePath(QStringLiteral("kept.pdf"));
    struct Case {
        const char* Name;
        QStringList Args;
        QString Target;
        const char* Message;
    };
    const std::vector<Case> cases = {
        { "missing database", { Dir.filePath(QStringLiteral("none.mdb")), "--pdf", pdf }, pdf,
            "Could not find file" },
        { "unknown column", { log, "--sort", "colour", "--pdf", pdf }, pdf, "unknown column 'colour'" },
        { "no file name", { log, "--pdf" }, QString(), "--pdf needs a file name" },
        { "folder that does not exist", { log, "--pdf", Dir.filePath(QStringLiteral("no/such/out.pdf")) },
            Dir.filePath(QStringLiteral("no/such/out.pdf")), "Cannot create file" },
        { "an existing file stays as it was", { log, "--sort", "colour", "--pdf", kept }, kept,
            "unknown column" },
    };
    {
        QFile old(kept);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an earlier document");
    }
    for (const Case& c : cases) {
        const TResult r = Tool(c.Args);
        EXPECT_EQ(r.Status, 1) << c.Name;
        EXPECT_TRUE(r.Err.contains(QString::fromUtf8(c.Message))) << c.Name << ": " << r.Err.toStdString();
        if (c.Target == kept) {
            QFile old(kept);
            ASSERT_TRUE(old.open(QIODevice::ReadOnly));
            EXPECT_EQ(old.readAll(), "an earlier document") << c.Name;
        } else if (!c.Target.isEmpty()) {
            EXPECT_FALSE(QFile::exists(c.Target)) << c.Name;
        }
    }
    // Nothing but the log and the kept file: no temporary files left over.
    EXPECT_EQ(QDir(Dir.path()).entryList(QDir::Files).size(), 2);
}
