#include "address/ZemObjectSearch.h"

#include "address/ZemAddress.h"
#include "model/ZemMap.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace zem {

namespace {

const char* const kKindNames[] = {"Линия",
                                  "Многоугольник",
                                  "Эллипс",
                                  "Текст",
                                  "Кривая Безье",
                                  "Прямоугольник",
                                  "Закрашенная кривая Безье",
                                  "Рисунок",
                                  "Иконка",
                                  "Узел транспортной сети",
                                  "Сегмент транспортной сети"};
constexpr size_t kKinds = std::size(kKindNames);

struct TKindNames {
    std::array<ZemString, kKinds> Text; // Windows-1251, made once
    TKindNames() {
        for (size_t k = 0; k < kKinds; ++k)
            Text[k] = FromUtf8(kKindNames[k]);
    }
};

const TKindNames& KindNames() {
    static const TKindNames Names;
    return Names;
}

// Ranks of a hit, best first.
enum : std::uint8_t {
    rkID,
    rkHouseExact, // the street and exactly the house asked for, building part included
    rkHouse,      // the street and the house number asked for (its start: "5" finds "5а")
    rkHouseNear,  // the number with another building part, or after letters ("в17" for "17")
    rkTextExact,  // the whole text
    rkTextWord,   // a word of the text starts with the query
    rkStreet,     // on the street asked for (no number asked)
    rkTextInside, // anywhere inside the text
    rkType,
    rkNone,
};

struct THit {
    const TZemObject* Object;
    std::uint8_t Rank;
    TFoundBy By;
    bool OnStreet2;      // an address hit through the second street and its number
    std::int32_t Street; // address hits: the street's place in name order
    double Distance;     // other hits: squared distance from the view's centre
};

bool Before(const THit& a, const THit& b) {
    if (a.Rank != b.Rank)
        return a.Rank < b.Rank;
    if (a.By == TFoundBy::fbAddress && b.By == TFoundBy::fbAddress) {
        if (a.Street != b.Street)
            return a.Street < b.Street;
        const TZemAddress &x = a.Object->Address(), &y = b.Object->Address();
        if (const int c =
                CompareHouseNumbers(a.OnStreet2 ? x.Number2 : x.Number, b.OnStreet2 ? y.Number2 : y.Number))
            return c < 0;
    } else if (a.Distance != b.Distance) {
        return a.Distance < b.Distance;
    }
    return a.Object->ID < b.Object->ID;
}

// What one search needs to know before it walks the store.
class TMatcher {
public:
    TMatcher(const TZemMap& Map, const TSearchQuery& Q, TSearchKind Kind, TXYPoint Around) : FQ(Q) {
        const TZemDocument& D = Map.Doc;
        const bool All = Kind == TSearchKind::skAll;
        FText = (All || Kind == TSearchKind::skText) && !Q.Folded.empty();
        FAddress = (All || Kind == TSearchKind::skAddress) && (!Q.Street.empty() || !Q.Number.empty());
        FType = (All || Kind == TSearchKind::skType) && !Q.Folded.empty();
        if (FAddress)
            RankStreets(D.Streets);
        if (FType) {
            FTypeHit.resize(D.ObjectTypes.size());
            for (size_t i = 0; i < D.ObjectTypes.size(); ++i)
                FTypeHit[i] = MatchFolded(D.ObjectTypes[i], Q.Folded) != TTextMatch::tmNone;
            for (size_t k = 0; k < kKinds; ++k)
                FKindHit[k] =
                    MatchFolded(KindNames().Text[k], Q.Folded) != TTextMatch::tmNone ||
                    MatchFolded(ObjectKindName(static_cast<std::uint8_t>(k)), Q.Folded) != TTextMatch::tmNone;
        }
        FCentre = {Around.X, Around.Y};
    }

    bool Walks() const { return FText || FAddress || FType; }

    // The best way the object matches; Rank rkNone when it does not.
    THit Match(const TZemObject& O) const {
        THit H{&O, rkNone, TFoundBy::fbText, false, 0, 0.0};
        if (FAddress)
            MatchAddress(O, H);
        if (FText && H.Rank > rkTextExact && !O.Text().empty()) {
            const TTextMatch M = MatchFolded(O.Text(), FQ.Folded);
            const std::uint8_t R = M == TTextMatch::tmExact    ? rkTextExact
                                   : M == TTextMatch::tmWord   ? rkTextWord
                                   : M == TTextMatch::tmInside ? rkTextInside
                                                               : rkNone;
            if (R < H.Rank) {
                H.Rank = R;
                H.By = TFoundBy::fbText;
            }
        }
        if (FType && H.Rank > rkType && TypeMatches(O)) {
            H.Rank = rkType;
            H.By = TFoundBy::fbType;
        }
        if (H.Rank != rkNone && H.By != TFoundBy::fbAddress) {
            const double dx = (O.LeftTop.X + O.RightBottom.X) / 2.0 - FCentre[0];
            const double dy = (O.LeftTop.Y + O.RightBottom.Y) / 2.0 - FCentre[1];
            H.Distance = dx * dx + dy * dy;
        }
        return H;
    }

private:
    // Marks the streets whose names hold the query's street words with their place in name order.
    void RankStreets(const TZemDirectory& Streets) {
        FStreetRank.assign(Streets.size(), -1);
        if (FQ.Street.empty())
            return; // a number alone: any street, or none
        std::vector<std::int32_t> Found;
        for (size_t i = 0; i < Streets.size(); ++i)
            if (StreetMatches(Streets[i], FQ.Street))
                Found.push_back(static_cast<std::int32_t>(i));
        std::vector<ZemString> Keys(Streets.size());
        for (std::int32_t i : Found)
            Keys[static_cast<size_t>(i)] = FoldText(Streets[static_cast<size_t>(i)]);
        std::stable_sort(Found.begin(), Found.end(), [&](std::int32_t a, std::int32_t b) {
            return Keys[static_cast<size_t>(a)] < Keys[static_cast<size_t>(b)];
        });
        for (size_t r = 0; r < Found.size(); ++r)
            FStreetRank[static_cast<size_t>(Found[r])] = static_cast<std::int32_t>(r);
    }

    // The street's place in name order; -1 when it is not one asked for. Positions beyond the directory
    // (a directory edited shorter) name no street.
    std::int32_t StreetRank(std::int32_t Position) const {
        if (FQ.Street.empty())
            return Position < 0 || static_cast<size_t>(Position) >= FStreetRank.size() ? INT32_MAX : Position;
        return Position < 0 || static_cast<size_t>(Position) >= FStreetRank.size()
                   ? -1
                   : FStreetRank[static_cast<size_t>(Position)];
    }

    // The rank of a house with these numbers, rkNone when they do not answer the query.
    std::uint8_t HouseRank(const ZemString& Number, const ZemString& Number2) const {
        if (FQ.Number.empty())
            return rkStreet;
        if (!FQ.Number2.empty())
            return (HouseNumberMatches(Number, FQ.Number) && HouseNumberMatches(Number2, FQ.Number2)) ||
                           HouseNumberMatches(Number, FQ.Number + "/" + FQ.Number2)
                       ? rkHouse
                       : rkNone;
        switch (MatchHouse(Number, FQ)) {
        case THouseMatch::hmExact:
            return rkHouseExact;
        case THouseMatch::hmPrefix:
            return rkHouse;
        case THouseMatch::hmNear:
            return rkHouseNear;
        default:
            return rkNone;
        }
    }

    void MatchAddress(const TZemObject& O, THit& H) const {
        const TZemAddress& A = O.Address();
        if (A.Empty)
            return;
        if (const std::int32_t S = StreetRank(A.Street); S >= 0)
            if (const std::uint8_t R = HouseRank(A.Number, A.Number2); R != rkNone)
                H = THit{&O, R, TFoundBy::fbAddress, false, S, 0.0};
        // The corner building's second street, with its own number.
        if (A.Street2 != -1 || FQ.Street.empty())
            if (const std::int32_t S = StreetRank(A.Street2); S >= 0)
                if (const std::uint8_t R = HouseRank(A.Number2, {}); R < H.Rank)
                    H = THit{&O, R, TFoundBy::fbAddress, true, S, 0.0};
    }

    bool TypeMatches(const TZemObject& O) const {
        const std::int32_t C = O.Category();
        if (C >= 0 && static_cast<size_t>(C) < FTypeHit.size() && FTypeHit[static_cast<size_t>(C)])
            return true;
        return O.Kind < kKinds && FKindHit[O.Kind];
    }

    const TSearchQuery& FQ;
    bool FText = false, FAddress = false, FType = false;
    std::vector<std::int32_t> FStreetRank;
    std::vector<char> FTypeHit;
    std::array<bool, kKinds> FKindHit{};
    std::array<double, 2> FCentre{};
};

} // namespace

ZemString AddressLine(const TAddress& A) {
    auto Join = [](ZemString& To, const ZemString& Part, const char* Between) {
        if (!Part.empty())
            To += (To.empty() ? "" : Between) + Part;
    };
    ZemString Main = A.Street, Second = A.Street2;
    Join(Main, A.Number, ", ");
    if (A.Street2.empty() && !A.Number2.empty())
        Main += "/" + A.Number2; // a second number without its street, as the map labels it
    else
        Join(Second, A.Number2, ", ");
    if (!A.Corpus.empty())
        Join(Main, "\xEA\xEE\xF0\xEF. " + A.Corpus, ", "); // "корп. "
    ZemString Line = Main;
    Join(Line, Second, " / ");
    for (const ZemString* Part : {&A.Area, &A.City, &A.Index})
        Join(Line, *Part, ", ");
    return Line;
}

ZemString KindNameText(TObjectKind Kind) {
    return Kind < kKinds ? KindNames().Text[Kind] : ZemString(ObjectKindName(Kind));
}

TXYPoint ViewCentre(const TZemMap& Map) {
    return {Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2,
            Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2};
}

TSearchResult FindObjects(const TZemMap& Map, const ZemString& Query, TSearchKind Kind, std::size_t Limit,
                          std::optional<TXYPoint> Around) {
    return FindObjects(Map, ParseSearchQuery(Query), Kind, Limit, Around);
}

TSearchResult FindObjects(const TZemMap& Map, const TSearchQuery& Query, TSearchKind Kind, std::size_t Limit,
                          std::optional<TXYPoint> Around) {
    TSearchResult Result;
    if (Query.Empty())
        return Result;
    const auto& Objects = Map.Doc.Objects;
    std::vector<THit> Hits;
    const TMatcher Matcher(Map, Query, Kind, Around.value_or(ViewCentre(Map)));
    if (Matcher.Walks())
        for (std::int32_t i = 0; i < Objects.Count(); ++i)
            if (const THit H = Matcher.Match(*Objects.Values(i)); H.Rank != rkNone)
                Hits.push_back(H);
    // The object with the ID typed, if it exists: first, and once.
    if ((Kind == TSearchKind::skAll || Kind == TSearchKind::skID) && Query.ID >= 0)
        if (const auto* O = Objects.Find(static_cast<std::int32_t>(Query.ID))) {
            std::erase_if(Hits, [&](const THit& H) { return H.Object == O->get(); });
            Hits.push_back(THit{O->get(), rkID, TFoundBy::fbID, false, 0, 0.0});
        }

    Result.Total = Hits.size();
    const size_t Shown = std::min(Limit, Hits.size());
    std::partial_sort(Hits.begin(), Hits.begin() + static_cast<std::ptrdiff_t>(Shown), Hits.end(), Before);
    const TZemDocument& D = Map.Doc;
    Result.Items.reserve(Shown);
    for (size_t i = 0; i < Shown; ++i) {
        const TZemObject& O = *Hits[i].Object;
        TFoundObject F;
        F.ID = O.ID;
        F.Kind = O.Kind;
        F.By = Hits[i].By;
        const std::int32_t C = O.Category();
        F.KindText = C >= 0 && static_cast<size_t>(C) < D.ObjectTypes.size() &&
                             !D.ObjectTypes[static_cast<size_t>(C)].empty()
                         ? D.ObjectTypes[static_cast<size_t>(C)]
                         : KindNameText(O.Kind);
        F.Text = O.Text();
        if (TAddress A; Map.GetAddress(O.ID, A))
            F.AddressText = AddressLine(A);
        Result.Items.push_back(std::move(F));
    }
    return Result;
}

bool ShowFoundObject(TZemMap& Map, std::int32_t ID) {
    if (ID < 0 || !Map.ObjectExists(ID))
        return false;
    const TZemObject& O = Map.ObjectByID(ID);
    // A junction's box is set only when it is drawn: its point is where it is.
    const TXYPoint Centre =
        O.Kind == otRoadCross && O.PointCount() > 0
            ? O.Point(0)
            : TXYPoint{(O.LeftTop.X + O.RightBottom.X) / 2, (O.LeftTop.Y + O.RightBottom.Y) / 2};
    if (Map.Edit.CurrentObject != ID) {
        Map.Edit.CurrentObject = ID;
        Map.Edit.EditMode = O.Kind == otText ? 1 : 0; // as a click selects it
    }
    // Zoomed in until the object is about kFoundPixels across, unless the user is closer already.
    constexpr double kFoundPixels = 40;
    const double Across = std::max(static_cast<double>(O.RightBottom.X) - O.LeftTop.X,
                                   static_cast<double>(O.RightBottom.Y) - O.LeftTop.Y);
    double Scale = Map.View.Scale;
    if (O.Kind != otRoadCross && std::isfinite(Across) && Across > 0)
        Scale = std::clamp(std::ceil(kFoundPixels * 100.0 / Across), Scale, // a whole percentage
                           std::max(Scale, double{Map.View.MaxScale}));
    if (std::isfinite(Centre.X) && std::isfinite(Centre.Y))
        Map.SetView(Centre, static_cast<float>(Scale));
    else
        Map.Redraw();
    if (Map.OnChangeCurrentObject)
        Map.OnChangeCurrentObject(Map, ID);
    return true;
}

} // namespace zem
