#pragma once
// The program's fixed kinds of message box, built on the dialog service.
#include "DialogService.h"

// Title of the application and caption of plain message boxes.
inline const QString ApplicationTitle = QStringLiteral("Pelmora");

// Plain information: no icon, caption "Pelmora", one "OK".
TMessageRequest InformationRequest(const QString& text);
void ShowInformation(TDialogService& dialogs, const QString& text);

// Confirmation: question icon, caption "Confirm", "&Yes" (default) and "&No";
// Escape chooses "&No". Returns true for "&Yes".
TMessageRequest ConfirmationRequest(const QString& text);
bool AskConfirmation(TDialogService& dialogs, const QString& text);

// The first-run question: no icon, caption "Pelmora", "&Yes" (default) and
// "&No", Escape chooses "&No"; the title bar's close box answers Closed.
TMessageRequest FirstRunRequest(const QString& text);
TMsgResult AskFirstRun(TDialogService& dialogs, const QString& text);

// The style manager's error: caption "Error", error icon, text
// "Style '<name>' not found", one "&Close" button.
TMessageRequest StyleNotFoundRequest(const QString& styleName);
void ShowStyleNotFound(TDialogService& dialogs, const QString& styleName);
