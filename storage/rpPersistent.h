// What the serializer needs of the objects it stores. The report object
// model lives above this layer and implements these interfaces.
#pragma once

#include <QByteArray>
#include <QString>
#include <memory>

class TrpClassInfo;
class TrpXMLItem;

// An object whose published properties are described by a class table:
// report components and their nested objects (Font, Frame, Fill, ...).
class TrpPersistent {
public:
    virtual ~TrpPersistent() = default;
    virtual const TrpClassInfo& ClassInfo() const = 0;
    // Data that is not a published property, stored as the hexadecimal
    // PropData attribute; empty when the object has none.
    virtual QByteArray PropData() const { return QByteArray(); }
    virtual void SetPropData(const QByteArray&) { }
};

// A named object in an ownership tree: a parent owns and destroys its
// children; children are kept in creation (or loading) order.
class TrpPersistentComponent : public TrpPersistent {
public:
    virtual QString Name() const = 0;
    // May throw when the name is taken.
    virtual void SetName(const QString& Value) = 0;
    virtual int ChildCount() const = 0;
    virtual TrpPersistentComponent* ChildAt(int Index) const = 0;
    // Takes a new object of a registered class as the last child; returns
    // it, or nullptr when this object cannot hold such a child (the object
    // is then destroyed).
    virtual TrpPersistentComponent* AdoptChild(std::unique_ptr<TrpPersistentComponent> Child) = 0;
    // The object with that name (case-insensitive) in the whole tree this
    // object belongs to, or nullptr.
    virtual TrpPersistentComponent* FindComponent(const QString& Name) const = 0;

    virtual bool IsReport() const { return false; }
    // Comes from an inherited template.
    virtual bool IsAncestor() const { return false; }
    virtual void SetLoading(bool) { }
    // Called once after the object's properties and references are read.
    virtual void Loaded() { }

    // Objects that keep some properties as child items write and read them
    // here; return false when there is nothing of the kind.
    virtual bool WriteNestedProperties(TrpXMLItem*, const TrpPersistentComponent* /*Ancestor*/) const
    {
        return false;
    }
    virtual bool ReadNestedProperty(const TrpXMLItem*) { return false; }
};
