// The expense log the benchmarks run on: one database file per program,
// filled once in one transaction with rows spread over many cars, dates
// across fifteen years and prices up to 100,000 (or a lower limit).
#pragma once

#include "DbConnection.h"
#include "ExpenseDatabase.h"

#include <QString>
#include <QTemporaryDir>

struct TBenchLogShape {
    int Rows = 100000;
    QString CarName = QStringLiteral("Car %1"); // %1: the car number
    int Cars = 50;
    QString Description = QStringLiteral("description of job %1"); // %1: the row
    int EmptyDescriptionEvery = 0; // 0: every row has one
    int PriceLimit = 100000; // prices lie below it
};

inline QString CreateBenchExpenseLog(const QString& File, const TBenchLogShape& Shape)
{
    CreateDatabaseFile(File);
    TDbConnection connection;
    connection.Open(File);
    connection.Execute(ExpenseCreateTableSql());
    connection.Execute(QStringLiteral("BEGIN"));
    auto insert = connection.Prepare(QStringLiteral(
        "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
    for (int i = 0; i < Shape.Rows; ++i) {
        const bool noDescription = Shape.EmptyDescriptionEvery > 0 && i % Shape.EmptyDescriptionEvery == 0;
        insert->Bind(1, TDbValue::Text(Shape.CarName.arg(i % Shape.Cars)));
        insert->Bind(2, TDbValue::Text(QStringLiteral("part %1").arg(i)));
        insert->Bind(3,
            TDbValue::Text(QStringLiteral("%1.%2.20%3")
                               .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                               .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                               .arg(10 + i % 15)));
        insert->Bind(4, TDbValue::Integer(i * 7));
        insert->Bind(5, TDbValue::Text(noDescription ? QString() : Shape.Description.arg(i)));
        insert->Bind(6, TDbValue::Integer((i * 7919) % Shape.PriceLimit));
        insert->Step();
        insert->Reset();
    }
    connection.Execute(QStringLiteral("COMMIT"));
    return File;
}
