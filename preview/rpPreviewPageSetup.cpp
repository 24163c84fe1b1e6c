// Page settings from the preview: the dialog on the current page, then the
// change written back to that page only, or given to every template page
// and the report prepared again.
#include "rpPreview.h"

#include "rpClass.h"
#include "rpCustomPreviewPages.h"
#include "rpPreviewPageSettings.h"

void TrpPreview::PageSetupDlg()
{
    if (FRunning || !FPreviewPages || !FReport || PageCount() == 0)
        return;
    TrpReportPage* page = FPreviewPages->GetPage(FPageNo - 1);
    if (!page)
        return;
    TrpPageSettingsForm form(this);
    form.SetPage(page);
    form.SetReport(FReport);
    const bool ok = OnRunPageSettings ? OnRunPageSettings(form) : form.exec() == QDialog::Accepted;
    if (!ok)
        return;
    form.ApplyToPage();

    std::vector<TrpReportPage*> templates;
    for (const auto& o : FReport->Objects())
        if (auto* p = dynamic_cast<TrpReportPage*>(o.get()))
            templates.push_back(p);
    if (form.NeedRebuild() && !templates.empty()) {
        for (TrpReportPage* p : templates) {
            p->SetOrientation(page->Orientation());
            p->SetPaperWidth(page->PaperWidth());
            p->SetPaperHeight(page->PaperHeight());
            p->SetPaperSize(page->PaperSize());
            p->SetLeftMargin(page->LeftMargin());
            p->SetRightMargin(page->RightMargin());
            p->SetTopMargin(page->TopMargin());
            p->SetBottomMargin(page->BottomMargin());
        }
        FReport->PrepareReport(true);
        SetPageNo(1);
        return;
    }
    if (form.NeedRebuild()) {
        // A loaded prepared report has no template pages to prepare again
        // from: every prepared page takes the settings instead.
        TrpReportPage settings;
        settings.SetOrientation(page->Orientation());
        settings.SetSizeAndDimensions(page->PaperSize(), page->PaperWidth(), page->PaperHeight());
        settings.SetLeftMargin(page->LeftMargin());
        settings.SetRightMargin(page->RightMargin());
        settings.SetTopMargin(page->TopMargin());
        settings.SetBottomMargin(page->BottomMargin());
        Lock();
        try {
            for (int i = 0; i < PageCount(); ++i) {
                TrpReportPage* p = FPreviewPages->GetPage(i);
                p->SetOrientation(settings.Orientation());
                p->SetPaperWidth(settings.PaperWidth());
                p->SetPaperHeight(settings.PaperHeight());
                p->SetPaperSize(settings.PaperSize());
                p->SetLeftMargin(settings.LeftMargin());
                p->SetRightMargin(settings.RightMargin());
                p->SetTopMargin(settings.TopMargin());
                p->SetBottomMargin(settings.BottomMargin());
                p->AlignChildren();
                FPreviewPages->ModifyPage(i, p);
            }
        } catch (...) {
            Unlock();
            throw;
        }
        Unlock();
        return;
    }
    Lock();
    try {
        FPreviewPages->ModifyPage(FPageNo - 1, page);
    } catch (...) {
        Unlock();
        throw;
    }
    Unlock();
}
