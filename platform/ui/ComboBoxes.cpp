#include "platform/ui/ComboBoxes.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/WinText.h"
#include "platform/ui/Forms.h"

#include <algorithm>

namespace {

constexpr DWORD SearchPauseMs = 1000; // typed characters further apart start a new search
constexpr int WheelRows = 3;

bool KeyHeld(int Vk) { return GetKeyState(Vk) < 0; }

int TextHeightOf(TFont* Font) {
    HDC DC = CreateCompatibleDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, Font->Handle());
    TEXTMETRICW Tm;
    GetTextMetricsW(DC, &Tm);
    SelectObject(DC, Old);
    DeleteDC(DC);
    return std::max<int>(Tm.tmHeight, 1);
}

// The small black triangle of the drop-down button and the scroll arrows (Down: pointing down).
void DrawArrow(HDC DC, const RECT& R, bool Down, bool Enabled) {
    int W = 7, H = 4;
    int X = (R.Left + R.Right - W) / 2, Y = (R.Top + R.Bottom - H) / 2;
    COLORREF C = ColorToRGB(Enabled ? clBtnText : clGrayText);
    for (int I = 0; I < H; ++I) {
        int Row = Down ? Y + I : Y + H - 1 - I;
        RECT Line{X + I, Row, X + W - I, Row + 1};
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
        case WM_KILLFOCUS: {
            std::weak_ptr<char> Alive = FCombo->AliveToken();
            TCustomEdit::Dispatch(Message);
            HWND To = HWND(Message.WParam);
            if (!Alive.expired() && To != FCombo->Handle())
                FCombo->CloseUp(false);
            if (!Alive.expired())
                FCombo->Invalidate();
            return;
        }
        }
        TCustomEdit::Dispatch(Message);
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

TComboListBox::TComboListBox(TCustomComboBox* ACombo, bool APopup)
    : TCustomControl(ACombo), FCombo(ACombo), FPopup(APopup) {
    // The list keeps the mouse itself while it is open.
    FControlStyle = TControlStyle{csOpaque, csDoubleClicks};
    SetVisible(!APopup);
    SetColor(clWindow);
    SetParentColor(false);
}

void TComboListBox::CreateParams(TCreateParams& Params) {
    TCustomControl::CreateParams(Params);
    if (FPopup) {
        Params.Style = WS_POPUP | WS_BORDER | WS_CLIPCHILDREN;
        Params.ExStyle = WS_EX_TOOLWINDOW | WS_EX_TOPMOST | WS_EX_NOACTIVATE;
        Params.WndParent = FCombo->HandleAllocated() ? GetAncestor(FCombo->Handle(), GA_ROOT) : nullptr;
        Params.WindowClass.style |= CS_SAVEBITS;
    } else {
        Params.ExStyle |= WS_EX_CLIENTEDGE;
    }
}

int TComboListBox::VisibleRows() { return std::max(ClientHeight() / FCombo->ItemHeight(), 1); }

bool TComboListBox::HasScrollBar() { return FCombo->Items()->Count() > VisibleRows(); }

TRect TComboListBox::ScrollBarRect() {
    TRect C = ClientRect();
    return Rect(C.Right - GetSystemMetrics(SM_CXVSCROLL), 0, C.Right, C.Bottom);
}

int TComboListBox::ItemAtPos(TPoint P) {
    TRect C = ClientRect();
    if (HasScrollBar())
        C.Right = ScrollBarRect().Left;
    if (!PtInRect(C, P))
        return -1;
    int I = FTop + P.Y / FCombo->ItemHeight();
    return I < FCombo->Items()->Count() ? I : -1;
}

void TComboListBox::SetHotIndex(int Value) {
    int Count = FCombo->Items()->Count();
    FHot = Value >= 0 && Value < Count ? Value : -1;
    if (FHot >= 0) {
        int Rows = VisibleRows();
        if (FHot < FTop)
            FTop = FHot;
        else if (FHot >= FTop + Rows)
            FTop = FHot - Rows + 1;
    }
    Invalidate();
}

void TComboListBox::SetTopIndex(int Value) {
    FTop = std::clamp(Value, 0, std::max(FCombo->Items()->Count() - VisibleRows(), 0));
    Invalidate();
}

void TComboListBox::StartTracking() {
    FTracking = true;
    FWasInList = false;
}

void TComboListBox::Paint() {
    HDC DC = Canvas()->Handle();
    TRect C = ClientRect();
    bool Bar = HasScrollBar();
    TRect Items = C;
    if (Bar)
        Items.Right = ScrollBarRect().Left;
    FillWith(DC, Items, clWindow);
    TStrings* S = FCombo->Items();
    int Ih = FCombo->ItemHeight();
    HGDIOBJ OldFont = SelectObject(DC, FCombo->Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    for (int I = FTop; I < S->Count(); ++I) {
        RECT R{Items.Left, (I - FTop) * Ih, Items.Right, (I - FTop + 1) * Ih};
        if (R.Top >= Items.Bottom)
            break;
        bool Hot = I == FHot;
        if (Hot)
            FillWith(DC, R, clHighlight);
        SetTextColor(DC, ColorToRGB(Hot ? clHighlightText : FCombo->Font()->Color()));
        RECT T{R.Left + 2, R.Top, R.Right - 2, R.Bottom};
        String Text = S->Strings(I);
        DrawTextW(DC, Text.c_str(), int(Text.size()), &T, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    SelectObject(DC, OldFont);
    if (!Bar)
        return;
    // The classic scroll bar: two arrow buttons and a thumb in a light track.
    TRect B = ScrollBarRect();
    int Sb = B.Right - B.Left;
    RECT Up{B.Left, B.Top, B.Right, B.Top + Sb}, Down{B.Left, B.Bottom - Sb, B.Right, B.Bottom};
    RECT Track{B.Left, Up.Bottom, B.Right, Down.Top};
    FillWith(DC, Track, clBtnHighlight);
    for (RECT* Button : {&Up, &Down}) {
        FillWith(DC, *Button, clBtnFace);
        RECT E = *Button;
        DrawEdge(DC, &E, EDGE_RAISED, BF_RECT);
        DrawArrow(DC, *Button, Button == &Down, true);
    }
    int Count = S->Count(), Rows = VisibleRows();
    int Len = Track.Bottom - Track.Top;
    int Thumb = std::max(Len * Rows / std::max(Count, 1), 8);
    int Pos = Track.Top + (Count > Rows ? (Len - Thumb) * FTop / (Count - Rows) : 0);
    RECT T{B.Left, Pos, B.Right, Pos + Thumb};
    FillWith(DC, T, clBtnFace);
    DrawEdge(DC, &T, EDGE_RAISED, BF_RECT);
}

void TComboListBox::Dispatch(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TPoint P{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)};
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_MOUSEWHEEL:
        SetTopIndex(FTop - GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA * WheelRows);
        Message.Result = 1;
        return;
    case WM_MOUSEMOVE:
        if (FPopup) {
            int I = ItemAtPos(P);
            if (I >= 0) {
                FWasInList = true;
                if (I != FHot)
                    SetHotIndex(I);
            }
        }
        break;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
        if (HasScrollBar() && PtInRect(ScrollBarRect(), P)) {
            TRect B = ScrollBarRect();
            int Sb = B.Right - B.Left, Rows = VisibleRows();
            if (P.Y < Sb)
                SetTopIndex(FTop - 1);
            else if (P.Y >= B.Bottom - Sb)
                SetTopIndex(FTop + 1);
            else
                SetTopIndex(P.Y < B.Bottom / 2 ? FTop - Rows : FTop + Rows);
            return;
        }
        int I = ItemAtPos(P);
        if (!FPopup) {
            // The list under the edit selects on the press.
            if (I >= 0)
                FCombo->UserSelect(I);
            if (!Alive.expired() && FCombo->EditControl())
                FCombo->EditControl()->SetFocus();
            return;
        }
        if (!PtInRect(ClientRect(), P)) {
            // A press anywhere else closes the list; the press goes no further.
            FCombo->CloseUp(false);
            return;
        }
        if (I >= 0)
            SetHotIndex(I);
        FTracking = true;
        FWasInList = true;
        return;
    }
    case WM_LBUTTONUP:
        if (!FPopup || !FTracking)
            return;
        FTracking = false;
        if (ItemAtPos(P) >= 0)
            FCombo->CloseUp(true);
        else if (FWasInList)
            FCombo->CloseUp(false);
        // Released where the press began (the combo box): the list stays open.
        return;
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        if (FPopup && !PtInRect(ClientRect(), P))
            FCombo->CloseUp(false);
        return;
    case WM_CAPTURECHANGED:
        if (FPopup && FCombo->FDropped && !FCombo->FClosing && HWND(Message.LParam) != FHandle)
            FCombo->CloseUp(false);
        return;
    }
    TCustomControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------------------------
// TCustomComboBox

TCustomComboBox::TCustomComboBox(TComponent* AOwner) : TWinControl(AOwner), FItems(std::make_unique<TStringList>()) {
    FControlStyle = TControlStyle{csSetCaption, csDoubleClicks};
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FList = new TComboListBox(this, true);
    FEdit = new TComboEdit(this);
    FEdit->SetParent(this);
    SetBounds(0, 0, 145, 21);
}

TCustomComboBox::~TCustomComboBox() {
    // The list and the edit go while the combo box is still whole; an open list closes without events.
    FDropped = false;
    delete FList;
    FList = nullptr;
    delete FEdit;
    FEdit = nullptr;
}

void TCustomComboBox::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    if (FStyle != csSimple)
        Params.ExStyle |= WS_EX_CLIENTEDGE;
}

void TCustomComboBox::CreateWnd() {
    TWinControl::CreateWnd();
    Layout();
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle)
        return;
    CloseUp(false);
    FStyle = Value;
    String Current = Text();
    delete FList;
    FList = new TComboListBox(this, Value != csSimple);
    if (Value == csSimple)
        FList->SetParent(this);
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

int TCustomComboBox::ItemHeight() { return FItemHeight > 0 ? FItemHeight : TextHeightOf(Font()); }

void TCustomComboBox::SetItemHeight(int Value) {
    FItemHeight = std::max(Value, 0);
    SetBounds(Left(), Top(), Width(), Height());
    Layout();
    Invalidate();
}

bool TCustomComboBox::Sorted() const { return FItems->Sorted(); }

void TCustomComboBox::SetSorted(bool Value) { FItems->SetSorted(Value); }

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

bool TCustomComboBox::DroppedDown() const { return FDropped; }

void TCustomComboBox::SetDroppedDown(bool Value) {
    if (Value)
        DropDown();
    else
        CloseUp(false);
}

void TCustomComboBox::ItemsChanged(TObject*) {
    // The selection stays with its item when others come or go before it.
    if (FItemIndex >= 0 && (FItemIndex >= FItems->Count() || FItems->Strings(FItemIndex) != FSelectedItem)) {
        FItemIndex = -1;
        for (int I = 0; I < FItems->Count(); ++I)
            if (FItems->Strings(I) == FSelectedItem) {
                FItemIndex = I;
                break;
            }
    }
    if (FList) {
        FList->SetTopIndex(FList->TopIndex());
        if (FList->HotIndex() >= FItems->Count())
            FList->SetHotIndex(-1);
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

void TCustomComboBox::SetItemIndex(int Value) {
    // An index outside the items clears the selection, as CB_SETCURSEL does.
    SelectIndex(Value < -1 || Value >= FItems->Count() ? -1 : Value);
}

void TCustomComboBox::SelectIndex(int Value) {
    if (Value < 0 || Value >= FItems->Count()) {
        FItemIndex = -1;
        ShowEditText(String());
    } else {
        FItemIndex = Value;
        FSelectedItem = FItems->Strings(Value);
        ShowEditText(FSelectedItem);
    }
    if (FList && (!FList->FPopup || FDropped || FItemIndex >= 0))
        FList->SetHotIndex(FItemIndex);
    Invalidate();
}

String TCustomComboBox::Text() {
    if (FEdit)
        return FEdit->Text();
    return FItemIndex >= 0 ? FItems->Strings(FItemIndex) : String();
}

void TCustomComboBox::SetText(const String& Value) {
    int Match = FItems->IndexOf(Value);
    if (!FEdit) {
        if (Match >= 0)
            SelectIndex(Match);
        return;
    }
    ShowEditText(Value);
    FItemIndex = Match;
    if (Match >= 0)
        FSelectedItem = FItems->Strings(Match);
    if (FList)
        FList->SetHotIndex(Match);
    Invalidate();
}

int TCustomComboBox::SelStart() { return FEdit ? FEdit->SelStart() : 0; }

void TCustomComboBox::SetSelStart(int Value) {
    if (FEdit)
        FEdit->SetSelStart(Value);
}

int TCustomComboBox::SelLength() { return FEdit ? FEdit->SelLength() : 0; }

void TCustomComboBox::SetSelLength(int Value) {
    if (FEdit)
        FEdit->SetSelLength(Value);
}

String TCustomComboBox::SelText() { return FEdit ? FEdit->SelText() : String(); }

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
    if (Index < 0 || Index >= FItems->Count() || Index == FItemIndex)
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
    int Count = FItems->Count();
    if (Prefix.empty() || Count == 0)
        return -1;
    int Start = After < -1 || After >= Count ? -1 : After;
    for (int K = 1; K <= Count; ++K) {
        int I = (Start + K) % Count;
        String S = FItems->Strings(I);
        if (S.size() >= Prefix.size() && AnsiCompareText(S.substr(0, Prefix.size()), Prefix) == 0)
            return I;
    }
    return -1;
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
    int Rows = std::clamp(FItems->Count(), 1, FDropDownCount);
    int Height = Rows * ItemHeight() + 2;
    int Width = FDropDownWidth > 0 ? FDropDownWidth : W.Right - W.Left;
    RECT Work{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    int Y = W.Bottom;
    if (Y + Height > Work.Bottom)
        Y = W.Top - Height;
    FList->SetBounds(W.Left, Y, Width, Height);
    FList->FTop = 0;
    FList->SetHotIndex(FItemIndex);
    FDroppedIndex = FItemIndex;
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
    FClosing = false;
    Invalidate();
    if (Accept && Hot >= 0)
        UserSelect(Hot);
    if (!Alive.expired() && OnCloseUp)
        OnCloseUp(this);
}

bool TCustomComboBox::NavigationKey(Word Key, TShiftState Shift) {
    bool Alt = Shift.Contains(ssAlt) || KeyHeld(VK_MENU);
    int Count = FItems->Count();
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
    int I = FItemIndex;
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
        if (I >= 0 && FItems->Strings(I) != T) {
            // The typed part stays; the rest of the item is selected for typing over.
            String Item = FItems->Strings(I);
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
    FItemIndex = FItems->IndexOf(T);
    if (FItemIndex >= 0)
        FSelectedItem = FItems->Strings(FItemIndex);
    if (FList && (FDropped || !FList->FPopup))
        FList->SetHotIndex(FItemIndex);
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
    // Quick characters make one prefix; one letter again and again walks through the items that begin
    // with it.
    DWORD Now = GetTickCount();
    if (Now - FSearchTime > SearchPauseMs)
        FSearch.clear();
    FSearchTime = Now;
    FSearch += Key;
    bool Repeated = std::all_of(FSearch.begin(), FSearch.end(), [&](Char C) { return C == FSearch[0]; });
    int From = FDropped ? FList->HotIndex() : FItemIndex;
    int I = Repeated ? FindPrefix(FSearch.substr(0, 1), From) : FindPrefix(FSearch, From - 1);
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
        DrawArrow(DC, A, true, Enabled());
    } else {
        DrawEdge(DC, &E, EDGE_RAISED, BF_RECT);
        DrawArrow(DC, B, true, Enabled());
    }
}

LRESULT TCustomComboBox::ComboMessage(TMessage& Message, bool& Handled) {
    Handled = true;
    int Count = FItems->Count();
    int Index = int(Message.WParam);
    auto Str = [&] { return Message.LParam ? String(reinterpret_cast<const WCHAR*>(Message.LParam)) : String(); };
    switch (Message.Msg) {
    case CB_ADDSTRING:
        return FItems->Add(Str());
    case CB_INSERTSTRING:
        if (Index > Count)
            return CB_ERR;
        Index = Index < 0 ? Count : Index;
        FItems->Insert(Index, Str());
        return Index;
    case CB_DELETESTRING:
        if (Index < 0 || Index >= Count)
            return CB_ERR;
        FItems->Delete(Index);
        return FItems->Count();
    case CB_RESETCONTENT:
        FItems->Clear();
        SelectIndex(-1);
        return 0;
    case CB_GETCOUNT:
        return Count;
    case CB_GETCURSEL:
        return FItemIndex;
    case CB_SETCURSEL:
        // The message clears the selection for an index outside the items, as the platform's does.
        SelectIndex(Index);
        return FItemIndex >= 0 ? FItemIndex : CB_ERR;
    case CB_GETLBTEXTLEN:
        return Index >= 0 && Index < Count ? LRESULT(FItems->Strings(Index).size()) : CB_ERR;
    case CB_GETLBTEXT: {
        if (Index < 0 || Index >= Count)
            return CB_ERR;
        String S = FItems->Strings(Index);
        if (auto* Buf = reinterpret_cast<WCHAR*>(Message.LParam)) {
            std::copy(S.begin(), S.end(), Buf);
            Buf[S.size()] = 0;
        }
        return LRESULT(S.size());
    }
    case CB_FINDSTRING:
        return FindPrefix(Str(), Index);
    case CB_FINDSTRINGEXACT: {
        String S = Str();
        for (int K = 1; K <= Count; ++K) {
            int I = ((Index < -1 || Index >= Count ? -1 : Index) + K) % Count;
            if (AnsiCompareText(FItems->Strings(I), S) == 0)
                return I;
        }
        return CB_ERR;
    }
    case CB_SELECTSTRING: {
        int I = FindPrefix(Str(), Index);
        if (I >= 0)
            SelectIndex(I);
        return I;
    }
    case CB_SHOWDROPDOWN:
        SetDroppedDown(Message.WParam != 0);
        return TRUE;
    case CB_GETDROPPEDSTATE:
        return FDropped;
    case CB_SETITEMHEIGHT:
        if (Index == -1) {
            FFieldHeight = int(Message.LParam);
            SetBounds(Left(), Top(), Width(), Height());
            Layout();
        } else {
            SetItemHeight(int(Message.LParam));
        }
        return 0;
    case CB_GETITEMHEIGHT:
        return Index == -1 && FFieldHeight > 0 ? FFieldHeight : ItemHeight();
    case CB_GETITEMDATA:
        return Index >= 0 && Index < Count ? LRESULT(FItems->Objects(Index)) : CB_ERR;
    case CB_SETITEMDATA:
        if (Index < 0 || Index >= Count)
            return CB_ERR;
        FItems->SetObjects(Index, reinterpret_cast<TObject*>(Message.LParam));
        return TRUE;
    case CB_LIMITTEXT:
        SetMaxLength(Index);
        return TRUE;
    case CB_GETEDITSEL:
        return FEdit ? SendMessageW(FEdit->Handle(), EM_GETSEL, Message.WParam, Message.LParam) : CB_ERR;
    case CB_SETEDITSEL:
        if (!FEdit)
            return CB_ERR;
        SendMessageW(FEdit->Handle(), EM_SETSEL, WPARAM(short(LOWORD(Message.LParam))),
                     LPARAM(short(HIWORD(Message.LParam))));
        return TRUE;
    case CB_GETDROPPEDWIDTH:
        return FDropDownWidth > 0 ? FDropDownWidth : Width();
    case CB_SETDROPPEDWIDTH:
        SetDropDownWidth(Index);
        return FDropDownWidth;
    }
    Handled = false;
    return 0;
}

void TCustomComboBox::Dispatch(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
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
        if (FEdit) {
            FEdit->SetFocus();
            FEdit->SelectAll();
            return;
        }
        TWinControl::Dispatch(Message);
        if (!Alive.expired())
            Invalidate();
        return;
    case WM_KILLFOCUS:
        TWinControl::Dispatch(Message);
        if (!Alive.expired() && !(FEdit && HWND(Message.WParam) == FEdit->Handle()))
            CloseUp(false);
        if (!Alive.expired())
            Invalidate();
        return;
    case WM_SIZE:
        TWinControl::Dispatch(Message);
        if (!Alive.expired())
            Layout();
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK: {
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
        return;
    }
    case WM_MOUSEWHEEL: {
        TWinControl::Dispatch(Message);
        if (Alive.expired() || Message.Result)
            return;
        int Delta = GET_WHEEL_DELTA_WPARAM(Message.WParam);
        if (FDropped)
            FList->SetTopIndex(FList->TopIndex() - Delta / WHEEL_DELTA * WheelRows);
        else if (FItems->Count() > 0)
            UserSelect(std::clamp(FItemIndex + (Delta > 0 ? -1 : 1), 0, FItems->Count() - 1));
        Message.Result = 1;
        return;
    }
    case CM_FONTCHANGED:
    case CM_ENABLEDCHANGED:
        TWinControl::Dispatch(Message);
        // The edit and the list are part of the combo box: they go grey with it.
        if (!Alive.expired() && Message.Msg == CM_ENABLEDCHANGED) {
            if (FEdit)
                FEdit->SetEnabled(Enabled());
            FList->SetEnabled(Enabled());
        }
        if (!Alive.expired()) {
            SetBounds(Left(), Top(), Width(), Height());
            Layout();
            Invalidate();
        }
        return;
    }
    TWinControl::Dispatch(Message);
}
