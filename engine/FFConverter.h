// Unit FFConverter: the conversion task component. It keeps a list of conversion tasks (each a
// transcoder with its probes and option records), runs them one after another or several at a time
// on worker threads, and turns the transcoders' events into its own, each carrying the task's index.
//
// Termination reports, the final one of a run included, reach OnTerminate on the GUI thread, in the
// order the tasks ended: each report is queued without blocking after the component's locks are
// released, so a GUI thread that waits for the tasks (Stop with waiting) never deadlocks against a
// report, and a handler may touch controls or call ClearTasks.
#pragma once

#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "engine/FFBaseComponent.h"
#include "engine/FFConverterOptions.h"
#include "platform/base/Classes.h"
#include "platform/base/Threads.h"
#include "platform/gdi/Graphics.h"

// The engine's own types, kept out of this header so that an application including it compiles
// without the media libraries' headers.
class TAVProbe;
class TFFmpeg;
class TFFmpegList;
struct AVIOContext;

// The picture of a custom-hook call: the decoded video frame before it is encoded.
struct THookInfo {
    Integer TaskIndex = 0;
    TBitmap* Bitmap = nullptr; // owned by the task
    Integer FrameNumber = 0;
    Int64 PTS = 0;
    bool Update = true;    // out: the handler changed the picture, write it back into the frame
    bool StopHook = false; // out: no further calls for this task
};
using PHookInfo = THookInfo*;

// A picture of the preview-picture event: a frame as it was encoded.
struct TPreviewInfo {
    Integer TaskIndex = 0;
    TBitmap* Bitmap = nullptr; // owned by the task
    Integer FrameNumber = 0;
    Int64 PTS = 0;
};

// The component's event types; the transcoder's of unit FFmpeg carry the same names, hence the
// namespace.
namespace FFConverter {
using TProgressEvent = std::function<void(TObject* Sender, PProgressInfo AProgressInfo)>;
using TTerminateEvent = std::function<void(TObject* Sender, const TTerminateInfo& ATerminateInfo)>;
using TCustomHookEvent = std::function<void(TObject* Sender, PHookInfo AHookInfo)>;
using TPreviewBitmapEvent = std::function<void(TObject* Sender, const TPreviewInfo& APreviewInfo)>;
} // namespace FFConverter

class TCustomFFConverter : public TFFBaseComponent {
public:
    explicit TCustomFFConverter(TComponent* AOwner);
    ~TCustomFFConverter() override;

    bool AVLibLoaded() const;
    bool LoadAVLib(const String& APath);
    void UnloadAVLib();

    // A new task with its first input; the task's index, or -1 with LastErrMsg.
    int AddTask(const String& AFileName, PInputOptions AOptions = nullptr);
    int AddTask(const String& AFileName, const String& AExtOptions);
    int AddTask(TStream* AStream, const String& APrivateData, PInputOptions AOptions);
    // A further input of a task (joining); False with LastErrMsg.
    bool AddInputFile(int ATaskIndex, const String& AFileName, PInputOptions AOptions = nullptr);
    bool AddInputFile(int ATaskIndex, const String& AFileName, const String& AExtOptions);
    // The task's next output; False with LastErrMsg.
    bool SetOutputFile(int ATaskIndex, const String& AFileName, POutputOptions AOptions = nullptr);
    bool SetOutputFile(int ATaskIndex, const String& AFileName, const String& AExtOptions);
    bool SetOutputStream(int ATaskIndex, TStream* AStream, const String& APrivateData, POutputOptions AOptions);
    TAVProbe* GetTaskAVProbe(int ATaskIndex, int AFileIndex);

    void ClearTasks();
    void Exchange(int ATaskIndex1, int ATaskIndex2);
    void RemoveTask(int ATaskIndex);

    // AThreadCount above 0: that many tasks at once on worker threads; else all inline.
    void Start(int AThreadCount);
    void Pause();
    void Resume();
    void Stop(bool AWaitFor);

    TAVProbe* AVProbe() const { return FAVProbe.get(); }
    String LastErrMsg() const { return FLastErrMsg; }
    int TasksCount() const;
    Integer CustomMaxFiles() const { return FCustomMaxFiles; }
    void SetCustomMaxFiles(Integer Value) { FCustomMaxFiles = Value; }
    bool Preview() const { return FPreview; }
    void SetPreview(bool Value);
    bool PreviewBitmap() const { return FPreviewBitmap; }
    void SetPreviewBitmap(bool Value);
    Integer ProgressInterval() const { return FProgressInterval; }
    void SetProgressInterval(Integer Value) { FProgressInterval = Value <= 100 ? 100 : Value; }
    bool Terminated() const;
    bool Working() const;
    TThreadPriority ThreadPriority() const { return FThreadPriority; }
    void SetThreadPriority(TThreadPriority Value) { FThreadPriority = Value; }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool Value) { FTriggerEventInMainThread = Value; }
    Pointer UserData() const { return FData; }
    void SetUserData(Pointer Value) { FData = Value; }
    Integer Verbose() const { return FVerbose; }
    void SetVerbose(Integer Value) { FVerbose = Value; }
    String About() const { return FAbout; }
    void SetAbout(const String& Value) { FAbout = Value; }
    String Version() const { return u"3.3"; }

    FFConverter::TCustomHookEvent OnCustomHook;
    FFConverter::TPreviewBitmapEvent OnPreviewBitmap;
    FFConverter::TProgressEvent OnProgress;
    FFConverter::TTerminateEvent OnTerminate;

protected:
    virtual void DoCustomHook(TObject* Sender, uint8_t* APixels, int ALineSize, int AWidth, int AHeight,
                              int AFrameNumber, Int64 APTS, bool& AUpdate, bool& AStopHook);
    virtual void DoPreviewBitmap(TObject* Sender, TBitmap* ABitmap, int AFrameNumber, Int64 APTS);
    virtual void DoProgress(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality, float ABitRate,
                            Int64 ACurrentSize, Int64 ACurrentDuration, Int64 ATotalDuration);
    virtual void DoTerminate(TObject* Sender);

private:
    // Termination reports waiting for the GUI thread. Shared with the calls queued there, which may
    // run after the component is gone (Owner is nil then).
    struct TReportQueue {
        std::mutex Lock;
        std::deque<TTerminateInfo> Pending;
        TCustomFFConverter* Owner = nullptr;
        bool Delivering = false;
        int Holds = 0; // the GUI thread is inside an operation that walks the tasks: delivery waits
    };
    // Holds delivery while the GUI thread walks the task list; delivers what arrived meanwhile at
    // its end.
    class TDeliveryHold {
    public:
        explicit TDeliveryHold(TCustomFFConverter& AOwner);
        ~TDeliveryHold() noexcept(false);
        void Release();
        void Acquire();

    private:
        TCustomFFConverter& FOwner;
        bool FHeld = false;
    };
    static void DeliverReports(const std::shared_ptr<TReportQueue>& AQueue);
    void PostReports();
    void CheckNotWorking(const String& AName) const;
    bool StartNextTask();
    void FinishAllTasks();
    TFFmpeg* NewTask();
    int AppendTask(std::unique_ptr<TFFmpeg> ATask);
    bool OpenInput(TFFmpeg& ATask, const String& AFileName, PInputOptions AOptions);
    bool OpenOutput(int ATaskIndex, const String& AFileName, POutputOptions AOptions, AVIOContext* AIO);

    String FAbout;
    String FLastErrMsg;
    Pointer FData = nullptr;
    Integer FCustomMaxFiles = 20;
    bool FPreview = false;
    bool FPreviewBitmap = false;
    Integer FProgressInterval = 500;
    TThreadPriority FThreadPriority = tpNormal;
    bool FTriggerEventInMainThread = true;
    Integer FVerbose = 1;
    THookInfo FHookInfo;
    TProgressInfo FProgressInfo;
    TPreviewInfo FPreviewInfo;
    std::mutex FHookLock;
    std::mutex FPreviewLock;
    std::mutex FProgressLock;
    mutable std::recursive_mutex FTerminateLock; // also guards the run counters
    std::unique_ptr<TAVProbe> FAVProbe;
    std::unique_ptr<TFFmpegList> FFFmpegList;
    std::shared_ptr<TReportQueue> FReports;
    Integer FCompleteTasks = 0;
    Integer FCurrentTask = -1;
    Integer FPendingTasks = 0;
    bool FTerminated = false;
    bool FThreadMode = false;
    bool FWorking = false;
};

// The component as an application form holds it.
class TFFConverter : public TCustomFFConverter {
public:
    explicit TFFConverter(TComponent* AOwner) : TCustomFFConverter(AOwner) {}
};
