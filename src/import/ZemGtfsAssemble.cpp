#include "import/ZemGtfsAssemble.h"

#include "import/ZemImportTarget.h"
#include "import/ZemTransitBuilder.h"

#include <algorithm>
#include <cmath>
#include <set>
#include <tuple>
#include <unordered_map>
#include <unordered_set>

namespace zem {

const char* GtfsKindName(int T) {
    switch (T) {
    case 0:
        return "Трамвай";
    case 1:
        return "Метро";
    case 2:
        return "Электричка";
    case 3:
        return "Автобус";
    case 4:
        return "Паром";
    case 5:
        return "Канатный трамвай";
    case 6:
        return "Канатная дорога";
    case 7:
        return "Фуникулёр";
    case 11:
        return "Троллейбус";
    case 12:
        return "Монорельс";
    default:
        break;
    }
    switch (T / 100) {
    case 1:
        return "Электричка";
    case 2:
        return "Автобус"; // coaches
    case 4:
    case 5:
    case 6:
        return "Метро";
    case 7:
        return "Автобус";
    case 8:
        return "Троллейбус";
    case 9:
        return "Трамвай";
    case 10:
    case 12:
        return "Паром";
    case 11:
        return "Самолёт";
    case 13:
        return "Канатная дорога";
    case 14:
        return "Фуникулёр";
    case 15:
        return "Маршрутное такси";
    case 16:
        return "Свой транспорт";
    case 17:
        return "Прочий транспорт";
    default:
        return nullptr;
    }
}

TZemGeoBox GtfsBox(const TGtfsFeed& Feed) {
    TZemGeoBox Box;
    for (const TGtfsStop& S : Feed.Stops)
        if (S.Used)
            Box.Add({S.Lon, S.Lat});
    std::vector<bool> Seen(Feed.Shapes.size());
    for (const TGtfsTrip& T : Feed.Trips)
        if (T.Pattern >= 0 && T.Shape >= 0 && !Seen[T.Shape]) {
            Seen[T.Shape] = true;
            for (const TGtfsShapePoint& P : Feed.Shapes[T.Shape].Points)
                Box.Add({P.Lon, P.Lat});
        }
    return Box;
}

namespace {

struct TPt {
    double X, Y;
};

TColor KindColor(const std::string& Kind) {
    if (Kind == "Автобус")
        return RGBColor(30, 100, 200);
    if (Kind == "Троллейбус")
        return RGBColor(0, 150, 70);
    if (Kind == "Трамвай")
        return RGBColor(220, 40, 40);
    if (Kind == "Метро")
        return RGBColor(140, 0, 140);
    if (Kind == "Электричка")
        return RGBColor(90, 90, 90);
    if (Kind == "Паром")
        return RGBColor(0, 160, 200);
    return RGBColor(200, 120, 0);
}

// Where a stop meets its trip's shape: on the piece from point Piece to Piece + 1, at fraction T.
struct TCut {
    std::int32_t Piece = -1; // -1: the shape does not come near the stop
    double T = 0;
    TPt At{};
    bool operator<=(const TCut& B) const { return Piece < B.Piece || (Piece == B.Piece && T <= B.T); }
};

double Nearest(const TPt& P, const TPt& A, const TPt& B, double& T, TPt& At) {
    const double Dx = B.X - A.X, Dy = B.Y - A.Y, L2 = Dx * Dx + Dy * Dy;
    T = L2 > 0 ? std::clamp(((P.X - A.X) * Dx + (P.Y - A.Y) * Dy) / L2, 0.0, 1.0) : 0.0;
    At = {A.X + T * Dx, A.Y + T * Dy};
    return std::hypot(P.X - At.X, P.Y - At.Y);
}

// The cuts of a trip's stops along its shape, in trip order: each stop is taken at the first place,
// from the previous stop's on, where the shape comes about as near to it as it ever does further on, so
// that a loop passing a stop twice meets it on the right pass.
std::vector<TCut> CutShape(const std::vector<TPt>& Shape, const std::vector<TPt>& Stops) {
    constexpr double kSlack = 25.0;
    std::vector<TCut> Cuts(Stops.size());
    if (Shape.size() < 2)
        return Cuts;
    TCut From{0, 0.0, Shape[0]};
    const std::int32_t Pieces = static_cast<std::int32_t>(Shape.size()) - 1;
    std::vector<double> Dist(Pieces);
    for (std::size_t S = 0; S < Stops.size(); ++S) {
        double Best = INFINITY;
        for (std::int32_t I = From.Piece; I < Pieces; ++I) {
            double T;
            TPt At;
            Dist[I] = Nearest(Stops[S], I == From.Piece ? From.At : Shape[I], Shape[I + 1], T, At);
            Best = std::min(Best, Dist[I]);
        }
        if (Best > kShapeFarFromStop)
            continue; // Cuts[S].Piece stays -1; the search goes on from the last good cut
        std::int32_t I = From.Piece;
        while (Dist[I] > Best + kSlack)
            ++I;
        while (I + 1 < Pieces && Dist[I + 1] < Dist[I])
            ++I;
        TCut C;
        C.Piece = I;
        const TPt Start = I == From.Piece ? From.At : Shape[I];
        Nearest(Stops[S], Start, Shape[I + 1], C.T, C.At);
        if (I == From.Piece) // T was measured from the previous cut; bring it onto the whole piece
            C.T = From.T + C.T * (1.0 - From.T);
        Cuts[S] = C;
        From = C;
    }
    return Cuts;
}

} // namespace

TGtfsAssembled AssembleGtfsFeed(TGtfsFeed& Feed, TZemImportTarget& Target, const TZemGeoref& Georef,
                                const TGtfsProgress& Progress) {
    TZemMap& Map = Target.Map();
    // Walking pairs the map already has, so that links made here do not double them.
    std::set<std::pair<std::int32_t, std::int32_t>> Walked;
    auto Ordered = [](std::int32_t A, std::int32_t B) { return A < B ? std::pair{A, B} : std::pair{B, A}; };
    for (std::int32_t I = 0; I < Map.Doc.Order.Count(); ++I) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[I]);
        if (O.Kind == otRoadCrossLine && O.TransportType() == 0)
            Walked.insert(Ordered(O.StartCrossID, O.EndCrossID));
    }
    TZemTransitBuilder Builder(Target);
    TGtfsAssembled Out;

    // Junctions.
    std::vector<std::int32_t> Junction(Feed.Stops.size(), -1);
    std::vector<TPt> StopAt(Feed.Stops.size());
    for (std::size_t I = 0; I < Feed.Stops.size(); ++I) {
        const TGtfsStop& S = Feed.Stops[I];
        if (!S.Used)
            continue;
        Georef.Project({S.Lon, S.Lat}, StopAt[I].X, StopAt[I].Y);
        const std::int32_t Before = Builder.Counts().Junctions;
        Junction[I] = Builder.AddStop(Georef.Project({S.Lon, S.Lat}));
        TZemObject& J = Map.ObjectByID(Junction[I]);
        if (Builder.Counts().Junctions > Before || J.Text().empty())
            J.SetText(FromUtf8(S.Name));
    }

    // Route segments: the first trip of a route to run from one stop to the next gives the bends.
    std::vector<std::int32_t> Type(Feed.Routes.size(), -1);
    std::vector<TColor> Color(Feed.Routes.size());
    std::vector<ZemString> Name(Feed.Routes.size());
    for (std::size_t R = 0; R < Feed.Routes.size(); ++R) {
        const TGtfsRoute& Route = Feed.Routes[R];
        const char* Kind = GtfsKindName(Route.Type);
        if (!Kind)
            continue;
        Type[R] = Builder.TransportType(Kind);
        Color[R] = Route.HasColor
                       ? RGBColor((Route.Color >> 16) & 255, (Route.Color >> 8) & 255, Route.Color & 255)
                       : KindColor(Kind);
        Name[R] = FromUtf8(Route.ShortName.empty() ? Route.LongName : Route.ShortName);
    }
    std::set<std::tuple<std::uint32_t, std::uint32_t, std::uint32_t>> Pairs;
    std::set<std::uint32_t> RoutesMade;
    std::unordered_set<std::uint64_t> Done; // (pattern, route)
    std::vector<std::vector<TPt>> ShapeAt(Feed.Shapes.size());
    std::vector<TPt> Stops;
    std::vector<TXYPoint> Bends;
    std::uint64_t FarStops = 0;
    for (std::size_t TI = 0; TI < Feed.Trips.size(); ++TI) {
        if (Progress && (TI & 1023) == 0 && !Progress(double(TI) / double(Feed.Trips.size()), "trips.txt"))
            throw EZemImportCancelled();
        const TGtfsTrip& Trip = Feed.Trips[TI];
        // Most trips repeat a pattern of their route that an earlier trip made segments for.
        if (Trip.Pattern < 0 || Type[Trip.Route] < 0 ||
            !Done.insert(std::uint64_t(Trip.Pattern) << 32 | Trip.Route).second)
            continue;
        const std::vector<std::uint32_t>& P = Feed.Patterns[Trip.Pattern].Stops;
        std::vector<TCut> Cuts;
        bool Cut = false;
        for (std::size_t K = 0; K + 1 < P.size(); ++K) {
            if (P[K] == P[K + 1] || Junction[P[K]] < 0 || Junction[P[K + 1]] < 0 ||
                !Pairs.emplace(P[K], P[K + 1], Trip.Route).second)
                continue;
            if (!Cut && Trip.Shape >= 0) {
                Cut = true;
                std::vector<TPt>& Shape = ShapeAt[Trip.Shape];
                if (Shape.empty())
                    for (const TGtfsShapePoint& SP : Feed.Shapes[Trip.Shape].Points) {
                        Shape.push_back({});
                        Georef.Project({SP.Lon, SP.Lat}, Shape.back().X, Shape.back().Y);
                    }
                Stops.clear();
                for (std::uint32_t S : P)
                    Stops.push_back(StopAt[S]);
                Cuts = CutShape(Shape, Stops);
                if (Shape.size() >= 2)
                    for (const TCut& C : Cuts)
                        FarStops += C.Piece < 0;
            }
            Bends.clear();
            const bool Shaped =
                !Cuts.empty() && Cuts[K].Piece >= 0 && Cuts[K + 1].Piece >= 0 && Cuts[K] <= Cuts[K + 1];
            if (Shaped) {
                const std::vector<TPt>& Shape = ShapeAt[Trip.Shape];
                const TCut &A = Cuts[K], &B = Cuts[K + 1];
                auto Add = [&](const TPt& Q) {
                    const TXYPoint F{static_cast<float>(Q.X), static_cast<float>(Q.Y)};
                    if (Bends.empty() || Bends.back().X != F.X || Bends.back().Y != F.Y)
                        Bends.push_back(F);
                };
                Add(A.At);
                for (std::int32_t I = A.Piece + 1; I <= B.Piece; ++I)
                    Add(Shape[I]);
                Add(B.At);
            }
            const std::int32_t ID = Builder.AddLeg(Junction[P[K]], Junction[P[K + 1]], Type[Trip.Route],
                                                   Name[Trip.Route], Color[Trip.Route], Bends);
            if (ID >= 0) {
                ++Out.Segments;
                Out.ShapedSegments += Shaped;
                RoutesMade.insert(Trip.Route);
            }
        }
    }
    if (FarStops > 0)
        Feed.Skipped["остановка дальше 100 м от формы рейса (сегменты у неё прямые)"].Count += FarStops;

    // Walking: stops within 300 m, then the longer links stations and transfers ask for.
    const std::int32_t WalkBefore = Builder.Counts().WalkingSegments;
    Builder.AddWalking(kWalkingDistance);
    Out.WalkingSegments = Builder.Counts().WalkingSegments - WalkBefore;
    auto Link = [&](std::uint32_t A, std::uint32_t B) {
        const std::int32_t JA = Junction[A], JB = Junction[B];
        if (JA < 0 || JB < 0 || JA == JB)
            return;
        const TXYPoint PA = Map.ObjectByID(JA).Points()[0], PB = Map.ObjectByID(JB).Points()[0];
        const double Dx = double{PB.X} - PA.X, Dy = double{PB.Y} - PA.Y;
        if (Dx * Dx + Dy * Dy <= kWalkingDistance * kWalkingDistance ||
            !Walked.insert(Ordered(JA, JB)).second)
            return; // the builder joined them already
        auto S = std::make_unique<TZemObject>();
        S->Kind = otRoadCrossLine;
        S->StartCrossID = JA;
        S->EndCrossID = JB;
        S->SetDirection(2);
        S->SetTransportType(0);
        S->SetPlane(kSegmentPlane);
        S->Pen = Builder.WalkingPen;
        S->AddPoint(PA);
        S->AddPoint(PB);
        Target.Store(std::move(S));
        ++Out.WalkingSegments;
    };
    std::unordered_map<std::int32_t, std::vector<std::uint32_t>> Stations;
    for (std::size_t I = 0; I < Feed.Stops.size(); ++I)
        if (Feed.Stops[I].Used && Feed.Stops[I].Parent >= 0)
            Stations[Feed.Stops[I].Parent].push_back(static_cast<std::uint32_t>(I));
    for (const auto& [Station, Platforms] : Stations)
        for (std::size_t A = 0; A < Platforms.size(); ++A)
            for (std::size_t B = A + 1; B < Platforms.size(); ++B)
                Link(Platforms[A], Platforms[B]);
    // Transfers between stations join their platforms (a few dozen pairs at most per transfer).
    auto Platforms = [&](std::uint32_t S) {
        std::vector<std::uint32_t> Out;
        if (Junction[S] >= 0)
            Out.push_back(S);
        else if (const auto It = Stations.find(static_cast<std::int32_t>(S)); It != Stations.end())
            Out.assign(It->second.begin(), It->second.begin() + std::min<std::size_t>(It->second.size(), 8));
        return Out;
    };
    for (const TGtfsTransfer& T : Feed.Transfers)
        for (std::uint32_t A : Platforms(T.From))
            for (std::uint32_t B : Platforms(T.To))
                Link(A, B);

    Out.Junctions = Builder.Counts().Junctions;
    Out.Routes = static_cast<std::int32_t>(RoutesMade.size());
    return Out;
}

} // namespace zem
