#pragma once
// The georeference of a map: how WGS84 longitude and latitude become world coordinates in metres (x east,
// y south as on screen), and where a map keeps it so that a later import lands on the same plane.
//
// The plane is a spherical Mercator scaled to true metres at the reference latitude: conformal, so
// buildings keep their right angles, and within a city (tens of kilometres) lengths are off by well
// under one per cent.
//
// A map keeps its georeference as one line of its object-types directory, starting with
// kGeorefLinePrefix. Directory lines are plain strings to every reader (the loader, the text export,
// older builds of the program), no object refers to that line, and the file format stays as it is.
#include "model/ZemText.h"
#include "model/ZemXYArray.h"

#include <optional>

namespace zem {

class TZemMap;

// Degrees of WGS84 longitude and latitude.
struct TZemGeoPoint {
    double Lon = 0.0;
    double Lat = 0.0;
};

// A longitude/latitude box, empty until a point is added.
struct TZemGeoBox {
    double West = 0.0, South = 0.0, East = 0.0, North = 0.0;
    bool Empty = true;

    void Add(const TZemGeoPoint& P);
    void Merge(const TZemGeoBox& B);
    bool Contains(const TZemGeoPoint& P) const;
};

// Whether a point is a usable WGS84 position (finite, |lat| <= 85 where Mercator still holds, |lon| <= 180).
bool ValidGeoPoint(const TZemGeoPoint& P);

// World metres from the top-left of the data to the nearest edge of the plane a new georeference opens.
constexpr double kGeorefMargin = 20.0;

// The start of the object-types directory line that holds a map's georeference (UTF-8 here; the
// directory keeps it in Windows-1251).
constexpr const char* kGeorefLinePrefix = "Геопривязка WGS84:";

class TZemGeoref {
public:
    // Reference point: the projection's centre, whose latitude gives the scale.
    double Lon0 = 0.0;
    double Lat0 = 0.0;
    // World position of the reference point.
    double OffsetX = 0.0;
    double OffsetY = 0.0;

    // A plane centred on the box, shifted so that the box's north-west corner lies at (Margin, Margin):
    // every point of the box then has positive coordinates. The box must not be empty.
    static TZemGeoref ForBox(const TZemGeoBox& Box, double Margin = kGeorefMargin);

    // World metres, in double and in the map's single precision; latitudes beyond ±85° count as ±85°.
    void Project(const TZemGeoPoint& P, double& X, double& Y) const;
    TXYPoint Project(const TZemGeoPoint& P) const;
    // The inverse, for reports and tests.
    TZemGeoPoint Unproject(double X, double Y) const;

    // The directory line ("Геопривязка WGS84: lat0 lon0 x0 y0", Windows-1251) and its parse; a line that
    // does not start with the prefix or whose numbers are not sound gives nothing.
    ZemString ToLine() const;
    static std::optional<TZemGeoref> FromLine(const ZemString& Line);
};

// The georeference the map keeps (the first such line of its object types), if any.
std::optional<TZemGeoref> FindGeoref(const TZemMap& Map);
// Keeps G in the map, replacing the line of an earlier one or appending a new line.
void StoreGeoref(TZemMap& Map, const TZemGeoref& G);
// The map's own georeference; when it has none, a new one for Box, stored in the map.
TZemGeoref GeorefFor(TZemMap& Map, const TZemGeoBox& Box);

} // namespace zem
