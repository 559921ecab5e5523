#include "platform/shell/ShellTestTree.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/ImgList.h"
#include "platform/shell/ShellIcons.h"
#include "platform/shell/ShlObj.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <sys/stat.h>

namespace {

// Owns one list of the shell allocator.
struct TList_ {
    LPITEMIDLIST P = nullptr;
    TList_() = default;
    explicit TList_(LPITEMIDLIST AP) : P(AP) {}
    TList_(TList_&& O) noexcept : P(O.P) { O.P = nullptr; }
    TList_& operator=(TList_&& O) noexcept {
        std::swap(P, O.P);
        return *this;
    }
    ~TList_() { SHFree(P); }
};

std::shared_ptr<IShellFolder> Desktop() {
    std::shared_ptr<IShellFolder> F;
    SHGetDesktopFolder(F);
    return F;
}

TList_ Parse(const std::string& Path, HRESULT* Result = nullptr) {
    LPITEMIDLIST L = nullptr;
    const HRESULT R = Desktop()->ParseDisplayName(nullptr, UTF8ToString(Path), nullptr, &L, nullptr);
    if (Result)
        *Result = R;
    return TList_(L);
}

std::string PathOf(LPCITEMIDLIST L) {
    String P;
    SHGetPathFromIDListW(L, P);
    return UTF8Encode(P);
}

// The records of a list as "kind:name" texts.
std::vector<std::string> Records(LPCITEMIDLIST L) {
    std::vector<std::string> Out;
    auto* P = reinterpret_cast<const std::uint8_t*>(L);
    for (std::uint16_t Cb; std::memcpy(&Cb, P, 2), Cb; P += Cb)
        Out.push_back(std::to_string(P[2]) + ":" + std::string(reinterpret_cast<const char*>(P + 3), Cb - 3));
    return Out;
}

String NameOf(const std::shared_ptr<IShellFolder>& F, LPCITEMIDLIST L, DWORD Flags) {
    STRRET S;
    F->GetDisplayNameOf(L, Flags, &S);
    if (S.uType == STRRET_OFFSET) {
        std::uint16_t Cb;
        std::memcpy(&Cb, L, 2);
        return UTF8ToString(std::string(reinterpret_cast<const char*>(L) + S.uOffset, Cb - S.uOffset));
    }
    return S.pOleStr;
}

std::vector<TList_> Enumerate(const std::shared_ptr<IShellFolder>& F, DWORD Flags) {
    std::shared_ptr<IEnumIDList> E;
    EXPECT_EQ(F->EnumObjects(nullptr, Flags, E), S_OK);
    std::vector<TList_> Items;
    LPITEMIDLIST L = nullptr;
    ULONG N = 0;
    while (E && E->Next(1, &L, &N) == S_OK)
        Items.emplace_back(L);
    return Items;
}

ULONG Attributes(const std::shared_ptr<IShellFolder>& F, LPCITEMIDLIST L, ULONG Mask) {
    ULONG A = Mask;
    F->GetAttributesOf(1, &L, &A);
    return A;
}

class ShellNamespaceTest : public ::testing::Test {
protected:
    TShellTestTree Tree;
};

} // namespace

TEST_F(ShellNamespaceTest, DrivesComeFromTheMountTableRootFirst) {
    struct Expected {
        const char* MountPoint;
        TShellDriveKind Kind;
        const char16_t* Label;
    };
    const Expected Cases[] = {
        {"/", dkFixed, u"/"},
        {"/media/stick", dkRemovable, u"USB STICK"}, // label from the labels folder, "\x20" decoded
        {"/mnt/nas", dkNetwork, u"nas"},
        {"/mnt/disc", dkOptical, u"disc"},
        {"/mnt/my data", dkFixed, u"my data"},   // "\040" in the table
        {"/srv/backup", dkRemovable, u"backup"}, // the disk of the partition is removable
    };
    const std::vector<TShellDrive> Drives = ShellDrives();
    ASSERT_EQ(Drives.size(), std::size(Cases));
    for (std::size_t I = 0; I < Drives.size(); ++I) {
        SCOPED_TRACE(Cases[I].MountPoint);
        EXPECT_EQ(Drives[I].MountPoint, Cases[I].MountPoint);
        EXPECT_EQ(Drives[I].Kind, Cases[I].Kind);
        EXPECT_EQ(Drives[I].Label, Cases[I].Label);
    }
    // "/" leads even when the table lists it late, and a table without it still has it.
    Tree.SetMounts("/dev/sdb2 /srv/backup ext4 rw 0 0\n/dev/sda1 / ext4 rw 0 0\n");
    ASSERT_EQ(ShellDrives().size(), 2u);
    EXPECT_EQ(ShellDrives()[0].MountPoint, "/");
    Tree.SetMounts("");
    ASSERT_EQ(ShellDrives().size(), 1u);
    EXPECT_EQ(ShellDrives()[0].MountPoint, "/");
}

TEST_F(ShellNamespaceTest, DesktopHoldsHomeComputerAndTheDesktopFolderEntries) {
    TShellTestTree::Write(Tree.Desk + "/notes.txt", "x");
    TShellTestTree::Write(Tree.Desk + "/.hidden", "x");
    TShellTestTree::MakeDir(Tree.Desk + "/项目");
    auto D = Desktop();
    std::vector<String> Names;
    for (const TList_& L : Enumerate(D, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS))
        Names.push_back(NameOf(D, L.P, SHGDN_INFOLDER));
    EXPECT_EQ(Names, (std::vector<String>{u"Home", u"Computer", u"notes.txt", u"项目"}));
    EXPECT_EQ(Enumerate(D, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS | SHCONTF_INCLUDEHIDDEN).size(), 5u);
    EXPECT_EQ(Enumerate(D, SHCONTF_NONFOLDERS).size(), 1u);

    // Computer holds the drives, named by label.
    TList_ Computer;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Computer.P), S_OK);
    std::shared_ptr<IShellFolder> C;
    ASSERT_EQ(D->BindToObject(Computer.P, C), S_OK);
    std::vector<String> Drives;
    for (const TList_& L : Enumerate(C, SHCONTF_FOLDERS))
        Drives.push_back(NameOf(C, L.P, SHGDN_NORMAL));
    EXPECT_EQ(Drives, (std::vector<String>{u"/", u"USB STICK", u"nas", u"disc", u"my data", u"backup"}));
    // Computer has no path: its parsing name is not one.
    EXPECT_EQ(PathOf(Computer.P), "");
    EXPECT_TRUE(NameOf(D, Computer.P, SHGDN_FORPARSING).starts_with(u"::{"));
}

TEST_F(ShellNamespaceTest, ParsingTakesAbsoluteNormalisedPathsOnly) {
    TShellTestTree::MakeDir(Tree.Home + "/a/b");
    TShellTestTree::MakeDir(Tree.Root + "/outside");
    struct Case {
        std::string Text;
        std::string Path; // empty: the text is refused
    };
    const Case Cases[] = {
        {Tree.Home + "/a/../a/./b//", Tree.Home + "/a/b"},
        {Tree.Home + "/a/b/../../..", Tree.Root + "/home"},
        {Tree.Root + "/outside", Tree.Root + "/outside"},
        {"/../..", "/"},
        {"a/b", ""},
        {"", ""},
        {Tree.Home + "/missing", ""},
        {"C:\\", ""},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Text);
        HRESULT R = S_OK;
        TList_ L = Parse(C.Text, &R);
        if (C.Path.empty()) {
            EXPECT_TRUE(FAILED(R));
            EXPECT_EQ(L.P, nullptr);
        } else {
            ASSERT_EQ(R, S_OK);
            EXPECT_EQ(PathOf(L.P), C.Path);
        }
    }
    // Home's items are reached through Home, others through Computer and their drive.
    EXPECT_EQ(Records(Parse(Tree.Home + "/a").P), (std::vector<std::string>{"1:", "4:a"}));
    const std::string Outside = Tree.Root.substr(1) + "/outside";
    std::vector<std::string> Expected = {"2:", "3:/"};
    for (std::size_t I = 0, J; I <= Outside.size(); I = J + 1) {
        J = std::min(Outside.find('/', I), Outside.size());
        Expected.push_back("4:" + Outside.substr(I, J - I));
    }
    EXPECT_EQ(Records(Parse(Tree.Root + "/outside").P), Expected);
}

TEST_F(ShellNamespaceTest, HasSubFolderScansAndIsAlwaysSetOnSlowDrives) {
    TShellTestTree::MakeDir(Tree.Home + "/flat");
    TShellTestTree::Write(Tree.Home + "/flat/file", "x");
    TShellTestTree::MakeDir(Tree.Home + "/flat/.dot");
    TShellTestTree::MakeDir(Tree.Home + "/deep/sub");
    auto D = Desktop();
    EXPECT_EQ(Attributes(D, Parse(Tree.Home + "/flat").P, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER, 0u);
    EXPECT_NE(Attributes(D, Parse(Tree.Home + "/deep").P, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER, 0u);
    // Asked without the bit, no scan is made and the bit is not reported.
    EXPECT_EQ(Attributes(D, Parse(Tree.Home + "/deep").P, 0) & SFGAO_HASSUBFOLDER, 0u);

    TList_ Computer;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Computer.P);
    std::shared_ptr<IShellFolder> C;
    D->BindToObject(Computer.P, C);
    for (const TList_& L : Enumerate(C, SHCONTF_FOLDERS)) {
        const String Name = NameOf(C, L.P, SHGDN_NORMAL);
        if (Name == u"nas" || Name == u"USB STICK") {
            SCOPED_TRACE(UTF8Encode(String(Name)));
            EXPECT_NE(Attributes(C, L.P, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER, 0u);
        }
    }
    const ULONG File = Attributes(D, Parse(Tree.Home + "/flat/file").P, 0);
    EXPECT_EQ(File & SFGAO_FOLDER, 0u);
    EXPECT_NE(File & SFGAO_CANRENAME, 0u);
    EXPECT_NE(File & SFGAO_FILESYSTEM, 0u);
    EXPECT_NE(Attributes(D, Parse(Tree.Home + "/flat/.dot").P, 0) & SFGAO_HIDDEN, 0u);
}

TEST_F(ShellNamespaceTest, ComparisonIsATotalOrderWhereZeroMeansTheSameItem) {
    for (const char* Name : {"b", "B", "a", "视频", "Zeta", "x.zip"})
        TShellTestTree::MakeDir(Tree.Desk + "/" + Name);
    for (const char* Name : {"a.txt", "A.txt", "音乐.mp3", "0"})
        TShellTestTree::Write(Tree.Desk + "/" + Name, "x");
    auto D = Desktop();
    std::vector<TList_> Items = Enumerate(D, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS);
    // The drives as absolute lists: Computer's record followed by each drive's.
    TList_ Computer;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &Computer.P);
    std::shared_ptr<IShellFolder> C;
    D->BindToObject(Computer.P, C);
    for (TList_& Drive : Enumerate(C, SHCONTF_FOLDERS)) {
        std::uint16_t A, B;
        std::memcpy(&A, Computer.P, 2);
        std::memcpy(&B, Drive.P, 2);
        auto* L = static_cast<std::uint8_t*>(SHAlloc(A + B + 2));
        std::memcpy(L, Computer.P, A);
        std::memcpy(L + A, Drive.P, B);
        Items.emplace_back(reinterpret_cast<LPITEMIDLIST>(L));
    }
    std::mt19937 Random(7);
    std::shuffle(Items.begin(), Items.end(), Random);
    auto Sign = [&](LPCITEMIDLIST A, LPCITEMIDLIST B) { return int(std::int16_t(D->CompareIDs(0, A, B) & 0xFFFF)); };
    for (std::size_t I = 0; I < Items.size(); ++I)
        for (std::size_t J = 0; J < Items.size(); ++J) {
            const int AB = Sign(Items[I].P, Items[J].P), BA = Sign(Items[J].P, Items[I].P);
            EXPECT_EQ(AB, -BA) << Records(Items[I].P).back() << " vs " << Records(Items[J].P).back();
            EXPECT_EQ(AB == 0, I == J) << Records(Items[I].P).back() << " vs " << Records(Items[J].P).back();
        }
    std::sort(Items.begin(), Items.end(), [&](const TList_& A, const TList_& B) { return Sign(A.P, B.P) < 0; });
    std::vector<String> Order;
    for (const TList_& L : Items)
        Order.push_back(NameOf(D, L.P, SHGDN_NORMAL));
    EXPECT_EQ(Order, (std::vector<String>{u"Home", u"Computer", u"/", u"USB STICK", u"disc", u"my data", u"nas",
                                          u"backup", u"a", u"B", u"b", u"x.zip", u"Zeta", u"视频", u"0", u"A.txt",
                                          u"a.txt", u"音乐.mp3"}));
}

TEST_F(ShellNamespaceTest, RenameNeverReplacesAndRefusesBadNames) {
    TShellTestTree::Write(Tree.Home + "/one.txt", "first");
    TShellTestTree::Write(Tree.Home + "/two.txt", "second");
    TList_ HomeList;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_PROFILE, &HomeList.P), S_OK);
    std::shared_ptr<IShellFolder> Home;
    ASSERT_EQ(Desktop()->BindToObject(HomeList.P, Home), S_OK);
    TList_ One;
    ASSERT_EQ(Home->ParseDisplayName(nullptr, u"one.txt", nullptr, &One.P, nullptr), S_OK);
    for (const char16_t* Name : {u"two.txt", u"", u"a/b", u"..", u"."}) {
        SCOPED_TRACE(UTF8Encode(String(Name)));
        TList_ Out;
        EXPECT_TRUE(FAILED(Home->SetNameOf(nullptr, One.P, Name, SHGDN_NORMAL, &Out.P)));
        EXPECT_EQ(Out.P, nullptr);
    }
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/one.txt"), "first");
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/two.txt"), "second");

    TList_ Renamed;
    ASSERT_EQ(Home->SetNameOf(nullptr, One.P, u"一.txt", SHGDN_NORMAL, &Renamed.P), S_OK);
    EXPECT_EQ(TShellTestTree::Read(Tree.Home + "/一.txt"), "first");
    EXPECT_EQ(Records(Renamed.P), (std::vector<std::string>{"5:一.txt"}));
}

TEST_F(ShellNamespaceTest, DetailColumnsAndFindData) {
    TShellTestTree::Write(Tree.Home + "/clip.MP4", std::string(1025, 'x'));
    auto D = Desktop();
    auto Folder2 = [&] {
        TList_ H;
        SHGetSpecialFolderLocation(nullptr, CSIDL_PROFILE, &H.P);
        std::shared_ptr<IShellFolder> F;
        D->BindToObject(H.P, F);
        return std::dynamic_pointer_cast<IShellFolder2>(F);
    }();
    ASSERT_TRUE(Folder2);
    std::vector<String> Titles;
    std::vector<bool> Shown;
    SHELLDETAILS SD;
    for (UINT I = 0; SUCCEEDED(Folder2->GetDetailsOf(nullptr, I, &SD)); ++I) {
        Titles.push_back(SD.str.pOleStr);
        DWORD State = 0;
        Folder2->GetDefaultColumnState(I, &State);
        Shown.push_back((State & SHCOLSTATE_ONBYDEFAULT) != 0);
    }
    EXPECT_EQ(Titles, (std::vector<String>{u"Name", u"Size", u"Type", u"Modified", u"Changed"}));
    EXPECT_EQ(Shown, (std::vector<bool>{true, true, true, true, false}));

    TList_ Clip;
    ASSERT_EQ(Folder2->ParseDisplayName(nullptr, u"clip.MP4", nullptr, &Clip.P, nullptr), S_OK);
    std::vector<String> Texts;
    for (UINT I = 0; I < 5; ++I) {
        Folder2->GetDetailsOf(Clip.P, I, &SD);
        Texts.push_back(SD.str.pOleStr);
    }
    EXPECT_EQ(Texts[0], u"clip.MP4");
    EXPECT_EQ(Texts[1], u"2 KB");
    EXPECT_EQ(Texts[2], u"MP4 File");
    EXPECT_NE(Texts[3].find(u':'), String::npos);
    EXPECT_NE(Texts[4].find(u':'), String::npos);

    WIN32_FIND_DATAW FD;
    EXPECT_EQ(GetFileFindData(UTF8ToString(Tree.Home + "/clip.MP4"), FD), 0);
    EXPECT_EQ(FD.nFileSizeLow, 1025u);
    EXPECT_EQ(FD.cFileName, u"clip.MP4");
    struct stat St;
    stat((Tree.Home + "/clip.MP4").c_str(), &St);
    EXPECT_EQ(FileTimeToUnixTime(FD.ftLastWriteTime), St.st_mtime);
    EXPECT_NE(GetFileFindData(UTF8ToString(Tree.Home + "/none"), FD), 0);
}

TEST_F(ShellNamespaceTest, SpecialFoldersThatExistHere) {
    TShellTestTree::MakeDir(Tree.Home + "/Documents");
    struct Case {
        int Csidl;
        std::string Path; // "-" for none, "" for an item without a path
    };
    const Case Cases[] = {
        {CSIDL_DESKTOP, Tree.Desk},
        {CSIDL_DRIVES, ""},
        {CSIDL_PROFILE, Tree.Home},
        {CSIDL_PERSONAL, Tree.Home + "/Documents"},
        {CSIDL_DESKTOPDIRECTORY, Tree.Desk},
        {CSIDL_TEMPLATES, "-"},
        {CSIDL_RECENT, "-"},
        {3 /* control panel */, "-"},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Csidl);
        TList_ L;
        const HRESULT R = SHGetSpecialFolderLocation(nullptr, C.Csidl, &L.P);
        if (C.Path == "-") {
            EXPECT_TRUE(FAILED(R));
            continue;
        }
        ASSERT_EQ(R, S_OK);
        EXPECT_EQ(PathOf(L.P), C.Path);
    }
}

TEST(ShellIconsTest, TwoListsWithEqualIndicesAndNamedIcons) {
    TCustomImageList* Small = ShellImageList(false);
    TCustomImageList* Large = ShellImageList(true);
    EXPECT_EQ(Small->Width(), 16);
    EXPECT_EQ(Large->Width(), 32);
    EXPECT_EQ(Small->Count(), int(siCount));
    EXPECT_EQ(Large->Count(), int(siCount));
    const std::pair<const char16_t*, int> Names[] = {{u"file", siFile},
                                                     {u"folder-open", siFolderOpen},
                                                     {u"drive-optical", siDriveOptical},
                                                     {u"picture", siPicture},
                                                     {u"nothing", -1}};
    for (auto [Name, Index] : Names)
        EXPECT_EQ(ShellIconIndexByName(Name), Index) << UTF8Encode(String(Name));
    const std::pair<const char16_t*, int> Files[] = {
        {u"a.MKV", siVideo}, {u"b.flac", siAudio}, {u"c.jpeg", siPicture}, {u"d.txt", siFile}, {u"mp4", siFile}};
    for (auto [Name, Index] : Files)
        EXPECT_EQ(ShellFileIconIndex(Name), Index) << UTF8Encode(String(Name));
    // Every icon is drawn: none of them is left blank (all mask colour).
    for (int I = 0; I < siCount; ++I) {
        const auto& Pixels = Large->ImagePixels(I);
        EXPECT_TRUE(std::any_of(Pixels.begin(), Pixels.end(), [](std::uint32_t P) { return (P >> 24) != 0; })) << I;
    }
}
