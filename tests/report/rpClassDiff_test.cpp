// Difference texts of printed objects: applied on top of a copy of the
// template they rebuild the printed object, and they carry only what
// differs (plus the values that are always written).
#include "null_preview_pages.h"
#include "qt_print.h"
#include "rpClass.h"
#include "rpXMLSerializer.h"

#include <QBuffer>
#include <QImage>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString StoredText(const TrpPersistent& Obj)
{
    return TrpXMLSerializer().ObjToXML(&Obj);
}

// A copy made from the object's stored text, as the prepared pages keep
// their source objects.
template <class T> std::unique_ptr<T> CopyOf(const T& Obj)
{
    auto copy = std::make_unique<T>();
    TrpXMLSerializer().XMLToObj(StoredText(Obj), copy.get());
    return copy;
}

// Applies Printed's difference from Template to a copy of Template and
// returns the stored text of the result.
template <class T> QString Rebuilt(T& Printed, const T& Template)
{
    const QString diff = Printed.Diff(&Template);
    auto copy = CopyOf(Template);
    TrpXMLSerializer reader;
    reader.XMLToObj(diff, copy.get());
    EXPECT_TRUE(reader.Errors().isEmpty()) << reader.Errors().join(u'\n').toStdString();
    return StoredText(*copy);
}

std::unique_ptr<TrpMemoView> TemplateMemo()
{
    auto memo = std::make_unique<TrpMemoView>();
    memo->SetBounds(10, 20, 100, 18);
    memo->SetText(QStringLiteral("Template"));
    memo->Frame()->SetTyp(ftLeft | ftRight | ftTop | ftBottom);
    return memo;
}

QByteArray PngBytes(QColor Color)
{
    QImage image(4, 3, QImage::Format_RGB32);
    image.fill(Color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// The store as the object model sees it, over a real picture cache.
class PagesWithCache : public NullPreviewPages {
public:
    void AddPicture(TrpPictureView* Picture) override { Cache.AddPicture(Picture); }
    TrpPictureCache Cache;
};

} // namespace

TEST(Diff, PrintedMemoIsRebuiltFromTemplateAndDifference)
{
    struct Case {
        const char* name;
        std::function<void(TrpMemoView&)> change;
    } cases[] = {
        { "moved", [](TrpMemoView& m) { m.SetLeft(35.5L); } },
        { "resized", [](TrpMemoView& m) { m.SetWidth(250), m.SetHeight(40.25L); } },
        { "hidden", [](TrpMemoView& m) { m.SetVisible(false); } },
        { "own font",
            [](TrpMemoView& m) {
                TrpFont f;
                f.SetName(QStringLiteral("Times \"New\" Roman"));
                f.SetSize(14);
                f.SetColor(0x0000FF);
                f.SetStyle(fsBold | fsStrikeOut);
                f.SetCharset(204);
                m.SetFont(f);
            } },
        { "frame colour with one line apart",
            [](TrpMemoView& m) {
                m.Frame()->SetColor(0x0000FF);
                m.Frame()->LeftLine()->SetColor(0x00FF00);
            } },
        { "frame style and width with one line apart",
            [](TrpMemoView& m) {
                m.Frame()->SetStyle(fsDash);
                m.Frame()->SetWidth(2);
                m.Frame()->BottomLine()->SetWidth(3);
                m.Frame()->TopLine()->SetStyle(fsDot);
            } },
        { "frame shadow and sides",
            [](TrpMemoView& m) {
                m.Frame()->SetDropShadow(true);
                m.Frame()->SetShadowColor(0x808080);
                m.Frame()->SetShadowWidth(6);
                m.Frame()->SetTyp(ftTop);
            } },
        { "brush colours",
            [](TrpMemoView& m) {
                auto* fill = static_cast<TrpBrushFill*>(m.Fill());
                fill->SetBackColor(0xEEEEEE);
                fill->SetForeColor(0x123456);
                fill->SetStyle(bsCross);
            } },
        { "fill to gradient", [](TrpMemoView& m) { m.SetFillType(ftGradient); } },
        { "fill to glass",
            [](TrpMemoView& m) {
                m.SetFillType(ftGlass);
                auto* fill = static_cast<TrpGlassFill*>(m.Fill());
                fill->SetBlend(0.25L);
                fill->SetHatch(true);
                fill->SetOrientation(foVerticalMirror);
            } },
        { "hyperlink",
            [](TrpMemoView& m) {
                auto* h = m.Hyperlink();
                h->SetKind(hkDetailPage);
                h->SetDetailPage(QStringLiteral("Page2"));
                h->SetDetailReport(QStringLiteral("r.xml"));
                h->SetReportVariable(QStringLiteral("Car"));
                h->SetTabCaption(QStringLiteral("Lada & co"));
                h->SetValue(QStringLiteral("a\"b<c>"));
                h->SetValuesSeparator(QStringLiteral(";"));
            } },
        { "view settings",
            [](TrpMemoView& m) {
                m.SetAlign(baRight);
                m.SetCursor(-21);
                m.SetVisibility(vsPreview | vsExport);
                m.SetTagStr(QStringLiteral("x<y\r\nz"));
                m.SetTag(-7);
            } },
        { "memo layout",
            [](TrpMemoView& m) {
                m.SetGapX(4), m.SetGapY(3), m.SetLineSpacing(5), m.SetCharSpacing(1.5L),
                    m.SetParagraphGap(10);
                m.SetHAlign(haCenter), m.SetVAlign(vaBottom), m.SetRotation(90);
                m.SetRTLReading(true), m.SetUnderlines(true), m.SetWordWrap(false),
                    m.SetUseDefaultCharset(true);
            } },
        { "text with markup and other scripts",
            [](TrpMemoView& m) {
                m.SetText(QStringLiteral("Итого: 1 250 ₽\r\n<b>\"Лада\" & Co</b>"));
            } },
        // Every character below 256: the form that a plain (not UTF-8) text
        // would lose.
        { "text of Latin-1 letters", [](TrpMemoView& m) { m.SetText(QStringLiteral("Café déjà vu")); } },
        { "empty text", [](TrpMemoView& m) { m.SetText(QString()); } },
        { "display format",
            [](TrpMemoView& m) {
                TrpFormat* f = m.DisplayFormat();
                f->SetKind(fkNumeric);
                f->SetFormatStr(QStringLiteral("%2.2n \"р\""));
                f->SetDecimalSeparator(QStringLiteral(","));
                f->SetThousandSeparator(QStringLiteral(" "));
            } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto tmpl = TemplateMemo();
        auto printed = CopyOf(*tmpl);
        c.change(*printed);
        const QString expected = StoredText(*printed);
        EXPECT_EQ(Rebuilt(*printed, *tmpl), expected);
    }
}

TEST(Diff, UnchangedMemoWritesOnlyItsText)
{
    auto tmpl = TemplateMemo();
    auto printed = CopyOf(*tmpl);
    // Within the 1e-4 that floats may differ by without counting.
    printed->SetLeft(tmpl->Left() + 0.00005L);
    printed->SetGapX(tmpl->GapX() - 0.00009L);
    EXPECT_EQ(printed->Diff(tmpl.get()), QStringLiteral(" u=\"Template\""));

    printed->SetText(QString());
    EXPECT_EQ(printed->Diff(tmpl.get()), QStringLiteral(" u=\"\""))
        << "an empty printed text is still written";
}

TEST(Diff, AutoWidthMemoNeverWritesItsWidth)
{
    auto tmpl = TemplateMemo();
    tmpl->SetAutoWidth(true);
    auto printed = CopyOf(*tmpl);
    printed->SetWidth(321);
    printed->SetHeight(50);
    const QString diff = printed->Diff(tmpl.get());
    EXPECT_FALSE(diff.contains(QStringLiteral(" w=\""))) << diff.toStdString();
    EXPECT_TRUE(diff.contains(QStringLiteral(" h=\"50\""))) << diff.toStdString();
}

TEST(Diff, BandAlwaysWritesItsTop)
{
    TrpMasterData tmpl;
    tmpl.SetBounds(0, 0, 718.1107L, 20);
    auto printed = CopyOf(tmpl);
    EXPECT_EQ(printed->Diff(&tmpl), QStringLiteral(" t=\"0\""));

    printed->SetTop(140.5L);
    printed->SetHeight(32);
    EXPECT_EQ(Rebuilt(*printed, tmpl), StoredText(*printed));
}

TEST(Diff, FillOfAnotherKindWritesEveryValue)
{
    auto tmpl = TemplateMemo();
    auto printed = CopyOf(*tmpl);
    printed->SetFillType(ftGradient); // default gradient values all the same
    const QString diff = printed->Diff(tmpl.get());
    EXPECT_TRUE(
        diff.contains(QStringLiteral(" FillType=\"1\" Fill.StartColor=\"16777215\" Fill.EndColor=\"0\" "
                                     "Fill.GradientStyle=\"0\"")))
        << diff.toStdString();
}

TEST(Diff, ChangedFrameColourWritesOnlyLinesThatDifferFromIt)
{
    TrpFrame tmpl;
    TrpFrame printed;
    printed.SetColor(0x0000FF); // every line red
    printed.LeftLine()->SetColor(0x00FF00);
    printed.BottomLine()->SetColor(clBlack); // as the template's line, but not as the new frame colour
    EXPECT_EQ(printed.Diff(&tmpl),
        QStringLiteral(" Frame.Color=\"255\" Frame.LeftLine.Color=\"65280\" "
                       "Frame.BottomLine.Color=\"0\""));

    // With the frame colour as before, a line is compared with the template's line.
    TrpFrame same;
    same.RightLine()->SetColor(0x0000FF);
    EXPECT_EQ(same.Diff(&tmpl), QStringLiteral(" Frame.RightLine.Color=\"255\""));
}

TEST(Diff, ParagraphBreakFlagsMoveOnToTheNextPart)
{
    auto tmpl = TemplateMemo();
    auto printed = CopyOf(*tmpl);
    printed->SetLastParaBreak(true);

    const QString first = printed->Diff(tmpl.get());
    EXPECT_TRUE(first.endsWith(QStringLiteral(" LastParaBreak=\"1\""))) << first.toStdString();
    EXPECT_FALSE(first.contains(QStringLiteral("FirstParaBreak")));
    EXPECT_TRUE(printed->FirstParaBreak());
    EXPECT_FALSE(printed->LastParaBreak());

    const QString second = printed->Diff(tmpl.get());
    EXPECT_TRUE(second.endsWith(QStringLiteral(" FirstParaBreak=\"1\""))) << second.toStdString();
    EXPECT_FALSE(second.contains(QStringLiteral("LastParaBreak")));
}

TEST(Diff, ShapeAndGroupHeaderAddTheirOwnValues)
{
    TrpShapeView shape;
    auto printedShape = CopyOf(shape);
    printedShape->SetShape(skEllipse);
    printedShape->SetTop(12);
    EXPECT_EQ(Rebuilt(*printedShape, shape), StoredText(*printedShape));

    TrpGroupHeader header;
    auto printedHeader = CopyOf(header);
    printedHeader->SetDrillDown(true);
    printedHeader->SetDrillName(QStringLiteral("gh\"1\".3"));
    // The drill name is written because drill-down is on, not because it changed.
    header.SetDrillDown(true);
    header.SetDrillName(printedHeader->DrillName());
    EXPECT_EQ(Rebuilt(*printedHeader, header), StoredText(*printedHeader));
    EXPECT_TRUE(printedHeader->Diff(&header).contains(QStringLiteral(" DrillName=\"gh&#34;1&#34;.3\"")));
}

TEST(Diff, WithoutTemplateOfTheSameClassTheWholeObjectIsWritten)
{
    auto printed = TemplateMemo();
    printed->SetText(QStringLiteral("Whole"));
    printed->SetHAlign(haRight);
    TrpShapeView other;
    for (const TrpComponent* tmpl :
        { static_cast<const TrpComponent*>(nullptr), static_cast<const TrpComponent*>(&other) }) {
        TrpMemoView rebuilt;
        TrpXMLSerializer().XMLToObj(printed->Diff(tmpl), &rebuilt);
        EXPECT_EQ(StoredText(rebuilt), StoredText(*printed));
    }
}

TEST(AllDiff, WritesEveryStoredPropertyAndTheBaseDifference)
{
    auto memo = TemplateMemo();
    memo->SetHAlign(haBlock);
    const QString all = memo->AllDiff(nullptr);
    EXPECT_FALSE(all.startsWith(u' '));
    TrpMemoView rebuilt;
    TrpXMLSerializer().XMLToObj(all, &rebuilt);
    EXPECT_EQ(StoredText(rebuilt), StoredText(*memo));

    // Against a template the base difference follows after a blank.
    TrpMemoView tmpl;
    tmpl.SetBounds(10, 20, 100, 0);
    const QString against = memo->AllDiff(&tmpl);
    EXPECT_TRUE(against.startsWith(all));
    EXPECT_TRUE(against.endsWith(QStringLiteral(" h=\"18\""))) << against.toStdString();

    TrpNullBand band;
    band.SetBounds(5, 7.5L, 100, 20);
    EXPECT_TRUE(band.AllDiff(nullptr).endsWith(QStringLiteral(" l=\"5\" t=\"7.5\"")));
}

TEST(ComponentStyle, EachKindStartsWithItsStyle)
{
    const TrpComponentStyle view = csPreviewVisible | csDefaultDiff;
    struct Case {
        const char* name;
        std::unique_ptr<TrpComponent> object;
        TrpComponentStyle style;
    };
    Case cases[] = {
        { "page", std::make_unique<TrpReportPage>(), csPreviewVisible },
        { "band", std::make_unique<TrpMasterData>(), csPreviewVisible },
        { "shape view", std::make_unique<TrpShapeView>(), view },
        { "subreport view", std::make_unique<TrpSubreport>(), view },
        { "memo", std::make_unique<TrpMemoView>(), csPreviewVisible | csHandlesNestedProperties },
        { "system memo", std::make_unique<TrpSysMemoView>(), csPreviewVisible | csHandlesNestedProperties },
        { "picture", std::make_unique<TrpPictureView>(), csPreviewVisible },
        { "line", std::make_unique<TrpLineView>(), csPreviewVisible },
        { "report", std::make_unique<TrpReport>(), csPreviewVisible | csHandlesNestedProperties },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.object->ComponentStyle(), c.style) << c.name;
}

TEST(PictureDiff, ChangedPictureIsCachedOnceAndReferredToByNumber)
{
    TrpReport report;
    auto pages = std::make_unique<PagesWithCache>();
    TrpPictureCache& cache = pages->Cache;
    report.SetPreviewPages(std::move(pages));
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpPageFooter>();
    auto* picture = band->Create<TrpPictureView>();
    picture->SetBounds(10, 5, 120, 40);
    TrpPictureView tmpl;
    tmpl.SetBounds(10, 5, 120, 40);

    picture->SetPicture(QStringLiteral("TPNGObject"), PngBytes(Qt::red));
    const QString first = picture->Diff(&tmpl);
    EXPECT_EQ(first, QStringLiteral("  ImageIndex=\"1\""));
    EXPECT_FALSE(picture->PictureChanged());

    // The same picture on the next page is not stored again.
    EXPECT_EQ(picture->Diff(&tmpl), first);
    EXPECT_EQ(cache.Count(), 1);

    picture->SetPicture(QStringLiteral("TPNGObject"), PngBytes(Qt::blue));
    picture->SetTransparent(true);
    picture->SetTransparentColor(0x00FF00);
    EXPECT_EQ(picture->Diff(&tmpl),
        QStringLiteral("  ImageIndex=\"2\" Transparent=\"1\" TransparentColor=\"65280\""));
    EXPECT_EQ(cache.Count(), 2);

    picture->ClearPicture();
    EXPECT_TRUE(picture->Diff(&tmpl).contains(QStringLiteral(" ImageIndex=\"0\"")));
    EXPECT_EQ(cache.Count(), 2) << "an empty picture stores nothing";

    // A view rebuilt from the difference fetches the picture by its number.
    picture->SetPicture(QStringLiteral("TPNGObject"), PngBytes(Qt::green));
    TrpPictureView rebuilt;
    TrpXMLSerializer().XMLToObj(picture->Diff(&tmpl), &rebuilt);
    cache.GetPicture(&rebuilt);
    EXPECT_EQ(rebuilt.PictureBytes(), picture->PictureBytes());
    EXPECT_EQ(rebuilt.PictureClass(), QStringLiteral("TPNGObject"));
}

TEST(PictureDiff, TransparencyClearedAgainstTheTemplateIsWritten)
{
    TrpPictureView tmpl;
    tmpl.SetTransparent(true);
    tmpl.SetTransparentColor(0x0000FF);
    auto printed = CopyOf(tmpl);
    printed->SetTransparent(false);
    printed->SetTransparentColor(clWhite);
    EXPECT_EQ(Rebuilt(*printed, tmpl), StoredText(*printed));
}

TEST(PictureDiff, WithoutAStoreThePictureStaysMarkedChanged)
{
    TrpReport report;
    auto* picture = report.Create<TrpReportPage>()->Create<TrpPictureView>();
    picture->SetPicture(QStringLiteral("TPNGObject"), PngBytes(Qt::red));
    TrpPictureView tmpl;
    EXPECT_TRUE(picture->Diff(&tmpl).contains(QStringLiteral(" ImageIndex=\"0\"")));
    EXPECT_TRUE(picture->PictureChanged());
}
