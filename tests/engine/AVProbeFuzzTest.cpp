// Damaged files never crash, leak or hang the probe: 200 variants of small clips, cut short or with
// bytes flipped by a fixed-seed generator, are opened, reported, decoded, sought and stepped. Whatever the
// damage, each call answers by its result; the sanitizers and the test's time limit do the rest.
#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "EngineLibraries.h"
#include "engine/AVProbe.h"
#include "support/MediaFixtures.h"
#include "tests/support/TempDir.h"

using namespace qvtest;
namespace fs = std::filesystem;

namespace {

constexpr int VariantsPerSource = 50;

// A small clip of the container with this file extension.
ClipOptions FuzzSource(const std::string& AExtension) {
    struct Kind {
        const char* Extension;
        const char* Video;
        const char* Audio;
    };
    static const Kind Kinds[] = {
        {"avi", "mpeg4", "mp2"}, {"mp4", "libx264", "aac"}, {"mkv", "libx264", "aac"}, {"ts", "mpeg2video", "mp2"}};
    const Kind* K = &Kinds[0];
    for (const Kind& Each : Kinds)
        if (AExtension == Each.Extension)
            K = &Each;
    ClipOptions O;
    O.FileName = "fuzz." + AExtension;
    O.Duration = 1.0;
    O.Title = "Fuzz source";
    O.Streams = {VideoStream(K->Video, 160, 120), AudioStream(K->Audio, 22050, 1)};
    return O;
}

std::vector<char> ReadBytes(const std::string& APath) {
    std::ifstream In(fs::path(APath), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(In), {});
}

// Variant I of Source: even ones cut at a random length, odd ones with a few bytes flipped, half of
// those inside the first 4 KiB where the headers live.
std::vector<char> Damaged(const std::vector<char>& ASource, int AVariant, std::mt19937& ARandom) {
    std::vector<char> Bytes = ASource;
    if (AVariant % 2 == 0) {
        Bytes.resize(std::uniform_int_distribution<size_t>(0, Bytes.size() - 1)(ARandom));
        return Bytes;
    }
    size_t Range = AVariant % 4 == 1 ? std::min<size_t>(4096, Bytes.size()) : Bytes.size();
    int Flips = std::uniform_int_distribution<int>(1, 32)(ARandom);
    for (int I = 0; I < Flips; ++I) {
        size_t At = std::uniform_int_distribution<size_t>(0, Range - 1)(ARandom);
        Bytes[At] = char(Bytes[At] ^ std::uniform_int_distribution<int>(1, 255)(ARandom));
    }
    return Bytes;
}

class AVProbeFuzzTest : public ::testing::TestWithParam<std::string> {};

TEST_P(AVProbeFuzzTest, DamagedVariantsAreHandledByResult) {
    LoadEngineLibraries(ProbeLibraries);
    ClipOptions Options = FuzzSource(GetParam());
    std::vector<char> Source = ReadBytes(WriteClip(Options));
    ASSERT_GT(Source.size(), 4096u);

    const TTempDir Temp;
    const fs::path Dir = Temp.Folder();
    std::mt19937 Random(20261210u + unsigned(Options.FileName.size()));
    int Opened = 0;
    TAVProbe Probe(nullptr);
    for (int V = 0; V < VariantsPerSource; ++V) {
        std::vector<char> Bytes = Damaged(Source, V, Random);
        fs::path File = Dir / (std::to_string(V) + "-" + Options.FileName);
        std::ofstream(File, std::ios::binary).write(Bytes.data(), std::streamsize(Bytes.size()));
        SCOPED_TRACE(File.string());

        if (!Probe.LoadFile(UTF8ToString(File.string()))) {
            EXPECT_NE(Probe.LastErrMsg(), u"");
            EXPECT_EQ(Probe.FileHandle(), nullptr);
            continue;
        }
        ++Opened;
        EXPECT_NE(Probe.FileInfoText(), u"");
        Probe.FileStreamInfo();
        Probe.FirstVideoStreamInfo();
        Probe.FirstAudioStreamInfo();
        if (Probe.FirstVideoStreamIndex() < 0)
            continue;
        for (int Picture = 0; Picture < 30 && Probe.Decode(); ++Picture) {
            const TFrameInfo& F = Probe.FrameInfo();
            EXPECT_TRUE(F.Ready);
            EXPECT_GT(F.Width, 0);
        }
        Probe.Seek(500000);
        Probe.Decode();
        Probe.DecodeNextKeyFrame();
        Probe.Seek(0, {sfBackward});
        Probe.Decode();
        Probe.DecodePreviousKeyFrame();
        Probe.DecodePreviousFrame();
    }
    Probe.CloseFile();
    // Cut-off and lightly damaged files mostly still open: the test reaches the decoding paths.
    EXPECT_GT(Opened, VariantsPerSource / 4);
}

INSTANTIATE_TEST_SUITE_P(Sources, AVProbeFuzzTest, ::testing::Values("avi", "mp4", "mkv", "ts"),
                         [](const ::testing::TestParamInfo<std::string>& Info) { return Info.param; });

} // namespace
