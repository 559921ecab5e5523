// The form-skinning component's life cycle and what its window procedure lets through to the procedure it
// replaced.
#include <gtest/gtest.h>

#include "platform/base/SysUtils.h"
#include "platform/ui/ExtCtrls.h"
#include "tests/skin/forms/SkinFormFixture.h"

namespace formtest {
namespace {

using ComponentTest = SkinFormTest;

TEST_F(ComponentTest, AnOwnerThatIsNoFormFailsWithTheCastErrorAndHooksNothing) {
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    int Before = Panel->ComponentCount();
    try {
        new TbsSkinForm(Panel);
        FAIL() << "no error";
    } catch (const EInvalidCast& E) {
        EXPECT_EQ(E.Message(), u"Invalid class typecast");
    }
    EXPECT_EQ(Panel->ComponentCount(), Before);
    EXPECT_EQ(GetSkinForm(Form.get()), Skin);
}

TEST_F(ComponentTest, TheFormsBorderIconsAndShortCutsAreTakenAndGivenBack) {
    EXPECT_TRUE(Form->BorderIcons().Empty());
    bool AppHandled = false;
    Skin->OnShortCut = [&](TMessage&, bool& Handled) { Handled = AppHandled = true; };
    TMessage Key{WM_KEYDOWN, 'S', 0, 0};
    bool Handled = false;
    ASSERT_TRUE(Form->OnShortCut);
    Form->OnShortCut(Key, Handled);
    EXPECT_TRUE(AppHandled);

    delete Skin;
    EXPECT_EQ(Form->BorderIcons().ToInt(), (TBorderIcons{biSystemMenu, biMinimize, biMaximize}).ToInt());
    EXPECT_FALSE(Form->OnShortCut);
}

// Stands for a player that waits for its threads when it is freed: the queue runs, timers included.
class TWaitsWhenFreed : public TComponent {
public:
    using TComponent::TComponent;
    ~TWaitsWhenFreed() override {
        WinClock().AdvanceTo(WinClock().Current() + 500);
        ProcessPendingMessages();
    }
};

TEST_F(ComponentTest, NoTimerTickReachesTheComponentWhileItsFormIsBeingFreed) {
    new TWaitsWhenFreed(Form.get());
    Skin->MouseTimer->SetEnabled(true);
    Skin->MorphTimer->SetEnabled(true);
    Skin->AnimateTimer->SetEnabled(true);
    Form.reset();
    Skin = nullptr;
    SUCCEED() << "the form went without a tick on its half-freed parts";
}

TEST_F(ComponentTest, HitTestingNeverReachesThePreviousProcedureUntilTheComponentGoes) {
    Watched = {WM_NCHITTEST};
    EXPECT_EQ(HitAt(150, 100), HTCLIENT);
    EXPECT_EQ(CountReached(WM_NCHITTEST), 0);

    delete Skin;
    SendMessageW(Form->Handle(), WM_NCHITTEST, 0, MAKELPARAM(Form->Left() + 150, Form->Top() + 100));
    EXPECT_EQ(CountReached(WM_NCHITTEST), 1);
}

// A hook installed after the component holds the component's procedure as its previous one: once the component
// is gone, that hook keeps working and its messages go on to the procedure the component had replaced.
TEST_F(ComponentTest, AHookInstalledAfterTheComponentOutlivesIt) {
    std::vector<UINT> Hooked;
    TWndMethod Previous = Form->WindowProc();
    Form->SetWindowProc([&Hooked, Previous](TMessage& M) {
        if (M.Msg == WM_NCHITTEST)
            Hooked.push_back(M.Msg);
        Previous(M);
    });
    Watched = {WM_NCHITTEST};
    delete Skin;

    LRESULT Code = HitAt(150, 100);
    EXPECT_EQ(Hooked.size(), 1u);
    EXPECT_EQ(CountReached(WM_NCHITTEST), 1) << "the component's link passes the message through";
    EXPECT_EQ(Code, HTCLIENT);
    // The native frame is back: its client area starts below the system's caption.
    EXPECT_GT(ClientInWindow().Top, 3);
}

TEST_F(ComponentTest, ABorderlessFormIsAllClientAndGetsNoFrame) {
    Form->SetBorderStyle(bsNone);
    Pump();
    EXPECT_EQ(ClientInWindow(), Rect(0, 0, 300, 200));

    TBitmap Target;
    Target.SetSize(300, 200);
    Target.Canvas()->Brush()->SetColor(clLime);
    Target.Canvas()->FillRect(Rect(0, 0, 300, 200));
    LRESULT Answer = SendMessageW(Form->Handle(), WM_PAINTFRAMETODC, WPARAM(Target.Canvas()->Handle()), 0);
    EXPECT_EQ(Answer, 0);
    EXPECT_EQ(Target.Canvas()->Pixels(0, 0), clLime);

    Form->SetBorderStyle(bsSizeable);
    Pump();
    Answer = SendMessageW(Form->Handle(), WM_PAINTFRAMETODC, WPARAM(Target.Canvas()->Handle()), 0);
    EXPECT_EQ(Answer, 12851);
    EXPECT_EQ(ColorToRGB(Target.Canvas()->Pixels(0, 0)), ColorToRGB(cl3DLight));
    EXPECT_EQ(SendMessageW(Form->Handle(), WM_PAINTBGORFRAMETODC, WPARAM(Target.Canvas()->Handle()), 16802), 16802);
    EXPECT_EQ(SendMessageW(Form->Handle(), WM_QUERYNATIVEFRAME, 0, 0), 12853);
}

TEST_F(ComponentTest, TheFormsCursorOverCaptionAndObjectsButNotOverSizingBorders) {
    Watched = {WM_SETCURSOR};
    auto Passed = [&](WORD Hit) {
        ReachedMessages.clear();
        SendMessageW(Form->Handle(), WM_SETCURSOR, WPARAM(Form->Handle()), MAKELPARAM(Hit, WM_MOUSEMOVE));
        return ReachedMessages.empty() ? -1 : int(ReachedMessages.back().LParamLo());
    };
    EXPECT_EQ(Passed(HTCAPTION), HTCAPTION);
    Skin->SetUseFormCursorInNCArea(true);
    const std::pair<WORD, int> Cases[] = {{HTCAPTION, HTCLIENT},
                                          {HTOBJECT, HTCLIENT},
                                          {HTCLIENT, HTCLIENT},
                                          {HTLEFT, HTLEFT},
                                          {HTBOTTOMRIGHT, HTBOTTOMRIGHT}};
    for (auto [Hit, Want] : Cases)
        EXPECT_EQ(Passed(Hit), Want) << "hit " << Hit;
}

TEST_F(ComponentTest, OnlyNormalAndStayOnTopStylesAreAccepted) {
    Skin->SetFormStyle(fsMDIChild);
    EXPECT_EQ(Form->FormStyle(), fsNormal);
    Skin->SetFormStyle(fsMDIForm);
    EXPECT_EQ(Form->FormStyle(), fsNormal);
    Skin->SetFormStyle(fsStayOnTop);
    EXPECT_EQ(Form->FormStyle(), fsStayOnTop);
}

TEST_F(ComponentTest, LookupsFindTheFirstComponentAndItsSkinData) {
    auto* Second = new TbsSkinForm(Form.get());
    EXPECT_EQ(GetSkinForm(Form.get()), Skin);
    EXPECT_EQ(GetSkinForm(nullptr), nullptr);
    TForm Plain(nullptr);
    EXPECT_EQ(GetSkinForm(&Plain), nullptr);
    EXPECT_EQ(GetMaximizedMDIChildForm(), nullptr);
    EXPECT_EQ(GetActiveMDIChildForm(), nullptr);

    auto* Data = new TbsSkinData(Form.get());
    Skin->SetSkinData(Data);
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    EXPECT_EQ(FormSkinLookup()->FormSkinData(Panel), Data);
    delete Second;
    delete Data;
    EXPECT_EQ(Skin->SkinData(), nullptr) << "a removed skin data is forgotten";
}

TEST_F(ComponentTest, TheInactiveClientPanelFreezesTheClientArea) {
    auto* Panel = new TbsClientInActivePanel(Form.get());
    Panel->HidePanel(); // harmless before any show
    EXPECT_FALSE(Panel->Visible());
    Panel->ShowPanel(Form.get(), bsieSemiTransparent);
    Pump();
    ASSERT_TRUE(Panel->Buffer);
    EXPECT_EQ(Panel->Parent(), Form.get());
    EXPECT_EQ(Panel->BoundsRect(), Rect(0, 0, Form->ClientWidth(), Form->ClientHeight()));
    EXPECT_TRUE(Panel->Visible());
    Panel->HidePanel();
    EXPECT_FALSE(Panel->Buffer);
    EXPECT_FALSE(Panel->Visible());

    Form->Hide();
    Panel->ShowPanel(Form.get(), bsieBlur);
    EXPECT_FALSE(Panel->Buffer) << "a hidden form gets no panel";
}

TEST_F(ComponentTest, AComponentMadeForAShownFormKeepsItShownAndDrawsItsFrame) {
    TForm Shown(nullptr);
    Shown.SetBounds(500, 300, 240, 160);
    Shown.Show();
    Pump();
    auto* Late = new TbsSkinForm(&Shown);
    Pump();
    EXPECT_TRUE(Shown.Visible());
    EXPECT_TRUE(IsWindowVisible(Shown.Handle()));
    EXPECT_EQ(Late->Form(), &Shown);
    // The default frame: its client area starts below the default caption.
    POINT O{0, 0};
    ClientToScreen(Shown.Handle(), &O);
    EXPECT_EQ(O.Y - Shown.Top(), 19 + 3);
    EXPECT_EQ(TColor(ScreenPixel(Shown.Left(), Shown.Top())), ColorToRGB(cl3DLight));
}

} // namespace
} // namespace formtest
