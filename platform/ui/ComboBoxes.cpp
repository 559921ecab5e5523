#include "platform/ui/ComboBoxes.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/WinText.h"
#include "platform/ui/Forms.h"

#include <algorithm>

namespace {

bool KeyHeld(int Vk) {
    return GetKeyState(Vk) < 0;
}

int TextHeightOf(TFont* Font) {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    TEXTMETRICW Tm;
    GetTextMetricsW(DC, &Tm);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return std::max<int>(Tm.tmHeight, 1);
}

// The small black triangle of the drop-down button, pointing down.
void DrawArrow(HDC DC, const RECT& R, bool Enabled) {
    int W = 7, H = 4;
    int X = (R.Left + R.Right - W) / 2, Y = (R.Top + R.Bottom - H) / 2;
    COLORREF C = ColorToRGB(Enabled ? clBtnText : clGrayText);
    for (int I = 0; I < H; ++I) {
        RECT Line{X + I, Y + I, X + W - I, Y + I + 1};
        HBRUSH B = CreateSolidBrush(C);
        FillRect(DC, &Line, B);
        DeleteObject(B);
    }
}

void FillWith(HDC DC, const RECT& R, TColor Color) {
    HBRUSH B = CreateSolidBrush(ColorToRGB(Color));
    FillRect(DC, &R, B);
    DeleteObject(B);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TComboEdit: the edit of csDropDown and csSimple, which hands the list keys to its combo box.

class TComboEdit : public TCustomEdit {
public:
    TComboEdit(TCustomComboBox* ACombo) : TCustomEdit(ACombo), FCombo(ACombo) {
        SetBorderStyle(bsNone);
        SetAutoSize(false);
        SetTabStop(false);
        SetParentColor(true);
    }
    void Dispatch(TMessage& Message) override {
        switch (Message.Msg) {
        case WM_GETDLGCODE:
            TCustomEdit::Dispatch(Message);
            // While the list is open Enter and Escape belong to it.
            if (FCombo->FDropped)
                Message.Result |= DLGC_WANTALLKEYS;
            return;
        case WM_MOUSEWHEEL:
            Message.Result = FCombo->Perform(Message.Msg, Message.WParam, Message.LParam);
            return;
        case WM_KILLFOCUS:
            WMKillFocus(Message);
            return;
        }
        TCustomEdit::Dispatch(Message);
    }

    void WMKillFocus(TMessage& Message) {
        std::weak_ptr<char> Alive = FCombo->AliveToken();
        TCustomEdit::Dispatch(Message);
        HWND To = HWND(Message.WParam);
        if (!Alive.expired() && To != FCombo->Handle())
            FCombo->CloseUp(false);
        if (!Alive.expired())
            FCombo->Invalidate();
    }

    // The list's keys act where the edit's own keys would, after the wrapper's OnKeyDown.
    void DefaultHandler(TMessage& Message) override {
        if ((Message.Msg == WM_KEYDOWN || Message.Msg == WM_SYSKEYDOWN) &&
            FCombo->NavigationKey(Word(Message.WParam), KeyDataToShiftState(Message.LParam))) {
            Message.Result = 0;
            return;
        }
        TCustomEdit::DefaultHandler(Message);
    }

protected:
    void KeyPress(Char& Key) override {
        TCustomEdit::KeyPress(Key);
        // Only a character typed at the end of the text asks for completion.
        FCombo->FTypedChar = Key >= 32;
    }
    void Change() override {
        TCustomEdit::Change();
        FCombo->EditChanged();
    }

private:
    TCustomComboBox* FCombo;
};

// ---------------------------------------------------------------------------------------------
// TComboListBox

TComboListBox::TComboListBox(TCustomComboBox* ACombo) : TCustomListBox(ACombo), FCombo(ACombo) {
    SetTabStop(false);
    SetVisible(false);
}

void TComboListBox::CreateParams(TCreateParams& Params) {
    TCustomListBox::CreateParams(Params);
    // The combo box hears of the user's choice itself.
    Params.Style &= ~(LBS_NOTIFY | WS_TABSTOP);
    if (FPopup) {
        Params.Style = (Params.Style & ~(WS_CHILD | WS_CLIPSIBLINGS)) | WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        // Owned by the combo box's form, so that it hides and shows with it.
        Params.WndParent = FCombo->HandleAllocated() ? GetAncestor(FCombo->Handle(), GA_ROOT) : nullptr;
        Params.WindowClass.style |= CS_SAVEBITS;
    }
}

void TComboListBox::CreateWnd() {
    TCustomListBox::CreateWnd();
    FollowCombo();
}

void TComboListBox::FollowCombo() {
    if (!HandleAllocated())
        return;
    SendMessageW(FHandle, WM_SETFONT, WPARAM(FCombo->Font()->Handle()), FALSE);
    SendMessageW(FHandle, LB_SETITEMHEIGHT, 0, MAKELPARAM(FCombo->ItemHeight(), 0));
    Invalidate();
}

void TComboListBox::SetPopup(bool Value) {
    if (Value == FPopup)
        return;
    // The window is made again as the other kind; its items and selection are kept meanwhile.
    SetParent(nullptr);
    DestroyHandle();
    FPopup = Value;
    SetVisible(!Value);
    if (!Value)
        SetParent(FCombo);
}

int TComboListBox::VisibleRows() {
    return std::max(ClientHeight() / std::max(FCombo->ItemHeight(), 1), 1);
}

void TComboListBox::SetHotIndex(int Value) {
    // Sent even when the row is already selected: the message also scrolls it into view.
    SendMessageW(Handle(), LB_SETCURSEL, WPARAM(Value), 0);
}

void TComboListBox::StartTracking() {
    FTracking = true;
    FWasInList = false;
}

bool TComboListBox::OnScrollBar(TPoint ClientPt) {
    POINT S{ClientPt.X, ClientPt.Y};
    ::ClientToScreen(FHandle, &S);
    return SendMessageW(FHandle, WM_NCHITTEST, 0, MAKELPARAM(S.X, S.Y)) == HTVSCROLL;
}

void TComboListBox::TrackScrollBar(TPoint ClientPt) {
    // The bar's own tracking takes the mouse until the release; the list takes it back afterwards.
    std::weak_ptr<char> Alive = AliveToken();
    POINT S{ClientPt.X, ClientPt.Y};
    ::ClientToScreen(FHandle, &S);
    FInScrollBar = true;
    DefWindowProcW(FHandle, WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(S.X, S.Y));
    if (Alive.expired())
        return;
    FInScrollBar = false;
    FTracking = false;
    if (FCombo->FDropped && HandleAllocated())
        SetCapture(FHandle);
}

// The open drop-down holds the mouse: it highlights the row under it, takes a release over a row, and
// closes on a press anywhere else.
void TComboListBox::PopupMouse(TMessage& Message) {
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    bool InRows = PtInRect(ClientRect(), P);
    int I = InRows ? ItemAtPos(P, true) : -1;
    switch (Message.Msg) {
    case WM_MOUSEMOVE:
        if (I >= 0) {
            FWasInList = true;
            if (I != HotIndex())
                SetHotIndex(I);
        }
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!InRows && OnScrollBar(P)) {
            TrackScrollBar(P);
        } else if (!InRows) {
            FCombo->CloseUp(false);
        } else {
            if (I >= 0)
                SetHotIndex(I);
            FTracking = true;
            FWasInList = true;
        }
        return;
    case WM_LBUTTONUP:
        if (!FTracking)
            return;
        FTracking = false;
        if (I >= 0)
            FCombo->CloseUp(true);
        else if (FWasInList)
            FCombo->CloseUp(false);
        // Released where the press began (the combo box): the list stays open.
        return;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (!InRows && !OnScrollBar(P))
            FCombo->CloseUp(false);
        return;
    }
}

void TComboListBox::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case LB_ADDSTRING:
    case LB_INSERTSTRING:
    case LB_DELETESTRING:
    case LB_RESETCONTENT:
        LbItemsChanged(Message);
        return;
    case WM_MOUSEACTIVATE:
        if (FPopup) {
            Message.Result = MA_NOACTIVATE;
            return;
        }
        break;
    case WM_CAPTURECHANGED:
        if (FPopup && FCombo->FDropped && !FCombo->FClosing && !FInScrollBar && HWND(Message.LParam) != FHandle)
            FCombo->CloseUp(false);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        if (!FPopup) {
            WMLButtonDown(Message);
            return;
        }
        [[fallthrough]];
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (FPopup) {
            PopupMouse(Message);
            return;
        }
        break;
    case WM_MOUSEMOVE:
        WMMouseMove(Message);
        return;
    }
    TCustomListBox::Dispatch(Message);
}

void TComboListBox::LbItemsChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = FCombo->AliveToken();
    TCustomListBox::Dispatch(Message);
    if (!Alive.expired())
        FCombo->ItemsChanged(Message.Msg, int(Message.WParam), Message.Result);
}

// The list under the edit selects on the press; the edit keeps the focus.
void TComboListBox::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    int I = ItemAtPos(P, true);
    if (I >= 0)
        FCombo->UserSelect(I);
    if (!Alive.expired() && FCombo->EditControl())
        FCombo->EditControl()->SetFocus();
}

void TComboListBox::WMMouseMove(TMessage& Message) {
    if (FPopup) {
        std::weak_ptr<char> Alive = AliveToken();
        PopupMouse(Message);
        if (Alive.expired())
            return;
    }
    TCustomListBox::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner) {
    // The list first: it holds the items every message of the combo box may ask for.
    FList = new TComboListBox(this);
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FEdit = new TComboEdit(this);
    FEdit->SetParent(this);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() {
    // The list and the edit go while the combo box is still whole; an open list closes without events.
    FDropped = false;
    delete FEdit;
    FEdit = nullptr;
    TComboListBox* List = FList;
    FList = nullptr;
    delete List;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FStyle != csSimple)
        AddFrameStyle(Params);
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    // The drop-down's window exists with the combo box's, owned by its form, so that every change of
    // the items reaches the combo box.
    if (FList->FPopup) {
        if (FList->HandleAllocated())
            FList->RecreateWnd();
        else
            FList->HandleNeeded();
    }
    Layout();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    CloseUp(false);
    String Current = Text();
    FStyle = Value;
    FList->SetPopup(Value != csSimple);
    if (Value == csDropDownList) {
        delete FEdit;
        FEdit = nullptr;
    } else if (!FEdit) {
        FEdit = new TComboEdit(this);
        FEdit->SetParent(this);
        ShowEditText(Current);
    }
    RecreateWnd();
    SetBounds(Left(), Top(), Width(), Value == csSimple ? std::max(Height(), ItemHeight() * 4 + 12) : Height());
    Layout();
    Invalidate();
}

void TCustomComboBox::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (FStyle != csSimple)
        AHeight = (FFieldHeight > 0 ? FFieldHeight : ItemHeight()) + 8;
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

int TCustomComboBox::ItemHeight() {
    return FItemHeight > 0 ? FItemHeight : TextHeightOf(Font());
}

void TCustomComboBox::SetItemHeight(int Value) {
    FItemHeight = std::max(Value, 0);
    FList->FollowCombo();
    SetBounds(Left(), Top(), Width(), Height());
    Layout();
    Invalidate();
}

bool TCustomComboBox::Sorted() const {
    return FList->Sorted();
}

void TCustomComboBox::SetSorted(bool Value) {
    if (Value == Sorted())
        return;
    CloseUp(false);
    // Sorting moves the rows: the chosen item keeps its place in the new order.
    int Index = ItemIndex();
    String Chosen = Index >= 0 ? Items()->Strings(Index) : String();
    FList->SetSorted(Value);
    if (Index >= 0)
        FList->SetItemIndex(Items()->IndexOf(Chosen));
    Invalidate();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(Value, 0);
    if (FEdit)
        FEdit->SetMaxLength(FMaxLength);
}

void TCustomComboBox::SetCharCase(TEditCharCase Value) {
    FCharCase = Value;
    if (FEdit)
        FEdit->SetCharCase(Value);
}

bool TCustomComboBox::DroppedDown() const {
    return FDropped;
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value)
        DropDown();
    else
        CloseUp(false);
}

void TCustomComboBox::ItemsChanged(UINT Msg, int Index, LRESULT Result) {
    if (FDropped && FDroppedIndex >= 0) {
        if (Msg == LB_RESETCONTENT || (Msg == LB_DELETESTRING && Result != LB_ERR && Index == FDroppedIndex))
            FDroppedIndex = -1;
        else if (Msg == LB_DELETESTRING && Result != LB_ERR && Index < FDroppedIndex)
            --FDroppedIndex;
        else if ((Msg == LB_ADDSTRING || Msg == LB_INSERTSTRING) && Result >= 0 && Result <= FDroppedIndex)
            ++FDroppedIndex;
    }
    Invalidate();
}

void TCustomComboBox::ShowEditText(const String& Value) {
    FText = Value;
    if (!FEdit)
        return;
    FSettingText = true;
    FEdit->SetText(Value);
    if (FEdit->Focused())
        FEdit->SelectAll();
    FSettingText = false;
}

int TCustomComboBox::ItemIndex() {
    return FDropped ? FDroppedIndex : FList->ItemIndex();
}

void TCustomComboBox::SetItemIndex(int Value) {
    SelectIndex(Value);
}

void TCustomComboBox::SelectIndex(int Value) {
    // An index outside the items clears the selection, as CB_SETCURSEL does.
    if (Value < -1 || Value >= Items()->Count())
        Value = -1;
    FList->SetHotIndex(Value);
    if (FDropped)
        FDroppedIndex = Value;
    ShowEditText(Value >= 0 ? Items()->Strings(Value) : String());
    Invalidate();
}

String TCustomComboBox::Text() {
    if (FEdit)
        return FEdit->Text();
    int Index = ItemIndex();
    return Index >= 0 ? Items()->Strings(Index) : String();
}

void TCustomComboBox::SetText(const String& Value) {
    int Match = Items()->IndexOf(Value);
    if (!FEdit) {
        if (Match >= 0)
            SelectIndex(Match);
        return;
    }
    ShowEditText(Value);
    FList->SetHotIndex(Match);
    if (FDropped)
        FDroppedIndex = Match;
    Invalidate();
}

int TCustomComboBox::SelStart() {
    return FEdit ? FEdit->SelStart() : 0;
}

void TCustomComboBox::SetSelStart(int Value) {
    if (FEdit)
        FEdit->SetSelStart(Value);
}

int TCustomComboBox::SelLength() {
    return FEdit ? FEdit->SelLength() : 0;
}

void TCustomComboBox::SetSelLength(int Value) {
    if (FEdit)
        FEdit->SetSelLength(Value);
}

String TCustomComboBox::SelText() {
    return FEdit ? FEdit->SelText() : String();
}

void TCustomComboBox::SelectAll() {
    if (FEdit)
        FEdit->SelectAll();
}

void TCustomComboBox::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect)
        OnSelect(this);
    else
        Change();
}

void TCustomComboBox::UserSelect(int Index) {
    if (Index < 0 || Index >= Items()->Count() || Index == ItemIndex())
        return;
    std::weak_ptr<char> Alive = AliveToken();
    SelectIndex(Index);
    if (FEdit && FEdit->Focused())
        FEdit->SelectAll();
    Click();
    if (!Alive.expired())
        Select();
}

int TCustomComboBox::FindPrefix(const String& Prefix, int After) {
    if (Prefix.empty())
        return -1;
    return int(SendMessageW(FList->Handle(), LB_FINDSTRING, WPARAM(After), LPARAM(Prefix.c_str())));
}

void TCustomComboBox::DropDown() {
    if (FDropped || FStyle == csSimple)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    if (OnDropDown)
        OnDropDown(this);
    if (Alive.expired() || FDropped)
        return;
    RECT W;
    GetWindowRect(Handle(), &W);
    FList->HandleNeeded();
    int Rows = std::clamp(Items()->Count(), 1, FDropDownCount);
    int Height = Rows * ItemHeight() + 2;
    int Width = FDropDownWidth > 0 ? FDropDownWidth : W.Right - W.Left;
    RECT Work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    int Y = W.Bottom;
    if (Y + Height > Work.Bottom)
        Y = W.Top - Height;
    FList->SetBounds(W.Left, Y, Width, Height);
    FDroppedIndex = FList->ItemIndex();
    FList->SetTopIndex(0);
    FList->SetHotIndex(FDroppedIndex);
    FDropped = true;
    FList->Show();
    SetCapture(FList->Handle());
    FList->FTracking = false;
    Invalidate();
}

void TCustomComboBox::CloseUp(bool Accept) {
    if (!FDropped || FClosing)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    FClosing = true;
    FDropped = false;
    int Hot = FList->HotIndex();
    FList->FTracking = false;
    FList->Hide();
    if (GetCapture() == FList->Handle())
        ReleaseCapture();
    // The list's selection is the chosen item again; an accepted row is chosen below, with its events.
    FList->SetHotIndex(FDroppedIndex);
    FClosing = false;
    Invalidate();
    if (Accept && Hot >= 0)
        UserSelect(Hot);
    if (!Alive.expired() && OnCloseUp)
        OnCloseUp(this);
}

bool TCustomComboBox::NavigationKey(Word Key, TShiftState Shift) {
    bool Alt = Shift.Contains(ssAlt) || KeyHeld(VK_MENU);
    int Count = Items()->Count();
    if ((Key == VK_DOWN || Key == VK_UP) && Alt && FStyle != csSimple) {
        if (FDropped)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    if (Key == VK_F4 && FStyle != csSimple) {
        if (FDropped)
            CloseUp(true);
        else
            DropDown();
        return true;
    }
    int Page = std::max(FDropDownCount - 1, 1);
    if (FDropped) {
        int Hot = FList->HotIndex();
        switch (Key) {
        case VK_RETURN:
            CloseUp(true);
            return true;
        case VK_ESCAPE:
            CloseUp(false);
            return true;
        case VK_UP:
            FList->SetHotIndex(std::max(Hot - 1, 0));
            return true;
        case VK_DOWN:
            FList->SetHotIndex(std::min(Hot + 1, Count - 1));
            return true;
        case VK_PRIOR:
            FList->SetHotIndex(std::max(Hot - Page, 0));
            return true;
        case VK_NEXT:
            FList->SetHotIndex(std::min(std::max(Hot, 0) + Page, Count - 1));
            return true;
        }
        return false;
    }
    if (Count == 0)
        return false;
    int I = ItemIndex();
    switch (Key) {
    case VK_UP:
        I = I < 0 ? 0 : std::max(I - 1, 0);
        break;
    case VK_DOWN:
        I = std::min(I + 1, Count - 1);
        break;
    case VK_PRIOR:
        I = std::max(I - Page, 0);
        break;
    case VK_NEXT:
        I = std::min(std::max(I, 0) + Page, Count - 1);
        break;
    case VK_HOME:
    case VK_END:
        if (FEdit)
            return false;
        I = Key == VK_HOME ? 0 : Count - 1;
        break;
    default:
        return false;
    }
    UserSelect(I);
    return true;
}

void TCustomComboBox::EditChanged() {
    if (FSettingText || FCompleting)
        return;
    String T = FEdit->Text();
    if (FAutoComplete && FTypedChar && !T.empty() && FEdit->SelStart() == int(T.size())) {
        int I = FindPrefix(T, -1);
        if (I >= 0 && Items()->Strings(I) != T) {
            // The typed part stays; the rest of the item is selected for typing over.
            String Item = Items()->Strings(I);
            FCompleting = true;
            FEdit->SetText(T + Item.substr(T.size()));
            FEdit->SetSelStart(int(T.size()));
            FEdit->SetSelLength(int(Item.size() - T.size()));
            FCompleting = false;
            T = FEdit->Text();
        }
    }
    FTypedChar = false;
    FText = T;
    int Match = Items()->IndexOf(T);
    FList->SetHotIndex(Match);
    if (FDropped)
        FDroppedIndex = Match;
    Change();
}

void TCustomComboBox::DefaultHandler(TMessage& Message) {
    switch (Message.Msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (NavigationKey(Word(Message.WParam), KeyDataToShiftState(Message.LParam))) {
            Message.Result = 0;
            return;
        }
        break;
    case WM_CHAR:
        if (!FEdit && Message.WParam >= 32) {
            TypedSearch(Char(Message.WParam));
            Message.Result = 0;
            return;
        }
        break;
    }
    TWinControl::DefaultHandler(Message);
}

void TCustomComboBox::TypedSearch(Char Key) {
    TTypeAhead::TSearch Search = FTypeAhead.Add(Key);
    int From = FDropped ? FList->HotIndex() : ItemIndex();
    int I = FindPrefix(Search.Prefix, Search.FromCurrent ? From - 1 : From);
    if (I < 0)
        return;
    if (FDropped)
        FList->SetHotIndex(I);
    else
        UserSelect(I);
}

TRect TCustomComboBox::ButtonRect() {
    TRect C = ClientRect();
    if (FStyle == csSimple)
        return Rect(C.Right, 0, C.Right, 0);
    return Rect(C.Right - GetSystemMetrics(SM_CXVSCROLL), C.Top, C.Right, C.Bottom);
}

TRect TCustomComboBox::FieldRect() {
    TRect C = ClientRect();
    if (FStyle == csSimple)
        return Rect(0, 0, C.Right, ItemHeight() + 6);
    return Rect(C.Left, C.Top, ButtonRect().Left, C.Bottom);
}

void TCustomComboBox::Layout() {
    if (!HandleAllocated())
        return;
    TRect F = FieldRect();
    if (FStyle == csSimple) {
        if (FEdit) {
            FEdit->SetBorderStyle(bsSingle);
            FEdit->SetBounds(0, 0, F.Right, F.Bottom);
        }
        TRect C = ClientRect();
        FList->SetBounds(0, F.Bottom, C.Right, std::max(C.Bottom - F.Bottom, 0));
        return;
    }
    if (FEdit) {
        FEdit->SetBorderStyle(bsNone);
        int H = ItemHeight() + 2;
        FEdit->SetBounds(F.Left + 1, std::max((F.Bottom - H) / 2, 0), F.Right - F.Left - 2, H);
    }
}

void TCustomComboBox::PaintWindow(HDC DC) {
    TRect C = ClientRect();
    if (FStyle == csSimple) {
        FillWith(DC, C, clBtnFace);
        return;
    }
    TRect F = FieldRect();
    FillWith(DC, F, Enabled() ? Color() : clBtnFace);
    if (FStyle == csDropDownList) {
        bool Focus = Focused() && !FDropped;
        RECT Inner{F.Left + 1, F.Top + 1, F.Right - 1, F.Bottom - 1};
        if (Focus)
            FillWith(DC, Inner, clHighlight);
        HGDIOBJ Old = SelectObject(DC, Font()->Handle());
        SetBkMode(DC, TRANSPARENT);
        SetTextColor(DC, ColorToRGB(!Enabled() ? clGrayText : Focus ? clHighlightText : Font()->Color()));
        String T = Text();
        RECT R{Inner.Left + 2, Inner.Top, Inner.Right - 1, Inner.Bottom};
        DrawTextW(DC, T.c_str(), int(T.size()), &R, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
        SelectObject(DC, Old);
        if (Focus)
            DrawFocusRect(DC, &Inner);
    }
    RECT B = ButtonRect();
    FillWith(DC, B, clBtnFace);
    RECT E = B;
    if (FDropped) {
        // Pushed: a flat shadow frame, the arrow one pixel down and right.
        HBRUSH Shadow = CreateSolidBrush(ColorToRGB(clBtnShadow));
        FrameRect(DC, &E, Shadow);
        DeleteObject(Shadow);
        RECT A{B.Left + 1, B.Top + 1, B.Right + 1, B.Bottom + 1};
        DrawArrow(DC, A, Enabled());
    } else {
        DrawEdge(DC, &E, EDGE_RAISED, BF_RECT);
        DrawArrow(DC, B, Enabled());
    }
}

LRESULT TCustomComboBox::ComboMessage(TMessage& Message, bool& Handled) {
    // Only the combo box messages, and only while the list that holds the items is there.
    Handled = Message.Msg >= CB_GETEDITSEL && Message.Msg <= CB_SETDROPPEDWIDTH && FList;
    if (!Handled)
        return 0;
    TStrings* List = Items();
    int Count = List->Count();
    int Index = int(Message.WParam);
    auto Str = [&] { return Message.LParam ? String(reinterpret_cast<const WCHAR*>(Message.LParam)) : String(); };
    switch (Message.Msg) {
    case CB_ADDSTRING:
        return List->Add(Str());
    case CB_INSERTSTRING:
        return CbInsertString(Message);
    case CB_DELETESTRING:
        return CbDeleteString(Message);
    case CB_RESETCONTENT:
        return CbResetContent();
    case CB_GETCOUNT:
        return Count;
    case CB_GETCURSEL:
        return CbGetCurSel();
    case CB_SETCURSEL:
        return CbSetCurSel(Message);
    case CB_GETLBTEXTLEN:
        return Index >= 0 && Index < Count ? LRESULT(List->Strings(Index).size()) : CB_ERR;
    case CB_GETLBTEXT:
        return CbGetLbText(Message);
    case CB_FINDSTRING:
        return FindPrefix(Str(), Index);
    case CB_FINDSTRINGEXACT:
        return CbFindStringExact(Message);
    case CB_SELECTSTRING:
        return CbSelectString(Message);
    case CB_SHOWDROPDOWN:
        return CbShowDropDown(Message);
    case CB_GETDROPPEDSTATE:
        return FDropped;
    case CB_SETITEMHEIGHT:
        return CbSetItemHeight(Message);
    case CB_GETITEMHEIGHT:
        return Index == -1 && FFieldHeight > 0 ? FFieldHeight : ItemHeight();
    case CB_GETITEMDATA:
        return Index >= 0 && Index < Count ? LRESULT(List->Objects(Index)) : CB_ERR;
    case CB_SETITEMDATA:
        return CbSetItemData(Message);
    case CB_LIMITTEXT:
        return CbLimitText(Message);
    case CB_GETEDITSEL:
        return FEdit ? SendMessageW(FEdit->Handle(), EM_GETSEL, Message.WParam, Message.LParam) : CB_ERR;
    case CB_SETEDITSEL:
        return CbSetEditSel(Message);
    case CB_GETDROPPEDWIDTH:
        return FDropDownWidth > 0 ? FDropDownWidth : Width();
    case CB_SETDROPPEDWIDTH:
        return CbSetDroppedWidth(Message);
    }
    Handled = false;
    return 0;
}

LRESULT TCustomComboBox::CbInsertString(TMessage& Message) {
    TStrings* List = Items();
    int Count = Items()->Count();
    int Index = int(Message.WParam);
    auto Str = [&] { return Message.LParam ? String(reinterpret_cast<const WCHAR*>(Message.LParam)) : String(); };
    if (Index > Count)
        return CB_ERR;
    Index = Index < 0 ? Count : Index;
    List->Insert(Index, Str());
    return Index;
}

LRESULT TCustomComboBox::CbDeleteString(TMessage& Message) {
    TStrings* List = Items();
    int Count = Items()->Count();
    int Index = int(Message.WParam);
    if (Index < 0 || Index >= Count)
        return CB_ERR;
    List->Delete(Index);
    return List->Count();
}

LRESULT TCustomComboBox::CbResetContent() {
    TStrings* List = Items();
    List->Clear();
    SelectIndex(-1);
    return 0;
}

LRESULT TCustomComboBox::CbGetCurSel() {
    int Current = ItemIndex();
    return Current >= 0 ? Current : CB_ERR;
}

LRESULT TCustomComboBox::CbSetCurSel(TMessage& Message) {
    int Index = int(Message.WParam);
    // The message clears the selection for an index outside the items, as the platform's does.
    SelectIndex(Index);
    return ItemIndex() >= 0 ? ItemIndex() : CB_ERR;
}

LRESULT TCustomComboBox::CbGetLbText(TMessage& Message) {
    TStrings* List = Items();
    int Count = Items()->Count();
    int Index = int(Message.WParam);
    if (Index < 0 || Index >= Count)
        return CB_ERR;
    String S = List->Strings(Index);
    if (auto* Buf = reinterpret_cast<WCHAR*>(Message.LParam)) {
        std::copy(S.begin(), S.end(), Buf);
        Buf[S.size()] = 0;
    }
    return LRESULT(S.size());
}

LRESULT TCustomComboBox::CbFindStringExact(TMessage& Message) {
    int Index = int(Message.WParam);
    auto Str = [&] { return Message.LParam ? String(reinterpret_cast<const WCHAR*>(Message.LParam)) : String(); };
    String S = Str();
    return SendMessageW(FList->Handle(), LB_FINDSTRINGEXACT, WPARAM(Index), LPARAM(S.c_str()));
}

LRESULT TCustomComboBox::CbSelectString(TMessage& Message) {
    int Index = int(Message.WParam);
    auto Str = [&] { return Message.LParam ? String(reinterpret_cast<const WCHAR*>(Message.LParam)) : String(); };
    int I = FindPrefix(Str(), Index);
    if (I >= 0)
        SelectIndex(I);
    return I;
}

LRESULT TCustomComboBox::CbShowDropDown(TMessage& Message) {
    SetDroppedDown(Message.WParam != 0);
    return TRUE;
}

LRESULT TCustomComboBox::CbSetItemHeight(TMessage& Message) {
    int Index = int(Message.WParam);
    if (Index == -1) {
        FFieldHeight = int(Message.LParam);
        SetBounds(Left(), Top(), Width(), Height());
        Layout();
    } else {
        SetItemHeight(int(Message.LParam));
    }
    return 0;
}

LRESULT TCustomComboBox::CbSetItemData(TMessage& Message) {
    TStrings* List = Items();
    int Count = Items()->Count();
    int Index = int(Message.WParam);
    if (Index < 0 || Index >= Count)
        return CB_ERR;
    List->SetObjects(Index, reinterpret_cast<TObject*>(Message.LParam));
    return TRUE;
}

LRESULT TCustomComboBox::CbLimitText(TMessage& Message) {
    int Index = int(Message.WParam);
    SetMaxLength(Index);
    return TRUE;
}

LRESULT TCustomComboBox::CbSetEditSel(TMessage& Message) {
    if (!FEdit)
        return CB_ERR;
    SendMessageW(FEdit->Handle(), EM_SETSEL, WPARAM(short(LOWORD(Message.LParam))),
                 LPARAM(short(HIWORD(Message.LParam))));
    return TRUE;
}

LRESULT TCustomComboBox::CbSetDroppedWidth(TMessage& Message) {
    int Index = int(Message.WParam);
    SetDropDownWidth(Index);
    return FDropDownWidth;
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    bool Handled = false;
    LRESULT R = ComboMessage(Message, Handled);
    if (Handled) {
        Message.Result = R;
        return;
    }
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS | (FDropped ? DLGC_WANTALLKEYS : 0);
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
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
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    case WM_MOUSEWHEEL:
        WheelSelect(Message);
        return;
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        CMFontOrEnabledChanged(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomComboBox::WMSetFocus(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    if (FEdit) {
        FEdit->SetFocus();
        FEdit->SelectAll();
        return;
    }
    TWinControl::Dispatch(Message);
    if (!Alive.expired())
        Invalidate();
}

void TCustomComboBox::WMKillFocus(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired() && !(FEdit && HWND(Message.WParam) == FEdit->Handle()))
        CloseUp(false);
    if (!Alive.expired())
        Invalidate();
}

void TCustomComboBox::WMSize(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired())
        Layout();
}

void TCustomComboBox::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired() || FStyle == csSimple)
        return;
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    if (FStyle == csDropDownList || PtInRect(ButtonRect(), P)) {
        if (FEdit && !FEdit->Focused())
            FEdit->SetFocus();
        if (FDropped) {
            CloseUp(false);
        } else {
            DropDown();
            if (FDropped)
                FList->StartTracking();
        }
    }
}

void TCustomComboBox::WheelSelect(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired() || Message.Result)
        return;
    int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
    if (FDropped)
        SendMessageW(FList->Handle(), WM_MOUSEWHEEL, Message.WParam, Message.LParam);
    else if (Items()->Count() > 0)
        UserSelect(std::clamp(ItemIndex() + (Delta > 0 ? -1 : 1), 0, Items()->Count() - 1));
    Message.Result = 1;
}

void TCustomComboBox::CMFontOrEnabledChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    // The edit and the list are part of the combo box: they go grey with it.
    if (!Alive.expired() && Message.Msg == CM_ENABLEDCHANGED) {
        if (FEdit)
            FEdit->SetEnabled(Enabled());
        FList->SetEnabled(Enabled());
    }
    if (!Alive.expired()) {
        if (Message.Msg == CM_FONTCHANGED)
            FList->FollowCombo();
        SetBounds(Left(), Top(), Width(), Height());
        Layout();
        Invalidate();
    }
}
