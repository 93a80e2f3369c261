#include "import/ZemTransitBuilder.h"

#include <bit>
#include <cmath>

namespace zem {

namespace {

std::uint64_t PositionKey(const TXYPoint& P) {
    // +0.0 for -0.0, so that the two zeros are one position.
    return (std::uint64_t{std::bit_cast<std::uint32_t>(P.X + 0.0f)} << 32) |
           std::bit_cast<std::uint32_t>(P.Y + 0.0f);
}

std::pair<std::int32_t, std::int32_t> Ordered(std::int32_t A, std::int32_t B) {
    return A < B ? std::pair{A, B} : std::pair{B, A};
}

} // namespace

TZemTransitBuilder::TZemTransitBuilder(TZemImportTarget& Target)
    : FTarget(Target), FTypes(Target.Map().Doc.TransportTypes) {
    TZemMap& Map = FTarget.Map();
    if (Map.Doc.TransportTypes.empty())
        for (const char* Name : kConventionalTransportTypes)
            FTypes.Intern(FromUtf8(Name));
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const std::int32_t ID = Map.Doc.Order[i];
        const TZemObject& O = Map.ObjectByID(ID);
        if (O.Kind == otRoadCross && O.PointCount() > 0) {
            const TXYPoint P = O.Points()[0];
            if (FJunctionAt.emplace(PositionKey(P), static_cast<std::int32_t>(FJunctions.size())).second)
                FJunctions.push_back({ID, P, false});
        } else if (O.Kind == otRoadCrossLine && O.TransportType() == 0) {
            FWalked.insert(Ordered(O.StartCrossID, O.EndCrossID));
        }
    }
}

std::int32_t TZemTransitBuilder::AddStop(const TXYPoint& P) {
    const auto [It, Added] =
        FJunctionAt.emplace(PositionKey(P), static_cast<std::int32_t>(FJunctions.size()));
    if (!Added)
        return FJunctions[It->second].ID;
    auto J = std::make_unique<TZemObject>();
    J->Kind = otRoadCross;
    J->AddPoint(P);
    J->SetPlane(kJunctionPlane);
    const std::int32_t ID = FTarget.Store(std::move(J));
    FJunctions.push_back({ID, P, true});
    ++FCounts.Junctions;
    return ID;
}

std::int32_t TZemTransitBuilder::TransportType(const std::string& NameUtf8) {
    return FTypes.Intern(FromUtf8(NameUtf8));
}

std::int32_t TZemTransitBuilder::AddLeg(std::int32_t From, std::int32_t To, std::int32_t Type,
                                        const ZemString& RouteName, TColor Color,
                                        std::span<const TXYPoint> Bends) {
    if (From == To)
        return -1;
    const auto [It, Added] = FLegs.emplace(TLegKey{From, To, Type, RouteName}, -1);
    if (!Added) {
        ++FCounts.RepeatedLegs;
        return -1;
    }
    TZemMap& Map = FTarget.Map();
    auto S = std::make_unique<TZemObject>();
    S->Kind = otRoadCrossLine;
    S->StartCrossID = From;
    S->EndCrossID = To;
    S->SetDirection(0);
    S->SetTransportType(Type);
    S->SetText(RouteName);
    S->SetPlane(kSegmentPlane);
    S->Pen.Color = Color;
    S->Pen.Width = SegmentPenWidth;
    // The ends lie on the junctions exactly, whatever the bends say.
    std::vector<TXYPoint> Points;
    Points.reserve(Bends.size() + 2);
    Points.push_back(Map.ObjectByID(From).Points()[0]);
    Points.insert(Points.end(), Bends.begin(), Bends.end());
    Points.push_back(Map.ObjectByID(To).Points()[0]);
    S->AddPoints(Points);
    It->second = FTarget.Store(std::move(S));
    ++FCounts.Segments;
    if (FRoutes.emplace(Type, RouteName).second)
        ++FCounts.RoutesWithSegments;
    return It->second;
}

void TZemTransitBuilder::AddWalking(double Distance) {
    if (!(Distance > 0) || FJunctions.empty())
        return;
    // Cells of Distance: every pair closer than that lies in the same or in neighbouring cells.
    auto Cell = [Distance](float V) { return static_cast<std::int64_t>(std::floor(V / Distance)); };
    auto CellKey = [](std::int64_t CX, std::int64_t CY) {
        return (static_cast<std::uint64_t>(CX) << 32) ^ static_cast<std::uint64_t>(CY & 0xFFFFFFFF);
    };
    std::unordered_map<std::uint64_t, std::vector<std::int32_t>> Grid;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(FJunctions.size()); ++i)
        Grid[CellKey(Cell(FJunctions[i].P.X), Cell(FJunctions[i].P.Y))].push_back(i);
    const double D2 = Distance * Distance;
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(FJunctions.size()); ++i) {
        const TJunction& A = FJunctions[i];
        const std::int64_t CX = Cell(A.P.X), CY = Cell(A.P.Y);
        for (std::int64_t dx = -1; dx <= 1; ++dx)
            for (std::int64_t dy = -1; dy <= 1; ++dy) {
                const auto It = Grid.find(CellKey(CX + dx, CY + dy));
                if (It == Grid.end())
                    continue;
                for (const std::int32_t j : It->second) {
                    if (j <= i) // each pair once
                        continue;
                    const TJunction& B = FJunctions[j];
                    const double Dx = double{B.P.X} - A.P.X, Dy = double{B.P.Y} - A.P.Y;
                    if ((!A.Made && !B.Made) || Dx * Dx + Dy * Dy > D2)
                        continue;
                    if (!FWalked.insert(Ordered(A.ID, B.ID)).second)
                        continue;
                    auto S = std::make_unique<TZemObject>();
                    S->Kind = otRoadCrossLine;
                    S->StartCrossID = A.ID;
                    S->EndCrossID = B.ID;
                    S->SetDirection(2);
                    S->SetTransportType(0);
                    S->SetPlane(kSegmentPlane);
                    S->Pen = WalkingPen;
                    S->AddPoint(A.P);
                    S->AddPoint(B.P);
                    FTarget.Store(std::move(S));
                    ++FCounts.WalkingSegments;
                }
            }
    }
}

} // namespace zem
