// Painting bookkeeping: update areas, the order WM_NCPAINT, WM_ERASEBKGND, WM_PAINT, and the redraw
// flags.
#include "platform/win/WinInternal.h"

#include <algorithm>

namespace winimpl {

// Device contexts of windows (WinDC.cpp).
HDC MakeWindowDC(TWnd* W, bool WholeWindow, const RECT* ClipClient);
HDC MakeWindowDC(TWnd* W, bool WholeWindow, const RECT* ClipClient, const GdiRegion* Extra, bool Exclude,
                 bool ForceClipChildren);
void FreeWindowDC(HDC Dc);
void WindowPainted(TWnd* W);
bool RegionBox(HRGN Rgn, RECT* Box);

static bool VisibleChain(TWnd* W) {
    for (; W && W != DesktopWnd(); W = W->Parent)
        if (!W->Visible())
            return false;
    return W != nullptr;
}

static RECT ClientBox(TWnd* W) {
    return RECT{0, 0, W->Client.Right - W->Client.Left, W->Client.Bottom - W->Client.Top};
}

static bool HasFrame(TWnd* W) {
    return W->Client.Left > 0 || W->Client.Top > 0 || W->Client.Right < W->Rect.Right - W->Rect.Left ||
           W->Client.Bottom < W->Rect.Bottom - W->Rect.Top;
}

void InvalidateRegion(TWnd* W, const GdiRegion* Rgn, UINT Flags) {
    if (!W || W == DesktopWnd() || W->Dead)
        return;
    GdiRegion Area = GdiRegion::FromRect(ClientBox(W));
    if (Rgn)
        Area = Area.Intersect(*Rgn);
    if (Flags & RDW_INVALIDATE) {
        if (VisibleChain(W)) {
            if (!Area.IsEmpty()) {
                W->Update = W->Update.Union(Area);
                if (Flags & RDW_ERASE)
                    W->NeedErase = true;
            }
            if ((Flags & RDW_FRAME) && HasFrame(W))
                W->NeedFrame = true;
        }
    }
    if (Flags & RDW_INTERNALPAINT)
        W->InternalPaint = true;
    if (Flags & RDW_VALIDATE) {
        W->Update = Rgn ? W->Update.Subtract(Area) : GdiRegion();
        if (Flags & RDW_NOERASE)
            W->NeedErase = false;
        if (Flags & RDW_NOFRAME)
            W->NeedFrame = false;
        if (Flags & RDW_NOINTERNALPAINT)
            W->InternalPaint = false;
        if (W->Update.IsEmpty())
            W->NeedErase = false;
    }
    bool Children = (Flags & RDW_ALLCHILDREN) || (!(Flags & RDW_NOCHILDREN) && !(W->Style & WS_CLIPCHILDREN));
    if (!Children)
        return;
    for (TWnd* C : W->Children) {
        // The part over the child's window rectangle (parent's client coordinates), moved to the
        // child's client coordinates.
        GdiRegion Part = Area.Intersect(GdiRegion::FromRect(C->Rect));
        if (Rgn && Part.IsEmpty())
            continue;
        Part.Offset(-C->Rect.Left - C->Client.Left, -C->Rect.Top - C->Client.Top);
        UINT F = Flags & ~(RDW_UPDATENOW | RDW_ERASENOW);
        if (Flags & RDW_INVALIDATE)
            F |= RDW_FRAME; // what covers a child covers its frame too
        InvalidateRegion(C, Rgn ? &Part : nullptr, F | (Flags & RDW_ALLCHILDREN));
    }
}

void InvalidateArea(TWnd* W, const RECT* R, UINT Flags) {
    if (!R) {
        InvalidateRegion(W, nullptr, Flags);
        return;
    }
    GdiRegion Area = GdiRegion::FromRect(*R);
    InvalidateRegion(W, &Area, Flags);
}

void ValidateArea(TWnd* W, const RECT* R) {
    InvalidateArea(W, R, RDW_VALIDATE | RDW_NOCHILDREN);
}

bool NeedsPaint(TWnd* W) {
    return W && !W->Dead && W->RedrawOff == 0 && VisibleChain(W) &&
           (!W->Update.IsEmpty() || W->InternalPaint || W->NeedFrame);
}

static bool FilterMatches(TWnd* W, HWND Filter) {
    if (!Filter)
        return true;
    TWnd* F = FromHandle(Filter);
    return F && IsDescendant(F, W);
}

TWnd* FindPaintWindow(TWnd* Root, HWND Filter) {
    for (TWnd* C : Root->Children) {
        if (!C->Visible() || C->Dead)
            continue;
        if (NeedsPaint(C) && FilterMatches(C, Filter))
            return C;
        if (TWnd* D = FindPaintWindow(C, Filter))
            return D;
    }
    return nullptr;
}

// Sends WM_NCPAINT and WM_ERASEBKGND when due; the paint itself follows in WM_PAINT.
static void EraseNow(TWnd* W) {
    HWND h = W->Handle;
    if (W->NeedFrame) {
        W->NeedFrame = false;
        Send(W, WM_NCPAINT, 1, 0);
        if (!Alive(h))
            return;
    }
    if (W->NeedErase) {
        W->NeedErase = false;
        GdiRegion Clip = W->Update;
        HDC Dc = MakeWindowDC(W, false, nullptr, &Clip, false, false);
        if (!Send(W, WM_ERASEBKGND, WPARAM(Dc), 0) && Alive(h))
            W->NeedErase = true; // not erased: BeginPaint reports it
        if (Alive(h))
            W = FromHandle(h);
        FreeWindowDC(Dc);
    }
}

static void UpdateNow(TWnd* W, bool Children) {
    HWND h = W->Handle;
    if (NeedsPaint(W)) {
        Send(W, WM_PAINT);
        if (!Alive(h))
            return;
        W->InternalPaint = false;
    }
    if (!Children)
        return;
    std::vector<HWND> Kids;
    for (TWnd* C : W->Children)
        Kids.push_back(C->Handle);
    for (HWND k : Kids)
        if (TWnd* C = FromHandle(k))
            UpdateNow(C, true);
}

static void EraseNowDeep(TWnd* W, bool Children) {
    HWND h = W->Handle;
    if (VisibleChain(W))
        EraseNow(W);
    if (!Children || !Alive(h))
        return;
    std::vector<HWND> Kids;
    for (TWnd* C : W->Children)
        Kids.push_back(C->Handle);
    for (HWND k : Kids)
        if (TWnd* C = FromHandle(k))
            EraseNowDeep(C, true);
}

void DefaultPaint(TWnd* W) {
    PAINTSTRUCT Ps;
    BeginPaint(W->Handle, &Ps);
    EndPaint(W->Handle, &Ps);
}

} // namespace winimpl

using namespace winimpl;

// From another thread the request waits in the queue's lock until the GUI thread takes it.
static bool Deferred(HWND hWnd, const GdiRegion* Rgn, UINT Flags) {
    if (IsGuiThread())
        return false;
    TState& St = S();
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        St.PendingInvalidates.push_back({hWnd, Rgn ? *Rgn : GdiRegion(), Rgn == nullptr, Flags});
        St.QueueSignal.notify_all();
    }
    if (St.Backend)
        St.Backend->Wake();
    return true;
}

namespace winimpl {

void ApplyPendingInvalidates() {
    TState& St = S();
    std::vector<TState::TPendingInvalidate> Todo;
    {
        std::lock_guard<std::mutex> L(St.QueueLock);
        Todo.swap(St.PendingInvalidates);
    }
    for (auto& P : Todo) {
        if (P.Whole) {
            RedrawWindow(P.Wnd, nullptr, nullptr, P.Flags);
            continue;
        }
        HRGN Rgn = CreateRgnFromRegion(P.Area);
        RedrawWindow(P.Wnd, nullptr, Rgn, P.Flags);
        DeleteObject(Rgn);
    }
}

// The area a caller names: a rectangle, a region (its own copy), or nothing for the whole client.
static const GdiRegion* AreaOf(const RECT* R, HRGN Rgn, GdiRegion& Storage) {
    if (R)
        Storage = GdiRegion::FromRect(*R);
    else if (Rgn)
        Storage = GdiRegionOf(Rgn);
    else
        return nullptr;
    return &Storage;
}

} // namespace winimpl

BOOL InvalidateRect(HWND hWnd, const RECT* R, BOOL bErase) {
    return RedrawWindow(hWnd, R, nullptr, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND hWnd, HRGN Rgn, BOOL bErase) {
    return RedrawWindow(hWnd, nullptr, Rgn, RDW_INVALIDATE | (bErase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND hWnd, const RECT* R) {
    return RedrawWindow(hWnd, R, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND hWnd, HRGN Rgn) {
    return RedrawWindow(hWnd, nullptr, Rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL RedrawWindow(HWND hWnd, const RECT* R, HRGN Rgn, UINT Flags) {
    GdiRegion Storage;
    const GdiRegion* Area = AreaOf(R, Rgn, Storage);
    if (Deferred(hWnd, Area, Flags & ~(RDW_UPDATENOW | RDW_ERASENOW)))
        return hWnd == nullptr || IsWindow(hWnd);
    TWnd* W = hWnd ? FromHandle(hWnd) : DesktopWnd();
    if (!W)
        return 0;
    if (W == DesktopWnd()) {
        for (TWnd* C : std::vector<TWnd*>(W->Children))
            InvalidateRegion(C, nullptr, Flags);
    } else {
        InvalidateRegion(W, Area, Flags);
    }
    bool Children = (Flags & RDW_ALLCHILDREN) != 0;
    if (Flags & RDW_ERASENOW)
        EraseNowDeep(W, Children);
    if ((Flags & RDW_UPDATENOW) && Alive(W->Handle))
        UpdateNow(W, Children);
    if ((Flags & RDW_INVALIDATE) && S().Backend)
        S().Backend->Wake();
    return 1;
}

BOOL UpdateWindow(HWND hWnd) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    UpdateNow(W, true);
    return 1;
}

BOOL GetUpdateRect(HWND hWnd, RECT* R, BOOL bErase) {
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    if (bErase && !W->Update.IsEmpty())
        EraseNow(W);
    if (!(W = FromHandle(hWnd)))
        return 0;
    if (R)
        *R = W->Update.IsEmpty() ? RECT{} : W->Update.Bounds();
    return !W->Update.IsEmpty();
}

int GetUpdateRgn(HWND hWnd, HRGN Rgn, BOOL bErase) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Rgn)
        return ERROR;
    if (bErase && !W->Update.IsEmpty())
        EraseNow(W);
    if (!(W = FromHandle(hWnd)))
        return ERROR;
    HRGN Copy = CreateRgnFromRegion(W->Update);
    CombineRgn(Rgn, Copy, nullptr, RGN_COPY);
    DeleteObject(Copy);
    return W->Update.Kind();
}

HDC BeginPaint(HWND hWnd, PAINTSTRUCT* Ps) {
    TWnd* W = FromHandle(hWnd);
    if (!W || !Ps)
        return nullptr;
    *Ps = PAINTSTRUCT{};
    if (W->NeedFrame) {
        W->NeedFrame = false;
        Send(W, WM_NCPAINT, 1, 0);
        if (!(W = FromHandle(hWnd)))
            return nullptr;
    }
    // The DC paints the update region only, exactly as it was invalidated.
    GdiRegion Area = std::move(W->Update);
    W->Update = GdiRegion();
    W->InternalPaint = false;
    bool Erase = W->NeedErase;
    W->NeedErase = false;
    HDC Dc = MakeWindowDC(W, false, nullptr, &Area, false, false);
    Ps->hdc = Dc;
    Ps->rcPaint = Area.IsEmpty() ? RECT{} : Area.Bounds();
    Ps->fErase = FALSE;
    if (Erase) {
        Ps->fErase = Send(W, WM_ERASEBKGND, WPARAM(Dc), 0) ? FALSE : TRUE;
        if (!(W = FromHandle(hWnd)))
            return Dc;
    }
    W->Painting = true;
    return Dc;
}

BOOL EndPaint(HWND hWnd, const PAINTSTRUCT* Ps) {
    if (Ps && Ps->hdc)
        FreeWindowDC(Ps->hdc);
    TWnd* W = FromHandle(hWnd);
    if (!W)
        return 0;
    W->Painting = false;
    WindowPainted(W);
    return 1;
}
