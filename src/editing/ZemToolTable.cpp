// The table of tools: the one place where a TObjectTool value meets the class that does its work.
#include "editing/ZemTools.h"

#include <array>

namespace zem {

const TZemTool& ToolOf(TObjectTool Tool) {
    // The tools hold no state, so one constant instance of each serves every map.
    static const TZemIdleTool Idle;
    static const TZemPanTool Pan;
    static const TZemZoomInTool ZoomIn;
    static const TZemZoomOutTool ZoomOut;
    static const TZemSelectTool Select;
    static const TZemPickColorTool PickColor;
    static const TZemMeasureTool Measure;
    static const TZemPointListTool Polygon{otPolygon, 1, true, true};
    static const TZemBoxTool Rectangle{otRectangle};
    static const TZemPointListTool Line{otLine, 1, true, false};
    static const TZemBoxTool Ellipse{otEllipse};
    static const TZemPointListTool Bezier{otBezier, 3, false, false};
    static const TZemOnePressTool Junction{otRoadCross};
    static const TZemSegmentTool Segment;
    static const TZemSelectRectTool SelectRect;
    static const TZemBoxTool Text{otText};
    static const TZemPointListTool Picture{otBmp, 1, false, false};
    static const TZemOnePressTool Icon{otIco};
    static const TZemSearchPointTool SearchPoints;
    // In the order of TObjectTool, tNone ... tNote.
    static const std::array<const TZemTool*, tNote + 1> kTable{
        &Idle,      &Pan,  &ZoomIn,  &ZoomOut, &Select,       &PickColor, &Measure,    &Polygon,
        &Rectangle, &Line, &Ellipse, &Bezier,  &Junction,     &Segment,   &SelectRect, &Idle,
        &Idle,      &Text, &Picture, &Icon,    &SearchPoints, &Idle};
    return Tool <= tNote ? *kTable[Tool] : Idle;
}

} // namespace zem
