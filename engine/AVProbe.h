// The media probe: opens one media file, answers what streams it holds, writes a text report of it,
// and (TAVProbe) decodes its pictures one at a time, seeks, steps between key frames and hands the
// current picture over as a bitmap.
#pragma once

#include "engine/AVProbeTypes.h"
#include "engine/FFBaseComponent.h"
#include "engine/FFmpegLoader.h"
#include "engine/RGBConvertContext.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

using PAVFormatContext = AVFormatContext*;
using PAVCodecContext = AVCodecContext*;

// ID3v2 frame names and the generic names the report shows for them.
struct TMetadataKeyName {
    const char* Key;
    const char* Name;
};
extern const TMetadataKeyName MetadataKeyNames[22];

class TCustomAVProbe : public TFFBaseComponent {
public:
    explicit TCustomAVProbe(TComponent* AOwner);
    ~TCustomAVProbe() override;

    bool AVLibLoaded() const;
    bool LoadAVLib(const String& APath);
    void UnloadAVLib();

    // Opens the file (forcing the demuxer AFormatName when not empty); False with LastErrMsg set.
    // Raises only when a library is missing.
    bool LoadFile(const String& AFileName, const String& AFormatName = String());
    virtual void CloseFile();
    virtual void UpdateFileInfo();

    PAVFormatContext FileHandle() const { return FFileHandle; }
    // Adopts a context another part of the engine opened; the probe never closes it.
    virtual void SetFileHandle(PAVFormatContext Value);

    bool IsAudioStream(int AStreamIndex);
    bool IsVideoStream(int AStreamIndex);
    bool IsSubtitleStream(int AStreamIndex);

    // Logs AMsg at the libraries' log level ALogLevel (16 error, 24 warning, 32 information, 48 debug)
    // and keeps it as LastErrMsg.
    void ReportError(int ALogLevel, const String& AMsg);
    void CheckLibraries() const;

    String FileName();
    Int64 FileSize() const { return FFileSize; }
    String ForceFormat() const { return FForceFormat; }
    String FormatName();
    String FormatLongName();
    int StreamCount() const { return FStreamCount; }
    int ProgramCount() const { return FProgramCount; }
    int AudioStreamCount() const { return FAudioStreamCount; }
    int VideoStreamCount() const { return FVideoStreamCount; }
    int SubtitleStreamCount() const { return FSubtitleStreamCount; }
    int FirstAudioStreamIndex() const { return FFirstAudioStreamIndex; }
    int FirstVideoStreamIndex() const { return FFirstVideoStreamIndex; }
    int FirstSubtitleStreamIndex() const { return FFirstSubtitleStreamIndex; }
    TFileStreamInfo FileStreamInfo();
    TAudioStreamInfo FirstAudioStreamInfo();
    TVideoStreamInfo FirstVideoStreamInfo();
    TSubtitleStreamInfo FirstSubtitleStreamInfo();
    String FileInfoText();
    String LastErrMsg() const { return FLastErrMsg; }

protected:
    PAVFormatContext FFileHandle = nullptr;
    bool FOwnHandle = false;
    String FLastErrMsg;
    String FForceFormat;
    Int64 FFileSize = -1;
    int FStreamCount = -1;
    int FProgramCount = -1;
    int FAudioStreamCount = -1;
    int FVideoStreamCount = -1;
    int FSubtitleStreamCount = -1;
    int FFirstAudioStreamIndex = -1;
    int FFirstVideoStreamIndex = -1;
    int FFirstSubtitleStreamIndex = -1;

    // True when a file is held; otherwise reports "file not loaded.".
    bool CheckFileLoaded();
    bool IsStreamOfType(int AStreamIndex, AVMediaType AType);
    // The stream's time base, repaired in the context when its denominator is 0.
    static AVRational RepairedTimeBase(AVStream* AStream);
    // True for the demuxers of single pictures ("image2" and the "*_pipe" picture readers).
    bool IsImageFormat() const;

private:
    void ReadCodecStreamInfo(int AStreamIndex, TCodecStreamInfo& AInfo);
    String StreamLine(int AStreamIndex);
};

class TAVProbe : public TCustomAVProbe {
public:
    explicit TAVProbe(TComponent* AOwner);
    ~TAVProbe() override;

    void CloseFile() override;
    void UpdateFileInfo() override;

    // APTS in microseconds from the start, or a byte position with sfByte.
    bool Seek(Int64 APTS, TSeekFlags ASeekFlags = TSeekFlags());
    // The next picture of the video stream AStreamIndex (-1: the stream decoded last, else the first).
    bool Decode(int AStreamIndex = -1);
    bool DecodeNextKeyFrame(int AStreamIndex = -1);
    bool DecodePreviousFrame(int AStreamIndex = -1);
    bool DecodePreviousKeyFrame(int AStreamIndex = -1);
    // The current picture as a 24-bit bitmap; without one (or when it cannot be converted) False,
    // ABitmap then unchanged (or black at the picture's size).
    bool CopyToBitmap(TBitmap* ABitmap);

    // The property EOF of the class; "EOF" itself is a macro of the C library.
    bool Eof() const { return FEOF; }
    const TFrameInfo& FrameInfo() const { return FPicture; }
    Int64 Position();

protected:
    void ResetFrameInfo();
    bool CheckOwnHandle();
    bool CanSeek();
    int SelectDecodeStream(int AStreamIndex);
    PAVCodecContext OpenDecoder(int AStreamIndex);
    void StoreFrame(const AVFrame* AFrame, const AVPacket* APacket, Int64 APos);

private:
    PAVCodecContext FCodec = nullptr;
    TRGBConvertContext FRGBContext;
    int FSeekIndex = -1;
    Int64 FStartTime = -1;
    int FDecodeIndex = -1;
    bool FEOF = false;
    TFrameInfo FPicture;
    Int64 FLastPTS = AV_NOPTS_VALUE;
    Int64 FLastPos = -1;

    // The decoder is a context of its own, made from the stream's parameters: FCodecIndex is the
    // stream it decodes. FDraining: the file has ended and the decoder gives up its last pictures.
    int FCodecIndex = -1;
    bool FDraining = false;
    AVPacket* FPacket = nullptr;
    AVFrame* FFrame = nullptr;

    Int64 IOPosition() const;
    void CloseDecoder();
};
