// The table cursor: a static client-side copy of one table.
//
// States and transitions:
//   Inactive --Open--> Browse --Insert/Edit--> Insert/Edit --Post/Cancel--> Browse
//   any --Close--> Inactive
// Navigation, Refresh, filter and sort changes post a pending row first, so
// they always run in Browse.
//
// Invariants (checked by InvariantsHold, asserted after the transitions):
//  1. FCells holds RowCount() rows of FFields.size() cells, sorted by id ascending.
//  2. FView holds distinct row numbers < RowCount().
//  3. FCur == -1 exactly when FView is empty; otherwise 0 <= FCur < FView.size().
//  4. FBuffer is non-empty exactly in the Edit and Insert states.
// The file is the truth: Post and Delete change it first and mirror the change
// in memory only after it succeeded, so a failure leaves both as they were.
// A refused Post also drops the pending row: a row the user was told is not
// stored must never be stored later by a navigation that posts it again.
// Because the mirror is exact, Refresh re-reads the file only when another
// connection has committed since the last read (SQLite's data version), and
// then only places the rows it wrote itself instead of rebuilding the view.
//
// Keys: filters and sorts compare keys, which can be costly to fold (case
// folding, dates read from text). Each field's keys and its rows in key
// order are computed once, on first use, and kept exact on every write
// (FKeys), so a filter or a title click is one walk over the rows.
//  5. A computed FKeys[f].Keys[r] is Field(f).Key of row r's value, and a
//     computed FKeys[f].Order holds every row once, by key, ties by row.
//  6. FWritten holds rows whose place in FView may be wrong; every other row
//     of FView is in sort order (by row, that is by id, without a sort).
#include "DbTable.h"
#include "PelmoraError.h"
#include <QStringList>
#include <algorithm>
#include <numeric>

namespace {

const TDbValue NullValue;

QString QuoteIdentifier(const QString& name)
{
    QString quoted = name;
    quoted.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// Kind of an ordinary column: SQLite's rule for integer affinity.
TFieldKind KindOf(const QString& declaredType)
{
    return declaredType.contains(QLatin1String("INT"), Qt::CaseInsensitive) ? TFieldKind::Integer
                                                                            : TFieldKind::String;
}

// Size from a declared type such as "VARCHAR(200)"; 0 when none is given.
int SizeOf(const QString& declaredType)
{
    const qsizetype open = declaredType.indexOf(QLatin1Char('('));
    const qsizetype close = declaredType.indexOf(QLatin1Char(')'), open + 1);
    if (open < 0 || close < 0)
        return 0;
    bool ok = false;
    const int size = declaredType.mid(open + 1, close - open - 1).trimmed().toInt(&ok);
    return ok && size > 0 ? size : 0;
}

// Shares one QString among the equal texts of a column (car names and dates
// repeat a lot), which saves most of the allocations of reading a big table.
// A column whose texts rarely repeat stops being pooled after a trial.
class TTextPool {
public:
    QString Text(QByteArrayView utf8)
    {
        if (!FEnabled)
            return QString::fromUtf8(utf8);
        ++FLookups;
        const QByteArray key = QByteArray::fromRawData(utf8.data(), utf8.size());
        if (const auto it = FTexts.constFind(key); it != FTexts.cend()) {
            ++FHits;
            return *it;
        }
        QString text = QString::fromUtf8(utf8);
        if (FLookups >= TrialLookups && FHits * 2 < FLookups) {
            FEnabled = false;
            FTexts.clear();
        } else if (FTexts.size() < MaxTexts) {
            FTexts.insert(QByteArray(utf8.data(), utf8.size()), text);
        }
        return text;
    }

private:
    static constexpr int TrialLookups = 1024;
    static constexpr qsizetype MaxTexts = 1 << 16;
    QHash<QByteArray, QString> FTexts;
    int FLookups = 0;
    int FHits = 0;
    bool FEnabled = true;
};

} // namespace

TDbTable::TDbTable(QString name)
    : FName(std::move(name))
{
}

TDbTable::~TDbTable() = default;

bool TDbTable::InvariantsHold() const
{
    const int rows = RowCount();
    if (!FFields.empty() && FCells.size() % FFields.size() != 0)
        return false;
    for (int r = 1; r < rows; ++r)
        if (RowId(r - 1) >= RowId(r))
            return false;
    std::vector<bool> seen(size_t(rows), false);
    for (int r : FView) {
        if (r < 0 || r >= rows || seen[size_t(r)])
            return false;
        seen[size_t(r)] = true;
    }
    if ((FCur == -1) != FView.empty() || FCur >= int(FView.size()))
        return false;
    const bool pending = FState == TDataSetState::Edit || FState == TDataSetState::Insert;
    return pending == !FBuffer.empty();
}

void TDbTable::Fail(const QString& message) const
{
    throw EDatabaseError(FName + QStringLiteral(": ") + message);
}

void TDbTable::CheckActive() const
{
    if (!Active())
        Fail(QStringLiteral("Cannot perform this operation on a closed dataset"));
}

void TDbTable::CheckInactive() const
{
    if (Active())
        Fail(QStringLiteral("Cannot perform this operation on an open dataset"));
}

void TDbTable::CheckBrowseMode()
{
    CheckActive();
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        Post();
}

void TDbTable::CheckWritable() const
{
    if (FReadOnly)
        Fail(QStringLiteral("Cannot modify a read-only dataset"));
}

void TDbTable::SetReadOnly(bool readOnly)
{
    CheckInactive();
    FReadOnly = readOnly;
}

void TDbTable::SetBusyTimeout(int milliseconds)
{
    FBusyTimeoutMs = milliseconds;
    if (FConnection)
        FConnection->SetBusyTimeout(milliseconds);
}

void TDbTable::SetOnBusyWait(TDbConnection::TBusyWaitEvent handler)
{
    FOnBusyWait = std::move(handler);
    if (FConnection)
        FConnection->SetOnBusyWait(FOnBusyWait);
}

void TDbTable::SetDatabaseFile(const QString& fileName)
{
    CheckInactive();
    FDatabaseFile = fileName;
}

void TDbTable::SetTableName(const QString& tableName)
{
    CheckInactive();
    FTableName = tableName;
}

// ---- opening and reading ----------------------------------------------------

void TDbTable::Open()
{
    if (Active())
        return;
    try {
        FConnection = std::make_unique<TDbConnection>();
        FConnection->SetBusyTimeout(FBusyTimeoutMs);
        FConnection->SetOnBusyWait(FOnBusyWait);
        FConnection->Open(FDatabaseFile, FReadOnly ? TDbOpenMode::ReadOnly : TDbOpenMode::ReadWrite);
        ReadFields();
        FFilter = FFiltered && !FFilterText.trimmed().isEmpty() ? CompileFilter(FFilterText)
                                                                : std::vector<TCompiledCondition>();
        FSortText.clear(); // each open starts in the order by id
        FSort.clear();
        ReadRows();
    } catch (...) {
        FConnection.reset();
        FFields.clear();
        FFieldIndex.clear();
        FCells.clear();
        FView.clear();
        throw;
    }
    FState = TDataSetState::Browse;
    RebuildView();
    SetCurrent(FView.empty() ? -1 : 0);
    FBof = true;
    FEof = FView.empty();
    Q_ASSERT(InvariantsHold());
    if (FAfterOpen)
        FAfterOpen(*this);
}

void TDbTable::Close()
{
    if (!Active())
        return;
    if (FBeforeClose)
        FBeforeClose(*this);
    FBuffer.clear();
    FState = TDataSetState::Inactive;
    FConnection.reset();
    FFields.clear();
    FFieldIndex.clear();
    FKeyField = -1;
    FCells.clear();
    FView.clear();
    FKeys.clear();
    FWritten.clear();
    FCur = -1;
    FEof = FBof = true;
}

void TDbTable::ReadFields()
{
    FFields.clear();
    FFieldIndex.clear();
    FKeyField = -1;
    struct TColumn {
        QString Name, Type;
        bool PrimaryKey;
    };
    std::vector<TColumn> columns;
    auto info = FConnection->Prepare(QStringLiteral("SELECT name, type, pk FROM pragma_table_info(?)"));
    info->Bind(1, TDbValue::Text(FTableName));
    while (info->Step())
        columns.push_back({ info->ColumnText(0), info->ColumnText(1), info->ColumnInteger(2) != 0 });
    if (columns.empty())
        throw EDatabaseError(
            QStringLiteral("The table '%1' does not exist in '%2'.").arg(FTableName, FDatabaseFile));
    // Only a lone INTEGER primary key is SQLite's own row number, which is
    // always a whole number and numbers itself.
    const auto keys
        = std::count_if(columns.begin(), columns.end(), [](const TColumn& c) { return c.PrimaryKey; });
    for (const TColumn& c : columns) {
        const bool autoInc = keys == 1 && c.PrimaryKey
            && c.Type.trimmed().compare(QLatin1String("INTEGER"), Qt::CaseInsensitive) == 0;
        const TFieldKind kind = autoInc ? TFieldKind::AutoInc : KindOf(c.Type);
        const int index = int(FFields.size());
        auto field = std::make_unique<TDbField>(
            c.Name, kind, kind == TFieldKind::String ? SizeOf(c.Type) : 0, index);
        if (const auto key = FKeyFunctions.constFind(c.Name.toCaseFolded()); key != FKeyFunctions.cend())
            field->SetKeyFunction(*key);
        if (autoInc)
            FKeyField = index;
        FFieldIndex.insert(c.Name.toCaseFolded(), index);
        FFields.push_back(std::move(field));
    }
    if (FKeyField < 0)
        throw EDatabaseError(QStringLiteral("The table '%1' has no auto-numbered key.").arg(FTableName));
}

void TDbTable::ReadRows()
{
    QStringList columns;
    for (const auto& f : FFields)
        columns << QuoteIdentifier(f->FieldName());
    // The version, the count and the rows come from one snapshot of the file.
    FConnection->Execute(QStringLiteral("BEGIN"));
    struct TEndRead {
        TDbConnection& Connection;
        ~TEndRead() { Connection.EndReadTransaction(); }
    } endRead { *FConnection };
    const qint64 version = FConnection->DataVersion();
    auto select
        = FConnection->Prepare(QStringLiteral("SELECT %1 FROM %2 ORDER BY %3")
                                   .arg(columns.join(QLatin1String(", ")), QuoteIdentifier(FTableName),
                                       QuoteIdentifier(FFields[size_t(FKeyField)]->FieldName())));
    // Counting first lets the cells be allocated once: 100,000 rows are
    // millions of cells, and regrowing them costs as much as reading.
    auto count
        = FConnection->Prepare(QStringLiteral("SELECT count(*) FROM %1").arg(QuoteIdentifier(FTableName)));
    count->Step();
    std::vector<TDbValue> cells;
    const int n = FieldCount();
    cells.reserve(size_t(count->ColumnInteger(0) + 16) * size_t(n));
    std::vector<TTextPool> pools(static_cast<size_t>(n));
    while (select->Step()) {
        for (int i = 0; i < n; ++i) {
            if (select->ColumnIsNull(i))
                cells.emplace_back();
            else if (select->ColumnIsInteger(i))
                cells.push_back(TDbValue::Integer(select->ColumnInteger(i)));
            else
                cells.push_back(TDbValue::Text(pools[size_t(i)].Text(select->ColumnUtf8(i))));
        }
    }
    FCells = std::move(cells);
    FDataVersion = version;
    ForgetKeys();
}

// ---- fields and values --------------------------------------------------------

TDbField* TDbTable::FindField(const QString& name) const
{
    const auto it = FFieldIndex.constFind(name.toCaseFolded());
    return it == FFieldIndex.cend() ? nullptr : FFields[size_t(*it)].get();
}

TDbField& TDbTable::FieldByName(const QString& name) const
{
    TDbField* field = FindField(name);
    if (!field)
        Fail(QStringLiteral("Field '%1' not found").arg(name));
    return *field;
}

QStringList TDbTable::FieldNames() const
{
    QStringList names;
    for (const auto& f : FFields)
        names << f->FieldName();
    return names;
}

void TDbTable::SetKeyFunction(const QString& fieldName, TFieldKeyFunction function)
{
    FKeyFunctions.insert(fieldName.toCaseFolded(), function);
    if (TDbField* field = FindField(fieldName)) {
        field->SetKeyFunction(std::move(function));
        if (size_t(field->Index()) < FKeys.size())
            FKeys[size_t(field->Index())] = {};
    }
}

const TDbValue& TDbTable::Value(int fieldIndex) const
{
    if (!FBuffer.empty())
        return FBuffer.at(size_t(fieldIndex));
    if (FCur < 0 || fieldIndex < 0 || fieldIndex >= FieldCount())
        return NullValue;
    return Cell(FView[size_t(FCur)], fieldIndex);
}

const TDbValue& TDbTable::ValueAt(int recordIndex, int fieldIndex) const
{
    if (recordIndex < 0 || recordIndex >= int(FView.size()) || fieldIndex < 0 || fieldIndex >= FieldCount())
        return NullValue;
    if (FState == TDataSetState::Edit && recordIndex == FCur)
        return FBuffer[size_t(fieldIndex)];
    return Cell(FView[size_t(recordIndex)], fieldIndex);
}

const TDbValue& TDbTable::Value(const QString& fieldName) const
{
    return Value(FieldByName(fieldName).Index());
}

void TDbTable::SetValue(const QString& fieldName, const TDbValue& value)
{
    const TDbField& field = FieldByName(fieldName);
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        Fail(QStringLiteral("Dataset not in edit or insert mode"));
    FBuffer[size_t(field.Index())] = field.Convert(value);
}

void TDbTable::SetText(const QString& fieldName, const QString& text)
{
    const TDbField& field = FieldByName(fieldName);
    if (FState != TDataSetState::Edit && FState != TDataSetState::Insert)
        Fail(QStringLiteral("Dataset not in edit or insert mode"));
    FBuffer[size_t(field.Index())] = field.ConvertText(text);
}

// ---- navigation ---------------------------------------------------------------

void TDbTable::SetCurrent(int viewPos)
{
    FCur = FView.empty() ? -1 : std::clamp(viewPos, 0, int(FView.size()) - 1);
    FEof = FBof = FView.empty();
}

void TDbTable::First()
{
    CheckBrowseMode();
    SetCurrent(0);
    FBof = true;
}

void TDbTable::Last()
{
    CheckBrowseMode();
    SetCurrent(int(FView.size()) - 1);
    FEof = true;
}

void TDbTable::Next()
{
    MoveBy(1);
}

void TDbTable::Prior()
{
    MoveBy(-1);
}

int TDbTable::MoveBy(int distance)
{
    CheckBrowseMode();
    if (FView.empty()) {
        FEof = FBof = true;
        return 0;
    }
    const qint64 target = qint64(FCur) + distance;
    const int last = int(FView.size()) - 1;
    const int moved = int(std::clamp<qint64>(target, 0, last)) - FCur;
    FCur += moved;
    FEof = target > last;
    FBof = target < 0;
    return moved;
}

// ---- editing ------------------------------------------------------------------

void TDbTable::Insert()
{
    CheckBrowseMode();
    CheckWritable();
    FInsertPos = FCur < 0 ? 0 : FCur;
    FBuffer.assign(FFields.size(), TDbValue());
    FState = TDataSetState::Insert;
    FEof = FBof = false;
}

void TDbTable::Edit()
{
    CheckActive();
    if (FState == TDataSetState::Edit || FState == TDataSetState::Insert)
        return;
    CheckWritable();
    if (FView.empty()) {
        Insert();
        return;
    }
    const int row = FView[size_t(FCur)];
    FBuffer.assign(
        FCells.begin() + qsizetype(row) * FieldCount(), FCells.begin() + qsizetype(row + 1) * FieldCount());
    FState = TDataSetState::Edit;
}

void TDbTable::Post()
{
    CheckActive();
    if (FState == TDataSetState::Browse)
        return;
    try {
        StorePending();
    } catch (...) {
        // The file refused the row (SQLite has undone the statement): the
        // row goes, so nothing posts it again behind the user's back.
        Cancel();
        throw;
    }
    if (FAfterPost)
        FAfterPost(*this);
}

void TDbTable::StorePending()
{
    QStringList names, marks;
    for (const auto& f : FFields) {
        if (f->Index() == FKeyField)
            continue;
        names << QuoteIdentifier(f->FieldName());
        marks << QStringLiteral("?");
    }
    if (FState == TDataSetState::Insert) {
        auto insert
            = FConnection->Prepare(QStringLiteral("INSERT INTO %1 (%2) VALUES (%3)")
                                       .arg(QuoteIdentifier(FTableName), names.join(QLatin1String(", ")),
                                           marks.join(QLatin1String(", "))));
        int p = 1;
        for (const auto& f : FFields)
            if (f->Index() != FKeyField)
                insert->Bind(p++, FBuffer[size_t(f->Index())]);
        insert->Step();
        FBuffer[size_t(FKeyField)] = TDbValue::Integer(FConnection->LastInsertId());
        const int pos = FInsertPos;
        std::vector<TDbValue> values = std::move(FBuffer);
        FBuffer.clear();
        FState = TDataSetState::Browse;
        // The new row sits where it was inserted until the next refresh re-sorts.
        InsertRow(std::move(values));
        SetCurrent(pos);
        Q_ASSERT(InvariantsHold());
    } else {
        QStringList sets;
        for (const QString& n : names)
            sets << n + QStringLiteral(" = ?");
        auto update
            = FConnection->Prepare(QStringLiteral("UPDATE %1 SET %2 WHERE %3 = ?")
                                       .arg(QuoteIdentifier(FTableName), sets.join(QLatin1String(", ")),
                                           QuoteIdentifier(FFields[size_t(FKeyField)]->FieldName())));
        int p = 1;
        for (const auto& f : FFields)
            if (f->Index() != FKeyField)
                update->Bind(p++, FBuffer[size_t(f->Index())]);
        update->Bind(p, FBuffer[size_t(FKeyField)]);
        update->Step();
        if (FConnection->Changes() == 0)
            Fail(QStringLiteral("Row cannot be located for updating. Some values may have been changed since "
                                "it was last read"));
        const int row = FView[size_t(FCur)];
        std::move(FBuffer.begin(), FBuffer.end(), FCells.begin() + qsizetype(row) * FieldCount());
        FBuffer.clear();
        FState = TDataSetState::Browse;
        // The row stays where it is until the next refresh places it.
        UpdateKeys(row);
        if (std::find(FWritten.begin(), FWritten.end(), row) == FWritten.end())
            FWritten.push_back(row);
        Q_ASSERT(InvariantsHold());
    }
}

void TDbTable::Cancel()
{
    CheckActive();
    FBuffer.clear();
    FState = TDataSetState::Browse;
    SetCurrent(FCur);
}

void TDbTable::Delete()
{
    CheckActive();
    CheckWritable();
    if (FState == TDataSetState::Insert) {
        Cancel();
        return;
    }
    if (FState == TDataSetState::Edit)
        Cancel();
    if (FView.empty())
        Fail(QStringLiteral("Cannot perform this operation on an empty dataset"));
    const int row = FView[size_t(FCur)];
    auto del = FConnection->Prepare(
        QStringLiteral("DELETE FROM %1 WHERE %2 = ?")
            .arg(QuoteIdentifier(FTableName), QuoteIdentifier(FFields[size_t(FKeyField)]->FieldName())));
    del->Bind(1, TDbValue::Integer(RowId(row)));
    del->Step(); // a row another process removed already is simply gone
    const int pos = FCur;
    RemoveRow(row);
    SetCurrent(pos);
    Q_ASSERT(InvariantsHold());
}

void TDbTable::Refresh()
{
    CheckActive();
    const bool posting = FState == TDataSetState::Edit || FState == TDataSetState::Insert;
    Post();
    const std::optional<qint64> current = Bookmark();
    const int pos = FCur;
    try {
        // Our own writes are mirrored in memory already; only another
        // connection's commit makes re-reading the file necessary.
        if (FConnection->DataVersion() != FDataVersion)
            ReadRows();
    } catch (const EPelmoraError& e) {
        if (!posting)
            throw;
        throw EDatabaseError(QStringLiteral("The entry was stored, but the rows could not be read again. %1")
                                 .arg(e.Message()));
    }
    RebuildView();
    MoveToRowId(current, pos);
    Q_ASSERT(InvariantsHold());
}

// ---- rows in memory -------------------------------------------------------------

int TDbTable::RowOfId(qint64 id) const
{
    int lo = 0, hi = RowCount();
    while (lo < hi) {
        const int mid = lo + (hi - lo) / 2;
        if (RowId(mid) < id)
            lo = mid + 1;
        else
            hi = mid;
    }
    return lo < RowCount() && RowId(lo) == id ? lo : -1;
}

void TDbTable::ShiftRows(std::vector<int>& rows, int from, int by)
{
    for (int& r : rows)
        if (r >= from)
            r += by;
}

void TDbTable::InsertRow(std::vector<TDbValue> values)
{
    const qint64 id = values[size_t(FKeyField)].AsInteger();
    int row = 0;
    for (int lo = 0, hi = RowCount(); lo < hi;) {
        const int mid = lo + (hi - lo) / 2;
        if (RowId(mid) < id)
            lo = row = mid + 1;
        else
            hi = row = mid;
    }
    FCells.insert(FCells.begin() + qsizetype(row) * FieldCount(), std::make_move_iterator(values.begin()),
        std::make_move_iterator(values.end()));
    ShiftRows(FView, row, 1);
    ShiftRows(FWritten, row, 1);
    FView.insert(FView.begin() + std::clamp(FInsertPos, 0, int(FView.size())), row);
    FWritten.push_back(row);
    for (size_t f = 0; f < FKeys.size(); ++f) {
        TFieldKeys& keys = FKeys[f];
        if (!keys.HasKeys)
            continue;
        keys.Keys.insert(keys.Keys.begin() + row, FFields[f]->Key(Cell(row, int(f))));
        if (keys.HasOrder) {
            ShiftRows(keys.Order, row, 1);
            keys.Order.insert(keys.Order.begin() + KeyOrderPos(int(f), row), row);
        }
    }
}

void TDbTable::RemoveRow(int row)
{
    FCells.erase(
        FCells.begin() + qsizetype(row) * FieldCount(), FCells.begin() + qsizetype(row + 1) * FieldCount());
    FView.erase(std::remove(FView.begin(), FView.end(), row), FView.end());
    FWritten.erase(std::remove(FWritten.begin(), FWritten.end(), row), FWritten.end());
    ShiftRows(FView, row + 1, -1);
    ShiftRows(FWritten, row + 1, -1);
    for (TFieldKeys& keys : FKeys) {
        if (!keys.HasKeys)
            continue;
        keys.Keys.erase(keys.Keys.begin() + row);
        if (keys.HasOrder) {
            keys.Order.erase(std::find(keys.Order.begin(), keys.Order.end(), row));
            ShiftRows(keys.Order, row + 1, -1);
        }
    }
}

// ---- comparison keys --------------------------------------------------------------

void TDbTable::ForgetKeys()
{
    FKeys.assign(FFields.size(), TFieldKeys());
    FWritten.clear();
}

const std::vector<TDbValue>& TDbTable::FieldKeys(int field)
{
    TFieldKeys& keys = FKeys[size_t(field)];
    if (!keys.HasKeys) {
        const int rows = RowCount();
        const TDbField& f = *FFields[size_t(field)];
        keys.Keys.resize(size_t(rows));
        for (int r = 0; r < rows; ++r)
            keys.Keys[size_t(r)] = f.Key(Cell(r, field));
        keys.HasKeys = true;
    }
    return keys.Keys;
}

const TDbValue& TDbTable::RowKey(int row, int field)
{
    return FieldKeys(field)[size_t(row)];
}

const std::vector<int>& TDbTable::KeyOrder(int field)
{
    TFieldKeys& keys = FKeys[size_t(field)];
    if (!keys.HasOrder) {
        FieldKeys(field);
        keys.Order.resize(size_t(RowCount()));
        std::iota(keys.Order.begin(), keys.Order.end(), 0);
        const std::vector<TDbValue>& k = keys.Keys;
        std::stable_sort(keys.Order.begin(), keys.Order.end(),
            [&](int a, int b) { return CompareKeys(k[size_t(a)], k[size_t(b)]) < 0; });
        keys.HasOrder = true;
    }
    return keys.Order;
}

int TDbTable::KeyOrderPos(int field, int row)
{
    const TFieldKeys& keys = FKeys[size_t(field)];
    const TDbValue& key = keys.Keys[size_t(row)];
    const auto it = std::lower_bound(keys.Order.begin(), keys.Order.end(), row, [&](int other, int) {
        const int c = CompareKeys(keys.Keys[size_t(other)], key);
        return c < 0 || (c == 0 && other < row);
    });
    return int(it - keys.Order.begin());
}

void TDbTable::UpdateKeys(int row)
{
    for (size_t f = 0; f < FKeys.size(); ++f) {
        TFieldKeys& keys = FKeys[size_t(f)];
        if (!keys.HasKeys)
            continue;
        TDbValue key = FFields[f]->Key(Cell(row, int(f)));
        if (key == keys.Keys[size_t(row)])
            continue;
        keys.Keys[size_t(row)] = std::move(key);
        if (keys.HasOrder) {
            keys.Order.erase(std::find(keys.Order.begin(), keys.Order.end(), row));
            keys.Order.insert(keys.Order.begin() + KeyOrderPos(int(f), row), row);
        }
    }
}

int TDbTable::ViewPosOfId(qint64 id) const
{
    const int row = RowOfId(id);
    if (row < 0)
        return -1;
    const auto it = std::find(FView.begin(), FView.end(), row);
    return it == FView.end() ? -1 : int(it - FView.begin());
}

void TDbTable::MoveToRowId(std::optional<qint64> id, int fallback)
{
    const int pos = id ? ViewPosOfId(*id) : -1;
    SetCurrent(pos >= 0 ? pos : fallback);
}

// ---- filter and sort --------------------------------------------------------------

std::vector<TDbTable::TCompiledCondition> TDbTable::CompileFilter(const QString& text) const
{
    std::vector<TCompiledCondition> compiled;
    const TFilterExpression expression = TFilterExpression::Parse(text);
    for (const TFilterCondition& c : expression.Conditions()) {
        const TDbField* field = FindField(c.FieldName);
        if (!field)
            throw EDatabaseError(
                QStringLiteral("Invalid filter \"%1\": unknown field '%2'").arg(text, c.FieldName));
        TDbValue literal = c.Literal;
        if (field->IsNumeric() && literal.IsText()) {
            try {
                literal = TDbValue::Integer(StrToInt(literal.AsText()));
            } catch (const EConvertError& e) {
                throw EDatabaseError(QStringLiteral("Invalid filter \"%1\": %2").arg(text, e.Message()));
            }
        } else if (!field->IsNumeric())
            literal = TDbValue::Text(literal.ToString());
        compiled.push_back({ field->Index(), c.Op, field->Key(literal) });
    }
    return compiled;
}

std::vector<TDbTable::TCompiledSort> TDbTable::CompileSort(const QString& text) const
{
    std::vector<TCompiledSort> compiled;
    for (const TSortKey& k : ParseSortText(text))
        compiled.push_back({ FieldByName(k.FieldName).Index(), k.Descending });
    return compiled;
}

bool TDbTable::PassesFilter(int row)
{
    for (const TCompiledCondition& c : FFilter) {
        // Null compares with nothing, as in SQL.
        if (Cell(row, c.Field).IsNull()
            || !TFilterExpression::Holds(c.Op, CompareKeys(RowKey(row, c.Field), c.Key)))
            return false;
    }
    return true;
}

bool TDbTable::ViewLess(int a, int b)
{
    for (const TCompiledSort& s : FSort) {
        const int c = CompareKeys(RowKey(a, s.Field), RowKey(b, s.Field));
        if (c != 0)
            return s.Descending ? c > 0 : c < 0;
    }
    return a < b;
}

void TDbTable::PlaceWrittenRows()
{
    std::sort(FWritten.begin(), FWritten.end());
    FView.erase(std::remove_if(FView.begin(), FView.end(),
                    [&](int row) { return std::binary_search(FWritten.begin(), FWritten.end(), row); }),
        FView.end());
    for (const int row : FWritten) {
        if (!FFilter.empty() && !PassesFilter(row))
            continue;
        // Every other row is in order, so the written one goes where it sorts.
        const auto at = std::lower_bound(
            FView.begin(), FView.end(), row, [&](int other, int) { return ViewLess(other, row); });
        FView.insert(at, row);
    }
    FWritten.clear();
}

void TDbTable::RebuildView()
{
    FWritten.clear();
    FView.clear();
    const int rows = RowCount();
    FView.reserve(size_t(rows));
    auto take = [&](int r) {
        if (FFilter.empty() || PassesFilter(r))
            FView.push_back(r);
    };
    if (FSort.empty()) {
        for (int r = 0; r < rows; ++r)
            take(r);
        return;
    }
    if (FSort.size() == 1) {
        // The field's rows in key order, ties by id; descending takes the
        // groups of equal keys from the last, each group still by id.
        const int field = FSort[0].Field;
        const std::vector<int>& order = KeyOrder(field);
        if (!FSort[0].Descending) {
            for (int r : order)
                take(r);
            return;
        }
        const std::vector<TDbValue>& keys = FKeys[size_t(field)].Keys;
        for (int end = int(order.size()); end > 0;) {
            int begin = end - 1;
            while (begin > 0
                && CompareKeys(keys[size_t(order[size_t(begin - 1)])], keys[size_t(order[size_t(end - 1)])])
                    == 0)
                --begin;
            for (int i = begin; i < end; ++i)
                take(order[size_t(i)]);
            end = begin;
        }
        return;
    }
    for (int r = 0; r < rows; ++r)
        take(r);
    std::stable_sort(FView.begin(), FView.end(), [&](int a, int b) { return ViewLess(a, b); });
}

void TDbTable::SetFilter(const QString& text)
{
    if (!Active() || !FFiltered) {
        FFilterText = text;
        return;
    }
    auto compiled = text.trimmed().isEmpty() ? std::vector<TCompiledCondition>() : CompileFilter(text);
    CheckBrowseMode();
    FFilterText = text;
    FFilter = std::move(compiled);
    RebuildView();
    SetCurrent(0);
    FBof = true;
}

void TDbTable::SetFiltered(bool on)
{
    if (!Active()) {
        if (on && !FFilterText.trimmed().isEmpty())
            TFilterExpression::Parse(FFilterText); // refuse a bad text now, not at the next open
        FFiltered = on;
        return;
    }
    auto compiled = on && !FFilterText.trimmed().isEmpty() ? CompileFilter(FFilterText)
                                                           : std::vector<TCompiledCondition>();
    CheckBrowseMode();
    FFiltered = on;
    FFilter = std::move(compiled);
    RebuildView();
    SetCurrent(0);
    FBof = true;
}

void TDbTable::SetSort(const QString& text)
{
    CheckActive();
    auto compiled = CompileSort(text);
    CheckBrowseMode();
    const std::optional<qint64> current = Bookmark();
    FSortText = text;
    FSort = std::move(compiled);
    RebuildView();
    MoveToRowId(current, 0);
}

// ---- bookmarks --------------------------------------------------------------------

std::optional<TDbTable::TBookmark> TDbTable::Bookmark() const
{
    if (FState == TDataSetState::Inactive || FCur < 0)
        return std::nullopt;
    return RowId(FView[size_t(FCur)]);
}

bool TDbTable::BookmarkValid(TBookmark bookmark) const
{
    return Active() && ViewPosOfId(bookmark) >= 0;
}

void TDbTable::GotoBookmark(TBookmark bookmark)
{
    CheckBrowseMode();
    const int pos = ViewPosOfId(bookmark);
    if (pos < 0)
        Fail(QStringLiteral("Record not found"));
    SetCurrent(pos);
}
