// Expressions from source text to value: grammar, literals, priorities and
// grouping, static types, designators, evaluation and every error text.
#include "ScriptFixture.h"

#include <gtest/gtest.h>

namespace {

struct ExprCase {
    const char* name;
    const char* expr;
    Variant expected; // ignored when error is set
    const char* error = nullptr;
};

void PrintTo(const ExprCase& c, std::ostream* os)
{
    *os << c.name;
}

class Expressions : public ::testing::TestWithParam<ExprCase> { };

TEST_P(Expressions, EvaluateOrFailWithText)
{
    const ExprCase& c = GetParam();
    ScriptFixture fx;
    const EvalResult r = fx.Eval(QString::fromUtf8(c.expr));
    if (c.error) {
        EXPECT_FALSE(r.ok) << "value " << r.value.AsString().toStdString();
        EXPECT_EQ(r.error.toStdString(), c.error);
    } else {
        ASSERT_TRUE(r.ok) << r.error.toStdString() << " at " << r.errorPos.toStdString();
        EXPECT_TRUE(r.value.IsIdentical(c.expected))
            << "got " << r.value.KindName().toStdString() << " " << r.value.AsString().toStdString();
    }
}

const char* kIncompatible = "Incompatible types";

INSTANTIATE_TEST_SUITE_P(Table, Expressions,
    ::testing::Values(
        // priorities: * before +, brackets first, equal priorities group left
        ExprCase { "mul_before_add", "1 + 2 * 3", 7 }, ExprCase { "brackets_first", "(1 + 2) * 3", 9 },
        ExprCase { "minus_groups_left", "2 - 3 - 4", -5 },
        ExprCase { "nested_brackets", "((((2))) - (3 - 4))", 3 },
        ExprCase { "comparison_loosest", "1 + 1 = 2", true },
        ExprCase { "not_binds_tightest", "not 1 = -2", true }, // (not 1) = 2 would be false
        ExprCase { "unary_minus_leads", "-2 * 3", -6 },
        ExprCase { "unary_minus_after_op", "2 * -3", Variant(), "';' expected" },
        // arithmetic kinds
        ExprCase { "slash_is_float", "7 / 2", 3.5 }, ExprCase { "div", "7 div 2", 3 },
        ExprCase { "mod", "7 mod 2", 1 }, ExprCase { "keywords_any_case", "3 DIV 2 + 7 MoD 4", 4 },
        ExprCase { "shifts_and_bits", "(1 shl 4) + ($10 shr 2) + (5 xor 1) + (6 and 3) + (6 or 1)", 33 },
        ExprCase { "int_overflow_widens", "2147483647 + 1", int64_t(2147483648LL) },
        ExprCase { "div_by_zero", "1 div 0", Variant(), "Division by zero" },
        ExprCase { "mod_by_zero", "1 mod 0", Variant(), "Division by zero" },
        ExprCase { "float_div_by_zero", "1 / 0", Variant(), "Floating point division by zero" },
        // literals
        ExprCase { "hex_is_integer", "$FF", 255 },
        ExprCase { "int32_max_is_integer", "2147483647", 2147483647 },
        ExprCase { "beyond_int32_is_int64", "2147483648", int64_t(2147483648LL) },
        ExprCase { "exponent_is_float", "1e3", 1000.0 }, ExprCase { "fraction", "1.5", 1.5 },
        ExprCase { "negative_exponent", "25E-1", 2.5 },
        ExprCase { "doubled_quote_and_code", "'it''s'#33", "it's!" },
        ExprCase { "hex_char_code", "#$41'b'", "Ab" }, ExprCase { "empty_string", "''", "" },
        ExprCase { "block_comment", "1 {note} + 2", 3 },
        ExprCase { "paren_star_comment", "1 (* note *) + 2", 3 },
        ExprCase { "line_comment", "1 + 2 // note\n", 3 },
        ExprCase { "unterminated_string", "'abc", Variant(), "Expression expected" },
        // strings and types
        ExprCase { "strings_join", "'a' + 'b'", "ab" },
        ExprCase { "string_minus", "'a' - 'b'", Variant(), kIncompatible },
        ExprCase { "int_plus_string", "1 + 'a'", Variant(), kIncompatible },
        ExprCase { "string_plus_int", "'a' + 1", Variant(), kIncompatible },
        ExprCase { "bool_plus", "True + 1", Variant(), kIncompatible },
        ExprCase { "bool_vs_int", "True = 1", Variant(), kIncompatible },
        ExprCase { "unary_minus_string", "-'a'", Variant(), kIncompatible },
        ExprCase { "string_compare", "'abc' < 'abd'", true }, ExprCase { "string_index", "s[2]", "e" },
        ExprCase { "string_index_joins", "s[1] + s[5]", "ho" },
        ExprCase { "string_member", "s.Length", Variant(), "Strings do not have properties or methods" },
        ExprCase { "int_index", "i[1]", Variant(), "Array type required" },
        // names
        ExprCase { "undeclared", "Foo + 1", Variant(), "Undeclared identifier: 'Foo'" },
        ExprCase { "names_ignore_case", "I * 2", 10 }, ExprCase { "cyrillic_identifier", "Цена * 2", 200 },
        ExprCase { "null_equals_null", "Null = Null", true },
        ExprCase { "null_not_below_itself", "Null < Null", false },
        // sets
        ExprCase { "in_set_element", "1 in [1, 3..5]", true },
        ExprCase { "in_set_range", "4 in [1, 3..5]", true },
        ExprCase { "not_in_set", "6 in [1, 3..5]", false },
        ExprCase { "string_in_set", "'b' in ['a', 'b']", true },
        ExprCase { "variant_array_index", "arr[1] + arr[0]", 3 },
        ExprCase {
            "variant_array_out_of_range", "arr[4]", Variant(), "Variant or safe array index out of bounds" },
        ExprCase { "in_array_value_with_range", "5 in arr", true }, // 2, Null, 9 reads as 2..9
        ExprCase { "variant_string_index", "V[1]", Variant(), "Array type required" }, // V is True here
        // calls
        ExprCase { "reference_calls_get", "<ds.\"price\"> * 2 + 1", 21 },
        ExprCase { "macro_needs_argument", "SUM()", Variant(), "Not enough actual parameters" },
        ExprCase { "function_without_arguments", "Get", Variant(), "Not enough actual parameters" },
        ExprCase { "too_many", "Get('a', 'b')", Variant(), "Too many actual parameters" },
        ExprCase { "argument_type", "IncBy(i, 'x')", Variant(), "Incompatible types: 'Integer', 'String'" },
        ExprCase { "float_into_integer_parameter", "IncBy(i, 1.5)", Variant(),
            "Incompatible types: 'Integer', 'Extended'" },
        ExprCase { "var_needs_variable", "IncBy(5)", Variant(), "Variable required" },
        // grammar errors
        ExprCase { "missing_bracket", "(1 + 2", Variant(), "')' expected" },
        ExprCase { "missing_operand", "", Variant(), "Expression expected" },
        ExprCase { "missing_reference_end", "<abc", Variant(), "'>' expected" },
        ExprCase { "missing_set_end", "1 in [1, 2", Variant(), "']' expected" },
        ExprCase { "member_not_a_word", "i.1", Variant(), "Identifier expected" }),
    [](const ::testing::TestParamInfo<ExprCase>& info) { return std::string(info.param.name); });

TEST(Expression, ErrorCarriesPositionOfOffendingToken)
{
    ScriptFixture fx;
    const EvalResult r = fx.Eval("2 * -3");
    EXPECT_EQ(r.error, "';' expected");
    // the "*" is where the statement should have ended
    EXPECT_EQ(r.errorPos, QStringLiteral("1:%1").arg(ScriptFixture::WrapperPrefix() + 3));
    const EvalResult u = fx.Eval("1 +\n  Foo");
    EXPECT_EQ(u.error, "Undeclared identifier: 'Foo'");
    EXPECT_EQ(u.errorPos, "2:3");
}

TEST(Expression, ShortCircuitOnlyBetweenBooleanTypes)
{
    ScriptFixture fx;
    EXPECT_TRUE(fx.Eval("True or F").value.IsIdentical(true));
    EXPECT_TRUE(fx.Eval("False and F").value.IsIdentical(false));
    EXPECT_EQ(fx.fCalls, 0) << "a Boolean-typed right side is skipped when the left decides";
    EXPECT_TRUE(fx.Eval("True or V").value.IsIdentical(true));
    EXPECT_EQ(fx.vCalls, 1) << "a Variant-typed right side is always evaluated";
    EXPECT_TRUE(fx.Eval("False or F").value.IsIdentical(true));
    EXPECT_EQ(fx.fCalls, 1);
}

TEST(Expression, ReferenceHandsItsTextToGet)
{
    ScriptFixture fx;
    ASSERT_TRUE(fx.Eval("<ds.\"a>b\"> + <x['>']> + <a<b>c>").ok);
    // quotes and brackets stay; ">" inside quotes or nested brackets does not end it
    EXPECT_EQ(fx.gets, (QStringList { "ds.\"a>b\"", "x['>']", "a<b>c" }));
}

TEST(Expression, MacroFunctionReceivesArgumentSourceTexts)
{
    ScriptFixture fx;
    ASSERT_TRUE(fx.Eval("SUM(<rpDBDataset1.\"price\">,MasterData1)").ok);
    EXPECT_EQ(fx.macroName, "SUM");
    EXPECT_EQ(fx.macroArgs, (QStringList { "<rpDBDataset1.\"price\">", "MasterData1", "0" }));
    EXPECT_TRUE(fx.gets.isEmpty()) << "macro arguments are not evaluated";
    ASSERT_TRUE(fx.Eval("SUM(  i + 1 ,  2 )").ok);
    EXPECT_EQ(fx.macroArgs, (QStringList { "i + 1", "2", "0" }));
}

TEST(Expression, VarParameterIsWrittenBack)
{
    ScriptFixture fx;
    TscScript prog(&fx.host);
    prog.SetLines("begin IncBy(i, 3); IncBy(i) end.");
    ASSERT_TRUE(prog.Compile()) << prog.ErrorMsg().toStdString();
    ASSERT_TRUE(prog.Execute()) << prog.ErrorMsg().toStdString();
    EXPECT_EQ(fx.host.Find("i")->Value().AsInteger(), 9);
}

TEST(Expression, RunTimeConversionErrorText)
{
    ScriptFixture fx;
    fx.vResult = Variant("x");
    EXPECT_EQ(fx.Eval("V * 2").error, "Could not convert variant of type (String) into type (Double)");
    fx.vResult = Variant::Null();
    EXPECT_TRUE(fx.Eval("V * 2").value.IsNull()) << "Null propagates through arithmetic";
}

TEST(Expression, HostileInputEndsInErrorNotCrash)
{
    ScriptFixture fx;
    const QString deep = QString(20000, '(') + "1" + QString(20000, ')');
    EXPECT_EQ(fx.Eval(deep).error, "Expression too complex");
    EXPECT_EQ(fx.Eval(QString("not ").repeated(5000) + "1").error, "Expression too complex");
    QString longSum = "1";
    while (longSum.size() < (1 << 20))
        longSum += "+1";
    EXPECT_EQ(fx.Eval(longSum).error, "Expression too complex");
    // well within the limits still works
    EXPECT_TRUE(fx.Eval(QString(100, '(') + "1" + QString(100, ')')).value.IsIdentical(1));
    EXPECT_TRUE(fx.Eval("1" + QString("+1").repeated(400)).value.IsIdentical(401));
}

} // namespace
