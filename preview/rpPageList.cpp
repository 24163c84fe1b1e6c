// Page layout of the preview: rows of pages centred in the workspace.
//
// Invariants after CalcBounds: pages of one row share OffsetY; rows are
// separated by 10 pixels and the first starts at 10; pages keep list order
// left to right, top to bottom, so OffsetY never decreases along the list
// (FindPage's binary search relies on it).
#include "rpPageList.h"

#include "rpUnits.h"

#include <algorithm>

namespace {
// An A4 sheet in report pixels, shown for an index that names no page.
constexpr long double A4Width = 794;
constexpr long double A4Height = 1123;
constexpr int Gap = 10;
} // namespace

void TrpPageList::AddPage(long double AWidth, long double AHeight, long double Zoom)
{
    TrpPageItem item;
    item.Width = int(rpRound(AWidth * Zoom));
    item.Height = int(rpRound(AHeight * Zoom));
    FItems.push_back(item);
}

void TrpPageList::Clear()
{
    FItems.clear();
    FMaxWidth = 0;
}

void TrpPageList::CalcBounds(int ClientWidth)
{
    FMaxWidth = 0;
    int y = Gap;
    size_t i = 0;
    while (i < FItems.size()) {
        const size_t rowStart = i;
        int x = 0;
        int rowHeight = 0;
        while (i < FItems.size() && (x == 0 || x + FItems[i].Width <= ClientWidth)) {
            FItems[i].OffsetX = x;
            FItems[i].OffsetY = y;
            x += FItems[i].Width + Gap;
            rowHeight = std::max(rowHeight, FItems[i].Height);
            ++i;
        }
        FMaxWidth = std::max(FMaxWidth, x);
        // Truncating division, as the layout has always centred rows.
        int c = (ClientWidth - x + Gap) / 2;
        if (c < 0)
            c = 0;
        for (size_t j = rowStart; j < i; ++j)
            FItems[j].OffsetX += c + Gap;
        y += rowHeight + Gap;
    }
}

int TrpPageList::FindPage(int OffsetY, int OffsetX) const
{
    // Last page whose top lies at or above the given height (with tolerance).
    int lo = 0;
    int hi = Count() - 1;
    int found = -1;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const TrpPageItem& item = FItems[size_t(mid)];
        const int tolerance = OffsetX == 0 ? int(rpRound(item.Height / 5.0L)) : 0;
        if (item.OffsetY <= OffsetY + tolerance) {
            found = mid;
            lo = mid + 1;
        } else
            hi = mid - 1;
    }
    if (OffsetX == 0 || found < 0)
        return found;
    for (int i = std::max(0, found - 20); i <= std::min(Count() - 1, found + 20); ++i) {
        const TrpPageItem& item = FItems[size_t(i)];
        if (QRect(item.OffsetX, item.OffsetY, item.Width, item.Height).contains(OffsetX, OffsetY))
            return i;
    }
    return found;
}

QRect TrpPageList::GetPageBounds(int Index, int ClientWidth, long double Scale, bool RTL) const
{
    if (Index >= 0 && Index < Count()) {
        const TrpPageItem& item = FItems[size_t(Index)];
        const int left = RTL ? ClientWidth - item.Width - item.OffsetX : item.OffsetX;
        return QRect(left, item.OffsetY, item.Width, item.Height);
    }
    const int width = int(rpRound(Scale * A4Width));
    const int height = int(rpRound(Scale * A4Height));
    const int left = width <= ClientWidth ? int(rpRound((ClientWidth - width) / 2.0L)) : Gap;
    return QRect(left, int(rpRound(Scale * Gap)), width, height);
}

QPoint TrpPageList::GetMaxBounds() const
{
    if (FItems.empty())
        return QPoint(0, 0);
    const TrpPageItem& last = FItems.back();
    return QPoint(FMaxWidth, last.OffsetY + last.Height);
}
