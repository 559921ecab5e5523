// Galleries for a person to look at: every button of the skinned base controls in every state, once per
// stored skin of the program and once in the default look, saved as artifacts/controls_<n>.png beside the
// test programs. Each state is driven as the user would (hover, press, focus), then shot off the screen.
#include "skin/controls/bsSkinCtrls.h"

#include "resources/StoredSkins.h"
#include "skin/core/TbsCompressedStoredSkin.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

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
constexpr int CellH = 70;
constexpr int LabelW = 130;

class ControlGallery : public uitest::UiTest, public ::testing::WithParamInterface<int> {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(50, 50, 700, 400);
        Form->SetColor(TColor(0xE0E0E0));
        Form->Show();
        Skin = new TbsSkinData(Form.get());
        if (GetParam() >= 0) {
            List = std::make_unique<TbsCompressedSkinList>(nullptr);
            for (int I = 0; I < StoredSkinCount(); ++I) {
                auto* Item = static_cast<TbsSkinListItem*>(List->Skins()->Add());
                Item->SetName(StoredSkin(I).Name);
                TMemoryStream Bytes;
                Bytes.WriteBuffer(StoredSkin(I).Data, static_cast<std::int64_t>(StoredSkin(I).Size));
                Item->Skin()->LoadFromCompressStream(&Bytes);
            }
            Skin->SetSkinList(List.get());
            Skin->SetSkinIndex(GetParam());
            ASSERT_FALSE(Skin->Empty);
        }
        SetPopupMenuService(&Popups);
        Sheet.SetSize(LabelW + CellW * 6, CellH * 6);
        Fill(Sheet, Rect(0, 0, Sheet.Width(), Sheet.Height()), clWhite);
        Pump();
    }
    void TearDown() override {
        SetPopupMenuService(nullptr);
        if (Skin)
            Skin->SetSkinList(nullptr);
        Form.reset();
        List.reset();
        uitest::UiTest::TearDown();
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
        std::vector<DWORD> Pixels = CaptureScreen(RECT{P.X, P.Y, P.X + W, P.Y + H});
        const int X0 = LabelW + Col * CellW;
        const int Y0 = R * CellH + 16;
        for (int Y = 0; Y < H; ++Y)
            for (int X = 0; X < W; ++X) {
                const DWORD Px = Pixels[std::size_t(Y * W + X)];
                Sheet.Canvas()->SetPixels(X0 + X, Y0 + Y, TColor(RGB((Px >> 16) & 0xFF, (Px >> 8) & 0xFF, Px & 0xFF)));
            }
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
    std::unique_ptr<TForm> Form;
    TbsSkinData* Skin = nullptr;
    std::unique_ptr<TbsCompressedSkinList> List;
    TBitmap Sheet;
};

TEST_P(ControlGallery, EveryButtonInEveryState) {
    PushButtons();
    SpeedButtons<TbsSkinSpeedButton>(2, u"speed button", false);
    SpeedButtons<TbsSkinSpeedButton>(3, u"speed button, flat", true);
    MenuButtons(4);
    std::filesystem::create_directories("artifacts");
    const std::string Name = GetParam() < 0 ? "default" : "skin" + std::to_string(GetParam());
    std::vector<std::uint32_t> Pixels;
    for (int Y = 0; Y < Sheet.Height(); ++Y)
        for (int X = 0; X < Sheet.Width(); ++X) {
            const COLORREF C = ColorToRGB(Sheet.Canvas()->Pixels(X, Y));
            Pixels.push_back(0xFF000000u | GetRValue(C) << 16 | GetGValue(C) << 8 | GetBValue(C));
        }
    TPngImage Png;
    Png.SetPixels(Sheet.Width(), Sheet.Height(), Pixels.data(), false);
    Png.SaveToFile(UTF8ToString("artifacts/controls_" + Name + ".png"));
    EXPECT_TRUE(std::filesystem::exists("artifacts/controls_" + Name + ".png"));
}

INSTANTIATE_TEST_SUITE_P(Skins, ControlGallery, ::testing::Range(-1, 9));

} // namespace
