// A folder made read-only for the test: by its mode, or, for root (whom modes do not stop), by a read-only bind
// mount seen only by the calling thread, which moves into a mount namespace of its own. Undone when it goes.
#pragma once

#include <cerrno>
#include <cstring>
#include <sched.h>
#include <string>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

class TReadOnlyFolder {
public:
    explicit TReadOnlyFolder(std::string Folder) : FFolder(std::move(Folder)) {
        while (FFolder.size() > 1 && FFolder.back() == '/')
            FFolder.pop_back();
        if (::geteuid() != 0) {
            struct stat St {};
            FOk = ::stat(FFolder.c_str(), &St) == 0 && ::chmod(FFolder.c_str(), 0555) == 0;
            FMode = St.st_mode & 07777;
            FByMode = FOk;
            if (!FOk)
                FWhy = "chmod: " + std::string(std::strerror(errno));
            return;
        }
        if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount(FFolder.c_str(), FFolder.c_str(), nullptr, MS_BIND, nullptr) != 0) {
            FWhy = "no read-only mount for root here: " + std::string(std::strerror(errno));
            return;
        }
        FMounted = true;
        FOk = ::mount(nullptr, FFolder.c_str(), nullptr, MS_BIND | MS_REMOUNT | MS_RDONLY, nullptr) == 0;
        if (!FOk)
            FWhy = "remount read-only: " + std::string(std::strerror(errno));
    }
    ~TReadOnlyFolder() {
        if (FByMode)
            ::chmod(FFolder.c_str(), FMode);
        if (FMounted)
            ::umount2(FFolder.c_str(), MNT_DETACH);
    }
    TReadOnlyFolder(const TReadOnlyFolder&) = delete;
    TReadOnlyFolder& operator=(const TReadOnlyFolder&) = delete;

    bool Ok() const { return FOk; }
    const std::string& Why() const { return FWhy; }

private:
    std::string FFolder;
    bool FOk = false, FByMode = false, FMounted = false;
    mode_t FMode = 0755;
    std::string FWhy;
};
