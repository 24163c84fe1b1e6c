// Text search over prepared pages: each page is drawn at scale 1 onto a
// recording canvas and the search text is looked for in the text outputs
// the drawing produced, in drawing order. A match lies within one output.
//
// State: the text, case sensitivity, the page being searched (or hit last),
// the output hit last on it (-1: none yet), whether the last search ended on
// a hit and that output's bounds. The recording of one page is kept, so
// repeating the search on the same page does not draw it again.
#pragma once

#include "rpRecordingCanvas.h"

#include <QRect>
#include <QString>

class TrpCustomPreviewPages;

class TrpTextSearch {
public:
    // Whether an output's text holds the search text: exactly, or both
    // upper-cased first. An empty search text never matches.
    static bool Matches(const QString& Output, const QString& Text, bool CaseSensitive);
    // Draws page Index at scale 1 onto Canvas, which is cleared first.
    static void RecordPage(TrpCustomPreviewPages& Pages, int Index, TrpRecordingCanvas& Canvas);

    // A new search: from page FromPage, no output hit yet.
    void Start(const QString& Text, bool CaseSensitive, int FromPage);
    // Looks for the next hit from where the last one stopped; true on a
    // hit. Without one the page is left at the page count.
    bool Next(TrpCustomPreviewPages& Pages);
    // Not found, page 0, no output hit.
    void Reset();
    // The recording must be made again (the layout or the pages changed).
    void Invalidate() { FRecordedPage = -1; }

    // A search was started since the state was made.
    bool Started() const { return FStarted; }
    const QString& Text() const { return FText; }
    bool CaseSensitive() const { return FCaseSensitive; }
    bool Found() const { return FFound; }
    QRect HitRect() const { return FHitRect; }
    int LastFoundPage() const { return FLastFoundPage; }
    int LastHitRecord() const { return FLastHitRecord; }
    const TrpTextOutput* HitOutput() const;

private:
    QString FText;
    bool FStarted = false;
    bool FCaseSensitive = false;
    bool FFound = false;
    QRect FHitRect;
    int FLastHitRecord = -1;
    int FLastFoundPage = 0;
    int FRecordedPage = -1;
    TrpRecordingCanvas FRecording;
};
