// The print job: walks a page sequence in the chosen order for every copy,
// applies each page's paper, source and duplex mode to the printer and
// draws the page on the printer's canvas as it is, split over several
// sheets, joined several to a sheet, or scaled to the sheet.
#pragma once

#include "rpPrintOptions.h"
#include "rpTypes.h"

#include <optional>
#include <vector>

class TrpCustomPrinter;
class TrpPrintSource;
class TrpReport;
class TrpReportPage;

// Sheets needed across one page length P on usable sheet length S: a rest
// of 11 mm or more takes another sheet, a smaller rest is rounded away.
int rpSheetCount(Extended P, Extended S);

class TrpPrintJob {
public:
    // Source, Printer and Options must outlive the job. Duplex is the job's
    // duplex mode (dmNone: each page's own).
    TrpPrintJob(TrpPrintSource& Source, TrpCustomPrinter& Printer, const TrpPrintOptions& Options,
        TrpDuplexMode Duplex);

    // The sheet of the modes other than pmDefault, millimetres.
    void SetSheet(Extended Width, Extended Height, int SplicingLine);
    // Prints; Sequence as rpPageSequence gives it (nothing: every page).
    void Run(const std::optional<std::vector<int>>& Sequence);

private:
    // Each returns false when the pass must stop.
    bool PrintPage(int Position, int CopyNo);
    bool SplitPage(int Position, int CopyNo);
    void JoinPages(int CopyNo);

    // Page index of a sequence position; -1 when it is skipped (out of
    // range or filtered out by PrintPages).
    int PageIndexAt(int Position) const;
    // Copy number for the store and copies asked of the printer.
    void Copies(int CopyNo, int& StoreCopy, int& PrinterCopies) const;
    TrpReportPage* TakePage(int Position, int CopyNo, int& Index, int& PrinterCopies, bool& Cancelled);
    int SourceFor(const TrpReportPage* Page);
    TrpDuplexMode DuplexFor(const TrpReportPage* Page);
    void BeginDocOnce();
    void AfterPage(int Index);
    bool Terminated() const;

    TrpPrintSource& FSource;
    TrpCustomPrinter& FPrinter;
    const TrpPrintOptions& FOptions;
    TrpReport* FReport;
    TrpDuplexMode FDuplex;
    std::vector<int> FSequence;
    bool FAllPages = true;
    int FCount = 0; // pages in the store
    int FN = 0; // positions in a pass
    bool FDocStarted = false;
    bool FFirstPage = true;
    int FLastPaper = 0;
    int FLastWidth = 0, FLastHeight = 0;
    int FLastBin = 0;
    TrpPrinterOrientation FLastOrientation = poPortrait;
    TrpDuplexMode FLastDuplex = dmNone;
    bool FParity = false;
    bool FLastTurned = false;
    std::vector<int> FUsedBins;
    Extended FSheetWidth = 0, FSheetHeight = 0;
    int FSplicingLine = 0;
};
