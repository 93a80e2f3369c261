// The map-file subcommands of zemmap-cli: info, dump, export-text and repack.
#include "base/ZemNumberText.h"
#include "base/ZemText.h"
#include "cli/ZemCliCommands.h"
#include "cli/ZemCliMapDump.h"
#include "cli/ZemCliRoute.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <cstdio>
#include <iostream>

namespace zem {

namespace {

// What a subcommand was given: its file arguments, the value of its one option if it has one, or the
// request for help.
struct TParsed {
    std::vector<std::string> Files;
    std::string Level;
    bool Help = false;
};

// Reads Args for a subcommand taking the files named in FileNames (in order) and, when WithLevel, the
// option "--level L". Returns 0 when usable (or help was asked), or 2 after naming the wrong argument and
// printing the usage on standard error.
int Parse(const char* Name, const TCliArgs& Args, const std::vector<const char*>& FileNames, bool WithLevel,
          const char* UsageText, TParsed& P) {
    std::string Wrong;
    for (size_t i = 0; i < Args.size() && Wrong.empty(); ++i) {
        const std::string& A = Args[i];
        if (A == "--help" || A == "-h")
            P.Help = true;
        else if (WithLevel && A == "--level") {
            if (i + 1 < Args.size())
                P.Level = Args[++i];
            else
                Wrong = "параметру \"--level\" нужно значение";
        } else if (A.size() > 1 && A[0] == '-')
            Wrong = "неизвестный параметр \"" + A + "\"";
        else if (P.Files.size() < FileNames.size())
            P.Files.push_back(A);
        else
            Wrong = "лишний аргумент \"" + A + "\"";
    }
    if (P.Help) {
        std::fputs(UsageText, stdout);
        return 0;
    }
    if (Wrong.empty() && P.Files.size() < FileNames.size())
        Wrong = std::string("не указан аргумент ") + FileNames[P.Files.size()];
    if (Wrong.empty() && WithLevel && P.Level.empty())
        Wrong = "не указан параметр \"--level\"";
    if (Wrong.empty())
        return 0;
    std::fprintf(stderr, "zemmap-cli %s: %s\n%s", Name, Wrong.c_str(), UsageText);
    return 2;
}

} // namespace

bool LoadMapFor(const char* Command, TZemMap& Map, HeadlessHost& Host, const std::string& File) {
    Map.SetAutoUpdate(false); // nothing here is drawn: the load need not render a frame
    Map.Resize(0, 0);         // and there is no window to fit: the view stays as the file has it
    if (Map.LoadFromFile(File))
        return true;
    for (const std::string& M : Host.Messages)
        std::fprintf(stderr, "zemmap-cli %s: \"%s\": %s\n", Command, File.c_str(), M.c_str());
    return false;
}

int CmdInfo(const TCliArgs& Args) {
    TParsed P;
    if (int Code = Parse("info", Args, {"ФАЙЛ.mp"}, false,
                         "Использование: zemmap-cli info ФАЙЛ.mp\n  Выводит сводку о файле карты.\n", P);
        Code != 0 || P.Help)
        return Code;
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!LoadMapFor("info", Map, Host, P.Files[0]))
        return 1;
    std::printf("%s", MapSummary(Map).c_str());
    return 0;
}

int CmdDump(const TCliArgs& Args) {
    TParsed P;
    if (int Code = Parse("dump", Args, {"ФАЙЛ.mp"}, false,
                         "Использование: zemmap-cli dump ФАЙЛ.mp\n"
                         "  Выводит все поля карты в виде JSON (UTF-8).\n",
                         P);
        Code != 0 || P.Help)
        return Code;
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!LoadMapFor("dump", Map, Host, P.Files[0]))
        return 1;
    std::fputs(MapJson(Map).c_str(), stdout);
    std::fputc('\n', stdout);
    return 0;
}

int CmdExportText(const TCliArgs& Args) {
    TParsed P;
    if (int Code = Parse("export-text", Args, {"ФАЙЛ.mp", "ПАПКА"}, false,
                         "Использование: zemmap-cli export-text ФАЙЛ.mp ПАПКА\n"
                         "  Записывает в ПАПКУ Objects.txt и справочники (Windows-1251); числа пишутся\n"
                         "  с десятичным разделителем региональных настроек.\n",
                         P);
        Code != 0 || P.Help)
        return Code;
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!LoadMapFor("export-text", Map, Host, P.Files[0]))
        return 1;
    // main took the locale from the environment at start.
    Map.ExportText(P.Files[1], LocaleDecimalSeparator());
    return 0;
}

int CmdRepack(const TCliArgs& Args) {
    TParsed P;
    if (int Code = Parse("repack", Args, {"ВХОД.mp", "ВЫХОД.mp"}, true,
                         "Использование: zemmap-cli repack ВХОД.mp ВЫХОД.mp --level L\n"
                         "  Сохраняет карту заново с уровнем сжатия L (0 ... 4).\n",
                         P);
        Code != 0 || P.Help)
        return Code;
    if (P.Level.size() != 1 || P.Level[0] < '0' || P.Level[0] > '4') {
        std::fprintf(stderr, "zemmap-cli repack: уровень сжатия должен быть числом от 0 до 4, а не \"%s\"\n",
                     P.Level.c_str());
        return 2;
    }
    HeadlessHost Host;
    TZemMap Map(Host);
    if (!LoadMapFor("repack", Map, Host, P.Files[0]))
        return 1;
    Map.SetCompression(static_cast<std::uint8_t>(P.Level[0] - '0'));
    Map.SaveToFile(P.Files[1]);
    return 0;
}

} // namespace zem
