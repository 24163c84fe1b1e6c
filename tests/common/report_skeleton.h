// The report most tests start from: rpReport1 holding Page1 with one
// MasterData1 band. Tests add their own bands, views and data on top.
#pragma once

#include "rpClass.h"

#include <QString>

// A new child of Parent of class T with the given name.
template <class T> T* AddNamed(TrpComponent* Parent, const QString& Name)
{
    T* child = Parent->Create<T>();
    child->SetName(Name);
    return child;
}

struct TReportSkeleton {
    TrpReportPage* Page;
    TrpMasterData* Band;
};

inline TrpReportPage* AddReportPage(TrpReport& Report)
{
    Report.SetName(QStringLiteral("rpReport1"));
    return AddNamed<TrpReportPage>(&Report, QStringLiteral("Page1"));
}

inline TReportSkeleton BuildReportSkeleton(TrpReport& Report)
{
    TrpReportPage* page = AddReportPage(Report);
    return { page, AddNamed<TrpMasterData>(page, QStringLiteral("MasterData1")) };
}
