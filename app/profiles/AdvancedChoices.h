#pragma once

#include "app/profiles/AdvancedLists.h"
#include "app/profiles/OutputParams.h"
#include "platform/base/System.h"

// How the texts of the main window's six advanced combo boxes become output parameter fields, and how a
// choice is recorded in the selected job row.
//
// The rules are the settings dialog's, except that the main window knows no automatic sample rate or audio
// bitrate: "自动音频采样率" is taken as it stands, and "自动音频比特率", holding no number, is a conversion
// error. Texts are compared whole and case-sensitively:
// - frame size: "保持原分辨率" and "该格式无视频" keep the source's (empty); any other text is the size;
// - frame rate: "保持原帧速率" and "无视频" keep the source's (empty); any other text as it stands ("25.00");
// - video bitrate: "无视频" gives -1000; otherwise the whole number before "kbps" times 1000;
// - sample rate: the text as it stands;
// - audio bitrate: the number before "kbps" times 1000, a fraction read with "." whatever the locale
//   ("4.75 kbps" gives 4750);
// - aspect mode: the six aspect texts give "", "4:3", "16:9", "37:20", "47:20" and ""; any other text
//   leaves the field as it was.
// A bitrate text without a number before "kbps" raises EConvertError.

// Sets the field a combo box of Kind feeds from the combo box's shown text.
void ApplyAdvancedChoice(TAdvancedKind Kind, const String& Text, TOutputParams& Params);
// Applies the six shown texts (indexed by TAdvancedKind) in the order frame size, frame rate, video bitrate,
// sample rate, audio bitrate, aspect mode. A conversion error stops there: earlier fields keep their new
// values, the failing and later ones their old values.
void ApplyAdvancedChoices(const String (&Texts)[AdvancedKindCount], TOutputParams& Params);

// The job row column (16 to 21) that records the field of Kind, and that field's text there (bitrates in
// decimal, "-1000" included).
int AdvancedChoiceColumn(TAdvancedKind Kind);
String AdvancedChoiceColumnText(TAdvancedKind Kind, const TOutputParams& Params);

// Column 10 of a job row keeps the six item indices as two-digit pairs in the order frame size, video
// bitrate, audio bitrate, aspect mode, frame rate, sample rate. The pair (1 to 6) of Kind:
int AdvancedChoicePair(TAdvancedKind Kind);
// An item index (0 to 99) as its pair: "07", "12".
String ComboIndexPair(int ItemIndex);
// Column10 with pair Pair replaced by ItemIndex's pair; characters past the twelfth are dropped, and a
// shorter text keeps what it has around the pair.
String SetComboIndexPair(const String& Column10, int Pair, int ItemIndex);
