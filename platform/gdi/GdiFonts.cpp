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
        auto* en = new Engine; // lives to the end of the process: glyphs may be drawn at exit
        FT_Init_FreeType(&en->Library);
        FcInit();
        return en;
    }();
    return *e;
}

std::string Utf8(const std::u16string& s) {
    std::string out;
    for (std::size_t i = 0; i < s.size(); ++i) {
        char32_t c = s[i];
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 63));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 63));
            out += char(0x80 | (c & 63));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 63));
            out += char(0x80 | ((c >> 6) & 63));
            out += char(0x80 | (c & 63));
        }
    }
    return out;
}

std::u16string FaceName(const LOGFONTW& lf) {
    std::u16string s;
    for (int i = 0; i < LF_FACESIZE && lf.lfFaceName[i]; ++i)
        s += lf.lfFaceName[i];
    return s;
}

std::u16string Lower(std::u16string s) {
    for (auto& c : s)
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    return s;
}

// The platform's face names to families installed here.
std::string MappedFamily(const std::u16string& face) {
    static const std::map<std::u16string, const char*> map = {
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
    auto it = map.find(Lower(face));
    if (it != map.end())
        return it->second;
    if (face.empty())
        return "Liberation Sans";
    return Utf8(face);
}

FaceEntry* OpenFace(const std::string& file, int index) {
    auto& e = E();
    auto key = std::make_pair(file, index);
    auto it = e.Faces.find(key);
    if (it != e.Faces.end())
        return it->second.get();
    auto fe = std::make_unique<FaceEntry>();
    fe->File = file;
    fe->Index = index;
    if (FT_New_Face(e.Library, file.c_str(), index, &fe->Face) != 0)
        fe->Face = nullptr;
    if (fe->Face) {
        fe->Bold = (fe->Face->style_flags & FT_STYLE_FLAG_BOLD) != 0;
        fe->Italic = (fe->Face->style_flags & FT_STYLE_FLAG_ITALIC) != 0;
    }
    FaceEntry* p = fe.get();
    e.Faces.emplace(key, std::move(fe));
    return p;
}

FaceEntry* FromPattern(FcPattern* m) {
    FcChar8* file = nullptr;
    int index = 0;
    if (!m || FcPatternGetString(m, FC_FILE, 0, &file) != FcResultMatch)
        return nullptr;
    FcPatternGetInteger(m, FC_INDEX, 0, &index);
    FaceEntry* f = OpenFace(reinterpret_cast<const char*>(file), index);
    return f && f->Face ? f : nullptr;
}

FaceEntry* MatchFamily(const std::string& family, bool bold, bool italic) {
    auto& e = E();
    std::string key = family + (bold ? "|b" : "|") + (italic ? "i" : "");
    auto it = e.Matches.find(key);
    if (it != e.Matches.end())
        return it->second;
    FcPattern* pat = FcPatternCreate();
    FcPatternAddString(pat, FC_FAMILY, reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pat, FC_WEIGHT, bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pat, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pat, FcMatchPattern);
    FcDefaultSubstitute(pat);
    FcResult r;
    FcPattern* m = FcFontMatch(nullptr, pat, &r);
    FaceEntry* f = FromPattern(m);
    if (m)
        FcPatternDestroy(m);
    FcPatternDestroy(pat);
    e.Matches[key] = f;
    return f;
}

// A face that has the code point: the Chinese face first for CJK, then whatever fontconfig sorts first.
FaceEntry* FallbackFor(char32_t cp) {
    auto& e = E();
    auto it = e.Fallbacks.find(cp);
    if (it != e.Fallbacks.end())
        return it->second;
    FaceEntry* found = nullptr;
    for (const char* fam : {"WenQuanYi Micro Hei", "DejaVu Sans"}) {
        FaceEntry* f = MatchFamily(fam, false, false);
        if (f && FT_Get_Char_Index(f->Face, cp)) {
            found = f;
            break;
        }
    }
    if (!found) {
        FcPattern* pat = FcPatternCreate();
        FcCharSet* cs = FcCharSetCreate();
        FcCharSetAddChar(cs, FcChar32(cp));
        FcPatternAddCharSet(pat, FC_CHARSET, cs);
        FcPatternAddBool(pat, FC_SCALABLE, FcTrue);
        FcConfigSubstitute(nullptr, pat, FcMatchPattern);
        FcDefaultSubstitute(pat);
        FcResult r;
        FcFontSet* set = FcFontSort(nullptr, pat, FcFalse, nullptr, &r);
        if (set) {
            for (int i = 0; i < set->nfont && !found; ++i) {
                FcCharSet* has = nullptr;
                if (FcPatternGetCharSet(set->fonts[i], FC_CHARSET, 0, &has) == FcResultMatch &&
                    FcCharSetHasChar(has, FcChar32(cp))) {
                    FaceEntry* f = FromPattern(set->fonts[i]);
                    if (f && FT_Get_Char_Index(f->Face, cp))
                        found = f;
                }
            }
            FcFontSetDestroy(set);
        }
        FcCharSetDestroy(cs);
        FcPatternDestroy(pat);
    }
    e.Fallbacks[cp] = found;
    return found;
}

std::u16string KeyOf(const LOGFONTW& lf) {
    std::u16string k(reinterpret_cast<const char16_t*>(&lf), sizeof(LOGFONTW) / 2);
    return k;
}

bool IsWide(char32_t cp) {
    return (cp >= 0x1100 && cp <= 0x115F) || (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
           (cp >= 0xF900 && cp <= 0xFAFF) || (cp >= 0xFE30 && cp <= 0xFE4F) || (cp >= 0xFF00 && cp <= 0xFF60) ||
           (cp >= 0xFFE0 && cp <= 0xFFE6) || (cp >= 0x20000 && cp <= 0x3FFFD);
}

} // namespace

std::mutex& FontLock() {
    static std::mutex* m = new std::mutex;
    return *m;
}

std::vector<CodePoint> Decode(const char16_t* s, int n) {
    std::vector<CodePoint> out;
    out.reserve(n > 0 ? std::size_t(n) : 0);
    for (int i = 0; i < n; ++i) {
        char32_t c = s[i];
        int start = i;
        if (c >= 0xD800 && c < 0xDC00 && i + 1 < n && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
            c = 0x10000 + ((c - 0xD800) << 10) + (s[i + 1] - 0xDC00);
            ++i;
        }
        out.push_back({c, start});
    }
    return out;
}

FontInstance& InstanceFor(const LOGFONTW& lf) {
    auto& e = E();
    auto key = KeyOf(lf);
    auto it = e.Instances.find(key);
    if (it != e.Instances.end())
        return *it->second;
    auto inst = std::make_unique<FontInstance>(lf);
    FontInstance& ref = *inst;
    e.Instances.emplace(key, std::move(inst));
    return ref;
}

FontInstance::FontInstance(const LOGFONTW& lf) : FLog(lf) {
    auto& e = E();
    FBold = lf.lfWeight >= FW_SEMIBOLD;
    FItalic = lf.lfItalic != 0;
    FMono = lf.lfQuality == NONANTIALIASED_QUALITY;
    std::u16string face = FaceName(lf);
    FMetrics.tmWeight = lf.lfWeight ? lf.lfWeight : FW_NORMAL;
    FMetrics.tmItalic = lf.lfItalic;
    FMetrics.tmUnderlined = lf.lfUnderline;
    FMetrics.tmStruckOut = lf.lfStrikeOut;
    FMetrics.tmCharSet = lf.lfCharSet;
    if (e.FixedNames.count(Lower(face))) {
        FFixed = true;
        FCell = lf.lfHeight == 0 ? 16 : std::abs(int(lf.lfHeight));
        int h = FCell;
        FMetrics.tmHeight = h;
        FMetrics.tmAscent = h - h / 4;
        FMetrics.tmDescent = h / 4;
        FMetrics.tmAveCharWidth = std::max(1, h / 2);
        FMetrics.tmMaxCharWidth = std::max(1, h);
        FUnderlineOffset = FMetrics.tmAscent;
        FStrikeOffset = FMetrics.tmAscent / 2;
        FLineThickness = 1;
        return;
    }
    FPrimary = MatchFamily(MappedFamily(face), FBold, FItalic);
    if (!FPrimary)
        FPrimary = MatchFamily("sans-serif", FBold, FItalic);
    double winA = 0.8, winD = 0.2, upem = 1.0, lineGap = 0, avg = 0, ulPos = 0, ulThick = 0, maxAdv = 0;
    if (FPrimary) {
        FT_Face f = FPrimary->Face;
        upem = f->units_per_EM ? f->units_per_EM : 1000;
        auto* os2 = static_cast<TT_OS2*>(FT_Get_Sfnt_Table(f, FT_SFNT_OS2));
        if (os2 && os2->version != 0xFFFF && (os2->usWinAscent || os2->usWinDescent)) {
            winA = os2->usWinAscent;
            winD = os2->usWinDescent;
            avg = os2->xAvgCharWidth;
        } else {
            winA = f->ascender;
            winD = -f->descender;
        }
        lineGap = std::max<double>(0, f->height - (f->ascender - f->descender));
        ulPos = -f->underline_position;
        ulThick = f->underline_thickness;
        maxAdv = f->max_advance_width;
    }
    double emPx;
    if (lf.lfHeight < 0)
        emPx = -lf.lfHeight;
    else
        emPx = (lf.lfHeight == 0 ? 16 : lf.lfHeight) * upem / (winA + winD);
    FEm26 = std::max(64L, long(std::lround(emPx * 64)));
    double scale = emPx / upem;
    int ascent = int(std::lround(winA * scale));
    int descent = lf.lfHeight > 0 ? int(lf.lfHeight) - ascent : int(std::lround(winD * scale));
    FMetrics.tmAscent = ascent;
    FMetrics.tmDescent = descent;
    FMetrics.tmHeight = ascent + descent;
    FMetrics.tmInternalLeading = std::max(0, FMetrics.tmHeight - int(std::lround(emPx)));
    FMetrics.tmExternalLeading = int(std::lround(lineGap * scale));
    FMetrics.tmMaxCharWidth = std::max(1, int(std::lround(maxAdv * scale)));
    FUnderlineOffset = ascent + std::max(1, int(std::lround(ulPos * scale)));
    FLineThickness = std::max(1, int(std::lround(ulThick * scale)));
    FStrikeOffset = ascent - std::max(1, int(std::lround(emPx * 0.3)));
    int x = GlyphOf(U'x').Advance;
    FMetrics.tmAveCharWidth = avg > 0 ? std::max(1, int(std::lround(avg * scale))) : std::max(1, x);
    if (FBold && FPrimary && !FPrimary->Bold)
        FMetrics.tmOverhang = 0;
}

const Glyph& FontInstance::GlyphOf(char32_t cp) {
    auto it = FGlyphs.find(cp);
    if (it != FGlyphs.end())
        return it->second;
    Glyph& g = FGlyphs[cp];
    Render(cp, g);
    return g;
}

void FontInstance::Render(char32_t cp, Glyph& g) {
    if (cp < 0x20 || cp == 0x7F)
        return; // control characters take no room
    if (FFixed) {
        int h = FCell;
        g.Advance = IsWide(cp) ? h : std::max(1, h / 2);
        if (cp == U' ' || cp == 0xA0 || cp == 0x3000)
            return;
        g.Left = 0;
        g.Top = 0;
        g.Width = std::max(0, g.Advance - 1);
        g.Height = FMetrics.tmAscent;
        g.Coverage.assign(std::size_t(g.Width) * g.Height, 255);
        return;
    }
    FaceEntry* fe = FPrimary;
    if (!fe || !FT_Get_Char_Index(fe->Face, cp)) {
        FaceEntry* fb = FallbackFor(cp);
        if (fb)
            fe = fb;
    }
    if (!fe)
        return;
    FT_Face f = fe->Face;
    FT_Set_Char_Size(f, 0, FEm26, 72, 72);
    FT_UInt gi = FT_Get_Char_Index(f, cp);
    FT_Int32 flags = FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP | (FMono ? FT_LOAD_TARGET_MONO : FT_LOAD_TARGET_NORMAL);
    if (FT_Load_Glyph(f, gi, flags) != 0)
        return;
    if (FBold && !fe->Bold)
        FT_GlyphSlot_Embolden(f->glyph);
    if (FItalic && !fe->Italic)
        FT_GlyphSlot_Oblique(f->glyph);
    if (FT_Render_Glyph(f->glyph, FMono ? FT_RENDER_MODE_MONO : FT_RENDER_MODE_NORMAL) != 0)
        return;
    FT_GlyphSlot s = f->glyph;
    g.Advance = int((s->advance.x + 32) >> 6);
    g.Left = s->bitmap_left;
    g.Top = FMetrics.tmAscent - s->bitmap_top;
    g.Width = int(s->bitmap.width);
    g.Height = int(s->bitmap.rows);
    g.Coverage.resize(std::size_t(g.Width) * g.Height);
    for (int y = 0; y < g.Height; ++y) {
        const unsigned char* row = s->bitmap.buffer + std::ptrdiff_t(y) * s->bitmap.pitch;
        for (int x = 0; x < g.Width; ++x) {
            std::uint8_t v;
            if (s->bitmap.pixel_mode == FT_PIXEL_MODE_MONO)
                v = (row[x >> 3] & (0x80 >> (x & 7))) ? 255 : 0;
            else
                v = row[x];
            g.Coverage[std::size_t(y) * g.Width + x] = v;
        }
    }
}

} // namespace gdi

using namespace gdi;

bool FontHasGlyph(char32_t cp) {
    std::lock_guard<std::mutex> g(FontLock());
    return FallbackFor(cp) != nullptr;
}

const char* FontFileFor(LPCWSTR faceName) {
    std::lock_guard<std::mutex> g(FontLock());
    std::u16string face = faceName ? faceName : u"";
    auto& e = E();
    auto it = e.FileNames.find(face);
    if (it != e.FileNames.end())
        return it->second.c_str();
    FaceEntry* f = MatchFamily(MappedFamily(face), false, false);
    return e.FileNames.emplace(face, f ? f->File : std::string()).first->second.c_str();
}

void RegisterFixedMetricFont(LPCWSTR faceName) {
    std::lock_guard<std::mutex> g(FontLock());
    E().FixedNames.insert(Lower(faceName ? faceName : u""));
}

HFONT CreateFontIndirectW(const LOGFONTW* lplf) {
    if (!lplf)
        return nullptr;
    auto f = std::make_shared<Font>();
    f->Log = *lplf;
    f->Log.lfFaceName[LF_FACESIZE - 1] = 0;
    return static_cast<HFONT>(AddObject(f));
}

HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName) {
    LOGFONTW lf;
    lf.lfHeight = cHeight;
    lf.lfWidth = cWidth;
    lf.lfEscapement = cEscapement;
    lf.lfOrientation = cOrientation;
    lf.lfWeight = cWeight;
    lf.lfItalic = BYTE(bItalic != 0);
    lf.lfUnderline = BYTE(bUnderline != 0);
    lf.lfStrikeOut = BYTE(bStrikeOut != 0);
    lf.lfCharSet = BYTE(iCharSet);
    lf.lfOutPrecision = BYTE(iOutPrecision);
    lf.lfClipPrecision = BYTE(iClipPrecision);
    lf.lfQuality = BYTE(iQuality);
    lf.lfPitchAndFamily = BYTE(iPitchAndFamily);
    for (int i = 0; pszFaceName && pszFaceName[i] && i < LF_FACESIZE - 1; ++i)
        lf.lfFaceName[i] = pszFaceName[i];
    return CreateFontIndirectW(&lf);
}
