#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "EngineLibraries.h"
#include "engine/AVFormatStubs.h"
#include "engine/FFUtils.h"
#include "engine/UnicodeProtocol.h"
#include "tests/support/TempDir.h"

namespace fs = std::filesystem;

namespace {

TEST(UnicodeProtocolTest, NameForms) {
    struct Case {
        const char16_t* Name;
        const char* ForLibraries;
    } Cases[] = {
        {u"/media/clip.avi", "/media/clip.avi"},
        {u"/media/片段 é.avi", "/media/\xe7\x89\x87\xe6\xae\xb5 \xc3\xa9.avi"},
        {u"C:/video/a.avi", "C:/video/a.avi"},
        {u"http://host/视频.avi", "http://host/\xe8\xa7\x86\xe9\xa2\x91.avi"},
        // The wrapped form is opened by the libraries' file protocol.
        {u"unicode:utf8:/media/片.avi", "file:/media/\xe7\x89\x87.avi"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(UnicodeFileURL(C.Name), C.ForLibraries) << UTF8Encode(String(C.Name));
        EXPECT_FALSE(NeedsUnicodeURL(C.Name)) << UTF8Encode(String(C.Name));
    }
    // Text that UTF-8 cannot carry unchanged (a lone surrogate) goes as a file URL.
    String Broken = String(u"/media/a") + char16_t(0xD800) + u".avi";
    EXPECT_TRUE(NeedsUnicodeURL(Broken));
    EXPECT_EQ(UnicodeFileURL(Broken).substr(0, 13), "file:/media/a");
}

TEST(UnicodeProtocolTest, URLFormsAndTheirFileNames) {
    EXPECT_EQ(MakeUnicodeURL(u"/a/é"), "unicode:utf8:/a/\xc3\xa9");
    EXPECT_TRUE(IsUnicodeURL("unicode:utf8:x"));
    EXPECT_FALSE(IsUnicodeURL("unicode:utf8:"));
    EXPECT_FALSE(IsUnicodeURL("Unicode:utf8:x"));
    EXPECT_EQ(UnicodeURLToFileName("unicode:utf8:/a/\xc3\xa9:b"), u"/a/é:b");
    struct Case {
        const char* Name;
        const char16_t* FileName;
    } Cases[] = {
        {"unicode:utf8:/a/\xc3\xa9.avi", u"/a/é.avi"},
        {"file:/a/\xc3\xa9.avi", u"/a/é.avi"},
        {"/a/\xc3\xa9.avi", u"/a/é.avi"},
        {"unicode:utf8:", u"unicode:utf8:"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(FileNameFromURL(C.Name), C.FileName) << C.Name;
}

class UnicodeFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        LoadEngineLibraries(ProbeLibraries);
        Dir = Temp.Folder().string();
    }
    String Path(const char16_t* Name) { return UTF8ToString(Dir) + u"/" + Name; }
    TTempDir Temp;
    std::string Dir;
};

TEST_F(UnicodeFileTest, ANonASCIINameIsWrittenOverAndReadBackThroughTheLibraries) {
    for (String Name : {Path(u"片段 é.bin"), u"unicode:utf8:" + Path(u"片段 é.bin")}) {
        AVIOContext* Output = nullptr;
        ASSERT_GE(av::avio_open(&Output, UnicodeFileURL(Name).c_str(), AVIO_FLAG_WRITE), 0);
        av::avio_write(Output, reinterpret_cast<const unsigned char*>("0123456789"), 10);
        av::avio_closep(&Output);
    }
    // Written twice: the second write truncated the first file.
    ASSERT_TRUE(fs::exists(fs::u8path(UTF8Encode(Path(u"片段 é.bin")))));
    AVIOContext* Input = nullptr;
    ASSERT_GE(av::avio_open(&Input, UnicodeFileURL(Path(u"片段 é.bin")).c_str(), AVIO_FLAG_READ), 0);
    EXPECT_EQ(av::avio_size(Input), 10);
    unsigned char Bytes[16] = {};
    EXPECT_EQ(av::avio_read(Input, Bytes, sizeof Bytes), 10);
    av::avio_closep(&Input);
}

TEST_F(UnicodeFileTest, TheNameAContextHoldsGivesTheFileNameBack) {
    String Name = Path(u"片段.wav");
    AVFormatContext* Output = nullptr;
    std::string URL = UnicodeFileURL(u"unicode:utf8:" + Name);
    ASSERT_GE(av::avformat_alloc_output_context2(&Output, nullptr, nullptr, URL.c_str()), 0);
    EXPECT_STREQ(Output->oformat->name, "wav");
    EXPECT_EQ(FileNameFromURL(Output->url), Name);
    av::avformat_free_context(Output);
}

TEST_F(UnicodeFileTest, AMissingFileIsReportedAsSuch) {
    for (String Name : {Path(u"缺失.avi"), u"unicode:utf8:" + Path(u"缺失.avi")}) {
        AVFormatContext* Input = nullptr;
        int Result = av::avformat_open_input(&Input, UnicodeFileURL(Name).c_str(), nullptr, nullptr);
        EXPECT_EQ(FFmpegErrorText(u"x", Result), u"x: No such file or directory");
    }
}

} // namespace
