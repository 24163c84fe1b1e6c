// The preview window: a toolbar, the preview control and a status bar,
// filled from the report's PreviewOptions and shown modally by
// ShowPreparedReport.
#pragma once

#include "rpCustomPreview.h"

#include <QDialog>

#include <memory>

class QAction;
class QComboBox;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class QStatusBar;
class QToolBar;
class QToolButton;
class TrpPreview;
class TrpReport;
struct TServices;

class TrpPreviewForm : public QDialog, public TrpCustomPreviewForm {
    Q_OBJECT
public:
    // Services answers the window's dialogs and error boxes; it must outlive
    // the window.
    explicit TrpPreviewForm(TServices& Services, QWidget* Parent = nullptr);
    ~TrpPreviewForm() override;

    // Fills the window from the report its control shows.
    void Init();
    void SetMessageText(const QString& Value, bool IsHint) override;
    void SwitchToFullScreen();
    bool FullScreen() const { return FFullScreen; }
    TrpPreview* Preview() const { return FPreview; }
    TrpReport* Report() const;
    bool FreeOnClose() const { return FFreeOnClose; }
    void SetFreeOnClose(bool Value) { FFreeOnClose = Value; }
    // Enables the buttons for the control's state (pages, preparation).
    void UpdateControls();

    // Handlers, named after their controls.
    void PrintBClick();
    void OpenBClick();
    void SaveBClick();
    // Exports to PDF through a save-file dialog (rpPreviewFormExport.cpp).
    void PdfBClick();
    void FindBClick();
    void ZoomPlusBClick();
    void ZoomMinusBClick();
    void ZoomCBClick();
    void FullScreenBtnClick();
    void OutlineBClick();
    void ThumbBClick();
    void PageSettingsBClick();
    void DesignerBClick();
    void FirstBClick();
    void PriorBClick();
    void NextBClick();
    void LastBClick();
    void PageEEnter();
    void CancelBClick();

    // Controls, owned by the window.
    QToolBar* ToolBar = nullptr;
    QToolButton* PrintB = nullptr;
    QToolButton* OpenB = nullptr;
    QToolButton* SaveB = nullptr;
    QToolButton* PdfB = nullptr;
    QToolButton* EmailB = nullptr;
    QToolButton* FindB = nullptr;
    QToolButton* ZoomPlusB = nullptr;
    QComboBox* ZoomCB = nullptr;
    QToolButton* ZoomMinusB = nullptr;
    QToolButton* FullScreenBtn = nullptr;
    QToolButton* OutlineB = nullptr;
    QToolButton* ThumbB = nullptr;
    QToolButton* PageSettingsB = nullptr;
    QToolButton* DesignerB = nullptr;
    QToolButton* FirstB = nullptr;
    QToolButton* PriorB = nullptr;
    QLineEdit* PageE = nullptr;
    QLabel* OfNL = nullptr;
    QToolButton* NextB = nullptr;
    QToolButton* LastB = nullptr;
    QPushButton* CancelB = nullptr;
    QStatusBar* StatusBar = nullptr;
    // The status bar's page, message and hint panels.
    QLabel* StatusPanels[3] = {};
    QMenu* ExportPopup = nullptr;
    QMenu* HiddenMenu = nullptr;
    QMenu* RightMenu = nullptr;
    QAction* ExpandMI = nullptr;
    QAction* CollapseMI = nullptr;
    QAction* RightMenuSeparator = nullptr;

    // The toolbar's items by control, to show or hide them.
    QAction* ToolBarItem(QWidget* Control) const;
    QAction* Sep1 = nullptr;
    QAction* Sep2 = nullptr;
    QAction* Sep3 = nullptr; // the zoom box panel
    QAction* Sep4 = nullptr; // the page box panel
    QAction* Sep5 = nullptr;
    QWidget* Sep4Panel = nullptr;

protected:
    void closeEvent(QCloseEvent* Event) override;
    void keyPressEvent(QKeyEvent* Event) override;
    void resizeEvent(QResizeEvent* Event) override;
    void wheelEvent(QWheelEvent* Event) override;
    void contextMenuEvent(QContextMenuEvent* Event) override;
    void reject() override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void BuildToolBar();
    void BuildRightMenu();
    void UpdateZoomCB();
    void UpdatePaneButtons();
    void PageChanged(int PageNo);
    void ResizeStatusPanels();
    // Runs a command; an error leaving it goes to the general error box.
    template <class Handler> void Guarded(Handler&& handler);

    TServices& FServices;
    bool FFreeOnClose = false;
    TrpPreview* FPreview;
    Qt::WindowStates FOldState;
    Qt::WindowFlags FOldBS;
    bool FFullScreen = false;
    // Items of the right-click menu made from toolbar buttons, by button.
    std::vector<std::pair<QToolButton*, QAction*>> FMenuCopies;
};

// Shows the report's prepared pages in a new preview window: the window's
// control shows the report, OnPreview fires, then the window opens modally
// (and is freed when it closes) or, without Modal, modelessly and frees
// itself on close.
void rpShowPreparedReport(TrpReport* Report, TServices& Services);
// Makes every report's ShowPreparedReport open the preview window, its
// dialogs answered by Services (which must outlive all reports).
void rpInstallPreview(TServices& Services);
