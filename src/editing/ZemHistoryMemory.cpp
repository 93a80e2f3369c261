#include "editing/ZemHistoryMemory.h"

#include <cstring>
#include <new>
#include <utility>

#if __has_include(<sys/mman.h>)
#include <sys/mman.h>
#define ZEM_HAVE_MMAP 1
#endif

namespace zem {

namespace {

constexpr std::size_t kAlign = 8; // images start on a word, so their fields copy out quickly

constexpr std::size_t RoundUp(std::size_t N, std::size_t To) {
    return (N + To - 1) / To * To;
}

} // namespace

TZemPages::TZemPages(std::size_t Size) : FSize(RoundUp(Size, 4096)) {
#if defined(ZEM_HAVE_MMAP)
    void* P = mmap(nullptr, FSize, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (P == MAP_FAILED)
        throw std::bad_alloc();
    FData = static_cast<std::byte*>(P);
#else
    FData = static_cast<std::byte*>(::operator new(FSize));
#endif
}

TZemPages::~TZemPages() {
    Release();
}

TZemPages::TZemPages(TZemPages&& Other) noexcept
    : FData(std::exchange(Other.FData, nullptr)), FSize(std::exchange(Other.FSize, 0)) {}

TZemPages& TZemPages::operator=(TZemPages&& Other) noexcept {
    if (this != &Other) {
        Release();
        FData = std::exchange(Other.FData, nullptr);
        FSize = std::exchange(Other.FSize, 0);
    }
    return *this;
}

void TZemPages::Release() {
    if (!FData)
        return;
#if defined(ZEM_HAVE_MMAP)
    munmap(FData, FSize);
#else
    ::operator delete(FData);
#endif
    FData = nullptr;
    FSize = 0;
}

TZemByteLog::TRef TZemByteLog::Append(std::span<const std::byte> Bytes) {
    const std::size_t Size = Bytes.size();
    std::size_t Offset = FChunks.empty() ? 0 : RoundUp(FChunks.back().Used, kAlign);
    // Release leaves no unmapped chunk at either end, so the last one, if any, has pages.
    if (FChunks.empty() || Offset + Size > FChunks.back().Pages.Size()) {
        FChunks.push_back(TChunk{TZemPages(Size > kChunk ? Size : kChunk), 0, 0});
        Offset = 0;
    }
    TChunk& C = FChunks.back();
    if (Size > 0)
        std::memcpy(C.Pages.Data() + Offset, Bytes.data(), Size);
    C.Used = Offset + Size;
    C.Live += Size;
    return TRef{FFirst + FChunks.size() - 1, Offset, Size};
}

std::span<const std::byte> TZemByteLog::View(const TRef& Ref) const {
    return {At(Ref.Chunk).Pages.Data() + Ref.Offset, Ref.Size};
}

void TZemByteLog::Release(const TRef& Ref) {
    TChunk& C = At(Ref.Chunk);
    C.Live -= Ref.Size;
    const bool Newest = &C == &FChunks.back() && Ref.Offset + Ref.Size == C.Used;
    if (Newest)
        C.Used = Ref.Offset;
    if (C.Live == 0) {
        C.Pages = TZemPages();
        C.Used = 0;
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
        n += C.Pages.Size();
    return n;
}

} // namespace zem
