// Published properties of the report object model, one table per class,
// and the registration of the classes that can be created by name.
//
// The order of a table is the order in which properties are written and
// so the order in which they are read back: a property whose setter
// resets others comes before them (FillType before Fill, PaperSize before
// the margins, Orientation before the paper dimensions).
//
// Floating properties are always written unless a StoredIf says otherwise;
// ordinal properties are skipped when equal to their declared default.
#include "rpClass.h"

#include "rpDBSet.h"
#include "rpXML.h"
#include "rpXMLSerializer.h"

namespace {

const TrpEnumInfo AlignInfo { "baNone", "baLeft", "baRight", "baCenter", "baWidth", "baBottom", "baClient" };
const TrpEnumInfo ShiftModeInfo { "smDontShift", "smAlways", "smWhenOverlapped" };
const TrpEnumInfo StretchModeInfo { "smDontStretch", "smActualHeight", "smMaxHeight" };
const TrpEnumInfo FillTypeInfo { "ftBrush", "ftGradient", "ftGlass" };
const TrpEnumInfo BrushStyleInfo { "bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal",
    "bsBDiagonal", "bsCross", "bsDiagCross" };
const TrpEnumInfo GradientStyleInfo { "gsHorizontal", "gsVertical", "gsElliptic", "gsRectangle",
    "gsVertCenter", "gsHorizCenter" };
const TrpEnumInfo FillOrientationInfo { "foVertical", "foHorizontal", "foVerticalMirror",
    "foHorizontalMirror" };
const TrpEnumInfo FrameStyleInfo { "fsSolid", "fsDash", "fsDot", "fsDashDot", "fsDashDotDot", "fsDouble",
    "fsAltDot", "fsSquare" };
const TrpEnumInfo HAlignInfo { "haLeft", "haRight", "haCenter", "haBlock" };
const TrpEnumInfo VAlignInfo { "vaTop", "vaBottom", "vaCenter" };
const TrpEnumInfo FormatKindInfo { "fkText", "fkNumeric", "fkDateTime", "fkBoolean" };
const TrpEnumInfo HyperlinkKindInfo { "hkURL", "hkAnchor", "hkPageNumber", "hkDetailReport", "hkDetailPage",
    "hkCustom" };
const TrpEnumInfo ShapeInfo { "skRectangle", "skRoundRectangle", "skEllipse", "skTriangle", "skDiamond",
    "skDiagonal1", "skDiagonal2" };
const TrpEnumInfo OrientationInfo { "poPortrait", "poLandscape" };
const TrpEnumInfo DuplexInfo { "dmNone", "dmVertical", "dmHorizontal", "dmSimplex" };
const TrpEnumInfo SilentModeInfo { "simMessageBoxes", "simSilent", "simReThrow" };

template <class C> TrpClassInfo::TFactory Factory()
{
    return [] { return std::unique_ptr<TrpPersistentComponent>(std::make_unique<C>()); };
}

// Defines C::StaticClassInfo(); the body fills the table through `t`.
#define RP_DEFINE_CLASS(C, ParentInfo, Make, ...)                                                            \
    const TrpClassInfo& C::StaticClassInfo()                                                                 \
    {                                                                                                        \
        static const TrpClassInfo info = [] {                                                                \
            TrpClassInfo i(QStringLiteral(#C), ParentInfo, Make);                                            \
            [[maybe_unused]] TrpPropTable<C> t(i);                                                           \
            __VA_ARGS__;                                                                                     \
            return i;                                                                                        \
        }();                                                                                                 \
        return info;                                                                                         \
    }

bool FrameWidthStored(Extended W)
{
    return W != 1;
}

} // namespace

// ----------------------------------------------------------- nested records

RP_DEFINE_CLASS(TrpFont, nullptr, nullptr,
    t.Int("Charset", &TrpFont::Charset, &TrpFont::SetCharset, TrpFont::CharsetDefault())
        .Int("Color", &TrpFont::Color, &TrpFont::SetColor, TrpFont::ColorDefault())
        .Str("Name", &TrpFont::Name, &TrpFont::SetName)
        .Int("Size", &TrpFont::Size, &TrpFont::SetSize, TrpFont::SizeDefault())
        .Set("Style", &TrpFont::Style, &TrpFont::SetStyle, rpPropDetail::ToOrd(TrpFont::StyleDefault())))

RP_DEFINE_CLASS(TrpFrameLine, nullptr, nullptr,
    t.Int("Color", &TrpFrameLine::Color, &TrpFrameLine::SetColor, TrpFrameLine::ColorDefault())
        .Enum("Style", FrameStyleInfo, &TrpFrameLine::Style, &TrpFrameLine::SetStyle,
            TrpFrameLine::StyleDefault())
        .Float("Width", &TrpFrameLine::Width, &TrpFrameLine::SetWidth)
        .StoredIf([](const TrpFrameLine& l) { return FrameWidthStored(l.Width()); }))

RP_DEFINE_CLASS(TrpFrame, nullptr, nullptr,
    t.Int("Color", &TrpFrame::Color, &TrpFrame::SetColor, TrpFrame::ColorDefault())
        .Bool("DropShadow", &TrpFrame::DropShadow, &TrpFrame::SetDropShadow, TrpFrame::DropShadowDefault())
        .Int("ShadowColor", &TrpFrame::ShadowColor, &TrpFrame::SetShadowColor, TrpFrame::ShadowColorDefault())
        .Float("ShadowWidth", &TrpFrame::ShadowWidth, &TrpFrame::SetShadowWidth)
        .StoredIf([](const TrpFrame& f) { return f.ShadowWidth() != 4; })
        .Enum("Style", FrameStyleInfo, &TrpFrame::Style, &TrpFrame::SetStyle, TrpFrame::StyleDefault())
        .Set("Typ", &TrpFrame::Typ, &TrpFrame::SetTyp, rpPropDetail::ToOrd(TrpFrame::TypDefault()))
        .Float("Width", &TrpFrame::Width, &TrpFrame::SetWidth)
        .StoredIf([](const TrpFrame& f) { return FrameWidthStored(f.Width()); })
        .Object("LeftLine", [](TrpFrame& f) { return f.LeftLine(); })
        .Object("TopLine", [](TrpFrame& f) { return f.TopLine(); })
        .Object("RightLine", [](TrpFrame& f) { return f.RightLine(); })
        .Object("BottomLine", [](TrpFrame& f) { return f.BottomLine(); }))

RP_DEFINE_CLASS(TrpBrushFill, nullptr, nullptr,
    t.Int(
         "BackColor", &TrpBrushFill::BackColor, &TrpBrushFill::SetBackColor, TrpBrushFill::BackColorDefault())
        .Int("ForeColor", &TrpBrushFill::ForeColor, &TrpBrushFill::SetForeColor,
            TrpBrushFill::ForeColorDefault())
        .Enum("Style", BrushStyleInfo, &TrpBrushFill::Style, &TrpBrushFill::SetStyle,
            TrpBrushFill::StyleDefault()))

RP_DEFINE_CLASS(TrpGradientFill, nullptr, nullptr,
    t.Int("StartColor", &TrpGradientFill::StartColor, &TrpGradientFill::SetStartColor,
         TrpGradientFill::StartColorDefault())
        .Int("EndColor", &TrpGradientFill::EndColor, &TrpGradientFill::SetEndColor,
            TrpGradientFill::EndColorDefault())
        .Enum("GradientStyle", GradientStyleInfo, &TrpGradientFill::GradientStyle,
            &TrpGradientFill::SetGradientStyle, TrpGradientFill::GradientStyleDefault()))

RP_DEFINE_CLASS(TrpGlassFill, nullptr, nullptr,
    t.Int("Color", &TrpGlassFill::Color, &TrpGlassFill::SetColor, TrpGlassFill::ColorDefault())
        .Float("Blend", &TrpGlassFill::Blend, &TrpGlassFill::SetBlend)
        .Bool("Hatch", &TrpGlassFill::Hatch, &TrpGlassFill::SetHatch, TrpGlassFill::HatchDefault())
        .Enum("Orientation", FillOrientationInfo, &TrpGlassFill::Orientation, &TrpGlassFill::SetOrientation,
            TrpGlassFill::OrientationDefault()))

RP_DEFINE_CLASS(TrpFillGap, nullptr, nullptr,
    t.Float("Left", &TrpFillGap::Left, &TrpFillGap::SetLeft)
        .StoredIf([](const TrpFillGap& g) { return g.Left() != 0; })
        .Float("Top", &TrpFillGap::Top, &TrpFillGap::SetTop)
        .StoredIf([](const TrpFillGap& g) { return g.Top() != 0; })
        .Float("Right", &TrpFillGap::Right, &TrpFillGap::SetRight)
        .StoredIf([](const TrpFillGap& g) { return g.Right() != 0; })
        .Float("Bottom", &TrpFillGap::Bottom, &TrpFillGap::SetBottom)
        .StoredIf([](const TrpFillGap& g) { return g.Bottom() != 0; }))

RP_DEFINE_CLASS(TrpFormat, nullptr, nullptr,
    t.Str("DecimalSeparator", &TrpFormat::DecimalSeparator, &TrpFormat::SetDecimalSeparator)
        .Str("FormatStr", &TrpFormat::FormatStr, &TrpFormat::SetFormatStr)
        .Enum("Kind", FormatKindInfo, &TrpFormat::Kind, &TrpFormat::SetKind, TrpFormat::KindDefault())
        .Str("ThousandSeparator", &TrpFormat::ThousandSeparator, &TrpFormat::SetThousandSeparator))

RP_DEFINE_CLASS(TrpHighlight, nullptr, nullptr,
    t.Bool("Active", &TrpHighlight::Active, &TrpHighlight::SetActive, TrpHighlight::ActiveDefault())
        .Bool("ApplyFont", &TrpHighlight::ApplyFont, &TrpHighlight::SetApplyFont,
            TrpHighlight::ApplyFontDefault())
        .Bool("ApplyFill", &TrpHighlight::ApplyFill, &TrpHighlight::SetApplyFill,
            TrpHighlight::ApplyFillDefault())
        .Bool("ApplyFrame", &TrpHighlight::ApplyFrame, &TrpHighlight::SetApplyFrame,
            TrpHighlight::ApplyFrameDefault())
        .Str("Condition", &TrpHighlight::Condition, &TrpHighlight::SetCondition)
        .Object("Font", [](TrpHighlight& h) { return h.Font(); })
        .Enum(
            "FillType", FillTypeInfo, &TrpHighlight::FillType, &TrpHighlight::SetFillType, rpDefaultFillType)
        .Object("Fill", [](TrpHighlight& h) { return h.Fill(); })
        .Object("Frame", [](TrpHighlight& h) { return h.Frame(); })
        .Bool("Visible", &TrpHighlight::Visible, &TrpHighlight::SetVisible, TrpHighlight::VisibleDefault()))

RP_DEFINE_CLASS(TrpHyperlink, nullptr, nullptr,
    t.Str("DetailPage", &TrpHyperlink::DetailPage, &TrpHyperlink::SetDetailPage)
        .Str("DetailReport", &TrpHyperlink::DetailReport, &TrpHyperlink::SetDetailReport)
        .Enum("Kind", HyperlinkKindInfo, &TrpHyperlink::Kind, &TrpHyperlink::SetKind,
            TrpHyperlink::KindDefault())
        .Str("ReportVariable", &TrpHyperlink::ReportVariable, &TrpHyperlink::SetReportVariable)
        .Str("TabCaption", &TrpHyperlink::TabCaption, &TrpHyperlink::SetTabCaption)
        .Str("Value", &TrpHyperlink::Value, &TrpHyperlink::SetValue)
        .Str("ValuesSeparator", &TrpHyperlink::ValuesSeparator, &TrpHyperlink::SetValuesSeparator))

// -------------------------------------------------------------- components

RP_DEFINE_CLASS(TrpComponent, nullptr, nullptr,
    // Written by the tree writer ahead of the other attributes.
    t.Str("Name", &TrpComponent::Name, &TrpComponent::SetName)
        .StoredIf([](const TrpComponent&) { return false; })
        .Str("Description", &TrpComponent::Description, &TrpComponent::SetDescription)
        .Int("GroupIndex", &TrpComponent::GroupIndex, &TrpComponent::SetGroupIndex,
            TrpComponent::GroupIndexDefault())
        .Set("Restrictions", &TrpComponent::Restrictions, &TrpComponent::SetRestrictions,
            rpPropDetail::ToOrd(TrpComponent::RestrictionsDefault()))
        .Int("Tag", &TrpComponent::Tag, &TrpComponent::SetTag, TrpComponent::TagDefault())
        .Bool("Visible", &TrpComponent::Visible, &TrpComponent::SetVisible, TrpComponent::VisibleDefault()))

RP_DEFINE_CLASS(TrpReportComponent, &TrpComponent::StaticClassInfo(), nullptr,
    t.Float("Left", &TrpComponent::Left, &TrpComponent::SetLeft)
        .Float("Top", &TrpComponent::Top, &TrpComponent::SetTop)
        .Float("Width", &TrpComponent::Width, &TrpComponent::SetWidth)
        .Float("Height", &TrpComponent::Height, &TrpComponent::SetHeight)
        .Bool("ParentFont", &TrpComponent::ParentFont, &TrpComponent::SetParentFont,
            TrpComponent::ParentFontDefault())
        .Object("Font", [](TrpComponent& c) { return c.Font(); })
        .StoredIf([](const TrpComponent& c) { return !c.ParentFont(); })
        .Str("OnAfterData", &TrpReportComponent::OnAfterData, &TrpReportComponent::SetOnAfterData)
        .Str("OnAfterPrint", &TrpReportComponent::OnAfterPrint, &TrpReportComponent::SetOnAfterPrint)
        .Str("OnBeforePrint", &TrpReportComponent::OnBeforePrint, &TrpReportComponent::SetOnBeforePrint)
        .Str("OnPreviewClick", &TrpReportComponent::OnPreviewClick, &TrpReportComponent::SetOnPreviewClick)
        .Str("OnPreviewDblClick", &TrpReportComponent::OnPreviewDblClick,
            &TrpReportComponent::SetOnPreviewDblClick)
        .Set("PrintOn", &TrpReportComponent::PrintOn, &TrpReportComponent::SetPrintOn,
            rpPropDetail::ToOrd(TrpReportComponent::PrintOnDefault())))

RP_DEFINE_CLASS(TrpView, &TrpReportComponent::StaticClassInfo(), nullptr,
    t.Enum("Align", AlignInfo, &TrpView::Align, &TrpView::SetAlign, TrpView::AlignDefault())
        .Int("Cursor", &TrpView::Cursor, &TrpView::SetCursor, TrpView::CursorDefault())
        .Ref<TrpDataSet>("DataSet", &TrpView::DataSet, &TrpView::SetDataSet)
        .Str("DataSetName", &TrpView::DataSetName, &TrpView::SetDataSetName)
        .Str("DataField", &TrpView::DataField, &TrpView::SetDataField)
        .Enum("FillType", FillTypeInfo, &TrpView::FillType, &TrpView::SetFillType, rpDefaultFillType)
        .Object("Fill", [](TrpView& v) { return v.Fill(); })
        .Object("Frame", [](TrpView& v) { return v.Frame(); })
        .Object("Hyperlink", [](TrpView& v) { return v.Hyperlink(); })
        .Str("Hint", &TrpView::Hint, &TrpView::SetHint)
        .Enum("ShiftMode", ShiftModeInfo, &TrpView::ShiftMode, &TrpView::SetShiftMode,
            TrpView::ShiftModeDefault())
        .Bool("ShowHint", &TrpView::ShowHint, &TrpView::SetShowHint, TrpView::ShowHintDefault())
        .Str("TagStr", &TrpView::TagStr, &TrpView::SetTagStr)
        .Str("URL", &TrpView::URL, &TrpView::SetURL)
        .Set("Visibility", &TrpView::Visibility, &TrpView::SetVisibility,
            rpPropDetail::ToOrd(TrpView::VisibilityDefault())))

RP_DEFINE_CLASS(TrpStretcheable, &TrpView::StaticClassInfo(), nullptr,
    t.Enum("StretchMode", StretchModeInfo, &TrpStretcheable::StretchMode, &TrpStretcheable::SetStretchMode,
        TrpStretcheable::StretchModeDefault()))

using M = TrpCustomMemoView;
RP_DEFINE_CLASS(
    TrpCustomMemoView, &TrpStretcheable::StaticClassInfo(), nullptr, i.SetTextProp(QStringLiteral("Memo"));
    t.Bool("AllowExpressions", &M::AllowExpressions, &M::SetAllowExpressions, M::AllowExpressionsDefault())
        .Bool("AllowHTMLTags", &M::AllowHTMLTags, &M::SetAllowHTMLTags, M::AllowHTMLTagsDefault())
        .Bool("AutoWidth", &M::AutoWidth, &M::SetAutoWidth, M::AutoWidthDefault())
        .Float("CharSpacing", &M::CharSpacing, &M::SetCharSpacing)
        .Bool("Clipped", &M::Clipped, &M::SetClipped, M::ClippedDefault())
        .ObjectOnDemand(
            "DisplayFormat",
            [](M& m) -> TrpFormat* { return m.Formats().empty() ? nullptr : m.Formats().front().get(); },
            [](M& m) { return m.DisplayFormat(); })
        .Str("ExpressionDelimiters", &M::ExpressionDelimiters, &M::SetExpressionDelimiters)
        .StoredIf([](const M& m) { return m.ExpressionDelimiters() != QStringLiteral("[,]"); })
        .Bool("FirstParaBreak", &M::FirstParaBreak, &M::SetFirstParaBreak, M::FirstParaBreakDefault())
        .Ref<TrpCustomMemoView>("FlowTo", &M::FlowTo, &M::SetFlowTo)
        .Float("GapX", &M::GapX, &M::SetGapX)
        .Float("GapY", &M::GapY, &M::SetGapY)
        .Enum("HAlign", HAlignInfo, &M::HAlign, &M::SetHAlign, M::HAlignDefault())
        .Bool("HideZeros", &M::HideZeros, &M::SetHideZeros, M::HideZerosDefault())
        .ObjectOnDemand(
            "Highlight",
            [](M& m) -> TrpHighlight* {
                return m.Highlights().empty() ? nullptr : m.Highlights().front().get();
            },
            [](M& m) { return m.Highlight(); })
        .Bool("LastParaBreak", &M::LastParaBreak, &M::SetLastParaBreak, M::LastParaBreakDefault())
        .Float("LineSpacing", &M::LineSpacing, &M::SetLineSpacing)
        .Strings("Memo", &M::Memo, &M::SetMemo)
        .StoredIf([](const M&) { return false; }) // written last as Text
        .Float("ParagraphGap", &M::ParagraphGap, &M::SetParagraphGap)
        .Int("Rotation", &M::Rotation, &M::SetRotation, M::RotationDefault())
        .Bool("RTLReading", &M::RTLReading, &M::SetRTLReading, M::RTLReadingDefault())
        .Str("Style", &M::Style, &M::SetStyle)
        .Bool("SuppressRepeated", &M::SuppressRepeated, &M::SetSuppressRepeated, M::SuppressRepeatedDefault())
        .Bool("Underlines", &M::Underlines, &M::SetUnderlines, M::UnderlinesDefault())
        .Bool("UseDefaultCharset", &M::UseDefaultCharset, &M::SetUseDefaultCharset,
            M::UseDefaultCharsetDefault())
        .Enum("VAlign", VAlignInfo, &M::VAlign, &M::SetVAlign, M::VAlignDefault())
        .Bool("WordBreak", &M::WordBreak, &M::SetWordBreak, M::WordBreakDefault())
        .Bool("WordWrap", &M::WordWrap, &M::SetWordWrap, M::WordWrapDefault())
        .Bool("Wysiwyg", &M::Wysiwyg, &M::SetWysiwyg, M::WysiwygDefault()))

RP_DEFINE_CLASS(TrpMemoView, &TrpCustomMemoView::StaticClassInfo(), Factory<TrpMemoView>())
RP_DEFINE_CLASS(TrpSysMemoView, &TrpCustomMemoView::StaticClassInfo(), Factory<TrpSysMemoView>())

RP_DEFINE_CLASS(TrpCustomLineView, &TrpStretcheable::StaticClassInfo(), nullptr,
    t.Bool("Diagonal", &TrpCustomLineView::Diagonal, &TrpCustomLineView::SetDiagonal,
        TrpCustomLineView::DiagonalDefault()))
using L = TrpLineView;
RP_DEFINE_CLASS(TrpLineView, &TrpCustomLineView::StaticClassInfo(), Factory<TrpLineView>(),
    t.Bool("ArrowEnd", &L::ArrowEnd, &L::SetArrowEnd, L::ArrowEndDefault())
        .Int("ArrowLength", &L::ArrowLength, &L::SetArrowLength, L::ArrowLengthDefault())
        .Bool("ArrowSolid", &L::ArrowSolid, &L::SetArrowSolid, L::ArrowSolidDefault())
        .Bool("ArrowStart", &L::ArrowStart, &L::SetArrowStart, L::ArrowStartDefault())
        .Int("ArrowWidth", &L::ArrowWidth, &L::SetArrowWidth, L::ArrowWidthDefault()))

using P = TrpPictureView;
RP_DEFINE_CLASS(TrpPictureView, &TrpView::StaticClassInfo(), Factory<TrpPictureView>(),
    t.Bool("AutoSize", &P::AutoSize, &P::SetAutoSize, P::AutoSizeDefault())
        .Bool("Center", &P::Center, &P::SetCenter, P::CenterDefault())
        .Str("FileLink", &P::FileLink, &P::SetFileLink)
        .Enum("HightQuality", rpBooleanInfo, &P::HightQuality, &P::SetHightQuality, std::nullopt)
        // Read from prepared pages, never written with the view.
        .Int("ImageIndex", &P::ImageIndex, &P::SetImageIndex, P::ImageIndexDefault())
        .StoredIf([](const P&) { return false; })
        .Bool("KeepAspectRatio", &P::KeepAspectRatio, &P::SetKeepAspectRatio, P::KeepAspectRatioDefault())
        .Bool("Stretched", &P::Stretched, &P::SetStretched, P::StretchedDefault())
        .Bool("Transparent", &P::Transparent, &P::SetTransparent, P::TransparentDefault())
        .Int("TransparentColor", &P::TransparentColor, &P::SetTransparentColor, P::TransparentColorDefault()))

RP_DEFINE_CLASS(TrpShapeView, &TrpView::StaticClassInfo(), Factory<TrpShapeView>(),
    t.Int("Curve", &TrpShapeView::Curve, &TrpShapeView::SetCurve, TrpShapeView::CurveDefault())
        .Enum(
            "Shape", ShapeInfo, &TrpShapeView::Shape, &TrpShapeView::SetShape, TrpShapeView::ShapeDefault()))

RP_DEFINE_CLASS(TrpSubreport, &TrpView::StaticClassInfo(), Factory<TrpSubreport>(),
    t.Ref<TrpReportPage>("Page", &TrpSubreport::Page, &TrpSubreport::SetPage)
        .Bool("PrintOnParent", &TrpSubreport::PrintOnParent, &TrpSubreport::SetPrintOnParent,
            TrpSubreport::PrintOnParentDefault()))

RP_DEFINE_CLASS(TrpDialogComponent, &TrpReportComponent::StaticClassInfo(), nullptr)

// The data sets' tables are with their classes.

// ------------------------------------------------------------------- bands

using B = TrpBand;
RP_DEFINE_CLASS(TrpBand, &TrpReportComponent::StaticClassInfo(), nullptr,
    t.Bool("AllowSplit", &B::AllowSplit, &B::SetAllowSplit, B::AllowSplitDefault())
        .Ref<TrpChild>("Child", &B::Child, &B::SetChild)
        .Enum("FillType", FillTypeInfo, &B::FillType, &B::SetFillType, rpDefaultFillType)
        .Object("Fill", [](B& b) { return b.Fill(); })
        .Object("FillGap", [](B& b) { return b.FillGap(); })
        .Bool("KeepChild", &B::KeepChild, &B::SetKeepChild, B::KeepChildDefault())
        .Str("OnAfterCalcHeight", &B::OnAfterCalcHeight, &B::SetOnAfterCalcHeight)
        .Str("OutlineText", &B::OutlineText, &B::SetOutlineText)
        .Bool("PrintChildIfInvisible", &B::PrintChildIfInvisible, &B::SetPrintChildIfInvisible,
            B::PrintChildIfInvisibleDefault())
        .Bool("StartNewPage", &B::StartNewPage, &B::SetStartNewPage, B::StartNewPageDefault())
        .Bool("Stretched", &B::Stretched, &B::SetStretched, B::StretchedDefault())
        .Bool("Vertical", &B::Vertical, &B::SetVertical, B::VerticalDefault()))

using D = TrpDataBand;
RP_DEFINE_CLASS(TrpDataBand, &TrpBand::StaticClassInfo(), nullptr,
    t.Float("ColumnGap", &D::ColumnGap, &D::SetColumnGap)
        .Float("ColumnWidth", &D::ColumnWidth, &D::SetColumnWidth)
        .Int("Columns", &D::Columns, &D::SetColumns, D::ColumnsDefault())
        .Ref<TrpDataSet>("DataSet", &D::DataSet, &D::SetDataSet)
        .Str("DataSetName", &D::DataSetName, &D::SetDataSetName)
        .Str("Filter", &D::Filter, &D::SetFilter)
        .Bool("FooterAfterEach", &D::FooterAfterEach, &D::SetFooterAfterEach, D::FooterAfterEachDefault())
        .Bool("KeepFooter", &D::KeepFooter, &D::SetKeepFooter, D::KeepFooterDefault())
        .Bool("KeepHeader", &D::KeepHeader, &D::SetKeepHeader, D::KeepHeaderDefault())
        .Bool("KeepTogether", &D::KeepTogether, &D::SetKeepTogether, D::KeepTogetherDefault())
        .Str("OnMasterDetail", &D::OnMasterDetail, &D::SetOnMasterDetail)
        .Bool("PrintIfDetailEmpty", &D::PrintIfDetailEmpty, &D::SetPrintIfDetailEmpty,
            D::PrintIfDetailEmptyDefault())
        .Int("RowCount", &D::RowCount, &D::SetRowCount, std::nullopt))

RP_DEFINE_CLASS(TrpMasterData, &TrpDataBand::StaticClassInfo(), Factory<TrpMasterData>())
RP_DEFINE_CLASS(TrpDetailData, &TrpDataBand::StaticClassInfo(), Factory<TrpDetailData>())
RP_DEFINE_CLASS(TrpSubdetailData, &TrpDataBand::StaticClassInfo(), Factory<TrpSubdetailData>())
RP_DEFINE_CLASS(TrpDataBand4, &TrpDataBand::StaticClassInfo(), Factory<TrpDataBand4>())
RP_DEFINE_CLASS(TrpDataBand5, &TrpDataBand::StaticClassInfo(), Factory<TrpDataBand5>())
RP_DEFINE_CLASS(TrpDataBand6, &TrpDataBand::StaticClassInfo(), Factory<TrpDataBand6>())
RP_DEFINE_CLASS(TrpFooter, &TrpBand::StaticClassInfo(), Factory<TrpFooter>())
RP_DEFINE_CLASS(TrpColumnHeader, &TrpBand::StaticClassInfo(), Factory<TrpColumnHeader>())
RP_DEFINE_CLASS(TrpColumnFooter, &TrpBand::StaticClassInfo(), Factory<TrpColumnFooter>())
RP_DEFINE_CLASS(TrpReportTitle, &TrpBand::StaticClassInfo(), Factory<TrpReportTitle>())
RP_DEFINE_CLASS(TrpReportSummary, &TrpBand::StaticClassInfo(), Factory<TrpReportSummary>())
RP_DEFINE_CLASS(TrpChild, &TrpBand::StaticClassInfo(), Factory<TrpChild>())
RP_DEFINE_CLASS(TrpNullBand, &TrpBand::StaticClassInfo(), Factory<TrpNullBand>())
RP_DEFINE_CLASS(TrpHeader, &TrpBand::StaticClassInfo(), Factory<TrpHeader>(),
    t.Bool("ReprintOnNewPage", &TrpHeader::ReprintOnNewPage, &TrpHeader::SetReprintOnNewPage,
        TrpHeader::ReprintOnNewPageDefault()))
RP_DEFINE_CLASS(TrpPageHeader, &TrpBand::StaticClassInfo(), Factory<TrpPageHeader>(),
    t.Bool("PrintOnFirstPage", &TrpPageHeader::PrintOnFirstPage, &TrpPageHeader::SetPrintOnFirstPage,
        TrpPageHeader::PrintOnFirstPageDefault()))
RP_DEFINE_CLASS(TrpPageFooter, &TrpBand::StaticClassInfo(), Factory<TrpPageFooter>(),
    t.Bool("PrintOnFirstPage", &TrpPageFooter::PrintOnFirstPage, &TrpPageFooter::SetPrintOnFirstPage,
         TrpPageFooter::PrintOnFirstPageDefault())
        .Bool("PrintOnLastPage", &TrpPageFooter::PrintOnLastPage, &TrpPageFooter::SetPrintOnLastPage,
            TrpPageFooter::PrintOnLastPageDefault()))
using G = TrpGroupHeader;
RP_DEFINE_CLASS(TrpGroupHeader, &TrpBand::StaticClassInfo(), Factory<TrpGroupHeader>(),
    t.Str("Condition", &G::Condition, &G::SetCondition)
        .Bool("DrillDown", &G::DrillDown, &G::SetDrillDown, G::DrillDownDefault())
        .Str("DrillName", &G::DrillName, &G::SetDrillName)
        .Bool("ExpandDrillDown", &G::ExpandDrillDown, &G::SetExpandDrillDown, G::ExpandDrillDownDefault())
        .Bool("KeepTogether", &G::KeepTogether, &G::SetKeepTogether, G::KeepTogetherDefault())
        .Bool("ReprintOnNewPage", &G::ReprintOnNewPage, &G::SetReprintOnNewPage, G::ReprintOnNewPageDefault())
        .Bool("ResetPageNumbers", &G::ResetPageNumbers, &G::SetResetPageNumbers, G::ResetPageNumbersDefault())
        .Bool("ShowFooterIfDrillDown", &G::ShowFooterIfDrillDown, &G::SetShowFooterIfDrillDown,
            G::ShowFooterIfDrillDownDefault()))
RP_DEFINE_CLASS(TrpGroupFooter, &TrpBand::StaticClassInfo(), Factory<TrpGroupFooter>(),
    t.Bool("HideIfSingleDataRecord", &TrpGroupFooter::HideIfSingleDataRecord,
        &TrpGroupFooter::SetHideIfSingleDataRecord, TrpGroupFooter::HideIfSingleDataRecordDefault()))
RP_DEFINE_CLASS(TrpOverlay, &TrpBand::StaticClassInfo(), Factory<TrpOverlay>(),
    t.Bool(
        "PrintOnTop", &TrpOverlay::PrintOnTop, &TrpOverlay::SetPrintOnTop, TrpOverlay::PrintOnTopDefault()))

// ------------------------------------------------------------------- pages

RP_DEFINE_CLASS(TrpPage, &TrpComponent::StaticClassInfo(), nullptr,
    t.Bool("ParentFont", &TrpComponent::ParentFont, &TrpComponent::SetParentFont,
         TrpComponent::ParentFontDefault())
        .Object("Font", [](TrpComponent& c) { return c.Font(); })
        .StoredIf([](const TrpComponent& c) { return !c.ParentFont(); }))

using RP = TrpReportPage;
RP_DEFINE_CLASS(TrpReportPage, &TrpPage::StaticClassInfo(), Factory<TrpReportPage>(),
    t.Enum("Orientation", OrientationInfo, &RP::Orientation, &RP::SetOrientation, RP::OrientationDefault())
        .Float("PaperWidth", &RP::PaperWidth, &RP::SetPaperWidth)
        .Float("PaperHeight", &RP::PaperHeight, &RP::SetPaperHeight)
        .Int("PaperSize", &RP::PaperSize, &RP::SetPaperSize, std::nullopt)
        .Float("LeftMargin", &RP::LeftMargin, &RP::SetLeftMargin)
        .Float("RightMargin", &RP::RightMargin, &RP::SetRightMargin)
        .Float("TopMargin", &RP::TopMargin, &RP::SetTopMargin)
        .Float("BottomMargin", &RP::BottomMargin, &RP::SetBottomMargin)
        .Int("Columns", &RP::Columns, &RP::SetColumns, RP::ColumnsDefault())
        .Float("ColumnWidth", &RP::ColumnWidth, &RP::SetColumnWidth)
        .Strings("ColumnPositions", &RP::ColumnPositions, &RP::SetColumnPositions)
        .Bool("BackPicturePrintable", &RP::BackPicturePrintable, &RP::SetBackPicturePrintable,
            RP::BackPicturePrintableDefault())
        .Bool("BackPictureStretched", &RP::BackPictureStretched, &RP::SetBackPictureStretched,
            RP::BackPictureStretchedDefault())
        .Bool("BackPictureVisible", &RP::BackPictureVisible, &RP::SetBackPictureVisible,
            RP::BackPictureVisibleDefault())
        .Int("Bin", &RP::Bin, &RP::SetBin, RP::BinDefault())
        .Int("BinOtherPages", &RP::BinOtherPages, &RP::SetBinOtherPages, RP::BinOtherPagesDefault())
        .Ref<TrpDataSet>("DataSet", &RP::DataSet, &RP::SetDataSet)
        .Str("DataSetName", &RP::DataSetName, &RP::SetDataSetName)
        .Enum("Duplex", DuplexInfo, &RP::Duplex, &RP::SetDuplex, RP::DuplexDefault())
        .Bool("EndlessHeight", &RP::EndlessHeight, &RP::SetEndlessHeight, RP::EndlessHeightDefault())
        .Bool("EndlessWidth", &RP::EndlessWidth, &RP::SetEndlessWidth, RP::EndlessWidthDefault())
        .Object("Frame", [](RP& p) { return p.Frame(); })
        .Strings("HGuides", &RP::HGuides, &RP::SetHGuides)
        .Bool("LargeDesignHeight", &RP::LargeDesignHeight, &RP::SetLargeDesignHeight,
            RP::LargeDesignHeightDefault())
        .Bool("MirrorMargins", &RP::MirrorMargins, &RP::SetMirrorMargins, RP::MirrorMarginsDefault())
        .Str("OnAfterPrint", &RP::OnAfterPrint, &RP::SetOnAfterPrint)
        .Str("OnBeforePrint", &RP::OnBeforePrint, &RP::SetOnBeforePrint)
        .Str("OnManualBuild", &RP::OnManualBuild, &RP::SetOnManualBuild)
        .Str("OutlineText", &RP::OutlineText, &RP::SetOutlineText)
        .Int("PageCount", &RP::PageCount, &RP::SetPageCount, RP::PageCountDefault())
        .Bool("PrintIfEmpty", &RP::PrintIfEmpty, &RP::SetPrintIfEmpty, RP::PrintIfEmptyDefault())
        .Bool("PrintOnPreviousPage", &RP::PrintOnPreviousPage, &RP::SetPrintOnPreviousPage,
            RP::PrintOnPreviousPageDefault())
        .Bool("ResetPageNumbers", &RP::ResetPageNumbers, &RP::SetResetPageNumbers,
            RP::ResetPageNumbersDefault())
        .Bool("ShowTitleOnPreviousPage", &RP::ShowTitleOnPreviousPage, &RP::SetShowTitleOnPreviousPage,
            RP::ShowTitleOnPreviousPageDefault())
        .Bool("TitleBeforeHeader", &RP::TitleBeforeHeader, &RP::SetTitleBeforeHeader,
            RP::TitleBeforeHeaderDefault())
        .Strings("VGuides", &RP::VGuides, &RP::SetVGuides))

RP_DEFINE_CLASS(TrpDataPage, &TrpPage::StaticClassInfo(), Factory<TrpDataPage>(),
    t.Float("Height", &TrpComponent::Height, &TrpComponent::SetHeight)
        .Float("Left", &TrpComponent::Left, &TrpComponent::SetLeft)
        .Float("Top", &TrpComponent::Top, &TrpComponent::SetTop)
        .Float("Width", &TrpComponent::Width, &TrpComponent::SetWidth))
RP_DEFINE_CLASS(TrpDialogPage, &TrpPage::StaticClassInfo(), Factory<TrpDialogPage>())

// ------------------------------------------------------------------ report

using EO = TrpEngineOptions;
RP_DEFINE_CLASS(TrpEngineOptions, nullptr, nullptr,
    t.Bool("ConvertNulls", &EO::ConvertNulls, &EO::SetConvertNulls, EO::ConvertNullsDefault())
        .Bool("DestroyForms", &EO::DestroyForms, &EO::SetDestroyForms, EO::DestroyFormsDefault())
        .Bool("DoublePass", &EO::DoublePass, &EO::SetDoublePass, EO::DoublePassDefault())
        .Bool("EnableThreadSafe", &EO::EnableThreadSafe, &EO::SetEnableThreadSafe,
            EO::EnableThreadSafeDefault())
        .Bool("IgnoreDevByZero", &EO::IgnoreDevByZero, &EO::SetIgnoreDevByZero, EO::IgnoreDevByZeroDefault())
        .Int("MaxMemSize", &EO::MaxMemSize, &EO::SetMaxMemSize, EO::MaxMemSizeDefault())
        .Enum("NewSilentMode", SilentModeInfo, &EO::NewSilentMode, &EO::SetNewSilentMode,
            EO::NewSilentModeDefault())
        .Bool("PrintIfEmpty", &EO::PrintIfEmpty, &EO::SetPrintIfEmpty, EO::PrintIfEmptyDefault())
        .Enum("SilentMode", SilentModeInfo, &EO::SilentMode, &EO::SetSilentMode, EO::SilentModeDefault())
        .Str("TempDir", &EO::TempDir, &EO::SetTempDir)
        .Bool("UseFileCache", &EO::UseFileCache, &EO::SetUseFileCache, EO::UseFileCacheDefault())
        .Bool("UseGlobalDataSetList", &EO::UseGlobalDataSetList, &EO::SetUseGlobalDataSetList,
            EO::UseGlobalDataSetListDefault()))

using RO = TrpReportOptions;
RP_DEFINE_CLASS(TrpReportOptions, nullptr, nullptr,
    t.Str("Author", &RO::Author, &RO::SetAuthor)
        .Bool("Compressed", &RO::Compressed, &RO::SetCompressed, RO::CompressedDefault())
        .Str("ConnectionName", &RO::ConnectionName, &RO::SetConnectionName)
        .Float("CreateDate", &RO::CreateDate, &RO::SetCreateDate)
        .Strings("Description", &RO::Description, &RO::SetDescription)
        .Str("InitString", &RO::InitString, &RO::SetInitString)
        .Float("LastChange", &RO::LastChange, &RO::SetLastChange)
        .Str("Name", &RO::Name, &RO::SetName)
        .Str("Password", &RO::Password, &RO::SetPassword)
        .Str("VersionBuild", &RO::VersionBuild, &RO::SetVersionBuild)
        .Str("VersionMajor", &RO::VersionMajor, &RO::SetVersionMajor)
        .Str("VersionMinor", &RO::VersionMinor, &RO::SetVersionMinor)
        .Str("VersionRelease", &RO::VersionRelease, &RO::SetVersionRelease))

RP_DEFINE_CLASS(TrpStyleItem, nullptr, nullptr,
    t.Str("Name", &TrpStyleItem::Name, &TrpStyleItem::SetName)
        .Bool("ApplyFill", &TrpStyleItem::ApplyFill, &TrpStyleItem::SetApplyFill,
            TrpStyleItem::ApplyFillDefault())
        .Bool("ApplyFont", &TrpStyleItem::ApplyFont, &TrpStyleItem::SetApplyFont,
            TrpStyleItem::ApplyFontDefault())
        .Bool("ApplyFrame", &TrpStyleItem::ApplyFrame, &TrpStyleItem::SetApplyFrame,
            TrpStyleItem::ApplyFrameDefault())
        .Object("Font", [](TrpStyleItem& s) { return s.Font(); })
        .Enum(
            "FillType", FillTypeInfo, &TrpStyleItem::FillType, &TrpStyleItem::SetFillType, rpDefaultFillType)
        .Object("Fill", [](TrpStyleItem& s) { return s.Fill(); })
        .Object("Frame", [](TrpStyleItem& s) { return s.Frame(); }))

using R = TrpReport;
RP_DEFINE_CLASS(TrpReport, &TrpComponent::StaticClassInfo(), Factory<TrpReport>(),
    t.Ref<TrpDataSet>("DataSet", &R::DataSet, &R::SetDataSet)
        .Str("DataSetName", &R::DataSetName, &R::SetDataSetName)
        .Bool("DotMatrixReport", &R::DotMatrixReport, &R::SetDotMatrixReport, R::DotMatrixReportDefault())
        .Object("EngineOptions", [](R& r) { return r.EngineOptions(); })
        .Str("IniFile", &R::IniFile, &R::SetIniFile)
        .Bool("OldStyleProgress", &R::OldStyleProgress, &R::SetOldStyleProgress, R::OldStyleProgressDefault())
        .Str("ParentReport", &R::ParentReport, &R::SetParentReport)
        .Object("ReportOptions", [](R& r) { return r.ReportOptions(); })
        .Str("ScriptLanguage", &R::ScriptLanguage, &R::SetScriptLanguage)
        .Strings("ScriptText", &R::ScriptText, &R::SetScriptText)
        .Bool("ShowProgress", &R::ShowProgress, &R::SetShowProgress, R::ShowProgressDefault())
        .Bool("StoreInDFM", &R::StoreInDFM, &R::SetStoreInDFM, R::StoreInDFMDefault())
        .Str("Version", &R::Version, &R::SetVersion))

// ---------------------------------------------------- nested report items
//
// A report keeps its data-set list, variables and styles as child items:
//   <Datasets><item DataSet="name" DataSetName="user name"/>...</Datasets>
//   <Variables><item Name="name" Value="expression"/>...</Variables>
//   <Styles><item Name="..." Font.Name="..." .../>...</Styles>

bool TrpReport::WriteNestedProperties(TrpXMLItem* Item, const TrpPersistentComponent*) const
{
    bool any = false;
    if (FDataSets.Count() > 0) {
        TrpXMLItem* list = Item->Add(QStringLiteral("Datasets"));
        for (int i = 0; i < FDataSets.Count(); ++i) {
            const TrpDataSetItem& d = FDataSets.Items(i);
            TrpXMLItem* it = list->Add(QStringLiteral("item"));
            if (d.DataSet())
                it->SetProp(QStringLiteral("DataSet"), d.DataSet()->Name());
            it->SetProp(QStringLiteral("DataSetName"), d.DataSetName());
        }
        any = true;
    }
    if (FVariables.Count() > 0) {
        TrpXMLItem* list = Item->Add(QStringLiteral("Variables"));
        for (int i = 0; i < FVariables.Count(); ++i) {
            TrpXMLItem* it = list->Add(QStringLiteral("item"));
            it->SetProp(QStringLiteral("Name"), FVariables.Items(i).Name);
            it->SetProp(QStringLiteral("Value"), FVariables.Items(i).Value);
        }
        any = true;
    }
    if (FStyles.Count() > 0) {
        TrpXMLItem* list = Item->Add(QStringLiteral("Styles"));
        TrpXMLSerializer s;
        for (int i = 0; i < FStyles.Count(); ++i)
            list->Add(QStringLiteral("item"))->SetText(s.ObjToXML(FStyles.Items(i)));
        any = true;
    }
    return any;
}

bool TrpReport::ReadNestedProperty(const TrpXMLItem* Item)
{
    const QString name = Item->Name();
    if (name.compare(QStringLiteral("Datasets"), Qt::CaseInsensitive) == 0) {
        FDataSets.Clear();
        for (int i = 0; i < Item->Count(); ++i)
            FDataSets.Add(Item->Items(i)->Prop(QStringLiteral("DataSetName")));
        return true;
    }
    if (name.compare(QStringLiteral("Variables"), Qt::CaseInsensitive) == 0) {
        FVariables.Clear();
        for (int i = 0; i < Item->Count(); ++i)
            FVariables.Add(
                Item->Items(i)->Prop(QStringLiteral("Name")), Item->Items(i)->Prop(QStringLiteral("Value")));
        return true;
    }
    if (name.compare(QStringLiteral("Styles"), Qt::CaseInsensitive) == 0) {
        FStyles.Clear();
        TrpXMLSerializer s;
        for (int i = 0; i < Item->Count(); ++i)
            s.XMLToObj(Item->Items(i)->Text(), FStyles.Add());
        return true;
    }
    return false;
}

// ----------------------------------------------------- memo collections
//
// The first format and highlight are attributes (DisplayFormat.Kind,
// Highlight.Condition...). A memo with more than one keeps the whole
// collection as child items as well, read after the attributes:
//   <Formats><item Kind="fkNumeric" FormatStr="%2.2n"/>...</Formats>
//   <Highlights><item Condition="..." Font.Color="255"/>...</Highlights>

namespace {
template <class T>
void WriteCollection(TrpXMLItem* Item, const QString& Name, const std::vector<std::unique_ptr<T>>& List)
{
    TrpXMLItem* list = Item->Add(Name);
    TrpXMLSerializer s;
    for (const auto& entry : List)
        list->Add(QStringLiteral("item"))->SetText(s.ObjToXML(entry.get()));
}

template <class T> void ReadCollection(const TrpXMLItem* Item, std::vector<std::unique_ptr<T>>& List)
{
    List.clear();
    TrpXMLSerializer s;
    for (int i = 0; i < Item->Count(); ++i) {
        List.push_back(std::make_unique<T>());
        s.XMLToObj(Item->Items(i)->Text(), List.back().get());
    }
}
} // namespace

bool TrpCustomMemoView::WriteNestedProperties(TrpXMLItem* Item, const TrpPersistentComponent*) const
{
    bool any = false;
    if (FFormats.size() > 1) {
        WriteCollection(Item, QStringLiteral("Formats"), FFormats);
        any = true;
    }
    if (FHighlights.size() > 1) {
        WriteCollection(Item, QStringLiteral("Highlights"), FHighlights);
        any = true;
    }
    return any;
}

bool TrpCustomMemoView::ReadNestedProperty(const TrpXMLItem* Item)
{
    if (Item->Name().compare(QStringLiteral("Formats"), Qt::CaseInsensitive) == 0) {
        ReadCollection(Item, FFormats);
        return true;
    }
    if (Item->Name().compare(QStringLiteral("Highlights"), Qt::CaseInsensitive) == 0) {
        ReadCollection(Item, FHighlights);
        return true;
    }
    return false;
}

// ------------------------------------------------------------ registration

namespace {
[[maybe_unused]] const bool ClassesRegistered = [] {
    for (const TrpClassInfo* c : {
             &TrpMemoView::StaticClassInfo(),
             &TrpSysMemoView::StaticClassInfo(),
             &TrpLineView::StaticClassInfo(),
             &TrpPictureView::StaticClassInfo(),
             &TrpShapeView::StaticClassInfo(),
             &TrpSubreport::StaticClassInfo(),
             &TrpMasterData::StaticClassInfo(),
             &TrpDetailData::StaticClassInfo(),
             &TrpSubdetailData::StaticClassInfo(),
             &TrpDataBand4::StaticClassInfo(),
             &TrpDataBand5::StaticClassInfo(),
             &TrpDataBand6::StaticClassInfo(),
             &TrpHeader::StaticClassInfo(),
             &TrpFooter::StaticClassInfo(),
             &TrpPageHeader::StaticClassInfo(),
             &TrpPageFooter::StaticClassInfo(),
             &TrpColumnHeader::StaticClassInfo(),
             &TrpColumnFooter::StaticClassInfo(),
             &TrpGroupHeader::StaticClassInfo(),
             &TrpGroupFooter::StaticClassInfo(),
             &TrpReportTitle::StaticClassInfo(),
             &TrpReportSummary::StaticClassInfo(),
             &TrpChild::StaticClassInfo(),
             &TrpOverlay::StaticClassInfo(),
             &TrpNullBand::StaticClassInfo(),
             &TrpReportPage::StaticClassInfo(),
             &TrpDataPage::StaticClassInfo(),
             &TrpDialogPage::StaticClassInfo(),
             &TrpReport::StaticClassInfo(),
             &TrpUserDataSet::StaticClassInfo(),
             &TrpDBDataset::StaticClassInfo(),
         })
        TrpClassRegistry::Register(*c);
    return true;
}();
} // namespace
