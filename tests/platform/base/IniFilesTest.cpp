#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

#include "platform/base/IniFiles.h"
#include "tests/support/TempDir.h"

namespace {

std::string ReadBytes(const String& name) {
    std::ifstream f(UTF8Encode(name), std::ios::binary);
    std::stringstream s;
    s << f.rdbuf();
    return s.str();
}

void WriteBytes(const String& name, const std::string& bytes) {
    std::ofstream(UTF8Encode(name), std::ios::binary) << bytes;
}

TEST(TIniFile, RoundTripAndDefaultsForMissingKeys) {
    TTempDir tmp;
    const String name = tmp / u"option.ini";
    {
        TIniFile ini(name);
        EXPECT_EQ(ini.ReadString(u"Options", u"Thread_Count", u"none"), u"none"); // no file yet
        ini.WriteString(u"Options", u"Thread_Count", u"0");
        ini.WriteInteger(u"Options", u"Thread_Priority", 3);
        ini.WriteBool(u"Options", u"Show_Preview", false);
        ini.WriteString(u"OutPath", u"OutPath", u"/home/用户/视频");
        ini.WriteString(u"options", u"thread_count", u"2"); // same key, other letter case
    }
    EXPECT_EQ(ReadBytes(name), "[Options]\r\nThread_Count=2\r\nThread_Priority=3\r\nShow_Preview=0\r\n\r\n"
                               "[OutPath]\r\nOutPath=/home/\xE7\x94\xA8\xE6\x88\xB7/\xE8\xA7\x86\xE9\xA2\x91\r\n\r\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadInteger(u"OPTIONS", u"thread_count", -1), 2);
    EXPECT_EQ(ini.ReadInteger(u"Options", u"Missing", -1), -1);
    EXPECT_EQ(ini.ReadBool(u"Options", u"Show_Preview", true), false);
    EXPECT_EQ(ini.ReadBool(u"Options", u"Missing", true), true);
    EXPECT_EQ(ini.ReadString(u"OutPath", u"OutPath", u""), u"/home/用户/视频");
    EXPECT_TRUE(ini.SectionExists(u"outpath"));
    EXPECT_FALSE(ini.SectionExists(u"Skin"));
    EXPECT_TRUE(ini.ValueExists(u"Options", u"THREAD_PRIORITY"));
    EXPECT_FALSE(ini.ValueExists(u"Options", u"After_Done"));
}

TEST(TIniFile, EveryReadSeesTheFileAsItIsNow) {
    TTempDir tmp;
    const String name = tmp / u"option.ini";
    TIniFile reader(name);
    TIniFile writer(name);
    writer.WriteString(u"Skin", u"SetSkin", u"a.skn");
    EXPECT_EQ(reader.ReadString(u"Skin", u"SetSkin", u""), u"a.skn");
    WriteBytes(name, "[Skin]\nSetSkin=b.skn\n");
    EXPECT_EQ(reader.ReadString(u"Skin", u"SetSkin", u""), u"b.skn");
}

TEST(TIniFile, ParsesBlanksCommentsQuotesAndOddBytes) {
    TTempDir tmp;
    const String name = tmp / u"odd.ini";
    WriteBytes(name, "\xEF\xBB\xBF; written by hand\r\n"
                     "[ A ]\r\n"
                     "  key one  =  value with blanks  \r\n"
                     "; a comment=not a key\r\n"
                     "quoted=\"  padded  \"\r\n"
                     "latin=caf\xE9\r\n"
                     "n=0x1F\r\n"
                     "bad=12a\r\n"
                     "loose line\r\n"
                     "[B]\r\n"
                     "x=1\r\n"
                     "[a]\r\n"
                     "late=2\r\n");
    TIniFile ini(name);
    EXPECT_EQ(ini.ReadString(u"a", u"KEY ONE", u""), u"value with blanks");
    EXPECT_EQ(ini.ReadString(u"A", u"quoted", u""), u"  padded  ");
    EXPECT_EQ(ini.ReadString(u"A", u"latin", u""), u"caf\u00E9");
    EXPECT_EQ(ini.ReadInteger(u"A", u"n", 0), 31);
    EXPECT_EQ(ini.ReadInteger(u"A", u"bad", 7), 7);
    EXPECT_EQ(ini.ReadString(u"A", u"; a comment", u"none"), u"none");
    EXPECT_EQ(ini.ReadString(u"A", u"late", u""), u"2"); // a repeated section continues the first
    TStringList sections, keys;
    ini.ReadSections(&sections);
    EXPECT_EQ(sections.ToVector(), (std::vector<String>{u"A", u"B"}));
    ini.ReadSection(u"A", &keys);
    EXPECT_EQ(keys.ToVector(), (std::vector<String>{u"key one", u"quoted", u"latin", u"n", u"bad", u"late"}));

    // Writing keeps the comments and the loose line.
    ini.DeleteKey(u"A", u"bad");
    ini.EraseSection(u"B");
    const std::string text = ReadBytes(name);
    EXPECT_NE(text.find("; written by hand\r\n"), std::string::npos);
    EXPECT_NE(text.find("; a comment=not a key\r\n"), std::string::npos);
    EXPECT_NE(text.find("loose line\r\n"), std::string::npos);
    EXPECT_EQ(text.find("bad="), std::string::npos);
    EXPECT_EQ(text.find("[B]"), std::string::npos);
}

TEST(TIniFile, AFailedWriteRaisesAndLeavesNothingBehind) {
    TTempDir tmp;
    TIniFile ini(tmp / u"missing/folder/option.ini");
    try {
        ini.WriteString(u"S", u"K", u"V");
        FAIL();
    } catch (const EIniFileException& e) {
        EXPECT_EQ(e.Message(), u"Unable to write to " + tmp / u"missing/folder/option.ini");
    }
}

TEST(TMemIniFile, ChangesReachTheFileOnUpdateFile) {
    TTempDir tmp;
    const String name = tmp / u"skin.ini";
    WriteBytes(name, "[VERSION]\r\nname=Old\r\n\r\n[OTHER]\r\nkeep=1\r\n");
    TMemIniFile ini(name);
    ini.WriteString(u"VERSION", u"name", u"New");
    ini.WriteInteger(u"PICTURES", u"count", 2);
    EXPECT_EQ(TIniFile(name).ReadString(u"VERSION", u"name", u""), u"Old");
    ini.UpdateFile();
    EXPECT_EQ(ReadBytes(name), "[VERSION]\r\nname=New\r\n\r\n[OTHER]\r\nkeep=1\r\n\r\n[PICTURES]\r\ncount=2\r\n\r\n");
    TStringList values;
    ini.ReadSectionValues(u"VERSION", &values);
    EXPECT_EQ(values.ToVector(), (std::vector<String>{u"name=New"}));
}

TEST(TMemIniFile, ReadsFromStringsWithoutAFile) {
    TStringList text;
    text.SetText(u"[FORMINFO]\nbuttonsrect=1,2,3,4\n[SKINCONTROLS]\ncount=1\n0=button:stdbutton\n[EMPTY]\n");
    TMemIniFile ini(&text);
    EXPECT_EQ(ini.ReadString(u"forminfo", u"ButtonsRect", u""), u"1,2,3,4");
    EXPECT_EQ(ini.ReadString(u"SKINCONTROLS", u"0", u""), u"button:stdbutton");
    EXPECT_FALSE(ini.SectionExists(u"EMPTY")); // a section without keys does not count
    EXPECT_EQ(ini.ReadFloat(u"FORMINFO", u"missing", 1.5), 1.5);
    ini.UpdateFile(); // no file: nothing happens
    TStringList back;
    ini.GetStrings(&back);
    EXPECT_EQ(back[0], u"[FORMINFO]");
    ini.Clear();
    EXPECT_EQ(ini.ReadString(u"FORMINFO", u"buttonsrect", u"gone"), u"gone");
}

} // namespace
