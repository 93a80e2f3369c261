#pragma once
// The little-endian reading and writing shared by the picture and icon libraries' stream format:
// a 32-bit count, then per entry a 32-bit size and that many bytes.
#include "base/ZemInputCheck.h"

#include <cstdint>
#include <span>
#include <vector>

namespace zem {

inline void PutInt32(std::vector<std::uint8_t>& Out, std::int32_t V) {
    const auto u = static_cast<std::uint32_t>(V);
    for (int i = 0; i < 4; ++i)
        Out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

// Reads the library stream; every read is checked against the end of the data.
class TLibraryReader {
public:
    explicit TLibraryReader(std::span<const std::uint8_t> Data) : FData(Data) {}

    std::int32_t ReadInt32() {
        Need(4);
        std::uint32_t u = 0;
        for (int i = 0; i < 4; ++i)
            u |= static_cast<std::uint32_t>(FData[FPos + i]) << (8 * i);
        FPos += 4;
        return static_cast<std::int32_t>(u);
    }

    std::span<const std::uint8_t> ReadBytes(std::int32_t N) {
        Need(static_cast<std::size_t>(N));
        auto S = FData.subspan(FPos, static_cast<std::size_t>(N));
        FPos += static_cast<std::size_t>(N);
        return S;
    }

    std::size_t Left() const { return FData.size() - FPos; }

private:
    void Need(std::size_t N) const { CheckInput(N <= FData.size() - FPos, TInputFault::PastEnd); }
    std::span<const std::uint8_t> FData;
    std::size_t FPos = 0;
};

} // namespace zem
