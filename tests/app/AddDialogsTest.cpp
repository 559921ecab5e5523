// The three add commands through the real skinned dialogs: the open dialogs, the folder picker and the notice
// box are driven with injected input inside their modal loops.
#include "AppFixture.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "platform/base/SysUtils.h"
#include "platform/base/Threads.h"
#include "platform/win/WinExtras.h"
#include "skin/dialogs/TbsSkinMessage.h"
#include "skin/dialogs/TbsSkinOpenDialog.h"
#include "skin/dialogs/TbsSkinSelectDirectoryDialog.h"
#include "support/MediaFixtures.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

namespace fs = std::filesystem;
using namespace qvtest;

const std::string& ShortClip() {
    ClipOptions O;
    O.FileName = "dialogs-clip.avi";
    O.Duration = 1.0;
    O.Streams = {VideoStream("mpeg4", 160, 120), AudioStream("mp2")};
    return WriteClip(O);
}

// A step for the next modal form of class F that shows; the runner skips forms of other classes.
using TStep = std::function<bool(TCustomForm*)>;
template <class F> TStep On(std::function<void(F*)> Act) {
    return [Act](TCustomForm* Form) {
        auto* Typed = dynamic_cast<F*>(Form);
        if (Typed)
            Act(Typed);
        return Typed != nullptr;
    };
}

class AddDialogsTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        StartProgram();
        Form1->Show();
        Pump();
    }
    void TearDown() override {
        Application->OnIdle = nullptr;
        bool CanClose = true;
        Form1->FormCloseQuery(Form1, CanClose);
        Form1->FFConv->ClearTasks();
        delete Form6;
        delete Form5;
        delete Form2;
        delete Form1;
        AppTest::TearDown();
    }

    // Runs Command with Steps served, in order, each on the first shown modal form it matches. Every step must
    // have run by the time the command returns.
    void Run(void (TForm1::*Command)(TObject*), std::vector<TStep> Steps) {
        std::size_t Next = 0;
        TCustomForm* Done = nullptr;
        std::vector<String> Unexpected;
        Application->OnIdle = [&](TObject*) {
            TCustomForm* Active = Screen->ActiveForm();
            if (!Active || Active == Form1 || Active == Done)
                return;
            // A form no step is left for would hold the test: it is closed and named in the failure.
            if (Next >= Steps.size()) {
                Unexpected.push_back(Active->Caption());
                Active->SetModalResult(mrCancel);
                return;
            }
            if (Steps[Next](Active)) {
                Done = Active;
                ++Next;
            }
        };
        (Form1->*Command)(nullptr);
        Application->OnIdle = nullptr;
        EXPECT_EQ(Next, Steps.size()) << "not every dialog showed";
        EXPECT_EQ(Unexpected, std::vector<String>{}) << "forms shown that no step expected";
    }

    // Types Text into the open dialog's name edit key by key, then presses Enter there: a folder is shown, a name
    // in the shown folder is opened.
    static void TypeName(TbsOpenDlgForm* F, const String& Text) {
        uitest::ClickAt(F->FileNameEdit);
        ProcessPendingMessages();
        InjectKey(VK_CONTROL, true);
        InjectKeyPress('A');
        InjectKey(VK_CONTROL, false);
        for (Char C : Text)
            InjectChar(C);
        ProcessPendingMessages();
        InjectKeyPress(VK_RETURN);
        ProcessPendingMessages();
    }
    static void Escape(TCustomForm*) {
        InjectKeyPress(VK_ESCAPE);
        ProcessPendingMessages();
    }
    // Reads the notice's caption and text, then presses Enter.
    TStep Notice() {
        return On<TbsMessageForm>([this](TbsMessageForm* F) {
            auto* Text = dynamic_cast<TControl*>(F->FindComponent(u"Message"));
            Notices.push_back(F->Caption() + u"|" + (Text ? Text->Caption() : String()));
            InjectKeyPress(VK_RETURN);
            ProcessPendingMessages();
        });
    }

    String Copy(const std::string& Name) {
        fs::copy_file(ShortClip(), In.Folder() / Name, fs::copy_options::overwrite_existing);
        return In.File(Name);
    }
    std::vector<String> Captions() const {
        std::vector<String> Result;
        for (int I = 0; I < Form1->lvFiles->Items()->Count(); ++I)
            Result.push_back(Form1->lvFiles->Items()->Item(I)->Caption());
        return Result;
    }

    TTempDir In;
    std::vector<String> Notices;
};

} // namespace

TEST_F(AddDialogsTest, OneFileTypedIntoTheOpenDialogBecomesTheSelectedRow) {
    const String Clip = Copy("clip.avi");
    String Title;
    Run(&TForm1::btnAddClick, {On<TbsOpenDlgForm>([&](TbsOpenDlgForm* F) {
        Title = F->Caption();
        TypeName(F, In.Path()); // the folder first, then the name in it, as the dialog takes them
        TypeName(F, u"clip.avi");
    })});
    EXPECT_EQ(Title, u"打开文件");
    EXPECT_EQ(Captions(), std::vector<String>{Clip});
    EXPECT_EQ(Form1->lvFiles->ItemIndex(), 0);
    EXPECT_EQ(JobColumnText(Form1->lvFiles->Items()->Item(0), jcDuration), u"00:00:01");
    EXPECT_TRUE(
        FileExists(Form1->FileOutPutPath + u"/" + JobColumnText(Form1->lvFiles->Items()->Item(0), jcOutputFile)));

    // A typed name that names no file keeps the dialog open; Escape then adds nothing.
    Run(&TForm1::btnAddClick, {On<TbsOpenDlgForm>([&](TbsOpenDlgForm* F) {
        TypeName(F, In.Path());
        TypeName(F, u"missing.avi");
        EXPECT_EQ(F->ModalResult(), mrNone);
        Escape(F);
    })});
    EXPECT_EQ(Captions().size(), 1u);
}

TEST_F(AddDialogsTest, SeveralFilesChosenTogetherAreAddedLastFirst) {
    const String A = Copy("a.avi"), B = Copy("b.avi"), C = Copy("c.avi");
    Run(&TForm1::Button8Click, {On<TbsOpenDlgForm>([&](TbsOpenDlgForm* F) {
        TypeName(F, In.Path()); // a folder typed into the name edit is shown
        TbsSkinFileListView* L = F->FileListView;
        for (int I = 0; I < L->FolderCount(); ++I) {
            const String N = L->GetFolder(I)->DisplayName();
            if (N == u"a.avi" || N == u"b.avi" || N == u"c.avi") {
                const TRect R = L->Items()->Item(I)->DisplayRect(drBounds);
                const TPoint P = L->ClientToScreen(Point(R.Left + 8, (R.Top + R.Bottom) / 2));
                InjectKey(VK_CONTROL, true);
                InjectClick(P.X, P.Y);
                InjectKey(VK_CONTROL, false);
                ProcessPendingMessages();
            }
        }
        uitest::ClickAt(F->OpenButton);
        ProcessPendingMessages();
    })});
    EXPECT_EQ(Captions(), (std::vector<String>{C, B, A}));
    EXPECT_EQ(Form1->lvFiles->ItemIndex(), 2);

    Run(&TForm1::Button8Click, {On<TbsOpenDlgForm>(Escape)});
    EXPECT_EQ(Captions().size(), 3u);
}

TEST_F(AddDialogsTest, AFolderFromThePickerAndItsNoticeWhenNothingInItIsUsable) {
    Copy("clip.avi");
    std::ofstream(In.Folder() / "notes.txt") << "not a media file\n";
    fs::create_directory(In.Folder() / "sub");
    fs::copy_file(ShortClip(), In.Folder() / "sub" / "deeper.avi");
    TbsSkinSelectDirectoryDialog* Picker = Form1->bsSkinSelectDirectoryDialog1;
    Picker->SetDirectory(In.Path());
    String Title;
    Run(&TForm1::Button12Click, {On<TbsSelDirDlgForm>([&](TbsSelDirDlgForm* F) {
        Title = F->Caption();
        uitest::ClickAt(F->OkButton);
        ProcessPendingMessages();
    })});
    EXPECT_EQ(Title, u"选择目录");
    EXPECT_EQ(Captions(), std::vector<String>{In.File("clip.avi")});
    EXPECT_TRUE(Notices.empty());

    // Cancel does not add the folder the picker held again.
    Run(&TForm1::Button12Click, {On<TbsSelDirDlgForm>(Escape)});
    EXPECT_EQ(Captions().size(), 1u);

    // A folder with nothing usable: the notice through the skinned message box.
    TTempDir Empty;
    std::ofstream(Empty.Folder() / "readme.txt") << "text\n";
    Picker->SetDirectory(Empty.Path());
    Run(&TForm1::Button12Click, {On<TbsSelDirDlgForm>([](TbsSelDirDlgForm* F) {
                                     uitest::ClickAt(F->OkButton);
                                     ProcessPendingMessages();
                                 }),
                                 Notice()});
    EXPECT_EQ(Notices, std::vector<String>{u"提示|在该目录没有发现可以用的视频或音频文件！"});
    EXPECT_EQ(Captions().size(), 1u);
}

TEST_F(AddDialogsTest, RemoveAndRenameWithoutASelectionShowTheirNotices) {
    Run(&TForm1::btnRemoveClick, {Notice()});
    Run(&TForm1::bsSkinButton21Click, {Notice()});
    EXPECT_EQ(Notices, (std::vector<String>{u"提示|请先选择您需要删除的项目！", u"提示|请先选中您需要重命名的项目！"}));
}
