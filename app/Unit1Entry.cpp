// Record entry of the main window: Add, Edit selected, Clear, Delete, the
// digit filter's rule, copying a clicked row into the entry area, the link
// label.
// Invariants: a command that writes a row either stores all six fields or,
// when a conversion fails part-way or the file refuses the row, cancels the
// pending row so nothing of it is stored, then or later; the table is never
// left in editing or inserting state after a command.
#include "Unit1.h"

#include "ClickLabel.h"
#include "DbTable.h"
#include "ExpenseGridModel.h"
#include "MessageBoxes.h"
#include "PelmoraError.h"
#include "Services.h"

#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QTableView>

bool TForm1::EntryComplete()
{
    for (QLineEdit* edit : { LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4 }) {
        if (edit->text().isEmpty()) {
            ShowInformation(*FServices.Dialogs, QStringLiteral("Заполните все поля"));
            return false;
        }
    }
    return true;
}

void TForm1::WriteEntryFields()
{
    TDbTable& table = *ADOTable1;
    table.SetText(QStringLiteral("car"), ComboBox1->currentText());
    table.SetText(QStringLiteral("partname"), LabeledEdit1->text());
    table.SetValue(QStringLiteral("mileage"), TDbValue::Integer(StrToInt(LabeledEdit3->text())));
    table.SetText(QStringLiteral("jobdate"), FServices.Calendar->FormatShortDate(DateTimePicker1->date()));
    table.SetText(QStringLiteral("descr"), LabeledEdit2->text());
    table.SetText(QStringLiteral("price"), LabeledEdit4->text());
}

void TForm1::StoreEntry(bool appendRow)
{
    if (EntryComplete()) {
        TDbTable& table = *ADOTable1;
        if (appendRow) {
            table.Last();
            table.Insert();
        } else {
            table.Edit();
        }
        try {
            WriteEntryFields();
            table.Refresh();
        } catch (...) {
            // A conversion failed part-way, or the file refused the row: no
            // half-filled or refused row may stay pending for a later step
            // (any click, key or filter) to store behind the user's back.
            if (table.Active() && table.State() != TDataSetState::Browse)
                table.Cancel();
            throw;
        }
    }
    CalcTotal();
}

void TForm1::Button1Click()
{
    StoreEntry(true);
}

void TForm1::SpeedButton7Click()
{
    StoreEntry(false);
}

void TForm1::Button2Click()
{
    ComboBox1->setCurrentIndex(ComboBox1->count() > 0 ? 0 : -1);
    for (QLineEdit* edit : { LabeledEdit1, LabeledEdit2, LabeledEdit3, LabeledEdit4 })
        edit->clear();
    DateTimePicker1->setDate(FServices.Calendar->Today());
}

void TForm1::N1Click()
{
    if (AskConfirmation(*FServices.Dialogs, QStringLiteral("Вы уверены?")))
        ADOTable1->Delete();
    CalcTotal();
}

void TForm1::DBGrid1CellClick(const QModelIndex&)
{
    const TDbTable& table = *ADOTable1;
    const QString car = table.AsString(QStringLiteral("car"));
    for (int i = 0; i < ComboBox1->count(); ++i)
        if (ComboBox1->itemText(i) == car)
            ComboBox1->setCurrentIndex(i);
    LabeledEdit1->setText(table.AsString(QStringLiteral("partname")));
    LabeledEdit2->setText(table.AsString(QStringLiteral("descr")));
    LabeledEdit3->setText(table.AsString(QStringLiteral("mileage")));
    LabeledEdit4->setText(table.AsString(QStringLiteral("price")));
    const QString jobdate = table.AsString(QStringLiteral("jobdate"));
    const QDate date = FServices.Calendar->Locale().toDate(jobdate, FServices.Calendar->ShortDateFormat());
    if (!date.isValid())
        throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(jobdate));
    DateTimePicker1->setDate(date);
}

void TForm1::Label6Click()
{
    FServices.Shell->OpenDocument(WebAddress);
}
