// The cost of printing one memo of the program's report, as the band engine
// pays it per band: BeforePrint, GetData and AfterPrint of the page-footer
// total (an aggregate answered from the registry) and of a memo with a field
// reference, over an event-fed data set so that the figure is the report's
// own share; and feeding one row to the aggregate registry.
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpEngine.h"

#include <benchmark/benchmark.h>

namespace {

class BenchEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::SetCurBand;
    using TrpCustomEngine::TrpCustomEngine;
    int LogicalPageNo() const override { return 1; }
    int LogicalTotalPages() const override { return 0; }
    int CurPage() const override { return 0; }
};

// Page with MasterData1 over rpDBDataset1 and a page footer; one memo in each.
struct FooterReport {
    TrpReport Report;
    BenchEngine Engine { &Report };
    TrpUserDataSet Set;
    TrpMasterData* Band = nullptr;
    TrpPageFooter* Footer = nullptr;
    TrpMemoView* Total = nullptr;
    TrpMemoView* Field = nullptr;

    FooterReport()
    {
        auto* page = Report.Create<TrpReportPage>();
        page->SetName(QStringLiteral("Page1"));
        Band = page->Create<TrpMasterData>();
        Band->SetName(QStringLiteral("MasterData1"));
        Footer = page->Create<TrpPageFooter>();
        Footer->SetName(QStringLiteral("PageFooter1"));
        Total = Footer->Create<TrpMemoView>();
        Total->SetName(QStringLiteral("Memo1"));
        Total->SetText(QStringLiteral("[SUM(<rpDBDataset1.\"price\">,MasterData1)]"));
        Field = Band->Create<TrpMemoView>();
        Field->SetName(QStringLiteral("Memo2"));
        Field->SetText(QStringLiteral("Price: [rpDBDataset1.\"price\"]"));
        Set.SetName(QStringLiteral("rpDBDataset1"));
        Set.SetFields({ QStringLiteral("price") });
        Set.OnGetValue = [](const QString&, Variant& Value) { Value = Variant(int32_t(250)); };
        Report.DataSets().Add(&Set);
        Report.EngineOptions()->SetUseGlobalDataSetList(false);
        Band->SetDataSet(&Set);
        page->SubBands = { Band };
        Report.SetEngine(&Engine);
        Report.PrepareScript();
        Engine.Aggregates().AddItems(page);
    }
    ~FooterReport() { Report.SetEngine(nullptr); }
};

void PrintMemo(benchmark::State& state, FooterReport& r, TrpBand* band, TrpMemoView* memo)
{
    r.Engine.SetCurBand(band);
    try {
        for (auto _ : state) {
            memo->BeforePrint();
            memo->GetData();
            benchmark::DoNotOptimize(memo->Memo());
            memo->AfterPrint();
        }
    } catch (const EPelmoraError& e) {
        state.SkipWithError(e.what());
    }
}

void BM_MemoPageFooterTotal(benchmark::State& state)
{
    FooterReport r;
    r.Engine.Aggregates().AddValue(r.Band);
    PrintMemo(state, r, r.Footer, r.Total);
}
BENCHMARK(BM_MemoPageFooterTotal);

void BM_MemoFieldReference(benchmark::State& state)
{
    FooterReport r;
    PrintMemo(state, r, r.Band, r.Field);
}
BENCHMARK(BM_MemoFieldReference);

void BM_AggregateAddRow(benchmark::State& state)
{
    FooterReport r;
    try {
        for (auto _ : state)
            r.Engine.Aggregates().AddValue(r.Band);
    } catch (const EPelmoraError& e) {
        state.SkipWithError(e.what());
    }
}
BENCHMARK(BM_AggregateAddRow);

} // namespace

BENCHMARK_MAIN();
