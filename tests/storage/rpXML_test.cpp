// XML item model: escaping, attribute access, writer form, reader errors,
// partial loading, moving children to the temporary file and back.
#include "qt_print.h"
#include "rpXML.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray Write(TrpXMLDocument& Doc)
{
    QBuffer buf;
    buf.open(QIODevice::WriteOnly);
    Doc.SaveToStream(buf);
    return buf.data();
}

void Read(TrpXMLDocument& Doc, const QByteArray& Bytes)
{
    QBuffer buf;
    buf.setData(Bytes);
    buf.open(QIODevice::ReadOnly);
    Doc.LoadFromStream(buf);
}

QString ReadError(const QByteArray& Bytes)
{
    TrpXMLDocument doc;
    try {
        Read(doc, Bytes);
    } catch (const TrpStorageError& e) {
        return e.Message();
    }
    return QStringLiteral("<no error>");
}

const QByteArray Header = "<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>";

QStringList FileNames(const QString& Dir)
{
    return QDir(Dir).entryList(QDir::Files);
}

} // namespace

TEST(XMLEscape, ValuesRoundTrip)
{
    struct Case {
        const char* why;
        QString value;
    } cases[] = {
        { "markup characters", QStringLiteral("a \"b\" & <c> d") },
        { "line breaks", QStringLiteral("line 1\r\nline 2\n") },
        { "non-ASCII text", QStringLiteral("Итого: 100 ₽ 😀") },
        { "an ampersand that looks like a reference", QStringLiteral("&#65; &amp; &") },
        { "a NUL in a short value", QString(QChar(0)) + QStringLiteral("x") },
    };
    for (const Case& c : cases) {
        const QString escaped = rpStrToXML(c.value);
        EXPECT_FALSE(escaped.contains(u'"') || escaped.contains(u'<') || escaped.contains(u'\n')) << c.why;
        EXPECT_EQ(rpXMLToStr(escaped), c.value) << c.why;
    }
}

TEST(XMLEscape, WrittenForms)
{
    EXPECT_EQ(rpStrToXML(QStringLiteral("\"&<>\r\n")), QStringLiteral("&#34;&#38;&#60;&#62;&#13;&#10;"));
    // "&quot;" is folded into one reference so it reads back as a quote.
    EXPECT_EQ(rpStrToXML(QStringLiteral("say &quot;hi")), QStringLiteral("say &#34;hi"));
    EXPECT_EQ(rpXMLToStr(rpStrToXML(QStringLiteral("say &quot;hi"))), QStringLiteral("say \"hi"));
    EXPECT_EQ(rpStrToXML(QString(QChar(0))), QStringLiteral("&#0;"));
    // In values of 32 characters or more a NUL becomes a blank.
    const QString longValue = QString(31, u'a') + QChar(0);
    EXPECT_EQ(rpStrToXML(longValue), QString(31, u'a') + u' ');
}

TEST(XMLEscape, ReadForms)
{
    struct Case {
        const char* why;
        QString in, out;
    } cases[] = {
        { "named entities", QStringLiteral("&quot;&amp;&lt;&gt;"), QStringLiteral("\"&<>") },
        { "decimal reference", QStringLiteral("&#1055;"), QStringLiteral("П") },
        { "reference beyond the BMP", QStringLiteral("&#128512;"), QStringLiteral("😀") },
        { "unknown entity kept", QStringLiteral("&nbsp;"), QStringLiteral("&nbsp;") },
        { "reference without ';' kept", QStringLiteral("&#65 x"), QStringLiteral("&#65 x") },
        { "reference without digits kept", QStringLiteral("&#;"), QStringLiteral("&#;") },
        { "code beyond Unicode kept", QStringLiteral("&#99999999;"), QStringLiteral("&#99999999;") },
        { "trailing ampersand", QStringLiteral("a&"), QStringLiteral("a&") },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rpXMLToStr(c.in), c.out) << c.why;
}

TEST(XMLItem, AttributesOnRawText)
{
    TrpXMLItem item;
    item.SetText(QStringLiteral(" Name=\"Memo1\" x=\"a &#34;b&#34;\""));
    EXPECT_EQ(item.Prop(QStringLiteral("name")), QStringLiteral("Memo1"));
    EXPECT_EQ(item.Prop(QStringLiteral("X")), QStringLiteral("a \"b\""));
    EXPECT_TRUE(item.PropExists(QStringLiteral("NAME")));
    EXPECT_FALSE(item.PropExists(QStringLiteral("Nam")));
    EXPECT_EQ(item.Prop(QStringLiteral("missing")), QString());

    item.SetProp(QStringLiteral("Name"), QStringLiteral("Memo2"));
    EXPECT_EQ(item.Text(), QStringLiteral(" Name=\"Memo2\" x=\"a &#34;b&#34;\"")) << "replaced in place";
    item.SetProp(QStringLiteral("t"), QStringLiteral("<1>"));
    EXPECT_EQ(item.Text(), QStringLiteral(" Name=\"Memo2\" x=\"a &#34;b&#34;\" t=\"&#60;1&#62;\""))
        << "appended";
    item.DeleteProp(QStringLiteral("x"));
    EXPECT_EQ(item.Text(), QStringLiteral(" Name=\"Memo2\" t=\"&#60;1&#62;\""));

    TrpXMLItem empty;
    empty.SetProp(QStringLiteral("a"), QStringLiteral("1"));
    EXPECT_EQ(empty.Text(), QStringLiteral("a=\"1\"")) << "no blank before the first pair";
}

TEST(XMLItem, ValueEndingLikeANameIsNotTakenForTheAttribute)
{
    TrpXMLItem item;
    item.SetProp(QStringLiteral("a"), QStringLiteral(" b="));
    item.SetProp(QStringLiteral("b"), QStringLiteral("real"));
    EXPECT_EQ(item.Prop(QStringLiteral("b")), QStringLiteral("real"));
    EXPECT_EQ(item.Prop(QStringLiteral("a")), QStringLiteral(" b="));
}

TEST(XMLItem, ChildrenFindAddMove)
{
    TrpXMLItem root(QStringLiteral("root"));
    TrpXMLItem* a = root.Add(QStringLiteral("a"));
    TrpXMLItem* b = root.Add(QStringLiteral("B"));
    EXPECT_EQ(root.Find(QStringLiteral("b")), 1);
    EXPECT_EQ(root.Find(QStringLiteral("c")), -1);
    EXPECT_EQ(root.FindItem(QStringLiteral("A")), a);
    TrpXMLItem* c = root.FindItem(QStringLiteral("c"));
    EXPECT_EQ(root.Count(), 3);
    EXPECT_EQ(c->Parent(), &root);

    a->AddItem(b);
    EXPECT_EQ(root.Count(), 2);
    EXPECT_EQ(b->Parent(), a);
    root.InsertItem(0, b);
    EXPECT_EQ(root.Items(0), b);
    EXPECT_EQ(a->Count(), 0);
    // Moving an item under its own child is refused rather than orphaning it.
    b->Add(QStringLiteral("d"));
    b->Items(0)->AddItem(b);
    EXPECT_EQ(b->Parent(), &root);

    root.Delete(0);
    EXPECT_EQ(root.Count(), 2);
    root.Clear();
    EXPECT_EQ(root.Count(), 0);
}

TEST(XMLWriter, ItemForms)
{
    TrpXMLDocument doc;
    doc.Root()->SetName(QStringLiteral("report"));
    doc.Root()->Add(QStringLiteral("empty"));
    doc.Root()->Add(QStringLiteral("attrs"))->SetText(QStringLiteral("a=\"1\""));
    doc.Root()->Add(QStringLiteral("blank"))->SetText(QStringLiteral(" a=\"1\""));
    doc.Root()->Add(QStringLiteral("value"))->SetValue(QStringLiteral("x < y"));
    TrpXMLItem* page = doc.Root()->Add(QStringLiteral("page"));
    page->SetUnloadable(true);
    page->Add(QStringLiteral("memo"));
    doc.Root()->Add(QStringLiteral("marked"))->SetUnloadable(true);

    EXPECT_EQ(Write(doc),
        Header
            + "<report><empty/><attrs a=\"1\"/><blank a=\"1\"/><value>x &#60; y</value>"
              "<page ld=\"0\"><memo/></page><marked ld=\"0\"/></report>");

    doc.SetAutoIndent(true);
    EXPECT_EQ(Write(doc),
        Header
            + "\r\n<report>\r\n  <empty/>\r\n  <attrs a=\"1\"/>\r\n  <blank a=\"1\"/>\r\n"
              "  <value>x &#60; y</value>\r\n  <page ld=\"0\">\r\n    <memo/>\r\n  </page>\r\n"
              "  <marked ld=\"0\"/>\r\n</report>\r\n");
}

TEST(XMLReader, ReadsTheValidFixture)
{
    TrpXMLDocument doc;
    doc.LoadFromFile(QStringLiteral(PELMORA_TEST_DATA_DIR "/valid.xml"));
    EXPECT_FALSE(doc.OldVersion());
    TrpXMLItem* root = doc.Root();
    EXPECT_EQ(root->Name(), QStringLiteral("preparedreport"));
    ASSERT_EQ(root->Count(), 2);
    TrpXMLItem* pages = root->Items(0);
    ASSERT_EQ(pages->Count(), 2);
    TrpXMLItem* page0 = pages->Items(0);
    // The file was opened with partial loading: marked pages stay on disk.
    EXPECT_TRUE(page0->Unloadable());
    EXPECT_FALSE(page0->Loaded());
    EXPECT_EQ(page0->Count(), 0);
    EXPECT_EQ(page0->Text(), QStringLiteral("w=\"794\" h=\"1123\""));
    doc.LoadItem(page0);
    ASSERT_TRUE(page0->Loaded());
    ASSERT_EQ(page0->Count(), 2) << "the comment between the tags is skipped";
    EXPECT_EQ(page0->Items(1)->Prop(QStringLiteral("x")), QStringLiteral("Price: 100 & more \"cheap\""));
    EXPECT_EQ(page0->Items(0)->Parent(), page0);
    EXPECT_EQ(root->Items(1)->Prop(QStringLiteral("Text")), QStringLiteral("Контрольный \"текст\""));
    EXPECT_EQ(root->Items(1)->Value(), QString()) << "character data is not read";
}

TEST(XMLReader, BrokenFixtureFails)
{
    QFile f(QStringLiteral(PELMORA_TEST_DATA_DIR "/broken.xml"));
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(ReadError(f.readAll()), QStringLiteral("Invalid file format"));
}

TEST(XMLReader, MalformedInput)
{
    struct Case {
        const char* why;
        QByteArray bytes;
    } cases[] = {
        { "empty stream", "" },
        { "missing header", "<report/>" },
        { "'<' inside a tag", Header + "<report><a x=\"<\"/></report>" },
        { "stream ends inside a tag", Header + "<report><a x=\"1" },
        { "end tag does not match", Header + "<report><a></b></report>" },
        { "end tag at the top", Header + "</report>" },
        { "unterminated comment", Header + "<report><!-- no end" },
    };
    for (const Case& c : cases)
        EXPECT_EQ(ReadError(c.bytes), QStringLiteral("Invalid file format")) << c.why;
}

TEST(XMLReader, AttributeWithoutClosingQuoteReadsAsMissing)
{
    TrpXMLDocument doc;
    Read(doc, Header + "<report><a x=\"1/><b y=\"2\" z=\"3/></report>");
    ASSERT_EQ(doc.Root()->Count(), 2);
    EXPECT_FALSE(doc.Root()->Items(0)->PropExists(QStringLiteral("x")));
    EXPECT_EQ(doc.Root()->Items(1)->Prop(QStringLiteral("y")), QStringLiteral("2"));
    EXPECT_FALSE(doc.Root()->Items(1)->PropExists(QStringLiteral("z")));
}

TEST(XMLReader, StreamEndingBetweenTagsKeepsWhatWasRead)
{
    TrpXMLDocument doc;
    Read(doc, Header + "<report><page><a/><b x=\"1\"/>");
    ASSERT_EQ(doc.Root()->Count(), 1);
    ASSERT_EQ(doc.Root()->Items(0)->Count(), 2);
    EXPECT_EQ(doc.Root()->Items(0)->Items(1)->Prop(QStringLiteral("x")), QStringLiteral("1"));
}

TEST(XMLReader, TagFormsAndOldVersion)
{
    TrpXMLDocument doc;
    Read(doc, "<?xml version=\"1.0\"?>\n<r><!----><A a=\"1\" /><B/><c d=\"2\"/><E></e></r>");
    EXPECT_TRUE(doc.OldVersion()) << "version 1.0 without standalone=";
    ASSERT_EQ(doc.Root()->Count(), 4);
    EXPECT_EQ(doc.Root()->Items(0)->Text(), QStringLiteral("a=\"1\""));
    EXPECT_EQ(doc.Root()->Items(1)->Name(), QStringLiteral("B"));
    EXPECT_EQ(doc.Root()->Items(2)->Prop(QStringLiteral("d")), QStringLiteral("2"));
    EXPECT_EQ(doc.Root()->Items(3)->Name(), QStringLiteral("E")) << "end tags match without regard to case";

    Read(doc, Header + "<r/>");
    EXPECT_FALSE(doc.OldVersion());
}

TEST(XMLReader, DeepNestingIsRejectedNotRecursed)
{
    QByteArray bytes = Header;
    for (int i = 0; i < 200000; ++i)
        bytes += "<a>";
    EXPECT_EQ(ReadError(bytes), QStringLiteral("Invalid file format"));

    // Nesting within the limit reads, and destroying the tree is fine.
    QByteArray ok = Header;
    for (int i = 0; i < TrpXMLDocument::MaxDepth - 1; ++i)
        ok += "<a>";
    TrpXMLDocument doc;
    Read(doc, ok);
    EXPECT_EQ(doc.Root()->Count(), 1);
}

TEST(XMLDocument, WriteReadWriteIsStable)
{
    TrpXMLDocument doc;
    doc.Root()->SetName(QStringLiteral("report"));
    TrpXMLItem* memo = doc.Root()->Add(QStringLiteral("TrpMemoView"));
    memo->SetProp(QStringLiteral("Name"), QStringLiteral("Memo1"));
    memo->SetProp(QStringLiteral("Text"), QStringLiteral("a \"quoted\" &quot; <tag>\r\nline 2 Ω"));
    doc.SetAutoIndent(true);
    const QByteArray first = Write(doc);

    TrpXMLDocument again;
    again.SetAutoIndent(true);
    Read(again, first);
    EXPECT_EQ(again.Root()->Items(0)->Prop(QStringLiteral("Text")),
        QStringLiteral("a \"quoted\" \" <tag>\r\nline 2 Ω"));
    EXPECT_EQ(Write(again), first);
}

TEST(XMLDocument, UnloadAndLoadThroughTheTemporaryFile)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    TrpXMLDocument doc;
    doc.SetTempDir(dir.path());
    doc.Root()->SetName(QStringLiteral("pages"));
    std::vector<TrpXMLItem*> pages;
    for (int p = 0; p < 3; ++p) {
        TrpXMLItem* page = doc.Root()->Add(QStringLiteral("page%1").arg(p));
        page->SetUnloadable(true);
        for (int i = 0; i < 3; ++i)
            page->Add(QStringLiteral("memo"))
                ->SetProp(QStringLiteral("x"), QStringLiteral("p%1 m%2").arg(p).arg(i));
        pages.push_back(page);
    }
    const QByteArray before = Write(doc);

    for (TrpXMLItem* page : pages)
        doc.UnloadItem(page);
    EXPECT_FALSE(pages[1]->Loaded());
    EXPECT_EQ(pages[1]->Count(), 0);
    const QStringList files = FileNames(dir.path());
    ASSERT_EQ(files.size(), 1);
    EXPECT_TRUE(files[0].startsWith(QStringLiteral("rp")));

    // Writing reads the children back and leaves them out again.
    EXPECT_EQ(Write(doc), before);
    EXPECT_FALSE(pages[1]->Loaded());

    doc.LoadItem(pages[1]);
    ASSERT_EQ(pages[1]->Count(), 3);
    EXPECT_EQ(pages[1]->Items(2)->Prop(QStringLiteral("x")), QStringLiteral("p1 m2"));
    // Unloading again appends; reading back still finds the right copy.
    pages[1]->Items(2)->SetProp(QStringLiteral("x"), QStringLiteral("changed"));
    doc.UnloadItem(pages[1]);
    doc.LoadItem(pages[1]);
    EXPECT_EQ(pages[1]->Items(2)->Prop(QStringLiteral("x")), QStringLiteral("changed"));

    doc.Clear();
    EXPECT_TRUE(FileNames(dir.path()).isEmpty()) << "Clear deletes the temporary file";
}

TEST(XMLDocument, SaveToFileReplacesAndReloadsPartially)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("report.rpd"));
    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("old content");
    }
    TrpXMLDocument doc;
    doc.SetTempDir(dir.path());
    doc.Root()->SetName(QStringLiteral("preparedreport"));
    TrpXMLItem* page = doc.Root()->Add(QStringLiteral("page"));
    page->SetUnloadable(true);
    page->Add(QStringLiteral("memo"))->SetProp(QStringLiteral("x"), QStringLiteral("kept"));
    doc.UnloadItem(page);

    doc.SaveToFile(name);
    EXPECT_EQ(FileNames(dir.path()), QStringList { QStringLiteral("report.rpd") })
        << "no .tmp and no temporary file left";
    page = doc.Root()->Items(0);
    EXPECT_FALSE(page->Loaded()) << "reloaded with partial loading";
    doc.LoadItem(page);
    ASSERT_EQ(page->Count(), 1);
    EXPECT_EQ(page->Items(0)->Prop(QStringLiteral("x")), QStringLiteral("kept"));

    // Saving over the file it was loaded from keeps the unloaded children.
    page->Clear();
    doc.SaveToFile(name);
    doc.LoadItem(doc.Root()->Items(0));
    ASSERT_EQ(doc.Root()->Items(0)->Count(), 1);
    EXPECT_EQ(doc.Root()->Items(0)->Items(0)->Prop(QStringLiteral("x")), QStringLiteral("kept"));
}

TEST(XMLDocument, SaveToFileInMissingFolderFailsWithoutTouchingTheDocument)
{
    TrpXMLDocument doc;
    doc.Root()->SetName(QStringLiteral("r"));
    doc.Root()->Add(QStringLiteral("a"));
    EXPECT_THROW(doc.SaveToFile(QStringLiteral("/nonexistent-folder/x.rpd")), TrpStorageError);
    EXPECT_EQ(doc.Root()->Count(), 1);
    EXPECT_THROW(doc.LoadFromFile(QStringLiteral("/nonexistent-folder/x.rpd")), TrpStorageError);
}
