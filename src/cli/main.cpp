// zemmap-cli: the headless face of the ZemMap core, for scripting and for people without a display.
#include "cli/ZemCliCommands.h"
#include "model/ZemErrors.h"

#include <cerrno>
#include <clocale>
#include <cstdio>
#include <cstring>
#include <exception>
#include <iostream>
#include <string>

using namespace zem;

namespace {

const TCliCommand Commands[] = {
    {"info", "сводка о файле карты", CmdInfo},
    {"dump", "все поля файла карты в виде JSON", CmdDump},
    {"export-text", "текстовый экспорт карты в папку", CmdExportText},
    {"repack", "сохранить карту заново с другим уровнем сжатия", CmdRepack},
    {"route", "найти дешёвый маршрут через точки поиска карты", CmdRoute},
    {"render", "нарисовать вид карты в картинку BMP или PNG", CmdRender},
    {"import", "построить карту из выгрузки OpenStreetMap", CmdImport},
    {"demo", "построить небольшую карту в памяти и показать масштабирование и сдвиг", CmdDemo},
};

int Usage(FILE* Out) {
    std::fputs("Использование: zemmap-cli <команда> [аргументы]    (zemmap-cli <команда> --help "
               "для подробностей)\n\nкоманды:\n",
               Out);
    for (const TCliCommand& C : Commands)
        std::fprintf(Out, "  %-14s %s\n", C.Name, C.Summary);
    return Out == stdout ? 0 : 2;
}

// What was printed must have arrived: a full disk or a closed pipe behind standard output is a failure
// of the command, not a success.
int CheckOutput(const std::string& Prefix, int Code) {
    errno = 0;
    const bool Flushed = std::fflush(stdout) == 0;
    const int Error = errno;
    if (Flushed && !std::ferror(stdout) && std::cout.good())
        return Code;
    std::fprintf(stderr, "%s: не удалось вывести результат%s%s\n", Prefix.c_str(), Error ? ": " : "",
                 Error ? zem::SystemErrorText(Error).c_str() : "");
    return Code == 0 ? 1 : Code;
}

int Run(int argc, char** argv) {
    if (argc < 2)
        return Usage(stderr);
    if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        return Usage(stdout);
    TCliArgs Args(argv + 2, argv + argc);
    for (const TCliCommand& C : Commands)
        if (std::strcmp(argv[1], C.Name) == 0) {
            try {
                return C.Run(Args);
            } catch (const std::exception& E) {
                std::fprintf(stderr, "zemmap-cli %s: %s\n", C.Name, E.what());
                return 1;
            }
        }
    std::fprintf(stderr, "zemmap-cli: неизвестная команда \"%s\"\n", argv[1]);
    Usage(stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    // The user's regional settings, read once: the text export writes their decimal separator.
    std::setlocale(LC_ALL, "");
    const int Code = Run(argc, argv);
    std::string Prefix = "zemmap-cli";
    for (const TCliCommand& C : Commands)
        if (argc >= 2 && std::strcmp(argv[1], C.Name) == 0)
            Prefix = Prefix + " " + C.Name;
    return CheckOutput(Prefix, Code);
}
