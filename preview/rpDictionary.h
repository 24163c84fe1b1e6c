// The alias names of the prepared pages' source objects: a prepared object
// is stored under a short name (m12, b3) that leads back to the object it
// was copied from.
#pragma once

#include <QHash>
#include <QString>
#include <QStringList>
#include <vector>

class TrpComponent;

class TrpDictionary {
public:
    // Registers Name for the source object Obj, known as SourceName
    // ("Page0.Memo3"). An existing Name is left as it is.
    void Add(const QString& Name, const QString& SourceName, TrpComponent* Obj);
    // Registers Obj under a new name made from Base; returns that name.
    QString AddUnique(const QString& Base, const QString& SourceName, TrpComponent* Obj);
    // Base followed by the first free number found from 10000 down by
    // halving, then up by one: m1, m2, ... while the names are dense.
    QString CreateUniqueName(const QString& Base) const;
    // The source object, or nullptr for an unknown name.
    TrpComponent* GetObject(const QString& Name) const;
    // "Page0.Memo3", or empty for an unknown name.
    QString GetSourceName(const QString& Name) const;
    bool Exists(const QString& Name) const { return FNames.contains(Name); }
    // Every alias name, sorted without regard to case (the stored order).
    QStringList SortedNames() const;
    int Count() const { return int(FSourceNames.size()); }
    void Clear();

private:
    struct TSource {
        QString Name;
        QString SourceName;
        TrpComponent* Obj = nullptr;
    };
    // Alias name -> position in FSourceNames.
    QHash<QString, int> FNames;
    std::vector<TSource> FSourceNames;
};
