// The preview as the report sees it while it is prepared: the preview
// control, which follows the progress, and the preview window's status
// texts. The preview builds on these; the report holds them without owning.
#pragma once

#include "rpTypes.h"

#include <QString>

class TrpReport;

// The preview control. The report calls these for ptRunning only.
class TrpCustomPreview {
public:
    virtual ~TrpCustomPreview() = default;
    virtual void InternalOnProgressStart(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
    // Progress: the 0-based index of the page just prepared.
    virtual void InternalOnProgress(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
    virtual void InternalOnProgressStop(TrpReport* Sender, TrpProgressType ProgressType, int Progress) = 0;
};

// The preview window: its status texts.
class TrpCustomPreviewForm {
public:
    virtual ~TrpCustomPreviewForm() = default;
    virtual void SetMessageText(const QString& Value, bool IsHint) = 0;
};
