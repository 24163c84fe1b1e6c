// The preview's page area.
//
// Design. The workspace shows the store's pages as laid out by its page list
// at its zoom, scrolled by Offset, which always equals the scroll positions
// (HorzPosition, VertPosition) once a position change has been handled.
//  1. Painting reads the store only through DrawPage, and only for the pages
//     from 60 before to 340 after the page at the top of the view that
//     intersect the region being painted; the background is painted around
//     pages, never under them.
//  2. A scroll moves the pixels already on screen by the difference and
//     leaves only the uncovered strip to be painted (the platform's window
//     scroll), so a scroll by a few pixels draws a few pixels of page.
//  3. Painting and mouse handling do nothing but paint the background while
//     the workspace is locked or the store has no pages.
// Pages are drawn with vector calls onto the widget's own painter; the
// window system's backing store double-buffers them and a high-density
// screen gets them at its device pixel ratio, so no page bitmaps are kept.
#include "rpPreviewWorkspace.h"

#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpPreview.h"
#include "rpUnits.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyle>

#include <algorithm>

namespace {
// Pages painted around the one at the top of the view.
constexpr int PagesBefore = 60;
constexpr int PagesAfter = 340;
} // namespace

TrpPreviewWorkspace::TrpPreviewWorkspace(TrpPreview* Preview, bool IsThumbnail, QWidget* Parent)
    : TrpScrollWin(Parent)
    , FIsThumbnail(IsThumbnail)
    , FPreview(Preview)
{
    SetLargeChange(300);
    SetSmallChange(8);
    if (IsThumbnail)
        FZoom = 0.1L;
    // The workspace paints every pixel itself, so a scroll can reuse what is
    // on screen and nothing is erased first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAttribute(Qt::WA_NoSystemBackground);
    viewport()->setCursor(Qt::OpenHandCursor);
    viewport()->setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
}

int TrpPreviewWorkspace::AvailableWidth() const
{
    return width() - style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 26;
}

int TrpPreviewWorkspace::ClientWidthForBounds() const
{
    return AvailableWidth();
}

void TrpPreviewWorkspace::AddPage(long double AWidth, long double AHeight)
{
    FPageList.AddPage(AWidth, AHeight, FZoom);
}

void TrpPreviewWorkspace::ClearPageList()
{
    FPageList.Clear();
}

void TrpPreviewWorkspace::CalcPageBounds(int ClientWidth)
{
    FPageList.CalcBounds(ClientWidth);
}

void TrpPreviewWorkspace::UpdateScrollRanges()
{
    const QPoint max = FPageList.GetMaxBounds();
    SetHorzRange(max.x() + 10);
    SetVertRange(max.y() + 10);
    SetHorzPosition(HorzPosition());
    SetVertPosition(VertPosition());
}

QRect TrpPreviewWorkspace::PageRect(int Index) const
{
    return FPageList.GetPageBounds(Index, ClientWidthForBounds(), FZoom, FRTLLanguage).translated(-FOffset);
}

void TrpPreviewWorkspace::SetPosition(int PageN, int Top)
{
    const int count = FPageList.Count();
    if (count == 0 || !FPreviewPages)
        return;
    PageN = std::clamp(PageN, 1, count);
    long double middle = 0;
    if (Top != 0) {
        TrpReportPage* page = FPreviewPages->GetPage(PageN - 1);
        const long double margin = page ? page->TopMargin() : 0;
        middle = (margin * rp01cm + Top) * FZoom;
    }
    SetVertPosition(FPageList.Items(PageN - 1).OffsetY + int(rpRound(middle)) - 10);
}

int TrpPreviewWorkspace::GetTopPosition()
{
    if (!FPreviewPages || FPageNo < 1 || FPageNo > FPageList.Count())
        return 0;
    TrpReportPage* page = FPreviewPages->GetPage(FPageNo - 1);
    if (!page)
        return 0;
    const long double top = FPageList.Items(FPageNo - 1).OffsetY;
    return int(rpRound((VertPosition() - top + 10) / FZoom - page->TopMargin() * rp01cm));
}

void TrpPreviewWorkspace::RepaintFrames(int OldPageNo)
{
    QRegion ring;
    for (int page : { OldPageNo, FPageNo }) {
        if (page < 1 || page > FPageList.Count())
            continue;
        const QRect r = PageRect(page - 1);
        ring += QRegion(r.adjusted(-3, -3, 3, 3)).subtracted(QRegion(r));
    }
    if (!ring.isEmpty())
        viewport()->update(ring);
}

void TrpPreviewWorkspace::HorzPositionChanged(int OldPosition)
{
    FOffset.setX(HorzPosition());
    viewport()->scroll(OldPosition - HorzPosition(), 0);
}

void TrpPreviewWorkspace::VertPositionChanged(int OldPosition)
{
    FOffset.setY(VertPosition());
    viewport()->scroll(0, OldPosition - VertPosition());
    if (!FIsThumbnail && FPreview)
        FPreview->WorkspaceScrolled(this);
}

void TrpPreviewWorkspace::resizeEvent(QResizeEvent* Event)
{
    TrpScrollWin::resizeEvent(Event);
    SetHorzPage(viewport()->width());
    SetVertPage(viewport()->height());
}

void TrpPreviewWorkspace::paintEvent(QPaintEvent* Event)
{
    if (!isVisible())
        return;
    QPainter canvas(viewport());
    const QRect client = viewport()->rect();
    const int count = FPageList.Count();
    if (FLocked || !FPreviewPages || count == 0 || FPreviewPages->Count() == 0) {
        canvas.fillRect(client, FBackColor);
        return;
    }

    // Pages near the top of the view that are visible and need painting.
    const int n = FPageList.FindPage(FOffset.y(), 0);
    const int first = std::max(0, n - PagesBefore);
    const int last = std::min(count - 1, std::max(n, 0) + PagesAfter);
    const QRegion dirty = Event->region();
    QRegion background(client);
    std::vector<int> visible;
    for (int i = first; i <= last; ++i) {
        const QRect r = PageRect(i);
        if (r.top() > client.height() || r.bottom() < 0 || !r.intersects(client))
            continue;
        background -= QRegion(r);
        if (dirty.intersects(r))
            visible.push_back(i);
    }
    canvas.save();
    canvas.setClipRegion(background.intersected(dirty));
    canvas.fillRect(client, FBackColor);
    canvas.restore();

    // The current page's frame, drawn on the background around it.
    if (FPageNo >= 1 && FPageNo <= count) {
        const QRect r = PageRect(FPageNo - 1);
        const int right = r.left() + r.width();
        const int bottom = r.top() + r.height();
        QPen pen(FActiveFrameColor, 2);
        pen.setJoinStyle(Qt::MiterJoin);
        canvas.setPen(pen);
        canvas.setBrush(Qt::NoBrush);
        const QPoint points[] = { { r.left() - 1, r.top() - 1 }, { right + 1, r.top() - 1 },
            { right + 1, bottom + 1 }, { r.left() - 1, bottom + 1 }, { r.left() - 1, r.top() - 2 } };
        canvas.drawPolyline(points, 5);
    }

    for (int i : visible) {
        const QRect r = PageRect(i);
        canvas.save();
        canvas.setClipRegion(dirty.intersected(r));
        canvas.setPen(FFrameColor);
        canvas.setBrush(Qt::white);
        canvas.drawRect(r.adjusted(0, 0, -1, -1));
        try {
            FPreviewPages->DrawPage(i, &canvas, FZoom, FZoom, r.left(), r.top());
        } catch (const std::exception&) {
            // A page that cannot be rebuilt stays blank here; printing or
            // searching it reports the error.
        }
        if (!FIsThumbnail && FPreview)
            FPreview->DrawFoundMark(canvas, i, r);
        canvas.restore();
        if (FIsThumbnail) {
            QFont font(QStringLiteral("Arial"));
            font.setPointSize(8);
            canvas.setFont(font);
            const QString text = QStringLiteral(" %1 ").arg(i + 1);
            const QRect box = canvas.fontMetrics().boundingRect(text).translated(
                r.left() + 1, r.top() + 1 + canvas.fontMetrics().ascent());
            const QRect textRect(r.left() + 1, r.top() + 1, box.width(), canvas.fontMetrics().height());
            canvas.fillRect(textRect, FBackColor);
            canvas.setPen(Qt::white);
            canvas.drawText(textRect, Qt::AlignLeft | Qt::AlignTop, text);
        }
    }
}

int TrpPreviewWorkspace::PageAt(QPoint Pos) const
{
    int x = Pos.x();
    if (FRTLLanguage)
        x = ClientWidthForBounds() - x;
    return FPageList.FindPage(FOffset.y() + Pos.y(), FOffset.x() + x);
}

void TrpPreviewWorkspace::mousePressEvent(QMouseEvent* Event)
{
    if (OnMouseDown)
        OnMouseDown(Event);
    if (Event->button() == Qt::LeftButton && !FLocked && FPageList.Count() > 0) {
        FDown = true;
        FLastPoint = Event->position().toPoint();
    }
    setFocus();
}

void TrpPreviewWorkspace::mouseMoveEvent(QMouseEvent* Event)
{
    if (FIsThumbnail || FLocked)
        return;
    const QPoint pos = Event->position().toPoint();
    if (FDown) {
        // The page follows the hand.
        const QPoint delta = pos - FLastPoint;
        FLastPoint = pos;
        SetHorzPosition(HorzPosition() - delta.x());
        SetVertPosition(VertPosition() - delta.y());
        return;
    }
    if (!FPreviewPages || FPageList.Count() == 0)
        return;
    Qt::CursorShape cursor = Qt::OpenHandCursor;
    const int i = PageAt(pos);
    if (i >= 0 && i < FPreviewPages->Count() && !(FPreview && FPreview->Running())) {
        const QRect r = PageRect(i);
        FPreviewPages->ObjectOver(i, pos.x(), pos.y(), Qt::LeftButton, Qt::NoModifier, FZoom, r.left(),
            r.top(), cursor, meMouseMove);
    }
    viewport()->setCursor(cursor);
}

void TrpPreviewWorkspace::mouseReleaseEvent(QMouseEvent* Event)
{
    if (!FIsThumbnail && FPreview && FPreview->OnClick)
        FPreview->OnClick();
    if (FLocked || !FPreviewPages || FPageList.Count() == 0)
        return;
    FDown = false;
    const QPoint pos = Event->position().toPoint();
    const int i = PageAt(pos);
    if (FPreview)
        FPreview->WorkspaceClicked(this, i);
    if (FIsThumbnail || Event->button() == Qt::RightButton || i < 0 || i >= FPreviewPages->Count()
        || (FPreview && FPreview->Running()))
        return;
    const QRect r = PageRect(i);
    Qt::CursorShape cursor = viewport()->cursor().shape();
    const Qt::KeyboardModifiers shift = Event->modifiers();
    FPreviewPages->ObjectOver(
        i, pos.x(), pos.y(), Event->button(), shift, FZoom, r.left(), r.top(), cursor, meMouseUp);
    if (!FTimeOffset.isValid() || FTimeOffset.elapsed() > QApplication::doubleClickInterval()) {
        FPreviewPages->ObjectOver(
            i, pos.x(), pos.y(), Event->button(), shift, FZoom, r.left(), r.top(), cursor, meClick);
        FTimeOffset.start();
    } else {
        FPreviewPages->ObjectOver(
            i, pos.x(), pos.y(), Event->button(), shift, FZoom, r.left(), r.top(), cursor, meDbClick);
        FTimeOffset.invalidate();
    }
}

void TrpPreviewWorkspace::mouseDoubleClickEvent(QMouseEvent* Event)
{
    if (FIsThumbnail) {
        Event->accept();
        return;
    }
    // The press half of the double click still starts a drag.
    mousePressEvent(Event);
    if (FPreview && FPreview->OnDblClick)
        FPreview->OnDblClick();
}

void TrpPreviewWorkspace::wheelEvent(QWheelEvent* Event)
{
    if (!FPreview)
        return;
    const QPoint delta = Event->angleDelta();
    const bool horz = delta.y() == 0 && delta.x() != 0;
    FPreview->MouseWheelScroll(horz ? delta.x() : delta.y(), horz, Event->modifiers() & Qt::ControlModifier);
    Event->accept();
}

void TrpPreviewWorkspace::keyPressEvent(QKeyEvent* Event)
{
    if (FPreview)
        FPreview->WorkspaceKey(Event);
    else
        TrpScrollWin::keyPressEvent(Event);
}
