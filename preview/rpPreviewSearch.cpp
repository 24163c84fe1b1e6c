// Text search in the preview: the Find Text dialog, F3, the scroll to the
// page and the place of the hit, and the inverted mark over it.
#include "rpPreview.h"

#include "MessageBoxes.h"
#include "rpCustomPreviewPages.h"
#include "rpPreviewWorkspace.h"
#include "rpRes.h"
#include "rpSearchDialog.h"
#include "rpUnits.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPainter>

namespace {
QRect Scaled(const QRect& R, long double Zoom)
{
    return QRect(QPoint(int(rpRound(R.left() * Zoom)), int(rpRound(R.top() * Zoom))),
        QPoint(int(rpRound(R.right() * Zoom)), int(rpRound(R.bottom() * Zoom))));
}
} // namespace

void TrpPreview::Find()
{
    if (FRunning || !FPreviewPages)
        return;
    TrpSearchDialog dialog(FSearchDialogText, this);
    const bool ok = OnRunSearchDialog ? OnRunSearchDialog(dialog) : dialog.exec() == QDialog::Accepted;
    if (ok) {
        FSearchDialogText = dialog.TextE->text();
        FSearch.Start(FSearchDialogText, dialog.CaseCB->isChecked(),
            dialog.TopCB->isChecked() ? 0 : std::max(0, FPageNo - 1));
        RunSearch();
    }
    FAllowF3 = true;
}

void TrpPreview::FindNext()
{
    if (!FAllowF3 || FRunning || !FPreviewPages || !FSearch.Started())
        return;
    RunSearch();
    FAllowF3 = true;
}

bool TrpPreview::FindText(const QString& SearchString, bool FromTop, bool IsCaseSensitive)
{
    if (FRunning || !FPreviewPages)
        return false;
    FSearch.Start(SearchString, IsCaseSensitive, FromTop ? 0 : std::max(0, FPageNo - 1));
    RunSearch();
    FAllowF3 = true;
    return FSearch.Found();
}

void TrpPreview::FindTextClear()
{
    FSearch.Reset();
    FWorkspace->viewport()->update();
}

void TrpPreview::RunSearch()
{
    bool found = false;
    try {
        found = FSearch.Next(*FPreviewPages);
    } catch (...) {
        FWorkspace->viewport()->update();
        throw;
    }
    if (found)
        ScrollToHit();
    FWorkspace->viewport()->update();
    if (!found && FDialogs)
        ShowInformation(*FDialogs, rpGet(QStringLiteral("clStrNotFound")));
}

void TrpPreview::ScrollToHit()
{
    const int index = FSearch.LastFoundPage();
    const QPoint offset = FWorkspace->Offset();
    const QRect page = FWorkspace->PageRect(index).translated(offset);
    const QRect hit = Scaled(FSearch.HitRect(), FZoom);
    const int clientW = FWorkspace->viewport()->width();
    const int clientH = FWorkspace->viewport()->height();
    if (page.top() + hit.top() < offset.y() || page.top() + hit.bottom() > offset.y() + clientH)
        FWorkspace->SetVertPosition(page.top() + hit.bottom() - clientH + 20);
    if (page.left() + hit.left() < offset.x() || page.left() + hit.right() > offset.x() + clientW)
        FWorkspace->SetHorzPosition(page.left() + hit.right() - clientW + 20);
}

void TrpPreview::DrawFoundMark(QPainter& Canvas, int Index, const QRect& Page) const
{
    if (!FSearch.Found() || Index != FSearch.LastFoundPage())
        return;
    const QRect hit = Scaled(FSearch.HitRect(), FZoom);
    // Every row from the top to the bottom of the hit, inverted, one pixel
    // wider than the text on each side.
    Canvas.save();
    Canvas.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    Canvas.fillRect(QRect(QPoint(Page.left() + hit.left() - 1, Page.top() + hit.top()),
                        QPoint(Page.left() + hit.right(), Page.top() + hit.bottom())),
        Qt::white);
    Canvas.restore();
}
