// The form component on MDI forms: a maximized child refits the parent's free client area and the parent hears
// of it, the window menu and the tabs bar follow the children, and the whole-set commands tile and cascade them.
// A picture of an MDI parent in two stored skins and the default look is saved as artifacts/mdi_<skin>.png.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Menus.h"
#include "skin/controls/bsSkinBoxCtrls.h"
#include "skin/forms/bsSkinForm.h"
#include "skin/forms/bsSkinMenus.h"
#include "tests/skin/controls/GalleryFixture.h"

namespace {

// A skin made in code whose frame's top, the cascade's step, is Top pixels high.
TbsSkinData* FrameSkin(TComponent* Owner, int Top) {
    auto* SD = new TbsSkinData(Owner);
    SD->FPicture->SetPixelFormat(pf24bit);
    SD->FPicture->SetSize(100, 60);
    SD->FPicture->Canvas()->Brush()->SetColor(TColor(0x804020));
    SD->FPicture->Canvas()->FillRect(Rect(0, 0, 100, 60));
    SD->LTPoint = TPoint{30, Top};
    SD->RTPoint = TPoint{35, Top};
    SD->LBPoint = TPoint{30, 56};
    SD->RBPoint = TPoint{35, 56};
    SD->ClRect = Rect(4, Top, 96, 56);
    SD->MaskRectArea = Rect(0, 0, 100, 60);
    SD->Empty = false;
    return SD;
}

// An MDI parent at (100, 100), 640 x 480, with a 30-pixel panel at its top, a window menu and a tabs bar below the
// panel; children made by Add, named and captioned Doc1, Doc2 ...
class FormMDITest : public uitest::UiTest {
protected:
    void SetUp() override {
        uitest::UiTest::SetUp();
        Application->CreateForm(Main);
        Main->SetFormStyle(fsMDIForm);
        Main->SetCaption(u"Main");
        Main->SetBounds(100, 100, 640, 480);
        MainSkin = new TbsSkinForm(Main);
        auto* Bar = new TPanel(Main);
        Bar->SetParent(Main);
        Bar->SetAlign(alTop);
        Bar->SetHeight(30);
        auto* Menu = new TMainMenu(Main);
        WindowItem = new TMenuItem(Menu);
        WindowItem->SetCaption(u"&Window");
        Menu->Items()->Add(WindowItem);
        Main->SetMenu(Menu);
        Main->SetWindowMenu(WindowItem);
        Tabs = new TbsSkinMDITabsBar(Main);
        Tabs->SetParent(Main);
        Tabs->SetAlign(alTop);
        Tabs->SetTop(40);
        Tabs->SetSkinForm(MainSkin);
        MainSkin->SetMDITabsBar(Tabs);
        Main->Show();
        Pump();
    }
    TForm* Add(const TbsOnAcceptToMDITabsBar& Accept = nullptr) {
        const String Name = u"Doc" + IntToStr(int(Children.size()) + 1);
        auto* Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->SetName(Name);
        Child->SetCaption(Name);
        Child->SetBounds(10, 10, 200, 150);
        Child->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
        auto* S = new TbsSkinForm(Child);
        S->OnAcceptToMDITabsBar = Accept;
        Child->AfterConstruction();
        Pump();
        Children.push_back(Child);
        return Child;
    }
    std::vector<String> ItemNames() {
        std::vector<String> Names;
        for (int I = 0; I < WindowItem->Count(); ++I)
            Names.push_back(WindowItem->Items(I)->Name() + (WindowItem->Items(I)->Checked() ? u"*" : u""));
        return Names;
    }
    std::vector<String> TabNames() {
        std::vector<String> Names;
        for (int I = 0; I < Tabs->TabCount(); ++I)
            Names.push_back(Tabs->Tabs(I)->Child->Name());
        return Names;
    }
    std::vector<TRect> SortedBounds() {
        std::vector<TRect> B;
        for (TForm* C : Children)
            B.push_back(C->BoundsRect());
        std::sort(B.begin(), B.end(),
                  [](const TRect& X, const TRect& Y) { return std::tie(X.Left, X.Top) < std::tie(Y.Left, Y.Top); });
        return B;
    }
    // A menu bar with one item above the panel, bound to the parent's component.
    TbsSkinMainMenuBar* AddMenuBar() {
        auto* Menu = new TbsSkinMainMenu(Main);
        auto* File = new TMenuItem(Menu);
        File->SetCaption(u"&File");
        Menu->Items()->Add(File);
        auto* MenuBar = new TbsSkinMainMenuBar(Main);
        MenuBar->SetParent(Main);
        MenuBar->SetAlign(alTop);
        MenuBar->SetTop(0);
        MenuBar->SetSkinForm(MainSkin);
        MainSkin->SetMainMenuBar(MenuBar);
        MenuBar->SetMainMenu(Menu);
        return MenuBar;
    }
    // A bar point on the screen.
    TPoint OnBar(int X, int Y) { return Tabs->ClientToScreen(TPoint{X, Y}); }

    TForm* Main = nullptr;
    TbsSkinForm* MainSkin = nullptr;
    TMenuItem* WindowItem = nullptr;
    TbsSkinMDITabsBar* Tabs = nullptr;
    std::vector<TForm*> Children;
};

TEST_F(FormMDITest, AMaximizedChildTakesTheFreeClientAreaAndTheParentHearsOfIt) {
    TForm* Child = Add();
    TbsSkinForm* ChildSkin = GetSkinForm(Child);
    TRect Area = ChildSkin->GetMDIClientArea();
    EXPECT_EQ(Area, Rect(0, 30 + Tabs->Height(), Main->ClientWidth(), Main->ClientHeight()));
    EXPECT_EQ(GetActiveMDIChildForm(), ChildSkin);
    EXPECT_EQ(GetMaximizedMDIChildForm(), nullptr);

    ChildSkin->FWindowState = wsMaximized; // as the window-state commands leave it
    SendMessageW(Child->Handle(), WM_MDICHILDMOVE, 0, 0);
    EXPECT_EQ(Child->BoundsRect(), Rect(0, 0, GetRectWidth(Area), GetRectHeight(Area)));
    SendMessageW(Main->Handle(), WM_MDICHILDMAX, 0, 0);
    EXPECT_TRUE(MainSkin->MDIChildMaximized());
    EXPECT_EQ(GetMaximizedMDIChildForm(), ChildSkin);
    EXPECT_EQ(MainSkin->FindMaximizedMDIChild(), Child);

    ChildSkin->FWindowState = wsNormal;
    SendMessageW(Main->Handle(), WM_MDICHILDRESTORE, 0, 0);
    EXPECT_FALSE(MainSkin->MDIChildMaximized());

    ChildSkin->FWindowState = wsMaximized;
    SendMessageW(Main->Handle(), WM_MDICHILDMAX, 0, 0);
    delete Child; // a child going away tells its parent, and leaves no tab or item behind
    Pump();
    EXPECT_FALSE(MainSkin->MDIChildMaximized());
    EXPECT_EQ(Tabs->TabCount(), 0);
    EXPECT_TRUE(ItemNames().empty());
}

TEST_F(FormMDITest, TheFreeClientAreaLiesBetweenTheAlignedControls) {
    struct Case {
        TAlign Align;
        int Size;
    };
    const Case Cases[] = {{alTop, 20}, {alBottom, 25}, {alLeft, 50}, {alRight, 60}};
    for (const Case& C : Cases) {
        auto* P = new TPanel(Main);
        P->SetParent(Main);
        P->SetAlign(C.Align);
        (C.Align == alLeft || C.Align == alRight) ? P->SetWidth(C.Size) : P->SetHeight(C.Size);
    }
    const int W = Main->ClientWidth(), H = Main->ClientHeight();
    EXPECT_EQ(MainSkin->GetMDIClientArea(), Rect(50, 30 + Tabs->Height() + 20, W - 60, H - 25));
}

TEST_F(FormMDITest, TileLaysColumnsFromTheRightEachFilledFromTheBottom) {
    Add();
    MainSkin->Tile();
    const TRect A = MainSkin->GetMDIClientArea();
    const int AW = GetRectWidth(A), AH = GetRectHeight(A);
    EXPECT_EQ(Children[0]->BoundsRect(), Rect(0, 0, AW, AH)) << "one child fills the area";

    for (int I = 0; I < 4; ++I)
        Add();
    MainSkin->Tile();
    const int CW = AW / 2, RH3 = AH / 3, RH2 = AH / 2;
    // Rows are laid from the bottom: what the division leaves over stays at the top.
    const std::vector<TRect> Want = {Bounds(0, AH - 2 * RH2, CW, RH2), Bounds(0, AH - RH2, CW, RH2),
                                     Bounds(CW, AH - 3 * RH3, CW, RH3), Bounds(CW, AH - 2 * RH3, CW, RH3),
                                     Bounds(CW, AH - RH3, CW, RH3)};
    EXPECT_EQ(SortedBounds(), Want);
}

// The step is the frame's top height: 30 here, on an area of 800 x 600.
TEST_F(FormMDITest, CascadeStepsByTheFramesTopAndNeverByNothing) {
    struct Case {
        int Top;
        std::vector<TRect> Want;
    };
    const Case Cases[] = {
        {30, {Bounds(0, 0, 740, 540), Bounds(30, 30, 740, 540), Bounds(60, 60, 740, 540)}},
        // A frame without top gives no step: one pixel is taken instead of dividing by nothing.
        {0, {Bounds(0, 0, 798, 598), Bounds(1, 1, 798, 598), Bounds(2, 2, 798, 598)}},
    };
    for (int I = 0; I < 3; ++I)
        Add();
    Main->SetBounds(0, 0, 1000, 800);
    for (const Case& C : Cases) {
        MainSkin->SetSkinData(FrameSkin(Main, C.Top));
        Main->SetClientWidth(800);
        Main->SetClientHeight(600 + 30 + Tabs->Height());
        Pump();
        ASSERT_EQ(GetRectWidth(MainSkin->GetMDIClientArea()), 800);
        ASSERT_EQ(GetRectHeight(MainSkin->GetMDIClientArea()), 600);
        MainSkin->Cascade();
        EXPECT_EQ(SortedBounds(), C.Want) << "frame top " << C.Top;
        // The last child of the list starts at the corner.
        EXPECT_EQ(Main->MDIChildren(Main->MDIChildCount() - 1)->BoundsRect().Left, 0);
    }
}

TEST_F(FormMDITest, TheWindowMenuHasAnItemPerChildCheckedForTheActiveOne) {
    TForm* Doc1 = Add();
    EXPECT_EQ(ItemNames(), (std::vector<String>{u"Doc1_BSFCHILDITEM*"}));
    EXPECT_EQ(WindowItem->Items(0)->Caption(), u"Doc1");
    TForm* Doc2 = Add();
    EXPECT_EQ(ItemNames(), (std::vector<String>{u"Doc1_BSFCHILDITEM", u"Doc2_BSFCHILDITEM*"}));
    Doc2->SetCaption(u"Report");
    EXPECT_EQ(WindowItem->Items(1)->Caption(), u"Report");

    GetSkinForm(Doc1)->SetWindowState(wsMinimized);
    Pump();
    WindowItem->Items(0)->Click();
    Pump();
    EXPECT_EQ(GetSkinForm(Doc1)->WindowState(), wsNormal) << "the item shows and restores its child";
    EXPECT_EQ(Main->ActiveMDIChild(), Doc1);
    EXPECT_EQ(ItemNames(), (std::vector<String>{u"Doc1_BSFCHILDITEM*", u"Doc2_BSFCHILDITEM"}));
    EXPECT_EQ(Tabs->Tabs(0)->Active, true);
    EXPECT_EQ(Tabs->Tabs(1)->Active, false);
}

TEST_F(FormMDITest, AChildRefusedByTheBarStaysInTheWindowMenu) {
    Add();
    Add([](bool& Accept) { Accept = false; });
    EXPECT_EQ(TabNames(), (std::vector<String>{u"Doc1"}));
    EXPECT_EQ(ItemNames().size(), 2u);
}

TEST_F(FormMDITest, FiveTabsShareTheBarAndAMinimumWidthHidesTheRest) {
    for (int I = 0; I < 5; ++I)
        Add();
    Tabs->SetWidth(415);
    Tabs->SetAlign(alNone);
    Tabs->SetWidth(415);
    Tabs->Repaint();
    Pump();
    for (int I = 0; I < 5; ++I)
        EXPECT_EQ(Tabs->Tabs(I)->ObjectRect, Rect(15 + 80 * I, 0, 95 + 80 * I, Tabs->Height())) << I;
    EXPECT_EQ(Tabs->HideListButton(), nullptr);

    delete Children[4];
    Children.pop_back();
    Tabs->SetMinTabWidth(120);
    Tabs->SetWidth(300);
    Tabs->Repaint();
    Pump();
    std::vector<bool> Shown;
    for (int I = 0; I < 4; ++I)
        Shown.push_back(Tabs->Tabs(I)->Visible);
    EXPECT_EQ(Shown, (std::vector<bool>{true, true, false, false}));
    EXPECT_EQ(Tabs->Tabs(1)->ObjectRect, Rect(135, 0, 255, Tabs->Height()));
    ASSERT_NE(Tabs->HideListButton(), nullptr);
    Tabs->HideListButton()->OnShowTrackMenu(Tabs->HideListButton());
    TMenuItem* Hidden = Tabs->HideListMenu()->Items();
    ASSERT_EQ(Hidden->Count(), 2);
    EXPECT_EQ(Hidden->Items(0)->Name(), u"Doc3_BSFCHILDITEMBARHIDE");
    EXPECT_EQ(Hidden->Items(1)->Caption(), u"Doc4");
    Hidden->Items(0)->Click();
    EXPECT_EQ(Main->ActiveMDIChild(), Children[2]);
}

TEST_F(FormMDITest, ATabDraggedPastItsNeighboursCentreMovesBehindIt) {
    for (int I = 0; I < 3; ++I)
        Add();
    Pump();
    const TRect First = Tabs->Tabs(0)->ObjectRect;
    const int Y = Tabs->Height() / 2;
    const TPoint Start = OnBar(First.Left + 10, Y);
    InjectMouseMove(Start.X, Start.Y);
    InjectMouseButton(0, true);
    Pump();
    // Not yet past the centre: the tab goes back where it was.
    TPoint P = OnBar(First.Left + 10 + GetRectWidth(First) / 2 - 5, Y);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(TabNames(), (std::vector<String>{u"Doc1", u"Doc2", u"Doc3"}));

    InjectMouseMove(Start.X, Start.Y);
    InjectMouseButton(0, true);
    Pump();
    P = OnBar(First.Left + 10 + GetRectWidth(First) / 2 + 15, Y);
    InjectMouseMove(P.X, P.Y);
    Pump();
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(TabNames(), (std::vector<String>{u"Doc2", u"Doc1", u"Doc3"}));
}

TEST_F(FormMDITest, ATabsCloseButtonClosesItsChild) {
    Add();
    Add();
    Tabs->SetShowCloseButtons(true);
    Tabs->Repaint();
    Pump();
    TbsMDITab* T = Tabs->Tabs(0);
    ASSERT_EQ(T->Child, Children[0]);
    const TPoint P = OnBar(T->ObjectRect.Left + T->ButtonRect.Left + 5, T->ObjectRect.Top + T->ButtonRect.Top + 5);
    InjectClick(P.X, P.Y);
    Pump();
    Pump();
    EXPECT_EQ(Main->MDIChildCount(), 1);
    EXPECT_EQ(TabNames(), (std::vector<String>{u"Doc2"}));
    EXPECT_EQ(ItemNames(), (std::vector<String>{u"Doc2_BSFCHILDITEM*"}));
}

TEST_F(FormMDITest, ARightClickOnATabOpensItsChildsSystemMenuThroughTheParent) {
    Add();
    Add();
    const TRect R = Tabs->Tabs(0)->ObjectRect;
    const TPoint P = OnBar(R.Left + 10, R.Top + 5);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(1, true);
    InjectMouseButton(1, false);
    Pump();
    TbsSkinMenu* Stack = MainSkin->SkinMenu();
    ASSERT_TRUE(Stack->Visible());
    TbsSkinPopupWindow* Level = Stack->Levels(0);
    TMenuItem* Last = Level->Items(Level->ItemCount() - 1)->MenuItem;
    EXPECT_EQ(Last->Name(), u"BSF_CLOSE");
    EXPECT_EQ(Last->ShortCut(), TextToShortCut(u"Ctrl+F4")) << "a child's close";
    RECT W;
    GetWindowRect(Level->Handle(), &W);
    EXPECT_EQ(TPoint(W.Left, W.Top), P);
    Stack->Hide();
}

// Maximizing a child and restoring it, as the main form hears it; meanwhile the parent's caption joins the child's.
TEST_F(FormMDITest, MaximizingAndRestoringAChild) {
    TbsSkinMainMenuBar* MenuBar = AddMenuBar();
    TForm* Doc1 = Add();
    std::vector<std::string> Log;
    TWndMethod Previous = Main->WindowProc();
    Main->SetWindowProc([&Log, Previous, MenuBar](TMessage& M) {
        const bool Watched = M.Msg == WM_MDICHILDMAX || M.Msg == WM_MDICHILDRESTORE;
        if (Watched)
            Log.push_back("main:" + std::to_string(M.Msg));
        Previous(M);
        if (Watched)
            Log.push_back("menu bar buttons:" + std::to_string(MenuBar->ButtonsCount));
    });
    auto Frame = [this] {
        TBitmap B;
        B.SetSize(Main->Width(), 22);
        SendMessageW(Main->Handle(), WM_PAINTFRAMETODC, WPARAM(B.Canvas()->Handle()), 0);
        std::vector<TColor> Px;
        for (int Y = 0; Y < 22; ++Y)
            for (int X = 0; X < Main->Width(); ++X)
                Px.push_back(B.Canvas()->Pixels(X, Y));
        return Px;
    };
    const std::vector<TColor> Plain = Frame();

    GetSkinForm(Doc1)->SetWindowState(wsMaximized);
    Pump();
    const TRect A = MainSkin->GetMDIClientArea();
    EXPECT_EQ(Doc1->BoundsRect(), Rect(0, 0, GetRectWidth(A), GetRectHeight(A)));
    EXPECT_TRUE(MainSkin->MDIChildMaximized());
    const std::vector<TColor> Joined = Frame();
    GetSkinForm(Doc1)->SetWindowState(wsNormal);
    Pump();
    EXPECT_FALSE(MainSkin->MDIChildMaximized());
    EXPECT_EQ(Doc1->BoundsRect(), Rect(10, 10, 210, 160));
    EXPECT_EQ(Log, (std::vector<std::string>{"main:1231", "menu bar buttons:4", "main:1232", "menu bar buttons:0"}));
    EXPECT_EQ(Frame(), Plain);
    Main->SetCaption(u"Main - [Doc1]");
    EXPECT_EQ(Frame(), Joined) << "the caption of a maximized child joins the parent's";
    Main->SetWindowProc(Previous);
}

TEST_F(FormMDITest, TheClientWindowHasNoBorderAndTheBackgroundOfTheLook) {
    HWND Client = Main->ClientHandle();
    RECT W, C;
    GetWindowRect(Client, &W);
    GetClientRect(Client, &C);
    EXPECT_EQ(C.Right, W.Right - W.Left);
    EXPECT_EQ(C.Bottom, W.Bottom - W.Top);
    POINT O{5, 5};
    ClientToScreen(Client, &O);
    EXPECT_EQ(TColor(ScreenPixel(O.X, O.Y)), ColorToRGB(clAppWorkSpace));

    // A component that goes leaves the client window's procedure as it found it.
    WNDPROC Before = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Client, GWLP_WNDPROC));
    delete MainSkin;
    EXPECT_NE(reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Client, GWLP_WNDPROC)), Before);
    SendMessageW(Client, WM_SIZE, 0, 0);
}

// A message that closes menus closes the parent's own menu first; when the parent has none open it reaches the
// active child's component. Either way the parent's combo boxes and edits close their drop-downs, also on a click
// inside a child.
TEST_F(FormMDITest, MessagesThatCloseMenusReachTheActiveChildAndTheParentsDropDowns) {
    TForm* Doc1 = Add();
    TbsSkinForm* ChildSkin = GetSkinForm(Doc1);
    auto* Popup = new TPopupMenu(Doc1);
    auto* Row = new TMenuItem(Popup);
    Row->SetCaption(u"Row");
    Popup->Items()->Add(Row);
    auto* Combo = new TbsSkinComboBox(Main);
    Combo->SetParent(Main);
    Combo->SetBounds(300, 2, 120, 20);
    Combo->Items()->Add(u"One");
    Combo->Items()->Add(u"Two");
    auto* Edit = new TbsSkinEdit(Main);
    Edit->SetParent(Main);
    Edit->SetBounds(430, 2, 100, 20);
    int EditCancels = 0;
    Edit->OnEditCancelMode = [&EditCancels](TControl*) { ++EditCancels; };
    Pump();

    MainSkin->PopupSkinMenu(Popup, TPoint{400, 400});
    ChildSkin->PopupSkinMenu(Popup, TPoint{420, 420});
    Combo->DropDown();
    ASSERT_TRUE(MainSkin->SkinMenu()->Visible());
    ASSERT_TRUE(ChildSkin->SkinMenu()->Visible());
    ASSERT_TRUE(Combo->IsPopupVisible());
    SendMessageW(Main->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(MainSkin->SkinMenu()->Visible());
    EXPECT_TRUE(ChildSkin->SkinMenu()->Visible()) << "the parent's own menu goes first";
    EXPECT_FALSE(Combo->IsPopupVisible());
    EXPECT_EQ(EditCancels, 1);
    SendMessageW(Main->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_FALSE(ChildSkin->SkinMenu()->Visible());
    EXPECT_FALSE(ChildSkin->InMenu);
    EXPECT_EQ(EditCancels, 2);

    // The parent hears of a click in the child as a notification from its client window.
    Combo->DropDown();
    ASSERT_TRUE(Combo->IsPopupVisible());
    const TPoint In = Doc1->ClientToScreen(TPoint{20, 20});
    InjectClick(In.X, In.Y);
    Pump();
    EXPECT_FALSE(Combo->IsPopupVisible());
    // A disabled edit is left alone.
    Edit->SetEnabled(false);
    const int Before = EditCancels;
    SendMessageW(Main->Handle(), WM_CANCELMODE, 0, 0);
    EXPECT_EQ(EditCancels, Before);
}

// The menu bar's buttons of a maximized child come with it and go when no child is maximized any more.
TEST_F(FormMDITest, TheMenuBarShowsTheMaximizedChildsButtonsWhileThereIsOne) {
    TbsSkinMainMenuBar* MenuBar = AddMenuBar();
    TForm* Doc1 = Add();
    TForm* Doc2 = Add();
    auto Commands = [MenuBar] {
        std::vector<TbsStdCommand> C;
        for (int I = 0; I < MenuBar->ButtonsCount; ++I)
            C.push_back(static_cast<TbsSkinMainMenuBarButton*>(MenuBar->Objects(I))->Command);
        return C;
    };
    const std::vector<TbsStdCommand> Buttons = {cmSysMenu, cmClose, cmMaximize, cmMinimize};
    const std::vector<TbsStdCommand> None;
    EXPECT_EQ(Commands(), None);

    GetSkinForm(Doc2)->SetWindowState(wsMaximized);
    Pump();
    EXPECT_EQ(Commands(), Buttons);
    EXPECT_EQ(MenuBar->Objects(4)->ObjectRect.Left, 22) << "the items move past the system button";
    GetSkinForm(Doc2)->SetWindowState(wsNormal);
    Pump();
    EXPECT_EQ(Commands(), None) << "restored";
    EXPECT_FALSE(MenuBar->FMDIChildMax);
    GetSkinForm(Doc2)->SetWindowState(wsMinimized);
    Pump();
    EXPECT_EQ(Commands(), None) << "minimized";

    // Another child taking the activation keeps them: one child is still maximized.
    GetSkinForm(Doc2)->SetWindowState(wsMaximized);
    Pump();
    Doc1->Show();
    Pump();
    EXPECT_EQ(Main->ActiveMDIChild(), Doc1);
    EXPECT_EQ(Commands(), Buttons);
    // The maximized child closed: another child is active and nothing is maximized.
    Doc2->Close();
    Pump();
    Pump();
    EXPECT_EQ(Main->MDIChildCount(), 1);
    EXPECT_EQ(Main->ActiveMDIChild(), Doc1);
    EXPECT_EQ(Commands(), None) << "closed";
    EXPECT_FALSE(MainSkin->MDIChildMaximized());
    Children.pop_back();
}

// A resized client window refits the maximized child and lines the minimized ones up at its bottom again; the
// whole-set commands act on every child, and closing all closes the active child last.
TEST_F(FormMDITest, TheWholeSetFollowsTheClientAndTheSetCommands) {
    for (int I = 0; I < 3; ++I)
        Add();
    GetSkinForm(Children[0])->SetWindowState(wsMinimized);
    GetSkinForm(Children[1])->SetWindowState(wsMinimized);
    GetSkinForm(Children[2])->SetWindowState(wsMaximized);
    Pump();
    Main->SetBounds(100, 100, 700, 520);
    Pump();
    TRect A = MainSkin->GetMDIClientArea();
    EXPECT_EQ(Children[2]->BoundsRect(), Rect(0, 0, GetRectWidth(A), GetRectHeight(A)));
    const int MinW = Children[0]->Width(), MinH = Children[0]->Height();
    std::vector<TPoint> Minimized = {Children[0]->BoundsRect().TopLeft(), Children[1]->BoundsRect().TopLeft()};
    std::sort(Minimized.begin(), Minimized.end(), [](TPoint P, TPoint Q) { return P.X < Q.X; });
    EXPECT_EQ(Minimized,
              (std::vector<TPoint>{TPoint{0, GetRectHeight(A) - MinH}, TPoint{MinW, GetRectHeight(A) - MinH}}));

    auto States = [this] {
        std::vector<TWindowState> S;
        for (TForm* C : Children)
            S.push_back(GetSkinForm(C)->WindowState());
        return S;
    };
    MainSkin->RestoreAll();
    EXPECT_EQ(States(), (std::vector<TWindowState>{wsNormal, wsNormal, wsNormal}));
    EXPECT_EQ(Children[0]->BoundsRect(), Rect(10, 10, 210, 160));
    MainSkin->MinimizeAll();
    EXPECT_EQ(States(), (std::vector<TWindowState>{wsMinimized, wsMinimized, wsMinimized}));
    MainSkin->MaximizeAll();
    EXPECT_EQ(States(), (std::vector<TWindowState>{wsMaximized, wsMaximized, wsMaximized}));
    Pump();
    EXPECT_TRUE(MainSkin->MDIChildMaximized());

    std::vector<String> Closed;
    for (TForm* C : Children)
        C->OnClose = [&Closed, C](TObject*, TCloseAction& Action) {
            Closed.push_back(C->Name());
            Action = caFree;
        };
    // From the last of the list (the bottom of the stack) to the first (the active child).
    std::vector<String> Want;
    for (int I = Main->MDIChildCount() - 1; I >= 0; --I)
        Want.push_back(Main->MDIChildren(I)->Name());
    ASSERT_EQ(Want.back(), Main->ActiveMDIChild()->Name());
    MainSkin->CloseAll();
    Pump();
    Pump();
    EXPECT_EQ(Closed, Want);
    EXPECT_EQ(Main->MDIChildCount(), 0);
    EXPECT_FALSE(MainSkin->MDIChildMaximized());
    EXPECT_TRUE(ItemNames().empty());
    Children.clear();
}

// A hook put on the client window after the component keeps working when the component goes first.
TEST_F(FormMDITest, AClientHookAfterTheComponentOutlivesIt) {
    HWND Client = Main->ClientHandle();
    static WNDPROC Below = nullptr;
    static int Seen = 0;
    Seen = 0;
    Below = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(Client, GWLP_WNDPROC));
    WNDPROC Hook = [](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        if (Msg == WM_ERASEBKGND)
            ++Seen;
        return CallWindowProcW(Below, H, Msg, W, L);
    };
    SetWindowLongPtrW(Client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Hook));
    delete MainSkin;
    TBitmap B;
    B.SetSize(10, 10);
    SendMessageW(Client, WM_ERASEBKGND, WPARAM(B.Canvas()->Handle()), 0);
    SendMessageW(Client, WM_SIZE, 0, 0);
    EXPECT_EQ(Seen, 1);
    SetWindowLongPtrW(Client, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(Below));
}

// A "tab" record made in code: tabs of 30 x 20 (blue, the active one green) over a 4-pixel grey band, and a
// background cell without width, which the bar leaves out instead of looping on it.
TEST_F(FormMDITest, TheSkinnedBarDrawsTheTabPicturesOverTheBand) {
    auto* SD = new TbsSkinData(Main);
    auto Pic = std::make_unique<TBitmap>();
    Pic->SetPixelFormat(pf24bit);
    Pic->SetSize(60, 40);
    const std::pair<TRect, TColor> Faces[] = {{Rect(0, 0, 30, 20), TColor(0xE06020)},
                                              {Rect(30, 0, 60, 20), TColor(0x40A020)},
                                              {Rect(0, 20, 60, 40), TColor(0x808080)}};
    for (auto [R, C] : Faces) {
        Pic->Canvas()->Brush()->SetColor(C);
        Pic->Canvas()->FillRect(R);
    }
    SD->FActivePictures.push_back(std::move(Pic));
    auto Tab = std::make_unique<TbsDataSkinTabControl>(u"tab");
    Tab->PictureIndex = 0;
    Tab->TabRect = Rect(0, 0, 30, 20);
    Tab->ActiveTabRect = Rect(30, 0, 60, 20);
    Tab->TabsBGRect = Rect(5, 0, 5, 20);
    Tab->SkinRect = Rect(0, 20, 60, 40);
    Tab->ClRect = Rect(4, 4, 56, 16);
    Tab->LTPoint = TPoint{4, 4};
    Tab->RTPoint = TPoint{56, 4};
    Tab->LBPoint = TPoint{4, 16};
    Tab->RBPoint = TPoint{56, 16};
    Tab->FontColor = clWhite;
    Tab->ActiveFontColor = clWhite;
    SD->CtrlList.push_back(std::move(Tab));
    SD->Empty = false;
    Tabs->SetSkinData(SD);
    Add();
    Add();
    Tabs->Repaint();
    Pump();
    EXPECT_EQ(Tabs->Height(), 20 + 4);
    auto At = [this](int X, int Y) {
        TPoint P = OnBar(X, Y);
        return TColor(ScreenPixel(P.X, P.Y));
    };
    EXPECT_EQ(At(Tabs->Tabs(0)->ObjectRect.Left + 2, 2), TColor(0xE06020));
    EXPECT_EQ(At(Tabs->Tabs(1)->ObjectRect.Left + 2, 2), TColor(0x40A020)) << "the active tab";
    EXPECT_EQ(At(300, 22), TColor(0x808080)) << "the band under the tabs";
}

// ---------------------------------------------------------------------------------------------

class MDIGalleryTest : public ctltest::GalleryTest {};

TEST_P(MDIGalleryTest, AParentWithItsTabsAndAMaximizedChild) {
    Form->Hide();
    TForm* Main = nullptr;
    Application->CreateForm(Main);
    Main->SetFormStyle(fsMDIForm);
    Main->SetCaption(u"Converter 转换");
    Main->SetBounds(60, 60, 560, 380);
    auto* MainSkin = new TbsSkinForm(Main);
    auto* Tabs = new TbsSkinMDITabsBar(Main);
    Tabs->SetParent(Main);
    Tabs->SetAlign(alTop);
    Tabs->SetSkinForm(MainSkin);
    Tabs->SetShowCloseButtons(true);
    MainSkin->SetMDITabsBar(Tabs);
    if (GetParam() >= 0) {
        MainSkin->SetSkinData(Skin);
        Tabs->SetSkinData(Skin);
    }
    Main->Show();
    Pump();
    std::vector<TForm*> Docs;
    for (const char16_t* Name : {u"Clip1", u"Clip2", u"Clip3"}) {
        auto* Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->SetName(Name);
        Child->SetCaption(Name);
        Child->SetBounds(20 + 30 * int(Docs.size()), 20 + 30 * int(Docs.size()), 240, 160);
        auto* S = new TbsSkinForm(Child);
        if (GetParam() >= 0)
            S->SetSkinData(Skin);
        Child->AfterConstruction();
        Pump();
        Docs.push_back(Child);
    }
    NewSheet(2 * 560 + 30, 400);
    PasteScreen(TPoint{60, 60}, 560, 380, 10, 10);
    Docs[1]->Show();
    GetSkinForm(Docs[1])->SetWindowState(wsMaximized);
    Pump();
    EXPECT_TRUE(MainSkin->MDIChildMaximized());
    PasteScreen(TPoint{60, 60}, 560, 380, 580, 10);
    SaveSheet("mdi");
}

INSTANTIATE_TEST_SUITE_P(StoredSkins, MDIGalleryTest, ::testing::Values(-1, 0, 3));

} // namespace
