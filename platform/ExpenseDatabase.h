#pragma once
// The expense database file: creating an empty one and the expense table's
// definition.
#include <QString>

// Name under which the program opens the expense table.
inline const QString ExpenseTableName = QStringLiteral("table1");

// Creates an empty database file. Never touches an existing file. Returns the
// text of the error that occurred, or empty text on success.
QString CreateDatabaseFile(const QString& fileName);

// The program's CREATE TABLE for "Table1", in SQLite's dialect: the text
// columns stay text of at most 200 characters, `id` numbers itself and is
// never reused, `mileage` and `price` hold 32-bit whole numbers (the checks
// refuse anything else, also from other writers).
QString ExpenseCreateTableSql();
