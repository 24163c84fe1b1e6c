#pragma once
// Every message box and file dialog of the program goes through this one
// interface, so tests answer them without a display (TFakeDialogService) and
// the program shows them with Qt (TQtDialogService).
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

enum class TMsgIcon { None, Information, Question, Warning, Error };

enum class TMsgButton { OK, Yes, No, Cancel, Close };

// What a message box answered. Closed: shut through its title bar without
// choosing a button (Escape chooses the EscapeButton when there is one).
enum class TMsgResult { Closed, OK, Yes, No, Cancel, Close };

struct TMessageRequest {
    QString Caption;
    QString Text;
    TMsgIcon Icon = TMsgIcon::None;
    std::vector<TMsgButton> Buttons; // in display order
    TMsgButton DefaultButton = TMsgButton::OK;
    // The button that Escape chooses; none means Escape closes the box like
    // its title bar does (result Closed).
    std::optional<TMsgButton> EscapeButton;

    bool operator==(const TMessageRequest&) const = default;
};

enum class TFileDialogKind { Open, Save };

struct TFileDialogRequest {
    TFileDialogKind Kind = TFileDialogKind::Open;
    QString Title; // empty: the platform's own title
    QString FilterDescription; // e.g. "*.mdb"
    QString FilterPattern; // e.g. "*.mdb"
    QString DefaultExt; // with or without the dot; empty: none
    QString InitialFile; // preselected name, may be empty
    bool HideReadOnly = false;
    bool FileMustExist = false;
    bool Resizable = true;
    bool OverwritePrompt = false; // the program's save dialog never asks

    bool operator==(const TFileDialogRequest&) const = default;
};

class TDialogService {
public:
    virtual ~TDialogService() = default;
    // Shows a modal message box and returns the button chosen.
    virtual TMsgResult MessageBox(const TMessageRequest& request) = 0;
    // Shows a modal file dialog; the chosen full name, or nullopt on cancel.
    // A name typed without an extension comes back with DefaultExt appended.
    virtual std::optional<QString> FileDialog(const TFileDialogRequest& request) = 0;
};

// Appends the default extension to a file name that has none (the dialogs'
// rule): "a/base" -> "a/base.mdb"; "a/base.txt" and "a.b/" stay as they are.
QString AppendDefaultExtension(const QString& fileName, const QString& defaultExt);

// The answer a click on the given button gives.
TMsgResult ResultOf(TMsgButton button);
