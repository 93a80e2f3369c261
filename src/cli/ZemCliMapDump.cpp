#include "cli/ZemCliMapDump.h"

#include "base/ZemText.h"
#include "images/ZemBmpList.h"
#include "images/ZemIcoList.h"
#include "model/ZemMap.h"
#include "model/ZemSettings.h"

#include <nlohmann/json.hpp>

#include <charconv>
#include <cstdio>
#include <map>
#include <type_traits>

namespace zem {

using Json = nlohmann::ordered_json;

namespace {

// The shortest text that reads back as the same single, as a JSON number.
Json Num(float V) {
    if (!std::isfinite(V))
        return Json(nullptr);
    char Buf[32];
    auto R = std::to_chars(Buf, Buf + sizeof Buf, V);
    return Json::parse(std::string(Buf, R.ptr));
}

Json Point(const TXYPoint& P) {
    return Json::array({Num(P.X), Num(P.Y)});
}

// A setting's value: numbers and switches as they are, singles as Num, points as pairs, strings in UTF-8.
template <class T> Json Value(const T& V) {
    if constexpr (std::is_same_v<T, float>)
        return Num(V);
    else if constexpr (std::is_same_v<T, TXYPoint>)
        return Point(V);
    else if constexpr (std::is_same_v<T, ZemString>)
        return ToUtf8(V);
    else
        return V;
}

Json Dir(const TZemDirectory& D) {
    Json A = Json::array();
    for (const ZemString& S : D)
        A.push_back(ToUtf8(S));
    return A;
}

Json ObjectJson(const TZemObject& O) {
    Json J;
    J["ID"] = O.ID;
    J["Kind"] = ObjectKindName(O.Kind);
    J["LeftTop"] = Point(O.LeftTop);
    J["RightBottom"] = Point(O.RightBottom);
    Json Pts = Json::array();
    for (std::int32_t i = 0; i < O.PointCount(); ++i)
        Pts.push_back(Point(O.Point(i)));
    J["Points"] = Pts;
    J["Pen"] = {
        {"Style", O.Pen.Style}, {"Color", O.Pen.Color}, {"Flags", O.Pen.Flags}, {"Width", O.Pen.Width}};
    J["Brush"] = {{"Color", O.Brush.Color}, {"Style", O.Brush.Style}};
    const TZemAddress& A = O.Address();
    J["Address"] = {{"Empty", A.Empty},
                    {"Index", A.Index},
                    {"City", A.City},
                    {"Street", A.Street},
                    {"Street2", A.Street2},
                    {"Area", A.Area},
                    {"Number", ToUtf8(A.Number)},
                    {"Number2", ToUtf8(A.Number2)},
                    {"Corpus", ToUtf8(A.Corpus)}};
    J["Font"] = {{"Charset", O.Font.Charset},    {"Color", O.Font.Color}, {"Name", ToUtf8(O.Font.Name)},
                 {"Reserved", O.Font.Reserved},  {"Size", O.Font.Size},   {"Style", O.Font.Style},
                 {"Reserved2", O.Font.Reserved2}};
    J["Category"] = O.Category();
    J["Ctl3D"] = O.Ctl3D();
    J["Height3D"] = Num(O.Height3D());
    J["Angle"] = Num(O.Angle());
    J["Text"] = ToUtf8(O.Text());
    J["Lock"] = O.Lock;
    J["Visible"] = O.Visible;
    J["Plane"] = O.Plane();
    J["Blink"] = O.Blink();
    J["BlinkInterval"] = O.BlinkInterval();
    J["Reserved"] = O.Reserved;
    J["IconIndex"] = O.IconIndex();
    J["BitmapIndex"] = O.BitmapIndex;
    J["StartCrossID"] = O.StartCrossID;
    J["EndCrossID"] = O.EndCrossID;
    J["Direction"] = O.Direction();
    J["TransportType"] = O.TransportType();
    return J;
}

} // namespace

std::string MapJson(TZemMap& Map) {
    Json J;
    const TZemDocument& D = Map.Doc;
    J["DocumentName"] = nullptr; // the name heads the dump; its value comes with the other settings
    ForEachSetting([&](const auto& Row) {
        if (Row.Has(kFile))
            J[Row.Name] = Value(Row.In(Map));
    });
    J["Icons"] = D.Icons->Count();
    J["Bitmaps"] = D.Bitmaps->Count();
    J["Streets"] = Dir(D.Streets);
    J["Indexes"] = Dir(D.Indexes);
    J["Cities"] = Dir(D.Cities);
    J["Areas"] = Dir(D.Areas);
    J["ObjectTypes"] = Dir(D.ObjectTypes);
    J["TransportTypes"] = Dir(D.TransportTypes);
    Json RP = Json::array();
    for (std::int32_t i = 0; i < Map.Net.RoutePoints.Count(); ++i)
        RP.push_back(Point(Map.Net.RoutePoints[i]));
    J["RoutePoints"] = RP;
    Json Order = Json::array();
    Json Objects = Json::array();
    for (std::int32_t ID : D.Order) {
        Order.push_back(ID);
        Objects.push_back(ObjectJson(Map.ObjectByID(ID)));
    }
    J["Order"] = Order;
    J["Objects"] = Objects;
    return J.dump(1);
}

std::string MapSummary(TZemMap& Map) {
    std::map<std::string, int> Kinds;
    for (std::int32_t ID : Map.Doc.Order)
        ++Kinds[ObjectKindName(Map.ObjectByID(ID).Kind)];
    std::string S;
    char Line[512];
    std::snprintf(Line, sizeof Line, "document:      %s\nobjects:       %d\n",
                  ToUtf8(Map.Doc.DocumentName).c_str(), Map.Count());
    S += Line;
    for (const auto& [Kind, n] : Kinds) {
        std::snprintf(Line, sizeof Line, "  %-16s %d\n", Kind.c_str(), n);
        S += Line;
    }
    std::snprintf(Line, sizeof Line,
                  "directories:   %zu streets, %zu indexes, %zu cities, %zu areas, %zu object types, "
                  "%zu transport types\n"
                  "libraries:     %d pictures, %d icons\n"
                  "search points: %d\n"
                  "view:          scale %g %%, left-top (%g, %g), extent %g x %g\n"
                  "global extent: (%g, %g) %g x %g\n"
                  "compression:   level %d\n",
                  Map.Doc.Streets.size(), Map.Doc.Indexes.size(), Map.Doc.Cities.size(), Map.Doc.Areas.size(),
                  Map.Doc.ObjectTypes.size(), Map.Doc.TransportTypes.size(), Map.Doc.Bitmaps->Count(),
                  Map.Doc.Icons->Count(), Map.Net.RoutePoints.Count(), Map.View.Scale, Map.View.LeftTop.X,
                  Map.View.LeftTop.Y, Map.View.ViewWidthHeight.X, Map.View.ViewWidthHeight.Y,
                  Map.View.GlobalLeftTop.X, Map.View.GlobalLeftTop.Y, Map.View.GlobalWidthHeight.X,
                  Map.View.GlobalWidthHeight.Y, Map.Doc.Compression);
    S += Line;
    return S;
}

} // namespace zem
