#pragma once

// The names a script holds: variables, constants, parameters, host functions,
// script functions and classes.

#include "Variant.h"
#include "sc_itypes.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class TscScript;
class TscStatement;
class TscParamItem;

// Asked on every read of a variable when assigned; a Null answer means the
// stored value is used.
using TscGetVarValueEvent
    = std::function<Variant(const QString& VarName, TscVarType VarType, const Variant& OldValue)>;

// Host function handler: the object instance (none for global functions), its
// class name (empty for globals), the method name in upper case and the
// argument values. Values of `var` parameters written into Params are copied
// back into the caller's variables.
using TscCallMethodEvent = std::function<Variant(
    QObject* Instance, const QString& ClassName, const QString& MethodName, std::vector<Variant>& Params)>;

class TscCustomVariable {
public:
    TscCustomVariable(const QString& Name, const TscType& Type);
    virtual ~TscCustomVariable();
    TscCustomVariable(const TscCustomVariable&) = delete;
    TscCustomVariable& operator=(const TscCustomVariable&) = delete;

    const QString& Name() const { return FName; }
    const QString& UpperName() const { return FUpperName; }
    const TscType& Type() const { return FType; }
    TscVarType Typ() const { return FType.Typ; }
    const QString& TypeName() const { return FType.TypeName; }
    bool IsReadOnly() const { return FIsReadOnly; }
    void SetIsReadOnly(bool Value) { FIsReadOnly = Value; }
    const void* Owner() const { return FOwner; } // the tag of whoever added it
    void SetOwner(const void* Value) { FOwner = Value; }
    const QString& Pos() const { return FPos; }
    void SetPos(const QString& Value) { FPos = Value; }

    virtual Variant Value() const { return FValue; }
    virtual void SetValue(const Variant& Value) { FValue = Value; }

    // Parameters of a function or procedure (none for plain variables).
    int ParamCount() const { return static_cast<int>(FParams.size()); }
    TscParamItem* Params(int Index) const { return FParams[static_cast<size_t>(Index)].get(); }
    TscParamItem* AddParam(std::unique_ptr<TscParamItem> Param);
    int RequiredCount() const; // parameters before the first optional one

    // Something that runs when named: host or script function or procedure.
    virtual bool IsCallable() const { return false; }
    virtual bool IsMacro() const { return false; }
    // Runs with argument values, one per parameter; var parameters' new values
    // are left in Args.
    virtual Variant Call(QObject* Instance, std::vector<Variant>& Args);

protected:
    Variant FValue;

private:
    QString FName;
    QString FUpperName;
    TscType FType;
    bool FIsReadOnly = false;
    const void* FOwner = nullptr;
    QString FPos;
    std::vector<std::unique_ptr<TscParamItem>> FParams;
};

// A plain variable: writes convert the value to the variable's static type.
class TscVariable : public TscCustomVariable {
public:
    using TscCustomVariable::TscCustomVariable;
    Variant Value() const override;
    void SetValue(const Variant& Value) override;
    TscGetVarValueEvent OnGetVarValue;
};

// Char and String variables.
class TscStringVariable : public TscVariable {
public:
    using TscVariable::TscVariable;
};

class TscParamItem : public TscVariable {
public:
    TscParamItem(
        const QString& Name, const TscType& Type, bool IsVarParam, bool IsOptional, const Variant& DefValue);
    bool IsVarParam() const { return FIsVarParam; }
    bool IsOptional() const { return FIsOptional; }
    const Variant& DefValue() const { return FDefValue; }

private:
    bool FIsVarParam;
    bool FIsOptional;
    Variant FDefValue;
};

// A host function registered by a syntax line.
class TscMethodHelper : public TscCustomVariable {
public:
    TscMethodHelper(
        const QString& Name, const TscType& Type, bool IsFunc, bool IsMacro, TscCallMethodEvent OnCall);
    bool IsCallable() const override { return true; }
    bool IsMacro() const override { return FIsMacro; }
    bool IsFunc() const { return FIsFunc; }
    QString Category, Description, Syntax;
    Variant Call(QObject* Instance, std::vector<Variant>& Args) override;

private:
    bool FIsFunc;
    bool FIsMacro;
    TscCallMethodEvent FOnCall;
};

// A registered class; `is` and class compatibility use it.
class TscClassVariable : public TscCustomVariable {
public:
    TscClassVariable(const QString& Name, const QString& ParentName);
    const QString& ParentName() const { return FParentName; }

private:
    QString FParentName;
};

// A procedure or function declared by a script, with its own local scope whose
// parent is the declaring script; a function has the local variable Result.
class TscProcVariable : public TscCustomVariable {
public:
    TscProcVariable(const QString& Name, const TscType& Type, bool IsFunc, TscScript* Parent);
    ~TscProcVariable() override;
    bool IsCallable() const override { return true; }
    bool IsFunc() const { return FIsFunc; }
    TscScript* Prog() const { return FProg.get(); }
    void AddStatement(std::unique_ptr<TscStatement> Statement);
    Variant Call(QObject* Instance, std::vector<Variant>& Args) override;
    bool IsRunning() const { return FRunning > 0; }

private:
    bool FIsFunc;
    std::unique_ptr<TscScript> FProg;
    std::vector<std::unique_ptr<TscStatement>> FStatements;
    TscCustomVariable* FResult = nullptr;
    int FRunning = 0;
};
