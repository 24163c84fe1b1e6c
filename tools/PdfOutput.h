// pelmora-tool prepare --pdf FILE: the prepared pages written as PDF
// through the same code the preview's export uses.
#pragma once

#include <QString>
#include <QStringList>
#include <memory>

class QGuiApplication;
class TrpReport;

// Takes "--pdf FILE" out of Args; empty when there is none. Throws EUsage
// when FILE is missing.
QString TakePdfOption(QStringList& Args);
// Drawing text needs a GUI application; this one needs no display (the
// offscreen platform unless QT_QPA_PLATFORM names another). Nothing when one
// exists already.
std::unique_ptr<QGuiApplication> MakeDrawingApplication();
// Writes the report's prepared pages to FileName, replacing it only when the
// whole document was written. Throws EPelmoraError with a clear message.
void WritePreparedPDF(TrpReport& Report, const QString& FileName);
