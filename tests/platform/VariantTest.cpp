// The value model: kinds, conversions, mixed-kind arithmetic and comparison,
// and the run-time error texts.
#include "Variant.h"

#include <QObject>
#include <functional>
#include <gtest/gtest.h>

namespace {

QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EVariantError& e) {
        return e.Message();
    }
    return QString();
}

struct OpCase {
    const char* name;
    Variant (*op)(const Variant&, const Variant&);
    Variant a, b;
    Variant expected;
};

void PrintTo(const OpCase& c, std::ostream* os)
{
    *os << c.name;
}

class VariantOps : public ::testing::TestWithParam<OpCase> { };

TEST_P(VariantOps, GivesKindAndValue)
{
    const OpCase& c = GetParam();
    const Variant r = c.op(c.a, c.b);
    EXPECT_TRUE(r.IsIdentical(c.expected))
        << c.name << ": got " << r.KindName().toStdString() << " " << r.AsString().toStdString();
}

INSTANTIATE_TEST_SUITE_P(Table, VariantOps,
    ::testing::Values(
        // integer arithmetic stays Integer until it no longer fits
        OpCase { "int_add", &Variant::Add, 2, 3, 5 },
        OpCase { "int_overflow_widens", &Variant::Add, 2147483647, 1, int64_t(2147483648LL) },
        OpCase { "int64_overflow_floats", &Variant::Multiply, int64_t(1LL << 62), 4, 18446744073709551616.0 },
        OpCase { "mixed_float", &Variant::Add, 1, 0.5, 1.5 },
        OpCase { "divide_always_float", &Variant::DivideFloat, 7, 2, 3.5 },
        OpCase { "div_truncates", &Variant::DivideInt, -7, 2, -3 },
        OpCase { "mod_sign_of_dividend", &Variant::Modulus, -7, 2, -1 },
        OpCase { "div_of_float_rounds_first", &Variant::DivideInt, 7.5, 2, int64_t(4) },
        OpCase { "strings_join", &Variant::Add, "ab", "cd", "abcd" },
        OpCase { "numeric_string_adds", &Variant::Add, "1.5", 1, 2.5 },
        OpCase { "empty_is_zero", &Variant::Add, Variant(), 4, 4 },
        OpCase { "null_propagates", &Variant::Multiply, Variant::Null(), 4, Variant::Null() },
        OpCase { "bool_and_is_logical", &Variant::And, true, false, false },
        OpCase { "bool_xor", &Variant::Xor, true, false, true },
        OpCase { "int_and_is_bitwise", &Variant::And, 12, 10, 8 },
        OpCase { "true_counts_minus_one", &Variant::Add, true, 1, 0 },
        OpCase { "shl_wraps_32", &Variant::ShiftLeft, 1, 31, int32_t(0x80000000u) },
        OpCase { "shr_is_logical", &Variant::ShiftRight, -1, 28, 15 },
        OpCase { "shl_int64", &Variant::ShiftLeft, int64_t(1), 40, int64_t(1LL << 40) },
        OpCase { "int_min_div_minus_one", &Variant::DivideInt, int32_t(-2147483647 - 1), -1,
            int64_t(2147483648LL) }),
    [](const ::testing::TestParamInfo<OpCase>& info) { return std::string(info.param.name); });

TEST(Variant, NegateAndNot)
{
    EXPECT_TRUE(Variant::Negate(5).IsIdentical(-5));
    EXPECT_TRUE(Variant::Negate(int32_t(-2147483647 - 1)).IsIdentical(int64_t(2147483648LL)));
    EXPECT_TRUE(Variant::Not(true).IsIdentical(false));
    EXPECT_TRUE(Variant::Not(1).IsIdentical(-2));
    EXPECT_TRUE(Variant::Not(Variant::Null()).IsNull());
    EXPECT_TRUE(Variant::Negate(Variant::Null()).IsNull());
}

TEST(Variant, RunTimeErrorTexts)
{
    EXPECT_EQ(ErrorOf([] { Variant::DivideInt(1, 0); }), "Division by zero");
    EXPECT_EQ(ErrorOf([] { Variant::Modulus(int64_t(1), 0); }), "Division by zero");
    EXPECT_EQ(ErrorOf([] { Variant::DivideFloat(1, 0); }), "Floating point division by zero");
    EXPECT_EQ(ErrorOf([] { Variant::DivideFloat(0.0, 0.0); }), "Floating point division by zero");
    EXPECT_EQ(ErrorOf([] { Variant::Add(1, "a"); }),
        "Could not convert variant of type (String) into type (Double)");
    EXPECT_EQ(ErrorOf([] { Variant::Null().AsInteger(); }),
        "Could not convert variant of type (Null) into type (Integer)");
    EXPECT_EQ(ErrorOf([] { Variant(3e10).AsInteger(); }),
        "Could not convert variant of type (Double) into type (Integer)");
    EXPECT_EQ(ErrorOf([] { Variant("x").AsBoolean(); }),
        "Could not convert variant of type (String) into type (Boolean)");
    EXPECT_EQ(ErrorOf([] { Variant(QList<Variant> { 1 }).AsDouble(); }),
        "Could not convert variant of type (Array) into type (Double)");
}

TEST(Variant, ComparisonAcrossKinds)
{
    EXPECT_TRUE(Variant::Equals(Variant::Null(), Variant::Null()));
    EXPECT_FALSE(Variant::Equals(Variant::Null(), 0));
    EXPECT_FALSE(Variant::Equals(Variant::Null(), ""));
    EXPECT_LT(Variant::Compare(Variant::Null(), -1e300), 0);
    EXPECT_GT(Variant::Compare("", Variant::Null()), 0);
    EXPECT_TRUE(Variant::Equals(1, 1.0));
    EXPECT_TRUE(Variant::Equals(int64_t(5), 5));
    EXPECT_TRUE(Variant::Equals("10", 10));
    EXPECT_GT(Variant::Compare("9", "10"), 0) << "two strings compare as text, not as numbers";
    EXPECT_LT(Variant::Compare(false, true), 0);
    EXPECT_TRUE(Variant::Equals(Variant(), 0));
    EXPECT_TRUE(Variant::Equals(Variant(), ""));
    // large Int64 values must not lose precision through double
    EXPECT_LT(Variant::Compare(int64_t(9007199254740993LL), int64_t(9007199254740994LL)), 0);
    QObject o;
    EXPECT_TRUE(Variant::Equals(Variant::Object(&o), Variant::Object(&o)));
    EXPECT_FALSE(Variant::Equals(Variant::Object(&o), 0)) << "an object is not nil";
    EXPECT_TRUE(Variant::Equals(Variant::Object(nullptr), 0));
}

TEST(Variant, ConversionsToText)
{
    EXPECT_EQ(Variant(3.5).AsString(), "3.5");
    EXPECT_EQ(Variant(1000.0).AsString(), "1000");
    EXPECT_EQ(Variant(1e15).AsString(), "1E15");
    EXPECT_EQ(Variant(0.00001).AsString(), "1E-5");
    EXPECT_EQ(Variant(true).AsString(), "True");
    EXPECT_EQ(Variant(int64_t(-5)).AsString(), "-5");
    EXPECT_EQ(Variant::Null().AsString(), "");
    EXPECT_EQ(Variant("$FF").AsInteger(), 255);
    EXPECT_EQ(Variant(" 2.5 ").AsDouble(), 2.5);
    EXPECT_EQ(Variant(2.5).AsInteger(), 2) << "halves round to even";
    EXPECT_EQ(Variant(3.5).AsInteger(), 4);
    EXPECT_TRUE(Variant("TRUE").AsBoolean());
}

TEST(Variant, CopiesAreIndependentAndCheap)
{
    Variant a = QString("text");
    Variant b = a;
    b = Variant::Add(b, "!");
    EXPECT_EQ(a.AsString(), "text");
    EXPECT_EQ(b.AsString(), "text!");
    Variant arr(QList<Variant> { 1, "x", Variant::Null() });
    Variant copy = arr;
    arr = 5;
    EXPECT_EQ(copy.ArrayCount(), 3);
    EXPECT_TRUE(copy.ArrayItem(2).IsNull());
    Variant moved = std::move(copy);
    EXPECT_EQ(moved.ArrayCount(), 3);
    EXPECT_LE(sizeof(Variant), 32u);
}

} // namespace
