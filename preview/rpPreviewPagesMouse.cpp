// The mouse over a prepared page: which object is under it, the cursor and
// status texts it asks for, the report's mouse events and the hyperlinks a
// click follows.
#include "rpGraphicUtils.h"
#include "rpPage.h"
#include "rpPreview.h"
#include "rpPreviewPages.h"
#include "rpReport.h"
#include "rpView.h"
#include "rpXML.h"

#include <QPoint>
#include <QRect>
#include <utility>

namespace {

// The mouse cursor a view asks for by its stored code (the framework's
// cursor numbers, 0 the default); false for the default or an unknown code.
bool CursorShape(int Code, Qt::CursorShape& Shape)
{
    static const std::pair<int, Qt::CursorShape> Shapes[] = { { -1, Qt::BlankCursor },
        { -2, Qt::ArrowCursor }, { -3, Qt::CrossCursor }, { -4, Qt::IBeamCursor },
        { -6, Qt::SizeBDiagCursor }, { -7, Qt::SizeVerCursor }, { -8, Qt::SizeFDiagCursor },
        { -9, Qt::SizeHorCursor }, { -10, Qt::UpArrowCursor }, { -11, Qt::WaitCursor },
        { -12, Qt::DragMoveCursor }, { -13, Qt::ForbiddenCursor }, { -14, Qt::SplitHCursor },
        { -15, Qt::SplitVCursor }, { -16, Qt::DragCopyCursor }, { -17, Qt::WaitCursor },
        { -18, Qt::ForbiddenCursor }, { -19, Qt::BusyCursor }, { -20, Qt::WhatsThisCursor },
        { -21, Qt::PointingHandCursor }, { -22, Qt::SizeAllCursor }, { 150, Qt::PointingHandCursor } };
    for (const auto& [code, shape] : Shapes)
        if (code == Code) {
            Shape = shape;
            return true;
        }
    return false;
}

// A hint is "short|long"; without a bar both parts are the whole text.
QString ShortHint(const QString& Hint)
{
    const int bar = Hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? Hint : Hint.left(bar);
}

QString LongHint(const QString& Hint)
{
    const int bar = Hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? Hint : Hint.mid(bar + 1);
}

} // namespace

void TrpPreviewPages::ObjectOver(int Index, int X, int Y, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
    long double Scale, int OffsetX, int OffsetY, Qt::CursorShape& Cursor, TrpMouseEventType MouseEvent)
{
    if (Index < 0 || Index >= Count() || EngineRunning())
        return;
    TrpReportPage* page = GetPage(Index);
    if (!page)
        return;
    const long double leftMargin
        = page->MirrorMargins() && Index % 2 == 1 ? page->RightMargin() : page->LeftMargin();
    const int offX = int(rpRound(OffsetX + leftMargin * rp01cm * Scale));
    const int offY = int(rpRound(OffsetY + page->TopMargin() * rp01cm * Scale));
    TrpReport* report = Report();
    auto* preview = report ? dynamic_cast<TrpPreview*>(report->Preview()) : nullptr;
    const bool reportHints = preview && preview->UseReportHints();
    if (report) {
        report->SetProgressMessage(QString());
        report->SetProgressMessage(QString(), true);
    }

    // Topmost first: the last object drawn is the one the user sees.
    const std::vector<TrpComponent*> all = page->AllObjects();
    TrpView* hit = nullptr;
    bool hideHint = false;
    for (auto it = all.rbegin(); it != all.rend() && !hit; ++it) {
        auto* view = dynamic_cast<TrpView*>(*it);
        if (!view)
            continue;
        const long double left = view->AbsLeft();
        const long double top = view->AbsTop();
        const QRect bounds(QPoint(int(rpRound(left * Scale)) + offX, int(rpRound(top * Scale)) + offY),
            QPoint(int(rpRound((left + view->Width()) * Scale)) + offX,
                int(rpRound((top + view->Height()) * Scale)) + offY));
        if (bounds.contains(X, Y))
            hit = view;
        else if (view->ShowHint() && reportHints)
            hideHint = true;
    }
    if (hideHint && preview)
        preview->HideObjectHint();

    if (!hit) {
        if (FLastObjectOver && report)
            report->DoMouseLeave(FLastObjectOver);
        FLastObjectOver = nullptr;
        return;
    }
    if (report && FLastObjectOver && FLastObjectOver != hit)
        report->DoMouseLeave(FLastObjectOver);
    if (hit != FLastObjectOver) {
        if (report)
            report->DoMouseEnter(hit);
        FLastObjectOver = hit;
    }

    const bool ownCursor = CursorShape(hit->Cursor(), Cursor);
    const QString link = hit->Hyperlink()->Value();
    if (!link.isEmpty()) {
        if (report)
            report->SetProgressMessage(link);
        if (!ownCursor)
            Cursor = Qt::PointingHandCursor;
    }
    if (!hit->Hint().isEmpty() && hit->ShowHint() && reportHints) {
        report->SetProgressMessage(LongHint(hit->Hint()), true);
        preview->ShowObjectHint(ShortHint(hit->Hint()), QPoint(X, Y));
    }

    hit->DoMouseMove(X, Y, Cursor);
    if (MouseEvent == meMouseUp) {
        hit->DoMouseUp(X, Y, Button, Shift);
        if (report)
            report->DoMouseUp(hit, Button, Shift);
    }
    bool modified = false;
    const bool click = MouseEvent == meClick || MouseEvent == meDbClick;
    if (click) {
        if (report)
            report->DoPreviewClick(hit, Button, Shift, modified, MouseEvent == meDbClick);
        // The click handler may have rebuilt the page and with it the object.
        if (FLastObjectOver)
            FLastObjectOver->DoMouseClick(MouseEvent == meDbClick, modified);
    }

    if (!click || !FLastObjectOver) {
        if (report && report->OnMouseOverObject && FLastObjectOver)
            report->OnMouseOverObject(FLastObjectOver, Button, Shift, Cursor);
    } else if (MouseEvent == meClick && !link.isEmpty()) {
        FollowHyperlink(*hit->Hyperlink(), preview);
    }

    if (modified) {
        ModifyPage(Index, page);
        if (preview)
            preview->Repaint();
        FLastObjectOver = nullptr;
    }
}

void TrpPreviewPages::FollowHyperlink(const TrpHyperlink& Link, TrpPreview* Preview)
{
    const QString value = Link.Value();
    switch (Link.Kind()) {
    case hkURL:
        if (Preview)
            Preview->OpenURL(value);
        break;
    case hkAnchor:
        if (const TrpXMLItem* anchor = FindAnchor(value); anchor && Preview)
            Preview->SetPosition(GetAnchorPage(value), anchor->Prop(QStringLiteral("top")).toInt());
        break;
    case hkPageNumber:
        if (bool ok = false; Preview) {
            const int pageNo = value.trimmed().toInt(&ok);
            if (ok)
                Preview->SetPageNo(pageNo);
        }
        break;
    default:
        // Detail reports and detail pages open in preview tabs of their own,
        // which this program's reports do not use.
        break;
    }
}
