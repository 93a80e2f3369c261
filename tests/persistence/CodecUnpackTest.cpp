// The unpacker's fast loop against the test's slow decoder, on many seeded streams of mixed content: every
// stream unpacks alike into exact-size buffers, every cut of it reads past the end, and damaged streams
// either fail or unpack to what the slow decoder makes of them. Exact-size heap copies let the sanitizer
// build see any read past the packed block or write past the destination.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <random>
#include <stdexcept>
#include <vector>

#include "base/ZemInputCheck.h"
#include "persistence/CodecTestFormat.h"
#include "persistence/ZemCodec.h"

namespace {

// Runs, short periods (below and above 8), far copies, a small alphabet and random bytes, in pieces.
std::vector<std::uint8_t> MixedContent(std::mt19937& R, std::size_t Size) {
    std::vector<std::uint8_t> D;
    while (D.size() < Size) {
        const std::size_t Piece = 1 + R() % 300;
        const unsigned Kind = R() % 6, Period = 1 + R() % 40;
        for (std::size_t k = 0; k < Piece; ++k) {
            if (Kind == 0)
                D.push_back(static_cast<std::uint8_t>(R()));
            else if (Kind == 1 && D.size() >= Period)
                D.push_back(D[D.size() - Period]);
            else if (Kind == 2 && D.size() > 5000)
                D.push_back(D[D.size() - 5000 + k % 64]);
            else
                D.push_back(static_cast<std::uint8_t>("abcdefg \xe0\xe1"[R() % (Kind == 3 ? 2 : 10)]));
        }
    }
    D.resize(Size);
    return D;
}

// Unpacks Packed from an exact-size copy into an exact-size buffer of Size bytes.
std::vector<std::uint8_t> UnpackExactly(const std::vector<std::uint8_t>& Packed, std::size_t Size) {
    const auto In = std::make_unique_for_overwrite<std::uint8_t[]>(Packed.size());
    std::copy(Packed.begin(), Packed.end(), In.get());
    const auto Out = std::make_unique_for_overwrite<std::uint8_t[]>(Size);
    zem::G_Inflate(In.get(), Packed.size(), Out.get());
    return {Out.get(), Out.get() + Size};
}

zem::TInputFault FaultOfCut(const std::vector<std::uint8_t>& Packed, std::size_t Cut, std::size_t Size) {
    try {
        UnpackExactly({Packed.begin(), Packed.begin() + static_cast<std::ptrdiff_t>(Cut)}, Size);
    } catch (const zem::EInputFault& E) {
        return E.Fault();
    }
    return zem::TInputFault::TooLarge; // no fault: not what any cut should give
}

TEST(CodecUnpack, SeededStreamsUnpackAlikeAndEveryCutReadsPastTheEnd) {
    for (unsigned Seed = 0; Seed < 60; ++Seed) {
        SCOPED_TRACE(Seed);
        std::mt19937 R(Seed);
        // Small streams are cut at every length; a few large ones span several 8192-symbol blocks and are
        // cut at every length near their end and in steps elsewhere.
        const bool Large = Seed % 10 == 9;
        const std::vector<std::uint8_t> Data = MixedContent(R, Large ? 60000 + R() % 60000 : 1 + R() % 2500);
        const zem::TPackedBlock P = zem::G_Deflate(Data, 1 + static_cast<int>(R() % 4));
        const std::vector<std::uint8_t> Packed(
            P.Memory.begin(), P.Memory.begin() + static_cast<std::ptrdiff_t>(P.PackedLength));
        ASSERT_EQ(UnpackExactly(Packed, Data.size()), Data);
        ASSERT_EQ(zem::G_Inflate(Packed), Data);
        if (Packed[3] & 0x80)
            continue; // stored: no bit stream to cut
        for (std::size_t Cut = 0; Cut < Packed.size(); Cut += !Large || Cut + 200 > Packed.size() ? 1 : 37)
            ASSERT_EQ(FaultOfCut(Packed, Cut, Data.size()), zem::TInputFault::PastEnd) << "cut at " << Cut;
    }
}

TEST(CodecUnpack, DamagedStreamsFailOrUnpackAsTheSlowDecoderDoes) {
    std::mt19937 R(99);
    int Failures = 0, Unpacked = 0;
    for (int Trial = 0; Trial < 400; ++Trial) {
        const std::vector<std::uint8_t> Data = MixedContent(R, 1 + R() % 20000);
        const zem::TPackedBlock P = zem::G_Deflate(Data, 1 + static_cast<int>(R() % 4));
        std::vector<std::uint8_t> Bad(P.Memory.begin(),
                                      P.Memory.begin() + static_cast<std::ptrdiff_t>(P.PackedLength));
        if (Bad[3] & 0x80)
            continue;
        for (int k = 0, n = 1 + static_cast<int>(R() % 3); k < n; ++k)
            Bad[4 + R() % (Bad.size() - 4)] ^= static_cast<std::uint8_t>(1u << (R() % 8));
        bool SlowFails = false;
        zem::codectest::TDecoded Slow;
        try {
            Slow = zem::codectest::SlowDecode(Bad);
        } catch (const std::runtime_error&) {
            SlowFails = true;
        }
        try {
            const std::vector<std::uint8_t> Out = UnpackExactly(Bad, Data.size());
            // The slow decoder takes an over-subscribed code as it comes; this one refuses it, so only
            // a success is compared.
            EXPECT_FALSE(SlowFails) << "trial " << Trial;
            EXPECT_EQ(Out, Slow.Output) << "trial " << Trial;
            ++Unpacked;
        } catch (const zem::EInputFault&) {
            ++Failures;
        }
    }
    EXPECT_GT(Failures, 50);
    EXPECT_GT(Unpacked, 10);
}

} // namespace
