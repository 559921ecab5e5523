#pragma once

#include <string_view>

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/OutputParams.h"
#include "platform/base/System.h"

// The settings dialog's six advanced choices turned into output parameter fields (the dialog's OK runs it
// right after the profile's own parameters, so the choices override them). Texts holds the text each
// advanced combo box shows, indexed by TAdvancedKind.
//
// The fields are written in the order frame size, frame rate, video bitrate, sample rate, audio bitrate,
// aspect mode. A bitrate text that does not convert raises EConvertError at its step: the fields written
// before keep their new values, that field and the later ones keep their old ones.
void ApplySettingsAdvancedChoices(const String (&Texts)[AdvancedKindCount], TOutputParams& Params);

// The rules, one per combo box; every comparison is exact and case-sensitive on the whole text.
// "保持原分辨率" and "该格式无视频" give empty; any other text is taken as it stands.
String SettingsFrameSizeValue(const String& Text);
// "保持原帧速率" and "无视频" give empty; any other text as it stands ("25.00" is not normalised).
String SettingsFrameRateValue(const String& Text);
// "无视频" gives -1000; otherwise the integer before "kbps" times 1000 ("128 kbps" gives 128000).
int SettingsVideoBitrateValue(const String& Text);
// "自动音频采样率" gives "AUTO" (the engine chooses); any other text as it stands.
String SettingsSampleRateValue(const String& Text);
// "自动音频比特率" gives -1000; otherwise the number before "kbps" times 1000, a fraction read with "."
// whatever the locale ("4.75 kbps" gives 4750). A product with a fraction left is no valid bitrate.
int SettingsAudioBitrateValue(const String& Text);
// Writes Value with the aspect a known text names ("宽屏视频16:9模式" gives "16:9", "保持原视频模式" and
// "无视频" empty); returns false and leaves Value alone for any other text.
bool SettingsAspectValue(const String& Text, String& Value);

// The number part of a bitrate text: what stands before its first "kbps", without blanks and control
// characters at both ends; empty when the text holds no "kbps".
String BitrateNumberText(std::u16string_view Text);
