#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <fstream>
#include <mutex>
#include <vector>

#include "EngineLibraries.h"
#include "engine/FFUtils.h"
#include "engine/FFmpegLogger.h"
#include "engine/RGBConvertContext.h"
#include "tests/support/TempDir.h"

namespace {

TEST(FFUtilsTest, FormatTimestampShowsHoursMinutesSecondsAndMilliseconds) {
    struct Case {
        int64_t Us;
        const char16_t* Text;
    } Cases[] = {
        {0, u"00:00:00.000"},      {3723004000, u"01:02:03.004"}, {90000000000, u"25:00:00.000"},
        {999999, u"00:00:00.999"}, {AV_NOPTS_VALUE, u"N/A"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FormatTimestamp(C.Us), C.Text) << C.Us;
}

TEST(FFUtilsTest, FrameDurationUsFallsBackTo25FramesPerSecond) {
    EXPECT_EQ(FrameDurationUs({30000, 1001}), 33366);
    EXPECT_EQ(FrameDurationUs({25, 1}), 40000);
    EXPECT_EQ(FrameDurationUs({0, 1}), 40000);
    EXPECT_EQ(FrameDurationUs({1, 0}), 40000);
}

TEST(FFUtilsTest, FFmpegErrorTextMatchesTheLibrariesCodesByName) {
    LoadEngineLibraries(ProbeLibraries);
    struct Case {
        int Code;
        const char16_t* Text;
    } Cases[] = {
        {AVERROR(ENOENT), u"a.avi: No such file or directory"},
        {AVERROR_EOF, u"a.avi: End of file"},
        {AVERROR_INVALIDDATA, u"a.avi: Invalid data found when processing input"},
        {AVERROR(EINVAL), u"a.avi: Invalid data found when processing input"},
        {AVERROR(ENOMEM), u"a.avi: Not enough memory"},
        {AVERROR(EIO), u"a.avi: I/O error"},
        {AVERROR(EDOM), u"a.avi: Number syntax expected in filename"},
        {AVERROR_DEMUXER_NOT_FOUND, u"a.avi: Unknown format"},
        {AVERROR_PROTOCOL_NOT_FOUND, u"a.avi: Unknown format"},
        {AVERROR(EPROTONOSUPPORT), u"a.avi: Unsupported network protocol"},
        {AVERROR_PATCHWELCOME, u"a.avi: Not yet implemented in FFmpeg"},
        // Any other code: the library's own text.
        {AVERROR(E2BIG), u"a.avi: Argument list too long"},
        {AVERROR_ENCODER_NOT_FOUND, u"a.avi: Encoder not found"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FFmpegErrorText(u"a.avi", C.Code), C.Text) << C.Code;
}

TEST(FFUtilsTest, MediaTypeNames) {
    const char16_t* Names[] = {u"Unknown", u"Video", u"Audio", u"Data", u"Subtitle", u"Attachment", u"Unknown"};
    for (int T = -1; T <= 5; ++T)
        EXPECT_EQ(MediaTypeName(T), Names[T + 1]) << T;
}

TEST(FFUtilsTest, ReadWholeFileAddsATerminatingNul) {
    LoadEngineLibraries(ProbeLibraries);
    const TTempDir Temp;
    const std::string Name = (Temp.Folder() / "whole").string();
    std::ofstream(Name) << "key=value";
    uint8_t* Buffer = nullptr;
    int Size = 0;
    ASSERT_EQ(ReadWholeFile(Name, Buffer, Size), 0);
    EXPECT_EQ(Size, 10);
    EXPECT_STREQ(reinterpret_cast<char*>(Buffer), "key=value");
    av::av_free(Buffer);
    std::filesystem::remove(Name);
    EXPECT_EQ(ReadWholeFile(Name, Buffer, Size), -1);
}

TEST(FFUtilsTest, MetadataValueDecodesUTF8) {
    LoadEngineLibraries(ProbeLibraries);
    AVDictionary* Metadata = nullptr;
    av::av_dict_set(&Metadata, "title", "Überschrift 标题", 0);
    EXPECT_EQ(MetadataValue(Metadata, "title", u"none"), u"Überschrift 标题");
    EXPECT_EQ(MetadataValue(Metadata, "language", u"und"), u"und");
    av::av_dict_free(&Metadata);
}

TEST(FFUtilsTest, CodecDescriptionNamesTheCodecOrItsTag) {
    LoadEngineLibraries(ProbeLibraries);
    AVCodecContext* Context = av::avcodec_alloc_context3(nullptr);
    Context->codec_id = AV_CODEC_ID_MPEG4;
    EXPECT_EQ(CodecDescription(Context, false), u"mpeg4(MPEG-4 part 2)");
    Context->codec_id = AV_CODEC_ID_PCM_S16LE;
    EXPECT_EQ(CodecDescription(Context, true), u"pcm_s16le(PCM signed 16-bit little-endian)");
    Context->codec_id = AV_CODEC_ID_MPEG2TS;
    EXPECT_EQ(CodecDescription(Context, false), u"mpeg2ts");
    Context->codec_id = AV_CODEC_ID_NONE;
    Context->codec_tag = MKTAG('X', 'V', 'I', 'D');
    EXPECT_EQ(CodecDescription(Context, false), u"XVID / 0x44495658");
    Context->codec_tag = 0x1;
    EXPECT_EQ(CodecDescription(Context, false), u"0x0001");
    av::avcodec_free_context(&Context);
}

// Library log lines reach a test callback.
std::mutex LoggedLock;
std::vector<std::string> Logged;
void CaptureLog(void*, int Level, const char* Format, va_list Args) {
    if (Level > AV_LOG_ERROR)
        return;
    char Line[1024];
    vsnprintf(Line, sizeof Line, Format, Args);
    std::lock_guard Guard(LoggedLock);
    Logged.push_back(Line);
}

class FFOptionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ConverterLibraries);
        InitFFOptions(Options);
        AllocFFOptions(Options, SWS_BICUBIC);
        Logged.clear();
        av::av_log_set_callback(CaptureLog);
    }
    void TearDown() override {
        av::av_log_set_callback(av::av_log_default_callback);
        FreeFFOptions(Options);
    }
    TFFOptions Options;
};

TEST_F(FFOptionsTest, ACodecOptionGoesToEveryMediaTypeItServes) {
    ASSERT_TRUE(SetFFOption(Options, "ar", "22050"));
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_AUDIO]->sample_rate, 22050);
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_DATA]->sample_rate, 22050);
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_ATTACHMENT]->sample_rate, 22050);
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_VIDEO]->sample_rate, 0);
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_SUBTITLE]->sample_rate, 0);
    ASSERT_TRUE(SetFFOption(Options, "g", "50"));
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_VIDEO]->gop_size, 50);
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_AUDIO]->gop_size, 12);
    EXPECT_EQ(Options.opt_names, (std::vector<std::string>{"ar", "g"}));
    EXPECT_TRUE(Logged.empty());
}

TEST_F(FFOptionsTest, FormatAndScalerOptionsAndTheMediaTypePrefix) {
    ASSERT_TRUE(SetFFOption(Options, "probesize", "4096"));
    EXPECT_EQ(Options.avformat_opts->probesize, 4096);
    EXPECT_TRUE(SetFFOption(Options, "sws_flags", "bilinear"));
    // "vg": no option of that name, so the rest of the name goes to the video holder.
    ASSERT_TRUE(SetFFOption(Options, "vg", "75"));
    EXPECT_EQ(Options.avcodec_opts[AVMEDIA_TYPE_VIDEO]->gop_size, 75);
    EXPECT_EQ(Options.opt_names, (std::vector<std::string>{"probesize", "sws_flags", "g"}));
}

TEST_F(FFOptionsTest, UnknownNamesEmptyTextsAndRefusedValuesFail) {
    EXPECT_FALSE(SetFFOption(Options, "no_such_option", "1"));
    EXPECT_FALSE(SetFFOption(Options, "  ", "1"));
    EXPECT_FALSE(SetFFOption(Options, "ar", " "));
    EXPECT_TRUE(Logged.empty());
    EXPECT_FALSE(SetFFOption(Options, "ar", "fast"));
    ASSERT_FALSE(Logged.empty());
    EXPECT_EQ(Logged.back(), "Invalid value \"fast\" for option \"ar\"\n");
    EXPECT_TRUE(Options.opt_names.empty());
}

TEST_F(FFOptionsTest, ADebugOptionTurnsTheLoggerToDebug) {
    GetFFLogger()->SetLogLevel(llInfo);
    ASSERT_TRUE(SetFFOption(Options, "debug", "pict"));
    EXPECT_EQ(GetFFLogger()->LogLevel(), llDebug);
    GetFFLogger()->SetLogLevel(llInfo);
}

TEST_F(FFOptionsTest, ApplyCopiesOnlyOptionsWithTheRequestedFlags) {
    ASSERT_TRUE(SetFFOption(Options, "ar", "22050"));
    ASSERT_TRUE(SetFFOption(Options, "g", "50"));
    AVCodecContext* Target = av::avcodec_alloc_context3(nullptr);
    ApplyFFOptions(Options, Target, Options.avcodec_opts[AVMEDIA_TYPE_AUDIO],
                   AV_OPT_FLAG_AUDIO_PARAM | AV_OPT_FLAG_ENCODING_PARAM);
    EXPECT_EQ(Target->sample_rate, 22050);
    EXPECT_EQ(Target->gop_size, 12);
    av::avcodec_free_context(&Target);
}

// A picture that already has a 24-bit bitmap's layout is copied row by row as it is; an odd size,
// another pixel format or another line size goes through the scaler first. Either way the bitmap
// holds the picture's pixels.
TEST(FFUtilsTest, PictureToBitmapCopiesOrConverts) {
    LoadEngineLibraries(ProbeLibraries);
    struct Case {
        int Width, Height, LineSize;
        bool Converted;
    } Cases[] = {{320, 240, 960, false}, {321, 240, 964, true}, {320, 241, 960, true}, {320, 240, 1024, true}};
    for (const Case& C : Cases) {
        std::vector<uint8_t> Pixels(size_t(C.LineSize) * size_t(C.Height));
        for (int Y = 0; Y < C.Height; ++Y)
            for (int X = 0; X < C.Width * 3; ++X)
                Pixels[size_t(Y) * size_t(C.LineSize) + size_t(X)] = uint8_t(X % 3 == 0 ? Y : X % 3 == 1 ? X / 3 : 200);
        TAVPicture Picture;
        Picture.data[0] = Pixels.data();
        Picture.linesize[0] = C.LineSize;
        TRGBConvertContext Context;
        ASSERT_TRUE(PictureToBitmap(Context, &Picture, AV_PIX_FMT_BGR24, C.Width, C.Height)) << C.Width;
        EXPECT_EQ(Context.RGBPictureRef != &Picture, C.Converted) << C.Width << "x" << C.Height;
        EXPECT_EQ(Context.Bitmap->Width(), C.Width);
        EXPECT_EQ(Context.Bitmap->Height(), C.Height);
        for (int Y : {0, 7, C.Height - 1}) {
            const auto* Row = static_cast<const uint8_t*>(Context.Bitmap->ScanLine(Y));
            for (int X : {0, 100, C.Width - 1}) {
                EXPECT_EQ(Row[X * 3], uint8_t(Y)) << X << "," << Y;
                EXPECT_EQ(Row[X * 3 + 1], uint8_t(X)) << X << "," << Y;
                EXPECT_EQ(Row[X * 3 + 2], 200) << X << "," << Y;
            }
        }
        ResetRGBConvertContext(Context);
        EXPECT_FALSE(Context.Bitmap);
        EXPECT_EQ(Context.RGBBuf, nullptr);
    }
}

} // namespace
