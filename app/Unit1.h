// The main window: the record grid, the filter row and total, the database
// path row and the entry area in which one expense is typed.
#pragma once

#include <QWidget>

#include <exception>
#include <functional>
#include <memory>
#include <optional>

class QAction;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QMenu;
class QModelIndex;
class QPainter;
class QPushButton;
class QStyleOptionViewItem;
class QTableView;
class QToolButton;
class TClickLabel;
class TDbTable;
class TExpenseGridModel;
class TGridCellDelegate;
class TTotalEdit;
class TrpDBDataset;
class TrpReport;
class TForm2;
struct TServices;

class TForm1 : public QWidget {
    Q_OBJECT
public:
    // Builds the window and runs FormCreate, as creating the window does.
    // services must outlive the window.
    static std::unique_ptr<TForm1> Create(TServices& services);
    ~TForm1() override;

    // Outer heights of the two layouts; Height() counts the frame the layout
    // was drawn for, so the client area is always 363 or 575 pixels high.
    static constexpr int CollapsedHeight = 392;
    static constexpr int ExpandedHeight = 604;
    static constexpr int FrameHeight = 29;
    int Height() const;
    void SetHeight(int value);

    // The fixed web address of the link label.
    static const QString WebAddress;
    // Files in the program's directory.
    QString SettingsFileName() const; // "pelmora.ini"
    QString CarListPath() const; // "cars.lst"

    // Handlers, named after their control and event.
    void FormCreate();
    void FormShow();
    void SpeedButton1Click();
    void Button1Click();
    void SpeedButton7Click();
    void Button2Click();
    void N1Click();
    void Button3Click();
    void LabeledEdit3KeyPress(QObject* Sender, QChar& Key); // a null Key discards the character
    void DBGrid1CellClick(const QModelIndex& Column);
    void Label6Click();
    void CalcTotal();
    // Record grid.
    void DBGrid1DrawColumnCell(
        QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index);
    void DBGrid1MouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos, bool& Handled);
    void DBGrid1TitleClick(int Column);
    // Filter row.
    void ComboBox2Enter();
    void ComboBox2Change();
    void SpeedButton5Click();
    void SpeedButton4Click(); // also SpeedButton6's
    void BitBtn1Click(); // opens the car-list editor
    void SpeedButton3Click(); // exports the rows in view to a workbook
    void SpeedButton2Click(); // prints the rows in view through rpReport1

    // Controls, owned by the window.
    QTableView* DBGrid1 = nullptr;
    QMenu* PopupMenu1 = nullptr;
    QAction* N1 = nullptr;
    QLabel* Label8 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    QToolButton* SpeedButton4 = nullptr;
    QLabel* Label9 = nullptr;
    QDateEdit* DateTimePicker2 = nullptr;
    QDateEdit* DateTimePicker3 = nullptr;
    QToolButton* SpeedButton5 = nullptr;
    QToolButton* SpeedButton6 = nullptr;
    QLabel* Label4 = nullptr;
    TTotalEdit* Edit2 = nullptr;
    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QPushButton* Button3 = nullptr;
    QLabel* Label2 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* LabeledEdit1 = nullptr;
    QDateEdit* DateTimePicker1 = nullptr;
    QLineEdit* LabeledEdit2 = nullptr;
    QLineEdit* LabeledEdit3 = nullptr;
    QLineEdit* LabeledEdit4 = nullptr;
    QPushButton* Button2 = nullptr;
    QToolButton* SpeedButton7 = nullptr;
    QPushButton* Button1 = nullptr;
    QFrame* Bevel1 = nullptr;
    TClickLabel* Label6 = nullptr;
    // The captions above the labelled text boxes, in the boxes' order.
    QLabel* LabeledEditLabels[4] = {};

    // The car-list editor, created after the window; set by its creator.
    TForm2* Form2 = nullptr;

    // The expense table and the model that shows its rows in view in DBGrid1.
    std::unique_ptr<TDbTable> ADOTable1;
    TExpenseGridModel* DataSource1 = nullptr;
    TGridCellDelegate* DBGrid1Cells = nullptr; // paints the grid's data cells
    // The expense report and the data set it reads ADOTable1 through; the
    // report is declared last so that it goes before its data set.
    std::unique_ptr<TrpDBDataset> rpDBDataset1;
    std::unique_ptr<TrpReport> rpReport1;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

    // The file name the open dialog holds: its last choice in this run, kept
    // when the user cancels it.
    QString OpenDialog1FileName;

private:
    explicit TForm1(TServices& services);
    // The two file dialogs of the window; nullopt when the user cancels.
    std::optional<QString> ExecuteOpenDialog1();
    std::optional<QString> ExecuteSaveDialog1();
    void LoadCarList();
    // Closes ADOTable1, points it at the file in Edit1 and opens it.
    void ReopenTable();
    void SetColumnWidths();
    // Shows the table's rows and current row in the grid again.
    void SyncGrid();
    // Makes the grid's current cell follow the table's current row (same
    // rows, only the current one moved) and scrolls it into view.
    void ShowCurrentRow();
    // Repaints the row marking after the current row moved.
    void RepaintRowMarks();
    // Entry check and field writes shared by Add and Edit selected.
    bool EntryComplete();
    void WriteEntryFields();
    void StoreEntry(bool appendRow);

    void BuildLayout();
    void SetTabOrder();
    void ConnectHandlers();
    void ReportError(const std::exception& error);

    TServices& FServices;
    bool FSyncingGrid = false; // the grid is being made to follow the table
    // The grid's wheel handler, installed by FormCreate; empty: none.
    std::function<void(Qt::KeyboardModifiers, int, QPoint, bool&)> FDBGrid1OnMouseWheel;
    // Runs one handler; an error leaving it goes to the general error box.
    template <class Handler> void Guarded(Handler&& handler);
};

template <class Handler> void TForm1::Guarded(Handler&& handler)
{
    try {
        handler();
    } catch (const std::exception& error) {
        ReportError(error);
    }
}
