#pragma once
// A 400 x 400 map at scale 100 on a headless host, where a screen pixel is a world unit, driven through
// its pointer and key handlers as the window would.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <initializer_list>
#include <vector>

namespace zem::pointertest {

struct PointerFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    void Move(int X, int Y, TZemShiftState S = 0) { Map.MouseMove(S, X, Y); }
    void Press(int X, int Y, TZemShiftState S = 0) { Map.MouseDown(TZemMouseButton::mbLeft, S, X, Y); }
    void Release(int X, int Y, TZemShiftState S = 0) { Map.MouseUp(TZemMouseButton::mbLeft, S, X, Y); }
    void Click(int X, int Y) {
        Move(X, Y);
        Press(X, Y);
        Release(X, Y);
    }
    void RightClick(int X, int Y) {
        Move(X, Y);
        Map.MouseDown(TZemMouseButton::mbRight, 0, X, Y);
        Map.MouseUp(TZemMouseButton::mbRight, 0, X, Y);
    }
    // Press at the first point, move through the others, release at the last.
    void Drag(std::initializer_list<TPoint> Path, TZemShiftState S = 0) {
        const TPoint* P = Path.begin();
        Move(P->X, P->Y, S);
        Press(P->X, P->Y, S);
        for (++P; P != Path.end(); ++P)
            Move(P->X, P->Y, S);
        Release(Path.end()[-1].X, Path.end()[-1].Y, S);
    }
    std::int32_t Add(TObjectKind Kind, std::initializer_list<TXYPoint> Pts) {
        TZemObject O;
        O.Kind = Kind;
        for (const TXYPoint& P : Pts)
            O.AddPoint(P);
        Map.AddObject(O);
        return Map.Doc.MaxID - 1;
    }
    // The last object stored.
    const TZemObject& Last() { return Map.ObjectByID(Map.Doc.Order[Map.Doc.Order.Count() - 1]); }
    std::vector<TXYPoint> Points(const TZemObject& O) {
        return std::vector<TXYPoint>(O.Points().Data(), O.Points().Data() + O.PointCount());
    }
};

} // namespace zem::pointertest
