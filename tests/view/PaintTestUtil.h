#pragma once
// A map on a headless host with helpers that add coloured objects and read the rendered frame.
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"
#include "view/ZemRasterColor.h"

#include <gtest/gtest.h>

#include <initializer_list>

namespace zem {

namespace painttest {

constexpr TColor Back = RGBColor(0, 128, 0); // the map's default background
constexpr TColor Red = RGBColor(255, 0, 0);
constexpr TColor Blue = RGBColor(0, 0, 255);
constexpr TColor Yellow = RGBColor(255, 255, 0);

inline TColor32 C32(TColor C) {
    return ToColor32(static_cast<std::uint32_t>(C));
}

struct MapFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    // Adds an object and returns its ID.
    std::int32_t Add(TObjectKind Kind, std::initializer_list<TXYPoint> Pts, TColor Pen = Red,
                     TColor Brush = Blue, std::int8_t Plane = 0) {
        TZemObject O;
        O.Kind = Kind;
        O.Pen.Color = Pen;
        O.Brush.Color = Brush;
        O.Brush.Style = 0;
        for (const TXYPoint& P : Pts)
            O.AddPoint(P);
        O.SetPlane(Plane);
        Map.AddObject(O);
        return Map.Doc.MaxID - 1;
    }
    std::int32_t Square(float X, float Y, float S, TColor Pen = Red, TColor Brush = Blue,
                        std::int8_t Plane = 0) {
        return Add(otPolygon, {{X, Y}, {X + S, Y}, {X + S, Y + S}, {X, Y + S}}, Pen, Brush, Plane);
    }
    TColor32 Pixel(int X, int Y) const { return Map.BackBuffer.GetPixel(X, Y); }
    int Count(TColor32 C) const {
        int N = 0;
        for (int Y = 0; Y < Map.BackBuffer.Height(); ++Y)
            for (int X = 0; X < Map.BackBuffer.Width(); ++X)
                N += Map.BackBuffer.GetPixel(X, Y) == C;
        return N;
    }
    int CountNot(TColor32 C) const { return Map.BackBuffer.Width() * Map.BackBuffer.Height() - Count(C); }
    // Pixels of colour C in the rows Y1 ... Y2 (inclusive).
    int CountRows(TColor32 C, int Y1, int Y2) const {
        int N = 0;
        for (int Y = Y1; Y <= Y2; ++Y)
            for (int X = 0; X < Map.BackBuffer.Width(); ++X)
                N += Map.BackBuffer.GetPixel(X, Y) == C;
        return N;
    }
    // Pixels within a rectangle (both corners included) whose channels each lie within Tolerance of C:
    // text is anti-aliased, so few of its pixels carry the exact colour.
    int CountNear(TColor32 C, int X1, int Y1, int X2, int Y2, int Tolerance = 80) const {
        auto Close = [&](std::uint32_t A, std::uint32_t B) {
            return (A > B ? A - B : B - A) <= std::uint32_t(Tolerance);
        };
        int N = 0;
        for (int Y = Y1; Y <= Y2; ++Y)
            for (int X = X1; X <= X2; ++X) {
                const TColor32 P = Map.BackBuffer.GetPixel(X, Y);
                N +=
                    Close(RedOf(P), RedOf(C)) && Close(GreenOf(P), GreenOf(C)) && Close(BlueOf(P), BlueOf(C));
            }
        return N;
    }
    void ClearBuffer() { Map.BackBuffer.Clear(C32(Back)); }
};

} // namespace painttest

} // namespace zem
