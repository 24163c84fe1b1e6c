// Copying the rows in view of the expense table, with the grid's column
// titles, into a new workbook of the spreadsheet server.
#pragma once

#include <QString>

#include <functional>
#include <vector>

class TAutomationServers;
class TDbTable;

// One grid column: its title and the table field it shows.
struct TExportColumn {
    QString Title;
    QString FieldName;
};

// The window's part in the walk: Freeze stops the data-bound controls from
// repainting; Thaw lets them show the table again (it runs also after a
// failure and must not throw).
struct TExportDisplay {
    std::function<void()> Freeze;
    std::function<void()> Thaw;
};

// Row 1 gets the titles, rows 2 on the text of each column's field in every
// row in view, from the first to the last; then the server is made visible.
// The wait cursor shows meanwhile. Leaves the table on its last row in view.
// Throws the server's or the table's error; the cursor and the display are
// restored first.
void ExportToExcel(TDbTable& table, const std::vector<TExportColumn>& columns,
    const TAutomationServers& servers, const TExportDisplay& display);
