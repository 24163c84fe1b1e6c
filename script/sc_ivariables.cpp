// Script names: typed variables, parameters, host functions and script
// functions with their calls.
//
// Invariants: a variable's stored value always has the kind of its static
// type (or any kind for Variant); a script function that is running again
// sees fresh locals and gets its outer call's locals back when it returns.

#include "sc_ivariables.h"

#include "sc_ierrors.h"
#include "sc_iexpression.h"
#include "sc_iinterpreter.h"
#include "sc_istatements.h"

TscCustomVariable::TscCustomVariable(const QString& Name, const TscType& Type)
    : FName(Name)
    , FUpperName(Name.toUpper())
    , FType(Type)
{
}

TscCustomVariable::~TscCustomVariable() = default;

TscParamItem* TscCustomVariable::AddParam(std::unique_ptr<TscParamItem> Param)
{
    FParams.push_back(std::move(Param));
    return FParams.back().get();
}

int TscCustomVariable::RequiredCount() const
{
    int n = 0;
    for (const auto& p : FParams) {
        if (p->IsOptional())
            break;
        ++n;
    }
    return n;
}

Variant TscCustomVariable::Call(QObject*, std::vector<Variant>&)
{
    return Value();
}

Variant TscVariable::Value() const
{
    if (OnGetVarValue) {
        Variant v = OnGetVarValue(Name(), Typ(), FValue);
        if (!v.IsNull())
            return v;
    }
    return FValue;
}

void TscVariable::SetValue(const Variant& Value)
{
    switch (Typ()) {
    case fvtInt:
        FValue = Variant(Value.AsInteger());
        break;
    case fvtBool:
        FValue = Variant(Value.AsBoolean());
        break;
    case fvtFloat:
        // TDateTime is a floating type; a date stays a date so it prints as one.
        FValue = Value.IsDate() ? Value : Variant(Value.AsDouble());
        break;
    case fvtChar:
    case fvtString:
        FValue = Variant(Value.AsString());
        break;
    case fvtInt64:
        FValue = Variant(Value.AsInt64());
        break;
    default:
        FValue = Value;
        break;
    }
}

TscParamItem::TscParamItem(
    const QString& Name, const TscType& Type, bool IsVarParam, bool IsOptional, const Variant& DefValue)
    : TscVariable(Name, Type)
    , FIsVarParam(IsVarParam)
    , FIsOptional(IsOptional)
    , FDefValue(DefValue)
{
}

TscMethodHelper::TscMethodHelper(
    const QString& Name, const TscType& Type, bool IsFunc, bool IsMacro, TscCallMethodEvent OnCall)
    : TscCustomVariable(Name, Type)
    , FIsFunc(IsFunc)
    , FIsMacro(IsMacro)
    , FOnCall(std::move(OnCall))
{
    SetIsReadOnly(true);
}

Variant TscMethodHelper::Call(QObject* Instance, std::vector<Variant>& Args)
{
    if (!FOnCall)
        return Variant();
    Variant result = FOnCall(Instance, QString(), UpperName(), Args);
    return FIsFunc ? result : Variant();
}

TscClassVariable::TscClassVariable(const QString& Name, const QString& ParentName)
    : TscCustomVariable(Name, TscType { fvtClass, Name })
    , FParentName(ParentName)
{
    SetIsReadOnly(true);
}

TscProcVariable::TscProcVariable(const QString& Name, const TscType& Type, bool IsFunc, TscScript* Parent)
    : TscCustomVariable(Name, Type)
    , FIsFunc(IsFunc)
    , FProg(std::make_unique<TscScript>(Parent))
{
    SetIsReadOnly(true);
    FProg->SetMainProg(false);
    if (IsFunc) {
        auto result = std::make_unique<TscVariable>(QStringLiteral("Result"), Type);
        FResult = FProg->Add(std::move(result));
    }
}

TscProcVariable::~TscProcVariable() = default;

void TscProcVariable::AddStatement(std::unique_ptr<TscStatement> Statement)
{
    FStatements.push_back(std::move(Statement));
}

namespace {

// Publishes a running function's scope in the nearest main program and
// restores the previous one when the call ends, however it ends.
class TscRunningScope {
public:
    TscRunningScope(TscScript* local)
    {
        for (TscScript* s = local->Parent(); s; s = s->Parent()) {
            if (s->MainProg()) {
                FMain = s;
                break;
            }
        }
        if (FMain) {
            FSaved = FMain->ProgRunning();
            FMain->SetProgRunning(local);
        }
    }
    ~TscRunningScope()
    {
        if (FMain)
            FMain->SetProgRunning(FSaved);
    }
    TscRunningScope(const TscRunningScope&) = delete;
    TscRunningScope& operator=(const TscRunningScope&) = delete;

private:
    TscScript* FMain = nullptr;
    TscScript* FSaved = nullptr;
};

} // namespace

namespace {
// Nesting of script function calls on this thread; a function that calls
// itself without end stops here instead of exhausting the stack.
thread_local int tCallDepth = 0;
} // namespace

Variant TscProcVariable::Call(QObject*, std::vector<Variant>& Args)
{
    if (tCallDepth >= scMaxCallDepth)
        throw EscError(QStringLiteral("Stack overflow"));
    struct DepthGuard {
        DepthGuard() { ++tCallDepth; }
        ~DepthGuard() { --tCallDepth; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
    } depthGuard;
    TscScript* local = FProg.get();
    // A recursive call must not overwrite the locals of the call in progress.
    std::vector<Variant> saved;
    if (FRunning > 0) {
        saved.reserve(static_cast<size_t>(local->Count()));
        for (int i = 0; i < local->Count(); ++i)
            saved.push_back(local->Items(i)->Value());
    }
    struct Restore {
        TscProcVariable* self;
        std::vector<Variant>& saved;
        ~Restore()
        {
            --self->FRunning;
            if (!saved.empty())
                for (int i = 0; i < self->FProg->Count() && i < static_cast<int>(saved.size()); ++i)
                    self->FProg->Items(i)->SetValue(saved[static_cast<size_t>(i)]);
        }
    } restore { this, saved };
    ++FRunning;
    TscRunningScope running(local);

    for (int i = 0; i < ParamCount() && i < static_cast<int>(Args.size()); ++i)
        if (TscCustomVariable* v = local->FindLocal(Params(i)->Name()))
            v->SetValue(Args[static_cast<size_t>(i)]);
    if (FResult)
        FResult->SetValue(Variant());
    for (const auto& s : FStatements)
        s->Execute();
    for (int i = 0; i < ParamCount() && i < static_cast<int>(Args.size()); ++i)
        if (Params(i)->IsVarParam())
            if (TscCustomVariable* v = local->FindLocal(Params(i)->Name()))
                Args[static_cast<size_t>(i)] = v->Value();
    return FResult ? FResult->Value() : Variant();
}
