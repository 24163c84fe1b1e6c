// The record grid of the main window: the current-row colours, the mouse
// wheel and the title-click sort.
// Invariants: the grid's current cell is always on the table's current row;
// one wheel event moves the current row by at most one; a title click sorts
// by one column, alternating that column's direction kept in its field's tag.
#include "Unit1.h"

#include "DbTable.h"
#include "ExpenseGridModel.h"
#include "GridCellDelegate.h"

#include <QHeaderView>
#include <QTableView>

void TForm1::DBGrid1DrawColumnCell(
    QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index)
{
    const QModelIndex current = DBGrid1->currentIndex();
    const bool isCurrent = current.isValid() && current.row() == index.row();
    DBGrid1Cells->DefaultDrawColumnCell(painter, option, index,
        isCurrent ? QColor(0, 0, 255) : QColor(Qt::white), isCurrent ? QColor(Qt::white) : QColor(Qt::black));
}

void TForm1::DBGrid1MouseWheel(Qt::KeyboardModifiers, int WheelDelta, QPoint, bool& Handled)
{
    if (ADOTable1->Active() && WheelDelta != 0) {
        ADOTable1->MoveBy(WheelDelta > 0 ? -1 : 1);
        ShowCurrentRow();
    }
    Handled = true;
}

void TForm1::DBGrid1TitleClick(int Column)
{
    TDbField& field = ADOTable1->FieldByName(QString::fromLatin1(TExpenseGridModel::FieldNames[Column]));
    QString suffix;
    if (field.Tag() == 0) {
        suffix = QStringLiteral(" ASC");
        field.SetTag(1);
    } else {
        suffix = QStringLiteral(" DESC");
        field.SetTag(0);
    }
    ADOTable1->SetSort(field.FieldName() + suffix);
    SyncGrid();
}

void TForm1::SyncGrid()
{
    FSyncingGrid = true;
    DataSource1->Reload();
    FSyncingGrid = false;
    ShowCurrentRow();
}

void TForm1::ShowCurrentRow()
{
    FSyncingGrid = true;
    const int column = std::max(0, DBGrid1->currentIndex().column());
    const int row = DataSource1->CurrentRow();
    if (row >= 0 && row < DataSource1->rowCount()) {
        const QModelIndex index = DataSource1->index(row, column);
        DBGrid1->setCurrentIndex(index);
        DBGrid1->scrollTo(index);
    }
    FSyncingGrid = false;
    RepaintRowMarks();
}

void TForm1::RepaintRowMarks()
{
    DBGrid1->viewport()->update();
    DBGrid1->verticalHeader()->viewport()->update();
}
