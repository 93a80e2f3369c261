#include "import/ZemImport.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fstream>

namespace zem {

namespace {

// The name of a map made from Path: its file name without the extensions of OpenStreetMap files.
ZemString ImportedName(const std::filesystem::path& Path) {
    std::string Name = Path.filename().string();
    for (const char* Ext : {".gz", ".bz2", ".pbf", ".osm", ".zip"})
        if (Name.size() > std::strlen(Ext) && Name.ends_with(Ext))
            Name.resize(Name.size() - std::strlen(Ext));
    return FromUtf8(Name).substr(0, 255);
}

// The credit lines as texts in the bottom-left corner of the data, of a size that reads in the first
// view (they grow as the view zooms in, as the map's other texts do).
void PlaceAttributions(TZemMap& Map, const TZemImportTarget& Target) {
    const auto& Lines = Target.Attributions();
    if (Lines.empty() || Map.Doc.Order.Count() == 0)
        return;
    // The bottom-left corner of the first view (which the import fitted to the data).
    // The world's positive quadrant is where the data lives; a text is kept in it too.
    const float L = std::max(Map.View.LeftTop.X + Map.View.ViewWidthHeight.X * 0.02f, 1.0f);
    const float B = Map.View.LeftTop.Y + Map.View.ViewWidthHeight.Y * 0.98f;
    const float PerPixel = 100.0f / Map.View.Scale; // world units per pixel in the first view
    const auto Size = static_cast<std::int32_t>(std::clamp(std::lround(9 * PerPixel), 6L, 100000L));
    const float H = static_cast<float>(Size) * 96.0f / 72.0f;
    float Y = B - H * (static_cast<float>(Lines.size()) + 0.5f);
    for (const std::string& Line : Lines) {
        auto T = std::make_unique<TZemObject>();
        T->Kind = otText;
        const ZemString Text = FromUtf8(Line);
        const float W = 0.55f * H * static_cast<float>(Text.size());
        T->AddPoints(std::vector<TXYPoint>{{L + H, Y}, {L + H + W, Y}, {L + H + W, Y + H}, {L + H, Y + H}});
        T->SetText(Text);
        T->Pen.Color = RGBColor(40, 40, 40);
        T->Font.Name = "Arial";
        T->Font.Size = Size;
        T->Font.Charset = 204;
        T->SetPlane(4);
        TZemImportTarget(Map).Store(std::move(T));
        Y += H;
    }
}

} // namespace

void TZemImportProgress::Report(const char* PhaseUtf8, std::int32_t Percent) {
    Check();
    Percent = std::clamp(Percent, 0, 100);
    if (PhaseUtf8 == FPhase && Percent == FPercent)
        return;
    FPhase = PhaseUtf8;
    FPercent = Percent;
    if (OnProgress)
        OnProgress(PhaseUtf8, Percent);
}

void TZemImportSummary::Add(std::vector<TLine>& Lines, const std::string& Label, std::int64_t N) {
    for (TLine& L : Lines)
        if (L.Label == Label) {
            L.Count += N;
            return;
        }
    Lines.push_back({Label, N});
}

std::int64_t TZemImportSummary::MadeCount(const std::string& Label) const {
    for (const TLine& L : FMade)
        if (L.Label == Label)
            return L.Count;
    return 0;
}

std::int64_t TZemImportSummary::SkippedCount(const std::string& Reason) const {
    for (const TLine& L : FSkipped)
        if (L.Label == Reason)
            return L.Count;
    return 0;
}

std::string TZemImportSummary::Text() const {
    auto Join = [](const std::vector<TLine>& Lines) {
        std::string S;
        for (const TLine& L : Lines) {
            if (L.Count == 0)
                continue;
            S += S.empty() ? " " : ", ";
            S += L.Label + " " + std::to_string(L.Count);
        }
        return S.empty() ? std::string(" ничего") : S;
    };
    return "Создано:" + Join(FMade) + "\nПропущено:" + Join(FSkipped) + "\n";
}

const TZemInputKind& RecogniseInput(const std::filesystem::path& Path) {
    const std::string Name = "\"" + Path.string() + "\"";
    std::error_code Ec;
    const auto Status = std::filesystem::status(Path, Ec);
    if (Ec || !std::filesystem::exists(Status))
        throw EZemError(Name + ": файл не найден");
    std::vector<std::uint8_t> Head;
    if (!std::filesystem::is_directory(Status)) {
        std::ifstream In(Path, std::ios::binary);
        if (!In)
            throw EZemError(Name + ": не удалось открыть файл (" + SystemErrorText(errno) + ")");
        Head.resize(kInputHeadSize);
        In.read(reinterpret_cast<char*>(Head.data()), static_cast<std::streamsize>(Head.size()));
        Head.resize(static_cast<std::size_t>(In.gcount()));
        if (Head.empty())
            throw EZemError(Name + ": файл пуст");
    }
    for (const TZemInputKind& K : InputKinds())
        if (K.Recognise(Path, Head))
            return K;
    throw EZemError(Name + ": это не данные OpenStreetMap и не другой известный формат");
}

TZemImportSummary ImportInto(TZemMap& Map, std::span<const std::filesystem::path> Inputs,
                             const TZemImportOptions& Options, TZemImportProgress& Progress,
                             std::int32_t ViewW, std::int32_t ViewH) {
    std::vector<std::unique_ptr<TZemImportSource>> Sources;
    for (const auto& Path : Inputs)
        Sources.push_back(RecogniseInput(Path).Open(Path));
    TZemGeoBox Box;
    for (auto& S : Sources) {
        S->Read(Options, Progress);
        Box.Merge(S->Box());
    }
    if (Box.Empty)
        throw EZemError("Во входных данных нет ни одного объекта с координатами");
    const TZemGeoref G = GeorefFor(Map, Box);
    TZemImportSummary Summary;
    if (Map.Count() == 0)
        Map.Doc.BackColor = RGBColor(242, 239, 233); // the light ground of a printed city map
    const bool WasAuto = Map.AutoUpdate();
    Map.View.AutoUpdate = false; // one rebuild at the end, as loading does
    TZemImportTarget Target(Map);
    for (auto& S : Sources)
        S->Write(Target, G, Progress, Summary);
    for (std::int32_t i = 0; i < static_cast<std::int32_t>(Map.Doc.TransportTypes.size()); ++i)
        if (!Map.Net.VisibleTransportTypes.Contains(i))
            Map.Net.VisibleTransportTypes.Add(i);
    if (Map.Doc.DocumentName == "Untitled map" && !Inputs.empty())
        Map.Doc.DocumentName = ImportedName(Inputs[0]);
    FitViewToObjects(Map, ViewW, ViewH);
    PlaceAttributions(Map, Target);
    if (WasAuto)
        Map.SetAutoUpdate(true);
    return Summary;
}

void FitViewToObjects(TZemMap& Map, std::int32_t W, std::int32_t H) {
    if (Map.Doc.Order.Count() == 0 || W <= 0 || H <= 0)
        return;
    // The areas make the city; lines (a railway, a route) may run far out of an extract and would
    // leave the city a speck in the middle. Without areas, everything counts.
    bool HasAreas = false;
    for (std::int32_t i = 0; i < Map.Doc.Order.Count() && !HasAreas; ++i)
        HasAreas = Map.ObjectByID(Map.Doc.Order[i]).Kind == otPolygon;
    double L = INFINITY, T = INFINITY, R = -INFINITY, B = -INFINITY;
    for (std::int32_t i = 0; i < Map.Doc.Order.Count(); ++i) {
        const TZemObject& O = Map.ObjectByID(Map.Doc.Order[i]);
        if (O.PointCount() == 0 || (HasAreas && O.Kind != otPolygon))
            continue;
        L = std::min<double>(L, O.LeftTop.X);
        T = std::min<double>(T, O.LeftTop.Y);
        R = std::max<double>(R, O.RightBottom.X);
        B = std::max<double>(B, O.RightBottom.Y);
    }
    if (!(R >= L && B >= T))
        return;
    // Pixels per world unit are Scale / 100; a few per cent stay free round the data.
    const double Fit = 0.96 * std::min(W / std::max(R - L, 1.0), H / std::max(B - T, 1.0));
    const float S = static_cast<float>(std::clamp(Fit * 100.0, 0.01, static_cast<double>(Map.View.MaxScale)));
    Map.View.Scale = S;
    Map.View.ViewWidthHeight = {static_cast<float>(W * 100.0 / S), static_cast<float>(H * 100.0 / S)};
    Map.View.LeftTop = {static_cast<float>((L + R) / 2 - Map.View.ViewWidthHeight.X / 2.0),
                        static_cast<float>((T + B) / 2 - Map.View.ViewWidthHeight.Y / 2.0)};
}

} // namespace zem
