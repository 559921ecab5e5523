// The transcoder's option dispatcher, its handlers, targets and presets.
#include "engine/AVUtilStubs.h"
#include "engine/FFmpeg.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"

#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdarg>
#include <filesystem>
#include <fstream>
#include <mutex>

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

std::mutex LogMutex;
std::vector<std::string> LogLines;

void CaptureLog(void*, int, const char* Fmt, va_list Args) {
    char Buf[1024];
    vsnprintf(Buf, sizeof Buf, Fmt, Args);
    std::string Line = Buf;
    while (!Line.empty() && (Line.back() == '\n' || Line.back() == '\r'))
        Line.pop_back();
    std::lock_guard Guard(LogMutex);
    LogLines.push_back(Line);
}

bool Logged(const std::string& AText) {
    std::lock_guard Guard(LogMutex);
    for (const std::string& L : LogLines)
        if (L == AText)
            return true;
    return false;
}

class OptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
        av::av_log_set_callback(CaptureLog);
        LogLines.clear();
    }
    void TearDown() override { av::av_log_set_callback(av::av_log_default_callback); }

    // The message of what ApplyOption raises, empty when it raises nothing.
    std::string Apply(const char* AName, const char* AValue) {
        try {
            T.ApplyOption(UTF8ToString(AName), UTF8ToString(AValue));
        } catch (const std::exception& E) {
            return E.what();
        }
        return "";
    }
    // The latest setting of a named option.
    const TNamedOption* Named(const std::string& AName) const {
        for (auto It = T.FOptions.rbegin(); It != T.FOptions.rend(); ++It)
            if (It->Name == AName)
                return &*It;
        return nullptr;
    }

    TCustomFFmpeg T{4};
};

struct FlagCase {
    const char* Name;
    const char* Value;
    bool TCustomFFmpeg::*Field;
    bool Expected;
};

TEST_F(OptionsTest, FlagsAreOnUnlessTheValueIsExactlyZero) {
    const FlagCase Cases[] = {
        {"vn", "0", &TCustomFFmpeg::Fvideo_disable, false},     {"vn", "1", &TCustomFFmpeg::Fvideo_disable, true},
        {"vn", "yes", &TCustomFFmpeg::Fvideo_disable, true},    {"vn", "", &TCustomFFmpeg::Fvideo_disable, true},
        {"an", "1", &TCustomFFmpeg::Faudio_disable, true},      {"sn", "1", &TCustomFFmpeg::Fsubtitle_disable, true},
        {"shortest", "1", &TCustomFFmpeg::Fopt_shortest, true}, {"isync", "1", &TCustomFFmpeg::Finput_sync, true},
        {"copyts", "0", &TCustomFFmpeg::Fcopy_ts, true},        {"xerror", "0", &TCustomFFmpeg::Fexit_on_error, true},
    };
    for (const FlagCase& C : Cases) {
        TCustomFFmpeg X(1);
        X.ApplyOption(UTF8ToString(C.Name), UTF8ToString(C.Value));
        EXPECT_EQ(X.*C.Field, C.Expected) << C.Name << "=" << C.Value;
    }
}

struct ErrorCase {
    const char* Name;
    const char* Value;
    const char* Error;
};

TEST_F(OptionsTest, HandlersRaiseTheirTexts) {
    T.Fframe_width = 320;
    T.Fframe_height = 240;
    const ErrorCase Cases[] = {
        {"aspect", "4:0", "Incorrect aspect ratio specification."},
        {"aspect", "abc", "Incorrect aspect ratio specification."},
        {"croptop", "240",
         "Vertical crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
         "second."},
        {"cropleft", "320",
         "Horizontal crop dimensions are outside the range of the original image.\nRemember to crop first and scale "
         "second."},
        {"qscale", "0", "qscale must be > 0.0 and <= 255"},
        {"metadata", "title", "Missing ="},
        {"pass", "3", "pass number can be only 1 or 2"},
        {"padtop", "8", "Please use vfilters=pad"},
        {"threads", "2", "TODO: option - threads"},
        {"r", "abc", "Incorrect frame rate"},
        {"s", "abc", "Incorrect frame size"},
        {"pix_fmt", "bogus", "Unknown pixel format requested: bogus"},
        {"t", "bad", "Invalid duration specification for t: bad"},
        {"timestamp", "bad", "Invalid date specification for timestamp: bad"},
        {"itsscale", "20:1", "stream index over MAX_STREAMS(20)"},
        {"streamid", "1:", "Invalid value \"1:\" for option \"streamid\", required syntax is \"index:value\""},
        {"atag", "XVI", "audio tag parameter must be 4 chars"},
        {"vtag", "XVIDX", "video tag parameter must be 4 chars"},
        {"absf", "nosuchfilter", "Unknown bitstream filter nosuchfilter"},
        {"target", "pal-vhs", "Unknown target type"},
        {"vb", "12x", ""}, // a refused value of a known option is logged, not raised
    };
    for (const ErrorCase& C : Cases)
        EXPECT_EQ(Apply(C.Name, C.Value), C.Error) << C.Name << "=" << C.Value;
    EXPECT_EQ(Named("vb"), nullptr);
    EXPECT_EQ(Apply("b", "abc"), "");
}

TEST_F(OptionsTest, MatrixNeedsSixtyFourCoefficients) {
    std::string V;
    for (int I = 1; I <= 64; ++I)
        V += std::to_string(I) + (I < 64 ? "," : "");
    EXPECT_EQ(Apply("intra_matrix", V.c_str()), "");
    ASSERT_EQ(T.Fintra_matrix.size(), 64u);
    EXPECT_EQ(T.Fintra_matrix[0], 1);
    EXPECT_EQ(T.Fintra_matrix[63], 64);
    const std::string Short = V.substr(0, V.rfind(','));
    EXPECT_EQ(Apply("inter_matrix", Short.c_str()), "Syntax error in matrix \"" + Short + "\" at coeff 62");
}

TEST_F(OptionsTest, ValuesReachTheirFields) {
    EXPECT_EQ(Apply("aspect", "16:9"), "");
    EXPECT_FLOAT_EQ(T.Fframe_aspect_ratio, 1.7777778f);
    EXPECT_EQ(Apply("qscale", "255"), "");
    EXPECT_FLOAT_EQ(T.Fvideo_qscale, 255.0f);
    EXPECT_EQ(Apply("metadata", "title=a=b"), "");
    ASSERT_EQ(T.Fmetadata.size(), 1u);
    EXPECT_EQ(T.Fmetadata[0], std::make_pair(std::string("title"), std::string("a=b")));
    EXPECT_EQ(Apply("atag", "XVID"), "");
    EXPECT_EQ(T.Faudio_codec_tag, 0x44495658u);
    EXPECT_EQ(Apply("croptop", "0"), "");
    EXPECT_EQ(Apply("croptop", "-5"), "");
    EXPECT_EQ(T.Fframe_topBand, 0);
    EXPECT_EQ(Apply("vcodec", "copy"), "");
    EXPECT_EQ(Apply("vcodec", "mpeg4"), "");
    EXPECT_EQ(T.Fvideo_codec_name, "mpeg4");
    EXPECT_EQ(T.Fvideo_stream_copy, 1);
    EXPECT_EQ(Apply("t", "00:00:02.5"), "");
    EXPECT_EQ(T.Frecording_time, 2500000);
    EXPECT_EQ(T.TotalOutputDuration(), 2500000);
    EXPECT_EQ(Apply("map", "0:1:0:0"), "");
    ASSERT_EQ(T.Fstream_maps.size(), 1u);
    EXPECT_EQ(T.Fstream_maps[0].stream_index, 1);
    EXPECT_EQ(T.Fstream_maps[0].sync_stream_index, 0);
    EXPECT_EQ(Apply("vol", "512"), "");
    EXPECT_EQ(T.Faudio_volume, 512);
    T.Fframe_height = 240;
    EXPECT_EQ(Apply("cropbottom", "16"), "");
    EXPECT_EQ(T.Fframe_bottomBand, 16);
    EXPECT_EQ(T.Fframe_height, 224);
    EXPECT_TRUE(Logged("CropXXX is deprecated in favor of the crop avfilter"));
}

TEST_F(OptionsTest, NamedOptionsFindTheirHome) {
    EXPECT_EQ(Apply("b", "500"), "");
    EXPECT_TRUE(Logged("WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s"));
    // Options of one encoder or muxer are kept for it: x264's "coder", the MPEG muxers' "muxrate".
    EXPECT_EQ(Apply("coder", "1"), "");
    ASSERT_NE(Named("coder"), nullptr);
    EXPECT_TRUE(Named("coder")->Private && Named("coder")->Codec);
    EXPECT_EQ(Apply("muxrate", "10080000"), "");
    ASSERT_NE(Named("muxrate"), nullptr);
    EXPECT_TRUE(Named("muxrate")->Format);
    const size_t Before = T.FOptions.size();
    LogLines.clear();
    EXPECT_EQ(Apply("nosuchoption", "1"), "");
    EXPECT_EQ(T.FOptions.size(), Before);
    EXPECT_TRUE(LogLines.empty());
}

TEST_F(OptionsTest, FormatListsAreLogged) {
    EXPECT_EQ(Apply("sample_fmt", "list"), "");
    EXPECT_EQ(LogLines.size(), size_t(AV_SAMPLE_FMT_NB + 1));
    EXPECT_EQ(Apply("pgmyuv", ""), ""); // an unknown name: nothing
    EXPECT_EQ(Apply("f", "pgmyuv"), "");
    EXPECT_EQ(T.Flast_asked_format, "image2");
    EXPECT_TRUE(Logged("pgmyuv format is deprecated, use image2"));
}

// ---- Targets and presets.

TEST_F(OptionsTest, PalDvdTarget) {
    EXPECT_EQ(Apply("target", "pal-dvd"), "");
    EXPECT_EQ(T.Fvideo_codec_name, "mpeg2video");
    EXPECT_EQ(T.Faudio_codec_name, "ac3");
    EXPECT_EQ(T.Flast_asked_format, "dvd");
    EXPECT_EQ(T.Fframe_width, 720);
    EXPECT_EQ(T.Fframe_height, 576);
    EXPECT_EQ(T.Fframe_rate.num, 25);
    EXPECT_EQ(T.Fframe_rate.den, 1);
    ASSERT_NE(Named("g"), nullptr);
    EXPECT_EQ(Named("g")->Value, "15");
    EXPECT_FLOAT_EQ(T.Fframe_aspect_ratio, 16.0f / 9.0f);
    EXPECT_EQ(T.Faudio_sample_rate, 48000);
}

TEST_F(OptionsTest, AutomaticNormFollowsTheInput) {
    ASSERT_TRUE(T.OpenInputFile(UTF8ToString(FixturePath(Fixture::Ntsc)))) << UTF8Encode(T.LastErrMsg());
    EXPECT_EQ(Apply("target", "vcd"), "");
    EXPECT_EQ(T.Fframe_width, 352);
    EXPECT_EQ(T.Fframe_height, 240);
    EXPECT_EQ(Named("g")->Value, "18");
}

TEST_F(OptionsTest, TargetTexts) {
    TCustomFFmpeg A(1);
    A.Fframe_rate = AVRational{0, 0};
    try {
        A.ApplyTarget(u"dvd", u"auto", u"pal");
        FAIL();
    } catch (const FFmpegException& E) {
        EXPECT_EQ(E.Message(), u"frame_rate is invalid.");
    }
    EXPECT_EQ(Apply("target", "film-dv50"), "");
    EXPECT_EQ(T.Fframe_pix_fmt, AV_PIX_FMT_YUV422P);
    EXPECT_EQ(T.Fframe_width, 720);
    EXPECT_EQ(T.Fframe_height, 480);
    EXPECT_EQ(T.Fframe_rate.num, 24000);
    EXPECT_EQ(T.Fframe_rate.den, 1001);
}

TEST_F(OptionsTest, BuiltinPresetTable) {
    const auto& P = BuiltinPresets();
    ASSERT_EQ(P.size(), 36u);
    EXPECT_EQ(String(P.front().Name), u"libx264-baseline");
    EXPECT_EQ(String(P[1].Name), u"libx264-default");
    EXPECT_EQ(String(P.back().Name), u"libx264-veryslow_firstpass");
    // Every line of every preset is an option the x264 encoder of this library takes.
    for (const TOptionsPreset& Row : P) {
        TCustomFFmpeg X(1);
        try {
            X.ApplyPreset(u"vpre", Row.Name);
        } catch (const std::exception& E) {
            ADD_FAILURE() << UTF8Encode(String(Row.Name)) << ": " << E.what();
        }
    }
    EXPECT_EQ(TCustomFFmpeg::FindBuiltinPreset(u"LIBX264-SLOW"), TCustomFFmpeg::FindBuiltinPreset(u"libx264-slow"));
}

TEST_F(OptionsTest, PresetByCodecNameAndFromFiles) {
    EXPECT_EQ(Apply("vcodec", "libx264"), "");
    EXPECT_EQ(Apply("vpre", "slow"), "");
    ASSERT_NE(Named("motion-est"), nullptr);
    EXPECT_EQ(Named("motion-est")->Value, "umh");
    EXPECT_EQ(Apply("vpre", "nope"), "Preset \"nope\" not found");

    const TTempDir Temp;
    const fs::path Dir = Temp.Folder();
    const std::string Good = (Dir / "good.ffpreset").string(), Bad = (Dir / "bad.ffpreset").string();
    std::ofstream(Good, std::ios::binary) << "g=120\r\nbf=2\r\n";
    std::ofstream(Bad, std::ios::binary) << "crf = 22\n";
    EXPECT_EQ(Apply("fpre", Good.c_str()), "");
    EXPECT_EQ(Named("bf")->Value, "2");
    EXPECT_EQ(Apply("fpre", Bad.c_str()),
              Bad + ": Invalid option or argument: \"crf = 22\", parsed as \"crf \" = \" 22\"");
}

} // namespace
