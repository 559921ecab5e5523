#include "platform/shell/ShellTrash.h"

#include "platform/base/SysUtils.h"
#include "platform/shell/ShellPlaces.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool MakeDirs(const std::string& Path) {
    std::string At;
    for (std::size_t I = 1; I <= Path.size(); ++I)
        if (I == Path.size() || Path[I] == '/') {
            At = Path.substr(0, I);
            if (mkdir(At.c_str(), 0700) != 0 && errno != EEXIST)
                return false;
        }
    struct stat St;
    return stat(Path.c_str(), &St) == 0 && S_ISDIR(St.st_mode);
}

// The mount point holding Path: the deepest ancestor on the same device.
std::string TopDirOf(const std::string& Path, dev_t Device) {
    std::string Top = Path;
    for (;;) {
        const std::size_t Slash = Top.rfind('/');
        if (Slash == std::string::npos || Top == "/")
            return "/";
        const std::string Up = Slash == 0 ? "/" : Top.substr(0, Slash);
        struct stat St;
        if (stat(Up.c_str(), &St) != 0 || St.st_dev != Device)
            return Top;
        Top = Up;
    }
}

// Bytes outside the unreserved set are written as %XX.
std::string PercentEncode(const std::string& Path) {
    static const char* Hex = "0123456789ABCDEF";
    std::string Out;
    for (unsigned char C : Path) {
        if (std::isalnum(C) || C == '/' || C == '-' || C == '_' || C == '.' || C == '~')
            Out += char(C);
        else {
            Out += '%';
            Out += Hex[C >> 4];
            Out += Hex[C & 15];
        }
    }
    return Out;
}

std::string Errno(int E) {
    return std::strerror(E);
}

std::string TrashFor(const std::string& Path, std::string& TopDir) {
    struct stat Item {
    }, HomeSt{};
    if (lstat(Path.c_str(), &Item) != 0)
        return {};
    const std::string Home = ShellDataHome() + "/Trash";
    // The home trash serves every item on the device that holds the user's data folder.
    std::string DataDir = ShellDataHome();
    while (stat(DataDir.c_str(), &HomeSt) != 0 && DataDir.size() > 1)
        DataDir = DataDir.substr(0, std::max<std::size_t>(1, DataDir.rfind('/')));
    if (HomeSt.st_dev == Item.st_dev) {
        TopDir.clear();
        return Home;
    }
    TopDir = TopDirOf(Path, Item.st_dev);
    const std::string Shared = (TopDir == "/" ? "" : TopDir) + "/.Trash";
    struct stat St;
    if (lstat(Shared.c_str(), &St) == 0 && S_ISDIR(St.st_mode) && (St.st_mode & S_ISVTX))
        return Shared + "/" + std::to_string(getuid());
    return (TopDir == "/" ? "" : TopDir) + "/.Trash-" + std::to_string(getuid());
}

} // namespace

String TrashFolderFor(const String& Path) {
    std::string Top;
    return UTF8ToString(TrashFor(UTF8Encode(Path), Top));
}

bool MoveToTrash(const String& PathText, String& Error) {
    const std::string Path = NormalisePath(UTF8Encode(PathText));
    if (PathText.empty() || PathText[0] != u'/' || Path == "/") {
        Error = Format(u"Cannot move \"%s\" to the trash", {PathText});
        return false;
    }
    std::string Top;
    const std::string Trash = TrashFor(Path, Top);
    if (Trash.empty()) {
        Error = Format(u"Cannot move \"%s\" to the trash: %s", {PathText, UTF8ToString(Errno(errno))});
        return false;
    }
    // Never trash the trash itself or anything holding it.
    if (Trash == Path || Trash.compare(0, Path.size() + 1, Path + "/") == 0) {
        Error = Format(u"Cannot move \"%s\" to the trash", {PathText});
        return false;
    }
    const std::string Files = Trash + "/files", Info = Trash + "/info";
    if (!MakeDirs(Files) || !MakeDirs(Info)) {
        Error = Format(u"Cannot make the trash folder \"%s\": %s", {UTF8ToString(Trash), UTF8ToString(Errno(errno))});
        return false;
    }
    // A name free in both folders, claimed by creating its note exclusively.
    const std::string Base = Path.substr(Path.rfind('/') + 1);
    std::string Name, InfoPath;
    int Fd = -1;
    for (int N = 1; Fd < 0 && N < 10000; ++N) {
        Name = N == 1 ? Base : Base + "." + std::to_string(N);
        InfoPath = Info + "/" + Name + ".trashinfo";
        struct stat St;
        if (lstat((Files + "/" + Name).c_str(), &St) == 0)
            continue;
        Fd = open(InfoPath.c_str(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (Fd < 0 && errno != EEXIST)
            break;
    }
    if (Fd < 0) {
        Error = Format(u"Cannot write the trash note for \"%s\": %s", {PathText, UTF8ToString(Errno(errno))});
        return false;
    }
    // Items of another mount are noted relative to its top folder.
    const std::string Noted = Top.empty() || Top == "/" ? Path : Path.substr(Top.size() + 1);
    char Stamp[32];
    const std::time_t Now = std::time(nullptr);
    std::tm Local{};
    localtime_r(&Now, &Local);
    std::strftime(Stamp, sizeof Stamp, "%Y-%m-%dT%H:%M:%S", &Local);
    const std::string Note = "[Trash Info]\nPath=" + PercentEncode(Noted) + "\nDeletionDate=" + Stamp + "\n";
    const bool Written = write(Fd, Note.data(), Note.size()) == ssize_t(Note.size());
    const bool Closed = close(Fd) == 0;
    if (!Written || !Closed) {
        const int E = errno;
        unlink(InfoPath.c_str());
        Error = Format(u"Cannot write the trash note for \"%s\": %s", {PathText, UTF8ToString(Errno(E))});
        return false;
    }
    if (std::rename(Path.c_str(), (Files + "/" + Name).c_str()) != 0) {
        const int E = errno;
        unlink(InfoPath.c_str());
        Error = Format(u"Cannot move \"%s\" to the trash: %s", {PathText, UTF8ToString(Errno(E))});
        return false;
    }
    return true;
}
