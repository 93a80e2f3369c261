// Live blinking: the blink set follows the objects' flags, and the blink timer runs exactly while the
// set is not empty. A tick only flips the phase. In the flashed phase the painter of a blinking object
// puts the complemented colours into the object for the length of its paint and then the stored ones
// back (view/ZemFlashColours.h), so that nothing outside the paint ever sees them.
#include "editing/ZemBlink.h"

#include "model/ZemMap.h"
#include "platform/ZemTimer.h"

namespace zem {

namespace {

// The hash set cannot take a key out; blink sets are a handful of objects, so it is built anew.
void RemoveKey(TIntegerHashtable<std::int32_t>& Set, std::int32_t Key) {
    const std::vector<std::int32_t> Keys = Set.KeyList();
    Set.Clear();
    for (std::int32_t K : Keys)
        if (K != Key)
            Set.Add(K, 0);
}

} // namespace

void TZemMap::SyncBlink(std::int32_t ID) {
    // The ID may name no object any more (deleted, or taken back by undo): it then leaves the set.
    auto* Slot = Doc.Objects.Find(ID);
    const bool Blinks = Slot && (*Slot)->Blink();
    if (Blinks == View.BlinkSet.Contains(ID))
        return;
    if (Blinks)
        View.BlinkSet.Add(ID, 0);
    else
        RemoveKey(View.BlinkSet, ID);
    UpdateBlinkTimer();
}

void TZemMap::FillBlinkSet() {
    View.BlinkSet.Clear();
    for (std::int32_t i = 0; i < Doc.Objects.Count(); ++i)
        if (Doc.Objects.Values(i)->Blink())
            View.BlinkSet.Add(Doc.Objects.Keys(i), 0);
    UpdateBlinkTimer();
}

void TZemMap::UpdateBlinkTimer() {
    const bool Any = View.BlinkSet.Count() > 0;
    if (!Any)
        View.BlinkFlashed = false;
    FBlinkTimer->SetEnabled(Any);
}

void TZemMap::BlinkTick() {
    View.BlinkFlashed = !View.BlinkFlashed;
    // Off-screen blinking costs no frame.
    for (std::int32_t ID : View.VisibleList)
        if (View.BlinkSet.Contains(ID)) {
            Redraw();
            return;
        }
}

} // namespace zem
