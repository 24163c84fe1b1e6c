// pelmora-tool show and find: a prepared report saved with prepare --save,
// dumped as prepare dumps it, or searched for a text the way the preview
// searches (in the drawn text outputs).
#pragma once

#include <QStringList>

// show FILE.rpd: the dump; 0 on success, 1 on any failure (message on
// standard error).
int RunShowCommand(const QStringList& args);
// find FILE.rpd TEXT [--match-case]: one line per hit,
// "PAGE<TAB>OBJECT<TAB>TEXT"; 0 with hits, 1 with none, 2 on error.
int RunFindCommand(const QStringList& args);
