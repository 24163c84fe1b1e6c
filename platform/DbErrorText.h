#pragma once
// What a failed operation on a database file means, said in the program's
// words instead of the engine's: a lock held by another program, a damaged
// file, a read-only folder, a full disk, a rule of a table written by other
// software.
#include <QString>

// resultCode: the engine's extended result code; fileName: the database
// file; engineMessage: the engine's own text, used only where it names
// something the user needs (the column a rule is about) or for a failure
// the program has no words of its own for.
QString DatabaseErrorText(int resultCode, const QString& fileName, const QString& engineMessage);
