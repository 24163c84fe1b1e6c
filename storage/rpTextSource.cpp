// Lookup of user-interface texts for the storage layer. The only state is
// the installed lookup function, set once by the string table.
#include "rpTextSource.h"

namespace {
TrpTextLookup InstalledLookup = nullptr;
}

void rpSetTextLookup(TrpTextLookup Lookup)
{
    InstalledLookup = Lookup;
}

QString rpLookupText(const QString& Key, const QString& Fallback)
{
    return InstalledLookup ? InstalledLookup(Key) : Fallback;
}
