// The reports open in a preview, one per tab, each with the view state it
// had when it was last shown.
#pragma once

#include "rpPreviewOptions.h"

#include <QString>

#include <memory>
#include <vector>

class TrpCustomPreviewPages;
class TrpReport;

struct TrpPreviewTabItem {
    QString Name;
    int Top = 0;
    int Left = 0;
    int PageNo = 0;
    int ThumbTop = 0;
    TrpReport* Report = nullptr;
    TrpCustomPreviewPages* PreviewPages = nullptr;
    long double Zoom = 1.0L;
    TrpZoomMode ZoomMode = zmDefault;
    // The tab owns its report (freed when the tab closes and no other tab
    // shows that report).
    bool FreeObjects = false;
    std::unique_ptr<TrpReport> OwnedReport;
};

class TrpPreviewTabs {
public:
    TrpPreviewTabs();
    ~TrpPreviewTabs();
    TrpPreviewTabItem& Add();
    void Delete(int Index);
    int Count() const { return int(FItems.size()); }
    TrpPreviewTabItem& Items(int Index) { return *FItems[size_t(Index)]; }
    const TrpPreviewTabItem& Items(int Index) const { return *FItems[size_t(Index)]; }
    int IndexOf(const QString& Name) const;
    int IndexOf(const TrpReport* Report) const;
    // How many tabs show this report.
    int CountOf(const TrpReport* Report) const;
    int CurTab() const { return FCurTab; }
    void SetCurTab(int Value) { FCurTab = Value; }

private:
    std::vector<std::unique_ptr<TrpPreviewTabItem>> FItems;
    int FCurTab = -1;
};
