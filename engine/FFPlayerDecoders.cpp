// The player's decoders: opening and closing a stream's decoder, the video thread that decodes,
// filters and queues pictures, the frame hook, and the subtitle thread.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/AVFilterStubs.h"
#include "engine/FFPlayerFilters.h"
#include "engine/FFPlayerState.h"
#include "engine/FFmpegLoader.h"
#include "engine/SwResampleStubs.h"
#include "engine/SwScaleStubs.h"

extern "C" {
#include <libavfilter/buffersink.h>
#include <libavfilter/buffersrc.h>
}

TVideoState::~TVideoState() {
    for (TVideoPicture& P : pictq)
        av::av_frame_free(&P.frame);
    av::av_frame_free(&shown);
    for (TSubPicture& S : subpq)
        if (S.used)
            av::avsubtitle_free(&S.sub);
    av::av_frame_free(&audio_frame);
    av::swr_free(&swr);
    av::sws_freeContext(display_sws);
    av::sws_freeContext(frame_sws);
    av::sws_freeContext(hook_to_sws);
    av::sws_freeContext(hook_from_sws);
    if (rdft)
        av::av_rdft_end(rdft);
}

// The old error recognition levels (careful 1, compliant 2, aggressive 3, very aggressive 4) as the
// libraries' flags of what to check.
int ErrorRecognitionFlags(int ALevel) {
    int Flags = 0;
    if (ALevel >= 1)
        Flags |= AV_EF_CAREFUL;
    if (ALevel >= 2)
        Flags |= AV_EF_COMPLIANT | AV_EF_CRCCHECK | AV_EF_BITSTREAM;
    if (ALevel >= 3)
        Flags |= AV_EF_AGGRESSIVE | AV_EF_BUFFER;
    return Flags;
}

// The player's decoder options. The motion-vector display (debug_mv) and the edge emulation that
// lowres asked for are gone from the libraries; one decoding thread keeps the preview light.
void TVideoState::ApplyDecoderOptions(AVCodecContext* ACtx, const AVCodec* ACodec) {
    const TCustomPlayer& P = *Owner;
    ACtx->debug = P.Fdebug;
    ACtx->workaround_bugs = P.Fworkaround_bugs;
    ACtx->lowres = std::clamp<int>(P.Flowres, 0, ACodec->max_lowres);
    ACtx->idct_algo = P.Fidct_algo;
    if (P.Ffast)
        ACtx->flags2 |= AV_CODEC_FLAG2_FAST;
    ACtx->skip_frame = AVDiscard(P.Fskip_frame);
    ACtx->skip_idct = AVDiscard(P.Fskip_idct);
    ACtx->skip_loop_filter = AVDiscard(P.Fskip_loop_filter);
    ACtx->err_recognition = ErrorRecognitionFlags(P.Ferror_recognition);
    ACtx->error_concealment = P.Ferror_concealment;
    ACtx->thread_count = 1;
}

int TVideoState::StreamComponentOpen(int AIndex) {
    TCustomPlayer* P = Owner;
    if (!ic || AIndex < 0 || AIndex >= int(ic->nb_streams))
        return -1;
    AVStream* St = ic->streams[AIndex];
    const AVCodec* Codec = av::avcodec_find_decoder(St->codecpar->codec_id);
    AVCodecContext* Ctx = Codec ? av::avcodec_alloc_context3(Codec) : nullptr;
    int Ret = -1;
    if (Ctx && av::avcodec_parameters_to_context(Ctx, St->codecpar) >= 0) {
        Ctx->pkt_timebase = St->time_base;
        ApplyDecoderOptions(Ctx, Codec);
        std::lock_guard Guard(CodecLock);
        Ret = av::avcodec_open2(Ctx, Codec, nullptr);
    }
    if (Ret < 0) {
        av::avcodec_free_context(&Ctx);
        P->LogError(u"avcodec_open() failed.", false);
        return -1;
    }
    switch (St->codecpar->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        return OpenAudio(St, Ctx, AIndex);
    case AVMEDIA_TYPE_VIDEO:
        video_ctx = Ctx;
        video_st = St;
        St->discard = AVDISCARD_DEFAULT;
        videoq.Start();
        video_stream = AIndex;
        video_tid = std::thread([this] { VideoThread(); });
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        subtitle_ctx = Ctx;
        subtitle_st = St;
        St->discard = AVDISCARD_DEFAULT;
        subtitleq.Start();
        subtitle_stream = AIndex;
        subtitle_tid = std::thread([this] { SubtitleThread(); });
        break;
    default: {
        std::lock_guard Guard(CodecLock);
        av::avcodec_free_context(&Ctx);
        return -1;
    }
    }
    return 0;
}

void TVideoState::StreamComponentClose(int AIndex) {
    if (!ic || AIndex < 0 || AIndex >= int(ic->nb_streams))
        return;
    AVCodecContext* Ctx = nullptr;
    switch (ic->streams[AIndex]->codecpar->codec_type) {
    case AVMEDIA_TYPE_VIDEO:
        videoq.Abort();
        {
            std::lock_guard Guard(pictq_mutex);
            pictq_cond.notify_all();
        }
        if (video_tid.joinable())
            video_tid.join();
        videoq.Flush();
        Ctx = video_ctx;
        video_ctx = nullptr;
        video_st = nullptr;
        video_stream = -1;
        break;
    case AVMEDIA_TYPE_AUDIO:
        audioq.Abort();
        if (audio_dev)
            sdl::SDL_CloseAudioDevice(audio_dev);
        audio_dev = 0;
        audioq.Flush();
        av::swr_free(&swr);
        av::av_frame_free(&audio_frame);
        swr_fmt = -1;
        Ctx = audio_ctx;
        audio_ctx = nullptr;
        audio_st = nullptr;
        audio_stream = -1;
        AudioDuration = -1;
        break;
    case AVMEDIA_TYPE_SUBTITLE:
        subtitleq.Abort();
        {
            std::lock_guard Guard(subpq_mutex);
            subtitle_stream_changed = true;
            subpq_cond.notify_all();
        }
        if (subtitle_tid.joinable())
            subtitle_tid.join();
        subtitleq.Flush();
        Ctx = subtitle_ctx;
        subtitle_ctx = nullptr;
        subtitle_st = nullptr;
        subtitle_stream = -1;
        break;
    default:
        break;
    }
    ic->streams[AIndex]->discard = AVDISCARD_ALL;
    std::lock_guard Guard(CodecLock);
    av::avcodec_free_context(&Ctx);
}

void TVideoState::StreamClose() {
    abort_request = true;
    if (parse_tid.joinable())
        parse_tid.join();
    if (refresh_tid.joinable())
        refresh_tid.join();
}

// The video filter graph: the decoder's pictures, the user's filters, planar YUV 4:2:0 out.

// Hands one decoded picture through the filter graph (built again when the picture's size or format
// changes: the buffer source does not follow) and queues what comes out; -1 ends the thread.
int TVideoState::DeliverPicture(AVFrame* ADecoded, TVideoFilter& AFilter, AVFrame* AFiltered) {
    TCustomPlayer* P = Owner;
    if (!AFilter.Graph || ADecoded->width != AFilter.Width || ADecoded->height != AFilter.Height ||
        ADecoded->format != AFilter.Format) {
        if (!AFilter.Build(ADecoded, video_st->time_base, vfilters, P->Fsws_flags))
            return -1;
    }
    if (av::av_buffersrc_add_frame(AFilter.Src, ADecoded) < 0)
        return -1;
    for (;;) {
        int Ret = av::av_buffersink_get_frame(AFilter.Sink, AFiltered);
        if (Ret == AVERROR(EAGAIN) || Ret == AVERROR_EOF)
            return 0;
        if (Ret < 0)
            return -1;
        if (seek_done && seek_flushed) {
            seek_done = 0;
            seek_paused = 0;
        }
        AVRational Tb = av::av_buffersink_get_time_base(AFilter.Sink);
        int64_t Pos = AFiltered->pkt_pos;
        // The picture's own stamp (0 is one), or the running clock for a picture without one; the
        // clock then moves by its duration.
        double Pts = video_clock;
        if (AFiltered->pts != AV_NOPTS_VALUE) {
            Pts = AFiltered->pts * av_q2d(Tb);
            video_clock = Pts;
        }
        AVRational Rate = av::av_guess_frame_rate(ic, video_st, nullptr);
        double D = Rate.num > 0 && Rate.den > 0 ? av_q2d(av_inv_q(Rate)) : 0.04;
        video_clock += D + AFiltered->repeat_pict * D / 2;
        // A hooked picture comes back already turned when VerticalFlip asks for it.
        bool Hooked = P->FHook && P->OnHook && DoHook(AFiltered, Pts);
        if (QueuePicture(AFiltered, Pts, Pos, Hooked) < 0)
            return -1;
        EventEOF = 0;
        PictEvent.Set();
        if (open_paused) {
            if (open_paused < 2)
                ++open_paused;
            else {
                open_paused = 0;
                pause_when_shown = true;
            }
        }
        if (P->Fstep)
            P->StreamPause();
    }
}

// The flush marker after a seek: the decoder drops what it holds, the queued pictures go, and the
// picture timing starts again from now.
void TVideoState::FlushVideo() {
    av::avcodec_flush_buffers(video_ctx);
    {
        std::unique_lock Guard(pictq_mutex);
        for (TVideoPicture& Pic : pictq)
            Pic.target_clock = 0;
        pictq_cond.wait(Guard, [this] { return pictq_size == 0 || videoq.Aborted(); });
        video_current_pos = -1;
        timer.frame_last_pts = NoTimeDouble;
        timer.frame_last_delay = 0;
        timer.frame_timer = WallClock();
        skip_frames = 1;
    }
    skip_frames_index = 0;
    flushed_serial = seek_serial;
    video_drained = false;
    seek_flushed = 1;
}

void TVideoState::VideoThread() {
    TCustomPlayer* P = Owner;
    AVFrame* Frame = av::av_frame_alloc();
    AVFrame* Filtered = av::av_frame_alloc();
    TVideoFilter Filter;
    bool Drained = false;
    while (Frame && Filtered) {
        while (paused && !videoq.Aborted() && !seek_paused && !open_paused)
            SleepMs(10);
        TPacketQueue::TNode Node;
        if (videoq.Get(Node, true) < 0)
            break;
        if (Node.Flush) {
            FlushVideo();
            Drained = false;
            continue;
        }
        bool IsEnd = Node.Pkt->size == 0 && !Node.Pkt->data;
        if (IsEnd) {
            if (!Drained)
                av::avcodec_send_packet(video_ctx, nullptr);
            Drained = true;
        } else
            av::avcodec_send_packet(video_ctx, Node.Pkt);
        av::av_packet_free(&Node.Pkt);
        bool Failed = false;
        while (!Failed && av::avcodec_receive_frame(video_ctx, Frame) >= 0) {
            if (P->Fdecoder_reorder_pts == 0)
                Frame->pts = Frame->pkt_dts;
            else if (P->Fdecoder_reorder_pts < 0)
                Frame->pts = Frame->best_effort_timestamp;
            skip_frames_index += 1;
            if (skip_frames_index >= skip_frames) {
                skip_frames_index -= std::max(skip_frames.load(), 1.0);
                Failed = DeliverPicture(Frame, Filter, Filtered) < 0;
            }
            av::av_frame_unref(Frame);
        }
        if (Failed)
            break;
        if (IsEnd)
            video_drained = true;
        if (IsEnd && EventEOF == 0)
            P->UpdatePosition(*this);
    }
    av::av_frame_free(&Frame);
    av::av_frame_free(&Filtered);
}

void BitmapFromPicture(TBitmap& ABitmap, const TPlayerBitmap& APicture) {
    ABitmap.SetPixelFormat(pf32bit);
    ABitmap.SetSize(APicture.Width, APicture.Height);
    for (int Y = 0; Y < APicture.Height; ++Y)
        std::memcpy(ABitmap.ScanLine(Y), APicture.Pixels.data() + size_t(Y) * APicture.Width,
                    size_t(APicture.Width) * 4);
}

bool PictureFromBitmap(TBitmap& ABitmap, TPlayerBitmap& APicture) {
    if (ABitmap.Width() != APicture.Width || ABitmap.Height() != APicture.Height || ABitmap.BitsPerPixel() != 32)
        return false;
    for (int Y = 0; Y < APicture.Height; ++Y)
        std::memcpy(APicture.Pixels.data() + size_t(Y) * APicture.Width, ABitmap.ScanLine(Y),
                    size_t(APicture.Width) * 4);
    return true;
}

void PicturePlanes(const AVFrame* AFrame, int AHeight, bool AFlip, const uint8_t* APlanes[4], int AStrides[4]) {
    for (int I = 0; I < 3; ++I) {
        APlanes[I] = AFrame->data[I];
        AStrides[I] = AFrame->linesize[I];
    }
    APlanes[3] = nullptr;
    AStrides[3] = 0;
    if (AFlip) {
        APlanes[0] += AFrame->linesize[0] * (AHeight - 1);
        APlanes[1] += AFrame->linesize[1] * (AHeight / 2 - 1);
        APlanes[2] += AFrame->linesize[2] * (AHeight / 2 - 1);
        for (int I = 0; I < 3; ++I)
            AStrides[I] = -AStrides[I];
    }
}

bool TVideoState::DoHook(AVFrame* AFrame, double APts) {
    TCustomPlayer* P = Owner;
    const int W = AFrame->width & ~1, H = AFrame->height & ~1;
    if (W <= 0 || H <= 0)
        return false;
    hook_to_sws = av::sws_getCachedContext(hook_to_sws, W, H, AVPixelFormat(AFrame->format), W, H, AV_PIX_FMT_BGRA,
                                           SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!hook_to_sws) {
        P->LogError(u"Cannot initialize the toRGB conversion context", false);
        return false;
    }
    hook_bitmap.Width = W;
    hook_bitmap.Height = H;
    hook_bitmap.Pixels.assign(size_t(W) * H, Black);
    const uint8_t* Src[4];
    int SrcStride[4];
    PicturePlanes(AFrame, H, P->FVerticalFlip, Src, SrcStride);
    uint8_t* Rgb[4] = {reinterpret_cast<uint8_t*>(hook_bitmap.Pixels.data()), nullptr, nullptr, nullptr};
    int RgbStride[4] = {W * 4, 0, 0, 0};
    av::sws_scale(hook_to_sws, Src, SrcStride, 0, H, Rgb, RgbStride);
    if (!hook_tbitmap)
        hook_tbitmap = std::make_unique<TBitmap>();
    BitmapFromPicture(*hook_tbitmap, hook_bitmap);
    try {
        P->OnHook(P, hook_tbitmap.get(), std::llround(APts * 1000000) - StartTime);
    } catch (const std::exception& E) {
        P->LogError(u"Error occurs OnHook: " + UTF8ToString(E.what()), false);
        return false;
    }
    // A handler that changed the bitmap's size or depth leaves the picture as decoded.
    if (!PictureFromBitmap(*hook_tbitmap, hook_bitmap))
        return false;
    if (av::av_frame_make_writable(AFrame) < 0)
        return false;
    hook_from_sws = av::sws_getCachedContext(hook_from_sws, W, H, AV_PIX_FMT_BGRA, W, H, AVPixelFormat(AFrame->format),
                                             SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!hook_from_sws) {
        P->LogError(u"Cannot initialize the fromRGB conversion context", false);
        return false;
    }
    const uint8_t* Back[4] = {Rgb[0], nullptr, nullptr, nullptr};
    av::sws_scale(hook_from_sws, Back, RgbStride, 0, H, AFrame->data, AFrame->linesize);
    return true;
}

// The picture on screen converted to BGRA, with its time from the file's start; nothing when no
// picture is shown.
void TVideoState::ShownPicture(TPlayerBitmap& APicture, Int64& APTS) {
    if (video_stream < 0 || !video_ctx)
        return;
    std::lock_guard Guard(pictq_mutex);
    if (!shown || !shown->data[0])
        return;
    int W = shown->width & ~1, H = shown->height & ~1;
    APTS = std::llround(shown_pts * 1000000) - StartTime;
    frame_sws = av::sws_getCachedContext(frame_sws, W, H, AVPixelFormat(shown->format), W, H, AV_PIX_FMT_BGRA,
                                         SWS_BICUBIC, nullptr, nullptr, nullptr);
    if (!frame_sws || W <= 0 || H <= 0)
        return;
    APicture.Width = W;
    APicture.Height = H;
    APicture.Pixels.assign(size_t(W) * H, Black);
    const uint8_t* Src[4];
    int SrcStride[4];
    PicturePlanes(shown, H, shown_flip, Src, SrcStride);
    uint8_t* Dst[4] = {reinterpret_cast<uint8_t*>(APicture.Pixels.data()), nullptr, nullptr, nullptr};
    int DstStride[4] = {W * 4, 0, 0, 0};
    av::sws_scale(frame_sws, Src, SrcStride, 0, H, Dst, DstStride);
}

int TVideoState::QueuePicture(AVFrame* AFrame, double APts, int64_t APos, bool AFlipped) {
    std::unique_lock Guard(pictq_mutex);
    if (pictq_size >= VIDEO_PICTURE_QUEUE_SIZE && !refresh)
        skip_frames = std::max(0.95, skip_frames * 0.95);
    pictq_cond.wait(Guard, [this] { return pictq_size < VIDEO_PICTURE_QUEUE_SIZE || videoq.Aborted(); });
    if (videoq.Aborted())
        return -1;
    TVideoPicture& Slot = pictq[pictq_windex];
    if (!Slot.frame)
        Slot.frame = av::av_frame_alloc();
    if (!Slot.frame)
        return -1;
    // The slot is reused under the same lock as CurrentFrame reads it.
    av::av_frame_unref(Slot.frame);
    av::av_frame_move_ref(Slot.frame, AFrame);
    Slot.width = Slot.frame->width & ~1;
    Slot.height = Slot.frame->height & ~1;
    Slot.allocated = true;
    Slot.flip = Owner->FVerticalFlip && !AFlipped;
    Slot.pts = APts;
    Slot.pos = APos;
    Slot.serial = flushed_serial;
    pictq_windex = (pictq_windex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
    bool SyncToMaster =
        (av_sync_type == AV_SYNC_AUDIO_MASTER && AudioIsMaster()) || av_sync_type == AV_SYNC_EXTERNAL_CLOCK;
    double VideoClock = SyncToMaster ? GetVideoClock() : 0;
    double MasterClock = SyncToMaster ? GetMasterClock() : 0;
    Slot.target_clock = timer.ComputeTargetTime(APts, SyncToMaster, VideoClock, MasterClock);
    ++pictq_size;
    return 0;
}

void TVideoState::SubtitleThread() {
    for (;;) {
        while (paused && !subtitleq.Aborted() && !seek_paused)
            SleepMs(10);
        TPacketQueue::TNode Node;
        if (subtitleq.Get(Node, true) < 0)
            return;
        if (Node.Flush) {
            av::avcodec_flush_buffers(subtitle_ctx);
            continue;
        }
        {
            std::unique_lock Guard(subpq_mutex);
            subpq_cond.wait(Guard, [this] { return subpq_size < SUBPICTURE_QUEUE_SIZE || subtitleq.Aborted(); });
        }
        if (subtitleq.Aborted()) {
            av::av_packet_free(&Node.Pkt);
            return;
        }
        TSubPicture& Slot = subpq[subpq_windex];
        double Pts = Node.Pkt->pts != AV_NOPTS_VALUE ? Node.Pkt->pts * av_q2d(subtitle_st->time_base) : 0;
        int Got = 0;
        AVSubtitle Sub{};
        int Ret = av::avcodec_decode_subtitle2(subtitle_ctx, &Sub, &Got, Node.Pkt);
        av::av_packet_free(&Node.Pkt);
        if (Ret < 0 || !Got)
            continue;
        if (Sub.format != 0) {
            // Text subtitles are not drawn here.
            av::avsubtitle_free(&Sub);
            continue;
        }
        std::lock_guard Guard(subpq_mutex);
        Slot.sub = Sub;
        Slot.used = true;
        Slot.pts = Pts;
        subpq_windex = (subpq_windex + 1) % SUBPICTURE_QUEUE_SIZE;
        ++subpq_size;
    }
}
