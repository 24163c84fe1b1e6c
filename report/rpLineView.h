// Line views.
#pragma once

#include "rpView.h"

#include <QPointF>

class TrpCustomLineView : public TrpStretcheable {
    RP_CLASS_INFO
    RP_FIELD(bool, Diagonal, false)
public:
    void Draw(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;
    TrpCustomLineView() { SetComponentStyle(ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)); }
};

// A line with optional arrow heads at its ends: each head reaches
// ArrowLength back along the line and ArrowWidth to either side of it
// (report pixels); a solid head is filled with the line's colour.
class TrpLineView : public TrpCustomLineView {
    RP_CLASS_INFO
    RP_FIELD(bool, ArrowEnd, false)
    RP_FIELD(int, ArrowLength, 20)
    RP_FIELD(bool, ArrowSolid, false)
    RP_FIELD(bool, ArrowStart, false)
    RP_FIELD(int, ArrowWidth, 5)
public:
    void Draw(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;

private:
    // A head at Tip, pointing away from From.
    void DrawArrow(QPainter* ACanvas, QPointF From, QPointF Tip) const;
};
