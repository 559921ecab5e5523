#include "app/profiles/OutputParams.h"

#include "platform/base/SysUtils.h"

void TOutputParams::Reset() {
    Video_OutPutFileName.clear();
    Video_FileExt.clear();
    Video_AudioChannels.clear();
    Video_AudioSampleRate.clear();
    Video_FrameSize.clear();
    Video_FrameRate.clear();
    Video_NormType.clear();
    Video_AudioVolume = u"256";
    Video_FrameAspectRatio.clear();
    Video_VideoCodec.clear();
    Video_AudioCodec.clear();
    Video_FileFormat.clear();
    Video_TargetType.clear();
    Video_VideoTag.clear();
    Video_VideoBitrate = -1;
    Video_AudioBitrate = -1;
    Video_DisableVideo = false;
}

void TOutputParams::ResetAll() {
    Reset();
    Video_VideoFilters.clear();
    Video_CopyTimestamp.clear();
    Video_TimeStart = -1;
    Video_TimeLength = -1;
}

void TOutputParams::FillOutputOptions(TOutputOptions& AOptions) const {
    if (Video_VideoCodec == u"libx264") {
        AOptions.VideoCodec = Video_VideoCodec;
        AOptions.VideoPreset = u"libx264-default";
    } else if (!Video_VideoCodec.empty()) {
        AOptions.VideoCodec = Video_VideoCodec;
        AOptions.VideoPreset.clear();
    }
    if (!Video_AudioCodec.empty())
        AOptions.AudioCodec = Video_AudioCodec;
    if (!Video_FrameRate.empty())
        AOptions.FrameRate = Video_FrameRate;
    AOptions.DisableVideo = Video_DisableVideo;
    if (!Video_AudioChannels.empty())
        AOptions.AudioChannels = StrToInt(Video_AudioChannels);
    // "AUTO" is the program's own word for "the engine chooses", not a number to be refused.
    if (!Video_AudioSampleRate.empty() && Video_AudioSampleRate != u"AUTO")
        AOptions.AudioSampleRate = StrToInt(Video_AudioSampleRate);
    if (!Video_FrameSize.empty())
        AOptions.FrameSize = Video_FrameSize;

    if (Video_TargetType == u"vcd")
        AOptions.TargetType = ttVCD;
    else if (Video_TargetType == u"svcd")
        AOptions.TargetType = ttSVCD;
    else if (Video_TargetType == u"dvd")
        AOptions.TargetType = ttDVD;
    else
        AOptions.TargetType = ttIgnore;

    if (Video_NormType == u"PAL")
        AOptions.NormType = ntPAL;
    else if (Video_NormType == u"NTSC")
        AOptions.NormType = ntNTSC;
    else
        AOptions.NormType = ntAuto;

    AOptions.AudioVolume = StrToInt(Video_AudioVolume);
    if (!Video_FrameAspectRatio.empty())
        AOptions.FrameAspectRatio = Video_FrameAspectRatio;
    if (Video_AudioBitrate != -1000)
        AOptions.AudioBitrate = Video_AudioBitrate;
    if (!Video_FileFormat.empty())
        AOptions.FileFormat = Video_FileFormat;
    if (!Video_VideoTag.empty())
        AOptions.VideoTag = Video_VideoTag;
    if (Video_VideoBitrate != -1000)
        AOptions.VideoBitrate = Video_VideoBitrate;
}
