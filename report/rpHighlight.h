// The conditional highlight record of a memo.
#pragma once

#include "rpFields.h"
#include "rpFill.h"
#include "rpFont.h"
#include "rpFrame.h"
#include "rpTypes.h"

#include <QString>
#include <memory>

class TrpHighlight : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(QString, Condition, QString())
    RP_FIELD(bool, Active, false)
    RP_FIELD(bool, ApplyFont, true)
    RP_FIELD(bool, ApplyFill, true)
    RP_FIELD(bool, ApplyFrame, false)
    RP_FIELD(bool, Visible, true)
public:
    TrpHighlight();
    TrpFont* Font() { return &FFont; }
    TrpFrame* Frame() { return &FFrame; }
    TrpCustomFill* Fill() { return FFill.get(); }
    TrpFillType FillType() const { return FFill->FillType(); }
    void SetFillType(TrpFillType Value);

private:
    TrpFont FFont;
    TrpFrame FFrame;
    std::unique_ptr<TrpCustomFill> FFill;
};
