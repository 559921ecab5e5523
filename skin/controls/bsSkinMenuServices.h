// What the skinned controls need of the menus and forms above them. The form-skinning layer registers the
// skinned popup menu, the images menu and the lookup of a form's skin; until it does, the stand-ins below
// serve: the class library's own popup menu, no images menu, no form skin.
#pragma once

#include "platform/base/Classes.h"
#include "platform/gdi/ImgList.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menus.h"

class TbsSkinData;

// Sent to the control a popup menu was opened for: the menu has closed; a command of the menu has run.
constexpr UINT WM_POPUPMENUCLOSED = WM_USER + 204;  // 1228
constexpr UINT WM_POPUPMENUCOMMAND = WM_USER + 205; // 1229

// Opens a popup menu's items for a control. When the menu closes the control hears 1228 (sent to a windowed
// control, performed on a windowless one); after a command of the menu ran it hears 1229.
class TbsPopupMenuService {
public:
    virtual ~TbsPopupMenuService() = default;
    // Against the screen rectangle R: below it, or above it when APopupUp.
    virtual void PopupFromRect2(TPopupMenu* Menu, TControl* ACtrl, const TRect& R, bool APopupUp) = 0;
    // At the screen point.
    virtual void Popup2(TPopupMenu* Menu, TControl* ACtrl, int X, int Y) = 0;
};

// nullptr goes back to the stand-in.
void SetPopupMenuService(TbsPopupMenuService* Service);
TbsPopupMenuService* PopupMenuService();

// An item of an images menu: a cell with an image, a full-row button item with image and caption, or a section
// header. A button shows the image and caption of the selected one.
class TbsImagesMenuItem : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    // Copies the image, caption, button kind and hint of another item (not the header kind, not the click).
    void Assign(TPersistent* Source) override;
    virtual void SetImageIndex(int Value) { ImageIndex = Value; }
    virtual void SetCaption(const String& Value) { Caption = Value; }

    int ImageIndex = -1;
    String Caption;
    // Fired with the menu as Sender when this item is chosen.
    TNotifyEvent OnClick;
    bool Button = false;
    bool Header = false;
    String Hint;
    // The item's place in the open grid.
    TRect ItemRect;
};

// The images menu a button may take its image and caption from (a grid of images with captions). The
// form-skinning layer gives the menu itself.
class TbsCustomImagesMenu : public TComponent {
public:
    using TComponent::TComponent;
    // Opens against the screen rectangle when Images holds an image.
    virtual void PopupFromRect(const TRect& R) = 0;
    // The item at ItemIndex, or null.
    virtual TbsImagesMenuItem* GetSelectedItem() = 0;
    TbsImagesMenuItem* SelectedItem() { return GetSelectedItem(); }
    virtual TCustomImageList* Images() const = 0;
    virtual int ItemIndex() const = 0;

    // Set by a button that uses the menu: the chosen item changed; the menu's window closed.
    TNotifyEvent FOnInternalChange;
    TNotifyEvent FOnInternalMenuClose;
};

// The skin data of the form-skinning component of the form Control lies on (null when it has none).
class TbsFormSkinLookup {
public:
    virtual ~TbsFormSkinLookup() = default;
    virtual TbsSkinData* FormSkinData(TControl* Control) = 0;
};

// nullptr goes back to the stand-in, which answers none.
void SetFormSkinLookup(TbsFormSkinLookup* Lookup);
TbsFormSkinLookup* FormSkinLookup();

// Tells a control of the menu's end: SendMessage for a windowed control, Perform for a windowless one.
void NotifyPopupControl(TControl* Control, UINT Msg);
