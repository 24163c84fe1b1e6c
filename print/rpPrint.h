// Printing the prepared pages: the printer named in the report's print
// options, the print dialog when the options ask for it, then the job.
#pragma once

#include "rpPrintOptions.h"
#include "rpTypes.h"

#include <functional>

class TrpPrintSource;
class TrpReport;
class TDialogService;

// Shows the print dialog over Options; true on OK. Duplex is the job's
// duplex mode, changed by the dialog; CurPreviewPage is what "Current
// page" prints.
using TrpPrintDialogRunner = std::function<bool(
    TrpReport* Report, TrpPrintOptions& Options, TrpDuplexMode& Duplex, int CurPreviewPage)>;

// True when the job ran (or nothing needed printing); false when there is
// no printer or the dialog was cancelled. Message boxes go to Dialogs. The
// print options are put back afterwards except their Duplex. A page-range
// text that is not numbers, "-" and "," fails with EConvertError before
// anything is printed. RunDialog empty: the program's print dialog.
bool rpPrint(TrpPrintSource& Source, TDialogService& Dialogs, const TrpPrintDialogRunner& RunDialog = {});
