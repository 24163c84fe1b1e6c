// The cost of evaluating a report expression that is already cached: the
// sorted lookup of its text plus the call of its compiled wrapper function.
#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"
#include "sc_isysrtti.h"

#include <benchmark/benchmark.h>

namespace {

void BM_CalcCached(benchmark::State& state)
{
    TscScript report;
    scAddSysRtti(&report);
    report.AddVariable("Price", "Integer", 40);
    TrpExpressionCache cache(&report);
    QString err;
    // a report of some size: many distinct texts in the cache
    for (int i = 0; i < 200; ++i)
        cache.Calc(QStringLiteral("Price + %1").arg(i), err, &report);
    const QString expr = QStringLiteral("Price * 2 + 1");
    cache.Calc(expr, err, &report);
    for (auto _ : state) {
        Variant v = cache.Calc(expr, err, &report);
        benchmark::DoNotOptimize(v);
    }
    if (!err.isEmpty())
        state.SkipWithError(err.toUtf8().constData());
}
BENCHMARK(BM_CalcCached);

} // namespace

BENCHMARK_MAIN();
