// The date kind of the value model: arithmetic that keeps or drops the date,
// comparison with numbers and date texts, conversions, and the day-count
// helpers, under a pinned Russian locale (short date dd.MM.yyyy).
#include "DayCount.h"
#include "Variant.h"

#include <gtest/gtest.h>

namespace {

// 9 December 2026, 16 December 2026, 10:30 as a fraction of a day.
constexpr double kDec9 = 46365;
constexpr double kDec16 = 46372;
constexpr double kHalfPastTen = 0.4375;

QString ErrorOf(const std::function<void()>& f)
{
    try {
        f();
    } catch (const EPelmoraError& e) {
        return e.Message();
    }
    return QString();
}

class VariantDate : public ::testing::Test {
protected:
    VariantDate() { QLocale::setDefault(QLocale(QLocale::Russian, QLocale::Russia)); }
    ~VariantDate() override { QLocale::setDefault(saved); }
    QLocale saved;
};

TEST_F(VariantDate, ArithmeticKeepsTheDateOnlyWhereADateResults)
{
    const struct {
        const char* name;
        Variant (*op)(const Variant&, const Variant&);
        Variant a, b;
        Variant expected;
    } cases[] = {
        { "date + integer", &Variant::Add, Variant::Date(kDec9), 7, Variant::Date(kDec16) },
        { "integer + date", &Variant::Add, 7, Variant::Date(kDec9), Variant::Date(kDec16) },
        { "date + time fraction", &Variant::Add, Variant::Date(kDec9), kHalfPastTen,
            Variant::Date(kDec9 + kHalfPastTen) },
        { "date + Int64", &Variant::Add, Variant::Date(kDec9), int64_t(7), Variant::Date(kDec16) },
        { "date - integer", &Variant::Subtract, Variant::Date(kDec16), 7, Variant::Date(kDec9) },
        { "date - date is a number of days", &Variant::Subtract, Variant::Date(kDec16), Variant::Date(kDec9),
            7.0 },
        { "number - date is a number", &Variant::Subtract, 50000, Variant::Date(kDec9), 50000 - kDec9 },
        { "date + numeric text", &Variant::Add, Variant::Date(kDec9), "7", Variant::Date(kDec16) },
        { "date - date text", &Variant::Subtract, Variant::Date(kDec16), "09.12.2026", 7.0 },
        { "date text - date", &Variant::Subtract, "16.12.2026", Variant::Date(kDec9), 7.0 },
        { "a product of days is no date", &Variant::Multiply, Variant::Date(kDec9), 2, 2 * kDec9 },
        { "division is a number", &Variant::DivideFloat, Variant::Date(kDec16), 2, kDec16 / 2 },
        { "integer division reads the day count", &Variant::DivideInt, Variant::Date(kDec16), 7,
            int64_t(6624) },
        { "null stays null", &Variant::Add, Variant::Null(), Variant::Date(kDec9), Variant::Null() },
        { "empty counts as day 0", &Variant::Add, Variant(), Variant::Date(kDec9), Variant::Date(kDec9) },
    };
    for (const auto& c : cases) {
        const Variant r = c.op(c.a, c.b);
        EXPECT_TRUE(r.IsIdentical(c.expected))
            << c.name << ": got " << r.KindName().toStdString() << " " << r.AsDouble();
    }
}

TEST_F(VariantDate, ComparesByDayCount)
{
    const struct {
        const char* name;
        Variant a, b;
        int expected;
    } cases[] = {
        { "earlier date", Variant::Date(kDec9), Variant::Date(kDec16), -1 },
        { "same date", Variant::Date(kDec9), Variant::Date(kDec9), 0 },
        { "time of day orders", Variant::Date(kDec9 + kHalfPastTen), Variant::Date(kDec9), 1 },
        { "date and its day count", Variant::Date(kDec9), int32_t(kDec9), 0 },
        { "date and a double", Variant::Date(kDec9), kDec9 + 0.5, -1 },
        { "date text in the locale's short format", Variant("16.12.2026"), Variant::Date(kDec9), 1 },
        { "date and time text", Variant::Date(kDec9 + kHalfPastTen), Variant("09.12.2026 10:30:00"), 0 },
        { "numeric text", Variant::Date(kDec9), Variant("46365"), 0 },
        { "null is below a date", Variant::Null(), Variant::Date(kDec9), -1 },
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Variant::Compare(c.a, c.b), c.expected) << c.name;
        EXPECT_EQ(Variant::Compare(c.b, c.a), -c.expected) << c.name << " (swapped)";
        EXPECT_EQ(Variant::Equals(c.a, c.b), c.expected == 0) << c.name;
    }
    EXPECT_EQ(ErrorOf([] { Variant::Compare(Variant::Date(kDec9), "next week"); }),
        "Could not convert variant of type (String) into type (Date)");
}

TEST_F(VariantDate, Conversions)
{
    const Variant morning = Variant::Date(kDec9 + kHalfPastTen);
    EXPECT_EQ(morning.VarKind(), Variant::vkDate);
    EXPECT_EQ(morning.KindName(), "Date");
    EXPECT_FALSE(morning.IsNumber());
    EXPECT_EQ(morning.AsDouble(), kDec9 + kHalfPastTen);
    EXPECT_EQ(morning.AsInteger(), 46365);
    EXPECT_EQ(Variant::Date(kDec9 + 0.75).AsInt64(), 46366);
    EXPECT_FALSE(Variant::Date(0).AsBoolean());
    EXPECT_TRUE(morning.AsBoolean());
    // The default text: short date, and the long time only when not midnight.
    EXPECT_EQ(Variant::Date(kDec9).AsString(), "09.12.2026");
    EXPECT_EQ(morning.AsString(), "09.12.2026 10:30:00");
    EXPECT_EQ(Variant::Date(-1.25).AsString(), "29.12.1899 06:00:00");
    // A time of day alone has no date to show; day 0 at midnight is a date.
    EXPECT_EQ(Variant::Date(kHalfPastTen).AsString(), "10:30:00");
    EXPECT_EQ(Variant::Date(0).AsString(), "30.12.1899");
    // A date is not the same value as its day count, though it equals it.
    EXPECT_FALSE(Variant::Date(kDec9).IsIdentical(Variant(kDec9)));
    EXPECT_TRUE(Variant::Date(kDec9).IsIdentical(Variant::Date(kDec9)));
    const Variant copy = morning;
    EXPECT_TRUE(copy.IsIdentical(morning));
    // Beyond year 9999 there is no date to show.
    EXPECT_EQ(ErrorOf([] { Variant::Date(3e6).AsString(); }),
        "Could not convert variant of type (Date) into type (String)");
    EXPECT_EQ(ErrorOf([] { Variant::Date(std::nan("")).AsString(); }),
        "Could not convert variant of type (Date) into type (String)");
}

TEST_F(VariantDate, DayCountsAndTexts)
{
    const std::optional<QDateTime> dt = DayCountToDateTime(kDec9 + kHalfPastTen);
    ASSERT_TRUE(dt.has_value());
    EXPECT_EQ(dt->date(), QDate(2026, 12, 9));
    EXPECT_EQ(dt->time(), QTime(10, 30));
    EXPECT_EQ(DateTimeToDayCount(*dt), kDec9 + kHalfPastTen);
    // Before the base day the fraction still counts forward from midnight.
    EXPECT_EQ(DayCountToDateTime(-1.25)->date(), QDate(1899, 12, 29));
    EXPECT_EQ(DayCountToDateTime(-1.25)->time(), QTime(6, 0));
    EXPECT_EQ(DateTimeToDayCount(QDateTime(QDate(1899, 12, 29), QTime(6, 0))), -1.25);
    // A time that rounds up to midnight is the next calendar day.
    EXPECT_EQ(DayCountToDateTime(kDec9 + 0.9999999999)->date(), QDate(2026, 12, 10));
    EXPECT_EQ(DayCountToDateTime(kMinDayCount)->date(), QDate(1, 1, 1));
    EXPECT_EQ(DayCountToDateTime(kMaxDayCount)->date(), QDate(9999, 12, 31));
    EXPECT_FALSE(DayCountToDateTime(kMaxDayCount + 1));
    EXPECT_FALSE(DayCountToDateTime(kMinDayCount - 1));
    EXPECT_FALSE(DayCountToDateTime(std::numeric_limits<double>::infinity()));

    const QLocale russian(QLocale::Russian, QLocale::Russia);
    double days = 0;
    ASSERT_TRUE(TextToDayCount(russian, " 09.12.2026 ", days));
    EXPECT_EQ(days, kDec9);
    ASSERT_TRUE(TextToDayCount(russian, "09.12.2026 10:30:00", days));
    EXPECT_EQ(days, kDec9 + kHalfPastTen);
    ASSERT_TRUE(TextToDayCount(russian, "09.12.2026 10:30", days));
    EXPECT_EQ(days, kDec9 + kHalfPastTen);
    EXPECT_FALSE(TextToDayCount(russian, "31.02.2026", days));
    EXPECT_FALSE(TextToDayCount(russian, "46365", days));
    EXPECT_FALSE(TextToDayCount(russian, "", days));
}

} // namespace
