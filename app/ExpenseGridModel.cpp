// Grid model over the expense table. The table has one cursor, so reading
// a cell moves it to that row and back; a read never happens while a row is
// pending, because the window only repaints between commands.
// Invariant: rowCount() is the number of rows in view at the last Reload,
// and the table's current row is the same before and after any read.
#include "ExpenseGridModel.h"

#include "DbTable.h"

const char* const TExpenseGridModel::FieldNames[ColumnCount]
    = { "car", "partname", "mileage", "jobdate", "descr", "price" };

namespace {

const char* const Titles[TExpenseGridModel::ColumnCount]
    = { "Автомобиль", "Наименование", "Пробег", "Дата", "Описание", "Цена" };

} // namespace

TExpenseGridModel::TExpenseGridModel(TDbTable& table, QObject* parent)
    : QAbstractTableModel(parent)
    , FTable(table)
{
}

void TExpenseGridModel::Reload()
{
    beginResetModel();
    FRows = FTable.Active() ? FTable.RecordCount() : 0;
    endResetModel();
}

int TExpenseGridModel::CurrentRow() const
{
    if (!FTable.Active() || FTable.IsEmpty())
        return -1;
    return FTable.RecNo() - 1;
}

void TExpenseGridModel::SetCurrentRow(int row)
{
    const int current = CurrentRow();
    if (current >= 0 && row >= 0 && row < FTable.RecordCount())
        FTable.MoveBy(row - current);
}

int TExpenseGridModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : FRows;
}

int TExpenseGridModel::columnCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant TExpenseGridModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || !FTable.Active() || FTable.State() != TDataSetState::Browse)
        return QVariant();
    const QString field = QString::fromLatin1(FieldNames[index.column()]);
    if (role == Qt::TextAlignmentRole) {
        const bool numeric = FTable.FindField(field) && FTable.FindField(field)->IsNumeric();
        return QVariant::fromValue(Qt::AlignVCenter | (numeric ? Qt::AlignRight : Qt::AlignLeft));
    }
    if (role != Qt::DisplayRole)
        return QVariant();
    const int current = CurrentRow();
    if (current < 0 || index.row() >= FTable.RecordCount())
        return QVariant();
    // The table has one cursor: visit the row, then go back.
    FTable.MoveBy(index.row() - current);
    const QString text = FTable.DisplayText(field);
    FTable.MoveBy(current - index.row());
    return text;
}

QVariant TExpenseGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(Titles[section]);
    return QVariant();
}
