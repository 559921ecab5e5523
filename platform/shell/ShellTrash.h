// The freedesktop trash: a deleted item is moved into a trash folder with a note of where it came from, never
// unlinked.
#pragma once

#include "platform/base/System.h"

// Moves the file or folder at Path (absolute) into the trash of its file system: the home trash
// ($XDG_DATA_HOME/Trash) when it lies on the same device, else "$top/.Trash/$uid" (an existing, sticky
// folder) or "$top/.Trash-$uid" of its mount. Writes "info/NAME.trashinfo" first and moves the item to
// "files/NAME" second; on any failure the item stays where it was, no note is left behind, and Error says
// why.
bool MoveToTrash(const String& Path, String& Error);
// The trash folder an item at Path would go to (the folder holding files/ and info/); empty when none can be
// made.
String TrashFolderFor(const String& Path);
