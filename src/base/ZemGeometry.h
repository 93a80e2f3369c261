#pragma once
// Geometry helpers: rectangles for culling, the integer point-in-polygon test for hit testing.
#include "base/ZemXYArray.h"

namespace zem {

TXYPoint XYPoint(float X, float Y);
TXYRect XYRect(float Left, float Top, float Right, float Bottom);
// Inclusive on all four sides.
bool PointInRect(const TPoint& P, const TRect& R);
// Not normalised.
TRect PointsToRect(const TPoint& P1, const TPoint& P2);
float PointDistance(const TPoint& P1, const TPoint& P2);
bool IsXYRectEmpty(const TXYRect& R);
// U = A widened by B when B is not empty; false (and U zeroed) when the result is empty.
bool UnionXYRect(TXYRect& U, const TXYRect& A, const TXYRect& B);
// Rectangles that only touch along an edge or at a corner intersect.
bool XYRectsIntersect(const TXYRect& A, const TXYRect& B);
// Crossing count on both sides of P; the polygon is closed implicitly.
bool PointInPolygon(const TArrayPoint& Points, const TPoint& P);

} // namespace zem
