// Information records of unit AVProbe: what the probe reports about a file and its first streams. AVProbe.h
// includes this file; the transcoder and the player use the records too.
#pragma once

#include <cstdint>

#include "engine/FFBaseComponent.h"
#include "platform/base/System.h"

extern "C" {
#include <libavutil/avutil.h>
#include <libavutil/pixfmt.h>
#include <libavutil/rational.h>
#include <libavutil/samplefmt.h>
}

using TAVRational = AVRational;

// Times are microseconds unless said otherwise; the declared values (-1 for every number, empty texts) are
// what a record holds when there is no file or no such stream.
struct TFileStreamInfo {
    Int64 StartTime = -1;
    Int64 Duration = -1;
    Integer BitRate = -1; // bit/s, 0 when the demuxer does not know it
    Int64 TimeStamp = -1; // creation time, seconds since 1970-01-01 UTC; 0 when absent
    Integer Year = -1;    // 0 when absent
    Integer Track = -1;   // 0 when absent
    String Title;
    String Author;
    String Copyright;
    String Comment;
    String Album;
    String Genre;
};

// The leading fields that the audio and video records share.
struct TCodecStreamInfo {
    String Language;
    String CodecName;
    Int64 StartTime = -1; // in the stream's own time base
    Int64 StartTimeScaled = -1;
    Int64 Duration = -1; // in the stream's own time base
    Int64 DurationScaled = -1;
    Integer BitRate = -1;
};

struct TAudioStreamInfo : TCodecStreamInfo {
    Integer Channels = -1;
    Integer SampleRate = -1;
    AVSampleFormat SampleFormat = AV_SAMPLE_FMT_NONE; // -1
};

struct TVideoStreamInfo : TCodecStreamInfo {
    Integer Height = -1;
    Integer Width = -1;
    float AspectRatio = -1.0f;              // display aspect ratio; 0 when the sample aspect ratio is 0/1
    AVPixelFormat PixFmt = AV_PIX_FMT_NONE; // -1
    TAVRational FrameRate{-1, -1};          // the stream's real base frame rate
};

struct TSubtitleStreamInfo {
    String Language;
    String CodecName;
};

// Plane pointers and line sizes of a picture.
struct TAVPicture {
    uint8_t* data[4] = {};
    int linesize[4] = {};
};

// The probe's current decoded picture; the declared values are those of an empty one.
struct TFrameInfo {
    AVPixelFormat PixFmt = AV_PIX_FMT_NONE;
    Integer Width = -1;
    Integer Height = -1;
    bool IsKeyFrame = false;
    TPictureType PictureType = ptUnknown; // any value the libraries do not number is ptUnknown
    Int64 PTS = AV_NOPTS_VALUE;           // microseconds from the stream's start
    Int64 OriginalDTS = AV_NOPTS_VALUE;   // of the packet that completed the picture, in the stream's time base
    Int64 OriginalPTS = AV_NOPTS_VALUE;
    Integer StreamIndex = -1;
    Int64 Position = -1; // byte position of the file before this picture's packets were read
    bool Ready = false;
    TAVPicture Picture;        // points into Buffer
    uint8_t* Buffer = nullptr; // picture memory of the libraries' allocator, owned by the probe
    Integer Size = 0;          // bytes allocated in Buffer
};
