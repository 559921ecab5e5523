#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "PlayerTestSupport.h"
#include "engine/FFPlayer.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "platform/base/Threads.h"
#include "support/MediaFixtures.h"

namespace {

using namespace std::chrono_literals;

// Waits with the main thread's synchronised calls running: the player's events arrive through them.
template <typename F> bool WaitUntil(F ACond) {
    return qvtest::WaitUntil(ACond, [] { CheckSynchronize(0); });
}
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
        ASSERT_TRUE(qvtest::LoadPlayerLibraries(Player));
        Recorder.Attach(Player);
    }
    void TearDown() override { Player.Stop(true); }

    // The player draws until TearDown stops it, so its screens live as long as the fixture.
    TMemoryVideoTarget& MakeScreen(int AWidth, int AHeight) {
        return *Screens.emplace_back(std::make_unique<TMemoryVideoTarget>(AWidth, AHeight));
    }

    std::vector<std::unique_ptr<TMemoryVideoTarget>> Screens;
    TCustomPlayer Player{nullptr};
    TRecorder Recorder;
};

String Path(qvtest::Fixture F) {
    return UTF8ToString(qvtest::FixturePath(F));
}

} // namespace

TEST_F(FFPlayerTest, APausedOpenShowsTheFirstPictureBetweenBlackBars) {
    TMemoryVideoTarget& Screen = MakeScreen(240, 145);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, true)) << UTF8Encode(Player.LastErrMsg());
    ASSERT_TRUE(WaitUntil([&] { return Recorder.Has(psPause); }));
    ASSERT_TRUE(WaitUntil([&] { return Screen.Presents() > 0 && Screen.Pixel(120, 30) != 0xFF808080u; }));
    // The pause follows the shown picture's position, so the two state reports never merge in the event ring.
    EXPECT_EQ(Recorder.StatesSoFar(), (std::vector<TPlayState>{psPlay, psPause}));
    EXPECT_TRUE(Player.Paused());
    // 320x240 square pixels in 240x145: a 192x145 picture from x 24.
    for (int Y : {0, 70, 144}) {
        EXPECT_EQ(Screen.Pixel(0, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(23, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(216, Y), 0xFF000000u);
        EXPECT_EQ(Screen.Pixel(239, Y), 0xFF000000u);
    }
    TRgb Red = Rgb(Screen.Pixel(24 + 32, 30)), Green = Rgb(Screen.Pixel(120, 30)),
         Blue = Rgb(Screen.Pixel(216 - 32, 30));
    EXPECT_GT(Red.R, 180);
    EXPECT_LT(Red.G + Red.B, 120);
    EXPECT_GT(Green.G, 180);
    EXPECT_LT(Green.R + Green.B, 120);
    EXPECT_GT(Blue.B, 180);
    EXPECT_LT(Blue.R + Blue.G, 120);

    Int64 Pts = -2;
    TBitmap* Frame = Player.CurrentFrame(Pts);
    ASSERT_EQ(Frame->Width(), 320);
    EXPECT_EQ(Frame->Height(), 240);
    EXPECT_EQ(Frame->PixelFormat(), pf32bit);
    EXPECT_GE(Pts, 0);
    EXPECT_LT(Pts, 100000);
    // The class library's bitmap holds the test pattern's bars: red, green, blue from the left.
    TRgb FrameRed = Rgb(qvtest::BitmapPixel(Frame, 40, 30)), FrameGreen = Rgb(qvtest::BitmapPixel(Frame, 160, 30)),
         FrameBlue = Rgb(qvtest::BitmapPixel(Frame, 280, 30));
    EXPECT_TRUE(FrameRed.R > 180 && FrameRed.G + FrameRed.B < 120);
    EXPECT_TRUE(FrameGreen.G > 180 && FrameGreen.R + FrameGreen.B < 120);
    EXPECT_TRUE(FrameBlue.B > 180 && FrameBlue.R + FrameBlue.G < 120);

    Player.Stop(true);
    EXPECT_EQ(Recorder.StatesSoFar().back(), psStop);
    EXPECT_EQ(Player.StopPasses(), 1);
    // The state and position handlers ran on the main thread, through its synchronised calls.
    EXPECT_FALSE(Recorder.OffMainThread);
    TBitmap* None = Player.CurrentFrame(Pts);
    EXPECT_EQ(None, Frame);
    EXPECT_EQ(None->Width(), 0);
    EXPECT_EQ(Pts, -1);
}

TEST_F(FFPlayerTest, AWaitingSeekShowsTheKeyFrameAtTheTarget) {
    TMemoryVideoTarget& Screen = MakeScreen(320, 240);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, true));
    ASSERT_TRUE(WaitUntil([&] { return Recorder.Has(psPause); }));
    Player.Seek(Int64(1000000), {}, true);
    Int64 Pts = -1;
    ASSERT_TRUE(WaitUntil([&] {
        Player.CurrentFrame(Pts);
        return Pts >= 1000000;
    }));
    TBitmap* Frame = Player.CurrentFrame(Pts);
    EXPECT_EQ(Pts, 1000000);
    ASSERT_EQ(Frame->Width(), 320);
    EXPECT_EQ(qvtest::ReadPatternFrameIndex(static_cast<const uint8_t*>(Frame->ScanLine(0)),
                                            qvtest::BitmapLineSize(Frame), 4, 320, 240),
              25);
    EXPECT_FALSE(Player.Seeking());
}

TEST_F(FFPlayerTest, TheEndIsReportedOnceTheQueuesDrain) {
    qvtest::ClipOptions Clip;
    Clip.FileName = "player_short.avi";
    Clip.Duration = 0.6;
    Clip.Streams = {qvtest::VideoStream("mpeg4"), qvtest::AudioStream("mp2")};
    TMemoryVideoTarget& Screen = MakeScreen(160, 120);
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
    TMemoryVideoTarget& Screen = MakeScreen(200, 100);
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

// Stop(True) while the playback plays, is paused, or has a seek under way: the play thread closes
// the playback itself (the waiting never has to force it), psStop arrives, nothing is left playing.
TEST_F(FFPlayerTest, StopEndsCleanlyWhetherPlayingPausedOrSeeking) {
    enum TBefore { Playing, Paused, Seeking };
    for (TBefore Before : {Playing, Paused, Seeking}) {
        SCOPED_TRACE(Before);
        TMemoryVideoTarget& Screen = MakeScreen(160, 120);
        ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, Before == Paused));
        ASSERT_TRUE(WaitUntil([&] { return Screen.Presents() > 0 && Player.CurrentPTS() >= 0; }));
        if (Before == Seeking)
            Player.Seek(Int64(2000000), {}, false);
        Player.Stop(true);
        EXPECT_EQ(Recorder.StatesSoFar().back(), psStop);
        EXPECT_LT(Player.StopPasses(), 10);
        EXPECT_EQ(Player.VideoStreamIndex(), -1);
        EXPECT_TRUE(Player.Paused());
        EXPECT_FALSE(Player.Seeking());
    }
}

// A player freed while it plays reports nothing more, not even psStop, and its threads stop looking
// at its handlers before they go. The handlers run on the playback's threads here (with
// TriggerEventInMainThread off), where they meet the freeing.
TEST(FFPlayerFreed, APlayerFreedWhilePlayingReportsNothingMore) {
    TMemoryVideoTarget Screen(160, 120);
    std::atomic<int> Positions{0};
    std::vector<TPlayState> States;
    std::mutex Lock;
    auto Player = std::make_unique<TCustomPlayer>(nullptr);
    ASSERT_TRUE(qvtest::LoadPlayerLibraries(*Player));
    Player->SetTriggerEventInMainThread(false);
    Player->OnPosition = [&](TObject*, Int64) { ++Positions; };
    Player->OnState = [&](TObject*, TPlayState S) {
        std::lock_guard G(Lock);
        States.push_back(S);
    };
    ASSERT_TRUE(Player->Open(Path(qvtest::Fixture::Avi), &Screen, false));
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Positions >= 3; }));
    Player.reset();
    std::lock_guard G(Lock);
    EXPECT_EQ(std::count(States.begin(), States.end(), psStop), 0);
    EXPECT_EQ(std::count(States.begin(), States.end(), psPlay), 1);
}

// A pipe whose writer stalls keeps the read thread waiting for data; a Stop still ends the playback
// at once instead of waiting for data that never comes.
TEST_F(FFPlayerTest, StopEndsAPlaybackWhoseReadWaitsOnAStalledPipe) {
    std::string Dir = qvtest::FixtureFolder() + "/player_fifo_" + std::to_string(getpid());
    std::filesystem::create_directories(Dir);
    std::string Fifo = Dir + "/stalled.ts";
    ASSERT_EQ(mkfifo(Fifo.c_str(), 0600), 0);
    // The writer end stays open (and the pipe never reports its end) until the test is over.
    int Writer = open(Fifo.c_str(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(Writer, 0);
    std::ifstream Source(qvtest::FixturePath(qvtest::Fixture::MpegTs), std::ios::binary);
    std::vector<char> Bytes((std::istreambuf_iterator<char>(Source)), std::istreambuf_iterator<char>());
    Bytes.resize(Bytes.size() * 2 / 3);
    std::atomic<bool> Written{false};
    std::thread Feed([&] {
        size_t Done = 0;
        while (Done < Bytes.size()) {
            ssize_t N = write(Writer, Bytes.data() + Done, Bytes.size() - Done);
            if (N <= 0)
                break;
            Done += size_t(N);
        }
        Written = true;
    });
    ASSERT_TRUE(Player.Open(UTF8ToString(Fifo), nullptr, false)) << UTF8Encode(Player.LastErrMsg());
    ASSERT_TRUE(WaitUntil([&] { return Written.load(); }));
    // Everything written is read well before the playback has shown its first second.
    ASSERT_TRUE(WaitUntil([&] { return Player.CurrentPTS() >= 1000000; }));
    EXPECT_FALSE(Recorder.Has(psEnd));
    Player.Stop(true);
    EXPECT_EQ(Recorder.StatesSoFar().back(), psStop);
    EXPECT_LT(Player.StopPasses(), 10);
    Feed.join();
    close(Writer);
    std::filesystem::remove_all(Dir);
}

// The frame hook sees each picture upside down when VerticalFlip is set, and what it draws is what
// the screen shows; a handler that raises leaves the picture as decoded.
TEST_F(FFPlayerTest, TheFrameHookDrawsIntoTheShownPicture) {
    for (bool Raises : {false, true}) {
        SCOPED_TRACE(Raises);
        TMemoryVideoTarget& Screen = MakeScreen(320, 240);
        std::atomic<int> Calls{0};
        std::atomic<bool> BarsAtTheBottom{false};
        std::atomic<Int64> FirstPts{-1};
        Player.SetHook(true);
        Player.OnHook = [&](TObject* Sender, TBitmap* B, Int64 Pts) {
            EXPECT_EQ(Sender, &Player);
            if (Calls++ == 0) {
                FirstPts = Pts;
                // The pattern's red bar is at the top of the picture: turned over, it is at the bottom.
                TRgb Low = Rgb(qvtest::BitmapPixel(B, B->Width() / 6, B->Height() - 10));
                BarsAtTheBottom = Low.R > 180 && Low.G + Low.B < 120;
            }
            if (Raises)
                throw Exception(u"hook failed");
            // A white square over what is, turned over, the blue bar.
            for (int Y = 150; Y < 170; ++Y)
                for (int X = 280; X < 320; ++X)
                    qvtest::BitmapPixel(B, X, Y) = 0xFFFFFFFFu;
        };
        // A per-play option: set while nothing plays, so that Open's own Stop has nothing to reset.
        Player.SetVerticalFlip(true);
        ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), &Screen, true));
        ASSERT_TRUE(WaitUntil([&] { return Calls > 0 && Screen.Presents() > 0 && Recorder.Has(psPause); }));
        ASSERT_TRUE(WaitUntil([&] { return Rgb(Screen.Pixel(160, 230)).G > 180; }));
        EXPECT_TRUE(BarsAtTheBottom);
        EXPECT_GE(FirstPts.load(), 0);
        TRgb Square = Rgb(Screen.Pixel(300, 160));
        if (Raises)
            EXPECT_TRUE(Square.B > 180 && Square.R + Square.G < 120); // the decoded picture, turned at display
        else
            EXPECT_GT(Square.R + Square.G + Square.B, 740); // the hook's white square
        Player.Stop(true);
        Player.OnHook = nullptr;
        Player.SetHook(false);
    }
}

// The spectrum of a steady tone: in every drawn column the rows of the tone's frequency are bright
// and the rows far above them dark.
TEST_F(FFPlayerTest, TheSpectrumOfAToneLightsItsFrequencyRows) {
    TMemoryVideoTarget& Screen = MakeScreen(200, 100);
    Player.SetShowAudio(saRDFT);
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Wav), &Screen, false));
    // 200 rows of transform: 256 samples, 172 Hz per row, so 440 Hz lies in rows 2 and 3 from the bottom.
    auto Lit = [&](int X) { return std::max(Rgb(Screen.Pixel(X, 99 - 2)).R, Rgb(Screen.Pixel(X, 99 - 3)).R) > 200; };
    ASSERT_TRUE(WaitUntil([&] { return Lit(5); }));
    EXPECT_LT(Rgb(Screen.Pixel(5, 20)).R, 40);
    Player.Stop(true);
}

// A single picture plays as an image: no duration is reported, and the picture is shown.
TEST_F(FFPlayerTest, APictureOpensAsAnImageWithoutDuration) {
    TMemoryVideoTarget& Screen = MakeScreen(320, 240);
    Int64 Duration = -2;
    Player.OnFileOpen = [&](TObject*, Int64 D, Integer, Integer, Integer&, Integer&) { Duration = D; };
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Png), &Screen, false)) << UTF8Encode(Player.LastErrMsg());
    EXPECT_EQ(Duration, 0);
    ASSERT_TRUE(WaitUntil([&] { return Rgb(Screen.Pixel(160, 30)).G > 180; }));
    EXPECT_GT(Rgb(Screen.Pixel(50, 30)).R, 180);
}
