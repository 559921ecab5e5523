#include "skin/core/TbsEffectBmp.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

#include "platform/base/System.h"

namespace {

// Round to nearest with ties to even, saturating so that absurd factors cannot overflow.
int RoundToInt(double V) {
    if (std::isnan(V))
        return 0;
    const double R = std::nearbyint(V);
    if (R >= static_cast<double>(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    if (R <= static_cast<double>(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    return static_cast<int>(R);
}

std::uint8_t ClampChannel(int V) {
    return static_cast<std::uint8_t>(V < 0 ? 0 : V > 255 ? 255 : V);
}

// t of Self's channel and 1 - t of BMP's channel, for the three bytes of a pixel.
void MixPixel(std::uint8_t* Self, const std::uint8_t* Other, double t) {
    for (int C = 0; C < 3; ++C)
        Self[C] = ClampChannel(RoundToInt(t * Self[C] + (1 - t) * Other[C]));
}

int Clip(int V, int Lo, int Hi) {
    return V < Lo ? Lo : V > Hi ? Hi : V;
}

} // namespace

TbsEffectBmp::TbsEffectBmp(int cx, int cy) {
    BmpHeader.biBitCount = 24;
    BmpHeader.biCompression = BI_RGB;
    if (cx <= 0 || cy <= 0)
        return;
    BmpHeader.biWidth = cx;
    BmpHeader.biHeight = -cy;
    BmpInfo.bmiHeader = BmpHeader;
    void* P = nullptr;
    Handle = CreateDIBSection(nullptr, &BmpInfo, DIB_RGB_COLORS, &P, nullptr, 0);
    if (!Handle || !P) {
        if (Handle)
            DeleteObject(Handle);
        Handle = nullptr;
        return;
    }
    Width = cx;
    Height = cy;
    // Three bytes a pixel, rows padded to a multiple of four bytes: the section's own row length.
    RowLength = 3 * cx + (cx % 4);
    Size = RowLength * cy;
    Bits = P;
    std::memset(Bits, 0, static_cast<std::size_t>(Size));
}

TbsEffectBmp::~TbsEffectBmp() {
    if (Handle)
        DeleteObject(Handle);
}

TbsEffectBmp* TbsEffectBmp::CreateCopy(const TbsEffectBmp& hBmp) {
    auto* Copy = new TbsEffectBmp(hBmp.Width, hBmp.Height);
    if (Copy->Bits && hBmp.Bits)
        std::memcpy(Copy->Bits, hBmp.Bits, static_cast<std::size_t>(hBmp.Size));
    return Copy;
}

TbsEffectBmp* TbsEffectBmp::CreateFromhWnd(HBITMAP hBmp) {
    BITMAP Description;
    if (!hBmp || GetObject(hBmp, sizeof(Description), &Description) == 0)
        return new TbsEffectBmp(0, 0);
    auto* Copy = new TbsEffectBmp(Description.bmWidth, std::abs(Description.bmHeight));
    if (Copy->Bits) {
        BITMAPINFO Info = Copy->BmpInfo;
        GetDIBits(GetScreenDC(), hBmp, 0, static_cast<UINT>(Copy->Height), Copy->Bits, &Info, DIB_RGB_COLORS);
    }
    return Copy;
}

void TbsEffectBmp::Draw(HDC hDC, int x, int y) const {
    if (Bits)
        SetDIBitsToDevice(hDC, x, y, static_cast<DWORD>(Width), static_cast<DWORD>(Height), 0, 0, 0,
                          static_cast<UINT>(Height), Bits, &BmpInfo, DIB_RGB_COLORS);
}

void TbsEffectBmp::Stretch(HDC hDC, int x, int y, int cx, int cy) const {
    if (Bits)
        StretchDIBits(hDC, x, y, cx, cy, 0, 0, Width, Height, Bits, &BmpInfo, DIB_RGB_COLORS, SRCCOPY);
}

void TbsEffectBmp::DrawRect(HDC hDC, int hx, int hy, int x, int y, int cx, int cy) const {
    // The drawing layer counts a top-down image's source rows from its top, so the part is named directly.
    if (Bits)
        StretchDIBits(hDC, hx, hy, cx, cy, x, y, cx, cy, Bits, &BmpInfo, DIB_RGB_COLORS, SRCCOPY);
}

std::uint32_t TbsEffectBmp::GetPixel(int x, int y) const {
    const std::uint8_t* P = GetRow(y) + 3 * x;
    return P[0] | (P[1] << 8) | (static_cast<std::uint32_t>(P[2]) << 16);
}

void TbsEffectBmp::SetPixel(int x, int y, std::uint32_t Value) {
    std::uint8_t* P = GetRow(y) + 3 * x;
    P[0] = Value & 0xFF;
    P[1] = (Value >> 8) & 0xFF;
    P[2] = (Value >> 16) & 0xFF;
}

void TbsEffectBmp::GetScanLine(int y, void* Line) const {
    std::memcpy(Line, GetRow(y), 3 * static_cast<std::size_t>(Width));
}

void TbsEffectBmp::SetScanLine(int y, const void* Line) {
    std::memcpy(GetRow(y), Line, 3 * static_cast<std::size_t>(Width));
}

void TbsEffectBmp::Resize(TbsEffectBmp& Dst) const {
    if (!Bits || !Dst.Bits)
        return;
    const double fy = static_cast<double>(Dst.Height - 1) / Height;
    const double fx = static_cast<double>(Dst.Width - 1) / Width;
    const int BlockW = RoundToInt(fx) + 1;
    const int BlockH = RoundToInt(fy) + 1;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const std::uint32_t P = GetPixel(x, y);
            const int DX = RoundToInt(fx * x);
            const int DY = RoundToInt(fy * y);
            for (int j = 0; j < BlockH; ++j)
                for (int i = 0; i < BlockW; ++i)
                    if (DX + i >= 0 && DX + i < Dst.Width && DY + j >= 0 && DY + j < Dst.Height)
                        Dst.SetPixel(DX + i, DY + j, P);
        }
}

void TbsEffectBmp::CopyRect(const TbsEffectBmp& BMP, const TRect& Rct, int StartX, int StartY) {
    if (!Bits || !BMP.Bits)
        return;
    const int XEnd = std::min(Rct.Right, Width - 1);
    const int YEnd = std::min(Rct.Bottom, Height - 1);
    for (int y = Rct.Top; y <= YEnd; ++y)
        for (int x = Rct.Left; x <= XEnd; ++x) {
            const int SX = StartX + x - Rct.Left;
            const int SY = StartY + y - Rct.Top;
            if (x < 0 || y < 0 || SX < 0 || SY < 0 || SX >= BMP.Width || SY >= BMP.Height)
                continue;
            SetPixel(x, y, BMP.GetPixel(SX, SY));
        }
}

void TbsEffectBmp::Morph(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    if (!(Kf >= 0))
        Kf = 0;
    else if (Kf > 1)
        Kf = 1;
    std::vector<std::uint8_t> Line(3 * static_cast<std::size_t>(Width));
    for (int y = 0; y < Height; ++y) {
        GetScanLine(y, Line.data());
        const std::uint8_t* Other = BMP.GetRow(y);
        for (int x = 0; x < Width; ++x)
            MixPixel(&Line[3 * x], Other + 3 * x, 1 - Kf);
        SetScanLine(y, Line.data());
    }
}

void TbsEffectBmp::MorphRect(const TbsEffectBmp& BMP, double Kf, const TRect& Rct, int StartX, int StartY) {
    if (!Bits || !BMP.Bits)
        return;
    if (!(Kf >= 0))
        Kf = 0;
    else if (Kf > 1)
        Kf = 1;
    const int DX = StartX - Rct.Left;
    const int DY = StartY - Rct.Top;
    for (int y = std::max(Rct.Top, 0); y < std::min(Rct.Bottom, Height); ++y) {
        if (y + DY < 0 || y + DY >= BMP.Height)
            continue;
        for (int x = std::max(Rct.Left, 0); x < std::min(Rct.Right, Width); ++x) {
            if (x + DX < 0 || x + DX >= BMP.Width)
                continue;
            MixPixel(GetRow(y) + 3 * x, BMP.GetRow(y + DY) + 3 * (x + DX), 1 - Kf);
        }
    }
}

void TbsEffectBmp::MorphHGrad(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int W = Width;
    const int b = RoundToInt(W * Kf);
    const int c = (W - b) / 2;
    const double Step = c != 0 ? 1.0 / c : 1.0;
    // A factor outside 0..1 must not move the band's edges out of the image.
    const int L = Clip(W / 2 - b / 2, 0, W - 1);
    const int R = Clip(W / 2 + b / 2, 0, W - 1);
    std::vector<std::uint8_t> Line(3 * static_cast<std::size_t>(W));
    for (int y = 0; y < Height; ++y) {
        GetScanLine(y, Line.data());
        const std::uint8_t* Other = BMP.GetRow(y);
        for (int x = L; x <= R; ++x)
            std::memcpy(&Line[3 * x], Other + 3 * x, 3);
        double t = 0;
        for (int x = L; x >= 0; --x) {
            MixPixel(&Line[3 * x], Other + 3 * x, t);
            t = std::min(1.0, t + Step);
        }
        t = 0;
        for (int x = R; x <= W - 1; ++x) {
            MixPixel(&Line[3 * x], Other + 3 * x, t);
            t = std::min(1.0, t + Step);
        }
        SetScanLine(y, Line.data());
    }
}

void TbsEffectBmp::MorphVGrad(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int H = Height;
    const int b = RoundToInt(H * Kf);
    const int c = (H - 1 - b) / 2;
    const double Step = c != 0 ? 1.0 / c : 0.0;
    const int T = Clip(H / 2 - b / 2, 0, H - 1);
    const int B = Clip(H / 2 + b / 2, 0, H - 1);
    std::vector<std::uint8_t> Line(3 * static_cast<std::size_t>(Width));
    auto MixRow = [&](int y, double t) {
        GetScanLine(y, Line.data());
        const std::uint8_t* Other = BMP.GetRow(y);
        for (int x = 0; x < Width; ++x)
            MixPixel(&Line[3 * x], Other + 3 * x, t);
        SetScanLine(y, Line.data());
    };
    for (int y = T; y <= B; ++y)
        SetScanLine(y, BMP.GetRow(y));
    double t = 0;
    for (int y = T; y >= 0; --y) {
        MixRow(y, t);
        t = std::min(1.0, t + Step);
    }
    t = 0;
    for (int y = B; y <= H - 1; ++y) {
        MixRow(y, t);
        t = std::min(1.0, t + Step);
    }
}

void TbsEffectBmp::MorphGrad(const TbsEffectBmp& BMP, double Kf) {
    if (Width < Height)
        MorphVGrad(BMP, Kf);
    else
        MorphHGrad(BMP, Kf);
}

void TbsEffectBmp::MorphLeftGrad(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int W = Width;
    const int b = std::min(std::max(RoundToInt(W * Kf), 1), W - 1);
    const double Step = b > 0 ? 1.0 / b : 1.0;
    std::vector<std::uint8_t> Line(3 * static_cast<std::size_t>(W));
    for (int y = 0; y < Height; ++y) {
        GetScanLine(y, Line.data());
        const std::uint8_t* Other = BMP.GetRow(y);
        double t = 0;
        for (int x = 0; x <= b; ++x) {
            MixPixel(&Line[3 * x], Other + 3 * x, t);
            t = std::min(1.0, t + Step);
        }
        SetScanLine(y, Line.data());
    }
}

void TbsEffectBmp::MorphRightGrad(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int W = Width;
    const int c = std::min(std::max(W - RoundToInt(W * Kf), 0), W - 1);
    const double Step = W - c > 0 ? 1.0 / (W - c) : 1.0;
    std::vector<std::uint8_t> Line(3 * static_cast<std::size_t>(W));
    for (int y = 0; y < Height; ++y) {
        GetScanLine(y, Line.data());
        const std::uint8_t* Other = BMP.GetRow(y);
        double t = 0;
        for (int x = W - 1; x >= c; --x) {
            MixPixel(&Line[3 * x], Other + 3 * x, t);
            t = std::min(1.0, t + Step);
        }
        SetScanLine(y, Line.data());
    }
}

// The other face slides in over this one: from the left its last b columns cover this face's first ones,
// from the right its first b columns cover this face's last ones.
void TbsEffectBmp::MorphSlide(const TbsEffectBmp& BMP, double Kf, bool FromLeft) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int W = Width;
    const int b = std::min(std::max(RoundToInt(W * Kf), 1), W - 1);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        const std::uint8_t* Other = BMP.GetRow(y);
        int j = std::max(0, W - 1 - b);
        for (int k = 0; k <= b - 1; ++k) {
            j = std::min(j + 1, W - 1);
            if (FromLeft)
                std::memcpy(Row + 3 * k, Other + 3 * j, 3);
            else
                std::memcpy(Row + 3 * j, Other + 3 * k, 3);
        }
    }
}

void TbsEffectBmp::MorphLeftSlide(const TbsEffectBmp& BMP, double Kf) {
    MorphSlide(BMP, Kf, true);
}

void TbsEffectBmp::MorphRightSlide(const TbsEffectBmp& BMP, double Kf) {
    MorphSlide(BMP, Kf, false);
}

void TbsEffectBmp::MorphPush(const TbsEffectBmp& BMP, double Kf) {
    if (!SameSize(BMP) || !Bits)
        return;
    const int W = Width;
    int b = RoundToInt(W * Kf);
    b = b < 0 ? 0 : std::min(b, W - 1);
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        const std::uint8_t* Other = BMP.GetRow(y);
        for (int x = W - 1; x >= b; --x)
            std::memmove(Row + 3 * x, Row + 3 * std::max(0, x - b - 1), 3);
        for (int k = 0; k <= b; ++k) {
            const int j = std::min(std::max(0, W - b - 1) + k, W - 1);
            std::memcpy(Row + 3 * k, Other + 3 * j, 3);
        }
    }
}

void TbsEffectBmp::MorphByKind(TbsMorphKind Kind, const TbsEffectBmp& BMP, double Kf) {
    switch (Kind) {
    case mkDefault:
        Morph(BMP, Kf);
        break;
    case mkGradient:
        MorphGrad(BMP, Kf);
        break;
    case mkLeftGradient:
        MorphLeftGrad(BMP, Kf);
        break;
    case mkRightGradient:
        MorphRightGrad(BMP, Kf);
        break;
    case mkLeftSlide:
        MorphLeftSlide(BMP, Kf);
        break;
    case mkRightSlide:
        MorphRightSlide(BMP, Kf);
        break;
    case mkPush:
        MorphPush(BMP, Kf);
        break;
    }
}

void TbsEffectBmp::ChangeBrightness(double Kf) {
    Kf = !(Kf >= 0) ? 0 : Kf > 1 ? 1 : Kf;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        for (int i = 0; i < 3 * Width; ++i)
            Row[i] = ClampChannel(RoundToInt((1 - Kf) * Row[i] + Kf * 255));
    }
}

void TbsEffectBmp::ChangeDarkness(double Kf) {
    Kf = !(Kf >= 0) ? 0 : Kf > 1 ? 1 : Kf;
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        for (int i = 0; i < 3 * Width; ++i)
            Row[i] = ClampChannel(RoundToInt((1 - Kf) * Row[i]));
    }
}

void TbsEffectBmp::Invert() {
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        for (int i = 0; i < 3 * Width; ++i)
            Row[i] = static_cast<std::uint8_t>(255 - Row[i]);
    }
}

void TbsEffectBmp::GrayScale() {
    for (int y = 0; y < Height; ++y) {
        std::uint8_t* Row = GetRow(y);
        for (int x = 0; x < Width; ++x) {
            std::uint8_t* P = Row + 3 * x;
            const std::uint8_t G = ClampChannel(RoundToInt(0.3 * P[2] + 0.59 * P[1] + 0.11 * P[0]));
            P[0] = P[1] = P[2] = G;
        }
    }
}

// Neighbour rows and columns of the four-point blurs. The fallback for an index past the far edge is the
// mirrored position; where even that lies outside the image (or the amount is negative) the index is kept
// inside, so no row outside the image is ever read.
static int NearIndex(int V, int Amount, int Limit) {
    const int Lo = V - Amount >= 0 ? V - Amount : V;
    return Clip(Lo, 0, Limit - 1);
}

static int FarIndex(int V, int Amount, int Limit, int Fallback) {
    const int Hi = V + Amount < Limit ? V + Amount : Fallback;
    return Clip(Hi, 0, Limit - 1);
}

void TbsEffectBmp::SplitBlur(int Amount) {
    if (Amount == 0 || !Bits)
        return;
    const int W = Width, H = Height;
    for (int y = 0; y < H; ++y) {
        const int Up = NearIndex(y, Amount, H);
        const int Down = FarIndex(y, Amount, H, H - y);
        for (int x = 0; x < W; ++x) {
            const int Left = NearIndex(x, Amount, W);
            const int Right = FarIndex(x, Amount, W, W - x);
            const std::uint8_t* P1 = GetRow(Up) + 3 * Left;
            const std::uint8_t* P2 = GetRow(Down) + 3 * Left;
            const std::uint8_t* P3 = GetRow(Up) + 3 * Right;
            const std::uint8_t* P4 = GetRow(Down) + 3 * Right;
            std::uint8_t* P = GetRow(y) + 3 * x;
            for (int C = 0; C < 3; ++C)
                P[C] = static_cast<std::uint8_t>((P1[C] + P2[C] + P3[C] + P4[C]) >> 2);
        }
    }
}

void TbsEffectBmp::MaskFilter(const TbsEffectBmp& Msk, int Amount, bool EdgesOnly) {
    if (Amount == 0 || Width == 0 || Height == 0 || !Bits || !Msk.Bits || Msk.Width != Width || Msk.Height < Height)
        return;
    const int W = Width, H = Height;
    auto IsWhite = [&](int x, int y) { return (Msk.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF; };
    for (int y = 0; y < H; ++y) {
        const int Up = NearIndex(y, Amount, H);
        const int Down = FarIndex(y, Amount, H, H - y);
        const int MUp = NearIndex(y, Amount, Msk.Height);
        const int MDown = FarIndex(y, Amount, Msk.Height, H - y);
        for (int x = 0; x < W; ++x) {
            if (IsWhite(x, y))
                continue;
            const int Left = NearIndex(x, Amount, W);
            const int Right = FarIndex(x, Amount, W, W - x);
            if (EdgesOnly && !IsWhite(Left, MUp) && !IsWhite(Left, MDown) && !IsWhite(Right, MUp) &&
                !IsWhite(Right, MDown))
                continue;
            const std::uint8_t* P1 = GetRow(Up) + 3 * Left;
            const std::uint8_t* P2 = GetRow(Down) + 3 * Left;
            const std::uint8_t* P3 = GetRow(Up) + 3 * Right;
            const std::uint8_t* P4 = GetRow(Down) + 3 * Right;
            std::uint8_t* P = GetRow(y) + 3 * x;
            for (int C = 0; C < 3; ++C)
                P[C] = static_cast<std::uint8_t>((P1[C] + P2[C] + P3[C] + P4[C]) >> 2);
        }
    }
}

void TbsEffectBmp::MaskAntialiasing(const TbsEffectBmp& Msk, int Amount) {
    MaskFilter(Msk, Amount, true);
}

void TbsEffectBmp::MaskBlur(const TbsEffectBmp& Msk, int Amount) {
    MaskFilter(Msk, Amount, false);
}

void TbsEffectBmp::MaskFillColor(const TbsEffectBmp& Msk, std::uint32_t C, double kf) {
    if (!Bits || !Msk.Bits || Msk.Width < Width || Msk.Height < Height)
        return;
    // The platform colour holds red in its low byte; pixel bytes are blue, green, red.
    const int Channel[3] = {static_cast<int>((C >> 16) & 0xFF), static_cast<int>((C >> 8) & 0xFF),
                            static_cast<int>(C & 0xFF)};
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            if ((Msk.GetPixel(x, y) & 0xFFFFFF) == 0xFFFFFF)
                continue;
            std::uint8_t* P = GetRow(y) + 3 * x;
            for (int i = 0; i < 3; ++i)
                P[i] = ClampChannel(RoundToInt((1 - kf) * P[i] + kf * Channel[i]));
        }
}

void TbsEffectBmp::Mosaic(int ASize) {
    if (ASize <= 0 || !Bits)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            SetPixel(x, y, GetPixel(x - x % ASize, y - y % ASize));
}

void TbsEffectBmp::AddMonoNoise(int Amount) {
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int n = Random(Amount) - Amount / 2;
            std::uint8_t* P = GetRow(y) + 3 * x;
            for (int C = 0; C < 3; ++C)
                P[C] = ClampChannel(P[C] + n);
        }
}

void TbsEffectBmp::AddColorNoise(int Amount) {
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            std::uint8_t* P = GetRow(y) + 3 * x;
            // Red first, then green, then blue.
            for (int C = 2; C >= 0; --C)
                P[C] = ClampChannel(P[C] + Random(Amount) - Amount / 2);
        }
}

void TbsEffectBmp::Rotate90_1(TbsEffectBmp& Dst) const {
    if (Dst.Width != Height || Dst.Height != Width || !Bits)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst.SetPixel(y, Width - 1 - x, GetPixel(x, y));
}

void TbsEffectBmp::Rotate90_2(TbsEffectBmp& Dst) const {
    if (Dst.Width != Height || Dst.Height != Width || !Bits)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst.SetPixel(Height - 1 - y, x, GetPixel(x, y));
}

void TbsEffectBmp::FlipVert(TbsEffectBmp& Dst) const {
    if (!SameSize(Dst) || !Bits)
        return;
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x)
            Dst.SetPixel(x, Height - 1 - y, GetPixel(x, y));
}

void TbsEffectBmp::Wave(int XDIV, int YDIV, int RatioVal) {
    if (XDIV == 0 || YDIV == 0 || !Bits)
        return;
    std::vector<std::uint8_t> Copy(static_cast<const std::uint8_t*>(Bits),
                                   static_cast<const std::uint8_t*>(Bits) + Size);
    for (int y = 0; y < Height; ++y)
        for (int x = 0; x < Width; ++x) {
            const int sx = Clip(RoundToInt(std::sin(static_cast<double>(y) / YDIV) * RatioVal + x), 0, Width - 1);
            const int sy = Clip(RoundToInt(std::sin(static_cast<double>(x) / XDIV) * RatioVal + y), 0, Height - 1);
            std::memcpy(GetRow(y) + 3 * x, Copy.data() + static_cast<std::ptrdiff_t>(sy) * RowLength + 3 * sx, 3);
        }
}

void TbsEffectBmp::ApplyInActiveEffect(TbsInActiveEffect Effect) {
    switch (Effect) {
    case ieBrightness:
        ChangeBrightness(0.5);
        break;
    case ieDarkness:
        ChangeDarkness(0.3);
        break;
    case ieGrayScale:
        GrayScale();
        break;
    case ieNoise:
        AddMonoNoise(50);
        break;
    case ieSplitBlur:
        SplitBlur(1);
        break;
    case ieInvert:
        Invert();
        break;
    }
}
