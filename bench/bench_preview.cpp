// The preview over the expense report of a 100,000-row log (2,440 pages of
// 41 rows, filled into the real store the way the band engine fills it):
// the first paint once the report is prepared, one page painted at 100 %,
// and a scroll through every page, whose memory must stay flat because the
// store keeps only its page cache of live pages. The control runs on the
// offscreen platform.
#include "../tests/preview/StoreFixture.h"
#include "rpPreview.h"
#include "rpPreviewPages.h"
#include "rpPreviewWorkspace.h"

#include <QApplication>
#include <QFile>
#include <benchmark/benchmark.h>

namespace {

constexpr int PageCount = 2440;
constexpr int RowsPerPage = 41;

// The template and its store, filled once.
struct PreparedExpenses {
    ExpenseTemplate Template;
    TrpReport& Report;

    PreparedExpenses()
        : Report(*Template.Report)
    {
        Template.Fill(PageCount, RowsPerPage);
    }
};

PreparedExpenses& Prepared()
{
    static PreparedExpenses prepared;
    return prepared;
}

// Resident memory of the process in megabytes.
double ResidentMegabytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    return fields.size() > 1 ? fields[1].toDouble() * 4096 / (1024.0 * 1024.0) : 0;
}

void BM_FirstPaint2440Pages(benchmark::State& state)
{
    PreparedExpenses& prepared = Prepared();
    TrpCustomPreviewPages* pages = prepared.Report.PreviewPages();
    state.counters["pages"] = pages->Count();
    for (auto _ : state) {
        state.PauseTiming();
        TrpPreview preview;
        preview.resize(1000, 800);
        preview.show();
        // Until the window is exposed a repaint paints nothing.
        QApplication::processEvents();
        state.ResumeTiming();
        preview.Init(&prepared.Report, pages);
        preview.Workspace()->viewport()->repaint();
        state.PauseTiming();
        prepared.Report.SetPreview(nullptr);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_FirstPaint2440Pages)->Unit(benchmark::kMillisecond);

// One page at 100 %: Arg 0 repaints the same page (page cache hit), Arg 1
// a different page each time (rebuilt from the store).
void BM_PaintOnePageAt100(benchmark::State& state)
{
    PreparedExpenses& prepared = Prepared();
    TrpPreview preview;
    preview.resize(1000, 1200);
    preview.show();
    preview.Init(&prepared.Report, prepared.Report.PreviewPages());
    // Until the window is exposed a repaint paints nothing.
    QApplication::processEvents();
    TrpPreviewWorkspace* ws = preview.Workspace();
    int page = 1;
    for (auto _ : state) {
        if (state.range(0) == 1) {
            state.PauseTiming();
            page = page % 2000 + 97; // never within the 50 cached pages
            preview.SetPageNo(page);
            state.ResumeTiming();
        }
        ws->viewport()->repaint(ws->PageRect(preview.PageNo() - 1));
    }
    prepared.Report.SetPreview(nullptr);
}
BENCHMARK(BM_PaintOnePageAt100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

void BM_ScrollThroughAllPages(benchmark::State& state)
{
    PreparedExpenses& prepared = Prepared();
    TrpPreview preview;
    preview.resize(1000, 800);
    preview.show();
    preview.Init(&prepared.Report, prepared.Report.PreviewPages());
    // Until the window is exposed a repaint paints nothing.
    QApplication::processEvents();
    TrpPreviewWorkspace* ws = preview.Workspace();
    // Warm up to the steady state: a full page cache.
    for (int i = 1; i <= 60; ++i) {
        preview.SetPageNo(i);
        ws->viewport()->repaint();
    }
    const double before = ResidentMegabytes();
    double peak = before;
    for (auto _ : state) {
        for (int i = 1; i <= preview.PageCount(); ++i) {
            preview.SetPageNo(i);
            ws->viewport()->repaint();
            if (i % 200 == 0)
                peak = std::max(peak, ResidentMegabytes());
        }
    }
    state.counters["rss_start_MB"] = before;
    state.counters["rss_growth_MB"] = std::max(peak, ResidentMegabytes()) - before;
    prepared.Report.SetPreview(nullptr);
}
BENCHMARK(BM_ScrollThroughAllPages)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
