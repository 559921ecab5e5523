// MDI forms: the client window of an MDI form beside its aligned controls, children made, activated,
// closed and freed in a logged message order, moved and sized inside the client and clipped to it, the
// platform's plain maximize and minimize, and the picture of a parent with three children.
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/ui/Menus.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <filesystem>
#include <map>

namespace {

using TSeq = std::vector<std::string>;

TPoint Moved(TPoint P, int Dx, int Dy) {
    return TPoint{P.X + Dx, P.Y + Dy};
}

void ExpectInvalidOperation(const std::function<void()>& Action, const String& Text) {
    try {
        Action();
        ADD_FAILURE() << "no error";
    } catch (EInvalidOperation& E) {
        EXPECT_EQ(E.Message(), Text);
    }
}

class TMDIParent : public TForm {
public:
    explicit TMDIParent(TComponent* AOwner) : TForm(AOwner) {
        SetName(u"Frame");
        SetFormStyle(fsMDIForm);
        SetCaption(u"MDI");
        SetBounds(100, 100, 640, 480);
    }
};

// Logs "name:MESSAGE(detail)" for the messages that tell the MDI story, and "name:Event" for the
// forms' events, in the order they happen.
class TMDILog {
public:
    TSeq Log;
    std::map<HWND, std::string> Names;

    // A form is watched from its WindowProc on, so even its creation is seen.
    void Watch(TCustomForm* Form, const std::string& Name) {
        TWndMethod Previous = Form->WindowProc();
        Form->SetWindowProc([this, Form, Name, Previous](TMessage& M) {
            if (Form->HandleAllocated())
                Names[Form->Handle()] = Name;
            Record(Name, M.Msg, M.WParam, M.LParam);
            Previous(M);
        });
        Form->OnActivate = [this, Name](TObject*) { Log.push_back(Name + ":OnActivate"); };
        Form->OnDeactivate = [this, Name](TObject*) { Log.push_back(Name + ":OnDeactivate"); };
        Form->OnDestroy = [this, Name](TObject*) { Log.push_back(Name + ":OnDestroy"); };
        Form->OnCloseQuery = [this, Name](TObject*, bool&) { Log.push_back(Name + ":OnCloseQuery"); };
        Form->OnClose = [this, Name](TObject*, TCloseAction&) { Log.push_back(Name + ":OnClose"); };
    }
    // A window without a control (the client window), through its procedure.
    void Watch(HWND Window, const std::string& Name) {
        Names[Window] = Name;
        auto Link = std::make_shared<WNDPROC>(nullptr);
        *Link = SubclassWindowProc(Window, [this, Name, Link](HWND H, UINT Msg, WPARAM W, LPARAM L) {
            Record(Name, Msg, W, L);
            return CallPrevWndProc(*Link, H, Msg, W, L);
        });
    }
    TSeq Take() {
        TSeq L;
        L.swap(Log);
        return L;
    }

private:
    std::string NameOf(LPARAM Window) const {
        auto It = Names.find(reinterpret_cast<HWND>(Window));
        return It == Names.end() ? (Window ? "?" : "0") : It->second;
    }
    void Record(const std::string& Name, UINT Msg, WPARAM W, LPARAM L) {
        std::string What;
        switch (Msg) {
        case WM_CREATE:
            What = "WM_CREATE";
            break;
        case WM_SHOWWINDOW:
            What = "WM_SHOWWINDOW(" + std::to_string(W) + ")";
            break;
        case WM_ACTIVATE:
            What = "WM_ACTIVATE(" + std::to_string(LOWORD(W)) + ")";
            break;
        case WM_NCACTIVATE:
            What = "WM_NCACTIVATE(" + std::to_string(W) + ")";
            break;
        case WM_MOUSEACTIVATE:
            What = "WM_MOUSEACTIVATE";
            break;
        case WM_MDIACTIVATE:
            // To the client: the child to activate; to a child: the one leaving and the one coming.
            What = Name == "client" ? "WM_MDIACTIVATE(" + NameOf(LPARAM(W)) + ")"
                                    : "WM_MDIACTIVATE(" + NameOf(LPARAM(W)) + "->" + NameOf(L) + ")";
            break;
        case WM_MDIDESTROY:
            What = "WM_MDIDESTROY(" + NameOf(LPARAM(W)) + ")";
            break;
        case WM_PARENTNOTIFY:
            if (LOWORD(W) != WM_CREATE && LOWORD(W) != WM_DESTROY)
                return;
            What =
                std::string("WM_PARENTNOTIFY(") + (LOWORD(W) == WM_CREATE ? "create " : "destroy ") + NameOf(L) + ")";
            break;
        case WM_SETFOCUS:
            What = "WM_SETFOCUS";
            break;
        case WM_KILLFOCUS:
            What = "WM_KILLFOCUS";
            break;
        case WM_CLOSE:
            What = "WM_CLOSE";
            break;
        case WM_DESTROY:
            What = "WM_DESTROY";
            break;
        case WM_NCLBUTTONDOWN:
            What = "WM_NCLBUTTONDOWN";
            break;
        default:
            return;
        }
        Log.push_back(Name + ":" + What);
    }
};

class FormsMDITest : public uitest::UiTest {
protected:
    TMDIParent* Parent = nullptr;
    TMDILog Log;

    void MakeParent() {
        Application->CreateForm(Parent);
        Parent->Show();
        Pump();
    }
    // A child as a program makes it: built, then made (AfterConstruction shows it).
    TForm* MakeChild(const std::string& Name, int X, int Y, bool Watched = true) {
        auto* Child = new TForm(Application);
        Child->SetFormStyle(fsMDIChild);
        Child->SetName(String(Name.begin(), Name.end()));
        Child->SetCaption(String(Name.begin(), Name.end()));
        Child->SetBounds(X, Y, 200, 150);
        if (Watched)
            Log.Watch(Child, Name);
        Child->AfterConstruction();
        Pump();
        return Child;
    }
    TSeq Order() {
        TSeq L;
        for (int I = 0; I < Parent->MDIChildCount(); ++I)
            L.push_back(std::string(Parent->MDIChildren(I)->Name().begin(), Parent->MDIChildren(I)->Name().end()));
        return L;
    }
    std::string Active() {
        TCustomForm* F = Parent->ActiveMDIChild();
        return F ? std::string(F->Name().begin(), F->Name().end()) : "none";
    }
    // The child's rectangle in the client window's coordinates.
    RECT InClient(TCustomForm* Child) {
        RECT R;
        GetWindowRect(Child->Handle(), &R);
        POINT A{R.Left, R.Top}, B{R.Right, R.Bottom};
        ::ScreenToClient(Parent->ClientHandle(), &A);
        ::ScreenToClient(Parent->ClientHandle(), &B);
        return RECT{A.X, A.Y, B.X, B.Y};
    }
    // A point of the child's caption bar, in screen coordinates.
    TPoint CaptionPoint(TCustomForm* Child, int X = 30) {
        RECT R;
        GetWindowRect(Child->Handle(), &R);
        return TPoint{R.Left + X, R.Top + 12};
    }
    void Drag(TPoint From, TPoint To) {
        InjectMouseMove(From.X, From.Y);
        InjectMouseButton(0, true);
        InjectMouseMove((From.X + To.X) / 2, (From.Y + To.Y) / 2);
        InjectMouseMove(To.X, To.Y);
        InjectMouseButton(0, false);
        Pump();
    }
};

TEST_F(FormsMDITest, MakingAParentAndThreeChildren) {
    MakeParent();
    ASSERT_TRUE(Parent->ClientHandle());
    Log.Watch(Parent, "frame");
    Log.Watch(Parent->ClientHandle(), "client");
    MakeChild("c1", 0, 0);
    EXPECT_EQ(Log.Take(), (TSeq{"c1:WM_CREATE", "client:WM_PARENTNOTIFY(create c1)", "frame:WM_PARENTNOTIFY(create c1)",
                                "c1:WM_SHOWWINDOW(1)", "client:WM_MDIACTIVATE(c1)", "c1:WM_NCACTIVATE(1)",
                                "c1:WM_MDIACTIVATE(0->c1)", "c1:OnActivate", "frame:WM_KILLFOCUS", "c1:WM_SETFOCUS"}));
    MakeChild("c2", 30, 30);
    MakeChild("c3", 60, 60);
    EXPECT_EQ(Log.Take(), (TSeq{"c2:WM_CREATE",
                                "client:WM_PARENTNOTIFY(create c2)",
                                "frame:WM_PARENTNOTIFY(create c2)",
                                "c2:WM_SHOWWINDOW(1)",
                                "client:WM_MDIACTIVATE(c2)",
                                "c1:WM_NCACTIVATE(0)",
                                "c1:WM_MDIACTIVATE(c1->c2)",
                                "c1:OnDeactivate",
                                "c2:WM_NCACTIVATE(1)",
                                "c2:WM_MDIACTIVATE(c1->c2)",
                                "c2:OnActivate",
                                "c1:WM_KILLFOCUS",
                                "c2:WM_SETFOCUS",
                                "c3:WM_CREATE",
                                "client:WM_PARENTNOTIFY(create c3)",
                                "frame:WM_PARENTNOTIFY(create c3)",
                                "c3:WM_SHOWWINDOW(1)",
                                "client:WM_MDIACTIVATE(c3)",
                                "c2:WM_NCACTIVATE(0)",
                                "c2:WM_MDIACTIVATE(c2->c3)",
                                "c2:OnDeactivate",
                                "c3:WM_NCACTIVATE(1)",
                                "c3:WM_MDIACTIVATE(c2->c3)",
                                "c3:OnActivate",
                                "c2:WM_KILLFOCUS",
                                "c3:WM_SETFOCUS"}));
    EXPECT_EQ(Order(), (TSeq{"c3", "c2", "c1"}));
    EXPECT_EQ(Active(), "c3");
    // The frame stays the active window; the children live in the client window.
    EXPECT_EQ(GetActiveWindow(), Parent->Handle());
    EXPECT_TRUE(Parent->Active());
    EXPECT_EQ(GetParent(Parent->MDIChildren(0)->Handle()), Parent->ClientHandle());
    EXPECT_EQ(Parent->MDIChildren(2)->Left(), 0);
    EXPECT_EQ(Screen->ActiveForm(), Parent->MDIChildren(0));
}

TEST_F(FormsMDITest, APressOnACaptionActivatesThatChild) {
    MakeParent();
    Log.Watch(Parent, "frame");
    Log.Watch(Parent->ClientHandle(), "client");
    TForm* C1 = MakeChild("c1", 0, 0);
    MakeChild("c2", 30, 30);
    MakeChild("c3", 60, 60);
    Log.Take();
    // c1's caption shows above the others.
    Click(CaptionPoint(C1));
    EXPECT_EQ(Log.Take(), (TSeq{"c1:WM_MOUSEACTIVATE", "client:WM_MOUSEACTIVATE", "frame:WM_MOUSEACTIVATE",
                                "client:WM_MDIACTIVATE(c1)", "c3:WM_NCACTIVATE(0)", "c3:WM_MDIACTIVATE(c3->c1)",
                                "c3:OnDeactivate", "c1:WM_NCACTIVATE(1)", "c1:WM_MDIACTIVATE(c3->c1)", "c1:OnActivate",
                                "c3:WM_KILLFOCUS", "c1:WM_SETFOCUS", "c1:WM_NCLBUTTONDOWN"}));
    EXPECT_EQ(Order(), (TSeq{"c1", "c3", "c2"}));
    EXPECT_EQ(Active(), "c1");
    EXPECT_EQ(GetActiveWindow(), Parent->Handle());
    EXPECT_TRUE(C1->Active());
}

TEST_F(FormsMDITest, ActivatingAChildByCode) {
    MakeParent();
    Log.Watch(Parent, "frame");
    Log.Watch(Parent->ClientHandle(), "client");
    MakeChild("c1", 0, 0);
    TForm* C2 = MakeChild("c2", 30, 30);
    MakeChild("c3", 60, 60);
    Log.Take();
    C2->Show();
    EXPECT_EQ(Log.Take(), (TSeq{"client:WM_MDIACTIVATE(c2)", "c3:WM_NCACTIVATE(0)", "c3:WM_MDIACTIVATE(c3->c2)",
                                "c3:OnDeactivate", "c2:WM_NCACTIVATE(1)", "c2:WM_MDIACTIVATE(c3->c2)", "c2:OnActivate",
                                "c3:WM_KILLFOCUS", "c2:WM_SETFOCUS"}));
    EXPECT_EQ(Order(), (TSeq{"c2", "c3", "c1"}));
    EXPECT_EQ(Active(), "c2");
    // The active child again: the client has nothing to do.
    C2->Show();
    EXPECT_EQ(Log.Take(), TSeq{"client:WM_MDIACTIVATE(c2)"});
}

TEST_F(FormsMDITest, TheActiveChildsCaptionFollowsTheFrame) {
    MakeParent();
    Log.Watch(Parent, "frame");
    Log.Watch(Parent->ClientHandle(), "client");
    MakeChild("c1", 0, 0);
    TForm* C2 = MakeChild("c2", 30, 30);
    auto* Other = new TForm(Application);
    Other->SetBounds(900, 100, 200, 150);
    Log.Take();
    Other->Show();
    Pump();
    EXPECT_EQ(Log.Take(), (TSeq{"frame:WM_NCACTIVATE(0)", "c2:WM_NCACTIVATE(0)", "frame:WM_ACTIVATE(0)",
                                "frame:OnDeactivate", "c2:WM_KILLFOCUS"}));
    TPoint Caption = CaptionPoint(C2, 120);
    EXPECT_EQ(ScreenPixel(Caption.X, Caption.Y), GetSysColor(COLOR_INACTIVECAPTION));
    // A press on the active child: it asks, the frame becomes active and brings the child's caption along.
    Click(CaptionPoint(C2));
    EXPECT_EQ(Log.Take(), (TSeq{"c2:WM_MOUSEACTIVATE", "client:WM_MOUSEACTIVATE", "frame:WM_MOUSEACTIVATE",
                                "client:WM_MDIACTIVATE(c2)", "frame:WM_NCACTIVATE(1)", "c2:WM_NCACTIVATE(1)",
                                "frame:WM_ACTIVATE(2)", "frame:WM_SETFOCUS", "frame:OnActivate", "frame:WM_KILLFOCUS",
                                "c2:WM_SETFOCUS", "c2:WM_NCLBUTTONDOWN"}));
    EXPECT_EQ(ScreenPixel(Caption.X, Caption.Y), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(Active(), "c2");
}

TEST_F(FormsMDITest, ClosingAndFreeingTheActiveChildActivatesTheNext) {
    MakeParent();
    Log.Watch(Parent, "frame");
    Log.Watch(Parent->ClientHandle(), "client");
    MakeChild("c1", 0, 0);
    MakeChild("c2", 30, 30);
    TForm* C3 = MakeChild("c3", 60, 60);
    C3->OnClose = [this](TObject*, TCloseAction& Action) {
        Log.Log.push_back("c3:OnClose");
        Action = caFree;
    };
    Log.Take();
    SendMessageW(C3->Handle(), WM_CLOSE, 0, 0);
    EXPECT_EQ(Log.Take(), (TSeq{"c3:WM_CLOSE", "c3:OnCloseQuery", "c3:OnClose"}));
    Pump();
    EXPECT_EQ(Log.Take(),
              (TSeq{"c3:OnDestroy", "client:WM_MDIDESTROY(c3)", "c3:WM_NCACTIVATE(0)", "c3:WM_MDIACTIVATE(c3->c2)",
                    "c3:OnDeactivate", "c2:WM_NCACTIVATE(1)", "c2:WM_MDIACTIVATE(c3->c2)", "c2:OnActivate",
                    "c3:WM_KILLFOCUS", "c2:WM_SETFOCUS", "client:WM_PARENTNOTIFY(destroy c3)",
                    "frame:WM_PARENTNOTIFY(destroy c3)", "c3:WM_DESTROY"}));
    EXPECT_EQ(Order(), (TSeq{"c2", "c1"}));
    EXPECT_EQ(Active(), "c2");
    EXPECT_EQ(GetActiveWindow(), Parent->Handle());
}

TEST_F(FormsMDITest, ClosingWithoutFreeingMinimizesOrKeepsTheChild) {
    MakeParent();
    TForm* C1 = MakeChild("c1", 0, 0, false);
    C1->Close();
    EXPECT_EQ(C1->WindowState(), wsMinimized);
    EXPECT_TRUE(IsIconic(C1->Handle()));
    TForm* C2 = MakeChild("c2", 30, 30, false);
    C2->SetBorderIcons(TBorderIcons{biSystemMenu});
    C2->Close();
    EXPECT_EQ(C2->WindowState(), wsNormal);
    EXPECT_EQ(Parent->MDIChildCount(), 2);
}

TEST_F(FormsMDITest, TheParentsCloseAsksItsChildrenFirst) {
    struct Case {
        std::string Refusing;
        TSeq Expected;
    };
    for (const Case& C : {Case{"", {"c2:OnCloseQuery", "c1:OnCloseQuery", "frame:OnCloseQuery", "frame:OnClose"}},
                          Case{"c1", {"c2:OnCloseQuery", "c1:OnCloseQuery"}}, Case{"c2", {"c2:OnCloseQuery"}}}) {
        SCOPED_TRACE(C.Refusing);
        MakeParent();
        Log.Watch(Parent, "frame");
        for (const char* Name : {"c1", "c2"}) {
            TForm* Child = MakeChild(Name, 0, 0);
            Child->OnCloseQuery = [this, Name, Refusing = C.Refusing](TObject*, bool& CanClose) {
                Log.Log.push_back(std::string(Name) + ":OnCloseQuery");
                CanClose = Refusing != Name;
            };
        }
        Log.Take();
        Parent->Close();
        EXPECT_EQ(Log.Take(), C.Expected);
        for (int I = Application->ComponentCount() - 1; I >= 0; --I)
            delete Application->Components(I);
        Pump();
    }
}

TEST_F(FormsMDITest, TheClientWindowFillsTheAreaTheAlignedControlsLeave) {
    MakeParent();
    auto Panel = [this](TAlign Align, int Size) {
        auto* P = new TPanel(Parent);
        P->SetParent(Parent);
        P->SetBounds(0, 0, Size, Size);
        P->SetAlign(Align);
        return P;
    };
    Panel(alTop, 30);
    Panel(alBottom, 20);
    TPanel* Left = Panel(alLeft, 50);
    // The client window's procedure replaced the platform's way hears each new size.
    static std::vector<std::pair<int, int>> Sizes;
    static WNDPROC Previous;
    Sizes.clear();
    Previous = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrW(Parent->ClientHandle(), GWLP_WNDPROC,
                          reinterpret_cast<LONG_PTR>(+[](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
                              if (Msg == WM_SIZE)
                                  Sizes.emplace_back(LOWORD(L), HIWORD(L));
                              return CallWindowProcW(Previous, H, Msg, W, L);
                          })));
    struct Case {
        int Width, Height;
        bool LeftVisible;
        RECT Expected;
    };
    // The parent's client area is its size less a frame of 4 and a caption of 19.
    for (const Case& C : {Case{640, 480, true, {50, 30, 632, 433}}, Case{500, 400, true, {50, 30, 492, 353}},
                          Case{500, 400, false, {0, 30, 492, 353}}}) {
        Parent->SetBounds(100, 100, C.Width, C.Height);
        Left->SetVisible(C.LeftVisible);
        Pump();
        RECT R;
        GetWindowRect(Parent->ClientHandle(), &R);
        POINT A{R.Left, R.Top}, B{R.Right, R.Bottom};
        ::ScreenToClient(Parent->Handle(), &A);
        ::ScreenToClient(Parent->Handle(), &B);
        EXPECT_EQ((RECT{A.X, A.Y, B.X, B.Y}), C.Expected) << C.Width << "x" << C.Height;
    }
    // The client's own edge takes 2 pixels on each side.
    EXPECT_EQ(Sizes, (std::vector<std::pair<int, int>>{{438, 319}, {488, 319}}));
}

TEST_F(FormsMDITest, ADragMovesAChildAndAnEdgeSizesIt) {
    MakeParent();
    TForm* C1 = MakeChild("c1", 20, 20, false);
    EXPECT_EQ(InClient(C1), (RECT{20, 20, 220, 170}));
    Drag(CaptionPoint(C1), Moved(CaptionPoint(C1), 40, 30));
    EXPECT_EQ(InClient(C1), (RECT{60, 50, 260, 200}));
    EXPECT_EQ(C1->BoundsRect(), (TRect{60, 50, 260, 200}));
    // The right edge, then the bottom-right corner.
    RECT R;
    GetWindowRect(C1->Handle(), &R);
    Drag(TPoint{R.Right - 2, R.Top + 60}, TPoint{R.Right + 23, R.Top + 60});
    EXPECT_EQ(InClient(C1), (RECT{60, 50, 285, 200}));
    GetWindowRect(C1->Handle(), &R);
    Drag(TPoint{R.Right - 2, R.Bottom - 2}, TPoint{R.Right - 12, R.Bottom + 8});
    EXPECT_EQ(InClient(C1), (RECT{60, 50, 275, 210}));
    EXPECT_EQ(C1->Width(), 215);
}

TEST_F(FormsMDITest, NoPixelOfAChildIsDrawnOutsideTheClient) {
    MakeParent();
    TForm* C1 = MakeChild("c1", 20, 20, false);
    // Dragged so that it overhangs the client's bottom-right corner.
    RECT Client;
    GetWindowRect(Parent->ClientHandle(), &Client);
    RECT Inside;
    GetClientRect(Parent->ClientHandle(), &Inside);
    TPoint From = CaptionPoint(C1);
    Drag(From, Moved(From, Inside.Right - 120, Inside.Bottom - 60));
    Pump();
    RECT R;
    GetWindowRect(C1->Handle(), &R);
    ASSERT_GT(R.Right, Client.Right);
    ASSERT_GT(R.Bottom, Client.Bottom);
    // Inside the client the caption shows; beyond its edges only the parent's frame does.
    COLORREF Caption = GetSysColor(COLOR_ACTIVECAPTION);
    EXPECT_EQ(ScreenPixel(R.Left + 40, R.Top + 12), Caption);
    std::vector<DWORD> Frame = CaptureScreen(RECT{Client.Right, R.Top, R.Right, R.Bottom});
    std::vector<DWORD> Below = CaptureScreen(RECT{R.Left, Client.Bottom, Client.Right, R.Bottom});
    int Stray = 0;
    for (const auto* Area : {&Frame, &Below})
        for (DWORD P : *Area)
            Stray += RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF) == Caption;
    EXPECT_EQ(Stray, 0);
}

TEST_F(FormsMDITest, MaximizeMinimizeAndRestoreStayInsideTheClient) {
    MakeParent();
    TForm* C1 = MakeChild("c1", 20, 20, false);
    TForm* C2 = MakeChild("c2", 40, 40, false);
    RECT Area;
    GetClientRect(Parent->ClientHandle(), &Area);
    // Maximized: the client area of the child fills the client window, its sizing border outside.
    C1->SetWindowState(wsMaximized);
    EXPECT_EQ(InClient(C1), (RECT{-4, -4, Area.Right + 4, Area.Bottom + 4}));
    // The parent grows: the maximized child follows.
    Parent->SetBounds(100, 100, 700, 500);
    Pump();
    GetClientRect(Parent->ClientHandle(), &Area);
    EXPECT_EQ(InClient(C1), (RECT{-4, -4, Area.Right + 4, Area.Bottom + 4}));
    C1->SetWindowState(wsNormal);
    EXPECT_EQ(InClient(C1), (RECT{20, 20, 220, 170}));
    // Minimized: caption bars along the bottom of the client, from the left.
    C1->SetWindowState(wsMinimized);
    C2->SetWindowState(wsMinimized);
    EXPECT_EQ(InClient(C1), (RECT{0, Area.Bottom - 27, 160, Area.Bottom}));
    EXPECT_EQ(InClient(C2), (RECT{160, Area.Bottom - 27, 320, Area.Bottom}));
    C2->SetWindowState(wsNormal);
    EXPECT_EQ(InClient(C2), (RECT{40, 40, 240, 190}));
    EXPECT_EQ(C1->BoundsRect(), (TRect{20, 20, 220, 170}));
}

TEST_F(FormsMDITest, MisuseRaisesTheClassLibrarysErrors) {
    // No MDI main form: an MDI child cannot be made.
    TForm* Plain = nullptr;
    Application->CreateForm(Plain);
    auto* Orphan = new TForm(Application);
    Orphan->SetFormStyle(fsMDIChild);
    ExpectInvalidOperation([&] { Orphan->AfterConstruction(); },
                           u"Cannot create form. No MDI forms are currently active");
    EXPECT_FALSE(Orphan->HandleAllocated());
    EXPECT_EQ(Plain->ClientHandle(), nullptr);
    EXPECT_EQ(Plain->ActiveMDIChild(), nullptr);
    EXPECT_EQ(Plain->MDIChildCount(), 0);
}

TEST_F(FormsMDITest, AChildCannotBeHidden) {
    MakeParent();
    TForm* C1 = MakeChild("c1", 0, 0, false);
    ExpectInvalidOperation([&] { C1->Hide(); }, u"Cannot hide an MDI Child Form");
    EXPECT_TRUE(C1->Visible());
    EXPECT_TRUE(IsWindowVisible(C1->Handle()));
    EXPECT_THROW(Parent->MDIChildren(1), EListError);
}

TEST_F(FormsMDITest, TheWindowMenuIsClearedWhenItsItemGoes) {
    MakeParent();
    auto* Menu = new TMainMenu(Parent);
    auto* Window = new TMenuItem(Menu);
    Menu->Items()->Add(Window);
    Parent->SetWindowMenu(Window);
    EXPECT_EQ(Parent->WindowMenu(), Window);
    delete Window;
    EXPECT_EQ(Parent->WindowMenu(), nullptr);
}

// The classic look of a parent with three children, one of them maximized under the other two, saved
// for a person to look at: build/artifacts/mdi_forms.png.
TEST_F(FormsMDITest, AParentWithThreeChildrenOneMaximized) {
    MakeParent();
    auto* Bar = new TPanel(Parent);
    Bar->SetParent(Parent);
    Bar->SetHeight(28);
    Bar->SetAlign(alTop);
    Bar->SetCaption(u"工具栏 Tool bar");
    TForm* Log1 = MakeChild("Log", 0, 0, false);
    Log1->SetCaption(u"日志 Log");
    Log1->SetWindowState(wsMaximized);
    TForm* Player = MakeChild("Player", 30, 40, false);
    Player->SetCaption(u"Preview player");
    TForm* Jobs = MakeChild("Jobs", 200, 120, false);
    Jobs->SetCaption(u"任务 Jobs");
    Pump();
    EXPECT_EQ(Order(), (TSeq{"Jobs", "Player", "Log"}));
    // The active child shows the active caption, the others the inactive one.
    TPoint JobsCaption = CaptionPoint(Jobs, 120), PlayerCaption = CaptionPoint(Player, 120);
    EXPECT_EQ(ScreenPixel(JobsCaption.X, JobsCaption.Y), GetSysColor(COLOR_ACTIVECAPTION));
    EXPECT_EQ(ScreenPixel(PlayerCaption.X, PlayerCaption.Y), GetSysColor(COLOR_INACTIVECAPTION));
    std::filesystem::create_directories("artifacts");
    EXPECT_TRUE(SaveWindowToPng(Parent->Handle(), "artifacts/mdi_forms.png"));
}

} // namespace
