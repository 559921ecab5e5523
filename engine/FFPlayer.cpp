#include "engine/FFPlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>

#include "engine/AVProbe.h"
#include "engine/FFPlayerState.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "engine/SwScaleStubs.h"
#include "platform/base/Threads.h"
#include "platform/win/VideoSurface.h"
#include "platform/win/WinExtras.h"

TCustomPlayer::TCustomPlayer(TComponent* AOwner)
    : TFFBaseComponent(AOwner), FAVProbe(std::make_unique<TAVProbe>(nullptr)) {
    InitOptions();
}

TCustomPlayer::~TCustomPlayer() {
    // No handler is called from here on. The playback's threads still look at the handlers until
    // they end, so the handlers themselves are dropped after that.
    FHandlersOff = true;
    FHook = false;
    Stop(true);
    JoinThreads(true);
    OnPosition = nullptr;
    OnState = nullptr;
    OnHook = nullptr;
    FAVProbe.reset();
}

void TCustomPlayer::InitOptions() {
    ResetPlayOptions();
}

void TCustomPlayer::ResetPlayOptions() {
    FReporter.Reset();
    FCurrentPTS = -1;
    Fstep = false;
    for (Integer& W : Fwanted_stream)
        W = -1;
    Fseek_by_bytes = -1;
    Fstart_time = INT64_MIN;
    FPlayTime = INT64_MIN;
    FRepeatType = rtStop;
    FVerticalFlip = false;
    FSeeking = false;
}

bool TCustomPlayer::AVLibLoaded() const {
    return FFLoader().Loaded(PlayerLibraries);
}

bool TCustomPlayer::LoadAVLib(const String& APath) {
    FFLoader().SetLibraryPath(APath);
    if (FFLoader().Load(PlayerLibraries))
        return true;
    FLastErrMsg = FFLoader().LastErrMsg();
    return false;
}

void TCustomPlayer::UnloadAVLib() {
    FFLoader().Unload(PlayerLibraries);
}

void TCustomPlayer::LogError(const String& ALogMsg, bool ASetLastError) {
    Log(llError, ALogMsg);
    if (ASetLastError)
        FLastErrMsg = ALogMsg;
}

void TCustomPlayer::Log(TLogLevel ALevel, const String& ALogMsg) {
    GetFFLogger()->Log(this, ALevel, ALogMsg);
}

void TCustomPlayer::DetachProbe(AVFormatContext* ACtx) {
    try {
        if (FAVProbe && FAVProbe->FileHandle() == ACtx)
            FAVProbe->SetFileHandle(nullptr);
    } catch (const Exception& E) {
        LogError(E.Message(), false);
    }
}

String TCustomPlayer::Format() const {
    return Ffile_iformat && Ffile_iformat->name ? UTF8ToString(Ffile_iformat->name) : String();
}

void TCustomPlayer::SetFormat(const String& AValue) {
    if (!AVLibLoaded()) {
        LogError(u"libav or libsdl not loaded.", true);
        throw Exception(u"libav or libsdl not loaded.");
    }
    if (AValue.empty()) {
        Ffile_iformat = nullptr;
        return;
    }
    const AVInputFormat* Found = av::av_find_input_format(UTF8Encode(AValue).c_str());
    if (!Found)
        throw Exception(::Format(u"Unknown input format: %s", {AValue}));
    Ffile_iformat = Found;
}

void TCustomPlayer::ChangeState(TPlayState AState) {
    FState = AState;
    if (OnState && !FHandlersOff)
        FPlayEvent->Post(peState, AState);
    else if (AState == psStop)
        FPlayEvent->Post(peEnd, 0);
}

std::shared_ptr<TVideoState> TCustomPlayer::State() const {
    std::lock_guard Guard(FStateLock);
    return FVideoState;
}

bool TCustomPlayer::TryLockData(int AMs) {
    // A timed wait for the lock itself goes through a call the thread checker cannot follow, which
    // then takes the later unlock for one of a lock never taken: the wait goes in short slices.
    auto Deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(AMs);
    while (!FDataLock.try_lock()) {
        if (std::chrono::steady_clock::now() >= Deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}

void TCustomPlayer::StopKeepingPlayOptions() {
    // The options the application set before Open are for the file it opens; the end of the
    // playback before would reset them.
    decltype(Fwanted_stream) Wanted;
    std::copy(std::begin(Fwanted_stream), std::end(Fwanted_stream), Wanted);
    const Int64 StartTime = Fstart_time, PlayTime = FPlayTime;
    const TRepeatType Repeat = FRepeatType;
    const bool Flip = FVerticalFlip;
    Stop(true);
    std::copy(std::begin(Wanted), std::end(Wanted), Fwanted_stream);
    Fstart_time = StartTime;
    FPlayTime = PlayTime;
    FRepeatType = Repeat;
    FVerticalFlip = Flip;
}

bool TCustomPlayer::Open(const String& AFileName, TVideoTarget* AScreen, bool APaused) {
    if (!AVLibLoaded()) {
        LogError(u"libav or libsdl not loaded.", true);
        return false;
    }
    StopKeepingPlayOptions();
    return StartPlayback(AFileName, AScreen, APaused);
}

bool TCustomPlayer::Open(const String& AFileName, HWND AScreenHandle, bool APaused) {
    if (!AVLibLoaded()) {
        LogError(u"libav or libsdl not loaded.", true);
        return false;
    }
    StopKeepingPlayOptions();
    if (AScreenHandle && !Fdisplay_disable) {
        FSurface = TVideoSurface::Create(AScreenHandle);
        if (!FSurface) {
            LogError(::Format(u"Could not initialize SDL with ScreenHandle(%u): %s",
                              {unsigned(reinterpret_cast<uintptr_t>(AScreenHandle)), String(u"not a window")}),
                     true);
            return false;
        }
        FScreenHandle = AScreenHandle;
        FHostTarget = std::make_unique<TSurfaceVideoTarget>(FSurface);
        // A new client size (expose) redraws the picture at once, also while paused.
        FSurface->OnResize = [this](int AWidth, int AHeight) {
            Fscreen_width = AWidth;
            Fscreen_height = AHeight;
            Expose();
        };
        FHostLink = SubclassWindowProc(AScreenHandle, [this](HWND AWnd, UINT AMsg, WPARAM AW, LPARAM AL) {
            return PlayerWindowProc(AWnd, AMsg, AW, AL);
        });
    }
    bool Ok = StartPlayback(AFileName, FHostTarget.get(), APaused);
    if (!Ok)
        ReleaseHost();
    return Ok;
}

LRESULT TCustomPlayer::PlayerWindowProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam) {
    switch (AMsg) {
    case WM_CLOSE:
        return 0; // the host of a playback is not closed by the player's output
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
        SetFocus(AWnd);
        break;
    default:
        break;
    }
    return CallPrevWndProc(FHostLink, AWnd, AMsg, AWParam, ALParam);
}

void TCustomPlayer::ReleaseHost() {
    if (FScreenHandle && FHostLink && IsWindow(FScreenHandle))
        RemoveWindowProcLink(FScreenHandle, FHostLink);
    if (FSurface)
        FSurface->Detach();
    // The window paints itself again: the last picture does not stay behind the player.
    if (FScreenHandle && IsWindow(FScreenHandle))
        InvalidateRect(FScreenHandle, nullptr, TRUE);
    FHostLink = nullptr;
    FHostTarget.reset();
    FSurface.reset();
    FScreenHandle = nullptr;
}

bool TCustomPlayer::StartPlayback(const String& AFileName, TVideoTarget* AScreen, bool APaused) {
    if (Fdisplay_disable)
        Fvideo_disable = true;
    FScreen = Fdisplay_disable ? nullptr : AScreen;

    auto S = std::make_shared<TVideoState>();
    S->Owner = this;
    if (APaused) {
        S->paused = 1;
        S->open_paused = 1;
        Fstep = false;
    }
    S->filename = AFileName;
    S->vfilters = Fvfilters;
    S->iformat = Ffile_iformat;
    S->av_sync_type = Fav_sync_type;
    TVideoState* State = S.get();
    // psPlay goes into the ring before any pipeline thread can report psPause or psEnd.
    FPlayEvent->Clear();
    ChangeState(psPlay);
    S->parse_tid = std::thread([State] { State->ReadThread(); });
    while (S->Opened == 0) {
        ServeMainThread();
        SleepMs(10);
    }
    if (S->Opened < 0) {
        while (S->Opened == -1)
            SleepMs(10);
        S->abort_request = true;
        S->parse_tid.join();
        S.reset();
        ResetPlayOptions();
        FPlayEvent->Clear();
        FState = psStop;
        return false;
    }
    if (S->video_stream < 0 && !Fdisplay_disable)
        S->show_audio = FShowAudio;
    Finput_filename = AFileName;
    {
        std::lock_guard Guard(FEventsLock);
        FEvents.clear();
    }
    {
        std::lock_guard Guard(FDataLock);
        std::lock_guard StateGuard(FStateLock);
        FVideoState = std::move(S);
    }
    try {
        FAVProbe->SetFileHandle(State->ic);
    } catch (const Exception& E) {
        LogError(E.Message(), false);
    }
    CallHandler([this] { DoFileOpen(); });
    {
        std::lock_guard Guard(FStopLock);
        FStopped = false;
    }
    auto Deliver = [this](const std::function<void()>& ACall) { CallHandler(ACall); };
    FEventThread = std::make_unique<TEventThread>(
        FPlayEvent,
        [this](Int64 APTS) {
            if (OnPosition && !FHandlersOff)
                OnPosition(this, APTS);
        },
        [this](TPlayState AState) {
            if (OnState && !FHandlersOff)
                OnState(this, AState);
        },
        Deliver);
    State->refresh_tid = std::thread([State] { State->RefreshThread(); });
    FPlayThread = std::thread([this] {
        try {
            EventLoop();
        } catch (const std::exception& E) {
            Log(llFatal, u"PlayThread Exception: " + UTF8ToString(E.what()));
            std::lock_guard Guard(FDataLock);
            DoExit();
        }
        ChangeState(psStop);
        std::lock_guard Guard(FStopLock);
        FStopped = true;
        FStopCond.notify_all();
    });
    return true;
}

void TCustomPlayer::CallHandler(const std::function<void()>& ACall) {
    if (!FTriggerEventInMainThread) {
        ACall();
        return;
    }
    try {
        if (MainThreadCall)
            MainThreadCall(ACall);
        else
            TThread::Synchronize(nullptr, ACall);
    } catch (const std::exception& E) {
        // The handler raised on the main thread; the playback goes on.
        LogError(UTF8ToString(E.what()), false);
    }
}

void TCustomPlayer::ServeMainThread() {
    if (ProcessMainThreadCalls) {
        ProcessMainThreadCalls();
        return;
    }
    // A wait on the main thread keeps its synchronised calls, and the host window's messages, flowing.
    if (!IsMainThread())
        return;
    CheckSynchronize(0);
    if (FScreenHandle && IsGuiThread())
        ProcessPendingMessages();
}

void TCustomPlayer::PushPlayerEvent(int ACode) {
    std::lock_guard Guard(FEventsLock);
    FEvents.push_back(ACode);
    FEventsCond.notify_all();
}

int TCustomPlayer::WaitPlayerEvent() {
    std::unique_lock Guard(FEventsLock);
    FEventsCond.wait(Guard, [this] { return !FEvents.empty(); });
    int Code = FEvents.front();
    FEvents.pop_front();
    return Code;
}

void TCustomPlayer::DoFileOpen() {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    // A size taken from the host last time is taken again: the host may have changed its size since.
    if (FScreenFromHost)
        Fscreen_width = Fscreen_height = 0;
    if (OnFileOpen) {
        Int64 Duration = S->IsImage2 ? 0 : S->Duration;
        Integer W = -1, H = -1;
        if (S->video_ctx && S->video_ctx->width != 0) {
            W = S->video_ctx->width;
            H = S->video_ctx->height;
        }
        Integer ScreenW = Fscreen_width, ScreenH = Fscreen_height;
        OnFileOpen(this, Duration, W, H, ScreenW, ScreenH);
        Fscreen_width = ScreenW;
        Fscreen_height = ScreenH;
    }
    RECT Client{};
    FScreenFromHost = false;
    if (FScreenHandle && (Fscreen_width == 0 || Fscreen_height == 0) && GetClientRect(FScreenHandle, &Client)) {
        Fscreen_width = Client.Width();
        Fscreen_height = Client.Height();
        FScreenFromHost = true;
    }
}

void TCustomPlayer::EventLoop() {
    for (;;) {
        if (!State())
            return;
        int Code = WaitPlayerEvent();
        std::lock_guard Guard(FDataLock);
        std::shared_ptr<TVideoState> S = State();
        if (!S)
            return;
        switch (Code) {
        case FF_QUIT_EVENT:
            DoExit();
            return;
        case FF_REFRESH_EVENT:
            S->VideoRefresh(true);
            S->refresh = 0;
            break;
        case FF_EXPOSE_EVENT:
            // The picture on screen is drawn again at the host's size, paused or not.
            S->VideoDisplay();
            break;
        case FF_REOPEN_EVENT:
            S->VideoDisplay();
            break;
        default:
            break;
        }
    }
}

void TCustomPlayer::DoExit() {
    std::shared_ptr<TVideoState> S;
    {
        std::lock_guard Guard(FDataLock);
        std::lock_guard StateGuard(FStateLock);
        S = std::move(FVideoState);
    }
    if (!S)
        return;
    S->StreamClose();
    S.reset();
    ResetPlayOptions();
}

bool TCustomPlayer::Paused() const {
    std::shared_ptr<TVideoState> S = State();
    return !S || S->paused;
}

void TCustomPlayer::UpdatePosition(TVideoState& AState) {
    TVideoState* S = &AState;
    if (S->IsImage2)
        return;
    Int64 P;
    if (S->video_stream >= 0)
        P = std::llround(S->GetVideoClock() * 1000000) - S->StartTime;
    else if (S->audio_stream >= 0) {
        P = std::llround(S->GetAudioClock() * 1000000) - S->StartTime;
        if (S->AudioDuration > 0 && P >= S->AudioDuration && S->Duration > P)
            P = S->Duration;
    } else
        return;
    P = MonotonicPosition(*S, std::max<Int64>(P, 0));
    // At the end the position is the end: the file's duration when it gives one.
    bool Ended = !S->IsDevice && S->OutputEnded();
    if (Ended && S->Duration > 0)
        P = S->Duration;
    else if (Ended && S->video_stream >= 0)
        P = std::max<Int64>(std::llround(S->ShownClock() * 1000000) - S->StartTime, 0);
    else if (S->Duration > 0)
        P = std::min(P, S->Duration);
    FCurrentPTS = P;
    Int64 Report = 0;
    if (FReporter.Tick(P, S->Duration, Report) && OnPosition && !FHandlersOff)
        FPlayEvent->Post(pePosition, Report);
    // psEnd once per end: a seek (or, with video, the next picture) makes the next end count again.
    if (Ended && S->EventEOF == 0) {
        S->EventEOF = 1;
        ChangeState(psEnd);
    }
    const Int64 PlayTime = FPlayTime, StartTime = Fstart_time;
    if (PlayTime != INT64_MIN) {
        Int64 End = (StartTime != INT64_MIN ? StartTime : 0) + PlayTime;
        if (P >= End) {
            const TRepeatType Repeat = FRepeatType;
            if (Repeat == rtStop)
                Stop(false);
            else if (Repeat == rtLoop) {
                if (StartTime != INT64_MIN)
                    Seek(StartTime, TSeekFlags(), false);
                else
                    Seek(Int64(0), TSeekFlags{sfAny}, false);
            }
        }
    }
}

Int64 TCustomPlayer::MonotonicPosition(TVideoState& S, Int64 P) {
    // A picture shown late moves the video clock back a little; between seeks the position only
    // moves on. A seek starts afresh once its first picture is shown (or, without video, once done).
    int Serial = S.video_stream >= 0 ? S.shown_serial.load() : S.seek_serial.load();
    std::lock_guard Guard(S.floor_lock);
    if (Serial != S.floor_serial) {
        S.floor_serial = Serial;
        S.position_floor = INT64_MIN;
    }
    if (S.position_floor != INT64_MIN && P < S.position_floor)
        P = S.position_floor;
    S.position_floor = P;
    return P;
}

void TCustomPlayer::Stop(bool AWaitForStop) {
    if (std::shared_ptr<TVideoState> S = State()) {
        if (S->paused) {
            StreamPause();
            Fstep = false;
        }
        if (State())
            S->PushEvent(FF_QUIT_EVENT);
        if (AWaitForStop)
            WaitForStop();
    }
    if (AWaitForStop) {
        JoinThreads(true);
        ReleaseHost();
    }
}

void TCustomPlayer::WaitForStop() {
    FStopPasses = 0;
    for (Integer I = 1;;) {
        ++FStopPasses;
        {
            std::unique_lock Guard(FStopLock);
            if (FStopCond.wait_for(Guard, std::chrono::milliseconds(100), [this] { return FStopped; }))
                return;
        }
        ServeMainThread();
        if (!State())
            return;
        if (!TryLockData(100))
            continue;
        ++I;
        std::shared_ptr<TVideoState> S = State();
        if (!S) {
            FDataLock.unlock();
            return;
        }
        if ((I > 10 && S->Reading == 1) || I > 20) {
            DoExit();
            FDataLock.unlock();
            PushPlayerEvent(FF_QUIT_EVENT); // wakes the play thread, which finds nothing left to play
            return;
        }
        S->PushEvent(FF_QUIT_EVENT);
        FDataLock.unlock();
    }
}

void TCustomPlayer::JoinThreads(bool ABounded) {
    (void)ABounded;
    if (FPlayThread.joinable()) {
        // The play thread ends once the playback is gone; an exit forced by the waiting wakes it.
        bool Stopped;
        {
            std::unique_lock Guard(FStopLock);
            Stopped = FStopCond.wait_for(Guard, std::chrono::seconds(5), [this] { return FStopped; });
        }
        if (Stopped)
            FPlayThread.join();
        else
            FPlayThread.detach();
    }
    if (FEventThread) {
        FEventThread->Join(std::chrono::seconds(2), [this] { ServeMainThread(); });
        FEventThread.reset();
    }
}

void TCustomPlayer::StreamPause() {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    if (!S->SeekEvent.WaitFor(250))
        S->SeekEvent.Set();
    if (State() != S)
        return;
    if (S->paused) {
        // The picture timing and the clock move on by the paused time together, as the refresh and
        // the decoders see them.
        std::lock_guard PictGuard(S->pictq_mutex);
        std::lock_guard ClockGuard(S->clock_mutex);
        double T = WallClock();
        S->timer.frame_timer += T + S->video_current_pts_drift - S->video_current_pts;
        if (S->read_pause_return != AVERROR(ENOSYS))
            S->video_current_pts = S->video_current_pts_drift + T;
        S->video_current_pts_drift = S->video_current_pts - T;
        S->paused = 0;
    } else {
        if (S->video_stream >= 0 && !S->PictEvent.WaitFor(250))
            S->PictEvent.Set();
        if (State() != S)
            return;
        std::lock_guard ClockGuard(S->clock_mutex);
        S->paused = 1;
    }
}

void TCustomPlayer::Pause() {
    std::shared_ptr<TVideoState> S = State();
    if (S && !S->paused) {
        StreamPause();
        Fstep = false;
        ChangeState(psPause);
    }
}

void TCustomPlayer::Resume() {
    std::shared_ptr<TVideoState> S = State();
    if (S && S->paused) {
        StreamPause();
        Fstep = false;
        ChangeState(psResume);
    }
}

void TCustomPlayer::TogglePause() {
    if (!State())
        return;
    StreamPause();
    Fstep = false;
    std::shared_ptr<TVideoState> S = State();
    ChangeState(S && S->paused ? psPause : psResume);
}

void TCustomPlayer::StepToNextFrame() {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    if (S->paused)
        StreamPause();
    bool Was = Fstep;
    Fstep = true;
    if (!Was)
        ChangeState(psStep);
}

void TCustomPlayer::ToggleAudioDisplay() {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    S->show_audio = (S->show_audio + 1) % 3;
    S->clear_display = true;
    S->PushEvent(FF_REOPEN_EVENT);
}

void TCustomPlayer::SetShowAudio(TShowAudio AValue) {
    FShowAudio = AValue;
    std::shared_ptr<TVideoState> S = State();
    if (S && S->audio_stream >= 0 && !Fdisplay_disable)
        S->show_audio = AValue;
}

void TCustomPlayer::SetAspectRatio(double AValue) {
    if (AValue == FAspectRatio)
        return;
    FAspectRatio = AValue;
    if (std::shared_ptr<TVideoState> S = State())
        S->PushEvent(FF_REOPEN_EVENT);
}

void TCustomPlayer::UpdateScreenPosition() {
    if (State() && FScreenHandle && FVideoDriver == vdDirectDraw)
        Expose();
}

void TCustomPlayer::Expose() {
    if (std::shared_ptr<TVideoState> S = State())
        S->PushEvent(FF_EXPOSE_EVENT);
}

bool TCustomPlayer::WaitEvent(std::function<bool()> ADone, int ASliceMs) {
    while (!ADone()) {
        ServeMainThread();
        if (!State())
            return false;
        SleepMs(ASliceMs);
    }
    return true;
}

void TCustomPlayer::StreamSeek(Int64 APos, Int64 ARel, int AFlags, bool AWait) {
    std::shared_ptr<TVideoState> S = State();
    if (!S || S->seek_req)
        return;
    FSeeking = true;
    S->seek_paused = S->paused.load();
    S->seek_pos = APos;
    S->seek_rel = ARel;
    S->seek_flags = AFlags;
    S->SeekEvent.Reset();
    const int Serial = S->seek_serial + 1; // the reader counts this seek when it carries it out
    S->seek_req = 1;
    if (!AWait)
        return;
    while (!S->SeekEvent.WaitFor(100)) {
        ServeMainThread();
        if (State() != S)
            return;
    }
    // With video, the seek is over when its first picture is on screen (or the file ended first).
    if (S->video_stream >= 0)
        while (S->shown_serial < Serial && !S->OutputEnded()) {
            ServeMainThread();
            if (State() != S)
                return;
            SleepMs(2);
        }
}

void TCustomPlayer::Seek(Int64 APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    if (ASeekFlags.Contains(sfByte)) {
        StreamSeek(APTS, 0, SeekFlagsToInt(ASeekFlags), AWaitForSeekEnd);
        return;
    }
    // The file's duration and start as the reader found them (the demuxer is the reader's).
    Int64 Target = APTS;
    if (S->Duration >= 0 && Target > S->Duration)
        Target = S->Duration;
    Target += S->StartTime;
    StreamSeek(Target, APTS <= 0 ? 1 : 0, SeekFlagsToInt(ASeekFlags), AWaitForSeekEnd);
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
    std::shared_ptr<TVideoState> S = State();
    if (!S)
        return;
    if (ASeekFlags.Contains(sfByte)) {
        double Increment = S->ic->bit_rate ? ADelta * S->ic->bit_rate / 8.0 : ADelta * 180000.0;
        double Target = double(S->ic->pb ? av::avio_seek(S->ic->pb, 0, SEEK_CUR) : 0) + Increment;
        StreamSeek(std::llround(Target), std::llround(Increment), SeekFlagsToInt(ASeekFlags), AWaitForSeekEnd);
        return;
    }
    StreamSeek(std::llround((S->GetMasterClock() + ADelta) * 1000000), std::llround(ADelta * 1000000),
               SeekFlagsToInt(ASeekFlags), AWaitForSeekEnd);
}

TBitmap* TCustomPlayer::CurrentFrame() {
    Int64 Pts;
    return CurrentFrame(Pts);
}

TBitmap* TCustomPlayer::CurrentFrame(Int64& APTS) {
    if (!FFrameBitmap) {
        FFrameBitmap = std::make_unique<TBitmap>();
        FFrameBitmap->SetPixelFormat(pf32bit);
    }
    APTS = -1;
    FRGBBitmap.Width = FRGBBitmap.Height = 0;
    FRGBBitmap.Pixels.clear();
    {
        std::lock_guard DataGuard(FDataLock);
        if (std::shared_ptr<TVideoState> S = State())
            S->ShownPicture(FRGBBitmap, APTS);
    }
    BitmapFromPicture(*FFrameBitmap, FRGBBitmap);
    return FFrameBitmap.get();
}

Integer TCustomPlayer::VideoStreamIndex() const {
    std::shared_ptr<TVideoState> S = State();
    return S ? S->video_stream.load() : -1;
}

Integer TCustomPlayer::AudioStreamIndex() const {
    std::shared_ptr<TVideoState> S = State();
    return S ? S->audio_stream.load() : -1;
}

Integer TCustomPlayer::SubtitleStreamIndex() const {
    std::shared_ptr<TVideoState> S = State();
    return S ? S->subtitle_stream.load() : -1;
}

void TCustomPlayer::SelectStream(Integer AKind, Integer AIndex) {
    std::lock_guard Guard(FDataLock);
    std::shared_ptr<TVideoState> S = State();
    if (!S || !S->ic)
        return;
    Integer Current = AKind == AVMEDIA_TYPE_VIDEO   ? S->video_stream.load()
                      : AKind == AVMEDIA_TYPE_AUDIO ? S->audio_stream.load()
                                                    : S->subtitle_stream.load();
    Integer Lowest = AKind == AVMEDIA_TYPE_SUBTITLE ? -1 : 0;
    if (Current < Lowest) {
        LogError(u"the current stream is not valid.", true);
        return;
    }
    if (AIndex < Lowest || AIndex >= Integer(S->ic->nb_streams)) {
        LogError(u"the stream index is not valid.", true);
        return;
    }
    if (AIndex == Current)
        return;
    if (AIndex >= 0) {
        AVCodecParameters* Par = S->ic->streams[AIndex]->codecpar;
        if (Par->codec_type != AKind) {
            LogError(u"the stream type is not matched.", true);
            return;
        }
        if (AKind == AVMEDIA_TYPE_AUDIO && (Par->sample_rate <= 0 || Par->ch_layout.nb_channels <= 0)) {
            LogError(u"the audio stream is not invalid.", true);
            return;
        }
    }
    S->StreamComponentClose(Current);
    S->StreamComponentOpen(AIndex);
}
