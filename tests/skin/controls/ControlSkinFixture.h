// The skinned controls' test skin (tests/fixtures/skins/controls): every state face one solid colour, a mask
// with a cut corner, a glow picture. The fixture loads it into a skin data and puts a shown form on the
// headless screen, on the tests' clock.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/ui/Forms.h"
#include "skin/core/TbsSkinData.h"
#include "tests/platform/ui/UiTestSupport.h"
#include "tests/skin/core/SkinDataFixture.h"

namespace ctltest {

// Face colours of the test skin (0x00BBGGRR).
constexpr TColor cNormal = 0x0000C0;   // push button normal
constexpr TColor cHot = 0x00C000;      // push button hot
constexpr TColor cDown = 0xC00000;     // push button pressed
constexpr TColor cDisabled = 0x808000; // push button disabled
constexpr TColor cFocused = 0x00C0C0;  // push button focused
constexpr TColor cToolNormal = 0x404080;
constexpr TColor cToolHot = 0x408040;
constexpr TColor cToolDown = 0x804040;
constexpr TColor cToolDisabled = 0x606060;
constexpr TColor cRing = 0x00FFFF;  // generic face: 4-pixel ring
constexpr TColor cInner = 0xFF00FF; // generic face: 12 x 12 centre
constexpr TColor cMenuNormal = 0x208020;
constexpr TColor cMenuHot = 0x20C0C0;
constexpr TColor cMenuDown = 0xC02020;
constexpr TColor cGlow = 0x00A0FF;
constexpr TColor cBarArrow = 0x505050;  // scroll bar: idle arrows, part of the bar's face
constexpr TColor cTrack = 0xA0A0A0;     // scroll bar: track
constexpr TColor cArrowHot = 0x40A040;  // scroll bar: hot arrow
constexpr TColor cArrowDown = 0x4040A0; // scroll bar: pressed arrow
constexpr TColor cThumb = 0x2080F0;     // scroll bar thumb: normal, hot, pressed
constexpr TColor cThumbHot = 0x20F080;
constexpr TColor cThumbDown = 0xF02080;
constexpr TColor cListFrame = 0x604020;  // list box: frame
constexpr TColor cListClient = 0xE0F0E0; // list box: client part under the rows
constexpr TColor cCapUp = 0x2020A0;      // list box caption buttons: Up, Down, Check
constexpr TColor cCapDown = 0x20A020;
constexpr TColor cCapCheck = 0xA02020;
constexpr TColor cCapHot = 0x00C0FF;     // any hot caption button
constexpr TColor cCapPressed = 0xFF8000; // a pressed Up or Down button
constexpr TColor cCapHidden = 0x707030;  // the picture over hidden buttons
constexpr TColor cRow = 0xF0E0C0;        // rows: normal, selected, focused
constexpr TColor cRowActive = 0x803060;
constexpr TColor cRowFocus = 0x306080;
constexpr TColor cSliderRuler = 0x30A0A0; // slider faces and the slider record's colours
constexpr TColor cSliderThumb = 0xA03030;
constexpr TColor cSliderThumbDown = 0x3030A0;
constexpr TColor cSliderBg = 0x606060;                        // 6316128
constexpr TColor cSliderPoints = 0xFF8000;                    // 16744448
constexpr TColor cFrames[3] = {0x303090, 0x309030, 0x903030}; // the push button's animation frames
// The up-down's faces: the base image's halves and the state overlays.
constexpr TColor cUDDown = 0x101060, cUDUp = 0x106010;
constexpr TColor cUDUpHot = 0x10A010, cUDUpPressed = 0x10E010, cUDDownHot = 0x1010A0, cUDDownPressed = 0x1010E0;
// The page control's faces: the frame's 4-pixel ring and client part, the tabs (the normal tab has a 2-pixel
// top edge of its own colour), the strip tile and the close button's states.
constexpr TColor cTabFrame = 0x602060, cTabClient = 0xE0C0E0;
constexpr TColor cTab = 0x20A0A0, cTabEdge = 0x105050, cTabActive = 0x2020F0, cTabHot = 0x20F020;
constexpr TColor cTabsBG = 0xA0A0A0;
constexpr TColor cClose = 0x0080FF, cCloseHot = 0x00FF80, cCloseDown = 0xFF8000;

// Faces of the containers, boxes and bars (panels.bmp).
constexpr TColor cPanelRing = 0x102030;   // panel: 4-pixel sides and bottom
constexpr TColor cPanelBar = 0x804020;    // panel: its 16-pixel top band, the caption's place
constexpr TColor cPanelClient = 0xC0D0E0; // panel: client part
constexpr TColor cMarkKey = 0xFF00FF;     // the transparent outline of every mark image
constexpr TColor cMarkOn = 0x10A010, cMarkOff = 0x1010A0, cMarkOnHot = 0x40E040, cMarkOffHot = 0x4040E0;
constexpr TColor cMarkOnDis = 0x507050, cMarkOffDis = 0x505070, cMarkGrayed = 0x909090;
constexpr TColor cBar = 0x606020;                                                         // tool bar strip
constexpr TColor cScrollNormal = 0x703070, cScrollHot = 0xA050A0, cScrollDown = 0xD070D0; // bar scroll buttons
constexpr TColor cStatus = 0x305050, cGrip = 0x0080FF;                                    // status bar and its grip
constexpr TColor cBoxNormal = 0x605040, cBoxActive = 0x907060;                            // framed check box faces
constexpr TColor cSplit = 0x2090B0, cGripper = 0x000040;                                  // splitter strip and gripper
constexpr TColor cLabel = 0x0000A0;                                                       // "stdlabel" text
constexpr TColor cBevelLight = 0x40C0C0, cBevelDark = 0x404080;

// The default look's colours.
constexpr TColor cNavy = 0x800000;
constexpr TColor cHotFill = 0xD2BDB6;  // RGB(182, 189, 210)
constexpr TColor cDownFill = 0xB59385; // RGB(133, 147, 181)

inline std::filesystem::path ControlSkinFolder() {
    return std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "fixtures" / "skins" /
           "controls";
}

inline void Fill(TBitmap& B, const TRect& R, TColor C) {
    B.Canvas()->Brush()->SetStyle(bsSolid);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(R);
}

inline void SaveBmp(TBitmap& B, const TTempDir& Dir, const std::string& Name) {
    B.SaveToFile(Dir.File(Name));
}

// A mark image: one colour inside a one-pixel outline of the key colour (its bottom-left pixel is the key).
inline void Mark(TBitmap& B, int X, int Y, TColor C) {
    Fill(B, Bounds(X, Y, 12, 12), cMarkKey);
    Fill(B, Bounds(X + 1, Y + 1, 10, 10), C);
}

// panels.bmp (140 x 110): the panel face (0,0)-(40,40) with its bar, check images at (40,0) and (52,0), the tool
// bar strip (0,40)-(40,60), its scroll-button faces at (40,40), (52,40), (64,40), the status bar strip
// (0,60)-(40,80) and its grip (80,40)-(90,50), the framed check box faces (0,80)-(60,100) and (60,80)-(120,100),
// the box marks (64..112, 0..24), the splitter strips (120,0)-(126,40) and (0,100)-(40,106) with grippers.
inline void DrawPanelFaces(TBitmap& B) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(140, 110);
    Fill(B, Rect(0, 0, 140, 110), clBlack);
    Fill(B, Rect(0, 0, 40, 40), cPanelRing);
    Fill(B, Rect(4, 0, 36, 16), cPanelBar);
    Fill(B, Rect(4, 16, 36, 36), cPanelClient);
    Mark(B, 40, 0, cMarkOn);
    Mark(B, 52, 0, cMarkOff);
    Fill(B, Rect(0, 40, 40, 60), cBar);
    Fill(B, Bounds(40, 40, 12, 20), cScrollNormal);
    Fill(B, Bounds(52, 40, 12, 20), cScrollHot);
    Fill(B, Bounds(64, 40, 12, 20), cScrollDown);
    Fill(B, Rect(0, 60, 40, 80), cStatus);
    Fill(B, Rect(80, 40, 90, 50), cGrip);
    Fill(B, Rect(0, 80, 60, 100), cBoxNormal);
    Fill(B, Rect(60, 80, 120, 100), cBoxActive);
    const TColor Marks[] = {cMarkOn, cMarkOff, cMarkOnHot, cMarkOffHot, cMarkOnDis, cMarkOffDis, cMarkGrayed};
    for (int I = 0; I < 7; ++I)
        Mark(B, 64 + (I % 4) * 12, (I / 4) * 12, Marks[I]);
    Fill(B, Rect(120, 0, 126, 40), cSplit);
    Fill(B, Rect(126, 0, 132, 10), cGripper);
    Fill(B, Rect(0, 100, 40, 106), cSplit);
    Fill(B, Rect(126, 10, 136, 16), cGripper);
}

// Copies the description into Dir and draws its pictures; returns the description's path.
inline String MakeControlSkin(const TTempDir& Dir) {
    std::filesystem::copy_file(ControlSkinFolder() / "skin.ini", Dir.Folder() / "skin.ini",
                               std::filesystem::copy_options::overwrite_existing);
    TBitmap Faces;
    Faces.SetPixelFormat(pf24bit);
    Faces.SetSize(160, 80);
    Fill(Faces, Rect(0, 0, 160, 80), clBlack);
    const TColor Button[] = {cNormal, cHot, cDown, cDisabled, cFocused};
    for (int I = 0; I < 5; ++I)
        Fill(Faces, Bounds(I * 20, 0, 20, 20), Button[I]);
    for (int I = 0; I < 3; ++I)
        Fill(Faces, Bounds(100 + I * 20, 0, 20, 20), cFrames[I]);
    const TColor Tool[] = {cToolNormal, cToolHot, cToolDown, cToolDisabled};
    for (int I = 0; I < 4; ++I)
        Fill(Faces, Bounds(I * 20, 20, 20, 20), Tool[I]);
    Fill(Faces, Bounds(0, 40, 20, 20), cRing);
    Fill(Faces, Bounds(4, 44, 12, 12), cInner);
    const TColor Menu[] = {cMenuNormal, cMenuHot, cMenuDown};
    for (int I = 0; I < 3; ++I)
        Fill(Faces, Bounds(I * 30, 60, 30, 20), Menu[I]);
    SaveBmp(Faces, Dir, "controls.bmp");

    TBitmap Mask;
    Mask.SetPixelFormat(pf24bit);
    Mask.SetSize(20, 20);
    Fill(Mask, Rect(0, 0, 20, 20), clBlack);
    Fill(Mask, Rect(0, 0, 5, 5), clWhite);
    SaveBmp(Mask, Dir, "mask.bmp");

    TBitmap Panels;
    DrawPanelFaces(Panels);
    SaveBmp(Panels, Dir, "panels.bmp");

    TBitmap Glow;
    Glow.SetPixelFormat(pf24bit);
    Glow.SetSize(24, 24);
    Fill(Glow, Rect(0, 0, 24, 24), cGlow);
    SaveBmp(Glow, Dir, "glow.bmp");
    Fill(Glow, Rect(0, 0, 24, 24), clWhite);
    SaveBmp(Glow, Dir, "glowmask.bmp");

    TBitmap Tabs;
    Tabs.SetPixelFormat(pf24bit);
    Tabs.SetSize(200, 80);
    Fill(Tabs, Rect(0, 0, 200, 80), clBlack);
    const TColor UpDown[] = {cUDDown, cUDUp, cUDUpHot, cUDUpPressed, cUDDownHot, cUDDownPressed};
    for (int I = 0; I < 6; ++I)
        Fill(Tabs, Bounds(I * 20, 0, 20, 20), UpDown[I]);
    Fill(Tabs, Rect(0, 40, 40, 80), cTabFrame);
    Fill(Tabs, Rect(4, 44, 36, 76), cTabClient);
    Fill(Tabs, Rect(40, 40, 70, 60), cTab);
    Fill(Tabs, Rect(40, 40, 70, 42), cTabEdge);
    Fill(Tabs, Rect(70, 40, 100, 63), cTabActive);
    Fill(Tabs, Rect(100, 40, 130, 60), cTabHot);
    Fill(Tabs, Rect(130, 40, 140, 60), cTabsBG);
    Fill(Tabs, Rect(140, 40, 150, 50), cClose);
    Fill(Tabs, Rect(150, 40, 160, 50), cCloseHot);
    Fill(Tabs, Rect(160, 40, 170, 50), cCloseDown);
    SaveBmp(Tabs, Dir, "tabs.bmp");

    TBitmap Scroll;
    Scroll.SetPixelFormat(pf24bit);
    Scroll.SetSize(100, 40);
    Fill(Scroll, Rect(0, 0, 100, 40), clBlack);
    Fill(Scroll, Rect(0, 0, 60, 15), cBarArrow);
    Fill(Scroll, Rect(15, 0, 45, 15), cTrack);
    Fill(Scroll, Rect(60, 0, 75, 15), cArrowHot);
    Fill(Scroll, Rect(75, 0, 90, 15), cArrowDown);
    const TColor Thumb[] = {cThumb, cThumbHot, cThumbDown};
    for (int I = 0; I < 3; ++I)
        Fill(Scroll, Bounds(I * 20, 15, 20, 15), Thumb[I]);
    const std::pair<TRect, TColor> SliderFaces[] = {
        {Rect(0, 30, 20, 36), cSliderRuler},      {Rect(20, 30, 30, 40), cSliderThumb},
        {Rect(30, 30, 40, 40), cSliderThumbDown}, {Rect(40, 30, 46, 40), cSliderRuler},
        {Rect(60, 30, 70, 40), cSliderThumb},     {Rect(70, 30, 80, 40), cSliderThumbDown}};
    for (const auto& [R, C] : SliderFaces) {
        Fill(Scroll, R, C);
        Scroll.Canvas()->SetPixels(R.Left, R.Bottom - 1, clBlack);
    }
    SaveBmp(Scroll, Dir, "scroll.bmp");

    TBitmap List;
    List.SetPixelFormat(pf24bit);
    List.SetSize(160, 100);
    Fill(List, Rect(0, 0, 160, 100), clBlack);
    Fill(List, Rect(0, 0, 80, 80), cListFrame);
    Fill(List, Rect(4, 22, 76, 76), cListClient);
    Fill(List, Rect(46, 4, 56, 18), cCapCheck);
    Fill(List, Rect(56, 4, 66, 18), cCapDown);
    Fill(List, Rect(66, 4, 76, 18), cCapUp);
    Fill(List, Rect(120, 0, 130, 14), cCapHot);
    Fill(List, Rect(130, 0, 140, 14), cCapPressed);
    Fill(List, Rect(120, 20, 150, 34), cCapHidden);
    const TColor Rows[] = {cRow, cRowActive, cRowFocus};
    for (int I = 0; I < 3; ++I)
        Fill(List, Bounds(I * 40, 80, 40, 16), Rows[I]);
    SaveBmp(List, Dir, "listbox.bmp");
    return Dir.File("skin.ini");
}

// A shown form at (100, 100) with a loaded test skin; the skin's effects are on.
class ControlTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        Form->Show();
        Skin = new TbsSkinData(Form.get());
        Skin->LoadFromFile(MakeControlSkin(Dir));
        ASSERT_FALSE(Skin->Empty);
        Pump();
    }
    void TearDown() override {
        Form.reset();
        uitest::UiTest::TearDown();
    }
    template <class T> T* Make(const String& SkinName, int X = 10, int Y = 10, int W = -1, int H = -1) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W < 0 ? C->Width() : W, H < 0 ? C->Height() : H);
        if (!SkinName.empty()) {
            C->SetSkinDataName(SkinName);
            C->SetSkinData(Skin);
        }
        Pump();
        return C;
    }
    TbsDataSkinControl* Record(const String& Name) {
        return Skin->CtrlList.at(std::size_t(Skin->GetControlIndex(Name))).get();
    }
    // The colour of a screen pixel, as the user sees it.
    static TColor ScreenPixel(TControl* C, int X, int Y) {
        TPoint P = C->ClientToScreen(TPoint{X, Y});
        return TColor(::ScreenPixel(P.X, P.Y));
    }
    void MouseTo(TControl* C, int X, int Y) {
        TPoint P = C->ClientToScreen(TPoint{X, Y});
        InjectMouseMove(P.X, P.Y);
        Pump();
    }
    void Press(TControl* C, int X, int Y) {
        MouseTo(C, X, Y);
        InjectMouseButton(0, true);
        Pump();
    }
    void Release() {
        InjectMouseButton(0, false);
        Pump();
    }
    void ClickOn(TControl* C, int X, int Y) {
        Press(C, X, Y);
        Release();
    }
    void MouseAway() {
        InjectMouseMove(5, 5);
        Pump();
    }

    TTempDir Dir;
    std::unique_ptr<TForm> Form;
    TbsSkinData* Skin = nullptr;
};

} // namespace ctltest
