// Car lists of older versions in an 8-bit code page, lists with bytes that
// are no text, names the list's character set cannot hold, and the first
// car list appearing whole.
#include "AppFixture.h"
#include "CarListFile.h"
#include "Unit2.h"
#include "error_text.h"
#include "refused_writes.h"

#include <QComboBox>
#include <QDir>
#include <QPlainTextEdit>
#include <QPushButton>

namespace {

const QString Lada = QStringLiteral("Лада");
const QString Volga = QStringLiteral("Волга");
const QString Skoda = QStringLiteral("Škoda");
// "Лада" CR LF "Волга" CR LF as an older version wrote it for a Russian user.
const QByteArray Windows1251List("\xcb\xe0\xe4\xe0\r\n\xc2\xee\xeb\xe3\xe0\r\n");

} // namespace

TEST(CarListFile, ListsThatAreNoUtf8AreReadInTheOlderCodePageAndKeepTheirBytes)
{
    struct Case {
        const char* Name;
        QByteArray Bytes;
        TTextEncoding Legacy;
        QStringList Names;
        TTextEncoding Encoding;
        bool Damaged;
    };
    const Case cases[] = {
        { "Windows-1251", Windows1251List, TTextEncoding::Windows1251, { Lada, Volga },
            TTextEncoding::Windows1251, false },
        { "valid UTF-8 stays the locale's set", Lada.toUtf8() + "\r\n", TTextEncoding::Windows1251, { Lada },
            TTextEncoding::Ansi, false },
        { "Windows-1252", "\x8akoda\r\nCitro\xebn\r\n", TTextEncoding::Windows1252,
            { Skoda, QStringLiteral("Citroën") }, TTextEncoding::Windows1252, false },
        { "a byte Windows-1251 leaves undefined", "\xcb\xe0\x98\r\nVolvo\r\n", TTextEncoding::Windows1251,
            { QStringLiteral("Ла\uFFFD"), "Volvo" }, TTextEncoding::Windows1251, true },
        { "bad UTF-8 after its mark", "\xEF\xBB\xBF\xcb\xe0\r\n", TTextEncoding::Windows1251,
            { QStringLiteral("\uFFFD\uFFFD") }, TTextEncoding::Utf8, true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        const TCarList list = DecodeCarList(c.Bytes, c.Legacy);
        EXPECT_EQ(list.Names, c.Names);
        EXPECT_EQ(list.Encoding, c.Encoding);
        EXPECT_EQ(list.Damaged, c.Damaged);
        if (!c.Damaged) {
            EXPECT_EQ(EncodeCarList(list), c.Bytes) << "written back byte for byte";
        }
    }
    EXPECT_EQ(LegacyEncoding(QLocale(QLocale::Russian, QLocale::Russia)), TTextEncoding::Windows1251);
    EXPECT_EQ(LegacyEncoding(QLocale(QLocale::Ukrainian)), TTextEncoding::Windows1251);
    EXPECT_EQ(LegacyEncoding(QLocale(QLocale::German)), TTextEncoding::Windows1252);
    EXPECT_EQ(LegacyEncoding(QLocale(QLocale::Serbian, QLocale::LatinScript, QLocale::Serbia)),
        TTextEncoding::Windows1252);

    // A name the code page cannot hold makes the list UTF-8 with its mark.
    const TCarList mixed { { Lada, Skoda }, TTextEncoding::Windows1251 };
    EXPECT_EQ(WritableEncoding(mixed), TTextEncoding::Utf8);
    EXPECT_EQ(EncodeCarList(mixed), "\xEF\xBB\xBF" + (Lada + "\r\n" + Skoda + "\r\n").toUtf8());
}

TEST(CarListFile, ASavedListReadsBackAsTheSameNames)
{
    // Only the bytes before a NUL decide the encoding: "é" in UTF-8, then
    // bytes no reader ever sees, stays "é" and no code page's "Ã©".
    const TCarList beforeNul = DecodeCarList(QByteArray("\xC3\xA9\r\n\0\xFF", 6), TTextEncoding::Windows1252);
    EXPECT_EQ(beforeNul.Names, QStringList { QStringLiteral("é") });
    EXPECT_EQ(beforeNul.Encoding, TTextEncoding::Ansi);
    EXPECT_FALSE(beforeNul.Damaged);

    const QString loneSurrogate = QString(QChar(char16_t(0xD800))) + QStringLiteral("x");
    struct Case {
        const char* Name;
        TCarList List;
        TTextEncoding Written;
    };
    const Case cases[] = {
        { "code-page bytes that form UTF-8", { { QStringLiteral("Рђ") }, TTextEncoding::Windows1251 },
            TTextEncoding::Utf8 },
        { "code-page text that starts like a mark",
            { { QStringLiteral("ÿþ car") }, TTextEncoding::Windows1252 }, TTextEncoding::Utf8 },
        { "locale text that starts like a mark", { { QStringLiteral("\uFEFFcar") }, TTextEncoding::Ansi },
            TTextEncoding::Utf8 },
        { "lone surrogate", { { loneSurrogate }, TTextEncoding::Ansi }, TTextEncoding::Utf16LE },
        { "plain code-page text", { { Lada, Volga }, TTextEncoding::Windows1251 },
            TTextEncoding::Windows1251 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        EXPECT_EQ(WritableEncoding(c.List), c.Written);
        const TCarList again = DecodeCarList(EncodeCarList(c.List), TTextEncoding::Windows1251);
        EXPECT_EQ(again.Names, c.List.Names);
        EXPECT_FALSE(again.Damaged);
    }
}

TEST(CarListFile, TheFirstListAppearsWholeOrNotAtAll)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("cars.lst");
    EnsureCarListFile(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("My car\r\n"));
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList { "cars.lst" });

    // An existing list is never touched.
    EnsureCarListFile(path);
    ASSERT_TRUE(file.seek(0));
    EXPECT_EQ(file.readAll(), QByteArray("My car\r\n"));

    // A folder that cannot be written: an error and no file at all, not even an empty one.
    const QString folder = dir.filePath("ro");
    ASSERT_TRUE(QDir().mkpath(folder));
    ShareFolder(dir.path());
    TWritesRefused readOnly(folder);
    EXPECT_TRUE(ErrorOf([&] {
        EnsureCarListFile(QDir(folder).filePath("cars.lst"));
    }).startsWith("Cannot create file"));
    EXPECT_TRUE(QDir(folder).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

class CarListEncodingTest : public AppFixture {
protected:
    std::unique_ptr<TForm1> Form;
    std::unique_ptr<TForm2> Editor;

    void StartWith(const QByteArray& cars)
    {
        Configure(MakeDatabase("log.mdb"));
        WriteBytes(CarList(), cars);
        Form = Start();
        ASSERT_TRUE(Form);
        Editor = std::make_unique<TForm2>(Test.Services, *Form->ComboBox1, Form->CarListPath());
        Form->Form2 = Editor.get();
    }
    void SaveLines(const QString& text)
    {
        Form->BitBtn1Click();
        Editor->Memo1->setPlainText(text);
        Editor->BitBtn1->click();
    }
    QStringList Items() const { return ComboItems(*Form->ComboBox1); }
};

TEST_F(CarListEncodingTest, AnOlderListIsShownReadableAndSavedInItsCodePage)
{
    StartWith(Windows1251List);
    EXPECT_EQ(Items(), (QStringList { Lada, Volga }));
    SaveLines(Volga + "\n" + Lada + "\nAudi\n");
    EXPECT_TRUE(Dialogs.Messages().empty()) << Dialogs.MessageTexts().join('|').toStdString();
    EXPECT_EQ(ReadBytes(CarList()), QByteArray("Audi\r\n\xc2\xee\xeb\xe3\xe0\r\n\xcb\xe0\xe4\xe0\r\n"));

    // A name Windows-1251 cannot hold: the list goes over to UTF-8 and stays there.
    SaveLines(Lada + "\n" + Skoda + "\n");
    EXPECT_EQ(ReadBytes(CarList()), "\xEF\xBB\xBF" + (Skoda + "\r\n" + Lada + "\r\n").toUtf8());
    EXPECT_EQ(CarListEncoding(*Form->ComboBox1), TTextEncoding::Utf8);
    SaveLines(Lada + "\n");
    EXPECT_EQ(ReadBytes(CarList()), "\xEF\xBB\xBF" + (Lada + "\r\n").toUtf8());
}

TEST_F(CarListEncodingTest, NamesWithBytesThatCouldNotBeReadAreNeverWrittenBack)
{
    const QByteArray damaged("\xcb\xe0\x98\r\nVolvo\r\n");
    StartWith(damaged);
    const QString unreadable = QStringLiteral("Ла\uFFFD");
    EXPECT_EQ(Items(), (QStringList { unreadable, "Volvo" }));
    SaveLines(unreadable + "\nVolvo\nAudi\n");
    ASSERT_EQ(Dialogs.Messages().size(), 1u);
    EXPECT_TRUE(Dialogs.Messages()[0].Text.contains(unreadable)) << Dialogs.Messages()[0].Text.toStdString();
    EXPECT_EQ(ReadBytes(CarList()), damaged) << "the file keeps its bytes";
    EXPECT_TRUE(Editor->isVisible());

    // Without the unreadable name the list is saved.
    Dialogs.Clear();
    SaveLines("Volvo\nAudi\n");
    EXPECT_TRUE(Dialogs.Messages().empty());
    EXPECT_EQ(ReadBytes(CarList()), QByteArray("Audi\r\nVolvo\r\n"));
}
