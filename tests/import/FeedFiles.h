#pragma once
// Small feeds written to a temporary folder or zip for the import tests.
#include <zip.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <stdexcept>
#include <string>
#include <unistd.h>

namespace zem::test {

using TFeedTables = std::map<std::string, std::string>;

// A temporary folder removed at the end of the test.
class TTempDir {
public:
    TTempDir() {
        std::string Pattern = (std::filesystem::temp_directory_path() / "zemfeed-XXXXXX").string();
        if (!mkdtemp(Pattern.data()))
            throw std::runtime_error("mkdtemp");
        FPath = Pattern;
    }
    ~TTempDir() {
        std::error_code Ec;
        std::filesystem::remove_all(FPath, Ec);
    }
    const std::filesystem::path& Path() const { return FPath; }

private:
    std::filesystem::path FPath;
};

inline std::string WriteFeedFolder(const std::filesystem::path& Folder, const TFeedTables& Tables) {
    std::filesystem::create_directories(Folder);
    for (const auto& [Name, Text] : Tables)
        std::ofstream(Folder / Name, std::ios::binary) << Text;
    return Folder.string();
}

inline std::string WriteFeedZip(const std::filesystem::path& File, const TFeedTables& Tables) {
    int Error = 0;
    zip_t* Z = zip_open(File.c_str(), ZIP_CREATE | ZIP_TRUNCATE, &Error);
    if (!Z)
        throw std::runtime_error("zip_open");
    for (const auto& [Name, Text] : Tables) {
        zip_source_t* S = zip_source_buffer(Z, Text.data(), Text.size(), 0);
        if (!S || zip_file_add(Z, Name.c_str(), S, ZIP_FL_OVERWRITE) < 0)
            throw std::runtime_error("zip_file_add");
    }
    if (zip_close(Z) != 0)
        throw std::runtime_error("zip_close");
    return File.string();
}

// A two-line network with Cyrillic names: line "А" (bus) runs 1-2-3, the tram 5-3-4 and 4-3; stops 2
// and 5 are platforms of the station "Вокзал"; shape "sh1" follows line А.
inline TFeedTables CyrillicFeed() {
    return {
        {"agency.txt", "agency_id,agency_name,agency_url,agency_timezone\n"
                       "1,Гортранс,http://example.org,Europe/Moscow\n"},
        {"stops.txt", "\xEF\xBB\xBFstop_id,stop_name,stop_lat,stop_lon,location_type,parent_station\r\n"
                      "1,\"Улица Ленина\",55.7500,37.6000,0,\r\n"
                      "2,\"Вокзал, платформа 1\",55.7500,37.6100,0,ST\r\n"
                      "ST,Вокзал,55.7502,37.6105,1,\r\n"
                      "3,\"Площадь \"\"Мира\"\"\",55.7500,37.6200,,\r\n"
                      "4,  Парк  ,55.7600,37.6200,0,\r\n"
                      "5,\"Вокзал,\nплатформа 2\",55.7504,37.6110,0,ST\r\n"},
        {"routes.txt", "route_type,route_long_name,route_id,route_short_name,route_color,extra\n"
                       "3,Автобусная,R1,А,FF0000,x\n"
                       "0,Трамвайная,R2,,,y\n"},
        {"trips.txt", "route_id,service_id,trip_id,shape_id\n"
                      "R1,S,t1,sh1\nR1,S,t2,sh1\nR2,S,t3,\nR2,S,t4,\n"},
        {"stop_times.txt", "trip_id,arrival_time,departure_time,stop_id,stop_sequence\n"
                           "t1,08:00:00,08:00:00,1,1\nt1,08:05:00,08:05:00,2,2\nt1,08:10:00,08:10:00,3,3\n"
                           "t2,25:00:00,25:00:00,1,10\nt2,,,2,20\nt2,25:10:00,25:10:00,3,30\n"
                           "t3,08:55:00,08:55:00,5,0\nt3,09:00:00,09:00:00,3,1\nt3,09:05:00,09:05:00,4,2\n"
                           "t4,09:00:00,09:00:00,4,1\nt4,09:05:00,09:05:00,3,2\n"},
        {"shapes.txt", "shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence\n"
                       "sh1,55.7501,37.6000,1\nsh1,55.7510,37.6050,2\nsh1,55.7501,37.6100,3\n"
                       "sh1,55.7490,37.6150,4\nsh1,55.7501,37.6200,5\n"},
        {"transfers.txt", "from_stop_id,to_stop_id,transfer_type\n1,4,2\n4,1,3\n"},
    };
}

} // namespace zem::test
