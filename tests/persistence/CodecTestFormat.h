#pragma once
// The packed-block format written out again from its description, for the tests only and on purpose
// without the product's code: a bit writer, canonical codes, a slow decoder that reports the symbols it
// reads, and the packer's parse done literally (linked hash chains, rolling hash). Tests hold the codec
// against these, so that a packer and an unpacker that agree on a misreading cannot pass.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace zem {

namespace codectest {

// Values least significant bit first, Huffman codes most significant bit first, bytes filled from bit 0.
class TBits {
public:
    void Bit(unsigned B) {
        if (Count % 8 == 0)
            Bytes.push_back(0);
        Bytes.back() = static_cast<std::uint8_t>(Bytes.back() | (B & 1) << (Count % 8));
        ++Count;
    }
    void Value(std::uint32_t V, int N) {
        for (int i = 0; i < N; ++i)
            Bit(V >> i);
    }
    void Code(std::uint32_t C, int Length) {
        for (int i = Length - 1; i >= 0; --i)
            Bit(C >> i);
    }
    // The packed block: H, then the stream.
    std::vector<std::uint8_t> Packed(std::int32_t H) const {
        std::vector<std::uint8_t> P(4 + Bytes.size());
        for (int k = 0; k < 4; ++k)
            P[k] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(H) >> (8 * k));
        for (std::size_t k = 0; k < Bytes.size(); ++k)
            P[4 + k] = Bytes[k];
        return P;
    }
    std::vector<std::uint8_t> Bytes;
    std::size_t Count = 0;
};

// Canonical codes of the lengths (RFC 1951, 3.2.2), most significant bit first.
inline std::vector<std::uint32_t> Canonical(const std::vector<int>& Lengths) {
    std::vector<std::uint32_t> Count(16, 0), Next(17, 0), Codes(Lengths.size(), 0);
    for (int L : Lengths)
        if (L > 0)
            ++Count[L];
    for (int k = 1; k < 16; ++k)
        Next[k + 1] = (Next[k] + Count[k]) * 2;
    for (std::size_t s = 0; s < Lengths.size(); ++s)
        if (Lengths[s] > 0)
            Codes[s] = Next[Lengths[s]]++;
    return Codes;
}

inline int FixedLength(int Symbol) {
    if (Symbol == 0)
        return 7;
    if (Symbol <= 142)
        return 8;
    if (Symbol <= 254)
        return 9;
    if (Symbol == 255)
        return 8;
    if (Symbol <= 279)
        return 7;
    return 8;
}

inline const std::vector<int>& FixedLengths() {
    static const std::vector<int> L = [] {
        std::vector<int> V(287);
        for (int s = 0; s < 287; ++s)
            V[s] = FixedLength(s);
        return V;
    }();
    return L;
}

// A symbol of the fixed literal/length code, and the fixed block's header.
inline void Fixed(TBits& B, int Symbol) {
    static const std::vector<std::uint32_t> Codes = Canonical(FixedLengths());
    B.Code(Codes[Symbol], FixedLength(Symbol));
}
inline void FixedHeader(TBits& B) {
    B.Bit(0);
    B.Bit(1);
}

// Distance bases: 1..8, then each base is the previous one plus 2^(extra bits of the previous code).
inline int DistanceExtra(int Code) {
    if (Code < 8)
        return 0;
    if (Code < 60)
        return 1 + (Code - 8) / 4;
    return Code < 62 ? 15 : 16;
}
inline std::uint32_t DistanceBase(int Code) {
    std::uint32_t Base = 1;
    for (int k = 0; k < Code; ++k)
        Base += 1u << DistanceExtra(k);
    return Base;
}

inline const int kLengthExtra[16] = {1, 1, 1, 1, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 4, 6};
inline const int kLengthBase[16] = {17, 19, 21, 23, 25, 27, 29, 31, 33, 37, 41, 45, 49, 57, 65, 81};
inline const int kCodeLengthOrder[20] = {9,  10, 8,  15, 7, 11, 0,  6, 16, 5,
                                         12, 4,  17, 13, 3, 18, 19, 2, 1,  14};

// A symbol as the parse sees it: a literal (Length 0) or a match.
struct TSym {
    std::uint32_t Length = 0;
    std::uint32_t Distance = 0;
    std::uint8_t Literal = 0;
    bool operator==(const TSym&) const = default;
};

inline std::string Describe(const TSym& S) {
    return S.Length == 0 ? "lit " + std::to_string(S.Literal)
                         : "match " + std::to_string(S.Length) + "@" + std::to_string(S.Distance);
}

// A slow decoder of the format, one bit at a time. Reports every symbol; stored blocks are counted and
// their bytes copied. Throws std::runtime_error on anything wrong.
struct TDecoded {
    std::vector<std::uint8_t> Output;
    std::vector<TSym> Symbols;
    int Stored = 0, Fixed = 0, Dynamic = 0;
};

inline TDecoded SlowDecode(const std::vector<std::uint8_t>& Packed) {
    TDecoded D;
    const std::int32_t H = static_cast<std::int32_t>(Packed.at(0) | Packed.at(1) << 8 | Packed.at(2) << 16 |
                                                     static_cast<std::uint32_t>(Packed.at(3)) << 24);
    if (H <= 0) {
        D.Output.assign(Packed.begin() + 4, Packed.end());
        return D;
    }
    std::size_t Bit = 32;
    auto ReadBit = [&]() -> std::uint32_t {
        if (Bit >= Packed.size() * 8)
            throw std::runtime_error("past end");
        std::uint32_t B = Packed[Bit / 8] >> (Bit % 8) & 1;
        ++Bit;
        return B;
    };
    auto Value = [&](int N) {
        std::uint32_t V = 0;
        for (int i = 0; i < N; ++i)
            V |= ReadBit() << i;
        return V;
    };
    // A code as (length, code) -> symbol, read one bit at a time.
    using TCodeMap = std::map<std::pair<int, std::uint32_t>, int>;
    auto MapOf = [](const std::vector<int>& Lengths) {
        TCodeMap M;
        const std::vector<std::uint32_t> Codes = Canonical(Lengths);
        for (std::size_t s = 0; s < Lengths.size(); ++s)
            if (Lengths[s] > 0)
                M[{Lengths[s], Codes[s]}] = static_cast<int>(s);
        return M;
    };
    auto Decode = [&](const TCodeMap& M) {
        std::uint32_t Code = 0;
        for (int L = 1; L <= 15; ++L) {
            Code = Code << 1 | ReadBit();
            const auto It = M.find({L, Code});
            if (It != M.end())
                return It->second;
        }
        throw std::runtime_error("no such code");
    };
    auto ReadLengths = [&](const TCodeMap& CodeLengthCode, int N) {
        std::vector<int> Lengths;
        int Previous = 7;
        while (static_cast<int>(Lengths.size()) < N) {
            const int S = Decode(CodeLengthCode);
            int Repeat = 0;
            if (S < 15) {
                Lengths.push_back(Previous = S);
                continue;
            }
            if (S == 15)
                Repeat = 2;
            else if (S == 16)
                Repeat = 3 + static_cast<int>(Value(1));
            else if (S == 17)
                Repeat = 5 + static_cast<int>(Value(2));
            else if (S == 18)
                Repeat = 9 + static_cast<int>(Value(3));
            else
                Repeat = 17 + static_cast<int>(Value(7));
            Lengths.insert(Lengths.end(), Repeat, Previous);
        }
        if (static_cast<int>(Lengths.size()) != N)
            throw std::runtime_error("run past the end");
        return Lengths;
    };
    const std::size_t Size = static_cast<std::size_t>(H);
    while (D.Output.size() < Size) {
        std::vector<int> LitLen, Dist;
        bool FixedBlock = false;
        if (ReadBit()) {
            ++D.Dynamic;
            std::vector<int> CL(20, 0);
            const int N = 5 + static_cast<int>(Value(4));
            for (int i = 0; i < N; ++i)
                CL[kCodeLengthOrder[i]] = static_cast<int>(Value(3));
            const TCodeMap CLMap = MapOf(CL);
            LitLen = ReadLengths(CLMap, 256 + static_cast<int>(Value(5)));
            LitLen.resize(287, 0);
            Dist = ReadLengths(CLMap, 1 + static_cast<int>(Value(6)));
            Dist.resize(64, 0);
        } else if (ReadBit()) {
            ++D.Fixed;
            FixedBlock = true;
            LitLen = FixedLengths();
        } else {
            ++D.Stored;
            std::size_t N = std::min<std::size_t>(8192 + Value(8), Size - D.Output.size());
            while (N-- > 0)
                D.Output.push_back(static_cast<std::uint8_t>(Value(8)));
            continue;
        }
        const TCodeMap LitLenMap = MapOf(LitLen), DistMap = MapOf(Dist);
        for (int k = 0; k < 8192 && D.Output.size() < Size; ++k) {
            const int S = Decode(LitLenMap);
            if (S < 256) {
                D.Output.push_back(static_cast<std::uint8_t>(S));
                D.Symbols.push_back({0, 0, static_cast<std::uint8_t>(S)});
                continue;
            }
            std::uint32_t Length;
            if (S < 270) {
                Length = static_cast<std::uint32_t>(S - 253);
            } else if (S < 286) {
                Length = static_cast<std::uint32_t>(kLengthBase[S - 270]) + Value(kLengthExtra[S - 270]);
            } else {
                std::uint32_t G = Value(8), V = G & 127;
                if (!(G & 128)) {
                    G = Value(8);
                    V += (G & 127) * 128;
                    if (!(G & 128))
                        V += Value(7) * 16384;
                }
                Length = 145 + V;
            }
            const int Code = FixedBlock ? static_cast<int>(Value(6)) : Decode(DistMap);
            const std::uint32_t Distance = DistanceBase(Code) + Value(DistanceExtra(Code));
            if (Distance > D.Output.size() || Length > Size - D.Output.size())
                throw std::runtime_error("bad match");
            for (std::uint32_t i = 0; i < Length; ++i)
                D.Output.push_back(D.Output[D.Output.size() - Distance]);
            D.Symbols.push_back({Length, Distance, 0});
        }
    }
    return D;
}

// The packer's parse, done literally from its description: hash chains with heads starting at -window,
// the rolling hash, the first-match rules, the longer-match rules with the remaining budget, the lazy
// step with a fresh budget, every position inserted once.
struct TLevel {
    int Entries, Window, Chain, Shift;
};
inline const TLevel kTestLevels[5] = {
    {0, 0, 0, 0}, {4096, 8192, 2, 4}, {32768, 65536, 8, 5}, {262144, 262144, 32, 6}, {262144, 262144, 64, 6}};

inline bool TakeLonger(int Gain, std::int64_t D, std::int64_t Current) {
    if (Gain >= 3)
        return true;
    if (Gain == 2)
        return D <= 65536 || (D <= 131072 ? Current > 16 : Current > 32);
    if (Gain == 1) {
        if (D <= 1024)
            return true;
        if (D <= 2048)
            return Current >= 9;
        if (D <= 4096)
            return Current > 16;
        if (D <= 8192)
            return Current > 32;
        if (D <= 16384)
            return Current > 64;
        if (D <= 32768)
            return Current >= 129;
        if (D <= 65536)
            return Current >= 257;
        if (D <= 131072)
            return Current >= 1025;
        return Current >= 2049;
    }
    return false;
}

inline std::vector<TSym> ReferenceParse(const std::vector<std::uint8_t>& B, int Level) {
    const TLevel P = kTestLevels[Level];
    const std::int64_t N = static_cast<std::int64_t>(B.size());
    const std::int64_t MaxMatch = 2097296;
    std::vector<std::int64_t> Head(P.Entries, -P.Window), Chain(P.Window, 0);
    std::int64_t Inserted = 0; // positions below are inserted
    std::uint32_t Hash = 0;
    auto InsertUpTo = [&](std::int64_t End) { // inserts positions < End that have three bytes
        for (; Inserted < End && Inserted + 2 < N; ++Inserted) {
            if (Inserted == 0)
                Hash = ((B[0] << 2 * P.Shift) ^ (B[1] << P.Shift) ^ B[2]) & (P.Entries - 1);
            else
                Hash = ((Hash << P.Shift) ^ B[Inserted + 2]) & (P.Entries - 1);
            Chain[Inserted & (P.Window - 1)] = Head[Hash];
            Head[Hash] = Inserted;
        }
    };
    auto Agree = [&](std::int64_t Cand, std::int64_t I) {
        const std::int64_t Limit = std::min(N - I, MaxMatch);
        std::int64_t K = 0;
        while (K < Limit && B[Cand + K] == B[I + K])
            ++K;
        return K;
    };
    // Walks the chain below I (I inserted) from Cand with Budget; Len/Dist is the current match.
    auto Longer = [&](std::int64_t I, std::int64_t Cand, int Budget, std::int64_t& Len, std::int64_t& Dist) {
        const std::int64_t Limit = std::min(N - I, MaxMatch);
        while (Budget > 0 && Cand > I - P.Window && Len < Limit) {
            --Budget;
            const std::int64_t L = Agree(Cand, I);
            if (L > Len && TakeLonger(static_cast<int>(L - Len), I - Cand, Dist)) {
                Len = L;
                Dist = I - Cand;
            }
            Cand = Chain[Cand & (P.Window - 1)];
        }
    };
    std::vector<TSym> Out;
    Out.push_back({0, 0, B[0]});
    InsertUpTo(1);
    std::int64_t I = 1;
    while (I < N) {
        if (N - I < 3) {
            Out.push_back({0, 0, B[I++]});
            continue;
        }
        InsertUpTo(I + 1);
        std::int64_t Cand = Chain[I & (P.Window - 1)];
        int Budget = P.Chain;
        std::int64_t Len = 0, Dist = 0;
        while (Budget > 0 && Cand > I - P.Window) {
            --Budget;
            const std::int64_t L = Agree(Cand, I);
            const std::int64_t D = I - Cand;
            Cand = Chain[Cand & (P.Window - 1)];
            if (L >= 5 || (L == 4 && D <= 65536) || (L == 3 && D <= 4096)) {
                Len = L;
                Dist = D;
                break;
            }
        }
        if (Len == 0) {
            Out.push_back({0, 0, B[I++]});
            continue;
        }
        Longer(I, Cand, Budget, Len, Dist);
        while (Len < 32 && I + Len < N) {
            InsertUpTo(I + 2);
            std::int64_t L2 = Len, D2 = Dist;
            Longer(I + 1, Chain[(I + 1) & (P.Window - 1)], P.Chain, L2, D2);
            if (L2 == Len)
                break;
            Out.push_back({0, 0, B[I++]});
            Len = L2;
            Dist = D2;
        }
        Out.push_back({static_cast<std::uint32_t>(Len), static_cast<std::uint32_t>(Dist), 0});
        I += Len;
    }
    return Out;
}

} // namespace codectest

} // namespace zem
