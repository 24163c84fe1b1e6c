// The main window's two tool commands outside record entry: opening the
// car-list editor (BitBtn1Click) and exporting the rows in view to a
// workbook (SpeedButton3Click).
// Invariants: the editor is refilled from the entry combo at every opening,
// so it never shows edits that were not saved; the export leaves the current
// row on the last row in view, restores the grid's painting on every way
// out, and does not recompute the total.
#include "Unit1.h"

#include "Automation.h"
#include "CarListFile.h"
#include "DbTable.h"
#include "ExcelExport.h"
#include "ExpenseGridModel.h"
#include "Services.h"
#include "Unit2.h"
#include "WorkbookServer.h"

#include <QComboBox>
#include <QHeaderView>
#include <QTableView>

void TForm1::BitBtn1Click()
{
    if (Form2) {
        Form2->SetLines(ComboItems(*ComboBox1), CarListEncoding(*ComboBox1), CarListDamaged(*ComboBox1));
        Form2->show();
        Form2->raise();
        Form2->activateWindow();
    }
    CalcTotal();
}

void TForm1::SpeedButton3Click()
{
    // The grid's columns in the order they are shown.
    std::vector<TExportColumn> columns;
    const QHeaderView* header = DBGrid1->horizontalHeader();
    for (int visual = 0; visual < header->count(); ++visual) {
        const int logical = header->logicalIndex(visual);
        if (logical < 0 || logical >= TExpenseGridModel::ColumnCount)
            continue;
        columns.push_back({ DataSource1->headerData(logical, Qt::Horizontal).toString(),
            QString::fromLatin1(TExpenseGridModel::FieldNames[logical]) });
    }

    TAutomationServers servers;
    RegisterWorkbookServer(servers, *FServices.Shell, FServices.Calendar->Locale(),
        FServices.Process->DocumentsDir(), FServices.Calendar->Today());
    TExportDisplay display;
    display.Freeze = [this] { DBGrid1->setUpdatesEnabled(false); };
    display.Thaw = [this] {
        DBGrid1->setUpdatesEnabled(true);
        SyncGrid();
    };
    ExportToExcel(*ADOTable1, columns, servers, display);
}
