// Small synthetic media files for the tests, written through the FFmpeg libraries.
//
// Every clip carries a moving test pattern and/or a sine tone, so a test can check what an engine
// made of it: the picture's colours are asymmetric (a red/blue swap or a mirror shows), and each
// frame carries its own number as a row of black and white blocks (ReadPatternFrameIndex). Video
// key frames fall exactly on whole seconds (for a rate like 30000/1001: on the first frame at or
// after each whole second), so seeking can be checked frame-exactly.
//
// Files are shared by every test process of the build: they live in the folder "fixtures-cache"
// beside the test programs (or in $QV_FIXTURE_DIR), each one as "<hash>/<file name>" where the
// hash covers the file name, the options and the helper's format version. A file is written once,
// published complete by an atomic rename, and reused by every later process; asking again for the
// same clip returns the same file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/rational.h>
}

namespace qvtest {

struct StreamOptions {
    AVMediaType Type = AVMEDIA_TYPE_VIDEO;
    // Encoder name as libavcodec knows it: "mpeg4", "libx264", "mpeg2video", "png", "mp2", "aac",
    // "pcm_s16le", "subrip", "ass", "mov_text" ...
    std::string Codec;
    int64_t BitRate = 0; // 0 = the encoder's default

    // Video.
    int Width = 320;
    int Height = 240;
    AVRational FrameRate{25, 1};

    // Audio: a sine tone of ToneHz in every channel.
    int SampleRate = 44100;
    int Channels = 2;
    double ToneHz = 440.0;

    // Subtitles: one cue in every whole second s, shown from s+0.2 to s+0.8, reading
    // "<CueText> <s+1>".
    std::string CueText = "Subtitle";

    // Stream metadata; empty values are not written.
    std::string Language;
    std::string Title;

    // MPEG-TS only: the 1-based index into ClipOptions::Programs the stream belongs to (0 = none).
    int Program = 0;

    // Seconds of material in this stream when it differs from the clip's (0 = the clip's).
    double Duration = 0;
};

struct ClipOptions {
    // Name of the file inside the fixture folder, extension included (UTF-8; any characters).
    std::string FileName;
    // Muxer name ("avi", "mp4", "matroska", "mpegts", "wav", "image2", "srt" ...); empty = guessed
    // from the file name.
    std::string Container;
    // Seconds of material in every stream.
    double Duration = 3.0;
    // Seconds the muxer adds to every stamp, so that the file starts later than 0.
    double StartOffset = 0;
    std::vector<StreamOptions> Streams;
    // Container metadata "title"; not written when empty.
    std::string Title;
    // MPEG-TS only: one program per entry, with the entry as its service name; ids are 1, 2, ...
    std::vector<std::string> Programs;
    // Chapters in milliseconds (time base 1/1000), each with a "title".
    struct Chapter {
        int64_t StartMs, EndMs;
        std::string Title;
    };
    std::vector<Chapter> Chapters;
};

StreamOptions VideoStream(const std::string& Codec, int Width = 320, int Height = 240, AVRational FrameRate = {25, 1});
StreamOptions AudioStream(const std::string& Codec, int SampleRate = 44100, int Channels = 2, double ToneHz = 440.0);
StreamOptions SubtitleStream(const std::string& Codec, const std::string& CueText = "Subtitle");

// Writes the clip (unless the cache holds it already) and returns its UTF-8 path. Throws
// std::runtime_error when the libraries refuse it, and std::logic_error when the same file name
// was already used for different options.
const std::string& WriteClip(const ClipOptions& Options);

// The ready-made fixtures.
enum class Fixture {
    Avi,            // mpeg4 320x240 25 fps + mp2 44100 Hz stereo, 3 s, title "Quorvane AVI"
    Mp4,            // libx264 320x240 25 fps + aac 44100 Hz stereo, 3 s
    Mkv,            // libx264 + aac with stream languages and titles, 3 s
    MpegTs,         // mpeg2video + two mp2 streams in two programs, 3 s
    Wav,            // pcm_s16le 44100 Hz mono, 2 s
    WavStereo22050, // pcm_s16le 22050 Hz stereo, 2 s
    Png,            // one 320x240 picture (frame 0 of the pattern)
    Ntsc,           // libx264 at 30000/1001 fps + aac, 3 s, MP4
    ThreeAudio,     // libx264 + three aac streams (440/660/880 Hz; "eng", "fre", "ger"), MKV
    Subtitles,      // libx264 + aac + subrip "eng" + ass "chi", MKV
    SubtitlesOnly,  // only a subrip stream, MKV
    NonAsciiName,   // the AVI clip under the name "测试视频 样本.avi"
    Truncated,      // the first half of the AVI clip's bytes
    Corrupt,        // the AVI clip with 8 KiB in the middle overwritten by noise
};

// The options the fixture was written with (for Truncated and Corrupt: those of the clip they
// were made from).
ClipOptions FixtureOptions(Fixture Which);
const std::string& FixturePath(Fixture Which);

// A copy of Source cut to Fraction of its size / with Length bytes from Fraction of its size on
// overwritten by fixed pseudo-random bytes. Cached under Name like the clips.
const std::string& TruncatedCopy(const std::string& Source, double Fraction, const std::string& Name);
const std::string& CorruptCopy(const std::string& Source, double Fraction, size_t Length, const std::string& Name);

// The shared folder the fixtures are cached in (created on first use).
const std::string& FixtureFolder();

// The test pattern as packed RGB24: the top half is three bars, red | green | blue; the third
// quarter is grey with a white bar moving right by Width/80 pixels per frame; the bottom quarter
// holds the frame number in 16 blocks, least significant bit at the left, white for 1.
void PaintTestPattern(uint8_t* Rgb, int LineSize, int Width, int Height, int64_t FrameIndex);
// Reads the frame number back from a decoded picture of the same size; BytesPerPixel is 1 for a
// luma plane, 3 or 4 for packed RGB/BGR(A) (the mean of the first three bytes is taken).
int64_t ReadPatternFrameIndex(const uint8_t* Pixels, int LineSize, int BytesPerPixel, int Width, int Height);

} // namespace qvtest
