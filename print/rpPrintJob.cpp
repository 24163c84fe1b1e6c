// Device coordinates of a printer start at its printable area, so a page is
// drawn shifted by the unprintable margins to land on the sheet's corner.
#include "rpPrintJob.h"

#include "rpClass.h"
#include "rpPrintSource.h"
#include "rpPrinter.h"
#include "rpUnits.h"

#include <QCoreApplication>
#include <QPainter>
#include <algorithm>
#include <cmath>

int rpSheetCount(Extended P, Extended S)
{
    if (S <= 0)
        return 1;
    const int t = int(P / S);
    if (P - t * S >= 11)
        return t + 1;
    return int(rpRound(P / S));
}

TrpPrintJob::TrpPrintJob(
    TrpPrintSource& Source, TrpCustomPrinter& Printer, const TrpPrintOptions& Options, TrpDuplexMode Duplex)
    : FSource(Source)
    , FPrinter(Printer)
    , FOptions(Options)
    , FReport(Source.Report())
    , FDuplex(Duplex)
{
}

void TrpPrintJob::SetSheet(Extended Width, Extended Height, int SplicingLine)
{
    FSheetWidth = Width;
    FSheetHeight = Height;
    FSplicingLine = SplicingLine;
}

bool TrpPrintJob::Terminated() const
{
    return FReport && FReport->Terminated();
}

void TrpPrintJob::Run(const std::optional<std::vector<int>>& Sequence)
{
    FAllPages = !Sequence;
    FSequence = Sequence ? *Sequence : std::vector<int>();
    FCount = FSource.Count();
    FN = FAllPages ? FCount : int(FSequence.size());
    if (FReport) {
        FReport->SetTerminated(false);
        FReport->InternalOnProgressStart(ptPrinting);
        FPrinter.SetTitle(FReport->ReportOptions()->Name());
    }
    const int copies = std::max(1, FOptions.Copies);
    FParity = false;
    FLastDuplex = dmNone;
    const auto pass = [this](int CopyNo) {
        if (FOptions.PrintMode == pmJoin) {
            JoinPages(CopyNo);
            return;
        }
        for (int k = 0; k < FN; ++k) {
            const int position = FOptions.Reverse ? FN - 1 - k : k;
            const bool go
                = FOptions.PrintMode == pmSplit ? SplitPage(position, CopyNo) : PrintPage(position, CopyNo);
            if (!go)
                break;
        }
    };
    try {
        if (FOptions.Collate) {
            for (int copy = 1; copy <= copies; ++copy) {
                pass(copy);
                if (FParity && FDocStarted && FPrinter.Printing()) {
                    // The next copy starts on a sheet of its own.
                    FParity = false;
                    FPrinter.BeginPage();
                    FPrinter.EndPage();
                }
                if (Terminated())
                    break;
            }
        } else
            pass(1);
        if (FDocStarted)
            FPrinter.EndDoc();
    } catch (...) {
        if (FDocStarted)
            FPrinter.Abort();
        if (FReport)
            FReport->InternalOnProgressStop(ptPrinting);
        throw;
    }
    if (FReport)
        FReport->InternalOnProgressStop(ptPrinting);
}

int TrpPrintJob::PageIndexAt(int Position) const
{
    int index = Position;
    if (!FAllPages) {
        index = FSequence[size_t(Position)] - 1;
        if (index < 0 || index >= FCount)
            return -1;
    }
    const int number = index + 1;
    if (FOptions.PrintPages == ppOdd && number % 2 == 0)
        return -1;
    if (FOptions.PrintPages == ppEven && number % 2 == 1)
        return -1;
    return index;
}

void TrpPrintJob::Copies(int CopyNo, int& StoreCopy, int& PrinterCopies) const
{
    if (FOptions.Collate) {
        StoreCopy = CopyNo;
        PrinterCopies = 1;
    } else {
        StoreCopy = 1;
        PrinterCopies = std::max(1, FOptions.Copies);
    }
}

int TrpPrintJob::SourceFor(const TrpReportPage* Page)
{
    const int bin = Page->Bin();
    if (std::find(FUsedBins.begin(), FUsedBins.end(), bin) == FUsedBins.end()) {
        FUsedBins.push_back(bin);
        return bin;
    }
    return Page->BinOtherPages();
}

TrpDuplexMode TrpPrintJob::DuplexFor(const TrpReportPage* Page)
{
    const TrpDuplexMode duplex = FDuplex == dmNone ? Page->Duplex() : FDuplex;
    if (duplex != FLastDuplex)
        FParity = false;
    if (duplex == dmVertical || duplex == dmHorizontal)
        FParity = !FParity;
    return duplex;
}

void TrpPrintJob::BeginDocOnce()
{
    if (!FDocStarted && !FPrinter.Printing()) {
        FPrinter.BeginDoc();
        FDocStarted = true;
    }
}

void TrpPrintJob::AfterPage(int Index)
{
    if (FReport) {
        FReport->InternalOnProgress(ptPrinting, Index + 1);
        if (!FReport->EngineOptions()->EnableThreadSafe())
            QCoreApplication::processEvents();
    }
    FSource.EmptyPageCache();
}

// The page at sequence position Position, made ready for drawing: the
// store's copy number set and OnPrintPage fired. Nothing when the position
// is skipped or the job was cancelled (Cancelled; the document is aborted).
TrpReportPage* TrpPrintJob::TakePage(
    int Position, int CopyNo, int& Index, int& PrinterCopies, bool& Cancelled)
{
    Index = PageIndexAt(Position);
    if (Index < 0)
        return nullptr;
    if (Terminated()) {
        FPrinter.Abort();
        FDocStarted = false;
        Cancelled = true;
        return nullptr;
    }
    int storeCopy = 1;
    Copies(CopyNo, storeCopy, PrinterCopies);
    FSource.SetCopyNo(storeCopy);
    if (FReport && FReport->OnPrintPage)
        FReport->OnPrintPage(FReport, Index, storeCopy);
    return FSource.GetPage(Index);
}

bool TrpPrintJob::PrintPage(int Position, int CopyNo)
{
    int index = -1, copies = 1;
    bool cancelled = false;
    TrpReportPage* page = TakePage(Position, CopyNo, index, copies, cancelled);
    if (!page)
        return !cancelled;
    const int bin = SourceFor(page);
    const TrpDuplexMode duplex = DuplexFor(page);
    const TrpPrinterOrientation orientation = page->Orientation();
    const int width = int(rpRound(page->PaperWidth()));
    const int height = int(rpRound(page->PaperHeight()));
    if (FOptions.PrintMode == pmScale) {
        if (FFirstPage || bin != FLastBin || orientation != FLastOrientation || duplex != FLastDuplex) {
            FPrinter.SetPrintParams(
                FOptions.PrintOnSheet, FSheetWidth, FSheetHeight, orientation, bin, int(duplex), copies);
            FSheetWidth = FPrinter.PaperWidth();
            FSheetHeight = FPrinter.PaperHeight();
        }
    } else if (FFirstPage || page->PaperSize() != FLastPaper || width != FLastWidth || height != FLastHeight
        || bin != FLastBin || orientation != FLastOrientation || duplex != FLastDuplex) {
        FPrinter.SetPrintParams(page->PaperSize(), page->PaperWidth(), page->PaperHeight(), orientation, bin,
            int(duplex), copies);
    }
    BeginDocOnce();
    FPrinter.BeginPage();
    Extended fx = 1, fy = 1;
    if (FOptions.PrintMode == pmScale && page->PaperWidth() > 0 && page->PaperHeight() > 0) {
        fx = FSheetWidth / page->PaperWidth();
        fy = FSheetHeight / page->PaperHeight();
        FSource.SetPrintScale(std::min(fx, fy));
    }
    const QPoint dpi = FPrinter.DPI();
    FSource.DrawPage(index, FPrinter.Canvas()->Painter(), fx * dpi.x() / 96.0L, fy * dpi.y() / 96.0L,
        -FPrinter.LeftMargin() * dpi.x() / 25.4L, -FPrinter.TopMargin() * dpi.y() / 25.4L);
    FPrinter.EndPage();
    FFirstPage = false;
    FLastPaper = page->PaperSize();
    FLastWidth = width;
    FLastHeight = height;
    FLastBin = bin;
    FLastOrientation = orientation;
    FLastDuplex = duplex;
    AfterPage(index);
    return true;
}

bool TrpPrintJob::SplitPage(int Position, int CopyNo)
{
    int index = -1, copies = 1;
    bool cancelled = false;
    TrpReportPage* page = TakePage(Position, CopyNo, index, copies, cancelled);
    if (!page)
        return !cancelled;
    const int bin = SourceFor(page);
    const TrpDuplexMode duplex = DuplexFor(page);
    const Extended pw = page->PaperWidth();
    const Extended ph = page->PaperHeight();

    // Usable lengths: the whole sheet, less the margins and the splicing
    // line in a direction that needs more than one sheet.
    const Extended marginsX = FPrinter.LeftMargin() + FPrinter.RightMargin();
    const Extended marginsY = FPrinter.TopMargin() + FPrinter.BottomMargin();
    const auto counts = [&](Extended SheetW, Extended SheetH, Extended MX, Extended MY, int& NX, int& NY) {
        NX = rpSheetCount(pw, SheetW);
        NY = rpSheetCount(ph, SheetH);
        if (NX > 1)
            NX = rpSheetCount(pw, SheetW - MX - FSplicingLine);
        if (NY > 1)
            NY = rpSheetCount(ph, SheetH - MY - FSplicingLine);
    };
    int nx = 0, ny = 0, tx = 0, ty = 0;
    counts(FSheetWidth, FSheetHeight, marginsX, marginsY, nx, ny);
    counts(FSheetHeight, FSheetWidth, marginsY, marginsX, tx, ty);
    const bool turned = tx * ty < nx * ny;
    if (turned) {
        nx = tx;
        ny = ty;
    }
    if (FFirstPage || turned != FLastTurned) {
        FPrinter.SetPrintParams(FOptions.PrintOnSheet, FSheetWidth, FSheetHeight,
            turned ? poLandscape : poPortrait, bin, int(duplex), copies);
        FLastTurned = turned;
    }
    BeginDocOnce();
    FFirstPage = false;

    const QPoint dpi = FPrinter.DPI();
    const Extended toX = dpi.x() / 25.4L, toY = dpi.y() / 25.4L;
    const Extended printableW = FPrinter.PaperWidth() - FPrinter.LeftMargin() - FPrinter.RightMargin();
    const Extended printableH = FPrinter.PaperHeight() - FPrinter.TopMargin() - FPrinter.BottomMargin();
    const Extended stepX = (printableW - FSplicingLine) * toX;
    const Extended stepY = (printableH - FSplicingLine) * toY;
    const Extended pageW = pw * rp01cm * dpi.x() / 96.0L;
    const Extended pageH = ph * rp01cm * dpi.y() / 96.0L;
    for (int row = 0; row < ny; ++row)
        for (int col = 0; col < nx; ++col) {
            FPrinter.BeginPage();
            QPainter* canvas = FPrinter.Canvas()->Painter();
            const Extended offX = -col * stepX;
            const Extended offY = -row * stepY;
            if (canvas) {
                canvas->save();
                const Extended left = col > 0 ? FSplicingLine * toX : 0;
                const Extended top = row > 0 ? FSplicingLine * toY : 0;
                const Extended right = std::min(printableW * toX, pageW + offX);
                const Extended bottom = std::min(printableH * toY, pageH + offY);
                canvas->setClipRect(
                    QRectF(double(left), double(top), double(std::max<Extended>(0, right - left)),
                        double(std::max<Extended>(0, bottom - top))));
            }
            FSource.DrawPage(index, canvas, dpi.x() / 96.0L, dpi.y() / 96.0L, offX, offY);
            if (canvas)
                canvas->restore();
            FPrinter.EndPage();
        }
    AfterPage(index);
    return true;
}

// Collated, the copies loop repeats the sheets and each page takes one
// cell; otherwise each page takes Copies cells in a row.
void TrpPrintJob::JoinPages(int CopyNo)
{
    // The positions that print, in walking order.
    std::vector<int> pages;
    for (int k = 0; k < FN; ++k) {
        const int index = PageIndexAt(FOptions.Reverse ? FN - 1 - k : k);
        if (index >= 0)
            pages.push_back(index);
    }
    if (pages.empty())
        return;
    TrpReportPage* first = FSource.GetPage(pages.front());
    if (!first)
        return;
    const Extended pw = first->PaperWidth();
    const Extended ph = first->PaperHeight();
    const int bin = first->Bin();
    const auto fit
        = [](Extended Sheet, Extended Page) { return Page > 0 ? std::max(1, int(Sheet / Page)) : 1; };
    int nx = fit(FSheetWidth, pw), ny = fit(FSheetHeight, ph);
    const int tx = fit(FSheetHeight, pw), ty = fit(FSheetWidth, ph);
    const bool turned = tx * ty > nx * ny;
    if (turned) {
        nx = tx;
        ny = ty;
    }
    const TrpDuplexMode duplex = DuplexFor(first);
    if (!FDocStarted) {
        FPrinter.SetPrintParams(FOptions.PrintOnSheet, FSheetWidth, FSheetHeight,
            turned ? poLandscape : poPortrait, bin, int(duplex), 1);
    }
    BeginDocOnce();
    const QPoint dpi = FPrinter.DPI();
    const Extended cellW = pw * rp01cm * dpi.x() / 96.0L;
    const Extended cellH = ph * rp01cm * dpi.y() / 96.0L;
    const Extended originX = -FPrinter.LeftMargin() * dpi.x() / 25.4L;
    const Extended originY = -FPrinter.TopMargin() * dpi.y() / 25.4L;
    const int copies = FOptions.Collate ? 1 : std::max(1, FOptions.Copies);
    size_t next = 0;
    int copy = 1;
    while (next < pages.size()) {
        FPrinter.BeginPage();
        int last = pages[next];
        for (int cell = 0; cell < nx * ny && next < pages.size(); ++cell) {
            const int index = pages[next];
            FSource.SetCopyNo(FOptions.Collate ? CopyNo : copy);
            FSource.DrawPage(index, FPrinter.Canvas()->Painter(), dpi.x() / 96.0L, dpi.y() / 96.0L,
                originX + (cell % nx) * cellW, originY + (cell / nx) * cellH);
            last = index;
            if (++copy > copies) {
                copy = 1;
                ++next;
            }
        }
        FPrinter.EndPage();
        AfterPage(last);
        if (Terminated()) {
            FPrinter.Abort();
            FDocStarted = false;
            return;
        }
    }
}
