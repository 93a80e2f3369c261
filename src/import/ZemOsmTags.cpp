#include "import/ZemOsmTags.h"

#include <osmium/osm/tag.hpp>

#include <array>
#include <cstring>
#include <string_view>

namespace zem {

namespace {

using std::string_view;

constexpr TZemPen Pen(int R, int G, int B, int Width, std::uint8_t Style = 0, int Flags = 0) {
    return TZemPen{Style, RGBColor(R, G, B), Flags, Width};
}
constexpr TZemBrush Fill(int R, int G, int B) {
    return TZemBrush{RGBColor(R, G, B), 0};
}
constexpr TZemBrush kNoFill{0, 1};

// Colours of a printed city map: white streets with warm major roads on a light ground, blue water,
// green parks, beige houses. Widths are world metres at 100 %; round ends (flag 1) join the pieces.
constexpr std::array<TOsmStyle, kOsmClassCount> kStyles{{
    {otLine, opPaths, Pen(0, 0, 0, 0), kNoFill, "", ""},
    {otLine, opPaths, Pen(196, 120, 110, 1, 1), kNoFill, "Дорожка", "дорожки"},
    {otLine, opStreets, Pen(255, 255, 255, 5, 0, 1), kNoFill, "Проезд", "проезды"},
    {otLine, opStreets, Pen(236, 234, 240, 8, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(255, 255, 255, 9, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(255, 255, 255, 12, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(247, 250, 191, 14, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(252, 214, 164, 16, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(249, 178, 156, 18, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opStreets, Pen(232, 146, 162, 20, 0, 1), kNoFill, "Улица", "улицы"},
    {otLine, opWater, Pen(150, 196, 222, 2, 0, 1), kNoFill, "Водоток", "ручьи"},
    {otLine, opWater, Pen(150, 196, 222, 6, 0, 1), kNoFill, "Водоток", "каналы"},
    {otLine, opWater, Pen(150, 196, 222, 10, 0, 1), kNoFill, "Водоток", "реки"},
    {otLine, opRail, Pen(120, 120, 120, 3, 3), kNoFill, "Железная дорога", "железные дороги"},
    {otLine, opRail, Pen(110, 110, 130, 2), kNoFill, "Трамвайные пути", "трамвайные пути"},
    {otLine, opRail, Pen(170, 130, 190, 2, 1), kNoFill, "Линия метро", "линии метро"},
    {otPolygon, opGround, Pen(228, 224, 218, 0), Fill(228, 224, 218), "Жилая застройка", "кварталы"},
    {otPolygon, opGround, Pen(232, 220, 230, 0), Fill(232, 220, 230), "Промзона", "промзоны"},
    {otPolygon, opGround, Pen(240, 222, 220, 0), Fill(240, 222, 220), "Торговая зона", "торговые зоны"},
    {otPolygon, opGround, Pen(236, 236, 236, 0), Fill(236, 236, 236), "Стоянка", "стоянки"},
    {otPolygon, opWater, Pen(150, 196, 222, 0), Fill(170, 211, 223), "Вода", "водоёмы"},
    {otPolygon, opGreen, Pen(200, 230, 180, 0), Fill(205, 235, 176), "Газон", "газоны"},
    {otPolygon, opGreen, Pen(180, 220, 170, 0), Fill(190, 226, 170), "Парк", "парки"},
    {otPolygon, opGreen, Pen(157, 202, 138, 0), Fill(173, 209, 158), "Лес", "леса"},
    {otPolygon, opBuildings, Pen(170, 158, 146, 1), Fill(217, 208, 201), "Здание", "здания"},
}};

bool Is(const char* V, string_view S) {
    return V && S == V;
}

bool OneOf(const char* V, std::initializer_list<string_view> Set) {
    if (!V)
        return false;
    for (string_view S : Set)
        if (S == V)
            return true;
    return false;
}

// Strips a "_link" suffix: links take the class of their road.
string_view RoadBase(const char* V) {
    string_view S(V);
    constexpr string_view Link = "_link";
    if (S.size() > Link.size() && S.substr(S.size() - Link.size()) == Link)
        S.remove_suffix(Link.size());
    return S;
}

std::string Get(const osmium::TagList& Tags, const char* Key) {
    const char* V = Tags.get_value_by_key(Key);
    return V ? std::string(V) : std::string();
}

// Length in bytes of the UTF-8 sequence led by C (1 for a stray continuation byte).
std::size_t Utf8Length(unsigned char C) {
    return C < 0xC0 ? 1 : C < 0xE0 ? 2 : C < 0xF0 ? 3 : 4;
}

} // namespace

const char* const kAreaKeys[] = {"building", "landuse", "natural", "leisure", "waterway",
                                 "water",    "amenity", "area",    nullptr};

const TOsmStyle& StyleOf(TOsmClass C) {
    return kStyles[static_cast<std::size_t>(C)];
}

TOsmClass LineClass(const osmium::TagList& Tags) {
    if (const char* H = Tags.get_value_by_key("highway")) {
        if (Is(Tags.get_value_by_key("area"), "yes"))
            return TOsmClass::None;
        const string_view R = RoadBase(H);
        if (R == "motorway")
            return TOsmClass::Motorway;
        if (R == "trunk")
            return TOsmClass::Trunk;
        if (R == "primary")
            return TOsmClass::Primary;
        if (R == "secondary")
            return TOsmClass::Secondary;
        if (R == "tertiary")
            return TOsmClass::Tertiary;
        if (OneOf(H, {"residential", "living_street", "unclassified", "road"}))
            return TOsmClass::Residential;
        if (Is(H, "pedestrian"))
            return TOsmClass::Pedestrian;
        if (Is(H, "service"))
            return TOsmClass::Service;
        if (OneOf(H, {"footway", "path", "steps", "cycleway", "bridleway", "track", "corridor"}))
            return TOsmClass::Path;
        return TOsmClass::None;
    }
    if (const char* W = Tags.get_value_by_key("waterway")) {
        if (Is(W, "river"))
            return TOsmClass::River;
        if (Is(W, "canal"))
            return TOsmClass::Canal;
        if (OneOf(W, {"stream", "drain", "ditch"}))
            return TOsmClass::Stream;
        return TOsmClass::None;
    }
    if (const char* R = Tags.get_value_by_key("railway")) {
        if (OneOf(R, {"rail", "light_rail", "narrow_gauge", "monorail", "funicular"}))
            return TOsmClass::Railway;
        if (Is(R, "tram"))
            return TOsmClass::Tram;
        if (Is(R, "subway"))
            return TOsmClass::Subway;
    }
    return TOsmClass::None;
}

TOsmClass AreaClass(const osmium::TagList& Tags) {
    if (const char* B = Tags.get_value_by_key("building"); B && !Is(B, "no"))
        return TOsmClass::Building;
    const char* Natural = Tags.get_value_by_key("natural");
    const char* Landuse = Tags.get_value_by_key("landuse");
    const char* Leisure = Tags.get_value_by_key("leisure");
    if (Is(Natural, "water") || Is(Tags.get_value_by_key("waterway"), "riverbank") ||
        OneOf(Landuse, {"reservoir", "basin"}) || Tags.get_value_by_key("water"))
        return TOsmClass::Water;
    if (Is(Landuse, "forest") || Is(Natural, "wood"))
        return TOsmClass::Forest;
    if (OneOf(Leisure, {"park", "garden", "nature_reserve"}) ||
        OneOf(Landuse, {"recreation_ground", "cemetery", "allotments"}))
        return TOsmClass::Park;
    if (OneOf(Landuse, {"grass", "meadow", "village_green", "flowerbed"}) ||
        OneOf(Natural, {"scrub", "grassland", "heath"}) || OneOf(Leisure, {"pitch", "playground"}))
        return TOsmClass::Grass;
    if (Is(Landuse, "residential"))
        return TOsmClass::GroundResidential;
    if (OneOf(Landuse, {"industrial", "railway", "construction", "garages"}))
        return TOsmClass::GroundIndustrial;
    if (OneOf(Landuse, {"commercial", "retail"}))
        return TOsmClass::GroundCommercial;
    if (Is(Tags.get_value_by_key("amenity"), "parking"))
        return TOsmClass::Parking;
    return TOsmClass::None;
}

THouseNumber ParseHouseNumber(const std::string& Utf8) {
    // Building parts: "к"/"корп"/"корпус" (section) and "с"/"стр"/"строение" (structure), any case,
    // optionally with a dot, before digits.
    static const std::pair<string_view, const char*> kMarks[] = {
        {"корпус", "к"}, {"корп", "к"}, {"к", "к"}, {"строение", "с"}, {"стр", "с"}, {"с", "с"},
        {"Корпус", "к"}, {"Корп", "к"}, {"К", "к"}, {"Строение", "с"}, {"Стр", "с"}, {"С", "с"},
    };
    const string_view S(Utf8);
    auto Digit = [](char C) { return C >= '0' && C <= '9'; };
    // The building part starts at the first mark that follows the number's own digits and is followed by
    // digits itself.
    for (std::size_t i = 1; i < S.size(); ++i) {
        if (!(Digit(S[i - 1]) || S[i - 1] == ' '))
            continue;
        for (const auto& [Mark, Short] : kMarks) {
            if (S.substr(i, Mark.size()) != Mark)
                continue;
            std::size_t j = i + Mark.size();
            while (j < S.size() && (S[j] == '.' || S[j] == ' '))
                ++j;
            if (j >= S.size() || !Digit(S[j]))
                continue;
            THouseNumber H;
            H.Number = std::string(S.substr(0, i));
            while (!H.Number.empty() && H.Number.back() == ' ')
                H.Number.pop_back();
            if (H.Number.empty())
                break;
            // The rest may hold a second part ("к2 стр3"): parse it the same way.
            std::size_t k = j;
            while (k < S.size() && Digit(S[k]))
                ++k;
            H.Corpus = std::string(Short) + std::string(S.substr(j, k - j));
            std::string Rest(S.substr(k));
            while (!Rest.empty() && (Rest.front() == ' ' || Rest.front() == ','))
                Rest.erase(0, 1);
            if (!Rest.empty()) {
                const THouseNumber More = ParseHouseNumber("0" + Rest);
                H.Corpus += " " + (More.Number == "0" ? More.Corpus : Rest);
            }
            return H;
        }
    }
    return THouseNumber{Utf8, {}};
}

TOsmAddress AddressOf(const osmium::TagList& Tags) {
    TOsmAddress A;
    A.Street = Get(Tags, "addr:street");
    if (A.Street.empty())
        A.Street = Get(Tags, "addr:place");
    const THouseNumber H = ParseHouseNumber(Get(Tags, "addr:housenumber"));
    A.Number = H.Number;
    A.Corpus = H.Corpus;
    A.Postcode = Get(Tags, "addr:postcode");
    A.City = Get(Tags, "addr:city");
    A.Area = Get(Tags, "addr:suburb");
    if (A.Area.empty())
        A.Area = Get(Tags, "addr:district");
    return A;
}

const char* RouteTransportName(const char* V) {
    if (Is(V, "bus"))
        return "Автобус";
    if (Is(V, "trolleybus"))
        return "Троллейбус";
    if (OneOf(V, {"share_taxi", "minibus"}))
        return "Маршрутное такси";
    if (OneOf(V, {"tram", "light_rail"}))
        return "Трамвай";
    if (Is(V, "subway"))
        return "Метро";
    return nullptr;
}

std::optional<TColor> ParseColour(const char* V) {
    if (!V)
        return std::nullopt;
    const string_view S(V);
    auto Hex = [](char C) -> int {
        if (C >= '0' && C <= '9')
            return C - '0';
        if (C >= 'a' && C <= 'f')
            return C - 'a' + 10;
        if (C >= 'A' && C <= 'F')
            return C - 'A' + 10;
        return -1;
    };
    if (!S.empty() && S[0] == '#' && (S.size() == 7 || S.size() == 4)) {
        int D[6];
        const std::size_t N = S.size() - 1;
        for (std::size_t i = 0; i < N; ++i)
            if ((D[i] = Hex(S[i + 1])) < 0)
                return std::nullopt;
        if (N == 3)
            return RGBColor(D[0] * 17, D[1] * 17, D[2] * 17);
        return RGBColor(D[0] * 16 + D[1], D[2] * 16 + D[3], D[4] * 16 + D[5]);
    }
    static const std::pair<string_view, TColor> kNames[] = {
        {"red", RGBColor(220, 30, 30)},         {"green", RGBColor(0, 150, 60)},
        {"blue", RGBColor(30, 80, 210)},        {"yellow", RGBColor(240, 200, 0)},
        {"orange", RGBColor(245, 140, 0)},      {"purple", RGBColor(140, 40, 160)},
        {"brown", RGBColor(140, 80, 30)},       {"black", RGBColor(0, 0, 0)},
        {"gray", RGBColor(128, 128, 128)},      {"grey", RGBColor(128, 128, 128)},
        {"white", RGBColor(255, 255, 255)},     {"pink", RGBColor(240, 120, 170)},
        {"violet", RGBColor(140, 80, 200)},     {"cyan", RGBColor(0, 180, 200)},
        {"lightblue", RGBColor(100, 180, 230)}, {"darkblue", RGBColor(20, 40, 140)},
    };
    for (const auto& [Name, C] : kNames)
        if (S == Name)
            return C;
    return std::nullopt;
}

TColor RouteKindColour(const char* Name) {
    const string_view S = Name ? Name : "";
    if (S == "Троллейбус")
        return RGBColor(30, 140, 60);
    if (S == "Трамвай")
        return RGBColor(200, 40, 40);
    if (S == "Метро")
        return RGBColor(140, 40, 160);
    if (S == "Маршрутное такси")
        return RGBColor(230, 130, 0);
    return RGBColor(30, 70, 200);
}

ZemString ImportedText(const std::string& Utf8) {
    // Cut at kMaxImportedText characters, never inside one: the 1251 form has one byte per character.
    std::size_t Bytes = 0, Chars = 0;
    while (Bytes < Utf8.size() && Chars < kMaxImportedText) {
        Bytes += Utf8Length(static_cast<unsigned char>(Utf8[Bytes]));
        ++Chars;
    }
    return FromUtf8(Utf8.substr(0, std::min(Bytes, Utf8.size())));
}

} // namespace zem
