// The playback pipeline's state, shared by the player's files (reader, decoders, filters, audio
// output, display) and the component; private to the engine.
#pragma once

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFPlayer.h"
#include "engine/FFPlayerPacketQueue.h"
#include "engine/PlayerClock.h"
#include "engine/SDLStubs.h"

struct SwrContext;
struct SwsContext;
struct TVideoFilter;

// The player's private event codes (the old SDL user events).
constexpr int FF_EXPOSE_EVENT = 17;
constexpr int FF_REFRESH_EVENT = 25;
constexpr int FF_QUIT_EVENT = 26;
constexpr int FF_REOPEN_EVENT = 27;

constexpr int VIDEO_PICTURE_QUEUE_SIZE = 2;
constexpr int SUBPICTURE_QUEUE_SIZE = 4;
constexpr int MAX_QUEUE_SIZE = 15 * 1024 * 1024;
constexpr int MIN_AUDIOQ_SIZE = 20 * 16 * 1024;
constexpr int MIN_FRAMES = 5;
constexpr int SAMPLE_ARRAY_SIZE = 2 * 65536;
constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t White = 0xFFFFFFFFu;

inline double WallClock() {
    return av::av_gettime() / 1000000.0;
}

inline void SleepMs(int AMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(AMs));
}

inline std::string ErrorText(int ACode) {
    char Buf[256] = {};
    if (av::av_strerror(ACode, Buf, sizeof(Buf)) < 0)
        std::snprintf(Buf, sizeof(Buf), "Error number %d occurred", ACode);
    return Buf;
}

// The pipeline's BGRA picture into the class library's 32-bit bitmap, and back (false when the
// bitmap no longer has the picture's size and depth).
void BitmapFromPicture(TBitmap& ABitmap, const TPlayerBitmap& APicture);
bool PictureFromBitmap(TBitmap& ABitmap, TPlayerBitmap& APicture);

int ErrorRecognitionFlags(int ALevel);

// The planes of a planar YUV 4:2:0 picture AHeight rows high, turned upside down when AFlip is set.
void PicturePlanes(const AVFrame* AFrame, int AHeight, bool AFlip, const uint8_t* APlanes[4], int AStrides[4]);

// A manual-reset event, created signalled.
class TFlagEvent {
public:
    void Set() {
        std::lock_guard Guard(FLock);
        FSet = true;
        FCond.notify_all();
    }
    void Reset() {
        std::lock_guard Guard(FLock);
        FSet = false;
    }
    bool WaitFor(int AMs) {
        std::unique_lock Guard(FLock);
        return FCond.wait_for(Guard, std::chrono::milliseconds(AMs), [this] { return FSet; });
    }

private:
    std::mutex FLock;
    std::condition_variable FCond;
    bool FSet = true;
};

struct TVideoPicture {
    double pts = 0;
    double target_clock = 0;
    int64_t pos = -1;
    AVFrame* frame = nullptr; // planar YUV 4:2:0 from the filter graph's sink
    int width = 0;
    int height = 0;
    bool allocated = false;
    bool flip = false;
    int serial = 0; // the seek the picture follows
};

struct TSubPicture {
    double pts = 0;
    AVSubtitle sub{};
    bool used = false;
};

struct TVideoState {
    TCustomPlayer* Owner = nullptr;
    std::thread parse_tid, video_tid, refresh_tid, subtitle_tid;
    const AVInputFormat* iformat = nullptr;
    std::atomic<bool> abort_request{false};
    std::atomic<int> paused{0};
    int last_paused = 0;
    std::atomic<int> seek_req{0};
    int seek_flags = 0;
    int64_t seek_pos = 0, seek_rel = 0;
    // The reader's answer to its pause, which the GUI thread's resume looks at.
    std::atomic<int> read_pause_return{0};
    AVFormatContext* ic = nullptr;
    Tav_sync_type av_sync_type = AV_SYNC_AUDIO_MASTER;

    // Audio.
    std::atomic<int> audio_stream{-1};
    AVStream* audio_st = nullptr;
    AVCodecContext* audio_ctx = nullptr;
    TPacketQueue audioq;
    SDL_AudioDeviceID audio_dev = 0;
    // Set where the stream opens (also on a stream switch), read by the clocks of every thread.
    std::atomic<int> audio_channels{0}, audio_rate{0};
    // Moved by the audio thread only; read by the clocks of the others.
    std::atomic<double> audio_clock{0};
    TAudioSync audio_sync;
    TAudioFeed audio_feed;
    std::vector<uint8_t> audio_buf; // sized to what the decoder delivers
    AVFrame* audio_frame = nullptr;
    SwrContext* swr = nullptr;
    int swr_fmt = -1, swr_rate = 0, swr_channels = 0;
    bool audio_eof = false;
    // The audio clock as of the latest callback: where the audio handed over then starts, how long it
    // plays, and when (µs).
    std::mutex audio_clock_mutex;
    double audio_cb_base = 0, audio_cb_span = 0;
    int64_t audio_cb_time = 0;
    std::atomic<int> show_audio{0};
    std::vector<int16_t> sample_array = std::vector<int16_t>(SAMPLE_ARRAY_SIZE, 0);
    int sample_array_index = 0, last_i_start = 0;
    std::mutex sample_mutex;

    // Subtitles.
    std::atomic<int> subtitle_stream{-1};
    AVStream* subtitle_st = nullptr;
    AVCodecContext* subtitle_ctx = nullptr;
    TPacketQueue subtitleq;
    TSubPicture subpq[SUBPICTURE_QUEUE_SIZE];
    int subpq_size = 0, subpq_rindex = 0, subpq_windex = 0;
    bool subtitle_stream_changed = false;
    std::mutex subpq_mutex;
    std::condition_variable subpq_cond;

    // Video.
    TFrameTimer timer; // under pictq_mutex
    // Where the next picture without a stamp goes: moved by the video thread, read by the refresh.
    std::atomic<double> video_clock{0};
    std::atomic<int> video_stream{-1};
    AVStream* video_st = nullptr;
    AVCodecContext* video_ctx = nullptr;
    TPacketQueue videoq;
    // The clock of the picture on screen, set by the refresh and by pause and resume together with
    // paused, and read by every thread's clock: under clock_mutex, taken after pictq_mutex.
    std::mutex clock_mutex;
    double video_current_pts = 0, video_current_pts_drift = 0;
    int64_t video_current_pos = -1; // under pictq_mutex
    TVideoPicture pictq[VIDEO_PICTURE_QUEUE_SIZE];
    int pictq_size = 0, pictq_rindex = 0, pictq_windex = 0;
    std::mutex pictq_mutex; // also guards the shown picture and the current-frame conversion
    std::condition_variable pictq_cond;
    AVFrame* shown = nullptr; // the picture on screen
    bool shown_flip = false;
    double shown_pts = 0;
    // Changed under pictq_mutex (the refresh and the queue), read by the video thread as it decodes.
    std::atomic<double> skip_frames{1};
    double skip_frames_index = 0; // the video thread's own
    std::atomic<int> refresh{0};
    SwsContext* display_sws = nullptr;
    SwsContext* frame_sws = nullptr;
    SwsContext* hook_to_sws = nullptr;
    SwsContext* hook_from_sws = nullptr;
    TPlayerBitmap hook_bitmap;
    std::unique_ptr<TBitmap> hook_tbitmap; // what the hook handler draws on
    // The spectrum display.
    RDFTContext* rdft = nullptr;
    int rdft_bits = 0;
    std::vector<float> rdft_data;
    int xpos = 0;
    std::atomic<bool> clear_display{true}; // the spectrum starts on black

    String filename;
    String vfilters; // the user's filters, as they were when the playback opened
    std::atomic<int> Opened{0};
    Int64 StartTime = 0, Duration = -1, AudioDuration = -1;
    bool IsImage2 = false, IsDevice = false;
    std::atomic<int> ErrorEOF{0}, EventEOF{0}, ReachEOF{0}, Reading{0};
    std::atomic<int> open_paused{0}, seek_paused{0}, seek_done{0}, seek_flushed{0};
    // A paused open has queued its second picture: psPause follows once that picture is on screen, so the
    // position report of the shown picture separates it from psPlay in the event ring.
    std::atomic<bool> pause_when_shown{false};
    // Seeks carried out by the reader; the video thread's count of the flush markers it took; the
    // seek whose first picture has been shown. A waiting seek ends with its own picture on screen.
    std::atomic<int> seek_serial{0}, shown_serial{0};
    int flushed_serial = 0;
    // The video decoder has given out its last picture (the end of the file reached it).
    std::atomic<bool> video_drained{false};
    // Where the audio clock stands after a seek, before the first packet tells.
    std::atomic<double> audio_seek_clock{0};
    // When the audio output last found no packet to play (µs; 0 while it has packets).
    std::atomic<int64_t> audio_starved_since{0};
    // Positions only move forward between seeks: the lowest position the next report may give, and
    // the seek it belongs to. Reports come from the GUI thread and the event thread: both under floor_lock.
    std::mutex floor_lock;
    Int64 position_floor = INT64_MIN;
    int floor_serial = 0;
    TFlagEvent SeekEvent, PictEvent;

    void PushEvent(int ACode) { Owner->PushPlayerEvent(ACode); }
    void AudioCallback(Uint8* AStream, int ALen);

    ~TVideoState();

    double GetAudioClock() {
        if (audio_stream < 0)
            return audio_clock;
        int BytesPerSec = audio_rate * 2 * audio_channels;
        if (BytesPerSec == 0)
            return audio_clock;
        std::lock_guard Guard(audio_clock_mutex);
        if (audio_cb_time == 0)
            return audio_clock - double(audio_feed.Pending()) / BytesPerSec;
        double Elapsed = paused ? 0 : (av::av_gettime() - audio_cb_time) / 1000000.0;
        return audio_cb_base + std::clamp(Elapsed, 0.0, audio_cb_span);
    }
    double GetVideoClock() {
        std::lock_guard Guard(clock_mutex);
        if (paused)
            return video_current_pts;
        if (video_current_pts_drift != 0)
            return WallClock() + video_current_pts_drift;
        return StartTime / 1000000.0;
    }
    double GetExternalClock() { return WallClock(); }
    // The stamp of the picture on screen (seconds).
    double ShownClock() {
        std::lock_guard Guard(clock_mutex);
        return video_current_pts;
    }
    // The audio has played out while the file goes on (or its packets stay away for half a second):
    // its clock stands still, so it can no longer lead the pictures.
    bool AudioEnded() {
        int64_t Since = audio_starved_since;
        return Since != 0 && audio_feed.Pending() == 0 && (ErrorEOF || av::av_gettime() - Since > 500000);
    }
    bool AudioIsMaster() { return audio_stream >= 0 && !AudioEnded(); }
    double GetMasterClock() {
        if (av_sync_type == AV_SYNC_VIDEO_MASTER)
            return video_stream >= 0 ? GetVideoClock() : GetAudioClock();
        if (av_sync_type == AV_SYNC_AUDIO_MASTER)
            return AudioIsMaster() || video_stream < 0 ? GetAudioClock() : GetVideoClock();
        return GetExternalClock();
    }
    // The end of the file is on screen: the reader has reached it, and the last picture is shown.
    bool OutputEnded() {
        if (ReachEOF != 1)
            return false;
        if (video_stream < 0)
            return audio_feed.Pending() == 0;
        std::lock_guard Guard(pictq_mutex);
        return video_drained && pictq_size == 0;
    }

    // The reader (FFPlayerReader.cpp).
    void ReadThread();
    bool OpenInput(const std::string& AName, AVIOContext* AInput);
    bool OpenStreams();
    void ReadLoop(AVPacket* APkt, const std::string& AName);
    bool ReadPacket(AVPacket* APkt, const std::string& AName, bool& AEofMark);
    void DoSeek();
    int64_t NextKeyFrameTime(AVPacket* APkt);
    void LandOnKeyFrame(int64_t ATarget, int AFlags);
    // The decoders (FFPlayerDecoders.cpp).
    int StreamComponentOpen(int AIndex);
    void ApplyDecoderOptions(AVCodecContext* ACtx, const AVCodec* ACodec);
    void StreamComponentClose(int AIndex);
    void StreamClose();
    void VideoThread();
    void FlushVideo();
    int DeliverPicture(AVFrame* ADecoded, TVideoFilter& AFilter, AVFrame* AFiltered);
    int QueuePicture(AVFrame* AFrame, double APts, int64_t APos, bool AFlipped);
    bool DoHook(AVFrame* AFrame, double APts);
    void ShownPicture(TPlayerBitmap& APicture, Int64& APTS);
    void SubtitleThread();
    // The display (FFPlayerDisplay.cpp).
    void RefreshThread();
    void VideoRefresh(bool AAdvance);
    void VideoDisplay();
    void VideoImageDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight);
    void VideoAudioDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight);
    void SpectrumColumn(uint32_t* ABits, int APitch, int AWidth, int AHeight, int AStart, int ARdftBits);
    // The audio output (FFPlayerAudio.cpp).
    int OpenAudio(AVStream* St, AVCodecContext* Ctx, int AIndex);
    int AudioDecodeFrame(const uint8_t*& AData);
    int SynchronizeAudio(const uint8_t* AData, int ASize);
    void UpdateSampleDisplay(const uint8_t* AData, int ASize);
};
