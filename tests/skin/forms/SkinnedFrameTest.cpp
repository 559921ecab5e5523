// The skinned frame with a skin made in code: the caption buttons' layout by border icons, the window region
// from the mask, the client backgrounds, the inactive rendering, and the frame objects' mouse handling.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skin/forms/TbsSkinCaptionObject.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

constexpr TColor cFrame = 0x804020;
constexpr TColor cClient = 0x00F0F0;
constexpr TColor cButton = 0x0000C0;
constexpr TColor cButtonHot = 0x00C000;

void FillBitmap(TBitmap& B, int W, int H, TColor C) {
    B.SetPixelFormat(pf24bit);
    B.SetSize(W, H);
    B.Canvas()->Brush()->SetColor(C);
    B.Canvas()->FillRect(Rect(0, 0, W, H));
}

// A frame picture of 100 x 60: a 22-pixel caption band, 4-pixel borders, the client part (4, 22, 96, 56);
// the button pictures in active picture 0: normal faces at x 0..96, hover faces 16 pixels lower.
class SkinnedFrameTest : public SkinFormTest {
protected:
    void SetUp() override {
        SkinFormTest::SetUp();
        SD = new TbsSkinData(Form.get());
        FillBitmap(*SD->FPicture, 100, 60, cFrame);
        SD->FPicture->Canvas()->Brush()->SetColor(cClient);
        SD->FPicture->Canvas()->FillRect(Rect(4, 22, 96, 56));
        SD->LTPoint = TPoint{30, 22};
        SD->RTPoint = TPoint{35, 22};
        SD->LBPoint = TPoint{30, 56};
        SD->RBPoint = TPoint{35, 56};
        SD->ClRect = Rect(4, 22, 96, 56);
        SD->CaptionRect = Rect(20, 2, 90, 20);
        SD->ButtonsOffset = 2;
        SD->MaskRectArea = Rect(4, 4, 96, 56);
        SD->HitTestLTPoint = TPoint{5, 5};
        SD->HitTestRTPoint = TPoint{95, 5};
        SD->HitTestLBPoint = TPoint{5, 55};
        SD->HitTestRBPoint = TPoint{95, 55};
        auto Buttons = std::make_unique<TBitmap>();
        FillBitmap(*Buttons, 96, 32, cButton);
        Buttons->Canvas()->Brush()->SetColor(cButtonHot);
        Buttons->Canvas()->FillRect(Rect(0, 16, 96, 32));
        SD->FActivePictures.push_back(std::move(Buttons));
    }

    // The six caption buttons: in separate pictures (placed by the form) or at fixed places of the frame.
    void AddButtons(bool Separate) {
        const std::pair<const char16_t*, TbsStdCommand> Kinds[] = {
            {u"closebutton", cmClose},   {u"maxbutton", cmMaximize},    {u"minbutton", cmMinimize},
            {u"rollupbutton", cmRollUp}, {u"sysmenubutton", cmSysMenu}, {u"traybutton", cmMinimizeToTray}};
        int I = 0;
        for (auto [Name, Command] : Kinds) {
            auto R = std::make_unique<TbsDataSkinStdButton>(Name);
            R->Command = Command;
            R->ActivePictureIndex = 0;
            R->SkinRectInAPicture = Separate;
            R->SkinRect = Separate ? Rect(16 * I, 0, 16 * I + 16, 16) : Rect(88 - 10 * I, 3, 98 - 10 * I, 15);
            R->ActiveSkinRect = Separate ? Rect(16 * I, 16, 16 * I + 16, 32) : TRect{};
            SD->ObjectList.push_back(std::move(R));
            ++I;
        }
    }
    void AddCaption() {
        auto C = std::make_unique<TbsDataSkinCaption>(u"caption");
        C->SkinRect = Rect(20, 2, 90, 20);
        C->TextRct = Rect(0, 0, 70, 18);
        SD->ObjectList.push_back(std::move(C));
    }
    void Apply() {
        SD->Empty = false;
        Skin->SetSkinData(SD);
        Pump();
    }
    TbsActiveSkinObject* Object(const String& Name) {
        int I = Skin->GetIndex(Name);
        return I < 0 ? nullptr : Skin->Objects(I);
    }
    // Window point to the button's middle.
    void HoverObject(const String& Name) {
        const TRect R = Object(Name)->ObjectRect;
        MouseAt((R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2);
        Wait(50);
    }

    TbsSkinData* SD = nullptr;
};

TEST_F(SkinnedFrameTest, SeparateButtonPicturesCloseUpTheRowToTheBorderIcons) {
    AddButtons(true);
    AddCaption();
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize});
    Apply();
    // Without a buttons rectangle the caption rectangle (20, 2, 290, 20) at 300 wide is the row.
    EXPECT_EQ(Skin->NewCaptionRect, Rect(20, 2, 290, 20));
    EXPECT_EQ(Object(u"closebutton")->ObjectRect, Rect(274, 2, 290, 18));
    EXPECT_EQ(Object(u"minbutton")->ObjectRect, Rect(256, 2, 272, 18));
    for (const char16_t* Name : {u"maxbutton", u"rollupbutton", u"sysmenubutton", u"traybutton"})
        EXPECT_FALSE(Object(Name)->Visible) << UTF8Encode(String(Name));
    EXPECT_EQ(Object(u"caption")->ObjectRect, Rect(20, 2, 256, 20)) << "the caption ends before the buttons";

    Skin->SetHideCaptionButtons(true);
    Skin->UpdateCaptionButtons();
    for (int I = 0; I < 6; ++I) {
        EXPECT_FALSE(Skin->Objects(I)->Visible);
        EXPECT_FALSE(Skin->Objects(I)->Enabled);
    }
}

TEST_F(SkinnedFrameTest, ButtonsDrawnInTheFramePictureStayAndShowDisabled) {
    AddButtons(false);
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biMinimize});
    Apply();
    const struct {
        const char16_t* Name;
        bool Enabled;
        TRect Place;
    } Cases[] = {{u"closebutton", true, Rect(288, 3, 298, 15)},    {u"maxbutton", false, Rect(278, 3, 288, 15)},
                 {u"minbutton", true, Rect(268, 3, 278, 15)},      {u"rollupbutton", false, Rect(258, 3, 268, 15)},
                 {u"sysmenubutton", false, Rect(248, 3, 258, 15)}, {u"traybutton", false, Rect(238, 3, 248, 15)}};
    for (const auto& C : Cases) {
        TbsActiveSkinObject* O = Object(C.Name);
        EXPECT_TRUE(O->Visible) << UTF8Encode(String(C.Name));
        EXPECT_EQ(O->Enabled, C.Enabled) << UTF8Encode(String(C.Name));
        EXPECT_EQ(O->ObjectRect, C.Place) << UTF8Encode(String(C.Name));
    }
    Skin->SetHideCaptionButtons(true);
    Skin->UpdateCaptionButtons();
    EXPECT_TRUE(Object(u"closebutton")->Visible);
    EXPECT_FALSE(Object(u"closebutton")->Enabled);
}

TEST_F(SkinnedFrameTest, WithoutCaptionAndButtonsRectanglesOnlyFixedObjectsArePlaced) {
    AddButtons(true);
    SD->CaptionRect = TRect{};
    Apply();
    EXPECT_EQ(Object(u"closebutton")->ObjectRect, Rect(0, 0, 16, 16)) << "left where the record put it";
}

TEST_F(SkinnedFrameTest, TheRegionFollowsTheMaskStrips) {
    // Mask: black inside; the top-left 3 x 3 corner white (cut off).
    FillBitmap(*SD->FMask, 100, 60, clBlack);
    SD->FMask->Canvas()->Brush()->SetColor(clWhite);
    SD->FMask->Canvas()->FillRect(Rect(0, 0, 3, 3));
    Apply();
    ASSERT_NE(Skin->FRgn, nullptr);
    EXPECT_FALSE(PtInRegion(Skin->FRgn, 1, 1));
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 3, 0));
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 299, 199));
    // The mask area (4, 4, 296, 196) starts above the client part (top 22): the side strips still reach down to
    // the bottom strip, with no gap low on the left and right borders.
    for (int Y : {10, 100, 180, 190, 195}) {
        EXPECT_TRUE(PtInRegion(Skin->FRgn, 1, Y)) << "y " << Y;
        EXPECT_TRUE(PtInRegion(Skin->FRgn, 298, Y)) << "y " << Y;
        EXPECT_TRUE(Skin->IsPointInMask(TPoint{1, Y})) << "y " << Y;
    }
    EXPECT_FALSE(Skin->IsPointInMask(TPoint{1, 1}));
    EXPECT_TRUE(Skin->IsPointInMask(TPoint{150, 1}));
    EXPECT_FALSE(Skin->IsPointInMask(TPoint{300, 100})) << "outside the right strip";
    EXPECT_FALSE(Skin->IsPointInMask(TPoint{150, 200})) << "below the bottom strip";

    // The window below answers at the cut-off corner.
    TForm Below(nullptr);
    Below.SetBounds(50, 50, 200, 200);
    Below.Show();
    SetWindowPos(Form->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Pump();
    EXPECT_EQ(WindowFromPoint(TPoint{Form->Left() + 1, Form->Top() + 1}), Below.Handle());
    EXPECT_EQ(WindowFromPoint(TPoint{Form->Left() + 5, Form->Top() + 1}), Form->Handle());
}

TEST_F(SkinnedFrameTest, AMaskWithoutATopStripGivesTheMaskAreaAndTheOtherStrips) {
    FillBitmap(*SD->FMask, 100, 60, clBlack);
    SD->MaskRectArea = Rect(4, 0, 96, 56);
    Apply();
    ASSERT_NE(Skin->FRgn, nullptr);
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 150, 0));
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 1, 100)) << "left strip";
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 298, 100)) << "right strip";
    EXPECT_TRUE(PtInRegion(Skin->FRgn, 150, 198)) << "bottom strip";
    EXPECT_EQ(Skin->RMTop->Height(), 0);
}

TEST_F(SkinnedFrameTest, AVerticalStretchTilesTheClientPartDownTheForm) {
    // A client part 30 high whose first row is red.
    SD->ClRect = Rect(4, 22, 96, 52);
    SD->FPicture->Canvas()->Pen()->SetColor(clRed);
    SD->FPicture->Canvas()->MoveTo(4, 22);
    SD->FPicture->Canvas()->LineTo(96, 22);
    SD->StretchEffect = true;
    SD->StretchType = bsstVert;
    Form->SetHeight(100);
    Apply();
    TBitmap B;
    FillBitmap(B, 300, 100, clBlack);
    Skin->PaintBG(B.Canvas()->Handle());
    for (int Y : {0, 30, 60, 90})
        EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(10, Y)), ColorToRGB(clRed)) << "y " << Y;
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(10, 31)), ColorToRGB(cClient));

    // A client part of no height fills the client area plainly and never loops.
    SD->ClRect = Rect(4, 22, 96, 22);
    FillBitmap(B, 300, 100, clBlack);
    Skin->PaintBG(B.Canvas()->Handle());
    SD->StretchEffect = false;
    Skin->PaintBG(B.Canvas()->Handle());
    Skin->PaintBG2(B.Canvas()->Handle());
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(10, 10)), ColorToRGB(clBtnFace));
}

TEST_F(SkinnedFrameTest, AnInactiveFormRendersItsFrameGreyAndLeavesTheClient) {
    SD->AutoRenderingInActiveImage = true;
    SD->InActiveEffect = ieGrayScale;
    Apply();
    TForm Other(nullptr);
    Other.SetBounds(600, 600, 100, 100);
    Other.Show();
    Pump();
    ASSERT_FALSE(Skin->GetFormActive());
    TBitmap B;
    FillBitmap(B, 300, 200, clLime);
    SendMessageW(Form->Handle(), WM_PAINTFRAMETODC, WPARAM(B.Canvas()->Handle()), 0);
    const COLORREF Edge = ColorToRGB(B.Canvas()->Pixels(1, 100));
    EXPECT_EQ(GetRValue(Edge), GetGValue(Edge));
    EXPECT_EQ(GetGValue(Edge), GetBValue(Edge));
    EXPECT_NE(Edge, ColorToRGB(cFrame));
    EXPECT_EQ(ColorToRGB(B.Canvas()->Pixels(150, 100)), ColorToRGB(clLime)) << "client untouched";
}

TEST_F(SkinnedFrameTest, AButtonWithoutActivePictureNeverMorphs) {
    AddButtons(true);
    for (auto& R : SD->ObjectList) {
        R->Morphing = true;
        if (R->IDName == u"closebutton")
            R->ActivePictureIndex = -1;
    }
    Apply();
    TbsActiveSkinObject* Close = Object(u"closebutton");
    EXPECT_FALSE(Close->Morphing);
    EXPECT_TRUE(IsNullRect(Close->ActiveSkinRect));
    HoverObject(u"closebutton");
    EXPECT_TRUE(Close->Active);
    for (int I = 0; I < 6; ++I)
        Wait(25);
    EXPECT_EQ(Close->MorphKf(), 0.0);
    HoverObject(u"minbutton");
    for (int I = 0; I < 6; ++I)
        Wait(25);
    EXPECT_EQ(Object(u"minbutton")->MorphKf(), 1.0) << "a button with a hover image morphs in five steps";
}

TEST_F(SkinnedFrameTest, CloseReportsTheReleaseBeforeTheFormCloses) {
    AddButtons(true);
    Apply();
    std::vector<std::string> Log;
    Skin->OnMouseUpEvent = [&Log](const String& ID, int, int, const TRect&, TMouseButton) {
        Log.push_back("up " + UTF8Encode(ID));
    };
    Form->OnClose = [&Log](TObject*, TCloseAction& Action) {
        Log.push_back("close");
        Action = caNone;
    };
    // Pressed, moved off and released: nothing runs.
    HoverObject(u"closebutton");
    InjectMouseButton(0, true);
    Pump();
    MouseAt(150, 100);
    Wait(50);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_TRUE(Log.empty());
    EXPECT_FALSE(static_cast<TbsSkinButtonObject*>(Object(u"closebutton"))->Down());

    HoverObject(u"closebutton");
    InjectMouseButton(0, true);
    Pump();
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log, (std::vector<std::string>{"up closebutton", "close"}));
    EXPECT_FALSE(Object(u"closebutton")->Active) << "the hover is taken off before the command";
}

TEST_F(SkinnedFrameTest, AnAnimateButtonStepsAtItsIntervalRoundedUpTo25) {
    for (int Interval : {10, 60}) {
        SD->ObjectList.clear();
        auto A = std::make_unique<TbsDataSkinAnimate>(u"spin");
        A->SkinRect = Rect(40, 2, 56, 18);
        A->ActiveSkinRect = Rect(0, 0, 16, 16);
        A->ActivePictureIndex = 0;
        A->CountFrames = 4;
        A->Cycle = true;
        A->ButtonStyle = true;
        A->TimerInterval = Interval;
        SD->ObjectList.push_back(std::move(A));
        SD->Empty = true;
        Skin->SetSkinData(nullptr);
        Apply();
        auto* O = static_cast<TbsSkinAnimateObject*>(Object(u"spin"));
        O->Start();
        std::vector<int> Frames;
        for (int T = 25; T <= 150; T += 25) {
            Wait(25);
            Frames.push_back(O->Frame());
        }
        const std::vector<int> Expected =
            Interval == 10 ? std::vector<int>{2, 3, 4, 1, 2, 3} : std::vector<int>{1, 1, 2, 2, 2, 3};
        EXPECT_EQ(Frames, Expected) << "interval " << Interval;
    }
}

TEST_F(SkinnedFrameTest, TheHoverGoesBeforeEveryCommandButRollUp) {
    AddButtons(true);
    Skin->SetBorderIcons(TbsBorderIcons{TbsBorderIcon::biSystemMenu, TbsBorderIcon::biMinimize,
                                        TbsBorderIcon::biMaximize, TbsBorderIcon::biRollUp,
                                        TbsBorderIcon::biMinimizeToTray});
    Apply();
    Form->OnClose = [](TObject*, TCloseAction& Action) { Action = caNone; };
    const std::pair<const char16_t*, bool> Cases[] = {{u"closebutton", false},
                                                      {u"maxbutton", false},
                                                      {u"minbutton", false},
                                                      {u"traybutton", false},
                                                      {u"rollupbutton", true}};
    for (auto [Name, KeepsHover] : Cases) {
        Skin->SetWindowState(wsNormal);
        Skin->SetRollUpState(false);
        Pump();
        HoverObject(Name);
        auto* B = static_cast<TbsSkinStdButtonObject*>(Object(Name));
        ASSERT_TRUE(B->Active) << UTF8Encode(String(Name));
        B->DoCommand();
        EXPECT_EQ(B->Active, KeepsHover) << UTF8Encode(String(Name));
        EXPECT_EQ(Skin->ActiveObject == Skin->GetIndex(Name), KeepsHover) << UTF8Encode(String(Name));
    }
}

// The frame objects hold the skin's pictures: a skin data that goes takes them along, and the default frame
// comes back.
TEST_F(SkinnedFrameTest, AFreedSkinDataLeavesTheDefaultFrame) {
    AddButtons(true);
    AddCaption();
    Apply();
    HoverObject(u"closebutton");
    delete SD;
    SD = nullptr;
    Pump();
    Wait(100);
    EXPECT_EQ(Skin->SkinData(), nullptr);
    EXPECT_EQ(Skin->ObjectCount(), 6) << "the default buttons";
    EXPECT_EQ(ClientInWindow().Top, 19 + 3);
    EXPECT_EQ(WindowPixel(0, 0), ColorToRGB(cl3DLight));
}

// The caption: a skinned caption band with white text, and two 16 x 16 quick buttons at its left end.
class CaptionTest : public SkinnedFrameTest {
protected:
    TbsDataSkinCaption* AddCaptionRecord() {
        auto C = std::make_unique<TbsDataSkinCaption>(u"caption");
        C->SkinRect = Rect(20, 2, 90, 20);
        C->TextRct = Rect(0, 0, 70, 18);
        C->FontName = u"Arial";
        C->FontHeight = 14;
        C->FontColor = clWhite;
        C->ActiveFontColor = clWhite;
        C->Alignment = taLeftJustify;
        auto* Raw = C.get();
        SD->ObjectList.push_back(std::move(C));
        return Raw;
    }
    void AddQuickButtons() {
        Images = std::make_unique<TImageList>(nullptr, 16, 16);
        TBitmap B;
        FillBitmap(B, 16, 16, cButton);
        Images->Add(&B, nullptr);
        Skin->SetQuickImageList(Images.get());
        for (int I = 0; I < 2; ++I)
            Skin->QuickButtons()->Add()->SetImageIndex(0);
    }
    TbsSkinCaptionObject* Caption() { return static_cast<TbsSkinCaptionObject*>(Object(u"caption")); }
    void TearDown() override {
        SkinnedFrameTest::TearDown();
        Images.reset();
    }
    std::unique_ptr<TImageList> Images;
};

TEST_F(CaptionTest, WithQuickButtonsTheTextIsCentredRightOfTheirStrip) {
    AddCaptionRecord();
    AddQuickButtons();
    Form->SetCaption(u"Skinned");
    Apply();
    TbsSkinCaptionObject* C = Caption();
    const TRect R = C->ObjectRect;
    ASSERT_EQ(C->QuickButtonsWidth(), 2 * (16 + 8));
    int Left = 10000, Right = -1;
    // Whatever is not the caption band right of the quick buttons (which end 44 px in) is the text's ink.
    for (int Y = R.Top; Y < R.Bottom; ++Y)
        for (int X = R.Left + 44; X < R.Right; ++X)
            if (WindowPixel(X, Y) != ColorToRGB(cFrame)) {
                Left = std::min(Left, X);
                Right = std::max(Right, X);
            }
    ASSERT_GE(Right, 0) << "no text drawn";
    EXPECT_GE(Left, R.Left + 48) << "the text starts right of the strip";
    const int Centre = R.Left + (48 + GetRectWidth(R)) / 2;
    EXPECT_NEAR((Left + Right + 1) / 2, Centre, 3) << "whatever the alignment says";
}

TEST_F(CaptionTest, AQuickButtonClicksOnReleaseOverItWhereverThePressBegan) {
    AddCaptionRecord();
    AddQuickButtons();
    std::vector<int> Clicks;
    TObject* ClickSender = nullptr;
    for (int I = 0; I < 2; ++I)
        Skin->QuickButtons()->Items(I)->OnClick = [&Clicks, &ClickSender, I](TObject* Sender) {
            Clicks.push_back(I);
            ClickSender = Sender;
        };
    Apply();
    TbsSkinCaptionObject* C = Caption();
    const TRect Second = Skin->QuickButtons()->Items(1)->ItemRect;
    const TPoint Elsewhere{C->ObjectRect.Right - 10, C->ObjectRect.Top + 5};
    const TPoint OnSecond{Second.Left + 3, Second.Top + 3};

    C->MouseDown(Elsewhere.X, Elsewhere.Y, mbLeft);
    C->MouseUp(Elsewhere.X, Elsewhere.Y, mbLeft);
    EXPECT_TRUE(Clicks.empty());
    C->MouseDown(Elsewhere.X, Elsewhere.Y, mbLeft);
    C->MouseMove(OnSecond.X, OnSecond.Y);
    C->MouseUp(OnSecond.X, OnSecond.Y, mbLeft);
    EXPECT_EQ(Clicks, std::vector<int>{1});
    EXPECT_EQ(ClickSender, C);
    EXPECT_FALSE(Skin->QuickButtons()->Items(1)->Down);
}

// Deactivated, an animated caption runs its frames back only with InActiveAnimation; otherwise it jumps.
TEST_F(CaptionTest, WithoutInActiveAnimationTheCaptionJumpsToItsInactiveLook) {
    for (bool Animated : {false, true}) {
        SD->ObjectList.clear();
        TbsDataSkinCaption* R = AddCaptionRecord();
        R->ActivePictureIndex = 0;
        R->ActiveSkinRect = Rect(0, 0, 70, 18);
        R->AnimateSkinRect = Rect(0, 0, 96, 16);
        R->FrameCount = 3;
        R->AnimateInterval = 25;
        R->InActiveAnimation = Animated;
        SD->SetEnableSkinEffects(true);
        SD->Empty = true;
        Skin->SetSkinData(nullptr);
        Form->SetFocus();
        Apply();
        for (int I = 0; I < 6; ++I)
            Wait(25);
        TbsSkinCaptionObject* C = Caption();
        ASSERT_TRUE(C->Active);
        TForm Other(nullptr);
        Other.SetBounds(600, 600, 100, 100);
        Other.Show();
        Pump();
        ASSERT_FALSE(C->Active);
        std::vector<int> Frames{C->CurrentFrame};
        for (int I = 0; I < 3; ++I) {
            Wait(25);
            Frames.push_back(C->CurrentFrame);
        }
        const std::vector<int> Expected = Animated ? std::vector<int>{3, 2, 1, 0} : std::vector<int>{0, 0, 0, 0};
        EXPECT_EQ(Frames, Expected) << "InActiveAnimation " << Animated;
    }
}

} // namespace
} // namespace formtest
