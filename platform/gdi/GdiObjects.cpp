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
    static HandleTable* t = new HandleTable; // lives to the end of the process: handles may be freed at exit
    return *t;
}

struct Stock {
    HGDIOBJ Handles[20] = {};
    std::shared_ptr<Bitmap> DefaultBmp;
    HGDIOBJ DefaultBmpHandle = nullptr;
    HBRUSH SysBrushes[SystemColorCount] = {};
};

HGDIOBJ AddStock(std::shared_ptr<Object> o) {
    o->Stock = true;
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    std::uintptr_t h = t.Next;
    t.Next += 4;
    t.Objects.emplace(h, std::move(o));
    return reinterpret_cast<HGDIOBJ>(h);
}

std::shared_ptr<Brush> SolidBrush(COLORREF c, UINT style = BS_SOLID) {
    auto b = std::make_shared<Brush>();
    b->Style = style;
    b->Color = c;
    return b;
}

std::shared_ptr<Pen> MakePen(int style, int width, COLORREF c) {
    auto p = std::make_shared<Pen>();
    p->Log.lopnStyle = UINT(style);
    p->Log.lopnWidth = {width, 0};
    p->Log.lopnColor = c;
    return p;
}

std::shared_ptr<Font> MakeFont(int height, const char16_t* face) {
    auto f = std::make_shared<Font>();
    f->Log.lfHeight = height;
    for (int i = 0; face[i] && i < LF_FACESIZE - 1; ++i)
        f->Log.lfFaceName[i] = face[i];
    return f;
}

Stock& Stocks() {
    static Stock* s = [] {
        auto* st = new Stock;
        st->Handles[WHITE_BRUSH] = AddStock(SolidBrush(RGB(255, 255, 255)));
        st->Handles[LTGRAY_BRUSH] = AddStock(SolidBrush(RGB(192, 192, 192)));
        st->Handles[GRAY_BRUSH] = AddStock(SolidBrush(RGB(128, 128, 128)));
        st->Handles[DKGRAY_BRUSH] = AddStock(SolidBrush(RGB(64, 64, 64)));
        st->Handles[BLACK_BRUSH] = AddStock(SolidBrush(RGB(0, 0, 0)));
        st->Handles[NULL_BRUSH] = AddStock(SolidBrush(0, BS_NULL));
        st->Handles[WHITE_PEN] = AddStock(MakePen(PS_SOLID, 0, RGB(255, 255, 255)));
        st->Handles[BLACK_PEN] = AddStock(MakePen(PS_SOLID, 0, 0));
        st->Handles[NULL_PEN] = AddStock(MakePen(PS_NULL, 0, 0));
        auto sysFont = MakeFont(-11, u"MS Sans Serif");
        st->Handles[OEM_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        st->Handles[ANSI_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        st->Handles[ANSI_VAR_FONT] = AddStock(MakeFont(-11, u"MS Sans Serif"));
        st->Handles[SYSTEM_FONT] = AddStock(sysFont);
        st->Handles[DEVICE_DEFAULT_FONT] = AddStock(MakeFont(-11, u"MS Sans Serif"));
        st->Handles[DEFAULT_PALETTE] = AddStock(std::make_shared<Palette>());
        st->Handles[SYSTEM_FIXED_FONT] = AddStock(MakeFont(-12, u"Courier New"));
        st->Handles[DEFAULT_GUI_FONT] = AddStock(MakeFont(-11, u"Tahoma"));
        st->Handles[DC_BRUSH] = AddStock(SolidBrush(RGB(255, 255, 255)));
        st->Handles[DC_PEN] = AddStock(MakePen(PS_SOLID, 0, 0));
        st->DefaultBmp = std::make_shared<Bitmap>();
        st->DefaultBmp->Allocate(1, 1, 1, false);
        st->DefaultBmp->Palette = {{0, 0, 0, 0}, {255, 255, 255, 0}};
        st->DefaultBmpHandle = AddStock(st->DefaultBmp);
        for (int i = 0; i < SystemColorCount; ++i)
            st->SysBrushes[i] = static_cast<HBRUSH>(AddStock(SolidBrush(GetSysColor(i))));
        return st;
    }();
    return *s;
}

} // namespace

HGDIOBJ AddObject(std::shared_ptr<Object> obj) {
    Stocks();
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    std::uintptr_t h = t.Next;
    t.Next += 4;
    t.Objects.emplace(h, std::move(obj));
    ++t.Live;
    return reinterpret_cast<HGDIOBJ>(h);
}

std::shared_ptr<Object> FindObject(HGDIOBJ h) {
    if (!h)
        return nullptr;
    Stocks();
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    auto it = t.Objects.find(reinterpret_cast<std::uintptr_t>(h));
    return it == t.Objects.end() ? nullptr : it->second;
}

std::shared_ptr<DC> FindDC(HDC hdc) {
    return Find<DC>(hdc, OBJ_DC);
}

std::shared_ptr<Brush> BrushOf(HBRUSH h) {
    auto v = reinterpret_cast<std::uintptr_t>(h);
    if (v >= 1 && v <= SystemColorCount)
        return Find<Brush>(Stocks().SysBrushes[v - 1], OBJ_BRUSH);
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
    std::size_t size = std::size_t(stride) * std::size_t(height);
    if (size > (std::size_t(1) << 31))
        return false;
    Storage.reset(new (std::nothrow) std::uint8_t[size]());
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
        const std::uint8_t* p = row + x * 3;
        return Pixel(p[0]) | (Pixel(p[1]) << 8) | (Pixel(p[2]) << 16);
    }
    case 16: {
        // 5-5-5, as the platform's default 16-bit layout.
        unsigned v = row[x * 2] | (row[x * 2 + 1] << 8);
        unsigned r = (v >> 10) & 31, g = (v >> 5) & 31, b = v & 31;
        return (((r << 3) | (r >> 2)) << 16) | (((g << 3) | (g >> 2)) << 8) | ((b << 3) | (b >> 2));
    }
    default: {
        int idx;
        if (BitCount == 8)
            idx = row[x];
        else if (BitCount == 4)
            idx = (row[x >> 1] >> ((x & 1) ? 0 : 4)) & 15;
        else
            idx = (row[x >> 3] >> (7 - (x & 7))) & 1;
        if (idx >= int(Palette.size()))
            return 0;
        const RGBQUAD& q = Palette[idx];
        return Pixel(q.rgbBlue) | (Pixel(q.rgbGreen) << 8) | (Pixel(q.rgbRed) << 16);
    }
    }
}

int Bitmap::NearestIndex(Pixel p) const {
    p &= 0xFFFFFF;
    if (p == FLastPixel)
        return FLastIndex;
    int best = 0;
    long bestD = -1;
    int r = (p >> 16) & 255, g = (p >> 8) & 255, b = p & 255;
    for (int i = 0; i < int(Palette.size()); ++i) {
        const RGBQUAD& q = Palette[i];
        long dr = r - q.rgbRed, dg = g - q.rgbGreen, db = b - q.rgbBlue;
        long d = dr * dr + dg * dg + db * db;
        if (bestD < 0 || d < bestD) {
            bestD = d;
            best = i;
            if (d == 0)
                break;
        }
    }
    FLastPixel = p;
    FLastIndex = best;
    return best;
}

void Bitmap::Set(int x, int y, Pixel p) {
    std::uint8_t* row = Row(y);
    switch (BitCount) {
    case 32:
        reinterpret_cast<Pixel*>(row)[x] = p;
        return;
    case 24: {
        std::uint8_t* q = row + x * 3;
        q[0] = BYTE(p);
        q[1] = BYTE(p >> 8);
        q[2] = BYTE(p >> 16);
        return;
    }
    case 16: {
        unsigned v = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
        row[x * 2] = BYTE(v);
        row[x * 2 + 1] = BYTE(v >> 8);
        return;
    }
    case 8:
        row[x] = BYTE(NearestIndex(p));
        return;
    case 4: {
        int idx = NearestIndex(p);
        std::uint8_t& b = row[x >> 1];
        b = (x & 1) ? BYTE((b & 0xF0) | idx) : BYTE((b & 0x0F) | (idx << 4));
        return;
    }
    default: {
        int idx = NearestIndex(p);
        std::uint8_t& b = row[x >> 3];
        std::uint8_t m = std::uint8_t(0x80 >> (x & 7));
        b = idx ? BYTE(b | m) : BYTE(b & ~m);
        return;
    }
    }
}

// ---- clipping ----

const GdiRegion& DC::Clip() const {
    if (FClipValid)
        return FClip;
    Bitmap* t = Target();
    FClip = t ? GdiRegion::FromRect({0, 0, t->Width, t->Height}) : GdiRegion();
    if (VisRgn)
        FClip = FClip.Intersect(*VisRgn);
    if (S.ClipRgn) {
        GdiRegion c = *S.ClipRgn;
        c.Offset(SurfaceOrigin.X, SurfaceOrigin.Y);
        FClip = FClip.Intersect(c);
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
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    return t.Live;
}

BOOL DeleteObject(HGDIOBJ h) {
    auto o = FindObject(h);
    if (!o)
        return false;
    if (o->Stock)
        return true;
    if (o->Type == OBJ_DC || o->Type == OBJ_MEMDC)
        return false;
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    // A DC that still has the object selected keeps it alive until it is deselected.
    if (t.Objects.erase(reinterpret_cast<std::uintptr_t>(h)))
        --t.Live;
    return true;
}

DWORD GetObjectType(HGDIOBJ h) {
    auto o = FindObject(h);
    return o ? o->Type : 0;
}

int GetObject(HGDIOBJ h, int c, void* pv) {
    auto o = FindObject(h);
    if (!o)
        return 0;
    switch (o->Type) {
    case OBJ_BITMAP: {
        auto* b = static_cast<Bitmap*>(o.get());
        BITMAP bm;
        bm.bmWidth = b->Width;
        // Negative for a top-down DIB section, so that callers can tell the row order from the height.
        bm.bmHeight = b->DibSection && b->TopDown ? -b->Height : b->Height;
        bm.bmWidthBytes = b->Stride;
        bm.bmBitsPixel = WORD(b->BitCount);
        bm.bmBits = b->DibSection ? b->Bits : nullptr;
        if (!pv)
            return b->DibSection ? int(sizeof(DIBSECTION)) : int(sizeof(BITMAP));
        if (c >= int(sizeof(DIBSECTION)) && b->DibSection) {
            DIBSECTION ds;
            ds.dsBm = bm;
            ds.dsBmih.biWidth = b->Width;
            ds.dsBmih.biHeight = b->TopDown ? -b->Height : b->Height;
            ds.dsBmih.biBitCount = WORD(b->BitCount);
            ds.dsBmih.biSizeImage = DWORD(b->Stride * b->Height);
            ds.dsBmih.biClrUsed = DWORD(b->Palette.size());
            std::memcpy(pv, &ds, sizeof ds);
            return int(sizeof ds);
        }
        if (c < int(sizeof(BITMAP)))
            return 0;
        std::memcpy(pv, &bm, sizeof bm);
        return int(sizeof bm);
    }
    case OBJ_PEN:
        if (!pv)
            return int(sizeof(LOGPEN));
        if (c < int(sizeof(LOGPEN)))
            return 0;
        std::memcpy(pv, &static_cast<Pen*>(o.get())->Log, sizeof(LOGPEN));
        return int(sizeof(LOGPEN));
    case OBJ_BRUSH: {
        if (!pv)
            return int(sizeof(LOGBRUSH));
        if (c < int(sizeof(LOGBRUSH)))
            return 0;
        auto* b = static_cast<Brush*>(o.get());
        LOGBRUSH lb{b->Style, b->Color, UINT_PTR(b->Hatch)};
        std::memcpy(pv, &lb, sizeof lb);
        return int(sizeof lb);
    }
    case OBJ_FONT:
        if (!pv)
            return int(sizeof(LOGFONTW));
        if (c < int(sizeof(LOGFONTW)))
            return 0;
        std::memcpy(pv, &static_cast<Font*>(o.get())->Log, sizeof(LOGFONTW));
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
        static const BYTE vga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                        {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                        {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                        {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};
        b.Palette.resize(16);
        for (int i = 0; i < 16; ++i)
            b.Palette[i] = {vga[i][2], vga[i][1], vga[i][0], 0};
    } else if (b.BitCount == 8) {
        // A colour cube of 6 x 6 x 6, then a grey ramp.
        b.Palette.resize(256);
        int i = 0;
        for (int r = 0; r < 6; ++r)
            for (int g = 0; g < 6; ++g)
                for (int bl = 0; bl < 6; ++bl)
                    b.Palette[i++] = {BYTE(bl * 51), BYTE(g * 51), BYTE(r * 51), 0};
        for (; i < 256; ++i) {
            BYTE v = BYTE((i - 216) * 255 / 39);
            b.Palette[i] = {v, v, v, 0};
        }
    }
}

void PaletteFromInfo(Bitmap& b, const BITMAPINFO* bmi) {
    if (b.BitCount > 8)
        return;
    int n = int(bmi->bmiHeader.biClrUsed);
    int maxN = 1 << b.BitCount;
    if (n <= 0 || n > maxN)
        n = maxN;
    b.Palette.assign(bmi->bmiColors, bmi->bmiColors + n);
}

} // namespace

HBITMAP CreateDIBSection(HDC, const BITMAPINFO* pbmi, UINT, void** ppvBits, HANDLE, DWORD) {
    if (ppvBits)
        *ppvBits = nullptr;
    if (!pbmi || pbmi->bmiHeader.biCompression != BI_RGB || pbmi->bmiHeader.biHeight == 0)
        return nullptr;
    auto b = std::make_shared<Bitmap>();
    const auto& h = pbmi->bmiHeader;
    if (!b->Allocate(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount, h.biHeight < 0))
        return nullptr;
    b->DibSection = true;
    PaletteFromInfo(*b, pbmi);
    if (ppvBits)
        *ppvBits = b->Bits;
    return static_cast<HBITMAP>(AddObject(b));
}

HBITMAP CreateBitmap(int w, int h, UINT planes, UINT bitCount, const void* bits) {
    auto b = std::make_shared<Bitmap>();
    if (planes != 1 || !b->Allocate(w, h, int(bitCount), true))
        return nullptr;
    DefaultPalette(*b);
    if (bits) {
        // Rows of device-dependent bitmaps are padded to whole words.
        int src = ((w * int(bitCount) + 15) / 16) * 2;
        for (int y = 0; y < h; ++y)
            std::memcpy(b->Row(y), static_cast<const std::uint8_t*>(bits) + std::size_t(src) * y,
                        std::min(src, b->Stride));
    }
    return static_cast<HBITMAP>(AddObject(b));
}

HBITMAP CreateCompatibleBitmap(HDC hdc, int cx, int cy) {
    auto dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    Bitmap* t = dc->Target();
    int bits = dc->Memory && t && t->BitCount == 1 ? 1 : 32;
    auto b = std::make_shared<Bitmap>();
    if (!b->Allocate(cx, cy, bits, true))
        return nullptr;
    DefaultPalette(*b);
    return static_cast<HBITMAP>(AddObject(b));
}

LONG GetBitmapBits(HBITMAP hbit, LONG cb, void* lpvBits) {
    auto b = Find<Bitmap>(hbit, OBJ_BITMAP);
    if (!b || !lpvBits || cb <= 0)
        return 0;
    int src = ((b->Width * b->BitCount + 15) / 16) * 2;
    LONG done = 0;
    for (int y = 0; y < b->Height && done < cb; ++y) {
        int n = std::min<LONG>(src, cb - done);
        std::memcpy(static_cast<std::uint8_t*>(lpvBits) + done, b->Row(y), std::min(n, b->Stride));
        done += n;
    }
    return done;
}

// ---- device contexts ----

namespace {

std::shared_ptr<DC> NewDC(bool memory) {
    auto dc = std::make_shared<DC>();
    dc->Memory = memory;
    dc->Type = memory ? OBJ_MEMDC : OBJ_DC;
    auto& st = Stocks();
    dc->S.SelPen = {st.Handles[BLACK_PEN], Find<Pen>(st.Handles[BLACK_PEN], OBJ_PEN)};
    dc->S.SelBrush = {st.Handles[WHITE_BRUSH], Find<Brush>(st.Handles[WHITE_BRUSH], OBJ_BRUSH)};
    dc->S.SelFont = {st.Handles[SYSTEM_FONT], Find<Font>(st.Handles[SYSTEM_FONT], OBJ_FONT)};
    if (memory)
        dc->S.SelBitmap = {st.DefaultBmpHandle, st.DefaultBmp};
    return dc;
}

int ScreenW = 1920, ScreenH = 1080;

} // namespace

HDC CreateCompatibleDC(HDC) {
    return static_cast<HDC>(AddObject(NewDC(true)));
}

BOOL DeleteDC(HDC hdc) {
    auto dc = FindDC(hdc);
    if (!dc || dc->Screen)
        return false;
    auto& t = Table();
    std::lock_guard<std::mutex> g(t.Lock);
    if (t.Objects.erase(reinterpret_cast<std::uintptr_t>(hdc)))
        --t.Live;
    return true;
}

HDC GetScreenDC() {
    static HDC screen = [] {
        auto dc = NewDC(true);
        dc->Screen = true;
        dc->Type = OBJ_DC;
        auto b = std::make_shared<Bitmap>();
        b->Allocate(1, 1, 32, true);
        dc->S.SelBitmap = {nullptr, b};
        dc->Stock = true;
        return static_cast<HDC>(AddStock(dc));
    }();
    return screen;
}

HDC CreateSurfaceDC(HBITMAP surface, POINT origin, HRGN visRgn) {
    auto b = Find<Bitmap>(surface, OBJ_BITMAP);
    if (!b)
        return nullptr;
    auto dc = NewDC(false);
    dc->Surface = b;
    dc->SurfaceOrigin = origin;
    if (visRgn)
        dc->VisRgn = GdiRegionOf(visRgn);
    return static_cast<HDC>(AddObject(dc));
}

BOOL SetDCSurfaceOrigin(HDC hdc, POINT origin) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    dc->SurfaceOrigin = origin;
    dc->InvalidateClip();
    return true;
}

BOOL SetDCVisibleRegion(HDC hdc, HRGN visRgn) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    if (visRgn)
        dc->VisRgn = GdiRegionOf(visRgn);
    else
        dc->VisRgn.reset();
    dc->InvalidateClip();
    return true;
}

int SaveDC(HDC hdc) {
    auto dc = FindDC(hdc);
    if (!dc)
        return 0;
    dc->Saved.push_back(dc->S);
    return int(dc->Saved.size());
}

BOOL RestoreDC(HDC hdc, int n) {
    auto dc = FindDC(hdc);
    if (!dc)
        return false;
    int count = int(dc->Saved.size());
    int idx = n < 0 ? count + n : n - 1; // -1: the latest
    if (idx < 0 || idx >= count)
        return false;
    dc->S = dc->Saved[idx];
    dc->Saved.resize(idx);
    dc->InvalidateClip();
    return true;
}

int GetDeviceCaps(HDC hdc, int index) {
    switch (index) {
    case HORZRES:
        return ScreenW;
    case VERTRES:
        return ScreenH;
    case BITSPIXEL: {
        auto dc = FindDC(hdc);
        if (dc && dc->Memory && dc->Target() && !dc->Screen)
            return dc->Target()->BitCount;
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
    auto dc = FindDC(hdc);
    auto o = FindObject(h);
    if (!dc || !o)
        return nullptr;
    HGDIOBJ old = nullptr;
    switch (o->Type) {
    case OBJ_PEN:
        old = dc->S.SelPen.Handle;
        dc->S.SelPen = {h, std::static_pointer_cast<Pen>(o)};
        return old;
    case OBJ_BRUSH:
        old = dc->S.SelBrush.Handle;
        dc->S.SelBrush = {h, std::static_pointer_cast<Brush>(o)};
        return old;
    case OBJ_FONT:
        old = dc->S.SelFont.Handle;
        dc->S.SelFont = {h, std::static_pointer_cast<Font>(o)};
        return old;
    case OBJ_BITMAP:
        if (!dc->Memory || dc->Screen)
            return nullptr;
        old = dc->S.SelBitmap.Handle;
        dc->S.SelBitmap = {h, std::static_pointer_cast<Bitmap>(o)};
        dc->InvalidateClip();
        return old;
    case OBJ_REGION:
        return reinterpret_cast<HGDIOBJ>(std::intptr_t(SelectClipRgn(hdc, static_cast<HRGN>(h))));
    default:
        return nullptr;
    }
}

HGDIOBJ GetCurrentObject(HDC hdc, UINT type) {
    auto dc = FindDC(hdc);
    if (!dc)
        return nullptr;
    switch (type) {
    case OBJ_PEN:
        return dc->S.SelPen.Handle;
    case OBJ_BRUSH:
        return dc->S.SelBrush.Handle;
    case OBJ_FONT:
        return dc->S.SelFont.Handle;
    case OBJ_BITMAP:
        return dc->S.SelBitmap.Handle;
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
    for (int i = 0; i < c; ++i) {
        p[i].X += dc->S.ViewportOrg.X - dc->S.WindowOrg.X;
        p[i].Y += dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
    }
    return true;
}
BOOL DPtoLP(HDC hdc, POINT* p, int c) {
    DC_OR(false);
    for (int i = 0; i < c; ++i) {
        p[i].X -= dc->S.ViewportOrg.X - dc->S.WindowOrg.X;
        p[i].Y -= dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
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
    auto b = SolidBrush(color & 0xFFFFFF, BS_HATCHED);
    b->Hatch = std::clamp(hatch, 0, 5);
    return static_cast<HBRUSH>(AddObject(b));
}
HBRUSH CreatePatternBrush(HBITMAP hbm) {
    auto src = Find<Bitmap>(hbm, OBJ_BITMAP);
    if (!src)
        return nullptr;
    auto copy = std::make_shared<Bitmap>();
    copy->Allocate(src->Width, src->Height, src->BitCount, src->TopDown);
    std::memcpy(copy->Bits, src->Bits, std::size_t(src->Stride) * src->Height);
    copy->Palette = src->Palette;
    auto b = SolidBrush(0, BS_PATTERN);
    b->Pattern = copy;
    return static_cast<HBRUSH>(AddObject(b));
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
    auto r = Find<Region>(rgn, OBJ_REGION);
    return r ? r->Rgn : GdiRegion();
}

HRGN CreateRgnFromRegion(const GdiRegion& region) {
    auto r = std::make_shared<Region>();
    r->Rgn = region;
    return static_cast<HRGN>(AddObject(r));
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
    auto d = Find<Region>(dst, OBJ_REGION);
    auto a = Find<Region>(src1, OBJ_REGION);
    if (!d || !a)
        return ERROR;
    if (mode == RGN_COPY) {
        d->Rgn = a->Rgn;
        return d->Rgn.Kind();
    }
    auto b = Find<Region>(src2, OBJ_REGION);
    if (!b || mode < RGN_AND || mode > RGN_DIFF)
        return ERROR;
    d->Rgn = GdiRegion::Combine(a->Rgn, b->Rgn, mode);
    return d->Rgn.Kind();
}

int OffsetRgn(HRGN h, int x, int y) {
    auto r = Find<Region>(h, OBJ_REGION);
    if (!r)
        return ERROR;
    r->Rgn.Offset(x, y);
    return r->Rgn.Kind();
}
BOOL PtInRegion(HRGN h, int x, int y) {
    auto r = Find<Region>(h, OBJ_REGION);
    return r && r->Rgn.Contains(x, y);
}
BOOL RectInRegion(HRGN h, const RECT* rc) {
    auto r = Find<Region>(h, OBJ_REGION);
    return r && rc && r->Rgn.Overlaps(Ordered(rc->Left, rc->Top, rc->Right, rc->Bottom));
}
BOOL EqualRgn(HRGN h1, HRGN h2) {
    auto a = Find<Region>(h1, OBJ_REGION);
    auto b = Find<Region>(h2, OBJ_REGION);
    return a && b && a->Rgn == b->Rgn;
}
int GetRgnBox(HRGN h, RECT* rc) {
    auto r = Find<Region>(h, OBJ_REGION);
    if (!r || !rc)
        return ERROR;
    *rc = r->Rgn.Bounds();
    return r->Rgn.Kind();
}
BOOL SetRectRgn(HRGN h, int l, int t, int rr, int b) {
    auto r = Find<Region>(h, OBJ_REGION);
    if (!r)
        return false;
    r->Rgn = GdiRegion::FromRect(Ordered(l, t, rr, b));
    return true;
}

DWORD GetRegionData(HRGN h, DWORD nCount, RGNDATA* data) {
    auto r = Find<Region>(h, OBJ_REGION);
    if (!r)
        return 0;
    auto rects = r->Rgn.Rects();
    DWORD need = DWORD(sizeof(RGNDATAHEADER) + rects.size() * sizeof(RECT));
    if (!data || nCount < need)
        return need;
    RGNDATAHEADER hdr;
    hdr.nCount = DWORD(rects.size());
    hdr.nRgnSize = DWORD(rects.size() * sizeof(RECT));
    hdr.rcBound = r->Rgn.Bounds();
    std::memcpy(static_cast<void*>(data), &hdr, sizeof hdr);
    if (!rects.empty())
        std::memcpy(reinterpret_cast<char*>(data) + sizeof hdr, rects.data(), rects.size() * sizeof(RECT));
    return need;
}

HRGN ExtCreateRegion(const XFORM* lpx, DWORD nCount, const RGNDATA* data) {
    if (lpx || !data || nCount < sizeof(RGNDATAHEADER))
        return nullptr;
    RGNDATAHEADER hdr;
    std::memcpy(&hdr, static_cast<const void*>(data), sizeof hdr);
    if (hdr.dwSize != sizeof(RGNDATAHEADER) || hdr.iType != RDH_RECTANGLES)
        return nullptr;
    // The rectangles must lie within the bytes the caller gave.
    if (hdr.nCount > (nCount - sizeof hdr) / sizeof(RECT))
        return nullptr;
    std::vector<RECT> rects(hdr.nCount);
    if (hdr.nCount)
        std::memcpy(rects.data(), reinterpret_cast<const char*>(data) + sizeof hdr, hdr.nCount * sizeof(RECT));
    return CreateRgnFromRegion(GdiRegion::FromRects(rects.data(), int(rects.size())));
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
        auto r = Find<Region>(hrgn, OBJ_REGION);
        if (!r)
            return ERROR;
        if (mode == RGN_COPY || !dc->S.ClipRgn) {
            // Without a clip region the DC's whole area counts as the current one.
            if (mode == RGN_COPY || mode == RGN_AND || mode == RGN_OR)
                dc->S.ClipRgn = mode == RGN_OR && dc->S.ClipRgn ? dc->S.ClipRgn->Union(r->Rgn) : r->Rgn;
            else {
                Bitmap* t = dc->Target();
                GdiRegion whole = GdiRegion::FromRect({-dc->SurfaceOrigin.X, -dc->SurfaceOrigin.Y,
                                                       (t ? t->Width : 0) - dc->SurfaceOrigin.X,
                                                       (t ? t->Height : 0) - dc->SurfaceOrigin.Y});
                dc->S.ClipRgn = GdiRegion::Combine(whole, r->Rgn, mode);
            }
        } else {
            if (mode < RGN_AND || mode > RGN_DIFF)
                return ERROR;
            dc->S.ClipRgn = GdiRegion::Combine(*dc->S.ClipRgn, r->Rgn, mode);
        }
    }
    dc->InvalidateClip();
    return dc->Clip().Kind();
}

namespace {
int ClipWithRect(HDC hdc, int l, int t, int r, int b, int mode) {
    DC_OR(ERROR);
    // Logical to device.
    int dx = dc->S.ViewportOrg.X - dc->S.WindowOrg.X, dy = dc->S.ViewportOrg.Y - dc->S.WindowOrg.Y;
    GdiRegion rect = GdiRegion::FromRect(Ordered(l + dx, t + dy, r + dx, b + dy));
    if (!dc->S.ClipRgn) {
        Bitmap* tg = dc->Target();
        dc->S.ClipRgn =
            GdiRegion::FromRect({-dc->SurfaceOrigin.X, -dc->SurfaceOrigin.Y, (tg ? tg->Width : 0) - dc->SurfaceOrigin.X,
                                 (tg ? tg->Height : 0) - dc->SurfaceOrigin.Y});
    }
    dc->S.ClipRgn = GdiRegion::Combine(*dc->S.ClipRgn, rect, mode);
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
    const GdiRegion& c = dc->Clip();
    TRect b = c.Bounds();
    if (!c.IsEmpty())
        OffsetRect(&b, -dc->OffX(), -dc->OffY());
    *r = b;
    return c.Kind();
}

int GetClipRgn(HDC hdc, HRGN hrgn) {
    DC_OR(-1);
    auto r = Find<Region>(hrgn, OBJ_REGION);
    if (!r)
        return -1;
    if (!dc->S.ClipRgn)
        return 0;
    r->Rgn = *dc->S.ClipRgn;
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
    TRect s = Ordered(rc->Left, rc->Top, rc->Right, rc->Bottom);
    OffsetRect(&s, dc->OffX(), dc->OffY());
    return dc->Clip().Overlaps(s);
}
