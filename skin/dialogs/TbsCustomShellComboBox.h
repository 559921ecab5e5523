// The shell combo box, the look-in box of the file dialogs: the root folder, its children and (under the
// desktop) the drives of Computer, each with its system icon and indented by depth; when another folder
// becomes current, the chain of folders down to it is inserted and selected. Choosing an entry moves a linked
// shell list view.
#pragma once

#include "skin/controls/TbsSkinComboBox.h"
#include "skin/dialogs/TbsShellFolder.h"

class TbsCustomShellListView;
class TbsCustomShellTreeView;

class TbsItemEx : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    void Assign(TPersistent* Source) override;

    String Caption;
    TbsShellFolder* Data = nullptr;
    int Indent = 0;
    int ImageIndex = -1;
    int SelectedImageIndex = -1;
};

class TbsItemsEx : public TCollection {
public:
    TbsItemsEx() : TCollection(ItemClassOf<TbsItemEx>()) {}
    TbsItemEx* Add() { return static_cast<TbsItemEx*>(TCollection::Add()); }
    TbsItemEx* Insert(int Index) { return static_cast<TbsItemEx*>(TCollection::Insert(Index)); }
    TbsItemEx* AddItem(const String& ACaption, int AImageIndex, int ASelectedIndex, int AIdent,
                       TbsShellFolder* AFolder);
    TbsItemEx* Item(int Index) const { return ItemsAs<TbsItemEx>(Index); }
};

class TbsCustomShellComboBox : public TbsSkinCustomComboBox {
    QV_CLASS_NAME(TbsCustomShellComboBox)
public:
    explicit TbsCustomShellComboBox(TComponent* AOwner);
    ~TbsCustomShellComboBox() override;

    // The selected entry's parsing name; EInvalidPath "Error setting path: "%s"" for text that names nothing.
    String Path() const;
    void SetPath(const String& Value);
    // The folder of entry Index; past the end, the last entry's.
    TbsShellFolder* GetFolder(int Index) const;
    TbsItemsEx* ItemsEx() const { return FItemsEx.get(); }
    void SetItemsEx(TbsItemsEx* Value);
    // Follows a linked control to ID (nothing while this combo changes its links itself).
    void SyncToID(LPCITEMIDLIST ID);
    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);
    int ImageWidth() const { return FImageWidth; }
    int ImageHeight() const { return FImageHeight; }
    const TRoot& Root() const { return FRoot; }
    // Another text names another folder (letter case counts); a root that names nothing raises and keeps the old
    // one.
    void SetRoot(const TRoot& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TShellObjectTypes Value);
    TbsCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TbsCustomShellTreeView* Value);
    TbsCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TbsCustomShellListView* Value);
    // The entry of ID, searched from the last; -1 for none.
    int IndexOfID(LPCITEMIDLIST ID) const;
    void SetPathFromID(LPCITEMIDLIST ID);

    // The drop-down entries and the closed face.
    void DrawListItem(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State);
    void DrawFaceItem(TCanvas* Cnvs, int Index, int ItemWidth, int ItemHeight, TRect TxtRect, TOwnerDrawState State);

    void Loaded() override;
    void Change() override;
    void Click() override;

protected:
    friend class TbsCustomShellListView;
    friend class TbsCustomShellTreeView;
    virtual void PopulateRoot();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;

private:
    void LoadRoot();
    void AddChildren(int Index, TbsShellFolder* Folder);
    void RootChanged();
    void ClearItems();
    void SyncItems();
    int ImageIndexOf(TbsShellFolder* Folder) const;
    void InsertEntry(int Index, TbsShellFolder* Folder);

    std::unique_ptr<TbsItemsEx> FItemsEx = std::make_unique<TbsItemsEx>();
    TCustomImageList* FImages = nullptr;
    int FImageHeight = 16;
    int FImageWidth = 16;
    TRoot FOldRoot;
    TRoot FRoot = u"rfDesktop";
    TbsShellFolder* FRootFolder = nullptr;
    TbsCustomShellTreeView* FTreeView = nullptr;
    TbsCustomShellListView* FListView = nullptr;
    TShellObjectTypes FObjectTypes{otFolders};
    bool FUseShellImages = true;
    bool FUpdating = false;
};

class TbsSkinShellComboBox : public TbsCustomShellComboBox {
    QV_CLASS_NAME(TbsSkinShellComboBox)
public:
    using TbsCustomShellComboBox::TbsCustomShellComboBox;
};
