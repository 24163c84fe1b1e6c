// Showing a report's prepared pages. The report sits below the preview, so
// the preview layer hands it the function that makes and shows a preview
// window; an attached preview control is simply told to show the store.
#include "rpCustomPreview.h"
#include "rpReport.h"
#include "rpReportError.h"

namespace {
TrpReport::TrpShowPreview& ShowPreviewHandler()
{
    static TrpReport::TrpShowPreview handler;
    return handler;
}
} // namespace

void TrpReport::SetShowPreview(TrpShowPreview Handler)
{
    ShowPreviewHandler() = std::move(Handler);
}

void TrpReport::ShowPreparedReport()
{
    if (FPreview) {
        FPreview->Init(this, FPreviewPages.get());
        return;
    }
    if (!ShowPreviewHandler())
        throw TrpReportError(QStringLiteral("No preview window is available"));
    ShowPreviewHandler()(this);
}
