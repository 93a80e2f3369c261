#include "persistence/ZemAdler32.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {

namespace {
constexpr std::uint32_t kModulus = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced.
constexpr std::size_t kRun = 5552;
static_assert(kRun % 16 == 0);

// Adds N bytes to the two sums, one byte at a time; the sums are reduced by the caller.
void AddBytes(const std::uint8_t*& P, std::size_t N, std::uint32_t& A, std::uint32_t& B) {
    for (; N > 0; --N) {
        A += *P++;
        B += A;
    }
}

#if defined(__SSE2__)
// Adds Blocks x 16 bytes (at most kRun) to the sums. For a block of bytes b0..b15 taken with first sum A,
// the second sum grows by 16 A + (16 b0 + 15 b1 + ... + 1 b15); the first sums of the blocks are A plus
// the byte sums of the blocks before. So three vector sums do: the bytes, the byte sums before each block,
// and the weighted bytes.
void AddBlocks(const std::uint8_t*& P, std::size_t Blocks, std::uint32_t& A, std::uint32_t& B) {
    const __m128i Zero = _mm_setzero_si128();
    const __m128i WeightsLow = _mm_set_epi16(9, 10, 11, 12, 13, 14, 15, 16);
    const __m128i WeightsHigh = _mm_set_epi16(1, 2, 3, 4, 5, 6, 7, 8);
    __m128i Sum = Zero, SumsBefore = Zero, Weighted = Zero;
    for (std::size_t k = 0; k < Blocks; ++k, P += 16) {
        const __m128i V = _mm_loadu_si128(reinterpret_cast<const __m128i*>(P));
        SumsBefore = _mm_add_epi32(SumsBefore, Sum);
        Sum = _mm_add_epi32(Sum, _mm_sad_epu8(V, Zero));
        Weighted = _mm_add_epi32(Weighted, _mm_madd_epi16(_mm_unpacklo_epi8(V, Zero), WeightsLow));
        Weighted = _mm_add_epi32(Weighted, _mm_madd_epi16(_mm_unpackhi_epi8(V, Zero), WeightsHigh));
    }
    auto Total = [](__m128i X) {
        alignas(16) std::uint32_t Lanes[4];
        _mm_store_si128(reinterpret_cast<__m128i*>(Lanes), X);
        return std::uint64_t{Lanes[0]} + Lanes[1] + Lanes[2] + Lanes[3];
    };
    const std::uint64_t NewB = B + 16 * Blocks * std::uint64_t{A} + 16 * Total(SumsBefore) + Total(Weighted);
    A = static_cast<std::uint32_t>(A + Total(Sum));
    B = static_cast<std::uint32_t>(NewB % kModulus);
}
#endif

} // namespace

std::uint32_t Adler32(const void* Data, std::size_t Size, std::uint32_t Adler) {
    const auto* P = static_cast<const std::uint8_t*>(Data);
    std::uint32_t A = Adler & 0xFFFF;
    std::uint32_t B = Adler >> 16;
    while (Size > 0) {
        const std::size_t N = Size < kRun ? Size : kRun;
        Size -= N;
#if defined(__SSE2__)
        AddBlocks(P, N / 16, A, B);
        AddBytes(P, N % 16, A, B);
#else
        AddBytes(P, N, A, B);
#endif
        A %= kModulus;
        B %= kModulus;
    }
    return (B << 16) | A;
}

} // namespace zem
