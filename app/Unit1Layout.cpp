// Builds the main window's controls at their fixed positions and sizes
// (pixels at 96 dots per inch, relative to the client area) and sets the tab
// order. The window owns every control through Qt's parent chain.
// Invariants: tool buttons never take the focus; the entry area lies below
// the collapsed client height, so collapsing hides it without hiding controls.
#include "ClickLabel.h"
#include "DatePicker.h"
#include "Glyphs.h"
#include "Services.h"
#include "TotalEdit.h"
#include "Unit1.h"

#include <QAction>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTableView>
#include <QToolButton>
#include <QUrl>

namespace {

QFont WindowFont()
{
    QFont font;
    // Where Tahoma is missing, Liberation Sans keeps the captions close to
    // the widths the layout was drawn for.
    font.setFamilies({ QStringLiteral("Tahoma"), QStringLiteral("Liberation Sans") });
    font.setPixelSize(11); // 8 points at 96 dots per inch
    return font;
}

QLabel* MakeLabel(QWidget* parent, const QString& text, QRect geometry, bool bold = false)
{
    auto* label = new QLabel(text, parent);
    if (bold) {
        QFont font = label->font();
        font.setBold(true);
        label->setFont(font);
    }
    // Labels size themselves to their caption, so a wider fallback font
    // never cuts a caption short.
    geometry.setWidth(std::max(geometry.width(), label->fontMetrics().horizontalAdvance(text) + 1));
    label->setGeometry(geometry);
    return label;
}

QToolButton* MakeToolButton(QWidget* parent, QRect geometry, const QPixmap& glyph, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setGeometry(geometry);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(glyph));
    button->setIconSize(glyph.size());
    button->setToolTip(hint);
    return button;
}

QDateEdit* MakeDatePicker(QWidget* parent, QRect geometry, const QString& format)
{
    auto* picker = new TDatePicker(parent);
    picker->setGeometry(geometry);
    picker->setCalendarPopup(true);
    picker->setDisplayFormat(format);
    return picker;
}

QLineEdit* MakeEdit(QWidget* parent, QRect geometry, bool readOnly = false)
{
    auto* edit = new QLineEdit(parent);
    edit->setGeometry(geometry);
    edit->setReadOnly(readOnly);
    return edit;
}

} // namespace

void TForm1::BuildLayout()
{
    setWindowTitle(QStringLiteral("Pelmora 1.1"));
    setFont(WindowFont());
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Window);
    const QString dateFormat = FServices.Calendar->ShortDateFormat();

    // Upper half: grid, filter row, total, path row.
    DBGrid1 = new QTableView(this);
    DBGrid1->setGeometry(0, 0, 741, 232);
    DBGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    DBGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    DBGrid1->setSelectionBehavior(QAbstractItemView::SelectItems);
    DBGrid1->setTabKeyNavigation(true);
    DBGrid1->verticalHeader()->setDefaultSectionSize(18);
    DBGrid1->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    DBGrid1->verticalHeader()->setFixedWidth(12); // the indicator column
    DBGrid1->verticalHeader()->setDefaultAlignment(Qt::AlignCenter);
    DBGrid1->horizontalHeader()->setSectionsClickable(true);
    DBGrid1->horizontalHeader()->setSortIndicatorShown(false);
    DBGrid1->horizontalHeader()->setHighlightSections(false);
    DBGrid1->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
    DBGrid1->setShowGrid(true);
    DBGrid1->setContextMenuPolicy(Qt::CustomContextMenu);
    PopupMenu1 = new QMenu(this);
    N1 = PopupMenu1->addAction(QIcon(Glyphs::Cross(16)), QStringLiteral("Удалить запись"));

    Label8 = MakeLabel(this, QStringLiteral("Фильтр"), { 8, 237, 38, 13 });
    ComboBox2 = new QComboBox(this);
    ComboBox2->setGeometry(8, 256, 145, 21);
    ComboBox2->setEditable(true);
    ComboBox2->setInsertPolicy(QComboBox::NoInsert);
    // No completion: the car filter compares exactly the text the user typed.
    ComboBox2->setCompleter(nullptr);
    SpeedButton4
        = MakeToolButton(this, { 159, 256, 23, 22 }, Glyphs::FunnelOff(22), QStringLiteral("Убрать фильтр"));
    Label9 = MakeLabel(this, QStringLiteral("Поиск по дате"), { 248, 237, 73, 13 });
    DateTimePicker2 = MakeDatePicker(this, { 248, 255, 105, 21 }, dateFormat);
    DateTimePicker3 = MakeDatePicker(this, { 359, 255, 105, 21 }, dateFormat);
    SpeedButton5
        = MakeToolButton(this, { 472, 255, 23, 22 }, Glyphs::Funnel(16), QStringLiteral("Установить фильтр"));
    SpeedButton6
        = MakeToolButton(this, { 501, 255, 23, 22 }, Glyphs::FunnelOff(22), QStringLiteral("Убрать фильтр"));
    Label4 = MakeLabel(this, QStringLiteral("Сумма всех работ"), { 612, 237, 105, 13 }, true);
    Edit2 = new TTotalEdit(this);
    Edit2->setGeometry(611, 256, 121, 21);
    Edit2->setReadOnly(true);
    QFont bold = Edit2->font();
    bold.setBold(true);
    Edit2->setFont(bold);

    Label3 = MakeLabel(this, QStringLiteral("Путь к базе"), { 122, 293, 60, 13 });
    Edit1 = MakeEdit(this, { 188, 290, 369, 21 }, true);
    SpeedButton1 = MakeToolButton(this, { 563, 290, 23, 22 }, Glyphs::OpenDatabase(20), QString());
    SpeedButton2 = MakeToolButton(
        this, { 681, 289, 23, 22 }, Glyphs::Printer(24), QStringLiteral("Отправить на печать"));
    SpeedButton3
        = MakeToolButton(this, { 710, 289, 23, 22 }, Glyphs::Sheet(16), QStringLiteral("Экспорт в Excel"));

    Button3 = new QPushButton(QStringLiteral("Добавить запись"), this);
    Button3->setGeometry(248, 325, 249, 25);
    QFont toggleFont = Button3->font();
    toggleFont.setBold(true);
    toggleFont.setPixelSize(13); // 10 points
    Button3->setFont(toggleFont);

    // Lower half: the entry area, shown when the window is expanded.
    Label2 = MakeLabel(this, QStringLiteral("Автомобиль"), { 7, 363, 61, 13 });
    ComboBox1 = new QComboBox(this);
    ComboBox1->setGeometry(7, 382, 145, 21);
    BitBtn1 = new QPushButton(this);
    BitBtn1->setGeometry(158, 380, 25, 25);
    BitBtn1->setIcon(QIcon(Glyphs::ListLines(11)));
    BitBtn1->setIconSize({ 11, 11 });
    BitBtn1->setToolTip(QStringLiteral("Редактировать список"));
    Label1 = MakeLabel(this, QStringLiteral("Дата"), { 611, 405, 26, 13 });

    // A labelled text box carries its caption 16 pixels above the box.
    const struct {
        QLineEdit* TForm1::*edit;
        const char* caption;
        QRect geometry;
    } entries[] = {
        { &TForm1::LabeledEdit1, "Наименование запчасти или работ", { 7, 422, 585, 21 } },
        { &TForm1::LabeledEdit2, "Описание", { 7, 462, 449, 21 } },
        { &TForm1::LabeledEdit3, "Пробег", { 471, 462, 121, 21 } },
        { &TForm1::LabeledEdit4, "Цена", { 610, 462, 121, 21 } },
    };
    for (int i = 0; i < 4; ++i) {
        const auto& e = entries[i];
        this->*e.edit = MakeEdit(this, e.geometry);
        LabeledEditLabels[i] = MakeLabel(
            this, QString::fromUtf8(e.caption), { e.geometry.left(), e.geometry.top() - 16, 0, 13 });
        LabeledEditLabels[i]->setBuddy(this->*e.edit);
    }
    DateTimePicker1 = MakeDatePicker(this, { 611, 422, 121, 21 }, dateFormat);

    Button2 = new QPushButton(QStringLiteral("Очистить"), this);
    Button2->setGeometry(7, 502, 75, 25);
    SpeedButton7 = MakeToolButton(
        this, { 627, 504, 23, 22 }, Glyphs::Pencil(11), QStringLiteral("Редактировать выделенную запись"));
    Button1 = new QPushButton(QStringLiteral("Добавить"), this);
    Button1->setGeometry(656, 502, 75, 25);
    Button1->setDefault(true); // drawn as the default; Enter is routed in keyPressEvent

    Bevel1 = new QFrame(this);
    Bevel1->setGeometry(7, 542, 724, 5);
    Bevel1->setFrameShape(QFrame::HLine);
    Bevel1->setFrameShadow(QFrame::Sunken);

    Label6 = new TClickLabel(this);
    Label6->setGeometry(647, 553, 84, 13);
    Label6->setText(QUrl(WebAddress).host());
    Label6->setCursor(Qt::PointingHandCursor);
    QPalette linkPalette = Label6->palette();
    linkPalette.setColor(QPalette::WindowText, QColor(0, 0, 255));
    Label6->setPalette(linkPalette);

    // Enter on a focused push button presses that button; elsewhere it goes
    // to the window, which presses Button1.
    for (QPushButton* button : { Button1, Button2, Button3, BitBtn1 })
        button->setAutoDefault(true);
    SetTabOrder();
}

void TForm1::SetTabOrder()
{
    QWidget* const order[] = {
        DBGrid1, // 0
        LabeledEdit1, // 1
        LabeledEdit2, // 2
        DateTimePicker1, // 3
        LabeledEdit3, // 4
        LabeledEdit4, // 5
        Button1, // 6
        ComboBox1, // 7
        BitBtn1, // 8
        Button2, // 9
        Edit1, // 10
        Edit2, // 11
        ComboBox2, // 12
        DateTimePicker2, // 13
        DateTimePicker3, // 14
        Button3, // 15
    };
    for (size_t i = 1; i < std::size(order); ++i)
        QWidget::setTabOrder(order[i - 1], order[i]);
}
