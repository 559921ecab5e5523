// Galleries for a person to look at: every button of the skinned base controls in every state, once per
// stored skin of the program and once in the default look, saved as artifacts/controls_<n>.png beside the
// test programs. Each state is driven as the user would (hover, press, focus), then shot off the screen.
#include "skin/controls/bsSkinCtrls.h"

#include "tests/skin/controls/GalleryFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

// Opens no menu window, so a shot of an open menu's button shows the button alone; the button hears of the
// menu's end from the gallery.
class TQuietPopups : public TbsPopupMenuService {
public:
    void PopupFromRect2(TPopupMenu*, TControl* ACtrl, const TRect&, bool) override { Opened = ACtrl; }
    void Popup2(TPopupMenu*, TControl* ACtrl, int, int) override { Opened = ACtrl; }
    void Close() {
        if (Opened)
            NotifyPopupControl(Opened, WM_POPUPMENUCLOSED);
        Opened = nullptr;
    }
    TControl* Opened = nullptr;
};

constexpr int CellW = 110;
constexpr int CellH = 90; // the menu buttons take their skin face's height
constexpr int LabelW = 130;

class ControlGallery : public GalleryTest {
protected:
    void SetUp() override {
        GalleryTest::SetUp();
        SetPopupMenuService(&Popups);
        NewSheet(LabelW + CellW * 6, CellH * 6);
        Pump();
    }
    void TearDown() override {
        SetPopupMenuService(nullptr);
        GalleryTest::TearDown();
    }
    template <class T> T* Place(const String& Caption, int W, int H, int X = 20) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, 20, W, H);
        C->SetCaption(Caption);
        C->SetSkinData(Skin);
        Pump();
        return C;
    }
    void Row(int R, const String& Label) {
        Sheet.Canvas()->Font()->SetName(u"Liberation Sans");
        Sheet.Canvas()->Font()->SetHeight(-12);
        Sheet.Canvas()->Font()->SetColor(clBlack);
        Sheet.Canvas()->Brush()->SetStyle(bsClear);
        Sheet.Canvas()->TextOut(6, R * CellH + CellH / 2 - 7, Label);
    }
    // The control with a margin, as the screen shows it now, into cell (R, Col) with the state's name.
    void Shot(TControl* C, int R, int Col, const String& State) {
        Pump();
        const TPoint P = C->ClientToScreen(TPoint{-4, -4});
        const int W = std::min(C->Width() + 8, CellW - 4);
        const int H = std::min(C->Height() + 8, CellH - 18);
        const int X0 = LabelW + Col * CellW;
        const int Y0 = R * CellH + 16;
        PasteScreen(P, W, H, X0, Y0);
        Sheet.Canvas()->Font()->SetHeight(-10);
        Sheet.Canvas()->TextOut(X0, R * CellH + 2, State);
        Sheet.Canvas()->Font()->SetHeight(-12);
    }
    // The hover transitions and frame animations run to their end before a shot.
    void Hover(TControl* C) {
        const TPoint P = C->ClientToScreen(TPoint{8, C->Height() / 2});
        InjectMouseMove(P.X, P.Y);
        Settle();
    }
    void Away() {
        InjectMouseMove(2, 2);
        Settle();
    }
    void Settle() {
        for (int I = 0; I < 20; ++I)
            Wait(25);
    }
    void Down() {
        InjectMouseButton(0, true);
        Pump();
    }
    void Up() {
        InjectMouseButton(0, false);
        Pump();
    }

    void PushButtons() {
        Row(0, u"push button");
        auto* B = Place<TbsSkinButton>(u"OK", 75, 25);
        auto* Other = Place<TbsSkinButton>(u"Other", 75, 25, 300);
        Other->SetFocus();
        Shot(B, 0, 0, u"normal");
        Hover(B);
        Shot(B, 0, 1, u"hot");
        Down();
        Shot(B, 0, 2, u"pressed");
        Up();
        Away();
        Shot(B, 0, 3, u"focused");
        Other->SetFocus();
        B->SetEnabled(false);
        Shot(B, 0, 4, u"disabled");
        B->SetEnabled(true);
        B->SetDefault(true);
        Shot(B, 0, 5, u"default");
        delete B;

        Row(1, u"push button, group");
        auto* G = Place<TbsSkinButton>(u"开始", 75, 25);
        G->SetGroupIndex(1);
        Shot(G, 1, 0, u"up");
        Hover(G);
        Down();
        Up();
        Shot(G, 1, 1, u"down, hot");
        Away();
        Shot(G, 1, 2, u"down");
        delete G;
        delete Other;
    }

    template <class T> void SpeedButtons(int R, const String& Label, bool FlatLook) {
        Row(R, Label);
        auto* S = Place<T>(u"Tool", 60, 25);
        S->SetFlat(FlatLook);
        Form->Repaint();
        Shot(S, R, 0, u"normal");
        Hover(S);
        Shot(S, R, 1, u"hot");
        Down();
        Shot(S, R, 2, u"pressed");
        Up();
        Away();
        S->SetGroupIndex(1);
        S->SetDown(true);
        Shot(S, R, 3, u"down");
        S->SetDown(false);
        S->SetEnabled(false);
        Shot(S, R, 4, u"disabled");
        delete S;
    }

    void MenuButtons(int R) {
        Row(R, u"menu speed button");
        auto* M = Place<TbsSkinMenuSpeedButton>(u"Size", 70, 25);
        auto* Menu = new TPopupMenu(Form.get());
        auto* Item = new TMenuItem(Menu);
        Item->SetCaption(u"Half");
        Menu->Items()->Add(Item);
        M->SetSkinPopupMenu(Menu);
        Shot(M, R, 0, u"normal");
        Hover(M);
        Shot(M, R, 1, u"hot");
        Down();
        Shot(M, R, 2, u"menu open");
        Up();
        Popups.Close();
        Away();
        M->SetTrackButtonMode(true);
        Shot(M, R, 3, u"track mode");
        const TPoint P = M->ClientToScreen(TPoint{M->Width() - 5, 10});
        InjectMouseMove(P.X, P.Y);
        Down();
        Shot(M, R, 4, u"track open");
        Up();
        Popups.Close();
        Away();
        M->SetEnabled(false);
        Shot(M, R, 5, u"disabled");
        delete M;

        Row(R + 1, u"new style, bottom");
        auto* N = Place<TbsSkinMenuSpeedButton>(u"Size", 70, 40);
        N->SetNewStyle(true);
        N->SetTrackPosition(bstpBottom);
        N->SetSkinPopupMenu(Menu);
        N->ChangeSkinData();
        Shot(N, R + 1, 0, u"normal");
        Hover(N);
        Shot(N, R + 1, 1, u"hot");
        Away();
        delete N;
    }

    TQuietPopups Popups;
};

TEST_P(ControlGallery, EveryButtonInEveryState) {
    PushButtons();
    SpeedButtons<TbsSkinSpeedButton>(2, u"speed button", false);
    SpeedButtons<TbsSkinSpeedButton>(3, u"speed button, flat", true);
    MenuButtons(4);
    SaveSheet("controls");
}

INSTANTIATE_TEST_SUITE_P(Skins, ControlGallery, ::testing::Range(-1, 9));

} // namespace
