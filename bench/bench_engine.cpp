// PrepareReport of the expense report over 10,000 and 100,000 rows, into the
// real prepared-pages store. The rows are generated exactly as other engines
// are measured on: row N = 1..rows, car "Car " + N mod 7, partname "Part " +
// N, job date 2020-01-01 plus (N mod 3650) days as dd.MM.yyyy, mileage
// N * 10, price N mod 1000, no description. The table is opened once per
// size; each iteration prepares the report again (clearing the store). The
// counters give the pages made and the process's peak resident memory.
#include "BenchEngineLog.h"
#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "ExpenseReport.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpPreviewPages.h"

#include <QDate>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <sys/resource.h>

namespace {

// One log file per size, made on first use and kept for the program's life.
const QString& LogFile(int Rows)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(Rows);
    if (it == files.end())
        it = files.emplace(Rows, CreateEngineLog(dir.filePath(QStringLiteral("log%1.mdb").arg(Rows)), Rows))
                 .first;
    return it->second;
}

double PeakMegabytes()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_maxrss) / 1024.0;
}

void BM_PrepareExpenseReport(benchmark::State& state)
{
    const int rows = int(state.range(0));
    rpRegisterPreviewPages();
    TDbTable table;
    table.SetDatabaseFile(LogFile(rows));
    table.SetTableName(ExpenseTableName);
    table.Open();
    TrpDBDataset dataSet;
    dataSet.SetDataSet(&table);
    TrpReport report;
    BuildExpenseReport(report, dataSet);
    report.EngineOptions()->SetEnableThreadSafe(true);
    report.EngineOptions()->SetSilentMode(simReThrow);
    int pages = 0;
    for (auto _ : state) {
        if (!report.PrepareReport(true)) {
            state.SkipWithError("PrepareReport failed");
            break;
        }
        pages = report.PreviewPages()->Count();
    }
    state.counters["pages"] = pages;
    state.counters["rows/s"]
        = benchmark::Counter(double(rows), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_MB"] = PeakMegabytes();
}
BENCHMARK(BM_PrepareExpenseReport)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
