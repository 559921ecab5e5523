// Small helpers shared by the transcoder's own sources. Only those sources include this file.
#pragma once

#include <string>

#include "engine/FFmpeg.h"

// 8-bit text at the libraries' boundary is UTF-8 here, the system's code page.
inline std::string A(const String& S) {
    return UTF8Encode(S);
}
inline String W(const std::string& S) {
    return UTF8ToString(S);
}

// Every failure of a handler or a run is this exception with the system's text.
[[noreturn]] inline void Raise(const String& AText) {
    throw FFmpegException(AText);
}

// Microseconds of the libraries' monotonic clock.
Int64 NowUs();
// "Video", "Audio", "Data", "Subtitle", "Attachment" or "Unknown" for a media type.
String TypeName(int AType);
