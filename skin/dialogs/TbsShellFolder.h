// Shell namespace items for the shell tree view, list view and combo box: item-ID list routines, the shared
// desktop item, root resolution, the item wrapper TbsShellFolder and the item's context menu.
#pragma once

#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"
#include "platform/shell/ShlObj.h"

#include <memory>
#include <string>

class TWinControl;

QV_DECLARE_EXCEPTION(EInvalidPath, Exception)

enum TRootFolder {
    rfDesktop,
    rfMyComputer,
    rfNetwork,
    rfRecycleBin,
    rfAppData,
    rfCommonDesktopDirectory,
    rfCommonPrograms,
    rfCommonStartMenu,
    rfCommonStartup,
    rfControlPanel,
    rfDesktopDirectory,
    rfFavorites,
    rfFonts,
    rfInternet,
    rfPersonal,
    rfPrinters,
    rfPrintHood,
    rfPrograms,
    rfRecent,
    rfSendTo,
    rfStartMenu,
    rfStartup,
    rfTemplates
};
// The special folder numbers of the values, in the values' order.
extern const int RootFolderCSIDL[23];
extern const char16_t* const RootFolderNames[23];

// A special folder's value name or a file-system path.
using TRoot = String;

enum TShellObjectType { otFolders, otNonFolders, otHidden };
using TShellObjectTypes = TSet<TShellObjectType, 3>;
DWORD ObjectTypesToEnumFlags(TShellObjectTypes Types);

enum TbsShellFolderCapability {
    fcCanCopy,
    fcCanDelete,
    fcCanLink,
    fcCanMove,
    fcCanRename,
    fcDropTarget,
    fcHasPropSheet
};
using TbsShellFolderCapabilities = TSet<TbsShellFolderCapability, 7>;
enum TbsShellFolderProperty {
    fpCut,
    fpIsLink,
    fpReadOnly,
    fpShared,
    fpFileSystem,
    fpFileSystemAncestor,
    fpRemovable,
    fpValidate
};
using TbsShellFolderProperties = TSet<TbsShellFolderProperty, 8>;

using IShellFolderPtr = std::shared_ptr<IShellFolder>;
using IShellFolder2Ptr = std::shared_ptr<IShellFolder2>;
using IShellDetailsPtr = std::shared_ptr<IShellDetails>;

// A control that takes part in context-menu commands (the shell tree and list views).
class IShellVerbHandler {
public:
    virtual ~IShellVerbHandler() = default;
    virtual void ExecuteCommand(const String& Verb, bool& Handled) = 0;
    virtual void CommandCompleted(const String& Verb, bool Succeeded) = 0;
};

// ---------------------------------------------------------------------------------------------
// Item-ID lists (blocks of the shell allocator)

LPITEMIDLIST AllocItemList(std::size_t Size);
void FreeItemList(LPITEMIDLIST List);
LPITEMIDLIST NextItemID(LPCITEMIDLIST List);
int ItemIDCount(LPCITEMIDLIST List);
// Bytes including the terminator; 0 for nil.
std::size_t ItemListSize(LPCITEMIDLIST List);
void StripLastItemID(LPITEMIDLIST List);
LPITEMIDLIST CopyItemList(LPCITEMIDLIST List);
LPITEMIDLIST ConcatItemLists(LPCITEMIDLIST A, LPCITEMIDLIST B);
LPITEMIDLIST CopyLastItemID(LPCITEMIDLIST List);
// New lists of the proper ancestors of an absolute list, from the desktop down to its parent.
TList* SplitItemListAncestors(LPCITEMIDLIST ID);
void FreeItemListList(TList* List);

IShellFolderPtr DesktopShellFolder();
LPITEMIDLIST DesktopItemList();
bool ItemListsEqual(LPCITEMIDLIST A, LPCITEMIDLIST B);
int RootFolderIndex(const String& Name);
int ShellIconIndex(LPCITEMIDLIST AbsoluteID, bool Large, bool Open);
bool ItemIsFolder(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID);
bool ItemHasSubFolders(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID);
TbsShellFolderCapabilities CapabilitiesOf(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID);
TbsShellFolderProperties PropertiesOf(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID);
bool FolderHasItems(const IShellFolderPtr& Folder, DWORD Flags);
String StrRetToText(LPCITEMIDLIST ID, const STRRET& StrRet);
String ItemDisplayName(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID, DWORD Flags);
IShellFolderPtr BindShellFolder(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND OwnerWindow);
IShellDetailsPtr BindShellDetails(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND OwnerWindow);
IShellFolder2Ptr BindShellFolder2(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND OwnerWindow);

// ---------------------------------------------------------------------------------------------
// TbsShellFolder

class TbsShellFolder : public TObject {
public:
    // ID is copied. Without AParent the item hangs below the shared desktop folder.
    TbsShellFolder(TbsShellFolder* AParent, LPCITEMIDLIST ID, IShellFolderPtr SF);
    ~TbsShellFolder() override;
    TbsShellFolder(const TbsShellFolder&) = delete;
    TbsShellFolder& operator=(const TbsShellFolder&) = delete;

    IShellFolderPtr ParentShellFolder() const;
    TbsShellFolderProperties Properties() const;
    TbsShellFolderCapabilities Capabilities() const;
    bool SubFolders() const;
    // Zip archives (a name ending in .zip, any case) count as files.
    bool IsFolder() const;
    String PathName() const;
    String DisplayName() const;
    String FullObjectName() const;
    int ImageIndex(bool LargeIcon) const;
    // False without fcCanRename; Exception "Rename to %s failed" when the name is refused (an existing
    // name, an empty one, one with "/").
    bool Rename(const String& NewName);
    // Runs the item's default verb ("open"); true when it ran.
    bool ExecuteDefault();
    // The detail interface (an IShellFolder2 or IShellDetails), bound once.
    std::shared_ptr<void> GetDetailInterface();
    IShellDetailsPtr ShellDetails();
    IShellFolder2Ptr ShellFolder2();
    // EInvalidPath "Unable to retrieve folder details for "%s". Error code $%x" when the item is not found.
    WIN32_FIND_DATAW GetFindData() const;
    void LoadColumnDetails(TbsShellFolder* RootFolder, HWND ViewHandle, int ColumnCount);
    // Exception "%s: Missing call to LoadColumnDetails" before anything was loaded.
    String Details(int Index) const;

    LPCITEMIDLIST RelativeID() const { return FPIDL; }
    LPCITEMIDLIST AbsoluteID() const { return FFullPIDL; }
    TbsShellFolder* Parent() const { return FParent; }
    const IShellFolderPtr& ShellFolder() const { return FIShellFolder; }
    int Level() const { return FLevel; }
    HWND ViewHandle() const { return FViewHandle; }
    void SetViewHandle(HWND Value) { FViewHandle = Value; }
    // The number of detail texts loaded.
    int DetailCount() const { return FDetails->Count(); }

private:
    LPITEMIDLIST FPIDL = nullptr;
    LPITEMIDLIST FFullPIDL = nullptr;
    TbsShellFolder* FParent = nullptr;
    IShellFolderPtr FIShellFolder;
    IShellFolder2Ptr FIShellFolder2;
    IShellDetailsPtr FIShellDetails;
    std::shared_ptr<void> FDetailInterface;
    int FLevel = 0;
    HWND FViewHandle = nullptr;
    std::unique_ptr<TStringList> FDetails;
};

// The shared desktop folder: parent of every root item.
TbsShellFolder* DesktopFolder();

TbsShellFolder* CreateRootShellFolder(LPCITEMIDLIST AbsoluteID);
// Links two shell controls both ways: Field := Value, Value's BackLink := Self, the old partner unlinked; the
// new partner takes Self's root and both hear when the other is freed.
template <class TSelf, class TOther>
void LinkShellControl(TSelf* Self, TOther*& Field, TOther* Value, TSelf* TOther::*BackLink, const TRoot& Root) {
    if (Value == Field)
        return;
    if (Field) {
        Field->*BackLink = nullptr;
        Field->RemoveFreeNotification(Self);
    }
    Field = Value;
    if (Value) {
        Value->SetRoot(Root);
        Value->*BackLink = Self;
        Value->FreeNotification(Self);
    }
}

// Resolves NewRoot (a TRootFolder value name or a path; "X:" reads as "X:\") to a new root folder and
// frees OldFolder. On failure NewRoot goes back to OldRoot and Exception "Error setting path: "%s"" (with
// the rejected text) is raised; OldFolder stays.
TbsShellFolder* CreateRootFromName(TbsShellFolder* OldFolder, const TRoot& OldRoot, TRoot& NewRoot);

// The item's context menu at the control's client point, run modally; the chosen verb goes to the control
// first when it is an IShellVerbHandler.
void ShowShellContextMenu(TWinControl* Control, TbsShellFolder* Item, int X, int Y);
void InvokeShellVerb(TbsShellFolder* Item, const std::string& Verb);
