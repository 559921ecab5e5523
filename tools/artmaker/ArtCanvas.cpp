#include "tools/artmaker/ArtCanvas.h"

#include <memory>

#include "platform/gdi/Graphics.h"

namespace artmaker {

TShape Circle(float Cx, float Cy, float R) {
    return [=](float X, float Y) { return std::hypot(X - Cx, Y - Cy) - R; };
}

TShape Box(float L, float T, float R, float B, float Radius) {
    const float Cx = (L + R) / 2, Cy = (T + B) / 2, Hx = (R - L) / 2 - Radius, Hy = (B - T) / 2 - Radius;
    return [=](float X, float Y) {
        const float Qx = std::fabs(X - Cx) - Hx, Qy = std::fabs(Y - Cy) - Hy;
        return std::hypot(std::max(Qx, 0.f), std::max(Qy, 0.f)) + std::min(std::max(Qx, Qy), 0.f) - Radius;
    };
}

TShape Segment(float X0, float Y0, float X1, float Y1, float W) {
    return [=](float X, float Y) {
        const float Dx = X1 - X0, Dy = Y1 - Y0, Px = X - X0, Py = Y - Y0;
        const float K = std::clamp((Px * Dx + Py * Dy) / std::max(Dx * Dx + Dy * Dy, 1e-6f), 0.f, 1.f);
        return std::hypot(Px - K * Dx, Py - K * Dy) - W / 2;
    };
}

TShape Polygon(std::vector<std::pair<float, float>> P) {
    return [P = std::move(P)](float X, float Y) {
        float D = 1e9f;
        bool Inside = false;
        for (std::size_t I = 0, J = P.size() - 1; I < P.size(); J = I++) {
            const auto [Ax, Ay] = P[J];
            const auto [Bx, By] = P[I];
            const float Ex = Bx - Ax, Ey = By - Ay, Wx = X - Ax, Wy = Y - Ay;
            const float K = std::clamp((Wx * Ex + Wy * Ey) / std::max(Ex * Ex + Ey * Ey, 1e-6f), 0.f, 1.f);
            D = std::min(D, std::hypot(Wx - K * Ex, Wy - K * Ey));
            if ((Ay > Y) != (By > Y) && X < Ax + (Y - Ay) * Ex / Ey)
                Inside = !Inside;
        }
        return Inside ? -D : D;
    };
}

TShape Ring(float Cx, float Cy, float R, float W) {
    return [=](float X, float Y) { return std::fabs(std::hypot(X - Cx, Y - Cy) - R) - W / 2; };
}

TShape Union(TShape A, TShape B) {
    return [=](float X, float Y) { return std::min(A(X, Y), B(X, Y)); };
}

TShape Subtract(TShape A, TShape B) {
    return [=](float X, float Y) { return std::max(A(X, Y), -B(X, Y)); };
}

TShape Intersect(TShape A, TShape B) {
    return [=](float X, float Y) { return std::max(A(X, Y), B(X, Y)); };
}

TShape Grow(TShape A, float D) {
    return [=](float X, float Y) { return A(X, Y) - D; };
}

TShape Moved(TShape A, float Dx, float Dy) {
    return [=](float X, float Y) { return A(X - Dx, Y - Dy); };
}

TPaint Solid(TRgb C) {
    return [=](float, float) { return C; };
}

TPaint Vertical(float Y0, float Y1, TRgb Top, TRgb Bottom) {
    return [=](float, float Y) { return Mix(Top, Bottom, std::clamp((Y - Y0) / std::max(Y1 - Y0, 1e-3f), 0.f, 1.f)); };
}

TPaint Radial(float Cx, float Cy, float R, TRgb Inner, TRgb Outer) {
    return [=](float X, float Y) { return Mix(Inner, Outer, std::clamp(std::hypot(X - Cx, Y - Cy) / R, 0.f, 1.f)); };
}

void TArtCanvas::Over(int X, int Y, TRgb C, float A) {
    if (X < 0 || Y < 0 || X >= FW || Y >= FH || A <= 0)
        return;
    A = std::min(A, 1.f);
    TPixel& P = FPixels[std::size_t(Y) * FW + X];
    P.R = C.R * A + P.R * (1 - A);
    P.G = C.G * A + P.G * (1 - A);
    P.B = C.B * A + P.B * (1 - A);
    P.A = A + P.A * (1 - A);
}

void TArtCanvas::Fill(const TShape& S, const TPaint& P, float Alpha) {
    for (int Y = 0; Y < FH; ++Y)
        for (int X = 0; X < FW; ++X) {
            const float Cx = X + 0.5f, Cy = Y + 0.5f;
            const float Cover = std::clamp(0.5f - S(Cx, Cy), 0.f, 1.f);
            if (Cover > 0)
                Over(X, Y, P(Cx, Cy), Cover * Alpha);
        }
}

void TArtCanvas::Shadow(const TShape& S, float Soft, float Alpha) {
    for (int Y = 0; Y < FH; ++Y)
        for (int X = 0; X < FW; ++X) {
            const float D = S(X + 0.5f, Y + 0.5f);
            const float T = std::clamp(0.5f - D / (2 * Soft), 0.f, 1.f);
            if (T > 0)
                Over(X, Y, TRgb{0.05f, 0.07f, 0.12f}, T * T * (3 - 2 * T) * Alpha);
        }
}

void TArtCanvas::Object(const TShape& S, TRgb Base, float Top, float Bottom, bool Gloss) {
    const float Size = float(std::min(FW, FH));
    const float Rim = Size >= 96 ? 1.6f : 1.f;
    const float Drop = std::max(1.f, Size / 40);
    Shadow(Moved(S, 0, Drop), std::max(1.f, Size / 32), 0.35f);
    Fill(S, Darker(Base, 0.45f));
    const TShape Inner = Grow(S, -Rim);
    Fill(Inner, Vertical(Top, Bottom, Lighter(Base, 0.35f), Darker(Base, 0.12f)));
    if (Gloss) {
        const float Mid = Top + (Bottom - Top) * 0.48f;
        const TShape Upper = Intersect(Grow(Inner, -Rim * 0.5f), [=](float, float Y) { return Y - Mid; });
        Fill(Upper, Vertical(Top, Mid, {1, 1, 1}, {1, 1, 1}), 0.22f);
    }
}

void TArtCanvas::Text(const String& S, float Cx, float Cy, int Height, TRgb C, bool Bold, float Alpha) {
    // The platform draws white text on black; its brightness is the text's coverage.
    TBitmap Mask;
    Mask.SetPixelFormat(pf32bit);
    Mask.SetSize(1, 1);
    TCanvas* MC = Mask.Canvas();
    MC->Font()->SetName(u"DejaVu Sans");
    MC->Font()->SetHeight(-Height);
    MC->Font()->SetStyle(Bold ? TFontStyles{fsBold} : TFontStyles{});
    const TSize Extent = MC->TextExtent(S);
    Mask.SetSize(Extent.cx + 2, Extent.cy + 2);
    MC = Mask.Canvas();
    MC->Brush()->SetColor(clBlack);
    MC->FillRect(TRect{0, 0, Mask.Width(), Mask.Height()});
    MC->Font()->SetColor(clWhite);
    MC->Brush()->SetStyle(bsClear);
    MC->TextOut(1, 1, S);
    const int Left = int(std::lround(Cx - Mask.Width() / 2.f)), Top = int(std::lround(Cy - Mask.Height() / 2.f));
    for (int Y = 0; Y < Mask.Height(); ++Y) {
        const auto* Row = static_cast<const std::uint32_t*>(Mask.ScanLine(Y));
        for (int X = 0; X < Mask.Width(); ++X)
            Over(Left + X, Top + Y, C, ((Row[X] >> 8) & 0xFF) / 255.f * Alpha);
    }
}

void TArtCanvas::Draw(const TArtCanvas& Other, int X, int Y, float Alpha) {
    for (int Sy = 0; Sy < Other.FH; ++Sy)
        for (int Sx = 0; Sx < Other.FW; ++Sx) {
            const TPixel& P = Other.FPixels[std::size_t(Sy) * Other.FW + Sx];
            if (P.A > 0)
                Over(X + Sx, Y + Sy, TRgb{P.R / P.A, P.G / P.A, P.B / P.A}, P.A * Alpha);
        }
}

std::vector<std::uint32_t> TArtCanvas::Pixels() const {
    std::vector<std::uint32_t> Result;
    Result.reserve(FPixels.size());
    for (const TPixel& P : FPixels) {
        const int A = skinmaker::Byte(P.A);
        if (A == 0) {
            Result.push_back(0);
            continue;
        }
        const float K = 1 / P.A;
        Result.push_back(std::uint32_t(A) << 24 | std::uint32_t(skinmaker::Byte(P.R * K)) << 16 |
                         std::uint32_t(skinmaker::Byte(P.G * K)) << 8 | std::uint32_t(skinmaker::Byte(P.B * K)));
    }
    return Result;
}

TArtCanvas TArtCanvas::Greyed() const {
    TArtCanvas Result = *this;
    for (TPixel& P : Result.FPixels) {
        if (P.A <= 0)
            continue;
        const TRgb C{P.R / P.A, P.G / P.A, P.B / P.A};
        const TRgb G = Lighter(skinmaker::Grey(C, 0.85f), 0.25f);
        P.R = G.R * P.A;
        P.G = G.G * P.A;
        P.B = G.B * P.A;
    }
    return Result;
}

} // namespace artmaker
