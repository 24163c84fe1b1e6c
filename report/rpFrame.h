// The frame record of views: which sides are drawn and the look of each line.
#pragma once

#include "rpFields.h"
#include "rpTypes.h"

#include <QString>

class QPainter;
class TrpFrame;

class TrpFrameLine : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(TrpColor, Color, clBlack)
    RP_FIELD(TrpFrameStyle, Style, fsSolid)
    RP_FIELD(Extended, Width, 1)
public:
    // Colour, style and width against ALine, the same line of the template.
    // Where the frame's own value changed (Owner against AOwner), a value is
    // written when it differs from the frame's, since reading the frame's
    // value sets it on every line first.
    QString Diff(
        const TrpFrameLine* ALine, const TrpFrame* Owner, const TrpFrame* AOwner, const QString& Add) const;
    bool operator==(const TrpFrameLine& O) const
    {
        return FColor == O.FColor && FStyle == O.FStyle && FWidth == O.FWidth;
    }
};

class TrpFrame : public TrpPersistent {
    RP_CLASS_INFO
public:
    TrpFrame() = default;
    TrpFrame(const TrpFrame& Other)
        : TrpPersistent()
    {
        Assign(Other);
    }
    TrpFrame& operator=(const TrpFrame& Other)
    {
        Assign(Other);
        return *this;
    }
    void Assign(const TrpFrame& Other);
    bool operator==(const TrpFrame& Other) const;
    // Attributes Add.Color ... Add.BottomLine.Width that differ from AFrame.
    QString Diff(const TrpFrame* AFrame, const QString& Add = QStringLiteral("Frame")) const;

    // Initial values, which are also the declared defaults of the stored form.
    static TrpFrameTypes TypDefault() { return {}; }
    static TrpColor ColorDefault() { return clBlack; }
    static TrpFrameStyle StyleDefault() { return fsSolid; }
    static bool DropShadowDefault() { return false; }
    static TrpColor ShadowColorDefault() { return clBlack; }

    TrpFrameTypes Typ() const { return FTyp; }
    void SetTyp(TrpFrameTypes Value) { FTyp = Value; }
    TrpColor Color() const { return FColor; }
    TrpFrameStyle Style() const { return FStyle; }
    Extended Width() const { return FWidth; }
    // These three set the same value on all four lines.
    void SetColor(TrpColor Value);
    void SetStyle(TrpFrameStyle Value);
    void SetWidth(Extended Value);
    bool DropShadow() const { return FDropShadow; }
    void SetDropShadow(bool Value) { FDropShadow = Value; }
    Extended ShadowWidth() const { return FShadowWidth; }
    void SetShadowWidth(Extended Value) { FShadowWidth = Value; }
    TrpColor ShadowColor() const { return FShadowColor; }
    void SetShadowColor(TrpColor Value) { FShadowColor = Value; }
    TrpFrameLine* LeftLine() { return &FLeftLine; }
    TrpFrameLine* TopLine() { return &FTopLine; }
    TrpFrameLine* RightLine() { return &FRightLine; }
    TrpFrameLine* BottomLine() { return &FBottomLine; }
    const TrpFrameLine* LeftLine() const { return &FLeftLine; }
    const TrpFrameLine* TopLine() const { return &FTopLine; }
    const TrpFrameLine* RightLine() const { return &FRightLine; }
    const TrpFrameLine* BottomLine() const { return &FBottomLine; }

    // Shadow, then the left, right, top and bottom lines on the device
    // rectangle FX, FY, FX1, FY1 (rpViewDraw.cpp).
    void Draw(QPainter* Canvas, int FX, int FY, int FX1, int FY1, Extended ScaleX, Extended ScaleY) const;

private:
    TrpFrameTypes FTyp = TypDefault();
    TrpColor FColor = ColorDefault();
    TrpFrameStyle FStyle = StyleDefault();
    Extended FWidth = 1;
    bool FDropShadow = DropShadowDefault();
    Extended FShadowWidth = 4;
    TrpColor FShadowColor = ShadowColorDefault();
    TrpFrameLine FLeftLine, FTopLine, FRightLine, FBottomLine;
};
