// pelmora-tool: the command-line companion of Pelmora. It dispatches to one
// command per first argument; every command returns its own exit status.
// `eval` evaluates one report expression through the expression cache with
// the standard library and prints its kind and text (dates in ISO 8601); its
// output does not depend on the machine's locale unless one is asked for. ShowMessage texts
// go to standard error, so standard output stays the one result line.
#include "DayCount.h"
#include "ListCommand.h"
#include "PelmoraError.h"
#include "PrepareCommand.h"
#include "SavedReportCommands.h"
#include "Variant.h"
#include "rpExpressionCache.h"
#include "rpPreviewPages.h"
#include "sc_iinterpreter.h"
#include "sc_isysrtti.h"

#include <QLocale>
#include <QStringList>
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out)
{
    std::fputs("usage: pelmora-tool COMMAND [ARGS]\n"
               "\n"
               "commands:\n"
               "  help                        show this text\n"
               "  eval [--locale NAME] EXPR   evaluate a report expression\n"
               "  list DATABASE [--car NAME | --from DATE --to DATE] [--sort COLUMN [--desc]] [--total]\n"
               "                              the rows in view as CSV (dates in the locale's short\n"
               "                              date format), or with --total only their total price\n"
               "  prepare DATABASE [--car NAME | --from DATE --to DATE] [--sort COLUMN [--desc]]\n"
               "          [--save FILE.rpd]   prepare the expense report over those rows and dump\n"
               "                              its pages, bands and objects (or save it to FILE.rpd)\n"
               "          [--pdf FILE]        and/or write it as a PDF document to FILE\n"
               "  show FILE.rpd               dump a saved prepared report as prepare does\n"
               "  find FILE.rpd TEXT [--match-case]\n"
               "                              the drawn texts holding TEXT, one per line:\n"
               "                              PAGE<TAB>OBJECT<TAB>TEXT (exit 0 hits, 1 none, 2 error)\n",
        out);
}

QString KindText(const Variant& v)
{
    switch (v.VarKind()) {
    case Variant::vkEmpty:
    case Variant::vkNull:
        return QStringLiteral("Null");
    case Variant::vkDouble:
        return QStringLiteral("Float");
    default:
        return v.KindName();
    }
}

// ISO 8601, the time only when it is not midnight and its milliseconds only
// when there are any.
QString IsoDateText(double days)
{
    const std::optional<QDateTime> dt = DayCountToDateTime(days);
    if (!dt)
        throw EConvertError(
            QStringLiteral("%1 is not a valid date and time value").arg(Variant::FloatToText(days)));
    const QDate d = dt->date();
    const QTime t = dt->time();
    QString s = QString::asprintf("%04d-%02d-%02d", d.year(), d.month(), d.day());
    if (t.msecsSinceStartOfDay() != 0)
        s += QString::asprintf("T%02d:%02d:%02d", t.hour(), t.minute(), t.second());
    if (t.msec() != 0)
        s += QString::asprintf(".%03d", t.msec());
    return s;
}

QString ValueText(const Variant& v)
{
    switch (v.VarKind()) {
    case Variant::vkEmpty:
    case Variant::vkNull:
        return QString();
    case Variant::vkBoolean:
        return v.AsBoolean() ? QStringLiteral("True") : QStringLiteral("False");
    case Variant::vkDouble:
        // "." and the fewest digits that read back to the same number.
        return QString::number(v.AsDouble(), 'g', QLocale::FloatingPointShortest);
    case Variant::vkDate:
        return IsoDateText(v.AsDouble());
    default:
        return v.AsString();
    }
}

int Eval(int argc, char** argv)
{
    QLocale locale = QLocale::c();
    int at = 2;
    if (at + 1 < argc && std::strcmp(argv[at], "--locale") == 0) {
        locale = QLocale(QString::fromLocal8Bit(argv[at + 1]));
        at += 2;
    }
    if (at + 1 != argc) {
        PrintUsage(stderr);
        return 1;
    }
    QLocale::setDefault(locale);

    TscScript report;
    scAddSysRtti(&report);
    // Standard output carries only the result line; messages go beside it.
    report.OnShowMessage
        = [](const QString& msg) { std::fprintf(stderr, "%s\n", msg.toLocal8Bit().constData()); };
    TrpExpressionCache cache(&report);
    // IIF gets its arguments as source texts; only the chosen branch runs.
    report.AddMethod("macrofunction IIF(Expr: Boolean; TrueValue, FalseValue: Variant): Variant",
        [&](QObject*, const QString&, const QString&, std::vector<Variant>& p) {
            QString err;
            const Variant cond = cache.Calc(p[0].AsString(), err, &report);
            if (err.isEmpty()) {
                const Variant r = cache.Calc(p[cond.AsBoolean() ? 1 : 2].AsString(), err, &report);
                if (err.isEmpty())
                    return r;
            }
            throw EPelmoraError(err);
        });

    QString error;
    const Variant v = cache.Calc(QString::fromLocal8Bit(argv[at]), error, &report);
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    QString text;
    try {
        text = ValueText(v);
    } catch (const EPelmoraError& e) {
        // A value with no text (an array, a date beyond year 9999) is an error, not a crash.
        std::fprintf(stderr, "%s\n", e.Message().toLocal8Bit().constData());
        return 1;
    }
    std::printf("%s: %s\n", KindText(v).toUtf8().constData(), text.toUtf8().constData());
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    rpRegisterPreviewPages();
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(stdout);
        return argc < 2 ? 1 : 0;
    }
    if (std::strcmp(argv[1], "list") == 0) {
        QStringList args;
        for (int i = 2; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return RunListCommand(args);
    }
    if (std::strcmp(argv[1], "prepare") == 0) {
        QStringList args;
        for (int i = 2; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return RunPrepareCommand(args);
    }
    if (std::strcmp(argv[1], "show") == 0 || std::strcmp(argv[1], "find") == 0) {
        QStringList args;
        for (int i = 2; i < argc; ++i)
            args << QString::fromLocal8Bit(argv[i]);
        return std::strcmp(argv[1], "show") == 0 ? RunShowCommand(args) : RunFindCommand(args);
    }
    if (std::strcmp(argv[1], "eval") == 0)
        return Eval(argc, argv);
    std::fprintf(stderr, "pelmora-tool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
