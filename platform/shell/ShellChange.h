// Change notification on a folder: an inotify watch with a wake-up descriptor beside it.
//
// A thread waits in Wait until the folder (or, with SubTree, a folder below it) changes in a way the filter
// asks for, or until another thread calls Wake.
#pragma once

#include "platform/base/System.h"

#include <map>
#include <string>

// Filter bits.
constexpr Cardinal FILE_NOTIFY_CHANGE_FILE_NAME = 0x1;
constexpr Cardinal FILE_NOTIFY_CHANGE_DIR_NAME = 0x2;
constexpr Cardinal FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x4;
constexpr Cardinal FILE_NOTIFY_CHANGE_SIZE = 0x8;
constexpr Cardinal FILE_NOTIFY_CHANGE_LAST_WRITE = 0x10;
constexpr Cardinal FILE_NOTIFY_CHANGE_SECURITY = 0x100;

// The inotify events a filter asks for.
std::uint32_t ChangeFilterToInotifyMask(Cardinal Filter);

class TFolderChangeWatch {
public:
    TFolderChangeWatch();
    ~TFolderChangeWatch();
    TFolderChangeWatch(const TFolderChangeWatch&) = delete;
    TFolderChangeWatch& operator=(const TFolderChangeWatch&) = delete;

    // Watches Folder (and every folder below it with SubTree); false when it cannot be watched. A watch
    // that was open is closed first.
    bool Open(const String& Folder, bool SubTree, Cardinal Filter);
    void Close();
    bool IsOpen() const { return FInotify >= 0; }

    enum TWaitResult { wrChange, wrWake, wrFailed };
    // Blocks until a change of the filter's kind (all changes that arrived together count as one), a
    // wake-up, or a failure (no watch open, or the watch went away).
    TWaitResult Wait();
    // Ends a Wait on another thread (or the next one); safe from any thread.
    void Wake();

private:
    void AddTree(const std::string& Path, int Depth);
    bool AddOne(const std::string& Path);
    bool ReadEvents();

    int FInotify = -1;
    int FWake = -1;
    bool FSubTree = false;
    Cardinal FFilter = 0;
    std::map<int, std::string> FWatches;
};
