#include "engine/AVProbe.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFUtils.h"
#include "engine/FFmpegLogger.h"
#include "engine/MyUtils.h"
#include "engine/UnicodeProtocol.h"
#include "platform/base/SysUtils.h"

const TMetadataKeyName MetadataKeyNames[22] = {
    {"TALB", "album"},     {"TAL", "album"},     {"TCOM", "composer"}, {"TCON", "genre"},     {"TCO", "genre"},
    {"TCOP", "copyright"}, {"TDRL", "date"},     {"TENC", "encoder"},  {"TEN", "encoder"},    {"TIT2", "title"},
    {"TT2", "title"},      {"TLAN", "language"}, {"TPE1", "artist"},   {"TP1", "artist"},     {"TPOS", "disc"},
    {"TPUB", "publisher"}, {"TRCK", "track"},    {"TRK", "track"},     {"TSOA", "albumsort"}, {"TSOP", "authorsort"},
    {"TSOT", "titlesort"}, {"TYER", "year"},
};

namespace {

const char16_t* const FileNotLoaded = u"file not loaded.";
const char16_t* const StreamEOFReached = u"stream eof reached.";
constexpr AVRational MicrosecondBase{1, 1000000};
constexpr int MaxDecodeFailures = 1000;

String LibText(const char* AText) {
    return AText ? UTF8ToString(AText) : String();
}

// A codec context holding a stream's parameters: the libraries' codec texts and descriptions are
// written from a context, and streams carry only parameters.
class TParameterContext {
public:
    explicit TParameterContext(const AVStream* AStream) : FContext(av::avcodec_alloc_context3(nullptr)) {
        if (FContext && av::avcodec_parameters_to_context(FContext, AStream->codecpar) < 0)
            av::avcodec_free_context(&FContext);
    }
    ~TParameterContext() { av::avcodec_free_context(&FContext); }
    TParameterContext(const TParameterContext&) = delete;
    TParameterContext& operator=(const TParameterContext&) = delete;

    AVCodecContext* Get() const { return FContext; }

private:
    AVCodecContext* FContext;
};

String StreamCodecName(const AVStream* AStream) {
    TParameterContext Context(AStream);
    return Context.Get() ? CodecDescription(Context.Get(), false) : String();
}

// "s.uuuuuu" of a time in microseconds; a negative time carries its sign on the whole value.
String SecondsText(Int64 AMicroseconds) {
    UInt64 Magnitude = AMicroseconds < 0 ? UInt64(0) - UInt64(AMicroseconds) : UInt64(AMicroseconds);
    return Format(u"%s%d.%.6d",
                  {AMicroseconds < 0 ? u"-" : u"", Int64(Magnitude / 1000000), Int64(Magnitude % 1000000)});
}

String RateText(double AValue, const char16_t* AUnit) {
    Int64 V = std::llround(AValue * 100);
    if (V % 100 != 0)
        return Format(u", %3.2f %s", {AValue, AUnit});
    if (V % 100000 != 0)
        return Format(u", %1.0f %s", {AValue, AUnit});
    return Format(u", %1.0fk %s", {AValue / 1000, AUnit});
}

String ShownKeyName(const char* AKey) {
    for (const TMetadataKeyName& K : MetadataKeyNames)
        if (std::strcmp(K.Key, AKey) == 0)
            return LibText(K.Name);
    return LibText(AKey);
}

void AddMetadataBlock(std::vector<String>& ALines, const AVDictionary* AMetadata, const String& APrefix) {
    if (!AMetadata)
        return;
    if (av::av_dict_count(AMetadata) == 1 && av::av_dict_get(AMetadata, "language", nullptr, 0))
        return;
    ALines.push_back(APrefix + u"Metadata:");
    const AVDictionaryEntry* Tag = nullptr;
    while ((Tag = av::av_dict_get(AMetadata, "", Tag, AV_DICT_IGNORE_SUFFIX)))
        if (std::strcmp(Tag->key, "language") != 0)
            ALines.push_back(Format(u"%s  %-16s: %s", {APrefix, ShownKeyName(Tag->key), LibText(Tag->value)}));
}

// The leading number of a metadata value ("2024-05-01" gives 2024, "3/12" gives 3); 0 when absent.
Integer LeadingNumber(const AVDictionary* AMetadata, const char* AKey) {
    const AVDictionaryEntry* Entry = av::av_dict_get(AMetadata, AKey, nullptr, 0);
    if (!Entry)
        return 0;
    long Value = std::strtol(Entry->value, nullptr, 10);
    return Integer(std::clamp<long>(Value, INT32_MIN, INT32_MAX));
}

// Seconds since 1970-01-01 UTC of the "creation_time" value; 0 when absent or unreadable.
Int64 CreationTime(const AVDictionary* AMetadata) {
    const AVDictionaryEntry* Entry = av::av_dict_get(AMetadata, "creation_time", nullptr, 0);
    int64_t Microseconds = 0;
    if (!Entry || av::av_parse_time(&Microseconds, Entry->value, 0) < 0)
        return 0;
    return Microseconds / 1000000;
}

// Time arithmetic on stamps read from damaged files must not overflow.
Int64 SaturatedAdd(Int64 A, Int64 B) {
    Int64 Sum;
    if (__builtin_add_overflow(A, B, &Sum))
        return B > 0 ? INT64_MAX : INT64_MIN + 1;
    return Sum;
}

// The length of one picture of the stream for the steps; a damaged rate below 0 counts as unknown.
Int64 StepDuration(const AVStream* AStream) {
    Int64 Duration = FrameDurationUs(AStream->r_frame_rate);
    return Duration > 0 ? Duration : FrameDurationUs({0, 0});
}

Integer ClampedBitRate(int64_t ABitRate) {
    return Integer(std::clamp<int64_t>(ABitRate, 0, INT32_MAX));
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TCustomAVProbe

TCustomAVProbe::TCustomAVProbe(TComponent* AOwner) : TFFBaseComponent(AOwner) {
    UpdateFileInfo();
}

TCustomAVProbe::~TCustomAVProbe() {
    TCustomAVProbe::CloseFile();
}

bool TCustomAVProbe::AVLibLoaded() const {
    return FFLoader().Loaded(ProbeLibraries);
}

bool TCustomAVProbe::LoadAVLib(const String& APath) {
    FFLoader().SetLibraryPath(APath);
    if (FFLoader().Load(ProbeLibraries))
        return true;
    FLastErrMsg = FFLoader().LastErrMsg();
    return false;
}

void TCustomAVProbe::UnloadAVLib() {
    FFLoader().Unload(ProbeLibraries);
}

void TCustomAVProbe::CheckLibraries() const {
    struct TRequired {
        TLibrary Lib;
        const char16_t* Text;
    };
    static const TRequired Required[] = {{avCodec, u"LibAVCodec not loaded."},
                                         {avFormat, u"LibAVFormat not loaded."},
                                         {avUtil, u"LibAVUtil not loaded."},
                                         {swScale, u"LibSwScale not loaded."}};
    for (const TRequired& R : Required)
        if (!FFLoader().Loaded(R.Lib))
            throw Exception(R.Text);
}

bool TCustomAVProbe::LoadFile(const String& AFileName, const String& AFormatName) {
    CheckLibraries();
    CloseFile();

    const AVInputFormat* Forced = nullptr;
    if (!AFormatName.empty()) {
        Forced = av::av_find_input_format(UTF8Encode(AFormatName).c_str());
        if (!Forced) {
            FLastErrMsg = Format(u"Unknown input format: %s", {AFormatName});
            return false;
        }
    }

    FFileHandle = av::avformat_alloc_context();
    if (!FFileHandle) {
        ReportError(AV_LOG_ERROR, FFmpegErrorText(AFileName, AVERROR(ENOMEM)));
        return false;
    }
    FOwnHandle = true;
    FFileHandle->flags |= AVFMT_FLAG_NONBLOCK;

    // On failure the library frees the context and clears the handle itself.
    int Ret = av::avformat_open_input(&FFileHandle, UnicodeFileURL(AFileName).c_str(), Forced, nullptr);
    if (Ret < 0) {
        FFileHandle = nullptr;
        ReportError(AV_LOG_ERROR, FFmpegErrorText(AFileName, Ret));
        CloseFile();
        return false;
    }
    if (av::avformat_find_stream_info(FFileHandle, nullptr) < 0) {
        FLastErrMsg = Format(u"%s: could not find codec parameters", {AFileName});
        CloseFile();
        return false;
    }
    UpdateFileInfo();
    FForceFormat = AFormatName;
    return true;
}

void TCustomAVProbe::CloseFile() {
    FForceFormat.clear();
    if (FFileHandle) {
        if (FOwnHandle)
            av::avformat_close_input(&FFileHandle);
        FFileHandle = nullptr;
    }
    FOwnHandle = false;
    UpdateFileInfo();
}

void TCustomAVProbe::UpdateFileInfo() {
    FFileSize = -1;
    FStreamCount = FProgramCount = -1;
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = -1;
    FFirstAudioStreamIndex = FFirstVideoStreamIndex = FFirstSubtitleStreamIndex = -1;
    if (!FFileHandle)
        return;

    // The size the I/O context knows; a context without one (or a stream) falls back to the file.
    Int64 IOSize = FFileHandle->pb ? av::avio_size(FFileHandle->pb) : -1;
    if (IOSize > 0)
        FFileSize = IOSize;
    else {
        Int64 OnDisk = FFileHandle->url ? FileSizeOf(FileNameFromURL(FFileHandle->url)) : -1;
        FFileSize = OnDisk >= 0 ? OnDisk : IOSize;
    }

    FStreamCount = int(FFileHandle->nb_streams);
    FProgramCount = int(FFileHandle->nb_programs);
    FAudioStreamCount = FVideoStreamCount = FSubtitleStreamCount = 0;
    for (int I = 0; I < FStreamCount; ++I) {
        switch (FFileHandle->streams[I]->codecpar->codec_type) {
        case AVMEDIA_TYPE_VIDEO:
            ++FVideoStreamCount;
            if (FFirstVideoStreamIndex < 0)
                FFirstVideoStreamIndex = I;
            break;
        case AVMEDIA_TYPE_AUDIO:
            ++FAudioStreamCount;
            if (FFirstAudioStreamIndex < 0)
                FFirstAudioStreamIndex = I;
            break;
        case AVMEDIA_TYPE_SUBTITLE:
            ++FSubtitleStreamCount;
            if (FFirstSubtitleStreamIndex < 0)
                FFirstSubtitleStreamIndex = I;
            break;
        default:
            break;
        }
    }
}

void TCustomAVProbe::SetFileHandle(PAVFormatContext Value) {
    CheckLibraries();
    CloseFile();
    FFileHandle = Value;
    FOwnHandle = false;
    UpdateFileInfo();
}

bool TCustomAVProbe::CheckFileLoaded() {
    if (FFileHandle)
        return true;
    ReportError(AV_LOG_WARNING, FileNotLoaded);
    return false;
}

bool TCustomAVProbe::IsStreamOfType(int AStreamIndex, AVMediaType AType) {
    if (!CheckFileLoaded())
        return false;
    if (AStreamIndex < 0 || AStreamIndex >= int(FFileHandle->nb_streams)) {
        ReportError(AV_LOG_ERROR, Format(u"stream index #%d is invalid.", {AStreamIndex}));
        return false;
    }
    return FFileHandle->streams[AStreamIndex]->codecpar->codec_type == AType;
}

bool TCustomAVProbe::IsAudioStream(int AStreamIndex) {
    return IsStreamOfType(AStreamIndex, AVMEDIA_TYPE_AUDIO);
}

bool TCustomAVProbe::IsVideoStream(int AStreamIndex) {
    return IsStreamOfType(AStreamIndex, AVMEDIA_TYPE_VIDEO);
}

bool TCustomAVProbe::IsSubtitleStream(int AStreamIndex) {
    return IsStreamOfType(AStreamIndex, AVMEDIA_TYPE_SUBTITLE);
}

void TCustomAVProbe::ReportError(int ALogLevel, const String& AMsg) {
    GetFFLogger()->Log(this, AVLevelToLogLevel(ALogLevel), AMsg);
    FLastErrMsg = AMsg;
}

String TCustomAVProbe::FileName() {
    if (!CheckFileLoaded())
        return String();
    return FFileHandle->url ? FileNameFromURL(FFileHandle->url) : String();
}

String TCustomAVProbe::FormatName() {
    if (!CheckFileLoaded())
        return String();
    return FFileHandle->iformat ? LibText(FFileHandle->iformat->name) : String();
}

String TCustomAVProbe::FormatLongName() {
    if (!CheckFileLoaded())
        return String();
    return FFileHandle->iformat ? LibText(FFileHandle->iformat->long_name) : String();
}

bool TCustomAVProbe::IsImageFormat() const {
    if (!FFileHandle || !FFileHandle->iformat || !FFileHandle->iformat->name)
        return false;
    std::string Name = FFileHandle->iformat->name;
    const std::string Pipe = "_pipe";
    return av::av_strcasecmp(Name.c_str(), "image2") == 0 ||
           (Name.size() > Pipe.size() && Name.compare(Name.size() - Pipe.size(), Pipe.size(), Pipe) == 0);
}

AVRational TCustomAVProbe::RepairedTimeBase(AVStream* AStream) {
    if (AStream->time_base.den == 0)
        AStream->time_base.den = AStream->time_base.num;
    if (AStream->time_base.den == 0)
        AStream->time_base.den = 1;
    return AStream->time_base;
}

TFileStreamInfo TCustomAVProbe::FileStreamInfo() {
    TFileStreamInfo Info;
    if (!CheckFileLoaded())
        return Info;
    const AVDictionary* Meta = FFileHandle->metadata;
    Info.StartTime = FFileHandle->start_time == AV_NOPTS_VALUE ? -1 : FFileHandle->start_time;
    Info.Duration = FFileHandle->duration == AV_NOPTS_VALUE ? -1 : FFileHandle->duration;
    Info.BitRate = ClampedBitRate(FFileHandle->bit_rate);
    Info.TimeStamp = CreationTime(Meta);
    Info.Year = LeadingNumber(Meta, "date");
    Info.Track = LeadingNumber(Meta, "track");
    Info.Title = MetadataValue(Meta, "title", String());
    Info.Author = MetadataValue(Meta, "author", String());
    Info.Copyright = MetadataValue(Meta, "copyright", String());
    Info.Comment = MetadataValue(Meta, "comment", String());
    Info.Album = MetadataValue(Meta, "album", String());
    Info.Genre = MetadataValue(Meta, "genre", String());
    return Info;
}

void TCustomAVProbe::ReadCodecStreamInfo(int AStreamIndex, TCodecStreamInfo& AInfo) {
    AVStream* St = FFileHandle->streams[AStreamIndex];
    AVRational TimeBase = RepairedTimeBase(St);
    AInfo.StartTime = St->start_time;
    if (St->start_time != AV_NOPTS_VALUE)
        AInfo.StartTimeScaled = av::av_rescale_q(St->start_time, TimeBase, MicrosecondBase);
    AInfo.Duration = St->duration;
    if (St->duration != AV_NOPTS_VALUE)
        AInfo.DurationScaled = av::av_rescale_q(St->duration, TimeBase, MicrosecondBase);
    AInfo.BitRate = ClampedBitRate(St->codecpar->bit_rate);
}

TAudioStreamInfo TCustomAVProbe::FirstAudioStreamInfo() {
    TAudioStreamInfo Info;
    if (!CheckFileLoaded())
        return Info;
    if (FFirstAudioStreamIndex < 0) {
        ReportError(AV_LOG_ERROR, u"no audio stream.");
        return Info;
    }
    AVStream* St = FFileHandle->streams[FFirstAudioStreamIndex];
    Info.Language = MetadataValue(St->metadata, "language", String());
    Info.CodecName = StreamCodecName(St);
    ReadCodecStreamInfo(FFirstAudioStreamIndex, Info);
    Info.Channels = St->codecpar->ch_layout.nb_channels;
    Info.SampleRate = St->codecpar->sample_rate;
    Info.SampleFormat = AVSampleFormat(St->codecpar->format);
    return Info;
}

TVideoStreamInfo TCustomAVProbe::FirstVideoStreamInfo() {
    TVideoStreamInfo Info;
    if (!CheckFileLoaded())
        return Info;
    if (FFirstVideoStreamIndex < 0) {
        ReportError(AV_LOG_ERROR, u"no video stream.");
        return Info;
    }
    AVStream* St = FFileHandle->streams[FFirstVideoStreamIndex];
    const AVCodecParameters* Par = St->codecpar;
    Info.Language = MetadataValue(St->metadata, "language", String());
    Info.CodecName = StreamCodecName(St);
    ReadCodecStreamInfo(FFirstVideoStreamIndex, Info);
    Info.Height = Par->height;
    Info.Width = Par->width;
    // An unknown sample aspect (0/1, or 0/0 from a broken file) and a zero height give 0, never NaN.
    AVRational Sar = Par->sample_aspect_ratio;
    Info.AspectRatio = Sar.num != 0 && Sar.den != 0 && Par->height != 0
                           ? float(double(Par->width) * (double(Sar.num) / double(Sar.den)) / double(Par->height))
                           : 0.0f;
    Info.PixFmt = AVPixelFormat(Par->format);
    Info.FrameRate = St->r_frame_rate;
    return Info;
}

TSubtitleStreamInfo TCustomAVProbe::FirstSubtitleStreamInfo() {
    TSubtitleStreamInfo Info;
    if (!CheckFileLoaded())
        return Info;
    if (FFirstSubtitleStreamIndex < 0) {
        ReportError(AV_LOG_ERROR, u"no subtitle stream.");
        return Info;
    }
    AVStream* St = FFileHandle->streams[FFirstSubtitleStreamIndex];
    Info.Language = MetadataValue(St->metadata, "language", String());
    Info.CodecName = StreamCodecName(St);
    return Info;
}

String TCustomAVProbe::StreamLine(int AStreamIndex) {
    AVStream* St = FFileHandle->streams[AStreamIndex];
    const AVCodecParameters* Par = St->codecpar;
    AVRational TimeBase = RepairedTimeBase(St);

    String Line = Format(u"Stream #%d", {AStreamIndex});
    if (FFileHandle->iformat && (FFileHandle->iformat->flags & AVFMT_SHOW_IDS))
        Line += LowerCase(Format(u"[0x%x]", {St->id}));
    String Language = MetadataValue(St->metadata, "language", String());
    if (!Language.empty())
        Line += u"(" + Language + u")";
    int Gcd = int(av::av_gcd(TimeBase.num, TimeBase.den));
    if (Gcd == 0)
        Gcd = 1;
    Line += Format(u", %d/%d", {TimeBase.num / Gcd, TimeBase.den / Gcd});

    char CodecText[256] = {};
    {
        TParameterContext Context(St);
        if (Context.Get())
            av::avcodec_string(CodecText, sizeof CodecText, Context.Get(), 0);
    }
    Line += u": " + LibText(CodecText);

    AVRational StreamSar = St->sample_aspect_ratio;
    AVRational CodecSar = Par->sample_aspect_ratio;
    if (StreamSar.num != 0 && Int64(StreamSar.num) * CodecSar.den - Int64(CodecSar.num) * StreamSar.den != 0) {
        int DarNum = 0, DarDen = 0;
        av::av_reduce(&DarNum, &DarDen, Int64(Par->width) * StreamSar.num, Int64(Par->height) * StreamSar.den,
                      1024 * 1024);
        Line = Format(u"%s, PAR %d:%d DAR %d:%d", {Line, StreamSar.num, StreamSar.den, DarNum, DarDen});
    }

    // The codec time base ("tbc") is not published by the libraries any more, so it is not shown.
    if (Par->codec_type == AVMEDIA_TYPE_VIDEO) {
        if (St->avg_frame_rate.num != 0 && St->avg_frame_rate.den != 0)
            Line += RateText(av_q2d(St->avg_frame_rate), u"fps");
        if (St->r_frame_rate.num != 0 && St->r_frame_rate.den != 0)
            Line += RateText(av_q2d(St->r_frame_rate), u"tbr");
        if (TimeBase.num != 0 && TimeBase.den != 0)
            Line += RateText(1 / av_q2d(TimeBase), u"tbn");
    }

    if (St->start_time != AV_NOPTS_VALUE)
        Line += u", StartTime: " + SecondsText(av::av_rescale_q(St->start_time, TimeBase, MicrosecondBase));
    if (St->duration == AV_NOPTS_VALUE)
        Line += u", Duration: N/A";
    else
        Line += u", Duration: " + FormatTimestamp(av::av_rescale_q(St->duration, TimeBase, MicrosecondBase));
    return Line;
}

String TCustomAVProbe::FileInfoText() {
    if (!CheckFileLoaded())
        return String();
    std::vector<String> Lines;
    Lines.push_back(u"File Name: " + FileName());
    Lines.push_back(u"Format Name: " + FormatName());
    Lines.push_back(u"Format Long Name: " + FormatLongName());
    Lines.push_back(u"File Size: " + FormatByteSize(FileSize()));

    TFileStreamInfo Info = FileStreamInfo();
    Lines.push_back(Info.Duration < 0 ? String(u"Duration: N/A") : u"Duration: " + FormatTimestamp(Info.Duration));
    if (Info.StartTime >= 0)
        Lines.push_back(u"StartTime: " + SecondsText(Info.StartTime));
    Lines.push_back(Info.BitRate < 1 ? String(u"Bit Rate: N/A") : Format(u"Bit Rate: %d kb/s", {Info.BitRate / 1000}));
    if (Info.TimeStamp > 0)
        Lines.push_back(u"Time Stamp: " +
                        FormatDateTimeText(u"yyyy-mm-dd hh:nn:ss", UnixToLocalDateTime(Info.TimeStamp)));
    AddMetadataBlock(Lines, FFileHandle->metadata, String());

    std::vector<bool> Printed(FFileHandle->nb_streams, false);
    for (unsigned P = 0; P < FFileHandle->nb_programs; ++P) {
        const AVProgram* Program = FFileHandle->programs[P];
        // The program's own keys first; the MPEG-TS demuxer of these libraries writes its
        // "service_provider" and "service_name" instead, which stand in where those are absent.
        String Provider = MetadataValue(Program->metadata, "provider_name",
                                        MetadataValue(Program->metadata, "service_provider", u"N/A"));
        String Name =
            MetadataValue(Program->metadata, "name", MetadataValue(Program->metadata, "service_name", u"N/A"));
        Lines.push_back(Format(u"Program %d %s@%s", {Program->id, Provider, Name}));
        AddMetadataBlock(Lines, Program->metadata, u"  ");
        for (unsigned K = 0; K < Program->nb_stream_indexes; ++K) {
            unsigned Index = Program->stream_index[K];
            if (Index >= FFileHandle->nb_streams)
                continue;
            Lines.push_back(StreamLine(int(Index)));
            AddMetadataBlock(Lines, FFileHandle->streams[Index]->metadata, u"  ");
            Printed[Index] = true;
        }
    }
    for (unsigned I = 0; I < FFileHandle->nb_streams; ++I)
        if (!Printed[I]) {
            Lines.push_back(StreamLine(int(I)));
            AddMetadataBlock(Lines, FFileHandle->streams[I]->metadata, u"  ");
        }

    String Text;
    for (const String& L : Lines)
        Text += L + u"\r\n";
    return Text;
}

// ---------------------------------------------------------------------------------------------
// TAVProbe

TAVProbe::TAVProbe(TComponent* AOwner) : TCustomAVProbe(AOwner) {}

TAVProbe::~TAVProbe() {
    // The decoder goes before the base class closes the file it decodes.
    TAVProbe::CloseFile();
    if (FPicture.Buffer)
        av::av_free(FPicture.Buffer);
    FPicture.Buffer = nullptr;
    if (FFrame)
        av::av_frame_free(&FFrame);
    if (FPacket)
        av::av_packet_free(&FPacket);
    ResetRGBConvertContext(FRGBContext);
}

void TAVProbe::CloseDecoder() {
    if (!FCodec)
        return;
    {
        std::lock_guard Guard(CodecLock);
        av::avcodec_free_context(&FCodec);
    }
    FCodec = nullptr;
    FCodecIndex = -1;
    FDraining = false;
}

void TAVProbe::CloseFile() {
    FSeekIndex = -1;
    FStartTime = -1;
    FDecodeIndex = -1;
    FEOF = false;
    ResetFrameInfo();
    FLastPTS = AV_NOPTS_VALUE;
    FLastPos = -1;
    CloseDecoder();
    ResetRGBConvertContext(FRGBContext);
    TCustomAVProbe::CloseFile();
}

void TAVProbe::UpdateFileInfo() {
    TCustomAVProbe::UpdateFileInfo();
    FSeekIndex = FFirstVideoStreamIndex >= 0 ? FFirstVideoStreamIndex : FFirstAudioStreamIndex;
    if (!FFileHandle)
        return;
    Int64 Start = FSeekIndex >= 0 ? FFileHandle->streams[FSeekIndex]->start_time : FFileHandle->start_time;
    FStartTime = Start == AV_NOPTS_VALUE ? 0 : Start;
}

void TAVProbe::ResetFrameInfo() {
    if (FPicture.PTS != AV_NOPTS_VALUE)
        FLastPTS = FPicture.PTS;
    if (FPicture.Position != -1)
        FLastPos = FPicture.Position;
    TFrameInfo Empty;
    Empty.Picture = FPicture.Picture;
    Empty.Buffer = FPicture.Buffer;
    Empty.Size = FPicture.Size;
    FPicture = Empty;
}

bool TAVProbe::CheckOwnHandle() {
    if (!CheckFileLoaded())
        return false;
    if (FOwnHandle)
        return true;
    const String Msg = u"file cannot be seeked, handle is readonly.";
    ReportError(AV_LOG_WARNING, Msg);
    throw Exception(Msg);
}

bool TAVProbe::CanSeek() {
    if (!CheckOwnHandle())
        return false;
    if (IsImageFormat()) {
        ReportError(AV_LOG_INFO, u"\"image2\" format cannot to be seeked.");
        return false;
    }
    return true;
}

Int64 TAVProbe::IOPosition() const {
    return FFileHandle && FFileHandle->pb ? av::avio_seek(FFileHandle->pb, 0, SEEK_CUR) : -1;
}

Int64 TAVProbe::Position() {
    if (!CheckFileLoaded())
        return -1;
    if (!FFileHandle->pb) {
        ReportError(AV_LOG_WARNING, u"cannot get position");
        return -1;
    }
    return IOPosition();
}

bool TAVProbe::Seek(Int64 APTS, TSeekFlags ASeekFlags) {
    if (!CanSeek())
        return false;
    if (FFileHandle->pb)
        GetFFLogger()->Log(this, llDebug, u"currunt position %d bytes", {IOPosition()});

    Int64 Target = std::max<Int64>(APTS, 0);
    if (!ASeekFlags.Contains(sfByte)) {
        if (FSeekIndex >= 0)
            Target = av::av_rescale_q(Target, MicrosecondBase, FFileHandle->streams[FSeekIndex]->time_base);
        if (FStartTime > 0)
            Target = SaturatedAdd(Target, FStartTime);
    }
    if (FCodec) {
        av::avcodec_flush_buffers(FCodec);
        FDraining = false;
    }
    FEOF = false;
    ResetFrameInfo();

    int Flags = int(SeekFlagsToInt(ASeekFlags));
    int Ret;
    if (APTS > 0)
        Ret = av::av_seek_frame(FFileHandle, FSeekIndex, Target, Flags);
    else {
        Ret = av::av_seek_frame(FFileHandle, FSeekIndex, 0, Flags | AVSEEK_FLAG_BACKWARD);
        if (Ret < 0)
            Ret = av::av_seek_frame(FFileHandle, FSeekIndex, APTS, Flags & ~AVSEEK_FLAG_BACKWARD);
    }
    bool Result = Ret >= 0;
    if (!Result) {
        if (ASeekFlags.Contains(sfByte))
            ReportError(AV_LOG_ERROR, Format(u"could not seek to position %d bytes", {APTS}));
        else
            ReportError(AV_LOG_ERROR, Format(u"could not seek to position %0.3f seconds", {double(APTS) / 1000000}));
    }
    if (FFileHandle->pb) {
        GetFFLogger()->Log(this, llDebug, u"seek to position %d bytes", {IOPosition()});
        if (av::avio_feof(FFileHandle->pb)) {
            if (Result)
                ReportError(AV_LOG_INFO, StreamEOFReached);
            FEOF = true;
            return false;
        }
    }
    return Result;
}

int TAVProbe::SelectDecodeStream(int AStreamIndex) {
    if (!CheckOwnHandle())
        return -1;
    int Index;
    if (AStreamIndex < 0) {
        Index = FDecodeIndex >= 0 ? FDecodeIndex : FFirstVideoStreamIndex;
        if (Index < 0) {
            ReportError(AV_LOG_ERROR, u"no video stream.");
            return -1;
        }
    } else {
        if (AStreamIndex >= FStreamCount) {
            ReportError(AV_LOG_ERROR, Format(u"stream index #%d is invalid.", {AStreamIndex}));
            return -1;
        }
        if (FFileHandle->streams[AStreamIndex]->codecpar->codec_type != AVMEDIA_TYPE_VIDEO) {
            ReportError(AV_LOG_ERROR, Format(u"stream #%d is not video stream.", {AStreamIndex}));
            return -1;
        }
        Index = AStreamIndex;
    }
    if (Index != FDecodeIndex)
        ResetFrameInfo();
    FDecodeIndex = Index;
    return Index;
}

PAVCodecContext TAVProbe::OpenDecoder(int AStreamIndex) {
    const AVStream* St = FFileHandle->streams[AStreamIndex];
    const AVCodecParameters* Par = St->codecpar;
    if (Par->width == 0 || Par->height == 0) {
        ReportError(AV_LOG_ERROR, u"frame size of codec is invalid.");
        return nullptr;
    }
    if (FCodec && FCodecIndex == AStreamIndex)
        return FCodec;
    CloseDecoder();

    const AVCodec* Decoder = av::avcodec_find_decoder(Par->codec_id);
    if (!Decoder) {
        ReportError(AV_LOG_ERROR,
                    Format(u"Unsupported codec (id=%d) for input file stream #%d", {int(Par->codec_id), AStreamIndex}));
        return nullptr;
    }
    AVCodecContext* Context = av::avcodec_alloc_context3(Decoder);
    int Ret = Context ? av::avcodec_parameters_to_context(Context, Par) : AVERROR(ENOMEM);
    if (Ret >= 0) {
        Context->pkt_timebase = St->time_base;
        std::lock_guard Guard(CodecLock);
        Ret = av::avcodec_open2(Context, Decoder, nullptr);
    }
    if (Ret < 0) {
        av::avcodec_free_context(&Context);
        ReportError(AV_LOG_ERROR, Format(u"Error while opening codec for input file stream #%d", {AStreamIndex}));
        return nullptr;
    }
    FCodec = Context;
    FCodecIndex = AStreamIndex;
    FDraining = false;
    return FCodec;
}

bool TAVProbe::Decode(int AStreamIndex) {
    int Index = SelectDecodeStream(AStreamIndex);
    if (Index < 0)
        return false;
    // A still picture is decoded once.
    if (FPicture.Ready && IsImageFormat())
        return true;
    if (FEOF) {
        ReportError(AV_LOG_INFO, StreamEOFReached);
        return false;
    }
    if (!OpenDecoder(Index))
        return false;
    if (!FPacket)
        FPacket = av::av_packet_alloc();
    if (!FFrame)
        FFrame = av::av_frame_alloc();
    if (!FPacket || !FFrame) {
        ReportError(AV_LOG_ERROR, FFmpegErrorText(FileName(), AVERROR(ENOMEM)));
        return false;
    }

    Int64 Pos = IOPosition();
    // The stamps of the last packet handed to the decoder: the one that completed the picture.
    Int64 PacketDTS = AV_NOPTS_VALUE, PacketPTS = AV_NOPTS_VALUE;
    int PacketStream = Index;
    int Failures = 0;
    for (;;) {
        int Ret = av::avcodec_receive_frame(FCodec, FFrame);
        if (Ret >= 0) {
            AVPacket Completing{};
            Completing.dts = PacketDTS;
            Completing.pts = PacketPTS;
            Completing.stream_index = PacketStream;
            av::av_log(nullptr, AV_LOG_DEBUG, "pkt.st_idx=%d, dts=%lld, pts=%lld, flags=%d, pict_type=%d\n",
                       PacketStream, static_cast<long long>(PacketDTS), static_cast<long long>(PacketPTS),
                       FFrame->key_frame ? AV_PKT_FLAG_KEY : 0, int(FFrame->pict_type));
            StoreFrame(FFrame, &Completing, Pos);
            av::av_frame_unref(FFrame);
            return true;
        }
        if (Ret == AVERROR_EOF)
            break;
        // A damaged picture is skipped; a decoder that does nothing but fail ends the stream.
        if (Ret != AVERROR(EAGAIN)) {
            if (++Failures > MaxDecodeFailures)
                break;
            if (FDraining)
                continue;
        } else if (FDraining)
            break;

        Ret = av::av_read_frame(FFileHandle, FPacket);
        if (Ret < 0) {
            // The file has ended: the decoder still holds the pictures it delays.
            FDraining = true;
            av::avcodec_send_packet(FCodec, nullptr);
            continue;
        }
        if (FPacket->stream_index != Index) {
            av::av_packet_unref(FPacket);
            continue;
        }
        PacketDTS = FPacket->dts;
        PacketPTS = FPacket->pts;
        PacketStream = FPacket->stream_index;
        av::avcodec_send_packet(FCodec, FPacket);
        av::av_packet_unref(FPacket);
    }
    ReportError(AV_LOG_INFO, StreamEOFReached);
    FEOF = true;
    return false;
}

void TAVProbe::StoreFrame(const AVFrame* AFrame, const AVPacket* APacket, Int64 APos) {
    AVPixelFormat PixFmt = AVPixelFormat(AFrame->format);
    int Needed = av::av_image_get_buffer_size(PixFmt, AFrame->width, AFrame->height, 1);
    if (Needed > FPicture.Size) {
        av::av_free(FPicture.Buffer);
        FPicture.Buffer = static_cast<uint8_t*>(av::av_malloc(size_t(Needed)));
        FPicture.Size = FPicture.Buffer ? Needed : 0;
    }

    FPicture.PixFmt = PixFmt;
    FPicture.Width = AFrame->width;
    FPicture.Height = AFrame->height;
    FPicture.IsKeyFrame = AFrame->key_frame == 1;
    FPicture.PictureType =
        AFrame->pict_type >= 0 && AFrame->pict_type <= ptBI ? TPictureType(AFrame->pict_type) : ptUnknown;

    // The decoder carries each packet's stamp through its reordering, so the picture's own stamp
    // is exact; the completing packet's stamps stand in only when it has none.
    Int64 Stamp = AFrame->best_effort_timestamp;
    if (Stamp == AV_NOPTS_VALUE)
        Stamp = AFrame->pts;
    if (Stamp == AV_NOPTS_VALUE)
        Stamp = APacket->dts != AV_NOPTS_VALUE ? APacket->dts : APacket->pts;

    if (FPicture.PTS != AV_NOPTS_VALUE)
        FLastPTS = FPicture.PTS;
    if (Stamp == AV_NOPTS_VALUE)
        FPicture.PTS = AV_NOPTS_VALUE;
    else {
        const AVStream* St = FFileHandle->streams[FDecodeIndex];
        if (St->start_time != AV_NOPTS_VALUE)
            Stamp = SaturatedAdd(Stamp, -St->start_time);
        FPicture.PTS = av::av_rescale_q(Stamp, St->time_base, MicrosecondBase);
        av::av_log(nullptr, AV_LOG_DEBUG, "decode PTS: %0.3f\n", double(FPicture.PTS) / 1000000);
    }
    FPicture.OriginalDTS = APacket->dts;
    FPicture.OriginalPTS = APacket->pts;
    FPicture.StreamIndex = APacket->stream_index;
    if (FPicture.Position != -1)
        FLastPos = FPicture.Position;
    FPicture.Position = APos;

    if (!FPicture.Buffer || Needed < 0) {
        FPicture.Ready = false;
        return;
    }
    av::av_image_fill_arrays(FPicture.Picture.data, FPicture.Picture.linesize, FPicture.Buffer, PixFmt, AFrame->width,
                             AFrame->height, 1);
    av::av_image_copy(FPicture.Picture.data, FPicture.Picture.linesize, const_cast<const uint8_t**>(AFrame->data),
                      AFrame->linesize, PixFmt, AFrame->width, AFrame->height);
    FPicture.Ready = true;
}

bool TAVProbe::DecodeNextKeyFrame(int AStreamIndex) {
    int Index = SelectDecodeStream(AStreamIndex);
    if (Index < 0)
        return false;
    Int64 Target = StepDuration(FFileHandle->streams[Index]);
    if (FPicture.PTS != AV_NOPTS_VALUE && FPicture.PTS > 0)
        Target = SaturatedAdd(Target, FPicture.PTS);
    return Seek(Target) && Decode(Index);
}

bool TAVProbe::DecodePreviousKeyFrame(int AStreamIndex) {
    int Index = SelectDecodeStream(AStreamIndex);
    if (Index < 0)
        return false;
    Int64 FrameDuration = StepDuration(FFileHandle->streams[Index]);

    Int64 Ref = 0;
    if (FPicture.PTS != AV_NOPTS_VALUE)
        Ref = FPicture.PTS;
    else if (FLastPTS != AV_NOPTS_VALUE)
        Ref = FLastPTS;
    else if (FFileHandle->duration != AV_NOPTS_VALUE)
        Ref = FFileHandle->duration;

    // A seek that lands on the current picture's key frame again is recognised by the time of the
    // picture it decodes: demuxers such as MP4's move the file position only when they next read,
    // so the position right after a seek does not tell where it landed.
    // The search goes back one picture more each time; after a few tries twice as far each time,
    // so that a damaged time stamp far from the start cannot keep it going for ever.
    constexpr Int64 LinearSteps = 16;
    Int64 Back = 0;
    for (Int64 N = 1;; ++N) {
        Back = N <= LinearSteps ? N * FrameDuration : SaturatedAdd(Back, Back);
        Seek(SaturatedAdd(Ref, -Back), TSeekFlags{sfBackward});
        if (Decode(Index)) {
            if (FPicture.PTS < Ref || FPicture.PTS <= 0)
                return true;
            // Even the start of the file gave no earlier picture: there is none to find.
            if (Back >= Ref)
                break;
            continue;
        }
        if (Back > Ref)
            break;
    }
    FLastErrMsg = u"Could not seek to the previous key-frame. " + FLastErrMsg;
    return false;
}

bool TAVProbe::DecodePreviousFrame(int AStreamIndex) {
    int Index = SelectDecodeStream(AStreamIndex);
    if (Index < 0)
        return false;
    Int64 FrameDuration = StepDuration(FFileHandle->streams[Index]);
    Int64 Target;
    if (FPicture.PTS != AV_NOPTS_VALUE)
        Target = SaturatedAdd(FPicture.PTS, -2 * FrameDuration);
    else if (FLastPTS != AV_NOPTS_VALUE)
        Target = SaturatedAdd(FLastPTS, -2 * FrameDuration);
    else
        Target = -2 * FrameDuration;
    if (!DecodePreviousKeyFrame(Index))
        return false;
    for (;;) {
        if (FPicture.PTS != AV_NOPTS_VALUE && Target < FPicture.PTS)
            return true;
        if (!Decode(Index))
            return false;
    }
}

bool TAVProbe::CopyToBitmap(TBitmap* ABitmap) {
    if (!FPicture.Ready) {
        ReportError(AV_LOG_ERROR, u"picture not ready, please decode first");
        return false;
    }
    if (PictureToBitmap(FRGBContext, &FPicture.Picture, FPicture.PixFmt, FPicture.Width, FPicture.Height)) {
        ABitmap->Assign(FRGBContext.Bitmap.get());
        return true;
    }
    ABitmap->SetSize(FPicture.Width, FPicture.Height);
    ABitmap->Canvas()->Brush()->SetColor(clBlack);
    ABitmap->Canvas()->Brush()->SetStyle(bsSolid);
    ABitmap->Canvas()->FillRect(ABitmap->Canvas()->ClipRect());
    av::av_log(nullptr, AV_LOG_ERROR, "convert picture to bitmap failed\n");
    return false;
}
