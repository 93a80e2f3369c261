#include "persistence/ZemHuffman.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <utility>
#include <vector>

namespace zem {

namespace codec {

namespace {

constexpr int kMaxSymbols = 512;

// Sorts N (at most kMaxSymbols) keys in ascending order: a radix sort over the bytes in which the keys
// differ, least significant first. The packer sorts two or three small sets per block, where this is
// several times quicker than a comparison sort.
void SortKeys(std::uint64_t* Keys, int N) {
    std::uint64_t Same = ~std::uint64_t{0}, Or = 0;
    for (int i = 0; i < N; ++i) {
        Same &= Keys[i];
        Or |= Keys[i];
    }
    const std::uint64_t Varying = Or & ~Same; // bits not alike in every key
    std::array<std::uint64_t, kMaxSymbols> Other;
    std::uint64_t* From = Keys;
    std::uint64_t* To = Other.data();
    for (int Shift = 0; Shift < 64; Shift += 8) {
        if (((Varying >> Shift) & 0xFF) == 0)
            continue;
        std::array<int, 256> Start{};
        for (int i = 0; i < N; ++i)
            ++Start[(From[i] >> Shift) & 0xFF];
        for (int b = 0, Sum = 0; b < 256; ++b) {
            const int Count = Start[b];
            Start[b] = Sum;
            Sum += Count;
        }
        for (int i = 0; i < N; ++i)
            To[Start[(From[i] >> Shift) & 0xFF]++] = From[i];
        std::swap(From, To);
    }
    if (From != Keys)
        std::copy(From, From + N, Keys);
}

} // namespace

void BuildCodeLengths(const std::uint32_t* Freq, int Count, int MaxBits, std::uint8_t* Lengths) {
    std::memset(Lengths, 0, static_cast<std::size_t>(Count));
    // Each leaf as one integer, frequency above symbol: sorting them puts the least frequent first and
    // equal frequencies in symbol order, so the result never depends on the sort.
    std::array<std::uint64_t, kMaxSymbols> Leaves;
    int N = 0;
    for (int s = 0; s < Count; ++s)
        if (Freq[s] != 0)
            Leaves[N++] = static_cast<std::uint64_t>(Freq[s]) << 16 | static_cast<std::uint64_t>(s);
    if (N == 0)
        return;
    if (N == 1) {
        const int Used = static_cast<int>(Leaves[0] & 0xFFFF);
        Lengths[Used] = 1;
        Lengths[Used == 0 ? 1 : 0] = 1;
        return;
    }
    SortKeys(Leaves.data(), N);

    // Huffman's construction with two queues: the sorted leaves, and the internal nodes, which are made in
    // order of non-decreasing weight. Nodes 0..N-1 are the leaves, N..2N-2 the internal nodes.
    std::array<std::uint64_t, 2 * std::size_t{kMaxSymbols}> Weight;
    std::array<std::int16_t, 2 * std::size_t{kMaxSymbols}> Parent;
    for (int i = 0; i < N; ++i)
        Weight[i] = Leaves[i] >> 16;
    int NextLeaf = 0, NextNode = N, NewNode = N;
    auto TakeSmallest = [&]() {
        if (NextLeaf < N && (NextNode >= NewNode || Weight[NextLeaf] <= Weight[NextNode]))
            return NextLeaf++;
        return NextNode++;
    };
    for (; NewNode < 2 * N - 1; ++NewNode) {
        int A = TakeSmallest();
        int B = TakeSmallest();
        Weight[NewNode] = Weight[A] + Weight[B];
        Parent[A] = Parent[B] = static_cast<std::int16_t>(NewNode);
    }
    // Depths, root first (a parent always has a higher index than its children).
    std::array<std::uint16_t, 2 * std::size_t{kMaxSymbols}> Depth;
    Depth[2 * N - 2] = 0;
    for (int i = 2 * N - 3; i >= 0; --i)
        Depth[i] = static_cast<std::uint16_t>(Depth[Parent[i]] + 1);

    // Number of leaves per length, overlong ones moved to MaxBits.
    std::array<int, 32> LengthCount{};
    for (int i = 0; i < N; ++i)
        ++LengthCount[std::min<int>(Depth[i], MaxBits)];
    // Moving leaves up made the code over-subscribed: measure the excess in units of 2^-MaxBits and take
    // it away one unit at a time, by removing a leaf at MaxBits and turning the deepest shorter leaf into
    // two leaves one level deeper (which keeps the count of leaves and lowers the sum by one unit).
    std::uint32_t Total = 0;
    for (int L = 1; L <= MaxBits; ++L)
        Total += static_cast<std::uint32_t>(LengthCount[L]) << (MaxBits - L);
    while (Total > (1u << MaxBits)) {
        --LengthCount[MaxBits];
        for (int L = MaxBits - 1; L > 0; --L)
            if (LengthCount[L] != 0) {
                --LengthCount[L];
                LengthCount[L + 1] += 2;
                break;
            }
        --Total;
    }
    // The least frequent symbols take the longest codes.
    int Leaf = 0;
    for (int L = MaxBits; L > 0; --L)
        for (int k = 0; k < LengthCount[L]; ++k)
            Lengths[Leaves[Leaf++] & 0xFFFF] = static_cast<std::uint8_t>(L);
}

void ReversedCanonicalCodes(const std::uint8_t* Lengths, int Count, std::uint16_t* Codes) {
    std::array<std::uint32_t, 17> LengthCount{};
    for (int s = 0; s < Count; ++s)
        ++LengthCount[Lengths[s]];
    std::array<std::uint32_t, 17> Next{};
    Next[1] = 0;
    for (int k = 1; k < 16; ++k)
        Next[k + 1] = (Next[k] + LengthCount[k]) << 1;
    for (int s = 0; s < Count; ++s) {
        int L = Lengths[s];
        Codes[s] = L == 0 ? 0 : static_cast<std::uint16_t>(ReverseBits(Next[L]++, L));
    }
}

} // namespace codec

} // namespace zem
