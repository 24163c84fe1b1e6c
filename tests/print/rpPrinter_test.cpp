// Printer list and real and virtual printers, over the in-memory printing
// services.
#include "FakeDialogService.h"
#include "rpFakePrintSystem.h"
#include "rpPrinter.h"

#include <QPainter>
#include <gtest/gtest.h>

namespace {

struct PrinterFixture : ::testing::Test {
    TrpFakePrintSystem System;
    TFakeDialogService Dialogs;

    std::unique_ptr<TrpPrinters> MakeList() { return std::make_unique<TrpPrinters>(System, Dialogs); }
    // A list with one standard printer, current and initialised.
    TrpCustomPrinter* StandardPrinter(std::unique_ptr<TrpPrinters>& List, const QString& Name = "Laser")
    {
        System.Add(TrpFakePrintSystem::StandardPrinter(Name));
        List = MakeList();
        return List->Printer();
    }
};

std::vector<int> Numbers(const std::vector<TrpDeviceEntry>& List)
{
    std::vector<int> n;
    for (const auto& e : List)
        n.push_back(e.Number);
    return n;
}

TEST_F(PrinterFixture, WithoutPrintersTheListHoldsOnlyTheVirtualPrinter)
{
    auto list = MakeList();
    EXPECT_FALSE(list->HasPhysicalPrinters());
    ASSERT_EQ(list->Printers(), QStringList { "Virtual" });
    TrpCustomPrinter* p = list->Printer();
    EXPECT_TRUE(p->Initialized());
    EXPECT_EQ(p->DPI(), QPoint(600, 600));
    EXPECT_EQ(p->DefPaper(), 9);
    EXPECT_EQ(p->DefOrientation(), poPortrait);
    EXPECT_EQ(p->DefPaperWidth(), 210);
    EXPECT_EQ(p->DefPaperHeight(), 297);
    EXPECT_EQ(p->Bin(), -1);
    EXPECT_EQ(p->Duplex(), -1);

    // "Custom" in front of the table's papers, which have no names.
    ASSERT_EQ(p->Papers().size(), 67u);
    EXPECT_EQ(p->Papers()[0].Number, 256);
    EXPECT_EQ(p->Papers()[0].Name, "Custom");
    for (size_t i = 1; i < p->Papers().size(); ++i) {
        EXPECT_EQ(p->Papers()[i].Number, rpPaperTable()[i - 1].Number);
        EXPECT_TRUE(p->Papers()[i].Name.isEmpty());
    }
    ASSERT_EQ(p->Bins().size(), 1u);
    EXPECT_EQ(p->Bins()[0].Number, 7);
    EXPECT_EQ(p->Bins()[0].Name, "Default");

    // Unknown names fall back to the first entries.
    EXPECT_EQ(p->PaperNameToNumber("no such paper"), 256);
    EXPECT_EQ(p->BinNameToNumber("no such tray"), 7);
    EXPECT_EQ(p->PaperIndex(9), 9);
    EXPECT_EQ(p->PaperIndex(48), -1);
}

TEST_F(PrinterFixture, VirtualPrinterViewParams)
{
    struct Case {
        const char* Why;
        int Paper;
        Extended Width, Height;
        TrpPrinterOrientation Orientation;
        int ExpectedPaper;
        Extended ExpectedWidth, ExpectedHeight;
    };
    const Case cases[] = {
        { "A4 from the table", 9, 0, 0, poPortrait, 9, 210, 297 },
        { "landscape exchanges the table's sizes", 9, 0, 0, poLandscape, 9, 297, 210 },
        { "a number outside the table is a custom size", 1000, 123.4L, 56.7L, poPortrait, 256, 123.4L,
            56.7L },
        { "custom sizes are taken as given, also in landscape", 256, 300, 100, poLandscape, 256, 300, 100 },
    };
    auto list = MakeList();
    TrpCustomPrinter* p = list->Printer();
    for (const Case& c : cases) {
        p->SetViewParams(c.Paper, c.Width, c.Height, c.Orientation);
        EXPECT_EQ(p->Paper(), c.ExpectedPaper) << c.Why;
        EXPECT_EQ(p->PaperWidth(), c.ExpectedWidth) << c.Why;
        EXPECT_EQ(p->PaperHeight(), c.ExpectedHeight) << c.Why;
        EXPECT_EQ(p->Orientation(), c.Orientation) << c.Why;
        for (Extended m : { p->LeftMargin(), p->TopMargin(), p->RightMargin(), p->BottomMargin() })
            EXPECT_EQ(m, 5) << c.Why;
    }
    p->SetPrintParams(9, 0, 0, poPortrait, 4, 0, 1);
    EXPECT_EQ(p->Bin(), 4);
}

TEST_F(PrinterFixture, DefaultPrinterBecomesCurrentElseTheFirst)
{
    System.Add(TrpFakePrintSystem::StandardPrinter("Office Laser"));
    System.Add(TrpFakePrintSystem::StandardPrinter("Label Writer"));
    System.Default = "Label Writer";
    auto list = MakeList();
    EXPECT_TRUE(list->HasPhysicalPrinters());
    EXPECT_EQ(list->Printers(), (QStringList { "Office Laser", "Label Writer" }));
    EXPECT_EQ(list->PrinterIndex(), 1);
    EXPECT_TRUE(list->Printer()->Initialized());
    // Only the current printer has been initialised.
    EXPECT_FALSE(list->Items(0)->Initialized());
    EXPECT_EQ(list->Printer()->Port(), "Label Writer:");

    list->SetPrinterIndex(0);
    EXPECT_TRUE(list->Items(0)->Initialized());
    list->SetPrinterIndex(-1);
    EXPECT_EQ(list->PrinterIndex(), 1);

    System.Default = "Gone";
    list->FillPrinters();
    EXPECT_EQ(list->PrinterIndex(), 0);
}

TEST_F(PrinterFixture, PrinterNamesMatchWithoutRegardToCase)
{
    System.Add(TrpFakePrintSystem::StandardPrinter("Office Laser"));
    System.Add(TrpFakePrintSystem::StandardPrinter("Принтер"));
    auto list = MakeList();
    EXPECT_EQ(list->IndexOf("office LASER"), 0);
    EXPECT_EQ(list->IndexOf("ПРИНТЕР"), 1);
    EXPECT_EQ(list->IndexOf("Office"), -1);
}

TEST_F(PrinterFixture, SelectPrinterTakesInstalledNamesOnly)
{
    auto system = std::make_unique<TrpFakePrintSystem>();
    system->Add(TrpFakePrintSystem::StandardPrinter("Office Laser"));
    system->Add(TrpFakePrintSystem::StandardPrinter("Label Writer"));
    system->Default = "Office Laser";
    rpSetPrintSystem(std::move(system), std::make_unique<TFakeDialogService>());

    rpSelectPrinter("Default");
    EXPECT_EQ(rpPrinters().Printer()->Name(), "Office Laser");
    rpSelectPrinter("label writer");
    EXPECT_EQ(rpPrinters().Printer()->Name(), "Label Writer");
    rpSelectPrinter("Nowhere");
    EXPECT_EQ(rpPrinters().Printer()->Name(), "Label Writer");

    // Another system rebuilds the list on its next use.
    rpSetPrintSystem(std::make_unique<TrpFakePrintSystem>(), std::make_unique<TFakeDialogService>());
    EXPECT_EQ(rpPrinters().Printers(), QStringList { "Virtual" });
}

TEST_F(PrinterFixture, InitReadsTablesDefaultsAndSizesFromTheDriver)
{
    TrpFakePrinterModel model = TrpFakePrintSystem::StandardPrinter("Laser");
    model.Papers.push_back({ 256, "User size", 0, 0 });
    model.DefaultMode.Orientation = 2;
    model.DefaultMode.Duplex = rpDuplexVertical;
    // Different resolutions across and down: widths use X, heights use Y.
    model.DpiX = 300;
    model.DpiY = 600;
    model.MarginLeft = 30;
    model.MarginTop = 50;
    model.MarginRight = 70;
    model.MarginBottom = 120;
    System.Add(model);
    auto list = MakeList();
    TrpCustomPrinter* p = list->Printer();
    ASSERT_TRUE(p->Initialized());

    EXPECT_EQ(Numbers(p->Papers()), (std::vector<int> { 256, 1, 8, 9 }));
    EXPECT_EQ(p->Papers()[0].Name, "Custom");
    EXPECT_EQ(Numbers(p->Bins()), (std::vector<int> { 7, 2, 4 }));
    EXPECT_EQ(p->BinNameToNumber("Manual"), 4);
    EXPECT_EQ(p->PaperNameToNumber("A3"), 8);

    EXPECT_EQ(p->DPI(), QPoint(300, 600));
    EXPECT_EQ(p->DefPaper(), 9);
    EXPECT_EQ(p->Paper(), 9);
    EXPECT_EQ(p->DefBin(), 2);
    EXPECT_EQ(p->DefDuplex(), rpDuplexVertical);
    EXPECT_EQ(p->DefOrientation(), poLandscape);
    EXPECT_EQ(p->Orientation(), poLandscape);
    EXPECT_EQ(p->Bin(), -1);
    EXPECT_EQ(p->Duplex(), -1);
    // A4 turned: 297 across, 210 down; the top margin of the upright sheet
    // becomes the left one (see the fake driver).
    EXPECT_EQ(p->PaperWidth(), 297);
    EXPECT_EQ(p->PaperHeight(), 210);
    EXPECT_EQ(p->DefPaperWidth(), 297);
    EXPECT_EQ(p->DefPaperHeight(), 210);
    EXPECT_EQ(p->LeftMargin(), 5);
    EXPECT_EQ(p->TopMargin(), 7);
    EXPECT_EQ(p->RightMargin(), 12);
    EXPECT_EQ(p->BottomMargin(), 3);
    EXPECT_TRUE(Dialogs.Messages().empty());

    // A second Init changes nothing.
    const size_t papers = p->Papers().size();
    p->Init();
    EXPECT_EQ(p->Papers().size(), papers);
}

TEST_F(PrinterFixture, PrintersThatCannotBeReadStayUninitialised)
{
    struct Case {
        const char* Why;
        std::function<void(TrpFakePrinterModel&)> Break;
        bool Initialized;
        int Messages;
    };
    const Case cases[] = {
        { "printer cannot be opened", [](auto& s) { s.OpenFails = true; }, false, 0 },
        { "device mode cannot be obtained", [](auto& s) { s.DeviceModeFails = true; }, false, 0 },
        { "capabilities are invalid", [](auto& s) { s.InvalidCaps = true; }, false, 1 },
        { "source names fail: the printer still works", [](auto& s) { s.BinsThrow = true; }, true, 0 },
    };
    for (const Case& c : cases) {
        TrpFakePrintSystem system;
        TFakeDialogService dialogs;
        TrpFakePrinterModel model = TrpFakePrintSystem::StandardPrinter("Laser");
        c.Break(model);
        system.Add(model);
        TrpPrinters list(system, dialogs);
        EXPECT_TRUE(list.HasPhysicalPrinters()) << c.Why;
        EXPECT_EQ(list.Printer()->Initialized(), c.Initialized) << c.Why;
        ASSERT_EQ(int(dialogs.Messages().size()), c.Messages) << c.Why;
        if (c.Messages) {
            const TMessageRequest& box = dialogs.Messages()[0];
            EXPECT_EQ(box.Text, "Printer selected is not valid");
            EXPECT_EQ(box.Caption, "Error");
            EXPECT_EQ(box.Icon, TMsgIcon::Error);
        }
        if (c.Initialized) {
            EXPECT_EQ(Numbers(list.Printer()->Bins()), std::vector<int> { 7 }) << c.Why;
        }
        // An uninitialised printer ignores jobs instead of failing.
        list.Printer()->SetViewParams(9, 0, 0, poPortrait);
        if (!c.Initialized) {
            EXPECT_TRUE(system.Model("Laser").Calls.isEmpty()) << c.Why;
        }
    }
}

TEST_F(PrinterFixture, ViewParamsOfListedCustomAndUnknownPapers)
{
    std::unique_ptr<TrpPrinters> list;
    TrpCustomPrinter* p = StandardPrinter(list);
    auto* real = dynamic_cast<TrpPrinter*>(p);
    ASSERT_TRUE(real);

    p->SetViewParams(8, 0, 0, poLandscape);
    EXPECT_EQ(real->DeviceMode().Fields, uint32_t(dmOrientationField | dmPaperSizeField));
    EXPECT_EQ(real->DeviceMode().PaperSize, 8);
    EXPECT_EQ(real->DeviceMode().Orientation, 2);
    EXPECT_EQ(p->Paper(), 8);
    EXPECT_EQ(p->PaperWidth(), 420);
    EXPECT_EQ(p->PaperHeight(), 297);

    // Not in the printer's list (B5 is 13): a custom size with A4's margins.
    p->SetViewParams(13, 182, 257, poPortrait);
    EXPECT_EQ(p->Paper(), 256);
    EXPECT_EQ(real->DeviceMode().PaperSize, 9);
    EXPECT_EQ(p->PaperWidth(), 182);
    EXPECT_EQ(p->PaperHeight(), 257);
    EXPECT_EQ(p->LeftMargin(), 4);

    // Capabilities that turn invalid leave paper and orientation alone.
    System.Model("Laser").InvalidCaps = true;
    p->SetViewParams(1, 0, 0, poLandscape);
    EXPECT_EQ(p->Paper(), 256);
    EXPECT_EQ(p->Orientation(), poPortrait);
    EXPECT_EQ(p->PaperWidth(), 182);
    EXPECT_EQ(Dialogs.Messages().size(), 1u);
}

TEST_F(PrinterFixture, CustomSizeOnAPrinterWithoutA4KeepsItsMargins)
{
    TrpFakePrinterModel model = TrpFakePrintSystem::StandardPrinter("Letter only");
    model.Papers = { { 1, "Letter", 2159, 2794 } };
    model.DefaultMode.PaperSize = 1;
    System.Add(model);
    auto list = MakeList();
    TrpCustomPrinter* p = list->Printer();
    p->SetViewParams(256, 100, 150, poPortrait);
    EXPECT_EQ(p->Paper(), 256);
    EXPECT_EQ(p->PaperWidth(), 100);
    EXPECT_EQ(p->PaperHeight(), 150);
    EXPECT_EQ(p->LeftMargin(), 4);
}

TEST_F(PrinterFixture, PrintParamsBuildTheDeviceMode)
{
    struct Case {
        const char* Why;
        int Paper;
        Extended Width, Height;
        TrpPrinterOrientation Orientation;
        int Bin, Duplex;
        // The driver's properties dialog chose these first (-1: not opened).
        int ChosenBin, ChosenDuplex;
        TrpDeviceMode Expected;
    };
    constexpr uint32_t base = dmOrientationField | dmPaperSizeField | dmCopiesField | dmDefaultSourceField;
    constexpr uint32_t custom = base | dmPaperLengthField | dmPaperWidthField;
    const Case cases[] = {
        { "listed paper, automatic source is the default source, no duplex is the default duplex", 9, 0, 0,
            poPortrait, 7, 0, -1, -1, { base, 9, 0, 0, 1, 3, 2, 1 } },
        { "custom landscape: length from the width, width from the height", 256, 300.04L, 100.06L,
            poLandscape, 4, 0, -1, -1, { custom, 256, 3000, 1001, 2, 3, 4, 1 } },
        { "custom portrait", 256, 100, 150, poPortrait, 2, 0, -1, -1,
            { custom, 256, 1500, 1000, 1, 3, 2, 1 } },
        { "unlisted paper becomes custom", 13, 182, 257, poPortrait, 2, 0, -1, -1,
            { custom, 256, 2570, 1820, 1, 3, 2, 1 } },
        { "vertical duplex is driver value 2", 9, 0, 0, poPortrait, 2, 1, -1, -1,
            { base | dmDuplexField, 9, 0, 0, 1, 3, 2, 2 } },
        { "horizontal duplex is driver value 3", 9, 0, 0, poPortrait, 2, 2, -1, -1,
            { base | dmDuplexField, 9, 0, 0, 1, 3, 2, 3 } },
        { "simplex is driver value 1, without the duplex field", 9, 0, 0, poPortrait, 2, 3, -1, -1,
            { base, 9, 0, 0, 1, 3, 2, 1 } },
        { "source and duplex chosen in the driver's dialog win", 9, 0, 0, poPortrait, 7, 2, 4, 2,
            { base | dmDuplexField, 9, 0, 0, 1, 3, 4, 2 } },
    };
    for (const Case& c : cases) {
        TrpFakePrintSystem system;
        TFakeDialogService dialogs;
        TrpFakePrinterModel& model = system.Add(TrpFakePrintSystem::StandardPrinter("Laser"));
        TrpPrinters list(system, dialogs);
        auto* p = dynamic_cast<TrpPrinter*>(list.Printer());
        ASSERT_TRUE(p);
        if (c.ChosenBin != -1) {
            model.Properties = [&c](TrpDeviceMode& m) {
                m.DefaultSource = c.ChosenBin;
                m.Duplex = c.ChosenDuplex;
                return true;
            };
            p->PropertiesDlg();
            EXPECT_EQ(p->Bin(), c.ChosenBin) << c.Why;
            EXPECT_EQ(p->Duplex(), c.ChosenDuplex) << c.Why;
        }
        model.Calls.clear();
        p->SetPrintParams(c.Paper, c.Width, c.Height, c.Orientation, c.Bin, c.Duplex, 3);
        EXPECT_EQ(p->DeviceMode(), c.Expected) << c.Why;
        // The mode reaches the driver twice in a row.
        EXPECT_EQ(model.Calls, (QStringList { "Reset", "Reset" })) << c.Why;
        EXPECT_EQ(model.LastReset, c.Expected) << c.Why;
        EXPECT_EQ(p->Paper(), c.Expected.PaperSize) << c.Why;
        EXPECT_EQ(p->Orientation(), c.Orientation) << c.Why;
    }
}

TEST_F(PrinterFixture, PropertiesDialogKeepsAnUnchangedDuplexUnchosen)
{
    std::unique_ptr<TrpPrinters> list;
    TrpCustomPrinter* p = StandardPrinter(list);
    TrpFakePrinterModel& model = System.Model("Laser");
    model.Properties = [](TrpDeviceMode& m) {
        m.DefaultSource = 4;
        return true;
    };
    p->PropertiesDlg();
    EXPECT_EQ(p->Bin(), 4);
    EXPECT_EQ(p->Duplex(), -1);

    model.Properties = [](TrpDeviceMode& m) {
        m.DefaultSource = 2;
        m.Duplex = rpDuplexHorizontal;
        return false; // cancelled
    };
    p->PropertiesDlg();
    EXPECT_EQ(p->Bin(), 4);
    EXPECT_EQ(p->Duplex(), -1);
}

TEST_F(PrinterFixture, JobNamesItselfAndRestoresTheDefaultsAtTheEnd)
{
    std::unique_ptr<TrpPrinters> list;
    TrpCustomPrinter* p = StandardPrinter(list);
    TrpFakePrinterModel& model = System.Model("Laser");
    model.Properties = [](TrpDeviceMode& m) {
        m.DefaultSource = 4;
        m.Duplex = rpDuplexVertical;
        return true;
    };
    p->PropertiesDlg();
    p->SetPrintParams(9, 0, 0, poPortrait, 7, 0, 1);
    model.Calls.clear();

    p->BeginDoc();
    EXPECT_TRUE(p->Printing());
    ASSERT_TRUE(p->Canvas()->Painter());
    EXPECT_TRUE(p->Canvas()->Painter()->isActive());
    p->BeginPage();
    p->Canvas()->Painter()->drawLine(0, 0, 100, 100);
    p->EndPage();
    p->EndDoc();
    EXPECT_FALSE(p->Printing());
    EXPECT_EQ(p->Canvas()->Painter(), nullptr);
    EXPECT_EQ(model.Calls,
        (QStringList { "StartDoc Report Document|", "StartPage", "EndPage", "EndDoc", "Reset" }));
    EXPECT_EQ(model.LastReset.DefaultSource, 2);
    EXPECT_EQ(model.LastReset.Duplex, rpDuplexSimplex);
    EXPECT_EQ(p->Bin(), -1);
    EXPECT_EQ(p->Duplex(), -1);
    EXPECT_FALSE(model.Drawing.boundingRect().isEmpty());

    model.Calls.clear();
    p->SetTitle("Expenses");
    p->SetFileName("/tmp/out.prn");
    p->BeginDoc();
    p->BeginPage();
    p->Abort();
    EXPECT_FALSE(p->Printing());
    EXPECT_EQ(
        model.Calls, (QStringList { "StartDoc Expenses|/tmp/out.prn", "StartPage", "AbortDoc", "Reset" }));
}

TEST_F(PrinterFixture, CanvasFontIsMeasuredAtThePrintersVerticalResolution)
{
    TrpFakePrinterModel model = TrpFakePrintSystem::StandardPrinter("Laser");
    model.DpiX = 300;
    model.DpiY = 1200;
    System.Add(model);
    auto list = MakeList();
    TrpPrinterCanvas* canvas = list->Printer()->Canvas();
    canvas->SetFont(QFont("Arial", 9));
    EXPECT_EQ(canvas->FontPixelsPerInch(), 1200);
    EXPECT_EQ(canvas->Font().pointSize(), 9);
    EXPECT_EQ(canvas->DeviceFont().pixelSize(), 150); // 9 pt * 1200 / 72
}

TEST_F(PrinterFixture, RawJobPassesBytesThrough)
{
    std::unique_ptr<TrpPrinters> list;
    TrpCustomPrinter* p = StandardPrinter(list);
    TrpFakePrinterModel& model = System.Model("Laser");
    model.Calls.clear();
    p->BeginRAWDoc();
    p->WriteRAWDoc("abc");
    p->EndRAWDoc();
    EXPECT_EQ(model.Calls, (QStringList { "StartRaw", "Raw abc", "EndRaw" }));
    EXPECT_FALSE(p->Printing());
}

} // namespace
