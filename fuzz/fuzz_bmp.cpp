// libFuzzer target of the BMP reader: any input either decodes or raises EZemError, and a decoded
// picture has exactly Width x Height pixels. Run it with
//   make fuzz FUZZER=fuzz_bmp FUZZ_SECONDS=600
// (seeds: fuzz/seeds/fuzz_bmp, one file of every form the reader takes).
#include "ExactCopy.h"
#include "base/ZemErrors.h"
#include "images/ZemBmpFile.h"

#include <cstdint>
#include <cstdlib>

using namespace zem;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size) {
    try {
        // A smaller limit than the loader's keeps each run fast; the checks are the same.
        const fuzzing::TExactCopy Input(Data, Size);
        zem::TZemImage Image = zem::DecodeBmp(Input.Data(), Input.Size(), std::size_t(1) << 18);
        if (Image.Pixels.size() !=
            static_cast<std::size_t>(Image.Width) * static_cast<std::size_t>(Image.Height))
            std::abort();
    } catch (const EZemError&) {
    }
    return 0;
}
