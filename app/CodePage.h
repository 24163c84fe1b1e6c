// The two 8-bit code pages in which car lists of older versions of the
// program were written: Windows-1251 (Cyrillic) and Windows-1252 (Western).
// Bytes below 0x80 are ASCII in both; the upper half comes from a table.
#pragma once

#include <QByteArray>
#include <QString>

enum class TCodePage { Windows1251, Windows1252 };

// Decodes bytes; a byte the code page leaves undefined becomes U+FFFD and
// sets *damaged when damaged is given.
QString DecodeCodePage(TCodePage codePage, QByteArrayView bytes, bool* damaged = nullptr);
// Encodes text; false when a character has no byte in the code page (the
// result is then incomplete and must not be written).
bool EncodeCodePage(TCodePage codePage, const QString& text, QByteArray& bytes);
// The code page's name as users know it ("Windows-1251").
QString CodePageName(TCodePage codePage);
