#include "app/profiles/Unit6.h"

#include "app/profiles/SettingsChoices.h"
#include "app/profiles/SettingsHost.h"
#include "app/profiles/SettingsProfiles.h"

TForm6* Form6 = nullptr;

namespace {

// What the fill of the advanced lists does to one of the dialog's combo boxes. Selecting runs the combo box's
// own click and change notifications, none of which the dialog handles.
class TSettingsComboTarget : public TAdvancedComboTarget {
public:
    explicit TSettingsComboTarget(TbsSkinComboBox* ACombo) : FCombo(ACombo) {}
    void ClearItems() override { FCombo->Items()->Clear(); }
    void AddItem(const String& S) override { FCombo->Items()->Add(S); }
    void SetItemIndex(int Index) override { FCombo->SetItemIndex(Index); }
    void SetEnabled(bool Value) override { FCombo->SetEnabled(Value); }

private:
    TbsSkinComboBox* FCombo;
};

void UseSongTi(TFont* Font) {
    Font->SetName(u"宋体");
    Font->SetSize(9);
}

} // namespace

TForm6::TForm6(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"Form6");
    SetCaption(u"设置选项");
    SetBorderStyle(bsSingle);
    SetBorderIcons({});
    SetColor(clBtnFace);
    Font()->SetName(u"Tahoma");
    Font()->SetSize(8);
    SetPosition(poMainFormCenter);
    SetBounds(197, 218, Width(), Height());
    SetClientSize(958, 474);
    SetVisible(false);
    TbsSkinData* Skin = SettingsHost().SettingsSkinData();

    bsSkinForm1 = new TbsSkinForm(this);
    bsSkinForm1->SetName(u"bsSkinForm1");
    bsSkinForm1->SetShowIcon(false);
    bsSkinForm1->SetClientWidth(958);
    bsSkinForm1->SetClientHeight(474);
    bsSkinForm1->SetSkinData(Skin);

    ImageList1 = new TImageList(this, 32, 32);
    ImageList1->SetName(u"ImageList1");
    ImageList2 = new TImageList(this, 32, 32);
    ImageList2->SetName(u"ImageList2");
    CreateProfileRow(Skin);
    CreateButtonPanel();
    FFConv = new TFFConverter(this);
    FFConv->SetName(u"FFConv");
    CreateSheets(Skin);

    auto NewOkCancel = [this, Skin](const String& Name, const String& Caption, int Left) {
        auto* Button = new TbsSkinButton(this);
        Button->SetName(Name);
        Button->SetSkinData(Skin);
        Button->SetSkinDataName(u"button");
        Button->SetCaption(Caption);
        UseSongTi(Button->DefaultFont());
        Button->SetBounds(Left, 416, 69, 25);
        Button->SetParent(this);
        return Button;
    };
    bsSkinButton3 = NewOkCancel(u"bsSkinButton3", u"取消", 594);
    bsSkinButton3->OnClick = [this](TObject* S) { bsSkinButton3Click(S); };
    bsSkinButton2 = NewOkCancel(u"bsSkinButton2", u"确定", 480);
    bsSkinButton2->OnClick = [this](TObject* S) { bsSkinButton2Click(S); };

    LoadPictures();
    OnCreate = [this](TObject* S) { FormCreate(S); };
}

TForm6::~TForm6() {
    if (Form6 == this)
        Form6 = nullptr;
}

void TForm6::CreateWnd() {
    TForm::CreateWnd();
    // The skinned frame's size is known only once the window exists: the client area keeps its own.
    SetClientSize(958, 474);
}

void TForm6::CreateProfileRow(TbsSkinData* Skin) {
    bsSkinPanel2 = new TbsSkinPanel(this);
    bsSkinPanel2->SetName(u"bsSkinPanel2");
    bsSkinPanel2->SetSkinData(Skin);
    bsSkinPanel2->SetSkinDataName(u"panel");
    bsSkinPanel2->SetBorderStyle(TbsSkinBorderStyle::bvFrame);
    bsSkinPanel2->SetCaptionMode(false);
    bsSkinPanel2->SetCaption(u"");
    bsSkinPanel2->SetBounds(39, 36, 625, 109);
    bsSkinPanel2->SetParent(this);

    bsSkinTextLabel5 = NewTextLabel(bsSkinPanel2, Skin, u"bsSkinTextLabel5", u"输出格式：", 17, 48);

    // The category chooser: a tool button showing the category's picture and name, its list narrow and
    // without titles or lines; its font is its own.
    bsSkinOfficeComboBox2 = new TbsSkinOfficeComboBox(this);
    bsSkinOfficeComboBox2->SetName(u"bsSkinOfficeComboBox2");
    bsSkinOfficeComboBox2->SetSkinData(Skin);
    bsSkinOfficeComboBox2->SetToolButtonStyle(true);
    bsSkinOfficeComboBox2->SetImages(ImageList1);
    bsSkinOfficeComboBox2->SetShowItemTitle(false);
    bsSkinOfficeComboBox2->SetShowItemImage(true);
    bsSkinOfficeComboBox2->SetShowItemText(true);
    bsSkinOfficeComboBox2->SetUseSkinFont(false);
    UseSongTi(bsSkinOfficeComboBox2->DefaultFont());
    // The narrow list keeps the same small font, so the longer names fit beside its bar.
    bsSkinOfficeComboBox2->SetListBoxUseSkinFont(false);
    UseSongTi(bsSkinOfficeComboBox2->ListBoxDefaultFont());
    bsSkinOfficeComboBox2->SetListBoxWidth(119);
    bsSkinOfficeComboBox2->SetListBoxItemHeight(50);
    bsSkinOfficeComboBox2->SetDropDownCount(4);
    bsSkinOfficeComboBox2->SetListBoxShowItemTitles(false);
    bsSkinOfficeComboBox2->SetListBoxShowLines(false);
    bsSkinOfficeComboBox2->SetListBoxSkinDataName(u"resizetoolpanel");
    bsSkinOfficeComboBox2->SetBounds(83, 33, 126, 51);
    bsSkinOfficeComboBox2->SetParent(bsSkinPanel2);
    const auto Categories = SettingsCategories();
    for (int I = 0; I < int(Categories.size()); ++I) {
        TbsSkinOfficeItem* Item = bsSkinOfficeComboBox2->Items()->Add();
        Item->SetCaption(Categories[std::size_t(I)]);
        Item->SetImageIndex(I);
    }
    // Selected before any handler is wired, as the form's own data: no event.
    bsSkinOfficeComboBox2->SetItemIndex(0);
    bsSkinOfficeComboBox2->OnChange = [this](TObject* S) { bsSkinOfficeComboBox2Change(S); };

    // The profile chooser: title in bold over the description, no pictures; its list as wide as the box.
    bsSkinOfficeComboBox1 = new TbsSkinOfficeComboBox(this);
    bsSkinOfficeComboBox1->SetName(u"bsSkinOfficeComboBox1");
    bsSkinOfficeComboBox1->SetSkinData(Skin);
    bsSkinOfficeComboBox1->SetToolButtonStyle(true);
    bsSkinOfficeComboBox1->SetShowItemTitle(true);
    bsSkinOfficeComboBox1->SetShowItemImage(true);
    bsSkinOfficeComboBox1->SetShowItemText(true);
    bsSkinOfficeComboBox1->SetUseSkinFont(true);
    UseSongTi(bsSkinOfficeComboBox1->DefaultFont());
    bsSkinOfficeComboBox1->SetListBoxItemHeight(60);
    bsSkinOfficeComboBox1->SetListBoxHeaderHeight(20);
    bsSkinOfficeComboBox1->SetDropDownCount(4);
    bsSkinOfficeComboBox1->SetListBoxShowItemTitles(true);
    bsSkinOfficeComboBox1->SetListBoxShowLines(true);
    bsSkinOfficeComboBox1->SetListBoxSkinDataName(u"listbox");
    bsSkinOfficeComboBox1->SetAlphaBlend(false);
    bsSkinOfficeComboBox1->SetBounds(215, 33, 400, 51);
    bsSkinOfficeComboBox1->SetParent(bsSkinPanel2);
    bsSkinOfficeComboBox1->OnClick = [this](TObject* S) { bsSkinOfficeComboBox1Click(S); };

    // Never shown and without a handler.
    bsSkinButton1 = new TbsSkinButton(this);
    bsSkinButton1->SetName(u"bsSkinButton1");
    bsSkinButton1->SetCaption(u"设置");
    bsSkinButton1->SetVisible(false);
    bsSkinButton1->SetBounds(560, 40, 50, 25);
    bsSkinButton1->SetParent(bsSkinPanel2);
}

void TForm6::CreateSheets(TbsSkinData* Skin) {
    bsSkinPageControl1 = new TbsSkinPageControl(this);
    bsSkinPageControl1->SetName(u"bsSkinPageControl1");
    bsSkinPageControl1->SetSkinData(Skin);
    bsSkinPageControl1->SetSkinDataName(u"tab");
    bsSkinPageControl1->SetBounds(39, 171, 625, 222);
    bsSkinPageControl1->SetParent(this);
    auto NewSheet = [this](const String& Name, const String& Caption) {
        auto* Sheet = new TbsSkinTabSheet(this);
        Sheet->SetName(Name);
        Sheet->SetCaption(Caption);
        Sheet->SetPageControl(bsSkinPageControl1);
        return Sheet;
    };
    bsSkinTabSheet1 = NewSheet(u"bsSkinTabSheet1", u"标准参数设置");
    bsSkinTabSheet2 = NewSheet(u"bsSkinTabSheet2", u"剪辑设置");
    // Its only name is its caption, which is no identifier here: the sheet stays unnamed.
    FilterSheet = NewSheet(u"", u"滤镜设置");
    bsSkinTabSheet3 = NewSheet(u"bsSkinTabSheet3", u"文字水印");
    bsSkinPageControl1->SetActivePage(bsSkinTabSheet1);
    CreateAdvancedCombos(Skin);
}

void TForm6::CreateAdvancedCombos(TbsSkinData* Skin) {
    // Two columns of a label above its combo box; the tab order goes across, then down, aspect mode last.
    bsSkinTextLabel3 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel3", u"视频分辨率：", 19, 24);
    bsSkinComboBox1 = NewAdvancedCombo(Skin, u"bsSkinComboBox1", 16, 43, 289, 0);
    bsSkinTextLabel2 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel2", u"视频比特率：", 342, 24);
    bsSkinComboBox2 = NewAdvancedCombo(Skin, u"bsSkinComboBox2", 342, 43, 251, 1);
    bsSkinTextLabel6 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel6", u"视频帧率：", 16, 69);
    bsSkinComboBox9 = NewAdvancedCombo(Skin, u"bsSkinComboBox9", 14, 88, 291, 2);
    bsSkinTextLabel9 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel9", u"视频缩放：", 342, 69);
    bsSkinComboBox4 = NewAdvancedCombo(Skin, u"bsSkinComboBox4", 342, 88, 251, 5);
    bsSkinTextLabel4 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel4", u"音频比特率：", 16, 114);
    bsSkinComboBox3 = NewAdvancedCombo(Skin, u"bsSkinComboBox3", 16, 133, 289, 3);
    bsSkinTextLabel7 = NewTextLabel(bsSkinTabSheet1, Skin, u"bsSkinTextLabel7", u"音频采样率：", 342, 114);
    bsSkinComboBox10 = NewAdvancedCombo(Skin, u"bsSkinComboBox10", 342, 133, 251, 4);
}

void TForm6::CreateButtonPanel() {
    // Visible, and reaching 37 pixels past the client area's right edge.
    Panel1 = new TPanel(this);
    Panel1->SetName(u"Panel1");
    Panel1->SetCaption(u"Panel1");
    Panel1->SetBounds(690, 161, 305, 305);
    Panel1->SetParent(this);
    Button6 = NewPlainButton(u"Button6", u"初始化数据", 32, 47, 75, 0, [this](TObject* S) { Button6Click(S); });
    Button5 =
        NewPlainButton(u"Button5", u"根据combox添加数据", 113, 47, 126, 1, [this](TObject* S) { Button5Click(S); });
    Button7 = NewPlainButton(u"Button7", u"确认oo数据", 230, 47, 75, 2, {});
    Button2 = NewPlainButton(u"Button2", u"添加combox", 32, 78, 104, 3, [this](TObject* S) { Button2Click(S); });
    Button13 =
        NewPlainButton(u"Button13", u"确认预置选项数据", 32, 109, 113, 4, [this](TObject* S) { Button13Click(S); });
    Button11 = NewPlainButton(u"Button11", u"onchange用", 151, 78, 95, 5, {});
    // The picture lies under Button18.
    Image1 = new TImage(this);
    Image1->SetName(u"Image1");
    Image1->SetBounds(46, 158, 171, 103);
    Image1->SetParent(Panel1);
    Button18 = NewPlainButton(u"Button18", u"根据combox添加预设选项", 42, 163, 143, 6,
                              [this](TObject* S) { Button18Click(S); });
}

TbsSkinTextLabel* TForm6::NewTextLabel(TWinControl* Parent, TbsSkinData* Skin, const String& Name, const String& Text,
                                       int Left, int Top) {
    auto* Label = new TbsSkinTextLabel(this);
    Label->SetName(Name);
    Label->SetSkinData(Skin);
    Label->Lines()->Add(Text);
    Label->SetLeft(Left);
    Label->SetTop(Top);
    Label->SetParent(Parent);
    return Label;
}

TbsSkinComboBox* TForm6::NewAdvancedCombo(TbsSkinData* Skin, const String& Name, int Left, int Top, int Width,
                                          int TabOrder) {
    auto* Combo = new TbsSkinComboBox(this);
    Combo->SetName(Name);
    Combo->SetSkinData(Skin);
    Combo->SetSkinDataName(u"combobox");
    Combo->SetStyle(bscbFixedStyle);
    Combo->SetSorted(false);
    Combo->SetAutoComplete(true);
    Combo->SetDropDownCount(8);
    Combo->SetBounds(Left, Top, Width, 20);
    Combo->SetParent(bsSkinTabSheet1);
    Combo->SetTabOrder(TabOrder);
    return Combo;
}

TButton* TForm6::NewPlainButton(const String& Name, const String& Caption, int Left, int Top, int Width, int TabOrder,
                                TNotifyEvent AClick) {
    auto* Button = new TButton(this);
    Button->SetName(Name);
    Button->SetCaption(Caption);
    Button->SetBounds(Left, Top, Width, 25);
    Button->SetParent(Panel1);
    Button->SetTabOrder(TabOrder);
    Button->OnClick = std::move(AClick);
    return Button;
}

TbsSkinComboBox* TForm6::AdvancedCombo(TAdvancedKind Kind) const {
    return AdvancedComboOf(*this, Kind);
}

void TForm6::FormCreate(TObject* Sender) {
    Button2->Click();
}

void TForm6::bsSkinOfficeComboBox2Change(TObject* Sender) {
    Button2->Click();
}

void TForm6::bsSkinOfficeComboBox1Click(TObject* Sender) {
    Button18->Click();
}

void TForm6::bsSkinButton2Click(TObject* Sender) {
    Button5->Click();
    Button13->Click();
    Close();
}

void TForm6::bsSkinButton3Click(TObject* Sender) {
    Close();
}

void TForm6::Button2Click(TObject* Sender) {
    TbsSkinOfficeComboBox* Profiles = bsSkinOfficeComboBox1;
    Profiles->Items()->Clear();
    Profiles->Refresh();
    Profiles->Repaint();
    const auto Category = SettingsProfilesOfCategory(bsSkinOfficeComboBox2->ItemIndex());
    for (int I = 0; I < int(Category.size()); ++I) {
        const TSettingsProfileItem& Profile = Category[std::size_t(I)];
        Profiles->Items()->Add();
        TbsSkinOfficeItem* Item = Profiles->Items()->Items(I);
        Item->SetTitle(Profile.Title);
        Item->SetCaption(Profile.Description);
        Item->SetImageIndex(Profile.ImageIndex);
    }
    if (!Category.empty()) {
        Profiles->Refresh();
        Profiles->Repaint();
    }
    // Runs the profile combo box's click, which fills the advanced lists.
    Profiles->SetItemIndex(0);
}

void TForm6::Button18Click(TObject* Sender) {
    TSettingsComboTarget Targets[AdvancedKindCount] = {
        TSettingsComboTarget(AdvancedCombo(akFrameSize)),  TSettingsComboTarget(AdvancedCombo(akVideoBitrate)),
        TSettingsComboTarget(AdvancedCombo(akFrameRate)),  TSettingsComboTarget(AdvancedCombo(akAudioBitrate)),
        TSettingsComboTarget(AdvancedCombo(akSampleRate)), TSettingsComboTarget(AdvancedCombo(akAspectMode)),
    };
    TAdvancedCombos Combos;
    for (int K = 0; K < AdvancedKindCount; ++K)
        Combos.Combo[K] = &Targets[K];
    FillSettingsAdvancedCombos(Combos, bsSkinOfficeComboBox2->ItemIndex(), bsSkinOfficeComboBox1->ItemIndex(),
                               SettingsHost().SettingsParams());
}

void TForm6::Button5Click(TObject* Sender) {
    TSettingsHost& Host = SettingsHost();
    ApplySettingsProfile(Host.SettingsParams(), bsSkinOfficeComboBox2->ItemIndex(), bsSkinOfficeComboBox1->ItemIndex(),
                         Host.SettingsOutputFolder(), Host.SettingsOverwriteFiles());
}

void TForm6::Button6Click(TObject* Sender) {
    SettingsHost().SettingsParams().ResetAll();
}

void TForm6::Button13Click(TObject* Sender) {
    String Texts[AdvancedKindCount];
    for (int K = 0; K < AdvancedKindCount; ++K)
        Texts[K] = AdvancedCombo(TAdvancedKind(K))->Text();
    ApplySettingsAdvancedChoices(Texts, SettingsHost().SettingsParams());
}
