// The shell namespace over the file system: item-ID lists, folder objects and their queries.
//
// Public names: SHITEMID, ITEMIDLIST, SHAlloc, SHFree, STRRET, SHELLDETAILS, IEnumIDList, IShellFolder,
// IShellFolder2, IShellDetails, IContextMenu, CMINVOKECOMMANDINFO, SHGetDesktopFolder,
// SHGetSpecialFolderLocation, SHGetPathFromIDListW, SHGetFileInfoW and the SFGAO_, SHGDN_, SHCONTF_,
// SHCOLSTATE_, CSIDL_, SHGFI_, CMF_ and GCS_ constants.
//
// The root is the Desktop. It holds Home, Computer and the entries of the desktop folder of the XDG user
// directories. Computer holds the drives: "/" first, then the block-device, removable and network mounts of
// the mount table. An item-ID list keeps the usual byte layout: records of a 16-bit byte count (counting
// itself) and payload, ended by a zero count. The payload here is a kind byte followed by the item's raw
// name bytes (a drive's name is its mount point), so a list names an item without touching the disk.
//
// Interfaces are shared objects: std::shared_ptr stands in for reference counting, and asking for another
// interface of an object is a dynamic_pointer_cast.
#pragma once

#include "platform/base/System.h"
#include "platform/gdi/WinDef.h"
#include "platform/win/Windows.h"

#include <cstdint>
#include <memory>
#include <string>

class TPopupMenu;

using HRESULT = std::int32_t;
using ULONG = std::uint32_t;
using DWORD_PTR = std::uintptr_t;
constexpr HRESULT S_OK = 0;
constexpr HRESULT S_FALSE = 1;
constexpr HRESULT E_NOTIMPL = HRESULT(0x80004001u);
constexpr HRESULT E_NOINTERFACE = HRESULT(0x80004002u);
constexpr HRESULT E_FAIL = HRESULT(0x80004005u);
constexpr HRESULT E_INVALIDARG = HRESULT(0x80070057u);
inline bool SUCCEEDED(HRESULT hr) {
    return hr >= 0;
}
inline bool FAILED(HRESULT hr) {
    return hr < 0;
}

#pragma pack(push, 1)
struct SHITEMID {
    std::uint16_t cb;
    std::uint8_t abID[1];
};
struct ITEMIDLIST {
    SHITEMID mkid;
};
#pragma pack(pop)
using LPITEMIDLIST = ITEMIDLIST*;
using LPCITEMIDLIST = const ITEMIDLIST*;

// The shell allocator: zero-filled blocks (nil when Size is 0 or memory is short).
void* SHAlloc(std::size_t Size);
void SHFree(void* Block);

// The kinds of item the payload's first byte names.
constexpr std::uint8_t SHID_HOME = 1;
constexpr std::uint8_t SHID_COMPUTER = 2;
constexpr std::uint8_t SHID_DRIVE = 3;
constexpr std::uint8_t SHID_FOLDER = 4;
constexpr std::uint8_t SHID_FILE = 5;

// Attribute bits.
constexpr ULONG SFGAO_CANCOPY = 0x1;
constexpr ULONG SFGAO_CANMOVE = 0x2;
constexpr ULONG SFGAO_CANLINK = 0x4;
constexpr ULONG SFGAO_CANRENAME = 0x10;
constexpr ULONG SFGAO_CANDELETE = 0x20;
constexpr ULONG SFGAO_HASPROPSHEET = 0x40;
constexpr ULONG SFGAO_DROPTARGET = 0x100;
constexpr ULONG SFGAO_GHOSTED = 0x8000;
constexpr ULONG SFGAO_LINK = 0x10000;
constexpr ULONG SFGAO_SHARE = 0x20000;
constexpr ULONG SFGAO_READONLY = 0x40000;
constexpr ULONG SFGAO_HIDDEN = 0x80000;
constexpr ULONG SFGAO_VALIDATE = 0x1000000;
constexpr ULONG SFGAO_REMOVABLE = 0x2000000;
constexpr ULONG SFGAO_FILESYSANCESTOR = 0x10000000;
constexpr ULONG SFGAO_FOLDER = 0x20000000;
constexpr ULONG SFGAO_FILESYSTEM = 0x40000000;
constexpr ULONG SFGAO_HASSUBFOLDER = 0x80000000;

// Display-name kinds.
constexpr DWORD SHGDN_NORMAL = 0;
constexpr DWORD SHGDN_INFOLDER = 1;
constexpr DWORD SHGDN_FOREDITING = 0x1000;
constexpr DWORD SHGDN_FORADDRESSBAR = 0x4000;
constexpr DWORD SHGDN_FORPARSING = 0x8000;

// Enumeration flags.
constexpr DWORD SHCONTF_FOLDERS = 0x20;
constexpr DWORD SHCONTF_NONFOLDERS = 0x40;
constexpr DWORD SHCONTF_INCLUDEHIDDEN = 0x80;

// Column states.
constexpr DWORD SHCOLSTATE_TYPE_STR = 0x1;
constexpr DWORD SHCOLSTATE_TYPE_INT = 0x2;
constexpr DWORD SHCOLSTATE_TYPE_DATE = 0x3;
constexpr DWORD SHCOLSTATE_ONBYDEFAULT = 0x10;

// Special folders that exist here; the others are not found.
constexpr int CSIDL_DESKTOP = 0;
constexpr int CSIDL_PERSONAL = 5;
constexpr int CSIDL_RECENT = 8;
constexpr int CSIDL_RECYCLEBIN = 10;
constexpr int CSIDL_DESKTOPDIRECTORY = 16;
constexpr int CSIDL_DRIVES = 17;
constexpr int CSIDL_FONTS = 20;
constexpr int CSIDL_TEMPLATES = 21;
constexpr int CSIDL_APPDATA = 26;
constexpr int CSIDL_PROFILE = 40;

constexpr UINT STRRET_WSTR = 0;
constexpr UINT STRRET_OFFSET = 1;
constexpr UINT STRRET_CSTR = 2;

// A returned name: a wide text, 8-bit (UTF-8) text at an offset into the item's list, or 8-bit text.
struct STRRET {
    UINT uType = STRRET_WSTR;
    String pOleStr;
    UINT uOffset = 0;
    char cStr[260] = {};
};

constexpr int LVCFMT_LEFT = 0;
constexpr int LVCFMT_RIGHT = 1;
constexpr int LVCFMT_CENTER = 2;

struct SHELLDETAILS {
    int fmt = LVCFMT_LEFT;
    int cxChar = 0;
    STRRET str;
};

class IEnumIDList {
public:
    virtual ~IEnumIDList() = default;
    // Up to celt new lists (the caller frees them); S_OK when all celt came, S_FALSE otherwise.
    virtual HRESULT Next(ULONG celt, LPITEMIDLIST* rgelt, ULONG* pceltFetched) = 0;
    virtual HRESULT Reset() = 0;
};

class IContextMenu;

class IShellFolder {
public:
    virtual ~IShellFolder() = default;
    // Name is a path or a parsing name; ppidl gets a new list relative to this folder.
    virtual HRESULT ParseDisplayName(HWND hwnd, const String& Name, ULONG* pchEaten, LPITEMIDLIST* ppidl,
                                     ULONG* pdwAttributes) = 0;
    virtual HRESULT EnumObjects(HWND hwnd, DWORD grfFlags, std::shared_ptr<IEnumIDList>& Enum) = 0;
    // The folder object of a (possibly multi-level) relative list.
    virtual HRESULT BindToObject(LPCITEMIDLIST pidl, std::shared_ptr<IShellFolder>& Folder) = 0;
    // Low 16 bits: a negative, zero or positive short; 0 only for the same item.
    virtual HRESULT CompareIDs(LPARAM lParam, LPCITEMIDLIST pidl1, LPCITEMIDLIST pidl2) = 0;
    // rgfInOut asks; it receives the attributes common to all items (the costly HASSUBFOLDER only when asked).
    virtual HRESULT GetAttributesOf(UINT cidl, LPCITEMIDLIST* apidl, ULONG* rgfInOut) = 0;
    virtual HRESULT GetUIObjectOf(HWND hwndOwner, UINT cidl, LPCITEMIDLIST* apidl,
                                  std::shared_ptr<IContextMenu>& Menu) = 0;
    virtual HRESULT GetDisplayNameOf(LPCITEMIDLIST pidl, DWORD uFlags, STRRET* pName) = 0;
    // Never replaces an existing item.
    virtual HRESULT SetNameOf(HWND hwnd, LPCITEMIDLIST pidl, const String& Name, DWORD uFlags,
                              LPITEMIDLIST* ppidlOut) = 0;
};

class IShellFolder2 : public IShellFolder {
public:
    virtual HRESULT GetDefaultColumnState(UINT iColumn, DWORD* pcsFlags) = 0;
    // pidl nil asks for the column's heading.
    virtual HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT iColumn, SHELLDETAILS* psd) = 0;
};

class IShellDetails {
public:
    virtual ~IShellDetails() = default;
    virtual HRESULT GetDetailsOf(LPCITEMIDLIST pidl, UINT iColumn, SHELLDETAILS* pDetails) = 0;
    virtual HRESULT ColumnClick(UINT iColumn) = 0;
};

constexpr UINT CMF_NORMAL = 0;
constexpr UINT CMF_EXPLORE = 0x4;
constexpr UINT CMF_CANRENAME = 0x10;
constexpr UINT GCS_VERBA = 0;
constexpr DWORD CMIC_MASK_ASYNCOK = 0x00100000;

struct CMINVOKECOMMANDINFO {
    DWORD fMask = 0;
    HWND hwnd = nullptr;
    // A command offset (a number below 0x10000 in pointer form) or an 8-bit verb.
    const char* lpVerb = nullptr;
    int nShow = 1;
};
inline const char* MAKEINTRESOURCEA(std::uintptr_t Id) {
    return reinterpret_cast<const char*>(Id);
}

class IContextMenu {
public:
    virtual ~IContextMenu() = default;
    // Adds the commands as items of Menu at indexMenu; item identifiers (their Tag) run from idCmdFirst.
    // The result's low 16 bits: the number of identifiers used.
    virtual HRESULT QueryContextMenu(TPopupMenu* Menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast,
                                     UINT uFlags) = 0;
    virtual HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& Info) = 0;
    // The verb of the command at offset idCmd into Name (at most cchMax bytes).
    virtual HRESULT GetCommandString(UINT_PTR idCmd, UINT uType, std::string& Name, UINT cchMax) = 0;
};

HRESULT SHGetDesktopFolder(std::shared_ptr<IShellFolder>& Folder);
// A new absolute list of the special folder; E_FAIL when it does not exist here.
HRESULT SHGetSpecialFolderLocation(HWND hwnd, int csidl, LPITEMIDLIST* ppidl);
// The file-system path of an absolute list; false (and an empty path) when the item has none.
bool SHGetPathFromIDListW(LPCITEMIDLIST pidl, String& Path);

constexpr UINT SHGFI_SMALLICON = 0x1;
constexpr UINT SHGFI_OPENICON = 0x2;
constexpr UINT SHGFI_PIDL = 0x8;
constexpr UINT SHGFI_SYSICONINDEX = 0x4000;

struct SHFILEINFOW {
    int iIcon = 0;
    DWORD dwAttributes = 0;
};
// With SHGFI_SYSICONINDEX: the icon of the item (an absolute list with SHGFI_PIDL, else a path as a
// const char16_t*) into psfi->iIcon, and the handle of the system image list (small or large) as result.
DWORD_PTR SHGetFileInfoW(const void* pszPath, DWORD dwFileAttributes, SHFILEINFOW* psfi, UINT cbFileInfo, UINT uFlags);

// Find data of one file-system item, from lstat.
struct FILETIME {
    DWORD dwLowDateTime = 0;
    DWORD dwHighDateTime = 0;
};
constexpr DWORD FILE_ATTRIBUTE_READONLY = 0x1;
constexpr DWORD FILE_ATTRIBUTE_HIDDEN = 0x2;
constexpr DWORD FILE_ATTRIBUTE_DIRECTORY = 0x10;
constexpr DWORD FILE_ATTRIBUTE_ARCHIVE = 0x20;
constexpr DWORD FILE_ATTRIBUTE_NORMAL = 0x80;
constexpr DWORD FILE_ATTRIBUTE_REPARSE_POINT = 0x400;
struct WIN32_FIND_DATAW {
    DWORD dwFileAttributes = 0;
    FILETIME ftCreationTime; // the status-change time: Linux keeps no creation time everywhere
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh = 0;
    DWORD nFileSizeLow = 0;
    String cFileName;
};
// 0, or the errno of the failure.
int GetFileFindData(const String& Path, WIN32_FIND_DATAW& Data);
// 100-nanosecond steps since 1601-01-01 UTC, and back to Unix seconds.
FILETIME UnixTimeToFileTime(std::int64_t Seconds, long Nanoseconds = 0);
std::int64_t FileTimeToUnixTime(const FILETIME& Time);
