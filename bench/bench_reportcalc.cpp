// The cost of a report expression as the memo expansion pays it, per row: a
// bare field reference (resolved without the script) and a cached expression
// that reads the field through Get, both over the expense table as the
// program's report reads it; and the field reference over an event-fed data
// set, which leaves the report's own share of the work.
#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "rpClass.h"
#include "rpDBSet.h"

#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

// A report over a one-row expense table through rpDBDataset1.
struct ExpenseReport {
    QTemporaryDir Dir;
    TDbTable Table { QStringLiteral("ADOTable1") };
    TrpReport Report;
    TrpDBDataset Set;
    QString Error;

    ExpenseReport()
    {
        const QString file = Dir.filePath(QStringLiteral("log.mdb"));
        Error = CreateDatabaseFile(file);
        if (!Error.isEmpty())
            return;
        {
            TDbConnection c;
            c.Open(file);
            c.Execute(ExpenseCreateTableSql());
            c.Execute(
                QStringLiteral("INSERT INTO table1 (car, partname, price) VALUES ('Lada', 'filter', 250)"));
        }
        Table.SetDatabaseFile(file);
        Table.SetTableName(ExpenseTableName);
        Table.Open();
        Set.SetName(QStringLiteral("rpDBDataset1"));
        Set.SetDataSet(&Table);
        Report.DataSets().Add(&Set);
        Set.SetReportRef(&Report);
        Set.Initialize();
        if (!Report.PrepareScript())
            Error = Report.Errors().join(u'\n');
    }
    ~ExpenseReport() { Set.Finalize(); }
};

void RunCalc(benchmark::State& state, TrpReport& report, const QString& expr)
{
    try {
        report.Calc(expr);
        for (auto _ : state) {
            Variant v = report.Calc(expr);
            benchmark::DoNotOptimize(v);
        }
    } catch (const EPelmoraError& e) {
        state.SkipWithError(e.what());
    }
}

void BM_ReportCalcField(benchmark::State& state)
{
    ExpenseReport r;
    if (!r.Error.isEmpty()) {
        state.SkipWithError(r.Error.toUtf8().constData());
        return;
    }
    RunCalc(state, r.Report, QStringLiteral("rpDBDataset1.\"price\""));
}
BENCHMARK(BM_ReportCalcField);

void BM_ReportCalcCachedExpression(benchmark::State& state)
{
    ExpenseReport r;
    if (!r.Error.isEmpty()) {
        state.SkipWithError(r.Error.toUtf8().constData());
        return;
    }
    RunCalc(state, r.Report, QStringLiteral("<rpDBDataset1.\"price\"> * 2"));
}
BENCHMARK(BM_ReportCalcCachedExpression);

void BM_ReportCalcFieldOfUserDataSet(benchmark::State& state)
{
    TrpReport report;
    TrpUserDataSet set;
    set.SetName(QStringLiteral("rpDBDataset1"));
    set.SetFields({ QStringLiteral("price") });
    set.OnGetValue = [](const QString&, Variant& Value) { Value = Variant(int32_t(250)); };
    report.DataSets().Add(&set);
    report.PrepareScript();
    RunCalc(state, report, QStringLiteral("rpDBDataset1.\"price\""));
}
BENCHMARK(BM_ReportCalcFieldOfUserDataSet);

} // namespace

BENCHMARK_MAIN();
