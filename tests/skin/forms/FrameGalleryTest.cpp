// One skinned form in each of the program's stored skins and in the default look, for a person to look at:
// active with a hovered caption button and two quick buttons, then inactive. Saved as
// artifacts/frames_<skin>.png beside the test programs.
#include <gtest/gtest.h>

#include "skin/forms/TbsSkinCaptionObject.h"
#include "skin/forms/bsSkinForm.h"
#include "tests/skin/controls/GalleryFixture.h"

namespace formtest {
namespace {

class FrameGalleryTest : public ctltest::GalleryTest {
protected:
    FrameGalleryTest() : ctltest::GalleryTest(480, 300) {}

    void SetUp() override {
        ctltest::GalleryTest::SetUp();
        Form->SetCaption(u"Skinned frame 框架");
        Images = std::make_unique<TImageList>(nullptr, 16, 16);
        for (TColor C : {TColor(0x2060E0), TColor(0x20A040)}) {
            TBitmap B;
            B.SetSize(16, 16);
            B.Canvas()->Brush()->SetColor(clFuchsia);
            B.Canvas()->FillRect(Rect(0, 0, 16, 16));
            B.Canvas()->Brush()->SetColor(C);
            B.Canvas()->FillRect(Rect(3, 3, 13, 13));
            Images->AddMasked(&B, clFuchsia);
        }
        SkinForm = new TbsSkinForm(Form.get());
        SkinForm->SetQuickImageList(Images.get());
        for (int I = 0; I < 2; ++I)
            SkinForm->QuickButtons()->Add()->SetImageIndex(I);
        if (GetParam() >= 0)
            SkinForm->SetSkinData(Skin);
        // The fixture showed the form before the component took it over.
        Form->Hide();
        Form->Show();
        Form->SetFocus();
        Pump();
    }
    void TearDown() override {
        Other.reset();
        ctltest::GalleryTest::TearDown();
        Images.reset();
    }
    // The desktop shows through the form's region only at its four corners (the mask's rounding).
    void ExpectNoHoles() {
        const COLORREF Desktop = ScreenPixel(1900, 5);
        const int W = Form->Width(), H = Form->Height(), Corner = 14;
        std::vector<DWORD> Px = CaptureScreen(RECT{Form->Left(), Form->Top(), Form->Left() + W, Form->Top() + H});
        int Holes = 0;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const DWORD P = Px[std::size_t(Y * W + X)];
                const bool InCorner = (X < Corner || X >= W - Corner) && (Y < Corner || Y >= H - Corner);
                if (!InCorner && RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF) == Desktop)
                    ++Holes;
            }
        EXPECT_EQ(Holes, 0);
    }
    // The caption button with the command, or null.
    TbsActiveSkinObject* Button(TbsStdCommand Command) {
        for (int I = 0; I < SkinForm->ObjectCount(); ++I)
            if (auto* B = dynamic_cast<TbsSkinStdButtonObject*>(SkinForm->Objects(I)))
                if (B->Command == Command && B->Visible)
                    return B;
        return nullptr;
    }

    TbsSkinForm* SkinForm = nullptr;
    std::unique_ptr<TImageList> Images;
    std::unique_ptr<TForm> Other;
};

TEST_P(FrameGalleryTest, ActiveHoveredAndInactive) {
    const int W = Form->Width(), H = Form->Height();
    NewSheet(2 * W + 30, H + 20);
    ASSERT_TRUE(SkinForm->GetFormActive());
    TbsActiveSkinObject* Close = Button(cmClose);
    ASSERT_NE(Close, nullptr);
    const TRect R = Close->ObjectRect;
    InjectMouseMove(Form->Left() + (R.Left + R.Right) / 2, Form->Top() + (R.Top + R.Bottom) / 2);
    Pump();
    for (int I = 0; I < 10; ++I)
        Wait(25); // hover and morph run to their end
    EXPECT_TRUE(Close->Active);
    ExpectNoHoles();
    PasteScreen(TPoint{Form->Left(), Form->Top()}, W, H, 10, 10);

    InjectMouseMove(5, 1000);
    Pump();
    Other = std::make_unique<TForm>(nullptr);
    Other->SetBounds(900, 700, 100, 80);
    Other->Show();
    Pump();
    for (int I = 0; I < 20; ++I)
        Wait(25); // the caption's deactivation effects run to their end
    EXPECT_FALSE(SkinForm->GetFormActive());
    ExpectNoHoles();
    PasteScreen(TPoint{Form->Left(), Form->Top()}, W, H, W + 20, 10);
    SaveSheet("frames");
}

INSTANTIATE_TEST_SUITE_P(StoredSkins, FrameGalleryTest, ::testing::Range(-1, 9));

} // namespace
} // namespace formtest
