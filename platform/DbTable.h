#pragma once
// The expense table as the program uses it: a static client-side cursor over
// one table of a database file. Open reads every row into memory ordered by
// the table's auto-numbered key; filters and sorts work on that copy; writes
// go to the file at once (Post, Delete) and are seen by other table objects
// on the same file after their Refresh.
//
// Rows in view: the rows that pass the filter (when it is on), in the sort
// order (by id when there is none). One of them is current unless none is in
// view. Reading a field gives the current row's value (the pending values
// while editing or inserting); Null when no row is in view.
#include "DbConnection.h"
#include "DbField.h"
#include "FilterExpression.h"
#include "GuardedPtr.h"
#include "SortOrder.h"
#include <QHash>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

enum class TDataSetState { Inactive, Browse, Edit, Insert };

class TDbTable {
public:
    using TBookmark = qint64; // the row's id
    using TNotifyEvent = std::function<void(TDbTable& table)>;

    // name: the component name that prefixes the table's error messages.
    explicit TDbTable(QString name = QStringLiteral("ADOTable1"));
    ~TDbTable(); // closes without calling BeforeClose
    TDbTable(const TDbTable&) = delete;
    TDbTable& operator=(const TDbTable&) = delete;

    const QString& Name() const { return FName; }
    // Database file and table; only while closed.
    const QString& DatabaseFile() const { return FDatabaseFile; }
    void SetDatabaseFile(const QString& fileName);
    const QString& TableName() const { return FTableName; }
    void SetTableName(const QString& tableName);
    // A read-only table opens the file without writing anything to it (also
    // in a folder the user cannot write) and refuses Insert, Edit and Delete.
    // Only while closed.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool readOnly);
    // How long a write waits for another program's lock before it fails,
    // and who is told while it waits (see TDbConnection); kept across opens.
    int BusyTimeout() const { return FBusyTimeoutMs; }
    void SetBusyTimeout(int milliseconds);
    const TDbConnection::TBusyWaitEvent& OnBusyWait() const { return FOnBusyWait; }
    void SetOnBusyWait(TDbConnection::TBusyWaitEvent handler);

    // Open: connect, read the fields and all rows by id, apply the filter when
    // it is on, go to the first row, then call AfterOpen. Errors leave it closed.
    void Open();
    // Close: call BeforeClose, drop a pending row, forget rows and fields.
    void Close();
    bool Active() const { return FState != TDataSetState::Inactive; }
    TDataSetState State() const { return FState; }

    const TNotifyEvent& AfterOpen() const { return FAfterOpen; }
    void SetAfterOpen(TNotifyEvent handler) { FAfterOpen = std::move(handler); }
    const TNotifyEvent& BeforeClose() const { return FBeforeClose; }
    void SetBeforeClose(TNotifyEvent handler) { FBeforeClose = std::move(handler); }
    // Called after a pending row has been stored in the file.
    const TNotifyEvent& AfterPost() const { return FAfterPost; }
    void SetAfterPost(TNotifyEvent handler) { FAfterPost = std::move(handler); }

    // Fields of the open table, in column order (none while closed).
    int FieldCount() const { return int(FFields.size()); }
    TDbField& Field(int index) { return *FFields.at(size_t(index)); }
    const TDbField& Field(int index) const { return *FFields.at(size_t(index)); }
    TDbField* FindField(const QString& name) const; // case-insensitive; nullptr when missing
    TDbField& FieldByName(const QString& name) const; // throws "<Name>: Field '<name>' not found"
    QStringList FieldNames() const;
    // Key function for a field by name, kept across opens (e.g. dates compared as dates).
    void SetKeyFunction(const QString& fieldName, TFieldKeyFunction function);

    // Walking the rows in view. A pending row is posted first.
    void First();
    void Next();
    void Prior();
    void Last();
    int MoveBy(int distance); // returns the distance actually moved
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    bool IsEmpty() const { return FView.empty(); }
    int RecordCount() const { return int(FView.size()); }
    int RecNo() const { return FCur + 1; } // 1-based; 0 when no row is in view

    // Values of the current row.
    const TDbValue& Value(int fieldIndex) const;
    const TDbValue& Value(const QString& fieldName) const;
    QString AsString(const QString& fieldName) const { return Value(fieldName).ToString(); }
    QString DisplayText(const QString& fieldName) const { return TDbField::DisplayText(Value(fieldName)); }
    // A row in view by its position (0-based, < RecordCount()) without moving
    // the current row, for grids that draw rows other than the current one.
    // The current row being edited gives its pending values; Null out of range.
    const TDbValue& ValueAt(int recordIndex, int fieldIndex) const;
    // Only while editing or inserting; the value is checked and converted by the field.
    void SetValue(const QString& fieldName, const TDbValue& value);
    void SetText(const QString& fieldName, const QString& text);

    // Insert: a new pending row before the current one. Edit: the current row
    // becomes pending (with no row in view it inserts instead). Post stores
    // the pending row in the file; Cancel drops it. When the file refuses
    // the row, Post drops it too and throws: the table is back in Browse,
    // the file and the rows as they were, so no later step stores it.
    void Insert();
    void Edit();
    void Post();
    void Cancel();
    // Removes the current row from the file at once. With no row in view fails
    // with "<Name>: Cannot perform this operation on an empty dataset".
    void Delete();
    // Posts a pending row, reads all rows again and keeps the current row
    // current. When the row was stored but the rows cannot be read again,
    // the error says that the row was stored; the table keeps the rows it
    // had, the stored row among them.
    void Refresh();

    // Filter text and switch; the text is kept while the filter is off. Turning
    // the filter on or changing its text while on posts a pending row and goes
    // to the first row in view. A text that cannot be parsed fails and changes nothing.
    const QString& Filter() const { return FFilterText; }
    void SetFilter(const QString& text);
    bool Filtered() const { return FFiltered; }
    void SetFiltered(bool on);

    // Sort text ("price ASC"); empty: by id. Keeps the current row current.
    const QString& Sort() const { return FSortText; }
    void SetSort(const QString& text);

    // Bookmarks name a row by its id; nullopt when no row is in view.
    std::optional<TBookmark> Bookmark() const;
    bool BookmarkValid(TBookmark bookmark) const;
    void GotoBookmark(TBookmark bookmark); // throws when the row is not in view

    // For links that must notice the table's destruction (TGuardedPtr).
    const TLifeToken& LifeToken() const { return FLifeToken; }

private:
    struct TCompiledCondition {
        int Field;
        TCompareOp Op;
        TDbValue Key;
    };
    struct TCompiledSort {
        int Field;
        bool Descending;
    };

    bool InvariantsHold() const;
    [[noreturn]] void Fail(const QString& message) const;
    void CheckActive() const;
    void CheckInactive() const;
    void CheckBrowseMode();
    void CheckWritable() const;
    void ReadFields();
    void ReadRows();
    std::vector<TCompiledCondition> CompileFilter(const QString& text) const;
    std::vector<TCompiledSort> CompileSort(const QString& text) const;
    bool PassesFilter(int row);
    void RebuildView();
    // Puts the rows written since the view was last built where the filter
    // and the sort place them (a refresh after the program's own writes).
    void PlaceWrittenRows();
    // True when row a comes before row b in the sort order (ties: by id).
    bool ViewLess(int a, int b);
    // The comparison key of a row's value and the rows in key order, per
    // field, computed on first use and kept up to date by every write.
    const std::vector<TDbValue>& FieldKeys(int field);
    const TDbValue& RowKey(int row, int field);
    const std::vector<int>& KeyOrder(int field);
    int KeyOrderPos(int field, int row); // where row belongs in KeyOrder(field)
    void ForgetKeys();
    void UpdateKeys(int row); // after the row's values changed
    void MoveToRowId(std::optional<qint64> id, int fallback);
    int ViewPosOfId(qint64 id) const;
    int RowOfId(qint64 id) const;
    qint64 RowId(int row) const { return Cell(row, FKeyField).AsInteger(); }
    const TDbValue& Cell(int row, int field) const
    {
        return FCells[size_t(row) * FFields.size() + size_t(field)];
    }
    int RowCount() const { return FFields.empty() ? 0 : int(FCells.size() / FFields.size()); }
    void SetCurrent(int viewPos);
    void StorePending(); // Post's write; may leave the pending row on failure
    // Row numbers move when a row is inserted before them or removed.
    static void ShiftRows(std::vector<int>& rows, int from, int by);
    void InsertRow(std::vector<TDbValue> values);
    void RemoveRow(int row);

    QString FName;
    QString FDatabaseFile;
    QString FTableName;
    bool FReadOnly = false;
    int FBusyTimeoutMs = TDbConnection::BusyTimeoutMs;
    TDbConnection::TBusyWaitEvent FOnBusyWait;
    TDataSetState FState = TDataSetState::Inactive;
    TNotifyEvent FAfterOpen;
    TNotifyEvent FBeforeClose;
    TNotifyEvent FAfterPost;

    std::unique_ptr<TDbConnection> FConnection;
    std::vector<std::unique_ptr<TDbField>> FFields;
    QHash<QString, int> FFieldIndex; // case-folded name -> index
    QHash<QString, TFieldKeyFunction> FKeyFunctions; // case-folded name -> key
    int FKeyField = -1;

    qint64 FDataVersion = -1; // the file's data version when FCells was read
    std::vector<TDbValue> FCells; // rows by id ascending, FFields.size() cells each
    std::vector<int> FView; // row numbers in view order
    int FCur = -1; // position in FView; -1 when FView is empty
    bool FEof = true;
    bool FBof = true;

    std::vector<TDbValue> FBuffer; // the pending row while editing or inserting
    int FInsertPos = 0; // view position of the row being inserted

    QString FFilterText;
    bool FFiltered = false;
    std::vector<TCompiledCondition> FFilter;
    QString FSortText;
    std::vector<TCompiledSort> FSort;

    struct TFieldKeys {
        std::vector<TDbValue> Keys; // by row; empty: not computed
        std::vector<int> Order; // rows by key, ties by row; empty: not computed
        bool HasKeys = false;
        bool HasOrder = false;
    };
    std::vector<TFieldKeys> FKeys; // by field
    std::vector<int> FWritten; // rows written since the view was last built

    TLifeToken FLifeToken;
};
