#pragma once
// The registry of tools: one row per TObjectTool, the one place where a tool meets the class that does
// its work, its button on the tool bar and its cursor. Adding a tool means a class (ZemTools.h), a row
// (ZemToolRegistry.cpp) and, for a tool with a button, an icon (ui/ZemToolIcons.cpp).
#include "model/ZemMap.h"

#include <cstdint>
#include <span>

namespace zem {

class TZemTool;

// Where a tool's button stands on the tool bar: the buttons of a group stand together, a separator
// between one group and the next.
enum class TZemToolGroup : std::uint8_t {
    tgNone,    // no button
    tgView,    // selecting, panning, the colour pick, zooming
    tgDraw,    // the shapes and texts, the rubber band, measuring
    tgNetwork, // the transport network and the search points of a route
    tgLibrary, // pictures and icons of the map's libraries
};

struct TZemToolRow {
    const TZemTool* Tool; // the class that does the tool's work; its Key() is the row's key
    const char* Icon;     // the button's component name, which is also its icon's key; null: no button
    const char* Tip;      // the button's text and tool tip (UTF-8); null: no button
    std::int32_t Cursor;  // away from the edge zones (TZemCursor); -1 leaves it to the hovered handle
    TZemToolGroup Group;
    TObjectTool Key() const;
};

// Every row, in the order of the buttons on the tool bar (the tools without a button last).
std::span<const TZemToolRow> ToolRows();
// The row of a tool; tNone's for a value beyond the last tool.
const TZemToolRow& ToolRow(TObjectTool Tool);

} // namespace zem
