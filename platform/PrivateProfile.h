#pragma once
// Private-profile INI files: the reading and writing rules of the classic
// GetPrivateProfileString / WritePrivateProfileString pair.
//  - the file is created by the first write; reading a missing file gives the default;
//  - section and key names are found without regard to letter case;
//  - a write changes only the one key line it concerns (or adds it); every
//    other byte of the file is kept as it was;
//  - what is written reads back as written, or the write is refused.
#include <QString>

// Value of [section] key in fileName, with surrounding blanks removed and one
// pair of enclosing quotes dropped; defaultValue when the file, the section or
// the key is missing.
QString GetPrivateProfileString(
    const QString& section, const QString& key, const QString& defaultValue, const QString& fileName);

// Sets [section] key=value in fileName, creating the file and the section as
// needed; a value with blanks at its ends or enclosing quotes is stored in
// quotes. Throws EPelmoraError "Unable to write to <file>: ..." when the file
// cannot be written, or without touching it when the value holds a line break
// or a name cannot be stored (blanks at its ends, a line break; for the key
// also empty, "=" in it, or a leading ";" or "[").
void WritePrivateProfileString(
    const QString& section, const QString& key, const QString& value, const QString& fileName);
