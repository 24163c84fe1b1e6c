// Pages are drawn at 600 dpi, the resolution the report's text is measured
// at, on a canvas whose origin is the paper's corner (no margins).
#include "rpPdfExport.h"

#include "PelmoraError.h"
#include "rpClass.h"
#include "rpPrintSource.h"
#include "rpRes.h"

#include <QCoreApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>

namespace {
constexpr int PdfDpi = 600;

QPageLayout LayoutOf(const TrpReportPage* Page)
{
    // The prepared page's width and height already follow its orientation.
    const QPageSize size(QSizeF(double(Page->PaperWidth()), double(Page->PaperHeight())),
        QPageSize::Millimeter, QString(), QPageSize::ExactMatch);
    return QPageLayout(size, QPageLayout::Portrait, QMarginsF(0, 0, 0, 0));
}
} // namespace

QString rpPDFExportDescription()
{
    return rpGet(QStringLiteral("151"));
}

bool rpWritePDF(TrpPrintSource& Source, QIODevice& Device)
{
    TrpReport* report = Source.Report();
    QPdfWriter writer(&Device);
    writer.setResolution(PdfDpi);
    writer.setCreator(QStringLiteral("Pelmora"));
    const QString name = report ? report->ReportOptions()->Name() : QString();
    writer.setTitle(name.isEmpty() ? QStringLiteral("Report Document") : name);
    const int count = Source.Count();
    if (report) {
        report->SetTerminated(false);
        report->InternalOnProgressStart(ptExporting);
    }
    Source.SetPrintScale(1);
    QPainter painter;
    bool complete = true;
    try {
        for (int i = 0; i < count; ++i) {
            if (report && report->Terminated()) {
                complete = false;
                break;
            }
            TrpReportPage* page = Source.GetPage(i);
            if (!page)
                continue;
            writer.setPageLayout(LayoutOf(page));
            if (!painter.isActive()) {
                if (!painter.begin(&writer))
                    throw EPelmoraError(QStringLiteral("Could not start the PDF document"));
                // Pictures as they are, not recompressed with losses.
                painter.setRenderHint(QPainter::LosslessImageRendering);
            } else
                writer.newPage();
            Source.DrawPage(i, &painter, PdfDpi / 96.0L, PdfDpi / 96.0L, 0, 0);
            if (report) {
                report->InternalOnProgress(ptExporting, i + 1);
                if (!report->EngineOptions()->EnableThreadSafe())
                    QCoreApplication::processEvents();
            }
            Source.EmptyPageCache();
        }
        if (!painter.isActive() && complete) {
            // No pages: still a valid document of one empty page.
            if (!painter.begin(&writer))
                throw EPelmoraError(QStringLiteral("Could not start the PDF document"));
        }
        if (painter.isActive())
            painter.end();
    } catch (...) {
        if (painter.isActive())
            painter.end();
        if (report)
            report->InternalOnProgressStop(ptExporting);
        throw;
    }
    if (report)
        report->InternalOnProgressStop(ptExporting);
    return complete;
}

bool rpExportPDF(TrpPrintSource& Source, const QString& FileName)
{
    QSaveFile file(FileName);
    if (!file.open(QIODevice::WriteOnly))
        throw EPelmoraError(
            QStringLiteral("Cannot create file \"%1\": %2").arg(FileName, file.errorString()));
    if (!rpWritePDF(Source, file)) {
        file.cancelWriting();
        return false;
    }
    if (file.error() != QFileDevice::NoError || !file.commit())
        throw EPelmoraError(QStringLiteral("Cannot write file \"%1\": %2").arg(FileName, file.errorString()));
    return true;
}
