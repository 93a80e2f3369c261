// The keyboard of the map control: Escape, Space panning, Ctrl+Tab, Delete, the arrows, numeric-pad
// zoom and undo. The host forwards its key messages while the map has the focus.
#include "editing/ZemTools.h"
#include "model/ZemMap.h"
#include "platform/ZemHost.h"
#include "transport/ZemGeneticSearch.h"

namespace zem {

void TZemMap::KeyDown(std::int32_t Key, TZemShiftState Shift) {
    const bool Ctrl = (Shift & ssCtrl) != 0;
    Edit.CtrlDown = Ctrl;
    Edit.SpaceHand = Key == vk::Space;

    switch (Key) {
    case vk::Escape:
        // Ends a drag and an object left half-built (nothing is added): kept, it would go on following
        // the pointer under the selection tool.
        LeaveTool();
        Edit.CurrentTool = tSelectObject;
        Edit.SpaceSwitched = false;
        Tool().Activate(*this);
        if (OnChangeCurrentTool)
            OnChangeCurrentTool(*this, tSelectObject);
        if (FTransportTask->Running())
            FTransportTask->Stop();
        return;
    case vk::Tab:
        if (Ctrl && Edit.CurrentObject != -1 && Doc.Objects.Count() > 0) {
            FHost.SetFocus();
            // The next stored ID in ascending order, wrapping; only IDs that exist are ever chosen.
            const std::int32_t Index = Doc.Objects.IndexOf(Edit.CurrentObject);
            std::int32_t Next = 0;
            if (Index >= 0)
                Next = (Index + 1) % Doc.Objects.Count();
            else
                while (Next < Doc.Objects.Count() && Doc.Objects.Keys(Next) < Edit.CurrentObject)
                    ++Next;
            Edit.CurrentObject = Doc.Objects.Keys(Next % Doc.Objects.Count());
            Redraw();
        }
        return;
    case vk::Delete:
        if (Edit.CurrentObject != -1 && ObjectExists(Edit.CurrentObject)) {
            CancelDrag();
            DeleteObject(Edit.CurrentObject);
        }
        return;
    case vk::Left:
    case vk::Up:
    case vk::Right:
    case vk::Down:
        UpdateVisibleList();
        UpdateMiniMapFrame();
        Redraw();
        return;
    case vk::Add:
    case vk::Subtract:
        KeypadZoom(Key);
        return;
    case vk::KeyZ:
        if (Ctrl) {
            if (Shift & ssShift)
                Redo();
            else
                Undo();
        }
        return;
    case vk::KeyY:
        if (Ctrl)
            Redo();
        return;
    default:
        return;
    }
}

void TZemMap::KeyUp(std::int32_t Key, TZemShiftState Shift) {
    Edit.CtrlDown = (Shift & ssCtrl) != 0;
    if (Key != vk::Space)
        return;
    Edit.SpaceHand = false;
    Edit.Cursor = crStandard;
    FHost.SetCursor(crStandard);
    // Only a tool that a press switched to the hand comes back; otherwise the user's tool stays.
    if (Edit.SpaceSwitched) {
        Edit.SpaceSwitched = false;
        Edit.CurrentTool = Edit.SavedTool;
    }
}

} // namespace zem
