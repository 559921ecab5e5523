// The form-skinning component: construction, properties, the skin's application and the control walks.
#include "skin/forms/TbsSkinForm.h"

#include "platform/base/SysUtils.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "skin/core/TbsLayerManager.h"
#include "skin/core/bsUtils.h"
#include "skin/forms/TbsActiveSkinObject.h"
#include "skin/forms/TbsClientInActivePanel.h"
#include "skin/forms/TbsFormLayerBorder.h"
#include "skin/forms/TbsSkinCaptionObject.h"
#include "skin/forms/TbsSkinMDITabsBar.h"
#include "skin/forms/TbsSkinMainMenuBar.h"
#include "skin/forms/TbsSkinMenu.h"
#include "skin/forms/TbsSkinPopupWindow.h"
#include "skin/forms/bsSkinHint.h"
#include "skin/forms/bsTrayIcon.h"

// The form's procedure chain holds a hook that reaches the component through this link. The component cuts
// the link when it goes: a hook installed after it (and holding a copy of this one as its previous procedure)
// then passes straight through to the procedure the component had replaced, and nothing freed is called.
struct TbsSkinForm::TProcLink {
    TbsSkinForm* Owner = nullptr;
    TWndMethod Old;
};

namespace {

struct TFormProcHook {
    std::shared_ptr<TbsSkinForm::TProcLink> Link;
    void operator()(TMessage& M) const {
        if (Link->Owner)
            Link->Owner->FormWndProc(M);
        else if (Link->Old)
            Link->Old(M);
    }
};

std::unique_ptr<TFont> CaptionFont(TColor Color) {
    auto F = std::make_unique<TFont>();
    F->SetName(u"Arial");
    F->SetHeight(14);
    F->SetStyle(TFontStyles{fsBold});
    F->SetColor(Color);
    return F;
}

std::unique_ptr<TBitmap> EmptyBitmap() {
    return std::make_unique<TBitmap>();
}

} // namespace

TbsSkinForm::TbsSkinForm(TComponent* AOwner) : TComponent(AOwner) {
    FForm = dynamic_cast<TCustomForm*>(AOwner);
    if (!FForm)
        throw EInvalidCast(u"Invalid class typecast");
    FDefCaptionFont = CaptionFont(clBtnText);
    FDefInActiveCaptionFont = CaptionFont(clBtnShadow);
    FLogoBitMap = EmptyBitmap();
    RMTop = EmptyBitmap();
    RMBottom = EmptyBitmap();
    RMLeft = EmptyBitmap();
    RMRight = EmptyBitmap();
    FIsVistaOs = IsWindowsVistaOrLater();
    FIsLayerEnabled = IsWindows2000OrLater();
    BlackColor = RGB(0, 0, 0);

    auto MakeTimer = [this](Cardinal Interval, void (TbsSkinForm::*Tick)(TObject*)) {
        auto T = std::make_unique<TTimer>(nullptr);
        T->SetEnabled(false);
        T->SetInterval(Interval);
        // A component of the form that waits in its destructor lets the queue run while the form is half gone:
        // no tick may reach it then.
        T->OnTimer = [this, Tick](TObject* Sender) {
            if (!ComponentState().Contains(csDestroying))
                (this->*Tick)(Sender);
        };
        return T;
    };
    MouseTimer = MakeTimer(50, &TbsSkinForm::MouseTimerTick);
    MorphTimer = MakeTimer(25, &TbsSkinForm::MorphTimerTick);
    AnimateTimer = MakeTimer(25, &TbsSkinForm::AnimateTimerTick);
    FLayerManager = std::make_unique<TbsLayerManager>(nullptr);
    FMenuLayerManager = std::make_unique<TbsLayerManager>(nullptr);
    FQuickButtons = std::make_unique<TbsQuickButtonItems>(this);
    FBorderLayer = new TbsFormLayerBorder(this);
    RegisterLayeredBorderStripTest();

    // The component draws its own caption buttons and answers the form's short cuts first.
    FOldBorderIcons = FForm->BorderIcons();
    FForm->SetBorderIcons(TBorderIcons{});
    FOldShortCut = FForm->OnShortCut;
    FForm->OnShortCut = [this](TMessage& Msg, bool& Handled) { FormShortCut(Msg, Handled); };
    FForm->SetAutoSize(false);
    RegisterFormSkinLookup();
    RegisterSkinPopupMenuService();
    FSkinMenu = std::make_unique<TbsSkinMenu>(nullptr, FForm);
    FSkinMenu->AlphaBlendValue = FMenusAlphaBlendValue;
    FSysMenu = new TPopupMenu(this);
    FSysTrayMenu = new TbsSkinPopupMenu(this);
    FSysTrayMenu->SetComponentForm(FForm);
    BuildTrayMenu();

    if (!Designing()) {
        FProcLink = std::make_shared<TProcLink>();
        FProcLink->Owner = this;
        FProcLink->Old = FForm->WindowProc();
        OldWindowProc = FProcLink->Old;
        InstallWindowProc();
        RecreateFormWindow();
    }
}

// A form's window is made hidden and shown by ShowWindow: a form already on the screen is shown again. An MDI
// parent's client window is new too.
void TbsSkinForm::RecreateFormWindow() {
    if (!FForm->HandleAllocated())
        return;
    const bool Shown = FForm->Visible() && IsWindowVisible(FForm->Handle());
    const bool WasActive = FForm->Active();
    FForm->RecreateWnd();
    if (Shown && FForm->HandleAllocated())
        ShowWindow(FForm->Handle(), WasActive ? SW_SHOW : SW_SHOWNA);
    if (Shown)
        SubclassMDIClient();
}

TbsSkinForm::~TbsSkinForm() {
    FAlive.reset();
    // An open menu goes first, and the application's message event is given back even while it is open.
    FSkinMenu.reset();
    UnhookAppMessages();
    MouseTimer->SetEnabled(false);
    MorphTimer->SetEnabled(false);
    AnimateTimer->SetEnabled(false);
    FQuickButtons.reset();
    ObjectList.clear();
    bool FormAlive = !FForm->ComponentState().Contains(csDestroying);
    UnsubclassMDIClient();
    // A child whose component goes before it keeps no tab behind.
    if (FormAlive && IsMDIChild())
        DeleteChildFromBar(FForm);
    if (FProcLink) {
        if (FormAlive) {
            const auto* Hook = FForm->WindowProc().target<TFormProcHook>();
            if (Hook && Hook->Link == FProcLink)
                FForm->SetWindowProc(FProcLink->Old);
        }
        FProcLink->Owner = nullptr;
    }
    // No message reaches the component any more: the strips and the panel go.
    delete FBorderLayer;
    FBorderLayer = nullptr;
    if (FormAlive) {
        HideClientInActiveEffect();
        if (FForm->HandleAllocated())
            KillTimer(FForm->Handle(), 1);
    }
    if (FormAlive) {
        FForm->OnShortCut = FOldShortCut;
        FForm->SetBorderIcons(FOldBorderIcons);
        if (FRgn && FForm->HandleAllocated())
            SetWindowRgn(FForm->Handle(), nullptr, true);
    }
    if (FRgn)
        DeleteObject(FRgn);
}

void TbsSkinForm::InstallWindowProc() {
    const auto* Hook = FForm->WindowProc().target<TFormProcHook>();
    if (!Hook || Hook->Link != FProcLink)
        FForm->SetWindowProc(TFormProcHook{FProcLink});
}

void TbsSkinForm::CallOld(TMessage& M) {
    if (OldWindowProc)
        OldWindowProc(M);
}

// The menu layer answers short cuts; until it does, the application's own handler sees them.
void TbsSkinForm::FormShortCut(TMessage& Msg, bool& Handled) {
    FormShortCutKeys(Msg, Handled);
    // The release of Alt after a short cut it held down does not start the menu bar's keyboard menu mode.
    if (Handled && GetKeyState(VK_MENU) < 0)
        FAltShortCut = true;
}

void TbsSkinForm::FormShortCutKeys(TMessage& Msg, bool& Handled) {
    if (OnShortCut)
        OnShortCut(Msg, Handled);
    if (Handled)
        return;
    const bool AltOnly = GetKeyState(VK_MENU) < 0 && GetKeyState(VK_CONTROL) >= 0 && GetKeyState(VK_SHIFT) >= 0;
    // Alt+Space: the system menu under its button.
    if (Msg.WParam == VK_SPACE && AltOnly) {
        ShowSystemMenuFromButton();
        FInShortCut = false;
        Handled = true;
        return;
    }
    FInShortCut = false;
    if (!FMainMenuBar || !FMainMenuBar->MainMenu())
        return;
    // Alt with an item's accelerator opens the item; any other key may be a short cut of the bar's menu, or of
    // the child menu shown in it.
    if (AltOnly && Msg.WParam != VK_F4 && FMainMenuBar->FindAccelItem(Word(Msg.WParam))) {
        Handled = true;
        return;
    }
    FInShortCut = FMainMenuBar->MainMenu()->IsShortCut(Msg);
    Handled = FInShortCut;
    if (Handled || !FMainMenuBar->ChildMenuIn)
        return;
    if (TMainMenu* Child = FMainMenuBar->GetChildMainMenu()) {
        FInShortCut = Child->IsShortCut(Msg);
        Handled = FInShortCut;
    }
}

void TbsSkinForm::SetMainMenuBar(TbsSkinMainMenuBar* Value) {
    FMainMenuBar = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinForm::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FSD) {
        FSD = nullptr;
        // The frame objects hold the skin's pictures: they go with it, and the frame takes the default look.
        MouseTimer->SetEnabled(false);
        MorphTimer->SetEnabled(false);
        AnimateTimer->SetEnabled(false);
        ClearObjects();
        FSkinSupport = false;
        if (!FForm->ComponentState().Contains(csDestroying) && !Designing())
            ApplySkinData();
    } else if (AComponent == FMSD)
        FMSD = nullptr;
    else if (AComponent == FSystemMenu)
        FSystemMenu = nullptr;
    else if (AComponent == FMainMenuBar)
        FMainMenuBar = nullptr;
    else if (AComponent == FTrayIcon)
        FTrayIcon = nullptr;
    else if (AComponent == FMDITabsBar)
        FMDITabsBar = nullptr;
    if (AComponent == FSkinHint)
        FSkinHint = nullptr;
    if (AComponent == FQuickImageList)
        FQuickImageList = nullptr;
    if (AComponent == FInActivePanel)
        FInActivePanel = nullptr;
    if (AComponent == FBorderLayer)
        FBorderLayer = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Form kinds and states

bool TbsSkinForm::IsMDIChild() const {
    return FForm->FormStyle() == fsMDIChild;
}

bool TbsSkinForm::IsMDIForm() const {
    return FForm->FormStyle() == fsMDIForm;
}

bool TbsSkinForm::IsMaximizedMDIChild() const {
    return IsMDIChild() && FWindowState == wsMaximized;
}

bool TbsSkinForm::HasBorder() const {
    return FForm->BorderStyle() != bsNone;
}

bool TbsSkinForm::GetFormActive() {
    if (PreviewMode)
        return true;
    if (IsMDIChild() || IsMDIForm())
        return FFormActive;
    return FForm->Active();
}

void TbsSkinForm::SendNCPaint() {
    if (FForm->HandleAllocated())
        SendMessageW(FForm->Handle(), WM_NCPAINT, 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Properties

void TbsSkinForm::SetSkinData(TbsSkinData* Value) {
    if (FSD && FSD != FMSD)
        FSD->RemoveFreeNotification(this);
    FSD = Value;
    if (Value) {
        Value->FreeNotification(this);
        if (!IsMDIChild())
            FSkinnableForm = Value->SkinnableForm();
    }
    if (!Designing())
        ApplySkinData();
}

void TbsSkinForm::SetMenusSkinData(TbsSkinData* Value) {
    FMSD = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinForm::SetQuickImageList(TCustomImageList* Value) {
    FQuickImageList = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinForm::SetQuickButtons(TbsQuickButtonItems* Value) {
    FQuickButtons->Assign(Value);
}

void TbsSkinForm::SetSkinHint(TbsSkinHint* Value) {
    FSkinHint = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinForm::HideLayers() {
    for (TbsLayerManager* M : {FLayerManager.get(), FMenuLayerManager.get()})
        if (M && M->IsVisible)
            M->Hide();
}

void TbsSkinForm::SetSystemMenu(TPopupMenu* Value) {
    FSystemMenu = Value;
    if (Value)
        Value->FreeNotification(this);
}

void TbsSkinForm::SetBorderIcons(TbsBorderIcons Value) {
    FBorderIcons = Value;
    if (Designing() || Loading())
        return;
    UpdateCaptionButtons();
    SendNCPaint();
}

void TbsSkinForm::SetShowIcon(bool Value) {
    FShowIcon = Value;
    if (!Designing() && !Loading())
        SendNCPaint();
}

void TbsSkinForm::SetDefCaptionFont(TFont* Value) {
    FDefCaptionFont->Assign(Value);
    if (!Designing() && !Loading() && !FSkinSupport)
        SendNCPaint();
}

void TbsSkinForm::SetDefInActiveCaptionFont(TFont* Value) {
    FDefInActiveCaptionFont->Assign(Value);
    if (!Designing() && !Loading() && !FSkinSupport)
        SendNCPaint();
}

void TbsSkinForm::SetUseRibbon(bool Value) {
    FUseRibbon = Value;
    if (Value && !Designing())
        SetSkinnableForm(false);
}

// The maximized state is the window-state layer's: a maximized form keeps its state across the switch
// through that layer.
void TbsSkinForm::SetSkinnableForm(bool Value) {
    FFormActive = GetFormActive();
    if ((IsMDIForm() && FForm->MDIChildCount() > 0) || Designing())
        return;
    bool WasNative = !FSkinnableForm;
    FSkinnableForm = FUseRibbon ? false : Value;
    ApplySkinData();
    ChangeSkinDataWalk(nullptr, FForm);
    InstallWindowProc();
    // A native frame comes back only with a new window; a skinned one is laid out by the nudge.
    if (WasNative != !FSkinnableForm)
        RecreateFormWindow();
    SubclassMDIClient();
}

void TbsSkinForm::SetFormStyle(TFormStyle FS) {
    if (FS != fsNormal && FS != fsStayOnTop)
        return;
    FForm->SetFormStyle(FS);
    ChangeSkinDataWalk(nullptr, FForm);
}

void TbsSkinForm::SetFormBorderStyle(TFormBorderStyle BS) {
    FForm->SetBorderStyle(BS);
    ChangeSkinDataWalk(nullptr, FForm);
}

// ---------------------------------------------------------------------------------------------
// The skin's application

void TbsSkinForm::ApplySkinData() {
    if (FUseRibbon)
        FSkinnableForm = false;
    OldActiveObject = ActiveObject = MouseCaptureObject = -1;
    FSkinSupport = SkinApplied();
    HideLayers();
    if (FBorderLayer->Visible())
        FBorderLayer->Hide();
    if (FSkinSupport && FSkinnableForm) {
        CreateSkinObjects();
        UpdateCaptionButtons();
    } else {
        ClearObjects();
        FFormWidth = FForm->Width();
        FFormHeight = FForm->Height();
        UpdateFormRegion();
    }
    if (FSkinnableForm) {
        if (!FForm->BorderIcons().Empty())
            FForm->SetBorderIcons(TBorderIcons{});
    } else {
        TBorderIcons Native;
        if (!FHideCaptionButtons)
            Native.Include(::biSystemMenu);
        if (FBorderIcons.Contains(TbsBorderIcon::biMaximize))
            Native.Include(::biMaximize);
        if (FBorderIcons.Contains(TbsBorderIcon::biMinimize))
            Native.Include(::biMinimize);
        FForm->SetBorderIcons(Native);
    }
    ApplySizeLimits();
    FFormWidth = FForm->Width();
    FFormHeight = FForm->Height();
    if (FSkinSupport)
        UpdateFrame();
    if (IsMDIForm()) {
        if (HWND Client = FForm->ClientHandle())
            RedrawWindow(Client, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
        UpdateMDIChildren();
    } else {
        FForm->Invalidate();
    }
    UpdateCaptionActive(!IsMaximizedMDIChild());
    MouseTimer->SetEnabled(true);
    if (OnChangeSkinData)
        OnChangeSkinData(this);
    if (!FRollUpState) {
        if (FClientWidth > 0)
            FForm->SetClientWidth(FClientWidth);
        if (FClientHeight > 0)
            FForm->SetClientHeight(FClientHeight);
    }
    FBorderLayer->InitFrame(FSD, FForm);
    if (UseLayeredBorder() && FormVisible()) {
        FBorderLayer->ShowWithForm();
        FBorderLayer->SetBoundsWithForm();
    }
}

void TbsSkinForm::ApplySizeLimits() {
    int MinW = GetMinWidth(), MinH = GetMinHeight();
    int W = FForm->Width(), H = FForm->Height();
    if (W < MinW && H < MinH)
        FForm->SetBounds(FForm->Left(), FForm->Top(), MinW, MinH);
    else if (H < MinH)
        FForm->SetHeight(MinH);
    else if (W < MinW)
        FForm->SetWidth(MinW);
    else
        NudgeWidth();
    if ((FRollUpState || FWindowState == wsMinimized) && FForm->Height() != GetMinHeight())
        FForm->SetHeight(GetMinHeight());
    if (FWindowState == wsMinimized && FForm->Width() != GetMinWidth())
        FForm->SetWidth(GetMinWidth());
}

// ---------------------------------------------------------------------------------------------
// Control walks: a control, then its children in order; windowed children are walked in turn. A step is taken
// when the control uses the walk's skin data, or for every control when the walk has none.

namespace {

bool PassesFilter(TbsSkinData* Own, TbsSkinData* Walk) {
    return !Walk || Own == Walk;
}

template <class Step> void WalkControls(TControl* AControl, const Step& Visit) {
    Visit(AControl);
    auto* W = dynamic_cast<TWinControl*>(AControl);
    if (!W)
        return;
    for (int I = 0; I < W->ControlCount(); ++I) {
        TControl* Child = W->Controls(I);
        if (dynamic_cast<TWinControl*>(Child))
            WalkControls(Child, Visit);
        else
            Visit(Child);
    }
}

// One row of the walk: when the control is a T and uses the walk's skin data, it re-reads its record.
template <class T> bool ChangeIf(TControl* C, TbsSkinData* SD) {
    auto* X = dynamic_cast<T*>(C);
    if (!X)
        return false;
    if (PassesFilter(X->SkinData(), SD))
        X->ChangeSkinData();
    return true;
}

// The skinned classes that follow a skin change, tested in this order; the first class the control belongs
// to decides. Controls of any other class are passed over.
void ChangeSkinDataStep(TControl* C, TbsSkinData* SD) {
    ChangeIf<TbsSkinControl>(C, SD) || ChangeIf<TbsGraphicSkinControl>(C, SD) || ChangeIf<TbsSkinPageControl>(C, SD) ||
        ChangeIf<TbsSkinCustomEdit>(C, SD) || ChangeIf<TbsSkinStdLabel>(C, SD) || ChangeIf<TbsSkinLinkLabel>(C, SD) ||
        ChangeIf<TbsSkinTextLabel>(C, SD) || ChangeIf<TbsSkinCustomTreeView>(C, SD) || ChangeIf<TbsSkinBevel>(C, SD) ||
        ChangeIf<TbsSkinCustomListView>(C, SD) || ChangeIf<TbsSkinSplitter>(C, SD);
}

} // namespace

void TbsSkinForm::BeforeChangeSkinDataWalk(TbsSkinData* ASkinData, TControl* AControl) {
    WalkControls(AControl, [ASkinData](TControl* C) {
        if (auto* X = dynamic_cast<TbsSkinControl*>(C); X && PassesFilter(X->SkinData(), ASkinData))
            X->BeforeChangeSkinData();
    });
}

void TbsSkinForm::ChangeSkinDataWalk(TbsSkinData* ASkinData, TControl* AControl) {
    WalkControls(AControl, [ASkinData](TControl* C) { ChangeSkinDataStep(C, ASkinData); });
}
