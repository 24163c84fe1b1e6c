// The band engine as the rest of the report sees it: the state that system
// variables and aggregates read while a run is in progress. The engine that
// lays out bands derives from it; tests supply their own.
#pragma once

#include "Variant.h"
#include "rpAggregate.h"

#include <QString>

class TrpBand;
class TrpReport;

class TrpCustomEngine {
public:
    explicit TrpCustomEngine(TrpReport* AReport)
        : Aggregates(AReport)
        , FReport(AReport)
    {
    }
    virtual ~TrpCustomEngine() = default;
    TrpCustomEngine(const TrpCustomEngine&) = delete;
    TrpCustomEngine& operator=(const TrpCustomEngine&) = delete;

    TrpReport* Report() const { return FReport; }

    // Page numbers as the prepared pages count them: the logical number of
    // the page being filled (restarts where page numbers are reset), the
    // logical page count, and the physical page index from 0.
    virtual int LogicalPageNo() const = 0;
    virtual int LogicalTotalPages() const = 0;
    virtual int CurPage() const = 0;
    // The value of the aggregate Name ("SUM", "AVG", "MIN", "MAX" or
    // "COUNT") over Expression that the band being prepared shows; Band is
    // none when the call names no band. Null when there is no such aggregate.
    // Asks Aggregates for the item shown in CurBand, at CurVColumn.
    virtual Variant GetAggregateValue(
        const QString& Name, const QString& Expression, TrpBand* Band, int Flags)
    {
        return Aggregates.GetValue(CurBand, CurVColumn, Name, Expression, Band, Flags);
    }

    // Run state (day counts from 30 December 1899 for the date and time).
    double StartDate = 0;
    double StartTime = 0;
    // LineN and LineThrough of the data band being shown.
    int CurLine = 0;
    int CurLineThrough = 0;
    int CurVColumn = 0;
    // 0 in a single pass and in the first of two; then the first pass's count.
    int TotalPages = 0;
    bool FinalPass = false;
    bool Running = false;
    // Top of the next band on the page being filled (report pixels); the
    // store takes anchors' tops from it.
    long double CurY = 0;
    // The band most recently prepared: the one whose memos are evaluated.
    TrpBand* CurBand = nullptr;
    // Registered at the start of a run, fed after each data row, reset after
    // the band that shows them.
    TrpAggregateList Aggregates;

private:
    TrpReport* FReport;
};
