#include "base/ZemXYArray.h"

#include <algorithm>

namespace zem {

void TZemXYArray::Add(const TXYPoint& P) {
    FPoints.push_back(P);
}

void TZemXYArray::AddArray(const TZemXYArray& Source) {
    if (&Source == this) {
        std::vector<TXYPoint> Copy(FPoints);
        FPoints.insert(FPoints.end(), Copy.begin(), Copy.end());
        return;
    }
    FPoints.insert(FPoints.end(), Source.FPoints.begin(), Source.FPoints.end());
}

void TZemXYArray::Insert(std::int32_t Index, const TXYPoint& P) {
    if (Index >= Count() || Index < 0) {
        // Negative indexes never come from callers; appending is the harmless reading.
        FPoints.push_back(P);
        return;
    }
    FPoints.insert(FPoints.begin() + Index, P);
}

void TZemXYArray::Delete(std::int32_t Index) {
    if (FPoints.empty())
        return;
    if (Index >= Count() - 1 || Index < 0) {
        FPoints.pop_back();
        return;
    }
    FPoints.erase(FPoints.begin() + Index);
}

void TZemXYArray::GetPoint(std::int32_t Index, TXYPoint& P) const {
    if (Index >= 0 && Index < Count())
        P = FPoints[static_cast<size_t>(Index)];
}

void TZemXYArray::SetPoint(std::int32_t Index, const TXYPoint& P) {
    if (Index >= 0 && Index < Count())
        FPoints[static_cast<size_t>(Index)] = P;
}

void TZemXYArray::Clear() {
    std::vector<TXYPoint>().swap(FPoints);
}

void TZemXYArray::MaxPoint(TXYPoint& P) const {
    if (FPoints.empty())
        return;
    TXYPoint R = FPoints[0];
    for (const TXYPoint& Q : FPoints) {
        R.X = std::max(R.X, Q.X);
        R.Y = std::max(R.Y, Q.Y);
    }
    P = R;
}

void TZemXYArray::MinPoint(TXYPoint& P) const {
    if (FPoints.empty())
        return;
    TXYPoint R = FPoints[0];
    for (const TXYPoint& Q : FPoints) {
        R.X = std::min(R.X, Q.X);
        R.Y = std::min(R.Y, Q.Y);
    }
    P = R;
}

} // namespace zem
