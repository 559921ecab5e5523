// Every profile of the catalogue converts a short generated clip through the transcoder, with the
// options that applying the profile gives; the output is read back for its container, codecs and
// picture size.
#include "app/profiles/OutputParams.h"
#include "app/profiles/ProfileCatalogue.h"
#include "app/profiles/ProfileSettings.h"
#include "engine/FFConverterOptions.h"
#include "engine/FFConverterTasks.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Where a profile sits in the two combo boxes.
struct TProfilePlace {
    int Category;
    int Index;
    int Code;
};

void PrintTo(const TProfilePlace& P, std::ostream* AOut) {
    *AOut << "profile " << P.Code << " (category " << P.Category << ", item " << P.Index << ")";
}

std::vector<TProfilePlace> AllProfiles() {
    std::vector<TProfilePlace> R;
    for (int C = 0; C < ProfileCategoryCount; ++C) {
        int I = 0;
        for (const TProfileItem& Item : ProfilesOfCategory(C))
            R.push_back({C, I++, Item.ProfileCode});
    }
    return R;
}

// The demuxer that reads each output extension back.
struct TContainer {
    const char16_t* Ext;
    const char* Demuxer;
};
const TContainer Containers[] = {
    {u".3gp", "mov,mp4,m4a,3gp,3g2,mj2"},
    {u".aac", "aac"},
    {u".ac3", "ac3"},
    {u".aiff", "aiff"},
    {u".amr", "amr"},
    {u".asf", "asf"},
    {u".avi", "avi"},
    {u".flac", "flac"},
    {u".flv", "flv"},
    {u".m4a", "mov,mp4,m4a,3gp,3g2,mj2"},
    {u".mkv", "matroska,webm"},
    {u".mov", "mov,mp4,m4a,3gp,3g2,mj2"},
    {u".mp2", "mp3"},
    {u".mp3", "mp3"},
    {u".mp4", "mov,mp4,m4a,3gp,3g2,mj2"},
    {u".mpg", "mpeg"},
    {u".ogg", "ogg"},
    {u".ra", "rm"},
    {u".rm", "rm"},
    {u".swf", "swf"},
    {u".vob", "mpeg"},
    {u".wav", "wav"},
    {u".wma", "asf"},
    {u".wmv", "asf"},
};

// Encoder names of the tables and the codec they write.
struct TCodecName {
    const char16_t* Encoder;
    const char* Codec;
};
const TCodecName CodecNames[] = {
    {u"libx264", "h264"},   {u"libxvid", "mpeg4"},    {u"msmpeg4", "msmpeg4v3"},        {u"libfaac", "aac"},
    {u"libmp3lame", "mp3"}, {u"libvorbis", "vorbis"}, {u"libopencore_amrnb", "amr_nb"},
};

std::string CodecOf(const std::u16string_view AEncoder) {
    for (const TCodecName& N : CodecNames)
        if (AEncoder == N.Encoder)
            return N.Codec;
    return UTF8Encode(String(AEncoder));
}

// What the output of a profile must hold.
struct TExpected {
    std::string Demuxer;
    std::string Video; // empty: no video stream
    std::string Audio;
    int Width = 0, Height = 0;
};

constexpr int SourceWidth = 160, SourceHeight = 120;

TExpected Expect(const TProfileSettings& S, const std::string& AOutput) {
    TExpected E;
    for (const TContainer& C : Containers)
        if (S.Ext == C.Ext)
            E.Demuxer = C.Demuxer;
    std::string Muxer = S.TargetType.empty() ? UTF8Encode(String(S.FileFormat)) : UTF8Encode(String(S.TargetType));
    const AVOutputFormat* Fmt = av_guess_format(Muxer.empty() ? nullptr : Muxer.c_str(), AOutput.c_str(), nullptr);
    // An empty codec is the muxer's default.
    E.Video = S.VideoCodec.empty() ? (Fmt ? avcodec_get_name(Fmt->video_codec) : "?") : CodecOf(S.VideoCodec);
    E.Audio = S.AudioCodec.empty() ? (Fmt ? avcodec_get_name(Fmt->audio_codec) : "?") : CodecOf(S.AudioCodec);
    // A disc target sets both codecs.
    if (S.TargetType == u"vcd") {
        E.Video = "mpeg1video";
        E.Audio = "mp2";
    } else if (S.TargetType == u"svcd") {
        E.Video = "mpeg2video";
        E.Audio = "mp2";
    } else if (S.TargetType == u"dvd") {
        E.Video = "mpeg2video";
        E.Audio = "ac3";
    }
    // The MPEG program-stream muxers take MP2 where a profile asks for AAC.
    static const std::string ProgramStreams[] = {"mpeg", "vob", "dvd", "svcd", "vcd"};
    if (E.Audio == "aac" && Fmt &&
        std::find(std::begin(ProgramStreams), std::end(ProgramStreams), Fmt->name) != std::end(ProgramStreams))
        E.Audio = "mp2";
    if (S.DisableVideo)
        E.Video.clear();
    // The picture: the profile's size, a disc target's size for its norm, else the source's.
    const bool Ntsc = S.NormType == u"NTSC";
    if (S.TargetType == u"vcd") {
        E.Width = 352;
        E.Height = Ntsc ? 240 : 288;
    } else if (S.TargetType == u"svcd") {
        E.Width = 480;
        E.Height = Ntsc ? 480 : 576;
    } else if (S.TargetType == u"dvd") {
        E.Width = 720;
        E.Height = Ntsc ? 480 : 576;
    } else if (!S.FrameSize.empty()) {
        const size_t Star = S.FrameSize.find(u'*');
        E.Width = StrToInt(String(S.FrameSize.substr(0, Star)));
        E.Height = StrToInt(String(S.FrameSize.substr(Star + 1)));
    } else {
        E.Width = SourceWidth;
        E.Height = SourceHeight;
    }
    return E;
}

struct TFound {
    std::string Demuxer, Video, Audio;
    int Width = 0, Height = 0;
    int64_t VideoPackets = 0, AudioPackets = 0;
};

TFound Probe(const std::string& APath) {
    TFound F;
    AVFormatContext* Ctx = nullptr;
    if (avformat_open_input(&Ctx, APath.c_str(), nullptr, nullptr) < 0)
        return F;
    qvtest::InputPtr Guard(Ctx);
    if (avformat_find_stream_info(Ctx, nullptr) < 0)
        return F;
    F.Demuxer = Ctx->iformat->name;
    for (unsigned I = 0; I < Ctx->nb_streams; ++I) {
        const AVCodecParameters* P = Ctx->streams[I]->codecpar;
        if (P->codec_type == AVMEDIA_TYPE_VIDEO && F.Video.empty()) {
            F.Video = avcodec_get_name(P->codec_id);
            F.Width = P->width;
            F.Height = P->height;
        } else if (P->codec_type == AVMEDIA_TYPE_AUDIO && F.Audio.empty())
            F.Audio = avcodec_get_name(P->codec_id);
    }
    qvtest::PacketPtr Pkt(av_packet_alloc());
    while (av_read_frame(Ctx, Pkt.get()) >= 0) {
        const AVMediaType T = Ctx->streams[Pkt->stream_index]->codecpar->codec_type;
        F.VideoPackets += T == AVMEDIA_TYPE_VIDEO;
        F.AudioPackets += T == AVMEDIA_TYPE_AUDIO;
        av_packet_unref(Pkt.get());
    }
    return F;
}

// A short clip the profiles start from: a small picture and a tone, in the container users add most.
const std::string& SourceClip() {
    static const std::string& Path = []() -> const std::string& {
        qvtest::ClipOptions Clip;
        Clip.FileName = "profile_source.avi";
        Clip.Duration = 0.4;
        Clip.Streams = {qvtest::VideoStream("mpeg4", SourceWidth, SourceHeight), qvtest::AudioStream("mp2")};
        return qvtest::WriteClip(Clip);
    }();
    return Path;
}

class ProfileConversionTest : public ::testing::TestWithParam<TProfilePlace> {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries)) << UTF8Encode(FFLoader().LastErrMsg());
        av_log_set_level(AV_LOG_QUIET);
        Dir = Temp.Folder();
    }
    TTempDir Temp;
    fs::path Dir;
};

} // namespace

TEST_P(ProfileConversionTest, ConvertsToTheContainerAndCodecsOfItsTable) {
    const TProfilePlace Place = GetParam();
    const TProfileItem* Item = FindProfileItem(Place.Code);
    const TProfileSettings* Settings = FindProfileSettings(Place.Code);
    ASSERT_TRUE(Item && Settings);
    const std::string Name = std::to_string(Place.Code) + " " + UTF8Encode(String(Item->Title));
    SCOPED_TRACE(Name);

    TOutputParams Params;
    Params.Video_AddFileName = UTF8ToString(SourceClip());
    ASSERT_TRUE(ApplyProfile(Params, Place.Category, Place.Index, UTF8ToString(Dir.string()), false));
    TInputOptions In;
    InitInputOptions(In);
    TOutputOptions Out;
    InitOutputOptions(Out);
    Params.FillOutputOptions(Out);

    TCustomFFmpeg Task(2);
    Task.OptVerbose(-1);
    ASSERT_TRUE(OpenInputWithOptions(Task, In, Params.Video_AddFileName)) << UTF8Encode(Task.LastErrMsg());
    ASSERT_GE(OpenOutputWithOptions(Task, Out, Params.Video_OutPutFileName), 0) << UTF8Encode(Task.LastErrMsg());
    Task.StartConvert(false);
    ASSERT_FALSE(Task.FatalException()) << UTF8Encode(Task.FatalMessage());
    EXPECT_TRUE(Task.Finished());

    const std::string Output = UTF8Encode(Params.Video_OutPutFileName);
    const TExpected E = Expect(*Settings, Output);
    const TFound F = Probe(Output);
    EXPECT_EQ(F.Demuxer, E.Demuxer);
    EXPECT_EQ(F.Video, E.Video);
    EXPECT_EQ(F.Audio, E.Audio);
    if (!E.Video.empty()) {
        EXPECT_EQ(F.Width, E.Width);
        EXPECT_EQ(F.Height, E.Height);
        EXPECT_GT(F.VideoPackets, 0);
    }
    EXPECT_GT(F.AudioPackets, 0);
}

INSTANTIATE_TEST_SUITE_P(EveryProfile, ProfileConversionTest, ::testing::ValuesIn(AllProfiles()),
                         [](const ::testing::TestParamInfo<TProfilePlace>& I) {
                             return "Code" + std::to_string(I.param.Code);
                         });
