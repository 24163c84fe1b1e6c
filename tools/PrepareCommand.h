// pelmora-tool prepare: the expense report prepared over the rows in view,
// written as a text dump of its prepared pages.
#pragma once

#include <QStringList>

// args: what follows "prepare" on the command line. Writes the dump to
// standard output (or, with --save FILE, the prepared report to that file),
// a clear message to standard error on failure; returns the exit status (0
// on success, 1 on any failure).
int RunPrepareCommand(const QStringList& args);

class TrpCustomPreviewPages;
// Every prepared page as the store rebuilds it, in the dump format.
QString DumpPages(TrpCustomPreviewPages& Pages);

// A memo text as the dump writes it: "\" as "\\", a tab as "\t", a line
// break as "\n".
QString DumpEscaped(const QString& Text);
