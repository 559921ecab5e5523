// Composing a 1920x1080 screen of overlapping windows, per frame: opaque windows, a shaped one, a
// constant-alpha one and a per-pixel layered one, with drop shadows.
#include "platform/win/WinExtras.h"
#include "platform/win/Windows.h"

#include <benchmark/benchmark.h>

namespace {

LRESULT Fill(HWND h, UINT M, WPARAM W, LPARAM L) {
    if (M == WM_PAINT) {
        PAINTSTRUCT Ps;
        HDC Dc = BeginPaint(h, &Ps);
        RECT R;
        GetClientRect(h, &R);
        HBRUSH B = CreateSolidBrush(COLORREF(GetWindowLongPtrW(h, GWLP_USERDATA)));
        FillRect(Dc, &R, B);
        DeleteObject(B);
        EndPaint(h, &Ps);
        return 0;
    }
    return DefWindowProcW(h, M, W, L);
}

void Scene() {
    ResetWindowManager();
    WNDCLASSEXW K;
    K.lpszClassName = u"BenchFill";
    K.lpfnWndProc = &Fill;
    K.style = CS_DROPSHADOW;
    RegisterClassExW(&K);
    for (int I = 0; I < 12; ++I) {
        HWND h = CreateWindowExW(0, u"BenchFill", u"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 60 * I, 40 * I, 900, 600,
                                 nullptr, nullptr, nullptr, nullptr);
        SetWindowLongPtrW(h, GWLP_USERDATA, LONG_PTR(RGB(20 * I, 255 - 20 * I, 128)));
        if (I == 3)
            SetWindowRgn(h, CreateRoundRectRgn(0, 0, 900, 600, 80, 80), TRUE);
        if (I == 6) {
            SetWindowLongW(h, GWL_EXSTYLE, LONG(WS_EX_LAYERED));
            SetLayeredWindowAttributes(h, 0, 160, LWA_ALPHA);
        }
    }
    ProcessPendingMessages();
}

void BM_ComposeScreen(benchmark::State& State) {
    Scene();
    RECT Screen{0, 0, 1920, 1080};
    for (auto _ : State) {
        auto Pixels = CaptureScreen(Screen);
        benchmark::DoNotOptimize(Pixels.data());
    }
    State.SetItemsProcessed(State.iterations());
    ResetWindowManager();
}
BENCHMARK(BM_ComposeScreen)->Unit(benchmark::kMillisecond);

void BM_RepaintAndCompose(benchmark::State& State) {
    Scene();
    RECT Screen{0, 0, 1920, 1080};
    for (auto _ : State) {
        RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
        ProcessPendingMessages();
        auto Pixels = CaptureScreen(Screen);
        benchmark::DoNotOptimize(Pixels.data());
    }
    ResetWindowManager();
}
BENCHMARK(BM_RepaintAndCompose)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
