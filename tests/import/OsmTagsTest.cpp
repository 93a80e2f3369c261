// The tag mapping: house numbers and their building parts, colours, classes of ways and areas, and the
// cut of long texts.
#include "import/ZemOsmTags.h"

#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include <osmium/builder/attr.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/osm/node.hpp>
#pragma GCC diagnostic pop

#include <gtest/gtest.h>

namespace zem {
namespace {

TEST(OsmTagsTest, HouseNumbersGiveTheirBuildingPart) {
    const std::pair<const char*, THouseNumber> Cases[] = {
        {"5 с2", {"5", "с2"}},
        {"5к1", {"5", "к1"}},
        {"10 корп. 2 стр. 3", {"10", "к2 с3"}},
        {"7 стр 1", {"7", "с1"}},
        {"12А", {"12А", ""}},
        {"5/2", {"5/2", ""}},
        {"24/7с1", {"24/7", "с1"}},
        {"3 К2", {"3", "к2"}},
        {"с1", {"с1", ""}}, // no number before the part: left whole
        {"", {"", ""}},
    };
    for (const auto& [In, Want] : Cases) {
        const THouseNumber H = ParseHouseNumber(In);
        EXPECT_EQ(H.Number, Want.Number) << In;
        EXPECT_EQ(H.Corpus, Want.Corpus) << In;
    }
}

TEST(OsmTagsTest, ColoursAndRouteKinds) {
    EXPECT_EQ(ParseColour("#FF8000"), RGBColor(255, 128, 0));
    EXPECT_EQ(ParseColour("#f80"), RGBColor(255, 136, 0));
    EXPECT_EQ(ParseColour("red"), RGBColor(220, 30, 30));
    for (const char* Bad : {"#12345", "#GG0000", "", "redd", "#1234567"})
        EXPECT_FALSE(ParseColour(Bad)) << Bad;
    EXPECT_FALSE(ParseColour(nullptr));
    EXPECT_STREQ(RouteTransportName("tram"), "Трамвай");
    EXPECT_STREQ(RouteTransportName("subway"), "Метро");
    EXPECT_STREQ(RouteTransportName("share_taxi"), "Маршрутное такси");
    EXPECT_EQ(RouteTransportName("hiking"), nullptr);
    EXPECT_EQ(RouteTransportName(nullptr), nullptr);
}

TEST(OsmTagsTest, ClassesOfWaysAndAreas) {
    using namespace osmium::builder::attr;
    osmium::memory::Buffer Buffer{4096, osmium::memory::Buffer::auto_grow::yes};
    auto Tags = [&](std::initializer_list<std::pair<const char*, const char*>> T) -> const osmium::TagList& {
        const auto Pos = osmium::builder::add_node(Buffer, _id(1), _tags(T));
        return Buffer.get<osmium::Node>(Pos).tags();
    };
    EXPECT_EQ(LineClass(Tags({{"highway", "primary_link"}})), TOsmClass::Primary);
    EXPECT_EQ(LineClass(Tags({{"highway", "living_street"}})), TOsmClass::Residential);
    EXPECT_EQ(LineClass(Tags({{"highway", "steps"}})), TOsmClass::Path);
    EXPECT_EQ(LineClass(Tags({{"highway", "pedestrian"}, {"area", "yes"}})), TOsmClass::None);
    EXPECT_EQ(LineClass(Tags({{"highway", "bus_stop"}})), TOsmClass::None);
    EXPECT_EQ(LineClass(Tags({{"waterway", "river"}})), TOsmClass::River);
    EXPECT_EQ(LineClass(Tags({{"railway", "tram"}})), TOsmClass::Tram);
    EXPECT_EQ(AreaClass(Tags({{"building", "yes"}, {"landuse", "grass"}})), TOsmClass::Building);
    EXPECT_EQ(AreaClass(Tags({{"building", "no"}, {"leisure", "park"}})), TOsmClass::Park);
    EXPECT_EQ(AreaClass(Tags({{"waterway", "riverbank"}})), TOsmClass::Water);
    EXPECT_EQ(AreaClass(Tags({{"amenity", "school"}})), TOsmClass::None);
    // Planes keep the order ground < green < water < streets < buildings < labels.
    EXPECT_LT(StyleOf(TOsmClass::GroundResidential).Plane, StyleOf(TOsmClass::Park).Plane);
    EXPECT_LT(StyleOf(TOsmClass::Park).Plane, StyleOf(TOsmClass::Water).Plane);
    EXPECT_LT(StyleOf(TOsmClass::Water).Plane, StyleOf(TOsmClass::Primary).Plane);
    EXPECT_LT(StyleOf(TOsmClass::Primary).Plane, StyleOf(TOsmClass::Building).Plane);

    const TOsmAddress A = AddressOf(Tags({{"addr:place", "Китай-город"},
                                          {"addr:housenumber", "5к1"},
                                          {"addr:postcode", "101000"},
                                          {"addr:district", "Басманный"}}));
    EXPECT_EQ(A.Street, "Китай-город");
    EXPECT_EQ(A.Number, "5");
    EXPECT_EQ(A.Corpus, "к1");
    EXPECT_EQ(A.Postcode, "101000");
    EXPECT_EQ(A.Area, "Басманный");
}

TEST(OsmTagsTest, LongTextsAreCutAtACharacter) {
    std::string Long;
    for (int i = 0; i < 400; ++i)
        Long += "ж";
    const ZemString T = ImportedText(Long);
    EXPECT_EQ(T.size(), kMaxImportedText);
    EXPECT_EQ(ToUtf8(T).substr(0, 4), "жж");
    EXPECT_EQ(ImportedText("Покровка"), FromUtf8("Покровка"));
}

} // namespace
} // namespace zem
