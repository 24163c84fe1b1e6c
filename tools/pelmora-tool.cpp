// pelmora-tool: the command-line companion of Pelmora. It dispatches to one
// command per first argument; every command returns its own exit status.
#include "ListCommand.h"

#include <QStringList>
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE* out)
{
    std::fputs("usage: pelmora-tool COMMAND [ARGS]\n"
               "\n"
               "commands:\n"
               "  help            show this text\n"
               "  list DATABASE [--car NAME | --from DATE --to DATE] [--sort COLUMN [--desc]] [--total]\n"
               "                  the rows in view as CSV (dates in the locale's short date\n"
               "                  format), or with --total only their total price\n",
        out);
}

} // namespace

int main(int argc, char** argv)
{
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
    std::fprintf(stderr, "pelmora-tool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
