// Private-profile INI semantics: created by the first write, names found
// without regard to letter case, everything else kept byte for byte.
#include "PrivateProfile.h"
#include "PelmoraError.h"
#include "qt_print.h"
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

QByteArray ReadAll(const QString& fileName)
{
    QFile f(fileName);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void WriteAll(const QString& fileName, const QByteArray& data)
{
    QFile f(fileName);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(data);
}

} // namespace

class PrivateProfile : public ::testing::Test {
protected:
    QTemporaryDir Dir;
    QString File = Dir.filePath("pelmora.ini");
};

TEST_F(PrivateProfile, MissingFileGivesDefaultsAndTheFirstWriteCreatesIt)
{
    EXPECT_EQ(GetPrivateProfileString("Settings", "Check", "1", File), "1");
    EXPECT_FALSE(QFile::exists(File));
    WritePrivateProfileString("Settings", "Check", "0", File);
    WritePrivateProfileString("Settings", "Path", "/home/u/log.mdb", File);
    EXPECT_EQ(ReadAll(File), "[Settings]\nCheck=0\nPath=/home/u/log.mdb\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Path", "", File), "/home/u/log.mdb");
}

TEST_F(PrivateProfile, FindsSectionsAndKeysWithoutRegardToCase)
{
    WriteAll(File, "[SETTINGS]\r\n  check = 0 \r\npath=\"/a b/c.mdb\"\r\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Check", "1", File), "0");
    EXPECT_EQ(GetPrivateProfileString("settings", "PATH", "", File), "/a b/c.mdb"); // quotes dropped
    EXPECT_EQ(GetPrivateProfileString("Other", "Check", "d", File), "d");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Missing", "d", File), "d");

    WritePrivateProfileString("Settings", "CHECK", "1", File);
    EXPECT_EQ(ReadAll(File), "[SETTINGS]\r\nCHECK=1\r\npath=\"/a b/c.mdb\"\r\n");
}

TEST_F(PrivateProfile, LeavesEveryOtherLineByteForByte)
{
    const QByteArray head = "; comment\r\n[Other]\r\nCheck=keep me\r\n\r\n[Settings]\r\n";
    const QByteArray tail = "Unknown=x\r\n\r\n[Last]\r\nPath=other\r\n";
    WriteAll(File, head + "Path=old\r\n" + tail);

    WritePrivateProfileString("Settings", "Path", QStringLiteral("/дом/новая.mdb"), File);
    EXPECT_EQ(ReadAll(File), head + QStringLiteral("Path=/дом/новая.mdb").toUtf8() + "\r\n" + tail);
    EXPECT_EQ(GetPrivateProfileString("Other", "Check", "", File), "keep me");

    // A key the section lacks goes after its last non-blank line.
    WritePrivateProfileString("Settings", "Check", "0", File);
    EXPECT_EQ(ReadAll(File),
        head + QStringLiteral("Path=/дом/новая.mdb").toUtf8() + "\r\nUnknown=x\r\nCheck=0\r\n"
            + "\r\n[Last]\r\nPath=other\r\n");
}

TEST_F(PrivateProfile, AddsAMissingSectionAtTheEnd)
{
    WriteAll(File, "[Other]\nA=1"); // no line end after the last line
    WritePrivateProfileString("Settings", "Check", "0", File);
    EXPECT_EQ(ReadAll(File), "[Other]\nA=1\n[Settings]\nCheck=0\n");

    WriteAll(File, "[Settings]\nA=1"); // the section's last line has no line end
    WritePrivateProfileString("Settings", "Check", "0", File);
    EXPECT_EQ(ReadAll(File), "[Settings]\nA=1\nCheck=0\n");

    WriteAll(File, "[Settings]\nA=1\r"); // a CR without LF ends no line
    WritePrivateProfileString("Settings", "Check", "0", File);
    EXPECT_EQ(ReadAll(File), "[Settings]\nA=1\r\nCheck=0\n");
    EXPECT_EQ(GetPrivateProfileString("Settings", "Check", "", File), "0");
}

TEST_F(PrivateProfile, WritingIntoAMissingFolderFailsClearly)
{
    const QString file = Dir.filePath("no/such/folder/pelmora.ini");
    try {
        WritePrivateProfileString("Settings", "Check", "0", file);
        FAIL() << "no error";
    } catch (const EPelmoraError& e) {
        EXPECT_EQ(e.Message(), "Unable to write to " + file);
    }
}

TEST_F(PrivateProfile, ValuesReadBackAsWrittenOrAreRefused)
{
    const QByteArray original = "\xEF\xBB\xBF[Settings]\r\nCheck=0\r\n";
    WriteAll(File, original);
    EXPECT_EQ(GetPrivateProfileString("Settings", "Check", "1", File), "0") << "a byte-order mark is no text";

    // Blanks at the ends and enclosing quotes survive inside a pair of quotes.
    for (const QString& value : { QStringLiteral(" /a b/log.mdb "), QStringLiteral("\"quoted\""),
             QStringLiteral("'single'"), QStringLiteral("\""), QStringLiteral("") }) {
        WritePrivateProfileString("Settings", "Path", value, File);
        EXPECT_EQ(GetPrivateProfileString("Settings", "Path", "default", File), value);
    }
    EXPECT_EQ(ReadAll(File), original + "Path=\r\n");

    // A line break would make lines of its own; such writes leave the file alone.
    const QByteArray kept = ReadAll(File);
    const struct {
        const char* Section;
        const char* Key;
        const char* Value;
    } refused[] = {
        { "Settings", "Path", "/a.mdb\n[Settings]\nCheck=1" },
        { "Settings", "Path", "x\ry" },
        { "Settings", "Check=", "1" },
        { "Settings", " Check", "1" },
        { "Settings", "", "1" },
        { "Settings", ";Check", "1" },
        { "Settings", "[Check", "1]" },
        { "Settings\n", "Check", "1" },
        { " Settings", "Check", "1" },
    };
    for (const auto& c : refused) {
        EXPECT_THROW(WritePrivateProfileString(c.Section, c.Key, c.Value, File), EPelmoraError) << c.Key;
        EXPECT_EQ(ReadAll(File), kept) << c.Key;
    }
}
