// The list of data sets a report may use.
#pragma once

#include "rpDataSetLink.h"

#include <QString>
#include <QStringList>
#include <vector>

class TrpDataSet;
class TrpReport;

// One entry: the set, or only its user name while no set of that name is
// known (a template just read, a set destroyed since).
class TrpDataSetItem {
public:
    TrpDataSet* DataSet() const { return FLink.DataSet(); }
    QString DataSetName() const { return FLink.Name(); }

private:
    friend class TrpReportDataSets;
    TrpDataSetLink FLink;
};

// The data sets a report may use. A reload of the template keeps only the
// names; the entries are linked again to the sets of those names.
class TrpReportDataSets {
public:
    explicit TrpReportDataSets(TrpReport* Owner = nullptr)
        : FOwner(Owner)
    {
    }
    void Add(TrpDataSet* DataSet);
    // An entry by name; linked at once when a set of that name exists.
    void Add(const QString& DataSetName);
    TrpDataSetItem* Find(const TrpDataSet* DataSet);
    TrpDataSetItem* Find(const QString& Name);
    void Delete(const QString& Name);
    int Count() const { return int(FItems.size()); }
    TrpDataSetItem& Items(int Index) { return FItems[size_t(Index)]; }
    const TrpDataSetItem& Items(int Index) const { return FItems[size_t(Index)]; }
    void Clear() { FItems.clear(); }

    // Links every entry without a set to the set of its user name in the
    // process-wide list (one owned by another report does not count).
    void Relink();
    // Names of the entries that still have no set after Relink.
    QStringList Missing() const;
    // Before a run: Relink, then every entry with a set gets the report as
    // its ReportRef and is initialised.
    void Initialize();
    // After a run: every entry with a set is finalised.
    void Finalize();

private:
    TrpReport* FOwner;
    std::vector<TrpDataSetItem> FItems;
};
