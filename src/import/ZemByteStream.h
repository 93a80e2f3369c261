#pragma once
// A source of bytes read front to back: one table of a feed, from a folder or from inside a zip.
#include <cstddef>
#include <cstdint>

namespace zem {

class TByteStream {
public:
    virtual ~TByteStream() = default;
    // Reads up to Size bytes; 0 only at the end. Raises EZemError when the bytes cannot be had.
    virtual std::size_t Read(char* Into, std::size_t Size) = 0;
    // The stream's whole size when known in advance (for progress), else 0.
    virtual std::uint64_t Size() const = 0;
};

} // namespace zem
