// The main window's fixed layout: caption, geometry of the controls, hints,
// focus rules and tab order; and the program's registered visual style.
#include "AppFixture.h"

#include "ClickLabel.h"
#include "MessageBoxes.h"
#include "StyleManager.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QStyle>
#include <QTableView>
#include <QTest>
#include <QToolButton>

class MainWindowLayoutTest : public AppFixture {
protected:
    std::unique_ptr<TForm1> Form;
    void SetUp() override
    {
        Configure(MakeDatabase("log.mdb"));
        Form = Start();
        ASSERT_TRUE(Form);
    }
};

TEST_F(MainWindowLayoutTest, ControlsSitWhereTheLayoutPutsThem)
{
    TForm1& f = *Form;
    const struct {
        const char* name;
        QWidget* widget;
        QRect geometry;
    } controls[] = {
        { "DBGrid1", f.DBGrid1, { 0, 0, 741, 232 } },
        { "ComboBox2", f.ComboBox2, { 8, 256, 145, 21 } },
        { "SpeedButton4", f.SpeedButton4, { 159, 256, 23, 22 } },
        { "DateTimePicker2", f.DateTimePicker2, { 248, 255, 105, 21 } },
        { "DateTimePicker3", f.DateTimePicker3, { 359, 255, 105, 21 } },
        { "SpeedButton5", f.SpeedButton5, { 472, 255, 23, 22 } },
        { "SpeedButton6", f.SpeedButton6, { 501, 255, 23, 22 } },
        { "Edit2", f.Edit2, { 611, 256, 121, 21 } },
        { "Edit1", f.Edit1, { 188, 290, 369, 21 } },
        { "SpeedButton1", f.SpeedButton1, { 563, 290, 23, 22 } },
        { "SpeedButton2", f.SpeedButton2, { 681, 289, 23, 22 } },
        { "SpeedButton3", f.SpeedButton3, { 710, 289, 23, 22 } },
        { "Button3", f.Button3, { 248, 325, 249, 25 } },
        { "ComboBox1", f.ComboBox1, { 7, 382, 145, 21 } },
        { "BitBtn1", f.BitBtn1, { 158, 380, 25, 25 } },
        { "LabeledEdit1", f.LabeledEdit1, { 7, 422, 585, 21 } },
        { "DateTimePicker1", f.DateTimePicker1, { 611, 422, 121, 21 } },
        { "LabeledEdit2", f.LabeledEdit2, { 7, 462, 449, 21 } },
        { "LabeledEdit3", f.LabeledEdit3, { 471, 462, 121, 21 } },
        { "LabeledEdit4", f.LabeledEdit4, { 610, 462, 121, 21 } },
        { "Button2", f.Button2, { 7, 502, 75, 25 } },
        { "SpeedButton7", f.SpeedButton7, { 627, 504, 23, 22 } },
        { "Button1", f.Button1, { 656, 502, 75, 25 } },
        { "Bevel1", f.Bevel1, { 7, 542, 724, 5 } },
    };
    for (const auto& c : controls)
        EXPECT_EQ(c.widget->geometry(), c.geometry) << c.name;
    // Labels may grow to fit a wider font but keep their place.
    EXPECT_EQ(f.Label8->pos(), QPoint(8, 237));
    EXPECT_EQ(f.Label4->pos(), QPoint(612, 237));
    EXPECT_TRUE(f.Label4->font().bold());
    EXPECT_EQ(f.LabeledEditLabels[0]->text(), "Наименование запчасти или работ");
    EXPECT_EQ(f.LabeledEditLabels[0]->geometry().bottom(), 422 - 4) << "caption above its box";
    EXPECT_EQ(f.Label6->geometry().topLeft(), QPoint(647, 553));
    EXPECT_EQ(f.width(), 740);
    EXPECT_EQ(f.windowTitle(), "Pelmora 1.1");
    EXPECT_TRUE(f.Edit1->isReadOnly());
    EXPECT_TRUE(f.Edit2->isReadOnly());
    EXPECT_TRUE(f.Edit2->font().bold());
    EXPECT_TRUE(f.Button3->font().bold());
    EXPECT_EQ(f.Button3->font().pixelSize(), 13);
    EXPECT_EQ(f.font().pixelSize(), 11);
    EXPECT_TRUE(f.ComboBox2->isEditable());
    EXPECT_FALSE(f.ComboBox1->isEditable());
    EXPECT_EQ(f.PopupMenu1->actions().size(), 1);
    EXPECT_EQ(f.N1->text(), "Удалить запись");
    EXPECT_EQ(f.Label6->cursor().shape(), Qt::PointingHandCursor);
}

TEST_F(MainWindowLayoutTest, ToolButtonsTakeNoFocusAndShowTheirHints)
{
    TForm1& f = *Form;
    const struct {
        QAbstractButton* button;
        const char* hint;
        int glyph;
    } buttons[] = {
        { f.SpeedButton1, "", 20 },
        { f.SpeedButton2, "Отправить на печать", 24 },
        { f.SpeedButton3, "Экспорт в Excel", 16 },
        { f.SpeedButton4, "Убрать фильтр", 22 },
        { f.SpeedButton5, "Установить фильтр", 16 },
        { f.SpeedButton6, "Убрать фильтр", 22 },
        { f.SpeedButton7, "Редактировать выделенную запись", 11 },
    };
    for (const auto& b : buttons) {
        EXPECT_EQ(b.button->focusPolicy(), Qt::NoFocus) << b.hint;
        EXPECT_EQ(b.button->toolTip(), QString::fromUtf8(b.hint));
        EXPECT_EQ(b.button->iconSize(), QSize(b.glyph, b.glyph)) << b.hint;
        EXPECT_FALSE(b.button->icon().isNull()) << b.hint;
    }
    EXPECT_EQ(f.BitBtn1->toolTip(), "Редактировать список");
    EXPECT_NE(f.BitBtn1->focusPolicy(), Qt::NoFocus);
}

TEST_F(MainWindowLayoutTest, TabOrderFollowsTheNumberedControls)
{
    TForm1& f = *Form;
    QWidget* const order[] = { f.DBGrid1, f.LabeledEdit1, f.LabeledEdit2, f.DateTimePicker1, f.LabeledEdit3,
        f.LabeledEdit4, f.Button1, f.ComboBox1, f.BitBtn1, f.Button2, f.Edit1, f.Edit2, f.ComboBox2,
        f.DateTimePicker2, f.DateTimePicker3, f.Button3 };
    // Walk the focus chain from each control to the next one that takes Tab.
    for (size_t i = 0; i + 1 < std::size(order); ++i) {
        QWidget* w = order[i]->nextInFocusChain();
        while (w != order[i]
            && (!(w->focusPolicy() & Qt::TabFocus) || w->focusProxy() || !w->isEnabled()
                || !order[0]->window()->isAncestorOf(w)))
            w = w->nextInFocusChain();
        // Compound controls (date and combo editors) hand on to their inner editor.
        while (w->parentWidget() && w->parentWidget() != &f)
            w = w->parentWidget();
        EXPECT_EQ(w, order[i + 1]) << "after control " << i;
    }
}

TEST_F(MainWindowLayoutTest, TabLeavesTheDatePickerForTheNextControl)
{
    Form->show();
    Form->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form.get()));
    Form->DateTimePicker1->setFocus();
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    EXPECT_EQ(QApplication::focusWidget(), Form->LabeledEdit3);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Backtab);
    QWidget* back = QApplication::focusWidget();
    while (back && back->parentWidget() != Form.get())
        back = back->parentWidget();
    EXPECT_EQ(back, Form->DateTimePicker1);
}

TEST(StyleManagerTest, Windows10IsRegisteredAndUnknownNamesShowTheStyleError)
{
    RegisterPelmoraStyles();
    TFakeDialogService dialogs;
    EXPECT_TRUE(TStyleManager::TrySetStyle("windows10", dialogs)) << "names ignore letter case";
    EXPECT_EQ(QApplication::style()->objectName(), "Windows10");
    EXPECT_TRUE(dialogs.Messages().empty());

    EXPECT_FALSE(TStyleManager::TrySetStyle("Aqua Graphite", dialogs));
    ASSERT_EQ(dialogs.Messages().size(), 1u);
    EXPECT_EQ(dialogs.Messages()[0], StyleNotFoundRequest("Aqua Graphite"));
    EXPECT_EQ(dialogs.Messages()[0].Text, "Style 'Aqua Graphite' not found");
    EXPECT_EQ(QApplication::style()->objectName(), "Windows10") << "the look stays as it was";
}
