// Writing and reading a report template of 10,000 objects through the
// serializer (the whole document, as a stream of XML text).
#include "rpClass.h"
#include "rpXMLSerializer.h"

#include <QBuffer>
#include <benchmark/benchmark.h>

namespace {

// One page, 100 data bands and 9,900 memos: 10,001 objects below the report.
std::unique_ptr<TrpReport> BuildReport()
{
    auto report = std::make_unique<TrpReport>();
    auto* page = report->Create<TrpReportPage>();
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    for (int b = 0; b < 100; ++b) {
        auto* band = page->Create<TrpMasterData>();
        band->SetName(QStringLiteral("MasterData%1").arg(b + 1));
        band->SetBounds(0, b * 20, 718.1107L, 18.89765L);
        for (int m = 0; m < 99; ++m) {
            auto* memo = band->Create<TrpMemoView>();
            memo->SetName(QStringLiteral("Memo%1").arg(b * 100 + m + 1));
            memo->SetBounds(m * 7.3L, 0, 7.3L, 18.89765L);
            memo->SetText(QStringLiteral("[rpDBDataset1.\"price\"] & more"));
            memo->Frame()->SetTyp(ftLeft | ftRight);
        }
    }
    return report;
}

QByteArray Write(TrpReport* Report)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    TrpXMLSerializer s(&buf);
    s.WriteRootComponent(Report);
    return buf.data();
}

void BM_WriteReport10000(benchmark::State& State)
{
    auto report = BuildReport();
    for (auto _ : State)
        benchmark::DoNotOptimize(Write(report.get()));
}
BENCHMARK(BM_WriteReport10000)->Unit(benchmark::kMillisecond);

void BM_ReadReport10000(benchmark::State& State)
{
    auto source = BuildReport();
    const QByteArray bytes = Write(source.get());
    for (auto _ : State) {
        QBuffer buf;
        buf.setData(bytes);
        buf.open(QIODevice::ReadOnly);
        TrpReport report;
        TrpXMLSerializer s(&buf);
        s.ReadRootComponent(&report);
        benchmark::DoNotOptimize(report.Count());
    }
}
BENCHMARK(BM_ReadReport10000)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
