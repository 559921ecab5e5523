#include "support/MediaFixtures.h"
#include "support/LibAVPointers.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <mutex>
#include <sstream>
#include <stdexcept>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/mathematics.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

namespace qvtest {

namespace {

std::string ErrorText(int Err) {
    char Buf[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(Err, Buf, sizeof Buf);
    return Buf;
}

void Check(int Err, const std::string& What) {
    if (Err < 0)
        throw std::runtime_error(What + ": " + ErrorText(Err));
}

template <class T> T* CheckAlloc(T* P, const char* What) {
    if (!P)
        throw std::runtime_error(std::string("cannot allocate ") + What);
    return P;
}

// An output context that closes its file and frees itself however writing ends.
struct OutputContext {
    AVFormatContext* Ctx = nullptr;
    ~OutputContext() {
        if (!Ctx)
            return;
        if (!(Ctx->oformat->flags & AVFMT_NOFILE))
            avio_closep(&Ctx->pb);
        avformat_free_context(Ctx);
    }
};

// Text encoders take their styles from an ASS header, as a decoder of text subtitles would give it.
const char* const AssHeader = "[Script Info]\n"
                              "ScriptType: v4.00+\n"
                              "PlayResX: 384\n"
                              "PlayResY: 288\n"
                              "\n"
                              "[V4+ Styles]\n"
                              "Format: Name, Fontname, Fontsize, PrimaryColour, SecondaryColour, OutlineColour, "
                              "BackColour, Bold, Italic, Underline, StrikeOut, ScaleX, ScaleY, Spacing, Angle, "
                              "BorderStyle, Outline, Shadow, Alignment, MarginL, MarginR, MarginV, Encoding\n"
                              "Style: Default,Arial,16,&Hffffff,&Hffffff,&H0,&H0,0,0,0,0,100,100,0,0,1,1,0,2,10,10,"
                              "10,0\n"
                              "\n"
                              "[Events]\n"
                              "Format: Layer, Start, End, Style, Name, MarginL, MarginR, MarginV, Effect, Text\n";

// One encoded stream of the clip being written. NextPts is in the encoder's time base, so the
// writers can be interleaved by comparing their next time stamps.
class StreamWriter {
public:
    virtual ~StreamWriter() = default;

    AVStream* Stream = nullptr;
    CodecContextPtr Enc;
    int64_t NextPts = 0;
    bool Finished = false;

    // Encodes the next unit (or flushes the encoder at the end) and hands its packets to the muxer.
    virtual void WriteNext(AVFormatContext* Oc) = 0;

protected:
    PacketPtr Pkt{CheckAlloc(av_packet_alloc(), "packet")};

    void Open(AVFormatContext* Oc, const AVCodec* Codec, const StreamOptions& Options) {
        if (Oc->oformat->flags & AVFMT_GLOBALHEADER)
            Enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
        if (Options.BitRate > 0)
            Enc->bit_rate = Options.BitRate;
        Check(avcodec_open2(Enc.get(), Codec, nullptr), "cannot open encoder " + Options.Codec);
        Check(avcodec_parameters_from_context(Stream->codecpar, Enc.get()), "cannot copy codec parameters");
        Stream->time_base = Enc->time_base;
        if (!Options.Language.empty())
            av_dict_set(&Stream->metadata, "language", Options.Language.c_str(), 0);
        if (!Options.Title.empty())
            av_dict_set(&Stream->metadata, "title", Options.Title.c_str(), 0);
    }

    // Sends Frame (nullptr flushes) and writes every packet the encoder has ready.
    void Encode(AVFormatContext* Oc, const AVFrame* Frame) {
        Check(avcodec_send_frame(Enc.get(), Frame), "cannot encode");
        for (;;) {
            int Ret = avcodec_receive_packet(Enc.get(), Pkt.get());
            if (Ret == AVERROR(EAGAIN) || Ret == AVERROR_EOF)
                break;
            Check(Ret, "cannot encode");
            av_packet_rescale_ts(Pkt.get(), Enc->time_base, Stream->time_base);
            Pkt->stream_index = Stream->index;
            Check(av_interleaved_write_frame(Oc, Pkt.get()), "cannot write packet");
        }
    }
};

const AVCodec* FindEncoder(const std::string& Name) {
    const AVCodec* Codec = avcodec_find_encoder_by_name(Name.c_str());
    if (!Codec)
        throw std::runtime_error("no encoder " + Name);
    return Codec;
}

class VideoWriter : public StreamWriter {
public:
    VideoWriter(AVFormatContext* Oc, const StreamOptions& Options, double Duration) : FFrameRate(Options.FrameRate) {
        const AVCodec* Codec = FindEncoder(Options.Codec);
        Stream = CheckAlloc(avformat_new_stream(Oc, nullptr), "stream");
        Enc.reset(CheckAlloc(avcodec_alloc_context3(Codec), "encoder"));
        Enc->width = Options.Width;
        Enc->height = Options.Height;
        Enc->time_base = av_inv_q(FFrameRate);
        Enc->framerate = FFrameRate;
        Enc->sample_aspect_ratio = {1, 1};
        Enc->pix_fmt = ChoosePixelFormat(Codec);
        // Key frames come only where WriteNext asks for them: on whole seconds.
        Enc->gop_size = 600;
        Enc->keyint_min = 1;
        av_opt_set_int(Enc.get(), "sc_threshold", 1000000000, AV_OPT_SEARCH_CHILDREN);
        if (Options.Codec == "libx264") {
            av_opt_set(Enc->priv_data, "preset", "veryfast", 0);
            av_opt_set(Enc->priv_data, "x264-params", "scenecut=0", 0);
        }
        Open(Oc, Codec, Options);
        Stream->avg_frame_rate = FFrameRate;
        Stream->r_frame_rate = FFrameRate;

        FFrameCount = std::max<int64_t>(1, std::llround(Duration * av_q2d(FFrameRate)));
        FRgb.reset(AllocPicture(AV_PIX_FMT_RGB24));
        if (Enc->pix_fmt != AV_PIX_FMT_RGB24) {
            FPicture.reset(AllocPicture(Enc->pix_fmt));
            FScale.reset(CheckAlloc(sws_getContext(Enc->width, Enc->height, AV_PIX_FMT_RGB24, Enc->width, Enc->height,
                                                   Enc->pix_fmt, SWS_BICUBIC, nullptr, nullptr, nullptr),
                                    "scaler"));
        }
    }

    void WriteNext(AVFormatContext* Oc) override {
        if (NextPts >= FFrameCount) {
            Encode(Oc, nullptr);
            Finished = true;
            return;
        }
        AVFrame* Frame = FPicture ? FPicture.get() : FRgb.get();
        Check(av_frame_make_writable(Frame), "frame not writable");
        Check(av_frame_make_writable(FRgb.get()), "frame not writable");
        PaintTestPattern(FRgb->data[0], FRgb->linesize[0], Enc->width, Enc->height, NextPts);
        if (FPicture)
            sws_scale(FScale.get(), FRgb->data, FRgb->linesize, 0, Enc->height, FPicture->data, FPicture->linesize);
        Frame->pts = NextPts;
        Frame->pict_type = StartsSecond(NextPts) ? AV_PICTURE_TYPE_I : AV_PICTURE_TYPE_NONE;
        Frame->key_frame = Frame->pict_type == AV_PICTURE_TYPE_I;
        Encode(Oc, Frame);
        ++NextPts;
    }

private:
    AVRational FFrameRate;
    int64_t FFrameCount = 0;
    FramePtr FRgb;
    FramePtr FPicture;
    SwsPtr FScale;

    // The first frame at or after each whole second.
    bool StartsSecond(int64_t N) const {
        if (N == 0)
            return true;
        return N * FFrameRate.den / FFrameRate.num != (N - 1) * FFrameRate.den / FFrameRate.num;
    }

    static AVPixelFormat ChoosePixelFormat(const AVCodec* Codec) {
        if (!Codec->pix_fmts)
            return AV_PIX_FMT_YUV420P;
        for (const AVPixelFormat* P = Codec->pix_fmts; *P != AV_PIX_FMT_NONE; ++P)
            if (*P == AV_PIX_FMT_YUV420P)
                return *P;
        return Codec->pix_fmts[0];
    }

    AVFrame* AllocPicture(AVPixelFormat Format) {
        FramePtr Frame(CheckAlloc(av_frame_alloc(), "frame"));
        Frame->format = Format;
        Frame->width = Enc->width;
        Frame->height = Enc->height;
        Check(av_frame_get_buffer(Frame.get(), 0), "cannot allocate picture");
        return Frame.release();
    }
};

class AudioWriter : public StreamWriter {
public:
    AudioWriter(AVFormatContext* Oc, const StreamOptions& Options, double Duration) : FToneHz(Options.ToneHz) {
        const AVCodec* Codec = FindEncoder(Options.Codec);
        Stream = CheckAlloc(avformat_new_stream(Oc, nullptr), "stream");
        Enc.reset(CheckAlloc(avcodec_alloc_context3(Codec), "encoder"));
        Enc->sample_fmt = Codec->sample_fmts ? Codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
        Enc->sample_rate = Options.SampleRate;
        av_channel_layout_default(&Enc->ch_layout, Options.Channels);
        Enc->time_base = {1, Options.SampleRate};
        Open(Oc, Codec, Options);

        FTotalSamples = std::llround(Duration * Options.SampleRate);
        bool Variable = Codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE;
        FFrameSize = Variable || Enc->frame_size <= 0 ? 1024 : Enc->frame_size;
        FShortLastFrame = Variable || (Codec->capabilities & AV_CODEC_CAP_SMALL_LAST_FRAME) || Enc->frame_size <= 0;

        SwrContext* Swr = nullptr;
        Check(swr_alloc_set_opts2(&Swr, &Enc->ch_layout, Enc->sample_fmt, Enc->sample_rate, &Enc->ch_layout,
                                  AV_SAMPLE_FMT_S16, Enc->sample_rate, 0, nullptr),
              "cannot set up the resampler");
        FResample.reset(Swr);
        Check(swr_init(Swr), "cannot set up the resampler");
        FTone.resize(size_t(FFrameSize) * Enc->ch_layout.nb_channels);
    }

    void WriteNext(AVFormatContext* Oc) override {
        int64_t Left = FTotalSamples - NextPts;
        if (Left <= 0) {
            Encode(Oc, nullptr);
            Finished = true;
            return;
        }
        int Count = FShortLastFrame ? int(std::min<int64_t>(Left, FFrameSize)) : FFrameSize;
        int Channels = Enc->ch_layout.nb_channels;
        for (int I = 0; I < Count; ++I) {
            double T = double(NextPts + I) / Enc->sample_rate;
            auto Sample = int16_t(std::lround(16000.0 * std::sin(2.0 * M_PI * FToneHz * T)));
            for (int C = 0; C < Channels; ++C)
                FTone[size_t(I) * Channels + C] = Sample;
        }
        FramePtr Frame(CheckAlloc(av_frame_alloc(), "frame"));
        Frame->format = Enc->sample_fmt;
        Frame->sample_rate = Enc->sample_rate;
        Check(av_channel_layout_copy(&Frame->ch_layout, &Enc->ch_layout), "cannot copy channel layout");
        Frame->nb_samples = Count;
        Check(av_frame_get_buffer(Frame.get(), 0), "cannot allocate samples");
        const uint8_t* In[] = {reinterpret_cast<const uint8_t*>(FTone.data())};
        Check(swr_convert(FResample.get(), Frame->data, Count, In, Count), "cannot convert samples");
        Frame->pts = NextPts;
        Encode(Oc, Frame.get());
        NextPts += Count;
    }

private:
    double FToneHz;
    int64_t FTotalSamples = 0;
    int FFrameSize = 1024;
    bool FShortLastFrame = true;
    SwrPtr FResample;
    std::vector<int16_t> FTone;
};

class SubtitleWriter : public StreamWriter {
public:
    SubtitleWriter(AVFormatContext* Oc, const StreamOptions& Options, double Duration) : FCueText(Options.CueText) {
        const AVCodec* Codec = FindEncoder(Options.Codec);
        Stream = CheckAlloc(avformat_new_stream(Oc, nullptr), "stream");
        Enc.reset(CheckAlloc(avcodec_alloc_context3(Codec), "encoder"));
        Enc->time_base = {1, 1000};
        Enc->subtitle_header = reinterpret_cast<uint8_t*>(CheckAlloc(av_strdup(AssHeader), "header"));
        Enc->subtitle_header_size = int(strlen(AssHeader));
        Open(Oc, Codec, Options);
        FCueCount = int(std::ceil(Duration - 0.2));
        NextPts = 200;
        Finished = FCueCount <= 0;
    }

    void WriteNext(AVFormatContext* Oc) override {
        std::string Dialogue = std::to_string(FCue) + ",0,Default,,0,0,0,," + FCueText + " " + std::to_string(FCue + 1);
        AVSubtitleRect Rect{};
        Rect.type = SUBTITLE_ASS;
        Rect.ass = Dialogue.data();
        AVSubtitleRect* Rects[] = {&Rect};
        AVSubtitle Sub{};
        Sub.num_rects = 1;
        Sub.rects = Rects;
        Sub.start_display_time = 0;
        Sub.end_display_time = 600;
        Sub.pts = av_rescale_q(NextPts, Enc->time_base, AV_TIME_BASE_Q);

        std::vector<uint8_t> Buf(4096);
        int Size = avcodec_encode_subtitle(Enc.get(), Buf.data(), int(Buf.size()), &Sub);
        Check(Size, "cannot encode subtitle");
        Check(av_new_packet(Pkt.get(), Size), "cannot allocate packet");
        std::copy_n(Buf.data(), Size, Pkt->data);
        Pkt->pts = Pkt->dts = NextPts;
        Pkt->duration = Sub.end_display_time;
        Pkt->flags |= AV_PKT_FLAG_KEY;
        av_packet_rescale_ts(Pkt.get(), Enc->time_base, Stream->time_base);
        Pkt->stream_index = Stream->index;
        Check(av_interleaved_write_frame(Oc, Pkt.get()), "cannot write packet");

        ++FCue;
        NextPts = int64_t(FCue) * 1000 + 200;
        Finished = FCue >= FCueCount;
    }

private:
    std::string FCueText;
    int FCue = 0;
    int FCueCount = 0;
};

void WriteClipFile(const ClipOptions& Options, const std::string& Path) {
    OutputContext Out;
    Check(avformat_alloc_output_context2(&Out.Ctx, nullptr,
                                         Options.Container.empty() ? nullptr : Options.Container.c_str(), Path.c_str()),
          "no muxer for " + Path);
    AVFormatContext* Oc = Out.Ctx;
    if (!Options.Title.empty())
        av_dict_set(&Oc->metadata, "title", Options.Title.c_str(), 0);
    for (size_t I = 0; I < Options.Programs.size(); ++I) {
        AVProgram* Program = CheckAlloc(av_new_program(Oc, int(I + 1)), "program");
        av_dict_set(&Program->metadata, "service_name", Options.Programs[I].c_str(), 0);
        av_dict_set(&Program->metadata, "service_provider", "Quorvane", 0);
    }
    for (size_t I = 0; I < Options.Chapters.size(); ++I) {
        const ClipOptions::Chapter& C = Options.Chapters[I];
        auto* Chapter = CheckAlloc(static_cast<AVChapter*>(av_mallocz(sizeof(AVChapter))), "chapter");
        Chapter->id = int64_t(I + 1);
        Chapter->time_base = {1, 1000};
        Chapter->start = C.StartMs;
        Chapter->end = C.EndMs;
        av_dict_set(&Chapter->metadata, "title", C.Title.c_str(), 0);
        auto* Grown =
            CheckAlloc(static_cast<AVChapter**>(av_realloc(Oc->chapters, sizeof(AVChapter*) * (Oc->nb_chapters + 1))),
                       "chapter list");
        Oc->chapters = Grown;
        Oc->chapters[Oc->nb_chapters++] = Chapter;
    }

    std::vector<std::unique_ptr<StreamWriter>> Writers;
    for (const StreamOptions& S : Options.Streams) {
        switch (S.Type) {
        case AVMEDIA_TYPE_VIDEO:
            Writers.push_back(std::make_unique<VideoWriter>(Oc, S, S.Duration > 0 ? S.Duration : Options.Duration));
            break;
        case AVMEDIA_TYPE_AUDIO:
            Writers.push_back(std::make_unique<AudioWriter>(Oc, S, S.Duration > 0 ? S.Duration : Options.Duration));
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            Writers.push_back(std::make_unique<SubtitleWriter>(Oc, S, S.Duration > 0 ? S.Duration : Options.Duration));
            break;
        default:
            throw std::logic_error("unsupported stream type");
        }
        if (S.Program > 0)
            av_program_add_stream_index(Oc, S.Program, Writers.back()->Stream->index);
    }

    Oc->output_ts_offset = std::llround(Options.StartOffset * AV_TIME_BASE);
    if (!(Oc->oformat->flags & AVFMT_NOFILE))
        Check(avio_open(&Oc->pb, Path.c_str(), AVIO_FLAG_WRITE), "cannot create " + Path);
    AVDictionary* MuxOptions = nullptr;
    // A single picture is written under the file's own name, not a numbered pattern.
    if (std::string(Oc->oformat->name) == "image2")
        av_dict_set(&MuxOptions, "update", "1", 0);
    int Ret = avformat_write_header(Oc, &MuxOptions);
    av_dict_free(&MuxOptions);
    Check(Ret, "cannot write header of " + Path);

    for (;;) {
        StreamWriter* Next = nullptr;
        for (auto& W : Writers)
            if (!W->Finished &&
                (!Next || av_compare_ts(W->NextPts, W->Enc->time_base, Next->NextPts, Next->Enc->time_base) < 0))
                Next = W.get();
        if (!Next)
            break;
        Next->WriteNext(Oc);
    }
    Check(av_write_trailer(Oc), "cannot finish " + Path);
}

std::string Describe(const ClipOptions& O) {
    std::ostringstream S;
    S << O.Container << '|' << O.Duration << '|' << O.Title << '|';
    for (const std::string& P : O.Programs)
        S << P << ',';
    for (const ClipOptions::Chapter& C : O.Chapters)
        S << '{' << C.StartMs << '-' << C.EndMs << ',' << C.Title << '}';
    for (const StreamOptions& T : O.Streams) {
        S << '[' << int(T.Type) << ',' << T.Codec << ',' << T.BitRate << ',' << T.Width << 'x' << T.Height << ','
          << T.FrameRate.num << '/' << T.FrameRate.den << ',' << T.SampleRate << ',' << T.Channels << ',' << T.ToneHz
          << ',' << T.CueText << ',' << T.Language << ',' << T.Title << ',' << T.Program;
        // Written only when set, so that the clips written before these options keep their names.
        if (T.Duration > 0)
            S << ",d" << T.Duration;
        S << ']';
    }
    if (O.StartOffset != 0)
        S << "|start" << O.StartOffset;
    return S.str();
}

// Bump when the writer changes what it puts into a file of the same options, so that caches
// written by an older helper are not reused.
constexpr int FixtureFormatVersion = 1;

// 64-bit FNV-1a: stable across processes and builds, unlike std::hash.
uint64_t StableHash(const std::string& Text) {
    uint64_t H = 14695981039346656037ull;
    for (unsigned char C : Text) {
        H ^= C;
        H *= 1099511628211ull;
    }
    return H;
}

std::string CacheKey(const std::string& Name, const std::string& Description) {
    std::ostringstream Key;
    Key << FixtureFormatVersion << '|' << LIBAVFORMAT_VERSION_INT << '|' << LIBAVCODEC_VERSION_INT << '|' << Name << '|'
        << Description;
    char Hex[17];
    std::snprintf(Hex, sizeof Hex, "%016llx", static_cast<unsigned long long>(StableHash(Key.str())));
    return Hex;
}

// An exclusive advisory lock on a file, released when closed (also when the process dies).
class FileLock {
public:
    explicit FileLock(const std::string& Path) {
        FFd = open(Path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
        if (FFd >= 0)
            while (flock(FFd, LOCK_EX) != 0 && errno == EINTR) {
            }
    }
    ~FileLock() {
        if (FFd >= 0)
            close(FFd);
    }
    FileLock(const FileLock&) = delete;
    FileLock& operator=(const FileLock&) = delete;

private:
    int FFd = -1;
};

// The fixture files, shared by every test process of the build: each file lives in a folder named
// after a hash of its name and options, "<cache>/<hash>/<name>", so it keeps its own file name. A
// file is written into a private folder and published by renaming that folder, which is atomic: a
// process sees a fixture completely or not at all. Writers of the same fixture take turns on a lock
// file, so parallel test programs write each fixture once.
class FixtureCache {
public:
    std::recursive_mutex Lock;

    const std::string& Folder() {
        std::lock_guard Guard(Lock);
        if (FFolder.empty()) {
            namespace fs = std::filesystem;
            fs::path Dir;
            if (const char* Env = std::getenv("QV_FIXTURE_DIR"); Env && *Env)
                Dir = Env;
            else {
                std::error_code Err;
                fs::path Exe = fs::read_symlink("/proc/self/exe", Err);
                Dir = (Err ? fs::temp_directory_path() : Exe.parent_path()) / "fixtures-cache";
            }
            std::error_code Err;
            fs::create_directories(Dir, Err);
            if (!fs::is_directory(Dir))
                throw std::runtime_error("cannot create the fixture folder " + Dir.string());
            FFolder = Dir.string();
        }
        return FFolder;
    }

    // Returns the file Name written by Make, making it when no process has made it yet.
    template <class MakeFn>
    const std::string& Get(const std::string& Name, const std::string& Description, MakeFn Make) {
        namespace fs = std::filesystem;
        std::lock_guard Guard(Lock);
        auto It = FFiles.find(Name);
        if (It != FFiles.end()) {
            if (It->second.first != Description)
                throw std::logic_error("fixture " + Name + " was already written with other options");
            return It->second.second;
        }
        std::string Key = CacheKey(Name, Description);
        fs::path Entry = fs::path(Folder()) / Key;
        fs::path Path = Entry / fs::path(Name);
        if (!fs::exists(Path)) {
            FileLock Writer((fs::path(Folder()) / (Key + ".lock")).string());
            if (!fs::exists(Path))
                Publish(Entry, Name, Make);
        }
        return FFiles.emplace(Name, std::make_pair(Description, Path.string())).first->second.second;
    }

private:
    std::string FFolder;
    std::map<std::string, std::pair<std::string, std::string>> FFiles;

    template <class MakeFn> void Publish(const std::filesystem::path& Entry, const std::string& Name, MakeFn Make) {
        namespace fs = std::filesystem;
        std::string Pattern = Entry.string() + ".partial-XXXXXX";
        if (!mkdtemp(Pattern.data()))
            throw std::runtime_error("cannot create a folder in " + FFolder);
        fs::path Partial = Pattern;
        std::error_code Ignored;
        try {
            Make((Partial / fs::path(Name)).string());
        } catch (...) {
            fs::remove_all(Partial, Ignored);
            throw;
        }
        // An entry left without its file (removed by hand) is replaced.
        if (fs::exists(Entry))
            fs::remove_all(Entry, Ignored);
        if (rename(Partial.c_str(), Entry.c_str()) != 0) {
            fs::remove_all(Partial, Ignored);
            if (!fs::exists(Entry / fs::path(Name)))
                throw std::runtime_error("cannot publish the fixture " + Name + " in " + FFolder);
        }
    }
};

FixtureCache& Cache() {
    static FixtureCache TheCache;
    return TheCache;
}

std::vector<char> ReadAll(const std::string& Path) {
    std::ifstream In(std::filesystem::path(Path), std::ios::binary);
    if (!In)
        throw std::runtime_error("cannot read " + Path);
    return std::vector<char>(std::istreambuf_iterator<char>(In), {});
}

void WriteAll(const std::string& Path, const char* Data, size_t Size) {
    std::ofstream Out(std::filesystem::path(Path), std::ios::binary | std::ios::trunc);
    Out.write(Data, std::streamsize(Size));
    if (!Out)
        throw std::runtime_error("cannot write " + Path);
}

StreamOptions WithMeta(StreamOptions S, const std::string& Language, const std::string& Title) {
    S.Language = Language;
    S.Title = Title;
    return S;
}

} // namespace

StreamOptions VideoStream(const std::string& Codec, int Width, int Height, AVRational FrameRate) {
    StreamOptions S;
    S.Type = AVMEDIA_TYPE_VIDEO;
    S.Codec = Codec;
    S.Width = Width;
    S.Height = Height;
    S.FrameRate = FrameRate;
    return S;
}

StreamOptions AudioStream(const std::string& Codec, int SampleRate, int Channels, double ToneHz) {
    StreamOptions S;
    S.Type = AVMEDIA_TYPE_AUDIO;
    S.Codec = Codec;
    S.SampleRate = SampleRate;
    S.Channels = Channels;
    S.ToneHz = ToneHz;
    return S;
}

StreamOptions SubtitleStream(const std::string& Codec, const std::string& CueText) {
    StreamOptions S;
    S.Type = AVMEDIA_TYPE_SUBTITLE;
    S.Codec = Codec;
    S.CueText = CueText;
    return S;
}

const std::string& FixtureFolder() {
    return Cache().Folder();
}

const std::string& WriteClip(const ClipOptions& Options) {
    if (Options.FileName.empty())
        throw std::logic_error("a fixture needs a file name");
    return Cache().Get(Options.FileName, Describe(Options),
                       [&](const std::string& Path) { WriteClipFile(Options, Path); });
}

const std::string& TruncatedCopy(const std::string& Source, double Fraction, const std::string& Name) {
    return Cache().Get(Name, "truncated " + Source + " " + std::to_string(Fraction), [&](const std::string& Path) {
        std::vector<char> Bytes = ReadAll(Source);
        WriteAll(Path, Bytes.data(), size_t(double(Bytes.size()) * Fraction));
    });
}

const std::string& CorruptCopy(const std::string& Source, double Fraction, size_t Length, const std::string& Name) {
    std::string Description = "corrupt " + Source + " " + std::to_string(Fraction) + " " + std::to_string(Length);
    return Cache().Get(Name, Description, [&](const std::string& Path) {
        std::vector<char> Bytes = ReadAll(Source);
        size_t Start = std::min(Bytes.size(), size_t(double(Bytes.size()) * Fraction));
        size_t End = std::min(Bytes.size(), Start + Length);
        // A fixed linear congruential sequence, so every run corrupts the same way.
        uint32_t Seed = 0x2545F491u;
        for (size_t I = Start; I < End; ++I) {
            Seed = Seed * 1664525u + 1013904223u;
            Bytes[I] = char(Seed >> 24);
        }
        WriteAll(Path, Bytes.data(), Bytes.size());
    });
}

ClipOptions FixtureOptions(Fixture Which) {
    ClipOptions O;
    switch (Which) {
    case Fixture::Avi:
    case Fixture::NonAsciiName:
    case Fixture::Truncated:
    case Fixture::Corrupt:
        O.FileName = Which == Fixture::NonAsciiName ? "测试视频 样本.avi" : "clip.avi";
        O.Container = "avi";
        O.Title = "Quorvane AVI";
        O.Streams = {VideoStream("mpeg4"), AudioStream("mp2")};
        break;
    case Fixture::Mp4:
        O.FileName = "clip.mp4";
        O.Streams = {VideoStream("libx264"), AudioStream("aac")};
        break;
    case Fixture::Mkv:
        O.FileName = "clip.mkv";
        O.Title = "Quorvane MKV";
        O.Streams = {WithMeta(VideoStream("libx264"), "und", "Test pattern"),
                     WithMeta(AudioStream("aac"), "eng", "Tone 440 Hz")};
        break;
    case Fixture::MpegTs:
        O.FileName = "clip.ts";
        O.Programs = {"Pattern and tone", "Second tone"};
        O.Streams = {VideoStream("mpeg2video"), WithMeta(AudioStream("mp2"), "eng", ""),
                     WithMeta(AudioStream("mp2", 48000, 2, 660.0), "ger", "")};
        O.Streams[0].Program = 1;
        O.Streams[1].Program = 1;
        O.Streams[2].Program = 2;
        break;
    case Fixture::Wav:
        O.FileName = "tone.wav";
        O.Duration = 2.0;
        O.Streams = {AudioStream("pcm_s16le", 44100, 1)};
        break;
    case Fixture::WavStereo22050:
        O.FileName = "tone-22050-stereo.wav";
        O.Duration = 2.0;
        O.Streams = {AudioStream("pcm_s16le", 22050, 2)};
        break;
    case Fixture::Png:
        O.FileName = "picture.png";
        O.Container = "image2";
        O.Duration = 1.0 / 25;
        O.Streams = {VideoStream("png")};
        break;
    case Fixture::Ntsc:
        O.FileName = "ntsc.mp4";
        O.Streams = {VideoStream("libx264", 320, 240, {30000, 1001}), AudioStream("aac", 48000)};
        break;
    case Fixture::ThreeAudio:
        O.FileName = "three-audio.mkv";
        O.Streams = {VideoStream("libx264"), WithMeta(AudioStream("aac", 44100, 2, 440.0), "eng", "English"),
                     WithMeta(AudioStream("aac", 44100, 2, 660.0), "fre", "Français"),
                     WithMeta(AudioStream("aac", 44100, 1, 880.0), "ger", "Deutsch")};
        break;
    case Fixture::Subtitles:
        O.FileName = "subtitles.mkv";
        O.Streams = {VideoStream("libx264"), AudioStream("aac"),
                     WithMeta(SubtitleStream("subrip", "Subtitle"), "eng", "English"),
                     WithMeta(SubtitleStream("ass", "字幕"), "chi", "中文")};
        break;
    case Fixture::SubtitlesOnly:
        O.FileName = "subtitles-only.mkv";
        O.Streams = {WithMeta(SubtitleStream("subrip"), "eng", "")};
        break;
    }
    return O;
}

const std::string& FixturePath(Fixture Which) {
    switch (Which) {
    case Fixture::Truncated:
        return TruncatedCopy(FixturePath(Fixture::Avi), 0.5, "truncated.avi");
    case Fixture::Corrupt:
        return CorruptCopy(FixturePath(Fixture::Avi), 0.5, 8192, "corrupt.avi");
    default:
        return WriteClip(FixtureOptions(Which));
    }
}

void PaintTestPattern(uint8_t* Rgb, int LineSize, int Width, int Height, int64_t FrameIndex) {
    int BarsEnd = Height / 2;
    int MovingEnd = Height * 3 / 4;
    int BarWidth = std::max(2, Width / 16);
    int BarX = int((FrameIndex * std::max(1, Width / 80)) % std::max(1, Width - BarWidth));
    // Each band repeats one row: paint it once and copy it down (big clips stay quick to write).
    auto PaintRow = [&](uint8_t* P, int Band) {
        for (int X = 0; X < Width; ++X, P += 3) {
            uint8_t R, G, B;
            if (Band == 0) {
                int Third = X * 3 / Width;
                R = Third == 0 ? 255 : 0;
                G = Third == 1 ? 255 : 0;
                B = Third == 2 ? 255 : 0;
            } else if (Band == 1) {
                R = G = B = X >= BarX && X < BarX + BarWidth ? 255 : 128;
            } else {
                int Bit = X * 16 / Width;
                R = G = B = (FrameIndex >> Bit) & 1 ? 255 : 0;
            }
            P[0] = R;
            P[1] = G;
            P[2] = B;
        }
    };
    const int BandStart[] = {0, BarsEnd, MovingEnd, Height};
    for (int Band = 0; Band < 3; ++Band) {
        if (BandStart[Band] >= BandStart[Band + 1])
            continue;
        uint8_t* First = Rgb + ptrdiff_t(BandStart[Band]) * LineSize;
        PaintRow(First, Band);
        for (int Y = BandStart[Band] + 1; Y < BandStart[Band + 1]; ++Y)
            std::memcpy(Rgb + ptrdiff_t(Y) * LineSize, First, size_t(Width) * 3);
    }
}

int64_t ReadPatternFrameIndex(const uint8_t* Pixels, int LineSize, int BytesPerPixel, int Width, int Height) {
    int Y = (Height * 3 / 4 + Height) / 2;
    int64_t Index = 0;
    for (int Bit = 0; Bit < 16; ++Bit) {
        int X = (2 * Bit + 1) * Width / 32;
        const uint8_t* P = Pixels + ptrdiff_t(Y) * LineSize + ptrdiff_t(X) * BytesPerPixel;
        int Level = BytesPerPixel >= 3 ? (P[0] + P[1] + P[2]) / 3 : P[0];
        if (Level >= 128)
            Index |= int64_t(1) << Bit;
    }
    return Index;
}

} // namespace qvtest
