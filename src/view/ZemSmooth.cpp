// Why this is fast: the filter is separable and its weights are small integers, so the frame is treated
// as rows of bytes (four channels a pixel, all filtered alike) widened to 16 bits: a row's horizontal
// sums (a + 4b + c, at most 1530) and the vertical sum of three such rows (at most 9180) never leave 16
// bits, and SSE2 does sixteen channels at a time. Three rows of horizontal sums roll down the picture,
// so the surface is written in place with 12 KB a row of scratch. The division by 36 is a high-half
// multiply: floor((v + 18) * 1821 / 65536), which gives back every flat colour exactly.
#include "view/ZemSmooth.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {

namespace {

using u16 = std::uint16_t;
using u8 = std::uint8_t;

inline u8 Narrow(unsigned V) {
    return static_cast<u8>(((V + 18) * 1821u) >> 16);
}

// Horizontal sums of one row of N = 4 * width bytes; an edge pixel stands in for its missing neighbour.
void RowSums(const u8* B, int N, u16* Out) {
    if (N == 4) {
        for (int i = 0; i < 4; ++i)
            Out[i] = static_cast<u16>(B[i] * 6);
        return;
    }
    int i = 0;
    for (; i < 4; ++i)
        Out[i] = static_cast<u16>(B[i] * 5 + B[i + 4]);
#if defined(__SSE2__)
    const __m128i Zero = _mm_setzero_si128();
    for (; i + 16 + 4 <= N; i += 16) {
        const __m128i L = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + i - 4));
        const __m128i C = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + i));
        const __m128i R = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + i + 4));
        const __m128i Lo = _mm_add_epi16(
            _mm_add_epi16(_mm_unpacklo_epi8(L, Zero), _mm_slli_epi16(_mm_unpacklo_epi8(C, Zero), 2)),
            _mm_unpacklo_epi8(R, Zero));
        const __m128i Hi = _mm_add_epi16(
            _mm_add_epi16(_mm_unpackhi_epi8(L, Zero), _mm_slli_epi16(_mm_unpackhi_epi8(C, Zero), 2)),
            _mm_unpackhi_epi8(R, Zero));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i), Lo);
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i + 8), Hi);
    }
#endif
    for (; i < N - 4; ++i)
        Out[i] = static_cast<u16>(B[i - 4] + B[i] * 4 + B[i + 4]);
    for (; i < N; ++i)
        Out[i] = static_cast<u16>(B[i - 4] + B[i] * 5);
}

// One output row from the sums of the rows above, at and below it.
void VerticalRow(const u16* A, const u16* B, const u16* C, int N, u8* Out) {
    int i = 0;
#if defined(__SSE2__)
    const __m128i Bias = _mm_set1_epi16(18), Factor = _mm_set1_epi16(1821);
    auto Eight = [&](int k) {
        const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(A + k));
        const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(B + k));
        const __m128i c = _mm_loadu_si128(reinterpret_cast<const __m128i*>(C + k));
        const __m128i v = _mm_add_epi16(_mm_add_epi16(a, _mm_slli_epi16(b, 2)), _mm_add_epi16(c, Bias));
        return _mm_mulhi_epu16(v, Factor);
    };
    for (; i + 16 <= N; i += 16)
        _mm_storeu_si128(reinterpret_cast<__m128i*>(Out + i), _mm_packus_epi16(Eight(i), Eight(i + 8)));
#endif
    for (; i < N; ++i)
        Out[i] = Narrow(A[i] + B[i] * 4u + C[i]);
}

} // namespace

void SmoothFrame(TBitmap32& Surface) {
    if (Surface.Empty())
        return;
    const int H = Surface.Height(), N = Surface.Width() * 4;
    std::array<std::vector<u16>, 3> Rows;
    for (auto& R : Rows)
        R.resize(static_cast<std::size_t>(N));
    auto Bytes = [&](int Y) { return reinterpret_cast<u8*>(Surface.ScanLine(Y)); };
    // Rows[0] above, Rows[1] the current row, Rows[2] below, all from the unsmoothed picture.
    RowSums(Bytes(0), N, Rows[1].data());
    Rows[0] = Rows[1];
    for (int y = 0; y < H; ++y) {
        if (y + 1 < H)
            RowSums(Bytes(y + 1), N, Rows[2].data());
        else
            Rows[2] = Rows[1];
        VerticalRow(Rows[0].data(), Rows[1].data(), Rows[2].data(), N, Bytes(y));
        std::swap(Rows[0], Rows[1]);
        std::swap(Rows[1], Rows[2]);
    }
}

} // namespace zem
