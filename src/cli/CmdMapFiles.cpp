// The map-file subcommands of zemmap-cli: info, dump, export-text and repack.
#include "cli/CliCommands.h"
#include "cli/CliMapDump.h"
#include "cli/CmdRoute.h"
#include "model/ZemMain.h"
#include "model/ZemText.h"
#include "platform/HeadlessHost.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>

namespace {

bool WantsHelp(const TCliArgs& Args) {
    for (const std::string& A : Args)
        if (A == "--help" || A == "-h")
            return true;
    return false;
}

int Usage(const TCliArgs& Args, const char* Text) {
    std::fputs(Text, WantsHelp(Args) ? stdout : stderr);
    return WantsHelp(Args) ? 0 : 2;
}

// Loads a map into Map; on refusal prints the loader's message on standard error.
bool Load(TZemMap& Map, HeadlessHost& Host, const std::string& File) {
    Map.View.AutoUpdate = false; // nothing here is drawn: the load need not render a frame
    if (Map.LoadFromFile(File))
        return true;
    for (const std::string& M : Host.Messages)
        std::fprintf(stderr, "%s\n", M.c_str());
    return false;
}

} // namespace

int CmdInfo(const TCliArgs& Args) {
    if (Args.size() != 1 || WantsHelp(Args))
        return Usage(Args, "usage: zemmap-cli info FILE.mp\n  Prints a summary of a map file.\n");
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!Load(Map, Host, Args[0]))
        return 1;
    std::printf("%s", zem::MapSummary(Map).c_str());
    return 0;
}

int CmdDump(const TCliArgs& Args) {
    if (Args.size() != 1 || WantsHelp(Args))
        return Usage(Args,
                     "usage: zemmap-cli dump FILE.mp\n  Prints every field of a map as JSON (UTF-8).\n");
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!Load(Map, Host, Args[0]))
        return 1;
    std::fputs(zem::MapJson(Map).c_str(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

int CmdExportText(const TCliArgs& Args) {
    if (Args.size() != 2 || WantsHelp(Args))
        return Usage(Args, "usage: zemmap-cli export-text FILE.mp FOLDER\n"
                           "  Writes Objects.txt and the directory dumps (Windows-1251) into FOLDER.\n");
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!Load(Map, Host, Args[0]))
        return 1;
    Map.ExportText(Args[1]);
    return 0;
}

int CmdRepack(const TCliArgs& Args) {
    const char* Text = "usage: zemmap-cli repack IN.mp OUT.mp --level L\n"
                       "  Saves a map again at compression level L (0 ... 4).\n";
    if (Args.size() != 4 || WantsHelp(Args) || Args[2] != "--level")
        return Usage(Args, Text);
    char* End = nullptr;
    const long Level = std::strtol(Args[3].c_str(), &End, 10);
    if (Args[3].empty() || *End != '\0' || Level < 0 || Level > 4) {
        std::fprintf(stderr, "zemmap-cli repack: the level must be a number from 0 to 4, not '%s'\n",
                     Args[3].c_str());
        return 2;
    }
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!Load(Map, Host, Args[0]))
        return 1;
    Map.SetCompression(static_cast<std::uint8_t>(Level));
    Map.SaveToFile(Args[1]);
    return 0;
}

int CmdRoute(const TCliArgs& Args) {
    return CmdRouteWith(Args, [](TZemMap& Map, const std::string& File) {
        // The route command's loader raises with the loader's message on a refused file.
        Map.View.AutoUpdate = false;
        if (!Map.LoadFromFile(File))
            throw EZemError("Файл поврежден или не является файлом карты!");
    });
}
