// The rows in view of the expense table as a Qt model, so the grid can show
// them. Cells are read straight from the table's rows in view, without
// moving its current row and without copying anything.
#pragma once

#include <QAbstractTableModel>

class TDbTable;

class TExpenseGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The grid's columns, in display order; the table's id is not shown.
    static constexpr int ColumnCount = 6;
    static const char* const FieldNames[ColumnCount];
    // Text of the indicator column beside the current row.
    static const QString IndicatorText;

    explicit TExpenseGridModel(TDbTable& table, QObject* parent = nullptr);

    // Call after the table's rows, order or open state changed. Opening or
    // closing the table resets the model; otherwise rows are added or
    // removed at the end and all cells are reported changed.
    void Reload();
    // Grid row of the table's current row; -1 when none is in view.
    int CurrentRow() const;
    // Makes the given grid row the table's current row.
    void SetCurrentRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

private:
    TDbTable& FTable;
    int FRows = 0; // rows in view at the last Reload
    int FFieldIndex[ColumnCount] = { -1, -1, -1, -1, -1, -1 }; // -1: no such field
    bool FNumeric[ColumnCount] = {};
};
