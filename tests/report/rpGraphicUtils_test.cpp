// The shared text layout: font resolution, measuring at 600 dpi, word wrap
// and break, hyphenation, tags, heights and widths, and the cut of a split.
// Liberation Sans at 83 pixels (Arial 10 at 600 dpi) advances "a" by 46,
// "i" by 18 and a space by 23 units; the cases below are built from those.
#include "rpFontPin.h"
#include "rpGraphicUtils.h"

#include <gtest/gtest.h>

namespace {

// A layout object set up like a plain memo: Arial 10, word wrap, default
// gaps, the given text width in report pixels.
class Layout : public ::testing::Test {
protected:
    void SetUp() override
    {
        ExpectPinnedFonts();
        TrpDrawText::Lock();
    }
    void TearDown() override { TrpDrawText::Unlock(); }

    TrpDrawText& Make(int Width, const TrpFont& Font = TrpFont(), bool Tags = false, bool WordBreak = false)
    {
        t.SetFont(Font);
        t.SetOptions(true, Tags, false, WordBreak, true, true, 0);
        t.SetGaps(Gap, 0, 2);
        const QRect r(0, 0, Width, 100);
        t.SetDimensions(1, 1, 1, r, r);
        return t;
    }
    QStringList Wrap(int Width, const QStringList& Text, bool Tags = false, bool WordBreak = false)
    {
        Make(Width, TrpFont(), Tags, WordBreak).SetText(Text);
        return t.WrappedText();
    }
    TrpDrawText t;
    Extended Gap = 0;
};

} // namespace

TEST(FontResolution, OfficeFamiliesMapToMetricTwinsAndMissingOnesToLiberationSans)
{
    ExpectPinnedFonts();
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("Arial")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("arial ")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("Times New Roman")), QStringLiteral("Liberation Serif"));
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("Courier New")), QStringLiteral("Liberation Mono"));
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("No Such Family 42")), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(rpResolveFontFamily(QString()), QStringLiteral("Liberation Sans"));
    // An installed family is used as it is.
    EXPECT_EQ(rpResolveFontFamily(QStringLiteral("dejavu sans")), QStringLiteral("DejaVu Sans"));
}

TEST_F(Layout, Arial10MeasuresAt83PixelsAndOneLineIs1528High)
{
    Make(126).SetText({ QStringLiteral("a") });
    EXPECT_EQ(t.LineWidth600(0), 46);
    EXPECT_DOUBLE_EQ(double(t.TextHeight()), 13.28);
    EXPECT_DOUBLE_EQ(double(t.LineHeight()), 15.28);
    EXPECT_DOUBLE_EQ(double(t.CalcHeight()), 15.28);
    t.SetText({ QStringLiteral("a"), QString(), QStringLiteral("b") });
    EXPECT_DOUBLE_EQ(double(t.CalcHeight()), 3 * 15.28);
    // A negative line spacing is added back once.
    t.SetGaps(0, 0, -3);
    t.SetText({ QStringLiteral("a"), QStringLiteral("b") });
    EXPECT_DOUBLE_EQ(double(t.CalcHeight()), 2 * (13.28 - 3) + 3);
}

TEST_F(Layout, WrapsAtTheTextWidthIn600DpiUnits)
{
    struct Case {
        const char* Name;
        int Width; // report pixels
        QString Text;
        QStringList Lines;
    } cases[] = {
        // 14 x 46 + 8 x 18 = 788, exactly 126 pixels at 600 dpi: still one line.
        { "exactly_788_stays", 126, QStringLiteral("aaaaaaaaaaaaaaiiiiiiii"), { "aaaaaaaaaaaaaaiiiiiiii" } },
        // One more "i" is 806: no space, so the break falls between characters.
        { "806_breaks_between_chars", 126, QStringLiteral("aaaaaaaaaaaaaaiiiiiiiii"),
            { "aaaaaaaaaaaaaaiiiiiiii", "i" } },
        { "breaks_at_last_space", 126, QStringLiteral("Hello world, this is a test of wrapping"),
            { "Hello world, this is a", "test of wrapping" } },
        // 17 x 46 = 782 fits, the 18th does not.
        { "long_word_breaks", 126, QString(30, u'a'), { QString(17, u'a'), QString(13, u'a') } },
        // Text width 2 pixels = 12 units: every character stands alone.
        { "char_wider_than_width_alone", 2, QStringLiteral("abc"), { "a", "b", "c" } },
        { "single_char_never_wraps", 1, QStringLiteral("W"), { "W" } },
        { "empty_paragraph_is_a_space", 126, QString(), { " " } },
        // A trailing space is kept on the line (right-aligned "[Page#] ").
        { "trailing_space_kept", 126, QStringLiteral("7 "), { "7 " } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(Wrap(c.Width, { c.Text }), c.Lines) << c.Name;
}

TEST_F(Layout, ParagraphFlagsMarkFirstAndLastLines)
{
    Make(126).SetText({ QStringLiteral("Hello world, this is a test of wrapping"), QStringLiteral("one") });
    ASSERT_EQ(t.LineCount(), 3);
    EXPECT_EQ(t.LineFlags(0), 1);
    EXPECT_EQ(t.LineFlags(1), 2);
    EXPECT_EQ(t.LineFlags(2), 3);
    t.SetParaBreaks(true, true);
    EXPECT_EQ(t.LineFlags(0), 0);
    EXPECT_EQ(t.LineFlags(2), 1);
}

TEST_F(Layout, ParagraphGapNarrowsOnlyTheFirstLineUnlessContinued)
{
    Gap = 2; // 12.5 -> 12 units
    const QString s = QStringLiteral("aaaaaaaaaaaaaaiiiiiiii"); // 788
    EXPECT_EQ(Wrap(126, { s }).size(), 2);
    Make(126).SetText({ s }, true);
    EXPECT_EQ(t.LineCount(), 1);
    // Wrapped with the gap: 770 + 12 on the first line, the last "i" below.
    Make(126).SetText({ s });
    EXPECT_DOUBLE_EQ(double(t.CalcWidth()), (770 + 12) / 6.25);
}

TEST_F(Layout, CharacterSpacingCountsInWrapAndWidth)
{
    Make(126);
    t.SetGaps(0, 1, 2); // 6.25 -> 6 units per character in the wrap
    t.SetText({ QStringLiteral("aaaaaaaaaaaaaaiiiiiiii") });
    EXPECT_EQ(t.LineCount(), 2);
    t.SetText({ QStringLiteral("aaaa") });
    // Width: 184 measured + Round(6.25 x 4 x 1) = 209 units.
    EXPECT_DOUBLE_EQ(double(t.CalcWidth()), 209 / 6.25);
}

TEST_F(Layout, WordWrapOffKeepsOneLineAndLongLinesAreMeasuredWhole)
{
    Make(126);
    t.SetOptions(false, false, false, false, true, true, 0);
    const QString longLine(40000, u'a');
    t.SetText({ longLine });
    ASSERT_EQ(t.LineCount(), 1);
    EXPECT_EQ(t.LineWidth600(0), 40000 * 46);
    t.SetOptions(true, false, false, false, true, true, 0);
    t.SetText({ longLine });
    EXPECT_EQ(t.LineCount(), (40000 + 16) / 17);
}

TEST_F(Layout, WordBreakHyphenatesRussianAndEnglishWords)
{
    // "Hello " is 164 units; the rest of 126 px (788) holds part of the word.
    const QStringList ru = Wrap(60, { QStringLiteral("Мы ПЕРЕКРЁСТОК") }, false, true);
    ASSERT_GE(ru.size(), 2);
    EXPECT_TRUE(ru[0].endsWith(u'-')) << ru.join(u'|').toStdString();
    EXPECT_EQ(QString(ru.join(QString())).remove(u'-'), QStringLiteral("Мы ПЕРЕКРЁСТОК"));
    // No line begins with a soft sign and every part keeps a vowel.
    const QStringList sign = Wrap(50, { QStringLiteral("на ПОДЪЕЗДЕ") }, false, true);
    for (const QString& l : sign)
        EXPECT_FALSE(l.startsWith(QChar(0x042A))) << sign.join(u'|').toStdString();
    const QStringList en = Wrap(60, { QStringLiteral("an extraordinary") }, false, true);
    ASSERT_GE(en.size(), 2);
    EXPECT_TRUE(en[0].endsWith(u'-')) << en.join(u'|').toStdString();
    // Without WordBreak the word moves whole.
    EXPECT_EQ(Wrap(60, { QStringLiteral("an extraordinary") })[0], QStringLiteral("an"));
}

TEST_F(Layout, TagsAreRemovedAndMakeStyleRuns)
{
    EXPECT_EQ(TrpDrawText::DeleteTags(QStringLiteral("<b>bold</b> <FONT COLOR=\"#FF0000\">red</font> x<2")),
        QStringLiteral("bold red x<2"));
    EXPECT_EQ(TrpDrawText::DeleteTags(QStringLiteral("<i>a</i>\r\n<u>b</u><unknown>")),
        QStringLiteral("a\r\nb<unknown>"));
    Make(500, TrpFont(), true)
        .SetText({ QStringLiteral("a<b>b<font color=red>c</font></b>H<sub>2</sub>O<nowrap>x y</nowrap>") });
    ASSERT_EQ(t.WrappedText(), QStringList { QStringLiteral("abcH2Ox y") });
    const std::vector<TrpHTMLTag> runs = t.LineTags(0);
    ASSERT_EQ(runs.size(), 7u);
    EXPECT_EQ(runs[1].Position, 2);
    EXPECT_TRUE(runs[1].Style.testFlag(fsBold));
    EXPECT_EQ(runs[2].Color, 0x0000FFu);
    EXPECT_TRUE(runs[2].Style.testFlag(fsBold));
    EXPECT_EQ(runs[3].Color, clBlack);
    EXPECT_EQ(runs[4].SubType, ssSubscript);
    EXPECT_EQ(runs[4].Size, 7); // Round(10 / 1.5)
    EXPECT_EQ(runs[4].AddY, 1);
    EXPECT_TRUE(runs[4].Small);
    EXPECT_TRUE(runs[6].DontWRAP);
}

TEST_F(Layout, NoWrapSpacesDoNotBreak)
{
    // 40 pixels = 250 units; "aaa a" is 207, "aaa aa" 253.
    EXPECT_EQ(Wrap(40, { QStringLiteral("<nowrap>aaa aaa</nowrap>") }, true),
        (QStringList { QStringLiteral("aaa a"), QStringLiteral("aa") }));
    EXPECT_EQ(Wrap(40, { QStringLiteral("aaa aaa") }, true),
        (QStringList { QStringLiteral("aaa"), QStringLiteral("aaa") }));
}

TEST_F(Layout, CutForSplittingKeepsWholeLinesAndContinuesTheParagraph)
{
    // 31 pixels high: Trunc(32 / 15.28) = 2 lines fit.
    Make(126);
    const QRect r(0, 0, 126, 31);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText({ QStringLiteral("one"), QStringLiteral("Hello world, this is a test of wrapping"),
        QStringLiteral("three") });
    EXPECT_EQ(t.LinesInBounds(), 2);
    EXPECT_EQ(t.GetInBoundsText(),
        (QStringList { QStringLiteral("one"), QStringLiteral("Hello world, this is a") }));
    bool paraBreak = false;
    EXPECT_EQ(t.GetOutBoundsText(paraBreak),
        (QStringList { QStringLiteral("test of wrapping"), QStringLiteral("three") }));
    EXPECT_TRUE(paraBreak);
    EXPECT_NEAR(double(t.UnusedSpace()), 32 - 2 * 15.28, 1e-9);

    // A cut between paragraphs is no paragraph break.
    t.SetText({ QStringLiteral("one"), QStringLiteral("two"), QStringLiteral("three") });
    EXPECT_EQ(t.GetOutBoundsText(paraBreak), QStringList { QStringLiteral("three") });
    EXPECT_FALSE(paraBreak);

    // Nothing fits: no unused height.
    const QRect tiny(0, 0, 126, 5);
    t.SetDimensions(1, 1, 1, tiny, tiny);
    t.SetText({ QStringLiteral("one") });
    EXPECT_EQ(t.LinesInBounds(), 0);
    EXPECT_EQ(t.UnusedSpace(), 0);
    EXPECT_TRUE(t.GetInBoundsText().isEmpty());
}

TEST_F(Layout, CutInsideTaggedTextReopensTheStyleInForce)
{
    Make(126, TrpFont(), true);
    const QRect r(0, 0, 126, 15);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(
        { QStringLiteral("Hello <b>world, this is a <font color=\"#00FF00\">test of</font> wrapping</b>") });
    // Bold is wider: "a" moves to the second line.
    ASSERT_EQ(t.LineCount(), 2);
    EXPECT_EQ(t.GetInBoundsText(), QStringList { QStringLiteral("Hello <b>world, this is") });
    bool paraBreak = false;
    EXPECT_EQ(t.GetOutBoundsText(paraBreak),
        QStringList { QStringLiteral("<b>a <font color=\"#00FF00\">test of</font> wrapping") });
    EXPECT_TRUE(paraBreak);
}
