#include "rpPrint.h"

#include "DialogService.h"
#include "rpClass.h"
#include "rpPageSequence.h"
#include "rpPrintDialog.h"
#include "rpPrintJob.h"
#include "rpPrintSource.h"
#include "rpPrinter.h"
#include "rpRes.h"

#include <QPainter>

namespace {
void ErrorBox(TDialogService& Dialogs, const QString& Text)
{
    TMessageRequest box;
    box.Caption = rpGet(QStringLiteral("mbError"));
    box.Text = Text;
    box.Icon = TMsgIcon::Error;
    box.Buttons = { TMsgButton::OK };
    Dialogs.MessageBox(box);
}

// Puts the print options back and tells the report the job is over, also
// when it failed.
class TJobScope {
public:
    TJobScope(TrpPrintSource& Source, TrpPrintOptions& Options)
        : FSource(Source)
        , FOptions(Options)
        , FSaved(Options)
    {
    }
    ~TJobScope()
    {
        if (FStarted) {
            TrpReport* report = FSource.Report();
            if (report && report->OnAfterPrintReport)
                report->OnAfterPrintReport(report);
        }
        FSource.SetCopyNo(0);
        FOptions.Assign(FSaved);
    }
    void Started() { FStarted = true; }

private:
    TrpPrintSource& FSource;
    TrpPrintOptions& FOptions;
    TrpPrintOptions FSaved;
    bool FStarted = false;
};
} // namespace

bool rpPrint(TrpPrintSource& Source, TDialogService& Dialogs, const TrpPrintDialogRunner& RunDialog)
{
    TrpPrinters& printers = rpPrinters();
    if (!printers.HasPhysicalPrinters()) {
        ErrorBox(Dialogs, rpGet(QStringLiteral("clNoPrinters")));
        return false;
    }
    TrpReport* report = Source.Report();
    TrpPrintOptions fallback;
    TrpPrintOptions& options = report ? *report->PrintOptions() : fallback;
    Source.SetPrintScale(1);
    TJobScope scope(Source, options);
    TrpDuplexMode duplex = options.Duplex;
    rpSelectPrinter(options.Printer);
    printers.Printer()->SetFileName(QString());
    if (options.ShowDialog) {
        const bool ok = RunDialog
            ? RunDialog(report, options, duplex, Source.CurPreviewPage())
            : rpShowPrintDialog(report, options, duplex, Source.CurPreviewPage(), Dialogs);
        if (!ok)
            return false;
        options.Duplex = duplex;
    } else
        printers.Printer()->SetFileName(options.PrnOutFileName);
    TrpCustomPrinter* printer = printers.Printer();

    TrpPrintJob job(Source, *printer, options, duplex);
    if (options.PrintMode != pmDefault) {
        // A sheet paper the printer does not have (0 when the dialog never
        // chose one) means its current paper rather than a sheet of no size.
        if (options.PrintOnSheet == rpCurrentSheetPaper || printer->PaperIndex(options.PrintOnSheet) < 0)
            printer->SetViewParams(
                rpCurrentSheetPaper, printer->PaperWidth(), printer->PaperHeight(), poPortrait);
        else
            printer->SetViewParams(options.PrintOnSheet, 0, 0, poPortrait);
        job.SetSheet(printer->PaperWidth(), printer->PaperHeight(), options.SplicingLine);
    }
    // Converted before anything happens, so a bad text prints nothing.
    const std::optional<std::vector<int>> sequence = rpPageSequence(options.PageNumbers, Source.Count());
    scope.Started();
    if (report && report->OnPrintReport)
        report->OnPrintReport(report);
    if (printer->Initialized()) {
        Source.EmptyPageCache();
        job.Run(sequence);
    } else
        ErrorBox(Dialogs, QStringLiteral("Printer selected is not valid"));
    return true;
}
