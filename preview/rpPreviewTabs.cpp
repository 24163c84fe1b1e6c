// The preview's tab items: a list of per-report view states.
#include "rpPreviewTabs.h"

#include "rpClass.h"

TrpPreviewTabs::TrpPreviewTabs() = default;
TrpPreviewTabs::~TrpPreviewTabs() = default;

TrpPreviewTabItem& TrpPreviewTabs::Add()
{
    FItems.push_back(std::make_unique<TrpPreviewTabItem>());
    return *FItems.back();
}

void TrpPreviewTabs::Delete(int Index)
{
    if (Index < 0 || Index >= Count())
        return;
    FItems.erase(FItems.begin() + Index);
    if (FCurTab >= Count())
        FCurTab = Count() - 1;
}

int TrpPreviewTabs::IndexOf(const QString& Name) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i).Name.compare(Name, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

int TrpPreviewTabs::IndexOf(const TrpReport* Report) const
{
    for (int i = 0; i < Count(); ++i)
        if (Items(i).Report == Report)
            return i;
    return -1;
}

int TrpPreviewTabs::CountOf(const TrpReport* Report) const
{
    int n = 0;
    for (int i = 0; i < Count(); ++i)
        if (Items(i).Report == Report)
            ++n;
    return n;
}
