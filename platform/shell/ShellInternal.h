// Helpers shared by the namespace's files.
#pragma once

#include "platform/shell/ShellPlaces.h"
#include "platform/shell/ShlObj.h"

#include <cstring>
#include <memory>
#include <string>

namespace shellns {

inline std::uint16_t ItemCb(const void* Item) {
    std::uint16_t Cb;
    std::memcpy(&Cb, Item, 2);
    return Cb;
}

// One record: its kind and raw name.
struct TItemRecord {
    std::uint8_t Kind = 0;
    std::string Name;
};
// False at the terminator or for a record too short to hold a kind.
bool ReadRecord(const std::uint8_t* Item, TItemRecord& Record);
// A new one-record list.
LPITEMIDLIST MakeItemList(std::uint8_t Kind, const std::string& Name);
// A new list: A's records followed by B's (either may be nil).
LPITEMIDLIST JoinLists(LPCITEMIDLIST A, LPCITEMIDLIST B);

// Where an item of the namespace lies.
enum TPlace { plDesktop, plComputer, plFileSystem };
struct TResolvedItem {
    TPlace Place = plDesktop;
    std::uint8_t Kind = 0; // 0 for the desktop itself
    std::string Path;      // file-system path; empty for Computer
    std::string Name;      // the last record's raw name
};
// Walks a list relative to a folder at (Place, Path); false for a record that does not fit there.
bool ResolveRelative(TPlace Place, const std::string& Path, LPCITEMIDLIST List, TResolvedItem& Item);
inline bool ResolveAbsolute(LPCITEMIDLIST List, TResolvedItem& Item) {
    return ResolveRelative(plDesktop, std::string(), List, Item);
}

// The path the desktop stands for: the XDG desktop folder, else home.
std::string DesktopPath();
// The parsing name of Computer: no path.
inline const char16_t* const ComputerParsingName = u"::{5F1E0C4B-2D6A-4C7E-9B1F-3A8E6D2C0F17}";

// Attribute bits of one item (HASSUBFOLDER only when WantSubFolders).
ULONG AttributesOf(const TResolvedItem& Item, bool WantSubFolders);
String DisplayNameOf(const TResolvedItem& Item);
// "File Folder", "MP4 File", "Local Disk" ...
String TypeNameOf(const TResolvedItem& Item);

std::shared_ptr<IContextMenu> CreateItemContextMenu(const TResolvedItem& Item, const String& DisplayName);

// The system image lists' icon of an item.
int IconIndexOf(const TResolvedItem& Item, bool Open);

} // namespace shellns
