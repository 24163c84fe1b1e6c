#pragma once
// A connection to one database file (SQLite 3) and its prepared statements.
// Opening checks the file first, so a missing file, a read-only file and a
// file that is not a database each fail with a clear EDatabaseError before
// anything is changed. Several connections (and processes) may share a file;
// a busy file is waited for up to the busy timeout, and the wait is
// announced so a window can show that it is waiting. Every failure is an
// EDatabaseError in the program's words (DatabaseErrorText).
#include "DbValue.h"
#include <QByteArrayView>
#include <QString>
#include <chrono>
#include <functional>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;
class TDbConnection;

class TDbStatement {
public:
    TDbStatement(TDbConnection& connection, sqlite3* db, const QString& sql); // throws EDatabaseError
    ~TDbStatement();
    TDbStatement(const TDbStatement&) = delete;
    TDbStatement& operator=(const TDbStatement&) = delete;

    // index: 1-based parameter number.
    void Bind(int index, const TDbValue& value);
    // Runs one step: true when a row is ready, false when done. Throws on error.
    bool Step();
    void Reset();
    int ColumnCount() const;
    // Column value of the current row (index 0-based): Null, integer or text.
    TDbValue Column(int index) const;
    qint64 ColumnInteger(int index) const;
    QString ColumnText(int index) const;
    bool ColumnIsNull(int index) const;
    // The column's raw UTF-8 text; valid until the next Step or Reset.
    QByteArrayView ColumnUtf8(int index) const;
    bool ColumnIsInteger(int index) const;

private:
    TDbConnection& FConnection;
    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

enum class TDbOpenMode { ReadWrite, ReadOnly };

class TDbConnection {
public:
    static constexpr int BusyTimeoutMs = 5000;
    // Called with true when a statement starts waiting for another
    // connection's lock and with false when that statement has finished.
    using TBusyWaitEvent = std::function<void(bool waiting)>;

    TDbConnection();
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    // Connects to an existing database file. ReadOnly never writes and
    // works on a file or folder the user cannot write.
    void Open(const QString& fileName, TDbOpenMode mode = TDbOpenMode::ReadWrite);
    void Close();
    bool Connected() const { return FDb != nullptr; }
    const QString& FileName() const { return FFileName; }

    // How long a statement waits for another connection's lock before it
    // fails; may be changed while connected.
    int BusyTimeout() const { return FBusyTimeoutMs; }
    void SetBusyTimeout(int milliseconds) { FBusyTimeoutMs = std::max(0, milliseconds); }
    void SetOnBusyWait(TBusyWaitEvent handler) { FOnBusyWait = std::move(handler); }

    // Runs one of the program's own fixed statements (never user text).
    void Execute(const QString& sql);
    // Ends a read-only transaction; nothing was written, so nothing can be lost.
    void EndReadTransaction() noexcept;
    std::unique_ptr<TDbStatement> Prepare(const QString& sql);
    // Changes whenever another connection (of any process) commits to the
    // file; this connection's own commits leave it as it is.
    qint64 DataVersion();
    qint64 LastInsertId() const;
    int Changes() const;

    // The error for a failed call that returned resultCode, in the program's words.
    [[noreturn]] void Fail(int resultCode) const;
    // Ends an announced wait; statements call it when they finish.
    void EndBusyWait() noexcept;

private:
    static int BusyHandler(void* connection, int count);
    int WaitWhileBusy(int count);
    sqlite3* Handle() const; // throws when not connected
    sqlite3* FDb = nullptr;
    QString FFileName;
    int FBusyTimeoutMs = BusyTimeoutMs;
    TBusyWaitEvent FOnBusyWait;
    bool FWaiting = false;
    std::chrono::steady_clock::time_point FBusySince;
};

// Text of the last error on db, for messages.
QString SqliteMessage(sqlite3* db);
