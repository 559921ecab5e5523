#include "engine/FFPlayer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "engine/SDLStubs.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"
#include "engine/UnicodeProtocol.h"
#include "platform/base/Threads.h"
#include "platform/win/VideoSurface.h"
#include "platform/win/WinExtras.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

namespace {

using Clock = std::chrono::steady_clock;

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
constexpr int PACKET_NODE_SIZE = 72;
constexpr int SAMPLE_ARRAY_SIZE = 2 * 65536;
constexpr uint32_t Black = 0xFF000000u;
constexpr uint32_t White = 0xFFFFFFFFu;

double WallClock() {
    return av::av_gettime() / 1000000.0;
}

void SleepMs(int AMs) {
    std::this_thread::sleep_for(std::chrono::milliseconds(AMs));
}

std::string ErrorText(int ACode) {
    char Buf[256] = {};
    if (av::av_strerror(ACode, Buf, sizeof(Buf)) < 0)
        std::snprintf(Buf, sizeof(Buf), "Error number %d occurred", ACode);
    return Buf;
}

} // namespace

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

// Packets waiting for a decoder. The flush marker is a node without packet: it tells the decoder
// to drop what it holds (after a seek); a packet without data in the video queue means end of file.
struct TPacketQueue {
    struct TNode {
        AVPacket* Pkt = nullptr;
        bool Flush = false;
    };
    std::deque<TNode> Nodes;
    int nb_packets = 0;
    int size = 0;
    bool abort_request = false;
    std::mutex mutex;
    std::condition_variable cond;

    ~TPacketQueue() { Flush(); }
    void Flush() {
        std::lock_guard Guard(mutex);
        for (TNode& N : Nodes)
            av::av_packet_free(&N.Pkt);
        Nodes.clear();
        nb_packets = size = 0;
    }
    // Takes over APkt's data; false when no memory.
    bool Put(AVPacket* APkt) {
        AVPacket* Own = av::av_packet_alloc();
        if (!Own)
            return false;
        av::av_packet_move_ref(Own, APkt);
        std::lock_guard Guard(mutex);
        Nodes.push_back({Own, false});
        ++nb_packets;
        size += Own->size + PACKET_NODE_SIZE;
        cond.notify_all();
        return true;
    }
    void PutFlush() {
        std::lock_guard Guard(mutex);
        Nodes.push_back({nullptr, true});
        ++nb_packets;
        size += PACKET_NODE_SIZE;
        cond.notify_all();
    }
    void PutEnd(int AStreamIndex) {
        AVPacket* Pkt = av::av_packet_alloc();
        if (!Pkt)
            return;
        Pkt->stream_index = AStreamIndex;
        std::lock_guard Guard(mutex);
        Nodes.push_back({Pkt, false});
        ++nb_packets;
        size += PACKET_NODE_SIZE;
        cond.notify_all();
    }
    void Abort() {
        std::lock_guard Guard(mutex);
        abort_request = true;
        cond.notify_all();
    }
    bool Aborted() {
        std::lock_guard Guard(mutex);
        return abort_request;
    }
    int Size() {
        std::lock_guard Guard(mutex);
        return size;
    }
    int Count() {
        std::lock_guard Guard(mutex);
        return nb_packets;
    }
    // -1 aborted, 1 a node in ANode (the caller frees its packet), 0 empty without blocking.
    int Get(TNode& ANode, bool ABlock) {
        std::unique_lock Guard(mutex);
        for (;;) {
            if (abort_request)
                return -1;
            if (!Nodes.empty()) {
                ANode = Nodes.front();
                Nodes.pop_front();
                --nb_packets;
                size -= (ANode.Pkt ? ANode.Pkt->size : 0) + PACKET_NODE_SIZE;
                return 1;
            }
            if (!ABlock)
                return 0;
            cond.wait(Guard);
        }
    }
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
    int read_pause_return = 0;
    AVFormatContext* ic = nullptr;
    Tav_sync_type av_sync_type = AV_SYNC_AUDIO_MASTER;

    // Audio.
    std::atomic<int> audio_stream{-1};
    AVStream* audio_st = nullptr;
    AVCodecContext* audio_ctx = nullptr;
    TPacketQueue audioq;
    SDL_AudioDeviceID audio_dev = 0;
    int audio_channels = 0, audio_rate = 0;
    double audio_clock = 0;
    TAudioSync audio_sync;
    TAudioFeed audio_feed;
    std::vector<uint8_t> audio_buf; // sized to what the decoder delivers
    AVFrame* audio_frame = nullptr;
    SwrContext* swr = nullptr;
    int swr_fmt = -1, swr_rate = 0, swr_channels = 0;
    bool audio_eof = false;
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
    TFrameTimer timer;
    double video_clock = 0;
    std::atomic<int> video_stream{-1};
    AVStream* video_st = nullptr;
    AVCodecContext* video_ctx = nullptr;
    TPacketQueue videoq;
    double video_current_pts = 0, video_current_pts_drift = 0;
    int64_t video_current_pos = -1;
    TVideoPicture pictq[VIDEO_PICTURE_QUEUE_SIZE];
    int pictq_size = 0, pictq_rindex = 0, pictq_windex = 0;
    std::mutex pictq_mutex; // also guards the shown picture and the current-frame conversion
    std::condition_variable pictq_cond;
    AVFrame* shown = nullptr; // the picture on screen
    bool shown_flip = false;
    double shown_pts = 0;
    double skip_frames = 1, skip_frames_index = 0;
    std::atomic<int> refresh{0};
    SwsContext* display_sws = nullptr;
    SwsContext* frame_sws = nullptr;
    SwsContext* hook_to_sws = nullptr;
    SwsContext* hook_from_sws = nullptr;
    TPlayerBitmap hook_bitmap;
    // The spectrum display.
    RDFTContext* rdft = nullptr;
    int rdft_bits = 0;
    std::vector<float> rdft_data;
    int xpos = 0;
    std::atomic<bool> clear_display{true}; // the spectrum starts on black

    String filename;
    std::atomic<int> Opened{0};
    Int64 StartTime = 0, Duration = -1, AudioDuration = -1;
    bool IsImage2 = false, IsDevice = false;
    std::atomic<int> ErrorEOF{0}, EventEOF{0}, ReachEOF{0}, Reading{0};
    std::atomic<int> open_paused{0}, seek_paused{0}, seek_done{0}, seek_flushed{0};
    TFlagEvent SeekEvent, PictEvent;

    void PushEvent(int ACode) { Owner->PushPlayerEvent(ACode); }
    void AudioCallback(Uint8* AStream, int ALen) {
        Owner->Faudio_callback_time = av::av_gettime();
        audio_feed.Fill(AStream, ALen, Owner->FAudioVolume, Owner->FMute);
    }

    ~TVideoState() {
        for (TVideoPicture& P : pictq)
            av::av_frame_free(&P.frame);
        av::av_frame_free(&shown);
        for (TSubPicture& S : subpq)
            if (S.used)
                av::avsubtitle_free(&S.sub);
        av::av_frame_free(&audio_frame);
        av::swr_free(&swr);
        av::sws_freeContext(display_sws);
        av::sws_freeContext(frame_sws);
        av::sws_freeContext(hook_to_sws);
        av::sws_freeContext(hook_from_sws);
        if (rdft)
            av::av_rdft_end(rdft);
    }

    double GetAudioClock() {
        int BytesPerSec = audio_rate * 2 * audio_channels;
        if (audio_stream >= 0 && BytesPerSec != 0)
            return audio_clock - double(audio_feed.Pending()) / BytesPerSec;
        return audio_clock;
    }
    double GetVideoClock() {
        if (paused)
            return video_current_pts;
        if (video_current_pts_drift != 0)
            return WallClock() + video_current_pts_drift;
        return StartTime / 1000000.0;
    }
    double GetExternalClock() { return WallClock(); }
    double GetMasterClock() {
        if (av_sync_type == AV_SYNC_VIDEO_MASTER)
            return video_stream >= 0 ? GetVideoClock() : GetAudioClock();
        if (av_sync_type == AV_SYNC_AUDIO_MASTER)
            return audio_stream >= 0 ? GetAudioClock() : GetVideoClock();
        return GetExternalClock();
    }

    // Pipeline steps, in FFPlayer.cpp below.
    void ReadThread();
    int StreamComponentOpen(int AIndex);
    void StreamComponentClose(int AIndex);
    void StreamClose();
    void VideoThread();
    void SubtitleThread();
    void RefreshThread();
    int QueuePicture(AVFrame* AFrame, double APts, int64_t APos, bool AFlipped);
    bool DoHook(AVFrame* AFrame, double APts);
    void VideoRefresh(bool AAdvance);
    void VideoDisplay();
    void VideoImageDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight);
    void VideoAudioDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight);
    void SpectrumColumn(uint32_t* ABits, int APitch, int AWidth, int AHeight, int AStart, int ARdftBits);
    int AudioDecodeFrame(const uint8_t*& AData);
    int SynchronizeAudio(const uint8_t* AData, int ASize);
    void UpdateSampleDisplay(const uint8_t* AData, int ASize);
};

// ---------------------------------------------------------------------------------------------
// Read thread

static int DecodeInterruptCallback(void* AState) {
    return static_cast<TVideoState*>(AState)->abort_request ? 1 : 0;
}

namespace {

// The input of a pipe or a device, read so that a Stop can always interrupt it: the descriptor does
// not block, and a wait for data (a writer that stalls, a slow device) lasts at most 100 ms before the
// playback's abort flag is looked at again. The libraries' own file reads would sit in the system
// call, out of reach of the interrupt callback. Regular files are left to the libraries, so that
// their demuxer choice (a picture file opens as "image2") stays what it is everywhere else.
class TPlayerInput {
public:
    ~TPlayerInput() { Close(); }

    // Opens APath when it names a pipe or a character device; false leaves the name to the libraries.
    bool Open(const std::string& APath, const std::atomic<bool>* AAbort) {
        struct stat St {};
        if (::stat(APath.c_str(), &St) != 0 || !(S_ISFIFO(St.st_mode) || S_ISCHR(St.st_mode)))
            return false;
        FFd = ::open(APath.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
        if (FFd < 0)
            return false;
        FAbort = AAbort;
        constexpr int BufferSize = 32768;
        auto* Buffer = static_cast<unsigned char*>(av::av_malloc(BufferSize));
        if (Buffer)
            FPb = av::avio_alloc_context(Buffer, BufferSize, 0, this, &Read, nullptr, nullptr);
        if (!FPb) {
            av::av_free(Buffer);
            Close();
            return false;
        }
        return true;
    }
    AVIOContext* Context() const { return FPb; }
    void Close() {
        if (FPb) {
            av::av_freep(&FPb->buffer);
            av::avio_context_free(&FPb);
        }
        if (FFd >= 0)
            ::close(FFd);
        FFd = -1;
    }

private:
    static int Read(void* AOpaque, uint8_t* ABuf, int ASize) {
        auto* Self = static_cast<TPlayerInput*>(AOpaque);
        for (;;) {
            if (Self->FAbort && *Self->FAbort)
                return AVERROR_EXIT;
            ssize_t N = ::read(Self->FFd, ABuf, size_t(ASize));
            if (N > 0)
                return int(N);
            if (N == 0)
                return AVERROR_EOF;
            if (errno == EINTR)
                continue;
            if (errno != EAGAIN && errno != EWOULDBLOCK)
                return AVERROR(errno);
            pollfd P{Self->FFd, POLLIN, 0};
            ::poll(&P, 1, 100);
        }
    }

    int FFd = -1;
    const std::atomic<bool>* FAbort = nullptr;
    AVIOContext* FPb = nullptr;
};

} // namespace

void TVideoState::ReadThread() {
    TCustomPlayer* P = Owner;
    std::string Name = UnicodeFileURL(filename);
    TPlayerInput Input;
    int Best[AVMEDIA_TYPE_NB];
    int Count[AVMEDIA_TYPE_NB];
    int Chosen[AVMEDIA_TYPE_NB];
    for (int K = 0; K < AVMEDIA_TYPE_NB; ++K) {
        Best[K] = -1;
        Count[K] = 0;
        Chosen[K] = -1;
    }
    bool EofMark = false;
    AVPacket* Pkt = av::av_packet_alloc();
    AVFormatContext* Ctx = av::avformat_alloc_context();
    int Err = 0;
    if (!Pkt || !Ctx) {
        P->FLastErrMsg = u"av_mallocz() failed.";
        av::avformat_free_context(Ctx);
        goto Fail;
    }
    Ctx->interrupt_callback.callback = DecodeInterruptCallback;
    Ctx->interrupt_callback.opaque = this;
    if (Input.Open(Name.compare(0, 5, "file:") == 0 ? Name.substr(5) : Name, &abort_request))
        Ctx->pb = Input.Context();
    Err = av::avformat_open_input(&Ctx, Name.c_str(), iformat, nullptr);
    if (Err < 0) {
        P->FLastErrMsg = UTF8ToString(UTF8Encode(filename) + ": " + ErrorText(Err));
        goto Fail; // the library freed the context
    }
    ic = Ctx;
    if (P->Fgenpts)
        ic->flags |= AVFMT_FLAG_GENPTS;
    if (av::avformat_find_stream_info(ic, nullptr) < 0) {
        P->FLastErrMsg = Format(u"%s: could not find codec parameters", {filename});
        goto Fail;
    }
    if (ic->pb)
        ic->pb->eof_reached = 0;
    if (P->Fseek_by_bytes < 0)
        P->Fseek_by_bytes = (ic->iformat->flags & AVFMT_TS_DISCONT) ? 1 : 0;
    {
        std::string Short = ic->iformat->name ? ic->iformat->name : "";
        // A single picture opens with "image2" or one of the "*_pipe" demuxers: all are pictures.
        IsImage2 = Short == "image2" || (Short.size() > 5 && Short.compare(Short.size() - 5, 5, "_pipe") == 0);
        IsDevice = Short == "vfwcap" || Short == "vfwcapture" || Short == "video4linux2,v4l2";
    }
    StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0;
    Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : -1;
    if (P->Fstart_time != INT64_MIN) {
        int64_t Timestamp = P->Fstart_time + (ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0);
        if (av::avformat_seek_file(ic, -1, INT64_MIN, Timestamp, INT64_MAX, 0) < 0)
            P->LogError(Format(u"%s: could not seek to position %0.3f", {filename, Timestamp / 1000000.0}), false);
    }
    for (unsigned I = 0; I < ic->nb_streams; ++I) {
        AVStream* St = ic->streams[I];
        St->discard = AVDISCARD_ALL;
        int K = St->codecpar->codec_type;
        if (K < 0 || K >= AVMEDIA_TYPE_NB || K > AVMEDIA_TYPE_SUBTITLE)
            continue;
        int Wanted = P->Fwanted_stream[K + 1];
        bool Candidate = Wanted < 0 || Wanted == Count[K];
        ++Count[K];
        if (!Candidate)
            continue;
        // 5.1 keeps the probing frame count private; the container's frame count stands in for it.
        int Frames = int(std::min<int64_t>(St->nb_frames, INT32_MAX));
        if (Frames > Best[K]) {
            Best[K] = Frames;
            if (K == AVMEDIA_TYPE_AUDIO ? !P->Faudio_disable
                                        : (K == AVMEDIA_TYPE_VIDEO || K == AVMEDIA_TYPE_SUBTITLE) && !P->Fvideo_disable)
                Chosen[K] = int(I);
        }
    }
    if (Chosen[AVMEDIA_TYPE_AUDIO] >= 0)
        StreamComponentOpen(Chosen[AVMEDIA_TYPE_AUDIO]);
    {
        int Ret = -1;
        if (Chosen[AVMEDIA_TYPE_VIDEO] >= 0)
            Ret = StreamComponentOpen(Chosen[AVMEDIA_TYPE_VIDEO]);
        if (Ret < 0 && !P->Fdisplay_disable)
            show_audio = 2;
    }
    if (Chosen[AVMEDIA_TYPE_SUBTITLE] >= 0)
        StreamComponentOpen(Chosen[AVMEDIA_TYPE_SUBTITLE]);
    if (video_stream < 0 && audio_stream < 0) {
        P->FLastErrMsg = Format(u"%s: could not open codecs, no stream to play.", {filename});
        goto Fail;
    }
    Opened = 1;

    while (!abort_request) {
        if (paused != last_paused) {
            last_paused = paused;
            if (paused)
                read_pause_return = av::av_read_pause(ic);
            else
                av::av_read_play(ic);
        }
        if (seek_req) {
            int64_t Target = seek_pos;
            int64_t Min = seek_rel > 0 ? Target - seek_rel + 2 : INT64_MIN;
            int64_t Max = seek_rel < 0 ? Target - seek_rel - 2 : INT64_MAX;
            int Ret = av::avformat_seek_file(ic, -1, Min, Target, Max, seek_flags);
            if (Ret < 0)
                Ret = av::av_seek_frame(ic, -1, Target, seek_flags);
            if (Ret < 0)
                Ret = av::av_seek_frame(ic, -1, Target, seek_flags ^ AVSEEK_FLAG_BACKWARD);
            if (Ret < 0) {
                P->LogError(Format(u"%s: error while seeking", {filename}), false);
                if (video_stream >= 0)
                    PictEvent.Set();
            } else {
                if (audio_stream >= 0) {
                    audioq.Flush();
                    audioq.PutFlush();
                }
                if (subtitle_stream >= 0) {
                    subtitleq.Flush();
                    subtitleq.PutFlush();
                }
                if (video_stream >= 0) {
                    seek_flushed = 0;
                    videoq.Flush();
                    videoq.PutFlush();
                    PictEvent.Reset();
                }
            }
            ErrorEOF = 0;
            ReachEOF = 0;
            seek_req = 0;
            seek_done = 1;
            SeekEvent.Set();
            if (video_stream < 0)
                P->FSeeking = false;
            EofMark = false;
        }
        int Total = audioq.Size() + videoq.Size() + subtitleq.Size();
        if (Total > MAX_QUEUE_SIZE || ((audio_stream < 0 || audioq.Size() > MIN_AUDIOQ_SIZE) &&
                                       (video_stream < 0 || videoq.Count() > MIN_FRAMES) &&
                                       (subtitle_stream < 0 || subtitleq.Count() > MIN_FRAMES))) {
            SleepMs(10);
            continue;
        }
        if (EofMark || (ic->pb && av::avio_feof(ic->pb))) {
            if (video_stream >= 0) {
                videoq.PutEnd(video_stream);
                PictEvent.Set();
            }
            SleepMs(10);
            if (audioq.Size() == 0 && videoq.Size() == 0 && subtitleq.Size() == 0)
                ReachEOF = 1;
            continue;
        }
        Reading = 1;
        int Ret = av::av_read_frame(ic, Pkt);
        Reading = 0;
        if (abort_request)
            break;
        if (Ret < 0) {
            if (Ret == AVERROR(EAGAIN)) {
                SleepMs(10);
                continue;
            }
            if (video_stream >= 0)
                PictEvent.Set();
            if (!IsImage2 && ErrorEOF == 0) {
                ErrorEOF = 1;
                if (Ret == AVERROR_EOF)
                    av::av_log(nullptr, AV_LOG_INFO, "reach end of file: %s\n", Name.c_str());
                else
                    P->LogError(Format(u"error #%d while reading file: %s", {Ret, filename}), false);
            }
            if (Ret == AVERROR_EOF)
                EofMark = true;
            else if (ic->pb && ic->pb->error)
                break;
            else
                SleepMs(100);
            continue;
        }
        if (Pkt->stream_index == audio_stream)
            audioq.Put(Pkt);
        else if (Pkt->stream_index == video_stream)
            videoq.Put(Pkt);
        else if (Pkt->stream_index == subtitle_stream)
            subtitleq.Put(Pkt);
        av::av_packet_unref(Pkt);
    }
    while (!abort_request)
        SleepMs(100);
    goto End;

Fail:
    if (Opened != 1)
        Opened = -1;
End:
    if (audio_stream >= 0)
        StreamComponentClose(audio_stream);
    if (video_stream >= 0)
        StreamComponentClose(video_stream);
    if (subtitle_stream >= 0)
        StreamComponentClose(subtitle_stream);
    if (ic)
        av::avformat_close_input(&ic);
    av::av_packet_free(&Pkt);
    if (Opened == -1)
        Opened = -2;
}

// ---------------------------------------------------------------------------------------------
// Decoders

static void AudioCallbackThunk(void* AState, Uint8* AStream, int ALen) {
    static_cast<TVideoState*>(AState)->AudioCallback(AStream, ALen);
}

// Opens SDL's audio output; where no device opens, SDL's "dummy" driver plays at the real rate
// into nothing, so that the audio clock still runs.
static SDL_AudioDeviceID OpenAudioDevice(const SDL_AudioSpec& AWanted, SDL_AudioSpec& AObtained, String& AError) {
    if (sdl::SDL_WasInit(SDL_INIT_AUDIO) == 0 && sdl::SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
        sdl::SDL_AudioInit("dummy");
    SDL_AudioDeviceID Dev = sdl::SDL_OpenAudioDevice(nullptr, 0, &AWanted, &AObtained, 0);
    if (Dev == 0) {
        AError = UTF8ToString(sdl::SDL_GetError());
        const char* Current = sdl::SDL_GetCurrentAudioDriver();
        if (!Current || std::strcmp(Current, "dummy") != 0) {
            sdl::SDL_AudioQuit();
            if (sdl::SDL_AudioInit("dummy") == 0)
                Dev = sdl::SDL_OpenAudioDevice(nullptr, 0, &AWanted, &AObtained, 0);
        }
    }
    return Dev;
}

int TVideoState::StreamComponentOpen(int AIndex) {
    TCustomPlayer* P = Owner;
    if (!ic || AIndex < 0 || AIndex >= int(ic->nb_streams))
        return -1;
    AVStream* St = ic->streams[AIndex];
    const AVCodec* Codec = av::avcodec_find_decoder(St->codecpar->codec_id);
    AVCodecContext* Ctx = Codec ? av::avcodec_alloc_context3(Codec) : nullptr;
    int Ret = -1;
    if (Ctx && av::avcodec_parameters_to_context(Ctx, St->codecpar) >= 0) {
        Ctx->pkt_timebase = St->time_base;
        Ctx->workaround_bugs = P->Fworkaround_bugs;
        Ctx->lowres = std::min<int>(P->Flowres, Codec->max_lowres);
        Ctx->idct_algo = P->Fidct_algo;
        Ctx->error_concealment = P->Ferror_concealment;
        if (P->Ffast)
            Ctx->flags2 |= AV_CODEC_FLAG2_FAST;
        Ctx->thread_count = 1;
        std::lock_guard Guard(CodecLock);
        Ret = av::avcodec_open2(Ctx, Codec, nullptr);
    }
    if (Ret < 0) {
        av::avcodec_free_context(&Ctx);
        P->LogError(u"avcodec_open() failed.", false);
        return -1;
    }
    switch (St->codecpar->codec_type) {
    case AVMEDIA_TYPE_AUDIO: {
        int Channels = Ctx->ch_layout.nb_channels;
        if (Ctx->sample_rate <= 0 || Channels <= 0) {
            std::lock_guard Guard(CodecLock);
            av::avcodec_free_context(&Ctx);
            P->LogError(u"avcodec_open() failed.", false);
            return -1;
        }
        SDL_AudioSpec Wanted{}, Obtained{};
        Wanted.freq = Ctx->sample_rate;
        Wanted.format = AUDIO_S16SYS;
        Wanted.channels = Uint8(Channels == 1 ? 1 : 2);
        Wanted.silence = 0;
        Wanted.samples = 1024;
        Wanted.callback = AudioCallbackThunk;
        Wanted.userdata = this;
        audio_ctx = Ctx;
        audio_st = St;
        audio_channels = Wanted.channels;
        audio_rate = Wanted.freq;
        audio_clock = 0;
        audio_feed.Reset();
        audio_sync.Init(audio_rate);
        audio_frame = av::av_frame_alloc();
        audio_feed.Decode = [this](const uint8_t*& AData) { return AudioDecodeFrame(AData); };
        audio_feed.Aborted = [this] { return audioq.Aborted(); };
        audio_feed.SampleDisplay = [this](const uint8_t* AData, int ASize) {
            if (show_audio)
                UpdateSampleDisplay(AData, ASize);
        };
        audio_feed.Synchronize = [this](const uint8_t* AData, int ASize) { return SynchronizeAudio(AData, ASize); };
        audioq.abort_request = false;
        audioq.PutFlush();
        String Error;
        audio_dev = OpenAudioDevice(Wanted, Obtained, Error);
        if (audio_dev == 0) {
            audio_ctx = nullptr;
            audio_st = nullptr;
            audioq.Flush();
            std::lock_guard Guard(CodecLock);
            av::avcodec_free_context(&Ctx);
            P->LogError(u"SDL_OpenAudio() failed: " + Error, false);
            return -1;
        }
        St->discard = AVDISCARD_DEFAULT;
        AudioDuration =
            St->duration != AV_NOPTS_VALUE ? av::av_rescale_q(St->duration, St->time_base, {1, 1000000}) : -1;
        audio_stream = AIndex;
        sdl::SDL_PauseAudioDevice(audio_dev, 0);
        break;
    }
    case AVMEDIA_TYPE_VIDEO:
        video_ctx = Ctx;
        video_st = St;
        St->discard = AVDISCARD_DEFAULT;
        videoq.abort_request = false;
        videoq.PutFlush();
        video_stream = AIndex;
        video_tid = std::thread([this] { VideoThread(); });
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        subtitle_ctx = Ctx;
        subtitle_st = St;
        St->discard = AVDISCARD_DEFAULT;
        subtitleq.abort_request = false;
        subtitleq.PutFlush();
        subtitle_stream = AIndex;
        subtitle_tid = std::thread([this] { SubtitleThread(); });
        break;
    default: {
        std::lock_guard Guard(CodecLock);
        av::avcodec_free_context(&Ctx);
        return -1;
    }
    }
    return 0;
}

void TVideoState::StreamComponentClose(int AIndex) {
    if (!ic || AIndex < 0 || AIndex >= int(ic->nb_streams))
        return;
    AVCodecContext* Ctx = nullptr;
    switch (ic->streams[AIndex]->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        videoq.Abort();
        {
            std::lock_guard Guard(pictq_mutex);
            pictq_cond.notify_all();
        }
        if (video_tid.joinable())
            video_tid.join();
        videoq.Flush();
        Ctx = video_ctx;
        video_ctx = nullptr;
        video_st = nullptr;
        video_stream = -1;
        break;
    case AVMEDIA_TYPE_AUDIO:
        audioq.Abort();
        if (audio_dev)
            sdl::SDL_CloseAudioDevice(audio_dev);
        audio_dev = 0;
        audioq.Flush();
        av::swr_free(&swr);
        av::av_frame_free(&audio_frame);
        swr_fmt = -1;
        Ctx = audio_ctx;
        audio_ctx = nullptr;
        audio_st = nullptr;
        audio_stream = -1;
        AudioDuration = -1;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        subtitleq.Abort();
        {
            std::lock_guard Guard(subpq_mutex);
            subtitle_stream_changed = true;
            subpq_cond.notify_all();
        }
        if (subtitle_tid.joinable())
            subtitle_tid.join();
        subtitleq.Flush();
        Ctx = subtitle_ctx;
        subtitle_ctx = nullptr;
        subtitle_st = nullptr;
        subtitle_stream = -1;
        break;
    default:
        break;
    }
    ic->streams[AIndex]->discard = AVDISCARD_ALL;
    std::lock_guard Guard(CodecLock);
    av::avcodec_free_context(&Ctx);
}

void TVideoState::StreamClose() {
    abort_request = true;
    if (parse_tid.joinable())
        parse_tid.join();
    if (refresh_tid.joinable())
        refresh_tid.join();
}

// The video filter graph: the decoder's pictures, the user's filters, planar YUV 4:2:0 out.
namespace {
struct TVideoFilter {
    AVFilterGraph* Graph = nullptr;
    AVFilterContext* Src = nullptr;
    AVFilterContext* Sink = nullptr;
    int Width = 0, Height = 0, Format = -1;

    ~TVideoFilter() { av::avfilter_graph_free(&Graph); }

    bool Build(const AVFrame* AFrame, AVRational ATimeBase, const String& AFilters, int ASwsFlags) {
        av::avfilter_graph_free(&Graph);
        Graph = av::avfilter_graph_alloc();
        if (!Graph)
            return false;
        char Opts[32];
        std::snprintf(Opts, sizeof(Opts), "flags=%d", ASwsFlags);
        Graph->scale_sws_opts = av::av_strdup(Opts);
        AVRational Sar = AFrame->sample_aspect_ratio;
        if (Sar.num <= 0 || Sar.den <= 0)
            Sar = {0, 1};
        char Args[256];
        std::snprintf(Args, sizeof(Args), "video_size=%dx%d:pix_fmt=%d:time_base=%d/%d:pixel_aspect=%d/%d",
                      AFrame->width, AFrame->height, AFrame->format, ATimeBase.num, ATimeBase.den, Sar.num, Sar.den);
        if (av::avfilter_graph_create_filter(&Src, av::avfilter_get_by_name("buffer"), "src", Args, nullptr, Graph) < 0)
            return false;
        if (av::avfilter_graph_create_filter(&Sink, av::avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                             Graph) < 0)
            return false;
        const AVPixelFormat Formats[] = {AV_PIX_FMT_YUV420P};
        if (av::av_opt_set_bin(Sink, "pix_fmts", reinterpret_cast<const uint8_t*>(Formats), sizeof(Formats),
                               AV_OPT_SEARCH_CHILDREN) < 0)
            return false;
        if (!AFilters.empty()) {
            AVFilterInOut* Outputs = av::avfilter_inout_alloc();
            AVFilterInOut* Inputs = av::avfilter_inout_alloc();
            if (!Outputs || !Inputs) {
                av::avfilter_inout_free(&Outputs);
                av::avfilter_inout_free(&Inputs);
                return false;
            }
            Outputs->name = av::av_strdup("in");
            Outputs->filter_ctx = Src;
            Inputs->name = av::av_strdup("out");
            Inputs->filter_ctx = Sink;
            int Ret = av::avfilter_graph_parse_ptr(Graph, UTF8Encode(AFilters).c_str(), &Inputs, &Outputs, nullptr);
            av::avfilter_inout_free(&Outputs);
            av::avfilter_inout_free(&Inputs);
            if (Ret < 0)
                return false;
        } else if (av::avfilter_link(Src, 0, Sink, 0) < 0)
            return false;
        if (av::avfilter_graph_config(Graph, nullptr) < 0)
            return false;
        Width = AFrame->width;
        Height = AFrame->height;
        Format = AFrame->format;
        return true;
    }
};
} // namespace

void TVideoState::VideoThread() {
    TCustomPlayer* P = Owner;
    AVFrame* Frame = av::av_frame_alloc();
    AVFrame* Filtered = av::av_frame_alloc();
    TVideoFilter Filter;
    bool Drained = false;
    auto Deliver = [&](AVFrame* ADecoded) -> int {
        // A picture size or format change needs a new graph: the buffer source does not follow.
        if (!Filter.Graph || ADecoded->width != Filter.Width || ADecoded->height != Filter.Height ||
            ADecoded->format != Filter.Format) {
            if (!Filter.Build(ADecoded, video_st->time_base, P->Fvfilters, P->Fsws_flags))
                return -1;
        }
        if (av::av_buffersrc_add_frame(Filter.Src, ADecoded) < 0)
            return -1;
        for (;;) {
            int Ret = av::av_buffersink_get_frame(Filter.Sink, Filtered);
            if (Ret == AVERROR(EAGAIN) || Ret == AVERROR_EOF)
                return 0;
            if (Ret < 0)
                return -1;
            if (seek_done && seek_flushed) {
                seek_done = 0;
                seek_paused = 0;
            }
            AVRational Tb = av::av_buffersink_get_time_base(Filter.Sink);
            double Pts = Filtered->pts == AV_NOPTS_VALUE ? 0 : Filtered->pts * av_q2d(Tb);
            int64_t Pos = Filtered->pkt_pos;
            // The picture's own stamp, or the running clock; the clock then moves by its duration.
            if (Pts != 0)
                video_clock = Pts;
            else
                Pts = video_clock;
            AVRational Rate = av::av_guess_frame_rate(ic, video_st, nullptr);
            double D = Rate.num > 0 && Rate.den > 0 ? av_q2d(av_inv_q(Rate)) : 0.04;
            video_clock += D + Filtered->repeat_pict * D / 2;
            // A hooked picture comes back already turned when VerticalFlip asks for it.
            bool Hooked = P->FHook && P->OnHook && DoHook(Filtered, Pts);
            if (QueuePicture(Filtered, Pts, Pos, Hooked) < 0)
                return -1;
            // Seeking ends before the picture event: a waiting seek returns with Seeking false.
            if (P->FSeeking && !seek_req)
                P->FSeeking = false;
            EventEOF = 0;
            PictEvent.Set();
            if (open_paused) {
                if (open_paused < 2)
                    ++open_paused;
                else {
                    open_paused = 0;
                    P->ChangeState(psPause);
                }
            }
            if (P->Fstep)
                P->StreamPause();
        }
    };
    while (Frame && Filtered) {
        while (paused && !videoq.Aborted() && !seek_paused && !open_paused)
            SleepMs(10);
        TPacketQueue::TNode Node;
        if (videoq.Get(Node, true) < 0)
            break;
        if (Node.Flush) {
            av::avcodec_flush_buffers(video_ctx);
            Drained = false;
            {
                std::unique_lock Guard(pictq_mutex);
                for (TVideoPicture& Pic : pictq)
                    Pic.target_clock = 0;
                pictq_cond.wait(Guard, [this] { return pictq_size == 0 || videoq.Aborted(); });
                video_current_pos = -1;
                timer.frame_last_pts = NoTimeDouble;
                timer.frame_last_delay = 0;
                timer.frame_timer = WallClock();
            }
            skip_frames = 1;
            skip_frames_index = 0;
            seek_flushed = 1;
            continue;
        }
        bool IsEnd = Node.Pkt->size == 0 && !Node.Pkt->data;
        int Ret = 0;
        if (IsEnd) {
            if (!Drained)
                Ret = av::avcodec_send_packet(video_ctx, nullptr);
            Drained = true;
        } else
            Ret = av::avcodec_send_packet(video_ctx, Node.Pkt);
        av::av_packet_free(&Node.Pkt);
        (void)Ret;
        bool Failed = false;
        for (;;) {
            int R = av::avcodec_receive_frame(video_ctx, Frame);
            if (R < 0)
                break;
            if (P->Fdecoder_reorder_pts == 0)
                Frame->pts = Frame->pkt_dts;
            else if (P->Fdecoder_reorder_pts < 0)
                Frame->pts = Frame->best_effort_timestamp;
            skip_frames_index += 1;
            if (skip_frames_index >= skip_frames) {
                skip_frames_index -= std::max(skip_frames, 1.0);
                if (Deliver(Frame) < 0) {
                    Failed = true;
                    av::av_frame_unref(Frame);
                    break;
                }
            }
            av::av_frame_unref(Frame);
        }
        if (Failed)
            break;
        if (IsEnd && EventEOF == 0)
            P->UpdatePosition();
    }
    av::av_frame_free(&Frame);
    av::av_frame_free(&Filtered);
}

bool TVideoState::DoHook(AVFrame* AFrame, double APts) {
    TCustomPlayer* P = Owner;
    const int W = AFrame->width & ~1, H = AFrame->height & ~1;
    if (W <= 0 || H <= 0)
        return false;
    hook_to_sws = av::sws_getCachedContext(hook_to_sws, W, H, AVPixelFormat(AFrame->format), W, H, AV_PIX_FMT_BGRA,
                                           SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!hook_to_sws) {
        P->LogError(u"Cannot initialize the toRGB conversion context", false);
        return false;
    }
    hook_bitmap.Width = W;
    hook_bitmap.Height = H;
    hook_bitmap.Pixels.assign(size_t(W) * H, Black);
    const uint8_t* Src[4] = {AFrame->data[0], AFrame->data[1], AFrame->data[2], nullptr};
    int SrcStride[4] = {AFrame->linesize[0], AFrame->linesize[1], AFrame->linesize[2], 0};
    if (P->FVerticalFlip) {
        Src[0] += AFrame->linesize[0] * (H - 1);
        Src[1] += AFrame->linesize[1] * (H / 2 - 1);
        Src[2] += AFrame->linesize[2] * (H / 2 - 1);
        for (int I = 0; I < 3; ++I)
            SrcStride[I] = -SrcStride[I];
    }
    uint8_t* Rgb[4] = {reinterpret_cast<uint8_t*>(hook_bitmap.Pixels.data()), nullptr, nullptr, nullptr};
    int RgbStride[4] = {W * 4, 0, 0, 0};
    av::sws_scale(hook_to_sws, Src, SrcStride, 0, H, Rgb, RgbStride);
    try {
        P->OnHook(P, hook_bitmap, std::llround(APts * 1000000) - StartTime);
    } catch (const std::exception& E) {
        P->LogError(u"Error occurs OnHook: " + UTF8ToString(E.what()), false);
        return false;
    }
    // A handler that changed the bitmap's size leaves the picture as decoded.
    if (hook_bitmap.Width != W || hook_bitmap.Height != H || hook_bitmap.Pixels.size() != size_t(W) * H)
        return false;
    if (av::av_frame_make_writable(AFrame) < 0)
        return false;
    hook_from_sws = av::sws_getCachedContext(hook_from_sws, W, H, AV_PIX_FMT_BGRA, W, H, AVPixelFormat(AFrame->format),
                                             SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!hook_from_sws) {
        P->LogError(u"Cannot initialize the fromRGB conversion context", false);
        return false;
    }
    const uint8_t* Back[4] = {Rgb[0], nullptr, nullptr, nullptr};
    av::sws_scale(hook_from_sws, Back, RgbStride, 0, H, AFrame->data, AFrame->linesize);
    return true;
}

int TVideoState::QueuePicture(AVFrame* AFrame, double APts, int64_t APos, bool AFlipped) {
    std::unique_lock Guard(pictq_mutex);
    if (pictq_size >= VIDEO_PICTURE_QUEUE_SIZE && !refresh)
        skip_frames = std::max(0.95, skip_frames * 0.95);
    pictq_cond.wait(Guard, [this] { return pictq_size < VIDEO_PICTURE_QUEUE_SIZE || videoq.Aborted(); });
    if (videoq.Aborted())
        return -1;
    TVideoPicture& Slot = pictq[pictq_windex];
    if (!Slot.frame)
        Slot.frame = av::av_frame_alloc();
    if (!Slot.frame)
        return -1;
    // The slot is reused under the same lock as CurrentFrame reads it.
    av::av_frame_unref(Slot.frame);
    av::av_frame_move_ref(Slot.frame, AFrame);
    Slot.width = Slot.frame->width & ~1;
    Slot.height = Slot.frame->height & ~1;
    Slot.allocated = true;
    Slot.flip = Owner->FVerticalFlip && !AFlipped;
    Slot.pts = APts;
    Slot.pos = APos;
    pictq_windex = (pictq_windex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
    bool SyncToMaster =
        (av_sync_type == AV_SYNC_AUDIO_MASTER && audio_stream >= 0) || av_sync_type == AV_SYNC_EXTERNAL_CLOCK;
    double VideoClock = SyncToMaster ? GetVideoClock() : 0;
    double MasterClock = SyncToMaster ? GetMasterClock() : 0;
    Slot.target_clock = timer.ComputeTargetTime(APts, SyncToMaster, VideoClock, MasterClock);
    ++pictq_size;
    return 0;
}

void TVideoState::SubtitleThread() {
    for (;;) {
        while (paused && !subtitleq.Aborted() && !seek_paused)
            SleepMs(10);
        TPacketQueue::TNode Node;
        if (subtitleq.Get(Node, true) < 0)
            return;
        if (Node.Flush) {
            av::avcodec_flush_buffers(subtitle_ctx);
            continue;
        }
        {
            std::unique_lock Guard(subpq_mutex);
            subpq_cond.wait(Guard, [this] { return subpq_size < SUBPICTURE_QUEUE_SIZE || subtitleq.Aborted(); });
        }
        if (subtitleq.Aborted()) {
            av::av_packet_free(&Node.Pkt);
            return;
        }
        TSubPicture& Slot = subpq[subpq_windex];
        double Pts = Node.Pkt->pts != AV_NOPTS_VALUE ? Node.Pkt->pts * av_q2d(subtitle_st->time_base) : 0;
        int Got = 0;
        AVSubtitle Sub{};
        int Ret = av::avcodec_decode_subtitle2(subtitle_ctx, &Sub, &Got, Node.Pkt);
        av::av_packet_free(&Node.Pkt);
        if (Ret < 0 || !Got)
            continue;
        if (Sub.format != 0) {
            // Text subtitles are not drawn here.
            av::avsubtitle_free(&Sub);
            continue;
        }
        std::lock_guard Guard(subpq_mutex);
        Slot.sub = Sub;
        Slot.used = true;
        Slot.pts = Pts;
        subpq_windex = (subpq_windex + 1) % SUBPICTURE_QUEUE_SIZE;
        ++subpq_size;
    }
}

// ---------------------------------------------------------------------------------------------
// Output

void TVideoState::RefreshThread() {
    while (!abort_request) {
        if (refresh != 1) {
            refresh = 1;
            PushEvent(FF_REFRESH_EVENT);
        }
        SleepMs(audio_stream >= 0 && show_audio ? Owner->Frdftspeed : 5);
    }
}

static void FreeSubPicture(TSubPicture& S) {
    if (S.used)
        av::avsubtitle_free(&S.sub);
    S.used = false;
}

void TVideoState::VideoRefresh(bool AAdvance) {
    TCustomPlayer* P = Owner;
    if (video_stream < 0) {
        if (audio_stream >= 0) {
            VideoDisplay();
            P->UpdatePosition();
        }
        return;
    }
    bool PositionReport = true;
    for (;;) {
        bool ForceDrop = seek_done != 0;
        std::unique_lock Guard(pictq_mutex);
        if (pictq_size == 0) {
            Guard.unlock();
            if (!AAdvance)
                VideoDisplay();
            break;
        }
        TVideoPicture& Slot = pictq[pictq_rindex];
        double T = WallClock();
        if (T < Slot.target_clock)
            return;
        video_current_pts = Slot.pts;
        video_current_pts_drift = Slot.pts - T;
        video_current_pos = Slot.pos;
        double NextTarget = pictq_size > 1 ? std::max(pictq[(pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE].target_clock,
                                                      Slot.target_clock)
                                           : Slot.target_clock + video_clock - Slot.pts;
        // The last queued picture is never dropped for being late while it is what stays on screen:
        // when paused, for a single picture, and at the end of the file (no later picture replaces it).
        bool Keep = pictq_size == 1 && (paused || IsImage2 || ReachEOF);
        if (((P->Fframedrop != 0 && T > NextTarget && !IsDevice) || ForceDrop) && !Keep) {
            skip_frames *= FRAME_SKIP_FACTOR;
            if (pictq_size > 1 || T > NextTarget + FRAME_DROP_GRACE || ForceDrop) {
                pictq_rindex = (pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
                --pictq_size;
                pictq_cond.notify_all();
                PositionReport = false;
                continue;
            }
        }
        // The picture to show becomes the current one.
        if (!shown)
            shown = av::av_frame_alloc();
        if (shown) {
            av::av_frame_unref(shown);
            av::av_frame_ref(shown, Slot.frame);
            shown_flip = Slot.flip;
            shown_pts = Slot.pts;
        }
        if (AAdvance) {
            pictq_rindex = (pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
            --pictq_size;
            pictq_cond.notify_all();
        }
        Guard.unlock();
        if (subtitle_stream >= 0) {
            std::lock_guard SubGuard(subpq_mutex);
            if (subtitle_stream_changed) {
                while (subpq_size > 0) {
                    FreeSubPicture(subpq[subpq_rindex]);
                    subpq_rindex = (subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
                    --subpq_size;
                }
                subtitle_stream_changed = false;
                subpq_cond.notify_all();
            } else if (subpq_size > 0) {
                TSubPicture& Sp = subpq[subpq_rindex];
                TSubPicture* Next = subpq_size > 1 ? &subpq[(subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE] : nullptr;
                if (video_current_pts > Sp.pts + Sp.sub.end_display_time / 1000.0 ||
                    (Next && video_current_pts > Next->pts + Next->sub.start_display_time / 1000.0)) {
                    FreeSubPicture(Sp);
                    subpq_rindex = (subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
                    --subpq_size;
                    subpq_cond.notify_all();
                }
            }
        }
        VideoDisplay();
        break;
    }
    if (PositionReport)
        P->UpdatePosition();
}

void TVideoState::VideoDisplay() {
    TVideoTarget* Target = Owner->FScreen;
    if (!Target || Owner->Fdisplay_disable)
        return;
    uint32_t* Bits = nullptr;
    int Pitch = 0, W = 0, H = 0;
    if (!Target->LockSurface(Bits, Pitch, W, H))
        return;
    if (W > 0 && H > 0) {
        if (audio_stream >= 0 && show_audio)
            VideoAudioDisplay(Bits, Pitch, W, H);
        else if (video_stream >= 0)
            VideoImageDisplay(Bits, Pitch, W, H);
    }
    Target->UnlockSurface(true);
}

static void FillArea(uint32_t* ABits, int APitch, int AX, int AY, int AW, int AH, uint32_t AColour) {
    for (int Y = AY; Y < AY + AH; ++Y)
        std::fill_n(ABits + size_t(Y) * APitch + AX, AW, AColour);
}

// Blends a bitmap subtitle (palette in RGBA) over the BGRA picture inside the placed rectangle.
static void BlendSubtitle(uint32_t* ABits, int APitch, const TRect& APlace, int APicW, int APicH,
                          const AVSubtitle& ASub) {
    for (unsigned R = 0; R < ASub.num_rects; ++R) {
        const AVSubtitleRect* Rect = ASub.rects[R];
        if (Rect->type != SUBTITLE_BITMAP || !Rect->data[0] || !Rect->data[1])
            continue;
        const uint32_t* Palette = reinterpret_cast<const uint32_t*>(Rect->data[1]);
        for (int Y = 0; Y < Rect->h; ++Y) {
            int PicY = Rect->y + Y;
            if (PicY < 0 || PicY >= APicH)
                continue;
            int DstY = APlace.Top + int(int64_t(PicY) * APlace.Height() / APicH);
            for (int X = 0; X < Rect->w; ++X) {
                int PicX = Rect->x + X;
                if (PicX < 0 || PicX >= APicW)
                    continue;
                int DstX = APlace.Left + int(int64_t(PicX) * APlace.Width() / APicW);
                uint32_t C = Palette[Rect->data[0][Y * Rect->linesize[0] + X]];
                uint32_t A = C >> 24;
                uint32_t& D = ABits[size_t(DstY) * APitch + DstX];
                auto Mix = [A](uint32_t Old, uint32_t New) { return (Old * (255 - A) + New * A) / 255; };
                D = 0xFF000000u | Mix((D >> 16) & 255, (C >> 16) & 255) << 16 |
                    Mix((D >> 8) & 255, (C >> 8) & 255) << 8 | Mix(D & 255, C & 255);
            }
        }
    }
}

void TVideoState::VideoImageDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight) {
    std::lock_guard Guard(pictq_mutex);
    if (!shown || !shown->data[0]) {
        FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
        return;
    }
    int PicW = shown->width & ~1, PicH = shown->height & ~1;
    double Ratio = DisplayRatio(Owner->FAspectRatio, AWidth, AHeight, shown->sample_aspect_ratio.num,
                                shown->sample_aspect_ratio.den, PicW, PicH);
    TRect Place = PlacePicture(0, 0, AWidth, AHeight, Ratio);
    Place.Right = std::min(Place.Right, AWidth);
    Place.Bottom = std::min(Place.Bottom, AHeight);
    // Black bars around the picture.
    FillArea(ABits, APitch, 0, 0, AWidth, Place.Top, Black);
    FillArea(ABits, APitch, 0, Place.Bottom, AWidth, AHeight - Place.Bottom, Black);
    FillArea(ABits, APitch, 0, Place.Top, Place.Left, Place.Height(), Black);
    FillArea(ABits, APitch, Place.Right, Place.Top, AWidth - Place.Right, Place.Height(), Black);
    if (Place.Width() <= 0 || Place.Height() <= 0 || PicW <= 0 || PicH <= 0)
        return;
    display_sws =
        av::sws_getCachedContext(display_sws, PicW, PicH, AVPixelFormat(shown->format), Place.Width(), Place.Height(),
                                 AV_PIX_FMT_BGRA, Owner->Fsws_flags, nullptr, nullptr, nullptr);
    if (!display_sws)
        return;
    const uint8_t* Src[4] = {shown->data[0], shown->data[1], shown->data[2], nullptr};
    int SrcStride[4] = {shown->linesize[0], shown->linesize[1], shown->linesize[2], 0};
    if (shown_flip) {
        Src[0] += shown->linesize[0] * (PicH - 1);
        Src[1] += shown->linesize[1] * (PicH / 2 - 1);
        Src[2] += shown->linesize[2] * (PicH / 2 - 1);
        for (int I = 0; I < 3; ++I)
            SrcStride[I] = -SrcStride[I];
    }
    uint8_t* Dst[4] = {reinterpret_cast<uint8_t*>(ABits + size_t(Place.Top) * APitch + Place.Left), nullptr, nullptr,
                       nullptr};
    int DstStride[4] = {APitch * 4, 0, 0, 0};
    av::sws_scale(display_sws, Src, SrcStride, 0, PicH, Dst, DstStride);
    if (subtitle_stream >= 0) {
        std::lock_guard SubGuard(subpq_mutex);
        if (subpq_size > 0) {
            TSubPicture& Sp = subpq[subpq_rindex];
            if (Sp.used && Sp.pts + Sp.sub.start_display_time / 1000.0 <= shown_pts)
                BlendSubtitle(ABits, APitch, Place, PicW, PicH, Sp.sub);
        }
    }
}

void TVideoState::VideoAudioDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight) {
    const int Channels = std::max(audio_channels, 1);
    const int Mode = show_audio;
    int Bits = 1;
    while ((1 << Bits) < 2 * AHeight)
        ++Bits;
    const int NbFreq = 1 << (Bits - 1);
    std::lock_guard Guard(sample_mutex);
    int IStart;
    if (paused)
        IStart = last_i_start;
    else {
        int DataUsed = Mode == 1 ? AWidth : 2 * NbFreq;
        int64_t Delay = audio_feed.Pending() / (2 * Channels);
        int64_t CallbackTime = Owner->Faudio_callback_time;
        if (CallbackTime)
            Delay -= (av::av_gettime() - CallbackTime) * audio_rate / 1000000;
        Delay += 2 * DataUsed;
        Delay = std::max<int64_t>(Delay, DataUsed);
        IStart =
            int(((sample_array_index - Delay * Channels) % SAMPLE_ARRAY_SIZE + SAMPLE_ARRAY_SIZE) % SAMPLE_ARRAY_SIZE);
        if (Mode == 1) {
            // Start where the wave crosses zero steeply, so that a steady tone stands still.
            int Best = -1000, Found = IStart;
            for (int I = 0; I < 1000; I += Channels) {
                int Idx = (SAMPLE_ARRAY_SIZE + IStart - I) % SAMPLE_ARRAY_SIZE;
                int A = sample_array[Idx];
                int B = sample_array[(Idx + 4 * Channels) % SAMPLE_ARRAY_SIZE];
                int C = sample_array[(Idx + 5 * Channels) % SAMPLE_ARRAY_SIZE];
                int D = sample_array[(Idx + 9 * Channels) % SAMPLE_ARRAY_SIZE];
                int Score = A - D;
                if (Best < Score && (B ^ C) < 0) {
                    Best = Score;
                    Found = Idx;
                }
            }
            IStart = Found;
        }
        last_i_start = IStart;
    }
    if (Mode != 1) {
        SpectrumColumn(ABits, APitch, AWidth, AHeight, IStart, Bits);
        return;
    }
    FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
    int H = AHeight / Channels;
    int H2 = (H * 9) / 20;
    for (int Ch = 0; Ch < Channels; ++Ch) {
        int I = (IStart + Ch) % SAMPLE_ARRAY_SIZE;
        int Y1 = Ch * H + H / 2;
        for (int X = 0; X < AWidth; ++X) {
            int Y = (sample_array[I] * H2) >> 15;
            int Top = Y < 0 ? Y1 + Y : Y1;
            int Len = std::abs(Y);
            for (int Row = std::max(Top, 0); Row < std::min(Top + Len, AHeight); ++Row)
                ABits[size_t(Row) * APitch + X] = White;
            I = (I + Channels) % SAMPLE_ARRAY_SIZE;
        }
    }
    for (int Ch = 1; Ch < Channels; ++Ch) {
        int Y = Ch * H;
        if (Y < AHeight)
            FillArea(ABits, APitch, 0, Y, AWidth, 1, White);
    }
}

// One column of the spectrum: the magnitudes of the first channel in red, of the second in green,
// low frequencies at the bottom; the column moves right with every call and wraps at the edge.
void TVideoState::SpectrumColumn(uint32_t* ABits, int APitch, int AWidth, int AHeight, int AStart, int ARdftBits) {
    const int Channels = std::max(audio_channels, 1);
    const int NbFreq = 1 << (ARdftBits - 1);
    if (ARdftBits != rdft_bits || !rdft) {
        if (rdft)
            av::av_rdft_end(rdft);
        rdft = av::av_rdft_init(ARdftBits, DFT_R2C);
        rdft_bits = ARdftBits;
        rdft_data.assign(size_t(4) * NbFreq, 0.0f);
    }
    if (!rdft)
        return;
    if (clear_display.exchange(false)) {
        FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
        xpos = 0;
    }
    // A mono stream colours both channels' parts of the pixel from its one channel.
    const int Shown = std::min(Channels, 2);
    for (int Ch = 0; Ch < Shown; ++Ch) {
        float* Data = rdft_data.data() + size_t(2) * NbFreq * Ch;
        int I = (AStart + Ch) % SAMPLE_ARRAY_SIZE;
        for (int X = 0; X < 2 * NbFreq; ++X) {
            double W = double(X - NbFreq) / NbFreq;
            Data[X] = float(sample_array[I] * (1.0 - W * W));
            I = (I + Channels) % SAMPLE_ARRAY_SIZE;
        }
        av::av_rdft_calc(rdft, Data);
    }
    if (xpos >= AWidth)
        xpos = 0;
    const float* D0 = rdft_data.data();
    const float* D1 = rdft_data.data() + (Shown > 1 ? size_t(2) * NbFreq : 0);
    const double Scale = 1.0 / std::sqrt(double(NbFreq));
    for (int Y = 0; Y < AHeight; ++Y) {
        int A =
            int(std::sqrt(Scale * std::sqrt(double(D0[2 * Y]) * D0[2 * Y] + double(D0[2 * Y + 1]) * D0[2 * Y + 1])));
        int B =
            int(std::sqrt(Scale * std::sqrt(double(D1[2 * Y]) * D1[2 * Y] + double(D1[2 * Y + 1]) * D1[2 * Y + 1])));
        A = std::min(A, 255);
        B = std::min(B, 255);
        ABits[size_t(AHeight - 1 - Y) * APitch + xpos] =
            0xFF000000u | uint32_t(A) << 16 | uint32_t(B) << 8 | uint32_t((A + B) / 2);
    }
    ++xpos;
}

void TVideoState::UpdateSampleDisplay(const uint8_t* AData, int ASize) {
    std::lock_guard Guard(sample_mutex);
    const int16_t* Samples = reinterpret_cast<const int16_t*>(AData);
    int Count = ASize / 2;
    while (Count > 0) {
        int Len = std::min(SAMPLE_ARRAY_SIZE - sample_array_index, Count);
        std::memcpy(sample_array.data() + sample_array_index, Samples, size_t(Len) * 2);
        Samples += Len;
        sample_array_index += Len;
        if (sample_array_index >= SAMPLE_ARRAY_SIZE)
            sample_array_index = 0;
        Count -= Len;
    }
}

int TVideoState::AudioDecodeFrame(const uint8_t*& AData) {
    for (;;) {
        int Ret = av::avcodec_receive_frame(audio_ctx, audio_frame);
        if (Ret == 0) {
            AVFrame* F = audio_frame;
            if (F->format != swr_fmt || F->sample_rate != swr_rate || F->ch_layout.nb_channels != swr_channels) {
                av::swr_free(&swr);
                AVChannelLayout Out{};
                av::av_channel_layout_default(&Out, audio_channels);
                if (av::swr_alloc_set_opts2(&swr, &Out, AV_SAMPLE_FMT_S16, audio_rate, &F->ch_layout,
                                            AVSampleFormat(F->format), F->sample_rate, 0, nullptr) < 0 ||
                    av::swr_init(swr) < 0) {
                    av::swr_free(&swr);
                    const char* From = av::av_get_sample_fmt_name(AVSampleFormat(F->format));
                    Owner->LogError(Format(u"Cannot convert %s sample format to %s sample format",
                                           {UTF8ToString(From ? From : "?"), String(u"s16")}),
                                    false);
                    av::av_frame_unref(F);
                    continue;
                }
                swr_fmt = F->format;
                swr_rate = F->sample_rate;
                swr_channels = F->ch_layout.nb_channels;
            }
            int OutSamples = av::swr_get_out_samples(swr, F->nb_samples);
            int Need =
                av::av_samples_get_buffer_size(nullptr, audio_channels, std::max(OutSamples, 1), AV_SAMPLE_FMT_S16, 1);
            if (Need <= 0) {
                av::av_frame_unref(F);
                continue;
            }
            // Room for what the decoder delivered, plus the synchronisation's 10 % of padding.
            if (audio_buf.size() < size_t(Need) * 11 / 10 + 16)
                audio_buf.resize(size_t(Need) * 11 / 10 + 16);
            uint8_t* Out[1] = {audio_buf.data()};
            int Got =
                av::swr_convert(swr, Out, OutSamples, const_cast<const uint8_t**>(F->extended_data), F->nb_samples);
            if (F->pts != AV_NOPTS_VALUE)
                audio_clock = F->pts * av_q2d(audio_st->time_base);
            av::av_frame_unref(F);
            if (Got <= 0) {
                if (Got < 0)
                    Owner->LogError(u"av_audio_convert() failed", false);
                continue;
            }
            int Size = Got * audio_channels * 2;
            audio_clock += double(Size) / (2.0 * audio_channels * audio_rate);
            AData = audio_buf.data();
            return Size;
        }
        if (Ret != AVERROR(EAGAIN) && Ret != AVERROR_EOF) {
            av::av_log(nullptr, AV_LOG_INFO, "avcodec_decode_audio2() failed\n");
        }
        if (paused || audioq.Aborted())
            return -1;
        TPacketQueue::TNode Node;
        if (audioq.Get(Node, false) <= 0)
            return -1;
        if (Node.Flush) {
            av::avcodec_flush_buffers(audio_ctx);
            continue;
        }
        if (Node.Pkt->pts != AV_NOPTS_VALUE)
            audio_clock = Node.Pkt->pts * av_q2d(audio_st->time_base);
        if (av::avcodec_send_packet(audio_ctx, Node.Pkt) < 0)
            av::av_log(nullptr, AV_LOG_INFO, "avcodec_decode_audio2() failed\n");
        av::av_packet_free(&Node.Pkt);
    }
}

int TVideoState::SynchronizeAudio(const uint8_t* AData, int ASize) {
    (void)AData;
    if (!((av_sync_type == AV_SYNC_VIDEO_MASTER && video_stream >= 0) || av_sync_type == AV_SYNC_EXTERNAL_CLOCK))
        return ASize;
    double Diff = GetAudioClock() - GetMasterClock();
    int Wanted = audio_sync.WantedSize(Diff, ASize, audio_channels, audio_rate);
    if (Wanted > ASize)
        ResizeAudioBuffer(audio_buf, ASize, Wanted, 2 * audio_channels);
    return Wanted;
}

// ---------------------------------------------------------------------------------------------
// The component

TCustomPlayer::TCustomPlayer(TComponent* AOwner) : TComponent(AOwner) {
    InitOptions();
}

TCustomPlayer::~TCustomPlayer() {
    OnPosition = nullptr;
    OnState = nullptr;
    // The hook runs on the video thread: it is switched off first and dropped once that thread ended.
    FHook = false;
    Stop(true);
    JoinThreads(true);
    OnHook = nullptr;
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
    if (AVLibLoaded())
        av::av_log(nullptr, AV_LOG_ERROR, "%s\n", UTF8Encode(ALogMsg).c_str());
    if (ASetLastError)
        FLastErrMsg = ALogMsg;
}

void TCustomPlayer::ChangeState(TPlayState AState) {
    FState = AState;
    if (OnState)
        FPlayEvent->Post(peState, AState);
    else if (AState == psStop)
        FPlayEvent->Post(peEnd, 0);
}

bool TCustomPlayer::Open(const String& AFileName, TVideoTarget* AScreen, bool APaused) {
    if (!AVLibLoaded()) {
        LogError(u"libav or libsdl not loaded.", true);
        return false;
    }
    Stop(true);
    return StartPlayback(AFileName, AScreen, APaused);
}

bool TCustomPlayer::Open(const String& AFileName, HWND AScreenHandle, bool APaused) {
    if (!AVLibLoaded()) {
        LogError(u"libav or libsdl not loaded.", true);
        return false;
    }
    Stop(true);
    if (AScreenHandle && !Fdisplay_disable) {
        FSurface = TVideoSurface::Create(AScreenHandle);
        if (!FSurface) {
            LogError(Format(u"Could not initialize SDL with ScreenHandle(%u): %s",
                            {unsigned(reinterpret_cast<uintptr_t>(AScreenHandle)), String(u"not a window")}),
                     true);
            return false;
        }
        FScreenHandle = AScreenHandle;
        FHostTarget = std::make_unique<TSurfaceVideoTarget>(FSurface);
        // A new client size (expose) redraws the picture at once, also while paused.
        FSurface->OnResize = [this](int, int) { Expose(); };
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
    FHostLink = nullptr;
    FHostTarget.reset();
    FSurface.reset();
    FScreenHandle = nullptr;
}

bool TCustomPlayer::StartPlayback(const String& AFileName, TVideoTarget* AScreen, bool APaused) {
    if (Fdisplay_disable)
        Fvideo_disable = true;
    FScreen = Fdisplay_disable ? nullptr : AScreen;

    auto S = std::make_unique<TVideoState>();
    S->Owner = this;
    if (APaused) {
        S->paused = 1;
        S->open_paused = 1;
        Fstep = false;
    }
    S->filename = AFileName;
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
        FVideoState = std::move(S);
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
            if (OnPosition)
                OnPosition(this, APTS);
        },
        [this](TPlayState AState) {
            if (OnState)
                OnState(this, AState);
        },
        Deliver);
    State->refresh_tid = std::thread([State] { State->RefreshThread(); });
    FPlayThread = std::thread([this] {
        try {
            EventLoop();
        } catch (const std::exception& E) {
            LogError(u"PlayThread Exception: " + UTF8ToString(E.what()), false);
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
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    if (OnFileOpen) {
        Int64 Duration = S->IsImage2 ? 0 : S->Duration;
        Integer W = -1, H = -1;
        if (S->video_ctx && S->video_ctx->width != 0) {
            W = S->video_ctx->width;
            H = S->video_ctx->height;
        }
        OnFileOpen(this, Duration, W, H, Fscreen_width, Fscreen_height);
    }
}

void TCustomPlayer::EventLoop() {
    for (;;) {
        TVideoState* S;
        {
            std::lock_guard Guard(FDataLock);
            S = FVideoState.get();
        }
        if (!S)
            return;
        int Code = WaitPlayerEvent();
        std::lock_guard Guard(FDataLock);
        S = FVideoState.get();
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
    std::unique_ptr<TVideoState> S;
    {
        std::lock_guard Guard(FDataLock);
        S = std::move(FVideoState);
    }
    if (!S)
        return;
    S->StreamClose();
    S.reset();
    ResetPlayOptions();
}

bool TCustomPlayer::Paused() const {
    TVideoState* S = FVideoState.get();
    return !S || S->paused;
}

void TCustomPlayer::UpdatePosition() {
    TVideoState* S = FVideoState.get();
    if (!S || S->IsImage2)
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
    FCurrentPTS = P;
    Int64 Report = 0;
    if (FReporter.Tick(P, S->Duration, Report) && OnPosition)
        FPlayEvent->Post(pePosition, Report);
    if (!S->IsDevice && S->EventEOF == 0 && S->ReachEOF == 1) {
        if (S->video_stream >= 0)
            S->EventEOF = 1;
        ChangeState(psEnd);
    }
    if (FPlayTime != INT64_MIN) {
        Int64 End = (Fstart_time != INT64_MIN ? Fstart_time : 0) + FPlayTime;
        if (P >= End) {
            if (FRepeatType == rtStop)
                Stop(false);
            else if (FRepeatType == rtLoop) {
                if (Fstart_time != INT64_MIN)
                    Seek(Fstart_time, 0, false);
                else
                    Seek(Int64(0), sfAny, false);
            }
        }
    }
}

void TCustomPlayer::Stop(bool AWaitForStop) {
    TVideoState* S = FVideoState.get();
    if (S) {
        if (S->paused) {
            StreamPause();
            Fstep = false;
        }
        if ((S = FVideoState.get()))
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
        if (!FVideoState)
            return;
        if (!FDataLock.try_lock_for(std::chrono::milliseconds(100)))
            continue;
        ++I;
        TVideoState* S = FVideoState.get();
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
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    if (!S->SeekEvent.WaitFor(250))
        S->SeekEvent.Set();
    if (!(S = FVideoState.get()))
        return;
    if (S->paused) {
        double T = WallClock();
        S->timer.frame_timer += T + S->video_current_pts_drift - S->video_current_pts;
        if (S->read_pause_return != AVERROR(ENOSYS))
            S->video_current_pts = S->video_current_pts_drift + T;
        S->video_current_pts_drift = S->video_current_pts - T;
        S->paused = 0;
    } else {
        if (S->video_stream >= 0 && !S->PictEvent.WaitFor(250))
            S->PictEvent.Set();
        if (!(S = FVideoState.get()))
            return;
        S->paused = 1;
    }
}

void TCustomPlayer::Pause() {
    TVideoState* S = FVideoState.get();
    if (S && !S->paused) {
        StreamPause();
        Fstep = false;
        ChangeState(psPause);
    }
}

void TCustomPlayer::Resume() {
    TVideoState* S = FVideoState.get();
    if (S && S->paused) {
        StreamPause();
        Fstep = false;
        ChangeState(psResume);
    }
}

void TCustomPlayer::TogglePause() {
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    StreamPause();
    Fstep = false;
    S = FVideoState.get();
    ChangeState(S && S->paused ? psPause : psResume);
}

void TCustomPlayer::StepToNextFrame() {
    TVideoState* S = FVideoState.get();
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
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    S->show_audio = (S->show_audio + 1) % 3;
    S->clear_display = true;
    S->PushEvent(FF_REOPEN_EVENT);
}

void TCustomPlayer::SetShowAudio(TShowAudio AValue) {
    FShowAudio = AValue;
    TVideoState* S = FVideoState.get();
    if (S && S->audio_stream >= 0 && !Fdisplay_disable)
        S->show_audio = AValue;
}

void TCustomPlayer::SetAspectRatio(double AValue) {
    if (AValue == FAspectRatio)
        return;
    FAspectRatio = AValue;
    if (TVideoState* S = FVideoState.get())
        S->PushEvent(FF_REOPEN_EVENT);
}

void TCustomPlayer::UpdateScreenPosition() {
    if (FVideoState && FScreenHandle && FVideoDriver == vdDirectDraw)
        Expose();
}

void TCustomPlayer::Expose() {
    if (TVideoState* S = FVideoState.get())
        S->PushEvent(FF_EXPOSE_EVENT);
}

bool TCustomPlayer::WaitEvent(std::function<bool()> ADone, int ASliceMs) {
    while (!ADone()) {
        ServeMainThread();
        if (!FVideoState)
            return false;
        SleepMs(ASliceMs);
    }
    return true;
}

void TCustomPlayer::StreamSeek(Int64 APos, Int64 ARel, TSeekFlags AFlags, bool AWait) {
    TVideoState* S = FVideoState.get();
    if (!S || S->seek_req)
        return;
    FSeeking = true;
    S->seek_paused = S->paused.load();
    S->seek_pos = APos;
    S->seek_rel = ARel;
    S->seek_flags = AFlags;
    S->SeekEvent.Reset();
    S->seek_req = 1;
    if (!AWait)
        return;
    while (!S->SeekEvent.WaitFor(100)) {
        ServeMainThread();
        if (FVideoState.get() != S)
            return;
    }
    if (S->video_stream >= 0)
        while (!S->PictEvent.WaitFor(100)) {
            ServeMainThread();
            if (FVideoState.get() != S)
                return;
        }
}

void TCustomPlayer::Seek(Int64 APTS, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    if (ASeekFlags & sfByte) {
        StreamSeek(APTS, 0, ASeekFlags, AWaitForSeekEnd);
        return;
    }
    Int64 Target = APTS;
    if (S->ic->duration != AV_NOPTS_VALUE && Target > S->ic->duration)
        Target = S->ic->duration;
    if (S->ic->start_time != AV_NOPTS_VALUE)
        Target += S->ic->start_time;
    StreamSeek(Target, APTS <= 0 ? 1 : 0, ASeekFlags, AWaitForSeekEnd);
}

void TCustomPlayer::Seek(double ADelta, TSeekFlags ASeekFlags, bool AWaitForSeekEnd) {
    TVideoState* S = FVideoState.get();
    if (!S)
        return;
    if (ASeekFlags & sfByte) {
        double Increment = S->ic->bit_rate ? ADelta * S->ic->bit_rate / 8.0 : ADelta * 180000.0;
        double Target = double(S->ic->pb ? av::avio_seek(S->ic->pb, 0, SEEK_CUR) : 0) + Increment;
        StreamSeek(std::llround(Target), std::llround(Increment), ASeekFlags, AWaitForSeekEnd);
        return;
    }
    StreamSeek(std::llround((S->GetMasterClock() + ADelta) * 1000000), std::llround(ADelta * 1000000), ASeekFlags,
               AWaitForSeekEnd);
}

const TPlayerBitmap& TCustomPlayer::CurrentFrame() {
    Int64 Pts;
    return CurrentFrame(Pts);
}

const TPlayerBitmap& TCustomPlayer::CurrentFrame(Int64& APTS) {
    APTS = -1;
    FRGBBitmap.Width = FRGBBitmap.Height = 0;
    FRGBBitmap.Pixels.clear();
    std::lock_guard DataGuard(FDataLock);
    TVideoState* S = FVideoState.get();
    if (!S || S->video_stream < 0 || !S->video_ctx)
        return FRGBBitmap;
    std::lock_guard Guard(S->pictq_mutex);
    if (!S->shown || !S->shown->data[0])
        return FRGBBitmap;
    int W = S->shown->width & ~1, H = S->shown->height & ~1;
    APTS = std::llround(S->shown_pts * 1000000) - S->StartTime;
    S->frame_sws = av::sws_getCachedContext(S->frame_sws, W, H, AVPixelFormat(S->shown->format), W, H, AV_PIX_FMT_BGRA,
                                            SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!S->frame_sws || W <= 0 || H <= 0)
        return FRGBBitmap;
    FRGBBitmap.Width = W;
    FRGBBitmap.Height = H;
    FRGBBitmap.Pixels.assign(size_t(W) * H, Black);
    const uint8_t* Src[4] = {S->shown->data[0], S->shown->data[1], S->shown->data[2], nullptr};
    int SrcStride[4] = {S->shown->linesize[0], S->shown->linesize[1], S->shown->linesize[2], 0};
    if (S->shown_flip) {
        Src[0] += S->shown->linesize[0] * (H - 1);
        Src[1] += S->shown->linesize[1] * (H / 2 - 1);
        Src[2] += S->shown->linesize[2] * (H / 2 - 1);
        for (int I = 0; I < 3; ++I)
            SrcStride[I] = -SrcStride[I];
    }
    uint8_t* Dst[4] = {reinterpret_cast<uint8_t*>(FRGBBitmap.Pixels.data()), nullptr, nullptr, nullptr};
    int DstStride[4] = {W * 4, 0, 0, 0};
    av::sws_scale(S->frame_sws, Src, SrcStride, 0, H, Dst, DstStride);
    return FRGBBitmap;
}

Integer TCustomPlayer::VideoStreamIndex() const {
    TVideoState* S = FVideoState.get();
    return S ? S->video_stream.load() : -1;
}

Integer TCustomPlayer::AudioStreamIndex() const {
    TVideoState* S = FVideoState.get();
    return S ? S->audio_stream.load() : -1;
}

Integer TCustomPlayer::SubtitleStreamIndex() const {
    TVideoState* S = FVideoState.get();
    return S ? S->subtitle_stream.load() : -1;
}

void TCustomPlayer::SelectStream(Integer AKind, Integer AIndex) {
    std::lock_guard Guard(FDataLock);
    TVideoState* S = FVideoState.get();
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
