// The compositor: builds the screen from the back buffers of the visible top-level windows, bottom to
// top, through their window regions, with constant-alpha, colour-key and per-pixel layered windows and the
// drop shadow of CS_DROPSHADOW classes.
#include "platform/win/WinInternal.h"

#include "platform/gdi/GdiRegion.h"

#include <algorithm>
#include <cstring>

namespace winimpl {

namespace {

struct TScreen {
    HBITMAP Bitmap = nullptr;
    DWORD* Bits = nullptr;
    int Width = 0;
    int Height = 0;
};

TScreen& Screen() {
    static auto* Sc = new TScreen;
    return *Sc;
}

inline DWORD ToPixel(COLORREF C) {
    return 0xFF000000u | (DWORD(GetRValue(C)) << 16) | (DWORD(GetGValue(C)) << 8) | GetBValue(C);
}

inline DWORD Mul(DWORD C, DWORD A) {
    return (C * A + 127) / 255;
}

// Constant alpha over an opaque destination.
inline DWORD Blend(DWORD S, DWORD D, DWORD A) {
    DWORD R = Mul((S >> 16) & 0xFF, A) + Mul((D >> 16) & 0xFF, 255 - A);
    DWORD G = Mul((S >> 8) & 0xFF, A) + Mul((D >> 8) & 0xFF, 255 - A);
    DWORD B = Mul(S & 0xFF, A) + Mul(D & 0xFF, 255 - A);
    return 0xFF000000u | (R << 16) | (G << 8) | B;
}

// A premultiplied source scaled by a constant alpha, over an opaque destination.
inline DWORD BlendPremultiplied(DWORD S, DWORD D, DWORD Ca) {
    DWORD Sa = Mul(S >> 24, Ca);
    DWORD R = std::min<DWORD>(255, Mul((S >> 16) & 0xFF, Ca) + Mul((D >> 16) & 0xFF, 255 - Sa));
    DWORD G = std::min<DWORD>(255, Mul((S >> 8) & 0xFF, Ca) + Mul((D >> 8) & 0xFF, 255 - Sa));
    DWORD B = std::min<DWORD>(255, Mul(S & 0xFF, Ca) + Mul(D & 0xFF, 255 - Sa));
    return 0xFF000000u | (R << 16) | (G << 8) | B;
}

constexpr int ShadowSize = 4;

void DrawShadow(DWORD* Dst, const RECT& Clip, const GdiRegion& Area, const RECT& R) {
    int Dw = Clip.Right - Clip.Left;
    GdiRegion Band =
        GdiRegion::FromRect(OffsetR(R, ShadowSize, ShadowSize)).Subtract(GdiRegion::FromRect(R)).Intersect(Area);
    for (auto& B : Band.Bands())
        for (int Y = B.Top; Y < B.Bottom; ++Y)
            for (auto& Sp : B.Spans)
                for (int X = Sp.Left; X < Sp.Right; ++X) {
                    // Darker near the window, fading out over the band.
                    int Dx = X >= R.Right ? X - R.Right : 0, Dy = Y >= R.Bottom ? Y - R.Bottom : 0;
                    int Dist = std::max(Dx, Dy);
                    DWORD A = DWORD(96 - Dist * 96 / ShadowSize);
                    DWORD& P = Dst[std::size_t(Y - Clip.Top) * std::size_t(Dw) + std::size_t(X - Clip.Left)];
                    P = Blend(0xFF000000u, P, A);
                }
}

} // namespace

void ComposeInto(DWORD* Dst, const RECT& Clip) {
    if (EmptyR(Clip))
        return;
    int Dw = Clip.Right - Clip.Left;
    DWORD Desk = ToPixel(GetSysColor(COLOR_BACKGROUND));
    std::fill(Dst, Dst + std::size_t(Dw) * std::size_t(Clip.Bottom - Clip.Top), Desk);
    GdiRegion AreaRgn = GdiRegion::FromRect(Clip);
    auto& Tops = DesktopWnd()->Children;
    for (auto It = Tops.rbegin(); It != Tops.rend(); ++It) {
        TWnd* T = *It;
        if (!T->Visible() || (T->Style & WS_MINIMIZE) || T->Dead)
            continue;
        bool Layered = T->ExStyle & WS_EX_LAYERED;
        // A layered window shows nothing until it is given its attributes or its picture.
        if (Layered && T->LayerMode == TLayerMode::None)
            continue;
        RECT R = T->Rect;
        int Wd = R.Right - R.Left, Ht = R.Bottom - R.Top;
        if (Wd <= 0 || Ht <= 0)
            continue;
        TSurfaceData* D = static_cast<TSurfaceData*>(T->PaintData);
        if (T->Class && (T->Class->Style & CS_DROPSHADOW) && !(Layered && T->LayerMode == TLayerMode::PerPixel))
            DrawShadow(Dst, Clip, AreaRgn, R);
        GdiRegion Shape = GdiRegion::FromRect(R);
        if (D && D->Region) {
            GdiRegion Own = GdiRegionOf(D->Region);
            Own.Offset(R.Left, R.Top);
            Shape = Shape.Intersect(Own);
        }
        Shape = Shape.Intersect(AreaRgn);
        const DWORD* Src = nullptr;
        int Sw = 0, Sh = 0;
        bool PerPixel = Layered && T->LayerMode == TLayerMode::PerPixel;
        if (PerPixel) {
            if (!D || !D->LayerBits)
                continue;
            Src = D->LayerBits;
            Sw = D->LayerWidth;
            Sh = D->LayerHeight;
        } else {
            TSurfaceData& B = EnsureBuffer(T);
            Src = B.Bits;
            Sw = B.Width;
            Sh = B.Height;
        }
        if (!Src)
            continue;
        bool Key = Layered && (T->LayerFlags & (PerPixel ? ULW_COLORKEY : LWA_COLORKEY));
        DWORD KeyPixel = ToPixel(T->LayerKey) & 0xFFFFFF;
        DWORD Alpha = Layered ? T->LayerAlpha : 255;
        bool Premul = PerPixel && D->LayerUsesAlpha;
        for (auto& B : Shape.Bands())
            for (int Y = B.Top; Y < B.Bottom; ++Y) {
                int Sy = Y - R.Top;
                if (Sy < 0 || Sy >= Sh)
                    continue;
                DWORD* Row = Dst + std::size_t(Y - Clip.Top) * std::size_t(Dw) - Clip.Left;
                const DWORD* SRow = Src + std::size_t(Sy) * std::size_t(Sw);
                for (auto& Sp : B.Spans) {
                    int X0 = std::max(Sp.Left, int(R.Left)), X1 = std::min(Sp.Right, int(R.Left) + Sw);
                    for (int X = X0; X < X1; ++X) {
                        DWORD P = SRow[X - R.Left];
                        if (Key && (P & 0xFFFFFF) == KeyPixel)
                            continue;
                        if (Premul)
                            Row[X] = BlendPremultiplied(P, Row[X], Alpha);
                        else if (Alpha == 255)
                            Row[X] = P | 0xFF000000u;
                        else
                            Row[X] = Blend(P, Row[X], Alpha);
                    }
                }
            }
    }
}

HBITMAP ComposedScreen() {
    TState& St = S();
    TScreen& Sc = Screen();
    int Wd = St.Screen.Right - St.Screen.Left, Ht = St.Screen.Bottom - St.Screen.Top;
    if (!Sc.Bitmap || Sc.Width != Wd || Sc.Height != Ht) {
        if (Sc.Bitmap)
            DeleteObject(Sc.Bitmap);
        Sc.Bitmap = NewSurface(Wd, Ht, &Sc.Bits);
        Sc.Width = Wd;
        Sc.Height = Ht;
    }
    if (Sc.Bits)
        ComposeInto(Sc.Bits, RECT{0, 0, Wd, Ht});
    return Sc.Bitmap;
}

} // namespace winimpl
