// Outline of the prepared pages. Entries are only ever appended below the
// current item, and the current item moves along the last entries, so the
// entries made after a position are exactly those that follow it in
// document order; ShiftItems relies on that.
#include "rpOutline.h"

#include "rpEngine.h"
#include "rpPreviewPages.h"
#include "rpXML.h"

namespace {

// The entry after Item in document order (depth first), or nullptr.
TrpXMLItem* NextInOrder(TrpXMLItem* Item, const TrpXMLItem* Root)
{
    if (Item->Count() > 0)
        return Item->Items(0);
    for (TrpXMLItem* i = Item; i && i != Root; i = i->Parent()) {
        TrpXMLItem* parent = i->Parent();
        if (!parent)
            break;
        const int at = parent->IndexOf(i);
        if (at + 1 < parent->Count())
            return parent->Items(at + 1);
    }
    return nullptr;
}

int IntProp(const TrpXMLItem* Item, const QString& Name)
{
    return Item->Prop(Name).toInt();
}

} // namespace

TrpXMLItem* TrpOutline::Root()
{
    return FPreviewPages->XMLDoc().Root()->FindItem(QStringLiteral("outline"));
}

TrpXMLItem* TrpOutline::Current()
{
    if (!FCurItem)
        FCurItem = Root();
    return FCurItem;
}

TrpCustomEngine* TrpOutline::Engine() const
{
    return FPreviewPages->Engine();
}

void TrpOutline::AddItem(const QString& Text, int Top)
{
    TrpXMLItem* item = Current()->Add(QStringLiteral("item"));
    item->SetProp(QStringLiteral("text"), Text);
    item->SetProp(QStringLiteral("page"), QString::number(FPreviewPages->CurPage()));
    item->SetProp(QStringLiteral("top"), QString::number(Top));
    FCurItem = item;
}

void TrpOutline::LevelDown(int Index)
{
    TrpXMLItem* cur = Current();
    if (Index >= 0 && Index < cur->Count())
        FCurItem = cur->Items(Index);
}

void TrpOutline::LevelRoot()
{
    FCurItem = Root();
}

void TrpOutline::LevelUp()
{
    TrpXMLItem* root = Root();
    TrpXMLItem* cur = Current();
    if (cur != root && cur->Parent())
        FCurItem = cur->Parent();
}

void TrpOutline::GetItem(int Index, QString& Text, int& Page, int& Top)
{
    TrpXMLItem* cur = Current();
    if (Index < 0 || Index >= cur->Count())
        return;
    const TrpXMLItem* item = cur->Items(Index);
    Text = item->Prop(QStringLiteral("text"));
    Page = IntProp(item, QStringLiteral("page"));
    Top = IntProp(item, QStringLiteral("top"));
}

int TrpOutline::Count()
{
    return Current()->Count();
}

TrpXMLItem* TrpOutline::GetCurPosition()
{
    TrpXMLItem* item = Root();
    while (item->Count() > 0)
        item = item->Items(item->Count() - 1);
    return item == Root() ? nullptr : item;
}

void TrpOutline::ShiftItems(TrpXMLItem* From, int NewTop)
{
    TrpXMLItem* root = Root();
    TrpXMLItem* first = From ? NextInOrder(From, root) : (root->Count() > 0 ? root->Items(0) : nullptr);
    if (!first)
        return;
    const int y0 = IntProp(first, QStringLiteral("top"));
    for (TrpXMLItem* i = first; i; i = NextInOrder(i, root)) {
        i->SetProp(QStringLiteral("page"), QString::number(IntProp(i, QStringLiteral("page")) + 1));
        i->SetProp(QStringLiteral("top"), QString::number(NewTop + IntProp(i, QStringLiteral("top")) - y0));
    }
}
