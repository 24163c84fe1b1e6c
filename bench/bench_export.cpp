// The workbook export of a log of 100,000 rows in view: the walk over the
// table, one pair of automation calls per cell, reading each text as a
// number, date or text, and writing the .xlsx file in constant-memory mode.
#include "Automation.h"
#include "DbTable.h"
#include "ExcelExport.h"
#include "ExpenseDatabase.h"
#include "ProcessServices.h"
#include "WorkbookServer.h"

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;

const QString& DatabaseFile()
{
    static QTemporaryDir dir;
    static const QString file = [] {
        const QString f = dir.filePath(QStringLiteral("bench.mdb"));
        CreateDatabaseFile(f);
        TDbConnection connection;
        connection.Open(f);
        connection.Execute(ExpenseCreateTableSql());
        connection.Execute(QStringLiteral("BEGIN"));
        auto insert = connection.Prepare(QStringLiteral(
            "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int i = 0; i < RowCount; ++i) {
            insert->Bind(1, TDbValue::Text(QStringLiteral("Автомобиль %1").arg(i % 50)));
            insert->Bind(2, TDbValue::Text(QStringLiteral("part %1").arg(i)));
            insert->Bind(3,
                TDbValue::Text(QStringLiteral("%1.%2.20%3")
                                   .arg(1 + i % 28, 2, 10, QLatin1Char('0'))
                                   .arg(1 + i % 12, 2, 10, QLatin1Char('0'))
                                   .arg(10 + i % 15)));
            insert->Bind(4, TDbValue::Integer(i * 7));
            insert->Bind(5, TDbValue::Text(i % 10 ? QStringLiteral("описание работы %1").arg(i) : QString()));
            insert->Bind(6, TDbValue::Integer((i * 7919) % 100000));
            insert->Step();
            insert->Reset();
        }
        connection.Execute(QStringLiteral("COMMIT"));
        return f;
    }();
    return file;
}

const std::vector<TExportColumn> Columns = { { QStringLiteral("Автомобиль"), QStringLiteral("car") },
    { QStringLiteral("Наименование"), QStringLiteral("partname") },
    { QStringLiteral("Пробег"), QStringLiteral("mileage") },
    { QStringLiteral("Дата"), QStringLiteral("jobdate") },
    { QStringLiteral("Описание"), QStringLiteral("descr") },
    { QStringLiteral("Цена"), QStringLiteral("price") } };

void BM_ExportToExcel(benchmark::State& state)
{
    TDbTable table;
    table.SetDatabaseFile(DatabaseFile());
    table.SetTableName(ExpenseTableName);
    table.Open();
    TFakeShellService shell;
    TAutomationServers servers;
    RegisterWorkbookServer(servers, shell, QLocale(QLocale::Russian, QLocale::Russia));
    for (auto _ : state) {
        ExportToExcel(table, Columns, servers, {});
        state.PauseTiming();
        QFile::remove(shell.Opened().back());
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * RowCount);
}
BENCHMARK(BM_ExportToExcel)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    // The export shows the wait cursor, which needs a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
