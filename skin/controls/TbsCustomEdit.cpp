#include "skin/controls/TbsCustomEdit.h"

#include <clocale>

#include "platform/gdi/WinGdi.h"
#include "platform/ui/Forms.h"
#include "skin/controls/bsSkinMenuServices.h"
#include "skin/core/TbsSkinData.h"

namespace {

// Frees the menu a finished command left behind (posted to the edit itself).
constexpr UINT WM_FREERELEASEDMENU = WM_USER + 301;

bool IsDialogChar(WPARAM C) {
    return C == VK_RETURN || C == VK_ESCAPE;
}

// One row of the context menu.
struct TSysMenuRow {
    const char16_t* Key;
    const char16_t* BuiltIn;
};

} // namespace

Char LocaleDecimalSeparator() {
    const std::lconv* L = std::localeconv();
    if (L && L->decimal_point && L->decimal_point[0] && static_cast<unsigned char>(L->decimal_point[0]) < 0x80)
        return Char(L->decimal_point[0]);
    return u'.';
}

// ---------------------------------------------------------------------------------------------
// TbsCustomEdit

TbsCustomEdit::TbsCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
    FControlStyle += csOpaque;
}

void TbsCustomEdit::CreateParams(TCreateParams& Params) {
    TCustomMaskEdit::CreateParams(Params);
    Params.Style &= ~WS_BORDER;
    Params.ExStyle &= ~WS_EX_CLIENTEDGE;
    if (FEditTransparent)
        Params.ExStyle |= WS_EX_TRANSPARENT;
    // One line of a multi-line window: Enter reaches the edit as a character, which it hands to the form.
    if (PasswordChar() != 0)
        Params.Style |= ES_PASSWORD;
    else
        Params.Style |= ES_MULTILINE;
}

void TbsCustomEdit::SetEditTransparent(bool Value) {
    if (Value == FEditTransparent)
        return;
    FEditTransparent = Value;
    RecreateWnd();
}

void TbsCustomEdit::Invalidate() {
    if (!FEditTransparent || !HandleAllocated()) {
        TCustomMaskEdit::Invalidate();
        return;
    }
    if (TWinControl* P = Parent(); P && P->HandleAllocated()) {
        RECT R = ClientRect();
        MapWindowPoints(FHandle, P->Handle(), reinterpret_cast<POINT*>(&R), 2);
        InvalidateRect(P->Handle(), &R, TRUE);
    }
    // Children are clipped out of their parent here, so the edit lays the parent's background under its
    // text itself when it is erased.
    RedrawWindow(FHandle, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
}

void TbsCustomEdit::Change() {
    TCustomMaskEdit::Change();
    if (FEditTransparent)
        Invalidate();
}

void TbsCustomEdit::Dispatch(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    switch (Message.Msg) {
    case WM_CHAR:
        WMChar(Message);
        return;
    case WM_KEYDOWN:
        WMKeyDown(Message);
        return;
    case WM_SETFONT:
        WMSetFont(Message);
        return;
    case WM_SETFOCUS:
        WMSetFocus(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_CONTEXTMENU:
        WMContextMenu(Message);
        return;
    case WM_POPUPMENUCOMMAND:
        WMPopupMenuCommand(Message);
        return;
    case WM_FREERELEASEDMENU:
        delete FReleasedMenu;
        FReleasedMenu = nullptr;
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
        CNCtlColor(Message);
        return;
    case CM_CANCELMODE:
        CMCancelMode(Message);
        return;
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
        if (FReadOnly)
            return;
        TCustomMaskEdit::Dispatch(Message);
        break;
    case WM_LBUTTONDOWN:
        TCustomMaskEdit::Dispatch(Message);
        if (!Alive.expired())
            FDown = true;
        break;
    case WM_LBUTTONUP:
        TCustomMaskEdit::Dispatch(Message);
        if (!Alive.expired())
            FDown = false;
        return;
    case WM_MOUSEMOVE:
        TCustomMaskEdit::Dispatch(Message);
        // Only a drag selection changes what shows.
        if (!Alive.expired() && FDown && FEditTransparent)
            Invalidate();
        return;
    case WM_KILLFOCUS:
    case WM_SETTEXT:
    case WM_MOVE:
        TCustomMaskEdit::Dispatch(Message);
        break;
    default:
        TCustomMaskEdit::Dispatch(Message);
        return;
    }
    if (!Alive.expired() && FEditTransparent)
        Invalidate();
}

void TbsCustomEdit::WMChar(TMessage& Message) {
    const WPARAM C = Message.WParam;
    if (IsDialogChar(C)) {
        // Enter and Escape never type: the edit's own key event sees them, then the form's default or cancel
        // button answers them.
        Char Key = Char(C);
        if (OnKeyPress)
            OnKeyPress(this, Key);
        if (TCustomForm* Form = GetParentForm(this))
            Form->Perform(CM_DIALOGKEY, C, Message.LParam);
        return;
    }
    if (FReadOnly)
        return;
    TCustomMaskEdit::Dispatch(Message);
}

void TbsCustomEdit::WMKeyDown(TMessage& Message) {
    if (FReadOnly && Message.WParam == VK_DELETE)
        return;
    std::weak_ptr<char> Alive = AliveToken();
    TCustomMaskEdit::Dispatch(Message);
    if (!Alive.expired() && FEditTransparent)
        Invalidate();
}

void TbsCustomEdit::WMSetFont(TMessage& Message) {
    TCustomMaskEdit::Dispatch(Message);
    if (HandleAllocated())
        SendMessageW(FHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
}

void TbsCustomEdit::WMSetFocus(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TCustomMaskEdit::Dispatch(Message);
    if (Alive.expired())
        return;
    if (AutoSelect())
        SelectAll();
    if (FEditTransparent)
        Invalidate();
}

void TbsCustomEdit::WMEraseBkgnd(TMessage& Message) {
    if (!FEditTransparent) {
        TCustomMaskEdit::Dispatch(Message);
        return;
    }
    // Nothing is erased here: the paint that follows lays the parent's background under the text. Asking for
    // a repaint from inside the erase would start the next erase at once, without end.
    Message.Result = 0;
}

void TbsCustomEdit::CNCtlColor(TMessage& Message) {
    if (!FEditTransparent) {
        TCustomMaskEdit::Dispatch(Message);
        return;
    }
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    SetBkMode(DC, TRANSPARENT);
    SetTextColor(DC, ColorToRGB(Font()->Color()));
    Message.Result = LRESULT(GetStockObject(NULL_BRUSH));
}

void TbsCustomEdit::CMCancelMode(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TCustomMaskEdit::Dispatch(Message);
    if (!Alive.expired() && OnEditCancelMode)
        OnEditCancelMode(reinterpret_cast<TControl*>(Message.LParam));
}

void TbsCustomEdit::WMContextMenu(TMessage& Message) {
    if (PopupMenu()) {
        TCustomMaskEdit::Dispatch(Message);
        return;
    }
    BuildSysPopupMenu();
    int X = GET_X_LPARAM(Message.LParam);
    int Y = GET_Y_LPARAM(Message.LParam);
    // From the keyboard (Shift+F10, the menu key) the menu opens at the edit's centre.
    if (X < 0 || Y < 0) {
        const TPoint Centre = ClientToScreen(TPoint{Width() / 2, Height() / 2});
        X = Centre.X;
        Y = Centre.Y;
    }
    Message.Result = 1;
    PopupMenuService()->Popup2(FSysPopupMenu, this, X, Y);
}

void TbsCustomEdit::WMPopupMenuCommand(TMessage&) {
    // The menu's own click is still on the way back out: it is freed after it returned.
    if (!FSysPopupMenu)
        return;
    delete FReleasedMenu;
    FReleasedMenu = FSysPopupMenu;
    FSysPopupMenu = nullptr;
    PostMessageW(Handle(), WM_FREERELEASEDMENU, 0, 0);
}

void TbsCustomEdit::FreeSysPopupMenu() {
    TPopupMenu* Old = FSysPopupMenu;
    FSysPopupMenu = nullptr;
    delete Old;
}

void TbsCustomEdit::BuildSysPopupMenu() {
    FreeSysPopupMenu();
    FSysPopupMenu = new TPopupMenu(this);

    TbsResourceStrData* Strings = nullptr;
    if (TbsSkinData* SD = FormSkinLookup()->FormSkinData(this))
        Strings = SD->ResourceStrData();
    auto CaptionOf = [Strings](const TSysMenuRow& Row) {
        return Strings ? Strings->GetResStr(Row.Key) : String(Row.BuiltIn);
    };

    const int SelFrom = SelStart();
    const int SelTo = SelFrom + SelLength();
    const bool HasSelection = SelFrom < SelTo;
    const bool AllSelected = SelFrom == 0 && SelTo == int(Text().size());
    const bool CanPaste = !GetClipboardText().empty();

    struct TItem {
        TSysMenuRow Row;
        bool Enabled;
        void (TbsCustomEdit::*Action)();
    };
    const TItem Items[] = {
        {{u"EDIT_UNDO", u"Undo"}, CanUndo(), &TbsCustomEdit::Undo},
        {{nullptr, nullptr}, false, nullptr},
        {{u"EDIT_CUT", u"Cut"}, HasSelection && !FReadOnly, &TbsCustomEdit::CutToClipboard},
        {{u"EDIT_COPY", u"Copy"}, HasSelection, &TbsCustomEdit::CopyToClipboard},
        {{u"EDIT_PASTE", u"Paste"}, CanPaste && !FReadOnly, &TbsCustomEdit::PasteFromClipboard},
        {{u"EDIT_DELETE", u"Delete"}, HasSelection && !FReadOnly, &TbsCustomEdit::ClearSelection},
        {{nullptr, nullptr}, false, nullptr},
        {{u"EDIT_SELECTALL", u"Select All"}, !AllSelected, &TbsCustomEdit::SelectAll},
    };
    for (const TItem& It : Items) {
        auto* Item = new TMenuItem(FSysPopupMenu);
        if (!It.Action) {
            Item->SetCaption(u"-");
        } else {
            Item->SetCaption(CaptionOf(It.Row));
            Item->SetEnabled(It.Enabled);
            auto Action = It.Action;
            std::weak_ptr<char> Alive = AliveToken();
            Item->OnClick = [this, Action, Alive](TObject*) {
                if (!Alive.expired())
                    (this->*Action)();
            };
        }
        FSysPopupMenu->Items()->Add(Item);
    }
}

// ---------------------------------------------------------------------------------------------
// TbsSkinNumEdit

TbsSkinNumEdit::TbsSkinNumEdit(TComponent* AOwner) : TbsCustomEdit(AOwner) {}

bool TbsSkinNumEdit::IsValidChar(Char C) {
    const Char Separator = LocaleDecimalSeparator();
    const bool Control = C < 32 && C != VK_RETURN;
    const bool Digit = C >= u'0' && C <= u'9';
    bool Valid =
        Float ? (C <= 255 && (C == u'-' || Digit || C == Separator)) || Control : C == u'-' || Digit || Control;
    if (Valid && !FEditorEnabled && (C >= 32 || C == VK_BACK))
        Valid = false;
    if (Valid && C == Separator && Text().find(Separator) != String::npos)
        Valid = false;
    if (Valid && C == u'-' && Text().find(u'-') != String::npos)
        Valid = false;
    return Valid;
}

void TbsSkinNumEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (Key == VK_UP || Key == VK_DOWN) {
        TNotifyEvent& Event = Key == VK_UP ? OnUpClick : OnDownClick;
        // The caret stays where it is.
        Key = 0;
        if (Event)
            Event(this);
        return;
    }
    TbsCustomEdit::KeyDown(Key, Shift);
}

void TbsSkinNumEdit::KeyPress(Char& Key) {
    if (!IsValidChar(Key)) {
        Key = 0;
        MessageBeep(0);
    }
    if (Key != 0)
        TbsCustomEdit::KeyPress(Key);
}

void TbsSkinNumEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEWHEEL: {
        // Away from the user counts down, toward the user up: the reverse of the arrow keys.
        const TNotifyEvent& Event = GET_WHEEL_DELTA_WPARAM(Message.WParam) > 0 ? OnDownClick : OnUpClick;
        if (Event)
            Event(this);
        Message.Result = 1;
        return;
    }
    case CM_MOUSEENTER:
    case CM_MOUSELEAVE: {
        std::weak_ptr<char> Alive = AliveToken();
        TbsCustomEdit::Dispatch(Message);
        const TNotifyEvent& Event = Message.Msg == CM_MOUSEENTER ? OnMouseEnter : OnMouseLeave;
        if (!Alive.expired() && Event)
            Event(this);
        return;
    }
    }
    TbsCustomEdit::Dispatch(Message);
}
