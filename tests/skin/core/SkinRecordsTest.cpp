#include <gtest/gtest.h>

#include <memory>

#include "platform/base/IniFiles.h"
#include "platform/base/SysUtils.h"
#include "skin/core/TbsDataSkinControl.h"
#include "skin/core/TbsDataSkinObject.h"
#include "tests/skin/core/SkinIniFixture.h"

namespace {

const char16_t* const ControlKinds[] = {
    u"panel",      u"expanel",   u"menubutton", u"button",       u"checkradio", u"gauge",    u"splitter",
    u"trackbar",   u"label",     u"stdlabel",   u"updown",       u"grid",       u"tab",      u"mainmenubar",
    u"controlbar", u"memo",      u"edit",       u"checklistbox", u"listbox",    u"combobox", u"scrollbar",
    u"spinedit",   u"scrollbox", u"treeview",   u"bevel",        u"slider",     u"listview", u"richedit"};

const char16_t* const ObjectKinds[] = {u"menuitem", u"mainmenubaritem", u"stdbutton", u"mainmenubarbutton",
                                       u"button",   u"caption",         u"animate",   u"userobject"};

String ValueOf(TMemIniFile& Ini, const String& Section, const String& Key) {
    return Ini.ReadString(Section, Key, u"<missing>");
}

// A value of the same encoding as Value but different from every default, chosen by the shape of Value.
String Mutated(const String& Key, const String& Value, int I) {
    if (Key.size() >= 9 && Key.compare(Key.size() - 9, 9, u"fontstyle") == 0)
        return u"fsbold,fsunderline";
    const auto Commas = std::count(Value.begin(), Value.end(), u',');
    const String N = IntToStr(I + 2);
    if (Value.rfind(u"st", 0) == 0)
        return u"stvert";
    if (Value.rfind(u"mk", 0) == 0)
        return u"mkpush";
    if (Value.rfind(u"ta", 0) == 0)
        return u"taleftjustify";
    if (Value.rfind(u"cm", 0) == 0)
        return u"cmrollup";
    if (Value.empty() || Value == u"Arial" || Value.find(u"scrollbar") != String::npos)
        return u"text" + N;
    if (Commas == 3)
        return N + u"," + IntToStr(I + 3) + u"," + IntToStr(I + 40) + u"," + IntToStr(I + 50);
    if (Commas == 1)
        return N + u"," + IntToStr(I + 7);
    // Integers, colours and flags: 1 is a valid value of each and differs from their defaults except where
    // the default is already 1.
    return u"1";
}

} // namespace

TEST(SkinRecords, EveryKindWordMakesItsClassAndWritesItBack) {
    for (const char16_t* Kind : ControlKinds) {
        std::unique_ptr<TbsDataSkinControl> R(CreateSkinControlRecord(Kind, u"x"));
        ASSERT_TRUE(R) << UTF8Encode(String(Kind));
        EXPECT_EQ(SkinControlKindWord(*R), Kind);
    }
    for (const char16_t* Kind : ObjectKinds) {
        std::unique_ptr<TbsDataSkinObject> R(CreateSkinObjectRecord(Kind, u"x"));
        ASSERT_TRUE(R) << UTF8Encode(String(Kind));
        EXPECT_EQ(SkinObjectKindWord(*R), Kind);
    }
    EXPECT_EQ(CreateSkinControlRecord(u"Button", u"x"), nullptr);
    EXPECT_EQ(CreateSkinControlRecord(u"b:c", u"x"), nullptr);
    EXPECT_EQ(CreateSkinObjectRecord(u"", u"x"), nullptr);
    TbsDataSkinMainMenuItem Plain(u"x");
    EXPECT_EQ(SkinObjectKindWord(Plain), u"");
}

// Every field is read from the key it is written to: a section whose every value differs from the defaults
// reads into a record that writes the same section again.
TEST(SkinRecords, EveryKindSurvivesSaveThenLoad) {
    auto Check = [](auto Make, const char16_t* Kind) {
        TMemIniFile Ini(u"");
        auto Defaults = Make(Kind);
        Defaults->SaveToFile(Ini);
        std::vector<String> Lines = SectionLines(Ini, u"x");
        ASSERT_FALSE(Lines.empty());
        Ini.EraseSection(u"x");
        for (std::size_t I = 0; I < Lines.size(); ++I) {
            const auto Eq = Lines[I].find(u'=');
            Lines[I] = Lines[I].substr(0, Eq + 1) +
                       Mutated(Lines[I].substr(0, Eq), Lines[I].substr(Eq + 1), static_cast<int>(I));
            Ini.WriteString(u"x", Lines[I].substr(0, Eq), Lines[I].substr(Eq + 1));
        }
        auto Loaded = Make(Kind);
        Loaded->LoadFromFile(Ini);
        TMemIniFile Out(u"");
        Loaded->SaveToFile(Out);
        std::vector<String> Written = SectionLines(Out, u"x");
        const String K = Kind;
        if (K == u"updown") { // never carries nine-part geometry
            for (String& L : Lines) {
                if (L.rfind(u"clientrect=", 0) == 0)
                    L = u"clientrect=0,0,0,0";
                for (const char16_t* Key :
                     {u"lefttoppoint=", u"righttoppoint=", u"leftbottompoint=", u"rightbottompoint="})
                    if (L.rfind(Key, 0) == 0)
                        L = String(Key) + u"0,0";
            }
        }
        if (K == u"animate") // never morphs
            for (String& L : Lines)
                if (L == u"morphing=1")
                    L = u"morphing=0";
        EXPECT_EQ(Written, Lines) << UTF8Encode(K);
    };
    for (const char16_t* Kind : ControlKinds)
        Check([](const char16_t* K) { return std::unique_ptr<TbsDataSkinControl>(CreateSkinControlRecord(K, u"x")); },
              Kind);
    for (const char16_t* Kind : ObjectKinds)
        Check([](const char16_t* K) { return std::unique_ptr<TbsDataSkinObject>(CreateSkinObjectRecord(K, u"x")); },
              Kind);
}

// What a record reads from an empty section, shown by what it then writes.
TEST(SkinRecords, KeyDefaultsOfEachKind) {
    struct Case {
        const char16_t* Kind;
        const char16_t* Key;
        const char16_t* Value;
    };
    const Case Cases[] = {
        {u"panel", u"pictureindex", u"-1"},
        {u"panel", u"alignment", u"tacenter"},
        {u"panel", u"fontheight", u"14"},
        {u"panel", u"bgpictureindex", u"-1"},
        {u"panel", u"grippertransparentcolor", u"0"},
        {u"button", u"fontname", u"Arial"},
        {u"button", u"fontheight", u"14"},
        {u"button", u"animateinterval", u"25"},
        {u"button", u"glowlayerpictureindex", u"-1"},
        {u"button", u"glowlayeralphablendvalue", u"255"},
        {u"button", u"stretchtype", u"stfull"},
        {u"button", u"morphkind", u"mkdefault"},
        {u"button", u"fontstyle", u""},
        {u"listbox", u"hscrollbarname", u"hscrollbar"},
        {u"listbox", u"vscrollbarname", u"vscrollbar"},
        {u"listbox", u"bothhscrollbarname", u"bothhscrollbar"},
        {u"listbox", u"captionfontheight", u"14"},
        {u"controlbar", u"itemoffset1", u"3"},
        {u"controlbar", u"itemoffset2", u"3"},
        {u"controlbar", u"bgpictureindex", u"-1"},
        {u"stdlabel", u"activefontcolor", u"16711680"},
        {u"treeview", u"bgcolor", u"0"},
        {u"grid", u"fixedfontname", u"Arial"},
        {u"tab", u"buttontransparentcolor", u"0"},
        {u"updown", u"lefttoppoint", u"0,0"},
        {u"menuitem", u"animateinterval", u"25"},
        {u"menuitem", u"activecheckimagerect", u"0,0,0,0"},
        {u"stdbutton", u"command", u"cmdefault"},
        {u"stdbutton", u"activepictureindex", u"-1"},
        {u"animate", u"countframes", u"1"},
        {u"animate", u"timerinterval", u"50"},
        {u"caption", u"glowsize", u"3"},
        {u"caption", u"alignment", u"tacenter"},
        {u"caption", u"reflactioncolor", u"0"},
        {u"stdbutton", u"disableskinrsect", u"0,0,0,0"},
    };
    for (const Case& C : Cases) {
        TMemIniFile Ini(u"");
        TMemIniFile Out(u"");
        if (auto* R = CreateSkinControlRecord(C.Kind, u"x")) {
            std::unique_ptr<TbsDataSkinControl> Hold(R);
            R->LoadFromFile(Ini);
            R->SaveToFile(Out);
        } else {
            std::unique_ptr<TbsDataSkinObject> Obj(CreateSkinObjectRecord(C.Kind, u"x"));
            ASSERT_TRUE(Obj);
            Obj->LoadFromFile(Ini);
            Obj->SaveToFile(Out);
        }
        EXPECT_EQ(ValueOf(Out, u"x", C.Key), C.Value) << UTF8Encode(String(C.Kind)) << " " << UTF8Encode(String(C.Key));
    }
}

TEST(SkinRecords, ConstructorValuesDifferFromKeyDefaults) {
    TbsDataSkinButtonControl Button(u"b");
    EXPECT_EQ(Button.FontHeight, 12);
    EXPECT_EQ(Button.FontName, u"Arial");
    EXPECT_EQ(Button.GlowLayerAlphaBlendValue, 255);
    TbsDataSkinListBox List(u"l");
    EXPECT_EQ(List.FontHeight, 14);
    EXPECT_EQ(List.CaptionFontHeight, 14);
    TbsDataSkinTreeView Tree(u"t");
    EXPECT_EQ(Tree.BGColor, 0x00FFFFFF);
    TbsDataSkinScrollBarControl Scroll(u"s");
    EXPECT_EQ(Scroll.ThumbTransparentColor, 0x00FF00FF);
    TbsDataSkinStdLabelControl Label(u"l");
    EXPECT_EQ(Label.ActiveFontColor, 0x00FF0000);
    TbsDataSkinPanelControl Panel(u"p");
    EXPECT_EQ(Panel.BGPictureIndex, -1);
    EXPECT_EQ(Panel.Alignment, taCenter);
    EXPECT_EQ(Panel.FontHeight, 12);
    TbsDataSkinHintWindow Hint;
    EXPECT_EQ(Hint.FontHeight, 12);
    TbsSkinColors Colors;
    EXPECT_EQ(Colors.FcBtnFace, 0);
}

TEST(SkinRecords, ReadingRulesOfParticularKinds) {
    TMemIniFile Ini(u"");
    LoadIniText(Ini, {u"[ud]",
                      u"lefttoppoint=3,4",
                      u"clientrect=1,2,3,4",
                      u"upbuttonrect=1,1,9,9",
                      u"[max]",
                      u"hint=Maximize",
                      u"command=cmmaximize",
                      u"[maxlow]",
                      u"hint=maximize",
                      u"command=cmmaximize",
                      u"[roll]",
                      u"hint=Roll Up",
                      u"command=cmrollup",
                      u"[own]",
                      u"hint=Maximize",
                      u"command=cmmaximize",
                      u"restorehint=Back",
                      u"[anim]",
                      u"morphing=1",
                      u"hint=Minimize",
                      u"command=cmminimize",
                      u"[menu]",
                      u"checkimagerect=0,0,10,10",
                      u"radioimagerect=1,1,5,5",
                      u"activeradioimagerect=2,2,6,6",
                      u"[user]",
                      u"activepictureindex=3",
                      u"skinrect=1,2,3,4",
                      u"hint=h",
                      u"[memo]",
                      u"fontheight=9",
                      u"activeskinrect=1,2,3,4",
                      u"lefttoppoint=5,6",
                      u"bgcolor=77",
                      u"[mmi]",
                      u"unenabledfontcolor=55"});
    TbsDataSkinUpDownControl UpDown(u"ud");
    UpDown.LoadFromFile(Ini);
    EXPECT_EQ(UpDown.LTPoint, TPoint());
    EXPECT_EQ(UpDown.ClRect, TRect());
    EXPECT_EQ(UpDown.UpButtonRect, Rect(1, 1, 9, 9));
    UpDown.LTPoint = Point(8, 8);
    TMemIniFile Out(u"");
    UpDown.SaveToFile(Out);
    EXPECT_EQ(ValueOf(Out, u"ud", u"lefttoppoint"), u"0,0");

    struct HintCase {
        const char16_t* Section;
        const char16_t* RestoreHint;
    };
    for (HintCase C : {HintCase{u"max", u"Restore"}, HintCase{u"maxlow", u""}, HintCase{u"roll", u"Restore"},
                       HintCase{u"own", u"Back"}}) {
        TbsDataSkinStdButton B(C.Section);
        B.LoadFromFile(Ini);
        EXPECT_EQ(B.RestoreHint, C.RestoreHint) << UTF8Encode(String(C.Section));
    }
    TbsDataSkinMainMenuBarButton BarButton(u"max");
    BarButton.LoadFromFile(Ini);
    EXPECT_EQ(BarButton.RestoreHint, u"Restore");

    TbsDataSkinAnimate Anim(u"anim");
    Anim.LoadFromFile(Ini);
    EXPECT_FALSE(Anim.Morphing);
    EXPECT_EQ(Anim.RestoreHint, u"Restore");

    TbsDataSkinMenuItem Menu(u"menu");
    Menu.LoadFromFile(Ini);
    EXPECT_EQ(Menu.ActiveCheckImageRect, Rect(0, 0, 10, 10));
    EXPECT_EQ(Menu.ActiveRadioImageRect, Rect(2, 2, 6, 6));
    EXPECT_EQ(Menu.ActiveArrowImageRect, TRect());

    TbsDataUserObject User(u"user");
    User.LoadFromFile(Ini);
    EXPECT_EQ(User.ActivePictureIndex, -1);
    EXPECT_EQ(User.Hint, u"");
    EXPECT_EQ(User.SkinRect, Rect(1, 2, 3, 4));
    TMemIniFile UserOut(u"");
    User.SaveToFile(UserOut);
    EXPECT_EQ(SectionLines(UserOut, u"user"), std::vector<String>{u"skinrect=1,2,3,4"});

    TbsDataSkinMemoControl Memo(u"memo");
    Memo.LoadFromFile(Ini);
    EXPECT_EQ(Memo.FontHeight, 9);
    EXPECT_EQ(Memo.ActiveSkinRect, Rect(1, 2, 3, 4));
    EXPECT_EQ(Memo.LTPoint, Point(5, 6));
    EXPECT_EQ(Memo.BGColor, 77);

    TbsDataSkinMainMenuItem MainItem(u"mmi");
    MainItem.LoadFromFile(Ini);
    EXPECT_EQ(MainItem.UnEnabledFontColor, 55);
}

TEST(SkinRecords, ButtonWriterOrder) {
    TbsDataSkinButtonControl B(u"b");
    TMemIniFile Out(u"");
    B.SaveToFile(Out);
    std::vector<String> Keys;
    for (const String& L : SectionLines(Out, u"b"))
        Keys.push_back(L.substr(0, L.find(u'=')));
    auto Pos = [&](const char16_t* K) { return std::find(Keys.begin(), Keys.end(), K) - Keys.begin(); };
    EXPECT_EQ(Pos(u"pictureindex"), 0);
    EXPECT_LT(Pos(u"skinrect"), Pos(u"lefttoppoint"));
    EXPECT_LT(Pos(u"activeskinrect"), Pos(u"downskinrect"));
    EXPECT_LT(Pos(u"downskinrect"), Pos(u"focusedskinrect"));
    EXPECT_LT(Pos(u"focusedskinrect"), Pos(u"disabledskinrect"));
    EXPECT_LT(Pos(u"glowlayeroffsetleft"), Pos(u"glowlayeroffsetright"));
    EXPECT_LT(Pos(u"glowlayeroffsetright"), Pos(u"glowlayeroffsettop"));
    EXPECT_EQ(static_cast<std::size_t>(Pos(u"glowlayeralphablendvalue")), Keys.size() - 1);
}

TEST(SkinRecords, SavingErasesTheOldSection) {
    TMemIniFile Ini(u"");
    LoadIniText(Ini, {u"[b]", u"stale=1", u"[keep]", u"a=1"});
    TbsDataSkinBevel Bevel(u"b");
    Bevel.SaveToFile(Ini);
    EXPECT_EQ(ValueOf(Ini, u"b", u"stale"), u"<missing>");
    EXPECT_EQ(ValueOf(Ini, u"keep", u"a"), u"1");
}

TEST(SkinRecords, SkinColorsDefaultToSystemColours) {
    TMemIniFile Ini(u"");
    TbsSkinColors Colors;
    Colors.LoadFromFile(Ini);
    EXPECT_EQ(static_cast<std::uint32_t>(Colors.FcBtnFace), 0xFF00000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(Colors.FcBtnShadow), 0xFF000010u);
    TMemIniFile Out(u"");
    Colors.SaveToFile(Out);
    EXPECT_EQ(SectionLines(Out, u"SKINCOLORS"),
              (std::vector<String>{u"cbtnface=-16777201", u"cbtntext=-16777198", u"cwindow=-16777211",
                                   u"cwindowtext=-16777208", u"chighlight=-16777203", u"chighlighttext=-16777202",
                                   u"cbtnhighlight=-16777196", u"cbtnshadow=-16777200"}));
}
