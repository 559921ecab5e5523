// The shell list view: the items of one shell folder in a skinned list view, the way a file window shows them:
// system icons, the folder's own report columns, folders first, navigation into folders and back, the item's
// context menu, renaming in place, and a look-in combo box that follows it. The list holds no texts of its own:
// it is an owner-data list over the folders of its rows.
#pragma once

#include "skin/controls/TbsSkinListView.h"
#include "skin/dialogs/TbsShellChangeNotifier.h"
#include "skin/dialogs/TbsShellFolder.h"

#include <functional>
#include <memory>
#include <vector>

class TbsCustomShellComboBox;
class TbsCustomShellTreeView;

// Asked for every item a shell control enumerates; CanAdd false leaves it out.
using TAddFolderEvent = std::function<void(TObject* Sender, TbsShellFolder* AFolder, bool& CanAdd)>;

class TbsCustomShellListView : public TbsSkinCustomListView, public IShellVerbHandler {
    QV_CLASS_NAME(TbsCustomShellListView)
public:
    explicit TbsCustomShellListView(TComponent* AOwner);
    ~TbsCustomShellListView() override;

    // The listed folder's parsing name; EInvalidPath "Error setting path: "%s"" for text that names nothing.
    String Path() const;
    void SetPath(const String& Value);
    TbsShellFolder* SelectedFolder() const;
    String GetSelectedFile() const;
    void GetSelectedFiles(TStrings* AFiles) const;
    // Lists the parent folder (nothing at the desktop).
    void Back();
    // Lists the same folder again and selects the same row when it is still there.
    void Refresh();
    void ExecuteCommand(const String& Verb, bool& Handled) override;
    void CommandCompleted(const String& Verb, bool Succeeded) override;
    TbsShellFolder* GetFolder(int Index) const;
    int FolderCount() const { return int(FFolders.size()); }
    TbsShellFolder* RootFolder() const { return FRootFolder; }
    void RootChanged();
    void CreateColumns();
    // Follows a linked control to ID (nothing while this view changes its links itself).
    void SyncToID(LPCITEMIDLIST ID);
    void SetPathFromID(LPCITEMIDLIST ID);
    // Lists the folder's items again (folders, and the items the mask accepts).
    virtual void Populate();
    // Whether the mask accepts a file name: patterns split at ";" and "|"; a pattern needs a dot, or is "*".
    bool MaskAccepts(const String& FileName) const;

    const TRoot& Root() const { return FRoot; }
    // Another text names another folder (letter case counts); a root that names nothing raises and keeps the old
    // one.
    void SetRoot(const TRoot& Value);
    const String& Mask() const { return FMask; }
    void SetMask(const String& Value);
    TShellObjectTypes ObjectTypes() const { return FObjectTypes; }
    void SetObjectTypes(TShellObjectTypes Value);
    bool Sorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool AutoRefresh() const { return FAutoRefresh; }
    void SetAutoRefresh(bool Value);
    bool AutoNavigate() const { return FAutoNavigate; }
    void SetAutoNavigate(bool Value) { FAutoNavigate = Value; }
    bool AutoContextMenus() const { return FAutoContext; }
    void SetAutoContextMenus(bool Value) { FAutoContext = Value; }
    TbsCustomShellTreeView* ShellTreeView() const { return FTreeView; }
    void SetShellTreeView(TbsCustomShellTreeView* Value);
    TbsCustomShellComboBox* ShellComboBox() const { return FComboBox; }
    void SetShellComboBox(TbsCustomShellComboBox* Value);
    TbsShellChangeNotifier* Notifier() const { return FNotifier; }
    // The column of the last column sort (-1 none) and its direction.
    int SortColumn() const { return FSortColumn; }
    bool SortDescending() const { return FSortDirection; }

    void SetViewStyle(TViewStyle Value) override;
    void Loaded() override;

    TAddFolderEvent OnAddFolder;
    TNotifyEvent OnPathChanged;

protected:
    friend class TbsCustomShellComboBox;
    friend class TbsCustomShellTreeView;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    bool OwnerDataFetch(TListItem* Item, TItemRequest Request) override;
    int OwnerDataFind(TItemFind Find, const String& FindString, const TPoint& FindPosition, void* FindData,
                      int StartIndex, TSearchDirection Direction, bool Wrap) override;
    void ColClick(TListColumn* Column) override;
    void DblClick() override;
    void Edit(int Index, const String& Text, bool Cancelled) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    void KeyDown(Word& Key, TShiftState Shift) override;

private:
    void ResolveRoot();
    void SynchronizeLinks();
    void ClearItems();
    void SortFolders(bool ByColumn);
    void BeginRename();
    // Lists the folder of a row (a copy of its list, since listing frees the rows).
    void OpenFolder(TbsShellFolder* Folder);

    int FOldSortColumn = -1;
    int FSortColumn = -1;
    bool FSortDirection = false;
    TRoot FOldRoot;
    TRoot FRoot = u"rfDesktop";
    TbsShellFolder* FRootFolder = nullptr;
    bool FAutoContext = true;
    bool FAutoRefresh = false;
    bool FAutoNavigate = true;
    bool FSorted = true;
    bool FUpdating = false;
    TShellObjectTypes FObjectTypes{otFolders, otNonFolders};
    std::vector<std::unique_ptr<TbsShellFolder>> FFolders;
    TbsCustomShellTreeView* FTreeView = nullptr;
    TbsCustomShellComboBox* FComboBox = nullptr;
    TbsShellChangeNotifier* FNotifier = nullptr;
    bool FSettingRoot = false;
    String FMask = u"*.*|*.*";
};

class TbsSkinFileListView : public TbsCustomShellListView {
    QV_CLASS_NAME(TbsSkinFileListView)
public:
    using TbsCustomShellListView::TbsCustomShellListView;
};
