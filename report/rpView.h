// Views: the objects placed on bands, with data field, frame, fill and hyperlink.
#pragma once

#include "rpDataSetLink.h"
#include "rpFill.h"
#include "rpFrame.h"
#include "rpHyperlink.h"
#include "rpReportComponent.h"

#include <QString>
#include <Qt>
#include <memory>

class TrpDataSet;

class TrpView : public TrpReportComponent {
    RP_CLASS_INFO
    RP_FIELD(TrpAlign, Align, baNone)
    RP_FIELD(QString, DataField, QString())
    RP_FIELD(TrpShiftMode, ShiftMode, smAlways)
    RP_FIELD(TrpVisibilityTypes, Visibility, TrpVisibilityTypes(vsPreview | vsExport | vsPrint))
    RP_FIELD(QString, TagStr, QString())
    RP_FIELD(QString, Hint, QString())
    RP_FIELD(bool, ShowHint, false)
    RP_FIELD(QString, URL, QString())
    RP_FIELD(bool, DrawAsMask, false)
    // Mouse cursor over the object in the preview; 0 is the default cursor.
    RP_FIELD(int, Cursor, 0)
public:
    TrpView();
    ~TrpView() override;

    TrpDataSet* DataSet() const { return FDataSet.DataSet(); }
    // Also sets DataSetName to the set's user name.
    void SetDataSet(TrpDataSet* Value) { FDataSet.SetDataSet(Value); }
    QString DataSetName() const { return FDataSet.Name(); }
    // Looks the set up by name among the report's data sets.
    void SetDataSetName(const QString& Value);
    bool IsDataField() const { return DataSet() && !DataField().isEmpty(); }

    TrpFrame* Frame() { return &FFrame; }
    const TrpFrame* Frame() const { return &FFrame; }
    TrpCustomFill* Fill() const { return FFill.get(); }
    TrpFillType FillType() const { return FFill->FillType(); }
    // Replaces the fill object when the kind changes.
    void SetFillType(TrpFillType Value);
    void SetFill(const TrpCustomFill& Value) { FFill = Value.Clone(); }
    TrpHyperlink* Hyperlink() { return &FHyperlink; }
    const TrpHyperlink* Hyperlink() const { return &FHyperlink; }
    // Fill.BackColor of a brush fill; clNone for other fills.
    TrpColor Color() const;
    void SetColor(TrpColor Value);
    bool Printable() const { return Visibility().testFlag(vsPrint); }
    void SetPrintable(bool Value);

    // Device rectangle, fill, frame (rpViewDraw.cpp).
    void Draw(
        QPainter* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY) override;
    // Remembers canvas, scales and offsets and sets X ... FrameWidth.
    virtual void PrepareDeviceRect(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY);
    virtual void PaintFill();
    virtual void PaintFrame();
    QString Diff(const TrpComponent* AComponent) override;

    // --- a run (text expansion): BeforePrint saves TagStr and the hyperlink
    // value and makes the object the script's Self; GetData expands them;
    // AfterPrint restores them.
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    QString TempTagStr;
    QString TempHyperlink;

    // The mouse over the object in the preview. The plain view does nothing;
    // objects that react on their own (a check box, say) override these.
    virtual void DoMouseMove(int /*X*/, int /*Y*/, Qt::CursorShape& /*Cursor*/) { }
    virtual void DoMouseUp(int /*X*/, int /*Y*/, Qt::MouseButton /*Button*/, Qt::KeyboardModifiers /*Shift*/)
    {
    }
    virtual void DoMouseEnter(TrpView* /*PreviousObject*/) { }
    virtual void DoMouseLeave(TrpView* /*NextObject*/) { }
    // Modified: the object changed and its page is to be written back.
    virtual void DoMouseClick(bool /*Double*/, bool& /*Modified*/) { }

    // Last drawing state (device integers), kept by the drawing code.
    int X = 0, Y = 0, X1 = 0, Y1 = 0, DX = 0, DY = 0;
    int FrameWidth = 0;
    Extended ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;
    QPainter* Canvas = nullptr; // of the last Draw

private:
    TrpDataSetLink FDataSet;
    TrpFrame FFrame;
    std::unique_ptr<TrpCustomFill> FFill;
    TrpHyperlink FHyperlink;
};

class TrpStretcheable : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(TrpStretchMode, StretchMode, smDontStretch)
    // Used when a band is split across pages.
    RP_FIELD(Extended, SaveHeight, 0)
    RP_FIELD(Extended, SavedTop, 0)
public:
    // Band stretching and splitting hooks.
    virtual Extended CalcHeight() { return Height(); }
    virtual Extended DrawPart() { return 0; }
    virtual void InitPart() { }
    // What is left of the object reaches below FreeSpace (report pixels
    // from the band's top).
    virtual bool HasNextDataPart(Extended FreeSpace) const { return Top() + SaveHeight() > FreeSpace; }
};
