// How a report gives expressions their values: the fast path for data
// fields, system variables and variables; the expression cache for the rest;
// the names and functions the report binds into its script (Get, Set, IIF and
// the aggregates) and the errors a failed evaluation leaves.
//
// Invariants:
//   1. Preparing the script again never duplicates a name: everything the
//      report binds carries the report as owner tag and is removed first.
//   2. A failed Calc adds its message to the error list once, however deeply
//      it was nested, and raises it; only an ignored division by zero and
//      IIF's swallowed branches end without raising.
//   3. A report variable that refers back to itself, directly or through
//      others, is not looked up again while it is being evaluated, so a cycle
//      ends in an ordinary error instead of endless recursion.
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpReportScript.h"
#include "rpRes.h"
#include "sc_isysrtti.h"

#include <array>

namespace {

enum TrpSystemVariable {
    svDate,
    svTime,
    svPage,
    svPageN,
    svTotalPages,
    svTotalPagesN,
    svLine,
    svLineN,
    svCopyNameN
};

const std::array<QLatin1String, 9> SystemVariableNames = {
    QLatin1String("Date"),
    QLatin1String("Time"),
    QLatin1String("Page"),
    QLatin1String("Page#"),
    QLatin1String("TotalPages"),
    QLatin1String("TotalPages#"),
    QLatin1String("Line"),
    QLatin1String("Line#"),
    QLatin1String("CopyName#"),
};

bool IsAggregateName(const QString& UpperName)
{
    return UpperName == QLatin1String("SUM") || UpperName == QLatin1String("MIN")
        || UpperName == QLatin1String("MAX") || UpperName == QLatin1String("AVG")
        || UpperName == QLatin1String("COUNT");
}

// A variable's value as it stands: the kept value, else its text.
Variant StoredValue(const TrpVariable& Item)
{
    return Item.RunValue.IsEmpty() ? Variant(Item.Value) : Item.RunValue;
}

class TrpDepthGuard {
public:
    explicit TrpDepthGuard(int& Depth)
        : FDepth(Depth)
    {
        ++FDepth;
    }
    ~TrpDepthGuard() { --FDepth; }
    TrpDepthGuard(const TrpDepthGuard&) = delete;
    TrpDepthGuard& operator=(const TrpDepthGuard&) = delete;

private:
    int& FDepth;
};

} // namespace

TrpReportScript::TrpReportScript()
    : Script(std::make_unique<TscScript>())
{
    scAddSysRtti(Script.get());
    Cache = std::make_unique<TrpExpressionCache>(Script.get());
}

TrpReportScript& TrpReport::ScriptState()
{
    if (!FScriptState)
        FScriptState = std::make_unique<TrpReportScript>();
    return *FScriptState;
}

TscScript* TrpReport::Script()
{
    return ScriptState().Script.get();
}

TrpExpressionCache* TrpReport::ExpressionCache()
{
    return ScriptState().Cache.get();
}

// ------------------------------------------------------------ script objects

Variant TrpReport::ScriptObjectOf(TrpComponent* Component)
{
    if (!Component)
        return Variant::Object(nullptr);
    TrpReportScript& st = ScriptState();
    auto& slot = st.Objects[Component];
    if (!slot && !st.Spare.empty()) {
        slot = std::move(st.Spare.back());
        st.Spare.pop_back();
    }
    if (!slot)
        slot = std::make_unique<TrpScriptObject>(Component, Component->Name());
    slot->Target = Component;
    slot->Name = Component->Name();
    return Variant::Object(slot.get());
}

void TrpReport::RecycleScriptObjects()
{
    TrpReportScript& st = ScriptState();
    for (auto it = st.Objects.begin(); it != st.Objects.end();) {
        TrpScriptObject* h = it->second.get();
        if (h->Target == this || FindByName(h->Name) == h->Target) {
            ++it;
            continue;
        }
        h->Target = nullptr;
        h->Name.clear();
        st.Spare.push_back(std::move(it->second));
        it = st.Objects.erase(it);
    }
}

TrpComponent* TrpReport::ComponentOf(const Variant& Value) const
{
    if (!Value.IsObject())
        return nullptr;
    const auto* handle = dynamic_cast<const TrpScriptObject*>(Value.AsObject());
    if (!handle || !handle->Target)
        return nullptr;
    if (handle->Target == this)
        return const_cast<TrpReport*>(this);
    // Compares addresses only: the object may be gone.
    return FindByName(handle->Name) == handle->Target ? handle->Target : nullptr;
}

// ------------------------------------------------------------ preparation

void TrpReport::BindScriptNames()
{
    TrpReportScript& st = ScriptState();
    TscScript* s = st.Script.get();
    const void* savedOwner = s->AddedBy();
    s->SetAddedBy(this);

    s->AddVariable(QStringLiteral("Report"), ClassName(), ScriptObjectOf(this));
    s->AddVariable(QStringLiteral("Engine"), QStringLiteral("TrpEngine"), Variant::Object(&st.EngineObject));
    // No outline is kept yet; scripts see nil.
    s->AddVariable(QStringLiteral("Outline"), QStringLiteral("TrpCustomOutline"), Variant::Object(nullptr));
    s->AddVariable(QStringLiteral("Value"), QStringLiteral("Variant"), Variant::Null());
    s->AddVariable(QStringLiteral("Self"), QStringLiteral("TrpView"), Variant::Object(nullptr));
    for (TrpComponent* c : AllObjects())
        if (!c->Name().isEmpty())
            s->AddVariable(c->Name(), c->ClassName(), ScriptObjectOf(c));

    s->AddMethod(QStringLiteral("function Get(Name: String): Variant"),
        [this](QObject*, const QString&, const QString&, std::vector<Variant>& P) {
            return ScriptGet(P[0].AsString());
        });
    s->AddMethod(QStringLiteral("procedure Set(Name: String; Value: Variant)"),
        [this](QObject*, const QString&, const QString&, std::vector<Variant>& P) {
            FVariables.Set(P[0].AsString(), P[1]);
            return Variant();
        });
    s->AddMethod(QStringLiteral("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant"),
        [this](QObject*, const QString&, const QString&, std::vector<Variant>& P) {
            // Copies: evaluating a branch may run this same call site again.
            const QString expr = P[0].AsString(), whenTrue = P[1].AsString(), whenFalse = P[2].AsString();
            return ScriptIIF(expr, whenTrue, whenFalse);
        });
    auto aggregate = [this](QObject*, const QString&, const QString& Name, std::vector<Variant>& P) {
        const QString expr = P[0].AsString();
        const Variant band = P[1], flags = P[2];
        return ScriptAggregate(Name, expr, band, flags);
    };
    for (const char* name : { "SUM", "AVG", "MIN", "MAX" })
        s->AddMethod(
            QStringLiteral("macrofunction %1(Expr: Variant; Band: Variant = 0; Flags: Integer = 0): Variant")
                .arg(QLatin1String(name)),
            aggregate);
    s->AddMethod(QStringLiteral("macrofunction COUNT(Band: Variant = 0; Flags: Integer = 0): Variant"),
        [this](QObject*, const QString&, const QString&, std::vector<Variant>& P) {
            const Variant band = P[0], flags = P[1];
            return ScriptAggregate(QStringLiteral("COUNT"), QString(), band, flags);
        });

    s->SetAddedBy(savedOwner);
}

bool TrpReport::PrepareScript()
{
    TrpReportScript& st = ScriptState();
    st.Cache->Clear();
    st.Cache->SetScriptLanguage(ScriptLanguage());
    st.Script->ClearItems(this);
    st.Script->Clear();
    RecycleScriptObjects();
    BindScriptNames();
    st.Script->SetSyntaxType(ScriptLanguage());
    st.Script->SetLines(ScriptText().join(QStringLiteral("\r\n")));
    if (st.Script->Compile())
        return true;
    AddError(
        QStringLiteral("Error in report script at %1: %2").arg(st.Script->ErrorPos(), st.Script->ErrorMsg()));
    return false;
}

// ------------------------------------------------------------ evaluation

Variant TrpReport::Calc(const QString& Expr, TscScript* AScript, bool MarkErrors)
{
    TrpReportScript& st = ScriptState();
    if (st.CalcDepth == 0)
        st.RaisedError.clear();
    TrpDepthGuard depth(st.CalcDepth);

    Variant value;
    if (GetFieldOrSystemValue(Expr, value))
        return value;
    QString error;
    value = st.Cache->Calc(Expr, error, AScript ? AScript : st.Script.get());
    if (error.isEmpty())
        return value;
    if (FEngineOptions.IgnoreDevByZero() && error == QLatin1String("Floating point division by zero"))
        return value;
    if (error != st.RaisedError) {
        if (MarkErrors)
            error = rpGet(QStringLiteral("clErrorInExp")) + QLatin1Char(' ') + error;
        else if (!CurObject.isEmpty())
            error = CurObject + QStringLiteral(": ") + error;
        AddError(error);
        st.RaisedError = error;
    }
    throw TrpReportError(error);
}

TrpDataSet* TrpReport::GetDataset(const QString& Name) const
{
    for (int i = 0; i < FDataSets.Count(); ++i) {
        const TrpDataSetItem& item = FDataSets.Items(i);
        if (item.DataSet) {
            if (item.DataSet->UserName().compare(Name, Qt::CaseInsensitive) == 0)
                return item.DataSet;
        } else if (item.DataSetName.compare(Name, Qt::CaseInsensitive) == 0) {
            // An entry by name only: its set is the one of that name now.
            if (TrpDataSet* d = FindDataSet(Name))
                return d;
        }
    }
    return nullptr;
}

void TrpReport::GetDatasetAndField(const QString& ComplexName, TrpDataSet*& DataSet, QString& Field) const
{
    DataSet = nullptr;
    Field.clear();
    const qsizetype dot = ComplexName.indexOf(QLatin1String(".\""));
    if (dot < 0)
        return;
    DataSet = GetDataset(ComplexName.left(dot));
    Field = ComplexName.mid(dot + 2);
    Field.chop(1);
}

bool TrpReport::GetSystemValue(const QString& Name, Variant& Value) const
{
    if (Name.size() > 11)
        return false;
    int which = -1;
    for (size_t i = 0; i < SystemVariableNames.size() && which < 0; ++i)
        if (Name.compare(SystemVariableNames[i], Qt::CaseInsensitive) == 0)
            which = int(i);
    if (which < 0)
        return false;
    if (which == svCopyNameN) {
        const TrpVariables& globals = rpGlobalVariables();
        const int i = globals.IndexOf(QStringLiteral("CopyName0"));
        Value = i >= 0 ? StoredValue(globals.Items(i)) : Variant::Null();
        return true;
    }
    const TrpCustomEngine* e = FEngine;
    // Between runs there is no run start, and every counter stands at 0.
    if (!e) {
        Value = which == svDate || which == svTime ? Variant::Null() : Variant(int32_t(0));
        return true;
    }
    switch (which) {
    case svDate:
        Value = Variant(e->StartDate());
        break;
    case svTime:
        Value = Variant(e->StartTime());
        break;
    case svPage:
        Value = Variant(int32_t(e->LogicalPageNo()));
        break;
    case svPageN:
        Value = Variant(int32_t(e->CurPage() + 1));
        break;
    case svTotalPages:
        Value = Variant(int32_t(e->LogicalTotalPages()));
        break;
    case svTotalPagesN:
        Value = Variant(int32_t(e->TotalPages()));
        break;
    case svLine:
        Value = Variant(int32_t(e->CurLine()));
        break;
    default:
        Value = Variant(int32_t(e->CurLineThrough()));
        break;
    }
    return true;
}

bool TrpReport::GetFieldOrSystemValue(const QString& Name, Variant& Value)
{
    TrpDataSet* dataSet = nullptr;
    QString field;
    GetDatasetAndField(Name, dataSet, field);
    if (dataSet && !field.isEmpty()) {
        Value = dataSet->GetValue(field);
        if (Value.IsNull() && FEngineOptions.ConvertNulls()) {
            switch (dataSet->GetFieldType(field)) {
            case fftString:
                Value = Variant(QString());
                break;
            case fftBoolean:
                Value = Variant(false);
                break;
            default:
                Value = Variant(int32_t(0));
                break;
            }
        }
        return true;
    }

    if (GetSystemValue(Name, Value))
        return true;

    if (OnGetValue || OnNewGetValue) {
        Variant answer;
        if (OnGetValue)
            OnGetValue(Name, answer);
        if (OnNewGetValue)
            OnNewGetValue(this, Name, answer);
        if (!answer.IsEmpty()) {
            Value = answer;
            return true;
        }
    }

    const int v = TrpVariables::IsCategory(Name) ? -1 : FVariables.IndexOf(Name);
    TrpReportScript& st = ScriptState();
    const QString upper = v >= 0 ? Name.toUpper() : QString();
    if (v >= 0 && !st.VariablesInCalc.contains(upper)) {
        const TrpVariable& item = FVariables.Items(v);
        if (!item.RunValue.IsEmpty()) {
            Value = item.RunValue;
            return true;
        }
        // A copy: evaluating it may Set variables and move the list.
        const QString text = item.Value;
        if (text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n'))) {
            Value = Variant(text);
        } else if (text.trimmed().isEmpty()) {
            // A variable that has no expression yet has no value.
            Value = Variant::Null();
        } else {
            st.VariablesInCalc.append(upper);
            try {
                Value = Calc(text);
            } catch (...) {
                st.VariablesInCalc.removeLast();
                throw;
            }
            st.VariablesInCalc.removeLast();
        }
        return true;
    }

    const TrpVariables& globals = rpGlobalVariables();
    const int g = TrpVariables::IsCategory(Name) ? -1 : globals.IndexOf(Name);
    if (g >= 0) {
        Value = StoredValue(globals.Items(g));
        return true;
    }

    const TscCustomVariable* declared = st.Script->FindLocal(Name);
    if (declared && !declared->IsCallable() && !dynamic_cast<const TscClassVariable*>(declared)) {
        Value = declared->Value();
        return true;
    }
    return false;
}

// ------------------------------------------------------------ script callbacks

Variant TrpReport::ScriptGet(const QString& Name)
{
    Variant value;
    if (GetFieldOrSystemValue(Name, value))
        return value;
    QString head = Name.trimmed();
    const qsizetype paren = head.indexOf(QLatin1Char('('));
    if (paren >= 0)
        head.truncate(paren);
    if (IsAggregateName(head.trimmed().toUpper()))
        return Calc(Name);
    AddError(rpGet(QStringLiteral("clUnknownVar")) + QLatin1Char(' ') + Name);
    return Variant::Null();
}

Variant TrpReport::ScriptIIF(const QString& Expr, const QString& TrueValue, const QString& FalseValue)
{
    // Only the chosen branch is evaluated; a failure leaves its entry in the
    // error list and Null here.
    try {
        return Variant::Equals(Calc(Expr), Variant(true)) ? Calc(TrueValue) : Calc(FalseValue);
    } catch (const EPelmoraError&) {
        return Variant::Null();
    }
}

Variant TrpReport::ScriptAggregate(
    const QString& Function, const QString& Expr, const Variant& Band, const Variant& Flags)
{
    // An argument left out arrives as its declared default, 0.
    auto argument = [this](const Variant& Arg) {
        if (!Arg.IsString())
            return Arg;
        if (Arg.StringRef().isEmpty())
            return Variant(int32_t(0));
        return Calc(Arg.StringRef());
    };
    TrpBand* band = dynamic_cast<TrpBand*>(ComponentOf(argument(Band)));
    const int flags = argument(Flags).AsInteger();
    if (!FEngine)
        return Variant::Null();
    return FEngine->GetAggregateValue(Function, Expr, band, flags);
}
