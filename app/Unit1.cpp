// The main window's construction, its outer height, the expand/collapse
// toggle and the routing of Qt's signals and events to the handlers.
// Invariants: every handler runs through Guarded, so no error leaves the
// event loop; the client area is 740 pixels wide and 363 or 575 high
// (or what the platform made of it), never resizable by the user.
#include "Unit1.h"

#include "ClickLabel.h"
#include "DbTable.h"
#include "ErrorBox.h"
#include "ExpenseDatabase.h"
#include "ExpenseGridModel.h"
#include "ExpenseQuery.h"
#include "ExpenseReport.h"
#include "GridCellDelegate.h"
#include "Services.h"
#include "rpClass.h"
#include "rpDBSet.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTableView>
#include <QToolButton>

const QString TForm1::WebAddress = QStringLiteral("https://pelmora.org/");

TForm1::TForm1(TServices& services)
    : ADOTable1(std::make_unique<TDbTable>(QStringLiteral("ADOTable1")))
    , FServices(services)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint
        | Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setObjectName(QStringLiteral("Form1"));
    BuildLayout();
    ADOTable1->SetTableName(ExpenseTableName);
    // Job dates compare as the calendar dates they denote, in filters and sorts.
    InstallJobDateKey(*ADOTable1, FServices.Calendar->Locale(), FServices.Calendar->ShortDateFormat());
    // While another program holds the file locked, the window waits with the busy cursor.
    ADOTable1->SetOnBusyWait([](bool waiting) {
        if (waiting)
            QApplication::setOverrideCursor(Qt::WaitCursor);
        else
            QApplication::restoreOverrideCursor();
    });
    DataSource1 = new TExpenseGridModel(*ADOTable1, this);
    DBGrid1->setModel(DataSource1);
    DBGrid1Cells = new TGridCellDelegate(DBGrid1);
    DBGrid1Cells->SetOnDrawColumnCell(
        [this](QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) {
            DBGrid1DrawColumnCell(painter, option, index);
        });
    DBGrid1->setItemDelegate(DBGrid1Cells);
    rpDBDataset1 = std::make_unique<TrpDBDataset>();
    rpDBDataset1->SetDataSet(ADOTable1.get());
    rpReport1 = std::make_unique<TrpReport>();
    BuildExpenseReport(*rpReport1, *rpDBDataset1);
    rpReport1->SetDialogService(FServices.Dialogs.get());
    SetHeight(ExpandedHeight);
    ConnectHandlers();
}

TForm1::~TForm1()
{
    // The grid must let go of the model before the table goes.
    DBGrid1->setModel(nullptr);
}

std::unique_ptr<TForm1> TForm1::Create(TServices& services)
{
    std::unique_ptr<TForm1> form(new TForm1(services));
    form->Guarded([&] { form->FormCreate(); });
    if (QScreen* screen = form->screen()) {
        QRect frame(QPoint(), QSize(740, form->Height()));
        frame.moveCenter(screen->availableGeometry().center());
        form->move(frame.topLeft());
    }
    return form;
}

int TForm1::Height() const
{
    return height() + FrameHeight;
}

void TForm1::SetHeight(int value)
{
    setFixedSize(740, std::max(0, value - FrameHeight));
}

void TForm1::ReportError(const std::exception& error)
{
    SyncGrid(); // show what the table holds after the failed step
    ShowErrorBox(*FServices.Dialogs, error);
}

void TForm1::ReopenTable()
{
    ADOTable1->Close();
    SyncGrid();
    ADOTable1->SetDatabaseFile(Edit1->text());
    ADOTable1->Open();
    SyncGrid();
}

void TForm1::SetColumnWidths()
{
    const int widths[TExpenseGridModel::ColumnCount] = { 64, 256, 64, 64, 191, 64 };
    for (int column = 0; column < TExpenseGridModel::ColumnCount; ++column)
        DBGrid1->setColumnWidth(column, widths[column]);
}

void TForm1::Button3Click()
{
    SetHeight(Height() == ExpandedHeight ? CollapsedHeight : ExpandedHeight);
}

void TForm1::LabeledEdit3KeyPress(QObject*, QChar& Key)
{
    if (Key != QChar(8) && !(Key >= QLatin1Char('0') && Key <= QLatin1Char('9')))
        Key = QChar();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    // Wheel events anywhere over the grid (cells, scroll bars, titles) go to
    // its wheel handler once installed; the grid never scrolls by itself.
    if (event->type() == QEvent::Wheel && FDBGrid1OnMouseWheel
        && (watched == DBGrid1 || watched == DBGrid1->viewport() || watched == DBGrid1->verticalScrollBar()
            || watched == DBGrid1->horizontalScrollBar())) {
        auto* wheel = static_cast<QWheelEvent*>(event);
        const QPoint angle = wheel->angleDelta();
        bool handled = false;
        Guarded([&] {
            FDBGrid1OnMouseWheel(wheel->modifiers(), angle.y() != 0 ? angle.y() : angle.x(),
                DBGrid1->mapFromGlobal(wheel->globalPosition().toPoint()), handled);
        });
        if (handled) {
            wheel->accept();
            return true;
        }
        return false;
    }
    if (watched == ComboBox2 && event->type() == QEvent::FocusIn)
        Guarded([this] { ComboBox2Enter(); });
    if (watched == DBGrid1->viewport()
        && (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonRelease
            || event->type() == QEvent::MouseButtonDblClick))
        return static_cast<QMouseEvent*>(event)->button() == Qt::RightButton;
    if ((watched == LabeledEdit3 || watched == LabeledEdit4) && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        switch (key->key()) {
        // Keys that move the focus, commit the window or delete are not typed
        // characters; they pass untouched.
        case Qt::Key_Tab:
        case Qt::Key_Backtab:
        case Qt::Key_Return:
        case Qt::Key_Enter:
        case Qt::Key_Escape:
        case Qt::Key_Delete:
            return false;
        default:
            break;
        }
        const QString text = key->text();
        if (text.isEmpty())
            return false;
        for (QChar ch : text) {
            QChar typed = ch;
            LabeledEdit3KeyPress(watched, typed);
            if (typed.isNull())
                return true; // the whole key press goes, as one discarded character
        }
        return false;
    }
    return QWidget::eventFilter(watched, event);
}

void TForm1::keyPressEvent(QKeyEvent* event)
{
    // Button1 is the window's default button: Enter adds the entry unless
    // the focused control used the key itself.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        && (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier && Button1->isVisibleTo(this)
        && Button1->isEnabled()) {
        Button1->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm1::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        Guarded([this] { FormShow(); });
}

void TForm1::ConnectHandlers()
{
    auto handle = [this](auto* sender, auto signal, void (TForm1::*handler)()) {
        connect(sender, signal, this, [this, handler] { Guarded([this, handler] { (this->*handler)(); }); });
    };
    handle(SpeedButton1, &QToolButton::clicked, &TForm1::SpeedButton1Click);
    handle(SpeedButton2, &QToolButton::clicked, &TForm1::SpeedButton2Click);
    handle(Button1, &QPushButton::clicked, &TForm1::Button1Click);
    handle(SpeedButton7, &QToolButton::clicked, &TForm1::SpeedButton7Click);
    handle(Button2, &QPushButton::clicked, &TForm1::Button2Click);
    handle(N1, &QAction::triggered, &TForm1::N1Click);
    handle(Button3, &QPushButton::clicked, &TForm1::Button3Click);
    handle(Label6, &TClickLabel::clicked, &TForm1::Label6Click);
    handle(SpeedButton4, &QToolButton::clicked, &TForm1::SpeedButton4Click);
    handle(SpeedButton6, &QToolButton::clicked, &TForm1::SpeedButton4Click);
    handle(SpeedButton5, &QToolButton::clicked, &TForm1::SpeedButton5Click);
    // Only the user's changes of the filter text filter: typing or choosing an item.
    handle(ComboBox2->lineEdit(), &QLineEdit::textEdited, &TForm1::ComboBox2Change);
    handle(ComboBox2, &QComboBox::activated, &TForm1::ComboBox2Change);
    ComboBox2->installEventFilter(this);
    connect(DBGrid1->horizontalHeader(), &QHeaderView::sectionClicked, this,
        [this](int section) { Guarded([&] { DBGrid1TitleClick(section); }); });
    handle(BitBtn1, &QPushButton::clicked, &TForm1::BitBtn1Click);
    handle(SpeedButton3, &QToolButton::clicked, &TForm1::SpeedButton3Click);
    connect(DBGrid1, &QTableView::clicked, this, [this](const QModelIndex& index) {
        Guarded([&] {
            DataSource1->SetCurrentRow(index.row()); // the clicked row becomes current first
            DBGrid1CellClick(index);
        });
    });
    // The grid's current row is the table's: keys and clicks that move one move the other.
    connect(DBGrid1->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
        [this](const QModelIndex& current) {
            if (!FSyncingGrid && current.isValid())
                Guarded([&] { DataSource1->SetCurrentRow(current.row()); });
            RepaintRowMarks();
        });
    // A right click opens the context menu without moving the current row,
    // so "delete" always means the row the grid marks.
    DBGrid1->viewport()->installEventFilter(this);
    for (QObject* part : std::initializer_list<QObject*> {
             DBGrid1, DBGrid1->verticalScrollBar(), DBGrid1->horizontalScrollBar() })
        part->installEventFilter(this);
    connect(DBGrid1, &QWidget::customContextMenuRequested, this,
        [this](const QPoint& pos) { PopupMenu1->popup(DBGrid1->viewport()->mapToGlobal(pos)); });
    LabeledEdit3->installEventFilter(this);
    LabeledEdit4->installEventFilter(this);
}
