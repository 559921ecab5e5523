// Snapshots of the preview: the picture on show saved in the snapshot folder with the first free number, in each
// of the four types, decoding back at the video's own size and frame; the keys of "SnapShot" repaired and written
// back; the folder commands.
#include "PreviewFixture.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

using namespace preview;

namespace {

// A main window whose shared folder picker answers as the test says.
class TPickingForm1 : public TForm1 {
public:
    using TForm1::TForm1;
    std::optional<String> Folder; // nothing: the picker is cancelled
    bool PickOutputFolder(String& Result) override {
        if (Folder)
            Result = *Folder;
        return bool(Folder);
    }
};

class SnapshotTest : public PreviewTest {
protected:
    void SetUp() override {
        PreviewTest::SetUp();
        Shots = Home.Path() + u"shots";
        ForceDirectories(Shots);
        // The previewed file is named "clip.avi".
        std::filesystem::create_symlink(PatternClip(), Exe.Folder() / "clip.avi");
    }
    void PreviewClip() { PreviewPaused(UTF8Encode(Exe.Path() + u"clip.avi")); }
    void UseSnapshotKeys(const String& Picture) {
        WriteOption(u"SnapShot", u"Dir", Shots);
        WriteOption(u"SnapShot", u"Picture", Picture);
    }
    // The frame number of the pattern picture now on show.
    static int64_t ShownFrame() {
        TBitmap Shown;
        Shown.Assign(Form1->RUDezari->CurrentFrame());
        return FrameOf(Shown);
    }
    static int64_t FrameOf(TBitmap& B) {
        B.SetPixelFormat(pf32bit);
        const auto* Top = static_cast<const uint8_t*>(B.ScanLine(0));
        const int LineSize = int(static_cast<const uint8_t*>(B.ScanLine(1)) - Top);
        return qvtest::ReadPatternFrameIndex(Top, LineSize, 4, B.Width(), B.Height());
    }
    static std::vector<unsigned char> Bytes(const String& File) {
        std::ifstream In(UTF8Encode(File), std::ios::binary);
        return {std::istreambuf_iterator<char>(In), {}};
    }
    std::vector<std::string> ShotNames() const {
        std::vector<std::string> Names;
        for (const auto& E : std::filesystem::directory_iterator(UTF8Encode(Shots)))
            Names.push_back(E.path().filename().string());
        std::sort(Names.begin(), Names.end());
        return Names;
    }
    String Shots;
};

} // namespace

TEST_F(SnapshotTest, EachTypeSavesThePictureOnShowAtTheVideosOwnSize) {
    struct Case {
        const char16_t* Type;
        const char* File;
        TMenuItem* TForm1::*Item;
    };
    const Case Cases[] = {
        {u"BMP", "clip_1.bmp", &TForm1::BMP1},
        {u"JPG", "clip_1.jpg", &TForm1::JPG1},
        {u"GIF", "clip_1.gif", &TForm1::GIF1},
        {u"PNG", "clip_1.png", &TForm1::PNG1},
    };
    Start();
    PreviewClip();
    const int64_t Shown = ShownFrame();
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.File);
        UseSnapshotKeys(C.Type);
        Form1->bsSkinButton22Click(nullptr);
        EXPECT_TRUE((Form1->*C.Item)->Checked());
        const String File = Shots + u"/" + UTF8ToString(C.File);
        ASSERT_TRUE(FileExists(File));
        TPicture Picture;
        Picture.LoadFromFile(File);
        EXPECT_EQ(Picture.Width(), 160);
        EXPECT_EQ(Picture.Height(), 120);
        TBitmap Decoded;
        Decoded.Assign(Picture.Graphic());
        EXPECT_EQ(FrameOf(Decoded), Shown);
    }
    // The bitmap file has 24 bits a pixel; the JPEG is baseline (a SOF0 marker, no progressive SOF2).
    const std::vector<unsigned char> Bmp = Bytes(Shots + u"/clip_1.bmp");
    ASSERT_GT(Bmp.size(), 30u);
    EXPECT_EQ(Bmp[28] | Bmp[29] << 8, 24);
    const std::vector<unsigned char> Jpeg = Bytes(Shots + u"/clip_1.jpg");
    auto Has = [&](unsigned char Marker) {
        for (std::size_t I = 0; I + 1 < Jpeg.size(); ++I)
            if (Jpeg[I] == 0xFF && Jpeg[I + 1] == Marker)
                return true;
        return false;
    };
    EXPECT_TRUE(Has(0xC0));
    EXPECT_FALSE(Has(0xC2));
}

TEST_F(SnapshotTest, TheFirstFreeNumberIsTaken) {
    Start();
    PreviewClip();
    UseSnapshotKeys(u"PNG");
    for (const char* Name : {"clip_1.png", "clip_3.png"})
        std::ofstream(UTF8Encode(Shots) + "/" + Name) << "taken";
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(ShotNames(), (std::vector<std::string>{"clip_1.png", "clip_2.png", "clip_3.png"}));
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(ShotNames(), (std::vector<std::string>{"clip_1.png", "clip_2.png", "clip_3.png", "clip_4.png"}));
    // The pictures that were there are left alone.
    EXPECT_EQ(Bytes(Shots + u"/clip_3.png").size(), 5u);
}

TEST_F(SnapshotTest, UnusableKeysAreRepairedAndWrittenBack) {
    Start();
    PreviewClip();
    UseSnapshotKeys(u"jpg");
    Form1->PNG1->SetChecked(true);
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Picture"), u"BMP");
    EXPECT_TRUE(Form1->BMP1->Checked());
    EXPECT_FALSE(Form1->PNG1->Checked());
    EXPECT_EQ(ShotNames(), std::vector<std::string>{"clip_1.bmp"});

    // A "Dir" that does not exist is made with its parents and kept as it is.
    const String Deep = Home.Path() + u"a/b/c";
    WriteOption(u"SnapShot", u"Dir", Deep);
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_TRUE(FileExists(Deep + u"/clip_1.bmp"));
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Deep);

    // "Error" or empty: the default folder.
    const String Default = Home.Path() + u"Velko视频软件/快照";
    for (const char16_t* Value : {u"Error", u""}) {
        WriteOption(u"SnapShot", u"Dir", Value);
        EXPECT_EQ(Form1->ResolveSnapshotFolder(), Default);
        EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Default);
    }

    // Without option.ini, the next snapshot writes both keys and saves into the default folder.
    std::filesystem::remove(UTF8Encode(OptionIniPath()));
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Default);
    EXPECT_EQ(Ini(u"SnapShot", u"Picture"), u"BMP");
    EXPECT_TRUE(FileExists(Default + u"/clip_1.bmp"));
}

TEST_F(SnapshotTest, NothingIsSavedWithoutAPictureButTheKeysAreRepaired) {
    Start();
    UseSnapshotKeys(u"GIF");
    Form1->T_Movie_PLayer_FileName = Exe.Path() + u"clip.avi";
    Form1->bsSkinButton22Click(nullptr); // nothing open
    EXPECT_TRUE(Form1->GIF1->Checked());

    Preview(ToneClip());
    ASSERT_TRUE(WaitFor([] { return Logged(u"Play") == 1; }));
    WriteOption(u"SnapShot", u"Picture", u"Error");
    Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Picture"), u"BMP");
    EXPECT_TRUE(Form1->BMP1->Checked());
    EXPECT_TRUE(ShotNames().empty());
}

TEST_F(SnapshotTest, TheTypeItemsAndTheSettingsButtonKeepFileAndMarksInStep) {
    Start();
    Form1->GIF1Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Picture"), u"GIF");
    EXPECT_TRUE(Form1->GIF1->Checked());
    EXPECT_FALSE(Form1->BMP1->Checked());
    // An edit of the file counts at the next command.
    WriteOption(u"SnapShot", u"Picture", u"PNG");
    Form1->bsSkinButton23Click(nullptr);
    EXPECT_TRUE(Form1->PNG1->Checked());
    EXPECT_FALSE(Form1->GIF1->Checked());
    // A left press on the button opens the menu at once.
    const TPoint At = Form1->bsSkinButton23->ClientToScreen({10, 10});
    InjectMouseMove(At.X, At.Y);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_NE(Form1->bsSkinPopupMenu2->PopupWindow(), nullptr);
    EXPECT_EQ(Form1->bsSkinButton23->PopupMenu(), Form1->bsSkinPopupMenu2);
}

TEST_F(SnapshotTest, TheFolderCommandsOpenAMadeFolderAndStoreOnlyAConfirmedOne) {
    std::vector<String> Opened;
    SetShellLauncher(std::make_unique<TRecordingLauncher>(Opened));
    TPickingForm1* Form;
    Application->CreateForm(Form);
    Form1 = Form;
    const String Missing = Home.Path() + u"not/yet";
    WriteOption(u"SnapShot", u"Dir", Missing);
    Form->MenuItem1Click(nullptr);
    EXPECT_EQ(Opened, std::vector<String>{Missing});
    EXPECT_TRUE(DirectoryExists(Missing));

    // Cancelled: nothing is written, also after a folder was confirmed before.
    Form->MenuItem2Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Missing);
    Form->Folder = Shots;
    Form->MenuItem2Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Shots);
    WriteOption(u"SnapShot", u"Dir", Missing);
    Form->Folder.reset();
    Form->MenuItem2Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Missing);
    // A folder that does not exist is not stored.
    Form->Folder = Home.Path() + u"gone";
    Form->MenuItem2Click(nullptr);
    EXPECT_EQ(Ini(u"SnapShot", u"Dir"), Missing);
    SetShellLauncher(nullptr);
}
