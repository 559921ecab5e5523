// File names handed to the media libraries and read back from them.
//
// The libraries take 8-bit names; on this system those are UTF-8, which the libraries' own file
// protocol opens for any path. The "unicode:utf8:" + UTF-8 form is still understood: such a name
// is handed to the libraries as a "file:" URL of the same path.
#pragma once

#include <string>

#include "platform/base/System.h"

// The 8-bit name for the libraries: the UTF-8 of AFileName, or a "file:" URL for a name in the
// "unicode:utf8:" form or one that UTF-8 cannot carry unchanged.
std::string UnicodeFileURL(const String& AFileName);
// The file name of a name the libraries hold (the reverse of UnicodeFileURL).
String FileNameFromURL(const std::string& AName);
// True when the name is not a URL of a known protocol and does not survive the 8-bit round trip.
bool NeedsUnicodeURL(const String& AFileName);
// "unicode:utf8:" + the UTF-8 of AFileName.
std::string MakeUnicodeURL(const String& AFileName);
// At least one character after "unicode:utf8:".
bool IsUnicodeURL(const std::string& AName);
// The text after the second ":" of a "unicode:utf8:" name.
String UnicodeURLToFileName(const std::string& AName);
