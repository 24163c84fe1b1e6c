// The preview window.
//
// The window adds the toolbar, the status texts, full-screen mode and the
// right-click menu to the preview control; every page operation is the
// control's. Texts come from the engine's string table. Commands whose
// dialogs are not part of the program yet (printing, prepared-report files,
// search, page settings) keep their buttons disabled rather than pretend.
#include "rpPreviewForm.h"

#include "ErrorBox.h"
#include "PelmoraError.h"
#include "Services.h"
#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpEngine.h"
#include "rpPdfExport.h"
#include "rpPreview.h"
#include "rpPreviewButtons.h"
#include "rpPreviewWorkspace.h"
#include "rpRes.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QStatusBar>
#include <QStyle>
#include <QStyleOptionComboBox>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include <cmath>

namespace {
// The commands that later parts of the program provide. Until then their
// buttons and menu items stay disabled.
constexpr bool PrintAvailable = true;
constexpr bool FilesAvailable = true;
constexpr bool FindAvailable = true;
constexpr bool PageSettingsAvailable = true;

constexpr int PagePanelWidth = 200;
constexpr int ZoomPageWidthItem = 6;
constexpr int ZoomWholePageItem = 7;

QString FormatPages(QString Text, std::initializer_list<int> Values)
{
    for (int value : Values) {
        const int at = Text.indexOf(QStringLiteral("%d"));
        if (at < 0)
            break;
        Text.replace(at, 2, QString::number(value));
    }
    return Text;
}

QString Res(int Number)
{
    return TrpResources::Instance().Get(Number);
}
} // namespace

template <class Handler> void TrpPreviewForm::Guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ShowErrorBox(*FServices.Dialogs, error);
    }
}

TrpPreviewForm::TrpPreviewForm(TServices& Services, QWidget* Parent)
    : QDialog(Parent)
    , FServices(Services)
    , FPreview(new TrpPreview(this))
{
    setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("Tahoma"));
    font.setPointSize(8);
    setFont(font);
    resize(803, 584);
    if (QScreen* screen = QGuiApplication::primaryScreen())
        move(screen->availableGeometry().center() - rect().center());
    setWindowTitle(Res(100));
    FPreview->SetDialogs(FServices.Dialogs.get());

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    BuildToolBar();
    layout->addWidget(ToolBar);
    layout->addWidget(FPreview, 1);

    StatusBar = new QStatusBar(this);
    StatusBar->setSizeGripEnabled(false);
    StatusBar->setFixedHeight(logicalDpiY() > 96 ? 24 : 19);
    // The panels are placed by hand, not through the bar's layout: their
    // widths add up to the window's, and a layout would add its spacing and
    // push the window wider on every resize.
    for (QLabel*& panel : StatusPanels) {
        panel = new QLabel(StatusBar);
        panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    }
    layout->addWidget(StatusBar);

    HiddenMenu = new QMenu(this);
    // No designer exists: the template cannot be shown.
    HiddenMenu->addAction(QStringLiteral("Show template"));
    RightMenu = new QMenu(this);
    CollapseMI = RightMenu->addAction(QIcon(rpPreviewButtonImage(piCollapse)), Res(601));
    ExpandMI = RightMenu->addAction(QIcon(rpPreviewButtonImage(piExpand)), Res(600));
    RightMenuSeparator = RightMenu->addSeparator();
    connect(
        CollapseMI, &QAction::triggered, this, [this] { FPreview->OutlinePopup()->actions()[0]->trigger(); });
    connect(
        ExpandMI, &QAction::triggered, this, [this] { FPreview->OutlinePopup()->actions()[1]->trigger(); });

    FPreview->SetPreviewForm(this);
    FPreview->OnPageChanged = [this](TrpPreview*, int PageNo) { PageChanged(PageNo); };
    FPreview->OnDblClick = [this] {
        if (FFullScreen)
            SwitchToFullScreen();
    };
    FPreview->OnZoomChanged = [this] { UpdateZoomCB(); };
    FPreview->OnOpenURL = [this](const QString& Target) { return FServices.Shell->OpenDocument(Target); };
    FPreview->OnPanesChanged = [this] { UpdatePaneButtons(); };
    FPreview->OnButtonsChanged = [this] { UpdateControls(); };
    FPreview->Workspace()->setFocus();
    ResizeStatusPanels();
}

TrpPreviewForm::~TrpPreviewForm()
{
    // Focus leaving the zoom box while the children die must not reach a
    // control that is half gone.
    disconnect(ZoomCB, nullptr, this, nullptr);
    ZoomCB->lineEdit()->removeEventFilter(this);
    FPreview->OnPageChanged = nullptr;
    FPreview->OnZoomChanged = nullptr;
    FPreview->OnPanesChanged = nullptr;
    FPreview->OnButtonsChanged = nullptr;
    FPreview->OnDblClick = nullptr;
    // The control detaches itself from the report when it dies; the window
    // does the same for the status texts.
    if (TrpReport* report = FPreview->Report())
        if (report->PreviewForm() == this)
            report->SetPreviewForm(nullptr);
}

TrpReport* TrpPreviewForm::Report() const
{
    return FPreview->Report();
}

// ---------------------------------------------------------------- layout

namespace {
QToolButton* MakeButton(QToolBar* Bar, int Image, const QString& Caption, const QString& Hint)
{
    auto* button = new QToolButton(Bar);
    button->setIcon(QIcon(rpPreviewButtonImage(Image)));
    button->setText(Caption);
    button->setToolTip(Hint);
    button->setAutoRaise(true);
    button->setFixedHeight(23);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}
} // namespace

void TrpPreviewForm::BuildToolBar()
{
    ToolBar = new QToolBar(this);
    ToolBar->setMovable(false);
    ToolBar->setFloatable(false);
    ToolBar->setIconSize({ 16, 16 });
    ToolBar->setContentsMargins(2, 2, 2, 2);

    PrintB = MakeButton(ToolBar, piPrint, Res(101), Res(102));
    OpenB = MakeButton(ToolBar, piOpen, Res(103), Res(104));
    SaveB = MakeButton(ToolBar, piSave, Res(105), Res(106));
    PdfB = MakeButton(ToolBar, piPdf, QString(), Res(151));
    EmailB = MakeButton(ToolBar, piEmail, QString(), Res(152));
    FindB = MakeButton(ToolBar, piFind, Res(109), Res(110));
    ZoomPlusB = MakeButton(ToolBar, piZoomIn, Res(124), Res(125));
    ZoomMinusB = MakeButton(ToolBar, piZoomOut, Res(126), Res(127));
    FullScreenBtn = MakeButton(ToolBar, piFullScreen, QString(), Res(150));
    OutlineB = MakeButton(ToolBar, piOutline, Res(128), Res(129));
    OutlineB->setCheckable(true);
    ThumbB = MakeButton(ToolBar, piThumbnails, Res(130), Res(131));
    ThumbB->setCheckable(true);
    PageSettingsB = MakeButton(ToolBar, piPageSettings, Res(120), Res(121));
    DesignerB = MakeButton(ToolBar, piEdit, Res(132), Res(133));
    FirstB = MakeButton(ToolBar, piFirst, Res(134), Res(135));
    PriorB = MakeButton(ToolBar, piPrior, Res(136), Res(137));
    NextB = MakeButton(ToolBar, piNext, Res(138), Res(139));
    LastB = MakeButton(ToolBar, piLast, Res(140), Res(141));

    auto* zoomPanel = new QWidget(ToolBar);
    ZoomCB = new QComboBox(zoomPanel);
    // 49 pixels hold "100%" in the toolbar's own font; a wider substitute
    // font or style gets the room it needs, so the percentage is never cut.
    QStyleOptionComboBox option;
    option.initFrom(ZoomCB);
    option.editable = true;
    const QSize text(ZoomCB->fontMetrics().horizontalAdvance(QStringLiteral("1000%")), 21);
    const int zoomWidth
        = std::max(49, ZoomCB->style()->sizeFromContents(QStyle::CT_ComboBox, &option, text, ZoomCB).width());
    zoomPanel->setFixedSize(zoomWidth + 7, 23);
    ZoomCB->setGeometry(4, 1, zoomWidth, 21);
    ZoomCB->setEditable(true);
    ZoomCB->setInsertPolicy(QComboBox::NoInsert);
    ZoomCB->setToolTip(Res(119));
    ZoomCB->addItems({ QStringLiteral("25%"), QStringLiteral("50%"), QStringLiteral("75%"),
        QStringLiteral("100%"), QStringLiteral("150%"), QStringLiteral("200%"),
        rpGet(QStringLiteral("zmPageWidth")), rpGet(QStringLiteral("zmWholePage")) });
    ZoomCB->view()->setMinimumWidth(100);
    ZoomCB->setEditText(QStringLiteral("100%"));

    Sep4Panel = new QWidget(ToolBar);
    PageE = new QLineEdit(Sep4Panel);
    PageE->setGeometry(4, 1, 37, 21);
    PageE->setToolTip(Res(142));
    PageE->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), PageE));
    OfNL = new QLabel(Sep4Panel);
    OfNL->move(48, 4);
    OfNL->setText(FormatPages(rpGet(QStringLiteral("clOf")), { 0 }));
    OfNL->adjustSize();
    Sep4Panel->setFixedSize(OfNL->geometry().right() + 1 + 4, 23);

    auto* spacer = new QWidget(ToolBar);
    spacer->setFixedSize(35, 23);
    CancelB = new QPushButton(rpGet(QStringLiteral("clClose")), ToolBar);
    CancelB->setFixedSize(68, 23);
    CancelB->setFocusPolicy(Qt::NoFocus);

    ToolBar->addWidget(PrintB);
    ToolBar->addWidget(OpenB);
    ToolBar->addWidget(SaveB);
    ToolBar->addWidget(PdfB);
    ToolBar->addWidget(EmailB);
    ToolBar->addWidget(FindB);
    Sep1 = ToolBar->addSeparator();
    ToolBar->addWidget(ZoomPlusB);
    Sep3 = ToolBar->addWidget(zoomPanel);
    ToolBar->addWidget(ZoomMinusB);
    ToolBar->addWidget(FullScreenBtn);
    Sep2 = ToolBar->addSeparator();
    ToolBar->addWidget(OutlineB);
    ToolBar->addWidget(ThumbB);
    ToolBar->addWidget(PageSettingsB);
    ToolBar->addWidget(DesignerB);
    Sep5 = ToolBar->addSeparator();
    ToolBar->addWidget(FirstB);
    ToolBar->addWidget(PriorB);
    Sep4 = ToolBar->addWidget(Sep4Panel);
    ToolBar->addWidget(NextB);
    ToolBar->addWidget(LastB);
    ToolBar->addWidget(spacer);
    ToolBar->addWidget(CancelB);

    SaveB->setMenu(ExportPopup = new QMenu(this));
    SaveB->setPopupMode(QToolButton::MenuButtonPopup);

    connect(PrintB, &QToolButton::clicked, this, [this] { PrintBClick(); });
    connect(OpenB, &QToolButton::clicked, this, [this] { OpenBClick(); });
    connect(SaveB, &QToolButton::clicked, this, [this] { SaveBClick(); });
    connect(PdfB, &QToolButton::clicked, this, [this] { PdfBClick(); });
    connect(FindB, &QToolButton::clicked, this, [this] { FindBClick(); });
    connect(ZoomPlusB, &QToolButton::clicked, this, [this] { ZoomPlusBClick(); });
    connect(ZoomMinusB, &QToolButton::clicked, this, [this] { ZoomMinusBClick(); });
    connect(FullScreenBtn, &QToolButton::clicked, this, [this] { FullScreenBtnClick(); });
    connect(OutlineB, &QToolButton::clicked, this, [this] { OutlineBClick(); });
    connect(ThumbB, &QToolButton::clicked, this, [this] { ThumbBClick(); });
    connect(PageSettingsB, &QToolButton::clicked, this, [this] { PageSettingsBClick(); });
    connect(DesignerB, &QToolButton::clicked, this, [this] { DesignerBClick(); });
    connect(FirstB, &QToolButton::clicked, this, [this] { FirstBClick(); });
    connect(PriorB, &QToolButton::clicked, this, [this] { PriorBClick(); });
    connect(NextB, &QToolButton::clicked, this, [this] { NextBClick(); });
    connect(LastB, &QToolButton::clicked, this, [this] { LastBClick(); });
    connect(CancelB, &QPushButton::clicked, this, [this] { CancelBClick(); });
    connect(ZoomCB, &QComboBox::activated, this, [this] { ZoomCBClick(); });
    // Enter in the box is taken before the box sees it, so it is handled once.
    ZoomCB->lineEdit()->installEventFilter(this);
    connect(PageE, &QLineEdit::returnPressed, this, [this] { PageEEnter(); });
    DesignerB->installEventFilter(this);
}

QAction* TrpPreviewForm::ToolBarItem(QWidget* Control) const
{
    for (QAction* action : ToolBar->actions())
        if (ToolBar->widgetForAction(action) == Control)
            return action;
    return nullptr;
}

void TrpPreviewForm::ResizeStatusPanels()
{
    const int rest = std::max(0, int(std::nearbyint((width() - PagePanelWidth) / 2.0)));
    const int height = StatusBar->height();
    StatusPanels[0]->setGeometry(0, 0, PagePanelWidth, height);
    StatusPanels[1]->setGeometry(PagePanelWidth, 0, rest, height);
    StatusPanels[2]->setGeometry(PagePanelWidth + rest, 0, rest, height);
}

void TrpPreviewForm::resizeEvent(QResizeEvent* Event)
{
    QDialog::resizeEvent(Event);
    ResizeStatusPanels();
}

// ---------------------------------------------------------------- Init

void TrpPreviewForm::Init()
{
    TrpReport* report = Report();
    if (!report)
        return;
    FPreview->Init(report, report->PreviewPages());
    const TrpPreviewOptions& options = *report->PreviewOptions();
    if (options.Maximized)
        setWindowState(windowState() | Qt::WindowMaximized);
    FPreview->SetZoom(options.Zoom);
    FPreview->SetZoomMode(options.ZoomMode);
    FPreview->SetRTLPreview(options.RTLPreview);

    const TrpPreviewButtons b = options.Buttons;
    const auto show = [this](QWidget* control, bool visible) {
        if (QAction* item = ToolBarItem(control))
            item->setVisible(visible);
    };
    show(PrintB, b & pbPrint);
    show(OpenB, b & pbLoad);
    show(SaveB, (b & pbSave) || (b & pbExport));
    // PDF is the one export filter; there is no e-mail filter.
    show(PdfB, b & pbExportQuick);
    show(EmailB, false);
    show(FindB, b & pbFind);
    Sep1->setVisible(b & pbZoom);
    show(ZoomPlusB, b & pbZoom);
    Sep3->setVisible(b & pbZoom);
    show(ZoomMinusB, b & pbZoom);
    show(FullScreenBtn, (b & pbZoom) && !(b & pbNoFullScreen));
    show(OutlineB, b & pbOutline);
    show(ThumbB, b & pbOutline);
    Sep2->setVisible((b & pbOutline) || (b & pbPageSetup) || (b & pbEdit));
    show(PageSettingsB, b & pbPageSetup);
    show(DesignerB, b & pbEdit);
    Sep5->setVisible(b & pbNavigator);
    show(FirstB, b & pbNavigator);
    show(PriorB, b & pbNavigator);
    Sep4->setVisible(b & pbNavigator);
    show(NextB, b & pbNavigator);
    show(LastB, b & pbNavigator);
    show(CancelB, !(b & pbNoClose));
    const bool captions = options.ShowCaptions;
    for (QToolButton* button : ToolBar->findChildren<QToolButton*>())
        button->setToolButtonStyle(captions ? Qt::ToolButtonTextBesideIcon : Qt::ToolButtonIconOnly);

    ExportPopup->clear();
    if (b & pbSave) {
        QAction* save = ExportPopup->addAction(rpGet(QStringLiteral("clRPDfiles")) + QStringLiteral("..."));
        connect(save, &QAction::triggered, this, [this] { SaveBClick(); });
        if (b & pbExport)
            ExportPopup->addSeparator();
    }
    if (b & pbExport) {
        QAction* pdf = ExportPopup->addAction(rpPDFExportDescription() + QStringLiteral("..."));
        connect(pdf, &QAction::triggered, this, [this] { PdfBClick(); });
    }

    const QString name = report->ReportOptions()->Name();
    if (!name.isEmpty())
        setWindowTitle(name);
    BuildRightMenu();
    if (QApplication::layoutDirection() == Qt::RightToLeft)
        setLayoutDirection(Qt::RightToLeft);
    UpdateControls();
    UpdatePaneButtons();
    UpdateZoomCB();
    PageChanged(FPreview->PageNo());
}

void TrpPreviewForm::BuildRightMenu()
{
    for (auto& copy : FMenuCopies)
        delete copy.second;
    FMenuCopies.clear();
    int separators = 0;
    for (QAction* item : ToolBar->actions()) {
        if (item->isSeparator()) {
            if (!item->isVisible())
                continue;
            if (++separators == 2)
                break;
            RightMenu->addSeparator();
            continue;
        }
        auto* button = qobject_cast<QToolButton*>(ToolBar->widgetForAction(item));
        if (!button || !item->isVisible() || button->isCheckable() || button->toolTip().isEmpty())
            continue;
        QAction* copy = RightMenu->addAction(button->icon(), button->toolTip());
        if (button->menu()) {
            auto* sub = new QMenu(RightMenu);
            for (QAction* subItem : button->menu()->actions()) {
                if (subItem->isSeparator())
                    sub->addSeparator();
                else
                    connect(sub->addAction(subItem->text()), &QAction::triggered, subItem, &QAction::trigger);
            }
            copy->setMenu(sub);
        } else
            connect(copy, &QAction::triggered, button, &QToolButton::click);
        copy->setEnabled(button->isEnabled());
        FMenuCopies.emplace_back(button, copy);
    }
}

void TrpPreviewForm::UpdateControls()
{
    const bool running = FPreview->Running();
    const bool pages = FPreview->PageCount() > 0;
    const bool ready = !running && pages;
    const auto enable = [](QToolButton* button, bool enabled) {
        button->setEnabled(enabled);
        button->setDown(false);
    };
    enable(PrintB, ready && PrintAvailable);
    enable(OpenB, ready && FilesAvailable);
    enable(SaveB, ready && FilesAvailable);
    enable(PdfB, ready);
    enable(EmailB, false);
    enable(FindB, ready && FindAvailable);
    enable(PageSettingsB, ready && PageSettingsAvailable);
    TrpReport* report = Report();
    enable(DesignerB, !running && report && report->PreviewOptions()->AllowEdit);
    for (auto& [button, copy] : FMenuCopies)
        copy->setEnabled(button->isEnabled());
    // No group header with drill-down in this program's reports.
    ExpandMI->setVisible(false);
    CollapseMI->setVisible(false);
    RightMenuSeparator->setVisible(false);
    CancelB->setText(running ? Res(2) : rpGet(QStringLiteral("clClose")));
    if (!running)
        StatusPanels[1]->clear();
}

void TrpPreviewForm::UpdateZoomCB()
{
    ZoomCB->setEditText(QString::number(std::lround(double(FPreview->Zoom() * 100))) + QStringLiteral("%"));
}

void TrpPreviewForm::UpdatePaneButtons()
{
    OutlineB->setChecked(FPreview->OutlineVisible());
    ThumbB->setChecked(FPreview->ThumbnailVisible());
}

// ---------------------------------------------------------------- status

void TrpPreviewForm::PageChanged(int PageNo)
{
    const int count = FPreview->PageCount();
    TrpReport* report = Report();
    const TrpCustomEngine* engine = report ? report->Engine() : nullptr;
    if (FPreview->Running() && engine && !engine->FinalPass() && report->EngineOptions()->DoublePass())
        StatusPanels[0]->setText(
            rpGet(QStringLiteral("clFirstPass")) + QStringLiteral(" ") + QString::number(count));
    else
        StatusPanels[0]->setText(FormatPages(rpGet(QStringLiteral("clPageOf")), { PageNo, count }));
    OfNL->setText(FormatPages(rpGet(QStringLiteral("clOf")), { count }));
    OfNL->adjustSize();
    Sep4Panel->setFixedWidth(OfNL->geometry().right() + 1 + 4);
    PageE->setText(QString::number(PageNo));
}

void TrpPreviewForm::SetMessageText(const QString& Value, bool IsHint)
{
    if (!IsHint)
        StatusPanels[1]->setText(Value);
    else if (!Value.isEmpty() || !StatusPanels[2]->text().isEmpty())
        StatusPanels[2]->setText(Value);
    QCoreApplication::processEvents();
}

// ---------------------------------------------------------------- commands

void TrpPreviewForm::PrintBClick()
{
    if (!PrintB->isEnabled())
        return;
    Guarded([this] { FPreview->Print(); });
    setEnabled(true);
}

void TrpPreviewForm::OpenBClick()
{
    if (!OpenB->isEnabled())
        return;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Open;
    request.FilterDescription = rpGet(QStringLiteral("clRPDfiles")) + QStringLiteral(" (*.rpd)");
    request.FilterPattern = QStringLiteral("*.rpd");
    request.HideReadOnly = true;
    const std::optional<QString> name = FServices.Dialogs->FileDialog(request);
    if (!name)
        return;
    FPreview->Workspace()->viewport()->repaint();
    Guarded([&] { FPreview->LoadFromFile(*name); });
    const QString title = Report() ? Report()->ReportOptions()->Name() : QString();
    setWindowTitle(title.isEmpty() ? Res(100) : title);
}

void TrpPreviewForm::SaveBClick()
{
    if (!SaveB->isEnabled())
        return;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.FilterDescription = rpGet(QStringLiteral("clRPDfiles")) + QStringLiteral(" (*.rpd)");
    request.FilterPattern = QStringLiteral("*.rpd");
    request.DefaultExt = QStringLiteral("rpd");
    const std::optional<QString> name = FServices.Dialogs->FileDialog(request);
    if (!name)
        return;
    FPreview->Workspace()->viewport()->repaint();
    QString fileName = *name;
    if (QFileInfo(fileName).suffix().compare(QStringLiteral("rpd"), Qt::CaseInsensitive) != 0)
        fileName += QStringLiteral(".rpd");
    Guarded([&] { FPreview->SaveToFile(fileName); });
}

void TrpPreviewForm::FindBClick()
{
    if (FindB->isEnabled())
        Guarded([this] { FPreview->Find(); });
}

void TrpPreviewForm::PageSettingsBClick()
{
    if (PageSettingsB->isEnabled())
        Guarded([this] { FPreview->PageSetupDlg(); });
}

void TrpPreviewForm::ZoomPlusBClick()
{
    FPreview->SetZoom(FPreview->Zoom() + 0.25L);
}

void TrpPreviewForm::ZoomMinusBClick()
{
    FPreview->SetZoom(FPreview->Zoom() - 0.25L);
}

void TrpPreviewForm::ZoomCBClick()
{
    const QString text = ZoomCB->currentText();
    Guarded([&] {
        if (text == ZoomCB->itemText(ZoomPageWidthItem))
            FPreview->SetZoomMode(zmPageWidth);
        else if (text == ZoomCB->itemText(ZoomWholePageItem))
            FPreview->SetZoomMode(zmWholePage);
        else {
            QString s = text;
            const int percent = s.indexOf(u'%');
            if (percent >= 0)
                s[percent] = u' ';
            s.remove(u' ');
            if (!s.isEmpty()) {
                bool ok = false;
                const double value = s.toDouble(&ok);
                if (!ok || !std::isfinite(value))
                    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(s));
                FPreview->SetZoom(value / 100.0);
            }
        }
    });
    FPreview->Workspace()->setFocus();
    // The box shows the zoom in effect once the choice has been handled.
    QMetaObject::invokeMethod(
        this, [this] { UpdateZoomCB(); }, Qt::QueuedConnection);
}

void TrpPreviewForm::FullScreenBtnClick()
{
    SwitchToFullScreen();
}

void TrpPreviewForm::SwitchToFullScreen()
{
    if (!FFullScreen) {
        StatusBar->hide();
        ToolBar->hide();
        FOldBS = windowFlags();
        FOldState = windowState();
        FFullScreen = true;
        setWindowState(Qt::WindowFullScreen);
    } else {
        FFullScreen = false;
        setWindowState(FOldState);
        ToolBar->show();
        StatusBar->show();
    }
}

void TrpPreviewForm::OutlineBClick()
{
    FPreview->SetOutlineVisible(OutlineB->isChecked());
}

void TrpPreviewForm::ThumbBClick()
{
    FPreview->SetThumbnailVisible(ThumbB->isChecked());
}

void TrpPreviewForm::DesignerBClick()
{
    // A copy of the page would go to a report designer; none exists, so the
    // answer is always "not changed" and nothing happens.
    FPreview->Edit();
}

void TrpPreviewForm::FirstBClick()
{
    FPreview->First();
}

void TrpPreviewForm::PriorBClick()
{
    FPreview->Prior();
}

void TrpPreviewForm::NextBClick()
{
    FPreview->Next();
}

void TrpPreviewForm::LastBClick()
{
    FPreview->Last();
}

void TrpPreviewForm::PageEEnter()
{
    const QString text = PageE->text();
    Guarded([&] {
        bool ok = false;
        const int page = text.toInt(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
        FPreview->SetPageNo(page);
    });
    FPreview->Workspace()->setFocus();
}

void TrpPreviewForm::CancelBClick()
{
    if (FPreview->Running()) {
        if (TrpReport* report = Report())
            report->SetTerminated(true);
        return;
    }
    close();
}

// ---------------------------------------------------------------- events

void TrpPreviewForm::closeEvent(QCloseEvent* Event)
{
    if (FPreview->Running()) {
        Event->ignore();
        return;
    }
    QDialog::closeEvent(Event);
}

void TrpPreviewForm::reject()
{
    // Escape and the title bar's close: cancel while preparing, else close.
    if (FPreview->Running()) {
        CancelBClick();
        return;
    }
    QDialog::reject();
}

void TrpPreviewForm::keyPressEvent(QKeyEvent* Event)
{
    const bool ctrl = Event->modifiers() & Qt::ControlModifier;
    const TrpPreviewButtons buttons = Report() ? Report()->PreviewOptions()->Buttons : TrpPreviewButtons();
    switch (Event->key()) {
    case Qt::Key_F11:
        SwitchToFullScreen();
        return;
    case Qt::Key_F1: {
        const QString help = QCoreApplication::applicationDirPath() + QStringLiteral("/ReportUser.chm");
        if (QFileInfo::exists(help))
            FServices.Shell->OpenDocument(help);
        return;
    }
    case Qt::Key_F3:
        if (buttons & pbFind)
            Guarded([this] { FPreview->FindNext(); });
        return;
    case Qt::Key_P:
        if (ctrl && (buttons & pbPrint)) {
            PrintBClick();
            return;
        }
        break;
    case Qt::Key_S:
        if (ctrl && (buttons & pbSave)) {
            SaveBClick();
            return;
        }
        break;
    case Qt::Key_F:
        if (ctrl && (buttons & pbFind)) {
            FindBClick();
            return;
        }
        break;
    case Qt::Key_O:
        if (ctrl && (buttons & pbLoad)) {
            OpenBClick();
            return;
        }
        break;
    default:
        break;
    }
    QDialog::keyPressEvent(Event);
}

void TrpPreviewForm::wheelEvent(QWheelEvent* Event)
{
    const QPoint delta = Event->angleDelta();
    const bool horz = delta.y() == 0 && delta.x() != 0;
    FPreview->MouseWheelScroll(horz ? delta.x() : delta.y(), horz, Event->modifiers() & Qt::ControlModifier);
    Event->accept();
}

void TrpPreviewForm::contextMenuEvent(QContextMenuEvent* Event)
{
    RightMenu->popup(Event->globalPos());
    Event->accept();
}

bool TrpPreviewForm::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == ZoomCB->lineEdit() && Event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(Event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            ZoomCBClick();
            return true;
        }
    }
    if (Watched == DesignerB && Event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(Event)->button() == Qt::RightButton) {
        HiddenMenu->popup(static_cast<QMouseEvent*>(Event)->globalPosition().toPoint());
        return true;
    }
    return QDialog::eventFilter(Watched, Event);
}

// ---------------------------------------------------------------- showing

void rpShowPreparedReport(TrpReport* Report, TServices& Services)
{
    auto form = std::make_unique<TrpPreviewForm>(Services, QApplication::activeWindow());
    form->Preview()->SetReport(Report, Report->PreviewPages());
    Report->SetPreview(form->Preview());
    Report->SetPreviewForm(form.get());
    form->Init();
    if (Report->OnPreview)
        Report->OnPreview(Report);
    const TrpPreviewOptions& options = *Report->PreviewOptions();
    if (options.Modal) {
        form->exec();
        // The control and the window let go of the report as they die.
        form.reset();
        return;
    }
    form->SetFreeOnClose(true);
    form->setAttribute(Qt::WA_DeleteOnClose);
    form->setModal(false);
    form.release()->show();
}

void rpInstallPreview(TServices& Services)
{
    TrpReport::SetShowPreview([&Services](TrpReport* Report) { rpShowPreparedReport(Report, Services); });
}
