// Fuzz body for the car-list file: every byte sequence either decodes or is
// refused, and a save never writes text that cannot be read back.
//
// The input is decoded as a file twice (with each older code page), and its
// bytes also make an edited list: UTF-16 code units split into names at
// line breaks, in the encoding the first byte picks. Every list is then
// saved and the file read again:
//  - no decoded name holds a line break or a NUL;
//  - a save is refused only for a damaged list holding a name with
//    characters that could not be read, and then the file is untouched;
//  - otherwise the file reads back undamaged with the same names, and a
//    list read from a file is written back in the encoding it was read in.
#include "fuzz_carlist.h"
#include "CarListFile.h"
#include "FuzzCheck.h"
#include "PelmoraError.h"

#include <QFile>
#include <QTemporaryDir>

#include <algorithm>

namespace {

constexpr TTextEncoding Encodings[] = { TTextEncoding::Ansi, TTextEncoding::Utf8, TTextEncoding::Utf16LE,
    TTextEncoding::Utf16BE, TTextEncoding::Windows1251, TTextEncoding::Windows1252 };

bool IsCodePage(TTextEncoding encoding)
{
    return encoding == TTextEncoding::Windows1251 || encoding == TTextEncoding::Windows1252;
}

bool HoldsUnreadable(const TCarList& list)
{
    for (const QString& name : list.Names)
        if (name.contains(QChar(0xFFFD)))
            return true;
    return false;
}

QByteArray ReadAll(const QString& fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void SaveAndReadBack(const TCarList& list, TTextEncoding legacy, bool read)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(CarListFileName);
    const QByteArray old = QByteArrayLiteral("Old car\r\n");
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(old) != old.size())
            return; // no room to work in
    }
    TTextEncoding written;
    try {
        written = WriteCarList(path, list);
    } catch (const EPelmoraError& e) {
        FuzzCheck(list.Damaged && HoldsUnreadable(list), "a save is refused only for unreadable names");
        FuzzCheck(!e.Message().isEmpty(), "a refused save says why");
        FuzzCheck(ReadAll(path) == old, "a refused save leaves the file as it was");
        return;
    }
    const TCarList again = ReadCarList(path, legacy);
    FuzzCheck(!again.Damaged, "a saved list reads back undamaged");
    FuzzCheck(again.Names == list.Names, "a saved list reads back with the same names");
    // Plain ASCII without a mark is the same in every 8-bit form and reads as the locale's.
    const bool ascii = std::all_of(list.Names.cbegin(), list.Names.cend(), [](const QString& name) {
        return std::all_of(name.cbegin(), name.cend(), [](QChar ch) { return ch.unicode() < 0x80; });
    });
    FuzzCheck(
        again.Encoding == written || (ascii && IsCodePage(written) && again.Encoding == TTextEncoding::Ansi),
        "a saved list reads back in the encoding it was written in");
    FuzzCheck(!read || written == list.Encoding, "a list read from a file is written back in its encoding");
}

void CheckDecoded(const TCarList& list)
{
    for (const QString& name : list.Names)
        FuzzCheck(!name.contains(QLatin1Char('\r')) && !name.contains(QLatin1Char('\n'))
                && !name.contains(QChar(0)),
            "a decoded name holds no line break and no NUL");
    // Only a byte the code page leaves undefined reads as U+FFFD, and it marks the list damaged.
    FuzzCheck(list.Damaged || !IsCodePage(list.Encoding) || !HoldsUnreadable(list),
        "an undamaged code-page list holds no unreadable character");
}

// Names as the editor could hand them over: any UTF-16 text without line
// breaks, lone surrogates included.
TCarList EditedList(QByteArrayView input)
{
    TCarList list;
    if (input.isEmpty())
        return list;
    list.Encoding = Encodings[static_cast<unsigned char>(input[0]) % std::size(Encodings)];
    const QByteArrayView units = input.sliced(1);
    QString name;
    for (qsizetype i = 0; i + 1 < units.size(); i += 2) {
        const QChar ch(
            char16_t(static_cast<unsigned char>(units[i]) | static_cast<unsigned char>(units[i + 1]) << 8));
        if (ch == QLatin1Char('\r') || ch == QLatin1Char('\n') || ch.isNull()) {
            list.Names << name;
            name.clear();
        } else {
            name += ch;
        }
    }
    if (!name.isEmpty())
        list.Names << name;
    return list;
}

} // namespace

void FuzzCarList(QByteArrayView input)
{
    const QByteArray bytes = input.toByteArray();
    for (const TTextEncoding legacy : { TTextEncoding::Windows1251, TTextEncoding::Windows1252 }) {
        const TCarList list = DecodeCarList(bytes, legacy);
        CheckDecoded(list);
        SaveAndReadBack(list, legacy, true);
    }
    // The program reads with the code page of its locale, the one an
    // edited code-page list came from.
    const TCarList edited = EditedList(input);
    SaveAndReadBack(
        edited, IsCodePage(edited.Encoding) ? edited.Encoding : TTextEncoding::Windows1251, false);
}
