// The prepared pages store.
//
// Everything lives in one XML document whose root "preparedreport" holds
// "previewpages" (one item per page), "outline", "anchors",
// "logicalpagenumbers" and, while the engine keeps bands together, "cutted".
// A page item is in diff form ("page" + source page index; each child is an
// object stored as its alias name and the attributes in which it differs
// from its source object) or in whole form ("TrpReportPage", everything
// written out). Source pages are copies of the template pages; the
// dictionary maps alias names to their objects, whose BaseName holds the
// full text an object is rebuilt from.
//
// States:
//   Empty     after construction and Clear: CurPage -1, no page, no source
//             page.
//   Filling   between Initialize and Finish (the engine is Running): pages
//             are appended and objects written into page CurPage; page
//             lookups bypass the page cache, since the last page changes.
//   Complete  after Finish: pages are read through GetPage/DrawPage and
//             edited through ModifyPage, AddEmptyPage, DeletePage.
//
// Invariants (InvariantsHold):
//   1. FPagesItem is nullptr or the root's "previewpages" child.
//   2. FSourcePageTexts has one entry per source page.
//   3. Every page cache entry names an existing page, and the cache holds
//      at most max(1, PagesInCache) pages.
//   4. CurPage >= -1.
//   5. A packed page item has no children in memory; the open page (the
//      one being written) is a page item and is never packed.
//
// Memory: only the page cache holds live objects. The page being written
// (the open page) keeps its object items; every other page keeps them in
// packed form (a few bytes per object, see the page packer) and they are
// unpacked for writing or into a scratch copy for rebuilding, so a 41-row
// page costs under 4 KB instead of some 60 KB of items. With
// EngineOptions.UseFileCache the temporary file does that job instead: page
// items from the third on are moved there once the estimate of what was
// added passes MaxMemSize megabytes, and when evicted from the cache.
// Writing the whole document needs LoadAllPages first.
#include "rpPreviewPages.h"

#include "rpClass.h"
#include "rpEngine.h"
#include "rpGraphicUtils.h"
#include "rpRecordingCanvas.h"
#include "rpXMLSerializer.h"

#include <QPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

namespace {

const QString& PreviewPagesName()
{
    static const QString Name = QStringLiteral("previewpages");
    return Name;
}

std::unique_ptr<TrpComponent> CreateLike(const TrpClassInfo& Class)
{
    std::unique_ptr<TrpPersistentComponent> made = Class.Create();
    auto* component = dynamic_cast<TrpComponent*>(made.get());
    if (!component)
        throw TrpReportError(QStringLiteral("Cannot find class ") + Class.ClassName());
    made.release();
    return std::unique_ptr<TrpComponent>(component);
}

// Copies every stored property of Source into Dest (same class).
void AssignByText(TrpComponent* Dest, const TrpComponent* Source)
{
    TrpXMLSerializer serializer;
    serializer.XMLToObj(serializer.ObjToXML(Source), Dest);
}

// Gives To every published value of From (same class), nested objects
// included, references left out: what applying From's own full text to a
// new object gives, without writing and parsing that text. A prepared page
// rebuilds hundreds of objects from a few source objects this way.
void CopyProps(const TrpPersistent& From, TrpPersistent& To)
{
    for (const TrpPropInfo* p : From.ClassInfo().Props()) {
        switch (p->Kind) {
        case TrpPropKind::Integer:
        case TrpPropKind::Int64:
        case TrpPropKind::Enum:
        case TrpPropKind::Set:
            if (p->GetOrd && p->SetOrd && !p->ReadOnly)
                p->SetOrd(To, p->GetOrd(From));
            break;
        case TrpPropKind::Float:
            if (p->GetFloat && p->SetFloat && !p->ReadOnly)
                p->SetFloat(To, p->GetFloat(From));
            break;
        case TrpPropKind::String:
            if (p->GetStr && p->SetStr && !p->ReadOnly && p->Name != QLatin1String("Name"))
                p->SetStr(To, p->GetStr(From));
            break;
        case TrpPropKind::Strings:
            if (p->GetList && p->SetList && !p->ReadOnly)
                p->SetList(To, p->GetList(From));
            break;
        case TrpPropKind::Object:
            if (const TrpPersistent* nested = p->GetObj ? p->GetObj(From) : nullptr) {
                TrpPersistent* target = p->GetObj(To);
                if (!target && p->MakeObj)
                    target = p->MakeObj(To);
                if (target)
                    CopyProps(*nested, *target);
            }
            break;
        case TrpPropKind::Component:
            break;
        }
    }
}

long double FloatProp(const TrpXMLItem* Item, const QString& Name, long double Default)
{
    if (!Item->PropExists(Name))
        return Default;
    long double v = 0;
    return TrpXMLSerializer::TextToFloat(Item->Prop(Name), v) ? v : Default;
}

int IntProp(const TrpXMLItem* Item, const QString& Name)
{
    return Item->Prop(Name).toInt();
}

void CopyItem(const TrpXMLItem* Source, TrpXMLItem* Dest)
{
    Dest->SetName(Source->Name());
    Dest->SetText(Source->Text());
    for (int i = 0; i < Source->Count(); ++i)
        CopyItem(Source->Items(i), Dest->Add());
}

void ShiftPages(TrpXMLItem* Item, int By)
{
    Item->SetProp(QStringLiteral("page"), QString::number(IntProp(Item, QStringLiteral("page")) + By));
    for (int i = 0; i < Item->Count(); ++i)
        ShiftPages(Item->Items(i), By);
}

} // namespace

TrpPreviewPages::TrpPreviewPages(TrpReport* AReport)
    : TrpCustomPreviewPages(AReport)
    , FOutline(this)
{
    FXMLDoc.Root()->SetName(QStringLiteral("preparedreport"));
}

TrpPreviewPages::~TrpPreviewPages()
{
    // Live pages may point into source pages; free them first. The XML
    // document and the picture cache delete their temporary files as they go.
    FLastObjectOver = nullptr;
    FPageCache.clear();
    FSourcePages.clear();
}

// ------------------------------------------------------------ state checks

bool TrpPreviewPages::InvariantsHold() const
{
    if (FPagesItem && FPagesItem->Parent() != FXMLDoc.Root())
        return false;
    if (FSourcePageTexts.size() != FSourcePages.size())
        return false;
    const TrpXMLItem* pages = FXMLDoc.Root()->Find(PreviewPagesName()) >= 0
        ? FXMLDoc.Root()->Items(FXMLDoc.Root()->Find(PreviewPagesName()))
        : nullptr;
    const int count = pages ? pages->Count() : 0;
    if (FPageCache.size() > size_t(std::max(1, FPagesInCache)))
        return false;
    for (const TCacheEntry& e : FPageCache)
        if (e.Index < 0 || e.Index >= count)
            return false;
    if (FOpenPage && (FPacked.contains(FOpenPage) || !pages || pages->IndexOf(FOpenPage) < 0))
        return false;
    for (auto it = FPacked.cbegin(); it != FPacked.cend(); ++it)
        if (it.key()->Count() != 0)
            return false;
    return FCurPage >= -1;
}

bool TrpPreviewPages::EngineRunning() const
{
    const TrpCustomEngine* e = Engine();
    return e && e->Running();
}

bool TrpPreviewPages::FinalPassOfDouble() const
{
    const TrpCustomEngine* e = Engine();
    return e && e->FinalPass() && Report() && Report()->EngineOptions()->DoublePass();
}

bool TrpPreviewPages::UseFileCache() const
{
    return Report() && Report()->EngineOptions()->UseFileCache();
}

// ---------------------------------------------------------------- items

TrpXMLItem* TrpPreviewPages::PagesItem()
{
    if (!FPagesItem)
        FPagesItem = FXMLDoc.Root()->FindItem(PreviewPagesName());
    return FPagesItem;
}

int TrpPreviewPages::Count()
{
    return PagesItem()->Count();
}

TrpXMLItem* TrpPreviewPages::LoadedPageItem(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (Index < 0 || Index >= pages->Count())
        return nullptr;
    TrpXMLItem* item = pages->Items(Index);
    if (!item->Loaded())
        FXMLDoc.LoadItem(item);
    if (item != FOpenPage) {
        PackOpenPage();
        if (FPacked.contains(item))
            FPack.Unpack(FPacked.take(item), item);
        FOpenPage = item;
    }
    return item;
}

const TrpXMLItem* TrpPreviewPages::ReadablePageItem(int Index)
{
    TrpXMLItem* item = PagesItem()->Items(Index);
    if (!item->Loaded()) {
        FXMLDoc.LoadItem(item);
        // A page read back from a partially loaded file stays compact too.
        PackPage(item);
    }
    const auto packed = FPacked.constFind(item);
    if (packed == FPacked.cend())
        return item;
    // Read from a scratch copy so the stored page stays compact.
    FScratch = std::make_unique<TrpXMLItem>(item->Name());
    FScratch->SetText(item->Text());
    FPack.Unpack(*packed, FScratch.get());
    return FScratch.get();
}

bool TrpPreviewPages::Packing() const
{
    return !UseFileCache();
}

void TrpPreviewPages::PackPage(TrpXMLItem* Item)
{
    if (!Packing() || !Item->Loaded() || FPacked.contains(Item))
        return;
    FPacked.insert(Item, FPack.Pack(Item));
    // Children one by one: clearing an unloadable item would mark it as
    // living in the temporary file.
    while (Item->Count() > 0)
        Item->Delete(Item->Count() - 1);
    if (FOpenPage == Item)
        FOpenPage = nullptr;
}

void TrpPreviewPages::PackOpenPage()
{
    if (FOpenPage)
        PackPage(FOpenPage);
    FOpenPage = nullptr;
}

void TrpPreviewPages::ForgetPageItem(const TrpXMLItem* Item)
{
    FPacked.remove(Item);
    if (FOpenPage == Item)
        FOpenPage = nullptr;
}

void TrpPreviewPages::LoadAllPages()
{
    TrpXMLItem* pages = PagesItem();
    for (int i = 0; i < pages->Count(); ++i) {
        TrpXMLItem* item = pages->Items(i);
        if (!item->Loaded())
            FXMLDoc.LoadItem(item);
        if (FPacked.contains(item))
            FPack.Unpack(FPacked.take(item), item);
    }
    FOpenPage = nullptr;
}

TrpXMLItem* TrpPreviewPages::CurPageItem()
{
    return LoadedPageItem(FCurPage);
}

bool TrpPreviewPages::IsWholeForm(const TrpXMLItem* Item)
{
    return Item->Name() == QLatin1String("TrpReportPage") || Item->Name() == QLatin1String("TrpDMPPage");
}

int TrpPreviewPages::SourcePageIndex(const TrpXMLItem* Item) const
{
    const QString& name = Item->Name();
    if (!name.startsWith(QLatin1String("page")))
        return -1;
    bool ok = false;
    const int n = QStringView(name).mid(4).toInt(&ok);
    return ok && n >= 0 && n < int(FSourcePages.size()) ? n : -1;
}

long double TrpPreviewPages::ItemCoord(const TrpXMLItem* Item, bool Left) const
{
    const QString name = Left ? QStringLiteral("l") : QStringLiteral("t");
    const TrpComponent* source = FDictionary.GetObject(Item->Name());
    const long double fallback = source ? (Left ? source->Left() : source->Top()) : 0;
    return FloatProp(Item, name, fallback);
}

// ------------------------------------------------------------ page cache

std::vector<int> TrpPreviewPages::CachedPageIndexes() const
{
    std::vector<int> r;
    for (const TCacheEntry& e : FPageCache)
        r.push_back(e.Index);
    return r;
}

void TrpPreviewPages::EmptyPageCache()
{
    const bool unload = UseFileCache();
    TrpXMLItem* pages = PagesItem();
    for (TCacheEntry& e : FPageCache) {
        // An entry whose page was deleted is dropped without unloading.
        if (unload && e.Index >= 0 && e.Index < pages->Count() && pages->Items(e.Index)->Unloadable())
            FXMLDoc.UnloadItem(pages->Items(e.Index));
    }
    FPageCache.clear();
    FLastObjectOver = nullptr;
}

void TrpPreviewPages::EvictLast()
{
    TCacheEntry& last = FPageCache.back();
    TrpXMLItem* pages = PagesItem();
    if (UseFileCache() && last.Index < pages->Count() && pages->Items(last.Index)->Unloadable())
        FXMLDoc.UnloadItem(pages->Items(last.Index));
    FPageCache.pop_back();
    FLastObjectOver = nullptr;
}

// ------------------------------------------------------ lifecycle

void TrpPreviewPages::Clear()
{
    EmptyPageCache();
    FSourcePages.clear();
    FSourcePageTexts.clear();
    FPacked.clear();
    FPack.Clear();
    FOpenPage = nullptr;
    FXMLDoc.Clear();
    FDictionary.Clear();
    FPictureCache.Clear();
    FOutline.Reset();
    FCurPage = -1;
    FXMLSize = 0;
    FLastY = 0;
    FLastObjectOver = nullptr;
    FPagesItem = nullptr;
    Q_ASSERT(InvariantsHold());
}

void TrpPreviewPages::Initialize()
{
    FPictureCache.SetUseFileCache(FPictureCacheInFile);
    if (TrpReport* report = Report()) {
        FPictureCache.SetTempDir(report->EngineOptions()->TempDir());
        FXMLDoc.SetTempDir(report->EngineOptions()->TempDir());
        report->InternalOnProgressStart(ptRunning);
    }
}

void TrpPreviewPages::Finish()
{
    FLastY = 0;
    EmptyPageCache();
    PackOpenPage();
    for (auto& page : FSourcePages)
        page->SetOriginalComponent(nullptr);
    if (TrpReport* report = Report())
        report->InternalOnProgressStop(ptRunning);
    Q_ASSERT(InvariantsHold());
}

void TrpPreviewPages::BeginPass()
{
    FFirstPageIndex = Count() - 1;
    if (FFirstPageIndex >= 0) {
        FFirstObjectIndex = LoadedPageItem(FFirstPageIndex)->Count();
        FFirstOutlineIndex = FOutline.Root()->Count();
    }
    ResetLogicalPageNumber();
}

void TrpPreviewPages::ClearFirstPassPages()
{
    EmptyPageCache();
    TrpXMLItem* root = FXMLDoc.Root();
    if (FFirstPageIndex == -1) {
        for (int i = root->Count() - 1; i >= 0; --i) {
            const QString& name = root->Items(i)->Name();
            if (name.compare(QLatin1String("anchors"), Qt::CaseInsensitive) != 0
                && name.compare(QLatin1String("logicalpagenumbers"), Qt::CaseInsensitive) != 0)
                root->Delete(i);
        }
        FPagesItem = nullptr;
        FPacked.clear();
        FOpenPage = nullptr;
    } else {
        TrpXMLItem* page = LoadedPageItem(FFirstPageIndex);
        while (page->Count() > FFirstObjectIndex)
            page->Delete(page->Count() - 1);
        TrpXMLItem* pages = PagesItem();
        while (pages->Count() > FFirstPageIndex + 1) {
            ForgetPageItem(pages->Items(pages->Count() - 1));
            pages->Delete(pages->Count() - 1);
        }
        TrpXMLItem* outline = FOutline.Root();
        while (outline->Count() > FFirstOutlineIndex)
            outline->Delete(outline->Count() - 1);
    }
    // The current outline item may have been freed.
    FOutline.Reset();
    ResetLogicalPageNumber();
    FCurPage = FFirstPageIndex;
    FXMLSize = 0;
    Q_ASSERT(InvariantsHold());
}

// ------------------------------------------------------ source pages

void TrpPreviewPages::RegisterCopy(TrpComponent* Copy, TrpComponent* Original, int SourcePage)
{
    Original->SetOriginalComponent(Copy);
    Copy->SetOriginalComponent(Original);
    const QString base
        = dynamic_cast<TrpBand*>(Copy) ? QStringLiteral("b") : Copy->BaseName().left(1).toLower();
    const QString alias = FDictionary.AddUnique(
        base, QStringLiteral("Page") + QString::number(SourcePage) + u'.' + Copy->Name(), Copy);
    if (auto* memo = dynamic_cast<TrpCustomMemoView*>(Copy)) {
        memo->SetDataSet(nullptr);
        memo->SetDataField(QString());
    }
    if (Copy->ComponentStyle().testFlag(csDefaultDiff))
        Copy->SetBaseName(Copy->ClassName());
    else
        Copy->SetBaseName(TrpXMLSerializer().WriteComponentStr(Copy));
    Copy->SetAliasName(alias);
    Original->SetAliasName(alias);
}

void TrpPreviewPages::AddSourcePage(TrpReportPage* Page)
{
    if (!Page)
        return;
    struct TRecord {
        TrpComponent* Original;
        TrpComponent* Copy;
    };
    std::vector<TRecord> records;
    std::unique_ptr<TrpComponent> pageCopy = CreateLike(Page->ClassInfo());
    AssignByText(pageCopy.get(), Page);
    pageCopy->SetName(Page->Name());
    records.push_back({ Page, pageCopy.get() });

    // Depth first; an object that is not shown in the preview is recorded
    // without a copy and its children are not visited.
    std::function<void(TrpComponent*, TrpComponent*)> walk
        = [&](TrpComponent* Original, TrpComponent* Parent) {
              for (const auto& child : Original->Objects()) {
                  TrpComponent* o = child.get();
                  // A run starts a new set of cached pictures (Clear emptied the
                  // cache): the template's picture must be stored again on its first
                  // placement, not referred to by a stale number.
                  if (auto* picture = dynamic_cast<TrpPictureView*>(o); picture && picture->HasImage())
                      picture->SetPicture(picture->PictureClass(), picture->PictureBytes());
                  if (!o->ComponentStyle().testFlag(csPreviewVisible)) {
                      records.push_back({ o, nullptr });
                      continue;
                  }
                  std::unique_ptr<TrpComponent> copy = CreateLike(o->ClassInfo());
                  AssignByText(copy.get(), o);
                  // Pictures live in the picture cache, not in source pages.
                  if (auto* picture = dynamic_cast<TrpPictureView*>(copy.get()))
                      picture->ClearPicture();
                  copy->SetName(o->Name());
                  TrpComponent* raw = Parent->InsertChild(std::move(copy));
                  records.push_back({ o, raw });
                  walk(o, raw);
              }
          };
    walk(Page, pageCopy.get());

    pageCopy->SetOriginalComponent(Page);
    const int index = int(FSourcePages.size());
    FSourcePageTexts.push_back(TrpXMLSerializer().ObjToXML(pageCopy.get()));
    FSourcePages.emplace_back(static_cast<TrpReportPage*>(pageCopy.release()));

    for (size_t i = 1; i < records.size(); ++i)
        if (records[i].Copy)
            RegisterCopy(records[i].Copy, records[i].Original, index);
    Q_ASSERT(InvariantsHold());
}

void TrpPreviewPages::AddToSourcePage(TrpComponent* Obj)
{
    if (!Obj || FSourcePages.empty())
        return;
    TrpReportPage* page = FSourcePages.back().get();
    std::unique_ptr<TrpComponent> copy = CreateLike(Obj->ClassInfo());
    AssignByText(copy.get(), Obj);
    if (auto* picture = dynamic_cast<TrpPictureView*>(copy.get()))
        picture->ClearPicture();
    TrpComponent* raw = page->InsertChild(std::move(copy));
    raw->CreateUniqueName();
    RegisterCopy(raw, Obj, int(FSourcePages.size()) - 1);
}

// ------------------------------------------------------ filling

void TrpPreviewPages::AddPage(TrpReportPage* Page)
{
    TrpXMLItem* pages = PagesItem();
    if (UseFileCache() && Report() && FXMLSize > int64_t(Report()->EngineOptions()->MaxMemSize()) * 1048576) {
        // Walk back from the next-to-last page; the pages before the first
        // one already unloaded were unloaded by an earlier pass.
        for (int i = pages->Count() - 2; i >= 0; --i) {
            TrpXMLItem* item = pages->Items(i);
            if (!item->Loaded())
                break;
            if (item->Unloadable())
                FXMLDoc.UnloadItem(item);
        }
        FXMLSize = 0;
    }

    // The page just finished takes its compact form.
    PackOpenPage();
    ++FCurPage;
    if (FCurPage < pages->Count() && FAddPageAction == apWriteOver)
        return;

    int source = -1;
    for (size_t i = 0; i < FSourcePages.size(); ++i)
        if (FSourcePages[i]->OriginalComponent() == Page) {
            source = int(i);
            break;
        }
    TrpXMLItem* item = pages->Add(QStringLiteral("page") + QString::number(source));
    if (pages->Count() > 2)
        item->SetUnloadable(true);
    if (TrpReport* report = Report())
        report->InternalOnProgress(ptRunning, FCurPage + 1);
    FAddPageAction = apWriteOver;
    FCurPage = pages->Count() - 1;
    FOpenPage = item;
    IncLogicalPageNumber();
}

void TrpPreviewPages::AddObjectItem(TrpComponent* Obj, TrpXMLItem* Parent, bool WholeForm, bool FirstPass)
{
    if (!Obj->Visible() || !Obj->ComponentStyle().testFlag(csPreviewVisible))
        return;
    TrpXMLItem* item = Parent->Add();
    TrpComponent* source = Obj->OriginalComponent();
    if (!source || WholeForm) {
        item->SetName(Obj->ClassName());
        item->SetText(Obj->AllDiff(nullptr));
    } else {
        item->SetName(Obj->AliasName());
        if (FirstPass)
            item->SetText(Obj->TrpComponent::Diff(source));
        else if (Obj->ComponentStyle().testFlag(csDefaultDiff))
            item->SetText(Obj->AllDiff(source));
        else
            item->SetText(Obj->Diff(source));
    }
    FXMLSize += item->Name().size() + item->Text().size() + int64_t(sizeof(TrpXMLItem)) + 16;
    for (const auto& child : Obj->Objects())
        AddObjectItem(child.get(), item, WholeForm, FirstPass);
}

void TrpPreviewPages::AddObject(TrpComponent* Obj)
{
    TrpXMLItem* page = CurPageItem();
    if (!page || !Obj)
        return;
    const TrpCustomEngine* e = Engine();
    AddObjectItem(Obj, page, IsWholeForm(page), e && !e->FinalPass());
}

void TrpPreviewPages::AddPicture(TrpPictureView* Picture)
{
    FPictureCache.AddPicture(Picture);
}

// ------------------------------------------------------ moving objects

int TrpPreviewPages::GetCurPosition()
{
    TrpXMLItem* page = CurPageItem();
    return page ? page->Count() : 0;
}

void TrpPreviewPages::CutObjects(int APosition)
{
    TrpXMLItem* page = CurPageItem();
    if (!page)
        return;
    TrpXMLItem* cutted = FXMLDoc.Root()->FindItem(QStringLiteral("cutted"));
    const int from = std::max(APosition, 0);
    while (page->Count() > from)
        cutted->AddItem(page->Items(from));
}

void TrpPreviewPages::PasteObjects(long double X, long double Y)
{
    TrpXMLItem* root = FXMLDoc.Root();
    const int at = root->Find(QStringLiteral("cutted"));
    if (at < 0)
        return;
    TrpXMLItem* cutted = root->Items(at);
    TrpXMLItem* page = CurPageItem();
    if (cutted->Count() > 0 && page) {
        // An absent "l"/"t" means the source object's value, not 0: the
        // item keeps it implicitly, and the shift must start from it.
        const long double l0 = ItemCoord(cutted->Items(0), true);
        const long double t0 = ItemCoord(cutted->Items(0), false);
        while (cutted->Count() > 0) {
            TrpXMLItem* item = cutted->Items(0);
            const long double l = ItemCoord(item, true) + X - l0;
            const long double t = ItemCoord(item, false) + Y - t0;
            item->SetProp(QStringLiteral("l"), TrpXMLSerializer::FloatToText(l));
            item->SetProp(QStringLiteral("t"), TrpXMLSerializer::FloatToText(t));
            page->AddItem(item);
        }
    }
    root->Delete(root->IndexOf(cutted));
}

// ------------------------------------------------------ page queries

bool TrpPreviewPages::BandExists(TrpBand* Band)
{
    TrpXMLItem* page = CurPageItem();
    if (!page || !Band)
        return false;
    for (int i = 0; i < page->Count(); ++i) {
        const TrpComponent* source = FDictionary.GetObject(page->Items(i)->Name());
        if (!source)
            continue;
        if (source->OriginalComponent() == Band)
            return true;
        if (dynamic_cast<const TrpPageFooter*>(Band) && dynamic_cast<const TrpPageFooter*>(source))
            return true;
        if (dynamic_cast<const TrpColumnFooter*>(Band) && dynamic_cast<const TrpColumnFooter*>(source))
            return true;
    }
    return false;
}

long double TrpPreviewPages::GetLastY(long double ColumnPosition)
{
    long double result = 0;
    if (TrpXMLItem* page = CurPageItem()) {
        for (int i = 0; i < page->Count(); ++i) {
            const TrpXMLItem* item = page->Items(i);
            const auto* band = dynamic_cast<const TrpBand*>(FDictionary.GetObject(item->Name()));
            if (!band || dynamic_cast<const TrpPageFooter*>(band) || dynamic_cast<const TrpOverlay*>(band))
                continue;
            const long double left = FloatProp(item, QStringLiteral("l"), band->Left());
            if (ColumnPosition == 0 || std::fabs(left - ColumnPosition) < 0.001L
                || dynamic_cast<const TrpPageHeader*>(band) || dynamic_cast<const TrpReportTitle*>(band)) {
                const long double bottom = FloatProp(item, QStringLiteral("t"), band->Top())
                    + FloatProp(item, QStringLiteral("h"), band->Height());
                result = std::max(result, bottom);
            }
        }
    }
    if (result == 0 && FLastY != 0)
        return FLastY;
    return result;
}

void TrpPreviewPages::UpdatePageLastColumn(int aColumn, long double aColumnPos, bool aReset)
{
    TrpXMLItem* page = CurPageItem();
    if (!page)
        return;
    if (aReset || aColumn > 0)
        page->SetProp(QStringLiteral("c"), QString::number(aColumn));
    if (aReset || aColumnPos != 0)
        page->SetProp(QStringLiteral("cp"), TrpXMLSerializer::FloatToText(aColumnPos));
}

void TrpPreviewPages::GetLastColumnPos(int& aColumn, long double& ColumnPos)
{
    TrpXMLItem* page = CurPageItem();
    if (!page)
        return;
    if (page->PropExists(QStringLiteral("c")))
        aColumn = IntProp(page, QStringLiteral("c"));
    if (page->PropExists(QStringLiteral("cp")))
        ColumnPos = FloatProp(page, QStringLiteral("cp"), ColumnPos);
}

void TrpPreviewPages::UpdatePageDimensions(TrpReportPage* Page, long double Width, long double Height)
{
    for (size_t i = 0; i < FSourcePages.size(); ++i) {
        TrpReportPage* source = FSourcePages[i].get();
        if (source->OriginalComponent() != Page)
            continue;
        source->SetPaperSize(256);
        source->SetPaperWidth(Width / rp01cm);
        source->SetPaperHeight(Height / rp01cm);
        // The same three values in the text the page is rebuilt from.
        TrpXMLItem holder;
        holder.SetText(FSourcePageTexts[i]);
        holder.SetProp(QStringLiteral("PaperSize"), QStringLiteral("256"));
        holder.SetProp(QStringLiteral("PaperWidth"), TrpXMLSerializer::FloatToText(source->PaperWidth()));
        holder.SetProp(QStringLiteral("PaperHeight"), TrpXMLSerializer::FloatToText(source->PaperHeight()));
        FSourcePageTexts[i] = holder.Text();
        return;
    }
}

// ------------------------------------------------------ anchors

void TrpPreviewPages::AddAnchor(const QString& Text)
{
    TrpXMLItem* item = FXMLDoc.Root()->FindItem(QStringLiteral("anchors"))->Add(QStringLiteral("item"));
    const TrpCustomEngine* e = Engine();
    item->SetProp(QStringLiteral("text"), Text);
    item->SetProp(QStringLiteral("page"), QString::number(FCurPage));
    item->SetProp(QStringLiteral("top"), QString::number(e ? rpRound(e->CurY()) : 0));
}

TrpXMLItem* TrpPreviewPages::FindAnchor(const QString& Text)
{
    const TrpXMLItem* anchors = FXMLDoc.Root()->FindItem(QStringLiteral("anchors"));
    for (int i = anchors->Count() - 1; i >= 0; --i)
        if (anchors->Items(i)->Prop(QStringLiteral("text")).compare(Text, Qt::CaseInsensitive) == 0)
            return anchors->Items(i);
    return nullptr;
}

int TrpPreviewPages::GetAnchorPage(const QString& Text)
{
    const TrpXMLItem* item = FindAnchor(Text);
    return item ? IntProp(item, QStringLiteral("page")) + 1 : 1;
}

int TrpPreviewPages::GetAnchorCurPosition()
{
    return FXMLDoc.Root()->FindItem(QStringLiteral("anchors"))->Count() - 1;
}

void TrpPreviewPages::ShiftAnchors(int From, int NewTop)
{
    TrpXMLItem* anchors = FXMLDoc.Root()->FindItem(QStringLiteral("anchors"));
    if (From + 1 < 0 || From + 1 >= anchors->Count())
        return;
    const int y0 = IntProp(anchors->Items(From + 1), QStringLiteral("top"));
    for (int i = From + 1; i < anchors->Count(); ++i) {
        TrpXMLItem* item = anchors->Items(i);
        item->SetProp(QStringLiteral("page"), QString::number(IntProp(item, QStringLiteral("page")) + 1));
        item->SetProp(
            QStringLiteral("top"), QString::number(NewTop + IntProp(item, QStringLiteral("top")) - y0));
    }
}

// ------------------------------------------------------ logical numbers

void TrpPreviewPages::IncLogicalPageNumber()
{
    if (FinalPassOfDouble())
        return;
    ++FLogicalPageN;
    FXMLDoc.Root()
        ->FindItem(QStringLiteral("logicalpagenumbers"))
        ->Add(QStringLiteral("page"))
        ->SetProp(QStringLiteral("n"), QString::number(FLogicalPageN));
}

void TrpPreviewPages::ResetLogicalPageNumber()
{
    if (FinalPassOfDouble())
        return;
    TrpXMLItem* numbers = FXMLDoc.Root()->FindItem(QStringLiteral("logicalpagenumbers"));
    for (int i = FCurPage; i > FFirstPageIndex; --i) {
        if (i < 0 || i >= numbers->Count())
            continue;
        TrpXMLItem* item = numbers->Items(i);
        item->SetProp(QStringLiteral("t"), QString::number(FLogicalPageN));
        if (item->Prop(QStringLiteral("n")) == QLatin1String("1"))
            break;
    }
    FLogicalPageN = 0;
}

int TrpPreviewPages::GetLogicalPageNo()
{
    const TrpXMLItem* numbers = FXMLDoc.Root()->FindItem(QStringLiteral("logicalpagenumbers"));
    if (FCurPage >= 0 && FCurPage < numbers->Count())
        return IntProp(numbers->Items(FCurPage), QStringLiteral("n"));
    return FCurPage - FFirstPage + 1;
}

int TrpPreviewPages::GetLogicalTotalPages()
{
    const TrpXMLItem* numbers = FXMLDoc.Root()->FindItem(QStringLiteral("logicalpagenumbers"));
    if (FCurPage >= 0 && FCurPage < numbers->Count())
        return IntProp(numbers->Items(FCurPage), QStringLiteral("t"));
    const TrpCustomEngine* e = Engine();
    return (e ? e->TotalPages() : 0) - FFirstPage;
}

// ------------------------------------------------------ rebuilding pages

void TrpPreviewPages::BuildObject(const TrpXMLItem* Item, TrpComponent* Parent)
{
    TrpXMLSerializer serializer;
    std::unique_ptr<TrpComponent> obj;
    const TrpComponent* source = FDictionary.GetObject(Item->Name());
    if (source) {
        obj = CreateLike(source->ClassInfo());
        obj->SetLoading(true);
        // The source object's values (its BaseName text) give the defaults,
        // or just its class when it is stored whole; the item's attributes
        // override them.
        if (!source->ComponentStyle().testFlag(csDefaultDiff))
            CopyProps(*source, *obj);
        serializer.XMLToObj(Item->Text(), obj.get());
        obj->SetName(source->Name());
        if (auto* picture = dynamic_cast<TrpPictureView*>(obj.get()); picture && !picture->HasImage())
            FPictureCache.GetPicture(picture);
    } else {
        // Objects without a source are stored under their class name.
        const TrpClassInfo* cls = TrpClassRegistry::Find(Item->Name());
        if (!cls || !cls->CanCreate())
            throw TrpReportError(QStringLiteral("Cannot find class ") + Item->Name());
        obj = CreateLike(*cls);
        obj->SetLoading(true);
        serializer.XMLToObj(Item->Text(), obj.get());
    }
    obj->SetLoading(false);
    obj->Loaded();
    // Named before it joins the page: rows repeat their names, and a page
    // has no report to keep names unique in.
    TrpComponent* raw = Parent->InsertChild(std::move(obj));
    for (int i = 0; i < Item->Count(); ++i)
        if (!raw->ReadNestedProperty(Item->Items(i)))
            BuildObject(Item->Items(i), raw);
}

std::unique_ptr<TrpReportPage> TrpPreviewPages::BuildPage(const TrpXMLItem* Item)
{
    std::unique_ptr<TrpReportPage> page;
    const int source = SourcePageIndex(Item);
    if (IsWholeForm(Item)) {
        // Read object by object rather than as a component tree, so that
        // the rows' equal names do not fold into one object.
        const TrpClassInfo* cls = TrpClassRegistry::Find(Item->Name());
        std::unique_ptr<TrpComponent> made = cls && cls->CanCreate() ? CreateLike(*cls) : nullptr;
        if (made && dynamic_cast<TrpReportPage*>(made.get()))
            page.reset(static_cast<TrpReportPage*>(made.release()));
        else
            page = std::make_unique<TrpReportPage>();
        page->SetLoading(true);
        TrpXMLSerializer().XMLToObj(Item->Text(), page.get());
        page->SetLoading(false);
    } else if (source >= 0) {
        const TrpReportPage* src = FSourcePages[size_t(source)].get();
        std::unique_ptr<TrpComponent> made = CreateLike(src->ClassInfo());
        page.reset(static_cast<TrpReportPage*>(made.release()));
        TrpXMLSerializer().XMLToObj(FSourcePageTexts[size_t(source)], page.get());
        page->SetName(src->Name());
    } else {
        // No source page to start from: a plain page with default paper
        // still shows the objects that can be rebuilt.
        page = std::make_unique<TrpReportPage>();
    }
    for (int i = 0; i < Item->Count(); ++i)
        BuildObject(Item->Items(i), page.get());
    page->AlignChildren();
    return page;
}

void TrpPreviewPages::WriteWholePage(TrpReportPage* Page, TrpXMLItem* Item)
{
    TrpXMLSerializer().WriteRootComponent(Page, true, Item);
    // The tree writer leaves the top object's name out; a page keeps it.
    Item->SetText(QStringLiteral(" Name=\"") + rpStrToXML(Page->Name()) + u'"' + Item->Text());
}

TrpReportPage* TrpPreviewPages::GetPage(int Index)
{
    if (Count() == 0)
        return nullptr;
    if (Index < 0 || Index >= Count())
        throw TrpReportError(QStringLiteral("List index out of bounds (%1)").arg(Index));
    if (!EngineRunning()) {
        for (size_t i = 0; i < FPageCache.size(); ++i) {
            if (FPageCache[i].Index != Index)
                continue;
            if (i > 0)
                std::rotate(FPageCache.begin(), FPageCache.begin() + ptrdiff_t(i),
                    FPageCache.begin() + ptrdiff_t(i) + 1);
            return FPageCache.front().Page.get();
        }
    }
    std::unique_ptr<TrpReportPage> page = BuildPage(ReadablePageItem(Index));
    TrpReportPage* raw = page.get();
    FPageCache.insert(FPageCache.begin(), TCacheEntry { Index, std::move(page) });
    if (FPageCache.size() > 1 && int(FPageCache.size()) > FPagesInCache)
        EvictLast();
    Q_ASSERT(InvariantsHold());
    return raw;
}

QPointF TrpPreviewPages::GetPageSize(int Index)
{
    if (Index < 0 || Index >= Count())
        return QPointF(0, 0);
    const TrpXMLItem* item = PagesItem()->Items(Index);
    const TrpReportPage* page = nullptr;
    if (IsWholeForm(item))
        page = GetPage(Index);
    else if (const int source = SourcePageIndex(item); source >= 0)
        page = FSourcePages[size_t(source)].get();
    if (!page)
        return QPointF(0, 0);
    return QPointF(double(rpRound(page->Width())), double(rpRound(page->Height())));
}

// ------------------------------------------------------ editing pages

void TrpPreviewPages::AddEmptyPage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (Index < 0 || Index >= pages->Count())
        return;
    auto item = std::make_unique<TrpXMLItem>(pages->Items(Index)->Name());
    TrpXMLItem* raw = pages->AddItem(std::move(item));
    pages->InsertItem(Index, raw);
    EmptyPageCache();
}

void TrpPreviewPages::DeletePage(int Index)
{
    TrpXMLItem* pages = PagesItem();
    if (pages->Count() < 2 || Index < 0 || Index >= pages->Count())
        return;
    EmptyPageCache();
    ForgetPageItem(pages->Items(Index));
    pages->Delete(Index);
    FCurPage = std::min(FCurPage, pages->Count() - 1);
}

void TrpPreviewPages::ModifyPage(int Index, TrpReportPage* Page)
{
    TrpXMLItem* item = LoadedPageItem(Index);
    if (!item || !Page)
        return;
    // Page may be one of the cache's own pages: write it before the cache
    // is emptied.
    item->SetUnloadable(false);
    item->Clear();
    item->SetText(QString());
    WriteWholePage(Page, item);
    EmptyPageCache();
}

void TrpPreviewPages::AddFrom(TrpReport* Report)
{
    auto* other = Report ? dynamic_cast<TrpPreviewPages*>(Report->PreviewPages()) : nullptr;
    if (!other || other == this)
        return;
    TrpXMLItem* pages = PagesItem();
    const int former = pages->Count();
    for (int i = 0; i < other->Count(); ++i) {
        TrpXMLItem* item = pages->Add();
        WriteWholePage(other->GetPage(i), item);
        PackPage(item);
    }
    const TrpXMLItem* theirAnchors = other->XMLDoc().Root()->FindItem(QStringLiteral("anchors"));
    TrpXMLItem* anchors = FXMLDoc.Root()->FindItem(QStringLiteral("anchors"));
    for (int i = 0; i < theirAnchors->Count(); ++i) {
        TrpXMLItem* copy = anchors->Add();
        CopyItem(theirAnchors->Items(i), copy);
        ShiftPages(copy, former);
    }
    const TrpXMLItem* theirOutline = other->Outline()->Root();
    TrpXMLItem* outline = FOutline.Root();
    for (int i = 0; i < theirOutline->Count(); ++i) {
        TrpXMLItem* copy = outline->Add();
        CopyItem(theirOutline->Items(i), copy);
        ShiftPages(copy, former);
    }
    other->SetCurPage(other->Count() - 1);
    FLastY = other->GetLastY(0);
    other->SetCurPage(-1);
    EmptyPageCache();
}

// ------------------------------------------------------ drawing

void TrpPreviewPages::DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY,
    long double OffsetX, long double OffsetY)
{
    if (!Canvas || Index < 0 || Index >= Count())
        return;
    TrpReportPage* page = GetPage(Index);
    if (!page)
        return;
    const QPaintDevice* device = Canvas->device();
    const bool printing = rpIsPrinterCanvas(Canvas);
    const bool metafile = device && device->devType() == QInternal::Picture;
    TrpRecordingCanvas* recording = rpRecordingCanvas(Canvas);

    const long double leftMargin = page->LeftMargin();
    const long double rightMargin = page->RightMargin();
    if (page->MirrorMargins() && Index % 2 == 1) {
        page->SetLeftMargin(rightMargin);
        page->SetRightMargin(leftMargin);
    }
    if (!printing) {
        Canvas->save();
        const QPoint topLeft(int(rpRound(OffsetX)), int(rpRound(OffsetY)));
        const QPoint bottomRight(int(rpRound(page->PaperWidth() * rp01cm * ScaleX + OffsetX)) - 1,
            int(rpRound(page->PaperHeight() * rp01cm * ScaleY + OffsetY)) - 1);
        Canvas->setClipRect(QRect(topLeft, bottomRight), Qt::IntersectClip);
    }
    page->SetIsPrinting(printing);
    page->Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);

    OffsetX += page->LeftMargin() * rp01cm * ScaleX;
    OffsetY += page->TopMargin() * rp01cm * ScaleY;
    QRect visible;
    if (Canvas->hasClipping())
        visible = Canvas->clipBoundingRect().toAlignedRect();
    else if (device)
        visible = Canvas->transform().inverted().mapRect(QRect(0, 0, device->width(), device->height()));
    const int offX = int(rpRound(OffsetX));
    const int offY = int(rpRound(OffsetY));
    const TrpVisibilityType wanted = printing ? vsPrint : vsPreview;
    for (TrpComponent* c : std::vector<TrpComponent*>(page->AllObjects())) {
        auto* view = dynamic_cast<TrpView*>(c);
        if (!view)
            continue;
        const long double left = view->AbsLeft();
        const long double top = view->AbsTop();
        const QRect bounds(
            QPoint(int(rpRound(left * ScaleX)) - 20 + offX, int(rpRound(top * ScaleY)) - 20 + offY),
            QPoint(int(rpRound((left + view->Width()) * ScaleX + 20)) + offX,
                int(rpRound((top + view->Height()) * ScaleY + 20)) + offY));
        if (!metafile && !bounds.intersects(visible))
            continue;
        if (!view->Visibility().testFlag(wanted))
            continue;
        view->SetIsPrinting(printing);
        if (recording)
            recording->SetCurrentObject(view->Name());
        if (auto* memo = dynamic_cast<TrpCustomMemoView*>(view)) {
            memo->TotalPages = Count();
            memo->CopyNo = FCopyNo;
            memo->PrintScale = FPrintScale;
        }
        view->Draw(Canvas, ScaleX, ScaleY, OffsetX, OffsetY);
        view->SetIsPrinting(false);
    }
    page->SetIsPrinting(false);
    page->SetLeftMargin(leftMargin);
    page->SetRightMargin(rightMargin);
    if (!printing)
        Canvas->restore();
}

// ------------------------------------------------------ printing

// ------------------------------------------------------ registration

void rpRegisterPreviewPages()
{
    TrpCustomPreviewPages::SetFactory([](TrpReport* Report) -> std::unique_ptr<TrpCustomPreviewPages> {
        return std::make_unique<TrpPreviewPages>(Report);
    });
}
