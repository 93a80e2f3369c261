#include "address/ZemAddress.h"
#include "editing/ZemHistory.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <random>

using namespace zem;

namespace {

struct AddressFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t AddShape(TObjectKind Kind = otPolygon, float X = 0) {
        TZemObject T;
        T.Kind = Kind;
        T.AddPoint(X, 0);
        T.AddPoint(X + 10, 0);
        T.AddPoint(X + 10, 10);
        Map.AddObject(T);
        return Map.Doc.MaxID - 1;
    }
    TAddress Read(std::int32_t ID) {
        TAddress A;
        EXPECT_TRUE(Map.GetAddress(ID, A));
        return A;
    }
};

TAddress Full() {
    TAddress A;
    A.Index = FromUtf8("101000");
    A.City = FromUtf8("Москва");
    A.Street = FromUtf8("улица Покровка");
    A.Number = "12";
    A.Street2 = FromUtf8("Армянский переулок");
    A.Number2 = "3";
    A.Area = FromUtf8("Басманный");
    A.Corpus = "2";
    return A;
}

} // namespace

TEST_F(AddressFixture, UnknownObjectsHaveNoAddressAndTakeNone) {
    TAddress A = Full();
    EXPECT_FALSE(Map.GetAddress(-1, A));
    EXPECT_FALSE(Map.GetAddress(7, A));
    Map.SetAddress(7, Full());
    Map.SetAddress(-1, Full());
    EXPECT_TRUE(Map.Doc.Streets.empty());
    EXPECT_FALSE(Map.CanUndo());
}

TEST_F(AddressFixture, TextAddressRoundTripsThroughTheDirectories) {
    const std::int32_t ID = AddShape();
    Map.SetAddress(ID, Full());
    EXPECT_EQ(Read(ID), Full());
    const TZemAddress& S = Map.ObjectByID(ID).Address();
    EXPECT_FALSE(S.Empty);
    // A corner building's two new streets: Street is appended first.
    ASSERT_EQ(Map.Doc.Streets.size(), 2u);
    EXPECT_EQ(S.Street, 0);
    EXPECT_EQ(S.Street2, 1);
    EXPECT_EQ(Map.Doc.Areas, TZemDirectory{FromUtf8("Басманный")});
}

TEST_F(AddressFixture, AllFieldsEmptyMarksTheAddressEmpty) {
    const std::int32_t ID = AddShape();
    Map.SetAddress(ID, Full());
    Map.SetAddress(ID, TAddress{});
    const TZemAddress& S = Map.ObjectByID(ID).Address();
    EXPECT_TRUE(S.Empty);
    EXPECT_EQ(S.Street, -1);
    EXPECT_EQ(S.City, -1);
    EXPECT_TRUE(Read(ID).IsEmpty());
    // An empty record shows nothing even when it still holds positions.
    TZemAddress Stale = Map.ObjectByID(ID).Address();
    Stale.Street = 0;
    Map.ObjectByID(ID).SetAddress(Stale);
    EXPECT_TRUE(Read(ID).IsEmpty());
}

TEST_F(AddressFixture, StreetInAnotherCaseReusesTheLine) {
    Map.Doc.Streets = {FromUtf8("Тверская улица")};
    const std::int32_t ID = AddShape();
    TAddress A;
    A.Street = FromUtf8("ТВЕРСКАЯ улица");
    A.Street2 = FromUtf8("тверская УЛИЦА");
    Map.SetAddress(ID, A);
    EXPECT_EQ(Map.Doc.Streets.size(), 1u);
    EXPECT_EQ(Map.ObjectByID(ID).Address().Street, 0);
    EXPECT_EQ(Map.ObjectByID(ID).Address().Street2, 0);
    EXPECT_EQ(Read(ID).Street, FromUtf8("Тверская улица")); // in the directory's letter case
}

TEST_F(AddressFixture, NewDistrictIsAppendedOnce) {
    Map.Doc.Areas = {FromUtf8("Арбат"), FromUtf8("Хамовники")};
    const std::int32_t A1 = AddShape(), A2 = AddShape(otPolygon, 20);
    TAddress A;
    A.Area = FromUtf8("Басманный");
    Map.SetAddress(A1, A);
    A.Area = FromUtf8("БАСМАННЫЙ");
    Map.SetAddress(A2, A);
    ASSERT_EQ(Map.Doc.Areas.size(), 3u);
    EXPECT_EQ(Map.Doc.Areas.back(), FromUtf8("Басманный"));
    EXPECT_EQ(Map.ObjectByID(A1).Address().Area, 2);
    EXPECT_EQ(Map.ObjectByID(A2).Address().Area, 2);
}

TEST_F(AddressFixture, NumberWithoutStreetStays) {
    const std::int32_t ID = AddShape();
    TAddress A;
    A.Number = "7";
    Map.SetAddress(ID, A);
    const TZemAddress& S = Map.ObjectByID(ID).Address();
    EXPECT_FALSE(S.Empty);
    EXPECT_EQ(S.Street, -1);
    EXPECT_EQ(S.Number, "7");
    EXPECT_EQ(Read(ID), A);
}

TEST_F(AddressFixture, PositionsBeyondTheDirectoryReadAsNoName) {
    const std::int32_t ID = AddShape();
    TZemAddress S;
    S.Empty = false;
    S.Street = 5;
    S.City = -7;
    S.Number = "1";
    Map.ObjectByID(ID).SetAddress(S);
    const TAddress A = Read(ID);
    EXPECT_TRUE(A.Street.empty());
    EXPECT_TRUE(A.City.empty());
    EXPECT_EQ(A.Number, "1");
}

TEST_F(AddressFixture, OneUndoStepTakesBackAddressAndNewNames) {
    const std::int32_t ID = AddShape();
    Map.ClearHistory();
    Map.SetAddress(ID, Full());
    EXPECT_TRUE(Map.Modified());
    EXPECT_EQ(Map.History().StepCount(), 1u);
    Map.Undo();
    EXPECT_TRUE(Read(ID).IsEmpty());
    EXPECT_TRUE(Map.Doc.Streets.empty());
    EXPECT_TRUE(Map.Doc.Cities.empty());
    EXPECT_FALSE(Map.Modified());
    Map.Redo();
    EXPECT_EQ(Read(ID), Full());
    // The same address again changes nothing and records nothing.
    Map.SetAddress(ID, Full());
    EXPECT_EQ(Map.History().Position(), 1u);
}

TEST_F(AddressFixture, VisibleObjectsGetOnlyThePartsTheyLack) {
    Map.Doc.Streets = {FromUtf8("Арбат")};
    const std::int32_t Current = AddShape(), Bare = AddShape(otPolygon, 20), Own = AddShape(otPolygon, 40);
    const std::int32_t J = AddShape(otRoadCross, 60);
    TAddress Has;
    Has.Street = FromUtf8("Арбат");
    Has.Number = "5";
    Map.SetAddress(Own, Has);
    Map.Refresh();
    ASSERT_TRUE(Map.View.VisibleList.Contains(Bare));
    Map.ClearHistory();

    const TAddress A = Full();
    EXPECT_EQ(Map.SetAddressForVisible(Current, A), 2);
    EXPECT_EQ(Map.History().StepCount(), 1u);
    EXPECT_EQ(Read(Current), A); // the dialog's object takes it whole
    TAddress Want = A;
    Want.Number = Want.Number2 = Want.Corpus = "";
    EXPECT_EQ(Read(Bare), Want); // house numbers belong to one building
    const TAddress Kept = Read(Own);
    EXPECT_EQ(Kept.Street, FromUtf8("Арбат"));
    EXPECT_EQ(Kept.Number, "5");
    EXPECT_EQ(Kept.City, A.City);
    EXPECT_EQ(Kept.Street2, A.Street2);
    EXPECT_TRUE(Map.ObjectByID(J).Address().Empty);
    Map.Undo();
    EXPECT_TRUE(Read(Bare).IsEmpty());
    EXPECT_EQ(Read(Own), Has);
    EXPECT_EQ(Map.Doc.Streets, TZemDirectory{FromUtf8("Арбат")});
}

TEST(AddressDirectory, SortedIgnoringCaseWithYoAfterYe) {
    const TZemDirectory D = {FromUtf8("ёлочная"), FromUtf8("Жуковского"), FromUtf8("арбат"),
                             FromUtf8("Елецкая"), FromUtf8("Бульвар")};
    const std::vector<ZemString> Want = {FromUtf8("арбат"), FromUtf8("Бульвар"), FromUtf8("Елецкая"),
                                         FromUtf8("ёлочная"), FromUtf8("Жуковского")};
    EXPECT_EQ(SortedDirectory(D), Want);
    EXPECT_EQ(FindDirectoryLine(D, FromUtf8("АРБАТ")), 2);
    EXPECT_EQ(FindDirectoryLine(D, FromUtf8("Арбатская")), -1);
}

// Many seeded sequences of typed addresses: what is read back is what was typed, ignoring case; no
// directory holds two lines that differ only in case; undoing everything leaves the directories empty.
TEST_F(AddressFixture, RandomSequencesKeepTheDirectoriesConsistent) {
    const char* Names[] = {"Арбат", "арбат", "АРБАТ", "Тверская", "тверская",
                           "Мира",  "",      "",      "Lenina",   "LENINA"};
    std::vector<std::int32_t> IDs;
    for (int i = 0; i < 5; ++i)
        IDs.push_back(AddShape(otPolygon, static_cast<float>(20 * i)));
    for (unsigned Seed = 1; Seed <= 40; ++Seed) {
        std::mt19937 Rng(Seed);
        auto Pick = [&] { return FromUtf8(Names[Rng() % std::size(Names)]); };
        Map.ClearHistory();
        for (auto* D : {&Map.Doc.Streets, &Map.Doc.Cities, &Map.Doc.Areas, &Map.Doc.Indexes})
            D->clear();
        for (std::int32_t ID : IDs)
            Map.ObjectByID(ID).SetAddress(TZemAddress{});
        const int Steps = 1 + static_cast<int>(Rng() % 12);
        for (int s = 0; s < Steps; ++s) {
            TAddress A{Pick(), Pick(), Pick(), Rng() % 2 ? "1" : "", Pick(), "", Pick(), ""};
            const std::int32_t ID = IDs[Rng() % IDs.size()];
            Map.SetAddress(ID, A);
            const TAddress Got = Read(ID);
            for (auto F : {&TAddress::Index, &TAddress::City, &TAddress::Street, &TAddress::Street2,
                           &TAddress::Area, &TAddress::Number})
                ASSERT_TRUE(SameText(Got.*F, A.*F)) << "seed " << Seed;
            ASSERT_EQ(Map.ObjectByID(ID).Address().Empty, A.IsEmpty());
        }
        for (auto* D : {&Map.Doc.Streets, &Map.Doc.Cities, &Map.Doc.Areas, &Map.Doc.Indexes})
            for (std::size_t i = 0; i < D->size(); ++i)
                ASSERT_EQ(FindDirectoryLine(*D, (*D)[i]), static_cast<std::int32_t>(i)) << "seed " << Seed;
        while (Map.CanUndo())
            Map.Undo();
        EXPECT_TRUE(Map.Doc.Streets.empty() && Map.Doc.Areas.empty()) << "seed " << Seed;
        for (std::int32_t ID : IDs)
            EXPECT_TRUE(Read(ID).IsEmpty()) << "seed " << Seed;
    }
}

TEST_F(AddressFixture, ObjectTypesAreLookedUpLikeAddressNames) {
    Map.Doc.ObjectTypes = {FromUtf8("Здание")};
    const std::int32_t A = AddShape(), B = AddShape(otPolygon, 20), C = AddShape(otPolygon, 40);
    Map.Refresh();
    Map.ClearHistory();
    Map.SetObjectType(A, FromUtf8("ЗДАНИЕ"));
    EXPECT_EQ(Map.ObjectByID(A).Category(), 0);
    EXPECT_EQ(Map.Doc.ObjectTypes.size(), 1u);
    Map.ObjectByID(B).SetCategory(0);
    // Only the visible objects without a type take it; a new name is appended once.
    EXPECT_EQ(Map.SetObjectTypeForVisible(FromUtf8("Парк")), 1);
    EXPECT_EQ(Map.ObjectByID(C).Category(), 1);
    EXPECT_EQ(Map.ObjectByID(B).Category(), 0);
    EXPECT_EQ(Map.SetObjectTypeForVisible(FromUtf8("Сквер")), 0);
    EXPECT_EQ(Map.Doc.ObjectTypes.size(), 2u);
    Map.SetObjectType(A, "");
    EXPECT_EQ(Map.ObjectByID(A).Category(), -1);
    Map.Undo();
    Map.Undo();
    EXPECT_EQ(Map.ObjectByID(C).Category(), -1);
    EXPECT_EQ(Map.Doc.ObjectTypes, TZemDirectory{FromUtf8("Здание")});
}
