// Opening the input files and creating the output files and their streams.
#include "engine/FFmpeg.h"
#include "engine/FFmpegHelpers.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFUtils.h"
#include "engine/FFmpegLoader.h"

#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <ctime>

namespace {

// The probe's text for the same failure, so one input gives one text wherever it is opened.
String ErrorText(const String& AFileName, int ACode) {
    return FFmpegErrorText(AFileName, ACode);
}

void ChooseSampleFmt(AVCodecContext* AEnc, const AVCodec* ACodec) {
    if (!ACodec || !ACodec->sample_fmts)
        return;
    for (const AVSampleFormat* P = ACodec->sample_fmts; *P != AV_SAMPLE_FMT_NONE; ++P)
        if (*P == AEnc->sample_fmt)
            return;
    AEnc->sample_fmt = ACodec->sample_fmts[0];
}

void ChoosePixelFmt(AVCodecContext* AEnc, const AVCodec* ACodec) {
    if (!ACodec || !ACodec->pix_fmts)
        return;
    for (const AVPixelFormat* P = ACodec->pix_fmts; *P != AV_PIX_FMT_NONE; ++P)
        if (*P == AEnc->pix_fmt)
            return;
    if (AEnc->codec_id == AV_CODEC_ID_MJPEG && AEnc->strict_std_compliance < 0 &&
        (AEnc->pix_fmt == AV_PIX_FMT_YUV420P || AEnc->pix_fmt == AV_PIX_FMT_YUV422P))
        return;
    AEnc->pix_fmt = ACodec->pix_fmts[0];
}

// Without a pixel format asked for, an encoder that takes 4:2:0 gets it: players, browsers and
// phones refuse most others (H.264 from a 4:4:4 source would be High 4:4:4 Predictive). Lossless
// encoders keep the source's chroma.
void Prefer420(AVCodecContext* AEnc, const AVCodec* ACodec) {
    if (!ACodec || !ACodec->pix_fmts)
        return;
    const AVCodecDescriptor* Codec = av::avcodec_descriptor_get(ACodec->id);
    if (Codec && (Codec->props & AV_CODEC_PROP_LOSSLESS) && !(Codec->props & AV_CODEC_PROP_LOSSY))
        return;
    const AVPixFmtDescriptor* D = av::av_pix_fmt_desc_get(AEnc->pix_fmt);
    if (D && D->log2_chroma_w == 1 && D->log2_chroma_h == 1 && !(D->flags & AV_PIX_FMT_FLAG_RGB))
        return;
    const bool FullRange = AEnc->pix_fmt == AV_PIX_FMT_YUVJ444P || AEnc->pix_fmt == AV_PIX_FMT_YUVJ422P ||
                           AEnc->pix_fmt == AV_PIX_FMT_YUVJ440P || AEnc->pix_fmt == AV_PIX_FMT_YUVJ411P;
    const AVPixelFormat Wanted[] = {FullRange ? AV_PIX_FMT_YUVJ420P : AV_PIX_FMT_YUV420P, AV_PIX_FMT_YUV420P,
                                    AV_PIX_FMT_YUVJ420P};
    for (AVPixelFormat W : Wanted)
        for (const AVPixelFormat* P = ACodec->pix_fmts; *P != AV_PIX_FMT_NONE; ++P)
            if (*P == W) {
                AEnc->pix_fmt = W;
                return;
            }
}

// A size kept from the source is rounded down to what the pixel format's chroma subsampling needs
// (even for 4:2:0), which the encoders otherwise refuse.
void FitSizeToChroma(AVCodecContext* AEnc) {
    const AVPixFmtDescriptor* D = av::av_pix_fmt_desc_get(AEnc->pix_fmt);
    if (!D)
        return;
    const int W = AEnc->width & ~((1 << D->log2_chroma_w) - 1);
    const int H = AEnc->height & ~((1 << D->log2_chroma_h) - 1);
    if (W > 0 && H > 0) {
        AEnc->width = W;
        AEnc->height = H;
    }
}

// An encoder that takes some channel layouts only gets the source's when it takes it, else the
// closest: the most channels up to the source's (stereo for MP3 from 5.1), or the fewest above it.
void ChooseChannelLayout(AVCodecContext* AEnc, const AVCodec* ACodec) {
    if (!ACodec || !ACodec->ch_layouts)
        return;
    const int Want = AEnc->ch_layout.nb_channels;
    const AVChannelLayout* Best = nullptr;
    for (const AVChannelLayout* L = ACodec->ch_layouts; L->nb_channels; ++L) {
        if (av::av_channel_layout_compare(L, &AEnc->ch_layout) == 0)
            return;
        if (!Best) {
            Best = L;
            continue;
        }
        const bool Under = L->nb_channels <= Want, BestUnder = Best->nb_channels <= Want;
        if (Under != BestUnder ? Under
                               : (Under ? L->nb_channels > Best->nb_channels : L->nb_channels < Best->nb_channels))
            Best = L;
    }
    if (!Best)
        return;
    av::av_channel_layout_uninit(&AEnc->ch_layout);
    av::av_channel_layout_copy(&AEnc->ch_layout, Best);
}

} // namespace

std::string MapEncoderName(const std::string& AName) {
    if (AName == "libfaac")
        return "aac";
    if (AName == "libamr_nb")
        return "libopencore_amrnb";
    return AName;
}

bool TCustomFFmpeg::FindCodec(const std::string& AName, int AMediaType, int& ACodecID, int AStrict, bool AEncoder) {
    if (AName.empty()) {
        ACodecID = AV_CODEC_ID_NONE;
        return true;
    }
    const char16_t* Word = AEncoder ? u"encoder" : u"decoder";
    const AVCodec* Codec = AEncoder ? av::avcodec_find_encoder_by_name(MapEncoderName(AName).c_str())
                                    : av::avcodec_find_decoder_by_name(AName.c_str());
    if (!Codec) {
        FLastErrMsg = Format(u"Unknown %s '%s'", {Word, AName});
        return false;
    }
    if (Codec->type != AMediaType) {
        FLastErrMsg = Format(u"Invalid %s type '%s'", {Word, AName});
        return false;
    }
    if ((Codec->capabilities & AV_CODEC_CAP_EXPERIMENTAL) && AStrict > FF_COMPLIANCE_EXPERIMENTAL) {
        FLastErrMsg = Format(u"%s '%s' is experimental and might produce bad results.\r\nAdd '-strict experimental' if "
                             u"you want to use it.",
                             {Word, Codec->name});
        const AVCodec* Other = AEncoder ? av::avcodec_find_encoder(Codec->id) : av::avcodec_find_decoder(Codec->id);
        if (Other && !(Other->capabilities & AV_CODEC_CAP_EXPERIMENTAL))
            FLastErrMsg += u"\r\n" + Format(u"Or use the non experimental %s '%s'.", {Word, Other->name});
        return false;
    }
    ACodecID = Codec->id;
    return true;
}

// The parameters of raw and device inputs travel as demuxer options now.
AVDictionary* TCustomFFmpeg::InputDemuxerOptions(AVFormatContext* Ic) {
    AVDictionary* Opts = nullptr;
    if (Fframe_rate.num && Fframe_rate.den)
        av::av_dict_set(&Opts, "framerate", A(Format(u"%d/%d", {Fframe_rate.num, Fframe_rate.den})).c_str(), 0);
    av::av_dict_set_int(&Opts, "sample_rate", Faudio_sample_rate, 0);
    av::av_dict_set_int(&Opts, "channels", Faudio_channels, 0);
    if (Fframe_width && Fframe_height)
        av::av_dict_set(&Opts, "video_size", A(Format(u"%dx%d", {Fframe_width, Fframe_height})).c_str(), 0);
    if (Fframe_pix_fmt >= 0)
        av::av_dict_set(&Opts, "pixel_format", av::av_get_pix_fmt_name(AVPixelFormat(Fframe_pix_fmt)), 0);
    if (Fvideo_channel)
        av::av_dict_set_int(&Opts, "channel", Fvideo_channel, 0);
    if (!Fvideo_standard.empty())
        av::av_dict_set(&Opts, "standard", Fvideo_standard.c_str(), 0);
    ApplyFormatOptions(Ic, &Opts, AV_OPT_FLAG_DECODING_PARAM);
    return Opts;
}

// The decoders forced by name for the next input; False (with LastErrMsg) for a name none knows.
bool TCustomFFmpeg::ForceInputCodecs(AVFormatContext* Ic) {
    int Id = 0;
    const int Strict = int(NamedOptionInt("strict", AVMEDIA_TYPE_VIDEO));
    if (!FindCodec(Fvideo_codec_name, AVMEDIA_TYPE_VIDEO, Id, Strict, false))
        return false;
    Ic->video_codec_id = AVCodecID(Id);
    if (!FindCodec(Faudio_codec_name, AVMEDIA_TYPE_AUDIO, Id, Strict, false))
        return false;
    Ic->audio_codec_id = AVCodecID(Id);
    if (!FindCodec(Fsubtitle_codec_name, AVMEDIA_TYPE_SUBTITLE, Id, Strict, false))
        return false;
    Ic->subtitle_codec_id = AVCodecID(Id);
    return true;
}

// With a program id, only that program's streams are read; False when the input has no such program.
bool TCustomFFmpeg::SelectProgram(AVFormatContext* Ic) {
    if (!Fopt_programid)
        return true;
    bool Found = false;
    for (unsigned I = 0; I < Ic->nb_streams; ++I)
        Ic->streams[I]->discard = AVDISCARD_ALL;
    for (unsigned I = 0; I < Ic->nb_programs; ++I) {
        AVProgram* P = Ic->programs[I];
        if (P->id != Fopt_programid)
            P->discard = AVDISCARD_ALL;
        else {
            Found = true;
            for (unsigned J = 0; J < P->nb_stream_indexes; ++J)
                Ic->streams[P->stream_index[J]]->discard = AVDISCARD_DEFAULT;
        }
    }
    if (!Found)
        return false;
    Fopt_programid = 0;
    return true;
}

// A video stream of the input: its size, aspect, pixel format and rate become the settings the
// outputs start from.
void TCustomFFmpeg::TakeInputVideo(AVStream* St, int I) {
    const AVCodecParameters* Par = St->codecpar;
    Fframe_height = Par->height;
    Fframe_width = Par->width;
    double R = St->sample_aspect_ratio.num                                    ? av_q2d(St->sample_aspect_ratio)
               : Par->sample_aspect_ratio.num && Par->sample_aspect_ratio.den ? av_q2d(Par->sample_aspect_ratio)
                                                                              : 0;
    if (Par->width * Par->height != 0)
        R = R != 0 ? R * Par->width / Par->height : double(Par->width) / Par->height;
    else if (R == 0)
        R = 4.0 / 3.0;
    Fframe_aspect_ratio = float(R);
    Fframe_pix_fmt = Par->format < 0 ? 0 : Par->format;
    const AVRational Rate = St->r_frame_rate;
    if (Fverbose >= 0 && St->avg_frame_rate.num && Rate.num && av_cmp_q(St->avg_frame_rate, Rate) != 0)
        Log(fllInfo, Format(u"Seems stream %d codec frame rate differs from container frame rate: %2.2f "
                            u"(%d/%d) -> %2.2f (%d/%d)",
                            {int(I), av_q2d(St->avg_frame_rate), St->avg_frame_rate.num, St->avg_frame_rate.den,
                             av_q2d(Rate), Rate.num, Rate.den}));
    Fframe_rate = Rate;
    Fframe_size_asked = Fframe_pix_fmt_asked = false;
}

// Every stream of the input: the settings it gives, the decoder forced for it, and whether it is read.
void TCustomFFmpeg::TakeInputStreams(AVFormatContext* Ic) {
    for (unsigned I = 0; I < Ic->nb_streams; ++I) {
        AVStream* St = Ic->streams[I];
        AVCodecParameters* Par = St->codecpar;
        if (Fnb_icodecs >= int(Finput_codecs.size()))
            Finput_codecs.resize(Fnb_icodecs + 1);
        switch (Par->codec_type) {
        case AVMEDIA_TYPE_AUDIO:
            Fchannel_layout = Par->ch_layout.order == AV_CHANNEL_ORDER_NATIVE ? Int64(Par->ch_layout.u.mask) : 0;
            Faudio_channels = Par->ch_layout.nb_channels;
            Faudio_sample_rate = Par->sample_rate;
            Faudio_sample_fmt = Par->format;
            Finput_codecs[Fnb_icodecs++] =
                Faudio_codec_name.empty() ? nullptr : av::avcodec_find_decoder_by_name(Faudio_codec_name.c_str());
            if (Faudio_disable)
                St->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_VIDEO: {
            TakeInputVideo(St, int(I));
            Finput_codecs[Fnb_icodecs++] =
                Fvideo_codec_name.empty() ? nullptr : av::avcodec_find_decoder_by_name(Fvideo_codec_name.c_str());
            if (Fvideo_disable)
                St->discard = AVDISCARD_ALL;
            else if (Fvideo_discard)
                St->discard = AVDiscard(Fvideo_discard);
            break;
        }
        case AVMEDIA_TYPE_SUBTITLE:
            Finput_codecs[Fnb_icodecs++] =
                Fsubtitle_codec_name.empty() ? nullptr : av::avcodec_find_decoder_by_name(Fsubtitle_codec_name.c_str());
            if (Fsubtitle_disable)
                St->discard = AVDISCARD_ALL;
            break;
        case AVMEDIA_TYPE_DATA:
            break;
        case AVMEDIA_TYPE_ATTACHMENT:
        case AVMEDIA_TYPE_UNKNOWN:
            Finput_codecs[Fnb_icodecs++] = nullptr;
            break;
        default:
            Raise(u"invalid codec_type");
        }
    }
}

bool TCustomFFmpeg::OpenInputFile(const String& AFileName) {
    if (Fnb_input_files >= FMaxFiles) {
        FLastErrMsg = Format(u"max input files %d reached", {FMaxFiles});
        return false;
    }
    const AVInputFormat* FileIFormat = nullptr;
    if (!Flast_asked_format.empty()) {
        FileIFormat = av::av_find_input_format(Flast_asked_format.c_str());
        if (!FileIFormat)
            Raise(Format(u"Unknown input format: \"%s\"", {Flast_asked_format}));
        Flast_asked_format.clear();
    }
    AVFormatContext* Ic = av::avformat_alloc_context();
    if (!Ic)
        Raise(u"avformat_alloc_context failed");
    if (FNextInputIO) {
        Ic->pb = FNextInputIO;
        Ic->flags |= AVFMT_FLAG_CUSTOM_IO;
        FNextInputIO = nullptr;
    }
    auto Cleanup = [&]() {
        Fvideo_codec_name.clear();
        Faudio_codec_name.clear();
        Fsubtitle_codec_name.clear();
        Fvideo_channel = 0;
        if (Ic)
            av::avformat_close_input(&Ic);
    };

    AVDictionary* Opts = InputDemuxerOptions(Ic);
    if (!ForceInputCodecs(Ic)) {
        av::av_dict_free(&Opts);
        Cleanup();
        return false;
    }
    Ic->flags |= AVFMT_FLAG_NONBLOCK;
    if (Fpgmyuv_compatibility_hack)
        Ic->video_codec_id = AV_CODEC_ID_PGMYUV;

    const std::string URL = FileNameToUTF8(AFileName);
    int Err = av::avformat_open_input(&Ic, URL.c_str(), FileIFormat, &Opts);
    av::av_dict_free(&Opts);
    if (Err < 0) {
        FLastErrMsg = ErrorText(AFileName, Err);
        Ic = nullptr; // freed by the library
        Cleanup();
        return false;
    }

    if (!SelectProgram(Ic)) {
        FLastErrMsg = u"Specified program id not found";
        Cleanup();
        return false;
    }
    if (Floop_input)
        Log(fllInfo, u"loop_input is not available with this library and is ignored");

    {
        int Ret;
        {
            std::lock_guard Guard(CodecLock);
            Ret = av::avformat_find_stream_info(Ic, nullptr);
        }
        if (Ret < 0 && Fverbose >= 0) {
            FLastErrMsg = Format(u"%s: could not find codec parameters", {AFileName});
            Log(fllVerbose, FLastErrMsg);
            Cleanup();
            return false;
        }
    }

    Int64 Timestamp = Fstart_time;
    if (Ic->start_time != AV_NOPTS_VALUE)
        Timestamp += Ic->start_time;
    if (Fstart_time != 0) {
        if (av::av_seek_frame(Ic, -1, Timestamp, AVSEEK_FLAG_BACKWARD) < 0 && Fverbose > 0)
            Log(fllVerbose,
                Format(u"%s: could not seek to position %0.3f", {AFileName, double(Timestamp) / 1000000.0}));
        Fstart_time = 0;
    }

    try {
        TakeInputStreams(Ic);
    } catch (...) {
        Cleanup();
        throw;
    }

    if (Ic->duration != AV_NOPTS_VALUE && Ic->duration > FTotalOutputDuration)
        FTotalOutputDuration = Ic->duration;
    Finput_files[Fnb_input_files] = Ic;
    Finput_files_ts_offset[Fnb_input_files] = Fcopy_ts ? Finput_ts_offset : Finput_ts_offset - Timestamp;
    if (Fverbose >= 0)
        av::av_dump_format(Ic, Fnb_input_files, URL.c_str(), 0);
    ++Fnb_input_files;
    Ic = nullptr;
    Cleanup();
    return true;
}

void TCustomFFmpeg::check_audio_video_sub_inputs(bool& AHasVideo, bool& AHasAudio, bool AJoin, bool& AHasSubtitle) {
    AHasVideo = AHasAudio = AHasSubtitle = false;
    const int Count = AJoin ? std::min(1, Fnb_input_files) : Fnb_input_files;
    for (int J = 0; J < Count; ++J) {
        AVFormatContext* Ic = Finput_files[J];
        for (unsigned I = 0; I < Ic->nb_streams; ++I) {
            const int T = Ic->streams[I]->codecpar->codec_type;
            if (T < -1 || T > 4)
                Raise(u"invalid codec_type of input file");
            AHasVideo |= T == AVMEDIA_TYPE_VIDEO;
            AHasAudio |= T == AVMEDIA_TYPE_AUDIO;
            AHasSubtitle |= T == AVMEDIA_TYPE_SUBTITLE;
        }
    }
}

AVRational TCustomFFmpeg::DoubleToRational(double d) {
    return av::av_d2q(d, 255);
}

// A new stream of the output file with its encoder context. The encoder is chosen now (by name or
// by the format's guess), since its context takes the encoder's own defaults.
AVStream* TCustomFFmpeg::NewStream(AVFormatContext* oc, AVMediaType AType, std::string& ACodecName, int AStrict) {
    const int FileIndex = Fnb_output_files;
    AVStream* St = av::avformat_new_stream(oc, nullptr);
    if (!St) {
        ACodecName.clear();
        Raise(u"Could not alloc stream");
    }
    if (oc->nb_streams <= MAX_STREAMS && Fstreamid_map[oc->nb_streams - 1])
        St->id = Fstreamid_map[oc->nb_streams - 1];
    auto& Setups = Fstream_setups[FileIndex];
    Setups.resize(oc->nb_streams);
    TOutputStreamSetup& Setup = Setups.back();
    std::string& Bsfs = AType == AVMEDIA_TYPE_VIDEO   ? Fvideo_bitstream_filters
                        : AType == AVMEDIA_TYPE_AUDIO ? Faudio_bitstream_filters
                                                      : Fsubtitle_bitstream_filters;
    Setup.bsfs = Bsfs;
    Bsfs.clear();
    const bool Copy = AType == AVMEDIA_TYPE_VIDEO   ? Fvideo_stream_copy
                      : AType == AVMEDIA_TYPE_AUDIO ? Faudio_stream_copy
                                                    : Fsubtitle_stream_copy;
    Setup.stream_copy = Copy;
    int CodecId = AV_CODEC_ID_NONE;
    if (!Copy) {
        if (!ACodecName.empty()) {
            if (!FindCodec(ACodecName, AType, CodecId, AStrict, true)) {
                ACodecName.clear();
                Raise(FLastErrMsg);
            }
            Setup.codec = av::avcodec_find_encoder_by_name(MapEncoderName(ACodecName).c_str());
        } else if (AType != AVMEDIA_TYPE_SUBTITLE)
            CodecId = av::av_guess_codec(oc->oformat, nullptr, oc->url, nullptr, AType);
        else
            CodecId = oc->oformat->subtitle_codec;
    }
    // MPEG program streams take no AAC: such a job gets MP2, so it still makes a playable file.
    if (AType == AVMEDIA_TYPE_AUDIO && CodecId == AV_CODEC_ID_AAC && oc->oformat->name &&
        (!strcmp(oc->oformat->name, "vcd") || !strcmp(oc->oformat->name, "svcd") || !strcmp(oc->oformat->name, "dvd") ||
         !strcmp(oc->oformat->name, "vob") || !strcmp(oc->oformat->name, "mpeg"))) {
        Log(fllWarning, Format(u"The %s format takes no AAC audio: MP2 is encoded instead", {oc->oformat->name}));
        CodecId = AV_CODEC_ID_MP2;
        Setup.codec = nullptr;
    }
    const AVCodec* Encoder = Setup.codec ? Setup.codec
                             : CodecId   ? av::avcodec_find_encoder(AVCodecID(CodecId))
                                         : nullptr;
    Setup.enc = av::avcodec_alloc_context3(Copy ? nullptr : Encoder);
    if (!Setup.enc)
        Raise(u"Could not alloc stream");
    Setup.enc->codec_type = AType;
    Setup.enc->codec_id = AVCodecID(CodecId);
    Setup.enc->thread_count = Fthread_count;
    ACodecName.clear();
    return St;
}

void TCustomFFmpeg::new_video_stream(AVFormatContext* oc) {
    const int Strict = int(NamedOptionInt("strict", AVMEDIA_TYPE_VIDEO));
    AVStream* St = NewStream(oc, AVMEDIA_TYPE_VIDEO, Fvideo_codec_name, Strict);
    TOutputStreamSetup& Setup = Fstream_setups[Fnb_output_files].back();
    AVCodecContext* Enc = Setup.enc;
    if (Fvideo_codec_tag)
        Enc->codec_tag = Fvideo_codec_tag;
    if ((Fvideo_global_header & 1) || (Fvideo_global_header == 0 && (oc->oformat->flags & AVFMT_GLOBALHEADER)))
        Enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (Fvideo_global_header & 2)
        Log(fllInfo, u"vglobal 2 (local headers) is not available with this library and is ignored");
    const double Aspect = Fframe_width != 0 && Fframe_height != 0
                              ? double(Fframe_aspect_ratio) * Fframe_height / Fframe_width
                              : double(Fframe_aspect_ratio) * 3 / 4;
    if (Setup.stream_copy) {
        St->sample_aspect_ratio = Enc->sample_aspect_ratio = DoubleToRational(Aspect);
    } else {
        const AVCodec* Codec = Setup.codec ? Setup.codec : av::avcodec_find_encoder(Enc->codec_id);
        AVRational Fps = Fframe_rate.num ? Fframe_rate : AVRational{25, 1};
        ApplyCodecOptions(Enc, &Setup.opts, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_VIDEO_PARAM);
        if (Codec && Codec->supported_framerates && !Fforce_fps)
            Fps = Codec->supported_framerates[av::av_find_nearest_q_idx(Fps, Codec->supported_framerates)];
        Enc->time_base = AVRational{Fps.den, Fps.num};
        Enc->framerate = Fps;
        Enc->width = Fframe_width;
        Enc->height = Fframe_height;
        Enc->sample_aspect_ratio = DoubleToRational(Aspect);
        Enc->pix_fmt = AVPixelFormat(Fframe_pix_fmt);
        St->sample_aspect_ratio = Enc->sample_aspect_ratio;
        ChoosePixelFmt(Enc, Codec);
        if (!Fframe_pix_fmt_asked)
            Prefer420(Enc, Codec);
        if (!Fframe_size_asked)
            FitSizeToChroma(Enc);
        if (Fintra_only)
            Enc->gop_size = 0;
        if (Fvideo_qscale != 0 || Fsame_quality) {
            Enc->flags |= AV_CODEC_FLAG_QSCALE;
            Setup.quality = FF_QP2LAMBDA * Fvideo_qscale;
            Enc->global_quality = int(Setup.quality);
        }
        auto CopyMatrix = [](const std::vector<uint16_t>& M) {
            auto* P = static_cast<uint16_t*>(av::av_malloc(64 * sizeof(uint16_t)));
            if (P)
                memcpy(P, M.data(), 64 * sizeof(uint16_t));
            return P;
        };
        if (!Fintra_matrix.empty())
            Enc->intra_matrix = CopyMatrix(Fintra_matrix);
        if (!Finter_matrix.empty())
            Enc->inter_matrix = CopyMatrix(Finter_matrix);
        // Rate-control overrides: start,end,q entries separated by "/".
        const char* P = Fvideo_rc_override_string.c_str();
        int Count = 0;
        while (*P) {
            int Start, End, Q;
            int N = 0;
            if (sscanf(P, "%d,%d,%d%n", &Start, &End, &Q, &N) != 3)
                Raise(u"error parsing rc_override");
            auto* Ovr = static_cast<RcOverride*>(av::av_realloc(Enc->rc_override, sizeof(RcOverride) * (Count + 1)));
            if (!Ovr)
                Raise(u"error parsing rc_override");
            Enc->rc_override = Ovr;
            Ovr[Count].start_frame = Start;
            Ovr[Count].end_frame = End;
            Ovr[Count].qscale = Q > 0 ? Q : 0;
            Ovr[Count].quality_factor = Q > 0 ? 1.0f : -Q / 100.0f;
            ++Count;
            P += N;
            if (*P == '/')
                ++P;
            else if (*P)
                Raise(u"error parsing rc_override");
        }
        Enc->rc_override_count = Count;
        if (Enc->rc_initial_buffer_occupancy == 0)
            Enc->rc_initial_buffer_occupancy = Enc->rc_buffer_size * 3 / 4;
        if (Fme_threshold)
            Log(fllInfo, u"me_threshold is not available with this library and is ignored");
        Enc->intra_dc_precision = Fintra_dc_precision - 8;
        if (Fdo_psnr)
            Enc->flags |= AV_CODEC_FLAG_PSNR;
        if (Fdo_pass == 1)
            Enc->flags |= AV_CODEC_FLAG_PASS1;
        else if (Fdo_pass)
            Enc->flags |= AV_CODEC_FLAG_PASS2;
    }
    if (!Fvideo_language.empty()) {
        av::av_dict_set(&St->metadata, "language", A(Fvideo_language).c_str(), 0);
        Fvideo_language.clear();
    }
    Fvideo_disable = false;
    Fvideo_stream_copy = 0;
    Fframe_pix_fmt = -1;
    Fframe_size_asked = Fframe_pix_fmt_asked = false;
}

void TCustomFFmpeg::new_audio_stream(AVFormatContext* oc) {
    const int Strict = int(NamedOptionInt("strict", AVMEDIA_TYPE_AUDIO));
    AVStream* St = nullptr;
    try {
        St = NewStream(oc, AVMEDIA_TYPE_AUDIO, Faudio_codec_name, Strict);
    } catch (...) {
        Faudio_language.clear();
        throw;
    }
    TOutputStreamSetup& Setup = Fstream_setups[Fnb_output_files].back();
    AVCodecContext* Enc = Setup.enc;
    if (Faudio_codec_tag)
        Enc->codec_tag = Faudio_codec_tag;
    if (oc->oformat->flags & AVFMT_GLOBALHEADER)
        Enc->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (!Setup.stream_copy) {
        const AVCodec* Codec = Setup.codec ? Setup.codec : av::avcodec_find_encoder(Enc->codec_id);
        ApplyCodecOptions(Enc, &Setup.opts, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_AUDIO_PARAM);
        if (Faudio_qscale > -99999) {
            Enc->flags |= AV_CODEC_FLAG_QSCALE;
            Setup.quality = FF_QP2LAMBDA * Faudio_qscale;
            Enc->global_quality = int(Setup.quality);
        }
        av::av_channel_layout_uninit(&Enc->ch_layout);
        AVChannelLayout Layout{};
        if (Fchannel_layout && av::av_channel_layout_from_mask(&Layout, uint64_t(Fchannel_layout)) == 0 &&
            Layout.nb_channels == Faudio_channels)
            Enc->ch_layout = Layout;
        else
            av::av_channel_layout_default(&Enc->ch_layout, Faudio_channels);
        Enc->sample_fmt = AVSampleFormat(Faudio_sample_fmt);
        Enc->sample_rate = Faudio_sample_rate;
        ChooseSampleFmt(Enc, Codec);
        if (Codec && Codec->supported_samplerates) {
            int Best = Codec->supported_samplerates[0];
            for (const int* R = Codec->supported_samplerates; *R; ++R)
                if (std::abs(*R - Enc->sample_rate) < std::abs(Best - Enc->sample_rate))
                    Best = *R;
            if (Best != Enc->sample_rate) {
                Log(fllWarning, Format(u"Requested sampling rate unsupported using closest supported (%d)", {Best}));
                Enc->sample_rate = Best;
            }
        }
        ChooseChannelLayout(Enc, Codec);
        Enc->time_base = AVRational{1, Enc->sample_rate};
    } else {
        av::av_channel_layout_default(&Enc->ch_layout, Faudio_channels);
        Enc->sample_rate = Faudio_sample_rate;
    }
    if (!Faudio_language.empty()) {
        av::av_dict_set(&St->metadata, "language", A(Faudio_language).c_str(), 0);
        Faudio_language.clear();
    }
    Faudio_disable = false;
    Faudio_stream_copy = 0;
}

void TCustomFFmpeg::new_subtitle_stream(AVFormatContext* oc) {
    AVStream* St = nullptr;
    try {
        St = NewStream(oc, AVMEDIA_TYPE_SUBTITLE, Fsubtitle_codec_name,
                       int(NamedOptionInt("strict", AVMEDIA_TYPE_SUBTITLE)));
    } catch (...) {
        Fsubtitle_language.clear();
        throw;
    }
    TOutputStreamSetup& Setup = Fstream_setups[Fnb_output_files].back();
    if (Fsubtitle_codec_tag)
        Setup.enc->codec_tag = Fsubtitle_codec_tag;
    if (!Setup.stream_copy)
        ApplyCodecOptions(Setup.enc, &Setup.opts, AV_OPT_FLAG_ENCODING_PARAM | AV_OPT_FLAG_SUBTITLE_PARAM);
    if (!Fsubtitle_language.empty()) {
        av::av_dict_set(&St->metadata, "language", A(Fsubtitle_language).c_str(), 0);
        Fsubtitle_language.clear();
    }
    Fsubtitle_disable = false;
    Fsubtitle_stream_copy = 0;
}

// A further stream of the last output file; the stream routines number their setup by Fnb_output_files.
void TCustomFFmpeg::NewStreamOfLastFile(void (TCustomFFmpeg::*AMake)(AVFormatContext*)) {
    if (Fnb_output_files <= 0)
        Raise(u"At least one output file must be specified");
    const int Saved = Fnb_output_files;
    Fnb_output_files = Saved - 1;
    try {
        (this->*AMake)(Foutput_files[Saved - 1]);
    } catch (...) {
        Fnb_output_files = Saved;
        throw;
    }
    Fnb_output_files = Saved;
}

void TCustomFFmpeg::OptNewVideoStream() {
    NewStreamOfLastFile(&TCustomFFmpeg::new_video_stream);
}

void TCustomFFmpeg::OptNewAudioStream() {
    NewStreamOfLastFile(&TCustomFFmpeg::new_audio_stream);
}

void TCustomFFmpeg::OptNewSubtitleStream() {
    NewStreamOfLastFile(&TCustomFFmpeg::new_subtitle_stream);
}

void TCustomFFmpeg::SetupJoin() {
    Int64 Total = 0;
    for (int I = 0; I < Fnb_input_files; ++I)
        if (Finput_files[I]->duration != AV_NOPTS_VALUE)
            Total += Finput_files[I]->duration;
    FTotalOutputDuration = Total == 0 ? -1 : Total;
    for (int I = 1; I < Fnb_input_files && Fnb_output_files < FMaxFiles; ++I) {
        Foutput_files[Fnb_output_files] = Foutput_files[Fnb_output_files - 1];
        ++Fnb_output_files;
    }
}

// The output format: the one asked for, else the one the file name suggests; nil with LastErrMsg.
const AVOutputFormat* TCustomFFmpeg::ChooseOutputFormat(const std::string& URL, const String& AFileName) {
    const AVOutputFormat* Fmt = nullptr;
    if (!Flast_asked_format.empty()) {
        Fmt = av::av_guess_format(Flast_asked_format.c_str(), nullptr, nullptr);
        if (!Fmt) {
            FLastErrMsg = Format(u"Requested output format '%s' is not a suitable output format", {Flast_asked_format});
            return nullptr;
        }
        Flast_asked_format.clear();
    } else {
        Fmt = av::av_guess_format(nullptr, URL.c_str(), nullptr);
        if (!Fmt) {
            FLastErrMsg = Format(u"Unable to find a suitable output format for '%s'", {AFileName});
            return nullptr;
        }
    }
    return Fmt;
}

// The first video, audio and subtitle streams of a new output, each where the format, a codec name or
// a stream copy asks for it and the inputs have one; False with LastErrMsg.
bool TCustomFFmpeg::AddOutputStreams(AVFormatContext* oc, bool AJoin) {
    const AVOutputFormat* Fmt = oc->oformat;
    bool UseVideo = Fvideo_stream_copy || Fmt->video_codec != AV_CODEC_ID_NONE || !Fvideo_codec_name.empty();
    bool UseAudio = Faudio_stream_copy || Fmt->audio_codec != AV_CODEC_ID_NONE || !Faudio_codec_name.empty();
    bool UseSubtitle =
        Fsubtitle_stream_copy || Fmt->subtitle_codec != AV_CODEC_ID_NONE || !Fsubtitle_codec_name.empty();
    if (Fnb_input_files > 0) {
        bool HasVideo, HasAudio, HasSubtitle;
        try {
            check_audio_video_sub_inputs(HasVideo, HasAudio, AJoin, HasSubtitle);
        } catch (const Exception& E) {
            FLastErrMsg = Format(u"check_audio_video_sub_inputs fail: %s", {E.Message()});
            return false;
        }
        UseVideo &= HasVideo;
        UseAudio &= HasAudio;
        UseSubtitle &= HasSubtitle;
    }
    UseVideo &= !Fvideo_disable;
    UseAudio &= !Faudio_disable;
    UseSubtitle &= !Fsubtitle_disable;

    Fstream_setups[Fnb_output_files].clear(); // the streams of the file being made
    struct {
        bool Use;
        void (TCustomFFmpeg::*Make)(AVFormatContext*);
        const char16_t* Text;
    } Kinds[] = {{UseVideo, &TCustomFFmpeg::new_video_stream, u"new_video_stream fail: %s"},
                 {UseAudio, &TCustomFFmpeg::new_audio_stream, u"new_audio_stream fail: %s"},
                 {UseSubtitle, &TCustomFFmpeg::new_subtitle_stream, u"new_subtitle_stream fail: %s"}};
    for (auto& K : Kinds) {
        if (!K.Use)
            continue;
        try {
            (this->*K.Make)(oc);
        } catch (const Exception& E) {
            FLastErrMsg = Format(K.Text, {E.Message()});
            return false;
        }
    }

    return true;
}

// The recording time stamp and the metadata pairs collected for the output.
void TCustomFFmpeg::SetOutputMetadata(AVFormatContext* oc) {
    if (Frecording_timestamp) {
        // The recording time stamp is the "creation_time" entry now.
        const std::time_t T = std::time_t(Frecording_timestamp);
        std::tm Tm{};
        gmtime_r(&T, &Tm);
        char Buf[32];
        strftime(Buf, sizeof Buf, "%Y-%m-%dT%H:%M:%S.000000Z", &Tm);
        av::av_dict_set(&oc->metadata, "creation_time", Buf, 0);
    }
    for (auto It = Fmetadata.rbegin(); It != Fmetadata.rend(); ++It)
        av::av_dict_set(&oc->metadata, It->first.c_str(), It->second.c_str(), 0);
    Fmetadata.clear();
}

// Settings of the muxer: its named options, the delay and preload of the interleaving.
void TCustomFFmpeg::SetupMuxer(AVFormatContext* oc, int Index) {
    const AVOutputFormat* Fmt = oc->oformat;
    ApplyFormatOptions(oc, &Fmuxer_opts[Index], AV_OPT_FLAG_ENCODING_PARAM);
    oc->max_delay = int(Fmux_max_delay * 1000000);
    if (Fmt->priv_class) {
        const AVClass* PC = Fmt->priv_class;
        if (av::av_opt_find(&PC, "preload", nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ) &&
            !av::av_dict_get(Fmuxer_opts[Index], "preload", nullptr, 0))
            av::av_dict_set_int(&Fmuxer_opts[Index], "preload", Int64(Fmux_preload * 1000000), 0);
    }
    if (Floop_output != -1)
        Log(fllInfo, u"loop_output is not available with this library and is ignored");
    oc->flags |= AVFMT_FLAG_NONBLOCK;
}

// Where the output writes. A missing file is created now, so that its name is taken at once; an
// existing one is emptied only when the run starts, so a task removed unrun leaves it as it was.
bool TCustomFFmpeg::OpenOutputIO(AVFormatContext* oc, const String& AFileName, int Index) {
    if (oc->oformat->flags & AVFMT_NOFILE)
        return true;
    if (FNextOutputIO) {
        oc->pb = FNextOutputIO;
        oc->flags |= AVFMT_FLAG_CUSTOM_IO;
        FNextOutputIO = nullptr;
    } else if (FileExists(AFileName) && !DirectoryExists(AFileName)) {
        if (access(FileNameToUTF8(AFileName).c_str(), W_OK) != 0) {
            FLastErrMsg = ErrorText(AFileName, AVERROR(errno));
            return false;
        }
    } else {
        const int Err = av::avio_open(&oc->pb, oc->url, AVIO_FLAG_WRITE);
        if (Err < 0) {
            FLastErrMsg = ErrorText(AFileName, Err);
            return false;
        }
        Foutput_owned[Index] = true;
    }
    return true;
}

int TCustomFFmpeg::OpenOutputFile(const String& AFileName, bool AJoin) {
    if (FJoinMode) {
        FLastErrMsg = u"Cannot join more than one output file.";
        return -1;
    }
    if (Fnb_output_files >= FMaxFiles) {
        FLastErrMsg = Format(u"max output files %d reached", {FMaxFiles});
        return -1;
    }
    FEnableFilter = !Fvfilters.empty();
    AVFormatContext* oc = av::avformat_alloc_context();
    if (!oc)
        Raise(u"avformat_alloc_context failed");
    const int Index = Fnb_output_files;
    bool Registered = false;
    auto Fail = [&]() {
        for (TOutputStreamSetup& S : Fstream_setups[Index]) {
            av::avcodec_free_context(&S.enc);
            av::av_dict_free(&S.opts);
        }
        Fstream_setups[Index].clear();
        av::av_dict_free(&Fmuxer_opts[Index]);
        if (oc->pb && !(oc->flags & AVFMT_FLAG_CUSTOM_IO))
            av::avio_closep(&oc->pb);
        av::avformat_free_context(oc);
        if (Registered) {
            --Fnb_output_files;
            Foutput_files[Fnb_output_files] = nullptr;
        }
        return -1;
    };
    const std::string URL = FileNameToUTF8(AFileName);
    const AVOutputFormat* Fmt = ChooseOutputFormat(URL, AFileName);
    if (!Fmt)
        return Fail();
    oc->oformat = Fmt;
    oc->url = av::av_strdup(URL.c_str());
    if (!AddOutputStreams(oc, AJoin))
        return Fail();
    SetOutputMetadata(oc);
    Foutput_files[Fnb_output_files++] = oc;
    Registered = true;
    if ((Fmt->flags & AVFMT_NEEDNUMBER) && !av::av_filename_number_test(oc->url)) {
        FLastErrMsg = AFileName + u": Number syntax expected in filename";
        return Fail();
    }
    SetupMuxer(oc, Index);
    if (!OpenOutputIO(oc, AFileName, Index))
        return Fail();
    std::fill(std::begin(Fstreamid_map), std::end(Fstreamid_map), 0);
    if (AJoin && Fnb_input_files >= 2) {
        FJoinMode = true;
        SetupJoin();
    }
    return Fnb_output_files;
}

void TCustomFFmpeg::OpenPendingOutputs() {
    const int Outputs = FJoinMode ? std::min(1, Fnb_output_files) : Fnb_output_files;
    for (int I = 0; I < Outputs; ++I) {
        AVFormatContext* oc = Foutput_files[I];
        if (oc->pb || (oc->oformat->flags & AVFMT_NOFILE))
            continue;
        const int Err = av::avio_open(&oc->pb, oc->url, AVIO_FLAG_WRITE);
        if (Err < 0)
            Raise(ErrorText(UTF8ToString(oc->url), Err));
        Foutput_owned[I] = true;
    }
}
