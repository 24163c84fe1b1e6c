// Rectangles built from object bounds, for the band engine's shift analysis.
#pragma once

#include "rpUnits.h"

class TrpComponent;

// A rectangle built from an object's bounds, for shift analysis.
struct TrpRectArea {
    Extended X = 0, Y = 0, X1 = 0, Y1 = 0;
    TrpRectArea() = default;
    explicit TrpRectArea(const TrpComponent& C);
    TrpRectArea(Extended AX, Extended AY, Extended AX1, Extended AY1)
        : X(AX)
        , Y(AY)
        , X1(AX1)
        , Y1(AY1)
    {
    }
    bool InterceptsX(const TrpRectArea& A) const;
    bool InterceptsY(const TrpRectArea& A) const;
    TrpRectArea InterceptX(const TrpRectArea& A) const;
    TrpRectArea InterceptY(const TrpRectArea& A) const;
};
