#include "app/Unit5.h"

#include "app/ControlBuilders.h"
#include "app/OptionIni.h"
#include "app/Unit1.h"
#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"

TForm5* Form5 = nullptr;

namespace {

const String Section = u"Options";

TbsSkinData* MainSkin() {
    return Form1 ? Form1->bsSkinData1 : nullptr;
}

TbsSkinCheckRadioBox* NewRadio(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption,
                               int Top) {
    return NewRadioBox(Owner, Parent, MainSkin(), Name, Caption, 24, Top, 400);
}

TbsSkinCheckRadioBox* NewCheck(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption,
                               int Top) {
    return NewCheckBox(Owner, Parent, MainSkin(), Name, Caption, 24, Top, 400);
}

// Reads one key with a settings file of its own; the value, or "Error" when missing.
String ReadKey(const String& Key) {
    return ReadOption(Section, Key);
}

} // namespace

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"Form5");
    SetCaption(u"选项");
    SetBorderStyle(bsSingle);
    SetBorderIcons({});
    SetPosition(poMainFormCenter);
    SetClientSize(542, 550);
    TbsSkinData* Skin = MainSkin();
    bsSkinForm1 = new TbsSkinForm(this);
    bsSkinForm1->SetName(u"bsSkinForm1");
    // No caption buttons: only OK and Cancel close the dialog.
    bsSkinForm1->SetBorderIcons({});
    bsSkinForm1->SetClientWidth(542);
    bsSkinForm1->SetClientHeight(550);
    bsSkinForm1->SetSkinData(Skin);

    bsSkinPageControl1 = NewPageControl(this, this, Skin, u"bsSkinPageControl1", 8, 8, 526, 486);
    bsSkinTabSheet1 = NewTabSheet(this, bsSkinPageControl1, u"bsSkinTabSheet1", u"CPU设置");
    bsSkinTabSheet2 = NewTabSheet(this, bsSkinPageControl1, u"bsSkinTabSheet2", u"常规设置");

    bsSkinPanel4 = NewGroupBox(this, bsSkinTabSheet1, Skin, u"bsSkinPanel4", u"转换时CPU利用方式", 12, 12, 494, 150);
    bsSkinCheckRadioBox9 = NewRadio(this, bsSkinPanel4, u"bsSkinCheckRadioBox9", u"系统空闲时进行", 30);
    bsSkinCheckRadioBox10 = NewRadio(this, bsSkinPanel4, u"bsSkinCheckRadioBox10", u"最低优先级进行", 58);
    bsSkinCheckRadioBox11 = NewRadio(this, bsSkinPanel4, u"bsSkinCheckRadioBox11", u"较低优先级进行", 86);
    bsSkinCheckRadioBox12 = NewRadio(this, bsSkinPanel4, u"bsSkinCheckRadioBox12", u"正常优先级进行", 114);
    bsSkinCheckRadioBox12->SetChecked(true);

    bsSkinPanel2 = NewGroupBox(this, bsSkinTabSheet1, Skin, u"bsSkinPanel2", u"转换参数", 12, 176, 494, 150);
    bsSkinStdLabel1 = NewLabel(this, bsSkinPanel2, Skin, u"程序最大运行线程数--（同时进行转换的文件个数）", 24, 32);
    bsSkinStdLabel1->SetName(u"bsSkinStdLabel1");
    bsSkinComboBox2 = new TComboBox(this);
    bsSkinComboBox2->SetName(u"bsSkinComboBox2");
    bsSkinComboBox2->SetStyle(csDropDownList);
    bsSkinComboBox2->SetBounds(24, 56, 120, 20);
    bsSkinComboBox2->SetParent(bsSkinPanel2);
    // The plain box keeps the window text colour on its white face, whatever colour the skin gives the group box.
    bsSkinComboBox2->Font()->SetColor(clWindowText);
    for (int I = 1; I <= 19; ++I)
        bsSkinComboBox2->Items()->Add(IntToStr(I));
    bsSkinComboBox2->SetItemIndex(0);
    bsSkinCheckRadioBox7 =
        NewCheck(this, bsSkinPanel2, u"bsSkinCheckRadioBox7", u"启用多线程模式   （同时进行转换的视频个数）", 86);
    bsSkinCheckRadioBox7->SetChecked(true);
    bsSkinCheckRadioBox7->SetVisible(false);
    bsSkinCheckRadioBox7->OnClick = [this](TObject* S) { bsSkinCheckRadioBox7Click(S); };
    bsSkinCheckRadioBox8 = NewCheck(this, bsSkinPanel2, u"bsSkinCheckRadioBox8", u"转换时进行实时视频预览", 112);
    bsSkinCheckRadioBox8->OnClick = [this](TObject* S) { bsSkinCheckRadioBox8Click(S); };

    bsSkinPanel3 = NewGroupBox(this, bsSkinTabSheet2, Skin, u"bsSkinPanel3", u"转换工作完成后", 12, 12, 494, 150);
    bsSkinCheckRadioBox1 = NewRadio(this, bsSkinPanel3, u"bsSkinCheckRadioBox1", u"自动打开输出文件夹", 30);
    bsSkinCheckRadioBox2 = NewRadio(this, bsSkinPanel3, u"bsSkinCheckRadioBox2", u"自动关闭计算机", 58);
    bsSkinCheckRadioBox4 = NewRadio(this, bsSkinPanel3, u"bsSkinCheckRadioBox4", u" 播放提示音乐", 86);
    bsSkinCheckRadioBox5 = NewRadio(this, bsSkinPanel3, u"bsSkinCheckRadioBox5", u"不进行任何操作", 114);
    bsSkinCheckRadioBox1->SetChecked(true);
    bsSkinPanel1 = NewGroupBox(this, bsSkinTabSheet2, Skin, u"bsSkinPanel1", u"如果输出文件存在时", 12, 176, 494, 94);
    bsSkinCheckRadioBox3 = NewRadio(this, bsSkinPanel1, u"bsSkinCheckRadioBox3", u"直接覆盖输出文件", 30);
    bsSkinCheckRadioBox6 = NewRadio(this, bsSkinPanel1, u"bsSkinCheckRadioBox6", u"自动重命名输出文件", 58);
    bsSkinCheckRadioBox6->SetChecked(true);

    auto NewButton = [this, Skin](const String& Name, const String& Caption, int Left) {
        auto* Button = new TbsSkinButton(this);
        Button->SetName(Name);
        Button->SetSkinData(Skin);
        Button->SetCaption(Caption);
        Button->SetBounds(Left, 506, 90, 30);
        Button->SetParent(this);
        return Button;
    };
    bsSkinButton6 = NewButton(u"bsSkinButton6", u"确定", 330);
    bsSkinButton6->OnClick = [this](TObject* S) { bsSkinButton6Click(S); };
    bsSkinButton1 = NewButton(u"bsSkinButton1", u"取消", 436);
    bsSkinButton1->OnClick = [this](TObject* S) { bsSkinButton1Click(S); };

    // The read and write operations are clicks of plain buttons on a panel that is never shown.
    Panel1 = new TPanel(this);
    Panel1->SetName(u"Panel1");
    Panel1->SetVisible(false);
    Panel1->SetParent(this);
    Button1 = new TButton(this);
    Button1->SetName(u"Button1");
    Button1->SetCaption(u"读取ini");
    Button1->OnClick = [this](TObject* S) { Button1Click(S); };
    Button1->SetParent(Panel1);
    Button2 = new TButton(this);
    Button2->SetName(u"Button2");
    Button2->SetCaption(u"写ini");
    Button2->OnClick = [this](TObject* S) { Button2Click(S); };
    Button2->SetParent(Panel1);

    OnCreate = [this](TObject* S) { FormCreate(S); };
}

TForm5::~TForm5() {
    if (Form5 == this)
        Form5 = nullptr;
}

void TForm5::CreateWnd() {
    TForm::CreateWnd();
    // The skinned frame's size is known only once the window exists: the client area keeps its own.
    SetClientSize(542, 550);
}

void TForm5::FormCreate(TObject* Sender) {
    Button1Click(this);
}

void TForm5::Button1Click(TObject* Sender) {
    if (!OptionIniExists()) {
        WriteDefaults();
        return;
    }
    ReadThreadCount();
    ReadAfterDone();
    ReadThreadPriority();
    ReadOverwriteFile();
    ReadShowPreview();
}

void TForm5::WriteDefaults() {
    TIniFile Ini(OptionIniPath());
    Ini.WriteString(Section, u"Thread_Count", u"0");
    bsSkinComboBox2->SetItemIndex(0);
    Ini.WriteString(Section, u"After_Done", u"0");
    bsSkinCheckRadioBox1->SetChecked(true);
    Ini.WriteString(Section, u"Show_Preview", u"0");
    // Setting a check box runs its click, which switches the engine's live preview.
    bsSkinCheckRadioBox8->SetChecked(false);
    Ini.WriteString(Section, u"Thread_Priority", u"3");
    bsSkinCheckRadioBox12->SetChecked(true);
    Ini.WriteString(Section, u"Overwrite_File", u"1");
    bsSkinCheckRadioBox6->SetChecked(true);
}

void TForm5::ReadThreadCount() {
    const String Value = ReadKey(u"Thread_Count");
    int Count = 0;
    // "0" and "1" stand for one file at a time; a saved count up to 19 is selected as saved.
    if (TryStrToInt(Value, Count) && IntToStr(Count) == Value && Count >= 0 && Count <= 19) {
        bsSkinComboBox2->SetItemIndex(Count == 0 ? 0 : Count - 1);
        return;
    }
    WriteOption(Section, u"Thread_Count", u"0");
    bsSkinComboBox2->SetItemIndex(0);
}

void TForm5::ReadAfterDone() {
    ReadRadioGroup(u"After_Done",
                   {bsSkinCheckRadioBox1, bsSkinCheckRadioBox2, bsSkinCheckRadioBox4, bsSkinCheckRadioBox5}, 0);
}

void TForm5::ReadThreadPriority() {
    ReadRadioGroup(u"Thread_Priority",
                   {bsSkinCheckRadioBox9, bsSkinCheckRadioBox10, bsSkinCheckRadioBox11, bsSkinCheckRadioBox12}, 3);
}

void TForm5::ReadOverwriteFile() {
    ReadRadioGroup(u"Overwrite_File", {bsSkinCheckRadioBox3, bsSkinCheckRadioBox6}, 1);
}

void TForm5::ReadRadioGroup(const String& Key, const std::vector<TbsSkinCheckRadioBox*>& Boxes, int Default) {
    // The value is the index of the checked box; any other value writes the default back and checks its box.
    const String Value = ReadKey(Key);
    for (int I = 0; I < int(Boxes.size()); ++I)
        if (Value == IntToStr(I)) {
            Boxes[std::size_t(I)]->SetChecked(true);
            return;
        }
    WriteOption(Section, Key, IntToStr(Default));
    Boxes[std::size_t(Default)]->SetChecked(true);
}

void TForm5::WriteRadioGroup(TCustomIniFile& Ini, const String& Key, const std::vector<TbsSkinCheckRadioBox*>& Boxes) {
    // A group with no checked box writes nothing.
    for (int I = 0; I < int(Boxes.size()); ++I)
        if (Boxes[std::size_t(I)]->Checked()) {
            Ini.WriteString(Section, Key, IntToStr(I));
            return;
        }
}

void TForm5::ReadShowPreview() {
    const String Value = ReadKey(u"Show_Preview");
    if (Value != u"1" && Value != u"0")
        WriteOption(Section, u"Show_Preview", u"0");
    // Setting the box runs its click, which switches the engine's live preview.
    bsSkinCheckRadioBox8->SetChecked(Value == u"1");
}

void TForm5::Button2Click(TObject* Sender) {
    TIniFile Ini(OptionIniPath());
    if (bsSkinCheckRadioBox7->Checked())
        Ini.WriteString(Section, u"Thread_Count", bsSkinComboBox2->Text());
    WriteRadioGroup(Ini, u"After_Done",
                    {bsSkinCheckRadioBox1, bsSkinCheckRadioBox2, bsSkinCheckRadioBox4, bsSkinCheckRadioBox5});
    Ini.WriteString(Section, u"Show_Preview", bsSkinCheckRadioBox8->Checked() ? u"1" : u"0");
    WriteRadioGroup(Ini, u"Thread_Priority",
                    {bsSkinCheckRadioBox9, bsSkinCheckRadioBox10, bsSkinCheckRadioBox11, bsSkinCheckRadioBox12});
    WriteRadioGroup(Ini, u"Overwrite_File", {bsSkinCheckRadioBox3, bsSkinCheckRadioBox6});
}

void TForm5::bsSkinButton6Click(TObject* Sender) {
    Button2Click(this);
    if (FormState().Contains(fsModal))
        SetModalResult(mrOk);
    else
        Close();
}

void TForm5::bsSkinButton1Click(TObject* Sender) {
    // Nothing is reverted: the changed choices hold until the program ends, unsaved.
    if (FormState().Contains(fsModal))
        SetModalResult(mrCancel);
    else
        Close();
}

void TForm5::bsSkinCheckRadioBox7Click(TObject* Sender) {
    bsSkinComboBox2->SetEnabled(bsSkinCheckRadioBox7->Checked());
}

void TForm5::bsSkinCheckRadioBox8Click(TObject* Sender) {
    if (Form1)
        Form1->FFConv->SetPreview(bsSkinCheckRadioBox8->Checked());
}

TThreadPriority TForm5::ThreadPriority() const {
    if (bsSkinCheckRadioBox9->Checked())
        return tpIdle;
    if (bsSkinCheckRadioBox10->Checked())
        return tpLowest;
    if (bsSkinCheckRadioBox11->Checked())
        return tpLower;
    return tpNormal;
}
