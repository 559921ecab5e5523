// The one-line text edit the skinned edits and the combo box stand on, and its numeric twin.
//
// TbsCustomEdit is a one-line window of the class library's multi-line edit (it never holds a line break)
// with four additions: a transparent mode that draws only the text over what the parent paints; a ReadOnly
// flag of its own that refuses every change while the window itself stays editable, so the caret,
// selection and copying keep working; Enter and Escape handed to the form as dialog keys; and a context
// menu (Undo, Cut, Copy, Paste, Delete, Select All) opened through the skinned popup service, with captions
// from the skin's string table.
//
// TbsSkinNumEdit takes numbers only and turns the Up and Down keys and the wheel into up and down events.
#pragma once

#include <functional>

#include "platform/ui/Edits.h"
#include "platform/ui/Menus.h"

// The control that takes over when a cancel-mode notification reaches the edit.
using TbsOnEditCancelMode = std::function<void(TControl* C)>;

class TbsCustomEdit : public TCustomMaskEdit {
    QV_CLASS_NAME(TbsCustomEdit)
public:
    explicit TbsCustomEdit(TComponent* AOwner);

    // Refuses every change by the user or the clipboard messages; code still sets the text.
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value) { FReadOnly = Value; }
    bool EditTransparent() const { return FEditTransparent; }
    // Recreates the window, so that its transparent style follows the flag.
    void SetEditTransparent(bool Value);

    // In transparent mode the parent repaints the edit's place (with erasing) and the edit then its text.
    void Invalidate() override;

    // The context menu while it exists (owned by the edit), else null.
    TPopupMenu* SysPopupMenu() const { return FSysPopupMenu; }

    // Declared for descendants; nothing in this class fires them.
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    TNotifyEvent OnUp;
    TNotifyEvent OnDown;
    TNotifyEvent OnKillFocus;
    TbsOnEditCancelMode OnEditCancelMode;

    void Dispatch(TMessage& Message) override;

protected:
    void CreateParams(TCreateParams& Params) override;
    void Change() override;

    void WMChar(TMessage& Message);
    void WMKeyDown(TMessage& Message);
    void WMSetFont(TMessage& Message);
    void WMSetFocus(TMessage& Message);
    void WMEraseBkgnd(TMessage& Message);
    void WMContextMenu(TMessage& Message);
    void WMPopupMenuCommand(TMessage& Message);
    void CNCtlColor(TMessage& Message);
    void CMCancelMode(TMessage& Message);
    // The context menu with its items enabled for the edit's state.
    void BuildSysPopupMenu();
    void FreeSysPopupMenu();

    bool FDown = false;
    bool FReadOnly = false;
    bool FEditTransparent = false;
    TPopupMenu* FSysPopupMenu = nullptr;
    // A menu whose command sent 1229: freed once the menu's own click has returned.
    TPopupMenu* FReleasedMenu = nullptr;
};

class TbsSkinNumEdit : public TbsCustomEdit {
    QV_CLASS_NAME(TbsSkinNumEdit)
public:
    explicit TbsSkinNumEdit(TComponent* AOwner);

    bool EditorEnabled() const { return FEditorEnabled; }
    void SetEditorEnabled(bool Value) { FEditorEnabled = Value; }
    // Whether the typed character C may go into the edit now.
    bool IsValidChar(Char C);

    TNotifyEvent OnUpClick;
    TNotifyEvent OnDownClick;
    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    // Decimal numbers allowed.
    bool Float = false;

    void Dispatch(TMessage& Message) override;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyPress(Char& Key) override;

    bool FEditorEnabled = true;
};

// The decimal separator of the locale the program runs in.
Char LocaleDecimalSeparator();
