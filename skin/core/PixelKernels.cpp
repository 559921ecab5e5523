#include "skin/core/PixelKernels.h"

#include "skin/core/bsUtils.h"

TbsPixelKernels PixelKernels;

TbsColor BlendPixel(TbsColor Src, TbsColor Dst) {
    const std::uint32_t A = Src >> 24;
    if (A == 255)
        return Src;
    if (A == 0)
        return Dst;
    const std::uint32_t NA = 255 - A;
    // Red and blue share one product, green has its own; no channel sum exceeds 65025.
    const std::uint32_t RB = ((Src & 0x00FF00FF) * A + (Dst & 0x00FF00FF) * NA) >> 8;
    const std::uint32_t G = ((Src & 0x0000FF00) >> 8) * A + ((Dst & 0x0000FF00) >> 8) * NA;
    return 0xFF000000u | (RB & 0x00FF00FF) | ((G >> 8) << 8);
}

TbsColor BlendPixelMMX(TbsColor Src, TbsColor Dst) {
    const std::uint32_t A = Src >> 24;
    TbsColor Result = 0;
    for (int Shift = 0; Shift < 32; Shift += 8) {
        const std::uint32_t S = (Src >> Shift) & 0xFF;
        const std::uint32_t D = (Dst >> Shift) & 0xFF;
        Result |= (((D * (256 - A) + S * A) >> 8) & 0xFF) << Shift;
    }
    return Result;
}

void BlendRow(const TbsColor* Src, TbsColor* Dst, int Count) {
    for (int I = 0; I < Count; ++I) {
        const std::uint32_t A = Src[I] >> 24;
        if (A == 0)
            continue;
        Dst[I] = A == 255 ? Src[I] : BlendPixel(Src[I], Dst[I]);
    }
}

void BlendRowMMX(const TbsColor* Src, TbsColor* Dst, int Count) {
    for (int I = 0; I < Count; ++I) {
        const std::uint32_t A = Src[I] >> 24;
        if (A == 0)
            continue;
        Dst[I] = A == 255 ? Src[I] : BlendPixelMMX(Src[I], Dst[I]);
    }
}

void TransparentCopyRow(const TbsColor* Src, TbsColor* Dst, int Count) {
    for (int I = 0; I < Count; ++I)
        if (!IsKeyPixel(Src[I]))
            Dst[I] = Src[I] | 0xFF000000u;
}

int CopyRow(const TbsColor* Src, TbsColor* Dst, int Count) {
    if (Src != Dst)
        for (int I = 0; I < Count; ++I)
            Dst[I] = Src[I];
    return Count;
}

void FillRow(TbsColor* Dst, int Count, TbsColor Value) {
    for (int I = 0; I < Count; ++I)
        Dst[I] = Value;
}

void FillRectPixels(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2, TbsColor Value) {
    if (X2 < X1 || Y2 < Y1)
        return;
    for (int Y = Y1; Y <= Y2; ++Y)
        FillRow(Bits + static_cast<std::ptrdiff_t>(Y) * Width + X1, X2 - X1 + 1, Value);
}

void SetAlphaRow(TbsColor* Dst, int Count, std::uint8_t Alpha) {
    const TbsColor A = static_cast<TbsColor>(Alpha) << 24;
    for (int I = 0; I < Count; ++I)
        Dst[I] = (Dst[I] & 0x00FFFFFF) | A;
}

void SetAlphaRect(TbsColor* Bits, int Width, int Height, int X1, int Y1, int X2, int Y2, std::uint8_t Alpha) {
    if (X2 < X1 || Y2 < Y1)
        return;
    for (int Y = Y1; Y <= Y2; ++Y)
        SetAlphaRow(Bits + static_cast<std::ptrdiff_t>(Y) * Width + X1, X2 - X1 + 1, Alpha);
}

void ClearAlphaOfColor(TbsColor* Dst, int Count, TbsColor Color) {
    for (int I = 0; I < Count; ++I)
        if ((Dst[I] & 0x00FFFFFF) == (Color & 0x00FFFFFF))
            Dst[I] &= 0x00FFFFFF;
}

void ClampRGB(int& R, int& G, int& B) {
    auto Clamp = [](int& V) {
        if (V >= 256)
            V = 255;
        else if (V < 0)
            V = 0;
    };
    Clamp(R);
    Clamp(G);
    Clamp(B);
}

TbsColor ColorToBsColor(std::uint32_t Color) {
    return 0xFF000000u | ((Color & 0xFF) << 16) | (Color & 0xFF00) | ((Color >> 16) & 0xFF);
}

void SelectBlendKernels(bool UseMMX) {
    PixelKernels.BlendPixel = UseMMX ? BlendPixelMMX : BlendPixel;
    PixelKernels.BlendRow = UseMMX ? BlendRowMMX : BlendRow;
}

void InitPixelKernels() {
    static bool Started = false;
    if (Started)
        return;
    Started = true;
    SelectBlendKernels(CPUHasMMX());
}
