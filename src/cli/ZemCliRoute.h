#pragma once
// `zemmap-cli route`: everything but reading the map file, which the caller hands in as Load (it raises
// on a file it cannot read). Returns the exit code: 0, 1 on a failure, 2 on wrong usage.
#include "cli/ZemCliCommands.h"

#include <functional>
#include <string>

class TZemMap;

int CmdRouteWith(const TCliArgs& Args, const std::function<void(TZemMap&, const std::string&)>& Load);
