// The preview control: zoom modes, page bounds, navigation, the painting
// window, scrolling, locking, progress while a report is prepared, panes
// and tabs. Runs on a store that reports N pages and draws boxes.
#include "FakePreviewPages.h"
#include "qt_print.h"
#include "rpClass.h"
#include "rpEngine.h"
#include "rpPreview.h"
#include "rpPreviewWorkspace.h"

#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

namespace {

constexpr long double A4W = 794;
constexpr long double A4H = 1123;

struct PreviewFixture : ::testing::Test {
    TrpReport Report;
    FakePreviewPages Pages;
    TrpPreview Preview;

    void Open(int PageCount, QSize Size = QSize(1000, 700))
    {
        Pages.Sizes.assign(size_t(PageCount), QPointF(A4W, A4H));
        Preview.resize(Size);
        Preview.show();
        Preview.Init(&Report, &Pages);
        QApplication::processEvents();
    }
    TrpPreviewWorkspace* Ws() { return Preview.Workspace(); }
    int Available() { return Ws()->width() - Ws()->style()->pixelMetric(QStyle::PM_ScrollBarExtent) - 26; }
    // Paints the page area now and returns the pages drawn.
    std::map<int, int> Paint()
    {
        Pages.Draws.clear();
        Ws()->viewport()->repaint();
        return Pages.Draws;
    }
};

TEST_F(PreviewFixture, ZoomModesForAThreePageReport)
{
    Open(3);
    EXPECT_EQ(Preview.PageCount(), 3);
    EXPECT_EQ(Preview.PageNo(), 1);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), 1.0);

    // Default: pages at 794 x 1123, one per row, 10 apart.
    const TrpPageList& list = Ws()->PageList();
    ASSERT_EQ(list.Count(), 3);
    const int x = (Available() - 804 + 10) / 2 + 10;
    EXPECT_EQ(list.GetPageBounds(0, Available(), 1), QRect(x, 10, 794, 1123));
    EXPECT_EQ(list.GetPageBounds(1, Available(), 1), QRect(x, 1143, 794, 1123));
    EXPECT_EQ(list.GetPageBounds(2, Available(), 1), QRect(x, 2276, 794, 1123));
    EXPECT_EQ(Ws()->VertRange(), 3399 + 10);
    EXPECT_EQ(Ws()->HorzRange(), 814);

    Preview.SetZoomMode(zmPageWidth);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), double(Available() / A4W));
    EXPECT_EQ(list.Items(0).Width, Available());

    // The control is wider than tall relative to the page: the height decides.
    Preview.SetZoomMode(zmWholePage);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), double((Ws()->height() - 26) / A4H));
    EXPECT_EQ(list.Items(0).Height, Ws()->height() - 26);

    // Tall and narrow: the width decides.
    Preview.resize(400, 1400);
    Preview.SetZoomMode(zmWholePage);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), double(Available() / A4W));

    Preview.SetZoom(0.5L);
    EXPECT_EQ(Preview.ZoomMode(), zmDefault);
    EXPECT_EQ(list.Items(0).Width, 397);
    Preview.SetZoom(0.1L);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), 0.25);
    EXPECT_TRUE(Preview.InvariantsHold());
}

TEST_F(PreviewFixture, WheelScrollsTwentyPixelsAndZoomsInTenthsDownToThirtyPercent)
{
    Open(3);
    Preview.MouseWheelScroll(-120, false, false);
    EXPECT_EQ(Ws()->VertPosition(), 20);
    Preview.MouseWheelScroll(120, false, false);
    EXPECT_EQ(Ws()->VertPosition(), 0);
    Preview.MouseWheelScroll(0, false, true);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), 1.0);
    Preview.MouseWheelScroll(120, false, true);
    EXPECT_NEAR(double(Preview.Zoom()), 1.1, 1e-12);
    Preview.SetZoom(0.35L);
    Preview.MouseWheelScroll(-120, false, true);
    EXPECT_NEAR(double(Preview.Zoom()), 0.3, 1e-12);
    Preview.MouseWheelScroll(-120, false, true);
    EXPECT_NEAR(double(Preview.Zoom()), 0.3, 1e-12);
}

TEST_F(PreviewFixture, ScrollingChangesThePageWhenTheNextTopIsWithinAFifth)
{
    Open(3);
    // Page 2's top is at 1143; a fifth of 1123 rounds to 225.
    Ws()->SetVertPosition(1143 - 226);
    EXPECT_EQ(Preview.PageNo(), 1);
    Ws()->SetVertPosition(1143 - 225);
    EXPECT_EQ(Preview.PageNo(), 2);
    // Setting the page from the scroll does not move the view again.
    EXPECT_EQ(Ws()->VertPosition(), 1143 - 225);
}

TEST_F(PreviewFixture, NavigationPutsThePageTopTenPixelsBelowTheEdge)
{
    Open(10);
    std::vector<int> changes;
    Preview.OnPageChanged = [&](TrpPreview*, int PageNo) { changes.push_back(PageNo); };
    Preview.SetPageNo(7);
    EXPECT_EQ(Ws()->VertPosition(), Ws()->PageList().Items(6).OffsetY - 10);
    QTest::keyClick(Ws(), Qt::Key_Home);
    EXPECT_EQ(Preview.PageNo(), 1);
    EXPECT_EQ(Ws()->VertPosition(), 0);
    QTest::keyClick(Ws(), Qt::Key_End);
    EXPECT_EQ(Preview.PageNo(), 10);
    QTest::keyClick(Ws(), Qt::Key_PageUp, Qt::ControlModifier);
    EXPECT_EQ(Preview.PageNo(), 9);
    Preview.Next();
    Preview.Next();
    EXPECT_EQ(Preview.PageNo(), 10);
    Preview.SetPageNo(-4);
    EXPECT_EQ(Preview.PageNo(), 1);
    Preview.Prior();
    EXPECT_EQ(Preview.PageNo(), 1);
    const int before = Ws()->VertPosition();
    QTest::keyClick(Ws(), Qt::Key_Down);
    EXPECT_EQ(Ws()->VertPosition(), before + 8);
    QTest::keyClick(Ws(), Qt::Key_PageDown);
    EXPECT_EQ(Ws()->VertPosition(), before + 308);
    EXPECT_EQ(changes.front(), 7);
    EXPECT_TRUE(Preview.InvariantsHold());
}

TEST_F(PreviewFixture, ClickingAPageMakesItCurrentWithoutMovingTheView)
{
    Open(4);
    Preview.SetZoom(0.5L); // two pages per row
    Preview.First();
    const QRect second = Ws()->PageRect(1);
    const int before = Ws()->VertPosition();
    QTest::mouseClick(Ws()->viewport(), Qt::LeftButton, {}, second.center());
    EXPECT_EQ(Preview.PageNo(), 2);
    EXPECT_EQ(Ws()->VertPosition(), before);
    // The store saw the release and a click on page index 1.
    ASSERT_GE(Pages.MouseEvents.size(), 2u);
    EXPECT_EQ(Pages.MouseEvents[Pages.MouseEvents.size() - 2], std::make_pair(1, meMouseUp));
    EXPECT_EQ(Pages.MouseEvents.back(), std::make_pair(1, meClick));
}

TEST_F(PreviewFixture, DraggingMovesTheViewWithTheHand)
{
    Open(3);
    Ws()->SetVertPosition(500);
    QTest::mousePress(Ws()->viewport(), Qt::LeftButton, {}, QPoint(300, 300));
    QMouseEvent move(QEvent::MouseMove, QPointF(300, 250), Ws()->viewport()->mapToGlobal(QPointF(300, 250)),
        Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Ws()->viewport(), &move);
    EXPECT_EQ(Ws()->VertPosition(), 550);
    QTest::mouseRelease(Ws()->viewport(), Qt::LeftButton, {}, QPoint(300, 250));
    EXPECT_FALSE(Ws()->Dragging());
}

TEST_F(PreviewFixture, PaintingPage50Of2440TouchesOnlyPagesNearIt)
{
    Open(2440);
    Preview.SetPageNo(50);
    const std::map<int, int> drawn = Paint();
    ASSERT_FALSE(drawn.empty());
    // The view is 10 pixels above page 50's top: page index 49 and at most
    // the one after it are visible.
    EXPECT_EQ(drawn.begin()->first, 49);
    EXPECT_LE(drawn.rbegin()->first, 50);
    EXPECT_TRUE(drawn.count(49));
}

TEST_F(PreviewFixture, ScrollingRepaintsOnlyTheUncoveredStrip)
{
    Open(3);
    Paint();
    Pages.Draws.clear();
    Ws()->SetVertPosition(Ws()->VertPosition() + 8);
    QApplication::processEvents();
    // The page under the view was drawn again only for the 8 new rows.
    ASSERT_TRUE(Pages.Draws.count(0));
    EXPECT_LE(Pages.LastClipHeight, 8 + 2);
    EXPECT_GT(Pages.LastClipHeight, 0);
}

TEST_F(PreviewFixture, PagesArePaintedAtTheScreensPixelRatio)
{
    Open(1);
    QImage image(Ws()->viewport()->size() * 2, QImage::Format_ARGB32);
    image.setDevicePixelRatio(2);
    Ws()->viewport()->render(&image);
    EXPECT_DOUBLE_EQ(Pages.LastRatio, 2.0) << Pages.LastDeviceScale;
}

TEST_F(PreviewFixture, LockedPaintsBackgroundOnlyAndUnlockLaysOutAgain)
{
    Open(3);
    Preview.Lock();
    EXPECT_TRUE(Ws()->Locked());
    EXPECT_TRUE(Paint().empty());
    Preview.ShowMessage(QStringLiteral("Saving file..."));
    EXPECT_TRUE(Preview.MessagePanel()->isVisible());
    EXPECT_EQ(Preview.MessageLabel()->text(), QStringLiteral("Saving file..."));
    EXPECT_EQ(Preview.MessagePanel()->geometry(),
        QRect((Preview.width() - 260) / 2, (Preview.height() - 75) / 3, 260, 75));
    Pages.Sizes.push_back(QPointF(A4W, A4H));
    Preview.Unlock();
    EXPECT_FALSE(Preview.MessagePanel()->isVisible());
    EXPECT_EQ(Ws()->PageList().Count(), 4);
    EXPECT_FALSE(Paint().empty());
    EXPECT_TRUE(Preview.InvariantsHold());
}

TEST_F(PreviewFixture, MessagePanelCancelStopsTheReport)
{
    Open(1);
    Preview.CancelButton()->click();
    EXPECT_TRUE(Report.Terminated());
}

TEST_F(PreviewFixture, NoPagesMeansPageZeroAndBackgroundOnly)
{
    Open(0);
    EXPECT_EQ(Preview.PageNo(), 0);
    Preview.Next();
    EXPECT_EQ(Preview.PageNo(), 0);
    EXPECT_TRUE(Paint().empty());
    EXPECT_EQ(Ws()->PageList().GetPageBounds(5, 957, 1), QRect(82, 10, 794, 1123));
}

struct TestEngine : TrpCustomEngine {
    using TrpCustomEngine::SetPass;
    using TrpCustomEngine::TrpCustomEngine;
    int LogicalPageNo() const override { return 0; }
    int LogicalTotalPages() const override { return 0; }
    int CurPage() const override { return 0; }
};

TEST_F(PreviewFixture, WhilePreparingOnlyTheFirstFiftyPagesJoinTheLayout)
{
    Open(0);
    TestEngine engine(&Report);
    engine.SetPass(true, 0);
    Report.SetEngine(&engine);
    int buttonUpdates = 0;
    Preview.OnButtonsChanged = [&] { ++buttonUpdates; };
    Preview.InternalOnProgressStart(&Report, ptRunning, 0);
    EXPECT_TRUE(Preview.Running());
    EXPECT_EQ(Pages.Clears, 1);
    for (int p = 0; p < 80; ++p) {
        Pages.Sizes.push_back(QPointF(A4W, A4H));
        Preview.InternalOnProgress(&Report, ptRunning, p);
    }
    EXPECT_EQ(Ws()->PageList().Count(), 50);
    EXPECT_EQ(Preview.PageNo(), 1);
    Preview.InternalOnProgressStop(&Report, ptRunning, 0);
    EXPECT_FALSE(Preview.Running());
    EXPECT_EQ(Ws()->PageList().Count(), 80);
    EXPECT_EQ(Preview.Thumbnail()->PageList().Count(), 80);
    EXPECT_GE(buttonUpdates, 2);
    Report.SetEngine(nullptr);
    EXPECT_TRUE(Preview.InvariantsHold());
}

struct ListOutline : TrpCustomOutline {
    // Root: "Cars" (page 0, top 40) with one child "Audi" (page 1, top 5).
    int Level = 0;
    void AddItem(const QString&, int) override { }
    void LevelDown(int) override { ++Level; }
    void LevelRoot() override { Level = 0; }
    void LevelUp() override { --Level; }
    void GetItem(int, QString& Text, int& Page, int& Top) override
    {
        Text = Level == 0 ? QStringLiteral("Cars") : QStringLiteral("Audi");
        Page = Level;
        Top = Level == 0 ? 40 : 5;
    }
    void ShiftItems(TrpXMLItem*, int) override { }
    TrpXMLItem* GetCurPosition() override { return nullptr; }
    int Count() override { return Level < 2 ? 1 : 0; }
    TrpXMLItem* CurItem() const override { return nullptr; }
    TrpXMLItem* Root() override { return nullptr; }
    TrpCustomEngine* Engine() const override { return nullptr; }
};

TEST_F(PreviewFixture, OutlineShowsTheTreeAndGoesToItsPlace)
{
    ListOutline outline;
    Pages.FakeOutline = &outline;
    Open(3);
    QTreeWidget* tree = Preview.OutlineTree();
    ASSERT_EQ(tree->topLevelItemCount(), 1);
    QTreeWidgetItem* child = tree->topLevelItem(0)->child(0);
    ASSERT_NE(child, nullptr);
    EXPECT_EQ(child->text(0), QStringLiteral("Audi"));
    EXPECT_TRUE(tree->topLevelItem(0)->isExpanded());

    Preview.SetOutlineVisible(true);
    EXPECT_TRUE(tree->isVisible());
    Preview.SetThumbnailVisible(true);
    EXPECT_FALSE(Preview.OutlineVisible());
    EXPECT_FALSE(tree->isVisible());
    EXPECT_TRUE(Preview.Thumbnail()->isVisible());
    Preview.SetThumbnailVisible(false);

    // Page 2, 5 pixels below a 10 mm top margin, at zoom 1.
    emit tree->itemClicked(child, 0);
    EXPECT_EQ(Preview.PageNo(), 2);
    EXPECT_EQ(Ws()->VertPosition(), 1143 + int(std::lround(10 * 3.77953 + 5)) - 10);
    EXPECT_EQ(Preview.GetTopPosition(), 5);
}

TEST_F(PreviewFixture, ThumbnailClickMovesThePageArea)
{
    Open(5);
    Preview.SetThumbnailVisible(true);
    QApplication::processEvents();
    TrpPreviewWorkspace* thumbs = Preview.Thumbnail();
    ASSERT_EQ(thumbs->PageList().Count(), 5);
    EXPECT_EQ(thumbs->PageList().Items(0).Width, 79); // 794 x 0.1
    const QRect third = thumbs->PageRect(2);
    QTest::mouseClick(thumbs->viewport(), Qt::LeftButton, {}, third.center());
    EXPECT_EQ(Preview.PageNo(), 3);
    EXPECT_EQ(Ws()->VertPosition(), Ws()->PageList().Items(2).OffsetY - 10);
    // Thumbnails never pass the mouse to report objects.
    EXPECT_TRUE(Pages.MouseEvents.empty());
}

TEST_F(PreviewFixture, TabsKeepTheirOwnPageAndZoom)
{
    Open(3);
    Preview.SetPageNo(3);
    auto other = std::make_unique<TrpReport>();
    other->SetPreviewPages(std::make_unique<FakePreviewPages>(7));
    TrpReport* second = other.release();
    Preview.AddPreviewTab(second, QStringLiteral("detail"), QString(), true);
    EXPECT_TRUE(Preview.Tabs()->isVisible());
    EXPECT_EQ(Preview.PageCount(), 7);
    EXPECT_EQ(Preview.PageNo(), 1);
    Preview.SetZoom(0.5L);
    Preview.SwitchToTab(&Report);
    EXPECT_EQ(Preview.PageCount(), 3);
    EXPECT_EQ(Preview.PageNo(), 3);
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), 1.0);
    Preview.SwitchToTab(QStringLiteral("detail"));
    EXPECT_DOUBLE_EQ(double(Preview.Zoom()), 0.5);
    // The first tab cannot be closed; the second frees its report.
    Preview.RemoveTab(0);
    EXPECT_EQ(Preview.TabItems().Count(), 2);
    Preview.RemoveTab(1);
    EXPECT_EQ(Preview.TabItems().Count(), 1);
    EXPECT_FALSE(Preview.Tabs()->isVisible());
    EXPECT_EQ(Preview.Report(), &Report);
    EXPECT_EQ(Preview.PageNo(), 3);
}

TEST(TrpPreviewLifetime, ADestroyedReportLeavesAnEmptyControl)
{
    TrpPreview preview;
    FakePreviewPages pages(2);
    {
        TrpReport report;
        preview.Init(&report, &pages);
        report.SetPreview(&preview);
        EXPECT_EQ(preview.PageCount(), 2);
    }
    EXPECT_EQ(preview.Report(), nullptr);
    EXPECT_EQ(preview.PageCount(), 0);
    preview.Next();
    EXPECT_EQ(preview.PageNo(), 0);
}

} // namespace
