// The list of data sets a report may use.
#pragma once

#include <QString>
#include <vector>

class TrpDataSet;

struct TrpDataSetItem {
    TrpDataSet* DataSet = nullptr;
    QString DataSetName;
};

// The data sets a report may use.
class TrpReportDataSets {
public:
    void Add(TrpDataSet* DataSet);
    // An entry by name only; its set is looked up when the report runs.
    void Add(const QString& DataSetName);
    TrpDataSetItem* Find(const TrpDataSet* DataSet);
    TrpDataSetItem* Find(const QString& Name);
    void Delete(const QString& Name);
    int Count() const { return int(FItems.size()); }
    TrpDataSetItem& Items(int Index) { return FItems[size_t(Index)]; }
    const TrpDataSetItem& Items(int Index) const { return FItems[size_t(Index)]; }
    void Clear() { FItems.clear(); }

private:
    std::vector<TrpDataSetItem> FItems;
};
