#pragma once
// Zeroing of buffers that held map data, and the zero-filled page tables of the packer. (The capacity
// rules the binary writer shares with the integer containers are in base/ZemLists.h.)
#include <cstddef>
#include <type_traits>

namespace zem {

// Overwrites Size bytes at Data with zeros in a way the compiler may not drop, even right before the
// memory is released.
void SecureZero(void* Data, std::size_t Size);

// Zero-filled memory for tables probed at random. A block of megabytes comes straight from the system in
// large pages: with small ones, such probes miss the processor's address cache on nearly every access.
// Pages never touched cost nothing. Throws std::bad_alloc when there is no memory.
class TPageBlock {
public:
    TPageBlock() = default;
    explicit TPageBlock(std::size_t Bytes);
    ~TPageBlock();
    TPageBlock(TPageBlock&& Other) noexcept;
    TPageBlock& operator=(TPageBlock&& Other) noexcept;
    TPageBlock(const TPageBlock&) = delete;
    TPageBlock& operator=(const TPageBlock&) = delete;

    void* Data() const { return FStart; }

private:
    void Release();
    void* FStart = nullptr;
    std::size_t FLength = 0; // of a mapping; 0 for a block from the heap
};

// A TPageBlock of Count values of T, all bits zero at first.
template <class T> class TPageTable {
    static_assert(std::is_trivially_copyable_v<T>);

public:
    TPageTable() = default;
    explicit TPageTable(std::size_t Count)
        : FBlock(Count * sizeof(T)), FItems(static_cast<T*>(FBlock.Data())) {}
    T& operator[](std::size_t K) const { return FItems[K]; }
    T* Get() const { return FItems; }

private:
    TPageBlock FBlock;
    T* FItems = nullptr;
};

} // namespace zem
