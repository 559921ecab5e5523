#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "engine/PlayerClock.h"

namespace {

class PlayerAudioTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << UTF8Encode(FFLoader().LastErrMsg());
    }
};

std::vector<int16_t> Samples(const std::vector<uint8_t>& Bytes) {
    std::vector<int16_t> Out(Bytes.size() / 2);
    std::memcpy(Out.data(), Bytes.data(), Out.size() * 2);
    return Out;
}

} // namespace

TEST(PlayerClockTest, TargetTimesKeepTheStampSpacingAndFollowTheMaster) {
    struct Case {
        double Pts;
        bool Sync;
        double VideoClock, MasterClock;
        double Timer;
    } Steps[] = {
        {0.00, false, 0, 0, 1.00}, // the first picture has no predecessor: no delay
        {0.04, false, 0, 0, 1.04},
        {0.08, true, 0.1, 0.0, 1.12},   // video ahead by more than the delay: twice the delay
        {0.12, true, 0.0, 0.1, 1.12},   // video behind: at once
        {0.16, true, 0.005, 0.0, 1.16}, // within the threshold
        {0.20, true, 20.0, 0.0, 1.20},  // too far apart to correct
        {0.20, false, 0, 0, 1.24},      // a repeated stamp keeps the last delay
        {15.0, false, 0, 0, 1.28},      // so does a jump
    };
    TFrameTimer Timer;
    Timer.frame_timer = 1.0;
    for (const Case& C : Steps)
        EXPECT_NEAR(Timer.ComputeTargetTime(C.Pts, C.Sync, C.VideoClock, C.MasterClock), C.Timer, 1e-9) << C.Pts;
}

TEST(PlayerClockTest, AudioCorrectionIsBoundedToTenPercentOfABuffer) {
    TAudioSync Sync;
    Sync.Init(48000);
    EXPECT_DOUBLE_EQ(Sync.audio_diff_threshold, 2048.0 / 48000);
    EXPECT_NEAR(Sync.audio_diff_avg_coef, 0.7943282347, 1e-9);
    const int Size = 4096; // 1024 stereo 16-bit frames
    for (int I = 0; I < 20; ++I)
        EXPECT_EQ(Sync.WantedSize(0.5, Size, 2, 48000), Size) << "measuring " << I;
    EXPECT_EQ(Sync.WantedSize(0.5, Size, 2, 48000), 1126 * 4);
    EXPECT_EQ(Sync.WantedSize(-0.5, Size, 2, 48000), 921 * 4); // the average leads, the correction follows the latest
    for (int I = 0; I < 30; ++I)
        Sync.WantedSize(-0.5, Size, 2, 48000);
    EXPECT_EQ(Sync.WantedSize(-0.5, Size, 2, 48000), 921 * 4);
    EXPECT_EQ(Sync.WantedSize(-0.001, Size, 2, 48000), 4096 - 48 * 4);

    EXPECT_EQ(Sync.WantedSize(-30.0, Size, 2, 48000), Size); // a jump restarts the measuring
    EXPECT_EQ(Sync.audio_diff_avg_count, 0);
    EXPECT_EQ(Sync.audio_diff_cum, 0);
}

TEST(PlayerClockTest, PaddingRepeatsTheLastFrameInsideTheBuffer) {
    std::vector<uint8_t> Buffer = {1, 2, 3, 4, 5, 6, 7, 8};
    ResizeAudioBuffer(Buffer, 8, 16, 4);
    EXPECT_EQ(Buffer, (std::vector<uint8_t>{1, 2, 3, 4, 5, 6, 7, 8, 5, 6, 7, 8, 5, 6, 7, 8}));
}

TEST(PlayerClockTest, PicturePlacementIn240x145) {
    struct Case {
        double Aspect;
        int SarNum, SarDen, PicW, PicH;
        TRect Expected;
    } Cases[] = {
        {-1, 1, 1, 320, 240, Bounds(0, 0, 240, 145)},
        {1.7777, 1, 1, 320, 240, Bounds(0, 5, 240, 134)},
        {0, 1, 1, 320, 240, Bounds(24, 0, 192, 145)},
        {0, 0, 1, 320, 240, Bounds(24, 0, 192, 145)}, // unknown pixel aspect counts as square
        {0, 4, 3, 320, 240, Bounds(0, 5, 240, 134)},  // 16:9 through the pixel aspect
        {0, 1, 1, 240, 145, Bounds(0, 0, 240, 145)},
    };
    for (const Case& C : Cases) {
        double R = DisplayRatio(C.Aspect, 240, 145, C.SarNum, C.SarDen, C.PicW, C.PicH);
        TRect Got = PlacePicture(0, 0, 240, 145, R);
        EXPECT_EQ(Got, C.Expected) << C.Aspect << " " << C.SarNum << "/" << C.SarDen << ": " << Got.Left << ","
                                   << Got.Top << " " << Got.Width() << "x" << Got.Height();
    }
}

TEST_F(PlayerAudioTest, VolumeAndMuteScaleTheSamples) {
    std::vector<int16_t> In = {1000, -1000, 32767, -32768};
    struct Case {
        int Volume;
        bool Mute;
        std::vector<int16_t> Out;
    } Cases[] = {
        {128, false, {1000, -1000, 32767, -32768}},
        {64, false, {500, -500, 16383, -16384}},
        {0, false, {0, 0, 0, 0}},
        {128, true, {0, 0, 0, 0}},
    };
    for (const Case& C : Cases) {
        std::vector<uint8_t> Stream(8, 0x5A); // what SDL left in its buffer
        MixAudioOut(Stream.data(), reinterpret_cast<const uint8_t*>(In.data()), 8, C.Volume, C.Mute);
        EXPECT_EQ(Samples(Stream), C.Out) << C.Volume << " " << C.Mute;
    }
}

TEST_F(PlayerAudioTest, AnEmptyQueueGivesSilenceInsteadOfBlocking) {
    TAudioFeed Feed;
    int Calls = 0;
    std::vector<int16_t> Decoded = {100, 200, 300, 400};
    Feed.Decode = [&](const uint8_t*& Data) {
        ++Calls;
        if (Calls == 2) {
            Data = reinterpret_cast<const uint8_t*>(Decoded.data());
            return 8;
        }
        return -1;
    };
    std::vector<uint8_t> Stream(1024 + 8 + 1024, 0x5A);
    Feed.Fill(Stream.data(), int(Stream.size()), 128, false);
    EXPECT_EQ(Calls, 3);
    std::vector<int16_t> Out = Samples(Stream);
    EXPECT_EQ(std::vector<int16_t>(Out.begin(), Out.begin() + 512), std::vector<int16_t>(512, 0));
    EXPECT_EQ(std::vector<int16_t>(Out.begin() + 512, Out.begin() + 516), Decoded);
    EXPECT_EQ(std::vector<int16_t>(Out.begin() + 516, Out.end()), std::vector<int16_t>(512, 0));
    // Silence played for want of data is no audio waiting: the audio clock does not count it.
    std::vector<uint8_t> Some(100);
    Feed.Fill(Some.data(), 100, 128, false);
    EXPECT_EQ(Feed.Pending(), 0);

    // A buffer taken in pieces keeps its place across calls.
    Feed.Decode = [&](const uint8_t*& Data) {
        Data = reinterpret_cast<const uint8_t*>(Decoded.data());
        return 8;
    };
    Feed.Reset();
    std::vector<uint8_t> Part(6);
    Feed.Fill(Part.data(), 6, 128, false);
    EXPECT_EQ(Feed.Pending(), 2);
    Feed.Fill(Part.data(), 4, 128, false);
    EXPECT_EQ(Samples(std::vector<uint8_t>(Part.begin(), Part.begin() + 4)), (std::vector<int16_t>{400, 100}));
}
