// The player on clips shaped like real-world files: stamps at 0, audio that ends before the video,
// audio-only files, a transport stream that starts late; seeks land on the right picture, the end is
// reported once with the last picture shown, and positions never step back without a seek.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

#include "PlayerTestSupport.h"
#include "engine/FFPlayer.h"
#include "engine/MyUtils.h"
#include "support/MediaFixtures.h"

namespace {

using namespace std::chrono_literals;
using SteadyClock = std::chrono::steady_clock;

// What the player reports, with the wall-clock time of each position; handlers run on the event
// thread, so no test has to serve the main thread's calls.
struct TTimedRecorder {
    std::mutex Lock;
    std::vector<TPlayState> States;
    std::vector<std::pair<SteadyClock::time_point, Int64>> Positions;
    std::atomic<Int64> ShownAtEnd{-1};
    Int64 Duration = -1;

    void Attach(TCustomPlayer& P) {
        P.SetTriggerEventInMainThread(false);
        P.OnFileOpen = [this](TObject*, Int64 D, Integer, Integer, Integer&, Integer&) { Duration = D; };
        P.OnPosition = [this](TObject*, Int64 Pts) {
            std::lock_guard G(Lock);
            Positions.emplace_back(SteadyClock::now(), Pts);
        };
        P.OnState = [this, &P](TObject*, TPlayState S) {
            if (S == psEnd && ShownAtEnd < 0) {
                Int64 Pts = -1;
                P.CurrentFrame(Pts);
                ShownAtEnd = Pts;
            }
            std::lock_guard G(Lock);
            States.push_back(S);
        };
    }
    int Count(TPlayState S) {
        std::lock_guard G(Lock);
        return int(std::count(States.begin(), States.end(), S));
    }
    Int64 LastPosition() {
        std::lock_guard G(Lock);
        return Positions.empty() ? -1 : Positions.back().second;
    }
};

class FFPlayerPlayback : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(qvtest::LoadPlayerLibraries(Player));
        Recorder.Attach(Player);
    }
    void TearDown() override { Player.Stop(true); }

    // The picture on screen: its time and the pattern's frame number it shows.
    std::pair<Int64, int64_t> Shown() {
        Int64 Pts = -1;
        TBitmap* B = Player.CurrentFrame(Pts);
        if (B->Width() == 0)
            return {Pts, -1};
        return {Pts, qvtest::ReadPatternFrameIndex(static_cast<const uint8_t*>(B->ScanLine(0)),
                                                   qvtest::BitmapLineSize(B), 4, B->Width(), B->Height())};
    }

    TMemoryVideoTarget Screen{320, 240};
    TCustomPlayer Player{nullptr};
    TTimedRecorder Recorder;
};

String Clip(const qvtest::ClipOptions& O) {
    return UTF8ToString(qvtest::WriteClip(O));
}

// One second of 25 fps video with its only key frame at 0.
String OneSecondClip() {
    qvtest::ClipOptions O;
    O.FileName = "player_one_second.avi";
    O.Duration = 1.0;
    O.Streams = {qvtest::VideoStream("mpeg4")};
    return Clip(O);
}

// The key frame stamped 0 shows as 0, paused or playing, and a waiting seek returns with it on
// screen and Seeking over.
TEST_F(FFPlayerPlayback, ASeekToTheKeyFrameAtZeroShowsTimeZero) {
    for (bool Paused : {true, false}) {
        SCOPED_TRACE(Paused);
        ASSERT_TRUE(Player.Open(OneSecondClip(), &Screen, Paused));
        ASSERT_TRUE(qvtest::WaitUntil([&] { return Shown().first >= (Paused ? 0 : 500000); }));
        Player.Seek(200000, {}, true);
        EXPECT_FALSE(Player.Seeking());
        auto [Pts, Index] = Shown();
        if (Paused) {
            EXPECT_EQ(Pts, 0);
            EXPECT_EQ(Index, 0);
        } else {
            EXPECT_LT(Pts, 200000);
            EXPECT_EQ(Index * 40000, Pts);
        }
        Player.Stop(true);
    }
}

// After each waiting seek the picture on screen is the seek's own: the key frame at or before the
// target, its time matching the frame it shows.
TEST_F(FFPlayerPlayback, AWaitingSeekReturnsWithItsPictureOnScreen) {
    for (bool Paused : {true, false}) {
        SCOPED_TRACE(Paused);
        ASSERT_TRUE(Player.Open(UTF8ToString(qvtest::FixturePath(qvtest::Fixture::Avi)), &Screen, Paused));
        ASSERT_TRUE(qvtest::WaitUntil([&] { return Shown().first >= 0; }));
        for (Int64 Target : {2300000, 1000000, 2000000, 400000, 1900000}) {
            SCOPED_TRACE(Target);
            Player.Seek(Target, {}, true);
            EXPECT_FALSE(Player.Seeking());
            auto [Pts, Index] = Shown();
            Int64 KeyFrame = Target / 1000000 * 1000000;
            if (Paused)
                EXPECT_EQ(Pts, KeyFrame);
            else {
                EXPECT_GE(Pts, KeyFrame);
                EXPECT_LT(Pts, KeyFrame + 200000);
            }
            EXPECT_EQ(Index * 40000, Pts);
        }
        Player.Stop(true);
    }
}

// A 6 s video whose audio ends at 4 s: the rest plays at the video's own rate, positions never step
// back, and psEnd comes once, with the last picture on screen.
TEST_F(FFPlayerPlayback, VideoOutlastingItsAudioPlaysOnAtItsOwnRate) {
    qvtest::ClipOptions O;
    O.FileName = "player_short_audio.mkv";
    O.Duration = 6.0;
    O.Streams = {qvtest::VideoStream("mpeg4"), qvtest::AudioStream("mp2")};
    O.Streams[1].Duration = 4.0;
    String File = Clip(O);
    auto Start = SteadyClock::now();
    ASSERT_TRUE(Player.Open(File, &Screen, false));
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Recorder.Count(psEnd) > 0; }));
    double Took = std::chrono::duration<double>(SteadyClock::now() - Start).count();
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Recorder.Count(psEnd), 1);
    EXPECT_LT(Took, 6.8);
    EXPECT_GE(Recorder.ShownAtEnd.load(), 5960000);
    EXPECT_EQ(Player.CurrentPTS(), Recorder.Duration);

    std::lock_guard G(Recorder.Lock);
    const auto& P = Recorder.Positions;
    for (size_t I = 1; I < P.size(); ++I)
        EXPECT_GE(P[I].second, P[I - 1].second) << "at " << I;
    // The tail after the audio: wall time against stamps between 4.5 s and 5.8 s.
    auto From = std::find_if(P.begin(), P.end(), [](const auto& E) { return E.second >= 4500000; });
    auto To = std::find_if(P.begin(), P.end(), [](const auto& E) { return E.second >= 5800000; });
    ASSERT_TRUE(From != P.end() && To != P.end());
    double Wall = std::chrono::duration<double>(To->first - From->first).count();
    double Stamps = (To->second - From->second) / 1000000.0;
    EXPECT_NEAR(Wall / Stamps, 1.0, 0.2);
}

// Audio-only files play to their end, report it at their duration, once; the clock then stands.
TEST_F(FFPlayerPlayback, AudioOnlyFilesEndAtTheirDurationOnce) {
    for (const char* Codec : {"flac", "libmp3lame"}) {
        SCOPED_TRACE(Codec);
        qvtest::ClipOptions O;
        O.FileName = std::string("player_tone.") + (std::string(Codec) == "flac" ? "flac" : "mp3");
        O.Streams = {qvtest::AudioStream(Codec)};
        TTimedRecorder Local;
        Local.Attach(Player);
        String File = Clip(O);
        auto Start = SteadyClock::now();
        ASSERT_TRUE(Player.Open(File, &Screen, false));
        ASSERT_TRUE(qvtest::WaitUntil([&] { return Local.Count(psEnd) > 0; }));
        double Took = std::chrono::duration<double>(SteadyClock::now() - Start).count();
        std::this_thread::sleep_for(400ms);
        EXPECT_EQ(Local.Count(psEnd), 1);
        EXPECT_GT(Took, 2.8);
        ASSERT_GT(Local.Duration, 2900000);
        EXPECT_EQ(Local.LastPosition(), Local.Duration);
        EXPECT_EQ(Player.CurrentPTS(), Local.Duration);
        Player.Stop(true);
    }
    Recorder.Attach(Player);
}

// Without pictures: a paused open stands at 0, a paused seek moves the position, a step plays a
// little and pauses again, and playing on reaches the end once.
TEST_F(FFPlayerPlayback, AnAudioOnlyFilePausesSeeksAndSteps) {
    qvtest::ClipOptions O;
    O.FileName = "player_tone.mp3";
    O.Streams = {qvtest::AudioStream("libmp3lame")};
    ASSERT_TRUE(Player.Open(Clip(O), &Screen, true));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Player.CurrentPTS(), 0);

    Player.Seek(1500000, {}, true);
    ASSERT_TRUE(qvtest::WaitUntil([&] { return std::llabs(Player.CurrentPTS() - 1500000) < 50000; }, nullptr, 5s));
    EXPECT_TRUE(Player.Paused());

    Player.StepToNextFrame();
    std::this_thread::sleep_for(400ms);
    EXPECT_TRUE(Player.Paused());
    Int64 AfterStep = Player.CurrentPTS();
    EXPECT_GT(AfterStep, 1500000);
    EXPECT_LT(AfterStep, 1700000);

    Player.Resume();
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Recorder.Count(psEnd) > 0; }));
    std::this_thread::sleep_for(300ms);
    EXPECT_EQ(Recorder.Count(psEnd), 1);
}

// A transport stream that starts above 1 s: seek targets count from its start, each seek shows the
// key frame at or before its target, and the last picture is shown at the end.
TEST_F(FFPlayerPlayback, SeeksInAStreamStartingLateCountFromItsStart) {
    qvtest::ClipOptions O;
    O.FileName = "player_late_start.ts";
    O.StartOffset = 1.0;
    O.Streams = {qvtest::VideoStream("mpeg2video"), qvtest::AudioStream("mp2")};
    String File = Clip(O);
    ASSERT_TRUE(Player.Open(File, &Screen, true));
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Shown().first >= 0; }));
    // Times count from the file's start, which the audio may open a little before the video.
    for (Int64 Target : {418000, 1040000, 2500000}) {
        SCOPED_TRACE(Target);
        Player.Seek(Target, {}, true);
        auto [Pts, Index] = Shown();
        EXPECT_EQ(Index, Target / 1000000 * 25);
        EXPECT_NEAR(double(Pts), double(Index * 40000), 50000.0);
    }
    Player.Resume();
    Player.Seek(1040000, {}, true);
    auto [Pts, Index] = Shown();
    EXPECT_GE(Index, 25);
    EXPECT_LT(Index, 33);
    EXPECT_NEAR(double(Pts), double(Index * 40000), 50000.0);
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Recorder.Count(psEnd) > 0; }));
    EXPECT_GE(Recorder.ShownAtEnd.load(), 2900000);
    EXPECT_EQ(Shown().second, 74);
}

// Per-play options set before Open hold for the file it opens, even while another file plays.
TEST_F(FFPlayerPlayback, OptionsSetBeforeOpenHoldForThatFile) {
    String File = UTF8ToString(qvtest::FixturePath(qvtest::Fixture::Avi));
    ASSERT_TRUE(Player.Open(File, &Screen, false));
    Player.Setstart_time(2000000);
    Player.SetVerticalFlip(true);
    ASSERT_TRUE(Player.Open(File, &Screen, true));
    EXPECT_EQ(Player.start_time(), 2000000);
    EXPECT_TRUE(Player.VerticalFlip());
    ASSERT_TRUE(qvtest::WaitUntil([&] { return Shown().first >= 0; }));
    // The start position's key frame, or the picture after it that a paused open shows last.
    EXPECT_GE(Shown().first, 2000000);
    EXPECT_LE(Shown().first, 2040000);
    // Turned over, the pattern's red bar is at the bottom.
    uint32_t C = Screen.Pixel(40, 230);
    EXPECT_GT(int((C >> 16) & 255), 180);
    EXPECT_LT(int((C >> 8) & 255) + int(C & 255), 120);
}

} // namespace
