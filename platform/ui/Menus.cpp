#include "platform/ui/Menus.h"

#include "platform/ui/StdGlyphs.h"
#include "platform/win/WinExtras.h"

#include <algorithm>
#include <set>

namespace {

// ---- short cuts ----

String KeyName(Word Key) {
    if ((Key >= '0' && Key <= '9') || (Key >= 'A' && Key <= 'Z'))
        return String(1, Char(Key));
    if (Key >= VK_F1 && Key <= VK_F1 + 23)
        return u"F" + IntToStr(Key - VK_F1 + 1);
    if (Key >= VK_NUMPAD0 && Key <= VK_NUMPAD0 + 9)
        return u"Num " + String(1, Char(u'0' + (Key - VK_NUMPAD0)));
    switch (Key) {
    case VK_BACK:
        return u"BkSp";
    case VK_TAB:
        return u"Tab";
    case VK_RETURN:
        return u"Enter";
    case VK_ESCAPE:
        return u"Esc";
    case VK_SPACE:
        return u"Space";
    case VK_PRIOR:
        return u"PgUp";
    case VK_NEXT:
        return u"PgDn";
    case VK_END:
        return u"End";
    case VK_HOME:
        return u"Home";
    case VK_LEFT:
        return u"Left";
    case VK_UP:
        return u"Up";
    case VK_RIGHT:
        return u"Right";
    case VK_DOWN:
        return u"Down";
    case VK_INSERT:
        return u"Ins";
    case VK_DELETE:
        return u"Del";
    case VK_MULTIPLY:
        return u"Num *";
    case VK_ADD:
        return u"Num +";
    case VK_SUBTRACT:
        return u"Num -";
    case VK_DECIMAL:
        return u"Num .";
    case VK_DIVIDE:
        return u"Num /";
    case VK_OEM_1:
        return u";";
    case VK_OEM_PLUS:
        return u"=";
    case VK_OEM_COMMA:
        return u",";
    case VK_OEM_MINUS:
        return u"-";
    case VK_OEM_PERIOD:
        return u".";
    case VK_OEM_2:
        return u"/";
    case VK_OEM_3:
        return u"`";
    case VK_OEM_4:
        return u"[";
    case VK_OEM_5:
        return u"\\";
    case VK_OEM_6:
        return u"]";
    case VK_OEM_7:
        return u"'";
    }
    return String();
}

const struct {
    const char16_t* Prefix;
    TShortCut Bit;
} ShiftPrefixes[] = {{u"Shift+", scShift}, {u"Ctrl+", scCtrl}, {u"Alt+", scAlt}};

// Command numbers in use: each live item holds one.
std::set<Word>& UsedCommands() {
    static std::set<Word> Used;
    return Used;
}
Word NextCommand = 0;

Word AllocateCommand() {
    auto& Used = UsedCommands();
    do {
        ++NextCommand;
    } while (NextCommand == 0 || Used.count(NextCommand));
    Used.insert(NextCommand);
    return NextCommand;
}

// The item of the tree with the short cut, depth first; it fires only when it and its parents are
// enabled.
TMenuItem* FindShortCut(TMenuItem* Root, TShortCut Cut) {
    for (int I = 0; I < Root->Count(); ++I) {
        TMenuItem* Item = Root->Items(I);
        if (Item->ShortCut() == Cut)
            return Item;
        if (TMenuItem* Found = FindShortCut(Item, Cut))
            return Found;
    }
    return nullptr;
}

bool EnabledWithParents(const TMenuItem* Item) {
    for (; Item; Item = Item->Parent())
        if (!Item->Enabled())
            return false;
    return true;
}

// The shift state of a key message: Shift and Ctrl from the keyboard, Alt from the key data.
TShiftState ShiftOfKeyMessage(LPARAM KeyData) {
    TShiftState Shift;
    if (GetKeyState(VK_SHIFT) < 0)
        Shift += ssShift;
    if (GetKeyState(VK_CONTROL) < 0)
        Shift += ssCtrl;
    if (std::uintptr_t(KeyData) & 0x20000000)
        Shift += ssAlt;
    return Shift;
}

TShortCut ShortCutOfMessage(const TMessage& Message) {
    if (Message.Msg != WM_KEYDOWN && Message.Msg != WM_SYSKEYDOWN)
        return 0;
    Word Key = Word(Message.WParam);
    if (Key == VK_SHIFT || Key == VK_CONTROL || Key == VK_MENU)
        return 0;
    return ShortCut(Key, ShiftOfKeyMessage(Message.LParam));
}

} // namespace

TShortCut ShortCut(Word Key, TShiftState Shift) {
    if (Key & 0xFF00)
        return 0;
    TShortCut Result = Key;
    if (Shift.Contains(ssShift))
        Result |= scShift;
    if (Shift.Contains(ssCtrl))
        Result |= scCtrl;
    if (Shift.Contains(ssAlt))
        Result |= scAlt;
    return Result;
}

void ShortCutToKey(TShortCut Cut, Word& Key, TShiftState& Shift) {
    Key = Cut & 0xFF;
    Shift = TShiftState();
    if (Cut & scShift)
        Shift += ssShift;
    if (Cut & scCtrl)
        Shift += ssCtrl;
    if (Cut & scAlt)
        Shift += ssAlt;
}

String ShortCutToText(TShortCut Cut) {
    String Name = KeyName(Cut & 0xFF);
    if (Name.empty())
        return String();
    String Result;
    for (const auto& P : ShiftPrefixes)
        if (Cut & P.Bit)
            Result += P.Prefix;
    return Result + Name;
}

TShortCut TextToShortCut(const String& Text) {
    String Rest = Text;
    TShortCut Shift = 0;
    for (bool Found = true; Found;) {
        Found = false;
        for (const auto& P : ShiftPrefixes) {
            String Prefix(P.Prefix);
            if (Rest.size() > Prefix.size() && SameText(Rest.substr(0, Prefix.size()), Prefix)) {
                Shift |= P.Bit;
                Rest.erase(0, Prefix.size());
                Found = true;
            }
        }
    }
    if (Rest.empty())
        return 0;
    for (Word Key = 0x08; Key <= 0xFF; ++Key) {
        String Name = KeyName(Key);
        if (!Name.empty() && SameText(Name, Rest))
            return TShortCut(Key | Shift);
    }
    return 0;
}

String GetHotkey(const String& Text) {
    for (std::size_t I = 0; I + 1 < Text.size(); ++I)
        if (Text[I] == u'&') {
            if (Text[I + 1] != u'&')
                return String(1, Text[I + 1]);
            ++I;
        }
    return String();
}

String StripHotkey(const String& Text) {
    String Result;
    for (std::size_t I = 0; I < Text.size(); ++I) {
        if (Text[I] == u'&' && I + 1 < Text.size())
            ++I;
        else if (Text[I] == u'&')
            continue;
        Result += Text[I];
    }
    return Result;
}

bool IsAccel(Word VK, const String& Str) {
    String Hot = GetHotkey(Str);
    return !Hot.empty() && AnsiSameText(Hot, String(1, Char(VK)));
}

// ---------------------------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner), FCommand(AllocateCommand()) {}

TMenuItem::~TMenuItem() {
    // The children leave the list as they go.
    while (!FItems.empty())
        delete FItems.back();
    if (FParent)
        FParent->Remove(this);
    UsedCommands().erase(FCommand);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count())
        throw EMenuError(u"Menu index out of range");
    return FItems[std::size_t(Index)];
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto It = std::find(FItems.begin(), FItems.end(), Item);
    return It == FItems.end() ? -1 : int(It - FItems.begin());
}

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent)
        return;
    TMenuItem* P = FParent;
    int Old = MenuIndex();
    Value = std::clamp(Value, 0, P->Count() - 1);
    if (Value == Old)
        return;
    P->FItems.erase(P->FItems.begin() + Old);
    P->FItems.insert(P->FItems.begin() + Value, this);
    P->MenuChanged(true);
}

TMenuItem* TMenuItem::Find(const String& ACaption) const {
    String Wanted = StripHotkey(ACaption);
    for (TMenuItem* Item : FItems)
        if (AnsiSameText(StripHotkey(Item->FCaption), Wanted))
            return Item;
    return nullptr;
}

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item)
        return;
    bool Cycle = false;
    for (const TMenuItem* P = this; P; P = P->FParent)
        Cycle = Cycle || P == Item;
    if (Item->FParent || Item->FMenu || Cycle)
        throw EMenuError(u"Menu inserted twice");
    if (Index < 0 || Index > Count())
        throw EMenuError(u"Menu index out of range");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    if (Item->FRadioItem && Item->FChecked)
        Item->TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* Item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    Item->FParent = nullptr;
    MenuChanged(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    int Index = IndexOf(Item);
    if (Index < 0)
        throw EMenuError(u"Sub-menu is not in menu");
    Delete(Index);
}

void TMenuItem::Clear() {
    while (!FItems.empty())
        delete FItems.back();
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* Root = this;
    while (Root->FParent)
        Root = Root->FParent;
    return Root->FMenu;
}

void TMenuItem::MenuChanged(bool Rebuild) {
    if (ComponentState().Contains(csDestroying))
        return;
    if (TMenu* Menu = GetParentMenu())
        Menu->MenuChanged(Menu, this, Rebuild);
}

void TMenuItem::SetCaption(const String& Value) {
    if (Value == FCaption)
        return;
    bool WasLine = IsLine();
    FCaption = Value;
    if (WasLine && !IsLine())
        FLineHidden = false;
    MenuChanged(WasLine != IsLine());
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled)
        return;
    FEnabled = Value;
    MenuChanged(false);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible)
        return;
    FVisible = Value;
    MenuChanged(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked)
        return;
    FChecked = Value;
    if (Value && FRadioItem)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem)
        return;
    FRadioItem = Value;
    if (Value && FChecked)
        TurnSiblingsOff();
    MenuChanged(false);
}

void TMenuItem::SetGroupIndex(Byte Value) {
    if (Value == FGroupIndex)
        return;
    FGroupIndex = Value;
    if (FRadioItem && FChecked)
        TurnSiblingsOff();
    MenuChanged(true);
}

void TMenuItem::TurnSiblingsOff() {
    if (!FParent)
        return;
    for (TMenuItem* Sibling : FParent->FItems)
        if (Sibling != this && Sibling->FRadioItem && Sibling->FGroupIndex == FGroupIndex && Sibling->FChecked) {
            Sibling->FChecked = false;
            Sibling->MenuChanged(false);
        }
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault)
        return;
    // One default item per level.
    if (Value && FParent)
        for (TMenuItem* Sibling : FParent->FItems)
            Sibling->FDefault = false;
    FDefault = Value;
    MenuChanged(false);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut)
        return;
    FShortCut = Value;
    MenuChanged(false);
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == FImageIndex)
        return;
    FImageIndex = Value;
    MenuChanged(false);
}

TBitmap* TMenuItem::Bitmap() {
    if (!FBitmap)
        FBitmap = std::make_unique<TBitmap>();
    return FBitmap.get();
}

void TMenuItem::SetBitmap(TBitmap* Value) {
    if (!Value) {
        FBitmap.reset();
    } else {
        Bitmap()->Assign(Value);
    }
    MenuChanged(false);
}

bool TMenuItem::RethinkLines() {
    bool Changed = false;
    auto Hide = [&Changed](TMenuItem* Line, bool Value) {
        if (Line->FLineHidden != Value) {
            Line->FLineHidden = Value;
            Changed = true;
        }
    };
    // A line shows only between two shown non-line items, and only once.
    bool ItemBefore = false;
    TMenuItem* PendingLine = nullptr;
    for (TMenuItem* Item : FItems) {
        if (!Item->FVisible)
            continue;
        if (Item->IsLine()) {
            if (ItemBefore && !PendingLine) {
                PendingLine = Item;
            } else {
                Hide(Item, true);
            }
            continue;
        }
        if (PendingLine) {
            Hide(PendingLine, false);
            PendingLine = nullptr;
        }
        ItemBefore = true;
    }
    if (PendingLine)
        Hide(PendingLine, true);
    if (Changed)
        MenuChanged(true);
    return Changed;
}

void TMenuItem::Click() {
    if (FEnabled && OnClick)
        OnClick(this);
}

void TMenuItem::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
}

// ---------------------------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner) {
    FItems = new TMenuItem(nullptr);
    FItems->FMenu = this;
}

TMenu::~TMenu() {
    FItems->FMenu = nullptr;
    delete FItems;
    SetImages(nullptr);
}

void TMenu::SetImages(TCustomImageList* Value) {
    if (Value == FImages)
        return;
    if (FImages)
        FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages)
        FImages->FreeNotification(this);
    if (!ComponentState().Contains(csDestroying))
        MenuChanged(this, nullptr, false);
}

void TMenu::SetAutoLineReduction(TMenuAutoFlag Value) {
    // The menu itself decides: maParent means nothing at the top.
    FAutoLineReduction = Value == maParent ? maAutomatic : Value;
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) {
        FImages = nullptr;
        MenuChanged(this, nullptr, false);
    }
}

void TMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    if (OnChange && !ComponentState().Contains(csDestroying))
        OnChange(Sender, Source, Rebuild);
}

bool TMenu::DispatchCommand(Word ACommand) {
    TMenuItem* Item = FindItem(ACommand, fkCommand);
    if (!Item)
        return false;
    Item->Click();
    return true;
}

TMenuItem* TMenu::FindItem(NativeInt Value, TFindItemKind Kind) {
    std::function<TMenuItem*(TMenuItem*)> Walk = [&](TMenuItem* Parent) -> TMenuItem* {
        for (int I = 0; I < Parent->Count(); ++I) {
            TMenuItem* Item = Parent->Items(I);
            if ((Kind == fkCommand && Item->Command() == Value) || (Kind == fkShortCut && Item->ShortCut() == Value))
                return Item;
            if (TMenuItem* Found = Walk(Item))
                return Found;
        }
        return nullptr;
    };
    if (Kind == fkHandle || (Kind == fkShortCut && Value == 0))
        return nullptr;
    return Walk(FItems);
}

bool TMenu::IsShortCut(TMessage& Message) {
    TShortCut Cut = ShortCutOfMessage(Message);
    if (!Cut)
        return false;
    TMenuItem* Item = FindShortCut(FItems, Cut);
    if (!Item || !EnabledWithParents(Item))
        return false;
    Item->Click();
    return true;
}

// ---------------------------------------------------------------------------------------------
// TMainMenu

TMainMenu::~TMainMenu() {
    if (FMerged)
        FMerged->RemoveFreeNotification(this);
}

void TMainMenu::Merge(TMainMenu* Menu) {
    if (Menu == FMerged || Menu == this)
        return;
    if (FMerged)
        FMerged->RemoveFreeNotification(this);
    FMerged = Menu;
    if (FMerged)
        FMerged->FreeNotification(this);
    MenuChanged(this, nullptr, true);
}

void TMainMenu::Unmerge(TMainMenu* Menu) {
    if (Menu && Menu == FMerged)
        Merge(nullptr);
}

void TMainMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMerged) {
        FMerged = nullptr;
        MenuChanged(this, nullptr, true);
    }
}

std::vector<TMenuItem*> TMainMenu::MergedItems() const {
    std::vector<TMenuItem*> Own, Theirs;
    for (int I = 0; I < Items()->Count(); ++I)
        Own.push_back(Items()->Items(I));
    if (!FMerged)
        return Own;
    for (int I = 0; I < FMerged->Items()->Count(); ++I)
        Theirs.push_back(FMerged->Items()->Items(I));
    std::vector<TMenuItem*> Result;
    for (TMenuItem* Item : Own)
        if (std::none_of(Theirs.begin(), Theirs.end(),
                         [Item](TMenuItem* T) { return T->GroupIndex() == Item->GroupIndex(); }))
            Result.push_back(Item);
    // A merged item goes after every item whose group is not above its own.
    for (TMenuItem* Item : Theirs) {
        auto At = std::find_if(Result.begin(), Result.end(),
                               [Item](TMenuItem* R) { return R->GroupIndex() > Item->GroupIndex(); });
        Result.insert(At, Item);
    }
    return Result;
}

bool TMainMenu::DispatchCommand(Word ACommand) {
    if (FMerged && FMerged->DispatchCommand(ACommand))
        return true;
    return TMenu::DispatchCommand(ACommand);
}

bool TMainMenu::IsShortCut(TMessage& Message) {
    TShortCut Cut = ShortCutOfMessage(Message);
    if (!Cut)
        return false;
    // Only the items that show take part: a replaced group's short cuts are gone with it.
    for (TMenuItem* Top : MergedItems()) {
        TMenuItem* Item = Top->ShortCut() == Cut ? Top : FindShortCut(Top, Cut);
        if (Item) {
            if (!EnabledWithParents(Item))
                return false;
            Item->Click();
            return true;
        }
    }
    return false;
}

// ---------------------------------------------------------------------------------------------
// TPopupMenu

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

TPopupMenu::~TPopupMenu() {
    CloseMenu();
    SetPopupComponent(nullptr);
}

void TPopupMenu::SetPopupComponent(TComponent* Value) {
    if (Value == FPopupComponent)
        return;
    if (FPopupComponent)
        FPopupComponent->RemoveFreeNotification(this);
    FPopupComponent = Value;
    if (FPopupComponent)
        FPopupComponent->FreeNotification(this);
}

void TPopupMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TMenu::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FPopupComponent)
        FPopupComponent = nullptr;
}

void TPopupMenu::DoPopup(TObject* Sender) {
    if (OnPopup)
        OnPopup(Sender);
}

void TPopupMenu::Popup(int X, int Y) {
    CloseMenu();
    DoPopup(this);
    if (ComponentState().Contains(csDestroying))
        return;
    bool AnyVisible = false;
    for (int I = 0; I < Items()->Count(); ++I)
        AnyVisible = AnyVisible || Items()->Items(I)->Visible();
    if (!AnyVisible)
        return;
    FWindow = new TMenuPopupWindow(this, Items(), nullptr);
    FWindow->ShowAt(X, Y, X);
}

void TPopupMenu::CloseMenu() {
    TMenuPopupWindow* W = FWindow;
    if (!W)
        return;
    FWindow = nullptr;
    // The level that chose an item is freed inside its own message; nothing of it runs afterwards.
    delete W;
    if (OnClose && !ComponentState().Contains(csDestroying))
        OnClose(this);
}

void TPopupMenu::MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) {
    // An open window shows rows of items that may be gone: it closes; other changes show at once.
    if (FWindow) {
        if (Rebuild)
            CloseMenu();
        else
            for (TMenuPopupWindow* W = FWindow; W; W = W->SubLevel())
                W->Invalidate();
    }
    TMenu::MenuChanged(Sender, Source, Rebuild);
}

// ---------------------------------------------------------------------------------------------
// TMenuPopupWindow

namespace {

constexpr int MenuBorder = 3;   // the raised edge and one pixel inside it
constexpr int ArrowColumn = 20; // right of the caption: the submenu arrow
constexpr int ShortCutGap = 16; // between the widest caption and the short cuts

// An item's own flag, else its parent's, up to the menu's.
TMenuAutoFlag EffectiveLineReduction(TMenuItem* Item) {
    for (TMenuItem* I = Item; I; I = I->Parent())
        if (I->AutoLineReduction() != maParent)
            return I->AutoLineReduction();
    TMenu* Menu = Item->GetParentMenu();
    return Menu ? Menu->AutoLineReduction() : maManual;
}

bool HasVisibleChildren(TMenuItem* Item) {
    for (int I = 0; I < Item->Count(); ++I)
        if (Item->Items(I)->Visible())
            return true;
    return false;
}

SIZE TextSize(HDC DC, const String& Text) {
    RECT R{0, 0, 0, 0};
    DrawTextW(DC, Text.c_str(), int(Text.size()), &R, DT_SINGLELINE | DT_CALCRECT);
    return SIZE{R.Right - R.Left, R.Bottom - R.Top};
}

} // namespace

TMenuPopupWindow::TMenuPopupWindow(TPopupMenu* AMenu, TMenuItem* AItem, TMenuPopupWindow* AParentLevel)
    : TWinControl(nullptr), FMenu(AMenu), FItem(AItem), FParentLevel(AParentLevel) {
    SetVisible(false);
    SetColor(clMenu);
    FControlStyle += csOpaque;
}

TMenuPopupWindow::~TMenuPopupWindow() {
    CloseSub();
    if (!FParentLevel) {
        UnhookKeys();
        if (HandleAllocated() && GetCapture() == Handle())
            ReleaseCapture();
    }
}

void TMenuPopupWindow::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style = WS_POPUP | (Params.Style & WS_VISIBLE);
    Params.ExStyle = WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
    Params.WndParent = nullptr;
    Params.WindowClass.style |= CS_SAVEBITS;
}

TRect TMenuPopupWindow::RowRect(int Index) const {
    int Top = MenuBorder;
    for (int I = 0; I < Index && I < int(FRows.size()); ++I)
        Top += FRows[std::size_t(I)]->IsLine() ? SeparatorHeight : ItemHeight;
    int H = FRows.at(std::size_t(Index))->IsLine() ? SeparatorHeight : ItemHeight;
    return Rect(MenuBorder, Top, Width() - MenuBorder, Top + H);
}

void TMenuPopupWindow::ShowAt(int X, int Y, int XLeft) {
    if (EffectiveLineReduction(FItem) == maAutomatic)
        FItem->RethinkLines();
    FRows.clear();
    for (int I = 0; I < FItem->Count(); ++I)
        if (FItem->Items(I)->Visible())
            FRows.push_back(FItem->Items(I));

    // Size: the widest caption, the widest short cut, the glyph and arrow columns.
    HDC DC = CreateCompatibleDC(nullptr);
    TFont Bold;
    Bold.Assign(Font());
    Bold.SetStyle(TFontStyles{fsBold});
    int CaptionW = 0, CutW = 0, H = 2 * MenuBorder;
    for (TMenuItem* Item : FRows) {
        H += Item->IsLine() ? SeparatorHeight : ItemHeight;
        if (Item->IsLine())
            continue;
        HGDIOBJ Old = SelectObject(DC, Item->Default() ? Bold.Handle() : Font()->Handle());
        CaptionW = std::max<int>(CaptionW, TextSize(DC, Item->Caption()).cx);
        if (Item->ShortCut())
            CutW = std::max<int>(CutW, TextSize(DC, ShortCutToText(Item->ShortCut())).cx);
        SelectObject(DC, Old);
    }
    DeleteDC(DC);
    int W = 2 * MenuBorder + GlyphColumn + CaptionW + (CutW ? ShortCutGap + CutW : 0) + ArrowColumn;

    // Inside the work area: to the other side of the anchor when the right or bottom edge is passed.
    RECT Work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &Work, 0);
    if (X + W > Work.Right)
        X = XLeft - W;
    if (Y + H > Work.Bottom)
        Y = FParentLevel ? Work.Bottom - H : Y - H;
    X = std::max<int>(X, Work.Left);
    Y = std::max<int>(Y, Work.Top);
    SetBounds(X, Y, W, H);
    HandleNeeded();
    SetVisible(true);
    if (!FParentLevel) {
        SetCapture(Handle());
        HookKeys();
    }
}

void TMenuPopupWindow::Select(int Index) {
    if (Index == FSelected)
        return;
    FSelected = Index;
    Invalidate();
}

TMenuPopupWindow* TMenuPopupWindow::Root() {
    TMenuPopupWindow* W = this;
    while (W->FParentLevel)
        W = W->FParentLevel;
    return W;
}

TMenuPopupWindow* TMenuPopupWindow::Deepest() {
    TMenuPopupWindow* W = this;
    while (W->FSub)
        W = W->FSub;
    return W;
}

int TMenuPopupWindow::RowAt(const TPoint& Client) const {
    for (int I = 0; I < int(FRows.size()); ++I)
        if (PtInRect(RowRect(I), Client))
            return I;
    return -1;
}

TMenuPopupWindow* TMenuPopupWindow::LevelAt(const TPoint& Screen) {
    // The deepest level lies on top.
    std::vector<TMenuPopupWindow*> Levels;
    for (TMenuPopupWindow* W = Root(); W; W = W->FSub)
        Levels.push_back(W);
    for (auto It = Levels.rbegin(); It != Levels.rend(); ++It) {
        RECT R;
        GetWindowRect((*It)->Handle(), &R);
        if (PtInRect(R, Screen))
            return *It;
    }
    return nullptr;
}

void TMenuPopupWindow::OpenSub(int Index, bool SelectFirst) {
    CloseSub();
    TMenuItem* Item = FRows.at(std::size_t(Index));
    if (!Item->Enabled() || !HasVisibleChildren(Item))
        return;
    TRect Row = RowRect(Index);
    RECT Mine;
    GetWindowRect(Handle(), &Mine);
    FSub = new TMenuPopupWindow(FMenu, Item, this);
    FSub->ShowAt(Mine.Right - MenuBorder, Mine.Top + Row.Top - MenuBorder, Mine.Left + MenuBorder);
    if (SelectFirst)
        for (int I = 0; I < int(FSub->FRows.size()); ++I)
            if (!FSub->FRows[std::size_t(I)]->IsLine()) {
                FSub->Select(I);
                break;
            }
}

void TMenuPopupWindow::CloseSub() {
    TMenuPopupWindow* Sub = FSub;
    FSub = nullptr;
    delete Sub;
}

void TMenuPopupWindow::Choose(int Index) {
    TMenuItem* Item = FRows.at(std::size_t(Index));
    if (Item->IsLine() || !Item->Enabled())
        return;
    if (HasVisibleChildren(Item)) {
        Select(Index);
        OpenSub(Index, true);
        return;
    }
    // The menu closes before the command runs; this window is gone then, so only locals are used.
    TPopupMenu* Menu = FMenu;
    Word Command = Item->Command();
    Menu->CloseMenu();
    Menu->DispatchCommand(Command);
}

void TMenuPopupWindow::MouseMoveAt(const TPoint& Screen) {
    TMenuPopupWindow* Level = LevelAt(Screen);
    if (!Level)
        return;
    int Row = Level->RowAt(Level->ScreenToClient(Screen));
    if (Row < 0 || Row == Level->FSelected || Level->FRows[std::size_t(Row)]->IsLine())
        return;
    Level->Select(Row);
    Level->CloseSub();
    if (HasVisibleChildren(Level->FRows[std::size_t(Row)]))
        Level->OpenSub(Row, false);
}

void TMenuPopupWindow::MouseDownAt(const TPoint& Screen) {
    TMenuPopupWindow* Level = LevelAt(Screen);
    if (!Level) {
        // A press outside every level dismisses the menu and goes nowhere else.
        FMenu->CloseMenu();
        return;
    }
    FPressed = true;
    int Row = Level->RowAt(Level->ScreenToClient(Screen));
    if (Row >= 0 && HasVisibleChildren(Level->FRows[std::size_t(Row)])) {
        Level->Select(Row);
        if (Level->FSub == nullptr || Level->FSub->FItem != Level->FRows[std::size_t(Row)])
            Level->OpenSub(Row, false);
    }
}

void TMenuPopupWindow::MouseUpAt(const TPoint& Screen) {
    if (!FPressed)
        return;
    FPressed = false;
    TMenuPopupWindow* Level = LevelAt(Screen);
    if (!Level)
        return;
    int Row = Level->RowAt(Level->ScreenToClient(Screen));
    if (Row >= 0 && !HasVisibleChildren(Level->FRows[std::size_t(Row)]))
        Level->Choose(Row);
}

bool TMenuPopupWindow::KeyDown(Word Key) {
    int N = int(FRows.size());
    auto Step = [&](int From, int Dir) {
        for (int K = 1; K <= N; ++K) {
            int I = ((From + Dir * K) % N + N) % N;
            if (!FRows[std::size_t(I)]->IsLine())
                return I;
        }
        return -1;
    };
    switch (Key) {
    case VK_DOWN:
        Select(Step(FSelected < 0 ? -1 : FSelected, 1));
        return true;
    case VK_UP:
        Select(Step(FSelected < 0 ? 0 : FSelected, -1));
        return true;
    case VK_HOME:
        Select(Step(-1, 1));
        return true;
    case VK_END:
        Select(Step(0, -1));
        return true;
    case VK_RIGHT:
        if (FSelected >= 0 && HasVisibleChildren(FRows[std::size_t(FSelected)]))
            OpenSub(FSelected, true);
        return true;
    case VK_LEFT:
        if (FParentLevel)
            FParentLevel->CloseSub();
        return true;
    case VK_RETURN:
    case VK_SPACE:
        if (FSelected >= 0)
            Choose(FSelected);
        return true;
    case VK_ESCAPE:
        if (FParentLevel)
            FParentLevel->CloseSub();
        else
            FMenu->CloseMenu();
        return true;
    case VK_MENU:
    case VK_F10:
        FMenu->CloseMenu();
        return true;
    }
    return false;
}

bool TMenuPopupWindow::CharKey(Char Ch) {
    std::vector<int> Matches;
    for (int I = 0; I < int(FRows.size()); ++I)
        if (IsAccel(Word(Ch), FRows[std::size_t(I)]->Caption()))
            Matches.push_back(I);
    if (Matches.empty())
        return false;
    if (Matches.size() == 1) {
        Select(Matches[0]);
        Choose(Matches[0]);
        return true;
    }
    // Several items share the accelerator: each press selects the next of them.
    auto Next = std::find_if(Matches.begin(), Matches.end(), [this](int I) { return I > FSelected; });
    Select(Next == Matches.end() ? Matches[0] : *Next);
    return true;
}

void TMenuPopupWindow::HookKeys() {
    HWND Focus = GetFocus();
    if (!Focus)
        return;
    FKeyWindow = Focus;
    FKeyLink = SubclassWindowProc(Focus, [this](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        // The menu may close (and this level go) while a key is handled: only locals afterwards.
        WNDPROC Link = FKeyLink;
        switch (Msg) {
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            // Set before the key runs a command; a key the menu does not take types for its accelerators.
            WNDPROC Swallow = DropTypedChar(H);
            if (!Deepest()->KeyDown(Word(W)))
                RemoveWindowProcLink(H, Swallow);
            return 0;
        }
        case WM_CHAR:
        case WM_SYSCHAR:
            Deepest()->CharKey(Char(W));
            return 0;
        case WM_KILLFOCUS:
        case WM_DESTROY:
            FMenu->CloseMenu();
            break;
        }
        return CallPrevWndProc(Link, H, Msg, W, L);
    });
}

void TMenuPopupWindow::UnhookKeys() {
    if (FKeyLink)
        RemoveWindowProcLink(FKeyWindow, FKeyLink);
    FKeyLink = nullptr;
    FKeyWindow = nullptr;
}

void TMenuPopupWindow::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_MOUSEACTIVATE:
        Message.Result = MA_NOACTIVATE;
        return;
    case WM_ERASEBKGND:
        Message.Result = 1;
        return;
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        WMMouse(Message);
        return;
    case WM_CANCELMODE:
        FMenu->CloseMenu();
        return;
    }
    TWinControl::Dispatch(Message);
}

void TMenuPopupWindow::WMPaint(TMessage& Message) {
    if (Message.WParam) {
        Paint(reinterpret_cast<HDC>(Message.WParam));
        return;
    }
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(Handle(), &PS);
    Paint(DC);
    EndPaint(Handle(), &PS);
}

// The root of the menu's levels takes every move, press and release, at its screen position.
void TMenuPopupWindow::WMMouse(TMessage& Message) {
    TPoint Screen = ClientToScreen(TPoint{GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)});
    TMenuPopupWindow* R = Root();
    if (Message.Msg == WM_MOUSEMOVE)
        R->MouseMoveAt(Screen);
    else if (Message.Msg == WM_LBUTTONDOWN || Message.Msg == WM_RBUTTONDOWN)
        R->MouseDownAt(Screen);
    else
        R->MouseUpAt(Screen);
}

void TMenuPopupWindow::Paint(HDC DC) {
    RECT R = ClientRect();
    FillColor(DC, R, clMenu);
    DrawEdge(DC, &R, EDGE_RAISED, BF_RECT);
    for (int I = 0; I < int(FRows.size()); ++I)
        DrawRow(DC, I);
}

void TMenuPopupWindow::DrawRow(HDC DC, int Index) {
    TMenuItem* Item = FRows[std::size_t(Index)];
    TRect R = RowRect(Index);
    if (Item->IsLine()) {
        RECT Line{R.Left + 1, R.Top + SeparatorHeight / 2 - 1, R.Right - 1, R.Top + SeparatorHeight / 2 + 1};
        DrawEdge(DC, &Line, EDGE_ETCHED, BF_TOP);
        return;
    }
    bool Selected = Index == FSelected;
    FillColor(DC, R, Selected ? clHighlight : clMenu);
    if (Item->OnDrawItem) {
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        Item->OnDrawItem(Item, &Canvas, R, Selected);
        Canvas.SetHandle(nullptr);
        return;
    }
    TColor TextColor = !Item->Enabled() ? clGrayText : Selected ? clHighlightText : clMenuText;
    int MidY = (R.Top + R.Bottom) / 2;

    // The glyph column: the item's picture or image, else the check mark.
    TCustomImageList* Images = FMenu ? FMenu->Images() : nullptr;
    bool HasImage = Images && Item->ImageIndex() >= 0 && Item->ImageIndex() < Images->Count();
    if (Item->HasBitmap() || HasImage) {
        int GW = HasImage ? Images->Width() : Item->Bitmap()->Width();
        int GH = HasImage ? Images->Height() : Item->Bitmap()->Height();
        int GX = R.Left + (GlyphColumn - GW) / 2, GY = MidY - GH / 2;
        TCanvas Canvas;
        Canvas.SetHandle(DC);
        if (HasImage)
            Images->Draw(&Canvas, GX, GY, Item->ImageIndex(), Item->Enabled());
        else
            Canvas.Draw(GX, GY, Item->Bitmap());
        Canvas.SetHandle(nullptr);
        if (Item->Checked()) {
            RECT Frame{GX - 1, GY - 1, GX + GW + 1, GY + GH + 1};
            HBRUSH Brush = CreateSolidBrush(ColorToRGB(TextColor));
            FrameRect(DC, &Frame, Brush);
            DeleteObject(Brush);
        }
    } else if (Item->Checked()) {
        if (Item->RadioItem())
            DrawRadioDot(DC, R.Left + (GlyphColumn - 6) / 2, MidY - 3, TextColor);
        else
            DrawCheckGlyph(DC, R.Left + (GlyphColumn - 7) / 2, MidY - 4, TextColor);
    }

    TFont Bold;
    Bold.Assign(Font());
    Bold.SetStyle(TFontStyles{fsBold});
    HGDIOBJ OldFont = SelectObject(DC, Item->Default() ? Bold.Handle() : Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    RECT Text{R.Left + GlyphColumn, R.Top, R.Right - ArrowColumn, R.Bottom};
    String Cut = Item->ShortCut() ? ShortCutToText(Item->ShortCut()) : String();
    auto DrawTexts = [&](int DX, TColor Color) {
        SetTextColor(DC, ColorToRGB(Color));
        RECT T{Text.Left + DX, Text.Top + DX, Text.Right + DX, Text.Bottom + DX};
        DrawTextW(DC, Item->Caption().c_str(), int(Item->Caption().size()), &T, DT_SINGLELINE | DT_VCENTER);
        if (!Cut.empty())
            DrawTextW(DC, Cut.c_str(), int(Cut.size()), &T, DT_SINGLELINE | DT_VCENTER | DT_RIGHT);
    };
    // Disabled text is embossed: a light copy one pixel down and right, the grey text over it.
    if (!Item->Enabled() && !Selected)
        DrawTexts(1, clBtnHighlight);
    DrawTexts(0, TextColor);
    SelectObject(DC, OldFont);

    if (HasVisibleChildren(Item))
        DrawRightArrow(DC, R.Right - ArrowColumn / 2 - 2, MidY - 3, TextColor);
}
