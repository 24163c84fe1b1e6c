// A program directory in a temporary folder, the test doubles of the
// platform services, and helpers to prepare and read back the settings file,
// the car list and an expense database there.
#pragma once

#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "PrivateProfile.h"
#include "Services.h"
#include "TotalEdit.h"
#include "Unit1.h"
#include "expense_log.h"
#include "qt_print.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// One stored expense row, without its id.
struct TRow {
    QString car, partname, jobdate, mileage, descr, price;
    bool operator==(const TRow&) const = default;
};

inline std::ostream& operator<<(std::ostream& os, const TRow& r)
{
    return os << '{' << qPrintable(r.car) << '|' << qPrintable(r.partname) << '|' << qPrintable(r.jobdate)
              << '|' << qPrintable(r.mileage) << '|' << qPrintable(r.descr) << '|' << qPrintable(r.price)
              << '}';
}

class AppFixture : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    TTestServices Test { Dir.path() };
    TFakeDialogService& Dialogs = *Test.Dialogs;

    QString File(const QString& name) const { return Dir.filePath(name); }
    QString Ini() const { return File(QStringLiteral("pelmora.ini")); }
    QString CarList() const { return File(QStringLiteral("cars.lst")); }

    QByteArray ReadBytes(const QString& path) const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
    void WriteBytes(const QString& path, const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QString IniValue(const QString& key) const
    {
        return GetPrivateProfileString(QStringLiteral("Settings"), key, QStringLiteral("<none>"), Ini());
    }
    // Settings file with Check = "0" and the given Path.
    void Configure(const QString& databasePath) const
    {
        WriteBytes(Ini(), "[Settings]\r\nCheck=0\r\nPath=" + databasePath.toUtf8() + "\r\n");
    }

    // A database file with the expense table and the given rows.
    QString MakeDatabase(const QString& name, const std::vector<TRow>& rows = {}) const
    {
        const QString path = File(name);
        CreateExpenseLogFile(path);
        const auto table = OpenExpenseLog(path);
        for (const TRow& r : rows) {
            table->Insert();
            table->SetText(QStringLiteral("car"), r.car);
            table->SetText(QStringLiteral("partname"), r.partname);
            table->SetText(QStringLiteral("jobdate"), r.jobdate);
            table->SetText(QStringLiteral("mileage"), r.mileage);
            table->SetText(QStringLiteral("descr"), r.descr);
            table->SetText(QStringLiteral("price"), r.price);
            table->Post();
        }
        return path;
    }

    // Every row of the file, by id.
    static std::vector<TRow> Rows(const QString& databasePath)
    {
        TDbTable table;
        table.SetDatabaseFile(databasePath);
        table.SetTableName(ExpenseTableName);
        table.Open();
        std::vector<TRow> rows;
        for (table.First(); !table.Eof(); table.Next())
            rows.push_back(
                { table.AsString(QStringLiteral("car")), table.AsString(QStringLiteral("partname")),
                    table.AsString(QStringLiteral("jobdate")), table.AsString(QStringLiteral("mileage")),
                    table.AsString(QStringLiteral("descr")), table.AsString(QStringLiteral("price")) });
        return rows;
    }

    // Creates the main window; nullptr when it ended the program.
    std::unique_ptr<TForm1> Start()
    {
        try {
            return TForm1::Create(Test.Services);
        } catch (const ETerminateSelfCalled&) {
            return nullptr;
        }
    }
};
