// The print job over in-memory printers: the page sequence from range texts,
// order, odd/even pages, copies and collation, duplex sheets, how often the
// paper is applied, the placement of the four print modes, cancelling.
#include "FakeDialogService.h"
#include "FakePrintSource.h"
#include "PelmoraError.h"
#include "rpFakePrintSystem.h"
#include "rpPageSequence.h"
#include "rpPrintJob.h"
#include "rpPrinter.h"

#include <gtest/gtest.h>

namespace {

std::vector<int> Range(int From, int To)
{
    std::vector<int> r;
    for (int i = From; i <= To; ++i)
        r.push_back(i);
    return r;
}

struct JobFixture : ::testing::Test {
    TrpFakePrintSystem System;
    TFakeDialogService Dialogs;
    TrpFakePrinterModel* Model = nullptr;
    std::unique_ptr<TrpPrinters> List;
    TFakePrintSource Source;
    TrpPrintOptions Options;
    TrpDuplexMode Duplex = dmNone;

    void SetUp() override
    {
        Model = &System.Add(TrpFakePrintSystem::StandardPrinter(QStringLiteral("Laser")));
        List = std::make_unique<TrpPrinters>(System, Dialogs);
    }
    TrpCustomPrinter& Printer() { return *List->Printer(); }
    void Run(const QString& PageNumbers = QString(), Extended SheetW = 0, Extended SheetH = 0)
    {
        Model->Calls.clear();
        TrpPrintJob job(Source, Printer(), Options, Duplex);
        if (SheetW > 0)
            job.SetSheet(SheetW, SheetH, Options.SplicingLine);
        job.Run(rpPageSequence(PageNumbers, Source.Count()));
    }
    int CallCount(const QString& Call) const { return int(Model->Calls.count(Call)); }
};

TEST(PageSequence, RangeTexts)
{
    EXPECT_EQ(rpPageSequence("  ", 10), std::nullopt); // every page
    struct Case {
        QString Text;
        std::vector<int> Expected;
    };
    const std::vector<Case> cases = {
        { "1,3,5-12", { 1, 3, 5, 6, 7, 8, 9, 10 } }, // a range stops at the last page
        { "5-", Range(5, 10) }, { "3-1", {} }, { "2,2", { 2, 2 } }, { "3,1,2", { 3, 1, 2 } },
        { " 1 , 3 - 4 ", { 1, 3, 4 } }, { "0,11,2", { 0, 11, 2 } }, // kept; the job skips them
        { "1-2000000000", Range(1, 10) }, // no list the size of the number
    };
    for (const Case& c : cases)
        EXPECT_EQ(rpPageSequence(c.Text, 10), std::optional(c.Expected)) << c.Text.toStdString();
    for (const QString bad : { "a", "1;2", "1,,2", "2-x", "99999999999" })
        EXPECT_THROW(rpPageSequence(bad, 10), EConvertError) << bad.toStdString();
}

TEST_F(JobFixture, PrintsTheSequenceInOrderWithOddEvenAndReverse)
{
    struct Case {
        QString Text;
        TrpPrintPages Pages;
        bool Reverse;
        std::vector<int> Printed;
    };
    const std::vector<Case> cases = {
        { "", ppAll, false, Range(1, 10) },
        { "1,3,5-12", ppAll, false, { 1, 3, 5, 6, 7, 8, 9, 10 } },
        { "0,11,2", ppAll, false, { 2 } },
        { "3-1", ppAll, false, {} },
        { "2,2", ppAll, false, { 2, 2 } },
        { "1-5", ppEven, false, { 2, 4 } },
        { "1-5", ppEven, true, { 4, 2 } },
        { "", ppOdd, true, { 9, 7, 5, 3, 1 } },
    };
    Source.AddPages(10);
    for (const Case& c : cases) {
        Source.Draws.clear();
        Options.PrintPages = c.Pages;
        Options.Reverse = c.Reverse;
        Run(c.Text);
        EXPECT_EQ(Source.Numbers(), c.Printed) << c.Text.toStdString();
        // One document for pages printed, none for nothing.
        EXPECT_EQ(CallCount("EndDoc"), c.Printed.empty() ? 0 : 1) << c.Text.toStdString();
        EXPECT_EQ(CallCount("StartPage"), int(c.Printed.size()));
    }
    // Every printed page leaves the page cache empty behind it.
    EXPECT_GT(Source.CacheEmptied, 0);
}

TEST_F(JobFixture, CopiesAndCollation)
{
    struct Case {
        int Copies;
        bool Collate;
        std::vector<int> Printed, CopyNos;
        int PrinterCopies;
    };
    const std::vector<Case> cases = {
        { 2, true, { 1, 2, 3, 1, 2, 3 }, { 1, 1, 1, 2, 2, 2 }, 1 }, { 2, false, { 1, 2, 3 }, { 1, 1, 1 }, 2 },
        { 0, true, { 1, 2, 3 }, { 1, 1, 1 }, 1 }, // below 1 counts as 1
    };
    Source.AddPages(3);
    for (const Case& c : cases) {
        Source.Draws.clear();
        Options.Copies = c.Copies;
        Options.Collate = c.Collate;
        std::vector<std::pair<int, int>> events;
        Source.Report()->OnPrintPage = [&](TrpReport*, int Page, int CopyNo) {
            events.push_back({ Page, CopyNo });
        };
        Run();
        EXPECT_EQ(Source.Numbers(), c.Printed);
        std::vector<int> copyNos;
        for (const auto& d : Source.Draws)
            copyNos.push_back(d.CopyNo);
        EXPECT_EQ(copyNos, c.CopyNos);
        EXPECT_EQ(events.size(), c.Printed.size());
        EXPECT_EQ(Model->LastReset.Copies, c.PrinterCopies);
    }
}

TEST_F(JobFixture, CollatedDuplexCopiesOfAnOddPageCountGetAnEmptySheetBetween)
{
    Source.AddPages(3);
    Options.Copies = 2;
    Duplex = dmVertical;
    Run();
    EXPECT_EQ(Source.Draws.size(), 6u);
    // Three sides and one empty sheet per copy.
    EXPECT_EQ(CallCount("StartPage"), 8);
    EXPECT_EQ(Model->LastReset.Fields & dmDuplexField, uint32_t(dmDuplexField));

    Source.Draws.clear();
    Source.AddPages(1); // four pages: each copy ends on a back side
    Run();
    EXPECT_EQ(CallCount("StartPage"), 8);
}

TEST_F(JobFixture, EqualPagesApplyThePaperOnceAndAChangeAppliesItAgain)
{
    Source.AddPages(3);
    Run();
    // SetPrintParams resets the device twice; EndDoc once more.
    EXPECT_EQ(CallCount("Reset"), 2 + 1);

    TFakePrintSource mixed;
    mixed.AddPages(2);
    mixed.AddPages(1, 9, 297, 210, poLandscape);
    mixed.AddPages(1);
    Model->Calls.clear();
    TrpPrintJob job(mixed, Printer(), Options, Duplex);
    job.Run(std::nullopt);
    EXPECT_EQ(CallCount("Reset"), 3 * 2 + 1);
}

TEST_F(JobFixture, DefaultModePutsThePageOnThePhysicalCornerAtDeviceScale)
{
    Source.AddPages(1);
    Run();
    ASSERT_EQ(Source.Draws.size(), 1u);
    const TDrawnPage& d = Source.Draws[0];
    EXPECT_DOUBLE_EQ(double(d.ScaleX), 600.0 / 96);
    EXPECT_DOUBLE_EQ(double(d.ScaleY), 600.0 / 96);
    // The printer's 4 mm margins, in device pixels, to the left and above.
    EXPECT_NEAR(double(d.OffsetX), -4 * 600 / 25.4, 1e-9);
    EXPECT_NEAR(double(d.OffsetY), -4 * 600 / 25.4, 1e-9);
}

TEST_F(JobFixture, ScaleModeFitsAnA4PageOnAnA3Sheet)
{
    Source.AddPages(1);
    Options.PrintMode = pmScale;
    Options.PrintOnSheet = 8;
    Printer().SetViewParams(8, 0, 0, poPortrait);
    Run(QString(), Printer().PaperWidth(), Printer().PaperHeight());
    ASSERT_EQ(Source.Draws.size(), 1u);
    const TDrawnPage& d = Source.Draws[0];
    EXPECT_NEAR(double(d.ScaleX), 297.0 / 210 * 600 / 96, 1e-9);
    EXPECT_NEAR(double(d.ScaleY), 420.0 / 297 * 600 / 96, 1e-9);
    EXPECT_NEAR(double(d.PrintScale), std::min(297.0 / 210, 420.0 / 297), 1e-12);
    EXPECT_EQ(Model->LastReset.PaperSize, 8);
}

TEST_F(JobFixture, SplitModeTilesAnA3PageOverA4SheetsWithTheSplicingLine)
{
    EXPECT_EQ(rpSheetCount(297, 210), 2);
    EXPECT_EQ(rpSheetCount(215, 210), 1); // a 5 mm rest is rounded away
    EXPECT_EQ(rpSheetCount(5, 297), 0);

    Source.AddPages(1, 8, 297, 420);
    Options.PrintMode = pmSplit;
    Options.PrintOnSheet = 9;
    Printer().SetViewParams(9, 0, 0, poPortrait);
    Run(QString(), Printer().PaperWidth(), Printer().PaperHeight());
    // Turned A4 sheets: one across (297 mm), three down (210 mm less margins
    // and splicing line each).
    EXPECT_EQ(Model->LastReset.Orientation, 2);
    ASSERT_EQ(Source.Draws.size(), 3u);
    EXPECT_EQ(CallCount("StartPage"), 3);
    const double step = (210 - 4 - 4 - 3) * 600 / 25.4;
    for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(double(Source.Draws[size_t(i)].OffsetY), -i * step, 1e-6) << i;
        EXPECT_NEAR(double(Source.Draws[size_t(i)].OffsetX), 0, 1e-9);
        EXPECT_DOUBLE_EQ(double(Source.Draws[size_t(i)].ScaleX), 600.0 / 96);
    }
}

TEST_F(JobFixture, JoinModePutsTwoA5PagesOnATurnedA4Sheet)
{
    Source.AddPages(5, 11, 148, 210);
    Options.PrintMode = pmJoin;
    Options.PrintOnSheet = 9;
    Printer().SetViewParams(9, 0, 0, poPortrait);
    Run(QString(), Printer().PaperWidth(), Printer().PaperHeight());
    EXPECT_EQ(Model->LastReset.Orientation, 2);
    EXPECT_EQ(Source.Numbers(), Range(1, 5));
    EXPECT_EQ(CallCount("StartPage"), 3);
    const double cell = 148 * 3.77953 * 600 / 96;
    const double origin = -4 * 600 / 25.4;
    EXPECT_NEAR(double(Source.Draws[0].OffsetX), origin, 1e-6);
    EXPECT_NEAR(double(Source.Draws[1].OffsetX), origin + cell, 1e-6);
    EXPECT_NEAR(double(Source.Draws[2].OffsetX), origin, 1e-6);
    EXPECT_NEAR(double(Source.Draws[1].OffsetY), origin, 1e-6);
}

TEST_F(JobFixture, TerminatingStopsAtTheNextPageAndAbortsTheDocument)
{
    Source.AddPages(5);
    Source.Report()->OnPrintPage = [&](TrpReport* Report, int Page, int) {
        if (Page == 1)
            Report->SetTerminated(true);
    };
    Run();
    EXPECT_EQ(Source.Numbers(), (std::vector<int> { 1, 2 }));
    EXPECT_EQ(CallCount("AbortDoc"), 1);
    EXPECT_EQ(CallCount("EndDoc"), 0);
}

} // namespace
