#pragma once
// The packer's back end: collects the symbols of one block (8192 at most), chooses the stored, fixed or
// dynamic form by its exact size in bits and writes it to the bit stream.
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "base/ZemLittleEndian.h"
#include "persistence/ZemCodecFormat.h"

namespace zem {

namespace codec {

// Bits written least significant first. Every put stores the whole 64-bit accumulator and moves on by
// the bytes it completed, so there is no branch per put; the store may run up to 8 bytes past the
// stream's end.
class TBitWriter {
public:
    // Out must have room for the stream plus 8 bytes.
    explicit TBitWriter(std::uint8_t* AOut) : FStart(AOut), FOut(AOut) {}

    // Puts the low N bits of Value (N <= 56; no bits above them may be set).
    void Put(std::uint64_t Value, unsigned N) {
        FAcc |= Value << FUsed;
        FUsed += N;
        StoreLE64(FOut, FAcc);
        const unsigned Bytes = FUsed >> 3;
        FOut += Bytes;
        FAcc >>= Bytes * 8;
        FUsed &= 7;
    }
    std::uint64_t BitCount() const { return static_cast<std::uint64_t>(FOut - FStart) * 8 + FUsed; }
    // Writes the last partial word, cut after the last byte that holds a written bit; returns the length.
    std::size_t Finish() {
        for (; FUsed > 0; FUsed = FUsed > 8 ? FUsed - 8 : 0) {
            *FOut++ = static_cast<std::uint8_t>(FAcc);
            FAcc >>= 8;
        }
        return static_cast<std::size_t>(FOut - FStart);
    }

private:
    std::uint8_t* FStart;
    std::uint8_t* FOut;
    std::uint64_t FAcc = 0;
    unsigned FUsed = 0;
};

class TBlockWriter {
public:
    // Source is the whole input; the stream goes to Out (room for Limit + 8 bytes) and may take at most
    // Limit bytes.
    TBlockWriter(const std::uint8_t* Source, std::uint8_t* Out, std::size_t Limit);
    ~TBlockWriter();
    TBlockWriter(const TBlockWriter&) = delete;
    TBlockWriter& operator=(const TBlockWriter&) = delete;

    void AddLiteral(std::uint8_t Byte) {
        TSymbol& S = FSymbols[FCount++];
        S.LitLen = Byte;
        ++FLitLenFreq[Byte];
    }
    void AddMatch(std::uint32_t Length, std::uint32_t Distance);
    bool Full() const { return FCount == kBlockSymbols; }

    // Writes the collected symbols, which cover the input up to BlockEnd, as one block (nothing when
    // there are none). False when the stream would grow beyond Limit bytes: packing must give up.
    bool Flush(std::uint32_t BlockEnd);
    // The stream's length in bytes.
    std::size_t Finish() { return FBits.Finish(); }

private:
    struct TSymbol {
        std::uint16_t LitLen;    // literal byte or length symbol
        std::uint8_t LengthBits; // extra bits of the length (the groups of symbol 286)
        std::uint8_t DistanceCode;
        std::uint32_t LengthExtra;
        std::uint32_t DistanceExtra;
    };
    struct TRun {
        std::uint8_t Symbol; // code-length symbol 0..19
        std::uint8_t Extra;  // value of its extra bits
    };

    void Reset();
    static int RunLengthCode(const std::uint8_t* Lengths, int N, TRun* Runs);
    void WriteStored(std::uint32_t Size);
    void WriteSymbols(const std::uint8_t* LitLenLengths, const std::uint16_t* LitLenCodes,
                      const std::uint8_t* DistanceLengths, const std::uint16_t* DistanceCodes);

    const std::uint8_t* FSource;
    std::size_t FLimit;
    TBitWriter FBits;
    std::uint32_t FBlockStart = 0;
    int FCount = 0;
    std::uint64_t FExtraBits = 0; // extra bits of the lengths and distances of the block
    int FMatches = 0;
    std::array<std::uint32_t, kLitLenSymbols> FLitLenFreq{};
    std::array<std::uint32_t, kDistanceSymbols> FDistanceFreq{};
    std::unique_ptr<TSymbol[]> FSymbols; // kBlockSymbols of them
};

} // namespace codec

} // namespace zem
