#include "engine/FFUtils.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "engine/FFmpegLogger.h"
#include "platform/base/SysUtils.h"

String FormatTimestamp(int64_t AMicroseconds) {
    if (AMicroseconds == AV_NOPTS_VALUE)
        return u"N/A";
    int64_t T = AMicroseconds;
    return Format(u"%.2d:%.2d:%.2d.%.3d",
                  {T / 1000000 / 3600, (T / 60000000) % 60, (T / 1000000) % 60, (T % 1000000) * 1000 / 1000000});
}

int64_t FrameDurationUs(AVRational ARate) {
    if (ARate.num == 0 || ARate.den == 0)
        return 40000;
    return int64_t(1000000) * ARate.den / ARate.num;
}

String FFmpegErrorText(const String& APrefix, int AError) {
    struct TErrorText {
        int Code;
        const char16_t* Text;
    };
    static const TErrorText ErrorTexts[] = {
        {AVERROR_PATCHWELCOME, u"Not yet implemented in FFmpeg"},
        {AVERROR(EPROTONOSUPPORT), u"Unsupported network protocol"},
        {AVERROR_DEMUXER_NOT_FOUND, u"Unknown format"},
        {AVERROR_PROTOCOL_NOT_FOUND, u"Unknown format"},
        {AVERROR(EDOM), u"Number syntax expected in filename"},
        {AVERROR_EOF, u"End of file"},
        {AVERROR_INVALIDDATA, u"Invalid data found when processing input"},
        {AVERROR(EINVAL), u"Invalid data found when processing input"},
        {AVERROR(ENOMEM), u"Not enough memory"},
        {AVERROR(EIO), u"I/O error"},
        {AVERROR(ENOENT), u"No such file or directory"},
    };
    for (const TErrorText& E : ErrorTexts)
        if (E.Code == AError)
            return APrefix + u": " + E.Text;
    char Text[AV_ERROR_MAX_STRING_SIZE];
    if (av::av_strerror && av::av_strerror(AError, Text, sizeof Text) == 0)
        return APrefix + u": " + UTF8ToString(Text);
    return APrefix + u": " + Format(u"Error number %d occurred", {AError});
}

void InitFFOptions(TFFOptions& AOptions) {
    AOptions = TFFOptions();
}

void AllocFFOptions(TFFOptions& AOptions, int ASwsFlags) {
    for (int T = 0; T < 5; ++T) {
        AOptions.avcodec_opts[T] = av::avcodec_alloc_context3(nullptr);
        AOptions.avcodec_opts[T]->codec_type = AVMediaType(T);
    }
    AOptions.avformat_opts = av::avformat_alloc_context();
    AOptions.sws_opts =
        av::sws_getContext(16, 16, AVPixelFormat(0), 16, 16, AVPixelFormat(0), ASwsFlags, nullptr, nullptr, nullptr);
}

void FreeFFOptions(TFFOptions& AOptions) {
    for (AVCodecContext*& Context : AOptions.avcodec_opts)
        av::avcodec_free_context(&Context);
    av::avformat_free_context(AOptions.avformat_opts);
    av::sws_freeContext(AOptions.sws_opts);
    AOptions = TFFOptions();
}

namespace {

// Without blanks and control characters at both ends.
std::string Trimmed(const std::string& S) {
    size_t First = 0, Last = S.size();
    while (First < Last && static_cast<unsigned char>(S[First]) <= ' ')
        ++First;
    while (Last > First && static_cast<unsigned char>(S[Last - 1]) <= ' ')
        --Last;
    return S.substr(First, Last - First);
}

// Tries one holder: nullptr when it has no such option, else the option (AResult the set result).
const AVOption* TrySet(void* AHolder, const char* AName, const char* AValue, int AMask, int& AResult) {
    if (!AHolder)
        return nullptr;
    const AVOption* Option = av::av_opt_find(AHolder, AName, nullptr, AMask, 0);
    if (Option)
        AResult = av::av_opt_set(AHolder, AName, AValue, 0);
    return Option;
}

} // namespace

bool SetFFOption(TFFOptions& AOptions, const std::string& AName, const std::string& AValue) {
    if (Trimmed(AName).empty() || Trimmed(AValue).empty())
        return false;
    static const int TypeMasks[5] = {AV_OPT_FLAG_VIDEO_PARAM, AV_OPT_FLAG_AUDIO_PARAM, 0, AV_OPT_FLAG_SUBTITLE_PARAM,
                                     0};
    const char* Name = AName.c_str();
    const char* Value = AValue.c_str();
    const AVOption* Found = nullptr;
    int Result = 0;
    // A codec option goes to every media type whose mask its flags hold.
    for (int T = 0; T < 5 && Result >= 0; ++T)
        if (av::av_opt_find(AOptions.avcodec_opts[0], Name, nullptr, TypeMasks[T], TypeMasks[T])) {
            Found = TrySet(AOptions.avcodec_opts[T], Name, Value, 0, Result);
        }
    if (!Found)
        Found = TrySet(AOptions.avformat_opts, Name, Value, 0, Result);
    if (!Found)
        Found = TrySet(AOptions.sws_opts, Name, Value, 0, Result);
    // "ab", "vb", "scodec"-style names: the rest of the name on that media type's holder.
    if (!Found && AName.size() > 1) {
        int T = AName[0] == 'a'   ? AVMEDIA_TYPE_AUDIO
                : AName[0] == 'v' ? AVMEDIA_TYPE_VIDEO
                : AName[0] == 's' ? AVMEDIA_TYPE_SUBTITLE
                                  : -1;
        if (T >= 0)
            Found = TrySet(AOptions.avcodec_opts[T], Name + 1, Value, 0, Result);
    }
    if (Found && Result < 0) {
        av::av_log(nullptr, AV_LOG_ERROR, "Invalid value \"%s\" for option \"%s\"\n", Value, Name);
        return false;
    }
    if (!Found)
        return false;
    AOptions.opt_names.push_back(Found->name);
    if (AOptions.avcodec_opts[AVMEDIA_TYPE_VIDEO]->debug || AOptions.avformat_opts->debug)
        GetFFLogger()->SetLogLevel(llDebug);
    return true;
}

void ApplyFFOptions(TFFOptions& AOptions, void* ATarget, void* ASource, int AFlags) {
    for (const std::string& Name : AOptions.opt_names) {
        const AVOption* Option = av::av_opt_find(ASource, Name.c_str(), nullptr, AFlags, 0);
        uint8_t* Value = nullptr;
        if (Option && av::av_opt_get(ASource, Name.c_str(), 0, &Value) >= 0 && Value)
            av::av_opt_set(ATarget, Name.c_str(), reinterpret_cast<const char*>(Value), 0);
        av::av_free(Value);
    }
}

int ReadWholeFile(const std::string& AFileName, uint8_t*& ABuffer, int& ASize) {
    ABuffer = nullptr;
    ASize = 0;
    FILE* File = std::fopen(AFileName.c_str(), "rb");
    if (!File)
        return -1;
    std::fseek(File, 0, SEEK_END);
    long Size = std::ftell(File);
    std::fseek(File, 0, SEEK_SET);
    if (Size < 0 || Size >= INT32_MAX || !(ABuffer = static_cast<uint8_t*>(av::av_malloc(size_t(Size) + 1)))) {
        std::fclose(File);
        return AVERROR(ENOMEM);
    }
    size_t Read = std::fread(ABuffer, 1, size_t(Size), File);
    ABuffer[Read] = 0;
    ASize = int(Read) + 1;
    std::fclose(File);
    return 0;
}

String MetadataValue(const AVDictionary* AMetadata, const char* AKey, const String& ADefault) {
    const AVDictionaryEntry* Entry = av::av_dict_get(AMetadata, AKey, nullptr, 0);
    return Entry ? UTF8ToString(Entry->value) : ADefault;
}

String CodecDescription(const AVCodecContext* ACodecContext, bool AEncoder) {
    const AVCodec* Codec = AEncoder ? av::avcodec_find_encoder(ACodecContext->codec_id)
                                    : av::avcodec_find_decoder(ACodecContext->codec_id);
    if (Codec) {
        std::string LongName = Trimmed(Codec->long_name ? Codec->long_name : "");
        if (LongName.empty())
            return UTF8ToString(Codec->name);
        return UTF8ToString(std::string(Codec->name) + "(" + LongName + ")");
    }
    if (ACodecContext->codec_id == AV_CODEC_ID_MPEG2TS)
        return u"mpeg2ts";
    if (const AVCodecDescriptor* Descriptor = av::avcodec_descriptor_get(ACodecContext->codec_id))
        return UTF8ToString(Descriptor->name);
    unsigned Tag = ACodecContext->codec_tag;
    bool Printable = true;
    for (int I = 0; I < 4; ++I) {
        unsigned C = (Tag >> (8 * I)) & 0xFF;
        Printable = Printable && C >= 32 && C <= 126;
    }
    char Text[32];
    if (Printable)
        std::snprintf(Text, sizeof Text, "%c%c%c%c / 0x%04X", Tag & 0xFF, Tag >> 8 & 0xFF, Tag >> 16 & 0xFF, Tag >> 24,
                      Tag);
    else
        std::snprintf(Text, sizeof Text, "0x%04x", Tag);
    return UTF8ToString(Text);
}

String MediaTypeName(int AType) {
    static const char16_t* const Names[] = {u"Video", u"Audio", u"Data", u"Subtitle", u"Attachment"};
    return AType >= 0 && AType < 5 ? Names[AType] : u"Unknown";
}
