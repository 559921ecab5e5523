// The skin maker's painter: a floating-point RGB picture with anti-aliased rounded shapes, gradients, gloss, glyphs
// and deterministic noise, turned into a 24-bit bitmap at the end.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <vector>

#include "platform/base/Types.h"
#include "platform/gdi/Graphics.h"

namespace skinmaker {

struct TRgb {
    float R = 0, G = 0, B = 0;
};

inline TRgb Rgb(int R, int G, int B) {
    return {R / 255.f, G / 255.f, B / 255.f};
}
inline TRgb Mix(TRgb A, TRgb B, float T) {
    return {A.R + (B.R - A.R) * T, A.G + (B.G - A.G) * T, A.B + (B.B - A.B) * T};
}
inline TRgb Lighter(TRgb C, float T) {
    return Mix(C, {1, 1, 1}, T);
}
inline TRgb Darker(TRgb C, float T) {
    return Mix(C, {0, 0, 0}, T);
}
inline float Luma(TRgb C) {
    return 0.299f * C.R + 0.587f * C.G + 0.114f * C.B;
}
inline TRgb Grey(TRgb C, float T) {
    const float L = Luma(C);
    return Mix(C, {L, L, L}, T);
}
inline int Byte(float V) {
    return std::clamp(int(std::lround(V * 255.f)), 0, 255);
}
// The skin format's colour: red in the low byte.
inline TColor ToColor(TRgb C) {
    return TColor(Byte(C.R) | (Byte(C.G) << 8) | (Byte(C.B) << 16));
}

// A hash of a pixel and a seed in [0, 1): the same noise whatever order things are drawn in.
inline float Hash(int X, int Y, std::uint32_t Seed) {
    std::uint32_t H = std::uint32_t(X) * 374761393u + std::uint32_t(Y) * 668265263u + Seed * 2246822519u;
    H = (H ^ (H >> 13)) * 1274126177u;
    H ^= H >> 16;
    return float(H & 0xFFFFFF) / float(0x1000000);
}

// A corner of a shape: rounded, or cut off at 45 degrees (a chamfer); size 0 is a square corner.
enum class TCorner { Round, Chamfer, Square };

enum class TGlyph {
    None,
    Close,
    Maximize,
    Restore,
    Minimize,
    RollUp,
    RollDown,
    Tray,
    Left,
    Right,
    Up,
    Down,
    Check,
    Dot,
    Dash,
    Dots,
    Ellipsis,
    GripH,
    GripV
};

class TPainter {
public:
    TPainter(int W, int H, TRgb Background) : FW(W), FH(H), FPixels(std::size_t(W) * H, Background) {}
    int Width() const { return FW; }
    int Height() const { return FH; }
    TRgb At(int X, int Y) const { return FPixels[std::size_t(Y) * FW + X]; }
    void Put(int X, int Y, TRgb C) {
        if (X >= 0 && Y >= 0 && X < FW && Y < FH)
            FPixels[std::size_t(Y) * FW + X] = C;
    }
    void Blend(int X, int Y, TRgb C, float A) {
        if (X < 0 || Y < 0 || X >= FW || Y >= FH || A <= 0)
            return;
        TRgb& P = FPixels[std::size_t(Y) * FW + X];
        P = Mix(P, C, std::min(A, 1.f));
    }
    void Fill(const TRect& R, TRgb C) {
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                Put(X, Y, C);
    }
    // Every pixel of R coloured by its position inside R (0..1 across, 0..1 down).
    void Shade(const TRect& R, const std::function<TRgb(float U, float V, int X, int Y)>& F) {
        const float W = float(std::max(1, R.Width() - 1)), H = float(std::max(1, R.Height() - 1));
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X)
                Put(X, Y, F((X - R.Left) / W, (Y - R.Top) / H, X, Y));
    }

    // How much of pixel (X, Y) lies inside the rounded rectangle R with corner radius Rad.
    static float Coverage(const TRect& R, float Rad, int X, int Y) {
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f;
        const float Hx = R.Width() / 2.f - Rad, Hy = R.Height() / 2.f - Rad;
        const float Qx = std::fabs(X + 0.5f - Cx) - Hx, Qy = std::fabs(Y + 0.5f - Cy) - Hy;
        const float Ox = std::max(Qx, 0.f), Oy = std::max(Qy, 0.f);
        const float D = std::sqrt(Ox * Ox + Oy * Oy) + std::min(std::max(Qx, Qy), 0.f) - Rad;
        return std::clamp(0.5f - D, 0.f, 1.f);
    }
    // How much of pixel (X, Y) lies inside R whose top corners have the shape (TK, TS) and bottom corners (BK, BS).
    static float ShapeCoverage(const TRect& R, TCorner TK, float TS, TCorner BK, float BS, int X, int Y) {
        const float Px = X + 0.5f, Py = Y + 0.5f;
        const bool Top = Py < (R.Top + R.Bottom) / 2.f;
        const TCorner K = Top ? TK : BK;
        const float S = Top ? TS : BS;
        if (K == TCorner::Round)
            return Coverage(R, std::min({S, R.Width() / 2.f, R.Height() / 2.f}), X, Y);
        const float Dx = std::min(Px - R.Left, R.Right - Px), Dy = std::min(Py - R.Top, R.Bottom - Py);
        if (Dx <= 0 || Dy <= 0)
            return 0;
        if (K == TCorner::Square || S <= 0)
            return 1;
        return std::clamp((Dx + Dy - S) / 1.41421f + 0.5f, 0.f, 1.f);
    }
    // A shape filled by F, blended by coverage times Alpha.
    void Shape(const TRect& R, TCorner TK, float TS, TCorner BK, float BS,
               const std::function<TRgb(float U, float V, int X, int Y)>& F, float Alpha = 1) {
        const float W = float(std::max(1, R.Width() - 1)), H = float(std::max(1, R.Height() - 1));
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float A = ShapeCoverage(R, TK, TS, BK, BS, X, Y) * Alpha;
                if (A > 0)
                    Blend(X, Y, F((X - R.Left) / W, (Y - R.Top) / H, X, Y), A);
            }
    }
    // A ring one pixel wide along the inside of a shape.
    void ShapeFrame(const TRect& R, TCorner TK, float TS, TCorner BK, float BS, TRgb C, float Alpha = 1) {
        const TRect In{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
        const auto Less = [](TCorner K, float S) { return K == TCorner::Round ? std::max(0.f, S - 1) : S - 0.4f; };
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float A = ShapeCoverage(R, TK, TS, BK, BS, X, Y) -
                                ShapeCoverage(In, TK, Less(TK, TS), BK, Less(BK, BS), X, Y);
                if (A > 0)
                    Blend(X, Y, C, A * Alpha);
            }
    }
    // A rounded rectangle filled by F, blended by coverage times Alpha.
    void RoundRect(const TRect& R, float Rad, const std::function<TRgb(float U, float V, int X, int Y)>& F,
                   float Alpha = 1) {
        const float W = float(std::max(1, R.Width() - 1)), H = float(std::max(1, R.Height() - 1));
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float A = Coverage(R, Rad, X, Y) * Alpha;
                if (A > 0)
                    Blend(X, Y, F((X - R.Left) / W, (Y - R.Top) / H, X, Y), A);
            }
    }
    void RoundRect(const TRect& R, float Rad, TRgb C, float Alpha = 1) {
        RoundRect(
            R, Rad, [C](float, float, int, int) { return C; }, Alpha);
    }
    // A ring one pixel wide along the inside of R.
    void RoundFrame(const TRect& R, float Rad, TRgb C, float Alpha = 1) {
        const TRect In{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1};
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float A = Coverage(R, Rad, X, Y) - Coverage(In, std::max(0.f, Rad - 1), X, Y);
                if (A > 0)
                    Blend(X, Y, C, A * Alpha);
            }
    }
    void Noise(const TRect& R, float Amount, std::uint32_t Seed) {
        if (Amount <= 0)
            return;
        for (int Y = R.Top; Y < R.Bottom; ++Y)
            for (int X = R.Left; X < R.Right; ++X) {
                const float N = (Hash(X, Y, Seed) - 0.5f) * Amount;
                TRgb& P = FPixels[std::size_t(Y) * FW + X];
                P = {P.R + N, P.G + N, P.B + N};
            }
    }
    void Line(float X0, float Y0, float X1, float Y1, TRgb C, float Width = 1.2f, float Alpha = 1) {
        const int L = int(std::floor(std::min(X0, X1) - Width)), R = int(std::ceil(std::max(X0, X1) + Width));
        const int T = int(std::floor(std::min(Y0, Y1) - Width)), B = int(std::ceil(std::max(Y0, Y1) + Width));
        const float Dx = X1 - X0, Dy = Y1 - Y0, Len2 = std::max(Dx * Dx + Dy * Dy, 1e-6f);
        for (int Y = T; Y <= B; ++Y)
            for (int X = L; X <= R; ++X) {
                const float Px = X + 0.5f - X0, Py = Y + 0.5f - Y0;
                const float K = std::clamp((Px * Dx + Py * Dy) / Len2, 0.f, 1.f);
                const float Ex = Px - K * Dx, Ey = Py - K * Dy;
                const float D = std::sqrt(Ex * Ex + Ey * Ey);
                Blend(X, Y, C, std::clamp(Width / 2 + 0.5f - D, 0.f, 1.f) * Alpha);
            }
    }
    void Disc(float Cx, float Cy, float Rad, TRgb C, float Alpha = 1) {
        for (int Y = int(Cy - Rad - 1); Y <= int(Cy + Rad + 1); ++Y)
            for (int X = int(Cx - Rad - 1); X <= int(Cx + Rad + 1); ++X) {
                const float D = std::hypot(X + 0.5f - Cx, Y + 0.5f - Cy);
                Blend(X, Y, C, std::clamp(Rad + 0.5f - D, 0.f, 1.f) * Alpha);
            }
    }
    // A small glyph centred in R.
    void Glyph(const TRect& R, TGlyph G, TRgb C, float Alpha = 1) {
        const float Cx = (R.Left + R.Right) / 2.f, Cy = (R.Top + R.Bottom) / 2.f;
        const float S = std::min(R.Width(), R.Height()) / 2.f;
        const float A = std::max(2.5f, std::round(S * 0.45f));
        switch (G) {
        case TGlyph::None:
            break;
        case TGlyph::Close:
            Line(Cx - A, Cy - A, Cx + A, Cy + A, C, 1.8f, Alpha);
            Line(Cx - A, Cy + A, Cx + A, Cy - A, C, 1.8f, Alpha);
            break;
        case TGlyph::Maximize:
            Box(Cx - A, Cy - A, Cx + A, Cy + A, C, Alpha);
            Line(Cx - A, Cy - A + 1, Cx + A, Cy - A + 1, C, 1.5f, Alpha);
            break;
        case TGlyph::Restore:
            Box(Cx - A + 2, Cy - A, Cx + A, Cy + A - 2, C, Alpha * 0.8f);
            Box(Cx - A, Cy - A + 2.5f, Cx + A - 2.5f, Cy + A, C, Alpha);
            break;
        case TGlyph::Minimize:
            Line(Cx - A, Cy + A - 1, Cx + A, Cy + A - 1, C, 2.f, Alpha);
            break;
        case TGlyph::RollUp:
            Line(Cx - A, Cy + A / 2, Cx, Cy - A / 2, C, 1.8f, Alpha);
            Line(Cx, Cy - A / 2, Cx + A, Cy + A / 2, C, 1.8f, Alpha);
            break;
        case TGlyph::RollDown:
            Line(Cx - A, Cy - A / 2, Cx, Cy + A / 2, C, 1.8f, Alpha);
            Line(Cx, Cy + A / 2, Cx + A, Cy - A / 2, C, 1.8f, Alpha);
            break;
        case TGlyph::Tray:
            Line(Cx - A, Cy + A - 1, Cx + A, Cy + A - 1, C, 1.6f, Alpha);
            Line(Cx, Cy - A, Cx, Cy + A / 2, C, 1.6f, Alpha);
            Line(Cx - A / 1.5f, Cy, Cx, Cy + A / 2 + 0.5f, C, 1.6f, Alpha);
            Line(Cx + A / 1.5f, Cy, Cx, Cy + A / 2 + 0.5f, C, 1.6f, Alpha);
            break;
        case TGlyph::Left:
        case TGlyph::Right:
        case TGlyph::Up:
        case TGlyph::Down: {
            const float B = std::max(2.f, std::round(S * 0.35f));
            std::vector<std::pair<float, float>> P;
            if (G == TGlyph::Down)
                P = {{Cx - B, Cy - B / 2}, {Cx + B, Cy - B / 2}, {Cx, Cy + B / 2 + 0.5f}};
            else if (G == TGlyph::Up)
                P = {{Cx - B, Cy + B / 2}, {Cx + B, Cy + B / 2}, {Cx, Cy - B / 2 - 0.5f}};
            else if (G == TGlyph::Right)
                P = {{Cx - B / 2, Cy - B}, {Cx - B / 2, Cy + B}, {Cx + B / 2 + 0.5f, Cy}};
            else
                P = {{Cx + B / 2, Cy - B}, {Cx + B / 2, Cy + B}, {Cx - B / 2 - 0.5f, Cy}};
            Triangle(P, C, Alpha);
            break;
        }
        case TGlyph::Check:
            Line(Cx - A, Cy, Cx - A / 3, Cy + A * 0.7f, C, 2.f, Alpha);
            Line(Cx - A / 3, Cy + A * 0.7f, Cx + A, Cy - A * 0.8f, C, 2.f, Alpha);
            break;
        case TGlyph::Dot:
            Disc(Cx, Cy, A * 0.75f, C, Alpha);
            break;
        case TGlyph::Dash:
            Line(Cx - A, Cy, Cx + A, Cy, C, 2.f, Alpha);
            break;
        case TGlyph::Dots:
        case TGlyph::Ellipsis:
            for (int I = -1; I <= 1; ++I)
                Disc(Cx + I * (A * 0.9f + 0.5f), Cy + (G == TGlyph::Ellipsis ? A * 0.5f : 0), 1.1f, C, Alpha);
            break;
        case TGlyph::GripH:
        case TGlyph::GripV:
            for (int I = -1; I <= 1; ++I) {
                const float Dx = G == TGlyph::GripH ? I * 3.f : 0, Dy = G == TGlyph::GripV ? I * 3.f : 0;
                if (G == TGlyph::GripH)
                    Line(Cx + Dx, Cy - A + 1, Cx + Dx, Cy + A - 1, C, 1.f, Alpha);
                else
                    Line(Cx - A + 1, Cy + Dy, Cx + A - 1, Cy + Dy, C, 1.f, Alpha);
            }
            break;
        }
    }

    std::unique_ptr<TBitmap> ToBitmap() const {
        auto B = std::make_unique<TBitmap>();
        B->SetPixelFormat(pf24bit);
        B->SetSize(FW, FH);
        for (int Y = 0; Y < FH; ++Y) {
            auto* Row = static_cast<std::uint8_t*>(B->ScanLine(Y));
            for (int X = 0; X < FW; ++X) {
                const TRgb C = At(X, Y);
                Row[X * 3] = std::uint8_t(Byte(C.B));
                Row[X * 3 + 1] = std::uint8_t(Byte(C.G));
                Row[X * 3 + 2] = std::uint8_t(Byte(C.R));
            }
        }
        return B;
    }

private:
    void Box(float L, float T, float R, float B, TRgb C, float Alpha) {
        Line(L, T, R, T, C, 1.2f, Alpha);
        Line(R, T, R, B, C, 1.2f, Alpha);
        Line(R, B, L, B, C, 1.2f, Alpha);
        Line(L, B, L, T, C, 1.2f, Alpha);
    }
    void Triangle(const std::vector<std::pair<float, float>>& P, TRgb C, float Alpha) {
        float L = 1e9f, T = 1e9f, R = -1e9f, B = -1e9f;
        for (auto [X, Y] : P)
            L = std::min(L, X), T = std::min(T, Y), R = std::max(R, X), B = std::max(B, Y);
        // Four samples per pixel for soft edges.
        for (int Y = int(T) - 1; Y <= int(B) + 1; ++Y)
            for (int X = int(L) - 1; X <= int(R) + 1; ++X) {
                int In = 0;
                for (float Sy : {0.25f, 0.75f})
                    for (float Sx : {0.25f, 0.75f}) {
                        const float Px = X + Sx, Py = Y + Sy;
                        bool Pos = false, Neg = false;
                        for (std::size_t I = 0; I < 3; ++I) {
                            auto [Ax, Ay] = P[I];
                            auto [Bx, By] = P[(I + 1) % 3];
                            const float E = (Bx - Ax) * (Py - Ay) - (By - Ay) * (Px - Ax);
                            (E >= 0 ? Pos : Neg) = true;
                        }
                        In += !(Pos && Neg);
                    }
                Blend(X, Y, C, In / 4.f * Alpha);
            }
    }

    int FW;
    int FH;
    std::vector<TRgb> FPixels;
};

} // namespace skinmaker
