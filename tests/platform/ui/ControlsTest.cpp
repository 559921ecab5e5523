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
         {{alClient, 0, 0, 5, 5}, {alRight, 0, 0, 30, 5}, {alLeft, 0, 0, 20, 5}, {alBottom, 0, 0, 5, 10},
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
