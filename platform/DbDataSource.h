#pragma once
// A data source: the named link between a table and the objects that read it
// through that link (the report's data set reads the expense table this way,
// as the grid does through its model). It does not own the table; the link
// empties itself when the table is destroyed.
#include "DbTable.h"
#include "GuardedPtr.h"

class TDbDataSource {
public:
    explicit TDbDataSource(TDbTable* dataSet = nullptr)
        : FDataSet(dataSet)
    {
    }
    TDbDataSource(const TDbDataSource&) = delete;
    TDbDataSource& operator=(const TDbDataSource&) = delete;

    // nullptr when none is linked or the linked table no longer exists.
    TDbTable* DataSet() const { return FDataSet.get(); }
    void SetDataSet(TDbTable* dataSet) { FDataSet = TGuardedPtr<TDbTable>(dataSet); }

    const TLifeToken& LifeToken() const { return FLifeToken; }

private:
    TGuardedPtr<TDbTable> FDataSet;
    TLifeToken FLifeToken;
};
