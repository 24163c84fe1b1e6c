// The expense report prepared by the band engine over real expense logs:
// where its bands land, how many rows a page holds, and what each page
// footer shows. The store here only writes down what the engine hands it.
#include "ExpenseReport.h"
#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"
#include "recording_preview_pages.h"
#include "rpClass.h"
#include "rpDBSet.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Page body of A4 with 10 mm margins: 277 mm, less the page footer.
constexpr double FooterTop = 952.44;

// One expense log, the report over it and the store it fills.
class TExpenseRun {
public:
    QTemporaryDir Dir;
    std::unique_ptr<TDbTable> Table;
    TrpDBDataset DataSet;
    TrpReport Report;
    RecordingPreviewPages* Pages = nullptr;

    // Rows 1..Count: car "Car <n mod 3>", price n, mileage n * 10.
    void Open(int Count)
    {
        const QString path = Dir.filePath(QStringLiteral("log.mdb"));
        CreateExpenseLogFile(path);
        {
            TDbConnection connection;
            connection.Open(path);
            connection.Execute(QStringLiteral("BEGIN"));
            auto insert
                = connection.Prepare(QStringLiteral("INSERT INTO table1 (car, partname, jobdate, mileage, "
                                                    "descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
            for (int n = 1; n <= Count; ++n) {
                insert->Bind(1, TDbValue::Text(QStringLiteral("Car %1").arg(n % 3)));
                insert->Bind(2, TDbValue::Text(QStringLiteral("Part %1").arg(n)));
                insert->Bind(3, TDbValue::Text(QStringLiteral("01.02.2020")));
                insert->Bind(4, TDbValue::Integer(n * 10));
                insert->Bind(5, TDbValue::Text(QString()));
                insert->Bind(6, TDbValue::Integer(n));
                insert->Step();
                insert->Reset();
            }
            connection.Execute(QStringLiteral("COMMIT"));
        }
        Table = OpenExpenseLog(path);
        DataSet.SetDataSet(Table.get());
        BuildExpenseReport(Report, DataSet);
        auto pages = std::make_unique<RecordingPreviewPages>(&Report);
        Pages = pages.get();
        Report.SetPreviewPages(std::move(pages));
        Report.EngineOptions()->SetSilentMode(simReThrow);
    }

    bool Prepare() { return Report.PrepareReport(true); }
    int RowsOn(int Page) const { return Pages->CountBands(Page, QStringLiteral("MasterData1")); }
    // Sum of the prices printed on a page, from the row memos themselves.
    long long PriceSumOn(int Page) const
    {
        long long sum = 0;
        for (const auto& band : Pages->Pages[size_t(Page)].Bands)
            for (const auto& o : band.Objects)
                if (o.Name == QLatin1String("rpDBDataset1price"))
                    sum += o.Text.toLongLong();
        return sum;
    }
};

class ExpenseReportTest : public ::testing::Test, public TExpenseRun { };

} // namespace

TEST_F(ExpenseReportTest, FirstPageLayout)
{
    Open(3);
    ASSERT_TRUE(Report.PrepareReport(true));
    ASSERT_EQ(Pages->Count(), 1);
    EXPECT_EQ(Pages->Layout(0),
        QStringList({ "ReportTitle1@0.00", "Header1@79.37", "MasterData1@120.94", "MasterData1@143.62",
            "MasterData1@166.30", "PageFooter1@952.44" }));
    const auto& bands = Pages->Pages[0].Bands;
    EXPECT_NEAR(double(bands[2].Top), 120.94496, 1e-9);
    EXPECT_NEAR(double(bands[3].Top - bands[2].Top), 22.67718, 1e-9);
    EXPECT_NEAR(double(bands.back().Top), 277 * 3.77953 - 94.48825, 1e-9);
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("rpDBDataset1car")), QStringLiteral("Car 1"));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("rpDBDataset1mileage")), QStringLiteral("10"));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("Memo8")), QStringLiteral("6"));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("Memo1")), QStringLiteral("1 "));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("Memo9")), QStringLiteral("Сумма"));
}

// 36 rows fill the first page below title and header; later pages start at
// the top and hold 41 rows, not 42: the strict free-space test on binary
// sums leaves a rounding error less than one row after 41.
TEST_F(ExpenseReportTest, RowsPerPage)
{
    struct Case {
        const char* Name;
        int Rows;
        std::vector<int> PerPage;
    } cases[] = {
        { "empty log: one page, no header", 0, { 0 } },
        { "one row", 1, { 1 } },
        { "a full first page", 36, { 36 } },
        { "a full first page and one row more", 37, { 36, 1 } },
        { "a full second page", 77, { 36, 41 } },
        { "three pages", 79, { 36, 41, 2 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TExpenseRun run;
        run.Open(c.Rows);
        ASSERT_TRUE(run.Prepare());
        RecordingPreviewPages* Pages = run.Pages;
        ASSERT_EQ(Pages->Count(), int(c.PerPage.size()));
        for (size_t p = 0; p < c.PerPage.size(); ++p) {
            EXPECT_EQ(run.RowsOn(int(p)), c.PerPage[p]) << "page " << p + 1;
            const auto& bands = Pages->Pages[p].Bands;
            ASSERT_FALSE(bands.empty());
            EXPECT_EQ(bands.back().Name, QStringLiteral("PageFooter1"));
            EXPECT_NEAR(double(bands.back().Top), FooterTop, 0.01);
            EXPECT_EQ(Pages->MemoText(int(p), QStringLiteral("Memo1")), QStringLiteral("%1 ").arg(p + 1));
            EXPECT_EQ(
                Pages->MemoText(int(p), QStringLiteral("Memo8")), QString::number(run.PriceSumOn(int(p))));
            if (p > 0 && c.PerPage[p] > 0) {
                EXPECT_EQ(Pages->Layout(int(p)).front(), QStringLiteral("MasterData1@0.00"));
            }
        }
        EXPECT_EQ(Pages->CountBands(0, QStringLiteral("Header1")), c.Rows > 0 ? 1 : 0);
        EXPECT_EQ(Pages->CountBands(0, QStringLiteral("ReportTitle1")), 1);
    }
}

TEST_F(ExpenseReportTest, EmptyLogShowsTitleAndZeroTotal)
{
    Open(0);
    ASSERT_TRUE(Report.PrepareReport(true));
    ASSERT_EQ(Pages->Count(), 1);
    EXPECT_EQ(Pages->Layout(0), QStringList({ "ReportTitle1@0.00", "PageFooter1@952.44" }));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("Memo8")), QStringLiteral("0"));
    EXPECT_EQ(Pages->MemoText(0, QStringLiteral("Memo1")), QStringLiteral("1 "));
}

TEST_F(ExpenseReportTest, EachFooterSumsItsOwnPage)
{
    Open(120);
    ASSERT_TRUE(Report.PrepareReport(true));
    ASSERT_EQ(Pages->Count(), 4);
    // Rows 1-36, 37-77, 78-118, 119-120, priced by their number.
    const long long expected[] = { 36 * 37 / 2, (37 + 77) * 41 / 2, (78 + 118) * 41 / 2, 119 + 120 };
    for (int p = 0; p < 4; ++p) {
        EXPECT_EQ(Pages->MemoText(p, QStringLiteral("Memo8")), QString::number(expected[p])) << p;
        EXPECT_EQ(Pages->MemoText(p, QStringLiteral("Memo1")), QStringLiteral("%1 ").arg(p + 1)) << p;
    }
}

TEST_F(ExpenseReportTest, TemplateIsRestoredAndPreparesAgain)
{
    Open(40);
    ASSERT_TRUE(Report.PrepareReport(true));
    ASSERT_EQ(Pages->Count(), 2);
    // The template came back from its snapshot: the same objects, the
    // template texts and positions, the data set linked again.
    auto* footer = dynamic_cast<TrpBand*>(Report.FindByName(QStringLiteral("PageFooter1")));
    ASSERT_NE(footer, nullptr);
    EXPECT_NEAR(double(footer->Top()), 306.14193, 1e-9);
    auto* sum = dynamic_cast<TrpMemoView*>(Report.FindByName(QStringLiteral("Memo8")));
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->Text(), QStringLiteral("[SUM(<rpDBDataset1.\"price\">,MasterData1)]"));
    ASSERT_TRUE(Report.PrepareReport(true));
    EXPECT_EQ(Pages->Count(), 2);
    EXPECT_EQ(RowsOn(1), 4);
    EXPECT_EQ(Pages->MemoText(1, QStringLiteral("Memo8")), QString::number(37 + 38 + 39 + 40));
}
