// The band engine over small templates and a recording store: band order
// and positions, data bands with RowCount, several master bands, groups,
// page columns and endless pages, double pass, stretching and shifting,
// splitting, the band tree's errors, expression errors and cancelling.
#include "FakeDialogService.h"
#include "qt_print.h"
#include "recording_preview_pages.h"
#include "report_skeleton.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpStretch.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

// A memo whose lines are LineHeight pixels tall, so that stretching and
// splitting can be checked to the pixel without measuring text.
class TLinesMemo : public TrpMemoView {
public:
    Extended LineHeight = 10;
    Extended CalcHeight() override { return Memo().size() * LineHeight; }
    void InitPart() override { PartMemo = Memo(); }
    Extended DrawPart() override
    {
        const qsizetype fit
            = std::min<qsizetype>(qsizetype(std::floor(Height() / LineHeight)), PartMemo.size());
        SetMemo(PartMemo.mid(0, fit));
        PartMemo = PartMemo.mid(fit);
        return fit == 0 ? Height() : Height() - fit * LineHeight;
    }
};

QStringList Lines(int From, int To)
{
    QStringList r;
    for (int i = From; i <= To; ++i)
        r << QStringLiteral("line %1").arg(i);
    return r;
}

// Rows of the test data set "Data": car, price and the row number n.
struct TRow {
    QString Car;
    int Price;
};

class EngineTest : public ::testing::Test {
public:
    EngineTest()
    {
        Report.SetName(QStringLiteral("Report1"));
        Data.SetName(QStringLiteral("Data"));
        Data.SetFields({ QStringLiteral("car"), QStringLiteral("price"), QStringLiteral("n") });
        Data.SetRangeEnd(reCount);
        Data.OnGetValue = [this](const QString& Name, Variant& Value) {
            const int n = Data.RecNo();
            if (n < 0 || n >= int(Rows.size()))
                return;
            if (Name == QLatin1String("car"))
                Value = Variant(Rows[size_t(n)].Car);
            else if (Name == QLatin1String("price"))
                Value = Variant(int32_t(Rows[size_t(n)].Price));
            else if (Name == QLatin1String("n"))
                Value = Variant(int32_t(n + 1));
            if (CancelAtRow > 0 && n + 1 == CancelAtRow)
                Report.SetTerminated(true);
        };
        Report.DataSets().Add(&Data);
        Report.EngineOptions()->SetSilentMode(simSilent);
        Page = AddNamed<TrpReportPage>(&Report, QStringLiteral("Page1"));
        Page->SetSizeAndDimensions(9, 210, 297);
        Page->SetLeftMargin(10);
        Page->SetRightMargin(10);
        Page->SetTopMargin(10);
        Page->SetBottomMargin(10);
        auto pages = std::make_unique<RecordingPreviewPages>(&Report);
        Pages = pages.get();
        Report.SetPreviewPages(std::move(pages));
        Report.SetDialogService(&Dialogs);
    }

    // An empty Page1 in place of the one the report holds now (a run with
    // DestroyForms reloads the template, so earlier pointers are gone).
    void NewPage()
    {
        Report.DeleteObject(Report.FindByName(QStringLiteral("Page1")));
        Page = AddNamed<TrpReportPage>(&Report, QStringLiteral("Page1"));
        Page->SetSizeAndDimensions(9, 210, 297);
    }
    void SetRows(std::vector<TRow> Value)
    {
        Rows = std::move(Value);
        Data.SetRangeEndCount(int(Rows.size()));
    }
    void SetPriceRows(int Count, const QString& Car = QStringLiteral("A"))
    {
        std::vector<TRow> rows;
        for (int i = 1; i <= Count; ++i)
            rows.push_back({ Car, i });
        SetRows(rows);
    }
    template <class T> T* Band(const char* Name, Extended Top, Extended Height)
    {
        T* b = AddNamed<T>(Page, QLatin1String(Name));
        b->SetBounds(0, Top, 718.1107L, Height);
        return b;
    }
    template <class T = TrpMemoView>
    T* Memo(TrpBand* B, const char* Name, const QString& Text, Extended Top = 0, Extended Height = 18,
        Extended Left = 0, Extended Width = 100)
    {
        auto* m = static_cast<T*>(B->InsertChild(std::make_unique<T>()));
        m->SetName(QLatin1String(Name));
        m->SetBounds(Left, Top, Width, Height);
        m->SetText(Text);
        return m;
    }
    TrpMasterData* Master(const char* Name, Extended Top, Extended Height = 20)
    {
        auto* b = Band<TrpMasterData>(Name, Top, Height);
        b->SetDataSet(&Data);
        return b;
    }
    bool Prepare() { return Report.PrepareReport(true); }
    // Band names of every page in order, "|" between pages.
    QString Sequence() const
    {
        QStringList pages;
        for (const auto& p : Pages->Pages) {
            QStringList names;
            for (const auto& b : p.Bands)
                names << b.Name;
            pages << names.join(QLatin1Char(' '));
        }
        return pages.join(QStringLiteral(" | "));
    }
    // Texts of one memo through all pages, in order.
    QStringList Texts(const QString& MemoName) const
    {
        QStringList r;
        for (const auto& p : Pages->Pages)
            for (const auto& b : p.Bands)
                for (const auto& o : b.Objects)
                    if (o.Name == MemoName)
                        r << o.Text;
        return r;
    }
    const RecordingPreviewPages::TObject* Object(
        int PageIndex, const QString& BandName, const QString& Name) const
    {
        for (const auto& b : Pages->Pages[size_t(PageIndex)].Bands)
            if (b.Name == BandName)
                for (const auto& o : b.Objects)
                    if (o.Name == Name)
                        return &o;
        return nullptr;
    }

    TrpReport Report;
    TrpUserDataSet Data;
    std::vector<TRow> Rows;
    int CancelAtRow = 0;
    TrpReportPage* Page = nullptr;
    RecordingPreviewPages* Pages = nullptr;
    TFakeDialogService Dialogs;
};

} // namespace

TEST_F(EngineTest, RowCountLimitsTheRows)
{
    struct Case {
        const char* Name;
        bool WithDataSet;
        int RowCount, DataRows, Printed;
    } cases[] = {
        { "virtual rows of a band without data set", false, 3, 0, 3 },
        { "three of ten rows of a data set", true, 3, 10, 3 },
        { "no limit: every row", true, 0, 10, 10 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        NewPage();
        SetPriceRows(c.DataRows);
        auto* band = Band<TrpMasterData>("MasterData1", 10, 20);
        if (c.WithDataSet)
            band->SetDataSet(&Data);
        band->SetRowCount(c.RowCount);
        Memo(band, "Line", QStringLiteral("[Line#]"));
        ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
        EXPECT_EQ(Pages->CountBands(0, QStringLiteral("MasterData1")), c.Printed);
        EXPECT_EQ(Texts(QStringLiteral("Line")).value(c.Printed - 1), QString::number(c.Printed));
    }
}

TEST_F(EngineTest, TwoMasterBandsEachWithHeaderAndFooter)
{
    SetPriceRows(2);
    Band<TrpHeader>("Header1", 10, 20);
    Master("MasterData1", 40);
    Band<TrpFooter>("Footer1", 70, 20);
    Band<TrpHeader>("Header2", 100, 20);
    auto* second = Band<TrpMasterData>("MasterData2", 130, 20);
    second->SetRowCount(3);
    Band<TrpFooter>("Footer2", 160, 20);
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Sequence(),
        QStringLiteral(
            "Header1 MasterData1 MasterData1 Footer1 Header2 MasterData2 MasterData2 MasterData2 Footer2"));
    EXPECT_EQ(Pages->Layout(0).mid(0, 4),
        QStringList({ "Header1@0.00", "MasterData1@20.00", "MasterData1@40.00", "Footer1@60.00" }));
}

TEST_F(EngineTest, GroupsByCarWithGroupTotals)
{
    SetRows({ { "A", 1 }, { "A", 2 }, { "B", 5 }, { "C", 7 }, { "C", 8 } });
    auto* header = Band<TrpGroupHeader>("GroupHeader1", 10, 20);
    header->SetCondition(QStringLiteral("Data.\"car\""));
    Memo(header, "GroupCar", QStringLiteral("[Data.\"car\"]"));
    Memo(Master("MasterData1", 40), "Price", QStringLiteral("[Data.\"price\"]"));
    auto* footer = Band<TrpGroupFooter>("GroupFooter1", 70, 20);
    Memo(footer, "GroupSum", QStringLiteral("[SUM(<Data.\"price\">,MasterData1)]"));
    Memo(footer, "FooterCar", QStringLiteral("[Data.\"car\"]"), 0, 18, 200);
    auto* pageFooter = Band<TrpPageFooter>("PageFooter1", 200, 20);
    Memo(pageFooter, "PageSum", QStringLiteral("[SUM(<Data.\"price\">,MasterData1)]"));
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Sequence(),
        QStringLiteral(
            "GroupHeader1 MasterData1 MasterData1 GroupFooter1 GroupHeader1 MasterData1 GroupFooter1 "
            "GroupHeader1 MasterData1 MasterData1 GroupFooter1 PageFooter1"));
    EXPECT_EQ(Texts(QStringLiteral("GroupCar")), QStringList({ "A", "B", "C" }));
    EXPECT_EQ(Texts(QStringLiteral("GroupSum")), QStringList({ "3", "5", "15" }));
    // A footer shows the last row of its own group, not the next group's.
    EXPECT_EQ(Texts(QStringLiteral("FooterCar")), QStringList({ "A", "B", "C" }));
    EXPECT_EQ(Texts(QStringLiteral("PageSum")), QStringList({ "23" }));
}

TEST_F(EngineTest, NestedGroupsCloseInnerFirst)
{
    SetRows({ { "A", 1 }, { "A", 1 }, { "A", 2 }, { "B", 2 } });
    auto* outer = Band<TrpGroupHeader>("Outer", 10, 20);
    outer->SetCondition(QStringLiteral("Data.\"car\""));
    auto* inner = Band<TrpGroupHeader>("Inner", 40, 20);
    inner->SetCondition(QStringLiteral("Data.\"price\""));
    Master("MasterData1", 70);
    Memo(Band<TrpGroupFooter>("InnerFooter", 100, 20), "InnerCount", QStringLiteral("[COUNT(MasterData1)]"));
    Memo(Band<TrpGroupFooter>("OuterFooter", 130, 20), "OuterSum",
        QStringLiteral("[SUM(<Data.\"price\">,MasterData1)]"));
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Sequence(),
        QStringLiteral(
            "Outer Inner MasterData1 MasterData1 InnerFooter Inner MasterData1 InnerFooter OuterFooter "
            "Outer Inner MasterData1 InnerFooter OuterFooter"));
    EXPECT_EQ(Texts(QStringLiteral("InnerCount")), QStringList({ "2", "1", "1" }));
    EXPECT_EQ(Texts(QStringLiteral("OuterSum")), QStringList({ "4", "2" }));
}

TEST_F(EngineTest, GroupHeaderReprintsAndKeepsTogether)
{
    // 60 rows of 20 px per group: a group does not fit the rest of page 1
    // after the first, so KeepTogether moves the second group whole.
    std::vector<TRow> rows;
    for (int i = 0; i < 30; ++i)
        rows.push_back({ QStringLiteral("A"), 1 });
    for (int i = 0; i < 30; ++i)
        rows.push_back({ QStringLiteral("B"), 1 });
    SetRows(rows);
    auto* group = Band<TrpGroupHeader>("GroupHeader1", 10, 20);
    group->SetCondition(QStringLiteral("Data.\"car\""));
    group->SetKeepTogether(true);
    group->SetReprintOnNewPage(true);
    Master("MasterData1", 40);
    Band<TrpGroupFooter>("GroupFooter1", 70, 20);
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    ASSERT_EQ(Pages->Count(), 2);
    EXPECT_EQ(Pages->CountBands(0, QStringLiteral("MasterData1")), 30);
    EXPECT_EQ(Pages->CountBands(1, QStringLiteral("MasterData1")), 30);
    EXPECT_EQ(Pages->Layout(1).front(), QStringLiteral("GroupHeader1@0.00"));
    EXPECT_EQ(Pages->CountBands(1, QStringLiteral("GroupHeader1")), 1);
}

TEST_F(EngineTest, PageFooterLeftOutOnFirstPageCountsBothPages)
{
    SetPriceRows(60);
    Master("MasterData1", 10, 20);
    auto* footer = Band<TrpPageFooter>("PageFooter1", 200, 46.92981L);
    footer->SetPrintOnFirstPage(false);
    Memo(footer, "PageSum", QStringLiteral("[SUM(<Data.\"price\">,MasterData1)]"));
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(Pages->Count(), 2);
    // 1000 px of body: 50 rows on page 1, 10 on page 2.
    EXPECT_EQ(Pages->CountBands(0, QStringLiteral("MasterData1")), 50);
    EXPECT_EQ(Texts(QStringLiteral("PageSum")), QStringList({ QString::number(60 * 61 / 2) }));
}

TEST_F(EngineTest, DoublePassKnowsTheTotalPages)
{
    SetPriceRows(120);
    Report.EngineOptions()->SetDoublePass(true);
    Master("MasterData1", 10, 20);
    auto* footer = Band<TrpPageFooter>("PageFooter1", 200, 20);
    Memo(footer, "Of", QStringLiteral("[Page#] of [<TotalPages#>]"));
    Memo(footer, "Macro", QStringLiteral("[TotalPages#]"), 0, 18, 200);
    ASSERT_TRUE(Prepare());
    EXPECT_EQ(Pages->Count(), 3);
    EXPECT_EQ(Texts(QStringLiteral("Of")), QStringList({ "1 of 3", "2 of 3", "3 of 3" }));
    // Replaced when the page is drawn.
    EXPECT_EQ(Texts(QStringLiteral("Macro")).value(0), QStringLiteral("[TotalPages#]"));
    EXPECT_TRUE(Pages->Calls.contains(QStringLiteral("ClearFirstPassPages")));

    Report.EngineOptions()->SetDoublePass(false);
    ASSERT_TRUE(Prepare());
    EXPECT_EQ(Texts(QStringLiteral("Of")).value(0), QStringLiteral("1 of 0")) << "single pass: not known yet";
}

TEST_F(EngineTest, PageColumnsFillLeftToRight)
{
    Page->SetColumns(2);
    auto* band = Band<TrpMasterData>("MasterData1", 10, 100);
    band->SetRowCount(25);
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    // 10 rows of 100 px per column of the 1046.93 px body.
    ASSERT_EQ(Pages->Count(), 2);
    const auto& bands = Pages->Pages[0].Bands;
    ASSERT_EQ(bands.size(), 20u);
    EXPECT_EQ(double(bands[9].Left), 0);
    EXPECT_NEAR(double(bands[10].Left), 95 * 3.77953, 1e-6);
    EXPECT_EQ(double(bands[10].Top), 0);
    EXPECT_EQ(Pages->CountBands(1, QStringLiteral("MasterData1")), 5);
}

TEST_F(EngineTest, EndlessPageGrowsInsteadOfBreaking)
{
    Page->SetEndlessHeight(true);
    auto* band = Band<TrpMasterData>("MasterData1", 10, 100);
    band->SetRowCount(30);
    Band<TrpPageFooter>("PageFooter1", 200, 20);
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(Pages->Count(), 1);
    EXPECT_EQ(Pages->CountBands(0, QStringLiteral("MasterData1")), 30);
    EXPECT_EQ(Pages->Layout(0).back(), QStringLiteral("PageFooter1@3000.00"));
}

TEST_F(EngineTest, KeepTogetherMovesAMasterWithItsDetails)
{
    // 3 masters of 2 details each, 60 px per master block, after 960 px of
    // filler: the second block would straddle the break and moves whole.
    auto* filler = Band<TrpReportTitle>("ReportTitle1", 0, 960);
    (void)filler;
    auto* master = Band<TrpMasterData>("MasterData1", 1000, 20);
    master->SetRowCount(3);
    master->SetKeepTogether(true);
    auto* detail = Band<TrpDetailData>("DetailData1", 1030, 20);
    detail->SetRowCount(2);
    ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(Sequence(),
        QStringLiteral(
            "ReportTitle1 MasterData1 DetailData1 DetailData1 | MasterData1 DetailData1 DetailData1 "
            "MasterData1 DetailData1 DetailData1"));
    EXPECT_EQ(Pages->Layout(1).front(), QStringLiteral("MasterData1@0.00"));
}

TEST_F(EngineTest, ShiftTreeAndStretching)
{
    // A (200 wide) grows from 20; B under A moves with it, C beside A stays;
    // D (under A, beside B and E, only when overlapped) has room below A
    // until A reaches it; E under B is B's shift child only, so it moves
    // once by A's growth.
    struct Case {
        const char* Name;
        Extended BandTop;
        int ALines;
        Extended B, C, D, E;
    } cases[] = {
        { "A grows by 30", 10, 5, 60, 0, 80, 90 },
        { "A reaches D", 10, 10, 110, 0, 100, 140 },
        { "band not at the top of the page", 300, 5, 60, 0, 80, 90 },
        { "A does not grow", 10, 1, 30, 0, 80, 60 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        NewPage();
        auto* band = Band<TrpMasterData>("MasterData1", c.BandTop, 120);
        band->SetRowCount(1);
        auto* a = Memo<TLinesMemo>(band, "A", Lines(1, c.ALines).join(QLatin1Char('\n')), 0, 20, 0, 200);
        a->SetStretchMode(smActualHeight);
        Memo(band, "B", QStringLiteral("b"), 30, 20);
        Memo(band, "C", QStringLiteral("c"), 0, 20, 300);
        Memo(band, "D", QStringLiteral("d"), 80, 10, 150, 40)->SetShiftMode(smWhenOverlapped);
        Memo(band, "E", QStringLiteral("e"), 60, 20);
        ASSERT_TRUE(Prepare()) << Report.Errors().join(QLatin1Char('\n')).toStdString();
        const QString bandName = QStringLiteral("MasterData1");
        EXPECT_EQ(double(Object(0, bandName, QStringLiteral("A"))->Height), std::max(20, c.ALines * 10));
        EXPECT_EQ(double(Object(0, bandName, QStringLiteral("B"))->Top), double(c.B));
        EXPECT_EQ(double(Object(0, bandName, QStringLiteral("C"))->Top), double(c.C));
        EXPECT_EQ(double(Object(0, bandName, QStringLiteral("D"))->Top), double(c.D));
        EXPECT_EQ(double(Object(0, bandName, QStringLiteral("E"))->Top), double(c.E));
        // The template is back after the band.
        auto* b = dynamic_cast<TrpComponent*>(Report.FindByName(QStringLiteral("B")));
        ASSERT_NE(b, nullptr);
        EXPECT_EQ(double(b->Top()), 30);
    }
}

TEST_F(EngineTest, StretchedBandTakesItsLowestObject)
{
    auto* band = Band<TrpMasterData>("MasterData1", 10, 100);
    band->SetRowCount(1);
    band->SetStretched(true);
    Memo(band, "Short", QStringLiteral("x"), 5, 20);
    ASSERT_TRUE(Prepare());
    EXPECT_EQ(double(Pages->Pages[0].Bands[0].Height), 25);
}

TEST_F(EngineTest, HundredLineMemoSplitsLineByLine)
{
    auto* filler = Band<TrpReportTitle>("ReportTitle1", 0, 500);
    (void)filler;
    auto* band = Band<TrpMasterData>("MasterData1", 600, 30);
    band->SetRowCount(1);
    band->SetAllowSplit(true);
    band->SetStretched(true);
    auto* memo = Memo<TLinesMemo>(band, "Text", Lines(1, 100).join(QLatin1Char('\n')), 5, 20);
    memo->SetStretchMode(smActualHeight);
    ASSERT_TRUE(Prepare());
    // 546.93 px left on page 1: the memo's top at 5 leaves room for 54 lines.
    ASSERT_EQ(Pages->Count(), 2);
    const QStringList parts = Texts(QStringLiteral("Text"));
    ASSERT_EQ(parts.size(), 2);
    EXPECT_EQ(parts[0].split(QStringLiteral("\r\n")), Lines(1, 54));
    EXPECT_EQ(parts[1].split(QStringLiteral("\r\n")), Lines(55, 100));
    // The last slice is as tall as the lines it holds.
    EXPECT_EQ(double(Pages->Pages[1].Bands[0].Height), 460);
    // The template text is back.
    auto* back = dynamic_cast<TrpMemoView*>(Report.FindByName(QStringLiteral("Text")));
    ASSERT_NE(back, nullptr);
    EXPECT_EQ(back->Memo(), Lines(1, 100));
}

TEST_F(EngineTest, BandTallerThanThePagePrintsInSlices)
{
    auto* band = Band<TrpMasterData>("MasterData1", 10, 2500);
    band->SetRowCount(1);
    auto* memo = Memo<TLinesMemo>(band, "Text", Lines(1, 250).join(QLatin1Char('\n')), 0, 2500);
    (void)memo;
    Memo(band, "Fixed", QStringLiteral("fixed"), 0, 18, 400);
    ASSERT_TRUE(Prepare());
    ASSERT_EQ(Pages->Count(), 3);
    const QStringList parts = Texts(QStringLiteral("Text"));
    ASSERT_EQ(parts.size(), 3);
    EXPECT_EQ(parts[0].split(QStringLiteral("\r\n")).size(), 104) << parts[0].toStdString();
    EXPECT_EQ(parts.join(QStringLiteral("\r\n")).split(QStringLiteral("\r\n")), Lines(1, 250));
    // A memo that fits prints once, in the first slice.
    EXPECT_EQ(Texts(QStringLiteral("Fixed")), QStringList({ "fixed" }));
}

TEST_F(EngineTest, MemoThatFitsNowhereEndsItsSplit)
{
    auto* band = Band<TrpMasterData>("MasterData1", 10, 30);
    band->SetRowCount(1);
    band->SetAllowSplit(true);
    band->SetStretched(true);
    auto* memo = Memo<TLinesMemo>(band, "Huge", Lines(1, 2).join(QLatin1Char('\n')), 0, 20);
    memo->LineHeight = 5000;
    memo->SetStretchMode(smActualHeight);
    ASSERT_TRUE(Prepare());
    // 10000 px cut into pages of 1046.93: it ends, with the text clipped.
    EXPECT_LE(Pages->Count(), 11);
    EXPECT_GE(Pages->Count(), 9);
}

TEST_F(EngineTest, BandTreeErrorsStopTheRun)
{
    struct Case {
        const char* Name;
        std::function<void(EngineTest&)> Build;
        const char* Error;
    } cases[] = {
        { "header without data band", [](EngineTest& t) { t.Band<TrpHeader>("Header1", 10, 20); },
            "Unconnected header/footer Header1" },
        { "group without data band", [](EngineTest& t) { t.Band<TrpGroupHeader>("GroupHeader1", 10, 20); },
            "No data band for the group GroupHeader1" },
        { "group footer without group",
            [](EngineTest& t) {
                t.Master("MasterData1", 10);
                t.Band<TrpGroupFooter>("GroupFooter1", 40, 20);
            },
            "No group header for GroupFooter1" },
        { "detail without master",
            [](EngineTest& t) { t.Band<TrpDetailData>("DetailData1", 10, 20)->SetRowCount(2); },
            "Incorrect band position: DetailData1" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        NewPage();
        c.Build(*this);
        EXPECT_FALSE(Prepare());
        EXPECT_EQ(Report.Errors(), QStringList({ c.Error }));
        EXPECT_EQ(Pages->Count(), 0);
    }
}

TEST_F(EngineTest, ExpressionErrorReachesTheMessageAndTheTemplateIsRestored)
{
    Report.EngineOptions()->SetSilentMode(simMessageBoxes);
    SetPriceRows(3);
    Memo(Master("MasterData1", 10), "Bad", QStringLiteral("x [1 +* 2] y"));
    EXPECT_FALSE(Prepare());
    ASSERT_EQ(Report.Errors().size(), 1);
    EXPECT_TRUE(Report.Errors()[0].startsWith(QStringLiteral("Bad: Error in expression '1 +* 2'")))
        << Report.Errors()[0].toStdString();
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Caption, QStringLiteral("Error"));
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(Dialogs.Messages()[0].Text,
        QStringLiteral("The following error(s) have occured:\n") + Report.Errors()[0] + QLatin1Char('\n'));
    auto* memo = dynamic_cast<TrpMemoView*>(Report.FindByName(QStringLiteral("Bad")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text(), QStringLiteral("x [1 +* 2] y"));
    EXPECT_TRUE(Pages->Calls.contains(QStringLiteral("Finish")));

    Report.EngineOptions()->SetSilentMode(simReThrow);
    EXPECT_THROW(Prepare(), TrpReportError);
}

TEST_F(EngineTest, MissingDataSetIsReported)
{
    Report.DataSets().Add(QStringLiteral("Nowhere"));
    EXPECT_FALSE(Prepare());
    EXPECT_EQ(Report.Errors(), QStringList({ "Dataset \"Nowhere\" does not exist" }));
}

TEST_F(EngineTest, CancellingKeepsThePagesMadeSoFar)
{
    SetPriceRows(200);
    CancelAtRow = 60;
    Memo(Master("MasterData1", 10), "Price", QStringLiteral("[Data.\"price\"]"));
    EXPECT_TRUE(Prepare());
    EXPECT_EQ(Texts(QStringLiteral("Price")).size(), 60);
    EXPECT_EQ(Pages->Count(), 2);
    EXPECT_TRUE(Pages->Calls.contains(QStringLiteral("Finish")));
}

TEST_F(EngineTest, FillMemoIsDrawnFirstAndTheBandKeepsItsObjects)
{
    Report.EngineOptions()->SetDestroyForms(false);
    auto* band = Band<TrpMasterData>("MasterData1", 10, 20);
    band->SetRowCount(2);
    static_cast<TrpBrushFill*>(band->Fill())->SetBackColor(0xFF0000);
    Memo(band, "A", QStringLiteral("a"));
    Memo(band, "B", QStringLiteral("b"), 0, 18, 200);
    ASSERT_TRUE(Prepare());
    const auto& objects = Pages->Pages[0].Bands[1].Objects;
    ASSERT_EQ(objects.size(), 3u);
    EXPECT_TRUE(objects[0].Name.isEmpty());
    EXPECT_EQ(double(objects[0].Height), 20);
    EXPECT_EQ(objects[1].Name, QStringLiteral("A"));
    EXPECT_EQ(objects[2].Name, QStringLiteral("B"));
    EXPECT_EQ(band->Count(), 3);
    EXPECT_EQ(band->OriginalObjectsCount, -1);
}

TEST(ShiftTree, ChildrenAreTheNearestObjectsAbove)
{
    TrpReport report;
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpMasterData>();
    band->SetBounds(0, 200, 700, 200);
    auto memo = [&](Extended Left, Extended Top, Extended Width, Extended Height) {
        auto* m = band->Create<TrpMemoView>();
        m->SetBounds(Left, Top, Width, Height);
        return m;
    };
    auto* a = memo(0, 0, 100, 20);
    auto* b = memo(0, 30, 100, 20);
    auto* c = memo(0, 60, 100, 20);
    auto* beside = memo(300, 0, 100, 20);
    auto* touching = memo(100, 30, 50, 20); // starts where A ends: no overlap
    rpBuildShiftTree(band);
    using L = std::vector<TrpReportComponent*>;
    EXPECT_EQ(band->ShiftChildren, L({ a, beside, touching }));
    EXPECT_EQ(a->ShiftChildren, L({ b }));
    EXPECT_EQ(b->ShiftChildren, L({ c }));
    EXPECT_TRUE(beside->ShiftChildren.empty());
}
