// The main window's components and controls, built in code with the places, captions, hints and pictures of
// its layout. Where a skinned kind of control is still missing, the class library's plain control of the same
// kind stands at its place under the same name, marked where it is built.
#include "app/Unit1.h"

#include "app/ControlBuilders.h"
#include "app/profiles/ProfileCatalogue.h"
#include "resources/AppPictures.h"
#include "resources/StoredSkins.h"

namespace {

void LoadPng(const TAppImage& Image, TbsPngImage& Png) {
    TMemoryStream S;
    S.WriteBuffer(Image.Data, std::int64_t(Image.Size));
    S.SetPosition(0);
    Png.LoadFromStream(&S);
}

void LoadStoredSkin(int Index, TbsCompressedStoredSkin* Skin) {
    TMemoryStream Bytes;
    Bytes.WriteBuffer(StoredSkin(Index).Data, std::int64_t(StoredSkin(Index).Size));
    Bytes.SetPosition(0);
    Skin->LoadFromCompressStream(&Bytes);
}

TComboBox* NewComboBox(TComponent* Owner, TWinControl* Parent, const String& Name, int L, int T, int W) {
    auto* Box = new TComboBox(Owner);
    Box->SetName(Name);
    Box->SetStyle(csDropDownList);
    Box->SetBounds(L, T, W, 20);
    Box->SetParent(Parent);
    return Box;
}

// An office combo box as the catalogue shows it: image, title and text in tool-button style, four rows dropped
// down under a 20-pixel header, "宋体" at 12 pixels.
TbsSkinOfficeComboBox* NewOfficeComboBox(TComponent* Owner, TWinControl* Parent, TbsSkinData* Skin, const String& Name,
                                         int Left, int Width) {
    auto* Box = new TbsSkinOfficeComboBox(Owner);
    Box->SetName(Name);
    Box->SetSkinData(Skin);
    Box->SetSkinDataName(u"combobox");
    Box->SetShowItemTitle(true);
    Box->SetShowItemImage(true);
    Box->SetShowItemText(true);
    Box->SetToolButtonStyle(true);
    Box->SetListBoxHeaderHeight(20);
    Box->SetDropDownCount(4);
    Box->SetAlphaBlend(false);
    Box->DefaultFont()->SetName(u"宋体");
    Box->DefaultFont()->SetHeight(-12);
    Box->ListBoxDefaultFont()->SetName(u"宋体");
    Box->ListBoxDefaultFont()->SetHeight(-12);
    Box->SetBounds(Left, 23, Width, 51);
    Box->SetParent(Parent);
    return Box;
}

TMenuItem* NewItem(TComponent* Owner, TMenuItem* Parent, const String& Name, const String& Caption,
                   TNotifyEvent Click = {}, bool Enabled = true) {
    auto* Item = new TMenuItem(Owner);
    if (!Name.empty())
        Item->SetName(Name);
    Item->SetCaption(Caption);
    Item->SetEnabled(Enabled);
    Item->OnClick = std::move(Click);
    Parent->Add(Item);
    return Item;
}

void NewLine(TComponent* Owner, TMenuItem* Parent) {
    NewItem(Owner, Parent, u"", cLineCaption);
}

} // namespace

void TForm1::CreateSkins() {
    bsCompressedSkinList1 = new TbsCompressedSkinList(this);
    bsCompressedSkinList1->SetName(u"bsCompressedSkinList1");
    for (int I = 0; I < MainWindowSkinCount; ++I) {
        auto* Item = static_cast<TbsSkinListItem*>(bsCompressedSkinList1->Skins()->Add());
        Item->SetName(StoredSkin(I).Name);
        LoadStoredSkin(I, Item->Skin());
    }
    bsSkinData1 = new TbsSkinData(this);
    bsSkinData1->SetName(u"bsSkinData1");
    bsSkinData1->SetSkinIndex(1);
    bsSkinData1->SetSkinList(bsCompressedSkinList1);
    bsSelectSkinDialog1 = new TbsSelectSkinDialog(this);
    bsSelectSkinDialog1->SetName(u"bsSelectSkinDialog1");
    bsSelectSkinDialog1->SetSkinList(bsCompressedSkinList1);
    bsSelectSkinDialog1->SetSkinData(bsSkinData1);
    bsSelectSkinDialog1->SetCtrlSkinData(bsSkinData1);
    bsSelectSkinDialog1->Title = u"Select skin";
    bsSkinSelectDirectoryDialog2 = new TbsSkinSelectDirectoryDialog(this);
    bsSkinSelectDirectoryDialog2->SetName(u"bsSkinSelectDirectoryDialog2");
    bsSkinSelectDirectoryDialog2->SetTitle(u"选择输出目录");
    bsSkinSelectDirectoryDialog2->SetSkinData(bsSkinData1);
    bsSkinSelectDirectoryDialog2->SetCtrlSkinData(bsSkinData1);
    for (TbsSkinOpenDialog** Dialog : {&OpenDialog1, &OpenDialog2}) {
        *Dialog = new TbsSkinOpenDialog(this);
        (*Dialog)->Title = u"打开文件";
        (*Dialog)->SetSkinData(bsSkinData1);
        (*Dialog)->SetCtrlSkinData(bsSkinData1);
    }
    OpenDialog1->SetName(u"OpenDialog1");
    OpenDialog2->SetName(u"OpenDialog2");
    OpenDialog2->MultiSelection = true;
    bsSkinSelectDirectoryDialog1 = new TbsSkinSelectDirectoryDialog(this);
    bsSkinSelectDirectoryDialog1->SetName(u"bsSkinSelectDirectoryDialog1");
    bsSkinSelectDirectoryDialog1->SetTitle(u"选择目录");
    bsSkinSelectDirectoryDialog1->SetSkinData(bsSkinData1);
    bsSkinSelectDirectoryDialog1->SetCtrlSkinData(bsSkinData1);
    bsSkinMessage1 = new TbsSkinMessage(this);
    bsSkinMessage1->SetName(u"bsSkinMessage1");
    bsSkinMessage1->SetSkinData(bsSkinData1);
    bsSkinMessage1->SetCtrlSkinData(bsSkinData1);

    bsCompressedStoredSkin1 = new TbsCompressedStoredSkin(this);
    bsCompressedStoredSkin1->SetName(u"bsCompressedStoredSkin1");
    LoadStoredSkin(CatalogueSkinIndex, bsCompressedStoredSkin1);
    bsSkinData2 = new TbsSkinData(this);
    bsSkinData2->SetName(u"bsSkinData2");
    bsSkinData2->SetCompressedStoredSkin(bsCompressedStoredSkin1);
}

void TForm1::CreateImageLists() {
    auto Fill = [this](const String& Name, TAppImageList Source, int Size) {
        auto* List = new TbsPngImageList(this);
        List->SetName(Name);
        List->SetPngWidth(Size);
        List->SetPngHeight(Size);
        for (int I = 0; I < AppImageCount(Source); ++I) {
            TbsPngImage Png;
            LoadPng(AppImage(Source, I), Png);
            static_cast<TbsPngImageItem*>(List->PngImages()->Add())->SetPngImage(&Png);
        }
        return List;
    };
    bsPngImageList1 = Fill(u"bsPngImageList1", ailToolbar, 40);
    bsPngImageList3 = Fill(u"bsPngImageList3", ailPanel, 16);
    bsPngImageList4 = Fill(u"bsPngImageList4", ailCategory, 48);
    bsPngImageList5 = Fill(u"bsPngImageList5", ailProfile, 32);
}

void TForm1::CreateEngine() {
    // The logger first: the engine's components report through the one logger there is.
    FFLogger = new TFFLogger(this);
    FFLogger->SetName(u"FFLogger");
    FFLogger->OnLog = [this](TObject* S, Cardinal Id, TLogLevel Level, const String& Msg) {
        FFLoggerLog(S, Id, Level, Msg);
    };
    FFConv = new TFFConverter(this);
    FFConv->SetName(u"FFConv");
    RUDezari = new TRUDezari(this);
    RUDezari->SetName(u"RUDezari");
}

void TForm1::CreateMenus() {
    bsSkinMainMenu1 = new TbsSkinMainMenu(this);
    bsSkinMainMenu1->SetName(u"bsSkinMainMenu1");
    TMenuItem* Root = bsSkinMainMenu1->Items();
    auto Do = [this](void (TForm1::*Handler)(TObject*)) {
        return [this, Handler](TObject* S) { (this->*Handler)(S); };
    };

    TMenuItem* File = NewItem(this, Root, u"N1", u"文件");
    Item111 = NewItem(this, File, u"Item111", u"添加一个文件", Do(&TForm1::btnAddClick));
    Item121 = NewItem(this, File, u"Item121", u"添加多个文件", Do(&TForm1::Button8Click));
    N21 = NewItem(this, File, u"N21", u"添加整个目录", Do(&TForm1::N21Click));
    NewLine(this, File);
    N4 = NewItem(this, File, u"N4", u"退出", Do(&TForm1::N4Click));

    TMenuItem* Edit = NewItem(this, Root, u"N2", u"编辑");
    N111 = NewItem(this, Edit, u"N111", u"上移文件", Do(&TForm1::bsSkinButton3Click));
    N2221 = NewItem(this, Edit, u"N2221", u"下移文件", Do(&TForm1::bsSkinButton4Click));
    NewLine(this, Edit);
    N13 = NewItem(this, Edit, u"N13", u"删除选择", Do(&TForm1::bsSkinButton7Click), false);
    N14 = NewItem(this, Edit, u"N14", u"清空文件", Do(&TForm1::bsSkinButton8Click), false);
    NewLine(this, Edit);
    N26 = NewItem(this, Edit, u"N26", u"重新命名", Do(&TForm1::N26Click), false);

    TMenuItem* Action = NewItem(this, Root, u"N6", u"动作");
    N7 = NewItem(this, Action, u"N7", u"开始转换", Do(&TForm1::bsSkinButton2Click), false);
    N8 = NewItem(this, Action, u"N8", u"停止转换", Do(&TForm1::bsSkinButton10Click), false);
    NewLine(this, Action);
    N10 = NewItem(this, Action, u"N10", u"暂停转换", Do(&TForm1::bsSkinButton11Click), false);
    N11 = NewItem(this, Action, u"N11", u"继续继续", Do(&TForm1::bsSkinButton12Click), false);

    TMenuItem* Tools = NewItem(this, Root, u"N22", u"功能");
    N24 = NewItem(this, Tools, u"N24", u"转换设置", Do(&TForm1::N24Click));
    N23 = NewItem(this, Tools, u"N23", u"软件皮肤", Do(&TForm1::N23Click));

    TMenuItem* Help = NewItem(this, Root, u"N12", u"帮助");
    N15 = NewItem(this, Help, u"N15", u"帮助系统", Do(&TForm1::N15Click));
    N15->SetShortCut(ShortCut(VK_F1, {}));
    NewLine(this, Help);
    N19 = NewItem(this, Help, u"N19", u"官方网站", Do(&TForm1::N19Click));
    N5 = NewItem(this, Help, u"N5", u"关于软件", Do(&TForm1::N5Click));
    SetMenu(bsSkinMainMenu1);

    bsSkinPopupMenu1 = new TPopupMenu(this);
    bsSkinPopupMenu1->SetName(u"bsSkinPopupMenu1");
    N11111 = NewItem(this, bsSkinPopupMenu1->Items(), u"N11111", u"添加一个文件", Do(&TForm1::btnAddClick));
    N2222 = NewItem(this, bsSkinPopupMenu1->Items(), u"N2222", u"添加多个文件", Do(&TForm1::N2222Click));
    N3331 = NewItem(this, bsSkinPopupMenu1->Items(), u"N3331", u"添加整个目录", Do(&TForm1::N3331Click));

    // The snapshot commands are built with the snapshots; the menu holds their items already.
    bsSkinPopupMenu2 = new TPopupMenu(this);
    bsSkinPopupMenu2->SetName(u"bsSkinPopupMenu2");
    MenuItem1 = NewItem(this, bsSkinPopupMenu2->Items(), u"MenuItem1", u"打开快照目录");
    MenuItem2 = NewItem(this, bsSkinPopupMenu2->Items(), u"MenuItem2", u"设置快照目录");
    NewLine(this, bsSkinPopupMenu2->Items());
    N27 = NewItem(this, bsSkinPopupMenu2->Items(), u"N27", u"快照保存类型");
    BMP1 = NewItem(this, N27, u"BMP1", u"BMP文件");
    JPG1 = NewItem(this, N27, u"JPG1", u"JPG文件");
    GIF1 = NewItem(this, N27, u"GIF1", u"GIF文件");
    PNG1 = NewItem(this, N27, u"PNG1", u"PNG文件");
    for (TMenuItem* Item : {BMP1, JPG1, GIF1, PNG1})
        Item->SetRadioItem(true);
    BMP1->SetChecked(true);
}

void TForm1::CreateMenuBar() {
    // The skinned bar shows the main menu's items across the top; the form component answers its keys.
    bsSkinMainMenuBar1 = new TbsSkinMainMenuBar(this);
    bsSkinMainMenuBar1->SetName(u"bsSkinMainMenuBar1");
    bsSkinMainMenuBar1->SetSkinData(bsSkinData1);
    bsSkinMainMenuBar1->SetSkinForm(bsSkinForm1);
    bsSkinMainMenuBar1->SetMainMenu(bsSkinMainMenu1);
    bsSkinMainMenuBar1->SetBounds(0, 0, 839, 22);
    bsSkinMainMenuBar1->SetParent(this);
    bsSkinForm1->SetMainMenuBar(bsSkinMainMenuBar1);
}

void TForm1::CreateToolBar() {
    bsSkinToolBar2 = new TbsSkinToolBar(this);
    bsSkinToolBar2->SetName(u"bsSkinToolBar2");
    bsSkinToolBar2->SetSkinData(bsSkinData1);
    // The buttons keep their own places instead of being centred in the bar.
    bsSkinToolBar2->SetAdjustControls(false);
    bsSkinToolBar2->SetBounds(0, 22, 839, 79);
    bsSkinToolBar2->SetAlign(alTop);
    bsSkinToolBar2->SetParent(this);
    bsSkinMenuSpeedButton1 = new TbsSkinMenuSpeedButton(this);
    bsSkinMenuSpeedButton1->SetName(u"bsSkinMenuSpeedButton1");
    bsSkinMenuSpeedButton1->SetSkinData(bsSkinData1);
    bsSkinMenuSpeedButton1->SetCaption(u"添加");
    bsSkinMenuSpeedButton1->SetBounds(9, 8, 86, 62);
    bsSkinMenuSpeedButton1->SetImageList(bsPngImageList1);
    bsSkinMenuSpeedButton1->SetImageIndex(ToolbarImages::Add);
    bsSkinMenuSpeedButton1->SetSkinPopupMenu(bsSkinPopupMenu1);
    bsSkinMenuSpeedButton1->SetParent(bsSkinToolBar2);
    auto On = [this](void (TForm1::*Handler)(TObject*)) {
        return [this, Handler](TObject* S) { (this->*Handler)(S); };
    };
    bsSkinButton2 = NewSkinButton(bsSkinToolBar2, u"bsSkinButton2", u"开始", 117, 8, 74, 62, bsPngImageList1, 3);
    bsSkinButton2->OnClick = On(&TForm1::bsSkinButton2Click);
    bsSkinButton10 = NewSkinButton(bsSkinToolBar2, u"bsSkinButton10", u"停止", 197, 8, 78, 62, bsPngImageList1, 4);
    bsSkinButton10->OnClick = On(&TForm1::bsSkinButton10Click);
    bsSkinButton11 = NewSkinButton(bsSkinToolBar2, u"bsSkinButton11", u"暂停", 281, 8, 74, 62, bsPngImageList1, 5);
    bsSkinButton11->OnClick = On(&TForm1::bsSkinButton11Click);
    bsSkinButton12 = NewSkinButton(bsSkinToolBar2, u"bsSkinButton12", u"继续", 281, 9, 74, 60, bsPngImageList1, 6);
    bsSkinButton12->OnClick = On(&TForm1::bsSkinButton12Click);
    bsSkinButton12->SetVisible(false);
    bsSkinButton19 = NewSkinButton(bsSkinToolBar2, u"bsSkinButton19", u"选项", 377, 8, 74, 62, bsPngImageList1, 7);
    bsSkinButton19->OnClick = On(&TForm1::bsSkinButton19Click);
}

void TForm1::CreateJobPanel() {
    auto On = [this](void (TForm1::*Handler)(TObject*)) {
        return [this, Handler](TObject* S) { (this->*Handler)(S); };
    };
    bsSkinPanel1 = NewSkinPanel(this, this, bsSkinData1, u"bsSkinPanel1", 274, 107, 552, 236);
    bsSkinPanel1->OnClick = On(&TForm1::bsSkinPanel1Click);
    lvFiles = new TbsSkinListView(this);
    lvFiles->SetName(u"lvFiles");
    lvFiles->SetSkinData(bsSkinData1);
    lvFiles->SetBounds(7, 10, 515, 155);
    lvFiles->SetViewStyle(vsReport);
    lvFiles->SetGridLines(true);
    lvFiles->SetRowSelect(true);
    lvFiles->SetMultiSelect(false);
    lvFiles->SetReadOnly(true);
    lvFiles->SetHideSelection(false);
    for (const TJobColumnSpec& Spec : JobColumns) {
        TListColumn* Column = lvFiles->AddColumn();
        Column->SetCaption(Spec.Caption);
        Column->SetWidth(Spec.Width);
        if (Spec.Width == 0)
            Column->SetMaxWidth(1);
    }
    lvFiles->OnSelectItem = [this](TObject* S, TListItem* Item, bool Selected) {
        lvFilesSelectItem(S, Item, Selected);
    };
    lvFiles->OnClick = On(&TForm1::lvFilesClick);
    lvFiles->OnDblClick = On(&TForm1::lvFilesDblClick);
    lvFiles->SetParent(bsSkinPanel1);
    // The list scrolls with two skinned bars beside and under it.
    bsSkinScrollBar1 = new TbsSkinScrollBar(this);
    bsSkinScrollBar1->SetName(u"bsSkinScrollBar1");
    bsSkinScrollBar1->SetSkinData(bsSkinData1);
    bsSkinScrollBar1->SetKind(sbVertical);
    bsSkinScrollBar1->SetBounds(522, 10, 19, 155);
    bsSkinScrollBar1->SetParent(bsSkinPanel1);
    bsSkinScrollBar2 = new TbsSkinScrollBar(this);
    bsSkinScrollBar2->SetName(u"bsSkinScrollBar2");
    bsSkinScrollBar2->SetSkinData(bsSkinData1);
    bsSkinScrollBar2->SetBounds(7, 165, 515, 19);
    bsSkinScrollBar2->SetParent(bsSkinPanel1);
    lvFiles->SetVScrollBar(bsSkinScrollBar1);
    lvFiles->SetHScrollBar(bsSkinScrollBar2);

    struct TButtonSpec {
        TbsSkinButton* TForm1::*Field;
        const char16_t* Name;
        const char16_t* Caption;
        int Left, Picture;
        bool CaptionAsHint;
        void (TForm1::*Click)(TObject*);
    };
    const TButtonSpec Buttons[] = {
        {&TForm1::bsSkinButton7, u"bsSkinButton7", u"删除", 35, 8, false, &TForm1::bsSkinButton7Click},
        {&TForm1::bsSkinButton8, u"bsSkinButton8", u"清空", 121, 10, false, &TForm1::bsSkinButton8Click},
        {&TForm1::bsSkinButton4, u"bsSkinButton4", u"下移", 212, 5, true, &TForm1::bsSkinButton4Click},
        {&TForm1::bsSkinButton3, u"bsSkinButton3", u"上移", 301, 4, true, &TForm1::bsSkinButton3Click},
        {&TForm1::bsSkinButton21, u"bsSkinButton21", u"重命名", 387, 6, true, &TForm1::bsSkinButton21Click},
    };
    for (const TButtonSpec& B : Buttons) {
        TbsSkinButton* Button =
            NewSkinButton(bsSkinPanel1, B.Name, B.Caption, B.Left, 196, 76, 31, bsPngImageList3, B.Picture);
        if (B.CaptionAsHint) {
            Button->SetHint(B.Caption);
            Button->SetShowHint(true);
        }
        Button->OnClick = On(B.Click);
        this->*B.Field = Button;
    }
}

void TForm1::CreatePreviewPanel() {
    // A skinned panel in caption mode; the stored skins' panel record has no caption band, so it draws from
    // their group-box record.
    bsSkinPanel3 = NewGroupBox(this, this, bsSkinData1, u"bsSkinPanel3", u"视频预览", 8, 107, 259, 238);
    bsSkinSlider1 = new TbsSkinSlider(this);
    bsSkinSlider1->SetName(u"bsSkinSlider1");
    bsSkinSlider1->SetSkinData(bsSkinData1);
    bsSkinSlider1->SetOptions({soShowFocus, soSmooth});
    bsSkinSlider1->SetBounds(9, 170, 241, 26);
    bsSkinSlider1->OnChange = [this](TObject* S) { bsSkinSlider1Change(S); };
    bsSkinSlider1->SetParent(bsSkinPanel3);
    struct TButtonSpec {
        TbsSkinButton* TForm1::*Field;
        const char16_t* Name;
        const char16_t* Hint;
        int Left, Picture;
    };
    // The row under the seek slider.
    const TButtonSpec Buttons[] = {
        {&TForm1::bsSkinButton13, u"bsSkinButton13", u"播放", 9, PanelImages::Play},
        {&TForm1::bsSkinButton14, u"bsSkinButton14", u"暂停", 43, PanelImages::Pause},
        {&TForm1::bsSkinButton15, u"bsSkinButton15", u"停止", 77, PanelImages::Stop},
        {&TForm1::bsSkinButton16, u"bsSkinButton16", u"静音", 111, PanelImages::Mute},
        {&TForm1::bsSkinButton20, u"bsSkinButton20", u"静音", 111, PanelImages::Unmute},
        {&TForm1::bsSkinButton22, u"bsSkinButton22", u"快照", 182, PanelImages::Snapshot},
        {&TForm1::bsSkinButton23, u"bsSkinButton23", u"设置", 216, PanelImages::Settings},
    };
    for (const TButtonSpec& B : Buttons) {
        TbsSkinButton* Button =
            NewSkinButton(bsSkinPanel3, B.Name, u"", B.Left, 200, 30, 28, bsPngImageList3, B.Picture);
        Button->SetHint(B.Hint);
        Button->SetShowHint(true);
        this->*B.Field = Button;
    }
    bsSkinButton20->SetVisible(false);
}

void TForm1::CreatePages() {
    bsSkinPageControl1 = NewPageControl(this, this, bsSkinData1, u"bsSkinPageControl1", 8, 349, 823, 166);
    bsSkinTabSheet1 = NewTabSheet(this, bsSkinPageControl1, u"bsSkinTabSheet1", u"常规设置");
    bsSkinTabSheet2 = NewTabSheet(this, bsSkinPageControl1, u"bsSkinTabSheet2", u"音视频高级设置");

    // The catalogue combo boxes draw from the second skin data, which the skin chooser never changes.
    NewLabel(this, bsSkinTabSheet1, bsSkinData1, u"输出格式：", 40, 27);
    bsSkinOfficeComboBox2 = NewOfficeComboBox(this, bsSkinTabSheet1, bsSkinData2, u"bsSkinOfficeComboBox2", 131, 140);
    bsSkinOfficeComboBox2->SetImages(bsPngImageList4);
    bsSkinOfficeComboBox2->SetListBoxWidth(140);
    bsSkinOfficeComboBox2->SetListBoxItemHeight(50);
    bsSkinOfficeComboBox2->SetListBoxShowItemTitles(false);
    bsSkinOfficeComboBox2->SetListBoxShowLines(false);
    bsSkinOfficeComboBox2->SetListBoxSkinDataName(u"resizetoolpanel");
    bsSkinOfficeComboBox2->SetUseSkinFont(false);
    bsSkinOfficeComboBox2->SetListBoxUseSkinFont(false);
    for (const TProfileCategory& Category : ProfileCategories()) {
        TbsSkinOfficeItem* Item = bsSkinOfficeComboBox2->Items()->Add();
        Item->SetCaption(String(Category.Caption));
        Item->SetImageIndex(Category.ProfileGroup);
    }
    bsSkinOfficeComboBox2->SetItemIndex(0); // no handler yet: the start-up fills the profiles
    bsSkinOfficeComboBox2->OnChange = [this](TObject* S) { bsSkinOfficeComboBox2Change(S); };
    bsSkinOfficeComboBox1 = NewOfficeComboBox(this, bsSkinTabSheet1, bsSkinData2, u"bsSkinOfficeComboBox1", 277, 456);
    bsSkinOfficeComboBox1->SetImages(bsPngImageList5);
    bsSkinOfficeComboBox1->SetListBoxItemHeight(60);
    bsSkinOfficeComboBox1->SetListBoxShowItemTitles(true);
    bsSkinOfficeComboBox1->SetListBoxShowLines(true);
    bsSkinOfficeComboBox1->SetListBoxSkinDataName(u"listbox");
    bsSkinOfficeComboBox1->SetUseSkinFont(true);
    bsSkinOfficeComboBox1->SetListBoxUseSkinFont(true);
    bsSkinOfficeComboBox1->OnChange = [this](TObject* S) { bsSkinOfficeComboBox1Change(S); };

    NewLabel(this, bsSkinTabSheet1, bsSkinData1, u"输出目录：", 40, 92);
    // The class library's edit until the skinned edit exists.
    Video_OutPut_Folder_Edit = new TEdit(this);
    Video_OutPut_Folder_Edit->SetName(u"Video_OutPut_Folder_Edit");
    Video_OutPut_Folder_Edit->SetBounds(131, 88, 456, 22);
    Video_OutPut_Folder_Edit->SetReadOnly(true);
    Video_OutPut_Folder_Edit->SetText(u"");
    Video_OutPut_Folder_Edit->OnClick = [this](TObject* S) { Video_OutPut_Folder_EditClick(S); };
    Video_OutPut_Folder_Edit->SetParent(bsSkinTabSheet1);
    // The plain edit keeps the window text colour on its white face, whatever colour the skin gives the sheet.
    Video_OutPut_Folder_Edit->Font()->SetColor(clWindowText);
    bsSkinButton5 = NewSkinButton(bsSkinTabSheet1, u"bsSkinButton5", u"浏览...", 597, 86, 70, 26, nullptr, -1);
    bsSkinButton5->OnClick = [this](TObject* S) { bsSkinButton5Click(S); };
    bsSkinButton6 = NewSkinButton(bsSkinTabSheet1, u"bsSkinButton6", u"打开", 675, 86, 70, 26, nullptr, -1);
    bsSkinButton6->OnClick = [this](TObject* S) { bsSkinButton6Click(S); };

    // The six advanced combo boxes, created in their fill order, which is their tab order.
    struct TComboSpec {
        TbsSkinComboBox* TForm1::*Field;
        const char16_t* Name;
        const char16_t* Label;
        int Left, Top, Width, LabelLeft;
        void (TForm1::*Change)(TObject*);
    };
    const TComboSpec Combos[] = {
        {&TForm1::bsSkinComboBox1, u"bsSkinComboBox1", u"视频分辨率：", 118, 23, 203, 32,
         &TForm1::bsSkinComboBox1Change},
        {&TForm1::bsSkinComboBox2, u"bsSkinComboBox2", u"视频比特率：", 118, 57, 203, 32,
         &TForm1::bsSkinComboBox2Change},
        {&TForm1::bsSkinComboBox9, u"bsSkinComboBox9", u"视频帧率：", 118, 91, 203, 32, &TForm1::bsSkinComboBox9Change},
        {&TForm1::bsSkinComboBox3, u"bsSkinComboBox3", u"音频比特率：", 487, 20, 192, 383,
         &TForm1::bsSkinComboBox3Change},
        {&TForm1::bsSkinComboBox10, u"bsSkinComboBox10", u"音频采样率：", 487, 53, 192, 383,
         &TForm1::bsSkinComboBox10Change},
        {&TForm1::bsSkinComboBox4, u"bsSkinComboBox4", u"视频缩放：", 487, 88, 192, 383,
         &TForm1::bsSkinComboBox4Change},
    };
    for (const TComboSpec& C : Combos) {
        NewLabel(this, bsSkinTabSheet2, bsSkinData1, C.Label, C.LabelLeft, C.Top + 3);
        auto* Box = new TbsSkinComboBox(this);
        Box->SetName(C.Name);
        Box->SetSkinData(bsSkinData1);
        Box->SetStyle(bscbFixedStyle);
        Box->SetDropDownCount(8);
        Box->SetAutoComplete(true);
        Box->SetBounds(C.Left, C.Top, C.Width, 20);
        Box->OnChange = [this, Change = C.Change](TObject* S) { (this->*Change)(S); };
        Box->SetParent(bsSkinTabSheet2);
        this->*C.Field = Box;
    }
}

void TForm1::CreateHiddenControls() {
    // The operations other operations run are clicks of hidden plain buttons on hidden panels.
    auto On = [this](void (TForm1::*Handler)(TObject*)) {
        return [this, Handler](TObject* S) { (this->*Handler)(S); };
    };
    Panel1 = NewPanel(this, this, u"Panel1", 0, 0, 200, 100);
    Panel1->SetVisible(false);
    Panel3 = NewPanel(this, this, u"Panel3", 0, 0, 200, 100);
    Panel3->SetVisible(false);
    Panel4 = NewPanel(this, this, u"Panel4", 0, 0, 200, 100);
    Panel4->SetVisible(false);
    struct THiddenButton {
        TPanel* Panel;
        const char16_t* Name;
        const char16_t* Caption;
        void (TForm1::*Click)(TObject*);
    };
    const THiddenButton HiddenButtons[] = {
        {Panel1, u"Button2", u"根据类别添加格式", &TForm1::Button2Click},
        {Panel1, u"Button3", u"读取皮肤", &TForm1::Button3Click},
        {Panel1, u"Button4", u"写入皮肤", &TForm1::Button4Click},
        {Panel1, u"Button5", u"应用格式", &TForm1::Button5Click},
        {Panel1, u"Button6", u"选中行恢复", &TForm1::Button6Click},
        {Panel1, u"Button13", u"应用高级选项", &TForm1::Button13Click},
        {Panel1, u"Button15", u"清空选项槽", &TForm1::Button15Click},
        {Panel1, u"Button16", u"写输出目录", &TForm1::Button16Click},
        {Panel1, u"Button17", u"读输出目录", &TForm1::Button17Click},
        {Panel1, u"Button18", u"根据combox添加预设选项", &TForm1::Button18Click},
        {Panel1, u"Button21", u"文件过滤", &TForm1::Button21Click},
        {Panel1, u"Button31", u"打开播放视频", &TForm1::Button31Click},
        {Panel3, u"btnAdd", u"添加", &TForm1::btnAddClick},
        {Panel3, u"btnRemove", u"删除", &TForm1::btnRemoveClick},
        {Panel3, u"btnClear", u"清空", &TForm1::btnClearClick},
        {Panel3, u"Button8", u"添加多个", &TForm1::Button8Click},
        {Panel3, u"Button12", u"添加目录", &TForm1::Button12Click},
        {Panel4, u"btnStart", u"开始", &TForm1::btnStartClick},
        {Panel4, u"btnStop", u"停止", &TForm1::btnStopClick},
        {Panel4, u"btnPause", u"暂停", &TForm1::btnPauseClick},
        {Panel4, u"btnResume", u"继续", &TForm1::btnResumeClick},
        {Panel4, u"button28", u"重建任务", &TForm1::button28Click},
        {Panel4, u"Button22", u"锁定设置", &TForm1::Button22Click},
        {Panel4, u"Button23", u"解锁设置", &TForm1::Button23Click},
        {Panel4, u"Button20", u"打开输出目录", &TForm1::Button20Click},
        {Panel4, u"Button25", u"关闭计算机", &TForm1::Button25Click},
        {Panel4, u"Button29", u"播放提示音乐", &TForm1::Button29Click},
    };
    for (const THiddenButton& B : HiddenButtons)
        NewHiddenButton(B.Panel, B.Name, B.Caption, On(B.Click));

    // The cover over the empty job list: a skinned panel showing the cover picture.
    bsSkinPanel5 = NewSkinPanel(this, this, bsSkinData1, u"bsSkinPanel5", 274, 107, 552, 238);
    bsSkinPanel5Picture = new TImage(this);
    bsSkinPanel5Picture->SetBounds(0, 0, 552, 238);
    {
        TbsPngImage Cover;
        LoadPng(AppPicture(apCover), Cover);
        bsSkinPanel5Picture->Picture()->SetGraphic(&Cover);
    }
    bsSkinPanel5Picture->SetParent(bsSkinPanel5);

    Button19 = NewHiddenButton(this, u"Button19", u"Button19", {});
    Button27 = NewHiddenButton(this, u"Button27", u"Button27", {});
    // The in-place editor of a job's output name.
    edt = new TEdit(this);
    edt->SetName(u"edt");
    edt->SetBorderStyle(bsNone);
    edt->SetBounds(0, 0, 80, 14);
    edt->SetVisible(false);
    edt->OnExit = [this](TObject* S) { edtExit(S); };
    edt->SetParent(this);

    // Outside the client area: the log and the player's settings, no part of the user interface.
    Panel5 = NewPanel(this, this, u"Panel5", 1266, 8, 300, 400);
    mmoLog = new TMemo(this);
    mmoLog->SetName(u"mmoLog");
    mmoLog->SetBounds(4, 4, 290, 200);
    mmoLog->SetReadOnly(true);
    mmoLog->SetParent(Panel5);
    cboScreens = NewComboBox(this, Panel5, u"cboScreens", 4, 210, 140);
    cboVideoDriver = NewComboBox(this, Panel5, u"cboVideoDriver", 4, 236, 140);
    for (const char16_t* Name : {u"Default", u"DDraw", u"GDI"})
        cboVideoDriver->Items()->Add(Name);
    cboVideoDriver->SetItemIndex(0);
    cboAudioDriver = NewComboBox(this, Panel5, u"cboAudioDriver", 150, 236, 140);
    for (const char16_t* Name : {u"Default", u"DSound", u"waveOut"})
        cboAudioDriver->Items()->Add(Name);
    cboAudioDriver->SetItemIndex(0);
    auto NewCheck = [this](const String& Name, const String& Caption, int Top, bool Checked) {
        auto* Box = new TCheckBox(this);
        Box->SetName(Name);
        Box->SetCaption(Caption);
        Box->SetBounds(4, Top, 200, 22);
        Box->SetParent(Panel5);
        Box->SetChecked(Checked);
        return Box;
    };
    chkOpenPaused = NewCheck(u"chkOpenPaused", u"Open Paused", 262, true);
    chkStayOnTop = NewCheck(u"chkStayOnTop", u"Stay On Top", 284, false);
    chkThreadMode = NewCheck(u"chkThreadMode", u"Thread Mode", 306, true);
    chkPreview = NewCheck(u"chkPreview", u"Preview", 328, false);
    chkPreview->OnClick = [this](TObject* S) { chkPreviewClick(S); };

    // The video surface lies over the preview group box.
    Panel6 = NewPanel(this, this, u"Panel6", 17, 127, 240, 145);
    Panel6->SetColor(clBtnText);
    Panel6->SetBevelOuter(bvNone);
}

TbsSkinButton* TForm1::NewSkinButton(TWinControl* AParent, const String& AName, const String& ACaption, int ALeft,
                                     int ATop, int AWidth, int AHeight, TbsPngImageList* AImages, int AImageIndex) {
    auto* Button = new TbsSkinButton(this);
    Button->SetName(AName);
    Button->SetSkinData(bsSkinData1);
    Button->SetCaption(ACaption);
    Button->SetBounds(ALeft, ATop, AWidth, AHeight);
    if (AImages) {
        Button->SetImageList(AImages);
        Button->SetImageIndex(AImageIndex);
    }
    Button->SetParent(AParent);
    return Button;
}

TButton* TForm1::NewHiddenButton(TWinControl* AParent, const String& AName, const String& ACaption,
                                 TNotifyEvent AClick) {
    auto* Button = new TButton(this);
    Button->SetName(AName);
    Button->SetCaption(ACaption);
    Button->SetBounds(0, 0, 75, 25);
    Button->SetVisible(false);
    Button->OnClick = std::move(AClick);
    Button->SetParent(AParent);
    return Button;
}
