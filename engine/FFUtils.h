// FFmpeg-facing helpers of the engine: time-stamp and error texts, named-option contexts,
// whole-file reading, metadata, codec and media-type texts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVUtilStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/base/System.h"

// "hh:mm:ss.mmm" of a time in microseconds (hours not wrapped at 24); "N/A" for AV_NOPTS_VALUE.
String FormatTimestamp(int64_t AMicroseconds);
// Microseconds of one frame at ARate; 40000 (25 fps) when the rate is unknown.
int64_t FrameDurationUs(AVRational ARate);
// APrefix + ": " + the text of a library error code.
String FFmpegErrorText(const String& APrefix, int AError);

// The named-option state of one transcoder: option holders per media type (video, audio, data,
// subtitle, attachment), for the container and for the scaler, and the names set so far.
struct TFFOptions {
    std::vector<std::string> opt_names;
    AVCodecContext* avcodec_opts[5] = {};
    AVFormatContext* avformat_opts = nullptr;
    SwsContext* sws_opts = nullptr;
};
void InitFFOptions(TFFOptions& AOptions);
void AllocFFOptions(TFFOptions& AOptions, int ASwsFlags);
void FreeFFOptions(TFFOptions& AOptions);
// Sets a named option on every holder that knows it; False for an unknown name or a refused value
// (the latter logged at the error level).
bool SetFFOption(TFFOptions& AOptions, const std::string& AName, const std::string& AValue);
// Copies the options set so far from ASource to ATarget where the option's flags hold all of AFlags.
void ApplyFFOptions(TFFOptions& AOptions, void* ATarget, void* ASource, int AFlags);

// Reads a file into a library allocation with a NUL after the bytes (ASize counts it):
// 0, -1 when it cannot be opened, AVERROR(ENOMEM) when there is no memory.
int ReadWholeFile(const std::string& AFileName, uint8_t*& ABuffer, int& ASize);

String MetadataValue(const AVDictionary* AMetadata, const char* AKey, const String& ADefault);
// The codec's name and long name, "name(long name)", as the encoder or decoder of the context.
String CodecDescription(const AVCodecContext* ACodecContext, bool AEncoder);
// "Video", "Audio", "Data", "Subtitle", "Attachment" or "Unknown".
String MediaTypeName(int AType);
