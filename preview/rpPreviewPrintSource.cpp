#include "rpPreviewPrintSource.h"

#include "rpPdfExport.h"
#include "rpPreviewPages.h"
#include "rpPrint.h"
#include "rpPrinter.h"

TrpReport* TrpPreviewPrintSource::Report()
{
    return FPages.Report();
}

int TrpPreviewPrintSource::Count()
{
    return FPages.Count();
}

TrpReportPage* TrpPreviewPrintSource::GetPage(int Index)
{
    return FPages.GetPage(Index);
}

void TrpPreviewPrintSource::DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY,
    long double OffsetX, long double OffsetY)
{
    FPages.DrawPage(Index, Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
}

void TrpPreviewPrintSource::EmptyPageCache()
{
    FPages.EmptyPageCache();
}

void TrpPreviewPrintSource::SetCopyNo(int Value)
{
    FPages.SetCopyNo(Value);
}

void TrpPreviewPrintSource::SetPrintScale(long double Value)
{
    FPages.SetPrintScale(Value);
}

int TrpPreviewPrintSource::CurPreviewPage()
{
    return FPages.CurPreviewPage();
}

// ------------------------------------------------------ the store's side

bool TrpPreviewPages::Print()
{
    TrpPreviewPrintSource source(*this);
    return rpPrint(source, rpPrinterDialogs());
}

bool TrpPreviewPages::Export(const QString& FileName)
{
    TrpPreviewPrintSource source(*this);
    return rpExportPDF(source, FileName);
}
