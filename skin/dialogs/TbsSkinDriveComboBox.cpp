#include "skin/dialogs/TbsSkinDriveComboBox.h"

#include "platform/gdi/Resources.h"
#include "platform/shell/ShellPlaces.h"
#include "skin/dialogs/TbsSkinDirectoryListBox.h"
#include "skin/dialogs/bsFileCtrlGlyphs.h"

namespace {

std::unique_ptr<TBitmap> LoadGlyph(const char16_t* Name) {
    RegisterFileCtrlGlyphs();
    auto B = std::make_unique<TBitmap>();
    B->LoadFromResourceName(HInstance, Name);
    return B;
}

// The glyph with its bottom-left pixel transparent, at X and centred in R.
void DrawGlyph(TCanvas* C, TBitmap* G, int X, const TRect& R) {
    const int Y = R.Top + (R.Height() - G->Height()) / 2;
    C->BrushCopy(TRect(X, Y, X + G->Width(), Y + G->Height()), G, TRect(0, 0, G->Width(), G->Height()),
                 G->Canvas()->Pixels(0, G->Height() - 1));
}

} // namespace

TbsSkinDriveComboBox::TbsSkinDriveComboBox(TComponent* AOwner) : TbsSkinComboBox(AOwner) {
    OnChange = [this](TObject* Sender) { DriveSelected(Sender); };
    auto Draw = [this](TCanvas* C, int I, int W, int H, TRect R, TOwnerDrawState S) {
        DrawDriveItem(C, I, W, H, R, S);
    };
    OnListBoxDrawItem = Draw;
    OnComboBoxDrawItem = Draw;
    ListBox()->OnDrawItem = Draw;
    FloppyBMP = LoadGlyph(u"BS_FLOPPY");
    FixedBMP = LoadGlyph(u"BS_HARD");
    NetworkBMP = LoadGlyph(u"BS_NETWORK");
    CDROMBMP = LoadGlyph(u"BS_CDROM");
    RAMBMP = LoadGlyph(u"BS_RAM");
    FDrive = MountPointOf(GetCurrentDir());
}

TbsSkinDriveComboBox::~TbsSkinDriveComboBox() {
    SetDirList(nullptr);
}

String TbsSkinDriveComboBox::ItemDrive(int Index) const {
    return Index >= 0 && Index < int(FDrives.size()) ? FDrives[std::size_t(Index)] : String();
}

void TbsSkinDriveComboBox::BuildDriveList() {
    Items()->Clear();
    FDrives.clear();
    for (const TShellDrive& D : ShellDrives()) {
        const String Mount = UTF8ToString(D.MountPoint);
        TBitmap* Glyph = FixedBMP.get();
        String Label;
        switch (D.Kind) {
        case dkFixed:
            Label = VolumeLabelText(Mount, FTextCase);
            break;
        case dkRemovable:
            Glyph = FloppyBMP.get();
            Label = VolumeLabelText(Mount, FTextCase);
            break;
        case dkOptical:
            Glyph = CDROMBMP.get();
            Label = VolumeLabelText(Mount, FTextCase);
            break;
        case dkNetwork:
            Glyph = NetworkBMP.get();
            Label = NetworkVolumeText(Mount, FTextCase);
            break;
        }
        Items()->AddObject(Format(u"%s %s", {Mount, Label}), Glyph);
        FDrives.push_back(Mount);
    }
}

void TbsSkinDriveComboBox::SetDrive(const String& Value) {
    if (ItemIndex() >= 0 && Value == FDrive)
        return;
    FDrive = Value;
    int Found = -1;
    for (int I = 0; I < int(FDrives.size()) && Found < 0 && !Value.empty(); ++I)
        if (FDrives[std::size_t(I)] == Value)
            Found = I;
    if (Value.empty() || Found < 0)
        ListBox()->SetItemIndex(-1);
    else
        TbsSkinComboBox::SetItemIndex(Found);
    if (FDirList)
        FDirList->DriveChange(FDrive);
    Change();
}

void TbsSkinDriveComboBox::DriveSelected(TObject*) {
    if (ItemIndex() >= 0)
        SetDrive(ItemDrive(ItemIndex()));
}

void TbsSkinDriveComboBox::SetTextCase(TTextCase Value) {
    FTextCase = Value;
    const String Old = FDrive;
    BuildDriveList();
    FDrive.clear();
    SetDrive(Old);
}

void TbsSkinDriveComboBox::SetDirList(TbsSkinDirectoryListBox* Value) {
    if (FDirList == Value)
        return;
    if (FDirList) {
        FDirList->FDriveCombo = nullptr;
        FDirList->RemoveFreeNotification(this);
    }
    FDirList = Value;
    if (Value) {
        Value->FDriveCombo = this;
        Value->FreeNotification(this);
    }
}

void TbsSkinDriveComboBox::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinComboBox::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FDirList)
        FDirList = nullptr;
}

void TbsSkinDriveComboBox::CreateWnd() {
    TbsSkinComboBox::CreateWnd();
    BuildDriveList();
    const String D = FDrive;
    FDrive.clear();
    SetDrive(D);
}

void TbsSkinDriveComboBox::Loaded() {
    TbsSkinComboBox::Loaded();
    if (ComponentState().Contains(csDesigning)) {
        FDrive = MountPointOf(GetCurrentDir());
        BuildDriveList();
    }
}

void TbsSkinDriveComboBox::DrawDriveItem(TCanvas* C, int Index, int, int, TRect R, TOwnerDrawState) {
    if (Index < 0 || Index >= Items()->Count())
        return;
    auto* Glyph = dynamic_cast<TBitmap*>(Items()->Objects(Index));
    int X = R.Left;
    if (Glyph && !Glyph->Empty()) {
        DrawGlyph(C, Glyph, R.Left, R);
        X += Glyph->Width();
    }
    C->Brush()->SetStyle(bsClear);
    C->TextOut(X + 6, R.Top + (R.Height() - C->TextHeight(u"Wg")) / 2, Items()->Strings(Index));
}
