// A store that keeps nothing, for tests of the layers below the real one:
// derive from it and override the operations a test watches.
#pragma once

#include "rpCustomPreviewPages.h"

class NullPreviewPages : public TrpCustomPreviewPages {
public:
    explicit NullPreviewPages(TrpReport* AReport = nullptr)
        : TrpCustomPreviewPages(AReport)
    {
    }

    int Count() override { return 0; }
    TrpReportPage* GetPage(int) override { return nullptr; }
    QPointF GetPageSize(int) override { return {}; }
    void Clear() override { }
    void Initialize() override { }
    void AddObject(TrpComponent*) override { }
    void AddPage(TrpReportPage*) override { }
    void AddSourcePage(TrpReportPage*) override { }
    void AddToSourcePage(TrpComponent*) override { }
    void BeginPass() override { }
    void ClearFirstPassPages() override { }
    void CutObjects(int) override { }
    void Finish() override { }
    void IncLogicalPageNumber() override { }
    void ResetLogicalPageNumber() override { }
    void PasteObjects(long double, long double) override { }
    void ShiftAnchors(int, int) override { }
    void AddPicture(TrpPictureView*) override { }
    bool BandExists(TrpBand*) override { return false; }
    int GetCurPosition() override { return 0; }
    int GetAnchorCurPosition() override { return -1; }
    long double GetLastY(long double) override { return 0; }
    int GetLogicalPageNo() override { return 0; }
    int GetLogicalTotalPages() override { return 0; }
    void AddEmptyPage(int) override { }
    void DeletePage(int) override { }
    void ModifyPage(int, TrpReportPage*) override { }
    void DrawPage(int, QPainter*, long double, long double, long double, long double) override { }
    void ObjectOver(int, int, int, Qt::MouseButton, Qt::KeyboardModifiers, long double, int, int,
        Qt::CursorShape&, TrpMouseEventType) override
    {
    }
    void AddFrom(TrpReport*) override { }
    void LoadFromStream(QIODevice*, bool) override { }
    void SaveToStream(QIODevice*) override { }
    bool LoadFromFile(const QString&, bool) override { return false; }
    void SaveToFile(const QString&) override { }
    bool Print() override { return false; }
    bool Export(const QString&) override { return false; }
    void AddAnchor(const QString&) override { }
    int GetAnchorPage(const QString&) override { return 1; }
    void UpdatePageDimensions(TrpReportPage*, long double, long double) override { }
    void UpdatePageLastColumn(int, long double, bool) override { }
    void GetLastColumnPos(int&, long double&) override { }
    TrpCustomOutline* Outline() override { return nullptr; }
};
