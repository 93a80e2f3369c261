#include "images/ZemImageFile.h"

#include "base/ZemErrors.h"
#include "base/ZemFileWrite.h"
#include "images/ZemBmpFile.h"
#include "images/ZemPngFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sys/stat.h>
#include <unistd.h>

namespace zem {

namespace {

bool ReadWholeFile(const std::string& FileName, std::vector<std::uint8_t>& Bytes) {
    std::ifstream In(FileName, std::ios::binary);
    if (!In)
        return false;
    Bytes.assign(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>());
    return !In.bad();
}

TZemImage Decode(const std::vector<std::uint8_t>& Bytes, const std::string& FileName) {
    if (IsBmpSignature(Bytes.data(), Bytes.size()))
        return DecodeBmp(Bytes.data(), Bytes.size());
    if (IsPngSignature(Bytes.data(), Bytes.size()))
        return DecodePng(Bytes.data(), Bytes.size());
    throw EZemError("Файл \"" + FileName + "\" не является изображением BMP или PNG");
}

bool EndsWithPng(const std::string& Name) {
    if (Name.size() < 4)
        return false;
    std::string Tail = Name.substr(Name.size() - 4);
    for (char& C : Tail)
        C = static_cast<char>(C >= 'A' && C <= 'Z' ? C + 32 : C);
    return Tail == ".png";
}

} // namespace

int LoadImageFile(const std::string& FileName, TZemImage& Image) {
    Image = TZemImage{};
    std::vector<std::uint8_t> Bytes;
    if (!ReadWholeFile(FileName, Bytes))
        return ilCannotOpen;
    try {
        Image = Decode(Bytes, FileName);
    } catch (const EZemError&) {
        Image = TZemImage{};
        return ilNotImage;
    }
    return ilLoaded;
}

TZemImage ReadImageFile(const std::string& FileName) {
    std::vector<std::uint8_t> Bytes;
    if (!ReadWholeFile(FileName, Bytes))
        throw EZemError("Не удалось открыть файл \"" + FileName + "\"");
    return Decode(Bytes, FileName);
}

void SaveImageFile(const std::string& FileName, TPixelView Pixels) {
    const auto [Bits, Width, Height] = Pixels;
    std::vector<std::uint8_t> Bytes =
        EndsWithPng(FileName) ? EncodePng(Bits, Width, Height) : EncodeBmp32(Bits, Width, Height);
    // The same safe replacement as every file the program writes whole.
    WriteFileAtomically(FileName,
                        std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
}

} // namespace zem
