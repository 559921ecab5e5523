// The transcoding loop: stream mapping, decoding, the video filter graph, audio resampling and
// synchronisation, encoding, stream copy, writing and progress reports.
#include "engine/FFmpeg.h"

#include "engine/FFmpegLoader.h"
#include "engine/FFmpegStreams.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

[[noreturn]] void Raise(const String& AText) {
    throw FFmpegException(AText);
}

Int64 NowUs() {
    return av::av_gettime_relative();
}

String TypeName(int AType) {
    switch (AType) {
    case AVMEDIA_TYPE_VIDEO:
        return u"Video";
    case AVMEDIA_TYPE_AUDIO:
        return u"Audio";
    case AVMEDIA_TYPE_DATA:
        return u"Data";
    case AVMEDIA_TYPE_SUBTITLE:
        return u"Subtitle";
    case AVMEDIA_TYPE_ATTACHMENT:
        return u"Attachment";
    default:
        return u"Unknown";
    }
}

// Peak signal-to-noise ratio of a normalised squared error; a perfect picture gives infinity.
double Psnr(double ANormalisedError) {
    return -10.0 * std::log10(ANormalisedError);
}

} // namespace

void TCustomFFmpeg::CloseCodecs() {
    // Codecs belong to the run's tables; a failure in the middle leaves them to be freed here.
    FreeTables();
}

void TCustomFFmpeg::FreeTables() {
    for (auto& Ost : Fost_table)
        if (Ost && Ost->opened) {
            std::lock_guard Guard(CodecLock);
            Ost->opened = false;
        }
    Fost_table.clear();
    for (auto& Ist : Fist_table)
        if (Ist && Ist->dec) {
            std::lock_guard Guard(CodecLock);
            av::avcodec_free_context(&Ist->dec);
        }
    Fist_table.clear();
    Ffile_table.clear();
}

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

void TCustomFFmpeg::Transcode() {
    const int nb_ofiles = FJoinMode ? std::min(1, Fnb_output_files) : Fnb_output_files;
    std::vector<bool> HeaderWritten(nb_ofiles, false);
    bool TrailersWritten = false;
    auto DumpOutputs = [&]() {
        for (int I = 0; I < nb_ofiles; ++I)
            av::av_dump_format(Foutput_files[I], I, Foutput_files[I]->url, 1);
    };
    auto Fail = [&](const String& AText, bool ADump, bool ALog) {
        if (ADump)
            DumpOutputs();
        if (ALog)
            Log(fllError, AText);
        Raise(AText);
    };
    try {
        // 1. Input tables.
        Ffile_table.assign(Fnb_input_files, TAVInputFile{});
        int nb_istreams = 0;
        for (int I = 0; I < Fnb_input_files; ++I) {
            Ffile_table[I].ist_index = nb_istreams;
            Ffile_table[I].nb_streams = int(Finput_files[I]->nb_streams);
            nb_istreams += Ffile_table[I].nb_streams;
        }
        Fist_table.clear();
        for (int I = 0; I < Fnb_input_files; ++I)
            for (int J = 0; J < Ffile_table[I].nb_streams; ++J) {
                auto Ist = std::make_unique<TAVInputStream>();
                Ist->st = Finput_files[I]->streams[J];
                Ist->file_index = I;
                Ist->index = J;
                if (Frate_emu)
                    Ist->start = NowUs();
                Fist_table.push_back(std::move(Ist));
            }

        // 2. Output streams.
        int nb_ostreams = 0;
        for (int I = 0; I < nb_ofiles; ++I) {
            if (Foutput_files[I]->nb_streams == 0) {
                av::av_dump_format(Foutput_files[I], I, Foutput_files[I]->url, 1);
                Raise(Format(u"Output file #%d does not contain any stream", {I}));
            }
            nb_ostreams += int(Foutput_files[I]->nb_streams);
        }
        if (!Fstream_maps.empty() && int(Fstream_maps.size()) != nb_ostreams)
            Raise(u"Number of stream maps must match number of output streams");
        for (const TAVStreamMap& M : Fstream_maps) {
            if (M.file_index < 0 || M.file_index >= Fnb_input_files || M.stream_index < 0 ||
                M.stream_index >= Ffile_table[M.file_index].nb_streams)
                Raise(Format(u"Could not find input stream #%d.%d", {M.file_index, M.stream_index}));
            if (M.sync_file_index < 0 || M.sync_file_index >= Fnb_input_files || M.sync_stream_index < 0 ||
                M.sync_stream_index >= Ffile_table[M.sync_file_index].nb_streams)
                Raise(Format(u"Could not find sync stream #%d.%d", {M.sync_file_index, M.sync_stream_index}));
        }

        // 3. Mapping.
        Fost_table.clear();
        int n = 0;
        auto StreamType = [](AVStream* S) { return int(S->codecpar->codec_type); };
        for (int K = 0; K < nb_ofiles; ++K) {
            AVFormatContext* Os = Foutput_files[K];
            for (unsigned I = 0; I < Os->nb_streams; ++I, ++n) {
                auto OstP = std::make_unique<TAVOutputStream>();
                TAVOutputStream& Ost = *OstP;
                Ost.file_index = K;
                Ost.index = int(I);
                Ost.st = Os->streams[I];
                Ost.setup = &Fstream_setups[K][I];
                Ost.enc = Ost.setup->enc;
                const int OType = Ost.enc->codec_type;
                if (!Fstream_maps.empty()) {
                    const TAVStreamMap& M = Fstream_maps[n];
                    Ost.source_index = Ffile_table[M.file_index].ist_index + M.stream_index;
                    TAVInputStream& Src = *Fist_table[Ost.source_index];
                    if (StreamType(Src.st) != OType) {
                        DumpOutputs();
                        Raise(Format(
                            u"Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)",
                            {M.file_index, M.stream_index, TypeName(StreamType(Src.st)), K, int(I), TypeName(OType)}));
                    }
                    Ost.sync_ist = Fist_table[Ffile_table[M.sync_file_index].ist_index + M.sync_stream_index].get();
                } else {
                    auto Choose = [&](int AFile) {
                        int Found = -1, BestFrames = -1;
                        for (int J = 0; J < nb_istreams; ++J) {
                            TAVInputStream& Ist = *Fist_table[J];
                            if (!Ist.discard || Ist.st->discard == AVDISCARD_ALL || StreamType(Ist.st) != OType)
                                continue;
                            if (AFile >= 0 && Ist.file_index != AFile)
                                continue;
                            // The container's frame count stands for what probing saw.
                            const int Frames = int(Ist.st->nb_frames);
                            if (Frames > BestFrames) {
                                BestFrames = Frames;
                                Found = J;
                            }
                        }
                        return Found;
                    };
                    int Found;
                    if (FJoinMode) {
                        for (int F = 0; F < Fnb_input_files; ++F) {
                            const int S = Choose(F);
                            Ost.join_sources.push_back(S);
                            if (S >= 0)
                                Fist_table[S]->discard = 0;
                        }
                        Found = Ost.join_sources[0];
                    } else {
                        Found = Choose(-1);
                        if (Found < 0) {
                            for (int J = 0; J < nb_istreams; ++J) {
                                TAVInputStream& Ist = *Fist_table[J];
                                if (StreamType(Ist.st) == OType && Ist.st->discard != AVDISCARD_ALL)
                                    Found = J;
                            }
                        }
                    }
                    if (Found < 0) {
                        DumpOutputs();
                        Raise(Format(u"Could not find input stream matching output stream #%d.%d (%s)",
                                     {K, int(I), TypeName(OType)}));
                    }
                    Ost.source_index = Found;
                    Ost.sync_ist = Fist_table[Found].get();
                }
                Fist_table[Ost.source_index]->discard = 0;
                Fost_table.push_back(std::move(OstP));
            }
        }

        // 4. Per output stream: metadata, then copy or encoding.
        for (size_t I = 0; I < Fost_table.size(); ++I) {
            TAVOutputStream& Ost = *Fost_table[I];
            TAVInputStream& Ist = *Fist_table[Ost.source_index];
            av::av_dict_copy(&Ost.st->metadata, Ist.st->metadata, AV_DICT_DONT_OVERWRITE);
            Ost.st->disposition = Ist.st->disposition;
            Ost.pkt = av::av_packet_alloc();
            if (Ost.setup->stream_copy)
                SetupStreamCopy(Ost, Ist);
            else
                SetupEncoding(int(I), Ost, Ist);
            // Join mode: the sources in the later inputs are decoded like the first.
            for (int S : Ost.join_sources)
                if (S >= 0 && Ost.encoding_needed)
                    Fist_table[S]->decoding_needed = 1;
        }

        // Decoders (before the encoders, so subtitle encoders can take the decoder's header).
        for (size_t J = 0; J < Fist_table.size(); ++J) {
            TAVInputStream& Ist = *Fist_table[J];
            if (!Ist.decoding_needed)
                continue;
            const AVCodec* Codec = int(J) < Fnb_icodecs && Finput_codecs[J]
                                       ? Finput_codecs[J]
                                       : av::avcodec_find_decoder(Ist.st->codecpar->codec_id);
            if (!Codec)
                Fail(Format(u"Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                            {int(Ist.st->codecpar->codec_id), Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))}),
                     true, true);
            Ist.dec = av::avcodec_alloc_context3(Codec);
            if (!Ist.dec || av::avcodec_parameters_to_context(Ist.dec, Ist.st->codecpar) < 0)
                Raise(u"av_mallocz fail");
            Ist.dec->pkt_timebase = Ist.st->time_base;
            Ist.dec->thread_count = Fthread_count;
            int Res;
            {
                std::lock_guard Guard(CodecLock);
                Res = av::avcodec_open2(Ist.dec, Codec, nullptr);
            }
            if (Res < 0)
                Fail(Format(u"Error while opening decoder for input stream #%d.%d (%s)",
                            {Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))}),
                     true, true);
            Ist.frame = av::av_frame_alloc();
        }

        // Encoders.
        for (size_t I = 0; I < Fost_table.size(); ++I) {
            TAVOutputStream& Ost = *Fost_table[I];
            AVFormatContext* Oc = Foutput_files[Ost.file_index];
            AVCodecContext* Enc = Ost.enc;
            if (Ost.encoding_needed) {
                const AVCodec* Codec = Ost.setup->codec ? Ost.setup->codec : av::avcodec_find_encoder(Enc->codec_id);
                if (!Codec)
                    Fail(Format(u"Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                                {int(Enc->codec_id), Ost.file_index, Ost.index, TypeName(Enc->codec_type)}),
                         true, true);
                TAVInputStream& Ist = *Fist_table[Ost.source_index];
                if (Enc->codec_type == AVMEDIA_TYPE_SUBTITLE && Ist.dec && Ist.dec->subtitle_header) {
                    Enc->subtitle_header = static_cast<uint8_t*>(av::av_mallocz(Ist.dec->subtitle_header_size + 1));
                    if (Enc->subtitle_header) {
                        memcpy(Enc->subtitle_header, Ist.dec->subtitle_header, Ist.dec->subtitle_header_size);
                        Enc->subtitle_header_size = Ist.dec->subtitle_header_size;
                    }
                    Enc->time_base = AVRational{1, 1000};
                }
                // The encoder's own options: only those its class knows.
                AVDictionary* Opts = nullptr;
                const AVDictionaryEntry* E = nullptr;
                while ((E = av::av_dict_get(Ost.setup->opts, "", E, AV_DICT_IGNORE_SUFFIX)))
                    if (Codec->priv_class && av::av_opt_find(const_cast<const AVClass**>(&Codec->priv_class), E->key,
                                                             nullptr, 0, AV_OPT_SEARCH_FAKE_OBJ))
                        av::av_dict_set(&Opts, E->key, E->value, 0);
                int Res;
                {
                    std::lock_guard Guard(CodecLock);
                    Res = av::avcodec_open2(Enc, Codec, &Opts);
                }
                av::av_dict_free(&Opts);
                if (Res < 0)
                    Fail(Format(u"Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect "
                                u"parameters such as bit_rate, rate, width or height. Please check error log message "
                                u"to find out more detail information.",
                                {Ost.file_index, Ost.index, TypeName(Enc->codec_type)}),
                         true, true);
                Ost.opened = true;
                Fextra_size += Enc->extradata_size;
                if (av::avcodec_parameters_from_context(Ost.st->codecpar, Enc) < 0)
                    Raise(u"av_mallocz fail");
                Ost.st->time_base = Enc->time_base;
                if (Enc->codec_type == AVMEDIA_TYPE_VIDEO) {
                    Ost.st->avg_frame_rate = Enc->framerate;
                    Ost.filtered = av::av_frame_alloc();
                } else if (Enc->codec_type == AVMEDIA_TYPE_AUDIO) {
                    Ost.fifo = av::av_audio_fifo_alloc(Enc->sample_fmt, Enc->ch_layout.nb_channels, 1024);
                    Ost.aframe = av::av_frame_alloc();
                    if (!Ost.fifo || !Ost.aframe)
                        Raise(u"av_fifo_alloc fail");
                }
            }
            if (!Ost.setup->bsfs.empty()) {
                if (av::av_bsf_list_parse_str(Ost.setup->bsfs.c_str(), &Ost.bsf) < 0 ||
                    av::avcodec_parameters_copy(Ost.bsf->par_in, Ost.st->codecpar) < 0)
                    Raise(Format(u"Unknown bitstream filter %s", {Ost.setup->bsfs}));
                Ost.bsf->time_base_in = Ost.st->time_base;
                if (av::av_bsf_init(Ost.bsf) < 0)
                    Raise(Format(u"Unknown bitstream filter %s", {Ost.setup->bsfs}));
                av::avcodec_parameters_copy(Ost.st->codecpar, Ost.bsf->par_out);
                Ost.st->time_base = Ost.bsf->time_base_out;
            }
            (void)Oc;
        }

        // Initial times.
        for (auto& IstP : Fist_table) {
            TAVInputStream& Ist = *IstP;
            const AVRational Rate = Ist.st->avg_frame_rate;
            Ist.pts = 0;
            if (Rate.num && Rate.den && Ist.st->codecpar->video_delay)
                Ist.pts = -std::llround(Ist.st->codecpar->video_delay * 1000000.0 / av_q2d(Rate));
            Ist.next_pts = AV_NOPTS_VALUE;
            Ist.is_start = 1;
        }

        // Metadata maps.
        for (const TAVMetaDataMap& M : Fmeta_data_maps) {
            if (M.out_file < 0 || M.out_file >= nb_ofiles)
                Fail(Format(u"Invalid output file index %d map_meta_data(%d,%d)", {M.out_file, M.out_file, M.in_file}),
                     true, true);
            if (M.in_file < 0 || M.in_file >= Fnb_input_files)
                Fail(Format(u"Invalid input file index %d map_meta_data(%d,%d)", {M.in_file, M.out_file, M.in_file}),
                     true, true);
            av::av_dict_copy(&Foutput_files[M.out_file]->metadata, Finput_files[M.in_file]->metadata,
                             AV_DICT_DONT_OVERWRITE);
        }

        // A joined output takes the first input's chapters only: the others' times are their own files'.
        for (int In = 0; In < (FJoinMode ? std::min(1, Fnb_input_files) : Fnb_input_files); ++In)
            for (int Out = 0; Out < nb_ofiles; ++Out)
                CopyChapters(Finput_files[In], Foutput_files[Out], Finput_files_ts_offset[In]);

        // Headers.
        OpenPendingOutputs();
        for (int I = 0; I < nb_ofiles; ++I) {
            AVDictionary* Opts = nullptr;
            av::av_dict_copy(&Opts, Fmuxer_opts[I], 0);
            const int Res = av::avformat_write_header(Foutput_files[I], &Opts);
            av::av_dict_free(&Opts);
            if (Res < 0)
                Fail(Format(u"Could not write header for output file #%d (incorrect codec parameters ?)", {I}), true,
                     true);
            HeaderWritten[I] = true;
        }
        LogSdp(nb_ofiles);
        for (int I = 0; I < nb_ofiles; ++I)
            av::av_dump_format(Foutput_files[I], I, Foutput_files[I]->url, 1);
        if (Fverbose >= 0) {
            Log(fllVerbose, u"Stream mapping:");
            for (auto& OstP : Fost_table) {
                TAVOutputStream& Ost = *OstP;
                TAVInputStream& Src = *Fist_table[Ost.source_index];
                Log(fllVerbose, Format(u"  Stream #%d.%d -> #%d.%d (%s)",
                                       {Src.file_index, Src.index, FJoinMode ? 0 : Ost.file_index, Ost.index,
                                        TypeName(Ost.enc->codec_type)}));
                if (Ost.sync_ist != &Src)
                    Log(fllVerbose,
                        Format(u" [sync #%d.%d (%s)]", {Ost.sync_ist->file_index, Ost.sync_ist->index,
                                                        TypeName(int(Ost.sync_ist->st->codecpar->codec_type))}));
            }
        }

        Ftimer_start = NowUs();
        std::fill(std::begin(Fqp_histogram), std::end(Fqp_histogram), 0);
        Flast_report_time = Ftimer_start;
        Fjoin_current = 0;
        std::vector<bool> NoPacket(Fnb_input_files, false);
        int NoPacketCount = 0;
        AVPacket* Pkt = av::av_packet_alloc();
        std::unique_ptr<AVPacket, void (*)(AVPacket*)> PktGuard(Pkt, [](AVPacket* P) { av::av_packet_free(&P); });
        int CurrentFile = -1;

        while (!FBroken) {
            CheckPause();
            if (FBroken)
                break;
            int file_index = -1;
            if (FJoinMode) {
                file_index = Fjoin_current;
                for (auto& OstP : Fost_table)
                    if (OstP->frame_number >= Fmax_frames[OstP->enc->codec_type & 3]) {
                        file_index = -1;
                        break;
                    }
            } else {
                double ipts_min = 1e100, opts_min = 1e100;
                for (auto& OstP : Fost_table) {
                    TAVOutputStream& Ost = *OstP;
                    TAVInputStream& Ist = *Fist_table[Ost.source_index];
                    if (Ist.is_past_recording_time || NoPacket[Ist.file_index])
                        continue;
                    const double opts =
                        Ost.sync_opts * av_q2d(Ost.enc->time_base.num ? Ost.enc->time_base : Ost.st->time_base);
                    const double ipts = double(Ist.pts);
                    if (!Ffile_table[Ist.file_index].eof_reached) {
                        if (ipts < ipts_min) {
                            ipts_min = ipts;
                            if (Finput_sync)
                                file_index = Ist.file_index;
                        }
                        if (opts < opts_min) {
                            opts_min = opts;
                            if (!Finput_sync)
                                file_index = Ist.file_index;
                        }
                    }
                    if (Ost.frame_number >= Fmax_frames[Ost.enc->codec_type & 3]) {
                        file_index = -1;
                        break;
                    }
                }
            }
            if (file_index < 0) {
                if (FJoinMode || NoPacketCount == 0)
                    break;
                std::fill(NoPacket.begin(), NoPacket.end(), false);
                NoPacketCount = 0;
                av::av_usleep(10000);
                continue;
            }
            if (Flimit_filesize != 0 && Foutput_files[0]->pb &&
                av::avio_seek(Foutput_files[0]->pb, 0, SEEK_CUR) >= Flimit_filesize)
                break;
            const int Ret = av::av_read_frame(Finput_files[file_index], Pkt);
            if (Ret == AVERROR(EAGAIN)) {
                NoPacket[file_index] = true;
                ++NoPacketCount;
                continue;
            }
            if (Ret < 0) {
                Ffile_table[file_index].eof_reached = 1;
                if (FJoinMode) {
                    if (!JoinNextInput(file_index))
                        break;
                    continue;
                }
                if (Fopt_shortest)
                    break;
                continue;
            }
            std::fill(NoPacket.begin(), NoPacket.end(), false);
            NoPacketCount = 0;
            if (Fdo_pkt_dump)
                av::av_pkt_dump_log2(nullptr, AV_LOG_DEBUG, Pkt, Fdo_hex_dump,
                                     Finput_files[file_index]->streams[Pkt->stream_index]);
            if (Pkt->stream_index >= Ffile_table[file_index].nb_streams) {
                av::av_packet_unref(Pkt);
                continue;
            }
            const int ist_index = Ffile_table[file_index].ist_index + Pkt->stream_index;
            TAVInputStream& Ist = *Fist_table[ist_index];
            if (Ist.discard) {
                av::av_packet_unref(Pkt);
                continue;
            }
            CurrentFile = file_index;
            const Int64 Offset =
                av::av_rescale_q(Finput_files_ts_offset[file_index], AV_TIME_BASE_Q, Ist.st->time_base);
            if (Pkt->dts != AV_NOPTS_VALUE)
                Pkt->dts += Offset;
            if (Pkt->pts != AV_NOPTS_VALUE)
                Pkt->pts += Offset;
            const double Scale =
                Pkt->stream_index < MAX_STREAMS ? Finput_files_ts_scale[file_index][Pkt->stream_index] : 0;
            if (Scale != 0) {
                if (Pkt->pts != AV_NOPTS_VALUE)
                    Pkt->pts = std::llround(Pkt->pts * Scale);
                if (Pkt->dts != AV_NOPTS_VALUE)
                    Pkt->dts = std::llround(Pkt->dts * Scale);
            }
            if ((Finput_files[file_index]->iformat->flags & AVFMT_TS_DISCONT) && Pkt->dts != AV_NOPTS_VALUE &&
                Ist.next_pts != AV_NOPTS_VALUE && !Fcopy_ts) {
                const Int64 pkt_dts = av::av_rescale_q(Pkt->dts, Ist.st->time_base, AV_TIME_BASE_Q);
                const Int64 delta = pkt_dts - Ist.next_pts;
                if (std::llabs(delta) > Int64(Fdts_delta_threshold * 1000000) || pkt_dts + 1 < Ist.pts) {
                    Finput_files_ts_offset[file_index] -= delta;
                    if (Fverbose > 2)
                        Log(fllVerbose, Format(u"timestamp discontinuity %d, new offset= %d",
                                               {delta, Finput_files_ts_offset[file_index]}));
                    const Int64 D = av::av_rescale_q(delta, AV_TIME_BASE_Q, Ist.st->time_base);
                    Pkt->dts -= D;
                    if (Pkt->pts != AV_NOPTS_VALUE)
                        Pkt->pts -= D;
                }
            }
            if (Frecording_time != INT64_MAX && Pkt->pts != AV_NOPTS_VALUE &&
                av::av_compare_ts(Pkt->pts, Ist.st->time_base, Frecording_time + Fstart_time, AV_TIME_BASE_Q) >= 0) {
                Ist.is_past_recording_time = 1;
                av::av_packet_unref(Pkt);
                continue;
            }
            if (OutputPacket(Ist, ist_index, Pkt) < 0) {
                const String Msg = Format(u"Error while decoding stream #%d.%d (%s)",
                                          {Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))});
                av::av_packet_unref(Pkt);
                if (Fexit_on_error)
                    Raise(Msg);
                if (Fverbose >= 0)
                    Log(fllVerbose, Msg);
                continue;
            }
            av::av_packet_unref(Pkt);
            const Int64 Now = NowUs();
            if (Now - Flast_report_time > ReportInterval) {
                Flast_report_time = Now;
                PrintReport(false, CurrentFile);
            }
        }

        // End: flush the decoders and encoders, write the trailers, the last report.
        for (size_t J = 0; J < Fist_table.size(); ++J) {
            TAVInputStream& Ist = *Fist_table[J];
            if (Ist.decoding_needed && !Ist.decoder_flushed)
                OutputPacket(Ist, int(J), nullptr);
        }
        for (auto& OstP : Fost_table)
            if (OstP->encoding_needed)
                FlushEncoder(*OstP);
        TrailersWritten = true;
        for (int I = 0; I < nb_ofiles; ++I)
            av::av_write_trailer(Foutput_files[I]);
        PrintReport(true, -1);
        FFinished = !FBroken;
        FreeTables();
    } catch (...) {
        // A failed run still closes what it started, so the output plays up to the failure.
        if (!TrailersWritten)
            for (int I = 0; I < nb_ofiles; ++I)
                if (I < int(HeaderWritten.size()) && HeaderWritten[I])
                    av::av_write_trailer(Foutput_files[I]);
        FreeTables();
        throw;
    }
}

bool TCustomFFmpeg::JoinNextInput(int k) {
    // Drain what the decoders of input k still hold; the encoders go on with the next input.
    FJoinFlushing = true;
    for (size_t J = 0; J < Fist_table.size(); ++J) {
        TAVInputStream& Ist = *Fist_table[J];
        if (Ist.file_index == k && Ist.decoding_needed && !Ist.decoder_flushed) {
            OutputPacket(Ist, int(J), nullptr);
            Ist.decoder_flushed = 1;
        }
    }
    FJoinFlushing = false;
    double End = 0;
    for (auto& OstP : Fost_table) {
        TAVOutputStream& Ost = *OstP;
        const double T = Ost.sync_opts * av_q2d(Ost.enc->time_base.num ? Ost.enc->time_base : Ost.st->time_base);
        End = std::max(End, T);
    }
    if (k + 1 >= Fnb_input_files)
        return false;
    Finput_files_ts_offset[k + 1] += std::llround(End * 1000000.0);
    Fjoin_current = k + 1;
    for (auto& OstP : Fost_table) {
        TAVOutputStream& Ost = *OstP;
        if (k + 1 < int(Ost.join_sources.size()) && Ost.join_sources[k + 1] >= 0) {
            Ost.source_index = Ost.join_sources[k + 1];
            Ost.sync_ist = Fist_table[Ost.source_index].get();
        }
    }
    return true;
}

// Decoded audio as interleaved 16-bit samples: the form the volume and the synchronisation work on.
static bool ToS16(TAVInputStream& ist, AVFrame* F) {
    const int Channels = F->ch_layout.nb_channels;
    if (!ist.to_s16 || ist.s16_in_rate != F->sample_rate || ist.s16_in_fmt != F->format ||
        ist.s16_in_channels != Channels) {
        av::swr_free(&ist.to_s16);
        AVChannelLayout Out{};
        av::av_channel_layout_copy(&Out, &F->ch_layout);
        if (av::swr_alloc_set_opts2(&ist.to_s16, &Out, AV_SAMPLE_FMT_S16, F->sample_rate, &F->ch_layout,
                                    AVSampleFormat(F->format), F->sample_rate, 0, nullptr) < 0 ||
            av::swr_init(ist.to_s16) < 0) {
            av::av_channel_layout_uninit(&Out);
            return false;
        }
        av::av_channel_layout_uninit(&Out);
        ist.s16_in_rate = F->sample_rate;
        ist.s16_in_fmt = F->format;
        ist.s16_in_channels = Channels;
    }
    ist.samples.resize(size_t(F->nb_samples) * Channels * 2);
    uint8_t* Out = ist.samples.data();
    const int N =
        av::swr_convert(ist.to_s16, &Out, F->nb_samples, const_cast<const uint8_t**>(F->extended_data), F->nb_samples);
    if (N < 0)
        return false;
    ist.samples.resize(size_t(N) * Channels * 2);
    return true;
}

int TCustomFFmpeg::OutputPacket(TAVInputStream& ist, int ist_index, const AVPacket* pkt) {
    if (ist.next_pts == AV_NOPTS_VALUE)
        ist.next_pts = ist.pts;
    if (pkt && pkt->dts != AV_NOPTS_VALUE)
        ist.next_pts = ist.pts = av::av_rescale_q(pkt->dts, ist.st->time_base, AV_TIME_BASE_Q);
    const AVCodecParameters* Par = ist.st->codecpar;

    if (!ist.decoding_needed) {
        if (!pkt)
            return 0;
        ist.pts = ist.next_pts;
        if (Par->codec_type == AVMEDIA_TYPE_AUDIO && Par->sample_rate) {
            if (Par->frame_size)
                ist.next_pts += Int64(1000000) * Par->frame_size / Par->sample_rate;
            else if (pkt->duration)
                ist.next_pts += av::av_rescale_q(pkt->duration, ist.st->time_base, AV_TIME_BASE_Q);
        } else if (Par->codec_type == AVMEDIA_TYPE_VIDEO) {
            if (pkt->duration)
                ist.next_pts += av::av_rescale_q(pkt->duration, ist.st->time_base, AV_TIME_BASE_Q);
            else if (ist.st->avg_frame_rate.num)
                ist.next_pts += std::llround(1000000.0 / av_q2d(ist.st->avg_frame_rate));
        }
        for (auto& OstP : Fost_table) {
            TAVOutputStream& Ost = *OstP;
            if (Ost.source_index != ist_index || !Ost.setup->stream_copy)
                continue;
            if (Ost.frame_number == 0 && !(pkt->flags & AV_PKT_FLAG_KEY) && !Fcopy_initial_nonkeyframes)
                continue;
            if (Par->codec_type == AVMEDIA_TYPE_AUDIO)
                Faudio_size += pkt->size;
            else if (Par->codec_type == AVMEDIA_TYPE_VIDEO) {
                Fvideo_size += pkt->size;
                Ost.sync_opts++;
            }
            AVPacket* Out = Ost.pkt;
            if (av::av_packet_ref(Out, pkt) < 0)
                return -1;
            const Int64 StartOffset = av::av_rescale_q(Fstart_time, AV_TIME_BASE_Q, Ost.st->time_base);
            Out->pts = pkt->pts != AV_NOPTS_VALUE
                           ? av::av_rescale_q(pkt->pts, ist.st->time_base, Ost.st->time_base) - StartOffset
                           : AV_NOPTS_VALUE;
            Out->dts = pkt->dts != AV_NOPTS_VALUE ? av::av_rescale_q(pkt->dts, ist.st->time_base, Ost.st->time_base)
                                                  : av::av_rescale_q(ist.pts, AV_TIME_BASE_Q, Ost.st->time_base);
            Out->dts -= StartOffset;
            Out->duration = av::av_rescale_q(pkt->duration, ist.st->time_base, Ost.st->time_base);
            // The stream copy now writes in the output stream's time base.
            Out->time_base = Ost.st->time_base;
            WriteFrame(Ost, Out);
            Ost.frame_number++;
        }
        return 0;
    }

    if (Par->codec_type == AVMEDIA_TYPE_SUBTITLE) {
        if (pkt) {
            AVSubtitle Sub{};
            int Got = 0;
            if (av::avcodec_decode_subtitle2(ist.dec, &Sub, &Got, const_cast<AVPacket*>(pkt)) < 0)
                return -1;
            if (Got) {
                if (Fstart_time == 0 || ist.pts >= Fstart_time)
                    for (auto& OstP : Fost_table)
                        if (OstP->source_index == ist_index && OstP->encoding_needed)
                            DoSubtitleOut(*OstP, ist, &Sub, pkt->pts);
                av::avsubtitle_free(&Sub);
            }
        }
    } else if (Par->codec_type == AVMEDIA_TYPE_AUDIO || Par->codec_type == AVMEDIA_TYPE_VIDEO) {
        int Res = av::avcodec_send_packet(ist.dec, pkt);
        if (Res < 0 && Res != AVERROR_EOF)
            return -1;
        AVFrame* F = ist.frame;
        while (true) {
            Res = av::avcodec_receive_frame(ist.dec, F);
            if (Res == AVERROR(EAGAIN) || Res == AVERROR_EOF)
                break;
            if (Res < 0)
                return -1;
            const Int64 Ts = F->best_effort_timestamp;
            ist.pts = Ts != AV_NOPTS_VALUE ? av::av_rescale_q(Ts, ist.st->time_base, AV_TIME_BASE_Q) : ist.next_pts;
            if (Par->codec_type == AVMEDIA_TYPE_VIDEO) {
                Int64 Dur =
                    F->pkt_duration > 0 ? av::av_rescale_q(F->pkt_duration, ist.st->time_base, AV_TIME_BASE_Q) : 0;
                if (Dur <= 0 && ist.st->avg_frame_rate.num)
                    Dur = std::llround(1000000.0 / av_q2d(ist.st->avg_frame_rate));
                ist.next_pts = ist.pts + Dur;
                ist.quality = F->quality;
                FilterVideo(ist, ist_index, F);
            } else {
                ist.next_pts = ist.pts + Int64(1000000) * F->nb_samples / std::max(1, F->sample_rate);
                if (!ToS16(ist, F))
                    Raise(u"av_audio_convert() failed");
                if (Faudio_volume != 256) {
                    auto* S = reinterpret_cast<int16_t*>(ist.samples.data());
                    const size_t N = ist.samples.size() / 2;
                    for (size_t I = 0; I < N; ++I)
                        S[I] = int16_t(av_clip((S[I] * Faudio_volume + 128) >> 8, -32768, 32767));
                }
                if (Frate_emu) {
                    const Int64 Ahead = ist.pts - (NowUs() - ist.start);
                    if (Ahead > 1000)
                        av::av_usleep(unsigned(Ahead / 1000 * 1000));
                }
                if (Fstart_time == 0 || ist.pts >= Fstart_time)
                    for (auto& OstP : Fost_table)
                        if (OstP->source_index == ist_index && OstP->encoding_needed)
                            DoAudioOut(*OstP, ist, ist.samples.data(), int(ist.samples.size()));
            }
            av::av_frame_unref(F);
        }
    } else
        return -1;

    if (!pkt && !FJoinFlushing) {
        for (auto& OstP : Fost_table)
            if (OstP->source_index == ist_index && OstP->encoding_needed)
                FlushEncoder(*OstP);
        ist.decoder_flushed = 1;
    }
    return 0;
}

void TCustomFFmpeg::FilterVideo(TAVInputStream& ist, int ist_index, AVFrame* AFrame) {
    ++FHookFrameNumber;
    if (OnCustomHook)
        RunCustomHook(AFrame, ist);
    else if (Fusing_vhook)
        RunFrameHooks(AFrame, ist);
    if (Frate_emu) {
        const Int64 Ahead = ist.pts - (NowUs() - ist.start);
        if (Ahead > 1000)
            av::av_usleep(unsigned(Ahead / 1000 * 1000));
    }
    if (Fstart_time != 0 && ist.pts < Fstart_time)
        return;
    for (auto& OstP : Fost_table) {
        TAVOutputStream& Ost = *OstP;
        if (Ost.source_index != ist_index || !Ost.encoding_needed)
            continue;
        if (AFrame->width != Ost.resample_width || AFrame->height != Ost.resample_height ||
            AFrame->format != Ost.resample_pix_fmt) {
            Log(fllQuiet, Format(u"Input Stream #%d.%d frame size changed to %dx%d, %s",
                                 {ist.file_index, ist.index, AFrame->width, AFrame->height,
                                  av::av_get_pix_fmt_name(AVPixelFormat(AFrame->format))}));
            if (Ost.video_crop && Ost.original_width && Ost.original_height) {
                // Keep the crop proportional to the new size.
                Ost.topBand = (AFrame->height * Ost.original_topBand / Ost.original_height) & ~1;
                Ost.bottomBand = (AFrame->height * Ost.original_bottomBand / Ost.original_height) & ~1;
                Ost.leftBand = (AFrame->width * Ost.original_leftBand / Ost.original_width) & ~1;
                Ost.rightBand = (AFrame->width * Ost.original_rightBand / Ost.original_width) & ~1;
            }
            if (ConfigureFilters(ist, Ost, AFrame) < 0)
                Raise(u"Cannot get resampling context");
        }
        AFrame->pts = ist.pts;
        if (av::av_buffersrc_add_frame_flags(Ost.src, AFrame, AV_BUFFERSRC_FLAG_KEEP_REF) < 0)
            Raise(u"Error opening filters!");
        EncodeFilteredPictures(Ost, ist);
    }
}

void TCustomFFmpeg::EncodeFilteredPictures(TAVOutputStream& Ost, TAVInputStream& ist) {
    while (av::av_buffersink_get_frame(Ost.sink, Ost.filtered) >= 0) {
        if (Ost.filtered->pts != AV_NOPTS_VALUE)
            Ost.filtered->pts =
                av::av_rescale_q(Ost.filtered->pts, av::av_buffersink_get_time_base(Ost.sink), AV_TIME_BASE_Q);
        else
            Ost.filtered->pts = ist.pts;
        int FrameSize = 0;
        DoVideoOut(Ost, ist, Ost.filtered, FrameSize);
        if (!Fvstats_filename.empty() && FrameSize)
            DoVideoStats(Ost, FrameSize);
        av::av_frame_unref(Ost.filtered);
    }
}

void TCustomFFmpeg::RunCustomHook(AVFrame* picture, TAVInputStream& ist) {
    const int W = picture->width, H = picture->height;
    SwsContext* To = av::sws_getContext(W, H, AVPixelFormat(picture->format), W, H, AV_PIX_FMT_BGRA, SWS_BICUBIC,
                                        nullptr, nullptr, nullptr);
    SwsContext* From = av::sws_getContext(W, H, AV_PIX_FMT_BGRA, W, H, AVPixelFormat(picture->format), SWS_BICUBIC,
                                          nullptr, nullptr, nullptr);
    if (!To || !From) {
        av::sws_freeContext(To);
        av::sws_freeContext(From);
        Log(fllError, u"Cannot initialize the toRGB conversion context");
        OnCustomHook = nullptr;
        return;
    }
    const int LineSize = W * 4;
    Fhook_buf.resize(size_t(LineSize) * H);
    uint8_t* Dst[4] = {Fhook_buf.data()};
    int DstLines[4] = {LineSize};
    av::sws_scale(To, picture->data, picture->linesize, 0, H, Dst, DstLines);
    bool Update = true, StopHook = false;
    try {
        OnCustomHook(this, Fhook_buf.data(), LineSize, W, H, FHookFrameNumber, ist.pts, Update, StopHook);
    } catch (const std::exception& E) {
        Log(fllError, u"Error occurs OnCustomHook: " + UTF8ToString(E.what()));
        Update = false;
    }
    if (Update && av::av_frame_make_writable(picture) >= 0)
        av::sws_scale(From, Dst, DstLines, 0, H, picture->data, picture->linesize);
    av::sws_freeContext(To);
    av::sws_freeContext(From);
    if (StopHook)
        OnCustomHook = nullptr;
}

void TCustomFFmpeg::DoVideoOut(TAVOutputStream& ost, TAVInputStream& ist, AVFrame* picture, int& frame_size) {
    AVCodecContext* Enc = ost.enc;
    frame_size = 0;
    const double SyncTime = double(picture->pts - Fstart_time) / 1000000.0;
    const double sync_ipts = SyncTime / av_q2d(Enc->time_base);
    int nb_frames = 1;
    if (Fvideo_sync_method != 0) {
        const double vdelta = sync_ipts - double(ost.sync_opts);
        const bool Vfr =
            Fvideo_sync_method == 2 ||
            (Fvideo_sync_method < 0 && (Foutput_files[ost.file_index]->oformat->flags & AVFMT_VARIABLE_FPS));
        if (vdelta < -1.1)
            nb_frames = 0;
        else if (Vfr) {
            if (vdelta <= -0.6)
                nb_frames = 0;
            else if (vdelta > 0.6)
                ost.sync_opts = std::llround(sync_ipts);
        } else if (vdelta > 1.1)
            nb_frames = int(std::lround(vdelta));
        if (nb_frames == 0) {
            ++Fnb_frames_drop;
            FShowDupOrDrop = true;
            if (Fverbose > 2)
                Log(fllVerbose, u"*** drop!");
        } else if (nb_frames > 1) {
            Fnb_frames_dup += nb_frames - 1;
            FShowDupOrDrop = true;
            if (Fverbose > 2)
                Log(fllVerbose, Format(u"*** %d dup!", {nb_frames - 1}));
        }
    } else
        ost.sync_opts = std::llround(sync_ipts);
    nb_frames = std::min(nb_frames, Fmax_frames[AVMEDIA_TYPE_VIDEO] - ost.frame_number);
    if (nb_frames <= 0)
        return;
    for (int I = 0; I < nb_frames && !FBroken; ++I) {
        picture->pts = ost.sync_opts;
        picture->pict_type = AV_PICTURE_TYPE_NONE;
        const float Quality = Fsame_quality ? ist.quality : ost.setup->quality;
        if (Quality > 0)
            picture->quality = int(std::lround(Quality));
        if (Ftop_field_first >= 0)
            picture->top_field_first = Ftop_field_first;
        if (av::avcodec_send_frame(Enc, picture) < 0)
            Raise(u"Video encoding failed");
        if (FPostHooks)
            RunPostHooks(picture, Enc);
        const int Size = ReceivePackets(ost, true);
        if (Size > 0)
            frame_size = Size;
        ost.sync_opts++;
        ost.frame_number++;
    }
}

int TCustomFFmpeg::ReceivePackets(TAVOutputStream& ost, bool AVideo) {
    int Total = 0;
    AVPacket* Pkt = ost.pkt;
    while (true) {
        const int Res = av::avcodec_receive_packet(ost.enc, Pkt);
        if (Res == AVERROR(EAGAIN) || Res == AVERROR_EOF)
            break;
        if (Res < 0)
            Raise(AVideo ? u"Video encoding failed" : u"Audio encoding failed");
        Total += Pkt->size;
        (AVideo ? Fvideo_size : Faudio_size) += Pkt->size;
        size_t SideSize = 0;
        if (const uint8_t* Q = av::av_packet_get_side_data(Pkt, AV_PKT_DATA_QUALITY_STATS, &SideSize);
            Q && SideSize >= 5) {
            ost.quality = float(int32_t(Q[0] | Q[1] << 8 | Q[2] << 16 | uint32_t(Q[3]) << 24));
            ost.pict_type = Q[4];
            // Then an error count, two reserved bytes and that many little-endian 64-bit plane errors.
            const size_t Errors = SideSize >= 6 ? std::min<size_t>(Q[5], 4) : 0;
            for (size_t E = 0; E < Errors && 8 + 8 * (E + 1) <= SideSize; ++E) {
                uint64_t V = 0;
                for (int B = 7; B >= 0; --B)
                    V = V << 8 | Q[8 + 8 * E + B];
                ost.error[E] = Int64(V);
            }
        }
        if (ost.logfile && ost.enc->stats_out)
            fprintf(ost.logfile, "%s", ost.enc->stats_out);
        av::av_packet_rescale_ts(Pkt, ost.enc->time_base, ost.st->time_base);
        Pkt->time_base = ost.st->time_base;
        WriteFrame(ost, Pkt);
    }
    return Total;
}

void TCustomFFmpeg::EncodeAudioFrame(TAVOutputStream& ost, AVFrame* AFrame) {
    if (av::avcodec_send_frame(ost.enc, AFrame) < 0)
        Raise(u"Audio encoding failed");
    ReceivePackets(ost, false);
}

void TCustomFFmpeg::DoAudioOut(TAVOutputStream& ost, TAVInputStream& ist, uint8_t* samples, int size) {
    AVCodecContext* Enc = ost.enc;
    const int dec_channels = ist.s16_in_channels;
    const int dec_rate = ist.s16_in_rate;
    const int enc_channels = Enc->ch_layout.nb_channels;
    const int enc_rate = Enc->sample_rate;
    if (dec_channels <= 0 || dec_rate <= 0)
        return;
    if (dec_channels != enc_channels)
        ost.audio_resample = 1;
    if (!ost.resample || ost.resample_in_rate != dec_rate || ost.resample_in_channels != dec_channels) {
        if (ost.audio_resample && ist.dec->sample_fmt != AV_SAMPLE_FMT_S16 && Fverbose > 0 && !ost.resample)
            Log(fllVerbose, u"Warning, using s16 intermediate sample format for resampling");
        av::swr_free(&ost.resample);
        AVChannelLayout In{};
        av::av_channel_layout_default(&In, dec_channels);
        const int Res = av::swr_alloc_set_opts2(&ost.resample, &Enc->ch_layout, Enc->sample_fmt, enc_rate, &In,
                                                AV_SAMPLE_FMT_S16, dec_rate, 0, nullptr);
        av::av_channel_layout_uninit(&In);
        if (Res >= 0) {
            av::av_opt_set_int(ost.resample, "filter_size", 16, 0);
            av::av_opt_set_int(ost.resample, "phase_shift", 10, 0);
            av::av_opt_set_double(ost.resample, "cutoff", 0.8, 0);
        }
        if (Res < 0 || av::swr_init(ost.resample) < 0)
            Raise(Format(u"Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                         {dec_channels, dec_rate, enc_channels, enc_rate}));
        ost.resample_in_rate = dec_rate;
        ost.resample_in_channels = dec_channels;
    }
    std::vector<uint8_t> Silence;
    const int Queued = av::av_audio_fifo_size(ost.fifo);
    const double SyncTime = double(ost.sync_ist->pts - Fstart_time) / 1000000.0;
    if (Faudio_sync_method) {
        const double delta = SyncTime * enc_rate - double(ost.sync_opts) - Queued;
        const double idelta = delta * dec_rate / enc_rate;
        int byte_delta = int(idelta) * 2 * dec_channels;
        if (std::fabs(delta) > 50) {
            if (ist.is_start || std::fabs(delta) > Faudio_drift_threshold * enc_rate) {
                if (byte_delta < 0) {
                    byte_delta = std::max(byte_delta, -size);
                    samples -= byte_delta;
                    size += byte_delta;
                    if (Fverbose > 2)
                        Log(fllVerbose, Format(u"discarding %d audio samples", {int(-delta)}));
                    if (size <= 0)
                        return;
                    ist.is_start = 0;
                } else {
                    Silence.assign(size_t(byte_delta) + size, 0);
                    memcpy(Silence.data() + byte_delta, samples, size);
                    samples = Silence.data();
                    size += byte_delta;
                    ist.is_start = 0;
                    if (Fverbose > 2)
                        Log(fllVerbose, Format(u"adding %d audio samples of silence", {int(delta)}));
                }
            } else if (Faudio_sync_method > 1) {
                const int comp = av_clip(int(delta), -Faudio_sync_method, Faudio_sync_method);
                if (Fverbose > 2)
                    Log(fllVerbose, Format(u"compensating audio timestamp drift:%f compensation:%d in:%d",
                                           {delta, comp, enc_rate}));
                av::swr_set_compensation(ost.resample, comp, enc_rate);
            }
        }
    } else
        ost.sync_opts = std::llround(SyncTime * enc_rate) - Queued;

    // Resample into the encoder's format; the buffer is sized from the samples it carries.
    const int InSamples = size / (2 * dec_channels);
    const int OutMax = av::swr_get_out_samples(ost.resample, InSamples);
    if (OutMax > 0) {
        uint8_t** Out = nullptr;
        if (av::av_samples_alloc_array_and_samples(&Out, nullptr, enc_channels, OutMax, Enc->sample_fmt, 0) < 0)
            Raise(u"Out of memory in do_audio_out");
        const uint8_t* In = samples;
        const int N = av::swr_convert(ost.resample, Out, OutMax, &In, InSamples);
        if (N > 0 && av::av_audio_fifo_write(ost.fifo, reinterpret_cast<void**>(Out), N) < N) {
            av::av_freep(&Out[0]);
            av::av_freep(&Out);
            Raise(u"av_fifo_realloc2() failed");
        }
        av::av_freep(&Out[0]);
        av::av_freep(&Out);
        if (N < 0)
            Raise(Format(u"Can not resample %d channels @ %d Hz to %d channels @ %d Hz",
                         {dec_channels, dec_rate, enc_channels, enc_rate}));
    }
    const bool Variable = Enc->frame_size <= 1 || (Enc->codec->capabilities & AV_CODEC_CAP_VARIABLE_FRAME_SIZE);
    const int FrameSize = Variable ? av::av_audio_fifo_size(ost.fifo) : Enc->frame_size;
    while (FrameSize > 0 && av::av_audio_fifo_size(ost.fifo) >= FrameSize) {
        AVFrame* F = ost.aframe;
        av::av_frame_unref(F);
        F->nb_samples = FrameSize;
        F->format = Enc->sample_fmt;
        F->sample_rate = enc_rate;
        av::av_channel_layout_copy(&F->ch_layout, &Enc->ch_layout);
        if (av::av_frame_get_buffer(F, 0) < 0)
            Raise(u"Out of memory in do_audio_out");
        av::av_audio_fifo_read(ost.fifo, reinterpret_cast<void**>(F->data), FrameSize);
        F->pts = ost.sync_opts;
        ost.sync_opts += FrameSize;
        EncodeAudioFrame(ost, F);
        if (Variable)
            break;
    }
}

void TCustomFFmpeg::FlushEncoder(TAVOutputStream& ost) {
    AVCodecContext* Enc = ost.enc;
    if (!ost.opened || ost.flushed)
        return;
    ost.flushed = true;
    if (Enc->codec_type == AVMEDIA_TYPE_AUDIO && ost.fifo) {
        // What the resampler still holds, then a last short or zero-padded frame.
        if (ost.resample) {
            const int OutMax = av::swr_get_out_samples(ost.resample, 0);
            if (OutMax > 0) {
                uint8_t** Out = nullptr;
                if (av::av_samples_alloc_array_and_samples(&Out, nullptr, Enc->ch_layout.nb_channels, OutMax,
                                                           Enc->sample_fmt, 0) >= 0) {
                    const int N = av::swr_convert(ost.resample, Out, OutMax, nullptr, 0);
                    if (N > 0)
                        av::av_audio_fifo_write(ost.fifo, reinterpret_cast<void**>(Out), N);
                    av::av_freep(&Out[0]);
                    av::av_freep(&Out);
                }
            }
        }
        const bool Short = Enc->frame_size <= 1 || (Enc->codec->capabilities &
                                                    (AV_CODEC_CAP_SMALL_LAST_FRAME | AV_CODEC_CAP_VARIABLE_FRAME_SIZE));
        while (av::av_audio_fifo_size(ost.fifo) > 0) {
            const int Left = av::av_audio_fifo_size(ost.fifo);
            const int Take = Enc->frame_size > 1 ? std::min(Left, Enc->frame_size) : Left;
            const int Samples = Short || Enc->frame_size <= 1 ? Take : Enc->frame_size;
            AVFrame* F = ost.aframe;
            av::av_frame_unref(F);
            F->nb_samples = Samples;
            F->format = Enc->sample_fmt;
            F->sample_rate = Enc->sample_rate;
            av::av_channel_layout_copy(&F->ch_layout, &Enc->ch_layout);
            if (av::av_frame_get_buffer(F, 0) < 0)
                Raise(u"frame_bytes invalid.");
            av::av_samples_set_silence(F->data, 0, Samples, Enc->ch_layout.nb_channels, Enc->sample_fmt);
            av::av_audio_fifo_read(ost.fifo, reinterpret_cast<void**>(F->data), Take);
            F->pts = ost.sync_opts;
            ost.sync_opts += Samples;
            EncodeAudioFrame(ost, F);
        }
    }
    if (Enc->codec_type == AVMEDIA_TYPE_SUBTITLE)
        return;
    // Filters that hold pictures back (the deinterlacer, a user's chain) give them up at the end.
    if (Enc->codec_type == AVMEDIA_TYPE_VIDEO && ost.graph && ost.src && ost.sink &&
        av::av_buffersrc_add_frame_flags(ost.src, nullptr, 0) >= 0)
        EncodeFilteredPictures(ost, *Fist_table[ost.source_index]);
    const int Res = av::avcodec_send_frame(Enc, nullptr);
    if (Res < 0 && Res != AVERROR_EOF)
        Raise(Enc->codec_type == AVMEDIA_TYPE_VIDEO ? u"Video encoding failed" : u"Audio encoding failed");
    ReceivePackets(ost, Enc->codec_type == AVMEDIA_TYPE_VIDEO);
}

void TCustomFFmpeg::DoSubtitleOut(TAVOutputStream& ost, TAVInputStream& ist, AVSubtitle* sub, Int64 pts) {
    if (pts == AV_NOPTS_VALUE) {
        if (Fexit_on_error)
            Raise(u"Subtitle packets must have a pts");
        Log(fllError, u"Subtitle packets must have a pts");
        return;
    }
    const int Times = ost.enc->codec_id == AV_CODEC_ID_DVB_SUBTITLE ? 2 : 1;
    Fsubtitle_out.resize(1048576);
    for (int I = 0; I < Times; ++I) {
        sub->pts = av::av_rescale_q(pts, ist.st->time_base, AV_TIME_BASE_Q) + Int64(sub->start_display_time) * 1000;
        sub->end_display_time -= sub->start_display_time;
        sub->start_display_time = 0;
        if (I == 1)
            sub->num_rects = 0;
        const int Size = av::avcodec_encode_subtitle(ost.enc, Fsubtitle_out.data(), int(Fsubtitle_out.size()), sub);
        if (Size < 0)
            Raise(u"Subtitle encoding failed");
        AVPacket* Pkt = ost.pkt;
        av::av_packet_unref(Pkt);
        if (av::av_new_packet(Pkt, Size) < 0)
            Raise(u"Subtitle encoding failed");
        memcpy(Pkt->data, Fsubtitle_out.data(), Size);
        Pkt->pts = av::av_rescale_q(sub->pts, AV_TIME_BASE_Q, ost.st->time_base);
        Pkt->duration = av::av_rescale_q(sub->end_display_time, AVRational{1, 1000}, ost.st->time_base);
        if (Times == 2)
            Pkt->pts += 90 * (I == 0 ? sub->start_display_time : sub->end_display_time);
        Pkt->dts = Pkt->pts;
        Pkt->time_base = ost.st->time_base;
        WriteFrame(ost, Pkt);
        ost.frame_number++;
    }
}

void TCustomFFmpeg::WriteFrame(TAVOutputStream& ost, AVPacket* pkt) {
    AVFormatContext* Oc = Foutput_files[ost.file_index];
    pkt->stream_index = ost.index;
    auto Write = [&](AVPacket* P) {
        P->stream_index = ost.index;
        const int Res = av::av_interleaved_write_frame(Oc, P);
        if (Res < 0)
            Raise(u"av_interleaved_write_frame()" + AVErrorText(Res));
        ++Foutput_packets[ost.file_index];
    };
    if (!ost.bsf) {
        Write(pkt);
        return;
    }
    int Res = av::av_bsf_send_packet(ost.bsf, pkt);
    if (Res < 0) {
        const String Msg = Format(u"%s failed for stream %d, codec %s",
                                  {ost.setup->bsfs, ost.index, ost.opened ? ost.enc->codec->name : "copy"}) +
                           AVErrorText(Res);
        av::av_packet_unref(pkt);
        if (Fexit_on_error)
            Raise(Msg);
        Log(fllError, Msg);
        return;
    }
    while ((Res = av::av_bsf_receive_packet(ost.bsf, pkt)) >= 0)
        Write(pkt);
}

// Copies the chapters that fall into the converted range, shifted to the output's start and cut at
// the recording time.
void TCustomFFmpeg::CopyChapters(AVFormatContext* AInput, AVFormatContext* AOutput, Int64 AInputOffset) {
    for (unsigned I = 0; I < AInput->nb_chapters; ++I) {
        const AVChapter* In = AInput->chapters[I];
        const Int64 TsOff = av::av_rescale_q(Fstart_time - AInputOffset, AV_TIME_BASE_Q, In->time_base);
        const Int64 Rt =
            Frecording_time == INT64_MAX ? INT64_MAX : av::av_rescale_q(Frecording_time, AV_TIME_BASE_Q, In->time_base);
        if (In->end < TsOff)
            continue;
        if (Rt != INT64_MAX && In->start > Rt + TsOff)
            break;
        auto* Out = static_cast<AVChapter*>(av::av_mallocz(sizeof(AVChapter)));
        if (!Out)
            Raise(u"av_mallocz fail");
        Out->id = In->id;
        Out->time_base = In->time_base;
        Out->start = std::max<Int64>(0, In->start - TsOff);
        Out->end = std::min(Rt, In->end - TsOff);
        av::av_dict_copy(&Out->metadata, In->metadata, 0);
        auto* Grown = static_cast<AVChapter**>(
            av::av_realloc(AOutput->chapters, sizeof(AVChapter*) * (AOutput->nb_chapters + 1)));
        if (!Grown) {
            av::av_dict_free(&Out->metadata);
            av::av_free(Out);
            Raise(u"av_realloc fail");
        }
        AOutput->chapters = Grown;
        AOutput->chapters[AOutput->nb_chapters++] = Out;
    }
}

// RTP outputs are useless to a receiver without their session description, so it goes to the log.
void TCustomFFmpeg::LogSdp(int ACount) {
    if (ACount <= 0)
        return;
    for (int I = 0; I < ACount; ++I)
        if (std::strcmp(Foutput_files[I]->oformat->name, "rtp") != 0)
            return;
    char Sdp[2048];
    if (av::av_sdp_create(Foutput_files.data(), ACount, Sdp, sizeof(Sdp)) < 0)
        return;
    Log(fllInfo, u"SDP:\r\n" + Trim(UTF8ToString(Sdp)));
}

void TCustomFFmpeg::DoVideoStats(TAVOutputStream& ost, int frame_size) {
    if (!Fvstats_file) {
        Fvstats_file = fopen(Fvstats_filename.c_str(), "w");
        if (!Fvstats_file)
            Raise(u"fopen fail: " + UTF8ToString(Fvstats_filename));
    }
    AVCodecContext* Enc = ost.enc;
    if (Enc->codec_type != AVMEDIA_TYPE_VIDEO)
        return;
    fprintf(Fvstats_file, "frame= %5d q= %2.1f ", ost.frame_number, ost.quality / FF_QP2LAMBDA);
    if (Enc->flags & AV_CODEC_FLAG_PSNR)
        fprintf(Fvstats_file, "PSNR= %6.2f ",
                Psnr(double(ost.error[0]) / (double(Enc->width) * Enc->height * 255.0 * 255.0)));
    fprintf(Fvstats_file, "f_size= %6d ", frame_size);
    double ti1 = ost.sync_opts * av_q2d(Enc->time_base);
    if (ti1 < 0.01)
        ti1 = 0.01;
    const double bitrate = frame_size * 8 / av_q2d(Enc->time_base) / 1000.0;
    const double avg_bitrate = double(Fvideo_size) * 8 / ti1 / 1000.0;
    fprintf(Fvstats_file, "s_size= %8.0fkB time= %0.3f br= %7.1fkbits/s avg_br= %7.1fkbits/s ",
            double(Fvideo_size) / 1024, ti1, bitrate, avg_bitrate);
    fprintf(Fvstats_file, "type= %c\n", av::av_get_picture_type_char(AVPictureType(ost.pict_type)));
}

// "Y:%2.2f U:%2.2f V:%2.2f *:%2.2f " of the last picture, or of the whole stream on the last report.
String TCustomFFmpeg::PsnrText(const TAVOutputStream& AOst, bool AIsLast, int AFrameNumber) {
    const AVCodecContext* Enc = AOst.enc;
    String Text = u"PSNR=";
    double ErrorSum = 0, ScaleSum = 0;
    for (int J = 0; J < 3; ++J) {
        double Error = AIsLast ? double(Enc->error[J]) : double(AOst.error[J]);
        double Scale = double(Enc->width) * Enc->height * 255.0 * 255.0;
        if (AIsLast)
            Scale *= AFrameNumber;
        if (J)
            Scale /= 4;
        ErrorSum += Error;
        ScaleSum += Scale;
        Text += Format(u"%s:%2.2f ", {String(1, u"YUV"[J]), Psnr(Error / Scale)});
    }
    return Text + Format(u"*:%2.2f ", {Psnr(ErrorSum / ScaleSum)});
}

void TCustomFFmpeg::PrintReport(bool is_last, int file_index) {
    AVFormatContext* Oc = Foutput_files[0];
    Int64 total_size = 0;
    if (Oc && Oc->pb) {
        total_size = av::avio_size(Oc->pb);
        if (total_size < 0)
            total_size = av::avio_seek(Oc->pb, 0, SEEK_CUR);
    }
    int frame_number = -1, fps = -1;
    float q = -1.0f;
    double ti1 = 1e10;
    String Line;
    bool FirstVideo = true;
    for (auto& OstP : Fost_table) {
        TAVOutputStream& Ost = *OstP;
        AVCodecContext* Enc = Ost.enc;
        const float Quality = Ost.setup->stream_copy ? -1.0f : Ost.quality / FF_QP2LAMBDA;
        if (Enc->codec_type == AVMEDIA_TYPE_VIDEO && !FirstVideo)
            Line += Format(u"q=%2.1f ", {double(Quality)});
        if (Enc->codec_type == AVMEDIA_TYPE_VIDEO && FirstVideo && Ost.show_fps) {
            FirstVideo = false;
            const double t = double(NowUs() - Ftimer_start) / 1000000.0;
            frame_number = Ost.frame_number;
            if (frame_number < 1)
                return;
            fps = t > 1 ? int(frame_number / t + 0.5) : 0;
            q = Quality;
            Line += Format(u"frame=%5d fps=%3d q=%3.1f ", {frame_number, fps, double(q)});
            if (is_last)
                Line += u"L";
            if (Fqp_hist) {
                const long Qp = std::lround(q);
                if (Qp >= 0 && Qp < 52)
                    ++Fqp_histogram[Qp];
                for (int J = 0; J < 32; ++J)
                    Line += Format(u"%X", {int(std::lround(std::log2(double(Fqp_histogram[J]) + 1)))});
            }
            if (Enc->flags & AV_CODEC_FLAG_PSNR)
                Line += PsnrText(Ost, is_last, frame_number);
        }
        const AVRational Tb = Enc->time_base.num ? Enc->time_base : Ost.st->time_base;
        const double T = Ost.sync_opts * av_q2d(Tb);
        if (T > 0 && T < ti1)
            ti1 = T;
    }
    if (ti1 < 0.01)
        ti1 = 0.01;
    if (ti1 == 1e10)
        ti1 = 0.01;
    const double bitrate = double(total_size) * 8 / ti1 / 1000.0;
    if (OnProgress || Fverbose > 0 || is_last) {
        Line += Format(u"size=%8.0fkB time=%0.2f bitrate=%6.1fkbits/s", {double(total_size) / 1024, ti1, bitrate});
        if (Fnb_frames_dup || Fnb_frames_drop)
            Line += Format(u" dup=%d drop=%d", {Fnb_frames_dup, Fnb_frames_drop});
        if (FShowDupOrDrop && Fverbose >= 0 && OnProgress) {
            FShowDupOrDrop = false;
            Log(fllVerbose, Line);
        }
    }
    if (OnProgress)
        OnProgress(this, file_index, frame_number, fps, q, float(bitrate), total_size, Int64(ti1 * 1000000),
                   FTotalOutputDuration);
    else if (Fverbose >= 0)
        Log(fllVerbose, Line);
    if (is_last && Fverbose >= 0) {
        const double raw = double(Fvideo_size + Faudio_size + Fextra_size);
        Log(fllVerbose, Format(u"video:%1.0fkB audio:%1.0fkB global headers:%1.0fkB muxing overhead %f%%\r\n",
                               {double(Fvideo_size) / 1024, double(Faudio_size) / 1024, double(Fextra_size) / 1024,
                                raw > 0 ? 100.0 * (double(total_size) - raw) / raw : 0.0}));
    }
}
