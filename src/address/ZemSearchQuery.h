#pragma once
// How the object search reads what a person types: letter case folded away, a free address such as
// "Покровка 5", "ул. Покровка, д. 5/2" or "1-я Мещанская 3к1" split into street words and house numbers,
// and an object ID. All strings are Windows-1251 bytes.
#include "base/ZemText.h"

#include <cstdint>
#include <string_view>
#include <vector>

namespace zem {

// Upper case with Ё read as Е: people type either, maps hold either.
ZemString FoldText(std::string_view S);
unsigned char FoldByte(unsigned char C);

// Whether Folded occurs in Text, comparing Text folded; an empty needle occurs everywhere.
bool ContainsFolded(std::string_view Text, std::string_view Folded);

// Where Folded matches Text (folded) best: exactly, at the start of a word, anywhere, or not at all.
enum class TTextMatch : std::uint8_t { tmExact, tmWord, tmInside, tmNone };
TTextMatch MatchFolded(std::string_view Text, std::string_view Folded);

// One word of a street name as typed: a plain word is looked for inside the name; a street type ("ул.",
// "пр-т", "бульвар") matches the name when it holds any of that type's forms as a whole word.
struct TStreetWord {
    ZemString Folded;
    std::vector<std::string_view> Forms; // folded forms of the type; empty for a plain word
};

struct TSearchQuery {
    ZemString Folded; // the whole query folded, with its spaces squeezed and trimmed
    std::vector<TStreetWord> Street;
    ZemString Number;     // folded house number, empty when the query has none
    ZemString Number2;    // after a '/': the number on the corner's second street
    ZemString Part;       // the building part after the number ("с2", "корп. 1") as a house key
    std::int64_t ID = -1; // when the query is a whole number, with "#" or "ID" before it or not
    bool Empty() const { return Folded.empty(); }
};

TSearchQuery ParseSearchQuery(std::string_view Query);

// Whether a street name (as stored) holds every word of the query's street part.
bool StreetMatches(std::string_view Name, const std::vector<TStreetWord>& Words);

// Whether a house number (as stored) is the queried one: equal ignoring case, or it continues with
// something that is not a digit ("5" finds "5а", "5/2" and "5 стр. 1", not "15" or "50").
bool HouseNumberMatches(std::string_view Number, std::string_view Folded);

// A house number as compared: folded, without spaces, dots and commas, the words for a building part
// shortened ("строение", "стр" to "С"; "корпус", "корп" to "К"; "владение" to "ВЛ"): "22А стр. 2" and
// "22а с2" have the same key.
ZemString HouseKey(std::string_view Number);

// How well a stored house number answers the query's number and building part, best first.
enum class THouseMatch : std::uint8_t { hmExact, hmPrefix, hmNear, hmNone };
THouseMatch MatchHouse(std::string_view Number, const TSearchQuery& Query);

// House numbers in the order people count them, digits compared as numbers: "2" < "10" < "10а" < "11",
// "22А с2" < "22А с16".
int CompareHouseNumbers(std::string_view A, std::string_view B);

} // namespace zem
