// The aggregate registry: finding SUM, AVG, MIN, MAX and COUNT calls in the
// memos that show totals, and keeping their running values while the band
// engine places rows.
//
// Invariants:
//   1. ItemsValue is Null exactly when nothing but Null has been added since
//      the last reset; ItemsCount counts the rows added (for AVG only the
//      rows whose value was not Null).
//   2. While a keep block is open, a page-footer item adds to its side
//      totals only; EndKeep merges them into the running ones. Other items
//      are not affected by keep blocks.
//   3. A DontReset item that has counted something keeps its values through
//      Reset; only ClearValues (between two passes) empties it.
//   4. Scanning never follows a report variable into itself, directly or
//      through other variables, and nested brackets are followed to a fixed
//      depth only.
#include "rpAggregate.h"

#include "rpClass.h"
#include "rpDBSet.h"
#include "rpMemoData.h"

#include <algorithm>

namespace {

// How deep scanning follows variables and nested brackets.
constexpr int MaxScanDepth = 16;

bool IsAggregateWord(const QString& Upper)
{
    return Upper == QLatin1String("SUM") || Upper == QLatin1String("MIN") || Upper == QLatin1String("MAX")
        || Upper == QLatin1String("AVG") || Upper == QLatin1String("COUNT");
}

// Characters between words.
bool IsSkipped(QChar C)
{
    return C <= QLatin1Char(' ') || QStringView(u"!#$%&*+,-./=[]^|;:").contains(C);
}

bool EndsWord(QChar C)
{
    return IsSkipped(C) || QStringView(u"()<>\"'").contains(C);
}

// Calls Visit(index, character) for every character of Text from Start
// that is outside quoted text, until Visit returns true; returns where it
// stopped, or Text.size().
template <class F> qsizetype VisitUnquoted(const QString& Text, qsizetype Start, F Visit)
{
    QChar quote;
    for (qsizetype i = Start; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            quote = c;
        } else if (Visit(i, c)) {
            return i;
        }
    }
    return Text.size();
}

// Index of the delimiter that closes the one at Start, skipping quoted text
// and nested pairs; Text.size() when it is never closed.
qsizetype MatchingClose(const QString& Text, qsizetype Start, QChar Open, QChar Close)
{
    int depth = 0;
    return VisitUnquoted(Text, Start, [&](qsizetype, QChar c) {
        if (c == Open)
            ++depth;
        return c == Close && --depth == 0;
    });
}

// Arguments split at commas outside quotes and parentheses, trimmed.
QStringList SplitArguments(const QString& Text)
{
    QStringList result;
    int depth = 0;
    qsizetype from = 0;
    VisitUnquoted(Text, 0, [&](qsizetype i, QChar c) {
        if (c == QLatin1Char('('))
            ++depth;
        else if (c == QLatin1Char(')'))
            --depth;
        else if (c == QLatin1Char(',') && depth == 0) {
            result.append(Text.mid(from, i - from).trimmed());
            from = i + 1;
        }
        return false;
    });
    result.append(Text.mid(from).trimmed());
    return result;
}

// The accumulated value after adding V by the function.
Variant Combine(TrpAggregateFunction Function, const Variant& Acc, const Variant& V)
{
    if (V.IsNull())
        return Acc;
    if (Acc.IsNull())
        return V;
    switch (Function) {
    case agSum:
    case agAvg:
        return Variant::Add(Acc, V);
    case agMin:
        return Variant::Compare(V, Acc) < 0 ? V : Acc;
    case agMax:
        return Variant::Compare(V, Acc) > 0 ? V : Acc;
    case agCount:
        break;
    }
    return Acc;
}

} // namespace

// ------------------------------------------------------------------ item

void TrpAggregateItem::Target(int*& Count, Variant*& Value)
{
    if (VColumn > 0 && VColumn <= MaxVColumn) {
        if (ItemsArray.empty()) {
            ItemsArray.assign(MaxVColumn + 1, Variant::Null());
            ItemsCountArray.assign(MaxVColumn + 1, 0);
        }
        Count = &ItemsCountArray[size_t(VColumn)];
        Value = &ItemsArray[size_t(VColumn)];
        return;
    }
    Count = Keeping ? &TempItemsCount : &ItemsCount;
    Value = Keeping ? &TempItemsValue : &ItemsValue;
}

void TrpAggregateItem::Calc()
{
    if (!Band || !Report)
        return;
    if (!Band->Visible() && !CountInvisibleBands)
        return;
    Variant v = Variant::Null();
    if (AggregateFunction != agCount) {
        v = Report->Calc(Expression);
        if (v.VarKind() == Variant::vkBoolean)
            v = Variant(int32_t(v.AsBoolean() ? 1 : 0));
        else if (v.IsEmpty())
            v = Variant::Null();
    }
    int* count;
    Variant* value;
    Target(count, value);
    FLastCount = count;
    FLastValue = value;
    LastCount = *count;
    LastValue = *value;
    if (AggregateFunction != agAvg || !v.IsNull())
        ++*count;
    *value = Combine(AggregateFunction, *value, v);
}

Variant TrpAggregateItem::Value(int AColumn) const
{
    int count = ItemsCount;
    Variant value = ItemsValue;
    if (AColumn > 0 && AColumn <= MaxVColumn) {
        count = ItemsCountArray.empty() ? 0 : ItemsCountArray[size_t(AColumn)];
        value = ItemsArray.empty() ? Variant::Null() : ItemsArray[size_t(AColumn)];
    }
    Variant result;
    switch (AggregateFunction) {
    case agAvg:
        result = count > 0 && !value.IsNull() ? Variant::DivideFloat(value, Variant(int32_t(count)))
                                              : Variant::Null();
        break;
    case agCount:
        result = Variant(int32_t(count));
        break;
    default:
        result = value;
        break;
    }
    return result.IsNull() || result.IsEmpty() ? Variant(int32_t(0)) : result;
}

void TrpAggregateItem::Reset(bool Force)
{
    if (!Force && DontReset && ItemsCount > 0)
        return;
    ItemsCount = 0;
    ItemsValue = Variant::Null();
    LastCount = 0;
    LastValue = Variant::Null();
    FLastCount = nullptr;
    FLastValue = nullptr;
    std::fill(ItemsArray.begin(), ItemsArray.end(), Variant::Null());
    std::fill(ItemsCountArray.begin(), ItemsCountArray.end(), 0);
}

void TrpAggregateItem::DeleteValue()
{
    // Back where Calc put the row: a column, the side or the plain totals.
    if (!FLastCount)
        return;
    *FLastCount = LastCount;
    *FLastValue = LastValue;
    FLastCount = nullptr;
    FLastValue = nullptr;
}

void TrpAggregateItem::StartKeep()
{
    if (!IsPageFooter || Keeping)
        return;
    Keeping = true;
    TempItemsCount = 0;
    TempItemsValue = Variant::Null();
}

void TrpAggregateItem::EndKeep()
{
    if (!Keeping)
        return;
    Keeping = false;
    ItemsCount += TempItemsCount;
    ItemsValue = Combine(AggregateFunction, ItemsValue, TempItemsValue);
    TempItemsCount = 0;
    TempItemsValue = Variant::Null();
    // A row added inside the block is now part of the running totals.
    FLastCount = nullptr;
    FLastValue = nullptr;
}

// ------------------------------------------------------------------ list

void TrpAggregateList::ScanBandMemos(TrpBand* Band, TrpDataBand* DefaultBand, bool WithChildren)
{
    // A child chain is never circular (SetChild refuses that).
    for (TrpBand* b = Band; b; b = WithChildren ? b->Child() : nullptr)
        for (const auto& o : b->Objects())
            if (auto* memo = dynamic_cast<TrpCustomMemoView*>(o.get()))
                ScanMemoAggregates(memo, DefaultBand);
}

void TrpAggregateList::AddItems(TrpReportPage* Page)
{
    if (!Page)
        return;
    std::vector<TrpBand*> seen;
    auto visit = [&](auto&& self, TrpBand* Band) -> void {
        auto* data = dynamic_cast<TrpDataBand*>(Band);
        if (!data || std::find(seen.begin(), seen.end(), Band) != seen.end())
            return;
        seen.push_back(Band);
        ScanBandMemos(data->Footer, data, true);
        std::vector<TrpBand*> groups;
        for (TrpBand* g = data->Group; g && std::find(groups.begin(), groups.end(), g) == groups.end();
             g = g->Group) {
            groups.push_back(g);
            ScanBandMemos(g->Footer, data, true);
        }
        if (data->Vertical())
            ScanBandMemos(data, data, false);
        for (TrpBand* detail : data->SubBands)
            self(self, detail);
    };
    for (TrpBand* b : Page->SubBands)
        visit(visit, b);
    for (TrpBand* b : Page->VSubBands)
        visit(visit, b);
    if (Page->SubBands.empty())
        return;
    auto* master = dynamic_cast<TrpDataBand*>(Page->SubBands.front());
    ScanBandMemos(Page->FindBand<TrpPageFooter>(), master, true);
    ScanBandMemos(Page->FindBand<TrpColumnFooter>(), master, true);
    ScanBandMemos(Page->FindBand<TrpReportSummary>(), master, true);
}

void TrpAggregateList::ScanMemoAggregates(TrpCustomMemoView* Memo, TrpDataBand* DefaultBand)
{
    QString open, close;
    if (!Memo->AllowExpressions() || !rpSplitDelimiters(Memo->ExpressionDelimiters(), open, close))
        return;
    rpReplaceBracketed(Memo->Text(), open, close, [&](const QString& Expression) {
        QStringList inProgress;
        ScanText(Expression, Memo, DefaultBand, 0, inProgress);
        return QString();
    });
}

void TrpAggregateList::ScanText(
    const QString& Text, TrpCustomMemoView* Memo, TrpDataBand* DefaultBand, int Depth, QStringList& Variables)
{
    if (Depth > MaxScanDepth)
        return;
    const TrpVariables& variables = FReport->Variables();
    // True for a report variable: its value text is scanned in its place.
    auto followVariable = [&](const QString& Name) {
        const int v = TrpVariables::IsCategory(Name) ? -1 : variables.IndexOf(Name);
        if (v < 0)
            return false;
        const QString upper = Name.toUpper();
        if (!Variables.contains(upper)) {
            Variables.append(upper);
            ScanText(variables.Items(v).Value, Memo, DefaultBand, Depth + 1, Variables);
            Variables.removeLast();
        }
        return true;
    };
    const QString whole = Text.trimmed();
    if (followVariable(whole))
        return;
    TrpDataSet* dataSet;
    QString field;
    FReport->GetDatasetAndField(whole, dataSet, field);
    if (dataSet && !field.isEmpty())
        return;

    const qsizetype n = whole.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = whole[i];
        if (IsSkipped(c) || c.isDigit()) {
            ++i;
        } else if (c == QLatin1Char('"') || c == QLatin1Char('\'')) {
            const qsizetype q = whole.indexOf(c, i + 1);
            i = q < 0 ? n : q + 1;
        } else if (c == QLatin1Char('(') || c == QLatin1Char('<')) {
            const qsizetype e
                = MatchingClose(whole, i, c, c == QLatin1Char('(') ? QLatin1Char(')') : QLatin1Char('>'));
            ScanText(whole.mid(i + 1, e - i - 1), Memo, DefaultBand, Depth + 1, Variables);
            i = e + 1;
        } else {
            qsizetype j = i;
            while (j < n && !EndsWord(whole[j]))
                ++j;
            if (j == i) { // a stray closing bracket
                ++i;
                continue;
            }
            const QString word = whole.mid(i, j - i);
            qsizetype k = j;
            while (k < n && whole[k] <= QLatin1Char(' '))
                ++k;
            if (k < n && whole[k] == QLatin1Char('(') && IsAggregateWord(word.toUpper())) {
                const qsizetype e = MatchingClose(whole, k, QLatin1Char('('), QLatin1Char(')'));
                AddCall(whole.mid(i, e - i + 1), Memo, DefaultBand);
                i = e + 1;
                continue;
            }
            followVariable(word);
            i = j;
        }
    }
}

void TrpAggregateList::AddCall(const QString& Call, TrpCustomMemoView* Memo, TrpDataBand* DefaultBand)
{
    const qsizetype open = Call.indexOf(QLatin1Char('('));
    const QString name = Call.left(open).trimmed().toUpper();
    QString inside = Call.mid(open + 1);
    if (inside.endsWith(QLatin1Char(')')))
        inside.chop(1);
    const QStringList args = SplitArguments(inside);
    auto arg = [&](int Index) { return Index < args.size() ? args[Index] : QString(); };

    auto item = std::make_unique<TrpAggregateItem>();
    item->AggregateFunction = name == QLatin1String("SUM") ? agSum
        : name == QLatin1String("AVG")                     ? agAvg
        : name == QLatin1String("MIN")                     ? agMin
        : name == QLatin1String("MAX")                     ? agMax
                                                           : agCount;
    const int first = item->AggregateFunction == agCount ? 0 : 1;
    if (first == 1)
        item->Expression = arg(0);
    const QString bandName = arg(first);
    item->Band = bandName.isEmpty() ? DefaultBand : dynamic_cast<TrpDataBand*>(FReport->FindByName(bandName));
    bool ok = false;
    const int flags = arg(first + 1).toInt(&ok);
    item->CountInvisibleBands = ok && (flags & 1);
    item->DontReset = ok && (flags & 2);
    item->ParentBand = dynamic_cast<TrpBand*>(Memo->Parent());
    item->IsPageFooter = dynamic_cast<TrpPageFooter*>(item->ParentBand) != nullptr;
    item->MemoName = Memo->Name();
    item->OriginalName = Call.trimmed();
    item->Report = FReport;
    item->Reset(true);
    FItems.push_back(std::move(item));
}

void TrpAggregateList::AddValue(TrpBand* Band, int VColumn)
{
    for (auto& item : FItems)
        if (item->Band == Band) {
            item->VColumn = VColumn;
            item->Calc();
        }
}

void TrpAggregateList::DeleteValue(TrpBand* Band)
{
    for (auto& item : FItems)
        if (item->Band == Band)
            item->DeleteValue();
}

Variant TrpAggregateList::GetValue(TrpBand* ParentBand, int VColumn, const QString& Name,
    const QString& Expression, TrpBand* Band, int Flags) const
{
    const QString upper = Name.trimmed().toUpper();
    const QString expression = Expression.trimmed();
    for (const auto& item : FItems) {
        if (item->ParentBand != ParentBand || (Band && item->Band != Band) || item->Flags() != (Flags & 3))
            continue;
        const bool sameFunction = upper == QLatin1String("SUM") ? item->AggregateFunction == agSum
            : upper == QLatin1String("AVG")                     ? item->AggregateFunction == agAvg
            : upper == QLatin1String("MIN")                     ? item->AggregateFunction == agMin
            : upper == QLatin1String("MAX")                     ? item->AggregateFunction == agMax
                                                                : item->AggregateFunction == agCount;
        if (sameFunction && item->Expression.compare(expression, Qt::CaseInsensitive) == 0)
            return item->Value(VColumn);
    }
    return Variant::Null();
}

Variant TrpAggregateList::GetValue(TrpBand* ParentBand, const QString& ComplexName, int VColumn) const
{
    const QString name = ComplexName.trimmed();
    for (const auto& item : FItems)
        if (item->ParentBand == ParentBand && item->OriginalName.compare(name, Qt::CaseInsensitive) == 0)
            return item->Value(VColumn);
    return Variant::Null();
}

void TrpAggregateList::Reset(TrpBand* ParentBand)
{
    for (auto& item : FItems)
        if (item->ParentBand == ParentBand)
            item->Reset();
}

void TrpAggregateList::StartKeep()
{
    for (auto& item : FItems)
        item->StartKeep();
}

void TrpAggregateList::EndKeep()
{
    for (auto& item : FItems)
        item->EndKeep();
}

void TrpAggregateList::ClearValues()
{
    for (auto& item : FItems) {
        item->Keeping = false;
        item->TempItemsCount = 0;
        item->TempItemsValue = Variant::Null();
        item->Reset(true);
    }
}
