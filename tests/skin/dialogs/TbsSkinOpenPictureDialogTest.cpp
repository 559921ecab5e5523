// The picture dialogs driven inside their modal loop with injected input: a large picture at its own size with
// the preview's bars, the stretch button and its state at the next run, a folder selected, the save dialog's
// completed names and overwrite question, the splitter moved, unreadable pictures chosen in the list or given as
// the start file; pictures of both dialogs in two stored skins.
#include "skin/dialogs/TbsSkinOpenPictureDialog.h"
#include "skin/dialogs/TbsSkinMessage.h"

#include "platform/win/WinExtras.h"
#include "tests/skin/controls/GalleryFixture.h"
#include "tests/skin/dialogs/DialogFixture.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;

// Rectangles in failure messages.
static void PrintTo(const TRect& R, std::ostream* Os) {
    *Os << "(" << R.Left << "," << R.Top << "," << R.Right << "," << R.Bottom << ")";
}

namespace {

// A picture of W x H in four coloured quarters with a dark diagonal, so that its size and placing show.
void WriteBitmap(const String& File, int W, int H) {
    TBitmap B;
    B.SetSize(W, H);
    const TColor Quarters[] = {TColor(RGB(220, 60, 50)), TColor(RGB(60, 170, 80)), TColor(RGB(50, 90, 200)),
                               TColor(RGB(240, 200, 60))};
    for (int Y = 0; Y < H; ++Y)
        for (int X = 0; X < W; ++X) {
            const bool Line = std::abs(X * H - Y * W) < std::max(W, H) * 2;
            B.Canvas()->SetPixels(X, Y, Line ? TColor(RGB(30, 30, 30)) : Quarters[(Y * 2 / H) * 2 + X * 2 / W]);
        }
    B.SaveToFile(File);
}

void WriteText(const fs::path& P, const char* Text) {
    std::ofstream(P) << Text;
}

TPoint CentreOnScreen(TControl* C) {
    return C->ClientToScreen(Point(C->Width() / 2, C->Height() / 2));
}

class PictureDialogTest : public dlgtest::DialogTest {
protected:
    void SetUp() override {
        dlgtest::DialogTest::SetUp();
        WriteBitmap(Dir / u"big.bmp", 400, 300);
        WriteBitmap(Dir / u"small.bmp", 20, 10);
        WriteText(Dir.Folder() / "broken.bmp", "not a picture");
        WriteText(Dir.Folder() / "drawing.emf", "no decoder here");
        fs::create_directory(Dir.Folder() / "sub");
        Dialog = std::make_unique<TbsSkinOpenPictureDialog>(nullptr);
        Prepare(Dialog.get());
    }
    void TearDown() override {
        Dialog.reset();
        Application->OnException = nullptr;
        dlgtest::DialogTest::TearDown();
    }
    void Prepare(TbsSkinOpenPictureDialog* D) {
        D->InitialDir = Dir.Path();
        D->Filter = u"Bitmaps (*.bmp)|*.bmp|All files|*.*";
    }
    void WhenShown(std::function<void(TbsOpenPictureDlgForm*)> Act) {
        DialogTest::WhenShown<TbsOpenPictureDlgForm>(std::move(Act));
    }
    // A click on the list's row of that name, a second apart from the last one so that it is never a double click.
    void ClickRow(TbsOpenPictureDlgForm* F, const String& Name) {
        TbsSkinFileListView* L = F->FileListView;
        for (int I = 0; I < L->FolderCount(); ++I)
            if (L->GetFolder(I)->DisplayName() == Name) {
                const TRect R = L->Items()->Item(I)->DisplayRect(drLabel);
                const TPoint P = L->ClientToScreen(Point((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2));
                Wait(1000);
                Click(P);
                return;
            }
        ADD_FAILURE() << "no row " << UTF8Encode(Name);
    }
    void ClickControl(TControl* C) { Click(CentreOnScreen(C)); }
    void Type(const char16_t* Text) {
        for (const char16_t* P = Text; *P; ++P)
            InjectChar(*P);
        Pump();
    }
    static void CloseIfOpen(TbsOpenPictureDlgForm* F) {
        if (F->ModalResult() == mrNone)
            F->SetModalResult(mrCancel);
    }
    // Answers the next message box with a key.
    static void AnswerMessage(UINT Key) {
        Application->OnIdle = [Key](TObject*) {
            if (!dynamic_cast<TbsMessageForm*>(Screen->ActiveForm()))
                return;
            const UINT Answer = Key;
            Application->OnIdle = nullptr;
            InjectKeyPress(Answer);
        };
    }

    struct TPreview {
        TRect Image;
        bool HBar = false, VBar = false;
        bool operator==(const TPreview&) const = default;
    };
    static TPreview PreviewOf(TbsOpenPictureDlgForm* F) {
        return {F->Image->BoundsRect(), F->SBHScrollBar->Visible(), F->SBVScrollBar->Visible()};
    }

    TTempDir Dir;
    std::unique_ptr<TbsSkinOpenPictureDialog> Dialog;
};

TEST_F(PictureDialogTest, ALargePictureShowsAtItsOwnSizeWithBarsAndTheStretchButtonFitsItToThePreview) {
    TRect View;
    std::vector<TPreview> Seen;
    WhenShown([&](TbsOpenPictureDlgForm* F) {
        ClickRow(F, u"big.bmp");
        Seen.push_back(PreviewOf(F));
        ClickControl(F->StretchButton);
        Seen.push_back(PreviewOf(F));
        View = F->ScrollBox->ClientRect();
        ClickControl(F->StretchButton);
        Seen.push_back(PreviewOf(F));
        ClickControl(F->StretchButton);
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    ASSERT_EQ(Seen.size(), 3u);
    EXPECT_EQ(Seen[0], (TPreview{Rect(0, 0, 400, 300), true, true}));
    EXPECT_EQ(Seen[1], (TPreview{View, false, false}));
    EXPECT_EQ(Seen[2], Seen[0]);
    EXPECT_LT(View.Width(), 400);
    EXPECT_TRUE(Dialog->DialogStretch);
}

TEST_F(PictureDialogTest, TheStretchButtonsStateReturnsAtTheNextRunOrIsForced) {
    struct Case {
        bool Remembered, Forced, Down;
    };
    const Case Cases[] = {{true, false, true}, {false, false, false}, {false, true, true}};
    for (const Case& C : Cases) {
        Dialog->DialogStretch = C.Remembered;
        Dialog->StretchPicture = C.Forced;
        bool Down = false, Stretched = false;
        WhenShown([&](TbsOpenPictureDlgForm* F) {
            Down = F->StretchButton->Down();
            Stretched = F->Image->Stretch() && F->Image->Align() == alClient;
            CloseIfOpen(F);
        });
        EXPECT_FALSE(Dialog->Execute());
        EXPECT_EQ(Down, C.Down) << C.Remembered << C.Forced;
        EXPECT_EQ(Stretched, C.Down) << C.Remembered << C.Forced;
        EXPECT_EQ(Dialog->DialogStretch, C.Down) << C.Remembered << C.Forced;
    }
}

TEST_F(PictureDialogTest, SelectingAFolderClearsTheNameAndShrinksOnlyAnUnstretchedPicture) {
    for (bool Stretch : {false, true}) {
        Dialog->DialogStretch = Stretch;
        String Typed = u"?";
        TRect Image, View;
        WhenShown([&](TbsOpenPictureDlgForm* F) {
            ClickRow(F, u"big.bmp");
            ClickRow(F, u"sub");
            Typed = F->FileNameEdit->Text();
            Image = F->Image->BoundsRect();
            View = F->ScrollBox->ClientRect();
            CloseIfOpen(F);
        });
        EXPECT_FALSE(Dialog->Execute());
        EXPECT_EQ(Typed, u"") << Stretch;
        EXPECT_EQ(Image, Stretch ? View : Rect(0, 0, 0, 0)) << Stretch;
    }
}

TEST_F(PictureDialogTest, TheSaveDialogCompletesATypedNameWithTheFiltersExtension) {
    struct Case {
        int FilterIndex;
        const char16_t* Typed;
        const char16_t* Expected;
    };
    const Case Cases[] = {
        {1, u"pic", u"pic.bmp"},     // *.bmp
        {2, u"pic", u"pic"},         // *.*
        {1, u"pic.png", u"pic.png"}, // a name with an extension keeps it
    };
    TbsSkinSavePictureDialog Save(nullptr);
    Prepare(&Save);
    for (const Case& C : Cases) {
        Save.FilterIndex = C.FilterIndex;
        WhenShown([&](TbsOpenPictureDlgForm* F) {
            Type(C.Typed);
            ClickControl(F->OpenButton);
            CloseIfOpen(F);
        });
        ASSERT_TRUE(Save.Execute()) << UTF8Encode(String(C.Typed));
        EXPECT_EQ(Save.FileName(), Dir / C.Expected) << UTF8Encode(String(C.Typed));
    }
}

TEST_F(PictureDialogTest, CancelInTheOverwriteQuestionKeepsTheSaveFormOpen) {
    WriteBitmap(Dir / u"pic.bmp", 8, 8);
    TbsSkinSavePictureDialog Save(nullptr);
    Prepare(&Save);
    Save.OverwritePromt = true;
    std::vector<TModalResult> Results;
    WhenShown([&](TbsOpenPictureDlgForm* F) {
        Type(u"pic");
        for (UINT Answer : {UINT(VK_ESCAPE), UINT(VK_RETURN)}) {
            AnswerMessage(Answer);
            ClickControl(F->OpenButton);
            Results.push_back(F->ModalResult());
        }
        CloseIfOpen(F);
    });
    ASSERT_TRUE(Save.Execute());
    EXPECT_EQ(Results, (std::vector<TModalResult>{mrNone, mrOk}));
    EXPECT_EQ(Save.FileName(), Dir / u"pic.bmp");
}

TEST_F(PictureDialogTest, MovingTheSplitterChangesTheStoredPreviewWidth) {
    int Before = 0;
    WhenShown([&](TbsOpenPictureDlgForm* F) {
        Before = F->ImagePanel->Width();
        const TPoint P = CentreOnScreen(F->Splitter);
        InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, true);
        Pump();
        InjectMouseMove(P.X - 40, P.Y);
        Pump();
        InjectMouseButton(0, false);
        Pump();
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Before, 190);
    EXPECT_EQ(Dialog->ImagePanelWidth, 230);
}

TEST_F(PictureDialogTest, AStartFileThatIsNoPictureLeavesThePreviewEmptyAndTheDialogOpens) {
    struct Case {
        const char16_t* File;
        TRect Image;
    };
    const Case Cases[] = {
        {u"small.bmp", Rect(0, 0, 20, 10)},
        {u"broken.bmp", Rect(0, 0, 0, 0)},
        {u"drawing.emf", Rect(0, 0, 0, 0)}, // no decoder for metafiles
    };
    for (const Case& C : Cases) {
        Dialog->SetFileName(Dir / C.File);
        bool Shown = false;
        String Typed;
        TRect Image;
        WhenShown([&](TbsOpenPictureDlgForm* F) {
            Shown = true;
            Typed = F->FileNameEdit->Text();
            Image = F->Image->BoundsRect();
            CloseIfOpen(F);
        });
        EXPECT_NO_THROW(Dialog->Execute()) << UTF8Encode(String(C.File));
        EXPECT_TRUE(Shown) << UTF8Encode(String(C.File));
        EXPECT_EQ(Typed, C.File);
        EXPECT_EQ(Image, C.Image) << UTF8Encode(String(C.File));
    }
}

TEST_F(PictureDialogTest, AnUnreadableFileChosenInTheListShowsThePictureErrorAndKeepsThePreviousPicture) {
    Dialog->FilterIndex = 2;
    std::vector<String> Errors;
    Application->OnException = [&](TObject*, Exception& E) { Errors.push_back(E.Message()); };
    std::vector<TRect> Images;
    TModalResult Result = mrNone;
    WhenShown([&](TbsOpenPictureDlgForm* F) {
        for (const char16_t* Name : {u"small.bmp", u"broken.bmp", u"drawing.emf", u"big.bmp"}) {
            ClickRow(F, Name);
            Images.push_back(F->Image->BoundsRect());
        }
        Result = F->ModalResult();
        CloseIfOpen(F);
    });
    EXPECT_FALSE(Dialog->Execute());
    EXPECT_EQ(Result, mrNone);
    EXPECT_EQ(Errors, (std::vector<String>{u"Bitmap image is not valid", u"Unknown picture file extension (.emf)"}));
    EXPECT_EQ(Images,
              (std::vector<TRect>{Rect(0, 0, 20, 10), Rect(0, 0, 20, 10), Rect(0, 0, 20, 10), Rect(0, 0, 400, 300)}));
}

// Pictures for a person to look at: the open dialog with a large picture at its own size, the save dialog with
// it stretched.
class PictureDialogGallery : public ctltest::GalleryTest {};

TEST_P(PictureDialogGallery, TheOpenAndSaveDialogs) {
    TTempDir Folder;
    WriteBitmap(Folder / u"风景.bmp", 320, 240);
    WriteBitmap(Folder / u"holiday.bmp", 64, 48);
    fs::create_directory(Folder.Folder() / "照片");
    NewSheet(1140, 420);
    TbsSkinOpenPictureDialog Open(nullptr);
    TbsSkinSavePictureDialog Save(nullptr);
    int X0 = 5;
    for (TbsSkinOpenPictureDialog* D : std::initializer_list<TbsSkinOpenPictureDialog*>{&Open, &Save}) {
        D->SetSkinData(Skin);
        D->SetCtrlSkinData(Skin);
        D->InitialDir = Folder.Path();
        D->FilterIndex = 2;
        D->DialogStretch = D == &Save;
        Application->OnIdle = [&](TObject*) {
            auto* F = dynamic_cast<TbsOpenPictureDlgForm*>(Screen->ActiveForm());
            if (!F)
                return;
            Application->OnIdle = nullptr;
            TbsSkinFileListView* L = F->FileListView;
            for (int I = 0; I < L->FolderCount(); ++I)
                L->Items()->Item(I)->SetSelected(L->GetFolder(I)->DisplayName() == u"风景.bmp");
            Pump();
            // The preview is laid out for the bars it shows: laying it out again changes nothing.
            const TRect Box = F->ScrollBox->BoundsRect();
            F->ImagePanel->Realign();
            EXPECT_EQ(F->ScrollBox->BoundsRect(), Box);
            if (F->StretchButton->Down())
                EXPECT_EQ(F->Image->BoundsRect(), F->ScrollBox->ClientRect());
            const TRect R = F->BoundsRect();
            PasteScreen(Point(R.Left, R.Top), std::min(R.Width(), 560), std::min(R.Height(), 410), X0, 5);
            F->SetModalResult(mrCancel);
        };
        D->Execute();
        X0 += 570;
    }
    Application->OnIdle = nullptr;
    SaveSheet("picturedialogs");
}

INSTANTIATE_TEST_SUITE_P(Skins, PictureDialogGallery, ::testing::Values(1, 3));

} // namespace
