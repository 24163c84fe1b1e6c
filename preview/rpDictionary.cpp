// Alias names of source objects. Names are unique; each maps to one entry
// of the source list, which keeps the order of registration.
#include "rpDictionary.h"

#include <algorithm>

void TrpDictionary::Add(const QString& Name, const QString& SourceName, TrpComponent* Obj)
{
    if (FNames.contains(Name))
        return;
    FNames.insert(Name, int(FSourceNames.size()));
    FSourceNames.push_back({ Name, SourceName, Obj });
}

QString TrpDictionary::AddUnique(const QString& Base, const QString& SourceName, TrpComponent* Obj)
{
    const QString name = CreateUniqueName(Base);
    Add(name, SourceName, Obj);
    return name;
}

QString TrpDictionary::CreateUniqueName(const QString& Base) const
{
    // Halving from 10000 finds a taken number quickly when names are dense,
    // so the upward search starts close to the first free one.
    int i = 10000;
    while (i > 1) {
        if (FNames.contains(Base + QString::number(i)))
            break;
        i /= 2;
    }
    while (FNames.contains(Base + QString::number(i)))
        ++i;
    return Base + QString::number(i);
}

TrpComponent* TrpDictionary::GetObject(const QString& Name) const
{
    const auto it = FNames.constFind(Name);
    return it == FNames.cend() ? nullptr : FSourceNames[size_t(*it)].Obj;
}

QString TrpDictionary::GetSourceName(const QString& Name) const
{
    const auto it = FNames.constFind(Name);
    return it == FNames.cend() ? QString() : FSourceNames[size_t(*it)].SourceName;
}

QStringList TrpDictionary::SortedNames() const
{
    QStringList names;
    names.reserve(qsizetype(FSourceNames.size()));
    for (const TSource& s : FSourceNames)
        names << s.Name;
    std::sort(names.begin(), names.end(), [](const QString& A, const QString& B) {
        const int c = A.compare(B, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : A < B;
    });
    return names;
}

void TrpDictionary::Clear()
{
    FNames.clear();
    FSourceNames.clear();
}
