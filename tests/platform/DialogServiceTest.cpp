// The fixed message boxes, the recording dialog double and the default-extension rule.
#include "FakeDialogService.h"
#include "MessageBoxes.h"
#include "qt_print.h"
#include <gtest/gtest.h>

using B = TMsgButton;

TEST(MessageBoxes, CarryTheExactCaptionsIconsAndButtons)
{
    struct Case {
        const char* name;
        TMessageRequest request;
        TMessageRequest expected;
    };
    const Case cases[] = {
        { "information", InformationRequest("Готово"),
            { "Pelmora", "Готово", TMsgIcon::None, { B::OK }, B::OK, B::OK } },
        { "confirmation: Escape answers No", ConfirmationRequest("Вы уверены?"),
            { "Confirm", "Вы уверены?", TMsgIcon::Question, { B::Yes, B::No }, B::Yes, B::No } },
        { "first run: no icon, Yes default", FirstRunRequest("create?"),
            { "Pelmora", "create?", TMsgIcon::None, { B::Yes, B::No }, B::Yes, B::No } },
        { "missing style", StyleNotFoundRequest("Windows10"),
            { "Error", "Style 'Windows10' not found", TMsgIcon::Error, { B::Close }, B::Close, B::Close } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.request, c.expected);
    }
}

TEST(FakeDialogService, RecordsRequestsAndAnswersFromItsQueues)
{
    TFakeDialogService dialogs;
    dialogs.QueueAnswer(TMsgResult::No);
    dialogs.QueueAnswer(TMsgResult::Closed);
    dialogs.QueueFile(QStringLiteral("/data/log"));
    dialogs.QueueFile(std::nullopt);

    ShowInformation(dialogs, "first a notice"); // takes no answer from the queue
    EXPECT_FALSE(AskConfirmation(dialogs, "Вы уверены?"));
    EXPECT_EQ(AskFirstRun(dialogs, "first"), TMsgResult::Closed);
    ShowInformation(dialogs, "Готово"); // one button: answers itself

    TFileDialogRequest save;
    save.Kind = TFileDialogKind::Save;
    save.DefaultExt = ".mdb";
    EXPECT_EQ(dialogs.FileDialog(save), QString("/data/log.mdb"));
    EXPECT_EQ(dialogs.FileDialog(save), std::nullopt);

    EXPECT_EQ(dialogs.MessageTexts(), QStringList({ "first a notice", "Вы уверены?", "first", "Готово" }));
    EXPECT_EQ(dialogs.Messages()[1].Caption, "Confirm");
    EXPECT_EQ(dialogs.FileDialogs().size(), 2u);
    EXPECT_TRUE(dialogs.AllAnswersUsed());

    // A question nobody prepared an answer for stops the test instead of guessing.
    EXPECT_THROW(AskConfirmation(dialogs, "again?"), EUnexpectedDialog);
    EXPECT_THROW(dialogs.FileDialog(save), EUnexpectedDialog);
}

TEST(FileDialogs, AppendTheDefaultExtensionOnlyToNamesWithoutOne)
{
    struct Case {
        const char* name;
        QString typed;
        QString ext;
        QString result;
    };
    const Case cases[] = {
        { "no extension", "/home/u/log", ".mdb", "/home/u/log.mdb" },
        { "extension without dot given", "/home/u/log", "mdb", "/home/u/log.mdb" },
        { "own extension kept", "/home/u/log.db", ".mdb", "/home/u/log.db" },
        { "capital extension kept", "/home/u/log.MDB", ".mdb", "/home/u/log.MDB" },
        { "dot in a folder name only", "/home/u.x/log", ".mdb", "/home/u.x/log.mdb" },
        { "no default extension", "/home/u/log", "", "/home/u/log" },
        { "empty name", "", ".mdb", "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(AppendDefaultExtension(c.typed, c.ext), c.result);
    }
}
