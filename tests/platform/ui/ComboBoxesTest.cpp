// Combo boxes driven by injected clicks, keys and characters on the headless screen: the order of the
// selection, drop-down and close-up events, typed search, completion in the edit, the drop-down's place,
// the combo box messages; and a PNG of a form with every edit, memo and combo box style.
#include "platform/ui/ComboBoxes.h"
#include "UiTestSupport.h"
#include "platform/ui/Edits.h"
#include "platform/ui/Forms.h"
#include "platform/win/WinExtras.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace {

class ComboBoxesTest : public uitest::FormTest {
protected:
    // Items 16 pixels high; every event of the combo box goes into Log.
    TComboBox* Make(TComboBoxStyle Style, std::initializer_list<String> Items) {
        auto* C = new TComboBox(Form.get());
        C->SetParent(Form.get());
        C->Font()->SetName(u"QvBlocks");
        C->Font()->SetHeight(-16);
        C->SetStyle(Style);
        C->SetBounds(20, 20, 150, 0);
        C->Items()->AddStrings(Items);
        C->OnClick = [this](TObject*) { Log.push_back("click"); };
        C->OnChange = [this, C](TObject*) { Log.push_back("change " + ToUtf8(C->Text())); };
        C->OnDropDown = [this](TObject*) { Log.push_back("dropdown"); };
        C->OnCloseUp = [this](TObject*) { Log.push_back("closeup"); };
        C->SetFocus();
        Pump();
        return C;
    }
    std::vector<std::string> Take() {
        std::vector<std::string> L;
        L.swap(Log);
        return L;
    }
    void Type(const String& S) {
        for (Char C : S)
            InjectChar(C);
        Pump();
    }
    // The centre of item Index of the open list on the screen.
    TPoint ItemPoint(TComboBox* C, int Index) {
        TComboListBox* L = C->ListControl();
        int Row = Index - L->TopIndex();
        return L->ClientToScreen(TPoint{20, Row * C->ItemHeight() + C->ItemHeight() / 2});
    }
    static std::string ToUtf8(const String& S) { return std::string(S.begin(), S.end()); }

    std::vector<std::string> Log;
};

using L = std::vector<std::string>;

TEST_F(ComboBoxesTest, SelectionEventsComeInTheirOrderFromMouseAndKeys) {
    TComboBox* C = Make(csDropDownList, {u"Apple", u"Banana", u"Cherry", u"apricot"});
    EXPECT_EQ(C->Height(), 16 + 8);
    // A click opens the list and leaves it open; hovering only highlights.
    uitest::ClickAt(C);
    Pump();
    EXPECT_TRUE(C->DroppedDown());
    TPoint P = ItemPoint(C, 2);
    InjectMouseMove(P.X, P.Y);
    Pump();
    EXPECT_EQ(C->ListControl()->HotIndex(), 2);
    EXPECT_EQ(C->ItemIndex(), -1);
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_EQ(C->Text(), u"Cherry");
    EXPECT_EQ(Take(), (L{"dropdown", "click", "change Cherry", "closeup"}));

    struct Case {
        UINT Key, Modifier;
        int Index;
        L Events;
    } Cases[] = {
        {VK_DOWN, VK_MENU, 2, {"dropdown"}},
        {VK_DOWN, 0, 2, {}},
        {VK_ESCAPE, 0, 2, {"closeup"}},
        {VK_F4, 0, 2, {"dropdown"}},
        {VK_UP, 0, 2, {}},
        {VK_RETURN, 0, 1, {"click", "change Banana", "closeup"}},
        {VK_DOWN, 0, 2, {"click", "change Cherry"}},
        {VK_HOME, 0, 0, {"click", "change Apple"}},
        {VK_HOME, 0, 0, {}},
        {VK_UP, 0, 0, {}},
        {VK_END, 0, 3, {"click", "change apricot"}},
        {VK_F4, 0, 3, {"dropdown"}},
        {VK_UP, VK_MENU, 3, {"closeup"}},
    };
    for (const Case& K : Cases) {
        Key(K.Key, K.Modifier);
        EXPECT_EQ(C->ItemIndex(), K.Index) << K.Key;
        EXPECT_EQ(Take(), K.Events) << K.Key;
    }
    // With OnSelect assigned it takes the place of OnChange.
    C->OnSelect = [this](TObject*) { Log.push_back("select"); };
    Key(VK_UP);
    EXPECT_EQ(Take(), (L{"click", "select"}));
    C->OnSelect = nullptr;
    // The wheel walks the items while the list is closed.
    TPoint Centre = uitest::CentreOf(C);
    InjectMouseMove(Centre.X, Centre.Y);
    InjectMouseWheel(-WHEEL_DELTA);
    Pump();
    EXPECT_EQ(C->ItemIndex(), 3);
    EXPECT_EQ(Take(), (L{"click", "change apricot"}));
    // Code fires nothing; an index outside the items clears the selection, as -1 does.
    for (int Outside : {10, -2, -1}) {
        C->SetItemIndex(0);
        C->SetItemIndex(Outside);
        EXPECT_EQ(C->ItemIndex(), -1) << Outside;
        EXPECT_EQ(C->Text(), u"") << Outside;
    }
    C->SetText(u"Banana");
    EXPECT_EQ(C->ItemIndex(), 1);
    EXPECT_EQ(Take(), L{});
}

TEST_F(ComboBoxesTest, PressDragAndReleaseChoosesOrCancels) {
    TComboBox* C = Make(csDropDownList, {u"one", u"two", u"three"});
    auto* Other = new uitest::TTestButton(Form.get());
    Other->SetParent(Form.get());
    Other->SetBounds(250, 200, 75, 25);
    TPoint Start = uitest::CentreOf(C);
    // Press on the combo box, drag onto an item, release there: chosen in one gesture.
    InjectMouseMove(Start.X, Start.Y);
    InjectMouseButton(0, true);
    Pump();
    TPoint Two = ItemPoint(C, 1);
    InjectMouseMove(Two.X, Two.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_EQ(C->ItemIndex(), 1);
    EXPECT_EQ(Take(), (L{"dropdown", "click", "change two", "closeup"}));
    // Through the list and released outside it: closed, nothing chosen.
    InjectMouseMove(Start.X, Start.Y);
    InjectMouseButton(0, true);
    Pump();
    TPoint Three = ItemPoint(C, 2);
    InjectMouseMove(Three.X, Three.Y);
    InjectMouseMove(Three.X + 300, Three.Y);
    InjectMouseButton(0, false);
    Pump();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(C->ItemIndex(), 1);
    EXPECT_EQ(Take(), (L{"dropdown", "closeup"}));
    // A click elsewhere while open closes the list and goes no further.
    uitest::ClickAt(C);
    Pump();
    uitest::ClickAt(Other);
    Pump();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(Other->Clicks, 0);
    EXPECT_EQ(Take(), (L{"dropdown", "closeup"}));
    // Losing the focus closes it too.
    uitest::ClickAt(C);
    Pump();
    Other->SetFocus();
    Pump();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(Take(), (L{"dropdown", "closeup"}));
}

TEST_F(ComboBoxesTest, TypingSearchesTheItemsOfADropDownList) {
    TComboBox* C = Make(csDropDownList, {u"Apple", u"Banana", u"Cherry", u"apricot", u"avocado"});
    struct Case {
        const char16_t* Typed;
        std::uint64_t PauseBefore;
        int Index;
    } Cases[] = {
        {u"b", 0, 1},
        // One letter again and again walks through the items that begin with it, either case.
        {u"a", 2000, 3},
        {u"a", 0, 4},
        {u"a", 0, 0},
        // Quick letters make one prefix.
        {u"av", 2000, 4},
        {u"ch", 2000, 2},
        {u"x", 2000, 2},
    };
    for (const Case& K : Cases) {
        if (K.PauseBefore)
            Wait(K.PauseBefore);
        Type(K.Typed);
        EXPECT_EQ(C->ItemIndex(), K.Index) << ToUtf8(K.Typed);
    }
}

TEST_F(ComboBoxesTest, TheEditCompletesTypedTextAndTheKeysReachTheList) {
    TComboBox* C = Make(csDropDown, {u"Apple", u"Banana", u"apricot"});
    TCustomEdit* E = C->EditControl();
    ASSERT_NE(E, nullptr);
    EXPECT_TRUE(E->Focused());
    struct Case {
        const char16_t* Typed;
        UINT Key;
        const char16_t* Text;
        int SelStart, SelLength, Index;
    } Cases[] = {
        {u"a", 0, u"apple", 1, 4, 0},           {u"p", 0, u"apple", 2, 3, 0}, {u"r", 0, u"apricot", 3, 4, 2},
        {nullptr, VK_BACK, u"apr", 3, 0, -1},   {u"x", 0, u"aprx", 4, 0, -1}, {nullptr, VK_DOWN, u"Apple", 0, 5, 0},
        {nullptr, VK_DOWN, u"Banana", 0, 6, 1},
    };
    for (const Case& K : Cases) {
        if (K.Typed)
            Type(K.Typed);
        else
            Key(K.Key);
        EXPECT_EQ(C->Text(), K.Text);
        EXPECT_EQ(C->SelStart(), K.SelStart) << ToUtf8(K.Text);
        EXPECT_EQ(C->SelLength(), K.SelLength) << ToUtf8(K.Text);
        EXPECT_EQ(C->ItemIndex(), K.Index) << ToUtf8(K.Text);
    }
    // Every change of the text is one OnChange; the arrow keys select with their events.
    EXPECT_EQ(Take(), (L{"change apple", "change apple", "change apricot", "change apr", "change aprx", "click",
                         "change Apple", "click", "change Banana"}));
    // The button opens the list; Enter in the edit takes the highlighted item.
    TRect B = Rect(C->ClientWidth() - 8, 5, C->ClientWidth() - 7, 6);
    TPoint Button = C->ClientToScreen(TPoint{B.Left, B.Top});
    InjectClick(Button.X, Button.Y);
    Pump();
    EXPECT_TRUE(C->DroppedDown());
    Key(VK_UP);
    Key(VK_RETURN);
    EXPECT_EQ(C->Text(), u"Apple");
    EXPECT_EQ(Take(), (L{"dropdown", "click", "change Apple", "closeup"}));
}

TEST_F(ComboBoxesTest, TheDropDownOpensBelowOrAboveWithItsRows) {
    TComboBox* C = Make(csDropDownList, {u"a", u"b", u"c"});
    C->DropDown();
    RECT W, D;
    GetWindowRect(C->Handle(), &W);
    GetWindowRect(C->ListControl()->Handle(), &D);
    EXPECT_EQ(D.Left, W.Left);
    EXPECT_EQ(D.Top, W.Bottom);
    EXPECT_EQ(D.Right - D.Left, W.Right - W.Left);
    EXPECT_EQ(D.Bottom - D.Top, 3 * 16 + 2);
    C->CloseUp(false);
    for (int I = 0; I < 20; ++I)
        C->Items()->Add(u"more");
    C->SetDropDownCount(5);
    C->SetDropDownWidth(200);
    // Near the bottom of the work area the list opens above.
    Form->SetTop(1040 - 100);
    Pump();
    C->DropDown();
    GetWindowRect(C->Handle(), &W);
    GetWindowRect(C->ListControl()->Handle(), &D);
    EXPECT_EQ(D.Bottom, W.Top);
    EXPECT_EQ(D.Bottom - D.Top, 5 * 16 + 2);
    EXPECT_EQ(D.Right - D.Left, 200);
    EXPECT_EQ(C->ListControl()->VisibleRows(), 5);
    Take();
    // Freed while open: the list goes with it, quietly.
    delete C;
    Pump();
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(Take(), L{});
}

TEST_F(ComboBoxesTest, TheOpenListScrollsByItsBarAndStaysOpen) {
    TComboBox* C = Make(csDropDownList, {});
    for (int I = 0; I < 20; ++I)
        C->Items()->Add(u"item " + IntToStr(I));
    C->SetDropDownCount(5);
    uitest::ClickAt(C);
    Pump();
    ASSERT_TRUE(C->DroppedDown());
    // The down arrow at the foot of the list's bar.
    RECT D;
    GetWindowRect(C->ListControl()->Handle(), &D);
    int Bar = GetSystemMetrics(SM_CXVSCROLL);
    InjectClick(D.Right - 1 - Bar / 2, D.Bottom - 1 - Bar / 2);
    Pump();
    EXPECT_TRUE(C->DroppedDown());
    EXPECT_EQ(C->ListControl()->TopIndex(), 1);
    EXPECT_EQ(GetCapture(), C->ListControl()->Handle());
    TPoint P = ItemPoint(C, 5);
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_FALSE(C->DroppedDown());
    EXPECT_EQ(C->ItemIndex(), 5);
    EXPECT_EQ(Take(), (L{"dropdown", "click", "change item 5", "closeup"}));
}

TEST_F(ComboBoxesTest, ItemsAndTheChosenItemOutliveStyleAndSortChanges) {
    TComboBox* C = Make(csDropDownList, {u"delta", u"Bravo", u"alpha", u"charlie"});
    C->SetItemIndex(1);
    for (TComboBoxStyle Style : {csSimple, csDropDown, csDropDownList}) {
        C->SetStyle(Style);
        Pump();
        EXPECT_EQ(C->Items()->Count(), 4) << Style;
        EXPECT_EQ(C->ItemIndex(), 1) << Style;
        EXPECT_EQ(C->Text(), u"Bravo") << Style;
    }
    C->SetSorted(true);
    EXPECT_EQ(C->Items()->ToVector(), (std::vector<String>{u"alpha", u"Bravo", u"charlie", u"delta"}));
    EXPECT_EQ(C->ItemIndex(), 1);
    C->SetItemIndex(3);
    C->SetSorted(false);
    C->Items()->Insert(0, u"echo");
    EXPECT_EQ(C->ItemIndex(), 4);
    EXPECT_EQ(C->Text(), u"delta");
    EXPECT_EQ(Take(), L{});
}

TEST_F(ComboBoxesTest, ComboBoxMessagesManageTheItemsAndTheSelection) {
    TComboBox* C = Make(csDropDown, {});
    HWND H = C->Handle();
    EXPECT_EQ(SendMessageW(H, CB_ADDSTRING, 0, LPARAM(u"Video")), 0);
    EXPECT_EQ(SendMessageW(H, CB_ADDSTRING, 0, LPARAM(u"Audio")), 1);
    EXPECT_EQ(SendMessageW(H, CB_INSERTSTRING, 0, LPARAM(u"vcd")), 0);
    EXPECT_EQ(SendMessageW(H, CB_GETCOUNT, 0, 0), 3);
    struct Case {
        UINT Msg;
        WPARAM W;
        const char16_t* Text;
        LRESULT Result;
    } Cases[] = {
        {CB_FINDSTRING, WPARAM(-1), u"v", 0},
        {CB_FINDSTRING, 0, u"V", 1},
        {CB_FINDSTRING, 1, u"v", 0},
        {CB_FINDSTRING, WPARAM(-1), u"x", CB_ERR},
        {CB_FINDSTRINGEXACT, WPARAM(-1), u"AUDIO", 2},
        {CB_FINDSTRINGEXACT, WPARAM(-1), u"Aud", CB_ERR},
        {CB_GETLBTEXTLEN, 1, nullptr, 5},
        {CB_GETLBTEXTLEN, 7, nullptr, CB_ERR},
        {CB_SETCURSEL, 2, nullptr, 2},
        {CB_GETCURSEL, 0, nullptr, 2},
        {CB_SETCURSEL, 9, nullptr, CB_ERR},
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
        {CB_SELECTSTRING, WPARAM(-1), u"vi", 1},
        // The selection stays with its item when items before it go, and goes with it.
        {CB_DELETESTRING, 0, nullptr, 2},
        {CB_GETCURSEL, 0, nullptr, 0},
        {CB_INSERTSTRING, 0, u"dvd", 0},
        {CB_GETCURSEL, 0, nullptr, 1},
        {CB_DELETESTRING, 1, nullptr, 2},
        {CB_GETCURSEL, 0, nullptr, CB_ERR},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(SendMessageW(H, K.Msg, K.W, LPARAM(K.Text)), K.Result) << K.Msg << " " << K.W;
    WCHAR Buf[16] = {};
    EXPECT_EQ(SendMessageW(H, CB_GETLBTEXT, 1, LPARAM(Buf)), 5);
    EXPECT_EQ(String(Buf), u"Audio");
    EXPECT_EQ(SendMessageW(H, CB_SHOWDROPDOWN, TRUE, 0), TRUE);
    EXPECT_EQ(SendMessageW(H, CB_GETDROPPEDSTATE, 0, 0), TRUE);
    SendMessageW(H, CB_SHOWDROPDOWN, FALSE, 0);
    EXPECT_EQ(SendMessageW(H, CB_GETDROPPEDSTATE, 0, 0), FALSE);
    // Row height of the list, and the height of the field.
    SendMessageW(H, CB_SETITEMHEIGHT, 0, 20);
    EXPECT_EQ(SendMessageW(H, CB_GETITEMHEIGHT, 0, 0), 20);
    SendMessageW(H, CB_SETITEMHEIGHT, WPARAM(-1), 30);
    EXPECT_EQ(C->Height(), 30 + 8);
    C->SetEnabled(false);
    EXPECT_FALSE(C->EditControl()->Enabled());
    C->SetEnabled(true);
    EXPECT_TRUE(C->EditControl()->Enabled());
    EXPECT_EQ(Take(), (L{"dropdown", "closeup"}));
}

TEST_F(ComboBoxesTest, SortedItemsIgnoreCaseAndASimpleComboShowsItsList) {
    TComboBox* C = Make(csSimple, {});
    C->SetSorted(true);
    C->SetBounds(20, 20, 150, 120);
    for (const char16_t* S : {u"beta", u"Gamma", u"alpha2", u"Alpha"})
        C->Items()->Add(S);
    EXPECT_EQ(C->Items()->ToVector(), (std::vector<String>{u"Alpha", u"alpha2", u"beta", u"Gamma"}));
    Pump();
    ASSERT_TRUE(C->ListControl()->Visible());
    EXPECT_EQ(C->ListControl()->Parent(), C);
    // A press in the list selects at once and the edit keeps the focus.
    TPoint P = C->ListControl()->ClientToScreen(TPoint{20, 16 * 2 + 8});
    InjectClick(P.X, P.Y);
    Pump();
    EXPECT_EQ(C->ItemIndex(), 2);
    EXPECT_EQ(C->Text(), u"beta");
    EXPECT_TRUE(C->EditControl()->Focused());
    EXPECT_EQ(Take(), (L{"click", "change beta"}));
    Key(VK_DOWN);
    EXPECT_EQ(C->Text(), u"Gamma");
    EXPECT_FALSE(C->DroppedDown());
}

// The classic look of every widget of this unit, with Latin and Chinese text, saved for a person to
// look at: build/artifacts/edit_form.png.
TEST_F(ComboBoxesTest, AFormOfEditsMemoAndComboBoxesInTheClassicLook) {
    Form->SetBounds(100, 100, 460, 330);
    Form->SetCaption(u"编辑 Edits");
    Form->SetColor(clBtnFace);
    auto Place = [&](TWinControl* C, int X, int Y, int W) {
        C->SetParent(Form.get());
        C->SetBounds(X, Y, W, C->Height());
    };
    auto* Latin = new TEdit(Form.get());
    Place(Latin, 10, 10, 200);
    Latin->SetText(u"Output: C:\\Videos\\clip.mp4");
    auto* Chinese = new TEdit(Form.get());
    Place(Chinese, 10, 40, 200);
    Chinese->SetText(u"输出文件夹 我的视频");
    auto* Password = new TEdit(Form.get());
    Place(Password, 10, 70, 200);
    Password->SetPasswordChar(u'*');
    Password->SetText(u"secret");
    auto* ReadOnly = new TEdit(Form.get());
    Place(ReadOnly, 10, 100, 200);
    ReadOnly->SetReadOnly(true);
    ReadOnly->SetHideSelection(false);
    ReadOnly->SetText(u"只读 read-only text");
    ReadOnly->SetSelStart(3);
    ReadOnly->SetSelLength(4);
    auto* Right = new TEdit(Form.get());
    Place(Right, 10, 130, 200);
    Right->SetAlignment(taRightJustify);
    Right->SetText(u"1920x1080");
    auto* Memo = new TMemo(Form.get());
    Memo->SetParent(Form.get());
    Memo->SetBounds(10, 160, 200, 120);
    Memo->Lines()->Add(u"***Cannot do convert, error: ");
    Memo->Lines()->Add(u"转换完成 100%");
    Memo->Lines()->Add(u"A long line of the log that wraps at the memo's right edge.");
    auto* Drop = new TComboBox(Form.get());
    Place(Drop, 230, 40, 200);
    Drop->Items()->AddStrings({u"MP4 - MPEG-4 视频格式(*.mp4)", u"AVI - Audio Video Interleaved(*.avi)"});
    Drop->SetItemIndex(0);
    auto* List = new TComboBox(Form.get());
    List->SetStyle(csDropDownList);
    Place(List, 230, 10, 200);
    List->Items()->AddStrings({u"320x240", u"640x480", u"1280x720", u"高清 1920x1080"});
    List->SetItemIndex(3);
    auto* Simple = new TComboBox(Form.get());
    Simple->SetStyle(csSimple);
    Simple->SetParent(Form.get());
    Simple->SetBounds(230, 160, 200, 120);
    Simple->Items()->AddStrings({u"低 Low", u"中 Medium", u"高 High"});
    Simple->SetItemIndex(1);
    Pump();
    Latin->SetFocus();
    Latin->SetSelStart(8);
    Latin->SetSelLength(2);
    List->SetFocus();
    Pump();
    Drop->SetFocus();
    Drop->DropDown();
    Pump();
    ASSERT_TRUE(Drop->DroppedDown());

    // The read-only edit shows its selection without the focus; the drop-down lies over the form.
    int SelX = LOWORD(SendMessageW(ReadOnly->Handle(), EM_POSFROMCHAR, 4, 0));
    TPoint Sel = ReadOnly->ClientToScreen(TPoint{SelX, 8});
    EXPECT_NE(ScreenPixel(Sel.X, Sel.Y), RGB(255, 255, 255));
    TPoint Frame = Latin->ClientToScreen(TPoint{-2, -2});
    EXPECT_EQ(ScreenPixel(Frame.X, Frame.Y), ColorToRGB(clBtnShadow));
    RECT Area{100, 100, 560, 430};
    std::vector<DWORD> Pixels = CaptureScreen(Area);
    TPngImage Png;
    Png.SetPixels(Area.Right - Area.Left, Area.Bottom - Area.Top, reinterpret_cast<const std::uint32_t*>(Pixels.data()),
                  false);
    std::filesystem::create_directories("artifacts");
    Png.SaveToFile(u"artifacts/edit_form.png");
    EXPECT_TRUE(std::filesystem::exists("artifacts/edit_form.png"));
    Drop->CloseUp(false);
}

} // namespace
