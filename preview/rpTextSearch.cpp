// Text search over the recorded text outputs of prepared pages.
#include "rpTextSearch.h"

#include "rpCustomPreviewPages.h"

#include <QLocale>
#include <QPainter>

bool TrpTextSearch::Matches(const QString& Output, const QString& Text, bool CaseSensitive)
{
    if (Text.isEmpty())
        return false;
    if (CaseSensitive)
        return Output.contains(Text, Qt::CaseSensitive);
    const QLocale locale;
    return locale.toUpper(Output).contains(locale.toUpper(Text), Qt::CaseSensitive);
}

void TrpTextSearch::RecordPage(TrpCustomPreviewPages& Pages, int Index, TrpRecordingCanvas& Canvas)
{
    Canvas.Clear();
    QPainter painter(&Canvas);
    Pages.DrawPage(Index, &painter, 1, 1, 0, 0);
}

void TrpTextSearch::Start(const QString& Text, bool CaseSensitive, int FromPage)
{
    FText = Text;
    FStarted = true;
    FCaseSensitive = CaseSensitive;
    FLastFoundPage = std::max(0, FromPage);
    FLastHitRecord = -1;
}

void TrpTextSearch::Reset()
{
    FFound = false;
    FLastFoundPage = 0;
    FLastHitRecord = -1;
}

const TrpTextOutput* TrpTextSearch::HitOutput() const
{
    if (!FFound || FRecordedPage != FLastFoundPage || FLastHitRecord < 0
        || FLastHitRecord >= int(FRecording.Outputs().size()))
        return nullptr;
    return &FRecording.Outputs()[size_t(FLastHitRecord)];
}

bool TrpTextSearch::Next(TrpCustomPreviewPages& Pages)
{
    FFound = false;
    // Upper-cased once for the whole search rather than per output.
    const QLocale locale;
    const QString wanted = FCaseSensitive ? FText : locale.toUpper(FText);
    const int count = Pages.Count();
    while (FLastFoundPage < count) {
        if (FRecordedPage != FLastFoundPage) {
            // A page that cannot hold the text is not drawn at all.
            if (!Pages.MayHoldText(FLastFoundPage, FText, FCaseSensitive)) {
                FLastHitRecord = -1;
                ++FLastFoundPage;
                continue;
            }
            FRecordedPage = -1;
            RecordPage(Pages, FLastFoundPage, FRecording);
            FRecordedPage = FLastFoundPage;
        }
        const std::vector<TrpTextOutput>& outputs = FRecording.Outputs();
        for (int i = FLastHitRecord + 1; i < int(outputs.size()) && !wanted.isEmpty(); ++i) {
            const QString& text = outputs[size_t(i)].Text;
            const bool hit = FCaseSensitive ? text.contains(wanted, Qt::CaseSensitive)
                                            : locale.toUpper(text).contains(wanted, Qt::CaseSensitive);
            if (hit) {
                FFound = true;
                FHitRect = outputs[size_t(i)].Bounds;
                FLastHitRecord = i;
                return true;
            }
        }
        FLastHitRecord = -1;
        ++FLastFoundPage;
    }
    return false;
}
