#pragma once

// Designators: a name followed by arguments, indexes and members, such as
// `Get('ds."price"')`, `s[2]` or `Obj.Prop`.

#include "Variant.h"
#include "sc_itypes.h"

#include <QString>
#include <memory>
#include <vector>

class TscCustomVariable;
class TscExpression;

class TscDesignatorItem {
public:
    enum TKind {
        ikValue, // read a variable or constant
        ikCall, // call a host or script function with arguments
        ikStringIndex, // s[i]: the i-th character, from 1
        ikArrayIndex, // a[i]: element i, from 0
        ikVariantIndex, // v[i] of a Variant: string or array as it turns out
    };
    TscDesignatorItem(TKind Kind, TscCustomVariable* Ref, const QString& Pos);
    ~TscDesignatorItem();

    TKind Kind;
    TscCustomVariable* Ref; // the variable or function (nullptr for indexes)
    QString Pos;
    TscType Type; // type of the item's value
    std::vector<std::unique_ptr<TscExpression>> Args; // arguments or indexes
    std::vector<Variant> ArgValues; // one per parameter, reused by every call
    // Per parameter: the default for an omitted argument, or for a macro
    // function the source text of the argument.
    std::vector<Variant> Defaults;
    std::vector<int> VarArgs; // parameters declared var
};

class TscDesignator {
public:
    TscDesignator();
    virtual ~TscDesignator();

    TscDesignatorItem* AddItem(std::unique_ptr<TscDesignatorItem> Item);
    int Count() const { return static_cast<int>(FItems.size()); }
    TscDesignatorItem* Items(int Index) const { return FItems[static_cast<size_t>(Index)].get(); }
    TscType Type() const;

    // Checks arguments against parameters and fixes the evaluation path;
    // throws EscError ("Not enough actual parameters", ...).
    void Finalize();
    Variant Value();
    // Writes the last item (a variable, or a character of a string variable).
    void SetValue(const Variant& Value);
    bool CanAssign() const;

private:
    Variant ItemValue(TscDesignatorItem* Item, const Variant& Prev);
    std::vector<std::unique_ptr<TscDesignatorItem>> FItems;
    TscCustomVariable* FSingle = nullptr; // a lone plain variable: the fast path
};
