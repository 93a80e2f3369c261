// The unpacker. Why it is fast: the bit reader keeps up to 64 bits in a register and refills them with
// one unaligned 8-byte load that tops the buffer up to at least 56 bits. Each symbol is one look-up in a
// table whose entry carries everything (ZemDecodeTable.h): a literal's byte, or a length or distance base
// with its code and extra-bit counts, so a code and its extra bits go with one shift. The fast loop looks
// up the next code before it writes the current literal or copies the current match, takes up to three
// literals per refill, and checks neither input, room nor symbol count per symbol while it is far from
// their ends; matches are copied in 8- and 16-byte words. Near the ends a careful step takes over that
// checks everything. Blocks carry only 8192 symbols, so their tables are built from the symbols in use.
//
// Every check of the untrusted packed data goes through CheckInput (ZemInputCheck.h), which reports what is
// wrong as a code: the caller chooses the words.
#include "persistence/ZemCodec.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>
#include <memory>

#include "base/ZemInputCheck.h"
#include "base/ZemLittleEndian.h"
#include "persistence/ZemCodecFormat.h"
#include "persistence/ZemDecodeTable.h"
#include "persistence/ZemMemory.h"

namespace zem {

namespace {

using namespace codec;

// ---- The bit stream -----------------------------------------------------------------------------

#define ZEM_INLINE [[gnu::always_inline]] inline

// The bit reader. Past the end of the input it appends zero bytes and counts their bits in Phantom; they
// sit above the real bits in the buffer, so the stream has read past its end exactly when Count < Phantom,
// which is checked after every symbol and every header field before anything read is acted upon.
struct TBitReader {
    const std::uint8_t* In;
    const std::uint8_t* InEnd;
    std::uint64_t Bits = 0;
    unsigned Count = 0;
    unsigned Phantom = 0;

    // Tops the buffer up to at least 56 bits: one unaligned load while 8 bytes remain.
    ZEM_INLINE void Refill() {
        if (InEnd - In >= 8) [[likely]]
            RefillFast();
        else
            RefillSlowly();
    }
    // The same when 8 bytes are known to remain.
    ZEM_INLINE void RefillFast() {
        Bits |= LoadLE64(In) << Count;
        In += (63 - Count) >> 3;
        Count |= 56;
    }
    ZEM_INLINE void RefillSlowly() {
        while (Count < 56) {
            if (In < InEnd)
                Bits |= static_cast<std::uint64_t>(*In++) << Count;
            else
                Phantom += 8;
            Count += 8;
        }
    }
    ZEM_INLINE std::uint32_t Take(unsigned N) {
        const auto V = static_cast<std::uint32_t>(Bits & ((std::uint64_t{1} << N) - 1));
        Bits >>= N;
        Count -= N;
        return V;
    }
    ZEM_INLINE void CheckNotPastEnd() const { CheckInput(Count >= Phantom, TInputFault::PastEnd); }
    // Copies Size bytes of 8 bits each from the stream, which the caller has checked are in the data,
    // eight at a time straight from the input, shifted into place; then the buffer starts afresh after
    // them.
    void CopyBytes(std::uint8_t* Out, std::size_t Size) {
        // The next bit is Shift bits into the byte at Src: the buffer holds the real bits from there on.
        const unsigned Real = Count - Phantom;
        const std::uint8_t* const Src = In - (Real + 7) / 8;
        const unsigned Shift = (8 - Real % 8) % 8;
        std::size_t k = 0;
        if (Shift == 0) {
            std::memcpy(Out, Src, Size);
            k = Size;
        }
        // Each output byte takes the top of one input byte and the bottom of the next.
        const std::size_t Available = static_cast<std::size_t>(InEnd - Src);
        for (; k + 8 <= Size && k + 9 <= Available; k += 8)
            StoreLE64(Out + k, LoadLE64(Src + k) >> Shift | std::uint64_t{Src[k + 8]} << (64 - Shift));
        for (; k < Size; ++k)
            Out[k] = static_cast<std::uint8_t>(Src[k] >> Shift | Src[k + 1] << (8 - Shift));
        In = Src + Size;
        Bits = 0;
        Count = 0;
        Phantom = 0;
        if (Shift != 0) {
            Bits = *In++ >> Shift;
            Count = 8 - Shift;
        }
    }
    // Decodes one symbol of Code and takes its code bits (not its extra bits); kMaxCodeBits bits must be
    // in the buffer. Returns a literal, a length, a distance or the long match.
    ZEM_INLINE std::uint32_t Decode(const TCode& Code) {
        std::uint32_t E = Code.Table[Bits & ((1u << Code.PrimaryBits) - 1)];
        if (IsExceptional(E)) [[unlikely]]
            E = DecodeLonger(Code.Table, E, static_cast<int>(Count) - static_cast<int>(Phantom));
        const unsigned N = EntryCodeBits(E);
        Bits >>= N;
        Count -= N;
        return E;
    }
    // A link to a second-level table (whose index bits are taken), bits of no code, or the long match.
    // RealBits: the bits of the data in the buffer where the code starts.
    ZEM_INLINE std::uint32_t DecodeLonger(const std::uint32_t* Table, std::uint32_t E, int RealBits) {
        if (IsLink(E)) {
            Bits >>= EntryBits(E);
            Count -= EntryBits(E);
            E = Table[EntryValue(E) + (Bits & ((1u << EntryCodeBits(E)) - 1))];
        }
        if (E == kInvalidEntry)
            NoSuchCode(RealBits);
        return E;
    }
    // No code has the bits in the buffer. When the data ended before a longest code (fewer real bits than
    // that where the code starts), the zeros standing in for the missing bits may be the cause. (The reader's
    // state is passed by value: the slow paths must not make it live in memory.)
    [[noreturn, gnu::noinline]] static void NoSuchCode(int RealBits) {
        CheckInput(RealBits >= kMaxCodeBits, TInputFault::PastEnd);
        CheckInput(false, TInputFault::Damaged);
        __builtin_unreachable();
    }
};

// Room a length sequence needs past its end: runs are written in whole 8-byte words.
constexpr int kLengthSlack = 8;

// Reads N code lengths coded with the code-length code; the previous length starts at 7. Lengths has
// kLengthSlack bytes of room past N, which are left zero.
void ReadLengths(TBitReader& Reader, const TCode& CodeLengthCode, std::uint8_t* Lengths, int N) {
    // The reader and the table in locals: the lengths written are bytes, which may alias anything behind a
    // reference, so the compiler would store and reload them at every length.
    TBitReader R = Reader;
    const std::uint32_t* const Table = CodeLengthCode.Table;
    static_assert(kCodeLengthPrimaryBits == kMaxCodeLengthBits); // one level: no links
    int i = 0;
    std::uint64_t Previous = kInitialPreviousLength;
    while (i < N) {
        // A symbol and its extra bits take at most 14 bits: refilling only then keeps the refill off the
        // chain from one look-up to the next.
        if (R.Count < kMaxCodeLengthBits + kRepeatExtraBits.back())
            R.Refill();
        const std::uint32_t E = Table[R.Bits & ((1u << kCodeLengthPrimaryBits) - 1)];
        if (IsExceptional(E)) [[unlikely]]
            TBitReader::NoSuchCode(static_cast<int>(R.Count) - static_cast<int>(R.Phantom));
        // These entries have no extra bits: all their bits are code bits.
        R.Bits >>= EntryBits(E);
        R.Count -= EntryBits(E);
        const std::uint32_t Symbol = EntryValue(E);
        if (Symbol < kFirstRepeatSymbol) {
            R.CheckNotPastEnd();
            Previous = Symbol;
            Lengths[i++] = static_cast<std::uint8_t>(Symbol);
            continue;
        }
        const int Repeat = kRepeatBase[Symbol - kFirstRepeatSymbol] +
                           static_cast<int>(R.Take(kRepeatExtraBits[Symbol - kFirstRepeatSymbol]));
        R.CheckNotPastEnd();
        CheckInput(Repeat <= N - i, TInputFault::Damaged); // a run past the end of the sequence
        // Most runs are short: whole words, up to 7 bytes past the run, which later lengths overwrite.
        const std::uint64_t Word = Previous * 0x0101010101010101u;
        for (int k = 0; k < Repeat; k += 8)
            std::memcpy(Lengths + i + k, &Word, 8);
        i += Repeat;
    }
    std::memset(Lengths + N, 0, kLengthSlack);
    Reader = R;
}

// The tables of one dynamic block.
struct TDynamicTables {
    std::array<std::uint32_t, TableRoom(kLitPrimaryBits, kLitLenSymbols)> LitLen;
    std::array<std::uint32_t, TableRoom(kDistPrimaryBits, kDistanceSymbols)> Distance;
    std::array<std::uint32_t, 1 << kCodeLengthPrimaryBits> CodeLength;
};

// Reads the descriptions of a dynamic block and builds its tables.
void ReadDynamicCodes(TBitReader& R, TDynamicTables& T) {
    std::array<std::uint8_t, kCodeLengthSymbols> CodeLengthLengths{};
    R.Refill();
    const int CodeLengthCount = kMinCodeLengthCount + static_cast<int>(R.Take(kCodeLengthCountBits));
    for (int i = 0; i < CodeLengthCount; ++i) {
        R.Refill();
        CodeLengthLengths[kCodeLengthOrder[i]] = static_cast<std::uint8_t>(R.Take(kCodeLengthLengthBits));
    }
    R.CheckNotPastEnd();
    BuildDecodeTable(CodeLengthLengths.data(), kCodeLengthSymbols, kCodeLengthEntries.data(),
                     kCodeLengthPrimaryBits, T.CodeLength.data());
    const TCode CodeLengthCode{T.CodeLength.data(), kCodeLengthPrimaryBits};

    std::array<std::uint8_t, kLitLenSymbols + kLengthSlack> LitLenLengths{};
    R.Refill();
    ReadLengths(R, CodeLengthCode, LitLenLengths.data(),
                kMinLitLenCount + static_cast<int>(R.Take(kLitLenCountBits)));
    std::array<std::uint8_t, kDistanceSymbols + kLengthSlack> DistanceLengths{};
    R.Refill();
    ReadLengths(R, CodeLengthCode, DistanceLengths.data(), 1 + static_cast<int>(R.Take(kDistanceCountBits)));
    R.CheckNotPastEnd();

    BuildDecodeTable(LitLenLengths.data(), kLitLenSymbols, kLitLenEntries.data(), kLitPrimaryBits,
                     T.LitLen.data());
    BuildDecodeTable(DistanceLengths.data(), kDistanceSymbols, kDistanceEntries.data(), kDistPrimaryBits,
                     T.Distance.data());
}

// ---- The output ----------------------------------------------------------------------------------

// Where the unpacked bytes go: the room Begin..Limit is at hand, and the whole output is Final bytes. A
// caller's buffer is all the room there is (Limit = Begin + Final). A growing buffer starts smaller and
// gets more room only when the data actually produces the bytes, so a claimed length costs memory only as
// far as the data backs it.
struct TOutputRoom {
    std::uint8_t* Begin;
    std::uint8_t* Limit;
    std::size_t Final;
    std::vector<std::uint8_t>* Growable = nullptr;

    // Makes room for Need more bytes at Out, where Need <= what is still missing, and returns where Out is
    // now. The room at least doubles each time (up to Final), so the bytes are moved only a few times.
    [[gnu::noinline]] std::uint8_t* Grow(std::uint8_t* Out, std::size_t Need) {
        const std::size_t Produced = static_cast<std::size_t>(Out - Begin);
        CheckInput(Growable != nullptr && Need <= Final - Produced, TInputFault::Damaged);
        const std::size_t Size = std::max(Produced + Need, std::min(Final, 2 * Growable->size()));
        // A new buffer rather than a resize, so the old one, which holds map data, is zeroed before release.
        std::vector<std::uint8_t> Bigger(Size);
        std::memcpy(Bigger.data(), Begin, Produced);
        SecureZero(Growable->data(), Growable->size());
        Growable->swap(Bigger);
        Begin = Growable->data();
        Limit = Begin + Size;
        return Begin + Produced;
    }
};

// For a period below 8: the smallest multiple of the period that is at least 8. Output with period p
// also repeats every multiple of p, so 8-byte words can be copied from that far back.
constexpr std::array<std::uint8_t, 8> kStretchedPeriod = {0, 8, 8, 9, 8, 10, 12, 14};

// Copies Length bytes from Dist bytes back in whole words, the first ones without a test (most matches
// are short). Writes up to kCopySlack bytes past the match: they must be inside the output. Each word's
// source lies before its destination.
constexpr std::size_t kCopySlack = 32;
ZEM_INLINE std::uint8_t* CopyWords(std::uint8_t* Out, std::uint32_t Dist, std::uint32_t Length) {
    const std::uint8_t* Src = Out - Dist;
    std::uint8_t* const End = Out + Length;
    if (Dist >= 16) {
        std::memcpy(Out, Src, 16);
        std::memcpy(Out + 16, Src + 16, 16);
        for (Out += 32, Src += 32; Out < End; Out += 16, Src += 16)
            std::memcpy(Out, Src, 16);
    } else if (Dist >= 8) {
        std::memcpy(Out, Src, 8);
        std::memcpy(Out + 8, Src + 8, 8);
        for (Out += 16, Src += 16; Out < End; Out += 8, Src += 8)
            std::memcpy(Out, Src, 8);
    } else if (Dist == 1) {
        std::memset(Out, *Src, Length);
    } else {
        // A short period: its first 8 bytes one by one, then words from a multiple of the period back.
        for (int k = 0; k < 8; ++k)
            Out[k] = Src[k];
        Src = Out + 8 - kStretchedPeriod[Dist];
        for (Out += 8; Out < End; Out += 8, Src += 8)
            std::memcpy(Out, Src, 8);
    }
    return End;
}

// Copies Length bytes from Dist bytes back; Out + Length <= OutEnd.
ZEM_INLINE std::uint8_t* CopyMatch(std::uint8_t* Out, std::uint8_t* const OutEnd, std::uint32_t Dist,
                                   std::uint32_t Length) {
    if (static_cast<std::size_t>(OutEnd - Out) >= Length + kCopySlack) [[likely]]
        return CopyWords(Out, Dist, Length);
    const std::uint8_t* Src = Out - Dist;
    std::uint8_t* const End = Out + Length;
    while (Out < End)
        *Out++ = *Src++;
    return End;
}

// The careful step: one symbol (or up to three literals) with every refill checked against the end of
// the input and everything read checked before it is acted upon. It decodes what the fast loop leaves:
// the last bytes of the input and of the room at hand, and the last symbols of a block.
bool DecodeCarefully(TBitReader& R, std::uint8_t*& Out, std::uint8_t*& OutBegin, std::uint8_t*& OutEnd,
                     TOutputRoom& Room, const TCode& LitLen, const TCode& Distance, int& SymbolsLeft) {
    R.Refill();
    std::uint32_t E = R.Decode(LitLen);
    // Up to three literals from one refill: each takes at most 14 of the 56 bits.
    for (int k = 0; IsLiteral(E); ++k) {
        R.CheckNotPastEnd();
        *Out++ = static_cast<std::uint8_t>(EntryValue(E));
        if (--SymbolsLeft == 0 || Out == OutEnd)
            return false;
        if (k == 2)
            return true;
        E = R.Decode(LitLen);
    }
    if (R.Count < 37) // a length and its extra bits
        R.Refill();
    std::uint32_t Length;
    if (!IsExceptional(E)) [[likely]] {
        Length = EntryValue(E) + R.Take(EntryExtra(E));
    } else {
        // Symbol 286: groups of 7 bits, bit 7 of the first two marking the last group.
        std::uint32_t G = R.Take(kLongGroupBits);
        Length = G & 0x7F;
        if ((G & kLongGroupStop) == 0) {
            G = R.Take(kLongGroupBits);
            Length += (G & 0x7F) << 7;
            if ((G & kLongGroupStop) == 0)
                Length += R.Take(kLongLastGroupBits) << 14;
        }
        Length += kLongMatchBase;
    }
    R.Refill();
    const std::uint32_t D = R.Decode(Distance);
    const std::uint32_t Dist = EntryValue(D) + R.Take(EntryExtra(D));
    R.CheckNotPastEnd();
    CheckInput(Dist <= static_cast<std::size_t>(Out - OutBegin), TInputFault::Damaged);
    if (Length > static_cast<std::size_t>(OutEnd - Out)) [[unlikely]] {
        Out = Room.Grow(Out, Length); // refuses a match longer than the output still missing
        OutBegin = Room.Begin;
        OutEnd = Room.Limit;
    }
    Out = CopyMatch(Out, OutEnd, Dist, Length);
    return --SymbolsLeft != 0 && Out < OutEnd;
}

// The most input one step of the fast loop reads, counted from In at its start: a step refills at most
// twice (a match), each refill an unaligned 8-byte load at In that moves In on by at most 7 bytes.
constexpr std::ptrdiff_t kFastInput = 2 * 7 + 8;
// The most output a step writes without looking at the room: three literals.
constexpr std::ptrdiff_t kFastOutput = 3;

// The fast loop: while kFastInput bytes of input and kFastOutput bytes of room remain and at least three
// symbols of the block are left, no refill, literal or symbol count is checked. Every step starts with at
// least 56 bits in the buffer and the entry of the next literal/length code already looked up, so each
// step decodes from bits that are there: three literals take at most 3 x 14 bits and leave 14 for the
// next look-up. A match refills after its length (at most 20 bits, the long match 14 + 23), its distance
// (at most 30) then leaves at least 26 bits for the next look-up, and the buffer is refilled after that
// look-up. Both look-ups read the bits that were there before the refill, so the refill's load and shift
// stay off the chain from one look-up to the next (which made matches 5-10 % faster). Its reads all lie in
// the data, so every code it finds without meaning is damage, and the checks of distance and length are
// those of the careful step.
ZEM_INLINE void DecodeFastLoop(TBitReader& R, std::uint8_t*& OutRef, std::uint8_t*& OutBeginRef,
                               std::uint8_t*& OutEndRef, TOutputRoom& Room, const TCode& LitLen,
                               const TCode& Distance, int& SymbolsLeftRef) {
    if (R.InEnd - R.In < kFastInput || OutEndRef - OutRef < kFastOutput || SymbolsLeftRef < 3)
        return;
    // Everything in locals: the bytes written could alias anything reached through a reference, which
    // would make the compiler reload it after every store.
    std::uint8_t* Out = OutRef;
    std::uint8_t* OutBegin = OutBeginRef;
    std::uint8_t* OutEnd = OutEndRef;
    int SymbolsLeft = SymbolsLeftRef;
    const std::uint32_t* const LitTable = LitLen.Table;
    constexpr std::uint32_t LitMask = (1u << kLitPrimaryBits) - 1;
    const std::uint32_t* const DistTable = Distance.Table;
    constexpr std::uint32_t DistMask = (1u << kDistPrimaryBits) - 1;
    std::uint64_t Bits = R.Bits;
    // The bit count is its low byte (never above 63); whole entries are subtracted from it, which leaves
    // the low byte exact and saves masking the entry.
    std::uint32_t Count = R.Count;
    const std::uint8_t* In = R.In;
    const std::uint8_t* const InFastEnd = R.InEnd - kFastInput;
    auto Refill = [&]() __attribute__((always_inline)) {
        Bits |= LoadLE64(In) << (Count & 63);
        In += 7 - ((Count >> 3) & 7);
        Count |= 56;
    };
    // Takes the entry's code and extra bits; returns the buffer as it was before.
    auto Consume = [&](std::uint32_t E) __attribute__((always_inline)) {
        const std::uint64_t Saved = Bits;
        Bits >>= EntryBits(E);
        Count -= E;
        return Saved;
    };
    auto Extra = [](std::uint64_t Saved, std::uint32_t E) __attribute__((always_inline)) {
        // The low byte is the bit count, which lets BMI2 take the mask straight from the entry.
        const std::uint64_t Taken = Saved & ((std::uint64_t{1} << static_cast<std::uint8_t>(E)) - 1);
        return static_cast<std::uint32_t>(Taken >> EntryCodeBits(E));
    };
    Refill();
    std::uint32_t E = LitTable[Bits & LitMask];
    while (In <= InFastEnd && OutEnd - Out >= kFastOutput && SymbolsLeft >= 3) {
        if (IsLiteral(E)) {
            Consume(E);
            std::uint32_t Next = LitTable[Bits & LitMask];
            Out[0] = static_cast<std::uint8_t>(E >> kValueShift);
            int Taken = 1;
            if (IsLiteral(Next)) {
                Consume(Next);
                E = LitTable[Bits & LitMask];
                Out[1] = static_cast<std::uint8_t>(Next >> kValueShift);
                Taken = 2;
                Next = E;
                if (IsLiteral(E)) {
                    Consume(E);
                    Next = LitTable[Bits & LitMask];
                    Out[2] = static_cast<std::uint8_t>(E >> kValueShift);
                    Taken = 3;
                }
            }
            Out += Taken;
            SymbolsLeft -= Taken;
            E = Next;
            Refill();
            continue;
        }
        std::uint32_t Length;
        if (!IsExceptional(E)) [[likely]] {
            Length = EntryValue(E) + Extra(Consume(E), E);
        } else {
            if (IsLink(E)) {
                Consume(E);
                E = LitTable[EntryValue(E) + (Bits & ((1u << EntryCodeBits(E)) - 1))];
            }
            if (IsLiteral(E)) {
                Consume(E);
                *Out++ = static_cast<std::uint8_t>(E >> kValueShift);
                --SymbolsLeft;
                E = LitTable[Bits & LitMask];
                Refill();
                continue;
            }
            if (E == kInvalidEntry) // the bits in the buffer are all data, more than a longest code
                TBitReader::NoSuchCode(static_cast<std::uint8_t>(Count));
            if (IsExceptional(E)) { // the long match
                Consume(E);
                // Symbol 286: groups of 7 bits, bit 7 of the first two marking the last group.
                std::uint32_t G = static_cast<std::uint32_t>(Bits) & 0xFF;
                Length = G & 0x7F;
                unsigned Taken = kLongGroupBits;
                if ((G & kLongGroupStop) == 0) {
                    G = static_cast<std::uint32_t>(Bits >> 8) & 0xFF;
                    Length += (G & 0x7F) << 7;
                    Taken += kLongGroupBits;
                    if ((G & kLongGroupStop) == 0) {
                        Length += (static_cast<std::uint32_t>(Bits >> 16) & 0x7F) << 14;
                        Taken += kLongLastGroupBits;
                    }
                }
                Bits >>= Taken;
                Count -= Taken;
                Length += kLongMatchBase;
            } else {
                Length = EntryValue(E) + Extra(Consume(E), E);
            }
        }
        std::uint32_t D = DistTable[Bits & DistMask]; // before the refill: off the look-up chain
        Refill();
        if (IsExceptional(D)) [[unlikely]] {
            if (IsLink(D)) {
                Consume(D);
                D = DistTable[EntryValue(D) + (Bits & ((1u << EntryCodeBits(D)) - 1))];
            }
            if (D == kInvalidEntry)
                TBitReader::NoSuchCode(static_cast<std::uint8_t>(Count));
        }
        const std::uint32_t Dist = EntryValue(D) + Extra(Consume(D), D);
        E = LitTable[Bits & LitMask]; // at least 26 bits left; the refill follows off the chain
        Refill();
        CheckInput(Dist <= static_cast<std::size_t>(Out - OutBegin), TInputFault::Damaged);
        if (static_cast<std::size_t>(OutEnd - Out) >= Length + kCopySlack) [[likely]] {
            Out = CopyWords(Out, Dist, Length);
        } else {
            if (Length > static_cast<std::size_t>(OutEnd - Out)) {
                Out = Room.Grow(Out, Length); // refuses a match longer than the output still missing
                OutBegin = Room.Begin;
                OutEnd = Room.Limit;
            }
            Out = CopyMatch(Out, OutEnd, Dist, Length);
        }
        --SymbolsLeft;
    }
    R.Bits = Bits;
    R.Count = static_cast<std::uint8_t>(Count);
    R.In = In;
    OutRef = Out;
    OutBeginRef = OutBegin;
    OutEndRef = OutEnd;
    SymbolsLeftRef = SymbolsLeft;
}

// The fast loop as plain x86-64 code and, for processors that have them, with the BMI2 shifts and bit
// extraction, which take a shift count from any register and shorten the chain from one look-up to the
// next. Chosen once per call.
using TDecodeFast = void (*)(TBitReader&, std::uint8_t*&, std::uint8_t*&, std::uint8_t*&, TOutputRoom&,
                             const TCode&, const TCode&, int&);
void DecodeFast(TBitReader& R, std::uint8_t*& Out, std::uint8_t*& OutBegin, std::uint8_t*& OutEnd,
                TOutputRoom& Room, const TCode& LitLen, const TCode& Distance, int& SymbolsLeft) {
    DecodeFastLoop(R, Out, OutBegin, OutEnd, Room, LitLen, Distance, SymbolsLeft);
}
#if defined(__x86_64__) && defined(__GNUC__)
[[gnu::target("bmi2")]] void DecodeFastBmi2(TBitReader& R, std::uint8_t*& Out, std::uint8_t*& OutBegin,
                                            std::uint8_t*& OutEnd, TOutputRoom& Room, const TCode& LitLen,
                                            const TCode& Distance, int& SymbolsLeft) {
    DecodeFastLoop(R, Out, OutBegin, OutEnd, Room, LitLen, Distance, SymbolsLeft);
}
TDecodeFast ChooseDecodeFast() {
    return __builtin_cpu_supports("bmi2") ? DecodeFastBmi2 : DecodeFast;
}
#else
TDecodeFast ChooseDecodeFast() {
    return DecodeFast;
}
#endif

// Decodes the symbols of a fixed or dynamic block: 8192 of them, or fewer when the output is complete.
// The reader and the output pointer live in registers for the whole block. Stops at the end of the block
// or of the output; when the room at hand is full first, it grows the room and goes on.
void DecodeSymbols(TBitReader& Reader, std::uint8_t*& OutRef, TOutputRoom& Room, const TCode LitLen,
                   const TCode Distance, TDecodeFast Fast) {
    TBitReader R = Reader;
    std::uint8_t* Out = OutRef;
    std::uint8_t* OutBegin = Room.Begin;
    std::uint8_t* OutEnd = Room.Limit;
    int SymbolsLeft = kBlockSymbols;
    for (;;) {
        Fast(R, Out, OutBegin, OutEnd, Room, LitLen, Distance, SymbolsLeft);
        // One careful step, then back to the fast loop, which returns at once while it cannot go on.
        if (SymbolsLeft != 0 && Out < OutEnd) {
            DecodeCarefully(R, Out, OutBegin, OutEnd, Room, LitLen, Distance, SymbolsLeft);
            continue;
        }
        if (SymbolsLeft == 0 || static_cast<std::size_t>(Out - OutBegin) == Room.Final)
            break;
        Out = Room.Grow(Out, 1);
        OutBegin = Room.Begin;
        OutEnd = Room.Limit;
    }
    Reader = R;
    OutRef = Out;
}

// Decodes the bit stream In..InEnd into Room, producing exactly Room.Final bytes.
void InflateBits(const std::uint8_t* In, const std::uint8_t* const InEnd, TOutputRoom& Room,
                 TInflateStats* Stats) {
    std::uint8_t* Out = Room.Begin;
    TBitReader R{In, InEnd};
    std::unique_ptr<TDynamicTables> Dynamic;
    const TFixedTables& Fixed = FixedTables();
    const TDecodeFast Fast = ChooseDecodeFast();
    while (static_cast<std::size_t>(Out - Room.Begin) < Room.Final) {
        R.Refill();
        if (R.Take(1) == 1) {
            if (!Dynamic)
                Dynamic =
                    std::make_unique_for_overwrite<TDynamicTables>(); // every entry read is written first
            ReadDynamicCodes(R, *Dynamic);
            DecodeSymbols(R, Out, Room, {Dynamic->LitLen.data(), kLitPrimaryBits},
                          {Dynamic->Distance.data(), kDistPrimaryBits}, Fast);
            if (Stats)
                ++Stats->DynamicBlocks;
        } else if (R.Take(1) == 1) {
            R.CheckNotPastEnd();
            DecodeSymbols(R, Out, Room, {Fixed.LitLen.data(), kLitPrimaryBits},
                          {Fixed.Distance.data(), kDistPrimaryBits}, Fast);
            if (Stats)
                ++Stats->FixedBlocks;
        } else {
            // Stored block: its bytes follow at whatever bit position the stream has reached.
            const std::size_t Size =
                std::min<std::size_t>(kStoredBase + R.Take(kStoredCountBits),
                                      Room.Final - static_cast<std::size_t>(Out - Room.Begin));
            R.CheckNotPastEnd();
            // Stored bytes are 8 bits each: they are in the data before they are made room for.
            CheckInput(Size <= static_cast<std::size_t>(R.InEnd - R.In) + (R.Count - R.Phantom) / 8,
                       TInputFault::PastEnd);
            if (Size > static_cast<std::size_t>(Room.Limit - Out))
                Out = Room.Grow(Out, Size);
            R.CopyBytes(Out, Size);
            Out += Size;
            if (Stats)
                ++Stats->StoredBlocks;
        }
    }
}

// H of a compressed block, checked against what DataLength bytes could produce at the very most: no
// stream gets more than kMaxMatch bytes out of kMinBitsOfLongestMatch bits, so H <= bits * kMaxMatch /
// kMinBitsOfLongestMatch, or the data must end before H bytes are made.
std::size_t CheckedLength(std::int32_t H, std::size_t DataLength) {
    const std::uint64_t Size = static_cast<std::uint32_t>(H);
    const std::uint64_t BitsNeeded = (Size * kMinBitsOfLongestMatch + kMaxMatch - 1) / kMaxMatch;
    CheckInput(DataLength >= BitsNeeded / 8 + (BitsNeeded % 8 != 0), TInputFault::PastEnd);
    return static_cast<std::size_t>(Size);
}

// A growing output starts with room for at most this many bytes per byte of packed data (the most that
// Deflate, with its 258-byte matches, gets out of a byte) and some more; real maps pack far less tightly.
// Beyond that, room is made as the bytes are produced.
constexpr std::size_t kHintRatio = 1032;
constexpr std::size_t kHintSlack = 64 << 10;

} // namespace

std::size_t G_Inflate(const void* SourceBytes, std::size_t PackedLength, void* DestinationBytes,
                      TInflateStats* Stats) {
    if (SourceBytes == nullptr)
        RaiseNilParameter("SourceBytes", "G_Inflate");
    const auto* Source = static_cast<const std::uint8_t*>(SourceBytes);
    CheckInput(PackedLength >= static_cast<std::size_t>(kHeaderBytes), TInputFault::PastEnd);
    const auto H = static_cast<std::int32_t>(LoadLE32(Source));
    const std::size_t DataLength = PackedLength - kHeaderBytes;
    if (H <= 0) {
        const std::size_t Size = static_cast<std::size_t>(-static_cast<std::int64_t>(H));
        CheckInput(Size <= DataLength, TInputFault::PastEnd);
        if (DestinationBytes != nullptr && Size != 0)
            std::memcpy(DestinationBytes, Source + kHeaderBytes, Size);
        return Size;
    }
    const std::size_t Size = CheckedLength(H, DataLength);
    if (DestinationBytes != nullptr) {
        auto* Out = static_cast<std::uint8_t*>(DestinationBytes);
        TOutputRoom Room{Out, Out + Size, Size};
        InflateBits(Source + kHeaderBytes, Source + PackedLength, Room, Stats);
    }
    return Size;
}

std::vector<std::uint8_t> G_Inflate(std::span<const std::uint8_t> Packed, std::size_t MaxLength) {
    static const std::uint8_t Empty = 0;
    const std::uint8_t* Source = Packed.empty() ? &Empty : Packed.data();
    const std::size_t Length = G_Inflate(Source, Packed.size());
    CheckInput(Length <= MaxLength, TInputFault::TooLarge);
    const auto H = static_cast<std::int32_t>(LoadLE32(Source));
    if (H <= 0)
        return std::vector<std::uint8_t>(Source + kHeaderBytes, Source + kHeaderBytes + Length);
    // The claimed length is only a hint, trusted as far as ordinary data could back it.
    const std::size_t DataLength = Packed.size() - kHeaderBytes;
    std::vector<std::uint8_t> Out(std::min(Length, kHintRatio * DataLength + kHintSlack));
    TOutputRoom Room{Out.data(), Out.data() + Out.size(), Length, &Out};
    InflateBits(Source + kHeaderBytes, Source + Packed.size(), Room, nullptr);
    return Out;
}

} // namespace zem
