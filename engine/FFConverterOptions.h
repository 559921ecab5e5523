// Records of unit FFConverter: the per-file task options and the task reports. FFConverter.h includes this file.
#pragma once

#include "platform/base/SysUtils.h"
#include "platform/base/System.h"

#include <cstdint>
#include <string>

// "No time given": the libraries' AV_NOPTS_VALUE, written out so that this header needs none of
// their headers.
constexpr Int64 NoTimeValue = INT64_MIN;

// Target presets of an output file (vcd, svcd, dvd).
enum TOptionTargetType { ttIgnore, ttVCD, ttSVCD, ttDVD };
enum TOptionNormType { ntAuto, ntPAL, ntNTSC };
// The norm a target falls back to when the automatic choice finds none: ntPAL or ntNTSC only.
using TOptionNormDefault = TOptionNormType;

// Metadata and recording time stamp of an output file. The texts are 8-bit strings in the system code
// page, which is UTF-8 here.
struct TStreamInfo {
    TDateTime TimeStamp = -1.0; // 0: the time of the call; above 0: that local date and time; below 0: none
    Integer Year = -1;
    Integer Track = -1;
    std::string Title;
    std::string Author;
    std::string Copyright;
    std::string Comment;
    std::string Album;
    std::string Genre;
};

// Options of one input file. The declared values are the reset values; times are microseconds and
// NoTimeValue means "not given".
struct TInputOptions {
    String FileName;
    String FileFormat;
    Int64 TimeStart = NoTimeValue;
    Integer ProgramID = -1;
    String ExtOptions;
    Integer Tag = 0;
    Pointer Data = nullptr;
};
using PInputOptions = TInputOptions*;

// Options of one output file. The declared values are the reset values: -1 (or NoTimeValue for times)
// leaves a number to the transcoder, an empty text leaves that setting alone.
struct TOutputOptions {
    String FileName;
    String FileExt;
    String FileFormat;
    Integer PacketSize = -1;
    Integer MuxRate = -1;
    float MuxDelay = -1.0f;   // seconds
    float MuxPreload = -1.0f; // seconds
    String AudioCodec;
    String AudioPreset;
    bool DisableAudio = false;
    Integer AudioVolume = -1; // 256 = unchanged
    Integer AudioChannels = -1;
    Integer AudioSampleRate = -1; // Hz
    Integer AudioBitrate = -1;    // bit/s
    Integer AudioBitRateTolerance = -1;
    String AudioLanguage;
    Integer AudioSyncMethod = 0;
    String AudioTag; // four characters
    String VideoCodec;
    String VideoPreset;
    bool DisableVideo = false;
    String FrameRate;
    String FrameSize;
    String FrameAspectRatio; // "4:3" or a number
    Integer CropTop = -1;
    Integer CropBottom = -1;
    Integer CropLeft = -1;
    Integer CropRight = -1;
    Integer GroupPictureSize = -1;
    Integer VideoBitrate = -1; // bit/s
    Integer VideoMaxRate = -1;
    Integer VideoMinRate = -1;
    Integer VideoBitRateTolerance = -1;
    Integer VideoBufSize = -1;
    Integer VideoSyncMethod = -1; // -1 lets the transcoder choose
    String VideoTag;              // four characters
    String VideoFilters;
    String VideoLanguage;
    String SubtitleCodec;
    String SubtitlePreset;
    bool DisableSubtitle = false;
    String SubtitleLanguage;
    bool InputSync = false;
    bool CopyTimestamp = false;
    Int64 TimeStart = NoTimeValue;
    Int64 TimeLength = NoTimeValue; // also the total duration of the progress reports
    TStreamInfo Info;
    TOptionTargetType TargetType = ttIgnore;
    TOptionNormType NormType = ntAuto;
    TOptionNormDefault NormDefault = ntPAL;
    bool CustomHook = false; // raise the custom-hook event for each video frame
    bool Join = false;       // join mode of the output file
    String ExtOptions;
    Integer Tag = 0;
    Pointer Data = nullptr;
};
using POutputOptions = TOutputOptions*;

// Set every field to its reset value.
void InitInputOptions(TInputOptions& AOptions);
void InitOutputOptions(TOutputOptions& AOptions);

// One progress report of a task. Durations are microseconds.
struct TProgressInfo {
    Integer TaskIndex = 0;
    Integer FileIndex = 0; // input file whose packet was handled last; -1 in the last report of a task
    Integer FrameNumber = 0;
    Integer FPS = 0;
    float Quality = 0.0f;
    float BitRate = 0.0f; // kbit/s
    Int64 CurrentSize = 0;
    Int64 CurrentDuration = 0;
    Int64 TotalDuration = 0; // -1 when the total is not known
};
using PProgressInfo = TProgressInfo*;

// The end of one task, or of the whole run when TaskIndex is below zero.
struct TTerminateInfo {
    Integer TaskIndex = 0;
    bool Finished = false;  // the task converted to the end
    bool Exception = false; // the task failed, with ExceptionMsg as the reason
    String ExceptionMsg;
};
