// Named styles a memo can apply: font, fill and frame.
#pragma once

#include "rpFields.h"
#include "rpFill.h"
#include "rpFont.h"
#include "rpFrame.h"
#include "rpTypes.h"

#include <QString>
#include <memory>
#include <vector>

class TrpStyleItem : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(QString, Name, QString())
    RP_FIELD(bool, ApplyFont, true)
    RP_FIELD(bool, ApplyFill, true)
    RP_FIELD(bool, ApplyFrame, true)
public:
    TrpStyleItem();
    TrpFont* Font() { return &FFont; }
    TrpFrame* Frame() { return &FFrame; }
    TrpCustomFill* Fill() const { return FFill.get(); }
    TrpFillType FillType() const { return FFill->FillType(); }
    void SetFillType(TrpFillType Value);

private:
    TrpFont FFont;
    TrpFrame FFrame;
    std::unique_ptr<TrpCustomFill> FFill;
};

class TrpStyles {
public:
    TrpStyleItem* Add();
    TrpStyleItem* Find(const QString& Name) const;
    int Count() const { return int(FItems.size()); }
    TrpStyleItem* Items(int Index) const { return FItems[size_t(Index)].get(); }
    void Clear() { FItems.clear(); }

private:
    std::vector<std::unique_ptr<TrpStyleItem>> FItems;
};
