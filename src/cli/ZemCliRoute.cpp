#include "cli/ZemCliRoute.h"

#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "transport/ZemRouteCommand.h"

#include <iostream>

int CmdRouteWith(const TCliArgs& Args, const std::function<void(TZemMap&, const std::string&)>& Load) {
    TRouteOptions Options;
    std::string Error;
    if (!ParseRouteArgs(Args, Options, Error)) {
        std::cerr << "zemmap-cli route: " << Error << '\n' << RouteUsage;
        return 2;
    }
    if (Options.Help) {
        std::cout << RouteUsage;
        return 0;
    }
    HeadlessHost Host; // answers the transport choice with every kind
    TZemMap Map(Host);
    Load(Map, Options.File);
    return RunRouteCommand(Map, Options, std::cout, std::cerr);
}
