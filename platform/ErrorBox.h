#pragma once
// The general error box: error icon, caption "Pelmora", one "OK"; the text
// is the innermost error's message with a full stop appended unless it
// already ends with a character whose code is at most that of ".".
#include "DialogService.h"
#include <exception>

class EPelmoraError;

// The text the box shows for a message (the full-stop rule applied).
QString ErrorBoxText(const QString& message);
TMessageRequest ErrorBoxRequest(const QString& message);

void ShowErrorBox(TDialogService& dialogs, const QString& message);
// For an EPelmoraError the innermost message, for any other std::exception its what().
void ShowErrorBox(TDialogService& dialogs, const std::exception& error);
