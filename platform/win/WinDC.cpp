// Device contexts of windows, window regions and layered windows.
#include "platform/win/WinInternal.h"

namespace winimpl {

HDC MakeWindowDC(TWnd* W, bool WholeWindow, const RECT* ClipClient) { return nullptr; }
void FreeWindowDC(HDC Dc) {}
void WindowPainted(TWnd* W) {
    if (S().Backend)
        S().Backend->TopLevelChanged(TopLevelOf(W));
}
bool RegionBox(HRGN Rgn, RECT* Box) { return false; }
bool RegionContains(TWnd* W, POINT WindowPt) { return true; }
bool LayerHit(TWnd* W, POINT WindowPt) { return true; }
void PaintDefaultFrame(TWnd* W, HRGN Clip) {}
BOOL EraseDefaultBackground(TWnd* W, HDC Dc) { return W->Class && W->Class->Background ? 1 : 0; }
void FreePaintData(TWnd* W) {}

} // namespace winimpl

using namespace winimpl;

HDC GetDC(HWND hWnd) { return nullptr; }
HDC GetDCEx(HWND hWnd, HRGN, DWORD) { return nullptr; }
HDC GetWindowDC(HWND hWnd) { return nullptr; }
int ReleaseDC(HWND, HDC) { return 1; }
HWND WindowFromDC(HDC) { return nullptr; }
BOOL InvalidateRgn(HWND hWnd, HRGN, BOOL bErase) { return InvalidateRect(hWnd, nullptr, bErase); }
BOOL ValidateRgn(HWND hWnd, HRGN) { return ValidateRect(hWnd, nullptr); }
int GetUpdateRgn(HWND, HRGN, BOOL) { return 0; }
int SetWindowRgn(HWND, HRGN, BOOL) { return 1; }
int GetWindowRgn(HWND, HRGN) { return 0; }

BOOL SetLayeredWindowAttributes(HWND hWnd, COLORREF Key, BYTE Alpha, DWORD Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !(W->ExStyle & WS_EX_LAYERED))
        return 0;
    W->LayerMode = TLayerMode::Attributes;
    W->LayerKey = Key;
    W->LayerAlpha = Alpha;
    W->LayerFlags = Flags;
    if (S().Backend)
        S().Backend->TopLevelChanged(TopLevelOf(W));
    return 1;
}

BOOL GetLayeredWindowAttributes(HWND hWnd, COLORREF* Key, BYTE* Alpha, DWORD* Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || W->LayerMode != TLayerMode::Attributes)
        return 0;
    if (Key)
        *Key = W->LayerKey;
    if (Alpha)
        *Alpha = W->LayerAlpha;
    if (Flags)
        *Flags = W->LayerFlags;
    return 1;
}

void* GetUserProcAddress(const char* Name) { return nullptr; }
