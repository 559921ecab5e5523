// The settings file option.ini beside the executable: every reader and writer opens it for one operation and
// closes it again, so each read sees what is on disk now.
#pragma once

#include "platform/base/System.h"

// What a read gets for a missing key; it and an empty value count as missing.
inline const String OptionMissingText = u"Error";

String OptionIniPath();
bool OptionIniExists();
// The key's value, or "Error" when it is missing.
String ReadOption(const String& Section, const String& Key);
// Creates the file, the section and the key as needed; an unwritable file raises EIniFileException
// "Unable to write to %s".
void WriteOption(const String& Section, const String& Key, const String& Value);
bool OptionIsMissing(const String& Value);

// The default output folder: "Velko视频软件/输出" in the user's home folder.
String DefaultOutputFolder();
