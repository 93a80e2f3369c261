#pragma once
// Plane geometry of the import, on projected points: polygons with holes as one ring, points in rings,
// a route's ways chained into one path and cut at its stops, and where a street's label goes.
#include "model/ZemXYArray.h"

#include <optional>
#include <span>
#include <vector>

namespace zem {

using TZemPath = std::vector<TXYPoint>;

// Drops repeated points, and the closing point of a ring.
void DropRepeats(TZemPath& P, bool Ring);

// One ring that draws as Outer with the Inners cut out under an even-odd fill: each hole is joined to
// the ring by a bridge walked there and back, from the ring's point nearest to it.
TZemPath KeyholeRing(TZemPath Outer, std::span<const TZemPath> Inners);

// Whether P lies inside the ring (even-odd rule; a point on the boundary may go either way).
bool PointInRing(const TXYPoint& P, std::span<const TXYPoint> Ring);

// The ways of a route chained in member order into one path: each way is turned to continue where the
// last one ended (the first one too, when the second shows it was given backwards).
TZemPath ChainWays(std::span<const TZemPath> Ways);

// Where the stops lie along Path, in their order: for each stop the index of the path's point after
// which its nearest point lies, searching only forwards from the stop before; -1 for a stop farther than
// MaxOff from the path (its legs are then straight).
std::vector<std::int32_t> StopsAlongPath(std::span<const TXYPoint> Path, std::span<const TXYPoint> Stops,
                                         double MaxOff = 60.0);

// A street label: the corners of its box (point 0 anchors the text) and its angle, over the nearly
// straight stretch of Line nearest its middle that is at least as long as the text (Width world units),
// turned along it and never upside down. Nothing when no stretch is long and straight enough.
struct TLabelPlace {
    TXYPoint Corners[4];
    float Angle = 0;
    TXYPoint Middle;
};
std::optional<TLabelPlace> PlaceLabel(std::span<const TXYPoint> Line, double Width, double Height);

} // namespace zem
