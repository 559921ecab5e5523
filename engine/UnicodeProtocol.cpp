#include "engine/UnicodeProtocol.h"

namespace {

const std::string UnicodePrefix = "unicode:utf8:";
const std::string FilePrefix = "file:";
// Protocols whose URLs are never rewrapped, each between colons.
const String KnownProtocols = u":unicode:stream:gopher:http:pipe:rtp:tcp:udp:";

bool IsKnownProtocolURL(const String& AFileName) {
    size_t Colon = AFileName.find(u':');
    return Colon != String::npos && KnownProtocols.find(u":" + AFileName.substr(0, Colon) + u":") != String::npos;
}

} // namespace

bool NeedsUnicodeURL(const String& AFileName) {
    if (IsKnownProtocolURL(AFileName))
        return false;
    return UTF8ToString(UTF8Encode(AFileName)) != AFileName;
}

std::string MakeUnicodeURL(const String& AFileName) {
    return UTF8Encode(u"unicode:utf8:" + AFileName);
}

bool IsUnicodeURL(const std::string& AName) {
    return AName.size() > UnicodePrefix.size() && AName.compare(0, UnicodePrefix.size(), UnicodePrefix) == 0;
}

String UnicodeURLToFileName(const std::string& AName) {
    String Name = UTF8ToString(AName);
    for (int Part = 0; Part < 2; ++Part) {
        size_t Colon = Name.find(u':');
        Name.erase(0, Colon == String::npos ? Name.size() : Colon + 1);
    }
    return Name;
}

std::string UnicodeFileURL(const String& AFileName) {
    std::string Name = UTF8Encode(AFileName);
    if (IsUnicodeURL(Name))
        return FilePrefix + UTF8Encode(UnicodeURLToFileName(Name));
    if (NeedsUnicodeURL(AFileName))
        return FilePrefix + Name;
    return Name;
}

String FileNameFromURL(const std::string& AName) {
    if (IsUnicodeURL(AName))
        return UnicodeURLToFileName(AName);
    if (AName.compare(0, FilePrefix.size(), FilePrefix) == 0)
        return UTF8ToString(AName.substr(FilePrefix.size()));
    return UTF8ToString(AName);
}
