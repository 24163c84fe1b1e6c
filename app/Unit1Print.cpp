// The print command of the main window: the expense report over the rows in
// view, shown in the preview window.
#include "Unit1.h"

#include "DbTable.h"
#include "rpClass.h"

void TForm1::SpeedButton2Click()
{
    // The report walks the table through its data set, which opens a closed
    // table first; a table that cannot be opened fails here, so its error
    // reaches the general error box and no preview opens.
    if (!ADOTable1->Active())
        ADOTable1->Open();
    rpReport1->PrepareReport(true);
    // The walk left the table on the last row in view; the grid follows it.
    // The total box keeps its value.
    ShowCurrentRow();
    rpReport1->ShowPreparedReport();
}
