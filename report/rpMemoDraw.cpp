// A memo's use of the shared text layout: its height and width for
// stretching and auto width, cutting its text into parts for band
// splitting, and the text rectangle inside its frame.
//
// Every operation here holds the text layout's process-wide lock for its
// whole use of the layout object and leaves nothing behind in it.
#include "rpMemoDraw.h"
#include "rpGraphicUtils.h"

TrpDrawText* TrpReport::DrawText()
{
    if (!FDrawText)
        FDrawText = std::make_unique<TrpDrawText>();
    return FDrawText.get();
}

TrpDrawText& rpDrawTextOf(const TrpComponent& Component)
{
    TrpReport* r = Component.Report();
    return r ? *r->DrawText() : TrpDrawText::Global();
}

void rpSetupDrawText(const TrpCustomMemoView& Memo, TrpDrawText& Text)
{
    Text.SetFont(*Memo.Font());
    Text.SetOptions(Memo.WordWrap(), Memo.AllowHTMLTags(), Memo.RTLReading(), Memo.WordBreak(),
        Memo.Clipped(), Memo.Wysiwyg(), Memo.Rotation());
    Text.SetGaps(Memo.ParagraphGap(), Memo.CharSpacing(), Memo.LineSpacing());
    Text.SetUseDefaultCharset(Memo.UseDefaultCharset());
    Text.SetMonoFont(Memo.DrawAsMask());
}

TrpDeviceRect rpDeviceRect(
    const TrpView& View, Extended ScaleX, Extended ScaleY, Extended OffsetX, Extended OffsetY)
{
    TrpDeviceRect d;
    const Extended left = View.AbsLeft(), top = View.AbsTop();
    d.X = int(rpRound(OffsetX + ScaleX * left));
    d.Y = int(rpRound(OffsetY + ScaleY * top));
    d.X1 = int(rpRound(OffsetX + ScaleX * (left + View.Width())));
    d.Y1 = int(rpRound(OffsetY + ScaleY * (top + View.Height())));
    const TrpFrame* f = View.Frame();
    if (f->DropShadow()) {
        d.X1 -= int(rpRound(ScaleX * f->ShadowWidth()));
        d.Y1 -= int(rpRound(ScaleY * f->ShadowWidth()));
    }
    d.FrameWidth = int(rpRound(ScaleX * f->Width()));
    return d;
}

QRect rpMemoTextRect(const TrpCustomMemoView& Memo, const TrpDeviceRect& D, Extended ScaleX, Extended ScaleY)
{
    const TrpFrame* f = Memo.Frame();
    const Extended w = f->Width();
    const TrpFrameTypes typ = f->Typ();
    const int o = int(rpRound(ScaleX * Memo.GapX()));
    const int r = int(rpRound(ScaleY * Memo.GapY()));
    int left = D.X + o, top = D.Y + r, right = D.X1 - o + 1, bottom = D.Y1 - r + 1;
    if (typ.testFlag(ftLeft))
        left += int(rpRound((ScaleX * w - 1) / 2));
    if (typ.testFlag(ftTop))
        top += int(rpRound((ScaleY * w - 1) / 2));
    if (typ.testFlag(ftRight))
        right -= int(rpRound(ScaleX * w / 2));
    if (typ.testFlag(ftBottom))
        bottom -= int(rpRound(ScaleY * w / 2));
    return QRect(left, top, right - left, bottom - top);
}

Extended rpMemoVerticalInsets(const TrpCustomMemoView& Memo)
{
    const TrpFrame* f = Memo.Frame();
    const Extended w = f->Width();
    Extended h = 2 * Memo.GapY();
    if (f->Typ().testFlag(ftTop))
        h += (w - 1) / 2;
    if (f->Typ().testFlag(ftBottom))
        h += w / 2;
    if (f->DropShadow())
        h += f->ShadowWidth();
    return h;
}

Extended rpMemoHorizontalInsets(const TrpCustomMemoView& Memo)
{
    const TrpFrame* f = Memo.Frame();
    const Extended w = f->Width();
    Extended h = 2 * Memo.GapX();
    if (f->Typ().testFlag(ftLeft))
        h += (w - 1) / 2;
    if (f->Typ().testFlag(ftRight))
        h += w / 2;
    if (f->DropShadow())
        h += f->ShadowWidth();
    return h;
}

namespace {

// The text rectangle at scale 1 and offset 0, or a very large one when the
// memo takes its width from its text.
QRect UnscaledTextRect(const TrpCustomMemoView& Memo, bool Unbounded)
{
    if (Unbounded)
        return QRect(0, 0, 10000, 10000);
    return rpMemoTextRect(Memo, rpDeviceRect(Memo, 1, 1, 0, 0), 1, 1);
}

} // namespace

Extended TrpCustomMemoView::CalcHeight()
{
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    rpSetupDrawText(*this, t);
    const QRect r = UnscaledTextRect(*this, AutoWidth());
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(Memo());
    return Extended(rpRound(t.CalcHeight() + rpMemoVerticalInsets(*this)));
}

Extended TrpCustomMemoView::CalcWidth()
{
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    rpSetupDrawText(*this, t);
    const QRect r = UnscaledTextRect(*this, true);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(Memo());
    return Extended(rpRound(t.CalcWidth() + rpMemoHorizontalInsets(*this)));
}

qsizetype TrpCustomMemoView::FitLength(const QString& AText)
{
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    rpSetupDrawText(*this, t);
    const QRect r = UnscaledTextRect(*this, false);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(AText.split(QStringLiteral("\r\n")));
    bool paraBreak = false;
    const QString rest = t.GetOutBoundsText(paraBreak).join(QStringLiteral("\r\n"));
    // What does not fit is the text's tail; a line broken inside a word
    // keeps its first part here.
    if (rest.isEmpty() || !AText.endsWith(rest))
        return rest.isEmpty() ? AText.size() : AText.size() - std::min(AText.size(), rest.size());
    return AText.size() - rest.size();
}

void TrpCustomMemoView::InitPart()
{
    PartMemo = Memo();
    SetFirstParaBreak(false);
    SetLastParaBreak(false);
}

Extended TrpCustomMemoView::DrawPart()
{
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    rpSetupDrawText(*this, t);
    const QRect r = UnscaledTextRect(*this, false);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(PartMemo, FirstParaBreak());
    bool paraBreak = false;
    SetMemo(t.GetInBoundsText());
    PartMemo = t.GetOutBoundsText(paraBreak);
    SetLastParaBreak(paraBreak);
    const Extended unused = t.UnusedSpace();
    return unused == 0 ? Height() : unused;
}

QStringList TrpCustomMemoView::WrapText(bool WrapWords)
{
    if (!WrapWords) {
        if (!AllowHTMLTags())
            return Memo();
        QStringList out;
        for (const QString& s : Memo())
            out += TrpDrawText::DeleteTags(s);
        return out;
    }
    TrpDrawTextLocker lock;
    TrpDrawText& t = rpDrawTextOf(*this);
    rpSetupDrawText(*this, t);
    const QRect r = UnscaledTextRect(*this, false);
    t.SetDimensions(1, 1, 1, r, r);
    t.SetText(Memo());
    return t.WrappedText();
}
