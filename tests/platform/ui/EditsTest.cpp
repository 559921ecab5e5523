// Edits and memos driven by injected keys, characters and clicks on the headless screen: keys and the
// text and selection they leave, the read-only window, the clipboard messages and their interception,
// line breaks, MaxLength, CharCase, passwords, horizontal auto-scroll, mouse selection, the memo's
// lines and rows, change notifications and the transparent window.
#include "platform/ui/Edits.h"
#include "UiTestSupport.h"
#include "platform/ui/ExtCtrls.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// The one-line window of the skinned edits: multi-line, but without vertical scrolling.
class TOneLineEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;

protected:
    void CreateParams(TCreateParams& Params) override {
        TCustomEdit::CreateParams(Params);
        Params.Style |= ES_MULTILINE;
    }
};

// An edit that answers its colour query with the null brush, as the skinned edits do.
class TClearEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    void Dispatch(TMessage& M) override {
        if (M.Msg == CN_CTLCOLOREDIT) {
            SetBkMode(HDC(M.WParam), TRANSPARENT);
            SetTextColor(HDC(M.WParam), RGB(0, 0, 0));
            M.Result = LRESULT(GetStockObject(NULL_BRUSH));
            return;
        }
        TCustomEdit::Dispatch(M);
    }
};

// A wrapper that refuses every typed character, as a read-only skinned edit does.
class TNoCharEdit : public TEdit {
public:
    using TEdit::TEdit;
    void Dispatch(TMessage& M) override {
        if (M.Msg == WM_CHAR)
            return;
        TEdit::Dispatch(M);
    }
};

class EditsTest : public uitest::FormTest {
protected:
    // Characters 8 pixels wide (CJK 16), lines 16 high; no frame, so the client is the control.
    template <class T = TEdit> T* Make(int Width = 100, int Height = 20) {
        auto* E = new T(Form.get());
        E->SetParent(Form.get());
        E->Font()->SetName(u"QvBlocks");
        E->Font()->SetHeight(-16);
        E->SetBorderStyle(bsNone);
        E->SetAutoSize(false);
        E->SetBounds(10, 10, Width, Height);
        E->HandleNeeded();
        E->OnChange = [this](TObject*) { ++Changes; };
        E->SetFocus();
        Pump();
        Changes = 0;
        return E;
    }
    // Keys as words: "Left", "S-Home" (Shift), "C-Right" (Ctrl), "CS-Left", "BS", "Del", "Ins", "Enter",
    // "Tab", "Up", "Down", "PgUp", "PgDn", "Esc", single letters ("C-A") and "'text'" typed as characters.
    void Keys(const std::string& Words) {
        std::istringstream In(Words);
        std::string W;
        while (In >> W) {
            if (W.front() == '\'') {
                for (char C : W.substr(1, W.size() - 2))
                    InjectChar(WCHAR(C == '_' ? ' ' : C));
                continue;
            }
            bool Shift = false, Ctrl = false;
            if (auto Dash = W.find('-'); Dash != std::string::npos && Dash > 0) {
                Shift = W.substr(0, Dash).find('S') != std::string::npos;
                Ctrl = W.substr(0, Dash).find('C') != std::string::npos;
                W = W.substr(Dash + 1);
            }
            static const std::vector<std::pair<std::string, UINT>> Names{
                {"Left", VK_LEFT},  {"Right", VK_RIGHT}, {"Home", VK_HOME}, {"End", VK_END},   {"BS", VK_BACK},
                {"Del", VK_DELETE}, {"Ins", VK_INSERT},  {"Up", VK_UP},     {"Down", VK_DOWN}, {"Enter", VK_RETURN},
                {"Tab", VK_TAB},    {"PgUp", VK_PRIOR},  {"PgDn", VK_NEXT}, {"Esc", VK_ESCAPE}};
            UINT Vk = 0;
            for (auto& [Name, Code] : Names)
                if (Name == W)
                    Vk = Code;
            if (!Vk)
                Vk = UINT(W[0]);
            if (Shift)
                InjectKey(VK_SHIFT, true);
            if (Ctrl)
                InjectKey(VK_CONTROL, true);
            InjectKeyPress(Vk);
            if (Ctrl)
                InjectKey(VK_CONTROL, false);
            if (Shift)
                InjectKey(VK_SHIFT, false);
        }
        Pump();
    }
    static std::pair<int, int> Sel(TCustomEdit* E) {
        DWORD A = 0, B = 0;
        SendMessageW(E->Handle(), EM_GETSEL, WPARAM(&A), LPARAM(&B));
        return {int(A), int(B)};
    }
    static String WindowText(TCustomEdit* E) {
        WCHAR Buf[256] = {};
        GetWindowTextW(E->Handle(), Buf, 256);
        return Buf;
    }
    // A screen point at character boundary Index of the first row (1 pixel right of it).
    static TPoint At(TCustomEdit* E, int Index, int Row = 0) {
        return E->ClientToScreen(TPoint{1 + 8 * Index + 1, 4 + 16 * Row});
    }

    int Changes = 0;
};

TEST_F(EditsTest, KeysMoveSelectAndEditTheText) {
    struct Case {
        int SelA, SelB;
        const char* Keys;
        const char16_t* Text;
        int Start, End;
    } Cases[] = {
        {0, 0, "End", u"one two three", 13, 13},
        {13, 13, "Home", u"one two three", 0, 0},
        {0, 0, "C-Right", u"one two three", 4, 4},
        {0, 0, "C-Right C-Right", u"one two three", 8, 8},
        {13, 13, "C-Left", u"one two three", 8, 8},
        {6, 6, "C-Left C-Left", u"one two three", 0, 0},
        {4, 4, "S-End", u"one two three", 4, 13},
        {4, 4, "CS-Right", u"one two three", 4, 8},
        {0, 0, "S-Right S-Right S-Left", u"one two three", 0, 1},
        {0, 3, "Left", u"one two three", 0, 0},
        {0, 3, "Right", u"one two three", 3, 3},
        {5, 5, "C-A", u"one two three", 0, 13},
        {3, 3, "BS", u"on two three", 2, 2},
        {3, 3, "Del", u"onetwo three", 3, 3},
        {4, 7, "BS", u"one  three", 4, 4},
        {4, 7, "Del", u"one  three", 4, 4},
        {7, 7, "C-BS", u"one  three", 4, 4},
        {0, 0, "BS", u"one two three", 0, 0},
        {13, 13, "Del", u"one two three", 13, 13},
        {3, 3, "'X'", u"oneX two three", 4, 4},
        {0, 3, "'Z'", u"Z two three", 1, 1},
        {0, 0, "Up Down PgDn Enter", u"one two three", 0, 0},
        // Typing runs are undone together; a second undo redoes.
        {3, 3, "'ab' C-Z", u"one two three", 3, 3},
        {3, 3, "'ab' C-Z C-Z", u"oneab two three", 5, 5},
        {4, 7, "Del Left 'x' C-Z", u"one  three", 3, 3},
    };
    TEdit* E = Make();
    for (const Case& C : Cases) {
        E->SetText(u"one two three");
        SendMessageW(E->Handle(), EM_SETSEL, WPARAM(C.SelA), LPARAM(C.SelB));
        Keys(C.Keys);
        EXPECT_EQ(E->Text(), C.Text) << C.Keys;
        EXPECT_EQ(WindowText(E), C.Text) << C.Keys;
        EXPECT_EQ(Sel(E), std::make_pair(C.Start, C.End)) << C.Keys;
    }
}

TEST_F(EditsTest, AReadOnlyEditNavigatesSelectsAndCopiesButNeverChanges) {
    TEdit* E = Make();
    E->SetText(u"abc def");
    E->SetReadOnly(true);
    Changes = 0;
    std::vector<const char*> Refused{"BS", "Del", "'x'", "C-V", "C-X", "S-Del", "S-Ins", "C-Z", "C-BS", "Enter"};
    SetClipboardText(u"zz");
    for (const char* K : Refused) {
        SendMessageW(E->Handle(), EM_SETSEL, 2, 5);
        Keys(K);
        EXPECT_EQ(E->Text(), u"abc def") << K;
    }
    for (UINT Msg : {WM_CUT, WM_PASTE, WM_CLEAR, WM_UNDO, EM_UNDO}) {
        SendMessageW(E->Handle(), EM_SETSEL, 2, 5);
        SendMessageW(E->Handle(), Msg, 0, 0);
        EXPECT_EQ(E->Text(), u"abc def") << Msg;
    }
    SendMessageW(E->Handle(), WM_CHAR, u'q', 0);
    EXPECT_EQ(E->Text(), u"abc def");
    EXPECT_EQ(Changes, 0);
    EXPECT_EQ(GetClipboardText(), u"zz");

    // What does not change the text still works.
    SendMessageW(E->Handle(), EM_SETSEL, 0, 0);
    Keys("C-Right S-End");
    EXPECT_EQ(Sel(E), std::make_pair(4, 7));
    Keys("C-C");
    EXPECT_EQ(GetClipboardText(), u"def");
    Keys("C-A");
    EXPECT_EQ(Sel(E), std::make_pair(0, 7));
    Keys("C-Ins");
    EXPECT_EQ(GetClipboardText(), u"abc def");
    // The clipboard keys act on the key, so a wrapper that drops typed characters keeps them.
    TNoCharEdit* Filtered = Make<TNoCharEdit>();
    Filtered->SetText(u"kept text");
    Keys("End C-A C-C 'x' BS");
    EXPECT_EQ(Filtered->SelText(), u"kept text");
    EXPECT_EQ(GetClipboardText(), u"kept text");
    EXPECT_EQ(Filtered->Text(), u"kept text");
    E->SetFocus();
    // Code still sets the text.
    E->SetText(u"new");
    EXPECT_EQ(E->Text(), u"new");
    E->SetReadOnly(false);
    Keys("End 'x'");
    EXPECT_EQ(E->Text(), u"newx");
}

TEST_F(EditsTest, ClipboardMessagesCutCopyPasteClearAndUndoOneLevel) {
    TEdit* E = Make();
    E->SetText(u"hello world");
    SetClipboardText(u"");
    EXPECT_FALSE(E->CanUndo());
    struct Case {
        int SelA, SelB;
        UINT Msg;
        const char16_t* Text;
        const char16_t* Clipboard;
        bool CanUndo;
    } Cases[] = {
        {0, 5, WM_COPY, u"hello world", u"hello", false}, {6, 11, WM_CUT, u"hello ", u"world", true},
        {0, 0, WM_PASTE, u"worldhello ", u"world", true}, {0, 5, WM_CLEAR, u"hello ", u"world", true},
        {0, 0, WM_UNDO, u"worldhello ", u"world", true},  {3, 3, WM_COPY, u"worldhello ", u"world", true},
        {3, 3, WM_CLEAR, u"worldhello ", u"world", true},
    };
    for (const Case& C : Cases) {
        SendMessageW(E->Handle(), EM_SETSEL, WPARAM(C.SelA), LPARAM(C.SelB));
        SendMessageW(E->Handle(), C.Msg, 0, 0);
        EXPECT_EQ(E->Text(), C.Text) << C.Msg;
        EXPECT_EQ(GetClipboardText(), C.Clipboard) << C.Msg;
        EXPECT_EQ(SendMessageW(E->Handle(), EM_CANUNDO, 0, 0) != 0, C.CanUndo) << C.Msg;
    }
    SendMessageW(E->Handle(), EM_EMPTYUNDOBUFFER, 0, 0);
    EXPECT_FALSE(E->CanUndo());
    // Setting the text forgets the undo too.
    Keys("'x'");
    EXPECT_TRUE(E->CanUndo());
    E->SetText(u"fresh");
    EXPECT_FALSE(E->CanUndo());
    EXPECT_FALSE(E->Modified());
}

TEST_F(EditsTest, ClipboardKeysTravelAsMessagesThatSubclassesCanStop) {
    TEdit* E = Make();
    E->SetText(u"abc");
    SetClipboardText(u"XY");
    std::vector<UINT> Seen;
    // The wrapper's WindowProc swallows pastes; the window subclass sees every clipboard message.
    TWndMethod Old = E->WindowProc();
    E->SetWindowProc([&](TMessage& M) {
        if (M.Msg == WM_PASTE)
            return;
        Old(M);
    });
    WNDPROC Link = nullptr;
    Link = SubclassWindowProc(E->Handle(), [&](HWND H, UINT Msg, WPARAM W, LPARAM L) -> LRESULT {
        if (Msg >= WM_CUT && Msg <= WM_UNDO)
            Seen.push_back(Msg);
        return CallPrevWndProc(Link, H, Msg, W, L);
    });
    Keys("End C-V S-Ins");
    EXPECT_EQ(E->Text(), u"abc");
    Keys("S-Home C-C C-X C-Z S-Del");
    EXPECT_EQ(Seen, (std::vector<UINT>{WM_PASTE, WM_PASTE, WM_COPY, WM_CUT, WM_UNDO, WM_CUT}));
    EXPECT_EQ(E->Text(), u"");
    EXPECT_EQ(GetClipboardText(), u"abc");
    RemoveWindowProcLink(E->Handle(), Link);
    E->SetWindowProc(Old);
}

TEST_F(EditsTest, LineBreaksBecomeSpacesInWindowsThatHoldOneLine) {
    TEdit* Single = Make<TEdit>();
    TOneLineEdit* OneLine = Make<TOneLineEdit>();
    TMemo* Memo = Make<TMemo>(200, 80);
    struct Case {
        TCustomEdit* Edit;
        const char16_t* Set;
        const char16_t* Pasted;
        const char16_t* AfterSet;
        const char16_t* AfterPaste;
    } Cases[] = {
        {Single, u"a\r\nb\nc\rd", u"x\r\ny", u"a b c d", u"a b c dx y"},
        {OneLine, u"a\r\nb\nc\rd", u"x\ny\r", u"a b c d", u"a b c dx y "},
        {Memo, u"a\r\nb\nc\rd", u"x\ny", u"a\r\nb\r\nc\r\nd", u"a\r\nb\r\nc\r\ndx\r\ny"},
    };
    for (const Case& C : Cases) {
        C.Edit->SetText(C.Set);
        EXPECT_EQ(C.Edit->Text(), C.AfterSet);
        EXPECT_EQ(WindowText(C.Edit), C.AfterSet);
        SetClipboardText(C.Pasted);
        C.Edit->SelectAll();
        SendMessageW(C.Edit->Handle(), EM_SETSEL, WPARAM(-1), 0);
        SendMessageW(C.Edit->Handle(), EM_SETSEL, 100, 100);
        C.Edit->PasteFromClipboard();
        EXPECT_EQ(C.Edit->Text(), C.AfterPaste);
    }
    // Enter types a line break only into the memo; SelText given a break follows the same rule.
    OneLine->SetFocus();
    Keys("End Enter");
    EXPECT_EQ(OneLine->Text(), u"a b c dx y ");
    OneLine->SetSelText(u"1\r\n2");
    EXPECT_EQ(OneLine->Text(), u"a b c dx y 1 2");
    Memo->SetFocus();
    Keys("C-End Enter 'z'");
    EXPECT_EQ(Memo->Text(), u"a\r\nb\r\nc\r\ndx\r\ny\r\nz");
    // Text set before the window exists obeys the rule as well.
    auto* Early = new TEdit(Form.get());
    Early->SetText(u"p\r\nq");
    EXPECT_EQ(Early->Text(), u"p q");
}

TEST_F(EditsTest, MaxLengthLimitsTypingAndPastingButNotCode) {
    TEdit* E = Make();
    std::vector<WORD> Notes;
    TWndMethod Old = Form->WindowProc();
    Form->SetWindowProc([&](TMessage& M) {
        if (M.Msg == WM_COMMAND && HWND(M.LParam) == E->Handle())
            Notes.push_back(HIWORD(M.WParam));
        Old(M);
    });
    E->SetMaxLength(5);
    EXPECT_EQ(SendMessageW(E->Handle(), EM_GETLIMITTEXT, 0, 0), 5);
    Keys("'abcdefg'");
    EXPECT_EQ(E->Text(), u"abcde");
    SetClipboardText(u"123456");
    Keys("S-Left S-Left C-V");
    EXPECT_EQ(E->Text(), u"abc12");
    E->SetText(u"longer than five");
    EXPECT_EQ(E->Text(), u"longer than five");
    // With the selection replaced, the room is what the selection frees.
    Keys("C-A 'xy'");
    EXPECT_EQ(E->Text(), u"xy");
    int MaxText = int(std::count(Notes.begin(), Notes.end(), EN_MAXTEXT));
    EXPECT_EQ(MaxText, 3);
    Form->SetWindowProc(Old);
}

TEST_F(EditsTest, CharCaseConvertsTypedPastedAndSetText) {
    TEdit* E = Make();
    E->SetText(u"Mixed");
    E->SetCharCase(ecUpperCase);
    EXPECT_EQ(E->Text(), u"MIXED");
    Keys("End 'aB'");
    SetClipboardText(u"xy");
    E->PasteFromClipboard();
    EXPECT_EQ(E->Text(), u"MIXEDABXY");
    E->SetCharCase(ecLowerCase);
    EXPECT_EQ(E->Text(), u"mixedabxy");
    E->SetText(u"SHOUT");
    EXPECT_EQ(E->Text(), u"shout");
    E->SetCharCase(ecNormal);
    E->SetText(u"As Is");
    EXPECT_EQ(E->Text(), u"As Is");
}

TEST_F(EditsTest, APasswordShowsItsCharacterAndIsNeverCopied) {
    TEdit* E = Make(200);
    E->SetText(u"中文ab");
    auto EndX = [&] { return LOWORD(SendMessageW(E->Handle(), EM_POSFROMCHAR, 4, 0)); };
    EXPECT_EQ(EndX(), 1 + 16 + 16 + 8 + 8);
    E->SetPasswordChar(u'*');
    // Every character, wide or not, is one star wide.
    EXPECT_EQ(EndX(), 1 + 4 * 8);
    EXPECT_EQ(SendMessageW(E->Handle(), EM_GETPASSWORDCHAR, 0, 0), u'*');
    EXPECT_EQ(E->Text(), u"中文ab");
    SetClipboardText(u"kept");
    Keys("C-A C-C C-X");
    EXPECT_EQ(GetClipboardText(), u"kept");
    EXPECT_EQ(E->Text(), u"");
    E->SetPasswordChar(0);
    EXPECT_EQ(SendMessageW(E->Handle(), EM_GETPASSWORDCHAR, 0, 0), 0);
}

TEST_F(EditsTest, TheTextScrollsToKeepTheCaretInView) {
    // 100 pixels with 1-pixel margins: 98 pixels show 12 characters of 8.
    TEdit* E = Make(100);
    struct Case {
        const char* Keys;
        int ScrollX;
        int CaretX;
    } Cases[] = {
        {"'aaaaaaaaaaaa'", 0, 97},
        {"'aaa'", 23, 98},
        {"Home", 0, 1},
        {"End", 23, 98},
        {"Left Left Left", 23, 74},
        {"C-Left", 0, 1},
        {"End BS BS BS BS BS", 0, 81},
    };
    for (const Case& C : Cases) {
        Keys(C.Keys);
        EXPECT_EQ(E->ScrollX(), C.ScrollX) << C.Keys;
        EXPECT_EQ(E->CaretPos().X, C.CaretX) << C.Keys;
    }
    // Margins and the formatting rectangle narrow the view.
    E->SetText(u"aaaaaaaaaaaaaaa");
    SendMessageW(E->Handle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELPARAM(10, 10));
    EXPECT_EQ(SendMessageW(E->Handle(), EM_GETMARGINS, 0, 0), LRESULT(MAKELONG(10, 10)));
    Keys("End");
    EXPECT_EQ(E->ScrollX(), 120 - 80 + 1);
    RECT R{20, 0, 60, 20};
    SendMessageW(E->Handle(), EM_SETRECTNP, 0, LPARAM(&R));
    Keys("Home End");
    EXPECT_EQ(E->ScrollX(), 120 - 40 + 1);
    EXPECT_EQ(E->CaretPos().X, 59);
}

TEST_F(EditsTest, AlignmentPlacesShortTextInTheView) {
    TEdit* E = Make(100);
    E->SetText(u"ab");
    auto X0 = [&] { return LOWORD(SendMessageW(E->Handle(), EM_POSFROMCHAR, 0, 0)); };
    EXPECT_EQ(X0(), 1);
    E->SetAlignment(taCenter);
    EXPECT_EQ(X0(), 1 + (98 - 16) / 2);
    E->SetAlignment(taRightJustify);
    EXPECT_EQ(X0(), 1 + 98 - 16 - 1);
}

TEST_F(EditsTest, TheMouseSelectsByDraggingAndWordsByDoubleClicking) {
    TEdit* E = Make(200);
    E->SetText(u"one two three");
    TPoint P = At(E, 1), Q = At(E, 5);
    InjectMouseMove(P.X, P.Y);
    InjectMouseButton(0, true);
    Pump();
    EXPECT_EQ(GetCapture(), E->Handle());
    InjectMouseMove(Q.X, Q.Y);
    Pump();
    EXPECT_EQ(Sel(E), std::make_pair(1, 5));
    // Dragged out to the left, the selection runs to the start.
    InjectMouseMove(P.X - 60, P.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(E->SelStart(), 0);
    EXPECT_EQ(E->SelLength(), 1);
    // Shift extends from the anchor.
    TPoint R = At(E, 9);
    InjectKey(VK_SHIFT, true);
    InjectClick(R.X, R.Y);
    InjectKey(VK_SHIFT, false);
    Pump();
    EXPECT_EQ(Sel(E), std::make_pair(1, 9));
    // A double click selects the word under it.
    Wait(1000);
    TPoint W = At(E, 5);
    InjectClick(W.X, W.Y);
    InjectClick(W.X, W.Y);
    Pump();
    EXPECT_EQ(E->SelText(), u"two");
}

TEST_F(EditsTest, EveryChangeNotifiesTheParentThenTheWrapper) {
    TEdit* E = Make();
    std::vector<std::string> Log;
    TWndMethod Old = Form->WindowProc();
    Form->SetWindowProc([&](TMessage& M) {
        if (M.Msg == WM_COMMAND && HWND(M.LParam) == E->Handle() && HIWORD(M.WParam) == EN_CHANGE)
            Log.push_back("EN_CHANGE");
        Old(M);
    });
    E->OnChange = [&](TObject* Sender) {
        EXPECT_EQ(Sender, E);
        Log.push_back("OnChange");
    };
    SetClipboardText(u"p");
    E->SetText(u"ab");
    Keys("'c' BS C-V C-Z Left Home");
    SendMessageW(E->Handle(), EM_REPLACESEL, 0, LPARAM(u"r"));
    E->SetText(u"rab"); // no change, no notification
    EXPECT_EQ(Log.size(), 12u);
    for (std::size_t I = 0; I < Log.size(); ++I)
        EXPECT_EQ(Log[I], I % 2 ? "OnChange" : "EN_CHANGE") << I;
    EXPECT_TRUE(E->Modified());
    Form->SetWindowProc(Old);
}

TEST_F(EditsTest, FocusByTabSelectsAllAndAClickPlacesTheCaret) {
    TEdit* A = Make();
    TEdit* B = Make();
    B->SetTop(40);
    B->SetText(u"select me");
    A->SetFocus();
    Pump();
    Keys("Tab");
    EXPECT_TRUE(B->Focused());
    EXPECT_EQ(Sel(B), std::make_pair(0, 9));
    A->SetFocus();
    Pump();
    TPoint P = At(B, 3);
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_EQ(Sel(B), std::make_pair(3, 3));
    // The caret blinks while the edit has the focus.
    EXPECT_TRUE(B->CaretShown());
    Wait(530);
    EXPECT_FALSE(B->CaretShown());
    Keys("Right");
    EXPECT_TRUE(B->CaretShown());
}

TEST_F(EditsTest, AMemoKeepsLinesWrapsRowsAndScrollsVertically) {
    // 100 pixels wide: 12 characters a row; 48 high: three rows in view.
    TMemo* M = Make<TMemo>(100, 48);
    TStrings* L = M->Lines();
    L->Add(u"first");
    L->Add(u"second");
    L->Insert(0, u"zero");
    EXPECT_EQ(L->Count(), 3);
    EXPECT_EQ(M->Text(), u"zero\r\nfirst\r\nsecond\r\n");
    L->Delete(1);
    L->SetStrings(1, u"two");
    EXPECT_EQ(L->ToVector(), (std::vector<String>{u"zero", u"two"}));
    EXPECT_THROW(L->Strings(2), Exception);
    EXPECT_GT(Changes, 0);
    // A position between the two characters of a line break goes before it.
    SendMessageW(M->Handle(), EM_SETSEL, 5, 5);
    EXPECT_EQ(Sel(M), std::make_pair(4, 4));
    Keys("'x'");
    EXPECT_EQ(L->Strings(0), u"zerox");

    M->SetText(u"aaaa bbbb cccc dddd eeee\r\nshort\r\n\r\nlast");
    // The long line wraps after its blanks: "aaaa bbbb ", "cccc dddd ", "eeee".
    EXPECT_EQ(SendMessageW(M->Handle(), EM_GETLINECOUNT, 0, 0), 6);
    EXPECT_EQ(SendMessageW(M->Handle(), EM_LINEINDEX, 1, 0), 10);
    EXPECT_EQ(L->Count(), 4);
    EXPECT_EQ(L->Strings(0), u"aaaa bbbb cccc dddd eeee");
    struct Case {
        const char* Keys;
        int Caret;
        int TopLine;
        TPoint Position;
    } Cases[] = {
        {"C-Home End", 9, 0, {9, 0}}, {"Down", 19, 0, {19, 0}},        {"Down Down", 31, 1, {5, 1}},
        {"Down Down", 39, 3, {4, 3}}, {"C-Home PgDn", 20, 0, {20, 0}}, {"C-End", 39, 3, {4, 3}},
        {"C-Home", 0, 0, {0, 0}},
    };
    for (const Case& C : Cases) {
        Keys(C.Keys);
        EXPECT_EQ(Sel(M).second, C.Caret) << C.Keys;
        EXPECT_EQ(M->TopLine(), C.TopLine) << C.Keys;
        EXPECT_EQ(M->CaretPosition(), C.Position) << C.Keys;
    }
    // Without wrapping the long line scrolls sideways instead.
    M->SetWordWrap(false);
    EXPECT_EQ(SendMessageW(M->Handle(), EM_GETLINECOUNT, 0, 0), 4);
    M->SetFocus();
    Keys("C-Home End");
    EXPECT_EQ(M->ScrollX(), 24 * 8 + 1 - 98);
    // The wheel scrolls three rows a notch.
    M->SetWordWrap(true);
    M->SetFocus();
    TPoint P = uitest::CentreOf(M);
    InjectMouseMove(P.X, P.Y);
    InjectMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(M->TopLine(), 3);
}

TEST_F(EditsTest, AMemoShowsItsViewOnTheWindowsScrollBars) {
    TMemo* M = Make<TMemo>(120, 64);
    M->SetWordWrap(false);
    M->SetScrollBars(ssBoth);
    String Text;
    for (int I = 0; I < 20; ++I)
        Text += u"line " + IntToStr(I) + (I == 7 ? u" and a long tail past the right edge" : u"") + u"\r\n";
    M->SetText(Text);
    auto Bar = [&](int ABar) {
        SCROLLINFO Info;
        Info.fMask = SIF_ALL;
        GetScrollInfo(M->Handle(), ABar, &Info);
        return Info;
    };
    SCROLLINFO V = Bar(SB_VERT);
    EXPECT_EQ(V.nMin, 0);
    EXPECT_EQ(V.nMax, 20); // the empty row after the last line break counts
    EXPECT_GT(V.nPage, 0u);
    EXPECT_EQ(V.nPos, 0);
    // The bar's request moves the view, and the view's position is back on the bar.
    SendMessageW(M->Handle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 5), 0);
    EXPECT_EQ(M->TopLine(), 5);
    EXPECT_EQ(Bar(SB_VERT).nPos, 5);
    M->SetFocus();
    Keys("C-End");
    EXPECT_EQ(Bar(SB_VERT).nPos, M->TopLine());
    EXPECT_GT(M->TopLine(), 5);
    SendMessageW(M->Handle(), EM_SETSEL, 0, 0);
    Keys("Down Down Down Down Down Down Down End");
    EXPECT_GT(M->ScrollX(), 0);
    EXPECT_EQ(Bar(SB_HORZ).nPos, M->ScrollX());
    EXPECT_GT(Bar(SB_HORZ).nMax, int(Bar(SB_HORZ).nPage));
}

TEST_F(EditsTest, AMemoTakesEnterAndTabOnlyWhenItWantsThem) {
    auto* Ok = new uitest::TTestButton(Form.get());
    Ok->SetParent(Form.get());
    Ok->SetBounds(10, 200, 75, 25);
    Ok->Default = true;
    TMemo* M = Make<TMemo>(200, 80);
    Keys("'a' Enter 'b'");
    EXPECT_EQ(M->Text(), u"a\r\nb");
    EXPECT_EQ(Ok->Clicks, 0);
    Keys("Tab");
    EXPECT_FALSE(M->Focused());
    M->SetWantTabs(true);
    M->SetFocus();
    Keys("Tab");
    EXPECT_EQ(M->Text(), u"a\r\nb\t");
    M->SetWantReturns(false);
    Keys("Enter");
    EXPECT_EQ(M->Text(), u"a\r\nb\t");
    EXPECT_EQ(Ok->Clicks, 1);
}

// A framed edit keeps the height of its font (16-pixel lines here); a borderless one the height it is
// given, as the job list's in-place editor needs.
TEST_F(EditsTest, OnlyAFramedEditSizesItselfToItsFont) {
    for (TBorderStyle Border : {bsSingle, bsNone}) {
        TEdit* E = Make<TEdit>(100, 14);
        E->SetBorderStyle(Border);
        E->SetAutoSize(true);
        E->SetBounds(10, 10, 100, 14);
        EXPECT_EQ(E->Height(), Border == bsSingle ? 16 + 8 : 14) << Border;
    }
}

// The skinned edits' window keeps Enter and Escape and sees them as characters; a single-line edit leaves
// them to the form's buttons.
TEST_F(EditsTest, AOneLineMultiLineWindowKeepsEnterAndEscape) {
    auto* Ok = new uitest::TTestButton(Form.get());
    Ok->SetParent(Form.get());
    Ok->SetBounds(10, 200, 75, 25);
    Ok->Default = true;
    std::vector<int> Typed;
    auto Watch = [&](TCustomEdit* E) { E->OnKeyPress = [&](TObject*, Char& Key) { Typed.push_back(Key); }; };
    auto* One = Make<TOneLineEdit>();
    Watch(One);
    One->SetFocus();
    Keys("'a' Enter Esc");
    EXPECT_EQ(One->Text(), u"a");
    EXPECT_EQ(Typed, (std::vector<int>{'a', 13, 27}));
    EXPECT_EQ(Ok->Clicks, 0);
    Typed.clear();
    auto* Single = Make<TEdit>();
    Watch(Single);
    Single->SetFocus();
    Keys("Enter");
    EXPECT_EQ(Ok->Clicks, 1);
    EXPECT_EQ(Typed, std::vector<int>{});
}

TEST_F(EditsTest, ATransparentEditShowsItsParentsBackground) {
    auto* Panel = new TPanel(Form.get());
    Panel->SetParent(Form.get());
    Panel->SetBounds(150, 100, 200, 60);
    Panel->SetBevelOuter(bvNone);
    Panel->SetColor(TColor(RGB(0, 160, 0)));
    auto* Clear = new TClearEdit(Form.get());
    Clear->SetParent(Panel);
    Clear->Font()->SetName(u"QvBlocks");
    Clear->Font()->SetHeight(-16);
    Clear->SetBorderStyle(bsNone);
    Clear->SetAutoSize(false);
    Clear->SetBounds(10, 10, 100, 20);
    Clear->SetText(u"ab");
    auto* Plain = new TEdit(Form.get());
    Plain->SetParent(Panel);
    Plain->Font()->SetName(u"QvBlocks");
    Plain->Font()->SetHeight(-16);
    Plain->SetBorderStyle(bsNone);
    Plain->SetAutoSize(false);
    Plain->SetBounds(10, 35, 100, 20);
    Plain->SetText(u"ab");
    Pump();
    TPoint C = Clear->ClientToScreen(TPoint{60, 10});
    TPoint P = Plain->ClientToScreen(TPoint{60, 10});
    EXPECT_EQ(ScreenPixel(C.X, C.Y), RGB(0, 160, 0));
    EXPECT_EQ(ScreenPixel(P.X, P.Y), RGB(255, 255, 255));
    // The text itself is drawn over the parent's colour.
    TPoint T = Clear->ClientToScreen(TPoint{3, 8});
    EXPECT_EQ(ScreenPixel(T.X, T.Y), RGB(0, 0, 0));
    // Typing repaints the text over the parent's colour again.
    Clear->SetFocus();
    Keys("End BS BS");
    TPoint Gone = Clear->ClientToScreen(TPoint{3, 8});
    EXPECT_EQ(ScreenPixel(Gone.X, Gone.Y), RGB(0, 160, 0));
}

} // namespace
