// pelmora-tool show and find over a saved prepared report. Both load the
// file into the store of an empty report, which then rebuilds and draws its
// pages as the preview would. Output is built whole before it is written,
// so a failure never leaves partial output looking like success.
#include "SavedReportCommands.h"

#include "PelmoraError.h"
#include "PrepareCommand.h"
#include "rpClass.h"
#include "rpPreviewPages.h"
#include "rpTextSearch.h"

#include <QGuiApplication>
#include <cstdio>
#include <memory>

namespace {

void Write(FILE* out, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), out);
}

std::unique_ptr<TrpReport> LoadReport(const QString& FileName)
{
    rpRegisterPreviewPages();
    auto report = std::make_unique<TrpReport>();
    report->EngineOptions()->SetEnableThreadSafe(true);
    if (!report->PreviewPages())
        throw EPelmoraError(QStringLiteral("no prepared-pages store"));
    report->PreviewPages()->LoadFromFile(FileName, true);
    return report;
}

QString ErrorText(const std::exception& Error)
{
    if (const auto* e = dynamic_cast<const EPelmoraError*>(&Error))
        return e->Message();
    return QString::fromUtf8(Error.what());
}

} // namespace

int RunShowCommand(const QStringList& args)
{
    if (args.size() != 1 || args[0].startsWith(QLatin1String("--"))) {
        std::fputs("usage: pelmora-tool show FILE.rpd\n", stderr);
        return 1;
    }
    try {
        std::unique_ptr<TrpReport> report = LoadReport(args[0]);
        const QString dump = DumpPages(*report->PreviewPages());
        Write(stdout, dump);
        std::fflush(stdout);
        return 0;
    } catch (const std::exception& error) {
        Write(stderr, QStringLiteral("pelmora-tool show: %1: %2\n").arg(args[0], ErrorText(error)));
    }
    return 1;
}

int RunFindCommand(const QStringList& args)
{
    QStringList plain;
    bool matchCase = false;
    for (const QString& arg : args) {
        if (arg == QLatin1String("--match-case"))
            matchCase = true;
        else
            plain << arg;
    }
    if (plain.size() != 2) {
        std::fputs("usage: pelmora-tool find FILE.rpd TEXT [--match-case]\n", stderr);
        return 2;
    }
    // Drawing needs fonts, and fonts a GUI application; no display is used.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    int argc = 1;
    char name[] = "pelmora-tool";
    char* argv[] = { name, nullptr };
    QGuiApplication app(argc, argv);
    try {
        std::unique_ptr<TrpReport> report = LoadReport(plain[0]);
        TrpCustomPreviewPages& pages = *report->PreviewPages();
        const QString& text = plain[1];
        QString out;
        TrpRecordingCanvas canvas;
        const int count = pages.Count();
        for (int i = 0; i < count; ++i) {
            if (!pages.MayHoldText(i, text, matchCase))
                continue;
            TrpTextSearch::RecordPage(pages, i, canvas);
            for (const TrpTextOutput& output : canvas.Outputs())
                if (TrpTextSearch::Matches(output.Text, text, matchCase))
                    out += QStringLiteral("%1\t%2\t%3\n")
                               .arg(i + 1)
                               .arg(output.ObjectName, DumpEscaped(output.Text));
        }
        Write(stdout, out);
        std::fflush(stdout);
        return out.isEmpty() ? 1 : 0;
    } catch (const std::exception& error) {
        Write(stderr, QStringLiteral("pelmora-tool find: %1: %2\n").arg(plain[0], ErrorText(error)));
    }
    return 2;
}
