// The car-list file next to the program: one car name per line, in the
// encoding it was found in, which the list keeps and uses again when the
// car-list editor writes it back.
#pragma once

#include <QStringList>

class QComboBox;
class QLocale;

// Name of the car-list file in the program's directory.
inline const QString CarListFileName = QStringLiteral("cars.lst");

// How a car list is stored. Ansi: the locale's character set (UTF-8 on
// current systems) without a byte-order mark; Windows1251 and Windows1252:
// the 8-bit code pages older versions wrote, without a mark; the others
// carry their byte-order mark.
enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE, Windows1251, Windows1252 };

// The names of a car list and the encoding they were read in.
struct TCarList {
    QStringList Names;
    TTextEncoding Encoding = TTextEncoding::Ansi;
    // Some bytes were no text in Encoding and were read as U+FFFD: names
    // holding U+FFFD then stand for bytes that are lost and are never
    // written back.
    bool Damaged = false;
    bool operator==(const TCarList&) const = default;
};

// Creates the file with the single line "My car" and CR LF, in the locale's
// character set without a byte-order mark, unless a file of that name exists.
// The file appears whole or not at all (it is written under a temporary name
// first). Throws EPelmoraError when the file cannot be written.
void EnsureCarListFile(const QString& path);

// The 8-bit code page older versions wrote car lists in for the user's
// language: Windows-1251 for Cyrillic languages, Windows-1252 otherwise.
TTextEncoding LegacyEncoding(const QLocale& locale);

// Decodes the bytes of a car-list file. A leading byte-order mark picks
// UTF-8, UTF-16 LE or UTF-16 BE and is not part of the text; without one the
// locale's character set applies, and when the bytes are no text in it
// (a list written in an older 8-bit code page) the code page legacy does.
// The text ends at the first NUL character. CR LF, a lone CR and a lone LF
// each end a line; a break at the very end adds no empty name, empty lines
// inside do.
TCarList DecodeCarList(const QByteArray& bytes, TTextEncoding legacy = TTextEncoding::Windows1252);
// The encoding a list is written in: its own, or UTF-8 with its mark when a
// file in its own would not read back as the same names (its 8-bit character
// set lacks a character; the bytes would be taken for another encoding, such
// as code-page text that also forms UTF-8 or a first name that starts like a
// byte-order mark), or UTF-16 LE with its mark for text UTF-8 cannot carry
// (lone surrogates). No name is mangled.
TTextEncoding WritableEncoding(const TCarList& list);
// The bytes of a car-list file in WritableEncoding(list): the encoding's
// byte-order mark (none for Ansi and the code pages), then every name
// followed by CR LF, the last one included.
QByteArray EncodeCarList(const TCarList& list);

// Reads the file (see DecodeCarList). Throws EPelmoraError when it cannot be read.
TCarList ReadCarList(const QString& path, TTextEncoding legacy = TTextEncoding::Windows1252);
// Replaces the file with EncodeCarList(list) and returns the encoding
// written. The old file stays whole when writing fails. Throws EPelmoraError
// with the file error, and without touching the file when a damaged list
// still holds names with bytes that could not be read.
TTextEncoding WriteCarList(const QString& path, const TCarList& list);

// The encoding that the items of a car combo box were read in and whether
// they were read damaged; the combo keeps both together with its names
// (Ansi and undamaged until set).
TTextEncoding CarListEncoding(const QComboBox& combo);
void SetCarListEncoding(QComboBox& combo, TTextEncoding encoding);
bool CarListDamaged(const QComboBox& combo);
void SetCarListDamaged(QComboBox& combo, bool damaged);
// The items of a combo box, in their order.
QStringList ComboItems(const QComboBox& combo);
