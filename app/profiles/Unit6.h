// The settings dialog: a category and a profile combo box over the dialog's own catalogue, six advanced combo
// boxes on the first of four sheets, OK and Cancel, and a panel of plain buttons whose clicks carry the logic.
// It is created at start-up after the options dialog and stays hidden: nothing in the program opens it. Its
// creation still fills the lists, which writes the main window's profile code and disable-video flag.
//
// The handlers reach one another only by clicking the plain buttons: creation and a category change click
// Button2 (fill the profile list), a profile click clicks Button18 (fill the advanced lists), OK clicks Button5
// (the profile's output parameters) and Button13 (the six choices over them) and closes.
#pragma once

#include "app/profiles/AdvancedLists.h"
#include "engine/FFConverter.h"
#include "platform/gdi/ImgList.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "skin/controls/TbsSkinOfficeComboBox.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "skin/forms/bsSkinForm.h"

class TForm6 : public TForm {
    QV_CLASS_NAME(TForm6)
public:
    explicit TForm6(TComponent* AOwner);
    ~TForm6() override;

    void FormCreate(TObject* Sender);
    void bsSkinOfficeComboBox2Change(TObject* Sender);
    void bsSkinOfficeComboBox1Click(TObject* Sender);
    void bsSkinButton2Click(TObject* Sender); // OK
    void bsSkinButton3Click(TObject* Sender); // Cancel
    void Button2Click(TObject* Sender);       // fill the profile list
    void Button18Click(TObject* Sender);      // fill the six advanced lists
    void Button5Click(TObject* Sender);       // the profile's output parameters
    void Button6Click(TObject* Sender);       // reset the output parameters
    void Button13Click(TObject* Sender);      // the six choices

    TbsSkinForm* bsSkinForm1 = nullptr;
    TbsSkinPanel* bsSkinPanel2 = nullptr;
    TbsSkinTextLabel* bsSkinTextLabel5 = nullptr;
    TbsSkinOfficeComboBox* bsSkinOfficeComboBox1 = nullptr; // profile
    TbsSkinOfficeComboBox* bsSkinOfficeComboBox2 = nullptr; // category
    TbsSkinButton* bsSkinButton1 = nullptr;
    TPanel* Panel1 = nullptr;
    TButton *Button6 = nullptr, *Button5 = nullptr, *Button7 = nullptr, *Button2 = nullptr;
    TButton *Button13 = nullptr, *Button11 = nullptr, *Button18 = nullptr;
    TFFConverter* FFConv = nullptr;
    TImageList* ImageList1 = nullptr;
    TImageList* ImageList2 = nullptr;
    TbsSkinPageControl* bsSkinPageControl1 = nullptr;
    TbsSkinTabSheet *bsSkinTabSheet1 = nullptr, *bsSkinTabSheet2 = nullptr;
    TbsSkinTabSheet* FilterSheet = nullptr; // "滤镜设置"
    TbsSkinButton *bsSkinButton3 = nullptr, *bsSkinButton2 = nullptr;
    TbsSkinTextLabel *bsSkinTextLabel3 = nullptr, *bsSkinTextLabel2 = nullptr, *bsSkinTextLabel6 = nullptr;
    TbsSkinTextLabel *bsSkinTextLabel4 = nullptr, *bsSkinTextLabel7 = nullptr, *bsSkinTextLabel9 = nullptr;
    TbsSkinComboBox* bsSkinComboBox1 = nullptr;  // frame size
    TbsSkinComboBox* bsSkinComboBox2 = nullptr;  // video bitrate
    TbsSkinComboBox* bsSkinComboBox9 = nullptr;  // frame rate
    TbsSkinComboBox* bsSkinComboBox3 = nullptr;  // audio bitrate
    TbsSkinComboBox* bsSkinComboBox10 = nullptr; // sample rate
    TbsSkinComboBox* bsSkinComboBox4 = nullptr;  // aspect mode
    TbsSkinTabSheet* bsSkinTabSheet3 = nullptr;
    TImage* Image1 = nullptr;

    // The six advanced combo boxes by TAdvancedKind.
    TbsSkinComboBox* AdvancedCombo(TAdvancedKind Kind) const;

protected:
    void CreateWnd() override;

private:
    void CreateProfileRow(TbsSkinData* Skin);
    void CreateSheets(TbsSkinData* Skin);
    void CreateAdvancedCombos(TbsSkinData* Skin);
    void CreateButtonPanel();
    // The twelve category pictures into ImageList1 and the folder picture into Image1.
    void LoadPictures();
    TbsSkinTextLabel* NewTextLabel(TWinControl* Parent, TbsSkinData* Skin, const String& Name, const String& Text,
                                   int Left, int Top);
    TbsSkinComboBox* NewAdvancedCombo(TbsSkinData* Skin, const String& Name, int Left, int Top, int Width,
                                      int TabOrder);
    TButton* NewPlainButton(const String& Name, const String& Caption, int Left, int Top, int Width, int TabOrder,
                            TNotifyEvent AClick);
};

extern TForm6* Form6;
