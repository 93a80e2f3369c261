#include "transport/ZemNetworkGraph.h"

#include "base/ZemNumberText.h"

#include "model/ZemObject.h"

#include <cmath>

namespace zem {

void TZemNetworkGraph::Clear() {
    Vertices.Clear();
    Tables.Clear();
    Tables.TrimCapacity();
}

long double SegmentLength(const TZemObject& Segment) {
    const TZemXYArray& P = Segment.Points();
    long double Sum = 0.0L;
    for (std::int32_t i = 1; i < P.Count(); ++i) {
        const long double dx = static_cast<long double>(P[i].X) - P[i - 1].X;
        const long double dy = static_cast<long double>(P[i].Y) - P[i - 1].Y;
        Sum += std::sqrt(dx * dx + dy * dy);
    }
    return Sum;
}

std::string FormatFloat(long double Value) {
    // The same general format as the text export, with '.' whatever the locale, so scripts can read it.
    return GeneralFloatText(Value, '.');
}

} // namespace zem
