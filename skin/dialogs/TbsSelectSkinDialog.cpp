#include "skin/dialogs/TbsSelectSkinDialog.h"

#include <algorithm>

namespace {

// The chooser's texts: the control skin's strings when it has them, else the built-in English.
String SkinText(TbsSkinData* CtrlSkinData, const char16_t* Key, const char16_t* BuiltIn) {
    if (CtrlSkinData && CtrlSkinData->ResourceStrData())
        return CtrlSkinData->ResourceStrData()->GetResStr(Key);
    return BuiltIn;
}

TbsSkinButton* NewButton(TWinControl* Parent, TComponent* Owner, const String& Caption, int Left, int Top) {
    auto* B = new TbsSkinButton(Owner);
    B->SetParent(Parent);
    B->SetCaption(Caption);
    B->SetLeft(Left);
    B->SetTop(Top);
    return B;
}

} // namespace

TbsSelectSkinDlgForm::TbsSelectSkinDlgForm(TComponent* AOwner, TbsSkinData* ACtrlSkinData) : TForm(AOwner) {
    SetPosition(poScreenCenter);
    SetBorderStyle(bsSingle);
    BSF = new TbsSkinForm(this);

    PreviewForm = new TForm(this);
    PreviewForm->SetParent(this);
    PreviewForm->SetCaption(SkinText(ACtrlSkinData, u"MSG_PREVIEWSKIN", u"Preview"));
    // The miniature only shows the skin: it takes no input.
    PreviewForm->SetEnabled(false);
    PreviewForm->SetWidth(220);
    PreviewForm->SetHeight(170);

    PreviewSkinData = new TbsSkinData(this);
    if (ACtrlSkinData && ACtrlSkinData->ResourceStrData())
        PreviewSkinData->SetResourceStrData(ACtrlSkinData->ResourceStrData());

    PreviewButton =
        NewButton(PreviewForm, PreviewForm, SkinText(ACtrlSkinData, u"MSG_PREVIEWBUTTON", u"Button"), 20, 20);
    PreviewButton->SetWidth(100);
    PreviewButton->SetSkinData(PreviewSkinData);

    PreviewBSF = new TbsSkinForm(PreviewForm);
    PreviewBSF->SetSkinData(PreviewSkinData);
    PreviewBSF->PreviewMode = true;

    OpenButton = NewButton(this, this, SkinText(ACtrlSkinData, u"MSG_BTN_OK", u"OK"), 260, 200);
    OpenButton->SetDefault(true);
    OpenButton->SetTabStop(true);
    OpenButton->SetWidth(70);
    OpenButton->SetDefaultHeight(25);
    OpenButton->SetModalResult(mrOk);

    CancelButton = NewButton(this, this, SkinText(ACtrlSkinData, u"MSG_BTN_CANCEL", u"Cancel"), 340, 200);
    CancelButton->SetTabStop(true);
    CancelButton->SetWidth(70);
    CancelButton->SetDefaultHeight(25);
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetCancel(true);

    SkinsListBox = new TbsSkinListBox(this);
    SkinsListBox->SetParent(this);
    SkinsListBox->SetBounds(10, 10, 170, 170);
    SkinsListBox->OnListBoxClick = [this](TObject* Sender) { SLBOnChange(Sender); };
    SkinsListBox->OnListBoxDblClick = [this](TObject* Sender) { SLBOnDblClick(Sender); };
}

TbsSelectSkinDlgForm* TbsSelectSkinDlgForm::CreateEx2(TComponent* AOwner, TbsCompressedSkinList* ASkinList,
                                                      int ASkinIndex, TbsSkinData* ACtrlSkinData) {
    auto* F = new TbsSelectSkinDlgForm(AOwner, ACtrlSkinData);
    F->FCSkinList = ASkinList;
    F->FCSkinIndex = ASkinIndex;
    TbsSkinListItems* Skins = ASkinList->Skins();
    for (int I = 0; I < Skins->Count(); ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(Skins->Items(I));
        F->SkinsListBox->Items()->Add(Item->Description().empty() ? Item->Name() : Item->Description());
    }
    F->SkinsListBox->SetItemIndex(ASkinIndex);
    F->PreviewSkinData->SetSkinIndex(ASkinIndex);
    F->PreviewSkinData->SetSkinList(ASkinList);
    F->FinishLayout();
    return F;
}

TbsSelectSkinDlgForm* TbsSelectSkinDlgForm::CreateEx(TComponent* AOwner, TComponent* AForm,
                                                     TbsCompressedStoredSkin* ADefaultSkin,
                                                     TbsSkinData* ACtrlSkinData) {
    auto* F = new TbsSelectSkinDlgForm(AOwner, ACtrlSkinData);
    int Start = 0;
    for (int I = 0; AForm && I < AForm->ComponentCount(); ++I)
        if (auto* S = dynamic_cast<TbsCompressedStoredSkin*>(AForm->Components(I))) {
            if (S == ADefaultSkin)
                Start = int(F->SkinList.size());
            F->SkinList.push_back(S);
            F->SkinsListBox->Items()->Add(S->Description().empty() ? S->Name() : S->Description());
        }
    F->SkinsListBox->SetItemIndex(F->SkinList.empty() ? -1 : Start);
    // An owner without stored skins leaves the list empty and the preview unskinned.
    if (!F->SkinList.empty())
        F->PreviewSkinData->SetCompressedStoredSkin(F->SkinList[std::size_t(Start)]);
    F->FinishLayout();
    return F;
}

void TbsSelectSkinDlgForm::FinishLayout() {
    PreviewForm->SetLeft(190);
    PreviewForm->SetTop(10);
    PreviewForm->Show();
    SetActiveControl(SkinsListBox->ListBox);
}

void TbsSelectSkinDlgForm::SLBOnChange(TObject*) {
    const int I = SkinsListBox->ItemIndex();
    if (FCSkinList)
        PreviewSkinData->SetSkinIndex(I);
    else if (I >= 0 && I < int(SkinList.size()))
        PreviewSkinData->SetCompressedStoredSkin(SkinList[std::size_t(I)]);
}

void TbsSelectSkinDlgForm::SLBOnDblClick(TObject*) {
    SetModalResult(mrOk);
}

TbsSelectSkinDialog::TbsSelectSkinDialog(TComponent* AOwner) : TbsSkinDialogComponent(AOwner) {}

void TbsSelectSkinDialog::Notification(TComponent* AComponent, TOperation Operation) {
    TbsSkinDialogComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FSkinList)
        FSkinList = nullptr;
}

TbsSelectSkinDialog::~TbsSelectSkinDialog() = default;

void TbsSelectSkinDialog::SetSkinList(TbsCompressedSkinList* Value) {
    FSkinList = Value;
    if (Value)
        Value->FreeNotification(this);
}

bool TbsSelectSkinDialog::Run(TbsSelectSkinDlgForm* Form) {
    FForm = Form;
    struct Clear {
        TbsSelectSkinDlgForm*& Ref;
        ~Clear() { Ref = nullptr; }
    } Guard{FForm};
    Form->SetCaption(Title);
    Form->BSF->SetBorderIcons({});
    Form->BSF->SetSkinData(FSD);
    Form->BSF->SetMenusSkinData(FCtrlFSD);
    Form->BSF->SetAlphaBlend(AlphaBlend);
    Form->BSF->SetAlphaBlendAnimation(AlphaBlendAnimation);
    Form->BSF->SetAlphaBlendValue(AlphaBlendValue);
    for (TbsSkinCustomControl* C :
         std::initializer_list<TbsSkinCustomControl*>{Form->OpenButton, Form->CancelButton, Form->SkinsListBox}) {
        C->SetDefaultFont(FDefaultFont.get());
        C->SetSkinData(FCtrlFSD);
    }
    if (!FSD || FSD->Empty) {
        Form->SetClientWidth(420);
        Form->SetClientHeight(240);
    } else {
        Form->SetClientWidth(std::max(420, Form->BSF->GetMinWidth()));
        Form->SetClientHeight(std::max(240, Form->BSF->GetMinHeight()));
    }
    return Form->ShowModal() == mrOk;
}

bool TbsSelectSkinDialog::Execute(int SkinIndex) {
    if (!FSkinList)
        return false;
    std::unique_ptr<TbsSelectSkinDlgForm> Form(
        TbsSelectSkinDlgForm::CreateEx2(Application, FSkinList, SkinIndex, FCtrlFSD));
    FSelectedSkin = nullptr;
    FSelectedSkinIndex = -1;
    if (!Run(Form.get()))
        return false;
    // The skin last loaded into the preview.
    FSelectedSkinIndex = Form->PreviewSkinData->SkinIndex();
    return true;
}

bool TbsSelectSkinDialog::Execute(TbsCompressedStoredSkin* DefaultCompressedSkin) {
    std::unique_ptr<TbsSelectSkinDlgForm> Form(
        TbsSelectSkinDlgForm::CreateEx(Application, Owner(), DefaultCompressedSkin, FCtrlFSD));
    FSelectedSkin = nullptr;
    if (!Run(Form.get()))
        return false;
    FSelectedSkin = Form->GetSelectedSkin();
    return true;
}
