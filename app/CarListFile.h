// The car-list file next to the program: created with one car when missing,
// read as one car name per line.
#pragma once

#include <QStringList>

// Name of the car-list file in the program's directory.
inline const QString CarListFileName = QStringLiteral("cars.lst");

// Creates the file with the single line "My car" and CR LF, in the locale's
// character set without a byte-order mark, unless a file of that name exists.
// Throws EPelmoraError when the file cannot be written.
void EnsureCarListFile(const QString& path);

// The car names of the file, one per line (CR LF, lone CR and lone LF all end
// a line; a break at the very end adds no empty name). Throws EPelmoraError
// when the file cannot be read.
QStringList ReadCarList(const QString& path);
