// Scroll window: the fields are the truth; the platform's scroll bars mirror
// them (maximum Range - Page, a page move of LargeChange, a line move of
// SmallChange) and feed the user's moves back.
#include "rpScrollWin.h"

#include <QScrollBar>

#include <algorithm>

namespace {
int Clamp(int Value, int Range, int Page)
{
    return std::max(0, std::min(Value, Range - Page));
}
} // namespace

TrpScrollWin::TrpScrollWin(QWidget* Parent)
    : QAbstractScrollArea(Parent)
{
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    UpdateBars();
}

void TrpScrollWin::SetHorzPosition(int Value)
{
    Value = Clamp(Value, FHorzRange, FHorzPage);
    if (Value == FHorzPosition)
        return;
    const int old = FHorzPosition;
    FHorzPosition = Value;
    UpdateBars();
    HorzPositionChanged(old);
}

void TrpScrollWin::SetVertPosition(int Value)
{
    Value = Clamp(Value, FVertRange, FVertPage);
    if (Value == FVertPosition)
        return;
    const int old = FVertPosition;
    FVertPosition = Value;
    UpdateBars();
    VertPositionChanged(old);
}

void TrpScrollWin::SetHorzRange(int Value)
{
    FHorzRange = Value;
    UpdateBars();
}

void TrpScrollWin::SetVertRange(int Value)
{
    FVertRange = Value;
    UpdateBars();
}

void TrpScrollWin::SetHorzPage(int Value)
{
    FHorzPage = Value;
    UpdateBars();
}

void TrpScrollWin::SetVertPage(int Value)
{
    FVertPage = Value;
    UpdateBars();
}

void TrpScrollWin::SetLargeChange(int Value)
{
    FLargeChange = Value;
    UpdateBars();
}

void TrpScrollWin::SetSmallChange(int Value)
{
    FSmallChange = Value;
    UpdateBars();
}

void TrpScrollWin::SetBorderSingle(bool Value)
{
    setFrameStyle(Value ? (QFrame::StyledPanel | QFrame::Sunken) : QFrame::NoFrame);
}

void TrpScrollWin::HorzPositionChanged(int) { }

void TrpScrollWin::VertPositionChanged(int) { }

void TrpScrollWin::scrollContentsBy(int, int)
{
    if (FUpdatingBars)
        return;
    SetHorzPosition(horizontalScrollBar()->value());
    SetVertPosition(verticalScrollBar()->value());
}

void TrpScrollWin::UpdateBars()
{
    FUpdatingBars = true;
    QScrollBar* h = horizontalScrollBar();
    h->setRange(0, std::max(0, FHorzRange - FHorzPage));
    h->setPageStep(FLargeChange);
    h->setSingleStep(FSmallChange);
    h->setValue(FHorzPosition);
    QScrollBar* v = verticalScrollBar();
    v->setRange(0, std::max(0, FVertRange - FVertPage));
    v->setPageStep(FLargeChange);
    v->setSingleStep(FSmallChange);
    v->setValue(FVertPosition);
    FUpdatingBars = false;
}
