// The workbook export of a log of 100,000 rows in view: the walk over the
// table, one pair of automation calls per cell, reading each text as a
// number, date or text, and writing the .xlsx file in constant-memory mode.
#include "Automation.h"
#include "DbTable.h"
#include "ExcelExport.h"
#include "ExpenseDatabase.h"
#include "ProcessServices.h"
#include "WorkbookServer.h"

#include "BenchExpenseLog.h"
#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int RowCount = 100000;

const QString& DatabaseFile()
{
    static QTemporaryDir dir;
    static const QString file = CreateBenchExpenseLog(dir.filePath(QStringLiteral("bench.mdb")),
        { .CarName = QStringLiteral("Автомобиль %1"),
            .Description = QStringLiteral("описание работы %1"),
            .EmptyDescriptionEvery = 10 });
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
    QTemporaryDir documents;
    RegisterWorkbookServer(
        servers, shell, QLocale(QLocale::Russian, QLocale::Russia), documents.path(), QDate(2024, 3, 15));
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
