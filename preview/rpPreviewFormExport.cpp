// The preview window's PDF export: the Save menu's "Export to PDF..." item
// and the quick PDF button.
#include "rpPreviewForm.h"

#include "ErrorBox.h"
#include "Services.h"
#include "rpPreview.h"
#include "rpPreviewWorkspace.h"

#include <QFileInfo>
#include <QToolButton>

void TrpPreviewForm::PdfBClick()
{
    if (!PdfB->isEnabled() && !SaveB->isEnabled())
        return;
    TFileDialogRequest request;
    request.Kind = TFileDialogKind::Save;
    request.FilterDescription = QStringLiteral("PDF file (*.pdf)");
    request.FilterPattern = QStringLiteral("*.pdf");
    request.DefaultExt = QStringLiteral("pdf");
    // An export replaces a whole document; never without asking.
    request.OverwritePrompt = true;
    const std::optional<QString> name = FServices.Dialogs->FileDialog(request);
    if (!name)
        return;
    FPreview->Workspace()->viewport()->repaint();
    try {
        FPreview->Export(*name);
    } catch (const std::exception& error) {
        ShowErrorBox(*FServices.Dialogs, error);
    }
}
