#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/FFPlayer.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "PlayerTestSupport.h"
#include "support/MediaFixtures.h"

namespace {

using namespace std::chrono_literals;

using qvtest::WaitUntil;
using TRecorder = qvtest::TPlayerRecorder;

struct TRgb {
    int R, G, B;
};
TRgb Rgb(uint32_t C) {
    return {int((C >> 16) & 255), int((C >> 8) & 255), int(C & 255)};
}

class FFPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        // No sound card on the test machines: SDL's dummy driver plays at the real rate.
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        ASSERT_TRUE(Player.LoadAVLib(GetAppPath() + u"LibAV")) << UTF8Encode(Player.LastErrMsg());
        Recorder.Attach(Player);
    }
    void TearDown() override { Player.Stop(true); }

    TCustomPlayer Player{nullptr};
    TRecorder Recorder;
};

String Path(qvtest::Fixture F) {
    return UTF8ToString(qvtest::FixturePath(F));
}

}  // namespace

TEST_F(FFPlayerTest, APausedOpenShowsTheFirstPictureBetweenBlackBars) {
    TMemoryVideoTarget Screen(240, 145);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, true)) << UTF8Encode(Player.LastErrMsg());
    ASSERT_TRUE(WaitUntil([&] { return Recorder.Has(psPause); }));
    ASSERT_TRUE(WaitUntil([&] { return Screen.Presents() > 0 && Screen.Pixel(120, 30) != 0xFF808080u; }));
    EXPECT_EQ(Recorder.StatesSoFar(), (std::vector<TPlayState>{psPlay, psPause}));
    EXPECT_TRUE(Player.Paused());
    // 320x240 square pixels in 240x145: a 192x145 picture from x 24.
    for (int Y : {0, 70, 144}) {
        EXPECT_EQ(Screen.Pixel(0, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(23, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(216, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(239, Y), 0xFF000000u);
    }
    TRgb Red = Rgb(Screen.Pixel(24 + 32, 30)), Green = Rgb(Screen.Pixel(120, 30)), Blue = Rgb(Screen.Pixel(216 - 32, 30));
    EXPECT_GT(Red.R, 180);
    EXPECT_LT(Red.G + Red.B, 120);
    EXPECT_GT(Green.G, 180);
    EXPECT_LT(Green.R + Green.B, 120);
    EXPECT_GT(Blue.B, 180);
    EXPECT_LT(Blue.R + Blue.G, 120);

    Int64 Pts = -2;
    const TPlayerBitmap& Frame = Player.CurrentFrame(Pts);
    EXPECT_EQ(Frame.Width, 320);
    EXPECT_EQ(Frame.Height, 240);
    EXPECT_GE(Pts, 0);
    EXPECT_LT(Pts, 100000);

    Player.Stop(true);
    EXPECT_EQ(Recorder.StatesSoFar().back(), psStop);
    EXPECT_EQ(Player.StopPasses(), 1);
    const TPlayerBitmap& None = Player.CurrentFrame(Pts);
    EXPECT_EQ(&None, &Frame);
    EXPECT_EQ(None.Width, 0);
    EXPECT_EQ(Pts, -1);
}

TEST_F(FFPlayerTest, AWaitingSeekShowsTheKeyFrameAtTheTarget) {
    TMemoryVideoTarget Screen(320, 240);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, true));
    ASSERT_TRUE(WaitUntil([&] { return Recorder.Has(psPause); }));
    Player.Seek(Int64(1000000), 0, true);
    Int64 Pts = -1;
    ASSERT_TRUE(WaitUntil([&] {
        Player.CurrentFrame(Pts);
        return Pts >= 1000000;
    }));
    const TPlayerBitmap& Frame = Player.CurrentFrame(Pts);
    EXPECT_EQ(Pts, 1000000);
    ASSERT_EQ(Frame.Width, 320);
    EXPECT_EQ(qvtest::ReadPatternFrameIndex(reinterpret_cast<const uint8_t*>(Frame.Pixels.data()), 320 * 4, 4, 320, 240),
              25);
    EXPECT_FALSE(Player.Seeking());
}

TEST_F(FFPlayerTest, TheEndIsReportedOnceTheQueuesDrain) {
    qvtest::ClipOptions Clip;
    Clip.FileName = "player_short.avi";
    Clip.Duration = 0.6;
    Clip.Streams = {qvtest::VideoStream("mpeg4"), qvtest::AudioStream("mp2")};
    TMemoryVideoTarget Screen(160, 120);
    Int64 Duration = 0;
    Integer Width = 0, Height = 0;
    Player.OnFileOpen = [&](TObject*, Int64 D, Integer W, Integer H, Integer&, Integer&) {
        Duration = D;
        Width = W;
        Height = H;
    };
    ASSERT_TRUE(Player.Open(UTF8ToString(qvtest::WriteClip(Clip)), &Screen, false));
    EXPECT_NEAR(double(Duration), 600000.0, 60000.0);
    EXPECT_EQ(Width, 320);
    EXPECT_EQ(Height, 240);
    ASSERT_TRUE(WaitUntil([&] { return Recorder.Has(psEnd); }));
    EXPECT_EQ(Player.PlayState(), psEnd);
    EXPECT_GT(Recorder.LastPosition(), 400000);
    EXPECT_LE(Recorder.LastPosition(), Duration);
}

TEST_F(FFPlayerTest, TheWantedAudioStreamIsTheOrdinalAmongAudioStreams) {
    Player.Setwanted_audio_stream(1);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::ThreeAudio), nullptr, true));
    EXPECT_EQ(Player.VideoStreamIndex(), 0);
    EXPECT_EQ(Player.AudioStreamIndex(), 2);

    struct Case {
        int Kind;
        Integer Index;
        const char16_t* Error;
    } Refusals[] = {
        {1, 0, u"the stream type is not matched."},
        {1, 9, u"the stream index is not valid."},
        {1, -1, u"the stream index is not valid."},
        {3, 1, u"the stream type is not matched."},
    };
    for (const Case& C : Refusals) {
        if (C.Kind == 1)
            Player.SetAudioStreamIndex(C.Index);
        else
            Player.SetSubtitleStreamIndex(C.Index);
        EXPECT_EQ(Player.LastErrMsg(), C.Error) << C.Index;
    }
    EXPECT_EQ(Player.AudioStreamIndex(), 2);
    Player.SetAudioStreamIndex(3);
    EXPECT_EQ(Player.AudioStreamIndex(), 3);
}

TEST_F(FFPlayerTest, ASubtitleOnlyFileHasNoStreamToPlay) {
    String File = Path(qvtest::Fixture::SubtitlesOnly);
    EXPECT_FALSE(Player.Open(File, nullptr, false));
    EXPECT_EQ(Player.LastErrMsg(), File + u": could not open codecs, no stream to play.");
    EXPECT_EQ(Player.VideoStreamIndex(), -1);
    EXPECT_FALSE(Player.Open(u"/nonexistent/qv_player_missing.avi", nullptr, false));
    EXPECT_NE(Player.LastErrMsg().find(u"qv_player_missing.avi"), String::npos);
}

TEST_F(FFPlayerTest, AnAudioOnlyFilePlaysOnTheDummyDriverWithItsWave) {
    TMemoryVideoTarget Screen(200, 100);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Wav), &Screen, false));
    EXPECT_EQ(Player.VideoStreamIndex(), -1);
    EXPECT_EQ(Player.AudioStreamIndex(), 0);
    // The position follows the audio clock, which only SDL's callback moves.
    ASSERT_TRUE(WaitUntil([&] { return Recorder.LastPosition() >= 300000; }));
    ASSERT_TRUE(WaitUntil([&] {
        std::vector<uint32_t> Pixels = Screen.Pixels();
        return std::count(Pixels.begin(), Pixels.end(), 0xFFFFFFFFu) > 50;
    }));
    Player.Stop(true);
    EXPECT_EQ(Recorder.StatesSoFar().back(), psStop);
}

TEST(FFPlayerNoLibraries, OpenFailsWithTheLoadersText) {
    FFLoader().Unload(PlayerLibraries);
    TCustomPlayer Player(nullptr);
    EXPECT_FALSE(Player.AVLibLoaded());
    EXPECT_FALSE(Player.Open(u"any.avi", nullptr, false));
    EXPECT_EQ(Player.LastErrMsg(), u"libav or libsdl not loaded.");
}
