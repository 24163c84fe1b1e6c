// Object serializer: report objects to XML items and attribute texts and
// back, writing only what differs from a default or from an ancestor.
#pragma once

#include "rpPersistent.h"
#include "rpPropInfo.h"

#include <QSet>
#include <QString>
#include <QStringList>
#include <functional>
#include <vector>

class QIODevice;
class TrpXMLItem;

// A reference read before its target may exist; resolved by name later.
struct TrpFixupItem {
    TrpPersistent* Obj = nullptr;
    const TrpPropInfo* Prop = nullptr;
    QString Value;
};

class TrpXMLSerializer {
public:
    // Stream for the whole-document forms (WriteRootComponent and
    // ReadRootComponent without an item, WriteComponent, ReadComponent).
    explicit TrpXMLSerializer(QIODevice* Stream = nullptr)
        : FStream(Stream)
    {
    }

    // Names are resolved against this object's tree; set by the tree reader
    // to its root when not set.
    TrpPersistentComponent* Owner() const { return FOwner; }
    void SetOwner(TrpPersistentComponent* Value) { FOwner = Value; }
    // Sorted, without regard to case, each text once.
    const QStringList& Errors() const { return FErrors; }
    void AddError(const QString& Text);

    bool SerializeDefaultValues = false;
    bool OldFormat = false;
    bool HandleNestedProperties = true;
    bool SaveAncestorOnly = false;
    // Supplies the ancestor of a component by name (none: nullptr).
    std::function<TrpPersistentComponent*(const QString& Name)> OnGetAncestor;
    // Custom data kept in an "RpCustomData" item of the document's root.
    std::function<void(TrpXMLItem* Item)> OnSaveCustomData;
    std::function<void(const TrpXMLItem* Item)> OnLoadCustomData;
    // Resolves a qualified reference (Form.Component) outside the owner.
    std::function<TrpPersistentComponent*(const QString& Name)> OnFindGlobalComponent;

    // Attribute text of the object's stored properties, each pair preceded
    // by a blank; Prefix goes before every name.
    QString ObjToXML(
        const TrpPersistent* Obj, const QString& Prefix = QString(), const TrpPersistent* Ancestor = nullptr);
    // Applies an attribute text to an object; references are recorded as
    // fixups, failures go to Errors.
    void XMLToObj(const QString& Text, TrpPersistent* Obj);

    // Writes Root (and, with SaveChildren, its children) into Item, or a
    // whole indented document into the stream when Item is nullptr.
    void WriteRootComponent(
        TrpPersistentComponent* Root, bool SaveChildren = true, TrpXMLItem* Item = nullptr);
    // Reads Item (or a document from the stream) into Root; unknown
    // classes are reported in Errors and skipped with their children.
    // Throws TrpInvalidXMLException for a malformed document.
    void ReadRootComponent(TrpPersistentComponent* Root, TrpXMLItem* Item = nullptr);

    // Class name followed by the attribute text.
    QString WriteComponentStr(const TrpPersistentComponent* Obj);
    // A new child of Root from such a text; nullptr for an empty text or an
    // unknown class (reported in Errors).
    TrpPersistentComponent* ReadComponentStr(
        TrpPersistentComponent* Root, const QString& Text, bool DontFixup = false);
    void WriteComponent(const TrpPersistentComponent* Obj);
    TrpPersistentComponent* ReadComponent(TrpPersistentComponent* Root);
    // Applies an attribute text to an existing object and resolves its references.
    void ReadPersistentStr(TrpPersistentComponent* Root, TrpPersistent* Obj, const QString& Text);

    void FixupReferences();
    void CopyFixupList(std::vector<TrpFixupItem>& List) const;
    const std::vector<TrpFixupItem>& Fixups() const { return FFixups; }

    // Number formats of stored files: "." always; "," also read.
    static QString FloatToText(long double Value);
    // False when the text is not a finite number.
    static bool TextToFloat(const QString& Text, long double& Value);

private:
    void WriteObject(const TrpPersistentComponent* Obj, TrpXMLItem* Item, bool IsRoot, bool SaveChildren);
    void ReadObject(
        TrpPersistentComponent* Obj, const TrpXMLItem* Item, std::vector<TrpPersistentComponent*>& Read);
    void ApplyAttribute(QStringView Name, const QString& RawValue, TrpPersistent* Obj);
    void SetProp(const TrpPropInfo& Prop, const QString& RawValue, TrpPersistent* Obj);
    void SetMemoText(TrpPersistent* Obj, const QString& Text);

    QIODevice* FStream;
    TrpPersistentComponent* FOwner = nullptr;
    QStringList FErrors;
    std::vector<TrpFixupItem> FFixups;
    // Objects of the tree read so far, and whether the tree had any to
    // re-use when the read began.
    QSet<TrpPersistentComponent*> FReadSet;
    bool FMayReuse = false;
};
