#include "rpDataSetLink.h"

#include "rpDBSet.h"

void TrpDataSetLink::SetDataSet(TrpDataSet* Value)
{
    FDataSet = TGuardedPtr<TrpDataSet>(Value);
    FName = Value ? Value->UserName() : QString();
}

QString TrpDataSetLink::Name() const
{
    const TrpDataSet* d = FDataSet.get();
    return d ? d->UserName() : FName;
}

void TrpDataSetLink::SetName(const QString& Value, TrpDataSet* Found)
{
    FDataSet = TGuardedPtr<TrpDataSet>(Found);
    FName = Value;
}
