// Tab control and page control: tab rectangles on every side, the display rectangle both ways, rows,
// scrolling by the first visible tab, selection by press and keys with its veto and its order, and the
// pages that follow the selection, driven by injected input on the headless screen.
#include "platform/ui/Tabs.h"
#include "UiTestSupport.h"
#include "platform/ui/Forms.h"
#include "platform/ui/StdCtrls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class TabsTest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Form = std::make_unique<TForm>(nullptr);
        Form->SetBounds(100, 100, 400, 300);
        // Notifications the form hears from its tab controls, before the control turns them into events.
        TWndMethod Previous = Form->WindowProc();
        Form->SetWindowProc([this, Previous](TMessage& M) {
            if (M.Msg == WM_NOTIFY) {
                UINT Code = reinterpret_cast<NMHDR*>(M.LParam)->code;
                Log.push_back(Code == TCN_SELCHANGING ? "TCN_SELCHANGING"
                              : Code == TCN_SELCHANGE ? "TCN_SELCHANGE"
                                                      : "?");
            }
            Previous(M);
        });
    }
    void TearDown() override {
        Form.reset();
        uitest::UiTest::TearDown();
    }
    template <class T> T* Make(int X, int Y, int W, int H) {
        auto* C = new T(Form.get());
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W, H);
        return C;
    }
    TTabControl* MakeTabs(int W, int H, int Count, int TabWidth = 60, int TabHeight = 20) {
        auto* T = Make<TTabControl>(0, 0, W, H);
        T->SetTabWidth(TabWidth);
        T->SetTabHeight(TabHeight);
        for (int I = 0; I < Count; ++I)
            T->Tabs()->Add(u"Tab " + IntToStr(I));
        return T;
    }
    void ClickTab(TCustomTabControl* T, int Index) {
        TRect R = T->TabRect(Index);
        TPoint P = T->ClientToScreen(TPoint{(R.Left + R.Right) / 2, (R.Top + R.Bottom) / 2});
        InjectClick(P.X, P.Y);
        Pump();
    }
    void Watch(TCustomTabControl* T) {
        T->OnChanging = [this, T](TObject*, bool& Allow) {
            Log.push_back("changing " + std::to_string(T->TabIndex()));
            Allow = !Veto;
        };
        T->OnChange = [this, T](TObject*) { Log.push_back("change " + std::to_string(T->TabIndex())); };
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }

    std::unique_ptr<TForm> Form;
    std::vector<std::string> Log;
    bool Veto = false;
};

TEST_F(TabsTest, FixedSizeTabsLieAlongEachSideAndTheDisplayRectangleIsTheRest) {
    struct Case {
        TTabPosition Position;
        std::vector<TRect> Tabs;
        TRect Display;
    } Cases[] = {
        {tpTop, {Rect(2, 2, 62, 22), Rect(62, 2, 122, 22), Rect(122, 2, 182, 22)}, Rect(4, 26, 296, 196)},
        {tpBottom, {Rect(2, 178, 62, 198), Rect(62, 178, 122, 198), Rect(122, 178, 182, 198)}, Rect(4, 4, 296, 174)},
        {tpLeft, {Rect(2, 2, 22, 62), Rect(2, 62, 22, 122), Rect(2, 122, 22, 182)}, Rect(26, 4, 296, 196)},
        {tpRight, {Rect(278, 2, 298, 62), Rect(278, 62, 298, 122), Rect(278, 122, 298, 182)}, Rect(4, 4, 274, 196)},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(int(C.Position));
        TTabControl* T = MakeTabs(300, 200, 3);
        T->SetTabPosition(C.Position);
        for (int I = 0; I < 3; ++I)
            EXPECT_EQ(T->TabRect(I), C.Tabs[std::size_t(I)]) << I;
        EXPECT_EQ(T->DisplayRect(), C.Display);
        // Back from the display rectangle to the window rectangle.
        RECT R = C.Display;
        T->Perform(TCM_ADJUSTRECT, TRUE, LPARAM(&R));
        EXPECT_EQ(R, Rect(0, 0, 300, 200));
        EXPECT_EQ(T->TabRect(3), TRect());
        delete T;
    }
}

TEST_F(TabsTest, TabsSizedByCaptionAndImageAndByTcmSetItemSize) {
    TTabControl* T = Make<TTabControl>(0, 0, 300, 200);
    T->Tabs()->Add(u"Video");
    T->Tabs()->Add(u"视频设置");
    TBitmap Probe(1, 1);
    Probe.Canvas()->Font()->Assign(T->Font());
    int Video = Probe.Canvas()->TextWidth(u"Video"), Chinese = Probe.Canvas()->TextWidth(u"视频设置");
    int Height = Probe.Canvas()->TextHeight(u"Wy") + 6;
    ASSERT_GT(Chinese, 0);
    EXPECT_EQ(T->TabRect(0), Rect(2, 2, 2 + Video + 12, 2 + Height));
    EXPECT_EQ(T->TabRect(1), Rect(2 + Video + 12, 2, 2 + Video + 12 + Chinese + 12, 2 + Height));

    // An image list makes room for an image in every tab that has one, and across for its height.
    TImageList Images(nullptr, 16, 24);
    T->SetImages(&Images);
    EXPECT_EQ(T->TabRect(0), Rect(2, 2, 2 + Video + 12 + 16 + 3, 2 + 24 + 6));
    // A new image size measures the tabs again.
    Images.SetSize(20, 10);
    EXPECT_EQ(T->TabRect(0), Rect(2, 2, 2 + Video + 12 + 20 + 3, 2 + Height));
    Images.SetSize(16, 24);
    T->OnGetImageIndex = [](TObject*, int Tab, int& Image) { Image = Tab == 1 ? -1 : Image; };
    T->SetImages(nullptr);
    T->SetImages(&Images);
    EXPECT_EQ(T->TabRect(1).Width(), Chinese + 12);

    // TCM_SETITEMSIZE: width in the low word, height in the high word; 0 wide keeps the caption's width.
    T->Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(0, 30));
    EXPECT_EQ(T->TabRect(1).Height(), 30);
    EXPECT_EQ(T->TabRect(1).Width(), Chinese + 12);
    T->Perform(TCM_SETITEMSIZE, 0, MAKELPARAM(50, 18));
    EXPECT_EQ(T->TabRect(1), Rect(52, 2, 102, 20));
    T->SetImages(nullptr);
    // A list freed while shown leaves the control without images.
    {
        TImageList Gone(nullptr, 16, 16);
        T->SetImages(&Gone);
    }
    EXPECT_EQ(T->Images(), nullptr);
}

TEST_F(TabsTest, MultiLineTabsWrapIntoRowsWithTheSelectedRowNextToThePage) {
    TTabControl* T = MakeTabs(300, 200, 6);
    T->SetMultiLine(true);
    EXPECT_EQ(T->RowCount(), 2);
    // Four tabs of 60 fit between 2 and 298.
    EXPECT_EQ(T->TabRect(0), Rect(2, 22, 62, 42));
    EXPECT_EQ(T->TabRect(3), Rect(182, 22, 242, 42));
    EXPECT_EQ(T->TabRect(4), Rect(2, 2, 62, 22));
    EXPECT_EQ(T->DisplayRect(), Rect(4, 46, 296, 196));
    T->SetTabIndex(5);
    EXPECT_EQ(T->TabRect(5), Rect(62, 22, 122, 42));
    EXPECT_EQ(T->TabRect(0), Rect(2, 2, 62, 22));

    // Tabs sized by caption fill each row unless RaggedRight.
    TTabControl* C = Make<TTabControl>(0, 0, 200, 100);
    C->SetMultiLine(true);
    for (const char16_t* S : {u"Audio", u"Video", u"Subtitles", u"Output", u"Advanced"})
        C->Tabs()->Add(S);
    ASSERT_GT(C->RowCount(), 1);
    // The last tab of every row ends at the strip's end.
    for (int I = 0; I < 5; ++I) {
        if (I == 4 || C->TabRect(I + 1).Top != C->TabRect(I).Top) {
            EXPECT_EQ(C->TabRect(I).Right, 198) << I;
        }
    }
    C->SetRaggedRight(true);
    EXPECT_LT(C->TabRect(4).Right, 198);
}

TEST_F(TabsTest, SingleLineTabsScrollByTheirFirstVisibleTab) {
    TTabControl* T = MakeTabs(200, 100, 6);
    Form->Show();
    Pump();
    EXPECT_EQ(T->FirstVisibleTab(), 0);
    // SB_THUMBPOSITION with the first tab to show; tabs before it lie left of the strip.
    T->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 2), 0);
    EXPECT_EQ(T->FirstVisibleTab(), 2);
    EXPECT_EQ(T->TabRect(0), Rect(-118, 2, -58, 22));
    EXPECT_EQ(T->TabRect(2), Rect(2, 2, 62, 22));
    EXPECT_EQ(T->IndexOfTabAt(10, 10), 2);
    // No further than the last tab showing whole: three tabs fit in 200 pixels.
    T->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    EXPECT_EQ(T->FirstVisibleTab(), 3);
    T->Perform(WM_HSCROLL, MAKEWPARAM(SB_LINELEFT, 0), 0);
    EXPECT_EQ(T->FirstVisibleTab(), 2);
    T->ScrollTabs(-5);
    EXPECT_EQ(T->FirstVisibleTab(), 0);
    // Moving the selection with the keys brings its tab into view.
    T->SetFocus();
    InjectKeyPress(VK_END);
    Pump();
    EXPECT_EQ(T->TabIndex(), 5);
    EXPECT_EQ(T->FirstVisibleTab(), 3);
    InjectKeyPress(VK_HOME);
    Pump();
    EXPECT_EQ(T->FirstVisibleTab(), 0);
    // Setting the selection from code scrolls too; wider than all tabs nothing scrolls.
    T->SetTabIndex(4);
    EXPECT_EQ(T->FirstVisibleTab(), 2);
    T->SetWidth(400);
    EXPECT_EQ(T->TabRect(0).Left, 2);
    EXPECT_EQ(T->FirstVisibleTab(), 0);
}

TEST_F(TabsTest, APressAsksTheParentAndOnChangingBeforeSelecting) {
    TTabControl* T = MakeTabs(300, 200, 3);
    Watch(T);
    T->OnMouseDown = [this, T](TObject*, TMouseButton, TShiftState, int, int) {
        Log.push_back("mouse down " + std::to_string(T->TabIndex()));
    };
    Form->Show();
    Pump();
    EXPECT_EQ(T->TabIndex(), 0);
    ClickTab(T, 2);
    EXPECT_EQ(Take(),
              (std::vector<std::string>{"TCN_SELCHANGING", "changing 0", "TCN_SELCHANGE", "change 2", "mouse down 2"}));
    EXPECT_TRUE(T->Focused());
    Veto = true;
    ClickTab(T, 1);
    EXPECT_EQ(Take(), (std::vector<std::string>{"TCN_SELCHANGING", "changing 2", "mouse down 2"}));
    EXPECT_EQ(T->TabIndex(), 2);
    // Pressing the selected tab or beside the tabs changes nothing.
    Veto = false;
    ClickTab(T, 2);
    TPoint Beside = T->ClientToScreen(TPoint{250, 10});
    InjectClick(Beside.X, Beside.Y);
    Pump();
    EXPECT_EQ(Take(), (std::vector<std::string>{"mouse down 2", "mouse down 2"}));
    // Arrow keys step (no wrapping), each with its own question.
    InjectKeyPress(VK_LEFT);
    InjectKeyPress(VK_RIGHT);
    InjectKeyPress(VK_RIGHT);
    Pump();
    EXPECT_EQ(Take(), (std::vector<std::string>{"TCN_SELCHANGING", "changing 2", "TCN_SELCHANGE", "change 1",
                                                "TCN_SELCHANGING", "changing 1", "TCN_SELCHANGE", "change 2"}));
    // Code sets the selection silently; the hit test names the part under a point.
    T->SetTabIndex(0);
    EXPECT_TRUE(Take().empty());
    TCHITTESTINFO Info;
    Info.pt = POINT{70, 10};
    EXPECT_EQ(T->Perform(TCM_HITTEST, 0, LPARAM(&Info)), 1);
    EXPECT_EQ(Info.flags, TCHT_ONITEMLABEL);
    Info.pt = POINT{290, 100};
    EXPECT_EQ(T->Perform(TCM_HITTEST, 0, LPARAM(&Info)), -1);
    EXPECT_EQ(Info.flags, TCHT_NOWHERE);
    EXPECT_EQ(T->Perform(TCM_SETCURSEL, 7, 0), -1);
    EXPECT_EQ(T->TabIndex(), 0);
}

TEST_F(TabsTest, TheSelectedTabStandsOutOverTheRaisedFrame) {
    TTabControl* T = MakeTabs(30, 22, 2, 10, 6);
    T->Tabs()->SetStrings(0, String());
    T->Tabs()->SetStrings(1, String());
    T->SetTabIndex(1);
    auto Picture = uitest::PaintToBitmap(*T);
    uitest::ExpectPicture(
        *Picture,
        {
            "FFFFFFFFFFFFFFFFFFFFFFFDFFFFFF", "FFFFFFFFFFFWWWWWWWWWWWSDFFFFFF", "FFFFFFFFFFFWFFFFFFFFFFSDFFFFFF",
            "FFFWWWWWWWFWFFFFFFFFFFSDFFFFFF", "FFFWFFFFFFFWFFFFFFFFFFSDFFFFFF", "FFFWFFFFFFFWFFFFFFFFFFSDFFFFFF",
            "FFFWFFFFFFFWFFFFFFFFFFSDFFFFFF", "FFFFFFFFFFFWFFFFFFFFFFSDFFFFFF", "FFFFFFFFFFFWFFFFFFFFFFSDFFFFFD",
            "FWWWWWWWWWFFFFFFFFFFFFSDWWWWSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD",
            "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD",
            "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD",
            "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FWFFFFFFFFFFFFFFFFFFFFFFFFFFSD", "FSSSSSSSSSSSSSSSSSSSSSSSSSSSSD",
            "DDDDDDDDDDDDDDDDDDDDDDDDDDDDDD",
        },
        __LINE__);
}

TEST_F(TabsTest, OwnerDrawnTabsAreDrawnByOnDrawTabOnTheControlsCanvas) {
    TTabControl* T = MakeTabs(300, 100, 3);
    T->SetOwnerDraw(true);
    T->SetTabIndex(1);
    std::vector<std::string> Drawn;
    T->OnDrawTab = [&](TCustomTabControl* Control, int Index, const TRect& R, bool Active) {
        EXPECT_EQ(Control, T);
        Drawn.push_back(std::to_string(Index) + (Active ? " active " : " ") + std::to_string(R.Left) + "," +
                        std::to_string(R.Top) + "-" + std::to_string(R.Right) + "," + std::to_string(R.Bottom));
        Control->Canvas()->Brush()->SetColor(clBlack);
        Control->Canvas()->FillRect(R);
    };
    auto Picture = uitest::PaintToBitmap(*T);
    // The selected tab comes last, raised by two pixels on each side.
    EXPECT_EQ(Drawn, (std::vector<std::string>{"0 2,2-62,22", "2 122,2-182,22", "1 active 60,0-124,24"}));
    EXPECT_EQ(Picture->Canvas()->Pixels(61, 1), clBlack);
    EXPECT_EQ(Picture->Canvas()->Pixels(190, 10), ColorToRGB(clBtnFace));
}

class PageControlTest : public TabsTest {
protected:
    TPageControl* MakePages(int Count) {
        auto* P = Make<TPageControl>(10, 10, 300, 200);
        for (int I = 0; I < Count; ++I) {
            auto* S = new TTabSheet(Form.get());
            S->SetCaption(u"Page " + IntToStr(I));
            S->SetPageControl(P);
            Sheets.push_back(S);
        }
        P->SetTabWidth(60);
        P->SetTabHeight(20);
        return P;
    }
    std::vector<std::string> Shown(TPageControl* P) {
        std::vector<std::string> S;
        for (int I = 0; I < P->PageCount(); ++I)
            if (P->Pages(I)->Visible())
                S.push_back("page " + std::to_string(I));
        return S;
    }
    std::vector<TTabSheet*> Sheets;
};

TEST_F(PageControlTest, OnlyTheActivePageShowsAndFillsTheDisplayRectangle) {
    TPageControl* P = MakePages(3);
    Form->Show();
    Pump();
    EXPECT_EQ(P->ActivePage(), Sheets[0]);
    EXPECT_EQ(Shown(P), std::vector<std::string>{"page 0"});
    EXPECT_EQ(Sheets[0]->BoundsRect(), Rect(4, 26, 296, 196));
    Watch(P);
    ClickTab(P, 2);
    EXPECT_EQ(Take(), (std::vector<std::string>{"TCN_SELCHANGING", "changing 0", "TCN_SELCHANGE", "change 2"}));
    EXPECT_EQ(P->ActivePage(), Sheets[2]);
    EXPECT_EQ(Shown(P), std::vector<std::string>{"page 2"});
    EXPECT_EQ(Sheets[2]->BoundsRect(), Rect(4, 26, 296, 196));
    Veto = true;
    ClickTab(P, 1);
    EXPECT_EQ(P->ActivePage(), Sheets[2]);
    Veto = false;
    // From code: no events.
    P->SetActivePageIndex(1);
    EXPECT_EQ(P->TabIndex(), 1);
    EXPECT_EQ(Shown(P), std::vector<std::string>{"page 1"});
    Take();
    // Moving the tabs to the left moves the page.
    P->SetTabPosition(tpLeft);
    EXPECT_EQ(Sheets[1]->BoundsRect(), Rect(26, 4, 296, 196));
}

TEST_F(PageControlTest, HiddenTabsAreSkippedAndAHiddenActiveTabGivesWay) {
    TPageControl* P = MakePages(4);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(P->Perform(TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Sheets[1]->TabIndex(), -1);
    EXPECT_EQ(Sheets[2]->TabIndex(), 1);
    EXPECT_EQ(Sheets[3]->PageIndex(), 3);
    P->SetActivePage(Sheets[2]);
    EXPECT_EQ(P->TabIndex(), 1);
    Sheets[2]->SetTabVisible(false);
    EXPECT_EQ(P->ActivePage(), Sheets[3]);
    EXPECT_EQ(P->TabIndex(), 1);
    EXPECT_EQ(Shown(P), std::vector<std::string>{"page 3"});
    // The caption of a page is its tab's text; freeing the active page shows the next one.
    Sheets[3]->SetCaption(u"输出");
    WCHAR Buffer[16] = {};
    TCITEMW Item;
    Item.mask = TCIF_TEXT;
    Item.pszText = Buffer;
    Item.cchTextMax = 16;
    P->Perform(TCM_GETITEMW, 1, LPARAM(&Item));
    EXPECT_EQ(String(Buffer), u"输出");
    delete Sheets[3];
    EXPECT_EQ(P->ActivePage(), Sheets[0]);
    EXPECT_EQ(P->PageCount(), 3);
    // Page order: moving a page moves its tab.
    Sheets[2]->SetTabVisible(true);
    Sheets[2]->SetPageIndex(0);
    EXPECT_EQ(Sheets[2]->TabIndex(), 0);
    EXPECT_EQ(P->TabIndex(), 1);
    EXPECT_EQ(P->FindNextPage(Sheets[0], true, true), Sheets[2]);
    EXPECT_EQ(P->FindNextPage(Sheets[0], true, false), Sheets[1]);
}

// Hiding a tab keeps the strip where it was scrolled: the page whose tab came first stays first.
TEST_F(PageControlTest, HidingATabKeepsTheStripScrolled) {
    TPageControl* P = MakePages(8);
    P->SetActivePage(Sheets[4]);
    P->Perform(WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
    ASSERT_EQ(P->FirstVisibleTab(), 3);
    Sheets[6]->SetTabVisible(false);
    EXPECT_EQ(P->FirstVisibleTab(), 3);
    Sheets[1]->SetTabVisible(false);
    EXPECT_EQ(Sheets[3]->TabIndex(), 2);
    EXPECT_EQ(P->FirstVisibleTab(), 2);
    EXPECT_EQ(P->ActivePage(), Sheets[4]);
}

TEST_F(PageControlTest, CtrlTabStepsThroughThePagesFromAControlOnAPage) {
    TPageControl* P = MakePages(3);
    auto* Check = new TCheckBox(Form.get());
    Check->SetParent(Sheets[0]);
    Check->SetBounds(10, 10, 100, 20);
    Watch(P);
    Form->Show();
    Pump();
    Check->SetFocus();
    InjectKey(VK_CONTROL, true);
    InjectKeyPress(VK_TAB);
    Pump();
    EXPECT_EQ(P->ActivePage(), Sheets[1]);
    // The focus that was on the page going away comes to the page control.
    EXPECT_TRUE(P->Focused());
    InjectKey(VK_SHIFT, true);
    InjectKeyPress(VK_TAB);
    InjectKeyPress(VK_TAB);
    InjectKey(VK_SHIFT, false);
    InjectKey(VK_CONTROL, false);
    Pump();
    EXPECT_EQ(P->ActivePage(), Sheets[2]);
    EXPECT_EQ(Take(), (std::vector<std::string>{"TCN_SELCHANGING", "changing 0", "TCN_SELCHANGE", "change 1",
                                                "TCN_SELCHANGING", "changing 1", "TCN_SELCHANGE", "change 0",
                                                "TCN_SELCHANGING", "changing 0", "TCN_SELCHANGE", "change 2"}));
}

// A page control that moves its tab strip right by 80 pixels and reshapes the page area, the way a
// skinned descendant does: answers changed after the inherited handling, presses moved back before it.
class TShiftedPages : public TPageControl {
public:
    using TPageControl::TPageControl;
    void WndProc(TMessage& M) override {
        if (M.Msg == WM_LBUTTONDOWN)
            M.LParam = MAKELPARAM(GET_X_LPARAM(M.LParam) - 80, GET_Y_LPARAM(M.LParam));
        TPageControl::WndProc(M);
        if (M.Msg == TCM_ADJUSTRECT && M.WParam == FALSE) {
            auto* R = reinterpret_cast<RECT*>(M.LParam);
            *R = Rect(1, R->Top - 5, ClientWidth() - 1, ClientHeight() - 1);
        }
        if (M.Msg == TCM_GETITEMRECT && M.Result) {
            auto* R = reinterpret_cast<RECT*>(M.LParam);
            OffsetRect(R, 80, 0);
        }
    }
};

TEST_F(PageControlTest, ADescendantReshapingTheAnswersReshapesThePagesAndPresses) {
    auto* P = Make<TShiftedPages>(10, 10, 400, 200);
    for (int I = 0; I < 3; ++I) {
        auto* S = new TTabSheet(Form.get());
        S->SetPageControl(P);
        Sheets.push_back(S);
    }
    P->SetTabWidth(80);
    P->SetTabHeight(20);
    Form->Show();
    Pump();
    EXPECT_EQ(P->TabRect(0), Rect(82, 2, 162, 22));
    EXPECT_EQ(Sheets[0]->BoundsRect(), Rect(1, 21, 399, 199));
    // A press inside tab 1's moved rectangle reaches the native control 80 pixels further left, still on
    // tab 1; a press left of the moved strip (x = 40, seen as -40) hits no tab.
    ClickTab(P, 1);
    EXPECT_EQ(P->ActivePage(), Sheets[1]);
    TPoint Left = P->ClientToScreen(TPoint{40, 10});
    InjectClick(Left.X, Left.Y);
    Pump();
    EXPECT_EQ(P->ActivePage(), Sheets[1]);
}

} // namespace
