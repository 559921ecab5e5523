#include "app/Unit2.h"

#include "app/ControlBuilders.h"
#include "app/Unit1.h"
#include "platform/shell/ShellLauncher.h"
#include "resources/AppPictures.h"

TForm2* Form2 = nullptr;

namespace {

TLabel* NewLink(TComponent* Owner, TWinControl* Parent, const String& Name, const String& Caption,
                const String& Address, int Left, int Top) {
    auto* Link = new TLabel(Owner);
    Link->SetName(Name);
    Link->SetCaption(Caption);
    Link->SetAutoSize(false);
    Link->SetBounds(Left, Top, 153, 33);
    Link->SetAlignment(taCenter);
    Link->SetLayout(tlCenter);
    Link->Font()->SetStyle({fsUnderline});
    Link->Font()->SetColor(clBlue);
    Link->SetCursor(crHandPoint);
    Link->SetParent(Parent);
    Link->OnClick = [Address](TObject*) {
        // A failure to open the address is not reported.
        String Error;
        ShellLauncher().Open(Address, u"", Error);
    };
    return Link;
}

} // namespace

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner) {
    SetName(u"Form2");
    SetCaption(u"关于软件");
    SetBorderStyle(bsSingle);
    SetBorderIcons({});
    SetPosition(poDesktopCenter);
    SetClientSize(338, 267);
    TbsSkinData* Skin = Form1 ? Form1->bsSkinData1 : nullptr;
    bsSkinForm1 = new TbsSkinForm(this);
    bsSkinForm1->SetName(u"bsSkinForm1");
    bsSkinForm1->SetBorderIcons({TbsBorderIcon::biRollUp});
    bsSkinForm1->SetPositionInMonitor(bspDesktopCenter);
    bsSkinForm1->SetMagnetic(true);
    bsSkinForm1->SetMagneticSize(10);
    bsSkinForm1->SetClientWidth(338);
    bsSkinForm1->SetClientHeight(267);
    bsSkinForm1->SetSkinData(Skin);

    TitleLabel = NewLabel(this, this, Skin, u"Quorvane", 103, 20);
    // The title keeps its own size and weight; its colour follows the skin.
    TitleLabel->SetUseSkinFont(false);
    TitleLabel->Font()->SetSize(14);
    TitleLabel->Font()->SetStyle({fsBold});
    Image1 = new TImage(this);
    Image1->SetName(u"Image1");
    Image1->SetBounds(72, 54, 53, 55);
    {
        const TAppImage& About = AppPicture(apAbout);
        TMemoryStream S;
        S.WriteBuffer(About.Data, std::int64_t(About.Size));
        S.SetPosition(0);
        TPngImage Png;
        Png.LoadFromStream(&S);
        Image1->Picture()->SetGraphic(&Png);
    }
    Image1->SetParent(this);
    VersionLabel = NewLabel(this, this, Skin, u"版本:7.3.5.0", 150, 70);
    HomePageLabel = NewLabel(this, this, Skin, u"官方网站：", 72, 120);
    bsSkinLinkLabel1 = NewLink(this, this, u"bsSkinLinkLabel1", u"quorvane.example.org", TForm1::HomePageURL, 131, 108);
    MailLabel = NewLabel(this, this, Skin, u"支持E-Mail：", 68, 159);
    bsSkinLinkLabel2 =
        NewLink(this, this, u"bsSkinLinkLabel2", TForm1::SupportMail, u"mailto:" + TForm1::SupportMail, 131, 147);

    bsSkinButton1 = new TbsSkinButton(this);
    bsSkinButton1->SetName(u"bsSkinButton1");
    bsSkinButton1->SetSkinData(Skin);
    bsSkinButton1->SetCaption(u"确定");
    bsSkinButton1->SetBounds(220, 204, 87, 25);
    bsSkinButton1->OnClick = [this](TObject* S) { bsSkinButton1Click(S); };
    bsSkinButton1->SetParent(this);
}

TForm2::~TForm2() {
    if (Form2 == this)
        Form2 = nullptr;
}

void TForm2::CreateWnd() {
    TForm::CreateWnd();
    // The skinned frame's size is known only once the window exists: the client area keeps its own.
    SetClientSize(338, 267);
}

void TForm2::bsSkinButton1Click(TObject* Sender) {
    if (FormState().Contains(fsModal))
        SetModalResult(mrOk);
    else
        Close();
}
