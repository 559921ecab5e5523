#include "skin/core/bsBlur.h"

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
            BlurLine(W, Radius, [&](int X) { return (Row[X] >> Shift) & 0xFF; }, [&](int X, int V) { Plane[X] = V; });
        }
    }
    // The vertical pass filters the truncated horizontal results.
    std::vector<int> Column(static_cast<std::size_t>(H));
    for (int X = 0; X < W; ++X)
        for (int C = 0; C < 3; ++C) {
            const int* Plane = Planes[C].data();
            BlurLine(H, Radius, [&](int Y) { return Plane[static_cast<std::ptrdiff_t>(Y) * W + X]; },
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
