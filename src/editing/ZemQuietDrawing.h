#pragma once
// Drawing waits while a TZemQuietDrawing lives (AutoUpdate off, then as it was): a command that changes
// many objects refreshes the view once afterwards instead of once per change.
#include "model/ZemMap.h"

namespace zem {

class TZemQuietDrawing {
public:
    explicit TZemQuietDrawing(TZemMap& Map) : FFlag(Map.View.AutoUpdate), FSaved(FFlag) { FFlag = false; }
    ~TZemQuietDrawing() { FFlag = FSaved; }
    TZemQuietDrawing(const TZemQuietDrawing&) = delete;
    TZemQuietDrawing& operator=(const TZemQuietDrawing&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};

} // namespace zem
