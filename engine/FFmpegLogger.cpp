#include "engine/FFmpegLogger.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <memory>
#include <mutex>
#include <unordered_map>

#include "engine/AVUtilStubs.h"
#include "engine/MyUtils.h"

namespace {

// The pending, not yet complete line of each thread that the libraries log from.
class TLogList {
public:
    // The calling thread's pending bytes; only that thread touches them afterwards.
    std::string& FindOrAddItem(Cardinal AThreadID) {
        std::lock_guard Guard(FLock);
        return FItems[AThreadID];
    }

private:
    std::mutex FLock;
    std::unordered_map<Cardinal, std::string> FItems; // nodes stay where they are as the map grows
};

TLogList& LogList() {
    // Never destroyed: the libraries may log from their threads while the process ends.
    static TLogList* List = new TLogList;
    return *List;
}

std::recursive_mutex SingleLoggerLock;
std::atomic<TFFLogger*> SingleLogger = nullptr;
std::unique_ptr<TFFLogger> OwnLogger; // the one GetFFLogger made, freed at exit
std::atomic<int> CurrentAVLogLevel = AV_LOG_INFO;

thread_local std::string ErrorLine;      // the last error line logged on this thread
thread_local bool ErrorLineOpen = false; // its line end has not arrived yet

void NoteErrorLine(int ALevel, const char* AFormat, va_list AArgs) {
    if (ALevel > AV_LOG_ERROR || !AFormat)
        return;
    char Buffer[1024] = {};
    va_list Copy;
    va_copy(Copy, AArgs);
    std::vsnprintf(Buffer, sizeof Buffer, AFormat, Copy);
    va_end(Copy);
    if (!ErrorLineOpen)
        ErrorLine.clear();
    ErrorLine += Buffer;
    ErrorLineOpen = !ErrorLine.empty() && ErrorLine.back() != '\n';
}

void AVLogCallback(void* AContext, int ALevel, const char* AFormat, va_list AArgs) {
    NoteErrorLine(ALevel, AFormat, AArgs);
    if (ALevel > CurrentAVLogLevel)
        return;
    Cardinal ThreadID = CurrentThreadID();
    std::string& Pending = LogList().FindOrAddItem(ThreadID);
    char Buffer[2048] = {};
    int Length = 0;
    if (AContext && Pending.empty()) {
        const AVClass* Class = *static_cast<const AVClass* const*>(AContext);
        if (Class && Class->item_name)
            Length = std::snprintf(Buffer, sizeof Buffer, "[%s @ %p]", Class->item_name(AContext), AContext);
        Length = Length < 0 ? 0 : std::min(Length, int(sizeof Buffer) - 1);
    }
    int Wanted = std::vsnprintf(Buffer + Length, sizeof Buffer - Length, AFormat, AArgs);
    Pending += Buffer;
    // Text past the buffer is cut; the line feed that ends it is kept, so the cut line does not run
    // into the next one.
    size_t FormatLength = AFormat ? std::strlen(AFormat) : 0;
    if (Wanted >= int(sizeof Buffer) - Length && FormatLength > 0 && AFormat[FormatLength - 1] == '\n')
        Pending += '\n';
    // Whole lines are decoded, so a character split across two fragments stays whole.
    for (size_t End; (End = Pending.find('\n')) != std::string::npos;) {
        String Line = UTF8ToString(std::string_view(Pending).substr(0, End));
        Pending.erase(0, End + 1);
        GetFFLogger()->LogLibraryLine(ThreadID, ALevel, Line);
    }
}

} // namespace

void ClearLibraryErrorLine() {
    ErrorLine.clear();
    ErrorLineOpen = false;
}

String LibraryErrorLine() {
    return Trim(UTF8ToString(ErrorLine));
}

int LogLevelToAVLevel(TLogLevel ALevel) {
    return 8 * int(ALevel) - 8;
}

TLogLevel AVLevelToLogLevel(int AAVLevel) {
    int Level = AAVLevel / 8 + 1;
    return TLogLevel(Level < llQuiet ? llQuiet : Level > llDebug ? llDebug : Level);
}

Cardinal CurrentThreadID() {
    return Cardinal(syscall(SYS_gettid));
}

TFFLogger::TFFLogger(TComponent* AOwner) : TFFBaseComponent(AOwner) {
    std::lock_guard Guard(SingleLoggerLock);
    if (SingleLogger)
        throw EAssertionFailed(u"Allow creating only one instance of TFFLogger.");
    FLogLevel = AVLevelToLogLevel(CurrentAVLogLevel);
    SingleLogger = this;
}

TFFLogger::~TFFLogger() {
    std::lock_guard Guard(SingleLoggerLock);
    if (SingleLogger == this)
        SingleLogger = nullptr;
    if (OwnLogger.get() == this)
        OwnLogger.release();
}

TFFLogger* GetFFLogger() {
    if (TFFLogger* Logger = SingleLogger)
        return Logger;
    std::lock_guard Guard(SingleLoggerLock);
    if (!SingleLogger)
        OwnLogger.reset(new TFFLogger(nullptr));
    return SingleLogger;
}

void TFFLogger::SetLogLevel(TLogLevel Value) {
    if (Value != FLogLevel) {
        FLogLevel = Value;
        ApplyLogLevel();
    }
}

void TFFLogger::ApplyLogLevel() {
    if (av::av_log_set_level) {
        CurrentAVLogLevel = LogLevelToAVLevel(FLogLevel);
        av::av_log_set_level(CurrentAVLogLevel);
    }
}

void TFFLogger::InstallAVLogCallback() {
    if (!av::av_log_set_callback || !av::av_log_set_level)
        throw EAssertionFailed(u"Assertion failed: the utility library is not bound");
    av::av_log_set_callback(AVLogCallback);
    ApplyLogLevel();
}

void TFFLogger::OptLogLevel(const String& AValue) {
    static const struct {
        const char16_t* Name;
        int Level;
    } Names[] = {{u"quiet", -8},   {u"panic", 0}, {u"fatal", 8},    {u"error", 16},
                 {u"warning", 24}, {u"info", 32}, {u"verbose", 40}, {u"debug", 48}};
    for (const auto& N : Names)
        if (SameText(AValue, N.Name)) {
            SetLogLevel(AVLevelToLogLevel(N.Level));
            return;
        }
    SetLogLevel(AVLevelToLogLevel(StrToInt(AValue)));
}

bool TFFLogger::Passes(TLogLevel ALogLevel) const {
    TLogLevel Level = FLogLevel;
    return OnLog && (ALogLevel <= Level || (ALogLevel == llVerbose && Level > llQuiet));
}

void TFFLogger::Log(TObject* Sender, TLogLevel ALogLevel, const String& ALogMsg) {
    if (Passes(ALogLevel))
        Deliver({Sender, CurrentThreadID(), ALogLevel, ALogMsg});
}

void TFFLogger::Log(TObject* Sender, TLogLevel ALogLevel, const String& AFormat, std::initializer_list<TVarRec> AArgs) {
    if (Passes(ALogLevel))
        Deliver({Sender, CurrentThreadID(), ALogLevel, Format(AFormat, AArgs)});
}

void TFFLogger::LogLibraryLine(Cardinal AThreadID, int AAVLevel, const String& ALine) {
    if (OnLog)
        Deliver({this, AThreadID, AVLevelToLogLevel(AAVLevel), ALine});
}

void TFFLogger::Deliver(const TLogInfo& AInfo) {
    if (FTriggerEventInMainThread)
        RunInMainThread([this, &AInfo] { CallOnLog(AInfo); });
    else
        CallOnLog(AInfo);
}

void TFFLogger::CallOnLog(const TLogInfo& AInfo) {
    if (OnLog)
        OnLog(AInfo.Sender, AInfo.ThreadID, AInfo.LogLevel, AInfo.LogMsg);
}
