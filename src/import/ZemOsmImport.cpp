#include "import/ZemOsmImport.h"

#include "import/ZemOsmRead.h"
#include "import/ZemOsmWrite.h"

namespace zem {

namespace {

class TOsmSource : public TZemImportSource {
public:
    TOsmSource(std::filesystem::path Path, TOsmFormat Format) : FPath(std::move(Path)), FFormat(Format) {}

    void Read(const TZemImportOptions& Options, TZemImportProgress& Progress) override {
        ReadOsm(FPath, FFormat, Options, Progress, FData);
        FData.Box = TZemGeoBox{};
        auto Add = [this](const TOsmPoints& P) {
            for (const auto& L : P)
                FData.Box.Add(GeoOf(L));
        };
        for (const TOsmLine& L : FData.Lines)
            Add(L.Points);
        for (const TOsmArea& A : FData.Areas)
            for (const TOsmPoints& R : A.Rings)
                Add(R);
        for (const auto& [ID, L] : FData.StopNodes)
            if (L.valid())
                FData.Box.Add(GeoOf(L));
        if (FData.Box.Empty)
            throw EZemError("\"" + FPath.string() +
                            "\": в выгрузке нет ни улиц, ни зданий, ни других объектов карты");
    }

    TZemGeoBox Box() const override { return FData.Box; }

    void Write(TZemImportTarget& Target, const TZemGeoref& G, TZemImportProgress& Progress,
               TZemImportSummary& Summary) override {
        WriteOsm(FData, Target, G, Progress, Summary);
        FData = TOsmData{};
    }

private:
    std::filesystem::path FPath;
    TOsmFormat FFormat;
    TOsmData FData;
};

} // namespace

bool RecogniseOsm(const std::filesystem::path&, std::span<const std::uint8_t> Head) {
    return RecogniseOsmContent(Head).has_value();
}

std::unique_ptr<TZemImportSource> OpenOsm(const std::filesystem::path& Path) {
    std::vector<std::uint8_t> Head(kInputHeadSize);
    {
        std::FILE* F = std::fopen(Path.c_str(), "rb");
        if (!F)
            throw EZemError("\"" + Path.string() + "\": не удалось открыть файл");
        Head.resize(std::fread(Head.data(), 1, Head.size(), F));
        std::fclose(F);
    }
    const auto Format = RecogniseOsmContent(Head);
    if (!Format)
        throw EZemError("\"" + Path.string() + "\": это не данные OpenStreetMap");
    return std::make_unique<TOsmSource>(Path, *Format);
}

} // namespace zem
