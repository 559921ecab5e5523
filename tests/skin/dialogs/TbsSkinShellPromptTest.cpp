// The shell list's delete asks in the skinned message box, in the skins of the list's form: No keeps the file,
// Yes moves it to the trash and the list lists its folder again.
#include "skin/dialogs/TbsSkinShellPrompt.h"

#include "platform/shell/ShellTestTree.h"
#include "platform/win/WinExtras.h"
#include "skin/dialogs/TbsSkinMessage.h"
#include "skin/dialogs/bsSkinShellCtrls.h"
#include "tests/skin/dialogs/DialogFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

class SkinShellPromptTest : public dlgtest::DialogTest {
protected:
    void TearDown() override {
        SetShellPrompt(nullptr);
        dlgtest::DialogTest::TearDown();
    }
};

TEST_F(SkinShellPromptTest, DeletingFromTheListAsksInTheSkinnedMessageBox) {
    TShellTestTree Tree;
    const std::string Dir = Tree.Home + "/视频";
    TShellTestTree::Write(Dir + "/old.avi", "video");
    TForm Form(nullptr);
    Form.SetBounds(50, 50, 500, 300);
    auto* Frame = new TbsSkinForm(&Form);
    auto* FrameSkin = new TbsSkinData(&Form);
    auto* ListSkin = new TbsSkinData(&Form);
    Frame->SetSkinData(FrameSkin);
    auto* List = new TbsSkinFileListView(&Form);
    List->SetParent(&Form);
    List->SetBounds(10, 10, 400, 200);
    List->SetSkinData(ListSkin);
    Form.Show();
    List->SetPath(UTF8ToString(Dir));
    Pump();
    ASSERT_EQ(List->FolderCount(), 1);
    List->Items()->Item(0)->SetSelected(true);

    struct Asked {
        String Caption, Text;
        bool FrameSkinned = false, ButtonsSkinned = false;
        std::vector<std::string> Buttons;
    };
    std::vector<Asked> Questions;
    for (UINT Answer : {UINT(VK_ESCAPE), UINT(VK_RETURN)}) {
        WhenShown<TbsMessageForm>([&, Answer](TbsMessageForm* M) {
            Asked A{M->Caption(), M->Message->Caption(), M->BSF->SkinData() == FrameSkin};
            for (int I = 0; I < M->ComponentCount(); ++I)
                if (auto* B = dynamic_cast<TbsSkinButton*>(M->Components(I))) {
                    A.Buttons.push_back(UTF8Encode(B->Name()) + (B->Default() ? " default" : "") +
                                        (B->Cancel() ? " esc" : ""));
                    A.ButtonsSkinned = B->SkinData() == ListSkin;
                }
            Questions.push_back(A);
            InjectKeyPress(Answer);
        });
        // The context menu's "&Delete".
        InjectKeyPress('D');
        ShowShellContextMenu(List, List->GetFolder(0), 5, 5);
        Pump();
        EXPECT_EQ(fs::exists(Dir + "/old.avi"), Answer == VK_ESCAPE);
    }
    ASSERT_EQ(Questions.size(), 2u);
    for (const Asked& A : Questions) {
        EXPECT_EQ(A.Caption, u"Delete");
        EXPECT_EQ(A.Text, u"Are you sure you want to move \"old.avi\" to the trash?");
        EXPECT_EQ(A.Buttons, (std::vector<std::string>{"Yes default", "No esc"}));
        EXPECT_TRUE(A.FrameSkinned);
        EXPECT_TRUE(A.ButtonsSkinned);
    }
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/.local/share/Trash/files/old.avi"), "video");
    EXPECT_EQ(List->FolderCount(), 0);
}

// A prompt put in place by someone else stays in place when the skinned controls are made.
TEST_F(SkinShellPromptTest, AnotherPromptIsKept) {
    struct TRecording : TShellPrompt {
        int MessageBox(HWND, const String&, const String&, UINT) override { return IDNO; }
    } Own;
    SetShellPrompt(&Own);
    TbsSkinFileListView List(nullptr);
    EXPECT_EQ(&ShellPrompt(), &Own);
    SetShellPrompt(nullptr);
    TbsSkinFileListView Other(nullptr);
    EXPECT_NE(dynamic_cast<TbsSkinShellPrompt*>(&ShellPrompt()), nullptr);
}

} // namespace
