// Option records and ExtOptions texts applied to a transcoder.
#include "engine/FFConverterOptions.h"
#include "engine/FFConverterTasks.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

extern "C" {
#include <libavformat/avformat.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

class TaskOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
        av_log_set_level(AV_LOG_QUIET);
        Dir = Temp.Folder();
    }
    String Out(const char* AName) const { return UTF8ToString((Dir / AName).string()); }
    const TNamedOption* Named(const TCustomFFmpeg& T, const std::string& AName) const {
        for (const TNamedOption& O : T.FOptions)
            if (O.Name == AName)
                return &O;
        return nullptr;
    }
    TTempDir Temp;
    fs::path Dir;
};

TEST_F(TaskOptionsTest, ExtOptionLines) {
    const auto L = ParseExtOptions(u"  vb=500000<CRLF>Ab=64000\r\nvfilters=crop=1:2:3:4\rnewaudio\n");
    ASSERT_EQ(L.size(), 4u);
    EXPECT_EQ(L[0].Name, u"vb");
    EXPECT_EQ(L[0].Value, u"500000");
    EXPECT_EQ(L[1].Name, u"Ab");
    EXPECT_EQ(L[2].Name, u"vfilters");
    EXPECT_EQ(L[2].Value, u"crop=1:2:3:4");
    EXPECT_EQ(L[3].Name, u"newaudio");
    EXPECT_EQ(L[3].Value, u"");

    TCustomFFmpeg T(2);
    ApplyExtOptions(T, u"vb=500000<CRLF>Ab=64000<CRLF>vcodec=mpeg4", false);
    // "vb" is the video encoder's "b".
    ASSERT_NE(Named(T, "b"), nullptr);
    EXPECT_EQ(Named(T, "b")->Value, "500000");
    ASSERT_NE(Named(T, "ab"), nullptr);
    EXPECT_EQ(Named(T, "ab")->Value, "64000");
    EXPECT_EQ(T.Fvideo_codec_name, ""); // codec lines only with AAll
    ApplyExtOptions(T, u"vcodec=mpeg4", true);
    EXPECT_EQ(T.Fvideo_codec_name, "mpeg4");
}

TEST_F(TaskOptionsTest, InputRecordFillsTheFileName) {
    TCustomFFmpeg T(2);
    TInputOptions O;
    InitInputOptions(O);
    O.TimeStart = 1000000;
    const String Name = UTF8ToString(FixturePath(Fixture::Avi));
    ASSERT_TRUE(OpenInputWithOptions(T, O, Name));
    EXPECT_EQ(O.FileName, Name);
    EXPECT_EQ(T.nb_input_files(), 1);
    // The start time was used by the open and seeks the input: its offset is minus the start.
    EXPECT_EQ(T.Finput_files_ts_offset[0], -1000000);
}

TEST_F(TaskOptionsTest, VolumeZeroIsSilenceAndMinusOneKeepsTheDefault) {
    for (int Volume : {0, -1}) {
        TCustomFFmpeg T(2);
        TOutputOptions O;
        InitOutputOptions(O);
        O.AudioVolume = Volume;
        O.DisableVideo = true;
        ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
        ASSERT_GT(OpenOutputWithOptions(T, O, Out(Volume == 0 ? "v0.wav" : "v1.wav")), 0);
        EXPECT_EQ(T.Faudio_volume, Volume == 0 ? 0 : 256);
    }
}

TEST_F(TaskOptionsTest, ExtraStreamsTakeQueuedCodecsOrTheDefault) {
    struct Case {
        const char16_t* AudioCodec;
        const char* First;
        const char* Second;
    } Cases[] = {{u"aac", "aac", "mp3"}, {u"", "mp3", "mp3"}};
    for (const Case& C : Cases) {
        TCustomFFmpeg T(2);
        TOutputOptions O;
        InitOutputOptions(O);
        O.AudioCodec = C.AudioCodec;
        O.DisableVideo = true;
        O.ExtOptions = u"acodec=libmp3lame\nnewaudio=";
        ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
        ASSERT_GT(OpenOutputWithOptions(T, O, Out("two.mkv")), 0) << UTF8Encode(T.LastErrMsg());
        AVFormatContext* Oc = T.OutputFile(0);
        ASSERT_EQ(Oc->nb_streams, 2u);
        EXPECT_STREQ(avcodec_get_name(T.Fstream_setups[0][0].enc->codec_id), C.First);
        EXPECT_STREQ(avcodec_get_name(T.Fstream_setups[0][1].enc->codec_id), C.Second);
        T.ReleaseResources();
    }
}

TEST_F(TaskOptionsTest, NewVideoWithoutQueuedCodecTakesTheFileDefault) {
    TCustomFFmpeg T(2);
    TOutputOptions O;
    InitOutputOptions(O);
    O.VideoCodec = u"mpeg4";
    O.DisableAudio = true;
    O.ExtOptions = u"newvideo=1";
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Avi))));
    ASSERT_GT(OpenOutputWithOptions(T, O, Out("two.mkv")), 0);
    ASSERT_EQ(T.OutputFile(0)->nb_streams, 2u);
    EXPECT_EQ(T.Fstream_setups[0][1].enc->codec_id, AV_CODEC_ID_MPEG4);
}

TEST_F(TaskOptionsTest, TargetOfTheRecordNeedsAFrameRate) {
    TCustomFFmpeg T(2);
    TOutputOptions O;
    InitOutputOptions(O);
    O.TargetType = ttDVD;
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    T.Fframe_rate = AVRational{0, 0};
    try {
        OpenOutputWithOptions(T, O, Out("dvd.vob"));
        FAIL();
    } catch (const FFmpegException& E) {
        EXPECT_EQ(E.Message(), u"frame_rate is invalid.");
    }
}

TEST_F(TaskOptionsTest, InfoBecomesMetadataAndTimeStamp) {
    TCustomFFmpeg T(2);
    TOutputOptions O;
    InitOutputOptions(O);
    O.Info.Title = "My title";
    O.Info.Year = 2024;
    O.Info.TimeStamp = 0;
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Wav))));
    const std::time_t Before = std::time(nullptr);
    ASSERT_GT(OpenOutputWithOptions(T, O, Out("meta.mkv")), 0);
    AVDictionary* M = T.OutputFile(0)->metadata;
    ASSERT_NE(av_dict_get(M, "title", nullptr, 0), nullptr);
    EXPECT_STREQ(av_dict_get(M, "title", nullptr, 0)->value, "My title");
    EXPECT_STREQ(av_dict_get(M, "year", nullptr, 0)->value, "2024");
    EXPECT_NEAR(double(T.Frecording_timestamp), double(Before), 2.0);
}

} // namespace
