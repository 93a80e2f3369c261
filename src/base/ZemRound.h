#pragma once
// Every world/screen conversion rounds through this helper: to nearest, ties to even, on the
// extended-precision value, keeping the low 32 bits of the 64-bit result.
#include <cmath>
#include <cstdint>

namespace zem {

inline std::int64_t Round64(long double Value) {
    // rintl honours the default rounding mode, which is round-half-to-even. It gives what nearbyintl
    // gives, only raising the inexact flag that nothing reads, and costs a tenth: the visible list and
    // the painters convert several points per object.
    long double r = std::rintl(Value);
    if (!(r >= -9.2233720368547758e18L && r < 9.2233720368547758e18L))
        return INT64_MIN; // out of range or NaN: the x87 "integer indefinite" value
    return static_cast<std::int64_t>(r);
}

inline std::int32_t Round(long double Value) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(static_cast<std::uint64_t>(Round64(Value))));
}

} // namespace zem
