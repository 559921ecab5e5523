// The combo box's and the edit's records over the controls' test skin: one more picture (combo.bmp) whose
// faces are solid colours, and the records "combobox", "edit", "buttonedit" and "editbutton" added to a copy of
// the skin's description, so the shared description stays as it is.
#pragma once

#include "tests/skin/controls/ControlSkinFixture.h"

#include <fstream>
#include <sstream>
#include <string>

namespace ctltest {

// combo.bmp (100 x 100).
constexpr TColor cCbFrame = 0x204060, cCbFrameHot = 0x206040, cCbClient = 0xF0F0D0;
constexpr TColor cCbButton = 0x402010, cCbButtonHot = 0x10B0F0, cCbButtonDown = 0xF0B010, cCbButtonDis = 0x909090;
constexpr TColor cCbItem = 0xE0E0FF, cCbItemFocus = 0x800080, cCbItemHot = 0x80FF80;
constexpr TColor cCbFont = 0x000080, cCbFocusFont = 0xFFFFFF, cCbActiveFont = 0x008000;
constexpr TColor cEdFrame = 0x603020, cEdFrameHot = 0x306020, cEdClient = 0xD0F0F0, cEdClientHot = 0xC0FFC0;
constexpr TColor cEdButton = 0x103050, cEdButtonHot = 0x30A0E0, cEdButtonDown = 0xE0A030;
constexpr TColor cEdFont = 0x101010, cEdDisabledFont = 0xC07070, cEdActiveFont = 0x105010;

inline void DrawComboFaces(TBitmap& B) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(100, 100);
    Fill(B, Rect(0, 0, 100, 100), clBlack);
    // The combo box: frame, client part and its button, normal (y 0) and hot (y 20).
    const TColor Frames[] = {cCbFrame, cCbFrameHot};
    for (int I = 0; I < 2; ++I) {
        Fill(B, Bounds(0, I * 20, 60, 20), Frames[I]);
        Fill(B, Rect(3, I * 20 + 3, 40, I * 20 + 17), cCbClient);
        Fill(B, Rect(42, I * 20 + 2, 58, I * 20 + 18), cCbButton);
    }
    Fill(B, Bounds(60, 0, 16, 16), cCbButtonHot);
    Fill(B, Bounds(76, 0, 16, 16), cCbButtonDown);
    Fill(B, Bounds(60, 16, 16, 16), cCbButtonDis);
    Fill(B, Bounds(0, 40, 30, 14), cCbItem);
    Fill(B, Bounds(30, 40, 30, 14), cCbItemFocus);
    Fill(B, Bounds(60, 40, 30, 14), cCbItemHot);
    // The edit: normal and hot frames (y 60), the button edit (y 80) and its button states.
    Fill(B, Bounds(0, 60, 40, 20), cEdFrame);
    Fill(B, Rect(3, 63, 37, 77), cEdClient);
    Fill(B, Bounds(40, 60, 40, 20), cEdFrameHot);
    Fill(B, Rect(43, 63, 77, 77), cEdClientHot);
    Fill(B, Bounds(0, 80, 60, 20), cEdFrame);
    Fill(B, Rect(3, 83, 40, 97), cEdClient);
    Fill(B, Rect(42, 82, 58, 98), cEdButton);
    Fill(B, Bounds(60, 80, 16, 16), cEdButtonHot);
    Fill(B, Bounds(76, 80, 16, 16), cEdButtonDown);
}

inline const char* ComboRecords() {
    return R"([combobox]
pictureindex=@
skinrect=0,0,60,20
activeskinrect=0,20,60,40
lefttoppoint=3,0
righttoppoint=40,0
clientrect=3,3,40,17
buttonrect=42,2,58,18
activebuttonrect=60,0,76,16
downbuttonrect=76,0,92,16
unenabledbuttonrect=60,16,76,32
itemrect=0,40,30,54
focusitemrect=30,40,60,54
activeitemrect=60,40,90,54
itemleftoffset=2
itemrightoffset=2
itemtextrect=2,0,28,14
fontname=Arial
fontheight=12
fontcolor=128
focusfontcolor=16777215
activefontcolor=32768
listboxname=listbox

[edit]
pictureindex=@
skinrect=0,60,40,80
activeskinrect=40,60,80,80
lefttoppoint=3,0
righttoppoint=37,0
clientrect=3,3,37,17
fontname=Arial
fontheight=12
fontcolor=1052688
disabledfontcolor=12611696
activefontcolor=1069072

[buttonedit]
pictureindex=@
skinrect=0,80,60,100
lefttoppoint=3,0
righttoppoint=40,0
clientrect=3,3,40,17
buttonrect=42,2,58,18
activebuttonrect=60,80,76,96
downbuttonrect=76,80,92,96
fontname=Arial
fontheight=12
fontcolor=1052688
disabledfontcolor=12611696
activefontcolor=1069072

)";
}

// Adds combo.bmp and the records to a copy of the test skin's description; returns the copy's path.
inline String MakeEditComboSkin(const TTempDir& Dir) {
    MakeControlSkin(Dir);
    TBitmap Faces;
    DrawComboFaces(Faces);
    SaveBmp(Faces, Dir, "combo.bmp");
    std::ifstream In(Dir.Folder() / "skin.ini");
    std::stringstream Text;
    Text << In.rdbuf();
    std::string S = Text.str();
    // One more active picture.
    const std::string PicKey = "activepicturescount=";
    std::size_t P = S.find(PicKey);
    const int Pictures = std::stoi(S.substr(P + PicKey.size()));
    S.replace(P, S.find('\n', P) - P, PicKey + std::to_string(Pictures + 1));
    const std::string LastPic = "\n" + std::to_string(Pictures - 1) + "=";
    P = S.find('\n', S.find(LastPic, P) + 1);
    S.insert(P + 1, std::to_string(Pictures) + "=combo.bmp\n");
    // Three more control records.
    const std::string CtlKey = "[SKINCONTROLS]\ncount=";
    P = S.find(CtlKey);
    const int Controls = std::stoi(S.substr(P + CtlKey.size()));
    S.replace(P + CtlKey.size(), S.find('\n', P + CtlKey.size()) - P - CtlKey.size(), std::to_string(Controls + 3));
    P = S.find("\n\n", P);
    S.insert(P + 1, std::to_string(Controls) + "=combobox:combobox\n" + std::to_string(Controls + 1) + "=edit:edit\n" +
                        std::to_string(Controls + 2) + "=buttonedit:edit\n");
    std::string Records = ComboRecords();
    for (std::size_t At; (At = Records.find('@')) != std::string::npos;)
        Records.replace(At, 1, std::to_string(Pictures));
    S += "\n" + Records;
    std::ofstream(Dir.Folder() / "editcombo.ini") << S;
    return Dir.File("editcombo.ini");
}

// The controls' test form with the combo box's and edit's records in the skin data.
class EditComboTest : public ControlTest {
protected:
    void SetUp() override {
        ControlTest::SetUp();
        Skin->LoadFromFile(MakeEditComboSkin(Dir));
        ASSERT_NE(Skin->GetControlIndex(u"combobox"), -1);
        ASSERT_NE(Skin->GetControlIndex(u"buttonedit"), -1);
        Pump();
    }
};

} // namespace ctltest
