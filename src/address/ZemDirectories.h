#pragma once
// The directory editor's logic: the text of a page and its lines, the sort, and applying edited pages.
//
// Objects refer to directory lines by position. Replacing a directory with edited lines would leave
// those positions pointing at whatever line now stands there (a sorted street list would give every house
// another street's name), so applying remaps every reference from the old lines to the new ones:
//   - a line whose text is still there keeps its objects wherever it moved; equal lines pair up in order
//     (the first old with the first new, and so on), exact text first, then ignoring letter case;
//   - of the lines left over, an old and a new one that stand in the same place among the kept lines (after
//     the same kept line, in the new order) pair up in order as a line edited in place: it keeps its objects;
//   - a line still left over whose text (ignoring case) is still there goes to its first such line, so
//     deleting a double entry merges its objects into the one kept; any other line is gone and references
//     to it become -1.
// Sorting in the editor is remembered exactly, so a line edited before a sort is still found after it.
#include "model/ZemMap.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace zem {

// The editor's pages, in their order on screen.
enum TZemDirectoryPage : std::uint8_t { dpStreets, dpTypes, dpAreas, dpIndexes, dpCities, dpTransport };
constexpr std::size_t kDirectoryPages = 6;
using TZemDirectoryPages = std::array<TZemDirectory, kDirectoryPages>;

TZemDirectory& DirectoryOf(TZemDocument& Doc, TZemDirectoryPage Page);
const TZemDirectory& DirectoryOf(const TZemDocument& Doc, TZemDirectoryPage Page);
// The transport types are never sorted: the route search gives their first positions a meaning.
constexpr bool PageSorts(TZemDirectoryPage Page) {
    return Page != dpTransport;
}

// The items of a page's text: every line break ("\r\n", "\n" or "\r") ends an item, an empty line is an
// empty item, and a final line break adds none.
TZemDirectory DirectoryLines(std::string_view Text);
// The text that gives the lines back: each item followed by a line break.
ZemString DirectoryText(const TZemDirectory& Lines);

// Ascending order ignoring letter case, Ё beside Е; lines equal but for case keep their order.
bool DirectoryLess(const ZemString& A, const ZemString& B);
void SortDirectoryLines(TZemDirectory& Lines);

// For each line of Old, its position in New under the rules above, or -1.
std::vector<std::int32_t> MatchDirectoryLines(const TZemDirectory& Old, const TZemDirectory& New);

// One page of the editor between showing and "Применить": where each line of the box came from, across
// the sorts in between.
class TZemDirectoryTrail {
public:
    explicit TZemDirectoryTrail(const TZemDirectory& Shown);
    // Sorts the box's lines and remembers where each went.
    void Sort(TZemDirectory& Box);
    // For each shown line, its position in Final, or -1.
    std::vector<std::int32_t> Remap(const TZemDirectory& Final) const;
    const TZemDirectory& Shown() const { return FShown; }

private:
    TZemDirectory FShown;
    TZemDirectory FLines;              // the box as its last sort left it
    std::vector<std::int32_t> FOrigin; // for each of FLines, its position among the shown lines, or -1
};

using TZemDirectoryTrails = std::array<const TZemDirectoryTrail*, kDirectoryPages>;

// The route search knows the first transport types by their places (the first is walking, the next three
// have weights of their own), so moving or deleting one of them would change what every search costs
// without a word. Raises EZemError, naming the line, when the pages would do that; renaming in place and
// adding lines after them are fine. The directory editor checks before it applies.
constexpr std::size_t kPlacedTransportTypes = 4;
void CheckTransportPage(const TZemMap& Map, const TZemDirectoryPages& Pages,
                        const TZemDirectoryTrails& Trails = {});

// A line the pages delete that objects still use, and how many objects use it.
struct TZemLineInUse {
    TZemDirectoryPage Page;
    ZemString Line;
    std::int32_t Objects = 0;
};
std::vector<TZemLineInUse> DeletedLinesInUse(const TZemMap& Map, const TZemDirectoryPages& Pages,
                                             const TZemDirectoryTrails& Trails = {});

// Replaces the map's six directories with the pages' lines and remaps every reference to them (the five
// address parts, the category, the transport type, and the transport types the view shows) as one undo
// step; the view is refreshed once. Trails say where the pages' lines came from; a directory that is no
// longer what its trail showed is matched against its lines as they are. The editor asks
// CheckTransportPage and DeletedLinesInUse first.
void ApplyDirectoryPages(TZemMap& Map, const TZemDirectoryPages& Pages,
                         const TZemDirectoryTrails& Trails = {});

} // namespace zem
