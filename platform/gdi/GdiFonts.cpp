// Fonts: face names mapped to installed families, fontconfig matching, FreeType glyphs with glyph-by-glyph
// fallback, synthetic bold and italic, and the built-in fixed-metric font for layout tests.
#include "platform/gdi/GdiFonts.h"

#include "platform/gdi/GdiInternal.h"

#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H
#include <fontconfig/fontconfig.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <set>

namespace gdi {

struct FaceEntry {
    std::string File;
    int Index = 0;
    FT_Face Face = nullptr;
    bool Bold = false;   // the face itself is bold
    bool Italic = false; // the face itself is slanted
};

namespace {

struct Engine {
    FT_Library Library = nullptr;
    std::map<std::pair<std::string, int>, std::unique_ptr<FaceEntry>> Faces;
    std::map<std::string, FaceEntry*> Matches;          // family|bold|italic -> face
    std::unordered_map<char32_t, FaceEntry*> Fallbacks; // code point -> face that has it (or nullptr)
    std::map<std::u16string, std::unique_ptr<FontInstance>> Instances;
    std::set<std::u16string> FixedNames;
    std::map<std::u16string, std::string> FileNames;
};

Engine& E() {
    static Engine* e = [] {
        auto* En = new Engine; // lives to the end of the process: glyphs may be drawn at exit
        FT_Init_FreeType(&En->Library);
        FcInit();
        return En;
    }();
    return *e;
}

std::string Utf8(const std::u16string& s) {
    std::string Out;
    for (std::size_t I = 0; I < s.size(); ++I) {
        char32_t C = s[I];
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < s.size() && s[I + 1] >= 0xDC00 && s[I + 1] < 0xE000) {
            C = 0x10000 + ((C - 0xD800) << 10) + (s[I + 1] - 0xDC00);
            ++I;
        }
        if (C < 0x80) {
            Out += char(C);
        } else if (C < 0x800) {
            Out += char(0xC0 | (C >> 6));
            Out += char(0x80 | (C & 63));
        } else if (C < 0x10000) {
            Out += char(0xE0 | (C >> 12));
            Out += char(0x80 | ((C >> 6) & 63));
            Out += char(0x80 | (C & 63));
        } else {
            Out += char(0xF0 | (C >> 18));
            Out += char(0x80 | ((C >> 12) & 63));
            Out += char(0x80 | ((C >> 6) & 63));
            Out += char(0x80 | (C & 63));
        }
    }
    return Out;
}

std::u16string FaceName(const LOGFONTW& lf) {
    std::u16string S;
    for (int I = 0; I < LF_FACESIZE && lf.lfFaceName[I]; ++I)
        S += lf.lfFaceName[I];
    return S;
}

std::u16string Lower(std::u16string s) {
    for (auto& C : s)
        if (C >= u'A' && C <= u'Z')
            C = char16_t(C - u'A' + u'a');
    return s;
}

// The platform's face names to families installed here.
std::string MappedFamily(const std::u16string& face) {
    static const std::map<std::u16string, const char*> Map = {
        {u"宋体", "WenQuanYi Micro Hei"},      {u"新宋体", "WenQuanYi Micro Hei"},
        {u"simsun", "WenQuanYi Micro Hei"},    {u"nsimsun", "WenQuanYi Micro Hei"},
        {u"黑体", "WenQuanYi Micro Hei"},      {u"simhei", "WenQuanYi Micro Hei"},
        {u"微软雅黑", "WenQuanYi Micro Hei"},  {u"microsoft yahei", "WenQuanYi Micro Hei"},
        {u"tahoma", "Liberation Sans"},        {u"arial", "Liberation Sans"},
        {u"ms sans serif", "Liberation Sans"}, {u"microsoft sans serif", "Liberation Sans"},
        {u"ms shell dlg", "Liberation Sans"},  {u"ms shell dlg 2", "Liberation Sans"},
        {u"verdana", "DejaVu Sans"},           {u"segoe ui", "Liberation Sans"},
        {u"system", "Liberation Sans"},        {u"times new roman", "Liberation Serif"},
        {u"courier new", "Liberation Mono"},   {u"courier", "Liberation Mono"},
        {u"fixedsys", "Liberation Mono"},
    };
    auto It = Map.find(Lower(face));
    if (It != Map.end())
        return It->second;
    if (face.empty())
        return "Liberation Sans";
    return Utf8(face);
}

FaceEntry* OpenFace(const std::string& file, int index) {
    auto& e = E();
    auto Key = std::make_pair(file, index);
    auto It = e.Faces.find(Key);
    if (It != e.Faces.end())
        return It->second.get();
    auto Fe = std::make_unique<FaceEntry>();
    Fe->File = file;
    Fe->Index = index;
    if (FT_New_Face(e.Library, file.c_str(), index, &Fe->Face) != 0)
        Fe->Face = nullptr;
    if (Fe->Face) {
        Fe->Bold = (Fe->Face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        Fe->Italic = (Fe->Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    }
    FaceEntry* P = Fe.get();
    e.Faces.emplace(Key, std::move(Fe));
    return P;
}

FaceEntry* FromPattern(FcPattern* m) {
    FcChar8* File = nullptr;
    int Index = 0;
    if (!m || FcPatternGetString(m, FC_FILE, 0, &File) != FcResultMatch)
        return nullptr;
    FcPatternGetInteger(m, FC_INDEX, 0, &Index);
    FaceEntry* F = OpenFace(reinterpret_cast<const char*>(File), Index);
    return F && F->Face ? F : nullptr;
}

FaceEntry* MatchFamily(const std::string& family, bool bold, bool italic) {
    auto& e = E();
    std::string Key = family + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto It = e.Matches.find(Key);
    if (It != e.Matches.end())
        return It->second;
    FcPattern* Pat = FcPatternCreate();
    FcPatternAddString(Pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(Pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(Pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(Pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, Pat, FcMatchPattern);
    FcDefaultSubstitute(Pat);
    FcResult R;
    FcPattern* M = FcFontMatch(nullptr, Pat, &R);
    FaceEntry* F = FromPattern(M);
    if (M)
        FcPatternDestroy(M);
    FcPatternDestroy(Pat);
    e.Matches[Key] = F;
    return F;
}

// A face that has the code point: the Chinese face first for CJK, then whatever fontconfig sorts first.
FaceEntry* FallbackFor(char32_t cp) {
    auto& e = E();
    auto It = e.Fallbacks.find(cp);
    if (It != e.Fallbacks.end())
        return It->second;
    FaceEntry* Found = nullptr;
    for (const char* Fam : {"WenQuanYi Micro Hei", "DejaVu Sans"}) {
        FaceEntry* F = MatchFamily(Fam, false, false);
        if (F && FT_Get_Char_Index(F->Face, cp)) {
            Found = F;
            break;
        }
    }
    if (!Found) {
        FcPattern* Pat = FcPatternCreate();
        FcCharSet* Cs = FcCharSetCreate();
        FcCharSetAddChar(Cs, FcChar32(cp));
        FcPatternAddCharSet(Pat, FC_CHARSET, Cs);
        FcPatternAddBool(Pat, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, Pat, FcMatchPattern);
        FcDefaultSubstitute(Pat);
        FcResult R;
        FcFontSet* Set = FcFontSort(nullptr, Pat, FcFalse, nullptr, &R);
        if (Set) {
            for (int I = 0; I < Set->nfont && !Found; ++I) {
                FcCharSet* Has = nullptr;
                if (FcPatternGetCharSet(Set->fonts[I], FC_CHARSET, 0, &Has) == FcResultMatch &&
                    FcCharSetHasChar(Has, FcChar32(cp))) {
                    FaceEntry* F = FromPattern(Set->fonts[I]);
                    if (F && FT_Get_Char_Index(F->Face, cp))
                        Found = F;
                }
            }
            FcFontSetDestroy(Set);
        }
        FcCharSetDestroy(Cs);
        FcPatternDestroy(Pat);
    }
    e.Fallbacks[cp] = Found;
    return Found;
}

std::u16string KeyOf(const LOGFONTW& lf) {
    std::u16string K(reinterpret_cast<const char16_t*>(&lf), sizeof(LOGFONTW) / 2);
    return K;
}

bool IsWide(char32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

} // namespace

std::mutex& FontLock() {
    static std::mutex* M = new std::mutex;
    return *M;
}

std::vector<CodePoint> Decode(const char16_t* s, int n) {
    std::vector<CodePoint> Out;
    Out.reserve(n > 0 ? std::size_t(n) : 0);
    for (int I = 0; I < n; ++I) {
        char32_t C = s[I];
        int Start = I;
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < n && s[I + 1] >= 0xDC00 && s[I + 1] < 0xE000) {
            C = 0x10000 + ((C - 0xD800) << 10) + (s[I + 1] - 0xDC00);
            ++I;
        }
        Out.push_back({C, Start});
    }
    return Out;
}

FontInstance& InstanceFor(const LOGFONTW& lf) {
    auto& e = E();
    auto Key = KeyOf(lf);
    auto It = e.Instances.find(Key);
    if (It != e.Instances.end())
        return *It->second;
    auto Inst = std::make_unique<FontInstance>(lf);
    FontInstance& Ref = *Inst;
    e.Instances.emplace(Key, std::move(Inst));
    return Ref;
}

FontInstance::FontInstance(const LOGFONTW& lf) : FLog(lf) {
    auto& e = E();
    FBold = lf.lfWeight >= FW_SEMIBOLD;
    FItalic = lf.lfItalic != 0;
    FMono = lf.lfQuality == NONANTIALIASED_QUALITY;
    std::u16string Face = FaceName(lf);
    FMetrics.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    FMetrics.tmItalic = lf.lfItalic;
    FMetrics.tmUnderlined = lf.lfUnderline;
    FMetrics.tmStruckOut = lf.lfStrikeOut;
    FMetrics.tmCharSet = lf.lfCharSet;
    if (e.FixedNames.count(Lower(Face))) {
        FFixed = true;
        FCell = lf.lfHeight == 0 ? 16 : std::abs(int(lf.lfHeight));
        int H = FCell;
        FMetrics.tmHeight = H;
        FMetrics.tmAscent = H - H / 4;
        FMetrics.tmDescent = H / 4;
        FMetrics.tmAveCharWidth = std::max(1, H / 2);
        FMetrics.tmMaxCharWidth = std::max(1, H);
        FUnderlineOffset = FMetrics.tmAscent;
        FStrikeOffset = FMetrics.tmAscent / 2;
        FLineThickness = 1;
        return;
    }
    FPrimary = MatchFamily(MappedFamily(Face), FBold, FItalic);
    if (!FPrimary)
        FPrimary = MatchFamily("sans-serif", FBold, FItalic);
    double WinA = 0.8, WinD = 0.2, Upem = 1.0, LineGap = 0, Avg = 0, UlPos = 0, UlThick = 0, MaxAdv = 0;
    if (FPrimary) {
        FT_Face F = FPrimary->Face;
        Upem = F->units_per_EM ? F->units_per_EM : 1000;
        auto* Os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(F, FT_SFNT_OS2));
        if (Os2 && Os2->version != 0xFFFF && (Os2->usWinAscent || Os2->usWinDescent)) {
            WinA = Os2->usWinAscent;
            WinD = Os2->usWinDescent;
            Avg = Os2->xAvgCharWidth;
        } else {
            WinA = F->ascender;
            WinD = -F->descender;
        }
        LineGap = std::max<double>(0, F->height - (F->ascender - F->descender));
        UlPos = -F->underline_position;
        UlThick = F->underline_thickness;
        MaxAdv = F->max_advance_width;
    }
    double EmPx;
    if (lf.lfHeight < 0)
        EmPx = -lf.lfHeight;
    else
        EmPx = (lf.lfHeight == 0 ? 16 : lf.lfHeight) * Upem / (WinA + WinD);
    FEm26 = std::max(64L, long(std::lround(EmPx * 64)));
    double Scale = EmPx / Upem;
    int Ascent = int(std::lround(WinA * Scale));
    int Descent = lf.lfHeight > 0 ? int(lf.lfHeight) - Ascent : int(std::lround(WinD * Scale));
    FMetrics.tmAscent = Ascent;
    FMetrics.tmDescent = Descent;
    FMetrics.tmHeight = Ascent + Descent;
    FMetrics.tmInternalLeading = std::max(0, FMetrics.tmHeight - int(std::lround(EmPx)));
    FMetrics.tmExternalLeading = int(std::lround(LineGap * Scale));
    FMetrics.tmMaxCharWidth = std::max(1, int(std::lround(MaxAdv * Scale)));
    FUnderlineOffset = Ascent + std::max(1, int(std::lround(UlPos * Scale)));
    FLineThickness = std::max(1, int(std::lround(UlThick * Scale)));
    FStrikeOffset = Ascent - std::max(1, int(std::lround(EmPx * 0.3)));
    int X = GlyphOf(U'x').Advance;
    FMetrics.tmAveCharWidth = Avg > 0 ? std::max(1, int(std::lround(Avg * Scale))) : std::max(1, X);
    if (FBold && FPrimary && !FPrimary->Bold)
        FMetrics.tmOverhang = 0;
}

const Glyph& FontInstance::GlyphOf(char32_t cp) {
    auto It = FGlyphs.find(cp);
    if (It != FGlyphs.end())
        return It->second;
    Glyph& G = FGlyphs[cp];
    Render(cp, G);
    return G;
}

void FontInstance::Render(char32_t cp, Glyph& g) {
    if (cp < 0x20 || cp == 0x7F)
        return; // control characters take no room
    if (FFixed) {
        int H = FCell;
        g.Advance = IsWide(cp) ? H : std::max(1, H / 2);
        if (cp == U' ' || cp == 0xA0 || cp == 0x3000)
            return;
        g.Left = 0;
        g.Top = 0;
        g.Width = std::max(0, g.Advance - 1);
        g.Height = FMetrics.tmAscent;
        g.Coverage.assign(std::size_t(g.Width) * g.Height, 255);
        return;
    }
    FaceEntry* Fe = FPrimary;
    if (!Fe || !FT_Get_Char_Index(Fe->Face, cp)) {
        FaceEntry* Fb = FallbackFor(cp);
        if (Fb)
            Fe = Fb;
    }
    if (!Fe)
        return;
    FT_Face F = Fe->Face;
    FT_Set_Char_Size(F, 0, FEm26, 72, 72);
    FT_UInt Gi = FT_Get_Char_Index(F, cp);
    FT_Int32 Flags = FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | (FMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(F, Gi, Flags) != 0)
        return;
    if (FBold && !Fe->Bold)
        FT_GlyphSlot_Embolden(F->glyph);
    if (FItalic && !Fe->Italic)
        FT_GlyphSlot_Oblique(F->glyph);
    if (FT_Render_Glyph(F->glyph, FMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return;
    FT_GlyphSlot S = F->glyph;
    g.Advance = int((S->advance.x + 32) >> 6);
    g.Left = S->bitmap_left;
    g.Top = FMetrics.tmAscent - S->bitmap_top;
    g.Width = int(S->bitmap.width);
    g.Height = int(S->bitmap.rows);
    g.Coverage.resize(std::size_t(g.Width) * g.Height);
    for (int Y = 0; Y < g.Height; ++Y) {
        const unsigned char* Row = S->bitmap.buffer + std::ptrdiff_t(Y) * S->bitmap.pitch;
        for (int X = 0; X < g.Width; ++X) {
            std::uint8_t V;
            if (S->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                V = (Row[X >> 3] & (0x80 >> (X & 7))) ? 255 : 0;
            else
                V = Row[X];
            g.Coverage[std::size_t(Y) * g.Width + X] = V;
        }
    }
}

} // namespace gdi

using namespace gdi;

bool FontHasGlyph(char32_t cp) {
    std::lock_guard<std::mutex> G(FontLock());
    return FallbackFor(cp) != nullptr;
}

const char* FontFileFor(LPCWSTR faceName) {
    std::lock_guard<std::mutex> G(FontLock());
    std::u16string Face = faceName ? faceName : u"";
    auto& e = E();
    auto It = e.FileNames.find(Face);
    if (It != e.FileNames.end())
        return It->second.c_str();
    FaceEntry* F = MatchFamily(MappedFamily(Face), false, false);
    return e.FileNames.emplace(Face, F ? F->File : std::string()).first->second.c_str();
}

void RegisterFixedMetricFont(LPCWSTR faceName) {
    std::lock_guard<std::mutex> G(FontLock());
    E().FixedNames.insert(Lower(faceName ? faceName : u""));
}

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf)
        return nullptr;
    auto F = std::make_shared<Font>();
    F->Log = *lplf;
    F->Log.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddObject(F));
}

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
    LOGFONTW Lf;
    Lf.lfHeight = cHeight;
    Lf.lfWidth = cWidth;
    Lf.lfEscapement = cEscapement;
    Lf.lfOrientation = cOrientation;
    Lf.lfWeight = cWeight;
    Lf.lfItalic = BYTE(bItalic != 0);
    Lf.lfUnderline = BYTE(bUnderline != 0);
    Lf.lfStrikeOut = BYTE(bStrikeOut != 0);
    Lf.lfCharSet = BYTE(iCharSet);
    Lf.lfOutPrecision = BYTE(iOutPrecision);
    Lf.lfClipPrecision = BYTE(iClipPrecision);
    Lf.lfQuality = BYTE(iQuality);
    Lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
    for (int I = 0; pszFaceName && pszFaceName[I] && I < LF_FACESIZE - 1; ++I)
        Lf.lfFaceName[I] = pszFaceName[I];
    return CreateFontIndirectW(&Lf);
}
