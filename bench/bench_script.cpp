// Script engine costs that a report pays per expression: compiling a wrapper
// function once, and evaluating a compiled one for every row. The evaluation
// benchmark also counts heap allocations (it must make none for a number).
#include "Variant.h"
#include "sc_iinterpreter.h"

#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <new>

namespace {
std::atomic<long> gAllocations { 0 };
} // namespace

void* operator new(std::size_t size)
{
    gAllocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept
{
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept
{
    std::free(p);
}

namespace {

Variant HostGet(QObject*, const QString&, const QString&, std::vector<Variant>& params)
{
    // a data field read: the report looks the text up and returns the value
    return params[0].StringRef().size() > 3 ? Variant(1250.5) : Variant(0);
}

Variant HostIIF(QObject*, const QString&, const QString&, std::vector<Variant>&)
{
    return Variant(1);
}

struct Host {
    TscScript script;
    Host()
    {
        script.AddMethod("function Get(Name: String): Variant", HostGet);
        script.AddMethod(
            "macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant", HostIIF);
        script.AddVariable("Value", "Variant", 0);
    }
};

QString Wrapper(int n, const QString& expr)
{
    return QStringLiteral("function rpf") + QString::number(n) + QStringLiteral(": Variant; begin Result := ")
        + expr + QStringLiteral(" end; begin end.");
}

void BM_CompileTypicalExpression(benchmark::State& state)
{
    Host host;
    const QString source = Wrapper(
        0, QStringLiteral("<rpDBDataset1.\"price\"> * 2 + IIF(<rpDBDataset1.\"mileage\"> > 1000, 1, 0)"));
    for (auto _ : state) {
        TscScript cache(&host.script);
        cache.SetLines(source);
        if (!cache.Compile())
            state.SkipWithError(cache.ErrorMsg().toStdString().c_str());
        benchmark::DoNotOptimize(cache.FindLocal(QStringLiteral("rpf0")));
    }
}
BENCHMARK(BM_CompileTypicalExpression)->Unit(benchmark::kMicrosecond);

void BM_EvaluateCompiledExpression(benchmark::State& state)
{
    Host host;
    TscScript cache(&host.script);
    cache.SetMainProg(false);
    cache.SetLines(Wrapper(0, QStringLiteral("<ds.\"price\"> * 2 + 1")));
    if (!cache.Compile()) {
        state.SkipWithError(cache.ErrorMsg().toStdString().c_str());
        return;
    }
    TscCustomVariable* f = cache.FindLocal(QStringLiteral("rpf0"));
    std::vector<Variant> none;
    benchmark::DoNotOptimize(f->Call(nullptr, none)); // warm up
    const long before = gAllocations.load();
    for (auto _ : state)
        benchmark::DoNotOptimize(f->Call(nullptr, none));
    state.counters["allocs_per_eval"] = benchmark::Counter(
        static_cast<double>(gAllocations.load() - before) / static_cast<double>(state.iterations()));
}
BENCHMARK(BM_EvaluateCompiledExpression);

} // namespace

BENCHMARK_MAIN();
