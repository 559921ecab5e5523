// Controls: bounds and alignment, the window created when first needed, the order of the message
// chain, and input whose every effect happens inside that chain.
#include "platform/ui/Controls.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        ResetWindowManager();
        SetWinClock(std::make_unique<TTestClock>(1000, 1));
    }
    void TearDown() override {
        ResetWindowManager();
        SetWinClock(nullptr);
    }
};

// A windowed control that logs where a message passes on its way down the chain.
class TLogControl : public TWinControl {
public:
    using TWinControl::TWinControl;
    std::vector<std::string>* Log = nullptr;
    UINT Watched = 0;

    void WndProc(TMessage& Message) override {
        if (Log && Message.Msg == Watched)
            Log->push_back("WndProc");
        TWinControl::WndProc(Message);
    }
    void Dispatch(TMessage& Message) override {
        if (Log && Message.Msg == Watched)
            Log->push_back("handler");
        TWinControl::Dispatch(Message);
    }
    void DefaultHandler(TMessage& Message) override {
        if (Log && Message.Msg == Watched)
            Log->push_back("DefaultHandler");
        TWinControl::DefaultHandler(Message);
    }
};

struct TBox {
    TAlign Align;
    int Left, Top, Width, Height;
    bool Visible = true;
};

TEST_F(ControlsTest, AlignmentStacksControlsFromTheEdgesInThePlatformsOrder) {
    struct Case {
        const char* Name;
        std::vector<TBox> Children; // in z-order
        std::vector<TRect> Expected;
    };
    // The parent's client area is 200 x 100.
    const Case Cases[] = {
        {"one of each kind",
         {{alClient, 0, 0, 5, 5},
          {alRight, 0, 0, 30, 5},
          {alLeft, 0, 0, 20, 5},
          {alBottom, 0, 0, 5, 10},
          {alTop, 0, 0, 5, 15}},
         {Rect(20, 15, 170, 90), Rect(170, 15, 200, 90), Rect(0, 15, 20, 90), Rect(0, 90, 200, 100),
          Rect(0, 0, 200, 15)}},
        {"tops in the order of their Top, not of z-order",
         {{alTop, 0, 50, 5, 10}, {alTop, 0, 5, 5, 20}},
         {Rect(0, 20, 200, 30), Rect(0, 0, 200, 20)}},
        {"bottoms: the lowest bottom edge goes outermost",
         {{alBottom, 0, 0, 5, 10}, {alBottom, 0, 90, 5, 10}},
         {Rect(0, 80, 200, 90), Rect(0, 90, 200, 100)}},
        {"lefts and rights by their positions",
         {{alLeft, 40, 0, 10, 5}, {alLeft, 0, 0, 30, 5}, {alRight, 100, 0, 10, 5}, {alRight, 150, 0, 20, 5}},
         {Rect(30, 0, 40, 100), Rect(0, 0, 30, 100), Rect(170, 0, 180, 100), Rect(180, 0, 200, 100)}},
        {"a hidden control keeps its bounds and takes no room",
         {{alTop, 0, 0, 5, 30, false}, {alTop, 0, 40, 5, 10}, {alNone, 7, 8, 9, 10}},
         {Rect(0, 0, 5, 30), Rect(0, 0, 200, 10), Rect(7, 8, 16, 18)}},
        {"controls beyond the room left get no size, never a negative one",
         {{alTop, 0, 0, 5, 80}, {alBottom, 0, 0, 5, 50}, {alClient, 0, 0, 5, 5}},
         {Rect(0, 0, 200, 80), Rect(0, 50, 200, 100), Rect(0, 80, 200, 80)}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        auto Parent = std::make_unique<TWinControl>(nullptr);
        Parent->SetBounds(0, 0, 200, 100);
        std::vector<TControl*> Children;
        Parent->DisableAlign();
        for (const TBox& B : C.Children) {
            auto* Child = new TControl(Parent.get());
            Child->SetBounds(B.Left, B.Top, B.Width, B.Height);
            Child->SetVisible(B.Visible);
            Child->SetAlign(B.Align);
            Child->SetParent(Parent.get());
            Children.push_back(Child);
        }
        Parent->EnableAlign();
        for (std::size_t I = 0; I < Children.size(); ++I)
            EXPECT_EQ(Children[I]->BoundsRect(), C.Expected[I]) << "child " << I;
    }
}

TEST_F(ControlsTest, AlignmentFollowsTheParentsWindowAndTheMovedControlWinsTies) {
    auto Parent = std::make_unique<TWinControl>(nullptr);
    Parent->SetBounds(10, 10, 200, 100);
    auto* A = new TControl(Parent.get());
    auto* B = new TControl(Parent.get());
    A->SetTop(0);
    B->SetTop(50);
    for (TControl* C : {A, B}) {
        C->SetHeight(20);
        C->SetAlign(alTop);
        C->SetParent(Parent.get());
    }
    EXPECT_EQ(A->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(B->BoundsRect(), Rect(0, 20, 200, 40));
    // Moving B to the top edge puts it first.
    B->SetTop(0);
    EXPECT_EQ(B->BoundsRect(), Rect(0, 0, 200, 20));
    EXPECT_EQ(A->BoundsRect(), Rect(0, 20, 200, 40));

    auto* Client = new TWinControl(Parent.get());
    Client->SetAlign(alClient);
    Client->SetParent(Parent.get());
    ASSERT_FALSE(Parent->HandleAllocated());
    HWND H = Parent->Handle();
    ASSERT_TRUE(Client->HandleAllocated());
    // The window is resized behind the control's back: bounds and layout follow.
    SetWindowPos(H, nullptr, 0, 0, 300, 150, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(Parent->BoundsRect(), Rect(10, 10, 310, 160));
    EXPECT_EQ(Client->BoundsRect(), Rect(0, 40, 300, 150));
    RECT R;
    GetWindowRect(Client->Handle(), &R);
    EXPECT_EQ(R, Rect(10, 50, 310, 160));
    EXPECT_EQ(Client->ClientToScreen(Point(5, 6)), Point(15, 56));
    EXPECT_EQ(A->ClientToScreen(Point(5, 6)), Point(15, 36));
    EXPECT_EQ(A->ScreenToClient(Point(15, 36)), Point(5, 6));
}

TEST_F(ControlsTest, AWindowedChildFreedOnItsOwnLeavesItsParentsTabOrder) {
    TWinControl Parent(nullptr);
    auto* First = new TWinControl(&Parent);
    First->SetParent(&Parent);
    auto* Second = new TWinControl(&Parent);
    Second->SetParent(&Parent);
    delete First;
    std::vector<TWinControl*> Order;
    Parent.GetTabOrderList(Order);
    EXPECT_EQ(Order, std::vector<TWinControl*>{Second});
    EXPECT_EQ(Parent.ControlCount(), 1);
    EXPECT_EQ(Second->TabOrder(), 0);
}

TEST_F(ControlsTest, TheWindowIsMadeWhenFirstNeededAndCarriesTheControlsState) {
    auto Parent = std::make_unique<TWinControl>(nullptr);
    Parent->SetBounds(0, 0, 100, 100);
    auto* Child = new TWinControl(Parent.get());
    Child->SetBounds(5, 5, 20, 20);
    Child->SetText(u"Go");
    Child->SetEnabled(false);
    Child->SetParent(Parent.get());
    EXPECT_FALSE(Parent->HandleAllocated());
    HWND C = Child->Handle();
    ASSERT_TRUE(Parent->HandleAllocated());
    EXPECT_EQ(GetParent(C), Parent->Handle());
    EXPECT_EQ(TWinControl::FindControl(C), Child);
    WCHAR Buf[16] = {};
    GetWindowTextW(C, Buf, 16);
    EXPECT_EQ(String(Buf), u"Go");
    EXPECT_FALSE(IsWindowEnabled(C));
    Child->SetEnabled(true);
    EXPECT_TRUE(IsWindowEnabled(C));
    Child->SetVisible(false);
    EXPECT_FALSE(IsWindowVisible(C));

    // Text changes arrive once, whether set on the control or on its window; equal text is no change.
    int Changes = 0;
    TWndMethod Previous = Child->WindowProc();
    Child->SetWindowProc([&](TMessage& M) {
        if (M.Msg == CM_TEXTCHANGED)
            ++Changes;
        Previous(M);
    });
    Child->SetText(u"Go");
    Child->SetText(u"Stop");
    SetWindowTextW(C, u"Pause");
    EXPECT_EQ(Child->Text(), u"Pause");
    EXPECT_EQ(Changes, 2);

    EXPECT_THROW(Parent->SetParent(Parent.get()), EInvalidOperation);
    delete Child;
    EXPECT_EQ(Parent->ControlCount(), 0);
    EXPECT_FALSE(IsWindow(C));
}

TEST_F(ControlsTest, MessagesPassSubclassesWindowProcWndProcHandlersDefaultHandlerThenDefWindowProc) {
    std::vector<std::string> Log;
    auto Control = std::make_unique<TLogControl>(nullptr);
    Control->SetBounds(50, 60, 100, 80);
    Control->Log = &Log;
    Control->Watched = WM_NCHITTEST;
    TWndMethod Previous = Control->WindowProc();
    Control->SetWindowProc([&](TMessage& M) {
        if (M.Msg == WM_NCHITTEST)
            Log.push_back("WindowProc");
        Previous(M);
    });
    HWND H = Control->Handle();
    WNDPROC Link = SubclassWindowProc(H, [&](HWND h, UINT Msg, WPARAM w, LPARAM l) -> LRESULT {
        if (Msg == WM_NCHITTEST)
            Log.push_back("subclass");
        return CallPrevWndProc(Link, h, Msg, w, l);
    });
    LRESULT Hit = SendMessageW(H, WM_NCHITTEST, 0, MAKELPARAM(60, 70));
    EXPECT_EQ(Log, (std::vector<std::string>{"subclass", "WindowProc", "WndProc", "handler", "DefaultHandler"}));
    // The default window procedure answered last.
    EXPECT_EQ(Hit, HTCLIENT);
    // Perform enters at WindowProc, below the window's subclasses.
    Log.clear();
    Control->Perform(WM_NCHITTEST, 0, MAKELPARAM(60, 70));
    EXPECT_EQ(Log, (std::vector<std::string>{"WindowProc", "WndProc", "handler", "DefaultHandler"}));
    RemoveWindowProcLink(H, Link);
}

TEST_F(ControlsTest, ASubclassThatSwallowsAPressChangesNothing) {
    auto Form = std::make_unique<TWinControl>(nullptr);
    Form->SetBounds(100, 100, 200, 100);
    Form->SetColor(clBtnFace);
    auto* Button = new TWinControl(Form.get());
    Button->SetBounds(10, 10, 80, 30);
    Button->SetTabStop(true);
    Button->SetParent(Form.get());
    std::vector<std::string> Events;
    Button->OnMouseDown = [&](TObject*, TMouseButton B, TShiftState S, int X, int Y) {
        Events.push_back("down " + std::to_string(X) + "," + std::to_string(Y) + (S.Contains(ssLeft) ? " left" : "") +
                         (S.Contains(ssDouble) ? " double" : ""));
    };
    Button->OnMouseUp = [&](TObject*, TMouseButton, TShiftState, int, int) { Events.push_back("up"); };
    Button->OnClick = [&](TObject*) { Events.push_back("click"); };
    HWND F = Form->Handle();
    SetFocus(F);
    ProcessPendingMessages();
    // The form's colour fills its background.
    EXPECT_EQ(ScreenPixel(195, 150), ColorToRGB(clBtnFace));

    WNDPROC Link = SubclassWindowProc(Button->Handle(), [&](HWND h, UINT Msg, WPARAM w, LPARAM l) -> LRESULT {
        if (Msg == WM_LBUTTONDOWN || Msg == WM_LBUTTONUP)
            return 0;
        return CallPrevWndProc(Link, h, Msg, w, l);
    });
    auto Press = [&](HWND& CaptureDuringPress) {
        InjectMouseMove(120, 125);
        InjectMouseButton(0, true);
        ProcessPendingMessages();
        CaptureDuringPress = GetCapture();
        InjectMouseButton(0, false);
        ProcessPendingMessages();
    };
    HWND Capture = nullptr;
    Press(Capture);
    EXPECT_EQ(Events, std::vector<std::string>{});
    EXPECT_EQ(Capture, nullptr);
    EXPECT_EQ(GetFocus(), F);
    EXPECT_FALSE(Button->ControlState().Contains(csClicked));

    // Without the subclass the same press (a double click now, as the window layer counts the swallowed
    // one) takes the focus and the capture, and clicks.
    RemoveWindowProcLink(Button->Handle(), Link);
    Press(Capture);
    EXPECT_EQ(Events, (std::vector<std::string>{"down 10,15 left double", "click", "up"}));
    EXPECT_EQ(Capture, Button->Handle());
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_TRUE(Button->Focused());
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Anchors, constraints, auto size, painting into someone's DC, enter and leave, controls freed by
// their own handlers.

#include "platform/ui/Menus.h"
#include "tests/platform/gdi/GdiTestUtil.h"
#include "tests/platform/ui/UiTestSupport.h"

namespace {

using uitest::TRecorder;
using uitest::UiTest;

class ControlsLayoutTest : public UiTest {};

TEST_F(ControlsLayoutTest, AnchorsKeepTheirEdgesWhenTheParentResizes) {
    struct Case {
        const char* Name;
        TAnchors Anchors;
        TRect Expected; // after the parent grows from 200 x 100 to 300 x 160
    };
    // Every control starts at (50, 20) with 20 x 10.
    const Case Cases[] = {
        {"left and top stay", TAnchors{akLeft, akTop}, Rect(50, 20, 70, 30)},
        {"right keeps its distance", TAnchors{akRight, akTop}, Rect(150, 20, 170, 30)},
        {"left and right stretch, the centre keeps its proportion down", TAnchors{akLeft, akRight},
         Rect(50, 35, 170, 45)},
        {"all four stretch both ways", TAnchors{akLeft, akTop, akRight, akBottom}, Rect(50, 20, 170, 90)},
        {"bottom only: moves down, centre in proportion across", TAnchors{akBottom}, Rect(80, 80, 100, 90)},
        {"none: the centre keeps its proportion", TAnchors{}, Rect(80, 35, 100, 45)},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (bool Windowed : {false, true}) {
            auto Parent = std::make_unique<TWinControl>(nullptr);
            Parent->SetBounds(0, 0, 200, 100);
            TControl* Child = Windowed ? new TWinControl(Parent.get()) : new TControl(Parent.get());
            Child->SetBounds(50, 20, 20, 10);
            Child->SetParent(Parent.get());
            Child->SetAnchors(C.Anchors);
            if (Windowed)
                Parent->HandleNeeded();
            Parent->SetBounds(0, 0, 300, 160);
            EXPECT_EQ(Child->BoundsRect(), C.Expected) << (Windowed ? "windowed" : "windowless");
            // Back to the first size: back to the first place.
            Parent->SetBounds(0, 0, 200, 100);
            EXPECT_EQ(Child->BoundsRect(), Rect(50, 20, 70, 30));
        }
    }
}

TEST_F(ControlsLayoutTest, ConstraintsLimitEverySizeAndAutoSizeFitsTheChildren) {
    auto Parent = std::make_unique<TWinControl>(nullptr);
    Parent->SetBounds(0, 0, 200, 100);
    auto* Top = new TControl(Parent.get());
    Top->Constraints()->SetMaxWidth(150);
    Top->Constraints()->SetMinHeight(12);
    Top->SetHeight(5);
    Top->SetAlign(alTop);
    Top->SetParent(Parent.get());
    // The alignment asks for the full width; the constraints answer.
    EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 150, 12));
    Top->SetBounds(0, 0, 10, 500);
    Top->Constraints()->SetMaxHeight(40);
    EXPECT_EQ(Top->Height(), 40);
    // 0 means no limit.
    Top->Constraints()->SetMaxWidth(0);
    Top->Constraints()->SetMaxHeight(0);
    Parent->Realign();
    EXPECT_EQ(Top->BoundsRect(), Rect(0, 0, 200, 40));

    auto Box = std::make_unique<TWinControl>(nullptr);
    Box->SetBounds(10, 10, 300, 300);
    auto* A = new TControl(Box.get());
    A->SetBounds(5, 5, 40, 20);
    A->SetParent(Box.get());
    auto* B = new TControl(Box.get());
    B->SetBounds(30, 50, 10, 10);
    B->SetParent(Box.get());
    Box->SetAutoSize(true);
    EXPECT_EQ(Box->BoundsRect(), Rect(10, 10, 55, 70));
    // It follows its children, and a size written from outside gives way.
    B->SetLeft(100);
    EXPECT_EQ(Box->BoundsRect(), Rect(10, 10, 120, 70));
    Box->SetWidth(500);
    EXPECT_EQ(Box->Width(), 110);
    B->SetVisible(false);
    Box->SetWidth(500);
    EXPECT_EQ(Box->BoundsRect(), Rect(10, 10, 55, 35));
}

// A windowless control painting a frame of its size and a windowed one filling its client area.
class TFramed : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas()->Brush()->SetColor(clBlue);
        Canvas()->FrameRect(ClientRect());
    }
};

TEST_F(ControlsLayoutTest, PaintingIntoAForeignDCKeepsItsOriginAndClip) {
    auto Parent = std::make_unique<TWinControl>(nullptr);
    Parent->SetBounds(0, 0, 8, 5);
    Parent->SetColor(clRed);
    auto* Child = new TFramed(Parent.get());
    Child->SetBounds(1, 1, 4, 3);
    Child->SetParent(Parent.get());
    auto* Hidden = new TFramed(Parent.get());
    Hidden->SetBounds(6, 0, 2, 2);
    Hidden->SetVisible(false);
    Hidden->SetParent(Parent.get());

    gditest::Surface S(11, 7);
    // Someone else's DC: origin moved, clipped on the right.
    SetViewportOrgEx(S.DC, 2, 1, nullptr);
    IntersectClipRect(S.DC, -2, -1, 7, 6);
    RECT ClipBefore;
    GetClipBox(S.DC, &ClipBefore);
    Parent->Perform(WM_ERASEBKGND, WPARAM(S.DC), 0);
    Parent->Perform(WM_PAINT, WPARAM(S.DC), 0);
    EXPECT_PICTURE(S,
                   "...........", //
                   "..rrrrrrr..", //
                   "..rbbbbrr..", //
                   "..rbrrbrr..", //
                   "..rbbbbrr..", //
                   "..rrrrrrr..", //
                   "...........");
    POINT Origin;
    GetViewportOrgEx(S.DC, &Origin);
    EXPECT_EQ(Origin, Point(2, 1));
    RECT ClipAfter;
    GetClipBox(S.DC, &ClipAfter);
    EXPECT_EQ(ClipAfter, ClipBefore);
    // No window was needed for any of it.
    EXPECT_FALSE(Parent->HandleAllocated());

    // The windowless control alone, straight into the DC at its origin.
    gditest::Surface G(5, 4);
    Child->Perform(WM_PAINT, WPARAM(G.DC), 0);
    EXPECT_PICTURE(G,
                   "bbbb.", //
                   "b..b.", //
                   "bbbb.", //
                   ".....");
}

TEST_F(ControlsLayoutTest, EnterAndLeaveFollowTheMouseOverWindowlessDisabledAndCapturedControls) {
    auto Form = std::make_unique<TWinControl>(nullptr);
    Form->SetBounds(100, 100, 300, 100);
    auto Add = [&](TControl* C, int Left, bool Enabled) {
        C->SetBounds(Left, 10, 50, 50);
        C->SetEnabled(Enabled);
        C->SetParent(Form.get());
        return C;
    };
    TControl* A = Add(new TControl(Form.get()), 10, true);      // windowless
    TControl* B = Add(new TControl(Form.get()), 70, false);     // windowless, disabled
    TControl* C = Add(new TWinControl(Form.get()), 130, true);  // windowed
    TControl* D = Add(new TWinControl(Form.get()), 190, false); // windowed, disabled
    Form->HandleNeeded();
    TRecorder R;
    for (auto [Ctrl, Name] : {std::pair{(TControl*)Form.get(), "form"}, {A, "A"}, {B, "B"}, {C, "C"}, {D, "D"}})
        R.Watch(Ctrl, Name, {CM_MOUSEENTER, CM_MOUSELEAVE});
    auto MoveTo = [&](TControl* Over) {
        TPoint P = uitest::CentreOf(Over);
        InjectMouseMove(P.X, P.Y);
        ProcessPendingMessages();
        return R.Take();
    };
    using L = std::vector<std::string>;
    EXPECT_EQ(MoveTo(A), (L{"A:enter"}));
    EXPECT_EQ(MoveTo(B), (L{"A:leave", "B:enter"}));
    EXPECT_EQ(MoveTo(C), (L{"B:leave", "C:enter"}));
    // A press on C holds the mouse; moving over A still tells both.
    InjectMouseButton(0, true);
    ProcessPendingMessages();
    ASSERT_EQ(GetCapture(), static_cast<TWinControl*>(C)->Handle());
    EXPECT_EQ(MoveTo(A), (L{"C:leave", "A:enter"}));
    InjectMouseButton(0, false);
    ProcessPendingMessages();
    EXPECT_EQ(MoveTo(D), (L{"A:leave", "D:enter"}));
    InjectMouseMove(50, 50);
    ProcessPendingMessages();
    EXPECT_EQ(R.Take(), (L{"D:leave"}));
    EXPECT_EQ(MouseControl(), nullptr);
    InjectMouseMove(380, 180);
    ProcessPendingMessages();
    EXPECT_EQ(R.Take(), (L{"form:enter"}));
}

TEST_F(ControlsLayoutTest, AControlFreedByItsOwnHandlerIsNotTouchedAfterwards) {
    struct Case {
        const char* Name;
        bool Windowed;
        bool InMouseDown; // else in OnClick
    };
    const Case Cases[] = {
        {"windowed, click", true, false},
        {"windowed, mouse down", true, true},
        {"windowless, click", false, false},
        {"windowless, mouse down", false, true},
    };
    for (const Case& K : Cases) {
        SCOPED_TRACE(K.Name);
        auto* Form = new TWinControl(nullptr);
        Form->SetBounds(100, 100, 200, 100);
        TControl* Button = K.Windowed ? new TWinControl(Form) : new TControl(Form);
        Button->SetBounds(10, 10, 80, 30);
        Button->SetParent(Form);
        Form->HandleNeeded();
        bool Freed = false;
        auto FreeAll = [&] {
            // The control frees its whole window, itself included.
            delete Form;
            Freed = true;
        };
        if (K.InMouseDown)
            Button->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { FreeAll(); };
        else
            Button->OnClick = [&](TObject*) { FreeAll(); };
        uitest::ClickAt(Button);
        ProcessPendingMessages();
        EXPECT_TRUE(Freed);
        EXPECT_EQ(GetCapture(), nullptr);
    }
}

TEST_F(ControlsLayoutTest, ContextMenuComesFromTheRightButtonShiftF10AndTheMenuKey) {
    auto Form = std::make_unique<TWinControl>(nullptr);
    Form->SetBounds(100, 100, 200, 100);
    auto* Child = new TWinControl(Form.get());
    Child->SetBounds(10, 10, 80, 30);
    Child->SetTabStop(true);
    Child->SetParent(Form.get());
    auto* Graphic = new TControl(Form.get());
    Graphic->SetBounds(100, 10, 50, 30);
    Graphic->SetParent(Form.get());
    std::vector<std::string> Log;
    auto Record = [&](const char* Who) {
        return [&, Who](TObject*, TPoint P, bool& Handled) {
            Log.push_back(std::string(Who) + " " + std::to_string(P.X) + "," + std::to_string(P.Y));
            Handled = true;
        };
    };
    Child->OnContextPopup = Record("child");
    Graphic->OnContextPopup = Record("graphic");
    Form->OnContextPopup = Record("form");
    SetFocus(Child->Handle());
    InjectClick(115, 121, 1);
    InjectClick(210, 125, 1);
    InjectKey(VK_SHIFT, true);
    InjectKeyPress(VK_F10);
    InjectKey(VK_SHIFT, false);
    InjectKeyPress(VK_APPS);
    ProcessPendingMessages();
    // From the keyboard the position is (-1, -1): the menu opens at the control.
    EXPECT_EQ(Log, (std::vector<std::string>{"child 5,11", "graphic 10,15", "child -1,-1", "child -1,-1"}));
}

TEST_F(ControlsLayoutTest, ARightClickOpensThePopupMenuOfTheControl) {
    auto Form = std::make_unique<TWinControl>(nullptr);
    Form->SetBounds(100, 100, 200, 100);
    auto* Child = new TWinControl(Form.get());
    Child->SetBounds(10, 10, 80, 30);
    Child->SetParent(Form.get());
    auto* Menu = new TPopupMenu(Form.get());
    auto* Item = new TMenuItem(Menu);
    Item->SetCaption(u"&Copy");
    Menu->Items()->Add(Item);
    Child->SetPopupMenu(Menu);
    Form->HandleNeeded();
    InjectClick(115, 121, 1);
    ProcessPendingMessages();
    ASSERT_NE(Menu->PopupWindow(), nullptr);
    EXPECT_EQ(Menu->PopupComponent(), Child);
    EXPECT_EQ(Menu->PopupWindow()->BoundsRect().Left, 115);
    Menu->CloseMenu();
    // Without AutoPopup the menu stays shut; a freed menu is forgotten.
    Menu->SetAutoPopup(false);
    InjectClick(115, 121, 1);
    ProcessPendingMessages();
    EXPECT_EQ(Menu->PopupWindow(), nullptr);
    delete Menu;
    EXPECT_EQ(Child->PopupMenu(), nullptr);
    InjectClick(115, 121, 1);
    ProcessPendingMessages();
}

} // namespace
