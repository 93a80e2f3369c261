// The georeference: the projection's accuracy, its round trip, and its life in a map and a map file.
#include "import/ZemGeoref.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace zem {
namespace {

TZemGeoBox MoscowBox() {
    TZemGeoBox B;
    B.Add({37.62, 55.74});
    B.Add({37.66, 55.77});
    return B;
}

TEST(GeorefTest, BoxLandsAtTheMarginAndLengthsAreMetres) {
    const TZemGeoBox B = MoscowBox();
    const TZemGeoref G = TZemGeoref::ForBox(B);
    double X = 0, Y = 0;
    G.Project({B.West, B.North}, X, Y);
    EXPECT_NEAR(X, kGeorefMargin, 1e-6);
    EXPECT_NEAR(Y, kGeorefMargin, 1e-6);
    G.Project({B.East, B.South}, X, Y);
    EXPECT_GT(X, kGeorefMargin);
    EXPECT_GT(Y, kGeorefMargin); // south is down
    // One minute of latitude is about 1855 m at 55.75 N; 0.01 degree of longitude about 627 m.
    double X1 = 0, Y1 = 0, X2 = 0, Y2 = 0;
    G.Project({37.64, 55.75}, X1, Y1);
    G.Project({37.64, 55.75 + 1.0 / 60}, X2, Y2);
    EXPECT_NEAR(Y1 - Y2, 1855.0, 1855.0 * 0.005);
    G.Project({37.65, 55.75}, X2, Y2);
    EXPECT_NEAR(X2 - X1, 627.0, 627.0 * 0.005);
}

TEST(GeorefTest, RandomPointsRoundTripAndTheLineRoundTrips) {
    std::mt19937 Rng(31);
    std::uniform_real_distribution<double> Lat(-80, 80), Lon(-179, 179), Span(0.001, 0.5);
    for (int i = 0; i < 200; ++i) {
        TZemGeoBox B;
        const double La = Lat(Rng), Lo = Lon(Rng);
        B.Add({Lo, La});
        B.Add({Lo + Span(Rng), La + Span(Rng) / 4});
        const TZemGeoref G = TZemGeoref::ForBox(B);
        const TZemGeoPoint P{(B.West + B.East) / 2, B.South};
        double X = 0, Y = 0;
        G.Project(P, X, Y);
        const TZemGeoPoint Q = G.Unproject(X, Y);
        EXPECT_NEAR(Q.Lon, P.Lon, 1e-9);
        EXPECT_NEAR(Q.Lat, P.Lat, 1e-9);
        const auto H = TZemGeoref::FromLine(G.ToLine());
        ASSERT_TRUE(H.has_value()) << ToUtf8(G.ToLine());
        double X2 = 0, Y2 = 0;
        H->Project(P, X2, Y2);
        EXPECT_NEAR(X2, X, 0.02); // the line keeps centimetres
        EXPECT_NEAR(Y2, Y, 0.02);
    }
}

TEST(GeorefTest, DamagedLinesAreNotGeoreferences) {
    const ZemString Good = TZemGeoref::ForBox(MoscowBox()).ToLine();
    EXPECT_TRUE(TZemGeoref::FromLine(Good));
    for (const char* Bad :
         {"Геопривязка WGS84:", "Геопривязка WGS84: 55.7 37.6 10", "Геопривязка WGS84: x 1 2 3",
          "Геопривязка WGS84: 95 37.6 10 10", "Геопривязка WGS84: nan 37.6 10 10", "Здание",
          "геопривязка wgs84: 55.7 37.6 10 10"})
        EXPECT_FALSE(TZemGeoref::FromLine(FromUtf8(Bad))) << Bad;
}

TEST(GeorefTest, TheMapKeepsItThroughItsFileAndASecondImportReusesIt) {
    HeadlessHost Host;
    TZemMap Map(Host);
    Map.Doc.ObjectTypes = {FromUtf8("Здание")};
    EXPECT_FALSE(FindGeoref(Map));
    const TZemGeoref G = GeorefFor(Map, MoscowBox());
    ASSERT_EQ(Map.Doc.ObjectTypes.size(), 2u);
    EXPECT_EQ(Map.Doc.ObjectTypes[0], FromUtf8("Здание")); // earlier positions stay

    TZemMap Loaded(Host);
    ASSERT_TRUE(Loaded.LoadFromBytes(Map.SaveToBytes()));
    TZemGeoBox Elsewhere;
    Elsewhere.Add({30.3, 59.9});
    const TZemGeoref H = GeorefFor(Loaded, Elsewhere); // the stored one wins over a new box
    const TXYPoint A = G.Project({37.63, 55.75}), B = H.Project({37.63, 55.75});
    EXPECT_NEAR(A.X, B.X, 0.02);
    EXPECT_NEAR(A.Y, B.Y, 0.02);
    StoreGeoref(Loaded, TZemGeoref::ForBox(Elsewhere)); // replaces, does not add
    EXPECT_EQ(Loaded.Doc.ObjectTypes.size(), 2u);
}

} // namespace
} // namespace zem
