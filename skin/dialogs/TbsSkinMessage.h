// The skinned message box: a component whose MessageDlg... calls each build a message form in code (an icon,
// the text, a centred row of skinned buttons and, on request, a "do not display this message again" box), frame
// it with the skin, show it modally, return the pressed button's modal result and free the form.
#pragma once

#include "skin/dialogs/TbsSkinDialogComponent.h"

#include <functional>
#include <memory>

#include "platform/ui/Dialogs.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "skin/controls/TbsSkinButton.h"
#include "skin/controls/TbsSkinCheckRadioBox.h"
#include "skin/controls/TbsSkinStdLabel.h"
#include "skin/forms/bsSkinForm.h"

// Lets the owner move a positioned message form before it is shown.
using TbsMessageSetShowPosEvent = std::function<void(int& AX, int& AY, int AWidth, int AHeight)>;

// X below this centres the form on the screen.
constexpr int MessageFormCentred = -10001;

class TbsMessageForm : public TForm {
    QV_CLASS_NAME(TbsMessageForm)
public:
    TbsMessageForm(TComponent* AOwner, int X, int Y);

    void HelpButtonClick(TObject* Sender);
    int HelpContext = 0;
    String HelpFile;

    TbsSkinForm* BSF = nullptr;
    TbsSkinCheckRadioBox* DisplayCheckBox = nullptr;
    TbsSkinStdLabel* Message = nullptr;
};

class TbsSkinMessage : public TbsSkinDialogComponent {
    QV_CLASS_NAME(TbsSkinMessage)
public:
    explicit TbsSkinMessage(TComponent* AOwner);
    ~TbsSkinMessage() override;

    TModalResult MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
    TModalResult MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                               int Y);
    TModalResult MessageDlgHelp(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx,
                                const String& HelpFileName);
    TModalResult MessageDlg2(const String& Msg, const String& ACaption, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                             int HelpCtx);
    TModalResult MessageDlgHelp2(const String& Msg, const String& ACaption, TMsgDlgType DlgType, TMsgDlgButtons Buttons,
                                 int HelpCtx, const String& HelpFileName);
    TModalResult CustomMessageDlg(const String& Msg, const String& ACaption, TCustomImageList* AImages, int AImageIndex,
                                  TMsgDlgButtons Buttons, int HelpCtx);
    TModalResult CustomMessageDlgPos(const String& Msg, const String& ACaption, TCustomImageList* AImages,
                                     int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, int X, int Y);
    TModalResult CustomMessageDlgHelp(const String& Msg, const String& ACaption, TCustomImageList* AImages,
                                      int AImageIndex, TMsgDlgButtons Buttons, int HelpCtx, const String& HelpFileName);
    TModalResult WideMessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx);
    TModalResult WideMessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx, int X,
                                   int Y);

    bool ShowAgainFlag = false;
    // True: the message may be shown again. The box starts ticked while it is false and writes it back.
    bool ShowAgainFlagValue = false;
    bool AlphaBlend = false;
    bool AlphaBlendAnimation = false;
    Byte AlphaBlendValue = 200;
    String ButtonSkinDataName = u"button";
    String MessageLabelSkinDataName = u"stdlabel";
    bool UseSkinFont = true;
    TbsMessageSetShowPosEvent OnSetShowPos;

    TFont* DefaultButtonFont() const { return FDefaultButtonFont.get(); }
    void SetDefaultButtonFont(TFont* Value) { FDefaultButtonFont->Assign(Value); }

    // The caption of a button, or of a kind of message: the skin's text for its key, or the built-in English.
    String MsgButtonCaption(TMsgDlgBtn Button) const;
    String MsgDialogCaption(TMsgDlgType DlgType) const;

    // The icon of a message form: the system icon of a kind of message, or an image of a list.
    struct TIconSource {
        bool System = true;
        TMsgDlgType DlgType = mtCustom;
        TCustomImageList* Images = nullptr;
        int ImageIndex = -1;
    };
    // Builds the message form, unshown, owned by the application; X below -10000 centres it. Without
    // WithShowAgainBox (the wide variants) there is never a show-again box.
    TbsMessageForm* CreateSkinMessageForm(const String& Msg, const String& Caption, const TIconSource& Icon,
                                          TMsgDlgButtons Buttons, bool WithShowAgainBox, int X, int Y);

private:
    // Shows a built form with the help context (and file), moves a positioned one through OnSetShowPos, returns
    // the modal result, reads the show-again box back and frees the form.
    TModalResult Show(TbsMessageForm* Form, int HelpCtx, const String* HelpFileName, bool Positioned);

    std::unique_ptr<TFont> FDefaultButtonFont;
};
