// Drawing report objects: one expense-report-like page (title, column
// header, 36 rows of five memos, page footer with the page number, the
// total and a picture) laid out and drawn on a 96-dpi image and on a PDF
// page; and the memo height the band engine asks for when a memo stretches.
#include "rpClass.h"
#include "rpGraphicUtils.h"

#include <QApplication>
#include <QBuffer>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <benchmark/benchmark.h>

namespace {

QByteArray FooterPng()
{
    QImage img(256, 256, QImage::Format_ARGB32);
    img.fill(Qt::transparent);
    QPainter p(&img);
    p.setRenderHint(QPainter::Antialiasing);
    p.setBrush(QColor(40, 90, 160));
    p.drawEllipse(QRect(16, 16, 224, 224));
    p.end();
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    img.save(&buf, "PNG");
    return bytes;
}

TrpMemoView* AddMemo(TrpComponent* Band, Extended Left, Extended Top, Extended Width, Extended Height,
    const QString& Text, TrpHAlign Align = haLeft)
{
    auto* m = Band->Create<TrpMemoView>();
    m->SetBounds(Left, Top, Width, Height);
    m->SetText(Text);
    m->SetHAlign(Align);
    return m;
}

// The page as the store hands it to drawing: every band placed at its
// printed position, objects with their printed texts.
struct ExpensePage {
    TrpReport Report;
    TrpReportPage* Page = nullptr;
    std::vector<TrpView*> Views;

    ExpensePage()
    {
        Page = Report.Create<TrpReportPage>();
        Extended y = 0;
        auto* title = Page->Create<TrpReportTitle>();
        title->SetBounds(0, y, 718, 30);
        TrpMemoView* t = AddMemo(title, 0, 0, 718, 26, QStringLiteral("Расходы на автомобиль"), haCenter);
        TrpFont big = *t->Font();
        big.SetSize(14);
        big.SetStyle(fsBold);
        t->SetFont(big);
        y += 30;
        const Extended widths[5] = { 90, 120, 200, 120, 100 };
        const QString heads[5] = { QStringLiteral("Дата"), QStringLiteral("Автомобиль"),
            QStringLiteral("Запчасть"), QStringLiteral("Пробег"), QStringLiteral("Цена") };
        auto* header = Page->Create<TrpColumnHeader>();
        header->SetBounds(0, y, 718, 19);
        Extended x = 0;
        for (int c = 0; c < 5; ++c) {
            TrpMemoView* m = AddMemo(header, x, 0, widths[c], 19, heads[c]);
            m->Frame()->SetTyp(ftLeft | ftRight | ftTop | ftBottom);
            x += widths[c];
        }
        y += 19;
        for (int row = 0; row < 36; ++row) {
            auto* band = Page->Create<TrpMasterData>();
            band->SetBounds(0, y, 718, 18.89765L);
            const QString cells[5] = { QStringLiteral("%1.05.2024").arg(10 + row % 20, 2, 10, QChar(u'0')),
                QStringLiteral("Лада Гранта"), QStringLiteral("Масляный фильтр и замена масла %1").arg(row),
                QString::number(120000 + row * 350), QString::number(1500 + row * 17) };
            x = 0;
            for (int c = 0; c < 5; ++c) {
                AddMemo(band, x, 0, widths[c], 18.89765L, cells[c], c >= 3 ? haRight : haLeft);
                x += widths[c];
            }
            y += 18.89765L;
        }
        auto* footer = Page->Create<TrpPageFooter>();
        footer->SetBounds(0, 1000, 718, 90);
        AddMemo(footer, 600, 0, 118, 19, QStringLiteral("1 "), haRight);
        AddMemo(footer, 400, 0, 180, 19, QStringLiteral("Итого: 84 312"), haRight);
        auto* pic = footer->Create<TrpPictureView>();
        pic->SetBounds(0, 0, 124.72449L, 86.92919L);
        pic->SetPicture(QStringLiteral("TPNGObject"), FooterPng());
        for (TrpComponent* o : Report.AllObjects())
            if (auto* v = dynamic_cast<TrpView*>(o))
                Views.push_back(v);
    }

    void Draw(QPainter& P, Extended Scale, Extended Offset)
    {
        for (TrpView* v : Views)
            v->Draw(&P, Scale, Scale, Offset, Offset);
    }
};

void BM_DrawPageTo96DpiImage(benchmark::State& State)
{
    ExpensePage page;
    QImage img(794, 1123, QImage::Format_RGB32);
    for (auto _ : State) {
        img.fill(Qt::white);
        QPainter p(&img);
        page.Draw(p, 1, 38);
        p.end();
        benchmark::DoNotOptimize(img.constBits());
    }
}
BENCHMARK(BM_DrawPageTo96DpiImage)->Unit(benchmark::kMillisecond);

void BM_DrawPageToPdf(benchmark::State& State)
{
    ExpensePage page;
    for (auto _ : State) {
        QByteArray bytes;
        QBuffer buf(&bytes);
        buf.open(QIODevice::WriteOnly);
        QPdfWriter pdf(&buf);
        pdf.setResolution(600);
        QPainter p(&pdf);
        const Extended scale = 600.0L / 96;
        page.Draw(p, scale, 38 * scale);
        p.end();
        benchmark::DoNotOptimize(bytes.size());
    }
}
BENCHMARK(BM_DrawPageToPdf)->Unit(benchmark::kMillisecond);

// The same page as one more page of a long document: what each page of a
// printed report costs once the fonts and the picture are in the file.
void BM_DrawPageToPdfOfManyPages(benchmark::State& State)
{
    ExpensePage page;
    QByteArray bytes;
    QBuffer buf(&bytes);
    buf.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buf);
    pdf.setResolution(600);
    QPainter p(&pdf);
    const Extended scale = 600.0L / 96;
    page.Draw(p, scale, 38 * scale);
    for (auto _ : State) {
        pdf.newPage();
        page.Draw(p, scale, 38 * scale);
    }
    p.end(); // after the timed loop: the file's closing tables are not a page's
    State.counters["bytes_per_page"] = double(bytes.size()) / double(State.iterations() + 1);
}
BENCHMARK(BM_DrawPageToPdfOfManyPages)->Unit(benchmark::kMillisecond);

void BM_MemoCalcHeightTenLines(benchmark::State& State)
{
    TrpReport report;
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpMasterData>();
    TrpMemoView* m = AddMemo(band, 0, 0, 200, 18,
        QStringLiteral("Замена масла в двигателе и масляного фильтра, проверка уровня жидкостей, осмотр "
                       "тормозных колодок и дисков, регулировка развала и схождения, балансировка колёс, "
                       "диагностика подвески и рулевого управления, замена воздушного фильтра"));
    m->SetStretchMode(smActualHeight);
    Extended h = 0;
    for (auto _ : State)
        benchmark::DoNotOptimize(h = m->CalcHeight());
    State.counters["height"] = double(h);
}
BENCHMARK(BM_MemoCalcHeightTenLines)->Unit(benchmark::kMicrosecond);

void BM_MemoCalcHeightOneLine(benchmark::State& State)
{
    TrpReport report;
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpMasterData>();
    TrpMemoView* m = AddMemo(band, 0, 0, 200, 18, QStringLiteral("Масляный фильтр"));
    for (auto _ : State)
        benchmark::DoNotOptimize(m->CalcHeight());
}
BENCHMARK(BM_MemoCalcHeightOneLine)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv)
{
    // Fonts and PDF output need a GUI application.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
