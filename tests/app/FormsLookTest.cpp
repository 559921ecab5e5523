// What the forms show: a skin switch re-skins every form's frame and skinned parts, every text has a glyph in the
// installed fonts, and the About dialog's contents.
#include "AppFixture.h"

#include <vector>

#include "platform/gdi/WinText.h"
#include "platform/win/WinExtras.h"

namespace {

class FormsLookTest : public AppTest {
protected:
    // The three forms side by side, so that none covers another's caption or buttons.
    void ShowForms() {
        Form1->Show();
        Form2->Show();
        Form5->Show();
        Pump();
        Form1->SetBounds(0, 0, Form1->Width(), Form1->Height());
        Form2->SetBounds(900, 0, Form2->Width(), Form2->Height());
        Form5->SetBounds(1300, 0, Form5->Width(), Form5->Height());
        Pump();
    }
    // Each form's client area keeps its size whatever frame the skin draws.
    static void ExpectClientSizes() {
        EXPECT_EQ(Form1->ClientRect(), Rect(0, 0, 839, 522));
        EXPECT_EQ(Form2->ClientRect(), Rect(0, 0, 338, 267));
        EXPECT_EQ(Form5->ClientRect(), Rect(0, 0, 542, 550));
    }
    // A row of pixels across the left part of a skinned button, on the screen.
    static std::vector<COLORREF> Probe(TControl* Button) {
        std::vector<COLORREF> Row;
        for (int X = 1; X < 12; ++X) {
            const TPoint P = Button->ClientToScreen({X, Button->Height() / 2});
            Row.push_back(ScreenPixel(P.X, P.Y));
        }
        return Row;
    }
    // A row of pixels across the middle of the form's caption band, from its left quarter to its centre.
    static std::vector<COLORREF> ProbeCaption(TForm* Form) {
        const int CaptionMiddle = (Form->ClientToScreen({0, 0}).Y - Form->Top()) / 2;
        std::vector<COLORREF> Row;
        for (int X = Form->Width() / 4; X < Form->Width() / 2; X += 4)
            Row.push_back(ScreenPixel(Form->Left() + X, Form->Top() + CaptionMiddle));
        return Row;
    }
    std::vector<std::vector<COLORREF>> ProbeForms() {
        return {ProbeCaption(Form1),          ProbeCaption(Form2),         ProbeCaption(Form5),
                Probe(Form1->bsSkinButton19), Probe(Form1->bsSkinButton5), Probe(Form2->bsSkinButton1),
                Probe(Form5->bsSkinButton6)};
    }
};

void CollectTexts(TComponent* Owner, std::vector<String>& Texts) {
    for (int I = 0; I < Owner->ComponentCount(); ++I) {
        TComponent* C = Owner->Components(I);
        if (auto* Control = dynamic_cast<TControl*>(C)) {
            Texts.push_back(Control->Caption());
            Texts.push_back(Control->Hint());
        }
        if (auto* Item = dynamic_cast<TMenuItem*>(C))
            Texts.push_back(Item->Caption());
        if (auto* Box = dynamic_cast<TComboBox*>(C))
            for (int K = 0; K < Box->Items()->Count(); ++K)
                Texts.push_back(Box->Items()->Strings(K));
        if (auto* List = dynamic_cast<TCustomListView*>(C))
            for (int K = 0; K < List->ColumnCount(); ++K)
                Texts.push_back(List->Columns(K)->Caption());
    }
}

} // namespace

TEST_F(FormsLookTest, ASkinSwitchReskinsEveryFormAndSwitchingBackRestoresIt) {
    StartProgram();
    ShowForms();
    ASSERT_EQ(Form1->bsSkinData1->SkinIndex(), 0);
    const auto First = ProbeForms();
    ExpectClientSizes();
    Form1->bsSkinData1->SetSkinIndex(4);
    Pump();
    ExpectClientSizes();
    const auto Changed = ProbeForms();
    for (std::size_t I = 0; I < First.size(); ++I)
        EXPECT_NE(First[I], Changed[I]) << "probe " << I;
    Form1->bsSkinData1->SetSkinIndex(0);
    Pump();
    ExpectClientSizes();
    EXPECT_EQ(ProbeForms(), First);
}

TEST_F(FormsLookTest, EveryTextOfTheWindowsAndMenusHasAGlyph) {
    StartProgram();
    std::vector<String> Texts;
    for (TComponent* Form : std::initializer_list<TComponent*>{Form1, Form2, Form5})
        CollectTexts(Form, Texts);
    Texts.push_back(Application->Title());
    int Checked = 0;
    for (const String& Text : Texts)
        for (Char C : Text) {
            if (C < 0x20)
                continue;
            EXPECT_TRUE(FontHasGlyph(char32_t(C))) << UTF8Encode(Text) << " U+" << std::hex << int(C);
            ++Checked;
        }
    EXPECT_GT(Checked, 0);
}

TEST_F(FormsLookTest, TheAboutDialogShowsTheTitleVersionAndTheProjectsAddresses) {
    std::vector<String> Opened;
    auto Saved = SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
    StartProgram();
    EXPECT_EQ(Form2->Caption(), u"关于软件");
    EXPECT_EQ(Form2->ClientWidth(), 338);
    EXPECT_EQ(Form2->ClientHeight(), 267);
    EXPECT_EQ(Form2->TitleLabel->Caption(), u"Quorvane");
    EXPECT_EQ(Form2->VersionLabel->Caption(), u"版本:7.3.5.0");
    EXPECT_EQ(Form2->Image1->Picture()->Width(), 53);
    EXPECT_EQ(Form2->bsSkinButton1->BoundsRect(), Bounds(220, 204, 87, 25));
    Form2->bsSkinLinkLabel1->OnClick(nullptr);
    Form2->bsSkinLinkLabel2->OnClick(nullptr);
    EXPECT_EQ(Opened, (std::vector<String>{TForm1::HomePageURL, u"mailto:" + TForm1::SupportMail}));
    Form2->Show();
    Form2->bsSkinButton1Click(nullptr);
    EXPECT_FALSE(Form2->Visible());
    SetShellLauncher(std::move(Saved));
}
