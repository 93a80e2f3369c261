#pragma once
// The search graph derived from a map's transport network: junction IDs are the vertices, and for every
// vertex five parallel tables describe its outgoing edges (entry k of each table is the same edge).
// Parallel segments between two junctions are separate entries.
#include "base/ZemLists.h"
#include "base/ZemSingleArray.h"
#include "base/ZemText.h"

#include <cstdint>
#include <vector>

namespace zem {

class TZemObject;

struct TZemEdgeTables {
    TZemEdgeTables() = default;               // not an aggregate: the lists' constructors are explicit
    TIntegerList Neighbours;                  // junction reached by the edge
    TIntegerList Segments;                    // segment ID of the edge
    TIntegerList SegmentTypes;                // its TransportType
    std::vector<ZemString> SegmentNames;      // its Text
    TZemSingleArray SegmentLengths;           // its length as a single (only the dump reads these)
    std::vector<std::int32_t> NeighbourIndex; // dense index of each neighbour, for visited sets
};

class TZemNetworkGraph {
public:
    TIntegerList Vertices;                          // junction IDs in drawing order
    TIntegerAssociationList<TZemEdgeTables> Tables; // vertex ID -> its edge tables

    // The tables of a vertex, or null when the ID is not a vertex.
    const TZemEdgeTables* Edges(std::int32_t ID) const { return Tables.Find(ID); }
    // A dense index 0 ... VertexCount()-1 of a vertex, or -1.
    std::int32_t IndexOf(std::int32_t ID) const { return Tables.IndexOf(ID); }
    std::int32_t VertexCount() const { return Tables.Count(); }
    void Clear();
};

// Length of a segment's polyline in world units; 0 for fewer than two points.
long double SegmentLength(const TZemObject& Segment);

// A floating value in the general format with up to 15 significant digits and '.' as separator, the
// exponent written as "E20" / "E-7" (the form of the diagnostic files and of the route command).
std::string FormatFloat(long double Value);

} // namespace zem
