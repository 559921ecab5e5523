// The skinned list box driven by injected mouse and keys on the headless screen: the skinned bars that mirror
// the inner list, rows with images, the horizontal extent, the inner list's events, the height for a number
// of rows, the caption bar's buttons with their repeat on the tests' clock, the paint-into-DC answers, and
// pixel probes of both looks against the control test skin.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

using namespace ctltest;

namespace {

constexpr TColor cImage0 = 0x0000F0;
constexpr TColor cImage1 = 0x00F000;
// The system colours as the screen shows them.
const TColor cWindow = TColor(ColorToRGB(clWindow));
const TColor cFace = TColor(ColorToRGB(clBtnFace));
const TColor cShadow = TColor(ColorToRGB(clBtnShadow));
const TColor cHighlight = TColor(ColorToRGB(clHighlight));

class SkinListBox : public ControlTest {
protected:
    // A list box without skin record (the default look), or with one of the test skin.
    TbsSkinListBox* List(const String& Record = u"", int Rows = 0, int W = 150, int H = 120) {
        auto* L = Make<TbsSkinListBox>(Record, 10, 10, W, H);
        for (int I = 0; I < Rows; ++I)
            L->Items()->Add(u"Row " + IntToStr(I));
        L->OnListBoxClick = [this](TObject*) { ++ListClicks; };
        L->OnListBoxDblClick = [this](TObject*) { ++DblClicks; };
        Pump();
        return L;
    }
    static TPoint RowPoint(TbsSkinListBox* L, int Row, int X = 20) {
        const TRect R = L->ItemRect(Row);
        return L->ListBox->ClientToScreen(TPoint{X, (R.Top + R.Bottom) / 2});
    }
    void ClickRow(TbsSkinListBox* L, int Row) {
        const TPoint P = RowPoint(L, Row);
        InjectClick(P.X, P.Y);
        Pump();
    }
    // Centre of caption button I (0 Up, 1 Down, 2 Check) on the screen.
    static TPoint ButtonPoint(TbsSkinListBox* L, int I) {
        const TRect& R = L->Buttons[I].R;
        return L->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
    }
    void PressButton(TbsSkinListBox* L, int I) {
        const TPoint P = ButtonPoint(L, I);
        InjectMouseMove(P.X, P.Y);
        Pump();
        InjectMouseButton(0, true);
        Pump();
    }
    TbsSkinListBox* CaptionList(int Rows, const String& Record = u"") {
        TbsSkinListBox* L = List(Record, Rows);
        L->SetCaptionMode(true);
        L->SetCaption(u"Files");
        Pump();
        return L;
    }
    std::unique_ptr<TCustomImageList> TwoImages() {
        auto Images = std::make_unique<TCustomImageList>(nullptr);
        Images->SetSize(8, 8);
        for (TColor C : {cImage0, cImage1}) {
            TBitmap B(8, 8);
            Fill(B, Rect(0, 0, 8, 8), C);
            Images->Add(&B, nullptr);
        }
        return Images;
    }
    int ListClicks = 0;
    int DblClicks = 0;
};

// ---------------------------------------------------------------------------------------------
// Scroll bars, rows and events

TEST_F(SkinListBox, TheVerticalBarFollowsTheInnerListUnlessRowCountMatchesTheItems) {
    TbsSkinListBox* L = List(u"", 3);
    EXPECT_EQ(L->ScrollBar, nullptr); // everything fits
    for (int I = 3; I < 12; ++I)
        L->Items()->Add(u"Row " + IntToStr(I));
    Pump();
    ASSERT_NE(L->ScrollBar, nullptr);
    EXPECT_TRUE(L->ScrollBar->Visible());
    EXPECT_EQ(L->ScrollBar->Kind(), sbVertical);
    // The list makes room for the bar, and the bar moves the list.
    EXPECT_LE(L->ListBox->Left() + L->ListBox->Width(), L->ScrollBar->Left());
    L->ScrollBar->SetPosition(4);
    Pump();
    EXPECT_EQ(L->TopIndex(), 4);
    // Keys move the list, and the bar follows.
    L->ListBox->SetFocus();
    L->SetItemIndex(11);
    Pump();
    EXPECT_EQ(L->ScrollBar->Position(), L->TopIndex());

    // Sized for exactly its twelve rows, it shows none even though the inner list would.
    L->SetRowCount(12);
    Pump();
    EXPECT_EQ(L->Height(), L->CalcHeight(12));
    EXPECT_EQ(L->ScrollBar, nullptr);
    // Clearing takes the bar away as well.
    L->SetRowCount(0);
    L->SetHeight(80);
    Pump();
    ASSERT_NE(L->ScrollBar, nullptr);
    L->Items()->Clear();
    Pump();
    EXPECT_EQ(L->ScrollBar, nullptr);
}

TEST_F(SkinListBox, RowsShowTheirOwnImagesAndRowsPastTheImagesKeepTheIndent) {
    TbsSkinListBox* L = List(u"", 3);
    auto Images = TwoImages();
    L->SetImages(Images.get());
    Pump();
    auto ImagePixel = [&](int Row) {
        const TRect R = L->ItemRect(Row);
        return ScreenPixel(L->ListBox, 2 + 4, (R.Top + R.Bottom) / 2);
    };
    EXPECT_EQ(ImagePixel(0), cImage0);
    EXPECT_EQ(ImagePixel(1), cImage1);
    EXPECT_EQ(ImagePixel(2), cWindow);
    // The text starts at the same place in every row.
    auto FirstInk = [&](int Row) {
        const TRect R = L->ItemRect(Row);
        for (int X = 11; X < 60; ++X)
            for (int Y = R.Top; Y < R.Bottom; ++Y)
                if (ScreenPixel(L->ListBox, X, Y) != cWindow)
                    return X;
        return -1;
    };
    EXPECT_GE(FirstInk(0), 2 + 8 + 2);
    EXPECT_EQ(FirstInk(2), FirstInk(0));
    // One image for every row.
    L->SetImageIndex(1);
    Pump();
    EXPECT_EQ(ImagePixel(0), cImage1);
    EXPECT_EQ(ImagePixel(2), cImage1);
    // The image list going away leaves rows without images.
    Images.reset();
    Pump();
    EXPECT_EQ(L->Images(), nullptr);
    EXPECT_NE(ImagePixel(0), cImage1);
}

TEST_F(SkinListBox, AWideRowBringsTheHorizontalBarAndLeftRightScrollByTheWidthOfZero) {
    TbsSkinListBox* L = List(u"", 2);
    L->Items()->Add(u"A row much wider than the list box that holds it, wider still");
    L->SetHorizontalExtent(true);
    Pump();
    ASSERT_NE(L->HScrollBar, nullptr);
    EXPECT_TRUE(L->HScrollBar->Visible());
    EXPECT_EQ(L->ScrollBar, nullptr);
    // The list ends above the bar.
    EXPECT_LE(L->ListBox->Top() + L->ListBox->Height(), L->HScrollBar->Top());
    TBitmap Measure(1, 1);
    Measure.Canvas()->Font()->Assign(L->ListBox->Font());
    const int Zero = Measure.Canvas()->TextWidth(u"0");
    ASSERT_GT(Zero, 0);
    L->ListBox->SetFocus();
    L->SetItemIndex(0);
    Key(VK_RIGHT);
    Key(VK_RIGHT);
    EXPECT_EQ(L->ListBox->HorizontalExtentValue(), 2 * Zero);
    EXPECT_EQ(L->HScrollBar->Position(), 2 * Zero);
    EXPECT_EQ(L->ItemIndex(), 0); // the keys scrolled instead of moving in the list
    Key(VK_LEFT);
    EXPECT_EQ(L->ListBox->HorizontalExtentValue(), Zero);
    // Without the wide row the bar goes and the rows return to their place.
    L->Items()->Delete(2);
    Pump();
    EXPECT_EQ(L->HScrollBar, nullptr);
    EXPECT_EQ(L->ListBox->HorizontalExtentValue(), 0);
}

TEST_F(SkinListBox, ListBoxClickComesFromTheUserAndTheCheckButtonNeverFromCode) {
    TbsSkinListBox* L = CaptionList(5);
    L->SetItemIndex(2);
    Pump();
    EXPECT_EQ(ListClicks, 0);
    ClickRow(L, 1);
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_EQ(ListClicks, 1);
    Key(VK_DOWN);
    EXPECT_EQ(ListClicks, 2);
    PressButton(L, 2);
    Release();
    EXPECT_EQ(ListClicks, 3);
    // The Up and Down buttons move the selection as code does: no click.
    PressButton(L, 0);
    Release();
    EXPECT_EQ(L->ItemIndex(), 1);
    EXPECT_EQ(ListClicks, 3);
}

TEST_F(SkinListBox, ADoubleClickBelowTheLastRowStillReachesTheListBox) {
    TbsSkinListBox* L = List(u"", 2);
    const TPoint P = L->ListBox->ClientToScreen(TPoint{20, L->ListBox->Height() - 5});
    InjectClick(P.X, P.Y);
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_EQ(DblClicks, 1);
    EXPECT_EQ(L->ItemIndex(), -1);
}

TEST_F(SkinListBox, CalcHeightCountsFrameCaptionRowsAndTheHorizontalBar) {
    TbsSkinListBox* L = List(u"", 3);
    EXPECT_EQ(L->CalcHeight(5), 5 * 20 + 4);
    L->SetCaptionMode(true);
    EXPECT_EQ(L->CalcHeight(5), 5 * 20 + 4 + 20);
    L->SetDefaultItemHeight(0); // refused
    EXPECT_EQ(L->DefaultItemHeight(), 20);
    TbsSkinListBox* S = List(u"listbox", 3);
    // The skin's rows are 16 high; its face is 80 high around a client part 54 high.
    EXPECT_EQ(S->ListBox->ItemHeight(), 16);
    EXPECT_EQ(S->CalcHeight(5), 80 - 54 + 5 * 16);
}

TEST_F(SkinListBox, ASkinWithoutRowPictureKeepsTheDefaultRowHeight) {
    TbsSkinListBox* L = List(u"listboxnorows", 12);
    EXPECT_EQ(L->ListBox->ItemHeight(), 20);
    EXPECT_EQ(L->CalcHeight(2), 80 - 54 + 2 * 20);
    L->SetRowCount(3);
    Pump();
    ASSERT_NE(L->ScrollBar, nullptr);
    // Its rows are drawn in the default look.
    EXPECT_EQ(ScreenPixel(L->ListBox, 60, 10), cWindow);
}

TEST_F(SkinListBox, TheInnerListAnswersThePaintIntoDCProtocol) {
    TbsSkinListBox* L = List(u"", 0);
    HWND H = L->ListBox->Handle();
    EXPECT_EQ(SendMessageW(H, 0xB1C9, 0, 0), 12851);
    TBitmap B(20, 20);
    Fill(B, Rect(0, 0, 20, 20), clBlack);
    EXPECT_EQ(SendMessageW(H, 0xBC4A, WPARAM(B.Canvas()->Handle()), 16802), 16802);
    EXPECT_EQ(B.Canvas()->Pixels(5, 5), cWindow);
    EXPECT_EQ(SendMessageW(H, 0xBC4A, 0, 16802), 16802);
    L->Items()->Add(u"row");
    EXPECT_NE(SendMessageW(H, 0xBC4A, 0, 16802), 16802);
}

// A file list as the dialogs make one: its rows are wider than their text, and it keeps typing to itself.
class TWideList : public TbsSkinListBox {
public:
    using TbsSkinListBox::TbsSkinListBox;
    int GetItemWidth(int, TCanvas*) override { return 1000; }
    void ListBoxWndProc(TMessage& Message, bool& Continue) override { Continue = Message.Msg != WM_CHAR; }
};

TEST_F(SkinListBox, DescendantsChangeTheRowWidthAndFilterTheInnerListsMessages) {
    auto* L = Make<TWideList>(u"", 10, 10, 150, 120);
    L->Items()->Add(u"a");
    L->Items()->Add(u"b");
    L->SetHorizontalExtent(true);
    Pump();
    ASSERT_NE(L->HScrollBar, nullptr);
    EXPECT_GT(L->HScrollBar->Max(), 900);
    L->ListBox->SetFocus();
    Pump();
    InjectChar(u'b');
    Pump();
    EXPECT_EQ(L->ItemIndex(), -1);
}

// ---------------------------------------------------------------------------------------------
// The caption bar

TEST_F(SkinListBox, DefaultCaptionButtonsFollowTheCaptionHeight) {
    struct Case {
        int CaptionHeight;
        int ButtonWidth;
    };
    for (const Case& C : {Case{40, 17}, Case{12, 9}, Case{20, 17}}) {
        TbsSkinListBox* L = CaptionList(3);
        L->SetDefaultCaptionHeight(C.CaptionHeight);
        L->Repaint();
        Pump();
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(GetRectWidth(L->Buttons[I].R), C.ButtonWidth) << C.CaptionHeight << " button " << I;
        // Up at the right, Down and Check to its left, side by side.
        EXPECT_EQ(L->Buttons[0].R.Right, L->Width() - 2);
        EXPECT_EQ(L->Buttons[1].R.Right, L->Buttons[0].R.Left);
        EXPECT_EQ(L->Buttons[2].R.Right, L->Buttons[1].R.Left);
        // The list starts below the bar.
        EXPECT_EQ(L->ListBox->Top(), C.CaptionHeight + 1);
        delete L;
    }
}

TEST_F(SkinListBox, HoldingDownAtTheLastRowStaysThere) {
    TbsSkinListBox* L = CaptionList(3);
    L->SetItemIndex(2);
    PressButton(L, 1);
    Wait(500);
    Wait(100);
    Wait(100);
    Release();
    EXPECT_EQ(L->ItemIndex(), 2);
}

TEST_F(SkinListBox, AnAssignedButtonEventFiresOnceUnlessTheMouseIsReleasedAway) {
    TbsSkinListBox* L = CaptionList(5);
    L->SetItemIndex(3);
    int Ups = 0;
    L->OnUpButtonClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, L);
        ++Ups;
    };
    PressButton(L, 0);
    Wait(700); // no repeat with an event of its own
    Release();
    EXPECT_EQ(Ups, 1);
    EXPECT_EQ(L->ItemIndex(), 3);
    // Pressed, then released away from the button: the default step runs instead.
    PressButton(L, 0);
    MouseTo(L, 10, 60);
    Release();
    EXPECT_EQ(Ups, 1);
    EXPECT_EQ(L->ItemIndex(), 2);
    EXPECT_FALSE(L->Buttons[0].Down);
    EXPECT_FALSE(L->Buttons[0].MouseIn);
}

TEST_F(SkinListBox, AHeldButtonRepeatsAfterHalfASecondThenEveryTenthAndFasterAfterReentry) {
    TbsSkinListBox* L = CaptionList(20);
    L->SetItemIndex(0);
    PressButton(L, 1);
    EXPECT_TRUE(L->Buttons[1].Down);
    Wait(499);
    EXPECT_EQ(L->ItemIndex(), 0);
    Wait(1); // the first wait ends: the repeat is set up, no step yet
    EXPECT_EQ(L->ItemIndex(), 0);
    Wait(100);
    EXPECT_EQ(L->ItemIndex(), 1);
    Wait(100);
    EXPECT_EQ(L->ItemIndex(), 2);
    // Off the button the repeat pauses; back on it, it steps every 50 ms.
    MouseTo(L, 10, 60);
    Wait(300);
    EXPECT_EQ(L->ItemIndex(), 2);
    const TPoint P = ButtonPoint(L, 1);
    InjectMouseMove(P.X, P.Y);
    Pump();
    Wait(50);
    EXPECT_EQ(L->ItemIndex(), 3);
    Wait(50);
    EXPECT_EQ(L->ItemIndex(), 4);
    Release();
    EXPECT_EQ(L->ItemIndex(), 5); // the release steps once more, as a click does
    Wait(500);
    EXPECT_EQ(L->ItemIndex(), 5);
}

TEST_F(SkinListBox, TheCheckButtonsHotLookEndsWhenTheMouseLeaves) {
    TbsSkinListBox* L = CaptionList(3);
    const TPoint P = ButtonPoint(L, 2);
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_TRUE(L->Buttons[2].MouseIn);
    const TRect R = L->Buttons[2].R;
    EXPECT_EQ(ScreenPixel(L, R.Left, R.Top), cNavy);
    EXPECT_EQ(ScreenPixel(L, R.Left + 1, R.Bottom - 2), cHotFill);
    MouseAway();
    EXPECT_FALSE(L->Buttons[2].MouseIn);
    EXPECT_EQ(ScreenPixel(L, R.Left, R.Top), cFace);
    EXPECT_EQ(ScreenPixel(L, R.Left + 1, R.Bottom - 2), cFace);
}

// ---------------------------------------------------------------------------------------------
// Pixel probes

TEST_F(SkinListBox, TheDefaultLookFramesTheListAndDrawsItsCaptionBar) {
    TbsSkinListBox* L = CaptionList(3);
    L->SetItemIndex(1);
    Pump();
    EXPECT_EQ(ScreenPixel(L, 0, 0), cShadow);
    EXPECT_EQ(ScreenPixel(L, L->Width() - 1, L->Height() - 1), cShadow);
    EXPECT_EQ(ScreenPixel(L, 1, 5), cFace);               // caption bar
    EXPECT_EQ(ScreenPixel(L, 5, 19), cShadow);            // its bottom line
    EXPECT_EQ(ScreenPixel(L, 1, L->Height() - 2), cFace); // the ring round the list
    const TRect Selected = L->ItemRect(1);
    EXPECT_EQ(ScreenPixel(L->ListBox, L->ListBox->Width() - 4, Selected.Top + 3), cHighlight);
    EXPECT_EQ(ScreenPixel(L->ListBox, L->ListBox->Width() - 4, L->ItemRect(0).Top + 3), cWindow);
    EXPECT_EQ(ScreenPixel(L->ListBox, 10, L->ListBox->Height() - 2), cWindow); // below the rows
    // A pressed button.
    PressButton(L, 0);
    const TRect Up = L->Buttons[0].R;
    EXPECT_EQ(ScreenPixel(L, Up.Left + 1, Up.Bottom - 2), cDownFill);
    Release();
}

TEST_F(SkinListBox, TheSkinnedLookDrawsFrameRowsAndCaptionButtonsFromTheRecord) {
    TbsSkinListBox* L = CaptionList(3, u"listbox");
    L->SetWidth(200);
    L->SetItemIndex(1);
    Pump();
    const int DW = 200 - 80;
    EXPECT_EQ(ScreenPixel(L, 1, 1), cListFrame);
    EXPECT_EQ(ScreenPixel(L, L->Width() - 2, L->Height() - 2), cListFrame);
    // The inner list fills the record's client part.
    EXPECT_EQ(L->ListBox->BoundsRect(), Rect(4, 22, 76 + DW, L->Height() - 4));
    EXPECT_EQ(ScreenPixel(L->ListBox, 1, L->ItemRect(0).Top + 1), cRow);
    EXPECT_EQ(ScreenPixel(L->ListBox, 1, L->ItemRect(1).Top + 1), cRowActive);
    EXPECT_EQ(ScreenPixel(L->ListBox, 3, L->ListBox->Height() - 2), cListClient); // below the rows
    // The buttons keep their place at the right end of the frame.
    EXPECT_EQ(L->Buttons[0].R, Rect(66 + DW, 4, 76 + DW, 18));
    EXPECT_EQ(ScreenPixel(L, 70 + DW, 10), cCapUp);
    EXPECT_EQ(ScreenPixel(L, 60 + DW, 10), cCapDown);
    EXPECT_EQ(ScreenPixel(L, 50 + DW, 10), cCapCheck);
    // Hot and pressed; the Check button has no pressed picture and shows its hot one.
    const TPoint P = ButtonPoint(L, 0);
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_EQ(ScreenPixel(L, 70 + DW, 10), cCapHot);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(ScreenPixel(L, 70 + DW, 10), cCapPressed);
    Release();
    EXPECT_EQ(ScreenPixel(L, 70 + DW, 10), cCapHot);
    PressButton(L, 2);
    EXPECT_EQ(ScreenPixel(L, 50 + DW, 10), cCapHot);
    Release();
    // Hidden buttons are covered by the record's picture for them.
    L->SetShowCaptionButtons(false);
    Pump();
    EXPECT_EQ(ScreenPixel(L, 70 + DW, 10), cCapHidden);
    EXPECT_EQ(ScreenPixel(L, 50 + DW, 10), cCapHidden);
}

} // namespace
