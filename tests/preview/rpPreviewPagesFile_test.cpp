// Prepared-report files: what a save and a load give back (pages, drawing,
// sections), the older whole-form page, partial loading, and files that are
// broken or foreign, which must fail clearly and leave the store as it was.
#include "StoreFixture.h"
#include "error_text.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QStringList DumpAll(TrpPreviewPages& Store)
{
    QStringList all;
    for (int i = 0; i < Store.Count(); ++i)
        all << Dump(Store.GetPage(i));
    return all;
}

QImage Drawn(TrpPreviewPages& Store, int Index)
{
    QImage image(800, 1130, QImage::Format_ARGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    Store.DrawPage(Index, &painter, 1, 1, 0, 0);
    return image;
}

QByteArray Saved(TrpPreviewPages& Store)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    Store.SaveToStream(&buffer);
    return buffer.data();
}

// The file with runs of blanks between attributes made one: reading drops
// the blank an attribute text may start with.
QByteArray Blanks(QByteArray File)
{
    while (File.contains("  "))
        File.replace("  ", " ");
    return File;
}

void Load(TrpPreviewPages& Store, const QByteArray& Bytes, bool Partial = false)
{
    QByteArray copy = Bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    Store.LoadFromStream(&buffer, Partial);
}

// A report with nothing prepared, whose store a file is loaded into.
struct EmptyReport {
    TrpReport Report;
    EmptyReport() { rpRegisterPreviewPages(); }
    TrpPreviewPages& Store() { return *static_cast<TrpPreviewPages*>(Report.PreviewPages()); }
};

} // namespace

TEST(PreparedReportFile, SaveThenLoadGivesTheSamePagesDrawingAndSections)
{
    ExpenseTemplate t;
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(true);
    t.Store().Initialize();
    t.Store().AddSourcePage(t.Page);
    t.Store().BeginPass();
    t.FillPage(0, 0, 5);
    t.Store().AddAnchor(QStringLiteral("first"));
    t.Store().Outline()->AddItem(QStringLiteral("Chapter"), 12);
    t.FillPage(1, 5, 5);
    t.FillPage(2, 10, 5);
    t.Store().Finish();
    t.Engine->SetRunning(false);
    t.Report->ReportOptions()->SetName(QStringLiteral("Costs & <more>"));
    t.Report->PreviewOptions()->OutlineWidth = 150;

    const QByteArray file = Saved(t.Store());
    EXPECT_TRUE(
        file.startsWith("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?><preparedreport>"));
    EXPECT_FALSE(file.contains('\n'));
    // The footer picture is cached once and every page refers to it.
    EXPECT_EQ(file.count("<item stream=\""), 1);
    EXPECT_TRUE(file.contains("<m1 name=\"Page0.Memo2\"/>"));
    // Pages from the third on carry the partial-loading marker.
    EXPECT_TRUE(file.contains("<page0 ld=\"0\">"));

    EmptyReport loaded;
    Load(loaded.Store(), file);
    EXPECT_EQ(DumpAll(loaded.Store()), DumpAll(t.Store()));
    for (int i = 0; i < 3; ++i)
        EXPECT_EQ(Drawn(loaded.Store(), i), Drawn(t.Store(), i)) << "page " << i;
    EXPECT_EQ(loaded.Store().GetAnchorPage(QStringLiteral("FIRST")), 1);
    EXPECT_EQ(loaded.Store().Outline()->Root()->Count(), 1);
    ASSERT_NE(loaded.Store().Dictionary().GetObject(QStringLiteral("m1")), nullptr);
    EXPECT_EQ(loaded.Store().Dictionary().GetObject(QStringLiteral("m1"))->Name(), QStringLiteral("Memo2"));
    EXPECT_EQ(loaded.Store().PictureCache().Count(), 1);
    EXPECT_EQ(loaded.Report.ReportOptions()->Name(), QStringLiteral("Costs & <more>"));
    EXPECT_EQ(loaded.Report.PreviewOptions()->OutlineWidth, 150);
    // Logical page numbers came along: page 3 of 3.
    loaded.Store().SetCurPage(2);
    EXPECT_EQ(loaded.Store().GetLogicalPageNo(), 3);

    // Saving twice, or again after a load, gives the same file: the
    // sections are replaced, not added again.
    EXPECT_EQ(Saved(t.Store()), file);
    EXPECT_EQ(Blanks(Saved(loaded.Store())), Blanks(file));
}

TEST(PreparedReportFile, AWholeFormPageAndAnOlderHeaderLoad)
{
    ExpenseTemplate t;
    t.Fill(2, 4);
    // A page written back whole (as page settings do) is stored in full.
    TrpReportPage* page = t.Store().GetPage(1);
    page->SetLeftMargin(25);
    t.Store().ModifyPage(1, page);
    const QStringList expected = DumpAll(t.Store());
    QByteArray file = Saved(t.Store());
    EXPECT_TRUE(file.contains("<TrpReportPage "));
    // An older writer: no "standalone" in the header.
    file.replace("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>", "<?xml version=\"1.0\"?>");

    EmptyReport loaded;
    Load(loaded.Store(), file);
    EXPECT_TRUE(loaded.Store().XMLDoc().OldVersion());
    EXPECT_EQ(DumpAll(loaded.Store()), expected);
}

TEST(PreparedReportFile, PartialLoadingReadsPagesWhenTheyAreNeeded)
{
    ExpenseTemplate t;
    t.Fill(5, 3);
    const QStringList expected = DumpAll(t.Store());
    const QByteArray file = Saved(t.Store());

    EmptyReport loaded;
    Load(loaded.Store(), file, true);
    const TrpXMLItem* pages = loaded.Store().XMLDoc().Root()->FindItem(QStringLiteral("previewpages"));
    ASSERT_EQ(pages->Count(), 5);
    EXPECT_TRUE(pages->Items(1)->Loaded());
    for (int i = 2; i < 5; ++i)
        EXPECT_FALSE(pages->Items(i)->Loaded()) << i;
    EXPECT_EQ(Dump(loaded.Store().GetPage(3)), Dump(t.Store().GetPage(3)));
    EXPECT_TRUE(pages->Items(3)->Loaded());
    EXPECT_FALSE(pages->Items(4)->Loaded());
    // Saving writes the pages still in the source too.
    EXPECT_EQ(Blanks(Saved(loaded.Store())), Blanks(file));
    EXPECT_EQ(DumpAll(loaded.Store()), expected);
}

TEST(PreparedReportFile, BrokenOrForeignFilesFailClearlyAndLeaveTheStoreAsItWas)
{
    ExpenseTemplate source;
    source.Fill(2, 3);
    const QByteArray good = Saved(source.Store());
    const QString header = QStringLiteral("<?xml version=\"1.0\" encoding=\"utf-8\" standalone=\"no\"?>");
    QByteArray deep = header.toUtf8() + "<preparedreport><previewpages>";
    for (int i = 0; i < 5000; ++i)
        deep += "<a>";
    QByteArray badHex = good;
    badHex.replace("<item stream=\"89", "<item stream=\"Z9");
    QByteArray unknownAlias = good;
    unknownAlias.replace("<m7 u=\"Car 0\"/>", "<m777 u=\"Car 0\"/>");
    QByteArray unknownPage = good;
    unknownPage.replace("<m1 name=\"Page0.Memo2\"/>", "<m1 name=\"Page9.Memo2\"/>");
    const struct {
        const char* Case;
        QByteArray Bytes;
    } cases[] = {
        { "empty", QByteArray() },
        { "text", "just some text\n" },
        { "binary", QByteArray("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16) },
        { "cut inside a tag", good.left(good.size() / 2) + "<m1 u=\"abc" },
        { "foreign root", header.toUtf8() + "<TrpReport><TrpReportPage Name=\"Page1\"/></TrpReport>" },
        { "deeply nested", deep },
        { "picture cache with bad hex", badHex },
        { "page item naming an unknown source object", unknownAlias },
        { "dictionary naming a page that does not exist", unknownPage },
    };
    for (const auto& c : cases) {
        ExpenseTemplate t;
        t.Fill(3, 2);
        const QStringList before = DumpAll(t.Store());
        EXPECT_EQ(ErrorOf([&] { Load(t.Store(), c.Bytes); }), QStringLiteral("Invalid file format"))
            << c.Case;
        EXPECT_EQ(DumpAll(t.Store()), before) << c.Case;
        EXPECT_EQ(t.Store().PictureCache().Count(), 1) << c.Case;
    }
}

TEST(PreparedReportFile, AFileCutBetweenItemsLoadsWhatWasRead)
{
    ExpenseTemplate t;
    t.Fill(3, 2);
    const QByteArray good = Saved(t.Store());
    // Cut before the pictures: the pages come back, their picture empty.
    const qsizetype cut = good.indexOf("<picturecache>");
    ASSERT_GT(cut, 0);
    EmptyReport loaded;
    Load(loaded.Store(), good.left(cut));
    EXPECT_EQ(loaded.Store().Count(), 3);
    EXPECT_EQ(loaded.Store().PictureCache().Count(), 0);
    EXPECT_EQ(Dump(loaded.Store().GetPage(2)).mid(0, 10), Dump(t.Store().GetPage(2)).mid(0, 10));
    // Cut before the dictionary, the pages could not be rebuilt: refused.
    ExpenseTemplate other;
    other.Fill(1, 1);
    EXPECT_EQ(ErrorOf([&] { Load(other.Store(), good.left(good.indexOf("<report>"))); }),
        QStringLiteral("Invalid file format"));
    EXPECT_EQ(other.Store().Count(), 1);
}

TEST(PreparedReportFile, FilesReplaceWholeAndAMissingNameLoadsNothing)
{
    QTemporaryDir dir;
    const QString name = dir.filePath(QStringLiteral("costs.rpd"));
    ExpenseTemplate t;
    t.Fill(2, 3);
    EXPECT_FALSE(t.Store().LoadFromFile(name));
    EXPECT_EQ(t.Store().Count(), 2);
    EXPECT_EQ(
        ErrorOf([&] { t.Store().LoadFromFile(name, true); }).left(16), QStringLiteral("Cannot open file"));

    {
        QFile old(name);
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("an older file");
    }
    t.Store().SaveToFile(name);
    QFile file(name);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), Saved(t.Store()));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("costs.rpd") });
    // A name that cannot be created fails and leaves nothing behind.
    EXPECT_NE(ErrorOf([&] { t.Store().SaveToFile(dir.filePath(QStringLiteral("no/such/dir.rpd"))); }),
        QStringLiteral("<no error>"));

    EmptyReport loaded;
    EXPECT_TRUE(loaded.Store().LoadFromFile(name));
    EXPECT_EQ(DumpAll(loaded.Store()), DumpAll(t.Store()));
}

TEST(PreparedReportFile, AHugeAttributeCostsItsSizeAndNoMore)
{
    ExpenseTemplate t;
    t.Fill(2, 3);
    QByteArray file = Saved(t.Store());
    // Eight megabytes in an attribute no object has: read, skipped by the
    // serializer, written back.
    const QByteArray huge = " zz=\"" + QByteArray(8 << 20, 'A') + "\"";
    file.replace("<m8 u=\"Part 0\"", "<m8" + huge + " u=\"Part 0\"");
    EmptyReport loaded;
    Load(loaded.Store(), file);
    EXPECT_EQ(DumpAll(loaded.Store()), DumpAll(t.Store()));
    EXPECT_EQ(Blanks(Saved(loaded.Store())), Blanks(file));
}
