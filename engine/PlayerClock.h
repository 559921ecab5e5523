// Picture timing, the audio synchronisation filter, picture placement in the video area, and the
// audio feed that fills SDL's buffers: the arithmetic of the player's output, apart from its threads.
#pragma once

#include <atomic>

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/base/System.h"
#include "platform/base/Types.h"

enum Tav_sync_type { AV_SYNC_AUDIO_MASTER, AV_SYNC_VIDEO_MASTER, AV_SYNC_EXTERNAL_CLOCK };

// Below this difference the clocks count as synchronous; beyond the other they are too far apart to
// correct at all (a seek or a broken stamp).
constexpr double AV_SYNC_THRESHOLD = 0.01;
constexpr double AV_NOSYNC_THRESHOLD = 10.0;
constexpr double FRAME_SKIP_FACTOR = 1.05;
constexpr double FRAME_DROP_GRACE = 0.5;
constexpr int SAMPLE_CORRECTION_PERCENT_MAX = 10;
constexpr int AUDIO_DIFF_AVG_NB = 20;
constexpr int SILENCE_BUFFER_SIZE = 1024;
constexpr double NoTimeDouble = double(INT64_MIN);

// When each queued picture is to be shown. Pictures keep the spacing of their stamps; when another
// clock is master the delay shrinks to 0 (video late) or doubles (video early).
struct TFrameTimer {
    double frame_timer = 0;
    double frame_last_pts = NoTimeDouble;
    double frame_last_delay = 0;

    // AVideoClock - AMasterClock is the video's lead; ASyncToMaster when audio or external is master.
    double ComputeTargetTime(double APts, bool ASyncToMaster, double AVideoClock, double AMasterClock);
};

// Running average of the audio clock's lead over the master clock, and the sample-count correction
// that follows it when video or the external clock is master.
struct TAudioSync {
    double audio_diff_cum = 0;
    double audio_diff_avg_coef = 0;
    double audio_diff_threshold = 0;
    int audio_diff_avg_count = 0;

    void Init(int ASampleRate);
    // Bytes to play of a buffer of ASize bytes when the audio clock leads by ADiff seconds.
    int WantedSize(double ADiff, int ASize, int AChannels, int ASampleRate);
};

// Cuts the buffer to AWanted bytes or pads it with copies of its last sample frame (AFrameBytes),
// growing the vector so that padding never writes past it.
void ResizeAudioBuffer(std::vector<uint8_t>& ABuffer, int ASize, int AWanted, int AFrameBytes);

// The display ratio of a picture: AAspectRatio < 0 fills the area, > 0 forces that ratio, 0 takes the
// picture's pixel aspect (ASarNum/ASarDen, square when unknown) times its width ÷ height.
double DisplayRatio(double AAspectRatio, int AAreaWidth, int AAreaHeight, int ASarNum, int ASarDen, int APictureWidth,
                    int APictureHeight);
// The picture's rectangle inside the video area (ALeft, ATop, AWidth × AHeight): as tall as the area
// unless too wide, even sizes, centred.
TRect PlacePicture(int ALeft, int ATop, int AWidth, int AHeight, double ARatio);

// Writes ALen bytes of signed 16-bit output: zeros when muted, otherwise the samples scaled by
// AVolume (0 to 128) through SDL's mixer into the cleared stream.
void MixAudioOut(uint8_t* AStream, const uint8_t* ASource, int ALen, int AVolume, bool AMute);

// Fills SDL's buffers from decoded audio. Decode returns the bytes of the next decoded buffer (with
// its data in AData) or a negative value when nothing is ready: then a short run of silence plays
// instead of blocking the audio thread.
class TAudioFeed {
public:
    std::function<int(const uint8_t*& AData)> Decode;
    std::function<bool()> Aborted;
    // Optional: sees each decoded buffer, and may change how many bytes of it play.
    std::function<void(const uint8_t* AData, int ASize)> SampleDisplay;
    std::function<int(const uint8_t* AData, int ASize)> Synchronize;

    // Returns the bytes of decoded audio among the ALen written (the rest is silence).
    int Fill(uint8_t* AStream, int ALen, int AVolume, bool AMute);
    // Bytes decoded but not yet handed to SDL (silence played for want of data is none).
    int Pending() const { return FSilent ? 0 : audio_buf_size - audio_buf_index; }
    void Reset() { audio_buf_size = audio_buf_index = 0; }

private:
    const uint8_t* audio_buf = nullptr;
    // Filled by the audio device's thread, read by the clocks of the player's other threads.
    std::atomic<int> audio_buf_size{0};
    std::atomic<int> audio_buf_index{0};
    std::atomic<bool> FSilent{false};
    std::vector<uint8_t> FSilence = std::vector<uint8_t>(SILENCE_BUFFER_SIZE, 0);
};
