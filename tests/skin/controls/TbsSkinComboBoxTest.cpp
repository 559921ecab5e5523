// The skinned combo box on the headless screen: the ItemIndex setter's events, the keys, type-ahead and
// completion on the tests' clock, the drop-down's placement, close triggers and drag tracking driven by
// injected input, the fade-in, and the layout and painting of both looks.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/EditComboSkinFixture.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace ctltest;

namespace {

using Log = std::vector<std::string>;

// Logs the change hook beside the events.
class TLoggedCombo : public TbsSkinComboBox {
public:
    using TbsSkinComboBox::TbsSkinComboBox;
    Log* Events = nullptr;
    void Change() override {
        if (Events)
            Events->push_back("Change");
    }
};

// A window that frees the combo box when its posted message arrives, as a handler run during the fade may.
class TFreer : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    TControl* Victim = nullptr;
    void Dispatch(TMessage& M) override {
        if (M.Msg == WM_USER + 77) {
            delete Victim;
            Victim = nullptr;
            return;
        }
        TCustomControl::Dispatch(M);
    }
};

class SkinComboBox : public EditComboTest {
protected:
    TLoggedCombo* Combo(const std::vector<String>& Items, const String& Record = u"", int X = 10, int Y = 10) {
        auto* C = Make<TLoggedCombo>(Record, X, Y);
        for (const String& S : Items)
            C->Items()->Add(S);
        Watch(C);
        return C;
    }
    TLoggedCombo* Numbered(int Count, const String& Record = u"") {
        std::vector<String> Items;
        for (int I = 0; I < Count; ++I)
            Items.push_back(u"Item " + IntToStr(I));
        return Combo(Items, Record);
    }
    void Watch(TLoggedCombo* C) {
        C->Events = &Events;
        C->OnChange = [this](TObject*) { Events.push_back("OnChange"); };
        C->OnClick = [this](TObject*) { Events.push_back("OnClick"); };
        C->OnCloseUp = [this](TObject*) { Events.push_back("OnCloseUp"); };
        C->OnDropDown = [this](TObject*) { Events.push_back("OnDropDown"); };
    }
    Log Take() {
        Log L;
        L.swap(Events);
        return L;
    }
    // The centre of row I of the open drop-down, in the inner list's coordinates.
    void MouseToRow(TbsSkinComboBox* C, int I) {
        TbsListBox* Inner = C->ListBox()->ListBox;
        const TRect R = Inner->ItemRect(I);
        MouseTo(Inner, R.Left + 5, (R.Top + R.Bottom) / 2);
    }
    void OpenByClick(TbsSkinComboBox* C) {
        ClickOn(C, C->Button.R.Left + 5, 10);
        ASSERT_TRUE(C->IsPopupVisible());
    }
    template <class T> T* Plain(int X, int Y) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, Y, 75, 25);
        Pump();
        return C;
    }
    static std::vector<TColor> Colours(TBitmap& B) {
        std::vector<TColor> V;
        for (int Y = 0; Y < B.Height(); ++Y)
            for (int X = 0; X < B.Width(); ++X)
                V.push_back(B.Canvas()->Pixels(X, Y));
        return V;
    }
    Log Events;
};

TEST_F(SkinComboBox, StartsWithTheDefaultsOfAFixedList) {
    TbsSkinComboBox C(nullptr);
    EXPECT_EQ(C.SkinDataName(), u"combobox");
    EXPECT_EQ(C.Style(), bscbFixedStyle);
    EXPECT_EQ(C.ItemIndex(), -1);
    EXPECT_EQ(C.DropDownCount(), 8);
    EXPECT_TRUE(C.AutoComplete());
    EXPECT_TRUE(C.UseSkinSize());
    EXPECT_TRUE(C.TabStop());
    EXPECT_EQ(C.Width(), 120);
    EXPECT_EQ(C.Height(), 20);
    EXPECT_EQ(C.Edit(), nullptr);
    EXPECT_FALSE(C.IsPopupVisible());
}

TEST_F(SkinComboBox, ItemIndexSetterFiresTheTextChangeThenClickThenTheHook) {
    auto* C = Combo({u"one", u"two", u"two"});
    C->SetItemIndex(1);
    EXPECT_EQ(Take(), (Log{"OnChange", "OnClick", "Change"}));
    EXPECT_EQ(C->Text(), u"two");
    // The same text again: no text change, but the click and the hook.
    C->SetItemIndex(1);
    EXPECT_EQ(Take(), (Log{"OnClick", "Change"}));
    C->SetItemIndex(2);
    EXPECT_EQ(Take(), (Log{"OnClick", "Change"}));
    // -1 clears the selection and keeps the text.
    C->SetItemIndex(-1);
    EXPECT_EQ(C->ItemIndex(), -1);
    EXPECT_EQ(C->Text(), u"two");
    EXPECT_EQ(Take(), (Log{"OnClick", "Change"}));
    // While loading only the text change is heard.
    C->BeginLoading();
    C->SetItemIndex(0);
    EXPECT_EQ(Take(), (Log{"OnChange"}));
    C->EndLoading();
}

TEST_F(SkinComboBox, PageKeysMoveByTheDropDownCount) {
    auto* C = Numbered(20);
    C->SetFocus();
    struct Case {
        int From;
        UINT Key;
        int To;
    } Cases[] = {{15, VK_PRIOR, 6}, {0, VK_NEXT, 7}, {3, VK_PRIOR, 0}, {18, VK_NEXT, 19},
                 {5, VK_UP, 4},     {5, VK_DOWN, 6}, {0, VK_UP, 0},    {19, VK_DOWN, 19}};
    for (const Case& K : Cases) {
        C->SetItemIndex(K.From);
        Key(K.Key);
        EXPECT_EQ(C->ItemIndex(), K.To) << K.From << " key " << K.Key;
    }
}

TEST_F(SkinComboBox, TypeAheadWalksOneLetterAndSearchesQuickLetters) {
    auto* C = Combo({u"banana", u"apple", u"Avocado", u"cherry", u"apricot", u"abba"});
    C->SetFocus();
    const int Walk[] = {1, 2, 4};
    for (int Want : Walk) {
        Wait(600);
        Key('A');
        EXPECT_EQ(C->ItemIndex(), Want);
    }
    Wait(600);
    Key('A');
    Key('B');
    EXPECT_EQ(C->ItemIndex(), 5);
    EXPECT_EQ(C->Text(), u"abba");
}

// A box skinned and sized before it has a parent makes no window yet (its drop-down's window would otherwise
// be made without a parent chain), so it paints once it is placed on the form. A stretched face is what sends
// the children the background check on a new size.
TEST_F(SkinComboBox, SkinnedAndSizedBeforeItsParentItPaintsOncePlaced) {
    static_cast<TbsDataSkinCustomControl*>(Record(u"combobox"))->StretchEffect = true;
    auto* C = new TLoggedCombo(Form.get());
    C->SetSkinData(Skin);
    C->SetBounds(10, 10, 150, 20);
    EXPECT_FALSE(C->HandleAllocated());
    EXPECT_FALSE(C->ListBox()->HandleAllocated());
    C->Items()->Add(u"x");
    C->SetParent(Form.get());
    Pump();
    EXPECT_EQ(ScreenPixel(C, 140, 10), cCbButton);
    EXPECT_EQ(ScreenPixel(C, 1, 10), cCbFrame);
    EXPECT_EQ(ScreenPixel(C, 50, 10), cCbItem);
}

TEST_F(SkinComboBox, TheUnskinnedLayoutOfA120x20Box) {
    auto* C = Numbered(3);
    EXPECT_EQ(C->Button.R, Rect(101, 2, 118, 18));
    EXPECT_EQ(C->CBItem.R, Rect(2, 2, 100, 18));
}

TEST_F(SkinComboBox, ASkinnedBoxStretchesItsItemAndKeepsItsButtonRight) {
    auto* C = Combo({u"x"}, u"combobox");
    EXPECT_EQ(C->Button.R, Rect(102, 2, 118, 18));
    EXPECT_EQ(C->CBItem.R, Rect(3, 3, 100, 17));
    EXPECT_EQ(ScreenPixel(C, 110, 10), cCbButton);
    EXPECT_EQ(ScreenPixel(C, 1, 10), cCbFrame);
    EXPECT_EQ(ScreenPixel(C, 50, 10), cCbItem);
}

TEST_F(SkinComboBox, WithoutTheSkinsSizeTheFaceStretchesBothWays) {
    auto* C = Combo({u"x"}, u"combobox");
    C->SetUseSkinSize(false);
    C->SetHeight(30);
    C->ChangeSkinData();
    Pump();
    EXPECT_EQ(C->Height(), 30);
    EXPECT_EQ(C->Button.R, Rect(102, 2, 118, 28));
    EXPECT_EQ(C->CBItem.R, Rect(3, 3, 100, 27));
    EXPECT_EQ(ScreenPixel(C, 1, 15), cCbFrame);
    // The button from the "resizebutton" record, the item from the item picture stretched.
    EXPECT_EQ(ScreenPixel(C, 104, 5), cScrollNormal);
    EXPECT_EQ(ScreenPixel(C, 50, 15), cCbItem);
}

TEST_F(SkinComboBox, TheListsOwnerDrawingReachesTheDropDown) {
    auto* C = Numbered(3);
    std::vector<int> Drawn;
    C->OnListBoxDrawItem = [&](TCanvas*, int Index, int, int, TRect, TOwnerDrawState) { Drawn.push_back(Index); };
    C->DropDown();
    C->ListBox()->ListBox->Repaint();
    Pump();
    EXPECT_NE(std::find(Drawn.begin(), Drawn.end(), 2), Drawn.end());
}

TEST_F(SkinComboBox, TheToolButtonStyleIsOneButtonThatShowsItsDropDown) {
    auto* C = Numbered(3);
    C->SetToolButtonStyle(true);
    C->SetItemIndex(0);
    Pump();
    EXPECT_FALSE(C->UseSkinSize());
    EXPECT_EQ(ScreenPixel(C, 0, 10), TColor(ColorToRGB(clBtnShadow)));
    EXPECT_EQ(ScreenPixel(C, 60, 3), TColor(ColorToRGB(clBtnFace)));
    // A press anywhere opens it, pressed-looking; a second press closes it.
    ClickOn(C, 30, 10);
    EXPECT_TRUE(C->IsPopupVisible());
    EXPECT_EQ(ScreenPixel(C, 0, 10), cNavy);
    EXPECT_EQ(ScreenPixel(C, 60, 3), cDownFill);
    ClickOn(C, 30, 10);
    EXPECT_FALSE(C->IsPopupVisible());
}

// The tool look's drop-down marker is cut from the button record's own picture, which is not the combo box's.
TEST_F(SkinComboBox, TheToolLooksMarkerComesFromTheButtonRecordsPicture) {
    auto* Rec = static_cast<TbsDataSkinButtonControl*>(Record(u"resizetoolbutton"));
    Rec->MenuMarkerRect = Rect(4, 44, 16, 56);
    Rec->MenuMarkerTransparentColor = cRing;
    auto* C = Numbered(3, u"combobox");
    C->SetToolButtonStyle(true);
    C->SetItemIndex(0);
    Pump();
    // Centred in the arrow's place at the right end, 15 pixels wide.
    EXPECT_EQ(ScreenPixel(C, 112, 10), cInner);
}

TEST_F(SkinComboBox, PaintSkinToDrawsTheGivenTextAndKeepsTheBoxsText) {
    auto* C = Numbered(3, u"combobox");
    C->SetItemIndex(1);
    Take();
    TBitmap B(140, 30);
    Fill(B, Rect(0, 0, 140, 30), clWhite);
    C->PaintSkinTo(B.Canvas(), 10, 5, u"MMMM");
    EXPECT_EQ(C->Text(), u"Item 1");
    EXPECT_EQ(B.Canvas()->Pixels(5, 10), clWhite);
    EXPECT_EQ(B.Canvas()->Pixels(11, 15), cCbFrame);
    int Font = 0;
    for (int Y = 5; Y < 25; ++Y)
        for (int X = 10; X < 130; ++X)
            Font += B.Canvas()->Pixels(X, Y) == cCbFont;
    EXPECT_GE(Font, 4);
}

TEST_F(SkinComboBox, TabWidthsTakeTenDigitStops) {
    TStringList Widths;
    for (const char16_t* S : {u"12a", u"40", u"60", u"70", u"80", u"90", u"100", u"110", u"120", u"130", u"140"})
        Widths.Add(S);
    EXPECT_EQ(TbsSkinCustomComboBox::TabStops(&Widths), (std::vector<int>{0, 40, 60, 70, 80, 90, 100, 110, 120, 130}));
}

TEST_F(SkinComboBox, ThreeItemsOpenThreeRowsHighUnderTheBox) {
    auto* C = Numbered(3);
    C->DropDown();
    TbsPopupListBox* L = C->ListBox();
    ASSERT_TRUE(L->Visible());
    EXPECT_EQ(L->ListBox->ClientHeight(), 3 * L->ListBox->ItemHeight());
    EXPECT_EQ(L->ScrollBar, nullptr);
    const TPoint Below = C->ClientToScreen(TPoint{0, C->Height()});
    RECT W;
    GetWindowRect(L->Handle(), &W);
    EXPECT_EQ(W.Left, Below.X);
    EXPECT_EQ(W.Top, Below.Y);
    EXPECT_EQ(W.Right - W.Left, C->Width());
}

TEST_F(SkinComboBox, NearTheWorkAreasBottomItOpensAbove) {
    Form->SetBounds(100, 900, 400, 140);
    auto* C = Numbered(8);
    C->SetTop(90);
    Pump();
    C->DropDown();
    TbsPopupListBox* L = C->ListBox();
    const TPoint Top = C->ClientToScreen(TPoint{0, 0});
    RECT W;
    GetWindowRect(L->Handle(), &W);
    EXPECT_EQ(W.Left, Top.X);
    EXPECT_EQ(W.Bottom, Top.Y);
}

TEST_F(SkinComboBox, PickingWithTheMouseFiresClickChangeThenCloseUp) {
    auto* C = Numbered(5);
    // Press on the button, drag onto row 3, release there.
    Press(C, C->Button.R.Left + 5, 10);
    EXPECT_TRUE(C->IsPopupVisible());
    EXPECT_EQ(Take(), (Log{"OnDropDown"}));
    MouseToRow(C, 1);
    MouseToRow(C, 3);
    EXPECT_EQ(C->ListBox()->ItemIndex(), 3);
    Release();
    EXPECT_FALSE(C->IsPopupVisible());
    EXPECT_EQ(Take(), (Log{"OnChange", "OnClick", "Change", "OnCloseUp"}));
    EXPECT_EQ(C->Text(), u"Item 3");
    // Accepting the item already chosen fires all but the text change.
    OpenByClick(C);
    Take();
    MouseToRow(C, 3);
    ClickOn(C->ListBox()->ListBox, 5, C->ListBox()->ListBox->ItemRect(3).Top + 5);
    EXPECT_EQ(Take(), (Log{"OnClick", "Change", "OnCloseUp"}));
}

TEST_F(SkinComboBox, EachCloseTriggerAcceptsOrCancels) {
    struct Case {
        const char* Name;
        bool Accepted;
    };
    const Case Cases[] = {{"release on an item", true},
                          {"Enter", true},
                          {"Alt+Up", false},
                          {"Escape", false},
                          {"release outside", false},
                          {"press on the combo box", false},
                          {"press on another control", false},
                          {"focus loss", false},
                          {"press on the caption", false}};
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        auto* C = Numbered(5);
        auto* Other = Plain<uitest::TTestButton>(10, 200);
        C->SetItemIndex(1);
        C->SetFocus();
        Pump();
        const std::string Name = K.Name;
        if (Name == "release on an item" || Name == "release outside")
            Press(C, C->Button.R.Left + 5, 10);
        else
            OpenByClick(C);
        MouseToRow(C, 3);
        Take();
        if (Name == "release on an item") {
            Release();
        } else if (Name == "Enter") {
            Key(VK_RETURN);
        } else if (Name == "Alt+Up") {
            Key(VK_UP, VK_MENU);
        } else if (Name == "Escape") {
            Key(VK_ESCAPE);
        } else if (Name == "release outside") {
            MouseTo(C, 300, 10);
            Release();
        } else if (Name == "press on the combo box") {
            ClickOn(C, 20, 10);
        } else if (Name == "press on another control") {
            ClickOn(Other, 10, 10);
        } else if (Name == "focus loss") {
            Other->SetFocus();
            Pump();
        } else {
            const TPoint Caption{Form->Left() + 60, Form->Top() + 8};
            ASSERT_LT(Form->ScreenToClient(Caption).Y, 0);
            InjectMouseMove(Caption.X, Caption.Y);
            InjectMouseButton(0, true);
            InjectMouseButton(0, false);
            Pump();
        }
        EXPECT_FALSE(C->IsPopupVisible());
        EXPECT_EQ(C->ItemIndex(), K.Accepted ? 3 : 1);
        EXPECT_EQ(C->Text(), K.Accepted ? u"Item 3" : u"Item 1");
        if (K.Accepted)
            EXPECT_EQ(Take(), (Log{"OnChange", "OnClick", "Change", "OnCloseUp"}));
        else
            EXPECT_EQ(Take(), Log{});
        delete C;
        delete Other;
        MouseAway();
    }
}

TEST_F(SkinComboBox, AClickOnTheButtonOpensAndLeavesTheListOpen) {
    auto* C = Numbered(5);
    OpenByClick(C);
    Pump();
    EXPECT_TRUE(C->IsPopupVisible());
    EXPECT_FALSE(C->FLBDown);
    // Alt+Down opens, from the keyboard.
    Key(VK_ESCAPE);
    EXPECT_FALSE(C->IsPopupVisible());
    Key(VK_DOWN, VK_MENU);
    EXPECT_TRUE(C->IsPopupVisible());
}

TEST_F(SkinComboBox, DraggingBelowOrAboveTheListScrollsToItsEnds) {
    auto* C = Numbered(20);
    C->SetItemIndex(5);
    Take();
    Press(C, C->Button.R.Left + 5, 10);
    ASSERT_NE(C->ListBox()->ScrollBar, nullptr);
    TbsListBox* Inner = C->ListBox()->ListBox;
    MouseToRow(C, Inner->TopIndex() + 2);
    MouseTo(Inner, 5, Inner->Height() + 30);
    EXPECT_EQ(C->TimerMode, 2);
    for (int I = 0; I < 30; ++I)
        Wait(25);
    EXPECT_EQ(C->ListBox()->ItemIndex(), 19);
    MouseTo(Inner, 5, -30);
    EXPECT_EQ(C->TimerMode, 1);
    for (int I = 0; I < 30; ++I)
        Wait(25);
    EXPECT_EQ(C->ListBox()->ItemIndex(), 0);
    // Back in the list the scrolling stops.
    MouseToRow(C, Inner->TopIndex() + 1);
    EXPECT_EQ(C->TimerMode, 0);
    Release();
    EXPECT_EQ(Take(), (Log{"OnDropDown", "OnChange", "OnClick", "Change", "OnCloseUp"}));
}

TEST_F(SkinComboBox, TheFadeInRisesInFifteenStepsEveryTime) {
    auto* C = Numbered(3);
    C->SetAlphaBlend(true);
    C->SetAlphaBlendAnimation(true);
    C->SetAlphaBlendValue(150);
    for (int Open = 0; Open < 2; ++Open) {
        C->DropDown();
        EXPECT_EQ(C->ListBox()->FadeSteps, 15);
        BYTE Alpha = 0;
        DWORD Flags = 0;
        ASSERT_TRUE(GetLayeredWindowAttributes(C->ListBox()->Handle(), nullptr, &Alpha, &Flags));
        EXPECT_EQ(Alpha, 150);
        C->CloseUp(false);
    }
    // Without the animation the list shows at once with its opacity.
    C->SetAlphaBlendAnimation(false);
    C->SetAlphaBlendValue(100);
    C->DropDown();
    EXPECT_EQ(C->ListBox()->FadeSteps, 0);
    BYTE Alpha = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(C->ListBox()->Handle(), nullptr, &Alpha, nullptr));
    EXPECT_EQ(Alpha, 100);
}

TEST_F(SkinComboBox, TheFadeEndsWhenItsComboBoxIsFreedMeanwhile) {
    auto* C = Numbered(3);
    C->SetAlphaBlend(true);
    C->SetAlphaBlendAnimation(true);
    C->SetAlphaBlendValue(200);
    auto* F = Plain<TFreer>(200, 10);
    F->Victim = C;
    C->OnDropDown = [F](TObject*) { PostMessageW(F->Handle(), WM_USER + 77, 0, 0); };
    C->DropDown();
    EXPECT_EQ(F->Victim, nullptr);
}

TEST_F(SkinComboBox, TheCommittedItemStaysPaintedWhileTheListSelectionMoves) {
    auto* C = Numbered(6, u"combobox");
    C->SetItemIndex(1);
    C->SetFocus();
    MouseAway();
    auto Before = uitest::PaintToBitmap(*C);
    OpenByClick(C);
    MouseToRow(C, 4);
    ASSERT_EQ(C->ListBox()->ItemIndex(), 4);
    C->Repaint();
    auto During = uitest::PaintToBitmap(*C);
    EXPECT_EQ(Colours(*During), Colours(*Before));
    C->CloseUp(true);
    auto After = uitest::PaintToBitmap(*C);
    EXPECT_NE(Colours(*After), Colours(*Before));
}

TEST_F(SkinComboBox, TheDefaultLooksButtonFollowsTheMouse) {
    auto* C = Numbered(3);
    MouseTo(C, 110, 10);
    EXPECT_TRUE(C->Button.MouseIn);
    EXPECT_EQ(ScreenPixel(C, 103, 4), cHotFill);
    EXPECT_EQ(ScreenPixel(C, 101, 2), cNavy);
    Press(C, 110, 10);
    EXPECT_EQ(ScreenPixel(C, 103, 4), cDownFill);
    Release();
    EXPECT_EQ(ScreenPixel(C, 103, 4), cHotFill);
    MouseAway();
    EXPECT_EQ(ScreenPixel(C, 103, 4), TColor(ColorToRGB(clBtnFace)));
    EXPECT_EQ(ScreenPixel(C, 101, 2), TColor(ColorToRGB(clBtnShadow)));
}

// Edit style.

TEST_F(SkinComboBox, CompletionSelectsTheTailAfterAPause) {
    auto* C = Combo({u"apple"});
    C->SetStyle(bscbEditStyle);
    ASSERT_NE(C->Edit(), nullptr);
    C->Edit()->SetFocus();
    Pump();
    Wait(300);
    Key('A');
    Wait(300);
    Key('P');
    EXPECT_EQ(C->Text(), u"apple");
    EXPECT_EQ(C->Edit()->Text(), u"apple");
    EXPECT_EQ(C->SelStart(), 2);
    EXPECT_EQ(C->SelLength(), 3);
}

TEST_F(SkinComboBox, AReleaseWithin200msIsNotCompleted) {
    auto* C = Combo({u"apple"});
    C->SetStyle(bscbEditStyle);
    C->Edit()->SetFocus();
    Pump();
    Wait(300);
    Key('A');
    ASSERT_EQ(C->Text(), u"apple");
    Key('P');
    EXPECT_EQ(C->Text(), u"ap");
    EXPECT_EQ(C->SelLength(), 0);
}

TEST_F(SkinComboBox, WithACJKCharsetReleasingShiftKeepsTheUsersSelection) {
    auto* C = Combo({u"apple", u"banana"});
    C->DefaultFont()->SetCharset(GB2312_CHARSET);
    C->SetStyle(bscbEditStyle);
    C->Edit()->SetFocus();
    C->Edit()->SetText(u"my text");
    C->SetSelStart(0);
    Pump();
    Wait(300);
    InjectKey(VK_SHIFT, true);
    InjectKeyPress(VK_RIGHT);
    InjectKeyPress(VK_RIGHT);
    InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(C->Edit()->Text(), u"my text");
    EXPECT_EQ(C->SelStart(), 0);
    EXPECT_EQ(C->SelLength(), 2);
    // A typed letter still completes, and the next typed one replaces the completed tail.
    C->Edit()->SetText(u"");
    Wait(300);
    Key('B');
    EXPECT_EQ(C->Edit()->Text(), u"banana");
    EXPECT_EQ(C->SelLength(), 5);
}

TEST_F(SkinComboBox, ArrowsInTheEditAcceptTheNextItem) {
    auto* C = Combo({u"one", u"two", u"three"});
    C->SetStyle(bscbEditStyle);
    C->Edit()->SetFocus();
    Pump();
    Take();
    Key(VK_DOWN);
    Key(VK_DOWN);
    EXPECT_EQ(C->Text(), u"two");
    EXPECT_EQ(C->Edit()->Text(), u"two");
    EXPECT_EQ(C->SelLength(), 3);
    Key(VK_UP);
    EXPECT_EQ(C->Text(), u"one");
    // Closing with Enter copies the list's choice into the edit.
    C->DropDown();
    MouseToRow(C, 2);
    Take();
    Key(VK_RETURN);
    EXPECT_EQ(C->Edit()->Text(), u"three");
    EXPECT_EQ(Take(), (Log{"OnChange", "Change", "OnClick", "Change", "OnCloseUp"}));
}

} // namespace
