#include "address/ZemAddress.h"
#include "address/ZemObjectSearch.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <random>

using namespace zem;

namespace {

ZemString W(const char* Utf8) {
    return FromUtf8(Utf8);
}

struct SearchFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    SearchFixture() {
        Map.Doc.Streets = {W("улица Покровка"), W("Покровский бульвар"), W("Армянский переулок"),
                           W("ул. Маросейка")};
        Map.Doc.ObjectTypes = {W("Улица"), W("Здание")};
    }

    std::int32_t Add(TObjectKind Kind, float X, float Y, const char* Text = "", std::int32_t Category = -1) {
        TZemObject T;
        T.Kind = Kind;
        T.AddPoint(X, Y);
        T.AddPoint(X + 10, Y);
        T.AddPoint(X + 10, Y + 10);
        Map.AddObject(T);
        const std::int32_t ID = Map.Doc.MaxID - 1;
        Map.ObjectByID(ID).SetText(W(Text));
        Map.ObjectByID(ID).SetCategory(Category);
        return ID;
    }
    std::int32_t House(std::int32_t Street, const char* Number, std::int32_t Street2 = -1,
                       const char* Number2 = "") {
        const std::int32_t ID = Add(otPolygon, 0, 0, "", 1);
        TZemAddress A;
        A.Empty = false;
        A.Street = Street;
        A.Number = W(Number);
        A.Street2 = Street2;
        A.Number2 = W(Number2);
        Map.ObjectByID(ID).SetAddress(A);
        return ID;
    }
    std::vector<std::int32_t> Find(const char* Query, TSearchKind Kind) {
        std::vector<std::int32_t> IDs;
        for (const TFoundObject& F : FindObjects(Map, W(Query), Kind).Items)
            IDs.push_back(F.ID);
        return IDs;
    }
};

using IDs = std::vector<std::int32_t>;

} // namespace

TEST(SearchQueryTest, ParsesStreetAndHouse) {
    TSearchQuery Q = ParseSearchQuery(W("  Покровка   5 "));
    ASSERT_EQ(Q.Street.size(), 1u);
    EXPECT_EQ(Q.Street[0].Folded, W("ПОКРОВКА"));
    EXPECT_TRUE(Q.Street[0].Forms.empty());
    EXPECT_EQ(Q.Number, "5");
    EXPECT_EQ(Q.Folded, W("ПОКРОВКА 5"));

    Q = ParseSearchQuery(W("ул. Покровка, д. 5/2 стр. 1"));
    ASSERT_EQ(Q.Street.size(), 2u);
    EXPECT_EQ(Q.Street[0].Folded, W("УЛ"));
    EXPECT_FALSE(Q.Street[0].Forms.empty());
    EXPECT_EQ(Q.Number, "5");
    EXPECT_EQ(Q.Number2, "2");

    // An ordinal belongs to the street's name; the number may come first; "д5" is a house.
    Q = ParseSearchQuery(W("1-я Мещанская д5"));
    ASSERT_EQ(Q.Street.size(), 2u);
    EXPECT_EQ(Q.Street[0].Folded, W("1-Я"));
    EXPECT_EQ(Q.Number, "5");
    Q = ParseSearchQuery(W("5 Покровка"));
    EXPECT_EQ(Q.Number, "5");
    ASSERT_EQ(Q.Street.size(), 1u);

    EXPECT_TRUE(ParseSearchQuery(" \t ").Empty());
    EXPECT_EQ(ParseSearchQuery("42").ID, 42);
    EXPECT_EQ(ParseSearchQuery("#42").ID, 42);
    EXPECT_EQ(ParseSearchQuery(W("ид: 7")).ID, 7);
    EXPECT_EQ(ParseSearchQuery("4294967296").ID, -1);
    EXPECT_EQ(ParseSearchQuery("-3").ID, -1);
    EXPECT_EQ(ParseSearchQuery(W("Покровка")).ID, -1);
}

TEST(SearchQueryTest, HouseNumbersAndFolding) {
    EXPECT_TRUE(HouseNumberMatches("5", "5"));
    EXPECT_TRUE(HouseNumberMatches(W("5а"), "5"));
    EXPECT_TRUE(HouseNumberMatches("5/2", "5"));
    EXPECT_TRUE(HouseNumberMatches(W("5а"), W("5А")));
    EXPECT_FALSE(HouseNumberMatches("15", "5"));
    EXPECT_FALSE(HouseNumberMatches("50", "5"));
    EXPECT_FALSE(HouseNumberMatches("", "5"));
    EXPECT_EQ(FoldText(W("Ёлочная ул")), W("ЕЛОЧНАЯ УЛ"));
    EXPECT_EQ(MatchFolded(W("улица Покровка"), W("УЛИЦА ПОКРОВКА")), TTextMatch::tmExact);
    EXPECT_EQ(MatchFolded(W("улица Покровка"), W("ПОКР")), TTextMatch::tmWord);
    EXPECT_EQ(MatchFolded(W("улица Покровка"), W("РОВКА")), TTextMatch::tmInside);
    EXPECT_EQ(MatchFolded(W("улица"), W("УЛИЦА ПОКРОВКА")), TTextMatch::tmNone);
}

TEST_F(SearchFixture, AddressFindsTheStreetsHousesInNumberOrder) {
    const std::int32_t Line = Add(otLine, 0, 0, "улица Покровка", 0);
    TZemAddress A;
    A.Empty = false;
    A.Street = 0;
    Map.ObjectByID(Line).SetAddress(A);
    const std::int32_t H10 = House(0, "10"), H2 = House(0, "2"), H5a = House(0, "5а"), H5 = House(0, "5");
    const std::int32_t Corner = House(2, "7", 0, "12");
    House(1, "5"); // Покровский бульвар
    const std::int32_t H15 = House(0, "15");

    EXPECT_EQ(Find("Покровка", TSearchKind::skAddress), (IDs{Line, H2, H5, H5a, H10, Corner, H15}));
    EXPECT_EQ(Find("покровка 5", TSearchKind::skAddress), (IDs{H5, H5a}));
    EXPECT_EQ(Find("ул. Покровка, д. 12", TSearchKind::skAddress), (IDs{Corner}));
    EXPECT_EQ(Find("пер. Армянский 7", TSearchKind::skAddress), (IDs{Corner}));
    EXPECT_EQ(Find("Армянский 7/12", TSearchKind::skAddress), (IDs{Corner}));
    EXPECT_EQ(Find("б-р Покровский 5", TSearchKind::skAddress).size(), 1u);
    EXPECT_TRUE(Find("Покровка 99", TSearchKind::skAddress).empty());
    EXPECT_TRUE(Find("Тверская", TSearchKind::skAddress).empty());
    // All kinds: the street's line by its text before the houses.
    const IDs All = Find("Покровка", TSearchKind::skAll);
    ASSERT_FALSE(All.empty());
    EXPECT_EQ(All[0], Line);
    EXPECT_EQ(All.size(), 7u);
}

TEST_F(SearchFixture, StreetTypesMatchTheirShortForms) {
    const std::int32_t H = House(3, "1");
    EXPECT_EQ(Find("улица Маросейка 1", TSearchKind::skAddress), (IDs{H}));
    EXPECT_EQ(Find("Маросейка ул", TSearchKind::skAddress), (IDs{H}));
    EXPECT_TRUE(Find("бульвар Маросейка", TSearchKind::skAddress).empty());
}

TEST_F(SearchFixture, TextTypeAndID) {
    const std::int32_t Label = Add(otText, 500, 500, "Ёлочная улица");
    const std::int32_t Near = Add(otText, 0, 0, "Автобус 3");
    const std::int32_t Far = Add(otRoadCrossLine, 900, 900, "автобус 3");
    const std::int32_t Ellipse = Add(otEllipse, 0, 0);
    const std::int32_t Building = Add(otPolygon, 0, 0, "", 1);

    EXPECT_EQ(Find("елочная", TSearchKind::skText), (IDs{Label}));
    EXPECT_EQ(Find("АВТОБУС 3", TSearchKind::skText), (IDs{Near, Far})); // nearer the view's centre first
    EXPECT_EQ(Find("втобус", TSearchKind::skText), (IDs{Near, Far}));
    EXPECT_EQ(Find("здание", TSearchKind::skType), (IDs{Building}));
    EXPECT_EQ(Find("ЭЛЛИПС", TSearchKind::skType), (IDs{Ellipse}));
    EXPECT_EQ(Find(std::to_string(Far).c_str(), TSearchKind::skID), (IDs{Far}));
    // The ID typed comes first among everything else that matches.
    EXPECT_EQ(Find(std::to_string(Label).c_str(), TSearchKind::skAll).front(), Label);

    Map.DeleteObject(Far);
    EXPECT_TRUE(Find(std::to_string(Far).c_str(), TSearchKind::skID).empty());
    EXPECT_TRUE(Find("999", TSearchKind::skID).empty());
    EXPECT_TRUE(Find("", TSearchKind::skAll).empty());
    EXPECT_TRUE(Find("   ", TSearchKind::skText).empty());
    EXPECT_TRUE(Find("Нет такого", TSearchKind::skAll).empty());
}

TEST_F(SearchFixture, ResultsDescribeTheObject) {
    House(0, "5");
    const std::int32_t Segment = Add(otRoadCrossLine, 0, 0, "Б");
    TSearchResult R = FindObjects(Map, W("Покровка 5"), TSearchKind::skAll);
    ASSERT_EQ(R.Items.size(), 1u);
    EXPECT_EQ(R.Items[0].KindText, W("Здание"));
    EXPECT_EQ(R.Items[0].By, TFoundBy::fbAddress);
    EXPECT_EQ(R.Items[0].AddressText, W("улица Покровка, 5"));
    R = FindObjects(Map, std::to_string(Segment), TSearchKind::skID);
    ASSERT_EQ(R.Items.size(), 1u);
    EXPECT_EQ(R.Items[0].KindText, W("Сегмент транспортной сети"));
    EXPECT_EQ(R.Items[0].Text, W("Б"));
}

TEST(SearchAddressLineTest, LeavesOutEmptyParts) {
    TAddress A{W("101000"),    W("Москва"), W("улица Покровка"), "5", W("Армянский переулок"), "12",
               W("Басманный"), "2"};
    EXPECT_EQ(AddressLine(A),
              W("улица Покровка, 5, корп. 2 / Армянский переулок, 12, Басманный, Москва, 101000"));
    EXPECT_EQ(AddressLine(TAddress{"", "", "", "7", "", "3", "", ""}), "7/3");
    EXPECT_EQ(AddressLine(TAddress{}), "");
}

TEST_F(SearchFixture, LimitKeepsTheTotalAndBadPositionsNameNoStreet) {
    for (int i = 0; i < 30; ++i)
        House(0, std::to_string(i + 1).c_str());
    const std::int32_t Stale = House(0, "1");
    TZemAddress A = Map.ObjectByID(Stale).Address();
    A.Street = 57; // beyond the directory, as after the directory was edited shorter
    Map.ObjectByID(Stale).SetAddress(A);
    const TSearchResult R = FindObjects(Map, W("Покровка"), TSearchKind::skAddress, 10);
    EXPECT_EQ(R.Total, 30u);
    ASSERT_EQ(R.Items.size(), 10u);
    EXPECT_EQ(R.Items[9].ID, 9);
    // A number alone finds it on any street, or on none.
    EXPECT_EQ(FindObjects(Map, "1", TSearchKind::skAddress).Total, 2u);
}

TEST_F(SearchFixture, TextSearchAgreesWithAPlainScan) {
    // Random texts over a small alphabet with both letter cases and Ё/е, random queries: the search finds
    // exactly the objects whose folded text holds the folded query.
    const char* Letters[] = {"а", "А", "б", "Б", "е", "ё", "Ё", "a", "B", " ", "-"};
    std::mt19937 Random(20261207);
    Map.View.AutoUpdate = false; // no frame per object
    for (int Round = 0; Round < 40; ++Round) {
        Map.Clear();
        auto Word = [&](int MaxLength) {
            ZemString S;
            for (int n = static_cast<int>(Random() % static_cast<unsigned>(MaxLength)); n >= 0; --n)
                S += W(Letters[Random() % std::size(Letters)]);
            return S;
        };
        for (int i = 0; i < 60; ++i) {
            Add(otText, static_cast<float>(Random() % 1000), static_cast<float>(Random() % 1000));
            Map.ObjectByID(Map.Doc.MaxID - 1).SetText(Word(8));
        }
        for (int q = 0; q < 10; ++q) {
            const ZemString Query = Word(3);
            const TSearchQuery Parsed = ParseSearchQuery(Query);
            std::size_t Expected = 0;
            for (std::int32_t i = 0; i < Map.Doc.Objects.Count(); ++i)
                Expected +=
                    !Parsed.Folded.empty() &&
                    FoldText(Map.Doc.Objects.Values(i)->Text()).find(Parsed.Folded) != ZemString::npos;
            EXPECT_EQ(FindObjects(Map, Parsed, TSearchKind::skText).Total, Expected) << ToUtf8(Query);
        }
    }
}

TEST_F(SearchFixture, ChoosingAHitCentresTheViewAndMakesItCurrent) {
    const std::int32_t ID = Add(otPolygon, 1000, 2000);
    Map.SetScale(200);
    ASSERT_TRUE(ShowFoundObject(Map, ID));
    EXPECT_EQ(Map.CurrentObject(), ID);
    EXPECT_FLOAT_EQ(Map.View.Scale, 400.0f); // zoomed in: 10 units are 40 pixels across
    EXPECT_FLOAT_EQ(Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2, 1005.0f);
    EXPECT_FLOAT_EQ(Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2, 2005.0f);
    Map.SetScale(800); // closer already: kept
    ASSERT_TRUE(ShowFoundObject(Map, ID));
    EXPECT_FLOAT_EQ(Map.View.Scale, 800.0f);
    Map.DeleteObject(ID);
    const TXYPoint Before = Map.View.LeftTop;
    EXPECT_FALSE(ShowFoundObject(Map, ID));
    EXPECT_EQ(Map.CurrentObject(), -1);
    EXPECT_FLOAT_EQ(Map.View.LeftTop.X, Before.X);
}

TEST_F(SearchFixture, EqualHitsComeNearestToTheGivenPointFirst) {
    const std::int32_t West = Add(otText, 0, 0, "Аптека");
    const std::int32_t East = Add(otText, 5000, 0, "Аптека");
    const std::int32_t Middle = Add(otText, 2400, 0, "Аптека");
    auto Order = [&](std::optional<TXYPoint> Around) {
        IDs Found;
        for (const TFoundObject& F :
             FindObjects(Map, W("аптека"), TSearchKind::skText, kSearchLimit, Around).Items)
            Found.push_back(F.ID);
        return Found;
    };
    EXPECT_EQ(Order(TXYPoint{0, 0}), (IDs{West, Middle, East}));
    EXPECT_EQ(Order(TXYPoint{5000, 0}), (IDs{East, Middle, West}));
    // Without a point the centre of the view decides; the same centre given gives the same order.
    ASSERT_TRUE(ShowFoundObject(Map, East));
    EXPECT_EQ(Order(std::nullopt), (IDs{East, Middle, West}));
    EXPECT_EQ(Order(ViewCentre(Map)), Order(std::nullopt));
    ASSERT_TRUE(ShowFoundObject(Map, West));
    EXPECT_EQ(Order(std::nullopt), (IDs{West, Middle, East}));
    EXPECT_EQ(Order(TXYPoint{5005, 5}), (IDs{East, Middle, West}));
}
