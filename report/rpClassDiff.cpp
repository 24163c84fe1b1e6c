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

#include <algorithm>
#include <charconv>
#include <cmath>

namespace {

// Room for Extra more characters, growing geometrically: a difference
// text is built by many small appends.
void Reserve(QString& R, qsizetype Extra)
{
    if (R.capacity() < R.size() + Extra)
        R.reserve(std::max(R.size() + Extra, 2 * R.capacity() + 16));
}

void Put(QString& R, QStringView Name, QStringView Value)
{
    Reserve(R, Name.size() + Value.size() + 4);
    R += u' ';
    R += Name;
    R += u"=\"";
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
// The stored files' number form (as TrpXMLSerializer::FloatToText), made
// in place: band tops are written for every placed band.
void PutFloat(QString& R, QStringView Name, Extended Value)
{
    char buf[32];
    const char* end;
    const double d = double(Value);
    if (d == 0) {
        buf[0] = '0';
        end = buf + 1;
    } else if (std::fabs(d) < 1e15 && d == std::floor(d)) {
        end = std::to_chars(buf, buf + sizeof buf, int64_t(d)).ptr;
    } else {
        end = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::general, 15).ptr;
    }
    const qsizetype n = end - buf;
    Reserve(R, Name.size() + n + 4);
    R += u' ';
    R += Name;
    R += u"=\"";
    R += QLatin1StringView(buf, n);
    R += u'"';
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
// T is the class whose Diff asks, so Self is a T; a template with Self's
// class table is one too.
template <class T> const T* SameKind(const TrpComponent* Self, const TrpComponent* Template)
{
    if (!Template || &Template->ClassInfo() != &Self->ClassInfo())
        return nullptr;
    return static_cast<const T*>(Template);
}

bool IsBand(const TrpComponent* C)
{
    return C->ClassInfo().InheritsFrom(TrpBand::StaticClassInfo());
}

} // namespace

// ---------------------------------------------------------- nested records

namespace {

// Appends ` <parts>="Value"`; names are joined only when a value is written,
// since most differences are empty.
void PutParts(QString& R, std::initializer_list<QStringView> Name, QStringView Value)
{
    qsizetype n = Value.size() + 4;
    for (QStringView part : Name)
        n += part.size();
    Reserve(R, n);
    R += u' ';
    for (QStringView part : Name)
        R += part;
    R += u"=\"";
    R += Value;
    R += u'"';
}

// A line's colour, style and width, named Frame.Color or Frame.Line.Color.
void AppendLineDiff(QString& R, const TrpFrameLine& L, const TrpFrameLine& AL, const TrpFrame& Owner,
    const TrpFrame& AOwner, QStringView Frame, QStringView Line)
{
    const QStringView dot = Line.isEmpty() ? QStringView() : QStringView(u".");
    const bool colorSet = Owner.Color() != AOwner.Color();
    if (colorSet ? L.Color() != Owner.Color() : L.Color() != AL.Color())
        PutParts(R, { Frame, dot, Line, u".Color" }, QString::number(int32_t(L.Color())));
    const bool styleSet = Owner.Style() != AOwner.Style();
    if (styleSet ? L.Style() != Owner.Style() : L.Style() != AL.Style())
        PutParts(R, { Frame, dot, Line, u".Style" }, QString::number(int(L.Style())));
    const bool widthSet = Differ(Owner.Width(), AOwner.Width());
    if (widthSet ? Differ(L.Width(), Owner.Width()) : Differ(L.Width(), AL.Width()))
        PutParts(R, { Frame, dot, Line, u".Width" }, TrpXMLSerializer::FloatToText(L.Width()));
}

// ` u="..."`: a memo's lines joined by CR LF as UTF-8 bytes, one character
// per byte, escaped. A single plain ASCII line, the usual printed value,
// is already in that form and goes in without conversions.
void PutMemoText(QString& R, const QStringList& Lines)
{
    if (Lines.size() <= 1) {
        const QStringView line = Lines.isEmpty() ? QStringView() : QStringView(Lines.front());
        const bool plain = std::all_of(line.begin(), line.end(), [](QChar c) {
            const char16_t u = c.unicode();
            return u >= 0x20 && u < 0x80 && u != '"' && u != '&' && u != '<' && u != '>';
        });
        if (plain) {
            PutParts(R, { u"u" }, line);
            return;
        }
    }
    PutParts(R, { u"u" }, rpStrToXML(QString::fromLatin1(Lines.join(QStringLiteral("\r\n")).toUtf8())));
}

} // namespace

QString TrpFrameLine::Diff(
    const TrpFrameLine* ALine, const TrpFrame* Owner, const TrpFrame* AOwner, const QString& Add) const
{
    QString r;
    AppendLineDiff(r, *this, *ALine, *Owner, *AOwner, Add, QStringView());
    return r;
}

QString TrpFrame::Diff(const TrpFrame* AFrame, const QString& Add) const
{
    static const TrpFrame none;
    const TrpFrame& a = AFrame ? *AFrame : none;
    QString r;
    if (*this == a)
        return r; // the usual case, and every comparison below would agree
    if (Color() != a.Color())
        PutParts(r, { Add, u".Color" }, QString::number(int32_t(Color())));
    if (DropShadow() != a.DropShadow())
        PutParts(r, { Add, u".DropShadow" }, DropShadow() ? u"1" : u"0");
    if (ShadowColor() != a.ShadowColor())
        PutParts(r, { Add, u".ShadowColor" }, QString::number(int32_t(ShadowColor())));
    if (Differ(ShadowWidth(), a.ShadowWidth()))
        PutParts(r, { Add, u".ShadowWidth" }, TrpXMLSerializer::FloatToText(ShadowWidth()));
    if (Style() != a.Style())
        PutParts(r, { Add, u".Style" }, QString::number(int(Style())));
    if (Typ() != a.Typ())
        PutParts(r, { Add, u".Typ" }, QString::number(Typ().toInt()));
    if (Differ(Width(), a.Width()))
        PutParts(r, { Add, u".Width" }, TrpXMLSerializer::FloatToText(Width()));
    AppendLineDiff(r, FLeftLine, *a.LeftLine(), *this, a, Add, u"LeftLine");
    AppendLineDiff(r, FTopLine, *a.TopLine(), *this, a, Add, u"TopLine");
    AppendLineDiff(r, FRightLine, *a.RightLine(), *this, a, Add, u"RightLine");
    AppendLineDiff(r, FBottomLine, *a.BottomLine(), *this, a, Add, u"BottomLine");
    return r;
}

QString TrpCustomFill::Diff(const TrpCustomFill* AFill, const QString& Add) const
{
    // A fill's published values, in table order, are exactly the values its
    // difference carries.
    const TrpCustomFill* a = AFill && AFill->FillType() == FillType() ? AFill : nullptr;
    QString r;
    if (a && Equals(*a))
        return r;
    for (const TrpPropInfo* p : ClassInfo().Props()) {
        if (p->Kind == TrpPropKind::Float) {
            const Extended v = p->GetFloat(*this);
            if (!a || Differ(v, p->GetFloat(*a)))
                PutParts(r, { Add, u".", p->Name }, TrpXMLSerializer::FloatToText(v));
        } else if (p->GetOrd) {
            const int64_t v = p->GetOrd(*this);
            if (!a || v != p->GetOrd(*a))
                PutParts(r, { Add, u".", p->Name },
                    QString::number(p->Kind == TrpPropKind::Integer ? int64_t(int32_t(v)) : v));
        }
    }
    return r;
}

QString TrpHyperlink::Diff(const TrpHyperlink* AHyperlink, const QString& Add) const
{
    static const TrpHyperlink none;
    const TrpHyperlink& a = AHyperlink ? *AHyperlink : none;
    QString r;
    if (Kind() != a.Kind())
        PutParts(r, { Add, u".Kind" }, QString::number(int(Kind())));
    const struct {
        QStringView Name;
        const QString TrpHyperlink::*Field;
    } texts[] = { { u".DetailReport", &TrpHyperlink::FDetailReport },
        { u".DetailPage", &TrpHyperlink::FDetailPage },
        { u".ReportVariable", &TrpHyperlink::FReportVariable },
        { u".TabCaption", &TrpHyperlink::FTabCaption }, { u".Value", &TrpHyperlink::FValue },
        { u".ValuesSeparator", &TrpHyperlink::FValuesSeparator } };
    for (const auto& t : texts)
        if (this->*t.Field != a.*t.Field)
            PutParts(r, { Add, t.Name }, rpStrToXML(this->*t.Field));
    return r;
}

// --------------------------------------------------------------- components

QString TrpComponent::BaseDiff(const TrpComponent& A) const
{
    QString r;
    if (Differ(Left(), A.Left()))
        PutFloat(r, QStringLiteral("l"), Left());
    // A band's top is always written: the engine places every band anew.
    if (IsBand(this) || Differ(Top(), A.Top()))
        PutFloat(r, QStringLiteral("t"), Top());
    // An auto-width memo sets its width from its text when drawn.
    if (Differ(Width(), A.Width())
        && !(ClassInfo().InheritsFrom(TrpCustomMemoView::StaticClassInfo())
            && static_cast<const TrpCustomMemoView*>(this)->AutoWidth()))
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
        PutMemoText(r, Memo());
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
    if (FPictureChanged) {
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
