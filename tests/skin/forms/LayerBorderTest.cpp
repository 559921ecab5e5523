// The skin's layer frame around a skinned form: the four strip windows, their pictures and places, their opacity
// with the form's activation and fade, sizing the form through them, and when no strip is made at all.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "platform/gdi/Graphics.h"
#include "tests/skin/forms/LayerFrameFixture.h"

namespace formtest {
namespace {

using LayerBorderTest = LayerFrameTest;

TbsColor Straight(TColor C, BYTE A) {
    return (TbsColor(A) << 24) | (TbsColor(GetRValue(C)) << 16) | (TbsColor(GetGValue(C)) << 8) | GetBValue(C);
}

TRect WindowRect(TControl* C) {
    RECT R;
    GetWindowRect(static_cast<TWinControl*>(C)->Handle(), &R);
    return TRect{R.Left, R.Top, R.Right, R.Bottom};
}

std::vector<int> Ramp(int Target) {
    std::vector<int> R{0};
    for (int A = 0; A < Target;)
        R.push_back(A = std::min(A + std::max(1, Target / 15), Target));
    return R;
}

// The tray icon marks the main form it shows and posts 1426: with its strips in use the form comes forward, and a
// visible stay-on-top form above it again; the mark is cleared either way.
TEST_F(LayerBorderTest, AFormTheTrayShowsComesForwardBelowTheStayOnTopForm) {
    Apply();
    ASSERT_TRUE(Border()->Visible());
    auto Other = std::make_unique<TForm>(nullptr);
    Other->SetBounds(500, 100, 100, 100);
    Other->Show();
    Pump();
    ASSERT_EQ(GetForegroundWindow(), Other->Handle());

    Form->SetTag(-10000);
    PostMessageW(Form->Handle(), 1426, 0, 0);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), Form->Handle());
    EXPECT_EQ(Form->Tag(), 0);

    auto OnTop = std::make_unique<TForm>(nullptr);
    OnTop->SetFormStyle(fsStayOnTop);
    OnTop->SetBounds(600, 100, 100, 100);
    OnTop->Show();
    Pump();
    SetForegroundWindow(Other->Handle());
    Pump();
    Form->SetTag(-10000);
    PostMessageW(Form->Handle(), 1426, 0, 0);
    Pump();
    EXPECT_EQ(GetForegroundWindow(), OnTop->Handle());
    EXPECT_EQ(Form->Tag(), 0);
}

// Form at (100, 100), 300 x 200; the layer picture is 80 x 70 with the form's place (10, 10, 70, 60): the frame is
// (90, 90) to (410, 310), its strips 10 deep.
TEST_F(LayerBorderTest, TheStripsSurroundTheFormAndFollowItsMovesAndSizes) {
    Apply();
    ASSERT_TRUE(Border()->Visible());
    EXPECT_EQ(StripWindows(), 4);
    const struct {
        TbsFormLayerBorderType Type;
        TRect At;
        TColor Colour;
    } Cases[] = {{bsflTop, Rect(90, 90, 410, 100), cLayerTop},
                 {bsflBottom, Rect(90, 300, 410, 310), cLayerBottom},
                 {bsflLeft, Rect(90, 100, 100, 300), cLayerLeft},
                 {bsflRight, Rect(400, 100, 410, 300), cLayerRight}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(int(C.Type));
        ASSERT_NE(Strip(C.Type), nullptr);
        EXPECT_EQ(WindowRect(Strip(C.Type)), C.At);
        EXPECT_TRUE(IsWindowVisible(Strip(C.Type)->Handle()));
        TbsBitmap* B = Border()->Image(C.Type);
        EXPECT_EQ(*B->GetPixelPtr(0, 0), Straight(C.Colour, LayerMaskGrey));
        EXPECT_EQ(*B->GetPixelPtr(B->Width() - 1, B->Height() - 1), Straight(C.Colour, LayerMaskGrey));
    }
    // The top's corners keep their size; its middle (source 20 to 60) is stretched over 280 pixels.
    TbsBitmap* Top = Border()->Image(bsflTop);
    for (auto [X, Marked] : {std::pair{159, false}, {160, true}, {166, true}, {167, false}, {19, false}, {300, false}})
        EXPECT_EQ(*Top->GetPixelPtr(X, 5), Straight(Marked ? cLayerMark : cLayerTop, LayerMaskGrey)) << "x " << X;
    // On the screen the strip is translucent: neither the desktop nor its own colour.
    const COLORREF Desk = ScreenPixel(50, 50);
    EXPECT_NE(ScreenPixel(95, 200), Desk);
    EXPECT_NE(ScreenPixel(95, 200), ColorToRGB(cLayerLeft));

    Form->SetBounds(200, 150, 300, 200);
    Pump();
    EXPECT_EQ(WindowRect(Strip(bsflTop)), Rect(190, 140, 510, 150));
    EXPECT_EQ(WindowRect(Strip(bsflRight)), Rect(500, 150, 510, 350));
    Form->SetBounds(200, 150, 400, 250);
    Pump();
    EXPECT_EQ(WindowRect(Strip(bsflTop)), Rect(190, 140, 610, 150));
    EXPECT_EQ(WindowRect(Strip(bsflLeft)), Rect(190, 150, 200, 400));
    EXPECT_EQ(WindowRect(Strip(bsflBottom)), Rect(190, 400, 610, 410));
    EXPECT_EQ(StripWindows(), 4);
}

// A frame lower than the top and bottom strips together has no side strips; grown again, they come back.
TEST_F(LayerBorderTest, AFrameLowerThanTopAndBottomHasNoSideStrips) {
    Apply();
    Border()->Show(500, 500, 100, 15);
    EXPECT_NE(Strip(bsflTop), nullptr);
    EXPECT_NE(Strip(bsflBottom), nullptr);
    EXPECT_EQ(Strip(bsflLeft), nullptr);
    EXPECT_EQ(Strip(bsflRight), nullptr);
    EXPECT_EQ(WindowRect(Strip(bsflBottom)), Rect(500, 505, 600, 515)) << "overlapping the top";
    Border()->SetBounds(500, 500, 100, 60);
    ASSERT_NE(Strip(bsflLeft), nullptr);
    EXPECT_EQ(WindowRect(Strip(bsflLeft)), Rect(500, 510, 510, 550));
    EXPECT_EQ(WindowRect(Strip(bsflRight)), Rect(590, 510, 600, 550));
    EXPECT_TRUE(IsWindowVisible(Strip(bsflRight)->Handle()));
    Border()->SetBounds(500, 500, 100, 20);
    EXPECT_EQ(Strip(bsflLeft), nullptr);
    EXPECT_EQ(StripWindows(), 2);
}

// With a sizing zone around the form, a magnetic form snaps that zone's outer edge to the work area's.
TEST_F(LayerBorderTest, AMagneticFormSnapsTheOuterEdgeOfItsSizingZone) {
    Apply();
    Skin->SetMagnetic(true);
    auto Moving = [this](int CursorX, int Left, int Top) {
        Skin->HMagnetized = Skin->VMagnetized = Skin->HMagnetized2 = Skin->VMagnetized2 = false;
        InjectMouseMove(CursorX, 500);
        Pump();
        RECT R{Left, Top, Left + 300, Top + 200};
        SendMessageW(Form->Handle(), WM_MOVING, 0, LPARAM(&R));
        return TPoint{R.Left, R.Top};
    };
    EXPECT_EQ(Moving(500, 8, 300), (TPoint{6, 300})) << "the zone's left edge at 0";
    EXPECT_EQ(Moving(500, 300, 8), (TPoint{300, 6}));
    EXPECT_EQ(Moving(1700, 1616, 300), (TPoint{1614, 300})) << "the zone's right edge at 1920";
    EXPECT_EQ(Moving(500, 300, 836), (TPoint{300, 834})) << "the zone's bottom edge at 1040";
    EXPECT_EQ(Moving(500, 300, 500), (TPoint{300, 500}));
}

TEST_F(LayerBorderTest, TheFormsOpacityScalesBothLayerOpacities) {
    Apply();
    const struct {
        int Value, FormAlpha, Want;
    } Cases[] = {{200, 128, 100}, {255, 128, 128}, {1, 128, 1}, {0, 128, 0}, {200, 255, 200}, {200, 0, 0}};
    for (const auto& C : Cases) {
        SD->LayerFrame->AlphaBlendValue = C.Value;
        SD->LayerFrame->InActiveAlphaBlendValue = C.Value;
        Border()->CheckFormAlpha(C.FormAlpha, false);
        EXPECT_EQ(Border()->FCurrentAlphaBlendValue, C.Want) << C.Value << " at " << C.FormAlpha;
        EXPECT_EQ(Border()->FCurrentInActiveAlphaBlendValue, C.Want) << C.Value << " at " << C.FormAlpha;
    }
}

// Without a sizing zone the strips let the mouse through and cannot size the form.
TEST_F(LayerBorderTest, AnEmptySizingZoneMakesClickThroughStrips) {
    Apply();
    EXPECT_EQ(WindowFromPoint(TPoint{95, 200}), Strip(bsflLeft)->Handle());
    EXPECT_EQ(Border()->LeftSize, 6);
    EXPECT_EQ(Border()->BottomSize, 6);

    SD->LayerFrame->BorderRect = TRect{};
    Skin->SetSkinData(SD);
    Pump();
    ASSERT_NE(Strip(bsflLeft), nullptr);
    EXPECT_EQ(Border()->LeftSize, 0);
    EXPECT_NE(WindowFromPoint(TPoint{95, 200}), Strip(bsflLeft)->Handle());
    EXPECT_NE(WindowFromPoint(TPoint{200, 95}), Strip(bsflTop)->Handle());
    InjectMouseMove(97, 200);
    InjectMouseButton(0, true);
    InjectMouseMove(57, 200);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Form->BoundsRect(), Rect(100, 100, 400, 300));
}

// Each row: the cursor goes to the point (screen), then the form's bounds (left, top, width, height) are expected.
struct TDragStep {
    TPoint To;
    TRect Bounds;
};

class LayerBorderDragTest : public LayerBorderTest {
protected:
    void Drag(TPoint From, const std::vector<TDragStep>& Steps) {
        InjectMouseMove(From.X, From.Y);
        Pump();
        InjectMouseButton(0, true);
        Pump();
        for (const TDragStep& S : Steps) {
            InjectMouseMove(S.To.X, S.To.Y);
            Pump();
            EXPECT_EQ(TRect(Form->Left(), Form->Top(), Form->Width(), Form->Height()), S.Bounds)
                << "at " << S.To.X << "," << S.To.Y;
        }
        InjectMouseButton(0, false);
        Pump();
        EXPECT_FALSE(Skin->FBorderLayerChangeSize);
    }
};

TEST_F(LayerBorderDragTest, TheLeftStripStopsAtTheMinimumWidthWithoutShiftingTheForm) {
    Skin->SetMinWidth(250);
    Apply();
    Drag({97, 200}, {{{57, 200}, TRect(60, 100, 340, 200)},
                     // 240 wide would be below the minimum: the step is dropped, the right edge stays.
                     {{157, 200}, TRect(60, 100, 340, 200)},
                     // Back to the left: it grows again at once.
                     {{147, 200}, TRect(50, 100, 350, 200)}});
    EXPECT_EQ(WindowRect(Strip(bsflLeft)), Rect(40, 100, 50, 300)) << "the strip went with the form";
}

TEST_F(LayerBorderDragTest, TheBottomRightCornerDraggedSidewaysChangesOnlyTheWidth) {
    Apply();
    // 200 wide is the form's height: only the width changes all the same.
    Drag({402, 302}, {{{302, 302}, TRect(100, 100, 200, 200)}, {{302, 322}, TRect(100, 100, 200, 220)}});
}

TEST_F(LayerBorderDragTest, TheTopEdgeMovesTheTopAndStopsAtTheMinimumHeight) {
    Skin->SetMinHeight(150);
    Apply();
    Drag({200, 96}, {{{200, 76}, TRect(100, 80, 300, 220)},
                     {{200, 156}, TRect(100, 80, 300, 220)},
                     {{200, 146}, TRect(100, 70, 300, 230)}});
}

// Maximized or rolled up, the form cannot be sized through its strips, and the cursor stays the arrow over them.
TEST_F(LayerBorderTest, AMaximizedOrRolledUpFormIsNotSizedThroughTheStrips) {
    Apply();
    const struct {
        const char* Name;
        TWindowState State;
        bool RolledUp;
        TCursor Cursor;
        bool Sizes;
    } Cases[] = {{"normal", wsNormal, false, crSizeWE, true},
                 {"maximized", wsMaximized, false, crDefault, false},
                 {"rolled up", wsNormal, true, crDefault, false}};
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Form->SetBounds(100, 100, 300, 200);
        Pump();
        Skin->FWindowState = C.State;
        Skin->FRollUpState = C.RolledUp;
        InjectMouseMove(300, 300);
        InjectMouseMove(97, 200);
        Pump();
        EXPECT_EQ(Strip(bsflLeft)->Cursor(), C.Cursor);
        InjectMouseButton(0, true);
        InjectMouseMove(77, 200);
        InjectMouseButton(0, false);
        Pump();
        EXPECT_EQ(Form->Width(), C.Sizes ? 320 : 300);
        Skin->FWindowState = wsNormal;
        Skin->FRollUpState = false;
    }
}

// Deactivated, the strips take the inactive opacity at once and the inactive picture at their next rebuild.
TEST_F(LayerBorderTest, TheStripsFollowTheFormsActivation) {
    Apply();
    ASSERT_TRUE(Form->Active());
    TLayerRecorder Rec;
    TForm Other(nullptr);
    Other.SetBounds(600, 500, 100, 100);
    Other.Show();
    Other.SetFocus();
    Pump();
    ASSERT_FALSE(Form->Active());
    EXPECT_EQ(Rec.AlphasOf(bsflTop), std::vector<int>{100});
    EXPECT_EQ(*Border()->Image(bsflTop)->GetPixelPtr(0, 0), Straight(cLayerTop, LayerMaskGrey));
    Form->SetBounds(100, 100, 310, 200);
    Pump();
    EXPECT_EQ(*Border()->Image(bsflTop)->GetPixelPtr(0, 0), Straight(cLayerInactive, LayerMaskGrey));
    EXPECT_EQ(*Border()->Image(bsflLeft)->GetPixelPtr(5, 50), Straight(cLayerInactive, LayerMaskGrey));
    EXPECT_EQ(Rec.AlphasOf(bsflTop).back(), 100);

    Rec.Entries.clear();
    Form->SetFocus();
    Pump();
    ASSERT_TRUE(Form->Active());
    EXPECT_EQ(Rec.AlphasOf(bsflTop), std::vector<int>{200});
    Form->SetBounds(100, 100, 300, 200);
    Pump();
    EXPECT_EQ(*Border()->Image(bsflTop)->GetPixelPtr(0, 0), Straight(cLayerTop, LayerMaskGrey));
}

// The skin data's change messages pass the strips over: only the form hears them (strips that went meanwhile are
// never reached).
TEST_F(LayerBorderTest, TheStripsReceiveNoneOfTheSkinChangeMessages) {
    Apply();
    uitest::TRecorder Log;
    const std::set<UINT> Change{WM_BEFORECHANGESKINDATA, WM_CHANGESKINDATA, WM_AFTERCHANGESKINDATA};
    Log.Watch(Form.get(), "form", Change);
    for (auto [T, Name] : {std::pair{bsflLeft, "left"}, {bsflTop, "top"}, {bsflRight, "right"}, {bsflBottom, "bottom"}})
        Log.Watch(Strip(T), Name, Change);
    SD->LoadFromFile(Dir.File("skin.ini"));
    Pump();
    EXPECT_EQ(Log.Take(), (std::vector<std::string>{"form:1225", "form:1226", "form:1227"}));
    EXPECT_EQ(StripWindows(), 4) << "made anew for the new skin";
}

// Hidden, the form takes its strips away; shown again, it starts transparent with them and ends opaque with the
// strips at their full opacity.
TEST_F(LayerBorderTest, HidingAndShowingTheForm) {
    Apply();
    Form->Hide();
    Pump();
    EXPECT_EQ(StripWindows(), 0);
    EXPECT_FALSE(Border()->Visible());
    TAlphaRecorder Alphas;
    Alphas.Watched = Form->Handle();
    TLayerRecorder Rec;
    Form->Show();
    Wait(10);
    EXPECT_EQ(StripWindows(), 4);
    EXPECT_EQ(Alphas.Alphas, std::vector<int>{0});
    EXPECT_FALSE(Layered());
    EXPECT_EQ(Rec.AlphasOf(bsflTop).front(), 0);
    EXPECT_EQ(Rec.AlphasOf(bsflTop).back(), 200);

    // Hidden with its strips it was made layered; shown when nothing fades it in any more, it is opaque again.
    Form->Hide();
    Pump();
    SD->SetShowLayeredBorders(false);
    Form->Show();
    Wait(10);
    EXPECT_FALSE(Layered());
    EXPECT_EQ(StripWindows(), 0);
    EXPECT_NE(ScreenPixel(200, 200), ScreenPixel(1900, 5)) << "the form shows";
    SD->SetShowLayeredBorders(true);
    Pump();
    EXPECT_EQ(StripWindows(), 4);
}

TEST_F(LayerBorderTest, AnOutsideEffectKeepsTheStripsAwayAndTheyFadeInAfterIt) {
    Apply();
    EXPECT_TRUE(Skin->UseLayeredBorder());
    SendMessageW(Form->Handle(), WM_EFFECTSTART, 0, 0);
    EXPECT_FALSE(Skin->UseLayeredBorder());
    TLayerRecorder Rec;
    SendMessageW(Form->Handle(), WM_EFFECTEND, 0, 0);
    EXPECT_TRUE(Skin->UseLayeredBorder());
    EXPECT_EQ(Rec.AlphasOf(bsflTop), Ramp(200));
    EXPECT_EQ(StripWindows(), 4);
}

TEST_F(LayerBorderTest, FormsThatNeverUseTheStrips) {
    const struct {
        const char* Name;
        std::function<void()> Arrange;
    } Cases[] = {
        {"no border", [this] { Form->SetBorderStyle(bsNone); }},
        {"always disabled", [this] { Skin->AlwaysDisableLayeredFrames = true; }},
        {"preview", [this] { Skin->PreviewMode = true; }},
        {"layer pictures absent", [] { UserEntries().UpdateLayeredWindow = nullptr; }},
        {"not shown by the skin", [this] { SD->SetShowLayeredBorders(false); }},
    };
    for (const auto& C : Cases) {
        SCOPED_TRACE(C.Name);
        Skin->SetSkinData(nullptr);
        Form->SetBorderStyle(bsSizeable);
        Skin->AlwaysDisableLayeredFrames = false;
        Skin->PreviewMode = false;
        SD->SetShowLayeredBorders(true);
        BindUserEntries();
        C.Arrange();
        Skin->SetAlphaBlendAnimation(true);
        Apply();
        TAlphaRecorder Alphas;
        Alphas.Watched = Form->Handle();
        Form->Hide();
        Pump();
        Form->Show();
        Wait(10);
        EXPECT_FALSE(Skin->UseLayeredBorder());
        EXPECT_EQ(StripWindows(), 0);
        EXPECT_TRUE(IsWindowVisible(Form->Handle()));
        EXPECT_FALSE(Layered());
        EXPECT_EQ(Alphas.Alphas, Ramp(255)) << "constant opacity still fades the form in";
        Skin->SetAlphaBlendAnimation(false);
    }
}

// A form closed while a strip drag lets the queue run: the drag ends there, nothing of the border is left.
TEST_F(LayerBorderDragTest, AFormClosedDuringAStripDragLeavesNothingRunning) {
    Apply();
    Form->OnResize = [this](TObject*) { PostMessageW(Form->Handle(), WM_CLOSE, 0, 0); };
    InjectMouseMove(97, 200);
    Pump();
    InjectMouseButton(0, true);
    Pump();
    InjectMouseMove(87, 200);
    Pump();
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(StripWindows(), 0);
    Form->OnResize = nullptr;
    InjectMouseMove(77, 200);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Form->Width(), 310);
}

// The form closes while its strips' own fade lets the queue run: nothing goes on fading, and the next show has
// the strips' full opacity again.
TEST_F(LayerBorderTest, AFormClosedDuringTheStripsFadeLeavesNothingRunning) {
    Apply();
    SendMessageW(Form->Handle(), WM_EFFECTSTART, 0, 0);
    TLayerRecorder Rec;
    // The strips show transparent, then the queue runs once before they fade: the form closes there.
    Rec.OnApplied = [this](const TLayerRecorder::TEntry& E) {
        if (E.Type == bsflTop && E.Alpha == 0)
            PostMessageW(Form->Handle(), WM_CLOSE, 0, 0);
    };
    SendMessageW(Form->Handle(), WM_EFFECTEND, 0, 0);
    Rec.OnApplied = nullptr;
    EXPECT_FALSE(Form->Visible());
    EXPECT_EQ(StripWindows(), 0);
    EXPECT_EQ(Rec.AlphasOf(bsflTop), std::vector<int>{0}) << "shown transparent, then nothing";
    EXPECT_EQ(Border()->FCurrentAlphaBlendValue, 200);
    Rec.Entries.clear();
    Form->Show();
    Wait(10);
    EXPECT_EQ(StripWindows(), 4);
    EXPECT_EQ(Rec.AlphasOf(bsflTop).back(), 200);
}

// Drawn onto a canvas at another size, the strips are blended at their places; the shown windows keep theirs.
TEST_F(LayerBorderTest, DrawingTheFrameElsewhereLeavesTheShownStripsAlone) {
    Apply();
    TBitmap B;
    B.SetPixelFormat(pf24bit);
    B.SetSize(120, 90);
    FillRect24(B, Rect(0, 0, 120, 90), clWhite);
    Border()->Draw(B.Canvas(), 10, 10, 100, 70);
    auto Px = [&B](int X, int Y) { return ColorToRGB(B.Canvas()->Pixels(X, Y)); };
    auto Over = [](TColor C) {
        auto Mix = [](int V) { return BYTE((V * LayerMaskGrey + 255 * (255 - LayerMaskGrey) + 127) / 255); };
        return RGB(Mix(GetRValue(C)), Mix(GetGValue(C)), Mix(GetBValue(C)));
    };
    EXPECT_EQ(Px(5, 5), RGB(255, 255, 255)) << "outside the frame";
    EXPECT_NEAR(GetRValue(Px(50, 15)), GetRValue(Over(cLayerTop)), 2);
    EXPECT_NEAR(GetBValue(Px(50, 75)), GetBValue(Over(cLayerBottom)), 2);
    EXPECT_NEAR(GetGValue(Px(15, 40)), GetGValue(Over(cLayerLeft)), 2);
    EXPECT_EQ(Px(50, 40), RGB(255, 255, 255)) << "the form's place is left as it was";
    EXPECT_EQ(Border()->Image(bsflTop)->Width(), 320);
    EXPECT_EQ(Border()->Image(bsflLeft)->Height(), 200);
}

// ---------------------------------------------------------------------------------------------
// Pictures for a person to look at, saved in artifacts/ beside the test programs.

void SaveArea(const TRect& R, const std::string& Name) {
    const int W = R.Right - R.Left, H = R.Bottom - R.Top;
    std::vector<DWORD> Px = CaptureScreen(RECT{R.Left, R.Top, R.Right, R.Bottom});
    std::vector<std::uint32_t> Pixels(Px.begin(), Px.end());
    for (auto& P : Pixels)
        P |= 0xFF000000u;
    std::filesystem::create_directories("artifacts");
    TPngImage Png;
    Png.SetPixels(W, H, Pixels.data(), false);
    Png.SaveToFile(UTF8ToString("artifacts/" + Name));
    EXPECT_TRUE(std::filesystem::exists("artifacts/" + Name));
}

// A striped window below, so translucency shows.
class TStripes : public TForm {
public:
    using TForm::TForm;

protected:
    void Paint() override {
        for (int X = 0; X < Width(); X += 20) {
            Canvas()->Brush()->SetColor((X / 20) % 2 ? TColor(0x30A0F0) : TColor(0x904010));
            Canvas()->FillRect(Rect(X, 0, X + 20, Height()));
        }
    }
};

TEST_F(LayerBorderTest, PicturesOfTheBorderActiveAndInactiveAndOfAHalfTransparentForm) {
    TStripes Below(nullptr);
    Below.SetBorderStyle(bsNone);
    Below.SetBounds(40, 40, 440, 320);
    Below.Show();
    Pump();
    Form->SetCaption(u"Layer frame 层边框");
    Form->SetFocus();
    Apply();
    Wait(10);
    SaveArea(Rect(40, 40, 480, 360), "layerborder_active.png");
    Below.SetFocus();
    Pump();
    ASSERT_FALSE(Form->Active());
    SetWindowPos(Below.Handle(), Form->Handle(), 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    Form->SetBounds(100, 100, 301, 200); // the inactive picture comes with the next rebuild
    Pump();
    SaveArea(Rect(40, 40, 480, 360), "layerborder_inactive.png");

    Skin->SetSkinData(nullptr);
    Skin->SetAlphaBlendValue(128);
    Skin->SetAlphaBlend(true);
    Form->SetFocus();
    Pump();
    SaveArea(Rect(40, 40, 480, 360), "form_translucent.png");
}

} // namespace
} // namespace formtest
