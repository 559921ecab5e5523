// The shell tree view: the shell namespace below a root folder as a skinned tree whose nodes are filled when
// first expanded. It moves a linked shell list view and look-in combo box and follows them, offers the item's
// context menu and renaming in place, refreshes a subtree keeping what was open, and can watch the selected
// folder for changes.
#pragma once

#include "skin/controls/TbsSkinTreeView.h"
#include "skin/dialogs/TbsCustomShellListView.h"
#include "skin/dialogs/TbsShellChangeNotifier.h"
#include "skin/dialogs/TbsShellFolder.h"

class TbsCustomShellComboBox;

class TbsCustomShellTreeView : public TbsSkinCustomTreeView, public IShellVerbHandler {
    QV_CLASS_NAME(TbsCustomShellTreeView)
public:
    explicit TbsCustomShellTreeView(TComponent* AOwner);
    ~TbsCustomShellTreeView() override;

    // The selected folder's parsing name; EInvalidPath "Error setting path: "%s"" for text that names nothing.
    String Path() const;
    void SetPath(const String& Value);
    TbsShellFolder* SelectedFolder() const;
    TbsShellFolder* GetFolder(int Index) const;
    // Rebuilds Node's subtree, keeping the open nodes, the selection and the top node where they still exist.
    void Refresh(TTreeNode* Node);
    void RefreshSelected();
    // Selects and expands Computer.
    void ExpandMyComputer();
    void ExecuteCommand(const String& Verb, bool& Handled) override;
    void CommandCompleted(const String& Verb, bool Succeeded) override;
    void SetPathFromID(LPCITEMIDLIST ID);
    // The node of ID at or below StartNode; nil for none.
    TTreeNode* FindNodeByID(LPCITEMIDLIST ID, TTreeNode* StartNode) const;

    const TRoot& Root() const { return FRoot; }
    // Another text names another folder (letter case counts); a root that names nothing raises after the tree
    // was rebuilt from the old one.
    void SetRoot(const TRoot& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    virtual void SetObjectTypes(TShellObjectTypes Value);
    bool UseShellImages() const { return FUseShellImages; }
    void SetUseShellImages(bool Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    bool AutoContextMenus() const { return FAutoContext; }
    void SetAutoContextMenus(bool Value) { FAutoContext = Value; }
    TbsCustomShellListView* ShellListView() const { return FListView; }
    void SetShellListView(TbsCustomShellListView* Value);
    TbsCustomShellComboBox* ShellComboBox() const { return FComboBox; }
    void SetShellComboBox(TbsCustomShellComboBox* Value);
    TbsShellChangeNotifier* Notifier() const { return FNotifier; }
    // The system small image list the nodes' icons come from.
    TCustomImageList* ShellImages() const { return FImages; }

    void Loaded() override;
    void WndProc(TMessage& Message) override;

    TAddFolderEvent OnAddFolder;

protected:
    friend class TbsCustomShellListView;
    friend class TbsCustomShellComboBox;
    virtual void ClearItems();
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void GetImageIndex(TTreeNode* Node) override;
    void GetSelectedIndex(TTreeNode* Node) override;
    bool CanExpand(TTreeNode* Node) override;
    void Edit(TTreeNode* Node, const String& Text) override;
    void Delete(TTreeNode* Node) override;
    bool CanChange(TTreeNode* Node) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;

private:
    void LoadRoot();
    void RootChanged();
    void InitNode(TTreeNode* Node, LPCITEMIDLIST ID, TTreeNode* ParentNode);
    void PopulateNode(TTreeNode* Node);
    void SetShellIcons(TTreeNode* Node, TbsShellFolder* Folder);
    HIMAGELIST ImageListChoice() const;
    static TbsShellFolder* FolderOf(const TTreeNode* Node);

    String FPath;
    TRoot FRoot = u"rfDesktop";
    TRoot FOldRoot;
    TbsShellFolder* FRootFolder = nullptr;
    TShellObjectTypes FObjectTypes{otFolders};
    bool FLoadingRoot = false;
    bool FAutoContext = true;
    bool FUpdating = false;
    TbsCustomShellListView* FListView = nullptr;
    TbsCustomShellComboBox* FComboBox = nullptr;
    bool FAutoRefresh = false;
    bool FImageListChanging = false;
    bool FUseShellImages = true;
    TbsShellChangeNotifier* FNotifier = nullptr;
    TTreeNode* FNodeToMonitor = nullptr;
    TCustomImageList* FImages = nullptr;
};

class TbsSkinDirTreeView : public TbsCustomShellTreeView {
    QV_CLASS_NAME(TbsSkinDirTreeView)
public:
    using TbsCustomShellTreeView::TbsCustomShellTreeView;
};
