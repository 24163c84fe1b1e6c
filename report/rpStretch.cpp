// Band stretching, shifting and splitting: objects whose content needs more
// room grow, the objects below a grown object move down with it, and a band
// that does not fit the rest of the page prints in slices.
//
// Invariants:
//   1. A band's shift tree is built once and kept (for the following rows
//      and runs); every object of a band is reached from the band through it
//      unless it lies outside the band's width.
//   2. Splitting never loses an object: the band's full object list, in its
//      original order, is back in place when SplitBand returns or throws.
//   3. Splitting always ends: each slice prints part of some object, and a
//      stretchable object of which nothing fits on an empty page is cut by
//      height (its text clipped) instead of waiting for the next page
//      forever; MaxSplitSlices bounds what is left.
#include "rpStretch.h"

#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpEngine.h"

#include <algorithm>
#include <cmath>

namespace {

// Absolute rectangle of an object, for comparing positions in a band.
TrpRectArea AbsArea(const TrpComponent& C)
{
    const Extended x = C.AbsLeft(), y = C.AbsTop();
    return { x, y, x + C.Width(), y + C.Height() };
}

// B overlaps A horizontally (vertically), by more than 1e-4 on both sides.
bool OverlapX(const TrpRectArea& A, const TrpRectArea& B)
{
    return B.X < A.X1 - 0.0001L && B.X1 > A.X + 0.0001L;
}
bool OverlapY(const TrpRectArea& A, const TrpRectArea& B)
{
    return B.Y < A.Y1 - 0.0001L && B.Y1 > A.Y + 0.0001L;
}

} // namespace

// ------------------------------------------------------------ shift tree

void rpBuildShiftTree(TrpBand* Band)
{
    if (!Band->ShiftChildren.empty())
        return;
    struct TNode {
        TrpReportComponent* C;
        TrpRectArea R;
        Extended Order;
    };
    std::vector<TNode> nodes;
    for (const auto& o : Band->Objects())
        if (auto* c = dynamic_cast<TrpReportComponent*>(o.get())) {
            c->ShiftChildren.clear();
            nodes.push_back({ c, AbsArea(*c), std::round(c->Top() * 100) / 100 });
        }
    // Tops rounded to two decimals; equal tops keep their order in the band.
    std::stable_sort(
        nodes.begin(), nodes.end(), [](const TNode& a, const TNode& b) { return a.Order < b.Order; });
    // Above every object of the band, as wide as the band.
    const Extended top = Band->Top() - 2;
    nodes.insert(nodes.begin(), TNode { Band, { 0, top, Band->Width(), top + 1 }, 0 });

    for (size_t i = 0; i < nodes.size(); ++i) {
        const TrpRectArea& a = nodes[i].R;
        std::vector<TrpReportComponent*>& children = i == 0 ? Band->ShiftChildren : nodes[i].C->ShiftChildren;
        for (size_t j = i + 1; j < nodes.size(); ++j) {
            const TrpRectArea& b = nodes[j].R;
            if (OverlapY(a, b) || !(a.Y < b.Y) || !OverlapX(a, b))
                continue;
            const TrpRectArea common { std::max(a.X, b.X), 0, std::min(a.X1, b.X1), 0 };
            bool covered = false;
            for (size_t k = i + 1; k < j && !covered; ++k) {
                const TrpRectArea& c = nodes[k].R;
                covered = !OverlapY(c, a) && !OverlapY(c, b) && OverlapX(common, c);
            }
            if (!covered)
                children.push_back(nodes[j].C);
        }
    }
}

void rpShiftObjects(TrpReportComponent* Node, Extended Offset)
{
    const bool nodeIsBand = dynamic_cast<TrpBand*>(Node) != nullptr;
    for (TrpReportComponent* c : Node->ShiftChildren) {
        const auto* view = dynamic_cast<TrpView*>(c);
        const TrpShiftMode mode = view ? view->ShiftMode() : smAlways;
        switch (mode) {
        case smAlways:
            c->SetTop(c->Top() + Offset);
            rpShiftObjects(c, Offset + c->ShiftAmount());
            break;
        case smDontShift:
            rpShiftObjects(c, Offset + c->ShiftAmount());
            break;
        case smWhenOverlapped: {
            const Extended bottom = Node->Top() + Node->Height();
            if (!nodeIsBand && c->Top() < bottom) {
                const Extended moved = bottom - c->Top();
                c->SetTop(bottom);
                rpShiftObjects(c, moved + c->ShiftAmount());
            } else {
                rpShiftObjects(c, c->ShiftAmount());
            }
            break;
        }
        }
        c->SetShiftAmount(0);
    }
}

// ------------------------------------------------------------ stretching

void TrpEngine::StretchBand(TrpBand* Band)
{
    TrpMemoView* fill = Band->FillMemo();
    bool grew = false;
    for (const auto& o : Band->Objects()) {
        auto* s = dynamic_cast<TrpStretcheable*>(o.get());
        if (!s || s == fill || !s->Visible() || s->StretchMode() == smDontStretch)
            continue;
        const Extended h = s->CalcHeight();
        if (h > s->Height()) {
            s->SetShiftAmount(h - s->Height());
            s->SetHeight(h);
            grew = true;
        } else {
            s->SetShiftAmount(0);
        }
    }
    if (grew)
        rpShiftObjects(Band, 0);
    Extended lowest = 0;
    for (const auto& o : Band->Objects())
        if (o.get() != fill)
            lowest = std::max(lowest, o->Top() + o->Height());
    if (Band->Stretched())
        Band->SetHeight(lowest);
    FireEvent(Band, Band->OnAfterCalcHeight());
    for (const auto& o : Band->Objects())
        if (auto* s = dynamic_cast<TrpStretcheable*>(o.get());
            s && s != fill && s->StretchMode() == smMaxHeight)
            s->SetHeight(lowest - s->Top());
}

// ------------------------------------------------------------ splitting

namespace {

// The band's objects taken out for splitting. Pool keeps them in their
// original order; Show puts a chosen few into the band for one slice. The
// destructor puts the whole list back whatever happened.
class TrpTakenObjects {
public:
    explicit TrpTakenObjects(TrpBand* ABand)
        : FBand(ABand)
    {
        FBand->SwapObjects(FPool);
    }
    ~TrpTakenObjects()
    {
        Hide();
        FBand->SwapObjects(FPool);
    }
    TrpTakenObjects(const TrpTakenObjects&) = delete;
    TrpTakenObjects& operator=(const TrpTakenObjects&) = delete;

    std::vector<TrpComponent*> All() const
    {
        std::vector<TrpComponent*> r;
        for (const auto& o : FPool)
            r.push_back(o.get());
        return r;
    }
    // The band holds exactly Objects (in that order) until Hide.
    void Show(const std::vector<TrpComponent*>& Objects)
    {
        Hide();
        for (TrpComponent* c : Objects)
            for (size_t i = 0; i < FPool.size(); ++i)
                if (FPool[i].get() == c) {
                    FShown.push_back(std::move(FPool[i]));
                    FShownAt.push_back(i);
                    break;
                }
        FBand->SwapObjects(FShown);
    }
    // Every shown object back in its own place of the pool.
    void Hide()
    {
        FBand->SwapObjects(FShown);
        for (size_t i = 0; i < FShown.size(); ++i)
            FPool[FShownAt[i]] = std::move(FShown[i]);
        FShown.clear();
        FShownAt.clear();
    }

private:
    TrpBand* FBand;
    std::vector<std::unique_ptr<TrpComponent>> FPool;
    std::vector<std::unique_ptr<TrpComponent>> FShown;
    std::vector<size_t> FShownAt;
};

} // namespace

void TrpEngine::SplitBand(TrpBand* Band)
{
    TrpCustomPreviewPages* pages = PreviewPages();
    // The fill memo is made first so that it is part of the taken list and
    // comes back in front; each slice shows it at the slice's height.
    const bool hadFill = Band->FillMemo() != nullptr;
    Band->CreateFillMemo();
    if (!hadFill && Band->FillMemo() && Band->OriginalObjectsCount >= 0)
        ++Band->OriginalObjectsCount;
    TrpMemoView* fill = Band->FillMemo();

    TrpTakenObjects taken(Band);
    std::vector<TrpComponent*> rest;
    for (TrpComponent* c : taken.All())
        if (c != fill && !dynamic_cast<TrpSubreport*>(c))
            rest.push_back(c);
    for (TrpComponent* c : rest)
        if (auto* s = dynamic_cast<TrpStretcheable*>(c)) {
            s->InitPart();
            s->SetSaveHeight(s->Height());
        }
    const size_t n0 = rest.size();
    Extended free = FreeSpace();
    bool moved = false;
    int slices = 0;

    while (!rest.empty()) {
        std::vector<TrpComponent*> shifted;
        std::vector<TrpComponent*> slice;
        PumpMessages();
        if (Terminated())
            break;
        // A slice that starts at the top of a fresh page or column: whatever
        // does not fit here fits nowhere.
        const bool fresh = slices > 0;
        for (size_t i = 0; i < rest.size();) {
            TrpComponent* o = rest[i];
            auto* s = dynamic_cast<TrpStretcheable*>(o);
            Extended part = 0;
            Extended keep = o->Height();
            bool more = false;
            if (s) {
                s->SetSavedTop(s->Top());
                s->SetHeight(free - s->Top());
                if (s->Top() < free)
                    part = s->DrawPart();
                keep = s->SaveHeight();
                more = s->HasNextDataPart(free);
            }
            if (!more) {
                o->SetHeight(keep);
                slice.push_back(o);
                rest.erase(rest.begin() + std::ptrdiff_t(i));
                continue;
            }
            if (o->Top() < free) {
                const Extended bottom = o->Top() + o->Height();
                for (TrpComponent* other : rest) {
                    if (other == o || std::find(shifted.begin(), shifted.end(), other) != shifted.end())
                        continue;
                    if (other->Top() >= bottom && other->Left() < o->Left() + o->Width() - 0.0001L
                        && other->Left() + other->Width() > o->Left() + 0.0001L) {
                        other->SetTop(other->Top() + part);
                        shifted.push_back(other);
                    }
                }
                const bool nothingFitted = std::fabs(part - o->Height()) < 0.0001L;
                if (nothingFitted && !(fresh && o->Top() < 0.0001L)) {
                    o->SetTop(free);
                    o->SetHeight(s->SaveHeight());
                } else {
                    // Cut by height when not even one line fits an empty page.
                    if (nothingFitted)
                        part = 0;
                    slice.push_back(o);
                    s->SetSaveHeight(s->SaveHeight() - o->Height() + part);
                    moved = true;
                }
            }
            ++i;
        }

        Extended height = 0;
        for (TrpComponent* c : slice)
            height = std::max(height, c->Top() + c->Height());
        if (rest.empty())
            for (TrpComponent* c : slice) {
                if (auto* v = dynamic_cast<TrpView*>(c); v && v->Align() == baBottom)
                    c->SetTop(height - c->Height());
                if (auto* s = dynamic_cast<TrpStretcheable*>(c); s && s->StretchMode() == smMaxHeight)
                    s->SetHeight(height - s->Top());
            }

        Band->SetLeft(CurX());
        Band->SetTop(CurY());
        Band->SetHeight(height);
        if (fill) {
            TrpFillGap* gap = Band->FillGap();
            fill->SetBounds(gap->Left(), gap->Top(), Band->Width() - gap->Left() - gap->Right(),
                height - gap->Top() - gap->Bottom());
            slice.insert(slice.begin(), fill);
        }
        taken.Show(slice);
        pages->AddObject(Band);
        taken.Hide();
        SetCurY(CurY() + height);
        SetCurBand(Band);
        ++slices;
        if (rest.empty())
            break;
        if (slices >= MaxSplitSlices) {
            Report()->AddError(
                QStringLiteral("%1: the band was cut after %2 pages").arg(Band->Name()).arg(slices));
            break;
        }
        NewColumn();
        for (TrpComponent* c : rest) {
            c->SetTop(c->Top() - free);
            if (auto* s = dynamic_cast<TrpStretcheable*>(c)) {
                if (!moved && rest.size() == n0)
                    s->SetTop(s->SavedTop());
                if (s->Top() < 0)
                    s->SetTop(0);
                s->SetHeight(s->SaveHeight());
            }
        }
        free = FreeSpace();
    }
}
