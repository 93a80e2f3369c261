// BMP reader and writer. The file is untrusted input: every claim it makes (sizes, offsets, palette
// length, run lengths) is checked through Require() before it is used, so the trust boundary can be
// audited with one search. Arithmetic on claimed sizes is done in 64 bits, where nothing can overflow.
#include "images/ZemBmpFile.h"

#include "base/ZemErrors.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <string>

namespace zem {

namespace {

void Require(bool Condition, const char* What) {
    if (!Condition)
        throw EZemError(std::string("Файл BMP поврежден: ") + What);
}

// Compression codes.
constexpr std::uint32_t biRgb = 0, biRle8 = 1, biRle4 = 2, biBitFields = 3, biAlphaBitFields = 6;

class TBytes {
public:
    TBytes(const std::uint8_t* Data, std::size_t Size) : D(Data), N(Size) {}
    std::size_t Size() const { return N; }
    const std::uint8_t* At(std::size_t Off) const { return D + Off; }
    // Callers have checked Off + width <= Size.
    std::uint16_t U16(std::size_t Off) const { return std::uint16_t(D[Off] | D[Off + 1] << 8); }
    std::uint32_t U32(std::size_t Off) const {
        return std::uint32_t(D[Off]) | std::uint32_t(D[Off + 1]) << 8 | std::uint32_t(D[Off + 2]) << 16 |
               std::uint32_t(D[Off + 3]) << 24;
    }
    std::int32_t I32(std::size_t Off) const { return static_cast<std::int32_t>(U32(Off)); }

private:
    const std::uint8_t* D;
    std::size_t N;
};

// One channel of a bit-field pixel scaled to 8 bits.
struct TChannel {
    std::uint32_t Mask = 0;
    int Shift = 0;
    std::uint32_t Max = 0;
    explicit TChannel(std::uint32_t M = 0) : Mask(M) {
        if (M) {
            Shift = std::countr_zero(M);
            Max = M >> Shift;
        }
    }
    std::uint32_t Get(std::uint32_t V, std::uint32_t Absent) const {
        if (!Max)
            return Absent;
        std::uint64_t C = (V & Mask) >> Shift;
        return static_cast<std::uint32_t>((C * 255 + Max / 2) / Max);
    }
};

struct THeader {
    std::uint32_t HeaderSize = 0, OffBits = 0, Compression = biRgb, ColorsUsed = 0;
    std::int64_t Width = 0, Height = 0;
    std::uint16_t Bits = 0;
    bool TopDown = false;
    std::uint32_t Masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    std::size_t PaletteStart = 0;
};

THeader ReadHeader(const TBytes& B) {
    THeader H;
    Require(B.Size() >= 18, "файл короче заголовка");
    H.OffBits = B.U32(10);
    H.HeaderSize = B.U32(14);
    std::uint32_t HS = H.HeaderSize;
    Require(HS == 12 || (HS >= 16 && HS <= 64) || HS == 108 || HS == 124, "неизвестный размер заголовка");
    Require(14 + std::uint64_t(HS) <= B.Size(), "заголовок длиннее файла");
    bool Os2v2 = HS > 12 && HS <= 64 && HS != 40 && HS != 52 && HS != 56;
    if (HS == 12) {
        H.Width = B.U16(18);
        H.Height = B.U16(20);
        H.Bits = B.U16(24);
    } else {
        H.Width = B.I32(18);
        H.Height = B.I32(22);
        H.Bits = B.U16(28);
        if (HS >= 20)
            H.Compression = B.U32(30);
        if (HS >= 36)
            H.ColorsUsed = B.U32(46);
    }
    Require(H.Width > 0, "ширина изображения не положительна");
    Require(H.Height != 0, "высота изображения равна нулю");
    if (H.Height < 0) {
        H.TopDown = true;
        H.Height = -H.Height;
    }
    Require(H.Bits == 1 || H.Bits == 4 || H.Bits == 8 || H.Bits == 16 || H.Bits == 24 || H.Bits == 32,
            "неизвестная глубина цвета");
    if (Os2v2)
        Require(H.Compression <= biRle4, "сжатие OS/2 (Хаффман, RLE24) не поддерживается");
    H.PaletteStart = 14 + HS;
    switch (H.Compression) {
    case biRgb:
        if (H.Bits == 16)
            H.Masks[0] = 0x7C00, H.Masks[1] = 0x03E0, H.Masks[2] = 0x001F;
        else if (H.Bits == 32)
            H.Masks[0] = 0xFF0000, H.Masks[1] = 0xFF00, H.Masks[2] = 0xFF;
        break;
    case biRle8:
        Require(H.Bits == 8, "RLE8 при глубине цвета не 8 бит");
        Require(!H.TopDown, "сжатое изображение записано сверху вниз");
        break;
    case biRle4:
        Require(H.Bits == 4, "RLE4 при глубине цвета не 4 бита");
        Require(!H.TopDown, "сжатое изображение записано сверху вниз");
        break;
    case biBitFields:
    case biAlphaBitFields: {
        Require(H.Bits == 16 || H.Bits == 32, "битовые поля при глубине цвета не 16 и не 32 бита");
        int Count = H.Compression == biAlphaBitFields ? 4 : 3;
        std::size_t At = 14 + 40;
        if (HS >= 52) {
            Count = HS >= 56 ? 4 : 3;
        } else {
            Require(At + 4 * std::uint64_t(Count) <= B.Size(), "битовые поля за концом файла");
            H.PaletteStart = At + 4 * std::size_t(Count);
        }
        for (int i = 0; i < Count; ++i)
            H.Masks[i] = B.U32(At + 4 * std::size_t(i));
        Require(H.Masks[0] | H.Masks[1] | H.Masks[2], "пустые битовые поля");
        break;
    }
    default:
        Require(false, "неизвестный способ сжатия");
    }
    return H;
}

std::vector<TColor32> ReadPalette(const TBytes& B, const THeader& H) {
    if (H.Bits > 8)
        return {};
    std::uint64_t Count = H.ColorsUsed ? std::min<std::uint64_t>(H.ColorsUsed, 1u << H.Bits) : (1u << H.Bits);
    std::uint64_t Entry = H.HeaderSize == 12 ? 3 : 4;
    // The 12-byte header has no colour count: the palette fills the room before the pixel data.
    if (H.HeaderSize == 12 && H.OffBits > H.PaletteStart)
        Count = std::min<std::uint64_t>(Count, (H.OffBits - H.PaletteStart) / Entry);
    Require(H.PaletteStart + Count * Entry <= B.Size(), "палитра выходит за конец файла");
    std::vector<TColor32> P(Count);
    for (std::uint64_t i = 0; i < Count; ++i) {
        const std::uint8_t* E = B.At(H.PaletteStart + i * Entry);
        P[i] = ToColor32(E[2], E[1], E[0]);
    }
    return P;
}

// Writes palette colours by index, checking each index against the palette.
class TIndexWriter {
public:
    TIndexWriter(TZemImage& Image, const std::vector<TColor32>& Palette) : Img(Image), Pal(Palette) {}
    void Put(std::int64_t X, std::int64_t FileRow, std::uint32_t Index) {
        Require(Index < Pal.size(), "номер цвета вне палитры");
        Img.Pixels[static_cast<std::size_t>(Img.Height - 1 - FileRow) * Img.Width +
                   static_cast<std::size_t>(X)] = Pal[Index];
    }

private:
    TZemImage& Img;
    const std::vector<TColor32>& Pal;
};

void DecodeUncompressed(const TBytes& B, const THeader& H, const std::vector<TColor32>& Palette,
                        TZemImage& Img) {
    std::uint64_t Stride = (std::uint64_t(H.Width) * H.Bits + 31) / 32 * 4;
    Require(H.OffBits <= B.Size() && Stride * std::uint64_t(H.Height) <= B.Size() - H.OffBits,
            "данные изображения короче заявленных");
    TChannel R(H.Masks[0]), G(H.Masks[1]), Bl(H.Masks[2]), A(H.Masks[3]);
    TIndexWriter Index(Img, Palette);
    for (std::int64_t Row = 0; Row < H.Height; ++Row) {
        const std::uint8_t* Src = B.At(H.OffBits + static_cast<std::size_t>(Row * Stride));
        std::int64_t FileRow = H.TopDown ? H.Height - 1 - Row : Row; // counted from the bottom
        TColor32* Dst = Img.Pixels.data() + static_cast<std::size_t>(Img.Height - 1 - FileRow) * Img.Width;
        for (std::int64_t X = 0; X < H.Width; ++X) {
            switch (H.Bits) {
            case 1:
                Index.Put(X, FileRow, (Src[X >> 3] >> (7 - (X & 7))) & 1);
                break;
            case 4:
                Index.Put(X, FileRow, (Src[X >> 1] >> ((X & 1) ? 0 : 4)) & 15);
                break;
            case 8:
                Index.Put(X, FileRow, Src[X]);
                break;
            case 24:
                Dst[X] = ToColor32(Src[3 * X + 2], Src[3 * X + 1], Src[3 * X]);
                break;
            default: {
                const std::uint8_t* S = Src + X * (H.Bits / 8);
                std::uint32_t V =
                    H.Bits == 16 ? std::uint32_t(S[0] | S[1] << 8)
                                 : std::uint32_t(S[0] | S[1] << 8 | S[2] << 16) | std::uint32_t(S[3]) << 24;
                Dst[X] = A.Get(V, 255) << 24 | R.Get(V, 0) << 16 | G.Get(V, 0) << 8 | Bl.Get(V, 0);
            }
            }
        }
    }
}

// Run-length data: (count, index) runs, and escapes 0,0 end of line, 0,1 end of picture, 0,2 (dx, dy)
// move, 0,n n literal indexes padded to a 16-bit boundary. Pixels not written keep palette colour 0.
// Data that ends without the end-of-picture escape ends the picture there.
void DecodeRle(const TBytes& B, const THeader& H, const std::vector<TColor32>& Palette, TZemImage& Img) {
    Require(H.OffBits <= B.Size(), "смещение данных за концом файла");
    Require(!Palette.empty(), "нет палитры");
    std::fill(Img.Pixels.begin(), Img.Pixels.end(), Palette[0]);
    bool Four = H.Compression == biRle4;
    TIndexWriter Index(Img, Palette);
    std::int64_t X = 0, Y = 0;
    std::size_t P = H.OffBits, End = B.Size();
    // Some writers (ImageMagick among them) run on into the padding of the row as an uncompressed file
    // would store it; pixels there are dropped. A run past the padding is an error.
    const std::int64_t Padded = (H.Width * H.Bits + 31) / 32 * 32 / H.Bits;
    auto Room = [&](std::int64_t Count) {
        Require(Y < H.Height, "серия ниже последней строки");
        Require(X + Count <= Padded, "серия выходит за конец строки");
    };
    auto Put = [&](std::uint32_t Value) {
        if (X < H.Width)
            Index.Put(X, Y, Value);
        ++X;
    };
    while (P + 2 <= End) {
        std::uint32_t Count = *B.At(P), Value = *B.At(P + 1);
        P += 2;
        if (Count > 0) {
            Room(Count);
            for (std::uint32_t i = 0; i < Count; ++i)
                Put(Four ? ((i & 1) ? Value & 15 : Value >> 4) : Value);
        } else if (Value == 0) {
            X = 0;
            ++Y;
        } else if (Value == 1) {
            break;
        } else if (Value == 2) {
            Require(P + 2 <= End, "сдвиг обрывается в конце файла");
            X += *B.At(P);
            Y += *B.At(P + 1);
            P += 2;
            Require(X <= Padded && Y <= H.Height, "сдвиг за пределы изображения");
        } else {
            std::uint32_t Bytes = Four ? (Value + 1) / 2 : Value;
            Require(P + Bytes <= End, "несжатая серия выходит за конец файла");
            Room(Value);
            for (std::uint32_t i = 0; i < Value; ++i) {
                std::uint32_t Byte = *B.At(P + (Four ? i / 2 : i));
                Put(Four ? ((i & 1) ? Byte & 15 : Byte >> 4) : Byte);
            }
            P += Bytes + (Bytes & 1);
        }
    }
}

void Put16(std::vector<std::uint8_t>& V, std::uint16_t X) {
    V.push_back(std::uint8_t(X));
    V.push_back(std::uint8_t(X >> 8));
}
void Put32(std::vector<std::uint8_t>& V, std::uint32_t X) {
    Put16(V, std::uint16_t(X));
    Put16(V, std::uint16_t(X >> 16));
}

} // namespace

bool IsBmpSignature(const std::uint8_t* Data, std::size_t Size) {
    return Size >= 2 && Data[0] == 'B' && Data[1] == 'M';
}

TZemImage DecodeBmp(const std::uint8_t* Data, std::size_t Size, std::size_t MaxPixels) {
    Require(Data && IsBmpSignature(Data, Size), "нет подписи \"BM\"");
    TBytes B(Data, Size);
    THeader H = ReadHeader(B);
    Require(std::uint64_t(H.Width) * std::uint64_t(H.Height) <= MaxPixels, "слишком большое изображение");
    std::vector<TColor32> Palette = ReadPalette(B, H);
    Require(H.OffBits >= H.PaletteStart, "данные изображения начинаются внутри заголовка");
    TZemImage Img;
    Img.Width = static_cast<int>(H.Width);
    Img.Height = static_cast<int>(H.Height);
    Img.Pixels.assign(static_cast<std::size_t>(H.Width * H.Height), clBlack32);
    if (H.Compression == biRle8 || H.Compression == biRle4)
        DecodeRle(B, H, Palette, Img);
    else
        DecodeUncompressed(B, H, Palette, Img);
    return Img;
}

std::vector<std::uint8_t> EncodeBmp32(const TColor32* Pixels, int Width, int Height) {
    if (Width <= 0 || Height <= 0 || !Pixels)
        throw EZemError("Нельзя записать пустое изображение");
    std::uint64_t DataSize = std::uint64_t(Width) * std::uint64_t(Height) * 4;
    if (DataSize > 0xFFFFFFFFull - 54)
        throw EZemError("Изображение слишком велико для файла BMP");
    std::vector<std::uint8_t> V;
    V.reserve(54 + DataSize);
    V.push_back('B');
    V.push_back('M');
    Put32(V, std::uint32_t(54 + DataSize));
    Put32(V, 0);
    Put32(V, 54);
    Put32(V, 40);
    Put32(V, std::uint32_t(Width));
    Put32(V, std::uint32_t(Height)); // bottom-up
    Put16(V, 1);
    Put16(V, 32);
    Put32(V, biRgb);
    Put32(V, std::uint32_t(DataSize));
    Put32(V, 3780); // 96 pixels per inch
    Put32(V, 3780);
    Put32(V, 0);
    Put32(V, 0);
    for (int Y = Height - 1; Y >= 0; --Y) {
        const TColor32* Row = Pixels + static_cast<std::size_t>(Y) * Width;
        for (int X = 0; X < Width; ++X) {
            TColor32 C = Row[X];
            V.push_back(std::uint8_t(C));
            V.push_back(std::uint8_t(C >> 8));
            V.push_back(std::uint8_t(C >> 16));
            V.push_back(0); // the reserved byte of a 32-bit BI_RGB pixel
        }
    }
    return V;
}

} // namespace zem
