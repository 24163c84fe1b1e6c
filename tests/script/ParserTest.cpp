// The lexer on its own, the language registry and the IL document.
#include "rpXML.h"
#include "sc_iilparser.h"
#include "sc_iparser.h"

#include <gtest/gtest.h>

namespace {

TscParser PascalLexer(const QString& text)
{
    TscParser p;
    p.CommentLine1 = "//";
    p.CommentBlock1 = "{,}";
    p.CommentBlock2 = "(*,*)";
    p.SetKeywords({ "begin", "end", "div" });
    p.SetText(text);
    return p;
}

enum class Reader { Ident, Word, Char, Number, String, RpString };

struct LexCase {
    const char* name;
    const char* text;
    Reader reader;
    const char* token; // expected token ("" = no match)
    int end; // position after reading (start when no match)
};

void PrintTo(const LexCase& c, std::ostream* os)
{
    *os << c.name;
}

class Lexer : public ::testing::TestWithParam<LexCase> { };

TEST_P(Lexer, ReadsToken)
{
    const LexCase& c = GetParam();
    TscParser p = PascalLexer(QString::fromUtf8(c.text));
    p.SkipSpaces();
    QString token;
    switch (c.reader) {
    case Reader::Ident:
        token = p.GetIdent();
        break;
    case Reader::Word:
        token = p.GetWord();
        break;
    case Reader::Char:
        token = p.GetChar();
        break;
    case Reader::Number:
        token = p.GetNumber();
        break;
    case Reader::String:
        token = p.GetString();
        break;
    case Reader::RpString:
        p.SetPosition(p.Position() + 1); // the "<" is read as a char item first
        token = p.GetRpString();
        break;
    }
    EXPECT_EQ(token, QString::fromUtf8(c.token));
    EXPECT_EQ(p.Position(), c.end);
}

INSTANTIATE_TEST_SUITE_P(Table, Lexer,
    ::testing::Values(
        LexCase { "spaces_and_comments_skipped", " {a} (* b *) // c\n x", Reader::Ident, "x", 20 },
        LexCase { "unterminated_block_comment_runs_to_end", "{ never closed", Reader::Ident, "", 14 },
        LexCase { "keyword_is_no_identifier", "BEGIN", Reader::Ident, "", 0 },
        LexCase { "keyword_is_a_word", "Begin", Reader::Word, "Begin", 5 },
        LexCase { "identifier_with_digits", "_a1 b", Reader::Ident, "_a1", 3 },
        LexCase { "cyrillic_identifier", "Сумма1+", Reader::Ident, "Сумма1", 6 },
        LexCase { "digit_starts_no_identifier", "1a", Reader::Ident, "", 0 },
        LexCase { "punctuation", ":=", Reader::Char, ":", 1 },
        LexCase { "letter_is_no_punctuation", "a", Reader::Char, "", 0 },
        LexCase { "hex_number", "$1F;", Reader::Number, "$1F", 3 },
        LexCase { "lone_dollar_is_no_number", "$G", Reader::Number, "", 0 },
        LexCase { "fraction_and_exponent", "1.25e-3x", Reader::Number, "1.25e-3", 7 },
        LexCase { "dot_without_digit_stays", "1.", Reader::Number, "1", 1 },
        LexCase { "range_dots_stay", "1..5", Reader::Number, "1", 1 },
        LexCase { "e_without_digits_stays", "2else", Reader::Number, "2", 1 },
        LexCase { "doubled_quote_and_code", "'it''s'#33", Reader::String, "'it's!'", 10 },
        LexCase { "codes_only", "#72#$69", Reader::String, "'Hi'", 7 },
        LexCase { "line_break_in_string_fails", "'ab\ncd'", Reader::String, "", 0 },
        LexCase { "tab_in_string_is_kept", "'a\tb'", Reader::String, "'a\tb'", 5 },
        LexCase { "unterminated_string_fails", "'abc", Reader::String, "", 0 },
        LexCase { "reference_keeps_quotes", "<ds.\"price\">", Reader::RpString, "ds.\"price\"", 11 },
        LexCase { "reference_ignores_quoted_close", "<a'>'b>", Reader::RpString, "a'>'b", 6 },
        LexCase { "reference_double_inside_single", "<'\"'>x", Reader::RpString, "'\"'", 4 },
        LexCase { "reference_counts_nesting", "<a<b[c]>d>", Reader::RpString, "a<b[c]>d", 9 },
        LexCase { "reference_unterminated_to_end", "<abc", Reader::RpString, "abc", 4 }),
    [](const ::testing::TestParamInfo<LexCase>& info) { return std::string(info.param.name); });

TEST(Lexer, PositionTextsRoundTrip)
{
    TscParser p;
    p.SetText("ab\ncd\n\nx");
    EXPECT_EQ(p.PositionText(0), "1:1");
    EXPECT_EQ(p.PositionText(3), "2:1");
    EXPECT_EQ(p.PositionText(4), "2:2");
    EXPECT_EQ(p.PositionText(7), "4:1");
    for (int i = 0; i <= 8; ++i)
        EXPECT_EQ(p.PositionOf(p.PositionText(i)), i);
    EXPECT_EQ(p.PositionOf("x:1"), -1);
    EXPECT_EQ(p.PositionOf("9:1"), -1);
}

TEST(Lexer, KeywordsCaseSensitiveWhenAsked)
{
    TscParser p;
    p.CaseSensitive = true;
    p.SetKeywords({ "if" });
    EXPECT_TRUE(p.IsKeyword(u"if"));
    EXPECT_FALSE(p.IsKeyword(u"IF"));
}

QString ChildNames(const TrpXMLItem* x)
{
    QStringList names;
    for (int i = 0; i < x->Count(); ++i)
        names.append(x->Items(i)->Name());
    return names.join(' ');
}

TEST(ILDocument, ReferenceBecomesGetCall)
{
    TscILParser p;
    ASSERT_TRUE(
        p.MakeILScript("function f: Variant; begin Result := <ds.\"a\"> end; begin end.", "PascalScript"));
    const TrpXMLItem* root = p.ILScript()->Root();
    EXPECT_EQ(root->Name(), "program");
    EXPECT_EQ(ChildNames(root), "function compoundstmt types");
    const TrpXMLItem* expr = root->Items(0)->Items(2)->Items(0)->Items(1);
    ASSERT_EQ(expr->Name(), "expr");
    EXPECT_EQ(expr->Prop("pos"), "1:38");
    EXPECT_EQ(expr->Prop("pos1"), "1:46") << "just after the closing '>'";
    const TrpXMLItem* dsgn = expr->Items(0);
    EXPECT_EQ(ChildNames(dsgn), "node expr");
    EXPECT_EQ(dsgn->Items(0)->Prop("text"), "Get");
    EXPECT_EQ(dsgn->Items(1)->Items(0)->Name(), "string");
    EXPECT_EQ(dsgn->Items(1)->Items(0)->Prop("text"), "'ds.\"a\"'");
    EXPECT_EQ(dsgn->Items(1)->Items(0)->Prop("pos"), "1:39") << "the position of the reference text";
}

TEST(ILDocument, OperatorsAndBracketsAreEmitted)
{
    TscILParser p;
    ASSERT_TRUE(p.MakeILScript("begin x := -(a >= 1) end.", "PascalScript"));
    const TrpXMLItem* expr = p.ILScript()->Root()->Items(0)->Items(0)->Items(1);
    QStringList texts;
    for (int i = 0; i < expr->Count(); ++i)
        texts.append(expr->Items(i)->Name() + "=" + expr->Items(i)->Prop("text"));
    EXPECT_EQ(texts.join(' '), "op=unminus op=( expr= op=)");
    EXPECT_EQ(ChildNames(expr->Items(2)), "dsgn op number");
    EXPECT_EQ(expr->Items(2)->Items(1)->Prop("text"), ">=");
}

TEST(Languages, UnknownAndLanguageLine)
{
    TscILParser p;
    EXPECT_FALSE(p.MakeILScript("begin end.", "Klingon"));
    EXPECT_EQ(p.ErrorMsg(), "Language 'Klingon' not found");
    EXPECT_FALSE(p.MakeILScript("#language  Klingon \nbegin end.", "PascalScript"));
    EXPECT_EQ(p.ErrorMsg(), "Language 'Klingon' not found");
    ASSERT_TRUE(p.MakeILScript("#language PascalScript\nbegin end.", "Klingon"));
    ASSERT_FALSE(p.MakeILScript("#language PascalScript\nbegin x end", "Klingon"));
    EXPECT_EQ(p.ErrorMsg(), "'.' expected");
    EXPECT_EQ(p.ErrorPos(), "2:12") << "positions count the language line";
}

TEST(Languages, RegisteringReplacesAndBrokenDefinitionsFailCleanly)
{
    scRegisterLanguage("Tiny",
        "<?xml version=\"1.0\"?><language text=\"Tiny\"><errors><err1 text=\"Number wanted\"/></errors>"
        "<program><number add=\"number\" err=\"err1\"/></program></language>");
    TscILParser p;
    ASSERT_TRUE(p.MakeILScript(" 42", "Tiny"));
    EXPECT_EQ(p.ILScript()->Root()->Items(0)->Prop("text"), "42");
    EXPECT_FALSE(p.MakeILScript("x", "Tiny"));
    EXPECT_EQ(p.ErrorMsg(), "Number wanted");
    EXPECT_EQ(p.ErrorPos(), "1:1");

    scRegisterLanguage(
        "Tiny", "<?xml version=\"1.0\"?><language><program><nosuchrule/></program></language>");
    EXPECT_FALSE(p.MakeILScript("42", "Tiny"));
    EXPECT_EQ(p.ErrorMsg(), "Invalid language definition");
    scRegisterLanguage("Tiny", "<?xml version=\"1.0\"?><language><other/></language>");
    EXPECT_FALSE(p.MakeILScript("42", "Tiny")) << "no program rule";
    EXPECT_EQ(p.ErrorMsg(), "Invalid language definition");
    scRegisterLanguage("Tiny", "not xml at all < >");
    EXPECT_FALSE(p.MakeILScript("42", "Tiny"));
    EXPECT_EQ(p.ErrorMsg(), "Invalid language definition");
    EXPECT_TRUE(scLanguageNames().contains("PascalScript"));
}

TEST(Grammar, LoopWithSeparatorDoesNotSwallowTrailingSeparator)
{
    TscILParser p;
    EXPECT_FALSE(p.MakeILScript("begin f(1,) end.", "PascalScript"));
    EXPECT_EQ(p.ErrorMsg(), "')' expected");
    EXPECT_TRUE(p.MakeILScript("begin a := 1; end.", "PascalScript")) << "an empty statement after ';'";
    EXPECT_FALSE(p.MakeILScript("begin a := 1 b := 2 end.", "PascalScript"));
    EXPECT_EQ(p.ErrorMsg(), "';' expected") << "a missing END reads as a missing ';'";
    EXPECT_FALSE(p.MakeILScript("begin a : 1 end.", "PascalScript"));
    EXPECT_EQ(p.ErrorMsg(), "'=' expected");
}

} // namespace
