#pragma once

#include <span>
#include <string_view>

#include "app/profiles/OutputParams.h"

// What each profile of the catalogue gives the output parameter fields. Strings are the exact field values
// (empty: not set); bitrates are in bits per second, -1000 for the disc profiles, -1 where none is given.
// Every profile gives Video_AudioVolume "256".
struct TProfileSettings {
    int ProfileCode;
    std::u16string_view Ext; // extension of the output file name
    std::u16string_view VideoCodec;
    std::u16string_view VideoTag;
    std::u16string_view FrameRate;
    std::u16string_view FrameSize;
    std::u16string_view FrameAspectRatio;
    int VideoBitrate;
    std::u16string_view AudioCodec;
    std::u16string_view AudioChannels;
    std::u16string_view AudioSampleRate;
    int AudioBitrate;
    std::u16string_view TargetType;
    std::u16string_view NormType;
    std::u16string_view FileExt; // recorded in the job row; differs from Ext for a few profiles
    std::u16string_view FileFormat;
    bool DisableVideo;
};

// The 169 entries, in the order of the profile list.
std::span<const TProfileSettings> ProfileSettingsTable();
// The entry of a profile code, or nullptr when the catalogue has none.
const TProfileSettings* FindProfileSettings(int ProfileCode);

// Gives every field the entry names its value from the entry (paths and the profile code are not touched).
void AssignProfileSettings(const TProfileSettings& Settings, TOutputParams& Params);

// Applies the profile that the category and profile combo boxes show to the fields, for the input file in
// Params.Video_AddFileName: reset, profile code into All_Trant_Number, the entry's values, and the output
// path OutputFolder + "/" + the input's name with the entry's extension, moved on to the first free
// name_N.ext when a file of that name exists and Overwrite is off. Returns false, with the fields reset and
// no output path, when the two indices form no profile code of the catalogue.
bool ApplyProfile(TOutputParams& Params, int CategoryIndex, int ProfileIndex, const String& OutputFolder,
                  bool Overwrite);

// Columns 11 to 24 of a job row as applying a profile writes them: video codec, audio codec, channels, tag,
// file extension, frame size, video bitrate, frame rate, audio bitrate, sample rate, aspect, "True"/"False"
// for disabled video, target, norm.
constexpr int ProfileRowFirstColumn = 11;
constexpr int ProfileRowColumnCount = 14;
void ProfileRowColumns(const TOutputParams& Params, String (&Columns)[ProfileRowColumnCount]);
