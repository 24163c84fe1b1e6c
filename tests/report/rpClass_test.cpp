// Report object model: defaults, units, tree operations, pages, bands and
// the string table.
#include "error_text.h"
#include "qt_print.h"
#include "report_skeleton.h"
#include "rpClass.h"
#include "rpRes.h"

#include <QBuffer>
#include <gtest/gtest.h>
#include <limits>

namespace {

// A report with one A4 page and one master data band.
struct ReportFixture {
    TrpReport report;
    TrpReportPage* page;
    TrpMasterData* band;
    ReportFixture()
    {
        const TReportSkeleton skeleton = BuildReportSkeleton(report);
        page = skeleton.Page;
        band = skeleton.Band;
    }
};

} // namespace

TEST(Units, RoundingIsToNearestWithTiesToEven)
{
    struct Case {
        Extended in;
        int64_t out;
    } cases[] = { { 0.5L, 0 }, { 1.5L, 2 }, { 2.5L, 2 }, { -0.5L, 0 }, { -1.5L, -2 }, { 2.4999L, 2 },
        { 2.5001L, 3 }, { -2.6L, -3 }, { 793.7013L, 794 }, { 1122.52L, 1123 },
        // Beyond the integer range (a damaged file's paper width): saturated.
        { 9.2e59L, INT64_MAX }, { -9.2e59L, INT64_MIN },
        { std::numeric_limits<long double>::quiet_NaN(), 0 } };
    for (const Case& c : cases)
        EXPECT_EQ(rpRound(c.in), c.out) << double(c.in);
}

TEST(Units, ConstantsUseTheRoundedMillimetre)
{
    EXPECT_EQ(rp01cm, 3.77953L);
    EXPECT_EQ(rp1cm, 37.7953L);
    EXPECT_EQ(rp1in, 96);
    EXPECT_EQ(rp1CharY, 17);
    EXPECT_EQ(clNone, 0x1FFFFFFFu);
}

TEST(ObjectModel, NewMemoDefaults)
{
    TrpMemoView memo;
    EXPECT_EQ(memo.GapX(), 2);
    EXPECT_EQ(memo.GapY(), 1);
    EXPECT_EQ(memo.LineSpacing(), 2);
    EXPECT_TRUE(memo.WordWrap());
    EXPECT_TRUE(memo.Wysiwyg());
    EXPECT_TRUE(memo.Clipped());
    EXPECT_TRUE(memo.AllowExpressions());
    EXPECT_EQ(memo.ExpressionDelimiters(), QStringLiteral("[,]"));
    EXPECT_EQ(memo.Font()->Name(), QStringLiteral("Arial"));
    EXPECT_EQ(memo.Font()->Size(), 10);
    EXPECT_EQ(memo.Font()->Color(), clBlack);
    EXPECT_TRUE(memo.ParentFont());
    EXPECT_EQ(memo.ShiftMode(), smAlways);
    EXPECT_EQ(memo.Visibility(), TrpVisibilityTypes(vsPreview | vsExport | vsPrint));
    EXPECT_EQ(memo.FillType(), ftBrush);
    EXPECT_EQ(memo.Color(), clNone);
    EXPECT_EQ(memo.Frame()->Typ(), TrpFrameTypes());
    EXPECT_EQ(memo.BaseName(), QStringLiteral("Memo"));
}

TEST(ObjectModel, ReportAndOptionDefaults)
{
    TrpReport r;
    EXPECT_EQ(r.ScriptLanguage(), QStringLiteral("PascalScript"));
    EXPECT_EQ(r.ScriptText(), (QStringList { QStringLiteral("begin"), QString(), QStringLiteral("end.") }));
    EXPECT_EQ(r.IniFile(), QStringLiteral("\\Software\\Pelmora Reports"));
    EXPECT_EQ(r.Version(), QStringLiteral("5.1.5"));
    EXPECT_TRUE(r.EngineOptions()->ConvertNulls());
    EXPECT_TRUE(r.EngineOptions()->DestroyForms());
    EXPECT_EQ(r.EngineOptions()->MaxMemSize(), 10);
    EXPECT_EQ(r.EngineOptions()->SilentMode(), simMessageBoxes);
    EXPECT_GT(r.ReportOptions()->CreateDate(), 40000.0) << "set to now";

    TrpPictureView pic;
    EXPECT_TRUE(pic.Stretched());
    EXPECT_TRUE(pic.KeepAspectRatio());
    EXPECT_EQ(pic.TransparentColor(), clWhite);

    TrpDataPage data;
    EXPECT_EQ(data.Name(), QStringLiteral("Data"));
    EXPECT_EQ(data.Width(), 1000);
}

TEST(ReportPage, A4WithTenMillimetreMargins)
{
    ReportFixture f;
    f.page->SetDefaults();
    EXPECT_EQ(f.page->PaperSize(), 9);
    EXPECT_EQ(f.page->PaperWidth(), 210);
    EXPECT_EQ(f.page->PaperHeight(), 297);
    EXPECT_EQ(f.page->Width(), 794);
    EXPECT_EQ(f.page->Height(), 1123);
    EXPECT_NEAR(double(f.page->PrintableWidth()), 718.1107, 1e-9);
    EXPECT_EQ(f.page->PrintableHeight(), 277 * rp01cm);

    f.page->Create<TrpPageHeader>();
    f.page->AlignChildren();
    for (const auto& o : f.page->Objects())
        EXPECT_NEAR(double(o->Width()), 718.1107, 1e-9) << o->ClassName().toStdString();
    EXPECT_EQ(f.page->Width(), 794) << "full paper size again after aligning";
}

TEST(ReportPage, LandscapeSwapsPaperAndTurnsMargins)
{
    TrpReportPage page;
    page.SetLeftMargin(1);
    page.SetRightMargin(2);
    page.SetTopMargin(3);
    page.SetBottomMargin(4);
    page.SetOrientation(poLandscape);
    EXPECT_EQ(page.PaperWidth(), 297);
    EXPECT_EQ(page.PaperHeight(), 210);
    EXPECT_EQ(page.Width(), 1123);
    EXPECT_EQ(page.LeftMargin(), 3) << "left takes the top margin";
    EXPECT_EQ(page.RightMargin(), 4);
    EXPECT_EQ(page.TopMargin(), 2);
    EXPECT_EQ(page.BottomMargin(), 1);
    page.SetOrientation(poPortrait);
    EXPECT_EQ(page.LeftMargin(), 1);
    EXPECT_EQ(page.TopMargin(), 3);
    EXPECT_EQ(page.PaperWidth(), 210);

    // A paper code in landscape keeps the landscape dimensions.
    page.SetOrientation(poLandscape);
    page.SetPaperSize(11);
    EXPECT_EQ(page.PaperWidth(), 210);
    EXPECT_EQ(page.PaperHeight(), 148);
}

TEST(ReportPage, PapersMeasuredInInchesKeepTheirExactSize)
{
    // Letter is 8.5 x 11 inches; whole millimetres would make it 216 x 279.
    TrpReportPage page;
    page.SetPaperSize(1);
    EXPECT_NEAR(double(page.PaperWidth()), 215.9, 1e-9);
    EXPECT_NEAR(double(page.PaperHeight()), 279.4, 1e-9);
    page.SetPaperSize(68); // the table's last paper, beyond the old short list
    EXPECT_NEAR(double(page.PaperWidth()), 322, 1e-9);
    EXPECT_NEAR(double(page.PaperHeight()), 445, 1e-9);
}

TEST(ReportPage, PaperDimensionsAreKeptToOneHundredMillionthMillimetre)
{
    TrpReportPage page;
    page.SetPaperWidth(100.123456789123L);
    EXPECT_NEAR(double(page.PaperWidth()), 100.12345679, 1e-12);
    page.SetSizeAndDimensions(256, 50.000000004L, 60);
    EXPECT_EQ(page.PaperWidth(), 50);
    EXPECT_EQ(page.PaperSize(), 256);
}

TEST(ReportPage, ColumnsAndFindBand)
{
    ReportFixture f;
    f.page->SetDefaults();
    f.page->SetColumns(2);
    EXPECT_EQ(f.page->ColumnWidth(), 95);
    EXPECT_EQ(f.page->ColumnPositions(), (QStringList { QStringLiteral("0"), QStringLiteral("95") }));
    auto* title = f.page->Create<TrpReportTitle>();
    f.page->AlignChildren();
    EXPECT_NEAR(double(f.band->Width()), double(95 * rp01cm), 1e-9) << "data bands take the column width";
    EXPECT_NEAR(double(title->Width()), 718.1107, 1e-9) << "titles keep the page width";

    EXPECT_EQ(f.page->FindBand<TrpDataBand>(), f.band) << "subclasses count";
    EXPECT_EQ(f.page->FindBand(TrpReportTitle::StaticClassInfo()), title);
    EXPECT_EQ(f.page->FindBand<TrpPageFooter>(), nullptr);
}

TEST(Bands, NumbersByKind)
{
    struct Case {
        std::unique_ptr<TrpBand> band;
        int number;
    };
    Case cases[] = {
        { std::make_unique<TrpReportTitle>(), 0 },
        { std::make_unique<TrpReportSummary>(), 1 },
        { std::make_unique<TrpPageHeader>(), 2 },
        { std::make_unique<TrpPageFooter>(), 3 },
        { std::make_unique<TrpHeader>(), 4 },
        { std::make_unique<TrpFooter>(), 5 },
        { std::make_unique<TrpMasterData>(), 6 },
        { std::make_unique<TrpDetailData>(), 7 },
        { std::make_unique<TrpSubdetailData>(), 8 },
        { std::make_unique<TrpDataBand4>(), 9 },
        { std::make_unique<TrpDataBand5>(), 10 },
        { std::make_unique<TrpDataBand6>(), 11 },
        { std::make_unique<TrpGroupHeader>(), 12 },
        { std::make_unique<TrpGroupFooter>(), 13 },
        { std::make_unique<TrpChild>(), 14 },
        { std::make_unique<TrpColumnHeader>(), 15 },
        { std::make_unique<TrpColumnFooter>(), 16 },
        { std::make_unique<TrpOverlay>(), 17 },
        { std::make_unique<TrpNullBand>(), 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.band->BandNumber(), c.number) << c.band->ClassName().toStdString();
}

TEST(Bands, FillMemoOnlyForAFillThatPaints)
{
    ReportFixture f;
    f.band->SetBounds(0, 10, 300, 40);
    f.band->CreateFillMemo();
    EXPECT_EQ(f.band->FillMemo(), nullptr);
    EXPECT_EQ(f.band->Count(), 0);

    auto* memo = f.band->Create<TrpMemoView>();
    static_cast<TrpBrushFill*>(f.band->Fill())->SetBackColor(0x00FF00);
    f.band->CreateFillMemo();
    f.band->CreateFillMemo();
    ASSERT_NE(f.band->FillMemo(), nullptr);
    EXPECT_EQ(f.band->Count(), 2) << "created once";
    EXPECT_EQ(f.band->Objects(0), f.band->FillMemo()) << "drawn first";
    EXPECT_EQ(f.band->Objects(1), memo);
    EXPECT_EQ(f.band->FillMemo()->Color(), TrpColor(0x00FF00));
    EXPECT_EQ(f.band->FillMemo()->Width(), 300);
    EXPECT_EQ(f.band->FillMemo()->Height(), 40);

    TrpNullBand nullBand;
    nullBand.SetFillType(ftGradient);
    nullBand.CreateFillMemo();
    EXPECT_EQ(nullBand.FillMemo(), nullptr);
}

TEST(Bands, CircularChildChainIsRefused)
{
    ReportFixture f;
    auto* c1 = f.page->Create<TrpChild>();
    auto* c2 = f.page->Create<TrpChild>();
    f.band->SetChild(c1);
    c1->SetChild(c2);
    EXPECT_EQ(ErrorOf([&] { c2->SetChild(c1); }), QStringLiteral("Circular child reference is not allowed"));
    EXPECT_EQ(c2->Child(), nullptr);
    EXPECT_EQ(ErrorOf([&] { c1->SetChild(c1); }), QStringLiteral("Circular child reference is not allowed"));
}

TEST(Bands, CurrentColumnMovesTheBand)
{
    TrpMasterData band;
    band.SetColumns(3);
    band.SetColumnWidth(100);
    band.SetColumnGap(10);
    band.MaxY = 50;
    band.SetCurColumn(3);
    EXPECT_EQ(band.Left(), 220);
    EXPECT_EQ(band.MaxY, 50);
    band.SetCurColumn(4);
    EXPECT_EQ(band.CurColumn(), 1) << "past the last column";
    EXPECT_EQ(band.Left(), 0);
    EXPECT_EQ(band.MaxY, 0);
}

TEST(Tree, NamesAreUniqueWithoutRegardToCase)
{
    ReportFixture f;
    auto* m1 = f.band->Create<TrpMemoView>();
    m1->SetName(QStringLiteral("Memo1"));
    auto* m3 = f.band->Create<TrpMemoView>();
    m3->SetName(QStringLiteral("Memo3"));
    auto* m = f.band->Create<TrpMemoView>();
    m->CreateUniqueName();
    EXPECT_EQ(m->Name(), QStringLiteral("Memo2"));

    EXPECT_EQ(f.report.FindObject(QStringLiteral("mEMO3")), m3);
    EXPECT_EQ(f.page->FindObject(QStringLiteral("MEMO1")), m1);
    EXPECT_EQ(f.band->FindObject(QStringLiteral("Page1")), nullptr) << "only descendants";

    EXPECT_EQ(ErrorOf([&] { m->SetName(QStringLiteral("memo1")); }), QStringLiteral("Duplicate name"));
    EXPECT_EQ(m->Name(), QStringLiteral("Memo2"));
    m1->SetName(QStringLiteral("MEMO1"));
    EXPECT_EQ(m1->Name(), QStringLiteral("Memo1")) << "equal ignoring case: no change";

    // A renamed object frees its old name.
    m1->SetName(QStringLiteral("Total"));
    m->SetName(QStringLiteral("Memo1"));
    EXPECT_EQ(f.report.FindObject(QStringLiteral("memo1")), m);

    m3->SetAncestor(true);
    EXPECT_EQ(ErrorOf([&] { m3->SetName(QStringLiteral("Other")); }),
        QStringLiteral("Could not rename Memo3, it was introduced in the ancestor report"));
}

TEST(Tree, DeletedAndDetachedObjectsFreeTheirNames)
{
    ReportFixture f;
    auto* m = f.band->Create<TrpMemoView>();
    m->SetName(QStringLiteral("Memo1"));
    f.band->DeleteObject(m);
    EXPECT_EQ(f.report.FindObject(QStringLiteral("Memo1")), nullptr);
    auto* again = f.band->Create<TrpMemoView>();
    again->SetName(QStringLiteral("Memo1")); // no duplicate error

    std::unique_ptr<TrpComponent> band = f.band->Detach();
    EXPECT_EQ(band->Parent(), nullptr);
    auto* other = f.page->Create<TrpMemoView>();
    other->SetName(QStringLiteral("MasterData1"));
    EXPECT_EQ(f.page->Count(), 1);
}

TEST(Tree, AllObjectsSetParentAndAbsolutePositions)
{
    ReportFixture f;
    f.band->SetTop(100);
    f.band->SetLeft(5);
    auto* m1 = f.band->Create<TrpMemoView>();
    m1->SetBounds(10, 20, 30, 40);
    auto* header = f.page->Create<TrpPageHeader>();
    auto* m2 = header->Create<TrpMemoView>();

    const std::vector<TrpComponent*> expected { f.page, f.band, m1, header, m2 };
    EXPECT_EQ(f.report.AllObjects(), expected);
    EXPECT_EQ(m1->AbsLeft(), 15);
    EXPECT_EQ(m1->AbsTop(), 120);
    EXPECT_EQ(m1->Page(), f.page);
    EXPECT_EQ(m1->Report(), &f.report);

    m1->SetParent(header);
    EXPECT_EQ(m1->Parent(), header);
    EXPECT_EQ(header->Objects(1), m1) << "appended";
    EXPECT_EQ(f.band->Count(), 0);
    header->SetParent(m2);
    EXPECT_EQ(header->Parent(), f.page) << "an object cannot become its own descendant";
}

TEST(Tree, ParentFontFollowsTheParent)
{
    ReportFixture f;
    auto* m1 = f.band->Create<TrpMemoView>();
    auto* m2 = f.band->Create<TrpMemoView>();
    f.band->Font()->SetSize(14);
    EXPECT_FALSE(f.band->ParentFont()) << "a font change clears ParentFont";
    EXPECT_EQ(m1->Font()->Size(), 14);
    EXPECT_TRUE(m1->ParentFont());

    TrpFont bold;
    bold.SetStyle(fsBold);
    m2->SetFont(bold);
    EXPECT_FALSE(m2->ParentFont());
    f.band->Font()->SetName(QStringLiteral("Courier"));
    EXPECT_EQ(m1->Font()->Name(), QStringLiteral("Courier"));
    EXPECT_EQ(m2->Font()->Name(), QStringLiteral("Arial"));

    m2->SetParentFont(true);
    EXPECT_EQ(m2->Font()->Name(), QStringLiteral("Courier"));
    EXPECT_EQ(m2->Font()->Size(), 14);
}

TEST(Tree, AlignChildrenPlacesViews)
{
    TrpMasterData band;
    band.SetBounds(0, 0, 400, 50);
    auto* left = band.Create<TrpMemoView>();
    left->SetBounds(50, 0, 100, 20);
    left->SetAlign(baLeft);
    auto* width = band.Create<TrpMemoView>();
    width->SetBounds(200, 0, 10, 20);
    width->SetAlign(baWidth);
    auto* right = band.Create<TrpMemoView>();
    right->SetBounds(300, 0, 50, 20);
    right->SetAlign(baRight);
    auto* bottom = band.Create<TrpMemoView>();
    bottom->SetBounds(0, 25, 50, 10);
    bottom->SetAlign(baBottom);
    band.AlignChildren();
    EXPECT_EQ(left->Left(), 0);
    EXPECT_EQ(right->Left(), 350);
    EXPECT_EQ(width->Left(), 100) << "moves to the right edge of its left neighbour";
    EXPECT_EQ(width->Width(), 250) << "stretches to its right neighbour";
    EXPECT_EQ(bottom->Top(), 40);

    auto* client = band.Create<TrpMemoView>();
    client->SetAlign(baClient);
    band.AlignChildren();
    EXPECT_EQ(client->Width(), 400);
    EXPECT_EQ(client->Height(), 50);
}

TEST(Records, FrameColourStyleAndWidthReachAllLines)
{
    TrpFrame frame;
    frame.SetColor(0xFF);
    frame.SetStyle(fsDash);
    frame.SetWidth(2.5L);
    for (const TrpFrameLine* l :
        { frame.LeftLine(), frame.TopLine(), frame.RightLine(), frame.BottomLine() }) {
        EXPECT_EQ(l->Color(), 0xFFu);
        EXPECT_EQ(l->Style(), fsDash);
        EXPECT_EQ(l->Width(), 2.5L);
    }
    EXPECT_EQ(frame.ShadowWidth(), 4);
}

TEST(Records, VariablesAndErrors)
{
    TrpReport r;
    TrpVariables& v = r.Variables();
    v.Add(QStringLiteral(" Totals"), QString());
    v.Add(QStringLiteral("Sum"), QStringLiteral("1+1"));
    v.Add(QStringLiteral(" Other"), QString());
    v.Add(QStringLiteral("X"), QStringLiteral("2"));
    v.Add(QStringLiteral("sum"), QStringLiteral("3"));
    EXPECT_EQ(v.Count(), 4) << "names compare without regard to case";
    EXPECT_EQ(v.Value(QStringLiteral("SUM")), QStringLiteral("3"));
    EXPECT_EQ(v.CategoryVariables(QStringLiteral("totals")), QStringList { QStringLiteral("Sum") });

    r.AddError(QStringLiteral("b"));
    r.AddError(QStringLiteral("A"));
    r.AddError(QStringLiteral("a"));
    EXPECT_EQ(r.Errors(), (QStringList { QStringLiteral("A"), QStringLiteral("b") }));
}

TEST(Records, MemoRotationAndText)
{
    TrpMemoView memo;
    memo.SetRotation(450);
    EXPECT_EQ(memo.Rotation(), 90);
    memo.SetRotation(-90);
    EXPECT_EQ(memo.Rotation(), 270);
    memo.SetText(QStringLiteral("a\r\nb\nc"));
    EXPECT_EQ(memo.Memo(), (QStringList { QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c") }));
    EXPECT_EQ(memo.Text(), QStringLiteral("a\r\nb\r\nc"));
}

TEST(StringTable, BuiltInTextsAndLookupRules)
{
    TrpResources& res = TrpResources::Instance();
    EXPECT_EQ(res.Get(QStringLiteral("xrCantFindClass")), QStringLiteral("Cannot find class"));
    EXPECT_EQ(res.Get(QStringLiteral("clDSNotExist")), QStringLiteral("Dataset \"%s\" does not exist"));
    EXPECT_EQ(res.Get(100), QStringLiteral("Preview"));
    EXPECT_EQ(res.Get(QStringLiteral("noSuchKey")), QStringLiteral("noSuchKey"));
    EXPECT_EQ(res.Get(QStringLiteral("prInvProp")), QStringLiteral("prInvProp")) << "absent in this program";

    res.AddStrings({ QStringLiteral("tstBang=!Shown without the mark"), QStringLiteral("tstPlain=a=b") });
    EXPECT_EQ(res.Get(QStringLiteral("tstBang")), QStringLiteral("Shown without the mark"));
    EXPECT_EQ(res.Get(QStringLiteral("tstPlain")), QStringLiteral("a=b"));

    QBuffer buf;
    buf.setData("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>"
                "<Resources CodePage=\"1252\"><StrRes Name=\"tstQuote\" Text=\"say "
                "&#38;#34;hi&#38;#34;\"/></Resources>");
    buf.open(QIODevice::ReadOnly);
    res.LoadFromStream(buf);
    EXPECT_EQ(res.Get(QStringLiteral("tstQuote")), QStringLiteral("say \"hi\"")) << "decoded twice";
    EXPECT_EQ(res.Get(QStringLiteral("clClose")), QStringLiteral("Close")) << "loading adds, never clears";
}
