#include "app/profiles/ProfileSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "app/profiles/OutputFileName.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

// A fresh folder per test, removed afterwards; output and input folders live inside it.
class ApplyProfileTest : public ::testing::Test {
protected:
    void SetUp() override {
        Root = Temp.Folder();
        fs::create_directories(Root / "in");
        fs::create_directories(Root / "out");
    }

    std::u16string Path(const std::string& Relative) const { return (Root / Relative).u16string(); }
    void Touch(const std::string& Relative) const { std::ofstream(Root / Relative) << "x"; }

    // Category 3 ("常用视频"), profile 1: code 101, output ".mp4".
    TOutputParams Apply(const std::string& Input, bool Overwrite = false, int Category = 3, int Profile = 1,
                        const std::u16string& Folder = {}) {
        TOutputParams P;
        P.Video_AddFileName = Path(Input);
        EXPECT_TRUE(ApplyProfile(P, Category, Profile, Folder.empty() ? Path("out") : Folder, Overwrite));
        return P;
    }

    TTempDir Temp;
    fs::path Root;
};

} // namespace

TEST_F(ApplyProfileTest, OutputNameTakesTheProfilesExtension) {
    EXPECT_EQ(Apply("in/clip.avi").Video_OutPutFileName, Path("out/clip.mp4"));
    EXPECT_EQ(Apply("in/a.b.avi").Video_OutPutFileName, Path("out/a.b.mp4"));
    EXPECT_EQ(Apply("in/clip").Video_OutPutFileName, Path("out/clip.mp4"));
    // The folder text is used as it stands.
    EXPECT_EQ(Apply("in/clip.avi", false, 3, 1, Path("out") + u"/").Video_OutPutFileName, Path("out") + u"//clip.mp4");
}

TEST_F(ApplyProfileTest, ExistingFilesMoveTheNameOnUnlessOverwriting) {
    Touch("out/clip_1.mp4");
    EXPECT_EQ(Apply("in/clip.avi").Video_OutPutFileName, Path("out/clip.mp4"));
    Touch("out/clip.mp4");
    EXPECT_EQ(Apply("in/clip.avi").Video_OutPutFileName, Path("out/clip_2.mp4"));
    EXPECT_EQ(Apply("in/clip.avi", true).Video_OutPutFileName, Path("out/clip.mp4"));
    // Names outside ASCII are tested on disk as they are.
    Touch("out/视频.mp4");
    EXPECT_EQ(Apply("in/视频.avi").Video_OutPutFileName, Path("out/视频_1.mp4"));
    // A folder of the candidate's name does not count as a file.
    fs::create_directory(Root / "out/film.mp4");
    EXPECT_EQ(Apply("in/film.avi").Video_OutPutFileName, Path("out/film.mp4"));
}

TEST_F(ApplyProfileTest, NeverNamesTheInputFileItself) {
    Touch("in/clip.mp4");
    for (bool Overwrite : {false, true}) {
        EXPECT_EQ(Apply("in/clip.mp4", Overwrite, 3, 1, Path("in")).Video_OutPutFileName, Path("in/clip_1.mp4"));
        // Also when the folder is written another way.
        EXPECT_EQ(Apply("in/clip.mp4", Overwrite, 3, 1, Path("out/../in")).Video_OutPutFileName,
                  Path("out/../in/clip_1.mp4"));
    }
    // An input named like a numbered candidate is skipped in the search too.
    Touch("in/take.mp4");
    Touch("in/take_1.mp4");
    EXPECT_EQ(UniqueOutputFileName(Path("in"), u"take", u".mp4", false, Path("in/take_1.mp4")), Path("in/take_2.mp4"));
}

TEST_F(ApplyProfileTest, ProfileValuesReachTheFields) {
    TOutputParams Amr = Apply("in/song.wav", false, 18, 12);
    EXPECT_EQ(Amr.All_Trant_Number, 212);
    EXPECT_EQ(Amr.Video_AudioCodec, u"libopencore_amrnb");
    EXPECT_EQ(Amr.Video_AudioChannels, u"1");
    EXPECT_EQ(Amr.Video_AudioSampleRate, u"8000");
    EXPECT_EQ(Amr.Video_AudioBitrate, 7400);
    EXPECT_EQ(Amr.Video_VideoBitrate, -1);
    EXPECT_TRUE(Amr.Video_DisableVideo);
    EXPECT_EQ(Amr.Video_AudioVolume, u"256");

    TOutputParams Vob = Apply("in/clip.avi", false, 0, 6);
    EXPECT_EQ(Vob.All_Trant_Number, 2506);
    EXPECT_EQ(Vob.Video_OutPutFileName, Path("out/clip.vob"));
    EXPECT_EQ(Vob.Video_TargetType, u"dvd");
    EXPECT_EQ(Vob.Video_NormType, u"PAL");
    EXPECT_EQ(Vob.Video_FileExt, u"");
    EXPECT_EQ(Vob.Video_VideoBitrate, -1000);

    TOutputParams Ra = Apply("in/song.wav", false, 18, 6);
    EXPECT_EQ(Ra.Video_OutPutFileName, Path("out/song.ra"));
    EXPECT_EQ(Ra.Video_FileExt, u".rm");

    TOutputParams Rm = Apply("in/clip.avi", false, 3, 14);
    EXPECT_EQ(Rm.Video_VideoBitrate, -1);
    EXPECT_EQ(Rm.Video_AudioBitrate, -1);
    EXPECT_EQ(Rm.Video_AudioCodec, u"");

    EXPECT_EQ(Apply("in/clip.avi", false, 3, 8).Video_FileFormat, u"asf");                   // 108
    EXPECT_EQ(Apply("in/clip.avi", false, 6, 11).Video_FileFormat, u"asf");                  // 3211
    EXPECT_EQ(Apply("in/clip.avi", false, 6, 0).Video_OutPutFileName, Path("out/clip.avi")); // 3200
}

TEST_F(ApplyProfileTest, ApplyingResetsWhatTheProfileLeavesOpen) {
    TOutputParams P;
    P.Video_AddFileName = Path("in/clip.avi");
    ASSERT_TRUE(ApplyProfile(P, 4, 2, Path("out"), false)); // 502: aspect 16:9
    EXPECT_EQ(P.Video_FrameAspectRatio, u"16:9");
    ASSERT_TRUE(ApplyProfile(P, 0, 0, Path("out"), false)); // 2500: disc
    EXPECT_EQ(P.Video_FrameAspectRatio, u"");
    EXPECT_EQ(P.Video_VideoCodec, u"");
    EXPECT_EQ(P.Video_AddFileName, Path("in/clip.avi"));
}

TEST_F(ApplyProfileTest, IndicesOutsideTheCatalogueLeaveTheFieldsReset) {
    TOutputParams P;
    P.Video_AddFileName = Path("in/clip.avi");
    P.Video_VideoCodec = u"mpeg4";
    EXPECT_FALSE(ApplyProfile(P, 3, 15, Path("out"), false));
    EXPECT_FALSE(ApplyProfile(P, 19, 0, Path("out"), false));
    EXPECT_FALSE(ApplyProfile(P, 0, -1, Path("out"), false));
    EXPECT_EQ(P.Video_VideoCodec, u"");
    EXPECT_EQ(P.Video_OutPutFileName, u"");
    EXPECT_EQ(P.Video_AudioVolume, u"256");
}

TEST_F(ApplyProfileTest, RowColumnsOfAProfile) {
    std::u16string Columns[ProfileRowColumnCount];
    ProfileRowColumns(Apply("in/clip.avi", false, 0, 0), Columns); // 2500
    const char16_t* Disc[] = {u"", u"",      u"", u"", u"",      u"",    u"-1000",
                              u"", u"-1000", u"", u"", u"False", u"vcd", u"PAL"};
    for (int I = 0; I < ProfileRowColumnCount; ++I)
        EXPECT_EQ(Columns[I], Disc[I]) << "column " << ProfileRowFirstColumn + I;
    ProfileRowColumns(Apply("in/clip.avi", false, 3, 0), Columns); // 100
    const char16_t* Avi[] = {u"mpeg4", u"libmp3lame", u"2",     u"XVID", u".avi",  u"", u"816000",
                             u"25",    u"128000",     u"44100", u"",     u"False", u"", u""};
    for (int I = 0; I < ProfileRowColumnCount; ++I)
        EXPECT_EQ(Columns[I], Avi[I]) << "column " << ProfileRowFirstColumn + I;
    ProfileRowColumns(Apply("in/song.wav", false, 17, 0), Columns); // 3000
    EXPECT_EQ(Columns[22 - ProfileRowFirstColumn], u"True");
    EXPECT_EQ(Columns[17 - ProfileRowFirstColumn], u"-1");
}
