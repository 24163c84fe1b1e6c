// A memo's measuring for the band engine: its height and width with the
// insets, its text rectangle, and the cut of its text for band splitting.
#include "rpClass.h"
#include "rpFontPin.h"
#include "rpMemoDraw.h"

#include <gtest/gtest.h>

namespace {

struct MemoFixture : ::testing::Test {
    void SetUp() override { ExpectPinnedFonts(); }
    TrpReport report;
    TrpReportPage* page = report.Create<TrpReportPage>();
    TrpMasterData* band = page->Create<TrpMasterData>();
    TrpMemoView* memo = band->Create<TrpMemoView>();
    TrpMemoView* Memo(Extended Width, Extended Height, const QStringList& Text)
    {
        memo->SetBounds(0, 0, Width, Height);
        memo->SetMemo(Text);
        return memo;
    }
};

const QString kTwoLines = QStringLiteral("Hello world, this is a test of wrapping");

} // namespace

TEST_F(MemoFixture, HeightIsLinesTimesLineHeightPlusInsets)
{
    struct Case {
        const char* Name;
        QStringList Text;
        Extended Height;
    } cases[] = {
        { "one_line_arial10", { "12.05.2024" }, 17 }, // Round(15.28 + 2)
        { "three_paragraphs", { "a", "b", "c" }, 48 }, // Round(3 x 15.28 + 2)
        { "wrapped_to_two", { kTwoLines }, 33 }, // Round(30.56 + 2)
        { "no_text", {}, 2 },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Memo(128.50402L, 17, c.Text)->CalcHeight(), c.Height) << c.Name;
}

TEST_F(MemoFixture, FrameAndShadowWidenTheInsets)
{
    Memo(128.50402L, 17, { "x" });
    memo->Frame()->SetTyp(ftTop | ftBottom);
    memo->Frame()->SetWidth(3);
    // 15.28 + 2 + (3 - 1) / 2 + 3 / 2 = 19.78
    EXPECT_EQ(memo->CalcHeight(), 20);
    memo->Frame()->SetDropShadow(true);
    EXPECT_EQ(memo->CalcHeight(), 24);
}

TEST_F(MemoFixture, TextRectangleTakesOffGapsAndHalfTheFrameLines)
{
    Memo(128.50402L, 17, { "x" });
    QRect r = rpMemoTextRect(*memo, rpDeviceRect(*memo, 1, 1, 0, 0), 1, 1);
    EXPECT_EQ(r.width(), 126); // 129 - 4 + 1
    EXPECT_EQ(r.left(), 2);
    EXPECT_EQ(r.top(), 1);
    EXPECT_EQ(r.height(), 16); // 17 - 2 + 1
    memo->Frame()->SetTyp(ftLeft | ftRight | ftTop | ftBottom);
    memo->Frame()->SetWidth(2);
    r = rpMemoTextRect(*memo, rpDeviceRect(*memo, 2, 2, 10, 20), 2, 2);
    // X = 10, X1 = Round(10 + 257.00804) = 267; o = 4; w x scale = 4.
    EXPECT_EQ(r.left(), 10 + 4 + 2); // Round(3 / 2) = 2 (halves to even)
    EXPECT_EQ(r.left() + r.width(), 267 - 4 + 1 - 2);
    EXPECT_EQ(r.top(), 20 + 2 + 2);
}

TEST_F(MemoFixture, WidthIsTheWidestLinePlusInsets)
{
    Memo(20, 17, { "aaaa", "aa" });
    // 184 units = 29.44 pixels + 4.
    EXPECT_EQ(memo->CalcWidth(), 33);
    // A long paragraph is not wrapped for its width.
    Memo(20, 17, { kTwoLines });
    EXPECT_GT(memo->CalcWidth(), 128);
}

TEST_F(MemoFixture, AutoWidthMeasuresHeightWithoutWrapping)
{
    Memo(20, 17, { kTwoLines });
    // A 17-pixel text width breaks even the words: 16 lines.
    EXPECT_EQ(memo->CalcHeight(), 246);
    memo->SetAutoWidth(true);
    EXPECT_EQ(memo->CalcHeight(), 17);
}

TEST_F(MemoFixture, DrawPartKeepsWhatFitsAndPassesTheRestOn)
{
    Memo(128.50402L, 100, { "one", kTwoLines, "three" });
    memo->InitPart();
    EXPECT_EQ(memo->PartMemo, memo->Memo());
    // Height 33: text rectangle 32 high, Trunc(33 / 15.28) = 2 lines.
    memo->SetHeight(33);
    const Extended unused = memo->DrawPart();
    EXPECT_NEAR(double(unused), 33 - 2 * 15.28, 1e-9);
    EXPECT_EQ(memo->Memo(), (QStringList { "one", "Hello world, this is a" }));
    EXPECT_EQ(memo->PartMemo, (QStringList { "test of wrapping", "three" }));
    EXPECT_TRUE(memo->LastParaBreak());

    // The next part continues the paragraph; everything fits.
    memo->SetFirstParaBreak(true);
    memo->SetHeight(100);
    const Extended rest = memo->DrawPart();
    EXPECT_NEAR(double(rest), 100 - 2 * 15.28, 1e-9);
    EXPECT_EQ(memo->Memo(), (QStringList { "test of wrapping", "three" }));
    EXPECT_TRUE(memo->PartMemo.isEmpty());
    EXPECT_FALSE(memo->LastParaBreak());

    // Nothing fits: the whole height comes back, the text waits.
    memo->InitPart();
    memo->SetHeight(10);
    EXPECT_EQ(memo->DrawPart(), 10);
    EXPECT_EQ(memo->PartMemo, (QStringList { "test of wrapping", "three" }));
}

TEST_F(MemoFixture, DrawPartExactlyFullReportsATinyRest)
{
    // LineHeight 15.28 x 25 = 382: a text rectangle 381 high fits 25 lines exactly.
    QStringList lines;
    for (int i = 0; i < 30; ++i)
        lines += QString::number(i);
    Memo(128.50402L, 382, lines);
    memo->InitPart();
    EXPECT_DOUBLE_EQ(double(memo->DrawPart()), 0.0001);
    EXPECT_EQ(memo->Memo().size(), 25);
    EXPECT_EQ(memo->PartMemo.size(), 5);
}

TEST_F(MemoFixture, WrapTextGivesLinesOrTextWithoutTags)
{
    Memo(128.50402L, 17, { "<b>Hello</b> world, this is a test of wrapping" });
    memo->SetAllowHTMLTags(true);
    EXPECT_EQ(memo->WrapText(true), (QStringList { "Hello world, this is a", "test of wrapping" }));
    EXPECT_EQ(memo->WrapText(false), QStringList { "Hello world, this is a test of wrapping" });
}

TEST_F(MemoFixture, MemoWithoutReportUsesTheProcessWideLayout)
{
    TrpMemoView lone;
    lone.SetBounds(0, 0, 128.50402L, 17);
    lone.SetMemo({ "x" });
    EXPECT_EQ(&rpDrawTextOf(lone), &TrpDrawText::Global());
    EXPECT_EQ(&rpDrawTextOf(*memo), report.DrawText());
    EXPECT_EQ(lone.CalcHeight(), 17);
}
