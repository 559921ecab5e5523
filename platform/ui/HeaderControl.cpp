// The header window class and THeaderControl.
#include "platform/ui/HeaderControl.h"

#include "platform/base/SysUtils.h"
#include "platform/ui/StdGlyphs.h"

#include <algorithm>
#include <map>
#include <utility>

// ---------------------------------------------------------------------------------------------
// The native header

namespace {

struct THdItem {
    String Text;
    int Width = 0;
    int Fmt = HDF_LEFT | HDF_STRING;
    int Image = -1;
    LPARAM Param = 0;
};

struct THdData {
    HWND Wnd = nullptr;
    std::vector<THdItem> Items;
    std::vector<int> Order; // item index at each display position
    HIMAGELIST Images = nullptr;
    HFONT Font = nullptr;
    int Pressed = -1;         // the section held down by the mouse
    bool PressedIn = false;   // the mouse is still over it
    int PressX = 0;           // where it was pressed
    bool Dragging = false;    // the pressed section is being moved (HDS_DRAGDROP)
    bool DragRefused = false; // the parent said no to moving it: the press stays a press
    int DragX = 0;
    int Track = -1; // the section whose divider is dragged
    int TrackStartX = 0;
    int TrackStartWidth = 0;
};

std::map<HWND, std::unique_ptr<THdData>>& Headers() {
    static std::map<HWND, std::unique_ptr<THdData>> H;
    return H;
}

THdData* HdOf(HWND h) {
    auto It = Headers().find(h);
    return It == Headers().end() ? nullptr : It->second.get();
}

RECT HdItemRect(const THdData& D, int Item) {
    RECT C{};
    GetClientRect(D.Wnd, &C);
    int X = 0;
    for (int Pos : D.Order) {
        int W = D.Items[std::size_t(Pos)].Width;
        if (Pos == Item)
            return RECT{X, 0, X + W, C.Bottom};
        X += W;
    }
    return RECT{};
}

// The divider zone reaches a few pixels each side of a section's right edge; of dividers that lie
// together, the first section in display order that has a width owns it.
void HdHitTest(const THdData& D, HDHITTESTINFO& Hi) {
    RECT C{};
    GetClientRect(D.Wnd, &C);
    Hi.flags = 0;
    Hi.iItem = -1;
    if (Hi.pt.Y < C.Top || Hi.pt.Y >= C.Bottom || Hi.pt.X < C.Left || Hi.pt.X >= C.Right) {
        Hi.flags = HHT_NOWHERE;
        return;
    }
    int X = 0, Divider = -1, DividerEdge = 0;
    for (int Pos : D.Order) {
        int W = D.Items[std::size_t(Pos)].Width;
        int Right = X + W;
        if (Hi.pt.X >= Right - 4 && Hi.pt.X < Right + 4 && Divider < 0 && (W > 0 || Right > 0)) {
            Divider = Pos;
            DividerEdge = Right;
        }
        X = Right;
    }
    // A zero-width section right of a wider one at the same edge keeps the divider with the wider one.
    if (Divider >= 0 && D.Items[std::size_t(Divider)].Width == 0)
        for (int Pos : D.Order)
            if (HdItemRect(D, Pos).Right == DividerEdge && D.Items[std::size_t(Pos)].Width > 0) {
                Divider = Pos;
                break;
            }
    if (Divider >= 0) {
        Hi.flags = HHT_ONDIVIDER;
        Hi.iItem = Divider;
        return;
    }
    X = 0;
    for (int Pos : D.Order) {
        int W = D.Items[std::size_t(Pos)].Width;
        if (Hi.pt.X >= X && Hi.pt.X < X + W) {
            Hi.flags = HHT_ONHEADER;
            Hi.iItem = Pos;
            return;
        }
        X += W;
    }
    Hi.flags = HHT_NOWHERE | HHT_TORIGHT;
}

// Where a dragged section lands: before the first other section whose middle lies right of X. Answers
// the display position and the x of the gap it goes into.
std::pair<int, int> HdDropPlace(const THdData& D, int Item, int X) {
    int Position = 0, Gap = 0, Left = 0;
    bool Found = false;
    for (int Pos : D.Order) {
        int W = D.Items[std::size_t(Pos)].Width;
        if (Pos != Item && !Found) {
            if (X < Left + W / 2) {
                Gap = Left;
                Found = true;
            } else {
                ++Position;
                Gap = Left + W;
            }
        }
        Left += W;
    }
    return {Position, Gap};
}

// Sections coming or going end a press, a drag or a divider's move, whose section index would go stale.
void HdCancelMouse(THdData& D) {
    D.Pressed = D.Track = -1;
    D.PressedIn = D.Dragging = D.DragRefused = false;
    if (GetCapture() == D.Wnd)
        ReleaseCapture();
}

LRESULT HdNotify(THdData& D, UINT Code, int Item, HDITEMW* It = nullptr) {
    NMHEADERW N;
    N.hdr.hwndFrom = D.Wnd;
    N.hdr.idFrom = UINT_PTR(GetWindowLongPtrW(D.Wnd, GWLP_ID));
    N.hdr.code = Code;
    N.iItem = Item;
    N.pitem = It;
    HWND P = GetParent(D.Wnd);
    return P ? SendMessageW(P, WM_NOTIFY, WPARAM(N.hdr.idFrom), LPARAM(&N)) : 0;
}

// A new width with HDN_ITEMCHANGING (veto) and HDN_ITEMCHANGED around it.
void HdSetWidth(THdData& D, int Item, int Width) {
    if (Item < 0 || Item >= int(D.Items.size()) || D.Items[std::size_t(Item)].Width == Width)
        return;
    HDITEMW It;
    It.mask = HDI_WIDTH;
    It.cxy = Width;
    HWND h = D.Wnd;
    if (HdNotify(D, HDN_ITEMCHANGINGW, Item, &It) || HdOf(h) != &D)
        return;
    D.Items[std::size_t(Item)].Width = std::max(0, It.cxy);
    InvalidateRect(h, nullptr, TRUE);
    It.cxy = D.Items[std::size_t(Item)].Width;
    HdNotify(D, HDN_ITEMCHANGEDW, Item, &It);
}

void HdPaint(THdData& D, HDC Given) {
    PAINTSTRUCT Ps;
    HDC Dc = Given ? Given : BeginPaint(D.Wnd, &Ps);
    if (!Dc)
        return;
    RECT C{};
    GetClientRect(D.Wnd, &C);
    HGDIOBJ OldFont = SelectObject(Dc, D.Font ? HGDIOBJ(D.Font) : GetStockObject(DEFAULT_GUI_FONT));
    SetBkMode(Dc, TRANSPARENT);
    int X = 0;
    for (int Pos : D.Order) {
        const THdItem& It = D.Items[std::size_t(Pos)];
        RECT R{X, 0, X + It.Width, C.Bottom};
        X += It.Width;
        if (It.Width <= 0)
            continue;
        bool Down = Pos == D.Pressed && (D.PressedIn || D.Dragging);
        FillRect(Dc, &R, GetSysColorBrush(COLOR_BTNFACE));
        RECT E = R;
        if (Down)
            FrameRect(Dc, &E, GetSysColorBrush(COLOR_BTNSHADOW));
        else
            DrawEdge(Dc, &E, EDGE_RAISED, BF_RECT);
        RECT T{R.Left + 6 + (Down ? 1 : 0), R.Top + (Down ? 1 : 0), R.Right - 6, R.Bottom};
        int ImgW = 0, ImgH = 0;
        if ((It.Fmt & HDF_IMAGE) && D.Images && It.Image >= 0 && It.Image < ImageList_GetImageCount(D.Images)) {
            ImageList_GetIconSize(D.Images, &ImgW, &ImgH);
            ImageList_Draw(D.Images, It.Image, Dc, T.Left, (T.Top + T.Bottom - ImgH) / 2, ILD_TRANSPARENT);
            T.Left += ImgW + 4;
        }
        if (T.Right > T.Left && !It.Text.empty()) {
            UINT Align = (It.Fmt & HDF_JUSTIFYMASK) == HDF_RIGHT    ? DT_RIGHT
                         : (It.Fmt & HDF_JUSTIFYMASK) == HDF_CENTER ? DT_CENTER
                                                                    : DT_LEFT;
            SetTextColor(Dc, GetSysColor(COLOR_BTNTEXT));
            DrawTextW(Dc, It.Text.c_str(), int(It.Text.size()), &T,
                      Align | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_NOPREFIX);
        }
    }
    if (X < C.Right) {
        // The rest: an empty section face.
        RECT R{X, 0, C.Right, C.Bottom};
        FillRect(Dc, &R, GetSysColorBrush(COLOR_BTNFACE));
        DrawEdge(Dc, &R, EDGE_RAISED, BF_RECT);
    }
    if (D.Dragging) {
        // The drop mark: a bar in the gap the section would go into.
        int Gap = HdDropPlace(D, D.Pressed, D.DragX).second;
        RECT Mark{Gap - 1, 0, Gap + 1, C.Bottom};
        FillRect(Dc, &Mark, GetSysColorBrush(COLOR_HIGHLIGHT));
    }
    SelectObject(Dc, OldFont);
    if (!Given)
        EndPaint(D.Wnd, &Ps);
}

void HdGetItem(const THdData& D, int I, HDITEMW& Out) {
    const THdItem& It = D.Items[std::size_t(I)];
    if (Out.mask & HDI_WIDTH)
        Out.cxy = It.Width;
    if ((Out.mask & HDI_TEXT) && Out.pszText && Out.cchTextMax > 0) {
        int N = std::min(int(It.Text.size()), Out.cchTextMax - 1);
        std::copy(It.Text.begin(), It.Text.begin() + N, Out.pszText);
        Out.pszText[N] = 0;
    }
    if (Out.mask & HDI_FORMAT)
        Out.fmt = It.Fmt;
    if (Out.mask & HDI_LPARAM)
        Out.lParam = It.Param;
    if (Out.mask & HDI_IMAGE)
        Out.iImage = It.Image;
    if (Out.mask & HDI_ORDER)
        Out.iOrder = int(std::find(D.Order.begin(), D.Order.end(), I) - D.Order.begin());
}

void HdSetItem(THdData& D, int I, const HDITEMW& In) {
    THdItem& It = D.Items[std::size_t(I)];
    if (In.mask & HDI_WIDTH)
        It.Width = std::max(0, In.cxy);
    if (In.mask & HDI_TEXT)
        It.Text = In.pszText ? String(In.pszText) : String();
    if (In.mask & HDI_FORMAT)
        It.Fmt = In.fmt;
    if (In.mask & HDI_LPARAM)
        It.Param = In.lParam;
    if (In.mask & HDI_IMAGE)
        It.Image = In.iImage;
    if (In.mask & HDI_ORDER) {
        D.Order.erase(std::find(D.Order.begin(), D.Order.end(), I));
        int At = std::clamp(In.iOrder, 0, int(D.Order.size()));
        D.Order.insert(D.Order.begin() + At, I);
    }
}

LRESULT HdNcCreate(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    auto D = std::make_unique<THdData>();
    D->Wnd = h;
    Headers()[h] = std::move(D);
    return DefWindowProcW(h, Msg, w, l);
}

LRESULT HdNcDestroy(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    Headers().erase(h);
    return DefWindowProcW(h, Msg, w, l);
}

LRESULT HdSetFont(HWND h, THdData& D, WPARAM w, LPARAM l) {
    D.Font = reinterpret_cast<HFONT>(w);
    if (l)
        InvalidateRect(h, nullptr, TRUE);
    return 0;
}

LRESULT HdPaintMessage(THdData& D, WPARAM w) {
    HdPaint(D, reinterpret_cast<HDC>(w));
    return 0;
}

LRESULT HdInsertItem(HWND h, THdData& D, WPARAM w, LPARAM l) {
    int N = int(D.Items.size());
    auto* In = reinterpret_cast<const HDITEMW*>(l);
    if (!In)
        return -1;
    HdCancelMouse(D);
    int At = std::clamp(int(w), 0, N);
    D.Items.insert(D.Items.begin() + At, THdItem{});
    for (int& O : D.Order)
        if (O >= At)
            ++O;
    D.Order.push_back(At);
    HDITEMW Copy = *In;
    if (!(Copy.mask & HDI_ORDER)) {
        Copy.mask |= HDI_ORDER;
        Copy.iOrder = At;
    }
    HdSetItem(D, At, Copy);
    InvalidateRect(h, nullptr, TRUE);
    return At;
}

LRESULT HdDeleteItem(HWND h, THdData& D, WPARAM w) {
    int N = int(D.Items.size());
    int I = int(w);
    if (I < 0 || I >= N)
        return FALSE;
    HdCancelMouse(D);
    D.Items.erase(D.Items.begin() + I);
    D.Order.erase(std::find(D.Order.begin(), D.Order.end(), I));
    for (int& O : D.Order)
        if (O > I)
            --O;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT HdGetSetItem(HWND h, THdData& D, UINT Msg, WPARAM w, LPARAM l) {
    int N = int(D.Items.size());
    int I = int(w);
    auto* It = reinterpret_cast<HDITEMW*>(l);
    if (I < 0 || I >= N || !It)
        return FALSE;
    if (Msg == HDM_GETITEMW) {
        HdGetItem(D, I, *It);
    } else {
        HdSetItem(D, I, *It);
        InvalidateRect(h, nullptr, TRUE);
    }
    return TRUE;
}

LRESULT HdGetItemRect(THdData& D, WPARAM w, LPARAM l) {
    int N = int(D.Items.size());
    int I = int(w);
    if (I < 0 || I >= N || !l)
        return FALSE;
    *reinterpret_cast<RECT*>(l) = HdItemRect(D, I);
    return TRUE;
}

LRESULT HdHitTestMessage(THdData& D, LPARAM l) {
    auto* Hi = reinterpret_cast<HDHITTESTINFO*>(l);
    if (!Hi)
        return -1;
    HdHitTest(D, *Hi);
    return Hi->iItem;
}

LRESULT HdGetOrderArray(THdData& D, WPARAM w, LPARAM l) {
    int N = int(D.Items.size());
    auto* Out = reinterpret_cast<int*>(l);
    if (!Out || int(w) != N)
        return FALSE;
    std::copy(D.Order.begin(), D.Order.end(), Out);
    return TRUE;
}

LRESULT HdSetOrderArray(HWND h, THdData& D, WPARAM w, LPARAM l) {
    int N = int(D.Items.size());
    auto* In = reinterpret_cast<const int*>(l);
    if (!In || int(w) != N)
        return FALSE;
    std::vector<int> New(In, In + N), Sorted = New;
    std::sort(Sorted.begin(), Sorted.end());
    for (int I = 0; I < N; ++I)
        if (Sorted[std::size_t(I)] != I)
            return FALSE; // not a permutation of the items
    D.Order = New;
    InvalidateRect(h, nullptr, TRUE);
    return TRUE;
}

LRESULT HdSetImageList(HWND h, THdData& D, LPARAM l) {
    HIMAGELIST Old = D.Images;
    D.Images = reinterpret_cast<HIMAGELIST>(l);
    InvalidateRect(h, nullptr, TRUE);
    return LRESULT(Old);
}

LRESULT HdLayout(HWND h, THdData& D, LPARAM l) {
    auto* L = reinterpret_cast<HDLAYOUT*>(l);
    if (!L || !L->prc || !L->pwpos)
        return FALSE;
    HDC Dc = GetDC(h);
    HGDIOBJ Old = SelectObject(Dc, D.Font ? HGDIOBJ(D.Font) : GetStockObject(DEFAULT_GUI_FONT));
    TEXTMETRICW Tm{};
    GetTextMetricsW(Dc, &Tm);
    SelectObject(Dc, Old);
    ReleaseDC(h, Dc);
    int Height = Tm.tmHeight + 6;
    *L->pwpos = WINDOWPOS{h, nullptr, L->prc->Left, L->prc->Top, L->prc->Right - L->prc->Left, Height, 0};
    L->prc->Top += Height;
    return TRUE;
}

LRESULT HdSetCursor(HWND h, THdData& D, WPARAM w, LPARAM l) {
    POINT P;
    GetCursorPos(&P);
    ScreenToClient(h, &P);
    HDHITTESTINFO Hi;
    Hi.pt = P;
    HdHitTest(D, Hi);
    if (Hi.flags & HHT_ONDIVIDER) {
        SetCursor(LoadCursorW(nullptr, IDC_SIZEWE));
        return TRUE;
    }
    return DefWindowProcW(h, WM_SETCURSOR, w, l);
}

LRESULT HdLButtonDown(HWND h, THdData& D, UINT Msg, LPARAM l) {
    HDHITTESTINFO Hi;
    Hi.pt = POINT{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    HdHitTest(D, Hi);
    if (Hi.flags & HHT_ONDIVIDER) {
        if (Msg == WM_LBUTTONDBLCLK) {
            HdNotify(D, HDN_DIVIDERDBLCLICKW, Hi.iItem);
            return 0;
        }
        HDITEMW It;
        It.mask = HDI_WIDTH;
        It.cxy = D.Items[std::size_t(Hi.iItem)].Width;
        if (HdNotify(D, HDN_BEGINTRACKW, Hi.iItem, &It) || HdOf(h) != &D)
            return 0; // the parent refused the drag
        D.Track = Hi.iItem;
        D.TrackStartX = Hi.pt.X;
        D.TrackStartWidth = D.Items[std::size_t(Hi.iItem)].Width;
        SetCapture(h);
    } else if (Hi.flags & HHT_ONHEADER) {
        D.Pressed = Hi.iItem;
        D.PressedIn = true;
        D.PressX = Hi.pt.X;
        D.DragRefused = false;
        SetCapture(h);
        InvalidateRect(h, nullptr, TRUE);
    }
    return 0;
}

LRESULT HdMouseMove(HWND h, THdData& D, LPARAM l) {
    POINT P{GET_X_LPARAM(l), GET_Y_LPARAM(l)};
    if (D.Track >= 0) {
        HDITEMW It;
        It.mask = HDI_WIDTH;
        It.cxy = std::max(0, D.TrackStartWidth + P.X - D.TrackStartX);
        int Item = D.Track;
        if (HdNotify(D, HDN_TRACKW, Item, &It) || HdOf(h) != &D)
            return 0;
        HdSetWidth(D, Item, It.cxy);
    } else if (D.Dragging) {
        D.DragX = P.X;
        InvalidateRect(h, nullptr, TRUE);
    } else if (D.Pressed >= 0) {
        if ((GetWindowLongPtrW(h, GWL_STYLE) & HDS_DRAGDROP) && !D.DragRefused &&
            std::abs(P.X - D.PressX) >= GetSystemMetrics(SM_CXDRAG)) {
            // Far enough to be a move, not a click.
            LRESULT Refused = HdNotify(D, HDN_BEGINDRAG, D.Pressed);
            if (HdOf(h) != &D)
                return 0;
            if (!Refused && D.Pressed >= 0) {
                D.Dragging = true;
                D.DragX = P.X;
                InvalidateRect(h, nullptr, TRUE);
                return 0;
            }
            D.DragRefused = true;
        }
        HDHITTESTINFO Hi;
        Hi.pt = P;
        HdHitTest(D, Hi);
        bool In = Hi.iItem == D.Pressed && (Hi.flags & HHT_ONHEADER);
        if (In != D.PressedIn) {
            D.PressedIn = In;
            InvalidateRect(h, nullptr, TRUE);
        }
    }
    return 0;
}

LRESULT HdLButtonUp(HWND h, THdData& D, UINT Msg) {
    if (D.Track >= 0) {
        int Item = D.Track;
        D.Track = -1;
        if (Msg == WM_LBUTTONUP && GetCapture() == h)
            ReleaseCapture();
        HDITEMW It;
        It.mask = HDI_WIDTH;
        It.cxy = D.Items[std::size_t(Item)].Width;
        HdNotify(D, HDN_ENDTRACKW, Item, &It);
    } else if (D.Dragging) {
        int Item = D.Pressed;
        HDITEMW It;
        It.mask = HDI_ORDER;
        It.iOrder = HdDropPlace(D, Item, D.DragX).first;
        D.Dragging = false;
        D.Pressed = -1;
        D.PressedIn = false;
        if (Msg == WM_LBUTTONUP && GetCapture() == h)
            ReleaseCapture();
        InvalidateRect(h, nullptr, TRUE);
        // A drag cut short by another window taking the mouse moves nothing.
        if (Msg == WM_LBUTTONUP && !HdNotify(D, HDN_ENDDRAG, Item, &It) && HdOf(h) == &D && Item < int(D.Items.size()))
            HdSetItem(D, Item, It);
    } else if (D.Pressed >= 0) {
        int Item = D.Pressed;
        bool Fire = D.PressedIn && Msg == WM_LBUTTONUP;
        D.Pressed = -1;
        D.PressedIn = false;
        if (Msg == WM_LBUTTONUP && GetCapture() == h)
            ReleaseCapture();
        InvalidateRect(h, nullptr, TRUE);
        if (Fire)
            HdNotify(D, HDN_ITEMCLICKW, Item);
    }
    return 0;
}

} // namespace

LRESULT HeaderWndProc(HWND h, UINT Msg, WPARAM w, LPARAM l) {
    if (Msg == WM_NCCREATE)
        return HdNcCreate(h, Msg, w, l);
    THdData* Dp = HdOf(h);
    if (!Dp)
        return DefWindowProcW(h, Msg, w, l);
    THdData& D = *Dp;
    int N = int(D.Items.size());
    switch (Msg) {
    case WM_NCDESTROY:
        return HdNcDestroy(h, Msg, w, l);
    case WM_SETFONT:
        return HdSetFont(h, D, w, l);
    case WM_GETFONT:
        return LRESULT(D.Font);
    case WM_ERASEBKGND:
        return 1;
    case WM_PAINT:
        return HdPaintMessage(D, w);
    case HDM_GETITEMCOUNT:
        return N;
    case HDM_INSERTITEMW:
        return HdInsertItem(h, D, w, l);
    case HDM_DELETEITEM:
        return HdDeleteItem(h, D, w);
    case HDM_GETITEMW:
    case HDM_SETITEMW:
        return HdGetSetItem(h, D, Msg, w, l);
    case HDM_GETITEMRECT:
        return HdGetItemRect(D, w, l);
    case HDM_HITTEST:
        return HdHitTestMessage(D, l);
    case HDM_GETORDERARRAY:
        return HdGetOrderArray(D, w, l);
    case HDM_SETORDERARRAY:
        return HdSetOrderArray(h, D, w, l);
    case HDM_ORDERTOINDEX:
        return int(w) >= 0 && int(w) < N ? D.Order[w] : int(w);
    case HDM_SETIMAGELIST:
        return HdSetImageList(h, D, l);
    case HDM_GETIMAGELIST:
        return LRESULT(D.Images);
    case HDM_LAYOUT:
        return HdLayout(h, D, l);
    case WM_SETCURSOR:
        return HdSetCursor(h, D, w, l);
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        return HdLButtonDown(h, D, Msg, l);
    case WM_MOUSEMOVE:
        return HdMouseMove(h, D, l);
    case WM_LBUTTONUP:
    case WM_CAPTURECHANGED:
        return HdLButtonUp(h, D, Msg);
    }
    return DefWindowProcW(h, Msg, w, l);
}

void RegisterHeaderClass() {
    WNDCLASSEXW C;
    if (GetClassInfoExW(nullptr, u"SysHeader32", &C))
        return;
    C = WNDCLASSEXW{};
    C.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
    C.lpfnWndProc = &HeaderWndProc;
    C.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    C.lpszClassName = u"SysHeader32";
    RegisterClassExW(&C);
}

namespace {

int FormatOf(TAlignment A, bool Image) {
    return (A == taRightJustify ? HDF_RIGHT
            : A == taCenter     ? HDF_CENTER
                                : HDF_LEFT) |
           HDF_STRING | (Image ? HDF_IMAGE : 0);
}

} // namespace

void PutHeaderSection(HWND Header, int Index, const String& Text, int Width, TAlignment Align, int Image, bool Insert) {
    HDITEMW It;
    It.mask = HDI_TEXT | HDI_WIDTH | HDI_FORMAT | HDI_IMAGE;
    It.pszText = const_cast<LPWSTR>(Text.c_str());
    It.cxy = Width;
    It.fmt = FormatOf(Align, Image >= 0);
    It.iImage = Image;
    SendMessageW(Header, Insert ? HDM_INSERTITEMW : HDM_SETITEMW, WPARAM(Index), LPARAM(&It));
}

int SectionWidthLimit(int MaxWidth) {
    return MaxWidth > 0 ? MaxWidth : 1 << 30;
}

// ---------------------------------------------------------------------------------------------
// THeaderSection, THeaderControl

void THeaderSection::SetText(const String& Value) {
    FText = Value;
    FOwner->UpdateSection(Index());
}

void THeaderSection::SetWidth(int Value) {
    FWidth = Limit(Value);
    FOwner->UpdateSection(Index());
}

void THeaderSection::SetMinWidth(int Value) {
    FMinWidth = std::max(0, Value);
    SetWidth(FWidth);
}

void THeaderSection::SetMaxWidth(int Value) {
    FMaxWidth = std::max(0, Value);
    SetWidth(FWidth);
}

void THeaderSection::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    FOwner->UpdateSection(Index());
}

void THeaderSection::SetImageIndex(int Value) {
    FImageIndex = Value;
    FOwner->UpdateSection(Index());
}

int THeaderSection::Index() const {
    for (int I = 0; I < FOwner->SectionCount(); ++I)
        if (FOwner->Sections(I) == this)
            return I;
    return -1;
}

int THeaderSection::Limit(int AWidth) const {
    return std::clamp(AWidth, FMinWidth, std::max(FMinWidth, SectionWidthLimit(FMaxWidth)));
}

THeaderControl::THeaderControl(TComponent* AOwner) : TWinControl(AOwner) {
    SetBounds(0, 0, 200, 17);
    SetAlign(alTop);
}

THeaderControl::~THeaderControl() = default;

THeaderSection* THeaderControl::AddSection(const String& Text, int Width) {
    FSections.push_back(std::make_unique<THeaderSection>(this));
    THeaderSection* S = FSections.back().get();
    S->FText = Text;
    S->FWidth = S->Limit(Width);
    if (HandleAllocated())
        PutHeaderSection(FHandle, SectionCount() - 1, S->FText, S->FWidth, S->FAlignment, S->FImageIndex, true);
    return S;
}

void THeaderControl::DeleteSection(int Index) {
    if (Index < 0 || Index >= SectionCount())
        throw EListError(Format(u"List index out of bounds (%d)", {Index}));
    FSections.erase(FSections.begin() + Index);
    if (HandleAllocated())
        SendMessageW(FHandle, HDM_DELETEITEM, WPARAM(Index), 0);
}

void THeaderControl::SetImages(TCustomImageList* Value) {
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    if (HandleAllocated())
        SendMessageW(FHandle, HDM_SETIMAGELIST, 0, LPARAM(FImages ? FImages->Handle() : nullptr));
}

void THeaderControl::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages)
        SetImages(nullptr);
}

void THeaderControl::UpdateSection(int Index) {
    if (!HandleAllocated() || Index < 0)
        return;
    THeaderSection* S = Sections(Index);
    PutHeaderSection(FHandle, Index, S->FText, S->FWidth, S->FAlignment, S->FImageIndex, false);
}

void THeaderControl::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    RegisterHeaderClass();
    Params.WindowClass.style = CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW;
}

void THeaderControl::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, WM_SETFONT, WPARAM(Font()->Handle()), 0);
    if (FImages)
        SendMessageW(FHandle, HDM_SETIMAGELIST, 0, LPARAM(FImages->Handle()));
    for (int I = 0; I < SectionCount(); ++I) {
        THeaderSection* S = Sections(I);
        PutHeaderSection(FHandle, I, S->FText, S->FWidth, S->FAlignment, S->FImageIndex, true);
    }
}

// The native control is the platform's "SysHeader32" window class, which raw windows use too: its procedure answers.
bool THeaderControl::NativeWndProc(TMessage& Message) {
    if (!FHandle || Message.Msg >= CM_BASE)
        return false;
    Message.Result = HeaderWndProc(FHandle, Message.Msg, Message.WParam, Message.LParam);
    return true;
}

void THeaderControl::DefaultHandler(TMessage& Message) {
    if (!NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

void THeaderControl::CNNotify(TMessage& Message) {
    auto* N = reinterpret_cast<NMHEADERW*>(Message.LParam);
    if (N->iItem < 0 || N->iItem >= SectionCount())
        return;
    THeaderSection* S = Sections(N->iItem);
    switch (N->hdr.code) {
    case HDN_BEGINTRACKW:
        if (OnSectionTrack)
            OnSectionTrack(this, S, S->FWidth, tsTrackBegin);
        return;
    case HDN_TRACKW:
        // The section keeps within its limits while the divider moves.
        N->pitem->cxy = S->Limit(N->pitem->cxy);
        if (OnSectionTrack)
            OnSectionTrack(this, S, N->pitem->cxy, tsTrackMove);
        return;
    case HDN_ENDTRACKW:
        if (OnSectionTrack)
            OnSectionTrack(this, S, S->FWidth, tsTrackEnd);
        return;
    case HDN_ITEMCHANGEDW:
        if (N->pitem && (N->pitem->mask & HDI_WIDTH) && N->pitem->cxy != S->FWidth) {
            S->FWidth = N->pitem->cxy;
            if (OnSectionResize)
                OnSectionResize(this, S);
        }
        return;
    case HDN_ITEMCLICKW:
        if (OnSectionClick)
            OnSectionClick(this, S);
        return;
    }
}

void THeaderControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
    case WM_ERASEBKGND:
        DefaultHandler(Message);
        return;
    case CN_NOTIFY:
        CNNotify(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_MOUSEMOVE:
    case WM_LBUTTONUP:
        // The window tracks the mouse itself.
        DefaultHandler(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}
