#include "skin/dialogs/TbsSkinDirectoryListBox.h"

#include "platform/gdi/Resources.h"
#include "skin/controls/TbsSkinStdLabel.h"
#include "skin/core/bsUtils.h"
#include "skin/dialogs/TbsSkinDriveComboBox.h"
#include "skin/dialogs/TbsSkinFileListBox.h"
#include "skin/dialogs/bsFileCtrlGlyphs.h"

TbsSkinDirectoryListBox::TbsSkinDirectoryListBox(TComponent* AOwner) : TbsSkinListBox(AOwner) {
    OnDrawItem = [this](TCanvas* C, int I, int W, int H, TRect R, TOwnerDrawState S) { DrawDirItem(C, I, W, H, R, S); };
    SetBounds(Left(), Top(), 145, Height());
    SetSorted(false);
    LoadFolderBitmaps();
    FDirectory = GetCurrentDir();
}

TbsSkinDirectoryListBox::~TbsSkinDirectoryListBox() {
    SetFileList(nullptr);
    SetDirLabel(nullptr);
    if (FDriveCombo)
        FDriveCombo->SetDirList(nullptr);
}

void TbsSkinDirectoryListBox::LoadFolderBitmaps() {
    RegisterFileCtrlGlyphs();
    ClosedBMP = std::make_unique<TBitmap>();
    ClosedBMP->LoadFromResourceName(HInstance, u"BS_CLOSEDFOLDER");
    OpenedBMP = std::make_unique<TBitmap>();
    OpenedBMP->LoadFromResourceName(HInstance, u"BS_OPENFOLDER");
    CurrentBMP = std::make_unique<TBitmap>();
    CurrentBMP->LoadFromResourceName(HInstance, u"BS_CURRENTFOLDER");
}

String TbsSkinDirectoryListBox::Drive() const {
    return MountPointOf(FDirectory);
}

int TbsSkinDirectoryListBox::CurrentIndex() const {
    return FDirectory == u"/" ? 0 : PathDepth(FDirectory);
}

void TbsSkinDirectoryListBox::BuildDirList() {
    FStopUpDateHScrollBar = true;
    Items()->BeginUpdate();
    Items()->Clear();
    // "/" first, then each folder on the way down: open ones, and the current one last.
    Items()->AddObject(u"/", FDirectory == u"/" ? CurrentBMP.get() : OpenedBMP.get());
    if (FDirectory != u"/") {
        std::size_t Start = 1;
        while (Start < FDirectory.size()) {
            std::size_t Slash = FDirectory.find(u'/', Start);
            if (Slash == String::npos)
                Slash = FDirectory.size();
            const bool Last = Slash >= FDirectory.size();
            Items()->AddObject(FDirectory.substr(Start, Slash - Start), Last ? CurrentBMP.get() : OpenedBMP.get());
            Start = Slash + 1;
        }
    }
    TSearchRec SR;
    for (int R = FindFirst(JoinPath(FDirectory, u"*.*"), faDirectory, SR); R == 0; R = FindNext(SR))
        if ((SR.Attr & faDirectory) && SR.Name != u"." && SR.Name != u"..")
            Items()->AddObject(SR.Name, ClosedBMP.get());
    FindClose(SR);
    Items()->EndUpdate();
    FStopUpDateHScrollBar = false;
    if (HandleAllocated()) {
        SetItemIndex(CurrentIndex());
        UpDateScrollBar();
    }
}

String TbsSkinDirectoryListBox::GetItemPath(int Index) const {
    if (Index < 0 || Index >= Items()->Count())
        return {};
    if (Index == 0)
        return u"/";
    auto* Glyph = Items()->Objects(Index);
    if (Glyph == ClosedBMP.get())
        return JoinPath(FDirectory, Items()->Strings(Index));
    if (Glyph == CurrentBMP.get())
        return FDirectory;
    // An open folder: the directory up to the (Index + 1)-th "/".
    std::size_t Pos = 0;
    for (int N = 0; N <= Index; ++N) {
        Pos = FDirectory.find(u'/', Pos + (N ? 1 : 0));
        if (Pos == String::npos)
            return FDirectory;
    }
    return FDirectory.substr(0, Pos);
}

void TbsSkinDirectoryListBox::SetDirectory(const String& Value) {
    if (Value.empty() || FileCompareText(Value, FDirectory) == 0)
        return;
    String NewDrive, DirPart, FilePart;
    SplitEditPath(Value, NewDrive, DirPart, FilePart);
    if (NewDrive != Drive()) {
        FInSetDir = true;
        try {
            if (FDriveCombo)
                FDriveCombo->SetDrive(NewDrive);
            else
                DriveChange(NewDrive);
        } catch (...) {
            FInSetDir = false;
            throw;
        }
        FInSetDir = false;
    }
    ApplyDirectory(DirPart);
}

void TbsSkinDirectoryListBox::SetDrive(const String& Value) {
    if (Value != Drive())
        SetDirectory(Value);
}

void TbsSkinDirectoryListBox::DriveChange(const String& NewDrive) {
    if (NewDrive == Drive())
        return;
    if (!NewDrive.empty()) {
        try {
            ChangeCurrentDir(NewDrive);
            FDirectory = GetCurrentDir();
        } catch (const EInOutError&) {
            // The drive cannot be entered: the old directory stays.
        }
    }
    if (!FInSetDir) {
        BuildDirList();
        Change();
    }
}

void TbsSkinDirectoryListBox::ApplyDirectory(const String& Dir) {
    if (FolderExists(FDirectory))
        ChangeCurrentDir(FDirectory);
    ChangeCurrentDir(Dir);
    FDirectory = GetCurrentDir();
    BuildDirList();
    Change();
}

void TbsSkinDirectoryListBox::Change() {
    if (FFileList)
        FFileList->SetDirectory(FDirectory);
    UpdateDirLabel();
    if (OnChange)
        OnChange(this);
}

void TbsSkinDirectoryListBox::UpdateDirLabel() {
    if (!FDirLabel)
        return;
    FDirLabel->Canvas()->Font()->Assign(FDirLabel->Font());
    FDirLabel->SetCaption(
        ShortenPath(FDirectory, FDirLabel->Canvas(), FDirLabel->AutoSize() ? Width() : FDirLabel->Width()));
}

void TbsSkinDirectoryListBox::OpenCurrent() {
    SetDirectory(GetItemPath(ItemIndex()));
}

void TbsSkinDirectoryListBox::UpdateList() {
    BuildDirList();
    Change();
}

String TbsSkinDirectoryListBox::DisplayCase(const String& S) const {
    return FPreserveCase || FCaseSensitive ? S : AnsiLowerCase(S);
}

int TbsSkinDirectoryListBox::FileCompareText(const String& A, const String& B) const {
    return FCaseSensitive ? AnsiCompareStr(A, B) : AnsiCompareText(A, B);
}

void TbsSkinDirectoryListBox::SetFileList(TbsSkinFileListBox* Value) {
    if (FFileList == Value)
        return;
    if (FFileList) {
        FFileList->FDirList = nullptr;
        FFileList->RemoveFreeNotification(this);
    }
    FFileList = Value;
    if (Value) {
        Value->FDirList = this;
        Value->FreeNotification(this);
        Value->SetDirectory(FDirectory);
    }
}

void TbsSkinDirectoryListBox::SetDirLabel(TbsSkinStdLabel* Value) {
    if (FDirLabel == Value)
        return;
    if (FDirLabel)
        FDirLabel->RemoveFreeNotification(this);
    FDirLabel = Value;
    if (Value) {
        Value->FreeNotification(this);
        UpdateDirLabel();
    }
}

void TbsSkinDirectoryListBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinListBox::Notification(AComponent, Operation);
    if (Operation != opRemove)
        return;
    if (AComponent == FFileList)
        FFileList = nullptr;
    if (AComponent == FDirLabel)
        FDirLabel = nullptr;
    if (AComponent == FDriveCombo)
        FDriveCombo = nullptr;
}

void TbsSkinDirectoryListBox::CreateWnd() {
    TbsSkinListBox::CreateWnd();
    BuildDirList();
    // The current folder's item: "/" alone is item 0, not item PathDepth.
    SetItemIndex(CurrentIndex());
}

void TbsSkinDirectoryListBox::Loaded() {
    TbsSkinListBox::Loaded();
    if (ComponentState().Contains(csDesigning)) {
        FDirectory = GetCurrentDir();
        BuildDirList();
    }
}

void TbsSkinDirectoryListBox::ListBoxDblClick() {
    TbsSkinListBox::ListBoxDblClick();
    OpenCurrent();
}

void TbsSkinDirectoryListBox::ListBoxKeyPress(Char& Key) {
    TbsSkinListBox::ListBoxKeyPress(Key);
    if (Key == 13)
        OpenCurrent();
}

int TbsSkinDirectoryListBox::ItemIndent(int Index) const {
    if (Index >= 0 && Index < Items()->Count() && Items()->Objects(Index) == ClosedBMP.get())
        return PathDepth(FDirectory) * 4 + 6;
    return Index * 4 + 2;
}

void TbsSkinDirectoryListBox::DrawDirItem(TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) {
    if (Index < 0 || Index >= Items()->Count())
        return;
    const int Indent = ItemIndent(Index) - ListBox->HorizontalExtentValue();
    auto* Glyph = dynamic_cast<TBitmap*>(Items()->Objects(Index));
    int Offset = 16;
    if (Glyph && !Glyph->Empty()) {
        const int Y = R.Top + (R.Height() - Glyph->Height()) / 2;
        C->BrushCopy(TRect(R.Left + Indent, Y, R.Left + Indent + Glyph->Width(), Y + Glyph->Height()), Glyph,
                     TRect(0, 0, Glyph->Width(), Glyph->Height()), Glyph->Canvas()->Pixels(0, Glyph->Height() - 1));
        Offset = Glyph->Width();
    }
    C->Brush()->SetStyle(bsClear);
    TextOutVCenteredOffset(C, Items()->Strings(Index), R, Offset + Indent + 4);
}

int TbsSkinDirectoryListBox::GetItemWidth(int Index, TCanvas* Canvas) {
    const int W = TbsSkinListBox::GetItemWidth(Index, Canvas);
    auto* Glyph = dynamic_cast<TBitmap*>(Items()->Objects(Index));
    if (!Glyph || Glyph->Empty())
        return W + Index * 4 + 22;
    return W + Glyph->Width() + 4 + ItemIndent(Index);
}
