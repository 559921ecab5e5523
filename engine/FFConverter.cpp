#include "engine/FFConverter.h"

#include "engine/FFConverterTasks.h"
#include "engine/FFmpegLoader.h"

#include <cstring>

// ---------------------------------------------------------------------------------------------
// TCustomFFConverter: creation, libraries, the task list

TCustomFFConverter::TCustomFFConverter(TComponent* AOwner)
    : TFFBaseComponent(AOwner), FAVProbe(std::make_unique<TAVProbe>(nullptr)),
      FFFmpegList(std::make_unique<TFFmpegList>()), FReports(std::make_shared<TReportQueue>()) {
    FReports->Owner = this;
}

TCustomFFConverter::~TCustomFFConverter() {
    {
        std::lock_guard Guard(FReports->Lock);
        FReports->Owner = nullptr;
    }
    {
        std::lock_guard Guard(FTerminateLock);
        FPendingTasks = 0;
    }
    FFFmpegList->Clear();
    // An event still inside its handler finishes before the locks go.
    { std::lock_guard Guard(FHookLock); }
    { std::lock_guard Guard(FPreviewLock); }
    { std::lock_guard Guard(FProgressLock); }
    { std::lock_guard Guard(FTerminateLock); }
}

int TCustomFFConverter::TasksCount() const {
    return FFFmpegList->Count();
}

bool TCustomFFConverter::AVLibLoaded() const {
    return FFLoader().Loaded(ConverterLibraries);
}

bool TCustomFFConverter::LoadAVLib(const String& APath) {
    FFLoader().SetLibraryPath(APath);
    if (FFLoader().Load(ConverterLibraries))
        return true;
    FLastErrMsg = FFLoader().LastErrMsg();
    return false;
}

void TCustomFFConverter::UnloadAVLib() {
    FFLoader().Unload(ConverterLibraries);
}

bool TCustomFFConverter::Terminated() const {
    std::lock_guard Guard(FTerminateLock);
    return FTerminated;
}

bool TCustomFFConverter::Working() const {
    std::lock_guard Guard(FTerminateLock);
    return FWorking;
}

void TCustomFFConverter::CheckNotWorking(const String& AName) const {
    if (Working())
        throw Exception(Format(u"Cannot %s while working.", {AName}));
}

namespace {
String ExceptionText(const std::exception& E) {
    if (auto* X = dynamic_cast<const Exception*>(&E))
        return X->Message();
    return UTF8ToString(E.what());
}

// "TimeStart" and "TimeLength" lines as 64-bit numbers; not a number: no time.
Int64 TimeValue(const String& AValue) {
    Int64 V = 0;
    return TryStrToInt64(AValue, V) ? V : AV_NOPTS_VALUE;
}

// The input record of an option text: "TimeStart" is a field, every other line an option.
TInputOptions InputOptionsFromText(const String& AText) {
    TInputOptions O;
    for (const TExtOption& L : ParseExtOptions(AText)) {
        if (SameText(L.Name, u"TimeStart"))
            O.TimeStart = TimeValue(L.Value);
        else
            O.ExtOptions += L.Name + u"=" + L.Value + u"\n";
    }
    return O;
}
} // namespace

TFFmpeg* TCustomFFConverter::NewTask() {
    auto Task = std::make_unique<TFFmpeg>(FCustomMaxFiles);
    Task->OptVerbose(FVerbose);
    TPostHooks Hooks = 0;
    if (FPreview)
        Hooks |= PostHookBit(phPreview);
    if (FPreviewBitmap)
        Hooks |= PostHookBit(phBitmap);
    Task->SetPostHooksLocked(Hooks);
    Task->OnPreviewBitmap = [this](TObject* S, TBitmap* B, int N, Int64 P) { DoPreviewBitmap(S, B, N, P); };
    return Task.release();
}

int TCustomFFConverter::AppendTask(std::unique_ptr<TFFmpeg> ATask) {
    ATask->OnProgress = [this](TObject* S, int F, int N, int Fps, float Q, float B, Int64 Size, Int64 Cur,
                               Int64 Total) { DoProgress(S, F, N, Fps, Q, B, Size, Cur, Total); };
    ATask->OnTerminate = [this](TObject* S) { DoTerminate(S); };
    return FFFmpegList->Add(ATask.release());
}

bool TCustomFFConverter::OpenInput(TFFmpeg& ATask, const String& AFileName, PInputOptions AOptions) {
    const int Index = ATask.nb_input_files();
    if (Index >= ATask.FMaxFiles) {
        FLastErrMsg = Format(u"max input files %d reached", {ATask.FMaxFiles});
        return false;
    }
    bool Ok;
    if (AOptions) {
        if (AOptions->FileName.empty())
            AOptions->FileName = AFileName;
        ATask.SetInputOptions(Index, *AOptions);
        Ok = OpenInputWithOptions(ATask, *AOptions, AFileName);
    } else {
        ATask.ResetInputOptions(Index);
        Ok = ATask.OpenInputFile(AFileName);
    }
    if (!Ok) {
        FLastErrMsg = ATask.LastErrMsg();
        ATask.ResetInputOptions(Index);
        return false;
    }
    ATask.GetAVProbe(Index)->SetFileHandle(ATask.InputFile(Index));
    return true;
}

int TCustomFFConverter::AddTask(const String& AFileName, PInputOptions AOptions) {
    CheckNotWorking(u"AddTask");
    std::unique_ptr<TFFmpeg> Task;
    try {
        Task.reset(NewTask());
        if (!OpenInput(*Task, AFileName, AOptions))
            return -1;
    } catch (const std::exception& E) {
        FLastErrMsg = ExceptionText(E);
        return -1;
    }
    return AppendTask(std::move(Task));
}

int TCustomFFConverter::AddTask(const String& AFileName, const String& AExtOptions) {
    TInputOptions O = InputOptionsFromText(AExtOptions);
    return AddTask(AFileName, &O);
}

int TCustomFFConverter::AddTask(TStream* AStream, const String& APrivateData, PInputOptions AOptions) {
    CheckNotWorking(u"AddTask");
    const String Name = Format(u"stream:%d:%s", {Int64(reinterpret_cast<std::intptr_t>(AStream)), APrivateData});
    std::unique_ptr<TFFmpeg> Task;
    try {
        Task.reset(NewTask());
        AVIOContext* IO = Task->NewStreamIO(AStream, false);
        if (!IO) {
            FLastErrMsg = u"Cannot allocate the stream context";
            return -1;
        }
        Task->SetNextInputIO(IO);
        if (!OpenInput(*Task, Name, AOptions))
            return -1;
    } catch (const std::exception& E) {
        FLastErrMsg = ExceptionText(E);
        return -1;
    }
    return AppendTask(std::move(Task));
}

bool TCustomFFConverter::AddInputFile(int ATaskIndex, const String& AFileName, PInputOptions AOptions) {
    CheckNotWorking(u"AddInputFile");
    TFFmpeg* Task = FFFmpegList->GetTask(ATaskIndex);
    try {
        return OpenInput(*Task, AFileName, AOptions);
    } catch (const std::exception& E) {
        FLastErrMsg = ExceptionText(E);
        return false;
    }
}

bool TCustomFFConverter::AddInputFile(int ATaskIndex, const String& AFileName, const String& AExtOptions) {
    TInputOptions O = InputOptionsFromText(AExtOptions);
    return AddInputFile(ATaskIndex, AFileName, &O);
}

bool TCustomFFConverter::OpenOutput(int ATaskIndex, const String& AFileName, POutputOptions AOptions,
                                    AVIOContext* AIO) {
    TFFmpeg* Task = FFFmpegList->GetTask(ATaskIndex);
    const int Index = Task->nb_output_files();
    if (Index >= Task->FMaxFiles) {
        FLastErrMsg = Format(u"max output files %d reached", {Task->FMaxFiles});
        return false;
    }
    try {
        int Result;
        if (AIO)
            Task->SetNextOutputIO(AIO);
        if (AOptions) {
            if (AOptions->FileName.empty())
                AOptions->FileName = AFileName;
            Task->SetOutputOptions(Index, *AOptions);
            if (AOptions->CustomHook)
                Task->OnCustomHook = [this](TObject* S, uint8_t* P, int L, int W, int H, int N, Int64 T, bool& U,
                                            bool& Stop) { DoCustomHook(S, P, L, W, H, N, T, U, Stop); };
            Result = OpenOutputWithOptions(*Task, *AOptions, AFileName);
        } else {
            Task->ResetOutputOptions(Index);
            Result = Task->OpenOutputFile(AFileName, false);
        }
        Task->SetNextOutputIO(nullptr);
        if (Result < 0) {
            FLastErrMsg = Task->LastErrMsg();
            Task->ResetOutputOptions(Index);
            return false;
        }
        return true;
    } catch (const std::exception& E) {
        Task->SetNextOutputIO(nullptr);
        FLastErrMsg = ExceptionText(E);
        Task->ResetOutputOptions(Index);
        return false;
    }
}

bool TCustomFFConverter::SetOutputFile(int ATaskIndex, const String& AFileName, POutputOptions AOptions) {
    CheckNotWorking(u"SetOutputFile");
    return OpenOutput(ATaskIndex, AFileName, AOptions, nullptr);
}

bool TCustomFFConverter::SetOutputFile(int ATaskIndex, const String& AFileName, const String& AExtOptions) {
    TOutputOptions O;
    for (const TExtOption& L : ParseExtOptions(AExtOptions)) {
        if (SameText(L.Name, u"Hook") || SameText(L.Name, u"CustomHook"))
            O.CustomHook = true;
        else if (SameText(L.Name, u"Join"))
            O.Join = true;
        else if (SameText(L.Name, u"TimeStart"))
            O.TimeStart = TimeValue(L.Value);
        else if (SameText(L.Name, u"TimeLength"))
            O.TimeLength = TimeValue(L.Value);
        else
            O.ExtOptions += L.Name + u"=" + L.Value + u"\n";
    }
    return SetOutputFile(ATaskIndex, AFileName, &O);
}

bool TCustomFFConverter::SetOutputStream(int ATaskIndex, TStream* AStream, const String& APrivateData,
                                         POutputOptions AOptions) {
    CheckNotWorking(u"SetOutputFile");
    TFFmpeg* Task = FFFmpegList->GetTask(ATaskIndex);
    const String Name = Format(u"stream:%d:%s", {Int64(reinterpret_cast<std::intptr_t>(AStream)), APrivateData});
    AVIOContext* IO = Task->NewStreamIO(AStream, true);
    if (!IO) {
        FLastErrMsg = u"Cannot allocate the stream context";
        return false;
    }
    return OpenOutput(ATaskIndex, Name, AOptions, IO);
}

TAVProbe* TCustomFFConverter::GetTaskAVProbe(int ATaskIndex, int AFileIndex) {
    TFFmpeg* Task = FFFmpegList->GetTask(ATaskIndex);
    if (AFileIndex < 0 || AFileIndex >= FCustomMaxFiles)
        return nullptr;
    return Task->AVProbe(AFileIndex);
}

void TCustomFFConverter::ClearTasks() {
    {
        std::lock_guard Guard(FTerminateLock);
        if (FWorking && !FTerminated)
            throw Exception(u"Cannot ClearTasks while working.");
    }
    TDeliveryHold Hold(*this);
    FFFmpegList->Clear();
    std::lock_guard Guard(FTerminateLock);
    FLastErrMsg.clear();
    FCompleteTasks = 0;
    FCurrentTask = -1;
    FPendingTasks = 0;
    FTerminated = FThreadMode = FWorking = false;
}

void TCustomFFConverter::Exchange(int ATaskIndex1, int ATaskIndex2) {
    CheckNotWorking(u"Exchange");
    FFFmpegList->Exchange(ATaskIndex1, ATaskIndex2);
}

void TCustomFFConverter::RemoveTask(int ATaskIndex) {
    CheckNotWorking(u"RemoveTask");
    FFFmpegList->Delete(ATaskIndex);
}

void TCustomFFConverter::SetPreview(bool Value) {
    FFFmpegList->SetPreviewHook(Value);
    FPreview = Value;
}

void TCustomFFConverter::SetPreviewBitmap(bool Value) {
    FFFmpegList->SetPreviewBitmapHook(Value);
    FPreviewBitmap = Value;
}

// ---------------------------------------------------------------------------------------------
// Running

void TCustomFFConverter::Start(int AThreadCount) {
    CheckNotWorking(u"StartTask");
    // An empty list has nothing to run and nothing to report: the component stays idle.
    if (FFFmpegList->Count() == 0)
        return;
    std::exception_ptr Error;
    {
        TDeliveryHold Hold(*this);
        {
            std::lock_guard Guard(FTerminateLock);
            FCompleteTasks = 0;
            FCurrentTask = 0;
            FPendingTasks = FFFmpegList->Count();
            FTerminated = false;
            FThreadMode = AThreadCount > 0;
            FWorking = true;
        }
        if (AThreadCount > 0) {
            for (int I = 0; I < AThreadCount; ++I)
                if (!StartNextTask())
                    break;
        } else {
            // Each report is handed over as soon as its task has returned, on this thread when it
            // is the GUI thread; a handler that raises does not end the run.
            while (StartNextTask()) {
                try {
                    Hold.Release();
                } catch (...) {
                    if (!Error)
                        Error = std::current_exception();
                }
                Hold.Acquire();
            }
        }
    }
    if (Error)
        std::rethrow_exception(Error);
}

bool TCustomFFConverter::StartNextTask() {
    std::unique_lock Guard(FTerminateLock);
    if (FPendingTasks <= 0)
        return false;
    --FPendingTasks;
    TFFmpeg* Task = FFFmpegList->GetTask(FCurrentTask++);
    Task->ReportInterval = Int64(FProgressInterval) * 1000;
    Task->ThreadPriority = FThreadPriority;
    if (FThreadMode) {
        // Under the lock, so that Stop finds every claimed task either converting or reported.
        Task->StartConvert(true);
    } else {
        Guard.unlock();
        Task->StartConvert(false);
    }
    return true;
}

void TCustomFFConverter::Pause() {
    FFFmpegList->PauseAll();
}

void TCustomFFConverter::Resume() {
    FFFmpegList->ResumeAll();
}

void TCustomFFConverter::Stop(bool AWaitFor) {
    if (!Working())
        return;
    TDeliveryHold Hold(*this);
    {
        std::lock_guard Guard(FTerminateLock);
        FPendingTasks = 0;
    }
    FFFmpegList->CancelAll(AWaitFor);
}

// ---------------------------------------------------------------------------------------------
// Events

void TCustomFFConverter::DoTerminate(TObject* Sender) {
    bool StartNext = false;
    {
        std::lock_guard Guard(FTerminateLock);
        const auto* Task = static_cast<const TFFmpeg*>(Sender);
        TTerminateInfo Info;
        Info.TaskIndex = FFFmpegList->IndexOf(Sender);
        Info.Finished = Task->Finished();
        Info.Exception = Task->FatalException();
        Info.ExceptionMsg = Task->FatalMessage();
        {
            std::lock_guard Q(FReports->Lock);
            FReports->Pending.push_back(Info);
        }
        ++FCompleteTasks;
        if (FPendingTasks > 0)
            StartNext = FThreadMode;
        else if (FCompleteTasks >= FFFmpegList->Count() && !FTerminated)
            FinishAllTasks();
    }
    // The report is on its way before the ended task's thread starts the next one, so the GUI
    // thread sees it ahead of the next task's progress.
    PostReports();
    if (StartNext)
        StartNextTask();
}

void TCustomFFConverter::FinishAllTasks() {
    FTerminated = true;
    TTerminateInfo Info;
    Info.TaskIndex = -1;
    Info.Finished = true;
    std::lock_guard Q(FReports->Lock);
    FReports->Pending.push_back(Info);
}

void TCustomFFConverter::PostReports() {
    if (IsMainThread())
        DeliverReports(FReports);
    else
        TThread::Queue(nullptr, [Queue = FReports] { DeliverReports(Queue); });
}

void TCustomFFConverter::DeliverReports(const std::shared_ptr<TReportQueue>& AQueue) {
    std::exception_ptr Error;
    std::unique_lock Lock(AQueue->Lock);
    if (AQueue->Delivering)
        return; // the delivery further up the stack takes what arrived
    while (AQueue->Owner && AQueue->Holds == 0 && !AQueue->Pending.empty()) {
        const TTerminateInfo Info = AQueue->Pending.front();
        AQueue->Pending.pop_front();
        TCustomFFConverter* Owner = AQueue->Owner;
        AQueue->Delivering = true;
        Lock.unlock();
        try {
            if (Owner->OnTerminate)
                Owner->OnTerminate(Owner, Info);
        } catch (...) {
            if (!Error)
                Error = std::current_exception();
        }
        Lock.lock();
        AQueue->Delivering = false;
    }
    Lock.unlock();
    // A handler's exception goes to the application once every report has been handed over.
    if (Error)
        std::rethrow_exception(Error);
}

TCustomFFConverter::TDeliveryHold::TDeliveryHold(TCustomFFConverter& AOwner) : FOwner(AOwner) {
    Acquire();
}

TCustomFFConverter::TDeliveryHold::~TDeliveryHold() noexcept(false) {
    const bool Deliver = FHeld && !std::uncaught_exceptions();
    if (FHeld) {
        std::lock_guard Guard(FOwner.FReports->Lock);
        --FOwner.FReports->Holds;
        FHeld = false;
    }
    if (Deliver && IsMainThread())
        DeliverReports(FOwner.FReports);
}

void TCustomFFConverter::TDeliveryHold::Acquire() {
    if (FHeld || !IsMainThread())
        return;
    std::lock_guard Guard(FOwner.FReports->Lock);
    ++FOwner.FReports->Holds;
    FHeld = true;
}

void TCustomFFConverter::TDeliveryHold::Release() {
    if (!FHeld)
        return;
    {
        std::lock_guard Guard(FOwner.FReports->Lock);
        --FOwner.FReports->Holds;
        FHeld = false;
    }
    DeliverReports(FOwner.FReports);
}

void TCustomFFConverter::DoProgress(TObject* Sender, int AFileIndex, int AFrameNumber, int AFPS, float AQuality,
                                    float ABitRate, Int64 ACurrentSize, Int64 ACurrentDuration, Int64 ATotalDuration) {
    std::lock_guard Guard(FProgressLock);
    if (!OnProgress)
        return;
    FProgressInfo.TaskIndex = FFFmpegList->IndexOf(Sender);
    FProgressInfo.FileIndex = AFileIndex;
    FProgressInfo.FrameNumber = AFrameNumber;
    FProgressInfo.FPS = AFPS;
    FProgressInfo.Quality = AQuality;
    FProgressInfo.BitRate = ABitRate;
    FProgressInfo.CurrentSize = ACurrentSize;
    FProgressInfo.CurrentDuration = ACurrentDuration;
    FProgressInfo.TotalDuration = ATotalDuration;
    if (FTriggerEventInMainThread)
        TThread::Synchronize(nullptr, [this] {
            if (OnProgress)
                OnProgress(this, &FProgressInfo);
        });
    else
        OnProgress(this, &FProgressInfo);
}

void TCustomFFConverter::DoPreviewBitmap(TObject* Sender, TBitmap* ABitmap, int AFrameNumber, Int64 APTS) {
    std::lock_guard Guard(FPreviewLock);
    if (!OnPreviewBitmap)
        return;
    FPreviewInfo.TaskIndex = FFFmpegList->IndexOf(Sender);
    FPreviewInfo.Bitmap = ABitmap;
    FPreviewInfo.FrameNumber = AFrameNumber;
    FPreviewInfo.PTS = APTS;
    if (FTriggerEventInMainThread)
        TThread::Synchronize(nullptr, [this] {
            if (OnPreviewBitmap)
                OnPreviewBitmap(this, FPreviewInfo);
        });
    else
        OnPreviewBitmap(this, FPreviewInfo);
}

void TCustomFFConverter::DoCustomHook(TObject* Sender, uint8_t* APixels, int ALineSize, int AWidth, int AHeight,
                                      int AFrameNumber, Int64 APTS, bool& AUpdate, bool& AStopHook) {
    std::lock_guard Guard(FHookLock);
    if (!OnCustomHook) {
        AUpdate = false;
        return;
    }
    auto* Task = static_cast<TFFmpeg*>(Sender);
    TBitmap* Bitmap = Task->HookBitmap(AWidth, AHeight);
    const size_t RowBytes = size_t(AWidth) * 4;
    for (int Y = 0; Y < AHeight; ++Y)
        memcpy(Bitmap->ScanLine(Y), APixels + size_t(Y) * ALineSize, RowBytes);
    FHookInfo.TaskIndex = FFFmpegList->IndexOf(Sender);
    FHookInfo.Bitmap = Bitmap;
    FHookInfo.FrameNumber = AFrameNumber;
    FHookInfo.PTS = APTS;
    FHookInfo.Update = AUpdate;
    FHookInfo.StopHook = AStopHook;
    Bitmap->Canvas()->Lock();
    try {
        OnCustomHook(this, &FHookInfo);
    } catch (...) {
        Bitmap->Canvas()->Unlock();
        throw;
    }
    Bitmap->Canvas()->Unlock();
    AUpdate = FHookInfo.Update;
    AStopHook = FHookInfo.StopHook;
    if (AUpdate)
        for (int Y = 0; Y < AHeight; ++Y)
            memcpy(APixels + size_t(Y) * ALineSize, Bitmap->ScanLine(Y), RowBytes);
}
