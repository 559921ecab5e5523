// The images menu and its grid window: opening and closing with their events, the cell layout, placement in the
// work area, the keys and the mouse of the open grid, and its painting in the skin look or the default look.
#include "skin/forms/TbsSkinImagesMenu.h"

#include <algorithm>

#include "skin/core/bsUtils.h"
#include "skin/forms/bsSkinHint.h"

namespace {

TBitmap* ActivePictureAt(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

template <class R> R* ControlRecord(TbsSkinData* SD, const String& Name) {
    if (!SD || SD->Empty)
        return nullptr;
    const int I = SD->GetControlIndex(Name);
    return I < 0 ? nullptr : dynamic_cast<R*>(SD->CtrlList[std::size_t(I)].get());
}

TbsDataSkinMenuItem* MenuItemRecord(TbsSkinData* SD) {
    if (!SD || SD->Empty)
        return nullptr;
    for (const char16_t* Name : {u"menuitem", u"MENUITEM"})
        if (const int I = SD->GetIndex(Name); I >= 0)
            return dynamic_cast<TbsDataSkinMenuItem*>(SD->ObjectList[std::size_t(I)].get());
    return nullptr;
}

TbsDataSkinButtonControl* CellRecord(TbsSkinData* SD) {
    if (auto* B = ControlRecord<TbsDataSkinButtonControl>(SD, u"menuitembutton"))
        return B;
    return ControlRecord<TbsDataSkinButtonControl>(SD, u"resizebutton");
}

void DrawText1(TCanvas* C, const String& Text, TRect R, UINT Format) {
    DrawTextW(C->Handle(), reinterpret_cast<LPCWSTR>(Text.c_str()), int(Text.size()), reinterpret_cast<RECT*>(&R),
              Format);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Items and the menu

TbsImagesMenuItems::TbsImagesMenuItems(TbsSkinImagesMenu* AImagesMenu)
    : TOwnedCollection(AImagesMenu, TCollection::ItemClassOf<TbsImagesMenuItem>()) {}

TbsSkinImagesMenu::TbsSkinImagesMenu(TComponent* AOwner) : TbsCustomImagesMenu(AOwner) {
    FImagesItems = std::make_unique<TbsImagesMenuItems>(this);
    FDefaultFont = std::make_unique<TFont>();
    FDefaultFont->SetName(u"Arial");
    FDefaultFont->SetHeight(14);
}

TbsSkinImagesMenu::~TbsSkinImagesMenu() {
    // An open grid gives the application's message event and the mouse back before it goes.
    if (FPopupWindow) {
        std::unique_ptr<TbsSkinImagesMenuPopupWindow> W = std::move(FPopupWindow);
        W->Hide(false);
    }
    FPopupWindow.reset();
    FClosedWindow.reset();
    FImagesItems.reset();
}

void TbsSkinImagesMenu::SetImages(TCustomImageList* Value) {
    FImages = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinImagesMenu::SetColumnsCount(int Value) {
    if (Value > 0 && Value < 51)
        FColumnsCount = Value;
}

void TbsSkinImagesMenu::SetSkinData(TbsSkinData* Value) {
    FSkinData = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinImagesMenu::SetSkinHint(TbsSkinHint* Value) {
    FSkinHint = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinImagesMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TbsCustomImagesMenu::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FImages)
        FImages = nullptr;
    if (AComponent == FSkinData)
        FSkinData = nullptr;
    if (AComponent == FSkinHint)
        FSkinHint = nullptr;
}

TbsImagesMenuItem* TbsSkinImagesMenu::GetSelectedItem() {
    if (FItemIndex < 0 || FItemIndex >= FImagesItems->Count())
        return nullptr;
    return FImagesItems->Items(FItemIndex);
}

void TbsSkinImagesMenu::Popup(int X, int Y) {
    PopupFromRect(TRect{X, Y, X, Y});
}

void TbsSkinImagesMenu::PopupFromRect(const TRect& R) {
    Hide();
    if (OnMenuPopup)
        OnMenuPopup(this);
    // The grid is laid out from its items: without any there is nothing to show.
    if (!FImages || FImages->Count() == 0 || FImagesItems->Count() == 0 || FPopupWindow)
        return;
    FOldItemIndex = FItemIndex;
    FClosedWindow.reset();
    FPopupWindow = std::make_unique<TbsSkinImagesMenuPopupWindow>(this);
    FPopupWindow->Show(R);
}

void TbsSkinImagesMenu::Hide() {
    if (FPopupWindow)
        FPopupWindow->Hide(false);
}

void TbsSkinImagesMenu::CloseUp(bool AProcessEvents) {
    FClosedWindow = std::move(FPopupWindow);
    if (FOnInternalMenuClose)
        FOnInternalMenuClose(this);
    if (OnMenuClose)
        OnMenuClose(this);
    if (!AProcessEvents || FItemIndex == -1)
        return;
    if (TbsImagesMenuItem* Item = GetSelectedItem(); Item && Item->OnClick)
        Item->OnClick(this);
    if (OnItemClick)
        OnItemClick(this);
    if (FItemIndex != FOldItemIndex) {
        if (FOnInternalChange)
            FOnInternalChange(this);
        if (OnChange)
            OnChange(this);
    }
}

// ---------------------------------------------------------------------------------------------
// The grid window

TbsSkinImagesMenuPopupWindow::TbsSkinImagesMenuPopupWindow(TbsSkinImagesMenu* AMenu)
    : TCustomControl(nullptr), ImagesMenu(AMenu) {
    SetVisible(false);
}

TbsSkinImagesMenuPopupWindow::~TbsSkinImagesMenuPopupWindow() {
    *FAlive = false;
    HideHint();
    UnhookAppMessages();
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
    if (FRgn)
        DeleteObject(FRgn);
}

void TbsSkinImagesMenuPopupWindow::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    Params.Style = WS_POPUP;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WndParent = nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
}

int TbsSkinImagesMenuPopupWindow::ItemCount() const {
    return ImagesMenu->ImagesItems()->Count();
}

TbsImagesMenuItem* TbsSkinImagesMenuPopupWindow::Item(int Index) const {
    return ImagesMenu->ImagesItems()->Items(Index);
}

TbsDataSkinPopupWindow* TbsSkinImagesMenuPopupWindow::PopupData() const {
    TbsSkinData* SD = ImagesMenu->SkinData();
    return SD && !SD->Empty ? SD->PopupWindow.get() : nullptr;
}

bool TbsSkinImagesMenuPopupWindow::CheckSkinSupport() const {
    TbsDataSkinPopupWindow* PW = PopupData();
    return PW && PW->WindowPictureIndex != -1 && ActivePictureAt(ImagesMenu->SkinData(), PW->WindowPictureIndex);
}

void TbsSkinImagesMenuPopupWindow::CalcItemRects() {
    TCustomImageList* L = ImagesMenu->Images();
    const int CW = L->Width() + 10, CH = L->Height() + 10;
    const int RW = ImagesMenu->ColumnsCount() * CW;
    const TPoint Start = FSkinSupport ? TPoint{PopupData()->ItemsRect.Left, PopupData()->ItemsRect.Top} : TPoint{5, 5};
    auto* Label = ControlRecord<TbsDataSkinLabelControl>(ImagesMenu->SkinData(), u"label");
    const int LabelHeight = Label ? GetRectHeight(Label->SkinRect) : CH;
    int X = Start.X, Y = Start.Y;
    for (int I = 0; I < ItemCount(); ++I) {
        TbsImagesMenuItem* It = Item(I);
        if (It->Header || It->Button) {
            if (X != Start.X)
                Y += CH + 1;
            X = Start.X;
            const int H = It->Header ? LabelHeight : CH;
            It->ItemRect = TRect{Start.X, Y, Start.X + RW, Y + H};
            Y += H + 1;
            continue;
        }
        It->ItemRect = TRect{X, Y, X + CW, Y + CH};
        X += CW;
        if (X + CW > Start.X + RW) {
            X = Start.X;
            Y += CH + 1;
        }
    }
}

void TbsSkinImagesMenuPopupWindow::CalcSize() {
    const int RW = ImagesMenu->ColumnsCount() * (ImagesMenu->Images()->Width() + 10);
    const int Content = Item(ItemCount() - 1)->ItemRect.Bottom - Item(0)->ItemRect.Top;
    if (!FSkinSupport) {
        SetBounds(Left(), Top(), RW + 10, Content + 10);
        return;
    }
    TbsDataSkinPopupWindow* PW = PopupData();
    TbsSkinData* SD = ImagesMenu->SkinData();
    WindowPicture = ActivePictureAt(SD, PW->WindowPictureIndex);
    MaskPicture = ActivePictureAt(SD, PW->MaskPictureIndex);
    const int PWd = WindowPicture->Width(), PHt = WindowPicture->Height();
    const int W = PWd + RW - GetRectWidth(PW->ItemsRect);
    const int H = PHt + Content - GetRectHeight(PW->ItemsRect);
    SetBounds(Left(), Top(), W, H);
    NewLTPoint = PW->LTPoint;
    NewRTPoint = TPoint{W + PW->RTPoint.X - PWd, PW->RTPoint.Y};
    NewLBPoint = TPoint{PW->LBPoint.X, H + PW->LBPoint.Y - PHt};
    NewRBPoint = TPoint{W + PW->RBPoint.X - PWd, H + PW->RBPoint.Y - PHt};
    NewItemsRect =
        TRect{PW->ItemsRect.Left, PW->ItemsRect.Top, W + PW->ItemsRect.Right - PWd, H + PW->ItemsRect.Bottom - PHt};
    if (MaskPicture) {
        HRGN Rgn = nullptr;
        CreateSkinRegion(Rgn, PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint, NewRTPoint,
                         NewLBPoint, NewRBPoint, NewItemsRect, MaskPicture, W, H);
        SetWindowRgn(Handle(), Rgn, true);
        if (FRgn)
            DeleteObject(FRgn);
        FRgn = Rgn;
    }
}

void TbsSkinImagesMenuPopupWindow::Show(const TRect& PopupRect) {
    FSkinSupport = CheckSkinSupport();
    HandleNeeded();
    CalcItemRects();
    CalcSize();
    int X = PopupRect.Left, Y = PopupRect.Bottom;
    HWND AreaWnd = nullptr;
    if (Screen && Screen->ActiveForm() && Screen->ActiveForm()->HandleAllocated())
        AreaWnd = Screen->ActiveForm()->Handle();
    else if (Application && Application->MainForm() && Application->MainForm()->Visible())
        AreaWnd = Application->MainForm()->Handle();
    else if (auto* Owner = dynamic_cast<TWinControl*>(ImagesMenu->Owner()); Owner && Owner->HandleAllocated())
        AreaWnd = Owner->Handle();
    TRect Area;
    GetMonitorWorkArea(AreaWnd, true, Area);
    if (Y + Height() > Area.Bottom)
        Y -= Height() + GetRectHeight(PopupRect);
    if (X + Width() > Area.Right)
        X -= X + Width() - Area.Right;
    X = std::max(X, int(Area.Left));
    Y = std::max(Y, int(Area.Top));
    const bool Layered = IsWindows2000OrLater() && ImagesMenu->AlphaBlend();
    const bool Fade = Layered && ImagesMenu->AlphaBlendAnimation();
    if (Layered) {
        SetWindowLongW(Handle(), GWL_EXSTYLE, GetWindowLongW(Handle(), GWL_EXSTYLE) | WS_EX_LAYERED);
        SetLayeredWindowAlpha(Handle(), Fade ? 0 : ImagesMenu->AlphaBlendValue());
    }
    SetWindowPos(Handle(), HWND_TOPMOST, X, Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    SetVisible(true);
    if (Fade) {
        std::weak_ptr<bool> Alive = FAlive;
        Application->ProcessMessages();
        if (Alive.expired() || !Visible())
            return;
        FadeIn();
    }
    HookAppMessages();
    SetCapture(Handle());
}

void TbsSkinImagesMenuPopupWindow::FadeIn() {
    const int Target = ImagesMenu->AlphaBlendValue();
    int Alpha = 0;
    DWORD Last = GetTickCount();
    // No messages run meanwhile, so nothing can free the window under the loop.
    while (Alpha < Target) {
        const DWORD Now = GetTickCount();
        if (Now - Last > 5) {
            Last = Now;
            Alpha = std::min(Target, Alpha + 10);
            SetLayeredWindowAlpha(Handle(), BYTE(Alpha));
        }
    }
}

void TbsSkinImagesMenuPopupWindow::Hide(bool AProcessEvents) {
    HideHint();
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    SetVisible(false);
    UnhookAppMessages();
    if (HandleAllocated() && GetCapture() == Handle())
        ReleaseCapture();
    ImagesMenu->CloseUp(AProcessEvents);
}

void TbsSkinImagesMenuPopupWindow::HideHint() {
    if (ImagesMenu->ShowHints() && ImagesMenu->SkinHint())
        ImagesMenu->SkinHint()->HideHint();
}

void TbsSkinImagesMenuPopupWindow::HookAppMessages() {
    if (FHooked || !Application)
        return;
    FHooked = true;
    OldAppMessage = Application->OnMessage;
    Application->OnMessage = [this](MSG& Msg, bool& Handled) { AppMessage(Msg, Handled); };
}

void TbsSkinImagesMenuPopupWindow::UnhookAppMessages() {
    if (!FHooked)
        return;
    FHooked = false;
    if (Application)
        Application->OnMessage = OldAppMessage;
    OldAppMessage = nullptr;
}

void TbsSkinImagesMenuPopupWindow::AppMessage(MSG& Msg, bool& Handled) {
    switch (Msg.message) {
    case WM_KEYDOWN: {
        const int Key = int(Msg.wParam);
        Msg.message = WM_NULL;
        Handled = true;
        ProcessKey(Key);
        return;
    }
    case WM_MOVE:
    case WM_SIZE:
    case WM_ACTIVATE:
    case WM_KILLFOCUS:
    case WM_CANCELMODE:
    case WM_MOUSEACTIVATE:
    case WM_NCLBUTTONDOWN:
    case WM_NCRBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
    case WM_SYSKEYDOWN:
    case WM_SYSCHAR:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_PARENTNOTIFY:
        Hide(false);
        return;
    }
}

// ---------------------------------------------------------------------------------------------
// Keys and mouse

void TbsSkinImagesMenuPopupWindow::SetMouseInItem(int Index) {
    if (Index == MouseInItem)
        return;
    MouseInItem = Index;
    Invalidate();
}

void TbsSkinImagesMenuPopupWindow::ProcessKey(int KeyCode) {
    const int N = ItemCount();
    auto IsHeader = [this](int I) { return Item(I)->Header; };
    const int First = (N > 1 && IsHeader(0)) ? 1 : 0;
    const int Cur = MouseInItem;
    switch (KeyCode) {
    case VK_RETURN:
    case VK_SPACE:
        if (Cur != -1)
            ImagesMenu->SetItemIndex(Cur);
        Hide(true);
        return;
    case VK_ESCAPE:
        Hide(false);
        return;
    case VK_LEFT:
        if (Cur == -1 || Cur <= First) {
            SetMouseInItem(N - 1);
            return;
        }
        for (int I = Cur - 1; I >= 0; --I)
            if (!IsHeader(I)) {
                SetMouseInItem(I);
                return;
            }
        return;
    case VK_RIGHT:
        if (Cur == -1 || Cur == N - 1) {
            SetMouseInItem(First);
            return;
        }
        for (int I = Cur + 1; I < N; ++I)
            if (!IsHeader(I)) {
                SetMouseInItem(I);
                return;
            }
        return;
    case VK_UP: {
        if (Cur == -1) {
            SetMouseInItem(N - 1);
            return;
        }
        const TRect C = Item(Cur)->ItemRect;
        for (int I = Cur - 1; I >= 0; --I) {
            TbsImagesMenuItem* It = Item(I);
            if (!It->Header && It->ItemRect.Top < C.Top && (It->Button || It->ItemRect.Left == C.Left)) {
                SetMouseInItem(I);
                return;
            }
        }
        return;
    }
    case VK_DOWN: {
        if (Cur == -1) {
            SetMouseInItem(First);
            return;
        }
        const TRect C = Item(Cur)->ItemRect;
        for (int I = Cur + 1; I < N; ++I) {
            TbsImagesMenuItem* It = Item(I);
            if (!It->Header && It->ItemRect.Top > C.Top && (It->Button || It->ItemRect.Left == C.Left)) {
                SetMouseInItem(I);
                return;
            }
        }
        return;
    }
    }
}

int TbsSkinImagesMenuPopupWindow::GetItemFromPoint(const TPoint& P) const {
    for (int I = 0; I < ItemCount(); ++I) {
        TbsImagesMenuItem* It = Item(I);
        const TRect& R = It->ItemRect;
        if (!It->Header && P.X >= R.Left && P.X <= R.Right && P.Y >= R.Top && P.Y <= R.Bottom)
            return I;
    }
    return -1;
}

void TbsSkinImagesMenuPopupWindow::MouseMove(TShiftState Shift, int X, int Y) {
    TCustomControl::MouseMove(Shift, X, Y);
    MouseInItem = GetItemFromPoint(TPoint{X, Y});
    TbsSkinHint* Hint = ImagesMenu->SkinHint();
    if (Hint && MouseInItem == -1)
        Hint->HideHint();
    if (MouseInItem == OldMouseInItem)
        return;
    OldMouseInItem = MouseInItem;
    Invalidate();
    if (ImagesMenu->ShowHints() && MouseInItem != -1 && Hint) {
        Hint->HideHint();
        if (!Item(MouseInItem)->Hint.empty())
            Hint->ActivateHint2(Item(MouseInItem)->Hint);
    }
}

void TbsSkinImagesMenuPopupWindow::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseDown(Button, Shift, X, Y);
    HideHint();
    FDown = true;
    FItemDown = GetItemFromPoint(TPoint{X, Y}) != -1;
    Invalidate();
}

void TbsSkinImagesMenuPopupWindow::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TCustomControl::MouseUp(Button, Shift, X, Y);
    if (!FDown)
        return;
    FDown = false;
    const int I = GetItemFromPoint(TPoint{X, Y});
    if (I != -1) {
        FItemDown = false;
        ImagesMenu->SetItemIndex(I);
        Hide(true);
        return;
    }
    FItemDown = false;
    ReleaseCapture();
    SetCapture(Handle());
    Invalidate();
}

void TbsSkinImagesMenuPopupWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case CM_MOUSELEAVE:
        HideHint();
        MouseInItem = OldMouseInItem = -1;
        Invalidate();
        return;
    case CM_MOUSEENTER:
        return;
    }
    std::weak_ptr<bool> Alive = FAlive;
    TCustomControl::Dispatch(Message);
    if (Alive.expired() || !Visible())
        return;
    // A press outside the grid closes it.
    if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_LBUTTONDBLCLK) {
        POINT P;
        GetCursorPos(&P);
        if (WindowFromPoint(P) != Handle())
            Hide(false);
    }
}

// ---------------------------------------------------------------------------------------------
// Painting

void TbsSkinImagesMenuPopupWindow::DrawHeader(TCanvas* C, TbsImagesMenuItem* I) {
    const TRect& R = I->ItemRect;
    auto* L = ControlRecord<TbsDataSkinLabelControl>(ImagesMenu->SkinData(), u"label");
    TBitmap* Picture = L ? ActivePictureAt(ImagesMenu->SkinData(), L->PictureIndex) : nullptr;
    if (!L || !Picture) {
        C->Brush()->SetStyle(bsClear);
        DrawText1(C, I->Caption, R, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        return;
    }
    const int SW = GetRectWidth(L->SkinRect);
    TBitmap B(GetRectWidth(R), GetRectHeight(L->SkinRect));
    DrawSkinStripH(L->LTPoint.X, SW - L->RTPoint.X, &B, Picture, L->SkinRect, B.Width(), B.Height(), L->StretchEffect);
    TCanvas* BC = B.Canvas();
    BC->Font()->SetName(L->FontName);
    BC->Font()->SetHeight(L->FontHeight);
    BC->Font()->SetStyle(L->FontStyle);
    BC->Font()->SetColor(L->FontColor);
    BC->Font()->SetCharset(C->Font()->Charset());
    BC->Brush()->SetStyle(bsClear);
    DrawText1(BC, I->Caption, TRect{L->ClRect.Left, L->ClRect.Top, B.Width() + L->ClRect.Right - SW, B.Height()},
              DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    C->Draw(R.Left, R.Top, &B);
}

void TbsSkinImagesMenuPopupWindow::DrawCellFrame(TCanvas* C, const TRect& R, bool Pressed) {
    TbsDataSkinButtonControl* B = FSkinSupport ? CellRecord(ImagesMenu->SkinData()) : nullptr;
    TBitmap* Picture = B ? ActivePictureAt(ImagesMenu->SkinData(), B->PictureIndex) : nullptr;
    if (!B || !Picture) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clNavy);
        C->FrameRect(R);
        C->Brush()->SetColor(Pressed ? TColor(RGB(133, 147, 181)) : TColor(RGB(182, 189, 210)));
        C->FillRect(TRect{R.Left + 1, R.Top + 1, R.Right - 1, R.Bottom - 1});
        return;
    }
    TRect Src = Pressed ? (IsNullRect(B->DownSkinRect) ? B->ActiveSkinRect : B->DownSkinRect) : B->ActiveSkinRect;
    if (IsNullRect(Src))
        Src = B->SkinRect;
    const int W = GetRectWidth(R), H = GetRectHeight(R);
    const int SW = GetRectWidth(B->SkinRect), SH = GetRectHeight(B->SkinRect);
    const TPoint NLT = B->LTPoint, NRT{W - (SW - B->RTPoint.X), B->RTPoint.Y},
                 NLB{B->LBPoint.X, H - (SH - B->LBPoint.Y)}, NRB{W - (SW - B->RBPoint.X), H - (SH - B->RBPoint.Y)};
    const TRect NCl{B->ClRect.Left, B->ClRect.Top, W - (SW - B->ClRect.Right), H - (SH - B->ClRect.Bottom)};
    TBitmap Face;
    DrawNinePartSkinImage(B->LTPoint, B->RTPoint, B->LBPoint, B->RBPoint, B->ClRect, NLT, NRT, NLB, NRB, NCl, &Face,
                          Picture, Src, W, H, true, B->LeftStretch, B->TopStretch, B->RightStretch, B->BottomStretch,
                          B->StretchEffect, B->StretchType);
    C->Draw(R.Left, R.Top, &Face);
}

void TbsSkinImagesMenuPopupWindow::DrawButtonCaption(TCanvas* C, TbsImagesMenuItem* I, TRect R, bool Pressed,
                                                     bool Hover, bool ImageDrawn) {
    if (ImageDrawn)
        R.Left += ImagesMenu->Images()->Width() + 5;
    TbsSkinData* SD = ImagesMenu->SkinData();
    TbsDataSkinButtonControl* B = FSkinSupport ? CellRecord(SD) : nullptr;
    TbsDataSkinMenuItem* MI = FSkinSupport ? MenuItemRecord(SD) : nullptr;
    if (B && MI) {
        if (ImagesMenu->UseSkinFont()) {
            C->Font()->SetName(B->FontName);
            C->Font()->SetHeight(B->FontHeight);
            C->Font()->SetStyle(B->FontStyle);
        } else {
            C->Font()->Assign(ImagesMenu->DefaultFont());
        }
        C->Font()->SetCharset(SD->ResourceStrData() ? SD->ResourceStrData()->CharSet()
                                                    : ImagesMenu->DefaultFont()->Charset());
        C->Font()->SetColor(Pressed ? B->DownFontColor : Hover ? B->ActiveFontColor : MI->FontColor);
    } else {
        C->Font()->Assign(ImagesMenu->DefaultFont());
        C->Font()->SetColor(clWindowText);
    }
    C->Brush()->SetStyle(bsClear);
    const bool Fits = C->TextWidth(I->Caption) <= GetRectWidth(R);
    DrawText1(C, I->Caption, R, (Fits ? DT_CENTER : DT_LEFT) | DT_VCENTER | DT_SINGLELINE);
}

void TbsSkinImagesMenuPopupWindow::Paint() {
    const int W = Width(), H = Height();
    if (W <= 0 || H <= 0)
        return;
    FSkinSupport = CheckSkinSupport();
    TBitmap B(W, H);
    TCanvas* C = B.Canvas();
    C->Font()->Assign(ImagesMenu->DefaultFont());
    if (FSkinSupport && WindowPicture) {
        TbsDataSkinPopupWindow* PW = PopupData();
        DrawNinePartSkinImageAlt(PW->LTPoint, PW->RTPoint, PW->LBPoint, PW->RBPoint, PW->ItemsRect, NewLTPoint,
                                 NewRTPoint, NewLBPoint, NewRBPoint, NewItemsRect, &B, WindowPicture,
                                 Rect(0, 0, WindowPicture->Width(), WindowPicture->Height()), W, H, true,
                                 PW->LeftStretch, PW->TopStretch, PW->RightStretch, PW->BottomStretch,
                                 PW->StretchEffect, PW->StretchType);
    } else {
        C->Pen()->SetColor(clBtnShadow);
        C->Brush()->SetColor(clWindow);
        C->Brush()->SetStyle(bsSolid);
        C->Rectangle(0, 0, W, H);
    }
    const int Selected = ImagesMenu->ShowSelectedItem() ? ImagesMenu->ItemIndex() : -1;
    TCustomImageList* L = ImagesMenu->Images();
    for (int I = 0; I < ItemCount(); ++I) {
        TbsImagesMenuItem* It = Item(I);
        const TRect R = It->ItemRect;
        if (It->Header) {
            DrawHeader(C, It);
            continue;
        }
        bool Pressed = false, Hover = false;
        if (I == Selected && !FItemDown)
            Pressed = true;
        else if (I == MouseInItem) {
            Pressed = FItemDown;
            Hover = !FItemDown;
        }
        if (Pressed || Hover)
            DrawCellFrame(C, R, Pressed);
        const bool ImageDrawn = It->ImageIndex >= 0 && It->ImageIndex < L->Count();
        if (ImageDrawn)
            L->Draw(C, R.Left + 5, R.Top + 5, It->ImageIndex, true);
        if (It->Button && !It->Caption.empty())
            DrawButtonCaption(C, It, R, Pressed, Hover, ImageDrawn);
    }
    Canvas()->Draw(0, 0, &B);
}
