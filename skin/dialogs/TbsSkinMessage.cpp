#include "skin/dialogs/TbsSkinMessage.h"

#include <algorithm>

#include "platform/gdi/Resources.h"
#include "platform/shell/ShellLauncher.h"

namespace {

struct TButtonEntry {
    const char16_t* Name;
    TModalResult Result;
    const char16_t* Key;
    const char16_t* Caption;
};

// Indexed by TMsgDlgBtn, in the order the buttons are laid out.
const TButtonEntry ButtonTable[] = {
    {u"Yes", mrYes, u"MSG_BTN_YES", u"&Yes"},
    {u"No", mrNo, u"MSG_BTN_NO", u"&No"},
    {u"OK", mrOk, u"MSG_BTN_OK", u"OK"},
    {u"Cancel", mrCancel, u"MSG_BTN_CANCEL", u"Cancel"},
    {u"Abort", mrAbort, u"MSG_BTN_ABORT", u"&Abort"},
    {u"Retry", mrRetry, u"MSG_BTN_RETRY", u"&Retry"},
    {u"Ignore", mrIgnore, u"MSG_BTN_IGNORE", u"&Ignore"},
    {u"All", mrAll, u"MSG_BTN_ALL", u"&All"},
    {u"NoToAll", mrNoToAll, u"MSG_BTN_NOTOALL", u"N&oToAll"},
    {u"YesToAll", mrYesToAll, u"MSG_BTN_YESTOALL", u"&YesToAll"},
    {u"Help", mrNone, u"MSG_BTN_HELP", u"&Help"},
    {u"Close", mrClose, u"MSG_BTN_CLOSE", u"Close"},
};

struct TTypeEntry {
    const char16_t* Key;
    const char16_t* Caption;
    LPCWSTR Icon;
};

// Indexed by TMsgDlgType; a custom message has neither caption nor icon of its own.
const TTypeEntry TypeTable[] = {
    {u"MSG_CAP_WARNING", u"Warning", IDI_EXCLAMATION},
    {u"MSG_CAP_ERROR", u"Error", IDI_HAND},
    {u"MSG_CAP_INFORMATION", u"Information", IDI_ASTERISK},
    {u"MSG_CAP_CONFIRM", u"Confirm", IDI_QUESTION},
    {nullptr, nullptr, nullptr},
};

const char16_t* const ShowAgainKey = u"MSG_CAP_SHOWFLAG";
const char16_t* const ShowAgainText = u"Do not display this message again";

constexpr TMsgDlgBtn AllButtons[] = {mbYes,    mbNo,  mbOK,      mbCancel,   mbAbort, mbRetry,
                                     mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp,  mbClose};

TbsResourceStrData* Strings(TbsSkinData* SD) {
    return SD ? SD->ResourceStrData() : nullptr;
}

// The button taking Enter, then the one taking Esc.
TMsgDlgBtn DefaultButton(TMsgDlgButtons B, bool& Found) {
    Found = true;
    if (B.Contains(mbOK))
        return mbOK;
    if (B.Contains(mbYes))
        return mbYes;
    Found = B.Contains(mbRetry);
    return mbRetry;
}
TMsgDlgBtn CancelButton(TMsgDlgButtons B) {
    if (B.Contains(mbCancel))
        return mbCancel;
    if (B.Contains(mbNo))
        return mbNo;
    return mbOK;
}

} // namespace

TbsMessageForm::TbsMessageForm(TComponent* AOwner, int X, int Y) : TForm(AOwner) {
    SetBorderStyle(bsDialog);
    SetKeyPreview(true);
    if (X < -10000)
        SetPosition(poScreenCenter);
    else {
        SetLeft(X);
        SetTop(Y);
    }
    BSF = new TbsSkinForm(this);
    BSF->SetBorderIcons({});
}

// The help file opens in the desktop's handler, which cannot be pointed at a topic: the whole file shows. The
// form's own file (the help variants') comes first, then the application's; a bare name lies beside the program.
// The message stays open either way.
void TbsMessageForm::HelpButtonClick(TObject*) {
    String File = HelpFile.empty() && Application ? Application->HelpFile() : HelpFile;
    if (File.empty())
        return;
    if (File.front() != u'/')
        File = GetAppPath() + File;
    String Error;
    if (!FileExists(File))
        Error = Format(u"Cannot find the help file \"%s\".", {File});
    else if (ShellLauncher().Open(File, ExtractFilePath(File), Error))
        return;
    TbsSkinMessage Notice(nullptr);
    Notice.SetSkinData(BSF->SkinData());
    Notice.SetCtrlSkinData(BSF->MenusSkinData());
    Notice.MessageDlg(Error, mtError, {mbOK}, 0);
}

TbsSkinMessage::TbsSkinMessage(TComponent* AOwner)
    : TbsSkinDialogComponent(AOwner), FDefaultButtonFont(std::make_unique<TFont>()) {
    InitDialogFont(FDefaultButtonFont.get());
}

TbsSkinMessage::~TbsSkinMessage() = default;

String TbsSkinMessage::MsgButtonCaption(TMsgDlgBtn Button) const {
    const TButtonEntry& E = ButtonTable[Button];
    if (TbsResourceStrData* S = Strings(FCtrlFSD))
        return S->GetResStr(E.Key);
    return E.Caption;
}

String TbsSkinMessage::MsgDialogCaption(TMsgDlgType DlgType) const {
    const TTypeEntry& E = TypeTable[DlgType];
    if (!E.Key)
        return Application->Title();
    if (TbsResourceStrData* S = Strings(FCtrlFSD))
        return S->GetResStr(E.Key);
    return E.Caption;
}

TbsMessageForm* TbsSkinMessage::CreateSkinMessageForm(const String& Msg, const String& Caption, const TIconSource& Icon,
                                                      TMsgDlgButtons Buttons, bool WithShowAgainBox, int X, int Y) {
    auto* Form = new TbsMessageForm(Application, X, Y);
    Form->BSF->SetSkinData(FSD);
    Form->BSF->SetMenusSkinData(FCtrlFSD);
    Form->BSF->SetAlphaBlend(AlphaBlend);
    Form->BSF->SetAlphaBlendAnimation(AlphaBlendAnimation);
    Form->BSF->SetAlphaBlendValue(AlphaBlendValue);

    const int ButtonWidth = 70, ButtonSpacing = 10;
    int ButtonHeight = 25;
    if (FCtrlFSD && !FCtrlFSD->Empty) {
        const int I = FCtrlFSD->GetControlIndex(ButtonSkinDataName);
        if (I != -1)
            if (auto* R = dynamic_cast<TbsDataSkinButtonControl*>(FCtrlFSD->CtrlList[std::size_t(I)].get()))
                ButtonHeight = R->SkinRect.Bottom - R->SkinRect.Top;
    }
    const int N = int(Buttons.Count());
    const int RowWidth = N > 0 ? N * ButtonWidth + (N - 1) * ButtonSpacing : 0;

    Form->SetCaption(Caption);

    auto* Label = new TbsSkinStdLabel(Form);
    Label->SetName(u"Message");
    Form->Message = Label;
    Label->SetParent(Form);
    Label->Font()->Assign(FDefaultFont.get());
    Label->SetDefaultFont(FDefaultFont.get());
    Label->SetUseSkinFont(UseSkinFont);
    Label->SetSkinDataName(MessageLabelSkinDataName);
    Label->SetSkinData(FCtrlFSD);
    Label->SetAutoSize(true);
    Label->SetCaption(Msg);
    Label->SetLeft(50);
    Label->SetTop(15);
    const int TextRight = Label->Left() + Label->Width();
    const int LabelMiddle = Label->Top() + Label->Height() / 2;

    if (Icon.System && TypeTable[Icon.DlgType].Icon) {
        auto* Image = new TImage(Form);
        Image->SetName(u"Image");
        Image->SetParent(Form);
        Image->Picture()->Icon()->SetHandle(CopyIcon(LoadIcon(nullptr, TypeTable[Icon.DlgType].Icon)));
        Image->SetBounds(5, std::max(LabelMiddle - 16, 10), 32, 32);
    } else if (!Icon.System && Icon.Images && Icon.ImageIndex >= 0 && Icon.ImageIndex < Icon.Images->Count()) {
        auto* Image = new TImage(Form);
        Image->SetName(u"Image");
        Image->SetParent(Form);
        Image->SetTransparent(true);
        Icon.Images->GetBitmap(Icon.ImageIndex, Image->Picture()->Bitmap());
        Image->SetBounds(5, LabelMiddle - 16, Icon.Images->Width(), Icon.Images->Height());
    }

    Form->SetClientHeight(ButtonHeight + Label->Height() + 50);
    Form->SetClientWidth(RowWidth < TextRight ? TextRight + 40 : RowWidth + 40);

    if (WithShowAgainBox && ShowAgainFlag) {
        Form->SetClientHeight(Form->ClientHeight() + 40);
        auto* Box = new TbsSkinCheckRadioBox(Form);
        Box->SetName(u"checkbox");
        Form->DisplayCheckBox = Box;
        Box->SetDefaultHeight(30);
        Box->SetChecked(!ShowAgainFlagValue);
        Box->SetParent(Form);
        Box->SetDefaultFont(FDefaultFont.get());
        Box->SetUseSkinFont(UseSkinFont);
        Box->SetSkinData(FCtrlFSD);
        Box->SetTop(Form->ClientHeight() - ButtonHeight - 50);
        String Text = ShowAgainText;
        if (TbsResourceStrData* S = Strings(FCtrlFSD)) {
            const String Skinned = S->GetResStr(ShowAgainKey);
            if (!Skinned.empty())
                Text = Skinned;
        }
        Box->SetCaption(Text);
        TCanvas* C = Form->Canvas();
        if (Box->FIndex != -1 && UseSkinFont) {
            C->Font()->SetName(Box->FontName);
            C->Font()->SetHeight(Box->FontHeight);
        } else
            C->Font()->Assign(FDefaultFont.get());
        const int W = C->TextWidth(Text) + 30;
        if (Form->ClientWidth() < W + 30)
            Form->SetClientWidth(W + 30);
        Box->SetBounds(5, Box->Top(), W + 25, Box->DefaultHeight());
    }

    const int MaxWidth = Form->BSF->GetMaxWidth(), MinWidth = Form->BSF->GetMinWidth();
    if (MaxWidth < Form->Width())
        Form->SetWidth(MaxWidth);
    else if (MinWidth > Form->Width())
        Form->SetWidth(MinWidth);

    bool HasDefault = false;
    const TMsgDlgBtn Default = DefaultButton(Buttons, HasDefault);
    const TMsgDlgBtn Cancel = CancelButton(Buttons);
    int X0 = (Form->ClientWidth() - RowWidth) / 2;
    for (TMsgDlgBtn B : AllButtons) {
        if (!Buttons.Contains(B))
            continue;
        const TButtonEntry& E = ButtonTable[B];
        auto* Button = new TbsSkinButton(Form);
        Button->SetName(E.Name);
        Button->SetParent(Form);
        Button->SetTabStop(true);
        Button->SetCaption(MsgButtonCaption(B));
        Button->SetModalResult(E.Result);
        Button->SetDefault(HasDefault && B == Default);
        Button->SetCancel(B == Cancel);
        Button->SetDefaultHeight(ButtonHeight);
        Button->SetBounds(X0, Form->ClientHeight() - ButtonHeight - 10, ButtonWidth, ButtonHeight);
        Button->SetDefaultFont(FDefaultButtonFont.get());
        Button->SetUseSkinFont(UseSkinFont);
        if (B == mbHelp)
            Button->OnClick = [Form](TObject* Sender) { Form->HelpButtonClick(Sender); };
        Button->SetSkinDataName(ButtonSkinDataName);
        Button->SetSkinData(FCtrlFSD);
        X0 += ButtonWidth + ButtonSpacing;
    }
    return Form;
}

TModalResult TbsSkinMessage::Show(TbsMessageForm* Form, int HelpCtx, const String* HelpFileName, bool Positioned) {
    std::unique_ptr<TbsMessageForm> Owned(Form);
    Form->HelpContext = HelpCtx;
    if (HelpFileName)
        Form->HelpFile = *HelpFileName;
    if (Positioned && OnSetShowPos) {
        int X = Form->Left(), Y = Form->Top();
        OnSetShowPos(X, Y, Form->Width(), Form->Height());
        Form->SetLeft(X);
        Form->SetTop(Y);
    }
    struct ReadBack {
        TbsSkinMessage& Self;
        TbsMessageForm& Form;
        ~ReadBack() {
            if (Form.DisplayCheckBox)
                Self.ShowAgainFlagValue = !Form.DisplayCheckBox->Checked();
        }
    } Guard{*this, *Form};
    return Form->ShowModal();
}

TModalResult TbsSkinMessage::MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
    return Show(CreateSkinMessageForm(Msg, MsgDialogCaption(DlgType), {true, DlgType}, Buttons, true,
                                      MessageFormCentred, MessageFormCentred),
                HelpCtx, nullptr, false);
}

TModalResult TbsSkinMessage::MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                           int X, int Y) {
    return Show(CreateSkinMessageForm(Msg, MsgDialogCaption(DlgType), {true, DlgType}, Buttons, true, X, Y), HelpCtx,
                nullptr, true);
}

TModalResult TbsSkinMessage::MessageDlgHelp(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                            const String& HelpFileName) {
    return Show(CreateSkinMessageForm(Msg, MsgDialogCaption(DlgType), {true, DlgType}, Buttons, true,
                                      MessageFormCentred, MessageFormCentred),
                HelpCtx, &HelpFileName, false);
}

TModalResult TbsSkinMessage::MessageDlg2(const String& Msg, const String& ACaption, TMsgDlgType DlgType,
                                         TMsgDlgButtons Buttons, int HelpCtx) {
    return Show(
        CreateSkinMessageForm(Msg, ACaption, {true, DlgType}, Buttons, true, MessageFormCentred, MessageFormCentred),
        HelpCtx, nullptr, false);
}

TModalResult TbsSkinMessage::MessageDlgHelp2(const String& Msg, const String& ACaption, TMsgDlgType DlgType,
                                             TMsgDlgButtons Buttons, int HelpCtx, const String& HelpFileName) {
    return Show(
        CreateSkinMessageForm(Msg, ACaption, {true, DlgType}, Buttons, true, MessageFormCentred, MessageFormCentred),
        HelpCtx, &HelpFileName, false);
}

TModalResult TbsSkinMessage::CustomMessageDlg(const String& Msg, const String& ACaption, TCustomImageList* AImages,
                                              int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx) {
    return Show(CreateSkinMessageForm(Msg, ACaption, {false, mtCustom, AImages, AImageIndex}, Buttons, true,
                                      MessageFormCentred, MessageFormCentred),
                HelpCtx, nullptr, false);
}

TModalResult TbsSkinMessage::CustomMessageDlgPos(const String& Msg, const String& ACaption, TCustomImageList* AImages,
                                                 int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y) {
    return Show(CreateSkinMessageForm(Msg, ACaption, {false, mtCustom, AImages, AImageIndex}, Buttons, true, X, Y),
                HelpCtx, nullptr, true);
}

TModalResult TbsSkinMessage::CustomMessageDlgHelp(const String& Msg, const String& ACaption, TCustomImageList* AImages,
                                                  int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx,
                                                  const String& HelpFileName) {
    return Show(CreateSkinMessageForm(Msg, ACaption, {false, mtCustom, AImages, AImageIndex}, Buttons, true,
                                      MessageFormCentred, MessageFormCentred),
                HelpCtx, &HelpFileName, false);
}

TModalResult TbsSkinMessage::WideMessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                            int HelpCtx) {
    return Show(CreateSkinMessageForm(Msg, MsgDialogCaption(DlgType), {true, DlgType}, Buttons, false,
                                      MessageFormCentred, MessageFormCentred),
                HelpCtx, nullptr, false);
}

// The positioned wide variant is moved to X, Y only: the show-position event is not asked.
TModalResult TbsSkinMessage::WideMessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                               int HelpCtx, int X, int Y) {
    return Show(CreateSkinMessageForm(Msg, MsgDialogCaption(DlgType), {true, DlgType}, Buttons, false, X, Y), HelpCtx,
                nullptr, false);
}
