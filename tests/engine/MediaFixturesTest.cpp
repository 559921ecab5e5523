// The media fixtures, read back with libavformat/libavcodec directly: the engine's tests rely on
// what these files hold.
#include "support/MediaFixtures.h"
#include "support/LibAVPointers.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>
#include <stdexcept>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswscale/swscale.h>
}

using namespace qvtest;

namespace {

struct InputFile {
    AVFormatContext* Ctx = nullptr;
    int OpenResult = 0;

    explicit InputFile(const std::string& Path) {
        OpenResult = avformat_open_input(&Ctx, Path.c_str(), nullptr, nullptr);
        if (OpenResult >= 0)
            OpenResult = avformat_find_stream_info(Ctx, nullptr);
    }
    ~InputFile() { avformat_close_input(&Ctx); }

    AVStream* Stream(int I) const { return Ctx->streams[I]; }
    std::string Meta(AVDictionary* Dict, const char* Key) const {
        AVDictionaryEntry* E = av_dict_get(Dict, Key, nullptr, 0);
        return E ? E->value : "";
    }
};

// Every packet of one stream, in file order.
struct PacketInfo {
    int64_t Pts;
    bool Key;
    std::vector<uint8_t> Data;
};

std::vector<PacketInfo> ReadPackets(InputFile& In, int StreamIndex) {
    std::vector<PacketInfo> Result;
    PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(In.Ctx, Pkt.get()) >= 0) {
        if (Pkt->stream_index == StreamIndex)
            Result.push_back({Pkt->pts, (Pkt->flags & AV_PKT_FLAG_KEY) != 0,
                              std::vector<uint8_t>(Pkt->data, Pkt->data + Pkt->size)});
        av_packet_unref(Pkt.get());
    }
    return Result;
}

// Decodes every picture of the video stream as packed RGB24, in presentation order.
struct Picture {
    int64_t Pts;
    int Width, Height;
    std::vector<uint8_t> Rgb;
    const uint8_t* Pixel(int X, int Y) const { return &Rgb[(size_t(Y) * Width + X) * 3]; }
};

std::vector<Picture> DecodePictures(const std::string& Path) {
    InputFile In(Path);
    EXPECT_GE(In.OpenResult, 0);
    std::vector<Picture> Result;
    if (In.OpenResult < 0)
        return Result;
    int Index = av_find_best_stream(In.Ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    AVStream* St = In.Stream(Index);
    const AVCodec* Codec = avcodec_find_decoder(St->codecpar->codec_id);
    CodecContextPtr Dec(avcodec_alloc_context3(Codec));
    avcodec_parameters_to_context(Dec.get(), St->codecpar);
    EXPECT_EQ(avcodec_open2(Dec.get(), Codec, nullptr), 0);
    FramePtr Frame(av_frame_alloc());
    PacketPtr Pkt(av_packet_alloc());
    auto Drain = [&] {
        while (avcodec_receive_frame(Dec.get(), Frame.get()) >= 0) {
            Picture P{Frame->best_effort_timestamp, Frame->width, Frame->height, {}};
            P.Rgb.resize(size_t(P.Width) * P.Height * 3);
            SwsContext* Sws = sws_getContext(P.Width, P.Height, AVPixelFormat(Frame->format), P.Width, P.Height,
                                             AV_PIX_FMT_RGB24, SWS_BICUBIC, nullptr, nullptr, nullptr);
            uint8_t* Dst[] = {P.Rgb.data()};
            int DstLine[] = {P.Width * 3};
            sws_scale(Sws, Frame->data, Frame->linesize, 0, P.Height, Dst, DstLine);
            sws_freeContext(Sws);
            Result.push_back(std::move(P));
        }
    };
    while (av_read_frame(In.Ctx, Pkt.get()) >= 0) {
        if (Pkt->stream_index == Index) {
            avcodec_send_packet(Dec.get(), Pkt.get());
            Drain();
        }
        av_packet_unref(Pkt.get());
    }
    avcodec_send_packet(Dec.get(), nullptr);
    Drain();
    return Result;
}

std::string StreamSignature(const InputFile& In) {
    std::string S;
    for (unsigned I = 0; I < In.Ctx->nb_streams; ++I) {
        if (I)
            S += ' ';
        S += avcodec_get_name(In.Stream(I)->codecpar->codec_id);
    }
    return S;
}

} // namespace

TEST(MediaFixtures, EachFixtureOpensWithTheExpectedStreamsAndDuration) {
    struct Case {
        Fixture Which;
        const char* Format;
        const char* Streams;
        double Duration;
    };
    const Case Cases[] = {
        {Fixture::Avi, "avi", "mpeg4 mp2", 3.0},
        {Fixture::Mp4, "mov,mp4,m4a,3gp,3g2,mj2", "h264 aac", 3.0},
        {Fixture::Mkv, "matroska,webm", "h264 aac", 3.0},
        {Fixture::MpegTs, "mpegts", "mpeg2video mp2 mp2", 3.0},
        {Fixture::Wav, "wav", "pcm_s16le", 2.0},
        {Fixture::WavStereo22050, "wav", "pcm_s16le", 2.0},
        {Fixture::Png, "png_pipe", "png", -1},
        {Fixture::Ntsc, "mov,mp4,m4a,3gp,3g2,mj2", "h264 aac", 3.0},
        {Fixture::ThreeAudio, "matroska,webm", "h264 aac aac aac", 3.0},
        {Fixture::Subtitles, "matroska,webm", "h264 aac subrip ass", 3.0},
        {Fixture::SubtitlesOnly, "matroska,webm", "subrip", 2.8},
        {Fixture::NonAsciiName, "avi", "mpeg4 mp2", 3.0},
    };
    for (const Case& C : Cases) {
        const std::string& Path = FixturePath(C.Which);
        SCOPED_TRACE(Path);
        InputFile In(Path);
        ASSERT_GE(In.OpenResult, 0);
        EXPECT_EQ(std::string(In.Ctx->iformat->name), C.Format);
        EXPECT_EQ(StreamSignature(In), C.Streams);
        if (C.Duration > 0) {
            EXPECT_NEAR(double(In.Ctx->duration) / AV_TIME_BASE, C.Duration, 0.1);
        }
    }
}

TEST(MediaFixtures, NonAsciiNameIsKeptOnDisk) {
    std::filesystem::path Path = std::filesystem::path(FixturePath(Fixture::NonAsciiName));
    EXPECT_EQ(Path.filename().string(), "测试视频 样本.avi");
    EXPECT_TRUE(std::filesystem::exists(Path));
}

TEST(MediaFixtures, VideoHasKeyFramesExactlyOnWholeSeconds) {
    struct Case {
        Fixture Which;
        AVRational Rate;
        int Frames;
        std::vector<int64_t> KeyFrames;
    };
    const Case Cases[] = {
        {Fixture::Avi, {25, 1}, 75, {0, 25, 50}},
        {Fixture::Mp4, {25, 1}, 75, {0, 25, 50}},
        {Fixture::Mkv, {25, 1}, 75, {0, 25, 50}},
        {Fixture::MpegTs, {25, 1}, 75, {0, 25, 50}},
        // 30000/1001: the first frames at or after 1 s and 2 s.
        {Fixture::Ntsc, {30000, 1001}, 90, {0, 30, 60}},
    };
    for (const Case& C : Cases) {
        const std::string& Path = FixturePath(C.Which);
        SCOPED_TRACE(Path);
        InputFile In(Path);
        ASSERT_GE(In.OpenResult, 0);
        int Index = av_find_best_stream(In.Ctx, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
        ASSERT_GE(Index, 0);
        AVStream* St = In.Stream(Index);
        EXPECT_EQ(av_cmp_q(St->avg_frame_rate, C.Rate), 0) << St->avg_frame_rate.num << "/" << St->avg_frame_rate.den;
        std::vector<PacketInfo> Packets = ReadPackets(In, Index);
        EXPECT_EQ(int(Packets.size()), C.Frames);
        int64_t Start = St->start_time == AV_NOPTS_VALUE ? 0 : St->start_time;
        std::vector<int64_t> Keys;
        for (const PacketInfo& P : Packets)
            if (P.Key)
                Keys.push_back(av_rescale_q_rnd(P.Pts - Start, St->time_base, av_inv_q(C.Rate), AV_ROUND_NEAR_INF));
        EXPECT_EQ(Keys, C.KeyFrames);
    }
}

TEST(MediaFixtures, PicturesCarryColoursAndFrameNumbersInOrder) {
    for (Fixture Which : {Fixture::Avi, Fixture::Mp4, Fixture::MpegTs}) {
        SCOPED_TRACE(FixturePath(Which));
        std::vector<Picture> Pictures = DecodePictures(FixturePath(Which));
        ASSERT_EQ(Pictures.size(), 75u);
        for (size_t I = 0; I < Pictures.size(); ++I) {
            const Picture& P = Pictures[I];
            ASSERT_EQ(ReadPatternFrameIndex(P.Rgb.data(), P.Width * 3, 3, P.Width, P.Height), int64_t(I));
        }
        // Red, green and blue bars from left to right: a red/blue swap or a mirror shows.
        const Picture& First = Pictures[0];
        struct Sample {
            int X;
            uint8_t R, G, B;
        };
        for (Sample S : {Sample{50, 255, 0, 0}, Sample{160, 0, 255, 0}, Sample{270, 0, 0, 255}}) {
            const uint8_t* Px = First.Pixel(S.X, 60);
            EXPECT_NEAR(Px[0], S.R, 12) << S.X;
            EXPECT_NEAR(Px[1], S.G, 12) << S.X;
            EXPECT_NEAR(Px[2], S.B, 12) << S.X;
        }
    }
}

TEST(MediaFixtures, PngIsOnePictureOfFrameZero) {
    std::vector<Picture> Pictures = DecodePictures(FixturePath(Fixture::Png));
    ASSERT_EQ(Pictures.size(), 1u);
    const Picture& P = Pictures[0];
    EXPECT_EQ(P.Width, 320);
    EXPECT_EQ(P.Height, 240);
    EXPECT_EQ(ReadPatternFrameIndex(P.Rgb.data(), P.Width * 3, 3, P.Width, P.Height), 0);
    // Lossless: exact colours.
    EXPECT_EQ(std::vector<uint8_t>(P.Pixel(0, 0), P.Pixel(0, 0) + 3), (std::vector<uint8_t>{255, 0, 0}));
    EXPECT_EQ(std::vector<uint8_t>(P.Pixel(319, 0), P.Pixel(319, 0) + 3), (std::vector<uint8_t>{0, 0, 255}));
}

TEST(MediaFixtures, PaintedFrameNumbersReadBack) {
    std::vector<uint8_t> Rgb(64 * 48 * 3);
    for (int64_t N : {0, 1, 2, 25, 1000, 65535}) {
        PaintTestPattern(Rgb.data(), 64 * 3, 64, 48, N);
        EXPECT_EQ(ReadPatternFrameIndex(Rgb.data(), 64 * 3, 3, 64, 48), N);
    }
}

TEST(MediaFixtures, WavFilesHoldTheToneAtTheirRates) {
    struct Case {
        Fixture Which;
        int Rate, Channels;
    };
    for (Case C : {Case{Fixture::Wav, 44100, 1}, Case{Fixture::WavStereo22050, 22050, 2}}) {
        InputFile In(FixturePath(C.Which));
        ASSERT_GE(In.OpenResult, 0);
        AVCodecParameters* Par = In.Stream(0)->codecpar;
        EXPECT_EQ(Par->sample_rate, C.Rate);
        EXPECT_EQ(Par->ch_layout.nb_channels, C.Channels);
        std::vector<int16_t> Samples;
        for (const PacketInfo& P : ReadPackets(In, 0)) {
            const auto* S = reinterpret_cast<const int16_t*>(P.Data.data());
            Samples.insert(Samples.end(), S, S + P.Data.size() / 2);
        }
        ASSERT_EQ(Samples.size(), size_t(2 * C.Rate * C.Channels));
        // 440 Hz for 2 s: 880 rising zero crossings in the first channel.
        int Rising = 0;
        for (size_t I = C.Channels; I < Samples.size(); I += C.Channels)
            Rising += Samples[I - C.Channels] < 0 && Samples[I] >= 0;
        EXPECT_NEAR(Rising, 880, 1);
    }
}

TEST(MediaFixtures, StreamMetadataAndTitlesAreWritten) {
    InputFile Mkv(FixturePath(Fixture::Mkv));
    ASSERT_GE(Mkv.OpenResult, 0);
    EXPECT_EQ(Mkv.Meta(Mkv.Ctx->metadata, "title"), "Quorvane MKV");
    EXPECT_EQ(Mkv.Meta(Mkv.Stream(1)->metadata, "language"), "eng");
    EXPECT_EQ(Mkv.Meta(Mkv.Stream(1)->metadata, "title"), "Tone 440 Hz");

    InputFile Three(FixturePath(Fixture::ThreeAudio));
    ASSERT_GE(Three.OpenResult, 0);
    const char* Languages[] = {"eng", "fre", "ger"};
    const char* Titles[] = {"English", "Français", "Deutsch"};
    const int Channels[] = {2, 2, 1};
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(Three.Meta(Three.Stream(I + 1)->metadata, "language"), Languages[I]);
        EXPECT_EQ(Three.Meta(Three.Stream(I + 1)->metadata, "title"), Titles[I]);
        EXPECT_EQ(Three.Stream(I + 1)->codecpar->ch_layout.nb_channels, Channels[I]);
    }

    InputFile Avi(FixturePath(Fixture::Avi));
    ASSERT_GE(Avi.OpenResult, 0);
    EXPECT_EQ(Avi.Meta(Avi.Ctx->metadata, "title"), "Quorvane AVI");
}

TEST(MediaFixtures, MpegTsHasTwoProgramsOn90kHzTimeBase) {
    InputFile In(FixturePath(Fixture::MpegTs));
    ASSERT_GE(In.OpenResult, 0);
    for (unsigned I = 0; I < In.Ctx->nb_streams; ++I)
        EXPECT_EQ(av_cmp_q(In.Stream(I)->time_base, AVRational{1, 90000}), 0);
    ASSERT_EQ(In.Ctx->nb_programs, 2u);
    struct Expected {
        int Id;
        const char* Name;
        std::vector<int> Streams;
    };
    const Expected Programs[] = {{1, "Pattern and tone", {0, 1}}, {2, "Second tone", {2}}};
    for (int P = 0; P < 2; ++P) {
        AVProgram* Program = In.Ctx->programs[P];
        EXPECT_EQ(Program->id, Programs[P].Id);
        EXPECT_EQ(In.Meta(Program->metadata, "service_name"), Programs[P].Name);
        std::vector<int> Streams;
        for (unsigned I = 0; I < Program->nb_stream_indexes; ++I)
            Streams.push_back(int(Program->stream_index[I]));
        EXPECT_EQ(Streams, Programs[P].Streams);
    }
    EXPECT_EQ(In.Meta(In.Stream(2)->metadata, "language"), "ger");
    EXPECT_EQ(In.Stream(2)->codecpar->sample_rate, 48000);
}

TEST(MediaFixtures, SubtitleCuesFallInEverySecond) {
    InputFile In(FixturePath(Fixture::Subtitles));
    ASSERT_GE(In.OpenResult, 0);
    EXPECT_EQ(In.Meta(In.Stream(2)->metadata, "language"), "eng");
    EXPECT_EQ(In.Meta(In.Stream(3)->metadata, "language"), "chi");
    EXPECT_EQ(In.Meta(In.Stream(3)->metadata, "title"), "中文");
    // The muxer moves everything by the audio encoder's priming; cues keep their place beside the video.
    int64_t Start = av_rescale_q(In.Stream(0)->start_time, In.Stream(0)->time_base, In.Stream(2)->time_base);
    std::vector<PacketInfo> Packets = ReadPackets(In, 2);
    ASSERT_EQ(Packets.size(), 3u);
    for (int I = 0; I < 3; ++I) {
        EXPECT_EQ(av_rescale_q(Packets[I].Pts - Start, In.Stream(2)->time_base, {1, 1000}), 200 + 1000 * I);
        EXPECT_EQ(std::string(Packets[I].Data.begin(), Packets[I].Data.end()), "Subtitle " + std::to_string(I + 1));
    }

    InputFile Again(FixturePath(Fixture::Subtitles));
    std::vector<PacketInfo> Ass = ReadPackets(Again, 3);
    ASSERT_EQ(Ass.size(), 3u);
    std::string Text(Ass[0].Data.begin(), Ass[0].Data.end());
    EXPECT_NE(Text.find("字幕 1"), std::string::npos) << Text;

    InputFile Only(FixturePath(Fixture::SubtitlesOnly));
    ASSERT_GE(Only.OpenResult, 0);
    ASSERT_EQ(Only.Ctx->nb_streams, 1u);
    EXPECT_EQ(Only.Stream(0)->codecpar->codec_type, AVMEDIA_TYPE_SUBTITLE);
}

TEST(MediaFixtures, TruncatedAndCorruptCopiesOfTheAvi) {
    const std::string& Avi = FixturePath(Fixture::Avi);
    auto Size = std::filesystem::file_size(std::filesystem::path(Avi));
    EXPECT_EQ(std::filesystem::file_size(std::filesystem::path(FixturePath(Fixture::Truncated))), Size / 2);

    std::ifstream A(std::filesystem::path(Avi), std::ios::binary);
    std::ifstream C(std::filesystem::path(FixturePath(Fixture::Corrupt)), std::ios::binary);
    std::vector<char> Original((std::istreambuf_iterator<char>(A)), {});
    std::vector<char> Corrupt((std::istreambuf_iterator<char>(C)), {});
    ASSERT_EQ(Corrupt.size(), Original.size());
    size_t First = Original.size(), Last = 0;
    for (size_t I = 0; I < Original.size(); ++I)
        if (Original[I] != Corrupt[I]) {
            First = std::min(First, I);
            Last = I;
        }
    EXPECT_GE(First, Size / 2);
    EXPECT_LT(Last, Size / 2 + 8192);
    EXPECT_GT(Last - First, 8000u);

    // The truncated file still opens; it just ends early.
    InputFile In(FixturePath(Fixture::Truncated));
    ASSERT_GE(In.OpenResult, 0);
    EXPECT_LT(ReadPackets(In, 0).size(), 75u);
}

TEST(MediaFixtures, ClipsAreWrittenOncePerOptions) {
    ClipOptions O;
    O.FileName = "custom.mkv";
    O.Duration = 1.0;
    O.Streams = {VideoStream("mpeg4", 640, 360, {30, 1})};
    const std::string& Path = WriteClip(O);
    auto Written = std::filesystem::last_write_time(std::filesystem::path(Path));
    EXPECT_EQ(&WriteClip(O), &Path);
    EXPECT_EQ(std::filesystem::last_write_time(std::filesystem::path(Path)), Written);
    EXPECT_EQ(&FixturePath(Fixture::Avi), &FixturePath(Fixture::Avi));

    InputFile In(Path);
    ASSERT_GE(In.OpenResult, 0);
    EXPECT_EQ(In.Stream(0)->codecpar->width, 640);
    EXPECT_EQ(In.Stream(0)->codecpar->height, 360);
    EXPECT_EQ(ReadPackets(In, 0).size(), 30u);

    ClipOptions Other = O;
    Other.Duration = 2.0;
    EXPECT_THROW(WriteClip(Other), std::logic_error);

    ClipOptions Bad;
    Bad.FileName = "bad.mkv";
    Bad.Streams = {VideoStream("no-such-encoder")};
    EXPECT_THROW(WriteClip(Bad), std::runtime_error);
    // Other test processes add and rename entries meanwhile, so look into each entry without
    // descending: a folder that vanishes between listing and looking is no failure.
    for (const auto& Item : std::filesystem::directory_iterator(std::filesystem::path(FixtureFolder()))) {
        std::error_code Gone;
        EXPECT_FALSE(std::filesystem::exists(Item.path() / "bad.mkv", Gone)) << Item.path();
    }
}

// Test programs run in processes of their own: a clip one process wrote is reused by the next, and
// processes asking for the same new clip at once all get the one complete file.
TEST(MediaFixtures, TheCacheIsSharedByProcesses) {
    namespace fs = std::filesystem;
    ClipOptions O;
    O.FileName = "shared-" + std::to_string(getpid()) + ".avi";
    O.Duration = 0.2;
    O.Streams = {VideoStream("mpeg4", 64, 48)};

    std::vector<pid_t> Children;
    for (int I = 0; I < 4; ++I) {
        pid_t Pid = fork();
        ASSERT_GE(Pid, 0);
        if (Pid == 0) {
            int Code = 1;
            try {
                Code = fs::file_size(fs::path(WriteClip(O))) > 0 ? 0 : 1;
            } catch (...) {
            }
            _exit(Code);
        }
        Children.push_back(Pid);
    }
    for (pid_t Pid : Children) {
        int Status = 0;
        ASSERT_EQ(waitpid(Pid, &Status, 0), Pid);
        EXPECT_TRUE(WIFEXITED(Status) && WEXITSTATUS(Status) == 0);
    }
    auto Done = fs::file_time_type::clock::now();

    fs::path Path = WriteClip(O);
    fs::path Entry = Path.parent_path();
    EXPECT_EQ(Path.filename().string(), O.FileName);
    EXPECT_EQ(Entry.parent_path(), fs::path(FixtureFolder()));
    EXPECT_LE(fs::last_write_time(Path), Done);
    for (const auto& Item : fs::directory_iterator(fs::path(FixtureFolder())))
        EXPECT_EQ(Item.path().string().find(Entry.string() + ".partial"), std::string::npos);

    InputFile In(Path.string());
    ASSERT_GE(In.OpenResult, 0);
    EXPECT_EQ(ReadPackets(In, 0).size(), 5u);

    std::error_code Ignored;
    fs::remove_all(Entry, Ignored);
    fs::remove(fs::path(Entry.string() + ".lock"), Ignored);
}
