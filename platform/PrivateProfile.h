#pragma once
// Private-profile INI files: the reading and writing rules of the classic
// GetPrivateProfileString / WritePrivateProfileString pair.
//  - the file is created by the first write; reading a missing file gives the default;
//  - section and key names are found without regard to letter case;
//  - a write changes only the one key line it concerns (or adds it); every
//    other byte of the file is kept as it was.
#include <QString>

// Value of [section] key in fileName, with surrounding blanks removed and one
// pair of enclosing quotes dropped; defaultValue when the file, the section or
// the key is missing.
QString GetPrivateProfileString(
    const QString& section, const QString& key, const QString& defaultValue, const QString& fileName);

// Sets [section] key=value in fileName, creating the file and the section as
// needed. Throws EPelmoraError "Unable to write to <file>" when the file cannot be written.
void WritePrivateProfileString(
    const QString& section, const QString& key, const QString& value, const QString& fileName);
