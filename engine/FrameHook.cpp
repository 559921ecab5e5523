#include "engine/FrameHook.h"

#include "engine/AVUtilStubs.h"
#include "platform/base/SysUtils.h"

#include <dlfcn.h>

#include <map>
#include <mutex>
#include <string>

namespace {

// The plug-in libraries by name as written in argv[0], letter case ignored; each is loaded once per
// process and stays loaded.
struct THookLibraries {
    std::mutex Lock;
    std::map<String, void*> Handles;
};

THookLibraries& HookLibraries() {
    static THookLibraries& Libraries = *new THookLibraries; // threads may still run hooks at exit
    return Libraries;
}

void LogError(const char* AFormat, const char* AText) {
    av::av_log(nullptr, AV_LOG_ERROR, AFormat, AText);
}

} // namespace

int FrameHookAdd(PFrameHookEntry& AFirst, int AArgc, char* AArgv[]) {
    if (AArgc < 1)
        return -2;
    void* Handle;
    {
        THookLibraries& L = HookLibraries();
        std::lock_guard Guard(L.Lock);
        const String Key = LowerCase(UTF8ToString(AArgv[0]));
        auto It = L.Handles.find(Key);
        if (It != L.Handles.end())
            Handle = It->second;
        else {
            // A name with a folder is loaded from there; a bare name through the system's search.
            Handle = dlopen(AArgv[0], RTLD_NOW | RTLD_LOCAL);
            if (!Handle) {
                const char* Error = dlerror();
                LogError("%s\n", Error ? Error : AArgv[0]);
                return -1;
            }
            L.Handles.emplace(Key, Handle);
        }
    }
    auto* Entry = static_cast<PFrameHookEntry>(av::av_mallocz(sizeof(TFrameHookEntry)));
    if (!Entry)
        return -12;
    Entry->Configure = reinterpret_cast<TFrameHookConfigureFn>(dlsym(Handle, "Configure"));
    Entry->Process = reinterpret_cast<TFrameHookProcessFn>(dlsym(Handle, "Process"));
    Entry->Release = reinterpret_cast<TFrameHookReleaseFn>(dlsym(Handle, "Release"));
    auto Refuse = [&](const char* AFormat, int AResult) {
        LogError(AFormat, AArgv[0]);
        av::av_free(Entry);
        return AResult;
    };
    if (!Entry->Process)
        return Refuse("Failed to find Process entrypoint in %s\n", -2);
    if (!Entry->Configure && AArgc > 1)
        return Refuse("Failed to find Configure entrypoint in %s\n", -2);
    if ((AArgc > 1 || Entry->Configure) && Entry->Configure(&Entry->ctx, AArgc, AArgv) != 0)
        return Refuse("Failed to Configure %s\n", -22);
    PFrameHookEntry* Last = &AFirst;
    while (*Last)
        Last = &(*Last)->next;
    *Last = Entry;
    return 0;
}

void FrameHookProcess(PFrameHookEntry AFirst, TFrameHookPicture* APicture, int APixFmt, int AWidth, int AHeight,
                      int64_t APTS) {
    for (PFrameHookEntry E = AFirst; E; E = E->next)
        E->Process(E->ctx, APicture, APixFmt, AWidth, AHeight, APTS);
}

void FrameHookRelease(PFrameHookEntry& AFirst) {
    while (AFirst) {
        PFrameHookEntry E = AFirst;
        AFirst = E->next;
        if (E->Release)
            E->Release(E->ctx);
        av::av_free(E);
    }
}
