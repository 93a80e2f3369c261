#pragma once
// Drawing waits while a TQuietMap lives: a command that changes many things refreshes once afterwards.
#include "model/ZemMap.h"

namespace zem {

class TQuietMap {
public:
    explicit TQuietMap(TZemMap& Map) : FFlag(Map.View.AutoUpdate), FSaved(FFlag) { FFlag = false; }
    ~TQuietMap() { FFlag = FSaved; }
    TQuietMap(const TQuietMap&) = delete;
    TQuietMap& operator=(const TQuietMap&) = delete;

private:
    bool& FFlag;
    bool FSaved;
};

} // namespace zem
