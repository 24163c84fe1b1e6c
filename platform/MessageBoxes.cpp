// The program's fixed message boxes. Captions and button texts are those of
// the framework ("Confirm", "&Yes", "&No", "&Close", "Error"); each builder
// returns the request so tests can compare what was asked exactly.
#include "MessageBoxes.h"

TMessageRequest InformationRequest(const QString& text)
{
    return { ApplicationTitle, text, TMsgIcon::None, { TMsgButton::OK }, TMsgButton::OK, TMsgButton::OK };
}

void ShowInformation(TDialogService& dialogs, const QString& text)
{
    dialogs.MessageBox(InformationRequest(text));
}

TMessageRequest ConfirmationRequest(const QString& text)
{
    return { QStringLiteral("Confirm"), text, TMsgIcon::Question, { TMsgButton::Yes, TMsgButton::No },
        TMsgButton::Yes, TMsgButton::No };
}

bool AskConfirmation(TDialogService& dialogs, const QString& text)
{
    return dialogs.MessageBox(ConfirmationRequest(text)) == TMsgResult::Yes;
}

TMessageRequest FirstRunRequest(const QString& text)
{
    return { ApplicationTitle, text, TMsgIcon::None, { TMsgButton::Yes, TMsgButton::No }, TMsgButton::Yes,
        TMsgButton::No };
}

TMsgResult AskFirstRun(TDialogService& dialogs, const QString& text)
{
    return dialogs.MessageBox(FirstRunRequest(text));
}

TMessageRequest StyleNotFoundRequest(const QString& styleName)
{
    return { QStringLiteral("Error"), QStringLiteral("Style '%1' not found").arg(styleName), TMsgIcon::Error,
        { TMsgButton::Close }, TMsgButton::Close, TMsgButton::Close };
}

void ShowStyleNotFound(TDialogService& dialogs, const QString& styleName)
{
    dialogs.MessageBox(StyleNotFoundRequest(styleName));
}
