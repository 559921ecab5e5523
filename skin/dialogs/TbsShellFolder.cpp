#include "skin/dialogs/TbsShellFolder.h"

#include "platform/ui/Controls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "platform/ui/TrackPopup.h"

#include <cstring>

const int RootFolderCSIDL[23] = {0, 17, 18, 10, 26, 25, 23, 22, 24, 3, 16, 6, 20, 1, 5, 4, 27, 2, 8, 9, 11, 7, 21};
const char16_t* const RootFolderNames[23] = {u"rfDesktop",        u"rfMyComputer",       u"rfNetwork",
                                             u"rfRecycleBin",     u"rfAppData",          u"rfCommonDesktopDirectory",
                                             u"rfCommonPrograms", u"rfCommonStartMenu",  u"rfCommonStartup",
                                             u"rfControlPanel",   u"rfDesktopDirectory", u"rfFavorites",
                                             u"rfFonts",          u"rfInternet",         u"rfPersonal",
                                             u"rfPrinters",       u"rfPrintHood",        u"rfPrograms",
                                             u"rfRecent",         u"rfSendTo",           u"rfStartMenu",
                                             u"rfStartup",        u"rfTemplates"};

namespace {

std::uint16_t CbAt(const void* P) {
    std::uint16_t Cb;
    std::memcpy(&Cb, P, 2);
    return Cb;
}

const std::uint8_t* Bytes(LPCITEMIDLIST L) {
    return reinterpret_cast<const std::uint8_t*>(L);
}

} // namespace

DWORD ObjectTypesToEnumFlags(TShellObjectTypes Types) {
    return DWORD(Types.ToInt() << 5);
}

// ---------------------------------------------------------------------------------------------
// Item-ID lists

LPITEMIDLIST AllocItemList(std::size_t Size) {
    return static_cast<LPITEMIDLIST>(SHAlloc(Size));
}

void FreeItemList(LPITEMIDLIST List) {
    SHFree(List);
}

LPITEMIDLIST NextItemID(LPCITEMIDLIST List) {
    if (!List)
        return nullptr;
    return reinterpret_cast<LPITEMIDLIST>(const_cast<std::uint8_t*>(Bytes(List) + CbAt(List)));
}

int ItemIDCount(LPCITEMIDLIST List) {
    int N = 0;
    if (List)
        for (const std::uint8_t* P = Bytes(List); CbAt(P); P += CbAt(P))
            ++N;
    return N;
}

std::size_t ItemListSize(LPCITEMIDLIST List) {
    if (!List)
        return 0;
    std::size_t N = 0;
    for (const std::uint8_t* P = Bytes(List); CbAt(P); P += CbAt(P))
        N += CbAt(P);
    return N + 2;
}

void StripLastItemID(LPITEMIDLIST List) {
    if (!List || !CbAt(List))
        return;
    auto* P = reinterpret_cast<std::uint8_t*>(List);
    std::uint8_t* Last = P;
    while (CbAt(P)) {
        Last = P;
        P += CbAt(P);
    }
    std::memset(Last, 0, 2);
}

LPITEMIDLIST CopyItemList(LPCITEMIDLIST List) {
    const std::size_t Size = ItemListSize(List);
    LPITEMIDLIST Copy = AllocItemList(Size);
    if (Copy)
        std::memcpy(Copy, List, Size);
    return Copy;
}

LPITEMIDLIST ConcatItemLists(LPCITEMIDLIST A, LPCITEMIDLIST B) {
    const std::size_t SA = A ? ItemListSize(A) - 2 : 0;
    const std::size_t SB = ItemListSize(B);
    LPITEMIDLIST L = AllocItemList(SA + (SB ? SB : 2));
    if (!L)
        return nullptr;
    if (SA)
        std::memcpy(L, A, SA);
    if (SB)
        std::memcpy(reinterpret_cast<std::uint8_t*>(L) + SA, B, SB);
    return L;
}

LPITEMIDLIST CopyLastItemID(LPCITEMIDLIST List) {
    if (!List)
        return nullptr;
    const std::uint8_t* P = Bytes(List);
    const std::uint8_t* Last = P;
    while (CbAt(P)) {
        Last = P;
        P += CbAt(P);
    }
    const std::size_t Cb = CbAt(Last);
    LPITEMIDLIST L = AllocItemList(Cb + 2);
    if (L && Cb)
        std::memcpy(L, Last, Cb);
    return L;
}

TList* SplitItemListAncestors(LPCITEMIDLIST ID) {
    auto* Result = new TList;
    const int Count = ItemIDCount(ID);
    // Ancestor k is the first k records: the desktop (k = 0) down to the parent (k = Count - 1).
    for (int K = 0; K < Count; ++K) {
        const std::uint8_t* P = Bytes(ID);
        std::size_t Size = 0;
        for (int I = 0; I < K; ++I) {
            Size += CbAt(P);
            P += CbAt(P);
        }
        LPITEMIDLIST L = AllocItemList(Size + 2);
        if (Size)
            std::memcpy(L, ID, Size);
        Result->Add(L);
    }
    return Result;
}

void FreeItemListList(TList* List) {
    if (!List)
        return;
    for (int I = 0; I < List->Count(); ++I)
        FreeItemList(static_cast<LPITEMIDLIST>(List->Get(I)));
    delete List;
}

IShellFolderPtr DesktopShellFolder() {
    IShellFolderPtr F;
    SHGetDesktopFolder(F);
    return F;
}

LPITEMIDLIST DesktopItemList() {
    LPITEMIDLIST L = nullptr;
    SHGetSpecialFolderLocation(nullptr, RootFolderCSIDL[rfDesktop], &L);
    return L;
}

bool ItemListsEqual(LPCITEMIDLIST A, LPCITEMIDLIST B) {
    return DesktopShellFolder()->CompareIDs(0, A, B) == 0;
}

int RootFolderIndex(const String& Name) {
    for (int I = 0; I < 23; ++I)
        if (SameText(Name, RootFolderNames[I]))
            return I;
    return -1;
}

int ShellIconIndex(LPCITEMIDLIST AbsoluteID, bool Large, bool Open) {
    SHFILEINFOW Info;
    UINT Flags = SHGFI_PIDL | SHGFI_SYSICONINDEX;
    if (Open)
        Flags |= SHGFI_OPENICON;
    if (!Large)
        Flags |= SHGFI_SMALLICON;
    SHGetFileInfoW(AbsoluteID, 0, &Info, sizeof Info, Flags);
    return Info.iIcon;
}

namespace {
ULONG AttributesOfOne(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, ULONG Mask) {
    if (!Folder)
        return 0;
    ULONG A = Mask;
    LPCITEMIDLIST One = ID;
    if (FAILED(Folder->GetAttributesOf(1, &One, &A)))
        return 0;
    return A;
}
} // namespace

bool ItemIsFolder(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID) {
    return (AttributesOfOne(ParentFolder, ID, SFGAO_FOLDER) & SFGAO_FOLDER) != 0;
}

bool ItemHasSubFolders(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID) {
    return (AttributesOfOne(ParentFolder, ID, SFGAO_HASSUBFOLDER) & SFGAO_HASSUBFOLDER) != 0;
}

TbsShellFolderCapabilities CapabilitiesOf(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID) {
    const ULONG A = AttributesOfOne(ParentFolder, ID, 0x177);
    TbsShellFolderCapabilities C;
    const std::pair<TbsShellFolderCapability, ULONG> Map[] = {
        {fcCanCopy, SFGAO_CANCOPY},          {fcCanDelete, SFGAO_CANDELETE}, {fcCanLink, SFGAO_CANLINK},
        {fcCanMove, SFGAO_CANMOVE},          {fcCanRename, SFGAO_CANRENAME}, {fcDropTarget, SFGAO_DROPTARGET},
        {fcHasPropSheet, SFGAO_HASPROPSHEET}};
    for (auto [Member, Bit] : Map)
        if (A & Bit)
            C.Include(Member);
    return C;
}

TbsShellFolderProperties PropertiesOf(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID) {
    const ULONG First = AttributesOfOne(ParentFolder, ID, 0xFC000);
    const ULONG Second = AttributesOfOne(ParentFolder, ID, 0);
    TbsShellFolderProperties P;
    if (First & SFGAO_GHOSTED)
        P.Include(fpCut);
    if (First & SFGAO_LINK)
        P.Include(fpIsLink);
    if (First & SFGAO_READONLY)
        P.Include(fpReadOnly);
    if (First & SFGAO_SHARE)
        P.Include(fpShared);
    if (Second & SFGAO_FILESYSTEM)
        P.Include(fpFileSystem);
    if (Second & SFGAO_FILESYSANCESTOR)
        P.Include(fpFileSystemAncestor);
    if (Second & SFGAO_REMOVABLE)
        P.Include(fpRemovable);
    if (Second & SFGAO_VALIDATE)
        P.Include(fpValidate);
    return P;
}

bool FolderHasItems(const IShellFolderPtr& Folder, DWORD Flags) {
    if (!Folder)
        return false;
    std::shared_ptr<IEnumIDList> Enum;
    if (FAILED(Folder->EnumObjects(nullptr, Flags, Enum)) || !Enum)
        return false;
    LPITEMIDLIST Item = nullptr;
    ULONG Fetched = 0;
    const bool Any = Enum->Next(1, &Item, &Fetched) == S_OK;
    FreeItemList(Item);
    return Any;
}

String StrRetToText(LPCITEMIDLIST ID, const STRRET& StrRet) {
    String Text;
    switch (StrRet.uType) {
    case STRRET_WSTR:
        Text = StrRet.pOleStr;
        break;
    case STRRET_OFFSET:
        if (ID && CbAt(ID) > StrRet.uOffset)
            Text = UTF8ToString(
                std::string_view(reinterpret_cast<const char*>(Bytes(ID)) + StrRet.uOffset, CbAt(ID) - StrRet.uOffset));
        break;
    case STRRET_CSTR:
        Text = UTF8ToString(std::string_view(StrRet.cStr, strnlen(StrRet.cStr, sizeof StrRet.cStr)));
        break;
    }
    // A name such as "?1abc?" is a placeholder pattern: the question marks go.
    if (Text.size() > 1 && Text[0] == u'?' && Text[1] >= u'0' && Text[1] <= u'9')
        std::erase(Text, u'?');
    return Text;
}

String ItemDisplayName(const IShellFolderPtr& ParentFolder, LPCITEMIDLIST ID, DWORD Flags) {
    if (!ParentFolder)
        return u"parentfolder = nil";
    STRRET S;
    ParentFolder->GetDisplayNameOf(ID, Flags, &S);
    String Text = StrRetToText(ID, S);
    if (Text.starts_with(u"::{")) {
        STRRET Normal;
        ParentFolder->GetDisplayNameOf(ID, SHGDN_NORMAL, &Normal);
        Text = StrRetToText(ID, Normal);
    }
    return Text;
}

IShellFolderPtr BindShellFolder(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND) {
    IShellFolderPtr Result;
    if (Folder) {
        Folder->BindToObject(ID, Result);
        // Only an item without a folder to ask is looked for from the desktop: a relative list bound there
        // would name another item.
        return Result;
    }
    DesktopShellFolder()->BindToObject(ID, Result);
    return Result;
}

IShellDetailsPtr BindShellDetails(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND Owner) {
    return std::dynamic_pointer_cast<IShellDetails>(BindShellFolder(Folder, ID, Owner));
}

IShellFolder2Ptr BindShellFolder2(const IShellFolderPtr& Folder, LPCITEMIDLIST ID, HWND) {
    IShellFolderPtr Bound;
    if (SUCCEEDED(DesktopShellFolder()->BindToObject(ID, Bound)))
        return std::dynamic_pointer_cast<IShellFolder2>(Bound);
    if (Folder && SUCCEEDED(Folder->BindToObject(ID, Bound)))
        return std::dynamic_pointer_cast<IShellFolder2>(Bound);
    return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TbsShellFolder

namespace {
std::unique_ptr<TbsShellFolder> SharedDesktop;
bool BuildingDesktop = false;
} // namespace

TbsShellFolder* DesktopFolder() {
    if (!SharedDesktop && !BuildingDesktop) {
        BuildingDesktop = true;
        LPITEMIDLIST L = DesktopItemList();
        if (L)
            SharedDesktop = std::make_unique<TbsShellFolder>(nullptr, L, DesktopShellFolder());
        FreeItemList(L);
        BuildingDesktop = false;
    }
    return SharedDesktop.get();
}

TbsShellFolder::TbsShellFolder(TbsShellFolder* AParent, LPCITEMIDLIST ID, IShellFolderPtr SF)
    : FParent(AParent), FIShellFolder(std::move(SF)), FDetails(std::make_unique<TStringList>()) {
    FPIDL = CopyItemList(ID);
    if (AParent)
        FFullPIDL = ConcatItemLists(AParent->FFullPIDL, ID);
    else {
        LPITEMIDLIST Desktop = DesktopItemList();
        FFullPIDL = ConcatItemLists(Desktop, ID);
        FreeItemList(Desktop);
    }
    if (!FParent)
        FParent = DesktopFolder();
    for (TbsShellFolder* At = AParent; At && At->FParent; At = At->FParent)
        ++FLevel;
}

TbsShellFolder::~TbsShellFolder() {
    FDetails.reset();
    FreeItemList(FPIDL);
    FreeItemList(FFullPIDL);
}

IShellFolderPtr TbsShellFolder::ParentShellFolder() const {
    if (FParent && FParent != this)
        return FParent->FIShellFolder;
    return DesktopShellFolder();
}

TbsShellFolderProperties TbsShellFolder::Properties() const {
    return PropertiesOf(ParentShellFolder(), FPIDL);
}

TbsShellFolderCapabilities TbsShellFolder::Capabilities() const {
    return CapabilitiesOf(ParentShellFolder(), FPIDL);
}

bool TbsShellFolder::SubFolders() const {
    return ItemHasSubFolders(ParentShellFolder(), FPIDL);
}

bool TbsShellFolder::IsFolder() const {
    return ItemIsFolder(ParentShellFolder(), FPIDL) && AnsiUpperCase(ExtractFileExt(FullObjectName())) != u".ZIP";
}

String TbsShellFolder::PathName() const {
    return ItemDisplayName(DesktopShellFolder(), FFullPIDL, SHGDN_FORPARSING);
}

String TbsShellFolder::DisplayName() const {
    return ItemDisplayName(ParentShellFolder(), FPIDL, SHGDN_INFOLDER);
}

String TbsShellFolder::FullObjectName() const {
    String Path;
    SHGetPathFromIDListW(FFullPIDL, Path);
    return Path;
}

int TbsShellFolder::ImageIndex(bool LargeIcon) const {
    return ShellIconIndex(FFullPIDL, LargeIcon, false);
}

bool TbsShellFolder::Rename(const String& NewName) {
    if (!Capabilities().Contains(fcCanRename))
        return false;
    LPITEMIDLIST NewID = nullptr;
    IShellFolderPtr Parent = ParentShellFolder();
    if (!Parent || FAILED(Parent->SetNameOf(nullptr, FPIDL, NewName, SHGDN_NORMAL, &NewID)) || !NewID) {
        FreeItemList(NewID);
        throw Exception(Format(u"Rename to %s failed", {NewName}));
    }
    FreeItemList(FPIDL);
    FreeItemList(FFullPIDL);
    FPIDL = NewID;
    FFullPIDL = FParent ? ConcatItemLists(FParent->FFullPIDL, NewID) : CopyItemList(NewID);
    // The type column follows the name; the texts are read again on the next load.
    FDetails->Clear();
    return true;
}

bool TbsShellFolder::ExecuteDefault() {
    std::shared_ptr<IContextMenu> Menu;
    LPCITEMIDLIST One = FPIDL;
    IShellFolderPtr Parent = ParentShellFolder();
    if (!Parent || FAILED(Parent->GetUIObjectOf(Application ? Application->Handle() : nullptr, 1, &One, Menu)) || !Menu)
        return false;
    CMINVOKECOMMANDINFO Info;
    Info.lpVerb = "open";
    Info.nShow = SW_SHOW;
    return SUCCEEDED(Menu->InvokeCommand(Info));
}

std::shared_ptr<void> TbsShellFolder::GetDetailInterface() {
    if (FDetailInterface || !FIShellFolder)
        return FDetailInterface;
    FIShellDetails = BindShellDetails(FIShellFolder, FFullPIDL, FViewHandle);
    if (!FIShellDetails) {
        FIShellFolder2 = BindShellFolder2(FIShellFolder, FFullPIDL, FViewHandle);
        // The item's own folder object stands in when it speaks the detail interface.
        if (!FIShellFolder2)
            FIShellFolder2 = std::dynamic_pointer_cast<IShellFolder2>(FIShellFolder);
    }
    if (FIShellFolder2)
        FDetailInterface = FIShellFolder2;
    else
        FDetailInterface = FIShellDetails;
    return FDetailInterface;
}

IShellDetailsPtr TbsShellFolder::ShellDetails() {
    if (!FDetailInterface)
        GetDetailInterface();
    return FIShellDetails;
}

IShellFolder2Ptr TbsShellFolder::ShellFolder2() {
    if (!FDetailInterface)
        GetDetailInterface();
    return FIShellFolder2;
}

WIN32_FIND_DATAW TbsShellFolder::GetFindData() const {
    WIN32_FIND_DATAW Data;
    const int Error = GetFileFindData(PathName(), Data);
    if (Error)
        throw EInvalidPath(
            Format(u"Unable to retrieve folder details for \"%s\". Error code $%x", {DisplayName(), Error}));
    return Data;
}

namespace {

// Last-write time as the local date-time of a DOS stamp (two-second steps); -1 when it does not fit.
double FindTimeValue(const FILETIME& Time) {
    const TDateTime Local = UnixToDateTime(FileTimeToUnixTime(Time), false);
    int Y, M, D, H, N, S, Ms;
    DecodeDate(Local, Y, M, D);
    DecodeTime(Local, H, N, S, Ms);
    if (Y < 1980 || Y > 2107)
        return -1;
    return EncodeDate(Y, M, D) + EncodeTime(H, N, S - S % 2, 0);
}

} // namespace

void TbsShellFolder::LoadColumnDetails(TbsShellFolder* RootFolder, HWND ViewHandle, int ColumnCount) {
    if (FDetails->Count() >= ColumnCount)
        return;
    FDetails->Clear();
    FViewHandle = ViewHandle;
    if (!RootFolder)
        return;
    if (IShellFolder2Ptr SF2 = RootFolder->ShellFolder2()) {
        for (int Col = 1; Col <= ColumnCount; ++Col) {
            SHELLDETAILS SD;
            FDetails->Add(SUCCEEDED(SF2->GetDetailsOf(FPIDL, UINT(Col), &SD)) ? StrRetToText(FPIDL, SD.str) : u"");
        }
    } else if (IShellDetailsPtr SD1 = RootFolder->ShellDetails()) {
        for (int Col = 1; Col <= ColumnCount; ++Col) {
            SHELLDETAILS SD;
            FDetails->Add(SUCCEEDED(SD1->GetDetailsOf(FPIDL, UINT(Col), &SD)) ? StrRetToText(FPIDL, SD.str) : u"");
        }
    } else if (RootFolder->Properties().Contains(fpFileSystem)) {
        const WIN32_FIND_DATAW FD = GetFindData();
        const bool Dir = (FD.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        for (int Col = 1; Col <= ColumnCount; ++Col) {
            switch (Col) {
            case 1:
                FDetails->Add(Dir ? u"-1"
                                  : IntToStr(std::int64_t((std::uint64_t(FD.nFileSizeHigh) << 32) + FD.nFileSizeLow)));
                break;
            case 2:
                FDetails->Add(ExtractFileExt(FD.cFileName));
                break;
            case 3: {
                const double T = Dir ? -1 : FindTimeValue(FD.ftLastWriteTime);
                FDetails->Add(DateTimeToStr(T));
                break;
            }
            case 4:
                FDetails->Add(IntToStr(std::int64_t(FD.dwFileAttributes)));
                break;
            default:
                break;
            }
        }
    }
}

String TbsShellFolder::Details(int Index) const {
    if (FDetails->Count() == 0)
        throw Exception(Format(u"%s: Missing call to LoadColumnDetails", {DisplayName()}));
    if (Index < 1 || Index > FDetails->Count())
        return {};
    return FDetails->Strings(Index - 1);
}

// ---------------------------------------------------------------------------------------------
// Roots

TbsShellFolder* CreateRootShellFolder(LPCITEMIDLIST AbsoluteID) {
    IShellFolderPtr SF = BindShellFolder(DesktopShellFolder(), AbsoluteID, nullptr);
    if (!SF)
        SF = DesktopShellFolder();
    return new TbsShellFolder(DesktopFolder(), AbsoluteID, SF);
}

TbsShellFolder* CreateRootFromName(TbsShellFolder* OldFolder, const TRoot& OldRoot, TRoot& NewRoot) {
    LPITEMIDLIST List = nullptr;
    HRESULT Result = E_FAIL;
    const int Index = RootFolderIndex(NewRoot);
    if (Index < 0) {
        if (!NewRoot.empty()) {
            if (NewRoot.back() == u':')
                NewRoot += u'\\';
            ULONG Eaten = 0;
            Result = DesktopShellFolder()->ParseDisplayName(nullptr, NewRoot, &Eaten, &List, nullptr);
        }
    } else
        Result = SHGetSpecialFolderLocation(nullptr, RootFolderCSIDL[Index], &List);
    if (FAILED(Result) || !List) {
        FreeItemList(List);
        const String Message = Format(u"Error setting path: \"%s\"", {NewRoot});
        NewRoot = OldRoot;
        throw Exception(Message);
    }
    TbsShellFolder* Root = CreateRootShellFolder(List);
    FreeItemList(List);
    delete OldFolder;
    return Root;
}

// ---------------------------------------------------------------------------------------------
// Context menu

void ShowShellContextMenu(TWinControl* Control, TbsShellFolder* Item, int X, int Y) {
    if (!Item || !Control)
        return;
    std::shared_ptr<IContextMenu> Menu;
    LPCITEMIDLIST One = Item->RelativeID();
    IShellFolderPtr Parent = Item->ParentShellFolder();
    if (!Parent || FAILED(Parent->GetUIObjectOf(Control->Handle(), 1, &One, Menu)) || !Menu)
        return;
    const TPoint P = Control->ClientToScreen(TPoint(X, Y));
    auto Popup = std::make_unique<TPopupMenu>(nullptr);
    Menu->QueryContextMenu(Popup.get(), 0, 1, 0x7FFF, CMF_EXPLORE | CMF_CANRENAME);
    const int Command = TrackPopupMenu(Popup.get(), TPM_RETURNCMD | TPM_RIGHTBUTTON, P.X, P.Y, Control->Handle());
    Popup.reset();
    if (Command <= 0)
        return;
    std::string VerbText;
    if (FAILED(Menu->GetCommandString(UINT_PTR(Command - 1), GCS_VERBA, VerbText, 256)))
        VerbText.clear();
    const String Verb = UTF8ToString(VerbText);
    bool Handled = false;
    auto* Handler = dynamic_cast<IShellVerbHandler*>(Control);
    if (Handler)
        Handler->ExecuteCommand(Verb, Handled);
    HRESULT Result = S_OK;
    if (!Handled) {
        CMINVOKECOMMANDINFO Info;
        Info.hwnd = Control->Handle();
        Info.lpVerb = MAKEINTRESOURCEA(std::uintptr_t(Command - 1));
        Info.nShow = 1;
        Result = Menu->InvokeCommand(Info);
    }
    if (Handler)
        Handler->CommandCompleted(Verb, Handled || Result == S_OK);
}

void InvokeShellVerb(TbsShellFolder* Item, const std::string& Verb) {
    if (!Item)
        return;
    std::shared_ptr<IContextMenu> Menu;
    LPCITEMIDLIST One = Item->RelativeID();
    IShellFolderPtr Parent = Item->ParentShellFolder();
    if (!Parent || FAILED(Parent->GetUIObjectOf(nullptr, 1, &One, Menu)) || !Menu)
        return;
    CMINVOKECOMMANDINFO Info;
    Info.fMask = CMIC_MASK_ASYNCOK;
    Info.lpVerb = Verb.c_str();
    Info.nShow = 1;
    Menu->InvokeCommand(Info);
}
