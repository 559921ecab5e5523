// Handle table, drawing objects, bitmaps, device contexts, clipping and region handles.
#include "platform/gdi/GdiInternal.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <unordered_map>

namespace gdi {

namespace {

struct HandleTable {
    std::mutex Lock;
    std::unordered_map<std::uintptr_t, std::shared_ptr<Object>> Objects;
    std::uintptr_t Next = 0x10000;
    int Live = 0;
};

HandleTable& Table() {
    static HandleTable* T = new HandleTable; // lives to the end of the process: handles may be freed at exit
    return *T;
}

struct Stock {
    HGDIOBJ Handles[20] = {};
    std::shared_ptr<Bitmap> DefaultBmp;
    HGDIOBJ DefaultBmpHandle = nullptr;
    HBRUSH SysBrushes[SystemColorCount] = {};
};

HGDIOBJ AddStock(std::shared_ptr<Object> o) {
    o->Stock = true;
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    std::uintptr_t H = T.Next;
    T.Next += 4;
    T.Objects.emplace(H, std::move(o));
    return reinterpret_cast<HGDIOBJ>(H);
}

std::shared_ptr<Brush> SolidBrush(COLORREF c, UINT style = BS_SOLID) {
    auto B = std::make_shared<Brush>();
    B->Style = style;
    B->Color = c;
    return B;
}

std::shared_ptr<Pen> MakePen(int style, int width, COLORREF c) {
    auto P = std::make_shared<Pen>();
    P->Log.lopnStyle = UINT(style);
    P->Log.lopnWidth = {width, 0};
    P->Log.lopnColor = c;
    return P;
}

std::shared_ptr<Font> MakeFont(int height, const char16_t* face) {
    auto F = std::make_shared<Font>();
    F->Log.lfHeight = height;
    for (int I = 0; face[I] && I < LF_FACESIZE - 1; ++I)
        F->Log.lfFaceName[I] = face[I];
    return F;
}

Stock& Stocks() {
    static Stock* S = [] {
        auto* St = new Stock;
        St->Handles[WHITE_BRUSH] = AddStock(SolidBrush(RGB(255, 255, 255)));
        St->Handles[LTGRAY_BRUSH] = AddStock(SolidBrush(RGB(192, 192, 192)));
        St->Handles[GRAY_BRUSH] = AddStock(SolidBrush(RGB(128, 128, 128)));
        St->Handles[DKGRAY_BRUSH] = AddStock(SolidBrush(RGB(64, 64, 64)));
        St->Handles[BLACK_BRUSH] = AddStock(SolidBrush(RGB(0, 0, 0)));
        St->Handles[NULL_BRUSH] = AddStock(SolidBrush(0, BS_NULL));
        St->Handles[WHITE_PEN] = AddStock(MakePen(PS_SOLID, 0, RGB(255, 255, 255)));
        St->Handles[BLACK_PEN] = AddStock(MakePen(PS_SOLID, 0, 0));
        St->Handles[NULL_PEN] = AddStock(MakePen(PS_NULL, 0, 0));
        auto SysFont = MakeFont(-11, u"MS Sans Serif");
        St->Handles[OEM_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        St->Handles[ANSI_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        St->Handles[ANSI_VAR_FONT] = AddStock(MakeFont(-11, u"MS Sans Serif"));
        St->Handles[SYSTEM_FONT] = AddStock(SysFont);
        St->Handles[DEVICE_DEFAULT_FONT] = AddStock(MakeFont(-11, u"MS Sans Serif"));
        St->Handles[DEFAULT_PALETTE] = AddStock(std::make_shared<Palette>());
        St->Handles[SYSTEM_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        St->Handles[DEFAULT_GUI_FONT] = AddStock(MakeFont(-11, u"Tahoma"));
        St->Handles[DC_BRUSH] = AddStock(SolidBrush(RGB(255, 255, 255)));
        St->Handles[DC_PEN] = AddStock(MakePen(PS_SOLID, 0, 0));
        St->DefaultBmp = std::make_shared<Bitmap>();
        St->DefaultBmp->Allocate(1, 1, 1, false);
        St->DefaultBmp->Palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        St->DefaultBmpHandle = AddStock(St->DefaultBmp);
        for (int I = 0; I < SystemColorCount; ++I)
            St->SysBrushes[I] = static_cast<HBRUSH>(AddStock(SolidBrush(GetSysColor(I))));
        return St;
    }();
    return *S;
}

} // namespace

HGDIOBJ AddObject(std::shared_ptr<Object> obj) {
    Stocks();
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    std::uintptr_t H = T.Next;
    T.Next += 4;
    T.Objects.emplace(H, std::move(obj));
    ++T.Live;
    return reinterpret_cast<HGDIOBJ>(H);
}

std::shared_ptr<Object> FindObject(HGDIOBJ h) {
    if (!h)
        return nullptr;
    Stocks();
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    auto It = T.Objects.find(reinterpret_cast<std::uintptr_t>(h));
    return It == T.Objects.end() ? nullptr : It->second;
}

std::shared_ptr<DC> FindDC(HDC hdc) {
    return Find<DC>(hdc, OBJ_DC);
}

std::shared_ptr<Brush> BrushOf(HBRUSH h) {
    auto V = reinterpret_cast<std::uintptr_t>(h);
    if (V >= 1 && V <= SystemColorCount)
        return Find<Brush>(Stocks().SysBrushes[V - 1], OBJ_BRUSH);
    return Find<Brush>(h, OBJ_BRUSH);
}

std::shared_ptr<Bitmap> DefaultBitmap() {
    return Stocks().DefaultBmp;
}

// ---- bitmaps ----

bool Bitmap::Allocate(int width, int height, int bitCount, bool topDown) {
    if (width <= 0 || height <= 0 || width > 65536 || height > 65536)
        return false;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        return false;
    int stride = DibStride(width, bitCount);
    std::size_t Size = std::size_t(stride) * std::size_t(height);
    if (Size > (std::size_t(1) << 31))
        return false;
    Storage.reset(new (std::nothrow) std::uint8_t[Size]());
    if (!Storage)
        return false;
    Bits = Storage.get();
    Width = width;
    Height = height;
    BitCount = bitCount;
    TopDown = topDown;
    Stride = stride;
    return true;
}

Pixel Bitmap::Get(int x, int y) const {
    const std::uint8_t* row = Row(y);
    switch (BitCount) {
    case 32:
        return reinterpret_cast<const Pixel*>(row)[x];
    case 24: {
        const std::uint8_t* P = row + x * 3;
        return Pixel(P[0]) | (Pixel(P[1]) << 8) | (Pixel(P[2]) << 16);
    }
    case 16: {
        // 5-5-5, as the platform's default 16-bit layout.
        unsigned V = row[x * 2] | (row[x * 2 + 1] << 8);
        unsigned R = (V >> 10) & 31, G = (V >> 5) & 31, B = V & 31;
        return (((R << 3) | (R >> 2)) << 16) | (((G << 3) | (G >> 2)) << 8) | ((B << 3) | (B >> 2));
    }
    default: {
        int Idx;
        if (BitCount == 8)
            Idx = row[x];
        else if (BitCount == 4)
            Idx = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
        else
            Idx = (row[x >> 3] >> (7 - (x & 7))) & 1;
        if (Idx >= int(Palette.size()))
            return 0;
        const RGBQUAD& Q = Palette[Idx];
        return Pixel(Q.rgbBlue) | (Pixel(Q.rgbGreen) << 8) | (Pixel(Q.rgbRed) << 16);
    }
    }
}

int Bitmap::NearestIndex(Pixel p) const {
    p &= 0xFFFFFF;
    if (p == FLastPixel)
        return FLastIndex;
    int Best = 0;
    long BestD = -1;
    int R = (p >> 16) & 255, G = (p >> 8) & 255, B = p & 255;
    for (int I = 0; I < int(Palette.size()); ++I) {
        const RGBQUAD& Q = Palette[I];
        long Dr = R - Q.rgbRed, Dg = G - Q.rgbGreen, Db = B - Q.rgbBlue;
        long D = Dr * Dr + Dg * Dg + Db * Db;
        if (BestD < 0 || D < BestD) {
            BestD = D;
            Best = I;
            if (D == 0)
                break;
        }
    }
    FLastPixel = p;
    FLastIndex = Best;
    return Best;
}

void Bitmap::Set(int x, int y, Pixel p) {
    std::uint8_t* row = Row(y);
    switch (BitCount) {
    case 32:
        reinterpret_cast<Pixel*>(row)[x] = p;
        return;
    case 24: {
        std::uint8_t* Q = row + x * 3;
        Q[0] = BYTE(p);
        Q[1] = BYTE(p >> 8);
        Q[2] = BYTE(p >> 16);
        return;
    }
    case 16: {
        unsigned V = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
        row[x * 2] = BYTE(V);
        row[x * 2 + 1] = BYTE(V >> 8);
        return;
    }
    case 8:
        row[x] = BYTE(NearestIndex(p));
        return;
    case 4: {
        int Idx = NearestIndex(p);
        std::uint8_t& B = row[x >> 1];
        B = (x & 1) ? BYTE((B & 0xF0) | Idx) : BYTE((B & 0x0F) | (Idx << 4));
        return;
    }
    default: {
        int Idx = NearestIndex(p);
        std::uint8_t& B = row[x >> 3];
        std::uint8_t M = std::uint8_t(0x80 >> (x & 7));
        B = Idx ? BYTE(B | M) : BYTE(B & ~M);
        return;
    }
    }
}

// ---- clipping ----

const GdiRegion& DC::Clip() const {
    if (FClipValid)
        return FClip;
    Bitmap* T = Target();
    FClip = T ? GdiRegion::FromRect({0, 0, T->Width, T->Height}) : GdiRegion();
    if (VisRgn)
        FClip = FClip.Intersect(*VisRgn);
    if (S.ClipRgn) {
        GdiRegion C = *S.ClipRgn;
        C.Offset(SurfaceOrigin.X, SurfaceOrigin.Y);
        FClip = FClip.Intersect(C);
    }
    FClipValid = true;
    return FClip;
}

} // namespace gdi

using namespace gdi;

// ---- rectangles ----

BOOL PtInRect(const RECT* r, POINT pt) {
    return r && PtInRect(*r, pt);
}
BOOL IntersectRect(RECT* d, const RECT* a, const RECT* b) {
    return d && a && b && IntersectRect(*d, *a, *b);
}
BOOL UnionRect(RECT* d, const RECT* a, const RECT* b) {
    return d && a && b && UnionRect(*d, *a, *b);
}
BOOL OffsetRect(RECT* r, int dx, int dy) {
    return r && OffsetRect(*r, dx, dy);
}
BOOL InflateRect(RECT* r, int dx, int dy) {
    return r && InflateRect(*r, dx, dy);
}
BOOL IsRectEmpty(const RECT* r) {
    return !r || IsRectEmpty(*r);
}
BOOL EqualRect(const RECT* a, const RECT* b) {
    return a && b && *a == *b;
}
BOOL SetRect(RECT* r, int l, int t, int rr, int b) {
    if (!r)
        return false;
    *r = {l, t, rr, b};
    return true;
}
BOOL SetRectEmpty(RECT* r) {
    return SetRect(r, 0, 0, 0, 0);
}
BOOL CopyRect(RECT* d, const RECT* s) {
    if (!d || !s)
        return false;
    *d = *s;
    return true;
}

// ---- objects ----

HGDIOBJ GetStockObject(int i) {
    if (i < 0 || i >= 20)
        return nullptr;
    return Stocks().Handles[i];
}

int GdiLiveObjectCount() {
    Stocks();
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    return T.Live;
}

BOOL DeleteObject(HGDIOBJ h) {
    auto O = FindObject(h);
    if (!O)
        return false;
    if (O->Stock)
        return true;
    if (O->Type == OBJ_DC || O->Type == OBJ_MEMDC)
        return false;
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    // A DC that still has the object selected keeps it alive until it is deselected.
    if (T.Objects.erase(reinterpret_cast<std::uintptr_t>(h)))
        --T.Live;
    return true;
}

DWORD GetObjectType(HGDIOBJ h) {
    auto O = FindObject(h);
    return O ? O->Type : 0;
}

int GetObject(HGDIOBJ h, int c, void* pv) {
    auto O = FindObject(h);
    if (!O)
        return 0;
    switch (O->Type) {
    case OBJ_BITMAP: {
        auto* B = static_cast<Bitmap*>(O.get());
        BITMAP Bm;
        Bm.bmWidth = B->Width;
        // Negative for a top-down DIB section, so that callers can tell the row order from the height.
        Bm.bmHeight = B->DibSection && B->TopDown ? -B->Height : B->Height;
        Bm.bmWidthBytes = B->Stride;
        Bm.bmBitsPixel = WORD(B->BitCount);
        Bm.bmBits = B->DibSection ? B->Bits : nullptr;
        if (!pv)
            return B->DibSection ? int(sizeof(DIBSECTION)) : int(sizeof(BITMAP));
        if (c >= int(sizeof(DIBSECTION)) && B->DibSection) {
            DIBSECTION Ds;
            Ds.dsBm = Bm;
            Ds.dsBmih.biWidth = B->Width;
            Ds.dsBmih.biHeight = B->TopDown ? -B->Height : B->Height;
            Ds.dsBmih.biBitCount = WORD(B->BitCount);
            Ds.dsBmih.biSizeImage = DWORD(B->Stride * B->Height);
            Ds.dsBmih.biClrUsed = DWORD(B->Palette.size());
            std::memcpy(pv, &Ds, sizeof Ds);
            return int(sizeof Ds);
        }
        if (c < int(sizeof(BITMAP)))
            return 0;
        std::memcpy(pv, &Bm, sizeof Bm);
        return int(sizeof Bm);
    }
    case OBJ_PEN:
        if (!pv)
            return int(sizeof(LOGPEN));
        if (c < int(sizeof(LOGPEN)))
            return 0;
        std::memcpy(pv, &static_cast<Pen*>(O.get())->Log, sizeof(LOGPEN));
        return int(sizeof(LOGPEN));
    case OBJ_BRUSH: {
        if (!pv)
            return int(sizeof(LOGBRUSH));
        if (c < int(sizeof(LOGBRUSH)))
            return 0;
        auto* B = static_cast<Brush*>(O.get());
        LOGBRUSH Lb{B->Style, B->Color, UINT_PTR(B->Hatch)};
        std::memcpy(pv, &Lb, sizeof Lb);
        return int(sizeof Lb);
    }
    case OBJ_FONT:
        if (!pv)
            return int(sizeof(LOGFONTW));
        if (c < int(sizeof(LOGFONTW)))
            return 0;
        std::memcpy(pv, &static_cast<Font*>(O.get())->Log, sizeof(LOGFONTW));
        return int(sizeof(LOGFONTW));
    default:
        return 0;
    }
}

// ---- bitmap creation ----

namespace {

void DefaultPalette(Bitmap& b) {
    if (b.BitCount == 1) {
        b.Palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
    } else if (b.BitCount == 4) {
        static const BYTE Vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        b.Palette.resize(16);
        for (int I = 0; I < 16; ++I)
            b.Palette[I] = {Vga[I][2], Vga[I][1], Vga[I][0], 0};
    } else if (b.BitCount == 8) {
        // A colour cube of 6 x 6 x 6, then a grey ramp.
        b.Palette.resize(256);
        int I = 0;
        for (int R = 0; R < 6; ++R)
            for (int G = 0; G < 6; ++G)
                for (int Bl = 0; Bl < 6; ++Bl)
                    b.Palette[I++] = {BYTE(Bl * 51), BYTE(G * 51), BYTE(R * 51), 0};
        for (; I < 256; ++I) {
            BYTE V = BYTE((I - 216) * 255 / 39);
            b.Palette[I] = {V, V, V, 0};
        }
    }
}

void PaletteFromInfo(Bitmap& b, const BITMAPINFO* bmi) {
    if (b.BitCount > 8)
        return;
    int N = int(bmi->bmiHeader.biClrUsed);
    int MaxN = 1 << b.BitCount;
    if (N <= 0 || N > MaxN)
        N = MaxN;
    b.Palette.assign(bmi->bmiColors, bmi->bmiColors + N);
}

} // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT, void** ppvBits, HANDLE, DWORD) {
    if (ppvBits)
        *ppvBits = nullptr;
    if (!pbmi || pbmi->bmiHeader.biCompression != BI_RGB || pbmi->bmiHeader.biHeight == 0)
        return nullptr;
    auto B = std::make_shared<Bitmap>();
    const auto& H = pbmi->bmiHeader;
    if (!B->Allocate(H.biWidth, H.biHeight < 0 ? -H.biHeight : H.biHeight, H.biBitCount, H.biHeight < 0))
        return nullptr;
    B->DibSection = true;
    PaletteFromInfo(*B, pbmi);
    if (ppvBits)
        *ppvBits = B->Bits;
    return static_cast<HBITMAP>(AddObject(B));
}

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitCount, const void* bits) {
    auto B = std::make_shared<Bitmap>();
    if (planes != 1 || !B->Allocate(w, h, int(bitCount), true))
        return nullptr;
    DefaultPalette(*B);
    if (bits) {
        // Rows of device-dependent bitmaps are padded to whole words.
        int Src = ((w * int(bitCount) + 15) / 16) * 2;
        for (int Y = 0; Y < h; ++Y)
            std::memcpy(B->Row(Y), static_cast<const std::uint8_t*>(bits) + std::size_t(Src) * Y,
                        std::min(Src, B->Stride));
    }
    return static_cast<HBITMAP>(AddObject(B));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return nullptr;
    Bitmap* T = Dc->Target();
    int Bits = Dc->Memory && T && T->BitCount == 1 ? 1 : 32;
    auto B = std::make_shared<Bitmap>();
    if (!B->Allocate(cx, cy, Bits, true))
        return nullptr;
    DefaultPalette(*B);
    return static_cast<HBITMAP>(AddObject(B));
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, void* lpvBits) {
    auto B = Find<Bitmap>(hbit, OBJ_BITMAP);
    if (!B || !lpvBits || cb <= 0)
        return 0;
    int Src = ((B->Width * B->BitCount + 15) / 16) * 2;
    LONG Done = 0;
    for (int Y = 0; Y < B->Height && Done < cb; ++Y) {
        int N = std::min<LONG>(Src, cb - Done);
        std::memcpy(static_cast<std::uint8_t*>(lpvBits) + Done, B->Row(Y), std::min(N, B->Stride));
        Done += N;
    }
    return Done;
}

// ---- device contexts ----

namespace {

std::shared_ptr<DC> NewDC(bool memory) {
    auto Dc = std::make_shared<DC>();
    Dc->Memory = memory;
    Dc->Type = memory ? OBJ_MEMDC : OBJ_DC;
    auto& St = Stocks();
    Dc->S.SelPen = {St.Handles[BLACK_PEN], Find<Pen>(St.Handles[BLACK_PEN], OBJ_PEN)};
    Dc->S.SelBrush = {St.Handles[WHITE_BRUSH], Find<Brush>(St.Handles[WHITE_BRUSH], OBJ_BRUSH)};
    Dc->S.SelFont = {St.Handles[SYSTEM_FONT], Find<Font>(St.Handles[SYSTEM_FONT], OBJ_FONT)};
    if (memory)
        Dc->S.SelBitmap = {St.DefaultBmpHandle, St.DefaultBmp};
    return Dc;
}

int ScreenW = 1920, ScreenH = 1080;

} // namespace

HDC CreateCompatibleDC(HDC) {
    return static_cast<HDC>(AddObject(NewDC(true)));
}

BOOL DeleteDC(HDC hdc) {
    auto Dc = FindDC(hdc);
    if (!Dc || Dc->Screen)
        return false;
    auto& T = Table();
    std::lock_guard<std::mutex> G(T.Lock);
    if (T.Objects.erase(reinterpret_cast<std::uintptr_t>(hdc)))
        --T.Live;
    return true;
}

HDC GetScreenDC() {
    static HDC Screen = [] {
        auto Dc = NewDC(true);
        Dc->Screen = true;
        Dc->Type = OBJ_DC;
        auto B = std::make_shared<Bitmap>();
        B->Allocate(1, 1, 32, true);
        Dc->S.SelBitmap = {nullptr, B};
        Dc->Stock = true;
        return static_cast<HDC>(AddStock(Dc));
    }();
    return Screen;
}

HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visRgn) {
    auto B = Find<Bitmap>(surface, OBJ_BITMAP);
    if (!B)
        return nullptr;
    auto Dc = NewDC(false);
    Dc->Surface = B;
    Dc->SurfaceOrigin = origin;
    if (visRgn)
        Dc->VisRgn = GdiRegionOf(visRgn);
    return static_cast<HDC>(AddObject(Dc));
}

BOOL SetDCSurfaceOrigin(HDC hdc, POINT origin) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    Dc->SurfaceOrigin = origin;
    Dc->InvalidateClip();
    return true;
}

BOOL SetDCVisibleRegion(HDC hdc, HRGN visRgn) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    if (visRgn)
        Dc->VisRgn = GdiRegionOf(visRgn);
    else
        Dc->VisRgn.reset();
    Dc->InvalidateClip();
    return true;
}

int SaveDC(HDC hdc) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return 0;
    Dc->Saved.push_back(Dc->S);
    return int(Dc->Saved.size());
}

BOOL RestoreDC(HDC hdc, int n) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    int Count = int(Dc->Saved.size());
    int Idx = n < 0 ? Count + n : n - 1; // -1: the latest
    if (Idx < 0 || Idx >= Count)
        return false;
    Dc->S = Dc->Saved[Idx];
    Dc->Saved.resize(Idx);
    Dc->InvalidateClip();
    return true;
}

int GetDeviceCaps(HDC hdc, int index) {
    switch (index) {
    case HORZRES:
        return ScreenW;
    case VERTRES:
        return ScreenH;
    case BITSPIXEL: {
        auto Dc = FindDC(hdc);
        if (Dc && Dc->Memory && Dc->Target() && !Dc->Screen)
            return Dc->Target()->BitCount;
        return 32;
    }
    case PLANES:
        return 1;
    case NUMCOLORS:
        return -1;
    case LOGPIXELSX:
    case LOGPIXELSY:
        return 96;
    case SIZEPALETTE:
        return 0;
    case RASTERCAPS:
        return 0x0001 | 0x0008 | 0x0200 | 0x0800; // bitblt, bitmaps over 64K, stretchblt, stretchdib
    default:
        return 0;
    }
}

void SetScreenSize(int width, int height) {
    ScreenW = width;
    ScreenH = height;
}

HGDIOBJ SelectObject(HDC hdc, HGDIOBJ h) {
    auto Dc = FindDC(hdc);
    auto O = FindObject(h);
    if (!Dc || !O)
        return nullptr;
    HGDIOBJ Old = nullptr;
    switch (O->Type) {
    case OBJ_PEN:
        Old = Dc->S.SelPen.Handle;
        Dc->S.SelPen = {h, std::static_pointer_cast<Pen>(O)};
        return Old;
    case OBJ_BRUSH:
        Old = Dc->S.SelBrush.Handle;
        Dc->S.SelBrush = {h, std::static_pointer_cast<Brush>(O)};
        return Old;
    case OBJ_FONT:
        Old = Dc->S.SelFont.Handle;
        Dc->S.SelFont = {h, std::static_pointer_cast<Font>(O)};
        return Old;
    case OBJ_BITMAP:
        if (!Dc->Memory || Dc->Screen)
            return nullptr;
        Old = Dc->S.SelBitmap.Handle;
        Dc->S.SelBitmap = {h, std::static_pointer_cast<Bitmap>(O)};
        Dc->InvalidateClip();
        return Old;
    case OBJ_REGION:
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return Dc->S.SelPen.Handle;
    case OBJ_BRUSH:
        return Dc->S.SelBrush.Handle;
    case OBJ_FONT:
        return Dc->S.SelFont.Handle;
    case OBJ_BITMAP:
        return Dc->S.SelBitmap.Handle;
    default:
        return nullptr;
    }
}

// ---- DC attributes ----

#define DC_OR(ret)                                                                                                     \
    auto dc = FindDC(hdc);                                                                                             \
    if (!dc)                                                                                                           \
        return ret;

namespace {
BOOL SetOrg(POINT& org, int x, int y, POINT* old, DC& dc) {
    if (old)
        *old = org;
    org = {x, y};
    (void)dc;
    return true;
}
} // namespace

BOOL SetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    return SetOrg(dc->S.WindowOrg, x, y, lppt, *dc);
}
BOOL GetWindowOrgEx(HDC hdc, POINT* lppt) {
    DC_OR(false);
    if (lppt)
        *lppt = dc->S.WindowOrg;
    return true;
}
BOOL OffsetWindowOrgEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    return SetOrg(dc->S.WindowOrg, dc->S.WindowOrg.X + x, dc->S.WindowOrg.Y + y, lppt, *dc);
}
BOOL SetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    return SetOrg(dc->S.ViewportOrg, x, y, lppt, *dc);
}
BOOL GetViewportOrgEx(HDC hdc, POINT* lppt) {
    DC_OR(false);
    if (lppt)
        *lppt = dc->S.ViewportOrg;
    return true;
}
BOOL OffsetViewportOrgEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    return SetOrg(dc->S.ViewportOrg, dc->S.ViewportOrg.X + x, dc->S.ViewportOrg.Y + y, lppt, *dc);
}
BOOL LPtoDP(HDC hdc, POINT* p, int c) {
    DC_OR(false);
    for (int I = 0; I < c; ++I) {
        p[I].X += dc->S.ViewportOrg.X - dc->S.WindowOrg.X;
        p[I].Y += dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
    }
    return true;
}
BOOL DPtoLP(HDC hdc, POINT* p, int c) {
    DC_OR(false);
    for (int I = 0; I < c; ++I) {
        p[I].X -= dc->S.ViewportOrg.X - dc->S.WindowOrg.X;
        p[I].Y -= dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
    }
    return true;
}

int SetBkMode(HDC hdc, int mode) {
    DC_OR(0);
    if (mode != TRANSPARENT && mode != OPAQUE)
        return 0;
    std::swap(dc->S.BkMode, mode);
    return mode;
}
int GetBkMode(HDC hdc) {
    DC_OR(0);
    return dc->S.BkMode;
}
COLORREF SetBkColor(HDC hdc, COLORREF c) {
    DC_OR(CLR_INVALID);
    std::swap(dc->S.BkColor, c);
    return c;
}
COLORREF GetBkColor(HDC hdc) {
    DC_OR(CLR_INVALID);
    return dc->S.BkColor;
}
COLORREF SetTextColor(HDC hdc, COLORREF c) {
    DC_OR(CLR_INVALID);
    std::swap(dc->S.TextColor, c);
    return c;
}
COLORREF GetTextColor(HDC hdc) {
    DC_OR(CLR_INVALID);
    return dc->S.TextColor;
}
int SetStretchBltMode(HDC hdc, int mode) {
    DC_OR(0);
    if (mode < BLACKONWHITE || mode > HALFTONE)
        return 0;
    std::swap(dc->S.StretchMode, mode);
    return mode;
}
int GetStretchBltMode(HDC hdc) {
    DC_OR(0);
    return dc->S.StretchMode;
}
int SetROP2(HDC hdc, int rop2) {
    DC_OR(0);
    if (rop2 < R2_BLACK || rop2 > R2_WHITE)
        return 0;
    std::swap(dc->S.Rop2, rop2);
    return rop2;
}
int GetROP2(HDC hdc) {
    DC_OR(0);
    return dc->S.Rop2;
}
int SetPolyFillMode(HDC hdc, int mode) {
    DC_OR(0);
    if (mode != ALTERNATE && mode != WINDING)
        return 0;
    std::swap(dc->S.PolyFillMode, mode);
    return mode;
}
int GetPolyFillMode(HDC hdc) {
    DC_OR(0);
    return dc->S.PolyFillMode;
}
BOOL SetBrushOrgEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    if (lppt)
        *lppt = dc->S.BrushOrg;
    dc->S.BrushOrg = {x, y};
    return true;
}
BOOL MoveToEx(HDC hdc, int x, int y, POINT* lppt) {
    DC_OR(false);
    if (lppt)
        *lppt = dc->S.CurPos;
    dc->S.CurPos = {x, y};
    return true;
}
BOOL GetCurrentPositionEx(HDC hdc, POINT* lppt) {
    DC_OR(false);
    if (lppt)
        *lppt = dc->S.CurPos;
    return true;
}
UINT SetTextAlign(HDC hdc, UINT align) {
    DC_OR(0xFFFFFFFF);
    std::swap(dc->S.TextAlign, align);
    return align;
}
UINT GetTextAlign(HDC hdc) {
    DC_OR(0xFFFFFFFF);
    return dc->S.TextAlign;
}
COLORREF SetDCBrushColor(HDC hdc, COLORREF c) {
    DC_OR(CLR_INVALID);
    std::swap(dc->S.DCBrushColor, c);
    return c;
}
COLORREF SetDCPenColor(HDC hdc, COLORREF c) {
    DC_OR(CLR_INVALID);
    std::swap(dc->S.DCPenColor, c);
    return c;
}

// ---- pens and brushes ----

HPEN CreatePen(int style, int width, COLORREF color) {
    if (style < PS_SOLID || style > PS_INSIDEFRAME)
        style = PS_SOLID;
    return static_cast<HPEN>(AddObject(MakePen(style, width < 0 ? 0 : width, color & 0xFFFFFF)));
}
HPEN CreatePenIndirect(const LOGPEN* p) {
    return p ? CreatePen(int(p->lopnStyle), p->lopnWidth.X, p->lopnColor) : nullptr;
}
HBRUSH CreateSolidBrush(COLORREF color) {
    return static_cast<HBRUSH>(AddObject(SolidBrush(color & 0xFFFFFF)));
}
HBRUSH CreateHatchBrush(int hatch, COLORREF color) {
    auto B = SolidBrush(color & 0xFFFFFF, BS_HATCHED);
    B->Hatch = std::clamp(hatch, 0, 5);
    return static_cast<HBRUSH>(AddObject(B));
}
HBRUSH CreatePatternBrush(HBITMAP hbm) {
    auto Src = Find<Bitmap>(hbm, OBJ_BITMAP);
    if (!Src)
        return nullptr;
    auto Copy = std::make_shared<Bitmap>();
    Copy->Allocate(Src->Width, Src->Height, Src->BitCount, Src->TopDown);
    std::memcpy(Copy->Bits, Src->Bits, std::size_t(Src->Stride) * Src->Height);
    Copy->Palette = Src->Palette;
    auto B = SolidBrush(0, BS_PATTERN);
    B->Pattern = Copy;
    return static_cast<HBRUSH>(AddObject(B));
}
HBRUSH CreateBrushIndirect(const LOGBRUSH* lb) {
    if (!lb)
        return nullptr;
    switch (lb->lbStyle) {
    case BS_SOLID:
        return CreateSolidBrush(lb->lbColor);
    case BS_NULL:
        return static_cast<HBRUSH>(AddObject(SolidBrush(0, BS_NULL)));
    case BS_HATCHED:
        return CreateHatchBrush(int(lb->lbHatch), lb->lbColor);
    case BS_PATTERN:
        return CreatePatternBrush(reinterpret_cast<HBITMAP>(lb->lbHatch));
    default:
        return nullptr;
    }
}

HBRUSH GetSysColorBrush(int i) {
    if (i < 0 || i >= SystemColorCount)
        return nullptr;
    return Stocks().SysBrushes[i];
}

// ---- regions ----

GdiRegion GdiRegionOf(HRGN rgn) {
    auto R = Find<Region>(rgn, OBJ_REGION);
    return R ? R->Rgn : GdiRegion();
}

HRGN CreateRgnFromRegion(const GdiRegion& region) {
    auto R = std::make_shared<Region>();
    R->Rgn = region;
    return static_cast<HRGN>(AddObject(R));
}

namespace {
TRect Ordered(int x1, int y1, int x2, int y2) {
    return {std::min(x1, x2), std::min(y1, y2), std::max(x1, x2), std::max(y1, y2)};
}
} // namespace

HRGN CreateRectRgn(int x1, int y1, int x2, int y2) {
    return CreateRgnFromRegion(GdiRegion::FromRect(Ordered(x1, y1, x2, y2)));
}
HRGN CreateRectRgnIndirect(const RECT* r) {
    return r ? CreateRectRgn(r->Left, r->Top, r->Right, r->Bottom) : nullptr;
}
HRGN CreateEllipticRgn(int x1, int y1, int x2, int y2) {
    return CreateRgnFromRegion(GdiRegion::Ellipse(Ordered(x1, y1, x2, y2)));
}
HRGN CreateEllipticRgnIndirect(const RECT* r) {
    return r ? CreateEllipticRgn(r->Left, r->Top, r->Right, r->Bottom) : nullptr;
}
HRGN CreateRoundRectRgn(int x1, int y1, int x2, int y2, int w, int h) {
    return CreateRgnFromRegion(GdiRegion::RoundRect(Ordered(x1, y1, x2, y2), w, h));
}
HRGN CreatePolygonRgn(const POINT* pts, int n, int mode) {
    if (!pts || n < 0)
        return nullptr;
    return CreateRgnFromRegion(GdiRegion::Polygon(pts, n, mode));
}

int CombineRgn(HRGN dst, HRGN src1, HRGN src2, int mode) {
    auto D = Find<Region>(dst, OBJ_REGION);
    auto A = Find<Region>(src1, OBJ_REGION);
    if (!D || !A)
        return ERROR;
    if (mode == RGN_COPY) {
        D->Rgn = A->Rgn;
        return D->Rgn.Kind();
    }
    auto B = Find<Region>(src2, OBJ_REGION);
    if (!B || mode < RGN_AND || mode > RGN_DIFF)
        return ERROR;
    D->Rgn = GdiRegion::Combine(A->Rgn, B->Rgn, mode);
    return D->Rgn.Kind();
}

int OffsetRgn(HRGN h, int x, int y) {
    auto R = Find<Region>(h, OBJ_REGION);
    if (!R)
        return ERROR;
    R->Rgn.Offset(x, y);
    return R->Rgn.Kind();
}
BOOL PtInRegion(HRGN h, int x, int y) {
    auto R = Find<Region>(h, OBJ_REGION);
    return R && R->Rgn.Contains(x, y);
}
BOOL RectInRegion(HRGN h, const RECT* rc) {
    auto R = Find<Region>(h, OBJ_REGION);
    return R && rc && R->Rgn.Overlaps(Ordered(rc->Left, rc->Top, rc->Right, rc->Bottom));
}
BOOL EqualRgn(HRGN h1, HRGN h2) {
    auto A = Find<Region>(h1, OBJ_REGION);
    auto B = Find<Region>(h2, OBJ_REGION);
    return A && B && A->Rgn == B->Rgn;
}
int GetRgnBox(HRGN h, RECT* rc) {
    auto R = Find<Region>(h, OBJ_REGION);
    if (!R || !rc)
        return ERROR;
    *rc = R->Rgn.Bounds();
    return R->Rgn.Kind();
}
BOOL SetRectRgn(HRGN h, int l, int t, int rr, int b) {
    auto R = Find<Region>(h, OBJ_REGION);
    if (!R)
        return false;
    R->Rgn = GdiRegion::FromRect(Ordered(l, t, rr, b));
    return true;
}

DWORD GetRegionData(HRGN h, DWORD nCount, RGNDATA* data) {
    auto R = Find<Region>(h, OBJ_REGION);
    if (!R)
        return 0;
    auto Rects = R->Rgn.Rects();
    DWORD Need = DWORD(sizeof(RGNDATAHEADER) + Rects.size() * sizeof(RECT));
    if (!data || nCount < Need)
        return Need;
    RGNDATAHEADER Hdr;
    Hdr.nCount = DWORD(Rects.size());
    Hdr.nRgnSize = DWORD(Rects.size() * sizeof(RECT));
    Hdr.rcBound = R->Rgn.Bounds();
    std::memcpy(static_cast<void*>(data), &Hdr, sizeof Hdr);
    if (!Rects.empty())
        std::memcpy(reinterpret_cast<char*>(data) + sizeof Hdr, Rects.data(), Rects.size() * sizeof(RECT));
    return Need;
}

HRGN ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* data) {
    if (lpx || !data || nCount < sizeof(RGNDATAHEADER))
        return nullptr;
    RGNDATAHEADER Hdr;
    std::memcpy(&Hdr, static_cast<const void*>(data), sizeof Hdr);
    if (Hdr.dwSize != sizeof(RGNDATAHEADER) || Hdr.iType != RDH_RECTANGLES)
        return nullptr;
    // The rectangles must lie within the bytes the caller gave.
    if (Hdr.nCount > (nCount - sizeof Hdr) / sizeof(RECT))
        return nullptr;
    std::vector<RECT> Rects(Hdr.nCount);
    if (Hdr.nCount)
        std::memcpy(Rects.data(), reinterpret_cast<const char*>(data) + sizeof Hdr, Hdr.nCount * sizeof(RECT));
    return CreateRgnFromRegion(GdiRegion::FromRects(Rects.data(), int(Rects.size())));
}

// ---- clipping ----

int SelectClipRgn(HDC hdc, HRGN hrgn) {
    return ExtSelectClipRgn(hdc, hrgn, RGN_COPY);
}

int ExtSelectClipRgn(HDC hdc, HRGN hrgn, int mode) {
    DC_OR(ERROR);
    if (!hrgn) {
        if (mode != RGN_COPY)
            return ERROR;
        dc->S.ClipRgn.reset();
    } else {
        auto R = Find<Region>(hrgn, OBJ_REGION);
        if (!R)
            return ERROR;
        if (mode == RGN_COPY || !dc->S.ClipRgn) {
            // Without a clip region the DC's whole area counts as the current one.
            if (mode == RGN_COPY || mode == RGN_AND || mode == RGN_OR)
                dc->S.ClipRgn = mode == RGN_OR && dc->S.ClipRgn ? dc->S.ClipRgn->Union(R->Rgn) : R->Rgn;
            else {
                Bitmap* T = dc->Target();
                GdiRegion Whole = GdiRegion::FromRect({-dc->SurfaceOrigin.X, -dc->SurfaceOrigin.Y,
                                                       (T ? T->Width : 0) - dc->SurfaceOrigin.X,
                                                       (T ? T->Height : 0) - dc->SurfaceOrigin.Y});
                dc->S.ClipRgn = GdiRegion::Combine(Whole, R->Rgn, mode);
            }
        } else {
            if (mode < RGN_AND || mode > RGN_DIFF)
                return ERROR;
            dc->S.ClipRgn = GdiRegion::Combine(*dc->S.ClipRgn, R->Rgn, mode);
        }
    }
    dc->InvalidateClip();
    return dc->Clip().Kind();
}

namespace {
int ClipWithRect(HDC hdc, int l, int t, int r, int b, int mode) {
    DC_OR(ERROR);
    // Logical to device.
    int Dx = dc->S.ViewportOrg.X - dc->S.WindowOrg.X, Dy = dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
    GdiRegion Rect = GdiRegion::FromRect(Ordered(l + Dx, t + Dy, r + Dx, b + Dy));
    if (!dc->S.ClipRgn) {
        Bitmap* Tg = dc->Target();
        dc->S.ClipRgn =
            GdiRegion::FromRect({-dc->SurfaceOrigin.X, -dc->SurfaceOrigin.Y, (Tg ? Tg->Width : 0) - dc->SurfaceOrigin.X,
                                 (Tg ? Tg->Height : 0) - dc->SurfaceOrigin.Y});
    }
    dc->S.ClipRgn = GdiRegion::Combine(*dc->S.ClipRgn, Rect, mode);
    dc->InvalidateClip();
    return dc->Clip().Kind();
}
} // namespace

int IntersectClipRect(HDC hdc, int l, int t, int r, int b) {
    return ClipWithRect(hdc, l, t, r, b, RGN_AND);
}
int ExcludeClipRect(HDC hdc, int l, int t, int r, int b) {
    return ClipWithRect(hdc, l, t, r, b, RGN_DIFF);
}

int OffsetClipRgn(HDC hdc, int x, int y) {
    DC_OR(ERROR);
    if (dc->S.ClipRgn)
        dc->S.ClipRgn->Offset(x, y);
    dc->InvalidateClip();
    return dc->Clip().Kind();
}

int GetClipBox(HDC hdc, RECT* r) {
    DC_OR(ERROR);
    if (!r)
        return ERROR;
    const GdiRegion& C = dc->Clip();
    TRect B = C.Bounds();
    if (!C.IsEmpty())
        OffsetRect(&B, -dc->OffX(), -dc->OffY());
    *r = B;
    return C.Kind();
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
    DC_OR(-1);
    auto R = Find<Region>(hrgn, OBJ_REGION);
    if (!R)
        return -1;
    if (!dc->S.ClipRgn)
        return 0;
    R->Rgn = *dc->S.ClipRgn;
    return 1;
}

BOOL PtVisible(HDC hdc, int x, int y) {
    DC_OR(false);
    return dc->Clip().Contains(x + dc->OffX(), y + dc->OffY());
}

BOOL RectVisible(HDC hdc, const RECT* rc) {
    DC_OR(false);
    if (!rc)
        return false;
    TRect S = Ordered(rc->Left, rc->Top, rc->Right, rc->Bottom);
    OffsetRect(&S, dc->OffX(), dc->OffY());
    return dc->Clip().Overlaps(S);
}
