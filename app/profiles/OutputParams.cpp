#include "app/profiles/OutputParams.h"

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
