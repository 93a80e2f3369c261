#include "PaintTestUtil.h"

#include "images/ZemBmpList.h"

#include <cmath>
#include <limits>

using namespace zem;

using namespace painttest;

namespace {

class TRandom {
public:
    explicit TRandom(std::uint32_t Seed) : State(Seed) {}
    std::uint32_t Next() {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
    int Below(int N) { return static_cast<int>(Next() % static_cast<std::uint32_t>(N)); }
    float Coordinate() {
        switch (Below(12)) {
        case 0:
            return std::numeric_limits<float>::quiet_NaN();
        case 1:
            return Below(2) ? 3e38f : -3e38f;
        case 2:
            return Below(2) ? 2.2e9f : -2.2e9f;
        default:
            return static_cast<float>(Below(1200)) - 400;
        }
    }

private:
    std::uint32_t State;
};

} // namespace

// Objects of every kind with odd point counts, absurd coordinates, pens, brushes and references, drawn
// at several scales with every overlay on: each frame must complete.
TEST_F(MapFixture, ArbitraryObjectsNeverBreakAFrame) {
    TRandom R(2024);
    Map.View.AutoUpdate = false;
    for (int i = 0; i < 300; ++i) {
        TZemObject O;
        O.Kind = static_cast<TObjectKind>(R.Below(11));
        const int N = R.Below(8);
        for (int k = 0; k < N; ++k)
            O.AddPoint(R.Coordinate(), R.Coordinate());
        O.Pen.Width = R.Below(60);
        O.Pen.Style = static_cast<std::uint8_t>(R.Below(6));
        O.Pen.Flags = R.Below(3);
        O.Pen.Color = static_cast<TColor>(R.Next());
        O.Brush.Style = static_cast<std::uint8_t>(R.Below(10));
        O.Brush.Color = static_cast<TColor>(R.Next());
        O.Font.Size = R.Below(200) - 20;
        O.Font.Name = R.Below(2) ? "Arial" : "";
        O.SetText(R.Below(2) ? "\xC4\xEE\xEC 1" : "");
        O.SetAngle(R.Below(4) ? static_cast<float>(R.Below(700)) / 100
                              : std::numeric_limits<float>::quiet_NaN());
        O.SetCtl3D(R.Below(2));
        O.SetHeight3D(static_cast<float>(R.Below(2000)) - 500);
        O.SetIconIndex(R.Below(5) - 2);
        O.BitmapIndex = R.Below(5) - 2;
        O.StartCrossID = R.Below(400) - 50;
        O.EndCrossID = R.Below(400) - 50;
        O.SetDirection(static_cast<std::uint8_t>(R.Below(4) == 3 ? 255 : R.Below(3)));
        O.SetPlane(static_cast<std::int8_t>(R.Below(256) - 128));
        TZemAddress A;
        A.Number = R.Below(2) ? "7" : "";
        A.Number2 = R.Below(3) ? "" : "2";
        O.SetAddress(A);
        Map.AddObject(O);
    }
    TBitmap32 Pic(7, 5);
    Pic.Clear(0xFF336699);
    const zem::TZemImage Picture = zem::ImageOf(Pic.View());
    Map.Doc.Bitmaps->Add(&Picture);
    Map.Net.ShowTransportNet = true;
    Map.Doc.ShowGrid = true;
    Map.Edit.MeasurePoints.Add({10, 10});
    Map.Edit.MeasurePoints.Add({std::numeric_limits<float>::quiet_NaN(), 3e38f});
    Map.Net.RoutePoints.Add({-3e38f, 50});
    for (std::int32_t ID = 0; ID < 300; ID += 7)
        Map.Net.RouteHighlight.Add(ID);
    Map.NewObject.Kind = otBezier;
    Map.NewObject.AddPoint(5, 5);
    Map.Edit.Creating = true;
    Map.View.AntiAlias = true;
    Map.View.AutoUpdate = true;
    int Frames = 0;
    for (float S : {1.0f, 37.0f, 100.0f, 450.0f, 9000.0f}) {
        Map.SetScale(S);
        for (std::int32_t Mode = 0; Mode < 3; ++Mode) {
            Map.Edit.EditMode = Mode;
            Map.Edit.CurrentObject = R.Below(300);
            Map.NewObject.Kind = static_cast<TObjectKind>(R.Below(11));
            EXPECT_NO_THROW(Map.Refresh());
            ++Frames;
        }
    }
    EXPECT_GE(Host.PresentCount, Frames);
}
