#include "app/profiles/AdvancedChoices.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>

#include "platform/base/SysUtils.h"
#include "tests/support/TempDir.h"

namespace {

// Applies one combo box's text to freshly reset fields.
TOutputParams Applied(TAdvancedKind Kind, const String& Text) {
    TOutputParams P;
    P.Reset();
    P.Video_FrameAspectRatio = u"old";
    ApplyAdvancedChoice(Kind, Text, P);
    return P;
}

} // namespace

TEST(AdvancedChoices, TextRules) {
    struct Case {
        TAdvancedKind Kind;
        const char16_t* Text;
        const char16_t* Field;
    } Cases[] = {
        {akFrameSize, u"保持原分辨率", u""},
        {akFrameSize, u"该格式无视频", u""},
        {akFrameSize, u"720*576", u"720*576"},
        {akFrameRate, u"保持原帧速率", u""},
        {akFrameRate, u"无视频", u""},
        {akFrameRate, u"25.00", u"25.00"},
        {akSampleRate, u"44100", u"44100"},
        {akSampleRate, u"自动音频采样率", u"自动音频采样率"},
        {akAspectMode, u"保持原视频模式", u""},
        {akAspectMode, u"普通视频4:3模式", u"4:3"},
        {akAspectMode, u"宽屏视频16:9模式", u"16:9"},
        {akAspectMode, u"宽屏视频37:20模式", u"37:20"},
        {akAspectMode, u"宽屏视频47:20模式", u"47:20"},
        {akAspectMode, u"无视频", u""},
        {akAspectMode, u"16:9", u"old"}, // no aspect text: the field stays
    };
    for (const Case& C : Cases) {
        TOutputParams P = Applied(C.Kind, C.Text);
        const String& Field = C.Kind == akFrameSize    ? P.Video_FrameSize
                              : C.Kind == akFrameRate  ? P.Video_FrameRate
                              : C.Kind == akSampleRate ? P.Video_AudioSampleRate
                                                       : P.Video_FrameAspectRatio;
        EXPECT_EQ(Field, C.Field) << UTF8Encode(String(C.Text));
    }
}

TEST(AdvancedChoices, Bitrates) {
    struct Case {
        TAdvancedKind Kind;
        const char16_t* Text;
        int Bits;
    } Cases[] = {
        {akVideoBitrate, u"无视频", -1000},      {akVideoBitrate, u"128 kbps", 128000},
        {akVideoBitrate, u"2000 kbps", 2000000}, {akAudioBitrate, u"4.75 kbps", 4750},
        {akAudioBitrate, u"7.95 kbps", 7950},    {akAudioBitrate, u"10.2 kbps", 10200},
        {akAudioBitrate, u"12.2 kbps", 12200},   {akAudioBitrate, u"320 kbps", 320000},
    };
    for (const Case& C : Cases) {
        TOutputParams P = Applied(C.Kind, C.Text);
        EXPECT_EQ(C.Kind == akVideoBitrate ? P.Video_VideoBitrate : P.Video_AudioBitrate, C.Bits)
            << UTF8Encode(String(C.Text));
    }
    // The main window has no automatic audio bitrate, nor a text without a number.
    for (const char16_t* Text : {u"自动音频比特率", u"AUTO"}) {
        TOutputParams P;
        EXPECT_THROW(ApplyAdvancedChoice(akAudioBitrate, Text, P), EConvertError);
        EXPECT_THROW(ApplyAdvancedChoice(akVideoBitrate, Text, P), EConvertError);
    }
}

TEST(AdvancedChoices, FractionsReadWithADotWhateverTheLocale) {
    // A German locale, whose decimal mark is ",", compiled into a private folder.
    const TTempDir Temp;
    const std::filesystem::path& Folder = Temp.Folder();
    std::string Command = "localedef -i de_DE -f UTF-8 '" + (Folder / "de_DE.UTF-8").string() + "' >/dev/null 2>&1";
    int Built = std::system(Command.c_str());
    setenv("LOCPATH", Folder.c_str(), 1);
    std::string Restore = std::setlocale(LC_ALL, nullptr);
    bool Comma = Built == 0 && std::setlocale(LC_ALL, "de_DE.UTF-8") != nullptr &&
                 std::string(std::localeconv()->decimal_point) == ",";
    int Bits[2] = {};
    if (Comma) {
        Bits[0] = Applied(akAudioBitrate, u"4.75 kbps").Video_AudioBitrate;
        Bits[1] = Applied(akAudioBitrate, u"7.95 kbps").Video_AudioBitrate;
    }
    std::setlocale(LC_ALL, Restore.c_str());
    unsetenv("LOCPATH");
    if (!Comma)
        GTEST_SKIP() << "no locale with a decimal comma could be made";
    EXPECT_EQ(Bits[0], 4750);
    EXPECT_EQ(Bits[1], 7950);
}

TEST(AdvancedChoices, ApplyingTheSixChoices) {
    TOutputParams P;
    P.Reset();
    P.Video_FrameAspectRatio = u"16:9";
    // An audio-only profile's combo boxes.
    String AudioOnly[AdvancedKindCount];
    AudioOnly[akFrameSize] = u"该格式无视频";
    AudioOnly[akVideoBitrate] = u"无视频";
    AudioOnly[akFrameRate] = u"无视频";
    AudioOnly[akAudioBitrate] = u"12.2 kbps";
    AudioOnly[akSampleRate] = u"8000";
    AudioOnly[akAspectMode] = u"无视频";
    ApplyAdvancedChoices(AudioOnly, P);
    EXPECT_EQ(P.Video_FrameSize, u"");
    EXPECT_EQ(P.Video_FrameRate, u"");
    EXPECT_EQ(P.Video_VideoBitrate, -1000);
    EXPECT_EQ(P.Video_AudioBitrate, 12200);
    EXPECT_EQ(P.Video_AudioSampleRate, u"8000");
    EXPECT_EQ(P.Video_FrameAspectRatio, u"");

    // A failing video bitrate stops after the frame rate: the later fields keep their values.
    AudioOnly[akFrameRate] = u"30";
    AudioOnly[akVideoBitrate] = u"fast";
    AudioOnly[akAspectMode] = u"普通视频4:3模式";
    EXPECT_THROW(ApplyAdvancedChoices(AudioOnly, P), EConvertError);
    EXPECT_EQ(P.Video_FrameRate, u"30");
    EXPECT_EQ(P.Video_VideoBitrate, -1000);
    EXPECT_EQ(P.Video_FrameAspectRatio, u"");
}

TEST(AdvancedChoices, EveryListTextOfTheMainWindowConverts) {
    for (const TAdvancedValueList* List : AdvancedValueLists())
        for (int I = 0; I < List->Count(); ++I) {
            SCOPED_TRACE(UTF8Encode(List->Item(I)));
            TOutputParams P;
            P.Video_FrameAspectRatio = u"old";
            EXPECT_NO_THROW(ApplyAdvancedChoice(List->Kind, List->Item(I), P));
            if (List->Kind == akAspectMode)
                EXPECT_NE(P.Video_FrameAspectRatio, u"old");
        }
}

TEST(AdvancedChoices, RowColumnsAndIndexPairs) {
    EXPECT_EQ(AdvancedChoiceColumnText(akAudioBitrate, Applied(akAudioBitrate, u"160 kbps")), u"160000");
    EXPECT_EQ(AdvancedChoiceColumnText(akVideoBitrate, Applied(akVideoBitrate, u"无视频")), u"-1000");
    EXPECT_EQ(AdvancedChoiceColumnText(akFrameSize, Applied(akFrameSize, u"保持原分辨率")), u"");

    struct Where {
        TAdvancedKind Kind;
        int Column, Pair;
    } Places[] = {{akFrameSize, 16, 1},  {akVideoBitrate, 17, 2}, {akAudioBitrate, 19, 3},
                  {akAspectMode, 21, 4}, {akFrameRate, 18, 5},    {akSampleRate, 20, 6}};
    for (const Where& W : Places) {
        EXPECT_EQ(AdvancedChoiceColumn(W.Kind), W.Column);
        EXPECT_EQ(AdvancedChoicePair(W.Kind), W.Pair);
    }

    EXPECT_EQ(ComboIndexPair(0), u"00");
    EXPECT_EQ(ComboIndexPair(9), u"09");
    EXPECT_EQ(ComboIndexPair(10), u"10");
    EXPECT_EQ(ComboIndexPair(27), u"27");
    // The third pair becomes 12, the others stay; text past twelve characters is dropped.
    EXPECT_EQ(SetComboIndexPair(u"000104000302", 3, 12), u"000112000302");
    EXPECT_EQ(SetComboIndexPair(u"000104000302", 1, 7), u"070104000302");
    EXPECT_EQ(SetComboIndexPair(u"000104000302", 6, 27), u"000104000327");
    EXPECT_EQ(SetComboIndexPair(u"000104000302XY", 6, 1), u"000104000301");
    EXPECT_EQ(SetComboIndexPair(u"0001", 2, 5), u"0005");
    EXPECT_EQ(SetComboIndexPair(u"", 1, 3), u"03");
}
