#pragma once
// "Поиск объекта": finds the objects of a map by address (street and house number, through the streets
// directory), by text (labels, street names, route names), by object type (the object-types directory
// and the kinds of object) and by ID. Letter case is ignored and texts match anywhere inside.
//
// One pass over the store answers every kind of search: each object is tested against the parsed query
// with byte comparisons through a fold table, with no allocation, and only the best few hits are sorted
// and described. That keeps a query on a map of 100,000 objects within a few milliseconds, so the window
// can search on every key press without a cache to keep in step with the document.
#include "address/ZemSearchQuery.h"
#include "model/ZemObject.h"

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace zem {

class TZemMap;
struct TAddress;

enum class TSearchKind : std::uint8_t { skAll, skAddress, skText, skType, skID };

// Why an object was found.
enum class TFoundBy : std::uint8_t { fbID, fbAddress, fbText, fbType };

struct TFoundObject {
    std::int32_t ID = -1;
    TObjectKind Kind = otLine;
    TFoundBy By = TFoundBy::fbText;
    ZemString KindText;    // the object's type from the directory, else the name of its kind
    ZemString Text;        // the object's own text
    ZemString AddressText; // its address as one line; empty when it has none
};

struct TSearchResult {
    std::vector<TFoundObject> Items; // best first: ID, house, text, street, type
    std::size_t Total = 0;           // every object that matched, also those beyond the limit
};

// More hits than a person reads in a list; the total says how many there were.
constexpr std::size_t kSearchLimit = 500;

// Hits of equal rank come in a useful order: houses by street and number, the rest nearest to Around
// first. Around is the centre of the view unless given: a list brought up to date after an edit keeps
// the order of the search it repeats, even when the view has moved since.
TSearchResult FindObjects(const TZemMap& Map, const TSearchQuery& Query, TSearchKind Kind,
                          std::size_t Limit = kSearchLimit, std::optional<TXYPoint> Around = std::nullopt);
TSearchResult FindObjects(const TZemMap& Map, const ZemString& Query, TSearchKind Kind,
                          std::size_t Limit = kSearchLimit, std::optional<TXYPoint> Around = std::nullopt);

// The centre of the view, the default order's reference point.
TXYPoint ViewCentre(const TZemMap& Map);

// Choosing a hit: the object becomes the current one and the view is centred on it, zoomed in until it
// is about 40 pixels across unless the scale is larger already (the mini-map's frame follows). False, with
// nothing changed, when no object has the ID any more.
bool ShowFoundObject(TZemMap& Map, std::int32_t ID);

// An address on one line, as the search lists it: "улица Покровка, 5, корп. 2 / Армянский переулок, 12,
// Басманный, Москва, 101000"; parts that are empty are left out.
ZemString AddressLine(const TAddress& A);

// The Russian name of a kind of object as the search lists it (Windows-1251).
ZemString KindNameText(TObjectKind Kind);

} // namespace zem
