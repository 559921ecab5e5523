// The player's display: the refresh cycle that shows or drops queued pictures on time, the picture
// drawn into the video target at its aspect ratio with its subtitles, and the audio displays.
#include <algorithm>
#include <cmath>

#include "engine/FFPlayerState.h"
#include "engine/SwScaleStubs.h"

void TVideoState::RefreshThread() {
    while (!abort_request) {
        if (refresh != 1) {
            refresh = 1;
            PushEvent(FF_REFRESH_EVENT);
        }
        SleepMs(audio_stream >= 0 && show_audio ? Owner->Frdftspeed.load() : 5);
    }
}

static void FreeSubPicture(TSubPicture& S) {
    if (S.used)
        av::avsubtitle_free(&S.sub);
    S.used = false;
}

void TVideoState::VideoRefresh(bool AAdvance) {
    TCustomPlayer* P = Owner;
    if (video_stream < 0) {
        if (audio_stream >= 0) {
            VideoDisplay();
            P->UpdatePosition(*this);
        }
        return;
    }
    bool PositionReport = true;
    double ShownPts = 0;
    for (;;) {
        bool ForceDrop = seek_done != 0;
        std::unique_lock Guard(pictq_mutex);
        if (pictq_size == 0) {
            Guard.unlock();
            if (!AAdvance)
                VideoDisplay();
            break;
        }
        TVideoPicture& Slot = pictq[pictq_rindex];
        double T = WallClock();
        if (T < Slot.target_clock)
            return;
        {
            std::lock_guard ClockGuard(clock_mutex);
            video_current_pts = Slot.pts;
            video_current_pts_drift = Slot.pts - T;
        }
        ShownPts = Slot.pts;
        video_current_pos = Slot.pos;
        double NextTarget = pictq_size > 1 ? std::max(pictq[(pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE].target_clock,
                                                      Slot.target_clock)
                                           : Slot.target_clock + video_clock - Slot.pts;
        // The last queued picture is never dropped for being late while it is what stays on screen:
        // when paused, for a single picture, and at the end of the file (no later picture replaces it).
        bool Keep = pictq_size == 1 && (paused || IsImage2 || ReachEOF || video_drained);
        if (((P->Fframedrop != 0 && T > NextTarget && !IsDevice) || ForceDrop) && !Keep) {
            skip_frames = skip_frames * FRAME_SKIP_FACTOR;
            if (pictq_size > 1 || T > NextTarget + FRAME_DROP_GRACE || ForceDrop) {
                pictq_rindex = (pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
                --pictq_size;
                pictq_cond.notify_all();
                PositionReport = false;
                continue;
            }
        }
        // The picture to show becomes the current one.
        if (!shown)
            shown = av::av_frame_alloc();
        if (shown) {
            av::av_frame_unref(shown);
            av::av_frame_ref(shown, Slot.frame);
            shown_flip = Slot.flip;
            shown_pts = Slot.pts;
        }
        // The first picture of the latest seek is on screen: the seek is over.
        if (Slot.serial == seek_serial && shown_serial != Slot.serial) {
            shown_serial = Slot.serial;
            if (!seek_req)
                P->FSeeking = false;
        }
        if (AAdvance) {
            pictq_rindex = (pictq_rindex + 1) % VIDEO_PICTURE_QUEUE_SIZE;
            --pictq_size;
            pictq_cond.notify_all();
        }
        Guard.unlock();
        if (subtitle_stream >= 0) {
            std::lock_guard SubGuard(subpq_mutex);
            if (subtitle_stream_changed) {
                while (subpq_size > 0) {
                    FreeSubPicture(subpq[subpq_rindex]);
                    subpq_rindex = (subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
                    --subpq_size;
                }
                subtitle_stream_changed = false;
                subpq_cond.notify_all();
            } else if (subpq_size > 0) {
                TSubPicture& Sp = subpq[subpq_rindex];
                TSubPicture* Next = subpq_size > 1 ? &subpq[(subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE] : nullptr;
                if (ShownPts > Sp.pts + Sp.sub.end_display_time / 1000.0 ||
                    (Next && ShownPts > Next->pts + Next->sub.start_display_time / 1000.0)) {
                    FreeSubPicture(Sp);
                    subpq_rindex = (subpq_rindex + 1) % SUBPICTURE_QUEUE_SIZE;
                    --subpq_size;
                    subpq_cond.notify_all();
                }
            }
        }
        VideoDisplay();
        break;
    }
    if (PositionReport)
        P->UpdatePosition(*this);
    if (pause_when_shown) {
        bool Drained;
        {
            std::lock_guard Guard(pictq_mutex);
            Drained = pictq_size == 0;
        }
        // A resume in the meantime has ended the paused open.
        if (Drained && pause_when_shown.exchange(false) && paused) {
            // A late first picture dropped in this pass reported no position: the shown one does, before the pause.
            if (!PositionReport)
                P->UpdatePosition(*this);
            P->ChangeState(psPause);
        }
    }
}

void TVideoState::VideoDisplay() {
    TVideoTarget* Target = Owner->FScreen;
    if (!Target || Owner->Fdisplay_disable)
        return;
    uint32_t* Bits = nullptr;
    int Pitch = 0, W = 0, H = 0;
    if (!Target->LockSurface(Bits, Pitch, W, H))
        return;
    // The video area is the screen size the application chose, within the target.
    if (Owner->Fscreen_width > 0 && Owner->Fscreen_height > 0) {
        W = std::min<int>(W, Owner->Fscreen_width);
        H = std::min<int>(H, Owner->Fscreen_height);
    }
    if (W > 0 && H > 0) {
        if (audio_stream >= 0 && show_audio)
            VideoAudioDisplay(Bits, Pitch, W, H);
        else if (video_stream >= 0)
            VideoImageDisplay(Bits, Pitch, W, H);
    }
    Target->UnlockSurface(true);
}

static void FillArea(uint32_t* ABits, int APitch, int AX, int AY, int AW, int AH, uint32_t AColour) {
    for (int Y = AY; Y < AY + AH; ++Y)
        std::fill_n(ABits + size_t(Y) * APitch + AX, AW, AColour);
}

// Blends a bitmap subtitle (palette in RGBA) over the BGRA picture inside the placed rectangle.
static void BlendSubtitle(uint32_t* ABits, int APitch, const TRect& APlace, int APicW, int APicH,
                          const AVSubtitle& ASub) {
    for (unsigned R = 0; R < ASub.num_rects; ++R) {
        const AVSubtitleRect* Rect = ASub.rects[R];
        if (Rect->type != SUBTITLE_BITMAP || !Rect->data[0] || !Rect->data[1])
            continue;
        const uint32_t* Palette = reinterpret_cast<const uint32_t*>(Rect->data[1]);
        for (int Y = 0; Y < Rect->h; ++Y) {
            int PicY = Rect->y + Y;
            if (PicY < 0 || PicY >= APicH)
                continue;
            int DstY = APlace.Top + int(int64_t(PicY) * APlace.Height() / APicH);
            for (int X = 0; X < Rect->w; ++X) {
                int PicX = Rect->x + X;
                if (PicX < 0 || PicX >= APicW)
                    continue;
                int DstX = APlace.Left + int(int64_t(PicX) * APlace.Width() / APicW);
                uint32_t C = Palette[Rect->data[0][Y * Rect->linesize[0] + X]];
                uint32_t A = C >> 24;
                uint32_t& D = ABits[size_t(DstY) * APitch + DstX];
                auto Mix = [A](uint32_t Old, uint32_t New) { return (Old * (255 - A) + New * A) / 255; };
                D = 0xFF000000u | Mix((D >> 16) & 255, (C >> 16) & 255) << 16 |
                    Mix((D >> 8) & 255, (C >> 8) & 255) << 8 | Mix(D & 255, C & 255);
            }
        }
    }
}

void TVideoState::VideoImageDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight) {
    std::lock_guard Guard(pictq_mutex);
    if (!shown || !shown->data[0]) {
        FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
        return;
    }
    int PicW = shown->width & ~1, PicH = shown->height & ~1;
    double Ratio = DisplayRatio(Owner->FAspectRatio, AWidth, AHeight, shown->sample_aspect_ratio.num,
                                shown->sample_aspect_ratio.den, PicW, PicH);
    TRect Place = PlacePicture(0, 0, AWidth, AHeight, Ratio);
    Place.Right = std::min(Place.Right, AWidth);
    Place.Bottom = std::min(Place.Bottom, AHeight);
    // Black bars around the picture.
    FillArea(ABits, APitch, 0, 0, AWidth, Place.Top, Black);
    FillArea(ABits, APitch, 0, Place.Bottom, AWidth, AHeight - Place.Bottom, Black);
    FillArea(ABits, APitch, 0, Place.Top, Place.Left, Place.Height(), Black);
    FillArea(ABits, APitch, Place.Right, Place.Top, AWidth - Place.Right, Place.Height(), Black);
    if (Place.Width() <= 0 || Place.Height() <= 0 || PicW <= 0 || PicH <= 0)
        return;
    display_sws =
        av::sws_getCachedContext(display_sws, PicW, PicH, AVPixelFormat(shown->format), Place.Width(), Place.Height(),
                                 AV_PIX_FMT_BGRA, Owner->Fsws_flags, nullptr, nullptr, nullptr);
    if (!display_sws)
        return;
    const uint8_t* Src[4];
    int SrcStride[4];
    PicturePlanes(shown, PicH, shown_flip, Src, SrcStride);
    uint8_t* Dst[4] = {reinterpret_cast<uint8_t*>(ABits + size_t(Place.Top) * APitch + Place.Left), nullptr, nullptr,
                       nullptr};
    int DstStride[4] = {APitch * 4, 0, 0, 0};
    av::sws_scale(display_sws, Src, SrcStride, 0, PicH, Dst, DstStride);
    if (subtitle_stream >= 0) {
        std::lock_guard SubGuard(subpq_mutex);
        if (subpq_size > 0) {
            TSubPicture& Sp = subpq[subpq_rindex];
            if (Sp.used && Sp.pts + Sp.sub.start_display_time / 1000.0 <= shown_pts)
                BlendSubtitle(ABits, APitch, Place, PicW, PicH, Sp.sub);
        }
    }
}

void TVideoState::VideoAudioDisplay(uint32_t* ABits, int APitch, int AWidth, int AHeight) {
    const int Channels = std::max(audio_channels.load(), 1);
    const int Mode = show_audio;
    int Bits = 1;
    while ((1 << Bits) < 2 * AHeight)
        ++Bits;
    const int NbFreq = 1 << (Bits - 1);
    std::lock_guard Guard(sample_mutex);
    int IStart;
    if (paused)
        IStart = last_i_start;
    else {
        int DataUsed = Mode == 1 ? AWidth : 2 * NbFreq;
        int64_t Delay = audio_feed.Pending() / (2 * Channels);
        int64_t CallbackTime = Owner->Faudio_callback_time;
        if (CallbackTime)
            Delay -= (av::av_gettime() - CallbackTime) * audio_rate / 1000000;
        Delay += 2 * DataUsed;
        Delay = std::max<int64_t>(Delay, DataUsed);
        IStart =
            int(((sample_array_index - Delay * Channels) % SAMPLE_ARRAY_SIZE + SAMPLE_ARRAY_SIZE) % SAMPLE_ARRAY_SIZE);
        if (Mode == 1) {
            // Start where the wave crosses zero steeply, so that a steady tone stands still.
            int Best = -1000, Found = IStart;
            for (int I = 0; I < 1000; I += Channels) {
                int Idx = (SAMPLE_ARRAY_SIZE + IStart - I) % SAMPLE_ARRAY_SIZE;
                int A = sample_array[Idx];
                int B = sample_array[(Idx + 4 * Channels) % SAMPLE_ARRAY_SIZE];
                int C = sample_array[(Idx + 5 * Channels) % SAMPLE_ARRAY_SIZE];
                int D = sample_array[(Idx + 9 * Channels) % SAMPLE_ARRAY_SIZE];
                int Score = A - D;
                if (Best < Score && (B ^ C) < 0) {
                    Best = Score;
                    Found = Idx;
                }
            }
            IStart = Found;
        }
        last_i_start = IStart;
    }
    if (Mode != 1) {
        SpectrumColumn(ABits, APitch, AWidth, AHeight, IStart, Bits);
        return;
    }
    FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
    int H = AHeight / Channels;
    int H2 = (H * 9) / 20;
    for (int Ch = 0; Ch < Channels; ++Ch) {
        int I = (IStart + Ch) % SAMPLE_ARRAY_SIZE;
        int Y1 = Ch * H + H / 2;
        for (int X = 0; X < AWidth; ++X) {
            int Y = (sample_array[I] * H2) >> 15;
            int Top = Y < 0 ? Y1 + Y : Y1;
            int Len = std::abs(Y);
            for (int Row = std::max(Top, 0); Row < std::min(Top + Len, AHeight); ++Row)
                ABits[size_t(Row) * APitch + X] = White;
            I = (I + Channels) % SAMPLE_ARRAY_SIZE;
        }
    }
    for (int Ch = 1; Ch < Channels; ++Ch) {
        int Y = Ch * H;
        if (Y < AHeight)
            FillArea(ABits, APitch, 0, Y, AWidth, 1, White);
    }
}

// One column of the spectrum: the magnitudes of the first channel in red, of the second in green,
// low frequencies at the bottom; the column moves right with every call and wraps at the edge.
void TVideoState::SpectrumColumn(uint32_t* ABits, int APitch, int AWidth, int AHeight, int AStart, int ARdftBits) {
    const int Channels = std::max(audio_channels.load(), 1);
    const int NbFreq = 1 << (ARdftBits - 1);
    if (ARdftBits != rdft_bits || !rdft) {
        if (rdft)
            av::av_rdft_end(rdft);
        rdft = av::av_rdft_init(ARdftBits, DFT_R2C);
        rdft_bits = ARdftBits;
        rdft_data.assign(size_t(4) * NbFreq, 0.0f);
    }
    if (!rdft)
        return;
    if (clear_display.exchange(false)) {
        FillArea(ABits, APitch, 0, 0, AWidth, AHeight, Black);
        xpos = 0;
    }
    // A mono stream colours both channels' parts of the pixel from its one channel.
    const int Shown = std::min(Channels, 2);
    for (int Ch = 0; Ch < Shown; ++Ch) {
        float* Data = rdft_data.data() + size_t(2) * NbFreq * Ch;
        int I = (AStart + Ch) % SAMPLE_ARRAY_SIZE;
        for (int X = 0; X < 2 * NbFreq; ++X) {
            double W = double(X - NbFreq) / NbFreq;
            Data[X] = float(sample_array[I] * (1.0 - W * W));
            I = (I + Channels) % SAMPLE_ARRAY_SIZE;
        }
        av::av_rdft_calc(rdft, Data);
    }
    if (xpos >= AWidth)
        xpos = 0;
    const float* D0 = rdft_data.data();
    const float* D1 = rdft_data.data() + (Shown > 1 ? size_t(2) * NbFreq : 0);
    const double Scale = 1.0 / std::sqrt(double(NbFreq));
    for (int Y = 0; Y < AHeight; ++Y) {
        int A =
            int(std::sqrt(Scale * std::sqrt(double(D0[2 * Y]) * D0[2 * Y] + double(D0[2 * Y + 1]) * D0[2 * Y + 1])));
        int B =
            int(std::sqrt(Scale * std::sqrt(double(D1[2 * Y]) * D1[2 * Y] + double(D1[2 * Y + 1]) * D1[2 * Y + 1])));
        A = std::min(A, 255);
        B = std::min(B, 255);
        ABits[size_t(AHeight - 1 - Y) * APitch + xpos] =
            0xFF000000u | uint32_t(A) << 16 | uint32_t(B) << 8 | uint32_t((A + B) / 2);
    }
    ++xpos;
}
