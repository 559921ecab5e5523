// The About dialog: the product title, a picture, the version, the home page and the support mail address.
#pragma once

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "skin/controls/bsSkinCtrls.h"
#include "skin/forms/bsSkinForm.h"

class TForm2 : public TForm {
    QV_CLASS_NAME(TForm2)
public:
    explicit TForm2(TComponent* AOwner);
    ~TForm2() override;

protected:
    void CreateWnd() override;

public:
    void bsSkinButton1Click(TObject* Sender);

    TbsSkinForm* bsSkinForm1 = nullptr;
    TbsSkinStdLabel* TitleLabel = nullptr;
    TImage* Image1 = nullptr;
    TbsSkinStdLabel* VersionLabel = nullptr;
    TbsSkinStdLabel* HomePageLabel = nullptr;
    TbsSkinStdLabel* MailLabel = nullptr;
    // Plain labels that open their address when clicked, until the skinned link label exists.
    TLabel* bsSkinLinkLabel1 = nullptr;
    TLabel* bsSkinLinkLabel2 = nullptr;
    TbsSkinButton* bsSkinButton1 = nullptr;
};

extern TForm2* Form2;
