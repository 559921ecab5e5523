// The skinned check and radio box: the three states and the grayed cycle, the group rule and its clicks,
// keyboard and focus, the flat and framed faces and marks of every state, the hover blend, and the sizes the
// two looks keep.
#include "skin/controls/bsSkinCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class SkinCheckBox : public ControlTest {
protected:
    TbsSkinCheckRadioBox* Box(const String& Caption, int Y, bool Radio = false, int Group = 0) {
        auto* B = Make<TbsSkinCheckRadioBox>(u"", 10, Y, 150, 25);
        B->SetCaption(Caption);
        B->SetRadio(Radio);
        B->SetGroupIndex(Group);
        B->OnClick = [this, B](TObject*) { Clicks.push_back(UTF8Encode(B->Caption())); };
        return B;
    }
    static TColor Rgb(TColor C) { return TColor(ColorToRGB(C)); }
    TColor Pixel(TControl* C, int X, int Y) { return Rgb(uitest::PaintToBitmap(*C)->Canvas()->Pixels(X, Y)); }
    std::vector<std::string> Clicks;
};

TEST_F(SkinCheckBox, RadioBoxesOfAGroupAreExclusiveAndOnlyTheCheckedOneClicks) {
    TbsSkinCheckRadioBox* A = Box(u"a", 10, true, 1);
    TbsSkinCheckRadioBox* B = Box(u"b", 40, true, 1);
    ClickOn(A, 40, 12);
    ClickOn(A, 40, 12);
    EXPECT_TRUE(A->Checked());
    ClickOn(B, 40, 12);
    EXPECT_TRUE(B->Checked());
    EXPECT_FALSE(A->Checked());
    // The second click on a checked radio box does nothing; the box the rule unchecked raises no click.
    EXPECT_EQ(Clicks, (std::vector<std::string>{"a", "b"}));
}

TEST_F(SkinCheckBox, CheckBoxesOfAGroupAreExclusiveAndEachUncheckedOneClicks) {
    TbsSkinCheckRadioBox* A = Box(u"a", 10, false, 2);
    TbsSkinCheckRadioBox* B = Box(u"b", 40, false, 2);
    TbsSkinCheckRadioBox* Free = Box(u"free", 70, false, 0);
    A->SetChecked(true);
    Free->SetChecked(true);
    B->SetChecked(true);
    EXPECT_FALSE(A->Checked());
    EXPECT_TRUE(B->Checked());
    EXPECT_TRUE(Free->Checked());
    // b clicks after the rule unchecked a (and a clicked for that); group 0 touches nobody.
    EXPECT_EQ(Clicks, (std::vector<std::string>{"a", "free", "a", "b"}));
    Clicks.clear();
    Box(u"other", 100, false, 0)->SetChecked(true);
    EXPECT_TRUE(Free->Checked());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"other"}));
}

TEST_F(SkinCheckBox, AllowGrayedCyclesUncheckedGrayedCheckedUnchecked) {
    TbsSkinCheckRadioBox* A = Box(u"a", 10);
    A->SetAllowGrayed(true);
    const TCheckBoxState Want[] = {cbGrayed, cbChecked, cbUnchecked, cbGrayed};
    for (TCheckBoxState S : Want) {
        ClickOn(A, 40, 12);
        EXPECT_EQ(A->State(), S);
        EXPECT_EQ(A->Checked(), S == cbChecked);
    }
    EXPECT_EQ(Clicks.size(), 4u);
    // Checked False leaves a grayed box grayed.
    A->SetChecked(false);
    EXPECT_EQ(A->State(), cbGrayed);
}

TEST_F(SkinCheckBox, StateClicksEvenWhenUnchangedAndSkipsTheGroupRule) {
    TbsSkinCheckRadioBox* A = Box(u"a", 10, false, 3);
    TbsSkinCheckRadioBox* B = Box(u"b", 40, false, 3);
    A->SetChecked(true);
    Clicks.clear();
    B->SetState(cbChecked);
    B->SetState(cbChecked);
    EXPECT_TRUE(A->Checked());
    EXPECT_TRUE(B->Checked());
    EXPECT_EQ(Clicks, (std::vector<std::string>{"b", "b"}));
}

TEST_F(SkinCheckBox, KeysAndClicksFollowCanFocused) {
    TbsSkinCheckRadioBox* A = Box(u"&Able", 10);
    TbsSkinCheckRadioBox* B = Box(u"&Baker", 40);
    ClickOn(A, 40, 12);
    EXPECT_TRUE(A->Focused());
    Key(VK_SPACE);
    EXPECT_FALSE(A->Checked());
    Key('B', VK_MENU);
    EXPECT_TRUE(B->Checked());
    EXPECT_TRUE(B->Focused());
    A->SetFocus();
    B->SetCanFocused(false);
    EXPECT_FALSE(B->TabStop());
    Key('B', VK_MENU);
    EXPECT_TRUE(B->Checked());
    // A click toggles it but leaves the focus where it was.
    ClickOn(B, 40, 12);
    EXPECT_FALSE(B->Checked());
    EXPECT_TRUE(A->Focused());
}

TEST_F(SkinCheckBox, FlatBoxesKeepTheirSizeUnderEverySkin) {
    TbsSkinCheckRadioBox* A = Box(u"a", 10);
    A->SetBounds(10, 10, 97, 31);
    A->SetSkinDataName(u"checkbox");
    A->SetSkinData(Skin);
    EXPECT_EQ(A->BoundsRect(), Bounds(10, 10, 97, 31));
    A->BeforeChangeSkinData();
    A->ChangeSkinData();
    EXPECT_EQ(A->BoundsRect(), Bounds(10, 10, 97, 31));
    // The framed look takes the record's size rules: a horizontal strip keeps the face's height.
    A->SetFlat(false);
    A->ChangeSkinData();
    EXPECT_EQ(A->Width(), 97);
    EXPECT_EQ(A->Height(), 20);
}

TEST_F(SkinCheckBox, EachStateShowsItsMarkInTheFlatLook) {
    Form->SetColor(TColor(0x00E0E0E0));
    auto* A = Make<TbsSkinCheckRadioBox>(u"checkbox", 10, 10, 150, 24);
    A->SetAllowGrayed(true);
    auto MarkAt = [&] { return Pixel(A, 9, 12); };
    // The mark stands at (3, Height div 2 - 6); its key outline shows the parent.
    EXPECT_EQ(MarkAt(), cMarkOff);
    EXPECT_EQ(Pixel(A, 3, 6), TColor(0xE0E0E0));
    A->SetChecked(true);
    EXPECT_EQ(MarkAt(), cMarkOn);
    MouseTo(A, 60, 12);
    EXPECT_EQ(MarkAt(), cMarkOnHot);
    A->SetChecked(false);
    EXPECT_EQ(MarkAt(), cMarkOffHot);
    MouseAway();
    A->SetState(cbGrayed);
    EXPECT_EQ(MarkAt(), cMarkGrayed);
    A->SetEnabled(false);
    A->SetState(cbChecked);
    EXPECT_EQ(MarkAt(), cMarkOnDis);
    A->SetChecked(false);
    EXPECT_EQ(MarkAt(), cMarkOffDis);
}

TEST_F(SkinCheckBox, AGrayedMarkWithoutItsOwnImageIsTheCheckMarkLightened) {
    auto* R = Make<TbsSkinCheckRadioBox>(u"radiobox", 10, 10, 150, 24);
    R->SetAllowGrayed(true);
    // The radio record has no grayed image; a check box with it lightens its check image halfway to white.
    R->SetRadio(false);
    R->SetState(cbGrayed);
    const COLORREF On = ColorToRGB(cMarkOn);
    const TColor Want = TColor(RGB(GetRValue(On) + (255 - GetRValue(On)) / 2, GetGValue(On) + (255 - GetGValue(On)) / 2,
                                   GetBValue(On) + (255 - GetBValue(On)) / 2));
    const COLORREF Got = ColorToRGB(Pixel(R, 9, 12));
    EXPECT_NEAR(GetRValue(Got), GetRValue(ColorToRGB(Want)), 1);
    EXPECT_NEAR(GetGValue(Got), GetGValue(ColorToRGB(Want)), 1);
    EXPECT_NEAR(GetBValue(Got), GetBValue(ColorToRGB(Want)), 1);
}

TEST_F(SkinCheckBox, TheFramedLookShowsTheActiveFaceAndBlendsToIt) {
    auto* A = Make<TbsSkinCheckRadioBox>(u"checkbox", 10, 10, 100, 20);
    A->SetFlat(false);
    A->ChangeSkinData();
    Pump();
    // The face (a strip), and the mark centred in its area moved with the width.
    EXPECT_EQ(ScreenPixel(A, 50, 1), cBoxNormal);
    EXPECT_EQ(A->CIRect, Bounds(2, 4, 12, 12));
    EXPECT_EQ(ScreenPixel(A, 6, 10), cMarkOff);
    MouseTo(A, 60, 10);
    EXPECT_TRUE(A->MorphRunning());
    Wait(20);
    EXPECT_NEAR(A->MorphKf(), 0.2, 1e-9);
    // The first step is a blend, nearer the normal face.
    const COLORREF Blend = ColorToRGB(ScreenPixel(A, 50, 1));
    EXPECT_GT(GetRValue(Blend), GetRValue(ColorToRGB(cBoxNormal)));
    EXPECT_LT(GetRValue(Blend), GetRValue(ColorToRGB(cBoxActive)));
    for (int I = 0; I < 5; ++I)
        Wait(20);
    EXPECT_FALSE(A->MorphRunning());
    EXPECT_EQ(ScreenPixel(A, 50, 1), cBoxActive);
    EXPECT_EQ(ScreenPixel(A, 6, 10), cMarkOffHot);
    // Disabling stops the blend and shows the normal face with the disabled mark.
    A->SetEnabled(false);
    Pump();
    EXPECT_EQ(A->MorphKf(), 0.0);
    EXPECT_EQ(ScreenPixel(A, 50, 1), cBoxNormal);
    EXPECT_EQ(ScreenPixel(A, 6, 10), cMarkOffDis);
}

TEST_F(SkinCheckBox, TheDefaultLookDrawsBoxAndMarks) {
    struct Case {
        bool Radio;
        TCheckBoxState State;
        bool Enabled;
        TColor MarkColour; // at the mark's middle, or the face colour for none
    } Cases[] = {
        {false, cbUnchecked, true, clBtnFace},  {false, cbChecked, true, clBlack}, {false, cbGrayed, true, clGrayText},
        {false, cbChecked, false, clBtnShadow}, {true, cbChecked, true, clBlack},
    };
    for (const Case& K : Cases) {
        auto* A = Make<TbsSkinCheckRadioBox>(u"", 10, 10, 120, 24);
        A->SetFlat(false);
        A->SetRadio(K.Radio);
        A->SetState(K.State);
        A->SetEnabled(K.Enabled);
        auto B = uitest::PaintToBitmap(*A);
        EXPECT_EQ(Rgb(B->Canvas()->Pixels(3, 5)), Rgb(clBtnShadow)) << K.State;
        int Found = 0;
        for (int Y = 6; Y < 18; ++Y)
            for (int X = 4; X < 16; ++X)
                Found += Rgb(B->Canvas()->Pixels(X, Y)) == Rgb(K.MarkColour);
        EXPECT_GT(Found, K.MarkColour == clBtnFace ? 100 : 4) << K.Radio << " " << K.State;
        delete A;
    }
}

TEST_F(SkinCheckBox, AFocusedFlatBoxFramesItsCaptionOrItsImage) {
    TCustomImageList Images(nullptr, 16, 16);
    TBitmap Red(16, 16);
    Fill(Red, Rect(0, 0, 16, 16), clRed);
    Images.Add(&Red, nullptr);
    auto* A = Make<TbsSkinCheckRadioBox>(u"", 10, 10, 150, 40);
    A->SetImages(&Images);
    A->SetImageIndex(0);
    A->SetFocus();
    Pump();
    auto B = uitest::PaintToBitmap(*A);
    // The image stands after the box at x 22, centred; without a caption the focus frame goes round it.
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(30, 20)), Rgb(clRed));
    int Frame = 0;
    for (int X = 21; X < 39; ++X)
        Frame += Rgb(B->Canvas()->Pixels(X, 11)) != Rgb(B->Canvas()->Pixels(X, 5));
    EXPECT_GT(Frame, 4);
    // With a caption the frame goes round the text instead, and the image keeps its place.
    A->SetCaption(u"Text");
    B = uitest::PaintToBitmap(*A);
    EXPECT_EQ(Rgb(B->Canvas()->Pixels(30, 20)), Rgb(clRed));
    int Round = 0;
    for (int X = 21; X < 39; ++X)
        Round += Rgb(B->Canvas()->Pixels(X, 11)) != Rgb(B->Canvas()->Pixels(X, 5));
    EXPECT_EQ(Round, 0);
    A->SetImages(nullptr);
}

} // namespace
