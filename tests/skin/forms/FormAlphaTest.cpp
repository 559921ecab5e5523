// The form's translucency and its fade-in when shown, counted as the opacities its window is given on the tests'
// clock; the drop shadow through the class style; the inactive-client panel.
#include <gtest/gtest.h>

#include "skin/forms/TbsClientInActivePanel.h"
#include "tests/skin/forms/LayerFrameFixture.h"

namespace formtest {
namespace {

using FormAlphaTest = SkinFormTest;

std::vector<int> Ramp(int Target) {
    std::vector<int> R{0};
    for (int A = 0; A < Target;)
        R.push_back(A = std::min(A + std::max(1, Target / 15), Target));
    return R;
}

TEST_F(FormAlphaTest, ShowingFadesInAsTheSettingsAsk) {
    const struct {
        const char* Name;
        bool AlphaBlend, Animation;
        Byte Value;
        std::vector<int> Alphas; // from the show on
        bool LayeredAfter;
    } Cases[] = {
        {"opaque value", true, false, 255, {0}, false},    {"animation alone", false, true, 200, Ramp(255), false},
        {"both at 200", true, true, 200, Ramp(200), true}, {"translucent", true, false, 200, {0, 200}, true},
        {"neither", false, false, 200, {}, false},
    };
    ASSERT_EQ(Ramp(255).size(), 16u) << "0, then 15 steps of 17";
    ASSERT_EQ(Ramp(200).size(), 17u) << "0, then 16 steps of 13, the last one capped";
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->Hide();
        Pump();
        Skin->SetAlphaBlend(false);
        Skin->SetAlphaBlendValue(C.Value);
        Skin->SetAlphaBlendAnimation(C.Animation);
        Skin->SetAlphaBlend(C.AlphaBlend);
        TAlphaRecorder Rec;
        Rec.Watched = Form->Handle();
        Form->Show();
        Wait(10);
        EXPECT_EQ(Rec.Alphas, C.Alphas);
        EXPECT_EQ(bool(GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED), C.LayeredAfter);
        EXPECT_TRUE(IsWindowVisible(Form->Handle()));
        // Nothing more comes once it has faded in.
        Rec.Alphas.clear();
        Wait(50);
        EXPECT_TRUE(Rec.Alphas.empty());
    }
}

TEST_F(FormAlphaTest, TheValueWaitsUntilAlphaBlendIsSwitchedOn) {
    TAlphaRecorder Rec;
    Rec.Watched = Form->Handle();
    Skin->SetAlphaBlendValue(90);
    EXPECT_TRUE(Rec.Alphas.empty());
    EXPECT_FALSE(GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
    Skin->SetAlphaBlend(true);
    EXPECT_EQ(Rec.Alphas, std::vector<int>{90});
    BYTE Alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(Form->Handle(), nullptr, &Alpha, nullptr));
    EXPECT_EQ(Alpha, 90);
    Skin->SetAlphaBlendValue(60);
    EXPECT_EQ(Rec.Alphas, (std::vector<int>{90, 60}));
    Skin->SetAlphaBlend(false);
    EXPECT_FALSE(GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// A skin that fades every window in gives a dialog without a value of its own the full opacity.
TEST_F(FormAlphaTest, TheSkinsAnimationForAllWindowsFadesADialogWhoseValueIsZero) {
    auto* SD = new TbsSkinData(Form.get());
    SD->SetAnimationForAllWindows(true);
    Skin->SetSkinData(SD);
    Skin->SetAlphaBlendValue(0);
    Form->Hide();
    Pump();
    TAlphaRecorder Rec;
    Rec.Watched = Form->Handle();
    Form->Show();
    Wait(10);
    EXPECT_EQ(Skin->AlphaBlendValue(), 255);
    EXPECT_EQ(Rec.Alphas, Ramp(255));
    EXPECT_FALSE(GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Closed while its fade lets the queue run: nothing goes on fading, and shown again it fades in afresh.
TEST_F(FormAlphaTest, AFormClosedDuringItsFadeLeavesNothingRunning) {
    Skin->SetAlphaBlendAnimation(true);
    Form->Hide();
    Pump();
    WNDPROC Prev = nullptr;
    Prev = SubclassWindowProc(Form->Handle(), [&Prev](HWND H, UINT Msg, WPARAM W, LPARAM L) {
        if (Msg == WM_TIMER && W == 1)
            PostMessageW(H, WM_CLOSE, 0, 0);
        return CallPrevWndProc(Prev, H, Msg, W, L);
    });
    TAlphaRecorder Rec;
    Rec.Watched = Form->Handle();
    Form->Show();
    Wait(10);
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(Rec.Alphas, std::vector<int>{0});
    Wait(50);
    EXPECT_EQ(Rec.Alphas, std::vector<int>{0}) << "no timer left behind";
    RemoveWindowProcLink(Form->Handle(), Prev);
    Rec.Alphas.clear();
    Form->Show();
    Wait(10);
    EXPECT_EQ(Rec.Alphas, Ramp(255));
    EXPECT_FALSE(GetWindowLongW(Form->Handle(), GWL_EXSTYLE) & WS_EX_LAYERED);
}

// Freed while its fade lets the queue run: the fade stops there and nothing touches the freed form.
TEST_F(FormAlphaTest, AFormFreedDuringItsFadeIsLeftAlone) {
    Skin->SetAlphaBlendAnimation(true);
    Form->Hide();
    Pump();
    WNDPROC Prev = nullptr;
    Prev = SubclassWindowProc(Form->Handle(), [&Prev](HWND H, UINT Msg, WPARAM W, LPARAM L) {
        if (Msg == WM_TIMER && W == 1)
            PostMessageW(H, CM_RELEASE, 0, 0);
        return CallPrevWndProc(Prev, H, Msg, W, L);
    });
    const HWND H = Form->Handle();
    TForm* Released = Form.release();
    std::weak_ptr<char> Alive = Released->AliveToken();
    TAlphaRecorder Rec;
    Rec.Watched = H;
    Released->Show();
    Wait(10);
    EXPECT_TRUE(Alive.expired());
    EXPECT_FALSE(IsWindow(H));
    EXPECT_EQ(Rec.Alphas, std::vector<int>{0});
}

TEST_F(FormAlphaTest, EnableShadowChangesTheClassStyleOnlyOnAChange) {
    auto Style = [this] { return GetClassLongPtrW(Form->Handle(), GCL_STYLE); };
    const ULONG_PTR Plain = Style() & ~ULONG_PTR(CS_DROPSHADOW);
    Skin->EnableShadow(true, false);
    EXPECT_TRUE(Style() & CS_DROPSHADOW);
    // Taken away behind the component's back: a second request for the same state changes nothing.
    SetClassLongPtrW(Form->Handle(), GCL_STYLE, LONG_PTR(Plain));
    Skin->EnableShadow(true, false);
    EXPECT_EQ(Style(), Plain);
    Skin->EnableShadow(false, true);
    EXPECT_EQ(Style(), Plain);
    EXPECT_TRUE(Form->Visible()) << "hidden and shown again";
    Skin->EnableShadow(true, true);
    EXPECT_TRUE(Style() & CS_DROPSHADOW);
    EXPECT_TRUE(Form->Visible());
    Skin->EnableShadow(false, false);
    EXPECT_EQ(Style(), Plain);
}

// With the semi-transparent effect a clBtnFace form shows its controls faintly through a veil of its background,
// at 170 of 255; activated again, the panel goes.
TEST_F(FormAlphaTest, TheInactivePanelVeilsTheClientAreaWhileTheFormIsInactive) {
    Form->SetColor(clBtnFace);
    auto* Black = new TPanel(Form.get());
    Black->SetParent(Form.get());
    Black->SetBevelOuter(bvNone);
    Black->SetBounds(20, 20, 60, 40);
    Black->SetColor(clBlack);
    Skin->SetClientInActiveEffect(true);
    Skin->SetClientInActiveEffectType(bsieSemiTransparent);
    Form->SetFocus();
    Pump();
    ASSERT_EQ(Skin->FInActivePanel, nullptr);
    const TPoint OnBlack = Black->ClientToScreen(TPoint{30, 20});
    EXPECT_EQ(ScreenPixel(OnBlack.X, OnBlack.Y), RGB(0, 0, 0));

    TForm Other(nullptr);
    Other.SetBounds(600, 600, 100, 100);
    Other.Show();
    Other.SetFocus();
    Pump();
    ASSERT_NE(Skin->FInActivePanel, nullptr);
    EXPECT_TRUE(Skin->FInActivePanel->Visible());
    const COLORREF Face = ColorToRGB(clBtnFace);
    auto Veiled = [](int C, int Under) { return (C * 170 + Under * 85 + 127) / 255; };
    const COLORREF P = ScreenPixel(OnBlack.X, OnBlack.Y);
    for (auto [Got, Want] :
         {std::pair{GetRValue(P), Veiled(GetRValue(Face), 0)}, std::pair{GetGValue(P), Veiled(GetGValue(Face), 0)},
          std::pair{GetBValue(P), Veiled(GetBValue(Face), 0)}})
        EXPECT_NEAR(Got, Want, 2);
    const TPoint Beside = Form->ClientToScreen(TPoint{150, 120});
    EXPECT_EQ(ScreenPixel(Beside.X, Beside.Y), Face) << "the veil over the face is the face";

    Form->SetFocus();
    Pump();
    EXPECT_EQ(Skin->FInActivePanel, nullptr);
    EXPECT_EQ(ScreenPixel(OnBlack.X, OnBlack.Y), RGB(0, 0, 0));
}

TEST_F(FormAlphaTest, HidingAPanelThatNeverShowedIsHarmless) {
    TbsClientInActivePanel Panel(nullptr);
    Panel.HidePanel();
    EXPECT_FALSE(Panel.Visible());
    EXPECT_EQ(Panel.Buffer, nullptr);
    Skin->HideClientInActiveEffect();
    EXPECT_EQ(Skin->FInActivePanel, nullptr);
}

} // namespace
} // namespace formtest
