// Pages: report pages with paper, margins and columns, and the data holder page.
#pragma once

#include "rpBand.h"
#include "rpDataSetLink.h"
#include "rpFrame.h"
#include "rpTypes.h"

#include <QByteArray>
#include <QStringList>
#include <vector>

class QPainter;

class TrpDataSet;
class TrpSubreport;

class TrpPage : public TrpComponent {
    RP_CLASS_INFO
};

class TrpReportPage : public TrpPage {
    RP_CLASS_INFO
    RP_FIELD(Extended, LeftMargin, 0)
    RP_FIELD(Extended, RightMargin, 0)
    RP_FIELD(Extended, TopMargin, 0)
    RP_FIELD(Extended, BottomMargin, 0)
    RP_FIELD(Extended, ColumnWidth, 0)
    RP_FIELD(QStringList, ColumnPositions, QStringList())
    RP_FIELD(int, Bin, 7)
    RP_FIELD(int, BinOtherPages, 7)
    RP_FIELD(TrpDuplexMode, Duplex, dmNone)
    RP_FIELD(bool, TitleBeforeHeader, true)
    RP_FIELD(bool, PrintIfEmpty, true)
    RP_FIELD(bool, PrintOnPreviousPage, false)
    RP_FIELD(bool, ShowTitleOnPreviousPage, true)
    RP_FIELD(bool, ResetPageNumbers, false)
    RP_FIELD(int, PageCount, 1)
    RP_FIELD(bool, EndlessWidth, false)
    RP_FIELD(bool, EndlessHeight, false)
    RP_FIELD(bool, MirrorMargins, false)
    RP_FIELD(bool, LargeDesignHeight, false)
    RP_FIELD(QString, OutlineText, QString())
    RP_FIELD(bool, BackPictureVisible, true)
    RP_FIELD(bool, BackPicturePrintable, true)
    RP_FIELD(bool, BackPictureStretched, true)
    RP_FIELD(QStringList, HGuides, QStringList())
    RP_FIELD(QStringList, VGuides, QStringList())
    RP_FIELD(QString, OnBeforePrint, QString())
    RP_FIELD(QString, OnAfterPrint, QString())
    RP_FIELD(QString, OnManualBuild, QString())
public:
    // The page background: the back picture at the printable area's corner
    // (rpViewDraw.cpp).
    void Draw(QPainter* Canvas, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY);
    // Image file bytes of the back picture; empty for none.
    const QByteArray& BackPicture() const { return FBackPicture; }
    void SetBackPicture(const QByteArray& Value) { FBackPicture = Value; }
    TrpReportPage();

    // Paper code: 9 is A4, 256 a custom size.
    int PaperSize() const { return FPaperSize; }
    virtual void SetPaperSize(int Value);
    Extended PaperWidth() const { return FPaperWidth; } // mm
    Extended PaperHeight() const { return FPaperHeight; } // mm
    virtual void SetPaperWidth(Extended Value);
    virtual void SetPaperHeight(Extended Value);
    void SetSizeAndDimensions(int APaperSize, Extended APaperWidth, Extended APaperHeight);
    // Initial values, which are also the declared defaults of the stored form.
    static TrpPrinterOrientation OrientationDefault() { return poPortrait; }
    static int ColumnsDefault() { return 0; }
    TrpPrinterOrientation Orientation() const { return FOrientation; }
    // Swaps the paper and turns the margins with it.
    void SetOrientation(TrpPrinterOrientation Value);
    int Columns() const { return FColumns; }
    void SetColumns(int Value);
    // Margins 10 mm, A4 portrait.
    virtual void SetDefaults();

    // Printable area (paper minus margins) in report pixels, unrounded.
    Extended PrintableWidth() const;
    Extended PrintableHeight() const;
    // The first child band that is a T (subclasses count), or nullptr.
    template <class T> T* FindBand() const
    {
        for (const auto& o : Objects())
            if (auto* b = dynamic_cast<T*>(o.get()))
                return b;
        return nullptr;
    }
    TrpBand* FindBand(const TrpClassInfo& Class) const;

    TrpDataSet* DataSet() const { return FDataSet.DataSet(); }
    void SetDataSet(TrpDataSet* Value) { FDataSet.SetDataSet(Value); }
    QString DataSetName() const { return FDataSet.Name(); }
    void SetDataSetName(const QString& Value);

    TrpFrame* Frame() { return &FFrame; }
    void AlignChildren() override;

    // Working fields.
    std::vector<TrpBand*> SubBands;
    std::vector<TrpBand*> VSubBands;
    TrpSubreport* SubReport = nullptr;

private:
    QByteArray FBackPicture;
    void UpdateDimensions();

    int FPaperSize = 9;
    Extended FPaperWidth = 210;
    Extended FPaperHeight = 297;
    TrpPrinterOrientation FOrientation = OrientationDefault();
    int FColumns = ColumnsDefault();
    TrpDataSetLink FDataSet;
    TrpFrame FFrame;
};

// Holder page for data components: 1000 x 1000, named "Data", no bands.
class TrpDataPage : public TrpPage {
    RP_CLASS_INFO
public:
    TrpDataPage();
};

// Millimetre size of a paper code, or false for an unknown code.
bool rpPaperDimensions(int PaperSize, Extended& Width, Extended& Height);
