// The player's audio output: SDL's audio device, the callback that feeds it from the audio decoder,
// the conversion to signed 16-bit samples, and the correction that follows another master clock.
#include <algorithm>
#include <cstring>

#include "engine/FFPlayerState.h"
#include "engine/FFmpegLoader.h"
#include "engine/SwResampleStubs.h"

static void AudioCallbackThunk(void* AState, Uint8* AStream, int ALen) {
    static_cast<TVideoState*>(AState)->AudioCallback(AStream, ALen);
}

// Opens SDL's audio output; where no device opens, SDL's "dummy" driver plays at the real rate
// into nothing, so that the audio clock still runs.
static SDL_AudioDeviceID OpenAudioDevice(const SDL_AudioSpec& AWanted, SDL_AudioSpec& AObtained, String& AError) {
    if (sdl::SDL_WasInit(SDL_INIT_AUDIO) == 0 && sdl::SDL_InitSubSystem(SDL_INIT_AUDIO) < 0)
        sdl::SDL_AudioInit("dummy");
    SDL_AudioDeviceID Dev = sdl::SDL_OpenAudioDevice(nullptr, 0, &AWanted, &AObtained, 0);
    if (Dev == 0) {
        AError = UTF8ToString(sdl::SDL_GetError());
        const char* Current = sdl::SDL_GetCurrentAudioDriver();
        if (!Current || std::strcmp(Current, "dummy") != 0) {
            sdl::SDL_AudioQuit();
            if (sdl::SDL_AudioInit("dummy") == 0)
                Dev = sdl::SDL_OpenAudioDevice(nullptr, 0, &AWanted, &AObtained, 0);
        }
    }
    return Dev;
}

// Opens SDL's audio output for the stream's decoder ACtx and starts it; -1 (the decoder freed) when
// the stream has no samples to play or no output opens.
int TVideoState::OpenAudio(AVStream* St, AVCodecContext* Ctx, int AIndex) {
    TCustomPlayer* P = Owner;
    int Channels = Ctx->ch_layout.nb_channels;
    if (Ctx->sample_rate <= 0 || Channels <= 0) {
        std::lock_guard Guard(CodecLock);
        av::avcodec_free_context(&Ctx);
        P->LogError(u"avcodec_open() failed.", false);
        return -1;
    }
    SDL_AudioSpec Wanted{}, Obtained{};
    Wanted.freq = Ctx->sample_rate;
    Wanted.format = AUDIO_S16SYS;
    Wanted.channels = Uint8(Channels == 1 ? 1 : 2);
    Wanted.silence = 0;
    Wanted.samples = 1024;
    Wanted.callback = AudioCallbackThunk;
    Wanted.userdata = this;
    audio_ctx = Ctx;
    audio_st = St;
    audio_channels = Wanted.channels;
    audio_rate = Wanted.freq;
    // Before the first packet the clock stands at the file's start (or the start position asked for).
    const Int64 Start = P->Fstart_time;
    audio_clock = (StartTime + (Start != INT64_MIN ? Start : 0)) / 1000000.0;
    audio_feed.Reset();
    audio_sync.Init(audio_rate);
    audio_frame = av::av_frame_alloc();
    audio_feed.Decode = [this](const uint8_t*& AData) { return AudioDecodeFrame(AData); };
    audio_feed.Aborted = [this] { return audioq.Aborted(); };
    audio_feed.SampleDisplay = [this](const uint8_t* AData, int ASize) {
        if (show_audio)
            UpdateSampleDisplay(AData, ASize);
    };
    audio_feed.Synchronize = [this](const uint8_t* AData, int ASize) { return SynchronizeAudio(AData, ASize); };
    audioq.Start();
    String Error;
    audio_dev = OpenAudioDevice(Wanted, Obtained, Error);
    if (audio_dev == 0) {
        audio_ctx = nullptr;
        audio_st = nullptr;
        audioq.Flush();
        std::lock_guard Guard(CodecLock);
        av::avcodec_free_context(&Ctx);
        P->LogError(u"SDL_OpenAudio() failed: " + Error, false);
        return -1;
    }
    St->discard = AVDISCARD_DEFAULT;
    AudioDuration = St->duration != AV_NOPTS_VALUE ? av::av_rescale_q(St->duration, St->time_base, {1, 1000000}) : -1;
    audio_stream = AIndex;
    sdl::SDL_PauseAudioDevice(audio_dev, 0);
    return 0;
}

void TVideoState::AudioCallback(Uint8* AStream, int ALen) {
    int64_t Now = av::av_gettime();
    Owner->Faudio_callback_time = Now;
    int Decoded = audio_feed.Fill(AStream, ALen, Owner->FAudioVolume, Owner->FMute);
    // What was handed over now plays from now on: the clock runs through it at the wall clock's pace
    // instead of jumping once per buffer.
    double BytesPerSec = 2.0 * audio_channels * audio_rate;
    if (BytesPerSec <= 0)
        return;
    double End = audio_clock - audio_feed.Pending() / BytesPerSec;
    std::lock_guard Guard(audio_clock_mutex);
    audio_cb_span = Decoded / BytesPerSec;
    audio_cb_base = End - audio_cb_span;
    audio_cb_time = Now;
}

void TVideoState::UpdateSampleDisplay(const uint8_t* AData, int ASize) {
    std::lock_guard Guard(sample_mutex);
    const int16_t* Samples = reinterpret_cast<const int16_t*>(AData);
    int Count = ASize / 2;
    while (Count > 0) {
        int Len = std::min(SAMPLE_ARRAY_SIZE - sample_array_index, Count);
        std::memcpy(sample_array.data() + sample_array_index, Samples, size_t(Len) * 2);
        Samples += Len;
        sample_array_index += Len;
        if (sample_array_index >= SAMPLE_ARRAY_SIZE)
            sample_array_index = 0;
        Count -= Len;
    }
}

int TVideoState::AudioDecodeFrame(const uint8_t*& AData) {
    for (;;) {
        int Ret = av::avcodec_receive_frame(audio_ctx, audio_frame);
        if (Ret == 0) {
            AVFrame* F = audio_frame;
            if (F->format != swr_fmt || F->sample_rate != swr_rate || F->ch_layout.nb_channels != swr_channels) {
                av::swr_free(&swr);
                AVChannelLayout Out{};
                av::av_channel_layout_default(&Out, audio_channels);
                if (av::swr_alloc_set_opts2(&swr, &Out, AV_SAMPLE_FMT_S16, audio_rate, &F->ch_layout,
                                            AVSampleFormat(F->format), F->sample_rate, 0, nullptr) < 0 ||
                    av::swr_init(swr) < 0) {
                    av::swr_free(&swr);
                    const char* From = av::av_get_sample_fmt_name(AVSampleFormat(F->format));
                    Owner->LogError(Format(u"Cannot convert %s sample format to %s sample format",
                                           {UTF8ToString(From ? From : "?"), String(u"s16")}),
                                    false);
                    av::av_frame_unref(F);
                    continue;
                }
                swr_fmt = F->format;
                swr_rate = F->sample_rate;
                swr_channels = F->ch_layout.nb_channels;
            }
            int OutSamples = av::swr_get_out_samples(swr, F->nb_samples);
            int Need =
                av::av_samples_get_buffer_size(nullptr, audio_channels, std::max(OutSamples, 1), AV_SAMPLE_FMT_S16, 1);
            if (Need <= 0) {
                av::av_frame_unref(F);
                continue;
            }
            // Room for what the decoder delivered, plus the synchronisation's 10 % of padding.
            if (audio_buf.size() < size_t(Need) * 11 / 10 + 16)
                audio_buf.resize(size_t(Need) * 11 / 10 + 16);
            uint8_t* Out[1] = {audio_buf.data()};
            int Got =
                av::swr_convert(swr, Out, OutSamples, const_cast<const uint8_t**>(F->extended_data), F->nb_samples);
            if (F->pts != AV_NOPTS_VALUE)
                audio_clock = F->pts * av_q2d(audio_st->time_base);
            av::av_frame_unref(F);
            if (Got <= 0) {
                if (Got < 0)
                    Owner->LogError(u"av_audio_convert() failed", false);
                continue;
            }
            int Size = Got * audio_channels * 2;
            audio_clock += double(Size) / (2.0 * audio_channels * audio_rate);
            AData = audio_buf.data();
            audio_starved_since = 0;
            // Without pictures, a step plays one decoded buffer and pauses again.
            if (Owner->Fstep && video_stream < 0)
                paused = 1;
            return Size;
        }
        if (Ret != AVERROR(EAGAIN) && Ret != AVERROR_EOF) {
            Owner->Log(llInfo, u"avcodec_decode_audio2() failed");
        }
        if (paused) {
            // A seek while paused moves the clock at once, without playing on.
            if (audioq.TakeFlush()) {
                av::avcodec_flush_buffers(audio_ctx);
                audio_clock = audio_seek_clock.load();
            }
            return -1;
        }
        TPacketQueue::TNode Node;
        int Got = audioq.Get(Node, false);
        if (Got == 0 && audio_starved_since == 0)
            audio_starved_since = av::av_gettime();
        if (Got <= 0)
            return -1;
        if (Node.Flush) {
            av::avcodec_flush_buffers(audio_ctx);
            audio_clock = audio_seek_clock.load();
            continue;
        }
        if (Node.Pkt->pts != AV_NOPTS_VALUE)
            audio_clock = Node.Pkt->pts * av_q2d(audio_st->time_base);
        if (av::avcodec_send_packet(audio_ctx, Node.Pkt) < 0)
            Owner->Log(llInfo, u"avcodec_decode_audio2() failed");
        av::av_packet_free(&Node.Pkt);
    }
}

int TVideoState::SynchronizeAudio(const uint8_t* AData, int ASize) {
    (void)AData;
    if (!((av_sync_type == AV_SYNC_VIDEO_MASTER && video_stream >= 0) || av_sync_type == AV_SYNC_EXTERNAL_CLOCK))
        return ASize;
    double Diff = GetAudioClock() - GetMasterClock();
    int Wanted = audio_sync.WantedSize(Diff, ASize, audio_channels, audio_rate);
    if (Wanted > ASize)
        ResizeAudioBuffer(audio_buf, ASize, Wanted, 2 * audio_channels);
    return Wanted;
}
