#include "platform/ui/Edits.h"

#include "platform/base/SysUtils.h"
#include "platform/gdi/WinText.h"

#include <climits>
#include <tuple>

namespace {

constexpr UINT_PTR CaretTimer = 0xE417;
constexpr UINT CaretBlinkMs = 530;
constexpr int DefaultMargin = 1;
constexpr int WheelLines = 3;
// The requests of WM_HSCROLL, WM_VSCROLL and EM_SCROLL (the low word of wParam).
constexpr WORD ScrollLineBack = 0, ScrollLineOn = 1, ScrollPageBack = 2, ScrollPageOn = 3, ScrollThumbPosition = 4,
               ScrollThumbTrack = 5, ScrollStart = 6, ScrollEnd = 7;

bool IsSpace(Char C) {
    return C == u' ' || C == u'\t' || C == u'\r' || C == u'\n' || C == 0x3000;
}
bool IsLowSurrogate(Char C) {
    return C >= 0xDC00 && C < 0xE000;
}

bool KeyHeld(int Vk) {
    return GetKeyState(Vk) < 0;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TMemoStrings: the memo's lines, read from and written into its text.

class TMemoStrings : public TStrings {
public:
    explicit TMemoStrings(TCustomMemo* AMemo) : FMemo(AMemo) {}

    int Count() const override {
        const String& T = FMemo->Text();
        if (T.empty())
            return 0;
        int N = 1;
        for (std::size_t I = 0; (I = T.find(u"\r\n", I)) != String::npos; I += 2)
            ++N;
        // A final line break ends the last line; it does not begin another.
        if (EndsWithBreak(T))
            --N;
        return N;
    }
    void Clear() override { FMemo->SetText(String()); }
    void Delete(int Index) override {
        auto [Start, End, Next] = Span(Index);
        // The last line without a break of its own takes the break before it along.
        if (Next == End && Start >= 2)
            Start -= 2;
        FMemo->SetSel(Start, Next, false);
        FMemo->ReplaceSelection(String(), false, false);
    }
    void Insert(int Index, const String& S) override {
        int N = Count();
        if (Index < 0 || Index > N)
            Error(u"List index out of bounds (%d)", Index);
        const String& T = FMemo->Text();
        int At = int(T.size());
        String Line = S + u"\r\n";
        if (Index < N)
            At = std::get<0>(Span(Index));
        else if (!T.empty() && !EndsWithBreak(T))
            Line = u"\r\n" + S;
        FMemo->SetSel(At, At, false);
        FMemo->ReplaceSelection(Line, false, false);
    }
    String Text() const override { return FMemo->Text(); }
    void SetText(const String& Value) override { FMemo->SetText(Value); }

protected:
    String Get(int Index) const override {
        auto [Start, End, Next] = Span(Index);
        (void)Next;
        return FMemo->Text().substr(std::size_t(Start), std::size_t(End - Start));
    }
    void Put(int Index, const String& S) override {
        auto [Start, End, Next] = Span(Index);
        (void)Next;
        FMemo->SetSel(Start, End, false);
        FMemo->ReplaceSelection(S, false, false);
    }

private:
    static bool EndsWithBreak(const String& T) { return T.size() >= 2 && T.compare(T.size() - 2, 2, u"\r\n") == 0; }
    // First character, end (before the break) and the next line's first character of line Index.
    std::tuple<int, int, int> Span(int Index) const {
        if (Index < 0 || Index >= Count())
            Error(u"List index out of bounds (%d)", Index);
        const String& T = FMemo->Text();
        std::size_t Start = 0;
        for (int I = 0; I < Index; ++I)
            Start = T.find(u"\r\n", Start) + 2;
        std::size_t End = T.find(u"\r\n", Start);
        if (End == String::npos)
            return {int(Start), int(T.size()), int(T.size())};
        return {int(Start), int(End), int(End + 2)};
    }

    TCustomMemo* FMemo;
};

// ---------------------------------------------------------------------------------------------
// TCustomEdit: construction and properties

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    // The edit window captures the mouse itself while a selection is dragged.
    FControlStyle = TControlStyle{csClickEvents, csSetCaption, csDoubleClicks};
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    SetBounds(0, 0, 121, 21);
    SetAutoSize(true);
}

TCustomEdit::~TCustomEdit() {
    if (FMeasureDC)
        DeleteDC(FMeasureDC);
    if (FBrush)
        DeleteObject(FBrush);
}

void TCustomEdit::CreateParams(TCreateParams& Params) {
    TWinControl::CreateParams(Params);
    Params.Style |= ES_AUTOHSCROLL;
    if (FAlignment == taCenter)
        Params.Style |= ES_CENTER;
    else if (FAlignment == taRightJustify)
        Params.Style |= ES_RIGHT;
    if (!FHideSelection)
        Params.Style |= ES_NOHIDESEL;
    if (FReadOnly)
        Params.Style |= ES_READONLY;
    if (FPasswordChar)
        Params.Style |= ES_PASSWORD;
    if (FCharCase == ecUpperCase)
        Params.Style |= ES_UPPERCASE;
    else if (FCharCase == ecLowerCase)
        Params.Style |= ES_LOWERCASE;
    if (FBorderStyle == bsSingle)
        AddFrameStyle(Params);
    Params.WindowClass.hCursor = LoadCursorW(nullptr, IDC_IBEAM);
}

void TCustomEdit::CreateWnd() {
    TWinControl::CreateWnd();
    // The text given at creation obeys the window's rules too.
    FText = Sanitize(FText);
    int Len = int(FText.size());
    FAnchor = std::min(FAnchor, Len);
    FCaret = std::min(FCaret, Len);
    InvalidateLayout();
    SendMessageW(FHandle, WM_SETFONT, WPARAM(Font()->Handle()), 0);
    TextChanged(0);
}

DWORD TCustomEdit::EditStyle() const {
    if (FHandle)
        return DWORD(GetWindowLongW(FHandle, GWL_STYLE));
    TCreateParams Params;
    const_cast<TCustomEdit*>(this)->CreateParams(Params);
    return Params.Style;
}

bool TCustomEdit::HoldsOneLine() const {
    DWORD Style = EditStyle();
    return !(Style & ES_MULTILINE) || !(Style & ES_AUTOVSCROLL);
}

bool TCustomEdit::WordWraps() const {
    DWORD Style = EditStyle();
    return (Style & ES_MULTILINE) && (Style & ES_AUTOVSCROLL) && !(Style & ES_AUTOHSCROLL);
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle)
        return;
    FBorderStyle = Value;
    RecreateWnd();
    AdjustSize();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (Value == FCharCase)
        return;
    FCharCase = Value;
    if (FHandle) {
        DWORD Style = EditStyle() & ~(ES_UPPERCASE | ES_LOWERCASE);
        if (Value == ecUpperCase)
            Style |= ES_UPPERCASE;
        else if (Value == ecLowerCase)
            Style |= ES_LOWERCASE;
        SetWindowLongW(FHandle, GWL_STYLE, LONG(Style));
    }
    if (Value != ecNormal) {
        String Cased = Value == ecUpperCase ? AnsiUpperCase(FText) : AnsiLowerCase(FText);
        if (Cased != FText)
            SetText(Cased);
    }
}

void TCustomEdit::SetHideSelection(bool Value) {
    if (Value == FHideSelection)
        return;
    FHideSelection = Value;
    if (FHandle)
        SetWindowLongW(FHandle, GWL_STYLE, LONG(Value ? EditStyle() & ~ES_NOHIDESEL : EditStyle() | ES_NOHIDESEL));
    Invalidate();
}

void TCustomEdit::SetMaxLength(int Value) {
    FMaxLength = std::max(Value, 0);
    if (FHandle)
        SendMessageW(FHandle, EM_LIMITTEXT, WPARAM(FMaxLength), 0);
}

void TCustomEdit::SetPasswordChar(Char Value) {
    if (FHandle)
        SendMessageW(FHandle, EM_SETPASSWORDCHAR, WPARAM(Value), 0);
    else
        FPasswordChar = Value;
}

void TCustomEdit::SetReadOnly(bool Value) {
    if (FHandle)
        SendMessageW(FHandle, EM_SETREADONLY, WPARAM(Value), 0);
    else
        FReadOnly = Value;
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    if (FHandle) {
        DWORD Style = EditStyle() & ~(ES_CENTER | ES_RIGHT);
        Style |= Value == taCenter ? ES_CENTER : Value == taRightJustify ? ES_RIGHT : ES_LEFT;
        SetWindowLongW(FHandle, GWL_STYLE, LONG(Style));
        FScrollX = 0;
        InvalidateLayout();
        ScrollCaretIntoView();
    }
    Invalidate();
}

int TCustomEdit::SelStart() {
    return SelMin();
}

void TCustomEdit::SetSelStart(int Value) {
    SendMessageW(Handle(), EM_SETSEL, WPARAM(Value), LPARAM(Value));
}

int TCustomEdit::SelLength() {
    return SelMax() - SelMin();
}

void TCustomEdit::SetSelLength(int Value) {
    int Start = SelMin();
    SendMessageW(Handle(), EM_SETSEL, WPARAM(Start), LPARAM(Start + Value));
}

String TCustomEdit::SelText() {
    return FText.substr(std::size_t(SelMin()), std::size_t(SelMax() - SelMin()));
}

void TCustomEdit::SetSelText(const String& Value) {
    SendMessageW(Handle(), EM_REPLACESEL, 0, LPARAM(Value.c_str()));
}

void TCustomEdit::SelectAll() {
    SendMessageW(Handle(), EM_SETSEL, 0, LPARAM(-1));
}

TPoint TCustomEdit::CaretPos() {
    const TRow& R = Rows()[std::size_t(RowOf(FCaret))];
    TRect F = FormatRect();
    int Row = RowOf(FCaret);
    return TPoint{F.Left + RowOffset(R) + XOfPos(FCaret) - FScrollX, F.Top + (Row - FTopLine) * LineHeight()};
}

void TCustomEdit::Change() {
    if (OnChange)
        OnChange(this);
}

void TCustomEdit::DoEnter() {
    // A click places the caret itself; Tab and code select everything in a one-line edit.
    if (FAutoSelect && !FClickFocus && !IsMultiLine())
        SelectAll();
    TWinControl::DoEnter();
}

bool TCustomEdit::CanAutoSize(int& NewWidth, int& NewHeight) {
    (void)NewWidth;
    // Only a framed edit keeps the height of its font; a borderless one keeps the height it is given.
    if (FBorderStyle != bsSingle)
        return false;
    NewHeight = LineHeight() + 8;
    return true;
}

// ---------------------------------------------------------------------------------------------
// Text changes

String TCustomEdit::Sanitize(const String& Value) const {
    String S;
    S.reserve(Value.size());
    bool OneLine = HoldsOneLine();
    for (std::size_t I = 0; I < Value.size(); ++I) {
        Char C = Value[I];
        if (C == 0)
            continue;
        if (C == u'\r' || C == u'\n') {
            // "\r\n", a lone "\r" and a lone "\n" are each one line break.
            if (C == u'\r' && I + 1 < Value.size() && Value[I + 1] == u'\n')
                ++I;
            S += OneLine ? String(u" ") : String(u"\r\n");
            continue;
        }
        S += C;
    }
    DWORD Style = EditStyle();
    if (Style & ES_UPPERCASE)
        S = AnsiUpperCase(S);
    else if (Style & ES_LOWERCASE)
        S = AnsiLowerCase(S);
    return S;
}

void TCustomEdit::TextChanged(int ChangedFrom) {
    InvalidateLayout(ChangedFrom);
    // Scroll bars follow the text at once, not only at the next paint.
    if (FHandle && !HoldsOneLine() && (GetWindowLongW(FHandle, GWL_STYLE) & (WS_VSCROLL | WS_HSCROLL)))
        ClampScroll();
}

void TCustomEdit::SaveUndo(bool Typing) {
    // Characters typed one after another are undone together.
    if (Typing && FTypingRun && FCanUndo)
        return;
    FUndoText = FText;
    FUndoAnchor = FAnchor;
    FUndoCaret = FCaret;
    FCanUndo = true;
    FTypingRun = Typing;
}

void TCustomEdit::DoUndo() {
    if (!FCanUndo)
        return;
    // Undoing again redoes: the one level swaps the two texts.
    int A = FAnchor, C = FCaret;
    std::swap(FText, FUndoText);
    TextChanged(0);
    FAnchor = std::min(FUndoAnchor, int(FText.size()));
    FCaret = std::min(FUndoCaret, int(FText.size()));
    FUndoAnchor = A;
    FUndoCaret = C;
    FTypingRun = false;
    FModified = true;
    ScrollCaretIntoView();
    Invalidate();
    NotifyChange();
}

bool TCustomEdit::ReplaceSelection(String Value, bool ByUser, bool Undoable, bool Typing) {
    Value = Sanitize(Value);
    int A = SelMin(), B = SelMax();
    if (ByUser && FMaxLength > 0) {
        int Room = FMaxLength - (int(FText.size()) - (B - A));
        if (Room < int(Value.size())) {
            int Keep = std::max(Room, 0);
            // Never keep half of a surrogate pair.
            if (Keep > 0 && IsLowSurrogate(Value[std::size_t(Keep)]))
                --Keep;
            Value.resize(std::size_t(Keep));
            if (FHandle)
                if (HWND P = GetParent(FHandle))
                    SendMessageW(P, WM_COMMAND, MAKEWPARAM(GetWindowLongW(FHandle, GWL_ID), EN_MAXTEXT),
                                 LPARAM(FHandle));
            if (Value.empty() && A == B)
                return false;
        }
    }
    if (Value.empty() && A == B)
        return false;
    if (Undoable)
        SaveUndo(Typing);
    else if (!Typing)
        FTypingRun = false;
    FText.replace(std::size_t(A), std::size_t(B - A), Value);
    TextChanged(A);
    FAnchor = FCaret = A + int(Value.size());
    FGoalX = -1;
    if (ByUser)
        FModified = true;
    ScrollCaretIntoView();
    ResetBlink();
    Invalidate();
    NotifyChange();
    return true;
}

void TCustomEdit::NotifyChange() {
    std::weak_ptr<char> Alive = AliveToken();
    // A parent of this library may hand EN_CHANGE back as CN_COMMAND; one that does not leaves it to
    // the edit to tell its wrapper.
    FChangeTold = false;
    if (FHandle)
        if (HWND P = GetParent(FHandle))
            SendMessageW(P, WM_COMMAND, MAKEWPARAM(GetWindowLongW(FHandle, GWL_ID), EN_CHANGE), LPARAM(FHandle));
    if (!Alive.expired() && !FChangeTold)
        Perform(CN_COMMAND, MAKEWPARAM(0, EN_CHANGE), LPARAM(FHandle));
}

// ---------------------------------------------------------------------------------------------
// Selection and caret

void TCustomEdit::SetSel(int Anchor, int Caret, bool Scroll) {
    int Len = int(FText.size());
    // Never between the two characters of a line break or of a surrogate pair.
    auto Snap = [&](int Pos) {
        Pos = std::clamp(Pos, 0, Len);
        if (Pos > 0 && Pos < Len &&
            ((FText[std::size_t(Pos - 1)] == u'\r' && FText[std::size_t(Pos)] == u'\n') ||
             IsLowSurrogate(FText[std::size_t(Pos)])))
            --Pos;
        return Pos;
    };
    Anchor = Snap(Anchor);
    Caret = Snap(Caret);
    FTypingRun = false;
    if (Anchor == FAnchor && Caret == FCaret)
        return;
    FAnchor = Anchor;
    FCaret = Caret;
    if (Scroll)
        ScrollCaretIntoView();
    ResetBlink();
    Invalidate();
}

void TCustomEdit::MoveCaret(int Pos, bool Extend) {
    SetSel(Extend ? FAnchor : Pos, Pos);
}

int TCustomEdit::PrevPos(int Pos) {
    if (Pos <= 0)
        return 0;
    if (Pos >= 2 && FText[std::size_t(Pos - 1)] == u'\n' && FText[std::size_t(Pos - 2)] == u'\r')
        return Pos - 2;
    if (Pos >= 2 && IsLowSurrogate(FText[std::size_t(Pos - 1)]))
        return Pos - 2;
    return Pos - 1;
}

int TCustomEdit::NextPos(int Pos) {
    int Len = int(FText.size());
    if (Pos >= Len)
        return Len;
    if (FText[std::size_t(Pos)] == u'\r' && Pos + 1 < Len && FText[std::size_t(Pos + 1)] == u'\n')
        return Pos + 2;
    if (Pos + 1 < Len && IsLowSurrogate(FText[std::size_t(Pos + 1)]))
        return Pos + 2;
    return Pos + 1;
}

int TCustomEdit::WordLeft(int Pos) {
    while (Pos > 0 && IsSpace(FText[std::size_t(Pos - 1)]))
        --Pos;
    while (Pos > 0 && !IsSpace(FText[std::size_t(Pos - 1)]))
        --Pos;
    return Pos;
}

int TCustomEdit::WordRight(int Pos) {
    int Len = int(FText.size());
    while (Pos < Len && !IsSpace(FText[std::size_t(Pos)]))
        ++Pos;
    while (Pos < Len && IsSpace(FText[std::size_t(Pos)]))
        ++Pos;
    return Pos;
}

void TCustomEdit::SelectWordAt(int Pos) {
    int Len = int(FText.size());
    if (Len == 0)
        return;
    if (Pos >= Len)
        Pos = Len - 1;
    auto Blank = [&](int I) {
        Char C = FText[std::size_t(I)];
        return C == u' ' || C == u'\t' || C == 0x3000;
    };
    bool Space = Blank(Pos);
    if (FText[std::size_t(Pos)] == u'\r' || FText[std::size_t(Pos)] == u'\n') {
        SetSel(Pos, Pos);
        return;
    }
    auto Same = [&](int I) {
        Char C = FText[std::size_t(I)];
        return C != u'\r' && C != u'\n' && Blank(I) == Space;
    };
    int A = Pos, B = Pos;
    while (A > 0 && Same(A - 1))
        --A;
    while (B < Len && Same(B))
        ++B;
    SetSel(A, B);
}

// ---------------------------------------------------------------------------------------------
// Layout

HDC TCustomEdit::MeasureDC() {
    if (!FMeasureDC)
        FMeasureDC = CreateCompatibleDC(nullptr);
    SelectObject(FMeasureDC, Font()->Handle());
    return FMeasureDC;
}

int TCustomEdit::LineHeight() {
    TEXTMETRICW Tm;
    GetTextMetricsW(MeasureDC(), &Tm);
    return std::max<int>(Tm.tmHeight, 1);
}

TRect TCustomEdit::FormatRect() {
    if (FHasFormatRect)
        return FFormatRect;
    TRect C = FHandle ? ClientRect() : Rect(0, 0, Width(), Height());
    TRect F = Rect(C.Left + FLeftMargin, C.Top, C.Right - FRightMargin, C.Bottom);
    if (!IsMultiLine())
        F.Top += 1;
    if (F.Right < F.Left)
        F.Right = F.Left;
    return F;
}

String TCustomEdit::ShownText(int Start, int Length) {
    if ((EditStyle() & ES_PASSWORD) && HoldsOneLine())
        return String(std::size_t(Length), FPasswordChar ? FPasswordChar : u'*');
    return FText.substr(std::size_t(Start), std::size_t(Length));
}

std::vector<int> TCustomEdit::Extents(int Start, int Length) {
    std::vector<int> X(std::size_t(Length) + 1, 0);
    if (Length <= 0)
        return X;
    String S = ShownText(Start, Length);
    std::vector<int> Dx(std::size_t(Length), 0);
    int Fit = 0;
    SIZE Size{};
    GetTextExtentExPointW(MeasureDC(), S.c_str(), Length, INT_MAX, &Fit, Dx.data(), &Size);
    for (int I = 0; I < Length; ++I)
        X[std::size_t(I) + 1] = Dx[std::size_t(I)];
    return X;
}

void TCustomEdit::InvalidateLayout(int ChangedFrom) {
    FLayoutValid = false;
    FDirtyFrom = std::min(FDirtyFrom, ChangedFrom);
}

void TCustomEdit::Relayout() {
    const String& T = FText;
    int Len = int(T.size());
    int From = std::min(FDirtyFrom, Len);
    FDirtyFrom = INT_MAX;
    // The rows of the lines before the first change stay as they are (a log grows at its end).
    int I = 0;
    if (From > 0 && !FRows.empty() && !HoldsOneLine()) {
        std::size_t Before = From >= 2 ? T.rfind(u"\r\n", std::size_t(From - 2)) : String::npos;
        I = Before == String::npos ? 0 : int(Before) + 2;
    }
    FRows.erase(std::lower_bound(FRows.begin(), FRows.end(), I, [](const TRow& R, int Pos) { return R.Start < Pos; }),
                FRows.end());
    if (I == 0)
        FRows.clear();
    if (HoldsOneLine()) {
        std::vector<int> X = Extents(0, Len);
        FRows.push_back(TRow{0, Len, Len, X.back()});
        FLayoutValid = true;
        return;
    }
    bool Wrap = WordWraps();
    TRect F = FormatRect();
    int Avail = std::max(F.Right - F.Left, 1);
    while (true) {
        std::size_t Break = T.find(u"\r\n", std::size_t(I));
        int End = Break == String::npos ? Len : int(Break);
        int Next = Break == String::npos ? Len : int(Break) + 2;
        std::vector<int> X = Extents(I, End - I);
        int S = I;
        while (Wrap && X[std::size_t(End - I)] - X[std::size_t(S - I)] > Avail) {
            // The most characters that fit, then back to the last blank among them.
            int N = S;
            while (N < End && X[std::size_t(N + 1 - I)] - X[std::size_t(S - I)] <= Avail)
                ++N;
            int Cut = N;
            for (int K = N; K > S; --K)
                if (IsSpace(T[std::size_t(K - 1)]) && K < End) {
                    Cut = K;
                    break;
                }
            // Blanks right after the cut stay on this row.
            while (Cut < End && T[std::size_t(Cut)] == u' ')
                ++Cut;
            if (Cut == S)
                Cut = S + 1;
            if (Cut >= End)
                break;
            FRows.push_back(TRow{S, Cut - S, Cut, X[std::size_t(Cut - I)] - X[std::size_t(S - I)]});
            S = Cut;
        }
        FRows.push_back(TRow{S, End - S, Next, X[std::size_t(End - I)] - X[std::size_t(S - I)]});
        if (Break == String::npos)
            break;
        I = Next;
    }
    FLayoutValid = true;
}

const std::vector<TCustomEdit::TRow>& TCustomEdit::Rows() {
    if (!FLayoutValid || FRows.empty())
        Relayout();
    return FRows;
}

int TCustomEdit::RowOf(int Pos) {
    const std::vector<TRow>& R = Rows();
    auto It = std::upper_bound(R.begin() + 1, R.end(), Pos, [](int P, const TRow& Row) { return P < Row.Start; });
    return int(It - R.begin()) - 1;
}

int TCustomEdit::RowOffset(const TRow& R) {
    TRect F = FormatRect();
    int Avail = F.Right - F.Left;
    if (R.Width >= Avail)
        return 0;
    DWORD Style = EditStyle();
    if (Style & ES_CENTER)
        return (Avail - R.Width) / 2;
    if (Style & ES_RIGHT)
        return std::max(Avail - R.Width - 1, 0);
    return 0;
}

int TCustomEdit::XOfPos(int Pos) {
    const TRow& R = Rows()[std::size_t(RowOf(Pos))];
    std::vector<int> X = Extents(R.Start, R.Length);
    return X[std::size_t(std::clamp(Pos - R.Start, 0, R.Length))];
}

int TCustomEdit::VisibleLines() {
    TRect F = FormatRect();
    return std::max((F.Bottom - F.Top) / LineHeight(), 1);
}

int TCustomEdit::PosFromPoint(int X, int Y) {
    const std::vector<TRow>& Rs = Rows();
    TRect F = FormatRect();
    int Row = 0;
    if (Rs.size() > 1) {
        int Dy = Y - F.Top;
        Row = FTopLine + (Dy < 0 ? -1 : Dy / LineHeight());
        Row = std::clamp(Row, 0, int(Rs.size()) - 1);
    }
    const TRow R = Rs[std::size_t(Row)];
    std::vector<int> Xs = Extents(R.Start, R.Length);
    int Tx = X - F.Left - RowOffset(R) + FScrollX;
    int Last = R.Length;
    // A wrapped row ends before its last blank, so the caret stays on the row.
    if (R.Next == R.Start + R.Length && Row + 1 < int(Rs.size()) && Last > 0)
        --Last;
    int I = 0;
    while (I < Last && Tx >= (Xs[std::size_t(I)] + Xs[std::size_t(I) + 1] + 1) / 2)
        ++I;
    int Pos = R.Start + I;
    if (Pos > 0 && Pos < int(FText.size()) && IsLowSurrogate(FText[std::size_t(Pos)]))
        --Pos;
    return Pos;
}

void TCustomEdit::ClampScroll() {
    const std::vector<TRow>& Rs = Rows();
    TRect F = FormatRect();
    int Avail = F.Right - F.Left;
    if (WordWraps()) {
        FScrollX = 0;
    } else {
        int Widest = 0;
        for (const TRow& R : Rs)
            Widest = std::max(Widest, R.Width);
        // Room for the caret after the last character.
        FScrollX = std::clamp(FScrollX, 0, std::max(Widest + 1 - Avail, 0));
    }
    if (HoldsOneLine())
        FTopLine = 0;
    else
        FTopLine = std::clamp(FTopLine, 0, std::max(int(Rs.size()) - VisibleLines(), 0));
    ShowScrollState(Avail);
}

// A memo with WS_VSCROLL or WS_HSCROLL shows where its view is on the window's own bars; they stay
// (disabled) when there is nothing to scroll, so the text never reflows as they come and go.
void TCustomEdit::ShowScrollState(int AAvail) {
    if (!FHandle || HoldsOneLine())
        return;
    const DWORD Style = DWORD(GetWindowLongW(FHandle, GWL_STYLE));
    SCROLLINFO Info;
    Info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_DISABLENOSCROLL;
    if (Style & WS_VSCROLL) {
        Info.nMax = std::max(int(Rows().size()) - 1, 0);
        Info.nPage = UINT(std::max(VisibleLines(), 1));
        Info.nPos = FTopLine;
        SetScrollInfo(FHandle, SB_VERT, &Info, TRUE);
    }
    if (Style & WS_HSCROLL) {
        int Widest = 0;
        if (!WordWraps())
            for (const TRow& R : Rows())
                Widest = std::max(Widest, R.Width);
        Info.nMax = Widest;
        Info.nPage = UINT(std::max(AAvail, 1));
        Info.nPos = FScrollX;
        SetScrollInfo(FHandle, SB_HORZ, &Info, TRUE);
    }
}

void TCustomEdit::ScrollCaretIntoView() {
    TRect F = FormatRect();
    int Avail = F.Right - F.Left;
    int Row = RowOf(FCaret);
    if (!WordWraps()) {
        int X = RowOffset(Rows()[std::size_t(Row)]) + XOfPos(FCaret);
        if (X - FScrollX > Avail - 1)
            FScrollX = X - Avail + 1;
        else if (X < FScrollX)
            // Leaving at the left shows a quarter of the width before the caret.
            FScrollX = std::max(X - Avail / 4, 0);
    }
    if (!HoldsOneLine()) {
        int Visible = VisibleLines();
        if (Row < FTopLine)
            FTopLine = Row;
        else if (Row >= FTopLine + Visible)
            FTopLine = Row - Visible + 1;
    }
    ClampScroll();
}

// ---------------------------------------------------------------------------------------------
// Painting

bool TCustomEdit::Transparent() {
    return FHandle && (GetWindowLongW(FHandle, GWL_EXSTYLE) & WS_EX_TRANSPARENT);
}

HBRUSH TCustomEdit::QueryColors(HDC DC) {
    UINT Msg = (EditStyle() & ES_READONLY) || !Enabled() ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
    LRESULT Brush = 0;
    if (FHandle)
        if (HWND P = GetParent(FHandle))
            Brush = SendMessageW(P, Msg, WPARAM(DC), LPARAM(FHandle));
    if (!Brush)
        Brush = Perform(CN_BASE + Msg, WPARAM(DC), LPARAM(FHandle));
    return reinterpret_cast<HBRUSH>(Brush);
}

void TCustomEdit::PaintParentBackground(HDC DC) {
    TWinControl* P = Parent();
    if (!P || !FHandle || !P->HandleAllocated())
        return;
    POINT At{0, 0};
    MapWindowPoints(FHandle, P->Handle(), &At, 1);
    POINT Origin;
    GetViewportOrgEx(DC, &Origin);
    int Saved = SaveDC(DC);
    SetViewportOrgEx(DC, Origin.X - At.X, Origin.Y - At.Y, nullptr);
    TRect Client = P->ClientRect();
    IntersectClipRect(DC, 0, 0, Client.Right, Client.Bottom);
    P->Perform(WM_ERASEBKGND, WPARAM(DC), 0);
    // A form's face is its background; other parents paint themselves, then their windowless
    // children, which always lie under windowed ones.
    if (!dynamic_cast<TCustomForm*>(P))
        P->PaintWindow(DC);
    P->PaintControls(DC, nullptr);
    RestoreDC(DC, Saved);
}

void TCustomEdit::WMEraseBkgnd(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    if (!DC)
        return;
    int Saved = SaveDC(DC);
    HBRUSH Brush = QueryColors(DC);
    if (Brush == GetStockObject(NULL_BRUSH) || Transparent()) {
        PaintParentBackground(DC);
    } else if (Brush) {
        RECT R = ClientRect();
        FillRect(DC, &R, Brush);
    }
    RestoreDC(DC, Saved);
    Message.Result = 1;
}

void TCustomEdit::WMPaint(TMessage& Message) {
    if (Message.WParam) {
        // Someone's DC with their background already in it.
        PaintText(reinterpret_cast<HDC>(Message.WParam), false);
        return;
    }
    if (!FHandle)
        return;
    PAINTSTRUCT PS;
    HDC DC = BeginPaint(FHandle, &PS);
    PaintText(DC, PS.fErase != FALSE);
    EndPaint(FHandle, &PS);
}

void TCustomEdit::PaintText(HDC DC, bool NotErased) {
    int Saved = SaveDC(DC);
    HBRUSH Brush = QueryColors(DC);
    COLORREF TextColor = GetTextColor(DC);
    bool Clear = Brush == GetStockObject(NULL_BRUSH) || Transparent();
    RECT Client = ClientRect();
    if (Clear) {
        if (NotErased)
            PaintParentBackground(DC);
    } else if (Brush) {
        FillRect(DC, &Client, Brush);
    }
    SelectObject(DC, Font()->Handle());
    SetBkMode(DC, TRANSPARENT);
    TRect F = FormatRect();
    IntersectClipRect(DC, F.Left, F.Top, F.Right, F.Bottom);
    const std::vector<TRow> Rs = Rows();
    int Lh = LineHeight();
    bool ShowSel = SelMin() != SelMax() && (Focused() || (EditStyle() & ES_NOHIDESEL));
    HBRUSH Highlight = GetSysColorBrush(COLOR_HIGHLIGHT);
    for (int I = FTopLine; I < int(Rs.size()); ++I) {
        int Y = F.Top + (I - FTopLine) * Lh;
        if (Y >= F.Bottom)
            break;
        const TRow& R = Rs[std::size_t(I)];
        int X0 = F.Left + RowOffset(R) - FScrollX;
        String S = ShownText(R.Start, R.Length);
        std::vector<int> Xs = Extents(R.Start, R.Length);
        SetTextColor(DC, TextColor);
        TextOutW(DC, X0, Y, S.c_str(), int(S.size()));
        if (!ShowSel)
            continue;
        int A = std::clamp(SelMin() - R.Start, 0, R.Length), B = std::clamp(SelMax() - R.Start, 0, R.Length);
        if (A >= B)
            continue;
        RECT Sel{X0 + Xs[std::size_t(A)], Y, X0 + Xs[std::size_t(B)], Y + Lh};
        FillRect(DC, &Sel, Highlight);
        SetTextColor(DC, ColorToRGB(clHighlightText));
        TextOutW(DC, X0 + Xs[std::size_t(A)], Y, S.c_str() + A, B - A);
    }
    if (FCaretShown && FCaretOn && Focused()) {
        TPoint P = CaretPos();
        PatBlt(DC, P.X, P.Y, 1, Lh, DSTINVERT);
    }
    RestoreDC(DC, Saved);
}

void TCustomEdit::ShowCaret(bool Show) {
    FCaretShown = Show;
    FCaretOn = true;
    if (!FHandle)
        return;
    if (Show)
        SetTimer(FHandle, CaretTimer, CaretBlinkMs, nullptr);
    else
        KillTimer(FHandle, CaretTimer);
    Invalidate();
}

void TCustomEdit::ResetBlink() {
    if (!FCaretShown || !FHandle)
        return;
    // The caret shows at once where it went and blinks from there.
    FCaretOn = true;
    SetTimer(FHandle, CaretTimer, CaretBlinkMs, nullptr);
}

// ---------------------------------------------------------------------------------------------
// Keyboard

bool TCustomEdit::EditKeyDown(WPARAM Key) {
    bool Shift = KeyHeld(VK_SHIFT), Ctrl = KeyHeld(VK_CONTROL);
    bool Multi = !HoldsOneLine();
    int Len = int(FText.size());
    const std::vector<TRow> Rs = Rows();
    auto RowMove = [&](int Delta) {
        int Row = RowOf(FCaret);
        int Target = std::clamp(Row + Delta, 0, int(Rs.size()) - 1);
        if (FGoalX < 0)
            FGoalX = XOfPos(FCaret) + RowOffset(Rs[std::size_t(Row)]);
        TRect F = FormatRect();
        int Goal = FGoalX;
        int Y = F.Top + (Target - FTopLine) * LineHeight();
        int Pos = PosFromPoint(F.Left + Goal - FScrollX, Y);
        SetSel(Shift ? FAnchor : Pos, Pos);
        FGoalX = Goal;
    };
    switch (Key) {
    case VK_LEFT:
        if (!Shift && !Ctrl && FAnchor != FCaret)
            MoveCaret(SelMin(), false);
        else
            MoveCaret(Ctrl ? WordLeft(FCaret) : PrevPos(FCaret), Shift);
        break;
    case VK_RIGHT:
        if (!Shift && !Ctrl && FAnchor != FCaret)
            MoveCaret(SelMax(), false);
        else
            MoveCaret(Ctrl ? WordRight(FCaret) : NextPos(FCaret), Shift);
        break;
    case VK_HOME:
        MoveCaret(Ctrl || !Multi ? 0 : Rs[std::size_t(RowOf(FCaret))].Start, Shift);
        break;
    case VK_END:
        if (Ctrl || !Multi) {
            MoveCaret(Len, Shift);
        } else {
            const TRow& R = Rs[std::size_t(RowOf(FCaret))];
            bool Wrapped = R.Next == R.Start + R.Length && R.Next < Len;
            MoveCaret(R.Start + R.Length - (Wrapped && R.Length > 0 ? 1 : 0), Shift);
        }
        break;
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT: {
        if (!Multi)
            return false;
        int Page = std::max(VisibleLines() - 1, 1);
        int Delta = Key == VK_UP ? -1 : Key == VK_DOWN ? 1 : Key == VK_PRIOR ? -Page : Page;
        RowMove(Delta);
        return true;
    }
    case VK_DELETE:
        if (Shift) {
            SendMessageW(FHandle, WM_CUT, 0, 0);
            break;
        }
        if (EditStyle() & ES_READONLY)
            break;
        if (FAnchor == FCaret)
            SetSel(FCaret, Ctrl ? WordRight(FCaret) : NextPos(FCaret), false);
        ReplaceSelection(String(), true, true);
        break;
    case VK_INSERT:
        if (Ctrl)
            SendMessageW(FHandle, WM_COPY, 0, 0);
        else if (Shift)
            SendMessageW(FHandle, WM_PASTE, 0, 0);
        else
            return false;
        break;
    case 'A':
    case 'C':
    case 'V':
    case 'X':
    case 'Z':
        if (!Ctrl || KeyHeld(VK_MENU))
            return false;
        if (Key == 'A')
            SetSel(0, Len);
        else
            SendMessageW(FHandle, Key == 'C' ? WM_COPY : Key == 'V' ? WM_PASTE : Key == 'X' ? WM_CUT : WM_UNDO, 0, 0);
        return true;
    default:
        return false;
    }
    if (Key != VK_UP && Key != VK_DOWN && Key != VK_PRIOR && Key != VK_NEXT)
        FGoalX = -1;
    return true;
}

bool TCustomEdit::EditChar(Char C) {
    bool ReadOnly = EditStyle() & ES_READONLY;
    bool Multi = !HoldsOneLine();
    String Insert;
    if (C == 8 || C == 0x7F) {
        // Backspace, and Ctrl+Backspace for the word before the caret.
        if (ReadOnly) {
            MessageBeep(0);
            return true;
        }
        if (FAnchor == FCaret)
            SetSel(FCaret, C == 0x7F ? WordLeft(FCaret) : PrevPos(FCaret), false);
        ReplaceSelection(String(), true, true);
        return true;
    }
    if (C == u'\r') {
        // Enter never types into a window that holds one line.
        if (!Multi)
            return true;
        Insert = u"\r\n";
    } else if (C == u'\t') {
        if (!Multi)
            return true;
        Insert = u"\t";
    } else if (C < 32) {
        // Control characters, the clipboard keys' among them, type nothing.
        return true;
    } else {
        Insert = String(1, C);
    }
    if (ReadOnly) {
        MessageBeep(0);
        return true;
    }
    if (!ReplaceSelection(Insert, true, true, true))
        MessageBeep(0);
    return true;
}

// ---------------------------------------------------------------------------------------------
// The window's procedure

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_PAINT:
        WMPaint(Message);
        return;
    case WM_ERASEBKGND:
        WMEraseBkgnd(Message);
        return;
    case WM_SETTEXT:
        WMSetText(Message);
        return;
    case CM_TEXTCHANGED:
        CMTextChanged(Message);
        return;
    case CM_FONTCHANGED:
        CMFontChanged(Message);
        return;
    case CM_COLORCHANGED:
    case CM_ENABLEDCHANGED:
        CMColorChanged(Message);
        return;
    case CN_COMMAND:
        CNCommand(Message);
        return;
    case CN_CTLCOLOREDIT:
    case CN_CTLCOLORSTATIC:
        CNCtlColor(Message);
        return;
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
        WMLButtonDown(Message);
        return;
    }
    TWinControl::Dispatch(Message);
}

void TCustomEdit::WMSetText(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    String Old = FText;
    auto* P = reinterpret_cast<const WCHAR*>(Message.LParam);
    String Clean = Sanitize(P ? String(P) : String());
    TMessage M = Message;
    M.LParam = LPARAM(Clean.c_str());
    TWinControl::Dispatch(M);
    Message.Result = M.Result;
    if (Alive.expired())
        return;
    FAnchor = FCaret = 0;
    FScrollX = 0;
    FTopLine = 0;
    FGoalX = -1;
    FCanUndo = false;
    FTypingRun = false;
    FUndoText.clear();
    FModified = false;
    TextChanged(0);
    Invalidate();
    if (FText != Old)
        NotifyChange();
}

void TCustomEdit::CMTextChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    // Without a window no EN_CHANGE comes: the change is told here.
    if (!FHandle && !Alive.expired()) {
        FText = Sanitize(FText);
        FAnchor = FCaret = 0;
        InvalidateLayout();
        Change();
    }
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (Alive.expired())
        return;
    if (FHandle)
        SendMessageW(FHandle, WM_SETFONT, WPARAM(Font()->Handle()), 1);
    AdjustSize();
}

void TCustomEdit::CMColorChanged(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    TWinControl::Dispatch(Message);
    if (!Alive.expired())
        Invalidate();
}

void TCustomEdit::CNCommand(TMessage& Message) {
    if (HIWORD(Message.WParam) == EN_CHANGE) {
        FChangeTold = true;
        Change();
    }
}

void TCustomEdit::CNCtlColor(TMessage& Message) {
    HDC DC = reinterpret_cast<HDC>(Message.WParam);
    SetTextColor(DC, ColorToRGB(Enabled() ? Font()->Color() : clGrayText));
    SetBkColor(DC, ColorToRGB(Color()));
    if (!FBrush || FBrushColor != Color()) {
        if (FBrush)
            DeleteObject(FBrush);
        FBrush = CreateSolidBrush(ColorToRGB(Color()));
        FBrushColor = Color();
    }
    Message.Result = LRESULT(FBrush);
}

void TCustomEdit::WMLButtonDown(TMessage& Message) {
    std::weak_ptr<char> Alive = AliveToken();
    FClickFocus = true;
    TWinControl::Dispatch(Message);
    if (!Alive.expired())
        FClickFocus = false;
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
    if (!FHandle || !NativeWndProc(Message))
        TWinControl::DefaultHandler(Message);
}

namespace {

// A query's answer: the message's result, taken.
bool Answered(TMessage& Message, LRESULT Result) {
    Message.Result = Result;
    return true;
}

} // namespace

bool TCustomEdit::NativeWndProc(TMessage& Message) {
    const int Len = int(FText.size());
    switch (Message.Msg) {
    case WM_GETTEXT:
        return EdGetText(Message);
    case WM_GETTEXTLENGTH:
        return Answered(Message, Len);
    case WM_GETDLGCODE:
        return EdGetDlgCode(Message);
    case WM_KEYDOWN:
        return EdKeyDown(Message);
    case WM_CHAR:
        return EdChar(Message);
    case WM_SETFOCUS:
        return EdSetFocus();
    case WM_KILLFOCUS:
        return EdKillFocus();
    case WM_TIMER:
        return EdTimer(Message);
    case WM_LBUTTONDOWN:
        return EdLButtonDown(Message);
    case WM_LBUTTONDBLCLK:
        return EdLButtonDblClk(Message);
    case WM_MOUSEMOVE:
        return EdMouseMove(Message);
    case WM_LBUTTONUP:
        return EdLButtonUp();
    case WM_CAPTURECHANGED:
        FDragging = false;
        return false;
    case WM_MOUSEWHEEL:
        return EdMouseWheel(Message);
    case WM_VSCROLL:
    case EM_SCROLL:
        return EdVScroll(Message);
    case WM_HSCROLL:
        return EdHScroll(Message);
    case WM_SIZE:
        return EdSize();
    case WM_SETFONT:
        return EdSetFont(Message);
    case WM_GETFONT:
        return Answered(Message, LRESULT(Font()->Handle()));
    case WM_COPY:
        return EdCopy();
    case WM_CUT:
        return EdCut();
    case WM_CLEAR:
        return EdClear();
    case WM_PASTE:
        return EdPaste();
    case WM_UNDO:
    case EM_UNDO:
        return EdUndo(Message);
    case EM_CANUNDO:
        return Answered(Message, FCanUndo);
    case EM_EMPTYUNDOBUFFER:
        return EdEmptyUndoBuffer();
    case EM_GETSEL:
        return EdGetSel(Message);
    case EM_SETSEL:
        return EdSetSel(Message);
    case EM_REPLACESEL:
        return EdReplaceSel(Message);
    case EM_LIMITTEXT:
        FMaxLength = int(Message.WParam);
        return true;
    case EM_GETLIMITTEXT:
        return Answered(Message, FMaxLength > 0 ? FMaxLength : 0x7FFFFFFE);
    case EM_SETREADONLY:
        return EdSetReadOnly(Message);
    case EM_SETPASSWORDCHAR:
        return EdSetPasswordChar(Message);
    case EM_GETPASSWORDCHAR:
        return Answered(Message, (EditStyle() & ES_PASSWORD) ? (FPasswordChar ? FPasswordChar : u'*') : 0);
    case EM_GETMODIFY:
        return Answered(Message, FModified);
    case EM_SETMODIFY:
        FModified = Message.WParam != 0;
        return true;
    case EM_SETMARGINS:
        return EdSetMargins(Message);
    case EM_GETMARGINS:
        return Answered(Message, LRESULT(MAKELONG(WORD(FLeftMargin), WORD(FRightMargin))));
    case EM_SETRECT:
    case EM_SETRECTNP:
        return EdSetRect(Message);
    case EM_GETRECT:
        return EdGetRect(Message);
    case EM_SCROLLCARET:
        return EdScrollCaret();
    case EM_LINESCROLL:
        return EdLineScroll(Message);
    case EM_GETLINECOUNT:
        return Answered(Message, LRESULT(Rows().size()));
    case EM_GETFIRSTVISIBLELINE:
        return Answered(Message, HoldsOneLine() ? PosFromPoint(FormatRect().Left, FormatRect().Top) : FTopLine);
    case EM_LINEINDEX:
        return EdLineIndex(Message);
    case EM_LINEFROMCHAR:
        return Answered(Message, RowOf(int(Message.WParam) < 0 ? SelMin() : std::min(int(Message.WParam), Len)));
    case EM_LINELENGTH:
        return EdLineLength(Message);
    case EM_GETLINE:
        return EdGetLine(Message);
    case EM_POSFROMCHAR:
        return EdPosFromChar(Message);
    case EM_CHARFROMPOS:
        return EdCharFromPos(Message);
    }
    return false;
}

bool TCustomEdit::EdGetText(TMessage& Message) {
    int Len = int(FText.size());
    // The edit keeps its text itself, as the platform's edit does.
    auto* Buf = reinterpret_cast<WCHAR*>(Message.LParam);
    int Max = int(Message.WParam);
    Message.Result = 0;
    if (!Buf || Max <= 0)
        return true;
    int N = std::min(Len, Max - 1);
    std::copy_n(FText.begin(), N, Buf);
    Buf[N] = 0;
    Message.Result = N;
    return true;
}

bool TCustomEdit::EdGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTCHARS | DLGC_HASSETSEL | DLGC_WANTARROWS;
    // A multi-line window wants Enter and Escape even when it shows one line: the skinned edits
    // take them as characters and pass them to their form themselves.
    if (EditStyle() & ES_MULTILINE)
        Message.Result |= DLGC_WANTALLKEYS;
    return true;
}

bool TCustomEdit::EdKeyDown(TMessage& Message) {
    EditKeyDown(Message.WParam);
    Message.Result = 0;
    return true;
}

bool TCustomEdit::EdChar(TMessage& Message) {
    EditChar(Char(Message.WParam));
    Message.Result = 0;
    return true;
}

bool TCustomEdit::EdSetFocus() {
    ShowCaret(true);
    if (HWND P = GetParent(FHandle))
        SendMessageW(P, WM_COMMAND, MAKEWPARAM(GetWindowLongW(FHandle, GWL_ID), EN_SETFOCUS), LPARAM(FHandle));
    return true;
}

bool TCustomEdit::EdKillFocus() {
    FDragging = false;
    ShowCaret(false);
    if (HWND P = GetParent(FHandle))
        SendMessageW(P, WM_COMMAND, MAKEWPARAM(GetWindowLongW(FHandle, GWL_ID), EN_KILLFOCUS), LPARAM(FHandle));
    return true;
}

bool TCustomEdit::EdTimer(TMessage& Message) {
    if (Message.WParam != CaretTimer)
        return false;
    FCaretOn = !FCaretOn;
    Invalidate();
    return true;
}

bool TCustomEdit::EdLButtonDown(TMessage& Message) {
    int Pos = PosFromPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    FGoalX = -1;
    SetSel((Message.WParam & MK_SHIFT) ? FAnchor : Pos, Pos);
    FDragging = true;
    FWordDrag = false;
    SetCapture(FHandle);
    return true;
}

bool TCustomEdit::EdLButtonDblClk(TMessage& Message) {
    SelectWordAt(PosFromPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
    FDragging = true;
    FWordDrag = true;
    SetCapture(FHandle);
    return true;
}

bool TCustomEdit::EdMouseMove(TMessage& Message) {
    if (FDragging && (Message.WParam & MK_LBUTTON)) {
        int Pos = PosFromPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
        if (FWordDrag)
            Pos = Pos < FAnchor ? WordLeft(Pos) : Pos > FCaret ? WordRight(Pos) : FCaret;
        MoveCaret(Pos, true);
    }
    return false;
}

bool TCustomEdit::EdLButtonUp() {
    if (FDragging) {
        FDragging = false;
        if (GetCapture() == FHandle)
            ReleaseCapture();
    }
    return true;
}

bool TCustomEdit::EdMouseWheel(TMessage& Message) {
    if (HoldsOneLine())
        return false;
    FTopLine -= GET_WHEEL_DELTA_WPARAM(Message.WParam) / WHEEL_DELTA * WheelLines;
    ClampScroll();
    Invalidate();
    Message.Result = 0;
    return true;
}

bool TCustomEdit::EdVScroll(TMessage& Message) {
    if (HoldsOneLine())
        return Message.Msg == EM_SCROLL;
    int Page = std::max(VisibleLines() - 1, 1);
    int Old = FTopLine;
    switch (LOWORD(Message.WParam)) {
    case ScrollLineBack:
        FTopLine -= 1;
        break;
    case ScrollLineOn:
        FTopLine += 1;
        break;
    case ScrollPageBack:
        FTopLine -= Page;
        break;
    case ScrollPageOn:
        FTopLine += Page;
        break;
    case ScrollStart:
        FTopLine = 0;
        break;
    case ScrollEnd:
        FTopLine = int(Rows().size());
        break;
    case ScrollThumbTrack:
    case ScrollThumbPosition:
        FTopLine = HIWORD(Message.WParam);
        break;
    }
    ClampScroll();
    Invalidate();
    Message.Result = Message.Msg == EM_SCROLL ? MAKELONG(WORD(FTopLine - Old), 1) : 0;
    return true;
}

bool TCustomEdit::EdHScroll(TMessage& Message) {
    TRect F = FormatRect();
    int Step = std::max(LineHeight() / 2, 1), Page = std::max(F.Right - F.Left, 1);
    switch (LOWORD(Message.WParam)) {
    case ScrollLineBack:
        FScrollX -= Step;
        break;
    case ScrollLineOn:
        FScrollX += Step;
        break;
    case ScrollPageBack:
        FScrollX -= Page;
        break;
    case ScrollPageOn:
        FScrollX += Page;
        break;
    case ScrollStart:
        FScrollX = 0;
        break;
    case ScrollEnd:
        FScrollX = INT_MAX / 2;
        break;
    case ScrollThumbTrack:
    case ScrollThumbPosition:
        FScrollX = HIWORD(Message.WParam);
        break;
    }
    ClampScroll();
    Invalidate();
    return true;
}

bool TCustomEdit::EdSize() {
    InvalidateLayout();
    ClampScroll();
    Invalidate();
    return false;
}

bool TCustomEdit::EdSetFont(TMessage& Message) {
    FLeftMargin = FRightMargin = DefaultMargin;
    InvalidateLayout();
    ClampScroll();
    if (Message.LParam)
        Invalidate();
    return true;
}

bool TCustomEdit::EdCopy() {
    // A password is never handed out.
    if (SelMin() != SelMax() && !(EditStyle() & ES_PASSWORD))
        SetClipboardText(SelText());
    return true;
}

bool TCustomEdit::EdCut() {
    bool ReadOnly = EditStyle() & ES_READONLY;
    if (ReadOnly || SelMin() == SelMax())
        return true;
    if (!(EditStyle() & ES_PASSWORD))
        SetClipboardText(SelText());
    ReplaceSelection(String(), true, true);
    return true;
}

bool TCustomEdit::EdClear() {
    bool ReadOnly = EditStyle() & ES_READONLY;
    if (!ReadOnly)
        ReplaceSelection(String(), true, true);
    return true;
}

bool TCustomEdit::EdPaste() {
    bool ReadOnly = EditStyle() & ES_READONLY;
    if (!ReadOnly && !GetClipboardText().empty())
        if (!ReplaceSelection(GetClipboardText(), true, true))
            MessageBeep(0);
    return true;
}

bool TCustomEdit::EdUndo(TMessage& Message) {
    bool ReadOnly = EditStyle() & ES_READONLY;
    if (!ReadOnly)
        DoUndo();
    Message.Result = FCanUndo;
    return true;
}

bool TCustomEdit::EdEmptyUndoBuffer() {
    FCanUndo = false;
    FTypingRun = false;
    FUndoText.clear();
    return true;
}

bool TCustomEdit::EdGetSel(TMessage& Message) {
    if (Message.WParam)
        *reinterpret_cast<DWORD*>(Message.WParam) = DWORD(SelMin());
    if (Message.LParam)
        *reinterpret_cast<DWORD*>(Message.LParam) = DWORD(SelMax());
    Message.Result = LRESULT(MAKELONG(WORD(SelMin()), WORD(SelMax())));
    return true;
}

bool TCustomEdit::EdSetSel(TMessage& Message) {
    int Len = int(FText.size());
    int Start = int(Message.WParam), End = int(Message.LParam);
    if (Start == -1) {
        SetSel(FCaret, FCaret);
        return true;
    }
    if (End < 0 || End > Len)
        End = Len;
    FGoalX = -1;
    SetSel(std::clamp(Start, 0, Len), End);
    return true;
}

bool TCustomEdit::EdReplaceSel(TMessage& Message) {
    auto* P = reinterpret_cast<const WCHAR*>(Message.LParam);
    ReplaceSelection(P ? String(P) : String(), false, Message.WParam != 0);
    return true;
}

bool TCustomEdit::EdSetReadOnly(TMessage& Message) {
    FReadOnly = Message.WParam != 0;
    SetWindowLongW(FHandle, GWL_STYLE, LONG(FReadOnly ? EditStyle() | ES_READONLY : EditStyle() & ~ES_READONLY));
    Invalidate();
    Message.Result = 1;
    return true;
}

bool TCustomEdit::EdSetPasswordChar(TMessage& Message) {
    FPasswordChar = Char(Message.WParam);
    SetWindowLongW(FHandle, GWL_STYLE, LONG(FPasswordChar ? EditStyle() | ES_PASSWORD : EditStyle() & ~ES_PASSWORD));
    InvalidateLayout();
    ScrollCaretIntoView();
    Invalidate();
    return true;
}

bool TCustomEdit::EdSetMargins(TMessage& Message) {
    if (Message.WParam == EC_USEFONTINFO) {
        FLeftMargin = FRightMargin = DefaultMargin;
    } else {
        if (Message.WParam & EC_LEFTMARGIN)
            FLeftMargin = LOWORD(Message.LParam);
        if (Message.WParam & EC_RIGHTMARGIN)
            FRightMargin = HIWORD(Message.LParam);
    }
    FHasFormatRect = false;
    InvalidateLayout();
    ScrollCaretIntoView();
    Invalidate();
    return true;
}

bool TCustomEdit::EdSetRect(TMessage& Message) {
    if (auto* R = reinterpret_cast<const RECT*>(Message.LParam)) {
        FHasFormatRect = true;
        FFormatRect = *R;
    } else {
        FHasFormatRect = false;
    }
    InvalidateLayout();
    ScrollCaretIntoView();
    if (Message.Msg == EM_SETRECT)
        Invalidate();
    return true;
}

bool TCustomEdit::EdGetRect(TMessage& Message) {
    if (auto* R = reinterpret_cast<RECT*>(Message.LParam))
        *R = FormatRect();
    return true;
}

bool TCustomEdit::EdScrollCaret() {
    ScrollCaretIntoView();
    Invalidate();
    return true;
}

bool TCustomEdit::EdLineScroll(TMessage& Message) {
    TEXTMETRICW Tm;
    GetTextMetricsW(MeasureDC(), &Tm);
    FScrollX += int(Message.WParam) * int(Tm.tmAveCharWidth);
    FTopLine += int(Message.LParam);
    ClampScroll();
    Invalidate();
    Message.Result = 1;
    return true;
}

bool TCustomEdit::EdLineIndex(TMessage& Message) {
    int Line = int(Message.WParam) < 0 ? RowOf(FCaret) : int(Message.WParam);
    Message.Result = Line < int(Rows().size()) ? Rows()[std::size_t(Line)].Start : -1;
    return true;
}

bool TCustomEdit::EdLineLength(TMessage& Message) {
    int Len = int(FText.size());
    int Pos = int(Message.WParam) < 0 ? FCaret : std::min(int(Message.WParam), Len);
    Message.Result = Rows()[std::size_t(RowOf(Pos))].Length;
    return true;
}

bool TCustomEdit::EdGetLine(TMessage& Message) {
    int Line = int(Message.WParam);
    auto* Buf = reinterpret_cast<WCHAR*>(Message.LParam);
    Message.Result = 0;
    if (!Buf || Line < 0 || Line >= int(Rows().size()))
        return true;
    const TRow& R = Rows()[std::size_t(Line)];
    int N = std::min<int>(R.Length, *reinterpret_cast<WORD*>(Buf));
    std::copy_n(FText.begin() + R.Start, N, Buf);
    Message.Result = N;
    return true;
}

bool TCustomEdit::EdPosFromChar(TMessage& Message) {
    int Len = int(FText.size());
    int Pos = std::clamp(int(Message.WParam), 0, Len);
    const TRow& R = Rows()[std::size_t(RowOf(Pos))];
    TRect F = FormatRect();
    int X = F.Left + RowOffset(R) + XOfPos(Pos) - FScrollX;
    int Y = F.Top + (RowOf(Pos) - FTopLine) * LineHeight();
    Message.Result = LRESULT(MAKELONG(WORD(X), WORD(Y)));
    return true;
}

bool TCustomEdit::EdCharFromPos(TMessage& Message) {
    int Pos = PosFromPoint(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    Message.Result = LRESULT(MAKELONG(WORD(Pos), WORD(RowOf(Pos))));
    return true;
}

// ---------------------------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
    SetAutoSize(false);
    SetBounds(0, 0, 185, 89);
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::CreateParams(TCreateParams& Params) {
    TCustomEdit::CreateParams(Params);
    Params.Style |= ES_MULTILINE | ES_AUTOVSCROLL;
    if (FWordWrap)
        Params.Style &= ~ES_AUTOHSCROLL;
    if (FScrollBars == ssVertical || FScrollBars == ssBoth)
        Params.Style |= WS_VSCROLL;
    if (FScrollBars == ssHorizontal || FScrollBars == ssBoth)
        Params.Style |= WS_HSCROLL;
}

void TCustomMemo::SetWordWrap(bool Value) {
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    if (Value == FScrollBars)
        return;
    FScrollBars = Value;
    RecreateWnd();
}

TPoint TCustomMemo::CaretPosition() {
    // Column and line in the text's own lines, not in the wrapped rows.
    const String& T = Text();
    int Caret = CaretIndex(), Line = 0, LineStart = 0;
    for (std::size_t I = T.find(u"\r\n"); I != String::npos && int(I) + 2 <= Caret; I = T.find(u"\r\n", I + 2)) {
        ++Line;
        LineStart = int(I) + 2;
    }
    return TPoint{Caret - LineStart, Line};
}

void TCustomMemo::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_GETDLGCODE:
        WMGetDlgCode(Message);
        return;
    }
    TCustomEdit::Dispatch(Message);
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    TCustomEdit::Dispatch(Message);
    if (FWantTabs)
        Message.Result |= DLGC_WANTTAB;
    else
        Message.Result &= ~DLGC_WANTTAB;
    if (!FWantReturns)
        Message.Result &= ~DLGC_WANTALLKEYS;
}
