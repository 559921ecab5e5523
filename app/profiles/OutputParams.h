#pragma once

#include "engine/FFConverterOptions.h"
#include "platform/base/System.h"

// The main window's output parameter fields: a working area rebuilt for every added file (reset, profile,
// advanced choices) and then mapped into the engine's output options. The main window owns one instance;
// the profile catalogue, the advanced lists and the settings dialog write it, the job code reads it.
//
// Sentinels: an empty string keeps the source's value; a bitrate of -1000 means "not set" by the profile,
// -1 is the reset value (not set either). Bitrates are in bits per second.
struct TOutputParams {
    // Full path of the input file being added; the output name is derived from it. No reset touches it.
    String Video_AddFileName;
    // Full path of the output file: output folder, separator, input name with the profile's extension.
    String Video_OutPutFileName;

    String Video_FileExt;          // ".mp4", or empty; recorded in the job row only
    String Video_AudioChannels;    // "1", "2", or empty
    String Video_AudioSampleRate;  // "44100", or empty
    String Video_FrameSize;        // "1280*720", or empty
    String Video_FrameRate;        // "29.97", "25.00", or empty
    String Video_NormType;         // "PAL", "NTSC", or empty
    String Video_VideoFilters;     // written by the settings dialog only; always empty
    String Video_AudioVolume;      // engine scale; "256" after a reset
    String Video_FrameAspectRatio; // "4:3", "16:9", "37:20", "47:20", or empty
    String Video_VideoCodec;       // "mpeg4", "libx264", ..., or empty
    String Video_AudioCodec;       // "libmp3lame", "libfaac", ..., or empty
    String Video_CopyTimestamp;    // written by the settings dialog only; always empty
    String Video_FileFormat;       // forced container ("asf"), or empty
    String Video_TargetType;       // "vcd", "svcd", "dvd", or empty
    String Video_VideoTag;         // "XVID", "DX50", or empty

    int Video_VideoBitrate = 0;
    int Video_AudioBitrate = 0;
    int Video_TimeStart = 0;  // written by the settings dialog's reset only
    int Video_TimeLength = 0; // written by the settings dialog's reset only

    bool Video_DisableVideo = false; // True: the output has no video stream

    // The last profile code computed by applying a profile or filling the advanced lists; nothing reads it.
    int All_Trant_Number = 0;

    // The main window's reset: every field back to "not set". Leaves Video_AddFileName, All_Trant_Number and
    // the four fields only the settings dialog writes (filters, copy-timestamp, time start and length).
    void Reset();
    // The settings dialog's reset: as Reset, and also the four fields the main window's reset leaves alone.
    void ResetAll();

    // Maps the fields into an engine output record that InitOutputOptions has reset: each field that is set
    // overwrites its record field, and what is not set keeps the record's own "not set". "libx264" also names
    // the encoder's default preset; the target and norm texts are compared case-sensitively ("DVD" is no
    // target). The output path is not written: it is passed to SetOutputFile on its own. Channel, sample rate
    // and volume texts that are no decimal integers raise EConvertError; the sample rate "AUTO" leaves the
    // rate to the engine.
    void FillOutputOptions(TOutputOptions& AOptions) const;
};
