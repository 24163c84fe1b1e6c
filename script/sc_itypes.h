#pragma once

// Static types of the script engine and the rules by which they meet.

#include <QString>
#include <functional>

enum TscVarType {
    fvtInt = 0, // Integer, Byte, Word, Longint, Cardinal, TColor, TAlphaColor
    fvtBool = 1,
    fvtFloat = 2, // Real, Single, Double, Extended, Currency, TDate, TTime, TDateTime
    fvtChar = 3,
    fvtString = 4,
    fvtClass = 5, // a registered class, or any unknown type name
    fvtArray = 6,
    fvtVariant = 7, // Variant, Pointer
    fvtEnum = 8,
    fvtConstructor = 9,
    fvtInt64 = 10,
};

// A static type with the class or enumeration name that goes with it.
struct TscType {
    TscVarType Typ = fvtVariant;
    QString TypeName; // for classes and enumerations
};

// Maps a type name of the built-in table ("Integer", "TDateTime", ...) to its
// static type; false for a name the table does not know.
bool scBuiltinType(const QString& name, TscVarType& type);

// "Integer", "Boolean", "Extended", "Char", "String", the class or
// enumeration name, "Array", "Int64", "Variant".
QString scFullTypeName(const TscType& type);

// Whether a value of type R may meet (or be stored into) a left side of type L.
// `isDerived(L, R)` tells whether class R is, or derives from, class L.
bool scTypesCompatible(const TscType& l, const TscType& r,
    const std::function<bool(const QString& base, const QString& derived)>& isDerived = {});
