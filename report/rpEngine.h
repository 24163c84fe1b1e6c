// The band engine: turns a report template and its data sets into prepared
// pages in the report's store. TrpCustomEngine is what the rest of the report
// sees of it (the run state that system variables, aggregates and progress
// read); TrpEngine lays the bands out.
#pragma once

#include "Variant.h"
#include "rpAggregate.h"
#include "rpUnits.h"

#include <QString>
#include <memory>
#include <vector>

class TrpBand;
class TrpClassInfo;
class TrpComponent;
class TrpCustomPreviewPages;
class TrpDataBand;
class TrpDataSet;
class TrpGroupHeader;
class TrpReport;
class TrpReportPage;

class TrpCustomEngine {
public:
    explicit TrpCustomEngine(TrpReport* AReport);
    virtual ~TrpCustomEngine();
    TrpCustomEngine(const TrpCustomEngine&) = delete;
    TrpCustomEngine& operator=(const TrpCustomEngine&) = delete;

    TrpReport* Report() const { return FReport; }
    // The report's store while a run is in progress, else its store as well
    // (none when the report has none).
    TrpCustomPreviewPages* PreviewPages() const;

    // Page numbers as the prepared pages count them: the logical number of
    // the page being filled (restarts where page numbers are reset), the
    // logical page count, and the physical page index from 0.
    virtual int LogicalPageNo() const = 0;
    virtual int LogicalTotalPages() const = 0;
    virtual int CurPage() const = 0;

    // --- layout operations; the base engine lays out nothing.
    // Printable height of the current page; an endless page is as tall as
    // its content plus the footers.
    virtual Extended GetPageHeight() { return FPageHeight; }
    virtual void EndPage() { }
    virtual void BreakAllKeep() { }
    virtual void NewColumn() { }
    virtual void NewPage() { }
    virtual void ShowBand(TrpBand* /*Band*/) { }
    // The first band of that class on the page being run.
    virtual void ShowBand(const TrpClassInfo& /*BandClass*/) { }
    virtual Extended HeaderHeight() { return 0; }
    virtual Extended FooterHeight() { return 0; }
    virtual Extended FreeSpace() { return 0; }
    // The value of the aggregate Name ("SUM", "AVG", "MIN", "MAX" or
    // "COUNT") over Expression that the band being prepared shows; Band is
    // none when the call names no band. Null when there is no such aggregate.
    virtual Variant GetAggregateValue(
        const QString& Name, const QString& Expression, TrpBand* Band, int Flags);
    // Prepares the pages of APage (every report page when none). False when
    // the template or its data sets are wrong; the reasons are in the
    // report's error list.
    virtual bool Run(bool /*ARunDialogs*/, bool /*AClearLast*/, TrpReportPage* /*APage*/) { return false; }
    // Finds the object by name in the report and shows it when it is a band.
    void ShowBandByName(const QString& BandName);
    // Asks the run to stop after the current row.
    void StopReport();

    // --- run state (read-only outside the engine)
    // Output position in report pixels, from the printable area's top-left.
    Extended CurX() const { return FCurX; }
    Extended CurY() const { return FCurY; }
    Extended PageHeight() const { return FPageHeight; }
    Extended PageWidth() const { return FPageWidth; }
    // 1-based page column; vertical-band column.
    int CurColumn() const { return FCurColumn; }
    int CurVColumn() const { return FCurVColumn; }
    // LineN and LineThrough of the data band being shown.
    int CurLine() const { return FCurLine; }
    int CurLineThrough() const { return FCurLineThrough; }
    // True in a single pass and in the second of two.
    bool FinalPass() const { return FFinalPass; }
    // 0 in a single pass and in the first of two; then the first pass's count.
    int TotalPages() const { return FTotalPages; }
    // Day counts from 30 December 1899.
    double StartDate() const { return FStartDate; }
    double StartTime() const { return FStartTime; }
    bool Running() const { return FRunning; }
    // True while a band is evaluated a second time for suppressed repeats.
    bool SecondScriptCall() const { return FSecondScriptCall; }
    // The band most recently prepared: the one whose memos are evaluated.
    TrpBand* CurBand() const { return FCurBand; }
    // Registered at the start of a run, fed after each data row, reset after
    // the band that shows them.
    TrpAggregateList& Aggregates() { return FAggregates; }
    const TrpAggregateList& Aggregates() const { return FAggregates; }
    // Objects told about every data row shown (OnNotify).
    std::vector<TrpComponent*>& NotifyList() { return FNotifyList; }

protected:
    // The state's invariants (see the engine's design comment); checked
    // with Q_ASSERT at the transitions that matter.
    virtual bool InvariantsHold() const;

    void SetCurX(Extended Value) { FCurX = Value; }
    void SetCurY(Extended Value) { FCurY = Value; }
    void SetPageSize(Extended Width, Extended Height)
    {
        FPageWidth = Width;
        FPageHeight = Height;
    }
    void SetCurColumn(int Value) { FCurColumn = Value; }
    void SetCurVColumn(int Value) { FCurVColumn = Value; }
    void SetCurLine(int Line, int LineThrough)
    {
        FCurLine = Line;
        FCurLineThrough = LineThrough;
    }
    void SetPass(bool Final, int Total)
    {
        FFinalPass = Final;
        FTotalPages = Total;
    }
    void SetStart(double Date, double Time)
    {
        FStartDate = Date;
        FStartTime = Time;
    }
    void SetRunning(bool Value) { FRunning = Value; }
    void SetSecondScriptCall(bool Value) { FSecondScriptCall = Value; }
    void SetCurBand(TrpBand* Value) { FCurBand = Value; }

private:
    TrpReport* FReport;
    TrpAggregateList FAggregates;
    std::vector<TrpComponent*> FNotifyList;
    Extended FCurX = 0, FCurY = 0;
    Extended FPageHeight = 0, FPageWidth = 0;
    int FCurColumn = 1;
    int FCurVColumn = 0;
    int FCurLine = 0, FCurLineThrough = 0;
    bool FFinalPass = false;
    int FTotalPages = 0;
    double FStartDate = 0, FStartTime = 0;
    bool FRunning = false;
    bool FSecondScriptCall = false;
    TrpBand* FCurBand = nullptr;
};

// A band printed again at the top of every new page: Left is the page
// column offset at which it was added.
struct TrpHeaderListItem {
    TrpBand* Band = nullptr;
    Extended Left = 0;
    bool IsInKeepList = false;
};

class TrpEngine : public TrpCustomEngine {
public:
    explicit TrpEngine(TrpReport* AReport);
    ~TrpEngine() override;

    int LogicalPageNo() const override;
    int LogicalTotalPages() const override;
    int CurPage() const override;

    Extended GetPageHeight() override;
    void EndPage() override;
    void BreakAllKeep() override;
    void NewColumn() override;
    void NewPage() override;
    void ShowBand(TrpBand* Band) override;
    void ShowBand(const TrpClassInfo& BandClass) override;
    Extended HeaderHeight() override;
    Extended FooterHeight() override;
    Extended FreeSpace() override;
    bool Run(bool ARunDialogs, bool AClearLast, TrpReportPage* APage) override;

    // The report page being run.
    TrpReportPage* Page() const { return FPage; }
    // Bands of the current page that reprint at the top of new pages.
    const std::vector<TrpHeaderListItem>& HeaderList() const { return FHeaderList; }
    // A stretchable object that does not fit even on an empty page is cut
    // after this many slices of one band, so a split always ends.
    static constexpr int MaxSplitSlices = 10000;

protected:
    bool InvariantsHold() const override;

private:
    class TrpRunGuard;

    // --- band tree (rpBandTree.cpp)
    void BuildBandTree(TrpReportPage* APage, bool Vertical);
    TrpDataSet* VirtualDataSetFor(TrpDataBand* Band);

    // --- pages and page copies
    void RunReportPages(TrpReportPage* APage);
    void RunAllPages(TrpReportPage* APage);
    void RunReportPage(TrpReportPage* APage);
    void RunPageCopy();
    bool HasDataRows(TrpComponent* Owner, bool Flag);
    void ShowPageObjects();
    void StartReportPage();
    void AddOutputPage();
    void ShowPageFooter();
    void ShowOverlay(bool OnTop);
    void UpdateEndlessPage();

    // --- bands
    void PlaceBand(TrpBand* Band);
    void PrepareBand(TrpBand* Band);
    void FinishBand(TrpBand* Band);
    void AddBandToStore(TrpBand* Band);
    // Re-evaluates a band's SuppressRepeated memos before it moves to a new
    // page, so their text is not blank at the top of it.
    void RecalcSuppressed(TrpBand* Band);
    void ShowDataBands(const std::vector<TrpBand*>& List);
    void ShowDataBand(TrpDataBand* Band);
    bool RowPasses(TrpDataBand* Band);
    void AddReprintHeader(TrpBand* Header);
    void RemoveReprintHeader(TrpBand* Header);

    // --- groups (a chain of group headers on a data band)
    std::vector<TrpGroupHeader*> GroupChain(TrpDataBand* Band) const;
    Variant GroupValue(TrpGroupHeader* Header);
    void ShowGroupHeaders(const std::vector<TrpGroupHeader*>& Chain, size_t From);
    void ShowGroupFooters(const std::vector<TrpGroupHeader*>& Chain, size_t From, TrpDataBand* Band);

    // --- keep blocks
    // Position and KeepY: where the block starts when it is not here (the
    // store position and CurY before the last row, for a kept footer).
    void BeginKeepBlock(TrpBand* Band, int Position = -1, Extended KeepY = -1);
    void EndKeepBlock(TrpBand* Band);

    // --- stretching, shifting and splitting (rpStretch.cpp)
    void StretchBand(TrpBand* Band);
    void SplitBand(TrpBand* Band);

    void FireEvent(TrpComponent* Sender, const QString& Procedure);
    void PumpMessages();
    bool Terminated() const;

    TrpReportPage* FPage = nullptr;
    std::vector<TrpHeaderListItem> FHeaderList;
    TrpBand* FLastBandOnPage = nullptr;
    bool FIsFirstPage = false;
    bool FIsLastPage = false;
    bool FIsFirstBand = false;
    bool FTitlePrinted = false;
    bool FFirstReportPage = false;
    Extended FFirstColumnY = 0;
    Extended FPageCurX = 0;
    Extended FPrevFooterHeight = 0;
    // Keep block: open while FKeeping.
    bool FKeeping = false;
    TrpBand* FKeepBand = nullptr;
    Extended FKeepCurY = 0;
    int FKeepPosition = 0;
    int FKeepAnchor = -1;
    bool FKeepFooter = false;
    bool FKeepHeader = false;
    bool FCallFromAddPage = false;
    bool FCallFromEndPage = false;
    bool FCallFromPHeader = false;
    TrpBand* FStartNewPageBand = nullptr;
    bool FDontShowHeaders = false;
    // (band name, row number) of the data bands open now, outermost first.
    std::vector<std::pair<QString, int>> FHBandNamesTree;
    // Internal row sources of data bands that have only a RowCount.
    std::vector<std::pair<TrpDataBand*, std::unique_ptr<TrpDataSet>>> FVirtualDataSets;
};
