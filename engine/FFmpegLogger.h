// The engine's one logger: its own messages and every line the media libraries print.
#pragma once

#include <atomic>
#include <functional>
#include <initializer_list>

#include "engine/FFBaseComponent.h"
#include "platform/base/SysUtils.h"

enum TLogLevel { llQuiet, llPanic, llFatal, llError, llWarning, llInfo, llVerbose, llDebug };

// The libraries' numbers of the levels: -8, 0, 8 ... 48.
int LogLevelToAVLevel(TLogLevel ALevel);
// A library number to the level: (n div 8) + 1, clamped to llQuiet .. llDebug.
TLogLevel AVLevelToLogLevel(int AAVLevel);

struct TLogInfo {
    TObject* Sender = nullptr;
    Cardinal ThreadID = 0;
    TLogLevel LogLevel = llQuiet;
    String LogMsg;
};

using TLogEvent = std::function<void(TObject* Sender, Cardinal AThreadID, TLogLevel ALogLevel, const String& ALogMsg)>;

// The calling thread's system id, as log lines carry it.
Cardinal CurrentThreadID();

class TFFLogger : public TFFBaseComponent {
public:
    // Only one logger may exist: a second raises EAssertionFailed.
    explicit TFFLogger(TComponent* AOwner);
    ~TFFLogger() override;

    // Makes this unit's callback the libraries' log callback and applies the level; the loader
    // calls it each time the utility library loads.
    void InstallAVLogCallback();

    // Delivers a message that passes the level filter to OnLog.
    void Log(TObject* Sender, TLogLevel ALogLevel, const String& ALogMsg);
    void Log(TObject* Sender, TLogLevel ALogLevel, const String& AFormat, std::initializer_list<TVarRec> AArgs);
    // The level from a name ("quiet" ... "debug", any case) or a library number; a text that is
    // neither raises EConvertError.
    void OptLogLevel(const String& AValue);
    // A complete line of the libraries (already filtered by the libraries' level).
    void LogLibraryLine(Cardinal AThreadID, int AAVLevel, const String& ALine);

    // True: OnLog runs on the main thread, the caller waiting until it has.
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool Value) { FTriggerEventInMainThread = Value; }
    TLogLevel LogLevel() const { return FLogLevel; }
    void SetLogLevel(TLogLevel Value);

    TLogEvent OnLog;

protected:
    void ApplyLogLevel();
    void CallOnLog(const TLogInfo& AInfo);

private:
    // A handler is set and the level filter lets the message through.
    bool Passes(TLogLevel ALogLevel) const;
    void Deliver(const TLogInfo& AInfo);

    std::atomic<bool> FTriggerEventInMainThread = true;
    std::atomic<TLogLevel> FLogLevel = llInfo;
};

// The single logger; created without owner when the application has none.
TFFLogger* GetFFLogger();

// The last error line the libraries logged on the calling thread, whatever the log level lets
// through: the reason behind a failing call (an encoder's "width not divisible by 2").
void ClearLibraryErrorLine();
String LibraryErrorLine();
