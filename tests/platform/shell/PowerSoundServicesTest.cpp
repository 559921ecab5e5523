// The end-of-batch services: the power-off request and the chime.
#include "platform/shell/PowerService.h"
#include "platform/shell/SoundService.h"

#include "support/TempDir.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <set>
#include <thread>

namespace {

// Sets or removes an environment variable for the test's duration.
class TEnvVar {
public:
    TEnvVar(const char* AName, const char* AValue) : FName(AName) {
        if (const char* Old = std::getenv(AName))
            FOld = Old;
        if (AValue)
            ::setenv(AName, AValue, 1);
        else
            ::unsetenv(AName);
    }
    ~TEnvVar() {
        if (FOld)
            ::setenv(FName, FOld->c_str(), 1);
        else
            ::unsetenv(FName);
    }

private:
    const char* FName;
    std::optional<std::string> FOld;
};

struct TSpawnCall {
    String Program;
    std::vector<String> Args;
};

TLogindPowerService RecordingLogind(std::vector<TSpawnCall>& Calls) {
    return TLogindPowerService([&Calls](const String& Program, const std::vector<String>& Args, String&) {
        Calls.push_back({Program, Args});
        return 4242;
    });
}

// A 16-bit mono WAV of a 440 Hz tone.
void WriteToneWav(const std::string& Path, int Rate, double Seconds) {
    const auto Frames = std::uint32_t(Rate * Seconds);
    const std::uint32_t DataBytes = Frames * 2;
    std::ofstream Out(Path, std::ios::binary);
    auto U32 = [&](std::uint32_t V) { Out.write(reinterpret_cast<const char*>(&V), 4); };
    auto U16 = [&](std::uint16_t V) { Out.write(reinterpret_cast<const char*>(&V), 2); };
    Out.write("RIFF", 4);
    U32(36 + DataBytes);
    Out.write("WAVEfmt ", 8);
    U32(16);
    U16(1); // PCM
    U16(1); // mono
    U32(std::uint32_t(Rate));
    U32(std::uint32_t(Rate) * 2);
    U16(2);
    U16(16);
    Out.write("data", 4);
    U32(DataBytes);
    for (std::uint32_t I = 0; I < Frames; ++I)
        U16(std::uint16_t(std::int16_t(12000 * std::sin(2 * M_PI * 440 * I / Rate))));
}

} // namespace

TEST(PowerServiceTest, TheLibraryDefaultOnlyRecords) {
    auto* Default = dynamic_cast<TRecordingPowerService*>(&PowerService());
    ASSERT_NE(Default, nullptr);
    const int Before = Default->Requests;
    EXPECT_TRUE(PowerService().PowerOff());
    EXPECT_EQ(Default->Requests, Before + 1);
}

TEST(PowerServiceTest, LogindIsAskedThroughBusctlWithAnArgumentList) {
    TEnvVar NoGuard("QV_NO_POWEROFF", nullptr);
    std::vector<TSpawnCall> Calls;
    TLogindPowerService Service = RecordingLogind(Calls);
    EXPECT_TRUE(Service.PowerOff());
    ASSERT_EQ(Calls.size(), 1u);
    EXPECT_EQ(Calls[0].Program, u"busctl");
    const std::vector<String> Expected = {u"--system",
                                          u"call",
                                          u"org.freedesktop.login1",
                                          u"/org/freedesktop/login1",
                                          u"org.freedesktop.login1.Manager",
                                          u"PowerOff",
                                          u"b",
                                          u"false"};
    EXPECT_EQ(Calls[0].Args, Expected);
}

TEST(PowerServiceTest, NothingRunsWhileTheGuardIsSet) {
    TEnvVar Guard("QV_NO_POWEROFF", "1");
    std::vector<TSpawnCall> Calls;
    TLogindPowerService Service = RecordingLogind(Calls);
    EXPECT_FALSE(Service.PowerOff());
    EXPECT_TRUE(Calls.empty());
}

TEST(PowerServiceTest, AProgramThatCannotStartIsAFailedRequest) {
    TEnvVar NoGuard("QV_NO_POWEROFF", nullptr);
    TLogindPowerService Service([](const String&, const std::vector<String>&, String& Error) {
        Error = u"Cannot start busctl";
        return -1;
    });
    EXPECT_FALSE(Service.PowerOff());
}

TEST(SoundServiceTest, TheLibraryDefaultOnlyRecords) {
    std::unique_ptr<TSoundService> Old = SetSoundService(nullptr);
    auto* Default = dynamic_cast<TRecordingSoundService*>(&SoundService());
    ASSERT_NE(Default, nullptr);
    EXPECT_TRUE(SoundService().PlayFile(u"/x/ring.wav"));
    EXPECT_EQ(Default->Played, std::vector<String>{u"/x/ring.wav"});
    SetSoundService(std::move(Old));
}

TEST(SoundServiceTest, AWavPlaysToTheDiskDriverInTheBackground) {
    if (SDL_WasInit(SDL_INIT_AUDIO))
        GTEST_SKIP() << "audio already started with another driver in this process";
    TTempDir Dir;
    const std::string Wav = (Dir.Folder() / "tone.wav").string();
    const std::string Captured = (Dir.Folder() / "captured.raw").string();
    WriteToneWav(Wav, 22050, 0.3);
    TEnvVar Driver("SDL_AUDIODRIVER", "disk");
    TEnvVar File("SDL_DISKAUDIOFILE", Captured.c_str());
    TEnvVar Delay("SDL_DISKAUDIODELAY", "1");

    TSdlSoundService Service;
    ASSERT_TRUE(Service.PlayFile(UTF8ToString(Wav))) << SDL_GetError();
    // Poll until the background player has closed its device (not a timing assertion: only a bound).
    for (int I = 0; I < 500 && Service.Playing(); ++I)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    EXPECT_FALSE(Service.Playing());

    std::ifstream In(Captured, std::ios::binary);
    const std::string Bytes{std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>()};
    ASSERT_GT(Bytes.size(), 1000u);
    const std::set<char> Distinct(Bytes.begin(), Bytes.end());
    EXPECT_GT(Distinct.size(), 16u) << "the captured output is silent";

    EXPECT_FALSE(Service.PlayFile(Dir.Path() + u"missing.wav"));
    EXPECT_FALSE(Service.Playing());
}

TEST(SoundServiceTest, NoDeviceOrOnlyTheSilentDriverMeansNothingPlays) {
    if (SDL_WasInit(SDL_INIT_AUDIO))
        GTEST_SKIP() << "audio already started in this process";
    TTempDir Dir;
    {
        TEnvVar Driver("SDL_AUDIODRIVER", "qv-no-such-driver");
        TSdlSoundService Service;
        const std::string Wav = (Dir.Folder() / "tone.wav").string();
        WriteToneWav(Wav, 22050, 0.1);
        EXPECT_FALSE(Service.PlayFile(UTF8ToString(Wav)));
        EXPECT_FALSE(Service.Playing());
    }
    // Only the silent stand-in runs: nothing would be heard.
    TEnvVar Driver("SDL_AUDIODRIVER", "dummy");
    TSdlSoundService Service;
    EXPECT_FALSE(Service.PlayFile(Dir.Path() + u"tone.wav"));
    EXPECT_FALSE(Service.Playing());
}
