#include "persistence/ZemMemory.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string.h>
#include <utility>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace zem {

void SecureZero(void* Data, std::size_t Size) {
    if (Size != 0)
        explicit_bzero(Data, Size);
}

#if defined(__linux__)

namespace {
constexpr std::size_t kLargePage = std::size_t{2} << 20;
}

// A block of a large page or more is mapped, aligned to large pages (by mapping a little more and giving
// back the ends) so that the system can back it with them; anonymous mappings come zero-filled. Smaller
// blocks come from the heap, which keeps memory at hand for the next call.
TPageBlock::TPageBlock(std::size_t Bytes) {
    if (Bytes == 0)
        return;
    if (Bytes < kLargePage) {
        FStart = std::calloc(Bytes, 1);
        if (FStart == nullptr)
            throw std::bad_alloc();
        return;
    }
    const std::size_t Rounded = (Bytes + kLargePage - 1) & ~(kLargePage - 1);
    void* P = mmap(nullptr, Rounded + kLargePage, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (P == MAP_FAILED)
        throw std::bad_alloc();
    auto* Base = static_cast<std::uint8_t*>(P);
    const std::uintptr_t Address = reinterpret_cast<std::uintptr_t>(Base);
    const std::size_t Lead = ((Address + kLargePage - 1) & ~(kLargePage - 1)) - Address;
    if (Lead != 0)
        munmap(Base, Lead);
    munmap(Base + Lead + Rounded, kLargePage - Lead);
    Base += Lead;
    madvise(Base, Rounded, MADV_HUGEPAGE); // a hint: without large pages the table still works
    FStart = Base;
    FLength = Rounded;
}

void TPageBlock::Release() {
    if (FLength != 0)
        munmap(FStart, FLength);
    else
        std::free(FStart);
    FStart = nullptr;
    FLength = 0;
}

#else

TPageBlock::TPageBlock(std::size_t Bytes) {
    if (Bytes == 0)
        return;
    FStart = std::calloc(Bytes, 1);
    if (FStart == nullptr)
        throw std::bad_alloc();
}

void TPageBlock::Release() {
    std::free(FStart);
    FStart = nullptr;
}

#endif

TPageBlock::~TPageBlock() {
    Release();
}

TPageBlock::TPageBlock(TPageBlock&& Other) noexcept
    : FStart(std::exchange(Other.FStart, nullptr)), FLength(std::exchange(Other.FLength, 0)) {}

TPageBlock& TPageBlock::operator=(TPageBlock&& Other) noexcept {
    if (this != &Other) {
        Release();
        FStart = std::exchange(Other.FStart, nullptr);
        FLength = std::exchange(Other.FLength, 0);
    }
    return *this;
}

} // namespace zem
