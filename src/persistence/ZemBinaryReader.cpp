#include <cstring>
#include <limits>

#include "base/ZemInputCheck.h"
#include "base/ZemLittleEndian.h"
#include "persistence/ZemAdler32.h"
#include "persistence/ZemBinaryStream.h"
#include "persistence/ZemCodec.h"
#include "persistence/ZemMemory.h"

namespace zem {

const char* InputFaultMessage(TInputFault Fault) {
    switch (Fault) {
    case TInputFault::PastEnd:
        return "Попытка прочитать данные за пределами бинарного потока.";
    case TInputFault::Damaged:
        return "Данные в бинарном потоке испорчены и не могут быть прочитаны.";
    case TInputFault::WrongLength:
        return "Неправильная длина указана при создании бинарного потока.";
    case TInputFault::Overflow:
        return "Переполнение целого";
    case TInputFault::TooLarge:
        return "Данные в бинарном потоке превышают допустимый размер.";
    }
    return "Данные в бинарном потоке испорчены и не могут быть прочитаны.";
}

void RaiseUserInputError(TInputFault Fault) {
    if (Fault == TInputFault::Overflow)
        throw EIntOverflow();
    throw EZemError(InputFaultMessage(Fault));
}

namespace {

// Runs Call, turning a fault code into the user's message.
template <class TCall> decltype(auto) WithUserMessages(TCall&& Call) {
    try {
        return Call();
    } catch (const EInputFault& E) {
        RaiseUserInputError(E.Fault());
    }
}

} // namespace

TBinaryReader::~TBinaryReader() {
    Clear();
}

void TBinaryReader::Clear() {
    SecureZero(FData.data(), FData.size());
    std::vector<std::uint8_t>().swap(FData);
    FSize = 0;
    FPosition = 0;
}

bool TBinaryReader::LoadFromStream(std::span<const std::uint8_t> Stream) {
    std::size_t Position = 0;
    return LoadFromStream(Stream, Position);
}

bool TBinaryReader::LoadFromStream(std::span<const std::uint8_t> Stream, std::size_t& StreamPosition) {
    Clear();
    std::size_t Available = StreamPosition < Stream.size() ? Stream.size() - StreamPosition : 0;
    if (Available < 4) {
        StreamPosition += Available;
        return false;
    }
    const auto L = static_cast<std::int32_t>(LoadLE32(Stream.data() + StreamPosition));
    StreamPosition += 4;
    Available -= 4;
    if (L <= 7)
        return false;
    if (Available < static_cast<std::size_t>(L)) {
        StreamPosition += Available;
        return false;
    }
    const std::span<const std::uint8_t> Frame = Stream.subspan(StreamPosition, static_cast<std::size_t>(L));
    StreamPosition += static_cast<std::size_t>(L);
    WithUserMessages([&] { DecodeFrame(Frame); });
    return true;
}

// Frame: checksum, then the packed block (header H and data).
void TBinaryReader::DecodeFrame(std::span<const std::uint8_t> Frame) {
    const std::span<const std::uint8_t> Packed = Frame.subspan(4);
    CheckInput(Adler32(Packed.data(), Packed.size()) == LoadLE32(Frame.data()), TInputFault::Damaged);
    const auto H = static_cast<std::int32_t>(LoadLE32(Packed.data()));
    if (H > 0) {
        FData = G_Inflate(Packed, kMaxFrameContent);
        FSize = H;
        return;
    }
    const std::int64_t Stored = -static_cast<std::int64_t>(H);
    CheckInput(Stored <= kMaxFrameContent, TInputFault::TooLarge);
    CheckInput(static_cast<std::int64_t>(Packed.size()) == 4 + Stored, TInputFault::WrongLength);
    FData.assign(Packed.begin() + 4, Packed.end());
    FSize = static_cast<std::int32_t>(Stored);
}

void TBinaryReader::Refuse(std::int64_t N) const {
    const std::int64_t End = FPosition + N;
    WithUserMessages([&] {
        CheckInput(End <= std::numeric_limits<std::int32_t>::max(), TInputFault::Overflow);
        CheckInput(N >= 0 && End <= FSize, TInputFault::PastEnd);
    });
    RaiseUserInputError(TInputFault::PastEnd); // not reached: Take asks only for what is not there
}

void TBinaryReader::ReadBytes(void* Buffer, std::int32_t N) {
    const std::uint8_t* P = Take(N);
    if (N > 0)
        std::memcpy(Buffer, P, static_cast<std::size_t>(N));
}

ZemString TBinaryReader::ReadString() {
    std::int64_t N = ReadByte();
    if (N == 255) {
        N = ReadSmallInt();
        N = N != 65535 ? N + 255 : ReadInteger();
    }
    if (N <= 0)
        return {};
    const std::uint8_t* P = Take(N);
    return ZemString(reinterpret_cast<const char*>(P), static_cast<std::size_t>(N));
}

} // namespace zem
