// `zemmap-cli render FILE.mp OUT.(bmp|png)`: the picture the map window shows for a view, written to a
// file. The view is the one stored in the map unless the options move it; the frame is rendered by the
// same pipeline as the window's, into a back buffer of the requested size.
#include "cli/ZemCliCommands.h"
#include "model/ZemMap.h"
#include "platform/ZemHeadlessHost.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <exception>

namespace zem {

namespace {

const char* const kRenderUsage =
    "Использование: zemmap-cli render ФАЙЛ.mp ВЫХОД.bmp|ВЫХОД.png [--size ШxВ] [--scale S] [--center X,Y]\n"
    "                                [--transport] [--grid]\n"
    "  Рисует карту так, как её показывает окно, и записывает картинку.\n"
    "  --size ШxВ     размер картинки в точках (по умолчанию: размер окна, из которого карта сохранена)\n"
    "  --scale S      масштаб в процентах (по умолчанию: масштаб карты)\n"
    "  --center X,Y   точка мира в середине картинки (по умолчанию: середина вида карты)\n"
    "  --transport    показать транспортную сеть\n"
    "  --grid         показать координатную сетку\n";

constexpr int kMaxSide = 16384;

bool ParseFloat(const std::string& S, float& V) {
    const char* End = S.data() + S.size();
    auto R = std::from_chars(S.data(), End, V);
    return R.ec == std::errc() && R.ptr == End && std::isfinite(V);
}

bool ParseInt(const std::string& S, int& V) {
    const char* End = S.data() + S.size();
    auto R = std::from_chars(S.data(), End, V);
    return R.ec == std::errc() && R.ptr == End;
}

bool EndsWith(std::string S, const char* Suffix) {
    std::transform(S.begin(), S.end(), S.begin(),
                   [](unsigned char C) { return static_cast<char>(std::tolower(C)); });
    const std::string Tail = Suffix;
    return S.size() > Tail.size() && S.compare(S.size() - Tail.size(), Tail.size(), Tail) == 0;
}

int Wrong(const std::string& Why) {
    std::fprintf(stderr, "zemmap-cli render: %s\n%s", Why.c_str(), kRenderUsage);
    return 2;
}

} // namespace

int ParseRenderArgs(const TCliArgs& Args, TRenderOptions& Options) {
    Options = TRenderOptions{};
    std::vector<std::string> Files;
    for (size_t i = 0; i < Args.size(); ++i) {
        const std::string& A = Args[i];
        auto Value = [&](std::string& Out) {
            if (i + 1 >= Args.size())
                return false;
            Out = Args[++i];
            return true;
        };
        std::string V;
        if (A == "--help" || A == "-h") {
            Options.Help = true;
            return 0;
        } else if (A == "--transport") {
            Options.Transport = true;
        } else if (A == "--grid") {
            Options.Grid = true;
        } else if (A == "--size") {
            const size_t X = Value(V) ? V.find('x') : std::string::npos;
            int W = 0, H = 0;
            if (X == std::string::npos || !ParseInt(V.substr(0, X), W) || !ParseInt(V.substr(X + 1), H) ||
                W < 1 || H < 1 || W > kMaxSide || H > kMaxSide)
                return Wrong("параметру \"--size\" нужно ШxВ, каждая сторона от 1 до 16384");
            Options.Width = W;
            Options.Height = H;
        } else if (A == "--scale") {
            float S = 0;
            if (!Value(V) || !ParseFloat(V, S) || !(S > 0))
                return Wrong("параметру \"--scale\" нужно положительное число");
            Options.Scale = S;
        } else if (A == "--center") {
            const size_t C = Value(V) ? V.find(',') : std::string::npos;
            float X = 0, Y = 0;
            if (C == std::string::npos || !ParseFloat(V.substr(0, C), X) || !ParseFloat(V.substr(C + 1), Y))
                return Wrong("параметру \"--center\" нужно X,Y");
            Options.HasCenter = true;
            Options.CenterX = X;
            Options.CenterY = Y;
        } else if (!A.empty() && A[0] == '-') {
            return Wrong("неизвестный параметр \"" + A + "\"");
        } else {
            Files.push_back(A);
        }
    }
    if (Files.size() > 2)
        return Wrong("лишний аргумент \"" + Files[2] + "\"");
    if (Files.size() < 2)
        return Wrong(Files.empty() ? "не указан аргумент ФАЙЛ.mp" : "не указан аргумент ВЫХОД.bmp|ВЫХОД.png");
    Options.MapFile = Files[0];
    Options.OutFile = Files[1];
    if (!EndsWith(Options.OutFile, ".bmp") && !EndsWith(Options.OutFile, ".png"))
        return Wrong("имя картинки \"" + Options.OutFile + "\" должно оканчиваться на .bmp или .png");
    return 0;
}

int RenderMapCommand(TZemMap& Map, const TRenderOptions& O) {
    // The view as stored; the window it was saved from had ViewWidthHeight * Scale / 100 pixels.
    const float Scale = O.Scale > 0 ? O.Scale : Map.View.Scale;
    if (!(Scale > 0) || !std::isfinite(Scale)) {
        std::fprintf(stderr, "zemmap-cli render: \"%s\": масштаб карты непригоден; укажите --scale\n",
                     O.MapFile.c_str());
        return 1;
    }
    int W = O.Width, H = O.Height;
    if (W == 0 || H == 0) {
        auto Side = [&](float Extent) {
            const double P = std::round(static_cast<double>(Extent) * Map.View.Scale / 100);
            return std::isfinite(P) && P >= 1 ? static_cast<int>(std::min<double>(P, 4096)) : 800;
        };
        W = Side(Map.View.ViewWidthHeight.X);
        H = Side(Map.View.ViewWidthHeight.Y);
    }
    const float CX = O.HasCenter ? O.CenterX : Map.View.LeftTop.X + Map.View.ViewWidthHeight.X / 2;
    const float CY = O.HasCenter ? O.CenterY : Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y / 2;

    Map.SetAutoUpdate(false);
    Map.Resize(W, H);
    Map.SetView(TXYPoint{CX, CY}, Scale);
    if (O.Transport)
        Map.SetShowTransportNet(true);
    if (O.Grid)
        Map.SetShowGrid(true);
    Map.SetAutoUpdate(true); // visible list, global extent, one frame
    try {
        Map.ExportBmp(O.OutFile);
    } catch (const std::exception& E) {
        std::fprintf(stderr, "zemmap-cli render: %s\n", E.what()); // the message names the file
        return 1;
    }
    std::printf("%s: %dx%d точек, масштаб %g %%, нарисовано объектов: %d из %d\n", O.OutFile.c_str(), W, H,
                static_cast<double>(Scale), Map.View.VisibleList.Count(), Map.Count());
    return 0;
}

int RenderCommand(const TCliArgs& Args, const TMapLoader& Load) {
    TRenderOptions Options;
    if (int Code = ParseRenderArgs(Args, Options); Code != 0)
        return Code;
    if (Options.Help) {
        std::fputs(kRenderUsage, stdout);
        return 0;
    }
    HeadlessHost Host(Options.Width > 0 ? Options.Width : 400, Options.Height > 0 ? Options.Height : 400);
    TZemMap Map(Host);
    if (!Load(Map, Options.MapFile)) {
        for (const std::string& M : Host.Messages) // what the loader told the user
            std::fprintf(stderr, "zemmap-cli render: \"%s\": %s\n", Options.MapFile.c_str(), M.c_str());
        if (Host.Messages.empty())
            std::fprintf(stderr, "zemmap-cli render: \"%s\": не удалось прочитать карту\n",
                         Options.MapFile.c_str());
        return 1;
    }
    return RenderMapCommand(Map, Options);
}

int CmdRender(const TCliArgs& Args) {
    return RenderCommand(Args, [](TZemMap& Map, const std::string& FileName) {
        // The frame is rendered once the view is set; the load itself draws nothing. Without a size yet,
        // the map keeps the stored extent, which tells the size of the window it was saved from.
        Map.SetAutoUpdate(false);
        Map.Resize(0, 0);
        return Map.LoadFromFile(FileName);
    });
}

} // namespace zem
