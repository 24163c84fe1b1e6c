// The general error box: innermost message and the full-stop rule.
#include "ErrorBox.h"
#include "FakeDialogService.h"
#include "PelmoraError.h"
#include "qt_print.h"
#include <gtest/gtest.h>
#include <stdexcept>

TEST(ErrorBox, AppendsAFullStopOnlyAfterCharactersAboveIt)
{
    struct Case {
        const char* name;
        QString text;
        QString shown;
    };
    const Case cases[] = {
        { "letter", "Disk full", "Disk full." },
        { "full stop itself", "Done.", "Done." },
        { "exclamation mark (code 33)", "Stop!", "Stop!" },
        { "closing parenthesis (code 41)", "failed (code 5)", "failed (code 5)" },
        { "comma (code 44)", "a,", "a," },
        { "hyphen (code 45)", "a-", "a-" },
        { "slash (code 47) is above", "path/", "path/." },
        { "digit is above", "error 42", "error 42." },
        { "question mark is above", "Why?", "Why?." },
        { "Cyrillic letter", QStringLiteral("Файл не найден"), QStringLiteral("Файл не найден.") },
        { "trailing blank (code 32)", "text ", "text " },
        { "empty text", "", "." },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(ErrorBoxText(c.text), c.shown);
    }
}

TEST(ErrorBox, ShowsTheInnermostMessageWithErrorIconAndOk)
{
    TFakeDialogService dialogs;
    const EPelmoraError inner("Could not find file x.mdb");
    const EPelmoraError middle("Opening failed", inner);
    ShowErrorBox(dialogs, EPelmoraError("Start-up failed", middle));
    ShowErrorBox(dialogs, std::runtime_error("plain failure"));

    ASSERT_EQ(dialogs.Messages().size(), 2u);
    const TMessageRequest& box = dialogs.Messages()[0];
    EXPECT_EQ(box.Caption, "Pelmora");
    EXPECT_EQ(box.Text, "Could not find file x.mdb.");
    EXPECT_EQ(box.Icon, TMsgIcon::Error);
    EXPECT_EQ(box.Buttons, std::vector<TMsgButton> { TMsgButton::OK });
    EXPECT_EQ(dialogs.Messages()[1].Text, "plain failure.");
}

TEST(ErrorBox, ExceptionChainsCopyWithTheirInnerErrors)
{
    EDatabaseError copy("placeholder");
    try {
        try {
            throw EConvertError("'12a' is not a valid integer value");
        } catch (const EPelmoraError& e) {
            throw EDatabaseError("Add failed", e);
        }
    } catch (const EDatabaseError& e) {
        copy = e;
    }
    EXPECT_EQ(copy.Message(), "Add failed");
    ASSERT_NE(copy.Inner(), nullptr);
    EXPECT_EQ(copy.InnermostMessage(), "'12a' is not a valid integer value");
    EXPECT_STREQ(copy.what(), "Add failed");
}
