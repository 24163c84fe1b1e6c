// Published-property tables: one table per class names each stored
// property with its kind, declared default and accessors. The serializer
// and the object difference text work from these tables only; no class
// writes serialisation code of its own.
#pragma once

#include "rpPersistent.h"

#include <QFlags>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <optional>
#include <type_traits>
#include <vector>

enum class TrpPropKind {
    Integer, // 32-bit integers and characters, stored as decimal
    Int64, // stored as decimal
    Enum, // stored by identifier (Boolean is the enumeration False, True)
    Set, // stored as the decimal bit mask
    Float, // long double, stored with "."
    String, // stored escaped
    Strings, // string list, stored as Name.Text
    Object, // nested object, stored as Name.Property
    Component, // reference to a component, stored as its name
};

// Identifiers of an enumeration in ordinal order (sets: bit i is member i).
class TrpEnumInfo {
public:
    TrpEnumInfo(std::initializer_list<const char*> Names);
    int Count() const { return int(FNames.size()); }
    const QString& Name(int Ordinal) const { return FNames[size_t(Ordinal)]; }
    // Ordinal of an identifier (case-insensitive), or -1.
    int IndexOf(QStringView Name) const;

private:
    std::vector<QString> FNames;
};

extern const TrpEnumInfo rpBooleanInfo; // False, True

struct TrpPropInfo {
    QString Name;
    TrpPropKind Kind = TrpPropKind::Integer;
    const TrpEnumInfo* Enum = nullptr; // Enum kind
    std::optional<int64_t> Default; // ordinal kinds: declared default
    bool ReadOnly = false; // nested objects are read through the getter only

    std::function<int64_t(const TrpPersistent&)> GetOrd;
    std::function<void(TrpPersistent&, int64_t)> SetOrd;
    std::function<long double(const TrpPersistent&)> GetFloat;
    std::function<void(TrpPersistent&, long double)> SetFloat;
    std::function<QString(const TrpPersistent&)> GetStr;
    std::function<void(TrpPersistent&, const QString&)> SetStr;
    std::function<QStringList(const TrpPersistent&)> GetList;
    std::function<void(TrpPersistent&, const QStringList&)> SetList;
    // Object: the nested object; Component: the referenced component.
    std::function<TrpPersistent*(const TrpPersistent&)> GetObj;
    std::function<void(TrpPersistent&, TrpPersistentComponent*)> SetRef;
    // Object: creates the nested object on demand when GetObj gives none.
    std::function<TrpPersistent*(TrpPersistent&)> MakeObj;
    // Empty: always a candidate for writing; otherwise written only when true.
    std::function<bool(const TrpPersistent&)> IsStored;
};

class TrpClassInfo {
public:
    using TFactory = std::function<std::unique_ptr<TrpPersistentComponent>()>;

    TrpClassInfo(QString ClassName, const TrpClassInfo* Parent, TFactory Factory = nullptr);

    const QString& ClassName() const { return FClassName; }
    const TrpClassInfo* Parent() const { return FParent; }
    bool InheritsFrom(const TrpClassInfo& Other) const;
    // A new object of this class, or nullptr for abstract and nested classes.
    std::unique_ptr<TrpPersistentComponent> Create() const { return FFactory ? FFactory() : nullptr; }
    bool CanCreate() const { return bool(FFactory); }

    // Published properties, the ancestors' first, in declaration order.
    const std::vector<const TrpPropInfo*>& Props() const;
    const TrpPropInfo* FindProp(QStringView Name) const;
    // Name of the string-list property written as the final "Text"
    // attribute (a memo's lines), or empty.
    QString TextProp() const;
    void SetTextProp(const QString& Name) { FTextProp = Name; }

    void AddProp(TrpPropInfo Prop);
    TrpPropInfo& LastProp() { return *FOwnProps.back(); }

private:
    QString FClassName;
    const TrpClassInfo* FParent;
    TFactory FFactory;
    QString FTextProp;
    std::vector<std::unique_ptr<TrpPropInfo>> FOwnProps;
    mutable std::vector<const TrpPropInfo*> FAllProps; // filled on first use
};

// Application-wide registry of the classes that can be created by name.
namespace TrpClassRegistry {
void Register(const TrpClassInfo& Info);
// Case-insensitive; nullptr for an unknown name.
const TrpClassInfo* Find(QStringView ClassName);
// Every registered class, by name.
std::vector<const TrpClassInfo*> Classes();
} // namespace TrpClassRegistry

namespace rpPropDetail {
template <class T> int64_t ToOrd(T Value)
{
    if constexpr (std::is_enum_v<T>)
        return int64_t(Value);
    else if constexpr (std::is_integral_v<T>)
        return int64_t(Value);
    else
        return int64_t(Value.toInt()); // QFlags
}
template <class T> T FromOrd(int64_t Value)
{
    if constexpr (std::is_enum_v<T> || std::is_integral_v<T>)
        return T(Value);
    else
        return T::fromInt(typename T::Int(Value)); // QFlags
}
template <class T> using Arg = std::remove_cvref_t<T>;
} // namespace rpPropDetail

// Fills the table of class C; getters and setters are member pointers or
// callables taking the object.
template <class C> class TrpPropTable {
public:
    explicit TrpPropTable(TrpClassInfo& Info)
        : FInfo(Info)
    {
    }

    template <class G, class S> TrpPropTable& Int(const char* Name, G Get, S Set, std::optional<int64_t> Def)
    {
        return Ord(Name, TrpPropKind::Integer, nullptr, Get, Set, Def);
    }
    template <class G, class S>
    TrpPropTable& Int64(const char* Name, G Get, S Set, std::optional<int64_t> Def)
    {
        return Ord(Name, TrpPropKind::Int64, nullptr, Get, Set, Def);
    }
    template <class G, class S> TrpPropTable& Bool(const char* Name, G Get, S Set, bool Def)
    {
        return Ord(Name, TrpPropKind::Enum, &rpBooleanInfo, Get, Set, Def ? 1 : 0);
    }
    template <class G, class S>
    TrpPropTable& Enum(const char* Name, const TrpEnumInfo& Info, G Get, S Set, std::optional<int64_t> Def)
    {
        return Ord(Name, TrpPropKind::Enum, &Info, Get, Set, Def);
    }
    template <class G, class S> TrpPropTable& Set(const char* Name, G Get, S Set, int64_t Def)
    {
        return Ord(Name, TrpPropKind::Set, nullptr, Get, Set, Def);
    }
    template <class G, class S> TrpPropTable& Float(const char* Name, G Get, S Set)
    {
        TrpPropInfo p = Make(Name, TrpPropKind::Float);
        p.GetFloat = [Get](const TrpPersistent& o) { return (long double)std::invoke(Get, Obj(o)); };
        p.SetFloat = [Set](TrpPersistent& o, long double v) {
            using V = rpPropDetail::Arg<typename SetterArg<S>::type>;
            std::invoke(Set, Obj(o), V(v));
        };
        return Add(std::move(p));
    }
    template <class G, class S> TrpPropTable& Str(const char* Name, G Get, S Set)
    {
        TrpPropInfo p = Make(Name, TrpPropKind::String);
        p.GetStr = [Get](const TrpPersistent& o) { return QString(std::invoke(Get, Obj(o))); };
        p.SetStr = [Set](TrpPersistent& o, const QString& v) { std::invoke(Set, Obj(o), v); };
        return Add(std::move(p));
    }
    template <class G, class S> TrpPropTable& Strings(const char* Name, G Get, S Set)
    {
        TrpPropInfo p = Make(Name, TrpPropKind::Strings);
        p.GetList = [Get](const TrpPersistent& o) { return QStringList(std::invoke(Get, Obj(o))); };
        p.SetList = [Set](TrpPersistent& o, const QStringList& v) { std::invoke(Set, Obj(o), v); };
        return Add(std::move(p));
    }
    // A nested object owned by the object (Font, Frame, Fill).
    template <class G> TrpPropTable& Object(const char* Name, G Get)
    {
        TrpPropInfo p = Make(Name, TrpPropKind::Object);
        p.ReadOnly = true;
        p.GetObj = [Get](const TrpPersistent& o) -> TrpPersistent* {
            return std::invoke(Get, const_cast<C&>(Obj(o)));
        };
        return Add(std::move(p));
    }
    // A nested object that exists only once asked for (a memo's first
    // format): Get may give nullptr, Make creates it.
    template <class G, class M> TrpPropTable& ObjectOnDemand(const char* Name, G Get, M Make)
    {
        Object(Name, Get);
        FInfo.LastProp().MakeObj
            = [Make](TrpPersistent& o) -> TrpPersistent* { return std::invoke(Make, Obj(o)); };
        return *this;
    }
    // The property declared last is written only when Pred says so.
    template <class P> TrpPropTable& StoredIf(P Pred)
    {
        FInfo.LastProp().IsStored = [Pred](const TrpPersistent& o) { return bool(Pred(Obj(o))); };
        return *this;
    }
    // A reference to a component of class T (or a subclass); a reference
    // of another class is ignored when read.
    template <class T, class G, class S> TrpPropTable& Ref(const char* Name, G Get, S Set)
    {
        TrpPropInfo p = Make(Name, TrpPropKind::Component);
        p.GetObj = [Get](const TrpPersistent& o) -> TrpPersistent* {
            return static_cast<TrpPersistentComponent*>(std::invoke(Get, Obj(o)));
        };
        p.SetRef = [Set](TrpPersistent& o, TrpPersistentComponent* v) {
            T* t = dynamic_cast<T*>(v);
            if (t || !v)
                std::invoke(Set, Obj(o), t);
        };
        return Add(std::move(p));
    }

private:
    template <class S> struct SetterArg;
    template <class R, class K, class A> struct SetterArg<R (K::*)(A)> {
        using type = A;
    };
    template <class R, class K, class A> struct SetterArg<R (K::*)(A) const> {
        using type = A;
    };

    static const C& Obj(const TrpPersistent& o) { return static_cast<const C&>(o); }
    static C& Obj(TrpPersistent& o) { return static_cast<C&>(o); }

    TrpPropInfo Make(const char* Name, TrpPropKind Kind)
    {
        TrpPropInfo p;
        p.Name = QString::fromLatin1(Name);
        p.Kind = Kind;
        return p;
    }
    TrpPropTable& Add(TrpPropInfo p)
    {
        FInfo.AddProp(std::move(p));
        return *this;
    }
    template <class G, class S>
    TrpPropTable& Ord(
        const char* Name, TrpPropKind Kind, const TrpEnumInfo* Info, G Get, S Set, std::optional<int64_t> Def)
    {
        TrpPropInfo p = Make(Name, Kind);
        p.Enum = Info;
        p.Default = Def;
        p.GetOrd = [Get](const TrpPersistent& o) { return rpPropDetail::ToOrd(std::invoke(Get, Obj(o))); };
        p.SetOrd = [Set](TrpPersistent& o, int64_t v) {
            using V = rpPropDetail::Arg<typename SetterArg<S>::type>;
            std::invoke(Set, Obj(o), rpPropDetail::FromOrd<V>(v));
        };
        return Add(std::move(p));
    }

    TrpClassInfo& FInfo;
};
