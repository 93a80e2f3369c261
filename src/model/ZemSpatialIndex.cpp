#include "model/ZemSpatialIndex.h"

#include "model/ZemObject.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace zem {

namespace {

// A box over more cells than this goes to the wide list: a few long streets are cheaper to test one by
// one than to list in hundreds of cells.
constexpr std::int64_t kMaxCellsPerBox = 64;
// Objects per cell the grid is laid out for.
constexpr double kObjectsPerCell = 2.0;
constexpr std::int32_t kMaxCellsPerSide = 4096;
// The icon square reaches 32 units right and down of its point, and hit testing takes 16 either way.
constexpr double kIconReach = 34.0;

void Join(TZemIndexBox& B, double X, double Y) {
    B.Left = std::min(B.Left, X);
    B.Right = std::max(B.Right, X);
    B.Top = std::min(B.Top, Y);
    B.Bottom = std::max(B.Bottom, Y);
}

bool Usable(double V) {
    return std::isfinite(V) && std::fabs(V) <= TZemSpatialIndex::kMaxCoordinate;
}

// The box an object may be listed or hit within; false when it has none the grid can hold.
bool ReachOf(const TZemObject& O, TZemIndexBox& B) {
    const double Corners[4] = {O.LeftTop.X, O.LeftTop.Y, O.RightBottom.X, O.RightBottom.Y};
    for (double V : Corners)
        if (!Usable(V))
            return false;
    B = TZemIndexBox{Corners[0], Corners[1], Corners[0], Corners[1]};
    Join(B, Corners[2], Corners[3]);
    const TZemXYArray& P = O.Points();
    for (std::int32_t i = 0; i < P.Count(); ++i) {
        const double X = P[i].X, Y = P[i].Y;
        if (!Usable(X) || !Usable(Y))
            return false;
        Join(B, X, Y);
    }
    double Reach = static_cast<double>(std::llabs(static_cast<long long>(O.Pen.Width))) / 2 + 1;
    if (O.Kind == otIco)
        Reach = std::max(Reach, kIconReach);
    B.Left -= Reach;
    B.Top -= Reach;
    B.Right += Reach;
    B.Bottom += Reach;
    return Usable(B.Left) && Usable(B.Top) && Usable(B.Right) && Usable(B.Bottom);
}

bool Overlap(const TZemIndexBox& A, const TZemIndexBox& B) {
    return A.Left <= B.Right && B.Left <= A.Right && A.Top <= B.Bottom && B.Top <= A.Bottom;
}

void Erase(std::vector<std::int32_t>& List, std::int32_t Slot) {
    auto It = std::find(List.begin(), List.end(), Slot);
    if (It != List.end()) {
        *It = List.back();
        List.pop_back();
    }
}

} // namespace

TZemSpatialIndex::~TZemSpatialIndex() {
    Reset();
}

void TZemSpatialIndex::Insert(TZemObject& Object) {
    if (Object.FIndex == this) {
        Touch(Object.FIndexSlot);
        return;
    }
    if (Object.FIndex)
        Object.FIndex->Remove(Object);
    std::int32_t Slot;
    if (!FFree.empty()) {
        Slot = FFree.back();
        FFree.pop_back();
    } else {
        Slot = static_cast<std::int32_t>(FEntries.size());
        FEntries.emplace_back();
        FFilterFields.emplace_back();
    }
    FEntries[static_cast<size_t>(Slot)] = TEntry{};
    FFilterFields[static_cast<size_t>(Slot)] = TFilterFields{};
    FFilterFields[static_cast<size_t>(Slot)].Live = true;
    FEntries[static_cast<size_t>(Slot)].Object = &Object;
    FEntries[static_cast<size_t>(Slot)].ID = Object.ID;
    Object.FIndex = this;
    Object.FIndexSlot = Slot;
    ++FLive;
    Touch(Slot);
}

void TZemSpatialIndex::InsertMeasured(TZemObject& Object) {
    Insert(Object);
    TEntry& E = FEntries[static_cast<size_t>(Object.FIndexSlot)];
    Remember(Object.FIndexSlot);
    E.Measured = ReachOf(Object, E.Box) ? kHasBox : kHasNoBox;
}

void TZemSpatialIndex::Remove(TZemObject& Object) {
    if (Object.FIndex != this)
        return;
    const std::int32_t Slot = Object.FIndexSlot;
    Unbin(Slot);
    FEntries[static_cast<size_t>(Slot)] = TEntry{};
    FFilterFields[static_cast<size_t>(Slot)] = TFilterFields{};
    FFree.push_back(Slot);
    Object.FIndex = nullptr;
    Object.FIndexSlot = -1;
    --FLive;
}

void TZemSpatialIndex::Touch(std::int32_t Slot) {
    TEntry& E = FEntries[static_cast<size_t>(Slot)];
    E.Measured = kUnmeasured;
    if (!E.Dirty) {
        E.Dirty = true;
        FDirty.push_back(Slot);
    }
}

void TZemSpatialIndex::Reserve(std::int32_t More) {
    if (More > 0) {
        FEntries.reserve(FEntries.size() + static_cast<size_t>(More));
        FFilterFields.reserve(FFilterFields.size() + static_cast<size_t>(More));
        FDirty.reserve(FDirty.size() + static_cast<size_t>(More));
    }
}

void TZemSpatialIndex::Reset() {
    for (TEntry& E : FEntries)
        if (E.Object) {
            E.Object->FIndex = nullptr;
            E.Object->FIndexSlot = -1;
        }
    FEntries.clear();
    FEntries.shrink_to_fit();
    FFilterFields.clear();
    FFilterFields.shrink_to_fit();
    FFree.clear();
    FDirty.clear();
    FCells.clear();
    FCells.shrink_to_fit();
    FWide.clear();
    FAlways.clear();
    FLive = 0;
    FBuiltFor = -1;
    FOutside = 0;
    FGX = FGY = 0;
    FMagnitude = 0;
    RankedStamp = ~std::uint64_t{0};
    RanksValid = false;
}

std::int32_t TZemSpatialIndex::CellX(double X) const {
    const double C = std::floor((X - FX0) * FInvX);
    return C <= 0 ? 0 : C >= FGX - 1 ? FGX - 1 : static_cast<std::int32_t>(C);
}

std::int32_t TZemSpatialIndex::CellY(double Y) const {
    const double C = std::floor((Y - FY0) * FInvY);
    return C <= 0 ? 0 : C >= FGY - 1 ? FGY - 1 : static_cast<std::int32_t>(C);
}

void TZemSpatialIndex::Bin(std::int32_t Slot, bool BoxKnown) {
    TEntry& E = FEntries[static_cast<size_t>(Slot)];
    if (!BoxKnown && !ReachOf(*E.Object, E.Box)) {
        E.Where = kInAlways;
        FAlways.push_back(Slot);
        return;
    }
    FMagnitude = std::max({FMagnitude, std::fabs(E.Box.Left), std::fabs(E.Box.Right), std::fabs(E.Box.Top),
                           std::fabs(E.Box.Bottom)});
    if (FBuiltFor < 0) {
        E.Where = kInWide; // no grid yet: the next query lays it out and bins everything
        FWide.push_back(Slot);
        return;
    }
    E.X0 = CellX(E.Box.Left);
    E.X1 = CellX(E.Box.Right);
    E.Y0 = CellY(E.Box.Top);
    E.Y1 = CellY(E.Box.Bottom);
    if (static_cast<std::int64_t>(E.X1 - E.X0 + 1) * (E.Y1 - E.Y0 + 1) > kMaxCellsPerBox) {
        E.Where = kInWide;
        FWide.push_back(Slot);
        return;
    }
    E.Where = kInCells;
    for (std::int32_t Y = E.Y0; Y <= E.Y1; ++Y)
        for (std::int32_t X = E.X0; X <= E.X1; ++X)
            Cell(X, Y).push_back(Slot);
    const double Right = FX0 + FGX / FInvX, Bottom = FY0 + FGY / FInvY;
    if (E.Box.Left < FX0 || E.Box.Top < FY0 || E.Box.Right > Right || E.Box.Bottom > Bottom)
        ++FOutside;
}

void TZemSpatialIndex::Unbin(std::int32_t Slot) {
    TEntry& E = FEntries[static_cast<size_t>(Slot)];
    switch (E.Where) {
    case kInCells: {
        for (std::int32_t Y = E.Y0; Y <= E.Y1; ++Y)
            for (std::int32_t X = E.X0; X <= E.X1; ++X)
                Erase(Cell(X, Y), Slot);
        const double Right = FX0 + FGX / FInvX, Bottom = FY0 + FGY / FInvY;
        if (E.Box.Left < FX0 || E.Box.Top < FY0 || E.Box.Right > Right || E.Box.Bottom > Bottom)
            --FOutside;
        break;
    }
    case kInWide:
        Erase(FWide, Slot);
        break;
    case kInAlways:
        Erase(FAlways, Slot);
        break;
    default:
        break;
    }
    E.Where = kNowhere;
}

void TZemSpatialIndex::Remember(std::int32_t Slot) {
    const TZemObject& O = *FEntries[static_cast<size_t>(Slot)].Object;
    TFilterFields& F = FFilterFields[static_cast<size_t>(Slot)];
    F.Kind = O.Kind;
    F.LeftTop = O.LeftTop;
    F.RightBottom = O.RightBottom;
}

void TZemSpatialIndex::Flush() {
    for (std::int32_t Slot : FDirty) {
        TEntry& E = FEntries[static_cast<size_t>(Slot)];
        if (!E.Object || !E.Dirty)
            continue; // removed, or a slot reused and already done
        E.Dirty = false;
        Remember(Slot);
        TZemIndexBox Box;
        const bool HasBox = ReachOf(*E.Object, Box);
        if (E.Where == kInCells && HasBox && Box.Left == E.Box.Left && Box.Top == E.Box.Top &&
            Box.Right == E.Box.Right && Box.Bottom == E.Box.Bottom)
            continue;
        Unbin(Slot);
        Bin(Slot, false);
    }
    FDirty.clear();
}

void TZemSpatialIndex::EnsureGrid() {
    // Laid out again when the store has grown or shrunk a lot, or too many boxes spill over its edges.
    const bool Grown = FLive > 2 * FBuiltFor + 1024;
    const bool Shrunk = FBuiltFor > 4 * FLive + 1024;
    const bool Spilled = FOutside > FLive / 4 + 1024;
    if (FBuiltFor < 0 || Grown || Shrunk || Spilled)
        Build();
}

void TZemSpatialIndex::Build() {
    FWide.clear();
    FAlways.clear();
    FCells.clear();
    FOutside = 0;
    FMagnitude = 0;

    TZemIndexBox Extent{0, 0, 0, 0};
    bool Any = false;
    // Each box is taken once here and binned below; kInAlways marks those without one meanwhile.
    for (std::int32_t Slot = 0; Slot < static_cast<std::int32_t>(FEntries.size()); ++Slot) {
        TEntry& E = FEntries[static_cast<size_t>(Slot)];
        E.Where = kNowhere; // every list was emptied above
        if (E.Object && E.Measured == kUnmeasured) {
            Remember(Slot);
            E.Measured = ReachOf(*E.Object, E.Box) ? kHasBox : kHasNoBox;
        }
        const bool NoBox = E.Measured == kHasNoBox;
        E.Measured = kUnmeasured; // used once: a later layout measures every object again
        if (E.Object && NoBox)
            E.Where = kInAlways;
        else if (E.Object) {
            if (!Any)
                Extent = E.Box;
            Join(Extent, E.Box.Left, E.Box.Top);
            Join(Extent, E.Box.Right, E.Box.Bottom);
            Any = true;
        }
    }
    const double W = std::max(Extent.Right - Extent.Left, 1.0), H = std::max(Extent.Bottom - Extent.Top, 1.0);
    const double Cells = std::max(1.0, FLive / kObjectsPerCell);
    const double Side = std::sqrt(W * H / Cells);
    FGX = static_cast<std::int32_t>(std::clamp(std::ceil(W / Side), 1.0, double{kMaxCellsPerSide}));
    FGY = static_cast<std::int32_t>(std::clamp(std::ceil(H / Side), 1.0, double{kMaxCellsPerSide}));
    FX0 = Extent.Left;
    FY0 = Extent.Top;
    FInvX = FGX / W;
    FInvY = FGY / H;
    FCells.assign(static_cast<size_t>(FGX) * static_cast<size_t>(FGY), {});
    FBuiltFor = FLive;
    // Each cell's list is sized once from a count of what lands in it, rather than grown box by box.
    {
        std::vector<std::int32_t> Counts(FCells.size(), 0);
        for (const TEntry& E : FEntries) {
            if (!E.Object || E.Where == kInAlways)
                continue;
            const std::int32_t X0 = CellX(E.Box.Left), X1 = CellX(E.Box.Right);
            const std::int32_t Y0 = CellY(E.Box.Top), Y1 = CellY(E.Box.Bottom);
            if (static_cast<std::int64_t>(X1 - X0 + 1) * (Y1 - Y0 + 1) > kMaxCellsPerBox)
                continue;
            for (std::int32_t Y = Y0; Y <= Y1; ++Y)
                for (std::int32_t X = X0; X <= X1; ++X)
                    ++Counts[static_cast<size_t>(Y) * static_cast<size_t>(FGX) + static_cast<size_t>(X)];
        }
        for (size_t i = 0; i < FCells.size(); ++i)
            FCells[i].reserve(static_cast<size_t>(Counts[i]));
    }
    for (std::int32_t Slot = 0; Slot < static_cast<std::int32_t>(FEntries.size()); ++Slot) {
        TEntry& E = FEntries[static_cast<size_t>(Slot)];
        if (E.Object) {
            E.Dirty = false;
            const bool Always = E.Where == kInAlways;
            E.Where = kNowhere;
            if (Always) {
                E.Where = kInAlways;
                FAlways.push_back(Slot);
            } else {
                Bin(Slot, true);
            }
        }
    }
    FDirty.clear();
}

void TZemSpatialIndex::Query(const TZemIndexBox& R, std::vector<TZemIndexHit>& Out,
                             const TZemIndexFilter* Filter) {
    EnsureGrid(); // a new layout bins everything, marked or not
    Flush();
    if (++FMark == 0) { // the marks wrapped: none may look current
        for (TEntry& E : FEntries)
            E.Mark = 0;
        FMark = 1;
    }
    const bool Whole =
        !(std::isfinite(R.Left) && std::isfinite(R.Top) && std::isfinite(R.Right) && std::isfinite(R.Bottom));
    auto Take = [&](std::int32_t Slot, bool Test) {
        TEntry& E = FEntries[static_cast<size_t>(Slot)];
        if (E.Mark == FMark)
            return;
        E.Mark = FMark;
        const TFilterFields& F = FFilterFields[static_cast<size_t>(Slot)];
        if (Filter && Filter->Rejects(F.Kind, F.LeftTop, F.RightBottom))
            return;
        if (!Test || Whole || Overlap(E.Box, R))
            Out.push_back(TZemIndexHit{E.Object, E.ID, E.Rank});
    };
    const std::int32_t X0 = Whole ? 0 : CellX(R.Left), X1 = Whole ? FGX - 1 : CellX(R.Right);
    const std::int32_t Y0 = Whole ? 0 : CellY(R.Top), Y1 = Whole ? FGY - 1 : CellY(R.Bottom);
    // Over most of the grid one pass over the entries beats visiting each object in each of its cells.
    // Each slot is visited once there, so no marks are needed, and only the filter's fields are read
    // of the objects it rejects.
    if (static_cast<std::int64_t>(X1 - X0 + 1) * (Y1 - Y0 + 1) * 2 >=
        static_cast<std::int64_t>(FCells.size())) {
        const std::size_t N = FEntries.size();
        for (std::size_t Slot = 0; Slot < N; ++Slot) {
            const TFilterFields& F = FFilterFields[Slot];
            if (!F.Live || (Filter && Filter->Rejects(F.Kind, F.LeftTop, F.RightBottom)))
                continue;
            const TEntry& E = FEntries[Slot];
            if (E.Where == kInAlways || Whole || Overlap(E.Box, R))
                Out.push_back(TZemIndexHit{E.Object, E.ID, E.Rank});
        }
        return;
    }
    for (std::int32_t Slot : FAlways)
        Take(Slot, false);
    for (std::int32_t Slot : FWide)
        Take(Slot, true);
    for (std::int32_t Y = Y0; Y <= Y1; ++Y)
        for (std::int32_t X = X0; X <= X1; ++X)
            for (std::int32_t Slot : Cell(X, Y))
                Take(Slot, true);
}

void TZemSpatialIndex::ClearRanks() {
    for (TEntry& E : FEntries)
        E.Rank = -1;
}

bool TZemSpatialIndex::SetRank(const TZemObject& Object, std::int32_t Rank) {
    if (Object.FIndex != this)
        return false;
    TEntry& E = FEntries[static_cast<size_t>(Object.FIndexSlot)];
    if (E.Rank >= 0)
        return false;
    E.Rank = Rank;
    return true;
}

std::int32_t TZemSpatialIndex::Rank(const TZemObject& Object) const {
    return Object.FIndex == this ? FEntries[static_cast<size_t>(Object.FIndexSlot)].Rank : -1;
}

} // namespace zem
