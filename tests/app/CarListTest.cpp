// The car-list file's reading and writing, and the car-list editor: opening,
// saving (repeats, empty lines, sorting, encodings) and the close box.
#include "AppFixture.h"

#include "CarListFile.h"
#include "ErrorBox.h"
#include "MessageBoxes.h"
#include "PelmoraError.h"
#include "Unit2.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

namespace {

const QString RepeatsRemoved = QStringLiteral("Повторяющиеся строки удалены!");

QByteArray Utf16(const QString& text, bool littleEndian)
{
    QByteArray bytes;
    for (QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        bytes += littleEndian ? lo : hi;
        bytes += littleEndian ? hi : lo;
    }
    return bytes;
}

struct DecodeCase {
    const char* Name;
    QByteArray Bytes;
    QStringList Names;
    TTextEncoding Encoding;
};

} // namespace

TEST(CarListFile, DecodeSplitsLinesAndHonoursMarks)
{
    const QString cyr = QStringLiteral("Лада");
    const DecodeCase cases[] = {
        { "CR LF", "A\r\nB\r\n", { "A", "B" }, TTextEncoding::Ansi },
        { "lone CR and lone LF", "A\rB\nC", { "A", "B", "C" }, TTextEncoding::Ansi },
        { "LF CR is two breaks", "A\n\rB", { "A", "", "B" }, TTextEncoding::Ansi },
        { "final break adds no name", "A\n", { "A" }, TTextEncoding::Ansi },
        { "empty lines inside are names", "A\r\n\r\n\r\nB", { "A", "", "", "B" }, TTextEncoding::Ansi },
        { "single break is one empty name", "\r\n", { "" }, TTextEncoding::Ansi },
        { "empty file", "", {}, TTextEncoding::Ansi },
        { "NUL ends the text", QByteArray("A\r\nB\0C\r\nD", 10), { "A", "B" }, TTextEncoding::Ansi },
        { "no mark: locale set (UTF-8)", cyr.toUtf8() + "\r\n", { cyr }, TTextEncoding::Ansi },
        { "UTF-8 mark", "\xEF\xBB\xBF" + cyr.toUtf8() + "\r\nB", { cyr, "B" }, TTextEncoding::Utf8 },
        { "UTF-8 mark only", "\xEF\xBB\xBF", {}, TTextEncoding::Utf8 },
        { "second mark belongs to the name",
            "\xEF\xBB\xBF\xEF\xBB\xBF"
            "A",
            { QString(QChar(0xFEFF)) + "A" }, TTextEncoding::Utf8 },
        { "UTF-16 LE mark", "\xFF\xFE" + Utf16(cyr + "\r\nB\nC\r", true), { cyr, "B", "C" },
            TTextEncoding::Utf16LE },
        { "UTF-16 BE mark", "\xFE\xFF" + Utf16(cyr + "\rB", false), { cyr, "B" }, TTextEncoding::Utf16BE },
        { "UTF-16 NUL ends the text", "\xFF\xFE" + Utf16(QStringLiteral("A\r\n") + QChar(0) + "B", true),
            { "A" }, TTextEncoding::Utf16LE },
    };
    for (const DecodeCase& c : cases) {
        const TCarList list = DecodeCarList(c.Bytes);
        EXPECT_EQ(list.Names, c.Names) << c.Name;
        EXPECT_EQ(list.Encoding, c.Encoding) << c.Name;
    }
}

TEST(CarListFile, EncodeWritesMarkAndCrLfAfterEveryName)
{
    const QString cyr = QStringLiteral("Лада");
    EXPECT_EQ(EncodeCarList({ { "A", "" }, TTextEncoding::Ansi }), QByteArray("A\r\n\r\n"));
    EXPECT_EQ(EncodeCarList({ {}, TTextEncoding::Ansi }), QByteArray());
    EXPECT_EQ(EncodeCarList({ { cyr }, TTextEncoding::Utf8 }), "\xEF\xBB\xBF" + cyr.toUtf8() + "\r\n");
    EXPECT_EQ(EncodeCarList({ { cyr }, TTextEncoding::Utf16LE }), "\xFF\xFE" + Utf16(cyr + "\r\n", true));
    EXPECT_EQ(EncodeCarList({ { cyr }, TTextEncoding::Utf16BE }), "\xFE\xFF" + Utf16(cyr + "\r\n", false));
    // What is read is written back byte for byte.
    for (const TTextEncoding encoding :
        { TTextEncoding::Ansi, TTextEncoding::Utf8, TTextEncoding::Utf16LE, TTextEncoding::Utf16BE }) {
        const TCarList list { { cyr, "  ", "b" }, encoding };
        EXPECT_EQ(DecodeCarList(EncodeCarList(list)), list) << int(encoding);
    }
}

TEST(CarListFile, WriteFailureNamesTheFileAndKeepsTheOldOne)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("missing/cars.lst");
    try {
        WriteCarList(path, { { "A" }, TTextEncoding::Ansi });
        FAIL() << "no error";
    } catch (const EPelmoraError& error) {
        EXPECT_TRUE(error.Message().startsWith("Cannot create file \"" + path + "\""))
            << error.Message().toStdString();
    }
}

class CarListEditorTest : public AppFixture {
protected:
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<TForm2> Editor;

    void StartWith(const QByteArray& cars)
    {
        Editor.reset();
        Form.reset();
        if (!QFileInfo::exists(File("log.mdb")))
            Configure(MakeDatabase("log.mdb", { { "Lada", "p", "01.02.2024", "1", "", "40" } }));
        WriteBytes(CarList(), cars);
        Form = Start();
        ASSERT_TRUE(Form);
        Editor = std::make_unique<TForm2>(Test.Services, *Form->ComboBox1, CarList());
        Form->Form2 = Editor.get();
    }
    void Open()
    {
        Form->BitBtn1->click();
        ASSERT_TRUE(Editor->isVisible());
    }
    // Opens the editor, puts lines into it and saves.
    void SaveLines(const QStringList& lines)
    {
        Open();
        Editor->SetLines(lines, Editor->LinesEncoding());
        Dialogs.Clear();
        Editor->BitBtn1->click();
    }
    QStringList Items() const { return ComboItems(*Form->ComboBox1); }
};

TEST_F(CarListEditorTest, WindowAndControls)
{
    StartWith("A\r\n");
    EXPECT_TRUE(Editor->isHidden());
    EXPECT_EQ(Editor->size(), QSize(185, 179));
    EXPECT_EQ(Editor->Memo1->geometry(), QRect(0, 0, 185, 129));
    EXPECT_EQ(Editor->Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(Editor->BitBtn1->geometry(), QRect(56, 136, 75, 25));
    EXPECT_EQ(Editor->BitBtn1->text(), "Сохранить");
    EXPECT_TRUE(Editor->windowTitle().isEmpty());
    EXPECT_FALSE(Editor->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint));
}

// An empty last line (after the final line break) is not a line; every
// other line counts, empty or not.
TEST_F(CarListEditorTest, MemoLinesIgnoreOnlyAnEmptyLastLine)
{
    StartWith("A\r\n");
    const std::pair<QString, QStringList> cases[] = {
        { "", {} },
        { "A\nB", { "A", "B" } },
        { "A\nB\n", { "A", "B" } },
        { "\n\n", { "", "" } },
        { " \n", { " " } },
        { QStringLiteral("Ауди\u00A0A4"), { QStringLiteral("Ауди\u00A0A4") } },
    };
    for (const auto& [text, lines] : cases) {
        Editor->Memo1->setPlainText(text);
        EXPECT_EQ(Editor->Lines(), lines) << text.toStdString();
    }
    for (const auto& [text, lines] : cases) {
        Editor->SetLines(lines, TTextEncoding::Ansi);
        EXPECT_EQ(Editor->Lines(), lines) << text.toStdString();
    }
}

TEST_F(CarListEditorTest, OpeningFillsFromTheEntryComboAndRecomputesTheTotal)
{
    StartWith("Volga\r\nLada\r\n");
    Form->Edit2->setText("stale");
    Open();
    EXPECT_EQ(Editor->Lines(), (QStringList { "Volga", "Lada" }));
    EXPECT_EQ(Form->Edit2->text(), "40");
    EXPECT_TRUE(Form->isEnabled()) << "the editor is not modal";
}

struct SaveCase {
    const char* Name;
    QStringList Lines;
    bool Message;
    QStringList Items;
};

TEST_F(CarListEditorTest, SaveDropsRepeatsAndEmptyLinesSortsAndWrites)
{
    const SaveCase cases[] = {
        { "a repeat is reported", { "Alpha", "Beta", "Alpha" }, true, { "Alpha", "Beta" } },
        { "an empty line alone is no repeat", { "Gamma", "Alpha", "", "Beta" }, false,
            { "Alpha", "Beta", "Gamma" } },
        { "the second empty line is a repeat", { "", "" }, true, {} },
        { "three equal lines leave one", { "X", "X", "X" }, true, { "X" } },
        { "case and trailing spaces make lines differ", { "alpha", "Alpha", "Alpha ", "   " }, false,
            { "   ", "Alpha", "alpha", "Alpha " } },
        { "non-ASCII names sort by letters", { "Лада", "ауди", "Бмв" }, false, { "ауди", "Бмв", "Лада" } },
    };
    StartWith("Old\r\n");
    for (const SaveCase& c : cases) {
        SaveLines(c.Lines);
        if (c.Message)
            EXPECT_EQ(Dialogs.Messages(), std::vector { InformationRequest(RepeatsRemoved) }) << c.Name;
        else
            EXPECT_TRUE(Dialogs.Messages().empty()) << c.Name;
        EXPECT_EQ(Items(), c.Items) << c.Name;
        EXPECT_EQ(DecodeCarList(ReadBytes(CarList())), (TCarList { c.Items, TTextEncoding::Ansi })) << c.Name;
        EXPECT_FALSE(Editor->isVisible()) << c.Name;
    }
}

TEST_F(CarListEditorTest, FileHoldsEachNameWithCrLfAndComboStaysSorted)
{
    StartWith("Volga\nLada\n");
    EXPECT_EQ(Items(), (QStringList { "Volga", "Lada" })) << "unsorted until the first save";
    Form->ComboBox1->setCurrentIndex(0);
    SaveLines({ "Volga", "Lada", "Moskvich" });
    EXPECT_EQ(ReadBytes(CarList()), QByteArray("Lada\r\nMoskvich\r\nVolga\r\n"));
    EXPECT_EQ(Form->ComboBox1->currentText(), "Volga") << "the chosen car stays chosen";
    // Opening again shows the sorted list.
    Open();
    EXPECT_EQ(Editor->Lines(), (QStringList { "Lada", "Moskvich", "Volga" }));
    EXPECT_EQ(Form->ComboBox2->count(), 2) << "the filter combo is not touched";
}

TEST_F(CarListEditorTest, EncodingOfTheFileIsWrittenBackWithItsMark)
{
    const QString cyr = QStringLiteral("Лада");
    const std::pair<const char*, QByteArray> marks[] = {
        { "UTF-8", "\xEF\xBB\xBF" },
        { "UTF-16 LE", "\xFF\xFE" },
        { "UTF-16 BE", "\xFE\xFF" },
    };
    for (const auto& [name, mark] : marks) {
        const TTextEncoding encoding = DecodeCarList(mark).Encoding;
        StartWith(EncodeCarList({ { "Volga", cyr }, encoding }));
        EXPECT_EQ(Items(), (QStringList { "Volga", cyr })) << name;
        SaveLines({ cyr, "Volga", "Audi" });
        EXPECT_EQ(ReadBytes(CarList()), EncodeCarList({ { "Audi", "Volga", cyr }, encoding })) << name;
        EXPECT_TRUE(ReadBytes(CarList()).startsWith(mark)) << name;
    }
}

TEST_F(CarListEditorTest, CloseBoxDiscardsTheEdits)
{
    StartWith("Lada\r\n");
    Open();
    Editor->Memo1->moveCursor(QTextCursor::End);
    QTest::keyClicks(Editor->Memo1, "Typed");
    EXPECT_EQ(Editor->Lines(), (QStringList { "Lada", "Typed" }));
    EXPECT_TRUE(Editor->close());
    EXPECT_FALSE(Editor->isVisible());
    Open();
    EXPECT_EQ(Editor->Lines(), QStringList { "Lada" });
    EXPECT_EQ(ReadBytes(CarList()), QByteArray("Lada\r\n"));
    EXPECT_EQ(Items(), QStringList { "Lada" });
}

TEST_F(CarListEditorTest, WriteFailureShowsTheFileErrorAndKeepsTheEditorOpen)
{
    StartWith("Lada\r\n");
    // A directory in the file's place cannot be replaced by a file.
    ASSERT_TRUE(QFile::remove(CarList()));
    ASSERT_TRUE(QDir(Dir.path()).mkdir("cars.lst"));
    SaveLines({ "Volga", "Audi" });
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_EQ(Dialogs.Messages()[0].Icon, TMsgIcon::Error);
    EXPECT_EQ(Dialogs.Messages()[0].Caption, "Pelmora");
    EXPECT_TRUE(Dialogs.Messages()[0].Text.contains(QDir(Dir.path()).filePath("cars.lst")))
        << Dialogs.Messages()[0].Text.toStdString();
    EXPECT_TRUE(Editor->isVisible());
    EXPECT_EQ(Items(), (QStringList { "Audi", "Volga" }));
}
