// The player's properties: their defaults and what writing them keeps, the forced demuxer, the
// probe of the playing file, and the sender of the player's log lines.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <mutex>
#include <vector>

#include "PlayerTestSupport.h"
#include "engine/AVProbe.h"
#include "engine/FFPlayer.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/MyUtils.h"
#include "support/MediaFixtures.h"

namespace {

String Path(qvtest::Fixture F) {
    return UTF8ToString(qvtest::FixturePath(F));
}

// Every read-write property as a number: its default, a value written, and what reading gives back.
struct TPropertyCase {
    const char* Name;
    std::function<double(TCustomPlayer&)> Get;
    std::function<void(TCustomPlayer&, double)> Set;
    double Default;
    double Written;
    double ReadBack;
};

#define QV_PROPERTY(NAME, GET, SET, DEF, WRITTEN, READ)                                                                \
    TPropertyCase {                                                                                                    \
        NAME, [](TCustomPlayer& P) { return double(P.GET()); },                                                        \
            [](TCustomPlayer& P, double V) { P.SET(static_cast<decltype(P.GET())>(V)); }, DEF, WRITTEN, READ           \
    }

const std::vector<TPropertyCase>& PropertyCases() {
    static const std::vector<TPropertyCase> Cases = {
        QV_PROPERTY("DisableAudio", DisableAudio, SetDisableAudio, 0, 1, 1),
        QV_PROPERTY("DisableVideo", DisableVideo, SetDisableVideo, 0, 1, 1),
        QV_PROPERTY("DisableDisplay", DisableDisplay, SetDisableDisplay, 0, 1, 1),
        QV_PROPERTY("FrameWidth", FrameWidth, SetFrameWidth, 0, 352, 352),
        QV_PROPERTY("FrameHeight", FrameHeight, SetFrameHeight, 0, 288, 288),
        QV_PROPERTY("ScreenWidth", ScreenWidth, SetScreenWidth, 0, 640, 640),
        QV_PROPERTY("ScreenHeight", ScreenHeight, SetScreenHeight, 0, 360, 360),
        QV_PROPERTY("AudioDriver", AudioDriver, SetAudioDriver, adDefault, adWaveOut, adWaveOut),
        QV_PROPERTY("VideoDriver", VideoDriver, SetVideoDriver, vdDefault, vdGDI, vdGDI),
        QV_PROPERTY("AudioVolume", AudioVolume, SetAudioVolume, 128, 40, 40),
        QV_PROPERTY("AudioVolume above 128", AudioVolume, SetAudioVolume, 128, 200, 128),
        QV_PROPERTY("Mute", Mute, SetMute, 0, 1, 1),
        QV_PROPERTY("Hook", Hook, SetHook, 0, 1, 1),
        QV_PROPERTY("PlayTime", PlayTime, SetPlayTime, double(INT64_MIN), 2500000, 2500000),
        QV_PROPERTY("RepeatType", RepeatType, SetRepeatType, rtStop, rtLoop, rtLoop),
        QV_PROPERTY("TriggerEventInMainThread", TriggerEventInMainThread, SetTriggerEventInMainThread, 1, 0, 0),
        QV_PROPERTY("VerticalFlip", VerticalFlip, SetVerticalFlip, 0, 1, 1),
        QV_PROPERTY("is_full_screen", is_full_screen, Setis_full_screen, 0, 1, 1),
        QV_PROPERTY("seek_by_bytes", seek_by_bytes, Setseek_by_bytes, -1, 1, 1),
        QV_PROPERTY("start_time", start_time, Setstart_time, double(INT64_MIN), 1500000, 1500000),
        QV_PROPERTY("workaround_bugs", workaround_bugs, Setworkaround_bugs, 1, 0, 0),
        QV_PROPERTY("debug_mv", debug_mv, Setdebug_mv, 0, 7, 7),
        QV_PROPERTY("fast", fast, Setfast, 0, 1, 1),
        QV_PROPERTY("genpts", genpts, Setgenpts, 0, 1, 1),
        QV_PROPERTY("decoder_reorder_pts", decoder_reorder_pts, Setdecoder_reorder_pts, -1, 1, 1),
        QV_PROPERTY("framedrop", framedrop, Setframedrop, 1, 0, 0),
        QV_PROPERTY("rdftspeed", rdftspeed, Setrdftspeed, 20, 40, 40),
        QV_PROPERTY("lowres", lowres, Setlowres, 0, 1, 1),
        QV_PROPERTY("idct_algo", idct_algo, Setidct_algo, 0, 2, 2),
        QV_PROPERTY("error_recognition", error_recognition, Seterror_recognition, 1, 3, 3),
        QV_PROPERTY("error_concealment", error_concealment, Seterror_concealment, 3, 1, 1),
        QV_PROPERTY("av_sync_type", av_sync_type, Setav_sync_type, AV_SYNC_AUDIO_MASTER, AV_SYNC_EXTERNAL_CLOCK,
                    AV_SYNC_EXTERNAL_CLOCK),
        QV_PROPERTY("wanted_video_stream", wanted_video_stream, Setwanted_video_stream, -1, 1, 1),
        QV_PROPERTY("wanted_audio_stream", wanted_audio_stream, Setwanted_audio_stream, -1, 2, 2),
        QV_PROPERTY("wanted_subtitle_stream", wanted_subtitle_stream, Setwanted_subtitle_stream, -1, 0, 0),
        QV_PROPERTY("AspectRatio", AspectRatio, SetAspectRatio, 0, -1, -1),
        QV_PROPERTY("ShowAudio", ShowAudio, SetShowAudio, saWave, saRDFT, saRDFT),
    };
    return Cases;
}

TEST(FFPlayerProperties, EachPropertyStartsAtItsDefaultAndKeepsWhatIsWritten) {
    TRUDezari Player(nullptr);
    for (const TPropertyCase& C : PropertyCases()) {
        SCOPED_TRACE(C.Name);
        TRUDezari Fresh(nullptr);
        EXPECT_EQ(C.Get(Fresh), C.Default);
        C.Set(Player, C.Written);
        EXPECT_EQ(C.Get(Player), C.ReadBack);
    }
    EXPECT_TRUE(Player.FullScreen()); // the read-only view of is_full_screen
    Player.SetVideoFilters(u"hflip");
    EXPECT_EQ(Player.VideoFilters(), u"hflip");
    Player.SetAbout(u"关于");
    EXPECT_EQ(Player.About(), u"关于");

    // What only the player sets, while nothing plays.
    EXPECT_EQ(Player.Version(), u"2.3");
    EXPECT_EQ(Player.FileName(), u"");
    EXPECT_EQ(Player.ScreenHandle(), nullptr);
    EXPECT_EQ(Player.CurrentPTS(), -1);
    EXPECT_EQ(Player.PlayState(), psStop);
    EXPECT_FALSE(Player.Seeking());
    EXPECT_TRUE(Player.Paused());
    EXPECT_EQ(Player.VideoStreamIndex(), -1);
    EXPECT_EQ(Player.AudioStreamIndex(), -1);
    EXPECT_EQ(Player.SubtitleStreamIndex(), -1);
    ASSERT_NE(Player.AVProbe(), nullptr);
    EXPECT_EQ(Player.AVProbe()->FileHandle(), nullptr);
    EXPECT_EQ(Player.Format(), u"");
}

// Any integer is the absolute position, so the obvious call compiles and means one second.
template <typename T>
concept SeeksWith = requires(TCustomPlayer& P, T Position) {
    P.Seek(Position, TSeekFlags(), false);
};
static_assert(SeeksWith<int> && SeeksWith<long> && SeeksWith<long long> && SeeksWith<unsigned> && SeeksWith<double>);

void ExpectFormatRefused(TCustomPlayer& APlayer, const String& AName, const String& AText) {
    try {
        APlayer.SetFormat(AName);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(), AText);
    }
}

class FFPlayerLoaded : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(qvtest::LoadPlayerLibraries(Player)); }
    void TearDown() override { Player.Stop(true); }

    TRUDezari Player{nullptr};
};

TEST_F(FFPlayerLoaded, FormatForcesAKnownDemuxerAndRefusesAnUnknownName) {
    Player.SetFormat(u"avi");
    EXPECT_EQ(Player.Format(), u"avi");
    ExpectFormatRefused(Player, u"nosuchformat", u"Unknown input format: nosuchformat");
    EXPECT_EQ(Player.Format(), u"avi");
    // The forced demuxer is the one that opens the file: a WAV file is no AVI.
    EXPECT_FALSE(Player.Open(Path(qvtest::Fixture::Wav), nullptr, true));
    Player.SetFormat(u"");
    EXPECT_EQ(Player.Format(), u"");
    EXPECT_TRUE(Player.Open(Path(qvtest::Fixture::Wav), nullptr, true)) << UTF8Encode(Player.LastErrMsg());
}

TEST(FFPlayerNoLibraries, FormatCannotBeWrittenWithoutTheLibraries) {
    FFLoader().Unload(PlayerLibraries);
    TRUDezari Player(nullptr);
    ExpectFormatRefused(Player, u"avi", u"libav or libsdl not loaded.");
    EXPECT_EQ(Player.LastErrMsg(), u"libav or libsdl not loaded.");
    EXPECT_EQ(Player.Format(), u"");
}

// Open hands the playback's demuxer to the player's probe, whose information text is then the one a
// probe of the same file gives; Stop takes it back.
TEST_F(FFPlayerLoaded, TheProbeDescribesThePlayingFile) {
    TAVProbe Reference(nullptr);
    ASSERT_TRUE(Reference.LoadFile(Path(qvtest::Fixture::Avi)));
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), nullptr, true));
    ASSERT_NE(Player.AVProbe()->FileHandle(), nullptr);
    EXPECT_EQ(Player.AVProbe()->FileInfoText(), Reference.FileInfoText());
    Player.Stop(true);
    EXPECT_EQ(Player.AVProbe()->FileHandle(), nullptr);
}

// The player's errors reach the logger with the player as their sender.
TEST_F(FFPlayerLoaded, ErrorsAreLoggedWithThePlayerAsSender) {
    struct TLine {
        TObject* Sender;
        TLogLevel Level;
        String Text;
    };
    std::mutex Lock;
    std::vector<TLine> Lines;
    TFFLogger* Logger = GetFFLogger();
    Logger->SetTriggerEventInMainThread(false);
    Logger->OnLog = [&](TObject* Sender, Cardinal, TLogLevel Level, const String& Text) {
        std::lock_guard G(Lock);
        Lines.push_back({Sender, Level, Text});
    };
    ASSERT_TRUE(Player.Open(Path(qvtest::Fixture::Avi), nullptr, true));
    Player.SetAudioStreamIndex(0);
    Player.Stop(true);
    Logger->OnLog = nullptr;
    bool Found = false;
    for (const TLine& L : Lines)
        if (L.Text == u"the stream type is not matched.") {
            Found = true;
            EXPECT_EQ(L.Sender, &Player);
            EXPECT_EQ(L.Level, llError);
        }
    EXPECT_TRUE(Found);
}

} // namespace
