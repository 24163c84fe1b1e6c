// The program's stand-in for the spreadsheet application it drives through
// automation: its application object answers the members the export uses
// (Workbooks, Workbooks.Add, Workbooks(i), WorkSheets(i), Cells(r, c),
// Value, Visible) and writes real .xlsx workbooks. Making the application
// visible writes each workbook to a file named after the day in the folder
// given ("Pelmora 2024-03-15.xlsx", the user's documents folder) and opens
// it with the desktop's default program.
#pragma once

#include "Automation.h"

#include <QDate>
#include <QLocale>

class TShellService;

// The programmatic identifier the export asks for.
inline const QString WorkbookProgId = QStringLiteral("Excel.Application");

// A new application object. shell opens the written workbooks; locale gives
// the short date format by which cell texts are read as dates; folder is
// where the workbook files go, named after date. shell must outlive the object.
TAutomationRef CreateWorkbookApplication(
    TShellService& shell, const QLocale& locale, const QString& folder, QDate date);

// Registers the stand-in under WorkbookProgId.
void RegisterWorkbookServer(TAutomationServers& servers, TShellService& shell, const QLocale& locale,
    const QString& folder, QDate date);
