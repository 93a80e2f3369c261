// zemmap-cli import: OpenStreetMap extracts (and the other kinds the import knows) into one new map.
#include "cli/ZemCliCommands.h"
#include "import/ZemImport.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <charconv>
#include <cstdio>
#include <optional>
#include <unistd.h>

namespace zem {

namespace {

const char* const kImportUsage =
    "Использование: zemmap-cli import ВЫХОД.mp ВХОД... [--bbox W,S,E,N] [--level L]\n"
    "               zemmap-cli import --into КАРТА.mp ВХОД... [--bbox W,S,E,N] [--level L]\n"
    "  Строит карту из выгрузок OpenStreetMap (.osm.pbf, .osm, .osm.gz, .osm.bz2) и расписаний\n"
    "  GTFS (архив .zip или папка с таблицами); вид входа определяется по содержимому. Несколько\n"
    "  входов ложатся на одну карту в одной проекции.\n"
    "  --into КАРТА.mp добавить входы в существующую карту (в её проекции) и сохранить её\n"
    "  --bbox W,S,E,N  только объекты, заходящие в прямоугольник (долгота и широта, градусы)\n"
    "  --level L       уровень сжатия файла карты, 0 ... 4 (по умолчанию 3)\n";

bool ParseBox(const std::string& S, TZemGeoBox& Box) {
    double V[4];
    const char* P = S.data();
    const char* End = S.data() + S.size();
    for (int i = 0; i < 4; ++i) {
        const auto [Next, Ec] = std::from_chars(P, End, V[i]);
        if (Ec != std::errc())
            return false;
        P = Next;
        if (i < 3) {
            if (P == End || *P != ',')
                return false;
            ++P;
        }
    }
    if (P != End || !(V[0] < V[2]) || !(V[1] < V[3]) || !ValidGeoPoint({V[0], V[1]}) ||
        !ValidGeoPoint({V[2], V[3]}))
        return false;
    Box.Add({V[0], V[1]});
    Box.Add({V[2], V[3]});
    return true;
}

} // namespace

int CmdImport(const TCliArgs& Args) {
    std::vector<std::filesystem::path> Files;
    TZemImportOptions Options;
    int Level = 3;
    bool LevelGiven = false;
    std::optional<std::filesystem::path> Into;
    std::string Wrong;
    for (std::size_t i = 0; i < Args.size() && Wrong.empty(); ++i) {
        const std::string& A = Args[i];
        if (A == "--help" || A == "-h") {
            std::fputs(kImportUsage, stdout);
            return 0;
        }
        if (A == "--bbox" || A == "--level" || A == "--into") {
            if (i + 1 >= Args.size()) {
                Wrong = "параметру \"" + A + "\" нужно значение";
                break;
            }
            const std::string& V = Args[++i];
            if (A == "--into") {
                Into = V;
            } else if (A == "--level") {
                if (V.size() != 1 || V[0] < '0' || V[0] > '4')
                    Wrong = "уровень сжатия должен быть числом от 0 до 4, а не \"" + V + "\"";
                else
                    Level = V[0] - '0', LevelGiven = true;
            } else {
                TZemGeoBox Box;
                if (!ParseBox(V, Box))
                    Wrong =
                        "\"--bbox\" ждёт W,S,E,N в градусах (запад < восток, юг < север), а не \"" + V + "\"";
                else
                    Options.BBox = Box;
            }
        } else if (A.size() > 1 && A[0] == '-') {
            Wrong = "неизвестный параметр \"" + A + "\"";
        } else {
            Files.emplace_back(A);
        }
    }
    if (Wrong.empty() && Into)
        Files.insert(Files.begin(), *Into); // the map is read, added to and written back
    if (Wrong.empty() && Files.empty())
        Wrong = "не указан аргумент ВЫХОД.mp";
    else if (Wrong.empty() && Files.size() < 2)
        Wrong = "не указан аргумент ВХОД";
    if (!Wrong.empty()) {
        std::fprintf(stderr, "zemmap-cli import: %s\n%s", Wrong.c_str(), kImportUsage);
        return 2;
    }
    const std::filesystem::path Out = Files.front();
    const std::vector<std::filesystem::path> Inputs(Files.begin() + 1, Files.end());

    HeadlessHost Host;
    TZemMap Map(Host);
    if (Into && !LoadMapFor("import", Map, Host, Into->string()))
        return 1;
    Map.SetAutoUpdate(false);
    Map.Resize(0, 0);
    TZemImportProgress Progress;
    if (isatty(2))
        Progress.OnProgress = [](const std::string& Phase, std::int32_t Percent) {
            std::fprintf(stderr, "\r%s: %d %%   ", Phase.c_str(), Percent);
        };
    const TZemImportSummary Summary = ImportInto(Map, Inputs, Options, Progress);
    if (isatty(2))
        std::fputs("\rСохранение карты...              \r", stderr);
    if (!Into || LevelGiven) // an existing map keeps its own level unless asked
        Map.SetCompression(static_cast<std::uint8_t>(Level));
    Map.SaveToFile(Out.string()); // written beside the target and renamed over it: whole or not at all
    std::printf("%s: %d объектов\n%s", Out.string().c_str(), Map.Count(), Summary.Text().c_str());
    return 0;
}

} // namespace zem
