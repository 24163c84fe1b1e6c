// The general error box. Invariant: the text shown is always the innermost
// message of a chain, and ends with a character whose code is at most that of
// "." (a full stop is appended otherwise; empty text becomes ".").
#include "ErrorBox.h"
#include "MessageBoxes.h"
#include "PelmoraError.h"

QString ErrorBoxText(const QString& message)
{
    if (!message.isEmpty() && message.back().unicode() <= u'.')
        return message;
    return message + QLatin1Char('.');
}

TMessageRequest ErrorBoxRequest(const QString& message)
{
    return { ApplicationTitle, ErrorBoxText(message), TMsgIcon::Error, { TMsgButton::OK }, TMsgButton::OK,
        TMsgButton::OK };
}

void ShowErrorBox(TDialogService& dialogs, const QString& message)
{
    dialogs.MessageBox(ErrorBoxRequest(message));
}

void ShowErrorBox(TDialogService& dialogs, const std::exception& error)
{
    if (const auto* own = dynamic_cast<const EPelmoraError*>(&error))
        ShowErrorBox(dialogs, own->InnermostMessage());
    else
        ShowErrorBox(dialogs, QString::fromUtf8(error.what()));
}
