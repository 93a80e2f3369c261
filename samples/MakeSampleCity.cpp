// Builds the sample city map "Карта города.mp" from OpenStreetMap data (a JSON extract of two parts of
// Moscow): streets as lines named in the streets directory, buildings as polygons with their addresses
// (a share of them as pseudo-3D blocks), street names along the main streets, the tram, bus and trolleybus
// routes as a transport network with walking links between nearby stops, and a few search points.
//
// usage: zemmap-make-sample INPUT.json OUTPUT.mp
#include "base/ZemText.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <map>
#include <numbers>
#include <set>
#include <vector>

using namespace zem;

using nlohmann::json;

namespace {

constexpr int TypeWalk = 0, TypeBus = 1, TypeTrolley = 2, TypeTram = 5;

ZemString W(const std::string& Utf8) {
    return zem::FromUtf8(Utf8);
}

std::int32_t Intern(TZemDirectory& D, const ZemString& S) {
    auto It = std::find(D.begin(), D.end(), S);
    if (It != D.end())
        return static_cast<std::int32_t>(It - D.begin());
    D.push_back(S);
    return static_cast<std::int32_t>(D.size() - 1);
}

// Stores a copy of the template and sets what a copy does not take from it: the object type, the text of
// kinds other than texts and the character set of texts.
TZemObject& Store(TZemMap& Map, const TZemObject& Template, std::int32_t Category,
                  const ZemString& Text = {}) {
    Map.AddObject(Template);
    TZemObject& O = Map.ObjectByID(Map.Doc.MaxID - 1);
    O.SetCategory(Category);
    if (!Text.empty())
        O.SetText(Text);
    if (O.Kind == otText)
        O.Font.Charset = 204;
    return O;
}

double PolylineLength(const json& Points) {
    double L = 0;
    for (size_t i = 1; i < Points.size(); ++i)
        L += std::hypot(Points[i][0].get<double>() - Points[i - 1][0].get<double>(),
                        Points[i][1].get<double>() - Points[i - 1][1].get<double>());
    return L;
}

bool IsMainStreet(const std::string& Name) {
    for (const char* Word : {"улица", "проспект", "шоссе", "площадь", "бульвар", "проезд", "набережная"})
        if (Name.find(Word) != std::string::npos)
            return true;
    return false;
}

// A label of the street's name over the middle of its longest straight piece, turned along it and kept
// readable (never upside down). A text object is its box of four points; point 0 anchors the text.
void AddStreetLabel(TZemMap& Map, const std::string& Name, const json& Points) {
    size_t Best = 1;
    double BestLen = -1;
    for (size_t i = 1; i < Points.size(); ++i) {
        double L = std::hypot(Points[i][0].get<double>() - Points[i - 1][0].get<double>(),
                              Points[i][1].get<double>() - Points[i - 1][1].get<double>());
        if (L > BestLen) {
            BestLen = L;
            Best = i;
        }
    }
    const double x0 = Points[Best - 1][0], y0 = Points[Best - 1][1], x1 = Points[Best][0],
                 y1 = Points[Best][1];
    double Angle = std::atan2(-(y1 - y0), x1 - x0); // counter-clockwise on screen, Y grows downwards
    if (Angle > std::numbers::pi / 2)
        Angle -= std::numbers::pi;
    if (Angle <= -std::numbers::pi / 2)
        Angle += std::numbers::pi;
    const int Size = 9;
    const ZemString Text = W(Name);
    const double h = Size * 96.0 / 72.0, w = 0.55 * h * static_cast<double>(Text.size());
    const double ux = std::cos(Angle), uy = -std::sin(Angle); // along the text
    const double nx = std::sin(Angle), ny = std::cos(Angle);  // down the text
    const double mx = (x0 + x1) / 2, my = (y0 + y1) / 2;
    const double px = mx - ux * w / 2 - nx * h / 2, py = my - uy * w / 2 - ny * h / 2;

    TZemObject T;
    T.Kind = otText;
    T.AddPoint(static_cast<float>(px), static_cast<float>(py));
    T.AddPoint(static_cast<float>(px + ux * w), static_cast<float>(py + uy * w));
    T.AddPoint(static_cast<float>(px + ux * w + nx * h), static_cast<float>(py + uy * w + ny * h));
    T.AddPoint(static_cast<float>(px + nx * h), static_cast<float>(py + ny * h));
    T.SetText(Text);
    T.SetAngle(static_cast<float>(Angle));
    T.Pen.Color = RGBColor(70, 70, 90); // texts take the pen colour
    T.Font.Name = "Arial";
    T.Font.Size = Size;
    T.Font.Style = fsItalic;
    Store(Map, T, 2);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s INPUT.json OUTPUT.mp\n", argv[0]);
        return 2;
    }
    std::ifstream In(argv[1]);
    if (!In) {
        std::fprintf(stderr, "cannot open %s\n", argv[1]);
        return 1;
    }
    const json Data = json::parse(In);

    HeadlessHost Host;
    TZemMap Map(Host);
    Map.View.AutoUpdate = false; // one rebuild at the end, as bulk operations do

    Map.Doc.DocumentName = W("Москва: Марьина Роща и Китай-город (OpenStreetMap, ODbL)");
    Map.Doc.BackColor = RGBColor(242, 239, 233);
    Map.Doc.Cities = {W("Москва")};
    Map.Doc.ObjectTypes = {W("Улица"), W("Здание"), W("Надпись"), W("Остановка"), W("Маршрут")};
    Map.Doc.TransportTypes = {W("Пешком"),           W("Автобус"),        W("Троллейбус"),
                              W("Маршрутное такси"), W("Свой транспорт"), W("Трамвай")};
    Map.Doc.MeasureStr = W("м");
    Map.Doc.MinScaleAddress = 150;

    // Streets: named pieces wider and lighter than the unnamed lanes.
    for (const json& S : Data["streets"]) {
        const std::string Name = S["name"];
        TZemObject O;
        O.Kind = otLine;
        const bool Named = !Name.empty();
        O.Pen.Color = Named ? RGBColor(255, 255, 255) : RGBColor(225, 220, 212);
        O.Pen.Width = Named ? (IsMainStreet(Name) ? 12 : 8) : 4;
        O.Pen.Flags = 1; // rounded ends join the pieces of a street
        for (const json& P : S["points"])
            O.AddPoint(P[0].get<float>(), P[1].get<float>());
        if (Named) {
            TZemAddress A;
            A.Empty = false;
            A.City = 0;
            A.Street = Intern(Map.Doc.Streets, W(Name));
            O.SetAddress(A);
        }
        Store(Map, O, 0, W(Name));
    }

    // Buildings with addresses; every fourth addressed building stands up as a block.
    int Addressed = 0;
    for (const json& B : Data["buildings"]) {
        TZemObject O;
        O.Kind = otPolygon;
        O.Pen.Color = RGBColor(170, 158, 146);
        O.Pen.Width = 1;
        O.Brush.Color = RGBColor(217, 208, 201);
        O.Brush.Style = 0;
        for (const json& P : B["points"])
            O.AddPoint(P[0].get<float>(), P[1].get<float>());
        if (B["street"].is_string() && B["number"].is_string()) {
            TZemAddress A;
            A.Empty = false;
            A.City = 0;
            A.Street = Intern(Map.Doc.Streets, W(B["street"].get<std::string>()));
            A.Number = W(B["number"].get<std::string>());
            O.SetAddress(A);
            if (++Addressed % 4 == 0) {
                O.SetCtl3D(true);
                O.SetHeight3D(static_cast<float>(8 + (Addressed * 7) % 25));
                O.Brush.Color = RGBColor(200, 186, 170);
            }
        }
        Store(Map, O, 1);
    }

    // Street names over the longest piece of each main street.
    std::map<std::string, const json*> Longest;
    for (const json& S : Data["streets"]) {
        const std::string Name = S["name"];
        if (Name.empty() || !IsMainStreet(Name))
            continue;
        auto& Slot = Longest[Name];
        if (!Slot || PolylineLength(S["points"]) > PolylineLength((*Slot)["points"]))
            Slot = &S;
    }
    for (const auto& [Name, S] : Longest)
        if (PolylineLength((*S)["points"]) > 150)
            AddStreetLabel(Map, Name, (*S)["points"]);

    // The transport network: one junction per stop.
    std::map<std::string, std::int32_t> Junction;
    std::map<std::string, TXYPoint> StopAt;
    for (const json& Stop : Data["transit"]["stops"]) {
        TZemObject J;
        J.Kind = otRoadCross;
        const TXYPoint P{Stop["x"].get<float>(), Stop["y"].get<float>()};
        J.AddPoint(P);
        Store(Map, J, 3);
        Junction[Stop["id"]] = Map.Doc.MaxID - 1;
        StopAt[Stop["id"]] = P;
    }
    std::set<std::pair<std::int32_t, std::int32_t>> Linked;
    for (const json& Seg : Data["transit"]["segments"]) {
        const std::string From = Seg["from"], To = Seg["to"];
        if (!Junction.count(From) || !Junction.count(To))
            continue;
        const int Mode = Seg["mode"];
        TZemObject O;
        O.Kind = otRoadCrossLine;
        O.StartCrossID = Junction[From];
        O.EndCrossID = Junction[To];
        O.SetDirection(0);
        O.SetTransportType(Mode == 0 ? TypeTram : Mode == 11 ? TypeTrolley : TypeBus);
        O.Pen.Color = Mode == 0    ? RGBColor(200, 40, 40)
                      : Mode == 11 ? RGBColor(30, 140, 60)
                                   : RGBColor(30, 70, 200);
        O.Pen.Width = 3;
        for (const json& P : Seg["points"])
            O.AddPoint(P[0].get<float>(), P[1].get<float>());
        Store(Map, O, 4, W(Seg["route"].get<std::string>()));
        Linked.insert({std::min(O.StartCrossID, O.EndCrossID), std::max(O.StartCrossID, O.EndCrossID)});
    }
    // Walking links between stops close enough to change on foot.
    std::vector<std::string> Ids;
    Ids.reserve(StopAt.size());
    for (const auto& [Id, P] : StopAt)
        Ids.push_back(Id);
    for (size_t i = 0; i < Ids.size(); ++i)
        for (size_t j = i + 1; j < Ids.size(); ++j) {
            const TXYPoint a = StopAt[Ids[i]], b = StopAt[Ids[j]];
            const auto Key = std::make_pair(std::min(Junction[Ids[i]], Junction[Ids[j]]),
                                            std::max(Junction[Ids[i]], Junction[Ids[j]]));
            if (std::hypot(a.X - b.X, a.Y - b.Y) > 300 || Linked.count(Key))
                continue;
            TZemObject O;
            O.Kind = otRoadCrossLine;
            O.StartCrossID = Junction[Ids[i]];
            O.EndCrossID = Junction[Ids[j]];
            O.SetDirection(2);
            O.SetTransportType(TypeWalk);
            O.Pen.Color = RGBColor(120, 120, 120);
            O.Pen.Style = 2;
            O.Pen.Width = 1;
            O.AddPoint(a);
            O.AddPoint(b);
            Store(Map, O, 4);
        }

    // Search points on three stops of the longest tram line, from its first stop to its last.
    std::map<std::string, std::vector<std::string>> RouteStops;
    for (const json& Seg : Data["transit"]["segments"]) {
        auto& Stops = RouteStops[Seg["route"].get<std::string>()];
        if (Stops.empty())
            Stops.push_back(Seg["from"]);
        Stops.push_back(Seg["to"]);
    }
    const std::vector<std::string>* Line = nullptr;
    for (const auto& [Route, Stops] : RouteStops)
        if (!Line || Stops.size() > Line->size())
            Line = &Stops;
    if (Line && Line->size() >= 3)
        for (const std::string& Id : {Line->front(), (*Line)[Line->size() / 2], Line->back()}) {
            const TXYPoint P = StopAt[Id];
            Map.Net.RoutePoints.Add(TXYPoint{P.X + 3, P.Y + 3});
        }

    // Every object lies on plane 0 and the drawing order alone stacks them: lanes, named streets,
    // buildings, then the street names (the network has planes of its own, above all). What a user
    // draws comes later in the order on the same plane, so it is drawn above the sample's layers.
    auto Layer = [&Map](std::int32_t ID) {
        const TZemObject& O = Map.ObjectByID(ID);
        switch (O.Kind) {
        case otLine:
            return O.Text().empty() ? 0 : 1;
        case otPolygon:
            return 2;
        case otText:
            return 3;
        default:
            return 4;
        }
    };
    std::vector<std::int32_t> Order(Map.Doc.Order.begin(), Map.Doc.Order.end());
    std::stable_sort(Order.begin(), Order.end(),
                     [&Layer](std::int32_t A, std::int32_t B) { return Layer(A) < Layer(B); });
    Map.Doc.Order.Clear();
    for (std::int32_t ID : Order)
        Map.Doc.Order.Add(ID);

    // Open on Kitay-gorod at 100 %: from this corner a window of up to about 1,400 x 1,000 pixels is filled
    // by the district (larger ones see a margin at the right), and the view stays inside the area that
    // panning may reach at every window size up to 5,800 pixels wide.
    Map.View.Scale = 100;
    Map.View.ViewWidthHeight = {1250, 850};
    Map.View.LeftTop = {2990, 7080};
    Map.View.GlobalLeftTop = {0, 0};
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(Map.Doc.TransportTypes.size()); ++i)
        Map.Net.VisibleTransportTypes.Add(i);
    Map.SetAutoUpdate(true);

    Map.SaveToFile(argv[2]);
    std::printf("%s: %d objects, %zu streets in the directory, %d search points\n", argv[2], Map.Count(),
                Map.Doc.Streets.size(), Map.Net.RoutePoints.Count());
    return 0;
}
