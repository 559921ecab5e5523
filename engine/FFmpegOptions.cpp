// The option dispatcher of the transcoder and its handlers.
#include "engine/FFmpeg.h"
#include "engine/FFmpegHelpers.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/MyUtils.h"
#include "engine/SwScaleStubs.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace {

// Flag values: anything but exactly "0" turns the flag on.
bool FlagValue(const String& AValue) {
    return AValue != u"0";
}

struct TCodecContextDeleter {
    void operator()(AVCodecContext* C) const { av::avcodec_free_context(&C); }
};
using TScratchCodec = std::unique_ptr<AVCodecContext, TCodecContextDeleter>;

} // namespace

String AVErrorText(int AError) {
    char Buf[256] = {};
    if (av::av_strerror(AError, Buf, sizeof Buf) < 0)
        snprintf(Buf, sizeof Buf, "Error number %d occurred", AError);
    return W(Buf);
}

void TCustomFFmpeg::Log(int ALevel, const String& AText) const {
    if (av::av_log)
        av::av_log(nullptr, ALevel, "%s\n", A(AText).c_str());
}

// The holders of the named options: a generic option is tried on a scratch object of its kind, so a
// bad value is refused at once; an option that only a codec's or a format's own class knows (x264's
// "coder", the MPEG muxers' "muxrate") is kept as text and given to the encoder or muxer when it opens.
bool TCustomFFmpeg::SetAVOption(const std::string& AName, const std::string& AValue) {
    if (AName.empty())
        return false;
    TNamedOption O{AName, AValue};
    const AVClass* CodecClass = av::avcodec_get_class();
    const AVClass* FormatClass = av::avformat_get_class();
    const AVClass* ScalerClass = av::sws_get_class();
    if (const AVOption* Opt = av::av_opt_find(&CodecClass, AName.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ)) {
        O.Codec = true;
        O.Flags |= Opt->flags;
    }
    if (const AVOption* Opt = av::av_opt_find(&FormatClass, AName.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ)) {
        O.Format = true;
        O.Flags |= Opt->flags;
    }
    if (av::av_opt_find(&ScalerClass, AName.c_str(), nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
        O.Scaler = true;
    if (!O.Codec && !O.Format && !O.Scaler) {
        const int Search = AV_OPT_SEARCH_CHILDREN | AV_OPT_SEARCH_FAKE_OBJ;
        O.Codec = av::av_opt_find(&CodecClass, AName.c_str(), nullptr, 0, Search) != nullptr;
        O.Format = av::av_opt_find(&FormatClass, AName.c_str(), nullptr, 0, Search) != nullptr;
        O.Private = true;
        if (!O.Codec && !O.Format)
            return false;
    } else {
        // Try the value where the option lives.
        int Res = 0;
        if (O.Codec) {
            TScratchCodec C(av::avcodec_alloc_context3(nullptr));
            Res = C ? av::av_opt_set(C.get(), AName.c_str(), AValue.c_str(), 0) : AVERROR(ENOMEM);
        }
        if (Res >= 0 && O.Format) {
            AVFormatContext* F = av::avformat_alloc_context();
            Res = F ? av::av_opt_set(F, AName.c_str(), AValue.c_str(), 0) : AVERROR(ENOMEM);
            av::avformat_free_context(F);
        }
        if (Res >= 0 && O.Scaler) {
            SwsContext* S = av::sws_alloc_context();
            Res = S ? av::av_opt_set(S, AName.c_str(), AValue.c_str(), 0) : AVERROR(ENOMEM);
            if (Res >= 0 && AName == "sws_flags") {
                int64_t Flags = 0;
                if (av::av_opt_get_int(S, "sws_flags", 0, &Flags) >= 0)
                    Fsws_flags = unsigned(Flags);
            }
            av::sws_freeContext(S);
        }
        if (Res < 0) {
            Log(fllError, Format(u"Invalid value '%s' for option '%s'", {AValue, AName}));
            return false;
        }
    }
    FOptions.push_back(O);
    return true;
}

bool TCustomFFmpeg::SetAVOptionInt(const std::string& AName, int AValue) {
    return SetAVOption(AName, std::to_string(AValue));
}

Int64 TCustomFFmpeg::NamedOptionInt(const char* AName, int AMediaType) const {
    TScratchCodec C(av::avcodec_alloc_context3(nullptr));
    if (!C)
        return 0;
    C->codec_type = AVMediaType(AMediaType);
    ApplyCodecOptions(C.get(), nullptr,
                      AMediaType == AVMEDIA_TYPE_AUDIO ? AV_OPT_FLAG_AUDIO_PARAM : AV_OPT_FLAG_VIDEO_PARAM);
    int64_t Value = 0;
    av::av_opt_get_int(C.get(), AName, 0, &Value);
    return Value;
}

namespace {
// Gives the named options of one kind to an object: a generic option whose flags hold all of AMask
// is set on it directly, a private one goes into the dictionary for its encoder or muxer.
void ApplyNamedOptions(const std::vector<TNamedOption>& AOptions, bool TNamedOption::*AKind, void* AContext,
                       AVDictionary** APrivate, int AMask, const char* ASkipped) {
    for (const TNamedOption& O : AOptions) {
        if (!(O.*AKind) || (ASkipped && O.Name == ASkipped))
            continue;
        if (O.Private) {
            if (APrivate)
                av::av_dict_set(APrivate, O.Name.c_str(), O.Value.c_str(), 0);
        } else if ((O.Flags & AMask) == AMask)
            av::av_opt_set(AContext, O.Name.c_str(), O.Value.c_str(), 0);
    }
}
} // namespace

void TCustomFFmpeg::ApplyCodecOptions(AVCodecContext* AContext, AVDictionary** APrivate, int AMask) const {
    // "b" is the video bit rate, as "ab" is the audio one.
    ApplyNamedOptions(FOptions, &TNamedOption::Codec, AContext, APrivate, AMask,
                      (AMask & AV_OPT_FLAG_AUDIO_PARAM) ? "b" : nullptr);
}

void TCustomFFmpeg::ApplyFormatOptions(AVFormatContext* AContext, AVDictionary** APrivate, int AMask) const {
    ApplyNamedOptions(FOptions, &TNamedOption::Format, AContext, APrivate, AMask, nullptr);
}

void TCustomFFmpeg::OptFormat(const String& AValue) {
    if (AValue == u"pgmyuv") {
        Fpgmyuv_compatibility_hack = 1;
        Log(fllInfo, u"pgmyuv format is deprecated, use image2");
        Flast_asked_format = "image2";
    } else
        Flast_asked_format = A(AValue);
}

void TCustomFFmpeg::OptRcOverride(const std::string& AValue) {
    Fvideo_rc_override_string = AValue;
}

namespace {
// The setters that keep a value only above (or from) a bound and otherwise leave the field alone.
template <typename T> void SetAbove(T& AField, T AValue, T ABound = 0) {
    if (AValue > ABound)
        AField = AValue;
}
} // namespace

void TCustomFFmpeg::OptAudioRate(int AValue) {
    SetAbove(Faudio_sample_rate, AValue);
}
void TCustomFFmpeg::OptAudioChannels(int AValue) {
    SetAbove(Faudio_channels, AValue);
}

void TCustomFFmpeg::OptFrameRate(const String& AValue) {
    if (AValue.empty())
        return;
    if (av::av_parse_video_rate(&Fframe_rate, A(AValue).c_str()) < 0)
        Raise(u"Incorrect frame rate");
}

void TCustomFFmpeg::OptFrameSize(const String& AValue) {
    if (AValue.empty())
        return;
    if (av::av_parse_video_size(&Fframe_width, &Fframe_height, A(AValue).c_str()) < 0)
        Raise(u"Incorrect frame size");
    Fframe_size_asked = true;
}

bool TCustomFFmpeg::OptBitrate(const String& AName, const String& AValue) {
    if (AName.empty() || AValue.empty())
        return false;
    // The video bit rate is the encoder's "b".
    if (!SetAVOption(AName == u"vb" ? "b" : A(AName), A(AValue)))
        return false;
    const int Type = AName[0] == u'a' ? AVMEDIA_TYPE_AUDIO : AVMEDIA_TYPE_VIDEO;
    if (NamedOptionInt(Type == AVMEDIA_TYPE_AUDIO && AName == u"ab" ? "ab" : "b", Type) < 1000)
        Log(fllWarning, u"WARNING: The bitrate parameter is set too low. It takes bits/s as argument, not kbits/s");
    return true;
}

namespace {
// One crop band: a band of 0 or less does nothing; a band that leaves no picture is refused.
void CropBand(TCustomFFmpeg& T, int AValue, bool AVertical, int& ABand) {
    if (AValue <= 0)
        return;
    int& Size = AVertical ? T.Fframe_height : T.Fframe_width;
    if (AValue >= Size)
        Raise(AVertical ? u"Vertical crop dimensions are outside the range of the original image.\nRemember to crop "
                          u"first and scale second."
                        : u"Horizontal crop dimensions are outside the range of the original image.\nRemember to crop "
                          u"first and scale second.");
    T.Log(fllWarning, u"CropXXX is deprecated in favor of the crop avfilter");
    ABand = AValue;
    Size -= AValue;
}
} // namespace

void TCustomFFmpeg::OptCropTop(int AValue) {
    CropBand(*this, AValue, true, Fframe_topBand);
}

void TCustomFFmpeg::OptCropBottom(int AValue) {
    CropBand(*this, AValue, true, Fframe_bottomBand);
}

void TCustomFFmpeg::OptCropLeft(int AValue) {
    CropBand(*this, AValue, false, Fframe_leftBand);
}

void TCustomFFmpeg::OptCropRight(int AValue) {
    CropBand(*this, AValue, false, Fframe_rightBand);
}

namespace {
// The "list" value of the pixel and sample format options: the table line of every format, the
// header line (index -1) first.
template <typename F> void LogFormatList(const TCustomFFmpeg& T, int ACount, F AFormatLine) {
    char Buf[128];
    for (int I = -1; I < ACount; ++I)
        T.Log(fllInfo, Trim(W(AFormatLine(Buf, int(sizeof Buf), I))));
}
} // namespace

void TCustomFFmpeg::OptPixelFormat(const std::string& AValue) {
    if (AValue.empty())
        return;
    if (AValue == "list") {
        LogFormatList(*this, AV_PIX_FMT_NB, [](char* ABuf, int ASize, int I) {
            return av::av_get_pix_fmt_string(ABuf, ASize, AVPixelFormat(I));
        });
        return;
    }
    Fframe_pix_fmt = av::av_get_pix_fmt(AValue.c_str());
    if (Fframe_pix_fmt == AV_PIX_FMT_NONE)
        Raise(Format(u"Unknown pixel format requested: %s", {AValue}));
    Fframe_pix_fmt_asked = true;
}

void TCustomFFmpeg::OptSampleFormat(const std::string& AValue) {
    if (AValue == "list") {
        LogFormatList(*this, AV_SAMPLE_FMT_NB, [](char* ABuf, int ASize, int I) {
            return av::av_get_sample_fmt_string(ABuf, ASize, AVSampleFormat(I));
        });
        return;
    }
    Faudio_sample_fmt = av::av_get_sample_fmt(AValue.c_str());
}

void TCustomFFmpeg::OptAspectRatio(const String& AValue) {
    if (AValue.empty())
        return;
    double Ratio = 0;
    const size_t P = AValue.find(u':');
    if (P != String::npos) {
        const int X = StrToIntDef(AValue.substr(0, P), 0);
        const int Y = StrToIntDef(AValue.substr(P + 1), 0);
        if (Y > 0)
            Ratio = double(X) / Y;
    } else
        Ratio = StrToFloatDef(AValue, 0);
    if (Ratio == 0)
        Raise(u"Incorrect aspect ratio specification.");
    Fframe_aspect_ratio = float(Ratio);
}

void TCustomFFmpeg::OptMetadata(const std::string& AValue) {
    if (AValue.empty())
        return;
    const size_t P = AValue.find('=');
    if (P == std::string::npos)
        Raise(u"Missing =");
    AddMetadata(AValue.substr(0, P), AValue.substr(P + 1));
}

void TCustomFFmpeg::AddMetadata(const std::string& AKey, const std::string& AValue) {
    Fmetadata.emplace_back(AKey, AValue);
}

void TCustomFFmpeg::OptQScale(float AValue) {
    if (AValue <= 0 || AValue > 255)
        Raise(u"qscale must be > 0.0 and <= 255");
    Fvideo_qscale = AValue;
}

namespace {
void OptCodec(int& ACopy, std::string& AName, const String& AValue) {
    if (AValue.empty())
        return;
    AName.clear();
    if (AValue == u"copy")
        ACopy = 1;
    else
        AName = UTF8Encode(AValue);
}

uint32_t TagValue(const String& AValue, const char16_t* AMessage) {
    if (AValue.size() != 4)
        throw EAssertionFailed(AMessage);
    const std::string S = UTF8Encode(AValue);
    if (S.size() != 4)
        throw EAssertionFailed(AMessage);
    return uint32_t(uint8_t(S[0])) | uint32_t(uint8_t(S[1])) << 8 | uint32_t(uint8_t(S[2])) << 16 |
           uint32_t(uint8_t(S[3])) << 24;
}
} // namespace

void TCustomFFmpeg::OptVideoCodec(const String& AValue) {
    OptCodec(Fvideo_stream_copy, Fvideo_codec_name, AValue);
}
void TCustomFFmpeg::OptAudioCodec(const String& AValue) {
    OptCodec(Faudio_stream_copy, Faudio_codec_name, AValue);
}
void TCustomFFmpeg::OptSubtitleCodec(const String& AValue) {
    OptCodec(Fsubtitle_stream_copy, Fsubtitle_codec_name, AValue);
}
void TCustomFFmpeg::OptVideoTag(const String& AValue) {
    Fvideo_codec_tag = TagValue(AValue, u"video tag parameter must be 4 chars");
}
void TCustomFFmpeg::OptAudioTag(const String& AValue) {
    Faudio_codec_tag = TagValue(AValue, u"audio tag parameter must be 4 chars");
}
void TCustomFFmpeg::OptSubtitleTag(const String& AValue) {
    Fsubtitle_codec_tag = TagValue(AValue, u"subtitle tag parameter must be 4 chars");
}

namespace {
// The next number of a "a:b[:c:d]" value; AText moves past the number and one separator after it.
// False when nothing follows the number.
bool NextIndex(const char*& AText, int& AValue) {
    char* End = nullptr;
    AValue = int(strtol(AText, &End, 0));
    AText = End;
    if (!*AText)
        return false;
    ++AText;
    return true;
}
} // namespace

void TCustomFFmpeg::OptMap(const std::string& AValue) {
    TAVStreamMap M;
    const char* P = AValue.c_str();
    NextIndex(P, M.file_index);
    if (NextIndex(P, M.stream_index)) {
        NextIndex(P, M.sync_file_index);
        NextIndex(P, M.sync_stream_index);
    } else {
        M.sync_file_index = M.file_index;
        M.sync_stream_index = M.stream_index;
    }
    // The table holds 20 maps per possible file; further maps are refused rather than written past it.
    if (int(Fstream_maps.size()) >= FMaxFiles * MAX_STREAMS)
        Raise(u"Too many stream maps");
    Fstream_maps.push_back(M);
}

void TCustomFFmpeg::OptMapMetaData(const std::string& AValue) {
    TAVMetaDataMap M;
    const char* P = AValue.c_str();
    NextIndex(P, M.out_file);
    NextIndex(P, M.in_file);
    if (int(Fmeta_data_maps.size()) >= FMaxFiles)
        Raise(u"Too many metadata maps");
    Fmeta_data_maps.push_back(M);
}

void TCustomFFmpeg::OptInputTsScale(const std::string& AValue) {
    char* P = nullptr;
    const long Stream = strtol(AValue.c_str(), &P, 0);
    if (*P)
        ++P;
    const double Scale = strtod(P, &P);
    if (Stream < 0 || Stream >= MAX_STREAMS)
        Raise(Format(u"stream index over MAX_STREAMS(%d)", {MAX_STREAMS}));
    if (Fnb_input_files >= FMaxFiles)
        return;
    Finput_files_ts_scale[Fnb_input_files][Stream] = Scale;
}

Int64 TCustomFFmpeg::ParseTimeOption(const std::string& AName, const std::string& AValue, bool ADuration) {
    int64_t Us = 0;
    if (av::av_parse_time(&Us, AValue.c_str(), ADuration) < 0)
        Raise(Format(u"Invalid %s specification for %s: %s", {ADuration ? "duration" : "date", AName, AValue}));
    return Us;
}

void TCustomFFmpeg::OptRecordingTime(const std::string& AName, const std::string& AValue) {
    SetRecordingTime(ParseTimeOption(AName, AValue, true));
}

void TCustomFFmpeg::SetRecordingTime(Int64 AValue) {
    if (AValue == AV_NOPTS_VALUE)
        return;
    Frecording_time = AValue;
    FTotalOutputDuration = AValue;
}

void TCustomFFmpeg::OptStartTime(const std::string& AName, const std::string& AValue) {
    Fstart_time = ParseTimeOption(AName, AValue, true);
}

void TCustomFFmpeg::SetStartTime(Int64 AValue) {
    if (AValue != AV_NOPTS_VALUE)
        Fstart_time = AValue;
}

void TCustomFFmpeg::OptInputTsOffset(const std::string& AName, const std::string& AValue) {
    Finput_ts_offset = ParseTimeOption(AName, AValue, true);
}

void TCustomFFmpeg::OptRecTimestamp(const std::string& AName, const std::string& AValue) {
    Frecording_timestamp = Int64(std::llround(double(ParseTimeOption(AName, AValue, false)) / 1000000.0));
}

void TCustomFFmpeg::SetProgramID(int AValue) {
    SetAbove(Fopt_programid, AValue, -1);
}

void TCustomFFmpeg::OptPass(int AValue) {
    if (AValue != 1 && AValue != 2)
        Raise(u"pass number can be only 1 or 2");
    Fdo_pass = AValue;
}

void TCustomFFmpeg::ParseMatrixCoeffs(std::vector<uint16_t>& AMatrix, const std::string& AValue) {
    AMatrix.assign(64, 0);
    const char* P = AValue.c_str();
    for (int I = 0; I < 64; ++I) {
        AMatrix[I] = uint16_t(atoi(P));
        if (I == 63)
            break;
        P = strchr(P, ',');
        if (!P)
            Raise(Format(u"Syntax error in matrix \"%s\" at coeff %d", {AValue, I}));
        ++P;
    }
}

void TCustomFFmpeg::OptIntraMatrix(const std::string& AValue) {
    ParseMatrixCoeffs(Fintra_matrix, AValue);
}

void TCustomFFmpeg::OptInterMatrix(const std::string& AValue) {
    ParseMatrixCoeffs(Finter_matrix, AValue);
}

void TCustomFFmpeg::OptVStats(bool AValue) {
    Fvstats_filename.clear();
    if (!AValue)
        return;
    const std::time_t T = std::time(nullptr);
    std::tm Tm{};
    localtime_r(&T, &Tm);
    char Stamp[16];
    strftime(Stamp, sizeof Stamp, "%H%M%S", &Tm);
    Fvstats_filename = A(GetAppPath()) + "vstats_" + Stamp + ".log";
}

void TCustomFFmpeg::OptBitstreamFilter(const String& AName, const String& AValue) {
    if (AName.empty() || AValue.empty() || AValue[0] == u'=')
        return;
    String Name = AValue;
    const size_t P = AValue.find(u'=');
    if (P != String::npos && P >= 1)
        Name = AValue.substr(0, P);
    const std::string N = A(Name);
    if (!av::av_bsf_get_by_name(N.c_str()))
        Raise(Format(u"Unknown bitstream filter %s", {Trim(AValue)}));
    std::string& Chain = AName[0] == u'v'   ? Fvideo_bitstream_filters
                         : AName[0] == u'a' ? Faudio_bitstream_filters
                                            : Fsubtitle_bitstream_filters;
    Chain += (Chain.empty() ? "" : ",") + N;
}

void TCustomFFmpeg::SetAudioVolume(int AValue) {
    SetAbove(Faudio_volume, AValue, -1);
}
void TCustomFFmpeg::SetMuxMaxDelay(float AValue) {
    SetAbove(Fmux_max_delay, AValue);
}
void TCustomFFmpeg::SetMuxPreload(float AValue) {
    SetAbove(Fmux_preload, AValue);
}

void TCustomFFmpeg::SetLanguage(char AKind, const String& AValue) {
    (AKind == 'v' ? Fvideo_language : AKind == 'a' ? Faudio_language : Fsubtitle_language) = AValue;
}

void TCustomFFmpeg::OptStreamId(const String& AOptName, const String& AValue) {
    if (AOptName.empty() || AValue.empty())
        return;
    const size_t P = AValue.find(u':');
    if (P == String::npos || P == 0 || P + 1 >= AValue.size())
        Raise(
            Format(u"Invalid value \"%s\" for option \"%s\", required syntax is \"index:value\"", {AValue, AOptName}));
    const int Index = StrToInt(AValue.substr(0, P));
    const int Value = StrToInt(AValue.substr(P + 1));
    if (Index < 0 || Index >= MAX_STREAMS)
        Raise(Format(u"stream index over MAX_STREAMS(%d)", {MAX_STREAMS}));
    Fstreamid_map[Index] = Value;
}

namespace {
// The field a plain numeric option writes, or nil when the name is none of them.
template <typename T> T* FieldOf(const std::string& AName, std::initializer_list<std::pair<const char*, T*>> AFields) {
    for (const auto& [Name, Field] : AFields)
        if (AName == Name)
            return Field;
    return nullptr;
}
} // namespace

namespace {
bool IsOneOf(const std::string& N, std::initializer_list<const char*> ANames) {
    for (const char* X : ANames)
        if (N == X)
            return true;
    return false;
}
} // namespace

// Options of the run and of the next input file: logging, forced format, maps, times, metadata, limits.
bool TCustomFFmpeg::ApplyRunOption(const std::string& N, const std::string& V, const String& AName,
                                   const String& AValue) {
    if (IsOneOf(N, {"L", "h", "version", "formats", "codecs", "bsfs", "protocols", "filters", "i", "y", "benchmark"}))
        Log(fllInfo, u"Do nothing: option - " + AName);
    else if (N == "threads")
        Raise(u"TODO: option - " + AName);
    else if (N == "timelimit")
        Log(fllWarning, u"Warning: -timelimit not implemented on Windows");
    else if (N == "loglevel") {
        // The logger's level, by name or number.
        static const std::pair<const char*, int> Levels[] = {
            {"quiet", AV_LOG_QUIET},     {"panic", AV_LOG_PANIC}, {"fatal", AV_LOG_FATAL},     {"error", AV_LOG_ERROR},
            {"warning", AV_LOG_WARNING}, {"info", AV_LOG_INFO},   {"verbose", AV_LOG_VERBOSE}, {"debug", AV_LOG_DEBUG}};
        int Level = StrToIntDef(AValue, -100);
        for (auto& L : Levels)
            if (V == L.first)
                Level = L.second;
        if (Level != -100)
            av::av_log_set_level(Level);
    } else if (N == "f")
        OptFormat(AValue);
    else if (N == "map")
        OptMap(V);
    else if (N == "map_meta_data")
        OptMapMetaData(V);
    else if (N == "t")
        OptRecordingTime(N, V);
    else if (N == "ss")
        OptStartTime(N, V);
    else if (N == "itsoffset")
        OptInputTsOffset(N, V);
    else if (N == "itsscale")
        OptInputTsScale(V);
    else if (N == "timestamp")
        OptRecTimestamp(N, V);
    else if (N == "metadata")
        OptMetadata(V);
    else if (N == "fs")
        Flimit_filesize = StrToInt64(AValue);
    else if (N == "dframes")
        Fmax_frames[AVMEDIA_TYPE_DATA] = StrToInt(AValue);
    else if (N == "vframes")
        Fmax_frames[AVMEDIA_TYPE_VIDEO] = StrToInt(AValue);
    else if (N == "aframes")
        Fmax_frames[AVMEDIA_TYPE_AUDIO] = StrToInt(AValue);
    else
        return false;
    return true;
}

// Options that set one field of the transcoder: numbers, flags, languages, verbosity, targets.
bool TCustomFFmpeg::ApplyFieldOption(const std::string& N, const std::string& V, const String& AName,
                                     const String& AValue) {
    if (int* Field = FieldOf<int>(N, {{"loop_output", &Floop_output},
                                      {"vsync", &Fvideo_sync_method},
                                      {"async", &Faudio_sync_method},
                                      {"vglobal", &Fvideo_global_header},
                                      {"programid", &Fopt_programid},
                                      {"copyinkf", &Fcopy_initial_nonkeyframes},
                                      {"vdt", &Fvideo_discard},
                                      {"dc", &Fintra_dc_precision},
                                      {"vol", &Faudio_volume}})) {
        *Field = StrToInt(AValue);
    } else if (bool* Field = FieldOf<bool>(N, {{"dump", &Fdo_pkt_dump},
                                               {"hex", &Fdo_hex_dump},
                                               {"re", &Frate_emu},
                                               {"loop_input", &Floop_input},
                                               {"shortest", &Fopt_shortest},
                                               {"intra", &Fintra_only},
                                               {"vn", &Fvideo_disable},
                                               {"sameq", &Fsame_quality},
                                               {"deinterlace", &Fdo_deinterlace},
                                               {"psnr", &Fdo_psnr},
                                               {"qphist", &Fqp_hist},
                                               {"force_fps", &Fforce_fps},
                                               {"an", &Faudio_disable},
                                               {"sn", &Fsubtitle_disable},
                                               {"isync", &Finput_sync}})) {
        *Field = FlagValue(AValue);
    } else if (N == "copyts")
        Fcopy_ts = true;
    else if (N == "xerror")
        Fexit_on_error = true;
    else if (float* Field = FieldOf<float>(N, {{"adrift_threshold", &Faudio_drift_threshold},
                                               {"dts_delta_threshold", &Fdts_delta_threshold},
                                               {"aq", &Faudio_qscale},
                                               {"muxdelay", &Fmux_max_delay},
                                               {"muxpreload", &Fmux_preload}}))
        *Field = float(StrToFloat(AValue));
    else if (N == "vlang")
        Fvideo_language = AValue;
    else if (N == "alang")
        Faudio_language = AValue;
    else if (N == "slang")
        Fsubtitle_language = AValue;
    else if (N == "passlogfile")
        Fpass_logfilename_prefix = V;
    else if (N == "v")
        OptVerbose(StrToInt(AValue));
    else if (N == "target")
        OptTarget(V);
    else
        return false;
    return true;
}

// Options of the next output stream: codecs, rates, sizes, tags, matrices, filters, presets.
bool TCustomFFmpeg::ApplyStreamOption(const std::string& N, const std::string& V, const String& AName,
                                      const String& AValue) {
    if (IsOneOf(N, {"b", "vb", "ab"}))
        OptBitrate(AName, AValue);
    else if (N == "r")
        OptFrameRate(AValue);
    else if (N == "s")
        OptFrameSize(AValue);
    else if (N == "aspect")
        OptAspectRatio(AValue);
    else if (N == "pix_fmt")
        OptPixelFormat(V);
    else if (N == "croptop")
        OptCropTop(StrToInt(AValue));
    else if (N == "cropbottom")
        OptCropBottom(StrToInt(AValue));
    else if (N == "cropleft")
        OptCropLeft(StrToInt(AValue));
    else if (N == "cropright")
        OptCropRight(StrToInt(AValue));
    else if (IsOneOf(N, {"padtop", "padbottom", "padleft", "padright", "padcolor"}))
        Raise(u"Please use vfilters=pad");
    else if (N == "qscale")
        OptQScale(float(StrToFloat(AValue)));
    else if (N == "rc_override")
        OptRcOverride(V);
    else if (N == "vcodec")
        OptVideoCodec(AValue);
    else if (N == "acodec")
        OptAudioCodec(AValue);
    else if (N == "scodec")
        OptSubtitleCodec(AValue);
    else if (N == "vtag")
        OptVideoTag(AValue);
    else if (N == "atag")
        OptAudioTag(AValue);
    else if (N == "stag")
        OptSubtitleTag(AValue);
    else if (N == "me_threshold")
        OptMeThreshold(StrToInt(AValue));
    else if (N == "pass")
        OptPass(StrToInt(AValue));
    else if (N == "vstats")
        OptVStats(true);
    else if (N == "vstats_file")
        OptVStatsFile(V);
    else if (N == "vhook")
        OptVideoHook(V);
    else if (N == "vfilters" || N == "vf")
        OptVideoFilters(AValue);
    else if (N == "intra_matrix")
        OptIntraMatrix(V);
    else if (N == "inter_matrix")
        OptInterMatrix(V);
    else if (N == "top")
        OptTopFieldFirst(StrToInt(AValue));
    else if (N == "newvideo")
        OptNewVideoStream();
    else if (N == "newaudio")
        OptNewAudioStream();
    else if (N == "newsubtitle")
        OptNewSubtitleStream();
    else if (N == "streamid")
        OptStreamId(AName, AValue);
    else if (N == "ar")
        OptAudioRate(StrToInt(AValue));
    else if (N == "ac")
        OptAudioChannels(StrToInt(AValue));
    else if (N == "vc")
        OptVideoChannel(StrToInt(AValue));
    else if (N == "sample_fmt")
        OptSampleFormat(V);
    else if (N == "tvstd")
        OptVideoStandard(V);
    else if (IsOneOf(N, {"absf", "vbsf", "sbsf"}))
        OptBitstreamFilter(AName, AValue);
    else if (IsOneOf(N, {"apre", "vpre", "spre", "fpre"}))
        ApplyPreset(AName, AValue);
    else
        return false;
    return true;
}

void TCustomFFmpeg::ApplyOption(const String& AName, const String& AValue) {
    const std::string N = A(AName);
    const std::string V = A(AValue);
    if (!ApplyRunOption(N, V, AName, AValue) && !ApplyFieldOption(N, V, AName, AValue) &&
        !ApplyStreamOption(N, V, AName, AValue))
        SetAVOption(N, V);
}
