// The headless back-end: the virtual screen composed on demand, and pictures of it or of one window saved
// as PNG.
#include "platform/win/WinInternal.h"

#include <png.h>

#include <cstdio>
#include <vector>

namespace winimpl {

void ComposeInto(DWORD* Dst, const RECT& Clip);

// Writes 0xAARRGGBB pixels as an opaque RGB PNG.
static bool WritePng(const std::string& FileName, const DWORD* Bits, int Width, int Height) {
    if (!Bits || Width <= 0 || Height <= 0)
        return false;
    FILE* F = std::fopen(FileName.c_str(), "wb");
    if (!F)
        return false;
    png_structp Png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop Info = Png ? png_create_info_struct(Png) : nullptr;
    bool Ok = false;
    std::vector<png_byte> Row(std::size_t(Width) * 3);
    if (Png && Info && !setjmp(png_jmpbuf(Png))) {
        png_init_io(Png, F);
        png_set_IHDR(Png, Info, png_uint_32(Width), png_uint_32(Height), 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                     PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
        png_write_info(Png, Info);
        for (int Y = 0; Y < Height; ++Y) {
            const DWORD* Src = Bits + std::size_t(Y) * std::size_t(Width);
            for (int X = 0; X < Width; ++X) {
                Row[std::size_t(X) * 3] = png_byte(Src[X] >> 16);
                Row[std::size_t(X) * 3 + 1] = png_byte(Src[X] >> 8);
                Row[std::size_t(X) * 3 + 2] = png_byte(Src[X]);
            }
            png_write_row(Png, Row.data());
        }
        png_write_end(Png, nullptr);
        Ok = true;
    }
    png_destroy_write_struct(Png ? &Png : nullptr, Info ? &Info : nullptr);
    Ok = (std::fclose(F) == 0) && Ok;
    if (!Ok)
        std::remove(FileName.c_str());
    return Ok;
}

} // namespace winimpl

using namespace winimpl;

std::vector<DWORD> CaptureScreen(const RECT& Area) {
    EnsureGuiThread();
    if (EmptyR(Area))
        return {};
    std::vector<DWORD> Pixels(std::size_t(Area.Right - Area.Left) * std::size_t(Area.Bottom - Area.Top));
    ComposeInto(Pixels.data(), Area);
    return Pixels;
}

bool SaveScreenToPng(const std::string& FileName) {
    RECT Sc = S().Screen;
    return WritePng(FileName, CaptureScreen(Sc).data(), Sc.Right - Sc.Left, Sc.Bottom - Sc.Top);
}

bool SaveWindowToPng(HWND hWnd, const std::string& FileName) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W == DesktopWnd())
        return false;
    // The window as it shows on the screen, with what shows through it, without what lies around it.
    RECT R = ScreenWindowRect(W);
    return WritePng(FileName, CaptureScreen(R).data(), R.Right - R.Left, R.Bottom - R.Top);
}

COLORREF ScreenPixel(int X, int Y) {
    DWORD P = CaptureScreen(RECT{X, Y, X + 1, Y + 1})[0];
    return RGB(BYTE(P >> 16), BYTE(P >> 8), BYTE(P));
}
