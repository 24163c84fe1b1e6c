// Writes the file refuses for real: a log in a read-only folder, a lock
// another connection holds past a short busy timeout, a table of other
// software with a column the program does not fill, and a stored row whose
// re-read fails. After each the table is in browse mode with nothing
// pending, no later step stores the refused row, and the file holds exactly
// what it held before, row by row.
#include "PelmoraError.h"
#include "TableFixture.h"
#include "error_text.h"
#include "expense_log.h"
#include "refused_writes.h"

#include <QDir>
#include <QFile>

namespace {

const QString car = QStringLiteral("car");
const QString price = QStringLiteral("price");

// Every row of the file, read by a connection of its own: "id|car|price".
QStringList FileRows(const QString& file, const QString& tableName = ExpenseTableName)
{
    TDbConnection connection;
    connection.Open(file, TDbOpenMode::ReadOnly);
    auto select
        = connection.Prepare(QStringLiteral("SELECT id, car, price FROM \"%1\" ORDER BY id").arg(tableName));
    QStringList rows;
    while (select->Step())
        rows << QStringLiteral("%1|%2|%3")
                    .arg(select->ColumnText(0), select->ColumnText(1), select->ColumnText(2));
    return rows;
}

void FillPending(TDbTable& table, const QString& carName, int priceValue)
{
    table.SetText(car, carName);
    table.SetText(QStringLiteral("partname"), QStringLiteral("oil"));
    table.SetText(QStringLiteral("jobdate"), QStringLiteral("15.03.2024"));
    table.SetText(QStringLiteral("mileage"), QStringLiteral("1000"));
    table.SetText(price, QString::number(priceValue));
}

// Every step after a failed write that would post a pending row.
void RunEveryPostingStep(TDbTable& table)
{
    table.First();
    table.Next();
    table.Last();
    table.MoveBy(-1);
    table.SetFiltered(true);
    table.SetFilter(QStringLiteral("car = 'Audi'"));
    table.SetFiltered(false);
    table.SetSort(QStringLiteral("price DESC"));
    table.Refresh();
}

class WriteFailure : public TableFixture {
protected:
    void SetUp() override
    {
        TableFixture::SetUp();
        auto table = OpenTable();
        Add(*table, { "Audi", "oil", "15.03.2024", 1000, 100 });
        Add(*table, { "BMW", "tyres", "02.01.2024", 2000, 250 });
        Before = FileRows(File);
        ASSERT_EQ(Before, QStringList({ "1|Audi|100", "2|BMW|250" }));
    }
    QStringList Before;
};

} // namespace

TEST_F(WriteFailure, AReadOnlyFolderRefusesEveryWriteAndNothingIsStoredLater)
{
    const QString folder = Dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = QDir(folder).filePath(QStringLiteral("log.mdb"));
    ASSERT_TRUE(QFile::copy(File, file));
    ShareFolder(Dir.path());
    ShareFolder(folder, { QStringLiteral("log.mdb") });
    auto table = std::make_unique<TDbTable>();
    table->SetDatabaseFile(file);
    table->SetTableName(ExpenseTableName);
    table->Open();

    const QString refused
        = QStringLiteral("The database file '%1' cannot be changed: its folder is read-only.").arg(file);
    struct Case {
        const char* name;
        std::function<void(TDbTable&)> write;
    };
    const Case cases[] = {
        { "insert, then post",
            [](TDbTable& t) {
                t.Last();
                t.Insert();
                FillPending(t, "Ghost", 1);
                t.Post();
            } },
        { "insert, then refresh",
            [](TDbTable& t) {
                t.Insert();
                FillPending(t, "Ghost", 2);
                t.Refresh();
            } },
        { "edit, then post",
            [](TDbTable& t) {
                t.First();
                t.Edit();
                FillPending(t, "Changed", 3);
                t.Post();
            } },
        { "delete", [](TDbTable& t) { t.Delete(); } },
    };
    {
        TWritesRefused readOnly(folder);
        for (const Case& c : cases) {
            SCOPED_TRACE(c.name);
            EXPECT_EQ(ErrorOf([&] { c.write(*table); }), refused);
            EXPECT_EQ(table->State(), TDataSetState::Browse);
            EXPECT_EQ(table->RecordCount(), 2);
            EXPECT_NO_THROW(RunEveryPostingStep(*table));
            EXPECT_EQ(table->RecordCount(), 2);
            table->SetSort(QStringLiteral("id ASC"));
            table->First();
            EXPECT_EQ(table->AsString(car), "Audi"); // the edit left the row in memory as it was
        }
    }
    table->Close();
    EXPECT_EQ(FileRows(file), Before);
}

TEST_F(WriteFailure, ALockHeldPastTheBusyTimeoutRefusesTheWriteAndIsAnnounced)
{
    auto table = OpenTable();
    table->SetBusyTimeout(50);
    QList<bool> waits;
    table->SetOnBusyWait([&](bool waiting) { waits << waiting; });

    TDbConnection other;
    other.Open(File);
    other.Execute(QStringLiteral("BEGIN IMMEDIATE")); // holds the write lock
    table->Last();
    table->Insert();
    FillPending(*table, "Ghost", 5);
    EXPECT_EQ(ErrorOf([&] { table->Post(); }),
        QStringLiteral("The database file '%1' is locked by another program. Try again when that program "
                       "has finished with it.")
            .arg(File));
    EXPECT_EQ(waits, QList<bool>({ true, false }));
    EXPECT_EQ(table->State(), TDataSetState::Browse);

    // Once the lock is gone, the next steps store nothing of the refused row.
    other.Execute(QStringLiteral("ROLLBACK"));
    RunEveryPostingStep(*table);
    EXPECT_EQ(table->RecordCount(), 2);
    EXPECT_EQ(FileRows(File), Before);

    // Pressing Add again stores the row once.
    table->Last();
    table->Insert();
    FillPending(*table, "Ghost", 5);
    table->Refresh();
    EXPECT_EQ(FileRows(File), Before + QStringList({ "3|Ghost|5" }));
}

TEST_F(WriteFailure, AColumnTheProgramDoesNotFillRefusesTheRowInTheProgramsWords)
{
    {
        TDbConnection connection;
        connection.Open(File);
        connection.Execute(
            QStringLiteral("CREATE TABLE other (id INTEGER PRIMARY KEY AUTOINCREMENT, car TEXT, "
                           "price INTEGER, owner TEXT NOT NULL)"));
        connection.Execute(QStringLiteral("INSERT INTO other (car, price, owner) VALUES ('Lada', 7, 'me')"));
    }
    TDbTable table;
    table.SetDatabaseFile(File);
    table.SetTableName(QStringLiteral("other"));
    table.Open();
    table.Insert();
    table.SetText(car, QStringLiteral("Ghost"));
    EXPECT_EQ(ErrorOf([&] { table.Post(); }),
        QStringLiteral("The entry was not stored: the table in '%1' requires a value in the column 'owner', "
                       "which this program does not fill.")
            .arg(File));
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    table.Refresh();
    table.First();
    EXPECT_EQ(table.RecordCount(), 1);
    EXPECT_EQ(FileRows(File, QStringLiteral("other")), QStringList({ "1|Lada|7" }));
}

TEST_F(WriteFailure, AStoredRowWhoseReReadFailsIsReportedAsStoredAndStoredOnce)
{
    auto table = OpenTable();
    table->SetBusyTimeout(50);
    TDbConnection other;
    other.Open(File);
    // Right after our row is stored, another program adds one and then holds
    // the file locked, so reading the rows again fails.
    table->SetAfterPost([&](TDbTable&) {
        other.Execute(QStringLiteral("INSERT INTO table1 (car, price) VALUES ('Other', 9)"));
        other.Execute(QStringLiteral("BEGIN EXCLUSIVE"));
    });
    table->Last();
    table->Insert();
    FillPending(*table, "Mine", 7);
    EXPECT_EQ(ErrorOf([&] { table->Refresh(); }),
        QStringLiteral(
            "The entry was stored, but the rows could not be read again. The database file '%1' is "
            "locked by another program. Try again when that program has finished with it.")
            .arg(File));
    EXPECT_EQ(table->State(), TDataSetState::Browse);
    EXPECT_EQ(table->RecordCount(), 3); // the stored row is shown
    table->SetAfterPost({});
    other.Execute(QStringLiteral("COMMIT"));

    RunEveryPostingStep(*table);
    EXPECT_EQ(table->RecordCount(), 4);
    EXPECT_EQ(FileRows(File), Before + QStringList({ "3|Mine|7", "4|Other|9" }));
}

TEST_F(WriteFailure, ADamagedFileIsToldApartFromAFileThatIsNoDatabase)
{
    {
        TDbConnection connection;
        connection.Open(File);
        // Rows over several pages, so the damage hits rows and not only free space.
        connection.Execute(
            QStringLiteral("WITH RECURSIVE n(i) AS (SELECT 1 UNION ALL SELECT i + 1 FROM n "
                           "WHERE i < 200) INSERT INTO table1 (car, price) SELECT 'Car ' || i, i "
                           "FROM n"));
    }
    {
        QFile f(File);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.seek(4096)); // the pages after the schema
        f.write(QByteArray(8192, '\x5a'));
    }
    TDbTable table;
    table.SetDatabaseFile(File);
    table.SetTableName(ExpenseTableName);
    EXPECT_EQ(ErrorOf([&] { table.Open(); }),
        QStringLiteral("The database file '%1' is damaged. A copy of it can be repaired with the sqlite3 "
                       "program's \".recover\" command.")
            .arg(File));
    EXPECT_FALSE(table.Active());
}

TEST_F(WriteFailure, AReadOnlyTableReadsAFileInAReadOnlyFolderAndRefusesChanges)
{
    const QString folder = Dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = QDir(folder).filePath(QStringLiteral("log.mdb"));
    ASSERT_TRUE(QFile::copy(File, file));
    ShareFolder(Dir.path());
    ShareFolder(folder);
    ASSERT_TRUE(QFile::setPermissions(
        file, QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther));
    const QByteArray bytes = [&] {
        QFile f(file);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();

    TWritesRefused readOnly(folder);
    TDbTable table;
    table.SetDatabaseFile(file);
    table.SetTableName(ExpenseTableName);
    table.SetReadOnly(true);
    table.Open();
    EXPECT_EQ(Column(table, car), QStringList({ "Audi", "BMW" }));
    for (const auto& write : std::initializer_list<std::function<void()>> {
             [&] { table.Insert(); }, [&] { table.Edit(); }, [&] { table.Delete(); } })
        EXPECT_EQ(ErrorOf(write), "ADOTable1: Cannot modify a read-only dataset");
    EXPECT_EQ(table.State(), TDataSetState::Browse);
    table.Close();
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), bytes);
    EXPECT_EQ(QDir(folder).entryList(QDir::Files), QStringList({ "log.mdb" }));
}

TEST_F(WriteFailure, ANewLogAndItsJournalAreTheOwnersAlone)
{
    const QString file = Dir.filePath(QStringLiteral("private.mdb"));
    CreateExpenseLogFile(file);
    const auto own = QFileDevice::ReadOwner | QFileDevice::WriteOwner;
    const auto all = QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner
        | QFileDevice::ReadGroup | QFileDevice::WriteGroup | QFileDevice::ExeGroup | QFileDevice::ReadOther
        | QFileDevice::WriteOther | QFileDevice::ExeOther;
    EXPECT_EQ(QFile::permissions(file) & all, own);
    // The journal of an open write has the file's mode, so no other user reads the rows from it.
    TDbConnection connection;
    connection.Open(file);
    connection.Execute(QStringLiteral("BEGIN IMMEDIATE"));
    connection.Execute(QStringLiteral("INSERT INTO table1 (car) VALUES ('x')"));
    ASSERT_TRUE(QFile::exists(file + QStringLiteral("-journal")));
    EXPECT_EQ(QFile::permissions(file + QStringLiteral("-journal")) & all, own);
    connection.Execute(QStringLiteral("ROLLBACK"));
}
