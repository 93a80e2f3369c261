// Resampling and text.
#include "base/ZemErrors.h"
#include "base/ZemText.h"
#include "view/RasterTestUtil.h"

#include <gtest/gtest.h>

#include <climits>
#include <numbers>

using namespace zem;

using namespace rastertest;

namespace {

std::string TransformMessage(TBitmap32& Dst, const TRasterRect& DR, const TBitmap32& Src,
                             const TRasterRect& SR, TStretchFilter F) {
    try {
        Resample(Dst, DR, Src, SR, 0, F);
    } catch (const ETransformError& E) {
        return E.what();
    }
    return "";
}

// Bounding box of the pixels that differ from the background.
TRasterRect InkBox(const TBitmap32& B) {
    TRasterRect R{B.Width(), B.Height(), -1, -1};
    for (int Y = 0; Y < B.Height(); ++Y)
        for (int X = 0; X < B.Width(); ++X)
            if (B.GetPixel(X, Y) != Bg) {
                R.Left = std::min(R.Left, X), R.Top = std::min(R.Top, Y);
                R.Right = std::max(R.Right, X), R.Bottom = std::max(R.Bottom, Y);
            }
    return R;
}

} // namespace

TEST(RasterResample, InvalidArgumentsRaiseTheirMessages) {
    TBitmap32 Src = Surface(8, 8), Dst = Surface(8, 8), None;
    EXPECT_EQ(TransformMessage(Dst, {0, 0, 8, 8}, Src, {0, 0, 9, 8}, TStretchFilter::sfLinear),
              "Source rectangle is invalid");
    EXPECT_EQ(TransformMessage(Dst, {0, 0, 8, 8}, Src, {-1, 0, 4, 4}, TStretchFilter::sfNearest),
              "Source rectangle is invalid");
    EXPECT_EQ(TransformMessage(Dst, {0, 0, 8, 8}, None, {0, 0, 1, 1}, TStretchFilter::sfSpline),
              "Source bitmap is nil or empty");
    EXPECT_EQ(TransformMessage(None, {0, 0, 8, 8}, Src, {0, 0, 1, 1}, TStretchFilter::sfLinear),
              "Destination bitmap is nil or empty");
    // Empty rectangles and a destination rectangle off the surface do nothing.
    EXPECT_EQ(TransformMessage(Dst, {0, 0, 0, 8}, Src, {0, 0, 8, 8}, TStretchFilter::sfLinear), "");
    EXPECT_EQ(TransformMessage(Dst, {20, 20, 30, 30}, Src, {0, 0, 8, 8}, TStretchFilter::sfLinear), "");
}

TEST(RasterResample, SameSizeIsAPlainCopyAndNearestStretches) {
    TBitmap32 Src = Surface(4, 4);
    Src.SetPixel(1, 2, Ink);
    TBitmap32 Dst = Surface(4, 4, 0);
    Resample(Dst, {0, 0, 3, 3}, Src, {0, 0, 3, 3}, 0, TStretchFilter::sfSpline);
    EXPECT_EQ(Dst.GetPixel(1, 2), Ink);
    EXPECT_EQ(Dst.GetPixel(3, 3), 0u); // outside the rectangles
    TBitmap32 Big = Surface(8, 8, 0);
    Resample(Big, {0, 0, 8, 8}, Src, {0, 0, 4, 4}, 0, TStretchFilter::sfNearest);
    EXPECT_EQ(Count(Big, Ink), 4);
    EXPECT_EQ(Big.GetPixel(3, 5), Ink);
}

TEST(RasterResample, FiltersKeepFlatColoursAndSmoothEdges) {
    for (auto F : {TStretchFilter::sfLinear, TStretchFilter::sfSpline}) {
        TBitmap32 Flat = Surface(5, 7, Ink), Out = Surface(13, 3);
        Resample(Out, {0, 0, 13, 3}, Flat, {0, 0, 5, 7}, 0, F);
        EXPECT_EQ(Count(Out, Ink), 39);
        TBitmap32 Edge = Surface(4, 1, 0xFF000000);
        Edge.FillRectClipped(2, 0, 4, 1, 0xFFFFFFFF);
        TBitmap32 Wide = Surface(16, 1);
        Resample(Wide, {0, 0, 16, 1}, Edge, {0, 0, 4, 1}, 0, F);
        EXPECT_EQ(Wide.GetPixel(0, 0), 0xFF000000u);
        EXPECT_EQ(Wide.GetPixel(15, 0), 0xFFFFFFFFu);
        std::uint32_t Mid = BlueOf(Wide.GetPixel(8, 0)), Before = BlueOf(Wide.GetPixel(7, 0));
        EXPECT_GT(Mid, 0u);
        EXPECT_LT(Before, 255u);
        EXPECT_LE(Before, Mid);
    }
}

TEST(RasterResample, BlendCombineLaysTheSourceOver) {
    TBitmap32 Src = Surface(2, 2, 0x80FFFFFF), Dst = Surface(4, 4, 0xFF000000);
    Resample(Dst, {0, 0, 4, 4}, Src, {0, 0, 2, 2}, 1, TStretchFilter::sfLinear);
    EXPECT_EQ(Dst.GetPixel(2, 2), BlendReg(0x80FFFFFF, 0xFF000000));
}

TEST(RasterText, EscapementIsTenthsOfADegree) {
    EXPECT_EQ(EscapementOf(std::numbers::pi / 2), 900);
    EXPECT_EQ(EscapementOf(0), 0);
    EXPECT_EQ(EscapementOf(-std::numbers::pi), -1800);
    EXPECT_EQ(EscapementOf(1.0), 573);
}

TEST(RasterText, Cp1251TableAgreesWithTheConverter) {
    for (int C = 0; C < 256; ++C) {
        std::string Utf8 = zem::ToUtf8(std::string(1, static_cast<char>(C)));
        char32_t U = Cp1251ToUnicode(static_cast<unsigned char>(C));
        std::string Mine;
        if (U < 0x80) {
            Mine += static_cast<char>(U);
        } else if (U < 0x800) {
            Mine += static_cast<char>(0xC0 | (U >> 6));
            Mine += static_cast<char>(0x80 | (U & 0x3F));
        } else {
            Mine += static_cast<char>(0xE0 | (U >> 12));
            Mine += static_cast<char>(0x80 | ((U >> 6) & 0x3F));
            Mine += static_cast<char>(0x80 | (U & 0x3F));
        }
        EXPECT_EQ(Mine, Utf8) << C;
    }
}

TEST(RasterText, FaceNamesResolveToInstalledMetricCompatibleFaces) {
    TZemTextEngine E;
    TRasterFont F;
    F.Name = "Arial";
    EXPECT_EQ(E.ResolvedFamily(F), "Liberation Sans");
    F.Name = "Times New Roman";
    EXPECT_EQ(E.ResolvedFamily(F), "Liberation Serif");
    for (const char* Name : {"Tahoma", "Verdana", "MS Sans Serif", "No Such Face"}) {
        F.Name = Name;
        EXPECT_FALSE(E.ResolvedFamily(F).empty()) << Name;
    }
}

TEST(RasterText, MeasuresWithTheFontAndGrowsWithSizeAndBold) {
    TBitmap32 B = Surface(10, 10);
    B.Font.Name = "Arial";
    B.Font.Size = 12;
    ZemString Text = zem::FromUtf8("Улица Ленина, 12");
    int W = B.TextWidth(Text), H = B.TextHeight(Text);
    EXPECT_GT(W, 80);
    EXPECT_LT(W, 160);
    EXPECT_EQ(H,
              19); // Arial 12 pt at 96 per inch: ascent 15 + descent 4 (Liberation Sans has Arial's metrics)
    EXPECT_EQ(B.TextSize(Text), (TRasterSize{W, H}));
    B.Font.Style = fsBold;
    EXPECT_GT(B.TextWidth(Text), W);
    B.Font.Style = 0;
    B.Font.Size = 24;
    EXPECT_GT(B.TextWidth(Text), 2 * W - 10);
    EXPECT_EQ(B.TextWidth(""), 0);
}

TEST(RasterText, OutputTextRotatedWritesInsideTheRotatedBox) {
    ZemString Text = zem::FromUtf8("Проспект Мира");
    TBitmap32 B = Surface(200, 200);
    B.Font.Name = "Arial";
    B.Font.Size = 10;
    B.LineColor = Ink;
    int W = B.TextWidth(Text), H = B.TextHeight(Text);
    B.OutputTextRotated(20, 30, false, 0, Text);
    TRasterRect Box = InkBox(B);
    EXPECT_GE(Box.Left, 20);
    EXPECT_GE(Box.Top, 30);
    EXPECT_LE(Box.Right, 20 + W);
    EXPECT_LE(Box.Bottom, 30 + H);
    EXPECT_GT(Box.Right - Box.Left, W * 3 / 4);
    // At pi/2 (escapement 900) the text runs upwards from (X, Y) and its top faces left.
    B.Clear(Bg);
    B.OutputTextRotated(100, 150, false, std::numbers::pi / 2, Text);
    Box = InkBox(B);
    EXPECT_GE(Box.Left, 100);
    EXPECT_LE(Box.Right, 100 + H);
    EXPECT_GE(Box.Top, 150 - W - 1);
    EXPECT_LE(Box.Bottom, 150);
    EXPECT_GT(Box.Bottom - Box.Top, W * 3 / 4);
}

TEST(RasterText, OutputTextUsesTheFontColourAndSelectedDrawsTheBox) {
    TBitmap32 B = Surface(120, 40);
    B.Font.Name = "Verdana";
    B.Font.Size = 9;
    B.Font.Color = 0x000000FF; // platform red
    B.OutputText(2, 2, "Test");
    EXPECT_GT(Count(B, 0xFFFF0000), 0);
    B.Clear(Bg);
    B.OutputTextRotated(10, 10, true, 0, "Ab");
    int W = B.TextWidth("Ab"), H = B.TextHeight("Ab");
    EXPECT_EQ(B.GetPixel(11, 10), Bg ^ kInvertMask32); // the dashed box starts at its corner
    EXPECT_EQ(InkBox(B), (TRasterRect{10, 10, 10 + W, 10 + H}));
}

TEST(RasterText, UnderlineAndStrikeOutDrawBarsAlongTheText) {
    TBitmap32 Plain = Surface(200, 40), Styled = Surface(200, 40);
    for (TBitmap32* B : {&Plain, &Styled}) {
        B->Font.Name = "Times New Roman";
        B->Font.Size = 14;
        B->LineColor = Ink;
    }
    Styled.Font.Style = fsUnderline | fsStrikeOut;
    Plain.OutputTextRotated(5, 5, false, 0, "mmmm");
    Styled.OutputTextRotated(5, 5, false, 0, "mmmm");
    int Full = 0;
    for (int Y = 0; Y < 40; ++Y)
        if (Row(Styled, Y, 6, 6 + Styled.TextWidth("mmmm") - 3).find_first_not_of('#') == std::string::npos)
            ++Full;
    EXPECT_GE(Full, 2); // at least one row of each bar is solid along the text
    EXPECT_GT(Count(Styled, Ink), Count(Plain, Ink));
}

TEST(RasterText, GlyphsAreRenderedOncePerFontAndAngle) {
    auto Engine = std::make_shared<TZemTextEngine>();
    TBitmap32 A = Surface(100, 100), B = Surface(100, 100);
    A.SetTextEngine(Engine);
    B.SetTextEngine(Engine);
    A.Font.Name = B.Font.Name = "Arial";
    A.OutputTextRotated(10, 50, false, 0.5, "abcabc");
    std::size_t N = Engine->CachedGlyphs();
    EXPECT_EQ(N, 3u);
    B.OutputTextRotated(20, 60, false, 0.5, "cab");
    EXPECT_EQ(Engine->CachedGlyphs(), N);
    B.OutputTextRotated(20, 60, false, 0.6, "cab");
    EXPECT_EQ(Engine->CachedGlyphs(), N + 3);
}

TEST(RasterText, TextClipsPixelExactlyAtEveryEdgeAndFarAway) {
    auto Engine = std::make_shared<TZemTextEngine>();
    ZemString Text = zem::FromUtf8("Ёлки-палки, 1251 Ж");
    for (double Angle : {0.0, 0.7, std::numbers::pi / 2, 3.0}) {
        for (auto [X, Y] : {std::pair{-20, 5}, {30, -8}, {50, 25}, {10, 40}, {-60, -40}}) {
            TBitmap32 Small = Surface(60, 30), Big = Surface(260, 230);
            for (TBitmap32* B : {&Small, &Big}) {
                B->SetTextEngine(Engine);
                B->Font.Name = "Times New Roman";
                B->Font.Size = 11;
                B->Font.Style = fsUnderline | fsStrikeOut;
                B->LineColor = Ink;
            }
            Small.OutputTextRotated(X, Y, false, Angle, Text);
            Big.OutputTextRotated(X + 100, Y + 100, false, Angle, Text);
            ASSERT_TRUE(SameWindow(Small, Big, 100, 100)) << Angle << " at " << X << "," << Y;
        }
    }
    TBitmap32 B = Surface(20, 20);
    B.OutputTextRotated(INT_MAX, INT_MIN, true, 1.0, Text);
    B.OutputTextRotated(INT_MIN, INT_MAX, false, 0, Text);
    B.OutputText(-2000000000, 5, Text);
    EXPECT_EQ(Count(B, Bg), 400);
}

TEST(RasterText, GlyphsThatCannotReachTheSurfaceAreNotRendered) {
    // A long label mostly off the window: only the glyphs near the window are rendered and cached.
    TZemTextEngine E;
    TRasterFont F;
    F.Name = "Arial";
    F.Size = 40;
    std::vector<TColor32> Bits(std::size_t{50} * 50, 0xFFFFFFFF);
    ZemString Text;
    for (char C = 'A'; C <= 'Z'; ++C)
        Text += C;
    for (char C = 'a'; C <= 'z'; ++C)
        Text += C;
    E.Draw(Bits.data(), 50, 50, F, 0, 0, 0, 0xFF000000, Text);
    EXPECT_GE(E.CachedGlyphs(), 1u);
    EXPECT_LE(E.CachedGlyphs(), 16u); // of 52 distinct letters, about 300 px of them at most
    EXPECT_NE(std::count(Bits.begin(), Bits.end(), 0xFFFFFFFF), 50 * 50); // the first letters are drawn
}
