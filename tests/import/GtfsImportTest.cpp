// Feeds into maps: the real feed checked against its own tables, small Cyrillic feeds with the awkward
// cases, and bad feeds refused or their rows skipped.
#include "import/FeedFiles.h"
#include "transport/NetworkFixture.h"

#include "import/ZemCsvReader.h"
#include "import/ZemFeedSource.h"
#include "import/ZemGtfsAssemble.h"
#include "import/ZemImport.h"
#include "import/ZemImportStep.h"
#include "import/ZemImportTarget.h"
#include "import/ZemTransitBuilder.h"
#include "transport/ZemExactRoute.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>

using namespace zem;
using namespace zem::test;

namespace {

// A real agency's published feed, kept beside the tests like the OpenStreetMap extracts.
std::string KartPath() {
    return std::string(ZEM_SOURCE_DIR) + "/tests/data/gtfs/kart-hanford.zip";
}

// A table of the feed as rows of named fields, read independently of the feed model.
std::vector<std::map<std::string, std::string>> Table(const TFeedSource& Source, const std::string& Name) {
    auto Stream = Source.Open(Name);
    TCsvReader R(*Stream, Name);
    std::vector<std::string> Head;
    R.Next();
    for (std::size_t I = 0; I < R.FieldCount(); ++I)
        Head.emplace_back(R.Field(I));
    std::vector<std::map<std::string, std::string>> Rows;
    while (R.Next()) {
        Rows.emplace_back();
        for (std::size_t I = 0; I < Head.size(); ++I)
            Rows.back()[Head[I]] = R.Field(I);
    }
    return Rows;
}

struct TImported {
    HeadlessHost Host;
    TZemMap Map{Host};
    TGtfsFeed Feed;
    TGtfsAssembled Made;
    TZemGeoref Georef;
};

std::unique_ptr<TImported> Import(const std::string& Path) {
    auto I = std::make_unique<TImported>();
    I->Feed = ReadGtfsFeed(Path);
    I->Map.SetAutoUpdate(false);
    TZemImportTarget Target(I->Map);
    I->Georef = GeorefFor(I->Map, GtfsBox(I->Feed));
    I->Made = AssembleGtfsFeed(I->Feed, Target, I->Georef);
    I->Map.SetAutoUpdate(true);
    return I;
}

std::vector<const TZemObject*> Objects(const TZemMap& Map, TObjectKind Kind) {
    std::vector<const TZemObject*> Out;
    for (std::int32_t I = 0; I < Map.Doc.Order.Count(); ++I)
        if (Map.ObjectByID(Map.Doc.Order[I]).Kind == Kind)
            Out.push_back(&Map.ObjectByID(Map.Doc.Order[I]));
    return Out;
}

double DistanceToLine(const TXYPoint& P, const std::vector<TXYPoint>& Line) {
    double Best = INFINITY;
    for (std::size_t I = 0; I + 1 < Line.size(); ++I) {
        const double Ax = Line[I].X, Ay = Line[I].Y, Dx = Line[I + 1].X - Ax, Dy = Line[I + 1].Y - Ay;
        const double L2 = Dx * Dx + Dy * Dy;
        const double T = L2 > 0 ? std::clamp(((P.X - Ax) * Dx + (P.Y - Ay) * Dy) / L2, 0.0, 1.0) : 0.0;
        Best = std::min(Best, std::hypot(P.X - (Ax + T * Dx), P.Y - (Ay + T * Dy)));
    }
    return Best;
}

// The cheapest walk between the junctions nearest A and B, as `route --exact` finds it.
TIntegerList ExactRoute(TZemMap& Map, const TXYPoint& A, const TXYPoint& B) {
    zemtest::TTempCurrentDir Dir;
    Map.Net.RoutePoints.Clear();
    Map.Net.RoutePoints.Add(A);
    Map.Net.RoutePoints.Add(B);
    EXPECT_TRUE(Map.PrepareTransportSearch());
    TZemExactRoute Exact(Map.TransportTask());
    return Exact.FindLegs(Map.TransportLegs()).Route;
}

} // namespace

TEST(GtfsImport, RealFeedMatchesItsOwnTables) {
    const std::string Path = KartPath();
    const auto I = Import(Path);
    const auto Source = OpenFeedSource(Path);

    // Stops trips halt at, and distinct consecutive pairs of each route, from the tables themselves.
    std::map<std::string, std::string> RouteOf, NameOf;
    for (auto& T : Table(*Source, "trips.txt"))
        RouteOf[T["trip_id"]] = T["route_id"];
    for (auto& S : Table(*Source, "stops.txt"))
        NameOf[S["stop_id"]] = S["stop_name"];
    std::map<std::string, std::vector<std::pair<int, std::string>>> Trips;
    std::set<std::string> Used;
    for (auto& R : Table(*Source, "stop_times.txt")) {
        Trips[R["trip_id"]].emplace_back(std::stoi(R["stop_sequence"]), R["stop_id"]);
        Used.insert(R["stop_id"]);
    }
    std::set<std::tuple<std::string, std::string, std::string>> Pairs;
    for (auto& [Trip, Halts] : Trips) {
        std::sort(Halts.begin(), Halts.end());
        for (std::size_t K = 0; K + 1 < Halts.size(); ++K)
            if (Halts[K].second != Halts[K + 1].second)
                Pairs.emplace(Halts[K].second, Halts[K + 1].second, RouteOf[Trip]);
    }

    const auto Junctions = Objects(I->Map, otRoadCross);
    EXPECT_EQ(Junctions.size(), Used.size());
    EXPECT_EQ(I->Made.Junctions, static_cast<std::int32_t>(Used.size()));
    std::multiset<ZemString> Names, Texts;
    for (const std::string& S : Used)
        Names.insert(FromUtf8(NameOf[S]));
    for (const TZemObject* J : Junctions)
        Texts.insert(J->Text());
    EXPECT_EQ(Texts, Names);

    std::size_t RouteSegments = 0, Shaped = 0;
    for (const TZemObject* S : Objects(I->Map, otRoadCrossLine)) {
        const TXYPoint From = I->Map.ObjectByID(S->StartCrossID).Points()[0];
        const TXYPoint To = I->Map.ObjectByID(S->EndCrossID).Points()[0];
        ASSERT_GE(S->PointCount(), 2);
        EXPECT_EQ(S->Points()[0].X, From.X);
        EXPECT_EQ(S->Points()[0].Y, From.Y);
        EXPECT_EQ(S->Points()[S->PointCount() - 1].X, To.X);
        EXPECT_EQ(S->Points()[S->PointCount() - 1].Y, To.Y);
        if (S->TransportType() == 0)
            continue;
        ++RouteSegments;
        EXPECT_EQ(S->Direction(), 0);
        EXPECT_EQ(ToUtf8(I->Map.Doc.TransportTypes[S->TransportType()]), "Автобус");
        Shaped += S->PointCount() > 2;
    }
    EXPECT_EQ(RouteSegments, Pairs.size());
    EXPECT_EQ(I->Made.Segments, static_cast<std::int32_t>(Pairs.size()));
    EXPECT_GT(Shaped, RouteSegments * 9 / 10); // every trip of this feed has a shape
    EXPECT_GT(I->Made.WalkingSegments, 0);
    EXPECT_EQ(ToUtf8(I->Map.Doc.TransportTypes[0]), "Пешком");
}

TEST(GtfsImport, SegmentsFollowTheirShapeToTheStops) {
    const std::string Path = KartPath();
    const auto I = Import(Path);
    // Every shaped segment leaves its junction onto the shape of a trip of its route and arrives from it:
    // its second and last-but-one points lie on some shape of the feed within a metre.
    std::vector<std::vector<TXYPoint>> Shapes;
    for (const TGtfsShape& S : I->Feed.Shapes) {
        Shapes.emplace_back();
        for (const TGtfsShapePoint& P : S.Points)
            Shapes.back().push_back(I->Georef.Project({P.Lon, P.Lat}));
    }
    int Checked = 0;
    for (const TZemObject* S : Objects(I->Map, otRoadCrossLine)) {
        if (S->TransportType() == 0 || S->PointCount() < 4)
            continue;
        for (const TXYPoint& P : {S->Points()[1], S->Points()[S->PointCount() - 2]}) {
            double Best = INFINITY;
            for (const auto& Shape : Shapes)
                Best = std::min(Best, DistanceToLine(P, Shape));
            EXPECT_LT(Best, 1.0);
        }
        ++Checked;
    }
    EXPECT_GT(Checked, 100);
}

TEST(GtfsImport, ExactSearchBetweenStopsOfOneLineRidesThatLine) {
    const std::string Path = KartPath();
    const auto I = Import(Path);
    const TGtfsFeed& F = I->Feed;
    // Which routes ride each leg, to tell a line of its own from a stretch that several lines share.
    std::map<std::pair<std::uint32_t, std::uint32_t>, std::set<std::uint32_t>> Riders;
    for (const TGtfsTrip& T : F.Trips)
        if (T.Pattern >= 0)
            for (std::size_t K = 0; K + 1 < F.Patterns[T.Pattern].Stops.size(); ++K)
                Riders[{F.Patterns[T.Pattern].Stops[K], F.Patterns[T.Pattern].Stops[K + 1]}].insert(T.Route);
    // From the first to the fourth stop of the first trip of every route: a ride on one line without a
    // walk, and that very line where no other one shares the stretch.
    std::set<std::uint32_t> Tried;
    int OwnLine = 0;
    for (const TGtfsTrip& T : F.Trips) {
        if (T.Pattern < 0 || !Tried.insert(T.Route).second)
            continue;
        const auto& P = F.Patterns[T.Pattern].Stops;
        if (P.size() < 4 || P[0] == P[1] || P[1] == P[2] || P[2] == P[3])
            continue;
        SCOPED_TRACE("route " + F.Routes[T.Route].Id);
        auto At = [&](std::uint32_t S) { return I->Georef.Project({F.Stops[S].Lon, F.Stops[S].Lat}); };
        const TIntegerList Route = ExactRoute(I->Map, At(P[0]), At(P[3]));
        ASSERT_GE(Route.Count(), 2); // the last junction is left out
        const TXYPoint From = I->Map.ObjectByID(Route[0]).Points()[0];
        EXPECT_EQ(From.X, At(P[0]).X);
        EXPECT_EQ(From.Y, At(P[0]).Y);
        std::set<ZemString> Lines;
        for (std::int32_t K = 1; K < Route.Count(); K += 2) {
            const TZemObject& S = I->Map.ObjectByID(Route[K]);
            EXPECT_NE(S.TransportType(), 0);
            Lines.insert(S.Text());
        }
        EXPECT_EQ(Lines.size(), 1u);
        if (Riders[{P[0], P[1]}] == std::set<std::uint32_t>{T.Route}) {
            EXPECT_EQ(*Lines.begin(), FromUtf8(F.Routes[T.Route].ShortName));
            ++OwnLine;
        }
    }
    EXPECT_GE(Tried.size(), 10u);
    EXPECT_GE(OwnLine, 3);
}

TEST(GtfsImport, CyrillicFeedFromFolderAndZip) {
    TTempDir Dir;
    const TFeedTables Tables = CyrillicFeed();
    for (const std::string& Path :
         {WriteFeedFolder(Dir.Path() / "feed", Tables), WriteFeedZip(Dir.Path() / "feed.zip", Tables)}) {
        SCOPED_TRACE(Path);
        const auto I = Import(Path);
        EXPECT_EQ(I->Feed.SkippedCount(), 0u);
        const auto Junctions = Objects(I->Map, otRoadCross);
        std::set<std::string> Names;
        for (const TZemObject* J : Junctions)
            Names.insert(ToUtf8(J->Text()));
        EXPECT_EQ(Names, (std::set<std::string>{"Улица Ленина", "Вокзал, платформа 1", "Площадь \"Мира\"",
                                                "Парк", "Вокзал,\nплатформа 2"}));
        const TZemDirectory& Types = I->Map.Doc.TransportTypes;
        ASSERT_GE(Types.size(), 6u);
        EXPECT_EQ(ToUtf8(Types[0]), "Пешком");
        EXPECT_EQ(ToUtf8(Types[1]), "Автобус");
        // Line А: 1-2-3 by two trips numbered differently; the tram: 3-4 and back; no short name.
        std::map<std::string, int> PerRoute;
        std::int32_t Walks = 0, LongWalks = 0;
        for (const TZemObject* S : Objects(I->Map, otRoadCrossLine)) {
            if (S->TransportType() == 0) {
                ++Walks;
                EXPECT_EQ(S->Direction(), 2);
                const auto &A = S->Points()[0], &B = S->Points()[1];
                LongWalks += std::hypot(A.X - B.X, A.Y - B.Y) > kWalkingDistance;
                continue;
            }
            const std::string Kind = ToUtf8(Types[S->TransportType()]);
            ++PerRoute[Kind + " " + ToUtf8(S->Text())];
            if (Kind == "Автобус") {
                EXPECT_EQ(S->Pen.Color, RGBColor(255, 0, 0));
                EXPECT_GT(S->PointCount(), 2); // it follows shape sh1
            } else {
                EXPECT_EQ(S->PointCount(), 2); // no shape: straight
            }
        }
        EXPECT_EQ(PerRoute, (std::map<std::string, int>{{"Автобус А", 2}, {"Трамвай Трамвайная", 3}}));
        // Platforms of the station 70 m apart, stop 1 with its transfer to stop 4, 1.6 km away.
        EXPECT_EQ(LongWalks, 1);
        EXPECT_EQ(Walks, 2);
        EXPECT_EQ(Walks, I->Made.WalkingSegments);
    }
}

TEST(GtfsImport, TransfersBetweenStationsJoinTheirPlatforms) {
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    Tables["transfers.txt"] = "from_stop_id,to_stop_id,transfer_type\nST,4,0\n4,ST,0\n";
    const auto I = Import(WriteFeedFolder(Dir.Path(), Tables));
    std::set<std::pair<ZemString, ZemString>> Long;
    for (const TZemObject* S : Objects(I->Map, otRoadCrossLine)) {
        const auto &A = S->Points()[0], &B = S->Points()[S->PointCount() - 1];
        if (S->TransportType() == 0 && std::hypot(A.X - B.X, A.Y - B.Y) > kWalkingDistance)
            Long.emplace(I->Map.ObjectByID(S->StartCrossID).Text(), I->Map.ObjectByID(S->EndCrossID).Text());
    }
    EXPECT_EQ(Long, (std::set<std::pair<ZemString, ZemString>>{
                        {FromUtf8("Вокзал, платформа 1"), FromUtf8("Парк")},
                        {FromUtf8("Вокзал,\nплатформа 2"), FromUtf8("Парк")}}));
}

TEST(GtfsImport, ScatteredStopTimesMakeTheSamePattern) {
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    // t1's rows out of order and split by another trip's.
    Tables["stop_times.txt"] = "stop_sequence,stop_id,trip_id\n3,3,t1\n1,3,t3\n1,1,t1\n2,4,t3\n2,2,t1\n"
                               "1,4,t4\n2,3,t4\n";
    const TGtfsFeed Feed = ReadGtfsFeed(WriteFeedFolder(Dir.Path(), Tables));
    ASSERT_GE(Feed.Trips[0].Pattern, 0);
    const auto& P = Feed.Patterns[Feed.Trips[0].Pattern].Stops;
    std::vector<std::string> Ids;
    for (std::uint32_t S : P)
        Ids.push_back(Feed.Stops[S].Id);
    EXPECT_EQ(Ids, (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(Feed.StopTimes, 7u);
}

TEST(GtfsImport, BadFeedsAreRefusedNamingFileLineAndColumn) {
    struct TCase {
        std::string Table, Text, Message;
    };
    const TCase Cases[] = {
        {"routes.txt", "", "\"routes.txt\": файл пуст"},
        {"stops.txt", "stop_id,stop_name,stop_lon\n1,a,37\n",
         "\"stops.txt\", строка 1: нет обязательного столбца \"stop_lat\""},
        {"stop_times.txt", "trip_id,stop_id,stop_sequence\nt1,1,\"1\nt1,2,2\n",
         "\"stop_times.txt\", строка 2: кавычки"},
        {"stops.txt", "stop_id,stop_lat,stop_lon\n1,x,1\n2,1,\n",
         "\"stops.txt\": ни одной годной строки; первая ошибка — \"stops.txt\", строка 2, столбец "
         "\"stop_lat\""},
        {"trips.txt", "route_id,trip_id\nR9,t1\n", "ссылка на неизвестный маршрут"},
        {"stops.txt", "stop_id,stop_id,stop_lat,stop_lon\n", "столбец \"stop_id\": столбец повторён"},
    };
    for (const TCase& C : Cases) {
        TTempDir Dir;
        TFeedTables Tables = CyrillicFeed();
        Tables[C.Table] = C.Text;
        try {
            ReadGtfsFeed(WriteFeedFolder(Dir.Path(), Tables));
            ADD_FAILURE() << C.Table << " was read";
        } catch (const EZemError& E) {
            EXPECT_NE(std::string(E.what()).find(C.Message), std::string::npos) << E.what();
        }
    }
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    Tables.erase("trips.txt");
    EXPECT_THROW(ReadGtfsFeed(WriteFeedFolder(Dir.Path() / "a", Tables)), EZemError);
    std::ofstream(Dir.Path() / "not.zip") << "stop_id,stop_lat\n";
    try {
        ReadGtfsFeed((Dir.Path() / "not.zip").string());
        ADD_FAILURE();
    } catch (const EZemError& E) {
        EXPECT_NE(std::string(E.what()).find("не архив zip"), std::string::npos) << E.what();
    }
}

TEST(GtfsImport, IsolatedBadRowsAreSkippedAndCounted) {
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    Tables["stops.txt"] += "6,Ноль,0,0,0,\n1,Повтор,55,37,0,\n7,Плохая,юг,37,0,\n8,Короткая\n";
    Tables["routes.txt"] += "99,Странный,R3,С,,\n";
    Tables["stop_times.txt"] += "t9,08:00:00,08:00:00,1,1\nt1,08:00:00,08:00:00,404,9\n"
                                "t1,8:61:00,08:00:00,4,9\nt1,08:00:00,08:00:00,ST,10\n";
    const TGtfsFeed Feed = ReadGtfsFeed(WriteFeedFolder(Dir.Path(), Tables));
    const std::map<std::string, std::uint64_t> Want = {
        {"координаты (0, 0) — остановка не размещена", 1},
        {"повторный идентификатор", 1},
        {"неверные координаты", 1},
        {"число полей строки не совпадает с заголовком", 1},
        {"неверный route_type", 1},
        {"ссылка на неизвестный рейс", 1},
        {"ссылка на неизвестную остановку", 1},
        {"неверное время", 1},
        {"рейс останавливается не на остановке, а на станции или входе", 1},
    };
    std::map<std::string, std::uint64_t> Got;
    for (const auto& [Cause, S] : Feed.Skipped)
        Got[Cause] = S.Count;
    EXPECT_EQ(Got, Want);
    EXPECT_EQ(Feed.Skipped.at("неверное время").First,
              "\"stop_times.txt\", строка 15, столбец \"arrival_time\"");
    EXPECT_EQ(Feed.Skipped.at("неверные координаты").First, "\"stops.txt\", строка 11, столбец \"stop_lat\"");
    EXPECT_EQ(Feed.Stops.size(), 6u);
    EXPECT_EQ(Feed.StopTimes, 11u);
}

TEST(GtfsImport, ZipBombsAndHugeTablesStopEarly) {
    TTempDir Dir;
    TFeedTables Tables = CyrillicFeed();
    // 8 MB of one byte packs to a few kilobytes.
    Tables["shapes.txt"] =
        "shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence\n" + std::string(8 << 20, ' ');
    const std::string Zip = WriteFeedZip(Dir.Path() / "bomb.zip", Tables);
    try {
        ReadGtfsFeed(*OpenFeedSource(Zip, 1 << 20));
        ADD_FAILURE();
    } catch (const EZemError& E) {
        EXPECT_NE(std::string(E.what()).find("zip-бомбу"), std::string::npos) << E.what();
    }
    // What a table may make us keep is bounded whatever its size.
    TGtfsLimits Limits;
    Limits.Stops = 3;
    EXPECT_THROW(ReadGtfsFeed(Zip, {}, Limits), EZemError);
    // A cancel from the progress ends the reading.
    EXPECT_THROW(ReadGtfsFeed(WriteFeedFolder(Dir.Path() / "f", CyrillicFeed()),
                              [](double, std::string_view) { return false; }),
                 EZemImportCancelled);
}

TEST(GtfsImport, AddedToAnOpenMapAsOneUndoStep) {
    TTempDir Dir;
    const std::filesystem::path Feed = WriteFeedFolder(Dir.Path() / "feed", CyrillicFeed());
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemObject Line;
    Line.Kind = otLine;
    Line.AddPoint({10, 10});
    Line.AddPoint({50, 20});
    Map.AddObject(Line);
    Map.Doc.Streets.push_back(FromUtf8("Тверская"));
    Map.ClearHistory();
    const auto Before = Map.SaveToBytes();

    // The import runs on a copy, as the window's job does.
    HeadlessHost CopyHost;
    TZemMap Copy(CopyHost);
    ASSERT_TRUE(Copy.LoadFromBytes(Before));
    TZemImportProgress Progress;
    ImportInto(Copy, std::span(&Feed, 1), {}, Progress);

    EXPECT_EQ(AddImportedAsStep(Map, Copy), Copy.Count() - 1);
    EXPECT_EQ(Map.Count(), Copy.Count());
    EXPECT_EQ(Map.Doc.TransportTypes, Copy.Doc.TransportTypes);
    EXPECT_TRUE(FindGeoref(Map).has_value());
    EXPECT_EQ(Map.Net.VisibleTransportTypes.Count(),
              static_cast<std::int32_t>(Map.Doc.TransportTypes.size()));
    EXPECT_TRUE(Map.Modified());
    Map.Undo();
    EXPECT_EQ(Map.Count(), 1);
    EXPECT_TRUE(Map.Doc.TransportTypes.empty());
    EXPECT_FALSE(FindGeoref(Map).has_value());
    EXPECT_EQ(Map.Doc.Streets.size(), 1u);
    EXPECT_FALSE(Map.CanUndo());
    Map.Redo();
    EXPECT_EQ(Map.Count(), Copy.Count());
    const auto Junctions = Objects(Map, otRoadCross);
    ASSERT_EQ(Junctions.size(), 5u);
    EXPECT_EQ(Map.ObjectByID(Junctions[0]->ID).Text(), Copy.ObjectByID(Junctions[0]->ID).Text());
}
