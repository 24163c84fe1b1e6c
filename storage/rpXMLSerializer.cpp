// Object serializer.
//
// Attribute text of an object: for every stored published property, in
// table order, ` Prefix + Name="value"`:
//   ordinal kinds  decimal; enumerations by identifier (False/True for
//                  Boolean); sets as the decimal bit mask; skipped when
//                  equal to the declared default (or the ancestor's value)
//   floats         "." as separator, 15 significant digits; always written
//                  without an ancestor, else when they differ by 1e-6 or more
//   texts          escaped; skipped when empty (or equal to the ancestor's)
//   string lists   Name.Text, lines joined by CR LF
//   nested objects their own attributes under the prefix Name.
//   references     the component's name; "nil" for a reference the
//                  ancestor had and the object has not
// then a memo's lines as Text, then PropData (hexadecimal bytes).
//
// Reading never throws for a bad value: the message goes to Errors and the
// scan goes on. References are resolved after the whole tree is read.
#include "rpXMLSerializer.h"

#include "rpTextSource.h"
#include "rpXML.h"

#include <QIODevice>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <zlib.h>

namespace {

QString JoinLines(const QStringList& Lines)
{
    return Lines.join(QStringLiteral("\r\n"));
}

QStringList SplitLines(const QString& Text)
{
    if (Text.isEmpty())
        return QStringList();
    QString t = Text;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    if (t.endsWith(u'\n'))
        t.chop(1);
    return t.split(u'\n');
}

uint32_t Crc(const QByteArray& Data)
{
    return uint32_t(crc32(0, reinterpret_cast<const Bytef*>(Data.constData()), uInt(Data.size())));
}

QString NotAnInteger(const QString& Text)
{
    return QStringLiteral("'%1' is not a valid integer value").arg(Text);
}

bool TextToInt(const QString& Text, int64_t& Value)
{
    const QString t = Text.trimmed();
    bool ok = false;
    if (t.startsWith(u'$'))
        Value = t.mid(1).toLongLong(&ok, 16);
    else
        Value = t.toLongLong(&ok, 10);
    return ok;
}

} // namespace

void TrpXMLSerializer::AddError(const QString& Text)
{
    auto less = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    auto it = std::lower_bound(FErrors.begin(), FErrors.end(), Text, less);
    if (it != FErrors.end() && it->compare(Text, Qt::CaseInsensitive) == 0)
        return;
    FErrors.insert(it, Text);
}

QString TrpXMLSerializer::FloatToText(long double Value)
{
    const double d = double(Value);
    if (d == 0)
        return QStringLiteral("0"); // also for -0
    // Whole numbers are the common case (0, 96, 1123): no float formatting.
    if (std::fabs(d) < 1e15 && d == std::floor(d))
        return QString::number(int64_t(d));
    char buf[32];
    const auto r = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 15);
    return QString::fromLatin1(buf, int(r.ptr - buf));
}

bool TrpXMLSerializer::TextToFloat(const QString& Text, long double& Value)
{
    // ASCII only; blanks dropped and "," taken as ".", so files written
    // under any locale read back.
    char buf[64];
    int n = 0;
    for (QChar c : Text) {
        const char16_t u = c.unicode();
        if (u == ' ')
            continue;
        if (u > 127 || n >= int(sizeof buf))
            return false;
        buf[n++] = u == ',' ? '.' : char(u);
    }
    const char* begin = buf + (n > 0 && buf[0] == '+' ? 1 : 0);
    double d = 0;
    const auto r = std::from_chars(begin, buf + n, d, std::chars_format::general);
    if (r.ec != std::errc() || r.ptr != buf + n || n == 0 || !std::isfinite(d))
        return false;
    Value = d;
    return true;
}

// ------------------------------------------------------------------ write

QString TrpXMLSerializer::ObjToXML(
    const TrpPersistent* Obj, const QString& Prefix, const TrpPersistent* Ancestor)
{
    if (!Obj)
        return QString();
    auto* component = dynamic_cast<const TrpPersistentComponent*>(Obj);
    if (!Ancestor && OnGetAncestor && component)
        Ancestor = OnGetAncestor(component->Name());
    if (SaveAncestorOnly && Ancestor && Ancestor != Obj) {
        Obj = Ancestor;
        Ancestor = nullptr;
    }
    if (Ancestor && &Ancestor->ClassInfo() != &Obj->ClassInfo())
        Ancestor = nullptr; // a different kind of object gives no defaults

    QString r;
    r.reserve(256);
    auto append = [&](const QString& Name, const QString& Value) {
        r += u' ';
        r += Prefix;
        r += Name;
        r += QStringLiteral("=\"");
        r += Value;
        r += u'"';
    };

    for (const TrpPropInfo* p : Obj->ClassInfo().Props()) {
        if (p->IsStored && !p->IsStored(*Obj))
            continue;
        switch (p->Kind) {
        case TrpPropKind::Integer:
        case TrpPropKind::Int64:
        case TrpPropKind::Enum:
        case TrpPropKind::Set: {
            const int64_t v = p->GetOrd(*Obj);
            if (!SerializeDefaultValues) {
                if (Ancestor ? v == p->GetOrd(*Ancestor) : (p->Default && v == *p->Default))
                    break;
            }
            if (p->Kind == TrpPropKind::Enum && p->Enum && v >= 0 && v < p->Enum->Count())
                append(p->Name, p->Enum->Name(int(v)));
            else
                append(p->Name, QString::number(v));
            break;
        }
        case TrpPropKind::Float: {
            const long double v = p->GetFloat(*Obj);
            if (Ancestor && std::fabs(v - p->GetFloat(*Ancestor)) < 1e-6L && !SerializeDefaultValues)
                break;
            append(p->Name, FloatToText(v));
            break;
        }
        case TrpPropKind::String: {
            const QString v = p->GetStr(*Obj);
            if (Ancestor ? v == p->GetStr(*Ancestor) : v.isEmpty())
                break;
            append(p->Name, rpStrToXML(v));
            break;
        }
        case TrpPropKind::Strings: {
            const QStringList v = p->GetList(*Obj);
            if (Ancestor ? v == p->GetList(*Ancestor) : v.isEmpty())
                break;
            append(p->Name + QStringLiteral(".Text"), rpStrToXML(JoinLines(v)));
            break;
        }
        case TrpPropKind::Object: {
            const TrpPersistent* nested = p->GetObj(*Obj);
            if (!nested)
                break;
            const TrpPersistent* ancNested = Ancestor ? p->GetObj(*Ancestor) : nullptr;
            r += ObjToXML(nested, Prefix + p->Name + u'.', ancNested);
            break;
        }
        case TrpPropKind::Component: {
            auto* ref = static_cast<const TrpPersistentComponent*>(p->GetObj(*Obj));
            auto* ancRef
                = Ancestor ? static_cast<const TrpPersistentComponent*>(p->GetObj(*Ancestor)) : nullptr;
            if (ref) {
                if (!Ancestor || !ancRef || ancRef->Name() != ref->Name())
                    append(p->Name, rpStrToXML(ref->Name()));
            } else if (ancRef) {
                append(p->Name, QStringLiteral("nil"));
            }
            break;
        }
        }
    }

    const QString textProp = Obj->ClassInfo().TextProp();
    if (!textProp.isEmpty()) {
        if (const TrpPropInfo* p = Obj->ClassInfo().FindProp(textProp)) {
            const QStringList v = p->GetList(*Obj);
            if (!Ancestor || v != p->GetList(*Ancestor))
                append(QStringLiteral("Text"), rpStrToXML(JoinLines(v)));
        }
    }

    const QByteArray data = Obj->PropData();
    if (!data.isEmpty()) {
        const bool sameAsAncestor = Ancestor && Crc(Ancestor->PropData()) == Crc(data);
        if (!sameAsAncestor || SerializeDefaultValues)
            append(QStringLiteral("PropData"), QString::fromLatin1(data.toHex().toUpper()));
    }
    return r;
}

void TrpXMLSerializer::WriteObject(
    const TrpPersistentComponent* Obj, TrpXMLItem* Item, bool IsRoot, bool SaveChildren)
{
    const TrpPersistentComponent* ancestor = OnGetAncestor ? OnGetAncestor(Obj->Name()) : nullptr;
    Item->SetName(
        Obj->IsAncestor() && !SaveAncestorOnly ? QStringLiteral("inherited") : Obj->ClassInfo().ClassName());
    QString text = ObjToXML(Obj, QString(), ancestor);
    if (!IsRoot)
        text.prepend(QStringLiteral(" Name=\"") + rpStrToXML(Obj->Name()) + u'"');
    Item->SetText(text);
    if (HandleNestedProperties)
        Obj->WriteNestedProperties(Item, ancestor);
    if (SaveChildren)
        for (int i = 0; i < Obj->ChildCount(); ++i)
            WriteObject(Obj->ChildAt(i), Item->Add(), false, true);
}

void TrpXMLSerializer::WriteRootComponent(TrpPersistentComponent* Root, bool SaveChildren, TrpXMLItem* Item)
{
    if (!Item) {
        TrpXMLDocument doc;
        doc.SetAutoIndent(true);
        WriteObject(Root, doc.Root(), true, SaveChildren);
        if (OnSaveCustomData)
            OnSaveCustomData(doc.Root()->Add(QStringLiteral("RpCustomData")));
        if (FStream)
            doc.SaveToStream(*FStream);
        return;
    }
    WriteObject(Root, Item, true, SaveChildren);
    if (OnSaveCustomData) {
        TrpXMLItem* top = Item;
        while (top->Parent())
            top = top->Parent();
        OnSaveCustomData(top->Add(QStringLiteral("RpCustomData")));
    }
}

QString TrpXMLSerializer::WriteComponentStr(const TrpPersistentComponent* Obj)
{
    return Obj->ClassInfo().ClassName() + ObjToXML(Obj);
}

void TrpXMLSerializer::WriteComponent(const TrpPersistentComponent* Obj)
{
    if (!FStream)
        return;
    const QByteArray bytes = "<" + WriteComponentStr(Obj).toUtf8() + "/>";
    if (FStream->write(bytes) != bytes.size())
        throw TrpStorageError(QStringLiteral("Cannot write the file: %1").arg(FStream->errorString()));
}

// ------------------------------------------------------------------- read

void TrpXMLSerializer::XMLToObj(const QString& Text, TrpPersistent* Obj)
{
    if (!Obj)
        return;
    const int n = Text.size();
    int i = 0;
    while (i < n) {
        const int eq = Text.indexOf(u'=', i);
        if (eq < 0)
            break;
        const int q1 = Text.indexOf(u'"', eq + 1);
        if (q1 < 0)
            break;
        const int q2 = Text.indexOf(u'"', q1 + 1);
        if (q2 < 0)
            break;
        const QStringView name = QStringView(Text).mid(i, eq - i).trimmed();
        const QString value = Text.mid(q1 + 1, q2 - q1 - 1);
        i = q2 + 1;
        if (!name.isEmpty())
            ApplyAttribute(name, value, Obj);
    }
}

void TrpXMLSerializer::SetMemoText(TrpPersistent* Obj, const QString& Text)
{
    const QString textProp = Obj->ClassInfo().TextProp();
    if (textProp.isEmpty())
        return;
    if (const TrpPropInfo* p = Obj->ClassInfo().FindProp(textProp); p && p->SetList)
        p->SetList(*Obj, SplitLines(Text));
}

void TrpXMLSerializer::ApplyAttribute(QStringView Name, const QString& RawValue, TrpPersistent* Obj)
{
    try {
        if (Name.size() == 1) {
            const char16_t c = Name[0].unicode();
            const char* full = c == 'l' ? "Left"
                : c == 't'              ? "Top"
                : c == 'w'              ? "Width"
                : c == 'h'              ? "Height"
                                        : nullptr;
            if (full) {
                const TrpPropInfo* p = Obj->ClassInfo().FindProp(QString::fromLatin1(full));
                long double v;
                if (!p || !p->SetFloat)
                    return;
                if (!TextToFloat(RawValue, v))
                    throw TrpStorageError(
                        QStringLiteral("'%1' is not a valid floating point value").arg(RawValue));
                p->SetFloat(*Obj, v);
                return;
            }
            if (c == 'x') {
                SetMemoText(Obj, rpXMLToStr(RawValue));
                return;
            }
            if (c == 'u') {
                const QString v = rpXMLToStr(RawValue);
                const bool bytes
                    = std::all_of(v.begin(), v.end(), [](QChar ch) { return ch.unicode() < 256; });
                SetMemoText(Obj, bytes ? QString::fromUtf8(v.toLatin1()) : v);
                return;
            }
        }
        if (Name.compare(u"PropData", Qt::CaseInsensitive) == 0) {
            const QByteArray hex = RawValue.toLatin1();
            if (hex.size() % 2 == 0
                && std::all_of(hex.begin(), hex.end(), [](char ch) { return std::isxdigit(uchar(ch)); }))
                Obj->SetPropData(QByteArray::fromHex(hex));
            return; // malformed data is ignored
        }
        if (Name.compare(u"Text", Qt::CaseInsensitive) == 0) {
            QString v = rpXMLToStr(RawValue);
            if (OldFormat)
                v = QString::fromUtf8(v.toLocal8Bit());
            SetMemoText(Obj, v);
            return;
        }
        if (Name.compare(u"Name", Qt::CaseInsensitive) == 0) {
            if (auto* c = dynamic_cast<TrpPersistentComponent*>(Obj); c && c->IsReport())
                return;
        }
        // A dotted name walks nested objects: Font.Name, Frame.LeftLine.Width,
        // ScriptText.Text.
        TrpPersistent* target = Obj;
        QStringView rest = Name;
        for (qsizetype dot = rest.indexOf(u'.'); dot >= 0; dot = rest.indexOf(u'.')) {
            const QStringView part = rest.left(dot);
            rest = rest.mid(dot + 1);
            const TrpPropInfo* p = target->ClassInfo().FindProp(part);
            if (!p)
                return;
            if (p->Kind == TrpPropKind::Strings && rest.compare(u"Text", Qt::CaseInsensitive) == 0) {
                if (p->SetList)
                    p->SetList(*target, SplitLines(rpXMLToStr(RawValue)));
                return;
            }
            if (p->Kind != TrpPropKind::Object)
                return;
            TrpPersistent* nested = p->GetObj(*target);
            if (!nested && p->MakeObj)
                nested = p->MakeObj(*target);
            if (!nested)
                return;
            target = nested;
        }
        const TrpPropInfo* p = target->ClassInfo().FindProp(rest);
        if (p && !p->ReadOnly)
            SetProp(*p, RawValue, target);
    } catch (const EPelmoraError& e) {
        // A conversion or a setter (a taken name) failed: report it, go on.
        AddError(e.Message());
    }
}

void TrpXMLSerializer::SetProp(const TrpPropInfo& Prop, const QString& RawValue, TrpPersistent* Obj)
{
    switch (Prop.Kind) {
    case TrpPropKind::Integer:
    case TrpPropKind::Set: {
        int64_t v;
        if (!TextToInt(RawValue, v) || v < INT32_MIN || v > UINT32_MAX)
            throw TrpStorageError(NotAnInteger(RawValue));
        Prop.SetOrd(*Obj, v);
        break;
    }
    case TrpPropKind::Int64: {
        int64_t v;
        if (!TextToInt(RawValue, v))
            throw TrpStorageError(NotAnInteger(RawValue));
        Prop.SetOrd(*Obj, v);
        break;
    }
    case TrpPropKind::Enum: {
        int64_t v;
        if (!TextToInt(RawValue, v))
            v = Prop.Enum ? Prop.Enum->IndexOf(RawValue.trimmed()) : -1;
        if (!Prop.Enum || v < 0 || v >= Prop.Enum->Count())
            throw TrpStorageError(
                QStringLiteral("Invalid property value \"%1\" of %2").arg(RawValue, Prop.Name));
        Prop.SetOrd(*Obj, v);
        break;
    }
    case TrpPropKind::Float: {
        long double v;
        if (!TextToFloat(RawValue, v))
            throw TrpStorageError(QStringLiteral("'%1' is not a valid floating point value").arg(RawValue));
        Prop.SetFloat(*Obj, v);
        break;
    }
    case TrpPropKind::String:
        Prop.SetStr(*Obj, rpXMLToStr(RawValue));
        break;
    case TrpPropKind::Strings:
        Prop.SetList(*Obj, SplitLines(rpXMLToStr(RawValue)));
        break;
    case TrpPropKind::Component: {
        const QString name = rpXMLToStr(RawValue);
        if (name.isEmpty() || name.compare(QStringLiteral("nil"), Qt::CaseInsensitive) == 0)
            Prop.SetRef(*Obj, nullptr);
        else
            FFixups.push_back({ Obj, &Prop, name });
        break;
    }
    case TrpPropKind::Object:
        break;
    }
}

void TrpXMLSerializer::FixupReferences()
{
    for (const TrpFixupItem& f : FFixups) {
        TrpPersistentComponent* found = FOwner ? FOwner->FindComponent(f.Value) : nullptr;
        if (!found && f.Value.contains(u'.') && OnFindGlobalComponent) {
            try {
                found = OnFindGlobalComponent(f.Value);
            } catch (const std::exception&) {
                FFixups.clear();
                throw TrpStorageError(QStringLiteral("Missing ") + f.Value);
            }
        }
        if (!found)
            continue;
        try {
            f.Prop->SetRef(*f.Obj, found);
        } catch (const EPelmoraError& e) {
            AddError(e.Message()); // a setter refused the reference (a circular child chain)
        }
    }
    FFixups.clear();
}

void TrpXMLSerializer::CopyFixupList(std::vector<TrpFixupItem>& List) const
{
    List.insert(List.end(), FFixups.begin(), FFixups.end());
}

void TrpXMLSerializer::ReadObject(
    TrpPersistentComponent* Obj, const TrpXMLItem* Item, std::vector<TrpPersistentComponent*>& Read)
{
    Obj->SetLoading(true);
    Read.push_back(Obj);
    FReadSet.insert(Obj);
    XMLToObj(Item->Text(), Obj);
    for (int i = 0; i < Item->Count(); ++i) {
        const TrpXMLItem* c = Item->Items(i);
        const QString& name = c->Name();
        if (name.compare(QStringLiteral("RpCustomData"), Qt::CaseInsensitive) == 0) {
            if (OnLoadCustomData)
                OnLoadCustomData(c);
            continue;
        }
        if (HandleNestedProperties && Obj->ReadNestedProperty(c))
            continue;
        // An item may name an object that existed before this read began;
        // an object this read made is never taken again, so a page that
        // holds the same name once per row keeps every row.
        const QString childName = c->Prop(QStringLiteral("Name"));
        TrpPersistentComponent* existing = nullptr;
        if (FMayReuse && !childName.isEmpty()) {
            existing = (FOwner ? FOwner : Obj)->FindComponent(childName);
            if (existing && FReadSet.contains(existing))
                existing = nullptr;
        }
        TrpPersistentComponent* child = nullptr;
        if (name.compare(QStringLiteral("inherited"), Qt::CaseInsensitive) == 0) {
            child = existing; // an object of the ancestor: nothing to create
        } else {
            const TrpClassInfo* cls = TrpClassRegistry::Find(name);
            if (!cls || !cls->CanCreate()) {
                AddError(rpLookupText(QStringLiteral("xrCantFindClass"), QStringLiteral("Cannot find class"))
                    + u' ' + name);
                continue;
            }
            if (existing && &existing->ClassInfo() == cls)
                child = existing;
            else
                child = Obj->AdoptChild(cls->Create());
        }
        if (child)
            ReadObject(child, c, Read);
    }
}

void TrpXMLSerializer::ReadRootComponent(TrpPersistentComponent* Root, TrpXMLItem* Item)
{
    TrpXMLDocument doc;
    if (!Item) {
        if (!FStream)
            return;
        doc.LoadFromStream(*FStream);
        OldFormat = doc.OldVersion();
        Item = doc.Root();
    }
    if (!FOwner)
        FOwner = Root;
    // Nothing to re-use in an empty tree (the usual case: loading clears
    // first); the look-ups are then skipped.
    FMayReuse = FOwner->ChildCount() > 0 || Root->ChildCount() > 0;
    FReadSet.clear();
    std::vector<TrpPersistentComponent*> read;
    ReadObject(Root, Item, read);
    FReadSet.clear();
    FixupReferences();
    for (TrpPersistentComponent* o : read) {
        o->SetLoading(false);
        if (!o->IsReport())
            o->Loaded();
    }
}

TrpPersistentComponent* TrpXMLSerializer::ReadComponentStr(
    TrpPersistentComponent* Root, const QString& Text, bool DontFixup)
{
    const QString t = Text.trimmed();
    if (t.isEmpty() || !Root)
        return nullptr;
    qsizetype blank = 0;
    while (blank < t.size() && !t[blank].isSpace())
        ++blank;
    const QString className = t.left(blank);
    const TrpClassInfo* cls = TrpClassRegistry::Find(className);
    if (!cls || !cls->CanCreate()) {
        AddError(rpLookupText(QStringLiteral("xrCantFindClass"), QStringLiteral("Cannot find class")) + u' '
            + className);
        return nullptr;
    }
    if (!FOwner)
        FOwner = Root;
    TrpPersistentComponent* obj = Root->AdoptChild(cls->Create());
    if (!obj)
        return nullptr;
    obj->SetLoading(true);
    XMLToObj(t.mid(blank), obj);
    if (!DontFixup)
        FixupReferences();
    obj->SetLoading(false);
    if (!obj->IsReport())
        obj->Loaded();
    return obj;
}

TrpPersistentComponent* TrpXMLSerializer::ReadComponent(TrpPersistentComponent* Root)
{
    if (!FStream)
        return nullptr;
    // One tag: skip to "<", collect up to ">".
    char ch;
    do {
        if (!FStream->getChar(&ch))
            return nullptr;
    } while (ch != '<');
    QByteArray tag;
    for (;;) {
        if (!FStream->getChar(&ch) || ch == '<')
            throw TrpInvalidXMLException();
        if (ch == '>')
            break;
        tag.append(ch);
    }
    if (tag.endsWith('/'))
        tag.chop(1);
    return ReadComponentStr(Root, QString::fromUtf8(tag));
}

void TrpXMLSerializer::ReadPersistentStr(
    TrpPersistentComponent* Root, TrpPersistent* Obj, const QString& Text)
{
    if (!FOwner)
        FOwner = Root;
    XMLToObj(Text, Obj);
    FixupReferences();
}
