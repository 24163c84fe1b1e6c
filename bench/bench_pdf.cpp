// The expense report over 10,000 and 100,000 rows written as PDF from the
// command line: `pelmora-tool prepare LOG --pdf FILE`, run as a child
// process and timed whole (opening the log, preparing, drawing, writing).
// Counters: pages, the file's size, bytes per page (the same at both sizes
// when the size grows linearly), and the child's peak resident memory.
#include "BenchEngineLog.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <chrono>
#include <map>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

const QString& LogFile(int Rows)
{
    static QTemporaryDir dir;
    static std::map<int, QString> files;
    auto it = files.find(Rows);
    if (it == files.end())
        it = files.emplace(Rows, CreateEngineLog(dir.filePath(QStringLiteral("log%1.mdb").arg(Rows)), Rows))
                 .first;
    return it->second;
}

// Runs the tool; its exit status and peak resident memory in megabytes.
int RunTool(const QStringList& Args, double& PeakMB)
{
    std::vector<QByteArray> bytes { QByteArrayLiteral(PELMORA_TOOL_BINARY) };
    for (const QString& a : Args)
        bytes.push_back(a.toLocal8Bit());
    std::vector<char*> argv;
    for (QByteArray& b : bytes)
        argv.push_back(b.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    if (posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) != 0)
        return -1;
    int status = 0;
    rusage usage {};
    if (wait4(pid, &status, 0, &usage) != pid)
        return -1;
    PeakMB = double(usage.ru_maxrss) / 1024.0;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Pages of a PDF as Qt writes it: one "/Type /Page" object per page.
int PdfPages(const QByteArray& Pdf)
{
    int pages = 0;
    for (qsizetype at = Pdf.indexOf("/Type /Page"); at >= 0; at = Pdf.indexOf("/Type /Page", at + 1))
        if (at + 11 < Pdf.size() && Pdf[at + 11] != 's')
            ++pages;
    return pages;
}

void BM_ExpenseReportToPdf(benchmark::State& state)
{
    const int rows = int(state.range(0));
    const QString log = LogFile(rows);
    QTemporaryDir out;
    const QString pdf = out.filePath(QStringLiteral("report.pdf"));
    double peak = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const int status = RunTool({ QStringLiteral("prepare"), log, QStringLiteral("--pdf"), pdf }, peak);
        state.SetIterationTime(
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
        if (status != 0) {
            state.SkipWithError("pelmora-tool prepare --pdf failed");
            return;
        }
    }
    QFile file(pdf);
    file.open(QIODevice::ReadOnly);
    const QByteArray bytes = file.readAll();
    const int pages = PdfPages(bytes);
    state.counters["pages"] = pages;
    state.counters["MB"] = double(bytes.size()) / (1024.0 * 1024.0);
    state.counters["bytes/page"] = pages > 0 ? double(bytes.size()) / pages : 0;
    state.counters["peak_MB"] = peak;
}
BENCHMARK(BM_ExpenseReportToPdf)
    ->Arg(10000)
    ->Arg(100000)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1);

} // namespace

BENCHMARK_MAIN();
