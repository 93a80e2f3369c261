#include "images/ZemLibraryFiles.h"

#include "base/ZemErrors.h"
#include "base/ZemFileWrite.h"
#include "images/ZemBmpFile.h"
#include "images/ZemIcoFile.h"
#include "images/ZemPngFile.h"

#include <span>
#include <vector>

namespace zem {

namespace {

std::vector<std::uint8_t> ReadBytes(const std::string& FileName) {
    const std::string Bytes = ReadWholeFile(FileName, kMaxLibraryFileBytes); // names the file itself
    return {Bytes.begin(), Bytes.end()};
}

[[noreturn]] void Unreadable(const std::string& FileName, const char* Why) {
    throw EZemError("Файл \"" + FileName + "\" не удалось прочитать: " + Why);
}

// The picture of a BMP, PNG or ICO file.
TZemImage Decode(const std::vector<std::uint8_t>& B, const std::string& FileName) {
    try {
        if (IsBmpSignature(B.data(), B.size()))
            return DecodeBmp(B.data(), B.size());
        if (IsPngSignature(B.data(), B.size()))
            return DecodePng(B.data(), B.size());
        if (IsIcoSignature(B.data(), B.size()))
            return DecodeIco(B.data(), B.size());
    } catch (const std::exception& E) {
        Unreadable(FileName, E.what());
    }
    throw EZemError("Файл \"" + FileName + "\" не является изображением BMP, PNG или ICO.");
}

} // namespace

TZemImage ReadLibraryPicture(const std::string& FileName) {
    TZemImage Picture = Decode(ReadBytes(FileName), FileName);
    if (Picture.Empty())
        Unreadable(FileName, "в нём нет изображения.");
    return Picture;
}

TZemIcon ReadLibraryIcon(const std::string& FileName) {
    const std::vector<std::uint8_t> Bytes = ReadBytes(FileName);
    // An icon file is kept as it is, so that the map saves it back unchanged.
    if (IsIcoSignature(Bytes.data(), Bytes.size())) {
        try {
            return TZemIcon(std::span(Bytes));
        } catch (const std::exception& E) {
            Unreadable(FileName, E.what());
        }
    }
    const TZemImage Picture = Decode(Bytes, FileName);
    try {
        const std::vector<std::uint8_t> Made = EncodeIco32(Picture);
        return TZemIcon(std::span(Made));
    } catch (const std::exception& E) {
        throw EZemError("Файл \"" + FileName + "\" не может стать значком: " + E.what());
    }
}

} // namespace zem
