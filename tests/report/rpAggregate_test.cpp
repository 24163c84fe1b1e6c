// The aggregate registry: which memo calls it registers and with what, how
// it combines rows per function, resets, keep blocks, withdrawn rows and
// column totals, and the value a memo shows, driven the way the band engine
// drives it.
#include "qt_print.h"
#include "report_skeleton.h"
#include "rpAggregate.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpTestEngine.h"

#include <gtest/gtest.h>

namespace {

TrpMemoView* AddMemo(TrpBand* Band, const QString& Text)
{
    auto* m = Band->Create<TrpMemoView>();
    m->CreateUniqueName();
    m->SetText(Text);
    return m;
}

QString Describe(const TrpAggregateItem& I)
{
    static const char* names[] = { "SUM", "AVG", "MIN", "MAX", "COUNT" };
    return QStringLiteral("%1(%2) of %3 flags %4 in %5%6")
        .arg(QLatin1String(names[I.AggregateFunction]), I.Expression,
            I.Band ? I.Band->Name() : QStringLiteral("none"))
        .arg(I.Flags())
        .arg(I.ParentBand ? I.ParentBand->Name() : QStringLiteral("none"),
            I.IsPageFooter ? QStringLiteral(" (page footer)") : QString());
}

// The program's report: a master band over rpDBDataset1 with a footer and a
// detail band, a group, a page footer showing the page number and the page's
// total of prices. The band tree is linked as the engine links it.
class Aggregates : public ::testing::Test {
protected:
    Aggregates()
        : Engine(&Report)
    {
        Page = AddReportPage(Report);
        Title = AddNamed<TrpReportTitle>(Page, QStringLiteral("ReportTitle1"));
        Header = AddNamed<TrpHeader>(Page, QStringLiteral("Header1"));
        Group = AddNamed<TrpGroupHeader>(Page, QStringLiteral("GroupHeader1"));
        Band = AddNamed<TrpMasterData>(Page, QStringLiteral("MasterData1"));
        Detail = AddNamed<TrpDetailData>(Page, QStringLiteral("DetailData1"));
        DetailFooter = AddNamed<TrpFooter>(Page, QStringLiteral("DetailFooter1"));
        Footer = AddNamed<TrpFooter>(Page, QStringLiteral("Footer1"));
        FooterChild = AddNamed<TrpChild>(Page, QStringLiteral("Child1"));
        GroupFooter = AddNamed<TrpGroupFooter>(Page, QStringLiteral("GroupFooter1"));
        ColumnFooter = AddNamed<TrpColumnFooter>(Page, QStringLiteral("ColumnFooter1"));
        Summary = AddNamed<TrpReportSummary>(Page, QStringLiteral("ReportSummary1"));
        PageFooter = AddNamed<TrpPageFooter>(Page, QStringLiteral("PageFooter1"));
        Footer->SetChild(FooterChild);
        Page->SubBands = { Band };
        Band->Header = Header;
        Band->Footer = Footer;
        Band->Group = Group;
        Group->Footer = GroupFooter;
        Band->SubBands = { Detail };
        Detail->Footer = DetailFooter;

        Data.SetName(QStringLiteral("rpDBDataset1"));
        Data.SetFields({ QStringLiteral("price") });
        Data.OnGetValue = [this](const QString&, Variant& Value) { Value = Price; };
        Report.DataSets().Add(&Data);
        Report.EngineOptions()->SetUseGlobalDataSetList(false);
        Band->SetDataSet(&Data);
        Report.SetEngine(&Engine);
    }
    ~Aggregates() override { Report.SetEngine(nullptr); }

    void Start()
    {
        ASSERT_TRUE(Report.PrepareScript());
        Engine.Aggregates().Clear();
        Engine.Aggregates().AddItems(Page);
    }
    // A row of MasterData1 placed on the page and added to its aggregates.
    void ShowRow(const Variant& Value)
    {
        Price = Value;
        Engine.SetCurBand(Band);
        Engine.Aggregates().AddValue(Band);
    }
    // Prepares a band, hands its memo texts on as the store would copy them,
    // then restores the memos and resets the band's aggregates.
    QStringList ShowBand(TrpBand* B)
    {
        Engine.SetCurBand(B);
        QStringList texts;
        for (const auto& o : B->Objects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o.get())) {
                Report.CurObject = m->Name();
                m->BeforePrint();
                m->GetData();
                texts << m->Text();
                m->AfterPrint();
            }
        Engine.Aggregates().Reset(B);
        return texts;
    }
    QStringList Registered() const
    {
        QStringList r;
        for (int i = 0; i < Engine.Aggregates().Count(); ++i)
            r << Describe(Engine.Aggregates().Items(i));
        return r;
    }

    TrpReport Report;
    PageEngine Engine;
    TrpReportPage* Page;
    TrpChild* FooterChild;
    TrpBand *Title, *Header, *Group, *Footer, *GroupFooter, *ColumnFooter, *Summary, *PageFooter,
        *DetailFooter;
    TrpMasterData* Band;
    TrpDetailData* Detail;
    TrpUserDataSet Data;
    Variant Price = Variant::Null();
};

const QString PageTotal = QStringLiteral("[SUM(<rpDBDataset1.\"price\">,MasterData1)]");

} // namespace

TEST_F(Aggregates, PageFooterShowsTheTotalOfItsOwnPage)
{
    AddMemo(PageFooter, QStringLiteral("[Page#] "));
    AddMemo(PageFooter, PageTotal);
    Start();
    const std::vector<std::vector<int32_t>> pages = { { 100, 250 }, { 40 }, {} };
    std::vector<QStringList> printed;
    for (size_t p = 0; p < pages.size(); ++p) {
        Engine.Physical = int(p);
        for (int32_t price : pages[p])
            ShowRow(Variant(price));
        printed.push_back(ShowBand(PageFooter));
    }
    EXPECT_EQ(printed[0], (QStringList { "1 ", "350" }));
    EXPECT_EQ(printed[1], (QStringList { "2 ", "40" }));
    EXPECT_EQ(printed[2], (QStringList { "3 ", "0" })) << "a page without rows shows 0";
    EXPECT_TRUE(Report.Errors().isEmpty()) << Report.Errors().join(u'|').toStdString();
}

TEST_F(Aggregates, FooterLeftOutOnAPageCountsIntoTheNextOne)
{
    AddMemo(PageFooter, PageTotal);
    Start();
    ShowRow(Variant(int32_t(100)));
    // Not printed on the first page: FinishBand runs, no reset.
    Engine.Physical = 1;
    ShowRow(Variant(int32_t(40)));
    EXPECT_EQ(ShowBand(PageFooter), QStringList { "140" });
}

TEST_F(Aggregates, CallsAreRegisteredFromTheMemosThatShowTotals)
{
    Report.Variables().Add(QStringLiteral("PageSum"), QStringLiteral("SUM(<rpDBDataset1.\"price\">)"));
    Report.Variables().Add(QStringLiteral("Loop"), QStringLiteral("Loop + COUNT()"));
    Report.Variables().Add(QStringLiteral("Rate"), QStringLiteral("1.5"));
    const QString onPageFooter = QStringLiteral(" in PageFooter1 (page footer)");
    struct Case {
        const char* Name;
        QString Text;
        QStringList Expected;
    } cases[] = {
        { "the program's page total", PageTotal,
            { "SUM(<rpDBDataset1.\"price\">) of MasterData1 flags 0" + onPageFooter } },
        { "count with band and flags", "[COUNT(MasterData1, 3)]",
            { "COUNT() of MasterData1 flags 3" + onPageFooter } },
        { "default band, any case, spaces", "[avg ( <x> )]",
            { "AVG(<x>) of MasterData1 flags 0" + onPageFooter } },
        { "unknown band", "[MIN(<x>, NoSuchBand)]", { "MIN(<x>) of none flags 0" + onPageFooter } },
        { "several calls, nested in IIF", "Total: [IIF(SUM(<p>) > 0, MAX(<p>), 0)] [Page#]",
            { "SUM(<p>) of MasterData1 flags 0" + onPageFooter,
                "MAX(<p>) of MasterData1 flags 0" + onPageFooter } },
        { "comma in quotes is not an argument break", "[MAX(<rpDBDataset1.\"a,b\">)]",
            { "MAX(<rpDBDataset1.\"a,b\">) of MasterData1 flags 0" + onPageFooter } },
        { "through a variable", "[PageSum * Rate]",
            { "SUM(<rpDBDataset1.\"price\">) of MasterData1 flags 0" + onPageFooter } },
        { "variable naming itself is read once", "[Loop]",
            { "COUNT() of MasterData1 flags 0" + onPageFooter } },
        { "field reference", "[rpDBDataset1.\"price\"]", {} },
        { "quoted text", "['SUM(<p>)']", {} },
        { "word that only starts like one", "[SUMMARY(1)]", {} },
    };
    auto* memo = AddMemo(PageFooter, QString());
    for (const Case& c : cases) {
        memo->SetText(c.Text);
        Start();
        EXPECT_EQ(Registered(), c.Expected) << c.Name;
        if (!c.Expected.isEmpty()) {
            EXPECT_EQ(Engine.Aggregates().Items(0).MemoName, memo->Name()) << c.Name;
        }
    }
    memo->SetAllowExpressions(false);
    memo->SetText(PageTotal);
    Start();
    EXPECT_EQ(Registered(), QStringList()) << "memo without expressions";
    EXPECT_EQ(Engine.Aggregates()
                  .GetValue(PageFooter, QStringLiteral("sum(<rpDBDataset1.\"price\">,MasterData1)"), 0)
                  .IsNull(),
        true);
}

TEST_F(Aggregates, OnlyFootersSummariesAndPageAndColumnFootersAreScanned)
{
    struct Case {
        TrpBand* Where;
        QString Expected; // empty: not registered
    } cases[] = {
        { Title, "" },
        { Header, "" },
        { Band, "" },
        { Group, "" },
        { Footer, "COUNT() of MasterData1 flags 0 in Footer1" },
        { FooterChild, "COUNT() of MasterData1 flags 0 in Child1" },
        { GroupFooter, "COUNT() of MasterData1 flags 0 in GroupFooter1" },
        { DetailFooter, "COUNT() of DetailData1 flags 0 in DetailFooter1" },
        { ColumnFooter, "COUNT() of MasterData1 flags 0 in ColumnFooter1" },
        { Summary, "COUNT() of MasterData1 flags 0 in ReportSummary1" },
        { PageFooter, "COUNT() of MasterData1 flags 0 in PageFooter1 (page footer)" },
    };
    for (const Case& c : cases) {
        TrpMemoView* memo = AddMemo(c.Where, QStringLiteral("[COUNT()]"));
        Start();
        EXPECT_EQ(Registered(), c.Expected.isEmpty() ? QStringList() : QStringList { c.Expected })
            << c.Where->Name().toStdString();
        c.Where->DeleteObject(memo);
    }
    // A vertical data band's own memos count too.
    Band->SetVertical(true);
    AddMemo(Band, QStringLiteral("[COUNT()]"));
    Start();
    EXPECT_EQ(Registered(), QStringList { "COUNT() of MasterData1 flags 0 in MasterData1" });
    // Without a master band the page-level footers are not scanned.
    Page->SubBands.clear();
    AddMemo(PageFooter, QStringLiteral("[COUNT()]"));
    Start();
    EXPECT_EQ(Registered(), QStringList());
}

TEST_F(Aggregates, EachFunctionCombinesTheRowsItsOwnWay)
{
    const QString expr = QStringLiteral("<rpDBDataset1.\"price\">");
    for (const char* f : { "SUM", "AVG", "MIN", "MAX" })
        AddMemo(Footer, QStringLiteral("[%1(%2)]").arg(QLatin1String(f), expr));
    AddMemo(Footer, QStringLiteral("[COUNT()]"));
    // Null rows reach the aggregates as Null only without ConvertNulls.
    Report.EngineOptions()->SetConvertNulls(false);
    Start();
    EXPECT_EQ(ShowBand(Footer), (QStringList { "0", "0", "0", "0", "0" })) << "no rows";

    for (const Variant& v : { Variant(int32_t(3)), Variant::Null(), Variant(int32_t(6)), Variant(1.5) })
        ShowRow(v);
    // AVG leaves the Null row out of its count; COUNT counts every row.
    EXPECT_EQ(ShowBand(Footer), (QStringList { "10.5", "3.5", "1.5", "6", "4" }));
    EXPECT_EQ(ShowBand(Footer), (QStringList { "0", "0", "0", "0", "0" })) << "reset after showing";

    ShowRow(Variant(true));
    ShowRow(Variant(true));
    EXPECT_EQ(ShowBand(Footer).first(), QStringLiteral("2")) << "true counts as 1";
}

TEST_F(Aggregates, FlagsDecideHiddenRowsAndResets)
{
    const QString expr = QStringLiteral("<rpDBDataset1.\"price\">");
    // 0: visible rows, reset; 1: hidden rows too; 2: running total; 3: both.
    for (int flags = 0; flags < 4; ++flags)
        AddMemo(PageFooter, QStringLiteral("[SUM(%1, MasterData1, %2)]").arg(expr).arg(flags));
    Start();
    ShowRow(Variant(int32_t(10)));
    Band->SetVisible(false);
    ShowRow(Variant(int32_t(1)));
    Band->SetVisible(true);
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "10", "11", "10", "11" }));
    ShowRow(Variant(int32_t(100)));
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "100", "100", "110", "111" }));
    // Between two passes even running totals start over.
    Engine.Aggregates().ClearValues();
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "0", "0", "0", "0" }));
}

TEST_F(Aggregates, KeptRowsMoveToTheNextPageFooter)
{
    AddMemo(PageFooter, PageTotal);
    AddMemo(Footer, QStringLiteral("[SUM(<rpDBDataset1.\"price\">)]"));
    Start();
    ShowRow(Variant(int32_t(100)));
    Engine.Aggregates().StartKeep();
    ShowRow(Variant(int32_t(250)));
    // The block does not fit: the page closes without the kept row.
    EXPECT_EQ(ShowBand(PageFooter), QStringList { "100" });
    Engine.Aggregates().EndKeep();
    ShowRow(Variant(int32_t(40)));
    EXPECT_EQ(ShowBand(PageFooter), QStringList { "290" });
    // Other footers are not touched by keep blocks.
    EXPECT_EQ(ShowBand(Footer), QStringList { "390" });
}

TEST_F(Aggregates, DeleteValueWithdrawsTheLastRowOnce)
{
    AddMemo(PageFooter, PageTotal);
    AddMemo(PageFooter, QStringLiteral("[COUNT(MasterData1)]"));
    Start();
    ShowRow(Variant(int32_t(100)));
    ShowRow(Variant(int32_t(250)));
    Engine.Aggregates().DeleteValue(Band);
    Engine.Aggregates().DeleteValue(Band);
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "100", "1" }));
    // Withdrawn inside a keep block and added again after the page break.
    ShowRow(Variant(int32_t(5)));
    Engine.Aggregates().StartKeep();
    ShowRow(Variant(int32_t(7)));
    Engine.Aggregates().DeleteValue(Band);
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "5", "1" }));
    ShowRow(Variant(int32_t(7)));
    Engine.Aggregates().EndKeep();
    EXPECT_EQ(ShowBand(PageFooter), (QStringList { "7", "1" }));
}

TEST_F(Aggregates, VerticalColumnsKeepTheirOwnTotals)
{
    AddMemo(PageFooter, PageTotal);
    Start();
    Price = Variant(int32_t(5));
    Engine.Aggregates().AddValue(Band, 2);
    Engine.Aggregates().AddValue(Band, 2);
    Price = Variant(int32_t(1));
    Engine.Aggregates().AddValue(Band, 3);
    ShowRow(Variant(int32_t(100)));
    const TrpAggregateItem& item = Engine.Aggregates().Items(0);
    EXPECT_TRUE(item.Value(2).IsIdentical(Variant(int32_t(10))));
    EXPECT_TRUE(item.Value(3).IsIdentical(Variant(int32_t(1))));
    EXPECT_TRUE(item.Value(4).IsIdentical(Variant(int32_t(0))));
    EXPECT_TRUE(item.Value(0).IsIdentical(Variant(int32_t(100))));
    Engine.SetCurVColumn(2);
    EXPECT_EQ(ShowBand(PageFooter), QStringList { "10" });
    EXPECT_TRUE(item.Value(2).IsIdentical(Variant(int32_t(0)))) << "reset clears the columns";
}

TEST_F(Aggregates, ScriptCallFindsTheItemOfTheBandBeingPrepared)
{
    AddMemo(PageFooter, PageTotal);
    AddMemo(PageFooter, QStringLiteral("[SUM(<rpDBDataset1.\"price\">, MasterData1, 2)]"));
    Start();
    ShowRow(Variant(int32_t(100)));
    struct Case {
        const char* Name;
        TrpBand* CurBand;
        QString Expression;
        Variant Expected;
    } cases[] = {
        { "same call", PageFooter, "SUM(<rpDBDataset1.\"price\">,MasterData1)", Variant(int32_t(100)) },
        { "no band given matches any", PageFooter, "SUM(<RPDBDATASET1.\"price\">)", Variant(int32_t(100)) },
        { "flags must match", PageFooter, "SUM(<rpDBDataset1.\"price\">, MasterData1, 2)",
            Variant(int32_t(100)) },
        { "other flags", PageFooter, "SUM(<rpDBDataset1.\"price\">, MasterData1, 1)", Variant::Null() },
        { "other function", PageFooter, "MAX(<rpDBDataset1.\"price\">)", Variant::Null() },
        { "other band", PageFooter, "SUM(<rpDBDataset1.\"price\">, Footer1)", Variant::Null() },
        { "prepared in a data band", Band, "SUM(<rpDBDataset1.\"price\">)", Variant::Null() },
    };
    for (const Case& c : cases) {
        Engine.SetCurBand(c.CurBand);
        const Variant v = Report.Calc(c.Expression);
        EXPECT_TRUE(v.IsIdentical(c.Expected)) << c.Name << ": " << v.AsString().toStdString();
    }
    EXPECT_TRUE(Engine.Aggregates()
                    .GetValue(PageFooter, QStringLiteral(" sum(<rpDBDataset1.\"price\">,masterdata1) "), 0)
                    .IsIdentical(Variant(int32_t(100))));
}
