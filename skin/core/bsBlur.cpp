#include "skin/core/bsBlur.h"

#include "skin/core/bsUtils.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// One pass of the triangle filter over Count samples: Out(x) = sum over k of (r + 1 - |k|) * In(clamp(x + k)),
// divided by (r + 1)^2 and truncated. The sum moves by the incoming and outgoing halves of the window.
template <class Get, class Put> void BlurLine(int Count, int r, Get In, Put Out) {
    const std::int64_t D = static_cast<std::int64_t>(r + 1) * (r + 1);
    auto At = [&](int X) { return static_cast<std::int64_t>(In(std::clamp(X, 0, Count - 1))); };
    std::int64_t Sum = 0, Incoming = 0, Outgoing = 0;
    for (int k = -r; k <= r; ++k) {
        Sum += (r + 1 - std::abs(k)) * At(k);
        if (k > 0)
            Incoming += At(k);
        else
            Outgoing += At(k);
    }
    for (int X = 0; X < Count; ++X) {
        Out(X, static_cast<int>(Sum / D));
        Sum += Incoming - Outgoing + At(X + 1 + r);
        Outgoing += At(X + 1) - At(X - r);
        Incoming += At(X + 1 + r) - At(X + 1);
    }
}

} // namespace

void BlurBitmap(TbsBitmap& Bitmap, int Radius) {
    if (Radius <= 0 || Bitmap.Empty())
        return;
    const int W = Bitmap.Width(), H = Bitmap.Height();
    std::vector<int> Planes[3];
    for (auto& P : Planes)
        P.assign(static_cast<std::size_t>(W) * H, 0);
    for (int Y = 0; Y < H; ++Y) {
        const TbsColor* Row = Bitmap.GetRowPtr(Y);
        for (int C = 0; C < 3; ++C) {
            int* Plane = Planes[C].data() + static_cast<std::ptrdiff_t>(Y) * W;
            const int Shift = 16 - 8 * C;
            BlurLine(
                W, Radius, [&](int X) { return (Row[X] >> Shift) & 0xFF; }, [&](int X, int V) { Plane[X] = V; });
        }
    }
    // The vertical pass filters the truncated horizontal results.
    std::vector<int> Column(static_cast<std::size_t>(H));
    for (int X = 0; X < W; ++X)
        for (int C = 0; C < 3; ++C) {
            const int* Plane = Planes[C].data();
            BlurLine(
                H, Radius, [&](int Y) { return Plane[static_cast<std::ptrdiff_t>(Y) * W + X]; },
                [&](int Y, int V) { Column[Y] = V; });
            const int Shift = 16 - 8 * C;
            for (int Y = 0; Y < H; ++Y) {
                TbsColor& P = *Bitmap.GetPixelPtr(X, Y);
                P = (P & ~(0xFFu << Shift)) | (static_cast<TbsColor>(Column[Y]) << Shift) | 0xFF000000u;
            }
        }
}

void SetAlphaFromMask(TbsBitmap& Bitmap, const TbsBitmap& Mask) {
    if (Bitmap.Empty() || Mask.Empty())
        return;
    const int W = std::min(Bitmap.Width(), Mask.Width()), H = std::min(Bitmap.Height(), Mask.Height());
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const TbsColor M = *Mask.GetPixelPtr(X, Y);
            const TbsColor A = (((M >> 16) & 0xFF) + ((M >> 8) & 0xFF) + (M & 0xFF)) / 3;
            TbsColor& P = *Bitmap.GetPixelPtr(X, Y);
            P = (P & 0x00FFFFFF) | (A << 24);
        }
}

namespace {

// A canvas over a skin bitmap's DC for drawing the coverage map: the caller's font in red on a clear brush, so
// each pixel's red is the text's coverage there.
class TCoverageCanvas {
public:
    TCoverageCanvas(TbsBitmap& Bitmap, TCanvas* Source) {
        FCanvas.SetHandle(Bitmap.DC());
        FCanvas.Font()->Assign(Source->Font());
        FCanvas.Font()->SetColor(clRed);
        FCanvas.Brush()->SetStyle(bsClear);
    }
    ~TCoverageCanvas() { FCanvas.SetHandle(nullptr); }
    TCanvas* operator->() { return &FCanvas; }
    TCanvas* Get() { return &FCanvas; }

private:
    TCanvas FCanvas;
};

// Alpha := red (the coverage), colour := the glow colour.
void CoverageToGlow(TbsBitmap& B, TColor GlowColor) {
    const TbsColor Colour = ColorToBsColor(static_cast<std::uint32_t>(GlowColor)) & 0x00FFFFFF;
    const int Count = B.Width() * B.Height();
    for (int I = 0; I < Count; ++I)
        B.Bits()[I] = (((B.Bits()[I] >> 16) & 0xFF) << 24) | Colour;
}

int CaptionOnTop(TCanvas* Canvas, const TRect& Rect, const String& Text, UINT Flags) {
    Canvas->Brush()->SetStyle(bsClear);
    TRect R = Rect;
    return DrawWideText(Canvas, Text, R, Flags);
}

// The glow of the text drawn at each offset into a bitmap of the caption's size plus A all round.
void DrawGlow(TCanvas* Canvas, const TRect& Rect, const String& Text, int A, TColor GlowColor, int Offset, UINT Flags,
              std::initializer_list<TPoint> Moves) {
    const int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
    TbsBitmap B;
    B.SetSize(W + 2 * A, H + 2 * A);
    if (B.Empty())
        return;
    {
        TCoverageCanvas C(B, Canvas);
        for (const TPoint& M : Moves) {
            TRect T{A + M.X, A + M.Y, W + A + M.X, H + A + M.Y};
            DrawWideText(C.Get(), Text, T, Flags);
        }
    }
    BlurBitmap(B, A);
    CoverageToGlow(B, GlowColor);
    B.SetAlphaBlend(true);
    B.Draw(Canvas->Handle(), Rect.Left - A + Offset, Rect.Top - A + Offset);
}

} // namespace

int DrawGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor, int Offset,
                 UINT Flags) {
    DrawGlow(Canvas, Rect, Text, std::max(GlowSize, 0), GlowColor, Offset, Flags, {TPoint{0, 0}});
    return CaptionOnTop(Canvas, Rect, Text, Flags);
}

void DrawOutlineGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, int GlowSize, TColor GlowColor,
                         int Offset, UINT Flags) {
    DrawGlow(Canvas, Rect, Text, std::max(GlowSize, 0), GlowColor, Offset, Flags,
             {TPoint{0, 0}, TPoint{-1, 0}, TPoint{1, 0}, TPoint{0, -1}, TPoint{0, 1}});
    CaptionOnTop(Canvas, Rect, Text, Flags);
}

int DrawVistaGlowText(TCanvas* Canvas, const TRect& Rect, const String& Text, TColor GlowColor, UINT Flags) {
    constexpr int S = 12;
    const int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
    TbsBitmap B;
    B.SetSize(W + 2 * S, H + 2 * S);
    if (!B.Empty()) {
        {
            TCoverageCanvas C(B, Canvas);
            const TRect T{S, S, W + S, H + S};
            C->Brush()->SetStyle(bsSolid);
            C->Brush()->SetColor(clRed);
            C->FillRect(TRect{T.Left - 3, T.Top + 2, T.Right + 3, T.Bottom - 2});
            C->Brush()->SetStyle(bsClear);
            for (const TPoint& M : {TPoint{-1, -1}, TPoint{-2, -2}, TPoint{-1, 0}, TPoint{-2, 0}, TPoint{1, 0},
                                    TPoint{2, 0}, TPoint{1, 1}, TPoint{2, 2}, TPoint{0, 0}}) {
                TRect Moved{T.Left + M.X, T.Top + M.Y, T.Right + M.X, T.Bottom + M.Y};
                DrawWideText(C.Get(), Text, Moved, Flags);
            }
        }
        BlurBitmap(B, S / 2);
        BlurBitmap(B, S / 2);
        CoverageToGlow(B, GlowColor);
        B.SetAlphaBlend(true);
        B.Draw(Canvas->Handle(), Rect.Left - S, Rect.Top - S);
    }
    return CaptionOnTop(Canvas, Rect, Text, Flags);
}

void DrawReflectionText(TCanvas* Canvas, const TRect& Rect, const String& Text, TColor Color, int Offset, UINT Flags) {
    const int W = Rect.Right - Rect.Left, H = Rect.Bottom - Rect.Top;
    TbsBitmap B;
    B.SetSize(W, H);
    if (!B.Empty()) {
        TRect R0{0, 0, W, H};
        {
            TCoverageCanvas C(B, Canvas);
            DrawWideText(C.Get(), Text, R0, Flags);
            R0 = TRect{0, 0, W, H};
            DrawWideText(C.Get(), Text, R0, Flags | DT_CALCRECT);
        }
        const int T = R0.Top, Bottom = R0.Bottom;
        TRect R1 = Rect;
        DrawWideText(Canvas, Text, R1, Flags | DT_CALCRECT);
        if (Bottom - T > 0) {
            const TbsColor Colour = ColorToBsColor(static_cast<std::uint32_t>(Color)) & 0x00FFFFFF;
            for (int Y = 0; Y < H; ++Y) {
                TbsColor* Row = B.GetRowPtr(Y);
                if (Y < T || Y > Bottom) {
                    std::fill(Row, Row + W, 0u);
                    continue;
                }
                // The text's top 30 % fade out completely; its last row keeps 70 %.
                float K = static_cast<float>(0.7 - double(Bottom - (Y - T)) / double(Bottom - T));
                if (K < 0)
                    K = 0;
                for (int X = 0; X < W; ++X) {
                    const TbsColor Alpha = static_cast<TbsColor>(float((Row[X] >> 16) & 0xFF) * K);
                    Row[X] = (Alpha << 24) | Colour;
                }
            }
        }
        for (int Y = 0; Y < H / 2; ++Y)
            std::swap_ranges(B.GetRowPtr(Y), B.GetRowPtr(Y) + W, B.GetRowPtr(H - 1 - Y));
        B.SetAlphaBlend(true);
        B.Draw(Canvas->Handle(), Rect.Left, R1.Bottom - (H - Bottom) + Offset);
    }
    CaptionOnTop(Canvas, Rect, Text, Flags);
}
