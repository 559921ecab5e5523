#include "app/profiles/AdvancedChoices.h"

#include <algorithm>

#include "app/profiles/SettingsChoices.h"
#include "platform/base/SysUtils.h"

void ApplyAdvancedChoice(TAdvancedKind Kind, const String& Text, TOutputParams& Params) {
    switch (Kind) {
    case akFrameSize:
        Params.Video_FrameSize = SettingsFrameSizeValue(Text);
        break;
    case akVideoBitrate:
        Params.Video_VideoBitrate = SettingsVideoBitrateValue(Text);
        break;
    case akFrameRate:
        Params.Video_FrameRate = SettingsFrameRateValue(Text);
        break;
    case akAudioBitrate:
        // Without an automatic choice this text is read for a number like any other, and has none.
        Params.Video_AudioBitrate =
            Text == u"自动音频比特率" ? StrToInt(BitrateNumberText(Text)) : SettingsAudioBitrateValue(Text);
        break;
    case akSampleRate:
        Params.Video_AudioSampleRate = Text;
        break;
    case akAspectMode:
        SettingsAspectValue(Text, Params.Video_FrameAspectRatio);
        break;
    }
}

void ApplyAdvancedChoices(const String (&Texts)[AdvancedKindCount], TOutputParams& Params) {
    for (TAdvancedKind Kind : {akFrameSize, akFrameRate, akVideoBitrate, akSampleRate, akAudioBitrate, akAspectMode})
        ApplyAdvancedChoice(Kind, Texts[Kind], Params);
}

int AdvancedChoiceColumn(TAdvancedKind Kind) {
    static const int Columns[AdvancedKindCount] = {16, 17, 18, 19, 20, 21};
    return Columns[Kind];
}

String AdvancedChoiceColumnText(TAdvancedKind Kind, const TOutputParams& Params) {
    switch (Kind) {
    case akFrameSize:
        return Params.Video_FrameSize;
    case akVideoBitrate:
        return IntToStr(Params.Video_VideoBitrate);
    case akFrameRate:
        return Params.Video_FrameRate;
    case akAudioBitrate:
        return IntToStr(Params.Video_AudioBitrate);
    case akSampleRate:
        return Params.Video_AudioSampleRate;
    case akAspectMode:
        return Params.Video_FrameAspectRatio;
    }
    return {};
}

int AdvancedChoicePair(TAdvancedKind Kind) {
    static const int Pairs[AdvancedKindCount] = {1, 2, 5, 3, 6, 4};
    return Pairs[Kind];
}

String ComboIndexPair(int ItemIndex) {
    return ItemIndex <= 9 ? u"0" + IntToStr(ItemIndex) : IntToStr(ItemIndex);
}

String SetComboIndexPair(const String& Column10, int Pair, int ItemIndex) {
    size_t Before = size_t(2 * Pair - 2);
    String Result = Column10.substr(0, std::min(Before, Column10.size())) + ComboIndexPair(ItemIndex);
    if (Column10.size() > Before + 2)
        Result += Column10.substr(Before + 2, 12 - (Before + 2));
    return Result;
}
