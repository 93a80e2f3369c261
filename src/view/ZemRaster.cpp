#include "view/ZemRaster.h"

#include "base/ZemErrors.h"
#include "base/ZemRound.h"
#include "view/ZemRasterFill.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <unistd.h>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace zem {

using namespace raster;

TBitmap32::TBitmap32() = default;
TBitmap32::TBitmap32(int AWidth, int AHeight) {
    SetSize(AWidth, AHeight);
}
TBitmap32::~TBitmap32() = default;
TBitmap32::TBitmap32(TBitmap32&&) noexcept = default;
TBitmap32& TBitmap32::operator=(TBitmap32&&) noexcept = default;

// A copy takes the pixels and the pen, brush and font state; the text engine is shared, the fill
// stages' working memory is not.
TBitmap32::TBitmap32(const TBitmap32& Other)
    : DrawMode(Other.DrawMode), MasterAlpha(Other.MasterAlpha), OuterColor(Other.OuterColor),
      StretchFilter(Other.StretchFilter), Font(Other.Font), LineColor(Other.LineColor),
      LineWidth(Other.LineWidth), LineStyle(Other.LineStyle), BrushColor(Other.BrushColor),
      BrushStyle(Other.BrushStyle), PenPosition(Other.PenPosition), DashCounters(Other.DashCounters),
      SpareFontName(Other.SpareFontName), SpareFontSize(Other.SpareFontSize), FWidth(Other.FWidth),
      FHeight(Other.FHeight), FBits(Other.FBits), FTextEngine(Other.FTextEngine) {}

// The same as a fresh copy, but into the pixels already held: a host that keeps the last frame takes
// one a frame, and a new 8 MB block each time costs its page faults.
TBitmap32& TBitmap32::operator=(const TBitmap32& Other) {
    if (this != &Other) {
        FBits = Other.FBits;
        Font = Other.Font;
        SpareFontName = Other.SpareFontName;
        DrawMode = Other.DrawMode;
        MasterAlpha = Other.MasterAlpha;
        OuterColor = Other.OuterColor;
        StretchFilter = Other.StretchFilter;
        LineColor = Other.LineColor;
        LineWidth = Other.LineWidth;
        LineStyle = Other.LineStyle;
        BrushColor = Other.BrushColor;
        BrushStyle = Other.BrushStyle;
        PenPosition = Other.PenPosition;
        DashCounters = Other.DashCounters;
        SpareFontSize = Other.SpareFontSize;
        FWidth = Other.FWidth;
        FHeight = Other.FHeight;
        FUpdateCount = 0;
        FTextEngine = Other.FTextEngine;
    }
    return *this;
}

TScanlineFiller& TBitmap32::Filler() {
    if (!FFiller)
        FFiller = std::make_unique<TScanlineFiller>();
    return *FFiller;
}

TSpanUnion& TBitmap32::Union() {
    if (!FUnion)
        FUnion = std::make_unique<TSpanUnion>();
    return *FUnion;
}

const std::shared_ptr<TZemTextEngine>& TBitmap32::TextEngine() {
    if (!FTextEngine)
        FTextEngine = std::make_shared<TZemTextEngine>();
    return FTextEngine;
}

void TBitmap32::SetSize(int AWidth, int AHeight) {
    AWidth = std::max(AWidth, 0);
    AHeight = std::max(AHeight, 0);
    if (AWidth == FWidth && AHeight == FHeight)
        return;
    BeginUpdate();
    std::vector<TColor32>().swap(FBits);
    FWidth = FHeight = 0;
    if (AWidth > 0 && AHeight > 0) {
        std::size_t Count = static_cast<std::size_t>(AWidth) * static_cast<std::size_t>(AHeight);
        try {
            if (Count > std::numeric_limits<std::ptrdiff_t>::max() / sizeof(TColor32))
                throw std::bad_alloc();
            FBits.assign(Count, 0);
        } catch (const std::bad_alloc&) {
            std::vector<TColor32>().swap(FBits);
            EndUpdate();
            throw EZemError("Can't allocate the DIB handle");
        }
        FWidth = AWidth;
        FHeight = AHeight;
    }
    EndUpdate();
}

void TBitmap32::EndUpdate() {
    if (FUpdateCount <= 0)
        throw EZemError("Unpaired TZemPersistent.EndUpdate");
    --FUpdateCount;
}

// ---- Pixels ----

namespace {

// Frames larger than half the last-level cache are streamed to memory without being read first; smaller
// ones are stored through the cache, where the drawing that follows finds them.
std::size_t StreamFromBytes() {
    static const std::size_t Bytes = [] {
        const long Cache = sysconf(_SC_LEVEL3_CACHE_SIZE) > 0 ? sysconf(_SC_LEVEL3_CACHE_SIZE)
                                                              : sysconf(_SC_LEVEL2_CACHE_SIZE);
        return Cache > 0 ? static_cast<std::size_t>(Cache) / 2 : std::size_t(1) << 20;
    }();
    return Bytes;
}

} // namespace

void TBitmap32::Clear(TColor32 Color) {
    if (Empty())
        return;
    TColor32* P = FBits.data();
    std::size_t N = FBits.size();
#if defined(__SSE2__)
    if (N * sizeof(TColor32) > StreamFromBytes()) {
        const __m128i V = _mm_set1_epi32(static_cast<int>(Color));
        while (N && (reinterpret_cast<std::uintptr_t>(P) & 15)) {
            *P++ = Color;
            --N;
        }
        for (; N >= 16; N -= 16, P += 16) {
            _mm_stream_si128(reinterpret_cast<__m128i*>(P), V);
            _mm_stream_si128(reinterpret_cast<__m128i*>(P + 4), V);
            _mm_stream_si128(reinterpret_cast<__m128i*>(P + 8), V);
            _mm_stream_si128(reinterpret_cast<__m128i*>(P + 12), V);
        }
        _mm_sfence();
        std::fill_n(P, N, Color);
        return;
    }
#endif
#if defined(__x86_64__) && defined(__GNUC__)
    // The string store is what memset uses on this processor family: whole cache lines at a time.
    asm volatile("rep stosl" : "+D"(P), "+c"(N) : "a"(Color) : "memory");
#else
    std::fill_n(P, N, Color);
#endif
}

void TBitmap32::HorizontalSpan(int X1, int Y, int X2, TColor32 Color) {
    if (X1 > X2)
        std::swap(X1, X2);
    if (Y < 0 || Y >= FHeight || X2 < 0 || X1 >= FWidth)
        return;
    X1 = std::max(X1, 0);
    X2 = std::min(X2, FWidth - 1);
    std::fill_n(ScanLine(Y) + X1, X2 - X1 + 1, Color);
}

void TBitmap32::VerticalSpan(int X, int Y1, int Y2, TColor32 Color) {
    if (Y1 > Y2)
        std::swap(Y1, Y2);
    if (X < 0 || X >= FWidth || Y2 < 0 || Y1 >= FHeight)
        return;
    Y1 = std::max(Y1, 0);
    Y2 = std::min(Y2, FHeight - 1);
    TColor32* P = ScanLine(Y1) + X;
    for (int Y = Y1; Y <= Y2; ++Y, P += FWidth)
        *P = Color;
}

void TBitmap32::FillRectClipped(int X1, int Y1, int X2, int Y2, TColor32 Color) {
    X1 = std::max(X1, 0);
    Y1 = std::max(Y1, 0);
    X2 = std::min(X2, FWidth);
    Y2 = std::min(Y2, FHeight);
    if (X1 >= X2 || Y1 >= Y2)
        return;
    for (int Y = Y1; Y < Y2; ++Y)
        std::fill_n(ScanLine(Y) + X1, X2 - X1, Color);
}

void TBitmap32::FrameRectClipped(int X1, int Y1, int X2, int Y2, TColor32 Color) {
    if (X1 > X2)
        std::swap(X1, X2);
    if (Y1 > Y2)
        std::swap(Y1, Y2);
    HorizontalSpan(X1, Y1, X2, Color);
    HorizontalSpan(X1, Y2, X2, Color);
    if (Y2 - Y1 > 1) {
        VerticalSpan(X1, Y1 + 1, Y2 - 1, Color);
        VerticalSpan(X2, Y1 + 1, Y2 - 1, Color);
    }
}

// ---- Transfers ----

namespace {

// Source with its top-left at (X, Y) on Target, clipped; copied, or blended with the master alpha M.
void Transfer(TBitmap32& Target, int X, int Y, const TBitmap32& Source, bool Blend, std::uint32_t M) {
    if (Target.Empty() || Source.Empty())
        return;
    int SX = std::max(0, -X), SY = std::max(0, -Y);
    int DX = std::max(0, X), DY = std::max(0, Y);
    int W = std::min(Source.Width() - SX, Target.Width() - DX);
    int H = std::min(Source.Height() - SY, Target.Height() - DY);
    if (W <= 0 || H <= 0)
        return;
    for (int j = 0; j < H; ++j) {
        const TColor32* S = Source.ScanLine(SY + j) + SX;
        TColor32* D = Target.ScanLine(DY + j) + DX;
        if (!Blend)
            std::memcpy(D, S, static_cast<std::size_t>(W) * sizeof(TColor32));
        else if (M == 255)
            for (int i = 0; i < W; ++i)
                D[i] = BlendReg(S[i], D[i]);
        else
            for (int i = 0; i < W; ++i)
                D[i] = BlendRegEx(S[i], D[i], M);
    }
}

} // namespace

void TBitmap32::Draw(int X, int Y, const TBitmap32& Source) {
    Transfer(*this, X, Y, Source, Source.DrawMode == TDrawMode::dmBlend, Source.MasterAlpha);
}

void TBitmap32::CopyFromDevice(const TRasterRect& Dst, const TRasterRect& Src, const TBitmap32& Source) {
    if (Empty() || Source.Empty() || Dst.Empty() || Src.Empty())
        return;
    int X1 = std::max(Dst.Left, 0), X2 = std::min(Dst.Right, FWidth);
    int Y1 = std::max(Dst.Top, 0), Y2 = std::min(Dst.Bottom, FHeight);
    std::int64_t DW = Dst.Width(), DH = Dst.Height(), SW = Src.Width(), SH = Src.Height();
    for (int Y = Y1; Y < Y2; ++Y) {
        std::int64_t SYv = Src.Top + (static_cast<std::int64_t>(Y - Dst.Top) * SH) / DH;
        if (SYv < 0 || SYv >= Source.FHeight)
            continue;
        const TColor32* S = Source.ScanLine(static_cast<int>(SYv));
        TColor32* D = ScanLine(Y);
        for (int X = X1; X < X2; ++X) {
            std::int64_t SXv = Src.Left + (static_cast<std::int64_t>(X - Dst.Left) * SW) / DW;
            if (SXv >= 0 && SXv < Source.FWidth)
                D[X] = S[SXv];
        }
    }
}

void TBitmap32::CopyToDevice(TBitmap32& Target, int X, int Y) const {
    Transfer(Target, X, Y, *this, false, 255);
}

void TBitmap32::Assign(TPixelView Source) {
    if (Source.Bits && Source.Bits == Bits())
        return;
    if (Source.Empty()) {
        SetSize(0, 0);
        return;
    }
    SetSize(Source.Width, Source.Height);
    std::copy_n(Source.Bits, FBits.size(), FBits.begin());
}

// ---- Text ----

void TBitmap32::OutputText(int X, int Y, const ZemString& Text) {
    if (!Empty())
        TextEngine()->Draw(FBits.data(), FWidth, FHeight, Font, 0, X, Y, ToColor32(Font.Color), Text);
}

int TBitmap32::TextWidth(const ZemString& Text) {
    return TextSize(Text).cx;
}
int TBitmap32::TextHeight(const ZemString& Text) {
    return TextSize(Text).cy;
}
TRasterSize TBitmap32::TextSize(const ZemString& Text) {
    return TextEngine()->Measure(Font, Text);
}

// Font (its face name cut to 31 characters; the text is Cyrillic, Windows-1251, in any case) with the
// escapement of Angle; the text in LineColor. Selected adds the inverted dashed outline of the
// text's box, rotated with it.
void TBitmap32::OutputTextRotated(int X, int Y, bool Selected, double Angle, const ZemString& Text) {
    if (Empty())
        return;
    TextEngine()->Draw(FBits.data(), FWidth, FHeight, Font, EscapementOf(Angle), X, Y, LineColor, Text);
    if (!Selected)
        return;
    TRasterSize Box = TextSize(Text);
    double C = std::cos(Angle), S = std::sin(Angle);
    TRasterPoint Corner[4];
    const int U[4] = {0, Box.cx, Box.cx, 0}, V[4] = {0, 0, Box.cy, Box.cy};
    for (int i = 0; i < 4; ++i)
        Corner[i] = {Round(X + U[i] * C + V[i] * S), Round(Y - U[i] * S + V[i] * C)};
    ResetDash();
    for (int i = 0; i < 4; ++i)
        LineStyled(Corner[i].X, Corner[i].Y, Corner[(i + 1) % 4].X, Corner[(i + 1) % 4].Y, false, true, 1);
}

} // namespace zem
