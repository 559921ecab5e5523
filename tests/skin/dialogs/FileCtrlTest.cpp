#include "platform/shell/ShellTestTree.h"
#include "tests/support/UiFixture.h"

#include "platform/gdi/Resources.h"
#include "platform/gdi/WinText.h"
#include "platform/ui/Edits.h"
#include "skin/controls/TbsSkinStdLabel.h"
#include "skin/dialogs/bsfilectrl.h"

#include <gtest/gtest.h>

namespace {

// The file-system lists make folders current: each test gets its own tree and leaves the current directory as
// it found it.
class FileCtrlTest : public uitest::FormTest {
protected:
    void SetUp() override {
        FSavedDir = GetCurrentDir();
        uitest::FormTest::SetUp();
    }
    void TearDown() override {
        uitest::FormTest::TearDown();
        SetCurrentDir(FSavedDir);
    }
    String Home(const std::string& Rest = {}) const { return UTF8ToString(Tree.Home + Rest); }
    template <class T> T* Make(int X, int Y, int W, int H) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W, H);
        return C;
    }

    TShellTestTree Tree;

private:
    String FSavedDir;
};

std::vector<String> ItemsOf(TStrings* S) {
    std::vector<String> V;
    for (int I = 0; I < S->Count(); ++I)
        V.push_back(S->Strings(I));
    return V;
}

} // namespace

TEST(FileCtrlPathsTest, DepthJoinAndDroppingFolders) {
    EXPECT_EQ(PathDepth(u"/one/two/file.txt"), 3);
    EXPECT_EQ(PathDepth(u"/"), 1);
    EXPECT_EQ(JoinPath(u"/a", u"b"), u"/a/b");
    EXPECT_EQ(JoinPath(u"/", u"b"), u"/b");
    const std::pair<const char16_t*, const char16_t*> Cases[] = {
        {u"/", u""},    {u"/one/two/", u"/.../two/"}, {u"/.../two/three/", u"/.../three/"}, {u"/.../three/", u"/.../"},
        {u".../", u""}, {u"one/", u".../"},
    };
    for (auto [In, Out] : Cases) {
        String S = In;
        DropFirstFolder(S);
        EXPECT_EQ(S, Out) << UTF8Encode(String(In));
    }
}

TEST(FileCtrlPathsTest, ShortenPathNarrowsOneFolderAtATime) {
    TBitmap B(10, 10);
    B.Canvas()->Font()->SetName(u"Arial");
    B.Canvas()->Font()->SetHeight(-12);
    const String Full = u"/one/two/three/file.txt";
    const char16_t* const Steps[] = {u"/one/two/three/file.txt",
                                     u"/.../two/three/file.txt",
                                     u"/.../three/file.txt",
                                     u"/.../file.txt",
                                     u".../file.txt",
                                     u"file.txt"};
    for (const char16_t* Want : Steps) {
        const int W = B.Canvas()->TextWidth(Want);
        EXPECT_EQ(ShortenPath(Full, B.Canvas(), W), Want);
        // One pixel less takes the next step.
        if (String(Want) != u"file.txt")
            EXPECT_NE(ShortenPath(Full, B.Canvas(), W - 1), Want);
    }
    // Nothing narrower than the name.
    EXPECT_EQ(ShortenPath(Full, B.Canvas(), 1), u"file.txt");
}

TEST_F(FileCtrlTest, SplittingTypedTextFindsDriveDirectoryAndFile) {
    TShellTestTree::MakeDir(Tree.Home + "/视频/sub");
    TShellTestTree::Write(Tree.Home + "/视频/clip.avi", "x");
    SetCurrentDir(Home("/视频"));
    struct Case {
        String Text, Dir, File;
    };
    const Case Cases[] = {
        {Home("/视频/clip.avi"), Home("/视频"), u"clip.avi"},
        {u"clip.avi", Home("/视频"), u"clip.avi"},
        {u"*.avi", Home("/视频"), u"*.avi"},
        {u"sub", Home("/视频/sub"), u""},
        {u"[sub]", Home("/视频/sub"), u""},
        {u"../视频/sub/", Home("/视频/sub"), u""},
        {u"/", u"/", u""},
    };
    for (const Case& C : Cases) {
        String Drive, Dir, File;
        SplitEditPath(C.Text, Drive, Dir, File);
        EXPECT_EQ(Dir, C.Dir) << UTF8Encode(C.Text);
        EXPECT_EQ(File, C.File) << UTF8Encode(C.Text);
        EXPECT_EQ(Drive, u"/");
    }
    String Drive, Dir, File;
    EXPECT_THROW(SplitEditPath(u"missing", Drive, Dir, File), EInOutError);
    EXPECT_THROW(SplitEditPath(u"/nowhere/x.txt", Drive, Dir, File), EInOutError);
    EXPECT_EQ(GetCurrentDir(), Home("/视频"));
}

TEST_F(FileCtrlTest, DriveComboListsTheMountTableWithLabelsAndGlyphs) {
    auto* Combo = Make<TbsSkinDriveComboBox>(10, 10, 200, 20);
    Pump();
    const std::vector<String> Lower = {u"/ []",         u"/media/stick [usb stick]", u"/mnt/nas [nas:/share]",
                                       u"/mnt/disc []", u"/mnt/my data []",          u"/srv/backup []"};
    EXPECT_EQ(ItemsOf(Combo->Items()), Lower);
    EXPECT_EQ(Combo->Drive(), u"/");
    EXPECT_EQ(Combo->ItemIndex(), 0);

    // Each item carries the glyph of its drive's kind, as the registered pictures have it.
    std::vector<std::pair<int, const char16_t*>> Glyphs = {
        {0, u"BS_HARD"}, {1, u"BS_FLOPPY"}, {2, u"BS_NETWORK"}, {3, u"BS_CDROM"}};
    for (auto [Index, Name] : Glyphs) {
        auto* Glyph = dynamic_cast<TBitmap*>(Combo->Items()->Objects(Index));
        ASSERT_NE(Glyph, nullptr);
        TBitmap Want;
        Want.LoadFromResourceName(HInstance, Name);
        ASSERT_EQ(Glyph->Width(), Want.Width());
        for (int Y = 0; Y < Want.Height(); ++Y)
            for (int X = 0; X < Want.Width(); ++X)
                ASSERT_EQ(Glyph->Canvas()->Pixels(X, Y), Want.Canvas()->Pixels(X, Y)) << UTF8Encode(String(Name));
    }

    Combo->SetTextCase(tcUpperCase);
    EXPECT_EQ(Combo->Items()->Strings(1), u"/media/stick [USB STICK]");
    EXPECT_EQ(Combo->Items()->Strings(2), u"/mnt/nas [NAS:/SHARE]");
    EXPECT_EQ(Combo->ItemIndex(), 0);

    Combo->SetDrive(u"/mnt/disc");
    EXPECT_EQ(Combo->ItemIndex(), 3);
    Combo->SetDrive(u"");
    EXPECT_EQ(Combo->ItemIndex(), -1);
}

TEST_F(FileCtrlTest, GlyphsAreRegisteredPicturesOfTheirSizes) {
    RegisterFileCtrlGlyphs();
    const std::tuple<const char16_t*, int, int> Cases[] = {
        {u"BS_FLOPPY", 16, 16}, {u"BS_HARD", 16, 16},       {u"BS_NETWORK", 16, 16},      {u"BS_CDROM", 16, 16},
        {u"BS_RAM", 16, 11},    {u"BS_OPENFOLDER", 16, 15}, {u"BS_CLOSEDFOLDER", 16, 15}, {u"BS_CURRENTFOLDER", 16, 15},
    };
    for (auto [Name, W, H] : Cases) {
        TBitmap B;
        B.LoadFromResourceName(HInstance, Name);
        EXPECT_EQ(B.Width(), W) << UTF8Encode(String(Name));
        EXPECT_EQ(B.Height(), H) << UTF8Encode(String(Name));
        // Transparent corner, something drawn.
        EXPECT_EQ(B.Canvas()->Pixels(0, H - 1), TColor(RGB(128, 128, 0))) << UTF8Encode(String(Name));
        int Drawn = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X)
                Drawn += B.Canvas()->Pixels(X, Y) != TColor(RGB(128, 128, 0));
        EXPECT_GT(Drawn, W * H / 4) << UTF8Encode(String(Name));
    }
}

TEST_F(FileCtrlTest, DirectoryListShowsTheChainAndTheSubfoldersWithTheirGlyphs) {
    for (const char* Dir : {"/a/b/c2", "/a/b/c1", "/a/b/.hidden", "/a/other"})
        TShellTestTree::MakeDir(Tree.Home + Dir);
    TShellTestTree::Write(Tree.Home + "/a/b/file.txt", "x");
    SetCurrentDir(Home("/a/b"));
    auto* List = Make<TbsSkinDirectoryListBox>(10, 10, 200, 250);
    Pump();
    const String Dir = Home("/a/b");
    ASSERT_EQ(List->Directory(), Dir);
    // "/", the folders down to b (open), b (current), then b's folders (closed; hidden ones not listed).
    std::vector<String> Want = {u"/"};
    String Rest = Dir.substr(1);
    for (std::size_t P; (P = Rest.find(u'/')) != String::npos; Rest = Rest.substr(P + 1))
        Want.push_back(Rest.substr(0, P));
    Want.push_back(Rest);
    const int Current = int(Want.size()) - 1;
    Want.push_back(u"c1");
    Want.push_back(u"c2");
    EXPECT_EQ(ItemsOf(List->Items()), Want);
    EXPECT_EQ(Current, PathDepth(Dir));
    for (int I = 0; I < List->Items()->Count(); ++I) {
        TObject* Glyph = List->Items()->Objects(I);
        TBitmap* WantGlyph = I < Current    ? List->OpenedBitmap()
                             : I == Current ? List->CurrentBitmap()
                                            : List->ClosedBitmap();
        EXPECT_EQ(Glyph, WantGlyph) << I;
    }
    EXPECT_EQ(List->ItemIndex(), Current);
    EXPECT_EQ(List->GetItemPath(0), u"/");
    EXPECT_EQ(List->GetItemPath(Current - 1), Home("/a"));
    EXPECT_EQ(List->GetItemPath(Current), Dir);
    EXPECT_EQ(List->GetItemPath(Current + 1), Home("/a/b/c1"));
    EXPECT_EQ(List->GetItemPath(99), u"");

    // Opening c1 makes it current; opening an open folder goes back up.
    auto* Files = Make<TbsSkinFileListBox>(220, 10, 150, 250);
    List->SetFileList(Files);
    List->SetItemIndex(Current + 1);
    List->OpenCurrent();
    EXPECT_EQ(List->Directory(), Home("/a/b/c1"));
    EXPECT_EQ(GetCurrentDir(), Home("/a/b/c1"));
    EXPECT_EQ(Files->Directory(), Home("/a/b/c1"));
    List->SetItemIndex(Current - 1);
    List->OpenCurrent();
    EXPECT_EQ(List->Directory(), Home("/a"));
    EXPECT_EQ(ItemsOf(List->Items()).back(), u"other");

    // A folder that does not exist raises and changes nothing.
    EXPECT_THROW(List->SetDirectory(Home("/gone")), EInOutError);
    EXPECT_EQ(List->Directory(), Home("/a"));

    // At "/" the root is the current folder.
    List->SetDirectory(u"/");
    EXPECT_EQ(List->Items()->Strings(0), u"/");
    EXPECT_EQ(List->Items()->Objects(0), List->CurrentBitmap());
    EXPECT_EQ(List->ItemIndex(), 0);
}

TEST_F(FileCtrlTest, DirectoryLabelShowsTheShortenedDirectory) {
    TShellTestTree::MakeDir(Tree.Home + "/one/two/three");
    SetCurrentDir(Home());
    auto* List = Make<TbsSkinDirectoryListBox>(10, 10, 200, 200);
    auto* Label = Make<TbsSkinStdLabel>(10, 220, 150, 16);
    Label->SetAutoSize(false);
    Label->SetBounds(10, 220, 150, 16);
    Pump();
    List->SetDirLabel(Label);
    List->SetDirectory(Home("/one/two/three"));
    EXPECT_EQ(Label->Caption().substr(0, 5), u"/.../");
    EXPECT_EQ(Label->Caption().substr(Label->Caption().size() - 6), u"/three");
    EXPECT_LE(Label->Canvas()->TextWidth(Label->Caption()), 150);
}

TEST_F(FileCtrlTest, FileListMatchesMasksAndTakesTypedPaths) {
    for (const char* F : {"a.txt", "b.DOC", "c.avi", "noext", ".hidden.txt"})
        TShellTestTree::Write(Tree.Home + "/files/" + F, "x");
    TShellTestTree::MakeDir(Tree.Home + "/files/sub");
    TShellTestTree::MakeDir(Tree.Home + "/other");
    SetCurrentDir(Home("/files"));
    auto* Files = Make<TbsSkinFileListBox>(10, 10, 200, 250);
    auto* Edit = Make<TEdit>(10, 270, 200, 20);
    Files->SetFileEdit(Edit);
    Pump();
    EXPECT_EQ(ItemsOf(Files->Items()), (std::vector<String>{u"a.txt", u"b.DOC", u"c.avi", u"noext"}));
    EXPECT_EQ(Edit->Text(), u"*.*");

    Files->SetMask(u"*.txt;*.doc");
    EXPECT_EQ(ItemsOf(Files->Items()), (std::vector<String>{u"a.txt", u"b.DOC"}));
    Files->SetMask(u"*.*");
    Files->SetFileType({bsftDirectory});
    EXPECT_EQ(ItemsOf(Files->Items()), std::vector<String>{u"[sub]"});
    Files->SetFileType({bsftNormal, bsftHidden});
    EXPECT_EQ(Files->Items()->IndexOf(u".hidden.txt") >= 0, true);
    EXPECT_EQ(Files->Items()->IndexOf(u"[sub]"), -1);
    Files->SetFileType({bsftNormal});

    // A pattern changes only the mask; a listed file is selected; a hidden existing file becomes the mask.
    Files->ApplyFilePath(u"*.avi");
    EXPECT_EQ(Files->Mask(), u"*.avi");
    EXPECT_EQ(Files->Directory(), Home("/files"));
    EXPECT_EQ(ItemsOf(Files->Items()), (std::vector<String>{u"c.avi"}));
    Files->ApplyFilePath(u"c.avi");
    EXPECT_EQ(Files->GetFileName(), Home("/files/c.avi"));
    EXPECT_EQ(Edit->Text(), u"c.avi");
    Files->ApplyFilePath(u"a.txt");
    EXPECT_EQ(Files->Mask(), u"a.txt");
    EXPECT_EQ(Files->GetFileName(), Home("/files/a.txt"));
    Files->ApplyFilePath(Home("/other"));
    EXPECT_EQ(Files->Directory(), Home("/other"));
    EXPECT_EQ(Files->Items()->Count(), 0);
    EXPECT_EQ(Files->GetFileName(), u"");
}

TEST_F(FileCtrlTest, FilterComboReadsDescriptionAndMaskPairs) {
    auto* Filter = Make<TbsSkinFilterComboBox>(10, 10, 200, 20);
    auto* Files = Make<TbsSkinFileListBox>(10, 40, 200, 200);
    Pump();
    EXPECT_EQ(ItemsOf(Filter->Items()), std::vector<String>{u"All files (*.*)"});
    EXPECT_EQ(Filter->Mask(), u"*.*");

    // 42 pairs, each followed by "|", as the main window builds its filter.
    String Text;
    for (int I = 0; I < 42; ++I)
        Text += Format(u"格式 %d (*.e%d)|*.e%d|", {I, I, I});
    Filter->SetFilter(Text);
    EXPECT_EQ(Filter->Items()->Count(), 42);
    EXPECT_EQ(Filter->Masks()->Count(), 42);
    EXPECT_EQ(Filter->Items()->Strings(41), u"格式 41 (*.e41)");
    EXPECT_EQ(Filter->Masks()->Strings(41), u"*.e41");

    Filter->SetFilter(u"Text (*.txt)|*.txt|Video|*.avi;*.mkv|Dangling");
    EXPECT_EQ(ItemsOf(Filter->Items()), (std::vector<String>{u"Text (*.txt)", u"Video"}));
    EXPECT_EQ(ItemsOf(Filter->Masks()), (std::vector<String>{u"*.txt", u"*.avi;*.mkv"}));

    // Nothing selected: the last filter is chosen, and a linked file list takes its mask.
    Filter->SetFileList(Files);
    Filter->SetItemIndex(-1);
    EXPECT_EQ(Filter->Mask(), u"*.avi;*.mkv");
    EXPECT_EQ(Filter->ItemIndex(), 1);
    EXPECT_EQ(Files->Mask(), u"*.avi;*.mkv");
    Filter->SetItemIndex(0);
    EXPECT_EQ(Files->Mask(), u"*.txt");
}

TEST_F(FileCtrlTest, TheDriveComboAndTheDirectoryListFollowEachOther) {
    // A drive mounted in a folder of its own, wherever the tests run.
    const std::string Folder = Tree.MakeDriveFolder();
    ASSERT_FALSE(Folder.empty());
    const std::string Stick = Folder + "/stick";
    TShellTestTree::MakeDir(Stick + "/照片");
    Tree.SetMounts("/dev/sda1 / ext4 rw 0 0\n/dev/sdc1 " + TShellTestTree::MountField(Stick) + " vfat rw 0 0\n");
    SetCurrentDir(Home());
    auto* Combo = Make<TbsSkinDriveComboBox>(10, 10, 300, 20);
    auto* List = Make<TbsSkinDirectoryListBox>(10, 40, 300, 200);
    Pump();
    Combo->SetDirList(List);
    ASSERT_EQ(Combo->Items()->Count(), 2);
    EXPECT_EQ(Combo->Drive(), u"/");

    // Choosing the drive in the combo box takes the list there.
    Combo->SetItemIndex(1);
    EXPECT_EQ(Combo->Drive(), UTF8ToString(Stick));
    EXPECT_EQ(List->Directory(), UTF8ToString(Stick));
    EXPECT_EQ(List->Items()->Strings(List->Items()->Count() - 1), u"照片");
    // A folder on another drive moves the combo box.
    List->SetDirectory(Home());
    EXPECT_EQ(Combo->Drive(), u"/");
    EXPECT_EQ(Combo->ItemIndex(), 0);
    EXPECT_EQ(List->Directory(), Home());
}
