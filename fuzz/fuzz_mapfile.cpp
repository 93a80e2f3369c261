// libFuzzer target: a whole map file from memory through the loader. Any input must end in success or
// in the loader's one message, without a crash, a leak or an allocation the input cannot justify.
#include "model/ZemMain.h"
#include "platform/HeadlessHost.h"

#include <cstddef>
#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.LoadFromBytes(std::span<const std::uint8_t>(Data, Size));
    // Whatever was kept must be consistent enough to draw and save.
    for (std::int32_t ID : Map.Doc.Order)
        (void)Map.ObjectByID(ID);
    Map.Doc.Compression = 1;
    (void)Map.SaveToBytes();
    return 0;
}
