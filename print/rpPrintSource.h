// The prepared pages as printing and PDF output reach them. The store lives
// above this layer and hands itself over through this class.
#pragma once

class QPainter;
class TrpReport;
class TrpReportPage;

class TrpPrintSource {
public:
    virtual ~TrpPrintSource() = default;
    virtual TrpReport* Report() = 0;
    virtual int Count() = 0;
    // The prepared page with its paper settings; owned by the store's cache.
    virtual TrpReportPage* GetPage(int Index) = 0;
    // Draws page Index with the paper's top-left corner at (OffsetX, OffsetY)
    // device pixels, report pixels scaled by ScaleX/ScaleY.
    virtual void DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY,
        long double OffsetX, long double OffsetY)
        = 0;
    // Frees the rebuilt pages, so a long job holds at most one at a time.
    virtual void EmptyPageCache() = 0;
    // Copy number and print scale handed to memos while drawing.
    virtual void SetCopyNo(int Value) = 0;
    virtual void SetPrintScale(long double Value) = 0;
    // 1-based page the preview showed when printing started.
    virtual int CurPreviewPage() = 0;
};
