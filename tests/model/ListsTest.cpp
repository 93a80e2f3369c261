#include "base/ZemLists.h"

#include <gtest/gtest.h>

#include <memory>

using namespace zem;

namespace {
const char* const BadIndex = "Попытка обратиться к несуществующему элементу списка или очереди.";

template <class F> void ExpectMessage(F&& Action, const std::string& Message) {
    try {
        Action();
        FAIL() << "no exception";
    } catch (const EZemError& E) {
        EXPECT_EQ(std::string(E.what()), Message);
    }
}

std::vector<int> Items(const TIntegerList& L) {
    return std::vector<int>(L.begin(), L.end());
}
} // namespace

TEST(Capacity, GrowthAndRoundingRules) {
    EXPECT_EQ(zem::GrowCapacity(0), 16);
    EXPECT_EQ(zem::GrowCapacity(5), 16);
    EXPECT_EQ(zem::GrowCapacity(6), 64);
    EXPECT_EQ(zem::GrowCapacity(53), 64);
    EXPECT_EQ(zem::GrowCapacity(54), 256);
    EXPECT_EQ(zem::GrowCapacity(245), 256);
    EXPECT_EQ(zem::GrowCapacity(246), 1024);
    EXPECT_EQ(zem::GrowCapacity(1013), 1024);
    EXPECT_EQ(zem::GrowCapacity(1014), 2048);
    EXPECT_EQ(zem::GrowCapacity(2037), 2048);
    EXPECT_EQ(zem::GrowCapacity(2038), 4096); // 2048 is not greater than 2038 + 10
    EXPECT_THROW(zem::GrowCapacity(0x7FFFFFF0), EIntOverflow);
    EXPECT_EQ(zem::RoundCapacity(0), 16);
    EXPECT_EQ(zem::RoundCapacity(17), 64);
    EXPECT_EQ(zem::RoundCapacity(1024), 1024);
    EXPECT_EQ(zem::RoundCapacity(1025), 2048);
    EXPECT_EQ(zem::RoundCapacity(4096), 4096);
}

TEST(IntegerList, FirstAddAllocatesSixteenAndGrowsByTheRule) {
    TIntegerList L;
    EXPECT_EQ(L.Capacity(), 0);
    L.Add(1);
    EXPECT_EQ(L.Capacity(), 16);
    for (int i = 0; i < 16; ++i)
        L.Add(i);
    EXPECT_EQ(L.Capacity(), 64);
    L.TrimCapacity();
    EXPECT_EQ(L.Capacity(), 17);
    L.Clear();
    EXPECT_EQ(L.Capacity(), 17);
}

TEST(IntegerList, AppendedListScansForwardForFirstOccurrence) {
    TIntegerList L;
    EXPECT_TRUE(L.IsSorted());
    for (int v : {5, 3, 9, 3, 1})
        L.Add(v);
    EXPECT_FALSE(L.IsSorted());
    EXPECT_EQ(L.IndexOf(3), 1);
    EXPECT_EQ(L.IndexOf(7), -1);
    L.Remove(3);
    EXPECT_EQ(Items(L), (std::vector<int>{5, 9, 1}));
    L.Clear();
    EXPECT_FALSE(L.IsSorted()); // Clear does not reset it
}

TEST(IntegerList, SortedListUsesBinarySearchAndRemovesWholeRun) {
    TIntegerList L;
    for (int v : {4, 2, 2, 8, 2, 6})
        L.Add(v);
    L.Sort();
    EXPECT_TRUE(L.IsSorted());
    EXPECT_EQ(L.IndexOf(6), 4);
    L.Remove(2);
    EXPECT_EQ(Items(L), (std::vector<int>{4, 6, 8}));
    L.Remove(5);
    EXPECT_EQ(L.Count(), 3);
}

TEST(IntegerList, MaintainSortedInsertsInOrderAndRefusesInsert) {
    TIntegerList L;
    L.MaintainSorted = true;
    for (int v : {5, 1, 3, 3, 9})
        L.Add(v);
    EXPECT_EQ(Items(L), (std::vector<int>{1, 3, 3, 5, 9}));
    ExpectMessage([&] { L.Insert(0, 7); },
                  "Недопустима вставка элементов в массив при (MaintainSorted = True).");
    EXPECT_EQ(Items(L), (std::vector<int>{1, 3, 3, 5, 9}));
}

TEST(IntegerList, IndexErrorsLeaveListUnchanged) {
    TIntegerList L;
    for (int v : {1, 2, 3})
        L.Add(v);
    ExpectMessage([&] { L.Insert(4, 0); }, BadIndex);
    ExpectMessage([&] { L.Insert(-1, 0); }, BadIndex);
    ExpectMessage([&] { L.RemoveAt(3); }, BadIndex);
    ExpectMessage([&] { L.RemoveAt(-1); }, BadIndex);
    ExpectMessage([&] { L.RemoveRange(4, 1); }, BadIndex);
    EXPECT_EQ(Items(L), (std::vector<int>{1, 2, 3}));
    L.Insert(3, 4);
    L.Insert(0, 0);
    EXPECT_EQ(Items(L), (std::vector<int>{0, 1, 2, 3, 4}));
}

TEST(IntegerList, RemoveRangeCutsOrRemoves) {
    TIntegerList L;
    for (int v = 0; v < 6; ++v)
        L.Add(v);
    L.RemoveRange(1, 2);
    EXPECT_EQ(Items(L), (std::vector<int>{0, 3, 4, 5}));
    L.RemoveRange(1, 0);
    L.RemoveRange(1, -3);
    EXPECT_EQ(L.Count(), 4);
    L.RemoveRange(2, 2); // reaches the end: cut
    EXPECT_EQ(Items(L), (std::vector<int>{0, 3}));
    L.RemoveRange(2, 5); // Index = Count is allowed
    EXPECT_EQ(L.Count(), 2);
}

TEST(IntegerList, AssignCopiesSortednessAndRoundsCapacity) {
    TIntegerList A, B;
    for (int v : {3, 1, 2})
        A.Add(v);
    B.Assign(A);
    EXPECT_EQ(Items(B), (std::vector<int>{3, 1, 2}));
    EXPECT_FALSE(B.IsSorted());
    EXPECT_EQ(B.Capacity(), 16);
    TIntegerList C;
    C.MaintainSorted = true;
    C.Assign(A);
    EXPECT_EQ(Items(C), (std::vector<int>{1, 2, 3}));
    EXPECT_TRUE(C.IsSorted());
}

TEST(IntegerAssociationList, KeepsKeysSortedAndRefusesDuplicates) {
    TIntegerAssociationList<std::unique_ptr<int>> L;
    for (int k : {30, 10, 20})
        L.Add(k, std::make_unique<int>(k * 2));
    EXPECT_EQ(L.Keys(0), 10);
    EXPECT_EQ(L.Keys(2), 30);
    EXPECT_EQ(**L.Find(20), 40);
    EXPECT_EQ(L.Find(25), nullptr);
    ExpectMessage([&] { L.Add(20, std::make_unique<int>(0)); },
                  "Нарушение уникальности ключа в наборе TIntegerAssociationList.");
    EXPECT_EQ(L.Count(), 3);
    EXPECT_EQ(**L.Find(20), 40);
    ExpectMessage([&] { L.RemoveAt(3); }, BadIndex);
    L.Remove(99);
    L.Remove(10);
    EXPECT_EQ(L.IndexOf(30), 1);
    EXPECT_FALSE(L.Contains(10));
    L.Clear();
    EXPECT_EQ(L.Count(), 0);
}

TEST(ArrayList, GrowsAndClears) {
    TArrayList<int*> L;
    int a = 1, b = 2;
    L.Add(&a);
    L.Add(&b);
    EXPECT_EQ(L.Count(), 2);
    EXPECT_EQ(L.Capacity(), 16);
    EXPECT_EQ(*L.Items(1), 2);
    L.Clear();
    L.TrimCapacity();
    EXPECT_EQ(L.Capacity(), 0);
}

TEST(IntegerHashtable, SizesFromPrimesAndFindsAcrossCollisions) {
    TIntegerHashtable<int> T;
    EXPECT_EQ(T.SlotCount(), 17);
    TIntegerHashtable<int> Big(100);
    EXPECT_EQ(Big.SlotCount(), 163); // first prime above 140
    EXPECT_EQ(T.Find(5), nullptr);
    // Keys that share a start slot must all be found again, negative keys included.
    for (int k : {0, 17, 34, -1, 51, 68, 1000000})
        T.Add(k, k + 1);
    EXPECT_EQ(T.Count(), 7);
    for (int k : {0, 17, 34, -1, 51, 68, 1000000})
        ASSERT_NE(T.Find(k), nullptr) << k;
    EXPECT_EQ(*T.Find(-1), 0);
    for (int k = 100; k < 200; ++k)
        T.Add(k, k);
    EXPECT_EQ(T.Count(), 107);
    EXPECT_EQ(*T.Find(150), 150);
    EXPECT_EQ(*T.Find(34), 35);
    T.Clear();
    EXPECT_EQ(T.Count(), 0);
    EXPECT_EQ(T.Find(150), nullptr);
}

TEST(AssociationList, ReserveKeepsEntriesAndTheCapacityRule) {
    TIntegerAssociationList<std::unique_ptr<int>> L;
    for (int k : {5, 1, 9})
        L.Add(k, std::make_unique<int>(k * 10));
    L.Reserve(1000);
    EXPECT_EQ(L.Capacity(), 1024);
    L.Reserve(10); // never shrinks
    EXPECT_EQ(L.Capacity(), 1024);
    ASSERT_EQ(L.Count(), 3);
    for (int k : {1, 5, 9})
        EXPECT_EQ(**L.Find(k), k * 10);
    for (int k = 100; k < 1200; ++k) // past the reserved room it grows as before
        L.Add(k, std::make_unique<int>(k));
    EXPECT_EQ(L.Capacity(), 2048);
    EXPECT_EQ(**L.Find(1199), 1199);
}
