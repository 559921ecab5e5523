// The skinned main menu and the menu bar: building the objects, layout and painting, tracking, the keyboard
// menu mode the form component drives, and a maximized MDI child's buttons.
#include "skin/forms/TbsSkinMainMenuBar.h"

#include <algorithm>

#include "skin/core/bsUtils.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsSkinForm.h"
#include "skin/forms/TbsSkinMenu.h"

namespace {

TBitmap* ActivePictureAt(TbsSkinData* SD, int Index) {
    if (!SD || Index < 0 || Index >= int(SD->FActivePictures.size()))
        return nullptr;
    return SD->FActivePictures[std::size_t(Index)].get();
}

TbsDataSkinObject* SkinObject(TbsSkinData* SD, const String& Name) {
    if (!SD || SD->Empty || Name.empty())
        return nullptr;
    const int I = SD->GetIndex(Name);
    return I < 0 ? nullptr : SD->ObjectList[std::size_t(I)].get();
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsSkinMainMenu

void TbsSkinMainMenu::SetSkinData(TbsSkinData* Value) {
    FSD = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMainMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSD)
        FSD = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Construction and properties

TbsSkinMainMenuBar::TbsSkinMainMenuBar(TComponent* AOwner) : TbsSkinControl(AOwner) {
    FSkinDataName = u"mainmenubar";
    FDefItemFont = std::make_unique<TFont>();
    FDefItemFont->SetName(u"Arial");
    FDefItemFont->SetHeight(14);
    FDefItemFont->SetColor(clBtnText);
    auto MakeTimer = [this](Cardinal Interval, void (TbsSkinMainMenuBar::*Tick)()) {
        auto T = std::make_unique<TTimer>(nullptr);
        T->SetEnabled(false);
        T->SetInterval(Interval);
        T->OnTimer = [this, Tick](TObject*) { (this->*Tick)(); };
        return T;
    };
    MouseTimer = MakeTimer(50, &TbsSkinMainMenuBar::MouseTimerTick);
    MorphTimer = MakeTimer(25, &TbsSkinMainMenuBar::MorphTimerTick);
    AnimateTimer = MakeTimer(25, &TbsSkinMainMenuBar::AnimateTimerTick);
    SetAlign(alTop);
    SetHeight(22);
}

TbsSkinMainMenuBar::~TbsSkinMainMenuBar() {
    // The form component may close its menus while this control's window goes: it no longer reaches the bar.
    if (BSF && BSF->MainMenuBar() == this)
        BSF->SetMainMenuBar(nullptr);
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    AnimateTimer->SetEnabled(false);
    ObjectList.clear();
    FRetired.clear();
}

void TbsSkinMainMenuBar::SetMainMenu(TMainMenu* Value) {
    FMainMenu = Value;
    if (Value)
        Value->FreeNotification(this);
    CreateMenu();
    Repaint();
}

void TbsSkinMainMenuBar::SetSkinForm(TbsSkinForm* Value) {
    BSF = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinMainMenuBar::SetDefaultWidth(int Value) {
    FDefaultWidth = Value;
    if (Value > 0 && FIndex == -1)
        SetWidth(Value);
}

void TbsSkinMainMenuBar::SetDefaultHeight(int Value) {
    FDefaultHeight = Value;
    if (Value > 0 && FIndex == -1)
        SetHeight(Value);
}

void TbsSkinMainMenuBar::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FMainMenu) {
        FMainMenu = nullptr;
        ClearObjects();
    }
    if (AComponent == FMergeMenu) {
        FMergeMenu = nullptr;
        ClearObjects();
    }
    if (AComponent == BSF)
        BSF = nullptr;
}

void TbsSkinMainMenuBar::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FIndex != -1 && !IsNullRect(SkinRect))
        AHeight = GetRectHeight(SkinRect);
    TbsSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

// ---------------------------------------------------------------------------------------------
// Skin

void TbsSkinMainMenuBar::GetSkinData() {
    TbsSkinControl::GetSkinData();
    SkinRect = ItemsRect = TRect{};
    MenuBarItem = CloseButton = MaxButton = MinButton = SysMenuButton = String();
    TrackMarkColor = TrackMarkActiveColor = 0;
    Picture = nullptr;
    StretchEffect = ItemTransparent = false;
    auto* R = FIndex == -1 ? nullptr : dynamic_cast<TbsDataSkinMainMenuBar*>(FSD->CtrlList[std::size_t(FIndex)].get());
    if (!R) {
        FIndex = -1;
        return;
    }
    SkinRect = R->SkinRect;
    ItemsRect = R->ItemsRect;
    MenuBarItem = R->MenuBarItem;
    CloseButton = R->CloseButton;
    MaxButton = R->MaxButton;
    MinButton = R->MinButton;
    SysMenuButton = R->SysMenuButton;
    TrackMarkColor = R->TrackMarkColor;
    TrackMarkActiveColor = R->TrackMarkActiveColor;
    StretchEffect = R->StretchEffect;
    ItemTransparent = R->ItemTransparent;
    Picture = ActivePictureAt(FSD, R->PictureIndex);
}

void TbsSkinMainMenuBar::ChangeSkinData() {
    GetSkinData();
    FSkinSupport = FIndex != -1;
    CreateMenu();
    if (FSkinSupport && !IsNullRect(SkinRect))
        SetHeight(GetRectHeight(SkinRect));
    else if (FDefaultHeight > 0)
        SetHeight(FDefaultHeight);
    Repaint();
}

void TbsSkinMainMenuBar::BeforeChangeSkinData() {
    FSkinSupport = false;
    TbsSkinControl::BeforeChangeSkinData();
    ClearObjects();
}

bool TbsSkinMainMenuBar::TransparentBar() const {
    return FIndex != -1 && FSD && FSD->MainMenuBarTransparent;
}

// ---------------------------------------------------------------------------------------------
// Objects

void TbsSkinMainMenuBar::ClearObjects() {
    FRetired = std::move(ObjectList);
    ObjectList.clear();
    ButtonsCount = 0;
    ActiveObject = OldActiveObject = MouseCaptureObject = -1;
}

TMainMenu* TbsSkinMainMenuBar::GetChildMainMenu() {
    if (FMergeMenu)
        return FMergeMenu;
    TCustomForm* Main = Application ? Application->MainForm() : nullptr;
    TCustomForm* Child = Main ? Main->ActiveMDIChild() : nullptr;
    if (!Child)
        return nullptr;
    for (int I = 0; I < Child->ComponentCount(); ++I)
        if (auto* M = dynamic_cast<TMainMenu*>(Child->Components(I)))
            return M;
    return nullptr;
}

void TbsSkinMainMenuBar::CreateMenu() {
    ClearObjects();
    if (!FMainMenu)
        return;
    TMainMenu* Child = nullptr;
    if ((BSF && BSF->Form()->FormStyle() == fsMDIForm) || FMergeMenu)
        Child = GetChildMainMenu();
    auto* Data = dynamic_cast<TbsDataSkinMainMenuItem*>(SkinObject(FSD, MenuBarItem));
    ChildMenuIn = Child != nullptr;
    if (Child)
        FScrollMenu = false;
    std::vector<TMenuItem*> Items;
    TMenuItem* Root = FMainMenu->Items();
    if (!Child) {
        for (int I = 0; I < Root->Count(); ++I)
            Items.push_back(Root->Items(I));
    } else {
        TMenuItem* ChildRoot = Child->Items();
        auto InChild = [ChildRoot](Byte Group) {
            for (int I = 0; I < ChildRoot->Count(); ++I)
                if (ChildRoot->Items(I)->GroupIndex() == Group)
                    return true;
            return false;
        };
        for (int I = 0; I < Root->Count(); ++I)
            if (!InChild(Root->Items(I)->GroupIndex()))
                Items.push_back(Root->Items(I));
        for (int I = 0; I < ChildRoot->Count(); ++I)
            Items.push_back(ChildRoot->Items(I));
        std::stable_sort(Items.begin(), Items.end(),
                         [](TMenuItem* A, TMenuItem* B) { return A->GroupIndex() < B->GroupIndex(); });
    }
    for (TMenuItem* MI : Items) {
        if (!MI->Visible())
            continue;
        auto Item = std::make_unique<TbsSkinMainMenuBarItem>(this, Data);
        Item->IDName = MI->Name();
        Item->Enabled = MI->Enabled();
        Item->OldEnabled = Item->Enabled;
        Item->MenuItem = MI;
        ObjectList.push_back(std::move(Item));
    }
    if (FMDIChildMax) {
        CreateSystemButtons();
        if (TForm* C = MaximizedChild()) {
            TbsSkinForm* S = GetSkinForm(C);
            SetButtonsEnabled(S ? S->BorderIcons() : TbsBorderIcons{});
        }
    }
}

TbsSkinMainMenuBarItem* TbsSkinMainMenuBar::ItemOf(const TMenuItem* MenuItem) const {
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I->MenuItem == MenuItem)
            return I;
    return nullptr;
}

void TbsSkinMainMenuBar::UpDateItems() {
    CreateMenu();
    Repaint();
    ActiveObject = OldActiveObject = -1;
    MouseTimer->SetEnabled(true);
}

void TbsSkinMainMenuBar::UpDateEnabledItems() {
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I->MenuItem) {
            if (I->Visible)
                I->Enabled = I->MenuItem->Enabled();
            else
                I->OldEnabled = I->MenuItem->Enabled();
        }
    Repaint();
}

void TbsSkinMainMenuBar::Merge(TMainMenu* Menu) {
    FMergeMenu = Menu;
    if (Menu)
        Menu->FreeNotification(this);
    UpDateItems();
}

void TbsSkinMainMenuBar::UnMerge() {
    FMergeMenu = nullptr;
    UpDateItems();
}

// ---------------------------------------------------------------------------------------------
// A maximized MDI child's buttons

TForm* TbsSkinMainMenuBar::MaximizedChild() const {
    return BSF ? BSF->FindMaximizedMDIChild() : nullptr;
}

void TbsSkinMainMenuBar::CreateSystemButtons() {
    struct TButtonName {
        String Name;
        TbsStdCommand Command;
    };
    const bool Skinned = FIndex != -1;
    const TButtonName Names[] = {
        {Skinned ? MinButton : String(u"MinButton"), cmMinimize},
        {Skinned ? MaxButton : String(u"MaxButton"), cmMaximize},
        {Skinned ? CloseButton : String(u"CloseButton"), cmClose},
        {Skinned ? SysMenuButton : String(u"SysMenuButton"), cmSysMenu},
    };
    for (const TButtonName& N : Names) {
        TbsDataSkinObject* Data = Skinned ? SkinObject(FSD, N.Name) : nullptr;
        auto B = std::make_unique<TbsSkinMainMenuBarButton>(this, Data);
        if (!B->FSkinSupport)
            B->Command = N.Command;
        B->IDName = N.Name;
        ObjectList.insert(ObjectList.begin(), std::move(B));
    }
    ButtonsCount = 4;
}

void TbsSkinMainMenuBar::SetButtonsEnabled(const TbsBorderIcons& Icons) {
    for (int I = 0; I < ButtonsCount && I < int(ObjectList.size()); ++I) {
        auto* B = static_cast<TbsSkinMainMenuBarButton*>(ObjectList[std::size_t(I)].get());
        B->Enabled = !((B->Command == cmMinimize && !Icons.Contains(TbsBorderIcon::biMinimize)) ||
                       (B->Command == cmSysMenu && !Icons.Contains(TbsBorderIcon::biSystemMenu)));
    }
}

void TbsSkinMainMenuBar::MDIChildMaximized() {
    if (FMDIChildMax)
        return;
    FMDIChildMax = true;
    ActiveObject = OldActiveObject = MouseCaptureObject = -1;
    CreateSystemButtons();
    TForm* C = MaximizedChild();
    TbsSkinForm* S = C ? GetSkinForm(C) : nullptr;
    SetButtonsEnabled(S ? S->BorderIcons() : TbsBorderIcons{});
    Repaint();
}

void TbsSkinMainMenuBar::MDIChildRestored() {
    TForm* C = MaximizedChild();
    if (!C) {
        if (ButtonsCount > 0) {
            FRetired.clear();
            for (int I = 0; I < ButtonsCount && !ObjectList.empty(); ++I) {
                FRetired.push_back(std::move(ObjectList.front()));
                ObjectList.erase(ObjectList.begin());
            }
            ButtonsCount = 0;
            ActiveObject = OldActiveObject = MouseCaptureObject = -1;
        }
        FMDIChildMax = false;
        Repaint();
        return;
    }
    TbsSkinForm* S = GetSkinForm(C);
    SetButtonsEnabled(S ? S->BorderIcons() : TbsBorderIcons{});
}

void TbsSkinMainMenuBar::ReleaseSysMenuButton() {
    for (int I = 0; I < ButtonsCount && I < int(ObjectList.size()); ++I) {
        auto* B = static_cast<TbsSkinMainMenuBarButton*>(ObjectList[std::size_t(I)].get());
        if (B->Command != cmSysMenu || !B->FDown)
            continue;
        B->FDown = false;
        if (ActiveObject != I) {
            B->Active = false;
            B->FMouseIn = false;
        }
        DrawObject(B);
    }
}

// ---------------------------------------------------------------------------------------------
// Layout and painting

void TbsSkinMainMenuBar::CalcItemsRect() {
    if (FIndex != -1)
        NewItemsRect = TRect{ItemsRect.Left, ItemsRect.Top, Width() - (GetRectWidth(SkinRect) - ItemsRect.Right),
                             ItemsRect.Bottom};
    else
        NewItemsRect = TRect{2, 2, Width() - 2, Height() - 2};
    if (!FMDIChildMax || ButtonsCount != 4 || ObjectList.size() < 4)
        return;
    auto Place = [this](TbsMenuBarObject* O, int Left) {
        auto* B = static_cast<TbsSkinMainMenuBarButton*>(O);
        const int H = GetRectHeight(NewItemsRect);
        int W = H, BH = H;
        if (B->FSkinSupport && !IsNullRect(B->SkinRect)) {
            W = GetRectWidth(B->SkinRect);
            BH = GetRectHeight(B->SkinRect);
        }
        const int Top = NewItemsRect.Top + (H - BH) / 2;
        O->ObjectRect = TRect{Left, Top, Left + W, Top + BH};
        return W;
    };
    NewItemsRect.Left += Place(ObjectList[0].get(), NewItemsRect.Left) + 2;
    for (int I = 1; I < 4; ++I) {
        TbsMenuBarObject* O = ObjectList[std::size_t(I)].get();
        const int W = Place(O, 0);
        OffsetRect(O->ObjectRect, NewItemsRect.Right - W, 0);
        NewItemsRect.Right -= W + 2;
    }
}

TRect TbsSkinMainMenuBar::GetMarkerRect() const {
    return TRect{NewItemsRect.Right - 5, NewItemsRect.Top, NewItemsRect.Right, NewItemsRect.Bottom};
}

void TbsSkinMainMenuBar::DrawMarker(TCanvas* C) {
    const TColor Colour = FIndex == -1 ? (MarkerActive ? clBtnText : clBtnShadow)
                                       : (MarkerActive ? TrackMarkActiveColor : TrackMarkColor);
    DrawArrowImage(C, GetMarkerRect(), Colour, 2);
}

void TbsSkinMainMenuBar::PaintBar(HDC DC) {
    if (Width() <= 0 || Height() <= 0)
        return;
    GetSkinData();
    TBitmap B(Width(), Height());
    TCanvas* C = B.Canvas();
    if (FIndex == -1 || !Picture) {
        C->Brush()->SetStyle(bsSolid);
        C->Brush()->SetColor(clBtnFace);
        C->FillRect(Rect(0, 0, Width(), Height()));
    } else if (TransparentBar()) {
        PaintParentBackground(this, C);
    } else {
        DrawSkinStripH(ItemsRect.Left, GetRectWidth(SkinRect) - ItemsRect.Right, &B, Picture, SkinRect, Width(),
                       Height(), StretchEffect);
    }
    CalcItemsRect();
    Scroll = false;
    for (auto& O : ObjectList)
        if (O->TbsMenuBarObject::Visible)
            O->Draw(C);
    if (Scroll && FScrollMenu)
        DrawMarker(C);
    BitBlt(DC, 0, 0, Width(), Height(), C->Handle(), 0, 0, SRCCOPY);
}

void TbsSkinMainMenuBar::DrawObject(TbsMenuBarObject* Obj) {
    if (!HandleAllocated())
        return;
    if (ItemTransparent && FIndex != -1 && dynamic_cast<TbsSkinMainMenuBarItem*>(Obj)) {
        InvalidateRect(Handle(), nullptr, true);
        UpdateWindow(Handle());
        return;
    }
    if (Obj->Visible)
        Obj->Draw(Canvas());
}

// ---------------------------------------------------------------------------------------------
// Messages

void TbsSkinMainMenuBar::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_MOVE:
        WMMove(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_CHECKPARENTBG:
        WMCheckParentBackground(Message);
        return;
    case WM_SKINMENUCLOSED:
        WMReleaseSysMenuButton(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    }
    TbsSkinControl::Dispatch(Message);
}

void TbsSkinMainMenuBar::WMEraseBkgnd(TMessage& Message) {
    PaintBar(HDC(Message.WParam));
    Message.Result = 1;
}

void TbsSkinMainMenuBar::WMMove(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (Align() == alNone && TransparentBar())
        Repaint();
}

void TbsSkinMainMenuBar::WMSize(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    CalcItemsRect();
}

void TbsSkinMainMenuBar::WMCheckParentBackground(TMessage&) {
    if (TransparentBar())
        Repaint();
}

void TbsSkinMainMenuBar::WMReleaseSysMenuButton(TMessage&) {
    ReleaseSysMenuButton();
}

void TbsSkinMainMenuBar::CMMouseEnter(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (!Designing())
        MouseTimer->SetEnabled(true);
}

void TbsSkinMainMenuBar::CMMouseLeave(TMessage& Message) {
    TbsSkinControl::Dispatch(Message);
    if (Designing())
        return;
    MouseTimer->SetEnabled(false);
    TestActive(-1, -1);
}

// ---------------------------------------------------------------------------------------------
// Tracking and the mouse

void TbsSkinMainMenuBar::TestActive(int X, int Y) {
    if (ObjectList.empty())
        return;
    OldActiveObject = ActiveObject;
    const TPoint P{X, Y};
    int Found = -1;
    for (int I = 0; I < int(ObjectList.size()); ++I) {
        TbsMenuBarObject* O = ObjectList[std::size_t(I)].get();
        if (O->Enabled && PtInRect(O->ObjectRect, P)) {
            Found = I;
            break;
        }
    }
    if (MouseCaptureObject != -1 && Found != MouseCaptureObject)
        Found = -1;
    const bool OldIsItem = OldActiveObject >= 0 && OldActiveObject < int(ObjectList.size()) &&
                           dynamic_cast<TbsSkinMainMenuBarItem*>(ObjectList[std::size_t(OldActiveObject)].get());
    if (!(Found == -1 && MenuActive && OldIsItem))
        ActiveObject = Found;
    if (ActiveObject != OldActiveObject) {
        if (OldActiveObject >= 0 && OldActiveObject < int(ObjectList.size())) {
            TbsMenuBarObject* Old = ObjectList[std::size_t(OldActiveObject)].get();
            if (Old->Enabled)
                Old->MouseLeave();
        }
        if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size())) {
            TbsMenuBarObject* New = ObjectList[std::size_t(ActiveObject)].get();
            if (New->Enabled)
                New->MouseEnter();
        }
    }
    if (Scroll && FScrollMenu) {
        const bool In = PtInRect(GetMarkerRect(), P);
        if (In != MarkerActive) {
            MarkerActive = In;
            if (HandleAllocated())
                DrawMarker(Canvas());
        }
    }
}

void TbsSkinMainMenuBar::MouseTimerTick() {
    if (!HandleAllocated())
        return;
    POINT P;
    GetCursorPos(&P);
    if (WindowFromPoint(P) != Handle()) {
        MouseTimer->SetEnabled(false);
        TestActive(-1, -1);
        return;
    }
    ::ScreenToClient(Handle(), &P);
    TestActive(P.X, P.Y);
}

void TbsSkinMainMenuBar::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) {
    TbsSkinControl::MouseDown(Button, Shift, X, Y);
    TestActive(X, Y);
    if (ActiveObject >= 0 && ActiveObject < int(ObjectList.size())) {
        MouseCaptureObject = ActiveObject;
        TbsMenuBarObject* O = ObjectList[std::size_t(ActiveObject)].get();
        const std::size_t Count = ObjectList.size();
        O->MouseDown(X, Y, Button);
        // A command of the item may have rebuilt the bar.
        if (Shift.Contains(ssDouble) && ObjectList.size() == Count && MouseCaptureObject >= 0 &&
            ObjectList[std::size_t(MouseCaptureObject)].get() == O)
            O->DblClick();
        return;
    }
    if (Scroll && FScrollMenu && PtInRect(GetMarkerRect(), TPoint{X, Y}))
        PopupHiddenItems();
}

void TbsSkinMainMenuBar::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) {
    if (MouseCaptureObject >= 0 && MouseCaptureObject < int(ObjectList.size())) {
        TbsMenuBarObject* O = ObjectList[std::size_t(MouseCaptureObject)].get();
        MouseCaptureObject = -1;
        O->MouseUp(X, Y, Button);
    }
    MouseCaptureObject = -1;
    TbsSkinControl::MouseUp(Button, Shift, X, Y);
}

void TbsSkinMainMenuBar::MouseMove(TShiftState Shift, int X, int Y) {
    if (!MouseTimer->Enabled())
        MouseTimer->SetEnabled(true);
    TbsSkinControl::MouseMove(Shift, X, Y);
}

void TbsSkinMainMenuBar::PopupHiddenItems() {
    if (!BSF || !FMainMenu)
        return;
    int Fit = 0;
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I->Visible)
            ++Fit;
    TRect R = GetMarkerRect();
    const TPoint P = ClientToScreen(TPoint{R.Left, R.Top});
    R = TRect{P.X, P.Y, P.X + GetRectWidth(R), P.Y + GetRectHeight(R)};
    BSF->SkinMenuOpen();
    TMainMenu* Child = ((BSF->Form()->FormStyle() == fsMDIForm) || FMergeMenu) ? GetChildMainMenu() : nullptr;
    if (Child)
        BSF->SkinMenu()->Popup2(nullptr, SkinData(), Fit, R, FMainMenu->Items(), Child->Items(), false);
    else
        BSF->SkinMenu()->Popup(nullptr, SkinData(), Fit, R, FMainMenu->Items(), false);
}

// ---------------------------------------------------------------------------------------------
// Timers

void TbsSkinMainMenuBar::MorphTimerTick() {
    bool Any = false;
    for (std::size_t I = 0; I < ObjectList.size(); ++I) {
        TbsMenuBarObject* O = ObjectList[I].get();
        if (O->EnableMorphing() && O->CanMorphing()) {
            O->DoMorphing();
            Any = true;
        }
    }
    if (!Any)
        MorphTimer->SetEnabled(false);
}

void TbsSkinMainMenuBar::AnimateTimerTick() {
    bool Changed = false;
    for (auto& O : ObjectList) {
        auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get());
        if (!I || !I->EnableAnimation())
            continue;
        if (I->Active && I->CurrentFrame <= I->FrameCount) {
            ++I->CurrentFrame;
            Changed = true;
            DrawObject(I);
        } else if (!I->Active && I->CurrentFrame > 0) {
            --I->CurrentFrame;
            Changed = true;
            DrawObject(I);
        }
    }
    if (!Changed)
        AnimateTimer->SetEnabled(false);
}

// ---------------------------------------------------------------------------------------------
// Keyboard menu mode

std::vector<TbsSkinMainMenuBarItem*> TbsSkinMainMenuBar::SelectableItems() const {
    std::vector<TbsSkinMainMenuBarItem*> L;
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I->Enabled && I->Visible)
            L.push_back(I);
    return L;
}

void TbsSkinMainMenuBar::EnterMenuMode() {
    MenuActive = true;
    TbsSkinMainMenuBarItem* First = nullptr;
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get())) {
            if (I->Active) {
                First = I;
                break;
            }
            if (!First)
                First = I;
        }
    if (First) {
        First->MouseEnter();
        for (int I = 0; I < int(ObjectList.size()); ++I)
            if (ObjectList[std::size_t(I)].get() == First)
                ActiveObject = I;
    }
    if (!BSF)
        return;
    BSF->ResetObjectStates();
    BSF->HookAppMessages();
    BSF->InMainMenu = true;
    if (BSF->OnMainMenuEnter)
        BSF->OnMainMenuEnter(this);
}

void TbsSkinMainMenuBar::LeaveMenuMode() {
    MenuActive = false;
    for (auto& O : ObjectList) {
        auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get());
        if (!I || !(I->FDown || I->Active))
            continue;
        I->Active = false;
        I->FMouseIn = false;
        I->FDown = false;
        if (I->EnableAnimation() && !I->InActiveAnimation)
            I->CurrentFrame = 0;
        DrawObject(I);
        break;
    }
    ActiveObject = OldActiveObject = -1;
}

void TbsSkinMainMenuBar::ReleaseDownItem() {
    for (auto& O : ObjectList)
        if (auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get()); I && I->FDown) {
            I->FDown = false;
            I->Active = true;
            DrawObject(I);
        }
}

void TbsSkinMainMenuBar::SelectNextItem() {
    std::vector<TbsSkinMainMenuBarItem*> L = SelectableItems();
    if (L.empty())
        return;
    int Cur = -1;
    for (int I = 0; I < int(L.size()); ++I)
        if (L[std::size_t(I)]->Active || L[std::size_t(I)]->FDown) {
            Cur = I;
            break;
        }
    TbsSkinMainMenuBarItem* Next = L[Cur < 0 ? 0 : std::size_t((Cur + 1) % int(L.size()))];
    if (Cur >= 0)
        L[std::size_t(Cur)]->MouseLeave();
    Next->MouseEnter();
    for (int I = 0; I < int(ObjectList.size()); ++I)
        if (ObjectList[std::size_t(I)].get() == Next)
            ActiveObject = I;
}

void TbsSkinMainMenuBar::SelectPriorItem() {
    std::vector<TbsSkinMainMenuBarItem*> L = SelectableItems();
    if (L.empty())
        return;
    int Cur = -1;
    for (int I = 0; I < int(L.size()); ++I)
        if (L[std::size_t(I)]->Active || L[std::size_t(I)]->FDown) {
            Cur = I;
            break;
        }
    const int N = int(L.size());
    TbsSkinMainMenuBarItem* Prior = L[Cur < 0 ? 0 : std::size_t((Cur - 1 + N) % N)];
    if (Cur >= 0)
        L[std::size_t(Cur)]->MouseLeave();
    Prior->MouseEnter();
    for (int I = 0; I < int(ObjectList.size()); ++I)
        if (ObjectList[std::size_t(I)].get() == Prior)
            ActiveObject = I;
}

bool TbsSkinMainMenuBar::OpenActiveItem() {
    const bool MenuOpen = BSF && BSF->SkinMenu()->Visible();
    for (auto& O : ObjectList) {
        auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(O.get());
        if (!I || !I->MenuItem)
            continue;
        if ((I->FDown && I->MenuItem->Count() == 0) || (I->Active && !MenuOpen)) {
            I->Active = false;
            I->MouseDown(0, 0, mbLeft);
            return true;
        }
    }
    return false;
}

bool TbsSkinMainMenuBar::FindAccelItem(Word Key) {
    if (!BSF || !BSF->Form()->Visible())
        return false;
    for (std::size_t N = 0; N < ObjectList.size(); ++N) {
        auto* I = dynamic_cast<TbsSkinMainMenuBarItem*>(ObjectList[N].get());
        if (!I || !I->Enabled || !I->Visible || !I->MenuItem || !IsAccel(Key, I->MenuItem->Caption()))
            continue;
        ActiveObject = int(N);
        I->MouseEnter();
        if (!(BSF->SkinMenu()->Visible() && I->MenuItem->Count() > 0))
            I->MouseDown(0, 0, mbLeft);
        return true;
    }
    return false;
}
