// Reading a feed's tables into the model. Where refusing ends and skipping starts follows the feed
// validators: what breaks a table as a whole (no such file, a required column missing, a record that
// cannot be parsed as CSV) refuses the feed; what is wrong in one row (a bad number or time, an ID that
// is repeated or names nothing, a row of the wrong length) skips that row and counts it. A required
// table left without a single usable row refuses the feed too.
#include "import/ZemCsvReader.h"
#include "import/ZemFeedSource.h"
#include "import/ZemGeoref.h"
#include "import/ZemGtfsAssemble.h"
#include "import/ZemGtfsFeed.h"

#include "base/ZemErrors.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <memory>
#include <unordered_map>

namespace zem {

void TGtfsFeed::Skip(const std::string& Cause, const std::string& Where) {
    TGtfsSkip& S = Skipped[Cause];
    if (S.Count++ == 0)
        S.First = Where;
}

std::uint64_t TGtfsFeed::SkippedCount() const {
    std::uint64_t N = 0;
    for (const auto& [Cause, S] : Skipped)
        N += S.Count;
    return N;
}

namespace {

struct TIdHash {
    using is_transparent = void;
    std::size_t operator()(std::string_view S) const { return std::hash<std::string_view>{}(S); }
};
using TIdMap = std::unordered_map<std::string, std::uint32_t, TIdHash, std::equal_to<>>;

std::int32_t Lookup(const TIdMap& Map, std::string_view Id) {
    const auto It = Map.find(Id);
    return It == Map.end() ? -1 : static_cast<std::int32_t>(It->second);
}

bool ParseDouble(std::string_view S, double& Out) {
    if (S.empty())
        return false;
    if (S.front() == '+')
        S.remove_prefix(1);
    const auto [P, Ec] = std::from_chars(S.data(), S.data() + S.size(), Out);
    return Ec == std::errc() && P == S.data() + S.size() && std::isfinite(Out);
}

template <class T> bool ParseInt(std::string_view S, T& Out) {
    if (S.empty())
        return false;
    const auto [P, Ec] = std::from_chars(S.data(), S.data() + S.size(), Out);
    return Ec == std::errc() && P == S.data() + S.size();
}

// H:MM:SS or HH:MM:SS; hours run past 24 for trips after midnight.
bool ValidTime(std::string_view S) {
    const std::size_t C1 = S.find(':');
    if (C1 == std::string_view::npos || C1 == 0 || C1 > 3 || S.size() != C1 + 6 || S[C1 + 3] != ':')
        return false;
    for (std::size_t I = 0; I < S.size(); ++I)
        if (I != C1 && I != C1 + 3 && (S[I] < '0' || S[I] > '9'))
            return false;
    return S[C1 + 1] <= '5' && S[C1 + 4] <= '5';
}

bool ParseColor(std::string_view S, std::uint32_t& Out) {
    if (S.size() != 6)
        return false;
    const auto [P, Ec] = std::from_chars(S.data(), S.data() + 6, Out, 16);
    return Ec == std::errc() && P == S.data() + 6;
}

struct TPatternKey {
    std::vector<std::uint32_t> Seq, Stops;
};

class TFeedReader {
public:
    TFeedReader(const TFeedSource& Source, const TGtfsProgress& Progress, const TGtfsLimits& Limits)
        : FSource(Source), FProgress(Progress), FLimits(Limits) {
        for (const char* Name : {"agency.txt", "stops.txt", "routes.txt", "trips.txt", "stop_times.txt"})
            if (!Source.Has(Name))
                throw EZemError("\"" + std::string(Name) +
                                "\": нет в ленте расписания — это обязательная таблица");
        for (const char* Name : {"agency.txt", "stops.txt", "routes.txt", "shapes.txt", "trips.txt",
                                 "stop_times.txt", "transfers.txt"})
            FTotal += std::max<std::uint64_t>(1, Source.SizeOf(Name));
    }

    TGtfsFeed Read() {
        ReadAgency();
        ReadStops();
        ReadRoutes();
        if (FSource.Has("shapes.txt"))
            ReadShapes();
        ReadTrips();
        ReadStopTimes();
        if (FSource.Has("transfers.txt"))
            ReadTransfers();
        Tick(nullptr, "transfers.txt", true);
        return std::move(FFeed);
    }

private:
    // One table open for reading, with its header.
    struct TTable {
        std::unique_ptr<TByteStream> Stream;
        std::unique_ptr<TCsvReader> Reader;
        std::unique_ptr<TCsvHeader> Header;
        std::uint64_t Rows = 0, Skips = 0;
        std::string FirstSkip;
    };

    TTable Open(const std::string& Name) {
        TTable T;
        T.Stream = FSource.Open(Name);
        T.Reader = std::make_unique<TCsvReader>(*T.Stream, Name);
        T.Header = std::make_unique<TCsvHeader>(*T.Reader);
        return T;
    }

    static std::string Where(const TTable& T, int Column) {
        std::string W = "\"" + T.Reader->FileName() + "\", строка " + std::to_string(T.Reader->Line());
        if (Column >= 0)
            W += ", столбец " + std::to_string(Column + 1);
        return W;
    }
    static std::string Where(const TTable& T, const char* Column) {
        return "\"" + T.Reader->FileName() + "\", строка " + std::to_string(T.Reader->Line()) +
               ", столбец \"" + Column + "\"";
    }

    void Skip(TTable& T, const std::string& Cause, const std::string& Where) {
        if (T.Skips++ == 0)
            T.FirstSkip = Where + ": " + Cause;
        FFeed.Skip(Cause, Where);
    }

    // Reads the next row of T; rows whose field count differs from the header's are skipped (extra
    // empty fields, as trailing commas leave them, are harmless).
    bool NextRow(TTable& T) {
        for (;;) {
            if (!T.Reader->Next())
                return false;
            ++T.Rows;
            if ((++FTicks & 4095) == 0)
                Tick(T.Reader.get(), T.Reader->FileName(), false);
            const std::size_t Have = T.Reader->FieldCount(), Want = T.Header->Count();
            bool Fits = Have == Want;
            if (Have > Want) {
                Fits = true;
                for (std::size_t I = Want; I < Have && Fits; ++I)
                    Fits = T.Reader->Field(I).empty();
            }
            if (Fits)
                return true;
            Skip(T, "число полей строки не совпадает с заголовком", Where(T, -1));
        }
    }

    void Finish(TTable& T, bool Required, std::uint64_t Kept) {
        FDoneBefore += std::max<std::uint64_t>(1, FSource.SizeOf(T.Reader->FileName()));
        if (Required && Kept == 0) {
            if (T.Skips > 0)
                throw EZemError("\"" + T.Reader->FileName() + "\": ни одной годной строки; первая ошибка — " +
                                T.FirstSkip);
            throw EZemError("\"" + T.Reader->FileName() + "\": в таблице нет ни одной строки");
        }
    }

    void Tick(const TCsvReader* Reader, std::string_view Table, bool Last) {
        if (!FProgress)
            return;
        const double Done =
            Last ? 1.0
                 : std::min(1.0, double(FDoneBefore + (Reader ? Reader->BytesRead() : 0)) / double(FTotal));
        if (!FProgress(Done, Table))
            throw EZemImportCancelled();
    }

    template <class C> void Limit(const TTable& T, const C& Container, std::uint64_t Max, const char* What) {
        if (Container.size() >= Max)
            throw EZemError("\"" + T.Reader->FileName() + "\": больше " + std::to_string(Max) + " " + What +
                            " — столько не бывает даже в стране, файл испорчен");
    }

    void ReadAgency() {
        TTable T = Open("agency.txt");
        const int Name = T.Header->Find("agency_name");
        while (NextRow(T))
            if (Name >= 0 && !T.Reader->Field(Name).empty() && FFeed.Agencies.size() < 1000)
                FFeed.Agencies.emplace_back(T.Reader->Field(Name));
        Finish(T, false, 0);
    }

    void ReadStops() {
        TTable T = Open("stops.txt");
        const TCsvHeader& H = *T.Header;
        const int Id = H.Require("stop_id"), Lat = H.Require("stop_lat"), Lon = H.Require("stop_lon");
        const int Name = H.Find("stop_name"), Kind = H.Find("location_type"),
                  Parent = H.Find("parent_station");
        std::vector<std::string> Parents;
        TCsvReader& R = *T.Reader;
        while (NextRow(T)) {
            if (R.Field(Id).empty()) {
                Skip(T, "пустой идентификатор", Where(T, "stop_id"));
                continue;
            }
            TGtfsStop S;
            if (Kind >= 0 && !R.Field(Kind).empty() &&
                (!ParseInt(R.Field(Kind), S.LocationType) || S.LocationType < 0 || S.LocationType > 4)) {
                Skip(T, "неверный location_type", Where(T, "location_type"));
                continue;
            }
            // Generic nodes and boarding areas may go without a position; everything else needs one.
            const bool LatOk = ParseDouble(R.Field(Lat), S.Lat) && ValidGeoPoint({0, S.Lat});
            const bool LonOk = ParseDouble(R.Field(Lon), S.Lon) && ValidGeoPoint({S.Lon, 0});
            if (S.LocationType <= 2) {
                if (!LatOk || !LonOk) {
                    Skip(T, "неверные координаты", Where(T, LatOk ? "stop_lon" : "stop_lat"));
                    continue;
                }
                if (std::fabs(S.Lat) < 1e-6 && std::fabs(S.Lon) < 1e-6) {
                    Skip(T, "координаты (0, 0) — остановка не размещена", Where(T, "stop_lat"));
                    continue;
                }
            }
            Limit(T, FFeed.Stops, FLimits.Stops, "остановок");
            if (!FStopIds.emplace(std::string(R.Field(Id)), std::uint32_t(FFeed.Stops.size())).second) {
                Skip(T, "повторный идентификатор", Where(T, "stop_id"));
                continue;
            }
            S.Id = R.Field(Id);
            if (Name >= 0)
                S.Name = R.Field(Name);
            Parents.emplace_back(Parent >= 0 ? R.Field(Parent) : std::string_view());
            FFeed.Stops.push_back(std::move(S));
        }
        std::uint64_t Halts = 0;
        for (std::size_t I = 0; I < FFeed.Stops.size(); ++I) {
            Halts += FFeed.Stops[I].LocationType == 0;
            if (Parents[I].empty())
                continue;
            const std::int32_t P = Lookup(FStopIds, Parents[I]);
            if (P >= 0 && FFeed.Stops[P].LocationType == 1)
                FFeed.Stops[I].Parent = P;
            else
                FFeed.Skip("parent_station не найдена среди станций (связь не сделана)",
                           "\"stops.txt\", stop_id \"" + FFeed.Stops[I].Id + "\"");
        }
        Finish(T, true, Halts);
    }

    void ReadRoutes() {
        TTable T = Open("routes.txt");
        const TCsvHeader& H = *T.Header;
        const int Id = H.Require("route_id"), Type = H.Require("route_type");
        const int Short = H.Find("route_short_name"), Long = H.Find("route_long_name"),
                  Color = H.Find("route_color");
        TCsvReader& R = *T.Reader;
        while (NextRow(T)) {
            if (R.Field(Id).empty()) {
                Skip(T, "пустой идентификатор", Where(T, "route_id"));
                continue;
            }
            TGtfsRoute Route;
            if (!ParseInt(R.Field(Type), Route.Type) || !GtfsKindName(Route.Type)) {
                Skip(T, "неверный route_type", Where(T, "route_type"));
                continue;
            }
            Limit(T, FFeed.Routes, FLimits.Routes, "маршрутов");
            if (!FRouteIds.emplace(std::string(R.Field(Id)), std::uint32_t(FFeed.Routes.size())).second) {
                Skip(T, "повторный идентификатор", Where(T, "route_id"));
                continue;
            }
            Route.Id = R.Field(Id);
            if (Short >= 0)
                Route.ShortName = R.Field(Short);
            if (Long >= 0)
                Route.LongName = R.Field(Long);
            if (Color >= 0 && !R.Field(Color).empty()) {
                Route.HasColor = ParseColor(R.Field(Color), Route.Color);
                if (!Route.HasColor)
                    FFeed.Skip("неверный route_color (взят цвет вида транспорта)", Where(T, "route_color"));
            }
            FFeed.Routes.push_back(std::move(Route));
        }
        Finish(T, true, FFeed.Routes.size());
    }

    void ReadShapes() {
        TTable T = Open("shapes.txt");
        const TCsvHeader& H = *T.Header;
        const int Id = H.Require("shape_id"), Lat = H.Require("shape_pt_lat"),
                  Lon = H.Require("shape_pt_lon"), Seq = H.Require("shape_pt_sequence");
        struct TRaw {
            std::uint32_t Seq;
            TGtfsShapePoint P;
        };
        std::vector<std::vector<TRaw>> Raw;
        std::uint64_t Points = 0;
        std::int32_t Last = -1;
        std::string LastId;
        TCsvReader& R = *T.Reader;
        while (NextRow(T)) {
            TRaw P;
            if (R.Field(Id).empty()) {
                Skip(T, "пустой идентификатор", Where(T, "shape_id"));
                continue;
            }
            if (!ParseDouble(R.Field(Lat), P.P.Lat) || !ValidGeoPoint({0, P.P.Lat})) {
                Skip(T, "неверные координаты", Where(T, "shape_pt_lat"));
                continue;
            }
            if (!ParseDouble(R.Field(Lon), P.P.Lon) || !ValidGeoPoint({P.P.Lon, 0})) {
                Skip(T, "неверные координаты", Where(T, "shape_pt_lon"));
                continue;
            }
            if (!ParseInt(R.Field(Seq), P.Seq)) {
                Skip(T, "неверный порядковый номер", Where(T, "shape_pt_sequence"));
                continue;
            }
            if (Last < 0 || R.Field(Id) != LastId) {
                LastId = R.Field(Id);
                auto [It, New] = FShapeIds.emplace(LastId, std::uint32_t(Raw.size()));
                if (New) {
                    Raw.emplace_back();
                    FFeed.Shapes.push_back({LastId, {}});
                }
                Last = static_cast<std::int32_t>(It->second);
            }
            if (++Points > FLimits.ShapePoints)
                throw EZemError("\"shapes.txt\": больше " + std::to_string(FLimits.ShapePoints) +
                                " точек форм — столько не бывает даже в стране, файл испорчен");
            Raw[Last].push_back(P);
        }
        for (std::size_t S = 0; S < Raw.size(); ++S) {
            std::vector<TRaw>& V = Raw[S];
            std::stable_sort(V.begin(), V.end(), [](const TRaw& A, const TRaw& B) { return A.Seq < B.Seq; });
            std::vector<TGtfsShapePoint>& Out = FFeed.Shapes[S].Points;
            Out.reserve(V.size());
            for (std::size_t I = 0; I < V.size(); ++I) {
                if (I > 0 && V[I].Seq == V[I - 1].Seq) {
                    FFeed.Skip("повторный shape_pt_sequence",
                               "\"shapes.txt\", shape_id \"" + FFeed.Shapes[S].Id + "\"");
                    continue;
                }
                Out.push_back(V[I].P);
            }
            std::vector<TRaw>().swap(V);
        }
        Finish(T, false, 0);
    }

    void ReadTrips() {
        TTable T = Open("trips.txt");
        const TCsvHeader& H = *T.Header;
        const int Route = H.Require("route_id"), Id = H.Require("trip_id"), Shape = H.Find("shape_id");
        TCsvReader& R = *T.Reader;
        while (NextRow(T)) {
            if (R.Field(Id).empty()) {
                Skip(T, "пустой идентификатор", Where(T, "trip_id"));
                continue;
            }
            TGtfsTrip Trip;
            const std::int32_t Rt = Lookup(FRouteIds, R.Field(Route));
            if (Rt < 0) {
                Skip(T, "ссылка на неизвестный маршрут", Where(T, "route_id"));
                continue;
            }
            Trip.Route = static_cast<std::uint32_t>(Rt);
            Limit(T, FFeed.Trips, FLimits.Trips, "рейсов");
            if (!FTripIds.emplace(std::string(R.Field(Id)), std::uint32_t(FFeed.Trips.size())).second) {
                Skip(T, "повторный идентификатор", Where(T, "trip_id"));
                continue;
            }
            if (Shape >= 0 && !R.Field(Shape).empty()) {
                Trip.Shape = Lookup(FShapeIds, R.Field(Shape));
                if (Trip.Shape < 0)
                    FFeed.Skip("ссылка на неизвестную форму (сегменты рейса прямые)", Where(T, "shape_id"));
            }
            FFeed.Trips.push_back(Trip);
        }
        Finish(T, true, FFeed.Trips.size());
    }

    // The rows of one trip met in a row of the file; a trip whose rows are scattered over the file is
    // merged with what its earlier rows made. Keys keep the sequence numbers for such merges; the
    // patterns handed out keep only the stops, so trips numbered differently share them.
    void FlushRun(std::int32_t Trip, std::vector<std::pair<std::uint32_t, std::uint32_t>>& Run) {
        if (Trip < 0 || Run.empty())
            return;
        std::int32_t& TripKey = FTripKeys[Trip];
        if (TripKey >= 0) {
            const TPatternKey& Old = FPatternKeys[TripKey];
            for (std::size_t I = 0; I < Old.Seq.size(); ++I)
                Run.emplace_back(Old.Seq[I], Old.Stops[I]);
        }
        std::stable_sort(Run.begin(), Run.end(),
                         [](const auto& A, const auto& B) { return A.first < B.first; });
        TPatternKey Key;
        Key.Seq.reserve(Run.size());
        Key.Stops.reserve(Run.size());
        for (std::size_t I = 0; I < Run.size(); ++I) {
            if (I > 0 && Run[I].first == Run[I - 1].first) {
                FFeed.Skip("повторный stop_sequence в рейсе",
                           "\"stop_times.txt\", stop_sequence " + std::to_string(Run[I].first));
                continue;
            }
            Key.Seq.push_back(Run[I].first);
            Key.Stops.push_back(Run[I].second);
        }
        Run.clear();
        TripKey = Intern(FKeyIndex, FPatternKeys, std::move(Key), true);
    }

    static std::size_t HashOf(const std::vector<std::uint32_t>& V, const std::vector<std::uint32_t>* Seq) {
        std::size_t Hash = V.size();
        for (std::size_t I = 0; I < V.size(); ++I)
            Hash = (Hash * 1000003u) ^ (Seq ? (std::size_t((*Seq)[I]) << 32 | V[I]) : V[I]);
        return Hash;
    }

    // Index of Key in Keys, appended when new.
    std::int32_t Intern(std::unordered_map<std::size_t, std::vector<std::int32_t>>& Index,
                        std::vector<TPatternKey>& Keys, TPatternKey&& Key, bool WithSeq) {
        std::vector<std::int32_t>& Bucket = Index[HashOf(Key.Stops, WithSeq ? &Key.Seq : nullptr)];
        for (std::int32_t P : Bucket)
            if (Keys[P].Stops == Key.Stops && (!WithSeq || Keys[P].Seq == Key.Seq))
                return P;
        FPatternStops += WithSeq ? Key.Stops.size() : 0;
        if (FPatternStops > FLimits.PatternStops)
            throw EZemError("\"stop_times.txt\": больше " + std::to_string(FLimits.PatternStops) +
                            " остановок в разных последовательностях рейсов — файл испорчен");
        Bucket.push_back(static_cast<std::int32_t>(Keys.size()));
        Keys.push_back(std::move(Key));
        return Bucket.back();
    }

    void ReadStopTimes() {
        TTable T = Open("stop_times.txt");
        const TCsvHeader& H = *T.Header;
        const int Trip = H.Require("trip_id"), Stop = H.Require("stop_id"), Seq = H.Require("stop_sequence");
        const int Arr = H.Find("arrival_time"), Dep = H.Find("departure_time");
        TCsvReader& R = *T.Reader;
        FTripKeys.assign(FFeed.Trips.size(), -1);
        std::vector<std::pair<std::uint32_t, std::uint32_t>> Run;
        std::string CurId;
        std::int32_t Cur = -1;
        bool HaveCur = false;
        while (NextRow(T)) {
            const std::string_view TripId = R.Field(Trip);
            if (!HaveCur || TripId != CurId) {
                FlushRun(Cur, Run);
                CurId = TripId;
                Cur = Lookup(FTripIds, TripId);
                HaveCur = true;
            }
            if (Cur < 0) {
                Skip(T, "ссылка на неизвестный рейс", Where(T, "trip_id"));
                continue;
            }
            const std::int32_t S = Lookup(FStopIds, R.Field(Stop));
            if (S < 0) {
                Skip(T, "ссылка на неизвестную остановку", Where(T, "stop_id"));
                continue;
            }
            if (FFeed.Stops[S].LocationType != 0) {
                Skip(T, "рейс останавливается не на остановке, а на станции или входе", Where(T, "stop_id"));
                continue;
            }
            std::uint32_t Sequence;
            if (!ParseInt(R.Field(Seq), Sequence)) {
                Skip(T, "неверный stop_sequence", Where(T, "stop_sequence"));
                continue;
            }
            if ((Arr >= 0 && !R.Field(Arr).empty() && !ValidTime(R.Field(Arr))) ||
                (Dep >= 0 && !R.Field(Dep).empty() && !ValidTime(R.Field(Dep)))) {
                Skip(T, "неверное время",
                     Where(T, (Arr >= 0 && !R.Field(Arr).empty() && !ValidTime(R.Field(Arr)))
                                  ? "arrival_time"
                                  : "departure_time"));
                continue;
            }
            Run.emplace_back(Sequence, static_cast<std::uint32_t>(S));
            ++FFeed.StopTimes;
        }
        FlushRun(Cur, Run);
        Finish(T, true, FFeed.StopTimes);
        // Trips numbered differently but halting alike share one pattern.
        std::vector<std::int32_t> Public(FPatternKeys.size());
        std::unordered_map<std::size_t, std::vector<std::int32_t>> Index;
        std::vector<TPatternKey> Stops;
        for (std::size_t K = 0; K < FPatternKeys.size(); ++K)
            Public[K] = Intern(Index, Stops, {{}, std::move(FPatternKeys[K].Stops)}, false);
        std::vector<TPatternKey>().swap(FPatternKeys);
        FKeyIndex.clear();
        FFeed.Patterns.reserve(Stops.size());
        for (TPatternKey& K : Stops)
            FFeed.Patterns.push_back({std::move(K.Stops)});
        for (std::size_t T = 0; T < FFeed.Trips.size(); ++T)
            if (FTripKeys[T] >= 0) {
                FFeed.Trips[T].Pattern = Public[FTripKeys[T]];
                for (std::uint32_t S : FFeed.Patterns[FFeed.Trips[T].Pattern].Stops)
                    FFeed.Stops[S].Used = true;
            }
        std::vector<std::int32_t>().swap(FTripKeys);
    }

    void ReadTransfers() {
        TTable T = Open("transfers.txt");
        const TCsvHeader& H = *T.Header;
        const int From = H.Require("from_stop_id"), To = H.Require("to_stop_id"),
                  Type = H.Find("transfer_type");
        TCsvReader& R = *T.Reader;
        while (NextRow(T)) {
            // Trip-to-trip transfers name no stops; "not possible" and in-seat transfers need no walk.
            if (R.Field(From).empty() && R.Field(To).empty())
                continue;
            int Kind = 0;
            if (Type >= 0 && !R.Field(Type).empty() && !ParseInt(R.Field(Type), Kind)) {
                Skip(T, "неверный transfer_type", Where(T, "transfer_type"));
                continue;
            }
            if (Kind >= 3)
                continue;
            const std::int32_t A = Lookup(FStopIds, R.Field(From)), B = Lookup(FStopIds, R.Field(To));
            if (A < 0 || B < 0) {
                Skip(T, "ссылка на неизвестную остановку", Where(T, A < 0 ? "from_stop_id" : "to_stop_id"));
                continue;
            }
            if (A == B)
                continue;
            Limit(T, FFeed.Transfers, FLimits.Transfers, "пересадок");
            FFeed.Transfers.push_back({std::uint32_t(A), std::uint32_t(B)});
        }
        Finish(T, false, 0);
    }

    const TFeedSource& FSource;
    const TGtfsProgress& FProgress;
    const TGtfsLimits& FLimits;
    TGtfsFeed FFeed;
    TIdMap FStopIds, FRouteIds, FTripIds, FShapeIds;
    std::vector<TPatternKey> FPatternKeys;
    std::unordered_map<std::size_t, std::vector<std::int32_t>> FKeyIndex;
    std::vector<std::int32_t> FTripKeys;
    std::uint64_t FPatternStops = 0;
    std::uint64_t FTotal = 0, FDoneBefore = 0, FTicks = 0;
};

} // namespace

TGtfsFeed ReadGtfsFeed(const TFeedSource& Source, const TGtfsProgress& Progress, const TGtfsLimits& Limits) {
    return TFeedReader(Source, Progress, Limits).Read();
}

TGtfsFeed ReadGtfsFeed(const std::string& Path, const TGtfsProgress& Progress, const TGtfsLimits& Limits) {
    const std::unique_ptr<TFeedSource> Source = OpenFeedSource(Path);
    return ReadGtfsFeed(*Source, Progress, Limits);
}

} // namespace zem
