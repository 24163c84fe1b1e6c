// The store as printing and PDF output reach it.
#pragma once

#include "rpPrintSource.h"

class TrpPreviewPages;

class TrpPreviewPrintSource : public TrpPrintSource {
public:
    explicit TrpPreviewPrintSource(TrpPreviewPages& Pages)
        : FPages(Pages)
    {
    }
    TrpReport* Report() override;
    int Count() override;
    TrpReportPage* GetPage(int Index) override;
    void DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
        long double OffsetY) override;
    void EmptyPageCache() override;
    void SetCopyNo(int Value) override;
    void SetPrintScale(long double Value) override;
    int CurPreviewPage() override;

private:
    TrpPreviewPages& FPages;
};
