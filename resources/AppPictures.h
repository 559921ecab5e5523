// The application's own pictures, drawn by tools/artmaker at build time and embedded as PNG files with alpha:
// the image lists of the main window and the settings dialog, and the single pictures. The end-of-batch sound is
// written beside the executables as sounds/ring001.wav by the same tool.
#pragma once

#include <cstddef>

struct TAppImage {
    const unsigned char* Data; // a PNG file
    std::size_t Size;
    int Width;
    int Height;
};

enum TAppImageList {
    ailToolbar,  // bsPngImageList1: 18 toolbar pictures of 40 x 40
    ailPanel,    // bsPngImageList3: 12 pictures of 16 x 16 for the job panel and the preview buttons
    ailCategory, // bsPngImageList4: 35 category icons of 48 x 48, by profile group
    ailProfile,  // bsPngImageList5: 35 profile icons of 32 x 32, by profile group
    ailSettings  // the settings dialog's ImageList1: 12 category pictures of 32 x 32
};
constexpr int AppImageListCount = 5;

int AppImageCount(TAppImageList List);
const TAppImage& AppImage(TAppImageList List, int Index);

enum TAppPicture {
    apCover,  // the cover panel bsSkinPanel5 over the empty job list, 552 x 238
    apAbout,  // the About dialog's picture, 53 x 55
    apIcon16, // the program icon
    apIcon32,
    apIcon48,
    apSettings // the settings dialog's Image1: a folder with a film clapper and a disc, 128 x 128
};
constexpr int AppPictureCount = 6;

const TAppImage& AppPicture(TAppPicture Picture);

// Indices of bsPngImageList1.
namespace ToolbarImages {
constexpr int Add = 0;
constexpr int AddFolder = 1;
constexpr int Remove = 2;
constexpr int Start = 3;
constexpr int Stop = 4;
constexpr int Pause = 5;
constexpr int Resume = 6;
constexpr int Options = 7;
constexpr int Skin = 8;
constexpr int Help = 9;
constexpr int About = 10;
constexpr int Exit = 11;
constexpr int OpenFolder = 12;
constexpr int StartDisabled = 13;
constexpr int StopDisabled = 14;
constexpr int PauseDisabled = 15;
constexpr int ResumeDisabled = 16;
constexpr int AddDisabled = 17;
constexpr int Count = 18;
} // namespace ToolbarImages

// Indices of bsPngImageList3: the job panel's buttons and the seven caption-less preview buttons.
namespace PanelImages {
constexpr int Play = 0;
constexpr int Pause = 1;
constexpr int Stop = 2;
constexpr int Mute = 3;
constexpr int Up = 4;
constexpr int Down = 5;
constexpr int Rename = 6;
constexpr int Unmute = 7;
constexpr int Delete = 8;
constexpr int Snapshot = 9;
constexpr int Clear = 10;
constexpr int Settings = 11;
constexpr int Count = 12;
} // namespace PanelImages

constexpr int ProfileGroupCount = 35;
constexpr int SettingsCategoryCount = 12;
