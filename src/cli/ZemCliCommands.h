#pragma once
// The subcommands of zemmap-cli. Each returns the process exit code: 0 success, 1 failure (message on
// standard error), 2 wrong usage.
#include <functional>
#include <string>
#include <vector>

namespace zem {

using TCliArgs = std::vector<std::string>;

struct TCliCommand {
    const char* Name;
    const char* Summary;
    int (*Run)(const TCliArgs& Args);
};

int CmdDemo(const TCliArgs& Args);
int CmdInfo(const TCliArgs& Args);
int CmdDump(const TCliArgs& Args);
int CmdExportText(const TCliArgs& Args);
int CmdRepack(const TCliArgs& Args);
int CmdRoute(const TCliArgs& Args);
int CmdRender(const TCliArgs& Args);
int CmdImport(const TCliArgs& Args);

// ---- render ----
class TZemMap;
class HeadlessHost;

struct TRenderOptions {
    std::string MapFile, OutFile;
    int Width = 0, Height = 0; // 0: the size of the window the map was saved from
    float Scale = 0;           // 0: the map's own
    bool HasCenter = false;
    float CenterX = 0, CenterY = 0;
    bool Transport = false;
    bool Grid = false;
    bool Help = false;
};

// Reads the render command's arguments; 0 when they are usable (or --help was asked), 2 after writing
// the reason and the usage to standard error.
int ParseRenderArgs(const TCliArgs& Args, TRenderOptions& Options);
// Renders a loaded map as the options say and writes the picture; 0, or 1 with the reason on stderr.
int RenderMapCommand(TZemMap& Map, const TRenderOptions& Options);
// Loads File into Map without drawing; on refusal prints, for the subcommand Command, each message the
// loader gave the user, with the file's name, and returns false.
bool LoadMapFor(const char* Command, TZemMap& Map, HeadlessHost& Host, const std::string& File);
// Reads a map file into the map; false when it cannot (the loader has told the user why).
using TMapLoader = std::function<bool(TZemMap& Map, const std::string& FileName)>;
// The whole command: arguments, loading through Load, rendering.
int RenderCommand(const TCliArgs& Args, const TMapLoader& Load);

} // namespace zem
