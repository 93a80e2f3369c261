// Which kinds of transport the view draws.
#include "model/ZemMap.h"

#include <algorithm>
#include <vector>

namespace zem {

void TZemMap::SetVisibleTransportTypes(std::span<const std::int32_t> Types) {
    std::vector<std::int32_t> Sorted(Types.begin(), Types.end());
    std::sort(Sorted.begin(), Sorted.end());
    Sorted.erase(std::unique(Sorted.begin(), Sorted.end()), Sorted.end());
    Net.VisibleTransportTypes.Clear();
    for (std::int32_t T : Sorted)
        Net.VisibleTransportTypes.Add(T);
    Refresh();
}

} // namespace zem
