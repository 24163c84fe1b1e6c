// What the main window and pelmora-tool share about the rows in view: the
// filter texts of the filter row, the key by which job dates compare, and
// the total walk.
#pragma once

#include "DbField.h"

#include <QLocale>
#include <QString>
#include <functional>

class TDbTable;

// "car = 'O''Neil'": exact equality, single quotes doubled.
QString CarFilterText(const QString& car);
// "jobdate >= '<start>' AND jobdate <= '<end>'", the texts as given.
QString DateRangeFilterText(const QString& start, const QString& end);

// Key of a job date: the calendar date the text denotes in the given short
// date format (a whole number, so dates compare as dates); a text that is
// not such a date keeps itself as key, which orders it after every date and
// puts it outside every range between two dates.
TFieldKeyFunction JobDateKey(const QLocale& locale, const QString& shortDateFormat);
// Installs JobDateKey for `jobdate` on table; it stays across reopening.
void InstallJobDateKey(TDbTable& table, const QLocale& locale, const QString& shortDateFormat);

// Message for a total beyond the 32-bit range.
extern const QString TotalOutOfRangeText;

// The total walk: from the first row in view to past the last, adding each
// row's price as a 32-bit whole number and calling afterRow with the sum
// after each row. Returns the sum (0 with no row in view); the table is left
// past its last row, the last row current. Throws EConvertError for a Null
// price ("Could not convert variant of type (Null) into type (Integer)") or
// a sum outside the 32-bit range (TotalOutOfRangeText); the walk stops on
// that row and afterRow has seen the sum of the rows before it.
qint32 WalkTotal(TDbTable& table, const std::function<void(qint32 sum)>& afterRow = {});
