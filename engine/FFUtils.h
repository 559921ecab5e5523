// FFmpeg-facing helpers of the engine: time-stamp and error texts, named-option contexts,
// whole-file reading, metadata, codec and media-type texts.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "engine/AVCodecStubs.h"
#include "engine/AVFormatStubs.h"
#include "engine/AVProbeTypes.h"
#include "engine/AVUtilStubs.h"
#include "engine/SwScaleStubs.h"
#include "platform/base/System.h"
#include "platform/gdi/Graphics.h"

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

// The state of converting pictures to 24-bit bitmaps, one per user.
struct TRGBConvertContext {
    AVPixelFormat RGBPixFmt = AV_PIX_FMT_BGR24;
    TPixelFormat BMPPixFmt = pf24bit;
    std::unique_ptr<TBitmap> Bitmap; // created on first use
    uint8_t* RGBBuf = nullptr;       // library allocation behind RGBPicture
    int RGBBufSize = 0;
    TAVPicture RGBPicture;
    const uint8_t* const* RGBPictureRef = nullptr; // the planes whose rows were copied
    const int* RGBPictureLineSize = nullptr;
    SwsContext* toRGB_convert_ctx = nullptr;
    SwsContext* fromRGB_convert_ctx = nullptr;
};
// Frees what the context holds and sets it back to BGR24 and pf24bit.
void ResetRGBConvertContext(TRGBConvertContext& AContext);
std::unique_ptr<TBitmap> NewRGBBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat);
// Copies the picture into AContext.Bitmap, converting it to BGR24 unless it already has the
// bitmap's layout (BGR24, even sizes, the bitmap's row size). False when no converter is found.
// An AVFrame's data and linesize pass as they are.
bool PictureToBitmap(TRGBConvertContext& AContext, const uint8_t* const APicture[], const int ALineSize[], int APixFmt,
                     int AWidth, int AHeight);

String MetadataValue(const AVDictionary* AMetadata, const char* AKey, const String& ADefault);
// The codec's name and long name, "name(long name)", as the encoder or decoder of the context.
String CodecDescription(const AVCodecContext* ACodecContext, bool AEncoder);
// "Video", "Audio", "Data", "Subtitle", "Attachment" or "Unknown".
String MediaTypeName(int AType);
