#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/AVCodecStubs.h"
#include "engine/AVDeviceStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegLoader.h"
#include "engine/MyUtils.h"
#include "engine/SDLStubs.h"
#include "engine/SwResampleStubs.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

const TLibraries AllLibraries{avUtil, swResample, avCodec, avFormat, swScale, avFilter, avDevice, lbSDL};

std::string Utf8(const String& S) {
    return UTF8Encode(S);
}

class FFmpegLoaderTest : public ::testing::Test {
protected:
    void SetUp() override {
        FFLoader().Unload(AllLibraries);
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
        TempDir = Temp.Folder();
    }
    void TearDown() override {
        FFLoader().Unload(AllLibraries);
        for (TLibraryStatus& Status : LibraryStates)
            Status.Name.clear();
        FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    }
    // A library folder holding links to the real libraries, where one file may be replaced.
    void LinkRealLibraries() {
        for (int L = 0; L < LibraryCount; ++L) {
            std::string Name = Utf8(GetLibraryFileName(TLibrary(L)));
            fs::create_symlink(fs::read_symlink(Utf8(GetAppPath()) + "LibAV/" + Name), TempDir / Name);
        }
    }
    void Replace(const std::string& Name, const fs::path& Target) {
        fs::remove(TempDir / Name);
        fs::create_symlink(Target, TempDir / Name);
    }
    static fs::path Stub(const char* Name) { return fs::path(Utf8(GetAppPath())) / "stubs" / Name; }

    TTempDir Temp;
    fs::path TempDir;
};

TEST_F(FFmpegLoaderTest, FileNamesAreTheSonamesOfTheBuiltForVersions) {
    const char16_t* Expected[LibraryCount] = {u"libavutil.so.57",   u"libswresample.so.4", u"libavcodec.so.59",
                                              u"libavformat.so.59", u"libswscale.so.6",    u"libavfilter.so.8",
                                              u"libavdevice.so.59", u"libSDL2-2.0.so.0"};
    for (int L = 0; L < LibraryCount; ++L)
        EXPECT_EQ(GetLibraryFileName(TLibrary(L)), Expected[L]);
    LibraryStates[avCodec].Name = u"/opt/other/libavcodec.so";
    EXPECT_EQ(GetLibraryFileName(avCodec), u"/opt/other/libavcodec.so");
}

TEST_F(FFmpegLoaderTest, LoadsTheRealLibrariesFromLibAVAndBindsEveryCell) {
    ASSERT_TRUE(FFLoader().Load(PlayerLibraries)) << Utf8(FFLoader().LastErrMsg());
    EXPECT_TRUE(FFLoader().Loaded(PlayerLibraries));
    EXPECT_TRUE(FFLoader().Loaded(ConverterLibraries));
    EXPECT_TRUE(FFLoader().Loaded(ProbeLibraries));
    EXPECT_FALSE(FFLoader().Loaded(avDevice));

    EXPECT_EQ(av::avcodec_version() >> 16, unsigned(LIBAVCODEC_VERSION_MAJOR));
    EXPECT_EQ(av::swresample_version() >> 16, unsigned(LIBSWRESAMPLE_VERSION_MAJOR));
    const AVCodec* Codec = av::avcodec_find_decoder_by_name("mpeg4");
    ASSERT_NE(Codec, nullptr);
    EXPECT_STREQ(Codec->name, "mpeg4");
    char Text[64];
    EXPECT_EQ(av::av_strerror(AVERROR(ENOENT), Text, sizeof Text), 0);
    EXPECT_STREQ(Text, "No such file or directory");
    EXPECT_NE(av::avio_seek, nullptr);
    EXPECT_NE(av::av_buffersink_get_frame, nullptr);
    EXPECT_NE(sdl::SDL_OpenAudioDevice, nullptr);

    // The device library is in no set but loads on its own.
    EXPECT_TRUE(FFLoader().Load(avDevice)) << Utf8(FFLoader().LastErrMsg());
}

TEST_F(FFmpegLoaderTest, LoadingASetTwiceBindsNothingAgain) {
    ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
    void* Handle = LibraryStates[avCodec].Handle;
    auto Cell = av::avcodec_open2;
    ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
    EXPECT_EQ(LibraryStates[avCodec].Handle, Handle);
    EXPECT_EQ(av::avcodec_open2, Cell);
}

TEST_F(FFmpegLoaderTest, UnloadClearsTheCells) {
    ASSERT_TRUE(FFLoader().Load(ProbeLibraries));
    FFLoader().Unload(ProbeLibraries);
    EXPECT_FALSE(FFLoader().Loaded(avUtil));
    EXPECT_EQ(LibraryStates[avCodec].Handle, nullptr);
    EXPECT_EQ(av::avcodec_open2, nullptr);
    EXPECT_EQ(av::av_log_set_callback, nullptr);
    EXPECT_EQ(av::swr_convert, nullptr);
}

TEST_F(FFmpegLoaderTest, AFileAbsentFromTheFolderIsLoadedThroughTheSystemSearchOrder) {
    FFLoader().SetLibraryPath(UTF8ToString(TempDir.string()));
    EXPECT_TRUE(FFLoader().Load(avUtil)) << Utf8(FFLoader().LastErrMsg());
    FFLoader().Unload(avUtil);
    FFLoader().SetLibraryPath(u"");
    EXPECT_TRUE(FFLoader().Load(avUtil)) << Utf8(FFLoader().LastErrMsg());
}

TEST_F(FFmpegLoaderTest, AMissingLibraryFailsTheSetAndUnloadsWhatWasLoadedBefore) {
    LibraryStates[avFilter].Name = u"libqv_absent.so.8";
    EXPECT_FALSE(FFLoader().Load(ConverterLibraries));
    EXPECT_EQ(FFLoader().LastErrMsg(), u"Load library " + GetAppPath() +
                                           u"LibAV/libqv_absent.so.8 error: cannot open shared object file: "
                                           u"No such file or directory");
    EXPECT_FALSE(FFLoader().Loaded(ConverterLibraries));
    EXPECT_FALSE(FFLoader().Loaded(avCodec));
    EXPECT_EQ(LibraryStates[avUtil].Handle, nullptr);
    EXPECT_EQ(av::avcodec_open2, nullptr);
}

TEST_F(FFmpegLoaderTest, AFileThatIsNoLibraryFailsToLoad) {
    LinkRealLibraries();
    fs::remove(TempDir / "libavfilter.so.8");
    std::ofstream(TempDir / "libavfilter.so.8") << "not a library";
    FFLoader().SetLibraryPath(UTF8ToString(TempDir.string()) + u"/");
    EXPECT_FALSE(FFLoader().Load(ConverterLibraries));
    String Prefix = u"Load library " + UTF8ToString((TempDir / "libavfilter.so.8").string()) + u" error: ";
    EXPECT_EQ(FFLoader().LastErrMsg().substr(0, Prefix.size()), Prefix) << Utf8(FFLoader().LastErrMsg());
    EXPECT_GT(FFLoader().LastErrMsg().size(), Prefix.size());
    EXPECT_FALSE(FFLoader().Loaded(avCodec));
}

TEST_F(FFmpegLoaderTest, AMissingFunctionFailsTheLibraryAndFreesIt) {
    LinkRealLibraries();
    Replace("libavfilter.so.8", Stub("libqv_stub_avfilter.so"));
    FFLoader().SetLibraryPath(UTF8ToString(TempDir.string()));
    EXPECT_FALSE(FFLoader().Load(ConverterLibraries));
    EXPECT_EQ(FFLoader().LastErrMsg(),
              u"Load function avfilter_get_class@libavfilter.so.8 error: undefined symbol: avfilter_get_class");
    EXPECT_FALSE(LibraryStates[avFilter].Fixuped);
    EXPECT_EQ(LibraryStates[avFilter].Handle, nullptr);
    EXPECT_EQ(av::avfilter_version, nullptr);
    EXPECT_FALSE(FFLoader().Loaded(avCodec));

    // A success afterwards keeps the last failure's text.
    FFLoader().SetLibraryPath(GetAppPath() + u"LibAV");
    ASSERT_TRUE(FFLoader().Load(ConverterLibraries));
    EXPECT_EQ(FFLoader().LastErrMsg(),
              u"Load function avfilter_get_class@libavfilter.so.8 error: undefined symbol: avfilter_get_class");
}

TEST_F(FFmpegLoaderTest, ALibraryOfAnotherMajorVersionIsRefused) {
    LinkRealLibraries();
    Replace("libavdevice.so.59", Stub("libqv_stub_avdevice.so"));
    FFLoader().SetLibraryPath(UTF8ToString(TempDir.string()));
    EXPECT_FALSE(FFLoader().Load(avDevice));
    EXPECT_EQ(FFLoader().LastErrMsg(),
              u"Load library libavdevice.so.59 error: version 58.1.0 found, major version 59 expected");
    EXPECT_EQ(LibraryStates[avDevice].Handle, nullptr);
    EXPECT_EQ(av::avdevice_register_all, nullptr);
}

TEST_F(FFmpegLoaderTest, BindVarFindsDataExportsAndNamesAMissingOne) {
    String ErrorText;
    void* Handle = LoadLibraryFromFolder(UTF8ToString(Stub("").string()), u"libqv_stub_avdevice.so", ErrorText);
    ASSERT_NE(Handle, nullptr) << Utf8(ErrorText);
    void* Cell = nullptr;
    BindVar(u"libqv_stub_avdevice.so", Handle, "qv_stub_value", false, Cell);
    ASSERT_NE(Cell, nullptr);
    EXPECT_EQ(*static_cast<int*>(Cell), 42);
    try {
        BindVar(u"libqv_stub_avdevice.so", Handle, "qv_stub_missing", false, Cell);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_EQ(E.Message(),
                  u"Load variable qv_stub_missing@libqv_stub_avdevice.so error: undefined symbol: qv_stub_missing");
    }
    BindProc(u"libqv_stub_avdevice.so", Handle, "qv_stub_missing", true, Cell);
    EXPECT_EQ(Cell, nullptr);
    FreeLibraryModule(Handle);
}

TEST_F(FFmpegLoaderTest, AnEmptySetIsAPreconditionFailure) {
    EXPECT_THROW(FFLoader().Load(TLibraries{}), EAssertionFailed);
    EXPECT_THROW(FFLoader().Loaded(TLibraries{}), EAssertionFailed);
    EXPECT_THROW(FFLoader().Unload(TLibraries{}), EAssertionFailed);
}

TEST(MyUtilsTest, TheAppPathCanBePointedAtAnotherFolder) {
    String Real = GetAppPath();
    EXPECT_TRUE(fs::exists(Utf8(Real) + "LibAV/libavutil.so.57"));
    SetAppFileName(u"/tmp/qv_app_dir/quorvane");
    EXPECT_EQ(GetAppFileName(), u"/tmp/qv_app_dir/quorvane");
    EXPECT_EQ(GetAppPath(), u"/tmp/qv_app_dir/");
    SetAppFileName(u"");
    EXPECT_EQ(GetAppPath(), Real);
}

// The engine must not link the media libraries: every call goes through a bound cell. Inline
// helpers of the library headers that call library functions (av_err2str, avio_tell ...) would
// leave undefined references here.
TEST(EngineLinkTest, TheEngineLibraryReferencesNoMediaLibrarySymbol) {
    std::string Command = "nm -u --format=just-symbols " + Utf8(GetAppPath()) + "libqv_engine.a 2>&1";
    std::unique_ptr<FILE, int (*)(FILE*)> Pipe(popen(Command.c_str(), "r"), pclose);
    ASSERT_TRUE(Pipe);
    std::string Offenders;
    int Lines = 0;
    char Line[512];
    while (fgets(Line, sizeof Line, Pipe.get())) {
        ++Lines;
        std::string Symbol(Line);
        for (const char* Prefix : {"av_", "avcodec_", "avformat_", "avfilter_", "avio_", "avdevice_", "avutil_",
                                   "avsubtitle_", "sws_", "swr_", "swscale_", "swresample_", "SDL_"})
            if (Symbol.rfind(Prefix, 0) == 0)
                Offenders += Symbol;
    }
    EXPECT_GT(Lines, 0) << "nm found no undefined symbols in libqv_engine.a";
    EXPECT_EQ(Offenders, "");
}

} // namespace
