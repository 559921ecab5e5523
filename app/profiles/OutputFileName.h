#pragma once

#include <string_view>

#include "platform/base/System.h"

// How an output file is named from its input: the input's file name with the profile's extension, in the
// output folder, moved on to name_1.ext, name_2.ext ... while a file of that name already exists.

// The file-name part of a path: what follows its last "/".
String ExtractFileNamePart(std::u16string_view Path);
// The extension of a file name from its last "." ("a.b.avi" gives ".avi"); empty when it has none.
String ExtractFileNameExt(std::u16string_view FileName);
// The file name without that extension.
String StripFileNameExt(std::u16string_view FileName);
// The file name with its extension replaced by Ext, or Ext appended when it has none.
String ChangeFileNameExt(std::u16string_view FileName, std::u16string_view Ext);

// True when Path names an existing file; a folder or a missing path is free.
bool OutputFileExists(std::u16string_view Path);

// OutputFolder + "/" + Base + Ext, the folder text used as it stands. When a file of that name exists and
// Overwrite is off, the first OutputFolder + "/" + Base + "_" + N + Ext (N = 1, 2, ...) naming no existing
// file. A name that is the input file itself is never given, whatever Overwrite says: converting a file onto
// itself would destroy it before it is read, so the search moves on past it.
String UniqueOutputFileName(std::u16string_view OutputFolder, std::u16string_view Base, std::u16string_view Ext,
                            bool Overwrite, std::u16string_view InputFileName);
