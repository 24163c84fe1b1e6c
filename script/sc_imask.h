#pragma once

// Edit-mask display text: the value laid into a mask of input places and
// literal characters.

#include <QString>

// EditMask is "mask;save;blank": the second section "0" says the value holds
// only the typed characters, anything else (and no section) that it holds the
// literals too; the third gives the character shown for an empty place
// ("_" by default). Mask characters: 0 9 # L l A a C c input places, > < <>
// case switches, \ takes the next character literally, ! fills from the
// right, _ is a space; any other character is a literal. A short value
// leaves blank places at the end (at the start with !); characters beyond
// the last place are not shown (with !, those before the first). A mask
// without input places or literals shows the value unchanged.
QString scFormatMaskText(const QString& EditMask, const QString& Value);
