// Decoding: packets of an input stream to frames (or, for a stream copy, straight to the outputs),
// the video hooks and the filter graph on the way to the encoders.
#include "engine/FFmpeg.h"

#include "engine/AVCodecStubs.h"
#include "engine/AVFilterStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/FFmpegHelpers.h"
#include "engine/FFmpegStreams.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"

#include <cmath>

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
    if (!ist.decoding_needed) {
        return pkt ? CopyPacket(ist, ist_index, pkt) : 0;
    }
    const AVMediaType Type = ist.st->codecpar->codec_type;
    int Res = -1;
    if (Type == AVMEDIA_TYPE_SUBTITLE)
        Res = DecodeSubtitle(ist, ist_index, pkt);
    else if (Type == AVMEDIA_TYPE_AUDIO || Type == AVMEDIA_TYPE_VIDEO)
        Res = DecodeFrames(ist, ist_index, pkt);
    if (Res < 0)
        return Res;
    if (!pkt && !FRun->join_flushing) {
        for (auto& OstP : FRun->ost_table)
            if (OstP->source_index == ist_index && OstP->encoding_needed)
                FlushEncoder(*OstP);
        ist.decoder_flushed = 1;
    }
    return 0;
}

// A stream that is not decoded: its clock advances by the packet, and every output copying it gets
// the packet with its times in the output's base.
int TCustomFFmpeg::CopyPacket(TAVInputStream& ist, int ist_index, const AVPacket* pkt) {
    const AVCodecParameters* Par = ist.st->codecpar;
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
    for (auto& OstP : FRun->ost_table) {
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

int TCustomFFmpeg::DecodeSubtitle(TAVInputStream& ist, int ist_index, const AVPacket* pkt) {
    if (!pkt)
        return 0;
    AVSubtitle Sub{};
    int Got = 0;
    if (av::avcodec_decode_subtitle2(ist.dec, &Sub, &Got, const_cast<AVPacket*>(pkt)) < 0)
        return -1;
    if (!Got)
        return 0;
    if (Fstart_time == 0 || ist.pts >= Fstart_time)
        for (auto& OstP : FRun->ost_table)
            if (OstP->source_index == ist_index && OstP->encoding_needed)
                DoSubtitleOut(*OstP, ist, &Sub, pkt->pts);
    av::avsubtitle_free(&Sub);
    return 0;
}

// Sends the packet (none: the end of the stream) to the decoder and hands every frame it gives on.
int TCustomFFmpeg::DecodeFrames(TAVInputStream& ist, int ist_index, const AVPacket* pkt) {
    int Res = av::avcodec_send_packet(ist.dec, pkt);
    if (Res < 0 && Res != AVERROR_EOF)
        return -1;
    AVFrame* F = ist.frame;
    while (true) {
        Res = av::avcodec_receive_frame(ist.dec, F);
        if (Res == AVERROR(EAGAIN) || Res == AVERROR_EOF)
            return 0;
        if (Res < 0)
            return -1;
        const Int64 Ts = F->best_effort_timestamp;
        ist.pts = Ts != AV_NOPTS_VALUE ? av::av_rescale_q(Ts, ist.st->time_base, AV_TIME_BASE_Q) : ist.next_pts;
        if (ist.st->codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
            Int64 Dur = F->pkt_duration > 0 ? av::av_rescale_q(F->pkt_duration, ist.st->time_base, AV_TIME_BASE_Q) : 0;
            if (Dur <= 0 && ist.st->avg_frame_rate.num)
                Dur = std::llround(1000000.0 / av_q2d(ist.st->avg_frame_rate));
            ist.next_pts = ist.pts + Dur;
            ist.quality = F->quality;
            FilterVideo(ist, ist_index, F);
        } else {
            ist.next_pts = ist.pts + Int64(1000000) * F->nb_samples / std::max(1, F->sample_rate);
            if (!ToS16(ist, F))
                Raise(u"av_audio_convert() failed");
            AudioDecoded(ist, ist_index);
        }
        av::av_frame_unref(F);
    }
}

// Decoded audio, as 16-bit samples: the volume, the rate emulation, then every output it feeds.
// With rate emulation, waits until the stream's time has come; False while the stream is still
// before the start time.
bool TCustomFFmpeg::ReadyForOutputs(const TAVInputStream& ist) {
    if (Frate_emu) {
        const Int64 Ahead = ist.pts - (NowUs() - ist.start);
        if (Ahead > 1000)
            av::av_usleep(unsigned(Ahead / 1000 * 1000));
    }
    return Fstart_time == 0 || ist.pts >= Fstart_time;
}

void TCustomFFmpeg::AudioDecoded(TAVInputStream& ist, int ist_index) {
    if (Faudio_volume != 256) {
        auto* S = reinterpret_cast<int16_t*>(ist.samples.data());
        const size_t N = ist.samples.size() / 2;
        for (size_t I = 0; I < N; ++I)
            S[I] = int16_t(av_clip((S[I] * Faudio_volume + 128) >> 8, -32768, 32767));
    }
    if (!ReadyForOutputs(ist))
        return;
    for (auto& OstP : FRun->ost_table)
        if (OstP->source_index == ist_index && OstP->encoding_needed)
            DoAudioOut(*OstP, ist, ist.samples.data(), int(ist.samples.size()));
}

void TCustomFFmpeg::FilterVideo(TAVInputStream& ist, int ist_index, AVFrame* AFrame) {
    ++FRun->hook_frame_number;
    if (OnCustomHook)
        RunCustomHook(AFrame, ist);
    else if (Fusing_vhook)
        RunFrameHooks(AFrame, ist);
    if (!ReadyForOutputs(ist))
        return;
    for (auto& OstP : FRun->ost_table) {
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
    FRun->hook_buf.resize(size_t(LineSize) * H);
    uint8_t* Dst[4] = {FRun->hook_buf.data()};
    int DstLines[4] = {LineSize};
    av::sws_scale(To, picture->data, picture->linesize, 0, H, Dst, DstLines);
    bool Update = true, StopHook = false;
    try {
        OnCustomHook(this, FRun->hook_buf.data(), LineSize, W, H, FRun->hook_frame_number, ist.pts, Update, StopHook);
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
