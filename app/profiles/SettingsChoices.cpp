#include "app/profiles/SettingsChoices.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <limits>

#include "platform/base/SysUtils.h"

namespace {

[[noreturn]] void RaiseNotInteger(const String& S) {
    throw EConvertError(Format(u"'%s' is not a valid integer value", {S}));
}

// Kilobits to bits; a product outside the field's 32-bit range is refused instead of wrapping round.
int KilobitsToBits(std::int64_t Kilobits, const String& NumberText) {
    std::int64_t Bits = Kilobits * 1000;
    if (Bits < std::numeric_limits<int>::min() || Bits > std::numeric_limits<int>::max())
        RaiseNotInteger(NumberText);
    return int(Bits);
}

// A decimal number with "." as its mark, read the same in every locale.
double DecimalNumber(const String& S) {
    auto Invalid = [&] { return EConvertError(Format(u"'%s' is not a valid floating point value", {S})); };
    std::string Ascii;
    for (char16_t C : S) {
        if (C > 0x7F)
            throw Invalid();
        Ascii.push_back(char(C));
    }
    double Value = 0;
    const char* End = Ascii.data() + Ascii.size();
    auto [Ptr, Ec] = std::from_chars(Ascii.data(), End, Value);
    if (Ascii.empty() || Ec != std::errc() || Ptr != End)
        throw Invalid();
    return Value;
}

// The shortest general form with at most 15 significant digits, as the run-time library writes a float.
String GeneralFloatText(long double Value) {
    char Buffer[64];
    std::snprintf(Buffer, sizeof Buffer, "%.15Lg", Value);
    return String(Buffer, Buffer + std::char_traits<char>::length(Buffer));
}

} // namespace

String BitrateNumberText(std::u16string_view Text) {
    size_t At = Text.find(u"kbps");
    if (At == std::u16string_view::npos)
        return String();
    std::u16string_view Number = Text.substr(0, At);
    while (!Number.empty() && Number.front() <= u' ')
        Number.remove_prefix(1);
    while (!Number.empty() && Number.back() <= u' ')
        Number.remove_suffix(1);
    return String(Number);
}

String SettingsFrameSizeValue(const String& Text) {
    if (Text == u"保持原分辨率" || Text == u"该格式无视频")
        return String();
    return Text;
}

String SettingsFrameRateValue(const String& Text) {
    if (Text == u"保持原帧速率" || Text == u"无视频")
        return String();
    return Text;
}

int SettingsVideoBitrateValue(const String& Text) {
    if (Text == u"无视频")
        return -1000;
    String Number = BitrateNumberText(Text);
    return KilobitsToBits(StrToInt(Number), Number);
}

String SettingsSampleRateValue(const String& Text) {
    if (Text == u"自动音频采样率")
        return u"AUTO";
    return Text;
}

int SettingsAudioBitrateValue(const String& Text) {
    if (Text == u"自动音频比特率")
        return -1000;
    String Number = BitrateNumberText(Text);
    if (Number.find(u'.') == String::npos)
        return KilobitsToBits(StrToInt(Number), Number);
    // Through the general text form, so a product that keeps a fraction (4.7505 kbps) is refused.
    String Product = GeneralFloatText((long double)DecimalNumber(Number) * 1000);
    return StrToInt(Product);
}

bool SettingsAspectValue(const String& Text, String& Value) {
    static const struct {
        const char16_t* Text;
        const char16_t* Value;
    } Aspects[] = {
        {u"保持原视频模式", u""},         {u"普通视频4:3模式", u"4:3"},     {u"宽屏视频16:9模式", u"16:9"},
        {u"宽屏视频37:20模式", u"37:20"}, {u"宽屏视频47:20模式", u"47:20"}, {u"无视频", u""},
    };
    for (const auto& A : Aspects)
        if (Text == A.Text) {
            Value = A.Value;
            return true;
        }
    return false;
}

void ApplySettingsAdvancedChoices(const String (&Texts)[AdvancedKindCount], TOutputParams& Params) {
    Params.Video_FrameSize = SettingsFrameSizeValue(Texts[akFrameSize]);
    Params.Video_FrameRate = SettingsFrameRateValue(Texts[akFrameRate]);
    Params.Video_VideoBitrate = SettingsVideoBitrateValue(Texts[akVideoBitrate]);
    Params.Video_AudioSampleRate = SettingsSampleRateValue(Texts[akSampleRate]);
    Params.Video_AudioBitrate = SettingsAudioBitrateValue(Texts[akAudioBitrate]);
    SettingsAspectValue(Texts[akAspectMode], Params.Video_FrameAspectRatio);
}
