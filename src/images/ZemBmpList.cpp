#include "images/ZemBmpList.h"

#include "images/ZemBmpFile.h"
#include "images/ZemLibraryStream.h"

#include <algorithm>

namespace zem {

namespace {

std::unique_ptr<TZemImage> PictureFromBmp(std::span<const std::uint8_t> File, std::size_t Budget) {
    // A picture may not claim far more pixels than its bytes can describe (run-length data that ends
    // early leaves the rest blank, so a few bytes could otherwise ask for half a gigabyte), nor more than
    // the library has left.
    const std::size_t Limit =
        std::min({kBmpMaxPixels, Budget, std::max<std::size_t>(65536, File.size() * 256)});
    return std::make_unique<TZemImage>(DecodeBmp(File.data(), File.size(), Limit));
}

} // namespace

void TBmpList::WriteData(std::vector<std::uint8_t>& Out) const {
    PutInt32(Out, Count());
    for (const auto& E : Entries) {
        if (!E || E->Empty()) {
            PutInt32(Out, 0);
            continue;
        }
        const std::vector<std::uint8_t> File = EncodeBmp32(E->Pixels.data(), E->Width, E->Height);
        PutInt32(Out, static_cast<std::int32_t>(File.size()));
        Out.insert(Out.end(), File.begin(), File.end());
    }
}

void TBmpList::ReadData(std::span<const std::uint8_t> Data) {
    std::size_t Budget = kMaxLibraryPixels;
    ReadEntries(Data, [&Budget](std::span<const std::uint8_t> File) {
        auto Picture = PictureFromBmp(File, Budget);
        Budget -= static_cast<std::size_t>(Picture->Width) * static_cast<std::size_t>(Picture->Height);
        return Picture;
    });
}

} // namespace zem
