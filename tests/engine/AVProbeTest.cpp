// The media probe over the generated fixtures: stream facts, the report text, error texts, and
// decoding, seeking and stepping checked frame-exactly through the frame number painted into
// every picture of the test pattern.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "EngineLibraries.h"
#include "engine/AVProbe.h"
#include "engine/FFmpegLogger.h"
#include "engine/UnicodeProtocol.h"
#include "support/LibAVPointers.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

class AVProbeTest : public ::testing::Test {
protected:
    void SetUp() override { LoadEngineLibraries(ProbeLibraries); }

    // A probe holding Which; the test fails at once when it does not open.
    void Load(TAVProbe& AProbe, Fixture Which) {
        ASSERT_TRUE(AProbe.LoadFile(Path(Which))) << UTF8Encode(AProbe.LastErrMsg());
    }
    static String Path(Fixture Which) { return UTF8ToString(FixturePath(Which)); }

    // The frame number painted into the probe's current picture (luma plane).
    static int64_t FrameNumber(const TAVProbe& AProbe) {
        const TFrameInfo& F = AProbe.FrameInfo();
        if (!F.Ready)
            return -1;
        return ReadPatternFrameIndex(F.Picture.data[0], F.Picture.linesize[0], 1, F.Width, F.Height);
    }

    // A private folder for files a test writes itself.
    fs::path TempFolder() {
        if (!FTemp)
            FTemp = std::make_unique<TTempDir>();
        return FTemp->Folder();
    }

private:
    std::unique_ptr<TTempDir> FTemp;
};

std::vector<std::string> SplitLines(const String& AText) {
    std::vector<std::string> Lines;
    std::string Text = UTF8Encode(AText);
    size_t Start = 0;
    while (Start < Text.size()) {
        size_t End = Text.find("\r\n", Start);
        EXPECT_NE(End, std::string::npos) << "every line ends with CR LF";
        if (End == std::string::npos)
            End = Text.size();
        Lines.push_back(Text.substr(Start, End - Start));
        Start = End + 2;
    }
    return Lines;
}

// The codec text the libraries write for stream I of the file: the report passes it through.
std::string LibraryCodecText(const std::string& APath, int AStream) {
    AVFormatContext* Ctx = nullptr;
    EXPECT_GE(avformat_open_input(&Ctx, APath.c_str(), nullptr, nullptr), 0);
    InputPtr Input(Ctx);
    EXPECT_GE(avformat_find_stream_info(Ctx, nullptr), 0);
    CodecContextPtr Codec(avcodec_alloc_context3(nullptr));
    avcodec_parameters_to_context(Codec.get(), Ctx->streams[AStream]->codecpar);
    char Text[256] = {};
    avcodec_string(Text, sizeof Text, Codec.get(), 0);
    return Text;
}

const std::string Lavf = LIBAVFORMAT_IDENT;

void ExpectLines(const std::vector<std::string>& AExpected, const String& AText) {
    std::vector<std::string> Lines = SplitLines(AText);
    for (size_t I = 0; I < std::max(AExpected.size(), Lines.size()); ++I)
        EXPECT_EQ(I < Lines.size() ? Lines[I] : "<missing>", I < AExpected.size() ? AExpected[I] : "<none>")
            << "line " << I + 1;
}

// ---------------------------------------------------------------------------------------------
// Without a file, stream facts and errors

TEST_F(AVProbeTest, AFreshProbeHoldsNoFile) {
    TAVProbe Probe(nullptr);
    EXPECT_EQ(Probe.FileSize(), -1);
    for (int N : {Probe.StreamCount(), Probe.ProgramCount(), Probe.AudioStreamCount(), Probe.VideoStreamCount(),
                  Probe.SubtitleStreamCount(), Probe.FirstAudioStreamIndex(), Probe.FirstVideoStreamIndex(),
                  Probe.FirstSubtitleStreamIndex()})
        EXPECT_EQ(N, -1);
    EXPECT_EQ(Probe.FileHandle(), nullptr);
    EXPECT_EQ(Probe.LastErrMsg(), u"");

    for (String (TCustomAVProbe::*Query)() : {&TCustomAVProbe::FileName, &TCustomAVProbe::FormatName,
                                              &TCustomAVProbe::FormatLongName, &TCustomAVProbe::FileInfoText}) {
        Probe.ReportError(AV_LOG_ERROR, u"-");
        EXPECT_EQ((Probe.*Query)(), u"");
        EXPECT_EQ(Probe.LastErrMsg(), u"file not loaded.");
    }
    TFileStreamInfo Info = Probe.FileStreamInfo();
    EXPECT_EQ(Info.Duration, -1);
    EXPECT_EQ(Info.StartTime, -1);
    EXPECT_EQ(Info.BitRate, -1);
    EXPECT_EQ(Probe.FirstVideoStreamInfo().Width, -1);
    EXPECT_EQ(Probe.Position(), -1);
    EXPECT_FALSE(Probe.Decode());
    EXPECT_EQ(Probe.LastErrMsg(), u"file not loaded.");
    EXPECT_FALSE(Probe.IsVideoStream(0));
}

TEST_F(AVProbeTest, StreamCountsAndFirstIndexes) {
    struct Case {
        Fixture Which;
        int Streams, Programs, Audio, Video, Subtitle, FirstAudio, FirstVideo, FirstSubtitle;
    };
    const Case Cases[] = {
        {Fixture::Avi, 2, 0, 1, 1, 0, 1, 0, -1},      {Fixture::Wav, 1, 0, 1, 0, 0, 0, -1, -1},
        {Fixture::MpegTs, 3, 2, 2, 1, 0, 1, 0, -1},   {Fixture::ThreeAudio, 4, 0, 3, 1, 0, 1, 0, -1},
        {Fixture::Subtitles, 4, 0, 1, 1, 2, 1, 0, 2}, {Fixture::SubtitlesOnly, 1, 0, 0, 0, 1, -1, -1, 0},
        {Fixture::Png, 1, 0, 0, 1, 0, -1, 0, -1},
    };
    TAVProbe Probe(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(FixturePath(C.Which));
        Load(Probe, C.Which);
        EXPECT_EQ(Probe.StreamCount(), C.Streams);
        EXPECT_EQ(Probe.ProgramCount(), C.Programs);
        EXPECT_EQ(Probe.AudioStreamCount(), C.Audio);
        EXPECT_EQ(Probe.VideoStreamCount(), C.Video);
        EXPECT_EQ(Probe.SubtitleStreamCount(), C.Subtitle);
        EXPECT_EQ(Probe.FirstAudioStreamIndex(), C.FirstAudio);
        EXPECT_EQ(Probe.FirstVideoStreamIndex(), C.FirstVideo);
        EXPECT_EQ(Probe.FirstSubtitleStreamIndex(), C.FirstSubtitle);
        EXPECT_EQ(Probe.FileSize(), Int64(fs::file_size(fs::path(FixturePath(C.Which)))));
        EXPECT_EQ(Probe.FileName(), Path(C.Which));
    }
}

// The probe's messages reach the engine logger at their levels, with the probe as sender.
TEST_F(AVProbeTest, MessagesGoToTheEngineLogger) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Wav);
    std::vector<std::pair<TLogLevel, String>> Logged;
    GetFFLogger()->OnLog = [&](TObject* Sender, Cardinal, TLogLevel ALogLevel, const String& ALogMsg) {
        if (Sender == &Probe)
            Logged.emplace_back(ALogLevel, ALogMsg);
    };
    Probe.FirstVideoStreamInfo();
    Probe.Decode();
    Probe.CloseFile();
    Probe.FileName();
    GetFFLogger()->OnLog = nullptr;
    std::vector<std::pair<TLogLevel, String>> Expected = {
        {llError, u"no video stream."}, {llError, u"no video stream."}, {llWarning, u"file not loaded."}};
    EXPECT_EQ(Logged, Expected);
}

TEST_F(AVProbeTest, StreamKindTests) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Subtitles);
    EXPECT_TRUE(Probe.IsVideoStream(0));
    EXPECT_FALSE(Probe.IsAudioStream(0));
    EXPECT_TRUE(Probe.IsAudioStream(1));
    EXPECT_TRUE(Probe.IsSubtitleStream(3));
    EXPECT_FALSE(Probe.IsSubtitleStream(4));
    EXPECT_EQ(Probe.LastErrMsg(), u"stream index #4 is invalid.");
    EXPECT_FALSE(Probe.IsVideoStream(-1));
    EXPECT_EQ(Probe.LastErrMsg(), u"stream index #-1 is invalid.");
}

TEST_F(AVProbeTest, InformationRecordsOfTheFirstStreams) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    TFileStreamInfo File = Probe.FileStreamInfo();
    EXPECT_EQ(File.StartTime, 0);
    EXPECT_NEAR(double(File.Duration), 3.0e6, 0.01e6);
    EXPECT_GT(File.BitRate, 0);
    EXPECT_EQ(File.Title, u"Quorvane AVI");
    EXPECT_EQ(File.TimeStamp, 0);
    EXPECT_EQ(File.Year, 0);
    EXPECT_EQ(File.Track, 0);
    EXPECT_EQ(File.Author, u"");

    TVideoStreamInfo Video = Probe.FirstVideoStreamInfo();
    EXPECT_EQ(Video.CodecName, u"mpeg4(MPEG-4 part 2)");
    EXPECT_EQ(Video.Width, 320);
    EXPECT_EQ(Video.Height, 240);
    EXPECT_FLOAT_EQ(Video.AspectRatio, 320.0f / 240.0f);
    EXPECT_EQ(Video.PixFmt, AV_PIX_FMT_YUV420P);
    EXPECT_EQ(Video.FrameRate.num, 25);
    EXPECT_EQ(Video.FrameRate.den, 1);
    EXPECT_EQ(Video.StartTime, 0);
    EXPECT_EQ(Video.StartTimeScaled, 0);
    EXPECT_EQ(Video.Duration, 75); // frames: the stream's time base is 1/25
    EXPECT_EQ(Video.DurationScaled, 3000000);

    TAudioStreamInfo Audio = Probe.FirstAudioStreamInfo();
    EXPECT_EQ(Audio.CodecName, u"mp2(MP2 (MPEG audio layer 2))");
    EXPECT_EQ(Audio.Channels, 2);
    EXPECT_EQ(Audio.SampleRate, 44100);
    EXPECT_EQ(Audio.SampleFormat, AV_SAMPLE_FMT_S16P);
    EXPECT_EQ(Audio.BitRate, 384000);

    Load(Probe, Fixture::Subtitles);
    TSubtitleStreamInfo Sub = Probe.FirstSubtitleStreamInfo();
    EXPECT_EQ(Sub.Language, u"eng");
    EXPECT_EQ(Sub.CodecName, u"srt(SubRip subtitle)");
    EXPECT_EQ(Probe.FirstAudioStreamInfo().Language, u"");

    Load(Probe, Fixture::ThreeAudio);
    EXPECT_EQ(Probe.FirstAudioStreamInfo().Language, u"eng");
}

TEST_F(AVProbeTest, MissingStreamKindsGiveEmptyRecordsAndErrors) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Wav);
    TVideoStreamInfo Video = Probe.FirstVideoStreamInfo();
    EXPECT_EQ(Probe.LastErrMsg(), u"no video stream.");
    for (Int64 N : {Video.StartTime, Video.StartTimeScaled, Video.Duration, Video.DurationScaled, Int64(Video.BitRate),
                    Int64(Video.Width), Int64(Video.Height), Int64(Video.PixFmt), Int64(Video.FrameRate.num),
                    Int64(Video.FrameRate.den)})
        EXPECT_EQ(N, -1);
    EXPECT_EQ(Video.AspectRatio, -1.0f);
    EXPECT_EQ(Probe.FirstSubtitleStreamInfo().CodecName, u"");
    EXPECT_EQ(Probe.LastErrMsg(), u"no subtitle stream.");

    Load(Probe, Fixture::SubtitlesOnly);
    EXPECT_EQ(Probe.FirstAudioStreamInfo().SampleRate, -1);
    EXPECT_EQ(Probe.LastErrMsg(), u"no audio stream.");
}

TEST_F(AVProbeTest, ContainerMetadataGivesTimeStampYearAndTrack) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    AVDictionary*& Meta = Probe.FileHandle()->metadata;
    av_dict_set(&Meta, "creation_time", "2024-03-05T06:07:08.000000Z", 0);
    av_dict_set(&Meta, "date", "2023-11-02", 0);
    av_dict_set(&Meta, "track", "7/12", 0);
    av_dict_set(&Meta, "author", "Someone", 0);
    av_dict_set(&Meta, "genre", "音乐", 0);
    TFileStreamInfo File = Probe.FileStreamInfo();
    EXPECT_EQ(File.TimeStamp, 1709618828);
    EXPECT_EQ(File.Year, 2023);
    EXPECT_EQ(File.Track, 7);
    EXPECT_EQ(File.Author, u"Someone");
    EXPECT_EQ(File.Genre, u"音乐");

    const char* OldTZ = getenv("TZ");
    std::string Saved = OldTZ ? OldTZ : "";
    setenv("TZ", "UTC0", 1);
    tzset();
    std::vector<std::string> Lines = SplitLines(Probe.FileInfoText());
    if (OldTZ)
        setenv("TZ", Saved.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
    ASSERT_GT(Lines.size(), 7u);
    EXPECT_EQ(Lines[7], "Time Stamp: 2024-03-05 06:07:08");
}

// ---------------------------------------------------------------------------------------------
// Opening failures

TEST_F(AVProbeTest, OpeningFailuresLeaveNoFileAndTheirTexts) {
    fs::path Dir = TempFolder();
    std::ofstream(Dir / "empty.avi").flush();
    std::ofstream(Dir / "notes.txt") << "These are not the pictures you are looking for.\n";
    String Missing = UTF8ToString((Dir / "missing.avi").string());
    String Empty = UTF8ToString((Dir / "empty.avi").string());
    String Text = UTF8ToString((Dir / "notes.txt").string());

    struct Case {
        String Name;
        String FormatName;
        String Error;
    };
    const Case Cases[] = {
        {Path(Fixture::Avi), u"no-such-demuxer", u"Unknown input format: no-such-demuxer"},
        {Missing, u"", Missing + u": No such file or directory"},
        {Empty, u"", Empty + u": Invalid data found when processing input"},
        {Text, u"", Text + u": Invalid data found when processing input"},
        {Path(Fixture::Wav), u"mpegts", Path(Fixture::Wav) + u": could not find codec parameters"},
    };
    TAVProbe Probe(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(UTF8Encode(C.Error));
        Load(Probe, Fixture::Png);
        EXPECT_FALSE(Probe.LoadFile(C.Name, C.FormatName));
        EXPECT_EQ(Probe.LastErrMsg(), C.Error);
        EXPECT_EQ(Probe.FileHandle(), nullptr);
        EXPECT_EQ(Probe.StreamCount(), -1);
        EXPECT_EQ(Probe.FileSize(), -1);
        EXPECT_EQ(Probe.ForceFormat(), u"");
    }

    EXPECT_TRUE(Probe.LoadFile(Path(Fixture::Avi), u"avi"));
    EXPECT_EQ(Probe.ForceFormat(), u"avi");
}

TEST_F(AVProbeTest, AMissingLibraryRaisesItsName) {
    TAVProbe Probe(nullptr);
    struct Case {
        TLibraries Missing;
        const char16_t* Text;
    };
    const Case Cases[] = {
        {{swScale}, u"LibSwScale not loaded."},
        {{avCodec, swScale}, u"LibAVCodec not loaded."},
        {{avFormat}, u"LibAVFormat not loaded."},
        {{avUtil, swScale}, u"LibAVUtil not loaded."},
    };
    for (const Case& C : Cases) {
        FFLoader().Unload(C.Missing);
        try {
            Probe.LoadFile(Path(Fixture::Wav));
            ADD_FAILURE() << "no exception";
        } catch (const Exception& E) {
            EXPECT_EQ(E.Message(), C.Text);
        }
        EXPECT_FALSE(Probe.AVLibLoaded());
        EXPECT_TRUE(Probe.LoadAVLib(GetAppPath() + u"LibAV")) << UTF8Encode(Probe.LastErrMsg());
    }
    EXPECT_TRUE(Probe.AVLibLoaded());
}

// ---------------------------------------------------------------------------------------------
// The report text

TEST_F(AVProbeTest, ReportOfAnAvi) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    const std::string& File = FixturePath(Fixture::Avi);
    ExpectLines({"File Name: " + File, "Format Name: avi", "Format Long Name: AVI (Audio Video Interleaved)",
                 "File Size: 188.71 KB", "Duration: 00:00:03.004", "StartTime: 0.000000", "Bit Rate: 514 kb/s",
                 "Metadata:", "  title           : Quorvane AVI", "  software        : " + Lavf,
                 "Stream #0, 1/25: " + LibraryCodecText(File, 0) +
                     ", 25 fps, 25 tbr, 25 tbn, StartTime: 0.000000, Duration: 00:00:03.000",
                 "Stream #1, 32/1225: " + LibraryCodecText(File, 1) + ", StartTime: 0.000000, Duration: 00:00:03.004"},
                Probe.FileInfoText());
}

TEST_F(AVProbeTest, ReportOfAnMp4) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Mp4);
    const std::string& File = FixturePath(Fixture::Mp4);
    ExpectLines(
        {"File Name: " + File, "Format Name: mov,mp4,m4a,3gp,3g2,mj2", "Format Long Name: QuickTime / MOV",
         "File Size: 56.96 KB", "Duration: 00:00:03.000", "StartTime: 0.000000", "Bit Rate: 155 kb/s",
         "Metadata:", "  major_brand     : isom", "  minor_version   : 512", "  compatible_brands: isomiso2avc1mp41",
         "  encoder         : " + Lavf,
         // The demuxer shows stream ids; "und" is the language.
         "Stream #0[0x1](und), 1/12800: " + LibraryCodecText(File, 0) +
             ", 25 fps, 25 tbr, 12800 tbn, StartTime: 0.000000, Duration: 00:00:03.000",
         "  Metadata:", "    handler_name    : VideoHandler", "    vendor_id       : [0][0][0][0]",
         "Stream #1[0x2](und), 1/44100: " + LibraryCodecText(File, 1) + ", StartTime: 0.000000, Duration: 00:00:03.000",
         "  Metadata:", "    handler_name    : SoundHandler", "    vendor_id       : [0][0][0][0]"},
        Probe.FileInfoText());
}

TEST_F(AVProbeTest, ReportOfAWavAndAPng) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Wav);
    std::string File = FixturePath(Fixture::Wav);
    // No start time is given, so none is shown.
    ExpectLines({"File Name: " + File, "Format Name: wav", "Format Long Name: WAV / WAVE (Waveform Audio)",
                 "File Size: 172.34 KB", "Duration: 00:00:02.000", "Bit Rate: 705 kb/s",
                 "Metadata:", "  encoder         : " + Lavf,
                 "Stream #0, 1/44100: " + LibraryCodecText(File, 0) + ", Duration: 00:00:02.000"},
                Probe.FileInfoText());

    Load(Probe, Fixture::Png);
    File = FixturePath(Fixture::Png);
    ExpectLines({"File Name: " + File, "Format Name: png_pipe", "Format Long Name: piped png sequence",
                 "File Size: " + UTF8Encode(FormatByteSize(Int64(fs::file_size(fs::path(File))))), "Duration: N/A",
                 "Bit Rate: N/A",
                 "Stream #0, 1/25: " + LibraryCodecText(File, 0) + ", 25 fps, 25 tbr, 25 tbn, Duration: N/A"},
                Probe.FileInfoText());
}

TEST_F(AVProbeTest, RateTexts) {
    struct Case {
        Fixture Which;
        const char* Rates;
    };
    const Case Cases[] = {
        {Fixture::Avi, ", 25 fps, 25 tbr, 25 tbn,"},
        {Fixture::Ntsc, ", 29.97 fps, 29.97 tbr, 30k tbn,"},
        {Fixture::MpegTs, ", 25 fps, 25 tbr, 90k tbn,"},
        {Fixture::Mkv, ", 25 fps, 25 tbr, 1k tbn,"},
    };
    TAVProbe Probe(nullptr);
    for (const Case& C : Cases) {
        Load(Probe, C.Which);
        std::string VideoLine;
        for (const std::string& L : SplitLines(Probe.FileInfoText()))
            if (L.rfind("Stream #0", 0) == 0)
                VideoLine = L;
        EXPECT_NE(VideoLine.find(C.Rates), std::string::npos) << VideoLine;
    }
}

TEST_F(AVProbeTest, ProgramsListTheirStreamsFirst) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::MpegTs);
    auto StreamLines = [&] {
        std::vector<std::string> Result;
        for (const std::string& L : SplitLines(Probe.FileInfoText()))
            if (L.rfind("Program", 0) == 0 || L.rfind("Stream", 0) == 0)
                Result.push_back(L.substr(0, L.find(',')));
        return Result;
    };
    // Stream 1 carries only a language: it shows no metadata block.
    std::vector<std::string> Expected = {"Program 1 Quorvane@Pattern and tone", "Stream #0[0x100]",
                                         "Stream #1[0x101](eng)", "Program 2 Quorvane@Second tone",
                                         "Stream #2[0x102](ger)"};
    EXPECT_EQ(StreamLines(), Expected);

    // A program listing streams 2 and 0 shows them in its order; stream 1 follows alone.
    AVFormatContext* Ctx = Probe.FileHandle();
    AVProgram* First = Ctx->programs[0];
    AVProgram* Second = Ctx->programs[1];
    First->stream_index[0] = 2;
    First->stream_index[1] = 0;
    unsigned SecondCount = Second->nb_stream_indexes;
    Second->nb_stream_indexes = 0;
    av_dict_free(&First->metadata);
    Expected = {"Program 1 N/A@N/A", "Stream #2[0x102](ger)", "Stream #0[0x100]", "Program 2 Quorvane@Second tone",
                "Stream #1[0x101](eng)"};
    EXPECT_EQ(StreamLines(), Expected);
    Second->nb_stream_indexes = SecondCount;
}

TEST_F(AVProbeTest, ProgramLineReadsProviderNameAndNameBeforeTheServiceKeys) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::MpegTs);
    AVProgram* Second = Probe.FileHandle()->programs[1];
    auto ProgramLine = [&] {
        for (const std::string& L : SplitLines(Probe.FileInfoText()))
            if (L.rfind("Program 2 ", 0) == 0)
                return L;
        return std::string();
    };
    // The demuxer's keys: service_provider "Quorvane", service_name "Second tone".
    struct {
        const char* Key;
        const char* Value;
        const char* Line;
    } Cases[] = {{nullptr, nullptr, "Program 2 Quorvane@Second tone"},
                 {"provider_name", "Maker", "Program 2 Maker@Second tone"},
                 {"name", "Show", "Program 2 Maker@Show"}};
    for (const auto& C : Cases) {
        if (C.Key)
            av_dict_set(&Second->metadata, C.Key, C.Value, 0);
        EXPECT_EQ(ProgramLine(), C.Line);
    }
}

TEST_F(AVProbeTest, MetadataBlocksUseTheGenericNamesOfId3Frames) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Mkv);
    AVStream* Audio = Probe.FileHandle()->streams[1];
    av_dict_free(&Audio->metadata);
    for (auto [Key, Value] :
         {std::pair{"language", "eng"}, {"TIT2", "Tone"}, {"TPE1", "测试"}, {"tit2", "kept as it is"}})
        av_dict_set(&Audio->metadata, Key, Value, AV_DICT_MATCH_CASE);
    std::vector<std::string> Lines = SplitLines(Probe.FileInfoText());
    ASSERT_GE(Lines.size(), 5u);
    EXPECT_EQ(Lines[Lines.size() - 5].rfind("Stream #1(eng), 1/1000: ", 0), 0u) << Lines[Lines.size() - 5];
    std::vector<std::string> Block(Lines.end() - 4, Lines.end());
    std::vector<std::string> Expected = {"  Metadata:", "    title           : Tone", "    artist          : 测试",
                                         "    tit2            : kept as it is"};
    EXPECT_EQ(Block, Expected);
}

TEST_F(AVProbeTest, OddStreamValuesInTheReport) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    AVFormatContext* Ctx = Probe.FileHandle();
    Ctx->bit_rate = 0;
    Ctx->duration = 0;
    Ctx->start_time = -500000; // a negative file start is not shown
    AVStream* Video = Ctx->streams[0];
    Video->start_time = -38;             // 1.52 s before the start in 1/25
    Video->sample_aspect_ratio = {4, 3}; // the container's, against the codec's 1:1
    Ctx->streams[1]->time_base = {0, 0};

    std::vector<std::string> Lines = SplitLines(Probe.FileInfoText());
    ASSERT_EQ(Lines.size(), 11u);
    EXPECT_EQ(Lines[4], "Duration: 00:00:00.000");
    EXPECT_EQ(Lines[5], "Bit Rate: N/A");
    EXPECT_NE(Lines[9].find("PAR 4:3 DAR 16:9, 25 fps"), std::string::npos) << Lines[9];
    EXPECT_NE(Lines[9].find(", StartTime: -1.520000, "), std::string::npos) << Lines[9];
    // A time base of 0/0 is repaired to 0/1 in the context.
    EXPECT_EQ(Lines[10].rfind("Stream #1, 0/1: ", 0), 0u) << Lines[10];
    EXPECT_EQ(Ctx->streams[1]->time_base.den, 1);

    Ctx->streams[1]->time_base = {5, 0};
    EXPECT_EQ(Probe.FirstAudioStreamInfo().StartTime, 0);
    EXPECT_EQ(Ctx->streams[1]->time_base.den, 5);

    Video->codecpar->sample_aspect_ratio = {0, 0};
    TVideoStreamInfo Info = Probe.FirstVideoStreamInfo();
    EXPECT_EQ(Info.AspectRatio, 0.0f);
    EXPECT_EQ(Info.StartTimeScaled, -1520000);
    Video->codecpar->sample_aspect_ratio = {0, 1};
    EXPECT_EQ(Probe.FirstVideoStreamInfo().AspectRatio, 0.0f);
}

// ---------------------------------------------------------------------------------------------
// Adopted contexts

TEST_F(AVProbeTest, AnAdoptedContextIsNeverClosedByTheProbe) {
    const std::string& File = FixturePath(Fixture::Avi);
    AVFormatContext* Ctx = nullptr;
    ASSERT_GE(avformat_open_input(&Ctx, File.c_str(), nullptr, nullptr), 0);
    InputPtr Owned(Ctx);
    ASSERT_GE(avformat_find_stream_info(Ctx, nullptr), 0);

    {
        TAVProbe Probe(nullptr);
        Load(Probe, Fixture::Wav);
        Probe.SetFileHandle(Ctx); // closes the WAV first
        EXPECT_EQ(Probe.FileHandle(), Ctx);
        EXPECT_EQ(Probe.StreamCount(), 2);
        EXPECT_EQ(Probe.FormatName(), u"avi");
        EXPECT_EQ(Probe.FileName(), UTF8ToString(File));

        for (auto Step : {+[](TAVProbe& P) { P.Decode(); }, +[](TAVProbe& P) { P.Seek(0); },
                          +[](TAVProbe& P) { P.DecodePreviousKeyFrame(); }}) {
            try {
                Step(Probe);
                ADD_FAILURE() << "no exception";
            } catch (const Exception& E) {
                EXPECT_EQ(E.Message(), u"file cannot be seeked, handle is readonly.");
            }
        }
        Probe.CloseFile();
        EXPECT_EQ(Probe.FileHandle(), nullptr);
        Probe.SetFileHandle(Ctx);
    } // the probe goes, the context stays
    EXPECT_EQ(Ctx->nb_streams, 2u);

    TAVProbe Probe(nullptr);
    AVFormatContext* Bare = avformat_alloc_context();
    Probe.SetFileHandle(Bare);
    EXPECT_EQ(Probe.Position(), -1);
    EXPECT_EQ(Probe.LastErrMsg(), u"cannot get position");
    EXPECT_EQ(SplitLines(Probe.FileInfoText()).at(0), "File Name: "); // a context that opened nothing
    Probe.CloseFile();
    avformat_free_context(Bare);
}

// ---------------------------------------------------------------------------------------------
// Decoding and seeking

TEST_F(AVProbeTest, DecodingGivesEachPictureInOrderUntilTheEnd) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    EXPECT_FALSE(Probe.FrameInfo().Ready);
    for (int64_t N = 0; N < 75; ++N) {
        ASSERT_TRUE(Probe.Decode()) << N << ": " << UTF8Encode(Probe.LastErrMsg());
        const TFrameInfo& F = Probe.FrameInfo();
        ASSERT_EQ(FrameNumber(Probe), N);
        EXPECT_EQ(F.PTS, N * 40000);
        EXPECT_EQ(F.IsKeyFrame, N % 25 == 0) << N;
        EXPECT_EQ(F.PictureType, N % 25 == 0 ? ptI : ptP) << N;
        EXPECT_EQ(F.Width, 320);
        EXPECT_EQ(F.Height, 240);
        EXPECT_EQ(F.PixFmt, AV_PIX_FMT_YUV420P);
        EXPECT_EQ(F.StreamIndex, 0);
        EXPECT_EQ(F.OriginalPTS, N);
        EXPECT_GT(F.Position, 0);
        EXPECT_GE(F.Size, 320 * 240 * 3 / 2);
    }
    EXPECT_FALSE(Probe.Eof());
    // The end stays until a seek; the last picture stays too.
    for (int I = 0; I < 2; ++I) {
        EXPECT_FALSE(Probe.Decode());
        EXPECT_EQ(Probe.LastErrMsg(), u"stream eof reached.");
        EXPECT_TRUE(Probe.Eof());
        EXPECT_EQ(FrameNumber(Probe), 74);
    }
    EXPECT_TRUE(Probe.Seek(0));
    EXPECT_FALSE(Probe.Eof());
    ASSERT_TRUE(Probe.Decode());
    EXPECT_EQ(FrameNumber(Probe), 0);
}

TEST_F(AVProbeTest, ReorderedPicturesKeepTheirOwnTimes) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Mp4);
    for (int64_t N = 0; N < 75; ++N) {
        ASSERT_TRUE(Probe.Decode()) << N;
        ASSERT_EQ(FrameNumber(Probe), N);
        EXPECT_EQ(Probe.FrameInfo().PTS, N * 40000);
    }
    EXPECT_FALSE(Probe.Decode());
    EXPECT_TRUE(Probe.Eof());
}

TEST_F(AVProbeTest, SeekingLandsOnKeyFrames) {
    struct Case {
        Fixture Which;
        Int64 Target;
        TSeekFlags Flags;
        int64_t Frame;
    };
    const Case Cases[] = {
        {Fixture::Avi, 1500000, {sfBackward}, 25},
        {Fixture::Avi, 1500000, {}, 50},
        {Fixture::Avi, 1000000, {}, 25},
        {Fixture::Avi, 0, {}, 0},
        {Fixture::Avi, -3000000, {}, 0},
        {Fixture::Mp4, 2100000, {sfBackward}, 50},
        {Fixture::Ntsc, 1500000, {sfBackward}, 30},
        {Fixture::Mkv, 2500000, {sfBackward}, 50},
    };
    TAVProbe Probe(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(FixturePath(C.Which) + " " + std::to_string(C.Target));
        Load(Probe, C.Which);
        ASSERT_TRUE(Probe.Decode());
        EXPECT_TRUE(Probe.Seek(C.Target, C.Flags)) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_FALSE(Probe.FrameInfo().Ready); // a seek empties the picture
        ASSERT_TRUE(Probe.Decode()) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_EQ(FrameNumber(Probe), C.Frame);
        EXPECT_TRUE(Probe.FrameInfo().IsKeyFrame);
    }
}

TEST_F(AVProbeTest, KeyFrameAndBackwardSteps) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodeNextKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 25);
    ASSERT_TRUE(Probe.DecodeNextKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 50);
    EXPECT_FALSE(Probe.DecodeNextKeyFrame()); // no key frame after 2 s
    EXPECT_EQ(Probe.LastErrMsg(), u"could not seek to position 2.040 seconds");
    EXPECT_FALSE(Probe.FrameInfo().Ready);
    ASSERT_TRUE(Probe.Seek(2000000, {sfBackward}));
    ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodePreviousKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 25);
    ASSERT_TRUE(Probe.DecodePreviousKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 0);

    // From inside a second to its key frame; from a key frame to the picture before it.
    for (int I = 0; I < 10; ++I)
        ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodePreviousKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 0);
    ASSERT_TRUE(Probe.Seek(1000000, {sfBackward}));
    for (int I = 0; I < 6; ++I)
        ASSERT_TRUE(Probe.Decode());
    EXPECT_EQ(FrameNumber(Probe), 30);
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 29);
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 28);
    ASSERT_TRUE(Probe.Seek(1000000, {sfBackward}));
    ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 24);

    // Right after opening, the first backward step goes to the last key frame.
    Load(Probe, Fixture::Avi);
    ASSERT_TRUE(Probe.DecodePreviousKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 50);
}

TEST_F(AVProbeTest, StepsAt2997AndWithoutAFrameRate) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Ntsc);
    ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodeNextKeyFrame());
    EXPECT_EQ(FrameNumber(Probe), 30); // the first frame at or after 1 s
    for (int I = 0; I < 10; ++I)
        ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 39);

    // Without a frame rate a step is 40000 us: two of them back from frame 40 end after 38.
    Probe.FileHandle()->streams[0]->r_frame_rate = {0, 0};
    ASSERT_TRUE(Probe.Decode());
    EXPECT_EQ(FrameNumber(Probe), 40);
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 38);
    // A damaged, negative rate counts as unknown too (it would step forwards for ever).
    Probe.FileHandle()->streams[0]->r_frame_rate = {-30000, 1001};
    for (int I = 0; I < 2; ++I)
        ASSERT_TRUE(Probe.Decode());
    ASSERT_TRUE(Probe.DecodePreviousFrame());
    EXPECT_EQ(FrameNumber(Probe), 38);
}

TEST_F(AVProbeTest, AStillPictureDecodesOnceAndCannotSeek) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Png);
    ASSERT_TRUE(Probe.Decode());
    EXPECT_EQ(FrameNumber(Probe), 0);
    EXPECT_EQ(Probe.FrameInfo().PixFmt, AV_PIX_FMT_RGB24);
    Int64 Position = Probe.Position();
    EXPECT_TRUE(Probe.Decode());
    EXPECT_EQ(Probe.Position(), Position);
    EXPECT_TRUE(Probe.FrameInfo().Ready);
    EXPECT_FALSE(Probe.Seek(0));
    EXPECT_EQ(Probe.LastErrMsg(), u"\"image2\" format cannot to be seeked.");
    EXPECT_TRUE(Probe.FrameInfo().Ready);
}

TEST_F(AVProbeTest, DecodingAndSeekingErrors) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Wav);
    EXPECT_FALSE(Probe.Decode());
    EXPECT_EQ(Probe.LastErrMsg(), u"no video stream.");

    Load(Probe, Fixture::Avi);
    struct Case {
        int Stream;
        const char16_t* Error;
    };
    for (Case C : {Case{1, u"stream #1 is not video stream."}, Case{2, u"stream index #2 is invalid."}}) {
        EXPECT_FALSE(Probe.Decode(C.Stream));
        EXPECT_EQ(Probe.LastErrMsg(), C.Error);
    }

    AVCodecParameters* Par = Probe.FileHandle()->streams[0]->codecpar;
    Par->width = 0;
    EXPECT_FALSE(Probe.Decode());
    EXPECT_EQ(Probe.LastErrMsg(), u"frame size of codec is invalid.");
    Par->width = -16;
    EXPECT_FALSE(Probe.Decode());
    EXPECT_EQ(Probe.LastErrMsg(), u"Error while opening codec for input file stream #0");
    Par->width = 320;
    Par->codec_id = AV_CODEC_ID_NONE;
    EXPECT_FALSE(Probe.Decode());
    EXPECT_EQ(Probe.LastErrMsg(), u"Unsupported codec (id=0) for input file stream #0");
    // Every backward attempt fails to decode: the search gives up with the reason.
    EXPECT_FALSE(Probe.DecodePreviousKeyFrame());
    EXPECT_EQ(Probe.LastErrMsg(),
              u"Could not seek to the previous key-frame. Unsupported codec (id=0) for input file stream #0");

    Load(Probe, Fixture::Mp4);
    EXPECT_FALSE(Probe.Seek(1000, {sfByte}));
    EXPECT_EQ(Probe.LastErrMsg(), u"could not seek to position 1000 bytes");
}

TEST_F(AVProbeTest, ATruncatedFileOpensAndDecodingReportsItsEnd) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Truncated);
    int Pictures = 0;
    while (Probe.Decode())
        ++Pictures;
    EXPECT_GT(Pictures, 10);
    EXPECT_LT(Pictures, 75);
    EXPECT_TRUE(Probe.Eof());
    EXPECT_EQ(Probe.LastErrMsg(), u"stream eof reached.");
}

TEST_F(AVProbeTest, BackwardStepsInEveryContainer) {
    struct Case {
        Fixture Which;
        int64_t FramesPerSecond; // the key frames' spacing in frames
    };
    // Containers with an index of key frames (a transport stream is sought by a binary search over
    // time stamps, which the libraries do not align to key frames).
    const Case Cases[] = {{Fixture::Avi, 25}, {Fixture::Mp4, 25}, {Fixture::Mkv, 25}, {Fixture::Ntsc, 30}};
    TAVProbe Probe(nullptr);
    for (const Case& C : Cases) {
        SCOPED_TRACE(FixturePath(C.Which));
        Load(Probe, C.Which);
        int64_t Second2 = 2 * C.FramesPerSecond;
        ASSERT_TRUE(Probe.Seek(2100000, {sfBackward}));
        ASSERT_TRUE(Probe.Decode()) << UTF8Encode(Probe.LastErrMsg());
        ASSERT_EQ(FrameNumber(Probe), Second2);
        for (int I = 0; I < 5; ++I)
            ASSERT_TRUE(Probe.Decode());
        ASSERT_TRUE(Probe.DecodePreviousKeyFrame()) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_EQ(FrameNumber(Probe), Second2);
        ASSERT_TRUE(Probe.DecodePreviousKeyFrame()) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_EQ(FrameNumber(Probe), C.FramesPerSecond);
        ASSERT_TRUE(Probe.DecodePreviousFrame()) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_EQ(FrameNumber(Probe), C.FramesPerSecond - 1);
        ASSERT_TRUE(Probe.DecodeNextKeyFrame()) << UTF8Encode(Probe.LastErrMsg());
        EXPECT_EQ(FrameNumber(Probe), C.FramesPerSecond);
    }
}

// ---------------------------------------------------------------------------------------------
// Bitmaps

// The bitmap's pixels as packed RGB rows, top row first.
std::vector<uint8_t> BitmapRgb(TBitmap& ABitmap) {
    std::vector<uint8_t> Rgb(size_t(ABitmap.Width()) * ABitmap.Height() * 3);
    for (int Y = 0; Y < ABitmap.Height(); ++Y) {
        const auto* Row = static_cast<const uint8_t*>(ABitmap.ScanLine(Y));
        for (int X = 0; X < ABitmap.Width(); ++X)
            for (int C = 0; C < 3; ++C)
                Rgb[(size_t(Y) * ABitmap.Width() + X) * 3 + C] = Row[X * 3 + 2 - C];
    }
    return Rgb;
}

std::vector<uint8_t> PatternRgb(int AWidth, int AHeight, int64_t AFrame) {
    std::vector<uint8_t> Rgb(size_t(AWidth) * AHeight * 3);
    PaintTestPattern(Rgb.data(), AWidth * 3, AWidth, AHeight, AFrame);
    return Rgb;
}

TEST_F(AVProbeTest, CopyToBitmapNeedsADecodedPicture) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Avi);
    TBitmap Bitmap(4, 3);
    Bitmap.Canvas()->SetPixels(1, 1, clRed);
    EXPECT_FALSE(Probe.CopyToBitmap(&Bitmap));
    EXPECT_EQ(Probe.LastErrMsg(), u"picture not ready, please decode first");
    EXPECT_EQ(Bitmap.Width(), 4);
    EXPECT_EQ(Bitmap.Height(), 3);
    EXPECT_EQ(Bitmap.Canvas()->Pixels(1, 1), clRed);
}

TEST_F(AVProbeTest, CopyToBitmapOfAStillPictureIsExact) {
    TAVProbe Probe(nullptr);
    Load(Probe, Fixture::Png);
    ASSERT_TRUE(Probe.Decode());
    TBitmap Bitmap;
    ASSERT_TRUE(Probe.CopyToBitmap(&Bitmap)) << UTF8Encode(Probe.LastErrMsg());
    EXPECT_EQ(Bitmap.Width(), 320);
    EXPECT_EQ(Bitmap.Height(), 240);
    EXPECT_EQ(Bitmap.PixelFormat(), pf24bit);
    EXPECT_TRUE(BitmapRgb(Bitmap) == PatternRgb(320, 240, 0));
}

// Lossy pictures come back within a small error: the mean difference per channel stays below 2
// levels, and under 1% of the samples differ by more than 32 levels (only at the colour edges of
// the pattern, where the codecs' halved chroma resolution blends neighbours).
TEST_F(AVProbeTest, CopyToBitmapOfLossyPicturesIsCloseToThePattern) {
    TAVProbe Probe(nullptr);
    for (Fixture Which : {Fixture::Avi, Fixture::Mp4}) {
        SCOPED_TRACE(FixturePath(Which));
        Load(Probe, Which);
        ASSERT_TRUE(Probe.Seek(1000000, {sfBackward}));
        for (int I = 0; I <= 5; ++I)
            ASSERT_TRUE(Probe.Decode());
        TBitmap Bitmap;
        ASSERT_TRUE(Probe.CopyToBitmap(&Bitmap));
        ASSERT_EQ(Bitmap.Width(), 320);
        ASSERT_EQ(Bitmap.Height(), 240);
        std::vector<uint8_t> Got = BitmapRgb(Bitmap);
        std::vector<uint8_t> Expected = PatternRgb(320, 240, 30);
        EXPECT_EQ(ReadPatternFrameIndex(Got.data(), 320 * 3, 3, 320, 240), 30);
        double Sum = 0;
        size_t Far = 0;
        for (size_t I = 0; I < Got.size(); ++I) {
            int D = std::abs(int(Got[I]) - int(Expected[I]));
            Sum += D;
            Far += D > 32;
        }
        EXPECT_LT(Sum / double(Got.size()), 2.0);
        EXPECT_LT(double(Far), 0.01 * double(Got.size()));
    }
}

} // namespace
