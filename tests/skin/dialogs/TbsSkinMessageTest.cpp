// The skinned message box: its button rows with their Enter and Esc buttons, captions and icons, the width
// limits, the show-again box, driven inside the modal loop with injected keys; pictures in two stored skins.
#include "skin/dialogs/TbsSkinMessage.h"

#include "platform/gdi/ImgList.h"
#include "platform/shell/ShellLauncher.h"
#include "platform/win/WinExtras.h"
#include "tests/skin/controls/GalleryFixture.h"
#include "tests/skin/dialogs/DialogFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

class SkinMessageTest : public dlgtest::DialogTest {
protected:
    void SetUp() override {
        dlgtest::DialogTest::SetUp();
        Application->SetTitle(u"Quorvane");
        Message = std::make_unique<TbsSkinMessage>(nullptr);
    }
    void TearDown() override {
        Message.reset();
        dlgtest::DialogTest::TearDown();
    }
    void WhenShown(std::function<void(TbsMessageForm*)> Act) { DialogTest::WhenShown<TbsMessageForm>(std::move(Act)); }
    static std::vector<std::string> ButtonNames(TbsMessageForm* Form) {
        std::vector<TbsSkinButton*> Buttons;
        for (int I = 0; I < Form->ComponentCount(); ++I)
            if (auto* B = dynamic_cast<TbsSkinButton*>(Form->Components(I)))
                Buttons.push_back(B);
        std::sort(Buttons.begin(), Buttons.end(), [](auto* A, auto* B) { return A->Left() < B->Left(); });
        std::vector<std::string> Names;
        for (auto* B : Buttons)
            Names.push_back(UTF8Encode(B->Name()) + (B->Default() ? " default" : "") + (B->Cancel() ? " esc" : ""));
        return Names;
    }

    std::unique_ptr<TbsSkinMessage> Message;
};

TEST_F(SkinMessageTest, ButtonRowsTakeEnterAndEscByTheirRules) {
    struct Case {
        TMsgDlgButtons Buttons;
        std::vector<std::string> Row;
        TModalResult Enter, Esc;
    };
    // mrNone: the key closes nothing; -1: not tried (with no default button Enter presses the focused one).
    const Case Cases[] = {
        {{mbOK}, {"OK default esc"}, mrOk, mrOk},
        {{mbOK, mbCancel}, {"OK default", "Cancel esc"}, mrOk, mrCancel},
        {{mbCancel, mbOK}, {"OK default", "Cancel esc"}, mrOk, mrCancel},
        {{mbYes, mbNo}, {"Yes default", "No esc"}, mrYes, mrNo},
        {{mbAbort, mbIgnore}, {"Abort", "Ignore"}, -1, mrNone},
    };
    const TModalResult StillOpen = 100;
    for (const Case& C : Cases) {
        for (UINT Key : {UINT(VK_RETURN), UINT(VK_ESCAPE)}) {
            const TModalResult Expected = Key == VK_RETURN ? C.Enter : C.Esc;
            if (Expected == -1)
                continue;
            std::vector<std::string> Row;
            WhenShown([&](TbsMessageForm* Form) {
                Row = ButtonNames(Form);
                InjectKeyPress(Key);
                Pump();
                if (Form->ModalResult() == mrNone)
                    Form->SetModalResult(StillOpen);
            });
            const TModalResult Result = Message->MessageDlg(u"Go on?", mtConfirmation, C.Buttons, 0);
            EXPECT_EQ(Row, C.Row) << Key;
            EXPECT_EQ(Result, Expected == mrNone ? StillOpen : Expected) << C.Row.front() << " key " << Key;
        }
    }
}

TEST_F(SkinMessageTest, CaptionsAndIconsFollowTheKindOfMessage) {
    EXPECT_EQ(Message->MsgDialogCaption(mtWarning), u"Warning");
    EXPECT_EQ(Message->MsgDialogCaption(mtConfirmation), u"Confirm");
    EXPECT_EQ(Message->MsgButtonCaption(mbClose), u"Close");
    EXPECT_EQ(Message->MsgButtonCaption(mbNoToAll), u"N&oToAll");

    std::unique_ptr<TbsMessageForm> Warning(
        Message->CreateSkinMessageForm(u"Short", Message->MsgDialogCaption(mtWarning), {true, mtWarning}, {mbOK}, true,
                                       MessageFormCentred, MessageFormCentred));
    EXPECT_EQ(Warning->Caption(), u"Warning");
    auto* Icon = dynamic_cast<TImage*>(Warning->FindComponent(u"Image"));
    ASSERT_NE(Icon, nullptr);
    // A one-line label is lower than the icon: the icon stops at 10 from the top.
    EXPECT_LT(Warning->Message->Height(), 22);
    EXPECT_EQ(Icon->BoundsRect(), Bounds(5, 10, 32, 32));
    EXPECT_FALSE(Icon->Picture()->Icon()->Empty());
    EXPECT_EQ(Warning->Message->BoundsRect().Left, 50);
    EXPECT_EQ(Warning->Message->Top(), 15);
    EXPECT_EQ(Warning->BSF->BorderIcons(), TbsBorderIcons{});
    // The default translucency: off, at 200.
    EXPECT_FALSE(Warning->BSF->AlphaBlend());
    EXPECT_EQ(Warning->BSF->AlphaBlendValue(), 200);
    Message->AlphaBlend = true;
    Message->AlphaBlendValue = 150;
    std::unique_ptr<TbsMessageForm> Translucent(Message->CreateSkinMessageForm(
        u"Short", u"Own", {true, mtWarning}, {mbOK}, true, MessageFormCentred, MessageFormCentred));
    EXPECT_TRUE(Translucent->BSF->AlphaBlend());
    EXPECT_EQ(Translucent->BSF->AlphaBlendValue(), 150);

    std::unique_ptr<TbsMessageForm> Custom(Message->CreateSkinMessageForm(u"Short", Message->MsgDialogCaption(mtCustom),
                                                                          {true, mtCustom}, {mbOK}, true, 10, 20));
    EXPECT_EQ(Custom->Caption(), u"Quorvane");
    EXPECT_EQ(Custom->FindComponent(u"Image"), nullptr);
    EXPECT_EQ(Custom->Left(), 10);
    EXPECT_EQ(Custom->Top(), 20);

    // An image of a list has no lower limit; an index outside the list shows none.
    TCustomImageList Images(nullptr, 24, 24);
    TBitmap Strip;
    Strip.SetSize(24, 24);
    Images.Add(&Strip, nullptr);
    std::unique_ptr<TbsMessageForm> Listed(Message->CreateSkinMessageForm(
        u"Short", u"Own", {false, mtCustom, &Images, 0}, {mbOK}, true, MessageFormCentred, MessageFormCentred));
    auto* Image = dynamic_cast<TImage*>(Listed->FindComponent(u"Image"));
    ASSERT_NE(Image, nullptr);
    EXPECT_EQ(Image->BoundsRect(), Bounds(5, Listed->Message->Top() + Listed->Message->Height() / 2 - 16, 24, 24));
    std::unique_ptr<TbsMessageForm> Outside(Message->CreateSkinMessageForm(
        u"Short", u"Own", {false, mtCustom, &Images, 1}, {mbOK}, true, MessageFormCentred, MessageFormCentred));
    EXPECT_EQ(Outside->FindComponent(u"Image"), nullptr);
}

TEST_F(SkinMessageTest, ALongMessageIsClampedToTheFramesWidthWithTheButtonsCentred) {
    const String Long(400, u'W');
    std::unique_ptr<TbsMessageForm> Form(Message->CreateSkinMessageForm(
        Long, u"Long", {true, mtInformation}, {mbOK, mbCancel}, true, MessageFormCentred, MessageFormCentred));
    EXPECT_EQ(Form->Width(), Form->BSF->GetMaxWidth());
    auto* Ok = dynamic_cast<TbsSkinButton*>(Form->FindComponent(u"OK"));
    ASSERT_NE(Ok, nullptr);
    EXPECT_EQ(Ok->Left(), (Form->ClientWidth() - 150) / 2);
    EXPECT_EQ(Ok->Width(), 70);
    EXPECT_EQ(Ok->Top(), Form->ClientHeight() - 25 - 10);

    // A short one: the row decides the width, 40 wider than the row.
    std::unique_ptr<TbsMessageForm> Short(Message->CreateSkinMessageForm(
        u"x", u"Short", {true, mtInformation}, {mbYes, mbNo, mbCancel}, true, MessageFormCentred, MessageFormCentred));
    EXPECT_EQ(Short->ClientWidth(), 3 * 70 + 2 * 10 + 40);
}

TEST_F(SkinMessageTest, TheShowAgainBoxStartsInvertedAndWritesBack) {
    Message->ShowAgainFlag = true;
    for (bool Toggle : {false, true}) {
        Message->ShowAgainFlagValue = false;
        bool StartedTicked = false;
        WhenShown([&](TbsMessageForm* Form) {
            ASSERT_NE(Form->DisplayCheckBox, nullptr);
            StartedTicked = Form->DisplayCheckBox->Checked();
            EXPECT_EQ(Form->DisplayCheckBox->Caption(), u"Do not display this message again");
            if (Toggle)
                Form->DisplayCheckBox->SetChecked(false);
            Form->SetModalResult(mrOk);
        });
        EXPECT_EQ(Message->MessageDlg2(u"Done.", u"Quorvane", mtInformation, {mbOK}, 0), mrOk);
        EXPECT_TRUE(StartedTicked);
        EXPECT_EQ(Message->ShowAgainFlagValue, Toggle);
    }
    // The wide variants have no box and leave the value alone.
    WhenShown([&](TbsMessageForm* Form) {
        EXPECT_EQ(Form->DisplayCheckBox, nullptr);
        Form->SetModalResult(mrOk);
    });
    EXPECT_EQ(Message->WideMessageDlg(u"Done.", mtInformation, {mbOK}, 0), mrOk);
    EXPECT_TRUE(Message->ShowAgainFlagValue);
}

TEST_F(SkinMessageTest, APositionedMessageAsksTheOwnerWhereToGo) {
    int SeenX = 0, SeenW = 0;
    Message->OnSetShowPos = [&](int& X, int& Y, int W, int) {
        SeenX = X;
        SeenW = W;
        X += 5;
        Y = 33;
    };
    TPoint Shown;
    WhenShown([&](TbsMessageForm* Form) {
        Shown = Point(Form->Left(), Form->Top());
        Form->SetModalResult(mrOk);
    });
    EXPECT_EQ(Message->MessageDlgPos(u"Here", mtWarning, {mbOK}, 7, 100, 200), mrOk);
    EXPECT_EQ(SeenX, 100);
    EXPECT_GT(SeenW, 0);
    EXPECT_EQ(Shown, Point(105, 33));
}

TEST_F(SkinMessageTest, TheHelpButtonOpensTheHelpFileAndKeepsTheMessageOpen) {
    TTempDir Dir;
    std::ofstream(Dir.Folder() / "help.chm") << "x";
    SetAppFileName(Dir / u"quorvane");
    Application->SetHelpFile(u"help.chm");
    struct TRecorder : TShellLauncher {
        std::vector<String> Opened;
        bool Open(const String& Target, const String&, String&) override {
            Opened.push_back(Target);
            return true;
        }
    };
    auto Owned = std::make_unique<TRecorder>();
    TRecorder* Launcher = Owned.get();
    auto Old = SetShellLauncher(std::move(Owned));

    struct Case {
        String HelpFileName; // empty: the application's help file
        std::vector<String> Opened;
        String Error; // the error message shown, if any
    };
    const Case Cases[] = {
        {u"", {Dir / u"help.chm"}, u""},
        {Dir / u"manual.chm", {}, u"Cannot find the help file \"" + (Dir / u"manual.chm") + u"\"."},
    };
    for (const Case& C : Cases) {
        Launcher->Opened.clear();
        TModalResult AfterHelp = -1;
        String Error;
        WhenShown([&](TbsMessageForm* Form) {
            // A notice over the message answers OK; the handler stays until the Help button's click returned.
            Application->OnIdle = [&Error, Form](TObject*) {
                auto* Notice = dynamic_cast<TbsMessageForm*>(Screen->ActiveForm());
                if (!Notice || Notice == Form)
                    return;
                Error = Notice->Message->Caption();
                Notice->SetModalResult(mrOk);
            };
            auto* Help = dynamic_cast<TControl*>(Form->FindComponent(u"Help"));
            const TPoint P = Help->ClientToScreen(TPoint{Help->Width() / 2, Help->Height() / 2});
            InjectMouseMove(P.X, P.Y);
            InjectMouseButton(0, true);
            InjectMouseButton(0, false);
            Pump();
            Application->OnIdle = nullptr;
            AfterHelp = Form->ModalResult();
            Form->SetModalResult(mrOk);
            // After the notice's own loop the message's loop waits for a message before it looks again.
            PostMessageW(Form->Handle(), WM_NULL, 0, 0);
        });
        const TModalResult Result =
            C.HelpFileName.empty()
                ? Message->MessageDlg(u"Need help?", mtConfirmation, {mbOK, mbHelp}, 12)
                : Message->MessageDlgHelp(u"Need help?", mtConfirmation, {mbOK, mbHelp}, 12, C.HelpFileName);
        EXPECT_EQ(Result, mrOk);
        EXPECT_EQ(AfterHelp, mrNone);
        EXPECT_EQ(Launcher->Opened, C.Opened);
        EXPECT_EQ(Error, C.Error);
    }
    SetShellLauncher(std::move(Old));
    Application->SetHelpFile(u"");
    SetAppFileName(u"");
}

// Pictures for a person to look at: a warning with two buttons and a long information message with the
// show-again box, in two stored skins and the default look.
class SkinMessageGallery : public ctltest::GalleryTest {
protected:
    SkinMessageGallery() : GalleryTest(200, 100) {}
};

TEST_P(SkinMessageGallery, MessagesInTheSkin) {
    Application->SetTitle(u"Quorvane");
    TbsSkinMessage Message(nullptr);
    if (GetParam() >= 0) {
        Message.SetSkinData(Skin);
        Message.SetCtrlSkinData(Skin);
    }
    Message.ShowAgainFlag = true;
    NewSheet(900, 260);
    int X0 = 10;
    struct Shot {
        const char16_t* Text;
        TMsgDlgType Type;
        TMsgDlgButtons Buttons;
    };
    for (const Shot& S :
         {Shot{u"文件已存在，要覆盖吗？\nThe output file exists. Overwrite it?", mtWarning, {mbOK, mbCancel}},
          Shot{u"转换完成：3 个文件。", mtInformation, {mbOK}}}) {
        std::unique_ptr<TbsMessageForm> Form(Message.CreateSkinMessageForm(S.Text, Message.MsgDialogCaption(S.Type),
                                                                           {true, S.Type}, S.Buttons, true, 0, 0));
        Form->Show();
        Pump();
        const TRect R = Form->BoundsRect();
        PasteScreen(Point(R.Left, R.Top), std::min(R.Width(), 440), std::min(R.Height(), 240), X0, 10);
        X0 += R.Width() + 10;
    }
    SaveSheet("message");
}

INSTANTIATE_TEST_SUITE_P(Skins, SkinMessageGallery, ::testing::Values(-1, 1, 3));

} // namespace
