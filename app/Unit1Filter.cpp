// The filter row and the total of the main window: the car filter, the date
// range filter, removing the filter, and CalcTotal.
// Invariants: only one filter text is active at a time (car and date write
// the same text); every filter command ends with CalcTotal, which leaves the
// last row in view current; a refused date range changes nothing.
#include "Unit1.h"

#include "DbTable.h"
#include "ExpenseQuery.h"
#include "MessageBoxes.h"
#include "Services.h"
#include "TotalEdit.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>

void TForm1::ComboBox2Enter()
{
    const QString text = ComboBox2->currentText();
    QStringList cars;
    for (int i = 0; i < ComboBox1->count(); ++i)
        cars << ComboBox1->itemText(i);
    ComboBox2->clear();
    ComboBox2->addItems(cars);
    ComboBox2->setCurrentIndex(cars.indexOf(text));
    ComboBox2->setEditText(text);
}

void TForm1::ComboBox2Change()
{
    TDbTable& table = *ADOTable1;
    table.SetFilter(CarFilterText(ComboBox2->currentText()));
    if (!table.Filtered())
        table.SetFiltered(true);
    CalcTotal();
}

void TForm1::SpeedButton5Click()
{
    const QDate start = DateTimePicker2->date();
    const QDate end = DateTimePicker3->date();
    if (end < start) {
        ShowInformation(*FServices.Dialogs, QStringLiteral("Диапазон дат указан некорректно!"));
        return;
    }
    TDbTable& table = *ADOTable1;
    table.SetFilter(DateRangeFilterText(
        FServices.Calendar->FormatShortDate(start), FServices.Calendar->FormatShortDate(end)));
    if (!table.Filtered())
        table.SetFiltered(true);
    CalcTotal();
}

void TForm1::SpeedButton4Click()
{
    ADOTable1->SetFiltered(false);
    // Programmatic: the user-change signals the car filter listens to stay quiet.
    ComboBox2->setCurrentIndex(-1);
    ComboBox2->clearEditText();
    CalcTotal();
}

void TForm1::CalcTotal()
{
    bool anyRow = false;
    {
        // The box is written after every row and laid out once, at the end
        // (also when the walk stops on an error).
        Edit2->BeginUpdate();
        struct TEndUpdate {
            TTotalEdit* Edit;
            ~TEndUpdate() { Edit->EndUpdate(); }
        } endUpdate { Edit2 };
        WalkTotal(*ADOTable1, [&](qint32 sum) {
            Edit2->WriteNumber(sum);
            anyRow = true;
        });
    }
    if (!anyRow)
        Edit2->WriteText(QStringLiteral("0"));
    SyncGrid();
}
