#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <vector>

using namespace zem;

// The route list shows "т25" and "Т25" as one route; the filter chosen from it shows all of that route.
TEST(RouteFilter, NamesThatDifferInCaseAreOneRoute) {
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.Doc.TransportTypes = {"A"};
    Map.SetShowTransportNet(true);
    std::vector<std::int32_t> IDs;
    for (const char* Name : {"\xF2"
                             "25",
                             "\xD2"
                             "25",
                             "25"}) { // "т25", "Т25", "25"
        TZemObject S;
        S.Kind = otRoadCrossLine;
        S.AddPoint(0, static_cast<float>(IDs.size() * 10));
        S.AddPoint(100, static_cast<float>(IDs.size() * 10));
        S.SetTransportType(0);
        Map.AddObject(S);
        IDs.push_back(Map.Doc.MaxID - 1);
        Map.ObjectByID(IDs.back()).SetText(Name);
    }
    Map.SetVisibleTransportTypes(std::vector<std::int32_t>{0});
    std::vector<ZemString> Names;
    Map.RouteNames(Names);
    ASSERT_EQ(Names.size(), 2u);
    Map.SetRouteNameFilter(Names[0]);
    EXPECT_TRUE(Map.View.VisibleList.Contains(IDs[0]));
    EXPECT_TRUE(Map.View.VisibleList.Contains(IDs[1]));
    EXPECT_FALSE(Map.View.VisibleList.Contains(IDs[2]));
    Map.ClearRouteNameFilter();
    EXPECT_TRUE(Map.View.VisibleList.Contains(IDs[2]));
}
