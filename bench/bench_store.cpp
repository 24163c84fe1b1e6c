// The prepared pages store on the expense report: filling it with 2,440
// pages of 41 rows (100,040 rows, what the band engine writes for 100,000
// rows) and fetching single pages cold (rebuilt from their items).
//
// Row N prints car "Car " + N mod 7, "Part " + N, a date, N x 10 and
// N mod 1000, like the engine benchmark's data.
#include "rpClass.h"
#include "rpEngine.h"
#include "rpPreviewPages.h"

#include <QApplication>
#include <QBuffer>
#include <QDate>
#include <QImage>
#include <benchmark/benchmark.h>
#include <malloc.h>

namespace {

constexpr int Pages = 2440;
constexpr int RowsPerPage = 41;

class BenchEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::SetRunning;
    using TrpCustomEngine::TrpCustomEngine;
    void SetFinalPass(bool Value) { SetPass(Value, TotalPages()); }
    int LogicalPageNo() const override { return 0; }
    int LogicalTotalPages() const override { return 0; }
    int CurPage() const override { return 0; }
};

struct ExpenseReport {
    std::unique_ptr<TrpReport> Report = std::make_unique<TrpReport>();
    BenchEngine Engine { Report.get() };
    TrpReportPage* Page = nullptr;
    TrpBand* Title = nullptr;
    TrpBand* Header = nullptr;
    TrpBand* Data = nullptr;
    TrpBand* Footer = nullptr;
    std::array<TrpMemoView*, 5> Cells {};
    TrpMemoView* Sum = nullptr;
    TrpMemoView* PageNo = nullptr;
    // The texts of every row, made before the clock runs.
    std::vector<std::array<QStringList, 5>> Rows;
    qsizetype PngSize = 0;

    ExpenseReport()
    {
        Report->SetEngine(&Engine);
        Report->EngineOptions()->SetEnableThreadSafe(true);
        Page = Report->Create<TrpReportPage>();
        Page->SetName(QStringLiteral("Page1"));
        Page->SetLeftMargin(10);
        Page->SetRightMargin(10);
        Page->SetTopMargin(10);
        Page->SetBottomMargin(10);
        Title = AddBand<TrpReportTitle>(QStringLiteral("ReportTitle1"), 79.37013L);
        AddMemo(Title, QStringLiteral("Memo2"), 0, 710.55164L, QStringLiteral("Pelmora expense report"));
        Header = AddBand<TrpHeader>(QStringLiteral("Header1"), 41.57483L);
        Data = AddBand<TrpMasterData>(QStringLiteral("MasterData1"), 22.67718L);
        const long double lefts[] = { 0, 128.50402L, 453.5436L, 555.59091L, 634.96104L };
        const long double widths[] = { 128.50402L, 325.03958L, 102.04731L, 79.37013L, 79.37013L };
        for (int i = 0; i < 5; ++i) {
            AddMemo(
                Header, QStringLiteral("Memo%1").arg(3 + i), lefts[i], widths[i], QStringLiteral("Title"));
            Cells[size_t(i)] = AddMemo(Data, QStringLiteral("Cell%1").arg(i), lefts[i], widths[i], QString());
        }
        Footer = AddBand<TrpPageFooter>(QStringLiteral("PageFooter1"), 94.48825L);
        auto* picture = Footer->Create<TrpPictureView>();
        picture->SetName(QStringLiteral("Picture1"));
        picture->SetBounds(7.55906L, 7.55906L, 124.72449L, 86.92919L);
        QImage image(256, 256, QImage::Format_ARGB32);
        image.fill(qRgba(30, 90, 160, 200));
        QByteArray png;
        QBuffer buffer(&png);
        buffer.open(QIODevice::WriteOnly);
        image.save(&buffer, "PNG");
        picture->SetPicture(QStringLiteral("TPNGObject"), png);
        PngSize = png.size();
        AddMemo(Footer, QStringLiteral("Memo9"), 555.59091L, 75.5906L, QStringLiteral("Sum"));
        Sum = AddMemo(Footer, QStringLiteral("Memo8"), 634.96104L, 79.37013L, QString());
        PageNo = AddMemo(Footer, QStringLiteral("Memo1"), 634.96104L, 75.5906L, QString());

        for (int n = 1; n <= Pages * RowsPerPage; ++n) {
            const QDate date = QDate(2020, 1, 1).addDays(n % 3650);
            Rows.push_back({ QStringList { QStringLiteral("Car %1").arg(n % 7) },
                QStringList { QStringLiteral("Part %1").arg(n) },
                QStringList { date.toString(QStringLiteral("dd.MM.yyyy")) },
                QStringList { QString::number(n * 10) }, QStringList { QString::number(n % 1000) } });
        }
    }

    TrpPreviewPages& Store() { return *static_cast<TrpPreviewPages*>(Report->PreviewPages()); }

    template <class T> TrpBand* AddBand(const QString& Name, long double Height)
    {
        T* band = Page->Create<T>();
        band->SetName(Name);
        band->SetBounds(0, 0, 718.1107L, Height);
        return band;
    }
    TrpMemoView* AddMemo(
        TrpBand* Band, const QString& Name, long double Left, long double Width, const QString& Text)
    {
        auto* memo = Band->Create<TrpMemoView>();
        memo->SetName(Name);
        memo->SetBounds(Left, 0, Width, 18.89765L);
        memo->SetText(Text);
        return memo;
    }

    // What the band engine does to the store for the whole report.
    void Fill()
    {
        TrpPreviewPages& store = Store();
        store.Clear();
        Engine.SetRunning(true);
        Engine.SetFinalPass(true);
        store.Initialize();
        store.AddSourcePage(Page);
        store.BeginPass();
        size_t row = 0;
        for (int p = 0; p < Pages; ++p) {
            store.AddPage(Page);
            long double y = 0;
            if (p == 0) {
                Title->SetTop(y);
                store.AddObject(Title);
                y += Title->Height();
            }
            Header->SetTop(y);
            store.AddObject(Header);
            y += Header->Height();
            int sum = 0;
            for (int r = 0; r < RowsPerPage; ++r, ++row) {
                for (size_t c = 0; c < 5; ++c)
                    Cells[c]->SetMemo(Rows[row][c]);
                sum += int((row + 1) % 1000);
                Data->SetTop(y);
                store.AddObject(Data);
                y += Data->Height();
            }
            Sum->SetText(QString::number(sum));
            PageNo->SetText(QString::number(p + 1));
            Footer->SetTop(Page->PrintableHeight() - Footer->Height());
            store.AddObject(Footer);
        }
        store.Finish();
        Engine.SetRunning(false);
    }
};

ExpenseReport& Filled()
{
    static ExpenseReport* report = [] {
        auto* r = new ExpenseReport();
        r->Fill();
        return r;
    }();
    return *report;
}

void BM_FillStore(benchmark::State& State)
{
    ExpenseReport report;
    size_t bytes = 0;
    for (auto _ : State) {
        State.PauseTiming();
        report.Store().Clear();
        const size_t before = mallinfo2().uordblks;
        State.ResumeTiming();
        report.Fill();
        State.PauseTiming();
        bytes = mallinfo2().uordblks - before;
        State.ResumeTiming();
    }
    // The one footer picture is kept once; it is not part of a page's cost.
    State.counters["pages"] = report.Store().Count();
    State.counters["pictures"] = report.Store().PictureCache().Count();
    State.counters["bytes_per_page"] = double(bytes - size_t(report.PngSize)) / Pages;
}
BENCHMARK(BM_FillStore)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ColdPage(benchmark::State& State)
{
    ExpenseReport& report = Filled();
    const int index = int(State.range(0)) - 1;
    for (auto _ : State) {
        report.Store().EmptyPageCache();
        benchmark::DoNotOptimize(report.Store().GetPage(index));
    }
    State.counters["objects"] = double(report.Store().GetPage(index)->AllObjects().size());
}
BENCHMARK(BM_ColdPage)->Arg(1)->Arg(1220)->Arg(2440)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    rpRegisterPreviewPages();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
