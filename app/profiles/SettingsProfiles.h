#pragma once

#include <climits>
#include <span>
#include <string_view>

#include "app/profiles/OutputParams.h"
#include "platform/base/System.h"

// The settings dialog's own catalogue: twelve categories, 109 profiles keyed by (category index + 1) * 100 +
// profile index, and a table of what each profile writes into the output parameter fields. It shares the
// key with the main window's catalogue but not the tables, which differ for a few codes.

// One item of the dialog's profile combo box: Title in bold, Description under it. The combo box has no
// image list, so ImageIndex selects no picture.
struct TSettingsProfileItem {
    int ProfileCode;
    const char16_t* Title;
    const char16_t* Description;
    int ImageIndex;
};

constexpr int SettingsCategoryCount = 12;

// The captions of the category combo box, each item's image index being its position.
std::span<const char16_t* const> SettingsCategories();
// All 109 profiles, category after category, each category's in list order.
std::span<const TSettingsProfileItem> SettingsProfileItems();
// The profiles of a category (0..11) in list order; empty for any other index.
std::span<const TSettingsProfileItem> SettingsProfilesOfCategory(int CategoryIndex);

// Field values of one entry of the dialog's profile table. An entry writes only its own fields: Keep (a null
// text) and KeepRate leave a field as it was, so what the fields hold afterwards depends on earlier runs.
constexpr const char16_t* Keep = nullptr;
constexpr int KeepRate = INT_MIN;

struct TSettingsProfileEntry {
    int ProfileCode;
    const char16_t* Ext; // extension of the output name
    const char16_t* VideoCodec;
    const char16_t* FrameRate;
    const char16_t* FrameSize;
    int VideoBitrate;
    const char16_t* AudioCodec;
    const char16_t* AudioSampleRate;
    int AudioBitrate;
    const char16_t* AudioChannels;
    const char16_t* VideoTag;
    const char16_t* FrameAspectRatio;
    const char16_t* FileExt;
    const char16_t* TargetType;
    const char16_t* NormType;
    const char16_t* FileFormat;
    const char16_t* VideoFilters;
    const char16_t* CopyTimestamp;
    const char16_t* AudioVolume;
    bool DisableVideo; // true: sets Video_DisableVideo; false leaves it
};

// The 110 entries: video entries, audio-only entries, the disc entries 111 to 113 and the partial entry 114.
std::span<const TSettingsProfileEntry> SettingsProfileTable();
const TSettingsProfileEntry* FindSettingsProfileEntry(int ProfileCode);

// Writes the entry's own fields into Params.
void AssignSettingsProfileEntry(const TSettingsProfileEntry& Entry, TOutputParams& Params);

// The dialog's "apply the chosen profile": the code from the two combo boxes' indices goes to
// All_Trant_Number and the disable-video flag is cleared; a code with an entry names the output
// OutputFolder + "/" + the input's name with the entry's extension and writes the entry's fields. Then, for
// every code, the output name is moved into OutputFolder and on to name_N.ext while a file of that name
// exists and Overwrite is off; it is never the input file itself. Returns the entry, or nullptr.
const TSettingsProfileEntry* ApplySettingsProfile(TOutputParams& Params, int CategoryIndex, int ProfileIndex,
                                                  const String& OutputFolder, bool Overwrite);
