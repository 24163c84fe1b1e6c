// Line views.
#pragma once

#include "rpView.h"

class TrpCustomLineView : public TrpStretcheable {
    RP_CLASS_INFO
    RP_FIELD(bool, Diagonal, false)
public:
    TrpCustomLineView() { SetComponentStyle(ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)); }
};

class TrpLineView : public TrpCustomLineView {
    RP_CLASS_INFO
};
