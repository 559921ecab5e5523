// The main window's side of the profile catalogue: the category and profile combo boxes, the chain that runs
// whenever the chosen profile changes, the six advanced combo boxes and the selected job row's settings
// columns. The rules themselves live in app/profiles; everything here runs nested inside the combo boxes'
// change notifications, so a program's ItemIndex write has run its whole chain when it returns.
#include "app/Unit1.h"

#include "app/Unit5.h"
#include "app/profiles/AdvancedChoices.h"
#include "app/profiles/OutputFileName.h"
#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"
#include "platform/base/SysUtils.h"

namespace {

// What the shared fill needs of one of the window's skinned combo boxes.
class TSkinComboTarget : public TAdvancedComboTarget {
public:
    explicit TSkinComboTarget(TbsSkinComboBox* ACombo) : Combo(ACombo) {}
    void ClearItems() override { Combo->Items()->Clear(); }
    void AddItem(const String& S) override { Combo->Items()->Add(S); }
    void SetItemIndex(int Index) override { Combo->SetItemIndex(Index); }
    void SetEnabled(bool Value) override { Combo->SetEnabled(Value); }

private:
    TbsSkinComboBox* Combo;
};

} // namespace

String JobColumnText(const TListItem* Row, int Column) {
    if (Column == 0)
        return Row->Caption();
    TStrings* Sub = Row->SubItems();
    return Column - 1 < Sub->Count() ? Sub->Strings(Column - 1) : String();
}

void SetJobColumnText(TListItem* Row, int Column, const String& Text) {
    if (Column == 0) {
        Row->SetCaption(Text);
        return;
    }
    TStrings* Sub = Row->SubItems();
    while (Sub->Count() < Column)
        Sub->Add(u"");
    Sub->SetStrings(Column - 1, Text);
}

TbsSkinComboBox* TForm1::AdvancedCombo(TAdvancedKind Kind) const {
    return AdvancedComboOf(*this, Kind);
}

void TForm1::Button6Click(TObject* Sender) {
    OutputParams.Reset();
}

void TForm1::Button2Click(TObject* Sender) {
    TbsSkinOfficeComboBox* Profiles = bsSkinOfficeComboBox1;
    Profiles->Items()->Clear();
    Profiles->Refresh();
    const int Group = ProfileGroupOf(bsSkinOfficeComboBox2->ItemIndex());
    for (const TProfileItem& Profile : ProfilesOfCategory(bsSkinOfficeComboBox2->ItemIndex())) {
        TbsSkinOfficeItem* Item = Profiles->Items()->Add();
        Item->SetTitle(String(Profile.Title));
        Item->SetCaption(String(Profile.Description));
        Item->SetImageIndex(Group);
    }
    Profiles->Refresh();
    Profiles->SetItemIndex(0);
}

void TForm1::bsSkinOfficeComboBox2Change(TObject* Sender) {
    Button2Click(this);
}

void TForm1::bsSkinOfficeComboBox1Change(TObject* Sender) {
    // The advanced lists first: their handlers record the new defaults in a selected row before the profile's
    // own settings overwrite the columns.
    Button18Click(this);
    const int ProfileIndex = bsSkinOfficeComboBox1->ItemIndex();
    if (ProfileIndex < 0 || ProfileIndex >= bsSkinOfficeComboBox1->Items()->Count())
        return;
    const String Ext = ProfileTitleExtension(bsSkinOfficeComboBox1->Items()->Items(ProfileIndex)->Title());
    TListItem* Row = lvFiles->Selected();
    if (!Row)
        return;
    Button5Click(this);
    Button13Click(this);
    SetJobColumnText(Row, jcOutputFile, ChangeFileNameExt(ExtractFileNamePart(JobColumnText(Row, jcOutputFile)), Ext));
    SetJobColumnText(Row, jcProfileCode,
                     IntToStr(ProfilePositionCode(bsSkinOfficeComboBox2->ItemIndex(), ProfileIndex)));
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::Button5Click(TObject* Sender) {
    Button6Click(this);
    const bool Overwrite = Form5 && Form5->bsSkinCheckRadioBox3->Checked();
    if (!ApplyProfile(OutputParams, bsSkinOfficeComboBox2->ItemIndex(), bsSkinOfficeComboBox1->ItemIndex(),
                      Video_OutPut_Folder_Edit->Text(), Overwrite))
        return; // no profile is chosen: the row keeps its settings
    TListItem* Row = lvFiles->Selected();
    if (!Row)
        return;
    String Columns[ProfileRowColumnCount];
    ProfileRowColumns(OutputParams, Columns);
    for (int I = 0; I < ProfileRowColumnCount; ++I)
        SetJobColumnText(Row, ProfileRowFirstColumn + I, Columns[I]);
}

void TForm1::Button13Click(TObject* Sender) {
    String Texts[AdvancedKindCount];
    for (int K = 0; K < AdvancedKindCount; ++K)
        Texts[K] = AdvancedCombo(TAdvancedKind(K))->Text();
    ApplyAdvancedChoices(Texts, OutputParams);
}

void TForm1::Button18Click(TObject* Sender) {
    TSkinComboTarget Targets[AdvancedKindCount] = {
        TSkinComboTarget(AdvancedCombo(akFrameSize)),  TSkinComboTarget(AdvancedCombo(akVideoBitrate)),
        TSkinComboTarget(AdvancedCombo(akFrameRate)),  TSkinComboTarget(AdvancedCombo(akAudioBitrate)),
        TSkinComboTarget(AdvancedCombo(akSampleRate)), TSkinComboTarget(AdvancedCombo(akAspectMode)),
    };
    TAdvancedCombos Combos;
    for (int K = 0; K < AdvancedKindCount; ++K)
        Combos.Combo[K] = &Targets[K];
    FillMainAdvancedCombos(Combos, bsSkinOfficeComboBox2->ItemIndex(), bsSkinOfficeComboBox1->ItemIndex(),
                           OutputParams);
}

void TForm1::AdvancedComboChange(TAdvancedKind Kind) {
    TListItem* Row = lvFiles->Selected();
    if (!Row)
        return;
    TbsSkinComboBox* Combo = AdvancedCombo(Kind);
    SetJobColumnText(
        Row, jcComboIndices,
        SetComboIndexPair(JobColumnText(Row, jcComboIndices), AdvancedChoicePair(Kind), Combo->ItemIndex()));
    ApplyAdvancedChoice(Kind, Combo->Text(), OutputParams);
    SetJobColumnText(Row, AdvancedChoiceColumn(Kind), AdvancedChoiceColumnText(Kind, OutputParams));
    if (lvFiles->CanFocus())
        lvFiles->SetFocus();
}

void TForm1::bsSkinComboBox1Change(TObject* Sender) {
    AdvancedComboChange(akFrameSize);
}
void TForm1::bsSkinComboBox2Change(TObject* Sender) {
    AdvancedComboChange(akVideoBitrate);
}
void TForm1::bsSkinComboBox3Change(TObject* Sender) {
    AdvancedComboChange(akAudioBitrate);
}
void TForm1::bsSkinComboBox4Change(TObject* Sender) {
    AdvancedComboChange(akAspectMode);
}
void TForm1::bsSkinComboBox9Change(TObject* Sender) {
    AdvancedComboChange(akFrameRate);
}
void TForm1::bsSkinComboBox10Change(TObject* Sender) {
    AdvancedComboChange(akSampleRate);
}
