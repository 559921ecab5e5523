// Menus: the class library's menu model.
//
// TMenuItem is a tree node with a caption ("&" marks the accelerator, "-" makes a separator), state,
// short cut and a command number unique in the program; TMenu holds the root item and finds items by
// command or short cut; TMainMenu merges the top-level items of another main menu by GroupIndex;
// TPopupMenu opens at a screen point. Menus are not native here: a popup opens in a default
// (unskinned) popup-menu window drawn in the classic colours, and the skinned menus draw the same model
// their own way.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/Graphics.h"
#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"

#include <functional>
#include <memory>
#include <vector>

QV_DECLARE_EXCEPTION(EMenuError, Exception)

// A short cut: the virtual key in the low byte, the shift keys in the high bits.
using TShortCut = Word;
constexpr TShortCut scShift = 0x2000;
constexpr TShortCut scCtrl = 0x4000;
constexpr TShortCut scAlt = 0x8000;
constexpr TShortCut scNone = 0;

inline const String cHotkeyPrefix = u"&";
inline const String cLineCaption = u"-";

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F1", "Alt+Enter"; an empty text for scNone or a key without a name.
String ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, without regard to letter case; 0 for a text that names no short cut.
TShortCut TextToShortCut(const String& Text);
// The accelerator of a caption: the character after a single "&" ("&&" is a literal "&"); empty when none.
String GetHotkey(const String& Text);
// The caption without its accelerator marks ("&&" becomes "&").
String StripHotkey(const String& Text);
// Whether the key (a virtual key or a character) is the caption's accelerator, without regard to case.
bool IsAccel(Word VK, const String& Str);

enum TMenuAutoFlag { maAutomatic, maManual, maParent };
enum TFindItemKind { fkCommand, fkHandle, fkShortCut };

class TMenu;
class TMenuItem;

using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, const TRect& ARect, bool Selected)>;
using TMenuChangeEvent = std::function<void(TObject* Sender, TMenuItem* Source, bool Rebuild)>;

// ---------------------------------------------------------------------------------------------
// TMenuItem

class TMenuItem : public TComponent {
    QV_CLASS_NAME(TMenuItem)
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the child items and leaves the parent.
    ~TMenuItem() override;

    const String& Caption() const { return FCaption; }
    void SetCaption(const String& Value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    // A separator that RethinkLines found redundant reads as invisible.
    bool Visible() const { return FVisible && !FLineHidden; }
    void SetVisible(bool Value);
    bool Checked() const { return FChecked; }
    // Checking a radio item unchecks the other radio items of its group among its siblings.
    void SetChecked(bool Value);
    bool RadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    Byte GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value);
    bool Default() const { return FDefault; }
    void SetDefault(bool Value);
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    const String& Hint() const { return FHint; }
    void SetHint(const String& Value) { FHint = Value; }
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    // The item's own glyph, created empty on first use.
    TBitmap* Bitmap();
    void SetBitmap(TBitmap* Value);
    bool HasBitmap() const { return FBitmap && !FBitmap->Empty(); }
    TMenuAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(TMenuAutoFlag Value) { FAutoLineReduction = Value; }

    // The number that DispatchCommand finds this item by; unique while the item lives.
    Word Command() const { return FCommand; }
    bool IsLine() const { return FCaption == cLineCaption; }

    int Count() const { return int(FItems.size()); }
    // EMenuError "Menu index out of range" outside 0..Count-1.
    TMenuItem* Items(int Index) const;
    TMenuItem* Parent() const { return FParent; }
    int IndexOf(const TMenuItem* Item) const;
    int MenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }
    void SetMenuIndex(int Value);
    // The first child whose caption, without accelerator marks, equals ACaption (letter case aside).
    TMenuItem* Find(const String& ACaption) const;

    // EMenuError "Menu inserted twice" for an item that already has a parent (or is this item or one of
    // its ancestors), "Menu index out of range" for an index outside 0..Count.
    void Insert(int Index, TMenuItem* Item);
    void Add(TMenuItem* Item) { Insert(Count(), Item); }
    // Takes the child out without freeing it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every child.
    void Clear();

    // The menu whose tree holds this item, or null.
    TMenu* GetParentMenu() const;
    // Hides separators that would show at the top, at the bottom or next to another separator among the
    // visible children, and shows the others again; true when anything changed.
    bool RethinkLines();

    // Runs OnClick when the item is enabled.
    virtual void Click();

    TNotifyEvent OnClick;
    TMenuDrawItemEvent OnDrawItem;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    // The tree changed: the menu that holds it hears it (Rebuild when items came or went).
    void MenuChanged(bool Rebuild);

private:
    friend class TMenu;
    void TurnSiblingsOff();

    String FCaption;
    bool FEnabled = true;
    bool FVisible = true;
    bool FLineHidden = false;
    bool FChecked = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    bool FDefault = false;
    TShortCut FShortCut = 0;
    String FHint;
    int FImageIndex = -1;
    std::unique_ptr<TBitmap> FBitmap;
    TMenuAutoFlag FAutoLineReduction = maParent;
    Word FCommand = 0;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr; // set on a menu's root item only
};

// ---------------------------------------------------------------------------------------------
// TMenu

class TMenu : public TComponent {
    QV_CLASS_NAME(TMenu)
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The root: its children are the menu's top-level items.
    TMenuItem* Items() const { return FItems; }
    TCustomImageList* Images() const { return FImages; }
    void SetImages(TCustomImageList* Value);
    TMenuAutoFlag AutoLineReduction() const { return FAutoLineReduction; }
    void SetAutoLineReduction(TMenuAutoFlag Value);
    bool OwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value) { FOwnerDraw = Value; }

    // Runs Click of the item with the command; false when this menu has no such item.
    virtual bool DispatchCommand(Word ACommand);
    // The item of the command or short cut, searched depth first; null when none.
    virtual TMenuItem* FindItem(NativeInt Value, TFindItemKind Kind);
    // A key message (WM_KEYDOWN or WM_SYSKEYDOWN) that is the short cut of an enabled item (whose
    // parents are enabled too) clicks that item and answers true.
    virtual bool IsShortCut(TMessage& Message);

    TMenuChangeEvent OnChange;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;
    friend class TMenuItem;
    virtual void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild);

private:
    TMenuItem* FItems = nullptr;
    TCustomImageList* FImages = nullptr;
    TMenuAutoFlag FAutoLineReduction = maAutomatic;
    bool FOwnerDraw = false;
};

// ---------------------------------------------------------------------------------------------
// TMainMenu

class TMainMenu : public TMenu {
    QV_CLASS_NAME(TMainMenu)
public:
    using TMenu::TMenu;
    ~TMainMenu() override;

    // Shows the top-level items of Menu among this menu's: an item of Menu replaces every item of this
    // menu with the same GroupIndex, and the whole row is ordered by GroupIndex (within one menu the
    // items keep their order). Merging another menu first unmerges the previous one; null unmerges.
    void Merge(TMainMenu* Menu);
    void Unmerge(TMainMenu* Menu);
    TMainMenu* Merged() const { return FMerged; }
    // The top-level row as it shows: this menu's items merged with those of the merged menu.
    std::vector<TMenuItem*> MergedItems() const;
    bool AutoMerge() const { return FAutoMerge; }
    void SetAutoMerge(bool Value) { FAutoMerge = Value; }

    // The merged menu's items take part as they show.
    bool DispatchCommand(Word ACommand) override;
    bool IsShortCut(TMessage& Message) override;

protected:
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMainMenu* FMerged = nullptr;
    bool FAutoMerge = false;
};

// ---------------------------------------------------------------------------------------------
// TPopupMenu

class TMenuPopupWindow;

class TPopupMenu : public TMenu {
    QV_CLASS_NAME(TPopupMenu)
public:
    explicit TPopupMenu(TComponent* AOwner);
    ~TPopupMenu() override;

    // Runs OnPopup, then opens the items with the window's top-left corner at the screen point (moved
    // inside the work area). Returns at once; the menu stays open until an item is chosen or it is
    // dismissed (Escape, a click elsewhere, the focus going away).
    virtual void Popup(int X, int Y);
    // Closes an open popup window without running a command.
    void CloseMenu();
    // The default popup window while open, else null.
    TMenuPopupWindow* PopupWindow() const { return FWindow; }

    bool AutoPopup() const { return FAutoPopup; }
    void SetAutoPopup(bool Value) { FAutoPopup = Value; }
    // The component that opened the menu last (the control whose context menu it is).
    TComponent* PopupComponent() const { return FPopupComponent; }
    void SetPopupComponent(TComponent* Value);

    TNotifyEvent OnPopup;
    TNotifyEvent OnClose;

protected:
    virtual void DoPopup(TObject* Sender);
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void MenuChanged(TObject* Sender, TMenuItem* Source, bool Rebuild) override;

private:
    bool FAutoPopup = true;
    TComponent* FPopupComponent = nullptr;
    TMenuPopupWindow* FWindow = nullptr;
};

// ---------------------------------------------------------------------------------------------
// The default popup-menu window: one level of an open menu, a top-most popup that never takes the
// focus. Rows are ItemHeight high (separators SeparatorHeight); a checked item shows a tick (a radio
// item a dot), an item with children an arrow, the default item bold, a disabled item embossed grey.
// The first level holds the mouse capture and reads the keys of the window that had the focus.

class TMenuPopupWindow : public TWinControl {
    QV_CLASS_NAME(TMenuPopupWindow)
public:
    static constexpr int ItemHeight = 20;
    static constexpr int SeparatorHeight = 9;
    static constexpr int GlyphColumn = 22;

    // Level 0 belongs to Menu; deeper levels to the level that opened them.
    TMenuPopupWindow(TPopupMenu* AMenu, TMenuItem* AItem, TMenuPopupWindow* AParentLevel);
    ~TMenuPopupWindow() override;

    // Sizes the window to the visible children of the item and shows it at (X, Y), or at the left of X
    // when it would pass the work area's right edge (XLeft is then where it goes instead).
    void ShowAt(int X, int Y, int XLeft);
    TMenuItem* Item() const { return FItem; }
    // The visible children, in order, and their rows in client coordinates.
    const std::vector<TMenuItem*>& Rows() const { return FRows; }
    TRect RowRect(int Index) const;
    int Selected() const { return FSelected; }
    void Select(int Index);
    TMenuPopupWindow* SubLevel() const { return FSub; }
    // Keys while the menu is open: arrows, Home/End, Enter, Space, Escape and accelerators.
    bool KeyDown(Word Key);
    bool CharKey(Char Ch);

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;

private:
    void WMPaint(TMessage& Message);
    void WMMouse(TMessage& Message);
    void Paint(HDC DC);
    void DrawRow(HDC DC, int Index);
    int RowAt(const TPoint& Client) const;
    TMenuPopupWindow* LevelAt(const TPoint& Screen);
    TMenuPopupWindow* Root();
    TMenuPopupWindow* Deepest();
    void OpenSub(int Index, bool SelectFirst);
    void CloseSub();
    void Choose(int Index);
    void MouseMoveAt(const TPoint& Screen);
    void MouseUpAt(const TPoint& Screen);
    void MouseDownAt(const TPoint& Screen);
    void HookKeys();
    void UnhookKeys();

    TPopupMenu* FMenu;
    TMenuItem* FItem;
    TMenuPopupWindow* FParentLevel;
    TMenuPopupWindow* FSub = nullptr;
    std::vector<TMenuItem*> FRows;
    int FSelected = -1;
    bool FPressed = false;
    HWND FKeyWindow = nullptr;
    WNDPROC FKeyLink = nullptr;
};
