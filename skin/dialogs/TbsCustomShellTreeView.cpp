#include "skin/dialogs/TbsCustomShellTreeView.h"

#include "platform/shell/ShellIcons.h"
#include "platform/shell/ShellLauncher.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "skin/dialogs/TbsCustomShellComboBox.h"
#include "skin/dialogs/TbsSkinShellPrompt.h"
#include "skin/dialogs/bsShellScopes.h"

namespace {

using shellscope::AppWindow;
using shellscope::THourGlass;
using shellscope::TOwnedList;

// Sets a flag for a scope and clears it again, also when the scope is left by an exception.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }

private:
    bool& FFlag;
};

class TItemsUpdate {
public:
    explicit TItemsUpdate(TTreeNodes* Items) : FItems(Items) { FItems->BeginUpdate(); }
    ~TItemsUpdate() { FItems->EndUpdate(); }

private:
    TTreeNodes* FItems;
};

} // namespace

TbsCustomShellTreeView::TbsCustomShellTreeView(TComponent* AOwner) : TbsSkinCustomTreeView(AOwner) {
    SetShowRoot(false);
    SetRightClickSelect(true);
    FImages = ShellImageList(false);
    // The context menu's questions (delete to the trash) come in the skinned message box.
    RegisterSkinShellPrompt();
}

TbsCustomShellTreeView::~TbsCustomShellTreeView() {
    SetShellListView(nullptr);
    SetShellComboBox(nullptr);
    // Nobody hears of the selection changes while the nodes go.
    OnChanging = nullptr;
    OnChange = nullptr;
    // The nodes' folders go while this class can still free them.
    ClearItems();
    delete FRootFolder;
    FRootFolder = nullptr;
}

TbsShellFolder* TbsCustomShellTreeView::FolderOf(const TTreeNode* Node) {
    return Node ? static_cast<TbsShellFolder*>(Node->Data()) : nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

String TbsCustomShellTreeView::Path() const {
    TbsShellFolder* F = SelectedFolder();
    return F ? F->PathName() : String();
}

void TbsCustomShellTreeView::SetPath(const String& Value) {
    FPath = Value;
    LPITEMIDLIST ID = nullptr;
    if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, Value, nullptr, &ID, nullptr)) || !ID) {
        FreeItemList(ID);
        throw EInvalidPath(Format(u"Error setting path: \"%s\"", {Value}));
    }
    {
        TOwnedList Owned(ID);
        SetPathFromID(ID);
    }
    if (TTreeNode* Node = Selected()) {
        Node->Expand(false);
        CanChange(Node);
    }
    FPath = Value;
}

TbsShellFolder* TbsCustomShellTreeView::SelectedFolder() const {
    return FolderOf(Selected());
}

TbsShellFolder* TbsCustomShellTreeView::GetFolder(int Index) const {
    if (Items()->Count() == 0)
        return nullptr;
    return FolderOf(Items()->Item(Index));
}

void TbsCustomShellTreeView::SetRoot(const TRoot& Value) {
    if (Value == FRoot)
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TbsCustomShellTreeView::SetObjectTypes(TShellObjectTypes Value) {
    FObjectTypes = Value;
    RootChanged();
}

HIMAGELIST TbsCustomShellTreeView::ImageListChoice() const {
    if (Images())
        return Images()->Handle();
    return FUseShellImages && FImages ? FImages->Handle() : nullptr;
}

void TbsCustomShellTreeView::SetUseShellImages(bool Value) {
    FUseShellImages = Value;
    TFlagGuard Guard(FImageListChanging);
    Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(ImageListChoice()));
}

void TbsCustomShellTreeView::SetAutoRefresh(bool Value) {
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    delete FNotifier;
    FNotifier = nullptr;
    if (!Value)
        return;
    FNotifier = new TbsShellChangeNotifier(this);
    FNotifier->SetWatchSubTree(false);
    TbsShellFolder* Watched = FNodeToMonitor ? FolderOf(FNodeToMonitor) : FRootFolder;
    FNotifier->SetRoot(Watched ? Watched->PathName() : String());
    FNotifier->SetOnChange([this] { RefreshSelected(); });
}

void TbsCustomShellTreeView::SetShellListView(TbsCustomShellListView* Value) {
    LinkShellControl(this, FListView, Value, &TbsCustomShellListView::FTreeView, FRoot);
}

void TbsCustomShellTreeView::SetShellComboBox(TbsCustomShellComboBox* Value) {
    LinkShellControl(this, FComboBox, Value, &TbsCustomShellComboBox::FTreeView, FRoot);
}

void TbsCustomShellTreeView::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomTreeView::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FListView)
        FListView = nullptr;
    if (AComponent == FComboBox)
        FComboBox = nullptr;
    if (AComponent == FNotifier)
        FNotifier = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Nodes

void TbsCustomShellTreeView::ClearItems() {
    TItemsUpdate Update(Items());
    for (TTreeNode* N = Items()->GetFirstNode(); N; N = N->GetNext()) {
        delete FolderOf(N);
        N->SetData(nullptr);
    }
    Items()->Clear();
}

void TbsCustomShellTreeView::Delete(TTreeNode* Node) {
    delete FolderOf(Node);
    Node->SetData(nullptr);
    TbsSkinCustomTreeView::Delete(Node);
}

void TbsCustomShellTreeView::SetShellIcons(TTreeNode* Node, TbsShellFolder* Folder) {
    if (!FUseShellImages || Images())
        return;
    Node->SetImageIndex(ShellIconIndex(Folder->AbsoluteID(), false, false));
    Node->SetSelectedIndex(ShellIconIndex(Folder->AbsoluteID(), false, true));
}

void TbsCustomShellTreeView::LoadRoot() {
    if (ComponentState().Contains(csLoading))
        return;
    String Failure;
    try {
        FRootFolder = CreateRootFromName(FRootFolder, FOldRoot, FRoot);
    } catch (const Exception& E) {
        Failure = E.Message();
    }
    if (FRootFolder) {
        TFlagGuard Loading(FLoadingRoot);
        ClearItems();
        auto* Folder = new TbsShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
        TTreeNode* Node =
            Items()->AddObject(nullptr, ItemDisplayName(DesktopShellFolder(), Folder->AbsoluteID(), 0), Folder);
        SetShellIcons(Node, Folder);
        Node->SetHasChildren(Folder->SubFolders());
        Node->Expand(false);
        SetSelected(Node);
    }
    if (!Failure.empty())
        throw Exception(Failure);
}

void TbsCustomShellTreeView::RootChanged() {
    if (FUpdating)
        return;
    TFlagGuard Guard(FUpdating);
    LoadRoot();
    if (FListView)
        FListView->SetRoot(FRoot);
}

void TbsCustomShellTreeView::InitNode(TTreeNode* Node, LPCITEMIDLIST ID, TTreeNode* ParentNode) {
    TbsShellFolder* Parent = FolderOf(ParentNode);
    auto* Folder = new TbsShellFolder(Parent, ID, BindShellFolder(Parent->ShellFolder(), ID, nullptr));
    Node->SetData(Folder);
    Node->SetText(Folder->DisplayName());
    SetShellIcons(Node, Folder);
    if (Node->SelectedIndex() == 0)
        Node->SetSelectedIndex(Node->ImageIndex());
    Node->SetHasChildren(Folder->SubFolders());
    if (FObjectTypes.Contains(otNonFolders) && Folder->ShellFolder())
        Node->SetHasChildren(FolderHasItems(Folder->ShellFolder(), ObjectTypesToEnumFlags(FObjectTypes)));
    bool CanAdd = true;
    if (OnAddFolder)
        OnAddFolder(this, Folder, CanAdd);
    if (!CanAdd)
        Node->Delete();
}

void TbsCustomShellTreeView::PopulateNode(TTreeNode* Node) {
    TbsShellFolder* Folder = FolderOf(Node);
    if (!Folder || !Folder->ShellFolder())
        return;
    THourGlass Busy;
    TItemsUpdate Update(Items());
    std::shared_ptr<IEnumIDList> Enum;
    if (FAILED(Folder->ShellFolder()->EnumObjects(AppWindow(), ObjectTypesToEnumFlags(FObjectTypes), Enum)) || !Enum)
        return;
    LPITEMIDLIST ID = nullptr;
    ULONG Fetched = 0;
    while (Enum->Next(1, &ID, &Fetched) == S_OK) {
        TOwnedList Owned(ID);
        InitNode(Items()->AddChild(Node, String()), ID, Node);
    }
    IShellFolderPtr SF = Folder->ShellFolder();
    Node->CustomSort([&](TTreeNode* A, TTreeNode* B) {
        return int(
            std::int16_t(std::uint16_t(SF->CompareIDs(0, FolderOf(A)->RelativeID(), FolderOf(B)->RelativeID()))));
    });
}

bool TbsCustomShellTreeView::CanExpand(TTreeNode* Node) {
    bool Allow = true;
    if (OnExpanding)
        OnExpanding(this, Node, Allow);
    if (!Allow)
        return false;
    TbsShellFolder* Folder = FolderOf(Node);
    if (Folder && Folder->IsFolder()) {
        if (Node->HasChildren() && Node->Count() == 0)
            PopulateNode(Node);
    } else if (Folder) {
        // An archive the shell shows as a folder opens with its own program instead of being listed.
        String Error;
        const String Target = Folder->PathName();
        ShellLauncher().Open(Target, ExtractFileDir(Target), Error);
    }
    Node->SetHasChildren(Node->Count() > 0);
    return Allow;
}

bool TbsCustomShellTreeView::CanChange(TTreeNode* Node) {
    const bool Allowed = TbsSkinCustomTreeView::CanChange(Node);
    if (!Allowed || FUpdating || !Node || !FolderOf(Node))
        return Allowed;
    const bool Refreshing = FAutoRefresh;
    SetAutoRefresh(false);
    TbsShellFolder* Folder = FolderOf(Node);
    if (!Folder->IsFolder() && Folder->Parent())
        Folder = Folder->Parent();
    {
        TFlagGuard Guard(FUpdating);
        TOwnedList ID(CopyItemList(Folder->AbsoluteID()));
        if (FComboBox)
            FComboBox->SyncToID(ID.P);
        if (FListView)
            FListView->SyncToID(ID.P);
    }
    FNodeToMonitor = Node;
    SetAutoRefresh(Refreshing);
    FNodeToMonitor = nullptr;
    return Allowed;
}

TTreeNode* TbsCustomShellTreeView::FindNodeByID(LPCITEMIDLIST ID, TTreeNode* StartNode) const {
    if (!StartNode)
        return nullptr;
    const int Level = StartNode->Level();
    for (TTreeNode* N = StartNode; N && (N == StartNode || N->Level() > Level); N = N->GetNext())
        if (TbsShellFolder* F = FolderOf(N); F && ItemListsEqual(ID, F->AbsoluteID()))
            return N;
    return nullptr;
}

void TbsCustomShellTreeView::SetPathFromID(LPCITEMIDLIST ID) {
    if (ComponentState().Contains(csLoading))
        return;
    if (TbsShellFolder* F = SelectedFolder(); F && ItemListsEqual(F->AbsoluteID(), ID))
        return;
    TFlagGuard Guard(FUpdating);
    TItemsUpdate Update(Items());
    TList* Ancestors = SplitItemListAncestors(ID);
    TTreeNode* Node = Items()->GetFirstNode();
    for (int I = 0; I < Ancestors->Count() && Node; ++I)
        if (TTreeNode* Found = FindNodeByID(static_cast<LPCITEMIDLIST>(Ancestors->Get(I)), Node)) {
            Found->Expand(false);
            Node = Found;
        }
    FreeItemListList(Ancestors);
    TTreeNode* Target = FindNodeByID(ID, Node);
    SetSelected(Target);
    if (Target) {
        if (FListView)
            FListView->SyncToID(ID);
        if (FComboBox)
            FComboBox->SyncToID(ID);
    }
}

void TbsCustomShellTreeView::ExpandMyComputer() {
    LPITEMIDLIST Computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Computer)))
        return;
    {
        TOwnedList Owned(Computer);
        SetPathFromID(Computer);
    }
    if (TTreeNode* Node = Selected())
        Node->Expand(false);
}

void TbsCustomShellTreeView::Refresh(TTreeNode* Node) {
    TbsShellFolder* Old = FolderOf(Node);
    if (!Old || !Old->ShellFolder())
        return;
    TTreeNode* Top = TopItem();
    TOwnedList TopID(Top && FolderOf(Top) ? CopyItemList(FolderOf(Top)->AbsoluteID()) : nullptr);
    TOwnedList SelID(SelectedFolder() ? CopyItemList(SelectedFolder()->AbsoluteID()) : nullptr);
    THourGlass Busy;
    TItemsUpdate Update(Items());
    // The new subtree beside the old one.
    auto* Folder =
        new TbsShellFolder(Node->Parent() ? FolderOf(Node->Parent()) : nullptr, Old->RelativeID(), Old->ShellFolder());
    TTreeNode* New = Items()->InsertObject(Node, Folder->DisplayName(), Folder);
    PopulateNode(New);
    New->SetImageIndex(ShellIconIndex(Folder->AbsoluteID(), false, false));
    New->SetSelectedIndex(ShellIconIndex(Folder->AbsoluteID(), false, true));
    New->SetHasChildren(Folder->SubFolders() || New->Count() > 0);
    if (!Node->Parent())
        New->SetText(ItemDisplayName(DesktopShellFolder(), Folder->AbsoluteID(), 0));
    // What was open opens again.
    const int Level = Node->Level();
    for (TTreeNode* N = Node; N && (N == Node || N->Level() > Level); N = N->GetNext())
        if (N->Expanded() && FolderOf(N))
            if (TTreeNode* Same = FindNodeByID(FolderOf(N)->AbsoluteID(), New))
                Same->Expand(false);
    if (Node->Expanded())
        New->Expand(false);
    {
        TFlagGuard Guard(FUpdating);
        Node->Delete();
        SetSelected(SelID.P ? FindNodeByID(SelID.P, Items()->GetFirstNode()) : nullptr);
    }
    if (TTreeNode* T = TopID.P ? FindNodeByID(TopID.P, Items()->GetFirstNode()) : nullptr)
        SetTopItem(T);
}

void TbsCustomShellTreeView::RefreshSelected() {
    if (Selected())
        Refresh(Selected());
}

void TbsCustomShellTreeView::Edit(TTreeNode* Node, const String& Text) {
    if (Text.empty() || !FolderOf(Node))
        return;
    String S = Text;
    if (OnEdited)
        OnEdited(this, Node, S);
    if (FolderOf(Node)->Rename(S))
        Node->SetText(S);
    if (TTreeNode* Parent = Node->Parent())
        Refresh(Parent);
}

void TbsCustomShellTreeView::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (FAutoContext && (!PopupMenu() || !PopupMenu()->AutoPopup())) {
        ShowShellContextMenu(this, SelectedFolder(), MousePos.X, MousePos.Y);
        return;
    }
    TbsSkinCustomTreeView::DoContextPopup(MousePos, Handled);
}

void TbsCustomShellTreeView::ExecuteCommand(const String& Verb, bool& Handled) {
    // "open" runs with the item's folder as the child's working folder: this process's current folder never
    // changes, since other threads resolve relative names against it.
    if (SameText(Verb, u"rename") && Selected()) {
        Selected()->EditText();
        Handled = true;
    }
}

void TbsCustomShellTreeView::CommandCompleted(const String& Verb, bool Succeeded) {
    if (!Succeeded || !Selected())
        return;
    if (SameText(Verb, u"delete")) {
        if (!FileExists(SelectedFolder()->PathName()))
            Selected()->Delete();
    } else if (SameText(Verb, u"paste"))
        Refresh(Selected());
}

void TbsCustomShellTreeView::GetImageIndex(TTreeNode* Node) {
    if (Images())
        TbsSkinCustomTreeView::GetImageIndex(Node);
}

void TbsCustomShellTreeView::GetSelectedIndex(TTreeNode* Node) {
    if (Images())
        TbsSkinCustomTreeView::GetSelectedIndex(Node);
}

void TbsCustomShellTreeView::WndProc(TMessage& Message) {
    // A list set from outside is replaced by the tree's own choice at once.
    if (Message.Msg == TVM_SETIMAGELIST && !FImageListChanging) {
        TFlagGuard Guard(FImageListChanging);
        Message.Result = Perform(TVM_SETIMAGELIST, TVSIL_NORMAL, LPARAM(ImageListChoice()));
        return;
    }
    TbsSkinCustomTreeView::WndProc(Message);
}

void TbsCustomShellTreeView::CreateWnd() {
    TbsSkinCustomTreeView::CreateWnd();
    ClearItems();
    if (!Images())
        SetUseShellImages(FUseShellImages);
    if (!FLoadingRoot) {
        LoadRoot();
        if (!FPath.empty())
            SetPath(FPath);
    }
}

void TbsCustomShellTreeView::DestroyWnd() {
    ClearItems();
    TbsSkinCustomTreeView::DestroyWnd();
}

void TbsCustomShellTreeView::Loaded() {
    TbsSkinCustomTreeView::Loaded();
    LoadRoot();
    // A path given while loading could not be shown yet.
    if (!FPath.empty())
        SetPath(FPath);
}
