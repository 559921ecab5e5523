#include "skin/dialogs/TbsSkinCustomOpenDialog.h"

#include <algorithm>

#include "skin/dialogs/TbsSkinOpenDialog.h"

TbsSkinCustomOpenDialog::TbsSkinCustomOpenDialog(TComponent* AOwner)
    : TbsSkinDialogComponent(AOwner), FFiles(std::make_unique<TStringList>()) {}

TbsSkinCustomOpenDialog::~TbsSkinCustomOpenDialog() = default;

bool TbsSkinCustomOpenDialog::Execute() {
    if (OnShow)
        OnShow(this);
    std::unique_ptr<TbsOpenDlgForm> Form(CreateForm());
    // Built now: what follows lays the form out and lists folders as a shown form does, and the look-in box
    // keeps the folder chosen below instead of reloading its entries when the form shows.
    Form->AfterConstruction();
    FDlgFrm = Form.get();
    struct Finish {
        TbsSkinCustomOpenDialog& Self;
        ~Finish() {
            Self.FDlgFrm = nullptr;
            if (Self.OnClose)
                Self.OnClose(&Self);
        }
    } Guard{*this};
    PrepareForm(Form.get());
    const bool Ok = Form->ShowModal() == mrOk;
    TakeResults(Form.get(), Ok);
    return Ok;
}

void TbsSkinCustomOpenDialog::TakeResults(TbsOpenDlgForm* Form, bool Ok) {
    FilterIndex = Form->FilterComboBox->ItemIndex() + 1;
    DialogWidth = Form->ClientWidth();
    DialogHeight = Form->ClientHeight();
    ListViewStyle = Form->FileListView->ViewStyle();
    if (!Ok)
        return;
    FFileName = Form->FileName;
    FFiles->Clear();
    Form->FileListView->GetSelectedFiles(FFiles.get());
}

void TbsSkinCustomOpenDialog::SetUpForm(TbsOpenDlgForm* Form) {
    Form->SetCaption(Title);
    TbsSkinForm* Frame = Form->BSF;
    Frame->SetBorderIcons({});
    Frame->SetSkinData(FSD);
    Frame->SetMenusSkinData(FCtrlFSD);
    Frame->SetMinWidth(DialogMinWidth);
    Frame->SetMinHeight(DialogMinHeight);
    Frame->SetAlphaBlend(AlphaBlend);
    Frame->SetAlphaBlendAnimation(AlphaBlendAnimation);
    Frame->SetAlphaBlendValue(AlphaBlendValue);
    for (TbsSkinCustomComboBox* Box :
         std::initializer_list<TbsSkinCustomComboBox*>{Form->ShellBox, Form->FilterComboBox}) {
        Box->SetAlphaBlend(CtrlAlphaBlend);
        Box->SetAlphaBlendValue(CtrlAlphaBlendValue);
        Box->SetAlphaBlendAnimation(CtrlAlphaBlendAnimation);
    }
    Frame->SetMenusAlphaBlend(CtrlAlphaBlend);
    Frame->SetMenusAlphaBlendValue(CtrlAlphaBlendValue);
    Frame->SetMenusAlphaBlendAnimation(CtrlAlphaBlendAnimation);
    Form->OpenButton->SetDefaultFont(FDefaultFont.get());
    Form->CancelButton->SetDefaultFont(FDefaultFont.get());
    Form->ShellBox->SetDefaultFont(FDefaultFont.get());
    Form->FileListView->SetDefaultFont(FDefaultFont.get());

    TbsSkinFileListView* List = Form->FileListView;
    switch (ListViewStyle) {
    case vsIcon:
        Form->IconMenuItem->SetChecked(true);
        break;
    case vsSmallIcon:
        Form->SmallIconMenuItem->SetChecked(true);
        break;
    case vsList:
        Form->ListMenuItem->SetChecked(true);
        break;
    case vsReport:
        Form->ReportMenuItem->SetChecked(true);
        break;
    }
    List->SetViewStyle(ListViewStyle);
    List->SetRoot(StartFolder());
    // A new root reaches only a linked tree: the look-in box is moved to the listed folder here.
    if (TbsShellFolder* Root = List->RootFolder())
        Form->ShellBox->SyncToID(Root->AbsoluteID());
    List->SetHeaderSkinDataName(LVHeaderSkinDataName);
    List->SetSkinData(FCtrlFSD);
    List->SetMultiSelect(MultiSelection);
    if (ShowHiddenFiles)
        List->SetObjectTypes(List->ObjectTypes() + otHidden);
}

void TbsSkinCustomOpenDialog::SetUpFilter(TbsOpenDlgForm* Form) {
    // The filter box builds its list from the filter text only once its window exists.
    Form->FilterComboBox->HandleNeeded();
    Form->FilterComboBox->SetFilter(Filter);
    Form->FilterComboBox->SetItemIndex(FilterIndex - 1);
}

void TbsSkinCustomOpenDialog::SkinControls(TbsOpenDlgForm* Form) {
    for (TControl* C : std::initializer_list<TControl*>{
             Form->FileListViewPanel, Form->BottomPanel, Form->ToolPanel, Form->UpToolButton, Form->BackToolButton,
             Form->StyleToolButton, Form->NewFolderToolButton, Form->FLVHScrollBar, Form->FLVVScrollBar,
             Form->FileNameEdit, Form->FilterComboBox, Form->OpenButton, Form->CancelButton, Form->ShellBox})
        if (auto* Skinned = dynamic_cast<TbsSkinControl*>(C))
            Skinned->SetSkinData(FCtrlFSD);
        else if (auto* Graphic = dynamic_cast<TbsGraphicSkinControl*>(C))
            Graphic->SetSkinData(FCtrlFSD);
    for (TbsSkinStdLabel* L : {Form->Drivelabel, Form->OpenFileLabel, Form->FileTypeLabel})
        L->SetSkinData(FCtrlFSD);
    Form->ShellBox->SetSkinDataName(u"combobox");
}

void TbsSkinCustomOpenDialog::SizeForm(TbsOpenDlgForm* Form, int DefaultWidth, int DefaultHeight) {
    int W = DialogWidth > 0 ? DialogWidth : DefaultWidth, H = DialogHeight > 0 ? DialogHeight : DefaultHeight;
    if (FSD && !FSD->Empty) {
        W = std::max(W, Form->BSF->GetMinWidth());
        H = std::max(H, Form->BSF->GetMinHeight());
    }
    Form->SetClientWidth(W);
    Form->SetClientHeight(H);
}

void TbsSkinCustomOpenDialog::FocusFirstItem(TbsOpenDlgForm* Form) {
    TbsSkinFileListView* List = Form->FileListView;
    if (List->Items()->Count() > 0)
        List->SetItemFocused(List->Items()->Item(0));
}

// A remembered file whose folder has gone (an unplugged stick) starts in the executable's folder too, so the
// dialog always opens.
String TbsSkinCustomOpenDialog::StartFolder() const {
    const String Dir = ExtractFilePath(FFileName);
    if (!FFileName.empty() && !Dir.empty())
        return DirectoryExists(Dir) ? Dir : GetAppPath();
    if (!InitialDir.empty() && DirectoryExists(InitialDir))
        return InitialDir;
    return GetAppPath();
}
