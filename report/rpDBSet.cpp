// Report data sets: the base cursor with its ranges and events, the data set
// fed by events, the bridge to the program's table layer, the process-wide
// data-set list and the published-property tables of these classes.
//
// Bridge states (TrpDBDataset):
//   unbound --Initialize--> bound, not open --Open--> bound, open
//   open --Close / table closed--> bound, not open
//   bound --Finalize--> unbound
// Operations that need data open first (EnsureOpen), so Open happens at the
// first First, Next, Prior, Eof, RecordCount or value request.
//
// Invariants:
//   1. While bound, the bound table's after-open and before-close handlers
//      are the bridge's own, and the table's previous handlers are saved;
//      Finalize and the destructor put them back. Nothing else of the table
//      is kept beyond a run.
//   2. The field map holds column indexes, never field objects, and belongs
//      to the table named by FMapTable; it is cleared when that table closes.
//      A destroyed table empties every link to it (TGuardedPtr), so no
//      pointer into a table outlives the table.
//   3. The remembered position exists only while open with an rbCurrent or
//      reCurrent range.
#include "rpDBSet.h"

#include "rpRes.h"

#include <algorithm>
#include <limits>

namespace {

// The process-wide list. Report work runs on the user-interface thread
// only, so it needs no lock.
std::vector<TrpDataSet*>& DataSetList()
{
    static std::vector<TrpDataSet*> list;
    return list;
}

bool SameText(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) == 0;
}

// One alias line: the field name before the first "=", the alias after it.
struct TAliasLine {
    QString FieldName;
    QString Alias;
};

TAliasLine SplitAliasLine(const QString& Line)
{
    const qsizetype eq = Line.indexOf(u'=');
    if (eq < 0)
        return { Line, Line };
    return { Line.left(eq), Line.mid(eq + 1) };
}

// The framework's default widths, in characters: a text column its size,
// a 32-bit whole number 11 (ten digits and a sign); an unsized text column
// counts as a memo, 10.
int DisplayWidthOf(const TDbField& Field)
{
    if (Field.Kind() == TFieldKind::String)
        return Field.Size() > 0 ? Field.Size() : 10;
    return 11;
}

Variant ToVariant(const TDbValue& Value)
{
    if (Value.IsNull())
        return Variant::Null();
    if (Value.IsText())
        return Variant(Value.AsText());
    const qint64 v = Value.AsInteger();
    if (v >= std::numeric_limits<int32_t>::min() && v <= std::numeric_limits<int32_t>::max())
        return Variant(int32_t(v));
    return Variant(int64_t(v));
}

} // namespace

// ----------------------------------------------------------------- TrpDataSet

TrpDataSet::TrpDataSet()
{
    DataSetList().push_back(this);
}

TrpDataSet::~TrpDataSet()
{
    auto& list = DataSetList();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
}

void TrpDataSet::SetName(const QString& Value)
{
    TrpDialogComponent::SetName(Value);
    if (!Value.isEmpty() && FUserName.isEmpty())
        FUserName = Value;
}

QString TrpDataSet::GetDisplayText(const QString&)
{
    return QString();
}

int TrpDataSet::GetDisplayWidth(const QString&)
{
    return 10;
}

TrpFieldType TrpDataSet::GetFieldType(const QString&)
{
    return fftNumeric;
}

Variant TrpDataSet::GetValue(const QString&)
{
    return Variant::Null();
}

void TrpDataSet::SetUserName(const QString& Value)
{
    if (Value.trimmed().isEmpty())
        throw TrpReportError(rpGet(QStringLiteral("prInvProp")));
    FUserName = Value;
}

void TrpDataSet::Finalize()
{
    // The report that set it may not outlive the run.
    FReportRef = nullptr;
}

void TrpDataSet::Open()
{
    if (OnOpen)
        OnOpen(this);
}

void TrpDataSet::Close()
{
    if (OnClose)
        OnClose(this);
}

void TrpDataSet::First()
{
    FRecNo = 0;
    FEof = false;
    if (OnFirst)
        OnFirst(this);
}

void TrpDataSet::Next()
{
    FEof = false;
    ++FRecNo;
    if (RangeEnd() == reCount && FRecNo >= RangeEndCount()) {
        FRecNo = RangeEndCount() - 1;
        FEof = true;
    } else if (OnNext) {
        OnNext(this);
    }
}

void TrpDataSet::Prior()
{
    --FRecNo;
    if (OnPrior)
        OnPrior(this);
}

bool TrpDataSet::Eof()
{
    bool result = RangeEnd() == reCount && (FRecNo >= RangeEndCount() || FEof);
    if (OnCheckEOF)
        OnCheckEOF(this, result);
    return result;
}

int TrpDataSet::RecordCount()
{
    return RangeBegin() == rbFirst && RangeEnd() == reCount ? RangeEndCount() : 0;
}

void TrpDataSet::GetFieldList(QStringList& List)
{
    List.clear();
}

bool TrpDataSet::HasField(const QString& FieldName)
{
    QStringList names;
    GetFieldList(names);
    return names.contains(FieldName, Qt::CaseInsensitive);
}

void TrpDataSet::AddReportError(const QString& Text) const
{
    TrpReport* report = FReportRef ? FReportRef : Report();
    if (report)
        report->AddError(report->CurObject + QStringLiteral(": ") + Text);
}

// ------------------------------------------------------------- TrpUserDataSet

Variant TrpUserDataSet::GetValue(const QString& FieldName)
{
    Variant value = Variant::Null();
    if (OnGetValue)
        OnGetValue(FieldName, value);
    if (OnNewGetValue)
        OnNewGetValue(this, FieldName, value);
    return value;
}

QString TrpUserDataSet::GetDisplayText(const QString& FieldName)
{
    QString text;
    if (OnGetValue) {
        Variant value = Variant::Null();
        OnGetValue(FieldName, value);
        text = value.AsString();
    }
    if (OnNewGetValue) {
        Variant value = Variant::Null();
        OnNewGetValue(this, FieldName, value);
        text = value.AsString();
    }
    return text;
}

// --------------------------------------------------------- TrpCustomDBDataSet

QString TrpCustomDBDataSet::ConvertAlias(const QString& Alias) const
{
    for (const QString& line : FieldAliases()) {
        const TAliasLine a = SplitAliasLine(line);
        if (SameText(a.Alias, Alias))
            return a.FieldName;
    }
    return Alias;
}

QString TrpCustomDBDataSet::GetAlias(const QString& FieldName) const
{
    for (const QString& line : FieldAliases()) {
        const TAliasLine a = SplitAliasLine(line);
        if (SameText(a.FieldName, FieldName))
            return a.Alias;
    }
    return FieldName;
}

int TrpCustomDBDataSet::FieldsCount()
{
    QStringList names;
    GetFieldList(names);
    return int(names.size());
}

namespace {
bool NameLess(const QString& A, const QString& B)
{
    return A.compare(B, Qt::CaseInsensitive) < 0;
}
} // namespace

const TrpCustomDBDataSet::TrpFieldMapItem* TrpCustomDBDataSet::FindInFieldMap(const QString& Name) const
{
    // The same buffer means the same text: the memo holds a reference to it,
    // so it cannot have changed since.
    for (const TrpLookupMemo& m : FLookupMemo)
        if (m.Item && m.Key.constData() == Name.constData() && m.Key.size() == Name.size())
            return m.Item;
    const TrpFieldMapItem* found = nullptr;
    // Expressions nearly always spell the name as listed: an exact match
    // over the few entries is much cheaper than comparing without case.
    for (const TrpFieldMapItem& i : FFieldMap)
        if (i.Name == Name) {
            found = &i;
            break;
        }
    if (!found) {
        auto it = std::lower_bound(FFieldMap.begin(), FFieldMap.end(), Name,
            [](const TrpFieldMapItem& i, const QString& n) { return NameLess(i.Name, n); });
        if (it != FFieldMap.end() && SameText(it->Name, Name))
            found = &*it;
    }
    if (found) {
        FLookupMemo[FLookupNext] = { Name, found };
        FLookupNext = (FLookupNext + 1) % FLookupMemo.size();
    }
    return found;
}

void TrpCustomDBDataSet::AddToFieldMap(TrpFieldMapItem Item)
{
    auto it = std::lower_bound(FFieldMap.begin(), FFieldMap.end(), Item.Name,
        [](const TrpFieldMapItem& i, const QString& n) { return NameLess(i.Name, n); });
    if (it == FFieldMap.end() || !SameText(it->Name, Item.Name)) {
        // Inserting moves the entries the memo points at.
        FLookupMemo = {};
        FFieldMap.insert(it, std::move(Item));
    }
}

void TrpCustomDBDataSet::ClearFieldMap()
{
    FLookupMemo = {};
    FFieldMap.clear();
}

// --------------------------------------------------------------- TrpDBDataset

TrpDBDataset::TrpDBDataset() = default;

TrpDBDataset::~TrpDBDataset()
{
    Unbind();
}

void TrpDBDataset::SetDataSet(TDbTable* Value)
{
    Unbind();
    FDataSet = TGuardedPtr<TDbTable>(Value);
    if (Value)
        FDataSource.reset();
    FInitialized = false;
}

void TrpDBDataset::SetDataSource(TDbDataSource* Value)
{
    Unbind();
    FDataSource = TGuardedPtr<TDbDataSource>(Value);
    if (Value)
        FDataSet.reset();
    FInitialized = false;
}

TDbTable* TrpDBDataset::EffectiveDataSet() const
{
    if (TDbTable* t = FDataSet.get())
        return t;
    if (TDbDataSource* s = FDataSource.get())
        return s->DataSet();
    return nullptr;
}

TDbTable* TrpDBDataset::Table() const
{
    return FBound ? FDS.get() : EffectiveDataSet();
}

void TrpDBDataset::ThrowNotConnected() const
{
    throw TrpReportError(rpGet(QStringLiteral("dbNotConn")).replace(QStringLiteral("%s"), Name()));
}

TDbTable& TrpDBDataset::RequireTable() const
{
    TDbTable* t = Table();
    if (!t)
        ThrowNotConnected();
    return *t;
}

TDbTable& TrpDBDataset::EnsureOpen()
{
    // Every row asks several times: open on the bound table that is still
    // alive is the common case and costs one liveness check.
    if (FInitialized && FBound) {
        TDbTable* bound = FDS.get();
        if (bound && bound == FMapTableRaw)
            return *bound;
    }
    TDbTable& t = RequireTable();
    if (!FInitialized || FMapTable.get() != &t) {
        FInitialized = false;
        Open();
    }
    return t;
}

void TrpDBDataset::Initialize()
{
    // A second Initialize must not save the bridge's own handlers as the table's.
    Unbind();
    TDbTable* t = EffectiveDataSet();
    if (!t)
        ThrowNotConnected();
    FDS = TGuardedPtr<TDbTable>(t);
    FSaveAfterOpen = t->AfterOpen();
    FSaveBeforeClose = t->BeforeClose();
    t->SetAfterOpen([this](TDbTable& table) { DataSetAfterOpen(table); });
    t->SetBeforeClose([this](TDbTable& table) { DataSetBeforeClose(table); });
    FBound = true;
    FOwnEof = false;
    FInitialized = false;
}

void TrpDBDataset::Unbind()
{
    if (FBound) {
        if (TDbTable* t = FDS.get()) {
            t->SetAfterOpen(std::move(FSaveAfterOpen));
            t->SetBeforeClose(std::move(FSaveBeforeClose));
        }
        FSaveAfterOpen = nullptr;
        FSaveBeforeClose = nullptr;
        FBound = false;
    }
    FDS.reset();
}

void TrpDBDataset::Finalize()
{
    // The handlers go back even when moving or closing the table fails.
    struct TUnbindAtEnd {
        TrpDBDataset* Self;
        ~TUnbindAtEnd()
        {
            Self->Unbind();
            Self->FInitialized = false;
            Self->TrpDataSet::Finalize();
        }
    } unbindAtEnd { this };
    TDbTable* t = Table();
    if (!t)
        return;
    if (FBookmark) {
        // A row deleted or filtered out meanwhile cannot be returned to.
        if (t->BookmarkValid(*FBookmark))
            t->GotoBookmark(*FBookmark);
        FBookmark.reset();
    }
    if (CloseDataSource())
        Close();
}

void TrpDBDataset::Open()
{
    if (FInitialized)
        return;
    TDbTable& t = RequireTable();
    FInitialized = true;
    try {
        if (!t.Active())
            t.Open();
        BuildFieldMap(t);
    } catch (...) {
        FInitialized = false;
        throw;
    }
    if (RangeBegin() == rbCurrent || RangeEnd() == reCurrent)
        FBookmark = t.Bookmark();
    else
        FBookmark.reset();
    TrpCustomDBDataSet::Open();
}

void TrpDBDataset::Close()
{
    TrpCustomDBDataSet::Close();
    FBookmark.reset();
    FInitialized = false;
    if (TDbTable* t = Table())
        t->Close();
}

void TrpDBDataset::BuildFieldMap(TDbTable& Table)
{
    ClearFieldMap();
    FMapTable = TGuardedPtr<TDbTable>(&Table);
    FMapTableRaw = &Table;
    QStringList names;
    GetFieldList(names);
    for (const QString& name : names) {
        TrpFieldMapItem item;
        item.Name = name;
        if (const TDbField* f = Table.FindField(ConvertAlias(name))) {
            item.FieldIndex = f->Index();
            item.Kind = f->Kind();
        }
        AddToFieldMap(std::move(item));
    }
}

void TrpDBDataset::DataSetAfterOpen(TDbTable& Table)
{
    // Reopened while bound: the columns may have changed.
    BuildFieldMap(Table);
    if (FSaveAfterOpen)
        FSaveAfterOpen(Table);
}

void TrpDBDataset::DataSetBeforeClose(TDbTable& Table)
{
    if (FSaveBeforeClose)
        FSaveBeforeClose(Table);
    FBookmark.reset();
    FInitialized = false;
    ClearFieldMap();
    FMapTable.reset();
    FMapTableRaw = nullptr;
}

void TrpDBDataset::First()
{
    TDbTable& t = EnsureOpen();
    if (RangeBegin() == rbCurrent) {
        if (FBookmark)
            t.GotoBookmark(*FBookmark);
    } else {
        t.First();
    }
    FOwnEof = false;
    TrpCustomDBDataSet::First();
}

void TrpDBDataset::Next()
{
    TDbTable& t = EnsureOpen();
    FOwnEof = false;
    if (RangeEnd() == reCurrent && t.Bookmark() == FBookmark) {
        FOwnEof = true;
        return;
    }
    t.Next();
    TrpCustomDBDataSet::Next();
}

void TrpDBDataset::Prior()
{
    EnsureOpen().Prior();
    TrpCustomDBDataSet::Prior();
}

bool TrpDBDataset::Eof()
{
    TDbTable& t = EnsureOpen();
    const bool base = TrpCustomDBDataSet::Eof();
    return base || t.Eof() || FOwnEof;
}

int TrpDBDataset::RecordCount()
{
    return EnsureOpen().RecordCount();
}

QString TrpDBDataset::NotFoundText(const QString& FieldName) const
{
    return rpGet(QStringLiteral("dbFieldNotFound")) + u' ' + UserName() + QStringLiteral(".\"") + FieldName
        + u'"';
}

Variant TrpDBDataset::GetValue(const QString& FieldName)
{
    TDbTable& t = EnsureOpen();
    const TrpFieldMapItem* item = FindInFieldMap(FieldName);
    if (!item || item->FieldIndex < 0) {
        AddReportError(NotFoundText(FieldName));
        return Variant::Null();
    }
    return ToVariant(t.Value(item->FieldIndex));
}

QString TrpDBDataset::GetDisplayText(const QString& FieldName)
{
    TDbTable& t = EnsureOpen();
    if (!t.Active())
        return UserName() + QStringLiteral(".\"") + FieldName + u'"';
    if (!FFieldMap.empty()) {
        const TrpFieldMapItem* item = FindInFieldMap(FieldName);
        if (!item || item->FieldIndex < 0) {
            const QString text = NotFoundText(FieldName);
            AddReportError(text);
            return text;
        }
        return TDbField::DisplayText(t.Value(item->FieldIndex));
    }
    return t.DisplayText(FieldName);
}

int TrpDBDataset::GetDisplayWidth(const QString& FieldName)
{
    // Closed tables of the table layer have no field definitions: 10.
    const TDbTable* t = Table();
    const TDbField* f = t ? t->FindField(ConvertAlias(FieldName)) : nullptr;
    return f ? DisplayWidthOf(*f) : 10;
}

TrpFieldType TrpDBDataset::GetFieldType(const QString& FieldName)
{
    const TDbTable* t = Table();
    if (!t)
        return fftNumeric;
    // No such field counts as an integer one.
    const TDbField* f = t->FindField(ConvertAlias(FieldName));
    return f && f->Kind() == TFieldKind::String ? fftString : fftNumeric;
}

// The table layer has no BLOB columns, so no mapped field is a BLOB field
// and there is never content to hand over.
bool TrpDBDataset::IsBlobField(const QString&)
{
    return false;
}

void TrpDBDataset::AssignBlobTo(const QString&, TrpBlobTarget) { }

void TrpDBDataset::GetFieldList(QStringList& List)
{
    List.clear();
    if (!FieldAliases().isEmpty()) {
        for (const QString& line : FieldAliases()) {
            if (line.isEmpty())
                continue;
            const TAliasLine a = SplitAliasLine(line);
            if (!a.FieldName.startsWith(u'-'))
                List << a.Alias;
        }
        return;
    }
    if (const TDbTable* t = Table())
        List = t->FieldNames();
}

// ---------------------------------------------------------- the process list

const std::vector<TrpDataSet*>& rpDataSetList()
{
    return DataSetList();
}

TrpDataSet* rpFindDataSet(TrpDataSet* Current, const QString& Name, const TrpComponent* Owner)
{
    if (Name.isEmpty())
        return nullptr;
    if (!Owner)
        return Current;
    for (TrpDataSet* d : DataSetList()) {
        if (Owner->IsReport()) {
            const TrpReport* owning = d->Report();
            if (owning && owning != Owner)
                continue;
        }
        if (SameText(d->UserName(), Name))
            return d;
    }
    return Current;
}

std::vector<TrpDataSet*> rpEnabledDataSets()
{
    std::vector<TrpDataSet*> result;
    for (TrpDataSet* d : DataSetList())
        if (d->Enabled() && !d->UserName().isEmpty())
            result.push_back(d);
    return result;
}

// ------------------------------------------------------------ property tables
//
// Events are program callbacks, not stored. DataSet and DataSource of the
// bridge link objects of the table layer, which are not report components;
// the program sets them in code.

namespace {
const TrpEnumInfo RangeBeginInfo { "rbFirst", "rbCurrent" };
const TrpEnumInfo RangeEndInfo { "reLast", "reCurrent", "reCount" };

template <class C> TrpClassInfo::TFactory Factory()
{
    return [] { return std::unique_ptr<TrpPersistentComponent>(std::make_unique<C>()); };
}
} // namespace

const TrpClassInfo& TrpDataSet::StaticClassInfo()
{
    using S = TrpDataSet;
    static const TrpClassInfo info = [] {
        TrpClassInfo i(QStringLiteral("TrpDataSet"), &TrpDialogComponent::StaticClassInfo());
        TrpPropTable<S> t(i);
        t.Bool("Enabled", &S::Enabled, &S::SetEnabled, S::EnabledDefault())
            .Enum("RangeBegin", RangeBeginInfo, &S::RangeBegin, &S::SetRangeBegin, S::RangeBeginDefault())
            .Enum("RangeEnd", RangeEndInfo, &S::RangeEnd, &S::SetRangeEnd, S::RangeEndDefault())
            .Int("RangeEndCount", &S::RangeEndCount, &S::SetRangeEndCount, S::RangeEndCountDefault())
            .Str("UserName", &S::UserName, &S::SetUserName);
        return i;
    }();
    return info;
}

const TrpClassInfo& TrpUserDataSet::StaticClassInfo()
{
    using S = TrpUserDataSet;
    static const TrpClassInfo info = [] {
        TrpClassInfo i(QStringLiteral("TrpUserDataSet"), &TrpDataSet::StaticClassInfo(), Factory<S>());
        TrpPropTable<S> t(i);
        t.Strings("Fields", &S::Fields, &S::SetFields);
        return i;
    }();
    return info;
}

const TrpClassInfo& TrpCustomDBDataSet::StaticClassInfo()
{
    using S = TrpCustomDBDataSet;
    static const TrpClassInfo info = [] {
        TrpClassInfo i(QStringLiteral("TrpCustomDBDataSet"), &TrpDataSet::StaticClassInfo());
        TrpPropTable<S> t(i);
        t.Bool("CloseDataSource", &S::CloseDataSource, &S::SetCloseDataSource, S::CloseDataSourceDefault())
            .Strings("FieldAliases", &S::FieldAliases, &S::SetFieldAliases)
            .Bool("OpenDataSource", &S::OpenDataSource, &S::SetOpenDataSource, S::OpenDataSourceDefault());
        return i;
    }();
    return info;
}

const TrpClassInfo& TrpDBDataset::StaticClassInfo()
{
    using S = TrpDBDataset;
    static const TrpClassInfo info = [] {
        TrpClassInfo i(QStringLiteral("TrpDBDataset"), &TrpCustomDBDataSet::StaticClassInfo(), Factory<S>());
        TrpPropTable<S> t(i);
        t.Bool("BCDToCurrency", &S::BCDToCurrency, &S::SetBCDToCurrency, S::BCDToCurrencyDefault());
        return i;
    }();
    return info;
}

const TrpClassInfo& TrpCustomDatabase::StaticClassInfo()
{
    static const TrpClassInfo info(
        QStringLiteral("TrpCustomDatabase"), &TrpDialogComponent::StaticClassInfo());
    return info;
}
