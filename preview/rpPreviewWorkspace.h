// The page area of the preview (and, in thumbnail mode, the thumbnail pane):
// paints the laid-out pages of the store at its zoom and turns the mouse
// into scrolling, page changes and calls to the report objects under it.
#pragma once

#include "rpPageList.h"
#include "rpScrollWin.h"

#include <QColor>
#include <QElapsedTimer>
#include <QPoint>

#include <functional>

class TrpCustomPreviewPages;
class TrpPreview;

class TrpPreviewWorkspace : public TrpScrollWin {
    Q_OBJECT
public:
    TrpPreviewWorkspace(TrpPreview* Preview, bool IsThumbnail, QWidget* Parent = nullptr);

    // Scrolls so that the sheet of page PageN (1-based) shows Top report
    // pixels below its printable area's top, 10 pixels below the edge.
    void SetPosition(int PageN, int Top);
    // The inverse of SetPosition for the current page; 0 without a page.
    int GetTopPosition();
    void AddPage(long double AWidth, long double AHeight);
    void ClearPageList();
    void CalcPageBounds(int ClientWidth);
    // Width the layout may use: the control's width less a scroll bar and 26.
    int AvailableWidth() const;
    // Scroll ranges from the laid-out pages (plus a 10-pixel margin), then
    // the positions set again so that they are clamped.
    void UpdateScrollRanges();
    // The page's rectangle in client coordinates (scroll offset applied).
    QRect PageRect(int Index) const;
    // Repaints only the frames of the old and the new current page.
    void RepaintFrames(int OldPageNo);

    TrpPageList& PageList() { return FPageList; }
    TrpCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
    void SetPreviewPages(TrpCustomPreviewPages* Value) { FPreviewPages = Value; }
    long double Zoom() const { return FZoom; }
    void SetZoom(long double Value) { FZoom = Value; }
    int PageNo() const { return FPageNo; }
    void SetPageNo(int Value) { FPageNo = Value; }
    bool Locked() const { return FLocked; }
    void SetLocked(bool Value) { FLocked = Value; }
    bool DisableUpdate() const { return FDisableUpdate; }
    void SetDisableUpdate(bool Value) { FDisableUpdate = Value; }
    bool IsThumbnail() const { return FIsThumbnail; }
    bool RTLLanguage() const { return FRTLLanguage; }
    void SetRTLLanguage(bool Value) { FRTLLanguage = Value; }
    QPoint Offset() const { return FOffset; }
    QColor BackColor() const { return FBackColor; }
    void SetBackColor(QColor Value) { FBackColor = Value; }
    QColor FrameColor() const { return FFrameColor; }
    void SetFrameColor(QColor Value) { FFrameColor = Value; }
    QColor ActiveFrameColor() const { return FActiveFrameColor; }
    void SetActiveFrameColor(QColor Value) { FActiveFrameColor = Value; }
    bool Dragging() const { return FDown; }

    // Called first on every button press.
    std::function<void(QMouseEvent*)> OnMouseDown;

protected:
    void HorzPositionChanged(int OldPosition) override;
    void VertPositionChanged(int OldPosition) override;
    void paintEvent(QPaintEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void mousePressEvent(QMouseEvent* Event) override;
    void mouseMoveEvent(QMouseEvent* Event) override;
    void mouseReleaseEvent(QMouseEvent* Event) override;
    void mouseDoubleClickEvent(QMouseEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;

private:
    int PageAt(QPoint Pos) const;
    int ClientWidthForBounds() const;

    QColor FActiveFrameColor = QColor(0xFF, 0xC7, 0x3C); // $3CC7FF, stored blue-green-red
    QColor FBackColor = QColor(0x80, 0x80, 0x80);
    bool FDisableUpdate = false;
    bool FDown = false;
    QColor FFrameColor = QColor(0x60, 0x60, 0x60);
    bool FIsThumbnail;
    QPoint FLastPoint;
    bool FLocked = false;
    QPoint FOffset;
    // Time of the last click, to tell a click from a double click on objects.
    QElapsedTimer FTimeOffset;
    TrpPageList FPageList;
    int FPageNo = 1;
    TrpPreview* FPreview;
    TrpCustomPreviewPages* FPreviewPages = nullptr;
    long double FZoom = 1.0L;
    bool FRTLLanguage = false;
};
