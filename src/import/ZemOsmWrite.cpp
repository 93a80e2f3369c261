#include "import/ZemOsmWrite.h"

#include "import/ZemOsmGeometry.h"
#include "import/ZemTransitBuilder.h"
#include "model/ZemFontStyle.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <unordered_map>

namespace zem {

namespace {

const char* const kPhaseMap = "Перенос на карту";
const char* const kPhaseNetwork = "Транспортная сеть";

// A route with more members than this is not a route anybody rides; it is skipped whole.
constexpr std::size_t kMaxRouteMembers = 20000;
// Label text: points at 100 % and the room a character takes (world units per point of size).
constexpr std::int32_t kLabelSize = 9;
constexpr double kLabelCharWidth = 0.55 * 96.0 / 72.0;
// The same street gets another label only this far (world metres) from its others.
constexpr double kLabelSpacing = 400.0;
// A building's storey, for its pseudo-3D height.
constexpr float kStoreyHeight = 3.0f;

class TOsmWriter {
public:
    TOsmWriter(TOsmData& D, TZemImportTarget& T, const TZemGeoref& G, TZemImportProgress& P,
               TZemImportSummary& S)
        : FData(D), FTarget(T), FGeo(G), FProgress(P), FSummary(S), FMap(T.Map()), FStreets(FMap.Doc.Streets),
          FIndexes(FMap.Doc.Indexes), FCities(FMap.Doc.Cities), FAreas(FMap.Doc.Areas),
          FTypes(FMap.Doc.ObjectTypes) {}

    void Run() {
        ProjectBuildings();
        GiveNodeAddresses();
        WriteFeatures();
        WriteLabels();
        WriteRoutes();
        Report();
        FTarget.Attribute(kOsmAttribution);
    }

private:
    TZemPath Project(const TOsmPoints& P, bool Ring) const {
        TZemPath Out;
        Out.reserve(P.size());
        for (const auto& L : P)
            Out.push_back(FGeo.Project(GeoOf(L)));
        DropRepeats(Out, Ring);
        return Out;
    }

    TZemAddress AddressFor(const TOsmAddress& A) {
        TZemAddress Z;
        Z.Street = FStreets.Intern(ImportedText(A.Street));
        Z.Number = ImportedText(A.Number);
        Z.Corpus = ImportedText(A.Corpus);
        Z.Index = FIndexes.Intern(ImportedText(A.Postcode));
        Z.City = FCities.Intern(ImportedText(A.City));
        Z.Area = FAreas.Intern(ImportedText(A.Area));
        Z.Empty = Z.NoParts() && Z.Number.empty();
        return Z;
    }

    std::unique_ptr<TZemObject> Styled(TOsmClass C, std::span<const TXYPoint> Points) {
        const TOsmStyle& S = StyleOf(C);
        auto O = std::make_unique<TZemObject>();
        O->Kind = S.Kind;
        O->Pen = S.Pen;
        O->Brush = S.Brush;
        O->SetPlane(S.Plane);
        O->SetCategory(FTypes.Intern(FromUtf8(S.Category)));
        O->AddPoints(Points);
        return O;
    }

    // The outer rings of the buildings, projected once: the address nodes look for their building in
    // them before anything is stored.
    void ProjectBuildings() {
        for (std::size_t i = 0; i < FData.Areas.size(); ++i) {
            const TOsmArea& A = FData.Areas[i];
            if (A.Class != TOsmClass::Building || !A.Address.Empty())
                continue;
            for (std::size_t r = 0; r < A.Rings.size(); ++r)
                if (!A.Inner[r]) {
                    FRings.push_back({i, Project(A.Rings[r], true)});
                }
        }
    }

    void GiveNodeAddresses() {
        if (FData.AddressNodes.empty())
            return;
        // A grid of 100 m cells over the boxes of the buildings without an address.
        constexpr float kCell = 100.0f;
        auto Key = [](std::int64_t X, std::int64_t Y) {
            return (static_cast<std::uint64_t>(X) << 32) ^ (Y & 0xFFFFFFFF);
        };
        std::unordered_map<std::uint64_t, std::vector<std::size_t>> Grid;
        for (std::size_t k = 0; k < FRings.size(); ++k) {
            const TZemPath& R = FRings[k].second;
            if (R.size() < 3)
                continue;
            float L = R[0].X, T = R[0].Y, Rt = L, B = T;
            for (const auto& P : R) {
                L = std::min(L, P.X);
                Rt = std::max(Rt, P.X);
                T = std::min(T, P.Y);
                B = std::max(B, P.Y);
            }
            // A building spanning more cells than this is left to its own tags.
            if ((Rt - L) / kCell > 50 || (B - T) / kCell > 50)
                continue;
            for (auto X = static_cast<std::int64_t>(std::floor(L / kCell)); X <= std::floor(Rt / kCell); ++X)
                for (auto Y = static_cast<std::int64_t>(std::floor(T / kCell)); Y <= std::floor(B / kCell);
                     ++Y)
                    Grid[Key(X, Y)].push_back(k);
        }
        for (const TOsmAddressNode& N : FData.AddressNodes) {
            const TXYPoint P = FGeo.Project(GeoOf(N.Where));
            const auto It = Grid.find(Key(static_cast<std::int64_t>(std::floor(P.X / kCell)),
                                          static_cast<std::int64_t>(std::floor(P.Y / kCell))));
            bool Given = false, Inside = false;
            if (It != Grid.end())
                for (const std::size_t k : It->second) {
                    if (!PointInRing(P, FRings[k].second))
                        continue;
                    Inside = true;
                    TOsmArea& A = FData.Areas[FRings[k].first];
                    if (A.Address.Empty()) {
                        A.Address = N.Address;
                        Given = true;
                        FSummary.Made("адреса из адресных точек");
                    }
                    break;
                }
            if (!Given)
                FSummary.Skipped(Inside ? "адресные точки в зданиях, уже имеющих адрес"
                                        : "адресные точки вне зданий");
        }
    }

    void WriteArea(const TOsmArea& A) {
        for (std::size_t r = 0; r < A.Rings.size(); ++r) {
            if (A.Inner[r])
                continue;
            std::vector<TZemPath> Holes;
            for (std::size_t h = r + 1; h < A.Rings.size() && A.Inner[h]; ++h)
                Holes.push_back(Project(A.Rings[h], true));
            TZemPath Ring = KeyholeRing(Project(A.Rings[r], true), Holes);
            if (Ring.size() < 3) {
                FSummary.Skipped("контуры меньше трёх точек");
                continue;
            }
            auto O = Styled(A.Class, Ring);
            if (A.Class == TOsmClass::Building) {
                if (!A.Address.Empty()) {
                    O->SetAddress(AddressFor(A.Address));
                    if (!A.Address.Number.empty())
                        FSummary.Made("адреса");
                }
                if (!A.Name.empty())
                    O->SetText(ImportedText(A.Name));
                if (A.Levels > 0) {
                    O->SetCtl3D(true);
                    O->SetHeight3D(A.Levels * kStoreyHeight);
                }
            }
            FTarget.Store(std::move(O));
            FSummary.Made(StyleOf(A.Class).Label);
        }
    }

    void WriteLine(const TOsmLine& L) {
        const TZemPath P = Project(L.Points, false);
        if (P.size() < 2) {
            FSummary.Skipped("линии из одной точки");
            return;
        }
        auto O = Styled(L.Class, P);
        if (!L.Name.empty()) {
            const ZemString Name = ImportedText(L.Name);
            O->SetText(Name);
            if (IsRoad(L.Class) || L.Class == TOsmClass::Path) {
                TZemAddress A;
                A.Street = FStreets.Intern(Name);
                A.Empty = false;
                O->SetAddress(A);
                if (IsRoad(L.Class))
                    FNamedStreets[Name].push_back(P);
            }
        }
        FTarget.Store(std::move(O));
        FSummary.Made(StyleOf(L.Class).Label);
    }

    // Everything in drawing order: by plane, then minor classes under major ones.
    void WriteFeatures() {
        struct TItem {
            std::int8_t Plane;
            TOsmClass Class;
            bool Area;
            std::size_t Index;
        };
        std::vector<TItem> Items;
        Items.reserve(FData.Areas.size() + FData.Lines.size());
        for (std::size_t i = 0; i < FData.Areas.size(); ++i)
            Items.push_back({StyleOf(FData.Areas[i].Class).Plane, FData.Areas[i].Class, true, i});
        for (std::size_t i = 0; i < FData.Lines.size(); ++i)
            Items.push_back({StyleOf(FData.Lines[i].Class).Plane, FData.Lines[i].Class, false, i});
        std::stable_sort(Items.begin(), Items.end(), [](const TItem& A, const TItem& B) {
            return A.Plane != B.Plane ? A.Plane < B.Plane : A.Class < B.Class;
        });
        for (std::size_t k = 0; k < Items.size(); ++k) {
            if (k % 4096 == 0)
                FProgress.Report(kPhaseMap, static_cast<std::int32_t>(k * 100 / Items.size()));
            if (Items[k].Area)
                WriteArea(FData.Areas[Items[k].Index]);
            else
                WriteLine(FData.Lines[Items[k].Index]);
        }
        FData.Areas.clear();
        FData.Areas.shrink_to_fit();
        FData.Lines.clear();
        FData.Lines.shrink_to_fit();
    }

    void WriteLabels() {
        const double H = kLabelSize * 96.0 / 72.0;
        for (auto& [Name, Pieces] : FNamedStreets) {
            const double W = kLabelCharWidth * kLabelSize * static_cast<double>(Name.size());
            std::vector<TXYPoint> Placed;
            for (const TZemPath& P : Pieces) {
                const auto L = PlaceLabel(P, W, H);
                if (!L)
                    continue;
                const bool Near = std::any_of(Placed.begin(), Placed.end(), [&](const TXYPoint& Q) {
                    return std::hypot(double{Q.X} - L->Middle.X, double{Q.Y} - L->Middle.Y) < kLabelSpacing;
                });
                if (Near)
                    continue;
                Placed.push_back(L->Middle);
                auto T = std::make_unique<TZemObject>();
                T->Kind = otText;
                T->AddPoints(L->Corners);
                T->SetText(Name);
                T->SetAngle(L->Angle);
                T->Pen.Color = RGBColor(60, 60, 80); // a text takes its pen's colour
                T->Font.Name = "Arial";
                T->Font.Size = kLabelSize;
                T->Font.Style = fsItalic;
                T->Font.Charset = 204;
                T->SetPlane(opLabels);
                T->SetCategory(FTypes.Intern(FromUtf8("Надпись")));
                FTarget.Store(std::move(T));
                FSummary.Made("подписи улиц");
            }
        }
    }

    std::optional<TXYPoint> MemberPoint(const TOsmRouteMember& M) const {
        if (!M.IsWay) {
            const auto It = FData.StopNodes.find(M.Ref);
            if (It == FData.StopNodes.end() || !It->second.valid())
                return std::nullopt;
            return FGeo.Project(GeoOf(It->second));
        }
        const auto It = FData.RouteWays.find(M.Ref);
        if (It == FData.RouteWays.end() || It->second.empty())
            return std::nullopt;
        double X = 0, Y = 0; // a platform drawn as a way stands at its middle
        for (const auto& L : It->second) {
            const TXYPoint P = FGeo.Project(GeoOf(L));
            X += P.X;
            Y += P.Y;
        }
        const double N = static_cast<double>(It->second.size());
        return TXYPoint{static_cast<float>(X / N), static_cast<float>(Y / N)};
    }

    void WriteRoutes() {
        if (FData.Routes.empty())
            return;
        TZemTransitBuilder Net(FTarget);
        for (std::size_t r = 0; r < FData.Routes.size(); ++r) {
            FProgress.Report(kPhaseNetwork, static_cast<std::int32_t>(r * 100 / FData.Routes.size()));
            WriteRoute(Net, FData.Routes[r]);
        }
        Net.AddWalking();
        const TZemTransitCounts& C = Net.Counts();
        FSummary.Made("остановки", C.Junctions);
        FSummary.Made("маршруты", C.RoutesWithSegments);
        FSummary.Made("сегменты маршрутов", C.Segments);
        FSummary.Made("пешие переходы", C.WalkingSegments);
        if (C.Segments > 0)
            FMap.Net.ShowTransportNet = true;
    }

    void WriteRoute(TZemTransitBuilder& Net, const TOsmRoute& R) {
        if (R.Members.size() > kMaxRouteMembers) {
            FSummary.Skipped("маршруты с чрезмерным числом членов");
            return;
        }
        const bool HasStops = std::any_of(R.Members.begin(), R.Members.end(), [](const TOsmRouteMember& M) {
            return M.Role == TOsmRouteMember::Stop;
        });
        const auto StopRole = HasStops ? TOsmRouteMember::Stop : TOsmRouteMember::Platform;
        std::vector<TXYPoint> Stops;
        std::vector<TZemPath> Ways;
        std::int32_t Missing = 0;
        for (const TOsmRouteMember& M : R.Members) {
            if (M.Role == StopRole) {
                const auto P = MemberPoint(M);
                if (!P) {
                    ++Missing;
                    continue;
                }
                if (Stops.empty() || !(Stops.back() == *P))
                    Stops.push_back(*P);
            } else if (M.Role == TOsmRouteMember::Path) {
                const auto It = FData.RouteWays.find(M.Ref);
                if (It != FData.RouteWays.end() && !It->second.empty())
                    Ways.push_back(Project(It->second, false));
            }
        }
        if (Missing > 0)
            FSummary.Skipped("остановки маршрутов вне выгрузки", Missing);
        if (Stops.size() < 2) {
            FSummary.Skipped("маршруты без двух остановок в выгрузке");
            return;
        }
        TZemPath Path = ChainWays(Ways);
        // A route of both directions may list its ways against the order of its stops.
        if (!R.OneWay && Path.size() >= 2) {
            auto D = [](const TXYPoint& A, const TXYPoint& B) {
                return std::hypot(double{A.X} - B.X, double{A.Y} - B.Y);
            };
            if (D(Stops.front(), Path.back()) + D(Stops.back(), Path.front()) <
                D(Stops.front(), Path.front()) + D(Stops.back(), Path.back()))
                std::reverse(Path.begin(), Path.end());
        }
        const std::vector<std::int32_t> At = StopsAlongPath(Path, Stops);
        const std::int32_t Type = Net.TransportType(R.TransportName);
        const ZemString Text = ImportedText(!R.Ref.empty() ? R.Ref : R.Name);
        const TColor Colour = ParseColour(R.Colour.c_str()).value_or(RouteKindColour(R.TransportName));
        std::vector<std::int32_t> Junctions;
        for (const TXYPoint& P : Stops)
            Junctions.push_back(Net.AddStop(P));
        for (std::size_t k = 0; k + 1 < Stops.size(); ++k) {
            std::vector<TXYPoint> Bends;
            if (At[k] >= 0 && At[k + 1] >= At[k])
                Bends.assign(Path.begin() + At[k] + 1, Path.begin() + At[k + 1] + 1);
            Net.AddLeg(Junctions[k], Junctions[k + 1], Type, Text, Colour, Bends);
            if (!R.OneWay) {
                std::reverse(Bends.begin(), Bends.end());
                Net.AddLeg(Junctions[k + 1], Junctions[k], Type, Text, Colour, Bends);
            }
        }
    }

    void Report() {
        const TOsmCounts& C = FData.Counts;
        FSummary.Skipped("точки с недопустимыми координатами", C.BadLocations);
        FSummary.Skipped("линии из одной точки", C.ShortWays);
        FSummary.Skipped("мультиполигоны с недостающими членами или незамкнутыми контурами",
                         std::max<std::int64_t>(0, C.MultipolygonsTried - C.MultipolygonsMade));
        FSummary.Skipped("объекты вне заданной области", C.OutsideBox);
        FSummary.Skipped("маршруты другого транспорта (не автобус, троллейбус, трамвай, метро, маршрутка)",
                         C.OtherRoutes);
        FSummary.Skipped("прочие отношения", C.UnusedRelations);
    }

    TOsmData& FData;
    TZemImportTarget& FTarget;
    const TZemGeoref& FGeo;
    TZemImportProgress& FProgress;
    TZemImportSummary& FSummary;
    TZemMap& FMap;
    TZemDirectoryIndex FStreets, FIndexes, FCities, FAreas, FTypes;
    std::vector<std::pair<std::size_t, TZemPath>> FRings; // building index, outer ring
    std::map<ZemString, std::vector<TZemPath>> FNamedStreets;
};

} // namespace

void WriteOsm(TOsmData& Data, TZemImportTarget& Target, const TZemGeoref& G, TZemImportProgress& Progress,
              TZemImportSummary& Summary) {
    TOsmWriter W(Data, Target, G, Progress, Summary);
    W.Run();
}

} // namespace zem
