// Placeholders while the editing engine is being built on its branches; each branch deletes the
// definitions it implements, and this file goes when the last of them lands.
#include "model/ZemMap.h"

namespace zem {

void TZemMap::MouseDown(TZemMouseButton, TZemShiftState, std::int32_t, std::int32_t) {}
void TZemMap::MouseMove(TZemShiftState, std::int32_t, std::int32_t) {}
void TZemMap::MouseUp(TZemMouseButton, TZemShiftState, std::int32_t, std::int32_t) {}
void TZemMap::DblClick(TZemShiftState, std::int32_t, std::int32_t) {}
void TZemMap::KeyDown(std::int32_t, TZemShiftState) {}
void TZemMap::KeyUp(std::int32_t, TZemShiftState) {}
void TZemMap::SetCurrentTool(TObjectTool Tool) {
    Edit.CurrentTool = Tool;
}
std::int32_t TZemMap::ChooseCursor(std::int32_t, std::int32_t, std::int32_t) const {
    return crStandard;
}

} // namespace zem
