// Per-stream setup before a run: stream copy or encoding, the video filter graph, two-pass log files.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegHelpers.h"
#include "engine/FFmpegStreams.h"

#include <cstring>

void TCustomFFmpeg::OpenPassLogFile(int i, TAVOutputStream& ost) {
    const std::string Name =
        (Fpass_logfilename_prefix.empty() ? std::string("ffmpeg2pass") : Fpass_logfilename_prefix) + "-" +
        std::to_string(i) + ".log";
    const AVCodec* Codec = ost.setup->codec ? ost.setup->codec : av::avcodec_find_encoder(ost.enc->codec_id);
    // x264 keeps its own statistics file under that name.
    if (Codec && !strcmp(Codec->name, "libx264")) {
        av::av_dict_set(&ost.setup->opts, "stats", Name.c_str(), 0);
        return;
    }
    if (ost.enc->flags & AV_CODEC_FLAG_PASS1) {
        ost.logfile = fopen(Name.c_str(), "wb");
        if (!ost.logfile)
            Raise(Format(u"Cannot write log file %s for pass-1 encoding", {Name}));
    } else {
        FILE* F = fopen(Name.c_str(), "rb");
        if (!F)
            Raise(Format(u"Cannot read file: Error reading log file \"%s\" for pass-2 encoding", {Name}));
        fseek(F, 0, SEEK_END);
        const long Size = ftell(F);
        fseek(F, 0, SEEK_SET);
        char* Buf = Size >= 0 ? static_cast<char*>(av::av_malloc(size_t(Size) + 1)) : nullptr;
        if (!Buf) {
            fclose(F);
            Raise(Format(u"Could not allocate file buffer: Error reading log file \"%s\" for pass-2 encoding", {Name}));
        }
        const size_t Read = fread(Buf, 1, size_t(Size), F);
        fclose(F);
        if (Read != size_t(Size)) {
            av::av_free(Buf);
            Raise(Format(u"Cannot read file: Error reading log file \"%s\" for pass-2 encoding", {Name}));
        }
        Buf[Size] = 0;
        ost.enc->stats_in = Buf;
    }
}

void TCustomFFmpeg::SetupStreamCopy(TAVOutputStream& ost, TAVInputStream& ist) {
    AVCodecParameters* In = ist.st->codecpar;
    if (In->extradata_size > INT32_MAX - 8)
        Raise(u"icodec.extradata_size is invalid (too large)");
    AVCodecParameters* Out = ost.st->codecpar;
    if (av::avcodec_parameters_copy(Out, In) < 0)
        Raise(u"av_mallocz fail");
    // Keep the source's tag only where the output format knows it for the same codec.
    const AVOutputFormat* Fmt = Foutput_files[ost.file_index]->oformat;
    unsigned Tag = 0;
    if (!Fmt->codec_tag || av::av_codec_get_id(Fmt->codec_tag, In->codec_tag) == In->codec_id ||
        !av::av_codec_get_tag2(Fmt->codec_tag, In->codec_id, &Tag))
        Out->codec_tag = In->codec_tag;
    else
        Out->codec_tag = 0;
    ost.st->time_base = ist.st->time_base;
    switch (In->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        if (Faudio_volume != 256)
            Raise(u"-acodec copy and -vol are incompatible (frames are not decoded)");
        if ((In->codec_id == AV_CODEC_ID_MP3 && In->block_align == 1) || In->codec_id == AV_CODEC_ID_AC3)
            Out->block_align = 0;
        break;
    case AVMEDIA_TYPE_VIDEO:
        if (OnCustomHook)
            Raise(u"-vcodec copy and CustomHook are incompatible (frames are not decoded)");
        if (Fusing_vhook)
            Raise(u"-vcodec copy and -vhook are incompatible (frames are not decoded)");
        if (FPostHooks)
            Raise(u"-vcodec copy and PostHooks are incompatible (frames are not decoded)");
        ost.st->sample_aspect_ratio = ist.st->sample_aspect_ratio;
        ost.st->avg_frame_rate = ist.st->avg_frame_rate;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        break;
    default:
        Raise(u"invalid codec_type of output stream");
    }
}

int TCustomFFmpeg::ConfigureFilters(TAVInputStream& ist, TAVOutputStream& ost, const AVFrame* AFrame) {
    const AVCodecParameters* Par = ist.st->codecpar;
    const int W = AFrame ? AFrame->width : Par->width;
    const int H = AFrame ? AFrame->height : Par->height;
    const int Fmt = AFrame ? AFrame->format : Par->format;
    AVRational Sar = AFrame ? AFrame->sample_aspect_ratio : Par->sample_aspect_ratio;
    if (!Sar.num || !Sar.den)
        Sar = AVRational{0, 1};
    av::avfilter_graph_free(&ost.graph);
    ost.graph = av::avfilter_graph_alloc();
    if (!ost.graph || W <= 0 || H <= 0 || Fmt < 0)
        return -1;
    char Args[256];
    snprintf(Args, sizeof Args, "video_size=%dx%d:pix_fmt=%d:time_base=1/%d:pixel_aspect=%d/%d", W, H, Fmt,
             AV_TIME_BASE, Sar.num, Sar.den);
    if (av::avfilter_graph_create_filter(&ost.src, av::avfilter_get_by_name("buffer"), "src", Args, nullptr,
                                         ost.graph) < 0)
        return -1;
    if (av::avfilter_graph_create_filter(&ost.sink, av::avfilter_get_by_name("buffersink"), "out", nullptr, nullptr,
                                         ost.graph) < 0)
        return -1;
    AVFilterContext* Last = ost.src;
    auto Add = [&](const char* AFilter, const char* AName, const char* AArgs) {
        AVFilterContext* F = nullptr;
        if (av::avfilter_graph_create_filter(&F, av::avfilter_get_by_name(AFilter), AName, AArgs, nullptr, ost.graph) <
                0 ||
            av::avfilter_link(Last, 0, F, 0) < 0)
            return false;
        Last = F;
        return true;
    };
    // Deinterlacing works on whole decoded pictures, before any crop or scale.
    if (Fdo_deinterlace && !Add("yadif", "deinterlace", "mode=send_frame"))
        return -1;
    int CW = W, CH = H;
    if (ost.video_crop) {
        CW = W - ost.leftBand - ost.rightBand;
        CH = H - ost.topBand - ost.bottomBand;
        snprintf(Args, sizeof Args, "w=%d:h=%d:x=%d:y=%d", CW, CH, ost.leftBand, ost.topBand);
        if (!Add("crop", "crop", Args))
            return -1;
    }
    snprintf(Args, sizeof Args, "flags=0x%X", Fsws_flags);
    ost.graph->scale_sws_opts = av::av_strdup(Args);
    if (ost.enc->width != CW || ost.enc->height != CH) {
        snprintf(Args, sizeof Args, "w=%d:h=%d", ost.enc->width, ost.enc->height);
        if (!Add("scale", "scale", Args))
            return -1;
    }
    AVFilterContext* Format = nullptr;
    snprintf(Args, sizeof Args, "pix_fmts=%s", av::av_get_pix_fmt_name(ost.enc->pix_fmt));
    if (av::avfilter_graph_create_filter(&Format, av::avfilter_get_by_name("format"), "format", Args, nullptr,
                                         ost.graph) < 0 ||
        av::avfilter_link(Format, 0, ost.sink, 0) < 0)
        return -1;
    if (!Fvfilters.empty()) {
        AVFilterInOut* Outputs = av::avfilter_inout_alloc();
        AVFilterInOut* Inputs = av::avfilter_inout_alloc();
        if (!Outputs || !Inputs) {
            av::avfilter_inout_free(&Outputs);
            av::avfilter_inout_free(&Inputs);
            return -1;
        }
        Outputs->name = av::av_strdup("in");
        Outputs->filter_ctx = Last;
        Outputs->pad_idx = 0;
        Inputs->name = av::av_strdup("out");
        Inputs->filter_ctx = Format;
        Inputs->pad_idx = 0;
        const int Res =
            av::avfilter_graph_parse_ptr(ost.graph, UTF8Encode(Fvfilters).c_str(), &Inputs, &Outputs, nullptr);
        av::avfilter_inout_free(&Outputs);
        av::avfilter_inout_free(&Inputs);
        if (Res < 0)
            return -1;
    } else if (av::avfilter_link(Last, 0, Format, 0) < 0)
        return -1;
    if (av::avfilter_graph_config(ost.graph, nullptr) < 0)
        return -1;
    if (!ost.opened) {
        ost.enc->width = av::av_buffersink_get_w(ost.sink);
        ost.enc->height = av::av_buffersink_get_h(ost.sink);
    }
    ost.resample_width = W;
    ost.resample_height = H;
    ost.resample_pix_fmt = Fmt;
    return 0;
}

void TCustomFFmpeg::SetupEncoding(int i, TAVOutputStream& ost, TAVInputStream& ist) {
    AVCodecContext* Enc = ost.enc;
    switch (Enc->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        ost.fifo = nullptr; // made when the encoder is open and its format final
        ost.audio_resample = Enc->sample_rate != ist.st->codecpar->sample_rate || Faudio_sync_method > 1;
        ist.decoding_needed = 1;
        ost.encoding_needed = 1;
        break;
    case AVMEDIA_TYPE_VIDEO:
        if (Enc->pix_fmt == AV_PIX_FMT_NONE)
            Raise(u"Video pixel format is unknown, stream cannot be encoded");
        ost.video_crop = Fframe_topBand || Fframe_bottomBand || Fframe_leftBand || Fframe_rightBand;
        if (ost.video_crop) {
            ost.topBand = ost.original_topBand = Fframe_topBand;
            ost.bottomBand = ost.original_bottomBand = Fframe_bottomBand;
            ost.leftBand = ost.original_leftBand = Fframe_leftBand;
            ost.rightBand = ost.original_rightBand = Fframe_rightBand;
        }
        ost.original_width = ist.st->codecpar->width;
        ost.original_height = ist.st->codecpar->height;
        ist.decoding_needed = 1;
        ost.encoding_needed = 1;
        if (ConfigureFilters(ist, ost, nullptr) < 0)
            Raise(u"Error opening filters!");
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        ist.decoding_needed = 1;
        ost.encoding_needed = 1;
        break;
    default:
        Raise(u"invalid codec_type of output stream");
    }
    if (Enc->flags & (AV_CODEC_FLAG_PASS1 | AV_CODEC_FLAG_PASS2))
        OpenPassLogFile(i, ost);
}
