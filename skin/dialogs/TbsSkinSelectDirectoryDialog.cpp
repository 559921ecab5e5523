#include "skin/dialogs/TbsSkinSelectDirectoryDialog.h"

#include "platform/gdi/Resources.h"
#include "skin/controls/TbsSkinBevel.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinEdit.h"
#include "skin/controls/TbsSkinPanel.h"
#include "skin/controls/TbsSkinScrollBar.h"
#include "skin/controls/TbsSkinSpeedButton.h"
#include "skin/core/TbsResourceStrData.h"
#include "skin/core/TbsSkinData.h"
#include "skin/dialogs/TbsCustomShellTreeView.h"
#include "skin/dialogs/bsFileCtrlGlyphs.h"
#include "skin/dialogs/bsFileCtrlPaths.h"
#include "skin/forms/TbsSkinForm.h"

// ---------------------------------------------------------------------------------------------
// The form

TbsSelDirDlgForm::TbsSelDirDlgForm(TComponent* AOwner, TbsSkinData* ACtrlSkinData, bool AShowToolBar,
                                   bool AToolButtonsTransparent)
    : TForm(AOwner), CtrlSD(ACtrlSkinData), ShowToolBar(AShowToolBar) {
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    BSF = new TbsSkinForm(this);

    if (ShowToolBar) {
        ToolPanel = new TbsSkinPanel(this);
        ToolPanel->SetParent(this);
        ToolPanel->SetAlign(alTop);
        ToolPanel->SetBorderStyle(TbsSkinBorderStyle::bvNone);
        ToolPanel->SetDefaultHeight(25);
        ToolPanel->SetSkinDataName(u"toolpanel");

        NewFolderToolButton = new TbsSkinSpeedButton(this);
        NewFolderToolButton->SetParent(ToolPanel);
        NewFolderToolButton->SetLeft(Width());
        NewFolderToolButton->SetAlign(alRight);
        NewFolderToolButton->SetDefaultWidth(27);
        NewFolderToolButton->SetDefaultHeight(25);
        NewFolderToolButton->SetSkinDataName(u"toolbutton");
        RegisterFileCtrlGlyphs();
        NewFolderToolButton->Glyph()->LoadFromResourceName(HInstance, u"BS_NEWFOLDER");
        NewFolderToolButton->SetNumGlyphs(1);
        NewFolderToolButton->SetHint(Text(u"MSG_BTN_NEWFOLDER_HINT", u"Create New Folder"));
        NewFolderToolButton->SetShowHint(true);
        NewFolderToolButton->SetFlat(AToolButtonsTransparent);
        NewFolderToolButton->OnClick = [this](TObject* Sender) { NewFolderToolButtonClick(Sender); };

        auto* Spacer = new TbsSkinBevel(this);
        Spacer->SetParent(ToolPanel);
        Spacer->SetLeft(0);
        Spacer->SetAlign(alRight);
        Spacer->SetWidth(5);
        Spacer->SetShape(bsSpacer);

        DirEdit = new TbsSkinEdit(this);
        DirEdit->SetParent(ToolPanel);
        DirEdit->SetAlign(alClient);
        DirEdit->SetDefaultHeight(25);
        DirEdit->SetSkinDataName(u"edit");
        DirEdit->OnKeyPress = [this](TObject* Sender, Char& Key) { DirEditKeyPress(Sender, Key); };
    }

    DirTreeViewPanel = new TbsSkinPanel(this);
    DirTreeViewPanel->SetParent(this);
    DirTreeViewPanel->SetAlign(alClient);
    DirTreeViewPanel->SetBorderStyle(TbsSkinBorderStyle::bvFrame);
    DirTreeViewPanel->SetHeight(200);

    VScrollBar = new TbsSkinScrollBar(this);
    VScrollBar->SetParent(DirTreeViewPanel);
    VScrollBar->SetKind(sbVertical);
    VScrollBar->SetAlign(alRight);
    VScrollBar->SetDefaultWidth(19);
    VScrollBar->SetEnabled(false);
    VScrollBar->SetSkinDataName(u"vscrollbar");

    HScrollBar = new TbsSkinScrollBar(this);
    HScrollBar->SetParent(DirTreeViewPanel);
    HScrollBar->SetAlign(alBottom);
    HScrollBar->SetDefaultHeight(19);
    HScrollBar->SetEnabled(false);
    HScrollBar->SetBothMarkerWidth(19);
    HScrollBar->SetSkinDataName(u"hscrollbar");

    DirTreeView = new TbsSkinDirTreeView(this);
    DirTreeView->SetParent(DirTreeViewPanel);
    DirTreeView->SetAlign(alClient);
    DirTreeView->SetHScrollBar(HScrollBar);
    DirTreeView->SetVScrollBar(VScrollBar);
    // Hidden folders are offered too.
    TShellObjectTypes Types = DirTreeView->ObjectTypes();
    Types.Include(otHidden);
    DirTreeView->SetObjectTypes(Types);
    DirTreeView->SetHideSelection(false);
    DirTreeView->OnChange = [this](TObject* Sender, TTreeNode* Node) { DirTreeViewChange(Sender, Node); };

    BottomPanel = new TbsSkinPanel(this);
    BottomPanel->SetParent(this);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    BottomPanel->SetHeight(50);

    OkButton = new TbsSkinButton(this);
    OkButton->SetParent(BottomPanel);
    OkButton->SetBounds(20, 15, 70, 25);
    OkButton->SetDefaultHeight(25);
    OkButton->SetCaption(Text(u"MSG_BTN_OK", u"OK"));
    OkButton->SetDefault(true);
    OkButton->SetCanFocused(true);
    OkButton->SetModalResult(mrOk);

    CancelButton = new TbsSkinButton(this);
    CancelButton->SetParent(BottomPanel);
    CancelButton->SetBounds(100, 15, 70, 25);
    CancelButton->SetDefaultHeight(25);
    CancelButton->SetCaption(Text(u"MSG_BTN_CANCEL", u"Cancel"));
    CancelButton->SetCanFocused(true);
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetCancel(true);
}

TbsSelDirDlgForm::~TbsSelDirDlgForm() {
    // The tree's last selection changes come while the form goes: nothing follows them any more.
    DirTreeView->OnChange = nullptr;
}

String TbsSelDirDlgForm::Text(const char16_t* Key, const char16_t* BuiltIn) const {
    if (CtrlSD && CtrlSD->ResourceStrData()) {
        const String S = CtrlSD->ResourceStrData()->GetResStr(Key);
        if (!S.empty())
            return S;
    }
    return BuiltIn;
}

void TbsSelDirDlgForm::DirTreeViewChange(TObject*, TTreeNode*) {
    if (ShowToolBar && DirEdit)
        DirEdit->SetText(DirTreeView->Path());
}

void TbsSelDirDlgForm::DirEditKeyPress(TObject*, Char& Key) {
    if (Key != 13)
        return;
    const String Typed = DirEdit->Text();
    if (!Typed.empty() && FolderExists(Typed))
        DirTreeView->SetPath(Typed);
}

void TbsSelDirDlgForm::NewFolderToolButtonClick(TObject*) {
    const String Name = DirTreeView->Path() + u"/" + Text(u"MSG_NEWFOLDER", u"New Folder");
    // Only under a folder of the file system (a path from "/"), and only once: there is no counter.
    if (DirTreeView->Selected() && !FolderExists(Name) && !Name.empty() && Name[0] == u'/' &&
        !DirTreeView->Path().empty() && DirTreeView->Path()[0] == u'/') {
        if (!CreateDir(Name))
            throw EInOutError(Format(u"I/O error %d", {GetLastError()}));
        DirTreeView->Refresh(DirTreeView->Selected());
    }
}

// ---------------------------------------------------------------------------------------------
// The component

TbsSkinSelectDirectoryDialog::TbsSkinSelectDirectoryDialog(TComponent* AOwner) : TbsSkinDialogComponent(AOwner) {}

TbsSkinSelectDirectoryDialog::~TbsSkinSelectDirectoryDialog() = default;

bool TbsSkinSelectDirectoryDialog::Execute() {
    if (OnShow)
        OnShow(this);
    std::unique_ptr<TbsSelDirDlgForm> Owned(
        new TbsSelDirDlgForm(Application, FCtrlFSD, FShowToolBar, FToolButtonsTransparent));
    FForm = Owned.get();
    bool Result = false;
    try {
        TbsSelDirDlgForm& F = *FForm;
        // Built now, the tree's window too: it reads its root then, so the start folder chosen below stays chosen
        // when the form shows.
        F.AfterConstruction();
        F.DirTreeView->HandleNeeded();
        F.SetCaption(FTitle);
        F.BSF->SetBorderIcons({});
        F.BSF->SetSkinData(FSD);
        F.BSF->SetMenusSkinData(FCtrlFSD);
        F.BSF->SetMinWidth(FDialogMinWidth);
        F.BSF->SetMinHeight(FDialogMinHeight);
        F.DirTreeViewPanel->SetSkinData(FCtrlFSD);
        F.DirTreeView->SetDefaultFont(FDefaultFont.get());
        F.DirTreeView->SetSkinData(FCtrlFSD);
        if (!FDirectory.empty() && FolderExists(FDirectory))
            F.DirTreeView->SetPath(FDirectory);
        else
            F.DirTreeView->ExpandMyComputer();
        for (TbsSkinCustomControl* C : std::initializer_list<TbsSkinCustomControl*>{
                 F.HScrollBar, F.VScrollBar, F.OkButton, F.CancelButton, F.BottomPanel})
            C->SetSkinData(FCtrlFSD);
        F.OkButton->SetDefaultFont(FDefaultFont.get());
        F.CancelButton->SetDefaultFont(FDefaultFont.get());
        if (FShowToolBar) {
            F.ToolPanel->SetSkinData(FCtrlFSD);
            F.NewFolderToolButton->SetSkinData(FCtrlFSD);
            F.DirEdit->SetSkinData(FCtrlFSD);
        }
        int W = FDialogWidth > 0 ? FDialogWidth : 280;
        int H = FDialogHeight > 0 ? FDialogHeight : 280;
        if (FSD && !FSD->Empty) {
            W = std::max(W, F.BSF->GetMinWidth());
            H = std::max(H, F.BSF->GetMinHeight());
        }
        F.SetClientWidth(W);
        F.SetClientHeight(H);
        F.SetActiveControl(F.DirTreeView);
        Result = F.ShowModal() == mrOk;
        FDialogWidth = F.ClientWidth();
        FDialogHeight = F.ClientHeight();
        if (Result)
            FDirectory = F.DirTreeView->Path();
    } catch (...) {
        if (OnClose)
            OnClose(this);
        FForm = nullptr;
        throw;
    }
    if (OnClose)
        OnClose(this);
    Owned.reset();
    FForm = nullptr;
    return Result;
}
