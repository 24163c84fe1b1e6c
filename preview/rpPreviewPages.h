// The prepared pages of one report run: every page as an XML item that
// holds, for each placed object, only its difference from the source object
// it was copied from; live pages are rebuilt on demand and kept in a small
// most-recently-used cache.
#pragma once

#include "rpCustomPreviewPages.h"
#include "rpDictionary.h"
#include "rpOutline.h"
#include "rpPagePack.h"
#include "rpPictureCache.h"
#include "rpXML.h"

#include <functional>
#include <memory>
#include <vector>

class TrpReportPage;
class TrpView;

class TrpHyperlink;
class TrpPreview;

class TrpPreviewPages : public TrpCustomPreviewPages {
public:
    explicit TrpPreviewPages(TrpReport* AReport);
    ~TrpPreviewPages() override;

    int Count() override;
    TrpReportPage* GetPage(int Index) override;
    QPointF GetPageSize(int Index) override;
    void Clear() override;
    void Initialize() override;
    void AddObject(TrpComponent* Obj) override;
    void AddPage(TrpReportPage* Page) override;
    void AddSourcePage(TrpReportPage* Page) override;
    void AddToSourcePage(TrpComponent* Obj) override;
    void BeginPass() override;
    void ClearFirstPassPages() override;
    void CutObjects(int APosition) override;
    void Finish() override;
    void IncLogicalPageNumber() override;
    void ResetLogicalPageNumber() override;
    void PasteObjects(long double X, long double Y) override;
    void ShiftAnchors(int From, int NewTop) override;
    void AddPicture(TrpPictureView* Picture) override;
    bool BandExists(TrpBand* Band) override;
    int GetCurPosition() override;
    int GetAnchorCurPosition() override;
    long double GetLastY(long double ColumnPosition = 0) override;
    int GetLogicalPageNo() override;
    int GetLogicalTotalPages() override;
    void AddEmptyPage(int Index) override;
    void DeletePage(int Index) override;
    void ModifyPage(int Index, TrpReportPage* Page) override;
    void DrawPage(int Index, QPainter* Canvas, long double ScaleX, long double ScaleY, long double OffsetX,
        long double OffsetY) override;
    // Looks at the page's stored texts and those of the source objects
    // (rpPreviewPagesText.cpp).
    bool MayHoldText(int Index, const QString& Text, bool CaseSensitive) override;
    void ObjectOver(int Index, int X, int Y, Qt::MouseButton Button, Qt::KeyboardModifiers Shift,
        long double Scale, int OffsetX, int OffsetY, Qt::CursorShape& Cursor,
        TrpMouseEventType MouseEvent) override;
    void AddFrom(TrpReport* Report) override;
    // The prepared-report file (rpPreviewPagesFile.cpp). A load that fails
    // leaves the store as it was.
    void LoadFromStream(QIODevice* Stream, bool AllowPartialLoading = false) override;
    void SaveToStream(QIODevice* Stream) override;
    bool LoadFromFile(const QString& FileName, bool ExceptionIfNotFound = false) override;
    void SaveToFile(const QString& FileName) override;
    // Prints through the print dialog and job (rpPreviewPrintSource.cpp).
    bool Print() override;
    // Exports to FileName as PDF, the one export filter of this program.
    bool Export(const QString& FileName) override;

    void AddAnchor(const QString& Text) override;
    // The last anchor with that text (case-insensitive), or nullptr.
    TrpXMLItem* FindAnchor(const QString& Text);
    // A click on an object with a hyperlink, by the link's kind.
    void FollowHyperlink(const TrpHyperlink& Link, TrpPreview* Preview);
    // 1-based page of the anchor; 1 when there is none.
    int GetAnchorPage(const QString& Text) override;
    void UpdatePageDimensions(TrpReportPage* Page, long double Width, long double Height) override;
    void UpdatePageLastColumn(int aColumn, long double aColumnPos, bool aReset) override;
    void GetLastColumnPos(int& aColumn, long double& ColumnPos) override;
    TrpCustomOutline* Outline() override { return &FOutline; }

    // Source pages, one per template page, in the order they were added.
    const std::vector<std::unique_ptr<TrpReportPage>>& SourcePages() const { return FSourcePages; }
    const TrpDictionary& Dictionary() const { return FDictionary; }
    TrpPictureCache& PictureCache() { return FPictureCache; }
    TrpXMLDocument& XMLDoc() { return FXMLDoc; }
    // Live pages kept rebuilt (the report's PreviewOptions.PagesInCache).
    int PagesInCache() const { return FPagesInCache; }
    void SetPagesInCache(int Value) { FPagesInCache = Value; }
    // Keep cached pictures in temporary files (PreviewOptions.PictureCacheInFile).
    bool PictureCacheInFile() const { return FPictureCacheInFile; }
    void SetPictureCacheInFile(bool Value) { FPictureCacheInFile = Value; }
    // Copy number and scale handed to memos when drawing (set by printing).
    int CopyNo() const { return FCopyNo; }
    void SetCopyNo(int Value) { FCopyNo = Value; }
    long double PrintScale() const { return FPrintScale; }
    void SetPrintScale(long double Value) { FPrintScale = Value; }
    // Frees the live pages (unloading their items when the file cache is
    // on); the next GetPage rebuilds them.
    void EmptyPageCache();
    // Every page item with its children in memory, for writing the whole
    // document.
    void LoadAllPages();
    // Indexes of the pages now in the page cache, most recent first.
    std::vector<int> CachedPageIndexes() const;

private:
    struct TLoadedReport;
    struct TCacheEntry {
        int Index;
        std::unique_ptr<TrpReportPage> Page;
    };

    bool InvariantsHold() const;
    TrpXMLItem* PagesItem();
    // Page item Index with its children in memory, to be written: it
    // becomes the open page.
    TrpXMLItem* LoadedPageItem(int Index);
    // Page item Index (or a copy) with its children, to be read.
    const TrpXMLItem* ReadablePageItem(int Index);
    // Finished pages are kept packed unless the file cache keeps memory down.
    bool Packing() const;
    void PackPage(TrpXMLItem* Item);
    void PackOpenPage();
    // Drops what the store keeps about a page item about to be freed.
    void ForgetPageItem(const TrpXMLItem* Item);
    TrpXMLItem* CurPageItem();
    static bool IsWholeForm(const TrpXMLItem* Item);
    int SourcePageIndex(const TrpXMLItem* Item) const;
    void EvictLast();
    bool EngineRunning() const;
    bool FinalPassOfDouble() const;
    bool UseFileCache() const;

    void RegisterCopy(TrpComponent* Copy, TrpComponent* Original, int SourcePage);
    void AddObjectItem(TrpComponent* Obj, TrpXMLItem* Parent, bool WholeForm, bool FirstPass);
    std::unique_ptr<TrpReportPage> BuildPage(const TrpXMLItem* Item);
    void BuildObject(const TrpXMLItem* Item, TrpComponent* Parent);
    static void WriteWholePage(TrpReportPage* Page, TrpXMLItem* Item);
    // Left/Top of an object item: its own "l"/"t", else its source's.
    long double ItemCoord(const TrpXMLItem* Item, bool Left) const;
    void AddPageItemsFrom(TrpPreviewPages& Other);
    // File sections (rpPreviewPagesFile.cpp).
    void BuildFileSections();
    void WriteDocument(QIODevice& Stream);
    void ReadFileSections(TrpXMLDocument& Doc, TLoadedReport& Loaded) const;
    void CommitLoaded(TrpXMLDocument& Doc, TLoadedReport& Loaded, bool AllowPartialLoading);

    TrpDictionary FDictionary;
    TrpOutline FOutline;
    TrpXMLDocument FXMLDoc;
    TrpPictureCache FPictureCache;
    std::vector<std::unique_ptr<TrpReportPage>> FSourcePages;
    // Serialised text of each source page (class name and attributes).
    std::vector<QString> FSourcePageTexts;
    std::vector<TCacheEntry> FPageCache;
    TrpXMLItem* FPagesItem = nullptr;
    // Finished pages in compact form; such an item has no children in
    // memory. FOpenPage is the one page being written, never packed.
    TrpPagePack FPack;
    QHash<const TrpXMLItem*, QByteArray> FPacked;
    TrpXMLItem* FOpenPage = nullptr;
    std::unique_ptr<TrpXMLItem> FScratch;
    TrpView* FLastObjectOver = nullptr;
    bool FAllowPartialLoading = false;
    int FCopyNo = 0;
    int FFirstObjectIndex = 0;
    int FFirstPageIndex = -1;
    int FFirstOutlineIndex = 0;
    int FLogicalPageN = 0;
    int FPagesInCache = 50;
    bool FPictureCacheInFile = false;
    long double FPrintScale = 1;
    int64_t FXMLSize = 0;
    long double FLastY = 0;
};

// Makes every report built from now on own a TrpPreviewPages. Called once
// at start-up by the program, the command-line tool and the tests.
void rpRegisterPreviewPages();
