// Standard controls: buttons, check boxes and radio buttons driven by injected clicks and keys on the
// headless screen, the dialog keys of default and cancel buttons, and pixel checks of their classic look.
#include "platform/ui/StdCtrls.h"
#include "UiTestFixture.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class StdCtrlsTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        Host = std::make_unique<TWinControl>(nullptr);
        Host->SetBounds(0, 0, 300, 200);
        Host->HandleNeeded();
    }
    void TearDown() override {
        Host.reset();
        UiTest::TearDown();
    }
    template <class T> T* Make(int X, int Y, const String& Caption = String()) {
        auto* C = new T(Host.get());
        C->SetParent(Host.get());
        C->SetLeft(X);
        C->SetTop(Y);
        C->SetCaption(Caption);
        C->OnClick = [this, C](TObject* Sender) {
            EXPECT_EQ(Sender, C);
            Log.push_back(C->Caption());
        };
        return C;
    }
    TPoint Centre(TControl* C) { return C->ClientToScreen(TPoint{C->Width() / 2, C->Height() / 2}); }
    void Click(TControl* C) {
        TPoint P = Centre(C);
        InjectClick(P.X, P.Y);
        Pump();
    }
    void Key(UINT Vk) {
        InjectKeyPress(Vk);
        Pump();
    }

    std::unique_ptr<TWinControl> Host;
    std::vector<String> Log;
};

TEST_F(StdCtrlsTest, AButtonClicksWhenReleasedOverIt) {
    TButton* B = Make<TButton>(10, 10, u"OK");
    EXPECT_EQ(B->Width(), 75);
    EXPECT_EQ(B->Height(), 25);
    Click(B);
    EXPECT_EQ(Log, std::vector<String>{u"OK"});
    EXPECT_EQ(GetFocus(), B->Handle()); // a press takes the focus
    EXPECT_EQ(GetCapture(), nullptr);

    // Pressed while held over it; dragged off, it pops up and the release clicks nothing.
    TPoint P = Centre(B);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_TRUE(B->Pressed());
    InjectMouseMove(P.X + 100, P.Y);
    Pump();
    EXPECT_FALSE(B->Pressed());
    InjectMouseButton(0, false);
    Pump();
    // A press elsewhere released over the button clicks nothing either.
    InjectMouseMove(200, 150);
    InjectMouseButton(0, true);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log, std::vector<String>{u"OK"});
}

TEST_F(StdCtrlsTest, ADisabledButtonIgnoresInputButCodeStillClicksIt) {
    TButton* B = Make<TButton>(10, 10, u"Off");
    B->SetEnabled(false);
    Click(B);
    B->SetFocus();
    Key(VK_SPACE);
    EXPECT_TRUE(Log.empty());
    B->Click();
    EXPECT_EQ(Log, std::vector<String>{u"Off"});
}

TEST_F(StdCtrlsTest, SpaceOnTheFocusedControlPressesAndItsReleaseActs) {
    TButton* B = Make<TButton>(10, 10, u"Go");
    TCheckBox* C = Make<TCheckBox>(10, 50, u"Box");
    B->SetFocus();
    InjectKey(VK_SPACE, true);
    Pump();
    EXPECT_TRUE(B->Pressed());
    EXPECT_TRUE(Log.empty());
    InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_FALSE(B->Pressed());
    C->SetFocus();
    Key(VK_SPACE);
    EXPECT_TRUE(C->Checked());
    // Space pressed on one control and released after the focus moved acts on neither.
    InjectKey(VK_SPACE, true);
    Pump();
    B->SetFocus();
    InjectKey(VK_SPACE, false);
    Pump();
    EXPECT_EQ(Log, (std::vector<String>{u"Go", u"Box"}));
}

TEST_F(StdCtrlsTest, EnterAndEscapeReachTheDefaultAndCancelButtonsOnce) {
    TButton* Ok = Make<TButton>(10, 10, u"OK");
    TButton* Cancel = Make<TButton>(100, 10, u"Cancel");
    TButton* Other = Make<TButton>(190, 10, u"Other");
    Ok->SetDefault(true);
    Cancel->SetCancel(true);
    // The form offers a dialog key to its controls until one takes it.
    auto DialogKey = [&](WPARAM Key) {
        for (TButton* B : {Ok, Cancel, Other})
            if (B->Perform(CM_DIALOGKEY, Key, 0))
                return true;
        return false;
    };
    auto FocusChanged = [&](TWinControl* Focus) {
        for (TButton* B : {Ok, Cancel, Other})
            B->Perform(CM_FOCUSCHANGED, 0, LPARAM(Focus));
    };
    EXPECT_TRUE(DialogKey(VK_RETURN));
    EXPECT_TRUE(DialogKey(VK_ESCAPE));
    EXPECT_FALSE(DialogKey(VK_TAB));
    // Another button with the focus answers Enter in place of the default one.
    FocusChanged(Other);
    EXPECT_FALSE(Ok->Active());
    EXPECT_TRUE(DialogKey(VK_RETURN));
    // The button answering Enter says so to the form (a default push button, 0x10; else 0x20).
    EXPECT_EQ(Other->Perform(WM_GETDLGCODE, 0, 0), 0x2010);
    EXPECT_EQ(Ok->Perform(WM_GETDLGCODE, 0, 0), 0x2020);
    // A control that is no button gives Enter back to the default button.
    FocusChanged(Host.get());
    EXPECT_TRUE(DialogKey(VK_RETURN));
    Ok->SetEnabled(false);
    EXPECT_FALSE(DialogKey(VK_RETURN));
    EXPECT_EQ(Log, (std::vector<String>{u"OK", u"Cancel", u"Other", u"OK"}));
}

TEST_F(StdCtrlsTest, AcceleratorsFocusAndActOnTheirControl) {
    TButton* B = Make<TButton>(10, 10, u"&Apply");
    TCheckBox* C = Make<TCheckBox>(10, 50, u"&Bold");
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_EQ(C->Perform(CM_DIALOGCHAR, 'b', 0), 1);
    EXPECT_TRUE(C->Checked());
    EXPECT_TRUE(C->Focused());
    EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'A', 0), 1);
    EXPECT_EQ(Log, (std::vector<String>{u"&Bold", u"&Apply"}));
}

TEST_F(StdCtrlsTest, CheckBoxStatesFollowClicksAndCode) {
    struct Case {
        bool AllowGrayed;
        std::vector<TCheckBoxState> AfterClicks;
    };
    const Case Cases[] = {
        {false, {cbChecked, cbUnchecked, cbChecked}},
        {true, {cbGrayed, cbChecked, cbUnchecked, cbGrayed}},
    };
    for (const Case& C : Cases) {
        TCheckBox* Box = Make<TCheckBox>(10, 10, u"Box");
        Box->SetAllowGrayed(C.AllowGrayed);
        for (TCheckBoxState Expected : C.AfterClicks) {
            Click(Box);
            EXPECT_EQ(Box->State(), Expected) << C.AllowGrayed;
        }
        EXPECT_EQ(Log.size(), C.AfterClicks.size());
        Log.clear();
        delete Box;
    }
    // Code that changes the state runs OnClick once; setting the same state again does nothing.
    TCheckBox* Box = Make<TCheckBox>(10, 10, u"Code");
    Box->SetChecked(true);
    Box->SetChecked(true);
    Box->SetState(cbGrayed);
    EXPECT_EQ(Log.size(), 2u);
}

TEST_F(StdCtrlsTest, RadioButtonsOfOneParentFormAGroup) {
    TRadioButton* A = Make<TRadioButton>(10, 10, u"A");
    TRadioButton* B = Make<TRadioButton>(10, 30, u"B");
    TRadioButton* C = Make<TRadioButton>(10, 50, u"C");
    TWinControl* Other = new TWinControl(Host.get());
    Other->SetParent(Host.get());
    Other->SetBounds(150, 10, 120, 60);
    auto* D = new TRadioButton(Host.get());
    D->SetParent(Other);
    D->SetChecked(true);

    Click(B);
    EXPECT_TRUE(B->Checked());
    EXPECT_TRUE(B->TabStop());
    Click(A);
    EXPECT_FALSE(B->Checked());
    EXPECT_FALSE(B->TabStop()); // the group is entered at its checked button
    Click(A);                   // already checked: no click
    EXPECT_TRUE(D->Checked());

    // Arrows move the check and the focus round the group, over disabled buttons.
    B->SetEnabled(false);
    A->SetFocus();
    Key(VK_DOWN);
    EXPECT_TRUE(C->Checked());
    EXPECT_TRUE(C->Focused());
    Key(VK_RIGHT);
    EXPECT_TRUE(A->Checked());
    Key(VK_UP);
    EXPECT_TRUE(C->Checked());
    EXPECT_EQ(Log, (std::vector<String>{u"B", u"A", u"C", u"A", u"C"}));
}

TEST_F(StdCtrlsTest, AButtonMayFreeItselfInItsClick) {
    TButton* B = Make<TButton>(10, 10, u"Close");
    B->OnClick = [&](TObject*) {
        Log.push_back(u"freed");
        delete B;
    };
    Click(B);
    TCheckBox* C = Make<TCheckBox>(10, 50, u"Box");
    C->OnClick = [&](TObject*) { delete C; };
    C->SetFocus();
    Key(VK_SPACE);
    EXPECT_EQ(Log, std::vector<String>{u"freed"});
    EXPECT_EQ(Host->ControlCount(), 0);
}

// ---- the classic look ----

TEST_F(StdCtrlsTest, ButtonsDrawTheirRaisedEdgeAndTheDefaultFrame) {
    TButton Plain(nullptr), Default(nullptr);
    Plain.SetBounds(0, 0, 8, 6);
    Default.SetBounds(0, 0, 8, 6);
    Default.SetDefault(true);
    uitest::ExpectPicture(*uitest::PaintToBitmap(Plain),
                          {"FFFFFFFD", //
                           "FWWWWWSD", //
                           "FWFFFFSD", //
                           "FWFFFFSD", //
                           "FSSSSSSD", //
                           "DDDDDDDD"},
                          __LINE__);
    uitest::ExpectPicture(*uitest::PaintToBitmap(Default),
                          {"KKKKKKKK", //
                           "KFFFFFDK", //
                           "KFWWWSDK", //
                           "KFSSSSDK", //
                           "KDDDDDDK", //
                           "KKKKKKKK"},
                          __LINE__);
}

TEST_F(StdCtrlsTest, ACheckBoxDrawsItsSunkenBoxTickAndCaption) {
    RegisterFixedMetricFont(u"QvBlocks");
    TCheckBox Box(nullptr);
    Box.SetBounds(0, 0, 28, 13);
    Box.Font()->SetName(u"QvBlocks");
    Box.Font()->SetHeight(-11);
    Box.SetCaption(u"Ab");
    Box.OnClick = nullptr;
    Box.SetChecked(true);
    // The caption's blocks: 4 wide, 9 high, one row below the top (11 high centred in 13).
    uitest::ExpectPicture(*uitest::PaintToBitmap(Box),
                          {"SSSSSSSSSSSSWFFFFFFFFFFFFFFF", //
                           "SDDDDDDDDDDFWFFFFKKKKFKKKKFF", //
                           "SDWWWWWWWWWFWFFFFKKKKFKKKKFF", //
                           "SDWWWWWWWKWFWFFFFKKKKFKKKKFF", //
                           "SDWWWWWWKKWFWFFFFKKKKFKKKKFF", //
                           "SDWKWWWKKKWFWFFFFKKKKFKKKKFF", //
                           "SDWKKWKKKWWFWFFFFKKKKFKKKKFF", //
                           "SDWKKKKKWWWFWFFFFKKKKFKKKKFF", //
                           "SDWWKKKWWWWFWFFFFKKKKFKKKKFF", //
                           "SDWWWKWWWWWFWFFFFKKKKFKKKKFF", //
                           "SDWWWWWWWWWFWFFFFFFFFFFFFFFF", //
                           "SFFFFFFFFFFFWFFFFFFFFFFFFFFF", //
                           "WWWWWWWWWWWWWFFFFFFFFFFFFFFF"},
                          __LINE__);
    // Disabled: the box goes grey inside and the tick and caption take the shadow colour.
    Box.SetEnabled(false);
    std::string Picture = uitest::PictureOf(*uitest::PaintToBitmap(Box));
    EXPECT_EQ(Picture.substr(5 * 29, 13), "SDFSFFFSSSFFW");
    EXPECT_EQ(Picture.substr(2 * 29 + 17, 6), "SSSSWS"); // the caption embossed
}

} // namespace
