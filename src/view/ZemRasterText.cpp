#include "view/ZemRasterText.h"

#include "base/ZemErrors.h"
#include "base/ZemRound.h"
#include "view/ZemRasterFill.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SIZES_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <array>
#include <cmath>
#include <map>
#include <numbers>
#include <unordered_map>
#include <vector>

namespace zem {

int TRasterFont::PixelHeight() const {
    int H = MulDiv(Size < 0 ? -Size : Size, 96, 72);
    return std::clamp(H, 1, 2000);
}

int EscapementOf(double Angle) {
    return Round(Angle * 1800 / std::numbers::pi);
}

char32_t Cp1251ToUnicode(unsigned char C) {
    static constexpr char16_t High[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, 0x20AC, 0x2030, 0x0409,
        0x2039, 0x040A, 0x040C, 0x040B, 0x040F, 0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
        0x2013, 0x2014, 0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, 0x00A0,
        0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, 0x0401, 0x00A9, 0x0404, 0x00AB,
        0x00AC, 0x00AD, 0x00AE, 0x0407, 0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6,
        0x00B7, 0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457};
    if (C < 0x80)
        return C;
    if (C >= 0xC0)
        return 0x0410 + (C - 0xC0);
    return High[C - 0x80];
}

namespace {

// Faces for names that have no metric-compatible stand-in of their own: tried after the name itself.
const char* FallbackFamily(const std::string& Name) {
    static const std::pair<const char*, const char*> Table[] = {
        {"arial", "Liberation Sans"},       {"times new roman", "Liberation Serif"},
        {"courier new", "Liberation Mono"}, {"tahoma", "DejaVu Sans"},
        {"verdana", "DejaVu Sans"},         {"ms sans serif", "Liberation Sans"},
    };
    std::string Lower;
    for (char C : Name)
        Lower += static_cast<char>(C >= 'A' && C <= 'Z' ? C + 32 : C);
    for (auto& [Key, Family] : Table)
        if (Lower == Key)
            return Family;
    return "Liberation Sans";
}

// Rendered glyphs bigger than this are drawn without being kept.
constexpr std::size_t kMaxCachedGlyphBytes = std::size_t{64} * 1024;
// When the glyphs held pass this, the glyph cache starts over.
constexpr std::size_t kGlyphCacheBudget = 32u << 20;

struct TGlyph {
    bool Loaded = false;
    int Left = 0, Top = 0, W = 0, H = 0;
    std::vector<std::uint8_t> Coverage;
};

struct TGlyphSet {
    std::array<TGlyph, 256> Glyphs;
};

} // namespace

struct TZemTextEngine::TImpl {
    FT_Library Library = nullptr;

    struct TFace {
        FT_Face Face = nullptr;
        bool Bold = false, Italic = false; // what the face itself is
        std::string Family;
    };
    // (file, index) -> face; (name, bold, italic) -> face
    std::map<std::pair<std::string, int>, std::unique_ptr<TFace>> Faces;
    std::map<std::string, TFace*> Resolved;

    struct TSized {
        int Id;
        TFace* Face;
        FT_Size Size = nullptr;
        int Em;
        bool SynthBold, SynthItalic;
        int Ascent = 0, Descent = 0;
        double UnderlinePos = 0, UnderlineThick = 1, StrikePos = 0, StrikeThick = 1;
        std::array<int, 256> Advance;
        std::array<FT_UInt, 256> Index;
    };
    std::vector<std::unique_ptr<TSized>> Sized;
    std::map<std::string, TSized*> SizedByKey;
    // Last font asked for: labels come in runs of the same font.
    std::string LastName;
    int LastEm = 0;
    std::uint8_t LastStyle = 0;
    TSized* LastSized = nullptr;

    std::unordered_map<std::uint64_t, std::unique_ptr<TGlyphSet>> GlyphSets;
    std::size_t GlyphBytes = 0, GlyphCount = 0;
    TGlyph Scratch;
    raster::TScanlineFiller Filler;

    TImpl() {
        if (FT_Init_FreeType(&Library))
            throw EZemError("FreeType: не удалось начать работу со шрифтами");
    }
    ~TImpl() {
        GlyphSets.clear();
        for (auto& S : Sized)
            FT_Done_Size(S->Size);
        for (auto& [Key, F] : Faces)
            FT_Done_Face(F->Face);
        FT_Done_FreeType(Library);
    }

    TFace* Resolve(const std::string& Name, bool Bold, bool Italic) {
        std::string Key = Name + (Bold ? "|b" : "|") + (Italic ? "i" : "");
        auto It = Resolved.find(Key);
        if (It != Resolved.end())
            return It->second;
        FcPattern* Pattern = FcPatternCreate();
        FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(Name.c_str()));
        FcPatternAddString(Pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(FallbackFamily(Name)));
        FcPatternAddInteger(Pattern, FC_WEIGHT, Bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
        FcPatternAddInteger(Pattern, FC_SLANT, Italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
        FcPatternAddBool(Pattern, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, Pattern, FcMatchPattern);
        FcDefaultSubstitute(Pattern);
        FcResult Result;
        FcPattern* Match = FcFontMatch(nullptr, Pattern, &Result);
        FcPatternDestroy(Pattern);
        TFace* Face = nullptr;
        if (Match) {
            FcChar8* File = nullptr;
            int Index = 0, Weight = FC_WEIGHT_REGULAR, Slant = FC_SLANT_ROMAN;
            FcPatternGetString(Match, FC_FILE, 0, &File);
            FcPatternGetInteger(Match, FC_INDEX, 0, &Index);
            FcPatternGetInteger(Match, FC_WEIGHT, 0, &Weight);
            FcPatternGetInteger(Match, FC_SLANT, 0, &Slant);
            if (File) {
                auto FKey = std::make_pair(std::string(reinterpret_cast<char*>(File)), Index);
                auto& Slot = Faces[FKey];
                if (!Slot) {
                    FT_Face F = nullptr;
                    if (FT_New_Face(Library, FKey.first.c_str(), Index, &F) == 0) {
                        Slot = std::make_unique<TFace>();
                        Slot->Face = F;
                        Slot->Bold = Weight >= FC_WEIGHT_DEMIBOLD;
                        Slot->Italic = Slant != FC_SLANT_ROMAN;
                        Slot->Family = F->family_name ? F->family_name : "";
                        FT_Select_Charmap(F, FT_ENCODING_UNICODE);
                    } else {
                        Faces.erase(FKey);
                    }
                }
                auto Found = Faces.find(FKey);
                if (Found != Faces.end())
                    Face = Found->second.get();
            }
            FcPatternDestroy(Match);
        }
        if (!Face)
            throw EZemError("Не найден шрифт \"" + Name + "\"");
        Resolved[Key] = Face;
        return Face;
    }

    TSized* SizedFor(const TRasterFont& Font) {
        int Em = Font.PixelHeight();
        std::uint8_t Style = Font.Style & (fsBold | fsItalic);
        if (LastSized && Em == LastEm && Style == LastStyle && Font.Name == LastName)
            return LastSized;
        bool Bold = Style & fsBold, Italic = Style & fsItalic;
        // Face names hold at most 31 characters, as the window system's font records do.
        std::string Key = Font.Name.substr(0, 31);
        Key += '|';
        Key += std::to_string(Em);
        Key += Bold ? 'b' : '-';
        Key += Italic ? 'i' : '-';
        auto It = SizedByKey.find(Key);
        if (It == SizedByKey.end()) {
            TFace* Face = Resolve(Font.Name.substr(0, 31), Bold, Italic);
            auto S = std::make_unique<TSized>();
            S->Id = static_cast<int>(Sized.size());
            S->Face = Face;
            S->Em = Em;
            S->SynthBold = Bold && !Face->Bold;
            S->SynthItalic = Italic && !Face->Italic;
            FT_Face F = Face->Face;
            if (FT_New_Size(F, &S->Size) || FT_Activate_Size(S->Size) || FT_Set_Pixel_Sizes(F, 0, Em))
                throw EZemError("Шрифт \"" + Font.Name + "\" не масштабируется");
            double Scale = double(Em) / F->units_per_EM;
            const TT_OS2* Os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(F, FT_SFNT_OS2));
            if (Os2 && Os2->usWinAscent + Os2->usWinDescent > 0) {
                S->Ascent = int(std::ceil(Os2->usWinAscent * Scale - 1e-6));
                S->Descent = int(std::ceil(Os2->usWinDescent * Scale - 1e-6));
                S->StrikePos = Os2->yStrikeoutPosition * Scale;
                S->StrikeThick = std::max(1.0, std::round(Os2->yStrikeoutSize * Scale));
            } else {
                S->Ascent = int(std::ceil(F->ascender * Scale));
                S->Descent = int(std::ceil(-F->descender * Scale));
                S->StrikePos = S->Ascent * 0.3;
                S->StrikeThick = std::max(1.0, std::round(Em / 14.0));
            }
            S->UnderlineThick = std::max(1.0, std::round(F->underline_thickness * Scale));
            S->UnderlinePos = -F->underline_position * Scale;
            S->Advance.fill(-1);
            for (int C = 0; C < 256; ++C)
                S->Index[C] = FT_Get_Char_Index(F, Cp1251ToUnicode(static_cast<unsigned char>(C)));
            SizedByKey[Key] = S.get();
            Sized.push_back(std::move(S));
            It = SizedByKey.find(Key);
        }
        LastName = Font.Name;
        LastEm = Em;
        LastStyle = Style;
        LastSized = It->second;
        return LastSized;
    }

    int Strength(const TSized& S) const { return std::max(64, S.Em * 64 / 24); } // 26.6 units

    int AdvanceOf(TSized& S, unsigned char C) {
        int& A = S.Advance[C];
        if (A < 0) {
            FT_Face F = S.Face->Face;
            FT_Activate_Size(S.Size);
            FT_Set_Transform(F, nullptr, nullptr);
            A = 0;
            if (FT_Load_Glyph(F, S.Index[C], FT_LOAD_DEFAULT) == 0)
                A = int((F->glyph->advance.x + 32) >> 6) + (S.SynthBold ? Strength(S) / 64 : 0);
        }
        return A;
    }

    // Renders glyph C of S at Escapement into G.
    void Render(TSized& S, int Escapement, unsigned char C, TGlyph& G) {
        G.Loaded = true;
        G.W = G.H = 0;
        G.Coverage.clear();
        FT_Face F = S.Face->Face;
        FT_Activate_Size(S.Size);
        double Theta = Escapement * std::numbers::pi / 1800;
        double Co = std::cos(Theta), Si = std::sin(Theta), Sh = S.SynthItalic ? 0.2 : 0.0;
        // Rotation (counter-clockwise, y up) after the italic shear x' = x + Sh * y.
        FT_Matrix M{FT_Fixed(std::lround(Co * 65536)), FT_Fixed(std::lround((Co * Sh - Si) * 65536)),
                    FT_Fixed(std::lround(Si * 65536)), FT_Fixed(std::lround((Si * Sh + Co) * 65536))};
        FT_Set_Transform(F, &M, nullptr);
        bool Ok = FT_Load_Glyph(F, S.Index[C], FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0 &&
                  F->glyph->format == FT_GLYPH_FORMAT_OUTLINE;
        if (Ok && S.SynthBold)
            FT_Outline_Embolden(&F->glyph->outline, Strength(S));
        if (Ok)
            Ok = FT_Render_Glyph(F->glyph, FT_RENDER_MODE_NORMAL) == 0;
        FT_Set_Transform(F, nullptr, nullptr);
        if (!Ok)
            return;
        const FT_Bitmap& B = F->glyph->bitmap;
        G.Left = F->glyph->bitmap_left;
        G.Top = F->glyph->bitmap_top;
        G.W = int(B.width);
        G.H = int(B.rows);
        G.Coverage.resize(std::size_t(G.W) * G.H);
        for (int R = 0; R < G.H; ++R) {
            const unsigned char* Src = B.pitch >= 0
                                           ? B.buffer + std::size_t(R) * B.pitch
                                           : B.buffer + std::size_t(G.H - 1 - R) * std::size_t(-B.pitch);
            std::copy(Src, Src + G.W, G.Coverage.begin() + std::size_t(R) * G.W);
        }
    }

    TGlyphSet& SetFor(const TSized& S, int Escapement) {
        std::uint64_t Key = (std::uint64_t(S.Id) << 16) | std::uint64_t(Escapement);
        auto& Set = GlyphSets[Key];
        if (!Set)
            Set = std::make_unique<TGlyphSet>();
        return *Set;
    }

    const TGlyph& Glyph(TSized& S, TGlyphSet& Set, int Escapement, unsigned char C) {
        TGlyph& G = Set.Glyphs[C];
        if (G.Loaded)
            return G;
        Render(S, Escapement, C, G);
        if (G.Coverage.size() > kMaxCachedGlyphBytes) {
            Scratch = std::move(G);
            G = TGlyph{};
            return Scratch;
        }
        GlyphBytes += G.Coverage.size() + sizeof(TGlyph);
        ++GlyphCount;
        return G;
    }

    void TrimCache() {
        if (GlyphBytes > kGlyphCacheBudget || GlyphSets.size() > 8192) {
            GlyphSets.clear();
            GlyphBytes = GlyphCount = 0;
        }
    }
};

TZemTextEngine::TZemTextEngine() : FImpl(std::make_unique<TImpl>()) {}
TZemTextEngine::~TZemTextEngine() = default;

std::size_t TZemTextEngine::CachedGlyphs() const {
    return FImpl->GlyphCount;
}

std::string TZemTextEngine::ResolvedFamily(const TRasterFont& Font) {
    return FImpl->SizedFor(Font)->Face->Family;
}

TRasterSize TZemTextEngine::Measure(const TRasterFont& Font, const ZemString& Text) {
    TImpl::TSized& S = *FImpl->SizedFor(Font);
    int W = 0;
    for (char C : Text)
        W += FImpl->AdvanceOf(S, static_cast<unsigned char>(C));
    return {W, S.Ascent + S.Descent};
}

void TZemTextEngine::Draw(TColor32* Bits, int Width, int Height, const TRasterFont& Font, int Escapement,
                          int X, int Y, TColor32 Color, const ZemString& Text) {
    if (!Bits || Width <= 0 || Height <= 0 || Text.empty())
        return;
    Escapement %= 3600;
    if (Escapement < 0)
        Escapement += 3600;
    FImpl->TrimCache();
    TImpl::TSized& S = *FImpl->SizedFor(Font);
    TGlyphSet& Set = FImpl->SetFor(S, Escapement);
    double Theta = Escapement * std::numbers::pi / 1800;
    double Co = std::cos(Theta), Si = std::sin(Theta);
    if (Escapement == 0)
        Co = 1, Si = 0;
    // Text coordinates (u along the baseline, v down) -> surface: (X + u cos + v sin, Y - u sin + v cos).
    double OX = X + S.Ascent * Si, OY = Y + S.Ascent * Co; // the baseline's origin
    double Pen = 0;
    // No glyph reaches further than this from its pen point, whatever its shape or slant: a glyph whose
    // reach misses the surface is not rendered, so a long text in a huge font costs what its visible part
    // costs.
    const double Reach = 2.0 * (static_cast<double>(S.Em) + S.Ascent + S.Descent) + 64;
    for (char Ch : Text) {
        unsigned char C = static_cast<unsigned char>(Ch);
        const double PX = OX + Pen * Co, PY = OY - Pen * Si;
        if (PX + Reach < 0 || PX - Reach > Width || PY + Reach < 0 || PY - Reach > Height) {
            Pen += FImpl->AdvanceOf(S, C);
            continue;
        }
        const TGlyph& G = FImpl->Glyph(S, Set, Escapement, C);
        std::int64_t GX = std::llround(OX + Pen * Co) + G.Left, GY = std::llround(OY - Pen * Si) - G.Top;
        // The glyph's rows and columns that fall on the surface.
        std::int64_t R0 = std::max<std::int64_t>(0, -GY), R1 = std::min<std::int64_t>(G.H, Height - GY);
        std::int64_t C0 = std::max<std::int64_t>(0, -GX), C1 = std::min<std::int64_t>(G.W, Width - GX);
        if (C0 >= C1)
            R1 = R0;
        for (std::int64_t R = R0; R < R1; ++R) {
            const std::uint8_t* Cov = G.Coverage.data() + R * G.W;
            TColor32* D = Bits + (GY + R) * Width;
            for (std::int64_t Col = C0; Col < C1; ++Col) {
                std::uint32_t A = Cov[Col];
                TColor32& P = D[GX + Col];
                if (A == 255)
                    P = Color | 0xFF000000u;
                else if (A)
                    P = BlendCoverage(Color, P, A);
            }
        }
        Pen += FImpl->AdvanceOf(S, C);
    }
    // Underline and strike-out: bars along the baseline, as long as the text is wide.
    auto Bar = [&](double Top, double Thick) {
        TPointF Q[4];
        const double U[4] = {0, Pen, Pen, 0}, V[4] = {Top, Top, Top + Thick, Top + Thick};
        for (int i = 0; i < 4; ++i)
            Q[i] = {OX + U[i] * Co + V[i] * Si, OY - U[i] * Si + V[i] * Co};
        FImpl->Filler.Reset();
        FImpl->Filler.AddContour(Q, 4);
        FImpl->Filler.Fill({0, 0, Width, Height}, raster::TFillRule::frNonZero,
                           raster::TSolidSpan{Bits, Width, Color | 0xFF000000u});
    };
    if (Font.Style & fsUnderline)
        Bar(std::round(S.UnderlinePos - S.UnderlineThick / 2), S.UnderlineThick);
    if (Font.Style & fsStrikeOut)
        Bar(-std::round(S.StrikePos), S.StrikeThick);
}

} // namespace zem
