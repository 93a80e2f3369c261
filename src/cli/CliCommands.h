#pragma once
// The subcommands of zemmap-cli. Each returns the process exit code: 0 success, 1 failure (message on
// standard error), 2 wrong usage.
#include <string>
#include <vector>

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
