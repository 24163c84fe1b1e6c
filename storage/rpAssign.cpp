#include "rpAssign.h"

#include "rpPersistent.h"
#include "rpPropInfo.h"

void rpAssignProps(TrpPersistent& Dest, const TrpPersistent& Source, bool CopyData)
{
    const TrpClassInfo& from = Source.ClassInfo();
    const TrpClassInfo& to = Dest.ClassInfo();
    const bool isComponent = dynamic_cast<const TrpPersistentComponent*>(&Source) != nullptr;
    for (const TrpPropInfo* p : from.Props()) {
        const TrpPropInfo* d = &to == &from ? p : to.FindProp(p->Name);
        if (!d || d->Kind != p->Kind)
            continue;
        switch (p->Kind) {
        case TrpPropKind::Integer:
        case TrpPropKind::Int64:
        case TrpPropKind::Enum:
        case TrpPropKind::Set:
            d->SetOrd(Dest, p->GetOrd(Source));
            break;
        case TrpPropKind::Float:
            d->SetFloat(Dest, p->GetFloat(Source));
            break;
        case TrpPropKind::String:
            // Names are unique in a report; a copy is named by its maker.
            if (!(isComponent && p->Name == QLatin1String("Name")))
                d->SetStr(Dest, p->GetStr(Source));
            break;
        case TrpPropKind::Strings:
            d->SetList(Dest, p->GetList(Source));
            break;
        case TrpPropKind::Object: {
            if (p->IsStored && !p->IsStored(Source))
                break;
            const TrpPersistent* s = p->GetObj(Source);
            if (!s)
                break;
            TrpPersistent* t = d->GetObj(Dest);
            if (!t && d->MakeObj)
                t = d->MakeObj(Dest);
            if (t)
                rpAssignProps(*t, *s, CopyData);
            break;
        }
        case TrpPropKind::Component:
            break;
        }
    }
    // References last, as a read resolves them last, and only those Source
    // holds: a name read before (DataSetName) must not be undone.
    for (const TrpPropInfo* p : from.Props()) {
        if (p->Kind != TrpPropKind::Component)
            continue;
        const TrpPropInfo* d = &to == &from ? p : to.FindProp(p->Name);
        auto* target = dynamic_cast<TrpPersistentComponent*>(p->GetObj(Source));
        if (target && d && d->Kind == p->Kind && d->SetRef)
            d->SetRef(Dest, target);
    }
    if (CopyData)
        Dest.SetPropData(Source.PropData());
}
