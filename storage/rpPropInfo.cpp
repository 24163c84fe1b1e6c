// Published-property tables and the registry of classes by name.
//
// Invariants: a class table is complete before its first Props() call (the
// combined list is cached then); registered classes live for the whole
// process (they are statics of their units) and are registered once.
#include "rpPropInfo.h"

#include <QHash>
#include <algorithm>

const TrpEnumInfo rpBooleanInfo { "False", "True" };

TrpEnumInfo::TrpEnumInfo(std::initializer_list<const char*> Names)
{
    for (const char* n : Names)
        FNames.push_back(QString::fromLatin1(n));
}

int TrpEnumInfo::IndexOf(QStringView Name) const
{
    for (size_t i = 0; i < FNames.size(); ++i)
        if (Name.compare(FNames[i], Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

TrpClassInfo::TrpClassInfo(QString ClassName, const TrpClassInfo* Parent, TFactory Factory)
    : FClassName(std::move(ClassName))
    , FParent(Parent)
    , FFactory(std::move(Factory))
{
}

bool TrpClassInfo::InheritsFrom(const TrpClassInfo& Other) const
{
    for (const TrpClassInfo* c = this; c; c = c->FParent)
        if (c == &Other)
            return true;
    return false;
}

void TrpClassInfo::AddProp(TrpPropInfo Prop)
{
    Q_ASSERT(FAllProps.empty() && "properties are declared before first use");
    FOwnProps.push_back(std::make_unique<TrpPropInfo>(std::move(Prop)));
}

const std::vector<const TrpPropInfo*>& TrpClassInfo::Props() const
{
    if (FAllProps.empty()) {
        if (FParent)
            FAllProps = FParent->Props();
        for (const auto& p : FOwnProps) {
            // A redeclared property replaces the ancestor's in place.
            auto same = std::find_if(
                FAllProps.begin(), FAllProps.end(), [&](const TrpPropInfo* q) { return q->Name == p->Name; });
            if (same != FAllProps.end())
                *same = p.get();
            else
                FAllProps.push_back(p.get());
        }
    }
    return FAllProps;
}

const TrpPropInfo* TrpClassInfo::FindProp(QStringView Name) const
{
    // Stored files spell names as declared: try that first, it is cheap.
    for (const TrpPropInfo* p : Props())
        if (Name == p->Name)
            return p;
    for (const TrpPropInfo* p : Props())
        if (Name.compare(p->Name, Qt::CaseInsensitive) == 0)
            return p;
    return nullptr;
}

QString TrpClassInfo::TextProp() const
{
    for (const TrpClassInfo* c = this; c; c = c->FParent)
        if (!c->FTextProp.isEmpty())
            return c->FTextProp;
    return QString();
}

namespace {
QHash<QString, const TrpClassInfo*>& Registry()
{
    static QHash<QString, const TrpClassInfo*> classes;
    return classes;
}
} // namespace

void TrpClassRegistry::Register(const TrpClassInfo& Info)
{
    Registry().insert(Info.ClassName().toUpper(), &Info);
}

const TrpClassInfo* TrpClassRegistry::Find(QStringView ClassName)
{
    return Registry().value(ClassName.toString().toUpper(), nullptr);
}

std::vector<const TrpClassInfo*> TrpClassRegistry::Classes()
{
    std::vector<const TrpClassInfo*> r;
    for (const TrpClassInfo* c : Registry())
        r.push_back(c);
    std::sort(r.begin(), r.end(),
        [](const TrpClassInfo* a, const TrpClassInfo* b) { return a->ClassName() < b->ClassName(); });
    return r;
}
