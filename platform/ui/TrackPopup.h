// A modal run of a popup menu: the caller waits until the user chose an item or dismissed the menu.
//
// A menu item's identifier is its Tag when set (as a native menu item carries the number it was given),
// else its Command().
#pragma once

#include "platform/ui/Menus.h"

constexpr UINT TPM_LEFTALIGN = 0x0;
constexpr UINT TPM_RIGHTBUTTON = 0x2;
constexpr UINT TPM_NONOTIFY = 0x80;
constexpr UINT TPM_RETURNCMD = 0x100;

// Opens Menu at the screen point in the default look and runs messages until it closes. With
// TPM_RETURNCMD the chosen item's identifier is returned and the item is not clicked (0 when the menu was
// dismissed, by Escape or a click elsewhere); without it the item is clicked and the result is nonzero
// when one was chosen. Owner is the window the menu belongs to (may be nil).
int TrackPopupMenu(TPopupMenu* Menu, UINT Flags, int X, int Y, HWND Owner);

// The identifier TrackPopupMenu reports for an item.
int MenuItemIdentifier(const TMenuItem* Item);
