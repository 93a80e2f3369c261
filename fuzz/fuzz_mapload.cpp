// libFuzzer target: the map loader alone, without drawing, so that it runs tens of thousands of inputs a
// second where fuzz_mapfile (which draws every map) runs hundreds. An input is read as fuzz_mapfile reads
// it (the first byte chooses a whole file or the frame's content in a sound frame). What loaded must hold
// together, save to memory, and load again to the same map: the second save gives the first one's bytes.
#include "ExactCopy.h"
#include "MapFileInput.h"
#include "model/ZemMap.h"
#include "persistence/ZemBinaryStream.h"
#include "platform/ZemHeadlessHost.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <span>
#include <vector>

using namespace zem;

namespace {

void Fail(const char* What) {
    std::fprintf(stderr, "fuzz_mapload: %s\n", What);
    std::abort();
}

// The store, the drawing order and the count agree.
void CheckConsistent(const TZemMap& Map) {
    if (Map.Doc.Count != Map.Doc.Order.Count() || Map.Doc.Count != Map.Doc.Objects.Count())
        Fail("the count, the order and the store disagree");
    for (std::int32_t ID : Map.Doc.Order)
        if (!Map.ObjectExists(ID))
            Fail("the order names an object that is not stored");
}

// One map for the whole run: making a map (its back buffer, index, timers and search task) costs more
// than loading most inputs. Before each input it loads the file of a new map, which puts back every
// setting, directory and library a file can carry, so that no input sees what the last one left.
struct TLoader {
    HeadlessHost Host{0, 0};
    TZemMap Map{Host};
    std::vector<std::uint8_t> Fresh;

    TLoader() {
        Map.SetAutoUpdate(false); // no frame is rendered, and none is needed
        Map.Resize(0, 0);
        Fresh = Map.SaveToBytes();
    }

    // Loads File and saves the map unpacked (the codec has targets of its own); an empty result when the
    // loader refused the file.
    std::vector<std::uint8_t> LoadAndSave(std::span<const std::uint8_t> File) {
        Host.Messages.clear(); // a refused file leaves its message here
        if (!Map.LoadFromBytes(Fresh))
            Fail("the file of a new map does not load");
        Map.SetAutoUpdate(false); // each load turns it back on
        if (!Map.LoadFromBytes(fuzzing::TExactCopy(File).Span()))
            return {};
        Map.SetAutoUpdate(false);
        CheckConsistent(Map);
        Map.Doc.Compression = 0;
        return Map.SaveToBytes();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    if (Size == 0)
        return 0;
    const std::vector<std::uint8_t> File = fuzzing::MapFileFromInput(Data, Size);
    static TLoader Loader;
    const std::vector<std::uint8_t> Saved = Loader.LoadAndSave(File);
    if (Saved.empty())
        return 0;
    const std::vector<std::uint8_t> Again = Loader.LoadAndSave(Saved);
    if (Again.empty())
        Fail("a saved map does not load");
    if (Again != Saved)
        Fail("a saved map loads to another map");
    return 0;
}
