#include "app/OptionIni.h"

#include "engine/MyUtils.h"
#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"

String OptionIniPath() {
    return GetAppPath() + u"option.ini";
}

bool OptionIniExists() {
    return FileExists(OptionIniPath());
}

String ReadOption(const String& Section, const String& Key) {
    TIniFile Ini(OptionIniPath());
    return Ini.ReadString(Section, Key, OptionMissingText);
}

void WriteOption(const String& Section, const String& Key, const String& Value) {
    TIniFile Ini(OptionIniPath());
    Ini.WriteString(Section, Key, Value);
}

bool OptionIsMissing(const String& Value) {
    return Value.empty() || Value == OptionMissingText;
}

String DefaultOutputFolder() {
    String Home = GetEnvironmentVariable(u"HOME");
    if (Home.empty())
        Home = GetAppPath();
    return IncludeTrailingPathDelimiter(Home) + u"Velko视频软件/输出";
}
