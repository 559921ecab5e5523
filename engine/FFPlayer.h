// The preview player: plays one media file into a video surface of a host window, with SDL2 audio,
// and reports its position and state through events. The single include of the player's unit.
#pragma once

#include <algorithm>
#include <atomic>
#include <concepts>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/FFBaseComponent.h"
#include "engine/FFmpegLogger.h"
#include "engine/PlayEvent.h"
#include "engine/PlayerClock.h"
#include "engine/VideoTarget.h"
#include "platform/base/Classes.h"
#include "platform/base/SysUtils.h"
#include "platform/gdi/Graphics.h"
#include "platform/win/Windows.h"

struct AVFormatContext;
struct AVInputFormat;
struct AVPacket;
class TAVProbe;

enum TRepeatType { rtNone, rtStop, rtLoop };
enum TShowAudio { saNone, saWave, saRDFT };
enum TAudioDriver { adDefault, adDirectSound, adWaveOut };
enum TVideoDriver { vdDefault, vdDirectDraw, vdGDI };
using TAudioVolume = int; // 0 to 128

class TCustomPlayer;
struct TVideoState;

using TFileOpenEvent = std::function<void(TObject* Sender, Int64 ADuration, Integer AFrameWidth, Integer AFrameHeight,
                                          Integer& AScreenWidth, Integer& AScreenHeight)>;
using TPositionEvent = std::function<void(TObject* Sender, Int64 APTS)>;
using TPlayStateEvent = std::function<void(TObject* Sender, TPlayState AState)>;

// A picture as the pipeline converts it: 32-bit BGRA rows, top-down. The player hands pictures out
// as the class library's bitmaps, copied from this at the boundary.
struct TPlayerBitmap {
    int Width = 0;
    int Height = 0;
    std::vector<uint32_t> Pixels;
};

// Called for every picture on its way to the screen while Hook is set; what the handler draws into
// ABitmap (a 32-bit bitmap of the picture's size) is what is shown.
using THookEvent = std::function<void(TObject* Sender, TBitmap* ABitmap, Int64 APTS)>;

class TCustomPlayer : public TFFBaseComponent {
public:
    // The libraries' stream kinds (video 0, audio 1, subtitle 3) that stream choice is made by.
    static constexpr Integer StreamKindVideo = 0;
    static constexpr Integer StreamKindAudio = 1;
    static constexpr Integer StreamKindSubtitle = 3;

    explicit TCustomPlayer(TComponent* AOwner);
    ~TCustomPlayer() override;

    bool AVLibLoaded() const;
    bool LoadAVLib(const String& APath);
    void UnloadAVLib();

    // Plays AFileName in the host window AScreenHandle (0: without display): the pictures go to the
    // window's video surface, and the player takes its place in the window's procedure chain.
    bool Open(const String& AFileName, HWND AScreenHandle, bool APaused);
    // Plays into any target (nil: without display).
    bool Open(const String& AFileName, TVideoTarget* AScreen, bool APaused);
    bool Open(const String& AFileName, std::nullptr_t, bool APaused) {
        return Open(AFileName, static_cast<HWND>(nullptr), APaused);
    }
    HWND ScreenHandle() const { return FScreenHandle; }
    void Stop(bool AWaitForStop);
    void Pause();
    void Resume();
    void TogglePause();
    void StepToNextFrame();
    void ToggleAudioDisplay();
    // Seeks to APTS µs from the file's start.
    void Seek(Int64 APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
    // Any integer position is the absolute form, so that Seek(1000000, ...) means one second.
    template <std::integral T> void Seek(T APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
        Seek(Int64(APTS), ASeekFlags, AWaitForSeekEnd);
    }
    // Seeks by ADelta seconds from the current position.
    void Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd);
    // The picture on screen as a 32-bit bitmap; 0 × 0 and APTS -1 when nothing is shown. The bitmap
    // belongs to the player and is overwritten by the next call.
    TBitmap* CurrentFrame();
    TBitmap* CurrentFrame(Int64& APTS);
    // Redraws the current picture, as an expose of the host window does.
    void Expose();
    // The pictures follow the host window wherever it moves; with the DirectDraw driver asked for,
    // the picture is drawn again at once, as that driver's output needed.
    void UpdateScreenPosition();

    // Stream selection by stream index; refusals leave LastErrMsg.
    Integer VideoStreamIndex() const;
    Integer AudioStreamIndex() const;
    Integer SubtitleStreamIndex() const;
    void SetVideoStreamIndex(Integer AIndex) { SelectStream(StreamKindVideo, AIndex); }
    void SetAudioStreamIndex(Integer AIndex) { SelectStream(StreamKindAudio, AIndex); }
    void SetSubtitleStreamIndex(Integer AIndex) { SelectStream(StreamKindSubtitle, AIndex); }

    bool Paused() const;
    TPlayState PlayState() const { return FState; }
    bool Seeking() const { return FSeeking; }
    Int64 CurrentPTS() const { return FCurrentPTS; }
    const String& FileName() const { return Finput_filename; }
    const String& LastErrMsg() const { return FLastErrMsg; }
    static String Version() { return u"2.3"; }
    const String& About() const { return FAbout; }
    void SetAbout(const String& AValue) { FAbout = AValue; }
    // The probe of the playing file (its demuxer adopted by Open), for its information texts.
    TAVProbe* AVProbe() const { return FAVProbe.get(); }
    // The forced demuxer's short name, or empty. Writing needs the libraries and a known name.
    String Format() const;
    void SetFormat(const String& AValue);

    double AspectRatio() const { return FAspectRatio; }
    void SetAspectRatio(double AValue);
    TAudioVolume AudioVolume() const { return FAudioVolume; }
    void SetAudioVolume(TAudioVolume AValue) { FAudioVolume = std::clamp(AValue, 0, 128); }
    bool Mute() const { return FMute; }
    void SetMute(bool AValue) { FMute = AValue; }
    TShowAudio ShowAudio() const { return FShowAudio; }
    void SetShowAudio(TShowAudio AValue);
    bool DisableAudio() const { return Faudio_disable; }
    void SetDisableAudio(bool AValue) { Faudio_disable = AValue; }
    bool DisableVideo() const { return Fvideo_disable; }
    void SetDisableVideo(bool AValue) { Fvideo_disable = AValue; }
    bool DisableDisplay() const { return Fdisplay_disable; }
    void SetDisableDisplay(bool AValue) { Fdisplay_disable = AValue; }
    Int64 PlayTime() const { return FPlayTime; }
    void SetPlayTime(Int64 AValue) { FPlayTime = AValue; }
    TRepeatType RepeatType() const { return FRepeatType; }
    void SetRepeatType(TRepeatType AValue) { FRepeatType = AValue; }
    bool VerticalFlip() const { return FVerticalFlip; }
    void SetVerticalFlip(bool AValue) { FVerticalFlip = AValue; }
    Integer FrameWidth() const { return Fframe_width; }
    void SetFrameWidth(Integer AValue) { Fframe_width = AValue; }
    Integer FrameHeight() const { return Fframe_height; }
    void SetFrameHeight(Integer AValue) { Fframe_height = AValue; }
    Integer ScreenWidth() const { return Fscreen_width; }
    void SetScreenWidth(Integer AValue) {
        Fscreen_width = AValue;
        FScreenFromHost = false;
    }
    Integer ScreenHeight() const { return Fscreen_height; }
    void SetScreenHeight(Integer AValue) {
        Fscreen_height = AValue;
        FScreenFromHost = false;
    }
    bool FullScreen() const { return Fis_full_screen; }
    bool is_full_screen() const { return Fis_full_screen; }
    void Setis_full_screen(bool AValue) { Fis_full_screen = AValue; }
    const String& VideoFilters() const { return Fvfilters; }
    void SetVideoFilters(const String& AValue) { Fvfilters = AValue; }
    Int64 start_time() const { return Fstart_time; }
    void Setstart_time(Int64 AValue) { Fstart_time = AValue; }
    Integer wanted_video_stream() const { return WantedStream(StreamKindVideo); }
    void Setwanted_video_stream(Integer AValue) { WantedStream(StreamKindVideo) = AValue; }
    Integer wanted_audio_stream() const { return WantedStream(StreamKindAudio); }
    void Setwanted_audio_stream(Integer AValue) { WantedStream(StreamKindAudio) = AValue; }
    Integer wanted_subtitle_stream() const { return WantedStream(StreamKindSubtitle); }
    void Setwanted_subtitle_stream(Integer AValue) { WantedStream(StreamKindSubtitle) = AValue; }
    Tav_sync_type av_sync_type() const { return Fav_sync_type; }
    void Setav_sync_type(Tav_sync_type AValue) { Fav_sync_type = AValue; }
    Integer framedrop() const { return Fframedrop; }
    void Setframedrop(Integer AValue) { Fframedrop = AValue; }
    // Decoder and demuxer options, applied when a stream's decoder opens.
    Integer seek_by_bytes() const { return Fseek_by_bytes; }
    void Setseek_by_bytes(Integer AValue) { Fseek_by_bytes = AValue; }
    Integer workaround_bugs() const { return Fworkaround_bugs; }
    void Setworkaround_bugs(Integer AValue) { Fworkaround_bugs = AValue; }
    Integer debug_mv() const { return Fdebug_mv; }
    void Setdebug_mv(Integer AValue) { Fdebug_mv = AValue; }
    bool fast() const { return Ffast; }
    void Setfast(bool AValue) { Ffast = AValue; }
    bool genpts() const { return Fgenpts; }
    void Setgenpts(bool AValue) { Fgenpts = AValue; }
    Integer decoder_reorder_pts() const { return Fdecoder_reorder_pts; }
    void Setdecoder_reorder_pts(Integer AValue) { Fdecoder_reorder_pts = AValue; }
    Integer rdftspeed() const { return Frdftspeed; }
    void Setrdftspeed(Integer AValue) { Frdftspeed = AValue; }
    Integer lowres() const { return Flowres; }
    void Setlowres(Integer AValue) { Flowres = AValue; }
    Integer idct_algo() const { return Fidct_algo; }
    void Setidct_algo(Integer AValue) { Fidct_algo = AValue; }
    Integer error_recognition() const { return Ferror_recognition; }
    void Seterror_recognition(Integer AValue) { Ferror_recognition = AValue; }
    Integer error_concealment() const { return Ferror_concealment; }
    void Seterror_concealment(Integer AValue) { Ferror_concealment = AValue; }
    bool Hook() const { return FHook; }
    void SetHook(bool AValue) { FHook = AValue; }
    TAudioDriver AudioDriver() const { return FAudioDriver; }
    void SetAudioDriver(TAudioDriver AValue) { FAudioDriver = AValue; }
    TVideoDriver VideoDriver() const { return FVideoDriver; }
    void SetVideoDriver(TVideoDriver AValue) { FVideoDriver = AValue; }
    bool TriggerEventInMainThread() const { return FTriggerEventInMainThread; }
    void SetTriggerEventInMainThread(bool AValue) { FTriggerEventInMainThread = AValue; }

    TFileOpenEvent OnFileOpen;
    TPositionEvent OnPosition;
    TPlayStateEvent OnState;
    // Runs on the pipeline's video thread, never through the main thread.
    THookEvent OnHook;

    // How a handler call reaches the main thread while TriggerEventInMainThread is set, and how a
    // wait on the main thread keeps those calls flowing. Unset, the calls are the platform's
    // synchronised calls (TThread::Synchronize), which waits on the main thread serve.
    std::function<void(const std::function<void()>&)> MainThreadCall;
    std::function<void()> ProcessMainThreadCalls;
    // Passes the last Stop(True) needed before the playback ended (for tests of its bounds).
    Integer StopPasses() const { return FStopPasses; }

    // Pipeline internals, used by the pipeline's threads.
    // Logs at the error level with the player as sender; ASetLastError keeps the text as LastErrMsg.
    void LogError(const String& ALogMsg, bool ASetLastError);
    void Log(TLogLevel ALevel, const String& ALogMsg);
    void ChangeState(TPlayState AState);
    // The position tick of the playback AState (called by its threads, which hold it).
    void UpdatePosition(TVideoState& AState);
    Int64 MonotonicPosition(TVideoState& S, Int64 P);
    void PostPlayEvent(Integer AKind, Int64 AValue) { FPlayEvent->Post(AKind, AValue); }
    // The reader lets go of its demuxer: the probe stops looking at it first.
    void DetachProbe(AVFormatContext* ACtx);

private:
    friend struct TVideoState;
    void InitOptions();
    void ResetPlayOptions();
    void StopKeepingPlayOptions();
    // The running playback, or nil. Whoever uses it holds it, so that a playback closed meanwhile
    // (the play thread ends it at its quit event) is freed only once nobody uses it any more.
    std::shared_ptr<TVideoState> State() const;
    // Waits up to AMs for the data lock; true when it is taken.
    bool TryLockData(int AMs);
    void DoFileOpen();
    void EventLoop();
    void WaitForStop();
    void DoExit();
    void StreamPause();
    // AFlags: the libraries' seek flags.
    void StreamSeek(Int64 APos, Int64 ARel, int AFlags, bool AWait);
    void SelectStream(Integer AKind, Integer AIndex);
    void JoinThreads(bool ABounded);
    bool WaitEvent(std::function<bool()> ADone, int ASliceMs);
    void PushPlayerEvent(int ACode);
    void ServeMainThread();
    void CallHandler(const std::function<void()>& ACall);
    bool StartPlayback(const String& AFileName, TVideoTarget* AScreen, bool APaused);
    void ReleaseHost();
    LRESULT PlayerWindowProc(HWND AWnd, UINT AMsg, WPARAM AWParam, LPARAM ALParam);
    int WaitPlayerEvent();

    // Options (defaults as the constructor sets them).
    Integer Fsws_flags = 4;
    const AVInputFormat* Ffile_iformat = nullptr;
    String Finput_filename;
    // Written by the GUI thread (the host's size), read by the play thread as it draws.
    std::atomic<Integer> Fscreen_width{0}, Fscreen_height{0};
    bool FScreenFromHost = false; // the screen size is the host's client size, taken at Open
    Integer Fframe_width = 0, Fframe_height = 0;
    Integer Fframe_pix_fmt = -1;
    bool Faudio_disable = false, Fvideo_disable = false, Fdisplay_disable = false;
    // By stream kind -1 (unknown) to 5.
    static constexpr Integer FirstStreamKind = -1;
    Integer Fwanted_stream[7] = {-1, -1, -1, -1, -1, -1, -1};
    Integer WantedStream(Integer AKind) const { return Fwanted_stream[AKind - FirstStreamKind]; }
    Integer& WantedStream(Integer AKind) { return Fwanted_stream[AKind - FirstStreamKind]; }
    Integer Fseek_by_bytes = -1;
    Tav_sync_type Fav_sync_type = AV_SYNC_AUDIO_MASTER;
    // The per-play options below are read by the playback's threads while the application may set them.
    std::atomic<Int64> Fstart_time{INT64_MIN};
    Integer Fdebug = 0, Fdebug_mv = 0;
    // Set by the GUI thread, read by the decoding threads when a picture or buffer is done.
    std::atomic<bool> Fstep{false};
    Integer Fworkaround_bugs = 1;
    bool Ffast = false, Fgenpts = false;
    Integer Flowres = 0, Fidct_algo = 0;
    Integer Fskip_frame = 0, Fskip_idct = 0, Fskip_loop_filter = 0; // the libraries' AVDiscard values
    Integer Ferror_recognition = 1;
    Integer Ferror_concealment = 3;
    std::atomic<Integer> Fdecoder_reorder_pts{-1};
    std::atomic<Integer> Fframedrop{1};
    std::atomic<Integer> Frdftspeed{20};
    String Fvfilters;
    bool Fis_full_screen = false;
    std::atomic<int64_t> Faudio_callback_time{0};
    String FAbout;
    std::unique_ptr<TAVProbe> FAVProbe;

    mutable std::mutex FStateLock; // guards the pointer FVideoState itself
    std::shared_ptr<TVideoState> FVideoState;
    TVideoTarget* FScreen = nullptr;
    HWND FScreenHandle = nullptr;
    std::shared_ptr<TVideoSurface> FSurface;
    std::unique_ptr<TSurfaceVideoTarget> FHostTarget;
    WNDPROC FHostLink = nullptr;
    String FLastErrMsg;
    TPositionReporter FReporter;
    std::atomic<Int64> FCurrentPTS{-1};
    // Serialises the play thread's event handling against Stop and the GUI thread's uses of the
    // pictures. Taken with a bound only through TryLockData.
    std::recursive_mutex FDataLock;
    std::shared_ptr<TPlayEvent> FPlayEvent = std::make_shared<TPlayEvent>();
    std::unique_ptr<TEventThread> FEventThread;
    std::thread FPlayThread;
    // The play thread's private queue of event codes (refresh, expose, reopen, quit).
    std::deque<int> FEvents;
    std::mutex FEventsLock;
    std::condition_variable FEventsCond;
    std::mutex FStopLock;
    std::condition_variable FStopCond;
    bool FStopped = true;
    std::atomic<bool> FSeeking{false};
    std::atomic<double> FAspectRatio{0};
    std::atomic<int> FAudioVolume{128};
    std::atomic<bool> FMute{false};
    TShowAudio FShowAudio = saWave;
    std::atomic<Int64> FPlayTime{INT64_MIN};
    std::atomic<TRepeatType> FRepeatType{rtStop};
    std::atomic<bool> FVerticalFlip{false};
    TPlayerBitmap FRGBBitmap;
    std::unique_ptr<TBitmap> FFrameBitmap;
    std::atomic<bool> FHook{false};
    std::atomic<bool> FHandlersOff{false}; // the player is going: no handler is called any more
    TAudioDriver FAudioDriver = adDefault;
    TVideoDriver FVideoDriver = vdDefault;
    bool FTriggerEventInMainThread = true;
    std::atomic<TPlayState> FState{psStop};
    Integer FStopPasses = 0;
};

// The published form of the player, as the main window holds it.
class TRUDezari : public TCustomPlayer {
public:
    using TCustomPlayer::TCustomPlayer;
};
