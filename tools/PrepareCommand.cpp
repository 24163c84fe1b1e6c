// The prepare command of pelmora-tool. It opens the expense table with the
// main window's filter and order, builds the expense report over it, runs
// the band engine into the prepared-pages store and writes every prepared
// page as the store rebuilds it, one item per line, fields separated by a
// tab:
//
//   page  N                       each page, N from 1
//   band  NAME  TOP  HEIGHT       each band in the order it was added; TOP
//                                 from the printable area's top, report
//                                 pixels with two decimals and "."
//   memo  NAME  TEXT              each memo of the band as drawing shows it
//   picture  NAME                 a picture
//   view  CLASS  NAME             any other view
//
// The fill memos the engine makes for band backgrounds have no name and are
// left out. Invariants: nothing is written to the database; the dump is
// built whole before it is written, so a failure never leaves a partial
// dump looking like success.
#include "PrepareCommand.h"

#include "DbTable.h"
#include "ExpenseReport.h"
#include "PdfOutput.h"
#include "PelmoraError.h"
#include "ViewOptions.h"
#include "rpClass.h"
#include "rpDBSet.h"
#include "rpPreviewPages.h"

#include <QGuiApplication>
#include <cstdio>

namespace {

const char* const PrepareUsage = "usage: pelmora-tool prepare DATABASE [--car NAME | --from DATE --to DATE] "
                                 "[--sort COLUMN [--desc]] [--save FILE.rpd] [--pdf FILE]\n";

void Write(FILE* out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

QString Number(Extended Value)
{
    return QString::number(double(Value), 'f', 2);
}

} // namespace

QString DumpPages(TrpCustomPreviewPages& Pages)
{
    QString out;
    const int count = Pages.Count();
    for (int i = 0; i < count; ++i) {
        out += QStringLiteral("page\t%1\n").arg(i + 1);
        TrpReportPage* page = Pages.GetPage(i);
        if (!page)
            continue;
        for (const auto& o : page->Objects()) {
            auto* band = dynamic_cast<TrpBand*>(o.get());
            if (!band)
                continue;
            out += QStringLiteral("band\t%1\t%2\t%3\n")
                       .arg(band->Name(), Number(band->Top()), Number(band->Height()));
            for (const auto& v : band->Objects()) {
                if (auto* memo = dynamic_cast<TrpCustomMemoView*>(v.get())) {
                    if (memo->Name().isEmpty())
                        continue;
                    memo->TotalPages = count;
                    out += QStringLiteral("memo\t%1\t%2\n")
                               .arg(memo->Name(), DumpEscaped(memo->GetComponentText()));
                } else if (dynamic_cast<TrpPictureView*>(v.get())) {
                    out += QStringLiteral("picture\t%1\n").arg(v->Name());
                } else {
                    out += QStringLiteral("view\t%1\t%2\n").arg(v->ClassName(), v->Name());
                }
            }
        }
    }
    return out;
}

QString DumpEscaped(const QString& Text)
{
    QString r;
    r.reserve(Text.size());
    for (qsizetype i = 0; i < Text.size(); ++i) {
        const QChar c = Text[i];
        if (c == QLatin1Char('\\'))
            r += QLatin1String("\\\\");
        else if (c == QLatin1Char('\t'))
            r += QLatin1String("\\t");
        else if (c == QLatin1Char('\r')) {
            // CR LF, a lone CR and a lone LF are each one line break.
            if (i + 1 < Text.size() && Text[i + 1] == QLatin1Char('\n'))
                ++i;
            r += QLatin1String("\\n");
        } else if (c == QLatin1Char('\n'))
            r += QLatin1String("\\n");
        else
            r += c;
    }
    return r;
}

int RunPrepareCommand(const QStringList& arguments)
{
    try {
        // --save FILE and --pdf FILE are this command's own; the rest choose the rows.
        QStringList viewArgs = arguments;
        const QString pdf = TakePdfOption(viewArgs);
        QString saveFile;
        if (const qsizetype at = viewArgs.indexOf(QStringLiteral("--save")); at >= 0) {
            if (at + 1 >= viewArgs.size())
                throw EUsage { QStringLiteral("--save needs a value") };
            saveFile = viewArgs[at + 1];
            viewArgs.remove(at, 2);
            if (viewArgs.contains(QStringLiteral("--save")))
                throw EUsage { QStringLiteral("--save given twice") };
        }
        const TViewOptions options = ParseViewOptions(viewArgs, false);
        const std::unique_ptr<QGuiApplication> app = pdf.isEmpty() ? nullptr : MakeDrawingApplication();
        TDbTable table;
        OpenView(table, options);

        rpRegisterPreviewPages();
        TrpDBDataset dataSet;
        dataSet.SetDataSet(&table);
        TrpReport report;
        BuildExpenseReport(report, dataSet);
        // No windows here: no progress, no message pumping; errors are thrown.
        report.EngineOptions()->SetEnableThreadSafe(true);
        report.EngineOptions()->SetSilentMode(simReThrow);
        if (!report.PrepareReport(true) || !report.PreviewPages())
            throw EPelmoraError(QStringLiteral("the report could not be prepared"));
        if (!saveFile.isEmpty() || !pdf.isEmpty()) {
            if (!saveFile.isEmpty())
                report.PreviewPages()->SaveToFile(saveFile);
            if (!pdf.isEmpty())
                WritePreparedPDF(report, pdf);
            return 0;
        }
        const QString dump = DumpPages(*report.PreviewPages());
        Write(stdout, dump);
        std::fflush(stdout);
        return 0;
    } catch (const EUsage& usage) {
        Write(stderr, QStringLiteral("pelmora-tool prepare: %1\n").arg(usage.Message));
        std::fputs(PrepareUsage, stderr);
    } catch (const EPelmoraError& error) {
        Write(stderr, QStringLiteral("pelmora-tool prepare: %1\n").arg(error.Message()));
    } catch (const std::exception& error) {
        Write(stderr, QStringLiteral("pelmora-tool prepare: %1\n").arg(QString::fromUtf8(error.what())));
    }
    return 1;
}
