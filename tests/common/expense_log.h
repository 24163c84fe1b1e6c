// How tests start an expense log: a database file holding the program's
// empty expense table, and the table layer opened on it.
#pragma once

#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"

#include <QString>
#include <gtest/gtest.h>
#include <memory>

inline void CreateExpenseLogFile(const QString& Path)
{
    EXPECT_TRUE(CreateDatabaseFile(Path).isEmpty());
    TDbConnection connection;
    connection.Open(Path);
    connection.Execute(ExpenseCreateTableSql());
}

inline std::unique_ptr<TDbTable> OpenExpenseLog(const QString& Path)
{
    auto table = std::make_unique<TDbTable>();
    table->SetDatabaseFile(Path);
    table->SetTableName(ExpenseTableName);
    table->Open();
    return table;
}
