// Why this is fast: every pixel is widened once into four 16-bit lanes of a 64-bit word, so a row's
// horizontal sums (a + 4b + c, at most 1530 a lane) take three adds and a shift per pixel for all four
// channels at once; three rows of these sums roll down the picture, so the vertical pass (at most 9180 a
// lane, still inside 16 bits) costs the same again and the surface is written in place. Only the final
// division by 36 is done lane by lane, as a multiply and a shift.
#include "view/ZemSmooth.h"

#include <array>
#include <cstdint>
#include <vector>

namespace zem {

namespace {

using u64 = std::uint64_t;

inline u64 Widen(TColor32 C) {
    return (u64(C) & 0xFF) | (u64(C) & 0xFF00) << 8 | (u64(C) & 0xFF0000) << 16 | (u64(C) & 0xFF000000) << 24;
}

// The horizontal sums of one row into Out.
void RowSums(const TColor32* Row, int Width, u64* Wide, u64* Out) {
    for (int x = 0; x < Width; ++x)
        Wide[x] = Widen(Row[x]);
    for (int x = 0; x < Width; ++x) {
        const u64 L = Wide[x > 0 ? x - 1 : 0], R = Wide[x + 1 < Width ? x + 1 : x];
        Out[x] = L + (Wide[x] << 2) + R;
    }
}

// A lane sum of weight 36 back to a byte: (S * 1821 + 32768) >> 16 is S / 36 rounded for S <= 9180.
inline TColor32 Narrow(u64 S) {
    auto Lane = [S](int Shift) {
        return static_cast<TColor32>((((S >> Shift) & 0xFFFF) * 1821 + 32768) >> 16);
    };
    return Lane(0) | Lane(16) << 8 | Lane(32) << 16 | Lane(48) << 24;
}

} // namespace

void SmoothFrame(TBitmap32& Surface) {
    if (Surface.Empty())
        return;
    const int W = Surface.Width(), H = Surface.Height();
    std::vector<u64> Wide(static_cast<std::size_t>(W));
    std::array<std::vector<u64>, 3> Rows;
    for (auto& R : Rows)
        R.resize(static_cast<std::size_t>(W));
    // Rows[0] above, Rows[1] the current row, Rows[2] below, all from the unsmoothed picture.
    RowSums(Surface.ScanLine(0), W, Wide.data(), Rows[1].data());
    Rows[0] = Rows[1];
    for (int y = 0; y < H; ++y) {
        if (y + 1 < H)
            RowSums(Surface.ScanLine(y + 1), W, Wide.data(), Rows[2].data());
        else
            Rows[2] = Rows[1];
        const u64 *A = Rows[0].data(), *B = Rows[1].data(), *C = Rows[2].data();
        TColor32* Out = Surface.ScanLine(y);
        for (int x = 0; x < W; ++x)
            Out[x] = Narrow(A[x] + (B[x] << 2) + C[x]);
        std::swap(Rows[0], Rows[1]);
        std::swap(Rows[1], Rows[2]);
    }
}

} // namespace zem
