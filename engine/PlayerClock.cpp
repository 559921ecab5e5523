#include "engine/PlayerClock.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#include "engine/SDLStubs.h"

double TFrameTimer::ComputeTargetTime(double APts, bool ASyncToMaster, double AVideoClock, double AMasterClock) {
    double Delay = APts - frame_last_pts;
    if (Delay <= 0 || Delay >= 10.0)
        Delay = frame_last_delay;
    else
        frame_last_delay = Delay;
    frame_last_pts = APts;
    if (ASyncToMaster) {
        double Diff = AVideoClock - AMasterClock;
        double Threshold = std::max(AV_SYNC_THRESHOLD, Delay);
        if (std::fabs(Diff) < AV_NOSYNC_THRESHOLD) {
            if (Diff <= -Threshold)
                Delay = 0;
            else if (Diff >= Threshold)
                Delay = 2 * Delay;
        }
    }
    frame_timer += Delay;
    return frame_timer;
}

void TAudioSync::Init(int ASampleRate) {
    audio_diff_cum = 0;
    audio_diff_avg_coef = std::exp(std::log(0.01) / AUDIO_DIFF_AVG_NB);
    audio_diff_avg_count = 0;
    audio_diff_threshold = ASampleRate > 0 ? 2048.0 / ASampleRate : 0;
}

int TAudioSync::WantedSize(double ADiff, int ASize, int AChannels, int ASampleRate) {
    // Far apart in either direction: a seek or a broken stamp, not drift; start measuring anew.
    if (std::fabs(ADiff) >= AV_NOSYNC_THRESHOLD) {
        audio_diff_avg_count = 0;
        audio_diff_cum = 0;
        return ASize;
    }
    audio_diff_cum = ADiff + audio_diff_avg_coef * audio_diff_cum;
    if (audio_diff_avg_count < AUDIO_DIFF_AVG_NB) {
        ++audio_diff_avg_count;
        return ASize;
    }
    double Avg = audio_diff_cum * (1.0 - audio_diff_avg_coef);
    if (std::fabs(Avg) < audio_diff_threshold || AChannels <= 0)
        return ASize;
    int N = 2 * AChannels;
    long long Wanted = ASize + std::llround(ADiff * ASampleRate) * N;
    int MinSize = (ASize / N * (100 - SAMPLE_CORRECTION_PERCENT_MAX) / 100) * N;
    int MaxSize = (ASize / N * (100 + SAMPLE_CORRECTION_PERCENT_MAX) / 100) * N;
    return int(std::clamp<long long>(Wanted, MinSize, MaxSize));
}

void ResizeAudioBuffer(std::vector<uint8_t>& ABuffer, int ASize, int AWanted, int AFrameBytes) {
    if (AWanted <= ASize || AFrameBytes <= 0 || ASize < AFrameBytes)
        return;
    if (ABuffer.size() < size_t(AWanted))
        ABuffer.resize(AWanted);
    const uint8_t* Last = ABuffer.data() + ASize - AFrameBytes;
    for (int At = ASize; At < AWanted; At += AFrameBytes)
        std::memcpy(ABuffer.data() + At, Last, std::min(AFrameBytes, AWanted - At));
}

double DisplayRatio(double AAspectRatio, int AAreaWidth, int AAreaHeight, int ASarNum, int ASarDen, int APictureWidth,
                    int APictureHeight) {
    if (AAspectRatio < 0 && AAreaWidth != 0 && AAreaHeight != 0)
        return double(AAreaWidth) / AAreaHeight;
    if (AAspectRatio > 0)
        return AAspectRatio;
    double Pixel = ASarNum != 0 && ASarDen != 0 ? double(ASarNum) / ASarDen : 0;
    if (Pixel <= 0)
        Pixel = 1;
    return APictureHeight > 0 ? Pixel * APictureWidth / APictureHeight : Pixel;
}

TRect PlacePicture(int ALeft, int ATop, int AWidth, int AHeight, double ARatio) {
    int H = AHeight;
    int W = int(std::lround(H * ARatio)) & ~1;
    if (W > AWidth) {
        W = AWidth;
        H = ARatio > 0 ? int(std::lround(W / ARatio)) & ~1 : AHeight;
    }
    int X = (AWidth - W) / 2;
    int Y = (AHeight - H) / 2;
    return Bounds(ALeft + X, ATop + Y, W, H);
}

void MixAudioOut(uint8_t* AStream, const uint8_t* ASource, int ALen, int AVolume, bool AMute) {
    // SDL2 hands over the buffer as it was; the mixer adds into it, so it starts from silence.
    std::memset(AStream, 0, ALen);
    if (!AMute && AVolume > 0)
        sdl::SDL_MixAudioFormat(AStream, ASource, AUDIO_S16SYS, Uint32(ALen), std::clamp(AVolume, 0, 128));
}

int TAudioFeed::Fill(uint8_t* AStream, int ALen, int AVolume, bool AMute) {
    int Decoded = 0;
    while (ALen > 0) {
        if (audio_buf_index >= audio_buf_size) {
            const uint8_t* Data = nullptr;
            int Size = Decode ? Decode(Data) : -1;
            if (Aborted && Aborted()) {
                std::memset(AStream, 0, ALen);
                return Decoded;
            }
            if (Size > 0 && Data) {
                if (SampleDisplay)
                    SampleDisplay(Data, Size);
                if (Synchronize)
                    Size = Synchronize(Data, Size);
            }
            FSilent = Size <= 0 || !Data;
            if (FSilent) {
                audio_buf = FSilence.data();
                audio_buf_size = SILENCE_BUFFER_SIZE;
            } else {
                audio_buf = Data;
                audio_buf_size = Size;
            }
            audio_buf_index = 0;
        }
        int Len = std::min(ALen, audio_buf_size - audio_buf_index);
        MixAudioOut(AStream, audio_buf + audio_buf_index, Len, AVolume, AMute);
        if (!FSilent)
            Decoded += Len;
        ALen -= Len;
        AStream += Len;
        audio_buf_index += Len;
    }
    return Decoded;
}
