#include "address/ZemSearchQuery.h"

#include <array>
#include <charconv>
#include <cstring>

namespace zem {

namespace {

constexpr unsigned char kYo = 0xA8; // Ё
constexpr unsigned char kYe = 0xC5; // Е

struct TFoldTable {
    std::array<unsigned char, 256> Map{};
    TFoldTable() {
        for (int c = 0; c < 256; ++c) {
            const ZemString Upper = UpperCase(ZemString(1, static_cast<char>(c)));
            Map[static_cast<size_t>(c)] = static_cast<unsigned char>(Upper[0]);
        }
        Map[kYo] = kYe;
        Map[0xB8] = kYe; // ё
    }
};

const TFoldTable& Fold() {
    static const TFoldTable Table;
    return Table;
}

bool IsDigit(unsigned char c) {
    return c >= '0' && c <= '9';
}

// Letters and digits of Windows-1251 as names use them: Latin, Cyrillic А..я, Ё and ё.
bool IsWordByte(unsigned char c) {
    return IsDigit(c) || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c >= 0xC0 || c == kYo ||
           c == 0xB8;
}

bool WordStartsAt(std::string_view Text, size_t Pos) {
    return Pos == 0 || !IsWordByte(static_cast<unsigned char>(Text[Pos - 1]));
}

// Compares Text at Pos, folded, with Folded.
bool FoldedAt(std::string_view Text, size_t Pos, std::string_view Folded) {
    const auto& M = Fold().Map;
    for (size_t j = 0; j < Folded.size(); ++j)
        if (M[static_cast<unsigned char>(Text[Pos + j])] != static_cast<unsigned char>(Folded[j]))
            return false;
    return true;
}

// Positions where Folded occurs in Text; calls Found(pos) until it returns true.
template <class F> bool FindEach(std::string_view Text, std::string_view Folded, F Found) {
    if (Folded.size() > Text.size())
        return false;
    const auto& M = Fold().Map;
    const auto First = static_cast<unsigned char>(Folded[0]);
    for (size_t i = 0, Last = Text.size() - Folded.size(); i <= Last; ++i)
        if (M[static_cast<unsigned char>(Text[i])] == First && FoldedAt(Text, i, Folded) && Found(i))
            return true;
    return false;
}

// The kinds of street and their written forms (UTF-8 here, folded 1251 once at first use). A query word
// equal to any form stands for the whole group.
const char* const kStreetTypes[][5] = {
    {"улица", "ул", nullptr},          {"проспект", "пр-т", "просп", "пр", nullptr},
    {"проезд", "пр-д", "пр", nullptr}, {"переулок", "пер", nullptr},
    {"площадь", "пл", nullptr},        {"бульвар", "б-р", "бул", nullptr},
    {"набережная", "наб", nullptr},    {"шоссе", "ш", nullptr},
    {"тупик", "туп", nullptr},         {"аллея", "ал", nullptr},
    {"линия", "лин", nullptr},         {"микрорайон", "мкр", nullptr},
};

struct TStreetTypes {
    std::vector<std::vector<ZemString>> Groups;
    TStreetTypes() {
        for (const auto& Group : kStreetTypes) {
            auto& G = Groups.emplace_back();
            for (const char* const* Form = Group; *Form; ++Form)
                G.push_back(FoldText(FromUtf8(*Form)));
        }
    }
};

const TStreetTypes& StreetTypes() {
    static const TStreetTypes Types;
    return Types;
}

std::vector<ZemString> SplitWords(std::string_view Folded) {
    std::vector<ZemString> Words;
    ZemString W;
    for (char c : Folded) {
        if (c == ' ' || c == ',' || c == ';' || c == '\t') {
            if (!W.empty())
                Words.push_back(std::move(W));
            W.clear();
        } else {
            W += c;
        }
    }
    if (!W.empty())
        Words.push_back(std::move(W));
    return Words;
}

bool IsLetter(unsigned char c) {
    return IsWordByte(c) && !IsDigit(c);
}

// The length of a short prefix of letters before a number ("В" of "в17", "ВЛ." of "вл.4"); 0 for none.
size_t LetterPrefix(std::string_view W) {
    size_t i = 0;
    while (i < W.size() && i < 3 && IsLetter(static_cast<unsigned char>(W[i])))
        ++i;
    if (i > 0 && i < W.size() && W[i] == '.')
        ++i;
    return i < W.size() && IsDigit(static_cast<unsigned char>(W[i])) ? i : 0;
}

// A house number: starts with a digit and is not an ordinal of a street name such as "1-я" or "2-й", or
// starts with a few letters and then a digit, as "в17" and "вл.4" do.
bool IsHouseNumber(std::string_view W) {
    if (LetterPrefix(W) > 0)
        return true;
    if (W.empty() || !IsDigit(static_cast<unsigned char>(W[0])))
        return false;
    const size_t Dash = W.find('-');
    return Dash == std::string_view::npos || Dash + 1 >= W.size() ||
           IsDigit(static_cast<unsigned char>(W[Dash + 1]));
}

bool IsHouseWord(std::string_view W, const ZemString& D, const ZemString& Dom) {
    return W == D || W == D + "." || W == Dom;
}

std::int64_t ParseID(std::string_view Folded) {
    std::string_view S = Folded;
    if (!S.empty() && S[0] == '#')
        S.remove_prefix(1);
    else if (S.starts_with("ID"))
        S.remove_prefix(2);
    else if (S.size() >= 2 && static_cast<unsigned char>(S[0]) == 0xC8 &&
             static_cast<unsigned char>(S[1]) == 0xC4)
        S.remove_prefix(2); // "ИД"
    while (!S.empty() && (S[0] == ' ' || S[0] == ':'))
        S.remove_prefix(1);
    std::int64_t V = -1;
    if (S.empty() || S.size() > 10)
        return -1;
    const auto R = std::from_chars(S.data(), S.data() + S.size(), V);
    if (R.ec != std::errc() || R.ptr != S.data() + S.size() || V < 0 || V > INT32_MAX)
        return -1;
    return V;
}

} // namespace

unsigned char FoldByte(unsigned char C) {
    return Fold().Map[C];
}

ZemString FoldText(std::string_view S) {
    ZemString R(S);
    for (char& c : R)
        c = static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    return R;
}

bool ContainsFolded(std::string_view Text, std::string_view Folded) {
    return Folded.empty() || FindEach(Text, Folded, [](size_t) { return true; });
}

TTextMatch MatchFolded(std::string_view Text, std::string_view Folded) {
    if (Folded.empty() || Folded.size() > Text.size())
        return TTextMatch::tmNone;
    if (Text.size() == Folded.size() && FoldedAt(Text, 0, Folded))
        return TTextMatch::tmExact;
    bool Inside = false;
    const bool Word = FindEach(Text, Folded, [&](size_t Pos) {
        Inside = true;
        return WordStartsAt(Text, Pos);
    });
    return Word ? TTextMatch::tmWord : Inside ? TTextMatch::tmInside : TTextMatch::tmNone;
}

TSearchQuery ParseSearchQuery(std::string_view Query) {
    TSearchQuery Q;
    const ZemString Folded = FoldText(Query);
    const std::vector<ZemString> Words = SplitWords(Folded);
    for (const ZemString& W : Words)
        Q.Folded += (Q.Folded.empty() ? "" : " ") + W;
    Q.ID = ParseID(Q.Folded);

    // "Д", "Д." and "ДОМ" before a number only say that a house number follows.
    const ZemString D = FoldText(FromUtf8("д")), Dom = FoldText(FromUtf8("дом"));
    size_t i = 0;
    for (; i < Words.size(); ++i) {
        std::string_view W = Words[i];
        if (IsHouseWord(W, D, Dom) && i + 1 < Words.size() && IsHouseNumber(Words[i + 1]))
            continue;
        if (W.starts_with(D) && IsHouseNumber(W.substr(W.starts_with(D + ".") ? 2 : 1)))
            W.remove_prefix(W.starts_with(D + ".") ? 2 : 1); // "д5", "д.5"
        if (IsHouseNumber(W) && Q.Number.empty()) {
            const size_t Slash = W.find('/');
            Q.Number = ZemString(W.substr(0, Slash));
            if (Slash != std::string_view::npos)
                Q.Number2 = ZemString(W.substr(Slash + 1));
            // The number ends the address: what follows is the building part ("с2", "корп. 1"), not a
            // street's name. "5 Покровка": without a street before it, the street may follow the number.
            if (!Q.Street.empty()) {
                for (size_t k = i + 1; k < Words.size(); ++k)
                    Q.Part += Words[k];
                Q.Part = HouseKey(Q.Part);
                break;
            }
            continue;
        }
        if (!Q.Number.empty() && IsHouseNumber(W) && LetterPrefix(W) > 0) {
            Q.Part += HouseKey(W); // "5 с2 Покровка"
            continue;
        }
        TStreetWord SW;
        SW.Folded = ZemString(W);
        if (SW.Folded.size() > 1 && SW.Folded.back() == '.')
            SW.Folded.pop_back();
        for (const auto& Group : StreetTypes().Groups)
            for (const ZemString& Form : Group)
                if (Form == SW.Folded) {
                    for (const ZemString& F : Group)
                        SW.Forms.push_back(F);
                    break;
                }
        Q.Street.push_back(std::move(SW));
    }
    return Q;
}

bool StreetMatches(std::string_view Name, const std::vector<TStreetWord>& Words) {
    for (const TStreetWord& W : Words) {
        bool Found = false;
        if (W.Forms.empty()) {
            Found = ContainsFolded(Name, W.Folded);
        } else {
            // A street type: one of its forms as a whole word, or the word typed as the start of one.
            for (std::string_view Form : W.Forms) {
                Found = FindEach(Name, Form, [&](size_t Pos) {
                    const size_t End = Pos + Form.size();
                    return WordStartsAt(Name, Pos) &&
                           (End == Name.size() || !IsWordByte(static_cast<unsigned char>(Name[End])));
                });
                if (Found)
                    break;
            }
            if (!Found)
                Found = FindEach(Name, W.Folded, [&](size_t Pos) { return WordStartsAt(Name, Pos); });
        }
        if (!Found)
            return false;
    }
    return true;
}

ZemString HouseKey(std::string_view Number) {
    ZemString Key;
    for (char c : Number)
        if (c != ' ' && c != '.' && c != ',' && c != '\t')
            Key += static_cast<char>(FoldByte(static_cast<unsigned char>(c)));
    // Longer words first, so that "СТРОЕНИЕ" does not leave "ОЕНИЕ" behind.
    static const std::vector<std::pair<ZemString, ZemString>> kWords = [] {
        std::vector<std::pair<ZemString, ZemString>> W;
        for (const auto& [Long, Short] :
             {std::pair{"строение", "с"}, std::pair{"стр", "с"}, std::pair{"корпус", "к"},
              std::pair{"корп", "к"}, std::pair{"владение", "вл"}, std::pair{"влад", "вл"}})
            W.emplace_back(FoldText(FromUtf8(Long)), FoldText(FromUtf8(Short)));
        return W;
    }();
    for (const auto& [Long, Short] : kWords)
        for (size_t At = Key.find(Long); At != ZemString::npos; At = Key.find(Long, At + Short.size()))
            Key.replace(At, Long.size(), Short);
    return Key;
}

THouseMatch MatchHouse(std::string_view Number, const TSearchQuery& Q) {
    const ZemString Stored = HouseKey(Number), Asked = HouseKey(Q.Number + Q.Part);
    if (Stored.empty() || Asked.empty())
        return THouseMatch::hmNone;
    if (Stored == Asked)
        return THouseMatch::hmExact;
    if (HouseNumberMatches(Stored, Asked))
        return THouseMatch::hmPrefix;
    // The same number with another building part, or a number that starts with letters ("в17" for "17").
    const ZemString Base = HouseKey(Q.Number);
    const std::string_view Bare = std::string_view(Stored).substr(LetterPrefix(Stored));
    if ((!Q.Part.empty() && HouseNumberMatches(Stored, Base)) ||
        (Bare.size() < Stored.size() &&
         (HouseNumberMatches(Bare, Asked) || (!Q.Part.empty() && HouseNumberMatches(Bare, Base)))))
        return THouseMatch::hmNear;
    return THouseMatch::hmNone;
}

int CompareHouseNumbers(std::string_view A, std::string_view B) {
    size_t i = 0, j = 0;
    while (i < A.size() && j < B.size()) {
        const auto a = static_cast<unsigned char>(A[i]), b = static_cast<unsigned char>(B[j]);
        if (IsDigit(a) && IsDigit(b)) {
            size_t ei = i, ej = j;
            while (ei < A.size() && IsDigit(static_cast<unsigned char>(A[ei])))
                ++ei;
            while (ej < B.size() && IsDigit(static_cast<unsigned char>(B[ej])))
                ++ej;
            // As numbers: without leading zeros the longer is the larger, equal lengths compare as text.
            std::string_view x = A.substr(i, ei - i), y = B.substr(j, ej - j);
            while (x.size() > 1 && x[0] == '0')
                x.remove_prefix(1);
            while (y.size() > 1 && y[0] == '0')
                y.remove_prefix(1);
            if (x.size() != y.size())
                return x.size() < y.size() ? -1 : 1;
            if (const int c = x.compare(y))
                return c < 0 ? -1 : 1;
            i = ei, j = ej;
            continue;
        }
        const unsigned char fa = FoldByte(a), fb = FoldByte(b);
        if (fa != fb)
            return fa < fb ? -1 : 1;
        ++i, ++j;
    }
    return i < A.size() ? 1 : j < B.size() ? -1 : 0;
}

bool HouseNumberMatches(std::string_view Number, std::string_view Folded) {
    if (Folded.empty() || Number.size() < Folded.size() || !FoldedAt(Number, 0, Folded))
        return false;
    return Number.size() == Folded.size() || !IsDigit(static_cast<unsigned char>(Folded.back())) ||
           !IsDigit(static_cast<unsigned char>(Number[Folded.size()]));
}

} // namespace zem
