// Prepared-report files and text search on the 100,000-row expense report
// (2,440 pages, the log of BenchExpenseLog.h): saving the store to a file,
// loading that file into another report's store, and finding a text that
// occurs only on the last page, searching from the first. The report is
// prepared once, before any clock runs.
#include "BenchExpenseLog.h"
#include "DbTable.h"
#include "ExpenseReport.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpPreviewPages.h"
#include "rpTextSearch.h"

#include <QApplication>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// Reports made from now on get the real store.
struct TRegistered {
    TRegistered() { rpRegisterPreviewPages(); }
};

struct TPrepared {
    TRegistered Registered;
    QTemporaryDir Dir;
    TDbTable Table;
    TrpDBDataset DataSet;
    TrpReport Report;
    QString File;

    TPrepared()
    {
        Table.SetDatabaseFile(
            CreateBenchExpenseLog(Dir.filePath(QStringLiteral("log.mdb")), TBenchLogShape {}));
        Table.SetTableName(ExpenseTableName);
        Table.Open();
        DataSet.SetDataSet(&Table);
        BuildExpenseReport(Report, DataSet);
        Report.EngineOptions()->SetEnableThreadSafe(true);
        Report.EngineOptions()->SetSilentMode(simReThrow);
        Report.PrepareReport(true);
        File = Dir.filePath(QStringLiteral("costs.rpd"));
        Report.PreviewPages()->SaveToFile(File);
    }
};

TPrepared& Prepared()
{
    static TPrepared* prepared = new TPrepared();
    return *prepared;
}

void BM_SaveRpd(benchmark::State& State)
{
    TPrepared& p = Prepared();
    const QString file = p.Dir.filePath(QStringLiteral("saved.rpd"));
    for (auto _ : State)
        p.Report.PreviewPages()->SaveToFile(file);
    State.counters["pages"] = p.Report.PreviewPages()->Count();
    State.counters["file_MB"] = double(QFileInfo(file).size()) / 1048576.0;
}
BENCHMARK(BM_SaveRpd)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_LoadRpd(benchmark::State& State)
{
    TPrepared& p = Prepared();
    TrpReport other;
    for (auto _ : State)
        other.PreviewPages()->LoadFromFile(p.File, true);
    State.counters["pages"] = other.PreviewPages()->Count();
}
BENCHMARK(BM_LoadRpd)->Unit(benchmark::kMillisecond)->UseRealTime();

// "part 99999" is the partname of the last row only.
void BM_FindOnLastPage(benchmark::State& State)
{
    TPrepared& p = Prepared();
    TrpCustomPreviewPages& pages = *p.Report.PreviewPages();
    int page = -1;
    for (auto _ : State) {
        TrpTextSearch search;
        search.Start(QStringLiteral("part 99999"), false, 0);
        page = search.Next(pages) ? search.LastFoundPage() : -1;
    }
    State.counters["found_on_page"] = page + 1;
    State.counters["pages"] = pages.Count();
}
BENCHMARK(BM_FindOnLastPage)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same search with every page drawn (no page skipped), for comparison.
void BM_FindOnLastPageDrawingEveryPage(benchmark::State& State)
{
    TPrepared& p = Prepared();
    TrpCustomPreviewPages& pages = *p.Report.PreviewPages();
    TrpRecordingCanvas canvas;
    int hits = 0;
    for (auto _ : State) {
        hits = 0;
        for (int i = 0; i < pages.Count(); ++i) {
            TrpTextSearch::RecordPage(pages, i, canvas);
            for (const TrpTextOutput& o : canvas.Outputs())
                hits += TrpTextSearch::Matches(o.Text, QStringLiteral("part 99999"), false) ? 1 : 0;
        }
    }
    State.counters["hits"] = hits;
}
BENCHMARK(BM_FindOnLastPageDrawingEveryPage)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
