// The real dialog service over Qt. Invariants: buttons carry the framework's
// captions ("OK", "&Yes", "&No", "Cancel", "&Close") in the requested order;
// a box closed through its title bar answers Closed, whatever its buttons;
// file dialogs append the default extension to a name typed without one and
// never prompt before overwriting unless asked.
#include "QtDialogService.h"
#include <QAbstractButton>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <map>

namespace {

QString ButtonText(TMsgButton button)
{
    switch (button) {
    case TMsgButton::OK:
        return QStringLiteral("OK");
    case TMsgButton::Yes:
        return QStringLiteral("&Yes");
    case TMsgButton::No:
        return QStringLiteral("&No");
    case TMsgButton::Cancel:
        return QStringLiteral("Cancel");
    case TMsgButton::Close:
        return QStringLiteral("&Close");
    }
    return {};
}

QMessageBox::ButtonRole ButtonRole(TMsgButton button)
{
    switch (button) {
    case TMsgButton::OK:
    case TMsgButton::Yes:
        return QMessageBox::AcceptRole;
    case TMsgButton::No:
        return QMessageBox::NoRole;
    case TMsgButton::Cancel:
    case TMsgButton::Close:
        return QMessageBox::RejectRole;
    }
    return QMessageBox::ActionRole;
}

QMessageBox::Icon QtIcon(TMsgIcon icon)
{
    switch (icon) {
    case TMsgIcon::None:
        return QMessageBox::NoIcon;
    case TMsgIcon::Information:
        return QMessageBox::Information;
    case TMsgIcon::Question:
        return QMessageBox::Question;
    case TMsgIcon::Warning:
        return QMessageBox::Warning;
    case TMsgIcon::Error:
        return QMessageBox::Critical;
    }
    return QMessageBox::NoIcon;
}

} // namespace

TMsgResult TQtDialogService::MessageBox(const TMessageRequest& request)
{
    QMessageBox box(QtIcon(request.Icon), request.Caption, request.Text, QMessageBox::NoButton, FParent);
    std::map<QAbstractButton*, TMsgButton> kinds;
    for (TMsgButton b : request.Buttons) {
        QPushButton* button = box.addButton(ButtonText(b), ButtonRole(b));
        kinds[button] = b;
        if (b == request.DefaultButton)
            box.setDefaultButton(button);
        if (request.EscapeButton && b == *request.EscapeButton)
            box.setEscapeButton(button);
    }
    // Escape clicks the escape button; the title bar's close box clicks
    // nothing (Qt would report the escape button), so only a real click counts.
    QAbstractButton* clicked = nullptr;
    QObject::connect(
        &box, &QMessageBox::buttonClicked, &box, [&clicked](QAbstractButton* b) { clicked = b; });
    box.exec();
    const auto it = kinds.find(clicked);
    return it == kinds.end() ? TMsgResult::Closed : ResultOf(it->second);
}

std::optional<QString> TQtDialogService::FileDialog(const TFileDialogRequest& request)
{
    QFileDialog dialog(FParent, request.Title);
    const bool open = request.Kind == TFileDialogKind::Open;
    dialog.setAcceptMode(open ? QFileDialog::AcceptOpen : QFileDialog::AcceptSave);
    dialog.setFileMode(open && request.FileMustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!request.FilterPattern.isEmpty())
        dialog.setNameFilter(QStringLiteral("%1 (%2)").arg(request.FilterDescription, request.FilterPattern));
    QString ext = request.DefaultExt;
    if (ext.startsWith(QLatin1Char('.')))
        ext.remove(0, 1);
    dialog.setDefaultSuffix(ext);
    QFileDialog::Options options;
    if (!request.OverwritePrompt)
        options |= QFileDialog::DontConfirmOverwrite;
    // HideReadOnly needs nothing: Qt's dialogs have no "open read-only" box.
    dialog.setOptions(options);
    dialog.setSizeGripEnabled(request.Resizable);
    if (!request.InitialFile.isEmpty())
        dialog.selectFile(request.InitialFile);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return AppendDefaultExtension(dialog.selectedFiles().constFirst(), request.DefaultExt);
}
