// Value encodings of the skin ini description: the readers and writers every skin record uses.
#pragma once

#include <cstdint>

#include "platform/base/Classes.h"
#include "platform/base/IniFiles.h"
#include "platform/base/System.h"
#include "platform/base/Types.h"
#include "platform/gdi/Graphics.h"
#include "skin/core/TbsEffectBmp.h"
#include "skin/core/bsUtils.h"

enum TbsStdCommand : std::uint8_t { cmClose, cmMaximize, cmMinimize, cmSysMenu, cmDefault, cmRollUp, cmMinimizeToTray };

// Digits only: any other character but "," is dropped, so no value can be negative; a field without a
// digit raises the integer-conversion error.
TRect ParseRectValue(const String& Value);
TPoint ParsePointValue(const String& Value);

TRect ReadRectValue(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteRectValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TRect& Value);
TPoint ReadPointValue(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WritePointValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TPoint& Value);
// True exactly when the value is the integer 1.
bool ReadBoolValue(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteBoolValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, bool Value);
TFontStyles ReadFontStyleValue(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteFontStyleValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TFontStyles Value);
// Appends the list's numbered values ("0", "1", ...; their number under Ident + "count") to Strings.
void ReadStringsValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TStrings& Strings);
void WriteStringsValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TStrings& Strings);
TAlignment ReadAlignmentValue(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteAlignmentValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TAlignment Value);
TbsStretchType ReadStretchType(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteStretchType(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsStretchType Value);
TbsMorphKind ReadMorphKind(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteMorphKind(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsMorphKind Value);
TbsInActiveEffect ReadInActiveEffect(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteInActiveEffect(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsInActiveEffect Value);
TbsStdCommand ReadCommand(TCustomIniFile& IniFile, const String& Section, const String& Ident);
void WriteCommand(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsStdCommand Value);
// True when VERSION, PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS each hold at least one key.
bool IsSkinIniValid(TCustomIniFile& IniFile);

// Reads or writes the keys of one section in a single pass, so every record names each of its keys once and
// every key it reads is also the key it writes.
class TbsSkinSectionIO {
public:
    TbsSkinSectionIO(TCustomIniFile& IniFile, const String& Section, bool Writing)
        : FIniFile(IniFile), FSection(Section), FWriting(Writing) {}

    bool Writing() const { return FWriting; }

    void Integer(const char16_t* Key, int& Field, int Default = 0);
    void Color(const char16_t* Key, TColor& Field, TColor Default = 0);
    void Flag(const char16_t* Key, bool& Field);
    void Rect(const char16_t* Key, TRect& Field);
    void Point(const char16_t* Key, TPoint& Field);
    void Text(const char16_t* Key, String& Field, const String& Default = String());
    void FontStyle(const char16_t* Key, TFontStyles& Field);
    void Stretch(const char16_t* Key, TbsStretchType& Field);
    void Morph(const char16_t* Key, TbsMorphKind& Field);
    void Alignment(const char16_t* Key, TAlignment& Field);
    void Command(const char16_t* Key, TbsStdCommand& Field);
    void Effect(const char16_t* Key, TbsInActiveEffect& Field);
    void Strings(const char16_t* Key, TStrings& Field);
    // Groups that many sections share, each under its usual keys and in its usual order.
    // "lefttoppoint", "righttoppoint", "leftbottompoint", "rightbottompoint".
    void Corners(TPoint& LT, TPoint& RT, TPoint& LB, TPoint& RB);
    // "fontname" (default "Arial"), "fontstyle", "fontheight" (default 14), "fontcolor".
    void Font(String& Name, TFontStyles& Style, int& Height, TColor& Color);
    // "upbuttonrect", "activeupbuttonrect", "downupbuttonrect", "downbuttonrect", "activedownbuttonrect",
    // "downdownbuttonrect": the up and down buttons in their normal, active and pressed looks.
    void ArrowButtons(TRect& Up, TRect& ActiveUp, TRect& DownUp, TRect& Down, TRect& ActiveDown, TRect& DownDown);
    // "leftstretch", "rightstretch", "topstretch", "bottomstretch", "stretcheffect".
    void Stretches(bool& Left, bool& Right, bool& Top, bool& Bottom, bool& Effect);

private:
    TCustomIniFile& FIniFile;
    String FSection;
    bool FWriting;
};

// The two operations every record class has: its parent reads or writes first, then the class its own keys (its
// public Keys) in the record's section, named by IDName.
template <class Parent, class Self> class TbsSkinRecord : public Parent {
public:
    using Parent::Parent;

    void LoadFromFile(TCustomIniFile& IniFile) override {
        Parent::LoadFromFile(IniFile);
        TbsSkinSectionIO IO(IniFile, this->IDName, false);
        static_cast<Self*>(this)->Keys(IO);
    }

    void SaveToFile(TCustomIniFile& IniFile) override {
        Parent::SaveToFile(IniFile);
        TbsSkinSectionIO IO(IniFile, this->IDName, true);
        static_cast<Self*>(this)->Keys(IO);
    }
};
