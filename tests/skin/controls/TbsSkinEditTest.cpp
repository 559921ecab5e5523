// The skinned edit on the headless screen: its frame in the non-client area and the text area as the client
// area, the edit button and the image buttons reached through their hit codes, the height rules, the
// disabled text, and the answers to the paint-into-DC messages.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/EditComboSkinFixture.h"

#include <gtest/gtest.h>

#include <cstdlib>

using namespace ctltest;

namespace {

class SkinEdit : public EditComboTest {
protected:
    TbsSkinEdit* Edit(const String& Record = u"", int W = 100, int H = 20, bool ButtonMode = false) {
        auto* E = new TbsSkinEdit(Form.get());
        E->SetParent(Form.get());
        E->SetButtonMode(ButtonMode);
        E->SetBounds(10, 10, W, H);
        if (!Record.empty()) {
            E->SetSkinDataName(Record);
            E->SetSkinData(Skin);
        }
        E->OnButtonClick = [this](TObject*) { Events.push_back("button"); };
        E->OnLeftButtonClick = [this](TObject*) { Events.push_back("left"); };
        E->OnRightButtonClick = [this](TObject*) { Events.push_back("right"); };
        Pump();
        return E;
    }
    // A point of the edit given in window coordinates (the frame's), on the screen.
    static TPoint OnScreen(TbsSkinEdit* E, int X, int Y) {
        RECT W;
        GetWindowRect(E->Handle(), &W);
        return TPoint{W.Left + X, W.Top + Y};
    }
    static LRESULT HitAt(TbsSkinEdit* E, int X, int Y) {
        const TPoint P = OnScreen(E, X, Y);
        return SendMessageW(E->Handle(), WM_NCHITTEST, 0, MAKELPARAM(P.X, P.Y));
    }
    static TColor WindowPixel(TbsSkinEdit* E, int X, int Y) {
        const TPoint P = OnScreen(E, X, Y);
        return TColor(::ScreenPixel(P.X, P.Y));
    }
    void PressAt(TbsSkinEdit* E, int X, int Y) {
        const TPoint P = OnScreen(E, X, Y);
        InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, true);
        Pump();
    }
    void ReleaseAt(TbsSkinEdit* E, int X, int Y) {
        const TPoint P = OnScreen(E, X, Y);
        InjectMouseMove(P.X, P.Y);
        InjectMouseButton(0, false);
        Pump();
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Events);
        return L;
    }
    static std::unique_ptr<TCustomImageList> Images16() {
        auto L = std::make_unique<TCustomImageList>(nullptr);
        L->SetSize(16, 16);
        for (TColor C : {TColor(0x3050D0), TColor(0x30A040)}) {
            TBitmap B(16, 16);
            Fill(B, Rect(0, 0, 16, 16), C);
            L->Add(&B, nullptr);
        }
        return L;
    }
    // The text's antialiased strokes come within a few steps of its colour.
    static bool Near(TColor A, TColor B) {
        for (int Shift = 0; Shift < 24; Shift += 8)
            if (std::abs(int((A >> Shift) & 0xFF) - int((B >> Shift) & 0xFF)) > 6)
                return false;
        return true;
    }
    std::vector<std::string> Events;
};

TEST_F(SkinEdit, AnUnskinnedButtonEditKeepsItsTextAreaAsTheClientArea) {
    auto* E = Edit(u"", 100, 20, true);
    EXPECT_EQ(E->ButtonRectInWindow(), Rect(80, 0, 100, 20));
    EXPECT_EQ(E->EditRect(), Rect(2, 2, 78, 18));
    EXPECT_EQ(E->ClientWidth(), 76);
    EXPECT_EQ(E->ClientHeight(), 16);
    // The plain 3-D look: a shadow line, a face line, the button face.
    EXPECT_EQ(WindowPixel(E, 0, 10), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(WindowPixel(E, 1, 10), TColor(ColorToRGB(clBtnFace)));
    EXPECT_EQ(WindowPixel(E, 90, 10), TColor(ColorToRGB(clBtnFace)));
    EXPECT_EQ(WindowPixel(E, 20, 10), TColor(ColorToRGB(clWindow)));
}

TEST_F(SkinEdit, TheSkinnedFrameLivesAroundTheClientArea) {
    auto* E = Edit(u"edit", 120, 20);
    EXPECT_EQ(E->EditRect(), Rect(3, 3, 117, 17));
    EXPECT_EQ(E->ClientWidth(), 114);
    EXPECT_EQ(WindowPixel(E, 1, 10), cEdFrame);
    EXPECT_EQ(WindowPixel(E, 60, 10), cEdClient);
    // The mouse over it shows the hot frame and text area.
    MouseTo(E, 60, 5);
    EXPECT_EQ(WindowPixel(E, 1, 10), cEdFrameHot);
    EXPECT_EQ(WindowPixel(E, 60, 10), cEdClientHot);
}

TEST_F(SkinEdit, TwoImageButtonsNarrowTheTextBy36Pixels) {
    auto Images = Images16();
    auto* E = Edit(u"", 150, 20);
    E->SetImages(Images.get());
    E->SetLeftImageIndex(0);
    E->SetRightImageIndex(1);
    Pump();
    RECT F;
    SendMessageW(E->Handle(), EM_GETRECT, 0, LPARAM(&F));
    EXPECT_EQ(F.Right - F.Left, E->ClientWidth() - 36);
    EXPECT_EQ(F.Left, 18);
    EXPECT_EQ(WindowPixel(E, 2 + 8, 10), TColor(0x3050D0));
    EXPECT_EQ(WindowPixel(E, 148 - 8, 10), TColor(0x30A040));
}

TEST_F(SkinEdit, HitCodesAndTheirClicks) {
    auto Images = Images16();
    auto* E = Edit(u"", 150, 20, true);
    E->SetImages(Images.get());
    E->SetLeftImageIndex(0);
    E->SetRightImageIndex(1);
    Pump();
    // Window coordinates: the text area runs from 2 to 128, the button from 130.
    EXPECT_EQ(HitAt(E, 5, 10), HT_EDIT_LEFTIMAGE);
    EXPECT_EQ(HitAt(E, 120, 10), HT_EDIT_RIGHTIMAGE);
    EXPECT_EQ(HitAt(E, 140, 10), HT_EDIT_BUTTON);
    EXPECT_EQ(HitAt(E, 0, 10), HT_EDIT_FRAME);
    EXPECT_EQ(HitAt(E, 60, 10), LRESULT(HTCLIENT));

    struct Case {
        const char* Name;
        int PressX, ReleaseX;
        std::vector<std::string> Want;
    } Cases[] = {{"left image", 5, 5, {"left"}},
                 {"right image", 120, 120, {"right"}},
                 {"edit button", 140, 140, {"button"}},
                 {"press on the left image, release on the right one", 5, 120, {}},
                 {"press on the text, release on the button", 60, 140, {}},
                 {"press on the button, release on the text", 140, 60, {}}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        PressAt(E, K.PressX, 10);
        ReleaseAt(E, K.ReleaseX, 10);
        EXPECT_EQ(Take(), K.Want);
        MouseAway();
    }
    // The edit button's click focuses the edit.
    auto* Other = new uitest::TTestButton(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(10, 200, 75, 25);
    Other->SetFocus();
    Pump();
    ASSERT_FALSE(E->Focused());
    PressAt(E, 140, 10);
    ReleaseAt(E, 140, 10);
    EXPECT_TRUE(E->Focused());
}

TEST_F(SkinEdit, TheSkinnedButtonShowsItsStates) {
    auto* E = Edit(u"buttonedit", 120, 20, true);
    EXPECT_EQ(E->ButtonRectInWindow(), Rect(102, 2, 118, 18));
    EXPECT_EQ(WindowPixel(E, 110, 10), cEdButton);
    MouseTo(E, 60, 10);
    const TPoint B = OnScreen(E, 110, 10);
    InjectMouseMove(B.X, B.Y);
    Pump();
    EXPECT_EQ(WindowPixel(E, 110, 10), cEdButtonHot);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(WindowPixel(E, 110, 10), cEdButtonDown);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Take(), (std::vector<std::string>{"button"}));
}

TEST_F(SkinEdit, HeightRules) {
    auto* E = Edit(u"edit", 120, 20);
    E->SetHeight(40);
    EXPECT_EQ(E->Height(), 20);
    E->SetUseSkinFont(false);
    E->ChangeSkinData();
    E->SetHeight(40);
    HDC DC = GetDC(nullptr);
    HGDIOBJ Old = SelectObject(DC, E->Font()->Handle());
    TEXTMETRICW TM{};
    GetTextMetricsW(DC, &TM);
    SelectObject(DC, Old);
    ReleaseDC(nullptr, DC);
    EXPECT_EQ(E->Height(), TM.tmHeight + 6);
    // Unskinned with UseSkinFont the height is the one given.
    auto* Plain = Edit(u"", 100, 20);
    Plain->SetHeight(33);
    EXPECT_EQ(Plain->Height(), 33);
}

TEST_F(SkinEdit, DisabledTextTakesGrayTextOrTheRecordsColour) {
    struct Case {
        const char16_t* Record;
        TColor Want;
    } Cases[] = {{u"", TColor(ColorToRGB(clGrayText))}, {u"edit", cEdDisabledFont}};
    for (const Case& K : Cases) {
        auto* E = Edit(K.Record, 120, 20);
        E->SetText(u"MMMMMMMM");
        E->SetEnabled(false);
        Pump();
        int Count = 0;
        for (int Y = 0; Y < E->ClientHeight(); ++Y)
            for (int X = 0; X < E->ClientWidth(); ++X)
                Count += Near(ScreenPixel(E, X, Y), K.Want);
        EXPECT_GE(Count, 4) << (K.Record[0] ? "skinned" : "unskinned");
        delete E;
    }
}

TEST_F(SkinEdit, PaintIntoADCAnswers) {
    auto* E = Edit(u"edit", 120, 20);
    TBitmap B(120, 20);
    Fill(B, Rect(0, 0, 120, 20), clWhite);
    EXPECT_EQ(SendMessageW(E->Handle(), WM_PAINTFRAMETO, 0, 0), 0);
    EXPECT_EQ(SendMessageW(E->Handle(), WM_PAINTFRAMETO, WPARAM(B.Canvas()->Handle()), 0), 12851);
    EXPECT_EQ(B.Canvas()->Pixels(1, 10), cEdFrame);
    EXPECT_NE(SendMessageW(E->Handle(), WM_PAINTBGORFRAMETO, 0, 0), 16802);
    Fill(B, Rect(0, 0, 120, 20), clWhite);
    EXPECT_EQ(SendMessageW(E->Handle(), WM_PAINTBGORFRAMETO, WPARAM(B.Canvas()->Handle()), 16802), 16802);
    EXPECT_EQ(B.Canvas()->Pixels(1, 10), cEdFrame);
    // The text area is left out.
    EXPECT_EQ(B.Canvas()->Pixels(60, 10), clWhite);
    EXPECT_EQ(SendMessageW(E->Handle(), WM_PAINTBGORFRAMETO, 0, 16802), 16802);
}

TEST_F(SkinEdit, PastedLineBreaksBecomeSpaces) {
    auto* E = Edit(u"edit", 160, 20);
    E->SetFocus();
    SetClipboardText(u"first\r\nsecond\nthird");
    E->PasteFromClipboard();
    const String T = E->Text();
    EXPECT_EQ(T.find(u'\r'), String::npos);
    EXPECT_EQ(T.find(u'\n'), String::npos);
    EXPECT_NE(T.find(u"first"), String::npos);
    EXPECT_NE(T.find(u"third"), String::npos);
    EXPECT_EQ(E->EditRect(), Rect(3, 3, 157, 17));
}

} // namespace
