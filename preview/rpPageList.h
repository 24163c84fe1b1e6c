// The geometry of laid-out pages: each prepared page as a rectangle in
// screen pixels at one zoom, placed in centred rows.
#pragma once

#include <QPoint>
#include <QRect>

#include <vector>

// One page at the workspace's zoom; all screen pixels.
struct TrpPageItem {
    int Height = 0;
    int Width = 0;
    int OffsetX = 0;
    int OffsetY = 0;
};

class TrpPageList {
public:
    // Adds a page of AWidth x AHeight report pixels scaled by Zoom.
    void AddPage(long double AWidth, long double AHeight, long double Zoom);
    void Clear();
    int Count() const { return int(FItems.size()); }
    const TrpPageItem& Items(int Index) const { return FItems[size_t(Index)]; }

    // Places the pages in rows no wider than ClientWidth, 10 pixels apart,
    // each row centred; the first row starts at y = 10.
    void CalcBounds(int ClientWidth);
    // Index of the last page whose top is at or above OffsetY (plus a fifth
    // of its height when OffsetX is 0); with OffsetX the page containing the
    // point near that one. -1 above the first page.
    int FindPage(int OffsetY, int OffsetX = 0) const;
    // The page's rectangle (mirrored when RTL); an A4 sheet at Scale for an
    // index that names no page.
    QRect GetPageBounds(int Index, int ClientWidth, long double Scale, bool RTL = false) const;
    // (widest row, bottom of the last page); (0, 0) when empty.
    QPoint GetMaxBounds() const;
    int MaxWidth() const { return FMaxWidth; }

private:
    std::vector<TrpPageItem> FItems;
    int FMaxWidth = 0;
};
