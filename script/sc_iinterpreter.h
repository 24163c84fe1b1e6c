#pragma once

// TscScript: a scope of names (with a parent scope), the host bindings that
// fill it, and the compiler that turns source text into functions and
// statements of that scope.

#include "Variant.h"
#include "sc_itypes.h"
#include "sc_ivariables.h"

#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QObject;
class TscCompoundStmt;

class TscScript {
public:
    explicit TscScript(TscScript* Parent = nullptr);
    ~TscScript();
    TscScript(const TscScript&) = delete;
    TscScript& operator=(const TscScript&) = delete;

    const QString& Lines() const { return FLines; }
    void SetLines(const QString& Value) { FLines = Value; }
    const QString& SyntaxType() const { return FSyntaxType; } // default "PascalScript"
    void SetSyntaxType(const QString& Value) { FSyntaxType = Value; }
    TscScript* Parent() const { return FParent; }
    void SetParent(TscScript* Value) { FParent = Value; }
    bool ExtendedCharset() const { return FExtendedCharset; }
    void SetExtendedCharset(bool Value) { FExtendedCharset = Value; }
    bool MainProg() const { return FMainProg; }
    void SetMainProg(bool Value) { FMainProg = Value; }
    // The local scope of the script function that currently runs under this
    // main program (nullptr when none does).
    TscScript* ProgRunning() const { return FProgRunning; }
    void SetProgRunning(TscScript* Value) { FProgRunning = Value; }
    const QString& ErrorMsg() const { return FErrorMsg; }
    const QString& ErrorPos() const { return FErrorPos; } // "line:column"
    const QString& ErrorUnit() const { return FErrorUnit; }
    // Copied into every variable the script creates from now on.
    TscGetVarValueEvent OnGetVarValue;
    // Host hooks of the built-in library, which has no windows and no
    // automation servers of its own. The library asks the script it was
    // registered in, then each parent in turn: the nearest OnShowMessage
    // shows the text; each OnCreateOleObject is asked until one answers with
    // a value that is not Empty (Empty: "not a class I know").
    std::function<void(const QString& Msg)> OnShowMessage;
    std::function<Variant(const QString& ClassName)> OnCreateOleObject;
    // The owner tag given to names added from now on (see ClearItems).
    const void* AddedBy() const { return FAddedBy; }
    void SetAddedBy(const void* Value) { FAddedBy = Value; }

    // Compiles Lines; on failure ErrorMsg and ErrorPos say why and where, and
    // every name the attempt added is gone again.
    bool Compile();
    // Runs the main body; false with ErrorMsg when a run-time error stops it.
    bool Execute();

    // Names, compared without regard to case: here, then in each parent.
    TscCustomVariable* Find(const QString& Name) const;
    TscCustomVariable* FindLocal(const QString& Name) const;
    int Count() const { return static_cast<int>(FItems.size()); }
    TscCustomVariable* Items(int Index) const { return FItems[static_cast<size_t>(Index)].get(); }

    // Takes ownership, tags the name with AddedBy and keeps the list sorted.
    template <typename T> T* Add(std::unique_ptr<T> Item)
    {
        T* p = Item.get();
        Insert(std::move(Item));
        return p;
    }
    std::unique_ptr<TscCustomVariable> Remove(TscCustomVariable* Item);

    // Adds a variable unless the name is found anywhere in the chain.
    void AddVariable(const QString& Name, const QString& TypeName, const Variant& Value);
    void AddConst(const QString& Name, const QString& TypeName, const Variant& Value);
    void AddObject(const QString& Name, QObject* Obj);
    TscClassVariable* AddClass(const QString& Name, const QString& ParentName = QString());
    // Registers a host function from a syntax line such as
    // "function Get(Name: String): Variant" or
    // "macrofunction SUM(Expr: Variant; Band: Variant = 0): Variant".
    // Returns nullptr when the line cannot be read.
    TscMethodHelper* AddMethod(const QString& Syntax, TscCallMethodEvent CallEvent,
        const QString& Category = QString(), const QString& Description = QString());
    // Removes every name added while Owner was the owner tag.
    void ClearItems(const void* Owner);
    // Forgets what Compile built (functions and main body) and the source.
    void Clear();

    // Static type of a type name: built-in names, registered classes; an
    // unknown name is a class when `unknownIsClass`, else false is returned.
    bool TypeOf(const QString& TypeName, TscType& Type, bool unknownIsClass) const;
    // Whether registered class Derived is Base or derives from it.
    bool IsClassDerived(const QString& Base, const QString& Derived) const;

    // The name list is sorted by upper-cased name.
    bool CheckNames() const;

private:
    void Insert(std::unique_ptr<TscCustomVariable> Item);
    void SetError(const QString& Msg, const QString& Pos);

    QString FLines;
    QString FSyntaxType = QStringLiteral("PascalScript");
    TscScript* FParent;
    bool FExtendedCharset = false;
    bool FMainProg = true;
    TscScript* FProgRunning = nullptr;
    QString FErrorMsg, FErrorPos, FErrorUnit;
    const void* FAddedBy = nullptr;
    std::vector<std::unique_ptr<TscCustomVariable>> FItems; // sorted by UpperName
    std::unique_ptr<TscCompoundStmt> FMainBody;
    int FCompileTag = 0; // its address tags the names Compile creates
};
