// Dialog pages and the controls placed on them.
#pragma once

#include "rpPage.h"
#include "rpReportComponent.h"

class QPainter;

class TrpDialogComponent : public TrpReportComponent {
    RP_CLASS_INFO
public:
    void Draw(QPainter*, Extended, Extended, Extended, Extended) override { }
};

class TrpDialogPage : public TrpPage {
    RP_CLASS_INFO
};
