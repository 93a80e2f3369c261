// zemmap-cli: the headless face of the ZemMap core, for scripting and for people without a display.
#include "cli/CliCommands.h"
#include "model/ZemErrors.h"

#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

namespace {

const TCliCommand Commands[] = {
    {"info", "print a summary of a map file", CmdInfo},
    {"dump", "print every field of a map file as JSON", CmdDump},
    {"export-text", "write the text export of a map into a folder", CmdExportText},
    {"repack", "save a map again at another compression level", CmdRepack},
    {"route", "search a cheap route through a map's search points", CmdRoute},
    {"render", "render a map's view into a BMP or PNG picture", CmdRender},
    {"demo", "build a small map in memory and zoom and pan its view", CmdDemo},
};

int Usage(FILE* Out) {
    std::fputs(
        "usage: zemmap-cli <command> [arguments]    (zemmap-cli <command> --help for more)\n\ncommands:\n",
        Out);
    for (const TCliCommand& C : Commands)
        std::fprintf(Out, "  %-14s %s\n", C.Name, C.Summary);
    return Out == stdout ? 0 : 2;
}

} // namespace

int main(int argc, char** argv) {
    // The user's regional settings, read once: the text export writes their decimal separator.
    std::setlocale(LC_ALL, "");
    if (argc < 2)
        return Usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        return Usage(stdout);
    TCliArgs Args(argv + 2, argv + argc);
    for (const TCliCommand& C : Commands)
        if (std::strcmp(argv[1], C.Name) == 0) {
            try {
                return C.Run(Args);
            } catch (const std::exception& E) {
                std::fprintf(stderr, "zemmap-cli %s: %s\n", C.Name, E.what());
                return 1;
            }
        }
    std::fprintf(stderr, "zemmap-cli: unknown command '%s'\n", argv[1]);
    Usage(stderr);
    return 2;
}
