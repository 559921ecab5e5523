#include "skin/dialogs/TbsSkinFileListBox.h"

#include "platform/ui/Edits.h"
#include "platform/ui/Forms.h"
#include "skin/dialogs/TbsSkinDirectoryListBox.h"
#include "skin/dialogs/TbsSkinFilterComboBox.h"

TbsSkinFileListBox::TbsSkinFileListBox(TComponent* AOwner) : TbsSkinListBox(AOwner) {
    SetBounds(Left(), Top(), 145, Height());
    FDirectory = GetCurrentDir();
    SetMultiSelect(false);
    SetSorted(true);
}

TbsSkinFileListBox::~TbsSkinFileListBox() {
    SetFileEdit(nullptr);
    if (FDirList)
        FDirList->SetFileList(nullptr);
    if (FFilterCombo)
        FFilterCombo->SetFileList(nullptr);
}

void TbsSkinFileListBox::ListFiles() {
    if (!HandleAllocated())
        return;
    const int Bits[] = {faReadOnly, faHidden, faSysFile, faVolumeID, faDirectory, faArchive};
    int Attr = 0;
    for (int I = 0; I < 6; ++I)
        if (FFileType.Contains(TbsFileAttr(I)))
            Attr |= Bits[I];
    ChangeCurrentDir(FDirectory);
    Items()->BeginUpdate();
    Items()->Clear();
    TCursor SaveCursor = Screen ? Screen->Cursor() : crDefault;
    String Rest = FMask;
    while (!Rest.empty()) {
        const std::size_t Semi = Rest.find(u';');
        const String Pattern = Rest.substr(0, Semi);
        Rest = Semi == String::npos ? String() : Rest.substr(Semi + 1);
        if (Pattern.empty())
            continue;
        TSearchRec SR;
        for (int R = FindFirst(JoinPath(FDirectory, Pattern), Attr, SR); R == 0; R = FindNext(SR)) {
            if (SR.Name == u"." || SR.Name == u"..")
                continue;
            if (!FFileType.Contains(bsftNormal) && !(SR.Attr & Attr))
                continue;
            const String Shown = (SR.Attr & faDirectory) ? Format(u"[%s]", {SR.Name}) : SR.Name;
            if (Items()->IndexOf(Shown) >= 0)
                continue; // a name two patterns match is listed once
            if (Items()->Add(Shown) == 100 && Screen)
                Screen->SetCursor(crHourGlass);
        }
        FindClose(SR);
    }
    if (Screen)
        Screen->SetCursor(SaveCursor);
    Items()->EndUpdate();
    Change();
}

String TbsSkinFileListBox::SelectedName() const {
    const int I = ItemIndex();
    if (I < 0 || I >= Items()->Count() || !const_cast<TbsSkinFileListBox*>(this)->Selected(I))
        return {};
    return Items()->Strings(I);
}

void TbsSkinFileListBox::ShowInEdit() {
    if (!FFileEdit)
        return;
    const String Name = SelectedName();
    FFileEdit->SetText(ItemIndex() < 0 || Name.empty() ? FMask : Name);
    FFileEdit->SelectAll();
}

void TbsSkinFileListBox::Change() {
    FLastSel = ItemIndex();
    ShowInEdit();
    if (OnChange)
        OnChange(this);
}

void TbsSkinFileListBox::ListBoxClick() {
    TbsSkinListBox::ListBoxClick();
    if (ItemIndex() != FLastSel)
        Change();
}

String TbsSkinFileListBox::GetFileName() {
    const String Name = SelectedName();
    return Name.empty() ? String() : JoinPath(FDirectory, Name);
}

void TbsSkinFileListBox::SetFileName(const String& Name) {
    if (Name == SelectedName())
        return;
    int Found = -1;
    for (int I = 0; I < Items()->Count() && Found < 0; ++I)
        if (AnsiCompareText(Items()->Strings(I), Name) == 0)
            Found = I;
    SetItemIndex(Found);
    if (Found >= 0)
        SetSelected(Found, true);
    Change();
}

void TbsSkinFileListBox::SetDirectory(const String& Value) {
    if (Value == FDirectory)
        return;
    if (FolderExists(FDirectory))
        ChangeCurrentDir(FDirectory);
    ChangeCurrentDir(Value);
    FDirectory = GetCurrentDir();
    ListFiles();
}

void TbsSkinFileListBox::SetDrive(const String& Value) {
    if (Value != Drive())
        ApplyFilePath(Value);
}

void TbsSkinFileListBox::SetMask(const String& Value) {
    if (Value == FMask)
        return;
    FMask = Value;
    ListFiles();
}

void TbsSkinFileListBox::SetFileType(TbsFileType Value) {
    if (Value == FFileType)
        return;
    FFileType = Value;
    ListFiles();
}

void TbsSkinFileListBox::SetFileEdit(TCustomEdit* Value) {
    if (FFileEdit == Value)
        return;
    if (FFileEdit)
        FFileEdit->RemoveFreeNotification(this);
    FFileEdit = Value;
    if (Value) {
        Value->FreeNotification(this);
        ShowInEdit();
    }
}

void TbsSkinFileListBox::ApplyFilePath(const String& EditText) {
    if (EditText.empty() || EditText == GetFileName())
        return;
    String NewDrive, DirPart, FilePart;
    SplitEditPath(EditText, NewDrive, DirPart, FilePart);
    if (FDirList)
        FDirList->SetDirectory(DirPart);
    else
        SetDirectory(DirPart);
    if (FilePart.find_first_of(u"*?") != String::npos) {
        SetMask(FilePart);
    } else if (!FilePart.empty()) {
        SetFileName(FilePart);
        if (FileExists(JoinPath(FDirectory, FilePart)) && SelectedName().empty()) {
            // An existing file the mask hides: it becomes the mask, so it is listed and selected.
            SetMask(FilePart);
            SetFileName(FilePart);
        }
    }
}

void TbsSkinFileListBox::UpdateList() {
    ListFiles();
}

void TbsSkinFileListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFileEdit)
        FFileEdit = nullptr;
    if (AComponent == FDirList)
        FDirList = nullptr;
    if (AComponent == FFilterCombo)
        FFilterCombo = nullptr;
}

void TbsSkinFileListBox::CreateWnd() {
    TbsSkinListBox::CreateWnd();
    ListFiles();
}

void TbsSkinFileListBox::Loaded() {
    TbsSkinListBox::Loaded();
    if (ComponentState().Contains(csDesigning)) {
        FDirectory = GetCurrentDir();
        ListFiles();
    }
}
