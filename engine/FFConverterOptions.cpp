#include "engine/FFConverterOptions.h"

#include "engine/FFConverterTasks.h"
#include "platform/base/SysUtils.h"

#include <cmath>
#include <ctime>

static_assert(NoTimeValue == AV_NOPTS_VALUE);

// The declarations carry the reset values, so a fresh record is a reset one.
void InitInputOptions(TInputOptions& AOptions) {
    AOptions = TInputOptions{};
}

void InitOutputOptions(TOutputOptions& AOptions) {
    AOptions = TOutputOptions{};
}

std::vector<TExtOption> ParseExtOptions(const String& AText) {
    String Text = Trim(AText);
    Text = StringReplace(Text, u"\r\n", u"\n", {rfReplaceAll});
    Text = StringReplace(Text, u"\r", u"\n", {rfReplaceAll});
    Text = StringReplace(Text, u"<CRLF>", u"\n", {rfReplaceAll});
    std::vector<TExtOption> Lines;
    if (Text.empty())
        return Lines;
    size_t Start = 0;
    while (Start <= Text.size()) {
        size_t End = Text.find(u'\n', Start);
        if (End == String::npos)
            End = Text.size();
        const String Line = Text.substr(Start, End - Start);
        const size_t P = Line.find(u'=');
        Lines.push_back(P == String::npos ? TExtOption{Line, String()}
                                          : TExtOption{Line.substr(0, P), Line.substr(P + 1)});
        Start = End + 1;
    }
    return Lines;
}

namespace {
bool OneOf(const String& S, std::initializer_list<const char16_t*> Names) {
    for (const char16_t* N : Names)
        if (S == N)
            return true;
    return false;
}
} // namespace

void ApplyExtOptions(TCustomFFmpeg& ATask, const String& AText, bool AAll) {
    for (const TExtOption& L : ParseExtOptions(AText)) {
        const String Name = LowerCase(L.Name);
        if (OneOf(Name, {u"newvideo", u"newaudio", u"newsubtitle", u"apre", u"vpre", u"spre", u"vfilters", u"vf"}))
            continue;
        if (!AAll && OneOf(Name, {u"acodec", u"vcodec", u"scodec", u"s"}))
            continue;
        if (Name.empty())
            continue;
        ATask.ApplyOption(Name, L.Value);
    }
}

bool OpenInputWithOptions(TCustomFFmpeg& ATask, TInputOptions& AOptions, const String& AFileName) {
    if (AOptions.FileName.empty())
        AOptions.FileName = AFileName;
    ApplyExtOptions(ATask, AOptions.ExtOptions, true);
    if (!AOptions.FileFormat.empty())
        ATask.OptFormat(AOptions.FileFormat);
    ATask.SetStartTime(AOptions.TimeStart);
    ATask.SetProgramID(AOptions.ProgramID);
    return ATask.OpenInputFile(AFileName);
}

namespace {

// The stream defaults of an output record ("def_acodec" ... from its fields, or from the first
// ExtOptions line of that name) and the queue of codec, preset, size and filter lines that the
// extra streams take in text order.
struct TStreamDefaults {
    std::vector<TExtOption> Defaults, Queue;

    const String* Default(const String& AName) const {
        for (const TExtOption& D : Defaults)
            if (D.Name == AName)
                return &D.Value;
        return nullptr;
    }
    void Put(const char16_t* AName, const String& AValue) {
        if (!AValue.empty())
            Defaults.push_back({AName, AValue});
    }
    void Apply(TCustomFFmpeg& ATask, const char16_t* AOption, const char16_t* ADefault) const {
        if (const String* V = Default(ADefault))
            ATask.ApplyOption(AOption, *V);
    }
    // The first queued line of that name, else the default, applied to the stream just added.
    void Take(TCustomFFmpeg& ATask, const String& AName) {
        const String Option = AName == u"vf" ? u"vfilters" : AName;
        for (auto It = Queue.begin(); It != Queue.end(); ++It)
            if (It->Name == AName) {
                const String V = It->Value;
                Queue.erase(It);
                ATask.ApplyOption(Option, V);
                return;
            }
        const String* D = Default(u"def_" + AName);
        ATask.ApplyOption(Option, D ? *D : String());
    }
};

TStreamDefaults BuildStreamDefaults(const TOutputOptions& O, const std::vector<TExtOption>& ALines) {
    TStreamDefaults R;
    R.Put(u"def_acodec", O.AudioCodec);
    R.Put(u"def_vcodec", O.VideoCodec);
    R.Put(u"def_scodec", O.SubtitleCodec);
    R.Put(u"def_apre", O.AudioPreset);
    R.Put(u"def_vpre", O.VideoPreset);
    R.Put(u"def_spre", O.SubtitlePreset);
    R.Put(u"def_s", O.FrameSize);
    R.Put(u"def_vf", O.VideoFilters);
    for (const TExtOption& L : ALines) {
        String Name = LowerCase(L.Name);
        if (L.Value.empty() ||
            !OneOf(Name, {u"acodec", u"vcodec", u"scodec", u"apre", u"vpre", u"spre", u"s", u"vfilters", u"vf"}))
            continue;
        if (Name == u"vfilters")
            Name = u"vf";
        if (!R.Default(u"def_" + Name))
            R.Defaults.push_back({u"def_" + Name, L.Value});
        R.Queue.push_back({Name, L.Value});
    }
    return R;
}

void ApplyTargetOptions(TCustomFFmpeg& ATask, const TOutputOptions& O) {
    if (O.TargetType == ttIgnore)
        return;
    const char16_t* Target = O.TargetType == ttVCD ? u"vcd" : O.TargetType == ttSVCD ? u"svcd" : u"dvd";
    const char16_t* Norm = O.NormType == ntPAL ? u"pal" : O.NormType == ntNTSC ? u"ntsc" : u"auto";
    ATask.ApplyTarget(Target, Norm, O.NormDefault == ntPAL ? u"pal" : u"ntsc");
}

// The record's metadata and recording time stamp.
void ApplyStreamInfo(TCustomFFmpeg& ATask, const TStreamInfo& Info) {
    if (Info.TimeStamp >= 0) {
        // Seconds since 1970 UTC of the local date and time (now for 0).
        const TDateTime Local = Info.TimeStamp == 0 ? Now() : Info.TimeStamp;
        const std::time_t Approx = std::time_t((Local - 25569.0) * 86400.0);
        std::tm Tm{};
        localtime_r(&Approx, &Tm);
        const double OffsetDays = double(Tm.tm_gmtoff) / 86400.0;
        ATask.SetRecordingTimestamp(Int64(std::llround((Local - 25569.0 - OffsetDays) * 86400.0)));
    }
    if (Info.Year > 0)
        ATask.AddMetadata("year", std::to_string(Info.Year));
    if (Info.Track > 0)
        ATask.AddMetadata("track", std::to_string(Info.Track));
    const std::pair<const char*, const std::string*> Texts[] = {
        {"title", &Info.Title},     {"author", &Info.Author}, {"copyright", &Info.Copyright},
        {"comment", &Info.Comment}, {"album", &Info.Album},   {"genre", &Info.Genre}};
    for (auto& [Key, Value] : Texts)
        if (!Value->empty())
            ATask.AddMetadata(Key, *Value);
}

// The record's fields in their order, each under its rule.
void ApplyOutputOptions(TCustomFFmpeg& ATask, const TOutputOptions& O) {
    if (!O.FileFormat.empty())
        ATask.ApplyOption(u"f", O.FileFormat);
    auto Int = [&](const char* AName, Integer AValue) {
        if (AValue > 0)
            ATask.SetAVOptionInt(AName, AValue);
    };
    Int("packetsize", O.PacketSize);
    Int("muxrate", O.MuxRate);
    ATask.SetMuxMaxDelay(O.MuxDelay);
    ATask.SetMuxPreload(O.MuxPreload);
    if (O.DisableAudio)
        ATask.SetAudioDisable(true);
    ATask.SetAudioVolume(O.AudioVolume);
    ATask.OptAudioChannels(O.AudioChannels);
    ATask.OptAudioRate(O.AudioSampleRate);
    Int("ab", O.AudioBitrate);
    Int("abt", O.AudioBitRateTolerance);
    ATask.SetLanguage('a', O.AudioLanguage);
    ATask.SetAudioSyncMethod(O.AudioSyncMethod);
    if (!O.AudioTag.empty())
        ATask.OptAudioTag(O.AudioTag);
    if (O.DisableVideo)
        ATask.SetVideoDisable(true);
    if (!O.FrameRate.empty())
        ATask.OptFrameRate(O.FrameRate);
    if (!O.FrameAspectRatio.empty())
        ATask.OptAspectRatio(O.FrameAspectRatio);
    ATask.OptCropTop(O.CropTop);
    ATask.OptCropBottom(O.CropBottom);
    ATask.OptCropLeft(O.CropLeft);
    ATask.OptCropRight(O.CropRight);
    Int("g", O.GroupPictureSize);
    Int("b", O.VideoBitrate);
    Int("maxrate", O.VideoMaxRate);
    Int("minrate", O.VideoMinRate);
    Int("bt", O.VideoBitRateTolerance);
    Int("bufsize", O.VideoBufSize);
    ATask.SetVideoSyncMethod(O.VideoSyncMethod);
    if (!O.VideoTag.empty())
        ATask.OptVideoTag(O.VideoTag);
    ATask.SetLanguage('v', O.VideoLanguage);
    if (O.DisableSubtitle)
        ATask.SetSubtitleDisable(true);
    ATask.SetLanguage('s', O.SubtitleLanguage);
    ATask.SetInputSync(O.InputSync);
    if (O.CopyTimestamp)
        ATask.SetCopyTimestamp(true);
    ATask.SetStartTime(O.TimeStart);
    ATask.SetRecordingTime(O.TimeLength);
    ApplyStreamInfo(ATask, O.Info);
}

// The extra streams of the ExtOptions text, each with its queued or default codec, preset, size
// and filters.
void ApplyNewStreams(TCustomFFmpeg& ATask, const std::vector<TExtOption>& ALines, TStreamDefaults& ADefaults) {
    for (const TExtOption& L : ALines) {
        const String Name = LowerCase(L.Name);
        if (Name == u"newaudio") {
            ADefaults.Take(ATask, u"acodec");
            ADefaults.Take(ATask, u"apre");
        } else if (Name == u"newvideo") {
            ADefaults.Take(ATask, u"vcodec");
            ADefaults.Take(ATask, u"vpre");
            ADefaults.Take(ATask, u"s");
            ADefaults.Take(ATask, u"vf");
        } else if (Name == u"newsubtitle") {
            ADefaults.Take(ATask, u"scodec");
            ADefaults.Take(ATask, u"spre");
        } else
            continue;
        ATask.ApplyOption(Name, L.Value);
    }
}

} // namespace

int OpenOutputWithOptions(TCustomFFmpeg& ATask, TOutputOptions& O, const String& AFileName) {
    if (O.FileName.empty())
        O.FileName = AFileName;
    const std::vector<TExtOption> Lines = ParseExtOptions(O.ExtOptions);
    TStreamDefaults Defaults = BuildStreamDefaults(O, Lines);
    ApplyTargetOptions(ATask, O);
    Defaults.Apply(ATask, u"acodec", u"def_acodec");
    Defaults.Apply(ATask, u"vcodec", u"def_vcodec");
    Defaults.Apply(ATask, u"scodec", u"def_scodec");
    Defaults.Apply(ATask, u"apre", u"def_apre");
    Defaults.Apply(ATask, u"vpre", u"def_vpre");
    Defaults.Apply(ATask, u"spre", u"def_spre");
    ApplyExtOptions(ATask, O.ExtOptions, false);
    ApplyOutputOptions(ATask, O);
    Defaults.Apply(ATask, u"s", u"def_s");
    Defaults.Apply(ATask, u"vfilters", u"def_vf");
    const int Result = ATask.OpenOutputFile(AFileName, O.Join);
    if (Result >= 0)
        ApplyNewStreams(ATask, Lines, Defaults);
    return Result;
}
