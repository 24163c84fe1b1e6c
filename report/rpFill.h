// Fill records: brush, gradient and glass fills, and the gaps of a band's fill memo.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>
#include <memory>

class QPainter;

class TrpCustomFill : public TrpPersistent {
public:
    virtual std::unique_ptr<TrpCustomFill> Clone() const = 0;
    virtual TrpFillType FillType() const = 0;
    // False for a fill that leaves the background as it is.
    virtual bool Paints() const { return true; }
    virtual bool Equals(const TrpCustomFill& Other) const = 0;
    // Paints the fill in the device rectangle X, Y, X1, Y1 (rpViewDraw.cpp).
    virtual void Draw(
        QPainter* Canvas, int X, int Y, int X1, int Y1, Extended ScaleX, Extended ScaleY) const = 0;
    // Attributes Add.Name of the fill's values that differ from AFill; all
    // of them when AFill is of another kind (or none).
    QString Diff(const TrpCustomFill* AFill, const QString& Add) const;
};

class TrpBrushFill : public TrpCustomFill {
    RP_CLASS_INFO
    RP_FIELD(TrpColor, BackColor, clNone)
    RP_FIELD(TrpColor, ForeColor, clBlack)
    RP_FIELD(TrpBrushStyle, Style, bsSolid)
public:
    std::unique_ptr<TrpCustomFill> Clone() const override { return std::make_unique<TrpBrushFill>(*this); }
    TrpFillType FillType() const override { return ftBrush; }
    bool Paints() const override;
    bool Equals(const TrpCustomFill& Other) const override;
    void Draw(
        QPainter* Canvas, int X, int Y, int X1, int Y1, Extended ScaleX, Extended ScaleY) const override;
};

class TrpGradientFill : public TrpCustomFill {
    RP_CLASS_INFO
    RP_FIELD(TrpColor, StartColor, clWhite)
    RP_FIELD(TrpColor, EndColor, clBlack)
    RP_FIELD(TrpGradientStyle, GradientStyle, gsHorizontal)
public:
    std::unique_ptr<TrpCustomFill> Clone() const override { return std::make_unique<TrpGradientFill>(*this); }
    TrpFillType FillType() const override { return ftGradient; }
    bool Equals(const TrpCustomFill& Other) const override;
    void Draw(
        QPainter* Canvas, int X, int Y, int X1, int Y1, Extended ScaleX, Extended ScaleY) const override;
};

class TrpGlassFill : public TrpCustomFill {
    RP_CLASS_INFO
    RP_FIELD(TrpColor, Color, clWhite)
    RP_FIELD(Extended, Blend, 0.5L)
    RP_FIELD(bool, Hatch, false)
    RP_FIELD(TrpFillOrientation, Orientation, foHorizontal)
public:
    std::unique_ptr<TrpCustomFill> Clone() const override { return std::make_unique<TrpGlassFill>(*this); }
    TrpFillType FillType() const override { return ftGlass; }
    bool Equals(const TrpCustomFill& Other) const override;
    void Draw(
        QPainter* Canvas, int X, int Y, int X1, int Y1, Extended ScaleX, Extended ScaleY) const override;
};

std::unique_ptr<TrpCustomFill> rpCreateFill(TrpFillType Kind);
// The fill every object starts with, also the stored form's default kind.
inline constexpr TrpFillType rpDefaultFillType = ftBrush;

// Gaps of a band's fill memo (report pixels).
class TrpFillGap : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(Extended, Left, 0)
    RP_FIELD(Extended, Top, 0)
    RP_FIELD(Extended, Right, 0)
    RP_FIELD(Extended, Bottom, 0)
};
