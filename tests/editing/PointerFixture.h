#pragma once
// A 400 x 400 map at scale 100 on a headless host (a pixel is a world unit), driven as the window would.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <vector>

namespace zem::pointertest {

using Pts = std::vector<TXYPoint>;

struct PointerFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    void Move(int X, int Y) { Map.MouseMove(0, X, Y); }
    void Press(int X, int Y, TZemShiftState S = 0) { Map.MouseDown(TZemMouseButton::mbLeft, S, X, Y); }
    void Release(int X, int Y) { Map.MouseUp(TZemMouseButton::mbLeft, 0, X, Y); }
    void Right(int X, int Y) { Map.MouseDown(TZemMouseButton::mbRight, 0, X, Y); }
    // Moves to the first point and presses, moves through the rest and releases at the last.
    void Drag(std::vector<TPoint> Path, TZemShiftState S = 0) {
        Move(Path[0].X, Path[0].Y);
        Press(Path[0].X, Path[0].Y, S);
        for (size_t i = 1; i < Path.size(); ++i)
            Move(Path[i].X, Path[i].Y);
        Release(Path.back().X, Path.back().Y);
    }
    void Click(int X, int Y) { Drag({{X, Y}}); }
    std::int32_t Add(TObjectKind Kind, Pts Points) {
        TZemObject O;
        O.Kind = Kind;
        O.AddPoints(Points);
        Map.AddObject(O);
        return Map.Doc.MaxID - 1;
    }
    const TZemObject& Last() { return Map.ObjectByID(Map.Doc.Order[Map.Doc.Order.Count() - 1]); }
    static Pts Points(const TZemObject& O) {
        return Pts(O.Points().Data(), O.Points().Data() + O.PointCount());
    }
};

} // namespace zem::pointertest
