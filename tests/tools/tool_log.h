// The expense logs the pelmora-tool tests run on: rows 1..Count as the
// benchmark makes them (seven cars, dates over ten years, prices below 1000),
// each row's part name given by the test.
#pragma once

#include "DbConnection.h"
#include "expense_log.h"

#include <QDate>
#include <QString>
#include <QTemporaryDir>
#include <functional>

inline QString MakeToolLog(const QTemporaryDir& Dir, int Count, const std::function<QString(int)>& Partname)
{
    const QString path = Dir.filePath(QStringLiteral("log.mdb"));
    CreateExpenseLogFile(path);
    TDbConnection connection;
    connection.Open(path);
    connection.Execute(QStringLiteral("BEGIN"));
    auto insert = connection.Prepare(QStringLiteral(
        "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
    for (int n = 1; n <= Count; ++n) {
        insert->Bind(1, TDbValue::Text(QStringLiteral("Car %1").arg(n % 7)));
        insert->Bind(2, TDbValue::Text(Partname(n)));
        insert->Bind(
            3, TDbValue::Text(QDate(2020, 1, 1).addDays(n % 3650).toString(QStringLiteral("dd.MM.yyyy"))));
        insert->Bind(4, TDbValue::Integer(n * 10));
        insert->Bind(5, TDbValue::Text(QString()));
        insert->Bind(6, TDbValue::Integer(n % 1000));
        insert->Step();
        insert->Reset();
    }
    connection.Execute(QStringLiteral("COMMIT"));
    return path;
}
