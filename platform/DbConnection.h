#pragma once
// A connection to one database file (SQLite 3) and its prepared statements.
// Opening checks the file first, so a missing file, a read-only file and a
// file that is not a database each fail with a clear EDatabaseError before
// anything is changed. Several connections (and processes) may share a file;
// a busy file is waited for up to BusyTimeoutMs.
#include "DbValue.h"
#include <QByteArrayView>
#include <QString>
#include <memory>

struct sqlite3;
struct sqlite3_stmt;

class TDbStatement {
public:
    TDbStatement(sqlite3* db, const QString& sql); // throws EDatabaseError
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
    sqlite3* FDb;
    sqlite3_stmt* FStmt = nullptr;
};

class TDbConnection {
public:
    static constexpr int BusyTimeoutMs = 5000;

    TDbConnection();
    ~TDbConnection();
    TDbConnection(const TDbConnection&) = delete;
    TDbConnection& operator=(const TDbConnection&) = delete;

    // Connects to an existing database file for reading and writing.
    void Open(const QString& fileName);
    void Close();
    bool Connected() const { return FDb != nullptr; }
    const QString& FileName() const { return FFileName; }

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

private:
    sqlite3* Handle() const; // throws when not connected
    sqlite3* FDb = nullptr;
    QString FFileName;
};

// Text of the last error on db, for messages.
QString SqliteMessage(sqlite3* db);
