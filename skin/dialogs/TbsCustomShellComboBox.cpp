#include "skin/dialogs/TbsCustomShellComboBox.h"

#include "platform/shell/ShellIcons.h"
#include "skin/dialogs/TbsCustomShellListView.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/bsShellScopes.h"

#include <algorithm>

namespace {

using shellscope::TOwnedList;

// Keeps a collection inside BeginUpdate / EndUpdate for a scope.
class TUpdateGuard {
public:
    explicit TUpdateGuard(TCollection& C) : FC(C) { FC.BeginUpdate(); }
    ~TUpdateGuard() { FC.EndUpdate(); }

private:
    TCollection& FC;
};

} // namespace

void TbsItemEx::Assign(TPersistent* Source) {
    auto* S = dynamic_cast<TbsItemEx*>(Source);
    if (!S) {
        TCollectionItem::Assign(Source);
        return;
    }
    Caption = S->Caption;
    Indent = S->Indent;
    ImageIndex = S->ImageIndex;
    SelectedImageIndex = S->SelectedImageIndex;
    // The folder belongs to the combo box of the source entry.
    Data = nullptr;
}

TbsItemEx* TbsItemsEx::AddItem(const String& ACaption, int AImageIndex, int ASelectedIndex, int AIdent,
                               TbsShellFolder* AFolder) {
    TbsItemEx* I = Add();
    I->Caption = ACaption;
    I->ImageIndex = AImageIndex;
    I->SelectedImageIndex = ASelectedIndex;
    I->Indent = AIdent;
    I->Data = AFolder;
    return I;
}

TbsCustomShellComboBox::TbsCustomShellComboBox(TComponent* AOwner) : TbsSkinCustomComboBox(AOwner) {
    FImages = ShellImageList(false);
    OnListBoxDrawItem = [this](TCanvas* C, int I, int W, int H, TRect R, TOwnerDrawState S) {
        DrawListItem(C, I, W, H, R, S);
    };
    OnComboBoxDrawItem = [this](TCanvas* C, int I, int W, int H, TRect R, TOwnerDrawState S) {
        DrawFaceItem(C, I, W, H, R, S);
    };
    ListBox()->OnDrawItem = OnListBoxDrawItem;
    SetUseShellImages(true);
}

TbsCustomShellComboBox::~TbsCustomShellComboBox() {
    SetShellListView(nullptr);
    SetShellTreeView(nullptr);
    ClearItems();
    delete FRootFolder;
    FRootFolder = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Properties

String TbsCustomShellComboBox::Path() const {
    const int I = ItemIndex();
    if (I < 0 || I >= FItemsEx->Count() || !FItemsEx->Item(I)->Data)
        return {};
    return FItemsEx->Item(I)->Data->PathName();
}

void TbsCustomShellComboBox::SetPath(const String& Value) {
    LPITEMIDLIST ID = nullptr;
    if (FAILED(DesktopShellFolder()->ParseDisplayName(nullptr, Value, nullptr, &ID, nullptr)) || !ID) {
        FreeItemList(ID);
        throw EInvalidPath(Format(u"Error setting path: \"%s\"", {Value}));
    }
    TOwnedList Owned(ID);
    SetPathFromID(ID);
}

TbsShellFolder* TbsCustomShellComboBox::GetFolder(int Index) const {
    if (FItemsEx->Count() == 0)
        return nullptr;
    return FItemsEx->Item(std::clamp(Index, 0, FItemsEx->Count() - 1))->Data;
}

void TbsCustomShellComboBox::SetItemsEx(TbsItemsEx* Value) {
    FItemsEx->Assign(Value);
}

void TbsCustomShellComboBox::SetUseShellImages(bool Value) {
    FUseShellImages = Value;
    if (Value && FImages) {
        FImageWidth = FImages->Width();
        FImageHeight = FImages->Height();
    } else {
        FImageWidth = FImageHeight = 16;
    }
}

void TbsCustomShellComboBox::SetRoot(const TRoot& Value) {
    if (Value == FRoot)
        return;
    FOldRoot = FRoot;
    FRoot = Value;
    RootChanged();
}

void TbsCustomShellComboBox::SetObjectTypes(TShellObjectTypes Value) {
    FObjectTypes = Value;
    RootChanged();
}

void TbsCustomShellComboBox::SetShellTreeView(TbsCustomShellTreeView* Value) {
    LinkShellControl(this, FTreeView, Value, &TbsCustomShellTreeView::FComboBox, FRoot);
}

void TbsCustomShellComboBox::SetShellListView(TbsCustomShellListView* Value) {
    LinkShellControl(this, FListView, Value, &TbsCustomShellListView::FComboBox, FRoot);
}

void TbsCustomShellComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinCustomComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FListView)
        FListView = nullptr;
    if (Operation == opRemove && AComponent == FTreeView)
        FTreeView = nullptr;
}

// ---------------------------------------------------------------------------------------------
// Entries

void TbsCustomShellComboBox::ClearItems() {
    for (int I = 0; I < FItemsEx->Count(); ++I) {
        delete FItemsEx->Item(I)->Data;
        FItemsEx->Item(I)->Data = nullptr;
    }
    FItemsEx->Clear();
    if (!ComponentState().Contains(csDestroying))
        Items()->Clear();
}

void TbsCustomShellComboBox::SyncItems() {
    Items()->BeginUpdate();
    Items()->Clear();
    for (int I = 0; I < FItemsEx->Count(); ++I)
        Items()->Add(FItemsEx->Item(I)->Caption);
    Items()->EndUpdate();
}

int TbsCustomShellComboBox::ImageIndexOf(TbsShellFolder* Folder) const {
    return FUseShellImages ? Folder->ImageIndex(false) : -1;
}

void TbsCustomShellComboBox::LoadRoot() {
    if (ComponentState().Contains(csLoading))
        return;
    // Resolved first: a root that names nothing raises with the entries as they were.
    FRootFolder = CreateRootFromName(FRootFolder, FOldRoot, FRoot);
    TUpdateGuard Guard(*FItemsEx);
    ClearItems();
    auto* Top = new TbsShellFolder(nullptr, FRootFolder->AbsoluteID(), FRootFolder->ShellFolder());
    const int Image = ImageIndexOf(Top);
    FItemsEx->AddItem(Top->DisplayName(), Image, Image, 0, Top);
    PopulateRoot();
    SyncItems();
    SetItemIndex(0);
    if (FUseShellImages)
        SetUseShellImages(true);
}

void TbsCustomShellComboBox::PopulateRoot() {
    TUpdateGuard Guard(*FItemsEx);
    AddChildren(0, FItemsEx->Item(0)->Data);
    if (FRoot != u"rfDesktop")
        return;
    LPITEMIDLIST Computer = nullptr;
    if (FAILED(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Computer)))
        return;
    TOwnedList Owned(Computer);
    const int I = IndexOfID(Computer);
    if (I >= 0)
        AddChildren(I, FItemsEx->Item(I)->Data);
}

void TbsCustomShellComboBox::AddChildren(int Index, TbsShellFolder* Folder) {
    std::shared_ptr<IEnumIDList> Enum;
    const HRESULT R = Folder->ShellFolder()
                          ? Folder->ShellFolder()->EnumObjects(nullptr, ObjectTypesToEnumFlags(FObjectTypes), Enum)
                          : E_FAIL;
    if (FAILED(R) || !Enum)
        throw EOSError(Format(u"OLE error %.8X", {unsigned(R)}));
    std::vector<LPITEMIDLIST> IDs;
    LPITEMIDLIST ID = nullptr;
    ULONG Fetched = 0;
    while (Enum->Next(1, &ID, &Fetched) == S_OK)
        IDs.push_back(ID);
    IShellFolderPtr SF = Folder->ShellFolder();
    std::stable_sort(IDs.begin(), IDs.end(), [&](LPITEMIDLIST A, LPITEMIDLIST B) {
        return std::int16_t(std::uint16_t(SF->CompareIDs(0, A, B))) < 0;
    });
    for (std::size_t K = 0; K < IDs.size(); ++K) {
        auto* Child = new TbsShellFolder(Folder, IDs[K], BindShellFolder(SF, IDs[K], nullptr));
        TbsItemEx* E = FItemsEx->Insert(Index + int(K) + 1);
        E->Caption = Child->DisplayName();
        E->Data = Child;
        E->Indent = Child->Level();
        E->ImageIndex = E->SelectedImageIndex = ImageIndexOf(Child);
    }
    for (LPITEMIDLIST L : IDs)
        FreeItemList(L);
}

int TbsCustomShellComboBox::IndexOfID(LPCITEMIDLIST ID) const {
    for (int I = FItemsEx->Count() - 1; I >= 0; --I)
        if (TbsShellFolder* F = FItemsEx->Item(I)->Data; F && ItemListsEqual(F->AbsoluteID(), ID))
            return I;
    return -1;
}

void TbsCustomShellComboBox::InsertEntry(int Index, TbsShellFolder* Folder) {
    TbsItemEx* E = FItemsEx->Insert(Index);
    E->Caption = Folder->DisplayName();
    E->Data = Folder;
    E->Indent = Folder->Level();
    E->ImageIndex = E->SelectedImageIndex = ImageIndexOf(Folder);
}

void TbsCustomShellComboBox::SetPathFromID(LPCITEMIDLIST ID) {
    TUpdateGuard Guard(*FItemsEx);
    LoadRoot();
    TList* Ancestors = SplitItemListAncestors(ID);
    int At = -1, From = -1;
    for (int A = Ancestors->Count() - 1; A >= 0 && At < 0; --A) {
        At = IndexOfID(static_cast<LPCITEMIDLIST>(Ancestors->Get(A)));
        From = A;
    }
    if (At < 0) {
        FreeItemListList(Ancestors);
        return;
    }
    // The folders below the listed ancestor, each a child of the one before.
    auto Child = [&](LPCITEMIDLIST Abs) {
        TOwnedList Last(CopyLastItemID(Abs));
        TbsShellFolder* Parent = FItemsEx->Item(At)->Data;
        auto* F = new TbsShellFolder(Parent, Last.P, BindShellFolder(Parent->ShellFolder(), Last.P, nullptr));
        InsertEntry(++At, F);
    };
    for (int A = From + 1; A < Ancestors->Count(); ++A)
        Child(static_cast<LPCITEMIDLIST>(Ancestors->Get(A)));
    FreeItemListList(Ancestors);
    int Target = IndexOfID(ID);
    if (Target < 0) {
        Child(ID);
        Target = At;
    }
    SyncItems();
    SetItemIndex(Target);
}

void TbsCustomShellComboBox::SyncToID(LPCITEMIDLIST ID) {
    if (FUpdating)
        return;
    const int I = ItemIndex();
    if (I >= 0 && I < FItemsEx->Count() && FItemsEx->Item(I)->Data &&
        ItemListsEqual(FItemsEx->Item(I)->Data->AbsoluteID(), ID))
        return;
    FUpdating = true;
    try {
        SetPathFromID(ID);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TbsCustomShellComboBox::Change() {
    if (FItemsEx->UpdateCount() > 0)
        return;
    TbsSkinCustomComboBox::Change();
    const int I = ItemIndex();
    // Moving through the open list does not navigate; closing it on an entry does.
    if (I < 0 || I >= FItemsEx->Count() || FUpdating || IsPopupVisible() || !FItemsEx->Item(I)->Data)
        return;
    FUpdating = true;
    try {
        if (FTreeView)
            FTreeView->SetPathFromID(FItemsEx->Item(I)->Data->AbsoluteID());
        if (FListView)
            FListView->SyncToID(FItemsEx->Item(I)->Data->AbsoluteID());
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TbsCustomShellComboBox::Click() {
    const int I = ItemIndex();
    if (I < 0 || I >= FItemsEx->Count() || !FItemsEx->Item(I)->Data) {
        TbsSkinCustomComboBox::Click();
        return;
    }
    FUpdating = true;
    TOwnedList Copy(CopyItemList(FItemsEx->Item(I)->Data->AbsoluteID()));
    try {
        SetPathFromID(Copy.P);
        TbsSkinCustomComboBox::Click();
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

void TbsCustomShellComboBox::RootChanged() {
    FUpdating = true;
    try {
        LoadRoot();
        if (FTreeView)
            FTreeView->SetRoot(FRoot);
        if (FListView)
            FListView->SetRoot(FRoot);
    } catch (...) {
        FUpdating = false;
        throw;
    }
    FUpdating = false;
}

// ---------------------------------------------------------------------------------------------
// Window and drawing

void TbsCustomShellComboBox::CreateWnd() {
    TbsSkinCustomComboBox::CreateWnd();
    SetUseShellImages(FUseShellImages);
    if (FItemsEx->Count() == 0)
        LoadRoot();
    const int Index = ItemIndex();
    SyncItems();
    ListBox()->SetItemIndex(Index);
}

void TbsCustomShellComboBox::DestroyWnd() {
    ClearItems();
    TbsSkinCustomComboBox::DestroyWnd();
}

void TbsCustomShellComboBox::Loaded() {
    TbsSkinCustomComboBox::Loaded();
    LoadRoot();
}

void TbsCustomShellComboBox::DrawListItem(TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) {
    if (Index < 0 || Index >= FItemsEx->Count())
        return;
    TbsItemEx* E = FItemsEx->Item(Index);
    int X = R.Left;
    if (FImages && FUseShellImages) {
        const int Offset = E->Indent * FImageWidth / 2;
        if (E->ImageIndex >= 0)
            FImages->Draw(C, R.Left + Offset, R.Top + (R.Height() - FImageHeight) / 2, E->ImageIndex);
        X = R.Left + Offset + FImageWidth + 4;
    }
    C->Brush()->SetStyle(bsClear);
    C->TextOut(X, R.Top + R.Height() / 2 - C->TextHeight(u"Wg") / 2, Items()->Strings(Index));
}

void TbsCustomShellComboBox::DrawFaceItem(TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) {
    if (Index < 0 || Index >= FItemsEx->Count())
        return;
    TbsItemEx* E = FItemsEx->Item(Index);
    int X = R.Left;
    if (FImages && FUseShellImages) {
        if (E->ImageIndex >= 0)
            FImages->Draw(C, R.Left, R.Top + (R.Height() - FImageHeight) / 2, E->ImageIndex);
        X = R.Left + FImageWidth + 4;
    }
    C->Brush()->SetStyle(bsClear);
    C->TextOut(X, R.Top + R.Height() / 2 - C->TextHeight(u"Wg") / 2, Items()->Strings(Index));
}
