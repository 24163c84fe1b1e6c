// Start-up of the main window: the first-run dialogue and its exits, the
// settings file after each path, the car-list file, the stored path check,
// FormShow and the path button.
#include "AppFixture.h"

#include "ErrorBox.h"
#include "MessageBoxes.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QTableView>
#include <QToolButton>

namespace {

const QString FirstRunText = QStringLiteral("Перед первым запуском программы необходимо создать БД (Yes - "
                                            "создать новую базу, No - указать путь к базе)");
const QString WrongExtensionText
    = QStringLiteral("Расширение файла БД должно быть *.mdb! Выход из программы");
const QString MissingFileText = QStringLiteral("Файл БД не найден. Укажите новый путь к БД!");
const QString NoPathText = QStringLiteral("Необходимо указать путь к базе!");

} // namespace

class StartupTest : public AppFixture { };

TEST_F(StartupTest, FirstRunYesCreatesDatabaseSettingsAndCarList)
{
    Dialogs.QueueAnswer(TMsgResult::Yes);
    Dialogs.QueueFile(File("expenses")); // typed without extension

    auto form = Start();
    ASSERT_TRUE(form);

    const QString database = File("expenses.mdb");
    ASSERT_EQ(Dialogs.Messages().size(), 2u);
    EXPECT_EQ(Dialogs.Messages()[0], FirstRunRequest(FirstRunText));
    EXPECT_EQ(Dialogs.Messages()[1], InformationRequest(QStringLiteral("Готово")));
    ASSERT_EQ(Dialogs.FileDialogs().size(), 1u);
    const TFileDialogRequest& save = Dialogs.FileDialogs()[0];
    EXPECT_EQ(save.Kind, TFileDialogKind::Save);
    EXPECT_EQ(save.FilterPattern, "*.mdb");
    EXPECT_FALSE(save.OverwritePrompt);

    EXPECT_EQ(IniValue("Check"), "0");
    EXPECT_EQ(IniValue("Path"), database);
    EXPECT_EQ(ReadBytes(CarList()), QByteArray("My car\r\n"));
    EXPECT_EQ(form->ComboBox1->count(), 1);
    EXPECT_EQ(form->ComboBox1->itemText(0), "My car");
    EXPECT_EQ(form->ComboBox2->count(), 1);
    EXPECT_EQ(form->Edit1->text(), database);
    EXPECT_TRUE(form->ADOTable1->Active());
    EXPECT_TRUE(Rows(database).empty());
    EXPECT_EQ(form->Edit2->text(), "0");
    EXPECT_EQ(form->Height(), TForm1::CollapsedHeight);
}

TEST_F(StartupTest, ConfiguredStartShowsNoDialogueAndOpensCollapsedWithToday)
{
    const QString database = MakeDatabase("log.mdb",
        { { "A", "oil", "01.02.2024", "10", "", "100" }, { "A", "tyres", "02.02.2024", "20", "", "250" } });
    Configure(database);
    const QByteArray iniBefore = ReadBytes(Ini());

    auto form = Start();
    ASSERT_TRUE(form);
    EXPECT_TRUE(Dialogs.Messages().empty());
    EXPECT_TRUE(Dialogs.FileDialogs().empty());
    EXPECT_EQ(ReadBytes(Ini()), iniBefore);
    EXPECT_EQ(form->Height(), TForm1::CollapsedHeight);
    for (QDateEdit* picker : { form->DateTimePicker1, form->DateTimePicker2, form->DateTimePicker3 }) {
        EXPECT_EQ(picker->date(), QDate(2024, 3, 15));
        EXPECT_EQ(picker->displayFormat(), "dd.MM.yyyy");
    }
    EXPECT_EQ(form->Edit2->text(), "350");
    const int widths[] = { 64, 256, 64, 64, 191, 64 };
    for (int column = 0; column < 6; ++column)
        EXPECT_EQ(form->DBGrid1->columnWidth(column), widths[column]) << column;
    // CalcTotal leaves the last row current.
    EXPECT_EQ(form->ADOTable1->RecNo(), 2);

    form->show();
    EXPECT_TRUE(Dialogs.Messages().empty()) << "FormShow asks nothing when the path is known";
}

TEST_F(StartupTest, FirstRunNoAcceptsExactlyLowerCaseMdb)
{
    const QString database = MakeDatabase("existing.mdb", { { "A", "oil", "01.02.2024", "10", "", "70" } });
    Dialogs.QueueAnswer(TMsgResult::No);
    Dialogs.QueueFile(database);

    auto form = Start();
    ASSERT_TRUE(form);
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList { FirstRunText });
    ASSERT_EQ(Dialogs.FileDialogs().size(), 1u);
    EXPECT_EQ(Dialogs.FileDialogs()[0].Kind, TFileDialogKind::Open);
    EXPECT_TRUE(Dialogs.FileDialogs()[0].FileMustExist);
    EXPECT_EQ(IniValue("Check"), "0");
    EXPECT_EQ(IniValue("Path"), database);
    EXPECT_EQ(form->Edit1->text(), database);
    EXPECT_EQ(form->Edit2->text(), "70");
}

// Every way out of the first-run dialogue that ends the program: the
// settings file keeps what it held, so the dialogue comes back next time.
struct ExitCase {
    const char* name;
    std::vector<TMsgResult> answers;
    std::vector<std::optional<QString>> files; // relative names
    QStringList expectedTexts;
};

class FirstRunExitTest : public AppFixture, public ::testing::WithParamInterface<ExitCase> { };

TEST_P(FirstRunExitTest, EndsProgramAndLeavesSettingsAlone)
{
    const ExitCase& c = GetParam();
    MakeDatabase("upper.MDB");
    // A settings file that has a Path but no Check: the dialogue is pending.
    WriteBytes(Ini(), "[Settings]\r\nPath=/somewhere/old.mdb\r\n");
    const QByteArray iniBefore = ReadBytes(Ini());
    for (TMsgResult a : c.answers)
        Dialogs.QueueAnswer(a);
    for (const auto& f : c.files)
        Dialogs.QueueFile(f ? std::optional<QString>(File(*f)) : std::nullopt);

    EXPECT_EQ(Start(), nullptr);
    EXPECT_EQ(Test.Process->TerminateCount(), 1);
    EXPECT_EQ(Dialogs.MessageTexts(), c.expectedTexts);
    EXPECT_TRUE(Dialogs.AllAnswersUsed());
    EXPECT_EQ(ReadBytes(Ini()), iniBefore);
    EXPECT_FALSE(QFileInfo::exists(CarList())) << "the program ended before the car list step";
}

INSTANTIATE_TEST_SUITE_P(Exits, FirstRunExitTest,
    ::testing::Values(
        ExitCase { "YesThenSaveCancelled", { TMsgResult::Yes }, { std::nullopt }, { FirstRunText } },
        ExitCase { "NoThenOpenCancelled", { TMsgResult::No }, { std::nullopt }, { FirstRunText } },
        ExitCase { "DialogueClosedByTitleBar", { TMsgResult::Closed }, {}, { FirstRunText } },
        ExitCase { "NoWithUpperCaseExtension", { TMsgResult::No }, { QString("upper.MDB") },
            { FirstRunText, WrongExtensionText } }),
    [](const auto& info) { return std::string(info.param.name); });

// The first-run flag is read as a whole number: only a value that reads as
// zero counts as configured.
TEST_F(StartupTest, CheckValueDecidesWhetherTheDialogueComes)
{
    const QString database = MakeDatabase("log.mdb");
    const struct {
        const char* check;
        bool dialogue;
    } cases[] = {
        { "0", false }, { " 0 ", false }, // blanks around a value are not part of it
        { "0x0", false }, // hexadecimal is a whole number too
        { "1", true }, { "2", true }, { "", true }, // no number: the default, pending
        { "abc", true }, // no number: the default, pending
    };
    for (const auto& c : cases) {
        WriteBytes(
            Ini(), QByteArray("[settings]\r\ncheck=") + c.check + "\r\nPATH=" + database.toUtf8() + "\r\n");
        Dialogs.Clear();
        if (c.dialogue)
            Dialogs.QueueAnswer(TMsgResult::Closed); // leave at once
        const bool started = Start() != nullptr;
        EXPECT_EQ(started, !c.dialogue) << c.check;
        EXPECT_EQ(Dialogs.MessageTexts().contains(FirstRunText), c.dialogue) << c.check;
    }
}

TEST_F(StartupTest, YesOnDatabaseThatHasTheTableFailsQuietlyThenAsksForPath)
{
    const QString database = MakeDatabase("full.mdb", { { "A", "oil", "01.02.2024", "10", "", "5" } });
    const QByteArray before = ReadBytes(database);
    Dialogs.QueueAnswer(TMsgResult::Yes);
    Dialogs.QueueFile(database);

    auto form = Start();
    ASSERT_TRUE(form);
    ASSERT_EQ(Dialogs.Messages().size(), 2u);
    EXPECT_EQ(Dialogs.Messages()[1].Icon, TMsgIcon::Error) << "the table statement fails in the error box";
    EXPECT_EQ(Dialogs.Messages()[1].Caption, "Pelmora");
    EXPECT_FALSE(QFileInfo::exists(Ini())) << "neither Check nor Path is written";
    EXPECT_FALSE(QFileInfo::exists(CarList())) << "the rest of FormCreate is skipped";
    EXPECT_EQ(form->Edit1->text(), "");
    EXPECT_EQ(Rows(database).size(), 1u) << "the existing file is not overwritten";

    // FormShow insists on a path and runs the path button; the user cancels.
    Dialogs.Clear();
    Dialogs.QueueFile(std::nullopt);
    form->show();
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList { NoPathText });
    EXPECT_EQ(Dialogs.Messages()[0], InformationRequest(NoPathText));
    EXPECT_EQ(Dialogs.FileDialogs().size(), 1u);
    EXPECT_FALSE(QFileInfo::exists(Ini()));
}

TEST_F(StartupTest, StoredPathMissingAndDialogCancelledOverwritesPathWithEmptyText)
{
    Configure(File("gone.mdb"));
    Dialogs.QueueFile(std::nullopt);

    auto form = Start();
    ASSERT_TRUE(form);
    ASSERT_EQ(Dialogs.Messages().size(), 2u);
    EXPECT_EQ(Dialogs.Messages()[0], InformationRequest(MissingFileText));
    EXPECT_EQ(Dialogs.Messages()[1].Icon, TMsgIcon::Error) << "opening the missing file fails";
    EXPECT_EQ(IniValue("Path"), "");
    EXPECT_EQ(IniValue("Check"), "0");
    EXPECT_EQ(form->Edit1->text(), File("gone.mdb")) << "the box keeps the missing path";
    EXPECT_FALSE(form->ADOTable1->Active());

    Dialogs.Clear();
    form->show();
    EXPECT_TRUE(Dialogs.Messages().empty()) << "a non-empty path box is not asked for again";
}

TEST_F(StartupTest, StoredPathMissingAndNewFileChosenIsStoredWithoutExtensionCheck)
{
    const QString database = MakeDatabase("other.MDB", { { "A", "x", "01.02.2024", "1", "", "9" } });
    Configure(File("gone.mdb"));
    Dialogs.QueueFile(database);

    auto form = Start();
    ASSERT_TRUE(form);
    EXPECT_EQ(Dialogs.MessageTexts(), QStringList { MissingFileText });
    EXPECT_EQ(IniValue("Path"), database);
    EXPECT_EQ(form->Edit1->text(), database);
    EXPECT_EQ(form->Edit2->text(), "9");
}

TEST_F(StartupTest, EmptyCarListGivesEmptyCombosAndIsNotRewritten)
{
    Configure(MakeDatabase("log.mdb"));
    WriteBytes(CarList(), "");

    auto form = Start();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->ComboBox1->count(), 0);
    EXPECT_EQ(form->ComboBox2->count(), 0);
    EXPECT_EQ(ReadBytes(CarList()), QByteArray());
}

TEST_F(StartupTest, ExistingCarListIsLoadedLineByLine)
{
    Configure(MakeDatabase("log.mdb"));
    WriteBytes(CarList(), "Lada\r\nVolga\nUAZ\r");

    auto form = Start();
    ASSERT_TRUE(form);
    const QStringList expected { "Lada", "Volga", "UAZ" };
    for (QComboBox* combo : { form->ComboBox1, form->ComboBox2 }) {
        QStringList items;
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
        EXPECT_EQ(items, expected);
        EXPECT_EQ(combo->currentIndex(), -1);
    }
}

TEST_F(StartupTest, UnreadableCarListStopsFormCreateInTheErrorBox)
{
    Configure(MakeDatabase("log.mdb"));
    ASSERT_TRUE(QDir(Dir.path()).mkdir("cars.lst")); // a folder where the file should be

    auto form = Start();
    ASSERT_TRUE(form);
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(form->Edit1->text(), "") << "later steps do not run";
}

TEST_F(StartupTest, PathButtonReopensOnChosenFileAndKeepsCheck)
{
    Configure(MakeDatabase("first.mdb", { { "A", "x", "01.02.2024", "1", "", "10" } }));
    const QString second = MakeDatabase("second.db",
        { { "B", "y", "01.02.2024", "1", "", "20" }, { "B", "z", "01.02.2024", "1", "", "22" } });
    auto form = Start();
    ASSERT_TRUE(form);
    EXPECT_EQ(form->Edit2->text(), "10");

    Dialogs.QueueFile(second);
    form->SpeedButton1->click();
    EXPECT_EQ(form->Edit1->text(), second);
    EXPECT_EQ(IniValue("Path"), second) << "no extension test here";
    EXPECT_EQ(IniValue("Check"), "0");
    EXPECT_EQ(form->Edit2->text(), "42");
    EXPECT_TRUE(Dialogs.Messages().empty());

    // Cancel changes nothing.
    Dialogs.QueueFile(std::nullopt);
    form->SpeedButton1->click();
    EXPECT_EQ(form->Edit1->text(), second);
    EXPECT_EQ(IniValue("Path"), second);
}

TEST_F(StartupTest, PathButtonOnFileThatIsNoDatabaseStoresPathAndShowsError)
{
    Configure(MakeDatabase("first.mdb"));
    const QString junk = File("junk.mdb");
    WriteBytes(junk, "this is not a database at all, just some text that is long enough");
    auto form = Start();
    ASSERT_TRUE(form);

    Dialogs.QueueFile(junk);
    form->SpeedButton1->click();
    EXPECT_EQ(IniValue("Path"), junk);
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_FALSE(form->ADOTable1->Active());
    EXPECT_EQ(
        ReadBytes(junk), QByteArray("this is not a database at all, just some text that is long enough"));
}
