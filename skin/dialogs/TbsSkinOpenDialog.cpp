#include "skin/dialogs/TbsSkinOpenDialog.h"

#include <algorithm>

#include "platform/gdi/Resources.h"
#include "skin/dialogs/TbsSkinMessage.h"
#include "skin/dialogs/bsDialogPictures.h"

namespace {

// The extension of a name (from the last "." of its name part, dot included), or empty.
String ExtOf(const String& Name) {
    return ExtractFileExt(Name);
}

// Name with its extension replaced by Ext, or Ext appended when it has none.
String WithExt(const String& Name, const String& Ext) {
    const String Old = ExtOf(Name);
    return Name.substr(0, Name.size() - Old.size()) + Ext;
}

// A filter's mask without the blanks around its patterns: filters are written "*.aif; *.aiff", and the list
// takes a blank as part of a pattern, which then matches no file.
String ListMask(const String& Mask) {
    String Result;
    for (std::size_t Start = 0;;) {
        const std::size_t End = Mask.find_first_of(u";|", Start);
        Result += Trim(Mask.substr(Start, End == String::npos ? String::npos : End - Start));
        if (End == String::npos)
            return Result;
        Result += Mask[End];
        Start = End + 1;
    }
}

bool Contains(const String& S, const char16_t* Part) {
    return S.find(Part) != String::npos;
}

TbsSkinSpeedButton* ToolButton(TbsOpenDlgForm* Form, TWinControl* Parent, const char16_t* Glyph, bool Flat) {
    auto* B = new TbsSkinSpeedButton(Form);
    B->SetParent(Parent);
    B->SetAlign(alRight);
    B->SetLeft(Form->Width());
    B->SetDefaultHeight(25);
    B->SetDefaultWidth(27);
    B->SetSkinDataName(u"toolbutton");
    B->Glyph()->LoadFromResourceName(HInstance, Glyph);
    B->SetNumGlyphs(1);
    B->SetShowHint(true);
    B->SetFlat(Flat);
    return B;
}

TbsSkinBevel* Spacer(TbsOpenDlgForm* Form, TWinControl* Parent, TAlign Align) {
    auto* S = new TbsSkinBevel(Form);
    S->SetParent(Parent);
    S->SetAlign(Align);
    S->SetLeft(Align == alRight ? Form->Width() : 0);
    S->SetWidth(10);
    S->SetShape(bsSpacer);
    return S;
}

TMenuItem* StyleItem(TbsOpenDlgForm* Form, const String& Caption, void (TbsOpenDlgForm::*Click)(TObject*)) {
    auto* Item = new TMenuItem(Form);
    Item->SetCaption(Caption);
    Item->SetRadioItem(true);
    Item->OnClick = [Form, Click](TObject* Sender) { (Form->*Click)(Sender); };
    Form->StylePopupMenu->Items()->Add(Item);
    return Item;
}

} // namespace

TbsOpenDlgForm::TbsOpenDlgForm(TComponent* AOwner, bool ASaveMode, TbsSkinData* ACtrlSkinData,
                               bool AToolButtonsTransparent)
    : TForm(AOwner), SaveMode(ASaveMode), CtrlSD(ACtrlSkinData) {
    RegisterDialogPictures();
    SetKeyPreview(true);
    SetPosition(poScreenCenter);
    BSF = new TbsSkinForm(this);

    ToolPanel = new TbsSkinToolBar(this);
    ToolPanel->SetParent(this);
    ToolPanel->SetAlign(alTop);
    ToolPanel->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    ToolPanel->SetDefaultHeight(25);
    ToolPanel->SetSkinDataName(u"toolpanel");

    Spacer(this, ToolPanel, alLeft);
    Drivelabel = new TbsSkinStdLabel(this);
    Drivelabel->SetParent(ToolPanel);
    Drivelabel->SetAlign(alLeft);
    Drivelabel->SetLeft(0);
    Drivelabel->SetAutoSize(true);
    Drivelabel->SetLayout(tlCenter);
    Drivelabel->SetCaption(Text(u"FLV_LOOKIN", u"Look in: "));

    BackToolButton = ToolButton(this, ToolPanel, u"BS_BACK", AToolButtonsTransparent);
    BackToolButton->SetHint(Text(u"MSG_BTN_BACK_HINT", u"Go To Last Folder Visited"));
    BackToolButton->OnClick = [this](TObject* S) { BackToolButtonClick(S); };
    UpToolButton = ToolButton(this, ToolPanel, u"BS_UP", AToolButtonsTransparent);
    UpToolButton->SetHint(Text(u"MSG_BTN_UP_HINT", u"Up One Level"));
    UpToolButton->OnClick = [this](TObject* S) { UpToolButtonClick(S); };
    NewFolderToolButton = ToolButton(this, ToolPanel, u"BS_NEWFOLDER", AToolButtonsTransparent);
    NewFolderToolButton->SetHint(Text(u"MSG_BTN_NEWFOLDER_HINT", u"Create New Folder"));
    NewFolderToolButton->OnClick = [this](TObject* S) { NewFolderToolButtonClick(S); };
    Spacer(this, ToolPanel, alRight);

    StylePopupMenu = new TbsSkinPopupMenu(this);
    IconMenuItem = StyleItem(this, Text(u"MSG_LV_ICON", u"Large icons"), &TbsOpenDlgForm::IconItemClick);
    SmallIconMenuItem = StyleItem(this, Text(u"MSG_LV_SMALLICON", u"Small icons"), &TbsOpenDlgForm::SmallIconItemClick);
    ListMenuItem = StyleItem(this, Text(u"MSG_LV_LIST", u"List"), &TbsOpenDlgForm::ListItemClick);
    ReportMenuItem = StyleItem(this, Text(u"MSG_LV_DETAILS", u"Details"), &TbsOpenDlgForm::ReportItemClick);

    StyleToolButton = new TbsSkinMenuSpeedButton(this);
    StyleToolButton->SetParent(ToolPanel);
    StyleToolButton->SetAlign(alRight);
    StyleToolButton->SetLeft(Width());
    StyleToolButton->SetDefaultWidth(37);
    StyleToolButton->SetSkinDataName(u"toolmenubutton");
    StyleToolButton->Glyph()->LoadFromResourceName(HInstance, u"BS_LVSTYLE");
    StyleToolButton->SetNumGlyphs(1);
    StyleToolButton->SetSkinPopupMenu(StylePopupMenu);
    StyleToolButton->SetHint(Text(u"MSG_BTN_VIEWMENU_HINT", u"View Menu"));
    StyleToolButton->SetShowHint(true);
    StyleToolButton->SetFlat(AToolButtonsTransparent);

    ShellBox = new TbsSkinShellComboBox(this);
    ShellBox->SetParent(ToolPanel);
    ShellBox->SetAlign(alClient);
    ShellBox->SetLeft(0);
    ShellBox->SetWidth(190);
    ShellBox->SetDropDownCount(10);

    BottomPanel = new TbsSkinPanel(this);
    BottomPanel->SetParent(this);
    BottomPanel->SetAlign(alBottom);
    BottomPanel->SetBorderStyle(TbsSkinBorderStyle::bvNone);
    BottomPanel->SetHeight(80);

    FileListViewPanel = new TbsSkinPanel(this);
    FileListViewPanel->SetParent(this);
    FileListViewPanel->SetAlign(alClient);
    FileListViewPanel->SetBorderStyle(TbsSkinBorderStyle::bvFrame);

    FLVHScrollBar = new TbsSkinScrollBar(this);
    FLVHScrollBar->SetParent(FileListViewPanel);
    FLVHScrollBar->SetAlign(alBottom);
    FLVHScrollBar->SetBothMarkerWidth(19);
    FLVHScrollBar->SetDefaultHeight(19);
    FLVHScrollBar->SetEnabled(false);
    FLVHScrollBar->SetSkinDataName(u"hscrollbar");

    FLVVScrollBar = new TbsSkinScrollBar(this);
    FLVVScrollBar->SetKind(sbVertical);
    FLVVScrollBar->SetParent(FileListViewPanel);
    FLVVScrollBar->SetAlign(alRight);
    FLVVScrollBar->SetDefaultWidth(19);
    FLVVScrollBar->SetEnabled(false);
    FLVVScrollBar->SetSkinDataName(u"vscrollbar");

    FileListView = new TbsSkinFileListView(this);
    FileListView->SetParent(FileListViewPanel);
    FileListView->SetAlign(alClient);
    FileListView->SetViewStyle(vsList);
    FileListView->SetShowColumnHeaders(true);
    FileListView->SetHScrollBar(FLVHScrollBar);
    FileListView->SetVScrollBar(FLVVScrollBar);
    FileListView->SetHideSelection(false);
    FileListView->SetShellComboBox(ShellBox);
    ShellBox->SetShellListView(FileListView);
    FileListView->OnChange = [this](TObject* S, TListItem* I, TItemChange C) { FLVChange(S, I, C); };
    FileListView->OnPathChanged = [this](TObject* S) { FLVPathChange(S); };
    FileListView->OnDblClick = [this](TObject* S) { FLVDBLClick(S); };
    FileListView->OnKeyPress = [this](TObject* S, Char& K) { FLVKeyPress(S, K); };

    const int W = ClientWidth();
    FileNameEdit = new TbsSkinEdit(this);
    FileNameEdit->SetParent(BottomPanel);
    FileNameEdit->SetBounds(70, 10, W - 160, FileNameEdit->Height());
    FileNameEdit->SetDefaultHeight(21);
    FileNameEdit->SetAnchors({akLeft, akTop, akRight});
    FileNameEdit->OnKeyPress = [this](TObject* S, Char& K) { EditKeyPress(S, K); };

    FilterComboBox = new TbsSkinFilterComboBox(this);
    FilterComboBox->SetParent(BottomPanel);
    FilterComboBox->SetBounds(70, 45, W - 160, FilterComboBox->Height());
    FilterComboBox->SetDefaultHeight(21);
    FilterComboBox->SetAnchors({akLeft, akTop, akRight});
    FilterComboBox->OnChange = [this](TObject* S) { FCBChange(S); };

    OpenButton = new TbsSkinButton(this);
    OpenButton->SetParent(BottomPanel);
    OpenButton->SetBounds(W - 80, 10, 70, 25);
    OpenButton->SetDefaultHeight(25);
    OpenButton->SetTabStop(true);
    OpenButton->SetAnchors({akTop, akRight});
    OpenButton->SetCaption(SaveMode ? Text(u"MSG_BTN_SAVE", u"&Save") : Text(u"MSG_BTN_OPEN", u"&Open"));
    OpenButton->OnClick = [this](TObject* S) { OpenButtonClick(S); };

    CancelButton = new TbsSkinButton(this);
    CancelButton->SetParent(BottomPanel);
    CancelButton->SetBounds(W - 80, 45, 70, 25);
    CancelButton->SetDefaultHeight(25);
    CancelButton->SetTabStop(true);
    CancelButton->SetModalResult(mrCancel);
    CancelButton->SetCancel(true);
    CancelButton->SetAnchors({akTop, akRight});
    CancelButton->SetCaption(Text(u"MSG_BTN_CANCEL", u"Cancel"));

    OpenFileLabel = new TbsSkinStdLabel(this);
    OpenFileLabel->SetParent(BottomPanel);
    OpenFileLabel->SetLeft(10);
    OpenFileLabel->SetTop(10);
    OpenFileLabel->SetAutoSize(true);
    OpenFileLabel->SetCaption(Text(u"MSG_FILENAME", u"File name:"));

    FileTypeLabel = new TbsSkinStdLabel(this);
    FileTypeLabel->SetParent(BottomPanel);
    FileTypeLabel->SetLeft(10);
    FileTypeLabel->SetTop(45);
    FileTypeLabel->SetAutoSize(true);
    FileTypeLabel->SetCaption(Text(u"MSG_FILETYPE", u"File type:"));

    SetActiveControl(FileNameEdit);
}

TbsOpenDlgForm::~TbsOpenDlgForm() {
    for (LPITEMIDLIST Id : FolderHistory)
        FreeItemList(Id);
}

String TbsOpenDlgForm::Text(const char16_t* Key, const char16_t* BuiltIn) const {
    if (CtrlSD && CtrlSD->ResourceStrData())
        return CtrlSD->ResourceStrData()->GetResStr(Key);
    return BuiltIn;
}

String TbsOpenDlgForm::GetFilterExt() {
    const String Mask = FilterComboBox->Mask();
    if (Contains(Mask, u".*"))
        return {};
    const std::size_t Semicolon = Mask.find(u';');
    return ExtOf(Semicolon == String::npos ? Mask : Mask.substr(0, Semicolon));
}

String TbsOpenDlgForm::GetDefaultExt() {
    return DefaultExt.empty() ? GetFilterExt() : u"." + DefaultExt;
}

String TbsOpenDlgForm::FolderPrefix() const {
    String P = FileListView->Path();
    if (P.empty() || P.back() != u'/')
        P += u'/';
    return P;
}

bool TbsOpenDlgForm::ConfirmOverwrite() {
    auto Message = std::make_unique<TbsSkinMessage>(this);
    Message->SetSkinData(BSF->SkinData());
    Message->SetCtrlSkinData(CtrlSD);
    return Message->MessageDlg(Text(u"MSG_OVERWRITE", u"Do you want to overwrite old file?"), mtWarning,
                               {mbOK, mbCancel}, 0) == mrOk;
}

void TbsOpenDlgForm::OpenButtonClick(TObject*) {
    const String Sel = FileListView->GetSelectedFile();
    const String Typed = FileNameEdit->Text();
    String Full;
    if (!SaveMode && CheckFileExists && Sel.empty() && !Typed.empty()) {
        Full = FolderPrefix() + Typed;
        if (ExtOf(Full).empty())
            Full += GetDefaultExt();
        if (!FileExists(Full))
            return;
    }
    if (Typed.empty())
        return;
    if (SaveMode) {
        if (Contains(Typed, u"*"))
            return;
        const String Name = FolderPrefix() + Typed;
        Full = ExtOf(Name).empty() ? Name + GetDefaultExt() : Name;
        if (OverwritePromt && FileExists(Full) && !ConfirmOverwrite())
            return;
        FileName = Name;
        SetModalResult(mrOk);
        return;
    }
    if (CheckFileExists) {
        FileName = Sel.empty() ? Full : Sel;
        if (FileExists(FileName))
            SetModalResult(mrOk);
        else
            FileName.clear();
        return;
    }
    if (!Sel.empty())
        FileName = Sel;
    else {
        FileName = FolderPrefix() + Typed;
        if (ExtOf(FileName).empty())
            FileName += GetDefaultExt();
    }
    SetModalResult(mrOk);
}

void TbsOpenDlgForm::FLVDBLClick(TObject*) {
    const String Sel = FileListView->GetSelectedFile();
    if (Sel.empty())
        return;
    if (SaveMode && OverwritePromt && !ConfirmOverwrite())
        return;
    FileName = Sel;
    SetModalResult(mrOk);
}

void TbsOpenDlgForm::FLVKeyPress(TObject*, Char& Key) {
    if (Key == u'\r' && !FileListView->GetSelectedFile().empty())
        OpenButtonClick(this);
}

void TbsOpenDlgForm::EditKeyPress(TObject*, Char& Key) {
    if (Key != u'\r')
        return;
    const String Typed = FileNameEdit->Text();
    if (Contains(Typed, u"*"))
        FileListView->SetMask(ListMask(Typed));
    else if (Contains(Typed, u"/")) {
        if (DirectoryExists(Typed))
            FileListView->SetPath(Typed);
    } else
        OpenButtonClick(this);
}

void TbsOpenDlgForm::FLVChange(TObject*, TListItem*, TItemChange) {
    if (TbsShellFolder* F = FileListView->SelectedFolder(); F && !F->IsFolder())
        FileNameEdit->SetText(ExtractFileName(F->PathName()));
    if (OnFolderChange)
        OnFolderChange(this);
}

void TbsOpenDlgForm::FocusFirstItem() {
    if (FileListView->Items()->Count() > 0)
        FileListView->SetItemFocused(FileListView->Items()->Item(0));
}

void TbsOpenDlgForm::InitHistory() {
    TbsShellFolder* Root = FileListView->RootFolder();
    if (!Root)
        return;
    if (FolderHistory.empty() || !ItemListsEqual(FolderHistory.back(), Root->AbsoluteID()))
        FolderHistory.push_back(CopyItemList(Root->AbsoluteID()));
}

void TbsOpenDlgForm::FLVPathChange(TObject*) {
    if (!StopAddToHistory)
        InitHistory();
    FocusFirstItem();
    if (OnFolderChange)
        OnFolderChange(this);
}

void TbsOpenDlgForm::BackToolButtonClick(TObject*) {
    if (FolderHistory.size() < 2)
        return;
    StopAddToHistory = true;
    LPITEMIDLIST Previous = FolderHistory[FolderHistory.size() - 2];
    TbsShellFolder* Root = FileListView->RootFolder();
    if (!Root || !ItemListsEqual(Root->AbsoluteID(), Previous))
        FileListView->SetPathFromID(Previous);
    FolderHistory.erase(FolderHistory.end() - 2);
    FreeItemList(Previous);
    StopAddToHistory = false;
}

void TbsOpenDlgForm::UpToolButtonClick(TObject*) {
    FileListView->Back();
}

void TbsOpenDlgForm::CheckStyleItem(TMenuItem* Item) {
    for (TMenuItem* I : {IconMenuItem, SmallIconMenuItem, ListMenuItem, ReportMenuItem})
        I->SetChecked(I == Item);
}

void TbsOpenDlgForm::IconItemClick(TObject*) {
    CheckStyleItem(IconMenuItem);
    FileListView->SetViewStyle(vsIcon);
}
void TbsOpenDlgForm::SmallIconItemClick(TObject*) {
    CheckStyleItem(SmallIconMenuItem);
    FileListView->SetViewStyle(vsSmallIcon);
}
void TbsOpenDlgForm::ListItemClick(TObject*) {
    CheckStyleItem(ListMenuItem);
    FileListView->SetViewStyle(vsList);
}
void TbsOpenDlgForm::ReportItemClick(TObject*) {
    CheckStyleItem(ReportMenuItem);
    FileListView->SetViewStyle(vsReport);
    if (FileListView->MultiSelect())
        FileListView->CreateColumns();
}

void TbsOpenDlgForm::FCBChange(TObject*) {
    FileListView->SetMask(ListMask(FilterComboBox->Mask()));
    if (!SaveMode)
        return;
    const String Ext = GetFilterExt(), Typed = FileNameEdit->Text();
    if (!Ext.empty() && !Typed.empty())
        FileNameEdit->SetText(WithExt(Typed, Ext));
}

void TbsOpenDlgForm::NewFolderToolButtonClick(TObject*) {
    const String Path = FileListView->Path();
    if (!Contains(Path, u"/"))
        return;
    ++NewFolderCount;
    String Name = Text(u"MSG_NEWFOLDER", u"New Folder");
    if (NewFolderCount > 1)
        Name += u"(" + IntToStr(NewFolderCount) + u")";
    const String Target = FolderPrefix() + Name;
    if (DirectoryExists(Target))
        return;
    if (!CreateDir(Target))
        throw EInOutError(Format(u"Unable to create directory \"%s\"", {Target}));
    FileListView->Refresh();
    Application->ProcessMessages();
    for (int I = 0; I < FileListView->FolderCount(); ++I)
        if (FileListView->GetFolder(I)->DisplayName() == Name) {
            FileListView->Items()->Item(I)->EditCaption();
            break;
        }
}

TbsSkinOpenDialog::TbsSkinOpenDialog(TComponent* AOwner) : TbsSkinCustomOpenDialog(AOwner) {
    Title = u"Open file";
    Filter = u"All files|*.*";
}

void TbsSkinOpenDialog::SetFileName(const String& Value) {
    FFileName = Value;
    if (FDlgFrm)
        FDlgFrm->FileNameEdit->SetText(Value);
}

String TbsSkinOpenDialog::GetSelectedFile() const {
    return FDlgFrm ? FDlgFrm->FileListView->GetSelectedFile() : String();
}

TbsOpenDlgForm* TbsSkinOpenDialog::CreateForm() {
    return new TbsOpenDlgForm(Application, false, FCtrlFSD, ToolButtonsTransparent);
}

void TbsSkinOpenDialog::PrepareForm(TbsOpenDlgForm* Form) {
    Form->OverwritePromt = OverwritePromt;
    Form->OnFolderChange = OnFolderChange;
    Form->CheckFileExists = CheckFileExists;
    Form->DefaultExt = DefaultExt;
    SetUpForm(Form);
    SetUpFilter(Form);
    SkinControls(Form);
    SizeForm(Form, 450, 290);
    FocusFirstItem(Form);
    Form->FileNameEdit->SetText(ExtractFileName(FFileName));
    Form->InitHistory();
}
