// Shape views.
#pragma once

#include "rpView.h"

class TrpShapeView : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(TrpShapeKind, Shape, skRectangle)
    RP_FIELD(int, Curve, 0)
public:
    void Draw(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;
    QString Diff(const TrpComponent* AComponent) override;
};
