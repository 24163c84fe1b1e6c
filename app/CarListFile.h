// The car-list file next to the program: one car name per line, in the
// encoding it was found in, which the list keeps and uses again when the
// car-list editor writes it back.
#pragma once

#include <QStringList>

class QComboBox;

// Name of the car-list file in the program's directory.
inline const QString CarListFileName = QStringLiteral("cars.lst");

// How a car list is stored. Ansi: the locale's character set without a
// byte-order mark; the others carry their byte-order mark.
enum class TTextEncoding { Ansi, Utf8, Utf16LE, Utf16BE };

// The names of a car list and the encoding they were read in.
struct TCarList {
    QStringList Names;
    TTextEncoding Encoding = TTextEncoding::Ansi;
    bool operator==(const TCarList&) const = default;
};

// Creates the file with the single line "My car" and CR LF, in the locale's
// character set without a byte-order mark, unless a file of that name exists.
// Throws EPelmoraError when the file cannot be written.
void EnsureCarListFile(const QString& path);

// Decodes the bytes of a car-list file. A leading byte-order mark picks
// UTF-8, UTF-16 LE or UTF-16 BE and is not part of the text; without one the
// locale's character set applies. The text ends at the first NUL character.
// CR LF, a lone CR and a lone LF each end a line; a break at the very end
// adds no empty name, empty lines inside do.
TCarList DecodeCarList(const QByteArray& bytes);
// The bytes of a car-list file: the encoding's byte-order mark (none for
// Ansi), then every name followed by CR LF, the last one included.
QByteArray EncodeCarList(const TCarList& list);

// Reads the file (see DecodeCarList). Throws EPelmoraError when it cannot be read.
TCarList ReadCarList(const QString& path);
// Replaces the file with EncodeCarList(list). The old file stays whole when
// writing fails. Throws EPelmoraError with the file error.
void WriteCarList(const QString& path, const TCarList& list);

// The encoding that the items of a car combo box were read in; the combo
// keeps it together with its names (Ansi until one is set).
TTextEncoding CarListEncoding(const QComboBox& combo);
void SetCarListEncoding(QComboBox& combo, TTextEncoding encoding);
// The items of a combo box, in their order.
QStringList ComboItems(const QComboBox& combo);
