#include "skin/core/SkinIniValues.h"

#include "platform/base/SysUtils.h"

namespace {

// Splits the value into Count fields at ","; separators past the last field end the parse.
template <int Count> void ParseFields(const String& Value, int (&Fields)[Count]) {
    String Parts[Count];
    String Acc;
    int Field = 0;
    bool Done = false;
    for (Char C : Value) {
        if (C == u',') {
            Parts[Field] = Acc;
            Acc.clear();
            if (++Field == Count) {
                Done = true;
                break;
            }
        } else if (C >= u'0' && C <= u'9')
            Acc += C;
    }
    if (!Done)
        Parts[Field] = Acc;
    for (int I = 0; I < Count; ++I)
        Fields[I] = StrToInt(Parts[I]);
}

const String StretchWords[] = {u"stfull", u"sthorz", u"stvert"};
const String MorphWords[] = {u"mkdefault",   u"mkgradient",   u"mkleftgradient", u"mkrightgradient",
                             u"mkleftslide", u"mkrightslide", u"mkpush"};
const String EffectWords[] = {u"iebrightness", u"iedarkness", u"iegrayscale", u"ienoise", u"iesplitblur", u"ieinvert"};
const String CommandWords[] = {u"cmclose",   u"cmmaximize", u"cmminimize",      u"cmsysmenu",
                               u"cmdefault", u"cmrollup",   u"cmminimizetotray"};
const String FontStyleWords[] = {u"fsbold", u"fsitalic", u"fsunderline", u"fsstrikeout"};
const TFontStyle FontStyleValues[] = {fsBold, fsItalic, fsUnderline, fsStrikeOut};

} // namespace

TRect ParseRectValue(const String& Value) {
    int F[4];
    ParseFields(Value, F);
    return Rect(F[0], F[1], F[2], F[3]);
}

TPoint ParsePointValue(const String& Value) {
    int F[2];
    ParseFields(Value, F);
    return Point(F[0], F[1]);
}

TRect ReadRectValue(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    return ParseRectValue(IniFile.ReadString(Section, Ident, u"0,0,0,0"));
}

void WriteRectValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TRect& Value) {
    IniFile.WriteString(Section, Ident,
                        IntToStr(Value.Left) + u"," + IntToStr(Value.Top) + u"," + IntToStr(Value.Right) + u"," +
                            IntToStr(Value.Bottom));
}

TPoint ReadPointValue(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    return ParsePointValue(IniFile.ReadString(Section, Ident, u"0,0"));
}

void WritePointValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TPoint& Value) {
    IniFile.WriteString(Section, Ident, IntToStr(Value.X) + u"," + IntToStr(Value.Y));
}

bool ReadBoolValue(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    return IniFile.ReadInteger(Section, Ident, 0) == 1;
}

void WriteBoolValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, bool Value) {
    IniFile.WriteInteger(Section, Ident, Value ? 1 : 0);
}

TFontStyles ReadFontStyleValue(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"");
    TFontStyles Result;
    for (int I = 0; I < 4; ++I)
        if (S.find(FontStyleWords[I]) != String::npos)
            Result += FontStyleValues[I];
    return Result;
}

void WriteFontStyleValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TFontStyles Value) {
    String S;
    for (int I = 0; I < 4; ++I)
        if (Value.Contains(FontStyleValues[I])) {
            if (!S.empty())
                S += u",";
            S += FontStyleWords[I];
        }
    IniFile.WriteString(Section, Ident, S);
}

void ReadStringsValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TStrings& Strings) {
    const int Count = IniFile.ReadInteger(Section, Ident + u"count", 0);
    for (int I = 0; I < Count; ++I)
        Strings.Add(IniFile.ReadString(Section, IntToStr(I), u""));
}

void WriteStringsValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, const TStrings& Strings) {
    IniFile.WriteInteger(Section, Ident + u"count", Strings.Count());
    for (int I = 0; I < Strings.Count(); ++I)
        IniFile.WriteString(Section, IntToStr(I), Strings[I]);
}

TAlignment ReadAlignmentValue(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"tacenter");
    if (S == u"tacenter")
        return taCenter;
    if (S == u"taleftjustify")
        return taLeftJustify;
    return taRightJustify;
}

void WriteAlignmentValue(TCustomIniFile& IniFile, const String& Section, const String& Ident, TAlignment Value) {
    IniFile.WriteString(Section, Ident,
                        Value == taLeftJustify    ? u"taleftjustify"
                        : Value == taRightJustify ? u"tarightjustify"
                                                  : u"tacenter");
}

TbsStretchType ReadStretchType(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"stfull");
    if (S == u"stfull")
        return bsstFull;
    if (S == u"stvert")
        return bsstVert;
    return bsstHorz;
}

void WriteStretchType(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsStretchType Value) {
    IniFile.WriteString(Section, Ident, StretchWords[Value]);
}

TbsMorphKind ReadMorphKind(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"mkdefault");
    for (int I = 0; I < 7; ++I)
        if (S == MorphWords[I])
            return static_cast<TbsMorphKind>(I);
    return mkDefault;
}

void WriteMorphKind(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsMorphKind Value) {
    IniFile.WriteString(Section, Ident, MorphWords[Value]);
}

TbsInActiveEffect ReadInActiveEffect(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"iebrightness");
    for (int I = 0; I < 6; ++I)
        if (S == EffectWords[I])
            return static_cast<TbsInActiveEffect>(I);
    return ieGrayScale;
}

void WriteInActiveEffect(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsInActiveEffect Value) {
    IniFile.WriteString(Section, Ident, EffectWords[Value]);
}

TbsStdCommand ReadCommand(TCustomIniFile& IniFile, const String& Section, const String& Ident) {
    const String S = IniFile.ReadString(Section, Ident, u"cmdefault");
    // Only the first six words are recognised; everything else, "cmminimizetotray" included, is the tray command.
    for (int I = 0; I < 6; ++I)
        if (S == CommandWords[I])
            return static_cast<TbsStdCommand>(I);
    return cmMinimizeToTray;
}

void WriteCommand(TCustomIniFile& IniFile, const String& Section, const String& Ident, TbsStdCommand Value) {
    IniFile.WriteString(Section, Ident, CommandWords[Value]);
}

bool IsSkinIniValid(TCustomIniFile& IniFile) {
    for (const char16_t* Name : {u"VERSION", u"PICTURES", u"FORMINFO", u"SKINOBJECTS", u"SKINCONTROLS"})
        if (!IniFile.SectionExists(Name))
            return false;
    return true;
}

void TbsSkinSectionIO::Integer(const char16_t* Key, int& Field, int Default) {
    if (FWriting)
        FIniFile.WriteInteger(FSection, Key, Field);
    else
        Field = FIniFile.ReadInteger(FSection, Key, Default);
}

void TbsSkinSectionIO::Color(const char16_t* Key, TColor& Field, TColor Default) {
    // Written as a signed decimal, so system colours appear negative.
    if (FWriting)
        FIniFile.WriteInteger(FSection, Key, static_cast<int>(Field));
    else
        Field = static_cast<TColor>(FIniFile.ReadInteger(FSection, Key, static_cast<int>(Default)));
}

void TbsSkinSectionIO::Flag(const char16_t* Key, bool& Field) {
    if (FWriting)
        WriteBoolValue(FIniFile, FSection, Key, Field);
    else
        Field = ReadBoolValue(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Rect(const char16_t* Key, TRect& Field) {
    if (FWriting)
        WriteRectValue(FIniFile, FSection, Key, Field);
    else
        Field = ReadRectValue(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Point(const char16_t* Key, TPoint& Field) {
    if (FWriting)
        WritePointValue(FIniFile, FSection, Key, Field);
    else
        Field = ReadPointValue(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Text(const char16_t* Key, String& Field, const String& Default) {
    if (FWriting)
        FIniFile.WriteString(FSection, Key, Field);
    else
        Field = FIniFile.ReadString(FSection, Key, Default);
}

void TbsSkinSectionIO::FontStyle(const char16_t* Key, TFontStyles& Field) {
    if (FWriting)
        WriteFontStyleValue(FIniFile, FSection, Key, Field);
    else
        Field = ReadFontStyleValue(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Stretch(const char16_t* Key, TbsStretchType& Field) {
    if (FWriting)
        WriteStretchType(FIniFile, FSection, Key, Field);
    else
        Field = ReadStretchType(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Morph(const char16_t* Key, TbsMorphKind& Field) {
    if (FWriting)
        WriteMorphKind(FIniFile, FSection, Key, Field);
    else
        Field = ReadMorphKind(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Alignment(const char16_t* Key, TAlignment& Field) {
    if (FWriting)
        WriteAlignmentValue(FIniFile, FSection, Key, Field);
    else
        Field = ReadAlignmentValue(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Command(const char16_t* Key, TbsStdCommand& Field) {
    if (FWriting)
        WriteCommand(FIniFile, FSection, Key, Field);
    else
        Field = ReadCommand(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Effect(const char16_t* Key, TbsInActiveEffect& Field) {
    if (FWriting)
        WriteInActiveEffect(FIniFile, FSection, Key, Field);
    else
        Field = ReadInActiveEffect(FIniFile, FSection, Key);
}

void TbsSkinSectionIO::Strings(const char16_t* Key, TStrings& Field) {
    if (FWriting)
        WriteStringsValue(FIniFile, FSection, Key, Field);
    else
        ReadStringsValue(FIniFile, FSection, Key, Field);
}

void TbsSkinSectionIO::Corners(TPoint& LT, TPoint& RT, TPoint& LB, TPoint& RB) {
    Point(u"lefttoppoint", LT);
    Point(u"righttoppoint", RT);
    Point(u"leftbottompoint", LB);
    Point(u"rightbottompoint", RB);
}

void TbsSkinSectionIO::Font(String& Name, TFontStyles& Style, int& Height, TColor& Color) {
    Text(u"fontname", Name, u"Arial");
    FontStyle(u"fontstyle", Style);
    Integer(u"fontheight", Height, 14);
    this->Color(u"fontcolor", Color);
}

void TbsSkinSectionIO::Stretches(bool& Left, bool& Right, bool& Top, bool& Bottom, bool& Effect) {
    Flag(u"leftstretch", Left);
    Flag(u"rightstretch", Right);
    Flag(u"topstretch", Top);
    Flag(u"bottomstretch", Bottom);
    Flag(u"stretcheffect", Effect);
}

void TbsSkinSectionIO::ArrowButtons(TRect& Up, TRect& ActiveUp, TRect& DownUp, TRect& Down, TRect& ActiveDown,
                                    TRect& DownDown) {
    Rect(u"upbuttonrect", Up);
    Rect(u"activeupbuttonrect", ActiveUp);
    Rect(u"downupbuttonrect", DownUp);
    Rect(u"downbuttonrect", Down);
    Rect(u"activedownbuttonrect", ActiveDown);
    Rect(u"downdownbuttonrect", DownDown);
}
