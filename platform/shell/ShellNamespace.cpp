// The folder objects of the namespace: the desktop, Computer and file-system folders.
#include "platform/shell/ShellInternal.h"

#include "platform/base/SysUtils.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <vector>

using namespace shellns;

// ---------------------------------------------------------------------------------------------
// Lists

void* SHAlloc(std::size_t Size) {
    return Size ? std::calloc(1, Size) : nullptr;
}

void SHFree(void* Block) {
    std::free(Block);
}

namespace shellns {

bool ReadRecord(const std::uint8_t* Item, TItemRecord& Record) {
    const std::uint16_t Cb = ItemCb(Item);
    if (Cb < 3)
        return false;
    Record.Kind = Item[2];
    Record.Name.assign(reinterpret_cast<const char*>(Item + 3), Cb - 3);
    return true;
}

LPITEMIDLIST MakeItemList(std::uint8_t Kind, const std::string& Name) {
    const std::size_t Cb = 3 + Name.size();
    if (Cb > 0xFFFF)
        return nullptr;
    auto* P = static_cast<std::uint8_t*>(SHAlloc(Cb + 2));
    if (!P)
        return nullptr;
    const std::uint16_t C = std::uint16_t(Cb);
    std::memcpy(P, &C, 2);
    P[2] = Kind;
    std::memcpy(P + 3, Name.data(), Name.size());
    return reinterpret_cast<LPITEMIDLIST>(P);
}

namespace {
std::size_t RecordsSize(LPCITEMIDLIST L) {
    if (!L)
        return 0;
    auto* P = reinterpret_cast<const std::uint8_t*>(L);
    std::size_t N = 0;
    while (std::uint16_t Cb = ItemCb(P + N))
        N += Cb;
    return N;
}
} // namespace

LPITEMIDLIST JoinLists(LPCITEMIDLIST A, LPCITEMIDLIST B) {
    const std::size_t SA = RecordsSize(A), SB = RecordsSize(B);
    auto* P = static_cast<std::uint8_t*>(SHAlloc(SA + SB + 2));
    if (!P)
        return nullptr;
    if (SA)
        std::memcpy(P, A, SA);
    if (SB)
        std::memcpy(P + SA, B, SB);
    return reinterpret_cast<LPITEMIDLIST>(P);
}

// ---------------------------------------------------------------------------------------------
// Places

std::string DesktopPath() {
    const std::string D = ShellUserDir("DESKTOP");
    return D.empty() ? ShellHomeDir() : D;
}

namespace {

std::string JoinPath(const std::string& Dir, const std::string& Name) {
    return Dir == "/" ? "/" + Name : Dir + "/" + Name;
}

bool IsDirectory(const std::string& Path) {
    struct stat St;
    return stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

bool IsHidden(const std::string& Name) {
    return !Name.empty() && Name[0] == '.';
}

// Stops at the first subfolder that a browser shows (hidden ones are not).
bool HasSubFolder(const std::string& Path) {
    DIR* D = opendir(Path.c_str());
    if (!D)
        return false;
    bool Found = false;
    while (!Found) {
        dirent* E = readdir(D);
        if (!E)
            break;
        const std::string Name = E->d_name;
        if (Name == "." || Name == ".." || IsHidden(Name))
            continue;
        if (E->d_type == DT_DIR)
            Found = true;
        else if (E->d_type == DT_UNKNOWN || E->d_type == DT_LNK)
            Found = IsDirectory(JoinPath(Path, Name));
    }
    closedir(D);
    return Found;
}

bool DriveKindOf(const std::string& MountPoint, TShellDriveKind& Kind) {
    TShellDrive D;
    if (!FindShellDrive(MountPoint, D))
        return false;
    Kind = D.Kind;
    return true;
}

} // namespace

bool ResolveRelative(TPlace Place, const std::string& Path, LPCITEMIDLIST List, TResolvedItem& Item) {
    Item = TResolvedItem();
    Item.Place = Place;
    Item.Path = Place == plDesktop ? DesktopPath() : Path;
    if (!List)
        return true;
    auto* P = reinterpret_cast<const std::uint8_t*>(List);
    TItemRecord R;
    TPlace At = Place;
    std::string AtPath = Item.Path;
    while (ItemCb(P)) {
        if (!ReadRecord(P, R))
            return false;
        if (Item.Kind == SHID_FILE)
            return false; // nothing lies inside a file
        switch (R.Kind) {
        case SHID_HOME:
        case SHID_COMPUTER:
            if (At != plDesktop)
                return false;
            Item.Path = R.Kind == SHID_HOME ? ShellHomeDir() : std::string();
            Item.Place = R.Kind == SHID_HOME ? plFileSystem : plComputer;
            break;
        case SHID_DRIVE:
            if (At != plComputer || R.Name.empty() || R.Name[0] != '/')
                return false;
            Item.Path = R.Name;
            Item.Place = plFileSystem;
            break;
        case SHID_FOLDER:
        case SHID_FILE:
            if (At == plComputer || R.Name.empty() || R.Name.find('/') != std::string::npos)
                return false;
            Item.Path = JoinPath(AtPath, R.Name);
            Item.Place = plFileSystem;
            break;
        default:
            return false;
        }
        Item.Kind = R.Kind;
        Item.Name = R.Name;
        At = Item.Place;
        AtPath = Item.Path;
        P += ItemCb(P);
    }
    return true;
}

ULONG AttributesOf(const TResolvedItem& Item, bool WantSubFolders) {
    switch (Item.Kind) {
    case 0:
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET | SFGAO_FILESYSTEM |
               (WantSubFolders ? SFGAO_HASSUBFOLDER : 0);
    case SHID_COMPUTER:
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_HASPROPSHEET | (WantSubFolders ? SFGAO_HASSUBFOLDER : 0);
    case SHID_HOME:
        return SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM | SFGAO_HASPROPSHEET | SFGAO_DROPTARGET |
               (WantSubFolders && HasSubFolder(Item.Path) ? SFGAO_HASSUBFOLDER : 0);
    case SHID_DRIVE: {
        TShellDriveKind Kind = dkFixed;
        DriveKindOf(Item.Path, Kind);
        ULONG A = SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_FILESYSTEM | SFGAO_HASPROPSHEET | SFGAO_DROPTARGET;
        if (Kind == dkRemovable || Kind == dkOptical)
            A |= SFGAO_REMOVABLE;
        // Scanning a slow medium only to draw an expand button is not worth it.
        if (WantSubFolders && (Kind != dkFixed || HasSubFolder(Item.Path)))
            A |= SFGAO_HASSUBFOLDER;
        return A;
    }
    }
    struct stat Lst, St;
    if (lstat(Item.Path.c_str(), &Lst) != 0)
        return 0;
    const bool Folder = stat(Item.Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
    ULONG A = SFGAO_FILESYSTEM | SFGAO_CANCOPY | SFGAO_CANMOVE | SFGAO_CANLINK | SFGAO_CANRENAME | SFGAO_CANDELETE |
              SFGAO_HASPROPSHEET;
    if (Folder)
        A |= SFGAO_FOLDER | SFGAO_FILESYSANCESTOR | SFGAO_DROPTARGET;
    if (S_ISLNK(Lst.st_mode))
        A |= SFGAO_LINK;
    if (!(Lst.st_mode & S_IWUSR) && !S_ISLNK(Lst.st_mode))
        A |= SFGAO_READONLY;
    if (IsHidden(Item.Name))
        A |= SFGAO_HIDDEN | SFGAO_GHOSTED;
    if (Folder && WantSubFolders && HasSubFolder(Item.Path))
        A |= SFGAO_HASSUBFOLDER;
    return A;
}

String DisplayNameOf(const TResolvedItem& Item) {
    switch (Item.Kind) {
    case 0:
        return u"Desktop";
    case SHID_HOME:
        return u"Home";
    case SHID_COMPUTER:
        return u"Computer";
    case SHID_DRIVE: {
        TShellDrive D;
        if (FindShellDrive(Item.Path, D))
            return D.Label;
        return Item.Path == "/" ? u"/" : UTF8ToString(Item.Path.substr(Item.Path.rfind('/') + 1));
    }
    }
    return UTF8ToString(Item.Name);
}

String TypeNameOf(const TResolvedItem& Item) {
    switch (Item.Kind) {
    case 0:
    case SHID_HOME:
    case SHID_COMPUTER:
        return u"System Folder";
    case SHID_DRIVE: {
        TShellDriveKind Kind = dkFixed;
        DriveKindOf(Item.Path, Kind);
        static const char16_t* const Names[] = {u"Local Disk", u"Removable Disk", u"CD Drive", u"Network Drive"};
        return Names[Kind];
    }
    }
    if (IsDirectory(Item.Path))
        return u"File Folder";
    // A leading dot marks a hidden name, not an extension.
    const std::size_t Dot = Item.Name.rfind('.');
    if (Dot != std::string::npos && Dot > 0 && Dot + 1 < Item.Name.size())
        return AnsiUpperCase(UTF8ToString(Item.Name.substr(Dot + 1))) + u" File";
    return u"File";
}

} // namespace shellns

// ---------------------------------------------------------------------------------------------
// Folder objects

namespace {

HRESULT CompareResult(int R) {
    return HRESULT(std::uint16_t(std::int16_t(R < 0 ? -1 : R > 0 ? 1 : 0)));
}

int KindRank(std::uint8_t Kind) {
    switch (Kind) {
    case SHID_HOME:
        return 0;
    case SHID_COMPUTER:
        return 1;
    case SHID_DRIVE:
        return 2;
    case SHID_FOLDER:
        return 3;
    default:
        return 4;
    }
}

int CompareRecords(const TItemRecord& A, const TItemRecord& B) {
    const int RA = KindRank(A.Kind), RB = KindRank(B.Kind);
    if (RA != RB)
        return RA < RB ? -1 : 1;
    if (A.Kind == SHID_FOLDER || A.Kind == SHID_FILE) {
        const int Folded = AnsiCompareStr(AnsiLowerCase(UTF8ToString(A.Name)), AnsiLowerCase(UTF8ToString(B.Name)));
        if (Folded != 0)
            return Folded;
    }
    // The exact bytes break ties, so only the same item compares equal.
    const int Exact = A.Name.compare(B.Name);
    return Exact < 0 ? -1 : Exact > 0 ? 1 : 0;
}

String ParsingNameOf(const TResolvedItem& Item) {
    if (Item.Kind == SHID_COMPUTER)
        return ComputerParsingName;
    return UTF8ToString(Item.Path);
}

void SetText(STRRET* Name, const String& Text) {
    Name->uType = STRRET_WSTR;
    Name->pOleStr = Text;
}

String SizeText(std::int64_t Size) {
    std::int64_t Kb = (Size + 1023) / 1024;
    String Digits = IntToStr(Kb), Out;
    for (std::size_t I = 0; I < Digits.size(); ++I) {
        if (I && (Digits.size() - I) % 3 == 0)
            Out += u',';
        Out += Digits[I];
    }
    return Out + u" KB";
}

String TimeText(std::int64_t Seconds) {
    return FormatDateTime(u"yyyy-mm-dd hh:nn", UnixToDateTime(Seconds, false));
}

// Appends one record per part of Rest ("a/b/c"), each a folder or a file as found below Base; frees List
// and gives nil when memory runs short.
LPITEMIDLIST AppendParts(LPITEMIDLIST List, std::string At, const std::string& Rest) {
    for (std::size_t I = 0; List && I <= Rest.size();) {
        const std::size_t J = std::min(Rest.find('/', I), Rest.size());
        const std::string Part = Rest.substr(I, J - I);
        At = JoinPath(At, Part);
        LPITEMIDLIST One = MakeItemList(IsDirectory(At) ? SHID_FOLDER : SHID_FILE, Part);
        LPITEMIDLIST Joined = One ? JoinLists(List, One) : nullptr;
        SHFree(One);
        SHFree(List);
        List = Joined;
        I = J + 1;
    }
    return List;
}

class TEnumList : public IEnumIDList {
public:
    std::vector<std::pair<std::uint8_t, std::string>> Items;
    std::size_t Pos = 0;

    HRESULT Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* pceltFetched) override {
        ULONG N = 0;
        while (N < celt && Pos < Items.size()) {
            rgelt[N] = MakeItemList(Items[Pos].first, Items[Pos].second);
            ++Pos;
            if (rgelt[N])
                ++N;
        }
        if (pceltFetched)
            *pceltFetched = N;
        return N == celt ? S_OK : S_FALSE;
    }
    HRESULT Reset() override {
        Pos = 0;
        return S_OK;
    }
};

constexpr HRESULT E_FILE_NOT_FOUND = HRESULT(0x80070002u);

class TNamespaceFolder : public IShellFolder2 {
public:
    TNamespaceFolder(TPlace APlace, std::string APath) : FPlace(APlace), FPath(std::move(APath)) {}

    HRESULT ParseDisplayName(HWND, const String& Name, ULONG* pchEaten, LPITEMIDLIST* ppidl,
                             ULONG* pdwAttributes) override;
    HRESULT EnumObjects(HWND, DWORD grfFlags, std::shared_ptr<IEnumIDList>& Enum) override;
    HRESULT BindToObject(LPCITEMIDLIST pidl, std::shared_ptr<IShellFolder>& Folder) override;
    HRESULT CompareIDs(LPARAM, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) override;
    HRESULT GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, ULONG* rgfInOut) override;
    HRESULT GetUIObjectOf(HWND, UINT cidl, LPCITEMIDLIST* apidl, std::shared_ptr<IContextMenu>& Menu) override;
    HRESULT GetDisplayNameOf(LPCITEMIDLIST pidl, DWORD uFlags, STRRET* pName) override;
    HRESULT SetNameOf(HWND, LPCITEMIDLIST pidl, const String& Name, DWORD, LPITEMIDLIST* ppidlOut) override;
    HRESULT GetDefaultColumnState(UINT iColumn, DWORD* pcsFlags) override;
    HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT iColumn, SHELLDETAILS* psd) override;

private:
    bool Resolve(LPCITEMIDLIST pidl, TResolvedItem& Item) const { return ResolveRelative(FPlace, FPath, pidl, Item); }
    LPITEMIDLIST ParseAbsolute(const std::string& Path, HRESULT& Result) const;
    void AddDirectory(TEnumList& List, const std::string& Dir, DWORD Flags) const;

    TPlace FPlace;
    std::string FPath;
};

HRESULT TNamespaceFolder::ParseDisplayName(HWND, const String& Name, ULONG* pchEaten, LPITEMIDLIST* ppidl,
                                           ULONG* pdwAttributes) {
    if (!ppidl)
        return E_INVALIDARG;
    *ppidl = nullptr;
    HRESULT Result = E_INVALIDARG;
    if (FPlace == plDesktop) {
        if (Name == ComputerParsingName) {
            *ppidl = MakeItemList(SHID_COMPUTER, {});
            Result = S_OK;
        } else if (!Name.empty() && Name[0] == u'/')
            *ppidl = ParseAbsolute(UTF8Encode(Name), Result);
    } else if (FPlace == plFileSystem && !Name.empty() && Name[0] != u'/') {
        // A name relative to this folder: its records, one per part.
        const std::string Full = NormalisePath(FPath + "/" + UTF8Encode(Name));
        const std::string Base = FPath == "/" ? "/" : FPath + "/";
        struct stat St;
        if (Full.compare(0, Base.size(), Base) == 0 && lstat(Full.c_str(), &St) == 0) {
            LPITEMIDLIST List = AppendParts(JoinLists(nullptr, nullptr), FPath, Full.substr(Base.size()));
            *ppidl = List;
            Result = List ? S_OK : E_FAIL;
        } else
            Result = E_FILE_NOT_FOUND;
    }
    if (pchEaten)
        *pchEaten = SUCCEEDED(Result) ? ULONG(Name.size()) : 0;
    if (SUCCEEDED(Result) && pdwAttributes) {
        LPCITEMIDLIST One = *ppidl;
        GetAttributesOf(1, &One, pdwAttributes);
    }
    return Result;
}

// Paths inside home are reached through Home, the others through Computer and their drive.
LPITEMIDLIST TNamespaceFolder::ParseAbsolute(const std::string& Text, HRESULT& Result) const {
    const std::string Path = NormalisePath(Text);
    struct stat St;
    if (lstat(Path.c_str(), &St) != 0) {
        Result = E_FILE_NOT_FOUND;
        return nullptr;
    }
    const std::string Home = ShellHomeDir();
    LPITEMIDLIST List = nullptr;
    std::string Base;
    if (Home != "/" && (Path == Home || Path.compare(0, Home.size() + 1, Home + "/") == 0)) {
        List = MakeItemList(SHID_HOME, {});
        Base = Home;
    } else {
        std::string Mount = "/";
        for (const TShellDrive& D : ShellDrives()) {
            const std::string& M = D.MountPoint;
            if ((Path == M || Path.compare(0, M.size() + 1, M + "/") == 0) && M.size() > Mount.size())
                Mount = M;
        }
        LPITEMIDLIST Computer = MakeItemList(SHID_COMPUTER, {});
        LPITEMIDLIST Drive = MakeItemList(SHID_DRIVE, Mount);
        List = JoinLists(Computer, Drive);
        SHFree(Computer);
        SHFree(Drive);
        Base = Mount;
    }
    if (Path.size() > Base.size())
        List = AppendParts(List, Base, Path.substr(Base == "/" ? 1 : Base.size() + 1));
    Result = List ? S_OK : E_FAIL;
    return List;
}

void TNamespaceFolder::AddDirectory(TEnumList& List, const std::string& Dir, DWORD Flags) const {
    DIR* D = opendir(Dir.c_str());
    if (!D)
        return;
    std::vector<std::pair<std::uint8_t, std::string>> Found;
    while (dirent* E = readdir(D)) {
        const std::string Name = E->d_name;
        if (Name == "." || Name == "..")
            continue;
        if (IsHidden(Name) && !(Flags & SHCONTF_INCLUDEHIDDEN))
            continue;
        const bool Folder = E->d_type == DT_DIR ||
                            ((E->d_type == DT_UNKNOWN || E->d_type == DT_LNK) && IsDirectory(JoinPath(Dir, Name)));
        if (Folder ? !(Flags & SHCONTF_FOLDERS) : !(Flags & SHCONTF_NONFOLDERS))
            continue;
        Found.emplace_back(Folder ? SHID_FOLDER : SHID_FILE, Name);
    }
    closedir(D);
    std::sort(Found.begin(), Found.end(), [](const auto& A, const auto& B) { return A.second < B.second; });
    List.Items.insert(List.Items.end(), Found.begin(), Found.end());
}

HRESULT TNamespaceFolder::EnumObjects(HWND, DWORD grfFlags, std::shared_ptr<IEnumIDList>& Enum) {
    auto List = std::make_shared<TEnumList>();
    switch (FPlace) {
    case plDesktop:
        if (grfFlags & SHCONTF_FOLDERS) {
            List->Items.emplace_back(SHID_HOME, std::string());
            List->Items.emplace_back(SHID_COMPUTER, std::string());
        }
        if (const std::string D = ShellUserDir("DESKTOP"); !D.empty())
            AddDirectory(*List, D, grfFlags);
        break;
    case plComputer:
        if (grfFlags & SHCONTF_FOLDERS)
            for (const TShellDrive& D : ShellDrives())
                List->Items.emplace_back(SHID_DRIVE, D.MountPoint);
        break;
    case plFileSystem: {
        DIR* D = opendir(FPath.c_str());
        if (!D) {
            Enum.reset();
            return HRESULT(0x80070000u | std::uint16_t(errno ? errno : 5));
        }
        closedir(D);
        AddDirectory(*List, FPath, grfFlags);
        break;
    }
    }
    Enum = List;
    return S_OK;
}

HRESULT TNamespaceFolder::BindToObject(LPCITEMIDLIST pidl, std::shared_ptr<IShellFolder>& Folder) {
    Folder.reset();
    TResolvedItem Item;
    if (!pidl || !ItemCb(pidl) || !Resolve(pidl, Item))
        return E_INVALIDARG;
    if (Item.Place == plComputer) {
        Folder = std::make_shared<TNamespaceFolder>(plComputer, std::string());
        return S_OK;
    }
    if (!IsDirectory(Item.Path))
        return E_INVALIDARG;
    Folder = std::make_shared<TNamespaceFolder>(plFileSystem, Item.Path);
    return S_OK;
}

HRESULT TNamespaceFolder::CompareIDs(LPARAM, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) {
    auto* A = reinterpret_cast<const std::uint8_t*>(pidl1);
    auto* B = reinterpret_cast<const std::uint8_t*>(pidl2);
    if (!A || !B)
        return CompareResult(A ? 1 : B ? -1 : 0);
    for (;;) {
        const bool EndA = !ItemCb(A), EndB = !ItemCb(B);
        if (EndA || EndB)
            return CompareResult(EndA == EndB ? 0 : EndA ? -1 : 1);
        TItemRecord RA, RB;
        ReadRecord(A, RA);
        ReadRecord(B, RB);
        if (const int R = CompareRecords(RA, RB))
            return CompareResult(R);
        A += ItemCb(A);
        B += ItemCb(B);
    }
}

HRESULT TNamespaceFolder::GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, ULONG* rgfInOut) {
    if (!rgfInOut)
        return E_INVALIDARG;
    const bool WantSub = (*rgfInOut & SFGAO_HASSUBFOLDER) != 0;
    ULONG Common = ~ULONG(0);
    for (UINT I = 0; I < cidl; ++I) {
        TResolvedItem Item;
        if (!apidl || !apidl[I] || !Resolve(apidl[I], Item)) {
            *rgfInOut = 0;
            return E_INVALIDARG;
        }
        Common &= AttributesOf(Item, WantSub);
    }
    *rgfInOut = cidl ? Common : 0;
    return S_OK;
}

HRESULT TNamespaceFolder::GetUIObjectOf(HWND, UINT cidl, LPCITEMIDLIST* apidl, std::shared_ptr<IContextMenu>& Menu) {
    Menu.reset();
    TResolvedItem Item;
    if (cidl != 1 || !apidl || !Resolve(apidl[0], Item))
        return E_INVALIDARG;
    Menu = CreateItemContextMenu(Item, DisplayNameOf(Item));
    return Menu ? S_OK : E_NOINTERFACE;
}

HRESULT TNamespaceFolder::GetDisplayNameOf(LPCITEMIDLIST pidl, DWORD uFlags, STRRET* pName) {
    if (!pName)
        return E_INVALIDARG;
    TResolvedItem Item;
    if (!Resolve(pidl, Item))
        return E_INVALIDARG;
    const bool OneRecord = pidl && ItemCb(pidl) && !ItemCb(reinterpret_cast<const std::uint8_t*>(pidl) + ItemCb(pidl));
    if (uFlags & SHGDN_FORPARSING) {
        if ((uFlags & SHGDN_INFOLDER) && (Item.Kind == SHID_FOLDER || Item.Kind == SHID_FILE))
            SetText(pName, UTF8ToString(Item.Name));
        else
            SetText(pName, ParsingNameOf(Item));
    } else if (OneRecord && (Item.Kind == SHID_FOLDER || Item.Kind == SHID_FILE)) {
        // The name is the record's own bytes.
        pName->uType = STRRET_OFFSET;
        pName->uOffset = 3;
    } else
        SetText(pName, DisplayNameOf(Item));
    return S_OK;
}

HRESULT TNamespaceFolder::SetNameOf(HWND, LPCITEMIDLIST pidl, const String& Name, DWORD, LPITEMIDLIST* ppidlOut) {
    if (ppidlOut)
        *ppidlOut = nullptr;
    TResolvedItem Item;
    if (!Resolve(pidl, Item) || (Item.Kind != SHID_FOLDER && Item.Kind != SHID_FILE))
        return E_INVALIDARG;
    const std::string NewName = UTF8Encode(Name);
    if (NewName.empty() || NewName == "." || NewName == ".." || NewName.find('/') != std::string::npos ||
        NewName.find('\0') != std::string::npos)
        return E_INVALIDARG;
    const std::string Dir = Item.Path.substr(0, Item.Path.size() - Item.Name.size());
    const std::string Target = Dir + NewName;
    if (NewName != Item.Name) {
        // Never over an existing item, whatever the file system offers.
        if (renameat2(AT_FDCWD, Item.Path.c_str(), AT_FDCWD, Target.c_str(), RENAME_NOREPLACE) != 0) {
            if (errno != EINVAL && errno != ENOSYS)
                return HRESULT(0x80070000u | std::uint16_t(errno));
            struct stat St;
            if (lstat(Target.c_str(), &St) == 0)
                return HRESULT(0x80070000u | EEXIST);
            if (std::rename(Item.Path.c_str(), Target.c_str()) != 0)
                return HRESULT(0x80070000u | std::uint16_t(errno));
        }
    }
    if (ppidlOut) {
        // The new list is this folder's list with the last record renamed.
        auto* Base = reinterpret_cast<const std::uint8_t*>(pidl);
        std::size_t Prefix = 0;
        while (ItemCb(Base + Prefix) && ItemCb(Base + Prefix + ItemCb(Base + Prefix)))
            Prefix += ItemCb(Base + Prefix);
        LPITEMIDLIST Head = static_cast<LPITEMIDLIST>(SHAlloc(Prefix + 2));
        if (Head && Prefix)
            std::memcpy(Head, Base, Prefix);
        LPITEMIDLIST Last = MakeItemList(Item.Kind, NewName);
        *ppidlOut = Head && Last ? JoinLists(Head, Last) : nullptr;
        SHFree(Head);
        SHFree(Last);
    }
    return S_OK;
}

struct TColumn {
    const char16_t* Title;
    int Format;
    int Chars;
    DWORD State;
};
const TColumn Columns[] = {
    {u"Name", LVCFMT_LEFT, 30, SHCOLSTATE_TYPE_STR | SHCOLSTATE_ONBYDEFAULT},
    {u"Size", LVCFMT_RIGHT, 12, SHCOLSTATE_TYPE_INT | SHCOLSTATE_ONBYDEFAULT},
    {u"Type", LVCFMT_LEFT, 18, SHCOLSTATE_TYPE_STR | SHCOLSTATE_ONBYDEFAULT},
    {u"Modified", LVCFMT_LEFT, 18, SHCOLSTATE_TYPE_DATE | SHCOLSTATE_ONBYDEFAULT},
    {u"Changed", LVCFMT_LEFT, 18, SHCOLSTATE_TYPE_DATE},
};
constexpr UINT ColumnCount = sizeof(Columns) / sizeof(Columns[0]);

HRESULT TNamespaceFolder::GetDefaultColumnState(UINT iColumn, DWORD* pcsFlags) {
    if (iColumn >= ColumnCount || !pcsFlags)
        return E_INVALIDARG;
    *pcsFlags = Columns[iColumn].State;
    return S_OK;
}

HRESULT TNamespaceFolder::GetDetailsOf(LPCITEMIDLIST pidl, UINT iColumn, SHELLDETAILS* psd) {
    if (iColumn >= ColumnCount || !psd)
        return E_INVALIDARG;
    psd->fmt = Columns[iColumn].Format;
    psd->cxChar = Columns[iColumn].Chars;
    if (!pidl) {
        SetText(&psd->str, Columns[iColumn].Title);
        return S_OK;
    }
    TResolvedItem Item;
    if (!Resolve(pidl, Item))
        return E_INVALIDARG;
    struct stat St;
    const bool Stat = (Item.Kind == SHID_FOLDER || Item.Kind == SHID_FILE) && lstat(Item.Path.c_str(), &St) == 0;
    String Text;
    switch (iColumn) {
    case 0:
        Text = DisplayNameOf(Item);
        break;
    case 1:
        if (Stat && !IsDirectory(Item.Path))
            Text = SizeText(St.st_size);
        break;
    case 2:
        Text = TypeNameOf(Item);
        break;
    case 3:
        if (Stat)
            Text = TimeText(St.st_mtime);
        break;
    case 4:
        if (Stat)
            Text = TimeText(St.st_ctime);
        break;
    }
    SetText(&psd->str, Text);
    return S_OK;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Entry points

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder) {
    Folder = std::make_shared<TNamespaceFolder>(plDesktop, std::string());
    return S_OK;
}

HRESULT SHGetSpecialFolderLocation(HWND, int csidl, LPITEMIDLIST* ppidl) {
    if (!ppidl)
        return E_INVALIDARG;
    *ppidl = nullptr;
    std::string Path;
    switch (csidl) {
    case CSIDL_DESKTOP:
        *ppidl = JoinLists(nullptr, nullptr);
        return *ppidl ? S_OK : E_FAIL;
    case CSIDL_DRIVES:
        *ppidl = MakeItemList(SHID_COMPUTER, {});
        return *ppidl ? S_OK : E_FAIL;
    case CSIDL_PROFILE:
        *ppidl = MakeItemList(SHID_HOME, {});
        return *ppidl ? S_OK : E_FAIL;
    case CSIDL_PERSONAL:
        Path = ShellUserDir("DOCUMENTS");
        if (Path.empty())
            Path = ShellHomeDir();
        break;
    case CSIDL_DESKTOPDIRECTORY:
        Path = ShellUserDir("DESKTOP");
        break;
    case CSIDL_TEMPLATES:
        Path = ShellUserDir("TEMPLATES");
        break;
    case CSIDL_APPDATA:
        Path = ShellConfigHome();
        break;
    case CSIDL_FONTS:
        Path = ShellDataHome() + "/fonts";
        break;
    case CSIDL_RECYCLEBIN:
        Path = ShellDataHome() + "/Trash/files";
        break;
    default:
        return E_FAIL;
    }
    if (Path.empty() || !IsDirectory(Path))
        return E_FAIL;
    std::shared_ptr<IShellFolder> Desktop;
    SHGetDesktopFolder(Desktop);
    return Desktop->ParseDisplayName(nullptr, UTF8ToString(Path), nullptr, ppidl, nullptr);
}

bool SHGetPathFromIDListW(LPCITEMIDLIST pidl, String& Path) {
    Path.clear();
    TResolvedItem Item;
    if (!pidl || !ResolveAbsolute(pidl, Item) || Item.Place == plComputer)
        return false;
    Path = UTF8ToString(Item.Path);
    return true;
}

// ---------------------------------------------------------------------------------------------
// Find data

FILETIME UnixTimeToFileTime(std::int64_t Seconds, long Nanoseconds) {
    const std::uint64_t Ticks = std::uint64_t(Seconds + 11644473600LL) * 10000000ULL + std::uint64_t(Nanoseconds / 100);
    FILETIME T;
    T.dwLowDateTime = DWORD(Ticks & 0xFFFFFFFFu);
    T.dwHighDateTime = DWORD(Ticks >> 32);
    return T;
}

std::int64_t FileTimeToUnixTime(const FILETIME& Time) {
    const std::uint64_t Ticks = (std::uint64_t(Time.dwHighDateTime) << 32) | Time.dwLowDateTime;
    return std::int64_t(Ticks / 10000000ULL) - 11644473600LL;
}

int GetFileFindData(const String& Path, WIN32_FIND_DATAW& Data) {
    Data = WIN32_FIND_DATAW();
    const std::string P = UTF8Encode(Path);
    struct stat St;
    if (P.empty() || lstat(P.c_str(), &St) != 0)
        return errno ? errno : ENOENT;
    const std::string Name = P == "/" ? "/" : P.substr(P.rfind('/') + 1);
    DWORD A = 0;
    if (S_ISDIR(St.st_mode))
        A |= FILE_ATTRIBUTE_DIRECTORY;
    if (S_ISLNK(St.st_mode))
        A |= FILE_ATTRIBUTE_REPARSE_POINT;
    if (!(St.st_mode & S_IWUSR))
        A |= FILE_ATTRIBUTE_READONLY;
    if (!Name.empty() && Name[0] == '.' && Name != "/")
        A |= FILE_ATTRIBUTE_HIDDEN;
    if (!A)
        A = S_ISREG(St.st_mode) ? FILE_ATTRIBUTE_ARCHIVE : FILE_ATTRIBUTE_NORMAL;
    Data.dwFileAttributes = A;
    Data.ftCreationTime = UnixTimeToFileTime(St.st_ctim.tv_sec, St.st_ctim.tv_nsec);
    Data.ftLastAccessTime = UnixTimeToFileTime(St.st_atim.tv_sec, St.st_atim.tv_nsec);
    Data.ftLastWriteTime = UnixTimeToFileTime(St.st_mtim.tv_sec, St.st_mtim.tv_nsec);
    const std::uint64_t Size = S_ISDIR(St.st_mode) ? 0 : std::uint64_t(St.st_size);
    Data.nFileSizeHigh = DWORD(Size >> 32);
    Data.nFileSizeLow = DWORD(Size & 0xFFFFFFFFu);
    Data.cFileName = UTF8ToString(Name);
    return 0;
}
