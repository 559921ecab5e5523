#include "skin/dialogs/TbsCustomShellListView.h"

#include "platform/shell/ShellIcons.h"
#include "platform/ui/Forms.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/TbsSkinData.h"
#include "skin/dialogs/TbsCustomShellComboBox.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/TbsSkinShellPrompt.h"
#include "skin/dialogs/bsShellScopes.h"

#include <algorithm>

namespace {

using shellscope::AppWindow;
using shellscope::THourGlass;
using shellscope::TOwnedList;

// A flag set for a scope.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : FFlag(Flag) { FFlag = true; }
    ~TFlagGuard() { FFlag = false; }

private:
    bool& FFlag;
};

int ShellOrder(TbsShellFolder* Parent, TbsShellFolder* A, TbsShellFolder* B) {
    IShellFolderPtr SF = Parent ? Parent->ShellFolder() : nullptr;
    if (!SF)
        return 0;
    return std::int16_t(std::uint16_t(SF->CompareIDs(0, A->RelativeID(), B->RelativeID())));
}

int Sign(double V) {
    return V < 0 ? -1 : V > 0 ? 1 : 0;
}

// What a column sort compares, read once per item before sorting, so a comparison never fails half-way.
struct TSortKey {
    TbsShellFolder* Folder = nullptr;
    bool IsFolder = false;
    String Name;
    String Type;
    std::int64_t Size = 0;
    double Time = -1;
};

double LocalWriteTime(const FILETIME& Time) {
    const TDateTime Local = UnixToDateTime(FileTimeToUnixTime(Time), false);
    return Local;
}

} // namespace

TbsCustomShellListView::TbsCustomShellListView(TComponent* AOwner) : TbsSkinCustomListView(AOwner) {
    SetOwnerData(true);
    SetHideSelection(false);
    ResolveRoot();
    // The context menu's questions (delete to the trash) come in the skinned message box.
    RegisterSkinShellPrompt();
}

TbsCustomShellListView::~TbsCustomShellListView() {
    SetShellComboBox(nullptr);
    SetShellTreeView(nullptr);
    delete FRootFolder;
    FRootFolder = nullptr;
    FFolders.clear();
}

// ---------------------------------------------------------------------------------------------
// Properties

String TbsCustomShellListView::Path() const {
    return FRootFolder ? FRootFolder->PathName() : String();
}

void TbsCustomShellListView::SetPath(const String& Value) {
    LPITEMIDLIST ID = nullptr;
    if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, Value, nullptr, &ID, nullptr)) || !ID) {
        FreeItemList(ID);
        throw EInvalidPath(Format(u"Error setting path: \"%s\"", {Value}));
    }
    TOwnedList Owned(ID);
    SetPathFromID(ID);
}

void TbsCustomShellListView::ResolveRoot() {
    ClearItems();
    FRootFolder = CreateRootFromName(FRootFolder, FOldRoot, FRoot);
}

void TbsCustomShellListView::SetRoot(const TRoot& Value) {
    if (Value == FRoot)
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    ResolveRoot();
    FSettingRoot = true;
    RootChanged();
}

void TbsCustomShellListView::SetMask(const String& Value) {
    if (Value == FMask)
        return;
    FMask = Value;
    RootChanged();
}

void TbsCustomShellListView::SetObjectTypes(TShellObjectTypes Value) {
    FObjectTypes = Value;
    if (!ComponentState().Contains(csLoading))
        RootChanged();
}

void TbsCustomShellListView::SetSorted(bool Value) {
    if (Value == FSorted)
        return;
    FSorted = Value;
    Populate();
}

void TbsCustomShellListView::SetAutoRefresh(bool Value) {
    FAutoRefresh = Value;
    if (ComponentState().Contains(csLoading))
        return;
    delete FNotifier;
    FNotifier = nullptr;
    if (Value) {
        FNotifier = new TbsShellChangeNotifier(this);
        FNotifier->SetWatchSubTree(false);
        FNotifier->SetRoot(Path());
        FNotifier->SetOnChange([this] { Refresh(); });
    }
}

void TbsCustomShellListView::SetShellTreeView(TbsCustomShellTreeView* Value) {
    LinkShellControl(this, FTreeView, Value, &TbsCustomShellTreeView::FListView, FRoot);
}

void TbsCustomShellListView::SetShellComboBox(TbsCustomShellComboBox* Value) {
    LinkShellControl(this, FComboBox, Value, &TbsCustomShellComboBox::FListView, FRoot);
}

void TbsCustomShellListView::SetViewStyle(TViewStyle Value) {
    TbsSkinCustomListView::SetViewStyle(Value);
    if (Value == vsReport)
        CreateColumns();
}

void TbsCustomShellListView::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomListView::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FComboBox)
        FComboBox = nullptr;
    if (AComponent == FTreeView)
        FTreeView = nullptr;
    if (AComponent == FNotifier)
        FNotifier = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Listing

TbsShellFolder* TbsCustomShellListView::GetFolder(int Index) const {
    if (Index < 0 || Index >= int(FFolders.size()))
        return nullptr;
    return FFolders[std::size_t(Index)].get();
}

TbsShellFolder* TbsCustomShellListView::SelectedFolder() const {
    return GetFolder(ItemIndex());
}

String TbsCustomShellListView::GetSelectedFile() const {
    TbsShellFolder* F = SelectedFolder();
    return F && !F->IsFolder() ? F->FullObjectName() : String();
}

void TbsCustomShellListView::GetSelectedFiles(TStrings* AFiles) const {
    AFiles->Clear();
    for (int I = 0; I < int(FFolders.size()); ++I)
        if (IsSelected(I) && !FFolders[std::size_t(I)]->IsFolder())
            AFiles->Add(FFolders[std::size_t(I)]->FullObjectName());
}

void TbsCustomShellListView::ClearItems() {
    if (!ComponentState().Contains(csDestroying))
        Items()->SetCount(0);
    FFolders.clear();
}

bool TbsCustomShellListView::MaskAccepts(const String& FileName) const {
    std::size_t Start = 0;
    while (Start <= FMask.size()) {
        std::size_t End = FMask.find_first_of(u";|", Start);
        if (End == String::npos)
            End = FMask.size();
        const String Pattern = FMask.substr(Start, End - Start);
        if (Pattern == u"*" || (Pattern.find(u'.') != String::npos && MatchesMask(FileName, Pattern)))
            return true;
        Start = End + 1;
    }
    return false;
}

void TbsCustomShellListView::Populate() {
    if ((ComponentState().Contains(csLoading) && !HandleAllocated()) || !FRootFolder || !FRootFolder->ShellFolder())
        return;
    Items()->BeginUpdate();
    ClearItems();
    {
        THourGlass Busy;
        std::shared_ptr<IEnumIDList> Enum;
        if (SUCCEEDED(
                FRootFolder->ShellFolder()->EnumObjects(AppWindow(), ObjectTypesToEnumFlags(FObjectTypes), Enum)) &&
            Enum) {
            LPITEMIDLIST ID = nullptr;
            ULONG Fetched = 0;
            while (Enum->Next(1, &ID, &Fetched) == S_OK) {
                TOwnedList Owned(ID);
                auto Folder = std::make_unique<TbsShellFolder>(
                    FRootFolder, ID, BindShellFolder(FRootFolder->ShellFolder(), ID, nullptr));
                bool CanAdd = Folder->IsFolder() || MaskAccepts(ExtractFileName(Folder->FullObjectName()));
                if (OnAddFolder)
                    OnAddFolder(this, Folder.get(), CanAdd);
                if (CanAdd)
                    FFolders.push_back(std::move(Folder));
            }
        }
        Items()->SetCount(int(FFolders.size()));
        if (FSorted)
            SortFolders(false);
    }
    Items()->EndUpdate();
}

void TbsCustomShellListView::SortFolders(bool ByColumn) {
    // The kind of comparison is decided once per sort: column sorts apply to folders of the file system, whose
    // items have sizes and times; elsewhere the shell's own order stands.
    const bool Columns = ByColumn && FSortColumn != 0 && FRootFolder && !FRootFolder->FullObjectName().empty();
    const bool ByName = ByColumn && FSortColumn == 0;
    std::vector<TSortKey> Keys;
    Keys.reserve(FFolders.size());
    for (auto& F : FFolders) {
        TSortKey K;
        K.Folder = F.get();
        K.IsFolder = F->IsFolder();
        if (ByName)
            K.Name = F->DisplayName();
        if (Columns) {
            if (FSortColumn == 2) {
                F->LoadColumnDetails(FRootFolder, Handle(), 4);
                K.Type = F->Details(2);
            } else if (FSortColumn == 1 || FSortColumn == 3) {
                // A file gone since it was listed raises here, before anything moved.
                const WIN32_FIND_DATAW D = F->GetFindData();
                K.Size = std::int64_t((std::uint64_t(D.nFileSizeHigh) << 32) + D.nFileSizeLow);
                K.Time = LocalWriteTime(D.ftLastWriteTime);
            }
        }
        Keys.push_back(std::move(K));
    }
    const int Column = FSortColumn;
    const bool Desc = FSortDirection;
    auto Compare = [&](const TSortKey& A, const TSortKey& B) {
        int R =
            A.IsFolder != B.IsFolder ? int(B.IsFolder) - int(A.IsFolder) : ShellOrder(FRootFolder, A.Folder, B.Folder);
        if (!ByColumn)
            return R;
        if (A.IsFolder == B.IsFolder && (ByName || Columns)) {
            switch (Column) {
            case 0:
                R = AnsiCompareText(A.Name, B.Name);
                break;
            case 1:
                if (!A.IsFolder)
                    R = A.Size < B.Size ? -1 : A.Size > B.Size ? 1 : 0;
                break;
            case 2:
                R = AnsiCompareText(A.Type, B.Type);
                break;
            case 3:
                R = Sign(A.Time - B.Time);
                break;
            default:
                break;
            }
            // Equal keys keep the shell's order, so descending is exactly the reverse.
            if (R == 0)
                R = ShellOrder(FRootFolder, A.Folder, B.Folder);
        }
        return Desc ? -R : R;
    };
    std::stable_sort(Keys.begin(), Keys.end(), [&](const TSortKey& A, const TSortKey& B) { return Compare(A, B) < 0; });
    std::vector<std::unique_ptr<TbsShellFolder>> Sorted;
    Sorted.reserve(FFolders.size());
    for (const TSortKey& K : Keys)
        for (auto& F : FFolders)
            if (F.get() == K.Folder) {
                Sorted.push_back(std::move(F));
                break;
            }
    FFolders = std::move(Sorted);
}

void TbsCustomShellListView::ColClick(TListColumn* Column) {
    TbsSkinCustomListView::ColClick(Column);
    if (!Column || (ColumnCount() < 4 && Column->Index() != 0))
        return;
    FOldSortColumn = FSortColumn;
    FSortColumn = Column->Index();
    FSortDirection = FSortColumn == FOldSortColumn && FOldSortColumn != -1 ? !FSortDirection : false;
    Items()->BeginUpdate();
    try {
        SortFolders(true);
    } catch (...) {
        // The rows stay as they were and the next click starts afresh.
        FSortColumn = FOldSortColumn = -1;
        FSortDirection = false;
        Items()->EndUpdate();
        throw;
    }
    Items()->EndUpdate();
}

bool TbsCustomShellListView::OwnerDataFetch(TListItem* Item, TItemRequest Request) {
    TbsShellFolder* F = Item ? GetFolder(Item->Index()) : nullptr;
    if (!F)
        return true;
    if (Request.Contains(irText))
        Item->SetCaption(F->DisplayName());
    if (Request.Contains(irImage))
        Item->SetImageIndex(F->ImageIndex(ViewStyle() == vsIcon));
    if (ViewStyle() == vsReport && ColumnCount() > 1) {
        F->LoadColumnDetails(FRootFolder, HandleAllocated() ? Handle() : nullptr, ColumnCount());
        for (int C = 1; C < ColumnCount(); ++C)
            Item->SubItems()->Add(F->Details(C));
    }
    return true;
}

int TbsCustomShellListView::OwnerDataFind(TItemFind Find, const String& FindString, const TPoint&, void*,
                                          int StartIndex, TSearchDirection, bool Wrap) {
    if ((Find != ifPartialString && Find != ifExactString) || StartIndex == -1 || FFolders.empty())
        return -1;
    const String Key = AnsiUpperCase(FindString);
    const int N = int(FFolders.size());
    int I = std::clamp(StartIndex, 0, N - 1);
    for (int Steps = 0; Steps < N; ++Steps) {
        if (AnsiUpperCase(FFolders[std::size_t(I)]->DisplayName()).compare(0, Key.size(), Key) == 0)
            return I;
        if (++I >= N) {
            if (!Wrap)
                return -1;
            I = 0;
        }
    }
    return -1;
}

void TbsCustomShellListView::CreateColumns() {
    if (!FRootFolder || !FRootFolder->ShellFolder())
        return;
    ClearColumns();
    FRootFolder->SetViewHandle(HandleAllocated() ? Handle() : nullptr);
    const int XWidth = std::max(1, Canvas()->TextWidth(u"X"));
    std::vector<String> Added;
    // True when the caption was new and a column came.
    auto AddStep = [&](const SHELLDETAILS& SD, bool& Duplicate) {
        Duplicate = false;
        const String Caption = StrRetToText(nullptr, SD.str);
        if (Caption.empty())
            return;
        for (const String& A : Added)
            if (SameText(A, Caption)) {
                Duplicate = true;
                return;
            }
        Added.push_back(Caption);
        TListColumn* C = AddColumn();
        C->SetCaption(Caption);
        C->SetAlignment(SD.fmt == LVCFMT_RIGHT ? taRightJustify : SD.fmt == LVCFMT_CENTER ? taCenter : taLeftJustify);
        C->SetWidth(XWidth * SD.cxChar);
    };
    if (IShellFolder2Ptr SF2 = FRootFolder->ShellFolder2()) {
        bool SeenOn = false;
        SHELLDETAILS SD;
        for (UINT I = 0; SUCCEEDED(SF2->GetDetailsOf(nullptr, I, &SD)); ++I, SD = SHELLDETAILS()) {
            DWORD State = 0;
            SF2->GetDefaultColumnState(I, &State);
            const bool On = (State & SHCOLSTATE_ONBYDEFAULT) != 0;
            if (SeenOn && !On)
                break;
            SeenOn = SeenOn || On;
            bool Duplicate;
            AddStep(SD, Duplicate);
        }
    } else if (IShellDetailsPtr SD1 = FRootFolder->ShellDetails()) {
        SHELLDETAILS SD;
        bool Duplicate = false;
        for (UINT I = 0; !Duplicate && SUCCEEDED(SD1->GetDetailsOf(nullptr, I, &SD)); ++I, SD = SHELLDETAILS())
            AddStep(SD, Duplicate);
    } else {
        struct TFixed {
            const char16_t* Key;
            const char16_t* Text;
            TAlignment Align;
            int Chars;
        };
        const TFixed Fixed[] = {{u"FLV_NAME", u"Name", taLeftJustify, 25},
                                {u"FLV_SIZE", u"Size", taRightJustify, 10},
                                {u"FLV_TYPE", u"Type", taLeftJustify, 10},
                                {u"FLV_MODIFIED", u"Modified", taLeftJustify, 14}};
        const int N = FRootFolder->Properties().Contains(fpFileSystem) ? 4 : 1;
        for (int I = 0; I < N; ++I) {
            String Caption = Fixed[I].Text;
            if (SkinData() && SkinData()->ResourceStrData())
                Caption = SkinData()->ResourceStrData()->GetResStr(Fixed[I].Key);
            TListColumn* C = AddColumn();
            C->SetCaption(Caption);
            C->SetAlignment(Fixed[I].Align);
            C->SetWidth(XWidth * Fixed[I].Chars);
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Navigation and links

void TbsCustomShellListView::RootChanged() {
    if (FUpdating)
        return;
    TFlagGuard Guard(FUpdating);
    const bool Refreshing = FAutoRefresh;
    SetAutoRefresh(false);
    SynchronizeLinks();
    Populate();
    if (ViewStyle() == vsReport)
        CreateColumns();
    SetAutoRefresh(Refreshing);
}

void TbsCustomShellListView::SetPathFromID(LPCITEMIDLIST ID) {
    if (FUpdating)
        return;
    if (FRootFolder && ItemListsEqual(ID, FRootFolder->AbsoluteID()))
        return;
    // The rows hang below the old folder: they go first.
    ClearItems();
    delete FRootFolder;
    FRootFolder = nullptr;
    FSettingRoot = false;
    FRootFolder = CreateRootShellFolder(ID);
    RootChanged();
    if (OnPathChanged)
        OnPathChanged(this);
}

void TbsCustomShellListView::SyncToID(LPCITEMIDLIST ID) {
    if (FUpdating || (FRootFolder && ItemListsEqual(ID, FRootFolder->AbsoluteID())))
        return;
    SetPathFromID(ID);
}

void TbsCustomShellListView::Back() {
    if (!FRootFolder)
        return;
    TOwnedList Parent(CopyItemList(FRootFolder->AbsoluteID()));
    StripLastItemID(Parent.P);
    SetPathFromID(Parent.P);
}

void TbsCustomShellListView::Refresh() {
    if (!FRootFolder)
        return;
    const int Selected = ItemIndex();
    ClearSelection();
    TOwnedList Same(CopyItemList(FRootFolder->AbsoluteID()));
    ClearItems();
    delete FRootFolder;
    FRootFolder = nullptr;
    SetPathFromID(Same.P);
    if (Selected >= 0 && Selected < Items()->Count())
        SetItemIndex(Selected);
}

void TbsCustomShellListView::OpenFolder(TbsShellFolder* Folder) {
    TOwnedList ID(CopyItemList(Folder->AbsoluteID()));
    SetPathFromID(ID.P);
}

void TbsCustomShellListView::KeyDown(Word& Key, TShiftState Shift) {
    TbsSkinCustomListView::KeyDown(Key, Shift);
    if (!FAutoNavigate)
        return;
    switch (Key) {
    case VK_BACK:
        if (!IsEditing())
            Back();
        break;
    case VK_RETURN:
        if (Shift.Contains(ssAlt)) {
            InvokeShellVerb(SelectedFolder(), "properties");
            Key = 0;
        } else if (TbsShellFolder* F = SelectedFolder(); F && F->IsFolder())
            OpenFolder(F);
        break;
    case VK_F5:
        Refresh();
        break;
    default:
        break;
    }
}

void TbsCustomShellListView::DblClick() {
    if (TbsShellFolder* F = SelectedFolder(); FAutoNavigate && F && F->IsFolder())
        OpenFolder(F);
    TbsSkinCustomListView::DblClick();
}

void TbsCustomShellListView::DoContextPopup(TPoint MousePos, bool& Handled) {
    if (FAutoContext && SelectedFolder()) {
        ShowShellContextMenu(this, SelectedFolder(), MousePos.X, MousePos.Y);
        Handled = true;
        Refresh();
        return;
    }
    TbsSkinCustomListView::DoContextPopup(MousePos, Handled);
}

void TbsCustomShellListView::BeginRename() {
    if (ItemIndex() >= 0)
        Perform(LVM_EDITLABELW, WPARAM(ItemIndex()), 0);
}

void TbsCustomShellListView::ExecuteCommand(const String& Verb, bool& Handled) {
    // "open" runs with the item's folder as the child's working folder: this process's current folder never
    // changes, since other threads resolve relative names against it.
    if (SameText(Verb, u"rename")) {
        BeginRename();
        Handled = true;
    }
}

void TbsCustomShellListView::CommandCompleted(const String& Verb, bool Succeeded) {
    if (Succeeded && (SameText(Verb, u"delete") || SameText(Verb, u"paste")))
        Refresh();
}

void TbsCustomShellListView::Edit(int Index, const String& Text, bool Cancelled) {
    TbsShellFolder* F = GetFolder(Index);
    if (Cancelled || !F || Text.empty())
        return;
    String S = Text;
    if (OnEdited)
        OnEdited(this, Items()->Item(Index), S);
    F->Rename(S);
    Perform(LVM_REDRAWITEMS, WPARAM(Index), LPARAM(Index));
    if (FTreeView && FTreeView->Selected())
        FTreeView->Refresh(FTreeView->Selected());
}

void TbsCustomShellListView::SynchronizeLinks() {
    if (FSettingRoot) {
        if (FTreeView)
            FTreeView->SetRoot(FRoot);
    } else if (FRootFolder) {
        if (FTreeView)
            FTreeView->SetPathFromID(FRootFolder->AbsoluteID());
        if (FComboBox)
            FComboBox->SyncToID(FRootFolder->AbsoluteID());
    }
    FSettingRoot = false;
}

// ---------------------------------------------------------------------------------------------
// Window

void TbsCustomShellListView::CreateWnd() {
    TbsSkinCustomListView::CreateWnd();
    if (HandleAllocated()) {
        SHFILEINFOW Info;
        if (const DWORD_PTR Small = SHGetFileInfoW(u"/", 0, &Info, sizeof Info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON))
            Perform(LVM_SETIMAGELIST, WPARAM(LVSIL_SMALL), LPARAM(Small));
        if (const DWORD_PTR Large = SHGetFileInfoW(u"/", 0, &Info, sizeof Info, SHGFI_SYSICONINDEX))
            Perform(LVM_SETIMAGELIST, WPARAM(LVSIL_NORMAL), LPARAM(Large));
    }
    ResolveRoot();
    RootChanged();
}

void TbsCustomShellListView::DestroyWnd() {
    ClearItems();
    TbsSkinCustomListView::DestroyWnd();
}

void TbsCustomShellListView::Loaded() {
    TbsSkinCustomListView::Loaded();
    Populate();
    SetAutoRefresh(FAutoRefresh);
}
