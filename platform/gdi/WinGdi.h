// WinGdi: the platform's drawing interface, written for this system: drawing objects behind handles, pixel
// surfaces (DIBs), device contexts, blits, regions, lines and shapes, and the drawing routines of the window
// library (FillRect, FrameRect, DrawEdge, DrawFocusRect, system colours).
//
// Public names (grouped):
//   objects   GetStockObject, SelectObject, DeleteObject, GetObject (GetObjectW), GetObjectType, GetCurrentObject
//   bitmaps   BITMAP, BITMAPINFOHEADER, BITMAPINFO, RGBQUAD, DIBSECTION, CreateDIBSection, CreateBitmap,
//             CreateCompatibleBitmap, GetBitmapBits, SetDIBits, GetDIBits, SetDIBitsToDevice, StretchDIBits
//   DCs       CreateCompatibleDC, DeleteDC, GetDC/ReleaseDC stand-ins (GetScreenDC), CreateSurfaceDC (for the
//             window layer), SetDCSurfaceOrigin, SetDCVisibleRegion, SaveDC, RestoreDC, GetDeviceCaps,
//             SetWindowOrgEx, GetWindowOrgEx, SetViewportOrgEx, GetViewportOrgEx, OffsetWindowOrgEx,
//             OffsetViewportOrgEx, LPtoDP, DPtoLP, SetBkMode, GetBkMode, SetBkColor, GetBkColor, SetTextColor,
//             GetTextColor, SetStretchBltMode, GetStretchBltMode, SetROP2, GetROP2, SetPolyFillMode,
//             SetBrushOrgEx, MoveToEx, GetCurrentPositionEx, SetTextAlign, GetTextAlign
//   clipping  SelectClipRgn, ExtSelectClipRgn, IntersectClipRect, ExcludeClipRect, OffsetClipRgn, GetClipBox,
//             GetClipRgn, PtVisible, RectVisible
//   regions   CreateRectRgn, CreateRectRgnIndirect, CreateEllipticRgn, CreateRoundRectRgn, CreatePolygonRgn,
//             CombineRgn, CopyRgn (via CombineRgn RGN_COPY), OffsetRgn, PtInRegion, RectInRegion, EqualRgn,
//             GetRgnBox, GetRegionData, ExtCreateRegion, SetRectRgn, FillRgn, FrameRgn, PaintRgn, InvertRgn;
//             the value class GdiRegion (platform/gdi/GdiRegion.h) and GdiRegionOf / CreateRgnFromRegion
//   blits     BitBlt, PatBlt, StretchBlt, AlphaBlend, TransparentBlt, MaskBlt-free subset
//   pixels    SetPixel, SetPixelV, GetPixel
//   pens etc. CreatePen, ExtCreatePen-free subset, CreateSolidBrush, CreateHatchBrush, CreatePatternBrush,
//             CreateBrushIndirect, GetSysColorBrush, GetSysColor
//   shapes    LineTo, Polyline, PolylineTo, Polygon, PolyPolygon, Rectangle, Ellipse, RoundRect, FillRect,
//             FrameRect, InvertRect, DrawFocusRect, DrawEdge
//
// Colour values written by the drawing primitives into 32-bit surfaces carry alpha 0, as on the platform;
// BitBlt copies all 32 bits; AlphaBlend and the skin code give the fourth byte meaning.
#pragma once

#include "platform/gdi/WinDef.h"

#include <vector>

// ---- object kinds and stock objects ----
constexpr DWORD OBJ_PEN = 1, OBJ_BRUSH = 2, OBJ_DC = 3, OBJ_PAL = 5, OBJ_FONT = 6, OBJ_BITMAP = 7, OBJ_REGION = 8,
                OBJ_MEMDC = 10;
constexpr int WHITE_BRUSH = 0, LTGRAY_BRUSH = 1, GRAY_BRUSH = 2, DKGRAY_BRUSH = 3, BLACK_BRUSH = 4, NULL_BRUSH = 5,
              HOLLOW_BRUSH = 5, WHITE_PEN = 6, BLACK_PEN = 7, NULL_PEN = 8, OEM_FIXED_FONT = 10, ANSI_FIXED_FONT = 11,
              ANSI_VAR_FONT = 12, SYSTEM_FONT = 13, DEVICE_DEFAULT_FONT = 14, DEFAULT_PALETTE = 15,
              SYSTEM_FIXED_FONT = 16, DEFAULT_GUI_FONT = 17, DC_BRUSH = 18, DC_PEN = 19;
inline const HGDIOBJ HGDI_ERROR = reinterpret_cast<HGDIOBJ>(~std::uintptr_t(0));

HGDIOBJ GetStockObject(int i);
HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h);
BOOL DeleteObject(HGDIOBJ ho);
int GetObject(HGDIOBJ h, int c, void* pv);
inline int GetObjectW(HGDIOBJ h, int c, void* pv) {
    return GetObject(h, c, pv);
}
DWORD GetObjectType(HGDIOBJ h);
HGDIOBJ GetCurrentObject(HDC hdc, UINT type);
// Number of live drawing objects (not counting stock objects): lets tests show that nothing leaks.
int GdiLiveObjectCount();

// ---- bitmaps ----
struct RGBQUAD {
    BYTE rgbBlue = 0;
    BYTE rgbGreen = 0;
    BYTE rgbRed = 0;
    BYTE rgbReserved = 0;
};
struct BITMAPINFOHEADER {
    DWORD biSize = 40;
    LONG biWidth = 0;
    LONG biHeight = 0; // positive: bottom-up rows; negative: top-down rows
    WORD biPlanes = 1;
    WORD biBitCount = 0;
    DWORD biCompression = 0;
    DWORD biSizeImage = 0;
    LONG biXPelsPerMeter = 0;
    LONG biYPelsPerMeter = 0;
    DWORD biClrUsed = 0;
    DWORD biClrImportant = 0;
};
struct BITMAPINFO {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[1];
};
// A BITMAPINFO with room for a full colour table.
struct BITMAPINFO256 {
    BITMAPINFOHEADER bmiHeader;
    RGBQUAD bmiColors[256];
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};
struct BITMAP {
    LONG bmType = 0;
    LONG bmWidth = 0;
    LONG bmHeight = 0;
    LONG bmWidthBytes = 0;
    WORD bmPlanes = 1;
    WORD bmBitsPixel = 0;
    void* bmBits = nullptr;
};
struct DIBSECTION {
    BITMAP dsBm;
    BITMAPINFOHEADER dsBmih;
    DWORD dsBitfields[3] = {0, 0, 0};
    HANDLE dshSection = nullptr;
    DWORD dsOffset = 0;
};
constexpr DWORD BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3;
constexpr UINT DIB_RGB_COLORS = 0, DIB_PAL_COLORS = 1;

// Bytes per row of a DIB: rows are padded to whole DWORDs.
constexpr int DibStride(int width, int bitCount) {
    return ((width * bitCount + 31) / 32) * 4;
}

HBITMAP CreateDIBSection(HDC hdc, const BITMAPINFO* pbmi, UINT usage, void** ppvBits, HANDLE hSection, DWORD offset);
HBITMAP CreateBitmap(int nWidth, int nHeight, UINT nPlanes, UINT nBitCount, const void* lpBits);
HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy);
LONG GetBitmapBits(HBITMAP hbit, LONG cb, void* lpvBits);
int GetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, void* lpvBits, BITMAPINFO* lpbmi, UINT usage);
int SetDIBits(HDC hdc, HBITMAP hbm, UINT start, UINT cLines, const void* lpBits, const BITMAPINFO* lpbmi,
              UINT ColorUse);
int SetDIBitsToDevice(HDC hdc, int xDest, int yDest, DWORD w, DWORD h, int xSrc, int ySrc, UINT StartScan, UINT cLines,
                      const void* lpvBits, const BITMAPINFO* lpbmi, UINT ColorUse);
int StretchDIBits(HDC hdc, int xDest, int yDest, int DestWidth, int DestHeight, int xSrc, int ySrc, int SrcWidth,
                  int SrcHeight, const void* lpBits, const BITMAPINFO* lpbmi, UINT iUsage, DWORD rop);

// ---- device contexts ----
HDC CreateCompatibleDC(HDC hdc);
BOOL DeleteDC(HDC hdc);
// A DC on the screen's format (used for measuring and for compatible objects); never freed.
HDC GetScreenDC();
// For the window layer: a DC that draws into Surface (a 32-bit bitmap) with device point (0, 0) at surface
// point Origin, painting confined to VisRgn (surface coordinates; copied; nullptr = whole surface).
HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visRgn);
BOOL SetDCSurfaceOrigin(HDC hdc, POINT origin);
BOOL SetDCVisibleRegion(HDC hdc, HRGN visRgn);
int SaveDC(HDC hdc);
BOOL RestoreDC(HDC hdc, int nSavedDC);

constexpr int HORZRES = 8, VERTRES = 10, BITSPIXEL = 12, PLANES = 14, NUMCOLORS = 24, RASTERCAPS = 38, LOGPIXELSX = 88,
              LOGPIXELSY = 90, SIZEPALETTE = 104;
int GetDeviceCaps(HDC hdc, int index);
// The screen size that GetDeviceCaps reports (the window layer sets its virtual screen's size).
void SetScreenSize(int width, int height);

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL GetWindowOrgEx(HDC hdc, POINT* lppt);
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL GetViewportOrgEx(HDC hdc, POINT* lppt);
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL LPtoDP(HDC hdc, POINT* lppt, int c);
BOOL DPtoLP(HDC hdc, POINT* lppt, int c);

constexpr int TRANSPARENT = 1, OPAQUE = 2;
int SetBkMode(HDC hdc, int mode);
int GetBkMode(HDC hdc);
COLORREF SetBkColor(HDC hdc, COLORREF color);
COLORREF GetBkColor(HDC hdc);
COLORREF SetTextColor(HDC hdc, COLORREF color);
COLORREF GetTextColor(HDC hdc);
constexpr COLORREF CLR_INVALID = 0xFFFFFFFF;

constexpr int BLACKONWHITE = 1, WHITEONBLACK = 2, COLORONCOLOR = 3, HALFTONE = 4, STRETCH_ANDSCANS = 1,
              STRETCH_ORSCANS = 2, STRETCH_DELETESCANS = 3, STRETCH_HALFTONE = 4;
int SetStretchBltMode(HDC hdc, int mode);
int GetStretchBltMode(HDC hdc);

constexpr int R2_BLACK = 1, R2_NOTMERGEPEN = 2, R2_MASKNOTPEN = 3, R2_NOTCOPYPEN = 4, R2_MASKPENNOT = 5, R2_NOT = 6,
              R2_XORPEN = 7, R2_NOTMASKPEN = 8, R2_MASKPEN = 9, R2_NOTXORPEN = 10, R2_NOP = 11, R2_MERGENOTPEN = 12,
              R2_COPYPEN = 13, R2_MERGEPENNOT = 14, R2_MERGEPEN = 15, R2_WHITE = 16;
int SetROP2(HDC hdc, int rop2);
int GetROP2(HDC hdc);

constexpr int ALTERNATE = 1, WINDING = 2;
int SetPolyFillMode(HDC hdc, int mode);
int GetPolyFillMode(HDC hdc);
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* lppt);
BOOL MoveToEx(HDC hdc, int x, int y, POINT* lppt);
BOOL GetCurrentPositionEx(HDC hdc, POINT* lppt);

constexpr UINT TA_NOUPDATECP = 0, TA_UPDATECP = 1, TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8,
               TA_BASELINE = 24, TA_RTLREADING = 256;
UINT SetTextAlign(HDC hdc, UINT align);
UINT GetTextAlign(HDC hdc);

// ---- clipping (region arguments are copied; clip regions are kept in device coordinates) ----
constexpr int RGN_AND = 1, RGN_OR = 2, RGN_XOR = 3, RGN_DIFF = 4, RGN_COPY = 5;
constexpr int ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3;
int SelectClipRgn(HDC hdc, HRGN hrgn);
int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode);
int IntersectClipRect(HDC hdc, int left, int top, int right, int bottom);
int ExcludeClipRect(HDC hdc, int left, int top, int right, int bottom);
int OffsetClipRgn(HDC hdc, int x, int y);
// Clip box in logical coordinates: the user clip, the visible region and the surface bounds together.
int GetClipBox(HDC hdc, RECT* lprect);
// 1 and a copy in hrgn when the DC has a clip region, 0 when it has none, -1 on error.
int GetClipRgn(HDC hdc, HRGN hrgn);
BOOL PtVisible(HDC hdc, int x, int y);
BOOL RectVisible(HDC hdc, const RECT* lprect);

// ---- regions ----
struct RGNDATAHEADER {
    DWORD dwSize = 32;
    DWORD iType = 1; // RDH_RECTANGLES
    DWORD nCount = 0;
    DWORD nRgnSize = 0;
    RECT rcBound;
};
struct RGNDATA {
    RGNDATAHEADER rdh;
    char Buffer[1];
};
constexpr DWORD RDH_RECTANGLES = 1;
struct XFORM;

HRGN CreateRectRgn(int x1, int y1, int x2, int y2);
HRGN CreateRectRgnIndirect(const RECT* lprect);
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2);
HRGN CreateEllipticRgnIndirect(const RECT* lprect);
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h);
HRGN CreatePolygonRgn(const POINT* pptl, int cPoint, int iMode);
int CombineRgn(HRGN hrgnDst, HRGN hrgnSrc1, HRGN hrgnSrc2, int iMode);
int OffsetRgn(HRGN hrgn, int x, int y);
BOOL PtInRegion(HRGN hrgn, int x, int y);
BOOL RectInRegion(HRGN hrgn, const RECT* lprect);
BOOL EqualRgn(HRGN hrgn1, HRGN hrgn2);
int GetRgnBox(HRGN hrgn, RECT* lprc);
BOOL SetRectRgn(HRGN hrgn, int left, int top, int right, int bottom);
// Size needed when lpRgnData is nullptr or nCount too small; bytes written otherwise.
DWORD GetRegionData(HRGN hrgn, DWORD nCount, RGNDATA* lpRgnData);
// The rectangles of the data are joined (they may overlap); a transform is not supported (must be nullptr).
HRGN ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* lpData);
BOOL FillRgn(HDC hdc, HRGN hrgn, HBRUSH hbr);
BOOL FrameRgn(HDC hdc, HRGN hrgn, HBRUSH hbr, int w, int h);
BOOL PaintRgn(HDC hdc, HRGN hrgn);
BOOL InvertRgn(HDC hdc, HRGN hrgn);

// ---- raster operations and blits ----
constexpr DWORD SRCCOPY = 0x00CC0020, SRCPAINT = 0x00EE0086, SRCAND = 0x008800C6, SRCINVERT = 0x00660046,
                SRCERASE = 0x00440328, NOTSRCCOPY = 0x00330008, NOTSRCERASE = 0x001100A6, MERGECOPY = 0x00C000CA,
                MERGEPAINT = 0x00BB0226, PATCOPY = 0x00F00021, PATPAINT = 0x00FB0A09, PATINVERT = 0x005A0049,
                DSTINVERT = 0x00550009, BLACKNESS = 0x00000042, WHITENESS = 0x00FF0062;
BOOL BitBlt(HDC hdc, int x, int y, int cx, int cy, HDC hdcSrc, int x1, int y1, DWORD rop);
BOOL PatBlt(HDC hdc, int x, int y, int w, int h, DWORD rop);
// Nearest-neighbour in every stretch mode: destination pixel i of a span of dw pixels reads source pixel
// floor((2i + 1) * sw / (2 dw)) of a span of sw pixels (the source pixel under the destination pixel's centre);
// a negative width or height on one side only mirrors.
BOOL StretchBlt(HDC hdcDest, int xDest, int yDest, int wDest, int hDest, HDC hdcSrc, int xSrc, int ySrc, int wSrc,
                int hSrc, DWORD rop);

struct BLENDFUNCTION {
    BYTE BlendOp = 0;
    BYTE BlendFlags = 0;
    BYTE SourceConstantAlpha = 255;
    BYTE AlphaFormat = 0;
};
constexpr BYTE AC_SRC_OVER = 0, AC_SRC_ALPHA = 1;
// Source premultiplied when AC_SRC_ALPHA: s' = s * SCA / 255 (all four channels), d = s' + d * (255 - s'.alpha)
// / 255; without it d = (s * SCA + d * (255 - SCA)) / 255. Each division rounds to nearest. Stretching is
// nearest-neighbour as for StretchBlt.
BOOL AlphaBlend(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                int yoriginSrc, int wSrc, int hSrc, BLENDFUNCTION ftn);
// Source pixels whose colour (red, green, blue) equals crTransparent are skipped; others are copied.
BOOL TransparentBlt(HDC hdcDest, int xoriginDest, int yoriginDest, int wDest, int hDest, HDC hdcSrc, int xoriginSrc,
                    int yoriginSrc, int wSrc, int hSrc, UINT crTransparent);

COLORREF SetPixel(HDC hdc, int x, int y, COLORREF color);
BOOL SetPixelV(HDC hdc, int x, int y, COLORREF color);
COLORREF GetPixel(HDC hdc, int x, int y);

// ---- pens and brushes ----
constexpr int PS_SOLID = 0, PS_DASH = 1, PS_DOT = 2, PS_DASHDOT = 3, PS_DASHDOTDOT = 4, PS_NULL = 5, PS_INSIDEFRAME = 6;
constexpr UINT BS_SOLID = 0, BS_NULL = 1, BS_HOLLOW = 1, BS_HATCHED = 2, BS_PATTERN = 3;
constexpr int HS_HORIZONTAL = 0, HS_VERTICAL = 1, HS_FDIAGONAL = 2, HS_BDIAGONAL = 3, HS_CROSS = 4, HS_DIAGCROSS = 5;
struct LOGPEN {
    UINT lopnStyle = PS_SOLID;
    POINT lopnWidth;
    COLORREF lopnColor = 0;
};
struct LOGBRUSH {
    UINT lbStyle = BS_SOLID;
    COLORREF lbColor = 0;
    UINT_PTR lbHatch = 0; // hatch style, or the HBITMAP of a pattern brush
};
HPEN CreatePen(int iStyle, int cWidth, COLORREF color);
HPEN CreatePenIndirect(const LOGPEN* plpen);
HBRUSH CreateSolidBrush(COLORREF color);
HBRUSH CreateHatchBrush(int iHatch, COLORREF color);
// The pattern is copied; a monochrome pattern draws its 0 bits in the text colour and its 1 bits in the
// background colour.
HBRUSH CreatePatternBrush(HBITMAP hbm);
HBRUSH CreateBrushIndirect(const LOGBRUSH* plbrush);
COLORREF SetDCBrushColor(HDC hdc, COLORREF color);
COLORREF SetDCPenColor(HDC hdc, COLORREF color);

// ---- system colours ----
constexpr int COLOR_SCROLLBAR = 0, COLOR_BACKGROUND = 1, COLOR_ACTIVECAPTION = 2, COLOR_INACTIVECAPTION = 3,
              COLOR_MENU = 4, COLOR_WINDOW = 5, COLOR_WINDOWFRAME = 6, COLOR_MENUTEXT = 7, COLOR_WINDOWTEXT = 8,
              COLOR_CAPTIONTEXT = 9, COLOR_ACTIVEBORDER = 10, COLOR_INACTIVEBORDER = 11, COLOR_APPWORKSPACE = 12,
              COLOR_HIGHLIGHT = 13, COLOR_HIGHLIGHTTEXT = 14, COLOR_BTNFACE = 15, COLOR_BTNSHADOW = 16,
              COLOR_GRAYTEXT = 17, COLOR_BTNTEXT = 18, COLOR_INACTIVECAPTIONTEXT = 19, COLOR_BTNHIGHLIGHT = 20,
              COLOR_3DDKSHADOW = 21, COLOR_3DLIGHT = 22, COLOR_INFOTEXT = 23, COLOR_INFOBK = 24, COLOR_HOTLIGHT = 26,
              COLOR_GRADIENTACTIVECAPTION = 27, COLOR_GRADIENTINACTIVECAPTION = 28, COLOR_MENUHILIGHT = 29,
              COLOR_MENUBAR = 30, COLOR_DESKTOP = 1, COLOR_3DFACE = 15, COLOR_3DSHADOW = 16, COLOR_3DHIGHLIGHT = 20,
              COLOR_3DHILIGHT = 20, COLOR_BTNHILIGHT = 20;
constexpr int SystemColorCount = 31;
DWORD GetSysColor(int nIndex);
HBRUSH GetSysColorBrush(int nIndex);

// ---- lines and shapes (the end point of a line is left out) ----
BOOL LineTo(HDC hdc, int x, int y);
BOOL Polyline(HDC hdc, const POINT* apt, int cpt);
BOOL PolylineTo(HDC hdc, const POINT* apt, int cpt);
BOOL Polygon(HDC hdc, const POINT* apt, int cpt);
BOOL PolyPolygon(HDC hdc, const POINT* apt, const int* asz, int csz);
// Outline in the pen, inside in the brush; the right and bottom edges are outside (with the null pen the
// filled area is one pixel smaller on those sides, as on the platform).
BOOL Rectangle(HDC hdc, int left, int top, int right, int bottom);
BOOL Ellipse(HDC hdc, int left, int top, int right, int bottom);
BOOL RoundRect(HDC hdc, int left, int top, int right, int bottom, int width, int height);
// A brush handle of 1..31 is the system colour index + 1, as on the platform.
int FillRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
int FrameRect(HDC hDC, const RECT* lprc, HBRUSH hbr);
BOOL InvertRect(HDC hDC, const RECT* lprc);
// Inverts every pixel of the 1-pixel frame whose device x + y is even: drawing it twice restores the picture.
BOOL DrawFocusRect(HDC hDC, const RECT* lprc);

constexpr UINT BDR_RAISEDOUTER = 0x1, BDR_SUNKENOUTER = 0x2, BDR_RAISEDINNER = 0x4, BDR_SUNKENINNER = 0x8,
               BDR_OUTER = 0x3, BDR_INNER = 0xC, BDR_RAISED = 0x5, BDR_SUNKEN = 0xA, EDGE_RAISED = 0x5,
               EDGE_SUNKEN = 0xA, EDGE_ETCHED = 0x6, EDGE_BUMP = 0x9;
constexpr UINT BF_LEFT = 0x1, BF_TOP = 0x2, BF_RIGHT = 0x4, BF_BOTTOM = 0x8, BF_TOPLEFT = 0x3, BF_BOTTOMRIGHT = 0xC,
               BF_RECT = 0xF, BF_DIAGONAL = 0x10, BF_MIDDLE = 0x800, BF_SOFT = 0x1000, BF_ADJUST = 0x2000,
               BF_FLAT = 0x4000, BF_MONO = 0x8000;
BOOL DrawEdge(HDC hdc, RECT* qrc, UINT edge, UINT grfFlags);
