// The record grid, the filter row and the total on a real database file:
// the walk of CalcTotal, the car and date filters (dates compare as dates),
// the wheel, the title-click sort and the painted current row.
#include "AppFixture.h"

#include "ErrorBox.h"
#include "ExpenseGridModel.h"
#include "ExpenseQuery.h"
#include "MessageBoxes.h"

#include <QApplication>
#include <QComboBox>
#include <QDateEdit>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTableView>
#include <QTest>
#include <QToolButton>
#include <QWheelEvent>

class GridFilterTest : public AppFixture {
protected:
    QString Database;
    std::unique_ptr<TForm1> Form;

    void StartWith(const std::vector<TRow>& rows, const QByteArray& cars = "Lada\r\nVolga\r\nO'Neil\r\n",
        bool quietStart = true)
    {
        Database = MakeDatabase("log.mdb", rows);
        Configure(Database);
        WriteBytes(CarList(), cars);
        Form = Start();
        ASSERT_TRUE(Form);
        if (quietStart) {
            ASSERT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
        }
        Form->DBGrid1->resize(741, 232);
    }
    // The texts of one grid column, top to bottom.
    QStringList Column(int column) const
    {
        QStringList texts;
        const QAbstractItemModel* model = Form->DBGrid1->model();
        for (int row = 0; row < model->rowCount(); ++row)
            texts << model->index(row, column).data().toString();
        return texts;
    }
    QStringList Parts() const { return Column(1); }
    QString CurrentPart() const { return Form->ADOTable1->AsString(QStringLiteral("partname")); }
    void Wheel(int delta)
    {
        QWidget* viewport = Form->DBGrid1->viewport();
        const QPointF pos(20, 40);
        QWheelEvent event(pos, viewport->mapToGlobal(pos), QPoint(), QPoint(0, delta), Qt::NoButton,
            Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(viewport, &event);
    }
    void ClickTitle(int column)
    {
        QHeaderView* header = Form->DBGrid1->horizontalHeader();
        const int x = header->sectionViewportPosition(column) + header->sectionSize(column) / 2;
        QTest::mouseClick(header->viewport(), Qt::LeftButton, {}, QPoint(x, header->height() / 2));
    }
    void SetRange(QDate start, QDate end)
    {
        Form->DateTimePicker2->setDate(start);
        Form->DateTimePicker3->setDate(end);
    }
    static TRow Row(
        const QString& part, const QString& date, const QString& price, const QString& car = "Lada")
    {
        return { car, part, date, "1", "", price };
    }
};

// ---- CalcTotal -----------------------------------------------------------------

TEST_F(GridFilterTest, TotalWalksAllRowsWritingTheBoxAfterEachAndEndsOnTheLastRow)
{
    StartWith(
        { Row("a", "01.01.2024", "100"), Row("b", "02.01.2024", "250"), Row("c", "03.01.2024", "-50") });
    EXPECT_EQ(Form->Edit2->text(), "300");
    QStringList shown;
    QObject::connect(Form->Edit2, &QLineEdit::textChanged, [&](const QString& t) { shown << t; });
    Form->Edit2->setText("stale");
    shown.clear();
    const int writes = Form->Edit2->WriteCount();
    Form->ADOTable1->First();
    Form->CalcTotal();
    EXPECT_EQ(Form->Edit2->WriteCount() - writes, 3) << "one write per row";
    EXPECT_EQ(shown, QStringList { "300" }) << "laid out once, with the last sum";
    EXPECT_EQ(CurrentPart(), "c");
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 2) << "the grid marks the last row";
}

TEST_F(GridFilterTest, TotalOfNoRowIsZero)
{
    StartWith({});
    EXPECT_EQ(Form->Edit2->text(), "0");
}

TEST_F(GridFilterTest, EmptyPriceStopsTheWalkWithTheConversionError)
{
    StartWith({ Row("a", "01.01.2024", "100"), Row("b", "02.01.2024", ""), Row("c", "03.01.2024", "7") },
        "Lada\r\n", false);
    ASSERT_EQ(Dialogs.MessageTexts(),
        QStringList { "Could not convert variant of type (Null) into type (Integer)" });
    EXPECT_EQ(Dialogs.Messages()[0],
        ErrorBoxRequest("Could not convert variant of type (Null) into type (Integer)"));
    EXPECT_EQ(Form->Edit2->text(), "100") << "the sum of the rows before it";
    EXPECT_EQ(CurrentPart(), "b") << "the walk stops on the failing row";
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 1);
}

TEST_F(GridFilterTest, SumBeyondThirtyTwoBitsIsReportedInsteadOfWrapping)
{
    StartWith(
        { Row("a", "01.01.2024", "2147483647"), Row("b", "02.01.2024", "1"), Row("c", "03.01.2024", "5") },
        "Lada\r\n", false);
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0], ErrorBoxRequest(TotalOutOfRangeText));
    EXPECT_EQ(Form->Edit2->text(), "2147483647");
    EXPECT_EQ(CurrentPart(), "b");
}

TEST_F(GridFilterTest, TotalFollowsFilterCommandsButNotClearTitleWheelOrCellClick)
{
    StartWith({ Row("a", "01.01.2024", "100"), Row("b", "02.01.2024", "250", "Volga") });
    struct {
        const char* name;
        std::function<void(TForm1&)> command;
        bool recomputes;
    } const cases[] = {
        { "car filter",
            [](TForm1& f) {
                f.ComboBox2->setEditText("Volga");
                f.ComboBox2Change();
            },
            true },
        { "remove filter (car side)", [](TForm1& f) { f.SpeedButton4->click(); }, true },
        { "remove filter (date side)", [](TForm1& f) { f.SpeedButton6->click(); }, true },
        { "valid date range", [](TForm1& f) { f.SpeedButton5->click(); }, true },
        { "refused date range",
            [](TForm1& f) {
                f.DateTimePicker3->setDate(f.DateTimePicker2->date().addDays(-1));
                f.SpeedButton5->click();
            },
            false },
        { "clear", [](TForm1& f) { f.Button2->click(); }, false },
        { "title click", [](TForm1& f) { f.DBGrid1TitleClick(5); }, false },
        { "wheel",
            [](TForm1& f) {
                bool h = false;
                f.DBGrid1MouseWheel({}, 120, {}, h);
            },
            false },
        { "cell click", [](TForm1& f) { f.DBGrid1CellClick(f.DBGrid1->model()->index(0, 0)); }, false },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Form->Edit2->setText("stale");
        c.command(*Form);
        EXPECT_EQ(Form->Edit2->text() != "stale", c.recomputes) << Form->Edit2->text().toStdString();
        Form->SpeedButton4Click();
        Dialogs.Clear();
    }
}

// ---- filters ---------------------------------------------------------------------

TEST_F(GridFilterTest, CarFilterDoublesQuotesAndShowsOnlyThatCar)
{
    StartWith({ Row("a", "01.01.2024", "100", "O'Neil"), Row("b", "02.01.2024", "250", "Lada"),
        Row("c", "03.01.2024", "5", "O'Neil") });
    Form->ComboBox2->setEditText("O'Neil");
    Form->ComboBox2Change();
    EXPECT_EQ(Form->ADOTable1->Filter(), "car = 'O''Neil'");
    EXPECT_TRUE(Form->ADOTable1->Filtered());
    EXPECT_EQ(Parts(), (QStringList { "a", "c" }));
    EXPECT_EQ(Form->Edit2->text(), "105");
    EXPECT_EQ(CurrentPart(), "c");
}

TEST_F(GridFilterTest, TypingIntoTheFilterComboFiltersOnEachKeyAndMatchesOnlyWholeNames)
{
    StartWith({ Row("a", "01.01.2024", "100", "Lada"), Row("b", "02.01.2024", "250", "Volga") });
    Form->ComboBox2->setFocus();
    QTest::keyClicks(Form->ComboBox2->lineEdit(), "Lad");
    EXPECT_EQ(Form->ADOTable1->Filter(), "car = 'Lad'");
    EXPECT_EQ(Form->ComboBox2->currentText(), "Lad") << "no completion behind the user's back";
    EXPECT_TRUE(Parts().isEmpty()) << "no car is named Lad";
    EXPECT_EQ(Form->Edit2->text(), "0");
    QTest::keyClicks(Form->ComboBox2->lineEdit(), "a");
    EXPECT_EQ(Parts(), QStringList { "a" });
    EXPECT_EQ(Form->Edit2->text(), "100");
}

TEST_F(GridFilterTest, FilterComboTakesTheCarListOnFocusAndKeepsItsText)
{
    StartWith({});
    Form->ComboBox1->addItem("Moskvich");
    Form->ComboBox2->setEditText("Vol");
    Form->ComboBox2Enter();
    QStringList items;
    for (int i = 0; i < Form->ComboBox2->count(); ++i)
        items << Form->ComboBox2->itemText(i);
    EXPECT_EQ(items, (QStringList { "Lada", "Volga", "O'Neil", "Moskvich" }));
    EXPECT_EQ(Form->ComboBox2->currentText(), "Vol");
    EXPECT_FALSE(Form->ADOTable1->Filtered()) << "taking the list is no user change";
}

TEST_F(GridFilterTest, CarThenDateFilterThenRemovalByEitherButton)
{
    for (QToolButton* TForm1::*button : { &TForm1::SpeedButton4, &TForm1::SpeedButton6 }) {
        StartWith({ Row("a", "14.03.2024", "1", "Lada"), Row("b", "15.03.2024", "2", "Volga"),
            Row("c", "15.03.2024", "4", "Lada") });
        Form->ComboBox2->setEditText("Lada");
        Form->ComboBox2Change();
        EXPECT_EQ(Parts(), (QStringList { "a", "c" }));
        Form->SpeedButton5->click(); // both pickers show today, 15.03.2024
        EXPECT_EQ(Form->ADOTable1->Filter(), "jobdate >= '15.03.2024' AND jobdate <= '15.03.2024'");
        EXPECT_EQ(Parts(), (QStringList { "b", "c" })) << "the date filter replaced the car filter";
        EXPECT_EQ(Form->Edit2->text(), "6");
        (Form.get()->*button)->click();
        EXPECT_FALSE(Form->ADOTable1->Filtered());
        EXPECT_EQ(Parts(), (QStringList { "a", "b", "c" }));
        EXPECT_EQ(Form->ComboBox2->currentText(), "");
        EXPECT_EQ(Form->ComboBox2->currentIndex(), -1);
        EXPECT_EQ(Form->Edit2->text(), "7");
        EXPECT_EQ(Form->DateTimePicker2->date(), QDate(2024, 3, 15)) << "the pickers keep their dates";
        Form.reset();
        QFile::remove(Database);
    }
}

TEST_F(GridFilterTest, DateRangeComparesCalendarDates)
{
    StartWith({ Row("jan-10", "10.01.2026", "1"), Row("mar-2025", "15.03.2025", "2"),
        Row("dec-31", "31.12.2025", "4"), Row("feb-01", "01.02.2026", "8"), Row("dec-15", "15.12.2025", "16"),
        Row("jan-31", "31.01.2026", "32"), Row("garbled", "когда-то", "64"),
        Row("jan-11", "11.01.2026", "128") });
    const struct {
        const char* name;
        QDate start, end;
        QStringList parts;
    } cases[] = {
        // Text order would take 15.03.2025 too: "10.01.2026" <= "15.03.2025" <= "31.01.2026".
        { "January 2026", { 2026, 1, 1 }, { 2026, 1, 31 }, { "jan-10", "jan-31", "jan-11" } },
        { "across the year boundary", { 2025, 12, 20 }, { 2026, 1, 10 }, { "jan-10", "dec-31" } },
        { "one day", { 2026, 2, 1 }, { 2026, 2, 1 }, { "feb-01" } },
        { "everything", { 1900, 1, 1 }, { 2100, 1, 1 },
            { "jan-10", "mar-2025", "dec-31", "feb-01", "dec-15", "jan-31", "jan-11" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetRange(c.start, c.end);
        Form->SpeedButton5->click();
        EXPECT_EQ(Parts(), c.parts) << "an unreadable date text is outside every range";
    }
    EXPECT_TRUE(Dialogs.Messages().empty());
}

TEST_F(GridFilterTest, EndBeforeStartIsRefusedAndChangesNothing)
{
    StartWith({ Row("a", "01.01.2024", "100", "Lada"), Row("b", "02.01.2024", "250", "Volga") });
    Form->ComboBox2->setEditText("Volga");
    Form->ComboBox2Change();
    SetRange({ 2024, 1, 2 }, { 2024, 1, 1 });
    Form->Edit2->setText("stale");
    Form->SpeedButton5->click();
    EXPECT_EQ(Dialogs.Messages(),
        std::vector<TMessageRequest> { InformationRequest("Диапазон дат указан некорректно!") });
    EXPECT_EQ(Form->ADOTable1->Filter(), "car = 'Volga'");
    EXPECT_EQ(Parts(), QStringList { "b" });
    EXPECT_EQ(Form->Edit2->text(), "stale");
}

TEST_F(GridFilterTest, FilterMatchingNothingEmptiesGridAndTotal)
{
    StartWith({ Row("a", "01.01.2024", "100") });
    Form->ComboBox2->setEditText("Nobody");
    Form->ComboBox2Change();
    EXPECT_EQ(Form->DBGrid1->model()->rowCount(), 0);
    EXPECT_EQ(Form->Edit2->text(), "0");
    EXPECT_FALSE(Form->DBGrid1->currentIndex().isValid());
}

TEST_F(GridFilterTest, FilterSurvivesReopenByThePathButton)
{
    StartWith({ Row("a", "01.01.2024", "100", "Lada"), Row("b", "02.01.2024", "250", "Volga") });
    const QString other = MakeDatabase("other.mdb",
        { Row("x", "01.01.2024", "1", "Volga"), Row("y", "01.01.2024", "2", "Lada"),
            Row("z", "01.01.2024", "4", "Volga") });
    Form->ComboBox2->setEditText("Volga");
    Form->ComboBox2Change();
    Dialogs.QueueFile(other);
    Form->SpeedButton1->click();
    EXPECT_EQ(Form->ADOTable1->Filter(), "car = 'Volga'");
    EXPECT_EQ(Parts(), (QStringList { "x", "z" }));
    EXPECT_EQ(Form->Edit2->text(), "5");
}

// ---- grid ------------------------------------------------------------------------

TEST_F(GridFilterTest, GridHasSixTitledColumnsWithTheirWidthsAndIsReadOnly)
{
    StartWith({ Row("a", "01.01.2024", "100") });
    const QStringList titles { "Автомобиль", "Наименование", "Пробег", "Дата", "Описание", "Цена" };
    const int widths[] = { 64, 256, 64, 64, 191, 64 };
    ASSERT_EQ(Form->DBGrid1->model()->columnCount(), 6);
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(Form->DBGrid1->model()->headerData(c, Qt::Horizontal).toString(), titles[c]);
        EXPECT_EQ(Form->DBGrid1->columnWidth(c), widths[c]);
    }
    EXPECT_EQ(Form->DBGrid1->horizontalHeader()->sectionResizeMode(0), QHeaderView::Interactive);
    EXPECT_FALSE(Form->DBGrid1->model()->flags(Form->DBGrid1->model()->index(0, 1)) & Qt::ItemIsEditable);
    EXPECT_EQ(Form->DBGrid1->editTriggers(), QAbstractItemView::NoEditTriggers);
    EXPECT_EQ(
        Form->DBGrid1->model()->headerData(0, Qt::Vertical).toString(), TExpenseGridModel::IndicatorText);
}

TEST_F(GridFilterTest, WheelMovesOneRowAgainstTheDeltaAndNeverScrollsByItself)
{
    std::vector<TRow> rows;
    for (int i = 0; i < 40; ++i)
        rows.push_back(Row(QString::number(i), "01.01.2024", "1"));
    StartWith(rows);
    ASSERT_EQ(CurrentPart(), "39") << "CalcTotal left the last row current";
    Wheel(-120);
    EXPECT_EQ(CurrentPart(), "39") << "towards the user on the last row";
    const int scrolled = Form->DBGrid1->verticalScrollBar()->value();
    Wheel(120);
    EXPECT_EQ(CurrentPart(), "38");
    EXPECT_EQ(Form->DBGrid1->verticalScrollBar()->value(), scrolled)
        << "the row is still visible: no scrolling";
    Wheel(2400);
    EXPECT_EQ(CurrentPart(), "37") << "one event, one row, whatever the delta";
    Wheel(15); // a fraction of a notch from a high-resolution wheel
    EXPECT_EQ(CurrentPart(), "36");
    Wheel(0);
    EXPECT_EQ(CurrentPart(), "36");
    Wheel(-1);
    EXPECT_EQ(CurrentPart(), "37");
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 37);
    Form->ADOTable1->First();
    Wheel(120);
    EXPECT_EQ(CurrentPart(), "0") << "away from the user on the first row";
    for (int i = 0; i < 30; ++i)
        Wheel(-120);
    EXPECT_EQ(CurrentPart(), "30");
    const QRect cell = Form->DBGrid1->visualRect(Form->DBGrid1->currentIndex());
    EXPECT_TRUE(Form->DBGrid1->viewport()->rect().contains(cell.center()))
        << "the grid follows the current row";
    EXPECT_EQ(Form->Edit2->text(), "40");
}

TEST_F(GridFilterTest, WheelOnEmptyOrClosedTableDoesNothing)
{
    StartWith({});
    Wheel(120);
    Wheel(-120);
    EXPECT_EQ(Form->ADOTable1->RecNo(), 0);
    Form->ADOTable1->Close();
    bool handled = false;
    Form->DBGrid1MouseWheel({}, -120, {}, handled);
    EXPECT_TRUE(handled);
    EXPECT_TRUE(Dialogs.Messages().empty());
}

TEST_F(GridFilterTest, TitleClicksAlternatePerColumnAndKeepTheCurrentRow)
{
    StartWith(
        { Row("a", "01.01.2024", "300"), Row("b", "02.01.2024", "100"), Row("c", "03.01.2024", "200") });
    Form->ADOTable1->First(); // "a"
    Form->DBGrid1->setCurrentIndex(Form->DBGrid1->model()->index(0, 2));
    ClickTitle(5);
    EXPECT_EQ(Form->ADOTable1->Sort(), "price ASC");
    EXPECT_EQ(Parts(), (QStringList { "b", "c", "a" }));
    EXPECT_EQ(CurrentPart(), "a") << "the sort keeps the current row";
    EXPECT_EQ(Form->DBGrid1->currentIndex().row(), 2);
    ClickTitle(5);
    EXPECT_EQ(Parts(), (QStringList { "a", "c", "b" }));
    ClickTitle(5);
    EXPECT_EQ(Parts(), (QStringList { "b", "c", "a" }));
    EXPECT_EQ(Form->ADOTable1->Sort(), "price ASC") << "third click: ascending again";
    ClickTitle(1);
    EXPECT_EQ(Form->ADOTable1->Sort(), "partname ASC");
    ClickTitle(5);
    EXPECT_EQ(Form->ADOTable1->Sort(), "price DESC") << "each column keeps its own direction";
    EXPECT_FALSE(Form->DBGrid1->horizontalHeader()->isSortIndicatorShown());
    EXPECT_EQ(CurrentPart(), "a");
    EXPECT_TRUE(Dialogs.Messages().empty());
}

TEST_F(GridFilterTest, DateTitleSortsByDateWithUnreadableTextsLast)
{
    StartWith({ Row("mar-2025", "15.03.2025", "1"), Row("garbled-b", "soon", "1"),
        Row("jan-2026", "10.01.2026", "1"), Row("garbled-a", "later", "1"),
        Row("dec-2025", "31.12.2025", "1") });
    Form->DBGrid1TitleClick(3);
    EXPECT_EQ(Parts(), (QStringList { "mar-2025", "dec-2025", "jan-2026", "garbled-a", "garbled-b" }));
    Form->DBGrid1TitleClick(3);
    EXPECT_EQ(Parts(), (QStringList { "garbled-b", "garbled-a", "jan-2026", "dec-2025", "mar-2025" }));
}

TEST_F(GridFilterTest, ReopenRestoresIdOrderAndStartsDirectionsAfresh)
{
    StartWith({ Row("a", "01.01.2024", "300"), Row("b", "02.01.2024", "100") });
    Form->DBGrid1TitleClick(5); // price ASC, tag now 1
    Dialogs.QueueFile(Database);
    Form->SpeedButton1->click();
    EXPECT_EQ(Parts(), (QStringList { "a", "b" })) << "reopening restores the order by id";
    Form->DBGrid1TitleClick(5);
    EXPECT_EQ(Form->ADOTable1->Sort(), "price ASC");
}

TEST_F(GridFilterTest, TitleClickWithoutTableReportsTheMissingField)
{
    StartWith({});
    Form->ADOTable1->Close();
    ClickTitle(0);
    EXPECT_EQ(Dialogs.Messages(),
        std::vector<TMessageRequest> { ErrorBoxRequest("ADOTable1: Field 'car' not found") });
}

TEST_F(GridFilterTest, CurrentRecordIsPaintedBlueWithWhiteTextOthersBlackOnWhite)
{
    StartWith({ Row("first row text", "01.01.2024", "100"), Row("second row text", "02.01.2024", "250"),
        Row("third row text", "03.01.2024", "7") });
    Wheel(120); // from the last row to the second
    Form->DBGrid1->setCurrentIndex(
        Form->DBGrid1->model()->index(1, 4)); // the focus on another cell of that row
    Form->show();
    const QImage image = Form->DBGrid1->grab().toImage();
    auto colours = [&](int row, int column) {
        QRect cell = Form->DBGrid1->visualRect(Form->DBGrid1->model()->index(row, column));
        cell.translate(Form->DBGrid1->viewport()->pos());
        QSet<QRgb> seen;
        for (int y = cell.top() + 2; y < cell.bottom() - 1; ++y)
            for (int x = cell.left() + 2; x < cell.right() - 1; ++x)
                seen.insert(image.pixel(x, y) & 0xFFFFFF);
        return seen;
    };
    // Text is antialiased: white text shows as light pixels on blue, black
    // text as dark pixels on white.
    const auto any = [](const QSet<QRgb>& pixels, auto test) {
        return std::any_of(
            pixels.begin(), pixels.end(), [&](QRgb p) { return test(qRed(p), qGreen(p), qBlue(p)); });
    };
    const auto pureBlue = [](int r, int g, int b) { return r == 0 && g == 0 && b == 255; };
    const auto pureWhite = [](int r, int g, int b) { return r == 255 && g == 255 && b == 255; };
    const auto light = [](int r, int g, int b) { return r > 180 && g > 180 && b > 180; };
    const auto dark = [](int r, int g, int b) { return r < 90 && g < 90 && b < 90; };
    for (int column : { 0, 1, 5 }) {
        SCOPED_TRACE(column);
        const QSet<QRgb> current = colours(1, column);
        EXPECT_TRUE(any(current, pureBlue));
        EXPECT_TRUE(any(current, light)) << "white text";
        EXPECT_FALSE(any(current, dark));
        const QSet<QRgb> other = colours(2, column);
        EXPECT_TRUE(any(other, pureWhite));
        EXPECT_TRUE(any(other, dark)) << "black text";
        EXPECT_FALSE(any(other, [](int r, int, int b) { return b > 200 && r < 60; }));
    }
    EXPECT_EQ(
        Form->DBGrid1->model()->headerData(1, Qt::Vertical).toString(), TExpenseGridModel::IndicatorText);
    EXPECT_EQ(Form->DBGrid1->model()->headerData(2, Qt::Vertical).toString(), "");
}
