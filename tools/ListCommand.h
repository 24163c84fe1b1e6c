// pelmora-tool list: the rows in view of an expense database as CSV, or
// their total, through the same table layer, filter and sort texts as the
// main window.
#pragma once

#include <QStringList>

// args: what follows "list" on the command line. Writes the result to
// standard output and a clear message to standard error; returns the exit
// status (0 on success, 1 on any failure).
int RunListCommand(const QStringList& args);

// One CSV line (RFC 4180): fields joined by commas, a field quoted when it
// holds a comma, a double quote, CR or LF, inner quotes doubled; ends in CR LF.
// A field that begins with "=", "+", "-" or "@" and is not a plain whole
// number is quoted with an apostrophe in front ("'=1+2"), so a spreadsheet
// opening the file shows it as text instead of running it as a formula.
QString CsvLine(const QStringList& fields);
