// Memo views: text with bracketed expressions, formats and highlights.
#pragma once

#include "Variant.h"
#include "rpFormat.h"
#include "rpHighlight.h"
#include "rpView.h"

#include <QRect>
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TrpStyleItem;
class TrpXMLItem;

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
    static int RotationDefault() { return 0; } // also the stored form's default
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

    void Assign(const TrpComponent& Source, bool CopyData = true) override;
    // Formats and highlights beyond the first are kept as child items.
    bool WriteNestedProperties(TrpXMLItem* Item, const TrpPersistentComponent* Ancestor) const override;
    bool ReadNestedProperty(const TrpXMLItem* Item) override;

    // --- measuring and splitting (memo drawing), report pixels; each
    // takes the shared text layout's lock for its whole use.
    // Height the text needs with the insets, a whole number.
    Extended CalcHeight() override;
    // Width of the widest line with the insets, a whole number.
    virtual Extended CalcWidth();
    // Fill, frame, underlines and the laid-out text (rpViewDraw.cpp).
    void Draw(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;
    // Also sets TextRect.
    void PrepareDeviceRect(
        QPainter* ACanvas, Extended AScaleX, Extended AScaleY, Extended AOffsetX, Extended AOffsetY) override;
    // Starts cutting: PartMemo takes the whole text.
    void InitPart() override;
    // Keeps in Memo the lines that fit the current height, leaves the rest
    // in PartMemo; returns the height left unused (the whole height when no
    // line fits).
    Extended DrawPart() override;
    // The text as wrapped into lines, or (not WrapWords) without tags.
    QStringList WrapText(bool WrapWords);
    // Writing the difference moves LastParaBreak into FirstParaBreak, so
    // that the next part of a split memo starts inside the same paragraph.
    QString Diff(const TrpComponent* AComponent) override;

    // --- text of a run (text expansion)
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
    // How many characters of AText fit in the memo's text rectangle, laid
    // out as it would be drawn; the rest flows to FlowTo.
    virtual qsizetype FitLength(const QString& AText);

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
    int FRotation = RotationDefault();
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
