// The options dialog: the worker-thread priority, the number of files converted at once, the live preview, what
// to do with an existing output file and after a batch. Its controls are the live batch options; the section
// "Options" of option.ini is read when the dialog is created and written by its OK button.
#pragma once

#include <vector>

#include "platform/base/IniFiles.h"
#include "platform/base/Threads.h"
#include "platform/ui/ComboBoxes.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/ui/Tabs.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/controls/bsSkinTabs.h"
#include "skin/forms/bsSkinForm.h"

class TForm5 : public TForm {
    QV_CLASS_NAME(TForm5)
public:
    explicit TForm5(TComponent* AOwner);
    ~TForm5() override;

protected:
    void CreateWnd() override;

public:
    void FormCreate(TObject* Sender);
    void Button1Click(TObject* Sender); // read the section into the controls
    void Button2Click(TObject* Sender); // write the controls into the section
    void bsSkinButton6Click(TObject* Sender);
    void bsSkinButton1Click(TObject* Sender);
    void bsSkinCheckRadioBox7Click(TObject* Sender);
    void bsSkinCheckRadioBox8Click(TObject* Sender);

    TbsSkinForm* bsSkinForm1 = nullptr;
    TbsSkinPageControl* bsSkinPageControl1 = nullptr;
    TbsSkinTabSheet *bsSkinTabSheet1 = nullptr, *bsSkinTabSheet2 = nullptr;
    TbsSkinGroupBox *bsSkinPanel4 = nullptr, *bsSkinPanel2 = nullptr, *bsSkinPanel3 = nullptr;
    TbsSkinGroupBox* bsSkinPanel1 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox9 = nullptr, *bsSkinCheckRadioBox10 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox11 = nullptr, *bsSkinCheckRadioBox12 = nullptr;
    TbsSkinStdLabel* bsSkinStdLabel1 = nullptr;
    // The class library's combo box until the skinned one exists.
    TComboBox* bsSkinComboBox2 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox7 = nullptr, *bsSkinCheckRadioBox8 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox1 = nullptr, *bsSkinCheckRadioBox2 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox4 = nullptr, *bsSkinCheckRadioBox5 = nullptr;
    TbsSkinCheckRadioBox *bsSkinCheckRadioBox3 = nullptr, *bsSkinCheckRadioBox6 = nullptr;
    TbsSkinButton *bsSkinButton6 = nullptr, *bsSkinButton1 = nullptr;
    TPanel* Panel1 = nullptr;
    TButton *Button1 = nullptr, *Button2 = nullptr;

    // The worker-thread priority the checked box stands for.
    TThreadPriority ThreadPriority() const;

private:
    void ReadThreadCount();
    void ReadAfterDone();
    void ReadThreadPriority();
    void ReadOverwriteFile();
    void ReadShowPreview();
    void WriteDefaults();
    void ReadRadioGroup(const String& Key, const std::vector<TbsSkinCheckRadioBox*>& Boxes, int Default);
    void WriteRadioGroup(TCustomIniFile& Ini, const String& Key, const std::vector<TbsSkinCheckRadioBox*>& Boxes);
};

extern TForm5* Form5;
