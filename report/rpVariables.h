// Report variables and the process-wide global variables.
#pragma once

#include "Variant.h"

#include <QString>
#include <QStringList>
#include <vector>

struct TrpVariable {
    QString Name;
    QString Value; // expression text
    // A value other than text set while the report runs, kept with its kind
    // (a number stays a number); Empty when the entry holds only its text.
    Variant RunValue;
};

// Ordered (Name, Value) pairs, names compared without regard to case. A
// name that begins with a blank is a category heading; the entries after
// it, up to the next heading, belong to it.
class TrpVariables {
public:
    int Count() const { return int(FItems.size()); }
    const TrpVariable& Items(int Index) const { return FItems[size_t(Index)]; }
    int IndexOf(const QString& Name) const;
    // Adds at the end, or replaces the value of an existing entry.
    void Add(const QString& Name, const QString& Value);
    // The same for a value of any kind: text becomes the entry's expression
    // text; another value is kept as it is (Empty as Null), its text form
    // standing in as the expression text.
    void Set(const QString& Name, const Variant& Value);
    QString Value(const QString& Name) const;
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    static bool IsCategory(const QString& Name) { return Name.startsWith(u' '); }
    // Names of the entries under a category heading (given without its blank).
    QStringList CategoryVariables(const QString& Category) const;

private:
    std::vector<TrpVariable> FItems;
};

// The process-wide global variables ("CopyName0" and the like), read by
// every report after its own variables.
TrpVariables& rpGlobalVariables();
