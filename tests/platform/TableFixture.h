#pragma once
// A fresh expense database in a temporary folder, with helpers to add rows
// through the table layer the way the main window does.
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "expense_log.h"
#include "qt_print.h"
#include <QTemporaryDir>
#include <gtest/gtest.h>

struct TExpense {
    QString Car;
    QString Part;
    QString Date;
    int Mileage;
    int Price;
};

class TableFixture : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        File = Dir.filePath(QStringLiteral("log.mdb"));
        CreateExpenseLogFile(File);
    }

    std::unique_ptr<TDbTable> OpenTable() { return OpenExpenseLog(File); }

    static void Add(TDbTable& table, const TExpense& e)
    {
        table.Last();
        table.Insert();
        table.SetText(QStringLiteral("car"), e.Car);
        table.SetText(QStringLiteral("partname"), e.Part);
        table.SetValue(QStringLiteral("mileage"), TDbValue::Integer(e.Mileage));
        table.SetText(QStringLiteral("jobdate"), e.Date);
        table.SetText(QStringLiteral("descr"), QString());
        table.SetText(QStringLiteral("price"), QString::number(e.Price));
        table.Refresh();
    }

    // The named column of every row in view, walking from the first row.
    static QStringList Column(TDbTable& table, const QString& field)
    {
        QStringList values;
        for (table.First(); !table.Eof(); table.Next())
            values << table.DisplayText(field);
        return values;
    }

    QTemporaryDir Dir;
    QString File;
};
