// Bands: the horizontal strips of a page, by kind, and their engine working fields.
#pragma once

#include "Variant.h"
#include "rpFill.h"
#include "rpReportComponent.h"

#include <QString>
#include <memory>
#include <vector>

class TrpChild;
class TrpDataSet;
class TrpMemoView;

class TrpBand : public TrpReportComponent {
    RP_CLASS_INFO
    RP_FIELD(bool, KeepChild, false)
    RP_FIELD(bool, PrintChildIfInvisible, false)
    RP_FIELD(bool, Stretched, false)
    RP_FIELD(bool, AllowSplit, false)
    RP_FIELD(bool, StartNewPage, false)
    RP_FIELD(QString, OutlineText, QString())
    RP_FIELD(bool, Vertical, false)
    RP_FIELD(QString, OnAfterCalcHeight, QString())
public:
    TrpBand();
    ~TrpBand() override;

    TrpChild* Child() const { return FChild; }
    // Refuses a chain that leads back to this band.
    void SetChild(TrpChild* Value);
    TrpCustomFill* Fill() const { return FFill.get(); }
    TrpFillType FillType() const { return FFill->FillType(); }
    void SetFillType(TrpFillType Value);
    void SetFill(const TrpCustomFill& Value) { FFill = Value.Clone(); }
    TrpFillGap* FillGap() { return &FFillGap; }

    // Ordering number of the band kind; 0 for plain and null bands.
    virtual int BandNumber() const { return 0; }
    virtual bool IsNullBand() const { return false; }
    // Gives the band (once) a memo that paints its fill, drawn first.
    void CreateFillMemo();
    TrpMemoView* FillMemo() const { return FFillMemo; }

    void Draw(QPainter*, Extended, Extended, Extended, Extended) override { }

    // Engine working fields.
    std::vector<TrpBand*> SubBands;
    TrpBand* Header = nullptr;
    TrpBand* Footer = nullptr;
    TrpBand* Group = nullptr;
    int LineN = 0;
    int LineThrough = 0;
    int OriginalObjectsCount = -1;
    bool HasVBands = false;
    Extended StretchedHeight = 0;
    bool Overflow = false;

private:
    TrpChild* FChild = nullptr;
    std::unique_ptr<TrpCustomFill> FFill;
    TrpFillGap FFillGap;
    TrpMemoView* FFillMemo = nullptr;
};

class TrpDataBand : public TrpBand {
    RP_CLASS_INFO
    // No stored default: always written.
    RP_FIELD(int, RowCount, 0)
    RP_FIELD(QString, Filter, QString())
    RP_FIELD(bool, KeepTogether, false)
    RP_FIELD(bool, KeepHeader, false)
    RP_FIELD(bool, KeepFooter, false)
    RP_FIELD(bool, FooterAfterEach, false)
    RP_FIELD(bool, PrintIfDetailEmpty, false)
    RP_FIELD(int, Columns, 0)
    RP_FIELD(Extended, ColumnWidth, 0)
    RP_FIELD(Extended, ColumnGap, 0)
    RP_FIELD(QString, OnMasterDetail, QString())
public:
    TrpDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);

    int CurColumn() const { return FCurColumn; }
    // Moves the band to that column; past the last column means column 1.
    void SetCurColumn(int Value);

    Extended MaxY = 0;
    // Internal virtual data set used when RowCount is set; the data-set
    // bridge owns its kind.
    TrpDataSet* VirtualDataSet = nullptr;

private:
    TrpDataSet* FDataSet = nullptr;
    QString FDataSetName;
    int FCurColumn = 1;
};

#define RP_BAND(Name, Base, Number)                                                                          \
    class Name : public Base {                                                                               \
        RP_CLASS_INFO                                                                                        \
    public:                                                                                                  \
        int BandNumber() const override { return Number; }                                                   \
    };

RP_BAND(TrpMasterData, TrpDataBand, 6)
RP_BAND(TrpDetailData, TrpDataBand, 7)
RP_BAND(TrpSubdetailData, TrpDataBand, 8)
RP_BAND(TrpDataBand4, TrpDataBand, 9)
RP_BAND(TrpDataBand5, TrpDataBand, 10)
RP_BAND(TrpDataBand6, TrpDataBand, 11)
RP_BAND(TrpFooter, TrpBand, 5)
RP_BAND(TrpColumnHeader, TrpBand, 15)
RP_BAND(TrpColumnFooter, TrpBand, 16)
RP_BAND(TrpReportTitle, TrpBand, 0)
RP_BAND(TrpReportSummary, TrpBand, 1)
RP_BAND(TrpChild, TrpBand, 14)
#undef RP_BAND

class TrpHeader : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(bool, ReprintOnNewPage, false)
public:
    int BandNumber() const override { return 4; }
};

class TrpPageHeader : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(bool, PrintOnFirstPage, true)
public:
    int BandNumber() const override { return 2; }
};

class TrpPageFooter : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(bool, PrintOnFirstPage, true)
    RP_FIELD(bool, PrintOnLastPage, true)
public:
    int BandNumber() const override { return 3; }
};

class TrpGroupHeader : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(QString, Condition, QString())
    RP_FIELD(bool, KeepTogether, false)
    RP_FIELD(bool, ReprintOnNewPage, false)
    RP_FIELD(bool, ResetPageNumbers, false)
    RP_FIELD(bool, DrillDown, false)
    RP_FIELD(bool, ExpandDrillDown, false)
    RP_FIELD(bool, ShowFooterIfDrillDown, false)
    RP_FIELD(QString, DrillName, QString())
public:
    int BandNumber() const override { return 12; }
    QString Diff(const TrpComponent* AComponent) override;
    // The condition's value at the last group break.
    Variant LastValue;
};

class TrpGroupFooter : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(bool, HideIfSingleDataRecord, false)
public:
    int BandNumber() const override { return 13; }
};

class TrpOverlay : public TrpBand {
    RP_CLASS_INFO
    RP_FIELD(bool, PrintOnTop, false)
public:
    int BandNumber() const override { return 17; }
};

class TrpNullBand : public TrpBand {
    RP_CLASS_INFO
public:
    bool IsNullBand() const override { return true; }
};
