#include "transport/ZemRandom.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

using namespace zem;

namespace {

std::vector<std::int32_t> Draws(TZemRandom& R, int n, std::int32_t Range) {
    std::vector<std::int32_t> V;
    V.reserve(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i)
        V.push_back(R.Uniform(Range));
    return V;
}

} // namespace

TEST(Random, AFixedSeedGivesTheSameDrawsWhateverTheReseeds) {
    TZemRandom A(42), B(42);
    EXPECT_TRUE(A.Fixed());
    const auto First = Draws(A, 50, 1000);
    B.Reseed();
    EXPECT_EQ(Draws(B, 50, 1000), First);
    TZemRandom C(43);
    EXPECT_NE(Draws(C, 50, 1000), First);
}

TEST(Random, DrawsStayInRangeAndCoverIt) {
    TZemRandom R(1);
    std::set<std::int32_t> Seen;
    for (int i = 0; i < 2000; ++i) {
        const std::int32_t v = R.Uniform(5);
        ASSERT_GE(v, 0);
        ASSERT_LT(v, 5);
        Seen.insert(v);
    }
    EXPECT_EQ(Seen.size(), 5u);
    EXPECT_EQ(R.Uniform(1), 0);
    EXPECT_EQ(R.Uniform(0), 0);
    EXPECT_EQ(R.Uniform(-7), 0);
}

TEST(Random, ClockReseedsInQuickSuccessionDiffer) {
    TZemRandom R;
    EXPECT_FALSE(R.Fixed());
    std::set<std::vector<std::int32_t>> Sequences;
    for (int i = 0; i < 20; ++i) {
        R.Reseed();
        Sequences.insert(Draws(R, 8, 1 << 30));
    }
    EXPECT_EQ(Sequences.size(), 20u);
}
