#include "platform/shell/ShellTestTree.h"
#include "platform/ui/UiTestFixture.h"

#include "platform/shell/ShellLauncher.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"
#include "skin/dialogs/bsSkinShellCtrls.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// A list of one-byte-named records: "A", "B" ... as the layout of the lists here.
LPITEMIDLIST ListOf(std::initializer_list<const char*> Names) {
    std::string Bytes;
    for (const char* N : Names) {
        const std::uint16_t Cb = std::uint16_t(3 + std::strlen(N));
        Bytes.append(reinterpret_cast<const char*>(&Cb), 2);
        Bytes += char(SHID_FOLDER);
        Bytes += N;
    }
    Bytes.append(2, '\0');
    LPITEMIDLIST L = AllocItemList(Bytes.size());
    std::memcpy(L, Bytes.data(), Bytes.size());
    return L;
}

std::string BytesOf(LPCITEMIDLIST L) {
    return std::string(reinterpret_cast<const char*>(L), ItemListSize(L));
}

struct TOwned {
    LPITEMIDLIST P;
    explicit TOwned(LPITEMIDLIST AP) : P(AP) {}
    ~TOwned() { FreeItemList(P); }
};

// The folder of a path, below the shared desktop as a control's root is.
std::unique_ptr<TbsShellFolder> FolderOf(const std::string& Path) {
    TRoot Root = UTF8ToString(Path);
    return std::unique_ptr<TbsShellFolder>(CreateRootFromName(nullptr, u"", Root));
}

// The child of a folder by name, as a shell control lists it.
std::unique_ptr<TbsShellFolder> ChildOf(TbsShellFolder* Parent, const String& Name) {
    LPITEMIDLIST ID = nullptr;
    if (FAILED(Parent->ShellFolder()->ParseDisplayName(nullptr, Name, nullptr, &ID, nullptr)))
        return nullptr;
    auto Child = std::make_unique<TbsShellFolder>(Parent, ID, BindShellFolder(Parent->ShellFolder(), ID, nullptr));
    FreeItemList(ID);
    return Child;
}

class ShellFolderTest : public UiTest {
protected:
    TShellTestTree Tree;
};

} // namespace

TEST(ItemListTest, SizesCopiesAndConcatenation) {
    EXPECT_EQ(ItemListSize(nullptr), 0u);
    TOwned Empty(AllocItemList(2));
    EXPECT_EQ(ItemListSize(Empty.P), 2u);
    EXPECT_EQ(ItemIDCount(Empty.P), 0);
    TOwned AB(ListOf({"A", "B"}));
    EXPECT_EQ(ItemListSize(AB.P), 10u);
    EXPECT_EQ(ItemIDCount(AB.P), 2);
    TOwned FromNil(ConcatItemLists(nullptr, AB.P));
    EXPECT_EQ(BytesOf(FromNil.P), BytesOf(AB.P));
    TOwned C(ListOf({"C"}));
    TOwned ABC(ConcatItemLists(AB.P, C.P));
    TOwned Expected(ListOf({"A", "B", "C"}));
    EXPECT_EQ(BytesOf(ABC.P), BytesOf(Expected.P));
    TOwned Last(CopyLastItemID(ABC.P));
    EXPECT_EQ(BytesOf(Last.P), BytesOf(C.P));
    EXPECT_EQ(BytesOf(NextItemID(ABC.P)), BytesOf(TOwned(ListOf({"B", "C"})).P));
    StripLastItemID(ABC.P);
    EXPECT_EQ(BytesOf(ABC.P), BytesOf(AB.P));
    StripLastItemID(Empty.P); // nothing to strip
    StripLastItemID(nullptr);
    EXPECT_EQ(ItemListSize(Empty.P), 2u);
}

TEST(ItemListTest, AncestorsRunFromTheDesktopToTheParent) {
    TOwned ABC(ListOf({"A", "B", "C"}));
    TList* Ancestors = SplitItemListAncestors(ABC.P);
    ASSERT_EQ(Ancestors->Count(), 3);
    EXPECT_EQ(BytesOf(static_cast<LPITEMIDLIST>(Ancestors->Get(0))), std::string(2, '\0'));
    EXPECT_EQ(BytesOf(static_cast<LPITEMIDLIST>(Ancestors->Get(1))), BytesOf(TOwned(ListOf({"A"})).P));
    EXPECT_EQ(BytesOf(static_cast<LPITEMIDLIST>(Ancestors->Get(2))), BytesOf(TOwned(ListOf({"A", "B"})).P));
    FreeItemListList(Ancestors);
    TOwned Desktop(DesktopItemList());
    TList* None = SplitItemListAncestors(Desktop.P);
    EXPECT_EQ(None->Count(), 0);
    FreeItemListList(None);
}

TEST(ItemListTest, DisplayNamesLoseQuestionMarksOnlyBeforeADigit) {
    struct Case {
        const char16_t* Text;
        const char16_t* Expected;
    };
    const Case Cases[] = {{u"?1abc?", u"1abc"}, {u"?a1?", u"?a1?"}, {u"?", u"?"}, {u"?9", u"9"}, {u"a?1", u"a?1"}};
    for (const Case& C : Cases) {
        STRRET S;
        S.pOleStr = C.Text;
        EXPECT_EQ(StrRetToText(nullptr, S), C.Expected) << UTF8Encode(String(C.Text));
    }
    // 8-bit names: at an offset into the record, or in the structure itself.
    TOwned L(ListOf({"名字"}));
    STRRET Offset;
    Offset.uType = STRRET_OFFSET;
    Offset.uOffset = 3;
    EXPECT_EQ(StrRetToText(L.P, Offset), u"名字");
    STRRET Cstr;
    Cstr.uType = STRRET_CSTR;
    std::strcpy(Cstr.cStr, "plain");
    EXPECT_EQ(StrRetToText(nullptr, Cstr), u"plain");
    EXPECT_EQ(ItemDisplayName(nullptr, L.P, 0), u"parentfolder = nil");
}

TEST(ItemListTest, EnumerationFlagsAndRootNames) {
    EXPECT_EQ(ObjectTypesToEnumFlags({otFolders}), 0x20u);
    EXPECT_EQ(ObjectTypesToEnumFlags({otFolders, otNonFolders, otHidden}), 0xE0u);
    EXPECT_EQ(RootFolderIndex(u"rfDesktop"), 0);
    EXPECT_EQ(RootFolderIndex(u"rfTemplates"), int(rfTemplates));
    EXPECT_EQ(RootFolderCSIDL[rfPersonal], 5);
    EXPECT_EQ(RootFolderIndex(u"/home"), -1);
}

TEST_F(ShellFolderTest, RootsResolveFromNamesAndPaths) {
    TShellTestTree::MakeDir(Tree.Home + "/a/b");
    auto Root = FolderOf(Tree.Home + "/a/../a/b/.");
    EXPECT_EQ(Root->PathName(), UTF8ToString(Tree.Home + "/a/b"));
    EXPECT_EQ(Root->DisplayName(), u"b");
    EXPECT_EQ(Root->Level(), 0);
    EXPECT_EQ(Root->Parent(), DesktopFolder());

    // A failing root keeps the old one: the text goes back and the old folder stays usable.
    for (const char16_t* Bad : {u"", u"rfPrinters", u"relative/path", u"D:"}) {
        TRoot NewRoot = Bad;
        try {
            CreateRootFromName(Root.get(), u"rfDesktop", NewRoot);
            ADD_FAILURE() << "no error for " << UTF8Encode(String(Bad));
        } catch (const Exception& E) {
            const String Shown = String(Bad) == u"D:" ? u"D:\\" : Bad;
            EXPECT_EQ(E.Message(), u"Error setting path: \"" + Shown + u"\"");
        }
        EXPECT_EQ(NewRoot, u"rfDesktop");
        EXPECT_EQ(Root->PathName(), UTF8ToString(Tree.Home + "/a/b"));
    }
    // Special folders by value name; Computer shows its name, never a class identifier.
    TRoot Name = u"rfMyComputer";
    TbsShellFolder* Computer = CreateRootFromName(Root.release(), u"", Name);
    EXPECT_EQ(Computer->DisplayName(), u"Computer");
    EXPECT_EQ(Computer->PathName(), u"Computer");
    EXPECT_EQ(Computer->FullObjectName(), u"");
    EXPECT_TRUE(Computer->IsFolder());
    delete Computer;
}

TEST_F(ShellFolderTest, ZipNamesAreNeverFolders) {
    for (const char* Name : {"x.zip", "Y.ZIP", "plain"})
        TShellTestTree::MakeDir(Tree.Home + "/" + Name);
    TShellTestTree::Write(Tree.Home + "/real.zip", "PK");
    auto Home = FolderOf(Tree.Home);
    const std::pair<const char16_t*, bool> Cases[] = {
        {u"x.zip", false}, {u"Y.ZIP", false}, {u"plain", true}, {u"real.zip", false}};
    for (auto [Name, Folder] : Cases) {
        auto Child = ChildOf(Home.get(), Name);
        ASSERT_TRUE(Child) << UTF8Encode(String(Name));
        EXPECT_EQ(Child->IsFolder(), Folder) << UTF8Encode(String(Name));
        EXPECT_EQ(Child->Level(), 1);
    }
}

TEST_F(ShellFolderTest, DetailsNeedLoadingAndALoadIsKept) {
    TShellTestTree::Write(Tree.Home + "/film.mkv", "x");
    // A sparse file just above 4 GiB.
    const std::string Big = Tree.Home + "/大文件.bin";
    const int Fd = open(Big.c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(Fd, 0);
    ASSERT_EQ(ftruncate(Fd, (std::int64_t(1) << 32) + 1), 0);
    close(Fd);

    auto Home = FolderOf(Tree.Home);
    auto Film = ChildOf(Home.get(), u"film.mkv");
    try {
        Film->Details(1);
        ADD_FAILURE() << "no error";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), u"film.mkv: Missing call to LoadColumnDetails");
    }
    Film->LoadColumnDetails(Home.get(), nullptr, 4);
    EXPECT_EQ(Film->DetailCount(), 4);
    EXPECT_EQ(Film->Details(1), u"1 KB");
    EXPECT_EQ(Film->Details(2), u"MKV File");
    EXPECT_NE(Film->Details(4).find(u':'), String::npos);
    // Loaded texts stay: removing the file changes nothing until a longer load.
    fs::remove(Tree.Home + "/film.mkv");
    Film->LoadColumnDetails(Home.get(), nullptr, 3);
    EXPECT_EQ(Film->Details(1), u"1 KB");
    Film->LoadColumnDetails(Home.get(), nullptr, 5);
    EXPECT_EQ(Film->Details(1), u"");

    auto Large = ChildOf(Home.get(), u"大文件.bin");
    Large->LoadColumnDetails(Home.get(), nullptr, 4);
    EXPECT_EQ(Large->Details(1), u"4,194,305 KB");
    const WIN32_FIND_DATAW FD = Large->GetFindData();
    EXPECT_EQ(FD.nFileSizeHigh, 1u);
    EXPECT_EQ(FD.nFileSizeLow, 1u);
    fs::remove(Big);
    try {
        Large->GetFindData();
        ADD_FAILURE() << "no error";
    } catch (const EInvalidPath& E) {
        EXPECT_EQ(E.Message(), u"Unable to retrieve folder details for \"大文件.bin\". Error code $2");
    }
}

TEST_F(ShellFolderTest, RenameRefusesExistingAndBadNames) {
    TShellTestTree::Write(Tree.Home + "/one.txt", "first");
    TShellTestTree::Write(Tree.Home + "/two.txt", "second");
    auto Home = FolderOf(Tree.Home);
    auto One = ChildOf(Home.get(), u"one.txt");
    for (const char16_t* Name : {u"two.txt", u"", u"sub/name"}) {
        try {
            One->Rename(Name);
            ADD_FAILURE() << "renamed to " << UTF8Encode(String(Name));
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), u"Rename to " + String(Name) + u" failed");
        }
    }
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/one.txt"), "first");
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/two.txt"), "second");
    ASSERT_TRUE(One->Rename(u"三.txt"));
    EXPECT_EQ(One->PathName(), UTF8ToString(Tree.Home + "/三.txt"));
    EXPECT_EQ(One->DisplayName(), u"三.txt");
    // The desktop and Computer cannot be renamed: false, no message.
    TRoot Name = u"rfMyComputer";
    std::unique_ptr<TbsShellFolder> Computer(CreateRootFromName(nullptr, u"", Name));
    EXPECT_FALSE(Computer->Rename(u"Other"));
}

namespace {

class TVerbControl : public TWinControl, public IShellVerbHandler {
public:
    using TWinControl::TWinControl;
    void ExecuteCommand(const String& Verb, bool& Handled) override {
        Log.push_back(u"execute " + Verb);
        Handled = Verb == u"rename";
    }
    void CommandCompleted(const String& Verb, bool Succeeded) override {
        Log.push_back(u"completed " + Verb + (Succeeded ? u" yes" : u" no"));
    }
    std::vector<String> Log;
};

struct TRecordingLauncher : TShellLauncher {
    std::vector<String>* Log;
    bool Open(const String& Target, const String& Dir, String&) override {
        Log->push_back(Target + u" | " + Dir);
        return true;
    }
};

} // namespace

TEST_F(ShellFolderTest, TheContextMenuHandsVerbsToTheControlOrRunsThem) {
    TShellTestTree::Write(Tree.Home + "/clip.mp4", "x");
    auto Home = FolderOf(Tree.Home);
    auto Clip = ChildOf(Home.get(), u"clip.mp4");
    TVerbControl Control(nullptr);
    Control.SetBounds(10, 10, 100, 100);
    SetFocus(Control.Handle());
    std::vector<String> Opened;
    auto Recorder = std::make_unique<TRecordingLauncher>();
    Recorder->Log = &Opened;
    auto Old = SetShellLauncher(std::move(Recorder));

    // Rows: Open, Rename, Delete, Properties. The control takes "rename"; "open" runs through the launcher.
    InjectKeyPress('M');
    ShowShellContextMenu(&Control, Clip.get(), 5, 5);
    InjectKeyPress('O');
    ShowShellContextMenu(&Control, Clip.get(), 5, 5);
    InjectKeyPress(VK_ESCAPE);
    ShowShellContextMenu(&Control, Clip.get(), 5, 5);
    // The default verb is "open"; a folder is its own working folder.
    EXPECT_TRUE(Home->ExecuteDefault());
    SetShellLauncher(std::move(Old));
    EXPECT_EQ(Control.Log, (std::vector<String>{u"execute rename", u"completed rename yes", u"execute open",
                                                u"completed open yes"}));
    // The item's folder is the child's working folder; this process's stays.
    EXPECT_EQ(Opened, (std::vector<String>{UTF8ToString(Tree.Home + "/clip.mp4 | " + Tree.Home),
                                           UTF8ToString(Tree.Home + " | " + Tree.Home)}));
}

TEST_F(ShellFolderTest, DeleteMovesToTheTrashAfterAsking) {
    TShellTestTree::Write(Tree.Home + "/old.avi", "video");
    auto Home = FolderOf(Tree.Home);
    auto Old = ChildOf(Home.get(), u"old.avi");
    auto MainForm = std::make_unique<TForm>(nullptr);
    MainForm->Show();
    Pump();
    // "No" keeps the file.
    InjectKeyPress(VK_TAB);
    InjectKeyPress(VK_RETURN);
    InvokeShellVerb(Old.get(), "delete");
    EXPECT_TRUE(fs::exists(Tree.Home + "/old.avi"));
    InjectKeyPress(VK_RETURN); // "Yes" is the default
    InvokeShellVerb(Old.get(), "delete");
    EXPECT_FALSE(fs::exists(Tree.Home + "/old.avi"));
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/.local/share/Trash/files/old.avi"), "video");
    const std::string Note = TShellTestTree::Read(Tree.Home + "/.local/share/Trash/info/old.avi.trashinfo");
    EXPECT_TRUE(Note.starts_with("[Trash Info]\nPath=")) << Note;
    EXPECT_NE(Note.find("/old.avi\nDeletionDate="), std::string::npos) << Note;
}
