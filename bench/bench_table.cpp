// The expense table layer on a log of 100,000 rows: open, a full walk reading
// price, a car filter, a sort by price, and adding one row with refresh; and
// the report's walk through its data set over the same table, against the
// raw walk reading the same two values.
#include "BenchExpenseLog.h"
#include "DbDataSource.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "rpDBSet.h"
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

namespace {

constexpr int CarCount = 50;

// One database shared by all benchmarks, filled once in one transaction.
const QString& DatabaseFile()
{
    static QTemporaryDir dir;
    static const QString file = CreateBenchExpenseLog(dir.filePath(QStringLiteral("bench.mdb")), {});
    return file;
}

std::unique_ptr<TDbTable> OpenTable()
{
    auto table = std::make_unique<TDbTable>();
    table->SetDatabaseFile(DatabaseFile());
    table->SetTableName(ExpenseTableName);
    table->Open();
    return table;
}

void BM_Open(benchmark::State& state)
{
    DatabaseFile();
    for (auto _ : state) {
        auto table = OpenTable();
        benchmark::DoNotOptimize(table->RecordCount());
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_WalkReadingPrice(benchmark::State& state)
{
    auto table = OpenTable();
    const int price = table->FieldByName(QStringLiteral("price")).Index();
    for (auto _ : state) {
        qint64 sum = 0;
        for (table->First(); !table->Eof(); table->Next())
            sum += table->Value(price).AsInteger();
        benchmark::DoNotOptimize(sum);
    }
}
BENCHMARK(BM_WalkReadingPrice)->Unit(benchmark::kMillisecond);

// A raw walk over every row reading partname and price through Read.
template <class TRead> void WalkTwoValues(benchmark::State& state, TRead Read)
{
    auto table = OpenTable();
    const int part = table->FieldByName(QStringLiteral("partname")).Index();
    const int price = table->FieldByName(QStringLiteral("price")).Index();
    for (auto _ : state) {
        qint64 sum = 0;
        qsizetype length = 0;
        for (table->First(); !table->Eof(); table->Next())
            Read(table->Value(part), table->Value(price), length, sum);
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(length);
    }
}

void BM_WalkReadingTwoValues(benchmark::State& state)
{
    WalkTwoValues(state, [](const TDbValue& part, const TDbValue& price, qsizetype& length, qint64& sum) {
        length += part.AsText().size();
        sum += price.AsInteger();
    });
}
BENCHMARK(BM_WalkReadingTwoValues)->Unit(benchmark::kMillisecond);

// The raw walk handing each value out as a report value, as the data set
// must: shows how much of the data set's cost is the shared text itself.
void BM_WalkCopyingTwoValuesIntoVariants(benchmark::State& state)
{
    WalkTwoValues(state, [](const TDbValue& part, const TDbValue& price, qsizetype& length, qint64& sum) {
        length += Variant(part.AsText()).StringRef().size();
        sum += Variant(int32_t(price.AsInteger())).AsInteger();
    });
}
BENCHMARK(BM_WalkCopyingTwoValuesIntoVariants)->Unit(benchmark::kMillisecond);

// As the band engine walks it: First, then Eof and Next, values by name.
void BM_ReportDataSetWalkReadingTwoValues(benchmark::State& state)
{
    auto table = OpenTable();
    TDbDataSource source(table.get());
    TrpDBDataset dataSet;
    dataSet.SetName(QStringLiteral("rpDBDataset1"));
    dataSet.SetDataSource(&source);
    const QString part = QStringLiteral("partname");
    const QString price = QStringLiteral("price");
    for (auto _ : state) {
        dataSet.Initialize();
        qint64 sum = 0;
        qsizetype length = 0;
        for (dataSet.First(); !dataSet.Eof(); dataSet.Next()) {
            length += dataSet.GetValue(part).StringRef().size();
            sum += dataSet.GetValue(price).AsInteger();
        }
        dataSet.Finalize();
        benchmark::DoNotOptimize(sum);
        benchmark::DoNotOptimize(length);
    }
}
BENCHMARK(BM_ReportDataSetWalkReadingTwoValues)->Unit(benchmark::kMillisecond);

void BM_CarFilter(benchmark::State& state)
{
    auto table = OpenTable();
    table->SetFiltered(true);
    int car = 0;
    for (auto _ : state) {
        table->SetFilter(QStringLiteral("car = 'Car %1'").arg(car++ % CarCount));
        benchmark::DoNotOptimize(table->RecordCount());
    }
}
BENCHMARK(BM_CarFilter)->Unit(benchmark::kMillisecond);

void BM_SortByPrice(benchmark::State& state)
{
    auto table = OpenTable();
    bool ascending = true;
    for (auto _ : state) {
        table->SetSort(ascending ? QStringLiteral("price ASC") : QStringLiteral("price DESC"));
        ascending = !ascending;
        benchmark::DoNotOptimize(table->RecNo());
    }
}
BENCHMARK(BM_SortByPrice)->Unit(benchmark::kMillisecond);

void BM_SortByCar(benchmark::State& state)
{
    auto table = OpenTable();
    bool ascending = true;
    for (auto _ : state) {
        table->SetSort(ascending ? QStringLiteral("car ASC") : QStringLiteral("car DESC"));
        ascending = !ascending;
        benchmark::DoNotOptimize(table->RecNo());
    }
}
BENCHMARK(BM_SortByCar)->Unit(benchmark::kMillisecond);

void BM_AddRowWithRefresh(benchmark::State& state)
{
    auto table = OpenTable();
    for (auto _ : state) {
        table->Last();
        table->Insert();
        table->SetText(QStringLiteral("car"), QStringLiteral("Car 1"));
        table->SetText(QStringLiteral("partname"), QStringLiteral("oil"));
        table->SetText(QStringLiteral("mileage"), QStringLiteral("1000"));
        table->SetText(QStringLiteral("jobdate"), QStringLiteral("15.03.2024"));
        table->SetText(QStringLiteral("descr"), QStringLiteral("bench"));
        table->SetText(QStringLiteral("price"), QStringLiteral("100"));
        table->Refresh();
    }
}
BENCHMARK(BM_AddRowWithRefresh)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
