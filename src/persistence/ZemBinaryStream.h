#pragma once
// The binary stream container: TBinaryWriter gathers typed values in memory and writes them as one
// self-checking frame; TBinaryReader reads such a frame back, verifies and unpacks it, and hands the
// values out in the same order.
//
// Values (little-endian): byte and boolean 1 byte; small integer 2; integer and single 4; raw blocks as
// they are; strings as a length prefix (n <= 254: one byte n; n <= 65789: 255 and the 16-bit n - 255;
// longer: 255, 255, 255 and the 32-bit n) followed by the Windows-1251 bytes.
//
// Frame: the 32-bit L (bytes that follow), the Adler-32 of the packed block, then the packed block of
// G_Deflate (ZemCodec.h): the header H and the compressed or stored bytes.
//
// Streams are whole memory buffers: SaveToStream appends the frame to a byte vector, LoadFromStream reads
// one from a byte span. The enciphered variant of the frame (selected by a key) is not supported.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <vector>

#include "base/ZemInputCheck.h"
#include "base/ZemLittleEndian.h"
#include "base/ZemText.h"
#include "persistence/ZemMemory.h"

namespace zem {

// The most a frame holds unpacked: 1 GiB, ample for a map (a million objects take about 170 MB). The
// reader refuses a frame that claims more before allocating anything, and the writer does not write one.
inline constexpr std::int32_t kMaxFrameContent = 1 << 30;

// The reader is where a map file's bytes meet the user: a fault found in them, by its own checks or by
// the codec, leaves it as the message the user reads.
const char* InputFaultMessage(TInputFault Fault);
// Raises EZemError with the message of Fault (EIntOverflow for Overflow).
[[noreturn]] void RaiseUserInputError(TInputFault Fault);

class TBinaryWriter {
public:
    // Create: a zero-filled buffer of InitialCapacity rounded up (0 gives 16 bytes).
    explicit TBinaryWriter(std::int32_t InitialCapacity = 0);
    // Zeroes the used bytes before the buffer is released.
    ~TBinaryWriter();
    TBinaryWriter(const TBinaryWriter&) = delete;
    TBinaryWriter& operator=(const TBinaryWriter&) = delete;

    const std::uint8_t* Buffer() const { return static_cast<const std::uint8_t*>(FBuffer.Data()); }
    std::int32_t Capacity() const { return FCapacity; }
    std::int32_t Length() const { return FLength; } // bytes written so far

    // A map's content is a few hundred million of these: each is a store into room already there, with
    // the growth out of line.
    void WriteByte(std::uint8_t B) { *Claim(1) = B; }
    // A boolean is one byte; a byte read with ReadBoolean is written back unchanged.
    void WriteBoolean(std::uint8_t B) { *Claim(1) = B; }
    void WriteSmallInt(std::int16_t V) {
        std::uint8_t* P = Claim(2);
        const auto U = static_cast<std::uint16_t>(V);
        P[0] = static_cast<std::uint8_t>(U);
        P[1] = static_cast<std::uint8_t>(U >> 8);
    }
    void WriteInteger(std::int32_t V) { StoreLE32(Claim(4), static_cast<std::uint32_t>(V)); }
    void WriteSingle(float V) {
        std::uint32_t U;
        std::memcpy(&U, &V, 4);
        StoreLE32(Claim(4), U);
    }
    // N raw bytes, no length (nothing when N <= 0).
    void WriteBytes(const void* Buffer, std::int32_t N);
    void WriteString(const ZemString& S);

    // Packs the bytes written so far at level Mode (0 ... 4) and appends the frame to Stream. Returns true
    // when every byte was written; false, writing nothing, for more than kMaxFrameContent bytes.
    bool SaveToStream(std::vector<std::uint8_t>& Stream, int Mode) const;

private:
    // Makes room for N more bytes.
    void Reserve(std::int64_t N);
    // Makes room for N more bytes and counts them as written; returns where they go.
    std::uint8_t* Claim(std::int64_t N) {
        if (N > FCapacity - FLength) [[unlikely]]
            Reserve(N);
        std::uint8_t* P = static_cast<std::uint8_t*>(FBuffer.Data()) + FLength;
        FLength += static_cast<std::int32_t>(N);
        return P;
    }

    std::int32_t FCapacity = 0;
    std::int32_t FLength = 0;
    // Zero-filled; a buffer of megabytes is mapped in large pages, and the pages past what is written
    // are never touched, so a generous first capacity costs nothing.
    TPageBlock FBuffer;
};

class TBinaryReader {
public:
    TBinaryReader() = default;
    // Zeroes and releases the data.
    ~TBinaryReader();
    TBinaryReader(const TBinaryReader&) = delete;
    TBinaryReader& operator=(const TBinaryReader&) = delete;

    const std::uint8_t* Data() const { return FData.data(); }
    std::int32_t Size() const { return FSize; }
    std::int32_t Position() const { return FPosition; } // the next byte to read

    // Clears the reader and reads one frame from Stream at StreamPosition, which moves past what was read.
    // False, with the reader left empty, when the frame's length cannot be read or is below 8, or fewer
    // bytes follow than it says. Otherwise the frame is checked and unpacked (a bad checksum, a stored
    // block of the wrong length, content above kMaxFrameContent or damaged packed data raise EZemError)
    // and the result is true. Memory for the content grows as the packed data produces it.
    bool LoadFromStream(std::span<const std::uint8_t> Stream, std::size_t& StreamPosition);
    // The same from the start of Stream.
    bool LoadFromStream(std::span<const std::uint8_t> Stream);

    void Reset() { FPosition = 0; }

    // Each read checks that the bytes are there before it copies them; when they are not it raises
    // EZemError "Попытка прочитать данные за пределами бинарного потока." and Position does not move.
    // A map's content is read in a few hundred million of these: the check and the copy are inline,
    // the refusal out of line.
    std::uint8_t ReadByte() { return *Take(1); }
    // Any byte other than 0 counts as true; it is handed on unchanged.
    std::uint8_t ReadBoolean() { return *Take(1); }
    std::uint16_t ReadSmallInt() {
        const std::uint8_t* P = Take(2);
        return static_cast<std::uint16_t>(P[0] | P[1] << 8);
    }
    std::int32_t ReadInteger() { return static_cast<std::int32_t>(LoadLE32(Take(4))); }
    float ReadSingle() {
        const std::uint32_t U = LoadLE32(Take(4));
        float V;
        std::memcpy(&V, &U, 4);
        return V;
    }
    void ReadBytes(void* Buffer, std::int32_t N);
    // A negative or zero length gives the empty string.
    ZemString ReadString();

    // Zeroes and releases the data; Size and Position become 0.
    void Clear();

private:
    void DecodeFrame(std::span<const std::uint8_t> Frame);
    // Checks that N bytes can be read and returns them, moving Position past them.
    const std::uint8_t* Take(std::int64_t N) {
        if (N < 0 || N > FSize - FPosition) [[unlikely]]
            Refuse(N);
        const std::uint8_t* P = FData.data() + FPosition;
        FPosition += static_cast<std::int32_t>(N);
        return P;
    }
    // Raises the error for a read of N bytes that Take cannot give.
    [[noreturn]] void Refuse(std::int64_t N) const;

    std::vector<std::uint8_t> FData;
    std::int32_t FSize = 0;
    std::int32_t FPosition = 0;
};

} // namespace zem
