#pragma once
// A uniform grid over the boxes of the objects a map stores, so that the visible list and hit testing
// look only at the objects near a rectangle instead of walking the whole store.
//
// The index answers with a superset: every object whose box could reach the rectangle, and maybe a few
// more. Callers then apply their own exact test, so the answer is the same as a full scan's. Each box is
// the object's stored bounds joined with its points, widened by half its pen and by the icon square, so
// that it covers whatever the visible list and hit testing may accept.
//
// Objects tell the index when their points or bounds change (TZemObject::GeometryChanged); the index only
// marks them and rebins them at the next query, so a drag of many points costs one update. Objects with
// coordinates too large for the grid's arithmetic, or not finite, are kept apart and returned by every
// query. A uniform grid beat an R-tree on the bench city: boxes are small and evenly spread, queries are
// a few cells, and moving an object is a constant-time rebin instead of a tree update.
#include "base/ZemXYArray.h"

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zem {

class TZemObject;

// A first test a query may put to each object it finds, on what the index keeps of the object: its kind
// and stored bounds as of its last change. The objects it rejects are left out of the answer, so a
// caller whose own test would refuse them never has to read them.
class TZemIndexFilter {
public:
    virtual bool Rejects(std::uint8_t Kind, const TXYPoint& LeftTop, const TXYPoint& RightBottom) const = 0;

protected:
    ~TZemIndexFilter() = default;
};

struct TZemIndexBox {
    double Left = 0, Top = 0, Right = 0, Bottom = 0;
};

// An object a query found, with its place in the drawing order (see SetRank).
struct TZemIndexHit {
    TZemObject* Object;
    std::int32_t ID; // the object's ID when it was stored (IDs do not change in the store)
    std::int32_t Rank;
};

class TZemSpatialIndex {
public:
    TZemSpatialIndex() = default;
    ~TZemSpatialIndex(); // the objects still followed forget the index
    TZemSpatialIndex(const TZemSpatialIndex&) = delete;
    TZemSpatialIndex& operator=(const TZemSpatialIndex&) = delete;

    // Starts following an object (the store adopted it); an object already followed is only marked.
    void Insert(TZemObject& Object);
    // The same, taking the object's box now, while it is at hand (a loader storing a million records one
    // after another): laying out the grid then reads only the index, not every object again. The box
    // counts until the object is touched.
    void InsertMeasured(TZemObject& Object);
    // Stops following it (it leaves the store or is destroyed).
    void Remove(TZemObject& Object);
    // Its points or box may have changed.
    void Touch(std::int32_t Slot);
    // Room for this many more objects (a loader that knows how many follow).
    void Reserve(std::int32_t More);
    // Forgets every object at once (the store is being emptied).
    void Reset();
    std::int32_t Count() const { return FLive; }

    // Appends every followed object whose box may reach R (edges included), each once, less those the
    // filter rejects.
    void Query(const TZemIndexBox& R, std::vector<TZemIndexHit>& Out,
               const TZemIndexFilter* Filter = nullptr);
    // The largest coordinate magnitude of any box in the grid: callers widen their rectangles by the
    // rounding their float tests may make at that magnitude.
    double Magnitude() const { return FMagnitude; }

    // The position of each object in the drawing order, set by the map after the order changed; -1 for
    // an object the order does not name.
    void ClearRanks();
    // False when the object already had a rank since ClearRanks (the order names it twice).
    bool SetRank(const TZemObject& Object, std::int32_t Rank);
    std::int32_t Rank(const TZemObject& Object) const;

    // The drawing order these ranks were taken from (its change stamp), and whether it named each
    // object once.
    std::uint64_t RankedStamp = ~std::uint64_t{0};
    bool RanksValid = false;

    // Coordinates beyond this magnitude keep an object out of the grid.
    static constexpr double kMaxCoordinate = 16777216.0; // 2^24

private:
    struct TEntry {
        TZemObject* Object = nullptr;
        std::int32_t ID = 0;
        TZemIndexBox Box;
        std::int32_t X0 = 0, Y0 = 0, X1 = -1, Y1 = -1; // cells covered; see kWhere* below
        std::int32_t Where = 0;
        std::int32_t Rank = -1;
        std::uint32_t Mark = 0;
        bool Dirty = false;
        std::uint8_t Measured = kUnmeasured; // Box and the remembered values taken since the last touch
    };
    // What a filter looks at, kept apart from the entries: a whole-map query reads this for every object
    // and the rest only of those the filter lets through, a fifth of the bytes.
    struct TFilterFields {
        TXYPoint LeftTop, RightBottom; // the object's, when it was last binned
        std::uint8_t Kind = 0;         // likewise
        bool Live = false;             // the slot holds an object
    };
    static constexpr std::int32_t kNowhere = 0, kInCells = 1, kInWide = 2, kInAlways = 3;
    static constexpr std::uint8_t kUnmeasured = 0, kHasBox = 1, kHasNoBox = 2;

    void Flush();
    void Remember(std::int32_t Slot);
    void Bin(std::int32_t Slot, bool BoxKnown); // BoxKnown: Box and Where were just set by Build
    void Unbin(std::int32_t Slot);
    void EnsureGrid();
    void Build();
    std::int32_t CellX(double X) const;
    std::int32_t CellY(double Y) const;
    std::vector<std::int32_t>& Cell(std::int32_t X, std::int32_t Y) {
        return FCells[static_cast<size_t>(Y) * static_cast<size_t>(FGX) + static_cast<size_t>(X)];
    }

    std::vector<TEntry> FEntries;
    std::vector<TFilterFields> FFilterFields; // by slot, as FEntries
    std::vector<std::int32_t> FFree;          // unused slots
    std::vector<std::int32_t> FDirty;         // slots to rebin at the next query
    std::vector<std::vector<std::int32_t>> FCells;
    std::vector<std::int32_t> FWide;   // boxes over too many cells: tested one by one
    std::vector<std::int32_t> FAlways; // no usable box: returned by every query
    std::int32_t FLive = 0;
    std::int32_t FBuiltFor = -1; // live objects when the grid was laid out; -1 not laid out
    std::int32_t FOutside = 0;   // binned boxes reaching beyond the grid's extent
    std::int32_t FGX = 0, FGY = 0;
    double FX0 = 0, FY0 = 0, FInvX = 1, FInvY = 1;
    double FMagnitude = 0;
    std::uint32_t FMark = 0;
};

} // namespace zem
