#include "engine/FFmpegLoader.h"

#include <cfenv>

#include "engine/AVCodecStubs.h"
#include "engine/AVDeviceStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegLogger.h"
#include "engine/SDLStubs.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/base/SysUtils.h"

const TLibraryItem LibraryTable[LibraryCount] = {
    {avUtil, u"avutil", LIBAVUTIL_VERSION_MAJOR, AVUtilFixup, AVUtilUnfix},
    {swResample, u"swresample", LIBSWRESAMPLE_VERSION_MAJOR, SwResampleFixup, SwResampleUnfix},
    {avCodec, u"avcodec", LIBAVCODEC_VERSION_MAJOR, AVCodecFixup, AVCodecUnfix},
    {avFormat, u"avformat", LIBAVFORMAT_VERSION_MAJOR, AVFormatFixup, AVFormatUnfix},
    {swScale, u"swscale", LIBSWSCALE_VERSION_MAJOR, SwScaleFixup, SwScaleUnfix},
    {avFilter, u"avfilter", LIBAVFILTER_VERSION_MAJOR, AVFilterFixup, AVFilterUnfix},
    {avDevice, u"avdevice", LIBAVDEVICE_VERSION_MAJOR, AVDeviceFixup, AVDeviceUnfix},
    {lbSDL, u"SDL2-2.0", 0, SDLFixup, SDLUnfix},
};

TLibraryStatus LibraryStates[LibraryCount] = {{avUtil},  {swResample}, {avCodec},  {avFormat},
                                              {swScale}, {avFilter},   {avDevice}, {lbSDL}};

std::mutex CodecLock;

namespace {

// Every floating-point exception masked and rounding to nearest while the engine runs; the
// environment the process started with comes back at exit.
struct TFloatingPointSetting {
    std::fenv_t SavedFPUEnvironment;
    TFloatingPointSetting() {
        std::fegetenv(&SavedFPUEnvironment);
        fedisableexcept(FE_ALL_EXCEPT);
        std::fesetround(FE_TONEAREST);
    }
    ~TFloatingPointSetting() {
        { std::lock_guard Guard(CodecLock); } // waits for a holder to finish
        std::fesetenv(&SavedFPUEnvironment);
    }
} FloatingPointSetting;

} // namespace

String GetLibraryFileName(TLibrary ALibrary) {
    if (!LibraryStates[ALibrary].Name.empty())
        return LibraryStates[ALibrary].Name;
    const TLibraryItem& Item = LibraryTable[ALibrary];
    String Result = String(u"lib") + Item.Name + u".so";
    if (Item.Version >= 0)
        Result += u"." + IntToStr(Item.Version);
    return Result;
}

TFFmpegLoader& FFLoader() {
    static TFFmpegLoader Loader;
    return Loader;
}

bool TFFmpegLoader::Load(TLibrary ALibrary) {
    TLibraryStatus& Status = LibraryStates[ALibrary];
    String FileName = GetLibraryFileName(ALibrary);
    size_t Slash = FileName.rfind(u'/');
    String Folder = Slash == String::npos ? String() : FileName.substr(0, Slash + 1);
    String BaseName = FileName.substr(Folder.size());
    if (!Status.Handle) {
        if (Folder.empty() && !FLibraryPath.empty())
            Folder = FLibraryPath.back() == u'/' ? FLibraryPath : FLibraryPath + u'/';
        String ErrorText;
        Status.Handle = LoadLibraryFromFolder(Folder, BaseName, ErrorText);
        if (!Status.Handle) {
            FLastErrMsg = Format(u"Load library %s error: %s", {Folder + BaseName, ErrorText});
            return false;
        }
    }
    if (!Status.Fixuped) {
        try {
            LibraryTable[ALibrary].Fixup(BaseName, Status.Handle);
            Status.Fixuped = true;
        } catch (const Exception& E) {
            FLastErrMsg = E.Message();
        }
    }
    if (!Status.Fixuped) {
        // No cell may point into a module that is freed.
        LibraryTable[ALibrary].Unfix();
        Unload(ALibrary);
        return false;
    }
    if (ALibrary == avUtil && FInstallLogger)
        GetFFLogger()->InstallAVLogCallback();
    return true;
}

bool TFFmpegLoader::Load(TLibraries ALibraries) {
    if (ALibraries.Empty())
        throw EAssertionFailed(u"Assertion failed: empty library set");
    for (int L = 0; L < LibraryCount; ++L)
        if (ALibraries.Contains(TLibrary(L)) && !Load(TLibrary(L))) {
            Unload(ALibraries);
            return false;
        }
    return true;
}

bool TFFmpegLoader::Loaded(TLibrary ALibrary) const {
    return LibraryStates[ALibrary].Handle && LibraryStates[ALibrary].Fixuped;
}

bool TFFmpegLoader::Loaded(TLibraries ALibraries) const {
    if (ALibraries.Empty())
        throw EAssertionFailed(u"Assertion failed: empty library set");
    for (int L = 0; L < LibraryCount; ++L)
        if (ALibraries.Contains(TLibrary(L)) && !Loaded(TLibrary(L)))
            return false;
    return true;
}

void TFFmpegLoader::Unload(TLibrary ALibrary) {
    TLibraryStatus& Status = LibraryStates[ALibrary];
    if (Status.Fixuped) {
        LibraryTable[ALibrary].Unfix();
        Status.Fixuped = false;
    }
    if (Status.Handle) {
        FreeLibraryModule(Status.Handle);
        Status.Handle = nullptr;
    }
}

void TFFmpegLoader::Unload(TLibraries ALibraries) {
    if (ALibraries.Empty())
        throw EAssertionFailed(u"Assertion failed: empty library set");
    for (int L = 0; L < LibraryCount; ++L)
        if (ALibraries.Contains(TLibrary(L)))
            Unload(TLibrary(L));
}
