#include "skin/controls/TbsSkinComboBox.h"

#include <algorithm>
#include <utility>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/Forms.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsSkinData.h"

namespace {

constexpr UINT_PTR ScrollTimer = 1;
constexpr UINT ScrollPeriod = 25;

bool IsCJK(TFontCharset C) {
    return C == SHIFTJIS_CHARSET || C == GB2312_CHARSET || C == CHINESEBIG5_CHARSET;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TbsPopupListBox

TbsPopupListBox::TbsPopupListBox(TComponent* AOwner) : TbsSkinListBox(AOwner) {
    FControlStyle += csAcceptsControls;
    FControlStyle += csNoDesignVisible;
    FControlStyle += csReplicatable;
    SetCtl3D(false);
    SetParentCtl3D(false);
    SetVisible(false);
}

void TbsPopupListBox::CreateParams(TCreateParams& Params) {
    TbsSkinListBox::CreateParams(Params);
    Params.Style = WS_POPUP | WS_CLIPCHILDREN;
    Params.ExStyle = WS_EX_TOOLWINDOW;
    Params.WindowClass.style = CS_SAVEBITS;
    if (IsWindowsXPOrLater())
        Params.WindowClass.style |= CS_DROPSHADOW;
}

void TbsPopupListBox::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_MOUSEACTIVATE) {
        Message.Result = MA_NOACTIVATE;
        return;
    }
    TbsSkinListBox::Dispatch(Message);
}

void TbsPopupListBox::Show(TPoint Origin) {
    FadeSteps = 0;
    ApplyAlphaBlend();
    SetWindowPos(Handle(), HWND_TOP, Origin.X, Origin.Y, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    SetVisible(true);
    auto* Combo = dynamic_cast<TbsSkinCustomComboBox*>(Owner());
    if (IsWindows2000OrLater() && Combo && Combo->FAlphaBlend && Combo->FAlphaBlendAnimation)
        FadeIn();
}

void TbsPopupListBox::Hide() {
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_HIDEWINDOW | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetVisible(false);
}

void TbsPopupListBox::ApplyAlphaBlend() {
    auto* Combo = dynamic_cast<TbsSkinCustomComboBox*>(Owner());
    if (!IsWindows2000OrLater() || !Combo)
        return;
    const LONG_PTR ExStyle = GetWindowLongPtrW(Handle(), GWL_EXSTYLE);
    if (Combo->FAlphaBlend && !FOldAlphaBlend)
        SetWindowLongPtrW(Handle(), GWL_EXSTYLE, ExStyle | WS_EX_LAYERED);
    else if (!Combo->FAlphaBlend && FOldAlphaBlend)
        SetWindowLongPtrW(Handle(), GWL_EXSTYLE, ExStyle & ~LONG_PTR(WS_EX_LAYERED));
    FOldAlphaBlend = Combo->FAlphaBlend;
    if (Combo->FAlphaBlend && FOldAlphaBlendValue != Combo->FAlphaBlendValue) {
        if (Combo->FAlphaBlendAnimation) {
            SetLayeredWindowAlpha(Handle(), 0);
            FOldAlphaBlendValue = 0;
        } else {
            SetLayeredWindowAlpha(Handle(), Combo->FAlphaBlendValue);
            FOldAlphaBlendValue = Combo->FAlphaBlendValue;
        }
    }
}

// Raises the opacity in steps of a fifteenth while the messages keep flowing; a handler run meanwhile may
// close the drop-down or free the combo box (and with it this window), which ends the fade.
void TbsPopupListBox::FadeIn() {
    std::weak_ptr<char> Alive = AliveToken();
    auto Pump = [&] {
        if (Application)
            Application->ProcessMessages();
        return !Alive.expired() && Visible() && dynamic_cast<TbsSkinCustomComboBox*>(Owner());
    };
    if (!Pump())
        return;
    int Alpha = 0;
    DWORD Last = 0;
    for (;;) {
        auto* Combo = static_cast<TbsSkinCustomComboBox*>(Owner());
        const int Target = Combo->FAlphaBlendValue;
        if (Alpha >= Target)
            break;
        const int Step = std::max(Target / 15, 1);
        const DWORD Now = GetTickCount();
        if (Now - Last > 5) {
            Last = Now;
            Alpha = std::min(Alpha + Step, Target);
            SetLayeredWindowAlpha(Handle(), BYTE(Alpha));
            ++FadeSteps;
        }
        if (!Pump())
            return;
    }
}

// ---------------------------------------------------------------------------------------------
// TbsSkinCustomComboBox: construction and properties

TbsSkinCustomComboBox::TbsSkinCustomComboBox(TComponent* AOwner) : TbsSkinComboBoxBase(AOwner) {
    SetTabStop(true);
    FControlStyle = TControlStyle{csAcceptsControls, csCaptureMouse, csOpaque, csDoubleClicks, csReplicatable};
    Font()->SetName(u"Arial");
    Font()->SetHeight(14);
    Font()->SetColor(clWindowText);
    Font()->SetStyle({});
    SetBounds(Left(), Top(), 120, 20);
    FListBox = new TbsPopupListBox(this);
    FListBox->SetVisible(false);
    if (!ComponentState().Contains(csDesigning))
        FListBox->SetParent(this);
    TbsListBox* Inner = FListBox->ListBox;
    Inner->SetTabStop(false);
    Inner->OnMouseMove = [this](TObject* Sender, TShiftState Shift, int X, int Y) {
        DropDownListMouseMove(Sender, Shift, X, Y);
    };
    FListBoxWindowProc = Inner->WindowProc();
    Inner->SetWindowProc([this](TMessage& Message) { DropDownListWndProc(Message); });
    FListBox->OnCheckButtonClick = [this](TObject*) { CloseUp(true); };
    CalcRects();
    FSkinDataName = u"combobox";
}

TbsSkinCustomComboBox::~TbsSkinCustomComboBox() {
    StopTimer();
    delete std::exchange(FEdit, nullptr);
    // The inner list goes with the drop-down; its procedure must not reach back here meanwhile.
    if (FListBox)
        FListBox->ListBox->SetWindowProc(FListBoxWindowProc);
    delete std::exchange(FListBox, nullptr);
}

void TbsSkinCustomComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomControl::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FEdit) {
        FEdit = nullptr;
    } else if (AComponent == FListBox) {
        FListBox = nullptr;
    } else if (FListBox && AComponent == FListBox->Images()) {
        FListBox->SetImages(nullptr);
        Repaint();
    }
}

void TbsSkinCustomComboBox::SetItemIndex(int Value) {
    std::weak_ptr<char> Alive = AliveToken();
    FListBox->SetItemIndex(Value);
    const int I = FListBox->ItemIndex();
    if (Items()->Count() > 0 && I != -1)
        SetText(Items()->Strings(I));
    if (Alive.expired())
        return;
    FOldItemIndex = I;
    if (!FEdit)
        Repaint();
    if (ComponentState().Contains(csDesigning) || ComponentState().Contains(csLoading))
        return;
    if (OnClick)
        OnClick(this);
    if (!Alive.expired())
        Change();
}

void TbsSkinCustomComboBox::SetStyle(TbsSkinCustomComboBoxStyle Value) {
    const bool Designing = ComponentState().Contains(csDesigning);
    if (Designing && Value == FStyle)
        return;
    FStyle = Value;
    if (FStyle == bscbEditStyle) {
        if (!FEdit)
            CreateEditControl();
        if (!Designing) {
            if (TabStop()) {
                SetTabStop(false);
                FEdit->SetTabStop(true);
            } else {
                FEdit->SetTabStop(false);
            }
        }
        FEdit->SetText(Text());
        if (Focused())
            FEdit->SetFocus();
    } else if (FEdit) {
        TbsCustomEdit* Old = FEdit;
        FEdit = nullptr;
        Old->SetVisible(false);
        delete Old;
    }
    CalcRects();
    RecreateWnd();
    Repaint();
}

void TbsSkinCustomComboBox::SetDropDownCount(int Value) {
    if (Value > 0)
        FDropDownCount = Value;
}

void TbsSkinCustomComboBox::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (FEdit)
        FEdit->SetCharCase(Value);
}

void TbsSkinCustomComboBox::SetDefaultColor(TColor Value) {
    FDefaultColor = Value;
    if (FIndex == -1) {
        Invalidate();
        if (FEdit)
            FEdit->SetColor(Value);
    }
}

void TbsSkinCustomComboBox::SetToolButtonStyle(bool Value) {
    if (Value == FToolButtonStyle)
        return;
    FToolButtonStyle = Value;
    if (Value) {
        SetStyle(bscbFixedStyle);
        FUseSkinSize = false;
    }
    Repaint();
}

void TbsSkinCustomComboBox::SetImages(TCustomImageList* Value) {
    FListBox->SetImages(Value);
    if (Value)
        Value->FreeNotification(this);
    Repaint();
}

void TbsSkinCustomComboBox::SetImageIndex(int Value) {
    FListBox->SetImageIndex(Value);
    Repaint();
}

int TbsSkinCustomComboBox::SelStart() {
    return FEdit ? FEdit->SelStart() : 0;
}

void TbsSkinCustomComboBox::SetSelStart(int Value) {
    if (FEdit)
        FEdit->SetSelStart(Value);
}

int TbsSkinCustomComboBox::SelLength() {
    return FEdit ? FEdit->SelLength() : 0;
}

void TbsSkinCustomComboBox::SetSelLength(int Value) {
    if (FEdit)
        FEdit->SetSelLength(Value);
}

bool TbsSkinCustomComboBox::IsPopupVisible() const {
    return FListBox && FListBox->Visible();
}

void TbsSkinCustomComboBox::Invalidate() {
    TbsSkinCustomControl::Invalidate();
    if (FEdit && FIndex != -1)
        FEdit->Invalidate();
}

// ---------------------------------------------------------------------------------------------
// Opening and closing

void TbsSkinCustomComboBox::DropDown() {
    if (Items()->Count() == 0)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    WasInLB = false;
    StopTimer();
    if (OnDropDown)
        OnDropDown(this);
    if (Alive.expired() || Items()->Count() == 0)
        return;
    FListBox->SetWidth(FListBoxWidth == 0 ? Width() : FListBoxWidth);
    FListBox->SetRowCount(std::min(Items()->Count(), FDropDownCount));
    TPoint P{Left(), Top() + Height()};
    if (Parent())
        P = Parent()->ClientToScreen(P);
    TRect WorkArea;
    GetMonitorWorkArea(Handle(), true, WorkArea);
    if (P.Y + FListBox->Height() > WorkArea.Bottom)
        P.Y = P.Y - Height() - FListBox->Height();
    if (FEdit && FEdit->CanFocus())
        FEdit->SetFocus();
    FOldItemIndex = FListBox->ItemIndex();
    // Scrolls the first row fully into view.
    if (FOldItemIndex == 0 && Items()->Count() > 1) {
        FListBox->SetItemIndex(1);
        FListBox->SetItemIndex(0);
    }
    FDropDown = true;
    if (FToolButtonStyle)
        Repaint();
    if (FListBox->ItemIndex() >= 0)
        FListBox->SetTopIndex(FListBox->ItemIndex());
    FListBox->OnDrawItem = OnListBoxDrawItem;
    FListBox->SetSkinData(SkinData());
    FListBox->Show(P);
}

void TbsSkinCustomComboBox::CloseUp(bool Value) {
    StopTimer();
    if (!IsPopupVisible())
        return;
    std::weak_ptr<char> Alive = AliveToken();
    FListBox->Hide();
    const int I = FListBox->ItemIndex();
    if (I >= 0 && I < Items()->Count() && Value) {
        const String S = Items()->Strings(I);
        if (FEdit) {
            FEdit->SetText(S);
            if (Alive.expired())
                return;
            if (FEdit)
                FEdit->SelectAll();
        } else {
            SetText(S);
            if (Alive.expired())
                return;
            Repaint();
        }
        if (OnClick)
            OnClick(this);
        if (Alive.expired())
            return;
        Change();
        if (Alive.expired())
            return;
    } else {
        FListBox->SetItemIndex(FOldItemIndex);
    }
    FDropDown = false;
    Repaint();
    if (Value && OnCloseUp)
        OnCloseUp(this);
}

// The combo box itself or a part of its drop-down: a cancel-mode notice from one of them keeps it open.
bool TbsSkinCustomComboBox::IsOwnControl(const TControl* C) const {
    if (!C)
        return false;
    if (C == this)
        return true;
    if (!FListBox)
        return false;
    return C == FListBox || C == FListBox->ScrollBar || C == FListBox->HScrollBar || C == FListBox->ListBox;
}

void TbsSkinCustomComboBox::CMCancelMode(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (!IsOwnControl(reinterpret_cast<TControl*>(Message.LParam)))
        CloseUp(false);
}

void TbsSkinCustomComboBox::EditCancelMode(TControl* C) {
    if (!IsOwnControl(C))
        CloseUp(false);
}

// ---------------------------------------------------------------------------------------------
// Auto-scroll

void TbsSkinCustomComboBox::StartTimer() {
    if (!HandleAllocated())
        return;
    KillTimer(Handle(), ScrollTimer);
    SetTimer(Handle(), ScrollTimer, ScrollPeriod, nullptr);
}

void TbsSkinCustomComboBox::StopTimer() {
    if (TimerMode != 0 && HandleAllocated())
        KillTimer(Handle(), ScrollTimer);
    TimerMode = 0;
}

void TbsSkinCustomComboBox::WMTimer(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired() || Message.WParam != ScrollTimer)
        return;
    const int I = FListBox->ItemIndex();
    if (TimerMode == 1 && I > 0)
        ListSelect(I - 1);
    else if (TimerMode == 2 && I < Items()->Count() - 1)
        ListSelect(I + 1);
}

// A move of the open list's selection alone: no text, no events.
void TbsSkinCustomComboBox::ListSelect(int Index) {
    FListBox->SetItemIndex(Index);
    FListBox->UpDateScrollBar();
}

// ---------------------------------------------------------------------------------------------
// Mouse

void TbsSkinCustomComboBox::MouseDown(TMouseButton AButton, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseDown(AButton, Shift, X, Y);
    if (Alive.expired())
        return;
    if (!FEdit && !Focused() && CanFocus()) {
        SetFocus();
        if (Alive.expired())
            return;
    }
    if (AButton != mbLeft)
        return;
    CalcRects();
    const TPoint P{X, Y};
    const bool Hit = Button.MouseIn || (!FEdit && PtInRect(CBItem.R, P)) || FToolButtonStyle;
    PressFace(Hit);
}

void TbsSkinCustomComboBox::MouseMove(TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::MouseMove(Shift, X, Y);
    if (Alive.expired())
        return;
    if (FLBDown && IsPopupVisible()) {
        ProcessListBox();
        return;
    }
    const bool In = PtInRect(Button.R, TPoint{X, Y});
    if (In != Button.MouseIn) {
        Button.MouseIn = In;
        Repaint();
    }
}

void TbsSkinCustomComboBox::MouseUp(TMouseButton AButton, TShiftState Shift, int X, int Y) {
    std::weak_ptr<char> Alive = AliveToken();
    if (FLBDown && WasInLB) {
        ReleaseCapture();
        FLBDown = false;
        POINT Cursor;
        GetCursorPos(&Cursor);
        const bool OverList =
            FListBox->ListBox->HandleAllocated() && WindowFromPoint(Cursor) == FListBox->ListBox->Handle();
        CloseUp(OverList);
        if (Alive.expired())
            return;
    } else {
        FLBDown = false;
    }
    TbsSkinCustomControl::MouseUp(AButton, Shift, X, Y);
    if (Alive.expired())
        return;
    if (Button.Down) {
        Button.Down = false;
        Repaint();
    }
}

// Drag tracking: the held mouse selects the row under it, and above or below the list scrolls it.
void TbsSkinCustomComboBox::ProcessListBox() {
    TbsListBox* Inner = FListBox->ListBox;
    POINT Cursor;
    GetCursorPos(&Cursor);
    ::ScreenToClient(Inner->Handle(), &Cursor);
    const int Y = Cursor.Y;
    const bool CanScroll = FListBox->ScrollBar && WasInLB;
    int Wanted = TimerMode;
    if (Y < 0 && CanScroll) {
        Wanted = 1;
    } else if (Y > Inner->Height() && CanScroll) {
        Wanted = 2;
    } else if (Y >= 0 && Y <= Inner->Height()) {
        StopTimer();
        Wanted = 0;
        Inner->Perform(WM_MOUSEMOVE, 0, MAKELPARAM(1, Y));
        WasInLB = true;
    }
    if (Wanted != TimerMode) {
        TimerMode = Wanted;
        StartTimer();
    }
}

void TbsSkinCustomComboBox::DropDownListWndProc(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        FListBoxWindowProc(Message);
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_LBUTTONDOWN:
        FLBDown = true;
        WasInLB = true;
        SetCapture(Handle());
        return;
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        return;
    }
    FListBoxWindowProc(Message);
}

void TbsSkinCustomComboBox::DropDownListMouseMove(TObject*, TShiftState, int X, int Y) {
    const int I = FListBox->ItemAtPos(TPoint{X, Y}, true);
    if (I >= 0 && I < Items()->Count())
        ListSelect(I);
}

void TbsSkinCustomComboBox::WMMouseWheel(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    if (FEdit)
        return;
    const bool Next = GET_WHEEL_DELTA_WPARAM(Message.WParam) <= 0;
    const int I = ItemIndex();
    const int Target = Next ? I + 1 : I - 1;
    if (Target < 0 || Target >= Items()->Count())
        return;
    if (IsPopupVisible())
        ListSelect(Target);
    else
        SetItemIndex(Target);
}

// ---------------------------------------------------------------------------------------------
// Keyboard in the fixed style and the text search

void TbsSkinCustomComboBox::KeyDown(Word& Key, TShiftState Shift) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::KeyDown(Key, Shift);
    if (Alive.expired())
        return;
    const int I = ItemIndex();
    const int Count = Items()->Count();
    switch (Key) {
    case VK_RETURN:
        if (IsPopupVisible())
            CloseUp(true);
        break;
    case VK_ESCAPE:
        if (IsPopupVisible())
            CloseUp(false);
        break;
    case VK_PRIOR:
        if (Count > 0)
            SetItemIndex(std::max(I - FDropDownCount - 1, 0));
        break;
    case VK_NEXT:
        if (Count > 0)
            SetItemIndex(std::min(I + FDropDownCount - 1, Count - 1));
        break;
    case VK_UP:
    case VK_LEFT:
        if (Shift.Contains(ssAlt)) {
            if (IsPopupVisible())
                CloseUp(false);
        } else if (I > 0) {
            SetItemIndex(I - 1);
        }
        break;
    case VK_DOWN:
    case VK_RIGHT:
        if (Shift.Contains(ssAlt)) {
            if (!IsPopupVisible())
                DropDown();
        } else if (I < Count - 1) {
            SetItemIndex(I + 1);
        }
        break;
    }
}

void TbsSkinCustomComboBox::KeyPress(Char& Key) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::KeyPress(Key);
    if (!Alive.expired() && Key != 0)
        FindItemByText(Key);
}

void TbsSkinCustomComboBox::FindItemByText(Char C) {
    if (!FListBox || !FListBox->ListBox)
        return;
    String S;
    if (FAutoComplete) {
        const DWORD Now = GetTickCount();
        if (Now - FLastTime > 499)
            FFilter.clear();
        FLastTime = Now;
        FFilter += C;
        S = FFilter;
    } else {
        S = String(1, C);
    }
    if (S.empty())
        return;
    // One letter walks through the items that begin with it; more letters search from the top.
    const WPARAM Start = S.size() == 1 ? WPARAM(ItemIndex()) : WPARAM(-1);
    const LRESULT Found = SendMessageW(FListBox->ListBox->Handle(), LB_FINDSTRING, Start, LPARAM(S.c_str()));
    if (Found != LB_ERR)
        SetItemIndex(int(Found));
}

// ---------------------------------------------------------------------------------------------
// Edit style

bool TbsSkinCustomComboBox::IsCJKCharset() const {
    return IsCJK(TextCharset());
}

bool TbsSkinCustomComboBox::KeyTypesCharacter(WPARAM Key) {
    if (Key == VK_SPACE || (Key >= u'0' && Key <= u'9') || (Key >= u'A' && Key <= u'Z'))
        return true;
    if (Key >= VK_NUMPAD0 && Key <= VK_DIVIDE)
        return true;
    // The punctuation keys, and a key the input method took for its composition.
    return (Key >= 0xBA && Key <= 0xC0) || (Key >= 0xDB && Key <= 0xDF) || Key == 0xE2 || Key == 0xE5;
}

void TbsSkinCustomComboBox::CreateEditControl() {
    FEdit = FNumEdit ? new TbsSkinNumEdit(this) : new TbsCustomEdit(this);
    FEdit->SetParent(this);
    FEdit->SetColor(FDefaultColor);
    FEdit->SetAutoSize(false);
    FEdit->SetHideSelection(FHideSelection);
    FEdit->SetVisible(true);
    FEdit->SetEditTransparent(false);
    FEdit->OnChange = [this](TObject* Sender) { EditChange(Sender); };
    FEditWindowProc = FEdit->WindowProc();
    FEdit->SetWindowProc([this](TMessage& Message) { EditWndProc(Message); });
    FEdit->OnEditCancelMode = [this](TControl* C) { EditCancelMode(C); };
    FEdit->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
        if (OnKeyDown)
            OnKeyDown(this, Key, Shift);
    };
    FEdit->OnKeyPress = [this](TObject*, Char& Key) {
        if (OnKeyPress)
            OnKeyPress(this, Key);
    };
    FEdit->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) {
        if (OnKeyUp)
            OnKeyUp(this, Key, Shift);
    };
    FEdit->SetCharCase(FCharCase);
    GetSkinData();
    if (FIndex == -1) {
        FEdit->Font()->SetName(Font()->Name());
        FEdit->Font()->SetStyle(Font()->Style());
        FEdit->Font()->SetColor(Font()->Color());
        FEdit->Font()->SetHeight(Font()->Height());
    } else {
        FEdit->Font()->SetStyle(FontStyle);
        FEdit->Font()->SetColor(FontColor);
        FEdit->Font()->SetHeight(FontHeight);
        FEdit->Font()->SetName(FontName);
    }
    FEdit->SetEditTransparent(FIndex != -1);
    CalcRects();
}

void TbsSkinCustomComboBox::EditWndProc(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    auto PassOn = [&] {
        if (!Alive.expired() && FEdit && FEditWindowProc)
            FEditWindowProc(Message);
    };
    const bool ActiveLook = FIndex != -1 && !IsNullRect(ActiveSkinRect);
    switch (Message.Msg) {
    case WM_SETFOCUS:
        if (ActiveLook) {
            FEdit->Font()->SetColor(ActiveFontColor);
            Invalidate();
        }
        break;
    case WM_KILLFOCUS:
        if (IsPopupVisible())
            CloseUp(false);
        if (!Alive.expired() && FEdit && ActiveLook) {
            FEdit->Font()->SetColor(FontColor);
            Invalidate();
        }
        break;
    case WM_KEYDOWN:
        switch (Message.WParam) {
        case VK_RETURN:
            if (IsPopupVisible())
                CloseUp(true);
            break;
        case VK_ESCAPE:
            if (IsPopupVisible())
                CloseUp(false);
            break;
        case VK_PRIOR:
            if (IsPopupVisible())
                ListSelect(std::max(ItemIndex() - FDropDownCount - 1, 0));
            break;
        case VK_NEXT:
            if (IsPopupVisible())
                ListSelect(std::min(ItemIndex() + FDropDownCount - 1, Items()->Count() - 1));
            break;
        case VK_UP:
        case VK_DOWN:
            EditMove(Message.WParam == VK_DOWN, true);
            return;
        }
        break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
        if (IsCJKCharset()) {
            // Only a typed character replaces the tail that completion selected; other keys (Shift after
            // Shift+Right among them) leave the user's text and selection alone.
            const bool Typed = KeyTypesCharacter(Message.WParam);
            if (Typed && FCompletedStart >= 0 && SelStart() == FCompletedStart && SelLength() == FCompletedLength &&
                FCompletedLength > 0)
                FEdit->ClearSelection();
            PassOn();
            if (Typed && !Alive.expired() && FAutoComplete)
                FindItemByEditText();
            return;
        }
        if (Message.Msg == WM_KEYUP && Message.WParam >= u'0') {
            PassOn();
            if (!Alive.expired() && FAutoComplete)
                FindItemByEditText();
            return;
        }
        if (Message.Msg == WM_KEYUP)
            return;
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
        if (IsPopupVisible())
            CloseUp(false);
        break;
    case WM_MOUSEWHEEL:
        if (!IsPopupVisible())
            EditMove(GET_WHEEL_DELTA_WPARAM(Message.WParam) <= 0, true);
        break;
    }
    PassOn();
}

void TbsSkinCustomComboBox::EditMove(bool Next, bool Accept) {
    const int I = ItemIndex();
    if (Next ? I >= Items()->Count() - 1 : I <= 0)
        return;
    FListBox->SetItemIndex(Next ? I + 1 : I - 1);
    FListBox->UpDateScrollBar();
    if (!Accept)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    SetText(Items()->Strings(FListBox->ItemIndex()));
    if (Alive.expired())
        return;
    if (FEdit)
        FEdit->SelectAll();
    if (OnClick)
        OnClick(this);
}

void TbsSkinCustomComboBox::EditChange(TObject*) {
    if (!FEdit)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    FromEdit = true;
    const String S = FEdit->Text();
    if (!S.empty()) {
        const HWND List = FListBox->ListBox->Handle();
        const LRESULT Found = SendMessageW(List, LB_FINDSTRING, WPARAM(-1), LPARAM(S.c_str()));
        if (Found != LB_ERR) {
            SendMessageW(List, FAutoComplete ? LB_SETCURSEL : LB_SETTOPINDEX, WPARAM(Found), 0);
            FListBox->UpDateScrollBar();
        }
    }
    SetText(S);
    if (!Alive.expired())
        FromEdit = false;
}

void TbsSkinCustomComboBox::FindItemByEditText() {
    if (!FListBox || !FEdit)
        return;
    const DWORD Now = GetTickCount();
    if (Now - FLastTime <= 200)
        return;
    FLastTime = Now;
    const String T = Text();
    if (T.empty())
        return;
    const WPARAM Start = T.size() == 1 ? WPARAM(ItemIndex()) : WPARAM(-1);
    const LRESULT Found = SendMessageW(FListBox->ListBox->Handle(), LB_FINDSTRING, Start, LPARAM(T.c_str()));
    if (Found == LB_ERR)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    SetItemIndex(int(Found));
    if (Alive.expired() || !FEdit)
        return;
    const int Typed = int(T.size());
    SetSelStart(Typed);
    SetSelLength(int(Text().size()) - Typed);
    FCompletedStart = Typed;
    FCompletedLength = int(Text().size()) - Typed;
}

// ---------------------------------------------------------------------------------------------
// Layout, focus, hover, enablement, text

void TbsSkinCustomComboBox::CalcRects() {
    TbsSkinComboBoxBase::CalcRects();
    if (!FEdit)
        return;
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, FEdit->Font()->Handle());
    TEXTMETRICW TM{};
    GetTextMetricsW(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    const int H = TM.tmHeight;
    FEdit->SetBounds(CBItem.R.Left, CBItem.R.Top + GetRectHeight(CBItem.R) / 2 - H / 2, GetRectWidth(CBItem.R), H);
}

void TbsSkinCustomComboBox::WMSetFocus(TMessage& Message) {
    if (FEdit) {
        if (FEdit->CanFocus())
            FEdit->SetFocus();
        if (FIndex != -1 && !IsNullRect(ActiveSkinRect) && FEdit) {
            FEdit->Font()->SetColor(ActiveFontColor);
            Invalidate();
        }
        return;
    }
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (!Alive.expired())
        Repaint();
}

void TbsSkinCustomComboBox::WMKillFocus(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (!FEdit && IsPopupVisible())
        CloseUp(false);
    if (Alive.expired())
        return;
    Repaint();
    if (FIndex != -1 && !IsNullRect(ActiveSkinRect) && FEdit) {
        FEdit->Font()->SetColor(FontColor);
        Invalidate();
    }
}

void TbsSkinCustomComboBox::WMSize(TMessage& Message) {
    TbsSkinCustomControl::Dispatch(Message);
    CalcRects();
}

void TbsSkinCustomComboBox::CMMouseEnter(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    FMouseIn = true;
    const bool ActiveLook = FIndex != -1 && !IsNullRect(ActiveSkinRect);
    if (ActiveLook && FEdit && !FEdit->Focused())
        FEdit->Font()->SetColor(ActiveFontColor);
    if (ActiveLook || FToolButtonStyle)
        Invalidate();
}

void TbsSkinCustomComboBox::CMMouseLeave(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    FMouseIn = false;
    if (Button.MouseIn) {
        Button.MouseIn = false;
        Repaint();
    }
    const bool ActiveLook = FIndex != -1 && !IsNullRect(ActiveSkinRect);
    if (ActiveLook && FEdit && !FEdit->Focused())
        FEdit->Font()->SetColor(FontColor);
    if (ActiveLook || FToolButtonStyle)
        Invalidate();
}

void TbsSkinCustomComboBox::CMEnabledChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (FEdit) {
        if (!Enabled())
            FEdit->Font()->SetColor(GetDisabledFontColor());
        else
            FEdit->Font()->SetColor(FIndex == -1 ? DefaultFont()->Color() : FontColor);
        FEdit->SetEnabled(Enabled());
    }
    Repaint();
}

void TbsSkinCustomComboBox::CMTextChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TbsSkinCustomControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (FEdit && !FromEdit) {
        FEdit->SetText(Text());
        if (Alive.expired())
            return;
    }
    if (OnChange)
        OnChange(this);
    if (!Alive.expired() && FromEdit)
        Change();
}

void TbsSkinCustomComboBox::CMWantSpecialKey(TMessage& Message) {
    switch (Message.WParam) {
    case VK_UP:
    case VK_DOWN:
    case VK_LEFT:
    case VK_RIGHT:
        Message.Result = 1;
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

void TbsSkinCustomComboBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_KILLFOCUS:
        WMKillFocus(Message);
        return;
    case WM_SIZE:
        WMSize(Message);
        return;
    case WM_TIMER:
        WMTimer(Message);
        return;
    case WM_MOUSEWHEEL:
        WMMouseWheel(Message);
        return;
    case CM_CANCELMODE:
        CMCancelMode(Message);
        return;
    case CM_ENABLEDCHANGED:
        CMEnabledChanged(Message);
        return;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    case CM_MOUSEENTER:
        CMMouseEnter(Message);
        return;
    case CM_MOUSELEAVE:
        CMMouseLeave(Message);
        return;
    case CM_WANTSPECIALKEY:
        CMWantSpecialKey(Message);
        return;
    }
    TbsSkinCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// Skin

void TbsSkinCustomComboBox::ApplyEditFont() {
    if (!FEdit)
        return;
    TFont* F = FEdit->Font();
    if (FIndex != -1 && FUseSkinFont) {
        F->SetStyle(FontStyle);
        F->SetHeight(FontHeight);
        F->SetName(FontName);
        F->SetColor(FontColor);
    } else {
        F->Assign(DefaultFont());
        if (FIndex != -1)
            F->SetColor(FontColor);
    }
    if (!IsNullRect(ActiveSkinRect) && FIndex != -1 && (FEdit->Focused() || FMouseIn))
        F->SetColor(ActiveFontColor);
    F->SetCharset(TextCharset());
    FEdit->SetEditTransparent(FIndex != -1);
    if (!Enabled())
        F->SetColor(GetDisabledFontColor());
}

void TbsSkinCustomComboBox::ChangeSkinData() {
    TbsSkinCustomControl::ChangeSkinData();
    CalcRects();
    ApplyEditFont();
    Repaint();
    FListBox->SetSkinDataName(FIndex == -1 ? String() : ListBoxName);
    FListBox->SetSkinData(SkinData());
    FListBox->UpDateScrollBar();
    CalcRects();
    if (FEdit && FIndex != -1) {
        int W = Width(), H = Height();
        CalcSize(W, H);
        if (W != Width())
            SetWidth(W);
        if (H != Height())
            SetHeight(H);
    }
}

void TbsSkinCustomComboBox::CalcSize(int& W, int& H) {
    if (FUseSkinSize) {
        TbsSkinCustomControl::CalcSize(W, H);
        return;
    }
    if (FIndex == -1)
        return;
    const int DW = W - GetRectWidth(SkinRect);
    NewLTPoint = LTPt;
    NewRTPoint = TPoint{RTPt.X + DW, RTPt.Y};
    NewClRect = ClRect;
    NewClRect.Right += DW;
}

void TbsSkinCustomComboBox::SetControlRegion() {
    if (FUseSkinSize)
        TbsSkinCustomControl::SetControlRegion();
}
