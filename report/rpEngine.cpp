// The band engine: runs the report pages of a template over their data sets
// and hands every placed band to the report's prepared-pages store.
//
// States of a run:
//
//   Idle --Run--> Running: pass 1 [--DoublePass--> pass 2] --finalise--> Idle
//
// Within a pass each report page runs once per row of its data set (or
// PageCount times); each such page copy is
//
//   StartReportPage -> AddOutputPage -> { bands; NewPage = EndPage +
//   AddOutputPage }* -> EndPage (IsLastPage)
//
// A band goes PrepareBand (evaluate, stretch) -> free-space test (NewColumn
// or SplitBand) -> store AddObject at (CurX, CurY) -> FinishBand (restore
// the template) -> aggregates of the band reset. A data band's row is fed to
// the aggregates after it has been placed, so a page-footer total counts a
// row on the page where it lands, even when its evaluation began before the
// page break.
//
// Invariants (InvariantsHold, asserted after every page and band):
//   1. CurColumn is at least 1.
//   2. TotalPages is 0 unless FinalPass: only a second pass knows the count.
//   3. A keep block is open only while running, and then has its band.
//   4. SecondScriptCall is set only while running.
//   5. While running the report's engine is this engine.
//
// Failures: band-tree and data-set errors stop the run before any page is
// made (Run returns false). An exception from an expression leaves Run; the
// run guard still finalises the data sets and the store.
#include "rpEngine.h"

#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpDBSet.h"
#include "rpMemoData.h"
#include "sc_iinterpreter.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QElapsedTimer>

namespace {

// Day count from 30 December 1899, split into the date and the time part.
void NowAsDays(double& Date, double& Time)
{
    const QDateTime now = QDateTime::currentDateTime();
    const QDate epoch(1899, 12, 30);
    Date = double(epoch.daysTo(now.date()));
    Time = double(now.time().msecsSinceStartOfDay()) / 86400000.0;
}

bool IsHeaderKind(const TrpBand* Band)
{
    return dynamic_cast<const TrpHeader*>(Band) != nullptr;
}

// Values compared for a group break; values that cannot be compared differ.
bool SameValue(const Variant& A, const Variant& B)
{
    if (A.IsNull() || A.IsEmpty() || B.IsNull() || B.IsEmpty())
        return (A.IsNull() || A.IsEmpty()) == (B.IsNull() || B.IsEmpty());
    try {
        return Variant::Equals(A, B);
    } catch (const EPelmoraError&) {
        return false;
    }
}

bool MultiColumn(const TrpBand* Band)
{
    const auto* data = dynamic_cast<const TrpDataBand*>(Band);
    return data && data->Columns() > 1;
}

} // namespace

// ------------------------------------------------------------ custom engine

TrpCustomEngine::TrpCustomEngine(TrpReport* AReport)
    : FReport(AReport)
    , FAggregates(AReport)
{
}

TrpCustomEngine::~TrpCustomEngine() = default;

TrpCustomPreviewPages* TrpCustomEngine::PreviewPages() const
{
    return FReport ? FReport->PreviewPages() : nullptr;
}

Variant TrpCustomEngine::GetAggregateValue(
    const QString& Name, const QString& Expression, TrpBand* Band, int Flags)
{
    return FAggregates.GetValue(FCurBand, FCurVColumn, Name, Expression, Band, Flags);
}

void TrpCustomEngine::ShowBandByName(const QString& BandName)
{
    if (auto* band = dynamic_cast<TrpBand*>(FReport ? FReport->FindByName(BandName) : nullptr))
        ShowBand(band);
}

void TrpCustomEngine::StopReport()
{
    if (FReport)
        FReport->SetTerminated(true);
}

bool TrpCustomEngine::InvariantsHold() const
{
    if (FCurColumn < 1)
        return false;
    if (!FFinalPass && FTotalPages != 0)
        return false;
    if (FSecondScriptCall && !FRunning)
        return false;
    return true;
}

// ------------------------------------------------------------ run guard

// Opens a run and, however the run ends, finalises it: the data sets, the
// store, the Running flag and the report's engine link.
class TrpEngine::TrpRunGuard {
public:
    explicit TrpRunGuard(TrpEngine& AEngine)
        : FEngine(AEngine)
        , FSavedEngine(AEngine.Report()->Engine())
    {
        FEngine.Report()->SetEngine(&FEngine);
    }
    ~TrpRunGuard()
    {
        TrpReport* report = FEngine.Report();
        try {
            if (FDataSetsInitialized) {
                TrpReportDataSets& sets = report->DataSets();
                for (int i = 0; i < sets.Count(); ++i)
                    if (TrpDataSet* d = sets.Items(i).DataSet)
                        d->Finalize();
            }
        } catch (const std::exception& e) {
            report->AddError(QString::fromUtf8(e.what()));
        }
        for (const auto& [band, d] : FEngine.FVirtualDataSets) {
            d->Finalize();
            band->VirtualDataSet = nullptr;
        }
        if (TrpCustomPreviewPages* pages = FEngine.PreviewPages())
            pages->Finish();
        FEngine.FKeeping = false;
        FEngine.SetSecondScriptCall(false);
        FEngine.SetRunning(false);
        report->SetEngine(FSavedEngine);
    }
    TrpRunGuard(const TrpRunGuard&) = delete;
    TrpRunGuard& operator=(const TrpRunGuard&) = delete;

    bool FDataSetsInitialized = false;

private:
    TrpEngine& FEngine;
    TrpCustomEngine* FSavedEngine;
};

// ------------------------------------------------------------ engine

TrpEngine::TrpEngine(TrpReport* AReport)
    : TrpCustomEngine(AReport)
{
}

TrpEngine::~TrpEngine() = default;

int TrpEngine::LogicalPageNo() const
{
    TrpCustomPreviewPages* pages = PreviewPages();
    return pages ? pages->GetLogicalPageNo() : 0;
}

int TrpEngine::LogicalTotalPages() const
{
    TrpCustomPreviewPages* pages = PreviewPages();
    return pages ? pages->GetLogicalTotalPages() : 0;
}

int TrpEngine::CurPage() const
{
    TrpCustomPreviewPages* pages = PreviewPages();
    return pages ? pages->CurPage() : 0;
}

bool TrpEngine::InvariantsHold() const
{
    if (!TrpCustomEngine::InvariantsHold())
        return false;
    if (FKeeping && (!Running() || !FKeepBand))
        return false;
    if (Running() && Report()->Engine() != this)
        return false;
    return true;
}

bool TrpEngine::Terminated() const
{
    return Report()->Terminated();
}

void TrpEngine::PumpMessages()
{
    if (Report()->EngineOptions()->EnableThreadSafe())
        return;
    // Often enough for a Cancel button, rarely enough to cost nothing.
    static thread_local QElapsedTimer last;
    if (last.isValid() && last.elapsed() < 50)
        return;
    last.start();
    QCoreApplication::processEvents();
}

void TrpEngine::FireEvent(TrpComponent* /*Sender*/, const QString& Procedure)
{
    if (Procedure.isEmpty())
        return;
    // A procedure of the report script, called through the expression
    // engine; a name the script does not declare is ignored.
    TscCustomVariable* proc = Report()->Script()->FindLocal(Procedure);
    if (proc && proc->IsCallable())
        Report()->Calc(Procedure);
}

// ------------------------------------------------------------ heights

Extended TrpEngine::HeaderHeight()
{
    Extended h = 0;
    if (!FPage)
        return h;
    for (TrpBand* b : std::initializer_list<TrpBand*> {
             FPage->FindBand<TrpColumnHeader>(), FPage->FindBand<TrpPageHeader>() })
        for (TrpBand* c = b; c; c = c->Child())
            h += c->Height();
    return h;
}

Extended TrpEngine::FooterHeight()
{
    Extended h = 0;
    if (!FPage)
        return h;
    if (TrpBand* b = FPage->FindBand<TrpColumnFooter>())
        h += b->Height();
    if (TrpBand* b = FPage->FindBand<TrpPageFooter>())
        h += b->Height();
    return h;
}

Extended TrpEngine::FreeSpace()
{
    if (FPage && FPage->EndlessHeight())
        return 1000000;
    if (FPrevFooterHeight != 0)
        return PageHeight() - FPrevFooterHeight - CurY();
    return PageHeight() - FooterHeight() - CurY();
}

Extended TrpEngine::GetPageHeight()
{
    if (FPage && FPage->EndlessHeight())
        return FooterHeight() + CurY();
    return PageHeight();
}

// ------------------------------------------------------------ run

bool TrpEngine::Run(bool /*ARunDialogs*/, bool /*AClearLast*/, TrpReportPage* APage)
{
    TrpReport* report = Report();
    TrpCustomPreviewPages* pages = PreviewPages();
    if (!pages) {
        report->AddError(QStringLiteral("The report has no store for prepared pages"));
        return false;
    }
    TrpRunGuard guard(*this);

    FPrevFooterHeight = 0;
    pages->Initialize();
    pages->SetAddPageAction(apAdd);
    double date = 0, time = 0;
    NowAsDays(date, time);
    SetStart(date, time);
    SetRunning(true);
    FKeeping = false;
    SetCurVColumn(0);
    SetCurColumn(1);
    SetCurBand(nullptr);
    Aggregates().Clear();
    FHeaderList.clear();
    FVirtualDataSets.clear();

    std::vector<TrpReportPage*> reportPages;
    for (const auto& o : report->Objects())
        if (auto* p = dynamic_cast<TrpReportPage*>(o.get()))
            reportPages.push_back(p);
    for (TrpReportPage* p : reportPages) {
        BuildBandTree(p, false);
        BuildBandTree(p, true);
    }
    TrpDataSet* reportData = report->DataSet();
    for (TrpReportPage* p : reportPages) {
        if (reportData && reportData == p->DataSet()) {
            report->AddError(
                QStringLiteral("Cannot use the same dataset for Report.DataSet and Page.DataSet"));
            break;
        }
        for (TrpBand* b : p->SubBands) {
            TrpDataSet* d = static_cast<TrpDataBand*>(b)->DataSet();
            if (!d)
                continue;
            if (d == reportData)
                report->AddError(
                    QStringLiteral("Cannot use the same dataset for Report.DataSet and Band.DataSet"));
            else if (d == p->DataSet())
                report->AddError(
                    QStringLiteral("Cannot use the same dataset for Page.DataSet and Band.DataSet"));
        }
    }
    if (!report->Errors().isEmpty())
        return false;

    TrpReportDataSets& sets = report->DataSets();
    guard.FDataSetsInitialized = true;
    for (int i = 0; i < sets.Count(); ++i)
        if (TrpDataSet* d = sets.Items(i).DataSet) {
            d->SetReportRef(report);
            d->Initialize();
        }

    const std::vector<TrpReportPage*> run = APage ? std::vector<TrpReportPage*> { APage } : reportPages;
    for (TrpReportPage* p : run) {
        pages->AddSourcePage(p);
        Aggregates().AddItems(p);
    }

    const bool doublePass = report->EngineOptions()->DoublePass();
    SetPass(!doublePass, 0);
    pages->BeginPass();
    int lastColumn = 0;
    long double lastColumnPos = 0;
    const bool hadPages = pages->Count() > 0 && doublePass;
    if (hadPages)
        pages->GetLastColumnPos(lastColumn, lastColumnPos);

    RunReportPages(APage);

    if (doublePass && !Terminated()) {
        const int total = pages->Count();
        pages->SetCurPage(total - 1);
        pages->ClearFirstPassPages();
        if (pages->CurPage() >= 0 && hadPages)
            pages->UpdatePageLastColumn(lastColumn, lastColumnPos, false);
        Aggregates().ClearValues();
        SetPass(true, total);
        RunReportPages(APage);
    }
    Q_ASSERT(InvariantsHold());
    return true;
}

void TrpEngine::RunReportPages(TrpReportPage* APage)
{
    FFirstReportPage = true;
    if (TrpDataSet* d = Report()->DataSet()) {
        d->First();
        while (!d->Eof() && !Terminated()) {
            RunAllPages(APage);
            d->Next();
        }
    } else {
        RunAllPages(APage);
    }
}

void TrpEngine::RunAllPages(TrpReportPage* APage)
{
    if (APage) {
        RunReportPage(APage);
        FFirstReportPage = false;
        return;
    }
    for (const auto& o : Report()->Objects()) {
        auto* p = dynamic_cast<TrpReportPage*>(o.get());
        if (!p || !p->Visible() || p->SubReport)
            continue;
        if (Terminated())
            break;
        RunReportPage(p);
        FFirstReportPage = false;
    }
}

void TrpEngine::RunReportPage(TrpReportPage* APage)
{
    FPage = APage;
    FIsFirstBand = true;
    FireEvent(APage, APage->OnBeforePrint());
    if (TrpDataSet* d = APage->DataSet()) {
        d->First();
        while (!d->Eof() && !Terminated()) {
            RunPageCopy();
            d->Next();
        }
    } else {
        for (int i = 0; i < APage->PageCount() && !Terminated(); ++i)
            RunPageCopy();
    }
    FireEvent(APage, APage->OnAfterPrint());
}

void TrpEngine::RunPageCopy()
{
    if (!HasDataRows(FPage, FPage->PrintIfEmpty()))
        return;
    // Line# counts the rows of a data band across its runs within the copy.
    for (const auto& o : FPage->Objects())
        if (auto* b = dynamic_cast<TrpBand*>(o.get()))
            b->LineThrough = 1;
    StartReportPage();
    ShowPageObjects();
    if (!FPage->OnManualBuild().isEmpty())
        FireEvent(FPage, FPage->OnManualBuild());
    else
        ShowDataBands(FPage->SubBands);
    FIsLastPage = true;
    UpdateEndlessPage();
    EndPage();
    FIsLastPage = false;
    Q_ASSERT(InvariantsHold());
}

bool TrpEngine::HasDataRows(TrpComponent* Owner, bool Flag)
{
    if (Flag)
        return true;
    const std::vector<TrpBand*>* details = nullptr;
    if (auto* page = dynamic_cast<TrpReportPage*>(Owner)) {
        details = &page->SubBands;
    } else if (auto* band = dynamic_cast<TrpBand*>(Owner)) {
        if (band->SubBands.empty())
            return true;
        details = &band->SubBands;
    }
    if (!details)
        return false;
    for (TrpBand* b : *details) {
        auto* detail = dynamic_cast<TrpDataBand*>(b);
        TrpDataSet* d = detail ? (detail->DataSet() ? detail->DataSet() : detail->VirtualDataSet) : nullptr;
        if (!d)
            continue;
        FireEvent(detail, detail->OnMasterDetail());
        d->First();
        while (!d->Eof()) {
            if (HasDataRows(detail, detail->PrintIfDetailEmpty()))
                return true;
            d->Next();
        }
    }
    return false;
}

void TrpEngine::ShowPageObjects()
{
    std::vector<TrpComponent*> views;
    for (const auto& o : FPage->Objects())
        if (!dynamic_cast<TrpBand*>(o.get()) && dynamic_cast<TrpView*>(o.get()))
            views.push_back(o.get());
    if (views.empty())
        return;
    // The page's own objects print once, on the copy's first output page,
    // through a band that exists only for that.
    auto* holder = static_cast<TrpNullBand*>(FPage->InsertChild(std::make_unique<TrpNullBand>()));
    holder->SetBounds(0, CurY(), PageWidth(), PageHeight());
    for (TrpComponent* v : views)
        v->SetParent(holder);
    const Extended savedY = CurY();
    try {
        ShowBand(holder);
    } catch (...) {
        for (TrpComponent* v : views)
            v->SetParent(FPage);
        FPage->DeleteObject(holder);
        throw;
    }
    for (TrpComponent* v : views)
        v->SetParent(FPage);
    FPage->DeleteObject(holder);
    SetCurY(savedY);
}

void TrpEngine::StartReportPage()
{
    TrpCustomPreviewPages* pages = PreviewPages();
    FHeaderList.clear();
    TrpBand* title = FPage->FindBand<TrpReportTitle>();
    TrpBand* pageHeader = FPage->FindBand<TrpPageHeader>();
    if (FPage->TitleBeforeHeader()) {
        FHeaderList.push_back({ title, 0, false });
        FHeaderList.push_back({ pageHeader, 0, false });
    } else {
        FHeaderList.push_back({ pageHeader, 0, false });
        FHeaderList.push_back({ title, 0, false });
    }
    SetPageSize(FPage->PrintableWidth(), FPage->PrintableHeight());
    SetCurX(0);
    SetCurY(0);
    SetCurColumn(1);
    FPageCurX = 0;
    FIsFirstPage = true;
    FIsLastPage = false;
    FPrevFooterHeight = 0;
    if (TrpCustomOutline* outline = pages->Outline())
        outline->LevelRoot();
    if (FPage->ResetPageNumbers())
        pages->ResetLogicalPageNumber();
    if (pages->Count() > 0 && FPage->PrintOnPreviousPage()) {
        pages->SetCurPage(pages->Count() - 1);
        SetCurY(pages->GetLastY());
        // The previous page's title does not repeat here.
        for (TrpHeaderListItem& item : FHeaderList)
            if (item.Band == title && !FPage->ShowTitleOnPreviousPage())
                item.Band = nullptr;
        for (size_t i = 0; i < FHeaderList.size(); ++i)
            if (FHeaderList[i].Band && FHeaderList[i].Band == title) {
                ShowBand(title);
                FHeaderList[i].Band = nullptr;
            }
    } else {
        AddOutputPage();
    }
    FFirstColumnY = CurY();
    if (FFirstReportPage)
        pages->SetFirstPage(pages->CurPage());
    TrpBand* columnHeader = FPage->FindBand<TrpColumnHeader>();
    ShowBand(columnHeader);
    FHeaderList.push_back({ columnHeader, 0, false });
    for (TrpHeaderListItem& item : FHeaderList)
        if (item.Band && item.Band == title)
            item.Band = nullptr;
    if (!FPage->OutlineText().isEmpty())
        if (TrpCustomOutline* outline = pages->Outline())
            outline->AddItem(rpValueToText(Report()->Calc(FPage->OutlineText())), int(rpRound(CurY())));
}

void TrpEngine::AddOutputPage()
{
    TrpCustomPreviewPages* pages = PreviewPages();
    FPrevFooterHeight = 0;
    pages->AddPage(FPage);
    SetCurY(0);
    ShowOverlay(false);
    SetCurY(0);

    const Extended savedX = CurX();
    for (size_t i = 0; i < FHeaderList.size(); ++i) {
        const TrpHeaderListItem item = FHeaderList[i];
        TrpBand* band = item.Band;
        if (!band || band == FStartNewPageBand)
            continue;
        SetCurX(item.Left);
        if (auto* ph = dynamic_cast<TrpPageHeader*>(band); ph && FIsFirstPage && !ph->PrintOnFirstPage()) {
            if (!ph->PrintChildIfInvisible() || !ph->Child())
                continue;
            band = ph->Child();
        }
        if (IsHeaderKind(band) && FKeeping && FKeepHeader && !FKeepFooter)
            continue;
        if (item.IsInKeepList || FDontShowHeaders)
            continue;
        if (IsHeaderKind(band) && band == FLastBandOnPage)
            continue;
        const int line = CurLine(), through = CurLineThrough();
        FCallFromAddPage = true;
        SetCurLine(band->LineN, band->LineThrough);
        band->Overflow = true;
        const bool pageHeader = dynamic_cast<TrpPageHeader*>(band) != nullptr;
        FCallFromPHeader = pageHeader;
        try {
            ShowBand(band);
        } catch (...) {
            FCallFromAddPage = FCallFromPHeader = false;
            band->Overflow = false;
            throw;
        }
        FCallFromAddPage = FCallFromPHeader = false;
        band->Overflow = false;
        SetCurLine(line, through);
        if (dynamic_cast<TrpReportTitle*>(band)) {
            FHeaderList[i].Band = nullptr;
            if (FIsFirstBand)
                FTitlePrinted = true;
        }
        if (pageHeader)
            FFirstColumnY = CurY();
    }
    SetCurX(savedX);
}

void TrpEngine::UpdateEndlessPage()
{
    if (!FPage->EndlessHeight())
        return;
    const Extended height = GetPageHeight() + (FPage->TopMargin() + FPage->BottomMargin()) * rp01cm;
    PreviewPages()->UpdatePageDimensions(FPage, FPage->PaperWidth() * rp01cm, height);
}

// ------------------------------------------------------------ page flow

void TrpEngine::NewColumn()
{
    const int columns = FPage ? FPage->Columns() : 0;
    if (CurColumn() >= columns) {
        NewPage();
        return;
    }
    TrpCustomPreviewPages* pages = PreviewPages();
    ShowBand(FPage->FindBand<TrpColumnFooter>());
    const bool moving = FKeeping;
    if (moving) {
        if (FKeepFooter)
            Aggregates().DeleteValue(FKeepBand);
        pages->CutObjects(FKeepPosition);
    }
    SetCurColumn(CurColumn() + 1);
    SetCurY(FFirstColumnY);
    const QStringList positions = FPage->ColumnPositions();
    const int at = CurColumn() - 1;
    const Extended position = at < positions.size() ? positions[at].toDouble() : FPage->ColumnWidth() * at;
    SetCurX(position * rp01cm + FPageCurX);
    for (size_t i = 0; i < FHeaderList.size(); ++i) {
        TrpBand* band = FHeaderList[i].Band;
        if (!band || dynamic_cast<TrpPageHeader*>(band) || dynamic_cast<TrpReportTitle*>(band)
            || FHeaderList[i].IsInKeepList || (IsHeaderKind(band) && FKeeping && FKeepHeader))
            continue;
        FCallFromAddPage = true;
        try {
            ShowBand(band);
        } catch (...) {
            FCallFromAddPage = false;
            throw;
        }
        FCallFromAddPage = false;
    }
    if (moving) {
        pages->PasteObjects(CurX(), CurY());
        SetCurY(pages->GetLastY(CurX()));
        if (FKeepFooter)
            Aggregates().AddValue(FKeepBand, CurVColumn());
    }
    if (FKeeping) {
        FKeeping = false;
        FKeepFooter = false;
        Aggregates().EndKeep();
    }
}

void TrpEngine::NewPage()
{
    TrpCustomPreviewPages* pages = PreviewPages();
    // A block that would not fit even on an empty page stays where it is.
    if (FKeeping && CurY() - FKeepCurY + FKeepBand->Height() > PageHeight() - FooterHeight()) {
        FKeeping = false;
        FKeepFooter = false;
        Aggregates().EndKeep();
    }
    const bool moving = FKeeping;
    if (moving) {
        if (FKeepFooter)
            Aggregates().DeleteValue(FKeepBand);
        pages->CutObjects(FKeepPosition);
    }
    FLastBandOnPage = CurBand();
    EndPage();
    UpdateEndlessPage();
    AddOutputPage();
    FLastBandOnPage = nullptr;
    if (moving) {
        const int anchor = pages->GetAnchorCurPosition();
        pages->PasteObjects(CurX(), CurY());
        if (FKeepAnchor >= 0 && anchor >= FKeepAnchor)
            pages->ShiftAnchors(FKeepAnchor, int(rpRound(CurY())));
        SetCurY(pages->GetLastY(CurX()));
        if (FKeepFooter)
            Aggregates().AddValue(FKeepBand, CurVColumn());
    }
    if (FKeeping) {
        FKeeping = false;
        FKeepFooter = false;
        Aggregates().EndKeep();
    }
    Q_ASSERT(InvariantsHold());
}

void TrpEngine::EndPage()
{
    if (!(FIsLastPage && FCallFromEndPage))
        ShowBand(FPage->FindBand<TrpColumnFooter>());
    if (!FIsLastPage) {
        SetCurX(FPageCurX);
        SetCurColumn(1);
    }
    if (FIsLastPage && !FCallFromEndPage) {
        FCallFromEndPage = true;
        try {
            ShowBand(FPage->FindBand<TrpReportSummary>());
        } catch (...) {
            FCallFromEndPage = false;
            throw;
        }
        FCallFromEndPage = false;
    }
    ShowPageFooter();
    ShowOverlay(true);
    FIsFirstPage = false;
}

void TrpEngine::ShowPageFooter()
{
    TrpPageFooter* footer = FPage->FindBand<TrpPageFooter>();
    if (!footer)
        return;
    // Closing a page from inside the summary: that page is not the last.
    const bool lastPage = FIsLastPage && !FCallFromEndPage;
    SetCurY(GetPageHeight() - footer->Height());
    FPrevFooterHeight = lastPage && footer->PrintOnLastPage() ? footer->Height() : 0;
    PrepareBand(footer);
    bool reset = true;
    if (footer->Visible()) {
        footer->SetLeft(0);
        footer->SetTop(CurY());
        if ((FIsFirstPage && !footer->PrintOnFirstPage()) || (lastPage && !footer->PrintOnLastPage())) {
            // Left out here: the next printed footer counts this page's rows too.
            reset = false;
        } else {
            AddBandToStore(footer);
            SetCurY(CurY() + footer->Height());
        }
    }
    FinishBand(footer);
    if (reset)
        Aggregates().Reset(footer);
}

void TrpEngine::ShowOverlay(bool OnTop)
{
    TrpOverlay* overlay = FPage->FindBand<TrpOverlay>();
    if (!overlay || overlay->PrintOnTop() != OnTop)
        return;
    const Extended savedY = CurY();
    SetCurY(0);
    ShowBand(overlay);
    SetCurY(savedY);
}

// ------------------------------------------------------------ bands

void TrpEngine::ShowBand(const TrpClassInfo& BandClass)
{
    if (FPage)
        ShowBand(FPage->FindBand(BandClass));
}

void TrpEngine::ShowBand(TrpBand* Band)
{
    if (!Band)
        return;
    if (Band->KeepChild())
        BeginKeepBlock(Band);
    PlaceBand(Band);
    if ((Band->Visible() || Band->PrintChildIfInvisible()) && !MultiColumn(Band))
        ShowBand(Band->Child());
    if (Band->KeepChild())
        EndKeepBlock(Band);
    if (dynamic_cast<TrpDataBand*>(Band))
        Aggregates().AddValue(Band, CurVColumn());
}

void TrpEngine::PlaceBand(TrpBand* Band)
{
    const bool visible = Band->Visible();
    const bool breaksBefore = dynamic_cast<TrpDataBand*>(Band) || dynamic_cast<TrpGroupHeader*>(Band);
    if (visible && Band->StartNewPage() && !FCallFromAddPage && (!breaksBefore || Band->LineN != 1)) {
        if (auto* g = dynamic_cast<TrpGroupHeader*>(Band); g && g->ResetPageNumbers())
            PreviewPages()->ResetLogicalPageNumber();
        FStartNewPageBand = Band;
        try {
            NewPage();
        } catch (...) {
            FStartNewPageBand = nullptr;
            throw;
        }
        FStartNewPageBand = nullptr;
    }

    PrepareBand(Band);
    Band->StretchedHeight = Band->Height();

    const bool multiColumn = MultiColumn(Band);
    bool split = false;
    // Bands reprinted at the top of a fresh page are not tested: one that
    // does not fit there would otherwise break pages without end.
    if (visible && !dynamic_cast<TrpOverlay*>(Band) && !Band->IsNullBand() && !FCallFromAddPage
        && (!multiColumn || static_cast<TrpDataBand*>(Band)->CurColumn() == 1)
        && FreeSpace() < Band->Height()) {
        if (!multiColumn
            && ((Band->AllowSplit() && !FKeeping) || Band->Height() > PageHeight() - FooterHeight())) {
            if (!Band->AllowSplit() && Band->LineThrough > 1 && !Band->StartNewPage())
                NewColumn();
            BreakAllKeep();
            SplitBand(Band);
            split = true;
        } else {
            if (!FKeeping)
                RecalcSuppressed(Band);
            if (!(dynamic_cast<TrpChild*>(Band) && FCallFromPHeader))
                NewColumn();
        }
    }

    if (!split && visible) {
        if (!Band->IsNullBand()) {
            Band->SetLeft(multiColumn ? Band->Left() + CurX() : CurX());
            Band->SetTop(CurY());
        }
        AddBandToStore(Band);
        SetCurY(CurY() + Band->Height());
    }
    FinishBand(Band);
    Aggregates().Reset(Band);
    Q_ASSERT(InvariantsHold());
}

void TrpEngine::AddBandToStore(TrpBand* Band)
{
    const bool hadFill = Band->FillMemo() != nullptr;
    Band->CreateFillMemo();
    if (TrpMemoView* fill = Band->FillMemo()) {
        // Made once and kept in front: the run-time objects FinishBand frees
        // are counted from the end, past it.
        if (!hadFill && Band->OriginalObjectsCount >= 0)
            ++Band->OriginalObjectsCount;
        TrpFillGap* gap = Band->FillGap();
        fill->SetBounds(gap->Left(), gap->Top(), Band->Width() - gap->Left() - gap->Right(),
            Band->Height() - gap->Top() - gap->Bottom());
    }
    TrpCustomPreviewPages* pages = PreviewPages();
    if (FCallFromAddPage && pages->BandExists(Band))
        return;
    pages->AddObject(Band);
}

void TrpEngine::PrepareBand(TrpBand* Band)
{
    TrpReport* report = Report();
    SetCurBand(Band);
    Band->OriginalObjectsCount = Band->Count();
    Band->BeforePrint();
    FireEvent(Band, Band->OnBeforePrint());
    const bool visible = Band->Visible();
    for (const auto& o : Band->Objects()) {
        auto* c = dynamic_cast<TrpReportComponent*>(o.get());
        if (!c)
            continue;
        report->CurObject = c->Name();
        c->BeforePrint();
        if (visible) {
            FireEvent(c, c->OnBeforePrint());
            if (c->Visible()) {
                c->GetData();
                FireEvent(c, c->OnAfterData());
            }
        }
    }
    if (visible)
        StretchBand(Band);
}

void TrpEngine::FinishBand(TrpBand* Band)
{
    TrpReport* report = Report();
    const bool visible = Band->Visible();
    for (const auto& o : Band->Objects())
        if (auto* c = dynamic_cast<TrpReportComponent*>(o.get())) {
            if (visible) {
                report->CurObject = c->Name();
                FireEvent(c, c->OnAfterPrint());
            }
            c->AfterPrint();
        }
    report->CurObject.clear();
    FireEvent(Band, Band->OnAfterPrint());
    Band->AfterPrint();
    // Objects added while the band ran (by scripts) go again.
    if (Band->OriginalObjectsCount >= 0) {
        while (Band->Count() > Band->OriginalObjectsCount)
            Band->DeleteObject(Band->Objects(Band->Count() - 1));
        Band->OriginalObjectsCount = -1;
    }
}

void TrpEngine::RecalcSuppressed(TrpBand* Band)
{
    bool any = false;
    for (const auto& o : Band->Objects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(o.get()); m && m->SuppressRepeated())
            any = true;
    if (!any)
        return;
    SetSecondScriptCall(true);
    try {
        for (const auto& o : Band->Objects())
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o.get());
                m && m->SuppressRepeated() && m->Visible()) {
                m->SetMemo(m->TempMemo);
                m->LastValue = Variant::Null();
                Report()->CurObject = m->Name();
                m->GetData();
            }
    } catch (...) {
        SetSecondScriptCall(false);
        throw;
    }
    SetSecondScriptCall(false);
}

// ------------------------------------------------------------ data bands

void TrpEngine::ShowDataBands(const std::vector<TrpBand*>& List)
{
    if (List.empty())
        return;
    PumpMessages();
    if (Terminated())
        return;
    for (TrpBand* b : List) {
        auto* data = dynamic_cast<TrpDataBand*>(b);
        if (!data || !(data->DataSet() || data->VirtualDataSet))
            continue;
        ShowDataBand(data);
        if (Terminated())
            break;
    }
    FIsFirstBand = false;
}

bool TrpEngine::RowPasses(TrpDataBand* Band)
{
    const QString filter = Band->Filter().trimmed();
    if (filter.isEmpty())
        return true;
    return SameValue(Report()->Calc(filter), Variant(true));
}

void TrpEngine::AddReprintHeader(TrpBand* Header)
{
    for (const TrpHeaderListItem& item : FHeaderList)
        if (item.Band == Header)
            return;
    FHeaderList.push_back({ Header, FPageCurX, FKeeping });
}

void TrpEngine::RemoveReprintHeader(TrpBand* Header)
{
    if (!Header)
        return;
    for (auto it = FHeaderList.begin(); it != FHeaderList.end(); ++it)
        if (it->Band == Header) {
            FHeaderList.erase(it);
            return;
        }
}

std::vector<TrpGroupHeader*> TrpEngine::GroupChain(TrpDataBand* Band) const
{
    std::vector<TrpGroupHeader*> chain;
    for (TrpBand* g = Band->Group; g; g = g->Group) {
        auto* header = dynamic_cast<TrpGroupHeader*>(g);
        if (!header || std::find(chain.begin(), chain.end(), header) != chain.end())
            break;
        chain.push_back(header);
    }
    return chain;
}

Variant TrpEngine::GroupValue(TrpGroupHeader* Header)
{
    QString condition = Header->Condition().trimmed();
    // Written either bare or in the brackets of a memo text.
    if (condition.startsWith(QLatin1Char('[')) && condition.endsWith(QLatin1Char(']')))
        condition = condition.mid(1, condition.size() - 2).trimmed();
    if (condition.isEmpty())
        return Variant::Null();
    Report()->CurObject = Header->Name();
    return Report()->Calc(condition);
}

void TrpEngine::ShowGroupHeaders(const std::vector<TrpGroupHeader*>& Chain, size_t From)
{
    for (size_t i = From; i < Chain.size(); ++i) {
        TrpGroupHeader* g = Chain[i];
        if (g->KeepTogether())
            BeginKeepBlock(g);
        if (g->ResetPageNumbers() && !g->StartNewPage() && g->LineN > 1)
            PreviewPages()->ResetLogicalPageNumber();
        ShowBand(g);
        if (g->ReprintOnNewPage())
            AddReprintHeader(g);
        ++g->LineN;
        ++g->LineThrough;
    }
}

void TrpEngine::ShowGroupFooters(const std::vector<TrpGroupHeader*>& Chain, size_t From, TrpDataBand* Band)
{
    for (size_t i = Chain.size(); i-- > From;) {
        TrpGroupHeader* g = Chain[i];
        RemoveReprintHeader(g);
        if (auto* footer = dynamic_cast<TrpGroupFooter*>(g->Footer)) {
            // The group's row count is kept in the footer's LineN.
            const bool single = footer->LineN == 1;
            const bool visible = footer->Visible();
            if (footer->HideIfSingleDataRecord() && single)
                footer->SetVisible(false);
            try {
                ShowBand(footer);
            } catch (...) {
                footer->SetVisible(visible);
                throw;
            }
            footer->SetVisible(visible);
            footer->LineN = 0;
        }
        EndKeepBlock(g);
    }
    if (Band->KeepTogether())
        EndKeepBlock(Band);
}

void TrpEngine::ShowDataBand(TrpDataBand* Band)
{
    TrpCustomPreviewPages* pages = PreviewPages();
    TrpDataSet* data = Band->DataSet() ? Band->DataSet() : Band->VirtualDataSet;
    data->First();
    Band->LineN = 1;
    Band->SetCurColumn(1);
    for (const auto& o : Band->Objects())
        if (auto* m = dynamic_cast<TrpCustomMemoView*>(o.get()))
            m->LastValue = Variant::Null();

    const std::vector<TrpGroupHeader*> chain = GroupChain(Band);
    for (TrpGroupHeader* g : chain) {
        g->LineN = 1;
        if (g->Footer)
            g->Footer->LineN = 0;
    }
    TrpBand* header = Band->Header;
    bool first = true;
    bool printed = false;
    // Rows moved over since the last printed one: footers step back over
    // them so that they show, and count, the last printed row.
    int advanced = 0;
    int keepPosition = 0;
    Extended keepY = 0;
    auto stepBack = [&] {
        for (int i = 0; i < advanced; ++i)
            data->Prior();
    };
    auto stepForward = [&] {
        for (int i = 0; i < advanced; ++i)
            data->Next();
    };

    while (!data->Eof()) {
        if (!RowPasses(Band) || !HasDataRows(Band, Band->PrintIfDetailEmpty())) {
            data->Next();
            ++advanced;
            if (Terminated())
                break;
            continue;
        }
        if (first) {
            if (Band->KeepHeader() && header) {
                BeginKeepBlock(Band);
                FKeepHeader = FKeeping;
            }
            if (auto* h = dynamic_cast<TrpHeader*>(header); h && h->ReprintOnNewPage())
                AddReprintHeader(h);
            ShowBand(header);
            if (Band->KeepTogether())
                BeginKeepBlock(Band);
            for (TrpGroupHeader* g : chain)
                g->LastValue = GroupValue(g);
            ShowGroupHeaders(chain, 0);
        } else {
            size_t changed = chain.size();
            std::vector<Variant> values(chain.size());
            for (size_t i = 0; i < chain.size(); ++i) {
                values[i] = GroupValue(chain[i]);
                if (changed == chain.size() && !SameValue(values[i], chain[i]->LastValue))
                    changed = i;
            }
            if (changed < chain.size()) {
                stepBack();
                ShowGroupFooters(chain, changed, Band);
                stepForward();
                for (size_t i = changed; i < chain.size(); ++i)
                    chain[i]->LastValue = values[i];
                if (Band->KeepTogether())
                    BeginKeepBlock(Band);
                ShowGroupHeaders(chain, changed);
            } else if (chain.empty() && Band->KeepTogether()) {
                BeginKeepBlock(Band);
            }
        }
        advanced = 0;
        keepPosition = pages->GetCurPosition();
        keepY = CurY();

        SetCurLine(Band->LineN, Band->LineThrough);
        ShowBand(Band);
        FKeepHeader = false;
        for (TrpComponent* c : NotifyList())
            c->OnNotify(Band);
        if (first && Band->KeepHeader())
            EndKeepBlock(Band);
        FHBandNamesTree.emplace_back(Band->Name(), Band->LineThrough);
        ++Band->LineN;
        ++Band->LineThrough;
        for (TrpGroupHeader* g : chain)
            if (g->Footer)
                ++g->Footer->LineN;

        if (MultiColumn(Band)) {
            // Columns of a data band fill left to right; the next row of
            // columns starts below the tallest of the last one.
            Band->MaxY = std::max(Band->MaxY, CurY());
            if (Band->CurColumn() < Band->Columns()) {
                const Extended top = CurY() - Band->Height();
                const Extended maxY = Band->MaxY;
                Band->SetCurColumn(Band->CurColumn() + 1);
                Band->MaxY = maxY;
                SetCurY(top);
            } else {
                const Extended maxY = Band->MaxY;
                Band->SetCurColumn(1);
                SetCurY(maxY);
                ShowBand(Band->Child());
            }
        }
        TrpCustomOutline* outline = pages->Outline();
        if (outline && !Band->OutlineText().isEmpty())
            outline->AddItem(rpValueToText(Report()->Calc(Band->OutlineText())), int(rpRound(CurY())));
        ShowDataBands(Band->SubBands);
        FHBandNamesTree.pop_back();
        if (outline && !Band->OutlineText().isEmpty())
            outline->LevelUp();
        FIsFirstBand = false;

        if (Band->FooterAfterEach()) {
            if (Band->KeepFooter()) {
                BeginKeepBlock(Band, keepPosition, keepY);
                FKeepFooter = FKeeping;
            }
            ShowBand(Band->Footer);
            EndKeepBlock(Band);
        }
        first = false;
        printed = true;
        if (chain.empty() && Band->KeepTogether())
            EndKeepBlock(Band);
        data->Next();
        advanced = 1;
        if (Band->RowCount() > 0 && Band->LineN > Band->RowCount())
            break;
        if (Terminated())
            break;
    }

    if (printed) {
        if (MultiColumn(Band) && Band->CurColumn() > 1) {
            SetCurY(std::max(Band->MaxY, CurY()));
            Band->SetCurColumn(1);
        }
        stepBack();
        ShowGroupFooters(chain, 0, Band);
        if (FKeeping)
            RemoveReprintHeader(header);
        if (!Band->FooterAfterEach()) {
            if (Band->KeepFooter()) {
                BeginKeepBlock(Band, keepPosition, keepY);
                FKeepFooter = FKeeping;
            }
            ShowBand(Band->Footer);
            EndKeepBlock(Band);
        }
        stepForward();
        RemoveReprintHeader(header);
        if (!chain.empty() && Band->KeepTogether())
            EndKeepBlock(Band);
    }
}

// ------------------------------------------------------------ keep blocks

void TrpEngine::BeginKeepBlock(TrpBand* Band, int Position, Extended KeepY)
{
    if (FKeeping || !Band)
        return;
    TrpCustomPreviewPages* pages = PreviewPages();
    FKeeping = true;
    FKeepBand = Band;
    FKeepCurY = KeepY >= 0 ? KeepY : CurY();
    FKeepPosition = Position >= 0 ? Position : pages->GetCurPosition();
    FKeepAnchor = pages->GetAnchorCurPosition();
    FKeepFooter = false;
    Aggregates().StartKeep();
}

void TrpEngine::EndKeepBlock(TrpBand* Band)
{
    if (!FKeeping || FKeepBand != Band)
        return;
    FKeeping = false;
    FKeepFooter = false;
    Aggregates().EndKeep();
}

void TrpEngine::BreakAllKeep()
{
    if (!FKeeping)
        return;
    FKeeping = false;
    FKeepFooter = false;
    Aggregates().EndKeep();
}
