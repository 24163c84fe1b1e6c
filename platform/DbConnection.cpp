// SQLite connection and statements. Invariants: FDb is either null or an open
// connection (read-write unless opened read-only) to a file that has been
// read successfully at least once (so it is a database); a statement never
// outlives the call that prepared it longer than its connection; FWaiting is
// true only between the first busy wait of a statement and its end. Values
// are always bound, never written into statement text.
#include "DbConnection.h"
#include "DbErrorText.h"
#include "PelmoraError.h"
#include <QFile>
#include <QFileInfo>
#include <sqlite3.h>
#include <thread>
#include <unistd.h>

QString SqliteMessage(sqlite3* db)
{
    return db ? QString::fromUtf8(sqlite3_errmsg(db)) : QStringLiteral("out of memory");
}

TDbStatement::TDbStatement(TDbConnection& connection, sqlite3* db, const QString& sql)
    : FConnection(connection)
    , FDb(db)
{
    const QByteArray text = sql.toUtf8();
    const int rc = sqlite3_prepare_v2(db, text.constData(), int(text.size()), &FStmt, nullptr);
    FConnection.EndBusyWait();
    if (rc != SQLITE_OK)
        FConnection.Fail(sqlite3_extended_errcode(db));
}

TDbStatement::~TDbStatement()
{
    sqlite3_finalize(FStmt);
}

void TDbStatement::Bind(int index, const TDbValue& value)
{
    int rc;
    if (value.IsInteger()) {
        rc = sqlite3_bind_int64(FStmt, index, value.AsInteger());
    } else if (value.IsText()) {
        const QByteArray utf8 = value.AsText().toUtf8();
        rc = sqlite3_bind_text(FStmt, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
    } else {
        rc = sqlite3_bind_null(FStmt, index);
    }
    if (rc != SQLITE_OK)
        FConnection.Fail(rc);
}

bool TDbStatement::Step()
{
    const int rc = sqlite3_step(FStmt);
    FConnection.EndBusyWait();
    if (rc == SQLITE_ROW)
        return true;
    if (rc == SQLITE_DONE)
        return false;
    const int code = sqlite3_extended_errcode(FDb);
    const QString message = DatabaseErrorText(code, FConnection.FileName(), SqliteMessage(FDb));
    sqlite3_reset(FStmt);
    throw EDatabaseError(message);
}

void TDbStatement::Reset()
{
    sqlite3_reset(FStmt);
    sqlite3_clear_bindings(FStmt);
}

int TDbStatement::ColumnCount() const
{
    return sqlite3_column_count(FStmt);
}

TDbValue TDbStatement::Column(int index) const
{
    switch (sqlite3_column_type(FStmt, index)) {
    case SQLITE_NULL:
        return TDbValue();
    case SQLITE_INTEGER:
        return TDbValue::Integer(sqlite3_column_int64(FStmt, index));
    default:
        return TDbValue::Text(ColumnText(index));
    }
}

qint64 TDbStatement::ColumnInteger(int index) const
{
    return sqlite3_column_int64(FStmt, index);
}

QString TDbStatement::ColumnText(int index) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, index));
    return QString::fromUtf8(text, sqlite3_column_bytes(FStmt, index));
}

QByteArrayView TDbStatement::ColumnUtf8(int index) const
{
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(FStmt, index));
    return QByteArrayView(text, sqlite3_column_bytes(FStmt, index));
}

bool TDbStatement::ColumnIsInteger(int index) const
{
    return sqlite3_column_type(FStmt, index) == SQLITE_INTEGER;
}

bool TDbStatement::ColumnIsNull(int index) const
{
    return sqlite3_column_type(FStmt, index) == SQLITE_NULL;
}

TDbConnection::TDbConnection() = default;

TDbConnection::~TDbConnection()
{
    Close();
}

namespace {

// A file marked read-only counts as read-only even for a user (root) whom
// the system would let write it anyway.
bool IsReadOnlyFile(const QString& fileName)
{
    const QFileInfo info(fileName);
    const auto writeBits = QFileDevice::WriteOwner | QFileDevice::WriteGroup | QFileDevice::WriteOther;
    return !(info.permissions() & writeBits) || ::access(QFile::encodeName(fileName).constData(), W_OK) != 0;
}

} // namespace

void TDbConnection::Open(const QString& fileName, TDbOpenMode mode)
{
    Close();
    const QFileInfo info(fileName);
    if (fileName.isEmpty() || !info.exists())
        throw EDatabaseError(QStringLiteral("Could not find file '%1'.").arg(fileName));
    if (!info.isFile())
        throw EDatabaseError(QStringLiteral("'%1' is not a database file.").arg(fileName));
    const bool readOnly = mode == TDbOpenMode::ReadOnly;
    if (!readOnly && IsReadOnlyFile(fileName))
        throw EDatabaseError(QStringLiteral("The database file '%1' is read-only.").arg(fileName));

    sqlite3* db = nullptr;
    const int flags = (readOnly ? SQLITE_OPEN_READONLY : SQLITE_OPEN_READWRITE) | SQLITE_OPEN_NOMUTEX;
    const int rc = sqlite3_open_v2(QFile::encodeName(fileName).constData(), &db, flags, nullptr);
    if (rc != SQLITE_OK) {
        const QString message
            = DatabaseErrorText(db ? sqlite3_extended_errcode(db) : rc, fileName, SqliteMessage(db));
        sqlite3_close(db);
        throw EDatabaseError(message);
    }
    FDb = db;
    FFileName = fileName;
    sqlite3_extended_result_codes(db, 1);
    sqlite3_busy_handler(db, &TDbConnection::BusyHandler, this);
    // Reading the schema is what tells a database from any other file.
    const int check = sqlite3_exec(db, "SELECT count(*) FROM sqlite_master", nullptr, nullptr, nullptr);
    EndBusyWait();
    const bool refused = !readOnly && check == SQLITE_OK && sqlite3_db_readonly(db, "main") == 1;
    if (check != SQLITE_OK || refused) {
        const QString message = refused
            ? QStringLiteral("The database file '%1' is read-only.").arg(fileName)
            : DatabaseErrorText(sqlite3_extended_errcode(db), fileName, SqliteMessage(db));
        Close();
        throw EDatabaseError(message);
    }
}

void TDbConnection::Close()
{
    if (FDb) {
        sqlite3_close_v2(FDb);
        FDb = nullptr;
    }
    FFileName.clear();
}

void TDbConnection::Fail(int resultCode) const
{
    throw EDatabaseError(DatabaseErrorText(resultCode, FFileName, SqliteMessage(FDb)));
}

int TDbConnection::BusyHandler(void* connection, int count)
{
    return static_cast<TDbConnection*>(connection)->WaitWhileBusy(count);
}

// Waits in short steps so a lock released early is noticed early; announces
// the first wait of a statement once.
int TDbConnection::WaitWhileBusy(int count)
{
    const auto now = std::chrono::steady_clock::now();
    if (count == 0) {
        FBusySince = now;
        if (!FWaiting) {
            FWaiting = true;
            try {
                if (FOnBusyWait)
                    FOnBusyWait(true);
            } catch (...) {
                // A cursor that cannot be shown must not turn a wait into a failure.
            }
        }
    }
    const auto waited = std::chrono::duration_cast<std::chrono::milliseconds>(now - FBusySince).count();
    if (waited >= FBusyTimeoutMs)
        return 0;
    const auto step = std::min<qint64>(count < 4 ? 2 : 20, FBusyTimeoutMs - waited);
    std::this_thread::sleep_for(std::chrono::milliseconds(step));
    return 1;
}

void TDbConnection::EndBusyWait() noexcept
{
    if (!FWaiting)
        return;
    FWaiting = false;
    try {
        if (FOnBusyWait)
            FOnBusyWait(false);
    } catch (...) {
    }
}

sqlite3* TDbConnection::Handle() const
{
    if (!FDb)
        throw EDatabaseError(QStringLiteral("Connection is not open."));
    return FDb;
}

void TDbConnection::Execute(const QString& sql)
{
    const int rc = sqlite3_exec(Handle(), sql.toUtf8().constData(), nullptr, nullptr, nullptr);
    EndBusyWait();
    if (rc != SQLITE_OK)
        Fail(sqlite3_extended_errcode(FDb));
}

void TDbConnection::EndReadTransaction() noexcept
{
    if (FDb)
        sqlite3_exec(FDb, "COMMIT", nullptr, nullptr, nullptr);
}

std::unique_ptr<TDbStatement> TDbConnection::Prepare(const QString& sql)
{
    return std::make_unique<TDbStatement>(*this, Handle(), sql);
}

qint64 TDbConnection::DataVersion()
{
    auto version = Prepare(QStringLiteral("PRAGMA data_version"));
    version->Step();
    return version->ColumnInteger(0);
}

qint64 TDbConnection::LastInsertId() const
{
    return sqlite3_last_insert_rowid(Handle());
}

int TDbConnection::Changes() const
{
    return sqlite3_changes(Handle());
}
