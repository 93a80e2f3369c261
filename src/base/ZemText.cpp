#include "base/ZemText.h"

#include <cerrno>
#include <iconv.h>
#include <memory>
#include <stdexcept>

namespace zem {

namespace {

// One conversion descriptor per call keeps this free of shared state; conversions happen only at the
// edges (widgets, command line), never in a hot path.
class TIconv {
public:
    TIconv(const char* To, const char* From) : FHandle(iconv_open(To, From)) {
        // iconv_open reports failure as the handle (iconv_t)-1.
        if (FHandle == reinterpret_cast<iconv_t>(-1)) // NOLINT(performance-no-int-to-ptr)
            throw std::runtime_error(std::string("iconv: no conversion from ") + From + " to " + To);
    }
    ~TIconv() { iconv_close(FHandle); }
    TIconv(const TIconv&) = delete;
    TIconv& operator=(const TIconv&) = delete;

    // Converts the whole input; a sequence the target cannot hold, or an invalid input sequence, is
    // replaced by Replacement and skipped (InvalidStep bytes of input).
    std::string Convert(const std::string& In, const std::string& Replacement,
                        size_t (*InvalidStep)(const char*, size_t)) {
        std::string Out;
        Out.reserve(In.size() * 2 + 4);
        char* InPtr = const_cast<char*>(In.data());
        size_t InLeft = In.size();
        char Buffer[1024];
        while (InLeft > 0) {
            char* OutPtr = Buffer;
            size_t OutLeft = sizeof Buffer;
            size_t r = iconv(FHandle, &InPtr, &InLeft, &OutPtr, &OutLeft);
            Out.append(Buffer, OutPtr - Buffer);
            if (r == static_cast<size_t>(-1)) {
                if (errno == E2BIG)
                    continue;
                // EILSEQ or EINVAL (truncated sequence at the end): replace and step over it.
                Out += Replacement;
                size_t Step = InvalidStep(InPtr, InLeft);
                InPtr += Step;
                InLeft -= Step;
                iconv(FHandle, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return Out;
    }

private:
    iconv_t FHandle;
};

size_t OneByte(const char*, size_t) {
    return 1;
}

// Length of the UTF-8 sequence starting at P (at least 1, at most Left).
size_t Utf8Step(const char* P, size_t Left) {
    unsigned char c = static_cast<unsigned char>(P[0]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    if (n > Left)
        n = Left;
    for (size_t i = 1; i < n; ++i)
        if ((static_cast<unsigned char>(P[i]) & 0xC0) != 0x80)
            return i;
    return n;
}

unsigned char UpperByte(unsigned char c) {
    if (c >= 'a' && c <= 'z')
        return static_cast<unsigned char>(c - 32);
    if (c >= 0xE0) // а..я -> А..Я
        return static_cast<unsigned char>(c - 32);
    if (c == 0xB8) // ё -> Ё
        return 0xA8;
    if (c == 0xA2) // ў -> Ў
        return 0xA1;
    if (c == 0xB3) // і -> І
        return 0xB2;
    if (c == 0xBA) // є -> Є
        return 0xAA;
    if (c == 0xBF) // ї -> Ї
        return 0xAF;
    if (c == 0xB4) // ґ -> Ґ
        return 0xA5;
    if (c == 0x9A || c == 0x9C || c == 0x9D || c == 0x9E || c == 0x9F) // љ њ ќ ћ џ
        return static_cast<unsigned char>(c - 0x10);
    if (c == 0x83) // ѓ -> Ѓ
        return 0x81;
    if (c == 0x90) // ђ -> Ђ
        return 0x80;
    if (c == 0xBC) // ј -> Ј
        return 0xA3;
    if (c == 0xBE) // ѕ -> Ѕ
        return 0xBD;
    return c;
}

// The letters of the code page that have a decomposed form, as base letter, combining mark and composed
// letter (code points): some keyboards and pastes deliver "й" as "и" and a combining breve. These are all
// of them, so composing them is the whole normalisation the code page can show.
struct TComposition {
    char32_t Base, Mark, Composed;
};
constexpr TComposition kCompositions[] = {
    {0x0418, 0x0306, 0x0419}, {0x0438, 0x0306, 0x0439}, // Й й
    {0x0415, 0x0308, 0x0401}, {0x0435, 0x0308, 0x0451}, // Ё ё
    {0x0423, 0x0306, 0x040E}, {0x0443, 0x0306, 0x045E}, // Ў ў
    {0x0406, 0x0308, 0x0407}, {0x0456, 0x0308, 0x0457}, // Ї ї
    {0x0413, 0x0301, 0x0403}, {0x0433, 0x0301, 0x0453}, // Ѓ ѓ
    {0x041A, 0x0301, 0x040C}, {0x043A, 0x0301, 0x045C}, // Ќ ќ
};

// The code point of the two-byte UTF-8 sequence at S[i], or 0 when there is none.
char32_t TwoByteAt(const std::string& S, size_t i) {
    if (i + 1 >= S.size())
        return 0;
    const auto a = static_cast<unsigned char>(S[i]), b = static_cast<unsigned char>(S[i + 1]);
    if ((a >> 5) != 6 || (b & 0xC0) != 0x80)
        return 0;
    return static_cast<char32_t>(((a & 0x1F) << 6) | (b & 0x3F));
}

// Letters followed by their combining mark become the composed letters (both are two-byte sequences).
std::string Composed(const std::string& Utf8) {
    if (Utf8.find('\xCC') == std::string::npos) // every mark above starts with 0xCC
        return Utf8;
    std::string Out;
    Out.reserve(Utf8.size());
    for (size_t i = 0; i < Utf8.size();) {
        const char32_t Base = TwoByteAt(Utf8, i);
        const char32_t Mark = Base ? TwoByteAt(Utf8, i + 2) : 0;
        const TComposition* Found = nullptr;
        for (const TComposition& C : kCompositions)
            if (C.Base == Base && C.Mark == Mark)
                Found = &C;
        if (Found) {
            Out += static_cast<char>(0xC0 | (Found->Composed >> 6));
            Out += static_cast<char>(0x80 | (Found->Composed & 0x3F));
            i += 4;
        } else {
            Out += Utf8[i++];
        }
    }
    return Out;
}

} // namespace

std::string ToUtf8(const ZemString& Cp1251) {
    TIconv Conv("UTF-8", "CP1251");
    return Conv.Convert(Cp1251, "\xEF\xBF\xBD", OneByte);
}

ZemString FromUtf8(const std::string& Utf8) {
    TIconv Conv("CP1251", "UTF-8");
    return Conv.Convert(Composed(Utf8), "?", Utf8Step);
}

ZemString UpperCase(const ZemString& S) {
    ZemString R(S);
    for (char& c : R)
        c = static_cast<char>(UpperByte(static_cast<unsigned char>(c)));
    return R;
}

bool SameText(const ZemString& A, const ZemString& B) {
    if (A.size() != B.size())
        return false;
    for (size_t i = 0; i < A.size(); ++i)
        if (UpperByte(static_cast<unsigned char>(A[i])) != UpperByte(static_cast<unsigned char>(B[i])))
            return false;
    return true;
}

} // namespace zem
