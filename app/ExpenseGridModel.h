// The rows in view of the expense table as a Qt model, so the grid can show
// them. It reads the table row by row and always gives the current row back.
#pragma once

#include <QAbstractTableModel>

class TDbTable;

class TExpenseGridModel : public QAbstractTableModel {
    Q_OBJECT
public:
    // The grid's columns, in display order; the table's id is not shown.
    static constexpr int ColumnCount = 6;
    static const char* const FieldNames[ColumnCount];

    explicit TExpenseGridModel(TDbTable& table, QObject* parent = nullptr);

    // Call after the table's rows, order or open state changed.
    void Reload();
    // Grid row of the table's current row; -1 when none is in view.
    int CurrentRow() const;
    // Makes the given grid row the table's current row.
    void SetCurrentRow(int row);

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role = Qt::DisplayRole) const override;

private:
    TDbTable& FTable;
    int FRows = 0; // rows in view at the last Reload
};
