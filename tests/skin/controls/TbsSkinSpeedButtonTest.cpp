// The speed button and the menu speed button on the headless screen: faces of every state in both looks,
// flat and transparent idle looks, caption widths, groups, the track part and the popup menu's close message.
#include "skin/controls/bsSkinCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

class SpeedButton : public ControlTest {
protected:
    template <class T = TbsSkinSpeedButton> T* Speed(const String& Record, int X = 10, int Y = 10, int W = 40) {
        auto* B = Make<T>(Record, X, Y, W, 25);
        B->OnClick = [this](TObject*) { ++Clicks; };
        return B;
    }
    TColor Face(TControl* B) { return ScreenPixel(B, 2, B->Height() / 2); }
    int Clicks = 0;
};

TEST_F(SpeedButton, EachStateShowsItsSkinFace) {
    auto* B = Speed(u"toolbutton");
    EXPECT_EQ(Face(B), cToolNormal);
    MouseTo(B, 20, 12);
    EXPECT_EQ(Face(B), cToolHot);
    Press(B, 20, 12);
    EXPECT_EQ(Face(B), cToolDown);
    Release();
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Face(B), cToolHot);
    MouseAway();
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(Face(B), cToolDisabled);
    // A disabled button ignores the mouse coming in.
    MouseTo(B, 20, 12);
    EXPECT_FALSE(B->MouseIn());
    EXPECT_EQ(Face(B), cToolDisabled);
}

TEST_F(SpeedButton, DefaultLookFramesOnlyHoverAndPressWhenFlat) {
    struct Case {
        bool Flat;
        TColor IdleFrame; // what the corner shows while idle
    } Cases[] = {{false, clBtnShadow}, {true, clBtnFace}};
    Form->SetColor(clBtnFace);
    for (const Case& K : Cases) {
        auto* B = Speed(u"nosuchbutton");
        B->SetFlat(K.Flat);
        Form->Repaint();
        Pump();
        EXPECT_EQ(ColorToRGB(ScreenPixel(B, 0, 0)), ColorToRGB(K.IdleFrame)) << K.Flat;
        EXPECT_EQ(ColorToRGB(ScreenPixel(B, 3, 3)), ColorToRGB(clBtnFace)) << K.Flat;
        MouseTo(B, 20, 12);
        EXPECT_EQ(ScreenPixel(B, 0, 0), cNavy) << K.Flat;
        EXPECT_EQ(ScreenPixel(B, 3, 3), cHotFill) << K.Flat;
        Press(B, 20, 12);
        EXPECT_EQ(ScreenPixel(B, 0, 0), cNavy) << K.Flat;
        EXPECT_EQ(ScreenPixel(B, 3, 3), cDownFill) << K.Flat;
        Release();
        MouseAway();
        delete B;
    }
}

TEST_F(SpeedButton, ATransparentSkinnedButtonShowsItsParentWhileIdle) {
    Form->SetColor(TColor(0x123456));
    auto* B = Speed(u"toolbutton");
    B->SetTransparent(true);
    Form->Repaint();
    Pump();
    EXPECT_EQ(Face(B), TColor(0x123456));
    MouseTo(B, 20, 12);
    EXPECT_EQ(Face(B), cToolHot);
}

TEST_F(SpeedButton, TransparentTurnsTheHoverTransitionOff) {
    TbsDataSkinButtonControl* R = dynamic_cast<TbsDataSkinButtonControl*>(Record(u"toolbutton"));
    R->Morphing = true;
    auto* B = Speed(u"toolbutton");
    MouseTo(B, 20, 12);
    EXPECT_TRUE(B->MorphRunning());
    MouseAway();
    for (int I = 0; I < 8; ++I)
        Wait(20);
    B->SetTransparent(true);
    MouseTo(B, 20, 12);
    EXPECT_FALSE(B->MorphRunning());
    EXPECT_EQ(Face(B), cToolHot);
}

TEST_F(SpeedButton, ShowCaptionSwitchesBetweenTheTwoWidths) {
    struct Case {
        int With, Without, WantWidth;
    } Cases[] = {{80, 24, 24}, {80, 0, 40}, {0, 24, 40}};
    for (const Case& K : Cases) {
        auto* B = Speed(u"nosuchbutton");
        B->SetWidthWithCaption(K.With);
        B->SetWidthWithoutCaption(K.Without);
        B->SetShowCaption(false);
        EXPECT_EQ(B->Width(), K.WantWidth) << K.With << "/" << K.Without;
        B->SetShowCaption(true);
        EXPECT_EQ(B->Width(), K.Without > 0 && K.With > 0 ? K.With : 40);
        delete B;
    }
}

TEST_F(SpeedButton, GroupButtonsRaiseEachOtherUnlessAllowAllUp) {
    auto* A = Speed(u"toolbutton", 10, 10);
    auto* B = Speed(u"toolbutton", 60, 10);
    A->SetGroupIndex(3);
    B->SetGroupIndex(3);
    ClickOn(A, 20, 12);
    EXPECT_EQ(Clicks, 1);
    EXPECT_TRUE(A->Down());
    ClickOn(B, 20, 12);
    EXPECT_TRUE(B->Down());
    EXPECT_FALSE(A->Down());
    EXPECT_EQ(Face(B), cToolDown);
    A->SetAllowAllUp(true);
    B->SetAllowAllUp(true);
    ClickOn(A, 20, 12);
    EXPECT_TRUE(A->Down());
    EXPECT_TRUE(B->Down());
    ClickOn(B, 20, 12);
    EXPECT_FALSE(B->Down());
}

TEST_F(SpeedButton, HoldingRepeats) {
    auto* B = Speed(u"toolbutton");
    B->SetRepeatMode(true);
    Press(B, 20, 12);
    for (int Ms = 0; Ms < 1000; Ms += 10)
        Wait(10);
    EXPECT_EQ(Clicks, 5);
    Release();
    EXPECT_EQ(Clicks, 6);
}

// A tool bar with one image in each of its lists.
class TTestToolBar : public TCustomControl, public TbsToolBarParent {
public:
    explicit TTestToolBar(TComponent* AOwner) : TCustomControl(AOwner) {
        for (int I = 0; I < 3; ++I) {
            Lists[I] = new TCustomImageList(this, 8, 8);
            TBitmap Image(8, 8);
            Fill(Image, Rect(0, 0, 8, 8), Colours[I]);
            Lists[I]->Add(&Image, nullptr);
        }
    }
    bool AdjustControls() const override { return false; }
    TRect GetSkinClientRect() override { return ClientRect(); }
    TCustomImageList* Images() const override { return Lists[0]; }
    TCustomImageList* HotImages() const override { return Lists[1]; }
    TCustomImageList* DisabledImages() const override { return Lists[2]; }

    static constexpr TColor Colours[3] = {0x2060A0, 0x20A060, 0x606060};
    TCustomImageList* Lists[3] = {};
};

TEST_F(SpeedButton, OnAToolBarTheBarsImagesShow) {
    auto* Bar = new TTestToolBar(Form.get());
    Bar->SetParent(Form.get());
    Bar->SetBounds(0, 100, 300, 40);
    auto* B = new TbsSkinSpeedButton(Form.get());
    B->SetParent(Bar);
    B->SetBounds(10, 5, 40, 25);
    Pump();
    auto Image = [&] { return ScreenPixel(B, 20, 12); };
    EXPECT_EQ(Image(), TTestToolBar::Colours[0]);
    MouseTo(B, 5, 5);
    EXPECT_EQ(Image(), TTestToolBar::Colours[1]);
    Press(B, 5, 5);
    Release();
    MouseAway();
    B->SetGroupIndex(1);
    B->SetDown(true);
    EXPECT_EQ(Image(), TTestToolBar::Colours[1]); // down shows the hot image too
    B->SetDown(false);
    B->SetEnabled(false);
    Pump();
    EXPECT_EQ(Image(), TTestToolBar::Colours[2]); // the disabled image as it is, not greyed
    // A glyph of its own wins over the bar's images.
    TBitmap Glyph(8, 8);
    Fill(Glyph, Rect(0, 0, 8, 8), TColor(0x0000FF));
    Glyph.Canvas()->SetPixels(0, 7, clFuchsia);
    B->SetEnabled(true);
    B->SetGlyph(&Glyph);
    Pump();
    EXPECT_EQ(Image(), TColor(0x0000FF));
}

// ---------------------------------------------------------------------------------------------

class MenuSpeedButton : public SpeedButton {
protected:
    TbsSkinMenuSpeedButton* MenuButton(const String& Record = u"nosuchbutton", int W = 60) {
        auto* B = Speed<TbsSkinMenuSpeedButton>(Record, 10, 10, W);
        Menu = new TPopupMenu(Form.get());
        auto* Item = new TMenuItem(Menu);
        Item->SetCaption(u"Half size");
        Item->OnClick = [this](TObject*) { ++Commands; };
        Menu->Items()->Add(Item);
        B->SetSkinPopupMenu(Menu);
        B->OnShowTrackMenu = [this](TObject*) { Log.push_back("show"); };
        B->OnHideTrackMenu = [this](TObject*) { Log.push_back("hide"); };
        return B;
    }
    TPopupMenu* Menu = nullptr;
    int Commands = 0;
    std::vector<std::string> Log;
};

TEST_F(MenuSpeedButton, WithoutTrackModeAPressAnywhereOpensTheMenu) {
    auto* B = MenuButton();
    ClickOn(B, 10, 12);
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Clicks, 0);
    EXPECT_TRUE(B->Down());
    EXPECT_TRUE(B->MenuTracked());
    EXPECT_EQ(Log, std::vector<std::string>{"show"});
    // Right under the button.
    const TPoint Below = B->ClientToScreen(TPoint{0, B->Height()});
    EXPECT_EQ(Menu->PopupWindow()->Left(), Below.X);
    EXPECT_EQ(Menu->PopupWindow()->Top(), Below.Y);
    // Closed by Escape while the pointer is still over the button: up and unhovered.
    MouseTo(B, 10, 12);
    Key(VK_ESCAPE);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    EXPECT_FALSE(B->MenuTracked());
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(B->MouseIn());
    EXPECT_EQ(Log, (std::vector<std::string>{"show", "hide"}));
    EXPECT_EQ(ColorToRGB(ScreenPixel(B, 0, 0)), ColorToRGB(clBtnShadow));
}

TEST_F(MenuSpeedButton, TheTrackPartIsTheRightmostFifteenPixels) {
    auto* B = MenuButton();
    B->SetTrackButtonMode(true);
    EXPECT_EQ(B->TrackRect(), Rect(45, 0, 60, 25));
    ClickOn(B, 60 - 16, 12);
    EXPECT_EQ(Clicks, 1);
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    ClickOn(B, 60 - 15, 12);
    EXPECT_EQ(Clicks, 1);
    EXPECT_NE(Menu->PopupWindow(), nullptr);
    Menu->CloseMenu();
    Pump();
    EXPECT_FALSE(B->Down());
}

TEST_F(MenuSpeedButton, AMenuCommandRunsAndTheButtonComesUp) {
    auto* B = MenuButton();
    ClickOn(B, 10, 12);
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    TMenuPopupWindow* W = Menu->PopupWindow();
    const TPoint Row = W->ClientToScreen(TPoint{20, W->RowRect(0).Top + 5});
    InjectClick(Row.X, Row.Y);
    Pump();
    EXPECT_EQ(Commands, 1);
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(B->MenuTracked());
}

TEST_F(MenuSpeedButton, WithoutAMenuItIsAPlainSpeedButton) {
    auto* B = Speed<TbsSkinMenuSpeedButton>(u"nosuchbutton", 10, 10, 60);
    B->SetTrackButtonMode(true);
    ClickOn(B, 55, 12);
    EXPECT_EQ(Clicks, 1);
    EXPECT_FALSE(B->MenuTracked());
}

TEST_F(MenuSpeedButton, NewStyleRenamesTheRecordOnlyWhenSet) {
    auto* B = new TbsSkinMenuSpeedButton(Form.get());
    EXPECT_EQ(B->SkinDataName(), u"toolmenubutton");
    B->SetNewStyle(true);
    EXPECT_EQ(B->SkinDataName(), u"resizetoolbutton");
    B->SetNewStyle(false);
    EXPECT_EQ(B->SkinDataName(), u"resizetoolbutton");
}

TEST_F(MenuSpeedButton, TheNewStyleGivesTheBottomStripAFaceOfItsOwn) {
    auto* B = MenuButton(u"", 60);
    B->SetNewStyle(true);
    B->SetTrackPosition(bstpBottom);
    B->SetTrackButtonMode(true);
    B->SetBounds(10, 10, 60, 40);
    B->SetSkinData(Skin);
    Pump();
    EXPECT_EQ(B->TrackRect(), Rect(0, 25, 60, 40));
    EXPECT_EQ(Face(B), cToolNormal);
    MouseTo(B, 5, 5);
    EXPECT_EQ(ScreenPixel(B, 2, 10), cToolHot);
    EXPECT_EQ(ScreenPixel(B, 2, 37), cMenuHot);
    ClickOn(B, 5, 30);
    ASSERT_TRUE(B->MenuTracked());
    EXPECT_EQ(ScreenPixel(B, 2, 10), cToolHot);
    EXPECT_EQ(ScreenPixel(B, 2, 37), cMenuDown);
    Menu->CloseMenu();
    Pump();
}

TEST_F(MenuSpeedButton, ItsOwnRecordGivesFacesAndTrackPart) {
    auto* B = MenuButton(u"toolmenubutton", 30);
    EXPECT_EQ(B->ResizeMode, 1);
    EXPECT_EQ(B->TrackRect(), Rect(15, 0, 30, 20));
    EXPECT_EQ(Face(B), cMenuNormal);
    MouseTo(B, 5, 5);
    EXPECT_EQ(Face(B), cMenuHot);
    B->SetTrackButtonMode(true);
    ClickOn(B, 20, 5);
    ASSERT_TRUE(B->MenuTracked());
    // The main part stays hot, the track part shows the pressed face.
    EXPECT_EQ(ScreenPixel(B, 2, 10), cMenuHot);
    EXPECT_EQ(ScreenPixel(B, 28, 3), cMenuDown);
    Menu->CloseMenu();
    Pump();
    EXPECT_EQ(Face(B), cMenuNormal);
}

} // namespace

// An images menu that records where it was opened; item 0 is selected.
class TTestImagesMenu : public TbsCustomImagesMenu {
public:
    explicit TTestImagesMenu(TComponent* AOwner)
        : TbsCustomImagesMenu(AOwner), FItems(TCollection::ItemClassOf<TbsImagesMenuItem>()) {
        FImages = new TCustomImageList(this, 8, 8);
        TBitmap Image(8, 8);
        Fill(Image, Rect(0, 0, 8, 8), TColor(0x40C040));
        FImages->Add(&Image, nullptr);
        auto* Item = static_cast<TbsImagesMenuItem*>(FItems.Add());
        Item->ImageIndex = 0;
        Item->Caption = u"Green";
    }
    void PopupFromRect(const TRect& R) override { Opened.push_back(R); }
    TbsImagesMenuItem* GetSelectedItem() override {
        return FIndex >= 0 && FIndex < FItems.Count() ? static_cast<TbsImagesMenuItem*>(FItems.Items(FIndex)) : nullptr;
    }
    TCustomImageList* Images() const override { return FImages; }
    int ItemIndex() const override { return FIndex; }

    std::vector<TRect> Opened;
    int FIndex = 0;

private:
    TCustomImageList* FImages = nullptr;
    TCollection FItems;
};

TEST_F(MenuSpeedButton, AnImagesMenuOpensBelowAndItsCloseBringsTheButtonUp) {
    auto* B = Speed<TbsSkinMenuSpeedButton>(u"nosuchbutton", 10, 10, 60);
    B->OnHideTrackMenu = [this](TObject*) { Log.push_back("hide"); };
    auto* Images = new TTestImagesMenu(Form.get());
    B->SetSkinImagesMenu(Images);
    B->SetUseImagesMenuImage(true);
    Form->Repaint();
    Pump();
    // The selected item's image is the button's.
    EXPECT_EQ(ScreenPixel(B, 20, 12), TColor(0x40C040));
    ClickOn(B, 10, 12);
    ASSERT_EQ(Images->Opened.size(), 1u);
    const TPoint Origin = B->ClientToScreen(TPoint{0, 0});
    EXPECT_EQ(Images->Opened[0], Rect(Origin.X, Origin.Y, Origin.X + 60, Origin.Y + 25));
    EXPECT_TRUE(B->Down());
    ASSERT_TRUE(bool(Images->FOnInternalMenuClose));
    Images->FOnInternalMenuClose(Images);
    EXPECT_FALSE(B->Down());
    EXPECT_FALSE(B->MenuTracked());
    EXPECT_EQ(Log, std::vector<std::string>{"hide"});
    EXPECT_EQ(Clicks, 0);
    // Without a selected item the glyph and caption come back.
    Images->FIndex = -1;
    B->SetUseImagesMenuImage(true);
    Form->Repaint();
    Pump();
    EXPECT_NE(ScreenPixel(B, 20, 12), TColor(0x40C040));
}

// ---------------------------------------------------------------------------------------------
// The popup stand-in: 1228 when the menu closes, 1229 after one of its commands ran.

class TMenuClient : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    void Dispatch(TMessage& M) override {
        if (M.Msg == WM_POPUPMENUCLOSED || M.Msg == WM_POPUPMENUCOMMAND)
            Log.push_back(M.Msg);
        TCustomControl::Dispatch(M);
    }
    std::vector<UINT> Log;
};

TEST_F(ControlTest, ThePopupStandInTellsTheControlOfCloseAndCommand) {
    auto* Client = new TMenuClient(Form.get());
    Client->SetParent(Form.get());
    Client->SetBounds(10, 10, 100, 20);
    auto* Menu = new TPopupMenu(Form.get());
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption(u"Copy");
    int Copies = 0;
    Item->OnClick = [&](TObject*) { ++Copies; };
    Menu->Items()->Add(Item);
    int Closes = 0;
    Menu->OnClose = [&](TObject*) { ++Closes; };

    const TPoint At = Client->ClientToScreen(TPoint{5, 25});
    PopupMenuService()->Popup2(Menu, Client, At.X, At.Y);
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    Key(VK_ESCAPE);
    EXPECT_EQ(Client->Log, std::vector<UINT>{WM_POPUPMENUCLOSED});
    EXPECT_EQ(Closes, 1);

    Client->Log.clear();
    PopupMenuService()->Popup2(Menu, Client, At.X, At.Y);
    TMenuPopupWindow* W = Menu->PopupWindow();
    ASSERT_NE(W, nullptr);
    const TPoint Row = W->ClientToScreen(TPoint{20, W->RowRect(0).Top + 5});
    InjectClick(Row.X, Row.Y);
    Pump();
    EXPECT_EQ(Copies, 1);
    EXPECT_EQ(Client->Log, (std::vector<UINT>{WM_POPUPMENUCLOSED, WM_POPUPMENUCOMMAND}));
    EXPECT_EQ(Closes, 2);
    // The menu's own handlers are back: a click from elsewhere tells nobody.
    Client->Log.clear();
    Item->Click();
    EXPECT_EQ(Copies, 2);
    EXPECT_TRUE(Client->Log.empty());
}
