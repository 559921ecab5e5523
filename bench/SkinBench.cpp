// Speed of the skin faces every skinned control repaints from: nine-part composition at form size (tiled and
// stretched), the window region of a masked frame, and a glowing caption.
#include <benchmark/benchmark.h>

#include <memory>

#include "skin/core/bsBlur.h"
#include "skin/core/bsUtils.h"

namespace {

// A 64 x 64 face with a frame of 8 and a textured client, and a mask with rounded corners.
std::unique_ptr<TBitmap> MakeFace(bool Mask) {
    auto B = std::make_unique<TBitmap>();
    B->SetPixelFormat(pf32bit);
    B->SetSize(64, 64);
    for (int Y = 0; Y < 64; ++Y) {
        auto* Row = static_cast<std::uint32_t*>(B->ScanLine(Y));
        for (int X = 0; X < 64; ++X) {
            const bool Corner = (X < 3 || X > 60) && (Y < 3 || Y > 60);
            Row[X] =
                Mask ? (Corner ? 0xFFFFFFu : 0u) : (std::uint32_t(X * 4) << 16) | (std::uint32_t(Y * 4) << 8) | 0x80;
        }
    }
    return B;
}

void NinePart(benchmark::State& State, bool Stretch) {
    auto Face = MakeFace(false);
    TBitmap Dest;
    const int W = 800, H = 600;
    for (auto _ : State) {
        DrawNinePartSkinImage(TPoint{8, 8}, TPoint{56, 8}, TPoint{8, 56}, TPoint{56, 56}, TRect{8, 8, 56, 56},
                              TPoint{8, 8}, TPoint{W - 8, 8}, TPoint{8, H - 8}, TPoint{W - 8, H - 8},
                              TRect{8, 8, W - 8, H - 8}, &Dest, Face.get(), TRect{0, 0, 64, 64}, W, H, true, Stretch,
                              Stretch, Stretch, Stretch, Stretch, bsstFull);
        benchmark::DoNotOptimize(Dest.Handle());
    }
    State.SetItemsProcessed(State.iterations() * W * H);
}

void BM_NinePartTiled800x600(benchmark::State& State) {
    NinePart(State, false);
}
void BM_NinePartStretched800x600(benchmark::State& State) {
    NinePart(State, true);
}

void BM_SkinRegion800x600(benchmark::State& State) {
    auto Mask = MakeFace(true);
    for (auto _ : State) {
        HRGN Rgn = nullptr;
        CreateSkinRegion(Rgn, TPoint{8, 8}, TPoint{56, 8}, TPoint{8, 56}, TPoint{56, 56}, TRect{8, 8, 56, 56},
                         TPoint{8, 8}, TPoint{792, 8}, TPoint{8, 592}, TPoint{792, 592}, TRect{8, 8, 792, 592},
                         Mask.get(), 800, 600);
        DeleteObject(Rgn);
    }
}

void BM_GlowCaption(benchmark::State& State) {
    TBitmap Target;
    Target.SetPixelFormat(pf32bit);
    Target.SetSize(300, 40);
    for (auto _ : State)
        DrawGlowText(Target.Canvas(), TRect{10, 10, 290, 30}, u"木星战甲 Converter", 6, clAqua, 0, DT_LEFT);
}

} // namespace

BENCHMARK(BM_NinePartTiled800x600)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_NinePartStretched800x600)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_SkinRegion800x600)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_GlowCaption)->Unit(benchmark::kMicrosecond);
BENCHMARK_MAIN();
