// Rectangles built from object bounds, for the band engine's shift analysis.
#pragma once

#include "rpUnits.h"

class TrpComponent;

// A rectangle built from an object's bounds, for shift analysis.
struct TrpRectArea {
    Extended X = 0, Y = 0, X1 = 0, Y1 = 0;
    TrpRectArea() = default;
    // From the object's absolute position and its size.
    explicit TrpRectArea(const TrpComponent& C);
    TrpRectArea(Extended AX, Extended AY, Extended AX1, Extended AY1)
        : X(AX)
        , Y(AY)
        , X1(AX1)
        , Y1(AY1)
    {
    }
    // A overlaps this one by more than 1e-4 on both sides (strictly).
    bool InterceptsX(const TrpRectArea& A) const;
    bool InterceptsY(const TrpRectArea& A) const;
    TrpRectArea InterceptX(const TrpRectArea& A) const;
    TrpRectArea InterceptY(const TrpRectArea& A) const;
};
