// Fuzz body for the settings file: read, change one key, write, read back.
//
// Input: section NUL key NUL value NUL file-bytes. With fewer fields the
// whole input is the file and the program's own key (Settings/Path) is
// written. The write either refuses (an error, the file untouched) or:
//  - the key then reads back as the value written;
//  - every other key of the file reads as before;
//  - the other lines stay byte for byte: the file differs from the old one
//    only by the one key line replaced or inserted, or a section appended
//    (with a line end added to an unterminated last line);
//  - writing the same value again changes nothing.
#include "fuzz_ini.h"
#include "FuzzCheck.h"
#include "PelmoraError.h"
#include "PrivateProfile.h"

#include <QFile>
#include <QTemporaryDir>

#include <optional>
#include <vector>

namespace {

QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

bool WriteAll(const QString& fileName, QByteArrayView bytes)
{
    QFile file(fileName);
    return file.open(QIODevice::WriteOnly) && file.write(bytes.data(), bytes.size()) == bytes.size();
}

// The lines of a file with their line ends, as stored.
std::vector<QByteArray> RawLines(const QByteArray& bytes)
{
    std::vector<QByteArray> lines;
    qsizetype pos = 0;
    while (pos < bytes.size()) {
        const qsizetype nl = bytes.indexOf('\n', pos);
        const qsizetype next = nl < 0 ? bytes.size() : nl + 1;
        lines.push_back(bytes.mid(pos, next - pos));
        pos = next;
    }
    return lines;
}

struct TName {
    QString Section;
    QString Key;
};

// Keys as a reader of the file sees them, each with the section above it;
// a handful is enough to notice a write that disturbs its neighbours.
std::vector<TName> KeysOf(const QByteArray& bytes)
{
    std::vector<TName> names;
    QString section;
    for (const QByteArray& raw : RawLines(bytes)) {
        const QString text = QString::fromUtf8(raw).trimmed();
        if (text.startsWith(QLatin1Char('[')) && text.endsWith(QLatin1Char(']'))) {
            section = text.mid(1, text.size() - 2).trimmed();
            continue;
        }
        const qsizetype eq = text.indexOf(QLatin1Char('='));
        if (eq > 0 && names.size() < 24)
            names.push_back({ section, text.left(eq).trimmed() });
    }
    return names;
}

bool Same(const QString& a, const QString& b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

bool IsLineEnd(const QByteArray& bytes)
{
    return bytes == "\n" || bytes == "\r\n";
}

// The old file's lines are all in the new one, in order, apart from one
// replaced key line or an unterminated last line that got its line end.
bool OtherLinesKept(const QByteArray& before, const QByteArray& after)
{
    const std::vector<QByteArray> b = RawLines(before);
    const std::vector<QByteArray> a = RawLines(after);
    size_t prefix = 0;
    while (prefix < b.size() && prefix < a.size() && b[prefix] == a[prefix])
        ++prefix;
    size_t suffix = 0;
    while (suffix < b.size() - prefix && suffix < a.size() - prefix
        && b[b.size() - 1 - suffix] == a[a.size() - 1 - suffix])
        ++suffix;
    const size_t changedBefore = b.size() - prefix - suffix;
    const size_t changedAfter = a.size() - prefix - suffix;
    if (changedBefore == 0) // the same line again, a key line, or a section and its key inserted
        return changedAfter <= 2;
    if (changedBefore != 1)
        return false;
    if (changedAfter == 1) // the key line replaced
        return true;
    // The old last line without a line end, now ended, then the new lines.
    const QByteArray& old = b[prefix];
    const QByteArray& ended = a[prefix];
    return (changedAfter == 2 || changedAfter == 3) && suffix == 0 && !old.endsWith('\n')
        && ended.startsWith(old) && IsLineEnd(ended.mid(old.size()));
}

} // namespace

void FuzzIni(QByteArrayView input)
{
    QString section = QStringLiteral("Settings");
    QString key = QStringLiteral("Path");
    QString value = QStringLiteral("/home/user/log.mdb");
    QByteArrayView file = input;
    std::vector<qsizetype> nuls;
    for (qsizetype i = 0; i < input.size() && nuls.size() < 3; ++i)
        if (input[i] == '\0')
            nuls.push_back(i);
    if (nuls.size() == 3) {
        section = QString::fromUtf8(input.first(nuls[0]));
        key = QString::fromUtf8(input.sliced(nuls[0] + 1, nuls[1] - nuls[0] - 1));
        value = QString::fromUtf8(input.sliced(nuls[1] + 1, nuls[2] - nuls[1] - 1));
        file = input.sliced(nuls[2] + 1);
    }

    QTemporaryDir dir;
    const QString fileName = dir.filePath(QStringLiteral("pelmora.ini"));
    if (!file.isEmpty() && !WriteAll(fileName, file))
        return; // no room to work in; nothing about the reader
    const QByteArray before = file.toByteArray();

    const QString missing = QStringLiteral("\x01missing");
    std::vector<std::pair<TName, QString>> others;
    for (const TName& name : KeysOf(before))
        if (!(Same(name.Section, section) && Same(name.Key, key)))
            others.emplace_back(name, GetPrivateProfileString(name.Section, name.Key, missing, fileName));

    try {
        WritePrivateProfileString(section, key, value, fileName);
    } catch (const EPelmoraError& e) {
        FuzzCheck(!e.Message().isEmpty(), "a refused write says why");
        FuzzCheck(ReadAll(fileName) == before, "a refused write leaves the file as it was");
        return;
    }
    const QByteArray after = ReadAll(fileName);
    FuzzCheck(
        GetPrivateProfileString(section, key, missing, fileName) == value, "the key reads back as written");
    for (const auto& [name, old] : others)
        FuzzCheck(GetPrivateProfileString(name.Section, name.Key, missing, fileName) == old,
            "every other key reads as before");
    FuzzCheck(OtherLinesKept(before, after), "the other lines stay byte for byte");

    WritePrivateProfileString(section, key, value, fileName);
    FuzzCheck(ReadAll(fileName) == after, "writing the same value again changes nothing");
}
