// pelmora-tool: the command-line companion of Pelmora.
#include <cstdio>
#include <cstring>

namespace {

void PrintUsage(FILE *out)
{
    std::fputs("usage: pelmora-tool COMMAND [ARGS]\n"
               "\n"
               "commands:\n"
               "  help            show this text\n",
               out);
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2 || std::strcmp(argv[1], "help") == 0 || std::strcmp(argv[1], "--help") == 0) {
        PrintUsage(stdout);
        return argc < 2 ? 1 : 0;
    }
    std::fprintf(stderr, "pelmora-tool: unknown command '%s'\n", argv[1]);
    PrintUsage(stderr);
    return 1;
}
