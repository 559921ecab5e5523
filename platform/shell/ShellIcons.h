// The system image lists of the namespace: 16 and 32 pixel icons with equal indices, drawn here.
#pragma once

#include "platform/base/System.h"

class TCustomImageList;

// Indices of both lists.
enum TShellIcon {
    siFile,
    siFolder,
    siFolderOpen,
    siDesktop,
    siComputer,
    siHome,
    siDriveFixed,
    siDriveRemovable,
    siDriveOptical,
    siDriveNetwork,
    siVideo,
    siAudio,
    siPicture,
    siCount
};

// The small (16) or large (32) list, made on first use and kept for the program's life.
TCustomImageList* ShellImageList(bool Large);
// The index of an icon by its name ("file", "folder", "folder-open", "desktop", "computer", "home",
// "drive-fixed", "drive-removable", "drive-optical", "drive-network", "video", "audio", "picture");
// -1 for another name.
int ShellIconIndexByName(const String& Name);
// The icon of a file by its extension: video, audio, picture or the plain file.
int ShellFileIconIndex(const String& FileName);
