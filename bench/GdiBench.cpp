// Drawing layer speed on a 1920 x 1080 surface: one iteration is one frame.
#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

struct Surface {
    HDC DC;
    HBITMAP Bmp;
    HGDIOBJ Old;
    std::uint32_t* Bits = nullptr;
    Surface(int w, int h) {
        BITMAPINFO bi{};
        bi.bmiHeader.biWidth = w;
        bi.bmiHeader.biHeight = -h;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        Bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        Bits = static_cast<std::uint32_t*>(bits);
        DC = CreateCompatibleDC(nullptr);
        Old = SelectObject(DC, Bmp);
        for (int i = 0; i < w * h; ++i)
            Bits[i] = 0x80000000u | std::uint32_t(i * 2654435761u >> 8);
    }
    ~Surface() {
        SelectObject(DC, Old);
        DeleteDC(DC);
        DeleteObject(Bmp);
    }
};

void FrameRate(benchmark::State& state) {
    state.counters["frames/s"] = benchmark::Counter(double(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_StretchBltVideoFrameUp(benchmark::State& state) {
    Surface dst(1920, 1080), src(960, 540);
    SetStretchBltMode(dst.DC, COLORONCOLOR);
    for (auto _ : state)
        StretchBlt(dst.DC, 0, 0, 1920, 1080, src.DC, 0, 0, 960, 540, SRCCOPY);
    FrameRate(state);
}
BENCHMARK(BM_StretchBltVideoFrameUp)->Unit(benchmark::kMillisecond);

void BM_BitBltFullFrame(benchmark::State& state) {
    Surface dst(1920, 1080), src(1920, 1080);
    for (auto _ : state)
        BitBlt(dst.DC, 0, 0, 1920, 1080, src.DC, 0, 0, SRCCOPY);
    FrameRate(state);
}
BENCHMARK(BM_BitBltFullFrame)->Unit(benchmark::kMillisecond);

void BM_AlphaBlendFullFramePremultiplied(benchmark::State& state) {
    Surface dst(1920, 1080), src(1920, 1080);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
    for (auto _ : state)
        AlphaBlend(dst.DC, 0, 0, 1920, 1080, src.DC, 0, 0, 1920, 1080, bf);
    FrameRate(state);
}
BENCHMARK(BM_AlphaBlendFullFramePremultiplied)->Unit(benchmark::kMillisecond);

void BM_AlphaBlendConstantAlpha(benchmark::State& state) {
    Surface dst(1920, 1080), src(1920, 1080);
    BLENDFUNCTION bf{AC_SRC_OVER, 0, 160, 0};
    for (auto _ : state)
        AlphaBlend(dst.DC, 0, 0, 1920, 1080, src.DC, 0, 0, 1920, 1080, bf);
    FrameRate(state);
}
BENCHMARK(BM_AlphaBlendConstantAlpha)->Unit(benchmark::kMillisecond);

// A frame full of word-wrapped Latin and Chinese text.
void BM_DrawTextFullFrame(benchmark::State& state) {
    Surface dst(1920, 1080);
    HFONT font = CreateFontW(-13, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, u"Tahoma");
    HGDIOBJ old = SelectObject(dst.DC, font);
    SetBkMode(dst.DC, TRANSPARENT);
    std::u16string text;
    for (int i = 0; i < 400; ++i)
        text += u"Converting clip-0001.avi to MP4 视频转换器正在转换文件 ";
    for (auto _ : state) {
        RECT r{0, 0, 1920, 1080};
        DrawTextW(dst.DC, text.c_str(), int(text.size()), &r, DT_WORDBREAK | DT_NOPREFIX);
    }
    FrameRate(state);
    SelectObject(dst.DC, old);
    DeleteObject(font);
}
BENCHMARK(BM_DrawTextFullFrame)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
