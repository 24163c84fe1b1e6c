// The export of the rows in view to a workbook, through the automation calls
// and in their order: create "Excel.Application", WorkBooks, Add,
// Workbooks(1), WorkSheets(1), then Cells(r, c) and Value := text for each
// cell, row by row, and Visible := True at the end.
// Invariants: every intermediate object is released as soon as it has served
// (nothing is kept after the export); the wait cursor and the frozen display
// are undone on every way out, failures included.
#include "ExcelExport.h"

#include "Automation.h"
#include "DbTable.h"
#include "WorkbookServer.h"

#include <QApplication>

namespace {

class TWaitCursor {
public:
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    TWaitCursor(const TWaitCursor&) = delete;
    TWaitCursor& operator=(const TWaitCursor&) = delete;
};

class TFrozenDisplay {
public:
    explicit TFrozenDisplay(const TExportDisplay& display)
        : FDisplay(display)
    {
        if (FDisplay.Freeze)
            FDisplay.Freeze();
    }
    ~TFrozenDisplay()
    {
        // Runs while an export error may be on its way out; that error is the
        // one to report, so a failure to repaint cannot replace it.
        try {
            if (FDisplay.Thaw)
                FDisplay.Thaw();
        } catch (...) {
        }
    }
    TFrozenDisplay(const TFrozenDisplay&) = delete;
    TFrozenDisplay& operator=(const TFrozenDisplay&) = delete;

private:
    const TExportDisplay& FDisplay;
};

void PutCell(TAutomationObject& sheet, int row, int column, const QString& text)
{
    sheet.GetProperty(QStringLiteral("Cells"), { Variant(int32_t(row)), Variant(int32_t(column)) })
        ->PutProperty(QStringLiteral("Value"), Variant(text));
}

} // namespace

void ExportToExcel(TDbTable& table, const std::vector<TExportColumn>& columns,
    const TAutomationServers& servers, const TExportDisplay& display)
{
    TWaitCursor waitCursor;
    TAutomationRef application = servers.CreateOleObject(WorkbookProgId);
    application->CallMethod(QStringLiteral("WorkBooks"))->CallMethod(QStringLiteral("Add"));
    TAutomationRef sheet = application->GetProperty(QStringLiteral("Workbooks"), { Variant(int32_t(1)) })
                               ->GetProperty(QStringLiteral("WorkSheets"), { Variant(int32_t(1)) });

    table.First();
    {
        TFrozenDisplay frozen(display);
        std::vector<int> fields;
        for (size_t i = 0; i < columns.size(); ++i) {
            PutCell(*sheet, 1, int(i) + 1, columns[i].Title);
            fields.push_back(
                table.FindField(columns[i].FieldName) ? table.FieldByName(columns[i].FieldName).Index() : -1);
        }
        int row = 2;
        while (!table.Eof()) {
            for (size_t i = 0; i < columns.size(); ++i) {
                // A column the table lacks fails here, as reading it would.
                const QString text = fields[i] >= 0 ? table.Value(fields[i]).ToString()
                                                    : table.AsString(columns[i].FieldName);
                PutCell(*sheet, row, int(i) + 1, text);
            }
            table.Next();
            ++row;
        }
    }
    sheet.reset();
    application->PutProperty(QStringLiteral("Visible"), Variant(true));
}
