// The office combo box: the order of its events on every selection path, opening and closing the drop-down
// by mouse and keys, where the drop-down opens, the wheel, the main window's refill and the fade-in.
#include "skin/controls/TbsSkinOfficeComboBox.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace ctltest;

namespace {

class OfficeComboTest : public ControlTest {
protected:
    // 'h' header, 'd' disabled, 'n' normal.
    TbsSkinOfficeComboBox* MakeCombo(const std::string& Rows, int X = 10, int Y = 10) {
        auto* C = Make<TbsSkinOfficeComboBox>(u"", X, Y, 200, 41);
        Fill(C, Rows);
        C->OnClick = [this, C](TObject*) { Log.push_back("click " + std::to_string(C->ItemIndex())); };
        C->OnChange = [this, C](TObject*) { Log.push_back("change " + std::to_string(C->ItemIndex())); };
        return C;
    }
    static void Fill(TbsSkinOfficeComboBox* C, const std::string& Rows) {
        int N = 0;
        for (char K : Rows) {
            TbsSkinOfficeItem* I = C->Items()->Add();
            I->SetTitle(u"Title " + IntToStr(N));
            I->SetCaption(u"Caption " + IntToStr(N++));
            I->SetHeader(K == 'h');
            I->SetEnabled(K != 'd');
        }
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    using Events = std::vector<std::string>;
    std::vector<std::string> Log;
};

TEST_F(OfficeComboTest, EveryItemIndexWriteFiresClickThenChangeButNotWhileLoading) {
    auto* C = MakeCombo("nnn");
    C->SetItemIndex(1);
    C->SetItemIndex(1);
    EXPECT_EQ(Take(), (Events{"click 1", "change 1", "click 1", "change 1"}));
    C->SetItemIndex(-1);
    EXPECT_EQ(Take(), (Events{"click -1", "change -1"}));
    C->BeginLoading();
    C->SetItemIndex(2);
    EXPECT_TRUE(Take().empty());
    C->EndLoading();
    EXPECT_EQ(C->ItemIndex(), 2);
}

TEST_F(OfficeComboTest, EnterAcceptsEvenTheUnchangedItemAndEscapeRestores) {
    auto* C = MakeCombo("nnnn");
    C->SetItemIndex(2);
    C->SetFocus();
    Take();
    C->DropDown();
    ASSERT_TRUE(C->IsPopupVisible());
    Key(VK_RETURN);
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(Take(), (Events{"click 2", "change 2"}));

    C->DropDown();
    C->ListBox()->SetActiveItem(0); // the mouse's highlight
    Key(VK_ESCAPE);
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_TRUE(Take().empty());
}

TEST_F(OfficeComboTest, ArrowKeysCommitWhileOpenAndEscapeKeepsTheirChoice) {
    auto* C = MakeCombo("ndnn");
    C->SetItemIndex(0);
    C->SetFocus();
    Key(VK_DOWN, VK_MENU); // Alt+Down opens
    ASSERT_TRUE(C->IsPopupVisible());
    Take();
    Key(VK_DOWN);
    EXPECT_EQ(Take(), (Events{"click 2", "change 2"}));
    Key(VK_ESCAPE);
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_TRUE(Take().empty());
    // At the last row a key still commits the same row.
    C->SetItemIndex(3);
    Take();
    Key(VK_RIGHT);
    EXPECT_EQ(Take(), (Events{"click 3", "change 3"}));
}

TEST_F(OfficeComboTest, AToolButtonOpensOnAnyClickAndASecondClickCancels) {
    auto* C = MakeCombo("nnn");
    C->SetToolButtonStyle(true);
    C->SetItemIndex(0);
    Take();
    ClickOn(C, 20, 20); // on the item area, far from the arrow
    ASSERT_TRUE(C->IsPopupVisible());
    EXPECT_TRUE(C->Focused());
    // The mouse over row 2 of the open list highlights it; a click back on the combo box cancels.
    TbsPopupOfficeListBox* L = C->ListBox();
    MouseTo(L, 20, L->Items()->Items(2)->ItemRect.Top + 5);
    EXPECT_TRUE(L->Items()->Items(2)->Active);
    ClickOn(C, 20, 20);
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(OfficeComboTest, AClickOnARowOfTheOpenListAcceptsIt) {
    auto* C = MakeCombo("hnnn");
    C->SetToolButtonStyle(true);
    C->SetItemIndex(1);
    ClickOn(C, 20, 20);
    Take();
    TbsPopupOfficeListBox* L = C->ListBox();
    const int Y = L->Items()->Items(3)->ItemRect.Top + 5;
    ClickOn(L, 20, Y);
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), 3);
    EXPECT_EQ(Take(), (Events{"click 3", "change 3"}));
    // A press that starts on the list and ends outside it cancels.
    ClickOn(C, 20, 20);
    Take();
    Press(L, 20, L->Items()->Items(2)->ItemRect.Top + 5);
    MouseTo(Form.get(), 380, 250);
    Release();
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), 3);
    EXPECT_TRUE(Take().empty());
}

TEST_F(OfficeComboTest, TheDropDownOpensBelowOrAboveWithRightEdgesAligned) {
    Form->SetBounds(100, 700, 400, 340); // the work area ends at 1040
    struct Case {
        int Y;
        bool Above;
    };
    for (const Case& K : {Case{10, false}, Case{250, true}}) {
        auto* C = MakeCombo("nnnnnnnn", 150, K.Y);
        C->SetDropDownCount(4);
        C->SetListBoxWidth(300);
        C->DropDown();
        TbsPopupOfficeListBox* L = C->ListBox();
        const TPoint Combo = C->ClientToScreen(TPoint{0, 0});
        EXPECT_EQ(L->Left() + L->Width(), Combo.X + C->Width());
        EXPECT_EQ(L->Height(), 4 * 30 + 5);
        if (K.Above)
            EXPECT_EQ(L->Top() + L->Height(), Combo.Y);
        else
            EXPECT_EQ(L->Top(), Combo.Y + C->Height());
        C->CloseUp(false);
        delete C;
    }
}

TEST_F(OfficeComboTest, TheWheelOverTheClosedComboStepsOverHeadersAndDisabledRows) {
    auto* C = MakeCombo("nhdn");
    C->SetItemIndex(0);
    C->SetFocus();
    Take();
    MouseTo(C, 20, 20);
    InjectMouseWheel(-120);
    Pump();
    EXPECT_EQ(Take(), (Events{"click 3", "change 3"}));
    InjectMouseWheel(120);
    Pump();
    EXPECT_EQ(Take(), (Events{"click 0", "change 0"}));
    // Open, the wheel only moves the highlight.
    C->DropDown();
    InjectMouseWheel(-120);
    Pump();
    EXPECT_EQ(C->ListBox()->ItemIndex(), 3);
    EXPECT_EQ(Take(), Events{});
}

TEST_F(OfficeComboTest, TheMainWindowsRefillFiresItsEventsOnce) {
    TCustomImageList Images(nullptr);
    Images.SetSize(16, 16);
    TBitmap Pic(16, 16);
    Images.Add(&Pic, nullptr);
    auto* C = MakeCombo("nnnnnn");
    C->SetImages(&Images);
    C->SetItemIndex(5);
    Take();
    C->Items()->Clear();
    EXPECT_EQ(C->ItemIndex(), 5);
    EXPECT_NO_THROW(C->Repaint()); // the stale index draws no item
    for (int I = 0; I < 2; ++I) {
        TbsSkinOfficeItem* Item = C->Items()->Add();
        Item->SetTitle(u"MP4 (*.mp4)");
        Item->SetCaption(u"视频 video");
        Item->SetImageIndex(0);
    }
    EXPECT_TRUE(Take().empty());
    C->SetItemIndex(0);
    EXPECT_EQ(Take(), (Events{"click 0", "change 0"}));
}

TEST_F(OfficeComboTest, TheStaleIndexNeverMakesAKeyOrEscapeRaise) {
    auto* C = MakeCombo("nnnnnn");
    C->SetItemIndex(5);
    C->SetFocus();
    C->Items()->Clear();
    Fill(C, "nn");
    Take();
    C->DropDown();
    EXPECT_NO_THROW(Key(VK_ESCAPE));
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_NO_THROW(Key(VK_DOWN));
    EXPECT_NO_THROW(Key(VK_NEXT));
    EXPECT_TRUE(Take().empty());
    Key(VK_UP);
    EXPECT_EQ(Take(), (Events{"click 1", "change 1"}));
    EXPECT_THROW(C->SetItemIndex(7), EListError);
    EXPECT_EQ(C->ItemIndex(), 1);
}

TEST_F(OfficeComboTest, TheFadeRisesInStepsOfAFifteenthOnTheTestClock) {
    auto* C = MakeCombo("nnn");
    C->SetAlphaBlend(true);
    C->SetAlphaBlendAnimation(true);
    struct Case {
        BYTE Value;
        int Steps;
    };
    for (const Case& K : {Case{200, 16}, Case{255, 15}, Case{10, 10}, Case{0, 0}}) {
        C->SetAlphaBlendValue(K.Value);
        C->DropDown();
        EXPECT_EQ(C->ListBox()->FadeSteps, K.Steps) << int(K.Value);
        BYTE Alpha = 99;
        DWORD Flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(C->ListBox()->Handle(), nullptr, &Alpha, &Flags));
        EXPECT_EQ(Alpha, K.Value);
        C->CloseUp(false);
    }
    // Without the animation the alpha is set at once, 0 included.
    C->SetAlphaBlendAnimation(false);
    C->SetAlphaBlendValue(0);
    C->DropDown();
    BYTE Alpha = 99;
    ASSERT_TRUE(GetLayeredWindowAttributes(C->ListBox()->Handle(), nullptr, &Alpha, nullptr));
    EXPECT_EQ(Alpha, 0);
    EXPECT_EQ(C->ListBox()->FadeSteps, 0);
}

TEST_F(OfficeComboTest, TheFadeStopsWhenAPendingMessageFreesTheComboBox) {
    auto* C = MakeCombo("nnn");
    C->SetAlphaBlend(true);
    C->SetAlphaBlendAnimation(true);
    C->SetAlphaBlendValue(200);
    constexpr UINT FreeIt = WM_USER + 77;
    TWndMethod Old = Form->WindowProc();
    Form->SetWindowProc([&](TMessage& M) {
        if (M.Msg == FreeIt) {
            delete C;
            C = nullptr;
            return;
        }
        Old(M);
    });
    PostMessageW(Form->Handle(), FreeIt, 0, 0);
    auto* Opened = C;
    Opened->DropDown();
    EXPECT_EQ(C, nullptr);
    Form->SetWindowProc(Old);
}

TEST_F(OfficeComboTest, LosingTheFocusClosesWithoutAccepting) {
    auto* C = MakeCombo("nnn");
    auto* Other = MakeCombo("n", 10, 120);
    C->SetItemIndex(0);
    C->SetFocus();
    C->DropDown();
    C->ListBox()->SetActiveItem(2);
    Take();
    Other->SetFocus();
    Pump();
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), 0);
    EXPECT_TRUE(Take().empty());
}

TEST_F(OfficeComboTest, DraggingBelowTheOpenListScrollsItOnTheTimer) {
    auto* C = MakeCombo("nnnnnnnn");
    C->SetToolButtonStyle(true);
    C->SetDropDownCount(3);
    C->SetItemIndex(0);
    Take();
    Press(C, 20, 20);
    TbsPopupOfficeListBox* L = C->ListBox();
    ASSERT_TRUE(C->IsPopupVisible());
    ASSERT_NE(L->ScrollBar, nullptr);
    MouseTo(L, 20, 40); // into the list: row 1 is marked
    EXPECT_EQ(L->ItemIndex(), 1);
    MouseTo(L, 20, L->Height() + 20); // below it
    EXPECT_EQ(C->TimerMode, 2);
    Wait(26);
    EXPECT_EQ(L->ItemIndex(), 2);
    Wait(26);
    EXPECT_EQ(L->ItemIndex(), 3);
    MouseTo(L, 20, 40); // back inside: the timer stops
    EXPECT_EQ(C->TimerMode, 0);
    const int Marked = L->ItemIndex();
    Release(); // over the list: accepted
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(C->ItemIndex(), Marked);
    EXPECT_EQ(Take(), (Events{"click " + std::to_string(Marked), "change " + std::to_string(Marked)}));
}

TEST_F(OfficeComboTest, TheToolLookComesFromTheSkinsButtonRecordWhenTheSkinHasAComboBox) {
    // Without a "combobox" record: the unskinned tool look.
    auto* C = Make<TbsSkinOfficeComboBox>(u"combobox", 10, 10, 120, 30);
    C->SetToolButtonStyle(true);
    Pump();
    EXPECT_EQ(ScreenPixel(C, 0, 0), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(ScreenPixel(C, 10, 15), TColor(ColorToRGB(clBtnFace)));
    // With one, the "resizetoolbutton" faces by state.
    auto Rec = std::make_unique<TbsDataSkinComboBox>(u"combobox");
    Rec->PictureIndex = 0;
    Rec->SkinRect = Rect(0, 40, 20, 60);
    Rec->LTPoint = {4, 4};
    Rec->RTPoint = {16, 4};
    Rec->LBPoint = {4, 16};
    Rec->RBPoint = {16, 16};
    Rec->ClRect = Rect(4, 4, 16, 16);
    Skin->CtrlList.push_back(std::move(Rec));
    C->ChangeSkinData();
    Fill(C, "nn");
    Pump();
    EXPECT_EQ(ScreenPixel(C, 60, 15), cToolNormal);
    MouseTo(C, 60, 15);
    EXPECT_EQ(ScreenPixel(C, 60, 15), cToolHot);
    C->DropDown();
    Pump();
    EXPECT_EQ(ScreenPixel(C, 60, 15), cToolDown);
    C->CloseUp(false);
    MouseAway();
    // Without either button record the tool look draws nothing of its own.
    std::erase_if(Skin->CtrlList,
                  [](const auto& R) { return R->IDName == u"resizetoolbutton" || R->IDName == u"resizebutton"; });
    C->ChangeSkinData();
    Pump();
    EXPECT_NE(ScreenPixel(C, 60, 15), cToolNormal);
    EXPECT_NE(ScreenPixel(C, 60, 15), TColor(ColorToRGB(clBtnFace)));
}

} // namespace
