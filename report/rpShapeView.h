// Shape views.
#pragma once

#include "rpView.h"

class TrpShapeView : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(TrpShapeKind, Shape, skRectangle)
    RP_FIELD(int, Curve, 0)
public:
    QString Diff(const TrpComponent* AComponent) override;
};
