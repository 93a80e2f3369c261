#pragma once
// A made-up transit feed written to a folder: a grid city of stops 250 m apart, lines along its rows and
// columns (40 stops each, both ways, with shapes), and as many trips per line as the wanted size of
// stop_times.txt asks for. Rows look like real ones, times and distances included.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <vector>

namespace zem::bench {

struct TFeedGen {
    int Side = 122;     // stops per row and column: 122 x 122 ~ 15,000 stops
    int LineStops = 40; // stops per line
    std::uint64_t TripsPerPattern = 2;
    std::uint64_t StopTimeBytes = 0; // written
    std::uint64_t StopTimeRows = 0;
    int Patterns = 0;

    class TOut {
    public:
        explicit TOut(const std::filesystem::path& P) : F(std::fopen(P.c_str(), "wb")) {
            if (!F)
                throw std::runtime_error("cannot write " + P.string());
        }
        ~TOut() {
            Flush();
            std::fclose(F);
        }
        TOut& operator<<(const std::string& S) {
            Buf += S;
            if (Buf.size() > (1 << 20))
                Flush();
            return *this;
        }
        void Flush() {
            Bytes += std::fwrite(Buf.data(), 1, Buf.size(), F);
            Buf.clear();
        }
        std::uint64_t Bytes = 0;

    private:
        std::FILE* F;
        std::string Buf;
    };

    static double Lat(int Row) { return 55.60 + Row * 250.0 / 111320.0; }
    static double Lon(int Col) { return 37.40 + Col * 250.0 / (111320.0 * 0.5664); }

    // Lines: for every row and column, pieces of LineStops stops; each runs both ways.
    template <class F> void ForEachPattern(F&& Visit) const {
        int Id = 0;
        for (int Axis = 0; Axis < 2; ++Axis)
            for (int Row = 0; Row < Side; ++Row)
                for (int From = 0; From < Side; From += LineStops)
                    for (int Back = 0; Back < 2; ++Back) {
                        const int To = std::min(Side, From + LineStops);
                        std::vector<int> Stops;
                        for (int K = From; K < To; ++K) {
                            const int C = Back ? To - 1 - (K - From) : K;
                            Stops.push_back(Axis == 0 ? Row * Side + C : C * Side + Row);
                        }
                        Visit(Id, Id / 2, Stops);
                        ++Id;
                    }
    }

    void Write(const std::filesystem::path& Dir) {
        std::filesystem::create_directories(Dir);
        {
            TOut A(Dir / "agency.txt");
            A << "agency_id,agency_name,agency_url,agency_timezone\n1,\"Тестовый "
                 "транспорт\",http://example.org,"
                 "Europe/Moscow\n";
        }
        {
            TOut S(Dir / "stops.txt");
            S << "stop_id,stop_code,stop_name,stop_lat,stop_lon,location_type\n";
            char Line[160];
            for (int R = 0; R < Side; ++R)
                for (int C = 0; C < Side; ++C) {
                    std::snprintf(Line, sizeof Line, "s%d,%d,\"Улица %d, дом %d\",%.6f,%.6f,0\n",
                                  R * Side + C, R * Side + C, R + 1, C + 1, Lat(R), Lon(C));
                    S << Line;
                }
        }
        TOut Routes(Dir / "routes.txt"), Trips(Dir / "trips.txt"), Shapes(Dir / "shapes.txt"),
            Times(Dir / "stop_times.txt");
        Routes << "route_id,agency_id,route_short_name,route_long_name,route_type,route_color\n";
        Trips << "route_id,service_id,trip_id,direction_id,shape_id\n";
        Shapes << "shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence,shape_dist_traveled\n";
        Times << "trip_id,arrival_time,departure_time,stop_id,stop_sequence,pickup_type,drop_off_type,"
                 "shape_dist_traveled\n";
        const int Kinds[] = {3, 0, 11};
        char Line[200];
        std::uint64_t Trip = 0;
        ForEachPattern([&](int Pattern, int Route, const std::vector<int>& Stops) {
            ++Patterns;
            if (Pattern % 2 == 0) {
                std::snprintf(Line, sizeof Line, "r%d,1,%d,\"Линия %d\",%d,\n", Route, Route + 1, Route + 1,
                              Kinds[Route % 3]);
                Routes << Line;
            }
            // The shape runs 5 m beside the street, with a point between every two stops.
            for (std::size_t K = 0; K < Stops.size(); ++K) {
                const int R = Stops[K] / Side, C = Stops[K] % Side;
                std::snprintf(Line, sizeof Line, "p%d,%.7f,%.7f,%zu,%.1f\n", Pattern, Lat(R) + 5 / 111320.0,
                              Lon(C), 2 * K, 250.0 * K);
                Shapes << Line;
                if (K + 1 < Stops.size()) {
                    const int R2 = Stops[K + 1] / Side, C2 = Stops[K + 1] % Side;
                    std::snprintf(Line, sizeof Line, "p%d,%.7f,%.7f,%zu,%.1f\n", Pattern,
                                  (Lat(R) + Lat(R2)) / 2 + 5 / 111320.0, (Lon(C) + Lon(C2)) / 2, 2 * K + 1,
                                  250.0 * K + 125);
                    Shapes << Line;
                }
            }
            for (std::uint64_t T = 0; T < TripsPerPattern; ++T, ++Trip) {
                std::snprintf(Line, sizeof Line, "r%d,wd,t%llu,%d,p%d\n", Route, (unsigned long long)Trip,
                              Pattern % 2, Pattern);
                Trips << Line;
                int Seconds = 5 * 3600 + static_cast<int>(T % 1000) * 60;
                for (std::size_t K = 0; K < Stops.size(); ++K, Seconds += 90) {
                    std::snprintf(Line, sizeof Line, "t%llu,%02d:%02d:%02d,%02d:%02d:%02d,s%d,%zu,0,0,%.1f\n",
                                  (unsigned long long)Trip, Seconds / 3600, Seconds / 60 % 60, Seconds % 60,
                                  Seconds / 3600, Seconds / 60 % 60, Seconds % 60, Stops[K], K + 1,
                                  250.0 * K);
                    Times << Line;
                    ++StopTimeRows;
                }
            }
        });
        Times.Flush();
        StopTimeBytes = Times.Bytes;
    }

    // Trips per pattern for a stop_times.txt of about Bytes.
    std::uint64_t TripsFor(std::uint64_t Bytes) const {
        int P = 0;
        std::uint64_t Rows = 0;
        ForEachPattern([&](int, int, const std::vector<int>& Stops) {
            ++P;
            Rows += Stops.size();
        });
        return std::max<std::uint64_t>(1, Bytes / (Rows * 46));
    }
};

} // namespace zem::bench
