#pragma once
// The two halves of TZemMap::SaveToBytes, for a writer that must not hold the map's thread for long (the
// recovery copy): the content is gathered quickly on the map's thread; packing it into a whole map file
// touches nothing of the map and may run on another thread.
#include <cstdint>
#include <memory>
#include <vector>

namespace zem {

class TBinaryWriter;
class TZemMap;

// The frame's content, value by value. Report: with the progress events of a save (OnMapProgress).
// SizeHint: the bytes expected (the last content's length), so that the buffer is allocated once.
std::unique_ptr<TBinaryWriter> SaveMapContent(TZemMap& Map, bool Report, std::int32_t SizeHint = 0);
// The whole map file: the 64-byte header and the content packed at Level (0 ... 4). Raises EZemError for
// content larger than a frame may hold.
std::vector<std::uint8_t> PackMapFile(const TBinaryWriter& Content, std::uint8_t Level);

} // namespace zem
