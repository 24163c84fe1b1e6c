// The aggregate registry: one item per SUM, AVG, MIN, MAX or COUNT call found
// in the memos of footers, summaries and page and column footers. The band
// engine registers the items of a page before the run, feeds them after each
// data row it places and resets them after the band that shows them.
#pragma once

#include "Variant.h"

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class TrpBand;
class TrpCustomMemoView;
class TrpDataBand;
class TrpReport;
class TrpReportPage;

enum TrpAggregateFunction { agSum, agAvg, agMin, agMax, agCount };

class TrpAggregateItem {
public:
    // Highest vertical column with totals of its own.
    static constexpr int MaxVColumn = 1000;

    // Adds the band's current row: evaluates Expression (nothing for COUNT)
    // and combines it into the running totals of VColumn (0: the plain ones).
    void Calc();
    // The aggregate as shown: AVG divides, COUNT counts; Null reads as 0.
    Variant Value(int AColumn = 0) const;
    // Starts over, except a DontReset item that has counted something; Force
    // starts over in any case.
    void Reset(bool Force = false);
    // Withdraws the last row added.
    void DeleteValue();
    // Page-footer items collect into side totals while a keep block is open,
    // and merge them on EndKeep.
    void StartKeep();
    void EndKeep();
    // Two flag bits: 1 CountInvisibleBands, 2 DontReset.
    int Flags() const { return (CountInvisibleBands ? 1 : 0) | (DontReset ? 2 : 0); }

    TrpAggregateFunction AggregateFunction = agSum;
    QString Expression; // trimmed; empty for COUNT
    TrpDataBand* Band = nullptr;
    bool CountInvisibleBands = false;
    bool DontReset = false;
    TrpBand* ParentBand = nullptr;
    bool IsPageFooter = false;
    QString MemoName;
    QString OriginalName;
    int ItemsCount = 0;
    Variant ItemsValue = Variant::Null();
    int LastCount = 0;
    Variant LastValue = Variant::Null();
    bool Keeping = false;
    int TempItemsCount = 0;
    Variant TempItemsValue = Variant::Null();
    // Column the next Calc adds to; the arrays get their 1001 slots on first use.
    int VColumn = 0;
    std::vector<Variant> ItemsArray;
    std::vector<int> ItemsCountArray;
    TrpReport* Report = nullptr;

private:
    // The totals Calc adds to now: the column's, the side or the plain ones.
    void Target(int*& Count, Variant*& Value);
    // Where the last row went, for DeleteValue; none once withdrawn or reset.
    int* FLastCount = nullptr;
    Variant* FLastValue = nullptr;
};

class TrpAggregateList {
public:
    explicit TrpAggregateList(TrpReport* AReport)
        : FReport(AReport)
    {
    }

    // Registers the aggregates shown on a report page. Reads the band tree
    // the engine has built (the page's SubBands and VSubBands, each data
    // band's SubBands, Footer and Group chain).
    void AddItems(TrpReportPage* Page);
    // Registers the calls in one memo's bracketed expressions; DefaultBand
    // feeds the calls that name no band.
    void ScanMemoAggregates(TrpCustomMemoView* Memo, TrpDataBand* DefaultBand);
    // Feeds the current row of Band to its items.
    void AddValue(TrpBand* Band, int VColumn = 0);
    void DeleteValue(TrpBand* Band);
    // The value of the item shown in ParentBand that matches the call; Null
    // when none does. Band none matches any band; Expression compares
    // trimmed and without regard to case.
    Variant GetValue(TrpBand* ParentBand, int VColumn, const QString& Name, const QString& Expression,
        TrpBand* Band, int Flags) const;
    // The same by the call text as written ("SUM(<x>, MasterData1)").
    Variant GetValue(TrpBand* ParentBand, const QString& ComplexName, int VColumn) const;
    // After ParentBand was shown: its items start over.
    void Reset(TrpBand* ParentBand);
    void StartKeep();
    void EndKeep();
    // Every item starts over, DontReset ones too (between two passes).
    void ClearValues();
    void Clear() { FItems.clear(); }

    int Count() const { return int(FItems.size()); }
    TrpAggregateItem& Items(int Index) const { return *FItems[size_t(Index)]; }

private:
    // Variables: upper-cased names of the variables being scanned.
    void ScanText(const QString& Text, TrpCustomMemoView* Memo, TrpDataBand* DefaultBand, int Depth,
        QStringList& Variables);
    void AddCall(const QString& Call, TrpCustomMemoView* Memo, TrpDataBand* DefaultBand);
    void ScanBandMemos(TrpBand* Band, TrpDataBand* DefaultBand, bool WithChildren);

    TrpReport* FReport;
    std::vector<std::unique_ptr<TrpAggregateItem>> FItems;
};
