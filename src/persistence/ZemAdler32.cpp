#include "persistence/ZemAdler32.h"

namespace zem {

namespace {
constexpr std::uint32_t kModulus = 65521;
// The most bytes whose sums cannot overflow 32 bits before they are reduced.
constexpr std::size_t kRun = 5552;
} // namespace

std::uint32_t Adler32(const void* Data, std::size_t Size, std::uint32_t Adler) {
    const auto* P = static_cast<const std::uint8_t*>(Data);
    std::uint32_t A = Adler & 0xFFFF;
    std::uint32_t B = Adler >> 16;
    while (Size > 0) {
        std::size_t N = Size < kRun ? Size : kRun;
        Size -= N;
        for (; N >= 8; N -= 8, P += 8) {
            A += P[0];
            B += A;
            A += P[1];
            B += A;
            A += P[2];
            B += A;
            A += P[3];
            B += A;
            A += P[4];
            B += A;
            A += P[5];
            B += A;
            A += P[6];
            B += A;
            A += P[7];
            B += A;
        }
        for (; N > 0; --N) {
            A += *P++;
            B += A;
        }
        A %= kModulus;
        B %= kModulus;
    }
    return (B << 16) | A;
}

} // namespace zem
