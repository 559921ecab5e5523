// The inner edit and the numeric edit driven by injected keys and mouse: the read-only guard, Enter and
// Escape handed to the form, the context menu (its enable rules, captions, place, and its end on 1229), the
// transparent mode over a skinned face, the numeric filter, the arrow keys and the wheel.
#include "skin/controls/bsSkinBoxCtrls.h"

#include "skin/controls/bsSkinCtrls.h"
#include "skin/core/TbsResourceStrData.h"
#include "tests/skin/controls/ControlSkinFixture.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace ctltest;

namespace {

// Records what the edit asks of the popup service instead of opening a window.
class TRecordingPopupService : public TbsPopupMenuService {
public:
    void PopupFromRect2(TPopupMenu*, TControl*, const TRect&, bool) override {}
    void Popup2(TPopupMenu* Menu, TControl* ACtrl, int X, int Y) override {
        LastMenu = Menu;
        LastControl = ACtrl;
        At = TPoint{X, Y};
        ++Calls;
    }
    TPopupMenu* LastMenu = nullptr;
    TControl* LastControl = nullptr;
    TPoint At;
    int Calls = 0;
};

class TFixedSkinLookup : public TbsFormSkinLookup {
public:
    TbsSkinData* FormSkinData(TControl*) override { return Data; }
    TbsSkinData* Data = nullptr;
};

class InnerEdit : public ControlTest {
protected:
    void TearDown() override {
        SetPopupMenuService(nullptr);
        SetFormSkinLookup(nullptr);
        ControlTest::TearDown();
    }
    template <class T = TbsCustomEdit> T* MakeEdit(const String& Text, int X = 10, int Y = 60) {
        auto* E = new T(Form.get());
        E->SetParent(Form.get());
        E->SetBounds(X, Y, 120, 20);
        E->SetText(Text);
        E->SetFocus();
        Pump();
        return E;
    }
    void Select(TbsCustomEdit* E, int From, int To) { SendMessageW(E->Handle(), EM_SETSEL, WPARAM(From), To); }
    // Enabled state of the context menu's rows, "-" for separators: Undo, Cut, Copy, Paste, Delete, Select All.
    static std::string EnabledRows(TPopupMenu* Menu) {
        std::string S;
        for (int I = 0; I < Menu->Items()->Count(); ++I) {
            TMenuItem* It = Menu->Items()->Items(I);
            S += It->IsLine() ? '-' : It->Enabled() ? '1' : '0';
        }
        return S;
    }
    TPopupMenu* OpenMenuFromKeyboard(TbsCustomEdit* E) {
        SendMessageW(E->Handle(), WM_CONTEXTMENU, WPARAM(E->Handle()), LPARAM(-1));
        Pump();
        return E->SysPopupMenu();
    }
    TRecordingPopupService Service;
};

TEST_F(InnerEdit, AReadOnlyEditKeepsCaretSelectionAndCopyingButRefusesEveryChange) {
    TbsCustomEdit* E = MakeEdit(u"hello world");
    // Something to undo, before the edit turns read-only.
    E->SetSelStart(11);
    Key('X');
    ASSERT_EQ(E->Text(), u"hello worldx");
    E->SetReadOnly(true);
    SetClipboardText(u"CLIP");

    struct Case {
        const char* What;
        UINT Vk;
        UINT Modifier;
        Char Typed; // a character from the input method instead of a key
    };
    const Case Changes[] = {
        {"typing", 'Q', 0, 0},
        {"Backspace", VK_BACK, 0, 0},
        {"Delete", VK_DELETE, 0, 0},
        {"Ctrl+V", 'V', VK_CONTROL, 0},
        {"Ctrl+X", 'X', VK_CONTROL, 0},
        {"Ctrl+Z", 'Z', VK_CONTROL, 0},
        {"Shift+Delete", VK_DELETE, VK_SHIFT, 0},
        {"Shift+Insert", VK_INSERT, VK_SHIFT, 0},
        {"input method", 0, 0, u'中'},
    };
    for (const Case& C : Changes) {
        Select(E, 0, 5);
        if (C.Typed) {
            InjectChar(C.Typed);
            Pump();
        } else {
            Key(C.Vk, C.Modifier);
        }
        EXPECT_EQ(E->Text(), u"hello worldx") << C.What;
        EXPECT_EQ(GetClipboardText(), u"CLIP") << C.What;
    }

    // The caret shows, the arrows move it, Ctrl+A selects, Ctrl+C and Ctrl+Insert copy.
    EXPECT_TRUE(E->CaretShown());
    Select(E, 3, 3);
    Key(VK_RIGHT);
    EXPECT_EQ(E->SelStart(), 4);
    Key('A', VK_CONTROL);
    EXPECT_EQ(E->SelLength(), 12);
    Select(E, 0, 5);
    Key('C', VK_CONTROL);
    EXPECT_EQ(GetClipboardText(), u"hello");
    Select(E, 6, 11);
    Key(VK_INSERT, VK_CONTROL);
    EXPECT_EQ(GetClipboardText(), u"world");
    // Code still sets the text.
    E->SetText(u"set by code");
    EXPECT_EQ(E->Text(), u"set by code");
}

TEST_F(InnerEdit, EnterAndEscapeGoToTheFormsButtonsAndNeverType) {
    auto* Ok = Make<TbsSkinButton>(u"", 10, 10);
    auto* Cancel = Make<TbsSkinButton>(u"", 100, 10);
    Ok->SetDefault(true);
    Cancel->SetCancel(true);
    int OkClicks = 0, CancelClicks = 0;
    Ok->OnClick = [&](TObject*) { ++OkClicks; };
    Cancel->OnClick = [&](TObject*) { ++CancelClicks; };
    for (bool ReadOnly : {false, true}) {
        OkClicks = CancelClicks = 0;
        TbsCustomEdit* E = MakeEdit(u"abc");
        E->SetReadOnly(ReadOnly);
        std::vector<Char> Pressed;
        E->OnKeyPress = [&](TObject*, Char& K) { Pressed.push_back(K); };
        Key(VK_RETURN);
        EXPECT_EQ(OkClicks, 1) << ReadOnly;
        EXPECT_EQ(E->Text(), u"abc");
        Key(VK_ESCAPE);
        EXPECT_EQ(CancelClicks, 1) << ReadOnly;
        EXPECT_EQ(OkClicks, 1);
        EXPECT_EQ(Pressed, (std::vector<Char>{13, 27}));
        delete E;
    }
}

TEST_F(InnerEdit, TheContextMenuEnablesItsRowsByTheEditsState) {
    SetPopupMenuService(&Service);
    struct Case {
        const char* What;
        String Text;
        int SelFrom, SelTo;
        bool ReadOnly;
        String Clipboard;
        bool Typed; // one character typed first, so Undo has something
        std::string Rows;
    };
    const Case Cases[] = {
        {"editable, part selected", u"hello", 1, 3, false, u"x", true, "1-1111-1"},
        {"read-only, part selected", u"hello", 1, 3, true, u"x", true, "1-0100-1"},
        {"nothing selected", u"hello", 2, 2, false, u"x", false, "0-0010-1"},
        {"empty edit", u"", 0, 0, false, u"x", false, "0-0010-0"},
        {"all selected", u"hello", 0, 5, false, u"x", false, "0-1111-0"},
        {"clipboard empty", u"hello", 1, 3, false, u"", false, "0-1101-1"},
    };
    for (const Case& C : Cases) {
        TbsCustomEdit* E = MakeEdit(C.Text);
        if (C.Typed) {
            // A character typed and taken back again: the text is as before, with a change to undo.
            E->SetSelStart(int(C.Text.size()));
            Key('Z');
            Key(VK_BACK);
            ASSERT_EQ(E->Text(), C.Text);
        }
        E->SetReadOnly(C.ReadOnly);
        SetClipboardText(C.Clipboard);
        Select(E, C.SelFrom, C.SelTo);
        TPopupMenu* Menu = OpenMenuFromKeyboard(E);
        ASSERT_NE(Menu, nullptr) << C.What;
        EXPECT_EQ(EnabledRows(Menu), C.Rows) << C.What;
        delete E;
    }
}

TEST_F(InnerEdit, TheMenuOpensAtThePointOrFromTheKeyboardAtTheEditsCentre) {
    SetPopupMenuService(&Service);
    TbsCustomEdit* E = MakeEdit(u"abc", 30, 60);
    // A right click opens it where the mouse is.
    const TPoint P = E->ClientToScreen(TPoint{7, 5});
    InjectClick(P.X, P.Y, 1);
    Pump();
    ASSERT_EQ(Service.Calls, 1);
    EXPECT_EQ(Service.LastControl, E);
    EXPECT_EQ(Service.At, P);
    // The menu key opens it at the centre, with a menu built anew.
    InjectKeyPress(VK_APPS);
    Pump();
    ASSERT_EQ(Service.Calls, 2);
    EXPECT_EQ(Service.At, E->ClientToScreen(TPoint{60, 10}));
    EXPECT_NE(Service.LastMenu, nullptr);
    EXPECT_EQ(E->SysPopupMenu(), Service.LastMenu);
    // An edit with a menu of its own leaves the built one out.
    auto* Own = new TPopupMenu(Form.get());
    auto* Row = new TMenuItem(Own);
    Row->SetCaption(u"Mine");
    Own->Items()->Add(Row);
    E->SetPopupMenu(Own);
    InjectClick(P.X, P.Y, 1);
    Pump();
    EXPECT_EQ(Service.Calls, 2);
    EXPECT_NE(Own->PopupWindow(), nullptr);
    Own->CloseMenu();
}

TEST_F(InnerEdit, CaptionsComeFromTheFormsSkinStringsOrTheBuiltInTexts) {
    SetPopupMenuService(&Service);
    auto Captions = [](TPopupMenu* Menu) {
        std::vector<String> C;
        for (int I = 0; I < Menu->Items()->Count(); ++I)
            C.push_back(Menu->Items()->Items(I)->Caption());
        return C;
    };
    TbsCustomEdit* E = MakeEdit(u"abc");
    EXPECT_EQ(Captions(OpenMenuFromKeyboard(E)),
              (std::vector<String>{u"Undo", u"-", u"Cut", u"Copy", u"Paste", u"Delete", u"-", u"Select All"}));

    // With the form's skin strings: their texts, and an empty caption for a key they lack.
    TFixedSkinLookup Lookup;
    Lookup.Data = Skin;
    SetFormSkinLookup(&Lookup);
    EXPECT_EQ(Captions(OpenMenuFromKeyboard(E))[0], u"Undo"); // no string table yet: built-in texts
    auto* Strings = new TbsResourceStrData(Form.get());
    TStringList Lines;
    Lines.Add(u"EDIT_UNDO=撤销");
    Lines.Add(u"EDIT_COPY=复制");
    Strings->SetResStrings(&Lines);
    Skin->SetResourceStrData(Strings);
    EXPECT_EQ(Captions(OpenMenuFromKeyboard(E)),
              (std::vector<String>{u"撤销", u"-", u"", u"复制", u"", u"", u"-", u""}));
    Skin->SetResourceStrData(nullptr);
}

TEST_F(InnerEdit, ACommandOfTheMenuRunsAndThenTheMenuIsFreed) {
    TbsCustomEdit* E = MakeEdit(u"hello");
    Select(E, 1, 2);
    const TPoint P = E->ClientToScreen(TPoint{7, 5});
    InjectClick(P.X, P.Y, 1);
    Pump();
    TPopupMenu* Menu = E->SysPopupMenu();
    ASSERT_NE(Menu, nullptr);
    ASSERT_NE(Menu->PopupWindow(), nullptr); // the stand-in service opened it
    bool Freed = false;
    struct TWatch : TComponent {
        using TComponent::TComponent;
        bool* Flag = nullptr;
        ~TWatch() override { *Flag = true; }
    };
    (new TWatch(Menu))->Flag = &Freed;
    // "Select All" chosen: the command runs, 1229 arrives, the menu goes once its click returned.
    Key(VK_END);
    Key(VK_RETURN);
    EXPECT_EQ(E->SelLength(), 5);
    EXPECT_TRUE(Freed);
    EXPECT_EQ(E->SysPopupMenu(), nullptr);
    EXPECT_EQ(E->ComponentCount(), 0);
}

TEST_F(InnerEdit, ATransparentEditShowsTheSkinnedFaceBehindItsText) {
    auto* Panel = Make<TbsSkinCustomControl>(u"face1", 10, 60, 200, 60);
    auto* E = new TbsCustomEdit(Form.get());
    E->SetParent(Panel);
    E->SetBounds(20, 20, 150, 20);
    E->SetText(u"Transparent 透明");
    Pump();
    EXPECT_EQ(GetWindowLongW(E->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    const TColor Opaque = ScreenPixel(E, 140, 10);
    E->SetEditTransparent(true);
    Pump();
    EXPECT_NE(GetWindowLongW(E->Handle(), GWL_EXSTYLE) & WS_EX_TRANSPARENT, 0);
    // Right of the text the panel's client face shows; the text is still drawn.
    EXPECT_EQ(ScreenPixel(E, 140, 10), cInner);
    EXPECT_NE(Opaque, cInner);
    bool Ink = false;
    for (int X = 2; X < 60 && !Ink; ++X)
        for (int Y = 2; Y < 18 && !Ink; ++Y)
            Ink = ScreenPixel(E, X, Y) != cInner;
    EXPECT_TRUE(Ink);
    // Typing repaints the background, so no old glyph stays behind.
    E->SetFocus();
    E->SelectAll();
    Key(VK_DELETE);
    Pump();
    EXPECT_EQ(E->Text(), u"");
    for (int X = 4; X < 140; X += 3)
        EXPECT_EQ(ScreenPixel(E, X, 10), cInner) << X;
    std::filesystem::create_directories("artifacts");
    E->SetText(u"Transparent 透明");
    Pump();
    SaveWindowToPng(Form->Handle(), "artifacts/edit_transparent.png");
}

// ---------------------------------------------------------------------------------------------
// The numeric edit

TEST_F(InnerEdit, TheNumericFilterTakesOneMinusOneSeparatorAndDigits) {
    const Char Sep = LocaleDecimalSeparator();
    struct Case {
        const char* What;
        bool Float;
        bool EditorEnabled;
        String Before;
        Char Typed;
        String After;
    };
    const Case Cases[] = {
        {"digit", false, true, u"12", u'3', u"123"},
        {"first minus", false, true, u"12", u'-', u"12-"},
        {"second minus", false, true, u"-12", u'-', u"-12"},
        {"letter", true, true, u"12", u'a', u"12"},
        {"separator without Float", false, true, u"12", Sep, u"12"},
        {"first separator", true, true, u"12", Sep, String(u"12") + Sep},
        {"second separator", true, true, String(u"1") + Sep + u"2", Sep, String(u"1") + Sep + u"2"},
        {"Backspace", false, true, u"12", Char(VK_BACK), u"1"},
        {"Backspace, editor off", false, false, u"12", Char(VK_BACK), u"12"},
        {"digit, editor off", false, false, u"12", u'3', u"12"},
    };
    for (const Case& C : Cases) {
        auto* E = MakeEdit<TbsSkinNumEdit>(C.Before);
        E->Float = C.Float;
        E->SetEditorEnabled(C.EditorEnabled);
        E->SetSelStart(int(C.Before.size()));
        if (C.Typed == VK_BACK)
            Key(VK_BACK);
        else {
            InjectChar(C.Typed);
            Pump();
        }
        EXPECT_EQ(E->Text(), C.After) << C.What;
        delete E;
    }
}

TEST_F(InnerEdit, UpDownKeysAndTheWheelFireTheNumericEditsEvents) {
    auto* E = MakeEdit<TbsSkinNumEdit>(u"5");
    std::vector<std::string> Log;
    E->OnUpClick = [&](TObject*) { Log.push_back("up"); };
    E->OnDownClick = [&](TObject*) { Log.push_back("down"); };
    E->SetSelStart(1);
    Key(VK_UP);
    Key(VK_DOWN);
    EXPECT_EQ(E->SelStart(), 1);
    const TPoint P = E->ClientToScreen(TPoint{20, 10});
    InjectMouseMove(P.X, P.Y);
    InjectMouseWheel(WHEEL_DELTA); // away from the user
    Pump();
    InjectMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(Log, (std::vector<std::string>{"up", "down", "down", "up"}));
    EXPECT_EQ(E->Text(), u"5");
}

} // namespace
