// Outline, anchors and alias names of the prepared pages.
#include "StoreFixture.h"
#include "qt_print.h"
#include "rpDictionary.h"

#include <gtest/gtest.h>

namespace {

struct Entry {
    QString Text;
    int Page;
    int Top;
    bool operator==(const Entry&) const = default;
};

// The entries under the outline's current item.
std::vector<Entry> Entries(TrpCustomOutline& Outline)
{
    std::vector<Entry> r;
    for (int i = 0; i < Outline.Count(); ++i) {
        Entry e { {}, -1, -1 };
        Outline.GetItem(i, e.Text, e.Page, e.Top);
        r.push_back(e);
    }
    return r;
}

[[maybe_unused]] void PrintTo(const Entry& E, std::ostream* Out)
{
    *Out << E.Text.toStdString() << "@" << E.Page << ":" << E.Top;
}

} // namespace

TEST(Outline, EntriesNestUnderTheLastOneAndShiftToTheNextPage)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    TrpCustomOutline& outline = *store.Outline();
    EXPECT_EQ(outline.GetCurPosition(), nullptr);
    store.SetCurPage(0);
    outline.AddItem(QStringLiteral("Car 1"), 100);
    outline.AddItem(QStringLiteral("Oil"), 120);
    outline.LevelUp();
    outline.LevelUp();
    TrpXMLItem* kept = outline.GetCurPosition();
    ASSERT_NE(kept, nullptr);
    EXPECT_EQ(kept->Prop(QStringLiteral("text")), QStringLiteral("Oil"));
    // A keep block starts here: everything after it moves.
    outline.AddItem(QStringLiteral("Car 2"), 900);
    outline.AddItem(QStringLiteral("Tyres"), 950);
    outline.ShiftItems(kept, 40);

    outline.LevelRoot();
    EXPECT_EQ(Entries(outline),
        (std::vector<Entry> { { QStringLiteral("Car 1"), 0, 100 }, { QStringLiteral("Car 2"), 1, 40 } }));
    outline.LevelDown(1);
    EXPECT_EQ(Entries(outline), (std::vector<Entry> { { QStringLiteral("Tyres"), 1, 90 } }));
    outline.LevelRoot();
    outline.LevelDown(0);
    EXPECT_EQ(Entries(outline), (std::vector<Entry> { { QStringLiteral("Oil"), 0, 120 } }));
    // From nothing: every entry moves.
    outline.ShiftItems(nullptr, 0);
    outline.LevelRoot();
    EXPECT_EQ(Entries(outline)[0], (Entry { QStringLiteral("Car 1"), 1, 0 }));
}

TEST(Outline, AnchorsAreFoundByTextAndShiftWithTheirBands)
{
    ExpenseTemplate t;
    TrpPreviewPages& store = t.Store();
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("nowhere")), 1);
    EXPECT_EQ(store.GetAnchorCurPosition(), -1);
    store.SetCurPage(0);
    t.Engine->SetCurY(100.5L); // rounds to the even neighbour
    store.AddAnchor(QStringLiteral("Total"));
    const int position = store.GetAnchorCurPosition();
    t.Engine->SetCurY(700);
    store.AddAnchor(QStringLiteral("Kept"));
    t.Engine->SetCurY(730);
    store.AddAnchor(QStringLiteral("total"));
    store.ShiftAnchors(position, 20);

    EXPECT_EQ(store.FindAnchor(QStringLiteral("TOTAL"))->Prop(QStringLiteral("top")), QStringLiteral("50"));
    EXPECT_EQ(store.GetAnchorPage(QStringLiteral("Total")), 2); // the last one wins
    const TrpXMLItem* first = store.XMLDoc().Root()->FindItem(QStringLiteral("anchors"))->Items(0);
    EXPECT_EQ(first->Prop(QStringLiteral("top")), QStringLiteral("100"));
    EXPECT_EQ(first->Prop(QStringLiteral("page")), QStringLiteral("0"));
    EXPECT_EQ(store.FindAnchor(QStringLiteral("Kept"))->Prop(QStringLiteral("top")), QStringLiteral("20"));
    // Markup in an anchor text is kept as text.
    store.AddAnchor(QStringLiteral("a \"quoted\" <b>"));
    EXPECT_NE(store.FindAnchor(QStringLiteral("a \"quoted\" <b>")), nullptr);
}

TEST(Dictionary, AliasNamesCountUpFromOne)
{
    struct Case {
        const char* Rule;
        std::vector<QString> Taken;
        QString Expected;
    } cases[] = {
        { "first_name_is_base_and_1", {}, QStringLiteral("m1") },
        { "dense_names_continue", { QStringLiteral("m1"), QStringLiteral("m2") }, QStringLiteral("m3") },
        { "a_gap_the_halving_reaches_is_used", { QStringLiteral("m1"), QStringLiteral("m3") },
            QStringLiteral("m2") },
        { "a_gap_below_a_taken_probe_is_skipped",
            { QStringLiteral("m1"), QStringLiteral("m2"), QStringLiteral("m4") }, QStringLiteral("m5") },
        { "search_starts_at_a_taken_power", { QStringLiteral("m10000") }, QStringLiteral("m10001") },
        { "other_bases_do_not_count", { QStringLiteral("b1") }, QStringLiteral("m1") },
    };
    for (const Case& c : cases) {
        TrpDictionary d;
        for (const QString& name : c.Taken)
            d.Add(name, QStringLiteral("Page0.") + name, nullptr);
        EXPECT_EQ(d.CreateUniqueName(QStringLiteral("m")), c.Expected) << c.Rule;
    }
}

TEST(Dictionary, UnknownNamesGiveNothing)
{
    TrpMemoView memo;
    TrpDictionary d;
    EXPECT_EQ(d.AddUnique(QStringLiteral("m"), QStringLiteral("Page0.Memo1"), &memo), QStringLiteral("m1"));
    EXPECT_EQ(d.GetObject(QStringLiteral("m1")), &memo);
    EXPECT_EQ(d.GetSourceName(QStringLiteral("m1")), QStringLiteral("Page0.Memo1"));
    EXPECT_EQ(d.GetObject(QStringLiteral("TrpMemoView")), nullptr);
    EXPECT_TRUE(d.GetSourceName(QStringLiteral("m2")).isEmpty());
    d.Clear();
    EXPECT_EQ(d.GetObject(QStringLiteral("m1")), nullptr);
}
