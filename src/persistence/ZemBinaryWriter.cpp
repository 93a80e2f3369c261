#include <cstring>
#include <limits>

#include "base/ZemErrors.h"
#include "base/ZemLists.h"
#include "base/ZemLittleEndian.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemCodec.h"
#include "persistence/ZemMemory.h"

namespace zem {

namespace {

constexpr std::int64_t kMaxLength = std::numeric_limits<std::int32_t>::max();

std::int32_t CheckedCapacity(std::int64_t Capacity) {
    if (Capacity > kMaxLength)
        throw EIntOverflow();
    return static_cast<std::int32_t>(Capacity);
}

} // namespace

TBinaryWriter::TBinaryWriter(std::int32_t InitialCapacity)
    : FCapacity(CheckedCapacity(RoundCapacity64(InitialCapacity))),
      FBuffer(static_cast<std::size_t>(FCapacity)) {}

TBinaryWriter::~TBinaryWriter() {
    SecureZero(FBuffer.Data(), static_cast<std::size_t>(FLength));
}

void TBinaryWriter::Reserve(std::int64_t N) {
    const std::int64_t Needed = FLength + N;
    if (Needed > kMaxLength)
        throw EIntOverflow();
    if (Needed <= FCapacity)
        return;
    std::int64_t NewCapacity = GrowCapacity64(FCapacity);
    if (NewCapacity < Needed)
        NewCapacity = RoundCapacity64(Needed);
    const std::int32_t Capacity = CheckedCapacity(NewCapacity);
    TPageBlock NewBuffer(static_cast<std::size_t>(Capacity)); // zero-filled
    std::memcpy(NewBuffer.Data(), FBuffer.Data(), static_cast<std::size_t>(FLength));
    SecureZero(FBuffer.Data(), static_cast<std::size_t>(FLength));
    FBuffer = std::move(NewBuffer);
    FCapacity = Capacity;
}

void TBinaryWriter::WriteBytes(const void* Buffer, std::int32_t N) {
    if (N <= 0)
        return;
    std::memcpy(Claim(N), Buffer, static_cast<std::size_t>(N));
}

void TBinaryWriter::WriteString(const ZemString& S) {
    if (static_cast<std::int64_t>(S.size()) > kMaxLength)
        throw EIntOverflow();
    const auto N = static_cast<std::int32_t>(S.size());
    const std::int32_t Prefix = N <= 254 ? 1 : N <= 65789 ? 3 : 7;
    std::uint8_t* P = Claim(static_cast<std::int64_t>(Prefix) + N);
    if (N <= 254) {
        P[0] = static_cast<std::uint8_t>(N);
    } else if (N <= 65789) {
        P[0] = 255;
        P[1] = static_cast<std::uint8_t>(N - 255);
        P[2] = static_cast<std::uint8_t>((N - 255) >> 8);
    } else {
        P[0] = P[1] = P[2] = 255;
        StoreLE32(P + 3, static_cast<std::uint32_t>(N));
    }
    if (N != 0)
        std::memcpy(P + Prefix, S.data(), static_cast<std::size_t>(N));
}

bool TBinaryWriter::SaveToStream(std::vector<std::uint8_t>& Stream, int Mode) const {
    if (FLength > kMaxFrameContent)
        return false; // a frame that no reader would take back
    // The codec leaves 4 bytes in front of the packed block for its checksum.
    TPackedBlock Packed = G_Deflate(FBuffer.Data(), static_cast<std::size_t>(FLength), Mode, 4, 0);
    const std::int64_t L = static_cast<std::int64_t>(Packed.PackedLength) + 4;
    if (L > kMaxLength) {
        SecureZero(Packed.Memory.data(), Packed.Memory.size());
        throw EIntOverflow();
    }
    StoreLE32(Packed.Memory.data(), Adler32(Packed.Memory.data() + 4, Packed.PackedLength));
    std::uint8_t Length[4];
    StoreLE32(Length, static_cast<std::uint32_t>(L));
    Stream.insert(Stream.end(), Length, Length + 4);
    Stream.insert(Stream.end(), Packed.Memory.begin(), Packed.Memory.end());
    SecureZero(Packed.Memory.data(), Packed.Memory.size());
    return true;
}

} // namespace zem
