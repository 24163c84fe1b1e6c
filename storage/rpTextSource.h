// Texts of the storage layer come from the report engine's string table,
// which lives in a higher layer; that layer installs its lookup here.
#pragma once

#include <QString>

using TrpTextLookup = QString (*)(const QString& Key);

// Installed once at start-up by the string table.
void rpSetTextLookup(TrpTextLookup Lookup);
// The text for Key, or Fallback when no table is installed.
QString rpLookupText(const QString& Key, const QString& Fallback);
