#include "PdfOutput.h"

#include "PelmoraError.h"
#include "ViewOptions.h"
#include "rpClass.h"
#include "rpPdfExport.h"
#include "rpPreviewPages.h"
#include "rpPreviewPrintSource.h"

#include <QGuiApplication>

QString TakePdfOption(QStringList& Args)
{
    const qsizetype at = Args.indexOf(QStringLiteral("--pdf"));
    if (at < 0)
        return QString();
    if (at + 1 >= Args.size() || Args[at + 1].isEmpty())
        throw EUsage { QStringLiteral("--pdf needs a file name") };
    const QString file = Args[at + 1];
    Args.remove(at, 2);
    if (Args.contains(QStringLiteral("--pdf")))
        throw EUsage { QStringLiteral("--pdf given twice") };
    return file;
}

std::unique_ptr<QGuiApplication> MakeDrawingApplication()
{
    if (QCoreApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    // QGuiApplication keeps references to its arguments for its whole life.
    static int argc = 1;
    static char name[] = "pelmora-tool";
    static char* argv[] = { name, nullptr };
    return std::make_unique<QGuiApplication>(argc, argv);
}

void WritePreparedPDF(TrpReport& Report, const QString& FileName)
{
    auto* pages = dynamic_cast<TrpPreviewPages*>(Report.PreviewPages());
    if (!pages)
        throw EPelmoraError(QStringLiteral("the report has no prepared pages"));
    TrpPreviewPrintSource source(*pages);
    if (!rpExportPDF(source, FileName))
        throw EPelmoraError(QStringLiteral("writing \"%1\" was cancelled").arg(FileName));
}
