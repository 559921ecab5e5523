// The context menu of a namespace item: open, rename, delete to the trash, properties.
#include "platform/base/SysUtils.h"
#include "platform/shell/ShellInternal.h"
#include "platform/shell/ShellLauncher.h"
#include "platform/shell/ShellPrompt.h"
#include "platform/shell/ShellTrash.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"

#include <sys/stat.h>

using namespace shellns;

namespace {

constexpr HRESULT E_ABORT = HRESULT(0x80004004u);

struct TVerb {
    const char* Verb;
    const char16_t* Caption;
};
// The offset of a command is its place here, whether or not the item offers it.
const TVerb Verbs[] = {
    {"open", u"&Open"}, {"rename", u"Rena&me"}, {"delete", u"&Delete"}, {"properties", u"P&roperties"}};
constexpr UINT VerbCount = sizeof(Verbs) / sizeof(Verbs[0]);
enum { vOpen, vRename, vDelete, vProperties };

class TItemContextMenu : public IContextMenu {
public:
    TItemContextMenu(const TResolvedItem& AItem, String AName) : FItem(AItem), FName(std::move(AName)) {}

    HRESULT QueryContextMenu(TPopupMenu* Menu, UINT indexMenu, UINT idCmdFirst, UINT idCmdLast, UINT uFlags) override {
        if (!Menu || idCmdLast < idCmdFirst + VerbCount - 1)
            return E_INVALIDARG;
        const ULONG Attributes = AttributesOf(FItem, false);
        int Index = int(std::min<UINT>(indexMenu, UINT(Menu->Items()->Count())));
        for (UINT V = 0; V < VerbCount; ++V) {
            if (!Offers(V, Attributes, uFlags))
                continue;
            auto* Item = new TMenuItem(Menu);
            Item->SetCaption(Verbs[V].Caption);
            Item->SetTag(NativeInt(idCmdFirst + V));
            Item->SetDefault(V == vOpen);
            Menu->Items()->Insert(Index++, Item);
        }
        return HRESULT(VerbCount);
    }

    HRESULT GetCommandString(UINT_PTR idCmd, UINT, std::string& Name, UINT cchMax) override {
        if (idCmd >= VerbCount)
            return E_INVALIDARG;
        Name = Verbs[idCmd].Verb;
        if (cchMax && Name.size() >= cchMax)
            Name.resize(cchMax - 1);
        return S_OK;
    }

    HRESULT InvokeCommand(const CMINVOKECOMMANDINFO& Info) override {
        int V = -1;
        if ((reinterpret_cast<std::uintptr_t>(Info.lpVerb) >> 16) == 0)
            V = int(reinterpret_cast<std::uintptr_t>(Info.lpVerb));
        else
            for (UINT I = 0; I < VerbCount; ++I)
                if (std::string(Info.lpVerb) == Verbs[I].Verb)
                    V = int(I);
        FOwner = Info.hwnd;
        switch (V) {
        case vOpen:
            return Open();
        case vDelete:
            return Delete();
        case vProperties:
            return Properties();
        case vRename: // the control edits the name in place
        default:
            return E_NOTIMPL;
        }
    }

private:
    bool Offers(UINT Verb, ULONG Attributes, UINT Flags) const {
        switch (Verb) {
        case vOpen:
            return !FItem.Path.empty();
        case vRename:
            return (Flags & CMF_CANRENAME) && (Attributes & SFGAO_CANRENAME);
        case vDelete:
            return (Attributes & SFGAO_CANDELETE) != 0;
        default:
            return true;
        }
    }

    HRESULT Open() {
        if (FItem.Path.empty())
            return E_FAIL;
        // The child works in the item's folder; this process keeps its own current folder.
        const bool Folder = (AttributesOf(FItem, false) & SFGAO_FOLDER) != 0;
        const std::string Dir =
            Folder ? FItem.Path : FItem.Path.substr(0, std::max<std::size_t>(1, FItem.Path.rfind('/')));
        String Error;
        if (ShellLauncher().Open(UTF8ToString(FItem.Path), UTF8ToString(Dir), Error))
            return S_OK;
        ShellPrompt().MessageBox(FOwner, Error, u"", MB_OK | MB_ICONERROR);
        return E_FAIL;
    }

    HRESULT Delete() {
        const String Path = UTF8ToString(FItem.Path);
        if (ShellPrompt().MessageBox(FOwner, Format(u"Are you sure you want to move \"%s\" to the trash?", {FName}),
                                     u"Delete", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return E_ABORT;
        String Error;
        if (MoveToTrash(Path, Error))
            return S_OK;
        ShellPrompt().MessageBox(FOwner, Error, u"Delete", MB_OK | MB_ICONERROR);
        return E_FAIL;
    }

    HRESULT Properties() {
        String Text = Format(u"Name: %s\nKind: %s", {FName, TypeNameOf(FItem)});
        if (!FItem.Path.empty())
            Text += Format(u"\nLocation: %s", {UTF8ToString(FItem.Path)});
        struct stat St;
        if ((FItem.Kind == SHID_FOLDER || FItem.Kind == SHID_FILE) && lstat(FItem.Path.c_str(), &St) == 0) {
            if (!S_ISDIR(St.st_mode))
                Text += Format(u"\nSize: %s bytes", {IntToStr(std::int64_t(St.st_size))});
            auto When = [](std::time_t T) { return FormatDateTime(u"yyyy-mm-dd hh:nn:ss", UnixToDateTime(T, false)); };
            Text += Format(u"\nModified: %s\nChanged: %s\nAccessed: %s",
                           {When(St.st_mtime), When(St.st_ctime), When(St.st_atime)});
        }
        ShellPrompt().MessageBox(FOwner, Text, Format(u"%s Properties", {FName}), MB_OK);
        return S_OK;
    }

    TResolvedItem FItem;
    String FName;
    // The window the command was invoked for: its questions and notices look like it.
    HWND FOwner = nullptr;
};

} // namespace

namespace shellns {

std::shared_ptr<IContextMenu> CreateItemContextMenu(const TResolvedItem& Item, const String& DisplayName) {
    return std::make_shared<TItemContextMenu>(Item, DisplayName);
}

} // namespace shellns
