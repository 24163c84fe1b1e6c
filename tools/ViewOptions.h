// The rows in view as pelmora-tool's commands choose them: a database file,
// the one filter of the main window (a car, or a range of job dates in the
// short date format) and a sort column, parsed from the command line and
// applied to the expense table the way the main window applies them.
#pragma once

#include <QString>
#include <QStringList>
#include <optional>

class TDbTable;

struct TViewOptions {
    QString Database;
    std::optional<QString> Car;
    std::optional<QString> From, To;
    std::optional<QString> SortColumn;
    bool Descending = false;
    bool Total = false; // list only
};

// A command line that cannot be used; Message says why.
struct EUsage {
    QString Message;
};

// Reads DATABASE [--car NAME | --from DATE --to DATE] [--sort COLUMN
// [--desc]], and --total when AllowTotal. Throws EUsage.
TViewOptions ParseViewOptions(const QStringList& args, bool AllowTotal);
// Points Table at the database with the filter and opens it sorted. Throws
// EUsage for a bad date or range, the table layer's error for a missing or
// broken database.
void OpenView(TDbTable& Table, const TViewOptions& Options);
