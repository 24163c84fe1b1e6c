// Report data sets: the cursor through which report objects read rows.
// Only the part the object model refers to is here; the walking and field
// access come with the data-set bridge.
#pragma once

#include "rpClass.h"

class TrpDataSet : public TrpDialogComponent
{
    RP_CLASS_INFO
    RP_FIELD(bool, Enabled, true)
public:
    // The name expressions use, such as "rpDBDataset1".
    QString UserName() const { return FUserName; }
    virtual void SetUserName(const QString &Value) { FUserName = Value; }

private:
    QString FUserName;
};
