// Loads the media libraries at run time from the "LibAV" folder and binds their entry points.
#pragma once

#include <mutex>

#include "platform/base/System.h"

// The loadable libraries in load order: each one's dependencies come before it, so that a library
// loaded by full path finds its dependencies (by soname) among those already loaded.
enum TLibrary { avUtil, swResample, avCodec, avFormat, swScale, avFilter, avDevice, lbSDL };
constexpr int LibraryCount = lbSDL + 1;

using TLibraries = TSet<TLibrary, LibraryCount>;

// Every set holding the codec library holds the resampler too: all audio conversion goes through it.
inline const TLibraries ConverterLibraries{avUtil, swResample, avCodec, avFormat, swScale, avFilter};
inline const TLibraries PlayerLibraries{avUtil, swResample, avCodec, avFormat, swScale, avFilter, lbSDL};
inline const TLibraries ProbeLibraries{avUtil, swResample, avCodec, avFormat, swScale};

using TFixupProc = void (*)(const String& LibFileName, void* Handle);
using TUnfixProc = void (*)();

struct TLibraryItem {
    TLibrary Lib;
    const char16_t* Name;
    int Version; // the file name's major version; below 0: the file name carries none
    TFixupProc Fixup;
    TUnfixProc Unfix;
};
extern const TLibraryItem LibraryTable[LibraryCount];

struct TLibraryStatus {
    TLibrary Lib;
    String Name;            // when not empty, replaces the file name computed from the table
    void* Handle = nullptr; // nullptr: not loaded
    bool Fixuped = false;   // the library's cells are bound
};
extern TLibraryStatus LibraryStates[LibraryCount];

// "lib<name>.so.<version>" from the table, or the status row's own name.
String GetLibraryFileName(TLibrary ALibrary);

class TFFmpegLoader : public TObject {
public:
    bool Load(TLibrary ALibrary);
    // Loads the members in load order; on the first failure unloads every member and fails.
    bool Load(TLibraries ALibraries);
    bool Loaded(TLibrary ALibrary) const;
    bool Loaded(TLibraries ALibraries) const;
    void Unload(TLibrary ALibrary);
    void Unload(TLibraries ALibraries);

    // The last failure's text; a success does not clear it.
    String LastErrMsg() const { return FLastErrMsg; }
    String LibraryPath() const { return FLibraryPath; }
    void SetLibraryPath(const String& Value) { FLibraryPath = Value; }
    bool InstallLogger() const { return FInstallLogger; }
    void SetInstallLogger(bool Value) { FInstallLogger = Value; }

private:
    bool FInstallLogger = true;
    String FLastErrMsg;
    String FLibraryPath;
};

// The process's one loader.
TFFmpegLoader& FFLoader();

// Held around every codec open and close and around stream-information probing in the
// transcoder, each time around exactly one library call: std::lock_guard Guard(CodecLock);
extern std::mutex CodecLock;
