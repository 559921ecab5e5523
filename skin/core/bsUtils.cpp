#include "skin/core/bsUtils.h"

#include "platform/base/SysUtils.h"
#include "skin/core/bseffects.h"

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#include <mmintrin.h>
#endif

// ---- process-wide entries ----

bool CPUHasMMX() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned A = 0, B = 0, C = 0, D = 0;
    if (!__get_cpuid(1, &A, &B, &C, &D))
        return false;
    return ((A >> 8) & 0xF) >= 5 && (D & (1u << 23)) != 0;
#else
    return false;
#endif
}

void EmmsIfMMX() {
#if defined(__x86_64__) || defined(__i386__)
    static const bool HasMMX = CPUHasMMX();
    if (HasMMX)
        _mm_empty();
#endif
}

namespace {

bool TransparentBltBound = false;
TbsUserEntries Entries;

template <class F> void Bind(F& Entry, const char* Name) {
    Entry = reinterpret_cast<F>(GetUserProcAddress(Name));
}

} // namespace

// The unit's start: the kernels choose their forms first (so keyed drawing never takes TransparentBlt, which is
// bound only afterwards), then the optional entries are looked up by name.
TbsUserEntries& UserEntries() {
    static const bool Started = [] {
        InitPixelKernels();
        InitBlitKernels();
        BindUserEntries();
        LoadTransparentBlt();
        return true;
    }();
    (void)Started;
    return Entries;
}

void BindUserEntries() {
    Bind(Entries.MonitorFromWindow, "MonitorFromWindow");
    Bind(Entries.GetMonitorInfo, "GetMonitorInfoW");
    Bind(Entries.GetScrollBarInfo, "GetScrollBarInfo");
    Bind(Entries.SetLayeredWindowAttributes, "SetLayeredWindowAttributes");
    Bind(Entries.UpdateLayeredWindow, "UpdateLayeredWindow");
}

bool HasTransparentBlt() {
    return TransparentBltBound;
}

void SetHasTransparentBlt(bool Value) {
    TransparentBltBound = Value;
}

// The drawing layer always has TransparentBlt; the flag says it has been bound.
void LoadTransparentBlt() {
    if (IsWindows2000OrLater())
        TransparentBltBound = true;
}

void GetWindowsVersion(int& Major, int& Minor) {
    const DWORD V = GetVersion();
    Major = V & 0xFF;
    Minor = (V >> 8) & 0xFF;
}

bool IsWindowsXPOrLater(int Major, int Minor) {
    return Major > 5 || (Major == 5 && Minor == 1);
}

bool IsWindows2000OrLater(int Major, int Minor) {
    return Major > 5 || (Major == 5 && Minor >= 0 && Minor <= 2);
}

bool IsWindowsVistaOrLater() {
    int Major = 0, Minor = 0;
    GetWindowsVersion(Major, Minor);
    return Major > 5;
}

bool IsWindowsXPOrLater() {
    int Major = 0, Minor = 0;
    GetWindowsVersion(Major, Minor);
    return IsWindowsXPOrLater(Major, Minor);
}

bool IsWindows2000OrLater() {
    int Major = 0, Minor = 0;
    GetWindowsVersion(Major, Minor);
    return IsWindows2000OrLater(Major, Minor);
}

bool HasMultipleMonitors() {
    return GetSystemMetrics(SM_CMONITORS) > 1 && UserEntries().GetMonitorInfo != nullptr;
}

void GetDesktopWorkArea(bool WorkArea, TRect& R) {
    if (WorkArea)
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &R, 0);
    else
        R = TRect{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void GetMonitorWorkArea(HWND Wnd, bool WorkArea, TRect& R) {
    if (!HasMultipleMonitors() || !UserEntries().MonitorFromWindow) {
        GetDesktopWorkArea(WorkArea, R);
        return;
    }
    HMONITOR Monitor = UserEntries().MonitorFromWindow(Wnd, MONITOR_DEFAULTTONEAREST);
    MONITORINFO Info;
    Info.cbSize = 40;
    if (!UserEntries().GetMonitorInfo(Monitor, &Info))
        return;
    R = WorkArea ? Info.rcWork : Info.rcMonitor;
}

void SetLayeredWindowAlpha(HWND Wnd, BYTE Alpha) {
    if (UserEntries().SetLayeredWindowAttributes)
        UserEntries().SetLayeredWindowAttributes(Wnd, 0, Alpha, LWA_ALPHA);
}

// ---- rectangles ----

bool RectsEqual(const TRect& R1, const TRect& R2) {
    return R1.Left == R2.Left && R1.Top == R2.Top && R1.Right == R2.Right && R1.Bottom == R2.Bottom;
}

void MakeNullRect(TRect& R) {
    R = TRect{0, 0, 0, 0};
}

bool IsNullRect(const TRect& R) {
    return R.Right - R.Left <= 0 || R.Bottom - R.Top <= 0;
}

bool IsNullPoint(const TPoint& P) {
    return P.X == 0 || P.Y == 0;
}

bool PtInRectInclusive(const TRect& R, const TPoint& P) {
    return P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom;
}

namespace {
bool PtIn(const TRect& R, int X, int Y) {
    return X >= R.Left && X < R.Right && Y >= R.Top && Y < R.Bottom;
}
} // namespace

bool RectInRect(const TRect& R1, const TRect& R2) {
    return PtIn(R2, R1.Left, R1.Top) && PtIn(R2, R1.Right, R1.Bottom);
}

bool RectTopOrBottomInRect(const TRect& R1, const TRect& R2) {
    return PtIn(R2, R2.Left + 1, R1.Top) || PtIn(R2, R2.Right - 1, R1.Bottom);
}

// ---- stream texts and tokens ----

void ReadStreamString(TStream* Stream, String& S) {
    const std::int32_t Count = Stream->ReadValue<std::int32_t>();
    // The count comes from a file: never size the text beyond what the stream still holds.
    if (Count < 0 || std::int64_t(Count) * 2 > Stream->Size() - Stream->Position())
        throw EReadError(u"Stream read error");
    S.assign(static_cast<std::size_t>(Count), u'\0');
    Stream->ReadBuffer(S.data(), std::int64_t(Count) * 2);
}

void WriteStreamString(TStream* Stream, const String& S) {
    Stream->WriteValue<std::int32_t>(static_cast<std::int32_t>(S.size()));
    Stream->WriteBuffer(S.data(), std::int64_t(S.size()) * 2);
}

void NextToken(String& S, String& Token) {
    static const String Delimiters = u" (),:;=";
    std::size_t I = 0;
    while (I < S.size() && Delimiters.find(S[I]) == String::npos)
        ++I;
    Token = Trim(S.substr(0, I));
    S = Trim(I < S.size() ? S.substr(I + 1) : String());
}

void StrToRect(const String& S, TRect& R) {
    String Rest = S, Token;
    int V[4];
    for (int& Value : V) {
        NextToken(Rest, Token);
        if (!TryStrToInt(Token, Value)) {
            R = TRect{0, 0, 0, 0};
            return;
        }
    }
    R = TRect{V[0], V[1], V[2], V[3]};
}

TRect StrToRect(const String& S) {
    TRect R;
    StrToRect(S, R);
    return R;
}
