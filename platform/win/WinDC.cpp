// Device contexts of windows: each top-level window owns one 32-bit back buffer; a window's DC draws into
// it at the window's place, confined to the window's visible region (children and siblings clipped as the
// styles ask, window regions applied). Window regions and layered windows are kept here too.
#include "platform/win/WinInternal.h"

#include "platform/gdi/GdiRegion.h"
#include "platform/gdi/WinGdi.h"
#include "platform/gdi/WinText.h"

#include <algorithm>
#include <cstring>
#include <unordered_map>
#include <unordered_set>

namespace winimpl {

TSurfaceData& SurfaceOf(TWnd* W) {
    if (!W->PaintData)
        W->PaintData = new TSurfaceData;
    return *static_cast<TSurfaceData*>(W->PaintData);
}

static void FreeBitmap(HBITMAP& B, DWORD*& Bits) {
    if (B)
        DeleteObject(B);
    B = nullptr;
    Bits = nullptr;
}

HBITMAP NewSurface(int Width, int Height, DWORD** Bits) {
    BITMAPINFO Bi{};
    Bi.bmiHeader.biWidth = std::max(1, Width);
    Bi.bmiHeader.biHeight = -std::max(1, Height); // top-down
    Bi.bmiHeader.biBitCount = 32;
    void* P = nullptr;
    HBITMAP B = CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, &P, nullptr, 0);
    *Bits = static_cast<DWORD*>(P);
    return B;
}

void FreePaintData(TWnd* W) {
    if (!W->PaintData)
        return;
    auto* D = static_cast<TSurfaceData*>(W->PaintData);
    FreeBitmap(D->Buffer, D->Bits);
    FreeBitmap(D->Layer, D->LayerBits);
    if (D->Region)
        DeleteObject(D->Region);
    delete D;
    W->PaintData = nullptr;
}

// The back buffer of a top-level window, made or resized to the window's size. A resize keeps what was
// drawn where it still fits, so nothing flashes before the repaint.
TSurfaceData& EnsureBuffer(TWnd* Top) {
    TSurfaceData& D = SurfaceOf(Top);
    int Wd = std::max(1, int(Top->Rect.Right - Top->Rect.Left));
    int Ht = std::max(1, int(Top->Rect.Bottom - Top->Rect.Top));
    if (!D.Buffer || D.Width != Wd || D.Height != Ht) {
        DWORD* Bits = nullptr;
        HBITMAP B = NewSurface(Wd, Ht, &Bits);
        if (Bits && D.Bits) {
            int Cw = std::min(Wd, D.Width), Ch = std::min(Ht, D.Height);
            for (int Y = 0; Y < Ch; ++Y)
                std::memcpy(Bits + std::size_t(Y) * std::size_t(Wd), D.Bits + std::size_t(Y) * std::size_t(D.Width),
                            std::size_t(Cw) * 4);
        }
        FreeBitmap(D.Buffer, D.Bits);
        D.Buffer = B;
        D.Bits = Bits;
        D.Width = Wd;
        D.Height = Ht;
    }
    return D;
}

static GdiRegion WindowShape(TWnd* W, POINT Origin) {
    // Origin: the window's top-left corner in the coordinates wanted.
    RECT R{Origin.X, Origin.Y, Origin.X + (W->Rect.Right - W->Rect.Left), Origin.Y + (W->Rect.Bottom - W->Rect.Top)};
    GdiRegion G = GdiRegion::FromRect(R);
    if (W->PaintData && static_cast<TSurfaceData*>(W->PaintData)->Region) {
        GdiRegion Shape = GdiRegionOf(static_cast<TSurfaceData*>(W->PaintData)->Region);
        Shape.Offset(Origin.X, Origin.Y);
        G = G.Intersect(Shape);
    }
    return G;
}

// Where a window's top-left corner lies in its top-level window's coordinates.
static POINT OriginInTop(TWnd* W) {
    TWnd* Top = TopLevelOf(W);
    POINT A = WindowOriginOnScreen(W), B = WindowOriginOnScreen(Top);
    return POINT{A.X - B.X, A.Y - B.Y};
}

GdiRegion VisibleRegion(TWnd* W, bool WholeWindow, bool ClipChildren) {
    POINT O = OriginInTop(W);
    GdiRegion Vis = WindowShape(W, O);
    if (!WholeWindow)
        Vis = Vis.Intersect(GdiRegion::FromRect(OffsetR(W->Client, O.X, O.Y)));
    // Each ancestor confines it to its client area and its shape; siblings above clip where asked.
    for (TWnd* C = W; C && C->Parent && C->Parent != DesktopWnd(); C = C->Parent) {
        TWnd* P = C->Parent;
        POINT Po = OriginInTop(P);
        Vis = Vis.Intersect(GdiRegion::FromRect(OffsetR(P->Client, Po.X, Po.Y)));
        Vis = Vis.Intersect(WindowShape(P, Po));
        if (C->Style & WS_CLIPSIBLINGS) {
            for (TWnd* S : P->Children) {
                if (S == C)
                    break;
                if (S->Visible())
                    Vis = Vis.Subtract(WindowShape(S, OriginInTop(S)));
            }
        }
    }
    if (ClipChildren)
        for (TWnd* K : W->Children)
            if (K->Visible())
                Vis = Vis.Subtract(WindowShape(K, OriginInTop(K)));
    return Vis;
}

static std::unordered_map<HDC, HWND>& DcOwners() {
    static auto* M = new std::unordered_map<HDC, HWND>;
    return *M;
}

HDC MakeWindowDC(TWnd* W, bool WholeWindow, const RECT* ClipClient, const GdiRegion* Extra, bool Exclude,
                 bool ForceClipChildren) {
    TWnd* Top = TopLevelOf(W);
    if (!Top || Top == DesktopWnd())
        return nullptr;
    TSurfaceData& D = EnsureBuffer(Top);
    bool ClipKids = ForceClipChildren || (W->Style & WS_CLIPCHILDREN);
    GdiRegion Vis = VisibleRegion(W, WholeWindow, ClipKids);
    POINT O = OriginInTop(W);
    POINT DcOrigin = WholeWindow ? O : POINT{O.X + W->Client.Left, O.Y + W->Client.Top};
    if (ClipClient) {
        RECT C = OffsetR(*ClipClient, O.X + W->Client.Left, O.Y + W->Client.Top);
        Vis = Vis.Intersect(GdiRegion::FromRect(C));
    }
    if (Extra) {
        GdiRegion E = *Extra;
        E.Offset(DcOrigin.X, DcOrigin.Y);
        Vis = Exclude ? Vis.Subtract(E) : Vis.Intersect(E);
    }
    HRGN R = CreateRgnFromRegion(Vis);
    HDC Dc = CreateSurfaceDC(D.Buffer, DcOrigin, R);
    DeleteObject(R);
    if (Dc)
        DcOwners()[Dc] = W->Handle;
    return Dc;
}

HDC MakeWindowDC(TWnd* W, bool WholeWindow, const RECT* ClipClient) {
    return MakeWindowDC(W, WholeWindow, ClipClient, nullptr, false, false);
}

void WindowPainted(TWnd* W) {
    if (S().Backend && W)
        S().Backend->TopLevelChanged(TopLevelOf(W));
}

void FreeWindowDC(HDC Dc) {
    if (!Dc)
        return;
    auto It = DcOwners().find(Dc);
    HWND Owner = nullptr;
    if (It != DcOwners().end()) {
        Owner = It->second;
        DcOwners().erase(It);
    }
    DeleteDC(Dc);
    if (TWnd* W = FromHandle(Owner))
        WindowPainted(W);
}

bool RegionBox(HRGN Rgn, RECT* Box) {
    return GetRgnBox(Rgn, Box) > 1;
}

bool RegionContains(TWnd* W, POINT WindowPt) {
    if (!W->PaintData)
        return true;
    auto* D = static_cast<TSurfaceData*>(W->PaintData);
    return !D->Region || PtInRegion(D->Region, WindowPt.X, WindowPt.Y);
}

bool LayerHit(TWnd* W, POINT P) {
    if (!(W->ExStyle & WS_EX_LAYERED) || W->LayerMode != TLayerMode::PerPixel || !W->PaintData)
        return true;
    auto* D = static_cast<TSurfaceData*>(W->PaintData);
    if (!D->LayerBits || P.X < 0 || P.Y < 0 || P.X >= D->LayerWidth || P.Y >= D->LayerHeight)
        return false;
    // A fully transparent pixel of a per-pixel layered window lets the mouse through.
    return (D->LayerBits[std::size_t(P.Y) * std::size_t(D->LayerWidth) + std::size_t(P.X)] >> 24) != 0;
}

// The classic frame: a raised border and a caption bar in the active or inactive colour.
void PaintDefaultFrame(TWnd* W, HRGN) {
    if (!W || !W->Visible())
        return;
    int Wd = W->Rect.Right - W->Rect.Left, Ht = W->Rect.Bottom - W->Rect.Top;
    if (W->Client == RECT{0, 0, Wd, Ht})
        return;
    GdiRegion Frame = GdiRegion::FromRect(RECT{0, 0, Wd, Ht}).Subtract(GdiRegion::FromRect(W->Client));
    HDC Dc = MakeWindowDC(W, true, nullptr, &Frame, false, false);
    if (!Dc)
        return;
    RECT All{0, 0, Wd, Ht};
    FillRect(Dc, &All, GetSysColorBrush(COLOR_BTNFACE));
    if (W->ExStyle & WS_EX_CLIENTEDGE) {
        RECT E = W->Client;
        InflateRect(&E, 2, 2);
        DrawEdge(Dc, &E, EDGE_SUNKEN, BF_RECT);
    }
    if (W->Style & (WS_THICKFRAME | WS_DLGFRAME)) {
        RECT E = All;
        DrawEdge(Dc, &E, EDGE_RAISED, BF_RECT);
    } else if (W->Style & WS_BORDER) {
        FrameRect(Dc, &All, GetSysColorBrush(COLOR_WINDOWFRAME));
    }
    if ((W->Style & WS_CAPTION) == WS_CAPTION) {
        int B = W->Client.Left - ((W->ExStyle & WS_EX_CLIENTEDGE) ? 2 : 0);
        bool Tool = W->ExStyle & WS_EX_TOOLWINDOW;
        int Cap = GetSystemMetrics(Tool ? SM_CYSMCAPTION : SM_CYCAPTION);
        RECT Bar{B, B, Wd - B, B + Cap - 1};
        bool Active = W->IsMDIChild() ? W->NcActive : S().Active == TopLevelOf(W)->Handle;
        FillRect(Dc, &Bar, GetSysColorBrush(Active ? COLOR_ACTIVECAPTION : COLOR_INACTIVECAPTION));
        // Caption buttons from the right, as the default hit test places them, then the text.
        RECT Text{Bar.Left + 4, Bar.Top, Bar.Right - 2, Bar.Bottom};
        if (W->Style & WS_SYSMENU) {
            int Btn = GetSystemMetrics(Tool ? SM_CXSMSIZE : SM_CXSIZE);
            int X = Wd - B - 2;
            int Count = 1 + ((!Tool && (W->Style & (WS_MAXIMIZEBOX | WS_MINIMIZEBOX))) ? 2 : 0);
            for (int I = 0; I < Count; ++I) {
                RECT Box{X - Btn, Bar.Top + 2, X, Bar.Bottom - 2};
                FillRect(Dc, &Box, GetSysColorBrush(COLOR_BTNFACE));
                DrawEdge(Dc, &Box, EDGE_RAISED, BF_RECT);
                X -= Btn + (I == 0 ? 2 : 0);
            }
            Text.Right = X - 2;
        }
        if (!W->Text.empty() && Text.Right > Text.Left) {
            SetBkMode(Dc, TRANSPARENT);
            SetTextColor(Dc, GetSysColor(Active ? COLOR_CAPTIONTEXT : COLOR_INACTIVECAPTIONTEXT));
            HGDIOBJ OldFont = SelectObject(Dc, GetStockObject(DEFAULT_GUI_FONT));
            DrawTextW(Dc, W->Text.c_str(), int(W->Text.size()), &Text,
                      DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
            SelectObject(Dc, OldFont);
        }
    }
    PaintScrollBars(W, Dc);
    FreeWindowDC(Dc);
}

BOOL EraseDefaultBackground(TWnd* W, HDC Dc) {
    if (!W->Class || !W->Class->Background || !Dc)
        return 0;
    RECT R{0, 0, W->Client.Right - W->Client.Left, W->Client.Bottom - W->Client.Top};
    FillRect(Dc, &R, W->Class->Background);
    return 1;
}

} // namespace winimpl

using namespace winimpl;

// The device contexts handed out by GetDC, GetDCEx and GetWindowDC: ReleaseDC gives back these and no
// other (a paint or memory DC that a caller passes on stays its owner's).
static std::unordered_set<HDC>& CommonDcs() {
    static auto* S = new std::unordered_set<HDC>;
    return *S;
}

static HDC HandOut(HDC Dc) {
    if (Dc)
        CommonDcs().insert(Dc);
    return Dc;
}

HDC GetDC(HWND hWnd) {
    if (!hWnd)
        return GetDCEx(nullptr, nullptr, 0);
    TWnd* W = FromHandle(hWnd);
    return W ? HandOut(MakeWindowDC(W, false, nullptr)) : nullptr;
}

HDC GetDCEx(HWND hWnd, HRGN Clip, DWORD Flags) {
    if (!hWnd) {
        // The screen as composed now.
        HBITMAP Screen = ComposedScreen();
        return Screen ? HandOut(CreateSurfaceDC(Screen, POINT{0, 0}, nullptr)) : nullptr;
    }
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return nullptr;
    GdiRegion Extra;
    bool HasExtra = Clip && (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN));
    if (HasExtra)
        Extra = GdiRegionOf(Clip);
    return HandOut(MakeWindowDC(W, Flags & DCX_WINDOW, nullptr, HasExtra ? &Extra : nullptr,
                                (Flags & DCX_EXCLUDERGN) != 0, (Flags & DCX_CLIPCHILDREN) != 0));
}

HDC GetWindowDC(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    return W ? HandOut(MakeWindowDC(W, true, nullptr)) : nullptr;
}

int ReleaseDC(HWND, HDC Dc) {
    if (!Dc || !CommonDcs().erase(Dc))
        return 0;
    if (DcOwners().count(Dc))
        FreeWindowDC(Dc);
    else
        DeleteDC(Dc);
    return 1;
}

HWND WindowFromDC(HDC Dc) {
    auto It = DcOwners().find(Dc);
    return It == DcOwners().end() ? nullptr : It->second;
}

int SetWindowRgn(HWND hWnd, HRGN Rgn, BOOL bRedraw) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    TSurfaceData& D = SurfaceOf(W);
    if (D.Region)
        DeleteObject(D.Region);
    D.Region = nullptr;
    if (Rgn) {
        // The window keeps its own copy: the caller may delete or reuse its handle.
        D.Region = CreateRectRgn(0, 0, 0, 0);
        CombineRgn(D.Region, Rgn, nullptr, RGN_COPY);
    }
    if (W->Parent && W->Parent != DesktopWnd()) {
        RECT A = OffsetR(W->Rect, -W->Parent->Client.Left, -W->Parent->Client.Top);
        (void)A;
        InvalidateArea(W->Parent, &W->Rect, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    }
    if (bRedraw)
        InvalidateArea(W, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    WindowPainted(W);
    return 1;
}

int GetWindowRgn(HWND hWnd, HRGN Rgn) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Rgn || !W->PaintData || !static_cast<TSurfaceData*>(W->PaintData)->Region)
        return ERROR;
    CombineRgn(Rgn, static_cast<TSurfaceData*>(W->PaintData)->Region, nullptr, RGN_COPY);
    RECT Box;
    return GetRgnBox(Rgn, &Box);
}

BOOL SetLayeredWindowAttributes(HWND hWnd, COLORREF Key, BYTE Alpha, DWORD Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !(W->ExStyle & WS_EX_LAYERED) || !S().LayeredAlpha)
        return 0;
    W->LayerMode = TLayerMode::Attributes;
    W->LayerKey = Key;
    W->LayerAlpha = (Flags & LWA_ALPHA) ? Alpha : 255;
    W->LayerFlags = Flags;
    FreeBitmap(SurfaceOf(W).Layer, SurfaceOf(W).LayerBits);
    WindowPainted(W);
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

BOOL UpdateLayeredWindow(HWND hWnd, HDC, POINT* Dst, SIZE* Size, HDC Src, POINT* SrcPt, COLORREF Key,
                         BLENDFUNCTION* Blend, DWORD Flags) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !(W->ExStyle & WS_EX_LAYERED) || !S().LayeredPerPixel || W->LayerMode == TLayerMode::Attributes)
        return 0;
    if (Dst || Size) {
        int X = Dst ? Dst->X : W->Rect.Left, Y = Dst ? Dst->Y : W->Rect.Top;
        int Cx = Size ? Size->cx : W->Rect.Right - W->Rect.Left, Cy = Size ? Size->cy : W->Rect.Bottom - W->Rect.Top;
        UINT F = SWP_NOZORDER | SWP_NOACTIVATE | (Dst ? 0 : SWP_NOMOVE) | (Size ? 0 : SWP_NOSIZE);
        SetWindowPos(hWnd, nullptr, X, Y, Cx, Cy, F);
        if (!(W = FromHandle(hWnd)))
            return 0;
    }
    TSurfaceData& D = SurfaceOf(W);
    int Wd = W->Rect.Right - W->Rect.Left, Ht = W->Rect.Bottom - W->Rect.Top;
    if (Src) {
        if (!D.Layer || D.LayerWidth != Wd || D.LayerHeight != Ht) {
            FreeBitmap(D.Layer, D.LayerBits);
            D.Layer = NewSurface(Wd, Ht, &D.LayerBits);
            D.LayerWidth = Wd;
            D.LayerHeight = Ht;
        }
        HDC Mem = CreateCompatibleDC(nullptr);
        HGDIOBJ Old = SelectObject(Mem, D.Layer);
        POINT S0 = SrcPt ? *SrcPt : POINT{0, 0};
        BitBlt(Mem, 0, 0, Wd, Ht, Src, S0.X, S0.Y, SRCCOPY);
        SelectObject(Mem, Old);
        DeleteDC(Mem);
    }
    W->LayerMode = TLayerMode::PerPixel;
    W->LayerKey = Key;
    W->LayerFlags = Flags;
    W->LayerAlpha = Blend ? Blend->SourceConstantAlpha : 255;
    D.LayerUsesAlpha = (Flags & ULW_ALPHA) && Blend && (Blend->AlphaFormat & AC_SRC_ALPHA);
    WindowPainted(W);
    return 1;
}

namespace {
struct TEntry {
    const char* Name;
    void* Proc;
    int Needs; // 0 always, 1 constant alpha, 2 per-pixel alpha
};
} // namespace

void* GetUserProcAddress(const char* Name) {
    static const TEntry Entries[] = {
        {"SetLayeredWindowAttributes", reinterpret_cast<void*>(&SetLayeredWindowAttributes), 1},
        {"GetLayeredWindowAttributes", reinterpret_cast<void*>(&GetLayeredWindowAttributes), 1},
        {"UpdateLayeredWindow", reinterpret_cast<void*>(&UpdateLayeredWindow), 2},
        {"MonitorFromWindow", reinterpret_cast<void*>(&MonitorFromWindow), 0},
        {"MonitorFromPoint", reinterpret_cast<void*>(&MonitorFromPoint), 0},
        {"MonitorFromRect", reinterpret_cast<void*>(&MonitorFromRect), 0},
        {"GetMonitorInfoW", reinterpret_cast<void*>(&GetMonitorInfoW), 0},
        {"GetMonitorInfoA", reinterpret_cast<void*>(&GetMonitorInfoW), 0},
        {"TrackMouseEvent", reinterpret_cast<void*>(&TrackMouseEvent), 0},
        {"GetScrollBarInfo", reinterpret_cast<void*>(&GetScrollBarInfo), 0},
    };
    if (!Name)
        return nullptr;
    for (auto& E : Entries)
        if (std::strcmp(E.Name, Name) == 0) {
            if ((E.Needs == 1 && !S().LayeredAlpha) || (E.Needs == 2 && !S().LayeredPerPixel))
                return nullptr;
            return E.Proc;
        }
    return nullptr;
}
