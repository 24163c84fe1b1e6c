// The report's expression evaluation: the fast path (data fields, system
// variables, host answers, report, global and script variables), failures and
// their error texts, the names the report binds into its script, and the Get,
// Set, IIF and aggregate callbacks, checked against a fake engine.
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpExpressionCache.h"
#include "sc_iinterpreter.h"

#include "DbConnection.h"
#include "DbTable.h"
#include "ExpenseDatabase.h"
#include "error_text.h"
#include "expense_log.h"
#include "report_skeleton.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Page numbers and aggregate values as the test sets them; every aggregate
// request is recorded.
class FakeEngine : public TrpCustomEngine {
public:
    using TrpCustomEngine::SetCurLine;
    using TrpCustomEngine::SetPass;
    using TrpCustomEngine::SetStart;
    using TrpCustomEngine::TrpCustomEngine;

    int LogicalPageNo() const override { return Logical; }
    int LogicalTotalPages() const override { return LogicalTotal; }
    int CurPage() const override { return Physical; }
    Variant GetAggregateValue(
        const QString& Name, const QString& Expression, TrpBand* Band, int Flags) override
    {
        Requests.push_back({ Name, Expression, Band, Flags });
        return Answer;
    }

    struct Request {
        QString Name, Expression;
        TrpBand* Band;
        int Flags;
    };
    std::vector<Request> Requests;
    Variant Answer = Variant(int32_t(350));
    int Logical = 0, LogicalTotal = 0, Physical = 0;
};

// A user data set that also says what kind each field is.
class TypedUserDataSet : public TrpUserDataSet {
public:
    TrpFieldType GetFieldType(const QString& FieldName) override
    {
        return Types.value(FieldName.toLower(), fftNumeric);
    }
    QHash<QString, TrpFieldType> Types;
};

// The program's report in small: a master data band over rpDBDataset1 and a
// page footer with one memo, the data set listed in the report's DataSets.
// Row values come from Row, looked up by field name.
class ReportCalc : public ::testing::Test {
protected:
    ReportCalc()
    {
        const TReportSkeleton skeleton = BuildReportSkeleton(Report);
        Band = skeleton.Band;
        Footer = AddNamed<TrpPageFooter>(skeleton.Page, QStringLiteral("PageFooter1"));
        AddNamed<TrpMemoView>(Footer, QStringLiteral("Memo1"));

        Data.SetName(QStringLiteral("rpDBDataset1"));
        Data.SetFields({ QStringLiteral("price"), QStringLiteral("descr"), QStringLiteral("paid") });
        Data.Types = { { QStringLiteral("price"), fftNumeric }, { QStringLiteral("descr"), fftString },
            { QStringLiteral("paid"), fftBoolean } };
        Data.OnGetValue = [this](const QString& Name, Variant& Value) {
            Value = Row.value(Name.toLower(), Variant::Null());
        };
        Row = { { QStringLiteral("price"), Variant(int32_t(120)) },
            { QStringLiteral("descr"), Variant("oil") } };
        Report.DataSets().Add(&Data);
        Report.EngineOptions()->SetUseGlobalDataSetList(false);
        EXPECT_TRUE(Report.PrepareScript());
    }

    TrpReport Report;
    TrpMasterData* Band;
    TrpPageFooter* Footer;
    TypedUserDataSet Data;
    QHash<QString, Variant> Row;
};

void ExpectValue(const Variant& Actual, const Variant& Expected, const std::string& Case)
{
    EXPECT_TRUE(Actual.IsIdentical(Expected))
        << Case << ": got " << Actual.KindName().toStdString() << " "
        << (Actual.IsObject() ? std::string("object") : Actual.AsString().toStdString());
}

} // namespace

TEST_F(ReportCalc, FailedExpressionIsListedWithItsPrefixAndRaised)
{
    const QString base = QStringLiteral("Error in expression 'Foo + 1': Undeclared identifier: 'Foo'");
    struct Case {
        const char* Name;
        QString CurObject;
        bool Marked;
        QString Expected;
    } cases[] = {
        { "current object", QStringLiteral("Memo1"), false, QStringLiteral("Memo1: ") + base },
        { "no current object", QString(), false, base },
        { "marked call", QStringLiteral("Memo1"), true, QStringLiteral("Error in Calc expression: ") + base },
    };
    for (const Case& c : cases) {
        Report.ClearErrors();
        Report.CurObject = c.CurObject;
        EXPECT_EQ(ErrorOf([&] { Report.Calc(QStringLiteral("Foo + 1"), nullptr, c.Marked); }), c.Expected)
            << c.Name;
        EXPECT_EQ(Report.Errors(), QStringList { c.Expected }) << c.Name;
    }
    // Not cached: the same text fails the same way again.
    EXPECT_EQ(Report.ExpressionCache()->Count(), 0);
}

TEST_F(ReportCalc, DivisionByZeroIsIgnoredOnlyWhenAsked)
{
    Report.CurObject = QStringLiteral("Memo1");
    Report.EngineOptions()->SetIgnoreDevByZero(true);
    ExpectValue(Report.Calc(QStringLiteral("1 / 0")), Variant::Null(), "ignored");
    EXPECT_TRUE(Report.Errors().isEmpty());
    // Only the floating division's message counts.
    EXPECT_EQ(
        ErrorOf([&] { Report.Calc(QStringLiteral("1 div 0")); }), QStringLiteral("Memo1: Division by zero"));

    Report.EngineOptions()->SetIgnoreDevByZero(false);
    EXPECT_EQ(ErrorOf([&] { Report.Calc(QStringLiteral("1 / 0")); }),
        QStringLiteral("Memo1: Floating point division by zero"));
}

TEST_F(ReportCalc, NestedFailureIsListedOnceWithOnePrefix)
{
    FakeEngine engine(&Report);
    Report.SetEngine(&engine);
    Report.CurObject = QStringLiteral("Memo1");
    // The flags argument fails while the outer expression runs.
    const QString expected = QStringLiteral("Memo1: Division by zero");
    EXPECT_EQ(
        ErrorOf([&] { Report.Calc(QStringLiteral("SUM(<rpDBDataset1.\"price\">, MasterData1, 1 div 0)")); }),
        expected);
    EXPECT_EQ(Report.Errors(), QStringList { expected });
    EXPECT_TRUE(engine.Requests.empty());
}

TEST_F(ReportCalc, AggregatesAskTheEngineWithTheirSourceTexts)
{
    FakeEngine engine(&Report);
    Report.SetEngine(&engine);
    const QString price = QStringLiteral("<rpDBDataset1.\"price\">");
    struct Case {
        QString Expr, Name, Expression;
        TrpBand* Band;
        int Flags;
    } cases[] = {
        { QStringLiteral("SUM(<rpDBDataset1.\"price\">,MasterData1)"), QStringLiteral("SUM"), price, Band,
            0 },
        { QStringLiteral("AVG( <rpDBDataset1.\"price\"> , MasterData1 , 1 + 1 )"), QStringLiteral("AVG"),
            price, Band, 2 },
        { QStringLiteral("MIN(<rpDBDataset1.\"price\">)"), QStringLiteral("MIN"), price, nullptr, 0 },
        { QStringLiteral("MAX(<rpDBDataset1.\"price\"> * 2, 0, 3)"), QStringLiteral("MAX"),
            QStringLiteral("<rpDBDataset1.\"price\"> * 2"), nullptr, 3 },
        { QStringLiteral("COUNT(MasterData1, 1)"), QStringLiteral("COUNT"), QString(), Band, 1 },
        { QStringLiteral("COUNT()"), QStringLiteral("COUNT"), QString(), nullptr, 0 },
        // An aggregate written in angle brackets goes through Get.
        { QStringLiteral("<SUM(<rpDBDataset1.\"price\">, MasterData1)>"), QStringLiteral("SUM"), price, Band,
            0 },
    };
    for (const Case& c : cases) {
        engine.Requests.clear();
        ExpectValue(Report.Calc(c.Expr), Variant(int32_t(350)), c.Expr.toStdString());
        ASSERT_EQ(engine.Requests.size(), 1u) << c.Expr.toStdString();
        EXPECT_EQ(engine.Requests[0].Name, c.Name) << c.Expr.toStdString();
        EXPECT_EQ(engine.Requests[0].Expression, c.Expression) << c.Expr.toStdString();
        EXPECT_EQ(engine.Requests[0].Band, c.Band) << c.Expr.toStdString();
        EXPECT_EQ(engine.Requests[0].Flags, c.Flags) << c.Expr.toStdString();
    }
    EXPECT_TRUE(Report.Errors().isEmpty()) << Report.Errors().join(u'|').toStdString();

    EXPECT_EQ(ErrorOf([&] { Report.Calc(QStringLiteral("SUM()")); }),
        QStringLiteral("Error in expression 'SUM()': Not enough actual parameters"));

    Report.SetEngine(nullptr);
    ExpectValue(Report.Calc(QStringLiteral("SUM(<rpDBDataset1.\"price\">,MasterData1)")), Variant::Null(),
        "no engine");
}

TEST_F(ReportCalc, EachTextIsCompiledOncePerPreparation)
{
    const QString expr = QStringLiteral("<rpDBDataset1.\"price\"> * 2");
    ExpectValue(Report.Calc(expr), Variant(int32_t(240)), "first");
    Row[QStringLiteral("price")] = Variant(int32_t(5));
    ExpectValue(Report.Calc(expr), Variant(int32_t(10)), "cached");
    EXPECT_EQ(Report.ExpressionCache()->Count(), 1);
    Report.ExpressionCache()->SetScriptLanguage(QStringLiteral("Nonsense"));
    ExpectValue(Report.Calc(expr), Variant(int32_t(10)), "no second compilation");

    // Preparing again forgets it and takes the report's language back.
    EXPECT_TRUE(Report.PrepareScript());
    EXPECT_EQ(Report.ExpressionCache()->Count(), 0);
    EXPECT_EQ(Report.ExpressionCache()->ScriptLanguage(), QStringLiteral("PascalScript"));
    ExpectValue(Report.Calc(expr), Variant(int32_t(10)), "compiled again");
    EXPECT_EQ(Report.ExpressionCache()->Count(), 1);
}

TEST_F(ReportCalc, FieldReferencesAndNullConversion)
{
    Row = { { QStringLiteral("price"), Variant::Null() }, { QStringLiteral("descr"), Variant::Null() },
        { QStringLiteral("paid"), Variant::Null() } };
    struct Case {
        const char* Expr;
        bool ConvertNulls;
        Variant Expected;
    } cases[] = {
        { "rpDBDataset1.\"price\"", true, Variant(int32_t(0)) },
        { "rpDBDataset1.\"descr\"", true, Variant(QString()) },
        { "rpDBDataset1.\"paid\"", true, Variant(false) },
        { "rpDBDataset1.\"price\"", false, Variant::Null() },
        { "rpDBDataset1.\"descr\"", false, Variant::Null() },
        // Through the script: Get reaches the same fast path.
        { "<rpDBDataset1.\"descr\"> + 'x'", true, Variant("x") },
        { "<RPDBDATASET1.\"price\"> + 1", true, Variant(int32_t(1)) },
    };
    for (const Case& c : cases) {
        Report.EngineOptions()->SetConvertNulls(c.ConvertNulls);
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.Expected, c.Expr);
    }
    Row[QStringLiteral("price")] = Variant(int32_t(70));
    ExpectValue(Report.Calc(QStringLiteral("rpDBDataset1.\"price\"")), Variant(int32_t(70)), "a value");
    EXPECT_TRUE(Report.Errors().isEmpty());
}

TEST_F(ReportCalc, DatasetAndFieldSplitting)
{
    struct Case {
        const char* Name;
        TrpDataSet* DataSet;
        const char* Field;
    } cases[] = {
        { "rpDBDataset1.\"price\"", &Data, "price" },
        { "rpdbdataset1.\"a.\"b\"", &Data, "a.\"b" },
        { "Other.\"price\"", nullptr, "price" },
        { "rpDBDataset1.price", nullptr, "" },
        { "", nullptr, "" },
    };
    for (const Case& c : cases) {
        TrpDataSet* set = &Data;
        QString field = QStringLiteral("stale");
        Report.GetDatasetAndField(QString::fromUtf8(c.Name), set, field);
        EXPECT_EQ(set, c.DataSet) << c.Name;
        EXPECT_EQ(field, QString::fromUtf8(c.Field)) << c.Name;
    }
}

TEST(ReportCalcTable, FieldOfTheExpenseTableThroughTheBridge)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath(QStringLiteral("log.mdb"));
    CreateExpenseLogFile(file);
    {
        TDbConnection c;
        c.Open(file);
        c.Execute(QStringLiteral("INSERT INTO table1 (car, partname, price) VALUES ('Lada', 'filter', 250)"));
    }
    TDbTable table(QStringLiteral("ADOTable1"));
    table.SetDatabaseFile(file);
    table.SetTableName(ExpenseTableName);
    table.Open();
    TrpReport report;
    TrpDBDataset set;
    set.SetName(QStringLiteral("rpDBDataset1"));
    set.SetDataSet(&table);
    report.DataSets().Add(&set);
    set.SetReportRef(&report);
    set.Initialize();
    ASSERT_TRUE(report.PrepareScript());

    ExpectValue(report.Calc(QStringLiteral("<rpDBDataset1.\"price\"> * 2")), Variant(int32_t(500)), "price");
    // descr is NULL in this row: a text field becomes empty text.
    ExpectValue(report.Calc(QStringLiteral("rpDBDataset1.\"descr\"")), Variant(QString()), "converted");
    report.EngineOptions()->SetConvertNulls(false);
    ExpectValue(report.Calc(QStringLiteral("rpDBDataset1.\"descr\"")), Variant::Null(), "kept");
    EXPECT_TRUE(report.Errors().isEmpty()) << report.Errors().join(u'|').toStdString();
    set.Finalize();
}

TEST_F(ReportCalc, UnknownReferenceIsListedAndReadsAsNull)
{
    Report.CurObject = QStringLiteral("Memo1");
    ExpectValue(Report.Calc(QStringLiteral("<Foo>")), Variant::Null(), "value");
    ExpectValue(Report.Calc(QStringLiteral("IIF(<Bar> = Null, 'none', 'some')")), Variant("none"), "goes on");
    EXPECT_EQ(Report.Errors(),
        (QStringList { QStringLiteral("Unknown variable or datafield: Bar"),
            QStringLiteral("Unknown variable or datafield: Foo") }));
}

TEST_F(ReportCalc, ReportVariables)
{
    TrpVariables& v = Report.Variables();
    v.Add(QStringLiteral(" Totals"), QString());
    v.Add(QStringLiteral("Rate"), QStringLiteral("1.5"));
    v.Add(QStringLiteral("Twice"), QStringLiteral("<Rate> * 2"));
    v.Add(QStringLiteral("Note"), QStringLiteral("<Rate>\r\nsecond line"));
    v.Add(QStringLiteral("Empty"), QString());
    v.Add(QStringLiteral("Loop"), QStringLiteral("<Again>"));
    v.Add(QStringLiteral("Again"), QStringLiteral("<Loop> + 1"));
    struct Case {
        const char* Expr;
        Variant Expected;
    } cases[] = {
        { "Rate", Variant(1.5) },
        { "rate", Variant(1.5) },
        { "<Twice> + 1", Variant(4.0) },
        { "Note", Variant("<Rate>\r\nsecond line") },
        { "<Empty>", Variant::Null() },
        // The cycle ends at the variable met again: it is unknown there.
        { "<Loop>", Variant::Null() },
    };
    for (const Case& c : cases)
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.Expected, c.Expr);
    EXPECT_EQ(Report.Errors(), QStringList { QStringLiteral("Unknown variable or datafield: Loop") });
}

TEST_F(ReportCalc, SetKeepsTheValueAndGetReadsItBack)
{
    Report.Variables().Add(QStringLiteral("Total"), QStringLiteral("1 + 1"));
    Report.SetScriptText({ QStringLiteral("var Counter: Integer;"), QStringLiteral("begin"),
        QStringLiteral("  Counter := 7;"), QStringLiteral("  Set('Total', 5);"),
        QStringLiteral("  Set('Ratio', 2.5);"), QStringLiteral("  Set('Name', '''abc''');"),
        QStringLiteral("  Set('When', Null);"), QStringLiteral("end.") });
    ASSERT_TRUE(Report.PrepareScript()) << Report.Errors().join(u'|').toStdString();
    ASSERT_TRUE(Report.Script()->Execute()) << Report.Script()->ErrorMsg().toStdString();

    struct Case {
        const char* Expr;
        Variant Expected;
    } cases[] = {
        { "<Total>", Variant(int32_t(5)) },
        { "Ratio", Variant(2.5) },
        { "<Name> + 'd'", Variant("abcd") },
        { "<When>", Variant::Null() },
        // Script variables are read too.
        { "Counter", Variant(int32_t(7)) },
        { "Counter + 1", Variant(int32_t(8)) },
    };
    for (const Case& c : cases)
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.Expected, c.Expr);
    // A known entry keeps its place; new ones go to the end, with a text form.
    const TrpVariables& v = Report.Variables();
    ASSERT_EQ(v.Count(), 4);
    EXPECT_EQ(v.Items(0).Name, QStringLiteral("Total"));
    EXPECT_EQ(v.Items(0).Value, QStringLiteral("5"));
    EXPECT_EQ(v.Items(3).Name, QStringLiteral("When"));
    // A template value set afterwards is an expression again.
    Report.Variables().Add(QStringLiteral("Total"), QStringLiteral("2 * 3"));
    ExpectValue(Report.Calc(QStringLiteral("Total")), Variant(int32_t(6)), "text again");
}

TEST_F(ReportCalc, IIFEvaluatesOnlyTheChosenBranch)
{
    struct Case {
        const char* Expr;
        Variant Expected;
        QStringList Errors;
    } cases[] = {
        { "IIF(1 = 1, 10, <Foo>)", Variant(int32_t(10)), {} },
        { "IIF(1 = 2, 1 div 0, 'no')", Variant("no"), {} },
        { "IIF(<rpDBDataset1.\"price\"> > 100, 'big', <Foo>)", Variant("big"), {} },
        // A failing chosen branch is listed but does not stop the caller.
        { "IIF(True, 1 div 0, 0)", Variant::Null(), { QStringLiteral("Division by zero") } },
        { "IIF(False, 0, <Foo>)", Variant::Null(), { QStringLiteral("Unknown variable or datafield: Foo") } },
    };
    for (const Case& c : cases) {
        Report.ClearErrors();
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.Expected, c.Expr);
        EXPECT_EQ(Report.Errors(), c.Errors) << c.Expr;
    }
}

TEST_F(ReportCalc, SystemVariablesComeFromTheEngine)
{
    rpGlobalVariables().Add(QStringLiteral("CopyName0"), QStringLiteral("Original"));
    FakeEngine engine(&Report);
    engine.SetStart(46000, 0.5);
    engine.Logical = 2;
    engine.LogicalTotal = 7;
    engine.Physical = 2;
    engine.SetPass(true, 9);
    engine.SetCurLine(4, 14);
    struct Case {
        const char* Expr;
        Variant WithEngine, WithoutEngine;
    } cases[] = {
        { "Date", Variant::Date(46000), Variant::Null() },
        { "TIME", Variant::Date(0.5), Variant::Null() },
        { "Page", Variant(int32_t(2)), Variant(int32_t(0)) },
        { "Page#", Variant(int32_t(3)), Variant(int32_t(0)) },
        { "totalpages", Variant(int32_t(7)), Variant(int32_t(0)) },
        { "TotalPages#", Variant(int32_t(9)), Variant(int32_t(0)) },
        { "Line", Variant(int32_t(4)), Variant(int32_t(0)) },
        { "Line#", Variant(int32_t(14)), Variant(int32_t(0)) },
        { "CopyName#", Variant("Original"), Variant("Original") },
        { "<Page#> + 1", Variant(int32_t(4)), Variant(int32_t(1)) },
    };
    for (const Case& c : cases) {
        Report.SetEngine(&engine);
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.WithEngine, c.Expr);
        Report.SetEngine(nullptr);
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.WithoutEngine, c.Expr);
    }
    rpGlobalVariables().Delete(rpGlobalVariables().IndexOf(QStringLiteral("CopyName0")));
    ExpectValue(Report.Calc(QStringLiteral("CopyName#")), Variant::Null(), "no copy name");
}

TEST_F(ReportCalc, LookupOrderOfNames)
{
    // A name known at several levels: the earlier level answers.
    Report.Variables().Add(QStringLiteral("Shared"), QStringLiteral("'report'"));
    Report.Variables().Add(QStringLiteral("Page"), QStringLiteral("'report'"));
    rpGlobalVariables().Add(QStringLiteral("Shared"), QStringLiteral("global"));
    rpGlobalVariables().Add(QStringLiteral("OnlyGlobal"), QStringLiteral("1 + 1"));
    QStringList asked;
    Report.OnGetValue = [&](const QString& Name, Variant& Value) {
        asked << Name;
        if (Name == QLatin1String("Host"))
            Value = Variant(int32_t(1));
    };
    Report.OnNewGetValue = [&](TrpReport* Sender, const QString& Name, Variant& Value) {
        EXPECT_EQ(Sender, &Report);
        if (Name == QLatin1String("Shared") || Name == QLatin1String("Host"))
            Value = Variant(Value.IsEmpty() ? "new" : "both");
    };
    struct Case {
        const char* Expr;
        Variant Expected;
    } cases[] = {
        { "Page", Variant(int32_t(0)) }, // system variable first
        { "Host", Variant("both") }, // the newer event sees the older's answer
        { "Shared", Variant("new") }, // host before report variables
        { "OnlyGlobal", Variant("1 + 1") }, // taken as it is
        { "True", Variant(true) }, // script constant
    };
    for (const Case& c : cases)
        ExpectValue(Report.Calc(QString::fromUtf8(c.Expr)), c.Expected, c.Expr);
    EXPECT_FALSE(asked.contains(QStringLiteral("Page")));
    rpGlobalVariables().Delete(rpGlobalVariables().IndexOf(QStringLiteral("Shared")));
    rpGlobalVariables().Delete(rpGlobalVariables().IndexOf(QStringLiteral("OnlyGlobal")));
}

TEST_F(ReportCalc, BoundObjectsAndPreparingAgain)
{
    // A band name gives back the band; the report and objects are bound by name.
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("MasterData1"))), Band);
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("Report"))), &Report);
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("memo1"))), Footer->Objects(0));
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("Engine"))), nullptr);

    EXPECT_TRUE(Report.PrepareScript());
    const QStringList names = { QStringLiteral("Get"), QStringLiteral("Set"), QStringLiteral("IIF"),
        QStringLiteral("SUM"), QStringLiteral("AVG"), QStringLiteral("MIN"), QStringLiteral("MAX"),
        QStringLiteral("COUNT"), QStringLiteral("Report"), QStringLiteral("Engine"),
        QStringLiteral("Outline"), QStringLiteral("Value"), QStringLiteral("Self"),
        QStringLiteral("MasterData1"), QStringLiteral("Memo1") };
    for (const QString& name : names) {
        int copies = 0;
        for (int i = 0; i < Report.Script()->Count(); ++i)
            copies += Report.Script()->Items(i)->Name().compare(name, Qt::CaseInsensitive) == 0;
        EXPECT_EQ(copies, 1) << name.toStdString();
    }
    auto* sum = dynamic_cast<TscMethodHelper*>(Report.Script()->FindLocal(QStringLiteral("SUM")));
    ASSERT_NE(sum, nullptr);
    EXPECT_EQ(sum->Syntax,
        QStringLiteral("macrofunction SUM(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant"));
    EXPECT_EQ(Report.Script()->FindLocal(QStringLiteral("MasterData1"))->TypeName(),
        QStringLiteral("TrpMasterData"));

    // A removed band is gone from the script after preparing, and a value
    // kept from before no longer leads to it.
    const Variant kept = Report.Calc(QStringLiteral("MasterData1"));
    Band->Parent()->DeleteObject(Band);
    EXPECT_EQ(Report.ComponentOf(kept), nullptr);
    EXPECT_TRUE(Report.PrepareScript());
    EXPECT_EQ(Report.Script()->FindLocal(QStringLiteral("MasterData1")), nullptr);
    // Objects added later are bound at the next preparation.
    auto* second = Footer->Page()->Create<TrpMasterData>();
    second->SetName(QStringLiteral("MasterData2"));
    EXPECT_TRUE(Report.PrepareScript());
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("MasterData2"))), second);
    EXPECT_EQ(Report.ComponentOf(Report.Calc(QStringLiteral("Memo1"))), Footer->Objects(0));
}

TEST_F(ReportCalc, ScriptCompileErrorIsListed)
{
    Report.SetScriptText(
        { QStringLiteral("begin"), QStringLiteral("  Nothing := 1;"), QStringLiteral("end.") });
    EXPECT_FALSE(Report.PrepareScript());
    ASSERT_EQ(Report.Errors().size(), 1);
    EXPECT_TRUE(Report.Errors()[0].startsWith(QStringLiteral("Error in report script at 2:")))
        << Report.Errors()[0].toStdString();
    EXPECT_TRUE(Report.Errors()[0].endsWith(QStringLiteral("Undeclared identifier: 'Nothing'")))
        << Report.Errors()[0].toStdString();
    // Expressions still work with the names bound before the failure.
    ExpectValue(
        Report.Calc(QStringLiteral("<rpDBDataset1.\"price\"> + 1")), Variant(int32_t(121)), "still usable");
}
