// Record entry on a real database file: Add, Edit selected, Delete, Clear,
// the digit filter, the cell click, the toggle and the link.
#include "AppFixture.h"

#include "ErrorBox.h"
#include "MessageBoxes.h"

#include <QAction>
#include <QClipboard>
#include <QComboBox>
#include <QDateEdit>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QTest>
#include <QToolButton>

namespace {

const QString FillAllText = QStringLiteral("Заполните все поля");

} // namespace

class EntryTest : public AppFixture {
protected:
    QString Database;
    std::unique_ptr<TForm1> Form;

    void StartWith(const std::vector<TRow>& rows, const QByteArray& cars = "Lada\r\nVolga\r\n")
    {
        Database = MakeDatabase("log.mdb", rows);
        Configure(Database);
        WriteBytes(CarList(), cars);
        Form = Start();
        ASSERT_TRUE(Form);
        ASSERT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
    }
    void Fill(int car, const QString& part, const QString& descr, const QString& mileage,
        const QString& price, QDate date = QDate(2024, 5, 9))
    {
        Form->ComboBox1->setCurrentIndex(car);
        Form->LabeledEdit1->setText(part);
        Form->LabeledEdit2->setText(descr);
        Form->LabeledEdit3->setText(mileage);
        Form->LabeledEdit4->setText(price);
        Form->DateTimePicker1->setDate(date);
    }
    void ClickRow(int row)
    {
        Form->DBGrid1->resize(741, 232);
        const QModelIndex index = Form->DBGrid1->model()->index(row, 1);
        const QRect cell = Form->DBGrid1->visualRect(index);
        ASSERT_TRUE(cell.isValid());
        QTest::mouseClick(Form->DBGrid1->viewport(), Qt::LeftButton, {}, cell.center());
    }
};

TEST_F(EntryTest, AddStoresAllFieldsAndTwiceStoresTwoEqualRows)
{
    StartWith({});
    Fill(1, "Oil change", "5W-40", "120500", "3500");
    Form->Button1->click();
    const TRow stored { "Volga", "Oil change", "09.05.2024", "120500", "5W-40", "3500" };
    EXPECT_EQ(Rows(Database), std::vector<TRow> { stored });
    EXPECT_EQ(Form->Edit2->text(), "3500");
    EXPECT_EQ(Form->LabeledEdit1->text(), "Oil change") << "the entry area is not cleared";

    Form->Button1->click();
    EXPECT_EQ(Rows(Database), (std::vector<TRow> { stored, stored }));
    EXPECT_EQ(Form->Edit2->text(), "7000");
    EXPECT_TRUE(Dialogs.Messages().empty());
}

TEST_F(EntryTest, AddWithoutCarAndWithBlankDescriptionIsAccepted)
{
    StartWith({});
    Fill(-1, "Wipers", "   ", "1", "2");
    Form->Button1->click();
    EXPECT_EQ(Rows(Database), (std::vector<TRow> { { "", "Wipers", "09.05.2024", "1", "   ", "2" } }));
}

TEST_F(EntryTest, EnterKeyAddsThroughTheDefaultButton)
{
    StartWith({});
    Fill(0, "Bulb", "H4", "7", "150");
    QTest::keyClick(Form->LabeledEdit2, Qt::Key_Return);
    EXPECT_EQ(Rows(Database).size(), 1u);
    // On a focused push button Enter presses that button instead.
    QTest::keyClick(Form->Button2, Qt::Key_Return);
    EXPECT_EQ(Rows(Database).size(), 1u);
    EXPECT_TRUE(Form->LabeledEdit1->text().isEmpty()) << "Clear ran";
}

// Each empty text refuses the entry with one message; the total is still
// recomputed.
TEST_F(EntryTest, EmptyTextRefusesEntryOnceAndStillRecomputesTotal)
{
    StartWith({ { "Lada", "old", "01.01.2024", "1", "", "40" } });
    for (int empty = 0; empty < 4; ++empty) {
        Fill(0, "p", "d", "1", "2");
        QLineEdit* edits[]
            = { Form->LabeledEdit1, Form->LabeledEdit2, Form->LabeledEdit3, Form->LabeledEdit4 };
        edits[empty]->clear();
        for (QAbstractButton* command : { static_cast<QAbstractButton*>(Form->Button1),
                 static_cast<QAbstractButton*>(Form->SpeedButton7) }) {
            Dialogs.Clear();
            Form->Edit2->setText("stale");
            command->click();
            EXPECT_EQ(Dialogs.Messages().size(), 1u) << empty;
            EXPECT_EQ(Dialogs.Messages()[0], InformationRequest(FillAllText)) << empty;
            EXPECT_EQ(Form->Edit2->text(), "40") << empty;
        }
    }
    EXPECT_EQ(Rows(Database).size(), 1u);
}

// A conversion error leaves no half-filled row behind, neither at once nor
// at the next command that would post it.
struct ConversionCase {
    const char* name;
    QString mileage, price, expectedMessage;
    QString part = QStringLiteral("new part");
};

class EntryConversionTest : public EntryTest, public ::testing::WithParamInterface<ConversionCase> { };

TEST_P(EntryConversionTest, AddAndEditStoreNothing)
{
    const ConversionCase& c = GetParam();
    const TRow original { "Lada", "old", "01.01.2024", "5", "d", "40" };
    StartWith({ original });
    for (QAbstractButton* command :
        { static_cast<QAbstractButton*>(Form->Button1), static_cast<QAbstractButton*>(Form->SpeedButton7) }) {
        Dialogs.Clear();
        Fill(1, c.part, "desc", c.mileage, c.price);
        command->click();
        ASSERT_EQ(Dialogs.Messages().size(), 1u);
        EXPECT_EQ(Dialogs.Messages()[0], ErrorBoxRequest(c.expectedMessage));
        EXPECT_EQ(Form->ADOTable1->State(), TDataSetState::Browse);
        EXPECT_EQ(Rows(Database), std::vector<TRow> { original });
    }
    // The next good entry stores exactly one row.
    Dialogs.Clear();
    Fill(1, "good", "desc", "1", "2");
    Form->Button1->click();
    EXPECT_TRUE(Dialogs.Messages().empty());
    EXPECT_EQ(Rows(Database).size(), 2u);
    EXPECT_EQ(Form->Edit2->text(), "42");
}

INSTANTIATE_TEST_SUITE_P(BadNumbers, EntryConversionTest,
    ::testing::Values(ConversionCase { "PastedLetters", "12a", "5", "'12a' is not a valid integer value." },
        ConversionCase {
            "MileageOver32Bits", "99999999999", "5", "'99999999999' is not a valid integer value." },
        ConversionCase { "PriceNotANumber", "5", "abc", "'abc' is not a valid integer value." },
        ConversionCase { "PriceOver32Bits", "5", "2147483648", "'2147483648' is not a valid integer value." },
        ConversionCase { "PartNameOver200Characters", "5", "5",
            "The text for field 'partname' is too long: 201 characters, at most 200 allowed.",
            QString(201, 'x') }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(EntryTest, EditSelectedRewritesTheCurrentRow)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" }, { "Lada", "b", "01.01.2024", "2", "", "20" } });
    ClickRow(0);
    EXPECT_EQ(Form->LabeledEdit1->text(), "a");
    Fill(1, "a2", "new", "11", "15");
    Form->SpeedButton7->click();
    EXPECT_EQ(Rows(Database),
        (std::vector<TRow> { { "Volga", "a2", "09.05.2024", "11", "new", "15" },
            { "Lada", "b", "01.01.2024", "2", "", "20" } }));
    EXPECT_EQ(Form->Edit2->text(), "35");
}

TEST_F(EntryTest, EditSelectedWithNoRowInViewAddsTheEntry)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" } });
    Form->ADOTable1->SetFilter("car = 'Nobody'");
    Form->ADOTable1->SetFiltered(true);
    Fill(0, "p", "d", "3", "4");
    Form->SpeedButton7->click();
    EXPECT_EQ(Rows(Database).size(), 2u);
}

TEST_F(EntryTest, DeleteAsksAndRemovesTheCurrentRowOnlyOnYes)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" }, { "Lada", "b", "01.01.2024", "2", "", "20" } });
    ClickRow(0);
    Dialogs.QueueAnswer(TMsgResult::No);
    Form->Edit2->setText("stale");
    Form->N1->trigger();
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0], ConfirmationRequest(QStringLiteral("Вы уверены?")));
    EXPECT_EQ(Rows(Database).size(), 2u);
    EXPECT_EQ(Form->Edit2->text(), "30") << "the total runs whatever the answer";

    ClickRow(0);
    Dialogs.QueueAnswer(TMsgResult::Yes);
    Form->N1->trigger();
    EXPECT_EQ(Rows(Database), (std::vector<TRow> { { "Lada", "b", "01.01.2024", "2", "", "20" } }));
    EXPECT_EQ(Form->Edit2->text(), "20");
}

TEST_F(EntryTest, RightClickDoesNotMoveTheRowThatDeleteRemoves)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" }, { "Lada", "b", "01.01.2024", "2", "", "20" } });
    ASSERT_EQ(Form->ADOTable1->RecNo(), 2) << "the total left the last row current";
    const QRect first = Form->DBGrid1->visualRect(Form->DBGrid1->model()->index(0, 1));
    QTest::mouseClick(Form->DBGrid1->viewport(), Qt::RightButton, {}, first.center());
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 1);
    Dialogs.QueueAnswer(TMsgResult::Yes);
    Form->N1->trigger();
    EXPECT_EQ(Rows(Database), (std::vector<TRow> { { "Lada", "a", "01.01.2024", "1", "", "10" } }));
}

TEST_F(EntryTest, KeyboardInTheGridMovesTheTableRow)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" }, { "Lada", "b", "01.01.2024", "2", "", "20" } });
    Form->DBGrid1->setFocus();
    QTest::keyClick(Form->DBGrid1, Qt::Key_Up);
    EXPECT_EQ(Form->ADOTable1->RecNo(), 1);
    Fill(0, "a2", "d", "3", "4");
    Form->SpeedButton7->click();
    EXPECT_EQ(Rows(Database)[0].partname, "a2");
}

TEST_F(EntryTest, DeleteOnEmptyTableReportsEmptyDatasetAndSkipsTotal)
{
    StartWith({});
    Dialogs.QueueAnswer(TMsgResult::Yes);
    Form->Edit2->setText("stale");
    Form->N1->trigger();
    ASSERT_EQ(Dialogs.Messages().size(), 2u);
    EXPECT_EQ(Dialogs.Messages()[1],
        ErrorBoxRequest("ADOTable1: Cannot perform this operation on an empty dataset"));
    EXPECT_EQ(Form->Edit2->text(), "stale");
}

TEST_F(EntryTest, ClearEmptiesEntryAndSelectsFirstCar)
{
    StartWith({});
    Fill(1, "p", "d", "1", "2", QDate(2020, 1, 1));
    Form->Button2->click();
    EXPECT_EQ(Form->ComboBox1->currentIndex(), 0);
    for (QLineEdit* e : { Form->LabeledEdit1, Form->LabeledEdit2, Form->LabeledEdit3, Form->LabeledEdit4 })
        EXPECT_TRUE(e->text().isEmpty());
    EXPECT_EQ(Form->DateTimePicker1->date(), QDate(2024, 3, 15));
}

TEST_F(EntryTest, ClearWithEmptyCarListSelectsNothing)
{
    StartWith({}, "");
    Form->Button2->click();
    EXPECT_EQ(Form->ComboBox1->currentIndex(), -1);
    EXPECT_EQ(Form->ComboBox1->currentText(), "");
}

TEST_F(EntryTest, DigitFilterKeepsOnlyDigitsAndBackspace)
{
    StartWith({});
    QGuiApplication::clipboard()->setText("999");
    for (QLineEdit* edit : { Form->LabeledEdit3, Form->LabeledEdit4 }) {
        edit->setFocus();
        QTest::keyClicks(edit, "1-a 2+3.");
        EXPECT_EQ(edit->text(), "123");
        QTest::keyClick(edit, Qt::Key_Backspace);
        EXPECT_EQ(edit->text(), "12");
        QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier); // the paste shortcut is a discarded character
        EXPECT_EQ(edit->text(), "12");
        QTest::keyClick(edit, Qt::Key_Left);
        QTest::keyClick(edit, Qt::Key_Delete); // not a character: editing keys still work
        EXPECT_EQ(edit->text(), "1");
    }
    QTest::keyClicks(Form->LabeledEdit1, "a-1 ");
    EXPECT_EQ(Form->LabeledEdit1->text(), "a-1 ") << "other boxes are not filtered";

    const struct {
        QChar key;
        bool kept;
    } keys[] = { { '0', true }, { '9', true }, { QChar(8), true }, { '-', false }, { 'a', false },
        { ' ', false }, { QChar(3), false }, { QChar(22), false }, { QChar(0x0669), false } };
    for (const auto& k : keys) {
        QChar key = k.key;
        Form->LabeledEdit3KeyPress(Form->LabeledEdit3, key);
        EXPECT_EQ(!key.isNull(), k.kept) << int(k.key.unicode());
    }
}

TEST_F(EntryTest, CellClickCopiesRowAndKeepsCarWhenNotInList)
{
    StartWith(
        { { "Lada", "a", "01.01.2024", "1", "x", "10" }, { "Moskvich", "b", "02.02.2023", "", "y", "5" } });
    Form->ComboBox1->setCurrentIndex(1);
    ClickRow(1);
    EXPECT_EQ(Form->ComboBox1->currentText(), "Volga") << "a car not in the list keeps the previous choice";
    EXPECT_EQ(Form->LabeledEdit1->text(), "b");
    EXPECT_EQ(Form->LabeledEdit2->text(), "y");
    EXPECT_EQ(Form->LabeledEdit3->text(), "") << "an empty mileage gives empty text";
    EXPECT_EQ(Form->LabeledEdit4->text(), "5");
    EXPECT_EQ(Form->DateTimePicker1->date(), QDate(2023, 2, 2));

    ClickRow(0);
    EXPECT_EQ(Form->ComboBox1->currentText(), "Lada");
    EXPECT_EQ(Form->DateTimePicker1->date(), QDate(2024, 1, 1));
}

TEST_F(EntryTest, CellClickSelectsLastEqualCarItem)
{
    StartWith({ { "Lada", "a", "01.01.2024", "1", "", "10" } }, "Lada\r\nVolga\r\nLada\r\nlada\r\n");
    ClickRow(0);
    EXPECT_EQ(Form->ComboBox1->currentIndex(), 2);
}

TEST_F(EntryTest, CellClickWithUnparsableDateFillsOthersThenReportsIt)
{
    StartWith({ { "Lada", "a", "2024-01-31", "1", "x", "10" } });
    Form->DateTimePicker1->setDate(QDate(2022, 6, 1));
    ClickRow(0);
    EXPECT_EQ(Form->LabeledEdit1->text(), "a");
    EXPECT_EQ(Form->LabeledEdit4->text(), "10");
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0], ErrorBoxRequest("'2024-01-31' is not a valid date."));
    EXPECT_EQ(Form->DateTimePicker1->date(), QDate(2022, 6, 1));
}

TEST_F(EntryTest, ToggleSwitchesBetweenTheTwoHeights)
{
    StartWith({});
    EXPECT_EQ(Form->Height(), 392);
    Form->Button3->click();
    EXPECT_EQ(Form->Height(), 604);
    Form->Button3->click();
    EXPECT_EQ(Form->Height(), 392);
    Form->SetHeight(500); // changed by the platform
    Form->Button3->click();
    EXPECT_EQ(Form->Height(), 604);
}

TEST_F(EntryTest, LinkOpensTheFixedAddress)
{
    StartWith({});
    Form->Label6Click();
    EXPECT_EQ(Test.Shell->Opened(), QStringList { TForm1::WebAddress });
}

TEST_F(EntryTest, CommandsWithoutOpenTableReportTheDataLayerError)
{
    StartWith({});
    Form->ADOTable1->Close();
    Fill(0, "p", "d", "1", "2");
    Form->Button1->click();
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_TRUE(Rows(Database).empty());
}
