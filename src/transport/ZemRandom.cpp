// SplitMix64: small state, so a reseed costs nothing, and good enough statistics for a randomised walk.
#include "transport/ZemRandom.h"

#include <chrono>

namespace zem {

namespace {

std::uint64_t ClockSeed() {
    return static_cast<std::uint64_t>(std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

} // namespace

TZemRandom::TZemRandom() : FState(ClockSeed()) {}

TZemRandom::TZemRandom(std::uint64_t Seed) : FState(Seed), FFixed(true) {}

std::uint64_t TZemRandom::Next() {
    std::uint64_t Z = (FState += 0x9E3779B97F4A7C15ull);
    Z = (Z ^ (Z >> 30)) * 0xBF58476D1CE4E5B9ull;
    Z = (Z ^ (Z >> 27)) * 0x94D049BB133111EBull;
    return Z ^ (Z >> 31);
}

std::int32_t TZemRandom::Uniform(std::int32_t N) {
    if (N <= 0)
        return 0;
    // Multiply-shift on the high 32 bits: the bias is below 2^-32 for every N the search uses.
    return static_cast<std::int32_t>(((Next() >> 32) * static_cast<std::uint64_t>(N)) >> 32);
}

void TZemRandom::Reseed() {
    if (FFixed)
        return;
    // A millisecond clock would hand several reseeds within one tick the same sequence; mixing in a
    // count keeps them apart.
    FState = ClockSeed() ^ (++FReseeds * 0xD1B54A32D192ED03ull);
}

} // namespace zem
