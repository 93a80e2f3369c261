#pragma once
// Bringing a part of the world into view: what the window does when it shows the user something the
// user asked for (a route found, a stretch of it), so that it is on screen rather than beside it.
#include "base/ZemLists.h"
#include "base/ZemXYArray.h"

#include <cstdint>
#include <optional>

namespace zem {

class TZemMap;

// The box around the points of the stored objects among IDs (points rather than boxes: a junction's box
// is set only once it is drawn); nothing when none of them has a finite point.
std::optional<TXYRect> PointsBox(const TZemMap& Map, const TIntegerList& IDs);

// Shows Box wholly, Margin pixels inside the window's edges. Nothing changes when it is in view already;
// otherwise the view is centred on it, at the same scale when it fits there and at the largest scale at
// which it fits when it does not. True when the view moved.
bool BringIntoView(TZemMap& Map, const TXYRect& Box, std::int32_t Margin = 24);

} // namespace zem
