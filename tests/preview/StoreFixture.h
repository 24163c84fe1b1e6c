// The expense report's template and a store filled by hand the way the band
// engine fills it: title on the first page, the column header, rows of five
// memos, and the page footer with its picture, total and page number.
#pragma once

#include "rpClass.h"
#include "rpEngine.h"
#include "rpPreviewPages.h"

#include <QBuffer>
#include <QImage>
#include <QString>
#include <array>
#include <memory>
#include <vector>

// An engine that only carries the run state the store reads.
class StoreEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::SetCurY;
    using TrpCustomEngine::SetRunning;
    using TrpCustomEngine::TrpCustomEngine;
    void SetFinalPass(bool Value) { SetPass(Value, TotalPages()); }
    void SetTotalPages(int Value) { SetPass(FinalPass(), Value); }
    int LogicalPageNo() const override { return 0; }
    int LogicalTotalPages() const override { return 0; }
    int CurPage() const override { return 0; }
};

// A small PNG image of the given side, filled with one colour.
inline QByteArray PngBytes(int Side, QRgb Colour)
{
    QImage image(Side, Side, QImage::Format_ARGB32);
    image.fill(Colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// What the engine placed: one band with its memo texts, in order.
struct PlacedBand {
    QString Name;
    long double Top = 0;
    std::vector<QString> Texts;
};
using PlacedPage = std::vector<PlacedBand>;

struct ExpenseTemplate {
    std::unique_ptr<TrpReport> Report;
    StoreEngine* Engine = nullptr;
    std::unique_ptr<StoreEngine> OwnedEngine;
    TrpReportPage* Page = nullptr;
    TrpReportTitle* Title = nullptr;
    TrpMemoView* TitleMemo = nullptr;
    TrpHeader* Header = nullptr;
    TrpMasterData* Data = nullptr;
    std::array<TrpMemoView*, 5> Cells {};
    TrpPageFooter* Footer = nullptr;
    TrpPictureView* Picture = nullptr;
    TrpMemoView* Sum = nullptr;
    TrpMemoView* PageNo = nullptr;
    QByteArray Png;

    ExpenseTemplate()
    {
        rpRegisterPreviewPages();
        Report = std::make_unique<TrpReport>();
        OwnedEngine = std::make_unique<StoreEngine>(Report.get());
        Engine = OwnedEngine.get();
        Report->SetEngine(Engine);
        Report->EngineOptions()->SetEnableThreadSafe(true); // no progress window, no event pumping

        Page = Report->Create<TrpReportPage>();
        Page->SetName(QStringLiteral("Page1"));
        Page->SetLeftMargin(10);
        Page->SetRightMargin(10);
        Page->SetTopMargin(10);
        Page->SetBottomMargin(10);

        Title = Band<TrpReportTitle>(QStringLiteral("ReportTitle1"), 18.89765L, 79.37013L);
        TitleMemo = Memo(Title, QStringLiteral("Memo2"), 0, 3.77953L, 710.55164L, 18.89765L,
            QStringLiteral("Pelmora expense report"));
        Header = Band<TrpHeader>(QStringLiteral("Header1"), 158.74026L, 41.57483L);
        const long double lefts[] = { 0, 128.50402L, 453.5436L, 555.59091L, 634.96104L };
        const long double widths[] = { 128.50402L, 325.03958L, 102.04731L, 79.37013L, 79.37013L };
        const char* titles[] = { "Car", "Part or work", "Date", "Mileage", "Price" };
        for (int i = 0; i < 5; ++i)
            Memo(Header, QStringLiteral("Memo%1").arg(3 + i), lefts[i], 0, widths[i], 18.89765L,
                QString::fromLatin1(titles[i]));
        Data = Band<TrpMasterData>(QStringLiteral("MasterData1"), 222.99227L, 22.67718L);
        const char* fields[] = { "car", "partname", "jobdate", "mileage", "price" };
        for (int i = 0; i < 5; ++i) {
            Cells[size_t(i)] = Memo(Data, QStringLiteral("rpDBDataset1%1").arg(QLatin1String(fields[i])),
                lefts[i], 0, widths[i], 18.89765L,
                QStringLiteral("[rpDBDataset1.\"%1\"]").arg(QLatin1String(fields[i])));
            Cells[size_t(i)]->SetDataField(QString::fromLatin1(fields[i]));
        }
        Footer = Band<TrpPageFooter>(QStringLiteral("PageFooter1"), 306.14193L, 94.48825L);
        Picture = Footer->Create<TrpPictureView>();
        Picture->SetName(QStringLiteral("Picture1"));
        Picture->SetBounds(7.55906L, 7.55906L, 124.72449L, 86.92919L);
        Png = PngBytes(64, qRgba(10, 120, 200, 255));
        Picture->SetPicture(QStringLiteral("TPNGObject"), Png);
        Memo(Footer, QStringLiteral("Memo9"), 555.59091L, 0, 75.5906L, 26.45671L, QStringLiteral("Sum"));
        Sum = Memo(Footer, QStringLiteral("Memo8"), 634.96104L, 0, 79.37013L, 26.45671L,
            QStringLiteral("[SUM(<rpDBDataset1.\"price\">,MasterData1)]"));
        PageNo = Memo(Footer, QStringLiteral("Memo1"), 634.96104L, 68.03154L, 75.5906L, 18.89765L,
            QStringLiteral("[Page#] "));
        PageNo->SetHAlign(haRight);
    }

    TrpPreviewPages& Store() const { return *static_cast<TrpPreviewPages*>(Report->PreviewPages()); }

    template <class T> T* Band(const QString& Name, long double Top, long double Height)
    {
        T* band = Page->Create<T>();
        band->SetName(Name);
        band->SetBounds(0, Top, 718.1107L, Height);
        return band;
    }

    TrpMemoView* Memo(TrpBand* Parent, const QString& Name, long double Left, long double Top,
        long double Width, long double Height, const QString& Text)
    {
        auto* memo = Parent->Create<TrpMemoView>();
        memo->SetName(Name);
        memo->SetBounds(Left, Top, Width, Height);
        memo->SetText(Text);
        return memo;
    }

    // The texts of row N, as the engine would print them.
    static std::array<QString, 5> RowTexts(int N)
    {
        return { QStringLiteral("Car %1").arg(N % 7), QStringLiteral("Part %1").arg(N),
            QStringLiteral("%1.%2.2020")
                .arg(1 + N % 28, 2, 10, QLatin1Char('0'))
                .arg(1 + N % 12, 2, 10, QLatin1Char('0')),
            QString::number(N * 10), QString::number(N % 1000) };
    }

    // Places Band at Top with the given memo texts (in child order), the way
    // the engine shows a band, and records what was placed.
    void Place(TrpBand* Band, long double Top, const std::vector<QString>& Texts, PlacedPage& Record)
    {
        Band->SetTop(Top);
        PlacedBand placed { Band->Name(), Top, {} };
        size_t i = 0;
        for (const auto& child : Band->Objects())
            if (auto* memo = dynamic_cast<TrpMemoView*>(child.get())) {
                if (i < Texts.size())
                    memo->SetText(Texts[i]);
                placed.Texts.push_back(memo->Text());
                ++i;
            }
        Store().AddObject(Band);
        Record.push_back(placed);
    }

    // The body of one page: title on the first, header, Rows rows from
    // FirstRow, and the footer at the bottom of the printable area.
    PlacedPage FillPage(int PageIndex, int FirstRow, int Rows)
    {
        PlacedPage record;
        Store().AddPage(Page);
        long double y = 0;
        if (PageIndex == 0) {
            Place(Title, y, {}, record);
            y += Title->Height();
        }
        Place(Header, y, {}, record);
        y += Header->Height();
        int sum = 0;
        for (int r = FirstRow; r < FirstRow + Rows; ++r) {
            const auto texts = RowTexts(r);
            sum += texts[4].toInt();
            Place(Data, y, { texts.begin(), texts.end() }, record);
            y += Data->Height();
        }
        const long double footerTop = Page->PrintableHeight() - Footer->Height();
        Place(Footer, footerTop,
            { QStringLiteral("Sum"), QString::number(sum), QString::number(PageIndex + 1) }, record);
        return record;
    }

    // A whole single-pass run of Pages pages of Rows rows each.
    std::vector<PlacedPage> Fill(int Pages, int Rows)
    {
        std::vector<PlacedPage> pages;
        Engine->SetRunning(true);
        Engine->SetFinalPass(true);
        Store().Initialize();
        Store().AddSourcePage(Page);
        Store().BeginPass();
        for (int p = 0; p < Pages; ++p)
            pages.push_back(FillPage(p, p * Rows, Rows));
        Store().Finish();
        Engine->SetRunning(false);
        return pages;
    }
};

// Every object of a page with its class, name, geometry and text, one line
// each, for comparing two rebuilds of the same page.
inline QStringList Dump(TrpReportPage* Page)
{
    QStringList lines;
    lines << QStringLiteral("%1 %2 %3x%4 %5")
                 .arg(Page->ClassName(), Page->Name())
                 .arg(double(Page->PaperWidth()))
                 .arg(double(Page->PaperHeight()))
                 .arg(double(Page->LeftMargin()));
    for (TrpComponent* c : std::vector<TrpComponent*>(Page->AllObjects())) {
        QString line = QStringLiteral("%1 %2 %3 %4 %5 %6")
                           .arg(c->ClassName(), c->Name())
                           .arg(double(c->Left()))
                           .arg(double(c->Top()))
                           .arg(double(c->Width()))
                           .arg(double(c->Height()));
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(c))
            line += u' ' + memo->Text();
        if (auto* picture = dynamic_cast<TrpPictureView*>(c))
            line += QStringLiteral(" picture %1 bytes").arg(picture->PictureBytes().size());
        lines << line;
    }
    return lines;
}
