// Report data sets: the base cursor (ranges, events, naming), the data set
// fed by events, the process-wide list, and the bridge over the expense
// table: walks, ranges, values, aliases, missing fields, hooks, and links to
// tables that are closed, reopened or destroyed while bound.
#include "qt_print.h"
#include "rpDBSet.h"
#include "rpRes.h"
#include "rpXMLSerializer.h"

#include "DbDataSource.h"
#include "ExpenseDatabase.h"
#include "error_text.h"
#include "expense_log.h"

#include <QBuffer>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

// Display texts of one field over a walk the way the band engine does it:
// First, then Eof and Next until Eof answers true (bounded, so a fault
// that never ends the walk fails the test instead of hanging it).
QStringList Walk(TrpDataSet& DataSet, const QString& Field)
{
    QStringList texts;
    DataSet.First();
    while (!DataSet.Eof() && texts.size() < 100) {
        texts << DataSet.GetDisplayText(Field);
        DataSet.Next();
    }
    return texts;
}

QStringList Parts(std::initializer_list<int> Numbers)
{
    QStringList r;
    for (int n : Numbers)
        r << QStringLiteral("part %1").arg(n);
    return r;
}

// The program's set-up: ten expense rows in ADOTable1, DataSource1 over it,
// rpDBDataset1 reading through DataSource1 with CloseDataSource false, and a
// report whose error list receives missing-field messages. Row n (1..10) has
// car "Lada" for odd n and "Volga" for even n, partname "part n", mileage
// n * 1000, price (11 - n) * 10, and descr "job n" except row 3 (NULL).
class DataSetBridge : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(Dir.isValid());
        File = Dir.filePath(QStringLiteral("log.mdb"));
        CreateExpenseLogFile(File);
        TDbConnection c;
        c.Open(File);
        auto insert = c.Prepare(QStringLiteral(
            "INSERT INTO table1 (car, partname, jobdate, mileage, descr, price) VALUES (?, ?, ?, ?, ?, ?)"));
        for (int n = 1; n <= 10; ++n) {
            insert->Bind(1, TDbValue::Text(n % 2 ? QStringLiteral("Lada") : QStringLiteral("Volga")));
            insert->Bind(2, TDbValue::Text(QStringLiteral("part %1").arg(n)));
            insert->Bind(3, TDbValue::Text(QStringLiteral("%1.01.2024").arg(n, 2, 10, QLatin1Char('0'))));
            insert->Bind(4, TDbValue::Integer(n * 1000));
            insert->Bind(5, n == 3 ? TDbValue() : TDbValue::Text(QStringLiteral("job %1").arg(n)));
            insert->Bind(6, TDbValue::Integer((11 - n) * 10));
            insert->Step();
            insert->Reset();
        }
        Table = std::make_unique<TDbTable>(QStringLiteral("ADOTable1"));
        Table->SetDatabaseFile(File);
        Table->SetTableName(ExpenseTableName);
        // The window's own handlers, which the bridge must keep working.
        Table->SetAfterOpen([this](TDbTable&) { ++AppAfterOpen; });
        Table->SetBeforeClose([this](TDbTable&) { ++AppBeforeClose; });
        Table->Open();
        AppAfterOpen = 0;
        Source.SetDataSet(Table.get());

        Report.SetName(QStringLiteral("rpReport1"));
        Set = std::make_unique<TrpDBDataset>();
        Set->SetName(QStringLiteral("rpDBDataset1"));
        Set->SetCloseDataSource(false);
        Set->SetDataSource(&Source);
    }

    // What the report does before its band engine runs.
    void StartRun()
    {
        Set->SetReportRef(&Report);
        Set->Initialize();
    }

    // Moves the table to row n of the current order.
    void GoToRow(int n)
    {
        Table->First();
        Table->MoveBy(n - 1);
    }

    QTemporaryDir Dir;
    QString File;
    std::unique_ptr<TDbTable> Table;
    TDbDataSource Source;
    TrpReport Report;
    std::unique_ptr<TrpDBDataset> Set;
    int AppAfterOpen = 0;
    int AppBeforeClose = 0;
};

} // namespace

// ------------------------------------------------------------ base behaviour

TEST(DataSet, CreationDefaultsAndNaming)
{
    TrpUserDataSet d;
    EXPECT_TRUE(d.Enabled());
    EXPECT_TRUE(d.OpenDataSource());
    EXPECT_FALSE(d.CloseDataSource());
    EXPECT_EQ(d.RangeBegin(), rbFirst);
    EXPECT_EQ(d.RangeEnd(), reLast);
    EXPECT_EQ(d.RangeEndCount(), 0);
    EXPECT_EQ(d.UserName(), QString());

    d.SetName(QStringLiteral("UserDataSet1"));
    EXPECT_EQ(d.UserName(), QStringLiteral("UserDataSet1")) << "a name fills an empty user name";
    d.SetName(QStringLiteral("UserDataSet2"));
    EXPECT_EQ(d.UserName(), QStringLiteral("UserDataSet1")) << "but never replaces one";
}

TEST(DataSet, BlankUserNameIsRefusedWithTheStringTableText)
{
    TrpUserDataSet d;
    d.SetUserName(QStringLiteral("Cars"));
    for (const QString& blank : { QString(), QStringLiteral("   ") }) {
        EXPECT_EQ(ErrorOf([&] { d.SetUserName(blank); }), rpGet(QStringLiteral("prInvProp")));
        EXPECT_EQ(d.UserName(), QStringLiteral("Cars")) << "a refused name changes nothing";
    }
    EXPECT_EQ(rpGet(QStringLiteral("prInvProp")), QStringLiteral("prInvProp"))
        << "the table has no such entry";
    d.SetUserName(QStringLiteral(" Cars 2 "));
    EXPECT_EQ(d.UserName(), QStringLiteral(" Cars 2 ")) << "stored as given";
}

TEST(DataSet, CountRangeEndsTheWalkWithoutOnNext)
{
    TrpUserDataSet d;
    d.SetRangeEnd(reCount);
    d.SetRangeEndCount(3);
    int firsts = 0, nexts = 0;
    d.OnFirst = [&](TrpDataSet*) { ++firsts; };
    d.OnNext = [&](TrpDataSet*) { ++nexts; };
    EXPECT_EQ(d.RecordCount(), 3);

    d.First();
    int rows = 0;
    while (!d.Eof() && rows < 100) {
        ++rows;
        d.Next();
    }
    EXPECT_EQ(rows, 3);
    EXPECT_EQ(d.RecNo(), 2);
    EXPECT_EQ(firsts, 1);
    EXPECT_EQ(nexts, 2) << "the Next that reaches the end fires no OnNext";

    d.Prior();
    EXPECT_EQ(d.RecNo(), 1);

    d.SetRangeBegin(rbCurrent);
    EXPECT_EQ(d.RecordCount(), 0) << "only a range from the first row has a known count";
}

TEST(DataSet, CheckEOFMayChangeTheAnswer)
{
    TrpUserDataSet d; // reLast: the base never ends by itself
    d.First();
    EXPECT_FALSE(d.Eof());
    d.OnCheckEOF = [](TrpDataSet* Sender, bool& Eof) { Eof = Sender->RecNo() >= 2; };
    d.Next();
    EXPECT_FALSE(d.Eof());
    d.Next();
    EXPECT_TRUE(d.Eof());
}

TEST(UserDataSet, ValuesComeFromTheEventsInOrder)
{
    TrpUserDataSet d;
    d.SetFields({ QStringLiteral("Name"), QStringLiteral("Total") });
    EXPECT_EQ(d.FieldsCount(), 2);
    EXPECT_TRUE(d.HasField(QStringLiteral("total")));
    EXPECT_FALSE(d.HasField(QStringLiteral("price")));
    EXPECT_TRUE(d.GetValue(QStringLiteral("Name")).IsNull()) << "no event: Null";
    EXPECT_EQ(d.GetDisplayText(QStringLiteral("Name")), QString());

    QStringList calls;
    d.OnGetValue = [&](const QString& Name, Variant& Value) {
        calls << QStringLiteral("old ") + Name + (Value.IsNull() ? QStringLiteral(" null") : QString());
        Value = Variant(int32_t(7));
    };
    EXPECT_EQ(d.GetValue(QStringLiteral("Total")).AsInteger(), 7);
    d.OnNewGetValue = [&](TrpDataSet* Sender, const QString& Name, Variant& Value) {
        EXPECT_EQ(Sender, &d);
        calls << QStringLiteral("new ") + Name + (Value.IsNull() ? QStringLiteral(" null") : QString());
        if (Name == QStringLiteral("Total"))
            Value = Variant::Add(Value, Variant(int32_t(1)));
    };
    calls.clear();
    EXPECT_EQ(d.GetValue(QStringLiteral("Total")).AsInteger(), 8)
        << "the second event sees the first's value";
    EXPECT_EQ(calls, QStringList({ QStringLiteral("old Total null"), QStringLiteral("new Total") }));

    calls.clear();
    EXPECT_EQ(d.GetDisplayText(QStringLiteral("Name")), QString()) << "the last event's value, as text";
    EXPECT_EQ(calls, QStringList({ QStringLiteral("old Name null"), QStringLiteral("new Name null") }))
        << "each event starts from Null for a display text";
}

// ---------------------------------------------------------- process-wide list

TEST(DataSetList, LookupByUserName)
{
    TrpReport mine, other;
    mine.SetName(QStringLiteral("Mine"));
    other.SetName(QStringLiteral("Other"));
    auto* page = other.Create<TrpDataPage>();
    auto* othersSet = page->Create<TrpUserDataSet>();
    othersSet->SetUserName(QStringLiteral("Shared"));
    TrpUserDataSet windowsSet; // belongs to no report, like rpDBDataset1
    windowsSet.SetUserName(QStringLiteral("shared"));
    TrpUserDataSet current;
    current.SetUserName(QStringLiteral("Current"));

    struct Case {
        const char* why;
        QString name;
        const TrpComponent* owner;
        TrpDataSet* expected;
    } cases[] = {
        { "an empty name finds nothing", QString(), &mine, nullptr },
        { "without a searcher the current one is kept", QStringLiteral("Shared"), nullptr, &current },
        { "another report's data set is skipped", QStringLiteral("SHARED"), &mine, &windowsSet },
        { "a report finds its own data set first in list order", QStringLiteral("shared"), &other,
            othersSet },
        { "a searcher that is no report skips nothing", QStringLiteral("Shared"), page, othersSet },
        { "no match keeps the current one", QStringLiteral("Nowhere"), &mine, &current },
    };
    for (const Case& c : cases)
        EXPECT_EQ(rpFindDataSet(&current, c.name, c.owner), c.expected) << c.why;
}

TEST(DataSetList, MembershipFollowsLifetimeAndTheDesignerListTakesEnabledNamedSets)
{
    auto contains = [](const std::vector<TrpDataSet*>& List, const TrpDataSet* D) {
        return std::find(List.begin(), List.end(), D) != List.end();
    };
    TrpUserDataSet named, nameless, disabled;
    named.SetUserName(QStringLiteral("Named"));
    disabled.SetUserName(QStringLiteral("Disabled"));
    disabled.SetEnabled(false);
    const std::vector<TrpDataSet*> designer = rpEnabledDataSets();
    EXPECT_TRUE(contains(designer, &named));
    EXPECT_FALSE(contains(designer, &nameless));
    EXPECT_FALSE(contains(designer, &disabled));

    const TrpDataSet* gone;
    {
        TrpUserDataSet temporary;
        gone = &temporary;
        EXPECT_TRUE(contains(rpDataSetList(), gone));
    }
    EXPECT_FALSE(contains(rpDataSetList(), gone));
}

TEST(DataSetList, TemplateBandFindsTheWindowsDataSetThroughTheGlobalList)
{
    TrpDBDataset windowsSet;
    windowsSet.SetName(QStringLiteral("rpDBDataset1"));
    TrpReport report;
    auto* band = report.Create<TrpReportPage>()->Create<TrpMasterData>();
    band->SetDataSetName(QStringLiteral("RPDBDATASET1"));
    EXPECT_EQ(band->DataSet(), &windowsSet);

    report.EngineOptions()->SetUseGlobalDataSetList(false);
    band->SetDataSetName(QStringLiteral("rpDBDataset1"));
    EXPECT_EQ(band->DataSet(), nullptr) << "only the report's own list, which lacks it";
    report.DataSets().Add(&windowsSet);
    band->SetDataSetName(QStringLiteral("rpDBDataset1"));
    EXPECT_EQ(band->DataSet(), &windowsSet);
}

// Views, data bands, pages and the report link to a set without owning it:
// once the set is destroyed the link reads none, keeps the name, and a set
// of that name made later is found again.
TEST(DataSetList, LinksReadNoneOnceTheSetIsDestroyed)
{
    TrpReport report;
    report.EngineOptions()->SetUseGlobalDataSetList(false);
    auto* page = report.Create<TrpReportPage>();
    auto* band = page->Create<TrpMasterData>();
    auto* memo = band->Create<TrpMemoView>();
    memo->SetDataField(QStringLiteral("price"));
    {
        TrpUserDataSet rows;
        rows.SetUserName(QStringLiteral("Rows"));
        report.DataSets().Add(&rows);
        report.SetDataSet(&rows);
        page->SetDataSet(&rows);
        band->SetDataSet(&rows);
        memo->SetDataSet(&rows);
        EXPECT_TRUE(memo->IsDataField());
    }
    EXPECT_EQ(report.DataSet(), nullptr);
    EXPECT_EQ(page->DataSet(), nullptr);
    EXPECT_EQ(band->DataSet(), nullptr);
    EXPECT_EQ(memo->DataSet(), nullptr);
    EXPECT_FALSE(memo->IsDataField());
    EXPECT_EQ(report.DataSets().Items(0).DataSet(), nullptr);
    for (const QString& name : { report.DataSetName(), page->DataSetName(), band->DataSetName(),
             memo->DataSetName(), report.DataSets().Items(0).DataSetName() })
        EXPECT_EQ(name, QStringLiteral("Rows"));
    EXPECT_EQ(report.DataSets().Missing(), QStringList { QStringLiteral("Rows") });

    TrpUserDataSet again;
    again.SetUserName(QStringLiteral("Rows"));
    report.DataSets().Initialize();
    EXPECT_EQ(report.DataSets().Items(0).DataSet(), &again);
    EXPECT_EQ(again.ReportRef(), &report);
    band->SetDataSetName(band->DataSetName());
    EXPECT_EQ(band->DataSet(), &again);
    report.DataSets().Finalize();
    EXPECT_TRUE(report.DataSets().Missing().isEmpty());
}

// With DestroyForms the template is saved before a run and read back after
// it; the data-set list must still reach the window's data set afterwards.
TEST(DataSetList, ReloadedTemplateKeepsItsDataSetLink)
{
    TrpDBDataset windowsSet;
    windowsSet.SetName(QStringLiteral("rpDBDataset1"));

    TrpReport report;
    report.EngineOptions()->SetUseGlobalDataSetList(false);
    report.DataSets().Add(&windowsSet);
    auto* band = report.Create<TrpReportPage>()->Create<TrpMasterData>();
    band->SetDataSetName(QStringLiteral("rpDBDataset1"));
    ASSERT_EQ(band->DataSet(), &windowsSet);

    for (int run = 0; run < 2; ++run) {
        QBuffer saved;
        saved.open(QIODevice::WriteOnly);
        report.SaveToStream(saved);
        saved.close();
        saved.open(QIODevice::ReadOnly);
        report.LoadFromStream(saved);
        ASSERT_EQ(report.DataSets().Count(), 1);
        EXPECT_EQ(report.DataSets().Items(0).DataSet(), &windowsSet) << "run " << run;
        EXPECT_TRUE(report.DataSets().Missing().isEmpty());
        auto* reread = dynamic_cast<TrpMasterData*>(report.Objects(0)->Objects(0));
        ASSERT_NE(reread, nullptr);
        EXPECT_EQ(reread->DataSet(), &windowsSet) << "run " << run;
        EXPECT_TRUE(report.Errors().isEmpty()) << qPrintable(report.Errors().join(u'\n'));
    }
}

// --------------------------------------------------------------- persistence

TEST(DataSetStorage, PublishedPropertiesRoundTrip)
{
    TrpReport report;
    auto* page = report.Create<TrpDataPage>();
    auto owned = std::make_unique<TrpDBDataset>();
    TrpDBDataset* d = owned.get();
    d->SetUserName(QStringLiteral("Expenses"));
    d->SetEnabled(false);
    d->SetRangeBegin(rbCurrent);
    d->SetRangeEnd(reCount);
    d->SetRangeEndCount(3);
    d->SetCloseDataSource(true);
    d->SetOpenDataSource(false);
    d->SetBCDToCurrency(true);
    d->SetFieldAliases({ QStringLiteral("partname=Part"), QStringLiteral("-descr=Note") });

    TrpXMLSerializer s;
    const QString text = s.WriteComponentStr(d);
    for (const char* attribute : { "UserName=\"Expenses\"", "Enabled=\"False\"", "RangeBegin=\"rbCurrent\"",
             "RangeEnd=\"reCount\"", "RangeEndCount=\"3\"", "CloseDataSource=\"True\"",
             "OpenDataSource=\"False\"", "BCDToCurrency=\"True\"" })
        EXPECT_TRUE(text.contains(QString::fromLatin1(attribute)))
            << attribute << " in " << text.toStdString();

    auto* read = dynamic_cast<TrpDBDataset*>(s.ReadComponentStr(page, text));
    ASSERT_NE(read, nullptr);
    EXPECT_EQ(read->UserName(), QStringLiteral("Expenses"));
    EXPECT_FALSE(read->Enabled());
    EXPECT_EQ(read->RangeBegin(), rbCurrent);
    EXPECT_EQ(read->RangeEnd(), reCount);
    EXPECT_EQ(read->RangeEndCount(), 3);
    EXPECT_TRUE(read->CloseDataSource());
    EXPECT_FALSE(read->OpenDataSource());
    EXPECT_TRUE(read->BCDToCurrency());
    EXPECT_EQ(read->FieldAliases(), d->FieldAliases());
    EXPECT_EQ(s.WriteComponentStr(read), text);

    TrpUserDataSet fresh;
    for (const char* name : { "Enabled", "Range", "UserName", "Fields" })
        EXPECT_FALSE(s.WriteComponentStr(&fresh).contains(QString::fromLatin1(name)))
            << "defaults are not written";
    fresh.SetFields({ QStringLiteral("a"), QStringLiteral("b") });
    auto* user = dynamic_cast<TrpUserDataSet*>(s.ReadComponentStr(page, s.WriteComponentStr(&fresh)));
    ASSERT_NE(user, nullptr);
    EXPECT_EQ(user->Fields(), fresh.Fields());
}

// ------------------------------------------------------------------- bridge

TEST_F(DataSetBridge, NoTableToBindIsTheNotConnectedError)
{
    TrpDBDataset d;
    d.SetName(QStringLiteral("rpDBDataset2"));
    EXPECT_EQ(
        ErrorOf([&] { d.Initialize(); }), QStringLiteral("DataSet rpDBDataset2 is not connected to data"));
    EXPECT_EQ(ErrorOf([&] { d.First(); }), QStringLiteral("DataSet rpDBDataset2 is not connected to data"));
    EXPECT_EQ(d.GetFieldType(QStringLiteral("car")), fftNumeric);
    EXPECT_EQ(d.GetDisplayWidth(QStringLiteral("car")), 10);
    d.Finalize(); // nothing to put back
}

TEST_F(DataSetBridge, FullWalkLeavesTheTableOpenOnItsLastRow)
{
    GoToRow(4);
    StartRun();
    int opens = 0, closes = 0;
    Set->OnOpen = [&](TrpDataSet*) { ++opens; };
    Set->OnClose = [&](TrpDataSet*) { ++closes; };
    EXPECT_FALSE(Set->Initialized()) << "opening waits for the first data request";
    EXPECT_EQ(Walk(*Set, QStringLiteral("partname")), Parts({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }));
    EXPECT_TRUE(Set->Initialized());
    EXPECT_EQ(Set->RecNo(), 10) << "the Next that runs off the end still counts";
    EXPECT_EQ(opens, 1);
    Set->Finalize();
    EXPECT_EQ(closes, 0);
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(Table->RecNo(), 10);
    EXPECT_EQ(Set->ReportRef(), nullptr);
    EXPECT_EQ(AppBeforeClose, 0);
}

TEST_F(DataSetBridge, CountRangeOfThreeOverTenRows)
{
    Set->SetRangeEnd(reCount);
    Set->SetRangeEndCount(3);
    StartRun();
    Set->First();
    QStringList seen;
    for (int i = 0; i < 3; ++i) {
        EXPECT_FALSE(Set->Eof()) << i;
        seen << Set->GetDisplayText(QStringLiteral("partname"));
        Set->Next();
    }
    EXPECT_TRUE(Set->Eof());
    EXPECT_EQ(Set->RecNo(), 2);
    EXPECT_EQ(seen, Parts({ 1, 2, 3 }));
    EXPECT_EQ(Set->RecordCount(), 10) << "the bridge answers the table's own count";
    Set->Finalize();
}

TEST_F(DataSetBridge, CurrentRowRangesAndTheReturnAtFinalize)
{
    struct Case {
        const char* why;
        TrpRangeBegin begin;
        TrpRangeEnd end;
        QStringList rows;
        int rowAfterFinalize; // after the table was moved to the last row
    } cases[] = {
        { "the current row alone", rbCurrent, reCurrent, Parts({ 4 }), 4 },
        { "from the current row to the end", rbCurrent, reLast, Parts({ 4, 5, 6, 7, 8, 9, 10 }), 4 },
        { "from the first row to the current one", rbFirst, reCurrent, Parts({ 1, 2, 3, 4 }), 4 },
        { "the full range remembers nothing", rbFirst, reLast, Parts({ 1, 2, 3, 4, 5, 6, 7, 8, 9, 10 }), 10 },
    };
    for (const Case& c : cases) {
        GoToRow(4);
        Set->SetRangeBegin(c.begin);
        Set->SetRangeEnd(c.end);
        StartRun();
        EXPECT_EQ(Walk(*Set, QStringLiteral("partname")), c.rows) << c.why;
        Table->Last(); // as a group footer's look-ahead may leave it
        Set->Finalize();
        EXPECT_EQ(Table->RecNo(), c.rowAfterFinalize) << c.why;
    }
}

TEST_F(DataSetBridge, FinalizeSkipsARememberedRowThatLeftTheView)
{
    GoToRow(4);
    Set->SetRangeBegin(rbCurrent);
    Set->SetRangeEnd(reCurrent);
    StartRun();
    EXPECT_EQ(Walk(*Set, QStringLiteral("car")), QStringList { QStringLiteral("Volga") });
    Table->SetFilter(QStringLiteral("car = 'Lada'"));
    Table->SetFiltered(true);
    Set->Finalize(); // row 4 is a Volga row: no longer in view
    Set.reset();
    Table->Close();
    EXPECT_EQ(AppBeforeClose, 1) << "the window's handler is back";
}

TEST_F(DataSetBridge, ValuesByFieldKind)
{
    StartRun();
    Set->First();
    Set->Next();
    Set->Next(); // row 3: descr is NULL
    const Variant car = Set->GetValue(QStringLiteral("CAR"));
    EXPECT_EQ(car.VarKind(), Variant::vkString);
    EXPECT_EQ(car.AsString(), QStringLiteral("Lada"));
    const Variant mileage = Set->GetValue(QStringLiteral("mileage"));
    EXPECT_EQ(mileage.VarKind(), Variant::vkInteger);
    EXPECT_EQ(mileage.AsInteger(), 3000);
    EXPECT_EQ(Set->GetValue(QStringLiteral("id")).VarKind(), Variant::vkInteger);
    EXPECT_EQ(Set->GetValue(QStringLiteral("price")).AsInteger(), 80);
    EXPECT_TRUE(Set->GetValue(QStringLiteral("descr")).IsNull()) << "an empty column is Null, not empty text";
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("descr")), QString());
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("mileage")), QStringLiteral("3000"));
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("jobdate")), QStringLiteral("03.01.2024"));

    QStringList fields;
    Set->GetFieldList(fields);
    EXPECT_EQ(fields, QStringList({ "id", "car", "partname", "jobdate", "mileage", "descr", "price" }));
    EXPECT_EQ(Set->FieldsCount(), 7);
    EXPECT_TRUE(Set->HasField(QStringLiteral("Price")));

    struct Kind {
        const char* field;
        TrpFieldType type;
        int width;
    } kinds[] = { { "car", fftString, 200 }, { "descr", fftString, 200 }, { "price", fftNumeric, 11 },
        { "id", fftNumeric, 11 }, { "colour", fftNumeric, 10 } };
    for (const Kind& k : kinds) {
        EXPECT_EQ(Set->GetFieldType(QString::fromLatin1(k.field)), k.type) << k.field;
        EXPECT_EQ(Set->GetDisplayWidth(QString::fromLatin1(k.field)), k.width) << k.field;
    }
    EXPECT_FALSE(Set->IsBlobField(QStringLiteral("descr"))) << "the table layer has no BLOB columns";
    EXPECT_FALSE(Set->IsHasMaster());
    Set->Finalize();
}

TEST_F(DataSetBridge, WideIntegersBecomeInt64Values)
{
    TDbConnection c;
    c.Open(File);
    c.Execute(QStringLiteral("CREATE TABLE counters (id INTEGER PRIMARY KEY AUTOINCREMENT, n INTEGER)"));
    c.Execute(QStringLiteral("INSERT INTO counters (n) VALUES (5000000000), (-7)"));
    TDbTable counters(QStringLiteral("Counters"));
    counters.SetDatabaseFile(File);
    counters.SetTableName(QStringLiteral("counters"));
    TrpDBDataset d;
    d.SetName(QStringLiteral("Counters1"));
    d.SetDataSet(&counters);
    d.Initialize();
    d.First();
    EXPECT_TRUE(counters.Active()) << "Open opens a closed table";
    EXPECT_EQ(d.GetValue(QStringLiteral("n")).VarKind(), Variant::vkInt64);
    EXPECT_EQ(d.GetValue(QStringLiteral("n")).AsInt64(), 5000000000LL);
    d.Next();
    EXPECT_EQ(d.GetValue(QStringLiteral("n")).VarKind(), Variant::vkInteger);
    d.Finalize();
}

TEST_F(DataSetBridge, AliasesRenameAndHideFields)
{
    Set->SetFieldAliases(
        { QStringLiteral("partname=Part"), QStringLiteral("-descr=Note"), QStringLiteral("price=Cost") });
    StartRun();
    QStringList fields;
    Set->GetFieldList(fields);
    EXPECT_EQ(fields, QStringList({ QStringLiteral("Part"), QStringLiteral("Cost") }));
    EXPECT_EQ(Set->FieldsCount(), 2);
    EXPECT_EQ(Set->ConvertAlias(QStringLiteral("part")), QStringLiteral("partname"));
    EXPECT_EQ(Set->GetAlias(QStringLiteral("PARTNAME")), QStringLiteral("Part"));
    EXPECT_EQ(Set->ConvertAlias(QStringLiteral("car")), QStringLiteral("car"));

    Set->First();
    EXPECT_EQ(Set->GetValue(QStringLiteral("Part")).AsString(), QStringLiteral("part 1"));
    EXPECT_EQ(Set->GetValue(QStringLiteral("cost")).AsInteger(), 100);
    EXPECT_EQ(Set->GetFieldType(QStringLiteral("Part")), fftString);
    EXPECT_EQ(Set->GetDisplayWidth(QStringLiteral("Cost")), 11);
    EXPECT_TRUE(Set->GetValue(QStringLiteral("Note")).IsNull()) << "a hidden field is not in the map";
    EXPECT_TRUE(Set->GetValue(QStringLiteral("partname")).IsNull())
        << "with aliases only the aliases are mapped";
    Set->Finalize();
}

TEST_F(DataSetBridge, ANameAskedAgainFollowsTheCurrentFieldMap)
{
    // Callers keep asking with the same string object; a remapped alias
    // must still be read from its new column.
    const QString item = QStringLiteral("Item");
    Set->SetFieldAliases({ QStringLiteral("partname=Item") });
    StartRun();
    Set->First();
    EXPECT_EQ(Set->GetValue(item).AsString(), QStringLiteral("part 1"));
    EXPECT_EQ(Set->GetValue(item).AsString(), QStringLiteral("part 1"));
    Set->Finalize();

    Set->SetFieldAliases({ QStringLiteral("descr=Item") });
    StartRun();
    Set->First();
    EXPECT_EQ(Set->GetValue(item).AsString(), QStringLiteral("job 1"));
    Table->Close();
    EXPECT_EQ(Set->GetValue(item).AsString(), QStringLiteral("job 1")) << "reopened on demand";
    Set->Finalize();

    Set->SetFieldAliases({ QStringLiteral("-descr=Item") });
    StartRun();
    Set->First();
    EXPECT_TRUE(Set->GetValue(item).IsNull()) << "a hidden field is no longer found";
    Set->Finalize();
}

TEST_F(DataSetBridge, MissingFieldTextAndErrorEntry)
{
    StartRun();
    Report.CurObject = QStringLiteral("Memo5");
    Set->First();
    const QString text = QStringLiteral("Field not found: rpDBDataset1.\"colour\"");
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("colour")), text);
    EXPECT_TRUE(Set->GetValue(QStringLiteral("colour")).IsNull());
    EXPECT_EQ(Report.Errors(), QStringList { QStringLiteral("Memo5: ") + text }) << "reported once";
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("car")), QStringLiteral("Lada")) << "the run goes on";
    Set->Finalize();

    Report.ClearErrors();
    Set->GetValue(QStringLiteral("colour"));
    EXPECT_TRUE(Report.Errors().isEmpty()) << "after the run the report is no longer known";
}

TEST_F(DataSetBridge, WalkFollowsTheTablesFilterAndSort)
{
    Table->SetFilter(QStringLiteral("car = 'Lada'"));
    Table->SetFiltered(true);
    Table->SetSort(QStringLiteral("price ASC"));
    StartRun();
    EXPECT_EQ(Walk(*Set, QStringLiteral("partname")), Parts({ 9, 7, 5, 3, 1 }));
    EXPECT_EQ(Set->RecordCount(), 5);
    Set->Finalize();
    EXPECT_EQ(Table->DisplayText(QStringLiteral("partname")), QStringLiteral("part 1"))
        << "left on the last row";
}

TEST_F(DataSetBridge, TableClosedWhileBoundIsReopenedOnDemand)
{
    StartRun();
    Set->First();
    Set->Next();
    EXPECT_EQ(Set->GetDisplayText(QStringLiteral("partname")), QStringLiteral("part 2"));
    Table->Close();
    EXPECT_EQ(AppBeforeClose, 1) << "the window's handler still runs";
    EXPECT_FALSE(Set->Initialized());
    EXPECT_EQ(Set->GetValue(QStringLiteral("partname")).AsString(), QStringLiteral("part 1"))
        << "the next request opens the table again, on its first row";
    EXPECT_TRUE(Table->Active());
    EXPECT_EQ(AppAfterOpen, 1);
    Set->Finalize();
}

TEST_F(DataSetBridge, TableReopenedWhileBoundRebuildsTheFieldMap)
{
    Set->SetFieldAliases({ QStringLiteral("car=Auto") });
    StartRun();
    Set->First();
    Table->Close();
    Table->Open();
    EXPECT_EQ(AppAfterOpen, 1);
    EXPECT_EQ(AppBeforeClose, 1);
    EXPECT_EQ(Set->GetValue(QStringLiteral("auto")).AsString(), QStringLiteral("Lada"));
    Set->Finalize();

    // The bridge's handlers are gone: closing and opening after it no longer
    // reaches the (destroyed) bridge, only the window's handlers.
    Set.reset();
    Table->Close();
    Table->Open();
    EXPECT_EQ(AppAfterOpen, 2);
    EXPECT_EQ(AppBeforeClose, 2);
}

TEST_F(DataSetBridge, CloseDataSourceClosesTheTableAtFinalize)
{
    Set->SetCloseDataSource(true);
    int closes = 0;
    Set->OnClose = [&](TrpDataSet*) { ++closes; };
    StartRun();
    Walk(*Set, QStringLiteral("car"));
    Set->Finalize();
    EXPECT_FALSE(Table->Active());
    EXPECT_EQ(closes, 1);
    EXPECT_EQ(AppBeforeClose, 1);
}

TEST_F(DataSetBridge, DataSetAndDataSourceExcludeEachOther)
{
    EXPECT_EQ(Set->EffectiveDataSet(), Table.get());
    Set->SetDataSet(Table.get());
    EXPECT_EQ(Set->DataSource(), nullptr);
    EXPECT_EQ(Set->DataSet(), Table.get());
    Set->SetDataSource(&Source);
    EXPECT_EQ(Set->DataSet(), nullptr);
    EXPECT_EQ(Set->EffectiveDataSet(), Table.get());
}

TEST_F(DataSetBridge, DestroyedTableClearsTheLinks)
{
    TrpDBDataset direct;
    direct.SetName(QStringLiteral("rpDBDataset2"));
    direct.SetDataSet(Table.get());
    StartRun();
    Set->First();
    Table.reset(); // while rpDBDataset1 is bound to it

    EXPECT_EQ(direct.DataSet(), nullptr);
    EXPECT_EQ(Source.DataSet(), nullptr);
    EXPECT_EQ(Set->EffectiveDataSet(), nullptr);
    EXPECT_EQ(ErrorOf([&] { Set->GetValue(QStringLiteral("car")); }),
        QStringLiteral("DataSet rpDBDataset1 is not connected to data"));
    EXPECT_EQ(Set->GetFieldType(QStringLiteral("car")), fftNumeric);
    Set->Finalize();
    EXPECT_EQ(ErrorOf([&] { direct.Initialize(); }),
        QStringLiteral("DataSet rpDBDataset2 is not connected to data"));
}

TEST_F(DataSetBridge, DestroyedDataSourceClearsTheLink)
{
    auto source = std::make_unique<TDbDataSource>(Table.get());
    Set->SetDataSource(source.get());
    EXPECT_EQ(Set->EffectiveDataSet(), Table.get());
    source.reset();
    EXPECT_EQ(Set->DataSource(), nullptr);
    EXPECT_EQ(Set->EffectiveDataSet(), nullptr);
}

TEST_F(DataSetBridge, DestroyedBridgeHandsTheHandlersBack)
{
    StartRun();
    Set->First();
    Set.reset(); // never finalised
    Table->Close();
    Table->Open();
    EXPECT_EQ(AppBeforeClose, 1);
    EXPECT_EQ(AppAfterOpen, 1);
}

TEST_F(DataSetBridge, SecondInitializeKeepsTheWindowsHandlers)
{
    StartRun();
    StartRun();
    Set->Finalize();
    Set.reset();
    Table->Close();
    EXPECT_EQ(AppBeforeClose, 1);
}
