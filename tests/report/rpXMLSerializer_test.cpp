// Serializer over the report object model: attribute texts, defaults,
// ancestors, short forms, references, tree read/write and bad input.
#include "qt_print.h"
#include "rpClass.h"
#include "rpXML.h"
#include "rpXMLSerializer.h"

#include <QBuffer>
#include <QFile>
#include <gtest/gtest.h>

namespace {

const QByteArray Header = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

// A report with two pages, bands, memos with frames and fills, a picture
// with data, a child band chain and a memo flowing into another.
std::unique_ptr<TrpReport> BuildSampleReport()
{
    auto report = std::make_unique<TrpReport>();
    report->SetName(QStringLiteral("rpReport1"));
    report->Variables().Add(QStringLiteral(" Totals"), QString());
    report->Variables().Add(QStringLiteral("Rate"), QStringLiteral("1.5"));
    report->DataSets().Add(QStringLiteral("rpDBDataset1"));
    report->EngineOptions()->SetDoublePass(true);
    report->ReportOptions()->SetCreateDate(45000.25);
    report->ReportOptions()->SetLastChange(45000.5);

    auto* page = report->Create<TrpReportPage>();
    page->SetName(QStringLiteral("Page1"));
    page->SetDefaults();
    page->SetOrientation(poLandscape);

    auto* title = page->Create<TrpReportTitle>();
    title->SetName(QStringLiteral("ReportTitle1"));
    title->SetBounds(0, 18.89765L, 1046.92913L, 41.57483L);
    auto* heading = title->Create<TrpMemoView>();
    heading->SetName(QStringLiteral("Memo1"));
    heading->SetBounds(0, 0, 400.5L, 22.67718L);
    heading->SetText(QStringLiteral("Расходы на автомобиль \"Лада\"\r\n& <прочее>"));
    heading->Font()->SetSize(14);
    heading->Font()->SetStyle(fsBold | fsItalic);
    heading->SetHAlign(haCenter);
    heading->Frame()->SetTyp(ftLeft | ftBottom);
    heading->Frame()->SetWidth(2);
    heading->Frame()->LeftLine()->SetColor(0x0000FF);

    auto* master = page->Create<TrpMasterData>();
    master->SetName(QStringLiteral("MasterData1"));
    master->SetBounds(0, 120, 1046.92913L, 18.89765L);
    master->SetDataSetName(QStringLiteral("rpDBDataset1"));
    auto* child = page->Create<TrpChild>();
    child->SetName(QStringLiteral("Child1"));
    master->SetChild(child);

    auto* price = master->Create<TrpMemoView>();
    price->SetName(QStringLiteral("Memo2"));
    price->SetBounds(600, 0, 90.70872L, 18.89765L);
    price->SetText(QStringLiteral("[rpDBDataset1.\"price\"]"));
    price->DisplayFormat()->SetKind(fkNumeric);
    price->DisplayFormat()->SetFormatStr(QStringLiteral("%2.2n"));
    price->SetFillType(ftGradient);
    static_cast<TrpGradientFill*>(price->Fill())->SetEndColor(0x808080);
    auto* overflow = master->Create<TrpMemoView>();
    overflow->SetName(QStringLiteral("Memo3"));
    price->SetFlowTo(overflow);

    auto* footer = page->Create<TrpPageFooter>();
    footer->SetName(QStringLiteral("PageFooter1"));
    footer->SetBounds(0, 300, 1046.92913L, 60);
    auto* picture = footer->Create<TrpPictureView>();
    picture->SetName(QStringLiteral("Picture1"));
    picture->SetBounds(10, 5, 120, 40);
    picture->SetPicture(QStringLiteral("TPNGObject"), QByteArray("\x89PNG\r\n\x1a\n\0\0\x01\xFF", 12));
    auto* line = footer->Create<TrpLineView>();
    line->SetName(QStringLiteral("Line1"));
    line->SetBounds(0, 0, 1046.92913L, 0);
    line->Frame()->SetTyp(ftTop);

    auto* page2 = report->Create<TrpReportPage>();
    page2->SetName(QStringLiteral("Page2"));
    auto* summary = page2->Create<TrpReportSummary>();
    summary->SetName(QStringLiteral("ReportSummary1"));
    summary->SetFillType(ftBrush);
    static_cast<TrpBrushFill*>(summary->Fill())->SetBackColor(0xEEEEEE);
    return report;
}

QByteArray WriteDocument(TrpReport* Report)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    TrpXMLSerializer s(&buf);
    s.WriteRootComponent(Report);
    return buf.data();
}

// Reads a document into a new report; Errors() of the reader is returned through Errors.
std::unique_ptr<TrpReport> ReadDocument(const QByteArray& Bytes, QStringList* Errors = nullptr)
{
    QBuffer buf;
    buf.setData(Bytes);
    buf.open(QIODevice::ReadOnly);
    auto report = std::make_unique<TrpReport>();
    TrpXMLSerializer s(&buf);
    s.ReadRootComponent(report.get());
    if (Errors)
        *Errors = s.Errors();
    return report;
}

} // namespace

TEST(Serializer, ReportRoundTripGivesTheSameText)
{
    auto report = BuildSampleReport();
    const QByteArray first = WriteDocument(report.get());
    QStringList errors;
    auto copy = ReadDocument(first, &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    const QByteArray second = WriteDocument(copy.get());
    EXPECT_EQ(second, first);

    // Spot checks that the values, not just the text, came back.
    auto* memo = static_cast<TrpMemoView*>(copy->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text(), QStringLiteral("Расходы на автомобиль \"Лада\"\r\n& <прочее>"));
    EXPECT_EQ(memo->Font()->Style(), TrpFontStyles(fsBold | fsItalic));
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame()->LeftLine()->Color(), 0x0000FFu);
    EXPECT_EQ(memo->Frame()->TopLine()->Width(), 2);
    EXPECT_EQ(memo->Width(), 400.5L);
    auto* page = static_cast<TrpReportPage*>(copy->FindObject(QStringLiteral("Page1")));
    EXPECT_EQ(page->Orientation(), poLandscape);
    EXPECT_EQ(page->PaperWidth(), 297);
    EXPECT_EQ(page->LeftMargin(), 10);
    auto* master = static_cast<TrpMasterData*>(copy->FindObject(QStringLiteral("MasterData1")));
    EXPECT_EQ(master->Child(), copy->FindObject(QStringLiteral("Child1"))) << "reference to a later object";
    auto* price = static_cast<TrpMemoView*>(copy->FindObject(QStringLiteral("Memo2")));
    EXPECT_EQ(price->FlowTo(), copy->FindObject(QStringLiteral("Memo3")));
    EXPECT_EQ(price->FillType(), ftGradient);
    EXPECT_EQ(price->DisplayFormat()->Kind(), fkNumeric);
    auto* picture = static_cast<TrpPictureView*>(copy->FindObject(QStringLiteral("Picture1")));
    EXPECT_EQ(picture->PictureClass(), QStringLiteral("TPNGObject"));
    EXPECT_EQ(picture->PictureBytes(), QByteArray("\x89PNG\r\n\x1a\n\0\0\x01\xFF", 12));
    EXPECT_EQ(copy->Variables().Value(QStringLiteral("rate")), QStringLiteral("1.5"));
    EXPECT_EQ(copy->DataSets().Count(), 1);
    EXPECT_TRUE(copy->EngineOptions()->DoublePass());
}

TEST(Serializer, ComponentSavesAndLoadsItself)
{
    auto report = BuildSampleReport();
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    report->SaveToStream(buf);
    buf.seek(0);
    TrpReport loaded;
    loaded.Create<TrpReportPage>()->SetName(QStringLiteral("Stale"));
    loaded.LoadFromStream(buf);
    EXPECT_EQ(loaded.FindObject(QStringLiteral("Stale")), nullptr) << "loading replaces the children";
    EXPECT_EQ(WriteDocument(&loaded), buf.data());
    EXPECT_TRUE(loaded.Errors().isEmpty());

    QBuffer bad;
    bad.setData(Header + "<TrpReport><TrpGadget Name=\"G1\"/></TrpReport>");
    bad.open(QIODevice::ReadOnly);
    loaded.LoadFromStream(bad);
    EXPECT_EQ(loaded.Errors(), QStringList { QStringLiteral("Cannot find class TrpGadget") });
}

TEST(Serializer, DefaultsAreSkippedExceptFloats)
{
    TrpMemoView memo;
    TrpXMLSerializer s;
    const QString text = s.ObjToXML(&memo);
    // A float equal to its default is still written without an ancestor...
    EXPECT_TRUE(text.contains(QStringLiteral(" GapX=\"2\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" Left=\"0\"")));
    // ...an ordinal equal to its declared default is not.
    EXPECT_FALSE(text.contains(QStringLiteral("WordWrap")));
    EXPECT_FALSE(text.contains(QStringLiteral("Rotation")));
    EXPECT_FALSE(text.contains(QStringLiteral("Font."))) << "the parent's font is not stored";
    EXPECT_TRUE(text.endsWith(QStringLiteral(" Text=\"\""))) << "the memo text comes last";

    memo.SetWordWrap(false);
    memo.SetHAlign(haRight);
    memo.SetVisibility(vsPrint);
    const QString changed = s.ObjToXML(&memo);
    EXPECT_TRUE(changed.contains(QStringLiteral(" WordWrap=\"False\"")));
    EXPECT_TRUE(changed.contains(QStringLiteral(" HAlign=\"haRight\"")));
    EXPECT_TRUE(changed.contains(QStringLiteral(" Visibility=\"4\""))) << "sets as the bit mask";

    s.SerializeDefaultValues = true;
    EXPECT_TRUE(s.ObjToXML(&memo).contains(QStringLiteral(" Clipped=\"True\"")));
}

TEST(Serializer, AncestorGivesTheDefaults)
{
    TrpMemoView ancestor, memo;
    ancestor.SetBounds(10, 20, 30, 40);
    memo.SetBounds(10, 20.0000001L, 35, 40);
    memo.SetText(QStringLiteral("x"));
    TrpXMLSerializer s;
    EXPECT_EQ(s.ObjToXML(&memo, QString(), &ancestor), QStringLiteral(" Width=\"35\" Text=\"x\""))
        << "floats within 1e-6 of the ancestor are skipped";

    TrpMemoView target;
    ancestor.SetFlowTo(&target);
    EXPECT_EQ(
        s.ObjToXML(&memo, QString(), &ancestor), QStringLiteral(" Width=\"35\" FlowTo=\"nil\" Text=\"x\""));
}

TEST(Serializer, ShortFormsDottedNamesAndNumbers)
{
    TrpMasterData band;
    auto* memo = band.Create<TrpMemoView>();
    TrpXMLSerializer s;
    s.XMLToObj(
        QStringLiteral(" l=\"1.5\" t=\"2,25\" w=\"1 000\" h=\"4\" x=\"a&#13;&#10;b\" Font.Style=\"3\""
                       " Font.Name=\"Courier\" Frame.LeftLine.Width=\"3\" HAlign=\"2\" VAlign=\"vaBottom\""
                       " WordWrap=\"False\" DisplayFormat.Kind=\"fkDateTime\" Unknown=\"1\" Fill.Nope=\"1\""),
        memo);
    EXPECT_EQ(memo->Left(), 1.5L);
    EXPECT_EQ(memo->Top(), 2.25L) << "a comma reads as the decimal separator";
    EXPECT_EQ(memo->Width(), 1000) << "blanks are removed";
    EXPECT_EQ(memo->Height(), 4);
    EXPECT_EQ(memo->Memo(), (QStringList { QStringLiteral("a"), QStringLiteral("b") }));
    EXPECT_EQ(memo->Font()->Style(), TrpFontStyles(fsBold | fsItalic));
    EXPECT_EQ(memo->Font()->Name(), QStringLiteral("Courier"));
    EXPECT_FALSE(memo->ParentFont());
    EXPECT_EQ(memo->Frame()->LeftLine()->Width(), 3);
    EXPECT_EQ(memo->HAlign(), haCenter) << "an enumeration from its number";
    EXPECT_EQ(memo->VAlign(), vaBottom);
    EXPECT_FALSE(memo->WordWrap());
    EXPECT_EQ(memo->DisplayFormat()->Kind(), fkDateTime) << "created on demand";
    EXPECT_TRUE(s.Errors().isEmpty()) << "unknown names are ignored";

    s.XMLToObj(QStringLiteral(" u=\"%1\"").arg(QString::fromLatin1(QStringLiteral("Ω").toUtf8())), memo);
    EXPECT_EQ(memo->Text(), QStringLiteral("Ω"));
}

TEST(Serializer, BadValuesAreCollectedAndReadingGoesOn)
{
    TrpMemoView memo;
    TrpXMLSerializer s;
    s.XMLToObj(QStringLiteral(" Left=\"abc\" Rotation=\"9x\" HAlign=\"haNowhere\" Top=\"7\" GapX=\"inf\""
                              " Rotation=\"99999999999\" Width=\"5"),
        &memo);
    EXPECT_EQ(memo.Top(), 7);
    EXPECT_EQ(memo.Width(), 0) << "an attribute without its closing quote is not applied";
    EXPECT_EQ(memo.GapX(), 2);
    EXPECT_EQ(s.Errors(),
        (QStringList { QStringLiteral("'99999999999' is not a valid integer value"),
            QStringLiteral("'9x' is not a valid integer value"),
            QStringLiteral("'abc' is not a valid floating point value"),
            QStringLiteral("'inf' is not a valid floating point value"),
            QStringLiteral("Invalid property value \"haNowhere\" of HAlign") }));
}

TEST(Serializer, UnknownClassIsReportedAndSkippedWithItsChildren)
{
    const QByteArray doc = Header
        + "<TrpReport><TrpReportPage Name=\"Page1\">"
          "<TrpFancyBand Name=\"Fancy1\"><TrpMemoView Name=\"Lost\"/></TrpFancyBand>"
          "<TrpComponent Name=\"Abstract1\"/>"
          "<TrpMasterData Name=\"MasterData1\" Height=\"20\"/>"
          "</TrpReportPage></TrpReport>";
    QStringList errors;
    auto report = ReadDocument(doc, &errors);
    EXPECT_EQ(errors,
        (QStringList { QStringLiteral("Cannot find class TrpComponent"),
            QStringLiteral("Cannot find class TrpFancyBand") }));
    EXPECT_EQ(report->FindObject(QStringLiteral("Lost")), nullptr);
    ASSERT_NE(report->FindObject(QStringLiteral("MasterData1")), nullptr);
    EXPECT_EQ(report->FindObject(QStringLiteral("MasterData1"))->Height(), 20);
}

TEST(Serializer, ExistingComponentIsUpdatedNotDuplicated)
{
    TrpReport report;
    auto* page = report.Create<TrpReportPage>();
    page->SetName(QStringLiteral("Page1"));
    auto* memo = page->Create<TrpMasterData>()->Create<TrpMemoView>();
    memo->SetName(QStringLiteral("Memo1"));

    TrpXMLDocument doc;
    TrpXMLItem* root = doc.Root();
    root->SetName(QStringLiteral("TrpReport"));
    TrpXMLItem* p = root->Add(QStringLiteral("TrpReportPage"));
    p->SetText(QStringLiteral(" Name=\"page1\""));
    p->Add(QStringLiteral("TrpMemoView"))->SetText(QStringLiteral(" Name=\"MEMO1\" Left=\"44\""));
    TrpXMLSerializer s;
    s.ReadRootComponent(&report, root);
    EXPECT_EQ(report.Count(), 1);
    EXPECT_EQ(memo->Left(), 44);
    EXPECT_EQ(page->Count(), 1) << "the memo stays where it was";
    EXPECT_TRUE(s.Errors().isEmpty());
}

// A page rebuilt from prepared objects has no report: it holds the band of
// every row under the template's name. All rows must survive a write and a
// read, each with its own memo, and the second write must equal the first.
TEST(Serializer, PageWithTheSameNameOncePerRowKeepsEveryRow)
{
    constexpr int Rows = 41;
    TrpReportPage page;
    page.SetName(QStringLiteral("Page1"));
    for (int i = 0; i < Rows; ++i) {
        auto* band = page.Create<TrpMasterData>();
        band->SetName(QStringLiteral("MasterData1"));
        band->SetBounds(0, 20 * i, 700, 20);
        auto* memo = band->Create<TrpMemoView>();
        memo->SetName(QStringLiteral("Memo1"));
        memo->SetText(QStringLiteral("row %1").arg(i + 1));
        auto* child = page.Create<TrpChild>();
        child->SetName(QStringLiteral("Child1"));
    }
    QBuffer out;
    out.open(QIODevice::WriteOnly);
    page.SaveToStream(out);

    TrpReportPage copy;
    QBuffer in;
    in.setData(out.data());
    in.open(QIODevice::ReadOnly);
    copy.LoadFromStream(in);

    ASSERT_EQ(copy.Count(), 2 * Rows);
    for (int i = 0; i < Rows; ++i) {
        auto* band = dynamic_cast<TrpMasterData*>(copy.Objects(2 * i));
        ASSERT_NE(band, nullptr) << i;
        EXPECT_EQ(band->Name(), QStringLiteral("MasterData1"));
        EXPECT_EQ(band->Top(), 20 * i);
        ASSERT_EQ(band->Count(), 1) << i;
        EXPECT_EQ(static_cast<TrpMemoView*>(band->Objects(0))->Text(), QStringLiteral("row %1").arg(i + 1));
    }
    QBuffer again;
    again.open(QIODevice::WriteOnly);
    copy.SaveToStream(again);
    EXPECT_EQ(again.data(), out.data());

    // Inside a report the same names are refused.
    TrpReport report;
    auto* owned = report.Create<TrpReportPage>();
    owned->Create<TrpMasterData>()->SetName(QStringLiteral("MasterData1"));
    EXPECT_THROW(owned->Create<TrpMasterData>()->SetName(QStringLiteral("masterdata1")), TrpReportError);
}

// A memo has one format per bracketed expression and any number of
// highlights; every entry survives a save and a load.
TEST(Serializer, EveryFormatAndHighlightOfAMemoIsKept)
{
    auto report = std::make_unique<TrpReport>();
    auto* memo = report->Create<TrpReportPage>()->Create<TrpMasterData>()->Create<TrpMemoView>();
    memo->SetName(QStringLiteral("Memo1"));
    memo->SetText(QStringLiteral("[A] [B] [C]"));
    const struct {
        TrpFormatKind Kind;
        const char* FormatStr;
        const char* Decimal;
    } formats[]
        = { { fkNumeric, "%2.2n", "," }, { fkDateTime, "dd.mm.yyyy", "" }, { fkBoolean, "no,yes", "" } };
    for (const auto& f : formats) {
        memo->Formats().push_back(std::make_unique<TrpFormat>());
        memo->Formats().back()->SetKind(f.Kind);
        memo->Formats().back()->SetFormatStr(QString::fromUtf8(f.FormatStr));
        memo->Formats().back()->SetDecimalSeparator(QString::fromUtf8(f.Decimal));
    }
    for (int i = 0; i < 2; ++i) {
        memo->Highlights().push_back(std::make_unique<TrpHighlight>());
        TrpHighlight* h = memo->Highlights().back().get();
        h->SetCondition(QStringLiteral("Value > %1").arg(100 * (i + 1)));
        h->Font()->SetColor(0x0000FF + i);
        h->SetApplyFrame(i == 1);
        h->Frame()->SetTyp(i == 1 ? TrpFrameTypes(ftTop) : TrpFrameTypes());
        if (i == 1) {
            h->SetFillType(ftGradient);
            static_cast<TrpGradientFill*>(h->Fill())->SetEndColor(0x00FF00);
        }
    }
    const QByteArray text = WriteDocument(report.get());
    QStringList errors;
    auto copy = ReadDocument(text, &errors);
    EXPECT_TRUE(errors.isEmpty()) << qPrintable(errors.join(u'\n'));
    auto* read = dynamic_cast<TrpMemoView*>(copy->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(read, nullptr);
    ASSERT_EQ(read->Formats().size(), std::size(formats));
    for (size_t i = 0; i < std::size(formats); ++i) {
        EXPECT_EQ(read->Formats()[i]->Kind(), formats[i].Kind) << i;
        EXPECT_EQ(read->Formats()[i]->FormatStr(), QString::fromUtf8(formats[i].FormatStr)) << i;
        EXPECT_EQ(read->Formats()[i]->DecimalSeparator(), QString::fromUtf8(formats[i].Decimal)) << i;
    }
    ASSERT_EQ(read->Highlights().size(), 2u);
    for (int i = 0; i < 2; ++i) {
        TrpHighlight* h = read->Highlights()[size_t(i)].get();
        EXPECT_EQ(h->Condition(), QStringLiteral("Value > %1").arg(100 * (i + 1)));
        EXPECT_EQ(h->Font()->Color(), TrpColor(0x0000FF + i));
        EXPECT_EQ(h->ApplyFrame(), i == 1);
    }
    EXPECT_EQ(read->Highlights()[1]->FillType(), ftGradient);
    EXPECT_EQ(static_cast<TrpGradientFill*>(read->Highlights()[1]->Fill())->EndColor(), TrpColor(0x00FF00));
    EXPECT_EQ(read->Highlights()[1]->Frame()->Typ(), TrpFrameTypes(ftTop));
    EXPECT_EQ(WriteDocument(copy.get()), text) << "a second write gives the same text";
}

TEST(Serializer, DuplicateNamesInAFileAreErrorsNotCrashes)
{
    const QByteArray doc = Header
        + "<TrpReport><TrpReportPage Name=\"Page1\">"
          "<TrpMasterData Name=\"Band1\"/><TrpMemoView Name=\"Band1\"/>"
          "</TrpReportPage></TrpReport>";
    QStringList errors;
    auto report = ReadDocument(doc, &errors);
    EXPECT_EQ(errors, QStringList { QStringLiteral("Duplicate name") });
    EXPECT_EQ(report->FindObject(QStringLiteral("Page1"))->Count(), 2);
}

TEST(Serializer, RefusedReferenceIsAnErrorNotAnException)
{
    const QByteArray doc = Header
        + "<TrpReport><TrpReportPage Name=\"Page1\">"
          "<TrpChild Name=\"Child1\" Child=\"Child2\"/><TrpChild Name=\"Child2\" Child=\"Child1\"/>"
          "<TrpMemoView Name=\"Memo1\" FlowTo=\"Child1\"/>"
          "</TrpReportPage></TrpReport>";
    QStringList errors;
    auto report = ReadDocument(doc, &errors);
    EXPECT_EQ(errors, QStringList { QStringLiteral("Circular child reference is not allowed") });
    auto* c1 = static_cast<TrpChild*>(report->FindObject(QStringLiteral("Child1")));
    auto* c2 = static_cast<TrpChild*>(report->FindObject(QStringLiteral("Child2")));
    EXPECT_EQ(c1->Child(), c2);
    EXPECT_EQ(c2->Child(), nullptr);
    EXPECT_EQ(static_cast<TrpMemoView*>(report->FindObject(QStringLiteral("Memo1")))->FlowTo(), nullptr)
        << "a reference to an object of the wrong class is ignored";
}

TEST(Serializer, MalformedDocumentFails)
{
    QStringList errors;
    EXPECT_THROW(ReadDocument(Header + "<TrpReport><TrpReportPage Name=\"<\"/></TrpReport>", &errors),
        TrpInvalidXMLException);
    EXPECT_THROW(ReadDocument("<TrpReport/>", &errors), TrpInvalidXMLException);
}

TEST(Serializer, ComponentStrings)
{
    TrpReport report;
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpMasterData>();
    band->SetName(QStringLiteral("MasterData1"));
    auto* target = band->Create<TrpMemoView>();
    target->SetName(QStringLiteral("Memo9"));

    TrpMemoView memo;
    memo.SetBounds(1, 2, 3, 4);
    memo.SetText(QStringLiteral("hello"));
    memo.SetFlowTo(target);
    TrpXMLSerializer s;
    const QString text = s.WriteComponentStr(&memo);
    EXPECT_TRUE(text.startsWith(QStringLiteral("TrpMemoView Left=\"1\" Top=\"2\""))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral(" FlowTo=\"Memo9\"")));

    auto* read = dynamic_cast<TrpMemoView*>(s.ReadComponentStr(band, QStringLiteral("  ") + text));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Parent(), band);
    EXPECT_EQ(read->Text(), QStringLiteral("hello"));
    EXPECT_EQ(read->FlowTo(), target) << "resolved unless DontFixup";
    EXPECT_EQ(s.WriteComponentStr(read), text);

    auto* pending = dynamic_cast<TrpMemoView*>(s.ReadComponentStr(band, text, true));
    EXPECT_EQ(pending->FlowTo(), nullptr);
    std::vector<TrpFixupItem> fixups;
    s.CopyFixupList(fixups);
    ASSERT_EQ(fixups.size(), 1u);
    EXPECT_EQ(fixups[0].Value, QStringLiteral("Memo9"));
    s.FixupReferences();
    EXPECT_EQ(pending->FlowTo(), target);

    EXPECT_EQ(s.ReadComponentStr(band, QStringLiteral("   ")), nullptr);
    EXPECT_EQ(s.ReadComponentStr(band, QStringLiteral("TrpNothing Left=\"1\"")), nullptr);
    EXPECT_TRUE(s.Errors().contains(QStringLiteral("Cannot find class TrpNothing")));
}

TEST(Serializer, WriteAndReadComponentThroughAStream)
{
    TrpMemoView memo;
    memo.SetText(QStringLiteral("a \"b\""));
    QBuffer buf;
    buf.open(QIODevice::ReadWrite);
    TrpXMLSerializer w(&buf);
    w.WriteComponent(&memo);
    buf.seek(0);
    TrpMasterData band;
    TrpXMLSerializer r(&buf);
    auto* read = dynamic_cast<TrpMemoView*>(r.ReadComponent(&band));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->Text(), QStringLiteral("a \"b\""));
    EXPECT_EQ(r.ReadComponent(&band), nullptr) << "end of stream";
}

TEST(Serializer, ReadsTheTemplateFixture)
{
    QFile f(QStringLiteral(PELMORA_TEST_DATA_DIR "/template.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    QStringList errors;
    auto report = ReadDocument(f.readAll(), &errors);
    EXPECT_TRUE(errors.isEmpty()) << errors.join(u'\n').toStdString();
    auto* page = dynamic_cast<TrpReportPage*>(report->FindObject(QStringLiteral("Page1")));
    ASSERT_NE(page, nullptr);
    EXPECT_EQ(page->PaperSize(), 9);
    EXPECT_EQ(page->LeftMargin(), 10);
    auto* memo = dynamic_cast<TrpMemoView*>(report->FindObject(QStringLiteral("Memo1")));
    ASSERT_NE(memo, nullptr);
    EXPECT_EQ(memo->Text(), QStringLiteral("Итого: [SUM(<rpDBDataset1.\"price\">,MasterData1)]"));
    EXPECT_EQ(memo->Font()->Style(), TrpFontStyles(fsBold));
    EXPECT_EQ(memo->HAlign(), haRight);
    EXPECT_EQ(
        report->ScriptText(), (QStringList { QStringLiteral("begin"), QString(), QStringLiteral("end.") }));
}
