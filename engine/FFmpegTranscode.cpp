// The transcoding run: building the run's tables, mapping output streams to their sources, opening
// the codecs, writing the headers, the read loop, and the end of the run. Each phase is a method of
// its own; the tables live in a run object that Transcode creates and frees.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegHelpers.h"
#include "engine/FFmpegLoader.h"
#include "engine/FFmpegLogger.h"
#include "engine/FFmpegStreams.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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

void TCustomFFmpeg::Transcode() {
    FRun = std::make_unique<TTranscodeRun>();
    FRun->nb_ofiles = FJoinMode ? std::min(1, Fnb_output_files) : Fnb_output_files;
    FRun->header_written.assign(FRun->nb_ofiles, false);
    try {
        BuildInputTables();
        MapStreams();
        SetupStreams();
        OpenDecoders();
        OpenEncoders();
        PrepareOutputs();
        WriteHeaders();
        RunLoop();
        Finish();
    } catch (...) {
        // A failed run still closes what it started, so the output plays up to the failure.
        if (!FRun->trailers_written)
            for (int I = 0; I < FRun->nb_ofiles; ++I)
                if (FRun->header_written[I])
                    av::av_write_trailer(Foutput_files[I]);
        FreeRun();
        throw;
    }
    FreeRun();
}

void TCustomFFmpeg::FreeRun() {
    if (!FRun)
        return;
    // Decoders close under the codec lock; the encoders belong to the streams' setups.
    for (auto& Ist : FRun->ist_table)
        if (Ist && Ist->dec) {
            std::lock_guard Guard(CodecLock);
            av::avcodec_free_context(&Ist->dec);
        }
    FRun.reset();
}

void TCustomFFmpeg::DumpOutputs() {
    for (int I = 0; I < FRun->nb_ofiles; ++I)
        av::av_dump_format(Foutput_files[I], I, Foutput_files[I]->url, 1);
}

void TCustomFFmpeg::FailRun(const String& AText) {
    DumpOutputs();
    Log(fllError, AText);
    Raise(AText);
}

void TCustomFFmpeg::BuildInputTables() {
    FRun->file_table.assign(Fnb_input_files, TAVInputFile{});
    int nb_istreams = 0;
    for (int I = 0; I < Fnb_input_files; ++I) {
        FRun->file_table[I].ist_index = nb_istreams;
        FRun->file_table[I].nb_streams = int(Finput_files[I]->nb_streams);
        nb_istreams += FRun->file_table[I].nb_streams;
    }
    for (int I = 0; I < Fnb_input_files; ++I)
        for (int J = 0; J < FRun->file_table[I].nb_streams; ++J) {
            auto Ist = std::make_unique<TAVInputStream>();
            Ist->st = Finput_files[I]->streams[J];
            Ist->file_index = I;
            Ist->index = J;
            if (Frate_emu)
                Ist->start = NowUs();
            FRun->ist_table.push_back(std::move(Ist));
        }
}

void TCustomFFmpeg::CheckStreamMaps() {
    int nb_ostreams = 0;
    for (int I = 0; I < FRun->nb_ofiles; ++I) {
        if (Foutput_files[I]->nb_streams == 0) {
            av::av_dump_format(Foutput_files[I], I, Foutput_files[I]->url, 1);
            Raise(Format(u"Output file #%d does not contain any stream", {I}));
        }
        nb_ostreams += int(Foutput_files[I]->nb_streams);
    }
    if (!Fstream_maps.empty() && int(Fstream_maps.size()) != nb_ostreams)
        Raise(u"Number of stream maps must match number of output streams");
    auto Valid = [this](int AFile, int AStream) {
        return AFile >= 0 && AFile < Fnb_input_files && AStream >= 0 && AStream < FRun->file_table[AFile].nb_streams;
    };
    for (const TAVStreamMap& M : Fstream_maps) {
        if (!Valid(M.file_index, M.stream_index))
            Raise(Format(u"Could not find input stream #%d.%d", {M.file_index, M.stream_index}));
        if (!Valid(M.sync_file_index, M.sync_stream_index))
            Raise(Format(u"Could not find sync stream #%d.%d", {M.sync_file_index, M.sync_stream_index}));
    }
}

namespace {
int StreamType(const AVStream* S) {
    return int(S->codecpar->codec_type);
}
} // namespace

// The input stream of type AType (of input file AFile, or of any file when AFile is -1) with the most
// frames that no other output stream took yet; -1 when there is none.
int TCustomFFmpeg::ChooseSource(int AType, int AFile) const {
    int Found = -1, BestFrames = -1;
    for (size_t J = 0; J < FRun->ist_table.size(); ++J) {
        const TAVInputStream& Ist = *FRun->ist_table[J];
        if (!Ist.discard || Ist.st->discard == AVDISCARD_ALL || StreamType(Ist.st) != AType)
            continue;
        if (AFile >= 0 && Ist.file_index != AFile)
            continue;
        // The container's frame count stands for what probing saw.
        const int Frames = int(Ist.st->nb_frames);
        if (Frames > BestFrames) {
            BestFrames = Frames;
            Found = int(J);
        }
    }
    return Found;
}

void TCustomFFmpeg::MapByStreamMap(TAVOutputStream& Ost, const TAVStreamMap& M) {
    Ost.source_index = FRun->file_table[M.file_index].ist_index + M.stream_index;
    const TAVInputStream& Src = *FRun->ist_table[Ost.source_index];
    const int OType = Ost.enc->codec_type;
    if (StreamType(Src.st) != OType) {
        DumpOutputs();
        Raise(Format(
            u"Codec type mismatch for mapping #%d.%d (%s) -> #%d.%d (%s)",
            {M.file_index, M.stream_index, TypeName(StreamType(Src.st)), Ost.file_index, Ost.index, TypeName(OType)}));
    }
    Ost.sync_ist = FRun->ist_table[FRun->file_table[M.sync_file_index].ist_index + M.sync_stream_index].get();
}

void TCustomFFmpeg::MapAutomatically(TAVOutputStream& Ost) {
    const int OType = Ost.enc->codec_type;
    int Found;
    if (FJoinMode) {
        for (int F = 0; F < Fnb_input_files; ++F) {
            const int S = ChooseSource(OType, F);
            Ost.join_sources.push_back(S);
            if (S >= 0)
                FRun->ist_table[S]->discard = 0;
        }
        Found = Ost.join_sources[0];
    } else {
        Found = ChooseSource(OType, -1);
        // Every stream of that type is taken: share the last one.
        if (Found < 0)
            for (size_t J = 0; J < FRun->ist_table.size(); ++J) {
                const TAVInputStream& Ist = *FRun->ist_table[J];
                if (StreamType(Ist.st) == OType && Ist.st->discard != AVDISCARD_ALL)
                    Found = int(J);
            }
    }
    if (Found < 0) {
        DumpOutputs();
        Raise(Format(u"Could not find input stream matching output stream #%d.%d (%s)",
                     {Ost.file_index, Ost.index, TypeName(OType)}));
    }
    Ost.source_index = Found;
    Ost.sync_ist = FRun->ist_table[Found].get();
}

void TCustomFFmpeg::MapStreams() {
    CheckStreamMaps();
    int n = 0;
    for (int K = 0; K < FRun->nb_ofiles; ++K) {
        AVFormatContext* Os = Foutput_files[K];
        for (unsigned I = 0; I < Os->nb_streams; ++I, ++n) {
            auto Ost = std::make_unique<TAVOutputStream>();
            Ost->file_index = K;
            Ost->index = int(I);
            Ost->st = Os->streams[I];
            Ost->setup = &Fstream_setups[K][I];
            Ost->enc = Ost->setup->enc;
            if (!Fstream_maps.empty())
                MapByStreamMap(*Ost, Fstream_maps[n]);
            else
                MapAutomatically(*Ost);
            FRun->ist_table[Ost->source_index]->discard = 0;
            FRun->ost_table.push_back(std::move(Ost));
        }
    }
}

void TCustomFFmpeg::SetupStreams() {
    for (size_t I = 0; I < FRun->ost_table.size(); ++I) {
        TAVOutputStream& Ost = *FRun->ost_table[I];
        TAVInputStream& Ist = *FRun->ist_table[Ost.source_index];
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
                FRun->ist_table[S]->decoding_needed = 1;
    }
}

// Decoders open before the encoders, so subtitle encoders can take the decoder's header.
void TCustomFFmpeg::OpenDecoders() {
    for (size_t J = 0; J < FRun->ist_table.size(); ++J) {
        TAVInputStream& Ist = *FRun->ist_table[J];
        if (!Ist.decoding_needed)
            continue;
        const AVCodec* Codec = int(J) < Fnb_icodecs && Finput_codecs[J]
                                   ? Finput_codecs[J]
                                   : av::avcodec_find_decoder(Ist.st->codecpar->codec_id);
        if (!Codec)
            FailRun(Format(u"Decoder (codec id %d) not found for input stream #%d.%d (%s)",
                           {int(Ist.st->codecpar->codec_id), Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))}));
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
            FailRun(Format(u"Error while opening decoder for input stream #%d.%d (%s)",
                           {Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))}));
        Ist.frame = av::av_frame_alloc();
    }
}

void TCustomFFmpeg::OpenEncoder(TAVOutputStream& Ost) {
    AVCodecContext* Enc = Ost.enc;
    const AVCodec* Codec = Ost.setup->codec ? Ost.setup->codec : av::avcodec_find_encoder(Enc->codec_id);
    if (!Codec)
        FailRun(Format(u"Encoder (codec id %d) not found for output stream #%d.%d (%s)",
                       {int(Enc->codec_id), Ost.file_index, Ost.index, TypeName(Enc->codec_type)}));
    const TAVInputStream& Ist = *FRun->ist_table[Ost.source_index];
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
        if (Codec->priv_class && av::av_opt_find(const_cast<const AVClass**>(&Codec->priv_class), E->key, nullptr, 0,
                                                 AV_OPT_SEARCH_FAKE_OBJ))
            av::av_dict_set(&Opts, E->key, E->value, 0);
    int Res;
    ClearLibraryErrorLine();
    {
        std::lock_guard Guard(CodecLock);
        Res = av::avcodec_open2(Enc, Codec, &Opts);
    }
    av::av_dict_free(&Opts);
    if (Res < 0) {
        // The library's own reason, which it logs (or, without a line, its error code's text).
        String Reason = LibraryErrorLine();
        if (Reason.empty())
            Reason = AVErrorText(Res);
        FailRun(Format(u"Error while opening encoder for output stream #%d.%d (%s) - maybe incorrect "
                       u"parameters such as bit_rate, rate, width or height. Please check error log message "
                       u"to find out more detail information.",
                       {Ost.file_index, Ost.index, TypeName(Enc->codec_type)}) +
                u" " + Reason);
    }
    Ost.opened = true;
    Fextra_size += Enc->extradata_size;
    if (av::avcodec_parameters_from_context(Ost.st->codecpar, Enc) < 0)
        Raise(u"av_mallocz fail");
    Ost.st->time_base = Enc->time_base;
    SetStreamCpbProperties(Ost);
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

// The encoder's side data reach the output stream, among them its rate-control values as CPB
// properties, from which the MPEG muxers size their buffers (a VCD's 46 KB). A video encoder that
// publishes none gets them from the values it was given.
void TCustomFFmpeg::SetStreamCpbProperties(TAVOutputStream& Ost) {
    const AVCodecContext* Enc = Ost.enc;
    bool HasCpb = false;
    for (int I = 0; I < Enc->nb_coded_side_data; ++I) {
        const AVPacketSideData& Sd = Enc->coded_side_data[I];
        uint8_t* Data = av::av_stream_new_side_data(Ost.st, Sd.type, Sd.size);
        if (!Data)
            Raise(u"av_mallocz fail");
        memcpy(Data, Sd.data, Sd.size);
        HasCpb |= Sd.type == AV_PKT_DATA_CPB_PROPERTIES;
    }
    if (HasCpb || Enc->codec_type != AVMEDIA_TYPE_VIDEO ||
        !(Enc->rc_buffer_size || Enc->rc_max_rate || Enc->rc_min_rate || Enc->bit_rate))
        return;
    auto* Props = reinterpret_cast<AVCPBProperties*>(
        av::av_stream_new_side_data(Ost.st, AV_PKT_DATA_CPB_PROPERTIES, sizeof(AVCPBProperties)));
    if (!Props)
        Raise(u"av_mallocz fail");
    Props->max_bitrate = Enc->rc_max_rate;
    Props->min_bitrate = Enc->rc_min_rate;
    Props->avg_bitrate = Enc->bit_rate;
    Props->buffer_size = Enc->rc_buffer_size;
    Props->vbv_delay = UINT64_MAX;
}

void TCustomFFmpeg::OpenBitstreamFilters(TAVOutputStream& Ost) {
    if (Ost.setup->bsfs.empty())
        return;
    if (av::av_bsf_list_parse_str(Ost.setup->bsfs.c_str(), &Ost.bsf) < 0 ||
        av::avcodec_parameters_copy(Ost.bsf->par_in, Ost.st->codecpar) < 0)
        Raise(Format(u"Unknown bitstream filter %s", {Ost.setup->bsfs}));
    Ost.bsf->time_base_in = Ost.st->time_base;
    if (av::av_bsf_init(Ost.bsf) < 0)
        Raise(Format(u"Unknown bitstream filter %s", {Ost.setup->bsfs}));
    av::avcodec_parameters_copy(Ost.st->codecpar, Ost.bsf->par_out);
    Ost.st->time_base = Ost.bsf->time_base_out;
}

void TCustomFFmpeg::OpenEncoders() {
    for (auto& Ost : FRun->ost_table) {
        if (Ost->encoding_needed)
            OpenEncoder(*Ost);
        OpenBitstreamFilters(*Ost);
    }
}

// Initial times, the metadata maps and the chapters.
void TCustomFFmpeg::PrepareOutputs() {
    for (auto& IstP : FRun->ist_table) {
        TAVInputStream& Ist = *IstP;
        const AVRational Rate = Ist.st->avg_frame_rate;
        Ist.pts = 0;
        if (Rate.num && Rate.den && Ist.st->codecpar->video_delay)
            Ist.pts = -std::llround(Ist.st->codecpar->video_delay * 1000000.0 / av_q2d(Rate));
        Ist.next_pts = AV_NOPTS_VALUE;
        Ist.is_start = 1;
    }
    for (const TAVMetaDataMap& M : Fmeta_data_maps) {
        if (M.out_file < 0 || M.out_file >= FRun->nb_ofiles)
            FailRun(Format(u"Invalid output file index %d map_meta_data(%d,%d)", {M.out_file, M.out_file, M.in_file}));
        if (M.in_file < 0 || M.in_file >= Fnb_input_files)
            FailRun(Format(u"Invalid input file index %d map_meta_data(%d,%d)", {M.in_file, M.out_file, M.in_file}));
        av::av_dict_copy(&Foutput_files[M.out_file]->metadata, Finput_files[M.in_file]->metadata,
                         AV_DICT_DONT_OVERWRITE);
    }
    // A joined output takes the first input's chapters only: the others' times are their own files'.
    for (int In = 0; In < (FJoinMode ? std::min(1, Fnb_input_files) : Fnb_input_files); ++In)
        for (int Out = 0; Out < FRun->nb_ofiles; ++Out)
            CopyChapters(Finput_files[In], Foutput_files[Out], Finput_files_ts_offset[In]);
}

void TCustomFFmpeg::WriteHeaders() {
    OpenPendingOutputs();
    for (int I = 0; I < FRun->nb_ofiles; ++I) {
        AVDictionary* Opts = nullptr;
        av::av_dict_copy(&Opts, Fmuxer_opts[I], 0);
        const int Res = av::avformat_write_header(Foutput_files[I], &Opts);
        av::av_dict_free(&Opts);
        if (Res < 0)
            FailRun(Format(u"Could not write header for output file #%d (incorrect codec parameters ?)", {I}));
        FRun->header_written[I] = true;
    }
    LogSdp(FRun->nb_ofiles);
    DumpOutputs();
    if (Fverbose < 0)
        return;
    Log(fllVerbose, u"Stream mapping:");
    for (auto& OstP : FRun->ost_table) {
        const TAVOutputStream& Ost = *OstP;
        const TAVInputStream& Src = *FRun->ist_table[Ost.source_index];
        Log(fllVerbose,
            Format(u"  Stream #%d.%d -> #%d.%d (%s)", {Src.file_index, Src.index, FJoinMode ? 0 : Ost.file_index,
                                                       Ost.index, TypeName(Ost.enc->codec_type)}));
        if (Ost.sync_ist != &Src)
            Log(fllVerbose, Format(u" [sync #%d.%d (%s)]", {Ost.sync_ist->file_index, Ost.sync_ist->index,
                                                            TypeName(StreamType(Ost.sync_ist->st))}));
    }
}

// The input file to read next: in join mode the current one; otherwise the one whose output (or,
// with input sync, input) is furthest behind. -1 when an output has all its frames or nothing is left.
int TCustomFFmpeg::NextInputFile() const {
    if (FJoinMode) {
        for (auto& Ost : FRun->ost_table)
            if (Ost->frame_number >= Fmax_frames[Ost->enc->codec_type & 3])
                return -1;
        return FRun->join_current;
    }
    int file_index = -1;
    double ipts_min = 1e100, opts_min = 1e100;
    for (auto& OstP : FRun->ost_table) {
        const TAVOutputStream& Ost = *OstP;
        const TAVInputStream& Ist = *FRun->ist_table[Ost.source_index];
        if (Ist.is_past_recording_time || FRun->no_packet[Ist.file_index])
            continue;
        if (!FRun->file_table[Ist.file_index].eof_reached) {
            const double opts = Ost.sync_opts * av_q2d(Ost.enc->time_base.num ? Ost.enc->time_base : Ost.st->time_base);
            const double ipts = double(Ist.pts);
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
        if (Ost.frame_number >= Fmax_frames[Ost.enc->codec_type & 3])
            return -1;
    }
    return file_index;
}

// Offsets, scales and discontinuities of the input's timestamps, applied to a packet just read.
void TCustomFFmpeg::AdjustPacketTimes(int file_index, TAVInputStream& Ist, AVPacket* Pkt) {
    const Int64 Offset = av::av_rescale_q(Finput_files_ts_offset[file_index], AV_TIME_BASE_Q, Ist.st->time_base);
    if (Pkt->dts != AV_NOPTS_VALUE)
        Pkt->dts += Offset;
    if (Pkt->pts != AV_NOPTS_VALUE)
        Pkt->pts += Offset;
    const double Scale = Pkt->stream_index < MAX_STREAMS ? Finput_files_ts_scale[file_index][Pkt->stream_index] : 0;
    if (Scale != 0) {
        if (Pkt->pts != AV_NOPTS_VALUE)
            Pkt->pts = std::llround(Pkt->pts * Scale);
        if (Pkt->dts != AV_NOPTS_VALUE)
            Pkt->dts = std::llround(Pkt->dts * Scale);
    }
    if (!(Finput_files[file_index]->iformat->flags & AVFMT_TS_DISCONT) || Pkt->dts == AV_NOPTS_VALUE ||
        Ist.next_pts == AV_NOPTS_VALUE || Fcopy_ts)
        return;
    const Int64 pkt_dts = av::av_rescale_q(Pkt->dts, Ist.st->time_base, AV_TIME_BASE_Q);
    const Int64 delta = pkt_dts - Ist.next_pts;
    if (std::llabs(delta) > Int64(Fdts_delta_threshold * 1000000) || pkt_dts + 1 < Ist.pts) {
        Finput_files_ts_offset[file_index] -= delta;
        if (Fverbose > 2)
            Log(fllVerbose,
                Format(u"timestamp discontinuity %d, new offset= %d", {delta, Finput_files_ts_offset[file_index]}));
        const Int64 D = av::av_rescale_q(delta, AV_TIME_BASE_Q, Ist.st->time_base);
        Pkt->dts -= D;
        if (Pkt->pts != AV_NOPTS_VALUE)
            Pkt->pts -= D;
    }
}

// One packet read from input file_index: to its input stream's outputs. False when the packet was
// dropped (an unknown or discarded stream, past the recording time, a decoding error).
bool TCustomFFmpeg::HandlePacket(int file_index, AVPacket* Pkt) {
    if (Fdo_pkt_dump)
        av::av_pkt_dump_log2(nullptr, AV_LOG_DEBUG, Pkt, Fdo_hex_dump,
                             Finput_files[file_index]->streams[Pkt->stream_index]);
    if (Pkt->stream_index >= FRun->file_table[file_index].nb_streams)
        return false;
    const int ist_index = FRun->file_table[file_index].ist_index + Pkt->stream_index;
    TAVInputStream& Ist = *FRun->ist_table[ist_index];
    if (Ist.discard)
        return false;
    FRun->current_file = file_index;
    AdjustPacketTimes(file_index, Ist, Pkt);
    if (Frecording_time != INT64_MAX && Pkt->pts != AV_NOPTS_VALUE &&
        av::av_compare_ts(Pkt->pts, Ist.st->time_base, Frecording_time + Fstart_time, AV_TIME_BASE_Q) >= 0) {
        Ist.is_past_recording_time = 1;
        return false;
    }
    if (OutputPacket(Ist, ist_index, Pkt) < 0) {
        const String Msg = Format(u"Error while decoding stream #%d.%d (%s)",
                                  {Ist.file_index, Ist.index, TypeName(StreamType(Ist.st))});
        if (Fexit_on_error)
            Raise(Msg);
        if (Fverbose >= 0)
            Log(fllVerbose, Msg);
        return false;
    }
    return true;
}

// The end of input file_index: False when the run ends with it.
bool TCustomFFmpeg::EndOfInput(int file_index) {
    FRun->file_table[file_index].eof_reached = 1;
    if (FJoinMode)
        return JoinNextInput(file_index);
    return !Fopt_shortest;
}

void TCustomFFmpeg::RunLoop() {
    Ftimer_start = NowUs();
    FRun->last_report_time = Ftimer_start;
    FRun->no_packet.assign(Fnb_input_files, false);
    AVPacket* Pkt = av::av_packet_alloc();
    std::unique_ptr<AVPacket, void (*)(AVPacket*)> PktGuard(Pkt, [](AVPacket* P) { av::av_packet_free(&P); });
    while (!FBroken) {
        CheckPause();
        if (FBroken)
            break;
        const int file_index = NextInputFile();
        if (file_index < 0) {
            if (FJoinMode || FRun->no_packet_count == 0)
                break;
            // Every input said "again": wait a little and ask all of them once more.
            std::fill(FRun->no_packet.begin(), FRun->no_packet.end(), false);
            FRun->no_packet_count = 0;
            av::av_usleep(10000);
            continue;
        }
        if (Flimit_filesize != 0 && Foutput_files[0]->pb &&
            av::avio_seek(Foutput_files[0]->pb, 0, SEEK_CUR) >= Flimit_filesize)
            break;
        const int Ret = av::av_read_frame(Finput_files[file_index], Pkt);
        if (Ret == AVERROR(EAGAIN)) {
            FRun->no_packet[file_index] = true;
            ++FRun->no_packet_count;
            continue;
        }
        if (Ret < 0) {
            if (!EndOfInput(file_index))
                break;
            continue;
        }
        std::fill(FRun->no_packet.begin(), FRun->no_packet.end(), false);
        FRun->no_packet_count = 0;
        const bool Handled = HandlePacket(file_index, Pkt);
        av::av_packet_unref(Pkt);
        const Int64 Now = NowUs();
        if (Handled && Now - FRun->last_report_time > ReportInterval) {
            FRun->last_report_time = Now;
            PrintReport(false, FRun->current_file);
        }
    }
}

// Drains the decoders and encoders, writes the trailers and gives the last report.
void TCustomFFmpeg::Finish() {
    for (size_t J = 0; J < FRun->ist_table.size(); ++J) {
        TAVInputStream& Ist = *FRun->ist_table[J];
        if (Ist.decoding_needed && !Ist.decoder_flushed)
            OutputPacket(Ist, int(J), nullptr);
    }
    for (auto& Ost : FRun->ost_table)
        if (Ost->encoding_needed)
            FlushEncoder(*Ost);
    FRun->trailers_written = true;
    for (int I = 0; I < FRun->nb_ofiles; ++I)
        av::av_write_trailer(Foutput_files[I]);
    PrintReport(true, -1);
    FFinished = !FBroken;
}

bool TCustomFFmpeg::JoinNextInput(int k) {
    // Drain what the decoders of input k still hold; the encoders go on with the next input.
    FRun->join_flushing = true;
    for (size_t J = 0; J < FRun->ist_table.size(); ++J) {
        TAVInputStream& Ist = *FRun->ist_table[J];
        if (Ist.file_index == k && Ist.decoding_needed && !Ist.decoder_flushed) {
            OutputPacket(Ist, int(J), nullptr);
            Ist.decoder_flushed = 1;
        }
    }
    FRun->join_flushing = false;
    double End = 0;
    for (auto& OstP : FRun->ost_table) {
        TAVOutputStream& Ost = *OstP;
        const double T = Ost.sync_opts * av_q2d(Ost.enc->time_base.num ? Ost.enc->time_base : Ost.st->time_base);
        End = std::max(End, T);
    }
    if (k + 1 >= Fnb_input_files)
        return false;
    Finput_files_ts_offset[k + 1] += std::llround(End * 1000000.0);
    FRun->join_current = k + 1;
    for (auto& OstP : FRun->ost_table) {
        TAVOutputStream& Ost = *OstP;
        if (k + 1 < int(Ost.join_sources.size()) && Ost.join_sources[k + 1] >= 0) {
            Ost.source_index = Ost.join_sources[k + 1];
            Ost.sync_ist = FRun->ist_table[Ost.source_index].get();
        }
    }
    return true;
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
