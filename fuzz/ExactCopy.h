#pragma once
// The input of a fuzz target in a heap block of exactly its size, so that AddressSanitizer reports a read
// even one byte past its end (the fuzzer's own buffer, or a vector's spare capacity, could hide it).
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>

namespace zem {

namespace fuzzing {

class TExactCopy {
public:
    TExactCopy(const std::uint8_t* Data, std::size_t Size)
        : FBytes(std::make_unique_for_overwrite<std::uint8_t[]>(Size)), FSize(Size) {
        if (Size != 0)
            std::memcpy(FBytes.get(), Data, Size);
    }
    explicit TExactCopy(std::span<const std::uint8_t> Data) : TExactCopy(Data.data(), Data.size()) {}

    const std::uint8_t* Data() const { return FBytes.get(); }
    std::size_t Size() const { return FSize; }
    std::span<const std::uint8_t> Span() const { return {FBytes.get(), FSize}; }

private:
    std::unique_ptr<std::uint8_t[]> FBytes;
    std::size_t FSize;
};

} // namespace fuzzing

} // namespace zem
