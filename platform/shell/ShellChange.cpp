#include "platform/shell/ShellChange.h"

#include <cerrno>
#include <dirent.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t NameEvents = IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
// Deep trees are watched only this far down.
constexpr int MaxDepth = 64;

} // namespace

std::uint32_t ChangeFilterToInotifyMask(Cardinal Filter) {
    std::uint32_t Mask = 0;
    if (Filter & (FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_DIR_NAME))
        Mask |= NameEvents;
    if (Filter & (FILE_NOTIFY_CHANGE_ATTRIBUTES | FILE_NOTIFY_CHANGE_SECURITY))
        Mask |= IN_ATTRIB;
    if (Filter & FILE_NOTIFY_CHANGE_SIZE)
        Mask |= IN_MODIFY;
    if (Filter & FILE_NOTIFY_CHANGE_LAST_WRITE)
        Mask |= IN_MODIFY | IN_CLOSE_WRITE;
    return Mask;
}

TFolderChangeWatch::TFolderChangeWatch() {
    FWake = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
}

TFolderChangeWatch::~TFolderChangeWatch() {
    Close();
    if (FWake >= 0)
        close(FWake);
}

bool TFolderChangeWatch::Open(const String& Folder, bool SubTree, Cardinal Filter) {
    Close();
    const std::string Path = UTF8Encode(Folder);
    struct stat St;
    if (Path.empty() || stat(Path.c_str(), &St) != 0 || !S_ISDIR(St.st_mode))
        return false;
    FInotify = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (FInotify < 0)
        return false;
    FSubTree = SubTree;
    FFilter = Filter;
    if (!AddOne(Path)) {
        Close();
        return false;
    }
    if (SubTree)
        AddTree(Path, 0);
    return true;
}

void TFolderChangeWatch::Close() {
    if (FInotify >= 0)
        close(FInotify);
    FInotify = -1;
    FWatches.clear();
}

bool TFolderChangeWatch::AddOne(const std::string& Path) {
    std::uint32_t Mask = ChangeFilterToInotifyMask(FFilter) | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;
    if (FSubTree)
        Mask |= IN_CREATE | IN_MOVED_TO; // new folders below get watches of their own
    const int Wd = inotify_add_watch(FInotify, Path.c_str(), Mask);
    if (Wd < 0)
        return false;
    FWatches[Wd] = Path;
    return true;
}

void TFolderChangeWatch::AddTree(const std::string& Path, int Depth) {
    if (Depth >= MaxDepth)
        return;
    DIR* D = opendir(Path.c_str());
    if (!D)
        return;
    while (dirent* E = readdir(D)) {
        const std::string Name = E->d_name;
        if (Name == "." || Name == "..")
            continue;
        const std::string Child = Path == "/" ? "/" + Name : Path + "/" + Name;
        struct stat St;
        // Links are not followed, so a loop of links cannot make the walk endless.
        if (lstat(Child.c_str(), &St) == 0 && S_ISDIR(St.st_mode) && AddOne(Child))
            AddTree(Child, Depth + 1);
    }
    closedir(D);
}

// True when an event of the filter's kind was among those read.
bool TFolderChangeWatch::ReadEvents() {
    alignas(inotify_event) char Buffer[16384];
    bool Relevant = false;
    for (;;) {
        const ssize_t N = read(FInotify, Buffer, sizeof Buffer);
        if (N <= 0)
            break;
        for (ssize_t At = 0; At < N;) {
            auto* E = reinterpret_cast<inotify_event*>(Buffer + At);
            At += ssize_t(sizeof(inotify_event) + E->len);
            const bool Dir = (E->mask & IN_ISDIR) != 0;
            auto Where = FWatches.find(E->wd);
            if (E->mask & IN_IGNORED) {
                if (Where != FWatches.end())
                    FWatches.erase(Where);
                continue;
            }
            if (FSubTree && Dir && (E->mask & (IN_CREATE | IN_MOVED_TO)) && Where != FWatches.end() && E->len) {
                const std::string Child = Where->second + "/" + E->name;
                if (AddOne(Child))
                    AddTree(Child, 1);
            }
            if (E->mask & NameEvents) {
                if (FFilter & (Dir ? FILE_NOTIFY_CHANGE_DIR_NAME : FILE_NOTIFY_CHANGE_FILE_NAME))
                    Relevant = true;
            } else if (E->mask & (IN_DELETE_SELF | IN_MOVE_SELF))
                Relevant = true;
            else if (E->mask & ChangeFilterToInotifyMask(FFilter))
                Relevant = true;
        }
    }
    return Relevant;
}

TFolderChangeWatch::TWaitResult TFolderChangeWatch::Wait() {
    for (;;) {
        if (FInotify < 0 || FWake < 0 || FWatches.empty())
            return wrFailed;
        pollfd Fds[2] = {{FInotify, POLLIN, 0}, {FWake, POLLIN, 0}};
        const int N = poll(Fds, 2, -1);
        if (N < 0) {
            if (errno == EINTR)
                continue;
            return wrFailed;
        }
        if (Fds[1].revents & POLLIN) {
            std::uint64_t Count;
            while (read(FWake, &Count, sizeof Count) > 0) {
            }
            return wrWake;
        }
        if (Fds[0].revents & (POLLERR | POLLHUP | POLLNVAL))
            return wrFailed;
        if ((Fds[0].revents & POLLIN) && ReadEvents())
            return wrChange;
    }
}

void TFolderChangeWatch::Wake() {
    if (FWake >= 0) {
        const std::uint64_t One = 1;
        [[maybe_unused]] ssize_t W = write(FWake, &One, sizeof One);
    }
}
