// The link from a view, a data band, a page or the report to a data set.
// The link does not own the set; it reads none once the set is destroyed,
// and keeps the set's user name so that it can be linked again by name.
#pragma once

#include "GuardedPtr.h"

#include <QString>

class TrpDataSet;

class TrpDataSetLink {
public:
    // The set, or nullptr when none was given or it has been destroyed.
    TrpDataSet* DataSet() const { return FDataSet.get(); }
    // The name follows the set's user name.
    void SetDataSet(TrpDataSet* Value);
    // The live set's user name, else the name last given.
    QString Name() const;
    // A name alone, with the set found for it (nullptr when none).
    void SetName(const QString& Value, TrpDataSet* Found);

private:
    TGuardedPtr<TrpDataSet> FDataSet;
    QString FName;
};
