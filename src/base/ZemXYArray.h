#pragma once
// World points and the point list of a map object.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace zem {

// One world point; world units are map units, Y grows downwards as on the screen.
struct TXYPoint {
    float X = 0.0f;
    float Y = 0.0f;
    friend bool operator==(const TXYPoint&, const TXYPoint&) = default;
};

// Bit for bit, so that -0 and 0 differ and a NaN equals itself: what a file would store.
constexpr bool SameBits(float A, float B) {
    return std::bit_cast<std::uint32_t>(A) == std::bit_cast<std::uint32_t>(B);
}
constexpr bool SameBits(const TXYPoint& A, const TXYPoint& B) {
    return SameBits(A.X, B.X) && SameBits(A.Y, B.Y);
}

// A world rectangle; "empty" unless Right >= Left and Bottom >= Top.
struct TXYRect {
    float Left = 0.0f;
    float Top = 0.0f;
    float Right = 0.0f;
    float Bottom = 0.0f;
    friend bool operator==(const TXYRect&, const TXYRect&) = default;
};

// Integer (screen) point and rectangle.
struct TPoint {
    std::int32_t X = 0;
    std::int32_t Y = 0;
    friend bool operator==(const TPoint&, const TPoint&) = default;
};

struct TRect {
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    std::int32_t Right = 0;
    std::int32_t Bottom = 0;
    friend bool operator==(const TRect&, const TRect&) = default;
};

using TArrayPoint = std::vector<TPoint>;

// The point list of one object. Out-of-range reads leave the destination unchanged and out-of-range
// writes are ignored: callers rely on that instead of checking indexes themselves.
class TZemXYArray {
public:
    std::int32_t Count() const { return static_cast<std::int32_t>(FPoints.size()); }
    bool Empty() const { return FPoints.empty(); }

    void Add(const TXYPoint& P);
    void AddArray(const TZemXYArray& Source);
    void Append(std::span<const TXYPoint> Source) {
        FPoints.insert(FPoints.end(), Source.begin(), Source.end());
    }
    // Inserts before Index; an Index at or past the end appends.
    void Insert(std::int32_t Index, const TXYPoint& P);
    // Removes the point at Index; an Index at or past the last point removes the last point.
    void Delete(std::int32_t Index);
    void GetPoint(std::int32_t Index, TXYPoint& P) const;
    void SetPoint(std::int32_t Index, const TXYPoint& P);
    void Clear();
    void MaxPoint(TXYPoint& P) const;
    void MinPoint(TXYPoint& P) const;

    // Direct access for painters and streams; Index must be valid.
    const TXYPoint& operator[](std::int32_t Index) const { return FPoints[static_cast<size_t>(Index)]; }
    const TXYPoint* Data() const { return FPoints.data(); }

    friend bool operator==(const TZemXYArray&, const TZemXYArray&) = default;

private:
    std::vector<TXYPoint> FPoints;
};

} // namespace zem
