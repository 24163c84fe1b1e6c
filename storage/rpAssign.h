// Copying one object's published properties onto another through their
// class tables, the same tables the serializer writes from.
#pragma once

class TrpPersistent;

// Copies every published property of Source that Dest's class also has:
// values, nested objects (recursively; a nested object that Source stores
// only on a condition, such as a font that follows the parent's, is left
// as it is) and the references Source holds. A component's Name is not copied. PropData
// (a picture's bytes) is copied only with CopyData.
void rpAssignProps(TrpPersistent& Dest, const TrpPersistent& Source, bool CopyData = true);
