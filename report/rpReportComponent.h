// Printable report components: the common base of views and bands.
#pragma once

#include "rpComponent.h"

#include <QString>
#include <vector>

class QPainter;

class TrpReportComponent : public TrpComponent {
    RP_CLASS_INFO
    // Script procedure names; empty means none.
    RP_FIELD(QString, OnBeforePrint, QString())
    RP_FIELD(QString, OnAfterPrint, QString())
    RP_FIELD(QString, OnAfterData, QString())
    RP_FIELD(QString, OnPreviewClick, QString())
    RP_FIELD(QString, OnPreviewDblClick, QString())
    RP_FIELD(TrpPrintOnTypes, PrintOn, TrpPrintOnTypes())
    // How much the object grew in the current band.
    RP_FIELD(Extended, ShiftAmount, 0)
public:
    // Objects that move down when this one grows (built by the band engine).
    std::vector<TrpReportComponent*> ShiftChildren;

    // Drawing belongs to the drawing unit; these are its entry points.
    virtual void Draw(QPainter* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY)
        = 0;
    // Saves Left, Top, Width and Height in OriginalRect.
    virtual void BeforePrint();
    virtual void GetData() { }
    // Restores the bounds saved by BeforePrint.
    virtual void AfterPrint();
    virtual QString GetComponentText() const { return QString(); }
    virtual TrpRect GetRealBounds() const;
};
