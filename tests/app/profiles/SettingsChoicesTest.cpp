#include "app/profiles/SettingsChoices.h"

#include <gtest/gtest.h>

#include <clocale>
#include <set>
#include <tuple>

#include "platform/base/SysUtils.h"

namespace {

TEST(SettingsChoices, TextRules) {
    EXPECT_EQ(SettingsFrameSizeValue(u"保持原分辨率"), u"");
    EXPECT_EQ(SettingsFrameSizeValue(u"该格式无视频"), u"");
    EXPECT_EQ(SettingsFrameSizeValue(u"640*480"), u"640*480");
    EXPECT_EQ(SettingsFrameSizeValue(u""), u"");
    EXPECT_EQ(SettingsFrameRateValue(u"无视频"), u"");
    EXPECT_EQ(SettingsFrameRateValue(u"保持原帧速率"), u"");
    EXPECT_EQ(SettingsFrameRateValue(u"25.00"), u"25.00");
    EXPECT_EQ(SettingsSampleRateValue(u"自动音频采样率"), u"AUTO");
    EXPECT_EQ(SettingsSampleRateValue(u"8000"), u"8000");
    EXPECT_EQ(SettingsSampleRateValue(u"auto"), u"auto");

    struct Case {
        const char16_t* Text;
        int Video;
        int Audio;
    };
    const Case Bitrates[] = {
        {u"128 kbps", 128000, 128000}, {u"2000 kbps", 2000000, 2000000}, {u"320 kbps", 320000, 320000},
        {u" 64kbps", 64000, 64000},    {u"16 kbps kbps", 16000, 16000},
    };
    for (const Case& C : Bitrates) {
        EXPECT_EQ(SettingsVideoBitrateValue(C.Text), C.Video) << int(C.Video);
        EXPECT_EQ(SettingsAudioBitrateValue(C.Text), C.Audio) << int(C.Audio);
    }
    EXPECT_EQ(SettingsVideoBitrateValue(u"无视频"), -1000);
    EXPECT_EQ(SettingsAudioBitrateValue(u"自动音频比特率"), -1000);
    // The special texts belong to their own combo box only.
    EXPECT_THROW(SettingsVideoBitrateValue(u"自动音频比特率"), EConvertError);
    EXPECT_THROW(SettingsAudioBitrateValue(u"无视频"), EConvertError);

    String Aspect = u"previous";
    const std::pair<const char16_t*, const char16_t*> Aspects[] = {
        {u"保持原视频模式", u""},         {u"普通视频4:3模式", u"4:3"},     {u"宽屏视频16:9模式", u"16:9"},
        {u"宽屏视频37:20模式", u"37:20"}, {u"宽屏视频47:20模式", u"47:20"}, {u"无视频", u""},
    };
    for (auto [Text, Value] : Aspects) {
        Aspect = u"previous";
        EXPECT_TRUE(SettingsAspectValue(Text, Aspect));
        EXPECT_EQ(Aspect, Value);
    }
    Aspect = u"16:9";
    EXPECT_FALSE(SettingsAspectValue(u"宽屏视频16:9", Aspect));
    EXPECT_EQ(Aspect, u"16:9");
}

// The fractional audio bitrates of the dialog's lists, read with "." even where the locale writes ",".
TEST(SettingsChoices, FractionalAudioBitratesIgnoreTheLocale) {
    const char* Previous = std::setlocale(LC_NUMERIC, nullptr);
    std::string Saved = Previous ? Previous : "C";
    // A comma locale where one is installed; the rule must not depend on it either way.
    for (const char* Name : {"de_DE.UTF-8", "fr_FR.UTF-8", "ru_RU.UTF-8"})
        if (std::setlocale(LC_NUMERIC, Name))
            break;
    const std::pair<const char16_t*, int> Cases[] = {
        {u"4.75 kbps", 4750}, {u"5.15 kbps", 5150}, {u"5.9 kbps", 5900},   {u"6.7 kbps", 6700},
        {u"7.4 kbps", 7400},  {u"7.95 kbps", 7950}, {u"10.2 kbps", 10200}, {u"12.2 kbps", 12200},
    };
    for (auto [Text, Bits] : Cases)
        EXPECT_EQ(SettingsAudioBitrateValue(Text), Bits) << Bits;
    std::setlocale(LC_NUMERIC, Saved.c_str());
}

TEST(SettingsChoices, TextsThatDoNotConvertRaiseTheConversionError) {
    struct Case {
        const char16_t* Text;
        bool Audio;
        const char16_t* Message;
    };
    const Case Cases[] = {
        {u"", false, u"'' is not a valid integer value"},
        {u"128", false, u"'' is not a valid integer value"},
        {u"12x kbps", false, u"'12x' is not a valid integer value"},
        {u"4.5 kbps", false, u"'4.5' is not a valid integer value"},
        {u"4.7505 kbps", true, u"'4750.5' is not a valid integer value"},
        {u"4,75 kbps", true, u"'4,75' is not a valid integer value"},
        {u"4.7x kbps", true, u"'4.7x' is not a valid floating point value"},
        {u"3000000 kbps", false, u"'3000000' is not a valid integer value"}, // would overflow the field
    };
    for (const Case& C : Cases) {
        try {
            C.Audio ? SettingsAudioBitrateValue(C.Text) : SettingsVideoBitrateValue(C.Text);
            ADD_FAILURE() << "no error";
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
}

// The six fields the choices write, in their order of writing.
std::tuple<String, String, int, String, int, String> SixFields(const TOutputParams& P) {
    return {P.Video_FrameSize,       P.Video_FrameRate,    P.Video_VideoBitrate,
            P.Video_AudioSampleRate, P.Video_AudioBitrate, P.Video_FrameAspectRatio};
}

TEST(SettingsChoices, ApplyWritesTheSixFieldsInOrderAndStopsAtABadBitrate) {
    TOutputParams P;
    P.ResetAll();
    P.Video_VideoCodec = u"mpeg4";
    P.Video_FrameAspectRatio = u"4:3";
    // Texts in fill order: frame size, video bitrate, frame rate, audio bitrate, sample rate, aspect mode.
    String AudioOnly[AdvancedKindCount] = {u"该格式无视频", u"无视频", u"无视频", u"5.9 kbps", u"8000", u"无视频"};
    ApplySettingsAdvancedChoices(AudioOnly, P);
    EXPECT_EQ(SixFields(P), std::make_tuple(u"", u"", -1000, u"8000", 5900, u""));
    EXPECT_EQ(P.Video_VideoCodec, u"mpeg4"); // nothing else is written

    // A video bitrate without "kbps" stops after the frame rate.
    String Bad[AdvancedKindCount] = {u"640*480", u"816", u"25.00", u"64 kbps", u"44100", u"宽屏视频16:9模式"};
    EXPECT_THROW(ApplySettingsAdvancedChoices(Bad, P), EConvertError);
    EXPECT_EQ(SixFields(P), std::make_tuple(u"640*480", u"25.00", -1000, u"8000", 5900, u""));
}

// Every text the dialog's lists offer converts, and the aspect lists hold only known aspect texts.
TEST(SettingsChoices, EveryListedTextConverts) {
    for (const TAdvancedValueList* List : SettingsAdvancedValueLists())
        for (const char16_t* Item : List->Items) {
            String Aspect;
            switch (List->Kind) {
            case akVideoBitrate:
                EXPECT_NO_THROW(SettingsVideoBitrateValue(Item)) << List->Count();
                break;
            case akAudioBitrate:
                EXPECT_GT(SettingsAudioBitrateValue(Item), 0);
                break;
            case akAspectMode:
                EXPECT_TRUE(SettingsAspectValue(Item, Aspect));
                break;
            default:
                break;
            }
        }
}

} // namespace
