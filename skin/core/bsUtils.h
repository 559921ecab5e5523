// The skin library's shared drawing routines: faces composed from skin pictures (nine-part images, strips,
// border strips, regions from masks), the layout and marks of button faces, text helpers, rectangle and
// stream helpers, the layered glow windows, and the process-wide entries bound at start-up.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/ExtCtrls.h"

class TbsBitmap;

// How a stretched client area is laid: over the whole area, or in columns or rows of its own size.
enum TbsStretchType : std::uint8_t { bsstFull, bsstHorz, bsstVert };
// Where the image stands relative to the caption.
enum TbsButtonLayout : std::uint8_t { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
// Frames of a glyph strip: 1 normal, 2 disabled, 3 pressed, 4 hot.
using TbsNumGlyphs = int;

// ---- skin image composition ----

// Dest becomes Width x Height and holds the face of SkinRect in Source: fixed corners, edges and client tiled
// or stretched. Corner points and ClRect are relative to SkinRect; the New marks are in target coordinates.
void DrawNinePartSkinImage(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                           const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                           const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Dest,
                           TBitmap* Source, const TRect& SkinRect, int Width, int Height, bool DrawClient,
                           bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch, bool StretchEffect,
                           TbsStretchType StretchType);
// The same result; menus and hints call it by this name.
void DrawNinePartSkinImageAlt(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                              const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                              const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Dest,
                              TBitmap* Source, const TRect& SkinRect, int Width, int Height, bool DrawClient,
                              bool LeftStretch, bool TopStretch, bool RightStretch, bool BottomStretch,
                              bool StretchEffect, TbsStretchType StretchType);
// The face without its right edge and right corners: top, bottom and client run to Width.
void DrawNinePartSkinImageOpenRight(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                                    const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                                    const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect,
                                    TBitmap* Dest, TBitmap* Source, const TRect& SkinRect, int Width, int Height,
                                    bool DrawClient, bool LeftStretch, bool TopStretch, bool RightStretch,
                                    bool BottomStretch, bool StretchEffect, TbsStretchType StretchType);
// Dest keeps its size; the corner points are the corners of ClRect and every piece is stretched.
void DrawNinePartSkinImageByClientRect(TBitmap* Dest, TBitmap* Source, const TRect& SkinRect, const TRect& ClRect,
                                       bool DrawClient);

// Dest becomes Width x SourceRect height: fixed ends, middle stretched or tiled. Height is not used.
void DrawSkinStripH(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect, int Width,
                    int Height, bool Stretch);
// Without the right end piece; RightWidth only cuts the source's middle.
void DrawSkinStripHOpenRight(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect,
                             int Width, int Height, bool Stretch);
// The middle piece alone over the whole width.
void DrawSkinStripHMiddle(int LeftWidth, int RightWidth, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect,
                          int Width, int Height, bool Stretch);
// Dest becomes SourceRect width x Height. Width is not used.
void DrawSkinStripV(int TopHeight, int BottomHeight, TBitmap* Dest, TBitmap* Source, const TRect& SourceRect, int Width,
                    int Height, bool Stretch);

// The four strips of a frame painted apart; a strip whose sizes leave nothing to draw keeps its old content.
void CreateSkinBorderImages(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                            const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                            const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect,
                            TBitmap* LeftBmp, TBitmap* TopBmp, TBitmap* RightBmp, TBitmap* BottomBmp, TBitmap* Source,
                            const TRect& SkinRect, int Width, int Height, bool LeftStretch, bool TopStretch,
                            bool RightStretch, bool BottomStretch);
// The four strips of a face-sized mask, always tiled. Height is not used.
void CreateSkinBorderMasks(const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                           const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint,
                           const TPoint& NewLBPoint, const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Mask,
                           TBitmap* TopBmp, TBitmap* LeftBmp, TBitmap* RightBmp, TBitmap* BottomBmp, int Width,
                           int Height);

// Region data (RGNDATA: header, then rectangles) of the pure black pixels of Mask, one rectangle per run, placed
// at X, Y. Returns the size of Data in bytes; 0 and no data for an empty mask.
int RegionDataFromMask(TBitmap* Mask, int X, int Y, std::vector<BYTE>& Data);
// The region of Mask's black pixels (nullptr for an empty mask).
void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask);
// The window region of a nine-part face at Width x Height; nullptr when the target is smaller than the corners.
void CreateSkinRegion(HRGN& Rgn, const TPoint& LTPt, const TPoint& RTPt, const TPoint& LBPt, const TPoint& RBPt,
                      const TRect& ClRect, const TPoint& NewLTPoint, const TPoint& NewRTPoint, const TPoint& NewLBPoint,
                      const TPoint& NewRBPoint, const TRect& NewClRect, TBitmap* Mask, int Width, int Height);

// A 24-bit top-down copy of a bitmap with a pointer to each row, for reading mask pixels (blue, green, red).
class TbsFBitmap {
public:
    explicit TbsFBitmap(HBITMAP HBmp);
    TbsFBitmap(const TbsFBitmap&) = delete;
    TbsFBitmap& operator=(const TbsFBitmap&) = delete;
    ~TbsFBitmap();

    BYTE* Bits = nullptr;
    std::vector<BYTE*> Pixels;
    int Gap = 0;
    int RowInc = 0;
    int Size = 0;
    int Width = 0;
    int Height = 0;
    HBITMAP Handle = nullptr;
    HDC hDC = nullptr;
    BITMAPINFO bmInfo;
    BITMAPINFOHEADER bmHeader;

private:
    HGDIOBJ FOldBitmap = nullptr;
};

// ---- button faces, marks and text ----

void CalcImageAndTextLayout(TbsButtonLayout Layout, const TRect& R, int GlyphWidth, int GlyphHeight, int TextWidth,
                            int TextHeight, int Spacing, int Margin, int& TextLeft, int& TextTop, int& GlyphLeft,
                            int& GlyphTop);
// Margin -1 centres image and caption together.
void DrawImageAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const String& Text, int ImageIndex, TCustomImageList* Images, bool Pressed, bool Enabled,
                      bool DrawColorMarker, TColor ColorMarkerValue);
void DrawImageAndTextLeft(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                          const String& Text, int ImageIndex, TCustomImageList* Images, bool Pressed, bool Enabled,
                          bool DrawColorMarker, TColor ColorMarkerValue);
void DrawGlyphAndText(TCanvas* Canvas, const TRect& R, int Margin, int Spacing, TbsButtonLayout Layout,
                      const String& Text, TBitmap* Glyph, TbsNumGlyphs NumGlyphs, int GlyphNum, bool Pressed,
                      bool DrawColorMarker, TColor ColorMarkerValue);
// Frame GlyphNum (from 1) of the strip, its bottom-left pixel's colour transparent.
void DrawGlyphFromStrip(TCanvas* Canvas, int X, int Y, int GlyphNum, TbsNumGlyphs NumGlyphs, TBitmap* Glyph);
// Every second pixel of the frame of R in the font colour.
void DrawSkinFocusRect(TCanvas* Canvas, const TRect& R);
// What the parent and the graphic siblings before Control paint under Control, drawn on Canvas.
void PaintParentBackground(TControl* Control, TCanvas* Canvas);
// The same for the part R of Control: the canvas origin shows R's top-left point.
void PaintParentBackgroundRect(TControl* Control, const TRect& R, TCanvas* Canvas);

int GetWideTextWidth(TCanvas* Canvas, const String& Text);
int GetWideTextHeight(TCanvas* Canvas, const String& Text);
void FitWideTextToWidth(TCanvas* Canvas, String& Text, int Width);
void FitTextToWidth(TCanvas* Canvas, String& Text, int Width);
int DrawWideText(TCanvas* Canvas, const String& Text, TRect& R, UINT Format);
void DrawTextVCentered(TCanvas* Canvas, const String& Text, const TRect& R);
void TextOutVCentered(TCanvas* Canvas, const String& Text, const TRect& R);
void TextOutVCenteredOffset(TCanvas* Canvas, const String& Text, const TRect& R, int Offset);

void DrawDropDownArrowImage(TCanvas* Canvas, const TRect& R, TColor Color);
// Code 1 left, 2 right, 3 up, 4 down.
void DrawArrowImage(TCanvas* Canvas, const TRect& R, TColor Color, int Code);
void DrawRadioImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawCheckImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawCloseImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawSysMenuImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMinimizeImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMaximizeImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRestoreImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollDownImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawRollUpImage(TCanvas* Canvas, int X, int Y, TColor Color);
void DrawMinimizeToTrayImage(TCanvas* Canvas, int X, int Y, TColor Color);

// ---- rectangles, stream texts, tokens ----

inline int IntMax(int A, int B) {
    return A > B ? A : B;
}
inline int IntMin(int A, int B) {
    return A < B ? A : B;
}
bool RectsEqual(const TRect& R1, const TRect& R2);
void MakeNullRect(TRect& R);
bool IsNullRect(const TRect& R);
bool IsNullPoint(const TPoint& P);
bool PtInRectInclusive(const TRect& R, const TPoint& P);
bool RectInRect(const TRect& R1, const TRect& R2);
bool RectTopOrBottomInRect(const TRect& R1, const TRect& R2);
inline int GetRectWidth(const TRect& R) {
    return R.Right - R.Left;
}
inline int GetRectHeight(const TRect& R) {
    return R.Bottom - R.Top;
}

// A 32-bit character count, then the UTF-16 code units. Reading a count that is negative or larger than the
// stream holds raises EReadError.
void ReadStreamString(TStream* Stream, String& S);
void WriteStreamString(TStream* Stream, const String& S);
// Takes the next token of S up to one of the delimiters " ()[,:;=" ... (the delimiter is consumed).
void NextToken(String& S, String& Token);
// Four integers Left, Top, Right, Bottom; (0, 0, 0, 0) when the text does not convert.
void StrToRect(const String& S, TRect& R);
TRect StrToRect(const String& S);

// ---- layered glow windows (TbsLayerWindow and TbsLayerManager: TbsLayerManager.h) ----

// The layered window of Control shows Bmp (straight alpha) with the constant opacity Alpha.
void ApplyLayeredImage(TbsBitmap* Bmp, BYTE Alpha, TWinControl* Control);
// Dest := Image with each pixel's alpha the mean of red, green and blue of Mask's pixel.
void MergeImageAndMask(TBitmap* Image, TBitmap* Mask, TbsBitmap* Dest);
void SetLayeredWindowAlpha(HWND Wnd, BYTE Alpha);

// ---- process-wide entries ----

bool HasMultipleMonitors();
void GetDesktopWorkArea(bool WorkArea, TRect& R);
void GetMonitorWorkArea(HWND Wnd, bool WorkArea, TRect& R);
void GetWindowsVersion(int& Major, int& Minor);
bool IsWindowsVistaOrLater();
bool IsWindowsXPOrLater();
bool IsWindows2000OrLater();
// The same tests on a given version, as the three above apply them to the running system.
bool IsWindowsXPOrLater(int Major, int Minor);
bool IsWindows2000OrLater(int Major, int Minor);

// True when the processor reports MMX (CPUID function 1, family 5 or later, EDX bit 23).
bool CPUHasMMX();
// Leaves the vector state after the vector blend kernels; does nothing on machines without it.
void EmmsIfMMX();
// True once the platform's TransparentBlt entry has been bound at start-up.
bool HasTransparentBlt();
void SetHasTransparentBlt(bool Value);
void LoadTransparentBlt();

// The optional window-manager entries, bound by name at start-up; null where the system lacks them. Tests may
// clear one to see the wrappers stay quiet.
struct TbsUserEntries {
    HMONITOR (*MonitorFromWindow)(HWND, DWORD) = nullptr;
    BOOL (*GetMonitorInfo)(HMONITOR, MONITORINFO*) = nullptr;
    BOOL (*GetScrollBarInfo)(HWND, LONG, SCROLLBARINFO*) = nullptr;
    BOOL (*SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD) = nullptr;
    BOOL (*UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) = nullptr;
};
TbsUserEntries& UserEntries();
// Binds the entries again (after a test changed them).
void BindUserEntries();

#include "skin/core/TbsLayerManager.h"
