// No data is lost by the snapshot command or the shell views: a snapshot takes a free name and never writes over
// a picture or through a link to a file, and renaming or deleting in a shell view keeps every file's bytes.
#include "platform/shell/ShellTestTree.h"
#include "tests/app/PreviewFixture.h"

#include "app/OptionIni.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace {

namespace fs = std::filesystem;

std::string Contents(const fs::path& File) {
    std::ifstream In(File, std::ios::binary);
    return {std::istreambuf_iterator<char>(In), {}};
}

std::vector<std::string> Names(const fs::path& Folder) {
    std::vector<std::string> Result;
    for (const auto& E : fs::directory_iterator(Folder))
        Result.push_back(E.path().filename().string());
    std::sort(Result.begin(), Result.end());
    return Result;
}

class SnapshotNoDataLoss : public preview::PreviewTest {};

// The end of a label edit as the view's own handler receives it.
class TRenamingListView : public TbsSkinFileListView {
public:
    using TbsCustomShellListView::Edit;
    using TbsSkinFileListView::TbsSkinFileListView;
};

class ShellNoDataLoss : public uitest::FormTest {
protected:
    ShellNoDataLoss() : uitest::FormTest(600, 400) {}
    void SetUp() override {
        uitest::FormTest::SetUp();
        Dir = Tree.Home + "/视频";
        for (const auto& [Name, Bytes] : Files)
            TShellTestTree::Write(Dir + "/" + Name, Bytes);
        List = new TRenamingListView(Form.get());
        List->SetParent(Form.get());
        List->SetBounds(10, 10, 560, 340);
        List->SetPath(UTF8ToString(Dir));
        Pump();
    }
    int Row(const char16_t* Name) const {
        for (int I = 0; I < List->FolderCount(); ++I)
            if (List->GetFolder(I)->DisplayName() == Name)
                return I;
        return -1;
    }
    // Every file of the tree (the trash included) by its bytes.
    std::multimap<std::string, std::string> Everything() const {
        std::multimap<std::string, std::string> Result;
        for (const auto& E : fs::recursive_directory_iterator(fs::u8path(Tree.Home)))
            if (E.is_regular_file() && E.path().extension() != ".trashinfo" && E.path().filename() != "user-dirs.dirs")
                Result.emplace(Contents(E.path()), E.path().filename().string());
        return Result;
    }

    const std::map<std::string, std::string> Files = {
        {"a.txt", "first file"}, {"b.txt", "second file"}, {"c.txt", "third file"}};
    TShellTestTree Tree;
    std::string Dir;
    TRenamingListView* List = nullptr;
};

} // namespace

TEST_F(SnapshotNoDataLoss, ASnapshotNeverWritesOverAPictureOrThroughALink) {
    const fs::path Shots = fs::u8path(UTF8Encode(Home.Path() + u"shots"));
    fs::create_directories(Shots);
    const fs::path Precious = fs::u8path(UTF8Encode(Home.Path() + u"precious.bmp"));
    std::ofstream(Precious, std::ios::binary) << "a picture kept elsewhere";
    std::ofstream(Shots / "clip_1.bmp", std::ios::binary) << "first";
    std::ofstream(Shots / "clip_3.bmp", std::ios::binary) << "third";
    std::ofstream(Shots / "clip_2.BMP", std::ios::binary) << "another name";
    fs::create_symlink(Precious, Shots / "clip_4.bmp");
    const std::map<std::string, std::string> Before = {{"clip_1.bmp", "first"},
                                                       {"clip_3.bmp", "third"},
                                                       {"clip_2.BMP", "another name"},
                                                       {"clip_4.bmp", "a picture kept elsewhere"}};
    fs::create_symlink(preview::PatternClip(), Exe.Folder() / "clip.avi");
    WriteOption(u"SnapShot", u"Dir", UTF8ToString(Shots.string()));
    WriteOption(u"SnapShot", u"Picture", u"BMP");
    Start();
    PreviewPaused(UTF8Encode(Exe.Path() + u"clip.avi"));
    for (int I = 0; I < 3; ++I)
        Form1->bsSkinButton22Click(nullptr);
    EXPECT_EQ(Names(Shots), (std::vector<std::string>{"clip_1.bmp", "clip_2.BMP", "clip_2.bmp", "clip_3.bmp",
                                                      "clip_4.bmp", "clip_5.bmp", "clip_6.bmp"}));
    for (const auto& [Name, Bytes] : Before)
        EXPECT_EQ(Contents(Shots / Name), Bytes) << Name;
    EXPECT_EQ(Contents(Precious), "a picture kept elsewhere");
}

TEST_F(ShellNoDataLoss, RenameAndDeleteInAShellViewKeepEveryFile) {
    const auto Start = Everything();
    // Each delete asks first; the question is answered Yes with Enter.
    int Questions = 0;
    Application->OnIdle = [&](TObject*) {
        TCustomForm* Active = Screen->ActiveForm();
        if (Active && Active != Form.get() && Active->Caption() == u"Delete" && Active->ModalResult() == mrNone) {
            ++Questions;
            InjectKeyPress(VK_RETURN);
        }
    };
    // A rename onto another file is refused; both keep their bytes.
    EXPECT_THROW(List->Edit(Row(u"a.txt"), u"b.txt", false), Exception);
    EXPECT_EQ(Contents(Dir + "/a.txt"), "first file");
    EXPECT_EQ(Contents(Dir + "/b.txt"), "second file");
    // A rename to a free name moves the bytes with it.
    List->Edit(Row(u"a.txt"), u"视频 a.txt", false);
    EXPECT_EQ(Contents(fs::u8path(Dir + "/视频 a.txt")), "first file");
    // Deleting goes to the trash, twice under one name as well.
    InvokeShellVerb(List->GetFolder(Row(u"b.txt")), "delete");
    TShellTestTree::Write(Dir + "/b.txt", "a new second file");
    List->SetPath(UTF8ToString(Dir));
    InvokeShellVerb(List->GetFolder(Row(u"b.txt")), "delete");
    InvokeShellVerb(List->GetFolder(Row(u"c.txt")), "delete");
    Application->OnIdle = nullptr;
    EXPECT_EQ(Questions, 3);
    EXPECT_FALSE(fs::exists(Dir + "/b.txt"));
    EXPECT_FALSE(fs::exists(Dir + "/c.txt"));
    std::multiset<std::string> Kept, Expected;
    for (const auto& [Bytes, Name] : Everything())
        Kept.insert(Bytes);
    for (const auto& [Bytes, Name] : Start)
        Expected.insert(Bytes);
    Expected.insert("a new second file");
    EXPECT_EQ(Kept, Expected);
}
