// libFuzzer target: the map loader from memory. Any input must end in success or in the loader's one
// message, without a crash, a leak or an allocation the input cannot justify.
//
// The frame's checksum would stop almost every mutation before the parser, so the first byte chooses:
// odd, the rest is a whole file; even, the rest is the frame's content, wrapped here in a sound frame so
// that the record parser itself is explored.
#include "ExactCopy.h"
#include "MapFileInput.h"
#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "platform/ZemHeadlessHost.h"

#include <cstddef>
#include <cstdint>
#include <span>

using namespace zem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const std::vector<std::uint8_t> File = fuzzing::MapFileFromInput(Data, Size);
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.LoadFromBytes(fuzzing::TExactCopy(File).Span());
    // Whatever was kept must be consistent enough to draw and save.
    for (std::int32_t ID : Map.Doc.Order)
        (void)Map.ObjectByID(ID);
    Map.Doc.Compression = 1;
    (void)Map.SaveToBytes();
    return 0;
}
