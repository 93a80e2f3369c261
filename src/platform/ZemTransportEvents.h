#pragma once
// The route search's progress events. Apart from the task itself so that the map can hold handlers for them
// without seeing the search.
#include "base/ZemLists.h"

#include <cstdint>
#include <functional>

namespace zem {

class TZemTransportTask;

// How a route search looks for its route: the genetic search of the classic program, or the exact
// cheapest route under the same cost.
enum class TZemRouteMethod { rmGenetic, rmExact };

using TOnFindTransportPath =
    std::function<void(TZemTransportTask& Sender, std::int32_t Index1, std::int32_t Index2,
                       const TIntegerList& Arr, const TIntegerList& AnswereCurrent)>;
using TOnGenerations =
    std::function<void(TZemTransportTask& Sender, std::int32_t TotalCount, std::int32_t ToStopGen)>;

} // namespace zem
