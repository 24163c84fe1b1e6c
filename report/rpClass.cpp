// Report object model: the component tree, its operations and the nested
// records. The published-property tables are kept apart, one per class.
//
// Invariants:
//   1. Every child's Parent() is the object whose Objects() holds it, and
//      the parent chain has no cycle (SetParent refuses to create one).
//   2. A report's name index holds, upper-cased, the name of every object
//      of the report that was attached, named or renamed while in it, and
//      loses it when the object is renamed or detached. Destructors never
//      touch the index: an object leaves the tree by Detach first.
//   3. While ParentFont is true the font equals the parent's font.
#include "rpClass.h"

#include "rpAssign.h"

#include "rpCustomPreview.h"
#include "rpCustomPreviewPages.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpGraphicUtils.h"
#include "rpPaperTable.h"
#include "rpReportScript.h"
#include "rpRes.h"
#include "rpXMLSerializer.h"

#include <QDateTime>
#include <algorithm>
#include <cmath>

// -------------------------------------------------------------------- font

TrpFont& TrpFont::operator=(const TrpFont& Other)
{
    Assign(Other);
    return *this;
}

void TrpFont::Assign(const TrpFont& Other)
{
    if (this == &Other)
        return;
    FName = Other.FName;
    FSize = Other.FSize;
    FColor = Other.FColor;
    FStyle = Other.FStyle;
    FCharset = Other.FCharset;
    FPixelsPerInch = Other.FPixelsPerInch;
    Changed();
}

bool TrpFont::operator==(const TrpFont& O) const
{
    return FName == O.FName && FSize == O.FSize && FColor == O.FColor && FStyle == O.FStyle
        && FCharset == O.FCharset;
}

void TrpFont::SetName(const QString& Value)
{
    FName = Value;
    Changed();
}
void TrpFont::SetSize(int Value)
{
    FSize = Value;
    Changed();
}
void TrpFont::SetColor(TrpColor Value)
{
    FColor = Value;
    Changed();
}
void TrpFont::SetStyle(TrpFontStyles Value)
{
    FStyle = Value;
    Changed();
}
void TrpFont::SetCharset(int Value)
{
    FCharset = Value;
    Changed();
}
void TrpFont::Changed()
{
    if (OnChange)
        OnChange();
}

// ------------------------------------------------------------------- frame

void TrpFrame::Assign(const TrpFrame& O)
{
    FTyp = O.FTyp;
    FColor = O.FColor;
    FStyle = O.FStyle;
    FWidth = O.FWidth;
    FDropShadow = O.FDropShadow;
    FShadowWidth = O.FShadowWidth;
    FShadowColor = O.FShadowColor;
    FLeftLine = O.FLeftLine;
    FTopLine = O.FTopLine;
    FRightLine = O.FRightLine;
    FBottomLine = O.FBottomLine;
}

bool TrpFrame::operator==(const TrpFrame& O) const
{
    return FTyp == O.FTyp && FColor == O.FColor && FStyle == O.FStyle && FWidth == O.FWidth
        && FDropShadow == O.FDropShadow && FShadowWidth == O.FShadowWidth && FShadowColor == O.FShadowColor
        && FLeftLine == O.FLeftLine && FTopLine == O.FTopLine && FRightLine == O.FRightLine
        && FBottomLine == O.FBottomLine;
}

void TrpFrame::SetColor(TrpColor Value)
{
    FColor = Value;
    for (TrpFrameLine* l : { &FLeftLine, &FTopLine, &FRightLine, &FBottomLine })
        l->SetColor(Value);
}

void TrpFrame::SetStyle(TrpFrameStyle Value)
{
    FStyle = Value;
    for (TrpFrameLine* l : { &FLeftLine, &FTopLine, &FRightLine, &FBottomLine })
        l->SetStyle(Value);
}

void TrpFrame::SetWidth(Extended Value)
{
    FWidth = Value;
    for (TrpFrameLine* l : { &FLeftLine, &FTopLine, &FRightLine, &FBottomLine })
        l->SetWidth(Value);
}

// ------------------------------------------------------------------- fills

bool TrpBrushFill::Paints() const
{
    // The default brush (no back colour, black, solid) leaves the background alone.
    return !(BackColor() == clNone && ForeColor() == clBlack && Style() == bsSolid)
        && !(BackColor() == clNone && Style() == bsClear);
}

bool TrpBrushFill::Equals(const TrpCustomFill& Other) const
{
    auto* o = dynamic_cast<const TrpBrushFill*>(&Other);
    return o && o->BackColor() == BackColor() && o->ForeColor() == ForeColor() && o->Style() == Style();
}

bool TrpGradientFill::Equals(const TrpCustomFill& Other) const
{
    auto* o = dynamic_cast<const TrpGradientFill*>(&Other);
    return o && o->StartColor() == StartColor() && o->EndColor() == EndColor()
        && o->GradientStyle() == GradientStyle();
}

bool TrpGlassFill::Equals(const TrpCustomFill& Other) const
{
    auto* o = dynamic_cast<const TrpGlassFill*>(&Other);
    return o && o->Color() == Color() && o->Blend() == Blend() && o->Hatch() == Hatch()
        && o->Orientation() == Orientation();
}

std::unique_ptr<TrpCustomFill> rpCreateFill(TrpFillType Kind)
{
    switch (Kind) {
    case ftGradient:
        return std::make_unique<TrpGradientFill>();
    case ftGlass:
        return std::make_unique<TrpGlassFill>();
    case ftBrush:
        break;
    }
    return std::make_unique<TrpBrushFill>();
}

TrpHighlight::TrpHighlight()
    : FFill(rpCreateFill(rpDefaultFillType))
{
}

void TrpHighlight::SetFillType(TrpFillType Value)
{
    if (FillType() != Value)
        FFill = rpCreateFill(Value);
}

// --------------------------------------------------------------- component

TrpComponent::TrpComponent()
{
    FFont.OnChange = [this] {
        if (!FUpdatingFont)
            HandleFontChange();
    };
}

TrpComponent::~TrpComponent() = default;

TrpComponent* TrpComponent::InsertChild(std::unique_ptr<TrpComponent> Child, int Index)
{
    Q_ASSERT(Child && !Child->FParent);
    TrpComponent* raw = Child.get();
    raw->FParent = this;
    if (Index < 0 || Index > Count())
        FObjects.push_back(std::move(Child));
    else
        FObjects.insert(FObjects.begin() + Index, std::move(Child));
    if (TrpReport* r = Report())
        raw->IndexSubtree(r);
    if (raw->FParentFont)
        raw->ApplyParentFont();
    return raw;
}

std::unique_ptr<TrpComponent> TrpComponent::Detach()
{
    if (!FParent)
        return nullptr;
    if (TrpReport* r = Report())
        UnindexSubtree(r);
    auto& siblings = FParent->FObjects;
    auto it
        = std::find_if(siblings.begin(), siblings.end(), [this](const auto& p) { return p.get() == this; });
    Q_ASSERT(it != siblings.end());
    std::unique_ptr<TrpComponent> self = std::move(*it);
    siblings.erase(it);
    FParent = nullptr;
    return self;
}

void TrpComponent::SetParent(TrpComponent* Value)
{
    if (Value == FParent)
        return;
    if (!FParent || !Value)
        return; // ownership moves only between parents (see the header)
    for (const TrpComponent* p = Value; p; p = p->FParent)
        if (p == this)
            return; // would make the object its own ancestor
    std::unique_ptr<TrpComponent> self = Detach();
    Value->InsertChild(std::move(self));
}

void TrpComponent::DeleteObject(TrpComponent* Child)
{
    if (Child && Child->FParent == this)
        Child->Detach(); // the returned owner destroys it
}

void TrpComponent::MoveObject(TrpComponent* Child, int Index)
{
    auto it
        = std::find_if(FObjects.begin(), FObjects.end(), [Child](const auto& p) { return p.get() == Child; });
    if (it == FObjects.end())
        return;
    std::unique_ptr<TrpComponent> owned = std::move(*it);
    FObjects.erase(it);
    Index = std::clamp(Index, 0, Count());
    FObjects.insert(FObjects.begin() + Index, std::move(owned));
}

void TrpComponent::Clear()
{
    if (TrpReport* r = Report())
        for (auto& c : FObjects)
            c->UnindexSubtree(r);
    FObjects.clear();
}

void TrpComponent::CollectAll(std::vector<TrpComponent*>& List) const
{
    for (const auto& c : FObjects) {
        List.push_back(c.get());
        c->CollectAll(List);
    }
}

const std::vector<TrpComponent*>& TrpComponent::AllObjects()
{
    FAllObjects.clear();
    CollectAll(FAllObjects);
    return FAllObjects;
}

TrpComponent* TrpComponent::FindObject(const QString& AName) const
{
    if (AName.isEmpty())
        return nullptr;
    if (TrpReport* r = Report()) {
        // Names are unique in a report, so the index holds the only
        // candidate; it is ours when it lies below this object.
        TrpComponent* c = r->FindByName(AName);
        if (!c)
            return nullptr;
        for (const TrpComponent* p = c->FParent; p; p = p->FParent)
            if (p == this)
                return c;
        // A subtree given to the report already named may repeat a name the
        // index holds for another object; only then is the subtree walked.
    }
    return FindObjectBelow(AName);
}

TrpComponent* TrpComponent::FindObjectBelow(const QString& AName) const
{
    for (const auto& c : FObjects) {
        if (c->FName.compare(AName, Qt::CaseInsensitive) == 0)
            return c.get();
        if (TrpComponent* d = c->FindObjectBelow(AName))
            return d;
    }
    return nullptr;
}

TrpPage* TrpComponent::Page() const
{
    for (const TrpComponent* p = this; p; p = p->FParent)
        if (auto* page = dynamic_cast<const TrpPage*>(p))
            return const_cast<TrpPage*>(page);
    return nullptr;
}

TrpReport* TrpComponent::Report() const
{
    for (const TrpComponent* p = this; p; p = p->FParent)
        if (p->IsReport())
            return static_cast<TrpReport*>(const_cast<TrpComponent*>(p));
    return nullptr;
}

TrpComponent* TrpComponent::TopParent() const
{
    const TrpComponent* p = this;
    while (p->FParent)
        p = p->FParent;
    return const_cast<TrpComponent*>(p);
}

void TrpComponent::IndexSubtree(TrpReport* Report)
{
    if (!Report->FDestroying && !FName.isEmpty() && this != Report) {
        const QString key = FName.toUpper();
        if (!Report->FNameIndex.contains(key))
            Report->FNameIndex.insert(key, this);
    }
    for (auto& c : FObjects)
        c->IndexSubtree(Report);
}

void TrpComponent::UnindexSubtree(TrpReport* Report)
{
    if (!FName.isEmpty()) {
        auto it = Report->FNameIndex.find(FName.toUpper());
        if (it != Report->FNameIndex.end() && it.value() == this)
            Report->FNameIndex.erase(it);
    }
    for (auto& c : FObjects)
        c->UnindexSubtree(Report);
}

void TrpComponent::SetName(const QString& Value)
{
    if (FName.compare(Value, Qt::CaseInsensitive) == 0) {
        if (FName.isEmpty())
            FName = Value;
        return;
    }
    if (FAncestor && !FIsLoading)
        throw TrpReportError(rpGet(QStringLiteral("clCantRen")).replace(QStringLiteral("%s"), FName));
    // Names are unique inside a report only: a tree without one (a page the
    // prepared pages rebuild) may hold the same name once per row.
    TrpReport* report = Report();
    if (report && !Value.isEmpty()) {
        const TrpComponent* other = report->FindByName(Value);
        if (other && other != this)
            throw TrpReportError(rpGet(QStringLiteral("prDupl")));
    }
    if (report && report != this)
        UnindexSubtree(report), FName = Value, IndexSubtree(report);
    else
        FName = Value;
}

QString TrpComponent::BaseName() const
{
    if (!FBaseName.isEmpty())
        return FBaseName;
    if (dynamic_cast<const TrpPage*>(this))
        return QStringLiteral("Page");
    QString n = ClassName();
    if (n.startsWith(QStringLiteral("Trp")))
        n.remove(0, 3);
    n.remove(QStringLiteral("View"));
    return n;
}

void TrpComponent::CreateUniqueName()
{
    const QString base = BaseName();
    TrpReport* report = Report();
    const TrpComponent* top = TopParent();
    for (int i = 1;; ++i) {
        const QString candidate = base + QString::number(i);
        const TrpComponent* other = report ? report->FindByName(candidate) : top->FindObject(candidate);
        if (!other || other == this) {
            SetName(candidate);
            return;
        }
    }
}

void TrpComponent::SetLeft(Extended Value)
{
    FLeft = Value;
}
void TrpComponent::SetTop(Extended Value)
{
    FTop = Value;
}
void TrpComponent::SetWidth(Extended Value)
{
    FWidth = Value;
}
void TrpComponent::SetHeight(Extended Value)
{
    FHeight = Value;
}

void TrpComponent::SetBounds(Extended ALeft, Extended ATop, Extended AWidth, Extended AHeight)
{
    SetLeft(ALeft);
    SetTop(ATop);
    SetWidth(AWidth);
    SetHeight(AHeight);
}

Extended TrpComponent::AbsLeft() const
{
    Extended r = 0;
    for (const TrpComponent* p = this; p && !dynamic_cast<const TrpDialogPage*>(p); p = p->FParent)
        r += p->FLeft;
    return r;
}

Extended TrpComponent::AbsTop() const
{
    Extended r = 0;
    for (const TrpComponent* p = this; p && !dynamic_cast<const TrpDialogPage*>(p); p = p->FParent)
        r += p->FTop;
    return r;
}

void TrpComponent::SetFont(const TrpFont& Value)
{
    FFont.Assign(Value); // HandleFontChange clears ParentFont
}

void TrpComponent::SetParentFont(bool Value)
{
    FParentFont = Value;
    if (Value)
        ApplyParentFont();
}

void TrpComponent::SetVisible(bool Value)
{
    FVisible = Value;
}

void TrpComponent::ApplyParentFont()
{
    if (FParent) {
        FUpdatingFont = true;
        FFont.Assign(FParent->FFont);
        FUpdatingFont = false;
    }
    for (auto& c : FObjects)
        if (c->FParentFont)
            c->ApplyParentFont();
}

void TrpComponent::HandleFontChange()
{
    FParentFont = false;
    for (auto& c : FObjects)
        if (c->FParentFont)
            c->ApplyParentFont();
}

void TrpComponent::SaveToStream(QIODevice& Stream, bool SaveChildren)
{
    TrpXMLSerializer s(&Stream);
    s.WriteRootComponent(this, SaveChildren);
}

void TrpComponent::LoadFromStream(QIODevice& Stream)
{
    Clear();
    TrpXMLSerializer s(&Stream);
    s.ReadRootComponent(this);
    if (TrpReport* r = Report())
        for (const QString& e : s.Errors())
            r->AddError(e);
}

void TrpComponent::Assign(const TrpComponent& Source, bool CopyData)
{
    if (&Source != this)
        rpAssignProps(*this, Source, CopyData);
}

TrpPersistentComponent* TrpComponent::AdoptChild(std::unique_ptr<TrpPersistentComponent> Child)
{
    auto* c = dynamic_cast<TrpComponent*>(Child.get());
    if (!c)
        return nullptr;
    Child.release();
    return InsertChild(std::unique_ptr<TrpComponent>(c));
}

TrpPersistentComponent* TrpComponent::FindComponent(const QString& Name) const
{
    if (TrpReport* r = Report())
        return r->FindByName(Name);
    // Outside a report a name may repeat; the first in tree order answers.
    const TrpComponent* top = TopParent();
    if (top->FName.compare(Name, Qt::CaseInsensitive) == 0 && !Name.isEmpty())
        return const_cast<TrpComponent*>(top);
    return top->FindObject(Name);
}

// Views inside a band or page, by their Align. Vertical overlap allows
// 1e-4 of tolerance so that touching objects do not count as overlapping.
void TrpComponent::AlignChildren()
{
    constexpr Extended Tolerance = 1e-4L;
    std::vector<TrpView*> views;
    for (auto& c : FObjects)
        if (auto* v = dynamic_cast<TrpView*>(c.get()); v && v->Align() != baNone)
            views.push_back(v);
    if (views.empty())
        return;
    std::vector<TrpView*> all;
    for (auto& c : FObjects)
        if (auto* v = dynamic_cast<TrpView*>(c.get()))
            all.push_back(v);
    std::stable_sort(all.begin(), all.end(), [](TrpView* a, TrpView* b) { return a->Left() < b->Left(); });
    auto overlapY = [&](const TrpView* a, const TrpView* b) {
        return a->Top() < b->Top() + b->Height() - Tolerance && b->Top() < a->Top() + a->Height() - Tolerance;
    };
    // Right edge of the nearest view left of v that overlaps it vertically.
    auto leftLimit = [&](const TrpView* v) {
        Extended limit = 0;
        for (const TrpView* o : all)
            if (o != v && overlapY(o, v) && o->Left() + o->Width() <= v->Left() + Tolerance)
                limit = std::max(limit, o->Left() + o->Width());
        return limit;
    };
    auto rightLimit = [&](const TrpView* v) {
        Extended limit = Width();
        for (const TrpView* o : all)
            if (o != v && overlapY(o, v) && o->Left() >= v->Left() + v->Width() - Tolerance)
                limit = std::min(limit, o->Left());
        return limit;
    };
    for (TrpView* v : all)
        if (v->Align() == baLeft || v->Align() == baWidth)
            v->SetLeft(leftLimit(v));
    for (auto it = all.rbegin(); it != all.rend(); ++it)
        if ((*it)->Align() == baRight)
            (*it)->SetLeft(rightLimit(*it) - (*it)->Width());
    for (TrpView* v : all) {
        switch (v->Align()) {
        case baWidth:
            v->SetWidth(rightLimit(v) - v->Left());
            break;
        case baCenter:
            v->SetLeft((Width() - v->Width()) / 2);
            break;
        case baBottom:
            v->SetTop(Height() - v->Height());
            break;
        case baClient:
            v->SetBounds(0, 0, Width(), Height());
            break;
        default:
            break;
        }
    }
}

// -------------------------------------------------------- report component

void TrpReportComponent::BeforePrint()
{
    SetOriginalRect({ Left(), Top(), Width(), Height() });
}

void TrpReportComponent::AfterPrint()
{
    const TrpRect& r = OriginalRect();
    SetLeft(r.Left);
    SetTop(r.Top);
    SetWidth(r.Right);
    SetHeight(r.Bottom);
}

TrpRect TrpReportComponent::GetRealBounds() const
{
    return { AbsLeft(), AbsTop(), AbsLeft() + Width(), AbsTop() + Height() };
}

// -------------------------------------------------------------------- view

TrpView::TrpView()
    : FFill(rpCreateFill(rpDefaultFillType))
{
    SetComponentStyle(ComponentStyle() | csDefaultDiff);
}
TrpView::~TrpView() = default;

void TrpView::SetDataSetName(const QString& Value)
{
    TrpReport* r = Report();
    FDataSet.SetName(Value, r ? r->FindDataSet(Value) : nullptr);
}

void TrpView::SetFillType(TrpFillType Value)
{
    if (FillType() != Value)
        FFill = rpCreateFill(Value);
}

TrpColor TrpView::Color() const
{
    if (auto* b = dynamic_cast<const TrpBrushFill*>(FFill.get()))
        return b->BackColor();
    return clNone;
}

void TrpView::SetColor(TrpColor Value)
{
    if (auto* b = dynamic_cast<TrpBrushFill*>(FFill.get()))
        b->SetBackColor(Value);
}

void TrpView::SetPrintable(bool Value)
{
    TrpVisibilityTypes v = Visibility();
    v.setFlag(vsPrint, Value);
    SetVisibility(v);
}

// -------------------------------------------------------------------- memo

TrpCustomMemoView::TrpCustomMemoView()
{
    SetComponentStyle((ComponentStyle() & ~TrpComponentStyle(csDefaultDiff)) | csHandlesNestedProperties);
}
TrpCustomMemoView::~TrpCustomMemoView() = default;

void TrpCustomMemoView::SetText(const QString& Value)
{
    QString t = Value;
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    FMemo = t.isEmpty() ? QStringList() : t.split(u'\n');
}

void TrpCustomMemoView::SetRotation(int Value)
{
    FRotation = Value % 360;
    if (FRotation < 0)
        FRotation += 360;
}

void TrpCustomMemoView::Assign(const TrpComponent& Source, bool CopyData)
{
    TrpView::Assign(Source, CopyData);
    const auto* memo = dynamic_cast<const TrpCustomMemoView*>(&Source);
    if (!memo || memo == this)
        return;
    FFormats.clear();
    for (const auto& f : memo->FFormats) {
        FFormats.push_back(std::make_unique<TrpFormat>());
        rpAssignProps(*FFormats.back(), *f);
    }
    FHighlights.clear();
    for (const auto& h : memo->FHighlights) {
        FHighlights.push_back(std::make_unique<TrpHighlight>());
        rpAssignProps(*FHighlights.back(), *h);
    }
}

TrpFormat* TrpCustomMemoView::DisplayFormat()
{
    if (FFormats.empty())
        FFormats.push_back(std::make_unique<TrpFormat>());
    return FFormats.front().get();
}

TrpHighlight* TrpCustomMemoView::Highlight()
{
    if (FHighlights.empty())
        FHighlights.push_back(std::make_unique<TrpHighlight>());
    return FHighlights.front().get();
}

// ----------------------------------------------------------------- picture

void TrpPictureView::SetPicture(const QString& Kind, const QByteArray& Bytes)
{
    FPictureClass = Bytes.isEmpty() ? QString() : Kind;
    FPictureBytes = Bytes;
    FPictureChanged = true;
}

QByteArray TrpPictureView::PictureData() const
{
    if (FPictureBytes.isEmpty())
        return QByteArray();
    const QByteArray kind = FPictureClass.toLatin1().left(255);
    QByteArray r;
    r.reserve(1 + kind.size() + FPictureBytes.size());
    r.append(char(uchar(kind.size())));
    r.append(kind);
    r.append(FPictureBytes);
    return r;
}

bool TrpPictureView::SetPictureData(const QByteArray& Data)
{
    ClearPicture();
    if (Data.isEmpty())
        return true;
    const int n = uchar(Data[0]);
    if (n == 0 || Data.size() < 1 + n)
        return false;
    SetPicture(QString::fromLatin1(Data.mid(1, n)), Data.mid(1 + n));
    return true;
}

// Non-published data of a picture view: the Picture.Data bytes only.
QByteArray TrpPictureView::PropData() const
{
    return PictureData();
}
void TrpPictureView::SetPropData(const QByteArray& Data)
{
    SetPictureData(Data);
}

// -------------------------------------------------------------------- band

TrpBand::TrpBand()
    : FFill(rpCreateFill(rpDefaultFillType))
{
}
TrpBand::~TrpBand() = default;

void TrpBand::SetChild(TrpChild* Value)
{
    for (const TrpBand* b = Value; b; b = b->Child())
        if (b == this)
            throw TrpReportError(rpGet(QStringLiteral("clCirRefNotAllow")));
    FChild = Value;
}

void TrpBand::SetFillType(TrpFillType Value)
{
    if (FillType() != Value)
        FFill = rpCreateFill(Value);
}

void TrpBand::CreateFillMemo()
{
    if (IsNullBand() || FFillMemo || !FFill->Paints())
        return;
    auto memo = std::make_unique<TrpMemoView>();
    memo->SetFill(*FFill);
    // The gaps are applied as the stored templates expect: left and top
    // move the memo, right and bottom shrink it.
    memo->SetBounds(FFillGap.Left(), FFillGap.Top(), Width() - FFillGap.Left() - FFillGap.Right(),
        Height() - FFillGap.Top() - FFillGap.Bottom());
    FFillMemo = static_cast<TrpMemoView*>(InsertChild(std::move(memo), 0));
}

void TrpDataBand::SetDataSetName(const QString& Value)
{
    TrpReport* r = Report();
    FDataSet.SetName(Value, r ? r->FindDataSet(Value) : nullptr);
}

void TrpDataBand::SetCurColumn(int Value)
{
    if (Value > Columns())
        Value = 1;
    if (Value < 1)
        Value = 1;
    FCurColumn = Value;
    SetLeft((ColumnWidth() + ColumnGap()) * (Value - 1));
    if (Value == 1)
        MaxY = 0;
}

// -------------------------------------------------------------------- page

bool rpPaperDimensions(int PaperSize, Extended& Width, Extended& Height)
{
    return rpGetPaperSize(PaperSize, Width, Height);
}

namespace {
// Paper dimensions are kept to 1e-8 mm.
Extended RoundPaper(Extended Value)
{
    return std::round(Value * 1e8L) / 1e8L;
}
} // namespace

TrpReportPage::TrpReportPage()
{
    UpdateDimensions();
}

void TrpReportPage::UpdateDimensions()
{
    SetWidth(Extended(rpRound(FPaperWidth * rp01cm)));
    SetHeight(Extended(rpRound(FPaperHeight * rp01cm)));
}

void TrpReportPage::SetPaperSize(int Value)
{
    FPaperSize = Value;
    Extended w, h;
    if (Value < 256 && rpPaperDimensions(Value, w, h)) {
        if (FOrientation == poLandscape)
            std::swap(w, h);
        FPaperWidth = w;
        FPaperHeight = h;
    }
    UpdateDimensions();
}

void TrpReportPage::SetPaperWidth(Extended Value)
{
    FPaperWidth = RoundPaper(Value);
    UpdateDimensions();
}

void TrpReportPage::SetPaperHeight(Extended Value)
{
    FPaperHeight = RoundPaper(Value);
    UpdateDimensions();
}

void TrpReportPage::SetSizeAndDimensions(int APaperSize, Extended APaperWidth, Extended APaperHeight)
{
    FPaperSize = APaperSize;
    FPaperWidth = RoundPaper(APaperWidth);
    FPaperHeight = RoundPaper(APaperHeight);
    UpdateDimensions();
}

void TrpReportPage::SetOrientation(TrpPrinterOrientation Value)
{
    if (FOrientation == Value)
        return;
    FOrientation = Value;
    std::swap(FPaperWidth, FPaperHeight);
    const Extended l = LeftMargin(), r = RightMargin(), t = TopMargin(), b = BottomMargin();
    if (Value == poLandscape) {
        SetLeftMargin(t);
        SetRightMargin(b);
        SetTopMargin(r);
        SetBottomMargin(l);
    } else {
        SetLeftMargin(b);
        SetRightMargin(t);
        SetTopMargin(l);
        SetBottomMargin(r);
    }
    UpdateDimensions();
}

void TrpReportPage::SetColumns(int Value)
{
    FColumns = Value;
    QStringList positions;
    if (Value > 0) {
        SetColumnWidth((FPaperWidth - LeftMargin() - RightMargin()) / Value);
        for (int i = 0; i < Value; ++i)
            positions << QString::number(double(ColumnWidth() * i), 'g', 15);
    }
    SetColumnPositions(positions);
}

void TrpReportPage::SetDefaults()
{
    // No printer is asked here: the default paper is A4 portrait.
    SetLeftMargin(10);
    SetRightMargin(10);
    SetTopMargin(10);
    SetBottomMargin(10);
    FOrientation = poPortrait;
    SetPaperSize(9);
}

Extended TrpReportPage::PrintableWidth() const
{
    return (FPaperWidth - LeftMargin() - RightMargin()) * rp01cm;
}
Extended TrpReportPage::PrintableHeight() const
{
    return (FPaperHeight - TopMargin() - BottomMargin()) * rp01cm;
}

TrpBand* TrpReportPage::FindBand(const TrpClassInfo& Class) const
{
    for (const auto& o : Objects())
        if (auto* b = dynamic_cast<TrpBand*>(o.get()); b && b->ClassInfo().InheritsFrom(Class))
            return b;
    return nullptr;
}

void TrpReportPage::SetDataSetName(const QString& Value)
{
    TrpReport* r = Report();
    FDataSet.SetName(Value, r ? r->FindDataSet(Value) : nullptr);
}

void TrpReportPage::AlignChildren()
{
    const Extended printableWidth = PrintableWidth();
    const Extended printableHeight = PrintableHeight();
    SetWidth(printableWidth);
    SetHeight(printableHeight);
    TrpComponent::AlignChildren();
    for (const auto& o : Objects()) {
        auto* band = dynamic_cast<TrpBand*>(o.get());
        if (!band)
            continue;
        if (band->Vertical()) {
            band->SetHeight(printableHeight - band->Top());
        } else if (Columns() > 1 && !band->IsNullBand() && !dynamic_cast<TrpReportSummary*>(band)
            && !dynamic_cast<TrpPageHeader*>(band) && !dynamic_cast<TrpPageFooter*>(band)
            && !dynamic_cast<TrpReportTitle*>(band) && !dynamic_cast<TrpOverlay*>(band)) {
            band->SetWidth(ColumnWidth() * rp01cm);
        } else {
            band->SetWidth(Width() - band->Left());
        }
        band->AlignChildren();
    }
    UpdateDimensions();
}

TrpDataPage::TrpDataPage()
{
    SetName(QStringLiteral("Data"));
    SetWidth(1000);
    SetHeight(1000);
}

// -------------------------------------------------------------- rect area

TrpRectArea::TrpRectArea(const TrpComponent& C)
    : X(C.AbsLeft())
    , Y(C.AbsTop())
    , X1(C.AbsLeft() + C.Width())
    , Y1(C.AbsTop() + C.Height())
{
}

// A overlaps this horizontally (vertically) by more than 1e-4 on both sides.
bool TrpRectArea::InterceptsX(const TrpRectArea& A) const
{
    return A.X < X1 - 1e-4L && A.X1 > X + 1e-4L;
}
bool TrpRectArea::InterceptsY(const TrpRectArea& A) const
{
    return A.Y < Y1 - 1e-4L && A.Y1 > Y + 1e-4L;
}

TrpRectArea TrpRectArea::InterceptX(const TrpRectArea& A) const
{
    return { std::max(X, A.X), Y, std::min(X1, A.X1), Y1 };
}

TrpRectArea TrpRectArea::InterceptY(const TrpRectArea& A) const
{
    return { X, std::max(Y, A.Y), X1, std::min(Y1, A.Y1) };
}

// --------------------------------------------------------------- report

TrpReportOptions::TrpReportOptions()
{
    // Day count from 30 December 1899.
    const QDateTime now = QDateTime::currentDateTime();
    const QDateTime epoch(QDate(1899, 12, 30), QTime(0, 0));
    const double days = double(epoch.msecsTo(now)) / 86400000.0;
    SetCreateDate(days);
    SetLastChange(days);
}

void TrpReportDataSets::Add(TrpDataSet* DataSet)
{
    if (!DataSet || Find(DataSet))
        return;
    FItems.emplace_back();
    FItems.back().FLink.SetDataSet(DataSet);
}

void TrpReportDataSets::Add(const QString& DataSetName)
{
    if (Find(DataSetName))
        return;
    FItems.emplace_back();
    FItems.back().FLink.SetName(DataSetName, rpFindDataSet(nullptr, DataSetName, FOwner));
}

TrpDataSetItem* TrpReportDataSets::Find(const TrpDataSet* DataSet)
{
    for (auto& i : FItems)
        if (i.DataSet() == DataSet)
            return &i;
    return nullptr;
}

TrpDataSetItem* TrpReportDataSets::Find(const QString& Name)
{
    for (auto& i : FItems)
        if (i.DataSetName().compare(Name, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

void TrpReportDataSets::Delete(const QString& Name)
{
    if (TrpDataSetItem* i = Find(Name))
        FItems.erase(FItems.begin() + (i - FItems.data()));
}

void TrpReportDataSets::Relink()
{
    for (auto& i : FItems)
        if (!i.DataSet()) {
            const QString name = i.DataSetName();
            i.FLink.SetName(name, rpFindDataSet(nullptr, name, FOwner));
        }
}

QStringList TrpReportDataSets::Missing() const
{
    QStringList r;
    for (const auto& i : FItems)
        if (!i.DataSet())
            r << i.DataSetName();
    return r;
}

void TrpReportDataSets::Initialize()
{
    Relink();
    for (auto& i : FItems)
        if (TrpDataSet* d = i.DataSet()) {
            d->SetReportRef(FOwner);
            d->Initialize();
        }
}

void TrpReportDataSets::Finalize()
{
    for (auto& i : FItems)
        if (TrpDataSet* d = i.DataSet())
            d->Finalize();
}

int TrpVariables::IndexOf(const QString& Name) const
{
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Name.compare(Name, Qt::CaseInsensitive) == 0)
            return int(i);
    return -1;
}

void TrpVariables::Add(const QString& Name, const QString& Value)
{
    const int i = IndexOf(Name);
    if (i >= 0)
        FItems[size_t(i)] = { FItems[size_t(i)].Name, Value, Variant() };
    else
        FItems.push_back({ Name, Value, Variant() });
}

void TrpVariables::Set(const QString& Name, const Variant& Value)
{
    if (Value.IsString()) {
        Add(Name, Value.StringRef());
        return;
    }
    const Variant kept = Value.IsEmpty() ? Variant::Null() : Value;
    QString text;
    if (kept.IsNumber() || kept.VarKind() == Variant::vkBoolean)
        text = kept.AsString();
    const int i = IndexOf(Name);
    if (i >= 0)
        FItems[size_t(i)] = { FItems[size_t(i)].Name, text, kept };
    else
        FItems.push_back({ Name, text, kept });
}

TrpVariables& rpGlobalVariables()
{
    static TrpVariables Globals;
    return Globals;
}

QString TrpVariables::Value(const QString& Name) const
{
    const int i = IndexOf(Name);
    return i >= 0 ? FItems[size_t(i)].Value : QString();
}

void TrpVariables::Delete(int Index)
{
    if (Index >= 0 && Index < Count())
        FItems.erase(FItems.begin() + Index);
}

QStringList TrpVariables::CategoryVariables(const QString& Category) const
{
    QStringList r;
    bool inside = false;
    for (const TrpVariable& v : FItems) {
        if (IsCategory(v.Name))
            inside = v.Name.mid(1).compare(Category, Qt::CaseInsensitive) == 0;
        else if (inside)
            r << v.Name;
    }
    return r;
}

TrpStyleItem::TrpStyleItem()
    : FFill(rpCreateFill(rpDefaultFillType))
{
}

void TrpStyleItem::SetFillType(TrpFillType Value)
{
    if (FillType() != Value)
        FFill = rpCreateFill(Value);
}

TrpStyleItem* TrpStyles::Add()
{
    FItems.push_back(std::make_unique<TrpStyleItem>());
    return FItems.back().get();
}

TrpStyleItem* TrpStyles::Find(const QString& Name) const
{
    for (const auto& s : FItems)
        if (s->Name().compare(Name, Qt::CaseInsensitive) == 0)
            return s.get();
    return nullptr;
}

TrpReport::TrpReport()
    : FDataSets(this)
{
    SetComponentStyle(ComponentStyle() | csHandlesNestedProperties);
    FPreviewPages = TrpCustomPreviewPages::Make(this);
}

TrpReport::~TrpReport()
{
    // A preview still showing the report must not reach its store later.
    if (FPreview)
        FPreview->ReportDestroyed(this);
    FDestroying = true;
    FNameIndex.clear();
}

void TrpReport::LoadFromStream(QIODevice& Stream)
{
    TrpComponent::LoadFromStream(Stream);
    FDataSets.Relink();
}

void TrpReport::SetPreviewPages(std::unique_ptr<TrpCustomPreviewPages> Value)
{
    FPreviewPages = std::move(Value);
}

void TrpReport::Clear()
{
    TrpComponent::Clear();
    FNameIndex.clear();
    FDataSets.Clear();
    FVariables.Clear();
    FStyles.Clear();
    FErrors.clear();
}

TrpComponent* TrpReport::FindByName(const QString& Name) const
{
    return FNameIndex.value(Name.toUpper(), nullptr);
}

void TrpReport::SetDataSetName(const QString& Value)
{
    FDataSet.SetName(Value, FindDataSet(Value));
}

TrpDataSet* TrpReport::FindDataSet(const QString& Name) const
{
    if (Name.isEmpty())
        return nullptr;
    if (FEngineOptions.UseGlobalDataSetList())
        return rpFindDataSet(nullptr, Name, this);
    for (int i = 0; i < FDataSets.Count(); ++i) {
        const TrpDataSetItem& item = FDataSets.Items(i);
        if (item.DataSetName().compare(Name, Qt::CaseInsensitive) != 0)
            continue;
        // An entry whose set went away with a reload is found again by name.
        return item.DataSet() ? item.DataSet() : rpFindDataSet(nullptr, Name, this);
    }
    return nullptr;
}

void TrpReport::AddError(const QString& Text)
{
    auto less = [](const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) < 0; };
    auto it = std::lower_bound(FErrors.begin(), FErrors.end(), Text, less);
    if (it != FErrors.end() && it->compare(Text, Qt::CaseInsensitive) == 0)
        return;
    FErrors.insert(it, Text);
}
