#include "model/ZemXYArray.h"

#include <algorithm>

void TZemXYArray::Add(const TXYPoint& P) {
    Points.push_back(P);
}

void TZemXYArray::AddArray(const TZemXYArray& Source) {
    if (&Source == this) {
        std::vector<TXYPoint> Copy(Points);
        Points.insert(Points.end(), Copy.begin(), Copy.end());
        return;
    }
    Points.insert(Points.end(), Source.Points.begin(), Source.Points.end());
}

void TZemXYArray::Insert(std::int32_t Index, const TXYPoint& P) {
    if (Index >= Count() || Index < 0) {
        // Negative indexes never come from callers; appending is the harmless reading.
        Points.push_back(P);
        return;
    }
    Points.insert(Points.begin() + Index, P);
}

void TZemXYArray::Delete(std::int32_t Index) {
    if (Points.empty())
        return;
    if (Index >= Count() - 1 || Index < 0) {
        Points.pop_back();
        return;
    }
    Points.erase(Points.begin() + Index);
}

void TZemXYArray::GetPoint(std::int32_t Index, TXYPoint& P) const {
    if (Index >= 0 && Index < Count())
        P = Points[static_cast<size_t>(Index)];
}

void TZemXYArray::SetPoint(std::int32_t Index, const TXYPoint& P) {
    if (Index >= 0 && Index < Count())
        Points[static_cast<size_t>(Index)] = P;
}

void TZemXYArray::Clear() {
    std::vector<TXYPoint>().swap(Points);
}

void TZemXYArray::MaxPoint(TXYPoint& P) const {
    if (Points.empty())
        return;
    TXYPoint R = Points[0];
    for (const TXYPoint& Q : Points) {
        R.X = std::max(R.X, Q.X);
        R.Y = std::max(R.Y, Q.Y);
    }
    P = R;
}

void TZemXYArray::MinPoint(TXYPoint& P) const {
    if (Points.empty())
        return;
    TXYPoint R = Points[0];
    for (const TXYPoint& Q : Points) {
        R.X = std::min(R.X, Q.X);
        R.Y = std::min(R.Y, Q.Y);
    }
    P = R;
}
