// A store that writes down what the band engine hands it: per page, each
// band with its position and the texts of its memos at the moment it was
// added. Cutting and pasting move those records like the real store moves
// objects. For testing the engine without the prepared-pages store.
#pragma once

#include "null_preview_pages.h"
#include "rpClass.h"

#include <QString>
#include <QStringList>
#include <algorithm>
#include <vector>

class RecordingPreviewPages : public NullPreviewPages {
public:
    struct TObject {
        QString Name; // the memo's or view's name
        QString Class;
        QString Text; // memos only
        long double Top = 0, Height = 0;
    };
    struct TBand {
        QString Name;
        long double Left = 0, Top = 0, Height = 0;
        std::vector<TObject> Objects;
    };
    struct TPage {
        std::vector<TBand> Bands;
        int Logical = 1;
    };

    explicit RecordingPreviewPages(TrpReport* AReport = nullptr)
        : NullPreviewPages(AReport)
    {
    }

    std::vector<TPage> Pages;
    QStringList Calls; // Initialize, BeginPass, Finish, ClearFirstPassPages...

    int Count() override { return int(Pages.size()); }
    void Clear() override
    {
        Pages.clear();
        FCurPage = -1;
    }
    void Initialize() override { Calls << QStringLiteral("Initialize"); }
    void BeginPass() override
    {
        Calls << QStringLiteral("BeginPass");
        FFirstPassStart = int(Pages.size());
    }
    void Finish() override { Calls << QStringLiteral("Finish"); }
    void ClearFirstPassPages() override
    {
        Calls << QStringLiteral("ClearFirstPassPages");
        Pages.resize(size_t(FFirstPassStart));
        FCurPage = int(Pages.size()) - 1;
    }
    void AddPage(TrpReportPage*) override
    {
        const int logical = FResetPending || Pages.empty() ? 1 : Pages.back().Logical + 1;
        FResetPending = false;
        Pages.push_back({ {}, logical });
        FCurPage = int(Pages.size()) - 1;
    }
    void ResetLogicalPageNumber() override { FResetPending = true; }
    int GetLogicalPageNo() override { return FCurPage >= 0 ? Pages[size_t(FCurPage)].Logical : 0; }
    int GetLogicalTotalPages() override { return int(Pages.size()); }
    void AddObject(TrpComponent* Obj) override
    {
        TBand band { Obj->Name(), Obj->Left(), Obj->Top(), Obj->Height(), {} };
        for (const auto& o : Obj->Objects()) {
            TObject object { o->Name(), o->ClassName(), QString(), o->Top(), o->Height() };
            if (auto* m = dynamic_cast<TrpCustomMemoView*>(o.get()))
                object.Text = m->Text();
            band.Objects.push_back(object);
        }
        Cur().Bands.push_back(band);
    }
    bool BandExists(TrpBand* Band) override
    {
        return std::any_of(
            Cur().Bands.begin(), Cur().Bands.end(), [&](const TBand& b) { return b.Name == Band->Name(); });
    }
    int GetCurPosition() override { return FCurPage >= 0 ? int(Cur().Bands.size()) : 0; }
    void CutObjects(int APosition) override
    {
        FCut.assign(Cur().Bands.begin() + APosition, Cur().Bands.end());
        Cur().Bands.resize(size_t(APosition));
    }
    void PasteObjects(long double, long double Y) override
    {
        if (FCut.empty())
            return;
        const long double shift = Y - FCut.front().Top;
        for (TBand& b : FCut) {
            b.Top += shift;
            Cur().Bands.push_back(b);
        }
        FCut.clear();
    }
    long double GetLastY(long double) override
    {
        long double y = 0;
        for (const TBand& b : Cur().Bands)
            y = std::max(y, b.Top + b.Height);
        return y;
    }

    // "NAME@TOP" of every band on a page, tops with two decimals.
    QStringList Layout(int Page) const
    {
        QStringList r;
        for (const TBand& b : Pages[size_t(Page)].Bands)
            r << QStringLiteral("%1@%2").arg(b.Name).arg(double(b.Top), 0, 'f', 2);
        return r;
    }
    // The text of the first memo of that name on a page.
    QString MemoText(int Page, const QString& Name) const
    {
        for (const TBand& b : Pages[size_t(Page)].Bands)
            for (const TObject& o : b.Objects)
                if (o.Name == Name)
                    return o.Text;
        return QStringLiteral("<none>");
    }
    int CountBands(int Page, const QString& Name) const
    {
        return int(std::count_if(Pages[size_t(Page)].Bands.begin(), Pages[size_t(Page)].Bands.end(),
            [&](const TBand& b) { return b.Name == Name; }));
    }

private:
    TPage& Cur() { return Pages[size_t(FCurPage)]; }
    std::vector<TBand> FCut;
    int FFirstPassStart = 0;
    bool FResetPending = false;
};
