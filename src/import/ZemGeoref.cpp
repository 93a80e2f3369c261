#include "import/ZemGeoref.h"

#include "model/ZemMap.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace zem {

namespace {

constexpr double kEarthRadius = 6378137.0; // WGS84 semi-major axis, metres
constexpr double kMaxLat = 85.0;

double Radians(double Deg) {
    return Deg * std::numbers::pi / 180.0;
}

// Mercator's northing of a latitude on the unit sphere.
double Northing(double Lat) {
    return std::log(std::tan(std::numbers::pi / 4 + Radians(Lat) / 2));
}

bool StartsWith(const ZemString& S, const ZemString& Prefix) {
    return S.size() >= Prefix.size() && S.compare(0, Prefix.size(), Prefix) == 0;
}

} // namespace

void TZemGeoBox::Add(const TZemGeoPoint& P) {
    if (Empty) {
        West = East = P.Lon;
        South = North = P.Lat;
        Empty = false;
        return;
    }
    West = std::min(West, P.Lon);
    East = std::max(East, P.Lon);
    South = std::min(South, P.Lat);
    North = std::max(North, P.Lat);
}

void TZemGeoBox::Merge(const TZemGeoBox& B) {
    if (B.Empty)
        return;
    Add(TZemGeoPoint{B.West, B.South});
    Add(TZemGeoPoint{B.East, B.North});
}

bool TZemGeoBox::Contains(const TZemGeoPoint& P) const {
    return !Empty && P.Lon >= West && P.Lon <= East && P.Lat >= South && P.Lat <= North;
}

bool ValidGeoPoint(const TZemGeoPoint& P) {
    return std::isfinite(P.Lon) && std::isfinite(P.Lat) && std::fabs(P.Lat) <= kMaxLat &&
           std::fabs(P.Lon) <= 180.0;
}

TZemGeoref TZemGeoref::ForBox(const TZemGeoBox& Box, double Margin) {
    TZemGeoref G;
    G.Lon0 = (Box.West + Box.East) / 2;
    G.Lat0 = (Box.South + Box.North) / 2;
    double X = 0, Y = 0;
    G.Project(TZemGeoPoint{Box.West, Box.North}, X, Y);
    G.OffsetX = Margin - X;
    G.OffsetY = Margin - Y;
    return G;
}

void TZemGeoref::Project(const TZemGeoPoint& P, double& X, double& Y) const {
    const double K = kEarthRadius * std::cos(Radians(Lat0));
    X = OffsetX + K * Radians(P.Lon - Lon0);
    // Mercator runs to infinity at the poles: latitudes beyond its range go to its edge.
    Y = OffsetY - K * (Northing(std::clamp(P.Lat, -kMaxLat, kMaxLat)) - Northing(Lat0));
}

TXYPoint TZemGeoref::Project(const TZemGeoPoint& P) const {
    double X = 0, Y = 0;
    Project(P, X, Y);
    return TXYPoint{static_cast<float>(X), static_cast<float>(Y)};
}

TZemGeoPoint TZemGeoref::Unproject(double X, double Y) const {
    const double K = kEarthRadius * std::cos(Radians(Lat0));
    const double Lon = Lon0 + (X - OffsetX) / K * 180.0 / std::numbers::pi;
    const double N = Northing(Lat0) - (Y - OffsetY) / K;
    const double Lat = (2 * std::atan(std::exp(N)) - std::numbers::pi / 2) * 180.0 / std::numbers::pi;
    return TZemGeoPoint{Lon, Lat};
}

ZemString TZemGeoref::ToLine() const {
    char Buf[160];
    // %.7f of degrees is a centimetre; the C locale's point is what FromLine reads.
    std::snprintf(Buf, sizeof Buf, " %.7f %.7f %.3f %.3f", Lat0, Lon0, OffsetX, OffsetY);
    return FromUtf8(kGeorefLinePrefix) + Buf;
}

std::optional<TZemGeoref> TZemGeoref::FromLine(const ZemString& Line) {
    const ZemString Prefix = FromUtf8(kGeorefLinePrefix);
    if (!StartsWith(Line, Prefix))
        return std::nullopt;
    double V[4];
    const char* P = Line.data() + Prefix.size();
    const char* End = Line.data() + Line.size();
    for (double& D : V) {
        while (P < End && *P == ' ')
            ++P;
        const auto [Next, Ec] = std::from_chars(P, End, D);
        if (Ec != std::errc() || !std::isfinite(D))
            return std::nullopt;
        P = Next;
    }
    TZemGeoref G;
    G.Lat0 = V[0];
    G.Lon0 = V[1];
    G.OffsetX = V[2];
    G.OffsetY = V[3];
    if (!ValidGeoPoint(TZemGeoPoint{G.Lon0, G.Lat0}) || std::fabs(G.OffsetX) > 1e8 ||
        std::fabs(G.OffsetY) > 1e8)
        return std::nullopt;
    return G;
}

std::optional<TZemGeoref> FindGeoref(const TZemMap& Map) {
    for (const ZemString& Line : Map.Doc.ObjectTypes)
        if (auto G = TZemGeoref::FromLine(Line))
            return G;
    return std::nullopt;
}

void StoreGeoref(TZemMap& Map, const TZemGeoref& G) {
    for (ZemString& Line : Map.Doc.ObjectTypes)
        if (TZemGeoref::FromLine(Line)) {
            Line = G.ToLine();
            return;
        }
    Map.Doc.ObjectTypes.push_back(G.ToLine());
}

TZemGeoref GeorefFor(TZemMap& Map, const TZemGeoBox& Box) {
    if (auto G = FindGeoref(Map))
        return *G;
    const TZemGeoref G = TZemGeoref::ForBox(Box);
    StoreGeoref(Map, G);
    return G;
}

} // namespace zem
