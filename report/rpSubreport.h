// Subreports: a view that prints another page's bands in place.
#pragma once

#include "rpView.h"

class TrpReportPage;

class TrpSubreport : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(bool, PrintOnParent, false)
public:
    TrpReportPage* Page() const { return FPage; }
    void SetPage(TrpReportPage* Value) { FPage = Value; }

private:
    TrpReportPage* FPage = nullptr;
};
