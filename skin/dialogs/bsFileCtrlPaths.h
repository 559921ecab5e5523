// Path routines of the file-system list controls. Paths use "/"; a drive is a mount point of the mount table
// (the root "/" being one), so what the controls call a drive's letter is its mount point here.
#pragma once

#include "platform/base/SysUtils.h"

class TCanvas;

enum TTextCase { tcLowerCase, tcUpperCase };

// True for an existing directory.
bool FolderExists(const String& Path);
// Path and Name with one "/" between them.
String JoinPath(const String& Path, const String& Name);
// The number of "/" in Path.
int PathDepth(const String& Path);
// Drops the first folder of a directory part, leaving ".../" in its place ("/" alone becomes empty).
void DropFirstFolder(String& S);
// FileName with leading folders replaced by "..." until it fits MaxWidth pixels on Canvas, or only the name is
// left.
String ShortenPath(const String& FileName, TCanvas* Canvas, int MaxWidth);
// The mount point whose drive holds Path: the longest one that is Path or one of its ancestors ("/" at least).
String MountPointOf(const String& Path);
// "[label]" of the drive mounted at MountPoint, cased by TextCase; "[]" when it has no label.
String VolumeLabelText(const String& MountPoint, TTextCase TextCase);
// "[remote name]" of a network drive (the share the mount table names), else VolumeLabelText.
String NetworkVolumeText(const String& MountPoint, TTextCase TextCase);
// Splits typed text into the drive it lies on, its directory and a file part (a mask or an existing file). A
// text that names no existing file is taken as a directory. A relative text is taken from the current
// directory; "[name]" (a directory as the file list shows it) names a directory there. The current directory
// stays as it was. EInOutError when a directory of the text does not exist.
void SplitEditPath(const String& EditText, String& Drive, String& DirPart, String& FilePart);
// Makes Dir the current directory; EInOutError "I/O error %d" when it cannot be.
void ChangeCurrentDir(const String& Dir);
