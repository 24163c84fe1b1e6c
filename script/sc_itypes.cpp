// Static types: the built-in type names and the compatibility table that
// operators, assignments and arguments are checked against.

#include "sc_itypes.h"

#include <QHash>

namespace {

const QHash<QString, TscVarType>& BuiltinTypes()
{
    static const QHash<QString, TscVarType> table = [] {
        QHash<QString, TscVarType> t;
        for (const char* n : { "INTEGER", "BYTE", "WORD", "LONGINT", "CARDINAL", "TCOLOR", "TALPHACOLOR",
                 "SMALLINT", "SHORTINT" })
            t.insert(QLatin1String(n), fvtInt);
        t.insert(QStringLiteral("BOOLEAN"), fvtBool);
        for (const char* n :
            { "REAL", "SINGLE", "DOUBLE", "EXTENDED", "CURRENCY", "TDATE", "TTIME", "TDATETIME" })
            t.insert(QLatin1String(n), fvtFloat);
        t.insert(QStringLiteral("CHAR"), fvtChar);
        t.insert(QStringLiteral("WIDECHAR"), fvtChar);
        t.insert(QStringLiteral("STRING"), fvtString);
        t.insert(QStringLiteral("WIDESTRING"), fvtString);
        t.insert(QStringLiteral("ARRAY"), fvtArray);
        t.insert(QStringLiteral("VARIANT"), fvtVariant);
        t.insert(QStringLiteral("POINTER"), fvtVariant);
        t.insert(QStringLiteral("CONSTRUCTOR"), fvtConstructor);
        t.insert(QStringLiteral("INT64"), fvtInt64);
        return t;
    }();
    return table;
}

} // namespace

bool scBuiltinType(const QString& name, TscVarType& type)
{
    auto it = BuiltinTypes().constFind(name.toUpper());
    if (it == BuiltinTypes().constEnd())
        return false;
    type = *it;
    return true;
}

QString scFullTypeName(const TscType& type)
{
    switch (type.Typ) {
    case fvtInt:
        return QStringLiteral("Integer");
    case fvtBool:
        return QStringLiteral("Boolean");
    case fvtFloat:
        return QStringLiteral("Extended");
    case fvtChar:
        return QStringLiteral("Char");
    case fvtString:
        return QStringLiteral("String");
    case fvtClass:
    case fvtEnum:
        return type.TypeName;
    case fvtArray:
        return QStringLiteral("Array");
    case fvtVariant:
        return QStringLiteral("Variant");
    case fvtConstructor:
        return QStringLiteral("Constructor");
    case fvtInt64:
        return QStringLiteral("Int64");
    }
    return QString();
}

bool scTypesCompatible(const TscType& l, const TscType& r,
    const std::function<bool(const QString& base, const QString& derived)>& isDerived)
{
    const TscVarType t = r.Typ;
    switch (l.Typ) {
    case fvtInt:
    case fvtInt64:
        return t == fvtInt || t == fvtFloat || t == fvtVariant || t == fvtEnum || t == fvtInt64;
    case fvtBool:
        return t == fvtBool || t == fvtVariant;
    case fvtFloat:
        return t == fvtInt || t == fvtFloat || t == fvtVariant || t == fvtInt64;
    case fvtChar:
    case fvtString:
        return t == fvtChar || t == fvtString || t == fvtVariant;
    case fvtClass:
        if (t == fvtVariant)
            return true;
        if (t != fvtClass)
            return false;
        if (l.TypeName.compare(r.TypeName, Qt::CaseInsensitive) == 0)
            return true;
        return isDerived && isDerived(l.TypeName, r.TypeName);
    case fvtArray:
        return t == fvtArray || t == fvtVariant;
    case fvtVariant:
        return true;
    case fvtEnum:
        return t == fvtInt || t == fvtVariant || t == fvtInt64
            || (t == fvtEnum && l.TypeName.compare(r.TypeName, Qt::CaseInsensitive) == 0);
    case fvtConstructor:
        return false;
    }
    return false;
}
