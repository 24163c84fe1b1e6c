// Report data sets: the cursor through which report objects read rows. The
// band engine walks one with First, Eof and Next; text expansion asks it for
// values, display texts and field types by field name.
//
//   TrpDataSet            ranges, record number, end flag, events, user name
//   ├─ TrpUserDataSet     values supplied by events
//   └─ TrpCustomDBDataSet field aliases and the field map
//      └─ TrpDBDataset    a table of the program's table layer, given directly
//                         or through a data source
//
// Every data set joins one process-wide list while it exists; views and bands
// of a report that uses that list find their data set there by user name.
#pragma once

#include "DbDataSource.h"
#include "DbTable.h"
#include "GuardedPtr.h"
#include "Variant.h"
#include "rpClass.h"

#include <QStringList>
#include <array>
#include <functional>
#include <optional>
#include <variant>
#include <vector>

class QIODevice;

enum TrpRangeBegin { rbFirst, rbCurrent };
enum TrpRangeEnd { reLast, reCurrent, reCount };
// The kind of a field as expressions see it.
enum TrpFieldType { fftNumeric, fftString, fftBoolean, fftDateTime };

class TrpDataSet;
using TrpDataSetNotifyEvent = std::function<void(TrpDataSet* Sender)>;
// May change the answer of the end test.
using TrpCheckEOFEvent = std::function<void(TrpDataSet* Sender, bool& Eof)>;
// Where AssignBlobTo puts a BLOB's content: text lines or a stream.
using TrpBlobTarget = std::variant<QStringList*, QIODevice*>;

class TrpDataSet : public TrpDialogComponent {
    RP_CLASS_INFO
    // Close the underlying data set when the report finishes.
    RP_FIELD(bool, CloseDataSource, false)
    // Offered to the report designer's data list.
    RP_FIELD(bool, Enabled, true)
    RP_FIELD(bool, OpenDataSource, true)
    RP_FIELD(TrpRangeBegin, RangeBegin, rbFirst)
    RP_FIELD(TrpRangeEnd, RangeEnd, reLast)
    // Rows of a reCount range.
    RP_FIELD(int, RangeEndCount, 0)
public:
    // Joins the process-wide list; the destructor leaves it.
    TrpDataSet();
    ~TrpDataSet() override;

    // The name expressions use, such as "rpDBDataset1".
    QString UserName() const { return FUserName; }
    // The report running this data set; set by the report before Initialize,
    // cleared by Finalize. Missing fields are reported in its error list.
    TrpReport* ReportRef() const { return FReportRef; }
    void SetReportRef(TrpReport* Value) { FReportRef = Value; }
    // 0 at the first row.
    int RecNo() const { return FRecNo; }
    // Opened for the current run.
    bool Initialized() const { return FInitialized; }

    // A new non-empty name also becomes the user name while that is empty.
    void SetName(const QString& Value) override;

    TrpCheckEOFEvent OnCheckEOF;
    TrpDataSetNotifyEvent OnFirst;
    TrpDataSetNotifyEvent OnNext;
    TrpDataSetNotifyEvent OnPrior;
    TrpDataSetNotifyEvent OnOpen;
    TrpDataSetNotifyEvent OnClose;

    virtual QString GetDisplayText(const QString& FieldName);
    // In characters.
    virtual int GetDisplayWidth(const QString& FieldName);
    virtual TrpFieldType GetFieldType(const QString& FieldName);
    virtual Variant GetValue(const QString& FieldName);
    // Refuses a name that is blank after trimming (string-table "prInvProp").
    virtual void SetUserName(const QString& Value);
    virtual void Initialize() { }
    virtual void Finalize();
    virtual void Open();
    virtual void Close();
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
    virtual int FieldsCount() { return 0; }
    virtual bool IsBlobField(const QString&) { return false; }
    virtual bool IsHasMaster() { return false; }
    virtual int RecordCount();
    virtual void AssignBlobTo(const QString&, TrpBlobTarget) { }
    // Clears List, then adds the field names.
    virtual void GetFieldList(QStringList& List);

    // The name is among GetFieldList's, ignoring letter case.
    bool HasField(const QString& FieldName);

    // Links to the set (views, bands, pages, the report) read none once it
    // is destroyed.
    const TLifeToken& LifeToken() const { return FLifeToken; }

protected:
    // Adds "<current object>: <Text>" to the error list of ReportRef (or of
    // the report that owns this data set); nothing without a report.
    void AddReportError(const QString& Text) const;

    bool FInitialized = false;

private:
    QString FUserName;
    TrpReport* FReportRef = nullptr;
    TLifeToken FLifeToken;
    bool FEof = false; // end reached by a count range
    int FRecNo = 0;
};

class TrpUserDataSet : public TrpDataSet {
    RP_CLASS_INFO
    // The field names this data set offers.
    RP_FIELD(QStringList, Fields, QStringList())
public:
    std::function<void(const QString& VarName, Variant& Value)> OnGetValue;
    std::function<void(TrpDataSet* Sender, const QString& VarName, Variant& Value)> OnNewGetValue;

    QString GetDisplayText(const QString& FieldName) override;
    Variant GetValue(const QString& FieldName) override;
    int FieldsCount() override { return int(Fields().size()); }
    void GetFieldList(QStringList& List) override { List = Fields(); }
};

class TrpCustomDBDataSet : public TrpDataSet {
    RP_CLASS_INFO
    // Lines "field=alias". A line without "=" names a field under its own
    // name; a field name beginning with "-" hides the field.
    RP_FIELD(QStringList, FieldAliases, QStringList())
public:
    // The field name of the first line with that alias, else Alias itself.
    QString ConvertAlias(const QString& Alias) const;
    // The alias of the first line for that field, else FieldName itself.
    QString GetAlias(const QString& FieldName) const;

    int FieldsCount() override;

protected:
    // One listed name and the table column it reads (-1: no such column).
    struct TrpFieldMapItem {
        QString Name;
        int FieldIndex = -1;
        TFieldKind Kind = TFieldKind::String;
    };
    // Sorted by name without regard to case, no duplicates. Changed only
    // through AddToFieldMap and ClearFieldMap, which keep the lookup memo right.
    std::vector<TrpFieldMapItem> FFieldMap;
    const TrpFieldMapItem* FindInFieldMap(const QString& Name) const;
    // Keeps the first entry of a name.
    void AddToFieldMap(TrpFieldMapItem Item);
    void ClearFieldMap();

private:
    // Recent look-ups by the caller's string: callers ask for the same few
    // names on every row, usually with the very same string object.
    struct TrpLookupMemo {
        QString Key; // shares the caller's buffer
        const TrpFieldMapItem* Item = nullptr;
    };
    mutable std::array<TrpLookupMemo, 8> FLookupMemo;
    mutable size_t FLookupNext = 0;
};

class TrpDBDataset : public TrpCustomDBDataSet {
    RP_CLASS_INFO
    // The table layer has no currency columns; kept for stored templates.
    RP_FIELD(bool, BCDToCurrency, false)
public:
    TrpDBDataset();
    // Puts back the table's own handlers when still bound to it.
    ~TrpDBDataset() override;

    // The links empty themselves when the table or data source is destroyed.
    // Setting one clears the other.
    TDbTable* DataSet() const { return FDataSet.get(); }
    void SetDataSet(TDbTable* Value);
    TDbDataSource* DataSource() const { return FDataSource.get(); }
    void SetDataSource(TDbDataSource* Value);
    // DataSet, else the data source's table, else nullptr.
    TDbTable* EffectiveDataSet() const;

    QString GetDisplayText(const QString& FieldName) override;
    int GetDisplayWidth(const QString& FieldName) override;
    TrpFieldType GetFieldType(const QString& FieldName) override;
    Variant GetValue(const QString& FieldName) override;
    // Binds the effective table: fails with "dbNotConn" when there is none.
    void Initialize() override;
    void Finalize() override;
    void Open() override;
    void Close() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;
    bool IsBlobField(const QString& FieldName) override;
    // Tables of the table layer have no master data source.
    bool IsHasMaster() override { return false; }
    int RecordCount() override;
    void AssignBlobTo(const QString& FieldName, TrpBlobTarget Target) override;
    void GetFieldList(QStringList& List) override;

private:
    // The bound table while bound, else the effective one; nullptr when none.
    TDbTable* Table() const;
    // "DataSet <Name> is not connected to data".
    [[noreturn]] void ThrowNotConnected() const;
    // Table(), or the "dbNotConn" error.
    TDbTable& RequireTable() const;
    // Open unless already open on the current table; returns that table.
    TDbTable& EnsureOpen();
    void BuildFieldMap(TDbTable& Table);
    QString NotFoundText(const QString& FieldName) const;
    void DataSetAfterOpen(TDbTable& Table);
    void DataSetBeforeClose(TDbTable& Table);
    // Puts the bound table's saved handlers back and unbinds.
    void Unbind();

    TGuardedPtr<TDbTable> FDataSet;
    TGuardedPtr<TDbDataSource> FDataSource;
    // The table taken by Initialize; its handlers are ours until Finalize.
    TGuardedPtr<TDbTable> FDS;
    bool FBound = false;
    TDbTable::TNotifyEvent FSaveAfterOpen;
    TDbTable::TNotifyEvent FSaveBeforeClose;
    // The table the field map was built from; the raw pointer is only
    // compared, never followed.
    TGuardedPtr<TDbTable> FMapTable;
    const TDbTable* FMapTableRaw = nullptr;
    // Current row at Open, for the rbCurrent and reCurrent ranges.
    std::optional<TDbTable::TBookmark> FBookmark;
    bool FOwnEof = false; // a reCurrent range reached its row
};

// Empty base of database connection components (the program uses none).
class TrpDBComponents {
public:
    virtual ~TrpDBComponents() = default;
    virtual QString GetDescription() const { return QString(); }
};

// Empty base of database connections (the program uses none): never
// connected, no database name, no login prompt, no parameters.
class TrpCustomDatabase : public TrpDialogComponent {
    RP_CLASS_INFO
public:
    virtual bool Connected() const { return false; }
    virtual void SetConnected(bool) { }
    virtual QString DatabaseName() const { return QString(); }
    virtual void SetDatabaseName(const QString&) { }
    virtual bool LoginPrompt() const { return false; }
    virtual void SetLoginPrompt(bool) { }
    virtual QStringList Params() const { return QStringList(); }
    virtual void SetParams(const QStringList&) { }
    virtual void FromString(const QString&) { }
    virtual QString ToString() const { return QString(); }
    virtual void SetLogin(const QString&, const QString&) { }
};

// The process-wide data-set list, in creation order.
const std::vector<TrpDataSet*>& rpDataSetList();
// Finds a data set by user name for Owner (the report or other component
// that searches): an empty name finds nothing; without Owner, Current is
// kept; otherwise the first listed data set with that user name (ignoring
// letter case), skipping data sets of another report when Owner is a
// report; Current when none matches.
TrpDataSet* rpFindDataSet(TrpDataSet* Current, const QString& Name, const TrpComponent* Owner);
// Every enabled data set that has a user name, in list order.
std::vector<TrpDataSet*> rpEnabledDataSets();
