// The prepared pages of a report as the object model, the band engine and
// the print job see them. The store that keeps prepared pages lives above
// this layer and derives from these classes; everything below calls it only
// through them.
#pragma once

#include <QPointF>
#include <QString>
#include <Qt>

#include <functional>
#include <memory>

class QIODevice;
class QPainter;
class TrpBand;
class TrpComponent;
class TrpCustomEngine;
class TrpPictureView;
class TrpReport;
class TrpReportPage;
class TrpXMLItem;

enum TrpAddPageAction { apWriteOver, apAdd };
enum TrpMouseEventType { meMouseMove, meMouseUp, meClick, meDbClick };

// The outline tree of a prepared report: the engine adds items as it goes,
// the preview shows them.
class TrpCustomOutline {
public:
    virtual ~TrpCustomOutline() = default;
    virtual void AddItem(const QString& Text, int Top) = 0;
    virtual void LevelDown(int Index) = 0;
    virtual void LevelRoot() = 0;
    virtual void LevelUp() = 0;
    virtual void GetItem(int Index, QString& Text, int& Page, int& Top) = 0;
    // Moves every item added after From (a position GetCurPosition gave;
    // nothing: every item) to the next page, NewTop being the top of the
    // first of them.
    virtual void ShiftItems(TrpXMLItem* From, int NewTop) = 0;
    // The item added last, or nothing while the outline is empty.
    virtual TrpXMLItem* GetCurPosition() = 0;
    // Children of the current item.
    virtual int Count() = 0;
    virtual TrpXMLItem* CurItem() const = 0;
    virtual TrpXMLItem* Root() = 0;
    virtual TrpCustomEngine* Engine() const = 0;
};

class TrpCustomPreviewPages {
public:
    explicit TrpCustomPreviewPages(TrpReport* AReport)
        : FReport(AReport)
    {
    }
    virtual ~TrpCustomPreviewPages() = default;
    TrpCustomPreviewPages(const TrpCustomPreviewPages&) = delete;
    TrpCustomPreviewPages& operator=(const TrpCustomPreviewPages&) = delete;

    // Each report makes its store through this factory when it is built. The
    // layer that implements the store installs it once at start-up; without
    // one a report has no store (the layers below the store use none).
    using TrpFactory = std::function<std::unique_ptr<TrpCustomPreviewPages>(TrpReport*)>;
    static void SetFactory(TrpFactory Factory);
    static std::unique_ptr<TrpCustomPreviewPages> Make(TrpReport* AReport);

    virtual int Count() = 0;
    // The live page rebuilt from its stored item; owned by the store's page
    // cache. Nothing for an empty store.
    virtual TrpReportPage* GetPage(int Index) = 0;
    // Width and height in report pixels; (0, 0) for a bad index.
    virtual QPointF GetPageSize(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Initialize() = 0;
    // Writes a placed band (and its objects) into the current page.
    virtual void AddObject(TrpComponent* Obj) = 0;
    // Starts the next prepared page from the template page Page.
    virtual void AddPage(TrpReportPage* Page) = 0;
    virtual void AddSourcePage(TrpReportPage* Page) = 0;
    virtual void AddToSourcePage(TrpComponent* Obj) = 0;
    virtual void BeginPass() = 0;
    virtual void ClearFirstPassPages() = 0;
    // Moves the current page's objects from APosition on aside ...
    virtual void CutObjects(int APosition) = 0;
    virtual void Finish() = 0;
    virtual void IncLogicalPageNumber() = 0;
    virtual void ResetLogicalPageNumber() = 0;
    // ... and puts them at the end of the current page, moved so the first
    // of them starts at (X, Y).
    virtual void PasteObjects(long double X, long double Y) = 0;
    virtual void ShiftAnchors(int From, int NewTop) = 0;
    // Keeps the view's picture in the picture cache and sets its ImageIndex.
    virtual void AddPicture(TrpPictureView* Picture) = 0;
    virtual bool BandExists(TrpBand* Band) = 0;
    // Object count of the current page.
    virtual int GetCurPosition() = 0;
    virtual int GetAnchorCurPosition() = 0;
    virtual long double GetLastY(long double ColumnPosition = 0) = 0;
    virtual int GetLogicalPageNo() = 0;
    virtual int GetLogicalTotalPages() = 0;
    virtual void AddEmptyPage(int Index) = 0;
    virtual void DeletePage(int Index) = 0;
    virtual void ModifyPage(int Index, TrpReportPage* Page) = 0;
    // Draws page Index with the paper's top-left corner at (OffsetX, OffsetY).
    virtual void DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY,
        long double OffsetX, long double OffsetY)
        = 0;
    // False only when page Index cannot show Text when drawn, so that a
    // search need not draw it; true whenever that is not certain.
    virtual bool MayHoldText(int Index, const QString& Text, bool CaseSensitive)
    {
        (void)Index;
        (void)Text;
        (void)CaseSensitive;
        return true;
    }
    virtual void ObjectOver(int Index, int X, int Y, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
        long double Scale, int OffsetX, int OffsetY, Qt::CursorShape& Cursor, TrpMouseEventType MouseEvent)
        = 0;
    virtual void AddFrom(TrpReport* Report) = 0;
    virtual void LoadFromStream(QIODevice* Stream, bool AllowPartialLoading = false) = 0;
    virtual void SaveToStream(QIODevice* Stream) = 0;
    virtual bool LoadFromFile(const QString& FileName, bool ExceptionIfNotFound = false) = 0;
    virtual void SaveToFile(const QString& FileName) = 0;
    virtual bool Print() = 0;
    virtual bool Export(const QString& Filter) = 0;

    // Anchors and the last column of the page being filled.
    virtual void AddAnchor(const QString& Text) = 0;
    virtual int GetAnchorPage(const QString& Text) = 0;
    virtual void UpdatePageDimensions(TrpReportPage* Page, long double Width, long double Height) = 0;
    virtual void UpdatePageLastColumn(int aColumn, long double aColumnPos, bool aReset) = 0;
    virtual void GetLastColumnPos(int& aColumn, long double& ColumnPos) = 0;

    TrpAddPageAction AddPageAction() const { return FAddPageAction; }
    void SetAddPageAction(TrpAddPageAction Value) { FAddPageAction = Value; }
    int CurPage() const { return FCurPage; }
    void SetCurPage(int Value) { FCurPage = Value; }
    // 1-based page shown in the preview when printing or exporting starts.
    int CurPreviewPage() const { return FCurPreviewPage; }
    void SetCurPreviewPage(int Value) { FCurPreviewPage = Value; }
    int FirstPage() const { return FFirstPage; }
    void SetFirstPage(int Value) { FFirstPage = Value; }
    virtual TrpCustomOutline* Outline() = 0;
    TrpReport* Report() const { return FReport; }
    // The report's engine while one exists.
    TrpCustomEngine* Engine() const;

protected:
    TrpAddPageAction FAddPageAction = apWriteOver;
    int FCurPage = -1;
    int FCurPreviewPage = 0;
    int FFirstPage = 0;

private:
    TrpReport* FReport;
};
