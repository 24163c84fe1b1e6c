// The real dialog service on the offscreen platform: the boxes Qt shows carry
// the requested caption, icon, buttons and default, and each way of closing
// them gives the right answer.
#include "QtDialogService.h"
#include "MessageBoxes.h"
#include "qt_print.h"
#include <QApplication>
#include <QFileDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace {

// Runs action on the modal box as soon as it is shown.
void WhenBoxShows(std::function<void(QMessageBox&)> action)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            action(*box);
        else
            QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

QPushButton* ButtonWithText(QMessageBox& box, const QString& text)
{
    for (QAbstractButton* b : box.buttons())
        if (b->text() == text)
            return qobject_cast<QPushButton*>(b);
    return nullptr;
}

} // namespace

TEST(QtDialogService, ShowsTheConfirmationAsRequested)
{
    TQtDialogService dialogs;
    QString caption, text;
    QStringList buttons;
    QString defaultButton;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    WhenBoxShows([&](QMessageBox& box) {
        caption = box.windowTitle();
        text = box.text();
        icon = box.icon();
        for (QAbstractButton* b : box.buttons())
            buttons << b->text();
        defaultButton = box.defaultButton() ? box.defaultButton()->text() : QString();
        ButtonWithText(box, "&No")->click();
    });
    EXPECT_FALSE(AskConfirmation(dialogs, QStringLiteral("Вы уверены?")));
    EXPECT_EQ(caption, "Confirm");
    EXPECT_EQ(text, QStringLiteral("Вы уверены?"));
    EXPECT_EQ(icon, QMessageBox::Question);
    buttons.sort();
    EXPECT_EQ(buttons, QStringList({ "&No", "&Yes" }));
    EXPECT_EQ(defaultButton, "&Yes");
}

TEST(QtDialogService, EscapeChoosesNoAndTheTitleBarAnswersClosed)
{
    TQtDialogService dialogs;
    WhenBoxShows([](QMessageBox& box) {
        QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
        QApplication::sendEvent(&box, &escape);
    });
    EXPECT_EQ(AskFirstRun(dialogs, "first run"), TMsgResult::No);

    WhenBoxShows([](QMessageBox& box) { box.close(); });
    EXPECT_EQ(AskFirstRun(dialogs, "first run"), TMsgResult::Closed);

    WhenBoxShows([](QMessageBox& box) { ButtonWithText(box, "&Yes")->click(); });
    EXPECT_EQ(AskFirstRun(dialogs, "first run"), TMsgResult::Yes);
}

TEST(QtDialogService, ShowsTheStyleErrorWithACloseButton)
{
    TQtDialogService dialogs;
    QString caption;
    QStringList buttons;
    WhenBoxShows([&](QMessageBox& box) {
        caption = box.windowTitle();
        for (QAbstractButton* b : box.buttons())
            buttons << b->text();
        box.buttons().first()->click();
    });
    ShowStyleNotFound(dialogs, "Windows10");
    EXPECT_EQ(caption, "Error");
    EXPECT_EQ(buttons, QStringList({ "&Close" }));
}

namespace {

// Runs action on the file dialog as soon as it is shown.
void WhenFileDialogShows(std::function<void(QFileDialog&)> action)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [action, poll] {
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            action(*dialog);
        else
            QTimer::singleShot(5, *poll);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

TEST(QtDialogService, SaveDialogAppendsTheDefaultExtensionAndNeverAsksToOverwrite)
{
    QTemporaryDir dir;
    QFile existing(dir.filePath("old.mdb"));
    ASSERT_TRUE(existing.open(QIODevice::WriteOnly));
    existing.close();

    TQtDialogService dialogs;
    TFileDialogRequest save;
    save.Kind = TFileDialogKind::Save;
    save.FilterDescription = "*.mdb";
    save.FilterPattern = "*.mdb";
    save.DefaultExt = ".mdb";

    QStringList filters;
    bool confirmsOverwrite = true;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        filters = dialog.nameFilters();
        confirmsOverwrite = !dialog.testOption(QFileDialog::DontConfirmOverwrite);
        dialog.setDirectory(dir.path());
        dialog.selectFile(dir.filePath("log"));
        static_cast<QDialog&>(dialog).accept(); // runs the file dialog's own accept
    });
    EXPECT_EQ(dialogs.FileDialog(save), dir.filePath("log.mdb"));
    EXPECT_EQ(filters, QStringList({ "*.mdb (*.mdb)" }));
    EXPECT_FALSE(confirmsOverwrite);

    // An existing file is returned without a question.
    WhenFileDialogShows([&](QFileDialog& dialog) {
        dialog.selectFile(dir.filePath("old.mdb"));
        static_cast<QDialog&>(dialog).accept(); // runs the file dialog's own accept
    });
    EXPECT_EQ(dialogs.FileDialog(save), dir.filePath("old.mdb"));

    WhenFileDialogShows([](QFileDialog& dialog) { dialog.reject(); });
    EXPECT_EQ(dialogs.FileDialog(save), std::nullopt);
}

TEST(QtDialogService, OpenDialogWantsAnExistingFile)
{
    TQtDialogService dialogs;
    TFileDialogRequest open;
    open.FileMustExist = true;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    WhenFileDialogShows([&](QFileDialog& dialog) {
        mode = dialog.fileMode();
        dialog.reject();
    });
    EXPECT_EQ(dialogs.FileDialog(open), std::nullopt);
    EXPECT_EQ(mode, QFileDialog::ExistingFile);
}
