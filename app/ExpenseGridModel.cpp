// Grid model over the expense table. A cell is the stored value of one row
// in view, read by its view position, so painting never moves the table's
// current row and costs no more than an array access.
// Invariant: rowCount() and the field positions are those of the last
// Reload; a stale position reads as an empty cell, never out of bounds.
#include "ExpenseGridModel.h"

#include "DbTable.h"

#include <algorithm>

const char* const TExpenseGridModel::FieldNames[ColumnCount]
    = { "car", "partname", "mileage", "jobdate", "descr", "price" };

const QString TExpenseGridModel::IndicatorText = QStringLiteral("\u25B6");

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
    int fieldIndex[ColumnCount];
    bool numeric[ColumnCount];
    for (int column = 0; column < ColumnCount; ++column) {
        const TDbField* field
            = FTable.Active() ? FTable.FindField(QString::fromLatin1(FieldNames[column])) : nullptr;
        fieldIndex[column] = field ? field->Index() : -1;
        numeric[column] = field && field->IsNumeric();
    }
    const int rows = FTable.Active() ? FTable.RecordCount() : 0;
    if (!std::equal(fieldIndex, fieldIndex + ColumnCount, FFieldIndex)
        || !std::equal(numeric, numeric + ColumnCount, FNumeric)) {
        beginResetModel();
        FRows = rows;
        std::copy(fieldIndex, fieldIndex + ColumnCount, FFieldIndex);
        std::copy(numeric, numeric + ColumnCount, FNumeric);
        endResetModel();
        return;
    }
    // Same columns: only the number of rows changes, at the end, and every
    // cell may show another row. A reset would make the grid rebuild all of
    // its rows; this costs it no more than a repaint.
    if (rows > FRows) {
        beginInsertRows(QModelIndex(), FRows, rows - 1);
        FRows = rows;
        endInsertRows();
    } else if (rows < FRows) {
        beginRemoveRows(QModelIndex(), rows, FRows - 1);
        FRows = rows;
        endRemoveRows();
    }
    if (FRows > 0)
        emit dataChanged(index(0, 0), index(FRows - 1, ColumnCount - 1), { Qt::DisplayRole });
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
    if (current >= 0 && row >= 0 && row < FTable.RecordCount() && row != current)
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
    if (!index.isValid() || !FTable.Active())
        return QVariant();
    const int column = index.column();
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(Qt::AlignVCenter | (FNumeric[column] ? Qt::AlignRight : Qt::AlignLeft));
    if (role != Qt::DisplayRole)
        return QVariant();
    return TDbField::DisplayText(FTable.ValueAt(index.row(), FFieldIndex[column]));
}

QVariant TExpenseGridModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (role != Qt::DisplayRole)
        return QVariant();
    if (orientation == Qt::Horizontal && section >= 0 && section < ColumnCount)
        return QString::fromUtf8(Titles[section]);
    if (orientation == Qt::Vertical)
        return section == CurrentRow() ? IndicatorText : QString();
    return QVariant();
}

Qt::ItemFlags TExpenseGridModel::flags(const QModelIndex& index) const
{
    // Read-only: cells can be current and selected, never edited.
    return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable : Qt::NoItemFlags;
}
