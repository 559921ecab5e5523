// Encoding and writing: video frame-rate synchronisation, audio resampling and synchronisation,
// subtitles, draining the encoders, and the single point where packets reach a muxer.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegHelpers.h"
#include "engine/FFmpegStreams.h"
#include "engine/SwResampleStubs.h"

#include <algorithm>
#include <cmath>
#include <cstring>

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
        EncodeFilteredPictures(ost, *FRun->ist_table[ost.source_index]);
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
    FRun->subtitle_out.resize(1048576);
    for (int I = 0; I < Times; ++I) {
        sub->pts = av::av_rescale_q(pts, ist.st->time_base, AV_TIME_BASE_Q) + Int64(sub->start_display_time) * 1000;
        sub->end_display_time -= sub->start_display_time;
        sub->start_display_time = 0;
        if (I == 1)
            sub->num_rects = 0;
        const int Size =
            av::avcodec_encode_subtitle(ost.enc, FRun->subtitle_out.data(), int(FRun->subtitle_out.size()), sub);
        if (Size < 0)
            Raise(u"Subtitle encoding failed");
        AVPacket* Pkt = ost.pkt;
        av::av_packet_unref(Pkt);
        if (av::av_new_packet(Pkt, Size) < 0)
            Raise(u"Subtitle encoding failed");
        memcpy(Pkt->data, FRun->subtitle_out.data(), Size);
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
