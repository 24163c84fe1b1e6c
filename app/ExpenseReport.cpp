// The expense report's template. Every value below is the template's own;
// properties not set keep their defaults. Sizes are report pixels, their
// millimetre equivalents in the comments where they are whole.
#include "ExpenseReport.h"

#include "rpClass.h"
#include "rpDBSet.h"

#include <QFile>

namespace {

TrpMemoView* AddMemo(TrpBand* Band, const QString& Name, Extended Left, Extended Top, Extended Width,
    Extended Height, const QString& Text)
{
    auto* memo = Band->Create<TrpMemoView>();
    memo->SetName(Name);
    memo->SetBounds(Left, Top, Width, Height);
    memo->SetText(Text);
    return memo;
}

template <class T> T* AddBand(TrpReportPage* Page, const QString& Name, Extended Top, Extended Height)
{
    T* band = Page->Create<T>();
    band->SetName(Name);
    band->SetBounds(0, Top, 718.1107L, Height); // 190 mm: the printable width
    band->SetFillType(ftBrush);
    return band;
}

QByteArray FooterPicture()
{
    QFile file(QStringLiteral(":/images/footer.png"));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

void BuildExpenseReport(TrpReport& Report, TrpDBDataset& DataSet)
{
    Report.SetName(QStringLiteral("rpReport1"));
    Report.SetDotMatrixReport(false);
    Report.SetIniFile(QStringLiteral("\\Software\\Pelmora Reports"));
    Report.SetScriptLanguage(QStringLiteral("PascalScript"));
    Report.SetScriptText({ QString(), QStringLiteral("begin"), QString(), QStringLiteral("end.") });

    DataSet.SetName(QStringLiteral("rpDBDataset1"));
    DataSet.SetUserName(QStringLiteral("rpDBDataset1"));
    DataSet.SetCloseDataSource(false);
    DataSet.SetBCDToCurrency(false);
    Report.DataSets().Add(&DataSet);

    Report.Create<TrpDataPage>();

    auto* page = Report.Create<TrpReportPage>();
    page->SetName(QStringLiteral("Page1"));
    page->SetSizeAndDimensions(9, 210, 297);
    page->SetOrientation(poPortrait);
    page->SetLeftMargin(10);
    page->SetRightMargin(10);
    page->SetTopMargin(10);
    page->SetBottomMargin(10);

    auto* title
        = AddBand<TrpReportTitle>(page, QStringLiteral("ReportTitle1"), 18.89765L, 79.37013L); // 5, 21 mm
    AddMemo(title, QStringLiteral("Memo2"), 0, 3.77953L, 710.55164L, 18.89765L,
        QStringLiteral("Pelmora") + QString(104, QLatin1Char(' '))
            + QStringLiteral("Отчет по расходам на автомобиль "));

    auto* header = AddBand<TrpHeader>(page, QStringLiteral("Header1"), 158.74026L, 41.57483L); // 42, 11 mm
    AddMemo(header, QStringLiteral("Memo3"), 0, 0, 128.50402L, 22.67718L, QStringLiteral("Автомобиль"));
    AddMemo(header, QStringLiteral("Memo4"), 128.50402L, 0, 325.03958L, 18.89765L,
        QStringLiteral("Запчасть или работа"));
    AddMemo(header, QStringLiteral("Memo5"), 453.5436L, 0, 102.04731L, 18.89765L, QStringLiteral("Дата"));
    AddMemo(header, QStringLiteral("Memo6"), 555.59091L, 0, 79.37013L, 18.89765L, QStringLiteral("Пробег"));
    AddMemo(header, QStringLiteral("Memo7"), 634.96104L, 0, 79.37013L, 15.11812L, QStringLiteral("Цена"));

    auto* data
        = AddBand<TrpMasterData>(page, QStringLiteral("MasterData1"), 222.99227L, 22.67718L); // 59, 6 mm
    data->SetDataSet(&DataSet);
    data->SetRowCount(0);
    struct TColumn {
        const char* Field;
        Extended Left, Width;
    };
    for (const TColumn& c : { TColumn { "car", 0, 128.50402L },
             TColumn { "partname", 128.50402L, 325.03958L }, TColumn { "jobdate", 457.32313L, 102.04731L },
             TColumn { "mileage", 555.59091L, 79.37013L }, TColumn { "price", 634.96104L, 79.37013L } }) {
        const QString field = QString::fromLatin1(c.Field);
        auto* memo = AddMemo(data, QStringLiteral("rpDBDataset1") + field, c.Left, 0, c.Width, 18.89765L,
            QStringLiteral("[rpDBDataset1.\"%1\"]").arg(field));
        memo->SetDataSet(&DataSet);
        memo->SetDataField(field);
    }

    auto* footer
        = AddBand<TrpPageFooter>(page, QStringLiteral("PageFooter1"), 306.14193L, 94.48825L); // 81, 25 mm
    auto* picture = footer->Create<TrpPictureView>();
    picture->SetName(QStringLiteral("Picture1"));
    picture->SetBounds(7.55906L, 7.55906L, 124.72449L, 86.92919L);
    picture->SetPicture(QStringLiteral("TPNGObject"), FooterPicture());
    picture->SetHightQuality(false);
    picture->SetTransparent(false);
    picture->SetTransparentColor(clWhite);
    AddMemo(footer, QStringLiteral("Memo9"), 555.59091L, 0, 75.5906L, 26.45671L, QStringLiteral("Сумма"));
    AddMemo(footer, QStringLiteral("Memo8"), 634.96104L, 0, 79.37013L, 26.45671L,
        QStringLiteral("[SUM(<rpDBDataset1.\"price\">,MasterData1)]"));
    AddMemo(footer, QStringLiteral("Memo1"), 634.96104L, 68.03154L, 75.5906L, 18.89765L,
        QStringLiteral("[Page#] "))
        ->SetHAlign(haRight);
}
