// The skinned file dialog driven inside its modal loop: names completed from the filter's mask and from the
// default extension, masks and folders typed into the name edit, Cancel keeping the result but storing the
// dialog's state, several files chosen at once, new folders, the Back history, the save mode's extension swap
// and overwrite question, a remembered folder that has gone; pictures in report view in two stored skins.
#include "skin/dialogs/TbsSkinOpenDialog.h"
#include "skin/dialogs/TbsSkinMessage.h"

#include "platform/win/WinExtras.h"
#include "tests/skin/controls/GalleryFixture.h"
#include "tests/skin/dialogs/DialogFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

namespace {

void Touch(const fs::path& P) {
    std::ofstream(P) << "x";
}

class OpenDialogTest : public dlgtest::DialogTest {
protected:
    void SetUp() override {
        dlgtest::DialogTest::SetUp();
        for (const char* Name : {"clip.mp4", "clip", "song.avi", "b.mkv", "a.mkv"})
            Touch(Dir.Folder() / Name);
        fs::create_directory(Dir.Folder() / "A");
        fs::create_directory(Dir.Folder() / "A" / "B");
        Dialog = std::make_unique<TbsSkinOpenDialog>(nullptr);
        Dialog->InitialDir = Dir.Path();
        Dialog->Filter = u"MP4|*.mp4|All files|*.*";
    }
    void TearDown() override {
        Dialog.reset();
        dlgtest::DialogTest::TearDown();
    }
    void WhenShown(std::function<void(TbsOpenDlgForm*)> Act) { DialogTest::WhenShown<TbsOpenDlgForm>(std::move(Act)); }
    // Types Text into the name edit and presses Enter there.
    static void TypeAndEnter(TbsOpenDlgForm* F, const String& Text) {
        F->FileNameEdit->SetText(Text);
        Char Key = u'\r';
        F->EditKeyPress(F->FileNameEdit, Key);
    }
    static void CloseIfOpen(TbsOpenDlgForm* F) {
        if (F->ModalResult() == mrNone)
            F->SetModalResult(mrCancel);
    }
    // The list's rows by display name.
    static std::vector<String> Rows(TbsOpenDlgForm* F) {
        std::vector<String> R;
        for (int I = 0; I < F->FileListView->FolderCount(); ++I)
            R.push_back(F->FileListView->GetFolder(I)->DisplayName());
        return R;
    }
    static bool Shows(TbsOpenDlgForm* F, const char16_t* Name) {
        const auto R = Rows(F);
        return std::find(R.begin(), R.end(), String(Name)) != R.end();
    }

    TTempDir Dir;
    std::unique_ptr<TbsSkinOpenDialog> Dialog;
};

TEST_F(OpenDialogTest, TypedNamesAreCompletedFromTheMaskOrTheDefaultExtension) {
    struct Case {
        const char16_t* DefaultExt;
        int FilterIndex;
        const char16_t* Typed;
        const char16_t* Expected; // empty: the form stays open
    };
    const Case Cases[] = {
        {u"", 1, u"clip", u"clip.mp4"},    // *.mp4 completes the name
        {u"", 2, u"clip", u"clip"},        // *.*: no extension is added, and clip exists
        {u"", 1, u"song", u""},            // song.mp4 does not exist
        {u"avi", 1, u"song", u"song.avi"}, // the default extension wins over the mask
        {u"", 2, u"missing", u""},
    };
    for (const Case& C : Cases) {
        Dialog->DefaultExt = C.DefaultExt;
        Dialog->FilterIndex = C.FilterIndex;
        WhenShown([&](TbsOpenDlgForm* F) {
            TypeAndEnter(F, C.Typed);
            CloseIfOpen(F);
        });
        const bool Ok = Dialog->Execute();
        EXPECT_EQ(Ok, *C.Expected != 0) << UTF8Encode(String(C.Typed));
        if (Ok)
            EXPECT_EQ(Dialog->FileName(), Dir / C.Expected);
    }
}

TEST_F(OpenDialogTest, TheChosenFilterListsItsFilesFromTheStart) {
    // A blank after the ";" is no part of the next pattern.
    Dialog->Filter = u"Video|*.mp4; *.mkv|All files|*.*";
    std::vector<std::vector<String>> Listed;
    for (int Index : {1, 2}) {
        Dialog->FilterIndex = Index;
        WhenShown([&](TbsOpenDlgForm* F) {
            Listed.push_back(Rows(F));
            CloseIfOpen(F);
        });
        EXPECT_FALSE(Dialog->Execute());
    }
    EXPECT_EQ(Listed,
              (std::vector<std::vector<String>>{{u"A", u"a.mkv", u"b.mkv", u"clip.mp4"},
                                                {u"A", u"a.mkv", u"b.mkv", u"clip", u"clip.mp4", u"song.avi"}}));
}

TEST_F(OpenDialogTest, AMaskOrAFolderTypedIntoTheNameEditIsShownInsteadOfClosing) {
    bool MkvOnly = false, InA = false, MissingKept = false;
    WhenShown([&](TbsOpenDlgForm* F) {
        TypeAndEnter(F, u"*.mkv");
        Pump();
        MkvOnly = Shows(F, u"a.mkv") && Shows(F, u"b.mkv") && !Shows(F, u"clip.mp4");
        TypeAndEnter(F, Dir / u"A");
        Pump();
        InA = Shows(F, u"B");
        TypeAndEnter(F, Dir / u"nothing-here");
        Pump();
        MissingKept = Shows(F, u"B");
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_TRUE(MkvOnly);
    EXPECT_TRUE(InA);
    EXPECT_TRUE(MissingKept);
}

TEST_F(OpenDialogTest, TheLookInBoxShowsTheListedFolder) {
    // The folder the look-in box shows, as a path.
    auto LookIn = [](TbsOpenDlgForm* F) {
        TbsShellFolder* Entry = F->ShellBox->GetFolder(F->ShellBox->ItemIndex());
        return Entry ? Entry->PathName() : String(u"(none)");
    };
    std::vector<String> Seen;
    WhenShown([&](TbsOpenDlgForm* F) {
        Seen.push_back(LookIn(F));
        F->FileListView->SetPath(Dir / u"A");
        Seen.push_back(LookIn(F));
        F->BackToolButtonClick(nullptr);
        Seen.push_back(LookIn(F));
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    const String Start = Dir.Path().substr(0, Dir.Path().size() - 1);
    EXPECT_EQ(Seen, (std::vector<String>{Start, Dir / u"A", Start}));
}

TEST_F(OpenDialogTest, TheBottomRowKeepsItsRightMarginsWhenResized) {
    // Per client width: the edit's and the filter box's left and width, the buttons' left.
    using Row = std::vector<int>;
    auto Layout = [](TbsOpenDlgForm* F) {
        return Row{F->ClientWidth(),          F->FileNameEdit->Left(),    F->FileNameEdit->Width(),
                   F->FilterComboBox->Left(), F->FilterComboBox->Width(), F->OpenButton->Left(),
                   F->CancelButton->Left(),   F->CancelButton->Width()};
    };
    std::vector<Row> Seen;
    Dialog->DialogWidth = 500;
    WhenShown([&](TbsOpenDlgForm* F) {
        Seen.push_back(Layout(F));
        F->SetClientWidth(640);
        Seen.push_back(Layout(F));
        F->SetClientWidth(450);
        Seen.push_back(Layout(F));
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Seen, (std::vector<Row>{{500, 70, 340, 70, 340, 420, 420, 70},
                                      {640, 70, 480, 70, 480, 560, 560, 70},
                                      {450, 70, 290, 70, 290, 370, 370, 70}}));
}

TEST_F(OpenDialogTest, TheViewButtonDropsTheSkinnedMenuOfRadioStyles) {
    // The screen point in the middle of a control, or of a row of an open menu level.
    auto Middle = [](TControl* C) { return C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2}); };
    auto Row = [](TbsSkinPopupWindow* W, int I) {
        RECT R;
        GetWindowRect(W->Handle(), &R);
        const TRect Item = W->Items(I)->ObjectRect;
        return TPoint{R.Left + (Item.Left + Item.Right) / 2, R.Top + (Item.Top + Item.Bottom) / 2};
    };
    auto Click = [this](TPoint P) {
        InjectMouseMove(P.X, P.Y);
        Pump();
        Wait(50);
        InjectMouseButton(0, true);
        InjectMouseButton(0, false);
        Pump();
    };
    std::vector<String> Captions;
    std::vector<bool> Radio, Checked;
    int Levels = 0, LevelsAfter = -1;
    TViewStyle Style = vsList;
    WhenShown([&](TbsOpenDlgForm* F) {
        Click(Middle(F->StyleToolButton));
        TbsSkinMenu* Stack = F->BSF->SkinMenu();
        Levels = Stack->LevelCount();
        if (Levels == 1) {
            for (TMenuItem* I : {F->IconMenuItem, F->SmallIconMenuItem, F->ListMenuItem, F->ReportMenuItem})
                Captions.push_back(I->Caption());
            Click(Row(Stack->Levels(0), 3));
            LevelsAfter = Stack->LevelCount();
        }
        Style = F->FileListView->ViewStyle();
        for (TMenuItem* I : {F->IconMenuItem, F->SmallIconMenuItem, F->ListMenuItem, F->ReportMenuItem}) {
            Radio.push_back(I->RadioItem());
            Checked.push_back(I->Checked());
        }
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Levels, 1);
    EXPECT_EQ(Captions, (std::vector<String>{u"Large icons", u"Small icons", u"List", u"Details"}));
    EXPECT_EQ(LevelsAfter, 0);
    EXPECT_EQ(Style, vsReport);
    EXPECT_EQ(Radio, (std::vector<bool>{true, true, true, true}));
    EXPECT_EQ(Checked, (std::vector<bool>{false, false, false, true}));
    EXPECT_EQ(Dialog->ListViewStyle, vsReport);
}

TEST_F(OpenDialogTest, TheTranslucencySettingsReachTheFrameTheDropDownsAndTheMenus) {
    Dialog->AlphaBlend = true;
    Dialog->AlphaBlendValue = 180;
    Dialog->CtrlAlphaBlend = true;
    Dialog->CtrlAlphaBlendValue = 120;
    Dialog->CtrlAlphaBlendAnimation = true;
    std::vector<int> Seen;
    WhenShown([&](TbsOpenDlgForm* F) {
        Seen = {F->BSF->AlphaBlend(),
                F->BSF->AlphaBlendValue(),
                F->BSF->AlphaBlendAnimation(),
                F->BSF->MenusAlphaBlend(),
                F->BSF->MenusAlphaBlendValue(),
                F->BSF->MenusAlphaBlendAnimation(),
                F->ShellBox->AlphaBlend(),
                F->ShellBox->AlphaBlendValue(),
                F->FilterComboBox->AlphaBlend(),
                F->FilterComboBox->AlphaBlendValue(),
                F->FilterComboBox->AlphaBlendAnimation()};
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Seen, (std::vector<int>{1, 180, 0, 1, 120, 1, 1, 120, 1, 120, 1}));
}

TEST_F(OpenDialogTest, CancelKeepsTheResultButStoresSizeViewAndFilter) {
    Dialog->SetFileName(Dir / u"clip.mp4");
    Dialog->Files()->Add(u"kept");
    WhenShown([&](TbsOpenDlgForm* F) {
        F->SetClientWidth(520);
        F->SetClientHeight(330);
        F->ReportItemClick(F->ReportMenuItem);
        F->FilterComboBox->SetItemIndex(1);
        InjectKeyPress(VK_ESCAPE);
        Pump();
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Dialog->FileName(), Dir / u"clip.mp4");
    EXPECT_EQ(Dialog->Files()->Count(), 1);
    EXPECT_EQ(Dialog->DialogWidth, 520);
    EXPECT_EQ(Dialog->DialogHeight, 330);
    EXPECT_EQ(Dialog->ListViewStyle, vsReport);
    EXPECT_EQ(Dialog->FilterIndex, 2);
}

TEST_F(OpenDialogTest, SeveralChosenFilesComeBackInListOrder) {
    Dialog->MultiSelection = true;
    Dialog->FilterIndex = 2;
    WhenShown([&](TbsOpenDlgForm* F) {
        TbsSkinFileListView* L = F->FileListView;
        for (int I = 0; I < L->FolderCount(); ++I) {
            const String N = L->GetFolder(I)->DisplayName();
            L->Items()->Item(I)->SetSelected(N == u"b.mkv" || N == u"a.mkv");
        }
        F->FLVDBLClick(L);
        CloseIfOpen(F);
    });
    ASSERT_TRUE(Dialog->Execute());
    ASSERT_EQ(Dialog->Files()->Count(), 2);
    EXPECT_EQ(Dialog->Files()->Strings(0), Dir / u"a.mkv");
    EXPECT_EQ(Dialog->Files()->Strings(1), Dir / u"b.mkv");
}

TEST_F(OpenDialogTest, NewFoldersAndTheBackHistory) {
    std::vector<bool> Seen;
    WhenShown([&](TbsOpenDlgForm* F) {
        F->NewFolderToolButtonClick(nullptr);
        F->NewFolderToolButtonClick(nullptr);
        Seen.push_back(fs::is_directory(Dir.Folder() / "New Folder"));
        Seen.push_back(fs::is_directory(Dir.Folder() / "New Folder(2)"));
        // Back with only the start folder does nothing; S -> A -> B, then Back shows A, then S.
        F->BackToolButtonClick(nullptr);
        Seen.push_back(Shows(F, u"A"));
        F->FileListView->SetPath(Dir / u"A");
        F->FileListView->SetPath(Dir / u"A/B");
        F->BackToolButtonClick(nullptr);
        Seen.push_back(Shows(F, u"B"));
        F->BackToolButtonClick(nullptr);
        Seen.push_back(Shows(F, u"A") && Shows(F, u"clip.mp4"));
        F->BackToolButtonClick(nullptr);
        Seen.push_back(Shows(F, u"clip.mp4"));
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Seen, (std::vector<bool>{true, true, true, true, true, true}));
}

TEST_F(OpenDialogTest, SaveModeSwapsTheExtensionAndAsksBeforeOverwriting) {
    TbsOpenDlgForm Form(nullptr, true, nullptr, false);
    Form.FileListView->SetRoot(Dir.Path());
    Form.FilterComboBox->HandleNeeded();
    Form.FilterComboBox->SetFilter(u"Bitmaps|*.bmp|JPEG|*.jpg;*.jpeg|All|*.*");
    Form.FilterComboBox->SetItemIndex(0);
    for (const char16_t* Typed : {u"pic.bmp", u"pic"}) {
        Form.FileNameEdit->SetText(Typed);
        Form.FilterComboBox->SetItemIndex(1);
        Form.FCBChange(nullptr);
        EXPECT_EQ(Form.FileNameEdit->Text(), u"pic.jpg") << UTF8Encode(String(Typed));
        Form.FilterComboBox->SetItemIndex(0);
    }

    // An existing file: Cancel in the question keeps the form open, OK closes it with the typed name.
    Form.OverwritePromt = true;
    Form.FilterComboBox->SetItemIndex(2);
    Form.FileNameEdit->SetText(u"clip.mp4");
    std::vector<TModalResult> Results;
    for (UINT Answer : {UINT(VK_ESCAPE), UINT(VK_RETURN)}) {
        Application->OnIdle = [&, Answer](TObject*) {
            if (dynamic_cast<TbsMessageForm*>(Screen->ActiveForm())) {
                Application->OnIdle = nullptr;
                InjectKeyPress(Answer);
            }
        };
        Form.SetModalResult(mrNone);
        Form.OpenButtonClick(nullptr);
        Results.push_back(Form.ModalResult());
    }
    EXPECT_EQ(Results, (std::vector<TModalResult>{mrNone, mrOk}));
    EXPECT_EQ(Form.FileName, Dir / u"clip.mp4");
}

TEST_F(OpenDialogTest, ARememberedFileWhoseFolderHasGoneStartsBesideTheProgram) {
    SetAppFileName(Dir / u"A/B/quorvane");
    Dialog->SetFileName(Dir / u"unplugged/clip.mp4");
    String Shown;
    WhenShown([&](TbsOpenDlgForm* F) {
        Shown = F->FileListView->Path();
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    SetAppFileName(u"");
    EXPECT_EQ(Shown + u"/", Dir / u"A/B/");
}

// Pictures for a person to look at: the dialog in report view over a folder of Chinese names.
class OpenDialogGallery : public ctltest::GalleryTest {};

TEST_P(OpenDialogGallery, TheDialogInReportView) {
    TTempDir Folder;
    for (const char* Name : {"春节晚会.mp4", "家庭录像.avi", "音乐会.mkv", "旅行.mov"})
        Touch(Folder.Folder() / Name);
    fs::create_directory(Folder.Folder() / "照片");
    TbsSkinOpenDialog Dialog(nullptr);
    Dialog.SetSkinData(Skin);
    Dialog.SetCtrlSkinData(Skin);
    Dialog.InitialDir = Folder.Path();
    Dialog.ListViewStyle = vsReport;
    Dialog.Title = u"添加文件";
    Dialog.Filter = u"视频文件|*.mp4;*.avi;*.mkv;*.mov|All files|*.*";
    NewSheet(620, 420);
    Application->OnIdle = [&](TObject*) {
        auto* F = dynamic_cast<TbsOpenDlgForm*>(Screen->ActiveForm());
        if (!F)
            return;
        Application->OnIdle = nullptr;
        Pump();
        // The form's first paint posts its children's: both rounds before the shot.
        Pump();
        Pump();
        const TRect R = F->BoundsRect();
        PasteScreen(Point(R.Left, R.Top), std::min(R.Width(), 610), std::min(R.Height(), 410), 5, 5);
        F->SetModalResult(mrCancel);
    };
    Dialog.Execute();
    Application->OnIdle = nullptr;
    SaveSheet("opendialog");
}

INSTANTIATE_TEST_SUITE_P(Skins, OpenDialogGallery, ::testing::Values(1, 3));

} // namespace
