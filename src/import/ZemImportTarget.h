#pragma once
// What every importer writes a map through: new objects stored straight into the store under fresh IDs
// (no undo step, no redraw: an import is one bulk load), and directory lines looked up ignoring letter
// case in constant time, as the address dialog would find them.
#include "model/ZemMap.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace zem {

// Case-insensitive lookup of a directory's lines; new names are appended to the directory. The first of
// equal lines wins, as SetAddress chooses. Holds a reference to the directory: add lines only through it.
class TZemDirectoryIndex {
public:
    explicit TZemDirectoryIndex(TZemDirectory& Directory);
    // Position of Name (Windows-1251), appended when missing; -1 for an empty name.
    std::int32_t Intern(const ZemString& Name);
    // Position of Name, or -1 when the directory has no such line.
    std::int32_t Find(const ZemString& Name) const;

private:
    TZemDirectory& FDirectory;
    std::unordered_map<ZemString, std::int32_t> FPositions; // upper-case line -> first position
};

// Stores new objects in a map: each gets the next free ID and goes to the front of the drawing order.
class TZemImportTarget {
public:
    explicit TZemImportTarget(TZemMap& Map) : FMap(Map) {}
    TZemMap& Map() { return FMap; }
    // Stores Object under a fresh ID and returns the ID.
    std::int32_t Store(std::unique_ptr<TZemObject> Object);
    // A line of credit the map must show for the data (UTF-8), once each; ImportInto puts them in a
    // corner of the map.
    void Attribute(const std::string& Utf8);
    const std::vector<std::string>& Attributions() const { return FAttributions; }

private:
    TZemMap& FMap;
    std::vector<std::string> FAttributions;
};

} // namespace zem
