#pragma once
// What OpenStreetMap tags become on a map: the class of a way or an area (and so its style, plane and
// object type), a building's address, the parts of a house number, a route's kind and colour. Pure
// functions of the tags, without the reader, so that they are tested and fuzzed alone.
#include "model/ZemObject.h"

#include <cstdint>
#include <optional>
#include <string>

namespace osmium {
class TagList;
}

namespace zem {

// Drawing planes of imported objects, from the bottom up. The network keeps 126 and 127. Water lies
// above green: a pond in a park is drawn as its own area inside the park's, and must stay visible.
enum TOsmPlane : std::int8_t {
    opGround = -4,
    opGreen = -3,
    opWater = -2,
    opRail = -1,
    opPaths = 0,
    opStreets = 1,
    opBuildings = 2,
    opLabels = 3,
    opAttribution = 4,
};

// Classes of what is imported, in the order they are drawn within a plane (major roads over minor).
enum class TOsmClass : std::uint8_t {
    None,
    // lines
    Path,
    Service,
    Pedestrian,
    Residential,
    Tertiary,
    Secondary,
    Primary,
    Trunk,
    Motorway,
    Stream,
    Canal,
    River,
    Railway,
    Tram,
    Subway,
    // areas
    GroundResidential,
    GroundIndustrial,
    GroundCommercial,
    Parking,
    Water,
    Grass,
    Park,
    Forest,
    Building,
};
constexpr int kOsmClassCount = static_cast<int>(TOsmClass::Building) + 1;

struct TOsmStyle {
    TObjectKind Kind; // otLine or otPolygon
    TOsmPlane Plane;
    TZemPen Pen;
    TZemBrush Brush;
    const char* Category; // object type (UTF-8)
    const char* Label;    // summary label (UTF-8)
};
const TOsmStyle& StyleOf(TOsmClass C);
inline bool IsRoad(TOsmClass C) {
    return C >= TOsmClass::Service && C <= TOsmClass::Motorway;
}

// The class of a way drawn as a line (roads, paths, waterways, rails); None when it is not one.
TOsmClass LineClass(const osmium::TagList& Tags);
// The class of an area (closed way or multipolygon); None when it is not one we draw.
TOsmClass AreaClass(const osmium::TagList& Tags);
// The tags libosmium's area assembler should build areas for (any of these keys).
extern const char* const kAreaKeys[];

// A house number split into its number and its building part: "5 с2" -> ("5", "с2"), "5к1" -> ("5",
// "к1"), "10 корп. 2 стр. 3" -> ("10", "к2 с3"); a number without such a part stays whole ("12А",
// "5/2"). UTF-8 in, UTF-8 out.
struct THouseNumber {
    std::string Number;
    std::string Corpus;
};
THouseNumber ParseHouseNumber(const std::string& Utf8);

// An address as tags give it, UTF-8; empty fields are absent.
struct TOsmAddress {
    std::string Street, Number, Corpus, Postcode, City, Area;
    bool Empty() const { return Street.empty() && Number.empty() && Postcode.empty() && City.empty(); }
};
TOsmAddress AddressOf(const osmium::TagList& Tags);

// The transport type (its directory name, UTF-8) of a route relation's `route` value; null when the
// route is not public transport we import.
const char* RouteTransportName(const char* RouteValue);
// A colour tag ("#RRGGBB", "#RGB" or a common colour name) as a platform colour value.
std::optional<TColor> ParseColour(const char* Value);
// The colour of a route's kind when it names none.
TColor RouteKindColour(const char* TransportName);

// Strings of the document are at most this long (bytes); longer tag values are cut at a character.
constexpr std::size_t kMaxImportedText = 255;
// Tag value cut to kMaxImportedText characters and converted to Windows-1251.
ZemString ImportedText(const std::string& Utf8);

} // namespace zem
