// The main window's commands: which controls belong to each, their enabled states and pictures, the skin
// choice kept in option.ini, the web pages and the small dialogs.
#include "app/Unit1.h"

#include "app/OptionIni.h"
#include "app/Unit2.h"
#include "app/Unit5.h"
#include "platform/base/SysUtils.h"
#include "platform/shell/ShellLauncher.h"
#include "resources/AppPictures.h"

// Placeholder addresses of the project's own site.
const String TForm1::HelpPageURL = u"https://quorvane.example.org/help/";
const String TForm1::HomePageURL = u"https://quorvane.example.org/";
const String TForm1::SupportMail = u"support@quorvane.example.org";

namespace {

struct TCommandControls {
    std::vector<TControl*> Controls;
    std::vector<TMenuItem*> Items;
    TControl* PictureButton = nullptr; // the toolbar button that shows the command's picture
};

TCommandControls ControlsOf(const TForm1& F, TCommand Command) {
    switch (Command) {
    case cmdAdd:
        return {{F.bsSkinMenuSpeedButton1},
                {F.Item111, F.Item121, F.N21, F.N11111, F.N2222, F.N3331},
                F.bsSkinMenuSpeedButton1};
    case cmdRemove:
        return {{F.bsSkinButton7}, {F.N13}};
    case cmdRename:
        return {{F.bsSkinButton21}, {F.N26}};
    case cmdClear:
        return {{F.bsSkinButton8}, {F.N14}};
    case cmdStart:
        return {{F.bsSkinButton2}, {F.N7}, F.bsSkinButton2};
    case cmdStop:
        return {{F.bsSkinButton10}, {F.N8}, F.bsSkinButton10};
    case cmdPause:
        return {{F.bsSkinButton11}, {F.N10}, F.bsSkinButton11};
    case cmdResume:
        return {{F.bsSkinButton12}, {F.N11}, F.bsSkinButton12};
    case cmdSettings:
        return {{F.bsSkinOfficeComboBox2, F.bsSkinOfficeComboBox1, F.bsSkinComboBox1, F.bsSkinComboBox2,
                 F.bsSkinComboBox9, F.bsSkinComboBox3, F.bsSkinComboBox10, F.bsSkinComboBox4, F.bsSkinButton5},
                {}};
    }
    return {};
}

void SetPicture(TControl* Button, int Picture) {
    if (auto* Skin = dynamic_cast<TbsSkinButton*>(Button))
        Skin->SetImageIndex(Picture);
    else if (auto* Speed = dynamic_cast<TbsSkinSpeedButton*>(Button))
        Speed->SetImageIndex(Picture);
}

} // namespace

void TForm1::SetCommandState(TCommand Command, bool Enabled, int Picture) {
    const TCommandControls C = ControlsOf(*this, Command);
    for (TControl* Control : C.Controls)
        Control->SetEnabled(Enabled);
    for (TMenuItem* Item : C.Items)
        Item->SetEnabled(Enabled);
    if (Picture >= 0 && C.PictureButton)
        SetPicture(C.PictureButton, Picture);
}

bool TForm1::CommandEnabled(TCommand Command) const {
    const TCommandControls C = ControlsOf(*this, Command);
    bool Enabled = true;
    for (TControl* Control : C.Controls)
        Enabled = Enabled && Control->Enabled();
    for (TMenuItem* Item : C.Items)
        Enabled = Enabled && Item->Enabled();
    return Enabled;
}

void TForm1::SetCreatedCommandStates() {
    using namespace ToolbarImages;
    SetCommandState(cmdAdd, true, Add);
    SetCommandState(cmdRemove, false);
    SetCommandState(cmdRename, false);
    SetCommandState(cmdClear, false);
    SetCommandState(cmdStart, false, StartDisabled);
    SetCommandState(cmdStop, false, StopDisabled);
    SetCommandState(cmdPause, false, PauseDisabled);
    SetCommandState(cmdResume, false, ResumeDisabled);
    SetCommandState(cmdSettings, true);
}

void TForm1::bsSkinButton11Click(TObject* Sender) {
    btnPauseClick(Sender);
    bsSkinButton11->SetVisible(false);
    bsSkinButton12->SetVisible(true);
}

void TForm1::bsSkinButton12Click(TObject* Sender) {
    btnResumeClick(Sender);
    bsSkinButton11->SetVisible(true);
    bsSkinButton12->SetVisible(false);
}

void TForm1::bsSkinButton19Click(TObject* Sender) {
    if (Form5)
        Form5->ShowModal();
}

void TForm1::N5Click(TObject* Sender) {
    if (Form2)
        Form2->ShowModal();
}

void TForm1::Video_OutPut_Folder_EditClick(TObject* Sender) {
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::Button3Click(TObject* Sender) {
    if (!OptionIniExists()) {
        WriteOption(u"Skin", u"SetSkin", u"0");
        return;
    }
    const String Value = ReadOption(u"Skin", u"SetSkin");
    int Index = 0;
    // A value that is no integer counts as missing, so the start-up goes on.
    if (OptionIsMissing(Value) || !TryStrToInt(Value, Index)) {
        WriteOption(u"Skin", u"SetSkin", u"0");
        bsSkinData1->SetSkinIndex(0);
        return;
    }
    bsSkinData1->SetSkinIndex(Index);
}

void TForm1::Button4Click(TObject* Sender) {
    WriteOption(u"Skin", u"SetSkin", IntToStr(bsSkinData1->SkinIndex()));
}

void TForm1::N23Click(TObject* Sender) {
    int Index = bsSkinData1->SkinIndex();
    if (PickSkin(Index))
        bsSkinData1->SetSkinIndex(Index);
    Button4Click(this);
}

bool TForm1::PickSkin(int& SkinIndex) {
    if (!bsSelectSkinDialog1->Execute(SkinIndex))
        return false;
    SkinIndex = bsSelectSkinDialog1->SelectedSkinIndex();
    return true;
}

void TForm1::OpenAddress(const String& Address) {
    // A failure to open a page is not reported.
    String Error;
    ShellLauncher().Open(Address, u"", Error);
}

void TForm1::N15Click(TObject* Sender) {
    OpenAddress(HelpPageURL);
}

void TForm1::N19Click(TObject* Sender) {
    OpenAddress(HomePageURL);
}
