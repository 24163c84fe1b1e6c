// A store for preview tests: N pages of one size (or sizes given one by
// one) that draws each page as a grey box and records what it was asked.
#pragma once

#include "null_preview_pages.h"
#include "rpClass.h"

#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <map>
#include <memory>
#include <vector>

class FakePreviewPages : public NullPreviewPages {
public:
    explicit FakePreviewPages(int Pages = 0, QPointF Size = QPointF(794, 1123), TrpReport* Report = nullptr)
        : NullPreviewPages(Report)
    {
        for (int i = 0; i < Pages; ++i)
            Sizes.push_back(Size);
    }

    std::vector<QPointF> Sizes;
    // Page index -> how often DrawPage drew it.
    std::map<int, int> Draws;
    // Device pixel ratio of the canvas at the last DrawPage.
    qreal LastRatio = 0;
    qreal LastDeviceScale = 0;
    // Clip height at the last DrawPage (what was really repainted).
    int LastClipHeight = 0;
    int Clears = 0;
    int TopMarginMm = 10;
    std::vector<std::pair<int, TrpMouseEventType>> MouseEvents;
    TrpCustomOutline* FakeOutline = nullptr;

    // Files Export was asked to write.
    QStringList Exports;

    int Count() override { return int(Sizes.size()); }
    bool Export(const QString& FileName) override
    {
        Exports << FileName;
        return true;
    }
    QPointF GetPageSize(int Index) override
    {
        return Index >= 0 && Index < Count() ? Sizes[size_t(Index)] : QPointF();
    }
    TrpReportPage* GetPage(int Index) override
    {
        if (Index < 0 || Index >= Count())
            return nullptr;
        if (!FPage)
            FPage = std::make_unique<TrpReportPage>();
        FPage->SetTopMargin(TopMarginMm);
        return FPage.get();
    }
    void Clear() override
    {
        ++Clears;
        Sizes.clear();
    }
    void DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double, long double OffsetX,
        long double OffsetY) override
    {
        ++Draws[Index];
        LastRatio = Canvas->paintEngine()->paintDevice()->devicePixelRatioF();
        LastDeviceScale = Canvas->deviceTransform().m11();
        LastClipHeight = Canvas->hasClipping() ? Canvas->clipBoundingRect().toRect().height() : -1;
        const QPointF size = Sizes[size_t(Index)];
        Canvas->fillRect(QRectF(double(OffsetX) + 20 * double(ScaleX), double(OffsetY) + 20 * double(ScaleX),
                             (size.x() - 40) * double(ScaleX), 30 * double(ScaleX)),
            Qt::darkGray);
    }
    void ObjectOver(int Index, int, int, Qt::MouseButton, Qt::KeyboardModifiers, long double, int, int,
        Qt::CursorShape&, TrpMouseEventType MouseEvent) override
    {
        MouseEvents.emplace_back(Index, MouseEvent);
    }
    TrpCustomOutline* Outline() override { return FakeOutline; }

private:
    std::unique_ptr<TrpReportPage> FPage;
};
