#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "skin/core/TbsSkinData.h"
#include "skin/core/bszlibcompress.h"
#include "tests/skin/core/SkinDataFixture.h"

using namespace skintest;

namespace {

std::string ReadBytes(const String& FileName) {
    std::ifstream F(UTF8Encode(FileName), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(F), {});
}

void WriteBytes(const String& FileName, const std::string& Bytes) {
    std::ofstream F(UTF8Encode(FileName), std::ios::binary | std::ios::trunc);
    F.write(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
}

std::int32_t Int32At(const std::string& Bytes, std::size_t At) {
    std::int32_t V;
    std::memcpy(&V, Bytes.data() + At, 4);
    return V;
}

void SetInt32At(std::string& Bytes, std::size_t At, std::int32_t V) {
    std::memcpy(Bytes.data() + At, &V, 4);
}

std::string Inflate(const std::string& Packed) {
    TMemoryStream Src, Dst;
    Src.WriteBuffer(Packed.data(), static_cast<std::int64_t>(Packed.size()));
    DecompressStream(&Dst, &Src);
    return std::string(static_cast<const char*>(Dst.Memory()), static_cast<std::size_t>(Dst.Size()));
}

std::string Deflate(const std::string& Payload) {
    TMemoryStream Src, Dst;
    Src.WriteBuffer(Payload.data(), static_cast<std::int64_t>(Payload.size()));
    CompressStream(&Src, &Dst);
    return std::string(static_cast<const char*>(Dst.Memory()), static_cast<std::size_t>(Dst.Size()));
}

// An archive around a payload: header 3, the size, the compressed bytes.
std::string Archive(const std::string& Payload, std::int32_t Header = 3) {
    const std::string Packed = Deflate(Payload);
    std::string A(8, '\0');
    SetInt32At(A, 0, Header);
    SetInt32At(A, 4, static_cast<std::int32_t>(Packed.size()));
    return A + Packed;
}

// Loads an archive held in memory the way LoadFromCompressedFile does.
void LoadArchiveBytes(TbsSkinData& Data, const std::string& Bytes) {
    TMemoryStream S;
    S.WriteBuffer(Bytes.data(), static_cast<std::int64_t>(Bytes.size()));
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.LoadFromCompressStream(&S);
    if (!Stored.Empty())
        Data.LoadCompressedStoredSkin(&Stored);
}

template <class T> T* Control(TbsSkinData& D, const String& Name) {
    const int I = D.GetControlIndex(Name);
    return I < 0 ? nullptr : dynamic_cast<T*>(D.CtrlList[static_cast<std::size_t>(I)].get());
}

template <class T> T* Object(TbsSkinData& D, const String& Name) {
    const int I = D.GetIndex(Name);
    return I < 0 ? nullptr : dynamic_cast<T*>(D.ObjectList[static_cast<std::size_t>(I)].get());
}

// A skin data that holds the test skin, with the archive made from it.
struct TLoadedSkin {
    TTempDir Dir;
    String Ini = MakeTestSkin(Dir);
    TbsSkinData Data{nullptr};
    std::string ArchiveBytes;
    TLoadedSkin() {
        Data.LoadFromFile(Ini);
        Data.SaveToCompressedFile(Dir.File("skin.skn"));
        ArchiveBytes = ReadBytes(Dir.File("skin.skn"));
    }
};

} // namespace

TEST(TbsSkinData, BroadcastOrder) {
    TLoggingService Service;
    TLoggingForm A(nullptr), B(nullptr), C(nullptr);
    TbsFormLayerWindow Layer(nullptr);
    Service.FForms = {&A, &Layer, &B, &C};
    std::unique_ptr<TbsSkinData> Data(new TbsSkinData(&B));

    Data->ClearSkin();
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&A, 1225},
                                                   {&B, 1225},
                                                   {&C, 1225},
                                                   {&A, 1226},
                                                   {&B, 1226},
                                                   {&C, 1226},
                                                   {&A, 1227},
                                                   {&B, 1227},
                                                   {&C, 1227}}));
    EXPECT_EQ(Service.LastWParam, reinterpret_cast<std::uintptr_t>(Data.get()));
    Service.Log.clear();
    Data->LayerFrame->PictureIndex = 2;
    Data->SendSkinDataMessage(1226);
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&C, 1226}, {&B, 1226}, {&A, 1226}}));
    Service.Log.clear();
    Data->SetShowLayeredBorders(false); // the owner form first, once, whatever the layered frame
    EXPECT_EQ(Service.Log, (std::vector<TLogEntry>{{&B, 1427}, {&A, 1427}, {&C, 1427}}));
    Service.Log.clear();
    Data->SetShowLayeredBorders(false);
    Data->SetSkinnableForm(true);
    EXPECT_TRUE(Service.Log.empty());
    Data->SetSkinnableForm(false);
    EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1294, 1294, 1294}));
    Service.Log.clear();
    Data->SetResourceStrData(nullptr); // also for the same value
    Data->SetResourceStrData(nullptr);
    EXPECT_EQ(Service.Messages(), (std::vector<unsigned>(6, 1274)));
}

TEST(TbsSkinData, LookupsAndClearing) {
    TbsSkinData Data(nullptr);
    EXPECT_EQ(static_cast<std::uint32_t>(Data.FSkinColors->FcBtnFace), 0u); // until the first clear or load
    Data.CtrlList.emplace_back(new TbsDataSkinButtonControl(u"button"));
    Data.CtrlList.emplace_back(new TbsDataSkinButtonControl(u"button"));
    EXPECT_EQ(Data.GetControlIndex(u"Button"), -1);
    EXPECT_EQ(Data.GetControlIndex(u"button"), 0);
    EXPECT_EQ(Data.GetIndex(u"button"), -1);
    Data.FPictureName = u"form.bmp";
    Data.LayerFrame->PictureIndex = 1;
    Data.ClearSkin();
    EXPECT_TRUE(Data.CtrlList.empty());
    EXPECT_TRUE(Data.FPictureName.empty());
    EXPECT_EQ(static_cast<std::uint32_t>(Data.SkinColors()->FcBtnFace), 0xFF00000Fu);
    EXPECT_EQ(static_cast<std::uint32_t>(Data.SkinColors()->FcBtnShadow), 0xFF000010u);
    EXPECT_EQ(Data.LayerFrame->PictureIndex, -1);
    String Name, Kind;
    TbsSkinData::SplitObjectEntry(u"a:b:c", Name, Kind);
    EXPECT_EQ(Name, u"a");
    EXPECT_EQ(Kind, u"b:c");
    TbsSkinData::SplitObjectEntry(u"plain", Name, Kind);
    EXPECT_TRUE(Name.empty() && Kind.empty());
}

// 1225 goes out over the old skin (no layered frame: list order), 1226 and 1227 over the new one, whose layered
// frame picture reverses the order; receivers see the states in between.
TEST(TbsSkinData, AnIniLoadSendsItsMessagesAroundTheChange) {
    TLoggingService Service;
    TLoggingForm A(nullptr), B(nullptr);
    Service.FForms = {&A, &B};
    TTempDir Dir;
    const String Ini = MakeTestSkin(Dir);
    TbsSkinData Data(nullptr);
    std::vector<std::string> States;
    Service.OnSend = [&](unsigned Msg) {
        States.push_back(std::to_string(Msg) + (Data.Empty ? " empty" : " loaded") +
                         (Data.ChangeSkinDataProcess ? " changing " : " done ") +
                         std::to_string(Data.GetControlIndex(u"button")));
    };
    Data.LoadFromFile(Ini);
    EXPECT_EQ(Service.Log,
              (std::vector<TLogEntry>{{&A, 1225}, {&B, 1225}, {&B, 1226}, {&A, 1226}, {&B, 1227}, {&A, 1227}}));
    EXPECT_EQ(States,
              (std::vector<std::string>{"1225 empty changing -1", "1225 empty changing -1", "1226 loaded changing 3",
                                        "1226 loaded changing 3", "1227 loaded done 3", "1227 loaded done 3"}));

    // A second load tells the forms again; a description without SKINCONTROLS tells them nothing.
    Service.Log.clear();
    Data.LoadFromFile(Ini);
    EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1225, 1226, 1226, 1227, 1227}));
    const std::string Before = Fingerprint(Data);
    Service.Log.clear();
    TMemIniFile Edit(Ini);
    Edit.EraseSection(u"SKINCONTROLS");
    Edit.UpdateFile();
    Data.LoadFromFile(Ini);
    Data.LoadFromFile(Dir.File("missing.ini"));
    EXPECT_TRUE(Service.Log.empty());
    EXPECT_EQ(Fingerprint(Data), Before);
}

TEST(TbsSkinData, TheTestSkinGivesEveryRecordKind) {
    TTempDir Dir;
    TbsSkinData D(nullptr);
    D.LoadFromFile(MakeTestSkin(Dir));
    ASSERT_FALSE(D.Empty);

    // Entries with an unknown kind ("Button", "Edit", "b:c"), without a colon, or past the entries present make
    // no record; names need not be unique and the first one wins.
    EXPECT_EQ(D.ObjectList.size(), 8u);
    EXPECT_EQ(D.CtrlList.size(), 29u);
    const std::pair<const char16_t*, const char16_t*> Objects[] = {
        {u"menuitem", u"menuitem"},   {u"mainmenubaritem", u"mainmenubaritem"},
        {u"maxbutton", u"stdbutton"}, {u"mdiclose", u"mainmenubarbutton"},
        {u"rollup", u"button"},       {u"caption", u"caption"},
        {u"logo", u"animate"},        {u"user", u"userobject"}};
    for (auto [Name, Kind] : Objects) {
        const int I = D.GetIndex(Name);
        ASSERT_GE(I, 0) << UTF8Encode(String(Name));
        EXPECT_EQ(SkinObjectKindWord(*D.ObjectList[static_cast<std::size_t>(I)]), Kind);
    }
    const std::pair<const char16_t*, const char16_t*> Controls[] = {{u"panel", u"panel"},
                                                                    {u"expanel", u"expanel"},
                                                                    {u"menubutton", u"menubutton"},
                                                                    {u"button", u"button"},
                                                                    {u"checkradio", u"checkradio"},
                                                                    {u"gauge", u"gauge"},
                                                                    {u"splitter", u"splitter"},
                                                                    {u"trackbar", u"trackbar"},
                                                                    {u"label", u"label"},
                                                                    {u"stdlabel", u"stdlabel"},
                                                                    {u"hupdown", u"updown"},
                                                                    {u"grid", u"grid"},
                                                                    {u"tab", u"tab"},
                                                                    {u"mainmenubar", u"mainmenubar"},
                                                                    {u"controlbar", u"controlbar"},
                                                                    {u"memo", u"memo"},
                                                                    {u"edit", u"edit"},
                                                                    {u"checklistbox", u"checklistbox"},
                                                                    {u"listbox", u"listbox"},
                                                                    {u"combobox", u"combobox"},
                                                                    {u"hscrollbar", u"scrollbar"},
                                                                    {u"spinedit", u"spinedit"},
                                                                    {u"scrollbox", u"scrollbox"},
                                                                    {u"treeview", u"treeview"},
                                                                    {u"bevel", u"bevel"},
                                                                    {u"slider", u"slider"},
                                                                    {u"listview", u"listview"},
                                                                    {u"richedit", u"richedit"}};
    for (auto [Name, Kind] : Controls) {
        const int I = D.GetControlIndex(Name);
        ASSERT_GE(I, 0) << UTF8Encode(String(Name));
        EXPECT_EQ(SkinControlKindWord(*D.CtrlList[static_cast<std::size_t>(I)]), Kind);
    }
    EXPECT_EQ(D.GetControlIndex(u"button"), 3);
    EXPECT_EQ(D.GetControlIndex(u"Edit"), -1);
    EXPECT_EQ(D.GetIndex(u"skipped"), -1);
    EXPECT_EQ(D.GetIndex(u"a"), -1);

    // The pictures, from the description's folder; no mask.
    EXPECT_EQ(D.FPicture->Width(), 40);
    EXPECT_EQ(D.FInActivePicture->Height(), 30);
    EXPECT_TRUE(D.FMask->Empty());
    ASSERT_EQ(D.FActivePictures.size(), 2u);
    ASSERT_EQ(D.FActivePicturesNames->Count(), 2);
    EXPECT_EQ(D.FActivePicturesNames->Strings(1), u"layer.bmp");
    EXPECT_EQ(D.FActivePictures[0]->Width(), 32);
    EXPECT_EQ(D.FActivePictures[0]->Canvas()->Pixels(0, 0), TColor(0x00FFFF));
    EXPECT_EQ(D.FActivePictures[0]->Canvas()->Pixels(31, 15), TColor(0x00FF00));
    EXPECT_EQ(D.FActivePictures[0]->Canvas()->Pixels(31, 0), TColor(0x0000FF));

    // Form geometry, form-level records and colours.
    EXPECT_EQ(D.SkinName, u"All kinds");
    EXPECT_EQ(D.AuthorURL, u"https://quorvane.invalid/skins");
    EXPECT_EQ(D.RBPoint, Point(36, 26));
    EXPECT_EQ(D.FormMinWidth, 32);
    EXPECT_TRUE(D.LeftStretch);
    EXPECT_FALSE(D.BottomStretch);
    EXPECT_EQ(D.StretchType, bsstVert);
    EXPECT_EQ(D.MDIBGStretchType, bsstHorz);
    EXPECT_EQ(D.InActiveEffect, ieDarkness);
    EXPECT_TRUE(D.MainMenuPopupUp);
    EXPECT_EQ(D.ButtonsRect, Rect(24, 2, 38, 12));
    EXPECT_EQ(D.PopupWindow->ScrollMarkerActiveColor, TColor(16711680));
    EXPECT_EQ(D.PopupWindow->StretchType, bsstHorz);
    EXPECT_EQ(D.LayerFrame->PictureIndex, 1);
    EXPECT_EQ(D.LayerFrame->InActiveAlphaBlendValue, 120);
    EXPECT_TRUE(D.LayerFrame->HitTestEnable);
    EXPECT_EQ(D.HintWindow->FontName, u"Tahoma");
    EXPECT_EQ(D.HintWindow->FontStyle, TFontStyles{fsItalic});
    EXPECT_EQ(static_cast<std::uint32_t>(D.HintWindow->FontColor), 0xFF000017u);
    EXPECT_EQ(D.FSkinColors->FcBtnFace, TColor(12632256));
    EXPECT_EQ(static_cast<std::uint32_t>(D.FSkinColors->FcBtnHighLight), 0xFF000014u);

    // What the record classes make of their sections.
    EXPECT_EQ(Object<TbsDataSkinStdButton>(D, u"maxbutton")->RestoreHint, u"Restore");
    EXPECT_EQ(Object<TbsDataSkinStdButton>(D, u"maxbutton")->DisableSkinRect, Rect(12, 8, 18, 14));
    EXPECT_EQ(Object<TbsDataSkinStdButton>(D, u"mdiclose")->Command, cmClose);
    EXPECT_FALSE(Object<TbsDataSkinAnimate>(D, u"logo")->Morphing);
    EXPECT_EQ(Object<TbsDataSkinAnimate>(D, u"logo")->RestoreHint, u"Restore");
    EXPECT_EQ(Object<TbsDataSkinAnimate>(D, u"logo")->CountFrames, 4);
    EXPECT_EQ(Object<TbsDataUserObject>(D, u"user")->ActivePictureIndex, -1);
    EXPECT_TRUE(Object<TbsDataUserObject>(D, u"user")->Hint.empty());
    EXPECT_EQ(Object<TbsDataUserObject>(D, u"user")->SkinRect, Rect(1, 2, 3, 4));
    auto* Item = Object<TbsDataSkinMenuItem>(D, u"menuitem");
    EXPECT_EQ(Item->ActiveCheckImageRect, Rect(0, 10, 4, 14));
    EXPECT_EQ(Item->ActiveRadioImageRect, Rect(8, 10, 12, 14));
    EXPECT_EQ(Item->ActiveArrowImageRect, Rect(12, 10, 16, 14));
    EXPECT_EQ(Item->UnEnabledFontColor, TColor(8421504));
    EXPECT_EQ(Object<TbsDataSkinMainMenuBarItem>(D, u"mainmenubaritem")->AnimateInterval, 40);
    EXPECT_EQ(Object<TbsDataSkinCaption>(D, u"caption")->ReflectionActiveColor, TColor(65280));
    EXPECT_EQ(Object<TbsDataSkinCaption>(D, u"caption")->Alignment, taLeftJustify);

    auto* Button = Control<TbsDataSkinButtonControl>(D, u"button");
    EXPECT_EQ(Button->FontHeight, 14);
    EXPECT_EQ(Button->FontColor, TColor(0xFF));
    EXPECT_EQ(Button->MorphKind, mkLeftSlide);
    EXPECT_EQ(Button->GlowLayerOffsetTop, 3);
    EXPECT_EQ(Button->AnimateInterval, 25);
    EXPECT_EQ(Control<TbsDataSkinUpDownControl>(D, u"hupdown")->LTPoint, TPoint());
    EXPECT_EQ(Control<TbsDataSkinUpDownControl>(D, u"hupdown")->ClRect, TRect());
    EXPECT_EQ(Control<TbsDataSkinUpDownControl>(D, u"hupdown")->DownButtonRect, Rect(8, 0, 16, 8));
    EXPECT_EQ(Control<TbsDataSkinListBox>(D, u"listbox")->BothScrollBarName, u"bothhscrollbar");
    EXPECT_EQ(Control<TbsDataSkinListBox>(D, u"listbox")->VScrollBarName, u"vscroll");
    EXPECT_EQ(Control<TbsDataSkinPanelControl>(D, u"panel")->Alignment, taRightJustify);
    EXPECT_EQ(Control<TbsDataSkinLabelControl>(D, u"label")->FontStyle, (TFontStyles{fsBold, fsItalic}));
    EXPECT_EQ(Control<TbsDataSkinStdLabelControl>(D, u"stdlabel")->ActiveFontColor, TColor(16711680));
    EXPECT_EQ(Control<TbsDataSkinMemoControl>(D, u"memo")->ActiveSkinRect, Rect(16, 0, 32, 16));
    EXPECT_EQ(Control<TbsDataSkinMemoControl>(D, u"memo")->LTPoint, Point(2, 2));
    EXPECT_EQ(Control<TbsDataSkinMemoControl>(D, u"memo")->ActiveBGColor, TColor(15790320));
    EXPECT_EQ(Control<TbsDataSkinControlBar>(D, u"controlbar")->ItemOffset2, 3);
    EXPECT_EQ(Control<TbsDataSkinGaugeControl>(D, u"gauge")->ProgressTransparentColor, TColor(0));
    EXPECT_EQ(Control<TbsDataSkinTreeView>(D, u"treeview")->BGColor, TColor(15790320));
    EXPECT_EQ(Control<TbsDataSkinTabControl>(D, u"tab")->UpDown, u"hupdown");
    EXPECT_EQ(Control<TbsDataSkinMainMenuBar>(D, u"mainmenubar")->CloseButton, u"mdiclose");
}

// Save then load gives the same skin: the description through SaveToFile, the pictures through StoreToDisk.
TEST(TbsSkinData, StoredToDiskAndLoadedBackTheSkinIsTheSame) {
    TLoadedSkin Skin;
    TTempDir Out;
    // Sections the writer does not erase stay in a file that already exists.
    WriteBytes(Out.File("skin.ini"), "[kept]\r\nkey=1\r\n");
    Skin.Data.StoreToDisk(Out.File("skin.ini"));
    for (const char* Name : {"form.bmp", "forminactive.bmp", "controls.bmp", "layer.bmp"})
        EXPECT_TRUE(std::filesystem::exists(Out.Folder() / Name)) << Name;
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(Out.Folder()), {}), 5);
    TMemIniFile Written(Out.File("skin.ini"));
    EXPECT_EQ(Written.ReadString(u"kept", u"key", u""), u"1");
    EXPECT_EQ(Written.ReadString(u"VERSION", u"ver", u""), u"1");

    TbsSkinData Back(nullptr);
    Back.LoadFromFile(Out.File("skin.ini"));
    EXPECT_EQ(Fingerprint(Back), Fingerprint(Skin.Data));
}

TEST(TbsSkinData, ArchiveHeadersOneToThreeLoadAndFourChangesNothing) {
    TLoadedSkin Skin;
    const std::string& Bytes = Skin.ArchiveBytes;
    ASSERT_GT(Bytes.size(), 10u);
    EXPECT_EQ(Int32At(Bytes, 0), 3);
    EXPECT_EQ(Int32At(Bytes, 4), static_cast<std::int32_t>(Bytes.size() - 8));
    EXPECT_EQ(static_cast<unsigned char>(Bytes[8]), 0x78);
    EXPECT_EQ(static_cast<unsigned char>(Bytes[9]), 0xDA);
    // The payload: version 3, the form picture, the inactive picture, and flag 1 alone for the missing mask.
    const std::string Payload = Inflate(Bytes.substr(8));
    EXPECT_EQ(Int32At(Payload, 0), 3);
    ASSERT_EQ(Payload[4], 0);
    const std::size_t Inactive = 5 + static_cast<std::size_t>(Int32At(Payload, 7));
    ASSERT_EQ(Payload[Inactive], 0);
    const std::size_t MaskFlag = Inactive + 1 + static_cast<std::size_t>(Int32At(Payload, Inactive + 3));
    EXPECT_EQ(Payload[MaskFlag], 1);
    EXPECT_EQ(Int32At(Payload, MaskFlag + 1), 2);

    TLoggingService Service;
    TLoggingForm Form(nullptr);
    Service.FForms = {&Form};
    for (std::int32_t Header : {1, 2, 3}) {
        std::string Variant = Bytes;
        SetInt32At(Variant, 0, Header);
        WriteBytes(Skin.Dir.File("variant.skn"), Variant);
        TbsSkinData Data(nullptr);
        Service.Log.clear();
        Data.LoadFromCompressedFile(Skin.Dir.File("variant.skn"));
        EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1226, 1227})) << Header;
        EXPECT_EQ(Fingerprint(Data), Fingerprint(Skin.Data)) << Header;
    }
    std::string Four = Bytes;
    SetInt32At(Four, 0, 4);
    WriteBytes(Skin.Dir.File("four.skn"), Four);
    const std::string Before = Fingerprint(Skin.Data);
    Service.Log.clear();
    Skin.Data.LoadFromCompressedFile(Skin.Dir.File("four.skn"));
    EXPECT_TRUE(Service.Log.empty());
    EXPECT_EQ(Fingerprint(Skin.Data), Before);
}

// Built from the ini folder, the blob carries the description's own lines, comments included, and loads into the
// same skin as the folder.
TEST(TbsSkinData, AStoredSkinBuiltFromTheIniFolderLoadsLikeTheFolder) {
    TLoadedSkin Skin;
    TbsCompressedStoredSkin Stored(nullptr);
    Stored.LoadFromIniFile(Skin.Ini);
    ASSERT_FALSE(Stored.Empty());
    TbsSkinPayload Payload;
    ASSERT_TRUE(ReadSkinPayload(Stored, Payload));
    EXPECT_EQ(Payload.Description[0], u"; A small skin that names every record kind of the description format, for "
                                      u"the skin data tests.");
    EXPECT_FALSE(Payload.Mask);
    TbsSkinData Data(nullptr);
    Data.SetCompressedStoredSkin(&Stored); // loads at once
    EXPECT_EQ(Fingerprint(Data), Fingerprint(Skin.Data));

    // A folder without a required section, or with a picture missing, leaves the blob as it was.
    const std::int64_t Size = Stored.CompressedStream()->Size();
    std::filesystem::remove(Skin.Dir.Folder() / "layer.bmp");
    EXPECT_THROW(Stored.LoadFromIniFile(Skin.Ini), Exception);
    SetKey(Skin.Ini, u"PICTURES", u"activepicturescount", u"1");
    TMemIniFile Edit(Skin.Ini);
    Edit.EraseSection(u"FORMINFO");
    Edit.UpdateFile();
    Stored.LoadFromIniFile(Skin.Ini);
    EXPECT_EQ(Stored.CompressedStream()->Size(), Size);
}

// A description in UTF-16 with its byte-order mark reads as well as the 8-bit one.
TEST(TbsSkinData, APayloadDescriptionMayBeUtf16) {
    TLoadedSkin Skin;
    std::string Payload = Inflate(Skin.ArchiveBytes.substr(8));
    const std::size_t Text = Payload.find("[VERSION]");
    ASSERT_NE(Text, std::string::npos);
    std::string Wide = "\xFF\xFE";
    for (char C : Payload.substr(Text)) {
        Wide += C;
        Wide += '\0';
    }
    TbsSkinData Data(nullptr);
    LoadArchiveBytes(Data, Archive(Payload.substr(0, Text) + Wide));
    EXPECT_EQ(Fingerprint(Data), Fingerprint(Skin.Data));
}

// Anything wrong in an archive is found before 1225: the error goes to the caller, no form hears a thing and the
// skin in place stays as it was. A payload version above 3 is refused the same way, without an error.
TEST(TbsSkinData, ACorruptArchiveChangesNothing) {
    TLoadedSkin Skin;
    const std::string Payload = Inflate(Skin.ArchiveBytes.substr(8));
    // The payload's layout: version, the form picture's flag and BMP (its size at 2 bytes in), the inactive
    // picture's, the mask's flag, the count.
    const std::size_t Inactive = 5 + static_cast<std::size_t>(Int32At(Payload, 7));
    const std::size_t Count = Inactive + 2 + static_cast<std::size_t>(Int32At(Payload, Inactive + 3));
    const auto Patched = [&](std::size_t At, std::int32_t V) {
        std::string P = Payload;
        SetInt32At(P, At, V);
        return Archive(P);
    };
    const auto Replaced = [&](const std::string& From, const std::string& To) {
        std::string P = Payload;
        P.replace(P.find(From), From.size(), To);
        return Archive(P);
    };
    std::string ZeroSize = Skin.ArchiveBytes;
    SetInt32At(ZeroSize, 4, 0);
    std::string Garbage = Skin.ArchiveBytes;
    for (std::size_t I = 20; I < 40; ++I)
        Garbage[I] = static_cast<char>(I * 37);
    enum TError { None, Read, Decompression, Conversion };
    struct Case {
        const char* What;
        std::string Bytes;
        TError Error;
    };
    const Case Cases[] = {
        {"size beyond the bytes present", Skin.ArchiveBytes.substr(0, Skin.ArchiveBytes.size() - 1), Read},
        {"size 0", ZeroSize, Read},
        {"only a header", Skin.ArchiveBytes.substr(0, 6), Read},
        {"corrupt compressed data", Garbage, Decompression},
        {"payload cut in a picture", Archive(Payload.substr(0, 45)), Read},
        {"picture size beyond the payload", Patched(7, 0x7FFFFFF0), Read},
        {"picture size below a header", Patched(7, 20), Read},
        {"negative picture count", Patched(Count, -1), Read},
        {"picture count beyond the payload", Patched(Count, 3), Read},
        {"rectangle without a digit", Replaced("skinrect=0,0,16,8", "skinrect=0,0"), Conversion},
        {"payload version 4", Patched(0, 4), None},
    };
    TLoggingService Service;
    TLoggingForm Form(nullptr);
    Service.FForms = {&Form};
    const std::string Before = Fingerprint(Skin.Data);
    for (const Case& C : Cases) {
        Service.Log.clear();
        TError Raised = None;
        try {
            LoadArchiveBytes(Skin.Data, C.Bytes);
        } catch (const EReadError&) {
            Raised = Read;
        } catch (const EDecompressionError&) {
            Raised = Decompression;
        } catch (const EConvertError&) {
            Raised = Conversion;
        }
        EXPECT_EQ(Raised, C.Error) << C.What;
        EXPECT_TRUE(Service.Log.empty()) << C.What;
        EXPECT_EQ(Fingerprint(Skin.Data), Before) << C.What;
    }
    Service.Log.clear();
    EXPECT_THROW(Skin.Data.LoadFromCompressedFile(Skin.Dir.File("no such.skn")), Exception);
    EXPECT_TRUE(Service.Log.empty());
}

// A load from the ini folder that fails after 1225 still ends the change: 1226 and 1227 over the cleared skin,
// then the error goes to the caller.
TEST(TbsSkinData, AFailedIniLoadEndsTheChangeOverAClearedSkin) {
    struct Case {
        const char* What;
        std::function<void(const String& Ini, const TTempDir& Dir)> Break;
    };
    const Case Cases[] = {
        {"missing picture",
         [](const String&, const TTempDir& Dir) { std::filesystem::remove(Dir.Folder() / "layer.bmp"); }},
        {"not a picture", [](const String&, const TTempDir& Dir) { WriteBytes(Dir.File("form.bmp"), "BMnot really"); }},
        {"record rectangle", [](const String& Ini, const TTempDir&) { SetKey(Ini, u"button", u"skinrect", u"1,2"); }},
        {"form point", [](const String& Ini, const TTempDir&) { SetKey(Ini, u"FORMINFO", u"lefttoppoint", u"x"); }},
    };
    for (const Case& C : Cases) {
        TLoggingService Service;
        TLoggingForm Form(nullptr);
        Service.FForms = {&Form};
        TTempDir Dir;
        const String Ini = MakeTestSkin(Dir);
        TbsSkinData Data(nullptr);
        Data.LoadFromFile(Ini);
        C.Break(Ini, Dir);
        Service.Log.clear();
        EXPECT_THROW(Data.LoadFromFile(Ini), Exception) << C.What;
        EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1226, 1227})) << C.What;
        EXPECT_TRUE(Data.Empty) << C.What;
        EXPECT_FALSE(Data.ChangeSkinDataProcess) << C.What;
        EXPECT_TRUE(Data.CtrlList.empty() && Data.ObjectList.empty() && Data.FActivePictures.empty()) << C.What;
        EXPECT_TRUE(Data.FPicture->Empty() && Data.FPictureName.empty()) << C.What;
    }
}

// The pictures are read before the sections: a skin broken in both ways raises the missing picture's error.
TEST(TbsSkinData, AnIniLoadReadsThePicturesBeforeTheSections) {
    TTempDir Dir;
    const String Ini = MakeTestSkin(Dir);
    SetKey(Ini, u"button", u"skinrect", u"1,2");
    SetKey(Ini, u"FORMINFO", u"lefttoppoint", u"x");
    std::filesystem::remove(Dir.Folder() / "layer.bmp");
    TbsSkinData Data(nullptr);
    try {
        Data.LoadFromFile(Ini);
        ADD_FAILURE() << "the load succeeded";
    } catch (const Exception& E) {
        EXPECT_NE(E.Message().find(u"layer.bmp"), String::npos) << E.what();
    }
}

// 500 damaged copies of the test skin's archive (fixed seed): each is loaded whole and tells the forms the full
// change, or is refused with an error before any form hears of it, leaving the skin in place as it was.
TEST(TbsSkinData, FuzzedArchivesNeverHalfLoad) {
    TLoadedSkin Skin;
    const std::string Payload = Inflate(Skin.ArchiveBytes.substr(8));
    const std::string Before = Fingerprint(Skin.Data);
    TLoggingService Service;
    TLoggingForm Form(nullptr);
    Service.FForms = {&Form};
    std::mt19937 Rng(20261210);
    const auto Below = [&Rng](std::size_t N) { return static_cast<std::size_t>(Rng() % N); };
    int Refused = 0, Loaded = 0;
    for (int I = 0; I < 500; ++I) {
        std::string Bytes;
        switch (I % 4) {
        case 0: // bytes of the archive changed anywhere
            Bytes = Skin.ArchiveBytes;
            for (std::size_t K = 0, N = 1 + Below(4); K < N; ++K)
                Bytes[Below(Bytes.size())] ^= static_cast<char>(1 + Below(255));
            break;
        case 1: // the archive cut short
            Bytes = Skin.ArchiveBytes.substr(0, Below(Skin.ArchiveBytes.size()));
            break;
        case 2: // a damaged payload, validly compressed: sizes, counts, pixels or text
        {
            std::string P = Payload;
            for (std::size_t K = 0, N = 1 + Below(3); K < N; ++K)
                P[Below(P.size())] = static_cast<char>(Rng());
            Bytes = Archive(P);
            break;
        }
        case 3: // a payload cut short, validly compressed
            Bytes = Archive(Payload.substr(0, Below(Payload.size())));
            break;
        }
        Service.Log.clear();
        try {
            LoadArchiveBytes(Skin.Data, Bytes);
        } catch (const Exception&) {
            ++Refused;
            EXPECT_TRUE(Service.Log.empty()) << I;
            EXPECT_EQ(Fingerprint(Skin.Data), Before) << I;
            continue;
        }
        if (Service.Log.empty()) { // refused by its header or version, silently
            EXPECT_EQ(Fingerprint(Skin.Data), Before) << I;
            continue;
        }
        ++Loaded;
        EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1226, 1227})) << I;
        EXPECT_FALSE(Skin.Data.Empty) << I;
        LoadArchiveBytes(Skin.Data, Skin.ArchiveBytes);
    }
    EXPECT_GT(Refused, 200);
    EXPECT_GT(Loaded, 0);
}

TEST(TbsSkinData, SkinListSelection) {
    TLoadedSkin Skin;
    TLoggingService Service;
    TLoggingForm Form(nullptr);
    Service.FForms = {&Form};
    auto List = std::make_unique<TbsCompressedSkinList>(nullptr);
    for (int I = 0; I < 3; ++I) {
        TMemoryStream S;
        S.WriteBuffer(Skin.ArchiveBytes.data(), static_cast<std::int64_t>(Skin.ArchiveBytes.size()));
        static_cast<TbsSkinListItem*>(List->Skins()->Add())->Skin()->LoadFromCompressStream(&S);
    }
    EXPECT_EQ(List->Skins()->GetSkinItem(0)->Name(), u"bsSkin0");
    EXPECT_EQ(List->Skins()->GetSkinItem(2)->Name(), u"bsSkin2");

    TbsSkinData Data(nullptr);
    Data.SetSkinIndex(5); // without a list any value is kept
    EXPECT_EQ(Data.SkinIndex(), 5);
    Data.SetSkinIndex(1);
    Data.SetSkinList(List.get()); // loads the item at the index
    EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1226, 1227}));
    EXPECT_EQ(Fingerprint(Data), Fingerprint(Skin.Data));
    Service.Log.clear();
    Data.SetSkinIndex(5); // outside the list: ignored
    Data.SetSkinIndex(1); // unchanged: nothing
    EXPECT_EQ(Data.SkinIndex(), 1);
    EXPECT_TRUE(Service.Log.empty());
    Data.SetSkinIndex(2);
    EXPECT_EQ(Data.SkinIndex(), 2);
    EXPECT_EQ(Service.Messages(), (std::vector<unsigned>{1225, 1226, 1227}));
    List.reset(); // a list that goes away is forgotten
    EXPECT_EQ(Data.SkinList(), nullptr);
}

// Extra pictures added and deleted one by one keep one name per picture, also when a file cannot be read or an
// index is outside the list.
TEST(TbsSkinData, AddingAndDeletingPicturesKeepsNamesAndPicturesTogether) {
    TTempDir Dir;
    DrawPicture(Dir.Folder() / "a.bmp", 4, 2, TColor(0x010203));
    TbsSkinData Data(nullptr);
    Data.AddBitMap(Dir.File("a.bmp"));
    EXPECT_THROW(Data.AddBitMap(Dir.File("missing.bmp")), Exception);
    try {
        Data.DeleteBitMap(1);
        ADD_FAILURE() << "no error";
    } catch (const EListError& E) {
        EXPECT_EQ(E.Message(), u"List index out of bounds (1)");
    }
    ASSERT_EQ(Data.FActivePictures.size(), 1u);
    ASSERT_EQ(Data.FActivePicturesNames->Count(), 1);
    EXPECT_EQ(Data.FActivePicturesNames->Strings(0), u"a.bmp");
    EXPECT_EQ(Data.FActivePictures[0]->Width(), 4);
    Data.DeleteBitMap(0);
    EXPECT_TRUE(Data.FActivePictures.empty());
    EXPECT_EQ(Data.FActivePicturesNames->Count(), 0);
}
