// The preview as the report sees it while it is prepared: the preview
// control, which follows the progress, and the preview window's status
// texts. The preview builds on these; the report holds them without owning.
#pragma once

#include "rpTypes.h"

#include <QString>

class TrpReport;

class TrpCustomPreviewPages;

// The preview control. The report calls Init when it is given a preview and
// at the start of every preparation, and the progress operations for
// ptRunning only. A preview that only follows progress need not override
// the others.
class TrpCustomPreview {
public:
    virtual ~TrpCustomPreview() = default;
    // Shows the report's store; false when nothing was done.
    virtual bool Init(TrpReport*, TrpCustomPreviewPages*) { return false; }
    // Stops showing that store.
    virtual void UnInit(TrpCustomPreviewPages*) { }
    virtual void Lock() { }
    virtual void Unlock() { }
    // Prepares the report again into the store shown.
    virtual void RefreshReport() { }
    virtual void InternalOnProgressStart(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
    // Progress: the 0-based index of the page just prepared.
    virtual void InternalOnProgress(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
    virtual void InternalOnProgressStop(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
    // The report is being destroyed: forget it and its store.
    virtual void ReportDestroyed(TrpReport*) { }
};

// The preview window: its status texts.
class TrpCustomPreviewForm {
public:
    virtual ~TrpCustomPreviewForm() = default;
    virtual void SetMessageText(const QString& Value, bool IsHint) = 0;
};
