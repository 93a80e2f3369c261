#pragma once
// A generated city for the render benchmarks: a grid of blocks cut by streets, each block holding
// buildings (pseudo-3D, numbered) or a park with a pond and icons, street names, a river drawn as a Bézier
// chain and a transport network of junctions and segments along the streets. About ten objects a block.
#include "model/ZemMap.h"

#include <cstdint>
#include <memory>
#include <string>

namespace zem {

namespace citygen {

constexpr float BlockSize = 200.0f; // world units between street axes
constexpr float StreetGap = 20.0f;

class TRandom {
public:
    explicit TRandom(std::uint32_t Seed) : State(Seed) {}
    std::uint32_t Next() {
        State = State * 1664525u + 1013904223u;
        return State >> 8;
    }
    int Below(int N) { return static_cast<int>(Next() % static_cast<std::uint32_t>(N)); }

private:
    std::uint32_t State;
};

// Stores a copy of the template under the next ID the way loading does: no undo step, no redraw. A city
// of a million objects would otherwise fill the undo history to its budget while it is built.
inline void Put(TZemMap& Map, const TZemObject& Template) {
    auto O = std::make_unique<TZemObject>();
    O->ID = Map.Doc.MaxID;
    O->Assign(Template);
    Map.StoreObject(std::move(O));
}

inline void Rect(TZemObject& O, float X, float Y, float W, float H) {
    O.ClearPoints();
    O.AddPoint(X, Y);
    O.AddPoint(X + W, Y);
    O.AddPoint(X + W, Y + H);
    O.AddPoint(X, Y + H);
}

// Builds BlocksX x BlocksY blocks into Map (which should be empty); AutoUpdate is off meanwhile, and the
// undo history stays empty.
inline void BuildCity(TZemMap& Map, int BlocksX, int BlocksY, std::uint32_t Seed = 7) {
    TRandom R(Seed);
    Map.View.AutoUpdate = false;
    const TColor Walls[] = {RGBColor(236, 222, 196), RGBColor(214, 214, 214), RGBColor(240, 200, 170),
                            RGBColor(200, 210, 230), RGBColor(230, 230, 200)};
    const float W = BlocksX * BlockSize, H = BlocksY * BlockSize;

    TZemObject O;
    // Streets along every grid line.
    O.Kind = otLine;
    O.Pen.Color = RGBColor(150, 150, 150);
    O.Pen.Width = 16;
    O.Pen.Flags = 1;
    for (int i = 0; i <= BlocksY; ++i) {
        O.ClearPoints();
        O.AddPoint(0, i * BlockSize);
        O.AddPoint(W, i * BlockSize);
        Put(Map, O);
    }
    for (int i = 0; i <= BlocksX; ++i) {
        O.ClearPoints();
        O.AddPoint(i * BlockSize, 0);
        O.AddPoint(i * BlockSize, H);
        Put(Map, O);
    }

    for (int by = 0; by < BlocksY; ++by)
        for (int bx = 0; bx < BlocksX; ++bx) {
            const float X0 = bx * BlockSize + StreetGap, Y0 = by * BlockSize + StreetGap;
            const float Inner = BlockSize - 2 * StreetGap;
            if ((bx * 7 + by * 3) % 11 == 0) {
                // A park: lawn with a hatched flower bed, a pond and two icons.
                TZemObject P;
                P.Kind = otPolygon;
                P.Pen.Color = RGBColor(40, 110, 40);
                P.Brush.Color = RGBColor(120, 190, 100);
                P.Brush.Style = 0;
                Rect(P, X0, Y0, Inner, Inner);
                Put(Map, P);
                P.Brush.Color = RGBColor(200, 60, 90);
                P.Brush.Style = 7;
                Rect(P, X0 + 10, Y0 + 10, 50, 40);
                Put(Map, P);
                TZemObject E;
                E.Kind = otEllipse;
                E.Pen.Color = RGBColor(20, 60, 160);
                E.Brush.Color = RGBColor(90, 150, 230);
                E.Brush.Style = 0;
                E.AddPoint(X0 + 70, Y0 + 70);
                E.AddPoint(X0 + 150, Y0 + 130);
                E.SetAngle(0.3f);
                Put(Map, E);
                TZemObject I;
                I.Kind = otIco;
                I.AddPoint(X0 + 30, Y0 + 120);
                Put(Map, I);
                I.ClearPoints();
                I.AddPoint(X0 + 130, Y0 + 30);
                Put(Map, I);
            } else {
                // Two rows of four buildings.
                int Number = 1 + 2 * (bx * 4);
                for (int row = 0; row < 2; ++row)
                    for (int k = 0; k < 4; ++k) {
                        TZemObject B;
                        B.Kind = otPolygon;
                        B.Pen.Color = RGBColor(90, 80, 70);
                        B.Brush.Color = Walls[R.Below(5)];
                        B.Brush.Style = 0;
                        const float BW = 36.0f, BH = 28.0f + static_cast<float>(R.Below(40));
                        const float BX = X0 + k * (Inner / 4) + 2;
                        const float BY = row == 0 ? Y0 + 4 : Y0 + Inner - BH - 4;
                        Rect(B, BX, BY, BW, BH);
                        B.SetCtl3D(true);
                        B.SetHeight3D(static_cast<float>(6 + R.Below(24)));
                        B.SetPlane(1);
                        TZemAddress A;
                        A.Empty = false;
                        A.Number = std::to_string(Number);
                        Number += 2;
                        B.SetAddress(A);
                        Put(Map, B);
                    }
            }
            // The street's name under each block.
            TZemObject T;
            T.Kind = otText;
            T.Pen.Color = RGBColor(30, 30, 30);
            T.Font.Name = "Arial";
            T.Font.Size = 9;
            T.SetText("ul. " + std::to_string(by + 1) + "-ya");
            // Anchor and the corners of the text's box, as the text tool stores them.
            const float TX = X0 + 40, TY = (by + 1) * BlockSize - 8;
            T.AddPoint(TX, TY);
            T.AddPoint(TX + 60, TY);
            T.AddPoint(TX + 60, TY + 12);
            T.AddPoint(TX, TY + 12);
            T.SetPlane(2);
            Put(Map, T);
        }

    // A river across the town.
    TZemObject Riv;
    Riv.Kind = otBezier;
    Riv.Pen.Color = RGBColor(60, 110, 220);
    Riv.Pen.Width = 10;
    Riv.SetPlane(3);
    for (int i = 0; i <= BlocksX; ++i) {
        const float X = i * BlockSize, Y = H * 0.5f + ((i % 2) ? 60.0f : -60.0f);
        Riv.AddPoint(X - 60, Y);
        Riv.AddPoint(X, Y);
        Riv.AddPoint(X + 60, Y);
    }
    Put(Map, Riv);

    // Junctions at every other crossing, joined along the streets.
    const int NX = BlocksX / 2 + 1, NY = BlocksY / 2 + 1;
    std::vector<std::int32_t> Junction(static_cast<size_t>(NX * NY));
    TZemObject J;
    J.Kind = otRoadCross;
    for (int y = 0; y < NY; ++y)
        for (int x = 0; x < NX; ++x) {
            J.ClearPoints();
            J.AddPoint(x * 2 * BlockSize, y * 2 * BlockSize);
            Put(Map, J);
            Junction[static_cast<size_t>(y * NX + x)] = Map.Doc.MaxID - 1;
        }
    auto Segment = [&](std::int32_t A, std::int32_t B, std::uint8_t Direction) {
        TZemObject S;
        S.Kind = otRoadCrossLine;
        S.Pen.Color = RGBColor(200, 0, 160);
        S.StartCrossID = A;
        S.EndCrossID = B;
        S.SetDirection(Direction);
        S.AddPoint(Map.ObjectByID(A).Point(0));
        S.AddPoint(Map.ObjectByID(B).Point(0));
        Put(Map, S);
    };
    for (int y = 0; y < NY; ++y)
        for (int x = 0; x < NX; ++x) {
            const std::int32_t Here = Junction[static_cast<size_t>(y * NX + x)];
            if (x + 1 < NX)
                Segment(Here, Junction[static_cast<size_t>(y * NX + x + 1)],
                        static_cast<std::uint8_t>((x + y) % 3));
            if (y + 1 < NY)
                Segment(Here, Junction[static_cast<size_t>((y + 1) * NX + x)], 2);
        }
    Map.View.AutoUpdate = true;
    Map.RecalcGlobalExtent();
}

// The whole city in the window: the scale that fits the global extent, centred.
inline void ShowWhole(TZemMap& Map) {
    const float SX = 100.0f * Map.Width() / Map.View.GlobalWidthHeight.X;
    const float SY = 100.0f * Map.Height() / Map.View.GlobalWidthHeight.Y;
    const float S = SX < SY ? SX : SY;
    Map.View.AutoUpdate = false;
    Map.View.Scale = S;
    Map.View.ViewWidthHeight = {Map.Width() * 100.0f / S, Map.Height() * 100.0f / S};
    Map.View.LeftTop = {
        Map.View.GlobalLeftTop.X + Map.View.GlobalWidthHeight.X / 2 - Map.View.ViewWidthHeight.X / 2,
        Map.View.GlobalLeftTop.Y + Map.View.GlobalWidthHeight.Y / 2 - Map.View.ViewWidthHeight.Y / 2};
    Map.View.AutoUpdate = true;
    Map.UpdateVisibleList();
}

// Scale S centred on the world point (X, Y).
inline void ShowAt(TZemMap& Map, float S, float X, float Y) {
    Map.View.AutoUpdate = false;
    Map.View.Scale = S;
    Map.View.ViewWidthHeight = {Map.Width() * 100.0f / S, Map.Height() * 100.0f / S};
    Map.View.LeftTop = {X - Map.View.ViewWidthHeight.X / 2, Y - Map.View.ViewWidthHeight.Y / 2};
    Map.View.AutoUpdate = true;
    Map.UpdateVisibleList();
}

// The largest polygon of the visible list lying wholly in the window at least Margin pixels from its
// edges (clear of the edge-scroll zones); -1 when there is none.
inline std::int32_t LargestPolygonInWindow(TZemMap& Map, int Margin) {
    std::int32_t Best = -1;
    float BestArea = 0;
    for (std::int32_t ID : Map.View.VisibleList) {
        const TZemObject& O = Map.ObjectByID(ID);
        const float Area = (O.RightBottom.X - O.LeftTop.X) * (O.RightBottom.Y - O.LeftTop.Y);
        const TPoint a = Map.WorldToScreen(O.LeftTop), b = Map.WorldToScreen(O.RightBottom);
        const bool InWindow =
            a.X > Margin && a.Y > Margin && b.X < Map.Width() - Margin && b.Y < Map.Height() - Margin;
        if (O.Kind == otPolygon && Area > BestArea && InWindow) {
            Best = ID;
            BestArea = Area;
        }
    }
    return Best;
}

} // namespace citygen

} // namespace zem
