// Forms: the loading phase, focus and Tab order, dialog keys and default buttons, modal results, the
// application object and window, message boxes, the screen.
#include "platform/ui/Forms.h"
#include "platform/gdi/WinText.h"
#include "platform/ui/Menus.h"
#include "platform/ui/StdCtrls.h"
#include "tests/platform/ui/UiTestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using uitest::TRecorder;
using uitest::TTestButton;
using uitest::UiTest;
using L = std::vector<std::string>;

class FormsTest : public UiTest {};

// A windowed control that takes the focus, like an edit box.
class TField : public TCustomControl {
public:
    explicit TField(TComponent* AOwner) : TCustomControl(AOwner) {
        SetTabStop(true);
        SetBounds(0, 0, 60, 20);
    }
    LRESULT DlgCode = 0;
    void Dispatch(TMessage& M) override {
        if (M.Msg == WM_GETDLGCODE) {
            M.Result = DlgCode;
            return;
        }
        TCustomControl::Dispatch(M);
    }
};

template <class T> T* Place(T* C, TWinControl* Parent, int Left, int Top) {
    C->SetBounds(Left, Top, C->Width(), C->Height());
    C->SetParent(Parent);
    return C;
}

// A form built in code, the way the application's forms are.
class TSampleForm : public TForm {
public:
    explicit TSampleForm(TComponent* AOwner) : TForm(AOwner) {
        SetBounds(100, 100, 400, 300);
        Top = new TWinControl(this);
        Top->SetHeight(40);
        Top->SetAlign(alTop);
        Top->SetParent(this);
        Client = new TWinControl(this);
        Client->SetAlign(alClient);
        Client->SetParent(this);
        First = Place(new TField(this), Client, 10, 10);
        Second = Place(new TField(this), Client, 10, 40);
        Third = Place(new TField(this), Top, 10, 10);
        LayoutWhileLoading = Client->BoundsRect();
        HandleWhileLoading = HandleAllocated();
        SetVisible(true);
        VisibleWhileLoading = HandleAllocated() && IsWindowVisible(Handle());
    }
    TWinControl* Top;
    TWinControl* Client;
    TField* First;
    TField* Second;
    TField* Third;
    TRect LayoutWhileLoading;
    bool HandleWhileLoading = true;
    bool VisibleWhileLoading = true;
    int LoadedCalls = 0;

protected:
    void Loaded() override {
        ++LoadedCalls;
        TForm::Loaded();
    }
};

TEST_F(FormsTest, AFormBuiltInCodeLoadsThenRunsOnCreateAndShows) {
    TSampleForm* Form = nullptr;
    Application->CreateForm(Form);
    // Nothing was laid out or shown while the constructor ran.
    EXPECT_EQ(Form->LayoutWhileLoading, Rect(0, 0, 0, 0));
    EXPECT_FALSE(Form->HandleWhileLoading);
    EXPECT_FALSE(Form->VisibleWhileLoading);
    EXPECT_EQ(Form->LoadedCalls, 1);
    EXPECT_FALSE(Form->ComponentState().Contains(csLoading));
    EXPECT_FALSE(Form->First->ComponentState().Contains(csLoading));
    EXPECT_EQ(Application->MainForm(), Form);
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    TRect Client = Form->ClientRect();
    EXPECT_EQ(Form->Client->BoundsRect(), Rect(0, 40, Client.Right, Client.Bottom));
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_EQ(Screen->Forms(0), Form);
    // Shown, it took the first control in Tab order.
    Pump();
    EXPECT_EQ(Form->ActiveControl(), Form->Third);
    EXPECT_TRUE(Form->Third->Focused());
    EXPECT_EQ(Screen->ActiveForm(), Form);
    EXPECT_EQ(Screen->ActiveControl(), Form->Third);
}

TEST_F(FormsTest, AnErrorInOnCreateIsShownAndTheFormStays) {
    struct TFailing : TForm {
        explicit TFailing(TComponent* AOwner) : TForm(AOwner) {
            OnCreate = [](TObject*) { throw EConvertError(u"'abc' is not a valid integer value"); };
        }
    };
    Application->SetTitle(u"Quorvane");
    std::vector<std::string> Shown;
    Screen->OnActiveFormChange = [&](TObject*) {
        TCustomForm* F = Screen->ActiveForm();
        if (F && F->FindComponent(u"Message"))
            Shown.push_back(
                UTF8Encode(F->Caption() + u": " + static_cast<TControl*>(F->FindComponent(u"Message"))->Caption()));
    };
    // The box answers the Enter key waiting in the queue.
    InjectKeyPress(VK_RETURN);
    TFailing* Form = nullptr;
    Application->CreateForm(Form);
    Screen->OnActiveFormChange = nullptr;
    EXPECT_EQ(Shown, (L{"Quorvane: 'abc' is not a valid integer value."}));
    ASSERT_NE(Form, nullptr);
    EXPECT_EQ(Application->MainForm(), Form);
    EXPECT_EQ(Screen->FormCount(), 1);
}

TEST_F(FormsTest, TabMovesTheFocusInTabOrderAndEnterAndExitFollowTheParents) {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(0, 0, 400, 400);
    auto* Panel = Place(new TWinControl(Form.get()), Form.get(), 10, 10);
    Panel->SetBounds(10, 10, 200, 100);
    auto* A = Place(new TField(Form.get()), Panel, 5, 5);
    auto* B = Place(new TField(Form.get()), Panel, 5, 30);
    auto* C = Place(new TField(Form.get()), Form.get(), 10, 150);
    auto* Off = Place(new TField(Form.get()), Form.get(), 10, 180);
    auto* Hidden = Place(new TField(Form.get()), Form.get(), 10, 210);
    auto* NoStop = Place(new TField(Form.get()), Form.get(), 100, 210);
    Off->SetEnabled(false);
    Hidden->SetVisible(false);
    NoStop->SetTabStop(false);
    // C first among the form's children, B before A inside the panel.
    C->SetTabOrder(0);
    B->SetTabOrder(0);
    EXPECT_EQ(C->TabOrder(), 0);
    EXPECT_EQ(Panel->TabOrder(), 1);
    EXPECT_EQ(A->TabOrder(), 1);
    Form->Show();
    Pump();
    ASSERT_EQ(Form->ActiveControl(), C);
    TRecorder R;
    for (auto [Ctrl, Name] : {std::pair{(TControl*)Panel, "panel"}, {A, "A"}, {B, "B"}, {C, "C"}})
        R.Watch(Ctrl, Name, {CM_ENTER, CM_EXIT});
    auto Tab = [&](bool Back) {
        if (Back)
            InjectKey(VK_SHIFT, true);
        InjectKeyPress(VK_TAB);
        if (Back)
            InjectKey(VK_SHIFT, false);
        Pump();
        return Form->ActiveControl();
    };
    EXPECT_EQ(Tab(false), B);
    EXPECT_EQ(R.Take(), (L{"C:CM_EXIT", "panel:CM_ENTER", "B:CM_ENTER"}));
    EXPECT_EQ(Tab(false), A);
    EXPECT_EQ(R.Take(), (L{"B:CM_EXIT", "A:CM_ENTER"}));
    // Disabled, hidden and no-stop controls are passed over; the order wraps round.
    EXPECT_EQ(Tab(false), C);
    EXPECT_EQ(R.Take(), (L{"A:CM_EXIT", "panel:CM_EXIT", "C:CM_ENTER"}));
    EXPECT_EQ(Tab(true), A);
    EXPECT_TRUE(A->Focused());
    EXPECT_EQ(Screen->ActiveControl(), A);
    // A click gives the focus as well; hiding the focused control's parent lets it go.
    uitest::ClickAt(NoStop);
    Pump();
    EXPECT_EQ(Form->ActiveControl(), A) << "a control without a Tab stop is not focused by a click";
    uitest::ClickAt(C);
    Pump();
    EXPECT_EQ(Form->ActiveControl(), C);
    EXPECT_THROW(Form->SetActiveControl(Off), EInvalidControlOperation);
    EXPECT_EQ(Form->ActiveControl(), C);
    delete C;
    EXPECT_EQ(Form->ActiveControl(), nullptr);
}

TEST_F(FormsTest, EnterClicksTheDefaultButtonOnceAndEscapeTheCancelButton) {
    auto Form = std::make_unique<TForm>(nullptr);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    auto* Wanting = Place(new TField(Form.get()), Form.get(), 10, 40);
    Wanting->DlgCode = DLGC_WANTALLKEYS;
    auto* Ok = Place(new TTestButton(Form.get()), Form.get(), 10, 100);
    auto* Cancel = Place(new TTestButton(Form.get()), Form.get(), 100, 100);
    auto* Other = Place(new TTestButton(Form.get()), Form.get(), 190, 100);
    Ok->Default = true;
    Cancel->Cancel = true;
    std::vector<std::string> Keys;
    for (TField* F : {Field, Wanting}) {
        F->OnKeyDown = [&, F](TObject*, Word& Key, TShiftState) {
            Keys.push_back((F == Field ? "field down " : "wanting down ") + std::to_string(Key));
        };
        F->OnKeyPress = [&, F](TObject*, Char& Key) {
            Keys.push_back((F == Field ? "field char " : "wanting char ") + std::to_string(int(Key)));
        };
    }
    Form->Show();
    Pump();
    struct Case {
        const char* Name;
        TWinControl* Focus;
        UINT Key;
        std::vector<int> Clicks; // Ok, Cancel, Other
        L Keys;
    };
    const Case Cases[] = {
        {"Enter in a field clicks the default button", Field, VK_RETURN, {1, 0, 0}, {}},
        {"Enter on the default button clicks it once", Ok, VK_RETURN, {1, 0, 0}, {}},
        {"Enter on another button clicks that one", Other, VK_RETURN, {0, 0, 1}, {}},
        {"Escape clicks the cancel button", Field, VK_ESCAPE, {0, 1, 0}, {}},
        {"a control that wants Enter keeps it", Wanting, VK_RETURN, {0, 0, 0}, {"wanting down 13", "wanting char 13"}},
        {"other keys reach the control", Field, 'A', {0, 0, 0}, {"field down 65", "field char 97"}},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        C.Focus->SetFocus();
        Pump();
        ASSERT_TRUE(C.Focus->Focused());
        Ok->Clicks = Cancel->Clicks = Other->Clicks = 0;
        Keys.clear();
        InjectKeyPress(C.Key);
        Pump();
        EXPECT_EQ((std::vector<int>{Ok->Clicks, Cancel->Clicks, Other->Clicks}), C.Clicks);
        EXPECT_EQ(Keys, C.Keys);
    }
}

TEST_F(FormsTest, KeyPreviewAndShortCutsSeeKeysBeforeTheControl) {
    auto Form = std::make_unique<TForm>(nullptr);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    L Log;
    Field->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Log.push_back("field " + std::to_string(Key)); };
    Form->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
        Log.push_back("form " + std::to_string(Key));
        if (Key == 'X')
            Key = 0;
    };
    Form->OnShortCut = [&](TMessage& M, bool& Handled) {
        Handled = M.WParam == VK_F5;
        if (Handled)
            Log.push_back("short cut F5");
    };
    Form->Show();
    Pump();
    Field->SetFocus();
    for (UINT K : {UINT('A'), UINT('X'), VK_F5})
        InjectKeyPress(K);
    Pump();
    EXPECT_EQ(Log, (L{"field 65", "field 88", "short cut F5"}));
    Log.clear();
    Form->SetKeyPreview(true);
    for (UINT K : {UINT('A'), UINT('X'), VK_F5})
        InjectKeyPress(K);
    Pump();
    EXPECT_EQ(Log, (L{"form 65", "field 65", "form 88", "short cut F5"}));
}

TEST_F(FormsTest, ShowModalDisablesTheOtherFormsUntilAModalResultCloses) {
    auto Main = std::make_unique<TForm>(nullptr);
    Main->SetBounds(0, 0, 300, 200);
    Main->Show();
    auto Dialog = std::make_unique<TForm>(nullptr);
    Dialog->SetBounds(0, 0, 300, 200);
    Dialog->SetPosition(poScreenCenter);
    auto* Ok = Place(new TTestButton(Dialog.get()), Dialog.get(), 20, 100);
    Ok->Result = mrOk;
    Pump();
    std::vector<std::string> Log;
    bool MainEnabledDuringModal = true;
    int CloseQueries = 0;
    Dialog->OnShow = [&](TObject*) {
        Log.push_back("show");
        // The user clicks OK twice: the first close is refused.
        uitest::ClickAt(Ok);
        uitest::ClickAt(Ok);
    };
    Ok->OnClick = [&](TObject*) {
        MainEnabledDuringModal = IsWindowEnabled(Main->Handle());
        Log.push_back("click");
    };
    Dialog->OnCloseQuery = [&](TObject*, bool& CanClose) {
        CanClose = ++CloseQueries > 1;
        Log.push_back(CanClose ? "close query yes" : "close query no");
    };
    Dialog->OnClose = [&](TObject*, TCloseAction& Action) { Log.push_back("close " + std::to_string(int(Action))); };
    Dialog->OnHide = [&](TObject*) { Log.push_back("hide"); };
    TModalResult Result = Dialog->ShowModal();
    EXPECT_EQ(Result, mrOk);
    EXPECT_EQ(Log, (L{"show", "click", "close query no", "click", "close query yes", "close 1", "hide"}));
    EXPECT_FALSE(MainEnabledDuringModal);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
    EXPECT_FALSE(Dialog->Visible());
    EXPECT_FALSE(Dialog->FormState().Contains(fsModal));
    // Placed in the middle of the 1920 x 1080 screen.
    EXPECT_EQ(Dialog->BoundsRect(), Bounds(810, 440, 300, 200));
    EXPECT_THROW((Main->ShowModal()), EInvalidOperation);
}

TEST_F(FormsTest, AModalFormFreedFromItsOwnClickReturnsAndGoes) {
    auto Main = std::make_unique<TForm>(nullptr);
    Main->Show();
    auto* Dialog = new TForm(nullptr);
    auto* Ok = Place(new TTestButton(Dialog), Dialog, 20, 20);
    Ok->Result = mrYes;
    Dialog->OnShow = [&](TObject*) { uitest::ClickAt(Ok); };
    Dialog->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
    std::weak_ptr<char> Alive = Dialog->AliveToken();
    EXPECT_EQ(Dialog->ShowModal(), mrYes);
    EXPECT_FALSE(Alive.expired()) << "freed only once its messages are done";
    Pump();
    EXPECT_TRUE(Alive.expired());
    EXPECT_EQ(Screen->FormCount(), 1);
    EXPECT_TRUE(IsWindowEnabled(Main->Handle()));

    // Closing without a result is a cancel; Terminate ends the modal loop as well.
    auto Second = std::make_unique<TForm>(nullptr);
    Second->OnShow = [&](TObject*) { PostMessageW(Second->Handle(), WM_CLOSE, 0, 0); };
    EXPECT_EQ(Second->ShowModal(), mrCancel);
    Second->OnShow = [&](TObject*) { Application->Terminate(); };
    EXPECT_EQ(Second->ShowModal(), mrCancel);
    EXPECT_TRUE(Application->Terminated());
}

TEST_F(FormsTest, MessageBoxButtonsFollowTheFlags) {
    struct Case {
        const char* Name;
        UINT Flags;
        std::vector<UINT> Keys;
        int Expected;
    };
    const Case Cases[] = {
        {"OK with Enter", MB_OK, {VK_RETURN}, IDOK},
        {"OK with Escape", MB_OK | MB_ICONINFORMATION, {VK_ESCAPE}, IDOK},
        {"OK and Cancel with Escape", MB_OKCANCEL, {VK_ESCAPE}, IDCANCEL},
        {"Yes and No, second default", MB_YESNO | MB_DEFBUTTON2 | MB_ICONQUESTION, {VK_RETURN}, IDNO},
        {"Yes, No, Cancel: Tab then Enter", MB_YESNOCANCEL, {VK_TAB, VK_RETURN}, IDNO},
        {"Abort, Retry, Ignore: third default", MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, {VK_RETURN}, IDIGNORE},
        {"Retry and Cancel", MB_RETRYCANCEL | MB_ICONERROR, {VK_RETURN}, IDRETRY},
    };
    auto Main = std::make_unique<TForm>(nullptr);
    Main->Show();
    Pump();
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        for (UINT K : C.Keys)
            InjectKeyPress(K);
        bool MainEnabled = true;
        Screen->OnActiveFormChange = [&](TObject*) {
            if (Screen->ActiveForm() && Screen->ActiveForm() != Main.get())
                MainEnabled = IsWindowEnabled(Main->Handle());
        };
        EXPECT_EQ(Application->MessageBox(u"Delete the file?", u"Quorvane", C.Flags), C.Expected);
        Screen->OnActiveFormChange = nullptr;
        EXPECT_FALSE(MainEnabled);
        EXPECT_TRUE(IsWindowEnabled(Main->Handle()));
        EXPECT_EQ(Screen->FormCount(), 1);
    }
}

TEST_F(FormsTest, TheApplicationWindowSeesMinimizeAndMessagesPassOnMessageFirst) {
    TForm* Form = nullptr;
    Application->CreateForm(Form);
    Application->SetTitle(u"Quorvane");
    HWND App = Application->Handle();
    WCHAR Title[32] = {};
    GetWindowTextW(App, Title, 32);
    EXPECT_EQ(String(Title), u"Quorvane");
    std::vector<WPARAM> Sizes;
    WNDPROC Link = SubclassWindowProc(App, [&](HWND h, UINT Msg, WPARAM w, LPARAM l) -> LRESULT {
        if (Msg == WM_SIZE)
            Sizes.push_back(w);
        return CallPrevWndProc(Link, h, Msg, w, l);
    });
    Form->Show();
    Pump();
    Application->Minimize();
    EXPECT_EQ(Sizes, (std::vector<WPARAM>{SIZE_MINIMIZED}));
    EXPECT_FALSE(IsWindowVisible(Form->Handle()));
    EXPECT_TRUE(Form->Visible());
    Application->Restore();
    EXPECT_TRUE(IsWindowVisible(Form->Handle()));
    RemoveWindowProcLink(App, Link);

    // OnMessage sees a queued message before it is dispatched and may keep it; an error in a handler is
    // shown (here: handed to OnException) and the loop goes on.
    constexpr UINT Ping = WM_USER + 7, Fail = WM_USER + 8;
    std::vector<std::string> Log;
    Form->SetWindowProc([&, Previous = Form->WindowProc()](TMessage& M) {
        if (M.Msg == Ping)
            Log.push_back("ping " + std::to_string(M.WParam));
        if (M.Msg == Fail)
            throw EConvertError(u"bad");
        Previous(M);
    });
    Application->OnMessage = [&](MSG& Msg, bool& Handled) {
        if (Msg.message == Ping) {
            Log.push_back("seen " + std::to_string(Msg.wParam));
            Handled = Msg.wParam == 2;
        }
    };
    Application->OnException = [&](TObject*, Exception& E) { Log.push_back("error " + UTF8Encode(E.Message())); };
    PostMessageW(Form->Handle(), Ping, 1, 0);
    PostMessageW(Form->Handle(), Ping, 2, 0);
    PostMessageW(Form->Handle(), Fail, 0, 0);
    PostMessageW(Form->Handle(), Ping, 3, 0);
    Application->ProcessMessages();
    EXPECT_EQ(Log, (L{"seen 1", "ping 1", "seen 2", "error bad", "seen 3", "ping 3"}));

    // Run shows the main form and ends with Terminate; closing the main form terminates.
    Form->Hide();
    Form->OnShow = [&](TObject*) { PostMessageW(Form->Handle(), WM_CLOSE, 0, 0); };
    Application->Run();
    EXPECT_TRUE(Application->Terminated());
    EXPECT_TRUE(Form->Visible());
}

TEST_F(FormsTest, TheScreenKnowsItsFormsSizeAndWorkArea) {
    auto A = std::make_unique<TForm>(nullptr);
    auto B = std::make_unique<TForm>(nullptr);
    ASSERT_EQ(Screen->FormCount(), 2);
    EXPECT_EQ(Screen->Forms(0), A.get());
    EXPECT_EQ(Screen->Forms(1), B.get());
    EXPECT_EQ(Screen->Width(), 1920);
    EXPECT_EQ(Screen->Height(), 1080);
    EXPECT_EQ(Screen->WorkAreaRect(), Rect(0, 0, 1920, 1040));
    ASSERT_EQ(Screen->MonitorCount(), 1);
    EXPECT_TRUE(Screen->Monitors(0)->Primary());
    EXPECT_EQ(Screen->Monitors(0)->WorkareaRect(), Rect(0, 0, 1920, 1040));
    EXPECT_THROW(Screen->Monitors(1), EListError);
    B->Show();
    Pump();
    EXPECT_EQ(Screen->ActiveForm(), B.get());
    A->Show();
    Pump();
    EXPECT_EQ(Screen->ActiveForm(), A.get());
    A.reset();
    EXPECT_EQ(Screen->FormCount(), 1);
    // The application's cursor wins over the controls'.
    Screen->SetCursor(crHourGlass);
    EXPECT_EQ(GetCursor(), LoadCursorW(nullptr, IDC_WAIT));
    Screen->SetCursor(crDefault);
}

TEST_F(FormsTest, ReleaseFreesTheFormOnceItsClickIsDone) {
    auto* Form = new TForm(nullptr);
    auto* Close = Place(new TTestButton(Form), Form, 20, 20);
    std::weak_ptr<char> Alive = Form->AliveToken();
    bool AliveAfterRelease = false;
    Close->OnClick = [&](TObject*) {
        Form->Release();
        AliveAfterRelease = !Alive.expired();
    };
    Form->Show();
    Pump();
    uitest::ClickAt(Close);
    Pump();
    EXPECT_TRUE(AliveAfterRelease);
    EXPECT_TRUE(Alive.expired());
    EXPECT_EQ(Screen->FormCount(), 0);
}

TEST_F(FormsTest, AFormWithAParentLivesAsAChildWindowOfAnotherForm) {
    auto Main = std::make_unique<TForm>(nullptr);
    Main->SetBounds(0, 0, 400, 300);
    auto* Inner = new TForm(Main.get());
    Inner->SetBorderStyle(bsNone);
    Inner->SetAlign(alClient);
    Inner->SetParent(Main.get());
    auto* Field = Place(new TField(Inner), Inner, 10, 10);
    Inner->Show();
    Main->Show();
    Pump();
    EXPECT_EQ(GetParent(Inner->Handle()), Main->Handle());
    EXPECT_TRUE(GetWindowLongPtrW(Inner->Handle(), GWL_STYLE) & WS_CHILD);
    EXPECT_TRUE(IsWindowVisible(Inner->Handle()));
    EXPECT_EQ(Inner->BoundsRect(), Main->ClientRect());
    // Its controls belong to the outer form's focus.
    EXPECT_EQ(GetParentForm(Field), Main.get());
    EXPECT_EQ(Main->ActiveControl(), Field);
    EXPECT_TRUE(Field->Focused());
}

TEST_F(FormsTest, WindowStatesFollowTheWindow) {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(10, 10, 300, 200);
    Form->Show();
    Pump();
    Form->SetWindowState(wsMaximized);
    EXPECT_TRUE(IsZoomed(Form->Handle()));
    Form->SetWindowState(wsNormal);
    EXPECT_FALSE(IsZoomed(Form->Handle()));
    EXPECT_EQ(Form->BoundsRect(), Bounds(10, 10, 300, 200));
    // The window's own minimize shows in the state.
    ShowWindow(Form->Handle(), SW_MINIMIZE);
    EXPECT_EQ(Form->WindowState(), wsMinimized);
    ShowWindow(Form->Handle(), SW_RESTORE);
    EXPECT_EQ(Form->WindowState(), wsNormal);
    EXPECT_EQ(Form->BoundsRect(), Bounds(10, 10, 300, 200));
}

TEST_F(FormsTest, APressSendsCancelModeToTheActiveControlNamingThePressedOne) {
    auto Form = std::make_unique<TForm>(nullptr);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    auto* Other = Place(new TField(Form.get()), Form.get(), 10, 40);
    auto* Graphic = Place(new TControl(Form.get()), Form.get(), 10, 70);
    Graphic->SetBounds(10, 70, 40, 20);
    std::vector<std::pair<TControl*, TControl*>> Log; // receiver, sender
    for (TControl* C : {(TControl*)Field, (TControl*)Other})
        C->SetWindowProc([&, C, Previous = C->WindowProc()](TMessage& M) {
            if (M.Msg == CM_CANCELMODE)
                Log.emplace_back(C, reinterpret_cast<TControl*>(M.LParam));
            Previous(M);
        });
    Form->Show();
    Pump();
    ASSERT_EQ(Form->ActiveControl(), Field);
    uitest::ClickAt(Other);
    Pump();
    uitest::ClickAt(Graphic);
    Pump();
    using P = std::pair<TControl*, TControl*>;
    EXPECT_EQ(Log, (std::vector<P>{{Field, Other}, {Other, Graphic}}));
}

TEST_F(FormsTest, APressOnTheFrameSendsCancelModeWithoutSenderBeforeTheMoveLoop) {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetBounds(100, 100, 300, 200);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    std::vector<std::string> Log;
    Field->SetWindowProc([&, Previous = Field->WindowProc()](TMessage& M) {
        if (M.Msg == CM_CANCELMODE)
            Log.push_back(M.LParam ? "CM_CANCELMODE from a control" : "CM_CANCELMODE");
        Previous(M);
    });
    Form->SetWindowProc([&, Previous = Form->WindowProc()](TMessage& M) {
        if (M.Msg == WM_NCLBUTTONDOWN)
            Log.push_back("WM_NCLBUTTONDOWN");
        if (M.Msg == WM_ENTERSIZEMOVE)
            Log.push_back("WM_ENTERSIZEMOVE");
        Previous(M);
    });
    Form->Show();
    Pump();
    ASSERT_EQ(Form->ActiveControl(), Field);
    const TPoint Caption{Form->Left() + 60, Form->Top() + 8};
    ASSERT_LT(Form->ScreenToClient(Caption).Y, 0);
    InjectMouseMove(Caption.X, Caption.Y);
    InjectMouseButton(0, true);
    InjectMouseMove(Caption.X + 20, Caption.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(Log, (std::vector<std::string>{"WM_NCLBUTTONDOWN", "CM_CANCELMODE", "WM_ENTERSIZEMOVE"}));
    EXPECT_EQ(Form->Left(), 120);
}

TEST_F(FormsTest, AWindowOfAMethodGetsItsMessages) {
    std::vector<UINT> Seen;
    HWND H = AllocateHWnd([&](TMessage& M) {
        if (M.Msg >= WM_USER)
            Seen.push_back(M.Msg);
        M.Result = 7;
    });
    ASSERT_TRUE(IsWindow(H));
    EXPECT_FALSE(IsWindowVisible(H));
    EXPECT_EQ(SendMessageW(H, WM_USER + 1, 0, 0), 7);
    PostMessageW(H, WM_USER + 2, 0, 0);
    Pump();
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_USER + 1, WM_USER + 2}));
    DeallocateHWnd(H);
    EXPECT_FALSE(IsWindow(H));
}

TEST_F(FormsTest, AcceleratorsAndMenuShortCutsReachTheirTargetsThroughTheForm) {
    auto Form = std::make_unique<TForm>(nullptr);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    auto* Open = Place(new TButton(Form.get()), Form.get(), 10, 40);
    Open->SetCaption(u"&Open");
    auto* Menu = new TMainMenu(Form.get());
    auto* File = new TMenuItem(Menu);
    File->SetCaption(u"&File");
    Menu->Items()->Add(File);
    auto* Save = new TMenuItem(Menu);
    Save->SetCaption(u"&Save");
    Save->SetShortCut(ShortCut('S', TShiftState{ssCtrl}));
    File->Add(Save);
    Form->SetMenu(Menu);
    L Log;
    Open->OnClick = [&](TObject*) { Log.push_back("open"); };
    Save->OnClick = [&](TObject*) { Log.push_back("save"); };
    Field->OnKeyPress = [&](TObject*, Char& Key) { Log.push_back("char " + std::to_string(int(Key))); };
    Form->Show();
    Pump();
    ASSERT_TRUE(Field->Focused());
    // Ctrl+S runs the item and types nothing; Alt+O presses the button; a plain "o" is typed.
    InjectKey(VK_CONTROL, true);
    InjectKeyPress('S');
    InjectKey(VK_CONTROL, false);
    InjectKey(VK_MENU, true);
    InjectKeyPress('O');
    InjectKey(VK_MENU, false);
    Pump();
    EXPECT_EQ(Log, (L{"save", "open"}));
    // Without Alt a letter is typed into a control that takes characters, else it is an accelerator.
    for (LRESULT Code : {DLGC_WANTCHARS, LRESULT(0)}) {
        Field->DlgCode = Code;
        Field->SetFocus();
        Log.clear();
        InjectKeyPress('O');
        Pump();
        EXPECT_EQ(Log, Code ? L{"char 111"} : L{"open"});
    }
    delete Menu;
    EXPECT_EQ(Form->Menu(), nullptr);
}

// Enter or Escape that a menu takes (a short cut, or a key of an open popup menu) reaches neither the
// focused control (key down, character) nor the form's default and cancel buttons, also when the
// chosen command runs the message loop itself.
TEST_F(FormsTest, AKeyThatAMenuTakesDoesNotReachTheFocusedControl) {
    auto Form = std::make_unique<TForm>(nullptr);
    auto* Field = Place(new TField(Form.get()), Form.get(), 10, 10);
    auto* Ok = Place(new TTestButton(Form.get()), Form.get(), 10, 100);
    auto* Cancel = Place(new TTestButton(Form.get()), Form.get(), 100, 100);
    Ok->Default = true;
    Cancel->Cancel = true;
    auto* Main = new TMainMenu(Form.get());
    auto* File = new TMenuItem(Main);
    File->SetCaption(u"&File");
    Main->Items()->Add(File);
    auto* Run = new TMenuItem(Main);
    Run->SetCaption(u"&Run");
    Run->SetShortCut(ShortCut(VK_RETURN, TShiftState{ssCtrl}));
    File->Add(Run);
    Form->SetMenu(Main);
    auto* Popup = new TPopupMenu(Form.get());
    auto* Play = new TMenuItem(Popup);
    Play->SetCaption(u"&Play");
    Popup->Items()->Add(Play);
    L Log;
    Run->OnClick = [&](TObject*) {
        Log.push_back("run");
        Application->ProcessMessages();
    };
    Play->OnClick = [&](TObject*) {
        Log.push_back("play");
        Application->ProcessMessages();
    };
    Field->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Log.push_back("down " + std::to_string(Key)); };
    Field->OnKeyPress = [&](TObject*, Char& Key) { Log.push_back("char " + std::to_string(int(Key))); };
    Form->Show();
    Pump();
    struct Case {
        const char* Name;
        bool OpenPopup;
        bool Ctrl;
        UINT Key;
        L Expected;
    };
    const Case Cases[] = {
        {"a short cut", false, true, VK_RETURN, {"down 17", "run"}},
        {"Enter in an open menu", true, false, VK_RETURN, {"play"}},
        {"Escape closing an open menu", true, false, VK_ESCAPE, {}},
    };
    for (LRESULT Code : {DLGC_WANTALLKEYS, LRESULT(0)})
        for (const Case& C : Cases) {
            SCOPED_TRACE(std::string(C.Name) + (Code ? ", control wants all keys" : ""));
            Field->DlgCode = Code;
            Field->SetFocus();
            Pump();
            if (C.OpenPopup) {
                Popup->Popup(200, 200);
                InjectKeyPress(VK_DOWN);
            }
            Log.clear();
            Ok->Clicks = Cancel->Clicks = 0;
            if (C.Ctrl)
                InjectKey(VK_CONTROL, true);
            InjectKeyPress(C.Key);
            if (C.Ctrl)
                InjectKey(VK_CONTROL, false);
            Pump();
            EXPECT_EQ(Popup->PopupWindow(), nullptr);
            EXPECT_EQ(Log, C.Expected);
            EXPECT_EQ(Ok->Clicks + Cancel->Clicks, 0);
            // The next key is the control's again.
            Log.clear();
            InjectKeyPress('A');
            Pump();
            EXPECT_EQ(Log, (L{"down 65", "char 97"}));
        }
    // A short cut that types no character leaves nothing behind: text that comes without a key (an
    // input method's) reaches the control.
    auto* Refresh = new TMenuItem(Main);
    Refresh->SetShortCut(ShortCut(VK_F5, TShiftState{}));
    Refresh->OnClick = [&](TObject*) { Log.push_back("refresh"); };
    File->Add(Refresh);
    Log.clear();
    InjectKeyPress(VK_F5);
    InjectChar(u'中');
    Pump();
    EXPECT_EQ(Log, (L{"refresh", "char " + std::to_string(int(u'中'))}));
}

// A caption drawn on its parent's background, for the sample form.
class TSampleLabel : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;

protected:
    void Paint() override {
        Canvas()->Font()->Assign(Font());
        RECT R = ClientRect();
        SetBkMode(Canvas()->Handle(), TRANSPARENT);
        DrawTextW(Canvas()->Handle(), Caption().c_str(), int(Caption().size()), &R, DT_LEFT | DT_SINGLELINE);
    }
};

TEST_F(FormsTest, AFormBuiltInCodeIsDrivenByClicksAndKeysAndSavedAsAPicture) {
    auto Form = std::make_unique<TForm>(nullptr);
    Form->SetCaption(u"Options");
    Form->SetBounds(200, 150, 360, 240);
    auto* Outer = new TWinControl(Form.get());
    Outer->SetAlign(alClient);
    Outer->SetParent(Form.get());
    auto* Box = Place(new TWinControl(Form.get()), Outer, 10, 10);
    Box->SetBounds(10, 10, 200, 110);
    Box->SetColor(clWindow);
    auto* Title = Place(new TSampleLabel(Form.get()), Box, 8, 6);
    Title->SetBounds(8, 6, 180, 18);
    Title->SetCaption(u"输出设置 Output");
    auto* Loud = Place(new TCheckBox(Form.get()), Box, 8, 32);
    Loud->SetBounds(8, 32, 150, 20);
    Loud->SetCaption(u"&Loud");
    auto* Quiet = Place(new TCheckBox(Form.get()), Box, 8, 60);
    Quiet->SetBounds(8, 60, 150, 20);
    Quiet->SetCaption(u"&Quiet");
    auto* Ok = Place(new TButton(Form.get()), Outer, 190, 150);
    Ok->SetCaption(u"OK");
    Ok->SetDefault(true);
    auto* Cancel = Place(new TButton(Form.get()), Outer, 270, 150);
    Cancel->SetCaption(u"Cancel");
    Cancel->SetCancel(true);
    int OkClicks = 0;
    Ok->OnClick = [&](TObject*) {
        ++OkClicks;
        Form->SetModalResult(mrOk);
    };
    Form->Show();
    Pump();

    uitest::ClickAt(Loud);
    InjectKey(VK_MENU, true);
    InjectKeyPress('Q');
    InjectKey(VK_MENU, false);
    Pump();
    EXPECT_TRUE(Loud->Checked());
    EXPECT_TRUE(Quiet->Checked());
    EXPECT_TRUE(Quiet->Focused());
    UpdateWindow(Form->Handle());
    EXPECT_TRUE(SaveWindowToPng(Form->Handle(), "ui_sample_form.png"));
    // The box's own colour inside it, the form's around it.
    TPoint InBox = Box->ClientToScreen(TPoint{190, 100});
    EXPECT_EQ(ScreenPixel(InBox.X, InBox.Y), ColorToRGB(clWindow));
    TPoint Beside = Outer->ClientToScreen(TPoint{250, 60});
    EXPECT_EQ(ScreenPixel(Beside.X, Beside.Y), ColorToRGB(clBtnFace));

    InjectKeyPress(VK_RETURN);
    Pump();
    EXPECT_EQ(OkClicks, 1);
    EXPECT_EQ(Form->ModalResult(), mrOk);
}

} // namespace
