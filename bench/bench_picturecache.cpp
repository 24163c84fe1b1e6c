// The picture cache on the path of a long report: every page hands the same
// footer picture to the cache (added once) and the preview fetches it back
// by number; and a memo's difference text, written for every printed memo.
#include "rpClass.h"

#include <QBuffer>
#include <QImage>
#include <benchmark/benchmark.h>

namespace {

// A PNG of about 40 KB (noise does not compress).
QByteArray FooterPng()
{
    QImage image(120, 90, QImage::Format_RGB32);
    uint32_t seed = 12345;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, (seed = seed * 1103515245u + 12345u) >> 8);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The footer picture and a cache in memory (argument 0) or in a file (1).
struct Footer {
    TrpPictureView View;
    TrpPictureCache Cache;
    explicit Footer(const benchmark::State& State)
    {
        View.SetPicture(QStringLiteral("TPNGObject"), FooterPng());
        Cache.SetUseFileCache(State.range(0) != 0);
    }
};

void BM_AddPicture(benchmark::State& State)
{
    Footer footer(State);
    TrpPictureView& view = footer.View;
    TrpPictureCache& cache = footer.Cache;
    for (auto _ : State) {
        if (cache.Count() == 1000) {
            State.PauseTiming();
            cache.Clear();
            State.ResumeTiming();
        }
        cache.AddPicture(&view);
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * view.PictureBytes().size());
}
BENCHMARK(BM_AddPicture)->Arg(0)->Arg(1)->ArgName("file");

void BM_GetPicture(benchmark::State& State)
{
    Footer footer(State);
    TrpPictureView& view = footer.View;
    TrpPictureCache& cache = footer.Cache;
    for (int i = 0; i < 100; ++i)
        cache.AddPicture(&view);
    TrpPictureView rebuilt;
    int index = 0;
    for (auto _ : State) {
        rebuilt.SetImageIndex(index++ % 100 + 1);
        cache.GetPicture(&rebuilt);
        benchmark::DoNotOptimize(rebuilt.PictureBytes().constData());
    }
    State.SetBytesProcessed(int64_t(State.iterations()) * view.PictureBytes().size());
}
BENCHMARK(BM_GetPicture)->Arg(0)->Arg(1)->ArgName("file");

void BM_MemoDiff(benchmark::State& State)
{
    TrpMemoView tmpl;
    tmpl.SetBounds(10, 0, 120, 18.89765L);
    tmpl.SetText(QStringLiteral("[rpDBDataset1.\"price\"]"));
    tmpl.Frame()->SetTyp(ftLeft | ftRight | ftTop | ftBottom);
    TrpMemoView printed;
    printed.SetBounds(10, 0, 120, 37.7953L);
    printed.SetText(QStringLiteral("12 500 ₽"));
    printed.Frame()->SetTyp(ftLeft | ftRight | ftTop | ftBottom);
    for (auto _ : State)
        benchmark::DoNotOptimize(printed.Diff(&tmpl));
}
BENCHMARK(BM_MemoDiff);

} // namespace

BENCHMARK_MAIN();
