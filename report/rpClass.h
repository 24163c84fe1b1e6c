// Report object model: the component tree (report -> pages -> bands ->
// views), the nested records (font, frame, fills, formats, highlights),
// the band kinds and the report's option records. Units: positions and
// sizes in report pixels (Extended), paper and margins in millimetres.
//
// Ownership: a parent owns its children (Objects) and destroys them; a
// child keeps a plain pointer to its parent. A tree's top object (normally
// the report) is owned by whoever created it.
#pragma once

#include "Variant.h"
#include "rpPictureCache.h"
#include "rpPreviewOptions.h"
#include "rpPropInfo.h"
#include "rpUnits.h"
#include "rpXML.h"

#include <QFlags>
#include <QHash>
#include <QRect>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <vector>

class QIODevice;
class QPainter;
class TrpBand;
class TrpChild;
class TrpCustomMemoView;
class TrpDataSet;
class TrpCustomEngine;
class TrpCustomPreviewPages;
class TrpExpressionCache;
class TrpFrame;
class TrpPage;
class TrpProgress;
class TrpReport;
class TrpReportPage;
class TrpReportScript;
class TrpStyleItem;
class TscScript;
class TrpCustomPreview;
class TrpCustomPreviewForm;

// What the report reports progress for (preparation, export, printing).
enum TrpProgressType { ptRunning, ptExporting, ptPrinting };
// Frees a progress window; defined with the window so that the report need
// not see the widget classes.
struct TrpProgressDeleter {
    void operator()(TrpProgress* Window) const;
};

// Failures of the object model (duplicate name, circular child chain...).
class TrpReportError : public EPelmoraError {
public:
    using EPelmoraError::EPelmoraError;
};

// Every class with a property table declares these two.
#define RP_CLASS_INFO                                                                                        \
public:                                                                                                      \
    static const TrpClassInfo& StaticClassInfo();                                                            \
    const TrpClassInfo& ClassInfo() const override                                                           \
    {                                                                                                        \
        return StaticClassInfo();                                                                            \
    }

// A plain field with reader and writer.
#define RP_FIELD(Type, Name, Default)                                                                        \
public:                                                                                                      \
    Type Name() const                                                                                        \
    {                                                                                                        \
        return F##Name;                                                                                      \
    }                                                                                                        \
    void Set##Name(Type Value)                                                                               \
    {                                                                                                        \
        F##Name = Value;                                                                                     \
    }                                                                                                        \
                                                                                                             \
private:                                                                                                     \
    Type F##Name = Default;

// ------------------------------------------------------------ enumerations

enum TrpRestriction {
    rfDontModify = 0x1,
    rfDontSize = 0x2,
    rfDontMove = 0x4,
    rfDontDelete = 0x8,
    rfDontEdit = 0x10
};
Q_DECLARE_FLAGS(TrpRestrictions, TrpRestriction)
enum TrpPrintOnType {
    ptFirstPage = 0x1,
    ptLastPage = 0x2,
    ptOddPages = 0x4,
    ptEvenPages = 0x8,
    ptRepeatedBand = 0x10
};
Q_DECLARE_FLAGS(TrpPrintOnTypes, TrpPrintOnType)
enum TrpVisibilityType { vsPreview = 0x1, vsExport = 0x2, vsPrint = 0x4 };
Q_DECLARE_FLAGS(TrpVisibilityTypes, TrpVisibilityType)
enum TrpFrameType { ftLeft = 0x1, ftRight = 0x2, ftTop = 0x4, ftBottom = 0x8 };
Q_DECLARE_FLAGS(TrpFrameTypes, TrpFrameType)
enum TrpFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TrpFontStyles, TrpFontStyle)
// How the prepared pages treat a component: csPreviewVisible objects are
// copied to the source pages; csDefaultDiff objects are stored with AllDiff
// instead of Diff.
enum TrpComponentStyleFlag {
    csContainer = 0x1,
    csPreviewVisible = 0x2,
    csDefaultDiff = 0x4,
    csHandlesNestedProperties = 0x8
};
Q_DECLARE_FLAGS(TrpComponentStyle, TrpComponentStyleFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpRestrictions)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpPrintOnTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpVisibilityTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpFrameTypes)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpFontStyles)
Q_DECLARE_OPERATORS_FOR_FLAGS(TrpComponentStyle)

enum TrpAlign { baNone, baLeft, baRight, baCenter, baWidth, baBottom, baClient };
enum TrpShiftMode { smDontShift, smAlways, smWhenOverlapped };
enum TrpStretchMode { smDontStretch, smActualHeight, smMaxHeight };
enum TrpFillType { ftBrush, ftGradient, ftGlass };
enum TrpBrushStyle {
    bsSolid,
    bsClear,
    bsHorizontal,
    bsVertical,
    bsFDiagonal,
    bsBDiagonal,
    bsCross,
    bsDiagCross
};
enum TrpGradientStyle { gsHorizontal, gsVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter };
enum TrpFillOrientation { foVertical, foHorizontal, foVerticalMirror, foHorizontalMirror };
enum TrpFrameStyle { fsSolid, fsDash, fsDot, fsDashDot, fsDashDotDot, fsDouble, fsAltDot, fsSquare };
enum TrpHAlign { haLeft, haRight, haCenter, haBlock };
enum TrpVAlign { vaTop, vaBottom, vaCenter };
enum TrpFormatKind { fkText, fkNumeric, fkDateTime, fkBoolean };
enum TrpHyperlinkKind { hkURL, hkAnchor, hkPageNumber, hkDetailReport, hkDetailPage, hkCustom };
enum TrpShapeKind {
    skRectangle,
    skRoundRectangle,
    skEllipse,
    skTriangle,
    skDiamond,
    skDiagonal1,
    skDiagonal2
};
enum TrpPrinterOrientation { poPortrait, poLandscape };
enum TrpDuplexMode { dmNone, dmVertical, dmHorizontal, dmSimplex };
enum TrpSilentMode { simMessageBoxes, simSilent, simReThrow };

// ---------------------------------------------------------- nested records

class TrpFont : public TrpPersistent {
    RP_CLASS_INFO
public:
    // Default font of report objects: Arial 10, black, default character set.
    TrpFont() = default;
    TrpFont(const TrpFont& Other)
        : TrpPersistent()
    {
        Assign(Other);
    }
    TrpFont& operator=(const TrpFont& Other);
    void Assign(const TrpFont& Other);
    bool operator==(const TrpFont& Other) const;

    QString Name() const { return FName; }
    void SetName(const QString& Value);
    int Size() const { return FSize; } // points
    void SetSize(int Value);
    TrpColor Color() const { return FColor; }
    void SetColor(TrpColor Value);
    TrpFontStyles Style() const { return FStyle; }
    void SetStyle(TrpFontStyles Value);
    int Charset() const { return FCharset; }
    void SetCharset(int Value);
    int PixelsPerInch() const { return FPixelsPerInch; }
    // Called after every change; empty when nobody listens.
    std::function<void()> OnChange;

private:
    void Changed();
    QString FName = QStringLiteral("Arial");
    int FSize = 10;
    TrpColor FColor = clBlack;
    TrpFontStyles FStyle;
    int FCharset = 1; // the default character set
    int FPixelsPerInch = 96;
};

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

private:
    TrpFrameTypes FTyp;
    TrpColor FColor = clBlack;
    TrpFrameStyle FStyle = fsSolid;
    Extended FWidth = 1;
    bool FDropShadow = false;
    Extended FShadowWidth = 4;
    TrpColor FShadowColor = clBlack;
    TrpFrameLine FLeftLine, FTopLine, FRightLine, FBottomLine;
};

class TrpCustomFill : public TrpPersistent {
public:
    virtual std::unique_ptr<TrpCustomFill> Clone() const = 0;
    virtual TrpFillType FillType() const = 0;
    // False for a fill that leaves the background as it is.
    virtual bool Paints() const { return true; }
    virtual bool Equals(const TrpCustomFill& Other) const = 0;
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
};

std::unique_ptr<TrpCustomFill> rpCreateFill(TrpFillType Kind);

// Gaps of a band's fill memo (report pixels).
class TrpFillGap : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(Extended, Left, 0)
    RP_FIELD(Extended, Top, 0)
    RP_FIELD(Extended, Right, 0)
    RP_FIELD(Extended, Bottom, 0)
};

class TrpFormat : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(TrpFormatKind, Kind, fkText)
    RP_FIELD(QString, FormatStr, QString())
    // Used when one character long.
    RP_FIELD(QString, DecimalSeparator, QString())
    RP_FIELD(QString, ThousandSeparator, QString())
};

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

class TrpHyperlink : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(TrpHyperlinkKind, Kind, hkURL)
    RP_FIELD(QString, Value, QString())
    RP_FIELD(QString, DetailReport, QString())
    RP_FIELD(QString, DetailPage, QString())
    RP_FIELD(QString, ReportVariable, QString())
    // Evaluated while a report runs; its value becomes Value.
    RP_FIELD(QString, Expression, QString())
    RP_FIELD(QString, TabCaption, QString())
    RP_FIELD(QString, ValuesSeparator, QString())
public:
    // Attributes Add.Kind ... Add.ValuesSeparator that differ from AHyperlink.
    QString Diff(const TrpHyperlink* AHyperlink, const QString& Add) const;
};

// ------------------------------------------------------------- components

// A rectangle of report pixels.
struct TrpRect {
    Extended Left = 0, Top = 0, Right = 0, Bottom = 0;
};

class TrpComponent : public TrpPersistentComponent {
    RP_CLASS_INFO
public:
    TrpComponent();
    ~TrpComponent() override;
    TrpComponent(const TrpComponent&) = delete;
    TrpComponent& operator=(const TrpComponent&) = delete;

    QString ClassName() const { return ClassInfo().ClassName(); }

    // --- tree
    TrpComponent* Parent() const { return FParent; }
    // Moves the object from its parent's Objects to the end of Value's.
    // Only a child changes parents this way: a top object is given to a
    // parent with InsertChild, and a child leaves its parent with Detach.
    virtual void SetParent(TrpComponent* Value);
    const std::vector<std::unique_ptr<TrpComponent>>& Objects() const { return FObjects; }
    int Count() const { return int(FObjects.size()); }
    TrpComponent* Objects(int Index) const { return FObjects[size_t(Index)].get(); }
    // Takes Child as a child at Index (the end when -1); returns it.
    TrpComponent* InsertChild(std::unique_ptr<TrpComponent> Child, int Index = -1);
    template <class T> T* Create() { return static_cast<T*>(InsertChild(std::make_unique<T>())); }
    // Removes the object from its parent and hands it to the caller.
    std::unique_ptr<TrpComponent> Detach();
    // Destroys one child.
    void DeleteObject(TrpComponent* Child);
    // Moves a child to another position in Objects (z-order).
    void MoveObject(TrpComponent* Child, int Index);
    // All descendants, depth first, each before its children (scratch list,
    // refilled on each call).
    const std::vector<TrpComponent*>& AllObjects();
    // The first descendant with that name, compared without regard to case.
    TrpComponent* FindObject(const QString& AName) const;
    TrpPage* Page() const;
    TrpReport* Report() const;
    // The top object of the tree.
    TrpComponent* TopParent() const;

    // --- naming
    QString Name() const override { return FName; }
    void SetName(const QString& Value) override;
    // Class name without "Trp" and "View"; pages say "Page".
    QString BaseName() const;
    void SetBaseName(const QString& Value) { FBaseName = Value; }
    void CreateUniqueName();

    // --- geometry (report pixels; Left/Top relative to the parent)
    Extended Left() const { return FLeft; }
    Extended Top() const { return FTop; }
    Extended Width() const { return FWidth; }
    Extended Height() const { return FHeight; }
    virtual void SetLeft(Extended Value);
    virtual void SetTop(Extended Value);
    virtual void SetWidth(Extended Value);
    virtual void SetHeight(Extended Value);
    void SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight);
    Extended AbsLeft() const;
    Extended AbsTop() const;

    // --- font
    TrpFont* Font() { return &FFont; }
    const TrpFont* Font() const { return &FFont; }
    virtual void SetFont(const TrpFont& Value);
    bool ParentFont() const { return FParentFont; }
    virtual void SetParentFont(bool Value);

    bool Visible() const { return FVisible; }
    virtual void SetVisible(bool Value);

    // --- state flags
    bool IsDesigning() const { return FIsDesigning; }
    void SetIsDesigning(bool Value) { FIsDesigning = Value; }
    bool IsLoading() const { return FIsLoading; }
    void SetLoading(bool Value) override { FIsLoading = Value; }
    bool IsPrinting() const { return FIsPrinting; }
    void SetIsPrinting(bool Value) { FIsPrinting = Value; }
    bool IsWriting() const { return FIsWriting; }
    void SetIsWriting(bool Value) { FIsWriting = Value; }
    bool Ancestor() const { return FAncestor; }
    void SetAncestor(bool Value) { FAncestor = Value; }
    bool IsAncestor() const override { return FAncestor; }

    // --- links used while a report is prepared
    QString AliasName() const { return FAliasName; }
    void SetAliasName(const QString& Value) { FAliasName = Value; }
    TrpComponent* OriginalComponent() const { return FOriginalComponent; }
    void SetOriginalComponent(TrpComponent* Value) { FOriginalComponent = Value; }
    const TrpRect& OriginalRect() const { return FOriginalRect; }
    void SetOriginalRect(const TrpRect& Value) { FOriginalRect = Value; }
    TrpBand* OriginalBand() const { return FOriginalBand; }
    void SetOriginalBand(TrpBand* Value) { FOriginalBand = Value; }

    // --- virtual operations
    virtual void HandleFontChange();
    virtual QString GetDescription() const { return FName; }
    // Places the views of this object by their Align.
    virtual void AlignChildren();
    virtual void BeforeStartReport() { }
    // Destroys all children.
    virtual void Clear();
    virtual void OnNotify(TrpComponent* /*Sender*/) { }
    // The object and its children as an XML document, and back. Loading
    // clears the children first; what cannot be read (unknown classes, bad
    // values) goes to the report's error list. Malformed XML throws
    // TrpInvalidXMLException.
    virtual void SaveToStream(QIODevice& Stream, bool SaveChildren = true);
    virtual void LoadFromStream(QIODevice& Stream);

    // --- persistence plumbing
    int ChildCount() const override { return Count(); }
    TrpPersistentComponent* ChildAt(int Index) const override { return Objects(Index); }
    TrpPersistentComponent* AdoptChild(std::unique_ptr<TrpPersistentComponent> Child) override;
    TrpPersistentComponent* FindComponent(const QString& Name) const override;

    // --- stored form of prepared objects (rpClassDiff.cpp)
    TrpComponentStyle ComponentStyle() const { return FComponentStyle; }
    // The attributes in which this printed object differs from AComponent,
    // its template, as a text the XML reader applies on top of the
    // template's own text. May move a memo's paragraph-break flags and hand
    // a changed picture to the report's picture cache. Without a template
    // of the same class it is AllDiff(nullptr).
    virtual QString Diff(const TrpComponent* AComponent);
    // Every stored property, plus the base difference against AComponent
    // when one is given.
    QString AllDiff(const TrpComponent* AComponent);

protected:
    void SetComponentStyle(TrpComponentStyle Value) { FComponentStyle = Value; }
    // Position, size, visibility, font, ParentFont and Tag against AComponent.
    QString BaseDiff(const TrpComponent& AComponent) const;

private:
    friend class TrpReport;
    void ApplyParentFont();
    void IndexSubtree(TrpReport* Report);
    void UnindexSubtree(TrpReport* Report);
    void CollectAll(std::vector<TrpComponent*>& List) const;

    QString FName;
    QString FBaseName;
    TrpComponent* FParent = nullptr;
    std::vector<std::unique_ptr<TrpComponent>> FObjects;
    std::vector<TrpComponent*> FAllObjects;
    Extended FLeft = 0, FTop = 0, FWidth = 0, FHeight = 0;
    TrpFont FFont;
    bool FParentFont = true;
    bool FUpdatingFont = false;
    bool FVisible = true;
    bool FIsDesigning = false, FIsLoading = false, FIsPrinting = false, FIsWriting = false;
    bool FAncestor = false;
    QString FAliasName;
    TrpComponent* FOriginalComponent = nullptr;
    TrpRect FOriginalRect;
    TrpBand* FOriginalBand = nullptr;
    TrpComponentStyle FComponentStyle = csPreviewVisible;

    RP_FIELD(int, GroupIndex, 0)
    RP_FIELD(TrpRestrictions, Restrictions, TrpRestrictions())
    RP_FIELD(QString, Description, QString())
    RP_FIELD(int, Tag, 0)
};

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

    TrpDataSet* DataSet() const { return FDataSet; }
    // Also sets DataSetName to the set's user name.
    void SetDataSet(TrpDataSet* Value);
    QString DataSetName() const;
    // Looks the set up by name among the report's data sets.
    void SetDataSetName(const QString& Value);
    bool IsDataField() const { return FDataSet && !DataField().isEmpty(); }

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

    void Draw(QPainter*, Extended, Extended, Extended, Extended) override { }
    QString Diff(const TrpComponent* AComponent) override;

    // --- a run (rpMemoData.cpp): BeforePrint saves TagStr and the hyperlink
    // value and makes the object the script's Self; GetData expands them;
    // AfterPrint restores them.
    void BeforePrint() override;
    void GetData() override;
    void AfterPrint() override;
    QString TempTagStr;
    QString TempHyperlink;

    // Last drawing state (device integers), kept by the drawing code.
    int X = 0, Y = 0, X1 = 0, Y1 = 0, DX = 0, DY = 0;
    int FrameWidth = 0;
    Extended ScaleX = 1, ScaleY = 1, OffsetX = 0, OffsetY = 0;

private:
    TrpDataSet* FDataSet = nullptr;
    QString FDataSetName;
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
    virtual bool HasNextDataPart() const { return false; }
};

class TrpCustomMemoView : public TrpStretcheable {
    RP_CLASS_INFO
    RP_FIELD(bool, AllowExpressions, true)
    RP_FIELD(QString, ExpressionDelimiters, QStringLiteral("[,]"))
    RP_FIELD(bool, AllowHTMLTags, false)
    RP_FIELD(TrpHAlign, HAlign, haLeft)
    RP_FIELD(TrpVAlign, VAlign, vaTop)
    RP_FIELD(bool, WordWrap, true)
    RP_FIELD(bool, WordBreak, false)
    RP_FIELD(bool, Wysiwyg, true)
    RP_FIELD(bool, Clipped, true)
    RP_FIELD(bool, AutoWidth, false)
    RP_FIELD(Extended, GapX, 2)
    RP_FIELD(Extended, GapY, 1)
    RP_FIELD(Extended, LineSpacing, 2)
    RP_FIELD(Extended, ParagraphGap, 0)
    RP_FIELD(Extended, CharSpacing, 0)
    RP_FIELD(bool, RTLReading, false)
    RP_FIELD(bool, Underlines, false)
    RP_FIELD(bool, HideZeros, false)
    RP_FIELD(bool, SuppressRepeated, false)
    RP_FIELD(QString, Style, QString())
    RP_FIELD(bool, FirstParaBreak, false)
    RP_FIELD(bool, LastParaBreak, false)
    RP_FIELD(bool, UseDefaultCharset, false)
public:
    TrpCustomMemoView();
    ~TrpCustomMemoView() override;

    const QStringList& Memo() const { return FMemo; }
    void SetMemo(const QStringList& Value) { FMemo = Value; }
    // The lines as one text, lines separated by CR LF.
    QString Text() const { return FMemo.join(QStringLiteral("\r\n")); }
    void SetText(const QString& Value);
    int Rotation() const { return FRotation; }
    // Stored modulo 360.
    void SetRotation(int Value);
    TrpCustomMemoView* FlowTo() const { return FFlowTo; }
    void SetFlowTo(TrpCustomMemoView* Value) { FFlowTo = Value; }

    // One format per bracketed expression; DisplayFormat is the first,
    // created on demand.
    TrpFormat* DisplayFormat();
    const TrpFormat* DisplayFormatIfAny() const
    {
        return FFormats.empty() ? nullptr : FFormats.front().get();
    }
    std::vector<std::unique_ptr<TrpFormat>>& Formats() { return FFormats; }
    TrpHighlight* Highlight();
    const TrpHighlight* HighlightIfAny() const
    {
        return FHighlights.empty() ? nullptr : FHighlights.front().get();
    }
    std::vector<std::unique_ptr<TrpHighlight>>& Highlights() { return FHighlights; }

    virtual Extended CalcWidth() { return Width(); }
    // Writing the difference moves LastParaBreak into FirstParaBreak, so
    // that the next part of a split memo starts inside the same paragraph.
    QString Diff(const TrpComponent* AComponent) override;

    // --- text of a run (rpMemoData.cpp)
    void BeforePrint() override;
    // The printed text: the data field's, or the template with every
    // bracketed expression replaced by its formatted value; then the
    // highlight, SuppressRepeated and FlowTo.
    void GetData() override;
    // Puts back the template text, the look a highlight changed, TagStr and
    // the hyperlink value.
    void AfterPrint() override;
    // The text with the page macros replaced, for search and export.
    QString GetComponentText() const override;
    // Value as text by AFormat (none: DisplayFormat); a format that fails
    // gives the default conversion.
    QString FormatData(const Variant& AValue, const TrpFormat* AFormat = nullptr);
    // The formatted value of one bracketed expression (its inside), with an
    // optional " #" format suffix that overrides Format.
    QString EvaluateEmbeddedExpression(const QString& Expression, const TrpFormat& Format);
    // At drawing: "[TotalPages#]" and "[CopyName#]" get their values.
    void ExtractMacros();
    void ResetSuppress() { LastValue = Variant(QString()); }
    // Saves the font, fill, frame and visibility, then applies the highlight.
    void ApplyHighlight(TrpHighlight* AHighlight);
    // Puts back the look saved by ApplyHighlight.
    void UndoHighlight();
    void ApplyStyle(TrpStyleItem* AStyle);
    // How many characters of Text fit in the memo; the rest flows to FlowTo.
    // Measuring needs the drawing code, which overrides this; until then
    // everything fits.
    virtual qsizetype FitLength(const QString& AText) { return AText.size(); }

    // Working fields of a run.
    // The data field's value or the last expression's.
    Variant Value;
    // The previous text, for SuppressRepeated.
    Variant LastValue = Variant::Null();
    QStringList TempMemo;
    QStringList PartMemo;
    int TotalPages = 0;
    int CopyNo = 0;
    QRect TextRect;
    Extended PrintScale = 1;
    bool HighlightActivated = false;
    std::unique_ptr<TrpCustomFill> TempFill;
    TrpFont TempFont;
    TrpFrame TempFrame;
    bool TempVisible = true;
    bool TempParentFont = true;

private:
    QStringList FMemo;
    int FRotation = 0;
    TrpCustomMemoView* FFlowTo = nullptr;
    std::vector<std::unique_ptr<TrpFormat>> FFormats;
    std::vector<std::unique_ptr<TrpHighlight>> FHighlights;
};

class TrpMemoView : public TrpCustomMemoView {
    RP_CLASS_INFO
};

class TrpSysMemoView : public TrpCustomMemoView {
    RP_CLASS_INFO
};

class TrpCustomLineView : public TrpStretcheable {
    RP_CLASS_INFO
    RP_FIELD(bool, Diagonal, false)
public:
    TrpCustomLineView() { SetComponentStyle(ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)); }
};

class TrpLineView : public TrpCustomLineView {
    RP_CLASS_INFO
};

class TrpPictureView : public TrpView, public TrpCachedPicture {
    RP_CLASS_INFO
    RP_FIELD(bool, Stretched, true)
    RP_FIELD(bool, KeepAspectRatio, true)
    RP_FIELD(bool, Center, false)
    RP_FIELD(bool, AutoSize, false)
    RP_FIELD(bool, Transparent, false)
    RP_FIELD(TrpColor, TransparentColor, clWhite)
    // Spelled with "Hight" in stored files.
    RP_FIELD(bool, HightQuality, false)
    RP_FIELD(QString, FileLink, QString())
public:
    TrpPictureView() { SetComponentStyle(ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)); }

    // The image: its kind ("TPNGObject", "TJPEGImage", "TBitmap",
    // "TMetafile") and the image file bytes. Empty when there is none.
    const QString& PictureClass() const { return FPictureClass; }
    const QByteArray& PictureBytes() const { return FPictureBytes; }
    // Marks the picture changed.
    void SetPicture(const QString& Kind, const QByteArray& Bytes);
    void ClearPicture() override { SetPicture(QString(), QByteArray()); }
    // Set by every change of the picture; cleared once the picture has been
    // handed to the picture cache.
    bool PictureChanged() const { return FPictureChanged; }
    // Number of the picture in the prepared pages' picture cache (from 1;
    // 0 for none). Not stored.
    int ImageIndex() const override { return FImageIndex; }
    void SetImageIndex(int Value) override { FImageIndex = Value; }
    bool HasImage() const override { return !FPictureBytes.isEmpty(); }
    void SaveImageToStream(QIODevice& Stream) const override;
    // Skips a leading data-field header, recognises the image kind from the
    // bytes and takes the rest of the stream as the image (rpClassPicture.cpp).
    int LoadPictureFromStream(QIODevice& Stream, bool ResetStreamPos) override;
    QString Diff(const TrpComponent* AComponent) override;
    // Picture.Data: a length byte and the kind's name, then the file bytes.
    QByteArray PictureData() const;
    // False when the data is not of that form (the picture is cleared).
    bool SetPictureData(const QByteArray& Data);

    QByteArray PropData() const override;
    void SetPropData(const QByteArray& Data) override;

private:
    QString FPictureClass;
    QByteArray FPictureBytes;
    int FImageIndex = 0;
    bool FPictureChanged = false;
};

class TrpShapeView : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(TrpShapeKind, Shape, skRectangle)
    RP_FIELD(int, Curve, 0)
public:
    QString Diff(const TrpComponent* AComponent) override;
};

class TrpSubreport : public TrpView {
    RP_CLASS_INFO
    RP_FIELD(bool, PrintOnParent, false)
public:
    TrpReportPage* Page() const { return FPage; }
    void SetPage(TrpReportPage* Value) { FPage = Value; }

private:
    TrpReportPage* FPage = nullptr;
};

class TrpDialogComponent : public TrpReportComponent {
    RP_CLASS_INFO
public:
    void Draw(QPainter*, Extended, Extended, Extended, Extended) override { }
};

// ------------------------------------------------------------------ bands

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

// ------------------------------------------------------------------ pages

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
    TrpReportPage();

    // Paper code: 9 is A4, 256 a custom size.
    int PaperSize() const { return FPaperSize; }
    virtual void SetPaperSize(int Value);
    Extended PaperWidth() const { return FPaperWidth; } // mm
    Extended PaperHeight() const { return FPaperHeight; } // mm
    virtual void SetPaperWidth(Extended Value);
    virtual void SetPaperHeight(Extended Value);
    void SetSizeAndDimensions(int APaperSize, Extended APaperWidth, Extended APaperHeight);
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

    TrpDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);

    TrpFrame* Frame() { return &FFrame; }
    void AlignChildren() override;

    // Working fields.
    std::vector<TrpBand*> SubBands;
    std::vector<TrpBand*> VSubBands;
    TrpSubreport* SubReport = nullptr;

private:
    void UpdateDimensions();

    int FPaperSize = 9;
    Extended FPaperWidth = 210;
    Extended FPaperHeight = 297;
    TrpPrinterOrientation FOrientation = poPortrait;
    int FColumns = 0;
    TrpDataSet* FDataSet = nullptr;
    QString FDataSetName;
    TrpFrame FFrame;
};

// Holder page for data components: 1000 x 1000, named "Data", no bands.
class TrpDataPage : public TrpPage {
    RP_CLASS_INFO
public:
    TrpDataPage();
};

class TrpDialogPage : public TrpPage {
    RP_CLASS_INFO
};

// Millimetre size of a paper code, or false for an unknown code.
bool rpPaperDimensions(int PaperSize, Extended& Width, Extended& Height);

// ------------------------------------------------------------ shift areas

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

// ----------------------------------------------------------------- report

class TrpEngineOptions : public TrpPersistent {
    RP_CLASS_INFO
    // Prepare twice so that the total page count is known.
    RP_FIELD(bool, DoublePass, false)
    RP_FIELD(bool, ConvertNulls, true)
    RP_FIELD(bool, PrintIfEmpty, true)
    RP_FIELD(int, MaxMemSize, 10)
    RP_FIELD(TrpSilentMode, SilentMode, simMessageBoxes)
    RP_FIELD(TrpSilentMode, NewSilentMode, simMessageBoxes)
    RP_FIELD(bool, UseFileCache, false)
    RP_FIELD(QString, TempDir, QString())
    RP_FIELD(bool, DestroyForms, true)
    RP_FIELD(bool, UseGlobalDataSetList, true)
    RP_FIELD(bool, IgnoreDevByZero, false)
    // No message pumping and no progress window while preparing.
    RP_FIELD(bool, EnableThreadSafe, false)
};

class TrpReportOptions : public TrpPersistent {
    RP_CLASS_INFO
    RP_FIELD(QString, Author, QString())
    RP_FIELD(bool, Compressed, false)
    RP_FIELD(QString, ConnectionName, QString())
    RP_FIELD(double, CreateDate, 0) // day count from 30 December 1899
    RP_FIELD(double, LastChange, 0)
    RP_FIELD(QStringList, Description, QStringList())
    RP_FIELD(QString, InitString, QString())
    RP_FIELD(QString, Name, QString())
    RP_FIELD(QString, Password, QString())
    RP_FIELD(QString, VersionBuild, QString())
    RP_FIELD(QString, VersionMajor, QString())
    RP_FIELD(QString, VersionMinor, QString())
    RP_FIELD(QString, VersionRelease, QString())
public:
    // Creation and last change are "now".
    TrpReportOptions();
};

struct TrpDataSetItem {
    TrpDataSet* DataSet = nullptr;
    QString DataSetName;
};

// The data sets a report may use.
class TrpReportDataSets {
public:
    void Add(TrpDataSet* DataSet);
    // An entry by name only; its set is looked up when the report runs.
    void Add(const QString& DataSetName);
    TrpDataSetItem* Find(const TrpDataSet* DataSet);
    TrpDataSetItem* Find(const QString& Name);
    void Delete(const QString& Name);
    int Count() const { return int(FItems.size()); }
    TrpDataSetItem& Items(int Index) { return FItems[size_t(Index)]; }
    const TrpDataSetItem& Items(int Index) const { return FItems[size_t(Index)]; }
    void Clear() { FItems.clear(); }

private:
    std::vector<TrpDataSetItem> FItems;
};

struct TrpVariable {
    QString Name;
    QString Value; // expression text
    // A value other than text set while the report runs, kept with its kind
    // (a number stays a number); Empty when the entry holds only its text.
    Variant RunValue;
};

// Ordered (Name, Value) pairs, names compared without regard to case. A
// name that begins with a blank is a category heading; the entries after
// it, up to the next heading, belong to it.
class TrpVariables {
public:
    int Count() const { return int(FItems.size()); }
    const TrpVariable& Items(int Index) const { return FItems[size_t(Index)]; }
    int IndexOf(const QString& Name) const;
    // Adds at the end, or replaces the value of an existing entry.
    void Add(const QString& Name, const QString& Value);
    // The same for a value of any kind: text becomes the entry's expression
    // text; another value is kept as it is (Empty as Null), its text form
    // standing in as the expression text.
    void Set(const QString& Name, const Variant& Value);
    QString Value(const QString& Name) const;
    void Delete(int Index);
    void Clear() { FItems.clear(); }
    static bool IsCategory(const QString& Name) { return Name.startsWith(u' '); }
    // Names of the entries under a category heading (given without its blank).
    QStringList CategoryVariables(const QString& Category) const;

private:
    std::vector<TrpVariable> FItems;
};

// The process-wide global variables ("CopyName0" and the like), read by
// every report after its own variables.
TrpVariables& rpGlobalVariables();

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

class TrpReport : public TrpComponent {
    RP_CLASS_INFO
    RP_FIELD(QString, ScriptLanguage, QStringLiteral("PascalScript"))
    RP_FIELD(
        QStringList, ScriptText, (QStringList { QStringLiteral("begin"), QString(), QStringLiteral("end.") }))
    RP_FIELD(bool, ShowProgress, true)
    RP_FIELD(bool, OldStyleProgress, false)
    RP_FIELD(bool, StoreInDFM, true)
    RP_FIELD(bool, DotMatrixReport, false)
    // "\Software\..." names a key of the user's settings store, anything
    // else an INI file.
    RP_FIELD(QString, IniFile, QStringLiteral("\\Software\\Pelmora Reports"))
    RP_FIELD(QString, ParentReport, QString())
public:
    TrpReport();
    ~TrpReport() override;

    // Template format version; always written as this value.
    QString Version() const { return QStringLiteral("5.1.5"); }
    void SetVersion(const QString&) { }

    TrpEngineOptions* EngineOptions() { return &FEngineOptions; }
    TrpReportOptions* ReportOptions() { return &FReportOptions; }
    TrpPreviewOptions* PreviewOptions() { return &FPreviewOptions; }
    TrpReportDataSets& DataSets() { return FDataSets; }
    TrpVariables& Variables() { return FVariables; }
    TrpStyles& Styles() { return FStyles; }

    TrpDataSet* DataSet() const { return FDataSet; }
    void SetDataSet(TrpDataSet* Value);
    QString DataSetName() const;
    void SetDataSetName(const QString& Value);
    // A data set by user name: in the process-wide list when
    // EngineOptions.UseGlobalDataSetList, else among DataSets; nullptr when none.
    TrpDataSet* FindDataSet(const QString& Name) const;

    // Errors found during a run: sorted without regard to case, each once.
    const QStringList& Errors() const { return FErrors; }
    void AddError(const QString& Text);
    void ClearErrors() { FErrors.clear(); }
    // Set to cancel a run; tested by the engine, the band splitter and the
    // print job. Setting it also stops the report's script.
    bool Terminated() const { return FTerminated; }
    void SetTerminated(bool Value);
    // Name of the object the engine is working on, for error texts.
    QString CurObject;

    // The object with that name anywhere in the report (case-insensitive).
    TrpComponent* FindByName(const QString& Name) const;

    // --- expressions (rpReportCalc.cpp)
    // The report's script, with the standard library, and the cache of
    // compiled expressions that serves it; both made on first use.
    TscScript* Script();
    TrpExpressionCache* ExpressionCache();
    // The engine running the report, set by whoever runs it; none between runs.
    TrpCustomEngine* Engine() const { return FEngine; }
    void SetEngine(TrpCustomEngine* Value) { FEngine = Value; }
    // Empties the expression cache, binds the report's objects, variables and
    // functions into the script and compiles ScriptText. A compile error goes
    // to the error list and gives false.
    bool PrepareScript();
    // The value of an expression text. AScript is the scope that resolves
    // names (none: the report's script). A failure is added to the error list,
    // prefixed with CurObject, or with the "Error in Calc expression:" text
    // when MarkErrors, and raised as TrpReportError.
    Variant Calc(const QString& Expr, TscScript* AScript = nullptr, bool MarkErrors = false);
    // Splits `alias."field"` at the first dot followed by a double quote;
    // no such dot gives no data set and an empty field.
    void GetDatasetAndField(const QString& ComplexName, TrpDataSet*& DataSet, QString& Field) const;
    // The data set of DataSets with that user name, or nullptr.
    TrpDataSet* GetDataset(const QString& Name) const;
    // What the script holds for a report object, and back: the object behind
    // a script value, or nullptr when it is none or no longer in the report.
    Variant ScriptObjectOf(TrpComponent* Component);
    TrpComponent* ComponentOf(const Variant& Value) const;
    // Asked for names the report does not know itself; a value that is not
    // Empty answers.
    std::function<void(const QString& VarName, Variant& Value)> OnGetValue;
    std::function<void(TrpReport* Sender, const QString& VarName, Variant& Value)> OnNewGetValue;

    // The prepared pages of the report's last run; none until a store is
    // given. The report owns it.
    TrpCustomPreviewPages* PreviewPages() const { return FPreviewPages.get(); }
    void SetPreviewPages(std::unique_ptr<TrpCustomPreviewPages> Value);

    // --- progress (rpProgress.cpp); every handler does nothing when
    // EngineOptions.EnableThreadSafe is set.
    using TrpProgressEvent
        = std::function<void(TrpReport* Sender, TrpProgressType ProgressType, int Progress)>;
    TrpProgressEvent OnProgressStart;
    TrpProgressEvent OnProgress;
    TrpProgressEvent OnProgressStop;
    void InternalOnProgressStart(TrpProgressType ProgressType);
    // Progress: the 1-based page number.
    void InternalOnProgress(TrpProgressType ProgressType, int Progress);
    void InternalOnProgressStop(TrpProgressType ProgressType);
    void SetProgressMessage(const QString& Value, bool IsHint = false);
    // The open progress window; none between a stop and the next start.
    TrpProgress* ProgressWindow() const { return FProgress.get(); }
    // The preview control and window attached to the report (not owned).
    TrpCustomPreview* Preview() const { return FPreview; }
    void SetPreview(TrpCustomPreview* Value) { FPreview = Value; }
    TrpCustomPreviewForm* PreviewForm() const { return FPreviewForm; }
    void SetPreviewForm(TrpCustomPreviewForm* Value) { FPreviewForm = Value; }

    bool IsReport() const override { return true; }
    void Clear() override;
    bool WriteNestedProperties(TrpXMLItem* Item, const TrpPersistentComponent* Ancestor) const override;
    bool ReadNestedProperty(const TrpXMLItem* Item) override;

private:
    friend class TrpComponent;
    // The fast path of Calc: data fields, system variables, host answers,
    // report, global and script variables. False when the name is none.
    bool GetFieldOrSystemValue(const QString& Name, Variant& Value);
    bool GetSystemValue(const QString& Name, Variant& Value) const;
    TrpReportScript& ScriptState();
    // Takes back the handles of objects that left the report.
    void RecycleScriptObjects();
    void BindScriptNames();
    Variant ScriptGet(const QString& Name);
    Variant ScriptIIF(const QString& Expr, const QString& TrueValue, const QString& FalseValue);
    Variant ScriptAggregate(
        const QString& Function, const QString& Expr, const Variant& Band, const Variant& Flags);

    std::unique_ptr<TrpReportScript> FScriptState;
    std::unique_ptr<TrpCustomPreviewPages> FPreviewPages;
    TrpCustomEngine* FEngine = nullptr;
    // Names of the report's objects, upper-cased; kept up to date by
    // renaming, attaching and detaching (never by destructors).
    QHash<QString, TrpComponent*> FNameIndex;
    bool FDestroying = false;
    TrpEngineOptions FEngineOptions;
    TrpReportOptions FReportOptions;
    TrpPreviewOptions FPreviewOptions;
    TrpReportDataSets FDataSets;
    TrpVariables FVariables;
    TrpStyles FStyles;
    TrpDataSet* FDataSet = nullptr;
    QString FDataSetName;
    QStringList FErrors;
    bool FTerminated = false;
    std::unique_ptr<TrpProgress, TrpProgressDeleter> FProgress;
    TrpCustomPreview* FPreview = nullptr;
    TrpCustomPreviewForm* FPreviewForm = nullptr;
};
