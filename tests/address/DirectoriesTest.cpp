// The directory editor's logic: page texts, the sort, and applying edited pages so that every object
// keeps the names it showed, as one undo step.
#include "address/ZemDirectories.h"
#include "editing/ZemHistory.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <vector>

using namespace zem;

namespace {

// Names with double entries and case variants (Windows-1251: "Ленина", "ленина", "Мира", "Ёлочная").
const std::vector<ZemString> kPool = {"\xCB\xE5\xED\xE8\xED\xE0",
                                      "\xEB\xE5\xED\xE8\xED\xE0",
                                      "\xCC\xE8\xF0\xE0",
                                      "\xA8\xEB\xEE\xF7\xED\xE0\xFF",
                                      "Park",
                                      "park",
                                      "Abbey",
                                      ""};

// The name an object shows for a reference into a directory: empty for none.
ZemString Shows(const TZemDirectory& D, std::int32_t Ref) {
    return Ref >= 0 && static_cast<std::size_t>(Ref) < D.size() ? D[static_cast<std::size_t>(Ref)]
                                                                : ZemString();
}

struct DirectoriesFixture : ::testing::Test {
    HeadlessHost Host;
    TZemMap Map{Host};

    std::int32_t AddObject(const TZemAddress& A, std::int32_t Category, std::int32_t Transport) {
        TZemObject T;
        T.Kind = Transport >= 0 ? otRoadCrossLine : otPolygon;
        T.AddPoint(0, 0);
        T.AddPoint(10, 10);
        T.SetAddress(A);
        Map.AddObject(T);
        const std::int32_t ID = Map.Doc.MaxID - 1;
        Map.ObjectByID(ID).SetCategory(Category);
        Map.ObjectByID(ID).SetTransportType(Transport);
        return ID;
    }

    // Every name each object shows, directory by directory: street, street 2, area, index, city, type,
    // transport.
    std::map<std::int32_t, std::vector<ZemString>> Names() const {
        std::map<std::int32_t, std::vector<ZemString>> Result;
        const TZemDocument& D = Map.Doc;
        for (std::int32_t ID : D.Order) {
            const TZemObject& O = Map.ObjectByID(ID);
            const TZemAddress& A = O.Address();
            Result[ID] = {Shows(D.Streets, A.Street),
                          Shows(D.Streets, A.Street2),
                          Shows(D.Areas, A.Area),
                          Shows(D.Indexes, A.Index),
                          Shows(D.Cities, A.City),
                          Shows(D.ObjectTypes, O.Category()),
                          Shows(D.TransportTypes, O.TransportType())};
        }
        return Result;
    }
};

// One line of an edited page as the test follows it: its text and the shown line it descends from.
struct TTracked {
    ZemString Text;
    std::int32_t Origin; // -1: a new line
    bool Renamed;
};

enum TFamily { fDeletesAndMoves, fRenames, fAnything };

// Edits a page as a user might, following every line; Trail learns of the sorts.
TZemDirectory EditPage(std::mt19937& Rng, TFamily Family, const TZemDirectory& Shown,
                       TZemDirectoryTrail& Trail, std::vector<TTracked>& Lines, int& Fresh) {
    Lines.clear();
    for (std::size_t i = 0; i < Shown.size(); ++i)
        Lines.push_back({Shown[i], static_cast<std::int32_t>(i), false});
    auto Pick = [&](std::size_t N) { return std::uniform_int_distribution<std::size_t>(0, N - 1)(Rng); };
    const int Steps = static_cast<int>(Pick(8));
    for (int s = 0; s < Steps; ++s) {
        const int Op = static_cast<int>(Pick(5));
        if (Op == 0) { // "Сортировать"
            TZemDirectory Box;
            for (const TTracked& L : Lines)
                Box.push_back(L.Text);
            Trail.Sort(Box);
            std::stable_sort(Lines.begin(), Lines.end(), [](const TTracked& A, const TTracked& B) {
                return DirectoryLess(A.Text, B.Text);
            });
            for (std::size_t i = 0; i < Lines.size(); ++i)
                EXPECT_EQ(Lines[i].Text, Box[i]);
        } else if (Lines.empty()) {
            continue;
        } else if (Family == fRenames || (Family == fAnything && Op == 1)) {
            TTracked& L = Lines[Pick(Lines.size())];
            L = {"New " + std::to_string(Fresh++), L.Origin, true};
        } else if (Op == 2 || Family == fDeletesAndMoves) {
            const std::size_t At = Pick(Lines.size());
            TTracked Moved = Lines[At];
            Lines.erase(Lines.begin() + static_cast<std::ptrdiff_t>(At));
            if (Op == 3) // a move rather than a deletion
                Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(Pick(Lines.size() + 1)), Moved);
            else if (Op == 4 && Family == fDeletesAndMoves) // a case variant typed over the line
                Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(At),
                             {UpperCase(Moved.Text), Moved.Origin, true});
        } else {
            const ZemString Text = Op == 3 ? kPool[Pick(kPool.size())] : "Ins " + std::to_string(Fresh++);
            Lines.insert(Lines.begin() + static_cast<std::ptrdiff_t>(Pick(Lines.size() + 1)),
                         {Text, -1, false});
        }
    }
    TZemDirectory Final;
    for (const TTracked& L : Lines)
        Final.push_back(L.Text);
    return Final;
}

} // namespace

TEST(DirectoryText, EveryLineBreakEndsAnItemAndAFinalOneAddsNone) {
    EXPECT_EQ(DirectoryLines(""), TZemDirectory{});
    EXPECT_EQ(DirectoryLines("a"), (TZemDirectory{"a"}));
    EXPECT_EQ(DirectoryLines("a\n"), (TZemDirectory{"a"}));
    EXPECT_EQ(DirectoryLines("a\r\n\r\nb\rc\n\n"), (TZemDirectory{"a", "", "b", "c", ""}));
    EXPECT_EQ(DirectoryLines("\n"), (TZemDirectory{""}));
    // What a page shows reads back as the same lines, empty ones included.
    for (const TZemDirectory& D :
         {TZemDirectory{}, TZemDirectory{""}, TZemDirectory{"a", ""}, TZemDirectory{"", "b"}})
        EXPECT_EQ(DirectoryLines(DirectoryText(D)), D);
}

TEST(DirectorySort, IgnoresLetterCaseAndPutsYoBesideYe) {
    // "банк" < "Вокзальная" < "вокзальная" (kept in its place) < "Ель" < "ёлка" < "Жуковского"; Latin first.
    TZemDirectory D = {
        "\xE2\xEE\xEA\xE7\xE0\xEB\xFC\xED\xE0\xFF", "\xB8\xEB\xEA\xE0", "\xC6\xF3\xEA", "\xC5\xEB\xFC",
        "\xC2\xEE\xEA\xE7\xE0\xEB\xFC\xED\xE0\xFF", "\xE1\xE0\xED\xEA", "zoo",          "Abc"};
    SortDirectoryLines(D);
    const TZemDirectory Want = {"Abc",
                                "zoo",
                                "\xE1\xE0\xED\xEA",
                                "\xE2\xEE\xEA\xE7\xE0\xEB\xFC\xED\xE0\xFF",
                                "\xC2\xEE\xEA\xE7\xE0\xEB\xFC\xED\xE0\xFF",
                                "\xC5\xEB\xFC",
                                "\xB8\xEB\xEA\xE0",
                                "\xC6\xF3\xEA"};
    EXPECT_EQ(D, Want);
    EXPECT_FALSE(PageSorts(dpTransport));
}

TEST(DirectoryMatch, KeepsMovedLinesRenamesInPlaceAndDropsDeletedOnes) {
    using V = std::vector<std::int32_t>;
    // An insertion in the middle shifts nobody's name.
    EXPECT_EQ(MatchDirectoryLines({"a", "b", "c"}, {"a", "x", "b", "c"}), (V{0, 2, 3}));
    // A line typed over in place keeps its objects; a deleted one loses them.
    EXPECT_EQ(MatchDirectoryLines({"a", "b", "c"}, {"a", "B2", "c"}), (V{0, 1, 2}));
    EXPECT_EQ(MatchDirectoryLines({"a", "b", "c"}, {"c", "a"}), (V{1, -1, 0}));
    // Double entries pair in order; a dropped one merges into the one kept.
    EXPECT_EQ(MatchDirectoryLines({"a", "b", "a"}, {"b", "a"}), (V{1, 0, 1}));
    // A change of letter case is the same line.
    EXPECT_EQ(MatchDirectoryLines({"park", "Abbey"}, {"Abbey", "Park"}), (V{1, 0}));
}

TEST(DirectoryTrail, ALineEditedBeforeASortIsFoundAfterIt) {
    TZemDirectoryTrail Trail({"z", "b", "m"});
    TZemDirectory Box = {"z", "a1", "m"}; // "b" typed over, then sorted to the front
    Trail.Sort(Box);
    EXPECT_EQ(Box, (TZemDirectory{"a1", "m", "z"}));
    EXPECT_EQ(Trail.Remap(Box), (std::vector<std::int32_t>{2, 0, 1}));
}

TEST_F(DirectoriesFixture, SortedStreetsKeepEveryHouseOnItsStreetAndUndoPutsAllBack) {
    Map.Doc.Streets = {"\xD3\xEB\xE8\xF6\xE0", "\xC0\xEB\xEB\xE5\xFF", "\xCC\xE8\xF0\xE0"};
    Map.Doc.Areas = {"North", "South"};
    TZemAddress A;
    A.Empty = false;
    A.Street = 0;
    A.Street2 = 2;
    A.Area = 1;
    const std::int32_t House = AddObject(A, -1, -1);
    A.Street = 1;
    A.Street2 = 7; // beyond the end: shows nothing, and must not come to show a new line
    const std::int32_t Other = AddObject(A, -1, -1);
    Map.MarkSaved();
    const auto Before = Names();
    const auto File = Map.SaveToBytes();

    TZemDirectoryPages Pages;
    for (std::size_t p = 0; p < kDirectoryPages; ++p)
        Pages[p] = DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));
    SortDirectoryLines(Pages[dpStreets]);
    Pages[dpStreets].push_back("Extra");
    Pages[dpAreas].pop_back(); // "South" deleted
    ApplyDirectoryPages(Map, Pages);

    EXPECT_EQ(Map.Doc.Streets, Pages[dpStreets]);
    EXPECT_TRUE(Map.Modified());
    auto After = Names();
    EXPECT_EQ(After[House][0], Before.at(House)[0]);
    EXPECT_EQ(After[House][1], Before.at(House)[1]);
    EXPECT_EQ(After[Other][0], Before.at(Other)[0]);
    EXPECT_EQ(Map.ObjectByID(Other).Address().Street2, -1);
    EXPECT_EQ(Map.ObjectByID(House).Address().Area, -1);

    Map.Undo(); // one step back: directories and references as they were
    EXPECT_EQ(Map.SaveToBytes(), File);
    EXPECT_FALSE(Map.Modified());
    Map.Redo();
    EXPECT_EQ(Names(), After);
}

TEST_F(DirectoriesFixture, RandomEditsKeepEveryNameThatSurvivesAndUndoRestoresExactly) {
    for (std::uint32_t Seed = 1; Seed <= 300; ++Seed) {
        SCOPED_TRACE(Seed);
        std::mt19937 Rng(Seed);
        auto Pick = [&](std::size_t N) { return std::uniform_int_distribution<std::size_t>(0, N - 1)(Rng); };
        Map.Clear();
        Map.ClearHistory();
        for (std::size_t p = 0; p < kDirectoryPages; ++p) {
            TZemDirectory& D = DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));
            D.clear();
            for (std::size_t n = Pick(7); n-- > 0;)
                D.push_back(kPool[Pick(kPool.size())]);
        }
        auto Ref = [&](TZemDirectoryPage P) {
            const auto N = static_cast<std::int32_t>(DirectoryOf(Map.Doc, P).size());
            return static_cast<std::int32_t>(Pick(static_cast<std::size_t>(N) + 2)) - 1; // -1 ... N
        };
        for (int o = 0; o < 12; ++o) {
            TZemAddress A;
            A.Empty = false;
            A.Street = Ref(dpStreets), A.Street2 = Ref(dpStreets), A.Area = Ref(dpAreas);
            A.Index = Ref(dpIndexes), A.City = Ref(dpCities);
            AddObject(A, Ref(dpTypes), Ref(dpTransport));
        }
        Map.Net.VisibleTransportTypes.Clear();
        for (std::int32_t T = 0; T < static_cast<std::int32_t>(Map.Doc.TransportTypes.size()); T += 2)
            Map.Net.VisibleTransportTypes.Add(T);
        Map.MarkSaved();
        const auto File = Map.SaveToBytes();
        const TIntegerList ShownBefore = Map.Net.VisibleTransportTypes;
        std::vector<ZemString> VisibleNames;
        for (std::int32_t T : ShownBefore)
            VisibleNames.push_back(Map.Doc.TransportTypes[static_cast<std::size_t>(T)]);

        const auto Family = static_cast<TFamily>(Seed % 3);
        TZemDirectoryPages Pages;
        std::array<std::vector<TTracked>, kDirectoryPages> Tracked;
        std::vector<std::unique_ptr<TZemDirectoryTrail>> Trails;
        std::array<const TZemDirectoryTrail*, kDirectoryPages> TrailOf{};
        int Fresh = 0;
        for (std::size_t p = 0; p < kDirectoryPages; ++p) {
            const TZemDirectory& Shown = DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));
            Trails.push_back(std::make_unique<TZemDirectoryTrail>(Shown));
            TrailOf[p] = Trails.back().get();
            Pages[p] = EditPage(Rng, Family, Shown, *Trails.back(), Tracked[p], Fresh);
        }
        // What each shown line should show afterwards, where the edits leave no doubt.
        std::array<std::vector<std::optional<ZemString>>, kDirectoryPages> Expect;
        for (std::size_t p = 0; p < kDirectoryPages; ++p) {
            const TZemDirectory& Shown = DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));
            Expect[p].assign(Shown.size(), std::nullopt);
            std::map<ZemString, int> Count, Twins;
            for (const ZemString& L : Pages[p])
                ++Count[L];
            for (const ZemString& L : Shown)
                --Count[L], ++Twins[L];
            for (std::size_t s = 0; s < Shown.size(); ++s) {
                if (Count[Shown[s]] >= 0) // as many lines of this name as before: it stays
                    Expect[p][s] = Shown[s];
                if (Family == fRenames && Twins[Shown[s]] == 1) // typed over: the line keeps its objects
                    for (const TTracked& L : Tracked[p])
                        if (L.Origin == static_cast<std::int32_t>(s))
                            Expect[p][s] = L.Text;
                if (Family == fDeletesAndMoves) { // nothing new: a name survives ignoring case or is gone
                    Expect[p][s] = ZemString();
                    for (const ZemString& L : Pages[p])
                        if (SameText(L, Shown[s]))
                            Expect[p][s] = UpperCase(L);
                }
            }
        }
        const TZemDirectoryPage Column[] = {dpStreets, dpStreets, dpAreas,    dpIndexes,
                                            dpCities,  dpTypes,   dpTransport};
        auto RefsOf = [&](std::int32_t ID) {
            const TZemObject& O = Map.ObjectByID(ID);
            const TZemAddress& A = O.Address();
            return std::array<std::int32_t, 7>{A.Street, A.Street2,    A.Area,           A.Index,
                                               A.City,   O.Category(), O.TransportType()};
        };
        std::map<std::int32_t, std::array<std::int32_t, 7>> OldRefs;
        for (std::int32_t ID : Map.Doc.Order)
            OldRefs[ID] = RefsOf(ID);
        std::array<bool, kDirectoryPages> Changed{};
        for (std::size_t p = 0; p < kDirectoryPages; ++p)
            Changed[p] = Pages[p] != DirectoryOf(Map.Doc, static_cast<TZemDirectoryPage>(p));

        const std::size_t Steps = Map.History().Position();
        ApplyDirectoryPages(Map, Pages, TrailOf);
        const auto After = Names();
        for (const auto& [ID, Old] : OldRefs) {
            const auto New = RefsOf(ID);
            for (std::size_t c = 0; c < 7; ++c) {
                const TZemDirectoryPage Page = Column[c];
                const auto Size = static_cast<std::int32_t>(Expect[Page].size());
                if (Old[c] < 0 || Old[c] >= Size) { // showed nothing, and still does
                    EXPECT_EQ(New[c], Changed[Page] || Old[c] < 0 ? std::min(Old[c], -1) : Old[c]);
                    continue;
                }
                EXPECT_LT(New[c], static_cast<std::int32_t>(Pages[Page].size()));
                const auto& Want = Expect[Page][static_cast<std::size_t>(Old[c])];
                if (!Want)
                    continue;
                const ZemString Got = After.at(ID)[c];
                EXPECT_EQ(Family == fDeletesAndMoves ? UpperCase(Got) : Got, *Want)
                    << "object " << ID << " column " << c;
            }
        }
        // The transport types shown are the same names as before (but for letter case when retyped).
        for (std::int32_t T : Map.Net.VisibleTransportTypes) {
            const ZemString& Name = Map.Doc.TransportTypes[static_cast<std::size_t>(T)];
            EXPECT_TRUE(Family != fDeletesAndMoves ||
                        std::any_of(VisibleNames.begin(), VisibleNames.end(),
                                    [&Name](const ZemString& V) { return SameText(V, Name); }));
        }
        if (std::none_of(Changed.begin(), Changed.end(), [](bool C) { return C; })) {
            EXPECT_EQ(Map.History().Position(), Steps); // nothing to undo, nothing modified
            EXPECT_FALSE(Map.Modified());
            continue;
        }
        Map.Undo();
        EXPECT_EQ(Map.SaveToBytes(), File);
        EXPECT_TRUE(std::equal(ShownBefore.begin(), ShownBefore.end(), Map.Net.VisibleTransportTypes.begin(),
                               Map.Net.VisibleTransportTypes.end()));
        EXPECT_FALSE(Map.Modified());
        Map.Redo();
        EXPECT_EQ(Names(), After);
    }
}
