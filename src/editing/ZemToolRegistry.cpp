// The rows of the tool registry, the tool objects they name and the states a map keeps for them.
#include "editing/ZemToolRegistry.h"
#include "editing/ZemTools.h"

#include <array>
#include <iterator>

namespace zem {

namespace {

// Constants: what a tool keeps lives in the state each map makes for it, so one object serves every map.
constexpr TZemIdleTool kNone{tNone}, kPixel{tPixel}, kBezierFill{tBezierFill}, kNote{tNote};
constexpr TZemSelectTool kSelect{tSelectObject};
constexpr TZemPanTool kPan{tMapMove};
constexpr TZemPickColorTool kPickColor{tChoiseColor};
constexpr TZemZoomInTool kZoomIn{tZoomIn};
constexpr TZemZoomOutTool kZoomOut{tZoomOut};
constexpr TZemPointListTool kLine{tLine, otLine, 1, true, false};
constexpr TZemBoxTool kRectangle{tRectangle, otRectangle};
constexpr TZemPointListTool kPolygon{tPolygon, otPolygon, 1, true, true};
constexpr TZemBoxTool kEllipse{tEllipse, otEllipse};
constexpr TZemBoxTool kText{tText, otText};
constexpr TZemPointListTool kBezier{tBezier, otBezier, 3, false, false};
constexpr TZemSelectRectTool kSelectRect{tSelectRect};
constexpr TZemMeasureTool kMeasure{tMeasure};
constexpr TZemOnePressTool kJunction{tRoadCross, otRoadCross};
constexpr TZemSegmentTool kSegment{tRoadCrossLine};
constexpr TZemSearchPointTool kSearchPoints{tRoadPoint};
constexpr TZemPointListTool kPicture{tPic, otBmp, 1, false, false};
constexpr TZemOnePressTool kIcon{tIco, otIco};

using enum TZemToolGroup;

constexpr TZemToolRow kRows[] = {
    {&kSelect, "SelectObject", "Выбор и редактирование объектов", -1, tgView},
    {&kPan, "MapMove", "Перемещение карты", crHand, tgView},
    {&kPickColor, "ChoiseColor", "Взять цвет с карты", crChoiseColor, tgView},
    {&kZoomIn, "ZoomIn", "Увеличить (щелчок или рамка)", crZoomIn, tgView},
    {&kZoomOut, "ZoomOut", "Уменьшить", crZoomOut, tgView},
    {&kLine, "LineB", "Ломаная линия", -1, tgDraw},
    {&kRectangle, "RectangleB", "Прямоугольник", -1, tgDraw},
    {&kPolygon, "Polygon", "Многоугольник", -1, tgDraw},
    {&kEllipse, "EllipseB", "Эллипс", -1, tgDraw},
    {&kText, "FontB", "Текст", -1, tgDraw},
    {&kBezier, "BezierB", "Кривая Безье", -1, tgDraw},
    {&kSelectRect, "SelectedRect", "Выделение рамкой", -1, tgDraw},
    {&kMeasure, "Measure", "Измерение расстояний", crMeasure, tgDraw},
    {&kJunction, "RoadCross", "Расстановка узловых точек транспортной сети", -1, tgNetwork},
    {&kSegment, "RoadCrossLine", "Расстановка узловых прямых соединяющие транспортную сеть", -1, tgNetwork},
    {&kSearchPoints, "RoadPointsB", "Вершины от которых осуществляется поиск на транспортной сети", -1,
     tgNetwork},
    {&kPicture, "ImageB", "Картинка из библиотеки", -1, tgLibrary},
    {&kIcon, "IconListB", "Иконка из библиотеки", -1, tgLibrary},
    {&kNone, nullptr, nullptr, -1, tgNone},
    {&kPixel, nullptr, nullptr, -1, tgNone},
    {&kBezierFill, nullptr, nullptr, -1, tgNone},
    {&kNote, nullptr, nullptr, -1, tgNone},
};

// Every tool has exactly one row, and a row has a button exactly when it is in a group.
consteval bool EveryToolOnce() {
    for (std::size_t Tool = 0; Tool < kToolCount; ++Tool) {
        int Rows = 0;
        for (const TZemToolRow& R : kRows)
            Rows += R.Tool->Key() == Tool;
        if (Rows != 1)
            return false;
    }
    for (const TZemToolRow& R : kRows)
        if ((R.Icon != nullptr) != (R.Group != tgNone) || (R.Tip != nullptr) != (R.Icon != nullptr))
            return false;
    return std::size(kRows) == kToolCount;
}
static_assert(EveryToolOnce(), "every TObjectTool needs exactly one row in kRows");

// The place of each tool's row in kRows.
constexpr auto kRowOf = [] {
    std::array<std::uint8_t, kToolCount> Of{};
    for (std::size_t i = 0; i < std::size(kRows); ++i)
        Of[kRows[i].Tool->Key()] = static_cast<std::uint8_t>(i);
    return Of;
}();

} // namespace

TObjectTool TZemToolRow::Key() const {
    return Tool->Key();
}

std::span<const TZemToolRow> ToolRows() {
    return kRows;
}

const TZemToolRow& ToolRow(TObjectTool Tool) {
    return kRows[kRowOf[Tool < kToolCount ? Tool : tNone]];
}

const TZemTool& ToolOf(TObjectTool Tool) {
    return *ToolRow(Tool).Tool;
}

TZemToolStates::TZemToolStates() {
    for (const TZemToolRow& R : kRows)
        FStates[R.Key()] = R.Tool->NewState();
}

TZemToolStates::~TZemToolStates() = default;

void TZemToolStates::Clear() {
    for (const auto& State : FStates)
        if (State)
            State->Clear();
}

TZemEditState::TZemEditState(TZemToolStates& Tools)
    : MeasurePoints(kMeasure.State(Tools).Points), SelectionRect(kSelectRect.State(Tools).Rect),
      PickedColor(kPickColor.State(Tools).Picked) {}

} // namespace zem
