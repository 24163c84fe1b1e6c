// How a report is printed (the report's PrintOptions). The print job works
// on a copy and puts every value back afterwards except Duplex, so a choice
// made in the print dialog applies to one job only.
#pragma once

#include "rpTypes.h"

#include <QString>

enum TrpPrintMode { pmDefault, pmSplit, pmJoin, pmScale };
enum TrpPrintPages { ppAll, ppOdd, ppEven };

// The printer's current paper, as PrintOnSheet.
inline constexpr int rpCurrentSheetPaper = 256;

class TrpPrintOptions {
public:
    int Copies = 1;
    bool Collate = true;
    // "1,3,5-12"; empty prints every page.
    QString PageNumbers;
    int PagesOnSheet = 0;
    QString Printer = QStringLiteral("Default");
    TrpPrintMode PrintMode = pmDefault;
    int PrintOnSheet = 0;
    TrpPrintPages PrintPages = ppAll;
    bool Reverse = false;
    bool ShowDialog = true;
    bool SwapPageSize = false;
    QString PrnOutFileName;
    TrpDuplexMode Duplex = dmNone;
    // Overlap of neighbouring sheets of a split page, millimetres.
    int SplicingLine = 3;

    // Copies the settings a user chooses; the job's output file, duplex
    // mode and the unused fields stay.
    void Assign(const TrpPrintOptions& Source)
    {
        Copies = Source.Copies;
        Collate = Source.Collate;
        PageNumbers = Source.PageNumbers;
        Printer = Source.Printer;
        PrintMode = Source.PrintMode;
        PrintOnSheet = Source.PrintOnSheet;
        PrintPages = Source.PrintPages;
        Reverse = Source.Reverse;
        ShowDialog = Source.ShowDialog;
        SplicingLine = Source.SplicingLine;
    }
};
