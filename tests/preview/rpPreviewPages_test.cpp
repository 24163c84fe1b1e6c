// Prepared pages store: filling it as the engine does, rebuilding pages
// through the page cache, moving kept bands, whole-form pages, unloading to
// the temporary file, and the edge cases of page bookkeeping.
#include "StoreFixture.h"
#include "error_text.h"
#include "qt_print.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

std::vector<TrpBand*> Bands(TrpReportPage* Page)
{
    std::vector<TrpBand*> bands;
    for (const auto& c : Page->Objects())
        if (auto* band = dynamic_cast<TrpBand*>(c.get()))
            bands.push_back(band);
    return bands;
}

} // namespace

TEST(PreviewPages, EveryReportOwnsAStoreFromConstruction)
{
    rpRegisterPreviewPages();
    TrpReport report;
    auto* store = dynamic_cast<TrpPreviewPages*>(report.PreviewPages());
    ASSERT_NE(store, nullptr);
    EXPECT_EQ(store->Report(), &report);
    EXPECT_EQ(store->Count(), 0);
    EXPECT_EQ(store->CurPage(), -1);
    EXPECT_EQ(store->GetPage(0), nullptr);
}

TEST(PreviewPages, RebuiltPagesGiveBackEveryPlacedObject)
{
    ExpenseTemplate t;
    const std::vector<PlacedPage> placed = t.Fill(3, 41);
    TrpPreviewPages& store = t.Store();
    ASSERT_EQ(store.Count(), 3);
    EXPECT_EQ(store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(0)->Name(),
        QStringLiteral("page0"));

    for (int p = 0; p < 3; ++p) {
        SCOPED_TRACE(p);
        TrpReportPage* page = store.GetPage(p);
        ASSERT_NE(page, nullptr);
        EXPECT_EQ(page->Name(), QStringLiteral("Page1"));
        EXPECT_EQ(page->LeftMargin(), 10);
        const std::vector<TrpBand*> bands = Bands(page);
        ASSERT_EQ(bands.size(), placed[size_t(p)].size());
        for (size_t b = 0; b < bands.size(); ++b) {
            const PlacedBand& want = placed[size_t(p)][b];
            SCOPED_TRACE(want.Name.toStdString());
            EXPECT_EQ(bands[b]->Name(), want.Name);
            EXPECT_NEAR(double(bands[b]->Top()), double(want.Top), 1e-6);
            std::vector<QString> texts;
            for (const auto& c : bands[b]->Objects())
                if (auto* memo = dynamic_cast<TrpMemoView*>(c.get()))
                    texts.push_back(memo->Text());
            EXPECT_EQ(texts, want.Texts);
        }
        // Positions and sizes inside a band come from the template.
        TrpBand* row = bands[p == 0 ? 2 : 1];
        ASSERT_EQ(row->Count(), 5);
        EXPECT_EQ(row->Objects(1)->Name(), QStringLiteral("rpDBDataset1partname"));
        EXPECT_NEAR(double(row->Objects(1)->Left()), 128.50402, 1e-9);
        EXPECT_NEAR(double(row->Objects(1)->Width()), 325.03958, 1e-9);
        EXPECT_NEAR(double(row->Objects(1)->Height()), 18.89765, 1e-9);
        // A copied memo has lost its data binding.
        EXPECT_TRUE(static_cast<TrpMemoView*>(row->Objects(1))->DataField().isEmpty());
        // The footer picture comes back from the picture cache.
        auto* picture = dynamic_cast<TrpPictureView*>(bands.back()->Objects(0));
        ASSERT_NE(picture, nullptr);
        EXPECT_EQ(picture->PictureBytes(), t.Png);
        EXPECT_EQ(picture->ImageIndex(), 1);
        EXPECT_EQ(static_cast<TrpMemoView*>(bands.back()->Objects(3))->HAlign(), haRight);
    }
    // One picture for all three footers; source pages keep none.
    EXPECT_EQ(store.PictureCache().Count(), 1);
    auto* sourcePicture = store.SourcePages()[0]->FindObject(QStringLiteral("Picture1"));
    ASSERT_NE(sourcePicture, nullptr);
    EXPECT_FALSE(static_cast<TrpPictureView*>(sourcePicture)->HasImage());
}

TEST(PreviewPages, AFetchedPageIsACacheHitAndTheOldestIsEvicted)
{
    ExpenseTemplate t;
    t.Fill(4, 3);
    TrpPreviewPages& store = t.Store();
    store.SetPagesInCache(2);
    TrpReportPage* first = store.GetPage(0);
    const QStringList before = Dump(first);
    EXPECT_EQ(store.GetPage(0), first); // built once
    store.GetPage(1);
    EXPECT_EQ(store.GetPage(0), first); // a hit moves to the front
    EXPECT_EQ(store.CachedPageIndexes(), (std::vector<int> { 0, 1 }));
    store.GetPage(2);
    EXPECT_EQ(store.CachedPageIndexes(), (std::vector<int> { 2, 0 }));
    store.GetPage(3);
    EXPECT_EQ(store.CachedPageIndexes(), (std::vector<int> { 3, 2 }));
    // Rebuilt after eviction: the same objects with the same values.
    EXPECT_EQ(Dump(store.GetPage(0)), before);
}

TEST(PreviewPages, WhileTheEngineRunsLookupsBypassTheCache)
{
    ExpenseTemplate t;
    t.Fill(2, 3);
    TrpPreviewPages& store = t.Store();
    TrpReportPage* cached = store.GetPage(1);
    t.Engine->SetRunning(true);
    EXPECT_NE(store.GetPage(1), cached);
    t.Engine->SetRunning(false);
}

TEST(PreviewPages, CutAndPasteMovesAKeepBlockToTheNextPage)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(true);
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.BeginPass();
    PlacedPage record;
    store.AddPage(t.Page);
    t.Place(t.Header, 0, {}, record);
    t.Place(t.Data, 41.57483L, { QStringLiteral("kept car") }, record);
    const int position = store.GetCurPosition();
    EXPECT_EQ(position, 2);
    // A row and a child band that must stay together with the next page.
    t.Place(t.Data, 500, { QStringLiteral("first kept") }, record);
    t.Place(t.Data, 522.67718L, { QStringLiteral("second kept") }, record);
    store.CutObjects(position);
    EXPECT_EQ(store.GetCurPosition(), 2);
    store.AddPage(t.Page);
    store.PasteObjects(0, 41.57483L);
    EXPECT_EQ(store.GetCurPosition(), 2);
    EXPECT_EQ(store.XMLDoc().Root()->Find(QStringLiteral("cutted")), -1);
    store.Finish();
    t.Engine->SetRunning(false);

    const std::vector<TrpBand*> first = Bands(store.GetPage(0));
    ASSERT_EQ(first.size(), 2u);
    const std::vector<TrpBand*> second = Bands(store.GetPage(1));
    ASSERT_EQ(second.size(), 2u);
    EXPECT_NEAR(double(second[0]->Top()), 41.57483, 1e-6);
    EXPECT_NEAR(double(second[1]->Top()), 41.57483 + 22.67718, 1e-6);
    EXPECT_EQ(static_cast<TrpMemoView*>(second[0]->Objects(0))->Text(), QStringLiteral("first kept"));
    EXPECT_EQ(static_cast<TrpMemoView*>(second[1]->Objects(0))->Text(), QStringLiteral("second kept"));
    EXPECT_EQ(second[0]->Left(), 0);
}

TEST(PreviewPages, AModifiedPageIsStoredWholeAndReadBack)
{
    ExpenseTemplate t;
    t.Fill(3, 4);
    TrpPreviewPages& store = t.Store();
    TrpReportPage* page = store.GetPage(2);
    auto* memo = static_cast<TrpMemoView*>(Bands(page)[1]->Objects(0));
    memo->SetText(QStringLiteral("edited in the preview"));
    memo->SetLeft(12.5L);
    const QStringList edited = Dump(page);
    store.ModifyPage(2, page);

    const TrpXMLItem* item = store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(2);
    EXPECT_EQ(item->Name(), QStringLiteral("TrpReportPage"));
    EXPECT_FALSE(item->Unloadable());
    EXPECT_TRUE(store.CachedPageIndexes().empty());
    EXPECT_EQ(Dump(store.GetPage(2)), edited);
    EXPECT_EQ(store.GetPageSize(2), QPointF(794, 1123));
    // Objects added to a whole-form page are stored whole too.
    t.Engine->SetRunning(true);
    store.SetCurPage(2);
    PlacedPage record;
    t.Place(t.Data, 900, { QStringLiteral("late row") }, record);
    t.Engine->SetRunning(false);
    EXPECT_EQ(item->Items(item->Count() - 1)->Name(), QStringLiteral("TrpMasterData"));
    store.Finish();
    EXPECT_EQ(static_cast<TrpMemoView*>(Bands(store.GetPage(2)).back()->Objects(0))->Text(),
        QStringLiteral("late row"));
}

TEST(PreviewPages, PagesUnloadToTheTemporaryFileAndComeBack)
{
    QTemporaryDir dir;
    ExpenseTemplate t;
    t.Report->EngineOptions()->SetUseFileCache(true);
    t.Report->EngineOptions()->SetMaxMemSize(0); // every new page unloads the ones before
    t.Report->EngineOptions()->SetTempDir(dir.path());
    t.Fill(6, 10);
    TrpPreviewPages& store = t.Store();
    TrpXMLItem* pages = store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"));
    EXPECT_TRUE(pages->Items(0)->Loaded()); // the first two never unload
    EXPECT_TRUE(pages->Items(1)->Loaded());
    // Each new page unloads the pages before the one just finished.
    EXPECT_FALSE(pages->Items(2)->Loaded());
    EXPECT_FALSE(pages->Items(3)->Loaded());
    EXPECT_EQ(pages->Items(3)->Count(), 0);
    EXPECT_TRUE(pages->Items(4)->Loaded());
    ASSERT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);

    // Reference dumps from a store that never unloaded.
    ExpenseTemplate reference;
    reference.Fill(6, 10);
    store.SetPagesInCache(1);
    for (int p = 0; p < 6; ++p)
        EXPECT_EQ(Dump(store.GetPage(p)), Dump(reference.Store().GetPage(p))) << p;
    // Evicted pages go back to the file.
    EXPECT_FALSE(pages->Items(4)->Loaded());
    EXPECT_TRUE(pages->Items(5)->Loaded()); // still in the cache

    store.Clear();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    t.Fill(6, 10);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 1);
    t.Report.reset();
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST(PreviewPages, AddPageWritesOverOrAppendsByAddPageAction)
{
    ExpenseTemplate t;
    t.Fill(3, 1);
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    store.SetCurPage(0);
    store.SetAddPageAction(apWriteOver);
    store.AddPage(t.Page);
    EXPECT_EQ(store.Count(), 3);
    EXPECT_EQ(store.CurPage(), 1);
    store.SetAddPageAction(apAdd);
    store.AddPage(t.Page);
    EXPECT_EQ(store.Count(), 4);
    EXPECT_EQ(store.CurPage(), 3);
    EXPECT_EQ(store.AddPageAction(), apWriteOver);
    t.Engine->SetRunning(false);
}

TEST(PreviewPages, TwoTemplatePagesGivePage0AndPage1Items)
{
    ExpenseTemplate t;
    auto* second = t.Report->Create<TrpReportPage>();
    second->SetName(QStringLiteral("Page2"));
    auto* band = second->Create<TrpMasterData>();
    band->SetName(QStringLiteral("MasterData2"));
    TrpPreviewPages& store = t.Store();
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.AddSourcePage(second);
    store.BeginPass();
    store.AddPage(t.Page);
    store.AddPage(second);
    store.AddPage(nullptr); // a template page with no source page
    const TrpXMLItem* pages = store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"));
    EXPECT_EQ(pages->Items(0)->Name(), QStringLiteral("page0"));
    EXPECT_EQ(pages->Items(1)->Name(), QStringLiteral("page1"));
    EXPECT_EQ(pages->Items(2)->Name(), QStringLiteral("page-1"));
    EXPECT_FALSE(pages->Items(1)->Unloadable());
    EXPECT_TRUE(pages->Items(2)->Unloadable());
    store.Finish();
    EXPECT_EQ(store.GetPage(1)->Name(), QStringLiteral("Page2"));
    // A page without a source page is a blank default page, not a failure.
    EXPECT_EQ(store.GetPage(2)->Count(), 0);
    // Alias names: bands b1.., memos m1.., the picture p1.
    EXPECT_EQ(t.Title->AliasName(), QStringLiteral("b1"));
    EXPECT_EQ(t.TitleMemo->AliasName(), QStringLiteral("m1"));
    EXPECT_EQ(t.Picture->AliasName(), QStringLiteral("p1"));
    EXPECT_EQ(band->AliasName(), QStringLiteral("b5"));
    EXPECT_EQ(store.Dictionary().GetSourceName(QStringLiteral("m1")), QStringLiteral("Page0.Memo2"));
    EXPECT_EQ(store.Dictionary().GetSourceName(QStringLiteral("b5")), QStringLiteral("Page1.MasterData2"));
    // Finish cuts the link from source pages to template pages.
    EXPECT_EQ(store.SourcePages()[0]->OriginalComponent(), nullptr);
}

TEST(PreviewPages, PageQueriesForTheEngine)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.BeginPass();
    store.AddPage(t.Page);
    PlacedPage record;
    // Only a page footer: it does not count for the last Y.
    t.Place(t.Footer, 900, {}, record);
    EXPECT_EQ(store.GetLastY(0), 0);
    EXPECT_TRUE(store.BandExists(t.Footer));
    EXPECT_FALSE(store.BandExists(t.Data));
    t.Place(t.Header, 0, {}, record);
    t.Place(t.Data, 41.57483L, {}, record);
    EXPECT_TRUE(store.BandExists(t.Data));
    EXPECT_NEAR(double(store.GetLastY(0)), 41.57483 + 22.67718, 1e-9);
    EXPECT_EQ(store.GetLastY(300), 0); // no band in that column
    store.UpdatePageLastColumn(2, 359.05L, false);
    int column = 0;
    long double position = 0;
    store.GetLastColumnPos(column, position);
    EXPECT_EQ(column, 2);
    EXPECT_NEAR(double(position), 359.05, 1e-9);
    store.UpdatePageDimensions(t.Page, 800, 2000);
    store.Finish();
    t.Engine->SetRunning(false);
    EXPECT_EQ(store.GetPageSize(0), QPointF(800, 2000));
    EXPECT_EQ(store.GetPage(0)->PaperSize(), 256);
    EXPECT_EQ(store.GetPageSize(5), QPointF(0, 0));
    EXPECT_EQ(store.GetPageSize(-1), QPointF(0, 0));
    EXPECT_EQ(ErrorOf([&] { store.GetPage(5); }), QStringLiteral("List index out of bounds (5)"));
}

TEST(PreviewPages, EditingPagesInThePreview)
{
    ExpenseTemplate t;
    t.Fill(1, 2);
    TrpPreviewPages& store = t.Store();
    store.DeletePage(0); // the only page stays
    EXPECT_EQ(store.Count(), 1);
    store.AddEmptyPage(0);
    ASSERT_EQ(store.Count(), 2);
    // The new first page shows only the source page itself.
    EXPECT_EQ(store.GetPage(0)->Count(), 0);
    EXPECT_EQ(store.GetPage(0)->Name(), QStringLiteral("Page1"));
    EXPECT_EQ(Bands(store.GetPage(1)).size(), 5u);
    store.DeletePage(0);
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(Bands(store.GetPage(0)).size(), 5u);
}

TEST(PreviewPages, TwoPassRunKeepsTheFirstPassNumbers)
{
    ExpenseTemplate t;
    t.Report->EngineOptions()->SetDoublePass(true);
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(false);
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.BeginPass();
    for (int p = 0; p < 3; ++p)
        t.FillPage(p, p * 2, 2);
    store.Outline()->AddItem(QStringLiteral("first pass"), 10);
    store.SetCurPage(store.Count() - 1);
    store.ClearFirstPassPages();
    EXPECT_EQ(store.Count(), 0);
    EXPECT_EQ(store.CurPage(), -1);
    EXPECT_EQ(store.Outline()->Root()->Count(), 0);
    t.Engine->SetFinalPass(true);
    t.Engine->SetTotalPages(3);
    for (int p = 0; p < 3; ++p) {
        t.FillPage(p, p * 2, 2);
        EXPECT_EQ(store.GetLogicalPageNo(), p + 1);
        EXPECT_EQ(store.GetLogicalTotalPages(), 3);
    }
    store.Finish();
    t.Engine->SetRunning(false);
    EXPECT_EQ(store.Count(), 3);
}

TEST(PreviewPages, FirstPassItemsCarryOnlyTheBaseDifference)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(false);
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.BeginPass();
    store.AddPage(t.Page);
    PlacedPage record;
    t.Place(t.Data, 100, { QStringLiteral("not stored") }, record);
    const TrpXMLItem* band
        = store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(0)->Items(0);
    EXPECT_EQ(band->Text(), QStringLiteral(" t=\"100\""));
    EXPECT_EQ(band->Items(0)->Text(), QString());
    t.Engine->SetFinalPass(true);
    t.Place(t.Data, 200, { QStringLiteral("stored") }, record);
    const TrpXMLItem* second
        = store.XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(0)->Items(1);
    EXPECT_EQ(second->Items(0)->Text(), QStringLiteral(" u=\"stored\""));
    t.Engine->SetRunning(false);
}

TEST(PreviewPages, LogicalPageNumbersRestartAtAReset)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    t.Engine->SetRunning(true);
    t.Engine->SetFinalPass(true);
    store.Initialize();
    store.AddSourcePage(t.Page);
    store.BeginPass();
    store.AddPage(t.Page);
    store.AddPage(t.Page);
    EXPECT_EQ(store.GetLogicalPageNo(), 2);
    store.ResetLogicalPageNumber(); // a group with ResetPageNumbers ends
    store.AddPage(t.Page);
    EXPECT_EQ(store.GetLogicalPageNo(), 1);
    store.ResetLogicalPageNumber();
    store.Finish();
    t.Engine->SetRunning(false);
    const int expected[][2] = { { 1, 2 }, { 2, 2 }, { 1, 1 } };
    for (int p = 0; p < 3; ++p) {
        store.SetCurPage(p);
        EXPECT_EQ(store.GetLogicalPageNo(), expected[p][0]) << p;
        EXPECT_EQ(store.GetLogicalTotalPages(), expected[p][1]) << p;
    }
    // A page without a number item counts from FirstPage.
    store.SetCurPage(7);
    store.SetFirstPage(2);
    EXPECT_EQ(store.GetLogicalPageNo(), 6);
}

TEST(PreviewPages, AddFromAppendsAnotherReportsPagesWhole)
{
    ExpenseTemplate a;
    a.Fill(2, 3);
    ExpenseTemplate b;
    b.Fill(1, 2);
    b.Store().SetCurPage(0);
    b.Store().AddAnchor(QStringLiteral("appendix"));
    b.Store().Outline()->AddItem(QStringLiteral("Appendix"), 5);
    const QStringList theirs = Dump(b.Store().GetPage(0));
    a.Store().AddFrom(b.Report.get());
    ASSERT_EQ(a.Store().Count(), 3);
    EXPECT_EQ(a.Store().XMLDoc().Root()->FindItem(QStringLiteral("previewpages"))->Items(2)->Name(),
        QStringLiteral("TrpReportPage"));
    EXPECT_EQ(Dump(a.Store().GetPage(2)), theirs);
    EXPECT_EQ(a.Store().GetAnchorPage(QStringLiteral("appendix")), 3);
    QString text;
    int page = -1, top = -1;
    a.Store().Outline()->LevelRoot();
    a.Store().Outline()->GetItem(0, text, page, top);
    EXPECT_EQ(text, QStringLiteral("Appendix"));
    EXPECT_EQ(page, 2);
    EXPECT_EQ(b.Store().CurPage(), -1);
}
