#pragma once
// How the map fuzz targets read an input: the first byte chooses between a whole file (odd) and the
// frame's content wrapped in a sound frame (even), so that mutations reach the content past the checksum.
#include "persistence/ZemBinaryStream.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem::fuzzing {

// Size must be at least 1.
inline std::vector<std::uint8_t> MapFileFromInput(const std::uint8_t* Data, std::size_t Size) {
    std::vector<std::uint8_t> File;
    if (Data[0] & 1) {
        File.assign(Data + 1, Data + Size);
    } else {
        TBinaryWriter W(0);
        W.WriteBytes(Data + 1, static_cast<std::int32_t>(Size - 1));
        File.assign(64, ' ');
        W.SaveToStream(File, 0);
    }
    return File;
}

} // namespace zem::fuzzing
