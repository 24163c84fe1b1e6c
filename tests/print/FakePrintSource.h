// Prepared pages for print tests: pages of chosen paper sizes, every drawing
// recorded with the copy number and print scale in force.
#pragma once

#include "rpClass.h"
#include "rpPrintSource.h"

#include <memory>
#include <vector>

struct TDrawnPage {
    int Index;
    int CopyNo;
    long double ScaleX, ScaleY, OffsetX, OffsetY, PrintScale;
};

class TFakePrintSource : public TrpPrintSource {
public:
    TFakePrintSource() { FReport.EngineOptions()->SetEnableThreadSafe(true); }
    // Count pages of one paper (millimetres, already turned for landscape).
    void AddPages(int Count, int PaperSize = 9, long double Width = 210, long double Height = 297,
        TrpPrinterOrientation Orientation = poPortrait)
    {
        for (int i = 0; i < Count; ++i) {
            auto page = std::make_unique<TrpReportPage>();
            page->SetSizeAndDimensions(PaperSize, Width, Height);
            page->SetOrientation(Orientation);
            page->SetSizeAndDimensions(PaperSize, Width, Height);
            FPages.push_back(std::move(page));
        }
    }
    TrpReportPage* Page(int Index) { return FPages[size_t(Index)].get(); }
    // 1-based page numbers in drawing order.
    std::vector<int> Numbers() const
    {
        std::vector<int> n;
        for (const auto& d : Draws)
            n.push_back(d.Index + 1);
        return n;
    }

    TrpReport* Report() override { return &FReport; }
    int Count() override { return int(FPages.size()); }
    TrpReportPage* GetPage(int Index) override { return FPages[size_t(Index)].get(); }
    void DrawPage(int Index, QPainter*, long double ScaleX, long double ScaleY, long double OffsetX,
        long double OffsetY) override
    {
        Draws.push_back({ Index, CopyNo, ScaleX, ScaleY, OffsetX, OffsetY, PrintScale });
    }
    void EmptyPageCache() override { ++CacheEmptied; }
    void SetCopyNo(int Value) override { CopyNo = Value; }
    void SetPrintScale(long double Value) override { PrintScale = Value; }
    int CurPreviewPage() override { return PreviewPage; }

    std::vector<TDrawnPage> Draws;
    int CopyNo = 0;
    long double PrintScale = 1;
    int CacheEmptied = 0;
    int PreviewPage = 1;

private:
    TrpReport FReport;
    std::vector<std::unique_ptr<TrpReportPage>> FPages;
};
