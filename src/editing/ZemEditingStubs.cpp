// Placeholders while the editing engine is being built on its branches; each branch deletes the
// definitions it implements, and this file goes when the last of them lands.
#include "model/ZemMap.h"

namespace zem {

void TZemMap::BeginChange() {}
void TZemMap::EndChange() {}
void TZemMap::TouchObject(std::int32_t) {}
void TZemMap::TouchDirectories() {}
void TZemMap::TouchSettings() {}
void TZemMap::TouchRoutePoints() {}
void TZemMap::ChangeObject(std::int32_t ID, const std::function<void(TZemObject&)>& Change) {
    Change(ObjectByID(ID));
}
bool TZemMap::CanUndo() const {
    return false;
}
bool TZemMap::CanRedo() const {
    return false;
}
void TZemMap::Undo() {}
void TZemMap::Redo() {}
void TZemMap::ClearHistory() {}
void TZemMap::MarkSaved() {}
bool TZemMap::Modified() const {
    return false;
}

} // namespace zem
