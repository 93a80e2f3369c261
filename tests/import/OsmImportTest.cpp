// The OpenStreetMap import on two real extracts, compared with what libosmium itself reads from them,
// and on made-up damaged or odd inputs.
#include "import/ZemImport.h"
#include "import/ZemOsmTags.h"
#include "platform/ZemHeadlessHost.h"

#pragma GCC diagnostic push
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wstringop-overread"
#endif
#include <osmium/area/assembler.hpp>
#include <osmium/area/multipolygon_manager.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/visitor.hpp>
#pragma GCC diagnostic pop

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <set>

namespace zem {
namespace {

const std::string kData = std::string(ZEM_SOURCE_DIR) + "/tests/data/osm/";

// What libosmium reads from a file, counted here without the importer's code.
struct TReference {
    std::int64_t Roads = 0, BuildingRings = 0, BuildingNumbers = 0, AddressNodes = 0;
};

struct TCounter : osmium::handler::Handler {
    TReference& R;
    explicit TCounter(TReference& Ref) : R(Ref) {}
    void node(const osmium::Node& N) {
        R.AddressNodes += N.tags().has_key("addr:housenumber") && !N.tags().has_key("building");
    }
    void way(const osmium::Way& W) {
        static const std::set<std::string> kRoads{
            "motorway",     "trunk",        "primary",        "secondary",     "tertiary",    "motorway_link",
            "trunk_link",   "primary_link", "secondary_link", "tertiary_link", "residential", "living_street",
            "unclassified", "road",         "pedestrian",     "service"};
        const char* H = W.tags().get_value_by_key("highway");
        if (!H || !kRoads.count(H) || W.tags().has_tag("area", "yes"))
            return;
        std::set<std::pair<std::int32_t, std::int32_t>> Places;
        for (const auto& N : W.nodes())
            if (N.location().valid())
                Places.insert({N.location().x(), N.location().y()});
        R.Roads += Places.size() >= 2;
    }
    void area(const osmium::Area& A) {
        const char* B = A.tags().get_value_by_key("building");
        if (!B || std::strcmp(B, "no") == 0)
            return;
        const auto Rings = std::distance(A.outer_rings().begin(), A.outer_rings().end());
        R.BuildingRings += Rings;
        if (A.tags().has_key("addr:housenumber"))
            R.BuildingNumbers += Rings;
    }
};

TReference ReadReference(const std::string& File) {
    TReference R;
    TCounter C(R);
    osmium::TagsFilter Filter{false};
    Filter.add_rule(true, osmium::TagMatcher{"building"});
    osmium::area::MultipolygonManager<osmium::area::Assembler> Areas{osmium::area::Assembler::config_type{},
                                                                     Filter};
    osmium::relations::read_relations(osmium::io::File{File}, Areas);
    using TIndex = osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
    TIndex Index;
    osmium::handler::NodeLocationsForWays<TIndex> Locations{Index};
    Locations.ignore_errors();
    osmium::io::Reader Reader{File};
    osmium::apply(Reader, Locations, C,
                  Areas.handler([&C](osmium::memory::Buffer&& B) { osmium::apply(B, C); }));
    Reader.close();
    return R;
}

struct TImported {
    HeadlessHost Host;
    TZemMap Map{Host};
    TZemImportSummary Summary;
    explicit TImported(const std::vector<std::filesystem::path>& Inputs, TZemImportOptions Options = {}) {
        TZemImportProgress Progress;
        Summary = ImportInto(Map, Inputs, Options, Progress);
    }
    std::int64_t Count(TObjectKind K, std::int8_t Plane) {
        std::int64_t N = 0;
        for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
            const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
            N += O.Kind == K && O.Plane() == Plane;
        }
        return N;
    }
};

class OsmExtractTest : public ::testing::TestWithParam<const char*> {};

TEST_P(OsmExtractTest, CountsAgreeWithLibosmiumAndTheMapIsSound) {
    const std::string File = kData + GetParam();
    const TReference Ref = ReadReference(File);
    ASSERT_GT(Ref.Roads, 300);
    ASSERT_GT(Ref.BuildingRings, 500);
    ASSERT_GT(Ref.BuildingNumbers, 300);
    TImported I({File});
    TZemMap& Map = I.Map;
    EXPECT_EQ(I.Count(otLine, opStreets), Ref.Roads);
    EXPECT_EQ(I.Count(otPolygon, opBuildings), Ref.BuildingRings);
    std::int64_t Numbered = 0;
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        Numbered += O.Kind == otPolygon && !O.Address().Number.empty();
        // Everything lies on the positive quadrant, and texts and network objects where they belong.
        for (std::int32_t k = 0; k < O.PointCount(); ++k)
            ASSERT_TRUE(O.Points()[k].X > 0 && O.Points()[k].Y > 0) << O.ID;
        if (O.Kind == otRoadCrossLine) {
            ASSERT_EQ(Map.ObjectByID(O.StartCrossID).Kind, otRoadCross);
            ASSERT_EQ(Map.ObjectByID(O.EndCrossID).Kind, otRoadCross);
            EXPECT_EQ(O.Points()[0], Map.ObjectByID(O.StartCrossID).Points()[0]);
        }
    }
    EXPECT_EQ(Numbered, Ref.BuildingNumbers + I.Summary.MadeCount("адреса из адресных точек"));
    EXPECT_EQ(Ref.AddressNodes, I.Summary.MadeCount("адреса из адресных точек") +
                                    I.Summary.SkippedCount("адресные точки вне зданий") +
                                    I.Summary.SkippedCount("адресные точки в зданиях, уже имеющих адрес"));
    // Each street name is in the directory once.
    std::set<ZemString> Upper;
    for (const ZemString& S : Map.Doc.Streets)
        EXPECT_TRUE(Upper.insert(UpperCase(S)).second) << ToUtf8(S);
    EXPECT_TRUE(FindGeoref(Map));
    EXPECT_EQ(Map.Doc.TransportTypes[0], FromUtf8("Пешком"));
    EXPECT_GT(I.Summary.MadeCount("подписи улиц"), 10);
    // The first view shows every area of the map.
    const TXYPoint V0 = Map.View.LeftTop,
                   V1{V0.X + Map.View.ViewWidthHeight.X, V0.Y + Map.View.ViewWidthHeight.Y};
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        if (O.Kind != otPolygon)
            continue;
        ASSERT_TRUE(O.LeftTop.X >= V0.X && O.LeftTop.Y >= V0.Y && O.RightBottom.X <= V1.X &&
                    O.RightBottom.Y <= V1.Y);
    }
}

INSTANTIATE_TEST_SUITE_P(RealExtracts, OsmExtractTest,
                         ::testing::Values("moscow-kitay-gorod.osm.pbf", "moscow-maryina-roshcha.osm.gz"));

TEST(OsmImportTest, KnownFactsOfKitayGorod) {
    TImported I({kData + "moscow-kitay-gorod.osm.pbf"});
    TZemMap& Map = I.Map;
    std::int32_t Pokrovka = -1;
    for (std::size_t i = 0; i < Map.Doc.Streets.size(); ++i)
        if (Map.Doc.Streets[i] == FromUtf8("улица Покровка"))
            Pokrovka = static_cast<std::int32_t>(i);
    ASSERT_GE(Pokrovka, 0);
    std::int32_t Houses = 0, Parts = 0, Tram = -1, Bus = -1;
    for (std::size_t i = 0; i < Map.Doc.TransportTypes.size(); ++i) {
        if (Map.Doc.TransportTypes[i] == FromUtf8("Трамвай"))
            Tram = static_cast<std::int32_t>(i);
        if (Map.Doc.TransportTypes[i] == FromUtf8("Автобус"))
            Bus = static_cast<std::int32_t>(i);
    }
    std::set<std::int32_t> Kinds;
    bool Attribution = false;
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        if (O.Kind == otPolygon && O.Address().Street == Pokrovka && !O.Address().Number.empty())
            ++Houses;
        Parts += !O.Address().Corpus.empty();
        if (O.Kind == otRoadCrossLine)
            Kinds.insert(O.TransportType());
        Attribution = Attribution || (O.Kind == otText &&
                                      O.Text() == FromUtf8("Данные карты © участники OpenStreetMap, ODbL"));
    }
    EXPECT_GE(Houses, 40);
    EXPECT_GT(Parts, 0);
    EXPECT_TRUE(Kinds.count(Tram));
    EXPECT_TRUE(Kinds.count(Bus));
    EXPECT_TRUE(Kinds.count(0)); // walking
    EXPECT_TRUE(Attribution);
}

TEST(OsmImportTest, TwoExtractsShareOnePlaneAndABoxLeavesTheRestOut) {
    const std::filesystem::path A = kData + "moscow-kitay-gorod.osm.pbf",
                                B = kData + "moscow-maryina-roshcha.osm.gz";
    TImported Both({A, B});
    TImported First({A});
    const TZemGeoref G = *FindGeoref(Both.Map);
    const TZemGeoPoint Kremlin{37.6175, 55.7520};
    EXPECT_GT(Both.Map.Count(), First.Map.Count());
    const TXYPoint P = G.Project(Kremlin);
    EXPECT_GT(P.X, 0);
    EXPECT_GT(P.Y, 0);

    TZemImportOptions Options;
    TZemGeoBox Box;
    Box.Add({37.636, 55.758});
    Box.Add({37.642, 55.762});
    Options.BBox = Box;
    TImported Part({A}, Options);
    EXPECT_LT(Part.Map.Count(), First.Map.Count() / 2);
    EXPECT_GT(Part.Summary.SkippedCount("объекты вне заданной области"), 0);
}

// A made-up file in a temporary folder.
struct TTempFile {
    std::filesystem::path Path;
    explicit TTempFile(const std::string& Name, const std::string& Bytes)
        : Path(std::filesystem::temp_directory_path() /
               ("zemimport-" + std::to_string(::getpid()) + "-" + Name)) {
        std::ofstream(Path, std::ios::binary) << Bytes;
    }
    ~TTempFile() { std::filesystem::remove(Path); }
};

std::string ImportError(const std::filesystem::path& P) {
    try {
        TImported I({P});
    } catch (const EZemError& E) {
        return E.what();
    }
    return "";
}

TEST(OsmImportTest, DamagedAndForeignFilesGiveAMessageNamingTheFile) {
    std::string Pbf;
    {
        std::ifstream In(kData + "moscow-kitay-gorod.osm.pbf", std::ios::binary);
        Pbf.assign(std::istreambuf_iterator<char>(In), {});
    }
    const TTempFile Cut("cut.osm.pbf", Pbf.substr(0, Pbf.size() / 2));
    std::string Flipped = Pbf;
    for (std::size_t i = 2000; i < Flipped.size(); i += 997)
        Flipped[i] = static_cast<char>(Flipped[i] ^ 0x5A);
    const TTempFile Damaged("damaged.osm.pbf", Flipped);
    const TTempFile Text("notes.osm", "just some words, not map data\n");
    const TTempFile Empty("empty.osm", "");
    const TTempFile NoNodes("nonodes.osm", "<?xml version='1.0'?>\n<osm version='0.6'>\n</osm>\n");
    const TTempFile BadXml(
        "bad.osm",
        "<?xml version='1.0'?>\n<osm version='0.6'>\n<node id='1' lat='55.7' lon='37.6'>\n</osm>\n");
    for (const TTempFile* F : {&Cut, &Damaged, &Text, &Empty, &NoNodes, &BadXml}) {
        const std::string E = ImportError(F->Path);
        EXPECT_NE(E.find("\"" + F->Path.string() + "\""), std::string::npos) << E;
    }
    EXPECT_NE(ImportError(BadXml.Path).find("строка 4"), std::string::npos) << ImportError(BadXml.Path);
    EXPECT_NE(ImportError(std::filesystem::path("/nonexistent/x.osm.pbf")).find("не найден"),
              std::string::npos);
}

TEST(OsmImportTest, OddElementsAreSkippedAndCounted) {
    std::string X =
        "<?xml version='1.0'?>\n<osm version='0.6'>\n"
        "<node id='1' lat='55.75' lon='37.62'/><node id='2' lat='55.751' lon='37.62'/>"
        "<node id='3' lat='55.751' lon='37.621'/><node id='4' lat='55.75' lon='37.621'/>"
        "<node id='5' lat='95.0' lon='37.6'/>" // outside the valid range
        "<node id='6' lat='55.7505' lon='37.6205'><tag k='addr:housenumber' v='7с1'/>"
        "<tag k='addr:street' v='Тестовая улица'/></node>\n"
        "<way id='10'><nd ref='1'/><tag k='highway' v='residential'/></way>\n"          // one node
        "<way id='11'><nd ref='1'/><nd ref='5'/><tag k='highway' v='primary'/></way>\n" // bad node
        "<way id='12'><nd ref='1'/><nd ref='2'/><nd ref='3'/><nd ref='4'/><nd ref='1'/>"
        "<tag k='building' v='yes'/><tag k='name' v='" +
        std::string(1000, 'x') +
        "'/></way>\n"
        "<way id='13'><nd ref='1'/><nd ref='2'/><nd ref='3'/><tag k='natural' v='water'/></way>\n"
        "<way id='14'><nd ref='2'/><nd ref='3'/><tag k='highway' v='secondary'/><tag k='name' v='Тестовая "
        "улица'/></way>\n"
        "<relation id='20'><member type='way' ref='999' role='outer'/><tag k='type' v='multipolygon'/>"
        "<tag k='building' v='yes'/></relation>\n"
        "<relation id='21'><member type='node' ref='998' role='stop'/><member type='node' ref='2' "
        "role='stop'/>"
        "<tag k='type' v='route'/><tag k='route' v='bus'/><tag k='ref' v='1'/></relation>\n"
        "</osm>\n";
    const TTempFile F("odd.osm", X);
    TImported I({F.Path});
    EXPECT_EQ(I.Summary.MadeCount("здания"), 1);
    EXPECT_EQ(I.Summary.MadeCount("адреса из адресных точек"), 1);
    EXPECT_EQ(I.Summary.SkippedCount("линии из одной точки"), 2);
    EXPECT_EQ(I.Summary.SkippedCount("точки с недопустимыми координатами"), 1);
    EXPECT_EQ(I.Summary.SkippedCount("маршруты без двух остановок в выгрузке"), 1);
    EXPECT_EQ(I.Summary.SkippedCount("мультиполигоны с недостающими членами или незамкнутыми контурами"), 1);
    bool Building = false;
    for (std::int32_t i = 0; i < I.Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = I.Map.ObjectByID(I.Map.Doc.Order[i]);
        if (O.Kind == otPolygon && O.Plane() == opBuildings) {
            Building = true;
            EXPECT_EQ(O.Text().size(), kMaxImportedText);
            EXPECT_EQ(O.Address().Number, "7");
            EXPECT_EQ(O.Address().Corpus, FromUtf8("с1"));
            EXPECT_EQ(I.Map.Doc.Streets.at(O.Address().Street), FromUtf8("Тестовая улица"));
        }
    }
    EXPECT_TRUE(Building);
    EXPECT_EQ(I.Map.Doc.Streets.size(), 1u);
}

TEST(OsmImportTest, CancellingStopsTheImport) {
    HeadlessHost Host;
    TZemMap Map(Host);
    TZemImportProgress Progress;
    Progress.OnProgress = [&Progress](const std::string&, std::int32_t) { Progress.Cancel(); };
    const std::filesystem::path In = kData + "moscow-kitay-gorod.osm.pbf";
    EXPECT_THROW(ImportInto(Map, std::span(&In, 1), {}, Progress), EZemImportCancelled);
}

} // namespace
} // namespace zem
