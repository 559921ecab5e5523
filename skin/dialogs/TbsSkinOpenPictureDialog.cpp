#include "skin/dialogs/TbsSkinOpenPictureDialog.h"

#include "platform/gdi/Resources.h"
#include "skin/dialogs/bsDialogPictures.h"

namespace {

TbsSkinScrollBar* PreviewBar(TbsOpenPictureDlgForm* Form, bool Vertical) {
    auto* Bar = new TbsSkinScrollBar(Form);
    if (Vertical)
        Bar->SetKind(sbVertical);
    Bar->SetParent(Form->ImagePanel);
    Bar->SetAlign(Vertical ? alRight : alBottom);
    if (Vertical)
        Bar->SetDefaultWidth(19);
    else {
        Bar->SetDefaultHeight(19);
        Bar->SetBothMarkerWidth(19);
    }
    Bar->SetEnabled(false);
    Bar->SetSkinDataName(Vertical ? u"vscrollbar" : u"hscrollbar");
    return Bar;
}

} // namespace

TbsOpenPictureDlgForm::TbsOpenPictureDlgForm(TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData,
                                             bool AToolButtonsTransparent)
    : TbsOpenDlgForm(AOwner, ASaveMode, ACtrlSkinData, AToolButtonsTransparent) {
    ImagePanel = new TbsSkinPanel(this);
    ImagePanel->SetParent(this);
    ImagePanel->SetAlign(alRight);
    ImagePanel->SetBorderStyle(TbsSkinBorderStyle::bvFrame);
    ImagePanel->SetWidth(200);

    // Right-aligned and created after the panel, it stands on the panel's left and sizes it.
    Splitter = new TbsSkinSplitter(this);
    Splitter->SetParent(this);
    Splitter->SetAlign(alRight);
    Splitter->SetWidth(10);
    Splitter->SetDefaultSize(10);
    Splitter->SetBeveled(false);

    SBVScrollBar = PreviewBar(this, true);
    SBHScrollBar = PreviewBar(this, false);

    ScrollBox = new TbsSkinScrollBox(this);
    ScrollBox->SetParent(ImagePanel);
    ScrollBox->SetAlign(alClient);
    ScrollBox->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    ScrollBox->SetVScrollBar(SBVScrollBar);
    ScrollBox->SetHScrollBar(SBHScrollBar);

    Image = new TImage(this);
    Image->SetParent(ScrollBox);
    Image->SetLeft(0);
    Image->SetTop(0);

    // Placed beyond the view-style button, it is the rightmost button of the strip.
    StretchButton = new TbsSkinSpeedButton(this);
    StretchButton->SetParent(ToolPanel);
    StretchButton->SetAlign(alRight);
    StretchButton->SetLeft(StyleToolButton->Left() + StyleToolButton->Width());
    StretchButton->SetDefaultWidth(27);
    StretchButton->SetGroupIndex(2);
    StretchButton->SetAllowAllUp(true);
    StretchButton->SetSkinDataName(u"toolbutton");
    StretchButton->Glyph()->LoadFromResourceName(HInstance, u"BS_STRETCH");
    StretchButton->SetNumGlyphs(1);
    StretchButton->SetHint(Text(u"MSG_BTN_STRETCH_HINT", u"Stretch Picture"));
    StretchButton->SetShowHint(true);
    StretchButton->SetFlat(AToolButtonsTransparent);
    StretchButton->OnClick = [this](TObject* S) { StretchButtonClick(S); };

    // A fixed bottom row: the preview takes what the form gains in width.
    FileNameEdit->SetBounds(70, 10, 280, FileNameEdit->Height());
    FilterComboBox->SetBounds(70, 45, 280, FilterComboBox->Height());
    OpenButton->SetBounds(370, 10, 70, 25);
    CancelButton->SetBounds(370, 45, 70, 25);
    for (TControl* C : std::initializer_list<TControl*>{FileNameEdit, FilterComboBox, OpenButton, CancelButton})
        C->SetAnchors({akLeft, akTop});
}

void TbsOpenPictureDlgForm::FitToPicture() {
    if (Image->Stretch())
        return;
    Image->SetWidth(Image->Picture()->Width());
    Image->SetHeight(Image->Picture()->Height());
    UpdateScrollRange();
}

void TbsOpenPictureDlgForm::UpdateScrollRange() {
    ScrollBox->UpDateScrollRange();
    // Laid out once more, the box takes back the place of a bar that went while the skinned panel was measured
    // with it.
    ImagePanel->Realign();
}

void TbsOpenPictureDlgForm::LoadPicture(const String& File) {
    try {
        Image->Picture()->LoadFromFile(File);
    } catch (...) {
        FitToPicture();
        throw;
    }
    FitToPicture();
}

void TbsOpenPictureDlgForm::SetStretched(bool Value) {
    Image->Hide();
    if (Value) {
        // Measured without the picture, so that the bars go and the picture fills what is visible.
        UpdateScrollRange();
        Image->SetStretch(true);
        Image->SetAlign(alClient);
        Image->Show();
        return;
    }
    Image->SetAlign(alNone);
    Image->SetBounds(0, 0, Image->Picture()->Width(), Image->Picture()->Height());
    Image->SetStretch(false);
    Image->Show();
    UpdateScrollRange();
}

void TbsOpenPictureDlgForm::StretchButtonClick(TObject*) {
    SetStretched(StretchButton->Down());
}

void TbsOpenPictureDlgForm::FLVChange(TObject*, TListItem*, TItemChange) {
    FileNameEdit->SetText(ExtractFileName(FileListView->GetSelectedFile()));
    if (!FileNameEdit->Text().empty())
        LoadPicture(FolderPrefix() + FileNameEdit->Text());
    else if (!Image->Stretch()) {
        Image->SetWidth(0);
        Image->SetHeight(0);
    }
}

TbsSkinOpenPictureDialog::TbsSkinOpenPictureDialog(TComponent* AOwner) : TbsSkinCustomOpenDialog(AOwner) {
    AlphaBlendValue = 200;
    Title = u"Open picture";
    Filter = u"All (*.bmp;*.ico;*.emf;*.wmf)|*.bmp;*.ico;*.emf;*.wmf|Bitmaps (*.bmp)|*.bmp|Icons (*.ico)|*.ico|"
             u"Enhanced Metafiles (*.emf)|*.emf|Metafiles (*.wmf)|*.wmf";
}

TbsOpenDlgForm* TbsSkinOpenPictureDialog::CreateForm() {
    return new TbsOpenPictureDlgForm(Application, FSaveMode, FCtrlFSD, ToolButtonsTransparent);
}

void TbsSkinOpenPictureDialog::PrepareForm(TbsOpenDlgForm* Base) {
    auto* Form = static_cast<TbsOpenPictureDlgForm*>(Base);
    Form->CheckFileExists = CheckFileExists;
    Form->OverwritePromt = OverwritePromt;
    SetUpForm(Form);
    SetUpFilter(Form);
    Form->ImagePanel->SetWidth(ImagePanelWidth);
    for (TbsSkinControl* C : std::initializer_list<TbsSkinControl*>{Form->ImagePanel, Form->ScrollBox,
                                                                    Form->SBHScrollBar, Form->SBVScrollBar})
        C->SetSkinData(FCtrlFSD);
    Form->StretchButton->SetSkinData(FCtrlFSD);
    Form->Splitter->SetSkinData(FCtrlFSD);
    SkinControls(Form);
    SizeForm(Form, 550, 290);
    // Only pressed: raising a button that is up would start its fade from the hot look.
    if (StretchPicture || DialogStretch) {
        Form->StretchButton->SetDown(true);
        Form->SetStretched(true);
    }
    FocusFirstItem(Form);
    ShowStartPicture(Form);
    Form->FileNameEdit->SetText(ExtractFileName(FFileName));
    Form->InitHistory();
}

// A start file that cannot be read as a picture leaves the preview empty: the dialog still opens, so the user
// can choose another.
void TbsSkinOpenPictureDialog::ShowStartPicture(TbsOpenPictureDlgForm* Form) {
    if (!FileExists(FFileName))
        return;
    try {
        Form->LoadPicture(FFileName);
    } catch (Exception&) {
    }
}

void TbsSkinOpenPictureDialog::TakeResults(TbsOpenDlgForm* Base, bool Ok) {
    auto* Form = static_cast<TbsOpenPictureDlgForm*>(Base);
    DialogStretch = Form->StretchButton->Down();
    ImagePanelWidth = Form->ImagePanel->Width();
    TbsSkinCustomOpenDialog::TakeResults(Form, Ok);
    if (!Ok || !FSaveMode)
        return;
    const String Ext = Form->GetFilterExt();
    if (!Ext.empty() && ExtractFileExt(FFileName).empty())
        FFileName += Ext;
}

TbsSkinSavePictureDialog::TbsSkinSavePictureDialog(TComponent* AOwner) : TbsSkinOpenPictureDialog(AOwner) {
    FSaveMode = true;
    Title = u"Save file";
}
