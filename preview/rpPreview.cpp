// The preview control.
//
// Design. The control shows one store (FPreviewPages, owned by FReport or by
// a tab) in two workspaces: the page area at FZoom and the thumbnail pane at
// 0.1. States:
//
//   not initialised --Init--> idle <--progress start / stop--> running
//        idle --Lock--> locked --Unlock--> idle (pages laid out again)
//
// Invariants (checked by InvariantsHold):
//  1. 0 <= FPageNo <= PageCount(), and FPageNo is 0 only without pages;
//     both workspaces hold the same page number as the control.
//  2. The page area's list holds one item per page of the store, except
//     while running, when it may hold fewer (the first 50 pages are added
//     as they come, the rest at the stop).
//  3. The workspaces are locked exactly when the control is.
//  4. The control never owns the store it shows unless a tab owns the
//     report; the report's own store dies with the report, which tells the
//     control first (ReportDestroyed).
#include "rpPreview.h"

#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpEngine.h"
#include "rpPreviewButtons.h"
#include "rpPreviewWorkspace.h"
#include "rpRes.h"

#include <QApplication>
#include <QDesktopServices>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScrollBar>
#include <QSplitter>
#include <QTabBar>
#include <QToolTip>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int MessageWidth = 260;
constexpr int MessageHeight = 75;
// Pages added one by one to the layout while a report is prepared.
constexpr int PagesShownWhileRunning = 50;

// Mouse releases inside the image of the selected tab close it.
class TabCloseFilter : public QObject {
public:
    TabCloseFilter(QObject* Parent, std::function<void(QPoint)> OnRelease)
        : QObject(Parent)
        , FOnRelease(std::move(OnRelease))
    {
    }

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override
    {
        if (Event->type() == QEvent::MouseButtonRelease)
            FOnRelease(static_cast<QMouseEvent*>(Event)->position().toPoint());
        return QObject::eventFilter(Watched, Event);
    }

private:
    std::function<void(QPoint)> FOnRelease;
};
} // namespace

TrpPreview::TrpPreview(QWidget* Parent)
    : QWidget(Parent)
{
    FOutlinePopup = new QMenu(this);
    QAction* collapse
        = FOutlinePopup->addAction(QIcon(rpPreviewButtonImage(piCollapse)), rpGet(QStringLiteral("601")));
    QAction* expand
        = FOutlinePopup->addAction(QIcon(rpPreviewButtonImage(piExpand)), rpGet(QStringLiteral("600")));

    FTabs = new QTabBar(this);
    FTabs->setFixedHeight(22);
    FTabs->hide();
    FTabs->installEventFilter(new TabCloseFilter(this, [this](QPoint Pos) { TabsReleased(Pos); }));

    FSplitter = new QSplitter(Qt::Horizontal, this);
    FSplitter->setHandleWidth(4);
    FSplitter->setChildrenCollapsible(false);
    FSidePane = new QWidget(FSplitter);
    auto* sideLayout = new QVBoxLayout(FSidePane);
    sideLayout->setContentsMargins(0, 0, 0, 0);
    sideLayout->setSpacing(0);
    FOutline = new QTreeWidget(FSidePane);
    FOutline->setHeaderHidden(true);
    FOutline->setFrameStyle(QFrame::NoFrame);
    FOutline->setContextMenuPolicy(Qt::CustomContextMenu);
    FOutline->hide();
    FThumbnail = new TrpPreviewWorkspace(this, true, FSidePane);
    FThumbnail->hide();
    sideLayout->addWidget(FOutline);
    sideLayout->addWidget(FThumbnail);
    FSidePane->hide();
    FWorkspace = new TrpPreviewWorkspace(this, false, FSplitter);
    FWorkspace->SetBorderSingle(false);
    FThumbnail->SetBorderSingle(false);
    FSplitter->addWidget(FSidePane);
    FSplitter->addWidget(FWorkspace);
    FSplitter->setStretchFactor(1, 1);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(FTabs);
    layout->addWidget(FSplitter);

    FMessagePanel = new QFrame(this);
    static_cast<QFrame*>(FMessagePanel)->setFrameStyle(QFrame::Panel | QFrame::Raised);
    FMessagePanel->setAutoFillBackground(true);
    FMessagePanel->resize(MessageWidth, MessageHeight);
    FMessageLabel = new QLabel(FMessagePanel);
    FMessageLabel->setGeometry(4, 20, 255, 20);
    FMessageLabel->setAlignment(Qt::AlignCenter);
    FCancelButton = new QPushButton(rpGet(QStringLiteral("2")), FMessagePanel);
    FCancelButton->setGeometry(92, 44, 75, 25);
    FCancelButton->hide();
    FMessagePanel->hide();

    connect(collapse, &QAction::triggered, this, [this] {
        FOutline->collapseAll();
        FWorkspace->setFocus();
    });
    connect(expand, &QAction::triggered, this, [this] {
        FOutline->expandAll();
        FOutline->scrollToTop();
        FWorkspace->setFocus();
    });
    connect(FOutline, &QWidget::customContextMenuRequested, this,
        [this](QPoint Pos) { FOutlinePopup->popup(FOutline->viewport()->mapToGlobal(Pos)); });
    connect(FOutline, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* Item) { OutlineClick(Item); });
    connect(FTabs, &QTabBar::tabBarClicked, this, [this](int Index) {
        if (Index >= 0 && Index != FTabItems.CurTab())
            SwitchTab(Index);
    });
    connect(FSplitter, &QSplitter::splitterMoved, this, [this] { UpdatePages(); });
    connect(FCancelButton, &QPushButton::clicked, this, [this] { CancelButtonClick(); });
    FWorkspace->OnMouseDown = [this](QMouseEvent* Event) {
        if (OnMouseDown)
            OnMouseDown(Event);
    };

    resize(100, 100);
}

TrpPreview::~TrpPreview()
{
    ClearAllTabs();
    if (FReport && FReport->Preview() == this)
        FReport->SetPreview(nullptr);
}

bool TrpPreview::InvariantsHold() const
{
    const int count = PageCount();
    if (FPageNo < 0 || FPageNo > count || (count > 0 && FPageNo == 0))
        return false;
    if (FWorkspace->PageNo() != FPageNo || FThumbnail->PageNo() != FPageNo)
        return false;
    if (FWorkspace->Locked() != FLocked || FThumbnail->Locked() != FLocked)
        return false;
    if (!FRunning && !FLocked && count > 0 && FWorkspace->PageList().Count() != count)
        return false;
    return true;
}

// ---------------------------------------------------------------- Init

bool TrpPreview::Init(TrpReport* aReport, TrpCustomPreviewPages* aPrevPages)
{
    if (FCalledFromPreview)
        return false;
    if (FInitialized && FEachReportInTab && aReport != FReport) {
        AddPreviewTabOrSwitch(aReport, aReport->ReportOptions()->Name(), QString(), false);
        return false;
    }
    FReport = aReport;
    FPreviewPages = aPrevPages;
    FWorkspace->SetPreviewPages(aPrevPages);
    FThumbnail->SetPreviewPages(aPrevPages);
    FAllowF3 = false;
    FSearch.Reset();
    FSearch.Invalidate();

    if (FInitialized) {
        TrpPreviewTabItem& first = FTabItems.Items(0);
        first.Report = aReport;
        first.PreviewPages = aPrevPages;
        FTabItems.SetCurTab(-1);
        SwitchTab(0);
        return true;
    }
    TrpPreviewTabItem& item = FTabItems.Add();
    item.Name = aReport ? aReport->ReportOptions()->Name() : QString();
    item.Report = aReport;
    item.PreviewPages = aPrevPages;
    FTabs->addTab(QIcon(rpPreviewButtonImage(piCloseTab)), item.Name);
    FTabItems.SetCurTab(0);
    FInitialized = true;
    if (aReport) {
        const TrpPreviewOptions& options = *aReport->PreviewOptions();
        FOutlineWidth = options.OutlineWidth;
        FOutlineVisible = options.OutlineVisible;
        FThumbnailVisible = options.ThumbnailVisible && !FOutlineVisible;
        UpdateSidePanes();
        FZoomMode = options.ZoomMode;
        FZoom = std::max(options.Zoom, 0.25L);
    }
    UpdatePages();
    UpdateOutline();
    First();
    Q_ASSERT(InvariantsHold());
    return true;
}

void TrpPreview::SetReport(TrpReport* aReport, TrpCustomPreviewPages* aPrevPages)
{
    FReport = aReport;
    FPreviewPages = aPrevPages;
    FWorkspace->SetPreviewPages(aPrevPages);
    FThumbnail->SetPreviewPages(aPrevPages);
}

void TrpPreview::UnInit(TrpCustomPreviewPages* aPreviewPages)
{
    for (int i = FTabItems.Count() - 1; i >= 0; --i)
        if (FTabItems.Items(i).PreviewPages == aPreviewPages) {
            FTabItems.Delete(i);
            FTabs->removeTab(i);
        }
    if (FTabItems.Count() == 0) {
        FInitialized = false;
        FReport = nullptr;
        FPreviewPages = nullptr;
        FWorkspace->SetPreviewPages(nullptr);
        FThumbnail->SetPreviewPages(nullptr);
        FWorkspace->ClearPageList();
        FThumbnail->ClearPageList();
        FPageNo = 0;
        FWorkspace->SetPageNo(0);
        FThumbnail->SetPageNo(0);
        FWorkspace->viewport()->update();
        FThumbnail->viewport()->update();
    } else if (FTabItems.CurTab() < 0 || FTabItems.Items(FTabItems.CurTab()).PreviewPages == aPreviewPages
        || FPreviewPages == aPreviewPages) {
        FTabItems.SetCurTab(-1);
        SwitchTab(0);
    }
    FTabs->setVisible(FTabItems.Count() > 1);
}

void TrpPreview::ReportDestroyed(TrpReport* aReport)
{
    for (int i = FTabItems.Count() - 1; i >= 1; --i)
        if (FTabItems.Items(i).Report == aReport) {
            (void)FTabItems.Items(i).OwnedReport.release();
            FTabItems.Delete(i);
            FTabs->removeTab(i);
        }
    if (FReport != aReport)
        return;
    FReport = nullptr;
    FPreviewPages = nullptr;
    FWorkspace->SetPreviewPages(nullptr);
    FThumbnail->SetPreviewPages(nullptr);
    FWorkspace->ClearPageList();
    FThumbnail->ClearPageList();
    FOutline->clear();
    if (FTabItems.Count() > 0) {
        FTabItems.Items(0).Report = nullptr;
        FTabItems.Items(0).PreviewPages = nullptr;
    }
    FPageNo = 0;
    FWorkspace->SetPageNo(0);
    FThumbnail->SetPageNo(0);
    FWorkspace->viewport()->update();
    FThumbnail->viewport()->update();
}

// ---------------------------------------------------------------- pages

int TrpPreview::PageCount() const
{
    return FPreviewPages ? FPreviewPages->Count() : 0;
}

void TrpPreview::SetPageNo(int Value)
{
    const int count = PageCount();
    Value = count == 0 ? 0 : std::clamp(Value, 1, count);
    const int old = FPageNo;
    FPageNo = Value;
    FWorkspace->SetPageNo(Value);
    FThumbnail->SetPageNo(Value);
    if (old != Value) {
        FWorkspace->RepaintFrames(old);
        FThumbnail->RepaintFrames(old);
    }
    for (TrpPreviewWorkspace* ws : { FWorkspace, FThumbnail })
        if (!ws->DisableUpdate() && Value >= 1 && Value <= ws->PageList().Count())
            ws->SetVertPosition(ws->PageList().Items(Value - 1).OffsetY - 10);
    DoPageChanged();
}

void TrpPreview::First()
{
    SetPageNo(1);
}

void TrpPreview::Prior()
{
    SetPageNo(FPageNo - 1);
}

void TrpPreview::Next()
{
    SetPageNo(FPageNo + 1);
}

void TrpPreview::Last()
{
    SetPageNo(PageCount());
}

void TrpPreview::DoPageChanged()
{
    if (OnPageChanged)
        OnPageChanged(this, FPageNo);
}

void TrpPreview::SetPosition(int PageN, int Top)
{
    const int count = PageCount();
    if (count == 0)
        return;
    PageN = std::clamp(PageN, 1, count);
    // The view goes there itself; setting the page must not move it again.
    FWorkspace->SetDisableUpdate(true);
    SetPageNo(PageN);
    FWorkspace->SetDisableUpdate(false);
    FWorkspace->SetPosition(PageN, Top);
}

int TrpPreview::GetTopPosition()
{
    return FWorkspace->GetTopPosition();
}

void TrpPreview::SetZoom(long double Value)
{
    FZoom = std::max(Value, 0.25L);
    FZoomMode = zmDefault;
    UpdatePages();
}

void TrpPreview::SetZoomMode(TrpZoomMode Value)
{
    FZoomMode = Value;
    UpdatePages();
}

void TrpPreview::MouseWheelScroll(int Delta, bool Horz, bool Zoom)
{
    if (Delta == 0)
        return;
    if (Zoom) {
        long double z = FZoom + (Delta > 0 ? 0.1L : -0.1L);
        if (z < 0.3L)
            z = 0.3L;
        SetZoom(z);
        return;
    }
    const int step = Delta > 0 ? -20 : 20;
    if (Horz)
        FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() + step);
    else
        FWorkspace->SetVertPosition(FWorkspace->VertPosition() + step);
}

void TrpPreview::UpdatePages()
{
    if (FLocked || PageCount() == 0)
        return;
    const bool allowF3 = FAllowF3;
    const long double oldZoom = FZoom;
    const int oldWidth = FLayoutWidth;
    const int oldCount = FWorkspace->PageList().Count();
    FAllowF3 = false;
    FSearch.Invalidate();
    if (FPageNo < 1)
        FPageNo = 1;
    const QPointF size = FPreviewPages->GetPageSize(FPageNo - 1);
    const long double w = size.x();
    const long double h = size.y();
    if (h == 0 || w == 0)
        return;
    const int available = FWorkspace->AvailableWidth();
    switch (FZoomMode) {
    case zmWholePage:
        if (h / std::max(1, height()) >= w / std::max(1, width()))
            FZoom = (FWorkspace->height() - 26) / h;
        else
            FZoom = available / w;
        break;
    case zmPageWidth:
        FZoom = available / w;
        break;
    case zmDefault:
    case zmManyPages:
        break;
    }
    if (FZoom <= 0)
        FZoom = 0.25L;
    FWorkspace->SetZoom(FZoom);
    FThumbnail->SetZoom(0.1L);

    const int count = PageCount();
    FWorkspace->ClearPageList();
    if (!FRunning)
        FThumbnail->ClearPageList();
    for (int i = 0; i < count; ++i) {
        const QPointF pageSize = FPreviewPages->GetPageSize(i);
        FWorkspace->AddPage(pageSize.x(), pageSize.y());
        if (!FRunning)
            FThumbnail->AddPage(pageSize.x(), pageSize.y());
    }
    FWorkspace->CalcPageBounds(available);
    if (!FRunning)
        FThumbnail->CalcPageBounds(FThumbnail->AvailableWidth());
    UpdateScrollRanges();
    // Whole page: the current page's top goes to the top of the view in the
    // new layout, so the page that fits is the one shown.
    if (FZoomMode == zmWholePage && FPageNo <= FWorkspace->PageList().Count())
        FWorkspace->SetVertPosition(FWorkspace->PageList().Items(FPageNo - 1).OffsetY - 10);
    if (!FRefreshing) {
        FWorkspace->viewport()->update();
        FThumbnail->viewport()->update();
    }
    // A layout that came out as it was (the window's own layout settling
    // around an unchanged page area) keeps F3.
    FLayoutWidth = available;
    if (FZoom == oldZoom && available == oldWidth && count == oldCount)
        FAllowF3 = allowF3;
    if (OnZoomChanged)
        OnZoomChanged();
}

void TrpPreview::UpdateScrollRanges()
{
    // The thumbnail pane's list is filled only when not running.
    FWorkspace->UpdateScrollRanges();
    FThumbnail->UpdateScrollRanges();
}

void TrpPreview::resizeEvent(QResizeEvent* Event)
{
    QWidget::resizeEvent(Event);
    if (FMessagePanel->isVisible())
        FMessagePanel->move((width() - MessageWidth) / 2, (height() - MessageHeight) / 3);
    UpdatePages();
}

void TrpPreview::WorkspaceScrolled(TrpPreviewWorkspace* Sender)
{
    if (Sender->DisableUpdate() || PageCount() == 0)
        return;
    const int i = Sender->PageList().FindPage(Sender->Offset().y(), 0);
    Sender->SetDisableUpdate(true);
    SetPageNo(i + 1);
    Sender->SetDisableUpdate(false);
}

void TrpPreview::WorkspaceClicked(TrpPreviewWorkspace* Sender, int PageIndex)
{
    if (PageIndex < 0)
        return;
    Sender->SetDisableUpdate(true);
    SetPageNo(PageIndex + 1);
    Sender->SetDisableUpdate(false);
}

void TrpPreview::WorkspaceKey(QKeyEvent* Event)
{
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    switch (Event->key()) {
    case Qt::Key_Up:
        FWorkspace->SetVertPosition(FWorkspace->VertPosition() - 8);
        break;
    case Qt::Key_Down:
        FWorkspace->SetVertPosition(FWorkspace->VertPosition() + 8);
        break;
    case Qt::Key_Left:
        FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() - 8);
        break;
    case Qt::Key_Right:
        FWorkspace->SetHorzPosition(FWorkspace->HorzPosition() + 8);
        break;
    case Qt::Key_PageUp:
        if (ctrl)
            Prior();
        else
            FWorkspace->SetVertPosition(FWorkspace->VertPosition() - 300);
        break;
    case Qt::Key_PageDown:
        if (ctrl)
            Next();
        else
            FWorkspace->SetVertPosition(FWorkspace->VertPosition() + 300);
        break;
    case Qt::Key_Home:
        First();
        break;
    case Qt::Key_End:
        Last();
        break;
    default:
        Event->ignore();
        return;
    }
    Event->accept();
}

// ---------------------------------------------------------------- lock

void TrpPreview::Lock()
{
    FLocked = true;
    FWorkspace->SetLocked(true);
    FThumbnail->SetLocked(true);
}

void TrpPreview::Unlock()
{
    HideMessage();
    FLocked = false;
    FWorkspace->SetLocked(false);
    FThumbnail->SetLocked(false);
    UpdatePages();
    FWorkspace->viewport()->update();
    FThumbnail->viewport()->update();
}

void TrpPreview::ShowMessage(const QString& s)
{
    FMessagePanel->move((width() - MessageWidth) / 2, (height() - MessageHeight) / 3);
    FMessageLabel->setText(s);
    FMessagePanel->show();
    FMessagePanel->raise();
    FMessagePanel->repaint();
}

void TrpPreview::HideMessage()
{
    FMessagePanel->hide();
    FCancelButton->hide();
}

void TrpPreview::CancelButtonClick()
{
    if (FReport)
        FReport->SetTerminated(true);
}

void TrpPreview::Cancel()
{
    CancelButtonClick();
}

// ---------------------------------------------------------------- progress

void TrpPreview::ClearControl()
{
    if (FPreviewPages) {
        // Painting must not read the store while it is emptied.
        const bool wasLocked = FLocked;
        Lock();
        FPreviewPages->Clear();
        FLocked = wasLocked;
        FWorkspace->SetLocked(wasLocked);
        FThumbnail->SetLocked(wasLocked);
    }
    FWorkspace->ClearPageList();
    FThumbnail->ClearPageList();
    UpdateOutline();
    FPageNo = 1;
    SetPageNo(1);
    for (TrpPreviewWorkspace* ws : { FWorkspace, FThumbnail }) {
        ws->SetHorzRange(0);
        ws->SetVertRange(0);
        ws->SetHorzPosition(0);
        ws->SetVertPosition(0);
        ws->viewport()->update();
    }
}

void TrpPreview::InternalOnProgressStart(TrpReport*, TrpProgressType, int)
{
    if (FRefreshing)
        return;
    ClearControl();
    FRunning = true;
    if (OnButtonsChanged)
        OnButtonsChanged();
}

void TrpPreview::InternalOnProgress(TrpReport*, TrpProgressType, int Progress)
{
    if (FRefreshing) {
        DoPageChanged();
        return;
    }
    const TrpCustomEngine* engine = FReport ? FReport->Engine() : nullptr;
    const bool finalPass = !engine || engine->FinalPass();
    if (Progress < PagesShownWhileRunning && FPreviewPages && Progress < FPreviewPages->Count()
        && FWorkspace->PageList().Count() == Progress) {
        const QPointF size = FPreviewPages->GetPageSize(Progress);
        FWorkspace->AddPage(size.x(), size.y());
        FWorkspace->CalcPageBounds(FWorkspace->AvailableWidth());
    }
    if (Progress == 0) {
        SetPageNo(1);
        if (finalPass)
            UpdatePages();
        FFirstPageTime.start();
        if (OnButtonsChanged)
            OnButtonsChanged();
    } else if (Progress == 1) {
        const qint64 t = FFirstPageTime.isValid() ? FFirstPageTime.elapsed() : 0;
        FTick = t < 5 ? 50 : t < 10 ? 20 : 5;
        SetPageNo(1);
        if (finalPass)
            UpdatePages();
    } else if (FTick > 0 && uint32_t(Progress) % FTick == 0) {
        DoPageChanged();
        if (finalPass)
            UpdateScrollRanges();
    }
    QCoreApplication::processEvents();
}

void TrpPreview::InternalOnProgressStop(TrpReport*, TrpProgressType, int)
{
    FRunning = false;
    if (FRefreshing) {
        DoPageChanged();
        return;
    }
    DoPageChanged();
    UpdateScrollRanges();
    UpdatePages();
    UpdateOutline();
    if (OnButtonsChanged)
        OnButtonsChanged();
}

void TrpPreview::RefreshReport()
{
    if (!FReport || !FPreviewPages)
        return;
    const int horz = FWorkspace->HorzPosition();
    const int vert = FWorkspace->VertPosition();
    const int page = FPageNo;
    Lock();
    FRefreshing = true;
    try {
        PrepareAgain();
    } catch (...) {
        FRefreshing = false;
        Unlock();
        throw;
    }
    Unlock();
    const int count = PageCount();
    FWorkspace->SetDisableUpdate(true);
    SetPageNo(std::min(page, count));
    FWorkspace->SetDisableUpdate(false);
    UpdatePages();
    UpdateOutline();
    FRefreshing = false;
    FWorkspace->SetHorzPosition(horz);
    FWorkspace->SetVertPosition(vert);
    FWorkspace->viewport()->update();
    FThumbnail->viewport()->update();
    if (count < page)
        Last();
}

// ---------------------------------------------------------------- objects

void TrpPreview::OpenURL(const QString& Target)
{
    if (Target.isEmpty())
        return;
    if (OnOpenURL)
        OnOpenURL(Target);
    else
        QDesktopServices::openUrl(QUrl::fromUserInput(Target));
}

void TrpPreview::ShowObjectHint(const QString& Text, QPoint At)
{
    QToolTip::showText(FWorkspace->viewport()->mapToGlobal(At), Text, FWorkspace->viewport());
}

void TrpPreview::HideObjectHint()
{
    QToolTip::hideText();
}

void TrpPreview::Repaint()
{
    FWorkspace->viewport()->update();
    FThumbnail->viewport()->update();
}

// ---------------------------------------------------------------- commands

void TrpPreview::Print()
{
    if (FRunning || !FPreviewPages)
        return;
    FPreviewPages->SetCurPreviewPage(FPageNo);
    try {
        FPreviewPages->Print();
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

void TrpPreview::Edit()
{
    // Editing a page needs a report designer; this program has none, so the
    // request is always answered "not changed".
}

void TrpPreview::Clear()
{
    if (FRunning)
        return;
    ClearControl();
}

void TrpPreview::AddPage()
{
    if (FRunning || !FPreviewPages)
        return;
    FPreviewPages->AddEmptyPage(FPageNo - 1);
    UpdatePages();
}

void TrpPreview::DeletePage()
{
    if (FRunning || !FPreviewPages)
        return;
    FPreviewPages->DeletePage(FPageNo - 1);
    // Deleting page 2 of 3 shows page 1.
    if (PageCount() <= FPageNo)
        FPageNo = std::max(PageCount() > 0 ? 1 : 0, FPageNo - 1);
    FWorkspace->SetPageNo(FPageNo);
    FThumbnail->SetPageNo(FPageNo);
    UpdatePages();
    DoPageChanged();
}

void TrpPreview::LoadFromFile(const QString& FileName)
{
    if (FRunning || !FPreviewPages)
        return;
    Lock();
    ShowMessage(rpGet(QStringLiteral("clLoading")));
    bool loaded = false;
    try {
        // A name that does not exist loads nothing and is no error.
        loaded = FPreviewPages->LoadFromFile(FileName, false);
    } catch (...) {
        // The store is as it was: show it as before.
        Unlock();
        throw;
    }
    Unlock();
    if (!loaded)
        return;
    FindTextClear();
    FPageNo = 0;
    SetPageNo(1);
    UpdateOutline();
}

void TrpPreview::SaveToFile(const QString& FileName)
{
    if (FRunning || !FPreviewPages)
        return;
    Lock();
    ShowMessage(rpGet(QStringLiteral("clSaving")));
    try {
        FPreviewPages->SaveToFile(FileName);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}

bool TrpPreview::Export(const QString& Filter)
{
    if (FRunning || !FPreviewPages)
        return false;
    bool result = false;
    try {
        result = FPreviewPages->Export(Filter);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
    return result;
}

// ---------------------------------------------------------------- panes

void TrpPreview::UpdateSidePanes()
{
    FOutline->setVisible(FOutlineVisible);
    FThumbnail->setVisible(FThumbnailVisible);
    FSidePane->setVisible(FOutlineVisible || FThumbnailVisible);
    if (FSidePane->isVisibleTo(this))
        FSplitter->setSizes({ FOutlineWidth, std::max(1, FSplitter->width() - FOutlineWidth - 4) });
}

void TrpPreview::SetOutlineVisible(bool Value)
{
    FOutlineVisible = Value;
    if (Value)
        FThumbnailVisible = false;
    UpdateSidePanes();
    if (OnPanesChanged)
        OnPanesChanged();
    UpdatePages();
}

void TrpPreview::SetThumbnailVisible(bool Value)
{
    FThumbnailVisible = Value;
    if (Value)
        FOutlineVisible = false;
    UpdateSidePanes();
    if (OnPanesChanged)
        OnPanesChanged();
    UpdatePages();
    if (Value && FPageNo >= 1 && FPageNo <= FThumbnail->PageList().Count())
        FThumbnail->SetVertPosition(FThumbnail->PageList().Items(FPageNo - 1).OffsetY - 10);
}

void TrpPreview::SetOutlineWidth(int Value)
{
    FOutlineWidth = Value;
    UpdateSidePanes();
}

void TrpPreview::SetRTLPreview(bool Value)
{
    FWorkspace->SetRTLLanguage(Value);
    FWorkspace->viewport()->update();
}

void TrpPreview::UpdateOutline()
{
    FOutline->clear();
    TrpCustomOutline* outline = FPreviewPages ? FPreviewPages->Outline() : nullptr;
    if (!outline)
        return;
    // Depth first: each item remembers its page (1-based) and top.
    std::function<void(QTreeWidgetItem*)> build = [&](QTreeWidgetItem* Parent) {
        const int n = outline->Count();
        for (int i = 0; i < n; ++i) {
            QString text;
            int page = 0;
            int top = 0;
            outline->GetItem(i, text, page, top);
            auto* node = Parent ? new QTreeWidgetItem(Parent) : new QTreeWidgetItem(FOutline);
            node->setText(0, text);
            node->setData(0, Qt::UserRole, page + 1);
            node->setData(0, Qt::UserRole + 1, top);
            outline->LevelDown(i);
            build(node);
            outline->LevelUp();
        }
    };
    outline->LevelRoot();
    build(nullptr);
    outline->LevelRoot();
    if (!FReport || FReport->PreviewOptions()->OutlineExpand)
        FOutline->expandAll();
    FOutline->scrollToTop();
}

void TrpPreview::OutlineClick(QTreeWidgetItem* Item)
{
    if (!Item)
        return;
    SetPosition(Item->data(0, Qt::UserRole).toInt(), Item->data(0, Qt::UserRole + 1).toInt());
    FWorkspace->setFocus();
}

// ---------------------------------------------------------------- tabs

void TrpPreview::SaveTabState(TrpPreviewTabItem& Item)
{
    Item.Zoom = FZoom;
    Item.ZoomMode = FZoomMode;
    Item.Left = FWorkspace->HorzPosition();
    Item.Top = FWorkspace->VertPosition();
    Item.ThumbTop = FThumbnail->VertPosition();
    Item.PageNo = FPageNo;
}

void TrpPreview::SwitchTab(int Index)
{
    if (Index < 0 || Index >= FTabItems.Count())
        return;
    const int current = FTabItems.CurTab();
    if (current >= 0 && current < FTabItems.Count())
        SaveTabState(FTabItems.Items(current));
    FTabItems.SetCurTab(Index);
    if (FTabs->currentIndex() != Index)
        FTabs->setCurrentIndex(Index);
    TrpPreviewTabItem& item = FTabItems.Items(Index);
    FReport = item.Report;
    FPreviewPages = item.PreviewPages;
    if (FReport) {
        FCalledFromPreview = true;
        FReport->SetPreview(this);
        FCalledFromPreview = false;
    }
    FWorkspace->SetPreviewPages(FPreviewPages);
    FThumbnail->SetPreviewPages(FPreviewPages);
    int page = item.PageNo;
    if (page == 0 && PageCount() > 0)
        page = 1;
    FPageNo = std::min(page, PageCount());
    FWorkspace->SetPageNo(FPageNo);
    FThumbnail->SetPageNo(FPageNo);
    if (item.ZoomMode != zmDefault)
        SetZoomMode(item.ZoomMode);
    else
        SetZoom(item.Zoom);
    UpdateScrollRanges();
    FWorkspace->SetDisableUpdate(true);
    FWorkspace->SetHorzPosition(item.Left);
    FWorkspace->SetVertPosition(item.Top);
    FWorkspace->SetDisableUpdate(false);
    FThumbnail->SetVertPosition(item.ThumbTop);
    UpdateOutline();
    DoPageChanged();
}

void TrpPreview::AddPreviewTab(
    TrpReport* AReport, const QString& TabName, const QString& TabCaption, bool FreeObjects)
{
    const int current = FTabItems.CurTab();
    if (current >= 0)
        SaveTabState(FTabItems.Items(current));
    const bool shownElsewhere = FTabItems.CountOf(AReport) > 0;
    TrpPreviewTabItem& item = FTabItems.Add();
    item.Name = TabName;
    item.Report = AReport;
    item.PreviewPages = AReport ? AReport->PreviewPages() : nullptr;
    item.FreeObjects = FreeObjects;
    item.Zoom = FZoom;
    item.ZoomMode = FZoomMode;
    if (FreeObjects && !shownElsewhere)
        item.OwnedReport.reset(AReport);
    FTabs->addTab(QIcon(rpPreviewButtonImage(piCloseTab)), TabCaption.isEmpty() ? TabName : TabCaption);
    FTabs->setVisible(FTabItems.Count() > 1);
    SwitchTab(FTabItems.Count() - 1);
}

void TrpPreview::AddPreviewTabOrSwitch(
    TrpReport* AReport, const QString& TabName, const QString& TabCaption, bool FreeObjects)
{
    if (HasTab(TabName))
        SwitchToTab(TabName);
    else
        AddPreviewTab(AReport, TabName, TabCaption, FreeObjects);
}

void TrpPreview::RemoveTab(int TabIndex)
{
    // The first tab stays: it is the report the preview was opened for.
    if (TabIndex <= 0 || TabIndex >= FTabItems.Count())
        return;
    const bool wasCurrent = TabIndex == FTabItems.CurTab();
    TrpPreviewTabItem& item = FTabItems.Items(TabIndex);
    std::unique_ptr<TrpReport> owned = std::move(item.OwnedReport);
    if (owned && FTabItems.CountOf(owned.get()) > 1) {
        // Another tab shows the same report: it takes the ownership over.
        for (int i = 0; i < FTabItems.Count(); ++i)
            if (i != TabIndex && FTabItems.Items(i).Report == owned.get()) {
                FTabItems.Items(i).OwnedReport = std::move(owned);
                break;
            }
    }
    if (wasCurrent)
        FTabItems.SetCurTab(-1);
    else if (FTabItems.CurTab() > TabIndex)
        FTabItems.SetCurTab(FTabItems.CurTab() - 1);
    FTabItems.Delete(TabIndex);
    FTabs->removeTab(TabIndex);
    if (wasCurrent)
        SwitchTab(TabIndex - 1);
    FTabs->setVisible(FTabItems.Count() > 1);
    if (owned && owned->Preview() == this)
        owned->SetPreview(nullptr);
    // owned (if any) is freed here, after the control stopped showing it.
}

bool TrpPreview::HasTab(const QString& TabName) const
{
    return FTabItems.IndexOf(TabName) >= 0;
}

bool TrpPreview::HasTab(const TrpReport* aReport) const
{
    return FTabItems.IndexOf(aReport) >= 0;
}

void TrpPreview::SwitchToTab(const QString& TabName)
{
    const int i = FTabItems.IndexOf(TabName);
    if (i >= 0 && i != FTabItems.CurTab())
        SwitchTab(i);
}

void TrpPreview::SwitchToTab(const TrpReport* aReport)
{
    const int i = FTabItems.IndexOf(aReport);
    if (i >= 0 && i != FTabItems.CurTab())
        SwitchTab(i);
}

void TrpPreview::ClearAllTabs()
{
    if (FTabItems.Count() == 0)
        return;
    if (FTabItems.CurTab() != 0)
        SwitchTab(0);
    for (int i = FTabItems.Count() - 1; i >= 1; --i)
        RemoveTab(i);
    TrpReport* first = FTabItems.Items(0).Report;
    if (first && first->Preview() == this)
        first->SetPreview(nullptr);
}

void TrpPreview::TabsReleased(QPoint Pos)
{
    const int current = FTabs->currentIndex();
    if (current <= 0)
        return;
    const QRect tab = FTabs->tabRect(current);
    const int x = Pos.x() - tab.left();
    const int y = Pos.y() - tab.top();
    if (x >= 8 && x <= 18 && y >= 6 && y <= 18)
        RemoveTab(current);
}

void TrpPreview::PrepareAgain()
{
    // The store is cleared and filled again; Init sees FRefreshing and keeps
    // the control as it is until the new pages are in.
    FReport->PrepareReport(true);
}
