#include "import/ZemFeedSource.h"

#include "base/ZemErrors.h"

#include <zip.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace zem {

namespace {

namespace fs = std::filesystem;

// A table inflated from a zip entry. A zip bomb is a small entry that inflates without end; it is refused
// before it can keep the import busy for hours.
constexpr std::uint64_t kBombRatio = 250;

class TZipStream final : public TByteStream {
public:
    TZipStream(zip_file_t* File, std::string Name, std::uint64_t Packed, std::uint64_t Size,
               std::uint64_t Floor)
        : FFile(File), FName(std::move(Name)), FPacked(Packed), FSize(Size), FFloor(Floor) {}
    ~TZipStream() override { zip_fclose(FFile); }
    std::size_t Read(char* Into, std::size_t Size) override {
        const zip_int64_t Got = zip_fread(FFile, Into, Size);
        if (Got < 0)
            throw EZemError("\"" + FName +
                            "\": архив повреждён: " + zip_error_strerror(zip_file_get_error(FFile)));
        FDone += static_cast<std::uint64_t>(Got);
        if (FDone > FFloor && FDone / kBombRatio > FPacked)
            throw EZemError("\"" + FName + "\": распаковывается в сотни раз больше сжатого (" +
                            std::to_string(FPacked) + " байт) — архив похож на zip-бомбу");
        return static_cast<std::size_t>(Got);
    }
    std::uint64_t Size() const override { return FSize; }

private:
    zip_file_t* FFile;
    std::string FName;
    std::uint64_t FPacked, FSize, FFloor, FDone = 0;
};

struct TZipCloser {
    void operator()(zip_t* Z) const { zip_discard(Z); }
};

class TZipSource final : public TFeedSource {
public:
    TZipSource(const std::string& Path, std::uint64_t BombFloor) : FBombFloor(BombFloor) {
        int Error = 0;
        zip_t* Z = zip_open(Path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &Error);
        if (!Z) {
            if (Error == ZIP_ER_NOZIP)
                throw EZemError("\"" + Path + "\": не архив zip и не папка с таблицами расписания");
            zip_error_t E;
            zip_error_init_with_code(&E, Error);
            std::string Text = zip_error_strerror(&E);
            zip_error_fini(&E);
            throw EZemError("\"" + Path + "\": архив не читается: " + Text);
        }
        FZip.reset(Z);
    }
    bool Has(const std::string& Name) const override { return Locate(Name) >= 0; }
    std::uint64_t SizeOf(const std::string& Name) const override {
        zip_stat_t St;
        const zip_int64_t At = Locate(Name);
        if (At < 0 || zip_stat_index(FZip.get(), At, 0, &St) != 0 || !(St.valid & ZIP_STAT_SIZE))
            return 0;
        return St.size;
    }
    std::unique_ptr<TByteStream> Open(const std::string& Name) const override {
        const zip_int64_t At = Locate(Name);
        zip_stat_t St;
        if (At < 0 || zip_stat_index(FZip.get(), At, 0, &St) != 0)
            throw EZemError("\"" + Name + "\": нет в архиве");
        zip_file_t* File = zip_fopen_index(FZip.get(), At, 0);
        if (!File)
            throw EZemError("\"" + Name + "\": не открывается в архиве: " + zip_strerror(FZip.get()));
        const std::uint64_t Packed = (St.valid & ZIP_STAT_COMP_SIZE) ? St.comp_size : 0;
        const std::uint64_t Size = (St.valid & ZIP_STAT_SIZE) ? St.size : 0;
        return std::make_unique<TZipStream>(File, Name, Packed, Size, FBombFloor);
    }

private:
    // Tables sit at the top of the archive; feeds packed with their folder are common enough to accept.
    zip_int64_t Locate(const std::string& Name) const {
        const zip_int64_t At = zip_name_locate(FZip.get(), Name.c_str(), ZIP_FL_NOCASE);
        return At >= 0 ? At : zip_name_locate(FZip.get(), Name.c_str(), ZIP_FL_NOCASE | ZIP_FL_NODIR);
    }
    std::unique_ptr<zip_t, TZipCloser> FZip;
    std::uint64_t FBombFloor;
};

class TFileStream final : public TByteStream {
public:
    TFileStream(const fs::path& Path, std::string Name) : FName(std::move(Name)) {
        FFile = std::fopen(Path.c_str(), "rb");
        if (!FFile)
            throw EZemError("\"" + FName + "\": не открывается: " + SystemErrorText(errno));
        std::error_code Ec;
        FSize = fs::file_size(Path, Ec);
        if (Ec)
            FSize = 0;
    }
    ~TFileStream() override { std::fclose(FFile); }
    std::size_t Read(char* Into, std::size_t Size) override {
        const std::size_t Got = std::fread(Into, 1, Size, FFile);
        if (Got == 0 && std::ferror(FFile))
            throw EZemError("\"" + FName + "\": ошибка чтения: " + SystemErrorText(errno));
        return Got;
    }
    std::uint64_t Size() const override { return FSize; }

private:
    std::FILE* FFile;
    std::string FName;
    std::uint64_t FSize = 0;
};

class TFolderSource final : public TFeedSource {
public:
    explicit TFolderSource(fs::path Folder) : FFolder(std::move(Folder)) {}
    bool Has(const std::string& Name) const override { return !Find(Name).empty(); }
    std::uint64_t SizeOf(const std::string& Name) const override {
        std::error_code Ec;
        const fs::path P = Find(Name);
        const std::uint64_t Size = P.empty() ? 0 : fs::file_size(P, Ec);
        return Ec ? 0 : Size;
    }
    std::unique_ptr<TByteStream> Open(const std::string& Name) const override {
        const fs::path P = Find(Name);
        if (P.empty())
            throw EZemError("\"" + Name + "\": нет в папке");
        return std::make_unique<TFileStream>(P, Name);
    }

private:
    fs::path Find(const std::string& Name) const {
        std::error_code Ec;
        const fs::path Exact = FFolder / Name;
        if (fs::is_regular_file(Exact, Ec))
            return Exact;
        // Letter case of table names varies between publishers.
        for (const auto& Entry : fs::directory_iterator(FFolder, Ec)) {
            const std::string File = Entry.path().filename().string();
            if (File.size() == Name.size() && Entry.is_regular_file(Ec) &&
                std::equal(File.begin(), File.end(), Name.begin(),
                           [](char A, char B) { return std::tolower(A) == std::tolower(B); }))
                return Entry.path();
        }
        return {};
    }
    fs::path FFolder;
};

} // namespace

std::unique_ptr<TFeedSource> OpenFeedSource(const std::string& Path, std::uint64_t BombFloor) {
    std::error_code Ec;
    const fs::file_status St = fs::status(Path, Ec);
    if (Ec || !fs::exists(St))
        throw EZemError("\"" + Path + "\": нет такого файла или папки");
    if (fs::is_directory(St))
        return std::make_unique<TFolderSource>(Path);
    if (!fs::is_regular_file(St))
        throw EZemError("\"" + Path + "\": не обычный файл и не папка");
    return std::make_unique<TZipSource>(Path, BombFloor);
}

bool LooksLikeFeed(const std::string& Path) {
    try {
        return OpenFeedSource(Path)->Has("stops.txt");
    } catch (const EZemError&) {
        return false;
    }
}

} // namespace zem
