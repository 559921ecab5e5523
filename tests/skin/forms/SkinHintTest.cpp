// Skinned hints: the hint window's text, size and place in both looks, its fade-in, the component that governs
// it on the main form, and the delayed hints the library shows itself. A gallery of hints in two stored skins
// and the default look is saved as artifacts/hints_<skin>.png.
#include <gtest/gtest.h>

#include <vector>

#include "skin/forms/bsSkinHint.h"
#include "tests/skin/controls/GalleryFixture.h"

namespace formtest {
namespace {

std::unique_ptr<TImageList> SquareImages(TColor C) {
    auto Images = std::make_unique<TImageList>(nullptr, 16, 16);
    TBitmap B;
    B.SetSize(16, 16);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(Rect(0, 0, 16, 16));
    Images->Add(&B, nullptr);
    return Images;
}

class SkinHintTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Application->CreateForm(Main);
        Main->SetBounds(100, 100, 300, 200);
        Main->Show();
        Pump();
        Hint = new TbsSkinHint(Main);
    }
    TbsSkinHintWindow* Window() { return Hint->HintWindow(); }
    // The size DrawText gives the text in the hint window's font.
    TSize TextSize(const String& Text) {
        RECT R{0, 0, 0, 0};
        DrawTextW(Window()->Canvas()->Handle(), Text.c_str(), int(Text.size()), &R, DT_CALCRECT);
        return TSize{R.Right - R.Left, R.Bottom - R.Top};
    }
    // A 200 x 30 hint picture whose middle column (95 .. 105) is all that stretches: short texts grow the
    // window until its corners meet.
    TbsSkinData* HintSkin() {
        auto* SD = new TbsSkinData(Main);
        auto Pic = std::make_unique<TBitmap>();
        Pic->SetSize(200, 30);
        Pic->Canvas()->Brush()->SetColor(TColor(0x305070));
        Pic->Canvas()->FillRect(Rect(0, 0, 200, 30));
        SD->FActivePictures.push_back(std::move(Pic));
        TbsDataSkinHintWindow& R = *SD->HintWindow;
        R.WindowPictureIndex = 0;
        R.LTPoint = TPoint{95, 8};
        R.RTPoint = TPoint{105, 8};
        R.LBPoint = TPoint{95, 22};
        R.RBPoint = TPoint{105, 22};
        R.ClRect = Rect(20, 6, 180, 24);
        R.FontColor = clWhite;
        SD->Empty = false;
        return SD;
    }

    TForm* Main = nullptr;
    TbsSkinHint* Hint = nullptr;
};

TEST_F(SkinHintTest, TheSeparatorBreaksTheTextIntoLines) {
    Hint->ActivateHint(TPoint{300, 300}, u"a@b");
    EXPECT_EQ(Window()->Caption(), u"a\n\rb");
    const int TwoLines = Window()->Height();
    Hint->ActivateHint(TPoint{300, 300}, u"a");
    EXPECT_GT(TwoLines, Window()->Height());
    Hint->ActivateHint(TPoint{300, 300}, u"a@");
    EXPECT_EQ(Window()->Caption(), u"a\n\r");
}

TEST_F(SkinHintTest, TheDefaultLookIsTheTextWithAFramedMarginOf2) {
    Hint->ActivateHint(TPoint{300, 300}, u"Close");
    Pump();
    TSize T = TextSize(u"Close");
    EXPECT_EQ(Window()->BoundsRect(), Rect(300, 300, 300 + T.cx + 4, 300 + T.cy + 4));
    EXPECT_TRUE(IsWindowVisible(Window()->Handle()));
    EXPECT_EQ(TColor(ScreenPixel(300, 300)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(TColor(ScreenPixel(300 + T.cx + 3, 300 + T.cy + 3)), ColorToRGB(clBtnShadow));
    EXPECT_EQ(TColor(ScreenPixel(301, 301)), ColorToRGB(clInfoBk));
}

// The work area is 1920 x 1040: a hint that would leave it opens on the other side of the point.
TEST_F(SkinHintTest, AtTheWorkAreasEdgesTheHintFlipsToTheOtherSideOfThePoint) {
    struct Case {
        TPoint P;
        bool FlipX, FlipY;
    };
    const Case Cases[] = {{{1000, 500}, false, false}, {{1915, 500}, true, false}, {{1000, 1035}, false, true}};
    for (const Case& C : Cases) {
        Hint->ActivateHint(C.P, u"Minimize to Tray");
        const int W = Window()->Width(), H = Window()->Height();
        EXPECT_EQ(Window()->Left(), C.FlipX ? C.P.X - W - 2 : C.P.X) << C.P.X << "," << C.P.Y;
        EXPECT_EQ(Window()->Top(), C.FlipY ? C.P.Y - H - 2 : C.P.Y) << C.P.X << "," << C.P.Y;
    }
}

// The fade paints once per step; with a target of 10 the step is 1.
TEST_F(SkinHintTest, TheFadeInStepsByAFifteenthAtLeastOne) {
    Hint->SetAlphaBlend(true);
    Hint->SetAlphaBlendAnimation(true);
    Hint->SetAlphaBlendValue(10);
    Window()->HandleNeeded();
    std::vector<int> AlphaAtPaint;
    TWndMethod Previous = Window()->WindowProc();
    Window()->SetWindowProc([&](TMessage& M) {
        if (M.Msg == WM_PAINT) {
            BYTE A = 255;
            GetLayeredWindowAttributes(Window()->Handle(), nullptr, &A, nullptr);
            AlphaAtPaint.push_back(A);
        }
        Previous(M);
    });
    Hint->ActivateHint(TPoint{300, 300}, u"Fade");
    BYTE Final = 0;
    GetLayeredWindowAttributes(Window()->Handle(), nullptr, &Final, nullptr);
    EXPECT_EQ(Final, 10);
    EXPECT_EQ(AlphaAtPaint, (std::vector<int>{0, 0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
    Window()->SetWindowProc(Previous);
}

TEST_F(SkinHintTest, AShortTextGrowsTheSkinnedWindowUntilItsCornersMeet) {
    Hint->SetSkinData(HintSkin());
    Hint->ActivateHint(TPoint{300, 300}, u"Close");
    TSize T = TextSize(u"Close");
    ASSERT_LT(T.cx, 140);
    // 20 + 20 of fixed margins and 5 more would leave the middle column 105 - 95 px short of meeting.
    EXPECT_EQ(Window()->Width(), 190);
    EXPECT_EQ(Window()->Height(), T.cy + 12);
    EXPECT_EQ(Window()->NewRTPoint.X, Window()->NewLTPoint.X);
    EXPECT_EQ(Window()->NewClRect, Rect(20, 6, 170, T.cy + 12 - 6));
}

TEST_F(SkinHintTest, ATitleLessHintWithAnImageLeavesRoomForTheImage) {
    auto Images = SquareImages(TColor(0x2060E0));
    Hint->ActivateHintEx(TPoint{300, 300}, u"", u"Open", 0, Images.get());
    Pump();
    TSize T = TextSize(u"Open");
    EXPECT_TRUE(Window()->AExtendedStyle);
    EXPECT_EQ(Window()->Width(), T.cx + 16 + 10 + 4);
    EXPECT_EQ(Window()->Height(), std::max(T.cy, 16 + 5) + 4);
    // The image at the left margin, centred vertically.
    const int ImageTop = 300 + 2 + (Window()->Height() - 4) / 2 - 8;
    EXPECT_EQ(TColor(ScreenPixel(302, ImageTop)), TColor(0x2060E0));
    EXPECT_EQ(TColor(ScreenPixel(302 + 15, ImageTop + 15)), TColor(0x2060E0));
}

TEST_F(SkinHintTest, OnlyOneComponentOfTheMainFormIsActive) {
    auto* Second = new TbsSkinHint(Main);
    EXPECT_EQ(GetGoverningSkinHint(), Hint) << "the first active one in component order";
    Second->SetActive(true);
    EXPECT_FALSE(Hint->Active());
    EXPECT_EQ(GetGoverningSkinHint(), Second);
    Hint->SetActive(true);
    EXPECT_FALSE(Second->Active());
    Hint->SetActive(false);
    EXPECT_EQ(GetGoverningSkinHint(), nullptr);
    Hint->ActivateHint(TPoint{300, 300}, u"nobody governs");
    EXPECT_FALSE(Hint->IsVisible());
}

TEST_F(SkinHintTest, AnOwnHintWaitsForTheHintPauseAndGoesAfterTheHidePause) {
    Application->SetHintPause(500);
    Application->SetHintHidePause(2500);
    InjectMouseMove(400, 400);
    Pump();
    Hint->ActivateHint2(u"Close");
    Wait(450);
    EXPECT_FALSE(Hint->IsVisible());
    Wait(60);
    EXPECT_TRUE(Hint->IsVisible());
    EXPECT_EQ(Window()->Left(), 400);
    EXPECT_EQ(Window()->Top(), 400 + Hint->GetCursorHeightMargin());
    Wait(2550);
    EXPECT_FALSE(Hint->IsVisible());

    // A hide while the hint is pending cancels it; so does freeing the component.
    Hint->ActivateHint2(u"Close");
    Hint->HideHint();
    Wait(600);
    EXPECT_FALSE(Hint->IsVisible());
    Hint->ActivateHint3(Rect(500, 500, 600, 520), u"Close", true);
    delete Hint;
    Wait(600);
}

TEST_F(SkinHintTest, AHintAgainstARectangleIsCentredAboveOrBelowIt) {
    Application->SetHintPause(100);
    for (bool Top : {true, false}) {
        Hint->ActivateHint3(Rect(500, 500, 600, 520), u"Roll Up", Top);
        Wait(110);
        ASSERT_TRUE(Hint->IsVisible());
        const int W = Window()->Width(), H = Window()->Height();
        EXPECT_EQ(Window()->Left(), 550 - W / 2);
        EXPECT_EQ(Window()->Top(), Top ? 500 - H : 520);
        EXPECT_FALSE(Window()->AExtendedStyle);
    }
}

// ---------------------------------------------------------------------------------------------

class HintGalleryTest : public ctltest::GalleryTest {
protected:
    HintGalleryTest() : ctltest::GalleryTest(200, 100) {}
};

TEST_P(HintGalleryTest, PlainAndWithTitleAndImage) {
    TForm* Main = nullptr;
    Application->CreateForm(Main);
    auto* Hint = new TbsSkinHint(Main);
    if (GetParam() >= 0)
        Hint->SetSkinData(Skin);
    auto Images = SquareImages(TColor(0x20A040));
    NewSheet(520, 120);
    Hint->ActivateHint(TPoint{400, 500}, u"Minimize to Tray@最小化到托盘");
    Pump();
    TbsSkinHintWindow* W = Hint->HintWindow();
    ASSERT_TRUE(IsWindowVisible(W->Handle()));
    PasteScreen(TPoint{400, 500}, std::min(W->Width(), 240), std::min(W->Height(), 100), 10, 10);
    Hint->ActivateHintEx(TPoint{400, 500}, u"Output folder", u"Where the converted files go", 0, Images.get());
    Pump();
    PasteScreen(TPoint{400, 500}, std::min(W->Width(), 250), std::min(W->Height(), 100), 260, 10);
    SaveSheet("hints");
}

INSTANTIATE_TEST_SUITE_P(StoredSkins, HintGalleryTest, ::testing::Values(-1, 0, 5));

} // namespace
} // namespace formtest
