// Entry point: command-line options, then the shell.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "app/appdir.h"
#include "app/shell.h"

static void PrintUsage(FILE* out)
{
    fprintf(out,
            "usage: quibbit [--demo] [--replay FILE] [--quit-after SECONDS]\n"
            "  --demo               start straight into a race of computer cars\n"
            "  --replay FILE        start by watching a race recording (data/replays/NNN.qbr)\n"
            "  --quit-after SECONDS shut down normally after SECONDS of wall time\n");
}

int main(int argc, char** argv)
{
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--demo") == 0) {
            gLaunch.demo = true;
        } else if (strcmp(argv[i], "--replay") == 0 && i + 1 < argc) {
            gLaunch.replay = argv[++i];
        } else if (strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc) {
            char* end = nullptr;
            double seconds = strtod(argv[++i], &end);
            if (end == argv[i] || *end != 0 || !(seconds > 0.0)) {
                PrintUsage(stderr);
                return 2;
            }
            gLaunch.quitAfter = seconds;
        } else if (strcmp(argv[i], "--help") == 0 || strcmp(argv[i], "-h") == 0) {
            PrintUsage(stdout);
            return 0;
        } else {
            PrintUsage(stderr);
            return 2;
        }
    }
    InitAppDirectory();
    return RunGame();
}
