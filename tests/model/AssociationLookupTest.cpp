// Finding a key in the association list: the guess for keys without gaps must give what a search gives,
// whatever gaps, negative keys or removals the list has.
#include "base/ZemLists.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>

using namespace zem;

TEST(AssociationLookup, FindsWhatASearchFinds) {
    std::mt19937 Rng(9);
    for (int Seed = 0; Seed < 40; ++Seed) {
        TIntegerAssociationList<int> L;
        std::set<int> Keys;
        const int Base = std::uniform_int_distribution<int>(-50, 50)(Rng);
        const int Gaps = std::uniform_int_distribution<int>(0, 3)(Rng); // 0: none
        for (int i = 0; i < 300; ++i) {
            const int Key = Base + i + (Gaps ? std::uniform_int_distribution<int>(0, Gaps * i)(Rng) : 0);
            if (Keys.insert(Key).second)
                L.Add(Key, Key * 2);
        }
        for (int r = 0; r < 30; ++r) {
            const int Key = *std::next(
                Keys.begin(), std::uniform_int_distribution<int>(0, static_cast<int>(Keys.size()) - 1)(Rng));
            Keys.erase(Key);
            L.Remove(Key);
        }
        const std::vector<int> Sorted(Keys.begin(), Keys.end());
        for (int Key = Base - 20; Key < Base + 1300; ++Key) {
            const auto It = std::lower_bound(Sorted.begin(), Sorted.end(), Key);
            const int Expected =
                It != Sorted.end() && *It == Key ? static_cast<int>(It - Sorted.begin()) : -1;
            ASSERT_EQ(L.IndexOf(Key), Expected) << Key;
            const int* V = L.Find(Key);
            ASSERT_EQ(V != nullptr, Expected >= 0);
            if (V) {
                ASSERT_EQ(*V, Key * 2);
            }
        }
    }
}
