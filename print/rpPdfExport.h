// PDF output of the prepared pages: one PDF page per prepared page at its
// paper size, text as text (embedded font subsets, so it can be searched
// and selected), each picture stored once however many pages show it, and
// the report's name as the document title.
#pragma once

#include <QString>

class QIODevice;
class TrpPrintSource;

// The PDF export filter's description, as the Save menu shows it.
QString rpPDFExportDescription();

// Writes the PDF to Device. False when the report was terminated (the
// progress window's Cancel) before every page was written.
bool rpWritePDF(TrpPrintSource& Source, QIODevice& Device);

// Writes the PDF to FileName through a temporary file that replaces it only
// when everything was written, so a failure or a cancel never leaves a
// half-written file. Throws EPelmoraError with a clear message when the file
// cannot be written; false when cancelled.
bool rpExportPDF(TrpPrintSource& Source, const QString& FileName);
