// Difference texts of report objects: how a printed object is stored as the
// attributes in which it differs from its template object, and the full
// form (AllDiff) for objects stored whole.
//
// The text is zero or more ` Name="Value"` pairs that the XML reader applies
// on top of the template's own text, so the order of the pairs is the order
// in which values must be set: a fill kind before the fill's values, a
// frame's colour (which sets all four lines) before the lines' colours.
//
// Values: integers, ordinals and set bits in decimal; colours as signed
// 32-bit numbers; Booleans "1"/"0"; floats in the stored files' number
// form; texts escaped. Floats differ only by more than 1e-4.
//
// Writing a difference changes the object in two places only: a memo's
// paragraph-break flags and a picture view's change flag.
#include "rpClass.h"

#include "rpCustomPreviewPages.h"
#include "rpXMLSerializer.h"

#include <cmath>

namespace {

void Put(QString& R, const QString& Name, const QString& Value)
{
    R += u' ';
    R += Name;
    R += QStringLiteral("=\"");
    R += Value;
    R += u'"';
}
void PutInt(QString& R, const QString& Name, int64_t Value)
{
    Put(R, Name, QString::number(Value));
}
void PutColor(QString& R, const QString& Name, TrpColor Value)
{
    PutInt(R, Name, int32_t(Value));
}
void PutBool(QString& R, const QString& Name, bool Value)
{
    Put(R, Name, Value ? QStringLiteral("1") : QStringLiteral("0"));
}
void PutFloat(QString& R, const QString& Name, Extended Value)
{
    Put(R, Name, TrpXMLSerializer::FloatToText(Value));
}
void PutStr(QString& R, const QString& Name, const QString& Value)
{
    Put(R, Name, rpStrToXML(Value));
}

bool Differ(Extended A, Extended B)
{
    return std::fabs(A - B) > 1e-4L;
}

// The template as an object of the printed object's own class, or nullptr.
template <class T> const T* SameKind(const TrpComponent* Self, const TrpComponent* Template)
{
    if (!Template || &Template->ClassInfo() != &Self->ClassInfo())
        return nullptr;
    return dynamic_cast<const T*>(Template);
}

} // namespace

// ---------------------------------------------------------- nested records

QString TrpFrameLine::Diff(
    const TrpFrameLine* ALine, const TrpFrame* Owner, const TrpFrame* AOwner, const QString& Add) const
{
    QString r;
    const bool colorSet = Owner->Color() != AOwner->Color();
    if (colorSet ? Color() != Owner->Color() : Color() != ALine->Color())
        PutColor(r, Add + QStringLiteral(".Color"), Color());
    const bool styleSet = Owner->Style() != AOwner->Style();
    if (styleSet ? Style() != Owner->Style() : Style() != ALine->Style())
        PutInt(r, Add + QStringLiteral(".Style"), Style());
    const bool widthSet = Differ(Owner->Width(), AOwner->Width());
    if (widthSet ? Differ(Width(), Owner->Width()) : Differ(Width(), ALine->Width()))
        PutFloat(r, Add + QStringLiteral(".Width"), Width());
    return r;
}

QString TrpFrame::Diff(const TrpFrame* AFrame, const QString& Add) const
{
    const TrpFrame none;
    const TrpFrame& a = AFrame ? *AFrame : none;
    QString r;
    const QString p = Add + u'.';
    if (Color() != a.Color())
        PutColor(r, p + QStringLiteral("Color"), Color());
    if (DropShadow() != a.DropShadow())
        PutBool(r, p + QStringLiteral("DropShadow"), DropShadow());
    if (ShadowColor() != a.ShadowColor())
        PutColor(r, p + QStringLiteral("ShadowColor"), ShadowColor());
    if (Differ(ShadowWidth(), a.ShadowWidth()))
        PutFloat(r, p + QStringLiteral("ShadowWidth"), ShadowWidth());
    if (Style() != a.Style())
        PutInt(r, p + QStringLiteral("Style"), Style());
    if (Typ() != a.Typ())
        PutInt(r, p + QStringLiteral("Typ"), Typ().toInt());
    if (Differ(Width(), a.Width()))
        PutFloat(r, p + QStringLiteral("Width"), Width());
    r += LeftLine()->Diff(a.LeftLine(), this, &a, p + QStringLiteral("LeftLine"));
    r += TopLine()->Diff(a.TopLine(), this, &a, p + QStringLiteral("TopLine"));
    r += RightLine()->Diff(a.RightLine(), this, &a, p + QStringLiteral("RightLine"));
    r += BottomLine()->Diff(a.BottomLine(), this, &a, p + QStringLiteral("BottomLine"));
    return r;
}

QString TrpCustomFill::Diff(const TrpCustomFill* AFill, const QString& Add) const
{
    // A fill's published values, in table order, are exactly the values its
    // difference carries.
    const TrpCustomFill* a = AFill && AFill->FillType() == FillType() ? AFill : nullptr;
    QString r;
    for (const TrpPropInfo* p : ClassInfo().Props()) {
        const QString name = Add + u'.' + p->Name;
        if (p->Kind == TrpPropKind::Float) {
            if (!a || Differ(p->GetFloat(*this), p->GetFloat(*a)))
                PutFloat(r, name, p->GetFloat(*this));
        } else if (p->GetOrd) {
            const int64_t v = p->GetOrd(*this);
            if (!a || v != p->GetOrd(*a))
                PutInt(r, name, p->Kind == TrpPropKind::Integer ? int32_t(v) : v);
        }
    }
    return r;
}

QString TrpHyperlink::Diff(const TrpHyperlink* AHyperlink, const QString& Add) const
{
    const TrpHyperlink none;
    const TrpHyperlink& a = AHyperlink ? *AHyperlink : none;
    QString r;
    const QString p = Add + u'.';
    if (Kind() != a.Kind())
        PutInt(r, p + QStringLiteral("Kind"), Kind());
    const struct {
        const char* Name;
        QString (TrpHyperlink::*Get)() const;
    } texts[] = { { "DetailReport", &TrpHyperlink::DetailReport },
        { "DetailPage", &TrpHyperlink::DetailPage }, { "ReportVariable", &TrpHyperlink::ReportVariable },
        { "TabCaption", &TrpHyperlink::TabCaption }, { "Value", &TrpHyperlink::Value },
        { "ValuesSeparator", &TrpHyperlink::ValuesSeparator } };
    for (const auto& t : texts)
        if ((this->*t.Get)() != (a.*t.Get)())
            PutStr(r, p + QLatin1String(t.Name), (this->*t.Get)());
    return r;
}

// --------------------------------------------------------------- components

QString TrpComponent::BaseDiff(const TrpComponent& A) const
{
    QString r;
    if (Differ(Left(), A.Left()))
        PutFloat(r, QStringLiteral("l"), Left());
    // A band's top is always written: the engine places every band anew.
    if (dynamic_cast<const TrpBand*>(this) || Differ(Top(), A.Top()))
        PutFloat(r, QStringLiteral("t"), Top());
    // An auto-width memo sets its width from its text when drawn.
    const auto* memo = dynamic_cast<const TrpCustomMemoView*>(this);
    if (Differ(Width(), A.Width()) && !(memo && memo->AutoWidth()))
        PutFloat(r, QStringLiteral("w"), Width());
    if (Differ(Height(), A.Height()))
        PutFloat(r, QStringLiteral("h"), Height());
    if (Visible() != A.Visible())
        PutBool(r, QStringLiteral("Visible"), Visible());
    if (!ParentFont()) {
        const TrpFont &f = FFont, &af = A.FFont;
        if (f.Name() != af.Name())
            PutStr(r, QStringLiteral("Font.Name"), f.Name());
        if (f.Size() != af.Size())
            PutInt(r, QStringLiteral("Font.Size"), f.Size());
        if (f.Color() != af.Color())
            PutColor(r, QStringLiteral("Font.Color"), f.Color());
        if (f.Style() != af.Style())
            PutInt(r, QStringLiteral("Font.Style"), f.Style().toInt());
        if (f.Charset() != af.Charset())
            PutInt(r, QStringLiteral("Font.Charset"), f.Charset());
    }
    if (ParentFont() != A.ParentFont())
        PutBool(r, QStringLiteral("ParentFont"), ParentFont());
    if (Tag() != A.Tag())
        PutInt(r, QStringLiteral("Tag"), Tag());
    return r;
}

QString TrpComponent::Diff(const TrpComponent* AComponent)
{
    if (!SameKind<TrpComponent>(this, AComponent))
        return AllDiff(nullptr);
    return BaseDiff(*AComponent);
}

QString TrpComponent::AllDiff(const TrpComponent* AComponent)
{
    TrpXMLSerializer serializer;
    QString r = serializer.ObjToXML(this);
    if (r.startsWith(u' '))
        r.remove(0, 1);
    if (AComponent)
        r += u' ' + BaseDiff(*AComponent);
    if (const auto* band = dynamic_cast<const TrpBand*>(this); band && band->IsNullBand()) {
        PutFloat(r, QStringLiteral("l"), Left());
        PutFloat(r, QStringLiteral("t"), Top());
    }
    return r;
}

QString TrpView::Diff(const TrpComponent* AComponent)
{
    QString r = TrpComponent::Diff(AComponent);
    const auto* a = SameKind<TrpView>(this, AComponent);
    if (!a)
        return r;
    if (Align() != a->Align())
        PutInt(r, QStringLiteral("Align"), Align());
    r += FFrame.Diff(a->Frame());
    if (Cursor() != a->Cursor())
        PutInt(r, QStringLiteral("Cursor"), Cursor());
    if (Visibility() != a->Visibility())
        PutInt(r, QStringLiteral("Visibility"), Visibility().toInt());
    if (TagStr() != a->TagStr())
        PutStr(r, QStringLiteral("TagStr"), TagStr());
    if (FillType() != a->FillType())
        PutInt(r, QStringLiteral("FillType"), FillType());
    r += Fill()->Diff(a->Fill(), QStringLiteral("Fill"));
    r += FHyperlink.Diff(a->Hyperlink(), QStringLiteral("Hyperlink"));
    return r;
}

QString TrpCustomMemoView::Diff(const TrpComponent* AComponent)
{
    QString r = TrpView::Diff(AComponent);
    if (const auto* a = SameKind<TrpCustomMemoView>(this, AComponent)) {
        if (AutoWidth() != a->AutoWidth())
            PutBool(r, QStringLiteral("AutoWidth"), AutoWidth());
        if (Differ(CharSpacing(), a->CharSpacing()))
            PutFloat(r, QStringLiteral("CharSpacing"), CharSpacing());
        if (Differ(GapX(), a->GapX()))
            PutFloat(r, QStringLiteral("GapX"), GapX());
        if (Differ(GapY(), a->GapY()))
            PutFloat(r, QStringLiteral("GapY"), GapY());
        if (HAlign() != a->HAlign())
            PutInt(r, QStringLiteral("HAlign"), HAlign());
        if (Differ(LineSpacing(), a->LineSpacing()))
            PutFloat(r, QStringLiteral("LineSpacing"), LineSpacing());
        if (UseDefaultCharset() != a->UseDefaultCharset())
            PutBool(r, QStringLiteral("UseDefaultCharset"), UseDefaultCharset());
        // The printed text, always; "u" carries UTF-8 bytes, one character
        // per byte, which is how the reader takes it back exactly.
        PutStr(r, QStringLiteral("u"), QString::fromLatin1(Text().toUtf8()));
        if (Differ(ParagraphGap(), a->ParagraphGap()))
            PutFloat(r, QStringLiteral("ParagraphGap"), ParagraphGap());
        if (Rotation() != a->Rotation())
            PutInt(r, QStringLiteral("Rotation"), Rotation());
        if (RTLReading() != a->RTLReading())
            PutBool(r, QStringLiteral("RTLReading"), RTLReading());
        if (Underlines() != a->Underlines())
            PutBool(r, QStringLiteral("Underlines"), Underlines());
        if (VAlign() != a->VAlign())
            PutInt(r, QStringLiteral("VAlign"), VAlign());
        if (WordWrap() != a->WordWrap())
            PutBool(r, QStringLiteral("WordWrap"), WordWrap());
        if (FFormats.size() == 1) {
            const TrpFormat none;
            const TrpFormat& f = *FFormats.front();
            const TrpFormat& af = a->DisplayFormatIfAny() ? *a->DisplayFormatIfAny() : none;
            if (f.Kind() != af.Kind())
                PutInt(r, QStringLiteral("DisplayFormat.Kind"), f.Kind());
            if (f.DecimalSeparator() != af.DecimalSeparator())
                PutStr(r, QStringLiteral("DisplayFormat.DecimalSeparator"), f.DecimalSeparator());
            if (f.ThousandSeparator() != af.ThousandSeparator())
                PutStr(r, QStringLiteral("DisplayFormat.ThousandSeparator"), f.ThousandSeparator());
            if (f.FormatStr() != af.FormatStr())
                PutStr(r, QStringLiteral("DisplayFormat.FormatStr"), f.FormatStr());
        }
        if (FirstParaBreak())
            Put(r, QStringLiteral("FirstParaBreak"), QStringLiteral("1"));
        if (LastParaBreak())
            Put(r, QStringLiteral("LastParaBreak"), QStringLiteral("1"));
    }
    SetFirstParaBreak(LastParaBreak());
    SetLastParaBreak(false);
    return r;
}

QString TrpPictureView::Diff(const TrpComponent* AComponent)
{
    if (FPictureChanged || (HasImage() && IndexExpired())) {
        // Without a store there is nowhere to register the picture yet: the
        // flag stays set so that the next write does it.
        if (TrpReport* report = Report(); report && report->PreviewPages()) {
            report->PreviewPages()->AddPicture(this);
            FPictureChanged = false;
        }
    }
    QString r = u' ' + TrpView::Diff(AComponent);
    PutInt(r, QStringLiteral("ImageIndex"), ImageIndex());
    // Also written when cleared against a set template, so that the rebuilt
    // view does not take the template's value back.
    const auto* a = SameKind<TrpPictureView>(this, AComponent);
    if (Transparent() || (a && a->Transparent()))
        PutBool(r, QStringLiteral("Transparent"), Transparent());
    if (TransparentColor() != clWhite || (a && a->TransparentColor() != clWhite))
        PutColor(r, QStringLiteral("TransparentColor"), TransparentColor());
    return r;
}

QString TrpShapeView::Diff(const TrpComponent* AComponent)
{
    QString r = TrpView::Diff(AComponent);
    if (const auto* a = SameKind<TrpShapeView>(this, AComponent); a && Shape() != a->Shape())
        PutInt(r, QStringLiteral("Shape"), Shape());
    return r;
}

QString TrpGroupHeader::Diff(const TrpComponent* AComponent)
{
    QString r = TrpBand::Diff(AComponent);
    // Escaped like every text, so that a quote in a name cannot end the value.
    if (DrillDown())
        PutStr(r, QStringLiteral("DrillName"), DrillName());
    return r;
}
