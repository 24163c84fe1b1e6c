// Printing from the store's side: the failures before a job, the dialog's
// choices applying to one job only, print to file, and the print dialog
// itself driven as a user would.
#include "FakeDialogService.h"
#include "FakePrintSource.h"
#include "PelmoraError.h"
#include "rpFakePrintSystem.h"
#include "rpPrint.h"
#include "rpPrintDialog.h"
#include "rpPrinter.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>
#include <gtest/gtest.h>

namespace {

struct PrintFixture : ::testing::Test {
    TrpFakePrintSystem* System = nullptr;
    TFakeDialogService* Dialogs = nullptr;
    TFakePrintSource Source;

    // Printers by name; the first is the system's default.
    void Install(const QStringList& Names)
    {
        auto system = std::make_unique<TrpFakePrintSystem>();
        auto dialogs = std::make_unique<TFakeDialogService>();
        System = system.get();
        Dialogs = dialogs.get();
        for (const QString& name : Names)
            System->Add(TrpFakePrintSystem::StandardPrinter(name));
        if (!Names.isEmpty())
            System->Default = Names.front();
        rpSetPrintSystem(std::move(system), std::move(dialogs));
        Source.AddPages(3);
    }
    void TearDown() override { rpSetPrintSystem(nullptr); }
    TrpPrintOptions& Options() { return *Source.Report()->PrintOptions(); }
    TrpFakePrinterModel& Model(const QString& Name = QStringLiteral("Laser")) { return System->Model(Name); }
};

TEST_F(PrintFixture, WithoutAnyPrinterItSaysSoAndPrintsNothing)
{
    Install({});
    EXPECT_FALSE(rpPrint(Source, *Dialogs, [](auto...) { return true; }));
    ASSERT_EQ(Dialogs->Messages().size(), 1u);
    EXPECT_EQ(Dialogs->Messages()[0].Text, "No printers installed on your system");
    EXPECT_EQ(Dialogs->Messages()[0].Caption, "Error");
    EXPECT_EQ(Dialogs->Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_TRUE(Source.Draws.empty());
}

TEST_F(PrintFixture, CancelledDialogPrintsNothingAndChangesNoOption)
{
    Install({ "Laser" });
    Options().Copies = 2;
    const bool printed = rpPrint(Source, *Dialogs, [](TrpReport*, TrpPrintOptions& O, TrpDuplexMode&, int) {
        O.Copies = 5; // what a dialog would never write on Cancel, undone anyway
        return false;
    });
    EXPECT_FALSE(printed);
    EXPECT_EQ(Options().Copies, 2);
    EXPECT_EQ(Source.CopyNo, 0);
    EXPECT_FALSE(Model().Calls.join(' ').contains("StartDoc"));
}

TEST_F(PrintFixture, DialogChoicesApplyToOneJobExceptTheDuplexMode)
{
    Install({ "Laser" });
    bool printStarted = false, printEnded = false;
    Source.Report()->OnPrintReport = [&](TrpReport*) { printStarted = true; };
    Source.Report()->OnAfterPrintReport = [&](TrpReport*) { printEnded = true; };
    Source.PreviewPage = 2;
    const bool printed
        = rpPrint(Source, *Dialogs, [](TrpReport*, TrpPrintOptions& O, TrpDuplexMode& D, int Cur) {
              O.Copies = 3;
              O.Collate = false;
              O.PageNumbers = QString::number(Cur);
              D = dmVertical;
              return true;
          });
    EXPECT_TRUE(printed);
    EXPECT_TRUE(printStarted && printEnded);
    EXPECT_EQ(Source.Numbers(), std::vector<int> { 2 });
    EXPECT_EQ(Model().LastReset.Copies, 3); // not collated: the printer makes the copies
    EXPECT_EQ(Options().Copies, 1);
    EXPECT_TRUE(Options().Collate);
    EXPECT_TRUE(Options().PageNumbers.isEmpty());
    EXPECT_EQ(Options().Duplex, dmVertical);
    EXPECT_EQ(Source.CopyNo, 0);
    // The job is named for the report; this one has no name.
    EXPECT_TRUE(Model().Calls.contains("StartDoc Report Document|"));
}

TEST_F(PrintFixture, WithoutTheDialogTheOptionsNameTheOutputFile)
{
    Install({ "Laser" });
    Options().ShowDialog = false;
    Options().PrnOutFileName = QStringLiteral("/tmp/out.prn");
    EXPECT_TRUE(rpPrint(Source, *Dialogs));
    EXPECT_TRUE(Model().Calls.contains("StartDoc Report Document|/tmp/out.prn"));
    EXPECT_EQ(Source.Draws.size(), 3u);
}

TEST_F(PrintFixture, ABadPageTextFailsBeforeAnythingIsPrinted)
{
    Install({ "Laser" });
    Options().ShowDialog = false;
    Options().PageNumbers = QStringLiteral("1;3");
    EXPECT_THROW(rpPrint(Source, *Dialogs), EConvertError);
    EXPECT_TRUE(Source.Draws.empty());
    EXPECT_FALSE(Model().Calls.join(' ').contains("StartDoc"));
    EXPECT_EQ(Options().PageNumbers, "1;3");
}

TEST_F(PrintFixture, APrinterThatIsNotValidPrintsNothing)
{
    Install({ "Laser" });
    Model().InvalidCaps = true;
    Options().ShowDialog = false;
    EXPECT_TRUE(rpPrint(Source, *Dialogs));
    EXPECT_TRUE(Source.Draws.empty());
    EXPECT_TRUE(Dialogs->MessageTexts().contains("Printer selected is not valid"));
}

TEST_F(PrintFixture, DialogShowsTheOptionsAndWritesTheChoicesOnOk)
{
    Install({ "Laser", "Office" });
    TrpPrintOptions options;
    options.Copies = 4;
    options.PageNumbers = QStringLiteral("2-3");
    TrpPrintDialog dialog(nullptr, options, dmHorizontal, 2, *Dialogs);
    EXPECT_EQ(dialog.windowTitle(), "Print");
    EXPECT_EQ(dialog.size(), QSize(557, 333));
    EXPECT_EQ(dialog.PrintersCB->count(), 2);
    EXPECT_EQ(dialog.PrintersCB->currentText(), "Laser");
    EXPECT_EQ(dialog.CopiesE->value(), 4);
    EXPECT_TRUE(dialog.PageNumbersRB->isChecked());
    EXPECT_EQ(dialog.DuplexCB->currentText(), "Horizontal");
    // Default mode: no sheet to choose.
    EXPECT_FALSE(dialog.PagPageSizeCB->isEnabled());
    EXPECT_EQ(dialog.PagPageSizeCB->currentText(), "Default");

    dialog.CurPageRB->setChecked(true);
    dialog.CopiesE->setValue(3);
    dialog.OrderCB->setCurrentIndex(1);
    dialog.PrintPagesCB->setCurrentIndex(2);
    dialog.PrintModeCB->setCurrentIndex(int(pmScale));
    dialog.PrintModeCBClick();
    EXPECT_TRUE(dialog.PagPageSizeCB->isEnabled());
    EXPECT_EQ(dialog.PagPageSizeCB->currentText(), "A4");
    dialog.OkBClick();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(options.PageNumbers, "2");
    EXPECT_EQ(options.Copies, 3);
    EXPECT_TRUE(options.Reverse);
    EXPECT_EQ(options.PrintPages, ppEven);
    EXPECT_EQ(options.PrintMode, pmScale);
    EXPECT_EQ(options.PrintOnSheet, 9);
    EXPECT_EQ(dialog.Duplex(), dmHorizontal);
}

TEST_F(PrintFixture, PrintToFileAsksForTheFileAndItsCancelCancelsTheDialog)
{
    Install({ "Laser" });
    TrpPrintOptions options;
    {
        TrpPrintDialog dialog(nullptr, options, dmNone, 1, *Dialogs);
        dialog.FileCB->setChecked(true);
        Dialogs->QueueFile(QStringLiteral("/tmp/jobs/report.txt"));
        dialog.OkBClick();
        EXPECT_EQ(dialog.result(), QDialog::Accepted);
        EXPECT_EQ(rpPrinters().Printer()->FileName(), "/tmp/jobs/report.prn");
        EXPECT_EQ(Dialogs->FileDialogs().back().Title, "Print to file");
        EXPECT_EQ(Dialogs->FileDialogs().back().FilterPattern, "*.prn");
    }
    options.Copies = 7;
    TrpPrintDialog dialog(nullptr, options, dmNone, 1, *Dialogs);
    dialog.FileCB->setChecked(true);
    dialog.CopiesE->setValue(2);
    Dialogs->QueueFile(std::nullopt);
    dialog.OkBClick();
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    EXPECT_EQ(options.Copies, 7);
}

TEST_F(PrintFixture, CancelSelectsThePreviousPrinterAgain)
{
    Install({ "Laser", "Office" });
    TrpPrintOptions options;
    TrpPrintDialog dialog(nullptr, options, dmNone, 1, *Dialogs);
    dialog.PrintersCB->setCurrentIndex(1);
    dialog.PrintersCBClick();
    EXPECT_EQ(rpPrinters().Printer()->Name(), "Office");
    EXPECT_EQ(dialog.WhereL1->text(), "Office:");
    dialog.CancelBClick();
    EXPECT_EQ(rpPrinters().Printer()->Name(), "Laser");
}

} // namespace
