// Text output and measuring: TextOut, ExtTextOut, TabbedTextOut, extents, metrics and DrawText.
//
// Glyphs are grey-scale coverage blended in the text colour. DrawText lays out lines (hard breaks, word breaks at
// blanks, tabs every eight average character widths), "&" prefixes, ellipses and alignment; a word wider than the
// rectangle stays whole on its own line. Reading order is kept as stored: DT_RTLREADING and ETO_RTLREADING are
// accepted, and text is not reordered.
#include "platform/gdi/GdiFonts.h"
#include "platform/gdi/GdiInternal.h"

#include <algorithm>

using namespace gdi;

namespace {

const LOGFONTW& LogOf(const DC& dc) {
    static const LOGFONTW Fallback = [] {
        LOGFONTW Lf;
        Lf.lfHeight = -11;
        const char16_t* N = u"MS Sans Serif";
        for (int I = 0; N[I]; ++I)
            Lf.lfFaceName[I] = N[I];
        return Lf;
    }();
    return dc.S.SelFont.Obj ? dc.S.SelFont.Obj->Log : Fallback;
}

int Length(LPCWSTR s, int n) {
    if (!s)
        return 0;
    if (n >= 0)
        return n;
    int Len = 0;
    while (s[Len])
        ++Len;
    return Len;
}

struct RunOptions {
    const TRect* Clip = nullptr;                  // surface coordinates
    const int* Dx = nullptr;                      // per UTF-16 unit
    const std::vector<int>* Underlined = nullptr; // code point indexes with a prefix underline
    int TabWidth = 0;                             // > 0: tabs advance to the next multiple from the run start
    int TabOrigin = 0;
};

// Advances of the code points (tabs expanded when asked).
std::vector<int> Advances(FontInstance& fi, const std::vector<CodePoint>& cps, const RunOptions& o, int startX = 0) {
    std::vector<int> Adv(cps.size());
    int X = startX;
    for (std::size_t I = 0; I < cps.size(); ++I) {
        int A;
        if (o.Dx) {
            A = o.Dx[cps[I].Index];
            if (cps[I].Cp >= 0x10000)
                A += o.Dx[cps[I].Index + 1];
        } else if (cps[I].Cp == U'\t' && o.TabWidth > 0) {
            int Rel = X - o.TabOrigin;
            A = (Rel / o.TabWidth + 1) * o.TabWidth - Rel;
        } else {
            A = fi.GlyphOf(cps[I].Cp).Advance;
        }
        Adv[I] = A;
        X += A;
    }
    return Adv;
}

int Sum(const std::vector<int>& v) {
    int S = 0;
    for (int A : v)
        S += A;
    return S;
}

void FillSolid(DC& dc, const TRect& r, COLORREF c, const TRect* clip) {
    TRect Rr = r;
    if (clip && !IntersectRect(Rr, r, *clip))
        return;
    BrushSource Bs;
    Bs.Null = false;
    Bs.Color = PixelFromColor(c);
    FillSurfaceRect(dc, Rr, Bs, 0xF0);
}

// Draws code points with the pen at surface (x, top of the cell); returns the width.
int DrawRun(DC& dc, FontInstance& fi, const std::vector<CodePoint>& cps, int x, int top, const RunOptions& o) {
    Bitmap* t = dc.Target();
    std::vector<int> Adv = Advances(fi, cps, o);
    int Width = Sum(Adv);
    if (!t)
        return Width;
    Pixel color = PixelFromColor(dc.S.TextColor);
    int Pen = x;
    for (std::size_t I = 0; I < cps.size(); ++I) {
        const Glyph& G = fi.GlyphOf(cps[I].Cp);
        int gx = Pen + G.Left, Gy = top + G.Top;
        for (int Row = 0; Row < G.Height; ++Row) {
            int sy = Gy + Row;
            if (o.Clip && (sy < o.Clip->Top || sy >= o.Clip->Bottom))
                continue;
            int X0 = gx, X1 = gx + G.Width;
            if (o.Clip) {
                X0 = std::max(X0, o.Clip->Left);
                X1 = std::min(X1, o.Clip->Right);
            }
            const std::uint8_t* cov = G.Coverage.data() + std::size_t(Row) * G.Width;
            ClipSpan(dc, sy, X0, X1, [&](int a, int b) {
                for (int Sx = a; Sx < b; ++Sx)
                    BlendCoverage(*t, Sx, sy, color, cov[Sx - gx]);
            });
        }
        if (o.Underlined && std::find(o.Underlined->begin(), o.Underlined->end(), int(I)) != o.Underlined->end())
            FillSolid(dc, {Pen, top + fi.UnderlineOffset(), Pen + Adv[I], top + fi.UnderlineOffset() + 1},
                      dc.S.TextColor, o.Clip);
        Pen += Adv[I];
    }
    const LOGFONTW& Lf = fi.Log();
    int Th = fi.LineThickness();
    if (Lf.lfUnderline)
        FillSolid(dc, {x, top + fi.UnderlineOffset(), x + Width, top + fi.UnderlineOffset() + Th}, dc.S.TextColor,
                  o.Clip);
    if (Lf.lfStrikeOut)
        FillSolid(dc, {x, top + fi.StrikeOffset(), x + Width, top + fi.StrikeOffset() + Th}, dc.S.TextColor, o.Clip);
    return Width;
}

TRect Surf(const DC& dc, const RECT& r) {
    return {r.Left + dc.OffX(), r.Top + dc.OffY(), r.Right + dc.OffX(), r.Bottom + dc.OffY()};
}

} // namespace

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* lprect, LPCWSTR s, UINT c, const int* lpDx) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    std::lock_guard<std::mutex> Lock(FontLock());
    FontInstance& Fi = InstanceFor(LogOf(*Dc));
    const TEXTMETRICW& Tm = Fi.Metrics();
    auto Cps = Decode(s ? s : u"", s ? int(c) : 0);
    RunOptions O;
    O.Dx = lpDx;
    int W = Sum(Advances(Fi, Cps, O));
    UINT Align = Dc->S.TextAlign;
    if (Align & TA_UPDATECP) {
        x = Dc->S.CurPos.X;
        y = Dc->S.CurPos.Y;
    }
    int Left = x;
    if ((Align & TA_CENTER) == TA_CENTER)
        Left = x - W / 2;
    else if (Align & TA_RIGHT)
        Left = x - W;
    int Top = y;
    if ((Align & TA_BASELINE) == TA_BASELINE)
        Top = y - Tm.tmAscent;
    else if (Align & TA_BOTTOM)
        Top = y - Tm.tmHeight;
    if (Align & TA_UPDATECP)
        Dc->S.CurPos.X = (Align & TA_RIGHT) && (Align & TA_CENTER) != TA_CENTER ? Left : Left + W;
    TRect ClipRect;
    if (lprect) {
        ClipRect = Surf(*Dc, *lprect);
        if (options & ETO_OPAQUE)
            FillSolid(*Dc, ClipRect, Dc->S.BkColor, nullptr);
        if (options & ETO_CLIPPED)
            O.Clip = &ClipRect;
    }
    int Sx = Left + Dc->OffX(), Sy = Top + Dc->OffY();
    if (Dc->S.BkMode == OPAQUE && !Cps.empty())
        FillSolid(*Dc, {Sx, Sy, Sx + W, Sy + Tm.tmHeight}, Dc->S.BkColor, O.Clip);
    DrawRun(*Dc, Fi, Cps, Sx, Sy, O);
    return true;
}

BOOL TextOutW(HDC hdc, int x, int y, LPCWSTR s, int c) {
    return ExtTextOutW(hdc, x, y, 0, nullptr, s, UINT(std::max(0, c)), nullptr);
}

namespace {

// Tab stops: none given -> every eight average widths; one -> every that many pixels; more -> the positions,
// then the last interval repeated.
int NextTab(int x, int origin, int n, const int* stops, int ave) {
    int Rel = x - origin;
    if (n <= 0 || !stops) {
        int W = 8 * ave;
        return origin + (Rel / W + 1) * W;
    }
    if (n == 1) {
        int W = std::max(1, stops[0]);
        return origin + (Rel / W + 1) * W;
    }
    for (int I = 0; I < n; ++I)
        if (stops[I] > Rel)
            return origin + stops[I];
    int Last = std::max(1, stops[n - 1] - stops[n - 2]);
    int P = stops[n - 1];
    while (P <= Rel)
        P += Last;
    return origin + P;
}

} // namespace

LONG TabbedTextOutW(HDC hdc, int x, int y, LPCWSTR s, int chCount, int nTabPositions, const int* stops,
                    int nTabOrigin) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return 0;
    int N = Length(s, chCount);
    int Pen = x, Height;
    {
        std::lock_guard<std::mutex> Lock(FontLock());
        Height = InstanceFor(LogOf(*Dc)).Metrics().tmHeight;
    }
    int SegStart = 0;
    for (int I = 0; I <= N; ++I) {
        if (I < N && s[I] != u'\t')
            continue;
        int Len = I - SegStart;
        SIZE Sz{};
        if (Len > 0) {
            GetTextExtentPoint32W(hdc, s + SegStart, Len, &Sz);
            TextOutW(hdc, Pen, y, s + SegStart, Len);
            Pen += Sz.cx;
        }
        if (I < N) {
            int Ave;
            {
                std::lock_guard<std::mutex> Lock(FontLock());
                Ave = InstanceFor(LogOf(*Dc)).Metrics().tmAveCharWidth;
            }
            Pen = NextTab(Pen, nTabOrigin, nTabPositions, stops, Ave);
        }
        SegStart = I + 1;
    }
    return LONG(MAKELONG(WORD(Pen - x), WORD(Height)));
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR s, int c, SIZE* sz) {
    auto Dc = FindDC(hdc);
    if (!Dc || !sz)
        return false;
    std::lock_guard<std::mutex> Lock(FontLock());
    FontInstance& Fi = InstanceFor(LogOf(*Dc));
    auto Cps = Decode(s ? s : u"", s ? std::max(0, c) : 0);
    sz->cx = Sum(Advances(Fi, Cps, RunOptions{}));
    sz->cy = Fi.Metrics().tmHeight;
    return true;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR s, int n, int maxExtent, int* fit, int* dx, SIZE* size) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return false;
    std::lock_guard<std::mutex> Lock(FontLock());
    FontInstance& Fi = InstanceFor(LogOf(*Dc));
    auto Cps = Decode(s ? s : u"", s ? std::max(0, n) : 0);
    auto Adv = Advances(Fi, Cps, RunOptions{});
    int X = 0, Fitted = 0;
    for (std::size_t I = 0; I < Cps.size(); ++I) {
        X += Adv[I];
        int Units = Cps[I].Cp >= 0x10000 ? 2 : 1;
        if (dx)
            for (int U = 0; U < Units; ++U)
                dx[Cps[I].Index + U] = X;
        if (X <= maxExtent || maxExtent < 0)
            Fitted = Cps[I].Index + Units;
    }
    if (fit)
        *fit = Fitted;
    if (size)
        *size = {X, Fi.Metrics().tmHeight};
    return true;
}

BOOL GetTextMetricsW(HDC hdc, TEXTMETRICW* tm) {
    auto Dc = FindDC(hdc);
    if (!Dc || !tm)
        return false;
    std::lock_guard<std::mutex> Lock(FontLock());
    *tm = InstanceFor(LogOf(*Dc)).Metrics();
    return true;
}

int GetTextFaceW(HDC hdc, int c, LPWSTR name) {
    auto Dc = FindDC(hdc);
    if (!Dc)
        return 0;
    const LOGFONTW& Lf = LogOf(*Dc);
    int Len = 0;
    while (Len < LF_FACESIZE && Lf.lfFaceName[Len])
        ++Len;
    if (!name)
        return Len + 1;
    int N = std::min(Len, c - 1);
    for (int I = 0; I < N; ++I)
        name[I] = Lf.lfFaceName[I];
    if (c > 0)
        name[std::max(0, N)] = 0;
    return N;
}

// ---- DrawText ----

namespace {

struct Line {
    std::u16string Text;
    std::vector<int> Underlined; // code point indexes
    int Width = 0;
};

struct Layout {
    FontInstance* Fi;
    int TabWidth;
    bool Tabs;

    int Measure(const std::u16string& s) const { return MeasureFrom(s.data(), int(s.size()), 0); }
    // Width of n units placed at startX of a line (tab stops count from the line's start).
    int MeasureFrom(const char16_t* s, int n, int startX) const {
        RunOptions O;
        O.TabWidth = Tabs ? TabWidth : 0;
        return Sum(Advances(*Fi, Decode(s, n), O, startX));
    }
};

// Removes "&" prefixes: "&&" is one "&", "&x" underlines x.
void StripPrefixes(const std::u16string& in, std::u16string& out, std::vector<int>& marks) {
    for (std::size_t I = 0; I < in.size(); ++I) {
        if (in[I] == u'&') {
            if (I + 1 < in.size() && in[I + 1] == u'&') {
                out += u'&';
                ++I;
                continue;
            }
            if (I + 1 < in.size())
                marks.push_back(int(out.size()));
            continue;
        }
        out += in[I];
    }
}

// Marks are unit positions in the whole text; each line gets those that fall within it, as code point indexes.
void AssignMarks(Line& line, int start, const std::vector<int>& marks) {
    auto Cps = Decode(line.Text.data(), int(line.Text.size()));
    for (int M : marks)
        for (std::size_t K = 0; K < Cps.size(); ++K)
            if (start + Cps[K].Index == M)
                line.Underlined.push_back(int(K));
}

std::vector<Line> BreakLines(const std::u16string& text, const std::vector<int>& marks, UINT fmt, int width,
                             const Layout& lay) {
    std::vector<Line> Lines;
    auto Emit = [&](int start, int end) {
        Line L;
        L.Text = text.substr(start, end - start);
        AssignMarks(L, start, marks);
        Lines.push_back(std::move(L));
    };
    if (fmt & DT_SINGLELINE) {
        // Line breaks are not drawn in a single line.
        Line L;
        for (std::size_t I = 0; I < text.size(); ++I)
            if (text[I] != u'\r' && text[I] != u'\n')
                L.Text += text[I];
        // Marks map by walking the kept characters.
        std::u16string Kept;
        std::vector<int> KeptMarks;
        int K = 0;
        for (std::size_t I = 0; I < text.size(); ++I) {
            if (text[I] == u'\r' || text[I] == u'\n')
                continue;
            if (std::find(marks.begin(), marks.end(), int(I)) != marks.end())
                KeptMarks.push_back(K);
            ++K;
        }
        AssignMarks(L, 0, KeptMarks);
        Lines.push_back(std::move(L));
        return Lines;
    }
    int N = int(text.size());
    int Start = 0;
    while (Start <= N) {
        int End = Start;
        while (End < N && text[End] != u'\r' && text[End] != u'\n')
            ++End;
        // Paragraph [start, end): wrapped at blanks when asked; blanks at a break are dropped.
        if (fmt & DT_WORDBREAK) {
            int Ls = Start;
            while (true) {
                int Pos = Ls, FitEnd = -1, LineW = 0;
                while (Pos < End) {
                    int WordEnd = Pos;
                    while (WordEnd < End && text[WordEnd] != u' ' && text[WordEnd] != u'\t')
                        ++WordEnd;
                    // The line grows word by word: only the new part is measured.
                    int W = LineW + lay.MeasureFrom(text.data() + Pos, WordEnd - Pos, LineW);
                    if (FitEnd >= 0 && W > width)
                        break;
                    FitEnd = WordEnd;
                    LineW = W;
                    int Blanks = WordEnd;
                    while (WordEnd < End && (text[WordEnd] == u' ' || text[WordEnd] == u'\t'))
                        ++WordEnd;
                    LineW += lay.MeasureFrom(text.data() + Blanks, WordEnd - Blanks, LineW);
                    Pos = WordEnd;
                }
                if (FitEnd < 0) {
                    Emit(Ls, End);
                    break;
                }
                Emit(Ls, FitEnd);
                Ls = Pos;
                if (Ls >= End)
                    break;
            }
        } else {
            Emit(Start, End);
        }
        if (End >= N)
            break;
        // A line break ends the line; a final one is followed by an empty line, as on the platform.
        if (text[End] == u'\r' && End + 1 < N && text[End + 1] == u'\n')
            ++End;
        Start = End + 1;
    }
    return Lines;
}

const std::u16string kEllipsis = u"...";

void EndEllipsis(Line& l, int width, const Layout& lay) {
    if (lay.Measure(l.Text) <= width)
        return;
    auto Cps = Decode(l.Text.data(), int(l.Text.size()));
    std::size_t Keep = Cps.size();
    while (Keep > 0) {
        --Keep;
        std::u16string Cand = l.Text.substr(0, Keep < Cps.size() ? Cps[Keep].Index : l.Text.size()) + kEllipsis;
        if (lay.Measure(Cand) <= width) {
            l.Text = Cand;
            return;
        }
    }
    l.Text = kEllipsis;
}

void PathEllipsis(Line& l, int width, const Layout& lay) {
    if (lay.Measure(l.Text) <= width)
        return;
    std::size_t Sep = l.Text.find_last_of(u"\\/");
    if (Sep == std::u16string::npos) {
        EndEllipsis(l, width, lay);
        return;
    }
    std::u16string Head = l.Text.substr(0, Sep), Tail = l.Text.substr(Sep);
    while (!Head.empty()) {
        Head.pop_back();
        if (lay.Measure(Head + kEllipsis + Tail) <= width) {
            l.Text = Head + kEllipsis + Tail;
            return;
        }
    }
    l.Text = kEllipsis + Tail;
    if (lay.Measure(l.Text) > width)
        EndEllipsis(l, width, lay);
}

} // namespace

int DrawTextExW(HDC hdc, LPWSTR text, int cch, RECT* rc, UINT fmt, DRAWTEXTPARAMS* params) {
    auto Dc = FindDC(hdc);
    if (!Dc || !rc)
        return 0;
    int N = Length(text, cch);
    std::u16string Src(text ? text : u"", std::size_t(N));
    std::lock_guard<std::mutex> Lock(FontLock());
    FontInstance& Fi = InstanceFor(LogOf(*Dc));
    const TEXTMETRICW& Tm = Fi.Metrics();
    int TabChars = 8;
    if (params && params->iTabLength > 0)
        TabChars = params->iTabLength;
    else if (fmt & DT_TABSTOP)
        TabChars = std::max(1, int((fmt >> 8) & 0xFF));
    Layout Lay{&Fi, TabChars * Tm.tmAveCharWidth, (fmt & DT_EXPANDTABS) != 0};
    std::u16string Plain;
    std::vector<int> Marks;
    if (fmt & DT_NOPREFIX)
        Plain = Src;
    else
        StripPrefixes(Src, Plain, Marks);
    if (fmt & DT_HIDEPREFIX)
        Marks.clear();
    int Left = rc->Left + (params ? params->iLeftMargin : 0);
    int Right = rc->Right - (params ? params->iRightMargin : 0);
    int Width = Right - Left;
    std::vector<Line> Lines = BreakLines(Plain, Marks, fmt, Width, Lay);
    bool Calc = (fmt & DT_CALCRECT) != 0;
    for (auto& L : Lines) {
        if (!Calc) {
            if (fmt & DT_PATH_ELLIPSIS)
                PathEllipsis(L, Width, Lay);
            else if (fmt & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS))
                EndEllipsis(L, Width, Lay);
        }
        L.Width = Lay.Measure(L.Text);
    }
    if ((fmt & DT_MODIFYSTRING) && text && cch != 0 && Lines.size() == 1 &&
        (fmt & (DT_PATH_ELLIPSIS | DT_END_ELLIPSIS)) && !Calc) {
        // The caller's buffer holds the shortened text; it is at most the original length plus the ellipsis.
        const std::u16string& S = Lines[0].Text;
        std::size_t Room = std::size_t(N) + 4;
        std::size_t M = std::min(S.size(), Room - 1);
        std::copy(S.begin(), S.begin() + std::ptrdiff_t(M), text);
        text[M] = 0;
    }
    int LineH = Tm.tmHeight + ((fmt & DT_EXTERNALLEADING) ? Tm.tmExternalLeading : 0);
    if (Plain.empty())
        Lines.clear(); // an empty text draws and measures nothing
    int TextH = int(Lines.size()) * LineH;
    if (Calc) {
        int MaxW = 0;
        for (auto& L : Lines)
            MaxW = std::max(MaxW, L.Width);
        rc->Right = rc->Left + MaxW + (params ? params->iLeftMargin + params->iRightMargin : 0);
        rc->Bottom = rc->Top + TextH;
        return TextH;
    }
    int Top = rc->Top;
    if (fmt & DT_SINGLELINE) {
        if (fmt & DT_VCENTER)
            Top = rc->Top + (rc->Bottom - rc->Top - TextH) / 2;
        else if (fmt & DT_BOTTOM)
            Top = rc->Bottom - TextH;
    }
    TRect Clip = Surf(*Dc, *rc);
    RunOptions O;
    O.TabWidth = Lay.Tabs ? Lay.TabWidth : 0;
    if (!(fmt & DT_NOCLIP))
        O.Clip = &Clip;
    int Y = Top;
    for (auto& L : Lines) {
        int X = Left;
        if (fmt & DT_CENTER)
            X = Left + (Width - L.Width) / 2;
        else if (fmt & DT_RIGHT)
            X = Right - L.Width;
        int Sx = X + Dc->OffX(), Sy = Y + Dc->OffY();
        O.TabOrigin = Sx;
        auto Cps = Decode(L.Text.data(), int(L.Text.size()));
        if (Dc->S.BkMode == OPAQUE && !Cps.empty())
            FillSolid(*Dc, {Sx, Sy, Sx + L.Width, Sy + LineH}, Dc->S.BkColor, O.Clip);
        if (fmt & DT_PREFIXONLY) {
            auto Adv = Advances(Fi, Cps, O, Sx);
            int Pen = Sx;
            for (std::size_t I = 0; I < Cps.size(); ++I) {
                if (std::find(L.Underlined.begin(), L.Underlined.end(), int(I)) != L.Underlined.end())
                    FillSolid(*Dc, {Pen, Sy + Fi.UnderlineOffset(), Pen + Adv[I], Sy + Fi.UnderlineOffset() + 1},
                              Dc->S.TextColor, O.Clip);
                Pen += Adv[I];
            }
        } else {
            O.Underlined = &L.Underlined;
            DrawRun(*Dc, Fi, Cps, Sx, Sy, O);
        }
        Y += LineH;
    }
    if (params)
        params->uiLengthDrawn = UINT(N);
    if (fmt & (DT_VCENTER | DT_BOTTOM))
        return (Top - rc->Top) + TextH;
    return TextH;
}

int DrawTextW(HDC hdc, LPCWSTR text, int cch, RECT* rc, UINT fmt) {
    // The text is only read unless DT_MODIFYSTRING is given, which DrawTextW does not allow to change a constant.
    int N = Length(text, cch);
    std::u16string Copy(text ? text : u"", std::size_t(N));
    Copy.resize(std::size_t(N) + 4);
    return DrawTextExW(hdc, Copy.data(), N, rc, fmt & ~DT_MODIFYSTRING, nullptr);
}
