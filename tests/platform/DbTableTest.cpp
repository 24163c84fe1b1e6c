// The expense table layer: cursor, editing, refresh, delete, filters, sorts,
// conversions, shared files and failures on bad files.
#include "PelmoraError.h"
#include "TableFixture.h"
#include "error_text.h"
#include <QDate>
#include <QFile>
#include <chrono>
#include <thread>

namespace {

const QString car = QStringLiteral("car");
const QString price = QStringLiteral("price");
const QString jobdate = QStringLiteral("jobdate");
const QString mileage = QStringLiteral("mileage");

QByteArray ReadAll(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class ExpenseTable : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        Table = OpenTable();
        Add(*Table, { "Audi", "oil", "15.03.2024", 1000, 100 });
        Add(*Table, { "O'Neil", "tyres", "02.01.2024", 2000, 250 });
        Add(*Table, { "Audi", "brakes", "28.02.2023", 3000, 50 });
        Add(*Table, { "BMW", "lamp", "15.01.2024", 4000, 75 });
    }
    std::unique_ptr<TDbTable> Table;
};

TEST_F(TableFixture, CreatesTheStatedColumnsAndOpensEmpty)
{
    auto table = OpenTable();
    EXPECT_EQ(table->FieldNames(),
        QStringList({ "id", "car", "partname", "jobdate", "mileage", "descr", "price" }));
    EXPECT_EQ(table->FieldByName("ID").Kind(), TFieldKind::AutoInc);
    EXPECT_EQ(table->FieldByName("car").Kind(), TFieldKind::String);
    EXPECT_EQ(table->FieldByName("car").Size(), 200);
    EXPECT_EQ(table->FieldByName("mileage").Kind(), TFieldKind::Integer);
    EXPECT_EQ(table->FieldByName("price").Kind(), TFieldKind::Integer);
    EXPECT_TRUE(table->IsEmpty());
    EXPECT_TRUE(table->Eof());
    EXPECT_EQ(table->RecordCount(), 0);
    EXPECT_TRUE(table->Value(price).IsNull());
}

TEST_F(TableFixture, CreatingOverAnExistingFileChangesNothing)
{
    auto table = OpenTable();
    Add(*table, { "Audi", "oil", "01.01.2024", 1, 2 });
    table->Close();
    const QByteArray before = ReadAll(File);
    EXPECT_EQ(CreateDatabaseFile(File), QStringLiteral("Database file '%1' already exists.").arg(File));
    EXPECT_EQ(ReadAll(File), before);
    const QString nowhere = Dir.filePath("no/such/folder/log.mdb");
    EXPECT_TRUE(CreateDatabaseFile(nowhere).startsWith("Cannot create the database file"));
    EXPECT_FALSE(QFile::exists(nowhere));

    // The table statement on a file that has the table fails clearly, and the row stays.
    TDbConnection connection;
    connection.Open(File);
    EXPECT_THROW(connection.Execute(ExpenseCreateTableSql()), EDatabaseError);
    table->Open();
    EXPECT_EQ(table->RecordCount(), 1);
}

TEST_F(TableFixture, BadFilesFailClearlyAndStayUntouched)
{
    const QString missing = Dir.filePath("missing.mdb");
    const QString text = Dir.filePath("text.mdb");
    const QString readOnly = Dir.filePath("readonly.mdb");
    {
        QFile f(text);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray("this is not a database, just some text that is long enough\n").repeated(20));
    }
    ASSERT_TRUE(QFile::copy(File, readOnly));
    ASSERT_TRUE(QFile::setPermissions(readOnly, QFileDevice::ReadOwner | QFileDevice::ReadGroup));
    const QByteArray textBefore = ReadAll(text), readOnlyBefore = ReadAll(readOnly);

    struct Case {
        const char* name;
        QString file;
        const char* message;
    };
    const Case cases[] = {
        { "missing file", missing, "Could not find file" },
        { "empty name", QString(), "Could not find file" },
        { "not a database", text, "is not a database file" },
        { "read-only file", readOnly, "is read-only" },
        { "a folder", Dir.path(), "is not a database file" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TDbTable table;
        table.SetDatabaseFile(c.file);
        table.SetTableName(ExpenseTableName);
        EXPECT_TRUE(ErrorOf([&] { table.Open(); }).contains(QLatin1String(c.message)));
        EXPECT_FALSE(table.Active());
    }
    EXPECT_FALSE(QFile::exists(missing));
    EXPECT_EQ(ReadAll(text), textBefore);
    EXPECT_EQ(ReadAll(readOnly), readOnlyBefore);
}

TEST_F(TableFixture, MissingTableFailsAndLeavesTheTableClosed)
{
    TDbTable table;
    table.SetDatabaseFile(File);
    table.SetTableName("nosuch");
    EXPECT_TRUE(ErrorOf([&] { table.Open(); }).contains("does not exist"));
    EXPECT_FALSE(table.Active());
}

TEST_F(ExpenseTable, WalksRowsInIdOrder)
{
    EXPECT_EQ(Column(*Table, car), QStringList({ "Audi", "O'Neil", "Audi", "BMW" }));
    EXPECT_TRUE(Table->Eof());
    EXPECT_EQ(Table->DisplayText(car), "BMW"); // the walk ends on the last row

    Table->First();
    EXPECT_TRUE(Table->Bof());
    EXPECT_EQ(Table->MoveBy(2), 2);
    EXPECT_EQ(Table->RecNo(), 3);
    EXPECT_EQ(Table->MoveBy(5), 1);
    EXPECT_TRUE(Table->Eof());
    Table->Prior();
    EXPECT_EQ(Table->DisplayText(car), "Audi");
    EXPECT_EQ(Table->MoveBy(-10), -2);
    EXPECT_TRUE(Table->Bof());
    EXPECT_EQ(Table->RecNo(), 1);
    Table->Last();
    EXPECT_TRUE(Table->Eof());
    EXPECT_EQ(Table->RecNo(), 4);
}

TEST_F(ExpenseTable, TypedValuesAndDisplayTexts)
{
    Table->First();
    EXPECT_EQ(Table->Value(price), TDbValue::Integer(100));
    EXPECT_EQ(Table->Value(mileage), TDbValue::Integer(1000));
    EXPECT_EQ(Table->Value(car), TDbValue::Text("Audi"));
    EXPECT_EQ(Table->DisplayText(price), "100");
    EXPECT_EQ(Table->Value("id"), TDbValue::Integer(1));
    // Field names are found without regard to letter case.
    EXPECT_EQ(Table->AsString("PRICE"), "100");
    EXPECT_EQ(ErrorOf([&] { Table->Value("nosuch"); }), "ADOTable1: Field 'nosuch' not found");

    Table->Edit();
    Table->SetValue("descr", TDbValue());
    Table->SetText(mileage, QString());
    Table->Post();
    Table->Refresh();
    EXPECT_TRUE(Table->Value("descr").IsNull());
    EXPECT_TRUE(Table->Value(mileage).IsNull());
    EXPECT_EQ(Table->DisplayText(mileage), "");
}

TEST_F(ExpenseTable, RowsAtAnyPositionReadWithoutMovingTheCursor)
{
    Table->SetSort("price DESC");
    Table->Last();
    const int p = Table->FieldByName(price).Index();
    EXPECT_EQ(Table->ValueAt(0, p), TDbValue::Integer(250));
    EXPECT_EQ(Table->ValueAt(3, p), TDbValue::Integer(50));
    EXPECT_TRUE(Table->ValueAt(4, p).IsNull());
    EXPECT_TRUE(Table->ValueAt(-1, p).IsNull());
    EXPECT_TRUE(Table->ValueAt(0, 99).IsNull());
    EXPECT_TRUE(Table->Eof()); // the end flag of a finished walk stays as it was
    EXPECT_EQ(Table->RecNo(), 4);
    Table->Edit();
    Table->SetText(price, "7");
    EXPECT_EQ(Table->ValueAt(3, p), TDbValue::Integer(7)); // the pending value shows
    Table->Cancel();
    EXPECT_EQ(Table->ValueAt(3, p), TDbValue::Integer(50));
}

TEST_F(ExpenseTable, RefreshAfterInsertKeepsTheNewRowCurrent)
{
    // Another sort order: the new row must still be the current one after refresh.
    Table->SetSort("price ASC");
    Add(*Table, { "Lada", "seat", "01.01.2024", 10, 60 });
    EXPECT_EQ(Table->DisplayText(car), "Lada");
    EXPECT_EQ(Table->RecNo(), 2); // 50, 60, 75, 100, 250
    EXPECT_EQ(Table->RecordCount(), 5);
    EXPECT_EQ(Column(*Table, price), QStringList({ "50", "60", "75", "100", "250" }));
}

TEST_F(ExpenseTable, RefreshAfterEditKeepsTheRowCurrent)
{
    Table->First();
    Table->Next(); // O'Neil
    Table->Edit();
    Table->SetText(price, "999");
    Table->SetText("partname", "engine");
    Table->Refresh();
    EXPECT_EQ(Table->State(), TDataSetState::Browse);
    EXPECT_EQ(Table->RecNo(), 2);
    EXPECT_EQ(Table->DisplayText(price), "999");

    auto other = OpenTable();
    other->MoveBy(1);
    EXPECT_EQ(other->DisplayText("partname"), "engine");
}

TEST_F(ExpenseTable, EditWithNoRowInViewAddsARow)
{
    Table->SetFilter("car = 'Nobody'");
    Table->SetFiltered(true);
    ASSERT_TRUE(Table->IsEmpty());
    Table->Edit();
    EXPECT_EQ(Table->State(), TDataSetState::Insert);
    Table->SetText(car, "Nobody");
    Table->SetText(price, "5");
    Table->Refresh();
    EXPECT_EQ(Column(*Table, price), QStringList({ "5" }));
}

TEST_F(ExpenseTable, CancelAfterAConversionErrorStoresNothing)
{
    Table->Last();
    Table->Insert();
    Table->SetText(car, "Half");
    EXPECT_THROW(Table->SetText(mileage, "12x"), EConvertError);
    Table->Cancel();
    Table->Refresh();
    EXPECT_EQ(Table->RecordCount(), 4);
    EXPECT_EQ(OpenTable()->RecordCount(), 4);
}

TEST_F(ExpenseTable, IntegerColumnsKeepTo32Bits)
{
    struct Case {
        const char* name;
        QString text;
        const char* stored;
        const char* error;
    };
    const Case cases[] = {
        { "largest", "2147483647", "2147483647", nullptr },
        { "smallest", "-2147483648", "-2147483648", nullptr },
        { "blanks around", " 42 ", "42", nullptr },
        { "one above", "2147483648", nullptr, "'2147483648' is not a valid integer value" },
        { "one below", "-2147483649", nullptr, "'-2147483649' is not a valid integer value" },
        { "long run of digits", "99999999999999999999", nullptr,
            "'99999999999999999999' is not a valid integer value" },
        { "not a number", "12a", nullptr, "'12a' is not a valid integer value" },
        { "decimal point", "1.5", nullptr, "'1.5' is not a valid integer value" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Table->First();
        Table->Edit();
        if (c.error) {
            EXPECT_EQ(ErrorOf([&] { Table->SetText(price, c.text); }), c.error);
            Table->Cancel();
            continue;
        }
        Table->SetText(price, c.text);
        Table->Refresh();
        EXPECT_EQ(Table->DisplayText(price), c.stored);
        EXPECT_EQ(OpenTable()->DisplayText(price), c.stored);
    }
    Table->Edit();
    EXPECT_THROW(Table->SetValue(mileage, TDbValue::Integer(qint64(1) << 31)), EConvertError);
    EXPECT_THROW(Table->SetValue("id", TDbValue::Integer(7)), EDatabaseError);
    EXPECT_THROW(Table->SetText(car, QString(201, 'x')), EConvertError);
    Table->Cancel();
}

TEST_F(ExpenseTable, DeleteRemovesTheCurrentRowAndFailsOnAnEmptyView)
{
    Table->First();
    Table->Next();
    Table->Delete();
    EXPECT_EQ(Table->DisplayText(car), "Audi"); // the next row became current
    EXPECT_EQ(Column(*Table, car), QStringList({ "Audi", "Audi", "BMW" }));
    EXPECT_EQ(OpenTable()->RecordCount(), 3);

    Table->SetFilter("car = 'Nobody'");
    Table->SetFiltered(true);
    EXPECT_EQ(
        ErrorOf([&] { Table->Delete(); }), "ADOTable1: Cannot perform this operation on an empty dataset");
    Table->SetFiltered(false);
    EXPECT_EQ(Table->RecordCount(), 3);
}

TEST_F(ExpenseTable, CarFilterMatchesAWholeNameWithAQuote)
{
    Table->SetFilter("car = 'O''Neil'");
    EXPECT_EQ(Table->RecordCount(), 4); // the text waits until the filter is on
    Table->Last();
    Table->SetFiltered(true);
    EXPECT_EQ(Table->RecNo(), 1); // turning the filter on goes to the first row
    EXPECT_EQ(Column(*Table, car), QStringList({ "O'Neil" }));

    Table->SetFilter("car = 'Aud'");
    EXPECT_TRUE(Table->IsEmpty()); // whole-name equality, no prefix match
    Table->SetFilter("car = 'Audi'");
    EXPECT_EQ(Column(*Table, price), QStringList({ "100", "50" }));
    Table->SetFilter("CAR = 'AUDI'"); // names and texts compare without regard to case
    EXPECT_EQ(Column(*Table, price), QStringList({ "100", "50" }));
    Table->SetFilter("mileage >= 2000 AND price < '100'"); // numbers compare as numbers
    EXPECT_EQ(Column(*Table, price), QStringList({ "50", "75" }));

    Table->SetFiltered(false);
    EXPECT_EQ(Table->Filter(), "mileage >= 2000 AND price < '100'"); // kept, unused
    EXPECT_EQ(Table->RecordCount(), 4);
}

TEST_F(ExpenseTable, DateRangeFilterComparesTheStoredText)
{
    // In text order "15.03.2024" lies after "15.01.2024", so only two rows pass.
    Table->SetFilter("jobdate >= '01.01.2024' AND jobdate <= '15.01.2024'");
    Table->SetFiltered(true);
    EXPECT_EQ(Column(*Table, jobdate), QStringList({ "02.01.2024", "15.01.2024" }));

    // "28.02.2023" lies between "01.01.2024" and "30.12.2024" as text, not as a date.
    Table->SetFilter("jobdate >= '01.01.2024' AND jobdate <= '30.12.2024'");
    EXPECT_EQ(
        Column(*Table, jobdate), QStringList({ "15.03.2024", "02.01.2024", "28.02.2023", "15.01.2024" }));
}

TEST_F(ExpenseTable, KeyFunctionMakesAColumnCompareAsDates)
{
    Table->SetKeyFunction(jobdate, [](const TDbValue& v) {
        const QDate d = QDate::fromString(v.ToString(), "dd.MM.yyyy");
        return d.isValid() ? TDbValue::Integer(d.toJulianDay()) : v;
    });
    Table->SetFilter("jobdate >= '01.01.2024' AND jobdate <= '30.12.2024'");
    Table->SetFiltered(true);
    EXPECT_EQ(Column(*Table, jobdate), QStringList({ "15.03.2024", "02.01.2024", "15.01.2024" }));
    Table->SetFiltered(false);
    Table->SetSort("jobdate ASC");
    EXPECT_EQ(
        Column(*Table, jobdate), QStringList({ "28.02.2023", "02.01.2024", "15.01.2024", "15.03.2024" }));
    // The key survives a reopen.
    Table->Close();
    Table->Open();
    Table->SetSort("jobdate DESC");
    EXPECT_EQ(
        Column(*Table, jobdate), QStringList({ "15.03.2024", "15.01.2024", "02.01.2024", "28.02.2023" }));
}

TEST_F(ExpenseTable, BadFilterTextsFailAndChangeNothing)
{
    Table->SetFilter("car = 'Audi'");
    Table->SetFiltered(true);
    Table->Next();
    const int recNo = Table->RecNo();
    const char* bad[] = {
        "car = 'Audi", // unterminated quote
        "car == 'Audi'", // no such operator
        "car 'Audi'", // missing operator
        "car = 'Audi' OR car = 'BMW'", // OR is not part of the language
        "car = 'x'; DROP TABLE table1; --",
        "nosuch = 'x'",
        "price = 'abc'", // text that is no number for a number column
        "= 'x'",
    };
    for (const char* text : bad) {
        SCOPED_TRACE(text);
        EXPECT_THROW(Table->SetFilter(text), EDatabaseError);
        EXPECT_EQ(Table->Filter(), "car = 'Audi'");
        EXPECT_EQ(Table->RecNo(), recNo);
        EXPECT_EQ(Table->RecordCount(), 2);
    }
    // Text that looks like SQL inside quotes is only a name to compare with.
    Table->SetFilter("car = 'x''; DROP TABLE table1; --'");
    EXPECT_TRUE(Table->IsEmpty());
    Table->SetFiltered(false);
    EXPECT_EQ(OpenTable()->RecordCount(), 4);
}

TEST_F(ExpenseTable, SortKeepsTheCurrentRowAndSurvivesRefresh)
{
    Table->First(); // Audi 100
    Table->SetSort("price ASC");
    EXPECT_EQ(Table->DisplayText(price), "100");
    EXPECT_EQ(Table->RecNo(), 3);
    EXPECT_EQ(Column(*Table, price), QStringList({ "50", "75", "100", "250" }));
    Table->SetSort("price DESC");
    EXPECT_EQ(Column(*Table, price), QStringList({ "250", "100", "75", "50" }));

    Table->First();
    Table->Next(); // 100
    Table->Refresh();
    EXPECT_EQ(Table->DisplayText(price), "100");
    EXPECT_EQ(Table->RecNo(), 2);
    EXPECT_EQ(Table->Sort(), "price DESC");

    // Text sorts ignore letter case; equal keys stay in id order.
    Add(*Table, { "audi", "x", "", 0, 1 });
    Table->SetSort("car ASC");
    EXPECT_EQ(Column(*Table, car), QStringList({ "Audi", "Audi", "audi", "BMW", "O'Neil" }));

    EXPECT_THROW(Table->SetSort("nosuch ASC"), EDatabaseError);
    EXPECT_THROW(Table->SetSort("price UP"), EDatabaseError);
    EXPECT_EQ(Table->Sort(), "car ASC");

    // Reopening brings back the order by id.
    Table->Close();
    Table->Open();
    EXPECT_EQ(Table->Sort(), "");
    EXPECT_EQ(Column(*Table, price).first(), "100");
}

TEST_F(ExpenseTable, TwoTablesOnOneFileSeeEachOthersRowsAfterRefresh)
{
    auto second = OpenTable();
    Add(*Table, { "Volvo", "belt", "01.01.2024", 1, 5 });
    EXPECT_EQ(second->RecordCount(), 4);
    second->Refresh();
    EXPECT_EQ(second->RecordCount(), 5);
    second->Last();
    EXPECT_EQ(second->DisplayText(car), "Volvo");

    // A row the other object deleted simply disappears at refresh.
    second->Delete();
    Table->Last();
    Table->Refresh();
    EXPECT_EQ(Table->RecordCount(), 4);
    EXPECT_EQ(Table->DisplayText(car), "BMW");
}

TEST_F(ExpenseTable, TagsStartAtZeroOnEveryOpen)
{
    Table->FieldByName(price).SetTag(1);
    EXPECT_EQ(Table->FieldByName(price).Tag(), 1);
    Table->Close();
    EXPECT_EQ(ErrorOf([&] { Table->FieldByName(price); }), "ADOTable1: Field 'price' not found");
    Table->Open();
    EXPECT_EQ(Table->FieldByName(price).Tag(), 0);
}

TEST_F(ExpenseTable, HooksBookmarksAndClosedTable)
{
    QStringList calls;
    Table->SetAfterOpen([&](TDbTable& t) { calls << QStringLiteral("open %1").arg(t.RecordCount()); });
    Table->SetBeforeClose([&](TDbTable&) { calls << "close"; });
    Table->Close();
    Table->Open();
    EXPECT_EQ(calls, QStringList({ "close", "open 4" }));

    Table->MoveBy(2);
    const auto mark = Table->Bookmark();
    ASSERT_TRUE(mark.has_value());
    Table->SetSort("price DESC");
    Table->First();
    Table->GotoBookmark(*mark);
    EXPECT_EQ(Table->DisplayText("partname"), "brakes");
    Table->SetFilter("car = 'BMW'");
    Table->SetFiltered(true);
    EXPECT_FALSE(Table->BookmarkValid(*mark));
    EXPECT_THROW(Table->GotoBookmark(*mark), EDatabaseError);

    Table->Close();
    EXPECT_EQ(
        ErrorOf([&] { Table->First(); }), "ADOTable1: Cannot perform this operation on a closed dataset");
    EXPECT_EQ(
        ErrorOf([&] { Table->Delete(); }), "ADOTable1: Cannot perform this operation on a closed dataset");
    // The filter survives the reopen.
    Table->Open();
    EXPECT_EQ(Column(*Table, car), QStringList({ "BMW" }));
}

TEST_F(TableFixture, RowsWrittenByOtherSoftwareReadWithoutHarm)
{
    {
        TDbConnection connection;
        connection.Open(File);
        // No checks here: another program may have stored anything.
        connection.Execute("CREATE TABLE other (id INTEGER PRIMARY KEY, price INTEGER, car TEXT)");
        connection.Execute(
            "INSERT INTO other (price, car) VALUES ('12a', 'x'), (NULL, NULL), (7, 'y'), (1.5, 'z')");
        connection.Execute("CREATE TABLE nokey (code TEXT PRIMARY KEY, price INTEGER)");
    }
    TDbTable table;
    table.SetDatabaseFile(File);
    table.SetTableName("other");
    table.Open();
    EXPECT_EQ(Column(table, "price"), QStringList({ "12a", "", "7", "1.5" }));
    table.First();
    EXPECT_TRUE(table.Value("price").IsText());
    table.Next();
    EXPECT_TRUE(table.Value("price").IsNull());
    EXPECT_TRUE(table.Value("car").IsNull());
    // Null sorts first, then numbers, then texts that are no numbers.
    table.SetSort("price ASC");
    EXPECT_EQ(Column(table, "price"), QStringList({ "", "7", "1.5", "12a" }));
    // Null passes no comparison; texts order after every number.
    table.SetFilter("price >= 0");
    table.SetFiltered(true);
    EXPECT_EQ(Column(table, "price"), QStringList({ "7", "1.5", "12a" }));
    table.Close();

    table.SetTableName("nokey");
    EXPECT_TRUE(ErrorOf([&] { table.Open(); }).contains("no auto-numbered key"));
}

TEST_F(ExpenseTable, AWriterWaitsForAnotherConnectionsLockInsteadOfFailing)
{
    // Another user of the file holds it locked for a moment; our write must
    // wait for it (busy timeout) rather than fail at once.
    TDbConnection other;
    other.Open(File);
    other.Execute("BEGIN EXCLUSIVE");
    std::thread release([&other] {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        other.Execute("COMMIT");
    });
    Table->Last();
    Table->Insert();
    Table->SetText(car, "Waited");
    EXPECT_NO_THROW(Table->Post());
    release.join();
    Table->Refresh();
    EXPECT_EQ(Table->RecordCount(), 5);
}
