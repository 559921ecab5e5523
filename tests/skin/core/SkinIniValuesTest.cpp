#include <gtest/gtest.h>

#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"
#include "skin/core/SkinIniValues.h"
#include "tests/skin/core/SkinIniFixture.h"

TEST(SkinIniValues, RectanglesAndPointsKeepOnlyDigits) {
    struct Case {
        const char16_t* Text;
        TRect Expected;
    };
    const Case Cases[] = {
        {u"10, 20,30,40", {10, 20, 30, 40}}, {u"-3,4,5,6", {3, 4, 5, 6}},    {u"1,2,3,4,5", {1, 2, 3, 4}},
        {u"1,2,3,4,x,", {1, 2, 3, 4}},       {u" 0x1f,2,3,4", {1, 2, 3, 4}},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ParseRectValue(C.Text), C.Expected) << UTF8Encode(String(C.Text));
    EXPECT_EQ(ParsePointValue(u"-5,3"), Point(5, 3));
    EXPECT_EQ(ParsePointValue(u"7,8,9"), Point(7, 8));

    TMemIniFile Ini(u"");
    EXPECT_EQ(ReadRectValue(Ini, u"S", u"missing"), TRect());
    EXPECT_EQ(ReadPointValue(Ini, u"S", u"missing"), TPoint());
}

TEST(SkinIniValues, AFieldWithoutADigitEndsTheLoad) {
    struct Case {
        const char16_t* Text;
        const char16_t* Message;
    };
    const Case Cases[] = {
        {u"1,2", u"'' is not a valid integer value"},
        {u"1,,3,4", u"'' is not a valid integer value"},
        {u"99999999999,1,2,3", u"'99999999999' is not a valid integer value"},
    };
    for (const Case& C : Cases) {
        try {
            ParseRectValue(C.Text);
            ADD_FAILURE() << "no error for " << UTF8Encode(String(C.Text));
        } catch (const EConvertError& E) {
            EXPECT_EQ(E.Message(), C.Message);
        }
    }
    EXPECT_THROW(ParsePointValue(u"5"), EConvertError);
}

TEST(SkinIniValues, WordsAndFlagsFallBackAsTheFormatSays) {
    TMemIniFile Ini(u"");
    LoadIniText(Ini, {u"[S]",
                      u"f1=1",
                      u"f2=2",
                      u"ftrue=true",
                      u"fhex=0x1",
                      u"st1=sthorz",
                      u"st2=STFULL",
                      u"st3=xyz",
                      u"st4=stvert",
                      u"ie1=ienoise",
                      u"ie2=IENOISE",
                      u"al1=TACENTER",
                      u"al2=taleftjustify",
                      u"mk1=mkpush",
                      u"mk2=mkPush",
                      u"cm1=cmMaximize",
                      u"cm2=cmminimizetotray",
                      u"cm3=cmrollup",
                      u"fs1=fsbold,fsitalic",
                      u"fs2=xfsboldx fsitalic",
                      u"fs3=FSBOLD",
                      u"i1=0x10",
                      u"i2=abc",
                      u"i3=-16777201"});
    EXPECT_TRUE(ReadBoolValue(Ini, u"S", u"f1"));
    EXPECT_TRUE(ReadBoolValue(Ini, u"S", u"fhex"));
    for (const char16_t* Key : {u"f2", u"ftrue", u"missing"})
        EXPECT_FALSE(ReadBoolValue(Ini, u"S", Key)) << UTF8Encode(String(Key));

    const std::pair<const char16_t*, TbsStretchType> Stretch[] = {
        {u"st1", bsstHorz}, {u"st2", bsstHorz}, {u"st3", bsstHorz}, {u"st4", bsstVert}, {u"missing", bsstFull}};
    for (auto [Key, Expected] : Stretch)
        EXPECT_EQ(ReadStretchType(Ini, u"S", Key), Expected) << UTF8Encode(String(Key));

    EXPECT_EQ(ReadInActiveEffect(Ini, u"S", u"ie1"), ieNoise);
    EXPECT_EQ(ReadInActiveEffect(Ini, u"S", u"ie2"), ieGrayScale);
    EXPECT_EQ(ReadInActiveEffect(Ini, u"S", u"missing"), ieBrightness);
    EXPECT_EQ(ReadAlignmentValue(Ini, u"S", u"al1"), taRightJustify);
    EXPECT_EQ(ReadAlignmentValue(Ini, u"S", u"al2"), taLeftJustify);
    EXPECT_EQ(ReadAlignmentValue(Ini, u"S", u"missing"), taCenter);
    EXPECT_EQ(ReadMorphKind(Ini, u"S", u"mk1"), mkPush);
    EXPECT_EQ(ReadMorphKind(Ini, u"S", u"mk2"), mkDefault);
    EXPECT_EQ(ReadCommand(Ini, u"S", u"cm1"), cmMinimizeToTray);
    EXPECT_EQ(ReadCommand(Ini, u"S", u"cm2"), cmMinimizeToTray);
    EXPECT_EQ(ReadCommand(Ini, u"S", u"cm3"), cmRollUp);
    EXPECT_EQ(ReadCommand(Ini, u"S", u"missing"), cmDefault);

    const TFontStyles BoldItalic{fsBold, fsItalic};
    EXPECT_EQ(ReadFontStyleValue(Ini, u"S", u"fs1"), BoldItalic);
    EXPECT_EQ(ReadFontStyleValue(Ini, u"S", u"fs2"), BoldItalic);
    EXPECT_EQ(ReadFontStyleValue(Ini, u"S", u"fs3"), TFontStyles());

    TbsSkinSectionIO IO(Ini, u"S", false);
    int I = 0;
    IO.Integer(u"i1", I, 7);
    EXPECT_EQ(I, 16);
    IO.Integer(u"i2", I, 7);
    EXPECT_EQ(I, 7);
    TColor C = 0;
    IO.Color(u"i3", C);
    EXPECT_EQ(static_cast<std::uint32_t>(C), 0xFF00000Fu);
}

TEST(SkinIniValues, WritersUseTheFormatsWords) {
    TMemIniFile Ini(u"");
    WriteFontStyleValue(Ini, u"S", u"fs", TFontStyles{fsItalic, fsBold});
    WriteFontStyleValue(Ini, u"S", u"none", TFontStyles());
    WriteRectValue(Ini, u"S", u"r", Rect(-1, 2, 3, 4));
    WritePointValue(Ini, u"S", u"p", Point(5, 6));
    WriteBoolValue(Ini, u"S", u"b", true);
    WriteStretchType(Ini, u"S", u"st", bsstHorz);
    WriteAlignmentValue(Ini, u"S", u"al", taRightJustify);
    WriteCommand(Ini, u"S", u"cm", cmMinimizeToTray);
    WriteInActiveEffect(Ini, u"S", u"ie", ieSplitBlur);
    WriteMorphKind(Ini, u"S", u"mk", mkRightSlide);
    TbsSkinSectionIO IO(Ini, u"S", true);
    TColor Face = static_cast<TColor>(0xFF00000F);
    IO.Color(u"c", Face);
    TStringList Names;
    Names.Add(u"a.bmp");
    Names.Add(u"b.bmp");
    WriteStringsValue(Ini, u"S", u"activepictures", Names);
    EXPECT_EQ(SectionLines(Ini, u"S"),
              (std::vector<String>{u"fs=fsbold,fsitalic", u"none=", u"r=-1,2,3,4", u"p=5,6", u"b=1", u"st=sthorz",
                                   u"al=tarightjustify", u"cm=cmminimizetotray", u"ie=iesplitblur", u"mk=mkrightslide",
                                   u"c=-16777201", u"activepicturescount=2", u"0=a.bmp", u"1=b.bmp"}));
    TStringList Back;
    ReadStringsValue(Ini, u"S", u"activepictures", Back);
    ASSERT_EQ(Back.Count(), 2);
    EXPECT_EQ(Back[1], u"b.bmp");
}

TEST(SkinIniValues, RequiredSectionsMustHoldAKey) {
    TMemIniFile Ini(u"");
    LoadIniText(Ini, {u"[VERSION]", u"ver=1", u"[PICTURES]", u"picture=", u"[FORMINFO]", u"borderwidth=1",
                      u"[SKINOBJECTS]", u"count=0", u"[SKINCONTROLS]"});
    EXPECT_FALSE(IsSkinIniValid(Ini));
    Ini.WriteInteger(u"skincontrols", u"count", 0);
    EXPECT_TRUE(IsSkinIniValid(Ini));
}
