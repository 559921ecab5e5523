// The player's reader: opens the file, chooses the streams, and feeds the packet queues until the
// playback ends; seeks requested by the component are carried out here, between two reads.
#include <cerrno>
#include <cmath>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include "engine/FFPlayerState.h"
#include "engine/UnicodeProtocol.h"

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
    std::string Name = UnicodeFileURL(filename);
    TPlayerInput Input;
    AVPacket* Pkt = av::av_packet_alloc();
    bool Ok = false;
    if (!Pkt)
        Owner->FLastErrMsg = u"av_mallocz() failed.";
    else {
        bool Special = Input.Open(Name.compare(0, 5, "file:") == 0 ? Name.substr(5) : Name, &abort_request);
        Ok = OpenInput(Name, Special ? Input.Context() : nullptr) && OpenStreams();
    }
    if (Ok) {
        Opened = 1;
        ReadLoop(Pkt, Name);
        while (!abort_request)
            SleepMs(100);
    } else if (Opened != 1)
        Opened = -1;
    if (audio_stream >= 0)
        StreamComponentClose(audio_stream);
    if (video_stream >= 0)
        StreamComponentClose(video_stream);
    if (subtitle_stream >= 0)
        StreamComponentClose(subtitle_stream);
    if (ic) {
        Owner->DetachProbe(ic);
        av::avformat_close_input(&ic);
    }
    av::av_packet_free(&Pkt);
    if (Opened == -1)
        Opened = -2;
}

// Opens the demuxer (through AInput when the file is a pipe or a device), reads the stream
// parameters, and goes to the start position; false with the reason in LastErrMsg.
bool TVideoState::OpenInput(const std::string& AName, AVIOContext* AInput) {
    TCustomPlayer* P = Owner;
    AVFormatContext* Ctx = av::avformat_alloc_context();
    if (!Ctx) {
        P->FLastErrMsg = u"av_mallocz() failed.";
        return false;
    }
    Ctx->interrupt_callback.callback = DecodeInterruptCallback;
    Ctx->interrupt_callback.opaque = this;
    if (AInput)
        Ctx->pb = AInput;
    // The frame size and pixel format are for demuxers of raw pictures; others leave them unused.
    AVDictionary* Params = nullptr;
    if (P->Fframe_width > 0 && P->Fframe_height > 0)
        av::av_dict_set(&Params, "video_size",
                        (std::to_string(P->Fframe_width) + "x" + std::to_string(P->Fframe_height)).c_str(), 0);
    if (P->Fframe_pix_fmt >= 0)
        if (const char* Name = av::av_get_pix_fmt_name(AVPixelFormat(P->Fframe_pix_fmt)))
            av::av_dict_set(&Params, "pixel_format", Name, 0);
    int Err = av::avformat_open_input(&Ctx, AName.c_str(), iformat, &Params);
    av::av_dict_free(&Params);
    if (Err < 0) {
        P->FLastErrMsg = UTF8ToString(UTF8Encode(filename) + ": " + ErrorText(Err));
        return false; // the library freed the context
    }
    ic = Ctx;
    if (P->Fgenpts)
        ic->flags |= AVFMT_FLAG_GENPTS;
    if (av::avformat_find_stream_info(ic, nullptr) < 0) {
        P->FLastErrMsg = Format(u"%s: could not find codec parameters", {filename});
        return false;
    }
    if (ic->pb)
        ic->pb->eof_reached = 0;
    if (P->Fseek_by_bytes < 0)
        P->Fseek_by_bytes = (ic->iformat->flags & AVFMT_TS_DISCONT) ? 1 : 0;
    std::string Short = ic->iformat->name ? ic->iformat->name : "";
    // A single picture opens with "image2" or one of the "*_pipe" demuxers: all are pictures.
    IsImage2 = Short == "image2" || (Short.size() > 5 && Short.compare(Short.size() - 5, 5, "_pipe") == 0);
    IsDevice = Short == "vfwcap" || Short == "vfwcapture" || Short == "video4linux2,v4l2";
    StartTime = ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0;
    Duration = ic->duration != AV_NOPTS_VALUE ? ic->duration : -1;
    if (const Int64 Start = P->Fstart_time; Start != INT64_MIN) {
        int64_t Timestamp = Start + (ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0);
        if (av::avformat_seek_file(ic, -1, INT64_MIN, Timestamp, INT64_MAX, 0) < 0)
            P->LogError(Format(u"%s: could not seek to position %0.3f", {filename, Timestamp / 1000000.0}), false);
    }
    return true;
}

// Chooses one stream per kind (the wanted ordinal, or the one with most frames) and opens its
// decoder; false when neither audio nor video can play.
bool TVideoState::OpenStreams() {
    TCustomPlayer* P = Owner;
    int Best[AVMEDIA_TYPE_NB];
    int Count[AVMEDIA_TYPE_NB];
    int Chosen[AVMEDIA_TYPE_NB];
    for (int K = 0; K < AVMEDIA_TYPE_NB; ++K) {
        Best[K] = -1;
        Count[K] = 0;
        Chosen[K] = -1;
    }
    for (unsigned I = 0; I < ic->nb_streams; ++I) {
        AVStream* St = ic->streams[I];
        St->discard = AVDISCARD_ALL;
        int K = St->codecpar->codec_type;
        if (K < 0 || K >= AVMEDIA_TYPE_NB || K > AVMEDIA_TYPE_SUBTITLE)
            continue;
        int Wanted = P->WantedStream(K);
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
    int Ret = -1;
    if (Chosen[AVMEDIA_TYPE_VIDEO] >= 0)
        Ret = StreamComponentOpen(Chosen[AVMEDIA_TYPE_VIDEO]);
    if (Ret < 0 && !P->Fdisplay_disable)
        show_audio = 2;
    if (Chosen[AVMEDIA_TYPE_SUBTITLE] >= 0)
        StreamComponentOpen(Chosen[AVMEDIA_TYPE_SUBTITLE]);
    if (video_stream < 0 && audio_stream < 0) {
        P->FLastErrMsg = Format(u"%s: could not open codecs, no stream to play.", {filename});
        return false;
    }
    return true;
}

void TVideoState::ReadLoop(AVPacket* APkt, const std::string& AName) {
    bool EofMark = false;
    while (!abort_request) {
        if (paused != last_paused) {
            last_paused = paused;
            if (paused)
                read_pause_return = av::av_read_pause(ic);
            else
                av::av_read_play(ic);
        }
        if (seek_req) {
            DoSeek();
            EofMark = false;
        }
        int Total = audioq.Size() + videoq.Size() + subtitleq.Size();
        if (Total > MAX_QUEUE_SIZE || ((audio_stream < 0 || audioq.Size() > MIN_AUDIOQ_SIZE) &&
                                       (video_stream < 0 || videoq.Count() > MIN_FRAMES) &&
                                       (subtitle_stream < 0 || subtitleq.Count() > MIN_FRAMES))) {
            SleepMs(10);
            continue;
        }
        // The end is where reading says so: the I/O layer reaches the end of the bytes while the
        // demuxer still holds packets of them.
        if (EofMark) {
            if (video_stream >= 0) {
                videoq.PutEnd(video_stream);
                PictEvent.Set();
            }
            SleepMs(10);
            if (audioq.Size() == 0 && videoq.Size() == 0 && subtitleq.Size() == 0)
                ReachEOF = 1;
            continue;
        }
        if (!ReadPacket(APkt, AName, EofMark))
            break;
    }
}

// Reads one packet into its queue; false when the loop must end (abort, or an I/O error).
bool TVideoState::ReadPacket(AVPacket* APkt, const std::string& AName, bool& AEofMark) {
    Reading = 1;
    int Ret = av::av_read_frame(ic, APkt);
    Reading = 0;
    if (abort_request)
        return false;
    if (Ret < 0) {
        if (Ret == AVERROR(EAGAIN)) {
            SleepMs(10);
            return true;
        }
        if (video_stream >= 0)
            PictEvent.Set();
        if (!IsImage2 && ErrorEOF == 0) {
            ErrorEOF = 1;
            if (Ret == AVERROR_EOF)
                Owner->Log(llInfo, Format(u"reach end of file: %s", {filename}));
            else
                Owner->LogError(Format(u"error #%d while reading file: %s", {Ret, filename}), false);
        }
        if (Ret == AVERROR_EOF)
            AEofMark = true;
        else if (ic->pb && ic->pb->error)
            return false;
        else
            SleepMs(100);
        return true;
    }
    if (APkt->stream_index == audio_stream)
        audioq.Put(APkt);
    else if (APkt->stream_index == video_stream)
        videoq.Put(APkt);
    else if (APkt->stream_index == subtitle_stream)
        subtitleq.Put(APkt);
    av::av_packet_unref(APkt);
    return true;
}

// The time of the first key frame of the video stream from the demuxer's position on (AV_TIME_BASE
// units, the file's own timeline); INT64_MAX when the end comes first, INT64_MIN when many packets
// come without one (a stream that marks no key frames).
int64_t TVideoState::NextKeyFrameTime(AVPacket* APkt) {
    for (int I = 0; I < 4096 && !abort_request; ++I) {
        if (av::av_read_frame(ic, APkt) < 0)
            return INT64_MAX;
        bool Key = APkt->stream_index == video_stream && (APkt->flags & AV_PKT_FLAG_KEY);
        int64_t Ts = APkt->pts != AV_NOPTS_VALUE ? APkt->pts : APkt->dts;
        AVRational Tb = ic->streams[APkt->stream_index]->time_base;
        av::av_packet_unref(APkt);
        if (Key && Ts != AV_NOPTS_VALUE)
            return av::av_rescale_q(Ts, Tb, AV_TIME_BASE_Q);
    }
    return INT64_MIN;
}

// A demuxer without an index lands near the target, and decoding starts at the next key frame, maybe
// a second or more after it. Steps back until the first key frame read is at or before the target,
// then seeks to where that was.
void TVideoState::LandOnKeyFrame(int64_t ATarget, int AFlags) {
    AVPacket* Pkt = av::av_packet_alloc();
    if (!Pkt)
        return;
    const int64_t First = ic->start_time != AV_NOPTS_VALUE ? ic->start_time : 0;
    auto SeekTo = [&](int64_t APos) {
        return av::avformat_seek_file(ic, -1, INT64_MIN, APos, APos, AFlags) >= 0 ||
               av::av_seek_frame(ic, -1, APos, AFlags | AVSEEK_FLAG_BACKWARD) >= 0;
    };
    int64_t Pos = ATarget;
    for (int64_t Step = 500000;; Step *= 2) {
        int64_t Key = NextKeyFrameTime(Pkt);
        // Without key frames to go by, the demuxer's own landing stands.
        if (Key == INT64_MIN) {
            SeekTo(ATarget);
            break;
        }
        if (Key <= ATarget || Pos <= First || abort_request) {
            SeekTo(Pos);
            break;
        }
        Pos = std::max(First, Pos - Step);
        if (!SeekTo(Pos))
            break;
    }
    av::av_packet_free(&Pkt);
}

// The seek the component asked for: the range seek first, then the plain one in both directions;
// on success every queue starts again from its flush marker.
void TVideoState::DoSeek() {
    int64_t Target = seek_pos;
    int64_t Min = seek_rel > 0 ? Target - seek_rel + 2 : INT64_MIN;
    // A seek to a position lands on the last key frame at or before it (unless any frame will do).
    bool ToPosition = seek_rel == 0 && !(seek_flags & (AVSEEK_FLAG_BYTE | AVSEEK_FLAG_ANY));
    int64_t Max = seek_rel < 0 ? Target - seek_rel - 2 : ToPosition ? Target : INT64_MAX;
    Min = std::min(Min, Max);
    int Ret = av::avformat_seek_file(ic, -1, Min, Target, Max, seek_flags);
    if (Ret < 0)
        Ret = av::av_seek_frame(ic, -1, Target, seek_flags);
    if (Ret < 0)
        Ret = av::av_seek_frame(ic, -1, Target, seek_flags ^ AVSEEK_FLAG_BACKWARD);
    if (Ret >= 0 && ToPosition && video_stream >= 0)
        LandOnKeyFrame(Target, seek_flags);
    int Serial = seek_serial + 1;
    if (Ret < 0) {
        Owner->LogError(Format(u"%s: error while seeking", {filename}), false);
        if (video_stream >= 0)
            PictEvent.Set();
        // No picture follows a seek that failed: a waiting seek ends now.
        seek_serial = Serial;
        shown_serial = Serial;
        Owner->FSeeking = false;
    } else {
        // Counted before the flush markers go out, so that the pictures after them carry the count.
        seek_serial = Serial;
        audio_seek_clock = Target / 1000000.0;
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
    EventEOF = 0;
    video_drained = false;
    seek_req = 0;
    seek_done = 1;
    SeekEvent.Set();
    if (video_stream < 0)
        Owner->FSeeking = false;
}
