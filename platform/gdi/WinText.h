// WinText: fonts and text output of the drawing interface.
//
// Public names: LOGFONTW (LOGFONT), TEXTMETRICW (TEXTMETRIC), CreateFontIndirectW, CreateFontW (and the names
// without W), TextOutW, ExtTextOutW, TabbedTextOutW, GetTextExtentPoint32W, GetTextExtentExPointW,
// GetTextMetricsW, GetTextFaceW, DrawTextW, DrawTextExW (and DrawText, DrawTextEx), DRAWTEXTPARAMS, the FW_,
// ETO_, DT_ constants and charset constants; FontHasGlyph (is a code point drawable in some installed font),
// FontFileFor (the file a face name resolves to); RegisterFixedMetricFont (a built-in font with exact, simple
// metrics for layout tests).
//
// Heights follow the platform: a negative lfHeight is the character height (em size) in pixels, a positive
// one the cell height (ascent + descent), 0 a default of 16 pixels cell height. Faces are matched by fontconfig
// after mapping the platform's face names ("宋体", "SimSun", "Tahoma", "Arial", "MS Sans Serif" ...) to
// installed families; a character the face lacks is drawn from another installed face that has it.
#pragma once

#include "platform/gdi/WinDef.h"

constexpr int LF_FACESIZE = 32;
constexpr LONG FW_DONTCARE = 0, FW_THIN = 100, FW_LIGHT = 300, FW_NORMAL = 400, FW_REGULAR = 400, FW_MEDIUM = 500,
               FW_SEMIBOLD = 600, FW_BOLD = 700, FW_HEAVY = 900;
constexpr BYTE ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, SHIFTJIS_CHARSET = 128, GB2312_CHARSET = 134,
               CHINESEBIG5_CHARSET = 136, OEM_CHARSET = 255, RUSSIAN_CHARSET = 204;
constexpr BYTE OUT_DEFAULT_PRECIS = 0, CLIP_DEFAULT_PRECIS = 0, DEFAULT_QUALITY = 0, NONANTIALIASED_QUALITY = 3,
               ANTIALIASED_QUALITY = 4, DEFAULT_PITCH = 0, FIXED_PITCH = 1, VARIABLE_PITCH = 2, FF_DONTCARE = 0;

struct LOGFONTW {
    LONG lfHeight = 0;
    LONG lfWidth = 0;
    LONG lfEscapement = 0;
    LONG lfOrientation = 0;
    LONG lfWeight = FW_NORMAL;
    BYTE lfItalic = 0;
    BYTE lfUnderline = 0;
    BYTE lfStrikeOut = 0;
    BYTE lfCharSet = DEFAULT_CHARSET;
    BYTE lfOutPrecision = 0;
    BYTE lfClipPrecision = 0;
    BYTE lfQuality = 0;
    BYTE lfPitchAndFamily = 0;
    WCHAR lfFaceName[LF_FACESIZE] = {};
};
using LOGFONT = LOGFONTW;

struct TEXTMETRICW {
    LONG tmHeight = 0;
    LONG tmAscent = 0;
    LONG tmDescent = 0;
    LONG tmInternalLeading = 0;
    LONG tmExternalLeading = 0;
    LONG tmAveCharWidth = 0;
    LONG tmMaxCharWidth = 0;
    LONG tmWeight = 0;
    LONG tmOverhang = 0;
    LONG tmDigitizedAspectX = 96;
    LONG tmDigitizedAspectY = 96;
    WCHAR tmFirstChar = 32;
    WCHAR tmLastChar = 0xFFFF;
    WCHAR tmDefaultChar = u'?';
    WCHAR tmBreakChar = u' ';
    BYTE tmItalic = 0;
    BYTE tmUnderlined = 0;
    BYTE tmStruckOut = 0;
    BYTE tmPitchAndFamily = 0;
    BYTE tmCharSet = 0;
};
using TEXTMETRIC = TEXTMETRICW;

HFONT CreateFontIndirectW(const LOGFONTW* lplf);
inline HFONT CreateFontIndirect(const LOGFONTW* lplf) {
    return CreateFontIndirectW(lplf);
}
HFONT CreateFontW(int cHeight, int cWidth, int cEscapement, int cOrientation, int cWeight, DWORD bItalic,
                  DWORD bUnderline, DWORD bStrikeOut, DWORD iCharSet, DWORD iOutPrecision, DWORD iClipPrecision,
                  DWORD iQuality, DWORD iPitchAndFamily, LPCWSTR pszFaceName);

constexpr UINT ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_RTLREADING = 0x80;
BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int c);
BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR lpString, UINT c, const int* lpDx);
// Returns the extent as MAKELONG(width, height).
LONG TabbedTextOutW(HDC hdc, int x, int y, LPCWSTR lpString, int chCount, int nTabPositions,
                    const int* lpnTabStopPositions, int nTabOrigin);
BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR lpString, int c, SIZE* psizl);
BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR lpszString, int cchString, int nMaxExtent, int* lpnFit, int* lpnDx,
                           SIZE* lpSize);
BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* lptm);
int GetTextFaceW(HDC hdc, int c, LPWSTR lpName);
inline BOOL TextOut(HDC hdc, int x, int y, LPCWSTR s, int c) {
    return TextOutW(hdc, x, y, s, c);
}
inline BOOL GetTextExtentPoint32(HDC hdc, LPCWSTR s, int c, SIZE* sz) {
    return GetTextExtentPoint32W(hdc, s, c, sz);
}
inline BOOL GetTextMetrics(HDC hdc, TEXTMETRICW* tm) {
    return GetTextMetricsW(hdc, tm);
}

constexpr UINT DT_TOP = 0x0, DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
               DT_WORDBREAK = 0x10, DT_SINGLELINE = 0x20, DT_EXPANDTABS = 0x40, DT_TABSTOP = 0x80, DT_NOCLIP = 0x100,
               DT_EXTERNALLEADING = 0x200, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800, DT_INTERNAL = 0x1000,
               DT_EDITCONTROL = 0x2000, DT_PATH_ELLIPSIS = 0x4000, DT_END_ELLIPSIS = 0x8000, DT_MODIFYSTRING = 0x10000,
               DT_RTLREADING = 0x20000, DT_WORD_ELLIPSIS = 0x40000, DT_HIDEPREFIX = 0x100000, DT_PREFIXONLY = 0x200000;
struct DRAWTEXTPARAMS {
    UINT cbSize = sizeof(DRAWTEXTPARAMS);
    int iTabLength = 8;
    int iLeftMargin = 0;
    int iRightMargin = 0;
    UINT uiLengthDrawn = 0;
};
// Returns the height of the text drawn (or measured with DT_CALCRECT); with DT_VCENTER or DT_BOTTOM, the offset
// from the rectangle's top to the text's bottom, as on the platform. c = -1: the text ends at its first 0.
int DrawTextW(HDC hdc, LPCWSTR lpchText, int cchText, RECT* lprc, UINT format);
int DrawTextExW(HDC hdc, LPWSTR lpchText, int cchText, RECT* lprc, UINT format, DRAWTEXTPARAMS* lpdtp);
inline int DrawText(HDC hdc, LPCWSTR s, int c, RECT* r, UINT f) {
    return DrawTextW(hdc, s, c, r, f);
}

// True when some installed font (or the fallback chain) has a glyph for the code point.
bool FontHasGlyph(char32_t codePoint);
// The font file the face name resolves to (after the platform names are mapped), as UTF-8.
const char* FontFileFor(LPCWSTR faceName);
// Makes the face name a built-in font with exact metrics: for a cell height h (|lfHeight|, or 16 for 0),
// ascent h - h / 4, descent h / 4, every character h / 2 wide (CJK characters h wide, the tab h / 2), each
// glyph a solid block of its advance minus one column by its ascent (a blank for the space). For layout tests.
void RegisterFixedMetricFont(LPCWSTR faceName);
