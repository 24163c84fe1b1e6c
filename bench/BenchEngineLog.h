// The expense log the engine and PDF benchmarks run on, row for row as
// other report engines are measured: row N = 1..Rows, car "Car " + N mod 7,
// partname "Part " + N, job date 2020-01-01 plus (N mod 3650) days as
// dd.MM.yyyy, mileage N * 10, price N mod 1000, no description.
#pragma once

#include "DbConnection.h"
#include "ExpenseDatabase.h"

#include <QDate>
#include <QString>

inline QString CreateEngineLog(const QString& File, int Rows)
{
    CreateDatabaseFile(File);
    TDbConnection connection;
    connection.Open(File);
    connection.Execute(ExpenseCreateTableSql());
    connection.Execute(QStringLiteral("BEGIN"));
    auto insert = connection.Prepare(QStringLiteral(
        "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
    const QDate start(2020, 1, 1);
    for (int n = 1; n <= Rows; ++n) {
        insert->Bind(1, TDbValue::Text(QStringLiteral("Car %1").arg(n % 7)));
        insert->Bind(2, TDbValue::Text(QStringLiteral("Part %1").arg(n)));
        insert->Bind(3, TDbValue::Text(start.addDays(n % 3650).toString(QStringLiteral("dd.MM.yyyy"))));
        insert->Bind(4, TDbValue::Integer(n * 10));
        insert->Bind(5, TDbValue::Text(QString()));
        insert->Bind(6, TDbValue::Integer(n % 1000));
        insert->Step();
        insert->Reset();
    }
    connection.Execute(QStringLiteral("COMMIT"));
    return File;
}
