// The band tree of a report page: which header, footer and group bands
// belong to which data band, and which data bands are masters and details.
// The engine builds it at the start of every run, once for horizontal and
// once for vertical bands; bands that fit nowhere are reported by name.
//
// Bands of kinds 4 to 13 are taken in the order of their Top (rounded to two
// decimals; bands at the same rounded position keep their order in the page).
// Headers and footers connect to the data band next to them with only group
// bands in between, so "Header, GroupHeader, MasterData, GroupFooter,
// Footer" connects as a reader of that layout expects. Group footers pair with
// group headers like brackets: the nearest header before them that has no
// footer yet.
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpEngine.h"
#include "rpRes.h"
#include "rpStretch.h"

#include <algorithm>
#include <set>

namespace {

bool IsDataBandNumber(int Number)
{
    return Number >= 6 && Number <= 11;
}

bool IsGroupBand(const TrpBand* Band)
{
    return Band->BandNumber() == 12 || Band->BandNumber() == 13;
}

} // namespace

TrpDataSet* TrpEngine::VirtualDataSetFor(TrpDataBand* Band)
{
    auto set = std::make_unique<TrpUserDataSet>();
    set->SetRangeEnd(reCount);
    set->SetRangeEndCount(Band->RowCount());
    set->SetReportRef(Report());
    set->Initialize();
    TrpDataSet* raw = set.get();
    FVirtualDataSets.emplace_back(Band, std::move(set));
    return raw;
}

void TrpEngine::BuildBandTree(TrpReportPage* APage, bool Vertical)
{
    TrpReport* report = Report();
    APage->AlignChildren();
    std::vector<TrpBand*>& subBands = Vertical ? APage->VSubBands : APage->SubBands;
    subBands.clear();

    std::vector<TrpBand*> bands;
    for (const auto& o : APage->Objects())
        if (auto* b = dynamic_cast<TrpBand*>(o.get()); b && b->Vertical() == Vertical)
            bands.push_back(b);
    for (TrpBand* b : bands) {
        rpBuildShiftTree(b);
        b->SubBands.clear();
        b->Header = b->Footer = b->Group = nullptr;
        b->HasVBands = false;
        if (auto* data = dynamic_cast<TrpDataBand*>(b)) {
            data->VirtualDataSet = nullptr;
            if (!data->DataSet() && data->RowCount() > 0)
                data->VirtualDataSet = VirtualDataSetFor(data);
        }
    }

    std::vector<TrpBand*> list;
    for (TrpBand* b : bands)
        if (b->BandNumber() >= 4 && b->BandNumber() <= 13)
            list.push_back(b);
    auto position
        = [Vertical](const TrpBand* b) { return std::round((Vertical ? b->Left() : b->Top()) * 100) / 100; };
    std::stable_sort(list.begin(), list.end(),
        [&](const TrpBand* a, const TrpBand* b) { return position(a) < position(b); });

    std::set<TrpBand*> used;
    auto dataSetOf = [](TrpBand* b) -> TrpDataSet* {
        auto* d = static_cast<TrpDataBand*>(b);
        return d->DataSet() ? d->DataSet() : d->VirtualDataSet;
    };

    // Group chains: consecutive group headers, attached to the next data band.
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->BandNumber() != 12)
            continue;
        size_t end = i;
        while (end < list.size() && list[end]->BandNumber() == 12)
            ++end;
        TrpBand* data = nullptr;
        for (size_t j = end; j < list.size() && !data; ++j)
            if (IsDataBandNumber(list[j]->BandNumber()))
                data = list[j];
        if (!data) {
            report->AddError(rpGet(QStringLiteral("enUnconnGroup")) + QLatin1Char(' ') + list[i]->Name());
            for (size_t k = i; k < end; ++k)
                used.insert(list[k]);
        } else {
            data->Group = list[i];
            for (size_t k = i; k < end; ++k) {
                list[i]->SubBands.push_back(list[k]);
                list[k]->Group = k + 1 < end ? list[k + 1] : nullptr;
                used.insert(list[k]);
            }
        }
        i = end - 1;
    }
    for (size_t i = 0; i < list.size(); ++i) {
        if (list[i]->BandNumber() != 13)
            continue;
        TrpBand* header = nullptr;
        for (size_t j = i; j-- > 0 && !header;)
            if (list[j]->BandNumber() == 12 && used.count(list[j]) && !list[j]->Footer)
                header = list[j];
        if (!header) {
            report->AddError(rpGet(QStringLiteral("enUnconnGFooter")) + QLatin1Char(' ') + list[i]->Name());
            used.insert(list[i]);
        } else {
            header->Footer = list[i];
            used.insert(list[i]);
        }
    }

    // Headers and footers next to their data band (group bands in between).
    for (size_t i = 0; i < list.size(); ++i) {
        const int number = list[i]->BandNumber();
        if (number != 4 && number != 5)
            continue;
        TrpBand* data = nullptr;
        if (number == 4) {
            for (size_t j = i + 1; j < list.size() && !data; ++j)
                if (!IsGroupBand(list[j])) {
                    if (IsDataBandNumber(list[j]->BandNumber()) && !list[j]->Header)
                        data = list[j];
                    break;
                }
            if (data)
                data->Header = list[i];
        } else {
            for (size_t j = i; j-- > 0 && !data;)
                if (!IsGroupBand(list[j])) {
                    if (IsDataBandNumber(list[j]->BandNumber()) && !list[j]->Footer)
                        data = list[j];
                    break;
                }
            if (data)
                data->Footer = list[i];
        }
        if (data)
            used.insert(list[i]);
        else
            report->AddError(rpGet(QStringLiteral("enUnconnHeader")) + QLatin1Char(' ') + list[i]->Name());
        used.insert(list[i]);
    }

    // Masters and their details, down to the sixth level.
    std::vector<TrpBand*> dataBands;
    for (TrpBand* b : list)
        if (IsDataBandNumber(b->BandNumber()))
            dataBands.push_back(b);
    auto attach = [&](auto&& self, size_t Index) -> void {
        TrpBand* master = dataBands[Index];
        const int number = master->BandNumber();
        for (size_t j = Index + 1; j < dataBands.size(); ++j) {
            const int n = dataBands[j]->BandNumber();
            if (n <= number)
                break;
            if (n != number + 1)
                continue;
            used.insert(dataBands[j]);
            if (!dataSetOf(dataBands[j]))
                continue;
            master->SubBands.push_back(dataBands[j]);
            self(self, j);
        }
    };
    for (size_t i = 0; i < dataBands.size(); ++i) {
        if (dataBands[i]->BandNumber() != 6)
            continue;
        used.insert(dataBands[i]);
        if (!dataSetOf(dataBands[i]))
            continue;
        subBands.push_back(dataBands[i]);
        attach(attach, i);
    }

    for (TrpBand* b : list)
        if (!used.count(b))
            report->AddError(rpGet(QStringLiteral("enBandPos")) + QLatin1Char(' ') + b->Name());
}
