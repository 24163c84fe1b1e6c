// Page layout: rows, centring, finding pages and the A4 stand-in rectangle.
#include "rpPageList.h"

#include <gtest/gtest.h>

namespace {

// A4 portrait in report pixels.
constexpr long double A4W = 794;
constexpr long double A4H = 1123;

TEST(TrpPageList, OnePageIsCentredInTheAvailableWidth)
{
    // Workspace 1000 wide, 17-pixel scroll bar: 1000 - 17 - 26 = 957.
    TrpPageList list;
    list.AddPage(A4W, A4H, 1.0L);
    list.CalcBounds(957);
    EXPECT_EQ(list.Items(0).OffsetX, 91); // c = (957 - 804 + 10) div 2 = 81, + 10
    EXPECT_EQ(list.Items(0).OffsetY, 10);
    EXPECT_EQ(list.GetMaxBounds(), QPoint(804, 1133)); // ranges then 814 and 1143
}

TEST(TrpPageList, SmallPagesShareARow)
{
    TrpPageList list;
    list.AddPage(A4W, A4H, 0.5L); // 397 x 562 (561.5 rounds to even)
    list.AddPage(A4W, A4H, 0.5L);
    list.CalcBounds(957);
    EXPECT_EQ(list.Items(0).Width, 397);
    EXPECT_EQ(list.Items(0).Height, 562);
    EXPECT_EQ(list.Items(0).OffsetX, 86);
    EXPECT_EQ(list.Items(1).OffsetX, 493);
    EXPECT_EQ(list.Items(1).OffsetY, 10);
    EXPECT_EQ(list.MaxWidth(), 814);
}

TEST(TrpPageList, RowsStackTenPixelsApartAndWidePagesNeverCentreNegatively)
{
    TrpPageList list;
    for (int i = 0; i < 3; ++i)
        list.AddPage(A4W, A4H, 1.0L);
    list.CalcBounds(500); // narrower than a page: each page its own row
    EXPECT_EQ(list.Items(0).OffsetY, 10);
    EXPECT_EQ(list.Items(1).OffsetY, 1143);
    EXPECT_EQ(list.Items(2).OffsetY, 2276);
    EXPECT_EQ(list.Items(0).OffsetX, 10); // c < 0 becomes 0
}

TEST(TrpPageList, FindPageUsesAFifthOfTheHeightAsTolerance)
{
    TrpPageList list;
    for (int i = 0; i < 3; ++i)
        list.AddPage(A4W, A4H, 1.0L);
    list.CalcBounds(957);
    struct Case {
        const char* name;
        int offsetY;
        int offsetX;
        int expected;
    };
    const Case cases[] = {
        { "top_of_view_on_first_page", 0, 0, 0 },
        // round(1123 / 5) = 225: the next page's top must be at most that far below.
        { "next_page_still_too_far", 1143 - 226, 0, 0 },
        { "next_page_within_a_fifth", 1143 - 225, 0, 1 },
        { "below_the_last_page", 99999, 0, 2 },
        { "point_inside_second_page", 1200, 200, 1 },
        { "point_in_gap_keeps_search_result", 1140, 200, 0 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(list.FindPage(c.offsetY, c.offsetX), c.expected) << c.name;
}

TEST(TrpPageList, AnIndexThatNamesNoPageGivesAnA4Sheet)
{
    TrpPageList list;
    EXPECT_EQ(list.GetMaxBounds(), QPoint(0, 0));
    EXPECT_EQ(list.FindPage(100), -1);
    // Fits: centred; scale 0.5 gives 397 x 562 at top 5.
    EXPECT_EQ(list.GetPageBounds(0, 1000, 0.5L), QRect(302, 5, 397, 562));
    // Does not fit: left 10.
    EXPECT_EQ(list.GetPageBounds(3, 500, 1.0L), QRect(10, 10, 794, 1123));
}

TEST(TrpPageList, MirroredBoundsCountFromTheRight)
{
    TrpPageList list;
    list.AddPage(A4W, A4H, 0.5L);
    list.CalcBounds(957);
    EXPECT_EQ(list.GetPageBounds(0, 957, 0.5L, true).left(), 957 - 397 - list.Items(0).OffsetX);
}

} // namespace
