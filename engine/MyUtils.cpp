#include "engine/MyUtils.h"

#include <ctime>
#include <dlfcn.h>
#include <link.h>
#include <unistd.h>

#include <mutex>

#include "platform/win/Windows.h"

namespace {

// dlerror() starts with the library's path ("/x/libfoo.so: undefined symbol: f"); the loader's
// texts name the file already, so only the reason is kept.
String LoaderErrorReason(const char* Error, const std::string& Path) {
    std::string Text = Error && *Error ? Error : "unknown error";
    if (Text.compare(0, Path.size() + 2, Path + ": ") == 0)
        Text.erase(0, Path.size() + 2);
    return UTF8ToString(Text);
}

// The path the system loaded a library from (a resident library keeps its first path).
std::string LoadedPath(void* Handle) {
    link_map* Map = nullptr;
    if (dlinfo(Handle, RTLD_DI_LINKMAP, &Map) != 0 || !Map || !Map->l_name)
        return std::string();
    return Map->l_name;
}

void BindExport(const String& LibFileName, void* Handle, const char* Name, bool Optional, void*& Cell,
                const char16_t* ErrorFormat) {
    dlerror();
    Cell = dlsym(Handle, Name);
    if (!Cell && !Optional) {
        const char* Reason = dlerror();
        std::string Error = Reason ? Reason : "";
        throw Exception(Format(ErrorFormat, {Name, LibFileName, LoaderErrorReason(Error.c_str(), LoadedPath(Handle))}));
    }
}

} // namespace

Int64 FileSizeOf(const String& AFileName) {
    return FileExists(AFileName) ? FileSize(AFileName) : -1;
}

void SplitOff(String& S, const String& ADelim, bool ARemove, String& AHead) {
    size_t P = S.find(ADelim);
    if (P != String::npos) {
        AHead = S.substr(0, P);
        if (ARemove)
            S.erase(0, P + ADelim.size());
    } else {
        AHead = S;
        if (ARemove)
            S.clear();
    }
}

String FormatByteSize(Int64 ASize) {
    if (ASize > 1073741824)
        return Format(u"%.2f GB", {double(ASize) / 1073741824});
    if (ASize > 1048576)
        return Format(u"%.2f MB", {double(ASize) / 1048576});
    if (ASize > 1024)
        return Format(u"%.2f KB", {double(ASize) / 1024});
    return Format(u"%d Byte", {ASize});
}

double LocalTimeZoneOffset() {
    Int64 Seconds = time(nullptr);
    return UnixToDateTime(Seconds, false) - UnixToDateTime(Seconds, true);
}

TDateTime UnixToLocalDateTime(Int64 ASeconds) {
    return UnixToDateTime(ASeconds, false);
}

String FormatDateTimeText(const String& AFormat, TDateTime ADateTime) {
    return FormatDateTime(AFormat, ADateTime);
}

void* LoadLibraryFromFolder(const String& Dir, const String& FileName, String& AErrorText) {
    // By full path when the folder holds the file: its dependencies are loaded first by the
    // loader (dependency order), so the copies in the folder are the ones found by soname.
    std::string Path = UTF8Encode(FileName);
    if (!Dir.empty()) {
        String Folder = Dir.back() == u'/' ? Dir : Dir + u'/';
        std::string FullName = UTF8Encode(Folder + FileName);
        if (access(FullName.c_str(), F_OK) == 0)
            Path = FullName;
    }
    // Never unmapped: the libraries and their dependencies keep threads and state of their own,
    // so "freeing" a library releases our reference and its cells only.
    void* Handle = dlopen(Path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!Handle)
        AErrorText = LoaderErrorReason(dlerror(), Path);
    return Handle;
}

void FreeLibraryModule(void* Handle) {
    if (Handle)
        dlclose(Handle);
}

void BindProc(const String& LibFileName, void* Handle, const char* ProcName, bool Optional, void*& Cell) {
    BindExport(LibFileName, Handle, ProcName, Optional, Cell, u"Load function %s@%s error: %s");
}

void BindVar(const String& LibFileName, void* Handle, const char* VarName, bool Optional, void*& Cell) {
    BindExport(LibFileName, Handle, VarName, Optional, Cell, u"Load variable %s@%s error: %s");
}

void CheckLibraryVersion(const String& LibFileName, unsigned AVersion, int AExpectedMajor) {
    int Major = int(AVersion >> 16);
    if (Major != AExpectedMajor)
        throw Exception(
            Format(u"Load library %s error: %s",
                   {LibFileName, Format(u"version %d.%d.%d found, major version %d expected",
                                        {Major, int(AVersion >> 8 & 0xFF), int(AVersion & 0xFF), AExpectedMajor})}));
}

void RunInMainThread(const TThreadMethod& AMethod) {
    if (IsMainThread())
        AMethod();
    else
        TThread::Synchronize(nullptr, AMethod);
}

bool ProcessOneMessage(MSG& AMsg) {
    if (!PeekMessageW(&AMsg, nullptr, 0, 0, PM_NOREMOVE))
        return false;
    if (!PeekMessageW(&AMsg, nullptr, 0, 0, PM_REMOVE))
        return false;
    if (AMsg.message == WM_QUIT) {
        PostQuit(int(AMsg.wParam));
        return true;
    }
    TranslateMessage(&AMsg);
    DispatchMessageW(&AMsg);
    return true;
}

void PumpMessages() {
    if (!IsMainThread())
        return;
    // Synchronised calls also run when the window queue is empty.
    CheckSynchronize(0);
    MSG Msg{};
    bool Quit = false;
    int QuitCode = 0;
    while (ProcessOneMessage(Msg))
        if (Msg.message == WM_QUIT) {
            Quit = true;
            QuitCode = int(Msg.wParam);
        }
    if (Quit)
        PostQuitMessage(QuitCode);
}
