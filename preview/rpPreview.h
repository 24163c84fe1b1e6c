// The preview control: the prepared pages of a report laid out at a zoom in
// a scrolling page area, with a thumbnail pane, an outline pane, a row of
// report tabs and a message panel. It reads pages only through the store.
#pragma once

#include "rpCustomPreview.h"
#include "rpPreviewOptions.h"
#include "rpPreviewTabs.h"
#include "rpTextSearch.h"

#include <QElapsedTimer>
#include <QWidget>

#include <functional>
#include <memory>

class QLabel;
class QMenu;
class QPushButton;
class QSplitter;
class QTabBar;
class QTreeWidget;
class QTreeWidgetItem;
class TrpCustomPreviewPages;
class TrpPreviewForm;
class TrpPreviewWorkspace;
class TrpReport;
class TrpSearchDialog;
class TrpPageSettingsForm;
class TDialogService;

enum TrpPreviewTool { ptHand, ptZoom };

class TrpPreview : public QWidget, public TrpCustomPreview {
    Q_OBJECT
public:
    explicit TrpPreview(QWidget* Parent = nullptr);
    ~TrpPreview() override;

    // --- what the report calls
    // Shows the report's store; false when called back while the control
    // itself re-assigns the report's preview, or when a tab was opened.
    bool Init(TrpReport* aReport, TrpCustomPreviewPages* aPrevPages) override;
    void UnInit(TrpCustomPreviewPages* aPreviewPages) override;
    void Lock() override;
    void Unlock() override;
    void RefreshReport() override;
    void InternalOnProgressStart(TrpReport* Sender, TrpProgressType ProgressType, int Progress) override;
    void InternalOnProgress(TrpReport* Sender, TrpProgressType ProgressType, int Progress) override;
    void InternalOnProgressStop(TrpReport* Sender, TrpProgressType ProgressType, int Progress) override;
    // The report went away: forget it and its store.
    void ReportDestroyed(TrpReport* aReport) override;

    // --- navigation and zoom
    void First();
    void Prior();
    void Next();
    void Last();
    int PageNo() const { return FPageNo; }
    void SetPageNo(int Value);
    int PageCount() const;
    long double Zoom() const { return FZoom; }
    // Values below 25 % become 25 %; the mode becomes zmDefault.
    void SetZoom(long double Value);
    TrpZoomMode ZoomMode() const { return FZoomMode; }
    void SetZoomMode(TrpZoomMode Value);
    // PageN 1-based, Top in report pixels below the printable area's top.
    void SetPosition(int PageN, int Top);
    int GetTopPosition();
    // Wheel events: zoom by 10 % steps (not below 30 %) or scroll 20 pixels.
    void MouseWheelScroll(int Delta, bool Horz, bool Zoom);
    // Lays the pages out again at the zoom the mode gives.
    void UpdatePages();
    void UpdateOutline();

    // --- commands started from the window (nothing while running)
    void Print();
    void Edit();
    void PageSetupDlg();
    // Text search (rpPreviewSearch.cpp): Find runs the dialog and searches
    // on OK; FindNext (F3) repeats the last search from where it stopped;
    // FindText searches without the dialog. Each allows F3.
    void Find();
    void FindNext();
    bool FindText(const QString& SearchString, bool FromTop, bool IsCaseSensitive);
    bool FindTextFound() const { return FSearch.Found(); }
    // Forgets the hit; the mark goes with the next paint.
    void FindTextClear();
    const TrpTextSearch& Search() const { return FSearch; }
    // Draws the mark over the hit when page Index (laid out at Page in the
    // workspace's client coordinates) holds it.
    void DrawFoundMark(QPainter& Canvas, int Index, const QRect& Page) const;
    // Runs the Find Text dialog; true for OK. Tests answer it here.
    std::function<bool(TrpSearchDialog& Dialog)> OnRunSearchDialog;
    // Runs the Page Settings dialog; true for OK. Tests answer it here.
    std::function<bool(TrpPageSettingsForm& Form)> OnRunPageSettings;
    // Answers "Text not found" and the page settings' errors; none: silent.
    void SetDialogs(TDialogService* Value) { FDialogs = Value; }
    // The dialog's text confirmed last with OK.
    const QString& SearchDialogText() const { return FSearchDialogText; }
    void Cancel();
    void Clear();
    void AddPage();
    void DeletePage();
    void LoadFromFile(const QString& FileName);
    void SaveToFile(const QString& FileName);
    bool Export(const QString& Filter);

    // --- message panel
    void ShowMessage(const QString& s);
    void HideMessage();

    // --- tabs
    void AddPreviewTab(TrpReport* AReport, const QString& TabName, const QString& TabCaption = QString(),
        bool FreeObjects = true);
    void AddPreviewTabOrSwitch(TrpReport* AReport, const QString& TabName,
        const QString& TabCaption = QString(), bool FreeObjects = true);
    void RemoveTab(int TabIndex);
    bool HasTab(const QString& TabName) const;
    bool HasTab(const TrpReport* aReport) const;
    void SwitchToTab(const QString& TabName);
    void SwitchToTab(const TrpReport* aReport);
    void ClearAllTabs();
    TrpPreviewTabs& TabItems() { return FTabItems; }

    // --- panes
    bool OutlineVisible() const { return FOutlineVisible; }
    void SetOutlineVisible(bool Value);
    int OutlineWidth() const { return FOutlineWidth; }
    void SetOutlineWidth(int Value);
    bool ThumbnailVisible() const { return FThumbnailVisible; }
    void SetThumbnailVisible(bool Value);

    // --- state
    // Makes the control show this report's store without laying it out
    // (the preview window does that in its Init).
    void SetReport(TrpReport* aReport, TrpCustomPreviewPages* aPrevPages);
    TrpReport* Report() const { return FReport; }
    TrpCustomPreviewPages* PreviewPages() const { return FPreviewPages; }
    bool Locked() const { return FLocked; }
    bool Running() const { return FRunning; }
    bool Refreshing() const { return FRefreshing; }
    bool Initialized() const { return FInitialized; }
    bool AllowF3() const { return FAllowF3; }
    TrpPreviewTool Tool() const { return FTool; }
    void SetTool(TrpPreviewTool Value) { FTool = Value; }
    bool UseReportHints() const { return FUseReportHints; }
    void SetUseReportHints(bool Value) { FUseReportHints = Value; }
    bool EachReportInTab() const { return FEachReportInTab; }
    void SetEachReportInTab(bool Value) { FEachReportInTab = Value; }
    // Mirrors the page area (right-to-left reading).
    void SetRTLPreview(bool Value);
    TrpPreviewForm* PreviewForm() const { return FPreviewForm; }
    void SetPreviewForm(TrpPreviewForm* Value) { FPreviewForm = Value; }

    // --- parts, for the window and for tests
    TrpPreviewWorkspace* Workspace() const { return FWorkspace; }
    TrpPreviewWorkspace* Thumbnail() const { return FThumbnail; }
    QTreeWidget* OutlineTree() const { return FOutline; }
    QMenu* OutlinePopup() const { return FOutlinePopup; }
    QTabBar* Tabs() const { return FTabs; }
    QSplitter* Splitter() const { return FSplitter; }
    QWidget* MessagePanel() const { return FMessagePanel; }
    QLabel* MessageLabel() const { return FMessageLabel; }
    QPushButton* CancelButton() const { return FCancelButton; }

    // --- what a prepared page's objects ask of the control
    // A web address or file of a hyperlink: through OnOpenURL when set,
    // otherwise the desktop's default program.
    void OpenURL(const QString& Target);
    std::function<bool(const QString& Target)> OnOpenURL;
    // An object's hint as a tool tip at a point of the page area.
    void ShowObjectHint(const QString& Text, QPoint At);
    void HideObjectHint();
    // Paints the page area and the thumbnails again.
    void Repaint();

    // Events.
    std::function<void(TrpPreview* Sender, int PageNo)> OnPageChanged;
    std::function<void()> OnClick;
    std::function<void()> OnDblClick;
    std::function<void(QMouseEvent*)> OnMouseDown;
    // What the preview window follows: the zoom shown in its box, its pane
    // toggle buttons, and its button states (start and end of a preparation).
    std::function<void()> OnZoomChanged;
    std::function<void()> OnPanesChanged;
    std::function<void()> OnButtonsChanged;

    // The design invariants of the control (see its implementation).
    bool InvariantsHold() const;

    // Called by the workspaces.
    void WorkspaceKey(QKeyEvent* Event);
    void WorkspaceClicked(TrpPreviewWorkspace* Sender, int PageIndex);
    void WorkspaceScrolled(TrpPreviewWorkspace* Sender);

protected:
    void resizeEvent(QResizeEvent* Event) override;

private:
    void DoPageChanged();
    void UpdateScrollRanges();
    void SwitchTab(int Index);
    void SaveTabState(TrpPreviewTabItem& Item);
    void TabsReleased(QPoint Pos);
    void ClearControl();
    void UpdateSidePanes();
    void OutlineClick(QTreeWidgetItem* Item);
    void CancelButtonClick();
    // Runs the report again into its store.
    void PrepareAgain();
    // The search loop from where the search state stands.
    void RunSearch();
    void ScrollToHit();

    TrpTextSearch FSearch;
    // Page area width of the last layout.
    int FLayoutWidth = -1;
    QString FSearchDialogText;
    TDialogService* FDialogs = nullptr;

    bool FAllowF3 = false;
    QPushButton* FCancelButton;
    bool FLocked = false;
    QLabel* FMessageLabel;
    QWidget* FMessagePanel;
    QTreeWidget* FOutline;
    QMenu* FOutlinePopup;
    int FPageNo = 1;
    bool FRefreshing = false;
    bool FRunning = false;
    QSplitter* FSplitter;
    TrpPreviewWorkspace* FThumbnail;
    // Pages between two status refreshes while a report is prepared.
    uint32_t FTick = 50;
    QElapsedTimer FFirstPageTime;
    TrpPreviewTool FTool = ptHand;
    TrpPreviewWorkspace* FWorkspace;
    long double FZoom = 1.0L;
    TrpZoomMode FZoomMode = zmDefault;
    QTabBar* FTabs;
    bool FInitialized = false;
    bool FCalledFromPreview = false;
    TrpPreviewTabs FTabItems;
    bool FEachReportInTab = false;
    bool FUseReportHints = true;
    TrpReport* FReport = nullptr;
    TrpCustomPreviewPages* FPreviewPages = nullptr;
    TrpPreviewForm* FPreviewForm = nullptr;
    bool FOutlineVisible = false;
    bool FThumbnailVisible = false;
    int FOutlineWidth = 120;
    QWidget* FSidePane;
};
