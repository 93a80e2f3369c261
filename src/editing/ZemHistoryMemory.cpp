#include "editing/ZemHistoryMemory.h"

#include <cstring>

namespace zem {

namespace {

constexpr std::size_t kAlign = 8; // images start on a word, so their fields copy out quickly

constexpr std::size_t RoundUp(std::size_t N, std::size_t To) {
    return (N + To - 1) / To * To;
}

} // namespace

TZemByteLog::TRef TZemByteLog::Append(std::span<const std::byte> Bytes) {
    const std::size_t Size = Bytes.size();
    std::size_t Offset = FChunks.empty() ? 0 : RoundUp(FChunks.back().Used, kAlign);
    // Release leaves no unmapped chunk at either end, so the last one, if any, has pages.
    if (FChunks.empty() || Offset + Size > FChunks.back().Size) {
        const std::size_t Mapped = RoundUp(Size > kChunk ? Size : kChunk, kChunk);
        FChunks.push_back(TChunk{TPageBlock(Mapped), Mapped, 0, 0});
        Offset = 0;
    }
    TChunk& C = FChunks.back();
    if (Size > 0)
        std::memcpy(static_cast<std::byte*>(C.Pages.Data()) + Offset, Bytes.data(), Size);
    C.Used = Offset + Size;
    C.Live += Size;
    return TRef{FFirst + FChunks.size() - 1, Offset, Size};
}

std::span<const std::byte> TZemByteLog::View(const TRef& Ref) const {
    return {static_cast<const std::byte*>(At(Ref.Chunk).Pages.Data()) + Ref.Offset, Ref.Size};
}

void TZemByteLog::Release(const TRef& Ref) {
    TChunk& C = At(Ref.Chunk);
    C.Live -= Ref.Size;
    const bool Newest = &C == &FChunks.back() && Ref.Offset + Ref.Size == C.Used;
    if (Newest)
        C.Used = Ref.Offset;
    if (C.Live == 0) {
        C.Pages = TPageBlock();
        C.Size = C.Used = 0;
    }
    while (!FChunks.empty() && !FChunks.front().Pages.Data()) {
        FChunks.pop_front();
        ++FFirst;
    }
    while (!FChunks.empty() && !FChunks.back().Pages.Data())
        FChunks.pop_back();
}

std::size_t TZemByteLog::Mapped() const {
    std::size_t n = 0;
    for (const TChunk& C : FChunks)
        n += C.Size;
    return n;
}

} // namespace zem
